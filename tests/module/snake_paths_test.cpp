#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <stdexcept>
#include <vector>

#include "document/boxes_layer.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

using cell = std::pair<unsigned, unsigned>;
using runs = std::vector<std::vector<cell>>;

pointer<boxes_layer> grid(int iColumns, int iRows, int iWidth = 10, int iHeight = 10)
{
   auto player = make_pointer<boxes_layer>();
   player->Columns = iColumns;
   player->Rows = iRows;
   player->Width = iWidth;
   player->Height = iHeight;
   return player;
}

// Checks that every run has exactly one start, on its first box, and one end, on its last.
::testing::AssertionResult runs_are_well_formed(const std::vector<datagram::box> & boxes)
{
   for (std::size_t i = 0; i < boxes.size(); ++i)
   {
      const bool bOpensRun = i == 0 || boxes[i - 1].is_end();
      const bool bClosesRun = i + 1 == boxes.size() || boxes[i + 1].is_start();
      if (boxes[i].is_start() != bOpensRun || boxes[i].is_end() != bClosesRun)
      {
         return ::testing::AssertionFailure() << "box " << i << " of " << boxes.size() << " (" << boxes[i].m_uColumn << ","
                                              << boxes[i].m_uRow << ") start " << boxes[i].is_start() << " end " << boxes[i].is_end();
      }
   }
   return ::testing::AssertionSuccess();
}

runs runs_of(const std::vector<datagram::box> & boxes)
{
   EXPECT_TRUE(runs_are_well_formed(boxes));
   runs result;
   for (const auto & box : boxes)
   {
      if (box.is_start() || result.empty())
      {
         result.emplace_back();
      }
      result.back().emplace_back(box.m_uColumn, box.m_uRow);
   }
   return result;
}

runs data_runs(const boxes_layer & layer)
{
   return runs_of(layer.m_snakeData.current_boxes());
}

runs power_runs(const boxes_layer & layer)
{
   return runs_of(layer.m_snakePower.current_boxes());
}

// Random numbers for layers of every shape, pattern and rule.
struct random_layers
{
   explicit random_layers(unsigned uSeed) : m_engine(uSeed) {}

   int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_engine); }

   void pick_halves_and_rules(boxes_layer & layer)
   {
      layer.HalfColumns = static_cast<unsigned long>(pick(0, 15));
      layer.SkipBlankBoxes = pick(0, 1);
      layer.DataDiagramType = pick(0, 1);
      layer.PowerDiagramType = pick(0, 1);
      layer.m_descriptionData.m_iMode = pick(0, 7);
      layer.m_descriptionPower.m_iMode = pick(0, 7);
   }

   std::mt19937 m_engine;
};

} // namespace

TEST(data_path, EightPatternsOrderTheBoxesOfOneRun)
{
   const std::vector<cell> orders[8] = {
      {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}}, // rows
      {{2, 0}, {1, 0}, {0, 0}, {0, 1}, {1, 1}, {2, 1}}, // rows, from the last column
      {{0, 1}, {1, 1}, {2, 1}, {2, 0}, {1, 0}, {0, 0}}, // rows, from the last row
      {{2, 1}, {1, 1}, {0, 1}, {0, 0}, {1, 0}, {2, 0}}, // rows, both mirrors
      {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {2, 0}, {2, 1}}, // columns
      {{2, 0}, {2, 1}, {1, 1}, {1, 0}, {0, 0}, {0, 1}}, // columns, from the last column
      {{0, 1}, {0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 0}}, // columns, from the last row
      {{2, 1}, {2, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, // columns, both mirrors
   };
   for (int iDiagramType : {0, 1})
   {
      for (int iMode = 0; iMode < 8; ++iMode)
      {
         auto player = grid(3, 2);
         player->DataDiagramType = iDiagramType;
         player->m_descriptionData.m_iMode = iMode;
         player->PowerDiagramType = iDiagramType;
         player->m_descriptionPower.m_iMode = iMode;
         EXPECT_EQ(data_runs(*player), runs{orders[iMode]}) << "mode " << iMode << ", type " << iDiagramType;
         EXPECT_EQ(power_runs(*player), runs{orders[iMode]}) << "mode " << iMode << ", type " << iDiagramType;
      }
   }
}

TEST(data_path, PerBoxRuleFillsEachPortUpToTheLimit)
{
   auto player = grid(4, 3);
   player->DataDiagramType = 1;
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionData.m_iLimit = 350;
   // Ports of three boxes running on across the rows in serpentine order.
   EXPECT_EQ(data_runs(*player), (runs{{{0, 0}, {1, 0}, {2, 0}},
                                       {{3, 0}, {3, 1}, {2, 1}},
                                       {{1, 1}, {0, 1}, {0, 2}},
                                       {{1, 2}, {2, 2}, {3, 2}}}));
   // A full row is a port of its own, and every port starts from the initial side.
   player->m_descriptionData.m_iLimit = 400;
   EXPECT_EQ(data_runs(*player), (runs{{{0, 0}, {1, 0}, {2, 0}, {3, 0}},
                                       {{0, 1}, {1, 1}, {2, 1}, {3, 1}},
                                       {{0, 2}, {1, 2}, {2, 2}, {3, 2}}}));
   EXPECT_EQ(player->calculate_path_count(true), 3);
   // A box larger than the limit is a port of its own; the rule never fails.
   player->m_descriptionData.m_iLimit = 50;
   EXPECT_EQ(data_runs(*player).size(), 12u);
}

TEST(data_path, NovastarRuleTakesWholeLinesAndFailsOnALineOverTheLimit)
{
   auto player = grid(4, 3);
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionData.m_iLimit = 400;
   // Two rows would make a bounding area of 800 pixels: every row is a port.
   EXPECT_EQ(data_runs(*player), (runs{{{0, 0}, {1, 0}, {2, 0}, {3, 0}},
                                       {{0, 1}, {1, 1}, {2, 1}, {3, 1}},
                                       {{0, 2}, {1, 2}, {2, 2}, {3, 2}}}));
   player->m_descriptionData.m_iLimit = 800;
   EXPECT_EQ(data_runs(*player), (runs{{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {2, 1}, {1, 1}, {0, 1}},
                                       {{0, 2}, {1, 2}, {2, 2}, {3, 2}}}));
   player->m_descriptionData.m_iLimit = 350;
   try
   {
      player->m_snakeData.current_boxes();
      FAIL() << "a row of 400 pixels fits no port of 350";
   }
   catch (const std::runtime_error & error)
   {
      EXPECT_STREQ(error.what(), "Some panels consume more pixels then limit used.");
   }
   EXPECT_EQ(player->calculate_path_count(true), 0);
   // Asking again gives the same failure, not an empty path.
   EXPECT_THROW(player->m_snakeData.current_boxes(), std::runtime_error);
}

TEST(data_path, HalfRowsAndExclusionsChangeTheLoads)
{
   // The first row is half high: 50 pixels a box. A port break on the first box of a line still
   // ends the port before it.
   auto player = grid(4, 3);
   player->DataDiagramType = 1;
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionData.m_iLimit = 250;
   player->HalfColumns = 1 << e_half_first_row;
   EXPECT_EQ(data_runs(*player), (runs{{{0, 0}, {1, 0}, {2, 0}, {3, 0}},
                                       {{3, 1}, {2, 1}},
                                       {{1, 1}, {0, 1}},
                                       {{0, 2}, {1, 2}},
                                       {{2, 2}, {3, 2}}}));

   // The per-box rule leaves excluded boxes out whatever SkipBlankBoxes says; the Novastar rule
   // only when it is on.
   auto pexcluded = grid(4, 2);
   pexcluded->m_descriptionData.m_iMode = 0;
   pexcluded->m_descriptionData.m_iLimit = 250;
   pexcluded->ExcludeBoxes.add(box_key(1, 0));
   pexcluded->ExcludeBoxes.add(box_key(2, 1));
   pexcluded->SkipBlankBoxes = 0;
   pexcluded->DataDiagramType = 1;
   EXPECT_EQ(data_runs(*pexcluded), (runs{{{0, 0}, {2, 0}}, {{3, 0}, {3, 1}}, {{1, 1}, {0, 1}}}));
   pexcluded->DataDiagramType = 0;
   pexcluded->m_descriptionData.m_iLimit = 400;
   EXPECT_EQ(data_runs(*pexcluded)[0].size(), 4u);
   pexcluded->SkipBlankBoxes = 1;
   EXPECT_EQ(data_runs(*pexcluded), (runs{{{0, 0}, {2, 0}, {3, 0}}, {{0, 1}, {1, 1}, {3, 1}}}));
}

TEST(data_path, EmptyGridsHaveNoRunsAndDoNotFail)
{
   for (int iDiagramType : {0, 1})
   {
      auto player = grid(3, 2);
      player->DataDiagramType = iDiagramType;
      player->PowerDiagramType = iDiagramType;
      player->switch_all_exclude_boxes();
      EXPECT_TRUE(player->m_snakeData.current_boxes().empty());
      EXPECT_TRUE(player->m_snakePower.current_boxes().empty());
      EXPECT_EQ(player->calculate_path_count(true), 0);
      auto pzero = grid(3, 2, 0, 10);
      pzero->m_descriptionData.m_iCustomPath = 1;
      pzero->m_descriptionData.custom_paths = {{box_key(0, 0)}};
      EXPECT_TRUE(pzero->m_snakeData.current_boxes().empty());
      EXPECT_TRUE(pzero->m_snakePower.current_boxes().empty());
   }
}

TEST(data_path, CustomPathsAreRunsOfTheirOwnEvenOfOneBox)
{
   auto player = grid(4, 4);
   player->ExcludeBoxes.add(box_key(2, 2));
   player->m_descriptionData.m_iCustomPath = 1;
   player->m_descriptionData.m_iLimit = 1;
   player->m_descriptionData.custom_paths = {{box_key(3, 3)}, {box_key(0, 0), box_key(2, 2), box_key(0, 1)}, {}, {box_key(1, 1)}};
   EXPECT_EQ(data_runs(*player), (runs{{{3, 3}}, {{0, 0}, {2, 2}, {0, 1}}, {{1, 1}}}));
   EXPECT_EQ(player->calculate_path_count(true), 3);
   // The power path is still computed: 16 boxes of 200 W in circuits of 8.
   EXPECT_EQ(player->calculate_path_count(false), 2);
}

TEST(data_path, RunCountFollowsTheLayerAsItIsNow)
{
   auto player = grid(4, 3);
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionData.m_iLimit = 400;
   EXPECT_EQ(player->calculate_path_count(true), 3);
   player->Rows = 5;
   EXPECT_EQ(player->calculate_path_count(true), 5);
   player->ExcludeBoxes.add(box_key(0, 4));
   player->ExcludeBoxes.add(box_key(1, 4));
   player->ExcludeBoxes.add(box_key(2, 4));
   player->ExcludeBoxes.add(box_key(3, 4));
   EXPECT_EQ(player->calculate_path_count(true), 4);
   player->m_descriptionData.m_iMode = 4;
   EXPECT_EQ(player->calculate_path_count(true), 4);
   // The new columns 4 and 5 hold five boxes: no port of 400 pixels takes them.
   player->Columns = 6;
   EXPECT_EQ(player->calculate_path_count(true), 0);
   player->m_descriptionData.m_iLimit = 500;
   EXPECT_EQ(player->calculate_path_count(true), 6);
}

// Over many random layers: every run has one start and one end, every box that is not left
// out is on the path once, and a run of the per-box rule stays within the limit unless it is a
// single box.
TEST(data_path, RunsAreWellFormedOverRandomLayers)
{
   random_layers random(7);
   auto pick = [&](int lo, int hi) { return random.pick(lo, hi); };
   for (int iCase = 0; iCase < 3000; ++iCase)
   {
      auto player = grid(pick(0, 7), pick(0, 6), pick(1, 12), pick(1, 12));
      random.pick_halves_and_rules(*player);
      player->m_descriptionData.m_iLimit = pick(-5, 800);
      player->PowerVolts = pick(0, 20);
      player->WireAmps = pick(0, 20);
      player->PowerWatts = pick(1, 60);
      for (int i = pick(0, 12); i > 0; --i)
      {
         player->ExcludeBoxes.add(box_key(static_cast<std::uint32_t>(pick(0, 7)), static_cast<std::uint32_t>(pick(0, 6))));
      }
      for (snake * psnake : {&player->m_snakeData, &player->m_snakePower})
      {
         // Data: type 0 takes whole lines; power: type 0 fills circuits box by box.
         const bool bPerBox = psnake == &player->m_snakeData ? player->DataDiagramType != 0 : player->PowerDiagramType == 0;
         std::vector<datagram::box> boxes;
         try
         {
            boxes = psnake->current_boxes();
         }
         catch (const std::runtime_error &)
         {
            EXPECT_FALSE(bPerBox) << "only the whole-line rule fails";
            continue;
         }
         ASSERT_TRUE(runs_are_well_formed(boxes)) << "case " << iCase;
         // Numbered, the runs of a layer without a document take 1, 2, 3, ...
         psnake->m_pdescription->_draw_snake(nullptr, psnake);
         long long llRun = 0;
         for (const auto & box : psnake->m_boxes)
         {
            llRun += box.is_start() ? 1 : 0;
            ASSERT_EQ(box.m_iPathIndex, llRun) << "case " << iCase;
         }
         EXPECT_EQ(llRun, (psnake == &player->m_snakeData ? player->calculate_path_count(true) : player->calculate_path_count(false)));
         std::multiset<int> keys;
         for (const auto & box : boxes)
         {
            keys.insert(box.key());
         }
         long long llExpected = 0;
         for (int c = 0; c < player->Columns; ++c)
         {
            for (int r = 0; r < player->Rows; ++r)
            {
               const datagram::box box = player->box_from_key(box_key(c, r));
               const bool bLeftOut = bPerBox ? player->ExcludeBoxes.contains(box.key()) : player->should_skip_box(box);
               EXPECT_EQ(keys.count(box.key()), bLeftOut ? 0u : 1u) << "case " << iCase;
               llExpected += bLeftOut ? 0 : 1;
            }
         }
         EXPECT_EQ(static_cast<long long>(boxes.size()), llExpected) << "case " << iCase;
         if (bPerBox)
         {
            const long long llLimit =
               psnake == &player->m_snakeData ? player->m_descriptionData.m_iLimit : static_cast<long long>(player->PowerVolts) * player->WireAmps;
            for (const auto & run : runs_of(boxes))
            {
               long long llLoad = 0;
               for (const auto & [c, r] : run)
               {
                  llLoad += psnake == &player->m_snakeData ? player->box_from_key(box_key(c, r)).pixel_count() : player->PowerWatts;
               }
               EXPECT_TRUE(run.size() == 1 || llLoad <= llLimit) << "case " << iCase;
            }
         }
      }
   }
}

// A path that is not built is counted line by line from the grid's sizes. Over many random
// grids without boxes left out (stale keys outside the grid may stay), every pattern and rule,
// and limits around multiples of the box loads, that count is the built path's.
TEST(data_path, RunCountWithoutBuildingIsTheBuiltPathsCount)
{
   random_layers random(11);
   auto pick = [&](int lo, int hi) { return random.pick(lo, hi); };
   for (int iCase = 0; iCase < 4000; ++iCase)
   {
      const int iColumns = pick(0, 3) == 0 ? pick(1, 40) : pick(1, 6);
      const int iRows = pick(0, 3) == 0 ? pick(1, 40) : pick(1, 6);
      auto player = grid(iColumns, iRows, pick(1, 9), pick(1, 9));
      random.pick_halves_and_rules(*player);
      const int iBoxPixels = player->Width * player->Height;
      player->m_descriptionData.m_iLimit = pick(0, 4) == 0 ? pick(-3, 3) : iBoxPixels * pick(1, 12) + pick(-2, 2) - pick(0, 1) * iBoxPixels / 2;
      player->PowerWatts = pick(-3, 40);
      player->PowerVolts = pick(-2, 12);
      player->WireAmps = pick(0, 12);
      if (pick(0, 3) == 0)
      {
         player->ExcludeBoxes.add(box_key(static_cast<std::uint32_t>(iColumns), 0));
      }
      for (snake * psnake : {&player->m_snakeData, &player->m_snakePower})
      {
         // Counted, not built: a count that fails throws as the build does.
         try
         {
            ASSERT_TRUE(psnake->m_pdescription->count_runs(psnake).has_value());
         }
         catch (const std::runtime_error &)
         {
         }
         const long long llCounted = player->calculate_path_count(psnake == &player->m_snakeData);
         long long llBuilt = 0;
         try
         {
            llBuilt = static_cast<long long>(runs_of(psnake->current_boxes()).size());
         }
         catch (const std::runtime_error &)
         {
         }
         ASSERT_EQ(llCounted, llBuilt) << "case " << iCase << (psnake == &player->m_snakeData ? " data" : " power");
      }
   }
}

TEST(power_path, MaximizePowerUseFillsEachCircuitWithBoxes)
{
   // 110 V x 15 A = 1650 W: circuits of 8 boxes of 200 W, running on across the rows.
   auto player = grid(5, 4);
   player->m_descriptionPower.m_iMode = 0;
   const runs circuits = power_runs(*player);
   ASSERT_EQ(circuits.size(), 3u);
   EXPECT_EQ(circuits[0].size(), 8u);
   EXPECT_EQ(circuits[1].size(), 8u);
   EXPECT_EQ(circuits[1][0], (cell{1, 1}));
   EXPECT_EQ(circuits[2].size(), 4u);
   // Excluded boxes are left out even while SkipBlankBoxes is off.
   player->SkipBlankBoxes = 0;
   player->ExcludeBoxes.add(box_key(0, 0));
   EXPECT_EQ(power_runs(*player)[0].front(), (cell{1, 0}));
}

TEST(power_path, OrganizedTakesWholeLinesByWatts)
{
   auto player = grid(4, 3);
   player->PowerDiagramType = 1;
   player->m_descriptionPower.m_iMode = 0;
   // 1650 W: two rows of four boxes (1600 W, eight box places) share a circuit.
   EXPECT_EQ(power_runs(*player).size(), 2u);
   EXPECT_EQ(player->calculate_path_count(false), 2);
   // A row of 4 x 500 W fits no circuit.
   player->PowerWatts = 500;
   EXPECT_THROW(player->m_snakePower.current_boxes(), std::runtime_error);
   EXPECT_EQ(player->calculate_path_count(false), 0);
}

TEST(power_path, TotalCurrentCountsTheBoxesNotLeftOut)
{
   auto player = grid(10, 5);
   EXPECT_NEAR(player->calculate_power(), 52.486, 0.0005);
   for (int i = 0; i < 5; ++i)
   {
      player->ExcludeBoxes.add(box_key(static_cast<std::uint32_t>(i), 0));
   }
   // A stale key outside the grid takes no box away.
   player->ExcludeBoxes.add(box_key(40, 40));
   EXPECT_FLOAT_EQ(player->calculate_power(), 200.f * 45.f / (std::sqrt(3.f) * 110.f));
   player->SkipBlankBoxes = 0;
   EXPECT_FLOAT_EQ(player->calculate_power(), 200.f * 50.f / (std::sqrt(3.f) * 110.f));
   player->PowerPhases = 0;
   EXPECT_EQ(player->calculate_power(), 0.f);
   player->PowerPhases = 1;
   player->PowerVolts = -110;
   EXPECT_EQ(player->calculate_power(), 0.f);
   player->PowerVolts = 110;
   player->Width = 0;
   EXPECT_EQ(player->calculate_power(), 0.f);
}
