// The screen-saver command line, parsed without any window.
#include <gtest/gtest.h>

#include "saver/command_line.h"

namespace {

using Mode = CSaverCommandLine::Mode;

Mode ModeOf(const char* text) { return CSaverCommandLine(text).mode; }
std::intptr_t WindowOf(const char* text) { return CSaverCommandLine(text).window; }

TEST(SaverCommandLine, RunSwitchInAnySpelling) {
  EXPECT_EQ(ModeOf("/s"), Mode::Run);
  EXPECT_EQ(ModeOf("/S"), Mode::Run);
  EXPECT_EQ(ModeOf("-s"), Mode::Run);
  EXPECT_EQ(ModeOf("x/s"), Mode::Run);
  EXPECT_EQ(ModeOf("/s /c"), Mode::Run);  // only the first switch counts
  EXPECT_EQ(ModeOf("/screen"), Mode::Run);
}

TEST(SaverCommandLine, MissingOrUnknownSwitchLeavesModeOpen) {
  EXPECT_EQ(ModeOf(""), Mode::Unspecified);
  EXPECT_EQ(ModeOf(nullptr), Mode::Unspecified);
  EXPECT_EQ(ModeOf("s"), Mode::Unspecified);
  EXPECT_EQ(ModeOf("/x"), Mode::Unspecified);
  EXPECT_EQ(ModeOf("/"), Mode::Unspecified);
  EXPECT_EQ(ModeOf("/ s"), Mode::Unspecified);
  EXPECT_EQ(ModeOf("/C"), Mode::Configure);
}

TEST(SaverCommandLine, PreviewAndPasswordReadTheWindowAsDecimal) {
  EXPECT_EQ(ModeOf("/p 1234"), Mode::Preview);
  EXPECT_EQ(WindowOf("/p 1234"), 1234);
  EXPECT_EQ(WindowOf("/P1234"), 1234);
  EXPECT_EQ(WindowOf("/p\t 77x9"), 77);
  EXPECT_EQ(WindowOf("/p:1234"), 0);
  EXPECT_EQ(WindowOf("/p"), 0);
  EXPECT_EQ(WindowOf("/p -5"), -5);
  EXPECT_EQ(ModeOf("-a 99"), Mode::ChangePassword);
  EXPECT_EQ(WindowOf("-a 99"), 99);
  // Other modes ignore numbers after their letter.
  EXPECT_EQ(WindowOf("/s 1234"), 0);
  EXPECT_EQ(WindowOf("/c:1234"), 0);
}

TEST(SaverCommandLine, KeepsTheText) { EXPECT_EQ(CSaverCommandLine("/p 12").text, "/p 12"); }

}  // namespace
