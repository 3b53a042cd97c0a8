#include "TitleScan.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kLongestPiece = 1999;  // a read with a capacity of 2000
constexpr int kMostIterations = 10000;
constexpr int kLastProgress = 1000;
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

// Lines that hold no '[' cannot be headers, and lines that fit in one read
// are read whole: such lines ahead are counted at once instead of read one
// by one. Gives their number, and where the read after them begins.
std::size_t PlainLinesAhead(std::string_view file, std::size_t at, std::size_t* next) {
  const char* start = file.data() + at;
  const std::size_t rest = file.size() - at;
  const std::size_t window = std::min(rest, kLongestPiece);
  const void* bracket = std::memchr(start, '[', window);
  if (!bracket && rest <= kLongestPiece) {
    // The rest of the file; its last line may lack a line feed.
    *next = file.size();
    if (rest == 0) return 0;
    return static_cast<std::size_t>(std::count(start, start + rest, '\n')) + (start[rest - 1] != '\n' ? 1 : 0);
  }
  // Whole lines only: up to the last line feed before the '[' or the end of
  // the window.
  std::size_t end = bracket ? static_cast<std::size_t>(static_cast<const char*>(bracket) - start) : window;
  while (end > 0 && start[end - 1] != '\n') --end;
  *next = at + end;
  return static_cast<std::size_t>(std::count(start, start + end, '\n'));
}

}  // namespace

TitleScan ScanForTitle(std::string_view file, std::string_view title, const std::function<void(int)>& progress) {
  TitleScan scan;
  std::size_t at = 0;
  for (int i = 0; i < kMostIterations;) {
    std::size_t after = 0;
    if (const std::size_t plain = PlainLinesAhead(file, at, &after)) {
      const int taken = static_cast<int>(std::min<std::size_t>(plain, static_cast<std::size_t>(kMostIterations - i)));
      for (int p = i; p < i + taken && p <= kLastProgress; ++p) progress(p);
      i += taken;
      at = after;
      continue;
    }
    if (i <= kLastProgress) progress(i);
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
