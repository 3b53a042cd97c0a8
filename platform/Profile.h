#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace plat {

// A profile ("ini") file parsed once and then asked many times, answering
// as GetPrivateProfileStringA would: section and key names compared without
// regard to ASCII case, blanks around names and values trimmed, a value in
// matching double quotes loses them, the first matching section and key
// win, lines beginning with ';' are comments.
class ProfileFile {
 public:
  // False when the file cannot be read; every lookup then gives the default.
  bool Load(const char* path);

  // Copies the value (or `def` when the section or key is missing) into buf,
  // cut to cap - 1 characters, and returns the number of characters copied.
  std::size_t GetString(const char* section, const char* key, const char* def, char* buf,
                        std::size_t cap) const;

  // The value itself, or null when the section or key is missing.
  const std::string* Find(const char* section, const char* key) const;

  bool HasSection(const char* section) const;

  // Parses profile text that is already in memory.
  void Parse(const std::string& text);

  // The names of the sections in file order (duplicates included).
  std::vector<std::string> SectionNames() const;

 private:
  struct Entry {
    std::string key;  // folded
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> firstSection_;  // folded name -> index
};

// GetPrivateProfileStringA: a bare file name is looked for where
// ProfileLocation() says.
std::size_t ReadProfileValue(const char* section, const char* key, const char* def, char* buf,
                              std::size_t cap, const char* file);

// WritePrivateProfileStringA: replaces the key's value or adds the key,
// creating the section and the file as needed; every other line stays as
// it was.
bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file);

// ASCII-only case folding shared by the profile code.
std::string FoldCase(const std::string& text);

}  // namespace plat
