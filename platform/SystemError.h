#pragma once

#include <string>

namespace plat {

// The reason the system gave for the latest failure of an operation of
// this layer, in the system's own words ("No space left on device",
// "Access is denied."). Every failing operation sets it, so a caller that
// reports a failure reads it right after the call that failed.
const std::string& LastErrorText();

// The same reason in brackets after a blank, or nothing when there is
// none: what a message adds to "X could not be written".
std::string Because();

namespace detail {
// Records errno's reason (strerror).
void SetLastErrno(int error);
#ifdef _WIN32
// Records a GetLastError() value's reason (FormatMessageA).
void SetLastWin32Error(unsigned long error);
#endif
// For failures that are ours, not the system's.
void SetLastErrorText(const std::string& text);
}  // namespace detail

}  // namespace plat
