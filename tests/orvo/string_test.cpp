#include <gtest/gtest.h>

#include "orvo/string.h"

TEST(String, CaseInsensitiveComparisonOnlyFoldsAsciiLetters)
{
   EXPECT_TRUE(equals_ci("Label:", "LABEL:"));
   EXPECT_FALSE(equals_ci("Label", "Label:"));
   EXPECT_FALSE(equals_ci("\xC3\xA9", "\xC3\x89")); // é and É are different bytes
   EXPECT_LT(compare_ci("screen1", "Screen2"), 0);
   EXPECT_GT(compare_ci("b", "A"), 0);
   EXPECT_LT(compare_ci("Screen", "screen1"), 0);
   EXPECT_LT(compare_ci("z", "\xC3\xA9"), 0);
   EXPECT_EQ(upper_case("control+s \xC3\xA9"), "CONTROL+S \xC3\xA9");
   EXPECT_EQ(lower_case("OffsetX"), "offsetx");
}

TEST(String, PrefixAndSuffixTests)
{
   EXPECT_TRUE(begins_ci("raster label:1", "Raster Label:"));
   EXPECT_FALSE(begins_ci("Raster", "Raster Label:"));
   EXPECT_TRUE(begins_ci("anything", ""));
   EXPECT_TRUE(ends_ci("a.TVSX_PRESETS", ".tvsx_presets"));
   EXPECT_FALSE(ends_ci("s", ".tvsx_presets"));
}

TEST(String, TrimmedRemovesWhiteSpaceAtBothEnds)
{
   EXPECT_EQ(trimmed(" \t Hall A \r\n"), "Hall A");
   EXPECT_EQ(trimmed(" \t\r\n "), "");
   EXPECT_EQ(trimmed(""), "");
   EXPECT_EQ(trimmed("inner  space"), "inner  space");
}

TEST(String, FormatHandlesLongAndEmptyResults)
{
   EXPECT_EQ(format("%dx%d", 1920, 1080), "1920x1080");
   EXPECT_EQ(format("%s", string_base(5000, 'x').c_str()).size(), 5000u);
   EXPECT_EQ(format("%s", ""), "");
}
