#pragma once

#include <string>
#include <string_view>

namespace cli {

// The terminal through the C runtime's standard streams. The C++ streams
// (std::cout and its kin) would bring the runtime's file streams into the
// program, and with them an import that the msvcrt.dll of Windows 98
// lacks (_fstat64): the program would not start there.

// Standard output: buffered, as the C runtime buffers it.
void Out(std::string_view text);
void FlushOut();
// Standard error, after what is buffered for standard output, so that the
// two come out in the order they were written.
void Err(std::string_view text);
// One line of standard input without its line break; false at its end.
bool ReadLine(std::string* line);

}  // namespace cli
