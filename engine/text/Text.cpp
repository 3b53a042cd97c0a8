#include "text/Text.h"

#include <cstdio>
#include <cstring>

namespace engine {

bool CopyText(char* dst, std::size_t cap, const char* src) {
  if (cap == 0) return false;
  std::size_t len = std::strlen(src);
  bool fits = len < cap;
  if (!fits) len = cap - 1;
  std::memcpy(dst, src, len);
  dst[len] = '\0';
  return fits;
}

bool FormatText(char* dst, std::size_t cap, const char* format, ...) {
  if (cap == 0) return false;
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(dst, cap, format, args);
  va_end(args);
  if (n < 0) {
    dst[0] = '\0';
    return false;
  }
  return static_cast<std::size_t>(n) < cap;
}

std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (n > 0) {
    text.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(&text[0], text.size(), format, again);
    text.resize(static_cast<std::size_t>(n));
  }
  va_end(again);
  return text;
}

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char ca = FoldAscii(static_cast<unsigned char>(*a));
    if (ca != FoldAscii(static_cast<unsigned char>(*b))) return false;
    if (ca == 0) return true;
  }
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (FoldAscii(static_cast<unsigned char>(*text)) != FoldAscii(static_cast<unsigned char>(*prefix))) return false;
  }
  return true;
}

bool ContainsIgnoringCase(const char* text, const char* needle) {
  if (!*needle) return true;
  // The whole needle is compared only where its first letter stands.
  const unsigned char first = FoldAscii(static_cast<unsigned char>(*needle));
  for (; *text; ++text) {
    if (FoldAscii(static_cast<unsigned char>(*text)) == first && StartsWithIgnoringCase(text, needle)) return true;
  }
  return false;
}

void LowerCaseInPlace(char* text) {
  for (; *text; ++text) *text = static_cast<char>(FoldAscii(static_cast<unsigned char>(*text)));
}

}  // namespace engine
