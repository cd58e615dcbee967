#include <gtest/gtest.h>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "document/strings.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

struct preset_expectation
{
   const char * m_pszName;
   int m_iSize;
   int m_iLabelFontSize;
   color::color m_color;
   std::size_t m_iBlockLength;
};

const preset_expectation expected_presets[] = {
   {"P 2.6mm", 192, 40, {0x58, 0x18, 0x45}, 604},
   {"P 2.9mm", 168, 40, {0xB5, 0x40, 0x00}, 604},
   {"P 3.9mm", 128, 40, {0x2E, 0x40, 0x53}, 604},
   {"P 4.8mm", 104, 40, {0xA1, 0xA1, 0x00}, 604},
   {"P 5.9mm", 84, 40, {0xE7, 0x4C, 0x3C}, 602},
   {"P 7.9mm", 64, 40, {0xBA, 0x4A, 0x00}, 602},
   {"P 8.9mm", 56, 10, {0x00, 0x37, 0x00}, 602},
   {"P 10 mm", 48, 30, {0x9C, 0x32, 0x97}, 602},
   {"P 6.25", 80, 10, {0x00, 0xB6, 0x01}, 601},
};

} // namespace

TEST(built_in_presets, TextCountsEightAndHoldsNineBlocksOfTheKnownLengths)
{
   const string_base strText = getPresetsSource();
   EXPECT_EQ(strText.rfind("BRISVANE_LED_PRESETS v2 8\n1 604\nundefined:boxes\nSnakeMode:1\n", 0), 0u);
   std::size_t iPosition = strText.find('\n') + 1;
   for (const preset_expectation & preset : expected_presets)
   {
      const string_base strHeader = format("1 %zu\n", preset.m_iBlockLength);
      ASSERT_EQ(strText.compare(iPosition, strHeader.size(), strHeader), 0) << preset.m_pszName;
      iPosition += strHeader.size() + preset.m_iBlockLength;
   }
   EXPECT_EQ(iPosition, strText.size());
   EXPECT_EQ(strText.substr(strText.size() - 29), "undefined:2,3\nundefined:true\n");
}

TEST(built_in_presets, NinePresetsLoadAsFiveByThreeSquareScreens)
{
   auto pglobal = make_pointer<Global>();
   auto ppresets = make_pointer<project>(pglobal.get());
   size_type<int> sizeIgnored;
   const outcome<layers_read> result = ppresets->create_layers_from_string(sizeIgnored, getPresetsSource(), project::presets_magic_v2);
   ASSERT_TRUE(result);
   ASSERT_EQ(result->m_layers.count(), 9);
   for (long long i = 0; i < 9; ++i)
   {
      const preset_expectation & preset = expected_presets[i];
      auto player = result->m_layers[i].cast<boxes_layer>();
      ASSERT_TRUE(player);
      EXPECT_EQ(player->get_name(), preset.m_pszName);
      EXPECT_EQ(player->Columns, 5);
      EXPECT_EQ(player->Rows, 3);
      EXPECT_EQ(player->Width, preset.m_iSize);
      EXPECT_EQ(player->Height, preset.m_iSize);
      EXPECT_EQ(player->PowerVolts, 110);
      EXPECT_EQ(player->PowerPhases, 1);
      EXPECT_EQ(player->PowerWatts, 100);
      EXPECT_EQ(player->m_descriptionData.m_iMode, 1);
      EXPECT_EQ(player->LabelFontSize, preset.m_iLabelFontSize);
      EXPECT_EQ(player->BoxColors.at(0), preset.m_color) << preset.m_pszName;
      EXPECT_EQ(player->DrawBoxes, 1);
      EXPECT_EQ(player->DrawGrid, 0);
   }
}

TEST(built_in_presets, WrittenBackTheyKeepOnlyTheProgramsOwnKeys)
{
   auto ppresets = make_pointer<project>(nullptr);
   size_type<int> sizeIgnored;
   const outcome<layers_read> builtIn = ppresets->create_layers_from_string(sizeIgnored, getPresetsSource(), project::presets_magic_v2);
   ASSERT_TRUE(builtIn);
   for (const pointer<app_layer> & player : builtIn->m_layers)
   {
      ppresets->insert_layer_at(player, -1);
   }
   const string_base strText = ppresets->get_container_text(project::presets_magic, {}, false);
   EXPECT_EQ(strText.rfind("BRISVANE_LED_PRESETS v2 9 0\n1 ", 0), 0u);
   for (const char * pszLegacy : {"undefined:", "offsetX:", "BoxColors_2:", "ScreenSizeFontSize:", "DrawCorners:"})
   {
      EXPECT_EQ(strText.find(pszLegacy), string_base::npos) << pszLegacy;
   }
   size_type<int> sizeAgain;
   const outcome<layers_read> again = ppresets->create_layers_from_string(sizeAgain, strText, project::presets_magic_v2);
   ASSERT_TRUE(again);
   EXPECT_EQ(again->m_layers.count(), 9);
}
