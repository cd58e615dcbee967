#include <gtest/gtest.h>

#include "orvo/string.h"
#include "orvo/string_array.h"

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

TEST(StringArray, AddLinesSplitsOnEveryKindOfLineEnd)
{
   string_array_base lines;
   lines._add_lines("\n#File\r\nNew|a\rOpen|b\n\nSave");
   EXPECT_EQ(lines, (string_array_base{"", "#File", "New|a", "Open|b", "", "Save"}));

   string_array_base crlf;
   crlf._add_lines("X:1\r\nY:2\r\n");
   string_array_base lf;
   lf._add_lines("X:1\nY:2\n");
   EXPECT_EQ(crlf, lf);
   EXPECT_EQ(crlf.count(), 2);

   string_array_base none;
   none._add_lines("");
   EXPECT_TRUE(none.is_empty());

   string_array_base blanks;
   blanks._add_lines("\r\r\n\n");
   EXPECT_EQ(blanks, (string_array_base{"", "", ""}));
}

TEST(StringArray, TrimAndLetterCaseBlindSearch)
{
   string_array_base names{"  Screen1 ", "screen2\t", "Wall"};
   names.trim();
   EXPECT_EQ(names[0], "Screen1");
   EXPECT_EQ(names.find_first_ci("SCREEN2"), 1);
   EXPECT_TRUE(names.contains_ci("wall"));
   EXPECT_EQ(names.find_first_ci("Screen"), -1);
   EXPECT_THROW(names[3], std::out_of_range);
   EXPECT_THROW(names[-1], std::out_of_range);
}
