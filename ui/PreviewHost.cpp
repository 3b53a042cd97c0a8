#include "PreviewHost.h"

namespace ui {

using engine::Answer;
using engine::MessageKind;

Answer PreviewHost::ShowMessage(MessageKind kind, const char* text, const char* caption) {
  switch (kind) {
    case MessageKind::Confirmation: return Answer::Ok;
    case MessageKind::Success:
    case MessageKind::Failure:
      m_held.push_back(Held{kind, text});
      return Answer::Ok;
    case MessageKind::AskCreateFolder:
    case MessageKind::FolderFailure:
    case MessageKind::Repaired: break;
  }
  return m_window.ShowMessage(kind, text, caption);
}

std::string PreviewHost::HeldText() const {
  std::string text;
  for (const Held& message : m_held) text += message.text + "\n";
  return text;
}

void PreviewHost::ShowHeldMessages() {
  for (const Held& message : m_held) m_window.ShowMessage(message.kind, message.text.c_str(), nullptr);
  m_held.clear();
}

}  // namespace ui
