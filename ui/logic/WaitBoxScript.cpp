#include "WaitBoxScript.h"

#include "run/Messages.h"

namespace ui {
namespace {

using Kind = WaitBoxCue::Kind;

constexpr WaitBoxCue Cursor() { return {Kind::WaitCursor, nullptr, 0}; }
constexpr WaitBoxCue Show(const char* text) { return {Kind::Show, text, 0}; }
constexpr WaitBoxCue Pause(unsigned milliseconds) { return {Kind::Pause, nullptr, milliseconds}; }
constexpr WaitBoxCue Close() { return {Kind::Close, nullptr, 0}; }

// The Install command's texts and pauses before the removal pass, 6.5
// seconds in all, exactly as the command has always shown them: users know
// the command by this sequence, and the pauses change nothing on the files.
// Kept as it is on purpose; only the window plays it.
constexpr WaitBoxCue kInstallStarts[] = {
    Cursor(),
    Show("               "), Pause(500),
    Show("Initializing SquawkBox ... please wait !"), Pause(1500),
    Show("Reading aircraft entries ..."), Pause(1500),
    Show(engine::kWaitDeletingText), Pause(2500),
    Show(".."),
};
constexpr WaitBoxCue kRemoveStarts[] = {Cursor(), Show(engine::kWaitDeletingText)};
constexpr WaitBoxCue kEarlierEntriesGone[] = {Close()};
constexpr WaitBoxCue kAirlinesStart[] = {Pause(500), Show("wait ..")};
// Once for the box, twice more as the command always did; closing when
// none is open does nothing.
constexpr WaitBoxCue kAirlinesDone[] = {Cursor(), Close(), Close(), Close()};
constexpr WaitBoxCue kRestoreStarts[] = {Cursor(), Show(engine::kWaitRestoringText)};
constexpr WaitBoxCue kRestoreDone[] = {Close()};

template <std::size_t N>
constexpr WaitBoxCues Cues(const WaitBoxCue (&cues)[N]) {
  return {cues, N};
}

}  // namespace

WaitBoxCues WaitBoxCuesAt(engine::CommandStep step) {
  using engine::CommandStep;
  switch (step) {
    case CommandStep::InstallStarts: return Cues(kInstallStarts);
    case CommandStep::RemoveStarts: return Cues(kRemoveStarts);
    case CommandStep::EarlierEntriesGone: return Cues(kEarlierEntriesGone);
    case CommandStep::AirlinesStart: return Cues(kAirlinesStart);
    case CommandStep::AirlinesDone: return Cues(kAirlinesDone);
    case CommandStep::RestoreStarts: return Cues(kRestoreStarts);
    case CommandStep::RestoreDone: return Cues(kRestoreDone);
  }
  return {nullptr, 0};
}

}  // namespace ui
