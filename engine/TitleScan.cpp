#include "TitleScan.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

namespace {

constexpr std::size_t kLongestPiece = 1999;  // a read with a capacity of 2000
constexpr int kMostIterations = 10000;
constexpr std::size_t kTitleOffset = 6;  // "Title=" is skipped untested
constexpr std::string_view kHeader = "[fltsim.";

// One read of the text-mode file: up to and including the next line feed,
// but never more than kLongestPiece characters.
struct Piece {
  std::string_view text;  // as stored; a CR before the line feed is its last byte
  std::size_t next;       // where the following read begins
};

Piece ReadPiece(std::string_view file, std::size_t at) {
  const std::size_t window = std::min(file.size() - at, kLongestPiece);
  const char* start = file.data() + at;
  if (const void* lineFeed = std::memchr(start, '\n', window)) {
    const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start) + 1;
    // A CR LF pair reads as one line feed: one character fewer.
    const bool pair = length >= 2 && start[length - 2] == '\r';
    return Piece{file.substr(at, pair ? length - 1 : length), at + length};
  }
  // A CR at the end of a full read takes its LF with it.
  std::size_t next = at + window;
  if (window > 0 && start[window - 1] == '\r' && next < file.size() && file[next] == '\n') ++next;
  return Piece{file.substr(at, window), next};
}

// The title line as the scan compares it: as a C string, its last
// character (normally the line feed) removed, from the seventh on.
bool CarriesTitle(std::string_view line, std::string_view title) {
  line = line.substr(0, line.find('\0'));
  if (!line.empty()) line.remove_suffix(1);
  return line.size() >= kTitleOffset && line.substr(kTitleOffset) == title;
}

#if defined(__SSE2__)
// The bits set in a 16-bit mask.
unsigned BitCount(unsigned mask) {
  mask = mask - ((mask >> 1) & 0x5555u);
  mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
  mask = (mask + (mask >> 4)) & 0x0F0Fu;
  return (mask + (mask >> 8)) & 0x1Fu;
}

// The sum of the sixteen byte counters.
std::size_t SumCounters(__m128i counters) {
  const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
  return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) + static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
}
#endif

// Where the first '[' of [p, p + n) stands (n when there is none), and in
// *lineFeeds how many line feeds come before it, in one pass: sixteen bytes
// at a time where the processor has SSE2, as every x86-64 does. The scan
// looks at every byte of the file's first ten thousand lines for every
// airline of a run.
std::size_t FindBracket(const char* p, std::size_t n, std::size_t* lineFeeds) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i bracket = _mm_set1_epi8('[');
  __m128i counters = _mm_setzero_si128();  // a byte each, counting up by one per line feed
  unsigned rounds = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i feeds = _mm_cmpeq_epi8(bytes, lineFeed);
    const unsigned brackets = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, bracket)));
    if (brackets != 0) {
      const unsigned before = (brackets & (0u - brackets)) - 1;  // the bits below the first bracket
      *lineFeeds = count + SumCounters(counters) +
                   BitCount(static_cast<unsigned>(_mm_movemask_epi8(feeds)) & before);
      return i + static_cast<std::size_t>(__builtin_ctz(brackets));
    }
    counters = _mm_sub_epi8(counters, feeds);  // a match is all ones, minus one
    if (++rounds == 255) {                     // before a byte counter can overflow
      count += SumCounters(counters);
      counters = _mm_setzero_si128();
      rounds = 0;
    }
  }
  count += SumCounters(counters);
#endif
  for (; i < n && p[i] != '['; ++i) count += p[i] == '\n';
  *lineFeeds = count;
  return i;
}

// Lines that hold no '[' cannot be headers, and lines that fit in one read
// are read whole: such lines ahead are counted at once instead of read one
// by one. Gives their number, and where the read after them begins.
std::size_t PlainLinesAhead(std::string_view file, std::size_t at, std::size_t* next) {
  const char* start = file.data() + at;
  const std::size_t rest = file.size() - at;
  const std::size_t window = std::min(rest, kLongestPiece);
  std::size_t lineFeeds = 0;
  const std::size_t bracket = FindBracket(start, window, &lineFeeds);
  if (bracket == window && rest <= kLongestPiece) {
    // The rest of the file; its last line may lack a line feed.
    *next = file.size();
    if (rest == 0) return 0;
    return lineFeeds + (start[rest - 1] != '\n' ? 1 : 0);
  }
  // Whole lines only: up to the last line feed before the '[' or the end of
  // the window, which every line feed counted comes before.
  std::size_t end = bracket;
  while (end > 0 && start[end - 1] != '\n') --end;
  *next = at + end;
  return lineFeeds;
}

}  // namespace

TitleScan ScanForTitle(std::string_view file, std::string_view title, const std::function<void(int)>& progress) {
  TitleScan scan;
  std::size_t at = 0;
  for (int i = 0; i < kMostIterations;) {
    std::size_t after = 0;
    if (const std::size_t plain = PlainLinesAhead(file, at, &after)) {
      const int taken = static_cast<int>(std::min<std::size_t>(plain, static_cast<std::size_t>(kMostIterations - i)));
      for (int p = i; p < i + taken && p <= kScanProgressEnd; ++p) progress(p);
      i += taken;
      at = after;
      continue;
    }
    if (i <= kScanProgressEnd) progress(i);
    if (at >= file.size()) break;
    const Piece line = ReadPiece(file, at);
    at = line.next;
    ++i;
    if (line.text.substr(0, kHeader.size()) != kHeader) continue;
    if (at >= file.size()) {
      ++scan.headers;  // a header with no line after it
      break;
    }
    const Piece titleLine = ReadPiece(file, at);
    at = titleLine.next;
    if (CarriesTitle(titleLine.text, title)) {
      scan.present = true;
      break;
    }
    ++scan.headers;
  }
  return scan;
}

}  // namespace engine
