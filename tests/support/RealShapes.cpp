#include "RealShapes.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Names with the accents that painters' files carry, in Windows-1252 and
// in UTF-8.
struct Accented {
  const char* windows1252;
  const char* utf8;
};
const Accented kNames[] = {
    {"A\xE9rospatiale", "A\xC3\xA9rospatiale"},
    {"D\xFCsseldorf", "D\xC3\xBCsseldorf"},
    {"Espa\xF1" "a", "Espa\xC3\xB1" "a"},
    {"\x8Akoda Air \x80 fares", "\xC5\xA0koda Air \xE2\x82\xAC fares"},
    {"S\xE3o Paulo", "S\xC3\xA3o Paulo"},
};
constexpr int kNameCount = sizeof kNames / sizeof kNames[0];

std::string Name(int i, const ConfigShape& shape) {
  const Accented& name = kNames[i % kNameCount];
  if (!shape.windows1252) return "Plain " + std::to_string(i % kNameCount);
  return shape.mixedUtf8 && i % 3 == 0 ? name.utf8 : name.windows1252;
}

// Text of exactly `length` characters, words of the kind a description holds.
std::string Prose(std::size_t length, int seed) {
  static const char* const kWords[] = {"Boeing", "737-800", "winglets", "repaint", "by", "the", "team", "with",
                                       "new", "panel", "textures", "and", "sounds.", "\\n", "Version", "2.1"};
  std::string text;
  for (std::size_t w = static_cast<std::size_t>(seed); text.size() < length; ++w) {
    text += kWords[w % (sizeof kWords / sizeof kWords[0])];
    text += ' ';
  }
  text.resize(length);
  return text;
}

// The value lengths of section i: most short, one the longest of the file.
std::size_t DescriptionLength(int i, const ConfigShape& shape) {
  if (i == shape.sections / 2) return shape.longestValue;
  return 40 + static_cast<std::size_t>(i * 37) % (shape.longestValue > 240 ? 200 : shape.longestValue / 2 + 1);
}

const char* HeaderSpelling(int i) {
  switch (i % 11) {
    case 3: return "[FLTSIM.";
    case 7: return "[Fltsim.";
    default: return "[fltsim.";
  }
}

const char* const kExtraKeys[] = {
    "sim=Boeing737-800",  "model=",           "panel=",          "sound=",          "kb_checklists=B737-800_check",
    "kb_reference=B737",  "atc_id=N737QV",    "atc_airline=QV",  "atc_flight_number=737",
    "ui_manufacturer=Boeing", "ui_type=737-800", "ui_variation=Painted", "visual_damage=1", "atc_heavy=0",
    "atc_id_color=0xffffffff", "prop_anim_ratio=-1.0"};
constexpr int kExtraKeyCount = sizeof kExtraKeys / sizeof kExtraKeys[0];

class Lines {
 public:
  explicit Lines(bool crlf) : m_end(crlf ? "\r\n" : "\n") {}
  void Add(const std::string& line) {
    m_text += line;
    m_text += m_end;
  }
  std::string Finish(bool lastLineEnd) {
    if (!lastLineEnd) m_text.resize(m_text.size() - m_end.size());
    return m_text;
  }

 private:
  std::string m_end;
  std::string m_text;
};

}  // namespace

std::string RealTitle(int i, const ConfigShape& shape) {
  return "Boeing 737-800 " + Name(i, shape) + " N" + std::to_string(7000 + i);
}

std::vector<std::string> RealNotes(const ConfigShape& shape) {
  if (!shape.userNotes) return {};
  return {"// Repainted by J. Smith, 2003",
          "# from the AI traffic pack",
          "; disabled = the old model",
          "-- do not edit below",
          "REM keep",
          "Livery",
          "Repainted by " + Name(1, shape) + " & friends",
          "*** Boeing 737-800 pack v2.1 ***",
          "{not a header}"};
}

namespace {

// The number of section i as the user left it: with numberGaps, a number
// skipped every 37 sections, one taken twice every 53, and section 5
// written with a leading zero.
std::string SectionNumber(int i, const ConfigShape& shape) {
  if (!shape.numberGaps) return std::to_string(i);
  if (i == 5) return "05";
  const int taken = i % 53 == 52 ? i - 1 : i;
  return std::to_string(taken + taken / 37);
}

// The blanks before section i's header: with userNotes, two blanks before
// every seventh and a tab before every thirteenth.
std::string HeaderIndent(int i, const ConfigShape& shape) {
  if (!shape.userNotes) return "";
  if (i % 7 == 4) return "  ";
  if (i % 13 == 6) return "\t";
  return "";
}

}  // namespace

std::string RealConfig(const ConfigShape& shape) {
  Lines out(shape.crlf);
  out.Add("[General]");
  out.Add("atc_type=BOEING");
  out.Add("editable=1");
  out.Add("performance=" + Prose(shape.longestValue / 2, 3));
  const std::vector<std::string> notes = RealNotes(shape);
  for (int i = 0; i < shape.sections; ++i) {
    out.Add("");
    if (!notes.empty() && i % 5 == 2) {
      out.Add(notes[static_cast<std::size_t>(i / 5) % notes.size()]);
      if (i % 10 == 7) out.Add(" \t ");
    }
    out.Add(HeaderIndent(i, shape) + HeaderSpelling(i) + SectionNumber(i, shape) + "]");
    if (i % 4 == 1) {
      out.Add("title = \"" + RealTitle(i, shape) + "\"");
    } else {
      out.Add("title=" + RealTitle(i, shape));
    }
    for (int k = 0; k < shape.extraKeys; ++k) out.Add(kExtraKeys[(i + k) % kExtraKeyCount]);
    out.Add("texture=" + Name(i, shape) + " " + std::to_string(i));
    out.Add("description=" + Name(i + 1, shape) + " " + Prose(DescriptionLength(i, shape), i));
  }
  return out.Finish(shape.lastLineEnd);
}

std::string RealModelList(const ModelListShape& lines, const ConfigShape& config) {
  Lines out(true);
  const int sections = config.sections;
  for (int n = 0; n < lines.lines; ++n) {
    // Every section once, in a shuffled order, then again as often as the
    // list's length asks.
    const int i = n < sections ? static_cast<int>((static_cast<std::int64_t>(n) * 7919) % sections) : n % sections;
    std::string line = Name(i, config) + " " + std::to_string(n) + " : B738,B738,QV" + std::to_string(n % 97) + "," +
                       RealTitle(i, config);
    if (n == lines.lines / 3 && line.size() < lines.longestLine) {
      // The longest line carries its length in a description of the model.
      const std::size_t at = line.find(" : ");
      line.insert(at, " " + Prose(lines.longestLine - line.size() - 1, n));
    }
    out.Add(line);
  }
  return out.Finish(lines.lastLineEnd);
}

namespace {

// Where the digits of a "[fltsim.N]" header are, and whether they are
// written as the simulator looks for them (no leading zero).
bool HeaderDigits(const std::string& line, std::size_t* at, std::size_t* end, bool* plain) {
  if (line.compare(0, 8, "[fltsim.") != 0) return false;
  *at = 8;
  *end = line.find_first_not_of("0123456789", 8);
  if (*end == std::string::npos || *end == 8 || line[*end] != ']') return false;
  *plain = *end - 8 == 1 || line[8] != '0';
  return true;
}

}  // namespace

std::string AsTheRemovalPassLeavesIt(const std::string& config) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < config.size()) {
    std::size_t end = config.find('\n', start);
    if (end == std::string::npos) end = config.size();
    std::string line = config.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& c : line) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    if (line[first] == '[') line.erase(0, first);
    lines.push_back(line);
  }
  // The numbers: whole when they are 0 to K-1, each once, in any order.
  std::vector<std::size_t> headers;
  std::vector<bool> held;
  bool whole = true;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::size_t at = 0, end = 0;
    bool plain = false;
    if (HeaderDigits(lines[i], &at, &end, &plain)) headers.push_back(i);
  }
  held.assign(headers.size(), false);
  for (std::size_t h : headers) {
    std::size_t at = 0, end = 0;
    bool plain = false;
    HeaderDigits(lines[h], &at, &end, &plain);
    const unsigned long number = end - at > 9 ? ~0ul : std::stoul(lines[h].substr(at, end - at));
    if (!plain || number >= held.size() || held[number]) whole = false;
    if (plain && number < held.size()) held[number] = true;
  }
  for (std::size_t k = 0; !whole && k < headers.size(); ++k) {
    std::string& line = lines[headers[k]];
    std::size_t at = 0, end = 0;
    bool plain = false;
    HeaderDigits(line, &at, &end, &plain);
    line = line.substr(0, at) + std::to_string(k) + line.substr(end);
  }
  std::string out;
  for (const std::string& line : lines) {
    if (line[0] == '[') out += "\r\n";
    out += line + "\r\n";
  }
  return out;
}
