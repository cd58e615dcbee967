#include <gtest/gtest.h>

#include "../zelui/test_screen.h"
#include "orvo/image.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/ClickableWidget.h"
#include "panels/WidgetWithBackground.h"
#include "panels/WidgetWithReverse.h"
#include "panels/panel_colors.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A list-like container: every row's capture target, with a settable selected item.
class row_container : public zelui::Widget
{
public:
   explicit row_container(zelui::Widget * pparent) : zelui::Widget(pparent)
   {
      set_position({0, 0});
      set_size({400, 300});
   }
   user::item * selected_item() override { return m_pselected; }
   user::item * hover_item() override { return m_phover; }
   void on_item_hover(user::item * pitem) override { m_phover = pitem; }

   user::item * m_pselected = nullptr;
   user::item * m_phover = nullptr;
};

struct clicks
{
   int m_iClicks = 0;
   int m_iDoubleClicks = 0;
   std::vector<std::pair<zelui::Widget *, zelui::Widget *>> m_drops;
};

// A row at (0, y), 100 x 20, counting its clicks and drops into `record`.
ClickableWidget * make_row(zelui::Widget * pparent, int y, clicks & record, bool bClickable = true)
{
   auto prow = new ClickableWidget(pparent, nullptr);
   prow->set_position({0, y});
   prow->set_size({100, 20});
   prow->set_capture_target(pparent);
   if (bClickable)
   {
      prow->set_callback([&record] { ++record.m_iClicks; return true; });
   }
   prow->m_callbackDrop = [&record](zelui::Widget * pthis, zelui::Widget * pdragged)
   {
      record.m_drops.emplace_back(pthis, pdragged);
      return true;
   };
   return prow;
}

// Two clickable rows of one list, A at the top and B under it, counting into `m_a` and `m_b`.
class ClickableRows : public testing::Test
{
protected:
   test_screen m_screen;
   row_container * m_plist = new row_container(m_screen.get());
   clicks m_a, m_b;
   ClickableWidget * m_prowA = make_row(m_plist, 0, m_a);
   ClickableWidget * m_prowB = make_row(m_plist, 30, m_b);
};

} // namespace

TEST_F(ClickableRows, PressAndReleaseOnTheSameWidgetIsAClick)
{
   m_screen.click(10, 10);

   EXPECT_EQ(m_a.m_iClicks, 1);
   EXPECT_TRUE(m_a.m_drops.empty());
   EXPECT_EQ(m_b.m_iClicks, 0);
   EXPECT_EQ(m_screen->drag_widget(), nullptr);
}

TEST_F(ClickableRows, ReleaseOnASiblingIsADropNeverAClick)
{
   m_screen.move(10, 10);
   m_screen.press(10, 10);
   EXPECT_EQ(m_screen->drag_widget(), m_prowA);
   EXPECT_EQ(m_screen->capture_widget(), m_plist);
   m_screen.move(10, 40, true);
   m_screen.release(10, 40);

   EXPECT_EQ(m_a.m_iClicks, 0);
   EXPECT_EQ(m_b.m_iClicks, 0);
   ASSERT_EQ(m_b.m_drops.size(), 1u);
   EXPECT_EQ(m_b.m_drops[0].first, m_prowB);
   EXPECT_EQ(m_b.m_drops[0].second, m_prowA);
}

TEST_F(ClickableRows, WidgetsOfDifferentTargetsAreNoSiblings)
{
   m_prowB->set_capture_target(m_prowB);

   m_screen.press(10, 10);
   m_screen.release(10, 40);

   EXPECT_TRUE(m_b.m_drops.empty());
   EXPECT_EQ(m_a.m_iClicks + m_b.m_iClicks, 0);
}

TEST(ClickableWidget, WidgetWithoutCallbacksIgnoresPressesButTakesDrops)
{
   test_screen screen;
   auto plist = new row_container(screen.get());
   clicks a, b;
   auto prowA = make_row(plist, 0, a, false);
   make_row(plist, 30, b);

   screen.press(10, 10);
   EXPECT_EQ(screen->drag_widget(), nullptr);
   screen.release(10, 10);
   EXPECT_EQ(a.m_iClicks, 0);

   screen.press(10, 40);
   screen.release(10, 10);
   ASSERT_EQ(a.m_drops.size(), 1u);
   EXPECT_EQ(a.m_drops[0].first, prowA);
}

TEST_F(ClickableRows, SecondPressWhileDraggingIsIgnored)
{
   m_screen.press(10, 10);
   m_screen.press(10, 40, user::e_mouse_right_button);
   EXPECT_EQ(m_screen->drag_widget(), m_prowA);
}

TEST(ClickableWidget, DoubleClickRunsOnlyTheDoubleClickCallback)
{
   test_screen screen;
   auto plist = new row_container(screen.get());
   clicks a;
   auto prow = make_row(plist, 0, a);
   prow->setDblCallback([&a] { ++a.m_iDoubleClicks; return true; });

   screen.press(10, 10);
   screen.press(10, 10, user::e_mouse_left_button, true);

   EXPECT_EQ(a.m_iDoubleClicks, 1);
   EXPECT_EQ(a.m_iClicks, 0);
   EXPECT_EQ(screen->drag_widget(), nullptr);
   EXPECT_EQ(screen->capture_widget(), nullptr);
}

TEST_F(ClickableRows, WithoutADoubleClickCallbackTwoQuickClicksAreTwoClicks)
{
   m_screen.click(10, 10);
   m_screen.press(10, 10, user::e_mouse_left_button, true);
   m_screen.release(10, 10);
   EXPECT_EQ(m_a.m_iClicks, 2);
}

TEST_F(ClickableRows, DragEnterThatRearrangesHandsTheMouseInsideFlagToTheDraggedWidget)
{
   bool bRearrange = false;
   std::vector<std::pair<zelui::Widget *, zelui::Widget *>> enters;
   m_prowB->m_callbackDragEnter = [&](zelui::Widget * pthis, zelui::Widget * pdragged)
   {
      enters.emplace_back(pthis, pdragged);
      if (bRearrange)
      {
         // The dragged row takes the entered row's place, under the pointer.
         point_type<int> position = pthis->position();
         pthis->set_position(pdragged->position());
         pdragged->set_position(position);
      }
      return bRearrange;
   };

   m_screen.move(10, 10);
   m_screen.press(10, 10);
   m_screen.move(10, 40, true);
   ASSERT_EQ(enters.size(), 1u);
   EXPECT_EQ(enters[0].first, m_prowB);
   EXPECT_EQ(enters[0].second, m_prowA);
   // Refused: the toolkit keeps the flags.
   EXPECT_TRUE(m_prowB->mouse_inside());

   bRearrange = true;
   m_screen.move(10, 10, true);
   m_screen.move(10, 40, true);
   EXPECT_EQ(m_prowA->position().y, 30);
   EXPECT_EQ(enters.size(), 2u);
   EXPECT_FALSE(m_prowB->mouse_inside());
   EXPECT_TRUE(m_prowA->mouse_inside());
}

TEST(ClickableWidget, MoveModeFollowsThePointerOnlyPastTheClickLimit)
{
   test_screen screen;
   auto plist = new row_container(screen.get());
   clicks a;
   auto prow = make_row(plist, 50, a);
   prow->setUseDrag(true);

   screen.move(10, 60);
   screen.press(10, 60);
   screen.move(13, 64, true);
   EXPECT_EQ(prow->position(), (point_type<int>{0, 50}));
   screen.move(14, 64, true);
   EXPECT_EQ(prow->position(), (point_type<int>{1, 50}));
   screen.release(14, 64);
   EXPECT_EQ(a.m_iClicks, 0);

   // A short motion is still a click.
   screen.press(14, 64);
   screen.move(15, 64, true);
   screen.release(15, 64);
   EXPECT_EQ(a.m_iClicks, 1);
   EXPECT_EQ(prow->position(), (point_type<int>{1, 50}));
}

TEST(WidgetWithBackground, ColourFollowsSelectionThenHover)
{
   test_screen screen;
   auto plist = new row_container(screen.get());
   auto prow = new WidgetWithBackground(plist, panel_colors::menu, panel_colors::menu_hover, panel_colors::menu_selected,
                                        nullptr, nullptr);
   prow->set_position({0, 0});
   prow->set_size({100, 20});

   EXPECT_EQ(prow->current_color(), panel_colors::menu);
   screen.move(10, 10);
   EXPECT_EQ(plist->m_phover, prow);
   EXPECT_EQ(prow->current_color(), panel_colors::menu_hover);
   plist->m_pselected = prow;
   EXPECT_EQ(prow->current_color(), panel_colors::menu_selected);

   image::image target(100, 20);
   zel2d::context context(&target);
   prow->draw(&context);
   EXPECT_EQ(color::color::from_argb(target.pixel(50, 10)), panel_colors::menu_selected);
}

TEST(WidgetWithBackground, ExecRunsTheClickCallbackOrReportsNone)
{
   test_screen screen;
   WidgetWithBackground * pitem = new WidgetWithBackground(screen.get(), {}, {}, {}, nullptr, nullptr);
   EXPECT_FALSE(pitem->exec());
   int iRuns = 0;
   pitem->set_callback([&] { ++iRuns; return true; });
   EXPECT_TRUE(pitem->exec());
   EXPECT_EQ(iRuns, 1);
}

TEST(CheckboxWithFocus, SpaceTogglesAsTheUserAndRunsTheCallback)
{
   test_screen screen;
   std::vector<bool> states;
   auto pbox = new CheckboxWithFocus(screen.get(), "", [&](bool b) { states.push_back(b); });
   EXPECT_EQ(pbox->font_size(), 14.0f);
   pbox->request_focus();

   EXPECT_TRUE(pbox->keyboard_event(user::e_key_space, 0, user::e_key_action_press, {}, " "));
   EXPECT_TRUE(pbox->keyboard_event(user::e_key_space, 0, user::e_key_action_press, {}, " "));
   EXPECT_FALSE(pbox->keyboard_event(user::e_key_space, 0, user::e_key_action_release, {}, {}));
   EXPECT_EQ(states, (std::vector<bool>{true, false}));
   EXPECT_FALSE(pbox->checked());
}

TEST(CheckboxWithFocus, FocusMarkIsASquareOfTheHeight)
{
   test_screen screen;
   auto pbox = new CheckboxWithFocus(screen.get(), "", {});
   pbox->set_position({0, 0});
   pbox->set_size({60, 20});
   image::image unfocused(60, 20);
   image::image focused(60, 20);
   zel2d::context contextUnfocused(&unfocused);
   zel2d::context contextFocused(&focused);

   pbox->draw(&contextUnfocused);
   pbox->request_focus();
   pbox->draw(&contextFocused);

   auto reddish = [](std::uint32_t argb)
   {
      color::color c = color::color::from_argb(argb);
      return c.m_uchR > c.m_uchG + 40 && c.m_uchR > c.m_uchB + 40;
   };
   // The square's left side lies along x = 1 and its right side along x = 19 (side 18, from the
   // height); the widget is wider, but nothing changes right of the square.
   EXPECT_FALSE(reddish(unfocused.pixel(1, 10)));
   EXPECT_TRUE(reddish(focused.pixel(1, 10)));
   EXPECT_TRUE(reddish(focused.pixel(19, 10)));
   EXPECT_EQ(unfocused.pixel(40, 1), focused.pixel(40, 1));
}

TEST(WidgetWithReverse, LastChildMovesToTheFront)
{
   test_screen screen;
   auto pcontainer = new WidgetWithReverse(screen.get());
   auto pa = new zelui::Widget(pcontainer);
   pcontainer->move_last_child_to_first();
   EXPECT_EQ(pcontainer->child_at(0), pa);

   auto pb = new zelui::Widget(pcontainer);
   auto pc = new zelui::Widget(pcontainer);
   pcontainer->move_last_child_to_first();
   ASSERT_EQ(pcontainer->child_count(), 3);
   EXPECT_EQ(pcontainer->child_at(0), pc);
   EXPECT_EQ(pcontainer->child_at(1), pa);
   EXPECT_EQ(pcontainer->child_at(2), pb);
}
