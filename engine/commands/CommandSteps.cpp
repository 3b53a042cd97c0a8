#include "commands/CommandSteps.h"

#include <cstring>

#include "run/InstallContext.h"
#include "run/InstallHost.h"
#include "run/Messages.h"
#include "run/RunReport.h"
#include "text/Text.h"

namespace engine {

InstallOutcome Refuse(InstallHost& host, const std::string& text) {
  host.ShowMessage(MessageKind::Failure, text.c_str(), nullptr);
  return InstallOutcome::CheckFailed;
}

InstallOutcome Finish(InstallHost& host, const RunReport& report, const char* success, const char* heading,
                      bool undoable, const std::string& note) {
  if (report.HasFailures()) {
    std::string text = report.FailureMessage(heading, host.MostFailuresListed());
    if (undoable) text += "\n\n" + host.HowToUndo();
    host.ShowMessage(MessageKind::Failure, (text + note).c_str(), nullptr);
    return InstallOutcome::CompletedWithFailures;
  }
  host.ShowMessage(MessageKind::Success, (report.WithNotes(success) + note).c_str(), nullptr);
  return InstallOutcome::Completed;
}

std::function<bool(const char*)> AskToCreateFolder(InstallHost& host) {
  return [&host](const char* path) {
    return host.ShowMessage(MessageKind::AskCreateFolder, kAskCreateFolderText, path) == Answer::Yes;
  };
}

void TakeFolders(const InstallRequest& request, InstallContext& context) {
  CopyText(context.fsFolder, request.fsFolder.c_str());
  CopyText(context.squawkBoxFolder, request.squawkBoxFolder.c_str());
  const std::size_t length = std::strlen(context.fsFolder);
  if (length > 0 && context.fsFolder[length - 1] == '\\') context.fsFolder[length - 1] = '\0';
}

}  // namespace engine
