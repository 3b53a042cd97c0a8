// Linux equivalents of the Win32 profile functions.

#include <cstring>
#include <string>
#include <vector>

#include "FileReplacement.h"
#include "FileSystem.h"
#include "Profile.h"
#include "TextFile.h"

namespace plat {
namespace {

// Lines, headers and keys are found as ProfileFile finds them, so a value
// is written where a read looks for it.
constexpr const char* kBlanks = " \t\v\f\x1a";

std::string TrimBlanks(const std::string& text) {
  std::string::size_type begin = text.find_first_not_of(kBlanks);
  if (begin == std::string::npos) return std::string();
  std::string::size_type end = text.find_last_not_of(kBlanks);
  return text.substr(begin, end - begin + 1);
}

// The folded section name if the line is a section header: what stands up
// to its last ']'.
bool HeaderName(const std::string& line, std::string* name) {
  std::string trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed[0] != '[') return false;
  std::string::size_type close = trimmed.rfind(']');
  if (close == std::string::npos) return false;
  *name = FoldCase(TrimBlanks(trimmed.substr(1, close - 1)));
  return true;
}

bool IsKeyLine(const std::string& line, const std::string& foldedKey) {
  std::string trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed[0] == ';') return false;
  std::string::size_type equals = trimmed.find('=');
  if (equals == std::string::npos) return false;
  return FoldCase(TrimBlanks(trimmed.substr(0, equals))) == foldedKey;
}

// The text is read with CR LF as LF; a lone CR ends a line too.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type newline = text.find_first_of("\r\n", start);
    if (newline == std::string::npos) newline = text.size();
    lines.push_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return lines;
}

Result EnsureParentFolder(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return Result();
  std::string folder = path.substr(0, slash);
  if (GetPathKind(folder.c_str()) == PathKind::Folder) return Result();
  if (Result above = EnsureParentFolder(folder); !above) return above;
  return CreateFolder(folder.c_str());
}

}  // namespace

std::size_t ReadProfileValue(const char* section, const char* key, const char* def, char* buf,
                              std::size_t cap, const char* file) {
  ProfileFile profile;
  profile.Load(ProfileLocation(file).c_str());
  return profile.GetString(section, key, def, buf, cap);
}

Result WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
  std::string path = ProfileLocation(file);
  std::string text;
  if (GetPathKind(path.c_str()) == PathKind::File) {
    FileBytes bytes;
    if (Result read = ReadWholeFile(path.c_str(), &bytes, TextFile::Translation::Text); !read) return read;
    text.assign(bytes.View());
  } else if (Result made = EnsureParentFolder(path); !made) {
    return made;
  }

  std::vector<std::string> lines = SplitLines(text);
  const std::string wantedSection = FoldCase(TrimBlanks(section));
  const std::string wantedKey = FoldCase(TrimBlanks(key));
  const std::string entry = TrimBlanks(key) + "=" + value;

  std::size_t header = lines.size();
  for (std::size_t i = 0; i < lines.size() && header == lines.size(); ++i) {
    std::string name;
    if (HeaderName(lines[i], &name) && name == wantedSection) header = i;
  }
  if (header == lines.size()) {
    if (!lines.empty() && !TrimBlanks(lines.back()).empty()) lines.push_back(std::string());
    lines.push_back("[" + TrimBlanks(section) + "]");
    lines.push_back(entry);
  } else {
    std::size_t insertAt = header + 1;
    bool replaced = false;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
      std::string name;
      if (HeaderName(lines[i], &name)) break;
      if (IsKeyLine(lines[i], wantedKey)) {
        lines[i] = entry;
        replaced = true;
        break;
      }
      if (!TrimBlanks(lines[i]).empty()) insertAt = i + 1;
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
  }

  FileReplacement out;
  if (Result begun = out.Begin(path.c_str()); !begun) return begun;
  for (const std::string& line : lines) {
    out.Write(line.c_str());
    out.Write("\n");
  }
  return out.Commit();
}

}  // namespace plat
