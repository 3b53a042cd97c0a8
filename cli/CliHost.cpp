#include "CliHost.h"

#include <algorithm>
#include <cstring>

#include "platform/FileSystem.h"
#include "Output.h"
#include "run/Messages.h"
#include "text/Text.h"

namespace cli {

using engine::Answer;
using engine::CommandStep;
using engine::MessageKind;
using engine::ProgressBar;

namespace {

std::string Trimmed(const char* text) {
  std::string s(text);
  s.erase(0, s.find_first_not_of(" \n"));
  s.erase(s.find_last_not_of(" \n") + 1);
  return s;
}

}  // namespace

Answer CliHost::ShowMessage(MessageKind kind, const char* text, const char* caption) {
  EndProgressLine();
  switch (kind) {
    case MessageKind::Confirmation: {
      if (m_settings.assumeYes || m_settings.preview) return Answer::Ok;
      Err(std::string(text) + "\n");
      if (!m_settings.interactive) {
        Err("No terminal to answer on: cancelled (use --yes to confirm).\n");
        return Answer::Cancel;
      }
      Err("Continue? [y/N] ");
      std::string reply;
      ReadLine(&reply);
      return (reply == "y" || reply == "Y" || reply == "yes") ? Answer::Ok : Answer::Cancel;
    }
    case MessageKind::AskCreateFolder:
      return m_settings.assumeYes ? Answer::Yes : Answer::No;
    case MessageKind::FolderFailure:
      Err(plat::DisplayPath(caption ? caption : "") + ": " + text + "\n");
      return Answer::Ok;
    case MessageKind::Repaired:
      // At once, also in a dry run: it happened before the command.
      Err(std::string(text) + "\n");
      return Answer::Ok;
    case MessageKind::Success:
    case MessageKind::Failure:
      if (m_settings.preview) {
        m_held.push_back(HeldMessage{kind, text});
      } else {
        Print(kind, text);
      }
      return Answer::Ok;
  }
  return Answer::Ok;
}

void CliHost::Print(MessageKind kind, const std::string& text) {
  if (kind == MessageKind::Success) {
    Out(text + "\n");
    FlushOut();
  } else {
    Err(text + "\n");
  }
}

void CliHost::PrintHeldMessages() {
  for (const HeldMessage& message : m_held) Print(message.kind, message.text);
  m_held.clear();
}

void CliHost::SetProgressRange(ProgressBar bar, int lower, int upper) {
  if (bar != ProgressBar::Overall) return;
  m_overallLower = lower;
  m_overallUpper = upper;
}

void CliHost::SetProgressPos(ProgressBar bar, int pos) {
  if (bar != ProgressBar::Overall) return;
  m_overallPos = pos;
  DrawProgress();
}

void CliHost::StepReached(CommandStep step) {
  switch (step) {
    case CommandStep::InstallStarts:
    case CommandStep::RemoveStarts: ShowStatus(engine::kWaitDeletingText); return;
    case CommandStep::RestoreStarts: ShowStatus(engine::kWaitRestoringText); return;
    case CommandStep::EarlierEntriesGone:
    case CommandStep::AirlinesDone:
    case CommandStep::RestoreDone: EndProgressLine(); return;
    case CommandStep::AirlinesStart: return;
  }
}

void CliHost::ShowStatus(const char* text) {
  std::string status = Trimmed(text);
  if (status.empty()) return;
  m_status = status;
  if (m_settings.showProgress) {
    DrawProgress();
  } else {
    Err(m_status + "\n");  // one write a line
  }
}

void CliHost::DrawProgress() {
  if (!m_settings.showProgress) return;
  const int span = std::max(1, m_overallUpper - m_overallLower + 1);
  const int done = std::clamp(m_overallPos - m_overallLower, 0, span);
  constexpr int kWidth = 24;
  const int filled = done * kWidth / span;
  Err("\r\033[K[" + std::string(static_cast<std::size_t>(filled), '#') +
      std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " + m_status);
  m_progressLineOpen = true;
}

void CliHost::EndProgressLine() {
  if (!m_progressLineOpen) return;
  Err("\n");
  m_progressLineOpen = false;
}

}  // namespace cli
