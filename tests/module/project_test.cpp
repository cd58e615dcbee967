#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/image.h"
#include "orvo/trace.h"
#include "test_files.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A temporary folder, removed with everything in it at the end of the test.
class temporary_folder
{
public:
   temporary_folder()
   {
      char szTemplate[] = "/tmp/brisvane_project_XXXXXX";
      m_path = ::mkdtemp(szTemplate);
   }
   ~temporary_folder() { std::filesystem::remove_all(m_path); }

   file::path operator/(scoped_string_base strName) const { return file::path(m_path) / strName; }
   const std::filesystem::path & path() const { return m_path; }

private:
   std::filesystem::path m_path;
};

class document : public testing::Test
{
protected:
   document()
   {
      set_logs_silent(false);
      m_pproject = make_pointer<project>(m_pglobal.get());
   }

   // Standard output while `run` runs.
   template <typename RUN>
   static string_base stdout_of(RUN run)
   {
      testing::internal::CaptureStdout();
      run();
      return testing::internal::GetCapturedStdout();
   }

   outcome<layers_read> read(scoped_string_base strText, scoped_string_base strMagic = project::project_magic_v2)
   {
      return m_pproject->create_layers_from_string(m_sizePaper, strText, strMagic);
   }

   pointer<image_layer> add_image_layer(scoped_string_base strName)
   {
      auto player = m_pproject->create_layer(e_layer_image).cast<image_layer>();
      player->set_name(strName);
      m_pproject->insert_layer_at(player, -1);
      return player;
   }

   pointer<Global> m_pglobal = make_pointer<Global>();
   pointer<project> m_pproject;
   size_type<int> m_sizePaper;
};

} // namespace

TEST_F(document, NewDocumentHasNoLayerAndDefaultRaster)
{
   EXPECT_EQ(m_pproject->get_layers_count(), 0);
   EXPECT_EQ(m_pproject->get_current_layer_id(), 0);
   EXPECT_FALSE(m_pproject->current_layer());
   EXPECT_EQ(m_pproject->get_paper_width(), 1920);
   EXPECT_EQ(m_pproject->get_paper_height(), 1080);
   EXPECT_EQ(m_pproject->m_iRasterLabelFontSize, 20);
   EXPECT_FALSE(m_pproject->m_bRasterLabel);
}

TEST_F(document, CreatedLayersKnowTheirControllerAndDocumentButAreInNoList)
{
   auto player = m_pproject->create_layer(e_layer_boxes);
   ASSERT_TRUE(player);
   EXPECT_EQ(player->get_controller(), m_pglobal.get());
   EXPECT_EQ(player->get_document(), m_pproject.get());
   EXPECT_EQ(m_pproject->get_layers_count(), 0);
   EXPECT_FALSE(m_pproject->create_layer(static_cast<enum_layer>(3)));

   const string_base strOut = stdout_of([&] { EXPECT_FALSE(m_pproject->create_layer_from_parameters(static_cast<enum_layer>(7), "Name:x")); });
   EXPECT_EQ(strOut, "create_layer_from_parameters: layer is nullptr\n");
   // No defaults: a key the text does not give keeps the constructor's value.
   auto pscreen = m_pproject->create_layer_from_parameters(e_layer_boxes, "Name:Wall\nColumns:4").cast<boxes_layer>();
   EXPECT_EQ(pscreen->get_name(), "Wall");
   EXPECT_EQ(pscreen->Columns, 4);
   EXPECT_EQ(pscreen->Rows, boxes_layer().Rows);
}

TEST_F(document, NewLayersGoUnderTheOthersAndTheCurrentIndexStays)
{
   add_image_layer("A");
   add_image_layer("B");
   add_image_layer("C");
   ASSERT_TRUE(m_pproject->set_current_layer_index(1));
   auto pscreen = m_pproject->new_boxes_layer();
   EXPECT_EQ(m_pproject->get_layer(0), pscreen);
   EXPECT_EQ(m_pproject->current_layer()->get_name(), "A");
   EXPECT_FALSE(pscreen->BoxColors.empty());
   auto pimage = m_pproject->new_image_layer();
   EXPECT_EQ(m_pproject->get_layer(0), pimage);
   EXPECT_EQ(m_pproject->get_layers_count(), 5);

   ASSERT_TRUE(m_pproject->set_current_layer_index(0));
   EXPECT_EQ(m_pproject->current_image_layer(), pimage);
   EXPECT_FALSE(m_pproject->current_boxes_layer());
}

TEST_F(document, CurrentIndexAndLayerQueriesOutsideTheList)
{
   add_image_layer("A");
   EXPECT_TRUE(m_pproject->set_current_layer_index(-5));
   EXPECT_EQ(m_pproject->get_current_layer_id(), -1);
   EXPECT_FALSE(m_pproject->current_layer());
   EXPECT_TRUE(m_pproject->set_current_layer_index(0));
   EXPECT_FALSE(m_pproject->set_current_layer_index(1));
   EXPECT_EQ(m_pproject->get_current_layer_id(), 0);
   EXPECT_FALSE(m_pproject->get_layer(-1));
   EXPECT_FALSE(m_pproject->get_layer(1));
   m_pproject->insert_layer_at(nullptr, 0);
   EXPECT_EQ(m_pproject->get_layers_count(), 1);
}

TEST_F(document, LogoLayerIsMadeOnceOnTop)
{
   add_image_layer("A");
   EXPECT_EQ(m_pproject->get_logo_layer_index(), -1);
   auto plogo = m_pproject->get_logo_layer();
   ASSERT_TRUE(plogo);
   EXPECT_EQ(m_pproject->get_logo_layer_index(), 1);
   EXPECT_EQ(plogo->get_name(), "Logo");
   EXPECT_EQ(m_pproject->get_logo_layer(), plogo);
   EXPECT_EQ(m_pproject->get_layers_count(), 2);

   // A flagged screen layer is no logo layer.
   auto pother = make_pointer<project>(nullptr);
   auto pscreen = pother->create_layer(e_layer_boxes);
   pscreen->set_logo(true);
   pother->insert_layer_at(pscreen, -1);
   EXPECT_FALSE(pother->get_logo_layer());
}

TEST_F(document, AnEmptySlotInTheListIsPassedOverAndDestroyedWithIt)
{
   auto pother = make_pointer<project>(nullptr);
   pother->get_layers().add(pointer<app_layer>());
   EXPECT_EQ(pother->get_logo_layer_index(), -1);
   auto plogo = pother->get_logo_layer();
   EXPECT_EQ(pother->get_logo_layer_index(), 1);
   pother.reset();
   EXPECT_EQ(plogo->get_document(), nullptr);
}

TEST_F(document, AnEmptySlotInTheListIsSavedAsNoLayer)
{
   temporary_folder folder;
   add_image_layer("Left");
   m_pproject->get_layers().add(pointer<app_layer>());
   add_image_layer("Right");
   ASSERT_TRUE(m_pproject->save_project_to_file(folder / "show.tvsx"));
   ASSERT_TRUE(m_pproject->save_preset_to_file(folder / "mine.tvsx_presets"));

   auto preread = make_pointer<project>(nullptr);
   const outcome<container_read> reread = preread->load_project_from_string(file::read_all(folder / "show.tvsx").value_or(""));
   ASSERT_TRUE(reread) << reread.error();
   EXPECT_EQ(reread->m_strFault, "");
   ASSERT_EQ(preread->get_layers_count(), 2);
   EXPECT_EQ(preread->get_layer(0)->get_name(), "Left");
   EXPECT_EQ(preread->get_layer(1)->get_name(), "Right");
   EXPECT_TRUE(file::read_all(folder / "mine.tvsx_presets").value_or("").starts_with("BRISVANE_LED_PRESETS v2 2 0\n"));
}

TEST_F(document, PaperSizeIsStoredAsGivenAndReadAtLeastOne)
{
   m_pglobal->take_changed();
   m_pproject->set_paper_size(0, -3);
   EXPECT_TRUE(m_pglobal->take_changed());
   EXPECT_EQ(m_pproject->get_paper_width(), 1);
   EXPECT_EQ(m_pproject->get_paper_height(), 1);
   m_pproject->set_paper_width(2);
   EXPECT_EQ(m_pproject->get_paper_width(), 2);
   EXPECT_EQ(m_pproject->get_raster_size_text(), "Width:2\nHeight:1");
}

TEST_F(document, RasterLabelLinesDrawFourAtMostThenTheSize)
{
   m_pproject->m_straRasterLabel = {"  First ", " ", "Third", "Fourth", "Fifth", "Sixth"};
   string_array_base straLines;
   m_pproject->get_raster_label_lines(straLines);
   EXPECT_EQ(straLines, (string_array_base{"First", "Third", "Fourth", "1920x1080"}));
}

TEST_F(document, ProjectFileIsWrittenByteForByte)
{
   temporary_folder folder;
   auto pleft = add_image_layer("Left");
   pleft->apply_layer_info("OffsetX:10\nOffsetY:20");
   auto pright = add_image_layer("Right");
   pright->apply_layer_info("Hidden:1\nAspectRatio:0");
   m_pproject->set_paper_size(1280, 720);
   m_pproject->load_raster_label_info("Raster Label:1\nX:5\nY:6\nLabel:Hall A\nLabel:");

   ASSERT_TRUE(m_pproject->save_project_to_file(folder / "show.tvsx"));
   EXPECT_EQ(file::read_all(folder / "show.tvsx").value_or(""),
      "BRISVANE_LED_PROJECT v2 2 21\n"
      "Width:1280\nHeight:720\n"
      "2 106\n"
      "OffsetX:10\nOffsetY:20\nName:Left\nHidden:0\nCustomPath:\nPowerCustomPath:\nWidth:0\nHeight:0\nData:\nAspectRatio:1"
      "2 105\n"
      "OffsetX:0\nOffsetY:0\nName:Right\nHidden:1\nCustomPath:\nPowerCustomPath:\nWidth:0\nHeight:0\nData:\nAspectRatio:0"
      "100 55\n"
      "Raster Label:1\nX:5\nY:6\nFontSize:20\nLabel:Hall A\nLabel:\n");
}

TEST_F(document, PresetsAndLogoFilesAreWrittenByteForByte)
{
   temporary_folder folder;
   for (const char * pszName : {"A", "B", "C"})
   {
      add_image_layer(pszName);
   }
   ASSERT_TRUE(m_pproject->save_preset_to_file(folder / "mine.tvsx_presets"));
   const string_base strPresets = file::read_all(folder / "mine.tvsx_presets").value_or("");
   EXPECT_EQ(strPresets.substr(0, 37), "BRISVANE_LED_PRESETS v2 3 0\n2 101\nOff");
   EXPECT_EQ(strPresets.find("100 "), string_base::npos);

   auto plogo = m_pproject->get_logo_layer();
   plogo->apply_layer_info("OffsetX:3\nOffsetY:4\nName:Ignored");
   ASSERT_TRUE(m_pproject->save_logo_layer_to_file(folder / "logo.data"));
   EXPECT_EQ(file::read_all(folder / "logo.data").value_or(""),
      "BRISVANE_LED_PROJECT v2 1 16\n"
      "Width:0\nHeight:0\n"
      "2 104\n"
      "OffsetX:3\nOffsetY:4\nName:Logo\nHidden:0\nCustomPath:\nPowerCustomPath:\nWidth:0\nHeight:0\nData:\nAspectRatio:1");
}

TEST_F(document, WritesThatFailSaySoAndLeaveNoFile)
{
   temporary_folder folder;
   add_image_layer("A");
   const file::path pathMissing = folder / "missing" / "show.tvsx";
   EXPECT_FALSE(m_pproject->save_project_to_file(pathMissing));
   EXPECT_FALSE(m_pproject->save_preset_to_file(pathMissing));
   EXPECT_FALSE(m_pproject->save_logo_layer_to_file(pathMissing));
   EXPECT_FALSE(m_pproject->save_resolute_arena_xml_document(pathMissing));
   EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(document, RoundTripKeepsLayersInOrderRasterAndSixLabelLines)
{
   temporary_folder folder;
   auto pscreen = m_pproject->new_boxes_layer();
   pscreen->apply_layer_info("Name:Main wall\nColumns:12\nRows:4\nOffsetX:100\nWidth:Height:Data in a name");
   auto pimage = m_pproject->create_layer(e_layer_image).cast<image_layer>();
   auto ppicture = make_pointer<image::image>(6, 3);
   ppicture->pixel(5, 2) = 0xff00ff00;
   pimage->set_image(ppicture);
   pimage->apply_layer_info("Name:Sponsor\nWidth:60\nHeight:30\nOffsetY:-7");
   m_pproject->insert_layer_at(pimage, -1);
   auto phidden = m_pproject->create_layer(e_layer_boxes);
   phidden->apply_layer_info("Name:Width 2\nHidden:1");
   m_pproject->insert_layer_at(phidden, -1);
   m_pproject->get_logo_layer()->set_name("My logo");
   m_pproject->set_paper_size(3840, 2160);
   m_pproject->m_bRasterLabel = true;
   m_pproject->m_iRasterLabelX = -4;
   m_pproject->m_iRasterLabelY = 9;
   m_pproject->m_iRasterLabelFontSize = 33;
   m_pproject->m_straRasterLabel = {"One", "", "Three: with colon", "Four", "Five", "Six"};
   ASSERT_TRUE(m_pproject->save_project_to_file(folder / "show.tvsx"));

   auto pread = make_pointer<project>(m_pglobal.get());
   ASSERT_TRUE(pread->load_project_from_string(file::read_all(folder / "show.tvsx").value_or("")));
   ASSERT_EQ(pread->get_layers_count(), 4);
   EXPECT_EQ(pread->get_current_layer_id(), 3);
   EXPECT_EQ(pread->get_paper_width(), 3840);
   EXPECT_EQ(pread->get_paper_height(), 2160);
   EXPECT_TRUE(pread->m_bRasterLabel);
   EXPECT_EQ(pread->m_iRasterLabelX, -4);
   EXPECT_EQ(pread->m_iRasterLabelY, 9);
   EXPECT_EQ(pread->m_iRasterLabelFontSize, 33);
   EXPECT_EQ(pread->m_straRasterLabel, m_pproject->m_straRasterLabel);

   auto pscreenRead = pread->get_layer(0).cast<boxes_layer>();
   ASSERT_TRUE(pscreenRead);
   EXPECT_EQ(pscreenRead->get_layer_info(), pscreen->get_layer_info());
   auto pimageRead = pread->get_layer(1).cast<image_layer>();
   ASSERT_TRUE(pimageRead);
   EXPECT_EQ(pimageRead->get_width(), 60);
   EXPECT_EQ(pimageRead->get_offset_y(), -7);
   EXPECT_EQ(pimageRead->get_image()->pixel(5, 2), 0xff00ff00);
   EXPECT_TRUE(pread->get_layer(2)->is_hidden());
   EXPECT_EQ(pread->get_layer(2)->get_name(), "Width 2");
   // The logo comes back as an ordinary image layer named "Logo".
   EXPECT_EQ(pread->get_layer(3)->get_name(), "Logo");
   EXPECT_FALSE(pread->get_layer(3)->is_logo());
   EXPECT_EQ(pread->get_logo_layer_index(), -1);
   for (const pointer<app_layer> & player : pread->get_layers())
   {
      EXPECT_EQ(player->get_document(), pread.get());
   }
}

TEST_F(document, HeaderFaultsYieldNoLayersAndTellWhy)
{
   const string_base strBlock = screen_block("A");
   struct header_case
   {
      string_base m_strText;
      const char * m_pszMagic;
      const char * m_pszOut;
   };
   const header_case cases[] = {
      {"", project::project_magic_v2, "create_layers_from_string::header no line\n"},
      {"BRISVANE_LED_PRESETS v2 1 0\n" + strBlock, project::project_magic_v2, "create_layers_from_string::header check err\n"},
      {"BRISVANE_LED_PROJECT v2\n" + strBlock, project::project_magic_v2, "create_layers_from_string::header check err\n"},
      {"BRISVANE_LED_PROJECT v2 1025 0\n" + strBlock, project::project_magic_v2, "layers_count can't be <0 or >1024\n"},
      {"BRISVANE_LED_PRESETS v2 -1 0\n" + strBlock, project::presets_magic_v2, "layers_count can't be <0 or >1024\n"},
   };
   for (const header_case & c : cases)
   {
      testing::internal::CaptureStdout();
      const auto result = read(c.m_strText, c.m_pszMagic);
      EXPECT_EQ(testing::internal::GetCapturedStdout(), c.m_pszOut);
      EXPECT_FALSE(result) << c.m_pszOut;
   }
   // The blank of the magic matches any white space, none included.
   EXPECT_TRUE(read("BRISVANE_LED_PROJECTv2\t0"));
   // A valid container with no layer is a valid, empty read.
   const auto result = read("BRISVANE_LED_PRESETS v2 0 0\n", project::presets_magic_v2);
   ASSERT_TRUE(result);
   EXPECT_TRUE(result->m_layers.is_empty());
}

TEST_F(document, BlockFaultsKeepTheLayersBeforeThem)
{
   struct block_case
   {
      string_base m_strBad;
      const char * m_pszOut;
   };
   const block_case cases[] = {
      {"1 0\n", "create_layers_from_string::data len too large [0]\n"},
      {"1 -5\nName:x", "create_layers_from_string::data len too large [-5]\n"},
      {"3 6\nName:x", "create_layers_from_string::ROW layer type incorrect [3]\n"},
      {"garbage\n", "create_layers_from_string::HDR::step2 error [std:garbage]\n"},
      {"1\n", "create_layers_from_string::HDR::step2 error [std:1]\n"},
   };
   for (const block_case & c : cases)
   {
      const string_base strText = "BRISVANE_LED_PROJECT v2 3 0\n" + screen_block("A") + c.m_strBad + screen_block("C");
      testing::internal::CaptureStdout();
      const auto result = read(strText);
      EXPECT_EQ(testing::internal::GetCapturedStdout(), c.m_pszOut);
      ASSERT_TRUE(result) << c.m_pszOut;
      ASSERT_EQ(result->m_layers.count(), 1) << c.m_pszOut;
      EXPECT_EQ(result->m_layers[0]->get_name(), "A");
   }
}

TEST_F(document, CountAllowsOneBlockMore)
{
   const auto one = read("BRISVANE_LED_PROJECT v2 0 0\n" + screen_block("A"));
   ASSERT_TRUE(one);
   EXPECT_EQ(one->m_layers.count(), 1);
   const auto result = read("BRISVANE_LED_PROJECT v2 1 0\n" + screen_block("A") + screen_block("B") + screen_block("C"));
   ASSERT_TRUE(result);
   ASSERT_EQ(result->m_layers.count(), 2);
   EXPECT_EQ(result->m_layers[1]->get_name(), "B");
}

TEST_F(document, ShortBlockStillYieldsItsLayerAndSaysTheFileWasCut)
{
   testing::internal::CaptureStdout();
   const auto result = read("BRISVANE_LED_PROJECT v2 1 0\n1 500\nName:Cut\nColumns:3");
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "create_layers_from_string::data cut short [18 of 500 bytes]: the file ends inside a block\n");
   ASSERT_TRUE(result);
   ASSERT_EQ(result->m_layers.count(), 1);
   EXPECT_EQ(result->m_layers[0].cast<boxes_layer>()->Columns, 3);
}

TEST_F(document, BlocksAreTakenByLengthWhateverTheyHold)
{
   // Line ends of any kind between header lines; a block holding "Width" and a NUL byte.
   string_base strBlock = "Name:Width 5\r\nColumns:7\r\n";
   strBlock += '\0';
   strBlock += "Rows:9\r\n";
   const string_base strText = "BRISVANE_LED_PROJECT v2 2 22\r\nWidth:800\r\nHeight:600\r\n" + project_block(1, strBlock) + screen_block("B");
   const auto result = read(strText);
   ASSERT_TRUE(result);
   ASSERT_EQ(result->m_layers.count(), 2);
   EXPECT_EQ(m_sizePaper, (size_type<int>{800, 600}));
   auto player = result->m_layers[0].cast<boxes_layer>();
   EXPECT_EQ(player->get_name(), "Width 5");
   EXPECT_EQ(player->Columns, 7);
   EXPECT_NE(player->Rows, 9);
   EXPECT_EQ(result->m_layers[1]->get_name(), "B");
}

TEST_F(document, RasterLabelPrefixesMatchInAnyLetterCase)
{
   m_pproject->m_straRasterLabel = {"old"};
   m_pproject->m_iRasterLabelFontSize = 44;
   m_pproject->load_raster_label_info("raster label:7\r\nx:12abc\rLABEL:Upper\nlabel:lower: with colon\nnothing\n");
   EXPECT_TRUE(m_pproject->m_bRasterLabel);
   EXPECT_EQ(m_pproject->m_iRasterLabelX, 12);
   EXPECT_EQ(m_pproject->m_iRasterLabelFontSize, 44);
   EXPECT_EQ(m_pproject->m_straRasterLabel, (string_array_base{"Upper", "lower: with colon"}));
   m_pproject->load_raster_label_info("Raster Label:0");
   EXPECT_FALSE(m_pproject->m_bRasterLabel);
   EXPECT_TRUE(m_pproject->m_straRasterLabel.is_empty());
}

TEST_F(document, LoadingAProjectReplacesTheLayers)
{
   add_image_layer("Old");
   const string_base strThree = "BRISVANE_LED_PROJECT v2 3 0\n" + screen_block("A") + screen_block("B") + screen_block("C");
   EXPECT_TRUE(m_pproject->load_project_from_string(strThree));
   EXPECT_EQ(m_pproject->get_layers_count(), 3);
   EXPECT_EQ(m_pproject->get_current_layer_id(), 2);

   // Size lines of 0 keep the raster size.
   m_pproject->set_paper_size(640, 480);
   EXPECT_TRUE(m_pproject->load_project_from_string("BRISVANE_LED_PROJECT v2 0 16\nWidth:0\nHeight:0\n"));
   EXPECT_EQ(m_pproject->get_paper_width(), 640);
   EXPECT_EQ(m_pproject->get_layers_count(), 0);
   EXPECT_EQ(m_pproject->get_current_layer_id(), -1);

   m_pproject->load_project_from_string(strThree);
   testing::internal::CaptureStdout();
   EXPECT_FALSE(m_pproject->load_project_from_string("PNG not a project"));
   testing::internal::GetCapturedStdout();
   EXPECT_EQ(m_pproject->get_layers_count(), 0);
   EXPECT_EQ(m_pproject->get_current_layer_id(), -1);
   EXPECT_EQ(m_pproject->get_paper_width(), 640);
}

class default_document : public document
{
protected:
   default_document()
   {
      m_strOldData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
      ::setenv("XDG_DATA_HOME", m_folder.path().c_str(), 1);
      std::filesystem::create_directories(m_pglobal->getFolderToSaveData());
   }
   ~default_document() override
   {
      if (m_strOldData.empty())
      {
         ::unsetenv("XDG_DATA_HOME");
      }
      else
      {
         ::setenv("XDG_DATA_HOME", m_strOldData.c_str(), 1);
      }
   }

   pointer<project> load_defaults()
   {
      auto pdefault = make_pointer<project>(m_pglobal.get());
      testing::internal::CaptureStdout();
      pdefault->load_default_layers();
      m_strOut = testing::internal::GetCapturedStdout();
      return pdefault;
   }

   temporary_folder m_folder;
   string_base m_strOldData;
   string_base m_strOut;
};

TEST_F(default_document, WithoutLogoFileOneScreenLayerOnAFullHdRaster)
{
   auto pdefault = load_defaults();
   EXPECT_EQ(m_strOut, "create_layers_from_string::header no line\n");
   ASSERT_EQ(pdefault->get_layers_count(), 1);
   EXPECT_TRUE(pdefault->get_layer(0).cast<boxes_layer>());
   EXPECT_EQ(pdefault->get_current_layer_id(), 0);
   EXPECT_EQ(pdefault->m_iRasterLabelX, 1920);
   EXPECT_EQ(pdefault->m_iRasterLabelY, 1080);
}

TEST_F(default_document, LogoFileGivesTheLogoLayerOnTop)
{
   auto plogo = m_pproject->get_logo_layer();
   plogo->apply_layer_info("OffsetX:50\nWidth:10\nHeight:5");
   ASSERT_TRUE(m_pproject->save_logo_layer_to_file(m_pglobal->getFolderToSaveData() / "logo.data"));
   auto pdefault = load_defaults();
   ASSERT_EQ(pdefault->get_layers_count(), 2);
   EXPECT_EQ(pdefault->get_logo_layer_index(), 1);
   EXPECT_EQ(pdefault->get_layer(1)->get_offset_x(), 50);
   EXPECT_EQ(pdefault->get_paper_width(), 1920);
}

TEST_F(default_document, LogoFileWhoseFirstLayerIsNoImageGivesNoLogo)
{
   ASSERT_TRUE(file::write_all(m_pglobal->getFolderToSaveData() / "logo.data", "BRISVANE_LED_PROJECT v2 1 16\nWidth:0\nHeight:0\n" + screen_block("S")));
   auto pdefault = load_defaults();
   EXPECT_EQ(pdefault->get_layers_count(), 1);
   EXPECT_EQ(pdefault->get_logo_layer_index(), -1);
   EXPECT_NE(m_strOut.find("not an image layer"), string_base::npos);
}
