// The export commands through their save dialogs, answered by the test, on a root screen shown by
// a window of its own; the next frame build writes the picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/Global.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "root_screen_fixture.h"
#include "screen/MainScreen.h"
#include "screen_dialogs.h"
#include "zelui/FileDialog.h"
#include "zelui/MessageDialog.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class export_dialogs : public windowed_root_screen_fixture
{
protected:
   void SetUp() override
   {
      windowed_root_screen_fixture::SetUp();
      m_folder = std::filesystem::path(m_pglobal->getFolderToSaveData().as_string().c_str()) / "exports";
      std::filesystem::create_directories(m_folder);
      build();
   }

   void TearDown() override
   {
      windowed_root_screen_fixture::TearDown();
      std::filesystem::remove_all(m_folder);
   }

   zelui::MessageDialog * question() const { return dialog_on<zelui::MessageDialog>(*m_pscreen, "Replace file"); }
   zelui::FileDialog * file_dialog() const { return dialog_on<zelui::FileDialog>(*m_pscreen); }

   std::uintmax_t size_of(const std::filesystem::path & path) const { return std::filesystem::file_size(path); }

   std::filesystem::path m_folder;
};

TEST_F(export_dialogs, SaveImageOntoANewFileWritesItAtTheNextDraw)
{
   m_pglobal->save_image_button();
   answer_next_dialog(*m_pscreen, m_folder / "wall.png");
   EXPECT_EQ(question(), nullptr);
   EXPECT_FALSE(std::filesystem::exists(m_folder / "wall.png"));
   EXPECT_TRUE(build());
   EXPECT_TRUE(std::filesystem::exists(m_folder / "wall.png"));
}

TEST_F(export_dialogs, ReplacingAnExistingFileAsksFirst)
{
   std::ofstream(m_folder / "wall.png") << "old";
   m_pglobal->save_image_button();
   answer_next_dialog(*m_pscreen, m_folder / "wall.png");
   zelui::MessageDialog * pquestion = question();
   ASSERT_NE(pquestion, nullptr);
   EXPECT_NE(std::string(pquestion->message().c_str()).find("already exists."), std::string::npos);
   pquestion->answer(1);
   EXPECT_FALSE(build());
   EXPECT_EQ(size_of(m_folder / "wall.png"), 3u);

   m_pglobal->save_image_button();
   answer_next_dialog(*m_pscreen, m_folder / "wall.png");
   ASSERT_NE(question(), nullptr);
   question()->answer(0);
   EXPECT_TRUE(build());
   EXPECT_GT(size_of(m_folder / "wall.png"), 3u);
}

TEST_F(export_dialogs, PhotoshopFilterWritesADocumentWhateverTheName)
{
   m_pglobal->save_image_button();
   answer_next_dialog(*m_pscreen, m_folder / "wall.png", 4);
   build();
   std::ifstream file(m_folder / "wall.png", std::ios::binary);
   char signature[4] = {};
   file.read(signature, 4);
   EXPECT_EQ(std::string(signature, 4), "8BPS");
}

TEST_F(export_dialogs, ANameTypedInTheDialogIsWrittenInTheFormatItsExtensionNames)
{
   struct typed_name
   {
      void (*m_pfnExport)(Global &);
      const char * m_pszTyped;
      const char * m_pszWritten;
      std::string m_strSignature;
   };
   // With each dialog's first filter selected. The PNG and PSD exports write the other formats a
   // picture export writes, named by the extension typed, as "Save Image" does; an extension that
   // names no such format is part of the name.
   const auto save_image = [](Global & global) { global.save_image_button(); };
   const auto export_png = [](Global & global) { global.save_png_button(); };
   const auto export_psd = [](Global & global) { global.save_psd_button(); };
   const typed_name names[] = {
      {save_image, "map.jpg", "map.jpg", "\xFF\xD8\xFF"},
      {save_image, "wall", "wall.png", "\x89PNG"},
      {export_png, "stage.psd", "stage.psd", "8BPS"},
      {export_png, "stage.v2", "stage.v2.png", "\x89PNG"},
      {export_psd, "plan.png", "plan.png", "\x89PNG"},
      {export_psd, "plan", "plan.psd", "8BPS"},
   };
   for (const typed_name & name : names)
   {
      name.m_pfnExport(*m_pglobal);
      zelui::FileDialog * pdialog = file_dialog();
      ASSERT_NE(pdialog, nullptr);
      pdialog->set_folder(file::path(m_folder.c_str()));
      for (const char ch : std::string(name.m_pszTyped))
      {
         m_pscreen->keyboard_event(user::e_key_none, 0, user::e_key_action_press, {}, string_base(1, ch));
      }
      m_pscreen->keyboard_event(user::e_key_return, 0, user::e_key_action_press, {}, {});
      EXPECT_TRUE(build());
      std::ifstream file(m_folder / name.m_pszWritten, std::ios::binary);
      std::string strStart(name.m_strSignature.size(), '\0');
      file.read(strStart.data(), static_cast<std::streamsize>(strStart.size()));
      EXPECT_EQ(strStart, name.m_strSignature) << name.m_pszWritten;
   }
}

TEST_F(export_dialogs, ScreenSetupIsWrittenAtOnce)
{
   m_pglobal->layers_to_xml();
   answer_next_dialog(*m_pscreen, m_folder / "setup.xml");
   EXPECT_TRUE(std::filesystem::exists(m_folder / "setup.xml"));
}

TEST_F(export_dialogs, AScreenSetupNameTypedWithoutExtensionIsWrittenWithXml)
{
   m_pglobal->layers_to_xml();
   zelui::FileDialog * pdialog = file_dialog();
   ASSERT_NE(pdialog, nullptr);
   pdialog->set_folder(file::path(m_folder.c_str()));
   for (const char ch : std::string("setup"))
   {
      m_pscreen->keyboard_event(user::e_key_none, 0, user::e_key_action_press, {}, string_base(1, ch));
   }
   m_pscreen->keyboard_event(user::e_key_return, 0, user::e_key_action_press, {}, {});
   EXPECT_TRUE(std::filesystem::exists(m_folder / "setup.xml"));
   EXPECT_FALSE(std::filesystem::exists(m_folder / "setup"));
}

} // namespace
