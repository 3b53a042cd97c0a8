// GetCsvField over arbitrary bytes, buffer sizes, indexes and delimiters.
//
// Input: byte 0 the source buffer size (0 to 255), byte 1 the result
// buffer size (0 to 255), byte 2 the field index (0 to 15, 255 meaning
// -1), byte 3 the delimiter, the rest the source bytes (cut or padded with
// zeros to the source buffer size). Both buffers are allocated with their
// exact size, so ASan sees every access outside them.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "removal/RemovalPass.h"
#include "FuzzSupport.h"

using namespace engine;

namespace {

constexpr char kUntouched = '\x5A';

// The fields that end inside the buffer: the text up to the first zero
// byte (or the whole buffer) split at the delimiter; a piece that runs to
// the buffer's end without a zero byte is no field.
std::vector<std::string> CompleteFields(const char* source, std::size_t size, char delimiter) {
  std::vector<std::string> fields;
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = source[i];
    if (c == '\0') {
      fields.push_back(current);
      return fields;
    }
    if (c == delimiter) {
      fields.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::size_t sourceSize = data[0];
  const std::size_t resultSize = data[1];
  const int index = data[2] == 255 ? -1 : data[2] % 16;
  const char delimiter = static_cast<char>(data[3]);

  std::unique_ptr<char[]> source(new char[sourceSize ? sourceSize : 1]);
  std::memset(source.get(), 0, sourceSize ? sourceSize : 1);
  std::size_t given = size - 4 < sourceSize ? size - 4 : sourceSize;
  if (given) std::memcpy(source.get(), data + 4, given);
  std::unique_ptr<char[]> result(new char[resultSize ? resultSize : 1]);
  std::memset(result.get(), kUntouched, resultSize ? resultSize : 1);

  const bool found = GetCsvField(sourceSize ? source.get() : nullptr, sourceSize,
                                 resultSize ? result.get() : nullptr, resultSize, index, delimiter);
  if (sourceSize == 0 || resultSize == 0) {
    fuzz::Check(!found, "GetCsvField found a field without buffers");
    if (resultSize) fuzz::Check(result[0] == kUntouched, "GetCsvField touched the result without a source");
    return 0;
  }
  const std::size_t length = strnlen(result.get(), resultSize);
  fuzz::Check(length < resultSize, "GetCsvField left the result unterminated");

  const std::vector<std::string> fields = CompleteFields(source.get(), sourceSize, delimiter);
  const bool exists = index >= 0 && static_cast<std::size_t>(index) < fields.size();
  fuzz::Check(found == exists, "GetCsvField disagrees on whether the field exists");
  if (!found) {
    fuzz::Check(length == 0, "GetCsvField left text in the result of a missing field");
    return 0;
  }
  const std::string& field = fields[static_cast<std::size_t>(index)];
  const std::string expected = field.substr(0, resultSize - 1);
  fuzz::Check(std::string(result.get(), length) == expected, "GetCsvField gave other text than the field",
              "expected '" + expected + "'");
  return 0;
}
