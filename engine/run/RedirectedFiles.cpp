#include "run/RedirectedFiles.h"

#include "backups/Backups.h"
#include "run/InstallContext.h"
#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/VirtualStore.h"

namespace engine {
namespace {

// A file and its copy.
struct Copied {
  std::string file;
  std::string copy;
};

std::vector<Copied> CopiesOf(const InstallContext& context, const FileRedirection& redirection) {
  std::vector<Copied> copied;
  for (const char* file : {context.configPath, context.modelListPath}) {
    std::string copy = redirection.CopyOf(file);
    if (!copy.empty()) copied.push_back(Copied{file, std::move(copy)});
  }
  return copied;
}

}  // namespace

bool FileRedirection::ProcessIsVirtualized() const { return plat::IsVirtualized(); }

std::string FileRedirection::CopyOf(const char* path) const { return plat::VirtualStoreCopy(path); }

const FileRedirection& SystemFileRedirection() {
  static const FileRedirection system;
  return system;
}

bool MayChangeInPlace(const InstallContext& context, const FileRedirection& redirection, std::string* refusal) {
  const std::vector<Copied> copied = CopiesOf(context, redirection);
  if (copied.empty() || redirection.ProcessIsVirtualized()) return true;
  const bool one = copied.size() == 1;
  std::string text = one ? "Windows keeps a second copy of this file for your user account:\n"
                         : "Windows keeps a second copy of these files for your user account:\n";
  for (const Copied& c : copied) {
    text += Printf("  %s\n  copy: %s\n", plat::DisplayPath(c.file.c_str()).c_str(), c.copy.c_str());
  }
  text += Printf(
      "\nFS2002 and SquawkBox, started the usual way, read the %s. Quorvane is running as administrator (or "
      "User Account Control is off), so it would change the %s above, which they do not read: the "
      "installation would seem to do nothing.\n\n"
      "Please close Quorvane and start it again the usual way, not with \"Run as administrator\".\n"
      "If User Account Control is switched off on this computer, the %s left over from an earlier time: "
      "move %s out of the VirtualStore folder (keep %s until you are sure you do not need %s), then run "
      "Quorvane again.\n\n"
      "Nothing has been changed.",
      one ? "copy" : "copies", one ? "file" : "files", one ? "copy is" : "copies are", one ? "it" : "them",
      one ? "it" : "them", one ? "it" : "them");
  *refusal = text;
  return false;
}

std::string WhereWindowsKeepsThem(const InstallContext& context, const FileRedirection& redirection) {
  const std::vector<Copied> copied = CopiesOf(context, redirection);
  if (copied.empty() || !redirection.ProcessIsVirtualized()) return std::string();
  std::string text = "\n\nWindows keeps the changed files for your user account in its VirtualStore folder:\n";
  for (const Copied& c : copied) text += "  " + c.copy + "\n";
  text += "FS2002 and SquawkBox read them there when they are started the usual way (not as administrator).";
  return text;
}


void DescribeCopies(const InstallContext& context, const FileRedirection& redirection,
                    std::vector<std::string>* problems, std::vector<std::string>* notes) {
  const bool virtualized = redirection.ProcessIsVirtualized();
  for (const Copied& c : CopiesOf(context, redirection)) {
    const std::string name = NameOf(c.file);
    if (virtualized) {
      notes->push_back(Printf("%s: Windows keeps your user account's copy of this file at %s; Quorvane, FS2002 "
                              "and SquawkBox, started the usual way, all read and change that copy",
                              name.c_str(), c.copy.c_str()));
    } else {
      problems->push_back(Printf("%s: Windows keeps a second copy of this file for your user account at %s; "
                                 "FS2002 and SquawkBox, started the usual way, read that copy, not this file. "
                                 "Run Quorvane the usual way (not as administrator) to work on the copy",
                                 name.c_str(), c.copy.c_str()));
    }
  }
}

}  // namespace engine
