#include "PressState.h"
#include "SplashRules.h"

#include <gtest/gtest.h>

using qv::PressState;

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
  qv::ScreenRect r{10, 20, 30, 40};
  EXPECT_TRUE(qv::CursorOnButton(r, 30, 40));
  EXPECT_TRUE(qv::CursorOnButton(r, 10, 20));
  EXPECT_FALSE(qv::CursorOnButton(r, 31, 30));
  EXPECT_FALSE(qv::CursorOnButton(r, 20, 41));
  EXPECT_FALSE(qv::CursorOnButton(r, 9, 30));
}

TEST(SplashRules, InputAndTimer) {
  using qv::SplashHidesOnMessage;
  for (unsigned m : {0x0100u, 0x0104u, 0x0201u, 0x0204u, 0x0207u}) {
    EXPECT_TRUE(SplashHidesOnMessage(qv::kSplashHideOnInput, m)) << m;
    EXPECT_FALSE(SplashHidesOnMessage(0, m)) << m;
  }
  for (unsigned m : {0x0200u /* move */, 0x0202u /* up */, 0x0101u /* key up */})
    EXPECT_FALSE(SplashHidesOnMessage(qv::kSplashHideOnInput, m)) << m;

  EXPECT_EQ(qv::SplashOnTimer(qv::kSplashHideOnFirstTick, false), qv::SplashTick::Hide);
  EXPECT_EQ(qv::SplashOnTimer(qv::kSplashHideOnInput, true), qv::SplashTick::Hide);
  EXPECT_EQ(qv::SplashOnTimer(qv::kSplashHideOnInput, false), qv::SplashTick::Recheck);
}
