#include "HeldFile.h"

#include <cstring>
#include <vector>

namespace qvtest {
namespace {

std::string Beside(const char* name) {
  char module[MAX_PATH + 1];
  const DWORD length = ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string folder(module, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

}  // namespace

HeldFile::HeldFile(const std::string& path, unsigned milliseconds) {
  const std::string ready = path + ".held";
  ::DeleteFileA(ready.c_str());
  const std::string program = Beside("hold_file.exe");
  std::string command = "\"" + program + "\" \"" + path + "\" " + std::to_string(milliseconds) + " \"" + ready + "\"";
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  m_started = ::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &m_process) != 0;
  if (!m_started) return;
  // A generous bound for a busy machine; the holder is ready in milliseconds.
  for (int i = 0; i < 6000 && !m_holding; ++i) {
    if (::GetFileAttributesA(ready.c_str()) != INVALID_FILE_ATTRIBUTES) m_holding = true;
    else if (::WaitForSingleObject(m_process.hProcess, 5) == WAIT_OBJECT_0) break;
  }
  ::DeleteFileA(ready.c_str());
}

bool HeldFile::WaitUntilReleased() {
  if (!m_started) return false;
  DWORD status = 1;
  return ::WaitForSingleObject(m_process.hProcess, 60000) == WAIT_OBJECT_0 &&
         ::GetExitCodeProcess(m_process.hProcess, &status) && status == 0;
}

HeldFile::~HeldFile() {
  if (!m_started) return;
  if (::WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
    ::TerminateProcess(m_process.hProcess, 1);
    ::WaitForSingleObject(m_process.hProcess, 10000);
  }
  ::CloseHandle(m_process.hThread);
  ::CloseHandle(m_process.hProcess);
}

}  // namespace qvtest
