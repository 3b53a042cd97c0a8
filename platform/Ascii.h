#pragma once

#include <string>
#include <string_view>

namespace plat {

// Case folding as this program does it everywhere: the ASCII capitals A to
// Z become a to z and every other byte stays as it is, whatever the locale.
constexpr char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

constexpr unsigned char FoldAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

inline std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldAscii(c);
  return folded;
}

}  // namespace plat
