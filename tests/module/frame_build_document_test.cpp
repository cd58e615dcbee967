// Frame building over a document on the root screen with all its children: a layer whose drawing
// fails, "Draw Current Only", the layered PSD export as an independent reader sees it, and frames
// that the same project opened afresh draws alike.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/Global.h"
#include "core/PSDSaver.h"
#include "core/frame_builder.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "draw_current_only_box.h"
#include "frame_draws.h"
#include "orvo/straight_alpha.h"
#include "panels/LayerList.h"
#include "panels/RightPanel.h"
#include "picture_layer.h"
#include "psd_reading.h"
#include "root_screen_fixture.h"
#include "screen/MainScreen.h"
#include "screen_dialogs.h"
#include "test_files.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zel2d/context.h"
#include "zelui/CheckBox.h"
#include "zelui/MessageDialog.h"
#include "zelui/file_dialog.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// Asks for a picture export through a save dialog answered with the path and the filter.
void request_export(Global & global, const std::filesystem::path & path, const char * pszCaption, const char * pszPattern)
{
   auto pdialog = make_pointer<file::file_dialog>(file::file_dialog::e_kind_save, file::file_dialog_filter{{pszCaption, pszPattern}},
                                                  [](file::file_dialog *) {});
   pdialog->answer(path.c_str(), 0);
   global.request_save_to_image_file(pdialog.get());
}

bool same_pixels(const image::image & a, const image::image & b)
{
   return a.width() == b.width() && a.height() == b.height() && std::equal(a.data(), a.data() + a.width() * a.height(), b.data());
}

// A project file opened afresh on a root screen of its own, as the program opens it, with a memory
// budget as given, and drawn.
class opened_afresh
{
public:
   opened_afresh(const std::filesystem::path & path, std::int64_t iBudget)
   {
      testing::internal::CaptureStdout();
      m_pscreen->create_main_screen();
      testing::internal::GetCapturedStdout();
      global().load_project_from_file(path.c_str());
      global().current_project()->budget().set_limit(iBudget);
      build();
   }

   Global & global() const { return *m_pscreen->get_global(); }
   // Draws as the canvas does, until nothing more is pending.
   void build() const { m_draws.build_settled(global()); }
   const image::image & frame() const { return *global().frame().picture(); }
   // What the document's pictures take of its memory budget.
   std::int64_t budget_in_use() const { return global().current_project()->budget().in_use(); }

private:
   pointer<MainScreen> m_pscreen = make_pointer<MainScreen>(nullptr);
   frame_draws m_draws;
};

class document_frames : public root_screen_fixture
{
protected:
   void SetUp() override
   {
      root_screen_fixture::SetUp();
      testing::internal::CaptureStdout();
      m_pscreen->create_main_screen();
      testing::internal::GetCapturedStdout();
      m_pscreen->resize_event({1280, 800});
      document().get_layers().clear();
      document().set_paper_size(120, 80);
      m_folder = std::filesystem::path(m_pglobal->getFolderToSaveData().c_str()) / "exports";
      std::filesystem::create_directories(m_folder);
   }

   void TearDown() override { std::filesystem::remove_all(m_folder); }

   std::uint32_t frame_pixel(int x, int y) const { return m_pglobal->frame().picture()->pixel(x, y); }

   // A screen layer of boxes of 20 x 20 on top of the stack, drawing only its box fills (opaque).
   pointer<boxes_layer> add_screen(const char * pszName, int iColumns, int x, int y)
   {
      auto player = document().create_layer(e_layer_boxes).cast<boxes_layer>();
      player->set_name(pszName);
      player->Columns = iColumns;
      player->Rows = 1;
      player->Width = 20;
      player->Height = 20;
      player->DrawBoxes = 1;
      player->default_colors();
      player->DrawGrid = player->DrawCircle = player->DrawScreenSize = player->DrawLayerName = 0;
      player->DrawInfoLine = player->DrawSnake = player->DrawPowerSnake = player->DrawPower = 0;
      player->CornersMode = 0;
      player->set_offset_x(x);
      player->set_offset_y(y);
      document().insert_layer_at(player, -1);
      player->set_changed();
      return player;
   }

   // A picture layer of one colour on top of the stack.
   pointer<image_layer> add_picture(const char * pszName, int x, int y, int w, int h, color::color colour)
   {
      pointer<image_layer> player = add_picture_layer(document(), x, y, w, h, colour);
      player->set_name(pszName);
      return player;
   }

   static void paint(const pointer<image_layer> & player, int w, int h, color::color colour)
   {
      auto pimage = make_pointer<image::image>(w, h);
      pimage->fill(colour);
      player->set_image(pimage);
      player->set_changed();
   }

   void request_export(const std::filesystem::path & path, const char * pszCaption, const char * pszPattern)
   {
      ::request_export(*m_pglobal, path, pszCaption, pszPattern);
   }

   // The document saved, and opened afresh with the memory budget it has now.
   std::unique_ptr<opened_afresh> saved_and_opened_afresh() const
   {
      const std::filesystem::path path = m_folder / "saved.tvsx";
      m_pglobal->projects().save_to_file(path.c_str());
      return std::make_unique<opened_afresh>(path, document().budget().limit());
   }

   std::vector<zelui::MessageDialog *> error_boxes() const { return dialogs_on<zelui::MessageDialog>(*m_pscreen, "Error"); }

   zelui::CheckBox * draw_current_only_box() const { return ::draw_current_only_box(*m_pscreen->right_panel()->layer_list()); }

   std::filesystem::path m_folder;
   const color::color red{255, 0, 0, 255};
   const color::color blue{0, 0, 255, 255};
};

constexpr std::uint32_t red_pixel = 0xFFFF0000;
constexpr std::uint32_t blue_pixel = 0xFF0000FF;

TEST_F(document_frames, AFailingSecondLayerOfThreeStopsTheDrawAndTheNextDrawCatchesUp)
{
   add_screen("Bottom", 2, 0, 0);
   pointer<boxes_layer> pmiddle = add_screen("Middle", 4, 0, 30);
   pointer<image_layer> ptop = add_picture("Top", 60, 60, 30, 10, red);
   ASSERT_TRUE(build());
   ASSERT_EQ(frame_pixel(70, 65), red_pixel);

   // The middle layer's data path now needs more pixels per port than its limit, and the top
   // layer turns blue.
   pmiddle->DrawSnake = 1;
   pmiddle->DataDiagramType = 0;
   pmiddle->m_descriptionData.m_iLimit = 30;
   pmiddle->set_changed();
   paint(ptop, 30, 10, blue);
   request_export(m_folder / "wall.png", "PNG Image", "*.png");

   EXPECT_FALSE(build());
   const std::vector<zelui::MessageDialog *> boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 1u);
   EXPECT_EQ(boxes[0]->message(), "Some panels consume more pixels then limit used.");
   EXPECT_EQ(ptop->get_offscreen()->pixel(5, 5), red_pixel);
   EXPECT_EQ(frame_pixel(70, 65), red_pixel);
   EXPECT_FALSE(std::filesystem::exists(m_folder / "wall.png"));

   // The failing path switched itself off: the next draw builds every layer, composes and writes
   // the export that waited, and shows no second error.
   EXPECT_EQ(pmiddle->DrawSnake, 0);
   EXPECT_TRUE(build());
   EXPECT_EQ(frame_pixel(70, 65), blue_pixel);
   EXPECT_TRUE(std::filesystem::exists(m_folder / "wall.png"));
   EXPECT_EQ(error_boxes().size(), 1u);
}

// A path is kept box by box: one of more boxes than a quarter of the memory budget holds is not
// built. The error says so once, the path is switched off and counts no runs, and the layer below
// numbers its runs as if it had none; with room again the path is built.
TEST_F(document_frames, APathOfMoreBoxesThanMemoryAllowsIsToldOnceAndSwitchedOff)
{
   pointer<boxes_layer> pbelow = add_screen("Below", 3, 0, 0);
   pointer<boxes_layer> plarge = add_screen("Large", 1, 0, 30);
   plarge->Columns = 100;
   plarge->Rows = 100;
   plarge->Width = 1;
   plarge->Height = 1;
   plarge->DrawSnake = 1;
   document().budget().set_limit(1 << 20);

   EXPECT_FALSE(build());
   std::vector<zelui::MessageDialog *> boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 1u);
   EXPECT_TRUE(boxes[0]->message().starts_with("The data path of the layer \"Large\" cannot be drawn: its 10000 boxes would take "))
      << boxes[0]->message();
   EXPECT_EQ(plarge->DrawSnake, 0);
   EXPECT_EQ(plarge->calculate_path_count(true), 0);
   EXPECT_EQ(pbelow->calculate_base_path_index(true), 1);
   EXPECT_TRUE(build());
   EXPECT_EQ(error_boxes().size(), 1u);

   document().budget().set_limit(std::int64_t(1) << 40);
   plarge->DrawSnake = 1;
   plarge->set_changed();
   EXPECT_TRUE(build());
   EXPECT_EQ(error_boxes().size(), 1u);
   EXPECT_GT(plarge->calculate_path_count(true), 0);
   EXPECT_EQ(pbelow->calculate_base_path_index(true), 1 + plarge->calculate_path_count(true));
}

// An export is written only when every visible layer drew. A layer that draws nothing for want of
// memory, or whose drawing failed, keeps the file from being written; one box names it, and the
// request is not tried again. Once every visible layer draws, the same export is written.
TEST_F(document_frames, AnExportThatWouldLeaveOutALayerWritesNothingAndNamesTheLayer)
{
   add_screen("Below", 2, 0, 0);
   pointer<image_layer> ppicture = add_picture("Picture", 10, 30, 60, 40, red);
   ASSERT_TRUE(build());
   paint(ppicture, 30, 10, blue);
   document().budget().set_limit(document().budget().in_use() - 1);
   EXPECT_TRUE(build());
   ASSERT_EQ(error_boxes().size(), 1u);
   for (const auto & [strName, pszCaption, pszPattern] : {std::tuple{"wall.png", "PNG Image", "*.png"}, {"wall.psd", "PSD Document", "*.psd"}})
   {
      request_export(m_folder / strName, pszCaption, pszPattern);
      build();
      build();
      EXPECT_FALSE(std::filesystem::exists(m_folder / strName));
   }
   std::vector<zelui::MessageDialog *> boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 3u);
   EXPECT_TRUE(boxes[2]->message().starts_with("The image \"" + (m_folder / "wall.psd").string() +
                                               "\" was not written: it would leave out layers. The layer \"Picture\" draws nothing: "))
      << boxes[2]->message();

   pointer<boxes_layer> pwide = add_screen("Wide", 1, 0, 0);
   pwide->Width = 70000; // no picture is made this wide
   document().budget().set_limit(std::int64_t(1) << 40);
   EXPECT_FALSE(build());
   ASSERT_EQ(error_boxes().size(), 4u);
   request_export(m_folder / "wall.png", "PNG Image", "*.png");
   build();
   boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 5u);
   EXPECT_EQ(boxes[4]->message(), "The image \"" + (m_folder / "wall.png").string() +
                                     "\" was not written: it would leave out layers. The layer \"Wide\" could not be drawn.");
   EXPECT_FALSE(std::filesystem::exists(m_folder / "wall.png"));

   pwide->set_hidden(true);
   request_export(m_folder / "wall.png", "PNG Image", "*.png");
   EXPECT_TRUE(build());
   EXPECT_TRUE(std::filesystem::exists(m_folder / "wall.png"));
   EXPECT_EQ(frame_pixel(20, 35), blue_pixel);
   EXPECT_EQ(error_boxes().size(), 5u);
}

// Memory that runs out while a layer draws is told in the user's terms: which layer, and how much
// its picture needs; never the exception's name.
TEST_F(document_frames, ALayerThatRunsOutOfMemoryIsNamedWithWhatItsPictureNeeds)
{
   struct starved_layer : image_layer
   {
      void build_frame(zel2d::context *, const error_callback &) override { throw std::bad_alloc(); }
   };
   auto pstarved = make_pointer<starved_layer>();
   pstarved->set_controller(m_pglobal);
   pstarved->set_document(&document());
   pstarved->set_name("Starved");
   pstarved->setMaintainAspectRatio(false);
   pstarved->set_width(16384);
   pstarved->set_height(16384);
   document().insert_layer_at(pstarved, -1);
   EXPECT_FALSE(build());
   const std::vector<zelui::MessageDialog *> boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 1u);
   EXPECT_EQ(boxes[0]->message(),
             "The layer \"Starved\" cannot be drawn: its picture of 16384 x 16384 pixels needs 1 GiB, more memory than this computer could give.");
}

TEST_F(document_frames, ARasterBeyondThePictureSizeLimitIsToldOnceAndDrawnAgainWhenItFits)
{
   pointer<image_layer> ppicture = add_picture("Picture", 10, 10, 30, 10, red);
   ASSERT_TRUE(build());
   document().set_paper_size(100000, 80);
   EXPECT_NO_THROW(build());
   std::vector<zelui::MessageDialog *> boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 1u);
   EXPECT_TRUE(boxes[0]->message().starts_with("The raster of 100000 x 80 pixels cannot be drawn: cannot make a picture of"))
      << boxes[0]->message();
   EXPECT_FALSE((m_pglobal->frame().image_handle() > 0));

   // Neither the next draws nor an edit of a layer try again, and an export says why it wrote nothing.
   EXPECT_NO_THROW(build());
   paint(ppicture, 30, 10, blue);
   EXPECT_NO_THROW(build());
   EXPECT_EQ(error_boxes().size(), 1u);
   request_export(m_folder / "wall.png", "PNG Image", "*.png");
   EXPECT_NO_THROW(build());
   boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 2u);
   EXPECT_EQ(boxes[1]->message(), "The image \"" + (m_folder / "wall.png").string() +
                                     "\" could not be written: the raster of 100000 x 80 pixels cannot be drawn.");
   EXPECT_FALSE(std::filesystem::exists(m_folder / "wall.png"));

   // Another raster beyond the limit is told once more; one that fits is drawn whole.
   document().set_paper_size(80, 70000);
   EXPECT_NO_THROW(build());
   EXPECT_NO_THROW(build());
   EXPECT_EQ(error_boxes().size(), 3u);
   document().set_paper_size(120, 80);
   EXPECT_TRUE(build());
   EXPECT_EQ(frame_pixel(20, 15), blue_pixel);
   EXPECT_TRUE((m_pglobal->frame().image_handle() > 0));
   EXPECT_EQ(error_boxes().size(), 3u);
}

// A raster or a layer wider than a picture that can be drawn into is told once, in the words of
// the other refusals, and the canvas shows nothing that no longer matches the document: no frame
// for the raster, nothing of the layer (not its last picture, stretched).
TEST_F(document_frames, ARasterOrALayerTooWideToDrawIsToldOnceAndLeavesNoStalePicture)
{
   pointer<boxes_layer> pwall = add_screen("Wall", 2, 0, 0);
   ASSERT_TRUE(build());
   ASSERT_NE(frame_pixel(10, 10), 0u);
   document().set_paper_size(40000, 80);
   build();
   build();
   std::vector<zelui::MessageDialog *> boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 1u);
   EXPECT_EQ(boxes[0]->message(),
             "The raster of 40000 x 80 pixels cannot be drawn: cannot make a picture of 40000 x 80 pixels to draw into: at most 32767 per side.");
   EXPECT_LT(m_pglobal->frame().image_handle(), 1);

   document().set_paper_size(120, 80);
   pwall->Width = 20000;
   pwall->set_changed();
   build();
   build();
   boxes = error_boxes();
   ASSERT_EQ(boxes.size(), 2u);
   EXPECT_TRUE(boxes[1]->message().starts_with("The layer \"Wall\" cannot be drawn: cannot make a picture of ")) << boxes[1]->message();
   EXPECT_FALSE(pwall->get_offscreen());
   EXPECT_EQ(frame_pixel(10, 10), 0u);
}

TEST_F(document_frames, DrawCurrentOnlyLeavesTheOtherScreenLayersWithoutBoxFills)
{
   pointer<boxes_layer> pother = add_screen("Other", 2, 0, 0);
   pointer<boxes_layer> pcurrent = add_screen("Current", 2, 0, 40);
   pointer<image_layer> ppicture = add_picture("Picture", 60, 60, 30, 10, red);
   m_pscreen->setCurrentLayerTo(1, true);
   build();
   build();
   ASSERT_EQ(frame_pixel(10, 10) >> 24, 255u);

   zelui::CheckBox * pbox = draw_current_only_box();
   ASSERT_NE(pbox, nullptr);
   pbox->set_checked(true, e_source_user);
   ASSERT_TRUE(m_pscreen->isOnlyCurrent());
   build();
   EXPECT_EQ(frame_pixel(10, 10) >> 24, 0u);
   EXPECT_EQ(frame_pixel(10, 50) >> 24, 255u);
   EXPECT_EQ(frame_pixel(70, 65), red_pixel);
   EXPECT_EQ(pother->DrawBoxes, 1);
   EXPECT_EQ(pcurrent->DrawBoxes, 1);

   // The current layer draws by its own setting.
   pcurrent->DrawBoxes = 0;
   pcurrent->set_changed();
   build();
   EXPECT_EQ(frame_pixel(10, 50) >> 24, 0u);

   pbox->set_checked(false, e_source_user);
   pcurrent->DrawBoxes = 1;
   pcurrent->set_changed();
   build();
   EXPECT_EQ(frame_pixel(10, 10) >> 24, 255u);
   EXPECT_EQ(frame_pixel(10, 50) >> 24, 255u);
}

TEST_F(document_frames, DrawCurrentOnlyAndTheCurrentLayerAreFollowedAtTheNextDrawWhenAPictureIsCurrent)
{
   add_screen("Screen", 2, 0, 0);
   add_picture("Picture", 60, 60, 30, 10, red);
   m_pscreen->setCurrentLayerTo(1, true);
   build();
   build();
   ASSERT_FALSE(build());

   // The box alone, with no tool window showing a screen layer that could mark the document.
   draw_current_only_box()->set_checked(true, e_source_user);
   EXPECT_TRUE(build());
   EXPECT_EQ(frame_pixel(10, 10) >> 24, 0u);
   EXPECT_EQ(frame_pixel(70, 65), red_pixel);

   // The screen layer made current draws its fills; the first draw hands the focus back.
   m_pscreen->setCurrentLayerTo(0, true);
   build();
   build();
   EXPECT_EQ(frame_pixel(10, 10) >> 24, 255u);
   m_pscreen->setCurrentLayerTo(1, true);
   build();
   build();
   EXPECT_EQ(frame_pixel(10, 10) >> 24, 0u);
   EXPECT_FALSE(build());

   draw_current_only_box()->set_checked(false, e_source_user);
   EXPECT_TRUE(build());
   EXPECT_EQ(frame_pixel(10, 10) >> 24, 255u);
}

// The reading of a picture's pixels in straight colours, with or without their alpha, one line
// per row, as tests/module/read_psd.py prints them.
string_base pixel_rows(const image::image & picture, bool bAlpha)
{
   string_base str;
   for (int y = 0; y < picture.height(); ++y)
   {
      for (int x = 0; x < picture.width(); ++x)
      {
         const color::color c = image::straight_color(picture.pixel(x, y));
         str += format(x ? " %d,%d,%d" : "%d,%d,%d", c.m_uchR, c.m_uchG, c.m_uchB);
         str += bAlpha ? format(",%d", c.m_uchA) : "";
      }
      str += "\n";
   }
   return str;
}

string_base layer_reading(const pointer<app_layer> & player)
{
   const image::image & picture = *player->get_offscreen();
   const int x = player->get_offset_x();
   const int y = player->get_offset_y();
   return format("layer %s %d %d %d %d 255\n", player->get_name().c_str(), x, y, x + picture.width(), y + picture.height()) +
          pixel_rows(picture, true);
}

TEST_F(document_frames, APsdExportHoldsTheVisibleLayersInOrderWithTheirNamesOverTheFrame)
{
   pointer<boxes_layer> pwall = add_screen("Main wall", 3, 10, 20);
   pointer<image_layer> phidden = add_picture("Hidden", 0, 0, 120, 80, blue);
   pointer<image_layer> plogo = add_picture("Logo", 40, 25, 30, 10, color::color(0, 255, 0, 128));
   // Hidden after it was drawn once: its picture stays, but it is left out.
   build();
   phidden->set_hidden(true);
   request_export(m_folder / "wall.psd", "PSD Document", "*.psd");
   ASSERT_TRUE(build());

   const image::image & frame = *m_pglobal->frame().picture();
   const string_base strExpected = format("size %d %d\ncomposite\n", frame.width(), frame.height()) +
                                   pixel_rows(frame, false) + layer_reading(pwall) + layer_reading(plogo);
   const std::string strPath = (m_folder / "wall.psd").string();
   EXPECT_EQ(read_psd_with("psd-tools", strPath.c_str()), strExpected);
   EXPECT_EQ(read_psd_with("magick", strPath.c_str()), strExpected);
}

// A label typed at the raster's width and height sits in the corner, as it does once the project
// is opened again (when its box is not measured yet).
TEST_F(document_frames, ARasterLabelTypedAtTheRasterSizeSitsInTheCornerAsWhenOpenedAfresh)
{
   add_screen("Wall", 3, 10, 20);
   document().m_bRasterLabel = true;
   document().m_straRasterLabel.add("Main wall");
   ASSERT_TRUE(build());
   ASSERT_GT(document().m_iRasterLabelBoxWidth, 20);
   SettingsRasterLabel & window = *m_pscreen->get_raster_label_window();
   window.m_ptextboxX->set_value("120", e_source_user);
   window.m_ptextboxY->set_value("80", e_source_user);
   build();
   EXPECT_EQ(document().m_iRasterLabelX + document().m_iRasterLabelBoxWidth, 120);
   EXPECT_EQ(document().m_iRasterLabelY + document().m_iRasterLabelBoxHeight, 80);
   EXPECT_EQ(window.m_ptextboxX->value(), std::to_string(document().m_iRasterLabelX));
   EXPECT_TRUE(same_pixels(*m_pglobal->frame().picture(), saved_and_opened_afresh()->frame()));
}

// A screen layer whose columns or rows go to 0 shows nothing: no picture counts in the budget any
// longer, the picture that overlapped it moves into the frame, and a PSD export holds what the
// project opened afresh exports.
TEST_F(document_frames, AScreenLayerOfNoColumnsOrRowsLeavesTheFrameAndThePsdAsWhenOpenedAfresh)
{
   for (int boxes_layer::*pfield : {&boxes_layer::Columns, &boxes_layer::Rows})
   {
      document().get_layers().clear();
      pointer<boxes_layer> pwall = add_screen("Wall", 3, 10, 20);
      add_picture("Logo", 40, 25, 30, 10, color::color(0, 255, 0, 128));
      ASSERT_TRUE(build());
      const std::int64_t iInUse = document().budget().in_use();
      (*pwall).*pfield = 0;
      pwall->set_changed();
      request_export(m_folder / "wall.psd", "PSD Document", "*.psd");
      ASSERT_TRUE(build());
      EXPECT_FALSE(pwall->get_offscreen());
      EXPECT_EQ(document().budget().in_use(), iInUse - 60 * 20 * 4 - 30 * 10 * 4);

      std::unique_ptr<opened_afresh> pafresh = saved_and_opened_afresh();
      EXPECT_EQ(document().budget().in_use(), pafresh->budget_in_use());
      EXPECT_TRUE(same_pixels(*m_pglobal->frame().picture(), pafresh->frame()));
      ::request_export(pafresh->global(), m_folder / "afresh.psd", "PSD Document", "*.psd");
      pafresh->build();
      const string_base strExported = read_all(m_folder / "wall.psd");
      EXPECT_FALSE(strExported.empty());
      EXPECT_EQ(strExported, read_all(m_folder / "afresh.psd"));
   }
}

// The current layer keeps a picture to fill its boxes again faster after colour changes; it goes
// before another layer would be left out of the memory budget, which the project opened afresh
// (without it) draws.
TEST_F(document_frames, APictureKeptToRedrawFasterGoesBeforeALayerIsLeftOutOfTheBudget)
{
   // The two overlap: their pictures take memory of their own.
   pointer<boxes_layer> pcurrent = add_screen("Current", 4, 0, 0);
   pointer<boxes_layer> pgrowing = add_screen("Growing", 2, 0, 10);
   m_pscreen->setCurrentLayerTo(0, true);
   build();
   build();
   const std::int64_t iPicture = 80 * 20 * 4;
   ASSERT_EQ(pcurrent->picture_bytes(), iPicture);
   pcurrent->BoxColors.front() = color::color(10, 200, 30, 255);
   pcurrent->set_changed(layer_change::colours);
   build();
   ASSERT_EQ(pcurrent->picture_bytes(), 2 * iPicture);

   // Four columns more need 3200 bytes, beyond the 1000 left unless the kept picture goes.
   document().budget().set_limit(document().budget().in_use() + 1000);
   pgrowing->Columns = 4;
   pgrowing->set_changed();
   EXPECT_TRUE(build());
   EXPECT_TRUE(error_boxes().empty());
   EXPECT_FALSE(pgrowing->is_beyond_budget());
   EXPECT_EQ(pcurrent->picture_bytes(), iPicture);
   EXPECT_EQ(frame_pixel(70, 25) >> 24, 255u);
   EXPECT_TRUE(same_pixels(*m_pglobal->frame().picture(), saved_and_opened_afresh()->frame()));
}

// A layer that alone makes its part of the raster takes no memory of its own, whatever edit left
// it alone: a raster made larger, a layer dragged onto it and away again, a layer under it grown.
// The budget then counts what it counts for the document opened afresh.
TEST_F(document_frames, LayersLeftAloneByAnEditTakeNoMemoryOfTheirOwn)
{
   pointer<boxes_layer> pleft = add_screen("Left", 2, 0, 0);
   pointer<boxes_layer> pright = add_screen("Right", 2, 60, 0);
   pointer<image_layer> plogo = add_picture("Logo", 0, 40, 30, 10, blue);
   ASSERT_TRUE(build());
   const auto expect_alone = [&](const char * pszAfter)
   {
      for (const pointer<app_layer> & player : document().get_layers())
      {
         ASSERT_TRUE(player->get_offscreen()) << pszAfter;
         EXPECT_EQ(player->offscreen_bytes(), 0) << player->get_name().c_str() << " after " << pszAfter;
      }
      EXPECT_EQ(document().budget().in_use(), saved_and_opened_afresh()->budget_in_use()) << pszAfter;
   };
   expect_alone("the first build");

   document().set_paper_size(160, 100);
   m_pglobal->set_changed();
   ASSERT_TRUE(build());
   expect_alone("the raster grew");

   pright->set_offset_x(30);
   ASSERT_TRUE(build());
   EXPECT_EQ(pright->offscreen_bytes(), 40 * 20 * 4) << "overlapping, the two take memory of their own";
   EXPECT_EQ(pleft->offscreen_bytes(), 40 * 20 * 4);
   pright->set_offset_x(60);
   ASSERT_TRUE(build());
   expect_alone("the layers were dragged apart");

   pleft->Columns = 3;
   pleft->set_changed();
   ASSERT_TRUE(build());
   expect_alone("the layer under the others grew");
   EXPECT_TRUE(same_pixels(*m_pglobal->frame().picture(), saved_and_opened_afresh()->frame()));
}

// A PSD and PNGs exported from layers drawn straight into the frame (one at the raster's corner,
// the raster label beside them) are, byte for byte, what the same layers drawn into pictures of
// their own give: a transparent picture laid over them all, which changes no pixel, makes each
// touch another. Independent readers see each layer's own pixels and the frame.
TEST_F(document_frames, ExportsOfLayersDrawnIntoTheFrameEqualThoseOfLayersWithPicturesOfTheirOwn)
{
   document().set_paper_size(240, 160);
   add_screen("Main wall", 3, 0, 0);
   pointer<boxes_layer> pside = add_screen("Side wall", 2, 70, 0);
   pside->BoxColors.front() = color::color(200, 90, 40, 160);
   add_picture("Logo", 10, 30, 30, 10, color::color(0, 255, 0, 128));
   add_picture("Corner", 200, 130, 40, 30, color::color(250, 250, 20, 255));
   document().m_bRasterLabel = true;
   document().m_straRasterLabel.add("Hall");
   document().m_iRasterLabelX = 120;
   document().m_iRasterLabelY = 50;
   ASSERT_TRUE(build());
   const pointer_array<app_layer> layers = document().get_layers();
   for (const pointer<app_layer> & player : layers)
   {
      ASSERT_TRUE(player->get_offscreen());
      ASSERT_NE(player->get_offscreen()->holder(), nullptr) << player->get_name().c_str() << " lies in the frame";
   }
   const auto export_all = [&](const char * pszStem)
   {
      m_pglobal->m_bBlackBackground = true;
      request_export(m_folder / (std::string(pszStem) + "_black.png"), "PNG Image", "*.png");
      ASSERT_TRUE(build());
      m_pglobal->m_bBlackBackground = false;
      request_export(m_folder / (std::string(pszStem) + ".png"), "PNG Image", "*.png");
      ASSERT_TRUE(build());
   };
   export_all("in_frame");
   request_export(m_folder / "in_frame.psd", "PSD Document", "*.psd");
   ASSERT_TRUE(build());
   const string_base strFrame = pixel_rows(*m_pglobal->frame().picture(), true);

   add_picture("Veil", 0, 0, 240, 160, color::color(0, 0, 0, 0));
   ASSERT_TRUE(build());
   for (const pointer<app_layer> & player : layers)
   {
      ASSERT_EQ(player->get_offscreen()->holder(), nullptr) << player->get_name().c_str() << " has a picture of its own";
   }
   ASSERT_EQ(pixel_rows(*m_pglobal->frame().picture(), true), strFrame);
   export_all("own");
   PSDSaver psd;
   for (const pointer<app_layer> & player : layers)
   {
      psd.add_layer(player);
   }
   ASSERT_TRUE(psd.savePSD(*m_pglobal->frame().picture(), m_folder / "own.psd"));
   for (const char * pszName : {".psd", ".png", "_black.png"})
   {
      const string_base strInFrame = read_all(m_folder / ("in_frame" + std::string(pszName)));
      EXPECT_FALSE(strInFrame.empty()) << pszName;
      EXPECT_TRUE(strInFrame == read_all(m_folder / ("own" + std::string(pszName)))) << pszName;
   }

   const image::image & frame = *m_pglobal->frame().picture();
   string_base strExpected = format("size %d %d\ncomposite\n", frame.width(), frame.height()) + pixel_rows(frame, false);
   string_base strPillow = strExpected;
   for (const pointer<app_layer> & player : layers)
   {
      strExpected += layer_reading(player);
      const image::image & picture = *player->get_offscreen();
      strPillow += format("layer %s %d %d %d %d\n", player->get_name().c_str(), player->get_offset_x(), player->get_offset_y(),
                          player->get_offset_x() + picture.width(), player->get_offset_y() + picture.height());
   }
   const std::string strPath = (m_folder / "in_frame.psd").string();
   EXPECT_EQ(read_psd_with("psd-tools", strPath.c_str()), strExpected);
   EXPECT_EQ(read_psd_with("magick", strPath.c_str()), strExpected);
   EXPECT_EQ(read_psd_with("pillow", strPath.c_str()), strPillow);
   // Pillow reads the PNG with its transparency as the frame holds it.
   const std::string strPng = output_of(format("/usr/bin/python3 -c \"from PIL import Image; i = Image.open('%s').convert('RGBA'); "
                                               "print('\\n'.join(' '.join('%%d,%%d,%%d,%%d' %% i.getpixel((x, y)) for x in range(i.width)) "
                                               "for y in range(i.height)))\"",
                                               (m_folder / "in_frame.png").c_str()));
   EXPECT_TRUE(strPng == strFrame.c_str()) << strPng.substr(0, 200);
}

} // namespace
