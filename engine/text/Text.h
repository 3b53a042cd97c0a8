#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#include "platform/Ascii.h"

namespace engine {

// Bounded text operations over the engine's fixed buffers. Each one writes
// at most the buffer's size, always terminates, and says whether the whole
// text fitted, so that "does not fit" is decided by the caller, never by a
// silent cut.

// mingw-w64 formats with its own C99 printf, which knows %zu.
#if defined(__MINGW32__)
#define QV_PRINTF(format_index, first_arg) __attribute__((format(gnu_printf, format_index, first_arg)))
#elif defined(__GNUC__)
#define QV_PRINTF(format_index, first_arg) __attribute__((format(printf, format_index, first_arg)))
#else
#define QV_PRINTF(format_index, first_arg)
#endif

bool CopyText(char* dst, std::size_t cap, const char* src);
bool FormatText(char* dst, std::size_t cap, const char* format, ...) QV_PRINTF(3, 4);

template <std::size_t N>
bool CopyText(char (&dst)[N], const char* src) {
  return CopyText(dst, N, src);
}

std::string Printf(const char* format, ...) QV_PRINTF(1, 2);

// Comparisons that fold ASCII capitals only (plat::FoldAscii).
using plat::FoldAscii;
bool EqualsIgnoringCase(const char* a, const char* b);
bool StartsWithIgnoringCase(const char* text, const char* prefix);
bool ContainsIgnoringCase(const char* text, const char* needle);
void LowerCaseInPlace(char* text);

}  // namespace engine
