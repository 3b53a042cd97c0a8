#include "PressState.h"
#include "SplashRules.h"

#include <gtest/gtest.h>

using ui::PressState;

namespace {
int CommandsOver(PressState& s, int draws) {
  int sent = 0;
  for (int i = 0; i < draws; ++i) sent += s.OnDraw(true).sendCommand;
  return sent;
}
}  // namespace

TEST(PressState, OnePressSendsOneCommandHoweverOftenItIsDrawn) {
  PressState s;
  EXPECT_EQ(CommandsOver(s, 3), 0);  // idle: frame 0, no command
  s.Press();
  auto d = s.OnDraw(true);
  EXPECT_EQ(d.frame, 3);
  EXPECT_TRUE(d.sendCommand);
  EXPECT_TRUE(d.startTimer);
  EXPECT_EQ(CommandsOver(s, 5), 0);  // redrawn while held
  s.Release();
  d = s.OnDraw(true);
  EXPECT_EQ(d.frame, 0);
  EXPECT_TRUE(d.stopTimer);
  EXPECT_FALSE(d.sendCommand);
  s.Press();  // the next press fires again
  EXPECT_EQ(CommandsOver(s, 2), 1);
}

TEST(PressState, LeavingCancelsWithoutASecondCommand) {
  PressState s;
  s.Press();
  EXPECT_EQ(CommandsOver(s, 1), 1);
  EXPECT_FALSE(s.Tick(true));  // still on the button: nothing happens
  EXPECT_TRUE(s.Pressed());
  EXPECT_TRUE(s.Tick(false));  // left: cancelled
  EXPECT_FALSE(s.Pressed());
  EXPECT_EQ(CommandsOver(s, 2), 0);
  EXPECT_FALSE(s.CommandSent());
  s.Press();
  EXPECT_EQ(CommandsOver(s, 1), 1);
}

TEST(PressState, DisabledDrawsFrameFourAndSetPressedTakesOnlyZeroOrOne) {
  PressState s;
  EXPECT_EQ(s.OnDraw(false).frame, 4);
  s.Set(2);
  EXPECT_FALSE(s.Pressed());
  s.Set(1);
  EXPECT_TRUE(s.Pressed());
  s.Set(-1);
  EXPECT_TRUE(s.Pressed());
  s.Set(0);
  EXPECT_FALSE(s.Pressed());
}

TEST(PressState, CursorOnTheRightOrBottomEdgeIsOnTheButton) {
  ui::ScreenRect r{10, 20, 30, 40};
  EXPECT_TRUE(ui::CursorOnButton(r, 30, 40));
  EXPECT_TRUE(ui::CursorOnButton(r, 10, 20));
  EXPECT_FALSE(ui::CursorOnButton(r, 31, 30));
  EXPECT_FALSE(ui::CursorOnButton(r, 20, 41));
  EXPECT_FALSE(ui::CursorOnButton(r, 9, 30));
}

TEST(SplashRules, InputAndTimer) {
  using ui::SplashHidesOnMessage;
  for (unsigned m : {0x0100u, 0x0104u, 0x0201u, 0x0204u, 0x0207u}) {
    EXPECT_TRUE(SplashHidesOnMessage(ui::kSplashHideOnInput, m)) << m;
    EXPECT_FALSE(SplashHidesOnMessage(0, m)) << m;
  }
  for (unsigned m : {0x0200u /* move */, 0x0202u /* up */, 0x0101u /* key up */})
    EXPECT_FALSE(SplashHidesOnMessage(ui::kSplashHideOnInput, m)) << m;

  EXPECT_EQ(ui::SplashOnTimer(ui::kSplashHideOnFirstTick, false), ui::SplashTick::Hide);
  EXPECT_EQ(ui::SplashOnTimer(ui::kSplashHideOnInput, true), ui::SplashTick::Hide);
  EXPECT_EQ(ui::SplashOnTimer(ui::kSplashHideOnInput, false), ui::SplashTick::Recheck);
}
