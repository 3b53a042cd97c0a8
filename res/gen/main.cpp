// quorvane-artwork OUTDIR: writes the pictures of the Windows resources.
#include <cstdio>
#include <string>

#include "artwork.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "quorvane-artwork");
        return 2;
    }
    std::string error;
    if (!art::writeAll(argv[1], error)) {
        std::fprintf(stderr, "quorvane-artwork: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
