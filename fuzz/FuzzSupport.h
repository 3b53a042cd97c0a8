#pragma once

// Helpers shared by the fuzz targets: a scratch folder that lives for the
// whole fuzzing process, whole-file I/O, and an independent model of how
// our text files read (CR LF in the file, LF in memory).

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace fuzz {

// Stops the run with a message libFuzzer records as a crash.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = std::string()) {
  std::fprintf(stderr, "INVARIANT BROKEN: %s\n%s\n", what, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

inline void Check(bool ok, const char* what, const std::string& detail = std::string()) {
  if (!ok) Fail(what, detail);
}

// A folder made once per process, in memory when /dev/shm is there, so the
// engine's durable writes cost no disk flushes.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-fuzz-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) Fail("mkdtemp");
    std::string made = buf.data();
    // The folder goes when the fuzzer exits normally.
    static std::string forCleanup = made;
    std::atexit([] {
      std::string command = "rm -rf '" + forCleanup + "'";
      if (std::system(command.c_str()) != 0) {
      }
    });
    return made;
  }();
  return folder;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("cannot write scratch file", path);
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// What a text-mode read delivers: each CR LF pair becomes one LF, a lone
// CR stays.
inline std::string DecodeTextMode(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

// Whether a text file can be read soundly: no zero byte, and an
// end-of-file mark (Ctrl-Z) only as the very last byte.
inline bool ReadsSoundly(const std::string& bytes) {
  const std::size_t mark = bytes.find('\x1a');
  return bytes.find('\0') == std::string::npos && (mark == std::string::npos || mark + 1 == bytes.size());
}

// What a text-mode read of a file that reads soundly delivers: the last
// byte's end-of-file mark dropped, each CR LF one LF.
inline std::string TextOf(std::string bytes) {
  if (!bytes.empty() && bytes.back() == '\x1a') bytes.pop_back();
  return DecodeTextMode(bytes);
}

inline bool ContainsFolded(const std::string& text, const std::string& foldedNeedle) {
  return Folded(text).find(foldedNeedle) != std::string::npos;
}

}  // namespace fuzz
