#include "Profile.h"

#include <cstring>

#include "TextFile.h"

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

std::string_view Trim(const char* begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
  return value;
}

bool EqualsFolded(std::string_view text, const std::string& folded) {
  if (text.size() != folded.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Fold(text[i]) != folded[i]) return false;
  }
  return true;
}

std::string FoldedName(const char* name) {
  std::string_view trimmed = Trim(name, name + std::strlen(name));
  return FoldCase(std::string(trimmed));
}

std::size_t CopyCut(std::string_view text, char* buf, std::size_t cap) {
  if (!buf || cap == 0) return 0;
  const std::size_t length = text.size() < cap ? text.size() : cap - 1;
  if (length > 0) std::memcpy(buf, text.data(), length);  // an empty view may have no data at all
  buf[length] = '\0';
  return length;
}

// One line of the text: [begin, end) without its line feed, blanks before
// it skipped.
struct Line {
  const char* begin;
  const char* end;
};

// Walks the lines of [p, stop), calling visit(line, lineStart) for each line
// that is neither empty nor a comment; visit returns false to stop.
template <typename Visit>
void ForEachLine(const char* p, const char* stop, Visit visit) {
  while (p < stop) {
    const char* lineStart = p;
    const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(stop - p)));
    if (!lineEnd) lineEnd = stop;
    p = lineEnd < stop ? lineEnd + 1 : stop;
    const char* start = lineStart;
    while (start < lineEnd && IsBlank(*start)) ++start;
    if (start == lineEnd || *start == ';') continue;
    if (!visit(Line{start, lineEnd}, lineStart)) return;
  }
}

// The name of a header line "[name]", or false for any other line.
bool HeaderName(const Line& line, std::string_view* name) {
  if (*line.begin != '[') return false;
  const char* close =
      static_cast<const char*>(std::memchr(line.begin, ']', static_cast<std::size_t>(line.end - line.begin)));
  if (!close) return false;
  *name = Trim(line.begin + 1, close);
  return true;
}

}  // namespace

std::string FoldCase(const std::string& text) {
  std::string folded(text);
  for (char& c : folded) c = Fold(c);
  return folded;
}

void ProfileFile::Parse(std::string text) {
  text_ = std::move(text);
  Index();
}

void ProfileFile::Index() {
  sections_.clear();
  firstSection_.clear();
  const char* base = text_.data();
  ForEachLine(base, base + text_.size(), [&](const Line& line, const char* lineStart) {
    std::string_view name;
    if (!HeaderName(line, &name)) return true;
    const std::size_t here = static_cast<std::size_t>(lineStart - base);
    if (!sections_.empty()) sections_.back().bodyEnd = here;
    const char* after = static_cast<const char*>(std::memchr(line.end, '\n', static_cast<std::size_t>(base + text_.size() - line.end)));
    const std::size_t bodyBegin = after ? static_cast<std::size_t>(after - base) + 1 : text_.size();
    sections_.push_back(Section{std::string(name), bodyBegin, text_.size()});
    return true;
  });
  firstSection_.reserve(sections_.size());
  for (std::size_t i = 0; i < sections_.size(); ++i) firstSection_.emplace(FoldCase(sections_[i].name), i);
}

bool ProfileFile::Load(const char* path) {
  TextFile file;
  std::string text;
  bool ok = file.Open(path, TextFile::Mode::Read) && file.ReadAll(&text);
  if (file.IsOpen() && !file.Close()) ok = false;
  Parse(ok ? std::move(text) : std::string());
  return ok;
}

bool ProfileFile::HasSection(const char* section) const { return firstSection_.count(FoldedName(section)) != 0; }

std::optional<std::string_view> ProfileFile::Find(const char* section, const char* key) const {
  auto found = firstSection_.find(FoldedName(section));
  if (found == firstSection_.end()) return std::nullopt;
  const Section& body = sections_[found->second];
  const std::string wantedKey = FoldedName(key);
  std::optional<std::string_view> value;
  const char* base = text_.data();
  ForEachLine(base + body.bodyBegin, base + body.bodyEnd, [&](const Line& line, const char*) {
    const char* equals =
        static_cast<const char*>(std::memchr(line.begin, '=', static_cast<std::size_t>(line.end - line.begin)));
    // A line without "=" is a key with an empty value.
    if (!EqualsFolded(Trim(line.begin, equals ? equals : line.end), wantedKey)) return true;
    value = equals ? Unquote(Trim(equals + 1, line.end)) : std::string_view();
    return false;
  });
  return value;
}

std::size_t ProfileFile::GetString(const char* section, const char* key, const char* def, char* buf,
                                   std::size_t cap) const {
  if (std::optional<std::string_view> value = Find(section, key)) return CopyCut(*value, buf, cap);
  return CopyCut(def ? def : "", buf, cap);
}

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const Section& section : sections_) names.push_back(section.name);
  return names;
}

}  // namespace plat
