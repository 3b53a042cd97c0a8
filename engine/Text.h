#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Bounded text operations over the engine's fixed buffers. Each one writes
// at most the buffer's size, always terminates, and says whether the whole
// text fitted, so that "does not fit" is decided by the caller, never by a
// silent cut.

bool CopyText(char* dst, std::size_t cap, const char* src);
bool FormatText(char* dst, std::size_t cap, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

template <std::size_t N>
bool CopyText(char (&dst)[N], const char* src) {
  return CopyText(dst, N, src);
}

std::string Printf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// ASCII-only case folding; no locale is involved.
inline unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
bool EqualsIgnoringCase(const char* a, const char* b);
bool StartsWithIgnoringCase(const char* text, const char* prefix);
bool ContainsIgnoringCase(const char* text, const char* needle);
void LowerCaseInPlace(char* text);

bool EndsWithSeparator(const char* text);
