#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace engine {

// The airline progress bar's range ends at the scan's thousandth
// iteration.
inline constexpr int kScanProgressEnd = 1000;

// What the title scan of an airline's install found in the configuration
// file.
struct TitleScan {
  bool present = false;  // a section's title line carries the title
  int headers = 0;       // "[fltsim." headers counted before the scan ended
};

// Scans the bytes of the configuration file as the C runtime's text mode
// reads them (CR LF as LF) in lines of at most 1999 characters, each read
// taking one of at most 10000 iterations: a line beginning "[fltsim." is a
// header, and the line after it is its title line, whose text from the
// seventh character on, without its last character, is compared with the
// title. `progress`, unless empty, is told each iteration number up to
// kScanProgressEnd.
TitleScan ScanForTitle(std::string_view file, std::string_view title, const std::function<void(int)>& progress);

// What that scan finds in a file for every title at once: built in one
// pass, it answers each airline's scan as ScanForTitle would, progress
// included, without reading the file again.
class TitleIndex {
 public:
  // The scan of a whole file.
  explicit TitleIndex(std::string_view file);

  TitleScan Find(std::string_view title, const std::function<void(int)>& progress) const;

  // Whether bytes appended to the file can be scanned on from where the
  // scan ended: it ended at the file's end, after a whole line.
  bool CanExtend() const { return m_open; }
  // Goes on over bytes appended to the file as it was scanned (or as it
  // was last extended), as a scan of the whole longer file would.
  void Extend(std::string_view appended);

  // How far into the file the scan reaches: sections that begin at or
  // after this byte are never compared with a title.
  std::size_t Reach() const { return m_reach; }
  bool ReachesTheEnd() const { return !m_stoppedAtLimit; }

 private:
  struct FirstMatch {
    int iteration;      // of the header whose title line carries the title
    int headersBefore;  // headers counted before it
  };
  void Scan(std::string_view file);

  std::unordered_map<std::string, FirstMatch> m_first;
  int m_headers = 0;        // headers a scan that finds no title counts
  int m_lastIteration = 0;  // the last iteration a scan that finds no title reports
  int m_iteration = 0;      // where the scan goes on
  std::size_t m_reach = 0;  // bytes of the file the scan has taken
  bool m_stoppedAtLimit = false;
  bool m_open = true;       // no partial line and no unpaired header at the end
};

}  // namespace engine
