#include "Profile.h"

#include <cstring>

#include "TextFile.h"

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const char* begin, const char* end) {
  while (begin < end && IsBlank(*begin)) ++begin;
  while (end > begin && IsBlank(end[-1])) --end;
  return std::string(begin, end);
}

std::string Unquote(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

std::size_t CopyCut(const char* text, std::size_t length, char* buf, std::size_t cap) {
  if (!buf || cap == 0) return 0;
  if (length > cap - 1) length = cap - 1;
  std::memcpy(buf, text, length);
  buf[length] = '\0';
  return length;
}

}  // namespace

std::string FoldCase(const std::string& text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return folded;
}

void ProfileFile::Parse(const std::string& text) {
  sections_.clear();
  firstSection_.clear();
  Section* current = nullptr;  // lines before the first header belong nowhere
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (!lineEnd) lineEnd = end;
    const char* start = p;
    p = lineEnd < end ? lineEnd + 1 : end;

    while (start < lineEnd && IsBlank(*start)) ++start;
    if (start == lineEnd || *start == ';') continue;
    if (*start == '[') {
      const char* close = static_cast<const char*>(std::memchr(start, ']', static_cast<std::size_t>(lineEnd - start)));
      if (close) {
        sections_.push_back(Section{Trim(start + 1, close), {}});
        current = &sections_.back();
        firstSection_.emplace(FoldCase(current->name), sections_.size() - 1);
        continue;
      }
    }
    if (!current) continue;
    const char* equals = static_cast<const char*>(std::memchr(start, '=', static_cast<std::size_t>(lineEnd - start)));
    if (equals) {
      current->entries.push_back(Entry{FoldCase(Trim(start, equals)), Unquote(Trim(equals + 1, lineEnd))});
    } else {
      current->entries.push_back(Entry{FoldCase(Trim(start, lineEnd)), std::string()});
    }
  }
}

bool ProfileFile::Load(const char* path) {
  TextFile file;
  std::string text;
  bool ok = file.Open(path, TextFile::Mode::Read) && file.ReadAll(&text);
  if (file.IsOpen() && !file.Close()) ok = false;
  Parse(ok ? text : std::string());
  return ok;
}

const std::string* ProfileFile::Find(const char* section, const char* key) const {
  std::string wantedSection = FoldCase(Trim(section, section + std::strlen(section)));
  auto found = firstSection_.find(wantedSection);
  if (found == firstSection_.end()) return nullptr;
  std::string wantedKey = FoldCase(Trim(key, key + std::strlen(key)));
  for (const Entry& entry : sections_[found->second].entries) {
    if (entry.key == wantedKey) return &entry.value;
  }
  return nullptr;
}

bool ProfileFile::HasSection(const char* section) const {
  return firstSection_.count(FoldCase(Trim(section, section + std::strlen(section)))) != 0;
}

std::size_t ProfileFile::GetString(const char* section, const char* key, const char* def, char* buf,
                                   std::size_t cap) const {
  if (const std::string* value = Find(section, key)) return CopyCut(value->data(), value->size(), buf, cap);
  if (!def) def = "";
  return CopyCut(def, std::strlen(def), buf, cap);
}

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const Section& section : sections_) names.push_back(section.name);
  return names;
}

}  // namespace plat
