#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Files shaped like the aircraft configuration files and model lists that
// users have collected from the flight-simulator community: long
// description and performance values, thousands of sections, headers and
// title keys spelt in several ways, Windows-1252 bytes and UTF-8 mixed in,
// and a last line without its line end. Every section's title has a model
// line in the list that goes with it, so a check of the pair finds only
// what a test plants.

struct ConfigShape {
  int sections = 600;
  int extraKeys = 14;                // keys of a section besides title, texture and description
  std::size_t longestValue = 727;    // the longest description= value; performance= gets half
  bool windows1252 = true;           // accented names as Windows-1252 bytes
  bool mixedUtf8 = false;            // some of them as UTF-8 instead
  bool lastLineEnd = true;
  bool crlf = true;
  // The user's own numbering as hand edits leave it: numbers skipped and
  // numbers taken twice, and one written with a leading zero.
  bool numberGaps = false;
  // The user's own lines: notes in every comment style and none, single
  // words, free text, lines of blanks and tabs, and headers indented by
  // blanks or a tab.
  bool userNotes = false;
};

// An Aircraft.cfg: a [General] section, then the [fltsim.N] sections
// (N from 0, no gaps unless numberGaps), their headers spelt "[fltsim.",
// "[FLTSIM." and "[Fltsim." and their titles "title=" or
// "title = \"...\"".
std::string RealConfig(const ConfigShape& shape);

// The user's own lines that RealConfig writes with userNotes, as written.
std::vector<std::string> RealNotes(const ConfigShape& shape);

// The title of section i of RealConfig, as the simulator reads it (no
// quotes, no blanks around it).
std::string RealTitle(int i, const ConfigShape& shape);

struct ModelListShape {
  int lines = 14445;
  std::size_t longestLine = 1476;
  bool lastLineEnd = true;
};

// A CSL_ICAO.csv whose first `shape.sections` lines name the sections of
// RealConfig (in a shuffled order), and whose other lines name each other's
// titles: models other configuration files provide.
std::string RealModelList(const ModelListShape& lines, const ConfigShape& config);

// The configuration file as an install's removal pass leaves a file that
// holds no entry of an earlier run: lines in text mode, ASCII capitals made
// small, blank lines (empty, or blanks and tabs only) left out, headers
// without the blanks before them, an empty line before each header, CR LF
// throughout; and, when the [fltsim.N] numbers are not 0 to K-1 each once,
// the sections numbered 0, 1, 2, ... in file order.
std::string AsTheRemovalPassLeavesIt(const std::string& config);
