#include "CliHost.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "Text.h"

namespace {

std::string Trimmed(const char* text) {
  std::string s(text);
  s.erase(0, s.find_first_not_of(" \n"));
  s.erase(s.find_last_not_of(" \n") + 1);
  return s;
}

}  // namespace

bool CliHost::Select(const std::vector<std::string>& descriptions, std::string* unknown) {
  selected_.assign(entries_.size(), false);
  for (const std::string& description : descriptions) {
    bool any = false;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i] == description) {
        selected_[i] = true;
        any = true;
      }
    }
    if (!any) {
      *unknown = description;
      return false;
    }
  }
  return true;
}

void CliHost::SelectAll() { selected_.assign(entries_.size(), true); }

Answer CliHost::ShowMessage(MessageKind kind, const char* text, const char* caption) {
  EndProgressLine();
  switch (kind) {
    case MessageKind::Confirmation: {
      if (settings_.assumeYes || settings_.preview) return Answer::Ok;
      std::cerr << text << "\n";
      if (!settings_.interactive) {
        std::cerr << "No terminal to answer on: cancelled (use --yes to confirm).\n";
        return Answer::Cancel;
      }
      std::cerr << "Continue? [y/N] " << std::flush;
      std::string reply;
      std::getline(std::cin, reply);
      return (reply == "y" || reply == "Y" || reply == "yes") ? Answer::Ok : Answer::Cancel;
    }
    case MessageKind::AskCreateFolder:
      return settings_.assumeYes ? Answer::Yes : Answer::No;
    case MessageKind::FolderFailure:
      std::cerr << (caption ? caption : "") << ": " << text << "\n";
      return Answer::Ok;
    case MessageKind::Success:
    case MessageKind::Failure:
      if (settings_.preview) {
        held_.push_back(HeldMessage{kind, text});
      } else {
        Print(kind, text);
      }
      return Answer::Ok;
  }
  return Answer::Ok;
}

void CliHost::Print(MessageKind kind, const std::string& text) {
  std::ostream& out = kind == MessageKind::Success ? std::cout : std::cerr;
  out << text << "\n" << std::flush;
}

void CliHost::PrintHeldMessages() {
  for (const HeldMessage& message : held_) Print(message.kind, message.text);
  held_.clear();
}

void CliHost::GetFolderText(int fieldId, char* buf, std::size_t cap) {
  CopyText(buf, cap, (fieldId == kFsFolderFieldId ? settings_.fsFolder : settings_.squawkBoxFolder).c_str());
}

void CliHost::SetFolderText(int fieldId, const char* text) {
  (fieldId == kFsFolderFieldId ? settings_.fsFolder : settings_.squawkBoxFolder) = text;
}

void CliHost::ResetList() {
  entries_.clear();
  selected_.clear();
}

void CliHost::AddListEntry(const char* text) {
  entries_.push_back(text);
  selected_.push_back(false);
}

int CliHost::ListCount() { return static_cast<int>(entries_.size()); }

bool CliHost::IsListEntrySelected(int index) {
  return index >= 0 && static_cast<std::size_t>(index) < selected_.size() && selected_[index];
}

void CliHost::GetListEntry(int index, char* buf, std::size_t cap) {
  if (cap == 0) return;
  buf[0] = '\0';
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return;
  CopyText(buf, cap, entries_[index].c_str());
}

void CliHost::SetProgressRange(int barId, int lower, int upper) {
  if (barId != kOverallProgressId) return;
  overallLower_ = lower;
  overallUpper_ = upper;
}

void CliHost::SetProgressPos(int barId, int pos) {
  if (barId != kOverallProgressId) return;
  overallPos_ = pos;
  DrawProgress();
}

void CliHost::ShowWaitBox(const char* text) {
  std::string status = Trimmed(text);
  if (status.empty()) return;
  status_ = status;
  if (settings_.showProgress) {
    DrawProgress();
  } else {
    std::cerr << status_ << "\n";
  }
}

void CliHost::CloseWaitBox() { EndProgressLine(); }

void CliHost::DrawProgress() {
  if (!settings_.showProgress) return;
  const int span = std::max(1, overallUpper_ - overallLower_ + 1);
  const int done = std::clamp(overallPos_ - overallLower_, 0, span);
  constexpr int kWidth = 24;
  const int filled = done * kWidth / span;
  std::cerr << "\r\033[K[" << std::string(static_cast<std::size_t>(filled), '#')
            << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << status_ << std::flush;
  progressLineOpen_ = true;
}

void CliHost::EndProgressLine() {
  if (!progressLineOpen_) return;
  std::cerr << "\n";
  progressLineOpen_ = false;
}
