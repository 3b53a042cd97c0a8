#include "Console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#else
#include <unistd.h>
#endif

namespace plat {

bool IsTerminal(int stream) {
#ifdef _WIN32
  return _isatty(stream) != 0;
#else
  return isatty(stream) != 0;
#endif
}

void UseBinaryStandardOutput() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

}  // namespace plat
