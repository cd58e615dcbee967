// Projects as files the user opens and saves: a large picture layer comes back whole, a project
// read only in part says so, only regular files whose text fits the document's memory budget are
// opened, any document is saved, saving through a link keeps the link, and a project of several
// names stays one file.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <span>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "host/node.h"
#include "orvo/file_system.h"
#include "orvo/straight_alpha.h"
#include "project_files_fixture.h"
#include "scoped_variable.h"
#include "screen/MainScreen.h"
#include "test_files.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// Noise, which PNG cannot make smaller: the largest project text a picture of its size gives.
pointer<image::image> noise_picture(int iWidth, int iHeight)
{
   auto pimage = make_pointer<image::image>(iWidth, iHeight);
   std::uint32_t uState = 12345;
   for (int y = 0; y < iHeight; ++y)
   {
      for (std::uint32_t & uPixel : std::span(pimage->row(y), static_cast<std::size_t>(iWidth)))
      {
         uState = uState * 1664525u + 1013904223u;
         uPixel = 0xFF000000u | (uState >> 8);
      }
   }
   return pimage;
}

string_base raster_label_block()
{
   return project_block(100, "Raster Label:1\nX:5\nY:6\nFontSize:20\nLabel:Stage\n");
}

// The byte range of the first image layer's picture text in a container text.
std::pair<std::size_t, std::size_t> picture_text_range(const string_base & strText)
{
   const std::size_t iStart = strText.find("Data:") + 5;
   return {iStart, strText.find('\n', iStart) - iStart};
}

} // namespace

TEST_F(project_files, a_4k_picture_and_the_layers_after_it_save_and_reopen_whole)
{
   pointer<image_layer> pimagelayer = document().new_image_layer();
   pimagelayer->set_name("Photo");
   pimagelayer->set_image(noise_picture(3840, 2160));
   pimagelayer->setMaintainAspectRatio(false);
   pimagelayer->set_width(1920);
   pimagelayer->set_height(1080);
   ASSERT_EQ(document().get_layer(1)->get_name(), "Screen1");
   const file::path path = data_file("photo.tvsx");
   m_pglobal->projects().save_to_file(path);
   EXPECT_TRUE(take_errors_shown().empty());
   EXPECT_GT(std::filesystem::file_size(std::filesystem::path(path)), 32u << 20) << "a block the old reader refused";

   pointer<MainScreen> pscreenRead = make_pointer<MainScreen>(nullptr);
   Global * pglobalRead = pscreenRead->get_global();
   pglobalRead->load_project_from_file(path);
   EXPECT_TRUE(take_errors_shown().empty());
   project * pread = pglobalRead->current_project();
   ASSERT_EQ(pread->get_layers_count(), 2);
   pointer<image_layer> pphoto = pread->get_layer(0).cast<image_layer>();
   ASSERT_TRUE(pphoto);
   EXPECT_EQ(pphoto->get_name(), "Photo");
   EXPECT_EQ(pphoto->get_width(), 1920);
   ASSERT_EQ(pphoto->get_real_width(), 3840);
   ASSERT_EQ(pphoto->get_real_height(), 2160);
   EXPECT_EQ(std::memcmp(pphoto->get_image()->data(), pimagelayer->get_image()->data(), std::size_t{3840} * 2160 * 4), 0);
   EXPECT_EQ(pread->get_layer(1)->get_name(), "Screen1");
}

// Pictures of odd sizes, opaque and translucent, one a pixel high: the project opened and saved
// again is the same file, byte for byte, and every picture comes back pixel for pixel.
TEST_F(project_files, a_project_of_many_picture_layers_reads_back_byte_for_byte)
{
   document().get_layers().clear();
   std::vector<pointer<image::image>> pictures;
   for (int i = 0; i < 12; ++i)
   {
      pointer<image_layer> player = document().new_image_layer();
      player->set_name(format("Photo %d", i));
      pointer<image::image> ppicture = noise_picture(1 + i * 97, i == 5 ? 1 : 3 + i * 41);
      if (i % 2 == 1)
      {
         std::uint32_t * ppixel = ppicture->data();
         for (std::size_t iPixel = 0; iPixel < static_cast<std::size_t>(ppicture->width()) * ppicture->height(); iPixel += 3)
         {
            ppixel[iPixel] = image::premultiplied_pixel(color::color(200, 100, 50, static_cast<std::uint8_t>(iPixel)));
         }
      }
      player->set_image(ppicture);
      player->set_width(ppicture->width());
      pictures.insert(pictures.begin(), ppicture);
   }
   const file::path path = data_file("pictures.tvsx");
   m_pglobal->projects().save_to_file(path);
   const string_base strSaved = file::read_all(path).value();

   pointer<MainScreen> pscreenRead = make_pointer<MainScreen>(nullptr);
   Global * pglobalRead = pscreenRead->get_global();
   pglobalRead->load_project_from_file(path);
   EXPECT_TRUE(take_errors_shown().empty());
   project * pread = pglobalRead->current_project();
   ASSERT_EQ(pread->get_layers_count(), 12);
   for (long long i = 0; i < 12; ++i)
   {
      const pointer<image::image> & ppicture = pread->get_layer(i).cast<image_layer>()->get_image();
      ASSERT_TRUE(ppicture);
      ASSERT_EQ(ppicture->width(), pictures[i]->width());
      ASSERT_EQ(ppicture->height(), pictures[i]->height());
      EXPECT_EQ(std::memcmp(ppicture->data(), pictures[i]->data(), static_cast<std::size_t>(ppicture->byte_count())), 0) << "layer " << i;
   }
   const file::path pathAgain = data_file("pictures_again.tvsx");
   pglobalRead->projects().save_to_file(pathAgain);
   EXPECT_TRUE(file::read_all(pathAgain).value() == strSaved);
}

TEST_F(project_files, a_project_read_only_in_part_opens_with_an_error_that_says_what_was_kept)
{
   struct partial_case
   {
      string_base m_strText;
      const char * m_pszFault;
      const char * m_pszKept;
   };
   const partial_case cases[] = {
      {"BRISVANE_LED_PROJECT v2 3 0\n" + screen_block("A") + "3 6\nName:x" + screen_block("C"),
       "block 2 is of an unknown type (3)", "Kept: 1 of the 3 layers it announces."},
      {"BRISVANE_LED_PROJECT v2 3 0\n" + screen_block("A") + "1 0\nName:x",
       "block 2 gives a length of 0 bytes, which no block has", "Kept: 1 of the 3 layers it announces."},
      // A length beyond 32 bits is read as it is, and found longer than the file.
      {"BRISVANE_LED_PROJECT v2 3 0\n" + screen_block("A") + "1 4294967297\nName:x",
       "the file ends inside block 2, after 6 of its 4294967297 bytes", "Kept: 2 of the 3 layers it announces."},
      {"BRISVANE_LED_PROJECT v2 2 0\n" + screen_block("A") + "1 500\nName:Cut",
       "the file ends inside block 2, after 8 of its 500 bytes", "Kept: 2 of the 2 layers it announces."},
      {"BRISVANE_LED_PROJECT v2 3 0\n" + screen_block("A"),
       "the file ends after 1 of the 3 layers it announces", "Kept: 1 of the 3 layers it announces."},
      {"BRISVANE_LED_PROJECT v2 1 0\n" + screen_block("A") + screen_block("B") + screen_block("C") + raster_label_block(),
       "it holds more blocks than its header's 1 layers allow; block 3 and what follows were not read",
       "Kept: 2 layers, though it announces 1."},
      {"BRISVANE_LED_PROJECT v2 2 0\n" + screen_block("A") + screen_block("B") + screen_block("B") + raster_label_block(),
       "it holds more blocks than its header's 2 layers allow; block 4 and what follows were not read",
       "Kept: 3 layers, though it announces 2."},
      {"BRISVANE_LED_PROJECT v2 2 0\nWidth:640\nHeight:480\n" + screen_block("A") + screen_block("B"),
       "the file ends before its raster label block", "Kept: 2 of the 2 layers it announces."},
   };
   for (const partial_case & c : cases)
   {
      ASSERT_TRUE(file::write_all(data_file("part.tvsx"), c.m_strText));
      m_pglobal->load_project_from_file(data_file("part.tvsx"));
      const string_base strError = the_error_shown();
      EXPECT_NE(strError.find("was read only in part: " + string_base(c.m_pszFault)), string_base::npos) << strError;
      EXPECT_NE(strError.find(c.m_pszKept), string_base::npos) << strError;
      EXPECT_EQ(document().get_layer(0)->get_name(), "A");
   }

   // A whole project says nothing, trailing blank lines included.
   ASSERT_TRUE(file::write_all(data_file("whole.tvsx"),
                               "BRISVANE_LED_PROJECT v2 2 0\n" + screen_block("A") + screen_block("B") + raster_label_block() + "\n\n"));
   m_pglobal->load_project_from_file(data_file("whole.tvsx"));
   EXPECT_TRUE(take_errors_shown().empty());
   EXPECT_EQ(document().get_layers_count(), 2);
   EXPECT_EQ(document().m_straRasterLabel.count(), 1);
}

TEST_F(project_files, a_picture_that_does_not_read_is_told_by_layer_name_and_saved_back_unchanged)
{
   pointer<image_layer> pphoto = document().new_image_layer();
   pphoto->set_name("Photo");
   pphoto->set_image(noise_picture(64, 32));
   const file::path path = data_file("photo.tvsx");
   m_pglobal->projects().save_to_file(path);
   const string_base strSaved = file::read_all(path).value();
   const auto [iData, iDataLength] = picture_text_range(strSaved);

   struct bad_picture
   {
      std::size_t m_iPosition;
      char m_chNew;
      const char * m_pszReason;
   };
   // One character that is not hexadecimal, and one changed digit in the middle of the pixel data,
   // which fails the PNG's check.
   const std::size_t iMiddle = iData + iDataLength / 2;
   const bad_picture cases[] = {
      {iMiddle, 'g', "is not a hexadecimal digit"},
      {iMiddle, strSaved[iMiddle] == '0' ? '1' : '0', "it does not decode"},
   };
   for (const bad_picture & c : cases)
   {
      string_base strBroken = strSaved;
      strBroken[c.m_iPosition] = c.m_chNew;
      ASSERT_TRUE(file::write_all(path, strBroken));
      m_pglobal->load_project_from_file(path);
      const string_base strError = the_error_shown();
      EXPECT_NE(strError.find("The picture of the layer \"Photo\" cannot be shown"), string_base::npos) << strError;
      EXPECT_NE(strError.find(c.m_pszReason), string_base::npos) << strError;
      pointer<image_layer> pread = document().get_layer(0).cast<image_layer>();
      ASSERT_TRUE(pread);
      EXPECT_FALSE(pread->get_image());

      m_pglobal->projects().save_to_file(data_file("saved.tvsx"));
      EXPECT_EQ(file::read_all(data_file("saved.tvsx")).value(), strBroken) << "the picture text, and all else, as it came";
   }

   // Beyond the memory budget the picture is not decoded on reading; the frame build that finds
   // room for it tells the fault once and keeps the text.
   const string_base strData = strSaved.substr(iData, iDataLength);
   string_base strDataBroken = strData;
   strDataBroken[iDataLength / 2] = strData[iDataLength / 2] == '0' ? '1' : '0';
   document().budget().set_limit(0);
   pointer<app_layer> player = document().create_layer_from_parameters(e_layer_image, "Name:Late\nWidth:64\nHeight:32\nData:" + strDataBroken);
   document().insert_layer_at(player, -1);
   document().budget().set_limit(std::int64_t{1} << 40);
   build();
   EXPECT_NE(the_error_shown().find("The picture of the layer \"Late\" cannot be shown: it does not decode"), string_base::npos);
   m_pglobal->set_changed();
   build();
   EXPECT_TRUE(take_errors_shown().empty());
   EXPECT_EQ(player.cast<image_layer>()->getImageAsHex(), strDataBroken);
}

TEST_F(project_files, a_presets_file_not_read_whole_keeps_the_presets_in_use_and_their_autosave)
{
   m_pglobal->load_default_presets();
   m_pglobal->clone_current_layer_to_preset();
   ASSERT_EQ(m_pglobal->get_presets_count(), 10);
   const string_base strAutosaved = file::read_all(m_pglobal->presets().autosave_file_name()).value();

   // Twelve presets, and the first third of their file.
   string_base strTwelve = "BRISVANE_LED_PRESETS v2 12 0\n";
   for (int i = 0; i < 12; ++i)
   {
      strTwelve += screen_block(format("Panel %d", i).c_str());
   }
   const string_base strThird = strTwelve.substr(0, strTwelve.size() / 3);
   struct refused_case
   {
      string_base m_strText;
      const char * m_pszTold;
   };
   const refused_case cases[] = {
      {strThird, "was read only in part: the file ends inside block"},
      {strTwelve.substr(0, strTwelve.find("1 ", 40)), "was read only in part: the file ends after 1 of the 12 layers it announces"},
      {"BRISVANE_LED_PROJECT v2 0 0\n", "is not a Brisvane presets file."},
   };
   for (const refused_case & c : cases)
   {
      ASSERT_TRUE(file::write_all(data_file("twelve.tvsx_presets"), c.m_strText));
      m_pglobal->presets().open_chosen(data_file("twelve"));
      const string_base strError = the_error_shown();
      EXPECT_NE(strError.find(c.m_pszTold), string_base::npos) << strError;
      EXPECT_EQ(m_pglobal->get_presets_count(), 10);
      EXPECT_EQ(file::read_all(m_pglobal->presets().autosave_file_name()).value(), strAutosaved);
   }
}

// An autosave cut short at the start would otherwise be replaced by the built-in presets at the
// first preset added: it is moved aside whole, and each later such start finds a name of its own;
// a name held by a symbolic link, even one that leads nowhere, is taken.
TEST_F(project_files, an_autosave_not_read_whole_at_the_start_is_kept_aside_and_never_replaced)
{
   string_base strTwelve = "BRISVANE_LED_PRESETS v2 12 0\n";
   for (int i = 0; i < 12; ++i)
   {
      strTwelve += screen_block(format("Panel %d", i).c_str());
   }
   const string_base strCut = strTwelve.substr(0, strTwelve.size() / 3);
   const file::path pathAutosave = m_pglobal->presets().autosave_file_name();
   std::filesystem::create_symlink("gone.tvsx_presets", std::filesystem::path(data_file("autosaved-unread-2.tvsx_presets")));
   for (const char * pszKept : {"autosaved-unread.tvsx_presets", "autosaved-unread-3.tvsx_presets"})
   {
      ASSERT_TRUE(file::write_all(pathAutosave, strCut));
      m_pglobal->load_default_presets();
      const string_base strError = the_error_shown();
      EXPECT_NE(strError.find(format("kept as \"%s\"", data_file(pszKept).c_str())), string_base::npos) << strError;
      EXPECT_EQ(m_pglobal->get_presets_count(), 9) << "the built-in presets";
      m_pglobal->clone_current_layer_to_preset();
      EXPECT_EQ(file::read_all(data_file(pszKept)).value_or(""), strCut);
   }
   EXPECT_EQ(file::read_all(data_file("autosaved-unread.tvsx_presets")).value_or(""), strCut);
   EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::path(data_file("autosaved-unread-2.tvsx_presets"))));
   EXPECT_FALSE(file::exists(data_file("gone.tvsx_presets")));
}

TEST_F(project_files, only_regular_files_of_a_sane_size_are_opened)
{
   const file::path pathFifo = data_file("pipe.tvsx");
   ASSERT_EQ(::mkfifo(pathFifo.c_str(), 0600), 0);
   // A sparse file: it takes no room on the disk, but more memory than the document may take.
   document().budget().set_limit(2 << 20);
   const file::path pathHuge = data_file("huge.tvsx");
   ASSERT_TRUE(file::write_all(pathHuge, ""));
   std::filesystem::resize_file(std::filesystem::path(pathHuge), 3 << 20);
   struct refused_case
   {
      file::path m_path;
      const char * m_pszReason;
   };
   const refused_case cases[] = {
      {pathFifo, "it is a pipe (FIFO), not a file"},
      {"/dev/zero", "it is a device, not a file"},
      {m_pglobal->getFolderToSaveData(), "it is a folder"},
      {pathHuge, "it holds 3 MiB, more than the 2 MiB of memory that a document may take on this machine"},
   };
   project * pproject = &document();
   // Were the FIFO waited for, the alarm would end the test.
   ::alarm(60);
   for (const refused_case & c : cases)
   {
      m_pglobal->load_project_from_file(c.m_path);
      const string_base strError = the_error_shown();
      EXPECT_NE(strError.find(format("The project \"%s\" cannot be read", c.m_path.c_str())), string_base::npos) << strError;
      EXPECT_NE(strError.find(c.m_pszReason), string_base::npos) << strError;
   }
   ::alarm(0);
   EXPECT_EQ(m_pglobal->current_project(), pproject);
}

TEST_F(project_files, any_document_saves_and_a_file_opens_unless_its_text_passes_the_memory_budget)
{
   for (int i = 0; i < 3; ++i)
   {
      document().new_image_layer()->set_image(noise_picture(256, 256 + i));
   }
   // Saving knows no limit: the budget, now far below the file, does not stop it.
   document().budget().set_limit(1024);
   const file::path path = data_file("pictures.tvsx");
   m_pglobal->projects().save_to_file(path);
   EXPECT_TRUE(take_errors_shown().empty());
   // Written block by block, the file is the container text as a whole.
   const string_base strFile = read_all(std::filesystem::path(path.c_str()));
   ASSERT_EQ(strFile, document().get_container_text(project::project_magic, document().get_raster_size_text(), true));

   // One byte beyond the budget: the file is refused in the user's terms and the document stays.
   project * pdocument = &document();
   document().budget().set_limit(static_cast<std::int64_t>(strFile.size()) - 1);
   m_pglobal->load_project_from_file(path);
   EXPECT_EQ(the_error_shown(), format("The project \"%s\" cannot be read: it holds %zu bytes, more than the %zu bytes (%s) of memory "
                                       "that a document may take on this machine",
                                       path.c_str(), strFile.size(), strFile.size() - 1, file::byte_count_text(strFile.size()).c_str()));
   EXPECT_EQ(m_pglobal->current_project(), pdocument);

   // Within the budget it opens whole.
   document().budget().set_limit(static_cast<std::int64_t>(strFile.size()));
   m_pglobal->load_project_from_file(path);
   EXPECT_TRUE(take_errors_shown().empty());
   ASSERT_EQ(document().get_layers_count(), 4);
   EXPECT_EQ(document().get_container_text(project::project_magic, document().get_raster_size_text(), true), strFile);
}

TEST_F(project_files, saving_through_links_replaces_what_they_lead_to_and_keeps_the_owner)
{
   namespace fs = std::filesystem;
   const fs::path folder(m_pglobal->getFolderToSaveData().c_str());
   fs::create_directories(folder / "shared");
   // A project kept in a shared folder and opened through a link, the presets autosave a link to
   // a file that is not there yet.
   ASSERT_TRUE(file::write_all(data_file("shared/wall.tvsx"), "old"));
   fs::create_symlink("shared/wall.tvsx", folder / "wall.tvsx");
   fs::create_symlink("shared/presets.tvsx_presets", fs::path(m_pglobal->presets().autosave_file_name().c_str()));
   const bool bAdministrator = ::geteuid() == 0;
   if (bAdministrator)
   {
      ASSERT_EQ(::chown(data_file("shared/wall.tvsx").c_str(), 64011, 64013), 0);
   }

   m_pglobal->projects().save_chosen(data_file("wall.tvsx"));
   m_pglobal->presets().auto_save();
   EXPECT_TRUE(take_errors_shown().empty());
   EXPECT_TRUE(fs::is_symlink(folder / "wall.tvsx"));
   EXPECT_TRUE(file::read_all(data_file("shared/wall.tvsx")).value_or("").starts_with("BRISVANE_LED_PROJECT v2 "));
   EXPECT_TRUE(fs::is_symlink(fs::path(m_pglobal->presets().autosave_file_name().c_str())));
   EXPECT_TRUE(file::read_all(data_file("shared/presets.tvsx_presets")).value_or("").starts_with("BRISVANE_LED_PRESETS v2 "));
   if (bAdministrator)
   {
      struct stat st = {};
      ASSERT_EQ(::stat(data_file("shared/wall.tvsx").c_str(), &st), 0);
      EXPECT_EQ(st.st_uid, 64011u);
      EXPECT_EQ(st.st_gid, 64013u);
   }
}

// The desktop's list of recent files learns of a project saved, and not of one that could not be.
TEST_F(project_files, only_a_project_written_is_told_to_the_desktop_as_recently_used)
{
   const std::filesystem::path folder = fresh_folder("recent-projects");
   const scoped_variable dataHome("XDG_DATA_HOME", folder.c_str());
   m_pglobal->projects().save_chosen(folder / "no-such-folder" / "lost.tvsx");
   EXPECT_EQ(take_errors_shown().size(), 1u);
   m_pglobal->projects().save_chosen(folder / "wall.tvsx");
   EXPECT_TRUE(take_errors_shown().empty());
   const string_base strRecent = read_all(folder / "recently-used.xbel");
   EXPECT_NE(strRecent.find("/wall.tvsx\""), string_base::npos) << strRecent;
   EXPECT_EQ(strRecent.find("lost.tvsx"), string_base::npos) << strRecent;
   std::filesystem::remove_all(folder);
}

// A project of several names (hard links) stays one file when one of them is saved. A save that was
// cut short while it rewrote such a file is finished by the next start; one whose file another
// took the place of since is told, with where what was saved is kept.
TEST_F(project_files, a_project_of_several_names_stays_one_file_and_a_save_cut_short_is_finished_or_told_at_the_next_start)
{
   namespace fs = std::filesystem;
   const fs::path folder = fresh_folder("several-names");
   m_pglobal->projects().save_chosen(folder / "wall.tvsx");
   fs::create_hard_link(folder / "wall.tvsx", folder / "wall-copy.tvsx");
   document().get_layer(0)->set_name("Renamed");
   m_pglobal->projects().save_chosen(folder / "wall-copy.tvsx");
   EXPECT_TRUE(take_errors_shown().empty());
   EXPECT_NE(read_all(folder / "wall.tvsx").find("Name:Renamed\n"), string_base::npos);
   EXPECT_TRUE(fs::equivalent(folder / "wall.tvsx", folder / "wall-copy.tvsx"));

   const string_base strOld(4 << 20, 'o');
   const string_base strSaved(3 << 20, 's');
   for (const char * pszName : {"wall.tvsx", "gone.tvsx"})
   {
      ASSERT_TRUE(file::write_all(folder / pszName, strOld));
      fs::create_hard_link(folder / pszName, folder / (string_base(pszName) + ".other"));
      ASSERT_TRUE(WIFSIGNALED(save_killed_midway(folder / pszName, strSaved)));
   }
   fs::remove(folder / "gone.tvsx");
   pointer<MainScreen> pscreen = make_pointer<MainScreen>(nullptr);
   pscreen->create_main_screen();
   EXPECT_EQ(read_all(folder / "wall.tvsx.other"), strSaved);
   const std::vector<string_base> errors = ::take_errors_shown(*pscreen);
   ASSERT_EQ(errors.size(), 1u);
   EXPECT_EQ(errors[0], format("A save of \"%s\" was cut short, and cannot be finished: the file is no longer there.\n\nWhat was saved is "
                               "kept as \"%s\".",
                               (folder / "gone.tvsx").c_str(), data_file("unfinished-saves/gone.tvsx").c_str()));
   EXPECT_EQ(read_all(std::filesystem::path(data_file("unfinished-saves/gone.tvsx"))), strSaved);
   fs::remove_all(folder);
}

TEST_F(project_files, fifos_in_the_data_folder_do_not_hold_the_start)
{
   for (const char * pszName : {"autosaved.tvsx_presets", "logo.data", "settings_layout.network_payload"})
   {
      ASSERT_EQ(::mkfifo(data_file(pszName).c_str(), 0600), 0) << pszName;
   }
   // Were a FIFO waited for, the alarm would end the test.
   ::alarm(60);
   pointer<MainScreen> pscreen = make_pointer<MainScreen>(nullptr);
   pscreen->create_main_screen();
   Global * pglobal = pscreen->get_global();
   pglobal->load_default_layers();
   ::alarm(0);
   EXPECT_EQ(pglobal->get_presets_count(), 9) << "the built-in presets";
   EXPECT_EQ(pglobal->current_project()->get_layers_count(), 1) << "no logo layer";
}

TEST_F(project_files, a_data_folder_that_cannot_be_written_is_told_once_where_and_why)
{
   // A file stands where the data folder would be made.
   const std::filesystem::path blocked = fresh_folder("blocked-data");
   ASSERT_TRUE(file::write_all((blocked / "Brisvane").c_str(), "a file"));
   const scoped_variable dataHome("XDG_DATA_HOME", blocked.c_str());
   pointer<MainScreen> pscreen = make_pointer<MainScreen>(nullptr);
   pscreen->create_main_screen();
   Global * pglobal = pscreen->get_global();
   pglobal->load_default_layers();
   pglobal->clone_current_layer_to_preset();
   pglobal->save_logo_layer();
   const std::vector<zelui::MessageDialog *> errors = dialogs_on<zelui::MessageDialog>(*pscreen, "Error");
   ASSERT_EQ(errors.size(), 1u) << "one box a session";
   EXPECT_EQ(errors.front()->message(),
             format("The data folder \"%s/Brisvane\" cannot be written: cannot make the folder \"%s/Brisvane\": Not a directory.\n\n"
                    "Presets added, the logo layer and the window layout are kept only until the program ends.",
                    blocked.c_str(), blocked.c_str()));
   std::filesystem::remove_all(blocked);
}

TEST_F(project_files, without_a_home_folder_nothing_is_written_under_the_root_folder)
{
   const scoped_variable home("HOME", nullptr);
   const scoped_variable dataHome("XDG_DATA_HOME", nullptr);
   // The account's own home stands in for HOME; where it names none, there is no data folder.
   const file::path pathData = dir::user_data();
   EXPECT_TRUE(pathData.is_empty() || !pathData.as_string().starts_with("/.local")) << pathData.c_str();
   EXPECT_EQ(platform::node::user_data_folder().string(), pathData.as_string());
   if (pathData.is_empty())
   {
      platform::node node;
      const outcome<file::written> result = node.associate_extension(".tvsx", "Tarvossa_BrisvanePro", "/usr/bin/brisvane", "\"%1\"");
      EXPECT_EQ(result.error(), dir::no_home_text);
   }
}
