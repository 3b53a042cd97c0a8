#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "Catalogue.h"
#include "FileSystem.h"
#include "Profile.h"
#include "TextFile.h"

namespace engine {

// What a run keeps of the catalogue between two airlines, so that it is
// not read and parsed again for each: only while the file is provably the
// same, its state (identity, size, modification and change times) being
// checked before every use. An edit by any other program changes the
// state, and the next use reads the file afresh.

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
  // no sections; *read is then the failure, else done). A file written in the
  // last two seconds is read again for every use, since another write in
  // the same tick of the file system's clock could leave the state
  // unchanged: its parse is kept while its bytes are the ones parsed.
  const ParsedCatalogue& Get(const std::string& path, plat::Result* read);
  void Forget() {
    m_parsed.reset();
    m_bytes = plat::FileBytes();
  }

 private:
  std::string m_path;
  plat::FileState m_state;
  plat::Result m_read;  // a failure when the file was there and could not be read
  plat::FileBytes m_bytes;  // what was parsed
  std::unique_ptr<ParsedCatalogue> m_parsed;
};

}  // namespace engine
