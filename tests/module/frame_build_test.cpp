#include <fstream>
#include <numbers>

#include "canvas_fixture.h"
#include "core/frame_builder.h"
#include "orvo/image_service.h"
#include "orvo/memory_base.h"
#include "zelui/file_dialog.h"

namespace
{

// Pixels of the composed frame: premultiplied ARGB words.
constexpr std::uint32_t transparent = 0x00000000;

class frame_building : public canvas_fixture
{
protected:
   frame_building()
   {
      use_small_empty_raster();
   }

   std::uint32_t frame_pixel(int x, int y) const { return m_pglobal->frame().picture()->pixel(x, y); }

   // Requests a picture export through a save dialog answered with the path and filter.
   void request_export(const std::filesystem::path & path, std::initializer_list<file::file_dialog_filter_item> filter,
                       long long iFilter = 0)
   {
      auto pdialog = make_pointer<file::file_dialog>(file::file_dialog::e_kind_save, file::file_dialog_filter(filter),
                                                     [](file::file_dialog *) {});
      pdialog->answer(path.c_str(), iFilter);
      m_pglobal->request_save_to_image_file(pdialog.get());
   }

   const color::color red{255, 0, 0, 255};
   const color::color blue{0, 0, 255, 255};
};

TEST_F(frame_building, DocumentWithoutLayersComposesATransparentFrame)
{
   EXPECT_TRUE(build());
   ASSERT_TRUE(m_pglobal->frame().picture());
   EXPECT_EQ(m_pglobal->frame().picture()->width(), 400);
   EXPECT_EQ(m_pglobal->frame().picture()->height(), 300);
   EXPECT_EQ(frame_pixel(200, 150), transparent);
   EXPECT_TRUE((m_pglobal->frame().image_handle() > 0));
}

TEST_F(frame_building, NothingChangedMeansNothingToDo)
{
   build();
   EXPECT_FALSE(build());
   m_pglobal->set_changed();
   m_pglobal->set_changed();
   EXPECT_TRUE(build());
   EXPECT_FALSE(build());
}

TEST_F(frame_building, LaterLayersCoverEarlierOnesAndHiddenLayersAreLeftOut)
{
   add_image_layer(0, 0, 100, 100, red);
   auto pblue = add_image_layer(50, 50, 100, 100, blue);
   build();
   EXPECT_EQ(frame_pixel(25, 25), 0xFFFF0000);
   EXPECT_EQ(frame_pixel(75, 75), 0xFF0000FF);
   EXPECT_EQ(frame_pixel(125, 125), 0xFF0000FF);
   pblue->set_hidden(true);
   build();
   EXPECT_EQ(frame_pixel(75, 75), 0xFFFF0000);
   EXPECT_EQ(frame_pixel(125, 125), transparent);
}

// A picture whose decoding would take the pictures held beyond the memory budget is kept as it
// came: the layer knows its size and writes it back unchanged, draws nothing, and is drawn as
// soon as a frame build finds room for it.
TEST_F(frame_building, APictureBeyondTheMemoryBudgetIsKeptAsItCameAndDrawnWhenThereIsRoom)
{
   image::image picture(100, 50);
   picture.fill(red);
   const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(picture, {});
   ASSERT_TRUE(encoded);
   const string_base strHex = memory_base(encoded->data(), encoded->size()).to_hex();
   const std::int64_t iInUseBefore = document().budget().in_use();
   document().budget().set_limit(iInUseBefore + 100 * 50 * 4 - 1);
   pointer<image_layer> player = document().create_layer_from_parameters(e_layer_image, "Width:100\nHeight:50\nData:" + strHex).cast<image_layer>();
   ASSERT_TRUE(player);
   EXPECT_FALSE(player->get_image());
   EXPECT_EQ(document().budget().in_use(), iInUseBefore);
   EXPECT_EQ(player->get_real_width(), 100);
   EXPECT_EQ(player->get_real_height(), 50);
   EXPECT_EQ(player->getImageAsHex(), strHex);
   document().insert_layer_at(player, -1);
   build();
   EXPECT_EQ(frame_pixel(50, 25), transparent);
   EXPECT_TRUE(player->is_beyond_budget());

   document().budget().set_limit(std::int64_t(1) << 40);
   m_pglobal->set_changed();
   build();
   ASSERT_TRUE(player->get_image());
   // The picture counts in the budget; the layer alone makes its part of the frame, so its
   // drawing lies in the frame's own rows and takes no memory more.
   EXPECT_EQ(player->picture_bytes(), 100 * 50 * 4);
   EXPECT_EQ(player->offscreen_bytes(), 0);
   EXPECT_EQ(frame_pixel(50, 25), 0xFFFF0000);
}

TEST_F(frame_building, TurnedLayerTurnsAboutItsTopLeftCorner)
{
   auto player = add_image_layer(200, 50, 100, 40, red);
   player->set_rotation(std::numbers::pi_v<float> / 2);
   build();
   // Turned clockwise by 90 degrees, it covers x 160..200 and y 50..150.
   EXPECT_EQ(frame_pixel(180, 140), 0xFFFF0000);
   EXPECT_EQ(frame_pixel(250, 60), transparent);
}

TEST_F(frame_building, RasterLabelTouchingTheCornerStaysThere)
{
   document().m_bRasterLabel = true;
   document().m_straRasterLabel.add("Main wall");
   document().m_iRasterLabelX = 400;
   document().m_iRasterLabelY = 300;
   build();
   const int w = document().m_iRasterLabelBoxWidth;
   const int h = document().m_iRasterLabelBoxHeight;
   EXPECT_GT(w, 20);
   EXPECT_GT(h, 20);
   EXPECT_EQ(document().m_iRasterLabelX + w, 400);
   EXPECT_EQ(document().m_iRasterLabelY + h, 300);
   // The box is black at half strength over nothing.
   EXPECT_EQ(frame_pixel(document().m_iRasterLabelX + 2, document().m_iRasterLabelY + 2) >> 24, 127u);

   document().m_straRasterLabel.add("A much longer second line of text");
   m_pglobal->set_changed();
   build();
   EXPECT_GT(document().m_iRasterLabelBoxWidth, w);
   EXPECT_EQ(document().m_iRasterLabelX + document().m_iRasterLabelBoxWidth, 400);
   EXPECT_EQ(document().m_iRasterLabelY + document().m_iRasterLabelBoxHeight, 300);
}

// Offsets at the 32-bit bounds are added to the label's size without overflow.
TEST_F(frame_building, RasterLabelAtTheLargestOffsetsKeepsItsPlace)
{
   document().m_bRasterLabel = true;
   document().m_straRasterLabel.add("Main wall");
   for (const int iOffset : {INT_MAX, INT_MIN})
   {
      document().m_iRasterLabelX = iOffset;
      document().m_iRasterLabelY = iOffset;
      m_pglobal->set_changed();
      EXPECT_TRUE(build());
      EXPECT_FALSE(document().is_raster_label_flush_right());
      EXPECT_FALSE(document().is_raster_label_flush_bottom());
      EXPECT_EQ(document().m_iRasterLabelX, iOffset);
      EXPECT_EQ(document().m_iRasterLabelY, iOffset);
   }
}

TEST_F(frame_building, RasterLabelAwayFromTheEdgesKeepsItsPlace)
{
   document().m_bRasterLabel = true;
   document().m_straRasterLabel.add("Main wall");
   document().m_iRasterLabelX = 10;
   document().m_iRasterLabelY = 20;
   build();
   EXPECT_EQ(document().m_iRasterLabelX, 10);
   EXPECT_EQ(document().m_iRasterLabelY, 20);
}

class picture_export : public frame_building
{
protected:
   picture_export()
   {
      // A half-transparent red square on a transparent raster.
      add_image_layer(0, 0, 100, 100, color::color(255, 0, 0, 128));
      build();
   }

   outcome<pointer<image::image>> read_back(const std::filesystem::path & path) const { return image::load_image(path); }
};

TEST_F(picture_export, PngOverBlackOrTransparent)
{
   request_export(m_folder / "black.png", {{"PNG Image", "*.png"}, {"All Files", "*.*"}});
   EXPECT_TRUE(build());
   outcome<pointer<image::image>> black = read_back(m_folder / "black.png");
   ASSERT_TRUE(black) << black.error().c_str();
   EXPECT_EQ(black.value()->pixel(200, 200), 0xFF000000);
   EXPECT_EQ(black.value()->pixel(50, 50) >> 24, 0xFFu);

   m_pglobal->m_bBlackBackground = false;
   request_export(m_folder / "clear.png", {{"PNG Image", "*.png"}, {"All Files", "*.*"}});
   build();
   outcome<pointer<image::image>> clear = read_back(m_folder / "clear.png");
   ASSERT_TRUE(clear);
   EXPECT_EQ(clear.value()->pixel(200, 200), transparent);
   EXPECT_EQ(clear.value()->pixel(50, 50) >> 24, 128u);
}

TEST_F(picture_export, OtherFormatsIgnoreBlackBackground)
{
   request_export(m_folder / "frame.tga", {{"TGA Image", "*.tga"}});
   build();
   outcome<pointer<image::image>> tga = read_back(m_folder / "frame.tga");
   ASSERT_TRUE(tga);
   EXPECT_EQ(tga.value()->pixel(200, 200), transparent);
   request_export(m_folder / "frame.jpg", {{"JPG Image", "*.jpg"}});
   build();
   EXPECT_TRUE(read_back(m_folder / "frame.jpg"));
   request_export(m_folder / "frame.bmp", {{"BMP Image", "*.bmp"}});
   build();
   EXPECT_TRUE(read_back(m_folder / "frame.bmp"));
}

TEST_F(picture_export, FormatFollowsTheChosenFilterNotTheName)
{
   request_export(m_folder / "layers.png", {{"PNG Image", "*.png"}, {"Photoshop Image", "*.psd"}}, 1);
   build();
   std::ifstream file(m_folder / "layers.png", std::ios::binary);
   char signature[4] = {};
   file.read(signature, 4);
   EXPECT_EQ(std::string(signature, 4), "8BPS");
}

TEST_F(picture_export, UnknownExtensionWritesNothingAndTheRequestIsGone)
{
   request_export(m_folder / "frame.jpeg", {{"JPEG Image", "*.jpeg"}});
   EXPECT_TRUE(build());
   EXPECT_FALSE(std::filesystem::exists(m_folder / "frame.jpeg"));
   EXPECT_FALSE(m_pglobal->exports().take_pending());
}

TEST_F(picture_export, OnlyTheLastOfTwoRequestsIsWritten)
{
   request_export(m_folder / "first.png", {{"PNG Image", "*.png"}});
   request_export(m_folder / "second.png", {{"PNG Image", "*.png"}});
   build();
   EXPECT_FALSE(std::filesystem::exists(m_folder / "first.png"));
   EXPECT_TRUE(std::filesystem::exists(m_folder / "second.png"));
}

TEST_F(picture_export, CancelledDialogWritesNothing)
{
   auto pdialog = make_pointer<file::file_dialog>(file::file_dialog::e_kind_save, file::file_dialog_filter{{"PNG Image", "*.png"}},
                                                  [](file::file_dialog *) {});
   pdialog->cancel();
   m_pglobal->request_save_to_image_file(pdialog.get());
   EXPECT_FALSE(build());
}

} // namespace
