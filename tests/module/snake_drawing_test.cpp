#include <gtest/gtest.h>

#include <vector>

#include "document/boxes_layer.h"
#include "orvo/image.h"

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
