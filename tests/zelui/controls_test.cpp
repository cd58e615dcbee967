#include <gtest/gtest.h>

#include "orvo/keyboard.h"
#include "test_screen.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/ColorPicker.h"
#include "zelui/ComboBox.h"
#include "zelui/FloatBox.h"
#include "zelui/IntBox.h"
#include "zelui/Popup.h"
#include "zelui/TabWidget.h"
#include "zelui/TextBox.h"
#include "zelui/ToolButton.h"
#include "zelui/VScrollPanel.h"

namespace
{

TEST(CheckBox, OnlyAChangeByTheUserRunsTheCallback)
{
   test_screen screen;
   std::vector<bool> calls;
   auto pbox = new zelui::CheckBox(screen.get(), "Visible", [&](bool b) { calls.push_back(b); });
   pbox->set_checked(true, e_source_sync);
   pbox->set_checked(false, e_source_initialize);
   pbox->set_checked(true, 0x400);
   EXPECT_TRUE(calls.empty());
   EXPECT_TRUE(pbox->checked());
   pbox->set_checked(false, e_source_user);
   pbox->set_checked(false, 0x100000);
   EXPECT_EQ(calls, (std::vector<bool>{false, false}));
}

TEST(CheckBox, AClickTogglesAsTheUserButAPressAndReleaseElsewhereDoesNot)
{
   test_screen screen;
   std::vector<bool> calls;
   auto pbox = placed(new zelui::CheckBox(screen.get(), "Grid", [&](bool b) { calls.push_back(b); }), 10, 10, 110, 30);
   screen.click(20, 20);
   screen.click(20, 20);
   EXPECT_EQ(calls, (std::vector<bool>{true, false}));
   screen.press(20, 20);
   screen.release(300, 300);
   EXPECT_EQ(calls.size(), 2u);
   EXPECT_FALSE(pbox->pushed());
}

TEST(Button, ClickRunsTheCallbackOnlyWhenReleasedOverIt)
{
   test_screen screen;
   int iClicks = 0;
   auto pbutton = placed(new zelui::Button(screen.get(), "Clone"), 10, 10, 90, 32);
   pbutton->set_callback([&] { ++iClicks; });
   screen.click(20, 20);
   EXPECT_EQ(iClicks, 1);
   screen.press(20, 20);
   EXPECT_TRUE(pbutton->pushed());
   screen.release(200, 200);
   EXPECT_EQ(iClicks, 1);
   EXPECT_FALSE(pbutton->pushed());
   // The right button does nothing.
   screen.press(20, 20, user::e_mouse_right_button);
   screen.release(20, 20, user::e_mouse_right_button);
   EXPECT_EQ(iClicks, 1);
}

TEST(Button, ACallbackMayRemoveItsButton)
{
   test_screen screen;
   auto pbutton = placed(new zelui::Button(screen.get(), "x"), 0, 0, 30, 30);
   pbutton->set_callback([&] { screen->remove_child(pbutton); });
   screen.click(5, 5);
   EXPECT_EQ(screen->child_count(), 0);
}

TEST(ToolButton, PressingOneReleasesItsSiblings)
{
   test_screen screen;
   auto pkg = placed(new zelui::ToolButton(screen.get(), 0, "kg"), 0, 0, 25, 25);
   auto plb = placed(new zelui::ToolButton(screen.get(), 0, "lb"), 30, 0, 25, 25);
   int iKg = 0;
   pkg->set_callback([&] { ++iKg; });
   plb->set_pushed(true);
   screen.click(5, 5);
   EXPECT_TRUE(pkg->pushed());
   EXPECT_FALSE(plb->pushed());
   // Pressing the pushed one again keeps it pushed and runs its callback again.
   screen.click(5, 5);
   EXPECT_TRUE(pkg->pushed());
   EXPECT_EQ(iKg, 2);
   EXPECT_EQ(pkg->fixed_size(), (size_type<int>{25, 25}));
}

TEST(TextBox, TypingEditsACopyThatReturnCommits)
{
   test_screen screen;
   std::vector<string_base> commits;
   auto pbox = placed(new zelui::TextBox(screen.get(), "1920"), 10, 10, 110, 32);
   pbox->set_editable(true);
   pbox->set_callback([&](scoped_string_base s) {
      commits.emplace_back(s);
      return true;
   });
   pbox->request_focus();
   EXPECT_TRUE(pbox->is_editing());
   EXPECT_EQ(pbox->caret(), 0);
   screen.key(user::e_key_end);
   screen.key(user::e_key_backspace);
   screen.type("1/2");
   EXPECT_EQ(pbox->text(), "1921/2");
   EXPECT_EQ(pbox->value(), "1920");
   screen.key(user::e_key_return);
   EXPECT_EQ(pbox->value(), "1921/2");
   EXPECT_EQ(commits, (std::vector<string_base>{"1921/2"}));
   // Return with nothing changed commits nothing.
   screen.key(user::e_key_return);
   EXPECT_EQ(commits.size(), 1u);
}

TEST(TextBox, CaretMovesAndShiftSelects)
{
   test_screen screen;
   auto pbox = placed(new zelui::TextBox(screen.get(), "abcd"), 0, 0, 100, 24);
   pbox->set_editable(true);
   pbox->request_focus();
   screen.key(user::e_key_right);
   screen.key(user::e_key_right);
   screen.key(user::e_key_left);
   EXPECT_EQ(pbox->caret(), 1);
   // Shift+End selects from the caret to the end; typing replaces the selection.
   screen.key(user::e_key_end, {}, keyboard::e_group_shift);
   EXPECT_EQ(pbox->selected_text(), "bcd");
   screen.type("X");
   EXPECT_EQ(pbox->text(), "aX");
   screen.key(user::e_key_home, {}, user::e_key_right_shift);
   EXPECT_EQ(pbox->selected_text(), "aX");
   screen.key(user::e_key_delete);
   EXPECT_EQ(pbox->text(), "");
   // Control+A selects everything.
   screen.type("hello");
   screen.key(user::e_key_a, "a", user::e_key_left_control);
   EXPECT_EQ(pbox->selected_text(), "hello");
}

TEST(TextBox, MultiByteCharactersAreErasedWhole)
{
   test_screen screen;
   auto pbox = placed(new zelui::TextBox(screen.get(), "90\xC2\xB0"), 0, 0, 100, 24);
   pbox->set_editable(true);
   pbox->request_focus();
   screen.key(user::e_key_end);
   screen.key(user::e_key_backspace);
   EXPECT_EQ(pbox->text(), "90");
   screen.key(user::e_key_left);
   EXPECT_EQ(pbox->caret(), 1);
}

TEST(TextBox, ARefusedTextGivesTheOldValueBackAndEscapeDropsTheEdit)
{
   test_screen screen;
   auto pbox = placed(new zelui::TextBox(screen.get(), "keep"), 0, 0, 100, 24);
   pbox->set_editable(true);
   pbox->set_callback([](scoped_string_base s) { return s != "bad"; });
   pbox->request_focus();
   screen.key(user::e_key_a, "a", user::e_key_left_control);
   screen.type("bad");
   screen.key(user::e_key_return);
   EXPECT_EQ(pbox->value(), "keep");
   EXPECT_EQ(pbox->text(), "keep");
   screen.type("zz");
   screen.key(user::e_key_escape);
   EXPECT_EQ(pbox->text(), "keep");
}

TEST(TextBox, LosingTheFocusCommitsAndTheCallbackMayNormaliseTheText)
{
   test_screen screen;
   auto pbox = placed(new zelui::TextBox(screen.get(), "0"), 0, 0, 100, 24);
   auto pother = placed(new zelui::TextBox(screen.get(), "other"), 0, 40, 100, 24);
   pother->set_editable(true);
   pbox->set_editable(true);
   pbox->set_callback([&](scoped_string_base) {
      pbox->set_value("960", 0x400);
      return true;
   });
   screen.click(5, 5);
   screen.key(user::e_key_a, "a", user::e_key_left_control);
   screen.type("1920/2");
   screen.click(5, 45);
   EXPECT_FALSE(pbox->is_editing());
   EXPECT_EQ(pbox->value(), "960");
   EXPECT_TRUE(pother->is_editing());
}

TEST(TextBox, AnEditIsCommittedByAPressElsewhereItsWindowHiddenAndTheWindowLosingTheFocus)
{
   test_screen screen;
   std::vector<string_base> commits;
   auto pwindow = placed(new zelui::Widget(screen.get()), 0, 0, 200, 100);
   auto pbox = placed(new zelui::TextBox(pwindow, ""), 10, 10, 100, 24);
   pbox->set_editable(true);
   pbox->set_callback([&](scoped_string_base s) {
      commits.emplace_back(s);
      return true;
   });
   // A button that takes its press without taking the focus, as the canvas does.
   int iPresses = 0;
   auto pbutton = placed(new zelui::Button(screen.get(), "Go"), 300, 300, 80, 24);
   pbutton->set_callback([&] { ++iPresses; });
   const auto type_into_box = [&](const char * pszText) {
      screen.click(15, 15);
      screen.key(user::e_key_a, "a", user::e_key_left_control);
      screen.type(pszText);
   };

   type_into_box("hello");
   screen.click(310, 310);
   EXPECT_EQ(iPresses, 1);
   EXPECT_FALSE(pbox->is_editing());

   type_into_box("hidden");
   pwindow->set_visible(false);
   EXPECT_FALSE(pbox->focused());
   screen.type("lost");
   pwindow->set_visible(true);

   // The desktop taking the window's focus commits, and the box keeps the caret for the return.
   type_into_box("away");
   screen->on_window_focus(false);
   EXPECT_TRUE(pbox->is_editing());
   EXPECT_EQ(commits, (std::vector<string_base>{"hello", "hidden", "away"}));
}

TEST(TextBox, ARefreshCommitsThePendingEditAndDoesNotUndoIt)
{
   test_screen screen;
   string_base strModel = "old";
   auto pbox = placed(new zelui::TextBox(screen.get(), strModel), 0, 0, 100, 24);
   pbox->set_editable(true);
   pbox->set_callback([&](scoped_string_base s) {
      strModel = s;
      return true;
   });
   const auto refresh = [&] { pbox->set_value(strModel, e_source_sync); };
   pbox->request_focus();
   screen.key(user::e_key_a, "a", user::e_key_left_control);
   screen.type("typed");
   // The value read before the commit reached the model does not undo the edit.
   pbox->set_value("old", e_source_sync);
   EXPECT_EQ(strModel, "typed");
   EXPECT_EQ(pbox->text(), "typed");
   refresh();
   EXPECT_EQ(pbox->text(), "typed");
   // A value of the program's own, new to the box, replaces it after the commit.
   screen.type("+more");
   pbox->set_value("other", e_source_sync);
   EXPECT_EQ(strModel, "typed+more");
   EXPECT_EQ(pbox->text(), "other");
}

TEST(TextBox, ProgramChangesRunNoCallbackAndReadOnlyBoxesTakeNoKeys)
{
   test_screen screen;
   int iCalls = 0;
   auto pbox = placed(new zelui::TextBox(screen.get(), "Untitled"), 0, 0, 100, 24);
   pbox->set_callback([&](scoped_string_base) { return ++iCalls > 0; });
   pbox->set_value("1080", 0x400);
   pbox->set_value("1080", e_source_initialize);
   EXPECT_EQ(iCalls, 0);
   pbox->set_value("1081", e_source_user);
   EXPECT_EQ(iCalls, 1);
   pbox->request_focus();
   screen.type("9");
   EXPECT_EQ(pbox->value(), "1081");
   EXPECT_FALSE(pbox->accepts_focus());
}

TEST(NumberBoxes, TypedExpressionsBecomeNumbers)
{
   test_screen screen;
   std::vector<int> ints;
   auto pint = placed(new zelui::IntBox<int>(screen.get(), 0), 0, 0, 100, 24);
   pint->set_editable(true);
   pint->set_callback([&](int i) { ints.push_back(i); });
   auto enter = [&](zelui::TextBox * pbox, const string_base & strText) {
      pbox->request_focus();
      screen.key(user::e_key_a, "a", user::e_key_left_control);
      screen.type(strText);
      screen.key(user::e_key_return);
   };
   enter(pint, "2*250");
   enter(pint, "7.9");
   enter(pint, "-7.9");
   enter(pint, "abc");
   EXPECT_EQ(ints, (std::vector<int>{500, 7, -7, 0}));
   EXPECT_EQ(pint->value(), 0);
   EXPECT_EQ(pint->value(), 0);
   EXPECT_EQ(pint->TextBox::value(), "0");
   enter(pint, "1e12");
   EXPECT_EQ(pint->value(), std::numeric_limits<int>::max());

   std::vector<float> floats;
   auto pfloat = placed(new zelui::FloatBox<float>(screen.get(), 20.0f), 0, 40, 100, 24);
   pfloat->set_editable(true);
   pfloat->set_units("lb");
   pfloat->set_callback([&](float f) { floats.push_back(f); });
   EXPECT_EQ(pfloat->TextBox::value(), "20");
   enter(pfloat, "1000/8");
   ASSERT_EQ(floats.size(), 1u);
   EXPECT_FLOAT_EQ(floats[0], 125.0f);
   EXPECT_EQ(pfloat->TextBox::value(), "125");
   pfloat->set_value(3.14159f);
   EXPECT_EQ(floats.size(), 1u);
   EXPECT_EQ(pfloat->TextBox::value(), "3.14");
   pfloat->set_value(-0.001f);
   EXPECT_EQ(pfloat->TextBox::value(), "0");
   pfloat->set_value(9.0718f);
   EXPECT_EQ(pfloat->TextBox::value(), "9.07");
   pfloat->set_value(-90.0f);
   EXPECT_EQ(pfloat->TextBox::value(), "-90");
   pfloat->set_number_format("%.1f");
   EXPECT_EQ(pfloat->TextBox::value(), "-90.0");
}

TEST(ComboBox, ChoosingAnItemInItsPopupSelectsItAsTheUser)
{
   test_screen screen;
   std::vector<int> chosen;
   auto pcombo = placed(new zelui::ComboBox(screen.get(), {"inch", "feet", "meter"}), 10, 10, 100, 24);
   pcombo->set_callback([&](int i) { chosen.push_back(i); });
   EXPECT_EQ(pcombo->selected_index(), 0);
   EXPECT_EQ(pcombo->caption(), "inch");
   pcombo->set_selected_index(2);
   pcombo->set_selected_index(7);
   EXPECT_EQ(pcombo->selected_index(), 2);
   EXPECT_TRUE(chosen.empty());

   screen.click(20, 20);
   zelui::Popup * ppopup = pcombo->popup();
   ASSERT_TRUE(ppopup->visible());
   EXPECT_EQ(ppopup->parent(), screen.get());
   screen.layout();
   zelui::Widget * pfeet = ppopup->child_at(1);
   point_type<int> point = pfeet->absolute_position() + point_type<int>{5, 5};
   screen.click(point.x, point.y);
   EXPECT_EQ(chosen, (std::vector<int>{1}));
   EXPECT_EQ(pcombo->caption(), "feet");
   EXPECT_FALSE(ppopup->visible());
}

TEST(PopupButton, APressOutsideClosesThePopup)
{
   test_screen screen;
   auto pcombo = placed(new zelui::ComboBox(screen.get(), {"1 Phase", "3 Phases"}), 10, 10, 100, 24);
   screen.click(20, 20);
   screen.layout();
   EXPECT_TRUE(pcombo->popup()->visible());
   EXPECT_TRUE(pcombo->pushed());
   screen.click(700, 500);
   EXPECT_FALSE(pcombo->popup()->visible());
   EXPECT_FALSE(pcombo->pushed());
   // The button opens and closes it again.
   screen.click(20, 20);
   EXPECT_TRUE(pcombo->popup()->visible());
   screen.click(20, 20);
   EXPECT_FALSE(pcombo->popup()->visible());
}

TEST(ColorPicker, SetColorRunsNoCallbackAndASwatchPicksAsTheUser)
{
   test_screen screen;
   std::vector<color::hls> picks;
   auto ppicker = placed(new zelui::ColorPicker(screen.get(), color::color(0, 0, 255)), 10, 10, 55, 22);
   ppicker->set_callback([&](const color::hls & hls) { picks.push_back(hls); });
   EXPECT_EQ(color::color(ppicker->color(), 255), color::color(0, 0, 255));
   ppicker->set_color(color::color(255, 0, 0).get_hls());
   EXPECT_TRUE(picks.empty());

   // The popup holds a tab widget: the wheel, then the swatch grid.
   zelui::Popup * ppopup = ppicker->popup();
   auto ptabs = dynamic_cast<zelui::TabWidget *>(ppopup->child_at(0));
   ASSERT_NE(ptabs, nullptr);
   ASSERT_EQ(ptabs->tab_count(), 2);
   auto pgrid = dynamic_cast<zelui::ColorPicker::MyGridWidget *>(ptabs->tab(1));
   ASSERT_NE(pgrid, nullptr);
   screen.click(20, 20);
   ptabs->set_selected_index(1);
   screen.layout();
   zelui::Widget * pwhite = pgrid->child_at(7);
   point_type<int> point = pwhite->absolute_position() + point_type<int>{5, 5};
   screen.click(point.x, point.y);
   ASSERT_EQ(picks.size(), 1u);
   EXPECT_EQ(color::color(picks[0], 255), color::color(255, 255, 255));
   EXPECT_EQ(color::color(ppicker->color(), 255), color::color(255, 255, 255));
}

TEST(TabWidget, OnlyTheSelectedPageIsVisibleAndTheHeaderSelects)
{
   test_screen screen;
   auto ptabs = placed(new zelui::TabWidget(screen.get()), 0, 0, 300, 200);
   zelui::Widget * pfirst = ptabs->create_tab("One");
   zelui::Widget * psecond = ptabs->create_tab("Two");
   EXPECT_EQ(ptabs->selected_index(), 0);
   EXPECT_TRUE(pfirst->visible());
   EXPECT_FALSE(psecond->visible());
   long long iReported = -1;
   ptabs->set_callback([&](long long i) { iReported = i; });
   // The second caption lies right of the first.
   screen.click(ptabs->preferred_size(nullptr).width - 5, 5);
   EXPECT_EQ(ptabs->selected_index(), 1);
   EXPECT_EQ(iReported, 1);
   EXPECT_TRUE(psecond->visible());
   EXPECT_FALSE(pfirst->visible());
}

TEST(VScrollPanel, TheWheelScrollsTheContentWithinItsHeight)
{
   test_screen screen;
   auto ppanel = placed(new zelui::VScrollPanel(screen.get()), 0, 0, 200, 100);
   auto pcontent = new zelui::Widget(ppanel);
   pcontent->set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_fill, 0, 0));
   for (int i = 0; i < 10; ++i)
   {
      new zelui::Button(pcontent, "row");
   }
   screen.layout();
   EXPECT_GT(ppanel->content_height(), 100);
   EXPECT_EQ(pcontent->width(), 200 - 12);
   screen->on_window_scroll({50, 50}, {0.0f, -10.0f});
   EXPECT_EQ(ppanel->scroll_offset(), 30);
   EXPECT_EQ(pcontent->y(), -30);
   screen->on_window_scroll({50, 50}, {0.0f, -1000.0f});
   EXPECT_EQ(ppanel->scroll_offset(), ppanel->content_height() - 100);
   screen->on_window_scroll({50, 50}, {0.0f, 1000.0f});
   EXPECT_EQ(ppanel->scroll_offset(), 0);
   // A content with a fixed width keeps it.
   pcontent->set_fixed_size({150, 90});
   screen.layout();
   EXPECT_EQ(pcontent->width(), 150);
   EXPECT_GT(pcontent->height(), 90);
}

} // namespace
