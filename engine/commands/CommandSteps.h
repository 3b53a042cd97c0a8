#pragma once

#include <functional>
#include <string>

#include "commands/CommandOutcome.h"

namespace engine {

class InstallHost;
class RunReport;
struct InstallContext;
struct InstallRequest;

// Steps the commands share.

// Shows the refusal and ends the command with nothing changed.
InstallOutcome Refuse(InstallHost& host, const std::string& text);

// The command's last message: the success text, or what failed under the
// heading that names the command, the report's notes after either; after
// a run that changed the files and failed, with the host's words on how to
// put them back (undoable); either followed by `note`.
InstallOutcome Finish(InstallHost& host, const RunReport& report, const char* success, const char* heading,
                      bool undoable, const std::string& note = std::string());

// The question EnsureFolderPath asks before it makes a missing folder,
// asked through the host: the path as the caption, true at Yes.
std::function<bool(const char*)> AskToCreateFolder(InstallHost& host);

// The request's folder texts into the context: each cut to the 299
// characters a field holds, one trailing backslash taken off the FS2002
// folder.
void TakeFolders(const InstallRequest& request, InstallContext& context);

}  // namespace engine
