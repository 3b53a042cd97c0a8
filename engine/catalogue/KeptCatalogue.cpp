#include "catalogue/KeptCatalogue.h"

#include "platform/Result.h"
#include "platform/TextFile.h"

namespace engine {

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

LookupResult LookupAirline(KeptCatalogue& kept, const std::string& catalogueFolder, const char* description) {
  char path[kPathSize];
  if (!GetCataloguePath(catalogueFolder, path, sizeof path)) return LookupResult();
  plat::Result read;
  LookupResult result = LookupAirlineIn(kept.Get(path, &read), description);
  result.read = read;
  return result;
}

}  // namespace engine
