#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "address_space_limit.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "orvo/trace.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

constexpr color::color red{255, 0, 0, 255};
constexpr color::color green{0, 255, 0, 255};
constexpr color::color blue{0, 0, 255, 255};
constexpr color::color yellow{255, 255, 0, 255};
constexpr color::color cyan{0, 255, 255, 255};
constexpr color::color magenta{255, 0, 255, 255};
constexpr color::color grey{128, 128, 128, 255};

// The pixel of an opaque colour as the image holds it.
std::uint32_t opaque(color::color color)
{
   return 0xFF000000u | (std::uint32_t(color.m_uchR) << 16) | (std::uint32_t(color.m_uchG) << 8) | color.m_uchB;
}

// A grid of boxes with every drawer and label switched off.
pointer<boxes_layer> bare_layer(int iColumns, int iRows, int iWidth = 100, int iHeight = 100)
{
   auto player = make_pointer<boxes_layer>();
   player->initialize(nullptr);
   player->apply_defaults();
   player->Columns = iColumns;
   player->Rows = iRows;
   player->Width = iWidth;
   player->Height = iHeight;
   player->DrawBoxes = 0;
   player->DrawGrid = 0;
   player->DrawCircle = 0;
   player->DrawScreenSize = 0;
   player->DrawLayerName = 0;
   player->DrawInfoLine = 0;
   player->CornersMode = 0;
   return player;
}

// Builds the layer's frame through a context that draws nowhere itself, keeping the texts the
// drawing wrote and the errors it reported.
struct frame_build
{
   std::vector<zel2d::drawn_text> texts;
   std::vector<std::string> errors;

   explicit frame_build(boxes_layer & layer)
   {
      zel2d::context context;
      context.set_text_listener([this](const zel2d::drawn_text & drawn) { texts.push_back(drawn); });
      layer.build_frame(&context, [this](scoped_string_base strError) { errors.emplace_back(strError); });
   }

   const zel2d::drawn_text * find(scoped_string_base str) const
   {
      for (const auto & drawn : texts)
      {
         if (drawn.m_str == str)
         {
            return &drawn;
         }
      }
      return nullptr;
   }
};

std::uint32_t pixel(const boxes_layer & layer, int x, int y)
{
   return layer.get_offscreen()->pixel(x, y);
}

// The centre pixel of a box of 100 x 100.
std::uint32_t box_centre(const boxes_layer & layer, int iColumn, int iRow)
{
   return pixel(layer, iColumn * 100 + 50, iRow * 100 + 50);
}

} // namespace

// A layer that had pixels lets its last picture go.
TEST(boxes_layer_drawing, LayersWithoutPixelsRequestNothingAndReportNothing)
{
   for (auto setEmpty : {+[](boxes_layer & layer) { layer.Columns = 0; }, +[](boxes_layer & layer) { layer.Rows = -2; },
                         +[](boxes_layer & layer) { layer.Width = 0; }, +[](boxes_layer & layer) { layer.Height = -1; }})
   {
      auto player = bare_layer(3, 3);
      player->DrawBoxes = 1;
      player->default_colors();
      frame_build{*player};
      ASSERT_TRUE(player->get_offscreen());
      setEmpty(*player);
      const frame_build build(*player);
      EXPECT_FALSE(player->get_offscreen());
      EXPECT_TRUE(build.errors.empty());
      EXPECT_TRUE(build.texts.empty());
   }
}

TEST(boxes_layer_drawing, AnImageThatCannotBeMadeIsReportedAndNothingIsDrawn)
{
   auto player = bare_layer(32767, 32767, 65535, 65535);
   player->DrawLayerName = 1;
   const frame_build build(*player);
   ASSERT_EQ(build.errors.size(), 1u);
   EXPECT_FALSE(build.errors[0].empty());
   EXPECT_TRUE(build.texts.empty());
}

TEST(boxes_layer_drawing, ColoursRunInDiagonalBandsAlternatingWithTheirTints)
{
   auto player = bare_layer(4, 4);
   player->DrawBoxes = 1;
   player->BoxColors = {red, green, blue};
   player->BoxTintColors = {yellow, cyan, magenta};
   frame_build build(*player);
   EXPECT_EQ(box_centre(*player, 0, 0), opaque(red));
   EXPECT_EQ(box_centre(*player, 0, 1), opaque(yellow));
   EXPECT_EQ(box_centre(*player, 1, 0), opaque(yellow));
   EXPECT_EQ(box_centre(*player, 1, 1), opaque(green));
   EXPECT_EQ(box_centre(*player, 2, 1), opaque(cyan));
   EXPECT_EQ(box_centre(*player, 2, 2), opaque(blue));
   EXPECT_EQ(box_centre(*player, 3, 3), opaque(red));
   // Fills reach the box edges.
   EXPECT_EQ(pixel(*player, 0, 0), opaque(red));
   EXPECT_EQ(pixel(*player, 99, 99), opaque(red));
   EXPECT_EQ(pixel(*player, 100, 99), opaque(yellow));
}

TEST(boxes_layer_drawing, ExcludedBoxesStayEmptyWithoutShiftingTheColoursAfterThem)
{
   set_logs_silent(true);
   auto player = bare_layer(4, 1);
   player->DrawBoxes = 1;
   player->DrawGrid = 1;
   player->BoxBorderColor = grey;
   player->DrawBoxesNames = 1;
   player->BoxColors = {red, green};
   player->BoxTintColors = {yellow, cyan};
   player->ExcludeBoxes.add(box_key(1, 0));
   // Left out whatever `SkipBlankBoxes` says.
   player->SkipBlankBoxes = 0;
   const frame_build build(*player);
   // Away from the names at the centres.
   EXPECT_EQ(pixel(*player, 110, 10), 0u);
   EXPECT_EQ(pixel(*player, 210, 10), opaque(green));
   EXPECT_EQ(pixel(*player, 310, 10), opaque(cyan));
   // The excluded box keeps its outline and its name.
   EXPECT_EQ(pixel(*player, 100, 30), opaque(grey));
   EXPECT_NE(build.find("B1"), nullptr);
   set_logs_silent(false);
}

// A picture drawn again at the same size shows nothing of the last drawing: with the boxes as
// with a fresh picture, whether their opaque fills cover it whole or leave some of it free.
TEST(boxes_layer_drawing, APictureDrawnAgainEqualsAFreshOne)
{
   const auto changes = std::vector<void (*)(boxes_layer &)>{
      +[](boxes_layer & layer) { layer.DrawCircle = 0; },
      +[](boxes_layer & layer) { layer.ExcludeBoxes.add(box_key(1, 1)); },
      +[](boxes_layer & layer) { layer.BoxColors[1] = {0, 255, 0, 128}; },
      +[](boxes_layer & layer) { layer.BoxTintColors[0] = {255, 255, 0, 254}; },
      +[](boxes_layer & layer) { layer.DrawBoxes = 0; },
      +[](boxes_layer & layer) { layer.BoxColors.clear(); },
      // A half box of 3.5 pixels first: the edges after it leave pixels half covered, in a
      // picture of the same 18 x 18 pixels.
      +[](boxes_layer & layer) {
         layer.Width = 7;
         layer.HalfColumns[e_half_first_column] = true;
      },
      +[](boxes_layer & layer) {
         layer.Height = 7;
         layer.HalfColumns[e_half_first_row] = true;
      },
   };
   const auto set_up = [](boxes_layer & layer) {
      layer.DrawBoxes = 1;
      layer.DrawCircle = 1;
      layer.BoxColors = {red, green};
      layer.BoxTintColors = {yellow, cyan};
   };
   for (std::size_t i = 0; i < changes.size(); ++i)
   {
      auto pdrawn = bare_layer(3, 3, 6, 6);
      set_up(*pdrawn);
      frame_build{*pdrawn};
      const pointer<image::image> pimageFirst = pdrawn->get_offscreen();
      changes[i](*pdrawn);
      frame_build{*pdrawn};
      auto pfresh = bare_layer(3, 3, 6, 6);
      set_up(*pfresh);
      changes[i](*pfresh);
      frame_build{*pfresh};
      ASSERT_EQ(pdrawn->get_offscreen(), pimageFirst) << "change " << i;
      const image::image & fresh = *pfresh->get_offscreen();
      ASSERT_EQ(fresh.width(), 18);
      ASSERT_EQ(fresh.height(), 18);
      EXPECT_TRUE(std::equal(fresh.data(), fresh.data() + 18 * 18, pimageFirst->data())) << "change " << i;
   }
}

TEST(boxes_layer_drawing, MissingTintsAreDerivedFromTheirColours)
{
   auto player = bare_layer(4, 1);
   player->DrawBoxes = 1;
   player->BoxColors = {red, {0, 63, 127, 255}};
   player->BoxTintColors = {yellow};
   const frame_build build(*player);
   EXPECT_EQ(box_centre(*player, 1, 0), opaque(yellow));
   EXPECT_EQ(box_centre(*player, 2, 0), opaque({0, 63, 127, 255}));
   EXPECT_EQ(box_centre(*player, 3, 0), opaque({114, 149, 184, 255}));
}

TEST(boxes_layer_drawing, TheGridLiesJustInsideEveryBox)
{
   auto player = bare_layer(2, 2);
   player->DrawBoxes = 1;
   player->BoxColors = {red};
   player->BoxTintColors = {red};
   player->DrawGrid = 1;
   player->GridWidth = 2;
   player->BoxBorderColor = blue;
   frame_build unturned(*player);
   for (int x : {0, 1, 98, 99, 100, 101, 198, 199})
   {
      EXPECT_EQ(pixel(*player, x, 50), opaque(blue)) << x;
   }
   EXPECT_EQ(pixel(*player, 2, 50), opaque(red));
   EXPECT_EQ(pixel(*player, 97, 50), opaque(red));
   EXPECT_EQ(pixel(*player, 50, 101), opaque(blue));
   EXPECT_EQ(pixel(*player, 50, 102), opaque(red));

   // A turned layer strokes each box inset by half the line width.
   player->set_rotation(0.5f);
   frame_build turned(*player);
   EXPECT_EQ(pixel(*player, 100, 50), opaque(blue));
   EXPECT_EQ(pixel(*player, 101, 50), opaque(blue));
   EXPECT_EQ(pixel(*player, 103, 50), opaque(red));
}

TEST(boxes_layer_drawing, CircleDiagonalsAndDashedCentreLines)
{
   auto player = bare_layer(2, 2);
   player->DrawCircle = 1;
   player->CircleWidth = 2;
   player->CircleColor = green;
   const frame_build build(*player);
   // Radius ((200 / 2) - (2 / 2)) / 2 = 49 about (100, 100).
   EXPECT_EQ(pixel(*player, 142, 75), opaque(green));
   EXPECT_EQ(pixel(*player, 120, 110), 0u);
   EXPECT_EQ(pixel(*player, 160, 60), 0u);
   // The diagonals.
   EXPECT_EQ(pixel(*player, 30, 30), opaque(green));
   EXPECT_EQ(pixel(*player, 169, 30), opaque(green));
   // Dashes of 5 every 10 pixels, 2 pixels wide, along y = 100 and x = 100.
   EXPECT_EQ(pixel(*player, 2, 99), opaque(green));
   EXPECT_EQ(pixel(*player, 12, 100), opaque(green));
   EXPECT_EQ(pixel(*player, 7, 100), 0u);
   EXPECT_EQ(pixel(*player, 199, 100), 0u);
   EXPECT_EQ(pixel(*player, 194, 100), opaque(green));
   EXPECT_EQ(pixel(*player, 99, 2), opaque(green));
   EXPECT_EQ(pixel(*player, 100, 17), 0u);
}

TEST(boxes_layer_drawing, APathAloneRunsThroughTheBoxCentresAndTwoPathsRunSideBySide)
{
   auto player = bare_layer(4, 1);
   player->m_descriptionData.m_color = blue;
   player->m_descriptionPower.m_color = red;
   player->DrawSnake = 1;
   frame_build dataAlone(*player);
   EXPECT_EQ(pixel(*player, 200, 50), opaque(blue));
   EXPECT_EQ(pixel(*player, 200, 75), 0u);

   player->DrawSnake = 0;
   player->DrawPowerSnake = 1;
   frame_build powerAlone(*player);
   EXPECT_EQ(pixel(*player, 200, 50), opaque(red));

   // The data path a quarter box towards the bottom right, the power path towards the top left.
   player->DrawSnake = 1;
   frame_build both(*player);
   EXPECT_EQ(pixel(*player, 200, 75), opaque(blue));
   EXPECT_EQ(pixel(*player, 200, 25), opaque(red));
   EXPECT_EQ(pixel(*player, 200, 50), 0u);
   EXPECT_TRUE(both.errors.empty());
}

TEST(boxes_layer_drawing, ArrowsAreGreenAtStartsBlueOnTheWayAndRedAtEnds)
{
   auto player = bare_layer(4, 1);
   player->DrawSnake = 1;
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionData.m_iWidth = 2;
   const frame_build build(*player);
   EXPECT_EQ(player->m_snakeData.m_iArrowHalfSize, 10);
   // Start arrow of box 0 pointing right, middle arrow of box 2, end arrow of box 3 pointing back.
   EXPECT_EQ(pixel(*player, 47, 50), opaque(green));
   EXPECT_EQ(pixel(*player, 247, 50), opaque(blue));
   EXPECT_EQ(pixel(*player, 147, 50), opaque(color::color(255, 255, 255, 255)));
   EXPECT_EQ(pixel(*player, 353, 50), opaque(red));
}

TEST(boxes_layer_drawing, AFailingDataPathIsSwitchedOffReportedOnceAndThePowerPathIsNotShifted)
{
   auto player = bare_layer(4, 1);
   player->m_descriptionPower.m_color = red;
   player->DrawSnake = 1;
   player->DrawPowerSnake = 1;
   player->DataDiagramType = 0;
   player->m_descriptionData.m_iLimit = 350;
   player->clear_changed();
   const frame_build build(*player);
   EXPECT_EQ(build.errors, (std::vector<std::string>{"Some panels consume more pixels then limit used."}));
   EXPECT_EQ(player->DrawSnake, 0);
   EXPECT_TRUE(player->has_changed());
   EXPECT_EQ(pixel(*player, 200, 50), opaque(red));
   EXPECT_EQ(pixel(*player, 200, 25), 0u);
}

// A layer in no document has no budget for its paths: a path larger than the memory left fails
// as it is built, and is switched off and told like any other failed path.
TEST(boxes_layer_drawing, ADataPathThatRunsOutOfMemoryIsSwitchedOffAndToldSo)
{
#if defined(__SANITIZE_ADDRESS__)
   GTEST_SKIP() << "an address-space limit leaves the address sanitizer no room";
#endif
   // Four million boxes of one pixel: a 16 MB picture, and a path of about 160 MB.
   auto player = bare_layer(2000, 2000, 1, 1);
   player->DrawSnake = 1;
   player->DrawPowerSnake = 0;
   const std::uint64_t uLimit = address_space_in_use() + (std::uint64_t{64} << 20);
   EXPECT_TRUE(passes_under_address_space_limit(uLimit, [&] {
      const frame_build build(*player);
      const string_base strExpected =
         format("The data path of the layer \"%s\" cannot be drawn: there was not enough memory for it.", player->get_name().c_str());
      return build.errors == std::vector<std::string>{strExpected} && player->DrawSnake == 0;
   }));
}

TEST(boxes_layer_drawing, CabinetNamesTakeLettersForColumnsOrWithReverseForRows)
{
   auto player = bare_layer(28, 28, 40, 10);
   player->DrawBoxesNames = 1;
   player->BoxesNamesFontSize = 8;
   player->BoxesNamesColor = cyan;
   const frame_build build(*player);
   ASSERT_EQ(build.texts.size(), 28u * 28u);
   EXPECT_EQ(build.texts[0].m_str, "A1");
   EXPECT_EQ(build.texts[26].m_str, "AA1");
   EXPECT_EQ(build.texts[27].m_str, "BB1");
   EXPECT_EQ(build.texts[28].m_str, "A2");
   EXPECT_EQ(build.texts[27].m_fX, 1100.f);
   EXPECT_EQ(build.texts[27].m_fY, 5.f);
   EXPECT_EQ(build.texts[27].m_iAlign, zel2d::align_center | zel2d::align_middle);
   EXPECT_EQ(build.texts[27].m_fFontSize, 8.f);
   EXPECT_EQ(build.texts[27].m_colorFill, cyan);

   player->BoxesNamesReverse = 1;
   const frame_build reversed(*player);
   // Column 2, row 27.
   EXPECT_EQ(reversed.texts[27 * 28 + 2].m_str, "BB3");
   EXPECT_EQ(reversed.texts[1].m_str, "A2");

   player->Columns = 53;
   player->Rows = 1;
   player->BoxesNamesReverse = 0;
   const frame_build wide(*player);
   EXPECT_EQ(wide.texts[52].m_str, "AAA1");

   player->BoxesNamesFontSize = 0;
   EXPECT_TRUE(frame_build(*player).texts.empty());
}

// The user chose the name size: names wider and taller than their boxes are drawn at it all the
// same, each centred on its box, over its neighbours.
TEST(boxes_layer_drawing, CabinetNamesWiderThanTheirBoxesAreDrawnAtTheLayersSizeAtTheBoxCentre)
{
   auto player = bare_layer(30, 3, 24, 16);
   player->DrawBoxesNames = 1;
   player->BoxesNamesFontSize = 40;
   player->BoxesNamesColor = cyan;
   const frame_build build(*player);
   ASSERT_EQ(build.texts.size(), 30u * 3u);
   EXPECT_EQ(build.texts[2 * 30 + 27].m_str, "BB3");
   image::image expected(30 * 24, 3 * 16);
   zel2d::context context(&expected);
   context.set_font_face("sans");
   context.set_font_size(40.f);
   context.set_fill_color(cyan);
   context.set_text_align(zel2d::align_center | zel2d::align_middle);
   for (std::size_t i = 0; i < build.texts.size(); ++i)
   {
      const zel2d::drawn_text & name = build.texts[i];
      EXPECT_EQ(name.m_fFontSize, 40.f) << name.m_str;
      EXPECT_EQ(name.m_fX, static_cast<float>(i % 30 * 24 + 12)) << name.m_str;
      EXPECT_EQ(name.m_fY, static_cast<float>(i / 30 * 16 + 8)) << name.m_str;
      context.text(name.m_fX, name.m_fY, name.m_str);
   }
   const image::image & drawn = *player->get_offscreen();
   EXPECT_TRUE(std::equal(expected.data(), expected.data() + expected.width() * expected.height(), drawn.data()));
}

TEST(boxes_layer_drawing, ALayerThatOnlyMovedEqualsOneDrawnWholeAtItsNewPlace)
{
   auto player = bare_layer(6, 5, 60, 40);
   player->DrawBoxes = 1;
   player->DrawBoxesNames = 1;
   player->BoxesNamesFontSize = 9;
   player->LabelFontSize = 11;
   player->CornersMode = 15;
   frame_build{*player};
   // Labels grow and shrink with the digits of the offset; the last offsets reach the bounds.
   for (const auto & [x, y] : {std::pair{7, 3}, std::pair{-120000, 5}, std::pair{2, 2}, std::pair{INT_MAX - 200, INT_MIN + 1}})
   {
      player->set_offset_x(x);
      player->set_offset_y(y);
      // Only the four corner labels are drawn again.
      EXPECT_EQ(frame_build{*player}.texts.size(), 4u);
      const std::vector<std::uint32_t> moved(player->get_offscreen()->data(), player->get_offscreen()->data() + 360 * 200);
      player->set_changed();
      frame_build{*player};
      EXPECT_TRUE(std::equal(moved.begin(), moved.end(), player->get_offscreen()->data())) << x << ", " << y;
   }
}

// The current layer of a document keeps what it draws over its box fills from its first colour
// change on: the next colour changes only fill its boxes again under it (the corner labels are
// the only texts drawn), with the pixels of a layer drawn whole; one other layer keeping its
// overlay makes it let go, and fills that no longer cover the picture draw it whole.
TEST(boxes_layer_drawing, ColourChangesOfTheCurrentLayerOnlyFillItsBoxesAgain)
{
   auto pdocument = make_pointer<project>(nullptr);
   const auto set_up = [](boxes_layer & layer) {
      for (int * pswitch : {&layer.DrawBoxes, &layer.DrawGrid, &layer.DrawCircle, &layer.DrawLayerName, &layer.DrawScreenSize, &layer.DrawInfoLine})
      {
         *pswitch = 1;
      }
      layer.Columns = 5;
      layer.Rows = 4;
      layer.Width = 60;
      layer.Height = 40;
      layer.DrawBoxesNames = 1;
      layer.BoxesNamesFontSize = 8;
      layer.DrawSnake = 1;
      layer.DrawPowerSnake = 1;
      layer.CornersMode = 15;
      layer.LabelFontSize = 9;
      layer.BoxColors = {red, blue, grey};
      layer.BoxTintColors.clear();
   };
   pointer<boxes_layer> pedited = pdocument->new_boxes_layer();
   pointer<boxes_layer> pother = pdocument->new_boxes_layer();
   set_up(*pedited);
   set_up(*pother);
   pdocument->set_current_layer_index(pdocument->get_layers().find_first(pedited.get()));
   frame_build{*pedited};
   const std::int64_t iPictureBytes = pedited->picture_bytes();
   struct step
   {
      std::vector<color::color> colours;
      int x;
      bool bRefilled;
   };
   // The first colour change draws whole; then one colour, one colour at a new place, one colour
   // more (every box moves on in the palette) refill; translucent fills draw whole again.
   for (const step & s : {step{{red, {10, 200, 30, 255}, grey}, 0, false}, step{{red, {250, 250, 250, 255}, grey}, 0, true},
                          step{{red, {0, 0, 90, 255}, grey}, 37, true}, step{{red, {0, 0, 90, 255}, grey, green}, 37, true},
                          step{{red, {90, 0, 90, 128}, grey}, 37, false}})
   {
      pedited->BoxColors = s.colours;
      pedited->set_changed(layer_change::colours);
      pedited->set_offset_x(s.x);
      const frame_build build{*pedited};
      EXPECT_EQ(build.texts.size() == 4, s.bRefilled) << s.colours.size() << " colours at " << s.x;
      EXPECT_EQ(pedited->picture_bytes() > iPictureBytes, s.colours[1].m_uchA == 255);
      auto pwhole = bare_layer(1, 1);
      set_up(*pwhole);
      pwhole->BoxColors = s.colours;
      pwhole->set_offset_x(s.x);
      frame_build{*pwhole};
      const image::image & whole = *pwhole->get_offscreen();
      EXPECT_TRUE(std::equal(whole.data(), whole.data() + whole.width() * whole.height(), pedited->get_offscreen()->data()))
         << s.colours.size() << " colours at " << s.x;
   }
   pedited->BoxColors[1] = red;
   pedited->set_changed(layer_change::colours);
   frame_build{*pedited};
   ASSERT_GT(pedited->picture_bytes(), iPictureBytes);
   pdocument->set_current_layer_index(pdocument->get_layers().find_first(pother.get()));
   pother->set_changed(layer_change::colours);
   frame_build{*pother};
   EXPECT_EQ(pedited->picture_bytes(), iPictureBytes);
   EXPECT_GT(pother->picture_bytes(), iPictureBytes);
}

TEST(boxes_layer_drawing, AGridOfWholePixelBoxesEqualsEveryBoxOutlinedOnItsOwn)
{
   for (const auto & [iSize, iGridWidth] : {std::pair{1, 2}, std::pair{3, 1}, std::pair{4, 2}, std::pair{9, 2}, std::pair{9, 5}})
   {
      auto player = bare_layer(7, 5, iSize, iSize + 1);
      player->DrawGrid = 1;
      player->GridWidth = iGridWidth;
      player->BoxBorderColor = {40, 200, 90, 150};
      frame_build{*player};
      image::image expected(7 * iSize, 5 * (iSize + 1));
      zel2d::context context(&expected);
      for (int r = 0; r < 5; ++r)
      {
         for (int c = 0; c < 7; ++c)
         {
            context.pixel_rectangle_outline(c * iSize, r * (iSize + 1), iSize, iSize + 1, player->BoxBorderColor, iGridWidth);
         }
      }
      EXPECT_TRUE(std::equal(expected.data(), expected.data() + expected.width() * expected.height(), player->get_offscreen()->data()))
         << iSize << " " << iGridWidth;
   }
}

// Over opaque fills that cover the picture, the grid is written row by row on the transparent
// start: the pixels of the grid drawn alone and laid over the fills drawn alone.
TEST(boxes_layer_drawing, AGridOverCoveringFillsEqualsTheGridAloneLaidOverTheFills)
{
   struct shape
   {
      int iSize, iGridWidth;
      unsigned long uHalves;
      color::color colorBorder;
   };
   for (const shape & s : {shape{1, 1, 0, {40, 200, 90, 150}}, shape{3, 1, 0b0101, {40, 200, 90, 255}}, shape{9, 2, 0b1111, {40, 200, 90, 150}},
                           shape{4, 5, 0, {10, 20, 30, 255}}, shape{8, 0, 0, {40, 200, 90, 255}}})
   {
      const auto drawn = [&s](bool bFills, bool bGrid) {
         auto player = bare_layer(7, 5, s.iSize, s.iSize + 1);
         player->HalfColumns = s.uHalves;
         player->BoxColors = {red, blue, grey};
         player->BoxTintColors.clear();
         player->BoxBorderColor = s.colorBorder;
         player->GridWidth = s.iGridWidth;
         player->DrawBoxes = bFills ? 1 : 0;
         player->DrawGrid = bGrid ? 1 : 0;
         frame_build{*player};
         return player->get_offscreen();
      };
      const pointer<image::image> pboth = drawn(true, true);
      const pointer<image::image> pexpected = drawn(true, false);
      const pointer<image::image> pgrid = drawn(false, true);
      ASSERT_EQ(pboth->width(), pgrid->width());
      pexpected->blend(*pgrid);
      EXPECT_TRUE(std::equal(pexpected->data(), pexpected->data() + pexpected->width() * pexpected->height(), pboth->data()))
         << s.iSize << " " << s.iGridWidth << " " << s.uHalves;
   }
}

// Boxes on whole pixels are filled row by row: the same pixels as each box filled on its own, for
// half outer boxes, palettes longer than a row and boxes left out.
TEST(boxes_layer_drawing, FillsOfWholePixelBoxesEqualEveryBoxFilledOnItsOwn)
{
   struct shape
   {
      int iColumns, iRows, iWidth, iHeight;
      unsigned long uHalves;
      std::vector<color::color> colors;
      bool bExclusion;
   };
   const std::vector<color::color> three = {red, {0, 255, 0, 128}, blue};
   for (const shape & s : {shape{9, 4, 1, 1, 0, three, false}, shape{7, 5, 2, 3, 0b1111, three, false}, shape{5, 3, 4, 2, 0b0101, three, true},
                           shape{2, 6, 6, 1, 0b0001, three, false}, shape{11, 2, 2, 2, 0b0101, {grey}, false}, shape{8, 8, 1, 2, 0, three, true}})
   {
      auto player = bare_layer(s.iColumns, s.iRows, s.iWidth, s.iHeight);
      player->DrawBoxes = 1;
      player->HalfColumns = s.uHalves;
      player->BoxColors = s.colors;
      player->BoxTintColors.clear();
      if (s.bExclusion)
      {
         player->ExcludeBoxes.add(box_key(1, 2));
      }
      frame_build{*player};
      const image::image & drawn = *player->get_offscreen();
      image::image expected(drawn.width(), drawn.height());
      zel2d::context context(&expected);
      for (int r = 0; r < s.iRows; ++r)
      {
         for (int c = 0; c < s.iColumns; ++c)
         {
            if (player->ExcludeBoxes.contains(box_key(c, r)))
            {
               continue;
            }
            const datagram::box box = player->box_from_key(box_key(c, r));
            const std::size_t i = static_cast<std::size_t>(r + c);
            const std::size_t uColor = i / 2 % s.colors.size();
            context.set_fill_color(i % 2 != 0 ? player->box_tint_color(uColor) : s.colors[uColor]);
            context.begin_path();
            context.rectangle(box.m_fX1, box.m_fY1, box.width(), box.height());
            context.fill();
         }
      }
      EXPECT_TRUE(std::equal(expected.data(), expected.data() + expected.width() * expected.height(), drawn.data()))
         << s.iColumns << " x " << s.iRows << " of " << s.iWidth << " x " << s.iHeight << ", halves " << s.uHalves;
   }
}

TEST(boxes_layer_drawing, WeightCountsHalfBoxesByTheirShareAndOnlyExclusionsInsideTheGrid)
{
   auto player = bare_layer(4, 3);
   player->WeightPerPanel = 20.f;
   player->HalfColumns.set(e_half_last_column);
   player->ExcludeBoxes.add(box_key(3, 0));
   EXPECT_FLOAT_EQ(player->getTotalPanelWeight(), 200.f);
   player->ShowScreenWeight = 1;
   EXPECT_NE(frame_build(*player).find("Weight: 200.0lb"), nullptr);
   // A corner box of a half column and a half row weighs a quarter.
   player->HalfColumns.set(e_half_first_row);
   EXPECT_FLOAT_EQ(player->getTotalPanelWeight(), (3.5f * 2.5f - 0.25f) * 20.f);
   player->HalfColumns.reset();
   player->ExcludeBoxes.add(box_key(7, 0));
   player->ExcludeBoxes.add(box_key(0, 9));
   EXPECT_FLOAT_EQ(player->getTotalPanelWeight(), 11.f * 20.f);
}

TEST(boxes_layer_drawing, DiagonalInMetresFeetOrInches)
{
   auto player = bare_layer(6, 8);
   player->PhysW = 500.f;
   player->PhysH = 500.f;
   player->ScreenDiagonalUnit = "meter";
   EXPECT_EQ(player->getDiagonalDimensionText(), "5.000m");
   player->ShowScreenDiagonal = 1;
   EXPECT_NE(frame_build(*player).find("\xE2\x97\xA9 5.000m"), nullptr);
   player->ScreenDiagonalUnit = "  Meter ";
   EXPECT_EQ(player->getDiagonalDimensionText(), "5.000m");
   player->ScreenDiagonalUnit = "feet";
   EXPECT_EQ(player->getDiagonalDimensionText(), "16' 4.9\xE2\x80\xB3");
   player->ScreenDiagonalUnit = "";
   EXPECT_EQ(player->getDiagonalDimensionText(), "196.9\xE2\x80\xB3");
   player->ScreenDiagonalUnit = "metre";
   EXPECT_EQ(player->getDiagonalDimensionText(), "196.9\xE2\x80\xB3");
}

// Sizes and the diagonal are worked out in single precision: 10 boxes of 500.5 mm make a float of
// 5005 mm, 5.005 m a float a little above it; so a 4 x 3 screen's diagonal of 2502.5 mm.
TEST(boxes_layer_drawing, PhysicalSizesAndTheDiagonalAreRoundedFromSinglePrecision)
{
   auto player = bare_layer(10, 1);
   player->PhysW = 500.5f;
   player->PhysH = 500.5f;
   player->ShowMM = 1;
   player->ShowFT = 1;
   player->ShowScreenDiagonal = 1;
   player->ScreenDiagonalUnit = "meter";
   const frame_build build(*player);
   EXPECT_NE(build.find("W 5.01(m) X H 0.50(m)"), nullptr);
   EXPECT_NE(build.find("W 16' 5.05'' X H 1' 7.70''"), nullptr);
   EXPECT_NE(build.find("\xE2\x97\xA9 5.030m"), nullptr);

   player->Columns = 4;
   player->Rows = 3;
   EXPECT_EQ(player->getDiagonalDimensionText(), "2.503m");
   player->ScreenDiagonalUnit = "feet";
   EXPECT_EQ(player->getDiagonalDimensionText(), "8' 2.5\xE2\x80\xB3");
   player->ScreenDiagonalUnit = "";
   EXPECT_EQ(player->getDiagonalDimensionText(), "98.5\xE2\x80\xB3");
}

// Whole feet are printed from the float of their count, also beyond what an int holds: the
// screens below are 2145669376 and 2148950272 feet across (INT_MAX lies between).
TEST(boxes_layer_drawing, LengthsOfMoreFeetThanAnIntHoldsKeepTheirDigits)
{
   auto player = bare_layer(1, 1);
   player->ShowFT = 1;
   player->ScreenDiagonalUnit = "feet";
   player->PhysH = 0.f;
   player->PhysW = 6.54e11f;
   EXPECT_NE(frame_build(*player).find("W 2145669284' 6.26'' X H 0' 0.00''"), nullptr);
   EXPECT_EQ(player->getDiagonalDimensionText(), "2145669376' 8.0\xE2\x80\xB3");
   player->PhysW = 6.55e11f;
   EXPECT_NE(frame_build(*player).find("W 2148950169' 9.31'' X H 0' 0.00''"), nullptr);
   EXPECT_EQ(player->getDiagonalDimensionText(), "2148950272' 8.0\xE2\x80\xB3");

   // 1e12 typed into the panel width (a float of 999999995904) on 8 columns; and sides too large
   // for a float, whose feet read as infinite.
   player->Columns = 8;
   player->PhysW = 1e12f;
   EXPECT_NE(frame_build(*player).find("W 26246719092' 5.92'' X H 0' 0.00''"), nullptr);
   player->PhysH = std::numeric_limits<float>::max();
   player->Rows = 5;
   EXPECT_TRUE(player->getDiagonalDimensionText().starts_with("inf'")) << player->getDiagonalDimensionText();
   EXPECT_TRUE(frame_build(*player).texts.front().m_str.starts_with("W 26246719092' 5.92'' X H inf'"));
}

TEST(boxes_layer_drawing, SizeLinesStackBelowTheNameAndThePowerLineSitsAbove)
{
   auto player = bare_layer(10, 5);
   player->set_name("Wall");
   player->HalfColumns.set(e_half_first_column);
   player->DrawLayerName = 1;
   player->DrawScreenSize = 1;
   player->ShowMM = 1;
   player->ShowFT = 1;
   player->ShowScreenWeight = 1;
   player->ShowScreenDiagonal = 1;
   player->DrawPower = 1;
   player->LabelFontSize = 30;
   player->LabelFontColor = cyan;
   player->WeightPerPanelUnit = "kg";
   const frame_build build(*player);
   const float fCentreX = 950.f / 2.f;
   const float fCentreY = 250.f;
   const std::vector<std::string> lines = {"W 950 X H 500", "W 4.75(m) X H 2.50(m)", "W 15' 7.01'' X H 8' 2.43''",
                                           "Weight: 950.0kg", "\xE2\x97\xA9 211.3\xE2\x80\xB3"};
   for (std::size_t k = 0; k < lines.size(); ++k)
   {
      const zel2d::drawn_text * pdrawn = build.find(lines[k]);
      ASSERT_NE(pdrawn, nullptr) << lines[k];
      EXPECT_EQ(pdrawn->m_fX, fCentreX);
      EXPECT_EQ(pdrawn->m_fY, fCentreY + 30.f + 30.f * static_cast<float>(k)) << lines[k];
      EXPECT_EQ(pdrawn->m_iAlign, zel2d::align_center | zel2d::align_middle);
      EXPECT_EQ(pdrawn->m_colorFill, cyan);
      EXPECT_EQ(pdrawn->m_fFontSize, 30.f);
   }
   const zel2d::drawn_text * pname = build.find("Wall");
   ASSERT_NE(pname, nullptr);
   EXPECT_EQ(pname->m_fY, fCentreY);
   EXPECT_EQ(pname->m_colorFill, color::color(0, 0, 0, 255));
   EXPECT_EQ(pname->m_fFontSize, 30.f);
   const zel2d::drawn_text * ppower = build.find("52.49A | 110V | 3 Phases");
   ASSERT_NE(ppower, nullptr);
   EXPECT_EQ(ppower->m_fY, fCentreY - 30.f);

   // A name size of its own moves the lines by half its difference.
   player->LayerNameFontSize = 50;
   player->PowerPhases = 1;
   const frame_build larger(*player);
   EXPECT_EQ(larger.find("Wall")->m_fFontSize, 50.f);
   EXPECT_EQ(larger.find("W 950 X H 500")->m_fY, fCentreY + 40.f);
   ASSERT_NE(larger.find("90.91A | 110V | 1 Phase"), nullptr);
   EXPECT_EQ(larger.find("90.91A | 110V | 1 Phase")->m_fY, fCentreY - 40.f);
}

TEST(boxes_layer_drawing, LabelsOfTheLargestFontSizesStayBelowTheCentre)
{
   auto player = bare_layer(10, 5);
   player->set_name("Wall");
   player->DrawLayerName = 1;
   player->DrawScreenSize = 1;
   player->ShowMM = 1;
   player->LabelFontSize = std::numeric_limits<int>::max();
   player->LayerNameFontSize = std::numeric_limits<int>::max();
   const frame_build build(*player);
   for (const char * pszLine : {"W 1000 X H 500", "W 5.00(m) X H 2.50(m)"})
   {
      const zel2d::drawn_text * pdrawn = build.find(pszLine);
      ASSERT_NE(pdrawn, nullptr) << pszLine;
      EXPECT_GT(pdrawn->m_fY, 2.0e9f) << pszLine;
   }
}

TEST(boxes_layer_drawing, InformationLineAlongTheBottomCountsCabinetsOfTheGridOnly)
{
   auto player = bare_layer(4, 3);
   player->DrawInfoLine = 1;
   player->WeightPerPanel = 20.f;
   player->WeightPerPanelUnit = "lb";
   player->ExcludeBoxes.add(box_key(1, 1));
   player->ExcludeBoxes.add(box_key(9, 0));
   const frame_build build(*player);
   ASSERT_EQ(build.texts.size(), 1u);
   EXPECT_EQ(build.texts[0].m_str, "4.0 Columns X 3.0 Rows - 11 Cabinets Total / Resolution: 400 x 300 ( 120000 ) / "
                                   "Aspect Ratio: 1.33 / Weight: 220.0lb / \xE2\x97\xA9 98.4\xE2\x80\xB3");
   EXPECT_EQ(build.texts[0].m_fX, 200.f);
   EXPECT_EQ(build.texts[0].m_fY, 300.f);
   EXPECT_EQ(build.texts[0].m_iAlign, zel2d::align_center | zel2d::align_bottom);
   EXPECT_EQ(build.texts[0].m_fFontSize, 14.f);
}

TEST(boxes_layer_drawing, CornerLabelsGiveTheRasterCoordinatesOfTheCornerPixels)
{
   auto player = bare_layer(4, 3);
   player->set_offset_x(1000);
   player->set_offset_y(20);
   player->CornersMode = 15;
   const frame_build build(*player);
   struct expected
   {
      const char * psz;
      float x;
      float y;
      int iAlign;
   };
   for (const expected & corner : {expected{"X 1000,Y 20", 10.f, 5.f, 9}, expected{"X 1399,Y 20", 390.f, 5.f, 12},
                                   expected{"X 1000,Y 319", 10.f, 295.f, 33}, expected{"X 1399,Y 319", 390.f, 295.f, 36}})
   {
      const zel2d::drawn_text * pdrawn = build.find(corner.psz);
      ASSERT_NE(pdrawn, nullptr) << corner.psz;
      EXPECT_EQ(pdrawn->m_fX, corner.x) << corner.psz;
      EXPECT_EQ(pdrawn->m_fY, corner.y) << corner.psz;
      EXPECT_EQ(pdrawn->m_iAlign, corner.iAlign) << corner.psz;
   }
   // The label's background: black at alpha 204 above the capitals.
   EXPECT_EQ(pixel(*player, 12, 6), 0xCC000000u);

   player->CornersMode = 0;
   EXPECT_TRUE(frame_build(*player).texts.empty());
}

TEST(boxes_layer_drawing, CornerLabelsAtThe32BitBoundsGiveTheWholeCoordinates)
{
   auto player = bare_layer(4, 3);
   player->set_offset_x(2147483647);
   player->set_offset_y(-2147483647 - 1);
   player->CornersMode = 15;
   const frame_build build(*player);
   for (const char * psz : {"X 2147483647,Y -2147483648", "X 2147484046,Y -2147483648", "X 2147483647,Y -2147483349",
                            "X 2147484046,Y -2147483349"})
   {
      EXPECT_NE(build.find(psz), nullptr) << psz;
   }
}
