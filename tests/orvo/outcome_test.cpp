#include <gtest/gtest.h>

#include "orvo/outcome.h"

TEST(outcome, a_failure_asked_for_its_value_stops_the_program_naming_why)
{
   const outcome<int> result = failure("the disk is full");
   EXPECT_DEATH((void)result.value(), "the disk is full");
   EXPECT_DEATH((void)outcome<int>(failure("")).value(), "it failed");
}

TEST(outcome, a_failure_carried_to_another_kind_keeps_its_text_and_holds_no_value)
{
   outcome<long long> result = outcome<int>(failure("no room"));
   EXPECT_FALSE(result);
   EXPECT_EQ(result.error(), "no room");
   EXPECT_EQ(result.value_or(7), 7);
   EXPECT_EQ(outcome<long long>(outcome<int>(3)).value(), 3);
}
