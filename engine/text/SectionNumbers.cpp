#include "text/SectionNumbers.h"

#include "text/LineTable.h"
#include "text/Text.h"
#include "platform/Ascii.h"

namespace engine {

namespace {

constexpr std::string_view kPrefix = "[fltsim.";
constexpr std::size_t kMostDigits = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ReadSectionHeader(std::string_view line, SectionHeader* header) {
  const std::size_t open = line.find_first_not_of(" \t");
  if (open == std::string_view::npos || line.size() - open < kPrefix.size() + 2) return false;
  for (std::size_t k = 0; k < kPrefix.size(); ++k) {
    if (plat::FoldAscii(line[open + k]) != kPrefix[k]) return false;
  }
  const std::size_t digitsAt = open + kPrefix.size();
  std::size_t end = digitsAt;
  while (end < line.size() && IsDigit(line[end])) ++end;
  if (end == digitsAt || end == line.size() || line[end] != ']') return false;
  header->digitsAt = digitsAt;
  header->digitsEnd = end;
  header->number = -1;
  const std::size_t digits = end - digitsAt;
  if (digits <= kMostDigits && (digits == 1 || line[digitsAt] != '0')) {
    long number = 0;
    for (std::size_t k = digitsAt; k < end; ++k) number = number * 10 + (line[k] - '0');
    header->number = number;
  }
  return true;
}

std::vector<NumberedHeader> NumberedHeadersOf(const ConfigLineTable& lines) {
  std::vector<NumberedHeader> headers;
  SectionHeader header;
  for (std::size_t i = 0; i < lines.Size(); ++i) {
    if (ReadSectionHeader(std::string_view(lines.Line(i), lines.Length(i)), &header)) {
      headers.push_back(NumberedHeader{i, header.number});
    }
  }
  return headers;
}

std::vector<NumberedHeader> NumberedHeadersOf(std::string_view stored) {
  std::vector<NumberedHeader> headers;
  SectionHeader header;
  std::size_t i = 0;
  ForEachTextModeLine(stored, [&](std::string_view text, std::size_t) {
    if (ReadSectionHeader(text, &header)) headers.push_back(NumberedHeader{i, header.number});
    ++i;
    return true;
  });
  return headers;
}

SectionNumbers PlanSectionNumbers(const std::vector<NumberedHeader>& headers) {
  SectionNumbers plan;
  plan.sections = headers.size();
  // Which numbers below K are held, and whether each header holds one of
  // them alone.
  std::vector<bool> held(headers.size() + 1, false);
  bool whole = true;
  for (const NumberedHeader& header : headers) {
    const bool inRange = header.number >= 0 && static_cast<std::size_t>(header.number) < headers.size();
    if (!inRange || held[static_cast<std::size_t>(header.number)]) whole = false;
    if (header.number >= 0 && static_cast<std::size_t>(header.number) <= headers.size()) {
      held[static_cast<std::size_t>(header.number)] = true;
    }
  }
  std::size_t free = 0;
  while (held[free]) ++free;  // K headers hold at most K of the numbers 0 to K
  plan.nextFree = static_cast<long>(free);
  if (whole) return plan;
  for (std::size_t k = 0; k < headers.size(); ++k) {
    if (headers[k].number != static_cast<long>(k)) plan.changes.push_back(Renumbering{headers[k].line, static_cast<long>(k)});
  }
  return plan;
}

std::string WithSectionNumber(std::string_view line, long number) {
  SectionHeader header;
  if (!ReadSectionHeader(line, &header)) return std::string(line);
  std::string text(line.substr(0, header.digitsAt));
  text += Printf("%ld", number);
  text += line.substr(header.digitsEnd);
  return text;
}

std::size_t NumberSectionsWhole(ConfigLineTable& lines) {
  const SectionNumbers plan = PlanSectionNumbers(NumberedHeadersOf(lines));
  for (const Renumbering& change : plan.changes) {
    lines.Store(change.line, WithSectionNumber(std::string_view(lines.Line(change.line), lines.Length(change.line)),
                                               change.number));
  }
  return plan.changes.size();
}

}  // namespace engine
