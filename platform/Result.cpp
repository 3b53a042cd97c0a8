#include "Result.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstring>
#include <utility>

namespace plat {

Result Result::Failure(std::string reason) {
  Result failed;
  failed.m_done = false;
  failed.m_reason = std::move(reason);
  return failed;
}

Result Result::FromErrno(int error) { return Failure(error ? std::strerror(error) : ""); }

#ifdef _WIN32
Result Result::FromWin32(unsigned long error) {
  char text[512] = "";
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
  std::string reason(text, length);
  // The system's texts end in a full stop and a line break; ours are put
  // in brackets inside a sentence.
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  return Failure(reason.empty() ? "error " + std::to_string(error) : reason);
}
#endif

}  // namespace plat
