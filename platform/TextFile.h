#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "FileSystem.h"

namespace plat {

// A whole file's bytes, held without the zero fill that a string gets
// before it is read into: the catalogue and the configuration file are read
// whole for every airline of a run.
class FileBytes {
 public:
  static FileBytes Copy(std::string_view text);
  std::string_view View() const { return std::string_view(m_data.get(), m_size); }

 private:
  friend class TextFile;
  std::unique_ptr<char[]> m_data;
  std::size_t m_size = 0;
};

// A file in the C runtime's text mode, made the same on every platform:
// reading turns each CR LF into one LF (a lone CR stays), writing stores
// each LF as CR LF. Unlike the Windows runtime, a Ctrl-Z byte is data, not
// the end of the file, so no line after it is lost.
class TextFile {
 public:
  enum class Mode {
    Read,    // "rt"
    Append,  // "a+t": writes go to the end
    Write,   // "w+t": created or truncated
  };

  // Binary files keep every byte as it is; used where a file must come back
  // exactly (restoring a backup, comparing contents).
  enum class Translation { Text, Binary };

  TextFile();
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  Result Open(const char* path, Mode mode, Translation translation = Translation::Text);
  // Takes over a stream opened for writing elsewhere (a new temporary file)
  // and closes it when done.
  void Attach(std::FILE* stream, Translation translation);
  bool IsOpen() const { return m_file != nullptr; }

  // Reads the characters up to and including the next line feed, but never
  // more than cap - 1, and terminates them. False at the end of the file
  // when nothing was read, and after a read error (Close() then says so).
  // *length receives the number of bytes stored, which differs from
  // strlen() when the line holds a zero byte.
  bool ReadLine(char* buf, std::size_t cap, std::size_t* length = nullptr);

  // Reads everything from the current position to the end.
  bool ReadAll(FileBytes* bytes);

  // Queues the text for writing; an error shows at Close().
  void Write(const char* text);
  void Write(const char* text, std::size_t length);

  // Hands what was written so far to the system, leaving the file open;
  // a failure if anything failed since Open.
  Result Flush();
  // The open file's state now.
  FileState State() const;

  // Flushes and closes; with `durable` the data is on disk when it returns.
  // A failure, with the reason of the first, if any read, write, flush or
  // close failed since Open.
  Result Close(bool durable = false);

  // The file's size when it was opened, and, in Append mode, whether it
  // then ended in a line feed (an empty file counts as ending in one).
  std::uint64_t SizeAtOpen() const { return m_sizeAtOpen; }
  bool EndedWithLineBreak() const { return m_endedWithLineBreak; }

 private:
  static constexpr std::uint64_t kSizeUnknown = ~std::uint64_t{0};
  // sizeFromOpenFile: target.size was taken from the open file itself.
  Result Begin(std::FILE* opened, Mode mode, const PathInfo& target, bool sizeFromOpenFile);
  // knownSize: the open file's size, or kSizeUnknown.
  void ReadTail(std::uint64_t knownSize);
  bool Fill();
  void FlushBuffer();
  void Fail(int error);
  void Reset(Mode mode, Translation translation);

  std::FILE* m_file = nullptr;
  Mode m_mode = Mode::Read;
  bool m_binary = false;
  bool m_failed = false;
  int m_error = 0;  // errno of the first failure
  bool m_atEnd = false;
  std::uint64_t m_sizeAtOpen = 0;
  bool m_endedWithLineBreak = true;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_pos = 0;
  std::size_t m_end = 0;
};

// Opens, reads whole and closes a file; a failure, with no bytes, when any
// of that fails.
Result ReadWholeFile(const char* path, FileBytes* bytes,
                   TextFile::Translation translation = TextFile::Translation::Binary);

}  // namespace plat
