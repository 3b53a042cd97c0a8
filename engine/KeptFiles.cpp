#include "KeptFiles.h"

#include "SectionNumbers.h"
#include "SystemError.h"
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

const ParsedCatalogue& KeptCatalogue::Get(const std::string& path, bool* unreadable) {
  const plat::FileState state = plat::StateOf(path.c_str());
  const bool kept = m_parsed && path == m_path && state.exists && !m_unreadable;
  // An unchanged state proves the file unchanged, unless it is recent: a
  // second write in the same tick of the file system's clock could leave
  // it as it was. Then the bytes tell: read again, they are the ones
  // parsed, or they are parsed anew.
  if (kept && state == m_state && !plat::IsRecent(state)) {
    *unreadable = false;
    return *m_parsed;
  }
  plat::FileBytes bytes;
  const bool read = plat::ReadWholeFile(path.c_str(), &bytes);
  if (!(kept && read && bytes.View() == m_bytes.View())) {
    plat::ProfileFile profile;
    profile.Parse(bytes.View());
    m_unreadable = !read && plat::GetPathKind(path.c_str()) == plat::PathKind::File;
    m_parsed = std::make_unique<ParsedCatalogue>(std::move(profile));
    m_bytes = std::move(bytes);
    m_path = path;
  }
  m_state = state;
  *unreadable = m_unreadable;
  return *m_parsed;
}

const TitleIndex* KeptTitleScan::Get(const char* path) {
  const plat::FileState state = plat::StateOf(path);
  if (m_index && path == m_path && state == m_state && state.exists) return m_index.get();
  plat::FileBytes content;
  if (!plat::ReadWholeFile(path, &content)) {
    m_index.reset();
    return nullptr;
  }
  m_index = std::make_unique<TitleIndex>(content.View());
  const std::vector<NumberedHeader> headers = NumberedHeadersOf(content.View());
  m_nextNumber = PlanSectionNumbers(headers).nextFree;
  m_heldAbove.clear();
  for (const NumberedHeader& header : headers) {
    if (header.number > m_nextNumber) m_heldAbove.insert(header.number);
  }
  m_path = path;
  m_state = state;
  return m_index.get();
}

void KeptTitleScan::Appended(const char* path, std::string_view stored, const plat::FileState& state) {
  // The index goes on over what was appended only when it is the file's,
  // as it was just before, and its end was a whole line.
  if (!m_index || path != m_path || !m_index->CanExtend() || !state.exists ||
      state.size != m_state.size + stored.size()) {
    m_index.reset();
    return;
  }
  m_index->Extend(stored);
  ++m_nextNumber;
  while (m_heldAbove.erase(m_nextNumber)) ++m_nextNumber;
  m_state = state;
}

bool KeptAppend::Append(const char* path, std::string_view text, Done* done, const plat::FileState* seen) {
  const plat::FileState now = seen ? *seen : plat::StateOf(path);
  if (m_file.IsOpen() && path == m_path && now == m_state) {
    done->sizeBefore = m_state.size;
    done->endedWithLineBreak = true;  // every text appended ends in one
  } else {
    Close();
    if (!m_file.Open(path, plat::TextFile::Mode::Append)) return false;
    m_path = path;
    done->sizeBefore = m_file.SizeAtOpen();
    done->endedWithLineBreak = m_file.EndedWithLineBreak();
  }
  // A last line without a line break would run into what follows.
  if (!done->endedWithLineBreak) m_file.Write("\n");
  m_file.Write(text.data(), text.size());
  if (!m_file.Flush()) {
    const std::string reason = plat::LastErrorText();
    m_file.Close();
    plat::TruncateFile(path, done->sizeBefore);
    plat::detail::SetLastErrorText(reason);  // the cut must not hide why the append failed
    return false;
  }
  m_state = m_file.State();
  done->after = m_state;
  return true;
}

void KeptAppend::Close() {
  if (m_file.IsOpen()) m_file.Close();
  m_state = plat::FileState();
}

}  // namespace engine
