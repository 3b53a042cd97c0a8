// Writes the benchmark's tree into a folder: quorvane-bench-gen DIR
#include <cstdio>

#include "BenchTree.h"


int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvane-bench-gen DIR\n");
    return 2;
  }
  BenchTree tree = GenerateBenchTree(argv[1]);
  std::printf("%s: %d airlines, Aircraft.cfg %zu lines, CSL_ICAO.csv %zu lines\n", tree.root.c_str(), tree.airlines,
              tree.configLines, tree.modelLines);
  return 0;
}
