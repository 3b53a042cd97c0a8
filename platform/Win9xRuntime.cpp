// The runtime the programs are linked with (GCC's support library and the
// mingw-w64 C runtime) calls three Unicode functions of kernel32:
// CreateSemaphoreW for the locks of its thread support (taken when frames
// are registered at start-up, for thread-local data and for the guards of
// static variables), and GetModuleHandleW and LoadLibraryW to find
// msvcrt.dll or advapi32.dll by name. Windows 98 and ME export these only
// as stubs that fail, so there the locks would have no semaphore to wait
// on. Their ANSI forms work on every Windows, and with a name that is
// plain ASCII (or none) they do exactly the same.
//
// This file defines the import slots through which the runtime's code
// calls the three (the symbols "__imp_" + name, which the linker would
// otherwise take from kernel32's import library), pointing at functions
// that call the ANSI forms. The linker then finds the slots defined and
// takes nothing from the import library: the programs do not import the
// Unicode names at all, which the release's import check holds them to.
// It works only when this object is linked into the program itself (an
// object library): in a static library nothing would pull it in before the
// runtime's libraries ask for the slots.

#include <windows.h>

namespace {

// The name in the code page of the system; false when it does not convert
// exactly or does not fit.
bool Narrow(LPCWSTR name, char (&narrow)[MAX_PATH]) {
  BOOL lossy = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, MAX_PATH, nullptr, &lossy);
  return length > 0 && !lossy;
}

HANDLE WINAPI CreateSemaphoreThroughAnsi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name) {
  char narrow[MAX_PATH];
  if (!name) return ::CreateSemaphoreA(security, initial, maximum, nullptr);
  if (!Narrow(name, narrow)) {
    ::SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  return ::CreateSemaphoreA(security, initial, maximum, narrow);
}

HMODULE WINAPI GetModuleHandleThroughAnsi(LPCWSTR name) {
  char narrow[MAX_PATH];
  if (!name) return ::GetModuleHandleA(nullptr);
  if (!Narrow(name, narrow)) {
    ::SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  return ::GetModuleHandleA(narrow);
}

HMODULE WINAPI LoadLibraryThroughAnsi(LPCWSTR name) {
  char narrow[MAX_PATH];
  if (!name || !Narrow(name, narrow)) {
    ::SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  return ::LoadLibraryA(narrow);
}

}  // namespace

// The import slots, named as the compiler names them for a dllimport
// function: with the leading underscore and the size of the arguments on
// 32-bit Windows (stdcall), plainly on 64-bit Windows.
#ifdef _WIN64
#define QV_IMPORT_SLOT(name, bytes) "__imp_" #name
#else
#define QV_IMPORT_SLOT(name, bytes) "__imp__" #name "@" #bytes
#endif

extern "C" {
extern decltype(&CreateSemaphoreThroughAnsi) const qvCreateSemaphoreSlot asm(QV_IMPORT_SLOT(CreateSemaphoreW, 16));
extern decltype(&GetModuleHandleThroughAnsi) const qvGetModuleHandleSlot asm(QV_IMPORT_SLOT(GetModuleHandleW, 4));
extern decltype(&LoadLibraryThroughAnsi) const qvLoadLibrarySlot asm(QV_IMPORT_SLOT(LoadLibraryW, 4));

decltype(&CreateSemaphoreThroughAnsi) const qvCreateSemaphoreSlot = CreateSemaphoreThroughAnsi;
decltype(&GetModuleHandleThroughAnsi) const qvGetModuleHandleSlot = GetModuleHandleThroughAnsi;
decltype(&LoadLibraryThroughAnsi) const qvLoadLibrarySlot = LoadLibraryThroughAnsi;
}
