#pragma once

#include <string>
#include <vector>

namespace engine {

// Looks at Airlines.dat the way a repaint-package author needs it looked
// at: everything that would keep an airline from being listed or installed
// soundly. One finding a line; none when the catalogue is clean. The
// folder ends in its separator.
std::vector<std::string> CheckCatalogue(const std::string& catalogueFolder);

// What is wrong with Airlines.dat as a whole (missing, unreadable, empty,
// binary, no Airline sections): why the airline list would be empty.
// Empty when the file can be read as a catalogue.
std::string CatalogueFileProblem(const std::string& catalogueFolder);

}  // namespace engine
