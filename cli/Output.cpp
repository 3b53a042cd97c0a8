#include "Output.h"

#include <cstdio>

namespace cli {

void Out(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void FlushOut() { std::fflush(stdout); }

void Err(std::string_view text) {
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

bool ReadLine(std::string* line) {
  line->clear();
  int c = 0;
  while ((c = std::getchar()) != EOF && c != '\n') line->push_back(static_cast<char>(c));
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return c != EOF || !line->empty();
}

}  // namespace cli
