#include <gtest/gtest.h>

#include <vector>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "zelui/in_place_edit_array.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

constexpr std::uint32_t transparent = 0;

// A row-wise layer of 40 x 40 boxes whose data path fills its ports box by box.
pointer<boxes_layer> drawn_layer(int iColumns, int iRows, int iLimit)
{
   auto player = make_pointer<boxes_layer>();
   player->Columns = iColumns;
   player->Rows = iRows;
   player->Width = 40;
   player->Height = 40;
   player->DataDiagramType = 1;
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionData.m_iLimit = iLimit;
   player->request_offscreen(static_cast<unsigned long>(player->get_full_width()), static_cast<unsigned long>(player->get_full_height()));
   return player;
}

std::uint32_t pixel(const boxes_layer & layer, int x, int y)
{
   return layer.get_offscreen()->pixel(x, y);
}

void draw_data_path(boxes_layer & layer)
{
   layer.m_descriptionData._draw_snake(nullptr, &layer.m_snakeData);
}

std::vector<long long> path_indices(const snake & snakePath)
{
   std::vector<long long> indices;
   for (const auto & box : snakePath.m_boxes)
   {
      indices.push_back(box.m_iPathIndex);
   }
   return indices;
}

// Rows of four boxes of 100 pixels with a data port and a power circuit per row.
void set_rows(boxes_layer & layer, int iRows)
{
   layer.Columns = 4;
   layer.Rows = iRows;
   layer.Width = 10;
   layer.Height = 10;
   layer.DataDiagramType = 1;
   layer.m_descriptionData.m_iLimit = 400;
   layer.PowerWatts = 400;
}

} // namespace

TEST(data_path_drawing, RunsAreStrokedApartAndNumberedFromOne)
{
   auto player = drawn_layer(3, 2, 1000000);
   draw_data_path(*player);
   EXPECT_EQ(path_indices(player->m_snakeData), (std::vector<long long>{1, 1, 1, 1, 1, 1}));
   EXPECT_EQ(pixel(*player, 40, 20), 0xFFFFFFFFu);
   EXPECT_EQ(pixel(*player, 100, 40), 0xFFFFFFFFu);
   EXPECT_EQ(pixel(*player, 40, 60), 0xFFFFFFFFu);
   EXPECT_EQ(pixel(*player, 40, 2), transparent);

   // Ports of two boxes: (0,0)-(1,0), (2,0)-(2,1), (1,1)-(0,1); no line joins two ports.
   player = drawn_layer(3, 2, 3200);
   draw_data_path(*player);
   EXPECT_EQ(path_indices(player->m_snakeData), (std::vector<long long>{1, 1, 2, 2, 3, 3}));
   EXPECT_EQ(pixel(*player, 40, 20), 0xFFFFFFFFu);
   EXPECT_EQ(pixel(*player, 80, 20), transparent);
   EXPECT_EQ(pixel(*player, 100, 40), 0xFFFFFFFFu);
   EXPECT_EQ(pixel(*player, 80, 60), transparent);
}

TEST(data_path_drawing, RandomColoursGiveEveryRunTheNextColour)
{
   auto player = drawn_layer(3, 2, 3200);
   player->m_descriptionData.m_iUseRandomColor = 1;
   draw_data_path(*player);
   EXPECT_EQ(pixel(*player, 40, 20), get_indexed_data_path_color(0).argb());
   EXPECT_EQ(pixel(*player, 100, 40), get_indexed_data_path_color(1).argb());
   EXPECT_EQ(pixel(*player, 40, 60), get_indexed_data_path_color(2).argb());
}

TEST(data_path_drawing, LineShiftMovesRunEndsOnlyAcrossTheirWay)
{
   // One run across a row: the first and last box move down only, the middle box right and down.
   auto player = drawn_layer(3, 1, 1000000);
   player->m_snakeData.m_fLineShiftX = 0.25f;
   player->m_snakeData.m_fLineShiftY = 0.25f;
   draw_data_path(*player);
   EXPECT_EQ(pixel(*player, 22, 30), 0xFFFFFFFFu);
   EXPECT_EQ(pixel(*player, 22, 20), transparent);
   EXPECT_EQ(pixel(*player, 85, 30), 0xFFFFFFFFu);
}

TEST(data_path_drawing, SkippedBoxesArePassedOverAndEmptyPathsDrawNothing)
{
   auto player = drawn_layer(3, 1, 1000000);
   player->DataDiagramType = 0;
   player->m_descriptionData.m_iCustomPath = 1;
   player->m_descriptionData.custom_paths = {{box_key(0, 0), box_key(1, 0), box_key(2, 0)}};
   player->ExcludeBoxes.add(box_key(1, 0));
   draw_data_path(*player);
   // The line runs straight from the first box to the last, not down through the middle.
   EXPECT_EQ(pixel(*player, 60, 20), 0xFFFFFFFFu);

   player->switch_all_exclude_boxes();
   player->m_descriptionData.m_iCustomPath = 0;
   player->request_offscreen(120, 40);
   draw_data_path(*player);
   EXPECT_TRUE(player->m_snakeData.m_boxes.empty());
   EXPECT_EQ(pixel(*player, 60, 20), transparent);
}

TEST(data_path_drawing, AFailedPathKeepsNoBoxesAndPassesTheMessageOn)
{
   auto player = drawn_layer(3, 1, 1000000);
   player->DataDiagramType = 0;
   draw_data_path(*player);
   ASSERT_EQ(player->m_snakeData.m_boxes.size(), 3u);
   player->m_descriptionData.m_iLimit = 100;
   EXPECT_THROW(draw_data_path(*player), std::runtime_error);
   EXPECT_TRUE(player->m_snakeData.m_boxes.empty());
}

// Runs count from 1 on the top layer down; hidden screen layers count, image layers do not, and
// every count is that of the layer as it is now, drawn or not.
TEST(run_numbering, RunsCountDownFromTheTopLayer)
{
   auto pglobal = make_pointer<Global>();
   auto pproject = make_pointer<project>(pglobal.get());
   pointer<boxes_layer> ptop = pproject->new_boxes_layer();
   pointer<boxes_layer> phidden = pproject->new_boxes_layer();
   pproject->new_image_layer();
   pointer<boxes_layer> pbottom = pproject->new_boxes_layer();
   ASSERT_EQ(pproject->get_layer(3), ptop.cast<app_layer>());
   set_rows(*ptop, 1);
   set_rows(*phidden, 3);
   phidden->set_hidden(true);
   set_rows(*pbottom, 2);

   EXPECT_EQ(ptop->calculate_base_path_index(true), 1);
   EXPECT_EQ(phidden->calculate_base_path_index(true), 2);
   EXPECT_EQ(pbottom->calculate_base_path_index(true), 5);
   // 1650 W circuits of four 400 W boxes: one per row as well.
   EXPECT_EQ(pbottom->calculate_base_path_index(false), 5);

   pbottom->m_descriptionData._draw_snake(nullptr, &pbottom->m_snakeData);
   EXPECT_EQ(path_indices(pbottom->m_snakeData), (std::vector<long long>{5, 5, 5, 5, 6, 6, 6, 6}));
   EXPECT_FALSE(pbottom->get_connector(&pbottom->m_snakeData, 4, true, false));
   pointer<connector> pfirst = pbottom->get_connector(&pbottom->m_snakeData, 5, true, false);
   ASSERT_TRUE(pfirst);
   EXPECT_EQ(pfirst->get_name_for_label(), "P5");
   EXPECT_EQ(pbottom->m_pconnectorsP->count(), 1);

   // A new row on the top layer moves the numbers below it at once; the bottom layer's first
   // connector follows its run.
   ptop->Rows = 2;
   EXPECT_EQ(pbottom->calculate_base_path_index(true), 6);
   EXPECT_EQ(pbottom->get_connector(&pbottom->m_snakeData, 6, true, false), pfirst);
   EXPECT_EQ(pfirst->get_name_for_label(), "P6");

   // A custom path on the hidden layer counts its paths.
   phidden->m_descriptionData.m_iCustomPath = 1;
   phidden->m_descriptionData.custom_paths = {{box_key(0, 0)}};
   EXPECT_EQ(pbottom->calculate_base_path_index(true), 4);

   // A layer of no document numbers from 1.
   boxes_layer loose;
   EXPECT_EQ(loose.calculate_base_path_index(true), 1);
}

// A frame build works the numbers out once, in one walk down the layers; they are those asked
// layer by layer, and while they are held every question is answered from them.
TEST(run_numbering, NumbersOfOneWalkAreThoseAskedLayerByLayerAndAreHeld)
{
   auto pglobal = make_pointer<Global>();
   auto pproject = make_pointer<project>(pglobal.get());
   std::vector<pointer<boxes_layer>> layers;
   for (int iRows : {2, 1, 3, 4})
   {
      layers.push_back(pproject->new_boxes_layer());
      set_rows(*layers.back(), iRows);
      pproject->new_image_layer();
   }
   layers[2]->set_hidden(true);
   const base_run_numbers_map numbers = pproject->calculate_base_run_numbers();
   ASSERT_EQ(numbers.size(), layers.size());
   for (const pointer<boxes_layer> & player : layers)
   {
      EXPECT_EQ(numbers.at(player.get()).m_iData, player->calculate_base_path_index(true));
      EXPECT_EQ(numbers.at(player.get()).m_iPower, player->calculate_base_path_index(false));
   }
   // New layers go under the others: the first made is on top.
   EXPECT_EQ(numbers.at(layers[0].get()).m_iData, 1);
   EXPECT_EQ(numbers.at(layers[3].get()).m_iData, 1 + 2 + 1 + 3);

   base_run_numbers_map held = numbers;
   held[layers[3].get()].m_iData = 77;
   {
      const project::base_run_numbers_hold hold(*pproject, held);
      EXPECT_EQ(layers[3]->calculate_base_path_index(true), 77);
   }
   EXPECT_EQ(layers[3]->calculate_base_path_index(true), 7);
}
