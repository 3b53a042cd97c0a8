#pragma once

namespace plat {

// Whether standard input, output or error (0, 1, 2) is a terminal.
bool IsTerminal(int stream);

}  // namespace plat
