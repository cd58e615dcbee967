#include <gtest/gtest.h>

#include <limits>

#include "document/boxes_layer.h"
#include "document/parameter_text.h"
#include "orvo/payload.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A layer as the file reader makes one: constructor and defaults, no colours.
pointer<boxes_layer> read_layer(scoped_string_base strText = {})
{
   auto player = make_pointer<boxes_layer>();
   player->apply_defaults();
   player->apply_layer_info(strText);
   return player;
}

// Applies one key and returns what went to standard error.
string_base apply_capturing_errors(boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue)
{
   testing::internal::CaptureStderr();
   layer.apply_parameter_by_name(strKey, strValue);
   return testing::internal::GetCapturedStderr();
}

string_base written(const boxes_layer & layer, scoped_string_base strKey)
{
   return layer.get_all_parameters().get_string(strKey);
}

} // namespace

TEST(parameter_text, WritesFiftyNineKeysInTheirOrder)
{
   const std::vector<string_base> expected = {
      "BoxColors", "BoxTintColors", "PowerVolts", "PowerPhases", "PowerWatts", "PhysW", "PhysH", "ShowMM", "ShowFT",
      "DrawBoxesNames", "DrawPower", "DrawSnake", "SkipBlankBoxes", "CustomDataPath", "DataDiagramType", "DrawGrid",
      "DrawCircle", "DrawInfoLine", "DrawBoxes", "DrawScreenSize", "DrawLayerName", "GridWidth", "SnakeLimit", "SnakeMode",
      "BoxesNamesColor", "BoxesNamesReverse", "BoxBorderColor", "CircleColor", "SnakeColor", "SnakeWidth",
      "UseRandomSnakeColor", "CircleWidth", "CornersMode", "Width", "Height", "Columns", "Rows", "ExcludeBoxes",
      "HalfColumns", "BoxesNamesFontSize", "LayerNameFontSize", "LabelFontColor", "LabelFontSize", "PConnectorNames",
      "RConnectorNames", "SConnectorNames", "DrawPowerSnake", "PowerSnakeColor", "PowerSnakeMode", "WireAmps",
      "CustomPowerPath", "PowerSnakeWidth", "PowerDiagramType", "WeightPerPanel", "WeightPerPanelUnit", "ShowScreenWeight",
      "ShowScreenDiagonal", "ScreenDiagonalUnit", "Rotation"};
   ASSERT_EQ(expected.size(), 59u);
   auto player = read_layer();
   std::vector<string_base> keys;
   for (const auto & property : player->get_all_parameters())
   {
      keys.push_back(property.m_strKey);
   }
   EXPECT_EQ(keys, expected);
}

TEST(parameter_text, DefaultLayerWritesEmptyListsAndColoursAsFractions)
{
   auto player = read_layer();
   player->default_colors();
   for (const char * pszKey : {"ExcludeBoxes", "PConnectorNames", "RConnectorNames", "SConnectorNames"})
   {
      EXPECT_EQ(written(*player, pszKey), "") << pszKey;
   }
   EXPECT_EQ(written(*player, "BoxColors"), "0.247059 0.498039 0.498039 1.000000");
   EXPECT_EQ(written(*player, "HalfColumns"), "0000");
   EXPECT_EQ(written(*player, "PhysW"), "500.000000");
   EXPECT_EQ(written(*player, "SnakeColor"), "1.000000 1.000000 1.000000 1.000000");
}

TEST(parameter_text, IntegersTakeSwitchWordsInAnyCase)
{
   auto player = read_layer();
   for (const auto & [pszValue, iExpected] : {std::pair{"yes", 1}, std::pair{"no", 0}, std::pair{"On", 1}, std::pair{"FALSE", 0},
                                              std::pair{"1", 1}, std::pair{"", 0}, std::pair{"-3", -3}})
   {
      EXPECT_EQ(apply_capturing_errors(*player, "DrawGrid", pszValue), "") << pszValue;
      EXPECT_EQ(player->DrawGrid, iExpected) << pszValue;
   }
}

TEST(parameter_text, AnIntegerFollowedByOtherCharactersKeepsItsDigitsAndReports)
{
   auto player = read_layer();
   EXPECT_EQ(apply_capturing_errors(*player, "Columns", "12x"), "Parse error: _string parsing error _consume\nColumns : 12x\n");
   EXPECT_EQ(player->Columns, 12);
   EXPECT_NE(apply_capturing_errors(*player, "Columns", " 5"), "");
   EXPECT_NE(apply_capturing_errors(*player, "PowerVolts", "+5"), "");
   EXPECT_NE(apply_capturing_errors(*player, "PowerVolts", "2.5"), "");
   EXPECT_EQ(player->PowerVolts, 2);
   // After ten digits the rest is ignored.
   EXPECT_EQ(apply_capturing_errors(*player, "PowerWatts", "1234567890xyz"), "");
   EXPECT_EQ(player->PowerWatts, 1234567890);
}

TEST(parameter_text, IntegersBeyondTheirBoundsLeaveTheFieldUnchanged)
{
   auto player = read_layer();
   const struct
   {
      const char * pszKey;
      const char * pszValue;
   } cases[] = {{"Columns", "65536"}, {"Rows", "-1"}, {"Width", "16385"}, {"Height", "-2"}, {"PowerVolts", "9999999999"},
                {"PowerVolts", "-2147483649"}, {"ExcludeBoxes", "4294967296"}, {"GridWidth", "-2147483648"},
                {"GridWidth", "-1"}, {"GridWidth", "16385"}};
   for (const auto & c : cases)
   {
      const string_base strBefore = player->get_layer_info();
      EXPECT_NE(apply_capturing_errors(*player, c.pszKey, c.pszValue), "") << c.pszKey << " " << c.pszValue;
      EXPECT_EQ(player->get_layer_info(), strBefore) << c.pszKey << " " << c.pszValue;
   }
   EXPECT_EQ(apply_capturing_errors(*player, "Columns", "65535"), "");
   EXPECT_EQ(apply_capturing_errors(*player, "GridWidth", "16384"), "");
   EXPECT_EQ(apply_capturing_errors(*player, "PowerVolts", "-2147483648"), "");
   EXPECT_EQ(player->PowerVolts, INT_MIN);
}

TEST(parameter_text, AGridLargerThanTheDrawingLimitIsEmptiedOnceTheTextIsRead)
{
   // Width and height come before columns and rows; the bound holds for the text as a whole.
   auto player = read_layer("Width:16384\nHeight:16384\nColumns:1\nRows:1\n");
   EXPECT_EQ(player->get_full_width() * static_cast<long long>(player->get_full_height()), 1LL << 28);

   testing::internal::CaptureStderr();
   auto ptoo_large = read_layer("Width:16384\nHeight:16384\nColumns:2\nRows:1\n");
   EXPECT_NE(testing::internal::GetCapturedStderr().find("Parse error: "), string_base::npos);
   EXPECT_EQ(ptoo_large->Columns, 0);
   EXPECT_EQ(ptoo_large->Rows, 0);
   EXPECT_EQ(ptoo_large->get_full_width(), 0);
}

TEST(parameter_text, FloatsReadLikeStrtodIntoSinglePrecisionWithoutAnError)
{
   auto player = read_layer();
   EXPECT_EQ(apply_capturing_errors(*player, "PhysW", " 500"), "");
   EXPECT_EQ(player->PhysW, 500.f);
   EXPECT_EQ(apply_capturing_errors(*player, "PhysH", "12.5mm"), "");
   EXPECT_EQ(player->PhysH, 12.5f);
   EXPECT_EQ(apply_capturing_errors(*player, "WeightPerPanel", "heavy"), "");
   EXPECT_EQ(player->WeightPerPanel, 0.f);
   // Hexadecimal forms, and an underflow, read as `strtod` reads them, without a parse error.
   const std::pair<const char *, float> strtod_forms[] = {{"0x10", 16.f}, {"0x1p3", 8.f}, {"-0X.8", -0.5f}, {"1e-400", 0.f}, {"2,5", 2.f}};
   for (const auto & [pszValue, f] : strtod_forms)
   {
      EXPECT_EQ(apply_capturing_errors(*player, "PhysH", pszValue), "") << pszValue;
      EXPECT_EQ(player->PhysH, f) << pszValue;
   }
   EXPECT_EQ(apply_capturing_errors(*player, "PhysH", "1e-40"), "");
   EXPECT_GT(player->PhysH, 0.f);
   EXPECT_LT(player->PhysH, 1e-39f);
   // What single precision cannot hold: the largest finite value of the sign, or 0 for no number.
   constexpr float fLargest = std::numeric_limits<float>::max();
   const std::pair<const char *, float> beyond[] = {{"1e999", fLargest}, {"inf", fLargest}, {"-INFINITY", -fLargest},
                                                    {"1e39", fLargest},  {"-1e39", -fLargest}, {"nan", 0.f},
                                                    {"-nan(12)", 0.f}};
   for (const auto & [pszValue, f] : beyond)
   {
      EXPECT_EQ(apply_capturing_errors(*player, "PhysW", pszValue), "") << pszValue;
      EXPECT_EQ(player->PhysW, f) << pszValue;
   }
}

TEST(parameter_text, HalfColumnsReadFourBitsOfZerosAndOnes)
{
   auto player = read_layer();
   const struct
   {
      const char * pszValue;
      unsigned long ulBits;
   } cases[] = {{"0001", 0b0001}, {"1", 0b0001}, {"10000", 0b1000}, {"0110", 0b0110}, {"", 0}};
   for (const auto & c : cases)
   {
      player->HalfColumns = 0b1111;
      EXPECT_EQ(apply_capturing_errors(*player, "HalfColumns", c.pszValue), "") << c.pszValue;
      EXPECT_EQ(player->HalfColumns.to_ulong(), c.ulBits) << c.pszValue;
   }
   player->HalfColumns = 0b0101;
   EXPECT_EQ(apply_capturing_errors(*player, "HalfColumns", "0002"),
             "Parse error: bitset string ctor has invalid argument\nHalfColumns : 0002\n");
   EXPECT_EQ(player->HalfColumns.to_ulong(), 0b0101u);
}

TEST(parameter_text, FontSizesStoreTheNumberAndWriteTheFilteredSize)
{
   auto player = read_layer("LabelFontSize:3\nBoxesNamesFontSize:0\nLayerNameFontSize:-2");
   EXPECT_EQ(player->LabelFontSize.size(), 3);
   EXPECT_EQ(written(*player, "LabelFontSize"), "5");
   EXPECT_EQ(written(*player, "BoxesNamesFontSize"), "0");
   EXPECT_EQ(written(*player, "LayerNameFontSize"), "5");
   for (const char * pszValue : {"yes", "12x", " 12", "99999999999"})
   {
      EXPECT_NE(apply_capturing_errors(*player, "LabelFontSize", pszValue), "") << pszValue;
      EXPECT_EQ(player->LabelFontSize.size(), 3) << pszValue;
   }
}

TEST(parameter_text, ExcludedBoxesAddUpAndStopAtABadPiece)
{
   auto player = read_layer("ExcludeBoxes:65537|2\nExcludeBoxes:\nExcludeBoxes:2|on");
   EXPECT_EQ(player->ExcludeBoxes.count(), 3);
   EXPECT_EQ(written(*player, "ExcludeBoxes"), "1|2|65537");

   EXPECT_NE(apply_capturing_errors(*player, "ExcludeBoxes", "7|8x|9"), "");
   EXPECT_TRUE(player->ExcludeBoxes.contains(7));
   EXPECT_FALSE(player->ExcludeBoxes.contains(8));
   EXPECT_FALSE(player->ExcludeBoxes.contains(9));
}

TEST(parameter_text, ConnectorNamesAreQuotedEscapedAndReadBack)
{
   auto player = read_layer();
   player->PConnectorNames = {"P1", "a\"b", "back\\slash"};
   const string_base strWritten = written(*player, "PConnectorNames");
   EXPECT_EQ(strWritten, R"("P1" "a\"b" "back\\slash")");

   auto pread = read_layer("PConnectorNames:" + strWritten);
   EXPECT_EQ(pread->PConnectorNames, player->PConnectorNames);

   EXPECT_TRUE(pread->values_not_read().is_empty());

   // Reading stops at a piece that is not a quoted name, keeping the names before it; the value
   // is noted as not read whole.
   auto plenient = read_layer(R"(RConnectorNames:  'single' "two"x "three")");
   EXPECT_EQ(plenient->RConnectorNames, (std::vector<string_base>{"single", "two"}));
   EXPECT_EQ(plenient->values_not_read().count(), 1);
   auto punclosed = read_layer(R"(SConnectorNames:"one" "open)");
   EXPECT_EQ(punclosed->SConnectorNames, (std::vector<string_base>{"one"}));
   EXPECT_EQ(punclosed->values_not_read().count(), 1);
   EXPECT_TRUE(read_layer("PConnectorNames:\"P1\"  \nRConnectorNames:  ")->values_not_read().is_empty());
}

TEST(parameter_text, AValueNotReadIsNamedByItsKeyAndOnlyTheStartOfALongValue)
{
   string_base strPath;
   for (int i = 0; i < 100; ++i)
   {
      strPath += "65537,";
   }
   auto player = read_layer("CustomPath:" + strPath + "x\nPowerCustomPath:1,2x");
   ASSERT_EQ(player->values_not_read().count(), 2);
   EXPECT_EQ(player->values_not_read()[0], "CustomPath \"" + strPath.substr(0, 60) + "...\"");
   EXPECT_EQ(player->values_not_read()[1], "PowerCustomPath \"1,2x\"");
   // A character of several bytes is not cut.
   EXPECT_EQ(parameter_text::named_value("Name", string_base(59, 'a') + "\xC3\xA9 and more"), "Name \"" + string_base(59, 'a') + "...\"");
}

TEST(parameter_text, FirstBoxColourFromHexDigits)
{
   auto player = read_layer("BoxColors_1:3F7F7F");
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{63, 127, 127, 255}}));
   EXPECT_EQ(player->BoxTintColors, (std::vector<color::color>{{149, 184, 184, 255}}));
   player->apply_layer_info("BoxColors_1:E74C3C");
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{231, 76, 60, 255}}));
   EXPECT_NE(apply_capturing_errors(*player, "BoxColors_1", "E74C3G"), "");
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{231, 76, 60, 255}}));
   // A value that is not six characters long changes nothing and says nothing.
   for (const char * pszValue : {"", "FFF", "FF00FF00", " 3F7F7F", "red"})
   {
      EXPECT_EQ(apply_capturing_errors(*player, "BoxColors_1", pszValue), "") << pszValue;
   }
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{231, 76, 60, 255}}));
   EXPECT_EQ(player->BoxTintColors, (std::vector<color::color>{{241, 156, 147, 255}}));
}

TEST(parameter_text, ColourListsAppendAndBadColoursAreReported)
{
   auto player = read_layer("BoxColors:1 0 0 1|0 1 0 1\nBoxColors:0 0 1 1");
   EXPECT_EQ(player->BoxColors, (std::vector<color::color>{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}));
   EXPECT_NE(apply_capturing_errors(*player, "CircleColor", "bright"), "");
   EXPECT_EQ(player->CircleColor, color::color(255, 255, 255, 255));
}

TEST(parameter_text, LegacyAndMisspelledKeysAreIgnoredQuietly)
{
   auto player = read_layer();
   const string_base strBefore = player->get_layer_info();
   testing::internal::CaptureStderr();
   player->apply_layer_info("BoxColors_2:FF0000\nDrawCorners:1\nLabelsColor:1 1 1 1\nScreenSizeColor:1 0 0 1\n"
                            "ScreenSizeFontSize:9\noffsetX:4\ncolumns:3\nColumns :3\n");
   EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
   EXPECT_EQ(player->get_layer_info(), strBefore);
}

TEST(parameter_text, EveryFieldAwayFromItsDefaultSurvivesTheRoundTrip)
{
   auto player = read_layer();
   boxes_layer & l = *player;
   l.BoxColors = {{1, 2, 3, 4}, {250, 251, 252, 253}};
   l.BoxTintColors = {{5, 6, 7, 8}};
   l.PowerVolts = 230;
   l.PowerPhases = 1;
   l.PowerWatts = -150;
   l.PhysW = 640.25f;
   l.PhysH = 0.5f;
   l.ShowMM = 1;
   l.ShowFT = 1;
   l.DrawBoxesNames = 1;
   l.DrawPower = 1;
   l.DrawSnake = 1;
   l.SkipBlankBoxes = 0;
   l.m_descriptionData.m_iCustomPath = 1;
   l.DataDiagramType = 1;
   l.DrawGrid = 0;
   l.DrawCircle = 0;
   l.DrawInfoLine = 0;
   l.DrawBoxes = 0;
   l.DrawScreenSize = 0;
   l.DrawLayerName = 0;
   l.GridWidth = 9;
   l.m_descriptionData.m_iLimit = 1000;
   l.m_descriptionData.m_iMode = 3;
   l.BoxesNamesColor = {10, 20, 30, 40};
   l.BoxesNamesReverse = 1;
   l.BoxBorderColor = {11, 21, 31, 41};
   l.CircleColor = {12, 22, 32, 42};
   l.m_descriptionData.m_color = {13, 23, 33, 43};
   l.m_descriptionData.m_iWidth = 4;
   l.m_descriptionData.m_iUseRandomColor = 1;
   l.CircleWidth = 7;
   l.CornersMode = 0b1010;
   l.Width = 96;
   l.Height = 48;
   l.Columns = 12;
   l.Rows = 9;
   l.ExcludeBoxes.add(box_key(3, 4));
   l.ExcludeBoxes.add(box_key(0, 8));
   l.HalfColumns = 0b1001;
   l.BoxesNamesFontSize = 22;
   l.LayerNameFontSize = 18;
   l.LabelFontColor = {14, 24, 34, 44};
   l.LabelFontSize = 33;
   l.PConnectorNames = {"A", "B \"quoted\""};
   l.RConnectorNames = {"R"};
   l.SConnectorNames = {"S1", "S2", ""};
   l.DrawPowerSnake = 1;
   l.m_descriptionPower.m_color = {15, 25, 35, 45};
   l.m_descriptionPower.m_iMode = 1;
   l.WireAmps = 32;
   l.m_descriptionPower.m_iCustomPath = 1;
   l.m_descriptionPower.m_iWidth = 12;
   l.PowerDiagramType = 1;
   l.WeightPerPanel = 11.125f;
   l.WeightPerPanelUnit = "kg";
   l.ShowScreenWeight = 1;
   l.ShowScreenDiagonal = 1;
   l.ScreenDiagonalUnit = "in";
   l.m_descriptionData.custom_paths = {{box_key(0, 0), box_key(1, 0)}, {box_key(5, 5)}};
   l.m_descriptionPower.custom_paths = {{box_key(2, 2)}};
   l.set_offset_x(-40);
   l.set_offset_y(25);
   l.set_name("Main: wall");
   l.set_hidden(true);
   l.set_rotation(-0.25f);

   testing::internal::CaptureStderr();
   auto pread = read_layer(player->get_layer_info());
   EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
   const boxes_layer & r = *pread;
   EXPECT_EQ(r.BoxColors, l.BoxColors);
   EXPECT_EQ(r.BoxTintColors, l.BoxTintColors);
   EXPECT_EQ(r.PhysW, l.PhysW);
   EXPECT_EQ(r.WeightPerPanel, l.WeightPerPanel);
   EXPECT_EQ(r.HalfColumns, l.HalfColumns);
   EXPECT_EQ(r.PConnectorNames, l.PConnectorNames);
   EXPECT_EQ(r.SConnectorNames, l.SConnectorNames);
   EXPECT_EQ(r.m_descriptionData.custom_paths, l.m_descriptionData.custom_paths);
   EXPECT_EQ(r.m_descriptionPower.custom_paths, l.m_descriptionPower.custom_paths);
   EXPECT_EQ(r.get_name(), "Main: wall");
   EXPECT_TRUE(r.is_hidden());
   EXPECT_EQ(r.get_rotation(), -0.25f);
   // The excluded keys come back in the opposite order; every other line is the same.
   EXPECT_EQ(r.get_layer_info(), [&] {
      l.ExcludeBoxes.clear();
      l.ExcludeBoxes.add(box_key(0, 8));
      l.ExcludeBoxes.add(box_key(3, 4));
      return l.get_layer_info();
   }());
}
