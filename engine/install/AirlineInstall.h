#pragma once

#include <functional>
#include <string>
#include <vector>

namespace engine {

class KeptCatalogue;
class RunReport;
class StagedFiles;
struct TextureWrite;

// What installing one airline works on: the folders and files of the
// command, the catalogue, the result the command builds aside, and the
// report that takes what goes wrong.
struct AirlineWork {
  const char* fsFolder;       // one trailing backslash removed
  const char* configPath;     // the files as the messages name them
  const char* modelListPath;
  const std::string& catalogueFolder;  // ends in a separator
  KeptCatalogue& catalogue;
  StagedFiles& staged;
  RunReport& report;
  // A dry run: the texture is not copied (nor its folder made); the write
  // it would be is added here instead.
  std::vector<TextureWrite>* plannedTextures = nullptr;
  // The title scan's progress, 0 to the scan's end; empty when no bar shows it.
  std::function<void(int)> scanProgress;
  // The airline is the run's only change: nothing has checked yet that
  // the configuration file can be written.
  bool alone = false;
};

struct AirlineResult {
  // The texture folder (or the first of its parents) that could not be
  // made, for the box that names it; empty when none failed.
  std::string folderNotMade;
};

// Installs one airline by its description: looks it up, appends its
// aircraft section and model line to the staged files unless a section
// with its title is already there, makes its texture folder and copies its
// texture beside its target. What cannot be done goes to the report; an
// airline that cannot be installed soundly (no catalogue entry, a value too
// long, an unsafe name, a path too long) changes nothing.
AirlineResult AddAirline(const AirlineWork& work, const char* description);

// Whether a catalogue value may name a file or folder inside ours: no
// folder separators, no drive, not "." or "..".
bool IsSafeName(const char* name);

}  // namespace engine
