// Window-free rules of the text ring and of the sphere detail.
#include <gtest/gtest.h>

#include <climits>

#include "scene/sphere_detail.h"
#include "scene/text_format.h"

namespace {

TEST(TextFormat, OnlyHourMinuteOrSecondCodesMakeAPatternTimed) {
  EXPECT_TRUE(text_format::IsTimed("%H:%M:%S"));
  EXPECT_TRUE(text_format::IsTimed("at %M"));
  EXPECT_TRUE(text_format::IsTimed("%S"));
  EXPECT_TRUE(text_format::IsTimed("%Y %H"));
  EXPECT_FALSE(text_format::IsTimed("%Y"));
  EXPECT_FALSE(text_format::IsTimed("%d.%m. %h"));  // lower-case h is the month name
  EXPECT_FALSE(text_format::IsTimed(""));
  EXPECT_FALSE(text_format::IsTimed("H M S %"));
}

TEST(TextFormat, FormatsLocalTimeAndGivesUpBeyond127Characters) {
  const std::time_t t = 1000000000;  // 9 September 2001 in every time zone
  EXPECT_EQ(text_format::Format("%Y", t), "2001");
  EXPECT_EQ(text_format::Format("100%%", t), "100%");
  EXPECT_EQ(text_format::Format("Verivir", t), "Verivir");
  EXPECT_NE(text_format::Format("%H:%M:%S", t), text_format::Format("%H:%M:%S", t + 1));
  EXPECT_EQ(text_format::Format(std::string(127, 'x'), t).size(), 127u);
  EXPECT_EQ(text_format::Format(std::string(128, 'x'), t), "");
  EXPECT_EQ(text_format::Format(std::string(60, 'x') + "%Y" + std::string(60, 'x'), t).size(),
            124u);
}

// Codes a runtime may not know reach no strftime: one runtime ends the process
// on them, another gives an empty ring.
TEST(TextFormat, UnknownCodesAndATrailingPercentSignAreShownLiterally) {
  const std::time_t t = 1000000000;
  const std::string year = text_format::Format("%Y", t);
  EXPECT_EQ(text_format::Format("%Q", t), "%Q");
  EXPECT_EQ(text_format::Format("%Y %Q", t), year + " %Q");
  EXPECT_EQ(text_format::Format("100%", t), "100%");
  EXPECT_EQ(text_format::Format("%", t), "%");
  EXPECT_EQ(text_format::Format("%%%", t), "%%");
  EXPECT_EQ(text_format::Format("%Ey %Od %#d %-d %E", t), "%Ey %Od %#d %-d %E");
  EXPECT_EQ(text_format::Format("%z%k%s%P%+", t), "%z%k%s%P%+");
  EXPECT_EQ(text_format::Format(std::string("%\0Y", 3), t), std::string("%\0Y", 3));
  // A timed pattern with an unknown code still shows its clock.
  EXPECT_EQ(text_format::Format("%H %Q", t), text_format::Format("%H", t) + " %Q");
}

TEST(TextFormat, LaterShorthandsAreSpelledWithTheCodesEveryRuntimeKnows) {
  const std::time_t t = 1000000000;
  EXPECT_EQ(text_format::Format("%T", t), text_format::Format("%H:%M:%S", t));
  EXPECT_EQ(text_format::Format("%R", t), text_format::Format("%H:%M", t));
  EXPECT_EQ(text_format::Format("%D", t), text_format::Format("%m/%d/%y", t));
  EXPECT_EQ(text_format::Format("%F", t), text_format::Format("%Y-%m-%d", t));
  EXPECT_EQ(text_format::Format("%h", t), text_format::Format("%b", t));
  EXPECT_EQ(text_format::Format("a%nb%tc", t), "a\nb\tc");
  EXPECT_EQ(text_format::Format("%F", t).size(), 10u);
  // Every plain code gives something, and the whole set fits.
  for (char code : std::string("aAbBcdHIjmMSUwWxXyY")) {
    const std::string pattern = std::string("%") + code;
    EXPECT_FALSE(text_format::Format(pattern, t).empty()) << pattern;
    EXPECT_NE(text_format::Format(pattern, t), pattern) << pattern;
  }
  // The limit counts the formatted text, shorthands included.
  EXPECT_EQ(text_format::Format(std::string(119, 'x') + "%T", t).size(), 127u);
  EXPECT_EQ(text_format::Format(std::string(120, 'x') + "%T", t), "");
}

TEST(TextFormat, ControlCharactersAreDroppedAndHighCharactersKept) {
  EXPECT_EQ(text_format::WithoutControlChars("a\tb\nc\x01"), "abc");
  EXPECT_EQ(text_format::WithoutControlChars("caf\xe9 \xff"), "caf\xe9 \xff");
}

// Values an edited registry may hold are drawn as the nearest the scene can
// show, and never overflow on the way (UBSan watches the host build).
TEST(TextFormat, OutOfRangeSpeedAndLengthAreBroughtIntoRange) {
  EXPECT_DOUBLE_EQ(text_format::RingTurn(1, 10.0), -50.0);
  EXPECT_DOUBLE_EQ(text_format::RingTurn(10, 10.0), -275.0);
  EXPECT_DOUBLE_EQ(text_format::RingTurn(INT_MAX, 10.0), text_format::RingTurn(10, 10.0));
  EXPECT_DOUBLE_EQ(text_format::RingTurn(INT_MIN, 10.0), text_format::RingTurn(0, 10.0));
  EXPECT_EQ(text_format::Drawn(std::string(1500, 'x')), std::string(1000, 'x'));
  EXPECT_EQ(text_format::Drawn("a	b" + std::string(1000, 'y')), "ab" + std::string(998, 'y'));
}

TEST(TextFormat, EachCharacterTurnsByItsAdvanceOverTheRadius) {
  GlyphCache glyphs;
  glyphs.Add(U'A', {1, 0.72266f});
  glyphs.Add(U' ', {2, 0.25f});
  glyphs.Add(U'\u00e9', {3, 0.5f});
  glyphs.Add(U'\u65e5', {4, 1.0f});
  auto angles = text_format::RingAngles(U"A \u00e9\u65e5?", glyphs, 0.1f, 1.2f);
  ASSERT_EQ(angles.size(), 5u);
  // 0.1 em per unit, radius 1.2: one em is 4.7746 degrees.
  EXPECT_NEAR(angles[0], 0.72266f * 4.774648f, 1e-4);
  EXPECT_NEAR(angles[1], 0.25f * 4.774648f, 1e-5);
  EXPECT_NEAR(angles[2], 0.5f * 4.774648f, 1e-5);
  EXPECT_NEAR(angles[3], 4.774648f, 1e-5);
  EXPECT_EQ(angles[4], 0.0f) << "no glyph, no turn";
  // A scale four times larger turns four times as far.
  EXPECT_NEAR(text_format::RingAngles(U"A", glyphs, 0.2f, 1.2f)[0], 2 * angles[0], 1e-4);
  EXPECT_TRUE(text_format::RingAngles(U"", glyphs, 0.1f, 1.2f).empty());
}

// Each glyph is built once: what a text lacks, each character once, in the
// order the text first shows it.
TEST(GlyphCache, ATextLacksEachMissingCharacterOnceInOrder) {
  GlyphCache glyphs;
  EXPECT_EQ(glyphs.Missing(U"Verivir"), U"Veriv");
  glyphs.Add(U'e', {7, 0.4f});
  glyphs.Add(U'i', {8, 0.3f});
  EXPECT_EQ(glyphs.Missing(U"Verivir"), U"Vrv");
  glyphs.Clear();
  EXPECT_EQ(glyphs.Missing(U"ie"), U"ie");
}

// Texts are UTF-8: the formatter passes any character through, month and day
// names come out whole, and limits count characters, never cutting one.
TEST(TextFormat, UnicodeTextsKeepTheirCharactersAndTheirTimeCodes) {
  const std::time_t t = 1000000000;
  const std::string greek = "\xce\x96\xcf\x89\xce\xae";  // "Ζωή"
  EXPECT_EQ(text_format::Format(greek + " %Y %% \xe6\x97\xa5", t), greek + " 2001 % \xe6\x97\xa5");
  EXPECT_EQ(text_format::Format("%B %A", t), "September Sunday");
  // 127 three-byte characters fit, 128 do not.
  std::string many;
  for (int i = 0; i < 127; ++i) many += "\xe6\x97\xa5";
  EXPECT_EQ(text_format::Format(many, t), many);
  EXPECT_EQ(text_format::Format(many + "x", t), "");
  // The ring draws 1000 characters, each whole.
  std::string long_text;
  for (int i = 0; i < 1200; ++i) long_text += "\xc5\x81";
  EXPECT_EQ(text_format::Drawn(long_text), long_text.substr(0, 2000));
  EXPECT_EQ(text_format::CodePoints(greek + "\x80"), U"\u0396\u03c9\u03ae\uFFFD");
}

std::time_t FixedClock() { return 42; }

TEST(TextFormat, TheClockCanBeReplacedAndRestored) {
  text_format::SetClock(FixedClock);
  EXPECT_EQ(text_format::Now(), 42);
  text_format::SetClock(nullptr);
  EXPECT_GT(text_format::Now(), 1000000000);
}

TEST(SphereDetail, OutOfRangeSettingsFallBackToAValidLevel) {
  EXPECT_EQ(sphere_detail::BigSlices(7), 40);
  EXPECT_EQ(sphere_detail::BigSlices(-1), 40);
  EXPECT_EQ(sphere_detail::SmallSlices(3), sphere_detail::SmallSlices(2));
  EXPECT_EQ(sphere_detail::SmallSlices(-5), sphere_detail::SmallSlices(0));
  EXPECT_LT(sphere_detail::SmallSlices(0), sphere_detail::SmallSlices(1));
  EXPECT_LT(sphere_detail::SmallSlices(1), sphere_detail::SmallSlices(2));
  EXPECT_EQ(sphere_detail::SmallStyle(7), 3);
  EXPECT_FALSE(sphere_detail::SmallHasCore(7));
  EXPECT_FLOAT_EQ(sphere_detail::OutlineDeviation(5), 0.0f);
}

}  // namespace
