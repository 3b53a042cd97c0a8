#pragma once

#include <string>
#include <string_view>

namespace plat {

// The profile functions answer in the ANSI code page, Windows-1252 here,
// also for a file stored as UTF-16.

// The UTF-16 code unit that a Windows-1252 byte stands for.
char16_t Utf16FromAnsi(unsigned char byte);

// The byte that WideCharToMultiByte gives for a code unit by default: the
// character itself where the code page has it (`exact`), else its "best
// fit" look-alike where it has one (an accented letter without its accent,
// a full-width sign as the ASCII one), else '?'.
struct AnsiUnit {
  unsigned char byte;
  bool exact;
};
AnsiUnit AnsiFromUtf16(char16_t unit);

// Whether the file begins with the byte-order mark of UTF-16 LE.
bool IsUtf16Profile(std::string_view bytes);

// Such a file's text after its mark, one byte for each code unit (an odd
// last byte counts as a unit of its own): `values` as the ANSI functions
// return it; `lines` the same, except that a unit the code page holds only
// as a look-alike is a zero byte there, so that it is neither a bracket,
// sign or blank of the file's lines nor the same letter as any name asked
// for, just as the UTF-16 character itself is not.
void DecodeUtf16Profile(std::string_view bytes, std::string* values, std::string* lines);

}  // namespace plat
