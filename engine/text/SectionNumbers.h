#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class ConfigLineTable;

// How the aircraft sections of the configuration file are numbered. The
// simulator looks for [fltsim.0], [fltsim.1], ... and stops at the first
// number it does not find; of two sections with one number it takes one.
// So after every install and every remove the numbers are 0 to K-1, each
// once, and this is where that is decided.
//
// A numbered header is a line that holds, after any blanks or tabs,
// "[fltsim." in any letter case, one or more digits and "]"; what follows
// the "]" is no part of it. "[FLTSIM.2]" is numbered 2. "[fltsim.03]"
// (a leading zero) and numbers of more than nine digits are numbered
// headers too, but not the numbers the simulator looks for, so a file
// holding one is renumbered. "[fltsim.x]", "[fltsim.]" or "[fltsim. 3]"
// are not numbered headers: the simulator never finds such a section, and
// a user who wrote one may have meant just that, so it keeps its name.
struct SectionHeader {
  std::size_t digitsAt = 0;  // where the digits begin in the line
  std::size_t digitsEnd = 0; // the "]" after them
  long number = -1;          // -1: not a number the simulator looks for
};
bool ReadSectionHeader(std::string_view line, SectionHeader* header);

// A numbered header of the file: its line (from 0) and number.
struct NumberedHeader {
  std::size_t line;
  long number;
};
std::vector<NumberedHeader> NumberedHeadersOf(const ConfigLineTable& lines);
// Of a file's bytes, as text mode reads its lines.
std::vector<NumberedHeader> NumberedHeadersOf(std::string_view stored);

struct Renumbering {
  std::size_t line;
  long number;
};

struct SectionNumbers {
  // The numbered headers: once the changes are made, they hold 0 to
  // sections - 1, each once, and `sections` is the number a new section
  // gets.
  std::size_t sections = 0;
  // Empty when the numbers are 0 to K-1 already, in whatever order the
  // file has them (some files count down); else every header whose number
  // differs from its place in file order, with that place as its number.
  std::vector<Renumbering> changes;
  // The smallest number no header holds as the file stands: the number a
  // section appended to it without renumbering gets (`sections` when the
  // numbers are whole).
  long nextFree = 0;
};

// The decision, from the file's numbered headers in file order.
SectionNumbers PlanSectionNumbers(const std::vector<NumberedHeader>& headers);

// The header line with its number replaced, and nothing else changed.
std::string WithSectionNumber(std::string_view line, long number);

// Renumbers the table's sections as PlanSectionNumbers decides; gives how
// many sections got a new number.
std::size_t NumberSectionsWhole(ConfigLineTable& lines);

}  // namespace engine
