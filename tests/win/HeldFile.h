// A file held open by a second process (hold_file.exe, beside the test
// program) while this object lives.
#pragma once

#include <windows.h>

#include <string>

namespace qvtest {

class HeldFile {
 public:
  // Starts the holder and returns once it holds the file; it lets go after
  // `milliseconds`, or when this object ends.
  HeldFile(const std::string& path, unsigned milliseconds);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  bool Holds() const { return m_holding; }
  unsigned long ProcessId() const { return m_process.dwProcessId; }
  // Waits until the holder has let go; false when it failed.
  bool WaitUntilReleased();

 private:
  PROCESS_INFORMATION m_process{};
  bool m_started = false;
  bool m_holding = false;
};

}  // namespace qvtest
