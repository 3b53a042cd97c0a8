// A Win32 critical section and its lock for one scope. The runtime of the
// win32 thread model offers no std::mutex, and a critical section works on
// every Windows the program is built for.
#pragma once

#include <windows.h>

class CCriticalSection {
 public:
  CCriticalSection() { ::InitializeCriticalSection(&m_section); }
  ~CCriticalSection() { ::DeleteCriticalSection(&m_section); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void Lock() { ::EnterCriticalSection(&m_section); }
  void Unlock() { ::LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION m_section;
};

// Holds the section from construction to the end of the scope.
class ScopedLock {
 public:
  explicit ScopedLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
  ~ScopedLock() { m_section.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  CCriticalSection& m_section;
};
