// The Win32 profile functions themselves.

#include <windows.h>

#include "Profile.h"
#include "SystemError.h"

namespace plat {

std::size_t ReadProfileValue(const char* section, const char* key, const char* def, char* buf,
                              std::size_t cap, const char* file) {
  if (!buf || cap == 0) return 0;
  return GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(cap), file);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
  if (WritePrivateProfileStringA(section, key, value, file)) return true;
  const DWORD error = GetLastError();
  if (error == NO_ERROR) {
    detail::SetLastErrorText("Windows gave no reason");
  } else {
    detail::SetLastWin32Error(error);
  }
  return false;
}

}  // namespace plat
