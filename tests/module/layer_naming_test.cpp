#include <gtest/gtest.h>

#include "core/layer_naming.h"

using namespace Tarvossa_BrisvanePro;

TEST(layer_naming, new_name_takes_the_first_free_number_ignoring_letter_case)
{
   EXPECT_EQ(_001GetNewName("Screen", 0, {"Screen1", "screen2"}), "Screen3");
   EXPECT_EQ(_001GetNewName("Screen", 0, {}), "Screen1");
   EXPECT_EQ(_001GetNewName("Screen", -5, {}), "Screen-4");
}

TEST(layer_naming, new_name_stops_at_999)
{
   EXPECT_EQ(_001GetNewName("Screen", 998, {"Screen999"}), "Screen999");
   EXPECT_EQ(_001GetNewName("Screen", 999, {}), "");
   EXPECT_EQ(_001GetNewName("Screen", 5000, {}), "");
   EXPECT_EQ(_001GetNewName("Screen", 2147483647, {}), "");
}

TEST(layer_naming, increment_counts_on_from_the_trailing_number)
{
   EXPECT_EQ(_001IncrementName("Screen7", "Screen", {}), "Screen8");
   EXPECT_EQ(_001IncrementName("Wall 12", "Screen", {}), "Wall 13");
   EXPECT_EQ(_001IncrementName("Logo 3", "Screen", {"Logo 4"}), "Logo 5");
   EXPECT_EQ(_001IncrementName("Layer", "Screen", {"Layer1"}), "Layer2");
   EXPECT_EQ(_001IncrementName("Screen999", "Screen", {}), "");
}

TEST(layer_naming, increment_uses_the_fallback_when_no_prefix_stands_before_the_number)
{
   EXPECT_EQ(_001IncrementName("", "Screen", {}), "Screen1");
   EXPECT_EQ(_001IncrementName("12", "Screen", {}), "Screen13");
   EXPECT_EQ(_001IncrementName("A5", "Screen", {}), "Screen1");
   EXPECT_EQ(_001IncrementName("-5", "Screen", {}), "Screen-4");
}

TEST(layer_naming, digits_of_other_scripts_end_the_name_but_count_as_zero)
{
   // "Wall" and the Arabic-Indic digits one and two.
   EXPECT_EQ(_001IncrementName("Wall\u0661\u0662", "Screen", {}), "Wall1");
   // A character above U+FFFF is no digit: the name has no trailing number.
   EXPECT_EQ(_001IncrementName("Wall\U0001D7CE", "Screen", {}), "Wall\U0001D7CE1");
}

TEST(layer_naming, a_number_too_large_for_int_gives_no_name_rather_than_undefined_behaviour)
{
   EXPECT_EQ(_001IncrementName("Screen99999999999999999999", "Screen", {}), "");
}
