#include "TextFile.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>

#include <cerrno>

#include "FaultInjection.h"
#include "FileSystem.h"
#include "Result.h"

namespace plat {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

TextFile::TextFile() : m_buffer(new char[kBufferSize]) {}

TextFile::~TextFile() {
  if (m_file) Close();
}

void TextFile::Reset(Mode mode, Translation translation) {
  if (m_file) Close();
  m_mode = mode;
  m_binary = translation == Translation::Binary;
  m_failed = false;
  m_error = 0;
  m_atEnd = false;
  m_pos = m_end = 0;
  m_sizeAtOpen = 0;
  m_endedWithLineBreak = true;
}

void TextFile::Fail(int error) {
  if (!m_failed) m_error = error ? error : EIO;
  m_failed = true;
}

void TextFile::Attach(std::FILE* stream, Translation translation) {
  Reset(Mode::Write, translation);
  m_file = stream;
  std::setvbuf(m_file, nullptr, _IONBF, 0);
}

Result TextFile::Open(const char* path, Mode mode, Translation translation) {
  Reset(mode, translation);
  if (const int fault = detail::InjectFault(FileOp::Open)) return Result::FromErrno(fault);
  if (mode != Mode::Write) {
    PathInfo info;
    if (std::FILE* opened = detail::OpenExistingStream(path, mode == Mode::Append, &info)) {
      // A read-only file opened for appending is closed again before
      // anything is written, as the read-only attribute would refuse it.
      if (mode == Mode::Append && info.readOnly) {
        std::fclose(opened);
        return Result::FromErrno(EACCES);
      }
      return Begin(opened, mode, info, /*sizeFromOpenFile=*/true);
    }
  }
  // One look at the path answers every question asked before the open.
  const PathInfo target = InspectPath(path);
  // Opening a folder "succeeds" on Linux; on Windows it does not.
  if (target.kind == PathKind::Folder) {
    return Result::FromErrno(EISDIR);
  }
  if (mode != Mode::Read && !MayWrite(target)) {
    return Result::FromErrno(EACCES);
  }

  const char* how = mode == Mode::Read ? "rb" : mode == Mode::Append ? "a+b" : "w+b";
  std::FILE* opened = detail::OpenStream(target, how);
  if (!opened) {
    return Result::FromErrno(errno);
  }
  return Begin(opened, mode, target, /*sizeFromOpenFile=*/false);
}

Result TextFile::Begin(std::FILE* opened, Mode mode, const PathInfo& target, bool sizeFromOpenFile) {
  m_file = opened;
  // The runtime's own buffer would only copy what ours holds, and cost
  // extra reads around the seeks of an append.
  std::setvbuf(m_file, nullptr, _IONBF, 0);
  if (mode == Mode::Read && target.kind == PathKind::File) m_sizeAtOpen = target.size;
  if (mode == Mode::Append) ReadTail(sizeFromOpenFile ? target.size : kSizeUnknown);
  return Result();
}

void TextFile::ReadTail(std::uint64_t knownSize) {
#ifdef _WIN32
  (void)knownSize;  // the stream tells
  // Reading is allowed in "a+" mode; writes still go to the end. Seeking
  // back from the end fails only on an empty file.
  if (std::fseek(m_file, -1, SEEK_END) == 0) {
    m_endedWithLineBreak = std::fgetc(m_file) == '\n';
  } else if (std::fseek(m_file, 0, SEEK_END) != 0) {
    Fail(errno);
    return;
  }
  const long size = std::ftell(m_file);
  if (size < 0 || std::fseek(m_file, 0, SEEK_END) != 0) {
    Fail(errno);
    return;
  }
  m_sizeAtOpen = static_cast<std::uint64_t>(size);
#else
  // The last byte is read where it stands, leaving the stream as opened.
  if (knownSize == kSizeUnknown) {
    struct stat st;
    if (fstat(fileno(m_file), &st) != 0) {
      Fail(errno);
      return;
    }
    knownSize = static_cast<std::uint64_t>(st.st_size);
  }
  m_sizeAtOpen = knownSize;
  if (m_sizeAtOpen == 0) return;
  char last = 0;
  if (pread(fileno(m_file), &last, 1, static_cast<off_t>(m_sizeAtOpen - 1)) != 1) {
    Fail(errno);
    return;
  }
  m_endedWithLineBreak = last == '\n';
#endif
}

bool TextFile::Fill() {
  if (m_atEnd || m_failed || !m_file) return false;
  if (const int error = detail::InjectFault(FileOp::Read)) {
    Fail(error);
    return false;
  }
  std::size_t got = std::fread(m_buffer.get(), 1, kBufferSize, m_file);
  if (got == 0) {
    if (std::ferror(m_file)) Fail(errno);
    m_atEnd = true;
    return false;
  }
  m_pos = 0;
  m_end = got;
  return true;
}

bool TextFile::ReadLine(char* buf, std::size_t cap, std::size_t* length) {
  if (length) *length = 0;
  if (!m_file || m_mode == Mode::Write || cap == 0) return false;
  std::size_t n = 0;
  bool lineEnded = false;
  // Whole runs up to the next line feed are copied at once; lines are
  // scanned thousands of times in one install run.
  while (!lineEnded && n + 1 < cap) {
    if (m_pos == m_end && !Fill()) break;
    const char* start = m_buffer.get() + m_pos;
    const std::size_t take = std::min(m_end - m_pos, cap - 1 - n);
    const char* lineFeed = static_cast<const char*>(std::memchr(start, '\n', take));
    const std::size_t run = lineFeed ? static_cast<std::size_t>(lineFeed - start) + 1 : take;
    std::memcpy(buf + n, start, run);
    n += run;
    m_pos += run;
    lineEnded = lineFeed != nullptr;
    if (m_binary) continue;
    if (lineEnded) {
      if (n >= 2 && buf[n - 2] == '\r') {
        buf[n - 2] = '\n';  // CR LF read as one line feed
        --n;
      }
    } else if (buf[n - 1] == '\r') {
      // A CR at the end of the run: its partner may be the next byte.
      if (m_pos == m_end) Fill();
      if (m_pos < m_end && m_buffer[m_pos] == '\n') {
        ++m_pos;
        buf[n - 1] = '\n';
        lineEnded = true;
      }
    }
  }
  buf[n] = '\0';
  if (m_failed) return false;
  if (length) *length = n;
  return n > 0;
}

namespace {

// Each CR LF becomes one LF, in place, a run at a time; a lone CR stays.
// Gives the new size.
std::size_t CompactLineEnds(char* text, std::size_t size) {
  char* out = text;
  const char* in = text;
  const char* end = text + size;
  while (in < end) {
    const char* cr = static_cast<const char*>(std::memchr(in, '\r', static_cast<std::size_t>(end - in)));
    const std::size_t run = static_cast<std::size_t>((cr ? cr : end) - in);
    std::memmove(out, in, run);
    out += run;
    in += run;
    if (!cr) break;
    if (in + 1 < end && in[1] == '\n') {
      ++in;  // the LF that follows is copied with the next run
    } else {
      *out++ = *in++;
    }
  }
  return static_cast<std::size_t>(out - text);
}

}  // namespace

FileBytes FileBytes::Copy(std::string_view text) {
  FileBytes bytes;
  bytes.m_data.reset(new char[text.size()]);
  if (!text.empty()) std::memcpy(bytes.m_data.get(), text.data(), text.size());
  bytes.m_size = text.size();
  return bytes;
}

bool TextFile::ReadAll(FileBytes* bytes) {
  *bytes = FileBytes();
  if (!m_file || m_mode == Mode::Write) return false;
  // A file read from its start holds the size it had when it was looked
  // at: once that much is read, the file is whole as it was at the open,
  // without a further read to meet its end. Otherwise the buffer grows.
  const bool sizeKnown = m_pos == 0 && m_end == 0 && !m_atEnd && m_sizeAtOpen > 0;
  std::size_t size = m_end - m_pos;
  std::size_t capacity = size + (sizeKnown ? static_cast<std::size_t>(m_sizeAtOpen) : kBufferSize);
  std::unique_ptr<char[]> data(new char[capacity]);
  std::memcpy(data.get(), m_buffer.get() + m_pos, size);
  m_pos = m_end;
  while (!m_atEnd && !m_failed) {
    if (size == capacity) {
      std::unique_ptr<char[]> larger(new char[capacity * 2]);
      std::memcpy(larger.get(), data.get(), size);
      data = std::move(larger);
      capacity *= 2;
    }
    if (const int error = detail::InjectFault(FileOp::Read)) {
      Fail(error);
      break;
    }
    const std::size_t wanted = capacity - size;
    const std::size_t got = std::fread(data.get() + size, 1, wanted, m_file);
    size += got;
    if (sizeKnown && size == m_sizeAtOpen) break;
    if (got < wanted) {
      if (std::ferror(m_file)) Fail(errno);
      m_atEnd = true;
    }
  }
  if (!m_binary) size = CompactLineEnds(data.get(), size);
  bytes->m_data = std::move(data);
  bytes->m_size = size;
  return !m_failed;
}

Result ReadWholeFile(const char* path, FileBytes* bytes, TextFile::Translation translation) {
  TextFile file;
  Result read = file.Open(path, TextFile::Mode::Read, translation);
  if (read && !file.ReadAll(bytes)) read = Result::FromErrno(EIO);
  if (file.IsOpen()) {
    // A read that failed fails the close as well, with the first reason.
    if (Result closed = file.Close(); !closed) read = closed;
  }
  if (!read) *bytes = FileBytes();
  return read;
}

void TextFile::Write(const char* text) { Write(text, std::strlen(text)); }

void TextFile::Write(const char* text, std::size_t length) {
  if (!m_file || m_mode == Mode::Read) {
    Fail(EBADF);
    return;
  }
  // Runs of text copied whole: up to the next line feed, which text mode
  // writes as CR LF, and no more than the buffer holds.
  const char* const end = text + length;
  for (const char* p = text; p != end;) {
    if (kBufferSize - m_end < 2) FlushBuffer();
    std::size_t run = std::min(static_cast<std::size_t>(end - p), kBufferSize - m_end - 1);
    if (!m_binary) {
      if (const void* lineFeed = std::memchr(p, '\n', run)) {
        run = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - p);
        std::memcpy(&m_buffer[m_end], p, run);
        m_end += run;
        m_buffer[m_end++] = '\r';
        m_buffer[m_end++] = '\n';
        p += run + 1;
        continue;
      }
    }
    std::memcpy(&m_buffer[m_end], p, run);
    m_end += run;
    p += run;
  }
}

void TextFile::FlushBuffer() {
  if (m_end == 0) return;
  if (!m_failed) {
    if (const int error = detail::InjectFault(FileOp::Write)) {
      Fail(error);
    } else if (std::fwrite(m_buffer.get(), 1, m_end, m_file) != m_end) {
      Fail(errno);
    }
  }
  m_end = 0;
}

Result TextFile::Flush() {
  if (!m_file || m_mode == Mode::Read) return Result::FromErrno(EBADF);
  FlushBuffer();
  if (const int error = detail::InjectFault(FileOp::Flush)) {
    Fail(error);
  } else if (std::fflush(m_file) != 0) {
    Fail(errno);
  }
  return m_failed ? Result::FromErrno(m_error) : Result();
}

FileState TextFile::State() const { return m_file ? detail::StateOfStream(m_file) : FileState(); }

Result TextFile::Close(bool durable) {
  if (!m_file) return Result::FromErrno(EBADF);
  if (m_mode != Mode::Read) {
    FlushBuffer();
    if (const int error = detail::InjectFault(FileOp::Flush)) {
      Fail(error);
    } else if (std::fflush(m_file) != 0) {
      Fail(errno);
    }
    if (durable && !m_failed && !SyncToDisk(m_file)) Fail(errno);
  }
  // The handle is closed in every case; an injected fault only reports.
  if (const int error = detail::InjectFault(FileOp::Close)) Fail(error);
  if (std::fclose(m_file) != 0) Fail(errno);
  m_file = nullptr;
  return m_failed ? Result::FromErrno(m_error) : Result();
}

}  // namespace plat
