#include "SystemError.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstring>

namespace plat {
namespace {

std::string g_lastErrorText;

}  // namespace

const std::string& LastErrorText() { return g_lastErrorText; }

std::string Because() { return g_lastErrorText.empty() ? std::string() : " (" + g_lastErrorText + ")"; }

namespace detail {

void SetLastErrno(int error) { g_lastErrorText = error ? std::strerror(error) : ""; }

#ifdef _WIN32
void SetLastWin32Error(unsigned long error) {
  char text[512] = "";
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
  std::string reason(text, length);
  // The system's texts end in a full stop and a line break; ours are put
  // in brackets inside a sentence.
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  g_lastErrorText = reason.empty() ? "error " + std::to_string(error) : reason;
}
#endif

void SetLastErrorText(const std::string& text) { g_lastErrorText = text; }

}  // namespace detail
}  // namespace plat
