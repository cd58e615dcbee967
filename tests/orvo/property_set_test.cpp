#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "orvo/payload.h"

TEST(Payload, ConvertsBetweenKindsWithoutThrowing)
{
   EXPECT_EQ(payload("  42 ").as_int(), 42);
   EXPECT_EQ(payload("12abc").as_int(), 0);
   EXPECT_EQ(payload("1.9").as_int(), 1);
   EXPECT_EQ(payload(-1.9).as_int(), -1);
   EXPECT_EQ(payload(1e300).as_int(), std::numeric_limits<long long>::max());
   EXPECT_EQ(payload(std::nan("")).as_int(), 0);
   EXPECT_DOUBLE_EQ(payload("0.25").as_double(), 0.25);
   EXPECT_DOUBLE_EQ(payload("x").as_double(), 0.0);
   EXPECT_TRUE(payload("TRUE").as_bool());
   EXPECT_TRUE(payload("1").as_bool());
   EXPECT_FALSE(payload("false").as_bool());
   EXPECT_FALSE(payload("0").as_bool());
   EXPECT_FALSE(payload().as_bool());
   EXPECT_EQ(payload(0.1).as_string(), "0.1");
   EXPECT_EQ(payload(true).as_string(), "1") << "bools read back through the integer rule";
   EXPECT_EQ(payload(std::size_t{7}).as_int(), 7);
   EXPECT_DOUBLE_EQ(payload(18446744073709551615ull).as_double(), 18446744073709551615.0);
   EXPECT_EQ(payload(-7).as_string(), "-7");
   EXPECT_EQ(payload().as_string(), "");
}

TEST(Payload, NetworkPayloadRoundTripKeepsKindsAndOrder)
{
   payload settings;
   settings["main_window_right"] = 1600;
   settings["main_window_left"] = -20;
   settings["ratio"] = 0.5;
   settings["name"] = "Hall \"A\"\n";
   settings["shown"] = false;
   settings["inner"]["deep"] = 3;

   for (const bool bMultiline : {false, true})
   {
      payload read;
      ASSERT_TRUE(read.parse_network_payload(settings.get_network_payload(bMultiline)));
      EXPECT_EQ(read, settings);
   }
   EXPECT_EQ(settings.get_network_payload(false).find("\"main_window_right\":1600,\"main_window_left\""), 1u);
}

TEST(Payload, NetworkPayloadFaultsAreResults)
{
   payload value;
   const outcome<> result = value.parse_network_payload("{\"a\":1,\n\"b\":");
   EXPECT_FALSE(result);
   EXPECT_TRUE(result.error().starts_with("line 2, byte ")) << result.error();
   EXPECT_EQ(value["a"].as_int(), 1) << "what was read before the fault stays";

   EXPECT_FALSE(value.parse_network_payload(""));
   EXPECT_FALSE(value.parse_network_payload("{} trailing"));
   EXPECT_FALSE(value.parse_network_payload(string_base(100000, '{')));
   EXPECT_FALSE(value.parse_network_payload(string_base(65, '{') + string_base(65, '}')));
   EXPECT_TRUE(value.parse_network_payload(string_base(100000, '[') + string_base(100000, ']')));
   EXPECT_TRUE(value.is_empty());
}

TEST(Payload, NetworkPayloadEdgeValues)
{
   payload value;
   ASSERT_TRUE(value.parse_network_payload(R"({"big":18446744073709551615,"list":[1,{"x":2}],"after":7,"n":null})"));
   EXPECT_DOUBLE_EQ(value["big"].as_double(), 18446744073709551615.0);
   EXPECT_TRUE(value["list"].is_empty());
   EXPECT_EQ(value["after"].as_int(), 7);
   EXPECT_FALSE(value.property_set_reference().has("x"));

   payload invalid_utf8("\xff\xfe");
   payload read;
   EXPECT_TRUE(read.parse_network_payload(invalid_utf8.get_network_payload()));
}

TEST(PropertySet, KeepsInsertionOrderAndMerges)
{
   property_set set;
   set.set("OffsetX", 12);
   set.set("Name", "Screen1");
   set.set("Hidden", "0");
   set.set("OffsetX", 13);

   property_set more;
   more.set("Columns", 4);
   more.set("Name", "Wall: east");
   set.merge(more);

   EXPECT_EQ(set.as_string(":", "\n"), "OffsetX:13\nName:Wall: east\nHidden:0\nColumns:4");
   EXPECT_EQ(set.get_int("Columns"), 4);
   EXPECT_EQ(set.get_int("Missing", -1), -1);
   EXPECT_TRUE(set.get_bool("Missing", true));
   EXPECT_EQ(set.get_string("Missing"), "");
   EXPECT_TRUE(set.remove("Hidden"));
   EXPECT_FALSE(set.remove("Hidden"));
   EXPECT_EQ(set.count(), 3);
   EXPECT_EQ(property_set().as_string(":", "\n"), "");
}

TEST(PropertySet, IniRoundTripKeepsAwkwardKeysAndValues)
{
   property_set set;
   set.set("boxes_x", 10);
   set.set("boxes_visible", true);
   set.set("ratio", 0.125);
   set.set("spaced", "  both ends  ");
   set.set("lines", "one\r\ntwo\\three");
   set.set("a=b", "\"quoted\"");
   set.set("[not a section]", "");
   set.set("", "empty key");
   set["section"]["inner"] = "x=y";

   property_set read;
   ASSERT_TRUE(read.parse_ini(set.get_ini()));
   EXPECT_EQ(read.get_int("boxes_x"), 10);
   EXPECT_TRUE(read.get_bool("boxes_visible"));
   EXPECT_DOUBLE_EQ(read.get_double("ratio"), 0.125);
   EXPECT_EQ(read.get_string("spaced"), "  both ends  ");
   EXPECT_EQ(read.get_string("lines"), "one\r\ntwo\\three");
   EXPECT_EQ(read.get_string("a=b"), "\"quoted\"");
   EXPECT_TRUE(read.has("[not a section]"));
   EXPECT_EQ(read.get_string(""), "empty key");
   ASSERT_NE(read.find("section"), nullptr);
   EXPECT_EQ(read["section"]["inner"].as_string(), "x=y");
}

TEST(PropertySet, IniReadingIsForgiving)
{
   property_set set;
   const outcome<> result =
      set.parse_ini("; comment\r\n# also\r\n boxes_x = 5 \r\nnonsense\nboxes_y=\"7\"\r[s]\nk=v=w\n[s]\nl=1");
   EXPECT_EQ(result.error(), "line 4, byte 34: a line is neither a [section] nor key=value");
   EXPECT_EQ(set.get_int("boxes_x"), 5);
   EXPECT_EQ(set.get_int("boxes_y"), 7);
   EXPECT_EQ(set["s"]["k"].as_string(), "v=w");
   EXPECT_EQ(set["s"]["l"].as_int(), 1);

   EXPECT_TRUE(set.parse_ini(""));
   EXPECT_TRUE(set.is_empty());
   EXPECT_FALSE(set.parse_ini("\"unclosed=1"));
   EXPECT_TRUE(set.parse_ini("v=\"unclosed"));
   EXPECT_EQ(set.get_string("v"), "\"unclosed");
}

TEST(PropertySet, NetworkPayloadMustHoldASet)
{
   property_set set;
   set.set("kept", 1);
   EXPECT_FALSE(set.parse_network_payload("[1,2]"));
   EXPECT_TRUE(set.is_empty());
   ASSERT_TRUE(set.parse_network_payload(R"({"boxes_x": 3, "boxes_visible": false})"));
   EXPECT_EQ(set.get_int("boxes_x"), 3);
   EXPECT_FALSE(set.get_bool("boxes_visible", true));
}
