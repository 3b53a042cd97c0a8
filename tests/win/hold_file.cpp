// A second process for the tests that holds a file open the way an
// antivirus, the search indexer or a sync client does for a moment: for
// reading, sharing reading and writing but not deletion, so that the file
// can be read but not replaced, renamed or deleted.
//   hold_file PATH MILLISECONDS READY_FILE
// Once the file is open it creates READY_FILE, holds the file for
// MILLISECONDS and exits 0; 2 when the file cannot be opened.

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  HANDLE file = ::CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  HANDLE ready = ::CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 2;
  ::CloseHandle(ready);
  ::Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  ::CloseHandle(file);
  return 0;
}
