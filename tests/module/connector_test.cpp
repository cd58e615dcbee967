#include <gtest/gtest.h>

#include "document/boxes_layer.h"
#include "document/connector.h"
#include "orvo/image.h"
#include "orvo/payload.h"
#include "zelui/in_place_edit_array.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

pointer<boxes_layer> attached_layer()
{
   auto player = make_pointer<boxes_layer>();
   player->initialize(nullptr);
   return player;
}

// A row of square boxes, labels 10 pixels high.
pointer<boxes_layer> attached_row(int iColumns, int iBoxSize)
{
   auto player = attached_layer();
   player->Columns = iColumns;
   player->Rows = 1;
   player->Width = iBoxSize;
   player->Height = iBoxSize;
   player->LabelFontSize = 10;
   player->m_descriptionData.m_iMode = 0;
   player->m_descriptionPower.m_iMode = 0;
   return player;
}

using names = std::vector<string_base>;

} // namespace

TEST(connector, DefaultNamesNumberTheRunsAndPowerRunsInGroupsOfSix)
{
   auto player = attached_layer();
   connector data(&player->m_snakeData);
   data.m_iIndex = 3;
   EXPECT_EQ(data.get_name_for_label(), "P3");
   data.m_bEnd = true;
   EXPECT_EQ(data.get_name_for_label(), "R3");
   connector power(&player->m_snakePower);
   const std::pair<long long, const char *> expected[] = {{1, "S1-1"}, {6, "S1-6"}, {7, "S2-1"}, {12, "S2-6"}, {13, "S3-1"}};
   for (const auto & [index, pszName] : expected)
   {
      power.m_iIndex = index;
      EXPECT_EQ(power.get_name_for_label(), pszName);
   }
   power._set_raw_name("Feed A");
   EXPECT_EQ(power.get_name_for_label(), "Feed A");
   EXPECT_EQ(power.get_name_for_editing(), "Feed A");
   power._set_raw_name("");
   EXPECT_EQ(power.get_name_for_editing(), "S3-1");
}

TEST(connector, MadeOnDemandInTheSlotOfTheirRun)
{
   auto player = attached_layer();
   player->PConnectorNames = {"", "Port B"};
   pointer<connector> pconnector = player->get_connector(&player->m_snakeData, 2, true, false);
   ASSERT_TRUE(pconnector);
   EXPECT_EQ(pconnector->m_iIndex, 2);
   EXPECT_TRUE(pconnector->is_start_connector(2));
   EXPECT_EQ(pconnector->_get_raw_name(), "Port B");
   EXPECT_EQ(player->m_pconnectorsP->count(), 2);
   EXPECT_EQ(player->m_pconnectorsP->element_at(0), nullptr);
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 2, true, false), pconnector);
   // End wins over start on the data path.
   pointer<connector> pend = player->get_connector(&player->m_snakeData, 2, true, true);
   ASSERT_TRUE(pend);
   EXPECT_TRUE(pend->is_end_connector(2));
   EXPECT_EQ(player->m_pconnectorsR->count(), 2);

   EXPECT_FALSE(player->get_connector(&player->m_snakeData, 0, true, false));
   EXPECT_FALSE(player->get_connector(&player->m_snakeData, -4, false, true));
   EXPECT_FALSE(player->get_connector(&player->m_snakeData, 3, false, false));
   EXPECT_FALSE(player->get_connector(&player->m_snakePower, 3, false, true));
   EXPECT_TRUE(player->get_connector(&player->m_snakePower, 3, true, false));
}

TEST(connector, NameListsRoundTripWithEmptySlots)
{
   auto player = attached_layer();
   player->get_connector(&player->m_snakeData, 3, true, false)->_set_raw_name("Third");
   player->write_p_connectors();
   EXPECT_EQ(player->PConnectorNames, (names{"", "", "Third"}));

   player->PConnectorNames = {"A", "", "C"};
   player->RConnectorNames = {"", "R two"};
   player->SConnectorNames = {"Mains"};
   player->on_read_app_layer();
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 1, true, false)->get_name_for_label(), "A");
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 2, true, false)->get_name_for_label(), "P2");
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 2, false, true)->get_name_for_label(), "R two");
   EXPECT_EQ(player->get_connector(&player->m_snakePower, 1, true, false)->get_name_for_label(), "Mains");

   // Through the layer's text into a new layer and back.
   auto pcopy = attached_layer();
   pcopy->apply_layer_info(player->get_layer_info());
   pcopy->write_p_connectors();
   pcopy->write_r_connectors();
   pcopy->write_s_connectors();
   EXPECT_EQ(pcopy->PConnectorNames, (names{"A", "", "C"}));
   EXPECT_EQ(pcopy->RConnectorNames, (names{"", "R two"}));
   EXPECT_EQ(pcopy->SConnectorNames, (names{"Mains"}));

   // A shorter list leaves no old names behind in the connectors beyond it.
   pcopy->PConnectorNames = {"Only"};
   pcopy->read_p_connectors();
   pcopy->write_p_connectors();
   EXPECT_EQ(pcopy->PConnectorNames, (names{"Only", "", ""}));
}

TEST(connector, ClonesHaveTheirOwnConnectors)
{
   auto player = attached_layer();
   player->RConnectorNames = {"Back"};
   player->read_r_connectors();
   auto pclone = player->clone().cast<boxes_layer>();
   ASSERT_TRUE(pclone);
   pointer<connector> pmine = player->get_connector(&player->m_snakeData, 1, false, true);
   pointer<connector> ptheirs = pclone->get_connector(&pclone->m_snakeData, 1, false, true);
   ASSERT_TRUE(ptheirs);
   EXPECT_NE(pmine, ptheirs);
   EXPECT_EQ(ptheirs->_get_raw_name(), "Back");
   EXPECT_EQ(ptheirs->m_psnake, &pclone->m_snakeData);
}

TEST(connector, EditingRewritesOnlyTheMatchingList)
{
   auto player = attached_layer();
   player->PConnectorNames = {"P kept"};
   player->SConnectorNames = {"S kept"};
   player->read_p_connectors();
   player->read_s_connectors();
   player->has_changed();
   pointer<connector> pend = player->get_connector(&player->m_snakeData, 1, false, true);
   pend->set_edit_payload(payload("Return 1"));
   pend->set_need_update();
   EXPECT_EQ(player->RConnectorNames, (names{"Return 1"}));
   EXPECT_EQ(player->PConnectorNames, (names{"P kept"}));
   EXPECT_EQ(player->SConnectorNames, (names{"S kept"}));
   EXPECT_TRUE(player->has_changed());
   pointer<connector> ppower = player->get_connector(&player->m_snakePower, 1, true, false);
   ppower->set_edit_payload(payload("Feed"));
   EXPECT_EQ(player->SConnectorNames, (names{"Feed"}));
   EXPECT_EQ(player->RConnectorNames, (names{"Return 1"}));
}

TEST(connector, EditRectangleLeavesRoomToType)
{
   auto player = attached_layer();
   player->Width = 20;
   connector label(&player->m_snakeData);
   label.set_label({10, 20, 30, 40}, "P1");
   EXPECT_EQ(label.get_edit_rectangle(nullptr), (rectangle_type<float>{10, 20, 50, 40}));
   player->Width = 128;
   EXPECT_EQ(label.get_edit_rectangle(nullptr), (rectangle_type<float>{10, 20, 70, 40}));
}

TEST(connector, LabelsAreFoundOnlyOnShownPaths)
{
   auto player = attached_layer();
   player->get_connector(&player->m_snakeData, 1, true, false)->set_label({0, 0, 10, 10}, "P1");
   player->get_connector(&player->m_snakePower, 1, true, false)->set_label({20, 0, 30, 10}, "S1-1");
   EXPECT_EQ(player->hit_test_connector_label({5, 5}, nullptr)->get_name_for_label(), "P1");
   EXPECT_EQ(player->hit_test_connector_label({25, 5}, nullptr)->get_name_for_label(), "S1-1");
   EXPECT_FALSE(player->hit_test_connector_label({15, 5}, nullptr));
   player->DrawSnake = 0;
   player->DrawPowerSnake = 0;
   EXPECT_FALSE(player->hit_test_connector_label({5, 5}, nullptr));
   EXPECT_FALSE(player->hit_test_connector_label({25, 5}, nullptr));
   player->has_changed();
   EXPECT_FALSE(player->on_end_edit_all_connectors());
   EXPECT_FALSE(player->has_changed());
}

TEST(connector, ArrowsCarryTheLabelsOfTheirRuns)
{
   // Ports of two boxes of 40 x 40 on a row of three: (0,0)-(1,0) and (2,0) alone.
   auto player = attached_row(3, 40);
   player->DataDiagramType = 1;
   player->m_descriptionData.m_iLimit = 3200;
   player->request_offscreen(120, 40);
   player->m_descriptionData._draw_snake(nullptr, &player->m_snakeData);
   player->m_snakeData.m_iArrowHalfSize = 4;
   player->m_descriptionData._draw_snake_triangles(nullptr, &player->m_snakeData);
   const image::image & image = *player->get_offscreen();
   EXPECT_EQ(image.pixel(19, 20), 0xFF00FF00u) << "start arrow";
   EXPECT_EQ(image.pixel(60, 20), 0xFFFF0000u) << "end arrow";

   // The start label stands left of the right-pointing arrow, the end label right of the
   // left-pointing one.
   pointer<connector> pstart = player->get_connector(&player->m_snakeData, 1, true, false);
   pointer<connector> pend = player->get_connector(&player->m_snakeData, 1, false, true);
   EXPECT_FALSE(pstart->label_rectangle().is_empty());
   EXPECT_LE(pstart->label_rectangle().right, 16.5f);
   EXPECT_GE(pend->label_rectangle().left, 63.5f);
   EXPECT_EQ(pstart->label_text(), "P1");
   const auto & rectangle = pstart->label_rectangle();
   EXPECT_EQ(player->hit_test_connector_label({(rectangle.left + rectangle.right) / 2, (rectangle.top + rectangle.bottom) / 2}, nullptr),
             pstart);

   // A run of one box shows its start arrow and label as well as its end.
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 2, true, false)->label_text(), "P2");
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 2, false, true)->label_text(), "R2");
}

TEST(connector, EveryThirdBoxPointsOnAndPowerRunsHaveNoEndArrow)
{
   auto player = attached_row(5, 40);
   player->request_offscreen(200, 40);
   for (snake * psnake : {&player->m_snakeData, &player->m_snakePower})
   {
      psnake->m_iArrowHalfSize = 4;
      psnake->m_pdescription->_draw_snake(nullptr, psnake);
   }
   for (snake * psnake : {&player->m_snakeData, &player->m_snakePower})
   {
      psnake->m_pdescription->_draw_snake_triangles(nullptr, psnake);
   }
   const image::image & image = *player->get_offscreen();
   EXPECT_EQ(image.pixel(99, 20), 0xFF0000FFu) << "middle arrow of the third box";
   EXPECT_EQ(player->get_connector(&player->m_snakePower, 1, true, false)->label_text(), "S1-1");
   EXPECT_EQ(player->m_pconnectorsR->count(), 1);
}

TEST(connector, FrameShowsTheArrowsOfBothPathsWithTheirLabels)
{
   auto player = attached_row(2, 100);
   player->DrawBoxes = 0;
   player->DrawScreenSize = 0;
   player->DrawLayerName = 0;
   player->DrawInfoLine = 0;
   player->CornersMode = 0;
   player->ShowScreenWeight = 0;
   player->ShowScreenDiagonal = 0;
   std::vector<std::string> errors;
   player->build_frame(nullptr, [&](scoped_string_base strError) { errors.emplace_back(strError); });
   EXPECT_TRUE(errors.empty());
   EXPECT_EQ(player->m_snakeData.m_iArrowHalfSize, 10);
   EXPECT_EQ(player->m_snakePower.m_iArrowHalfSize, 10);
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 1, true, false)->label_text(), "P1");
   EXPECT_EQ(player->get_connector(&player->m_snakeData, 1, false, true)->label_text(), "R1");
   EXPECT_EQ(player->get_connector(&player->m_snakePower, 1, true, false)->label_text(), "S1-1");
   // The data path runs a quarter box low: its start arrow points right from (50, 75).
   EXPECT_EQ(player->get_offscreen()->pixel(47, 75), 0xFF00FF00u);
}

TEST(connector, ALabelWithNoRoomBehindItsArrowStaysInsideTheLayerAndClearOfTheArrow)
{
   // One run over two boxes of 40 x 40: the port's arrow points right at (20, 20), the return's
   // points left at (60, 20), both 4 wide each way; names too long for the room behind them.
   auto player = attached_row(2, 40);
   player->DrawPowerSnake = 0;
   player->get_connector(&player->m_snakeData, 1, true, false)->set_edit_payload(payload("FOH-A"));
   player->get_connector(&player->m_snakeData, 1, false, true)->set_edit_payload(payload("RETURN-A"));
   player->build_frame(nullptr, [](scoped_string_base strError) { ADD_FAILURE() << strError; });
   ASSERT_EQ(player->m_snakeData.m_iArrowHalfSize, 4);
   const rectangle_type<float> layer{0, 0, 80, 40};
   for (const auto & [bStart, x] : {std::pair{true, 20.f}, std::pair{false, 60.f}})
   {
      pointer<connector> pconnector = player->get_connector(&player->m_snakeData, 1, bStart, !bStart);
      const rectangle_type<float> & label = pconnector->label_rectangle();
      const rectangle_type<float> arrow{x - 4.5f, 15.5f, x + 4.5f, 24.5f};
      EXPECT_EQ(label.intersection(layer), label) << pconnector->label_text();
      EXPECT_TRUE(label.intersection(arrow).is_empty()) << pconnector->label_text();
   }
   // A short name keeps its place behind the arrow.
   player->get_connector(&player->m_snakeData, 1, true, false)->set_edit_payload(payload("A"));
   player->build_frame(nullptr, [](scoped_string_base strError) { ADD_FAILURE() << strError; });
   const rectangle_type<float> & label = player->get_connector(&player->m_snakeData, 1, true, false)->label_rectangle();
   EXPECT_NEAR(label.right, 16.f, 1.f);
   EXPECT_NEAR((label.top + label.bottom) / 2.f, 20.f, 1.5f);
}
