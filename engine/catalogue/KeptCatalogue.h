#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "catalogue/Catalogue.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/TextFile.h"

namespace engine {

// What a run keeps of the catalogue between two airlines, so that it is
// not read and parsed again for each: only while the file is provably the
// same, its state (identity, size, modification and change times) being
// checked before every use. An edit by any other program changes the
// state, and the next use reads the file afresh.

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

// The lookup of LookupAirlineIn in the catalogue of the folder (which ends
// in its separator), through the kept parse: an edit made while the
// program runs is seen by the next lookup. A catalogue that is there and
// cannot be read gives the failure in `read`.
LookupResult LookupAirline(KeptCatalogue& kept, const std::string& catalogueFolder, const char* description);

}  // namespace engine
