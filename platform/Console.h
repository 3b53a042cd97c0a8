#pragma once

namespace plat {

// Whether standard input, output or error (0, 1, 2) is a terminal.
bool IsTerminal(int stream);

// Standard output and error take bytes as they are written, as on Linux.
// In the text mode that the Windows runtime starts them in, every LF gains
// a CR: a dry run's diff of files with CR LF line ends would get a second CR
// on each line and apply no more.
void UseBinaryStandardOutput();

}  // namespace plat
