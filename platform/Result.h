#pragma once

#include <string>

namespace plat {

// What an operation of this layer came to: done, or failed with the
// reason the system gave, in its own words ("No space left on device",
// "Access is denied."). Tests as a bool; the reason travels with the
// failure, so a caller reports it wherever it likes.
class Result {
 public:
  Result() = default;  // done

  static Result Failure(std::string reason);
  // errno's reason (strerror); 0 gives a failure without one.
  static Result FromErrno(int error);
#ifdef _WIN32
  // A GetLastError() value's reason (FormatMessageA).
  static Result FromWin32(unsigned long error);
#endif

  explicit operator bool() const { return m_done; }
  const std::string& Reason() const { return m_reason; }
  // The reason in brackets after a blank, or nothing when there is none:
  // what a message adds to "X could not be written".
  std::string Because() const { return m_reason.empty() ? std::string() : " (" + m_reason + ")"; }

 private:
  bool m_done = true;
  std::string m_reason;
};

}  // namespace plat
