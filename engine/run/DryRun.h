#pragma once

#include <string>
#include <vector>

namespace engine {

// A texture file that a run writes (or, in a dry run, would write).
struct TextureWrite {
  std::string target;
  bool replaces = false;  // a file of that name is there already
};

// Makes a command work on copies of the configuration file and the model
// list in `scratchFolder` instead of the real ones: no texture is copied,
// no folder created and no backup written. After the command the paths of
// both real files and both copies are filled in (empty when the checks
// ended the command first), with the textures it would have written.
struct DryRun {
  std::string scratchFolder;
  std::string configPath;
  std::string modelListPath;
  std::string scratchConfigPath;
  std::string scratchModelListPath;
  std::vector<TextureWrite> textures;
};

}  // namespace engine
