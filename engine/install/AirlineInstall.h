#pragma once

#include <vector>

namespace engine {

class InstallHost;
struct InstallRun;
struct TextureWrite;

// Installs one airline by its description: looks it up, appends its
// aircraft section and model line unless a section with its title is
// already there, makes its texture folder and copies its texture. What
// cannot be done goes to the run's report; an airline that cannot be installed soundly
// (no catalogue entry, a value too long, an unsafe name, a path too long)
// changes nothing. With plannedTextures the texture is not copied (nor its
// folder made): the write it would be is added to the list instead.
void InstallAirline(InstallRun& run, InstallHost& host, const char* description,
                    std::vector<TextureWrite>* plannedTextures = nullptr);

// Whether a catalogue value may name a file or folder inside ours: no
// folder separators, no drive, not "." or "..".
bool IsSafeName(const char* name);

}  // namespace engine
