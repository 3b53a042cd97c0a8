#pragma once

#include <functional>
#include <string_view>

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
// title. `progress` is told each iteration number up to kScanProgressEnd.
TitleScan ScanForTitle(std::string_view file, std::string_view title, const std::function<void(int)>& progress);

}  // namespace engine
