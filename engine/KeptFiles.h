#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "Catalogue.h"
#include "FileSystem.h"
#include "Profile.h"
#include "TextFile.h"
#include "TitleScan.h"

namespace engine {

// What a run keeps between two airlines of the catalogue and of the
// configuration file, so that it is not read and parsed again for each:
// only while the file is provably the same, its state (identity, size,
// modification and change times) being checked before every use. An edit
// by any other program changes the state, and the next use reads the file
// afresh.

// Airlines.dat, parsed, with its sections by number.
struct ParsedCatalogue {
  explicit ParsedCatalogue(plat::ProfileFile parsed);
  ParsedCatalogue(const ParsedCatalogue&) = delete;
  ParsedCatalogue& operator=(const ParsedCatalogue&) = delete;

  // The highest section number whose Descr, as a lookup reads it, is the
  // description; -1 when there is none.
  int LastWithDescr(std::string_view description) const;

  plat::ProfileFile profile;
  CatalogueSections sections;

 private:
  // Views into the profile's text, which never moves.
  std::unordered_map<std::string_view, int> m_lastWithDescr;
};

class KeptCatalogue {
 public:
  // The catalogue at `path`: the kept parse while the file's state is the
  // one it was parsed at, else a new parse (a file that cannot be read has
  // no sections; *unreadable tells it was there). A file written in the
  // last two seconds is read again for every use, since another write in
  // the same tick of the file system's clock could leave the state
  // unchanged: its parse is kept while its bytes are the ones parsed.
  const ParsedCatalogue& Get(const std::string& path, bool* unreadable);
  void Forget() {
    m_parsed.reset();
    m_bytes = plat::FileBytes();
  }

 private:
  std::string m_path;
  plat::FileState m_state;
  bool m_unreadable = false;
  plat::FileBytes m_bytes;  // what was parsed
  std::unique_ptr<ParsedCatalogue> m_parsed;
};

class KeptTitleScan {
 public:
  // The title index of the configuration file at `path`: the kept one
  // while the file's state is the one this run saw or made, else one built
  // from the file afresh. Null when the file cannot be read. Unlike the
  // catalogue it is kept while the file is recent, since this run writes
  // it after every airline: only a same-size edit within the same tick of
  // the file system's clock as the run's own write would go unseen.
  const TitleIndex* Get(const char* path);
  // The number a section appended to the file gets (SectionNumbers'
  // nextFree), known with the index, and the file's state as the last Get
  // saw it: valid after a Get that did not return null.
  long NextSectionNumber() const { return m_nextNumber; }
  const plat::FileState& StateSeen() const { return m_state; }
  // This run appended `stored` (the bytes as written), a section numbered
  // NextSectionNumber(), to the file the kept index is of; the file's
  // state is now `state`.
  void Appended(const char* path, std::string_view stored, const plat::FileState& state);
  void Forget() { m_index.reset(); }

 private:
  std::string m_path;
  plat::FileState m_state;
  std::unique_ptr<TitleIndex> m_index;
  long m_nextNumber = 0;
  std::set<long> m_heldAbove;  // numbers above it that headers hold (none when the numbers are whole)
};

// A file the run appends to, kept open between airlines while it stays as
// the run's last append left it (its state is checked before each append):
// an airline then costs a write, not an open and a close. Closed by Close,
// before anything replaces the file.
class KeptAppend {
 public:
  KeptAppend() = default;
  KeptAppend(const KeptAppend&) = delete;
  KeptAppend& operator=(const KeptAppend&) = delete;

  struct Done {
    std::uint64_t sizeBefore = 0;    // the file's length before the append
    bool endedWithLineBreak = true;  // whether its last line had one
    plat::FileState after;           // its state once the text was written
  };
  // Appends the text (each line feed stored as CR LF), after a line break
  // when the file's last line lacks one. A failed append is taken back by
  // cutting the file to its earlier length, so no half entry is left; false
  // then, with the reason in plat::LastErrorText(). `seen`: the file's
  // state as the caller took it just before, or null to take it here.
  bool Append(const char* path, std::string_view text, Done* done, const plat::FileState* seen = nullptr);
  void Close();

 private:
  std::string m_path;
  plat::TextFile m_file;
  plat::FileState m_state;  // after the last append
};

}  // namespace engine
