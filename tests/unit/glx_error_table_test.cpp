#include <gtest/gtest.h>

#include <stdexcept>

#include "glx/error_table.h"
#include "glx/message_format.h"
#include "xtl/singleton.h"

namespace {

TEST(MessageFormat, ReplacesMarkersButNotThoseBeforeABackslash) {
  EXPECT_EQ("a %1\\b X c X", glx::message_format("a %1\\b %1 c %1").arg("X").str());
  EXPECT_EQ("%s %% 50%", glx::message_format("%s %% %1%").arg("50").str());
  EXPECT_EQ("b-a", (glx::message_format("%2-%1") % "a" % "b").str());
  EXPECT_EQ("no marker", glx::message_format("no marker").arg("x").str());
}

TEST(MessageFormat, InsertedTextIsNotSearchedAgain) {
  EXPECT_EQ("<%1%1> <%1%1>", glx::message_format("<%1> <%1>").arg("%1%1").str());
}

TEST(ErrorTable, LookupAndFormattedTexts) {
  xtl::singleton_guard guard;
  glx::error_table* table = glx::error_table::instance();
  EXPECT_EQ("Zovglx failure", table->lookup(0));
  EXPECT_EQ("", table->lookup(7));
  EXPECT_EQ("", table->lookup(7));
  EXPECT_EQ(
      "The animator engine could not be created. The following exception was thrown:\n\n"
      "no pixel format",
      glx::failure_text(2, "no pixel format"));
  EXPECT_EQ("The window could not be created.", glx::failure_text(4, "unused"));
}

TEST(ErrorTable, FailureBody) {
  xtl::singleton_guard guard;
  EXPECT_EQ(
      "COpenGLWnd::DoClose caught an exception with the following message:\n\n"
      "A window-close request generated an unexpected error.",
      glx::failure_body("COpenGLWnd::DoClose", glx::error_table::instance()->lookup(5)));
  // The message slot is searched for only after the inserted context.
  EXPECT_EQ("a%s caught an exception with the following message:\n\n%1 x",
            glx::failure_body("a%s", "%1 x"));
}

TEST(ErrorTable, CurrentFailureSaysWhatTheHandledExceptionSays) {
  auto described = [](auto thrown) {
    try {
      throw thrown;
    } catch (...) {
      return glx::current_failure();
    }
  };
  EXPECT_EQ("glx::CAnimator::CreateRC: _hrc is NULL",
            described(std::runtime_error("glx::CAnimator::CreateRC: _hrc is NULL")));
  EXPECT_EQ("an exception of another type", described(42));
}

}  // namespace
