#include "staging/StagedFiles.h"

#include "text/SectionNumbers.h"
#include "text/Text.h"
#include "platform/Result.h"
#include "platform/TextFile.h"

namespace engine {

std::string AsStored(std::string_view text) {
  std::string stored;
  stored.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  return stored;
}

namespace {

bool EndsWithLineBreak(const std::string& bytes) { return bytes.empty() || bytes.back() == '\n'; }

// Whether `bytes` are `found` followed by `taken`.
bool Holds(std::string_view bytes, std::string_view found, std::string_view taken) {
  return bytes.size() == found.size() + taken.size() && bytes.substr(0, found.size()) == found &&
         bytes.substr(found.size()) == taken;
}

std::string ChangedByAnother(const std::string& path) {
  return Printf("%s was changed by another program while Quorvane was working on it, so Quorvane cannot keep "
                "both that change and its own.\n\nNothing has been changed. Please run the command again.",
                plat::DisplayPath(path.c_str()).c_str());
}

// Takes in another program's appends to one file (see TakeOthersAppends).
bool TakeAppends(const std::string& path, std::string_view found, bool existed, std::string* taken,
                 std::string* staged, plat::FileState* seen, bool* appended, std::string* refusal) {
  *appended = false;
  const plat::FileState now = plat::StateOf(path.c_str());
  if (now == *seen) return true;
  plat::FileBytes bytes;
  if (!now.exists) {
    if (!existed && taken->empty()) return true;
    *refusal = ChangedByAnother(path);
    return false;
  }
  if (const plat::Result read = plat::ReadWholeFile(path.c_str(), &bytes); !read) {
    *refusal = Printf("%s could not be read again%s.\n\nNothing has been changed.",
                      plat::DisplayPath(path.c_str()).c_str(), read.Because().c_str());
    return false;
  }
  const std::string_view live = bytes.View();
  const std::size_t known = found.size() + taken->size();
  if (live.size() < known || live.substr(0, found.size()) != found ||
      live.substr(found.size(), taken->size()) != *taken) {
    *refusal = ChangedByAnother(path);
    return false;
  }
  const std::string_view added = live.substr(known);
  *taken += added;
  *staged += added;
  *appended = !added.empty();
  *seen = now;
  return true;
}

}  // namespace

void StagedFiles::Begin(const std::string& configPath, const std::string& modelListPath, FoundFiles found,
                        bool modelsExisted) {
  End();
  m_active = true;
  m_configPath = configPath;
  m_modelListPath = modelListPath;
  m_found = std::move(found);
  m_modelsExisted = modelsExisted;
  m_modelsUsable = true;
  m_modelsProblem.clear();
  m_config.assign(m_found.config.View());
  m_models.assign(m_found.models.View());
  m_configState = plat::StateOf(configPath.c_str());
  m_modelsState = plat::StateOf(modelListPath.c_str());
}

void StagedFiles::End() {
  DiscardTextures(m_textures);
  TexturesHandled();
  m_active = false;
  swapping = false;
  m_found = FoundFiles();
  std::string().swap(m_config);
  std::string().swap(m_models);
  m_configTaken.clear();
  m_modelsTaken.clear();
  m_configState = plat::FileState();
  m_modelsState = plat::FileState();
  ForgetIndex();
}

void StagedFiles::SetConfig(std::string bytes) {
  m_config = std::move(bytes);
  ForgetIndex();
}

TitleScan StagedFiles::FindTitle(std::string_view title, const std::function<void(int)>& progress) {
  NextSectionNumber();  // builds the index
  return m_index->Find(title, progress);
}

long StagedFiles::NextSectionNumber() {
  if (!m_index) {
    m_index = std::make_unique<TitleIndex>(m_config);
    const std::vector<NumberedHeader> headers = NumberedHeadersOf(m_config);
    m_nextNumber = PlanSectionNumbers(headers).nextFree;
    m_heldAbove.clear();
    for (const NumberedHeader& header : headers) {
      if (header.number > m_nextNumber) m_heldAbove.insert(header.number);
    }
  }
  return m_nextNumber;
}

void StagedFiles::AppendSection(std::string_view text) {
  NextSectionNumber();
  const std::string stored = (EndsWithLineBreak(m_config) ? "" : "\r\n") + AsStored(text);
  m_config += stored;
  // The index goes on over what was appended when its scan ended after a
  // whole line; else it is built again when next asked.
  if (!m_index->CanExtend()) {
    ForgetIndex();
    return;
  }
  m_index->Extend(stored);
  ++m_nextNumber;
  while (m_heldAbove.erase(m_nextNumber)) ++m_nextNumber;
}

void StagedFiles::AppendToModels(std::string_view text) {
  if (!EndsWithLineBreak(m_models)) m_models += "\r\n";
  m_models += AsStored(text);
}

void StagedFiles::AddTexture(TextureChange texture) {
  const auto [at, added] = m_textureAt.try_emplace(texture.target, m_textures.size());
  if (added) {
    m_textures.push_back(std::move(texture));
    return;
  }
  TextureChange& staged = m_textures[at->second];
  DiscardTextures({staged});
  staged = std::move(texture);
}

bool StagedFiles::TakeOthersAppends(std::string* refusal) {
  bool appended = false;
  if (!TakeAppends(m_configPath, m_found.config.View(), true, &m_configTaken, &m_config, &m_configState, &appended,
                   refusal)) {
    return false;
  }
  if (appended) ForgetIndex();
  return TakeAppends(m_modelListPath, m_found.models.View(), m_modelsExisted, &m_modelsTaken, &m_models,
                     &m_modelsState, &appended, refusal);
}

bool StagedFiles::FilesUnchanged(std::string* refusal) const {
  struct Kept {
    const std::string& path;
    std::string_view found;
    const std::string& taken;
    bool existed;
  };
  for (const Kept& file : {Kept{m_configPath, m_found.config.View(), m_configTaken, true},
                           Kept{m_modelListPath, m_found.models.View(), m_modelsTaken, m_modelsExisted}}) {
    if (plat::GetPathKind(file.path.c_str()) == plat::PathKind::Missing) {
      if (!file.existed && file.taken.empty()) continue;
      *refusal = ChangedByAnother(file.path);
      return false;
    }
    plat::FileBytes bytes;
    if (const plat::Result read = plat::ReadWholeFile(file.path.c_str(), &bytes); !read) {
      *refusal = Printf("%s could not be read again%s.\n\nNothing has been changed.",
                        plat::DisplayPath(file.path.c_str()).c_str(), read.Because().c_str());
      return false;
    }
    if (!Holds(bytes.View(), file.found, file.taken)) {
      *refusal = ChangedByAnother(file.path);
      return false;
    }
  }
  return true;
}

}  // namespace engine
