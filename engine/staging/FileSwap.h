#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "backups/Backups.h"
#include "platform/Result.h"

namespace engine {

// How a run replaces the configuration file, the model list and its
// texture copies as one change, although no file system replaces two
// files at once:
//  1. each new content is written whole to a temporary file beside the
//     file it replaces and flushed to disk (a texture copy was made so as
//     the run went);
//  2. the run's intent is recorded, in the folder of each of the two
//     files: which temporary file becomes which file, with the sizes and
//     CRC-32 of both contents and the copy that holds the old one;
//  3. the files are renamed into place, the two files first, then the
//     textures;
//  4. the record goes.
// A run stopped between 2 and 4 leaves the record. The next start of any
// command, or of the window, finds it (RepairInterruptedRun): when both
// files hold their new content it finishes the run, else it puts them back
// from the copies the run kept, checked by size and CRC-32. Either way the
// run's last-run copies are settled or dropped with it (Backups.h). A
// repair that is stopped in turn leaves the record for the next start.

inline constexpr char kIntentRecordName[] = "Quorvane-unfinished-run.ini";

// One of the two files: what it will hold, what it held (if it was
// there), and the copy of ours that holds that (empty when none was
// kept: the run can only be finished then).
struct FileChange {
  std::string path;
  std::string_view bytes;
  bool existed = true;
  std::string_view before;
  std::string keptCopy;
};

// A texture copy that waits beside its target.
struct TextureChange {
  std::string target;
  std::string temp;
  // For the run's report when it cannot be put in place: "<airline>":
  // <source> could not be copied to <target>, and the reason. The words
  // are made only then: the paths' names as shown cost a look at each
  // folder, at every airline of a run that mostly succeeds.
  std::string description;
  std::string source;
};

// The report's words for a texture that could not be copied, or put in
// place: "<airline>": <source> could not be copied to <target>, and the
// system's reason.
std::string TextureCopyFailure(const char* description, const char* source, const char* target,
                               const plat::Result& why);

enum class SwapStatus {
  Done,            // every file holds its new content (textures that failed are reported)
  NothingChanged,  // the files are as they were; `message` says why
  LeftForRepair,   // a file changed and could not be put back: the record stays for the next start
};

struct SwapResult {
  SwapStatus status = SwapStatus::Done;
  std::string failure;  // what failed, with the system's reason: "<file> could not be written (...)"
  std::string message;  // the same for the user, with what it means for the files
  std::vector<std::string> textureFailures;  // each a whole line for the report
  // Done, but `done` failed: the record stays for the next start to run it.
  bool unsettled = false;
  std::string unsettledReason;  // " (the system's reason)", or empty
};

// Swaps in the files that change and the texture copies; `files` holds
// only files whose content changes. *swapping is true from the first
// rename to the end, while the files may be out of step. Temporary files
// that are not swapped in are removed.
// The record is written into each of `recordFolders` (those of the two
// files). `done`, unless empty, runs once every file is in place and before
// the record goes (a repair runs it as well when it finishes the run);
// when it fails twice, the record stays for the next start to finish.
// `keptCopies`: the copies the run kept of both files, pending (those of a
// file that does not change too), which a repair settles or drops.
SwapResult SwapIn(const char* command, const RunStamp& run, const std::vector<std::string>& recordFolders,
                  const std::vector<FileChange>& files, const std::vector<TextureChange>& textures, bool* swapping,
                  const std::function<plat::Result()>& done = {},
                  const std::vector<PendingCopy>& keptCopies = {});

// Removes texture copies that wait beside their targets.
void DiscardTextures(const std::vector<TextureChange>& textures);

// Whether either folder holds the record of a run that did not end.
bool HasInterruptedRun(const std::string& configFolder, const std::string& modelListFolder);

struct Repair {
  bool found = false;    // a record of a run that did not end was there
  bool settled = true;   // the two files are in step; false: a command must not go on
  std::string line;      // what the repair did, one line for the user; empty when nothing
};

// Looks for the record in both folders and, holding their locks, finishes
// or takes back the run it names (see above), then removes the record and
// what that run left of its temporary files. A folder that another live
// run holds is left to it.
Repair RepairInterruptedRun(const std::string& configFolder, const std::string& modelListFolder);

// The folder of the configuration file and the model list of the folders
// a user gave.
std::string ConfigFolderOf(const std::string& fsFolder);

// Removes the records of the run from both folders (after the files were
// given back by other means).
void ClearIntentRecords(const std::string& configFolder, const std::string& modelListFolder);

}  // namespace engine
