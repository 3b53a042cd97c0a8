#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "staging/FileSwap.h"
#include "text/TitleScan.h"
#include "platform/FileSystem.h"

namespace engine {

// Both files as a command found them, read once.
struct FoundFiles {
  plat::FileBytes config;
  plat::FileBytes models;
};

// The result of a command, built aside while it works: what the
// configuration file and the model list will hold, byte for byte as the
// command's sequence of rewrites and appends in text mode would leave the
// files, and the texture copies made so far, each waiting in a temporary
// file beside its target. Nothing the user sees changes until the command
// swaps it all in at its end (CommitStaged).
class StagedFiles {
 public:
  StagedFiles() = default;
  ~StagedFiles() { End(); }
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;

  // Starts from both files as the command found them. A model list that
  // was not there starts empty (`modelsExisted` false).
  void Begin(const std::string& configPath, const std::string& modelListPath, FoundFiles found,
             bool modelsExisted = true);
  bool Active() const { return m_active; }
  // Forgets the result; texture copies not swapped in are removed.
  void End();

  const std::string& ConfigPath() const { return m_configPath; }
  const std::string& ModelListPath() const { return m_modelListPath; }
  const FoundFiles& Found() const { return m_found; }
  bool ModelsExisted() const { return m_modelsExisted; }
  // A model list that is there but could not be read takes no model
  // line; the reason is ModelsProblem().
  void MarkModelsUnusable(std::string problem) { m_modelsProblem = std::move(problem); m_modelsUsable = false; }
  bool ModelsUsable() const { return m_modelsUsable; }
  const std::string& ModelsProblem() const { return m_modelsProblem; }
  const std::string& Config() const { return m_config; }
  const std::string& Models() const { return m_models; }
  void SetConfig(std::string bytes);
  void SetModels(std::string bytes) { m_models = std::move(bytes); }

  // The title scan of the configuration file as it now stands.
  TitleScan FindTitle(std::string_view title, const std::function<void(int)>& progress);
  // The number a section appended now gets: the next free number.
  long NextSectionNumber();
  // Appends as text mode appends to a file: each line feed stored as
  // CR LF, after a line break when the last line lacks one. To the
  // configuration file, a section numbered NextSectionNumber().
  void AppendSection(std::string_view text);
  void AppendToModels(std::string_view text);

  // A texture copy waiting beside its target; a second copy for the same
  // target replaces the first.
  void AddTexture(TextureChange texture);
  const std::vector<TextureChange>& Textures() const { return m_textures; }
  // The copies were swapped in (or removed by the swap that failed).
  void TexturesHandled() {
    m_textures.clear();
    m_textureAt.clear();
  }

  // Takes in what another program appended to either file since the
  // command read it, as the appends of the command's own run on the file
  // would have met it. False, with the refusal for the user, when a file
  // was changed otherwise: the run cannot keep that and its own work both.
  bool TakeOthersAppends(std::string* refusal);
  // Whether both files hold exactly what the command read and took in:
  // read whole, not judged by their state. False with the refusal.
  bool FilesUnchanged(std::string* refusal) const;

  // While the swap may leave the files out of step (AbandonCommand).
  bool swapping = false;

 private:
  void ForgetIndex() { m_index.reset(); }

  bool m_active = false;
  std::string m_configPath;
  std::string m_modelListPath;
  FoundFiles m_found;
  bool m_modelsExisted = true;
  bool m_modelsUsable = true;
  std::string m_modelsProblem;
  std::string m_config;
  std::string m_models;
  // What other programs appended, taken in after the found bytes, and the
  // files' states as last seen.
  std::string m_configTaken;
  std::string m_modelsTaken;
  plat::FileState m_configState;
  plat::FileState m_modelsState;
  std::unique_ptr<TitleIndex> m_index;
  long m_nextNumber = 0;
  std::set<long> m_heldAbove;  // numbers above it that headers hold (none when the numbers are whole)
  std::vector<TextureChange> m_textures;
  std::unordered_map<std::string, std::size_t> m_textureAt;  // target -> its place in m_textures
};

// Text as text mode stores it: each line feed as CR LF.
std::string AsStored(std::string_view text);

}  // namespace engine
