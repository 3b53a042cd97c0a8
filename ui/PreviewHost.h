// The main window as a dry run sees it: the request, the wait box and the
// bars are the window's, but nothing is asked and nothing waited for (the
// run changes nothing), and the run's last messages are kept for the
// report instead of being shown in boxes.
#pragma once

#include <string>
#include <vector>

#include "run/InstallHost.h"
#include "QuorvaneDlg.h"

namespace ui {

class PreviewHost : public engine::InstallHost {
 public:
  // window: what the run's requests and feedback go to; not owned.
  explicit PreviewHost(CQuorvaneDlg& window) : m_window(window) {}

  // The messages kept, in order, each followed by a line break.
  std::string HeldText() const;
  // Shows the kept messages as the window would have shown them.
  void ShowHeldMessages();

  engine::Answer ShowMessage(engine::MessageKind kind, const char* text, const char* caption) override;
  void SetProgressRange(engine::ProgressBar bar, int lower, int upper) override {
    m_window.SetProgressRange(bar, lower, upper);
  }
  void SetProgressPos(engine::ProgressBar bar, int pos) override { m_window.SetProgressPos(bar, pos); }
  std::size_t MostFailuresListed() const override { return static_cast<std::size_t>(-1); }
  void StepReached(engine::CommandStep step) override { m_window.PlayStepWithoutPauses(step); }
  void ShowStatus(const char* text) override { m_window.ShowStatus(text); }

 private:
  struct Held {
    engine::MessageKind kind;
    std::string text;
  };
  CQuorvaneDlg& m_window;
  std::vector<Held> m_held;
};

}  // namespace ui
