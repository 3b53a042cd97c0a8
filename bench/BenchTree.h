#pragma once

#include <string>

// The largest run the tables allow, laid out in a folder:
//   catalogue/Airlines.dat   1024 airlines, and one <Data>.dat each
//   template/                Aircraft.cfg (about 19,000 lines: foreign
//                            sections, sections of an earlier release and
//                            of an earlier run) and CSL_ICAO.csv (about
//                            2,900 lines of the same kinds)
//   staging/                 the texture folders as the run leaves them,
//                            for timing a plain copy of the same bytes
//   <round>/FS2002, <round>/SquawkBox
//                            the folders one timed run works on
struct BenchTree {
  std::string root;
  std::string catalogue, templateConfig, templateModels, staging;
  // The folders and files of the current round (PrepareRound).
  std::string fs, csl, config, squawkBox, models;
  int airlines = 0;
  std::size_t textureBytes = 0;
  std::size_t configLines = 0, modelLines = 0;
};

struct BenchSize {
  int airlines = 1024;
  std::size_t textureBytes = 64 * 1024;
  std::size_t configLines = 19000;  // about; whole sections are written
  std::size_t modelLines = 2900;
};

// Writes the tree under `root` (which must not exist yet or be empty).
BenchTree GenerateBenchTree(const std::string& root, const BenchSize& size = BenchSize());

// Makes fresh FS2002 and SquawkBox folders for one round under
// <root>/<round>, with both files as generated and no texture folder.
// Every round gets new folders: nothing is deleted while runs are timed,
// so no run pays for the file system's clean-up of an earlier one.
void PrepareRound(BenchTree* tree, const std::string& round);

// The catalogue's description of airline i, as the list shows it.
std::string BenchDescription(int i);
