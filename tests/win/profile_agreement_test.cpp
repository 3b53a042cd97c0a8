// Our profile reader against GetPrivateProfileStringA itself, on generated
// catalogues of the shapes users write: every line-end style, blanks, tabs
// and Ctrl-Z around names and values, quotes of both kinds (matched,
// unmatched, inner), comments, headers with text after them, duplicate
// sections and keys, values longer than the buffers, Windows-1252 bytes, and
// UTF-16 files with their byte-order mark. Each catalogue gets a file name
// of its own, so no cached copy of an earlier one can answer.
//
// A UTF-16 file's answers are in Windows-1252; the conversion is held to
// WideCharToMultiByte for every code unit.
//
// The queries are the tool's own: sections "Airline.<n>" with the
// catalogue's keys and "PATH" with the settings keys, default "", into
// buffers of 255, 300 and 50 bytes. Those must agree in full; the figures of
// each class are printed.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Profile.h"
#include "platform/ProfileEncoding.h"

namespace {

// splitmix64: the same catalogues on every run and every compiler.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  bool Percent(int p) { return Below(100) < p; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

 private:
  std::uint64_t state_;
};

// What a catalogue holds, for the figures of each class.
enum Feature : unsigned {
  kLoneCr = 1u << 0,
  kSingleQuotes = 1u << 1,
  kCtrlZ = 1u << 2,
  kUtf16 = 1u << 3,
  kHeaderTrailer = 1u << 4,
  kUtf8Mark = 1u << 5,
  kLongValue = 1u << 6,
  kCp1252 = 1u << 7,
  kDuplicate = 1u << 8,
  kOutsideAnsi = 1u << 9,
};

struct FeatureName {
  Feature feature;
  const char* name;
};
constexpr FeatureName kFeatureNames[] = {
    {kLoneCr, "lone CR line ends"},
    {kSingleQuotes, "single quotes"},
    {kCtrlZ, "Ctrl-Z"},
    {kUtf16, "UTF-16 LE with mark"},
    {kOutsideAnsi, "UTF-16 beyond Windows-1252"},
    {kHeaderTrailer, "text after a header"},
    {kLongValue, "values over 49 characters"},
    {kCp1252, "Windows-1252 bytes"},
    {kDuplicate, "duplicate sections or keys"},
    {kUtf8Mark, "UTF-8 mark (not asserted)"},
};

constexpr const char* kCatalogueKeys[] = {"Descr", "SQ1", "Folder", "Data", "Title", "Sim", "Panel", "Sound", "Model"};
constexpr const char* kSettingsKeys[] = {"FLUSI", "SQUAWK"};
constexpr std::size_t kCapacities[] = {255, 300, 50};

// Code units of the text; for an ANSI catalogue every unit is a byte.
using Units = std::u16string;

Units Ascii(const char* text) {
  Units units;
  for (const char* p = text; *p; ++p) units += static_cast<char16_t>(static_cast<unsigned char>(*p));
  return units;
}

// Characters beyond Windows-1252 that a UTF-16 file may hold: letters that
// have a near ANSI form, look-alikes of the profile's own signs and blanks,
// characters without any ANSI form, and halves of surrogate pairs.
constexpr char16_t kWideUnits[] = {
    0x0141, 0x017A, 0x0107, 0x0103, 0x20AC, 0x0152, 0x2019, 0x201C, 0x2026, 0x00A0, 0x2003, 0x3000,
    0xFF21, 0xFF15, 0xFF3B, 0xFF3D, 0xFF1D, 0xFF02, 0xFF07, 0x02BA, 0x2017, 0x4E2D, 0x0416, 0xFEFF,
    0x0085, 0x2028, 0xFFFD, 0xD83D, 0xDE00,
};

// The habits of one catalogue's author: most write plain files, some use
// one or two of the shapes above.
struct Habits {
  int lineEnds;  // 0 CR LF, 1 LF, 2 lone CR, 3 mixed
  bool blanks, ctrlZ, singleQuotes, doubleQuotes, headerText, cp1252, longValues, duplicates, oddLines;
  bool wide, outsideAnsi;

  static Habits Draw(Random& random, bool wide) {
    Habits h{};
    const int ends = random.Below(20);
    h.lineEnds = ends < 11 ? 0 : ends < 15 ? 1 : ends < 18 ? 2 : 3;
    h.blanks = random.Percent(40);
    h.ctrlZ = random.Percent(15);
    h.singleQuotes = random.Percent(20);
    h.doubleQuotes = random.Percent(25);
    h.headerText = random.Percent(15);
    h.cp1252 = random.Percent(25);
    h.longValues = random.Percent(25);
    h.duplicates = random.Percent(25);
    h.oddLines = random.Percent(30);
    h.wide = wide;
    h.outsideAnsi = wide && random.Percent(60);
    return h;
  }
};

// Builds one catalogue's text and remembers which classes it holds.
class CatalogueMaker {
 public:
  CatalogueMaker(Random& random, const Habits& habits) : random_(random), habits_(habits) {
    if (habits.wide) features_ |= kUtf16;
  }

  Units Make() {
    if (habits_.oddLines && random_.Percent(30)) Line(KeyLine(random_.Pick(kCatalogueKeys)));  // before any header
    const int sections = 1 + random_.Below(12);
    for (int i = 0; i < sections; ++i) Section();
    if (random_.Percent(30)) SettingsSection();
    if (random_.Percent(20)) out_.resize(out_.size() - 1);  // no line end at the end, or half of a CR LF
    if (habits_.ctrlZ && random_.Percent(40)) {
      out_ += u'\x1a';  // an old editor's end-of-file mark
      features_ |= kCtrlZ;
    }
    return out_;
  }

  unsigned features() const { return features_; }
  const std::vector<int>& numbers() const { return numbers_; }

 private:
  void Line(const Units& text) {
    out_ += text;
    const int style = habits_.lineEnds == 3 ? random_.Below(3) : habits_.lineEnds;
    out_ += style == 1 ? Ascii("\n") : style == 2 ? Ascii("\r") : Ascii("\r\n");
    if (style == 2) features_ |= kLoneCr;
  }

  Units Blanks() {
    static const char16_t kBlanks[] = {u' ', u' ', u' ', u'\t', u'\t', u'\v', u'\f'};
    Units blanks;
    if (!habits_.blanks && !habits_.ctrlZ) return blanks;
    if (random_.Percent(50)) return blanks;
    for (int n = 1 + random_.Below(3); n > 0; --n) {
      if (habits_.ctrlZ && (!habits_.blanks || random_.Percent(30))) {
        blanks += u'\x1a';
        features_ |= kCtrlZ;
      } else {
        blanks += random_.Pick(kBlanks);
      }
    }
    return blanks;
  }

  // Mostly the letter case of the tool's own names, sometimes another.
  Units Cased(const char* name) {
    Units units = Ascii(name);
    const int how = random_.Below(10);
    for (char16_t& c : units) {
      if (how == 0 && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
      if (how == 1 && c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    return units;
  }

  int NewNumber() {
    if (habits_.duplicates && !numbers_.empty() && random_.Percent(25)) {
      features_ |= kDuplicate;
      return numbers_[static_cast<std::size_t>(random_.Below(static_cast<int>(numbers_.size())))];
    }
    const int number = random_.Percent(5) ? 1020 + random_.Below(8) : random_.Below(40);
    numbers_.push_back(number);
    return number;
  }

  Units HeaderEnd() {
    static const char* const kTrailers[] = {" ; was [Airline.3]", "]", " x", "\t; old", "[B]", " ;"};
    if (!habits_.headerText || !random_.Percent(40)) return Blanks();
    features_ |= kHeaderTrailer;
    return Ascii(random_.Pick(kTrailers));
  }

  void Header(const Units& name) { Line(Blanks() + u'[' + Blanks() + name + Blanks() + u']' + HeaderEnd()); }

  void Section() {
    const int number = NewNumber();
    Units name = Cased("Airline.") + Ascii(std::to_string(number).c_str());
    if (habits_.oddLines && random_.Percent(5)) name = Ascii("Airline.0") + name.substr(8);  // a leading zero
    if (habits_.outsideAnsi && random_.Percent(5)) {
      name.back() = 0xFF10;  // a full-width digit
      features_ |= kOutsideAnsi;
    }
    Header(name);
    std::vector<const char*> keys(std::begin(kCatalogueKeys), std::end(kCatalogueKeys));
    for (int n = random_.Below(static_cast<int>(keys.size()) + 1); n > 0; --n) {
      const std::size_t at = static_cast<std::size_t>(random_.Below(static_cast<int>(keys.size())));
      const char* key = keys[at];
      if (habits_.duplicates && random_.Percent(15)) features_ |= kDuplicate;
      else if (keys.size() > 1) keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(at));
      if (habits_.oddLines) OddLine();
      Line(KeyLine(key));
    }
  }

  void SettingsSection() {
    Header(Cased("PATH"));
    for (const char* key : kSettingsKeys) {
      if (random_.Percent(80)) Line(KeyLine(key));
    }
  }

  // Now and then a line that holds no key the tool asks for.
  void OddLine() {
    const int what = random_.Below(24);
    if (what == 0) Line(Units());
    if (what == 1) Line(Ascii(";Descr=commented out"));
    if (what == 2) Line(Blanks() + Ascii("; a note"));
    if (what == 3) Line(Ascii("Texture=x"));
    if (what == 4) Line(Cased(random_.Pick(kCatalogueKeys)));  // no '='
    if (what == 5) Line(Ascii("[no bracket=1"));
  }

  Units KeyLine(const char* key) {
    Units name = Cased(key);
    if (habits_.outsideAnsi && random_.Percent(3)) {
      name[0] = 0xFF21;  // a full-width letter
      features_ |= kOutsideAnsi;
    }
    return Blanks() + name + Blanks() + u'=' + Blanks() + Value() + Blanks();
  }

  int ValueLength() {
    const int kind = random_.Below(20);
    if (kind == 0) return 0;
    if (habits_.longValues && kind <= 4) {
      features_ |= kLongValue;
      if (kind == 1) return 48 + random_.Below(4);   // about the 50-byte fields
      if (kind == 2) return 253 + random_.Below(4);  // about the 255-byte list read
      if (kind == 3) return 298 + random_.Below(4);  // about the 300-byte lookup read
      return 60 + random_.Below(400);
    }
    return 1 + random_.Below(30);
  }

  char16_t ValueUnit() {
    if (habits_.outsideAnsi && random_.Percent(8)) {
      features_ |= kOutsideAnsi;
      return random_.Pick(kWideUnits);
    }
    if (habits_.cp1252 && random_.Percent(8)) {
      features_ |= kCp1252;
      return static_cast<char16_t>(0x80 + random_.Below(0x80));
    }
    static const char16_t kSigns[] = {u' ', u'\t', u'=', u'[', u']', u';'};
    if (random_.Percent(4)) return random_.Pick(kSigns);
    if (habits_.singleQuotes && random_.Percent(2)) return u'\'';
    if (habits_.doubleQuotes && random_.Percent(2)) return u'"';
    return static_cast<char16_t>(0x21 + random_.Below(0x5E));
  }

  // Quotes matched around the value, on one side only, or of both kinds.
  Units Quoted(Units value) {
    const bool single = habits_.singleQuotes && (!habits_.doubleQuotes || random_.Percent(50));
    if (!single && !habits_.doubleQuotes) return value;
    const char16_t mark = single ? u'\'' : u'"';
    const int how = random_.Below(8);
    if (how == 0 || how == 1) value = mark + value + mark;
    if (how == 2) value = mark + value;
    if (how == 3) value += mark;
    if (how == 4) value = Blanks() + mark + Blanks() + value + Blanks() + mark + Blanks();
    if (how == 5) value = Ascii("'") + value + u'"';
    if (how <= 5 && single) features_ |= kSingleQuotes;
    return value;
  }

  Units Value() {
    Units value;
    for (int length = ValueLength(); length > 0; --length) value += ValueUnit();
    return Quoted(value);
  }

  Random& random_;
  Habits habits_;
  Units out_;
  unsigned features_ = 0;
  std::vector<int> numbers_;
};

std::string Encode(const Units& text, bool wide, bool utf8Mark) {
  std::string bytes;
  if (wide) {
    bytes = "\xFF\xFE";
    for (char16_t unit : text) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
  }
  if (utf8Mark) bytes = "\xEF\xBB\xBF";
  for (char16_t unit : text) bytes += static_cast<char>(unit);
  return bytes;
}

// A folder of the test's own under the temporary folder, emptied at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "qvprofile" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const std::string& file : files_) ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Write(const std::string& bytes) {
    std::string file = path_ + "\\catalogue" + std::to_string(files_.size()) + ".dat";
    if (FILE* f = std::fopen(file.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    files_.push_back(file);
    return file;
  }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

struct Answer {
  DWORD length;
  std::string text;  // up to and including the terminator
  bool operator==(const Answer& other) const { return length == other.length && text == other.text; }
};

Answer Read(DWORD length, const char* buf, std::size_t cap) {
  const std::size_t kept = length < cap ? length + 1 : cap;
  return Answer{length, std::string(buf, kept)};
}

Answer RealAnswer(const std::string& file, const char* section, const char* key, const char* def,
                  std::size_t cap) {
  std::vector<char> buf(cap, '\xA5');
  const DWORD length =
      ::GetPrivateProfileStringA(section, key, def, buf.data(), static_cast<DWORD>(cap), file.c_str());
  return Read(length, buf.data(), cap);
}

Answer OurAnswer(const plat::ProfileFile& profile, const char* section, const char* key, const char* def,
                 std::size_t cap) {
  std::vector<char> buf(cap, '\xA5');
  const std::size_t length = profile.GetString(section, key, def, buf.data(), cap);
  return Read(static_cast<DWORD>(length), buf.data(), cap);
}

std::string Shown(const std::string& text) {
  std::string shown;
  for (unsigned char c : text) {
    char hex[8];
    if (c >= 0x20 && c < 0x7F && c != '\\') shown += static_cast<char>(c);
    else std::snprintf(hex, sizeof hex, "\\x%02X", c), shown += hex;
  }
  return shown;
}

struct Tally {
  long asked = 0;
  long agreed = 0;
  void Count(bool same) {
    ++asked;
    if (same) ++agreed;
  }
  double Percent() const { return asked ? 100.0 * static_cast<double>(agreed) / static_cast<double>(asked) : 100.0; }
};

struct Figures {
  Tally asserted;             // every catalogue but those with a UTF-8 mark
  Tally withDefault;          // Descr with a default, which the tool never passes
  Tally classes[sizeof kFeatureNames / sizeof kFeatureNames[0]];
  Tally plain;                // catalogues of none of the classes
  std::vector<std::string> firstDisagreements;
};

void Compare(const std::string& file, const plat::ProfileFile& profile, unsigned features, const char* section,
             const char* key, Figures* figures) {
  for (std::size_t cap : kCapacities) {
    const Answer real = RealAnswer(file, section, key, "", cap);
    const Answer ours = OurAnswer(profile, section, key, "", cap);
    const bool same = real == ours;
    if (!(features & kUtf8Mark)) figures->asserted.Count(same);
    if (features == 0) figures->plain.Count(same);
    for (std::size_t i = 0; i < sizeof kFeatureNames / sizeof kFeatureNames[0]; ++i) {
      const Feature feature = kFeatureNames[i].feature;
      if ((features & feature) && (feature == kUtf8Mark || !(features & kUtf8Mark))) figures->classes[i].Count(same);
    }
    if (!same && !(features & kUtf8Mark) && figures->firstDisagreements.size() < 12) {
      figures->firstDisagreements.push_back(file + " [" + section + "] " + key + " cap " + std::to_string(cap) +
                                            ": real " + std::to_string(real.length) + " \"" + Shown(real.text) +
                                            "\", ours " + std::to_string(ours.length) + " \"" + Shown(ours.text) +
                                            "\"");
    }
  }
  if (!(features & kUtf8Mark) && std::strcmp(key, "Descr") == 0) {
    figures->withDefault.Count(RealAnswer(file, section, key, "dflt", 300) ==
                               OurAnswer(profile, section, key, "dflt", 300));
  }
}

void AskEverything(const std::string& file, std::vector<int> numbers, unsigned features, Random& random,
                   Figures* figures) {
  plat::ProfileFile profile;
  profile.Load(file.c_str());
  numbers.push_back(random.Below(1024));  // most likely a section it lacks
  for (int number : numbers) {
    const std::string section = "Airline." + std::to_string(number);
    for (const char* key : kCatalogueKeys) Compare(file, profile, features, section.c_str(), key, figures);
  }
  for (const char* key : kSettingsKeys) Compare(file, profile, features, "PATH", key, figures);
}

void Print(const Figures& figures) {
  std::printf("Agreement with GetPrivateProfileStringA (capacities 255, 300, 50; default \"\"):\n");
  std::printf("  %-36s %6ld of %6ld  %7.3f%%\n", "all asserted queries", figures.asserted.agreed,
              figures.asserted.asked, figures.asserted.Percent());
  std::printf("  %-36s %6ld of %6ld  %7.3f%%\n", "catalogues of no class below", figures.plain.agreed,
              figures.plain.asked, figures.plain.Percent());
  for (std::size_t i = 0; i < sizeof kFeatureNames / sizeof kFeatureNames[0]; ++i) {
    const Tally& tally = figures.classes[i];
    std::printf("  %-36s %6ld of %6ld  %7.3f%%\n", kFeatureNames[i].name, tally.agreed, tally.asked, tally.Percent());
  }
  std::printf("  %-36s %6ld of %6ld  %7.3f%%\n", "Descr with a default (not asserted)", figures.withDefault.agreed,
              figures.withDefault.asked, figures.withDefault.Percent());
  for (const std::string& line : figures.firstDisagreements) std::printf("  differs: %s\n", line.c_str());
}

// Each query costs the system function a look at the file: 120 catalogues
// (about 22,000 queries) take a few seconds; QUORVANE_PROFILE_CATALOGUES
// asks for more, for a wider measurement.
int CatalogueCount() {
  const char* count = std::getenv("QUORVANE_PROFILE_CATALOGUES");
  const int asked = count ? std::atoi(count) : 0;
  return asked > 0 ? asked : 120;
}

TEST(ProfileAgreement, AnswersTheToolsQueriesAsTheSystemFunction) {
  ScratchFolder folder;
  Figures figures;
  Random random(20261209);
  for (int i = 0; i < CatalogueCount(); ++i) {
    const bool wide = random.Percent(20);
    const bool utf8Mark = !wide && random.Percent(5);
    CatalogueMaker maker(random, Habits::Draw(random, wide));
    const Units text = maker.Make();
    const std::string file = folder.Write(Encode(text, wide, utf8Mark));
    AskEverything(file, maker.numbers(), maker.features() | (utf8Mark ? kUtf8Mark : 0u), random, &figures);
  }
  Print(figures);
  EXPECT_EQ(figures.asserted.agreed, figures.asserted.asked);
}

// Every code unit converts to the byte the system gives for it, and is
// exact where the byte converts back to it.
TEST(ProfileEncoding, ConvertsEveryCodeUnitAsWideCharToMultiByte) {
  int differing = 0;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    const wchar_t wide = static_cast<wchar_t>(unit);
    char byte = 0;
    BOOL usedDefault = FALSE;
    ASSERT_EQ(::WideCharToMultiByte(1252, 0, &wide, 1, &byte, 1, nullptr, &usedDefault), 1);
    wchar_t back = 0;
    ::MultiByteToWideChar(1252, 0, &byte, 1, &back, 1);
    const plat::AnsiUnit ours = plat::AnsiFromUtf16(static_cast<char16_t>(unit));
    const bool exact = !usedDefault && back == wide;
    if (ours.byte != static_cast<unsigned char>(byte) || ours.exact != exact) {
      if (++differing <= 10) ADD_FAILURE() << "U+" << std::hex << unit << ": system " << (unsigned(byte) & 0xFF);
    }
  }
  EXPECT_EQ(differing, 0);
  for (int byte = 0; byte < 256; ++byte) {
    const char narrow = static_cast<char>(byte);
    wchar_t wide = 0;
    ASSERT_EQ(::MultiByteToWideChar(1252, 0, &narrow, 1, &wide, 1), 1);
    EXPECT_EQ(plat::Utf16FromAnsi(static_cast<unsigned char>(byte)), static_cast<char16_t>(wide)) << byte;
  }
}

}  // namespace
