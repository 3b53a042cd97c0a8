#include "text/TitleScan.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

namespace {

constexpr std::size_t kLongestPiece = 1999;  // a read with a capacity of 2000
// The scan's reach, as in earlier releases: a title further down is not
// found and its airline is added again. Reaching further would change
// which airlines an install adds to the files users have kept for years;
// the file check names the sections past the reach instead.
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
  return TitleIndex(file).Find(title, progress);
}

TitleIndex::TitleIndex(std::string_view file) { Scan(file); }

void TitleIndex::Extend(std::string_view appended) {
  if (m_open && !m_stoppedAtLimit) Scan(appended);
}

// The scan of the whole file, every title at once: each header's title
// line is kept as the comparison would see it, its first header and
// iteration remembered. `file` is what follows the bytes already taken.
void TitleIndex::Scan(std::string_view file) {
  std::size_t at = 0;
  int& i = m_iteration;
  while (i < kMostIterations) {
    std::size_t after = 0;
    if (const std::size_t plain = PlainLinesAhead(file, at, &after)) {
      const int taken = static_cast<int>(std::min<std::size_t>(plain, static_cast<std::size_t>(kMostIterations - i)));
      m_lastIteration = i + taken - 1;
      i += taken;
      // Lines counted whole end where the window's last line feed is;
      // the file's last line may lack one.
      at = taken == static_cast<int>(plain) ? after : at;
      if (taken != static_cast<int>(plain)) {
        // The limit falls inside the lines counted at once: take them one
        // by one to know where it stops.
        for (int k = 0; k < taken; ++k) at = ReadPiece(file, at).next;
      }
      continue;
    }
    m_lastIteration = i;
    if (at >= file.size()) break;
    const Piece line = ReadPiece(file, at);
    at = line.next;
    ++i;
    if (line.text.substr(0, kHeader.size()) != kHeader) continue;
    if (at >= file.size()) {
      ++m_headers;  // a header with no line after it ends the scan here
      m_open = false;
      break;
    }
    const Piece titleLine = ReadPiece(file, at);
    at = titleLine.next;
    std::string_view compared = titleLine.text.substr(0, titleLine.text.find('\0'));
    if (!compared.empty()) compared.remove_suffix(1);
    if (compared.size() >= kTitleOffset) {
      m_first.emplace(std::string(compared.substr(kTitleOffset)), FirstMatch{m_lastIteration, m_headers});
    }
    ++m_headers;
  }
  m_reach += at;
  if (i >= kMostIterations) m_stoppedAtLimit = true;
  // Bytes appended after an unterminated last line would join it.
  if (!file.empty() && file.back() != '\n') m_open = false;
}

TitleScan TitleIndex::Find(std::string_view title, const std::function<void(int)>& progress) const {
  TitleScan scan;
  int last = m_lastIteration;
  const auto match = m_first.find(std::string(title));
  if (match != m_first.end()) {
    scan.present = true;
    scan.headers = match->second.headersBefore;
    last = match->second.iteration;
  } else {
    scan.headers = m_headers;
  }
  if (progress) {
    for (int p = 0; p <= last && p <= kScanProgressEnd; ++p) progress(p);
  }
  return scan;
}

}  // namespace engine
