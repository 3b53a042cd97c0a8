#include "KeptFiles.h"

#include "Result.h"
#include "TextFile.h"

namespace engine {

ParsedCatalogue::ParsedCatalogue(plat::ProfileFile parsed) : profile(std::move(parsed)), sections(profile) {
  for (int i = 0; i < kCatalogueSections; ++i) {
    if (!sections.Has(i)) continue;
    const std::string_view descr = DescrAsLookedUp(profile, sections[i]);
    if (!descr.empty()) m_lastWithDescr[descr] = i;  // a higher number replaces a lower
  }
}

int ParsedCatalogue::LastWithDescr(std::string_view description) const {
  if (description.empty()) return -1;
  const auto found = m_lastWithDescr.find(description);
  return found == m_lastWithDescr.end() ? -1 : found->second;
}

const ParsedCatalogue& KeptCatalogue::Get(const std::string& path, plat::Result* read) {
  const plat::FileState state = plat::StateOf(path.c_str());
  const bool kept = m_parsed && path == m_path && state.exists && m_read;
  // An unchanged state proves the file unchanged, unless it is recent: a
  // second write in the same tick of the file system's clock could leave
  // it as it was. Then the bytes tell: read again, they are the ones
  // parsed, or they are parsed anew.
  if (kept && state == m_state && !plat::IsRecent(state)) {
    *read = plat::Result();
    return *m_parsed;
  }
  plat::FileBytes bytes;
  const plat::Result readNow = plat::ReadWholeFile(path.c_str(), &bytes);
  if (!(kept && readNow && bytes.View() == m_bytes.View())) {
    plat::ProfileFile profile;
    profile.Parse(bytes.View());
    m_read = !readNow && plat::GetPathKind(path.c_str()) == plat::PathKind::File ? readNow : plat::Result();
    m_parsed = std::make_unique<ParsedCatalogue>(std::move(profile));
    m_bytes = std::move(bytes);
    m_path = path;
  }
  m_state = state;
  *read = m_read;
  return *m_parsed;
}

}  // namespace engine
