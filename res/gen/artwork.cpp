#include "artwork.h"

#include <filesystem>
#include <fstream>

namespace art {

std::vector<ArtFile> renderAll() {
    return {
        {"background.bmp", encodeBmp24(drawBackground())},
        {"picture.bmp", encodeBmp8(drawPicture())},
        {"goodbye.bmp", encodeBmp24(drawGoodbye())},
        {"buttons-wide.bmp", encodeBmp24(drawWideButtons())},
        {"buttons-small.bmp", encodeBmp24(drawSmallButtons())},
        {"quorvane.ico", encodeIco({drawIcon(32), drawIcon(16)})},
    };
}

bool writeAll(const std::string& dir, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot create " + dir + ": " + ec.message();
        return false;
    }
    for (const ArtFile& f : renderAll()) {
        const fs::path path = fs::path(dir) / f.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(f.bytes.data()), std::streamsize(f.bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

}  // namespace art
