#include "Profile.h"

#include <cstring>

#include "ProfileEncoding.h"
#include "TextFile.h"

namespace plat {
namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Ctrl-Z counts too: an old editor's end-of-file mark left in the text.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a'; }

char Fold(char c) { return FoldAscii(c); }

std::string_view Trim(const char* begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

bool EqualsFolded(std::string_view text, std::string_view other) {
  if (text.size() != other.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Fold(text[i]) != Fold(other[i])) return false;
  }
  return true;
}

// A name asked for, without the blanks and line ends around it.
std::string_view TrimmedName(const char* name) {
  const char* begin = name;
  const char* end = name + std::strlen(name);
  while (begin < end && (IsBlank(*begin) || IsLineEnd(*begin))) ++begin;
  while (end > begin && (IsBlank(end[-1]) || IsLineEnd(end[-1]))) --end;
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

// Copies what a read into `cap` bytes leaves: the text cut to cap - 1
// characters. A quoted value that fills those exactly loses one more, as
// GetPrivateProfileStringA has it: that cuts the text after the opening
// quote and then takes the last character it kept for the closing quote.
std::size_t CopyCut(std::string_view text, bool quoted, char* buf, std::size_t cap) {
  if (!buf || cap == 0) return 0;
  std::size_t length = text.size() < cap ? text.size() : cap - 1;
  if (quoted && text.size() == cap - 1 && length > 0) --length;
  if (length > 0) std::memcpy(buf, text.data(), length);  // an empty view may have no data at all
  buf[length] = '\0';
  return length;
}

// The start of the line that holds `at`, or null when anything but
// blanks stands before `at` on it.
const char* LineStartIfBlanksBefore(const char* base, const char* at) {
  while (at > base && !IsLineEnd(at[-1])) {
    if (!IsBlank(at[-1])) return nullptr;
    --at;
  }
  return at;
}

// Where the next line starts after the line end at `end`: past the LF of
// a CR LF too, so that the LF makes no empty line of its own.
const char* NextLine(const char* end, const char* stop) {
  if (end >= stop) return stop;
  return (*end == '\r' && end + 1 < stop && end[1] == '\n') ? end + 2 : end + 1;
}

// The line ends of the text from `begin` to `stop`, found from line to
// line with memchr: the next CR is kept until a line passes it, so a text
// without CRs is searched for one only once, and an LF before it ends the
// line first.
class LineEnds {
 public:
  LineEnds(const char* begin, const char* stop) : m_stop(stop), m_nextCr(CrFrom(begin)) {}

  // The end of the line that holds `p`.
  const char* From(const char* p) {
    if (m_nextCr < p) m_nextCr = CrFrom(p);
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(m_nextCr - p)));
    return lf ? lf : m_nextCr;
  }

 private:
  const char* CrFrom(const char* p) const {
    const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(m_stop - p));
    return cr ? static_cast<const char*>(cr) : m_stop;
  }

  const char* m_stop;
  const char* m_nextCr;
};

}  // namespace

void ProfileFile::Parse(std::string_view text) {
  m_text = FileBytes::Copy(text);
  Decode();
  Index();
}

void ProfileFile::Decode() {
  m_decoded = IsUtf16Profile(m_text.View());
  if (!m_decoded) {
    m_lines = FileBytes();
    return;
  }
  std::string values;
  std::string lines;
  DecodeUtf16Profile(m_text.View(), &values, &lines);
  m_text = FileBytes::Copy(values);
  m_lines = FileBytes::Copy(lines);
}

void ProfileFile::Index() {
  m_sections.clear();
  const std::string_view text = Lines();
  m_sections.reserve(text.size() / 128 + 8);  // enough for a catalogue's short sections
  const char* base = text.data();
  const char* end = base + text.size();
  // Headers are few among many lines, so the brackets are looked for
  // rather than every line: a header is a line whose first character
  // after blanks is '[' and that holds a ']'.
  for (const char* p = base; p < end;) {
    const char* bracket = static_cast<const char*>(std::memchr(p, '[', static_cast<std::size_t>(end - p)));
    if (!bracket) break;
    p = bracket + 1;
    const char* lineStart = LineStartIfBlanksBefore(base, bracket);
    if (!lineStart) continue;
    // The name runs to the line's last ']', so a header with a note after
    // it ("[A] ; was [B]") names a section of its own, as the system function
    // reads it.
    const char* close = nullptr;
    const char* lineEnd = p;
    for (; lineEnd < end && !IsLineEnd(*lineEnd); ++lineEnd) {
      if (*lineEnd == ']') close = lineEnd;
    }
    p = NextLine(lineEnd, end);
    if (!close) continue;  // no ']' on the line
    if (!m_sections.empty()) m_sections.back().bodyEnd = static_cast<std::size_t>(lineStart - base);
    const std::string_view name = Trim(bracket + 1, close);
    m_sections.push_back(Section{static_cast<std::size_t>(name.data() - base), name.size(),
                                static_cast<std::size_t>(p - base), text.size()});
  }
}

Result ProfileFile::Load(const char* path) {
  // Read as it is stored: a CR, an LF and a CR LF each end a line.
  const Result read = ReadWholeFile(path, &m_text);
  Decode();
  Index();
  return read;
}

bool ProfileFile::FirstSection(const char* section, std::size_t* index) const {
  const std::string_view wanted = TrimmedName(section);
  for (std::size_t i = 0; i < m_sections.size(); ++i) {
    if (EqualsFolded(SectionName(i), wanted)) {
      *index = i;
      return true;
    }
  }
  return false;
}

bool ProfileFile::HasSection(const char* section) const {
  std::size_t index = 0;
  return FirstSection(section, &index);
}

std::string_view ProfileFile::SectionName(std::size_t index) const {
  const Section& section = m_sections.at(index);
  return Lines().substr(section.nameBegin, section.nameLength);
}

std::optional<std::string_view> ProfileFile::Find(const char* section, const char* key) const {
  std::size_t index = 0;
  if (!FirstSection(section, &index)) return std::nullopt;
  return FindInSection(index, key);
}

std::optional<std::string_view> ProfileFile::FindInSection(std::size_t index, const char* key) const {
  if (std::optional<Value> value = FindValue(index, key)) return value->text;
  return std::nullopt;
}

std::optional<ProfileFile::Value> ProfileFile::FindValue(std::size_t index, const char* key) const {
  const Section& body = m_sections.at(index);
  const std::string_view wantedKey = TrimmedName(key);
  const char* base = Lines().data();
  const char* stop = base + body.bodyEnd;
  LineEnds lineEnds(base + body.bodyBegin, stop);
  // Each line's key is read up to its '=' by hand: keys are short, and a
  // line that is not the one asked for is left right after it.
  for (const char* p = base + body.bodyBegin; p < stop;) {
    const char* start = p;
    while (start < stop && IsBlank(*start)) ++start;
    const char* keyEnd = start;
    while (keyEnd < stop && *keyEnd != '=' && !IsLineEnd(*keyEnd)) ++keyEnd;
    const bool hasEquals = keyEnd < stop && *keyEnd == '=';
    const char* lineEnd = hasEquals ? lineEnds.From(keyEnd + 1) : keyEnd;
    // Empty lines and comments hold no key; a line without "=" is a key
    // with an empty value.
    if (start != lineEnd && *start != ';' && EqualsFolded(Trim(start, keyEnd), wantedKey)) {
      if (!hasEquals) return Value{std::string_view(), false};
      std::string_view value = Trim(keyEnd + 1, lineEnd);
      const bool quoted = IsQuoted(value);
      if (quoted) value = value.substr(1, value.size() - 2);
      return Value{m_text.View().substr(static_cast<std::size_t>(value.data() - base), value.size()), quoted};
    }
    p = NextLine(lineEnd, stop);
  }
  return std::nullopt;
}

std::size_t ProfileFile::GetString(const char* section, const char* key, const char* def, char* buf,
                                   std::size_t cap) const {
  std::size_t index = 0;
  if (FirstSection(section, &index)) {
    if (std::optional<Value> value = FindValue(index, key)) return CopyCut(value->text, value->quoted, buf, cap);
  }
  return CopyCut(def ? def : "", false, buf, cap);
}

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(m_sections.size());
  for (std::size_t i = 0; i < m_sections.size(); ++i) names.emplace_back(SectionName(i));
  return names;
}

}  // namespace plat
