#pragma once

#include <string>


namespace engine {

class ConfigLineTable;

// The configuration file as the rewrite stores it, from its configLines:
// one blank line before every "[" line, no other blank lines, empty slots
// left out, every line end a CR LF.
std::string ConfigLinesText(const ConfigLineTable& lines);

}  // namespace engine
