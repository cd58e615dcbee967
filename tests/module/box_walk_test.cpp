#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

#include "core/Global.h"
#include "document/boxes_layer.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

struct visited_box
{
   float x1, y1, x2, y2;
   unsigned column, row;
   bool operator==(const visited_box &) const = default;
};

std::vector<visited_box> walk(const boxes_layer & layer, bool bByColumns)
{
   std::vector<visited_box> boxes;
   layer.m_descriptionData.for_each_box(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int iIndex) {
         EXPECT_EQ(iIndex, -1);
         boxes.push_back({x1, y1, x2, y2, uColumn, uRow});
         return false;
      },
      &layer.m_snakeData, bByColumns);
   return boxes;
}

pointer<boxes_layer> grid(int iColumns, int iRows, int iWidth, int iHeight, unsigned long ulHalf = 0)
{
   auto player = make_pointer<boxes_layer>();
   player->Columns = iColumns;
   player->Rows = iRows;
   player->Width = iWidth;
   player->Height = iHeight;
   player->HalfColumns = ulHalf;
   return player;
}

std::vector<std::pair<float, float>> column_spans(const boxes_layer & layer)
{
   std::vector<std::pair<float, float>> spans;
   for (const auto & box : walk(layer, true))
   {
      if (box.row == 0)
      {
         spans.emplace_back(box.x1, box.x2);
      }
   }
   return spans;
}

// The key of the box a click at (x, y) excludes, if any; the exclusion is taken back.
std::optional<int> box_clicked(boxes_layer & layer, float x, float y)
{
   layer.trigger_for_exclude_boxes(x, y);
   std::optional<int> oiKey;
   for (const int iKey : layer.ExcludeBoxes)
   {
      oiKey = iKey;
   }
   layer.ExcludeBoxes.clear();
   return oiKey;
}

} // namespace

TEST(box_walk, HalfColumnsShiftLaterColumnsAndNarrowTheEdges)
{
   using spans = std::vector<std::pair<float, float>>;
   EXPECT_EQ(column_spans(*grid(3, 2, 100, 50, 0b0011)), (spans{{0, 50}, {50, 150}, {150, 200}}));
   EXPECT_EQ(column_spans(*grid(3, 2, 100, 50, 0b0001)), (spans{{0, 50}, {50, 150}, {150, 250}}));
   EXPECT_EQ(column_spans(*grid(1, 1, 100, 50, 0b0011)), (spans{{0, 50}}));
   // Half rows follow the same rule with the row bits.
   const auto boxes = walk(*grid(1, 3, 10, 40, 0b1100), false);
   ASSERT_EQ(boxes.size(), 3u);
   EXPECT_EQ(boxes[0], (visited_box{0, 0, 10, 20, 0, 0}));
   EXPECT_EQ(boxes[1], (visited_box{0, 20, 10, 60, 0, 1}));
   EXPECT_EQ(boxes[2], (visited_box{0, 60, 10, 80, 0, 2}));
}

TEST(box_walk, OrderIsRowsOrColumnsAlwaysCountingUpAndStopsWhenAsked)
{
   auto player = grid(2, 2, 10, 10);
   player->ExcludeBoxes.add(box_key(1, 1));
   player->SkipBlankBoxes = 1;
   std::vector<std::pair<unsigned, unsigned>> rows, columns;
   for (const auto & box : walk(*player, false))
   {
      rows.emplace_back(box.column, box.row);
   }
   for (const auto & box : walk(*player, true))
   {
      columns.emplace_back(box.column, box.row);
   }
   using order = std::vector<std::pair<unsigned, unsigned>>;
   EXPECT_EQ(rows, (order{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
   EXPECT_EQ(columns, (order{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));

   int iVisited = 0;
   const bool bStopped = player->m_descriptionData.for_each_box(
      [&](float, float, float, float, std::uint16_t, std::uint16_t, int) { return ++iVisited == 2; }, &player->m_snakeData, false);
   EXPECT_TRUE(bStopped);
   EXPECT_EQ(iVisited, 2);
}

TEST(box_walk, EmptyGridVisitsNothing)
{
   for (const auto & [iColumns, iRows] : {std::pair{0, 5}, std::pair{5, 0}})
   {
      auto player = grid(iColumns, iRows, 10, 10);
      EXPECT_TRUE(walk(*player, false).empty());
      EXPECT_TRUE(walk(*player, true).empty());
      EXPECT_TRUE(player->hit_test({0, 0, 100, 100}).empty());
   }
}

// Boxes of no pixels on the largest grid would be billions of visits: such a layer has no boxes.
TEST(box_walk, ZeroSizeBoxesMakeAGridWithoutBoxes)
{
   for (const auto & [iWidth, iHeight] : {std::pair{0, 10}, std::pair{10, 0}})
   {
      auto player = grid(boxes_layer::max_grid_count, boxes_layer::max_grid_count, iWidth, iHeight);
      EXPECT_TRUE(walk(*player, false).empty());
      EXPECT_TRUE(walk(*player, true).empty());
      EXPECT_TRUE(player->hit_test({-10, -10, 100, 100}).empty());
      EXPECT_FALSE(player->trigger_for_exclude_boxes(0, 0));
      EXPECT_EQ(player->box_count(), 0);
      player->ExcludeBoxes.add(box_key(1, 1));
      player->switch_all_exclude_boxes();
      EXPECT_TRUE(player->ExcludeBoxes.is_empty());
      player->switch_all_exclude_boxes();
      EXPECT_TRUE(player->ExcludeBoxes.is_empty());
   }
}

TEST(box_walk, KeyRuleGivesTheWalksRectangleForEveryBox)
{
   for (unsigned long ulHalf = 0; ulHalf < 16; ++ulHalf)
   {
      for (const auto & [iColumns, iRows] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{7, 4}})
      {
         auto player = grid(iColumns, iRows, 33, 17, ulHalf);
         for (const auto & visited : walk(*player, false))
         {
            const datagram::box box = player->box_from_key(box_key(visited.column, visited.row));
            EXPECT_EQ((visited_box{box.m_fX1, box.m_fY1, box.m_fX2, box.m_fY2, box.m_uColumn, box.m_uRow}), visited)
               << "half bits " << ulHalf << ", box " << visited.column << "," << visited.row;
            EXPECT_EQ(box.m_iPathIndex, -1);
            EXPECT_FALSE(box.m_obStart.has_value() || box.m_obEnd.has_value());
         }
      }
   }
}

TEST(box_walk, KeysHoldColumnHighAndRowLow)
{
   EXPECT_EQ(box_key(1, 1), 65537);
   EXPECT_EQ(box_key_column(box_key(65535, 3)), 65535u);
   EXPECT_EQ(box_key_row(box_key(65535, 3)), 3u);
   datagram::box box;
   box.m_uColumn = 2;
   box.m_uRow = 3;
   box.m_fX2 = 1.5f;
   box.m_fY2 = 2.5f;
   EXPECT_EQ(box.key(), (2 << 16) | 3);
   EXPECT_EQ(box.pixel_count(), 4u);
}

TEST(hit_test, OverlappingBoxesInRowOrderAndTouchingEdgesMiss)
{
   auto player = grid(3, 2, 100, 50);
   EXPECT_EQ(player->hit_test({150, 0, 250, 60}), (std::vector<int>{box_key(1, 0), box_key(2, 0), box_key(1, 1), box_key(2, 1)}));
   EXPECT_TRUE(player->hit_test({300, 0, 400, 50}).empty());
   EXPECT_EQ(player->hit_test({0, 50, 100, 100}), (std::vector<int>{box_key(0, 1)}));
   // Excluded boxes are still hit.
   player->ExcludeBoxes.add(box_key(0, 1));
   EXPECT_EQ(player->hit_test({0, 50, 100, 100}), (std::vector<int>{box_key(0, 1)}));
}

TEST(hit_test, LargestGridFindsItsBoxesAtOnce)
{
   auto player = grid(boxes_layer::max_grid_count, boxes_layer::max_grid_count, 1, 1);
   EXPECT_EQ(player->hit_test({65000, 30000, 65002, 30001}), (std::vector<int>{box_key(65000, 30000), box_key(65001, 30000)}));
   EXPECT_EQ(player->hit_test({0, 0, 1, 1}), (std::vector<int>{box_key(0, 0)}));
   EXPECT_TRUE(player->hit_test({70000, 0, 70010, 5}).empty());
   EXPECT_EQ(box_clicked(*player, 40000.25f, 123.75f), box_key(40000, 123));
}

// The search by edges finds what a walk of every box finds, in the same order, also where the
// edges are too large for a float to hold exactly and where half lines make the edges uneven.
TEST(hit_test, SearchGivesWhatTheWholeWalkGives)
{
   std::mt19937 random(7);
   for (const unsigned long ulHalf : {0ul, 0b0101ul, 0b1010ul, 0b1111ul})
   {
      for (const int iSize : {1, 3, 100, boxes_layer::max_box_size})
      {
         auto player = grid(1500, 7, iSize, iSize, ulHalf);
         const std::vector<visited_box> boxes = walk(*player, false);
         std::uniform_int_distribution<int> coordinate(-iSize, 1500 * iSize + iSize);
         for (int i = 0; i < 100; ++i)
         {
            int x1 = coordinate(random), x2 = coordinate(random);
            const int y1 = std::uniform_int_distribution<int>(-iSize, 8 * iSize)(random);
            const rectangle_type<int> rectangle{std::min(x1, x2), y1, std::max(x1, x2), y1 + iSize};
            std::vector<int> expected;
            std::optional<int> oiFound;
            const float x = static_cast<float>(x1) + 0.5f;
            const float y = static_cast<float>(y1) + 0.25f;
            for (const visited_box & box : boxes)
            {
               if (!(rectangle.right <= static_cast<int>(box.x1) || rectangle.left >= static_cast<int>(box.x2) ||
                     rectangle.bottom <= static_cast<int>(box.y1) || rectangle.top >= static_cast<int>(box.y2)))
               {
                  expected.push_back(box_key(box.column, box.row));
               }
               if (!oiFound && box.x1 < x && x < box.x2 && box.y1 < y && y < box.y2)
               {
                  oiFound = box_key(box.column, box.row);
               }
            }
            ASSERT_EQ(player->hit_test(rectangle), expected) << ulHalf << " " << iSize << " " << x1 << "," << y1;
            ASSERT_EQ(box_clicked(*player, x, y), oiFound) << ulHalf << " " << iSize << " " << x << "," << y;
         }
      }
   }
}

TEST(should_skip_box, OnlyExcludedBoxesAndOnlyWhileSkippingIsOn)
{
   auto player = grid(2, 2, 10, 10);
   player->ExcludeBoxes.add(box_key(1, 0));
   player->SkipBlankBoxes = 0;
   EXPECT_FALSE(player->should_skip_box(player->box_from_key(box_key(1, 0))));
   player->SkipBlankBoxes = 5;
   EXPECT_TRUE(player->should_skip_box(player->box_from_key(box_key(1, 0))));
   EXPECT_FALSE(player->should_skip_box(player->box_from_key(box_key(0, 0))));
}

TEST(excluded_boxes, PointInsideTogglesThePointOnABorderDoesNothing)
{
   auto pglobal = make_pointer<Global>();
   auto player = grid(3, 2, 100, 50);
   player->set_controller(pglobal.get());
   EXPECT_FALSE(player->trigger_for_exclude_boxes(100, 25));
   EXPECT_FALSE(player->trigger_for_exclude_boxes(50, 50));
   EXPECT_FALSE(player->trigger_for_exclude_boxes(500, 25));
   EXPECT_TRUE(player->ExcludeBoxes.is_empty());
   EXPECT_FALSE(pglobal->take_changed());

   EXPECT_FALSE(player->trigger_for_exclude_boxes(150, 75));
   EXPECT_TRUE(player->ExcludeBoxes.contains(box_key(1, 1)));
   EXPECT_TRUE(pglobal->take_changed());
   EXPECT_TRUE(player->trigger_for_exclude_boxes(150, 75));
   EXPECT_TRUE(player->ExcludeBoxes.is_empty());
}

TEST(excluded_boxes, SwitchAllExcludesEverythingOrBringsAllBack)
{
   auto player = grid(3, 2, 100, 50);
   player->ExcludeBoxes.add(box_key(0, 0));
   player->switch_all_exclude_boxes();
   EXPECT_EQ(player->ExcludeBoxes.count(), 6);
   player->switch_all_exclude_boxes();
   EXPECT_TRUE(player->ExcludeBoxes.is_empty());
}

TEST(excluded_boxes, SwitchAllIgnoresStaleKeysOutsideTheGrid)
{
   auto player = grid(8, 2, 100, 50);
   player->switch_all_exclude_boxes();
   player->ExcludeBoxes.erase(box_key(0, 0));
   player->Columns = 3;
   // Six boxes in the grid, five of them excluded, and ten stale keys: exclude all.
   ASSERT_GE(player->ExcludeBoxes.count(), 6);
   player->switch_all_exclude_boxes();
   EXPECT_EQ(player->ExcludeBoxes.count(), 6);
   EXPECT_TRUE(player->ExcludeBoxes.contains(box_key(0, 0)));
}

TEST(custom_paths, ClicksAddBoxesOnceAndRemovingCutsThePathFromThere)
{
   auto player = grid(4, 1, 10, 10);
   snake * psnake = &player->m_snakeData;
   auto & paths = player->m_descriptionData.custom_paths;
   player->trigger_for_override_path(psnake, 5, 5, true);
   EXPECT_TRUE(paths.empty());
   player->trigger_for_override_path(psnake, 5, 5, false);
   player->trigger_for_override_path(psnake, 15, 5, false);
   player->trigger_for_override_path(psnake, 25, 5, false);
   player->trigger_for_override_path(psnake, 15, 5, false);
   player->trigger_for_override_path(psnake, 10, 5, false);
   const int a = box_key(0, 0), b = box_key(1, 0), c = box_key(2, 0), d = box_key(3, 0);
   EXPECT_EQ(paths, (std::vector<std::vector<int>>{{a, b, c}}));

   paths.emplace_back();
   player->trigger_for_override_path(psnake, 35, 5, false);
   EXPECT_EQ(paths, (std::vector<std::vector<int>>{{a, b, c}, {d}}));
   player->trigger_for_override_path(psnake, 25, 5, true);
   EXPECT_EQ(paths, (std::vector<std::vector<int>>{{a, b}, {d}}));
   player->trigger_for_override_path(psnake, 5, 5, true);
   EXPECT_EQ(paths, (std::vector<std::vector<int>>{{d}}));

   // The power path keeps its own custom paths.
   player->trigger_for_override_path(&player->m_snakePower, 5, 5, false);
   EXPECT_EQ(player->m_descriptionPower.custom_paths, (std::vector<std::vector<int>>{{a}}));
   EXPECT_EQ(paths, (std::vector<std::vector<int>>{{d}}));
}

TEST(custom_paths, TextRoundTripsAndFollowsItsSplittingRules)
{
   snake_description description;
   EXPECT_TRUE(description.set_custom_path_string("1,2,65537|3"));
   EXPECT_EQ(description.custom_paths, (std::vector<std::vector<int>>{{1, 2, 65537}, {3}}));
   EXPECT_EQ(description.get_custom_path_string(), "1,2,65537|3");

   EXPECT_TRUE(description.set_custom_path_string(""));
   EXPECT_TRUE(description.custom_paths.empty());
   // Keys that are not a number and nothing more are read as far as they go, and said so.
   EXPECT_FALSE(description.set_custom_path_string(" -4,x,7y| "));
   EXPECT_EQ(description.custom_paths, (std::vector<std::vector<int>>{{-4, 0, 7}, {0}}));
   for (const char * pszNotWhole : {"12abc", "inf", "1,2147483648", "5,", "+"})
   {
      EXPECT_FALSE(description.set_custom_path_string(pszNotWhole)) << pszNotWhole;
   }
   EXPECT_TRUE(description.set_custom_path_string(" +7 ,-2147483648|"));

   // Nothing between two separators, or after the last one, is an empty path, not key 0.
   EXPECT_FALSE(description.set_custom_path_string("1||2,,3|"));
   EXPECT_EQ(description.custom_paths, (std::vector<std::vector<int>>{{1}, {}, {2, 0, 3}, {}}));
   EXPECT_EQ(description.get_custom_path_string(), "1||2,0,3|");

   description.custom_paths = {{}, {5}, {}};
   EXPECT_EQ(description.get_custom_path_string(), "5|");
   description.set_custom_path_string(description.get_custom_path_string());
   EXPECT_EQ(description.custom_paths, (std::vector<std::vector<int>>{{5}, {}}));
}

TEST(custom_paths, LargestColumnAndRowAndClippingToASmallerGrid)
{
   snake_description description;
   EXPECT_EQ(description.get_max_override_col(), -1);
   description.custom_paths = {{}};
   EXPECT_EQ(description.get_max_override_row(), -1);

   description.custom_paths = {{box_key(0, 0), box_key(4, 1)}, {}, {box_key(2, 6)}, {box_key(1, 1)}};
   EXPECT_EQ(description.get_max_override_col(), 4);
   EXPECT_EQ(description.get_max_override_row(), 6);
   description.clear_by_max_cols(4);
   EXPECT_EQ(description.custom_paths, (std::vector<std::vector<int>>{{}, {box_key(2, 6)}, {box_key(1, 1)}}));
   description.clear_by_max_rows(2);
   EXPECT_EQ(description.custom_paths, (std::vector<std::vector<int>>{{}, {box_key(1, 1)}}));
}
