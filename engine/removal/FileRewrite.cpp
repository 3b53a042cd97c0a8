#include "removal/FileRewrite.h"

#include "text/LineTable.h"

namespace engine {

std::string ConfigLinesText(const ConfigLineTable& lines) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < lines.Size(); ++i) {
    if (const std::size_t length = lines.Length(i)) size += length + (lines.Line(i)[0] == '[' ? 4 : 2);
  }
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < lines.Size(); ++i) {
    const char* line = lines.Line(i);
    if (!*line) continue;
    if (line[0] == '[') text += "\r\n";
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace engine
