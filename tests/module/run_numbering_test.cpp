#include <gtest/gtest.h>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "zelui/in_place_edit_array.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

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
