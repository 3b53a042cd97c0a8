#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Ascii.h"
#include "TextFile.h"

namespace plat {

// A profile ("ini") file read once and then asked many times, answering
// as GetPrivateProfileStringA does:
//  - a CR, an LF or a CR LF ends a line;
//  - a line whose first character after blanks is '[' and that holds a ']'
//    is a header, naming the section with what stands up to its last ']';
//  - section and key names are compared without regard to ASCII case;
//  - blanks (space, tab, VT, FF and Ctrl-Z) around names and values do not
//    count; a value in matching double or single quotes loses them;
//  - the first matching section and key win;
//  - a file that begins with the UTF-16 LE byte-order mark is read as
//    UTF-16 and answers in Windows-1252 (ProfileEncoding.h); a UTF-8 mark
//    is text of the first line, so the first section is not found.
// Where none of our queries tells them apart, it differs: a line beginning
// with ';' holds no key (for the function, a key named ";..."); a line
// without '=' is a key with an empty value (for the function, no key: with
// the default "" the same answer); a zero byte is text (for the function,
// the end of a name or value; the catalogue's reader cuts values there).
//
// Reading finds the section headers only; a section's lines are looked at
// when a key of it is asked for, so a catalogue of a thousand sections is
// read quickly even when only one section matters.
class ProfileFile {
 public:
  // False when the file cannot be read; every lookup then gives the default.
  Result Load(const char* path);

  // Copies the value (or `def` when the section or key is missing) into buf,
  // cut to cap - 1 characters (a quoted value of exactly cap - 1 characters
  // to cap - 2, as the system function cuts it), and returns the number of
  // characters copied.
  std::size_t GetString(const char* section, const char* key, const char* def, char* buf,
                        std::size_t cap) const;

  // The value itself, or nothing when the section or key is missing. The
  // view lives as long as this object and its text.
  std::optional<std::string_view> Find(const char* section, const char* key) const;

  bool HasSection(const char* section) const;

  // Uses profile text that is already in memory.
  void Parse(std::string_view text);

  // The sections in file order (duplicates included), for callers that
  // walk them all once instead of asking for each name: a section's name
  // as written between the brackets, trimmed, as it is compared (in a
  // UTF-16 file a character that Windows-1252 holds only as a look-alike
  // reads as a zero byte), and a key of that very section, found as Find
  // finds it.
  std::size_t SectionCount() const { return m_sections.size(); }
  std::string_view SectionName(std::size_t index) const;
  std::optional<std::string_view> FindInSection(std::size_t index, const char* key) const;

  std::vector<std::string> SectionNames() const;

 private:
  // Offsets into the text, so that moves stay valid.
  struct Section {
    std::size_t nameBegin;
    std::size_t nameLength;
    std::size_t bodyBegin;  // the lines after the header
    std::size_t bodyEnd;    // up to the next header
  };
  struct Value {
    std::string_view text;
    bool quoted;  // it stood in quotes, which the text no longer holds
  };
  std::optional<Value> FindValue(std::size_t index, const char* key) const;
  void Decode();
  void Index();
  bool FirstSection(const char* section, std::size_t* index) const;
  // The text that lines, names and signs are found in: the file's own, or
  // for a UTF-16 file the one DecodeUtf16Profile makes for that.
  std::string_view Lines() const { return m_decoded ? m_lines.View() : m_text.View(); }

  FileBytes m_text;   // the values are read from here
  FileBytes m_lines;  // only for a UTF-16 file; offsets are the same in both
  bool m_decoded = false;
  std::vector<Section> m_sections;
};

// GetPrivateProfileStringA: a bare file name is looked for where
// ProfileLocation() says.
std::size_t ReadProfileValue(const char* section, const char* key, const char* def, char* buf,
                             std::size_t cap, const char* file);

// WritePrivateProfileStringA: replaces the key's value or adds the key,
// creating the section and the file as needed; every other line stays as
// it was. A failure when the file cannot be written.
Result WriteProfileValue(const char* section, const char* key, const char* value, const char* file);

}  // namespace plat
