// The Win32 profile functions themselves.

#include <windows.h>

#include "Profile.h"
#include "Result.h"

namespace plat {

std::size_t ReadProfileValue(const char* section, const char* key, const char* def, char* buf,
                              std::size_t cap, const char* file) {
  if (!buf || cap == 0) return 0;
  return GetPrivateProfileStringA(section, key, def, buf, static_cast<DWORD>(cap), file);
}

Result WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
  if (WritePrivateProfileStringA(section, key, value, file)) return Result();
  const DWORD error = GetLastError();
  return error == NO_ERROR ? Result::Failure("Windows gave no reason") : Result::FromWin32(error);
}

}  // namespace plat
