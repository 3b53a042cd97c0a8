#include "TextFile.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>

#include "FaultInjection.h"
#include "FileSystem.h"

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

TextFile::TextFile() : buffer_(new char[kBufferSize]) {}

TextFile::~TextFile() {
  if (file_) Close();
}

bool TextFile::Open(const char* path, Mode mode, Translation translation) {
  if (file_) Close();
  mode_ = mode;
  binary_ = translation == Translation::Binary;
  failed_ = false;
  atEnd_ = false;
  pos_ = end_ = 0;
  sizeAtOpen_ = 0;
  endedWithLineBreak_ = true;
  if (detail::InjectFault(FileOp::Open)) return false;
  // One look at the path answers every question asked before the open.
  const PathInfo target = InspectPath(path);
  // Opening a folder "succeeds" on Linux; on Windows it does not.
  if (target.kind == PathKind::Folder) return false;
  if (mode != Mode::Read && !MayWrite(target)) return false;

  const char* how = mode == Mode::Read ? "rb" : mode == Mode::Append ? "a+b" : "w+b";
  file_ = detail::OpenStream(target, how);
  if (!file_) return false;
  // The runtime's own buffer would only copy what ours holds, and cost
  // extra reads around the seeks of an append.
  std::setvbuf(file_, nullptr, _IONBF, 0);

  if (mode == Mode::Read && target.kind == PathKind::File) sizeAtOpen_ = target.size;
  if (mode == Mode::Append) ReadTail();
  return true;
}

void TextFile::ReadTail() {
#ifdef _WIN32
  // Reading is allowed in "a+" mode; writes still go to the end. Seeking
  // back from the end fails only on an empty file.
  if (std::fseek(file_, -1, SEEK_END) == 0) {
    endedWithLineBreak_ = std::fgetc(file_) == '\n';
  } else if (std::fseek(file_, 0, SEEK_END) != 0) {
    failed_ = true;
    return;
  }
  const long size = std::ftell(file_);
  if (size < 0 || std::fseek(file_, 0, SEEK_END) != 0) {
    failed_ = true;
    return;
  }
  sizeAtOpen_ = static_cast<std::uint64_t>(size);
#else
  // The last byte is read where it stands, leaving the stream as opened.
  struct stat st;
  if (fstat(fileno(file_), &st) != 0) {
    failed_ = true;
    return;
  }
  sizeAtOpen_ = static_cast<std::uint64_t>(st.st_size);
  if (sizeAtOpen_ == 0) return;
  char last = 0;
  if (pread(fileno(file_), &last, 1, st.st_size - 1) != 1) {
    failed_ = true;
    return;
  }
  endedWithLineBreak_ = last == '\n';
#endif
}

bool TextFile::Fill() {
  if (atEnd_ || failed_ || !file_) return false;
  if (detail::InjectFault(FileOp::Read)) {
    failed_ = true;
    return false;
  }
  std::size_t got = std::fread(buffer_.get(), 1, kBufferSize, file_);
  if (got == 0) {
    if (std::ferror(file_)) failed_ = true;
    atEnd_ = true;
    return false;
  }
  pos_ = 0;
  end_ = got;
  return true;
}

bool TextFile::ReadLine(char* buf, std::size_t cap, std::size_t* length) {
  if (length) *length = 0;
  if (!file_ || mode_ == Mode::Write || cap == 0) return false;
  std::size_t n = 0;
  bool lineEnded = false;
  // Whole runs up to the next line feed are copied at once; lines are
  // scanned thousands of times in one install run.
  while (!lineEnded && n + 1 < cap) {
    if (pos_ == end_ && !Fill()) break;
    const char* start = buffer_.get() + pos_;
    const std::size_t take = std::min(end_ - pos_, cap - 1 - n);
    const char* lineFeed = static_cast<const char*>(std::memchr(start, '\n', take));
    const std::size_t run = lineFeed ? static_cast<std::size_t>(lineFeed - start) + 1 : take;
    std::memcpy(buf + n, start, run);
    n += run;
    pos_ += run;
    lineEnded = lineFeed != nullptr;
    if (binary_) continue;
    if (lineEnded) {
      if (n >= 2 && buf[n - 2] == '\r') {
        buf[n - 2] = '\n';  // CR LF read as one line feed
        --n;
      }
    } else if (buf[n - 1] == '\r') {
      // A CR at the end of the run: its partner may be the next byte.
      if (pos_ == end_) Fill();
      if (pos_ < end_ && buffer_[pos_] == '\n') {
        ++pos_;
        buf[n - 1] = '\n';
        lineEnded = true;
      }
    }
  }
  buf[n] = '\0';
  if (failed_) return false;
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
  bytes.data_.reset(new char[text.size()]);
  if (!text.empty()) std::memcpy(bytes.data_.get(), text.data(), text.size());
  bytes.size_ = text.size();
  return bytes;
}

bool TextFile::ReadAll(FileBytes* bytes) {
  *bytes = FileBytes();
  if (!file_ || mode_ == Mode::Write) return false;
  // A file read from its start holds the size it had when it was looked
  // at: once that much is read, the file is whole as it was at the open,
  // without a further read to meet its end. Otherwise the buffer grows.
  const bool sizeKnown = pos_ == 0 && end_ == 0 && !atEnd_ && sizeAtOpen_ > 0;
  std::size_t size = end_ - pos_;
  std::size_t capacity = size + (sizeKnown ? static_cast<std::size_t>(sizeAtOpen_) : kBufferSize);
  std::unique_ptr<char[]> data(new char[capacity]);
  std::memcpy(data.get(), buffer_.get() + pos_, size);
  pos_ = end_;
  while (!atEnd_ && !failed_) {
    if (size == capacity) {
      std::unique_ptr<char[]> larger(new char[capacity * 2]);
      std::memcpy(larger.get(), data.get(), size);
      data = std::move(larger);
      capacity *= 2;
    }
    if (detail::InjectFault(FileOp::Read)) {
      failed_ = true;
      break;
    }
    const std::size_t wanted = capacity - size;
    const std::size_t got = std::fread(data.get() + size, 1, wanted, file_);
    size += got;
    if (sizeKnown && size == sizeAtOpen_) break;
    if (got < wanted) {
      if (std::ferror(file_)) failed_ = true;
      atEnd_ = true;
    }
  }
  if (!binary_) size = CompactLineEnds(data.get(), size);
  bytes->data_ = std::move(data);
  bytes->size_ = size;
  return !failed_;
}

bool ReadWholeFile(const char* path, FileBytes* bytes, TextFile::Translation translation) {
  TextFile file;
  bool read = file.Open(path, TextFile::Mode::Read, translation) && file.ReadAll(bytes);
  if (file.IsOpen() && !file.Close()) read = false;
  if (!read) *bytes = FileBytes();
  return read;
}

void TextFile::Write(const char* text) { Write(text, std::strlen(text)); }

void TextFile::Write(const char* text, std::size_t length) {
  if (!file_ || mode_ == Mode::Read) {
    failed_ = true;
    return;
  }
  for (const char* p = text; p != text + length; ++p) {
    // Room for a CR LF pair.
    if (end_ + 2 > kBufferSize) FlushBuffer();
    if (*p == '\n' && !binary_) buffer_[end_++] = '\r';
    buffer_[end_++] = *p;
  }
}

void TextFile::FlushBuffer() {
  if (end_ == 0) return;
  if (!failed_) {
    if (detail::InjectFault(FileOp::Write) || std::fwrite(buffer_.get(), 1, end_, file_) != end_) {
      failed_ = true;
    }
  }
  end_ = 0;
}

bool TextFile::Close(bool durable) {
  if (!file_) return false;
  if (mode_ != Mode::Read) {
    FlushBuffer();
    if (detail::InjectFault(FileOp::Flush) || std::fflush(file_) != 0) failed_ = true;
    if (durable && !failed_ && !SyncToDisk(file_)) failed_ = true;
  }
  // The handle is closed in every case; an injected fault only reports.
  if (detail::InjectFault(FileOp::Close)) failed_ = true;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace plat
