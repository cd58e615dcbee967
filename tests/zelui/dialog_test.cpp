#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "test_screen.h"
#include "widgets_in.h"
#include "zelui/Button.h"
#include "zelui/ComboBox.h"
#include "zelui/TextBox.h"
#include "zelui/FileDialog.h"
#include "zelui/Label.h"
#include "zelui/MessageDialog.h"
#include "zelui/interaction.h"

namespace
{

// The first button of a widget tree with the caption, or null.
zelui::Button * find_button(zelui::Widget * pwidget, const string_base & strCaption)
{
   const std::vector<zelui::Button *> buttons = widgets_in<zelui::Button>(pwidget);
   auto it = std::find_if(buttons.begin(), buttons.end(), [&](zelui::Button * p) { return p->caption() == strCaption; });
   return it == buttons.end() ? nullptr : *it;
}

zelui::FileDialog * find_dialog_window(test_screen & screen)
{
   for (auto & pchild : screen->children())
   {
      if (auto pwindow = dynamic_cast<zelui::FileDialog *>(pchild.get()))
      {
         return pwindow;
      }
   }
   return nullptr;
}

void click_on(test_screen & screen, zelui::Widget * pwidget)
{
   point_type<int> point = pwidget->absolute_position() + point_type<int>{3, 3};
   screen.click(point.x, point.y);
}

TEST(MessageDialog, AnswersWithTheIndexOfThePressedButtonAndCloses)
{
   test_screen screen;
   std::vector<int> answers;
   auto pdialog = new zelui::MessageDialog(screen.get(), zelui::MessageDialog::e_type_warning, "Quit", "Are you sure ?", "Yes",
                                           "No", zelui::MessageDialog::e_two_buttons);
   pdialog->set_callback([&](int i) { answers.push_back(i); });
   EXPECT_TRUE(pdialog->modal());
   screen.layout();
   // Centred on the screen.
   EXPECT_NEAR(pdialog->x() + pdialog->width() / 2, 400, 1);
   const std::vector<zelui::Button *> buttons = widgets_in<zelui::Button>(pdialog);
   ASSERT_EQ(buttons.size(), 2u);
   EXPECT_EQ(buttons[0]->caption(), "No");
   click_on(screen, buttons[0]);
   EXPECT_EQ(answers, (std::vector<int>{1}));
   EXPECT_EQ(screen->child_count(), 0);
}

TEST(MessageDialog, ReturnAndEscapeAnswerOnlyOnce)
{
   test_screen screen;
   std::vector<int> answers;
   auto pdialog = new zelui::MessageDialog(screen.get(), 2, "Error", "Error loading image.", "OK", "Cancel", zelui::MessageDialog::e_one_button);
   pdialog->set_callback([&](int i) { answers.push_back(i); });
   screen.layout();
   const std::vector<zelui::Button *> buttons = widgets_in<zelui::Button>(pdialog);
   EXPECT_EQ(buttons.size(), 1u);
   screen.key(user::e_key_escape);
   screen.key(user::e_key_return);
   EXPECT_EQ(answers, (std::vector<int>{0}));
}

TEST(MessageDialog, OneEscapeOrOneClickClosesTheBoxOnTopAndTheWindowDrawsWithoutIt)
{
   recording_interaction window;
   test_screen screen;
   screen->set_interaction(&window);
   std::vector<int> answers;
   auto open_box = [&]
   {
      auto pbox = new zelui::MessageDialog(screen.get(), 2, "Error", "The web page cannot be opened.", "OK", "Cancel", zelui::MessageDialog::e_one_button);
      pbox->set_callback([&](int i) { answers.push_back(i); });
      screen.layout();
      return pbox;
   };
   // Nothing else moves on the screen: only the box's going asks the window for a frame.
   auto expect_gone_and_drawn = [&](const function<void()> & answer, const char * pszHow)
   {
      SCOPED_TRACE(pszHow);
      const int iRedraws = window.m_iRedraws;
      const int iPosts = window.m_iPosts;
      answer();
      EXPECT_EQ(screen->child_count(), 0);
      EXPECT_GT(window.m_iRedraws, iRedraws);
      EXPECT_GT(window.m_iPosts, iPosts);
   };
   open_box();
   expect_gone_and_drawn([&] { screen.key(user::e_key_escape); }, "Escape");
   // The next box opens right after, where the first was.
   zelui::Button * pok = find_button(open_box(), "OK");
   ASSERT_NE(pok, nullptr);
   const point_type<int> point = pok->absolute_position() + point_type<int>{3, 3};
   screen.move(point.x, point.y);
   screen.press(point.x, point.y);
   expect_gone_and_drawn([&] { screen.release(point.x, point.y); }, "a click on OK");
   EXPECT_EQ(answers, (std::vector<int>{0, 0}));
   screen->set_interaction(nullptr);
}

TEST(MessageDialog, ALineTooWideForANarrowWindowIsBrokenSoThatTheBoxAndItsButtonsStayInside)
{
   test_screen screen;
   screen->set_size({300, 600});
   const string_base strMessage = "The raster of 65535 x 1080 pixels cannot be drawn: it needs more memory than allowed.\n\n"
                                  "\"/tmp/a_folder_name_far_too_long_for_any_line/wall.tvsx\"";
   std::vector<int> answers;
   auto pbox = new zelui::MessageDialog(screen.get(), 2, "Error", strMessage, "OK", "Cancel", zelui::MessageDialog::e_one_button);
   pbox->set_callback([&](int i) { answers.push_back(i); });
   screen.layout();
   EXPECT_GE(pbox->x(), 0);
   EXPECT_LE(pbox->x() + pbox->width(), 300);
   // Every character is still shown, and the empty line between the paragraphs stays.
   string_base strShown;
   bool bEmptyLine = false;
   for (zelui::Label * plabel : widgets_in<zelui::Label>(pbox))
   {
      EXPECT_LE(plabel->absolute_position().x + plabel->width(), 300) << plabel->caption();
      strShown += plabel->caption();
      bEmptyLine = bEmptyLine || plabel->caption().empty();
   }
   EXPECT_TRUE(bEmptyLine);
   auto without_breaks = [](string_base str)
   {
      std::erase_if(str, [](char ch) { return ch == ' ' || ch == '\n'; });
      return str;
   };
   EXPECT_EQ(without_breaks(strShown), without_breaks(strMessage));
   // Made wide again, the window shows the lines as written.
   screen->set_size({1600, 600});
   screen.layout();
   EXPECT_EQ(widgets_in<zelui::Label>(pbox).front()->caption(),
             "The raster of 65535 x 1080 pixels cannot be drawn: it needs more memory than allowed.");
   click_on(screen, find_button(pbox, "OK"));
   EXPECT_EQ(answers, (std::vector<int>{0}));
}

TEST(MessageDialog, KeepsPressesFromTheWidgetsBehindIt)
{
   test_screen screen;
   int iClicks = 0;
   auto pbehind = placed(new zelui::Button(screen.get(), "behind"), 0, 0, 100, 30);
   pbehind->set_callback([&] { ++iClicks; });
   auto pdialog = new zelui::MessageDialog(screen.get(), 1, "Replace file", "File \"a\" already exists.\n\nDo you want to replace it?",
                                           "Yes", "No", zelui::MessageDialog::e_two_buttons);
   screen.layout();
   screen.click(10, 10);
   EXPECT_EQ(iClicks, 0);
   pdialog->answer(0);
   screen.click(10, 10);
   EXPECT_EQ(iClicks, 1);
}

TEST(ModalWindow, KeepsKeysFromTheFocusedWidgetBehindIt)
{
   test_screen screen;
   auto pbehind = new zelui::TextBox(screen.get(), "");
   pbehind->set_editable(true);
   pbehind->request_focus();
   screen.type("a");
   ASSERT_EQ(pbehind->text(), "a");
   // A modal window that leaves the focus where it was still takes the keys.
   auto pmodal = new zelui::Window(screen.get(), "Modal");
   pmodal->set_modal(true);
   screen.type("b");
   EXPECT_EQ(pbehind->text(), "a");
   screen.key(user::e_key_backspace);
   EXPECT_EQ(pbehind->text(), "a");
   pmodal->dispose();
   screen.type("c");
   EXPECT_EQ(pbehind->text(), "ac");
}

class FileDialogTest : public ::testing::Test
{
protected:
   void SetUp() override
   {
      m_folder = std::filesystem::temp_directory_path() / ("zelui_dialog_" + std::to_string(::getpid()));
      std::filesystem::create_directories(m_folder / "sub");
      for (const char * pszName : {"b.png", "a.PNG", "c.jpg", "notes.txt"})
      {
         std::ofstream(m_folder / pszName) << "x";
      }
   }
   void TearDown() override
   {
      file::file_dialog::set_answer_hook({});
      std::filesystem::remove_all(m_folder);
   }

   std::filesystem::path m_folder;
   file::file_dialog_filter m_filter{{"PNG image", "*.png"}, {"JPG image", "*.jpg"}, {"All", "*.*"}};

   // Opens a dialog on the screen, listing the test folder; returns its window.
   zelui::FileDialog * open_dialog(test_screen & screen, file::file_dialog::enum_kind ekind)
   {
      m_pdialog = zelui::FileDialog::open(screen.get(), ekind, m_filter, [this](file::file_dialog * p) {
         ++m_iCompletions;
         m_bOk = !p->get_file_path().is_empty();
         m_strPath = p->get_file_path().as_string();
         m_strExtension = p->get_selected_filter_main_extension();
      });
      zelui::FileDialog * pwindow = find_dialog_window(screen);
      pwindow->set_folder(file::path(m_folder));
      return pwindow;
   }

   pointer<file::file_dialog> m_pdialog;
   int m_iCompletions = 0;
   bool m_bOk = false;
   string_base m_strPath;
   string_base m_strExtension;
};

TEST_F(FileDialogTest, ListsFoldersThenTheFilesOfTheSelectedFilter)
{
   test_screen screen;
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_open);
   EXPECT_EQ(pwindow->listed_names(), (std::vector<string_base>{"../", "sub/", "a.PNG", "b.png"}));
   const std::vector<zelui::Button *> buttons = widgets_in<zelui::Button>(pwindow);
   auto pfilter = std::find_if(buttons.begin(), buttons.end(), [](zelui::Button * p) { return dynamic_cast<zelui::ComboBox *>(p); });
   ASSERT_NE(pfilter, buttons.end());
   static_cast<zelui::ComboBox *>(*pfilter)->set_selected_index(1, e_source_user);
   EXPECT_EQ(pwindow->listed_names(), (std::vector<string_base>{"../", "sub/", "c.jpg"}));
   EXPECT_EQ(m_iCompletions, 0);
}

TEST_F(FileDialogTest, TheSeamAnswersAtTheNextFrameAndTheWindowCloses)
{
   test_screen screen;
   string_base strChosen = (m_folder / "c.jpg").string();
   file::file_dialog::set_answer_hook([&](file::file_dialog * p) { p->answer(strChosen, 1); });
   open_dialog(screen, file::file_dialog::e_kind_save);
   EXPECT_EQ(m_iCompletions, 0);
   screen.layout();
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_TRUE(m_bOk);
   EXPECT_EQ(m_strPath, strChosen);
   EXPECT_EQ(m_strExtension, "jpg");
   EXPECT_EQ(screen->child_count(), 0);
   // Later answers are ignored.
   m_pdialog->cancel();
   EXPECT_EQ(m_iCompletions, 1);
}

TEST_F(FileDialogTest, ADialogOutlivingItsScreenStillCompletes)
{
   {
      test_screen screen;
      open_dialog(screen, file::file_dialog::e_kind_open);
   }
   m_pdialog->answer((m_folder / "b.png").string(), 0);
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_TRUE(m_bOk);
}

TEST_F(FileDialogTest, CancelCompletesWithoutAPath)
{
   test_screen screen;
   file::file_dialog::set_answer_hook([](file::file_dialog * p) { p->cancel(); });
   open_dialog(screen, file::file_dialog::e_kind_open);
   screen.layout();
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_FALSE(m_bOk);
   EXPECT_TRUE(m_strPath.empty());
}

TEST_F(FileDialogTest, AClickSelectsADoubleClickEntersOneFolderAndTheNameBoxKeepsTheKeys)
{
   test_screen screen;
   std::filesystem::create_directories(m_folder / "sub" / "deeper");
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   screen.layout();
   auto ppath = dynamic_cast<zelui::TextBox *>(pwindow->child_at(0));
   ASSERT_NE(ppath, nullptr);
   const auto double_click = [&](zelui::Widget * pwidget) {
      const point_type<int> point = pwidget->absolute_position() + point_type<int>{3, 3};
      screen.click(point.x, point.y);
      screen.press(point.x, point.y, user::e_mouse_left_button, true);
      screen.release(point.x, point.y);
      screen.layout();
   };
   click_on(screen, find_button(pwindow, "sub/"));
   EXPECT_EQ(pwindow->folder(), file::path(m_folder));
   EXPECT_EQ(ppath->text(), (m_folder / "sub").string() + "/");
   // The new listing shows "deeper/" where "sub/" was: the double click goes no further.
   double_click(find_button(pwindow, "sub/"));
   EXPECT_EQ(pwindow->folder(), file::path(m_folder / "sub"));
   EXPECT_TRUE(ppath->focused());
   screen.type("wall");
   screen.key(user::e_key_return);
   EXPECT_EQ(m_strPath, (m_folder / "sub" / "wall.png").string());
}

TEST_F(FileDialogTest, ADoubleClickOnAFileChoosesItAndReturnEntersASelectedFolder)
{
   test_screen screen;
   std::ofstream(m_folder / "sub" / "inner.png") << "x";
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_open);
   screen.layout();
   click_on(screen, find_button(pwindow, "sub/"));
   screen.key(user::e_key_return);
   screen.layout();
   EXPECT_EQ(pwindow->folder(), file::path(m_folder / "sub"));
   zelui::Button * pinner = find_button(pwindow, "inner.png");
   ASSERT_NE(pinner, nullptr);
   const point_type<int> point = pinner->absolute_position() + point_type<int>{3, 3};
   screen.click(point.x, point.y);
   EXPECT_EQ(m_iCompletions, 0);
   screen.press(point.x, point.y, user::e_mouse_left_button, true);
   screen.release(point.x, point.y);
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_EQ(m_strPath, (m_folder / "sub" / "inner.png").string());
}

TEST_F(FileDialogTest, BackspaceAfterTheFolderAndAltUpGoToTheParent)
{
   test_screen screen;
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   pwindow->set_folder(file::path(m_folder / "sub"));
   // A typed name is erased as usual; with nothing typed, Backspace goes up.
   screen.type("ab");
   screen.key(user::e_key_backspace);
   screen.key(user::e_key_backspace);
   EXPECT_EQ(pwindow->folder(), file::path(m_folder / "sub"));
   screen.key(user::e_key_backspace);
   EXPECT_EQ(pwindow->folder(), file::path(m_folder));
   screen.type("name");
   screen.key(user::e_key_up, {}, user::e_key_left_alt);
   EXPECT_EQ(pwindow->folder(), file::path(m_folder.parent_path()));
}

TEST_F(FileDialogTest, EachKindOfFileStartsInTheFolderItsLastDialogEndedIn)
{
   test_screen screen;
   file::file_dialog::set_last_folder("png", file::path(m_folder / "sub"));
   file::file_dialog::set_last_folder("tvsx", file::path(m_folder));
   EXPECT_EQ(file::file_dialog::starting_folder("png"), file::path(m_folder / "sub"));
   EXPECT_EQ(file::file_dialog::starting_folder("tvsx"), file::path(m_folder));
   // A kind not used yet starts where the last dialog of any kind ended.
   EXPECT_EQ(file::file_dialog::starting_folder("xml"), file::path(m_folder));
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   pwindow->set_folder(file::path(m_folder / "sub"));
   screen.type("map");
   screen.key(user::e_key_return);
   EXPECT_EQ(file::file_dialog::starting_folder("png"), file::path(m_folder / "sub"));
   EXPECT_EQ(file::file_dialog::starting_folder("tvsx"), file::path(m_folder));
}

TEST_F(FileDialogTest, TypingNamesAFileInTheFolderShownThatReturnSavesWithTheFiltersExtension)
{
   test_screen screen;
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   screen.type("wall");
   auto ppath = dynamic_cast<zelui::TextBox *>(pwindow->child_at(0));
   ASSERT_NE(ppath, nullptr);
   EXPECT_EQ(ppath->text(), (m_folder / "wall").string());
   screen.key(user::e_key_return);
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_TRUE(m_bOk);
   EXPECT_EQ(m_strPath, (m_folder / "wall.png").string());
   EXPECT_EQ(m_strExtension, "png");
}

TEST_F(FileDialogTest, ANameTypedAloneWithTheExtensionOfAnotherFilterSelectsThatFilter)
{
   test_screen screen;
   open_dialog(screen, file::file_dialog::e_kind_save);
   screen.key(user::e_key_a, {}, user::e_key_left_control);
   screen.type("map.jpg");
   screen.key(user::e_key_return);
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_EQ(m_strPath, (m_folder / "map.jpg").string());
   EXPECT_EQ(m_strExtension, "jpg");
}

TEST_F(FileDialogTest, APathTypedFromTheRootReplacesTheFolderAndTheFolderOfTheFileChosenIsWhereTheNextStarts)
{
   test_screen screen;
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   pwindow->set_folder(file::path(m_folder / "sub"));
   const string_base strTyped = (m_folder / "plan").string();
   screen.type(strTyped);
   auto ppath = dynamic_cast<zelui::TextBox *>(pwindow->child_at(0));
   ASSERT_NE(ppath, nullptr);
   EXPECT_EQ(ppath->text(), strTyped);
   screen.key(user::e_key_return);
   EXPECT_EQ(m_strPath, (m_folder / "plan.png").string());
   EXPECT_EQ(file::file_dialog::starting_folder("png"), file::path(m_folder));

   // A name typed with a folder of the one shown: that folder.
   open_dialog(screen, file::file_dialog::e_kind_save);
   screen.type("sub/wall");
   screen.key(user::e_key_return);
   EXPECT_EQ(m_strPath, (m_folder / "sub" / "wall.png").string());
   EXPECT_EQ(file::file_dialog::starting_folder("png"), file::path(m_folder / "sub"));
}

TEST_F(FileDialogTest, TabGoesRoundTheControlsAndTheArrowsMoveInTheListingAndTheFilter)
{
   test_screen screen;
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_open);
   screen.layout();
   auto ppath = dynamic_cast<zelui::TextBox *>(pwindow->child_at(0));
   ASSERT_NE(ppath, nullptr);
   const auto tab = [&](bool bBack = false) { screen.key(user::e_key_tab, {}, bBack ? std::uint64_t{user::e_key_left_shift} : 0); };
   // The listing: "../", "sub/", "a.PNG", "b.png"; Down selects the next entry and shows its path.
   tab();
   EXPECT_FALSE(ppath->focused());
   screen.key(user::e_key_down);
   screen.key(user::e_key_down);
   EXPECT_EQ(ppath->value(), (m_folder / "sub").string() + "/");
   screen.key(user::e_key_return);
   EXPECT_EQ(pwindow->folder(), file::path(m_folder / "sub"));
   screen.key(user::e_key_down);
   screen.key(user::e_key_return);
   EXPECT_EQ(pwindow->folder(), file::path(m_folder));
   screen.key(user::e_key_up);
   screen.key(user::e_key_up);
   EXPECT_EQ(ppath->value(), (m_folder / "a.PNG").string());
   // The filter, then the buttons; Shift+Tab goes back.
   tab();
   screen.key(user::e_key_down);
   EXPECT_EQ(pwindow->listed_names(), (std::vector<string_base>{"../", "sub/", "c.jpg"}));
   tab();
   tab();
   tab(true);
   screen.key(user::e_key_space);
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_FALSE(m_bOk);

   // Round to the path box again, where typing goes on; the open button opens the file shown.
   pwindow = open_dialog(screen, file::file_dialog::e_kind_open);
   for (int i = 0; i < 5; ++i)
   {
      tab();
   }
   screen.type("b.png");
   tab(true);
   screen.key(user::e_key_return);
   EXPECT_EQ(m_iCompletions, 2);
   EXPECT_EQ(m_strPath, (m_folder / "b.png").string());
}

TEST_F(FileDialogTest, InAScreenTooSmallTheDialogShrinksToItAndStaysCentredWhenItIsResized)
{
   test_screen screen;
   screen->set_size({400, 300});
   m_filter = {{"Resolute Arena XML Document", "*.xml"}, {"All Files", "*.*"}};
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   screen.layout();
   const rectangle_type<int> rectangleScreen{0, 0, 400, 300};
   EXPECT_EQ(rectangleScreen.intersection(pwindow->rectangle()), pwindow->rectangle());
   // Every control lies whole inside the dialog, the filter on a row of its own above the buttons.
   for (zelui::Widget * pcontrol : std::initializer_list<zelui::Widget *>{
           pwindow->child_at(0), widgets_in<zelui::ComboBox>(pwindow).front(), find_button(pwindow, "Cancel"),
           find_button(pwindow, "Save")})
   {
      const rectangle_type<int> rectangle = rectangle_type<int>::from(pcontrol->absolute_position(), pcontrol->size());
      EXPECT_EQ(pwindow->rectangle().intersection(rectangle), rectangle);
   }
   EXPECT_LT(widgets_in<zelui::ComboBox>(pwindow).front()->absolute_position().y, find_button(pwindow, "Save")->absolute_position().y);

   screen->set_size({800, 600});
   screen.layout();
   EXPECT_EQ(pwindow->x() + pwindow->width() / 2, 400);
   EXPECT_NEAR(pwindow->y() + pwindow->height() / 2, 300, 1);
   EXPECT_EQ(widgets_in<zelui::ComboBox>(pwindow).front()->absolute_position().y, find_button(pwindow, "Save")->absolute_position().y);
}

TEST_F(FileDialogTest, EscapeInThePathBoxCancels)
{
   test_screen screen;
   open_dialog(screen, file::file_dialog::e_kind_open);
   screen.type("b.png");
   screen.key(user::e_key_escape);
   EXPECT_EQ(m_iCompletions, 1);
   EXPECT_FALSE(m_bOk);
   EXPECT_EQ(screen->child_count(), 0);
}

TEST_F(FileDialogTest, TheSecondPressOfADoubleClickOnAFolderChoosesNothingInIt)
{
   test_screen screen;
   std::ofstream(m_folder / "sub" / "inner.png") << "x";
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_open);
   screen.layout();
   zelui::Button * psub = find_button(pwindow, "sub/");
   ASSERT_NE(psub, nullptr);
   // In the listing of "sub", "inner.png" stands where "sub/" stood.
   point_type<int> point = psub->absolute_position() + point_type<int>{3, 3};
   screen.click(point.x, point.y);
   screen.layout();
   screen.press(point.x, point.y, user::e_mouse_left_button, true);
   screen.release(point.x, point.y);
   ASSERT_EQ(m_iCompletions, 0);
   EXPECT_EQ(pwindow->folder().name(), "sub");
}

TEST(FileDialogFilter, ASavedNameGetsTheSelectedFiltersExtensionOrSelectsTheFilterOfItsOwn)
{
   const file::file_dialog_filter images{{"PNG Image", "*.png"}, {"JPG Image", "*.jpg"}, {"All Files", "*.*"}};
   auto choose = [&](long long iFilter, const char * pszPath) {
      file::save_choice choice = file::choose_saved_file(images, iFilter, pszPath);
      return format("%s %lld", choice.m_strPath.c_str(), choice.m_iFilter);
   };
   EXPECT_EQ(choose(0, "/d/map"), "/d/map.png 0");
   EXPECT_EQ(choose(0, "/d/map.PNG"), "/d/map.PNG 0");
   EXPECT_EQ(choose(0, "/d/map.jpg"), "/d/map.jpg 1");
   EXPECT_EQ(choose(0, "/d.x/map.v2"), "/d.x/map.v2.png 0");
   EXPECT_EQ(choose(2, "/d/map.jpg"), "/d/map.jpg 1");
   EXPECT_EQ(choose(2, "/d/map"), "/d/map 2");
   EXPECT_EQ(choose(2, "/d/map.txt"), "/d/map.txt 2");

   // Kinds the dialog knows without listing them count as listed ones; their indices follow.
   const file::file_dialog_filter png({{"PNG Image", "*.png"}, {"All Files", "*.*"}}, {{"PSD Document", "*.psd"}});
   const file::save_choice psd = file::choose_saved_file(png, 0, "/d/stage.psd");
   EXPECT_EQ(psd.m_strPath, "/d/stage.psd");
   EXPECT_EQ(psd.m_iFilter, 2);
   EXPECT_EQ(png.main_extension(2), "psd");
   EXPECT_EQ(file::choose_saved_file(png, 0, "/d/stage.tga").m_strPath, "/d/stage.tga.png");

   const file::file_dialog_filter projects{{"Tvsx Project Files", "*.tvsx"}, {"All Files", "*.*"}};
   EXPECT_EQ(file::choose_saved_file(projects, 0, "/d/wall").m_strPath, "/d/wall.tvsx");
   EXPECT_EQ(file::choose_saved_file(projects, 0, "/d/wall.tvsx").m_strPath, "/d/wall.tvsx");
   EXPECT_EQ(file::choose_saved_file({{"Tvsx Presets File", "*.tvsx_presets"}}, 0, "/d/p.tvsx").m_strPath,
             "/d/p.tvsx.tvsx_presets");
}

TEST_F(FileDialogTest, OpenRefusesAMissingFileButSaveTakesIt)
{
   test_screen screen;
   zelui::FileDialog * pwindow = open_dialog(screen, file::file_dialog::e_kind_open);
   auto ppath = dynamic_cast<zelui::TextBox *>(pwindow->child_at(0));
   ASSERT_NE(ppath, nullptr);
   ppath->set_value((m_folder / "missing.png").string());
   pwindow->accept();
   EXPECT_EQ(m_iCompletions, 0);
   m_pdialog->cancel();
   pwindow = open_dialog(screen, file::file_dialog::e_kind_save);
   ppath = dynamic_cast<zelui::TextBox *>(pwindow->child_at(0));
   ppath->set_value((m_folder / "new.png").string());
   pwindow->accept();
   EXPECT_EQ(m_iCompletions, 2);
   EXPECT_TRUE(m_bOk);
}

TEST_F(FileDialogTest, AWindowWithoutScreenCancelsAtOnceAndOneWithAScreenOpensTheDialog)
{
   recording_interaction window;
   int iCompletions = 0;
   bool bOk = true;
   window.pick_single_file_to_open(m_filter, [&](file::file_dialog * p) {
      ++iCompletions;
      bOk = !p->get_file_path().is_empty();
   });
   EXPECT_EQ(iCompletions, 1);
   EXPECT_FALSE(bOk);

   test_screen screen;
   window.set_appearance(screen->appearance());
   window.pick_single_file_to_save(m_filter, [&](file::file_dialog *) { ++iCompletions; }, "wall.tvsx");
   EXPECT_NE(find_dialog_window(screen), nullptr);
   EXPECT_EQ(iCompletions, 1);
}

TEST(FileDialogFilter, PatternsAndMainExtensions)
{
   EXPECT_TRUE(file::matches_pattern("Wall.PNG", "*.png"));
   EXPECT_TRUE(file::matches_pattern("a.jpg", "*.png;*.jpg"));
   EXPECT_FALSE(file::matches_pattern("a.jpeg", "*.png;*.jpg"));
   EXPECT_TRUE(file::matches_pattern("ab.tga", "a?.tga"));
   EXPECT_FALSE(file::matches_pattern("abc.tga", "a?.tga"));
   EXPECT_TRUE(file::matches_pattern("x.tvsx_presets", "*.tvsx_presets"));
   EXPECT_FALSE(file::matches_pattern("x.tvsx_presets", "*.tvsx"));

   file::file_dialog dialog(file::file_dialog::e_kind_save,
                            file::file_dialog_filter{{"Presets", "*.tvsx_presets"}, {"All", "*.*"}, {"Any", "*"}}, {});
   EXPECT_EQ(dialog.get_selected_filter_main_extension(), "tvsx_presets");
   dialog.set_selected_filter_index(1);
   EXPECT_EQ(dialog.get_selected_filter_main_extension(), "");
   dialog.set_selected_filter_index(2);
   EXPECT_EQ(dialog.get_selected_filter_main_extension(), "");
   dialog.set_selected_filter_index(9);
   EXPECT_EQ(dialog.get_selected_filter_index(), 2);
}

} // namespace
