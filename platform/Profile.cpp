#include "Profile.h"

#include <cstring>

#include "TextFile.h"

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

char Fold(char c) { return FoldAscii(c); }

std::string_view Trim(const char* begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

bool EqualsFolded(std::string_view text, std::string_view other) {
  if (text.size() != other.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Fold(text[i]) != Fold(other[i])) return false;
  }
  return true;
}

std::string_view TrimmedName(const char* name) { return Trim(name, name + std::strlen(name)); }


std::size_t CopyCut(std::string_view text, char* buf, std::size_t cap) {
  if (!buf || cap == 0) return 0;
  const std::size_t length = text.size() < cap ? text.size() : cap - 1;
  if (length > 0) std::memcpy(buf, text.data(), length);  // an empty view may have no data at all
  buf[length] = '\0';
  return length;
}

// Whether only blanks stand between the start of its line and `at`.
bool StartsLine(const char* base, const char* at) {
  while (at > base && at[-1] != '\n') {
    if (!IsBlank(at[-1])) return false;
    --at;
  }
  return true;
}

}  // namespace

void ProfileFile::Parse(std::string_view text) {
  text_ = FileBytes::Copy(text);
  Index();
}

void ProfileFile::Index() {
  sections_.clear();
  const std::string_view text = text_.View();
  sections_.reserve(text.size() / 128 + 8);  // enough for a catalogue's short sections
  const char* base = text.data();
  const char* end = base + text.size();
  // Headers are few among many lines, so the brackets are looked for
  // rather than every line: a header is a line whose first character
  // after blanks is '[' and that holds a ']'.
  for (const char* p = base; p < end;) {
    const char* bracket = static_cast<const char*>(std::memchr(p, '[', static_cast<std::size_t>(end - p)));
    if (!bracket) break;
    p = bracket + 1;
    if (!StartsLine(base, bracket)) continue;
    // Names are short: the ']' and the line's end are looked for by hand.
    const char* close = p;
    while (close < end && *close != ']' && *close != '\n') ++close;
    if (close == end || *close == '\n') continue;  // no ']' on the line
    const char* lineEnd = close;
    while (lineEnd < end && *lineEnd != '\n') ++lineEnd;
    const char* lineStart = bracket;
    while (lineStart > base && lineStart[-1] != '\n') --lineStart;
    if (!sections_.empty()) sections_.back().bodyEnd = static_cast<std::size_t>(lineStart - base);
    const std::string_view name = Trim(bracket + 1, close);
    const std::size_t bodyBegin = lineEnd < end ? static_cast<std::size_t>(lineEnd - base) + 1 : text.size();
    sections_.push_back(Section{static_cast<std::size_t>(name.data() - base), name.size(), bodyBegin, text.size()});
    p = lineEnd < end ? lineEnd + 1 : end;
  }
}

bool ProfileFile::Load(const char* path) {
  // Read as it is stored: a CR before a line feed is a blank at the end of
  // its line, which every line is trimmed of anyway.
  const bool read = ReadWholeFile(path, &text_);
  Index();
  return read;
}

bool ProfileFile::FirstSection(const char* section, std::size_t* index) const {
  const std::string_view wanted = TrimmedName(section);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
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
  const Section& section = sections_.at(index);
  return text_.View().substr(section.nameBegin, section.nameLength);
}

std::optional<std::string_view> ProfileFile::Find(const char* section, const char* key) const {
  std::size_t index = 0;
  if (!FirstSection(section, &index)) return std::nullopt;
  return FindInSection(index, key);
}

std::optional<std::string_view> ProfileFile::FindInSection(std::size_t index, const char* key) const {
  const Section& body = sections_.at(index);
  const std::string_view wantedKey = TrimmedName(key);
  const char* base = text_.View().data();
  const char* stop = base + body.bodyEnd;
  // Each line's key is read up to its '=' by hand: keys are short, and a
  // line that is not the one asked for is left right after it.
  for (const char* p = base + body.bodyBegin; p < stop;) {
    const char* start = p;
    while (start < stop && *start != '\n' && IsBlank(*start)) ++start;
    const char* keyEnd = start;
    while (keyEnd < stop && *keyEnd != '=' && *keyEnd != '\n') ++keyEnd;
    const bool hasEquals = keyEnd < stop && *keyEnd == '=';
    const char* lineEnd = keyEnd;
    if (hasEquals) {
      lineEnd = static_cast<const char*>(std::memchr(keyEnd, '\n', static_cast<std::size_t>(stop - keyEnd)));
      if (!lineEnd) lineEnd = stop;
    }
    // Empty lines and comments hold no key; a line without "=" is a key
    // with an empty value.
    if (start != lineEnd && *start != ';' && EqualsFolded(Trim(start, keyEnd), wantedKey)) {
      return hasEquals ? Unquote(Trim(keyEnd + 1, lineEnd)) : std::string_view();
    }
    p = lineEnd < stop ? lineEnd + 1 : stop;
  }
  return std::nullopt;
}

std::size_t ProfileFile::GetString(const char* section, const char* key, const char* def, char* buf,
                                   std::size_t cap) const {
  if (std::optional<std::string_view> value = Find(section, key)) return CopyCut(*value, buf, cap);
  return CopyCut(def ? def : "", buf, cap);
}

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (std::size_t i = 0; i < sections_.size(); ++i) names.emplace_back(SectionName(i));
  return names;
}

}  // namespace plat
