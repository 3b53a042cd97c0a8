// Profile reader: arbitrary profile text, asked for every section and key
// it names and for a few it does not, into buffers of every capacity; the
// same text with other line ends and stored as UTF-16 answers the same.
//
// Input: byte 0 is the buffer capacity (0 to 255), the rest is the text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "platform/Profile.h"
#include "platform/ProfileEncoding.h"

using namespace engine;

namespace {

constexpr unsigned char kUntouched = 0xA5;

// One GetString into a buffer of exactly `cap` bytes (ASan sees any byte
// written past it), checked against Find.
std::size_t Ask(const plat::ProfileFile& profile, const std::string& section, const std::string& key,
                const char* def, std::size_t cap, std::string* got) {
  std::unique_ptr<unsigned char[]> storage(new unsigned char[cap ? cap : 1]);
  unsigned char* buf = storage.get();
  std::memset(buf, kUntouched, cap ? cap : 1);
  std::size_t n = profile.GetString(section.c_str(), key.c_str(), def, reinterpret_cast<char*>(cap ? buf : nullptr), cap);
  if (cap == 0) {
    fuzz::Check(n == 0, "GetString into no buffer returned characters");
    got->clear();
    return n;
  }
  fuzz::Check(n <= cap - 1, "GetString returned more than cap - 1 characters");
  fuzz::Check(buf[n] == 0, "GetString did not terminate the text");
  for (std::size_t i = n + 1; i < cap; ++i) fuzz::Check(buf[i] == kUntouched, "GetString wrote past its text");

  const std::optional<std::string_view> value = profile.Find(section.c_str(), key.c_str());
  const std::string expected = value ? std::string(*value) : std::string(def ? def : "");
  const std::size_t expectedLength = expected.size() < cap - 1 ? expected.size() : cap - 1;
  // A quoted value that fills the buffer exactly comes one shorter.
  const bool fillsBuffer = value && expected.size() == cap - 1 && cap >= 2;
  fuzz::Check(n == expectedLength || (fillsBuffer && n == cap - 2), "GetString length differs from the value found",
              section + "/" + key);
  fuzz::Check(std::memcmp(buf, expected.data(), n) == 0, "GetString copied other text than the value found");
  got->assign(reinterpret_cast<const char*>(buf), n);
  return n;
}

// The lines of a text, each CR, LF or CR LF ending one.
std::vector<std::string> ProfileLines(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  return SplitLines(text);
}

// Candidate key names: whatever stands before an '=' on some line.
std::vector<std::string> KeysOf(const std::string& text) {
  std::vector<std::string> keys = {"Descr", "SQ1", "FLUSI", "SQUAWK", "", "missing"};
  for (const std::string& line : ProfileLines(text)) {
    std::size_t equals = line.find('=');
    if (equals != std::string::npos && keys.size() < 24) keys.push_back(line.substr(0, equals));
    else if (equals == std::string::npos && !line.empty() && line[0] != '[' && keys.size() < 24) keys.push_back(line);
  }
  return keys;
}

bool HasZero(const std::string& s) { return s.find('\0') != std::string::npos; }

std::string Replaced(const std::string& text, char from, const char* to) {
  std::string out;
  for (char c : text) {
    if (c == from) out += to;
    else out += c;
  }
  return out;
}

// The text stored as UTF-16 LE with its mark, each byte as the character
// it stands for.
std::string AsUtf16(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (char c : text) {
    const char16_t unit = plat::Utf16FromAnsi(static_cast<unsigned char>(c));
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// Other texts that must answer exactly as the text itself: with CR LF or
// lone CR line ends instead of LF, and stored as UTF-16. A text that is
// UTF-16 itself has none of these.
std::vector<std::string> SameAnswerTexts(const std::string& text) {
  if (plat::IsUtf16Profile(text)) return {};
  return {Replaced(text, '\n', "\r\n"), Replaced(text, '\n', "\r"), AsUtf16(text)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t cap = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  plat::ProfileFile profile;
  profile.Parse(text);
  const std::vector<std::string> names = profile.SectionNames();

  // Parsing again gives the same file.
  plat::ProfileFile again;
  again.Parse(text);
  fuzz::Check(again.SectionNames() == names, "a second parse found other sections");

  std::vector<std::unique_ptr<plat::ProfileFile>> same;
  for (const std::string& other : SameAnswerTexts(text)) {
    same.push_back(std::make_unique<plat::ProfileFile>());
    same.back()->Parse(other);
    fuzz::Check(same.back()->SectionNames() == names, "other line ends or UTF-16 changed the sections");
  }

  std::vector<std::string> sections = {"PATH", "Airline.0", "", "nowhere"};
  for (const std::string& name : names) {
    if (sections.size() >= 24) break;
    sections.push_back(name);
    if (!HasZero(name)) {
      fuzz::Check(profile.HasSection(name.c_str()), "a section of the file is not found", name);
      fuzz::Check(profile.HasSection((" " + name + "\t\x1a").c_str()), "blanks around a section name matter", name);
      fuzz::Check(profile.HasSection(Folded(name).c_str()), "letter case of a section name matters", name);
    }
  }
  const std::vector<std::string> keys = KeysOf(text);
  for (const std::string& section : sections) {
    for (const std::string& key : keys) {
      std::string got, gotSame, gotWide;
      Ask(profile, section, key, "default value", cap, &got);
      const std::optional<std::string_view> value = profile.Find(section.c_str(), key.c_str());
      for (const std::unique_ptr<plat::ProfileFile>& other : same) {
        Ask(*other, section, key, "default value", cap, &gotSame);
        const bool found = other->Find(section.c_str(), key.c_str()).has_value();
        fuzz::Check(found == value.has_value(), "other line ends or UTF-16 changed what is found", section + "/" + key);
        fuzz::Check(gotSame == got, "other line ends or UTF-16 changed an answer", section + "/" + key);
      }
      // Any capacity gives a prefix of what a larger one gives.
      Ask(profile, section, key, "default value", 300, &gotWide);
      fuzz::Check(gotWide.compare(0, got.size(), got) == 0, "a small buffer got other text than a large one");
    }
  }
  return 0;
}
