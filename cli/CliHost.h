#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "run/InstallHost.h"

namespace cli {

// The Install command's window, played on a terminal: message boxes are
// printed (failures to stderr, success to stdout), the confirmation is
// answered by --yes or on the terminal, and status texts go to stderr.
// What the user asked for is the request made from the command line.
class CliHost : public engine::InstallHost {
 public:
  struct Settings {
    engine::InstallRequest request;
    bool assumeYes = false;
    bool interactive = false;    // the confirmation may be asked on stdin
    bool showProgress = false;   // stderr is a terminal
    bool preview = false;        // a dry run: confirmed without asking, final report held back
  };

  explicit CliHost(Settings settings) : m_settings(std::move(settings)) {}

  // Prints the final report a dry run held back.
  void PrintHeldMessages();

  engine::Answer ShowMessage(engine::MessageKind kind, const char* text, const char* caption) override;
  // What the command line asks for.
  const engine::InstallRequest& Request() const { return m_settings.request; }
  // A terminal lists every failure of a run.
  std::size_t MostFailuresListed() const override { return static_cast<std::size_t>(-1); }
  void SetProgressRange(engine::ProgressBar bar, int lower, int upper) override;
  void SetProgressPos(engine::ProgressBar bar, int pos) override;
  // A terminal shows the overall bar only.
  bool ShowsAirlineProgress() const override { return false; }
  // A line for each step that starts work on the files, ended when it ends.
  void StepReached(engine::CommandStep step) override;
  void ShowStatus(const char* text) override;

 private:
  void DrawProgress();
  void EndProgressLine();

  struct HeldMessage {
    engine::MessageKind kind;
    std::string text;
  };
  void Print(engine::MessageKind kind, const std::string& text);

  Settings m_settings;
  std::vector<HeldMessage> m_held;
  std::string m_status;
  int m_overallLower = 1;
  int m_overallUpper = 1;
  int m_overallPos = 0;
  bool m_progressLineOpen = false;
};

}  // namespace cli
