#pragma once

#include <string>
#include <vector>

namespace engine {

struct InstallContext;

// What Windows' file virtualization means for the two files a command
// changes, the aircraft configuration file and the model list. A program
// without a manifest, run without elevation on Vista and later, changes a
// copy of its own of files under Program Files and reads that copy first
// (platform/VirtualStore.h). FS2002 and SquawkBox are such programs: started
// the usual way they read the copies. A Quorvane run that is virtualized
// the same way works on those copies too, and all agree. A run as
// administrator (or with User Account Control off) would change the real
// files, which they do not read while copies exist: that is refused, and
// said why.
//
// The platform's answers come through this class, so that tests can give
// their own.
class FileRedirection {
 public:
  virtual ~FileRedirection() = default;
  // Whether this process's writes go to VirtualStore.
  virtual bool ProcessIsVirtualized() const;
  // The VirtualStore copy of the file, or "" when there is none.
  virtual std::string CopyOf(const char* path) const;
};

// The answers of the platform layer.
const FileRedirection& SystemFileRedirection();

// Before a command changes either file: false, with the message for the
// user in *refusal, when this run is not virtualized while Windows keeps a
// VirtualStore copy of either file.
bool MayChangeInPlace(const InstallContext& context, const FileRedirection& redirection, std::string* refusal);

// After a command of a virtualized run: the paragraph for its last message
// that names where Windows keeps the files; "" when Windows keeps no copy.
std::string WhereWindowsKeepsThem(const InstallContext& context, const FileRedirection& redirection);

// For check: each file with a VirtualStore copy, as a problem when this
// run is not virtualized (its changes would not be seen) and as a note
// when it is.
void DescribeCopies(const InstallContext& context, const FileRedirection& redirection,
                    std::vector<std::string>* problems, std::vector<std::string>* notes);

}  // namespace engine
