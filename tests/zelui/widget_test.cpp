#include <gtest/gtest.h>

#include "test_screen.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"
#include "zelui/Window.h"

namespace
{

// A widget that records what reaches it and may take the events.
class probe : public zelui::Widget
{
public:
   probe(zelui::Widget * pparent, point_type<int> position, size_type<int> size, bool bTakes = true) :
      zelui::Widget(pparent), m_bTakes(bTakes)
   {
      set_position(position);
      set_size(size);
   }

   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDouble,
                           const enumeration<user::enum_key> & emodifiers) override
   {
      if (zelui::Widget::mouse_button_event(point, ebutton, bDown, bDouble, emodifiers))
      {
         return true;
      }
      m_presses.push_back({point, bDown, bDouble});
      return m_bTakes;
   }
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override
   {
      zelui::Widget::mouse_motion_event(point, motion, bButton, ekeystate);
      m_motions.push_back(point);
      return m_bTakes;
   }
   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override
   {
      m_enters.push_back(bEnter);
      return zelui::Widget::mouse_enter_event(point, bEnter, emodifiers);
   }
   bool keyboard_event(user::enum_key ekey, int, int iAction, const enumeration<user::enum_key> &, const string_base &) override
   {
      if (iAction == user::e_key_action_press)
      {
         m_keys.push_back(ekey);
      }
      return m_bTakesKeys;
   }
   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override
   {
      if (zelui::Widget::scroll_event(point, delta))
      {
         return true;
      }
      m_scrolls.push_back(point);
      return m_bTakes;
   }
   bool accepts_focus() const override { return true; }

   struct press
   {
      point_type<int> m_point;
      bool m_bDown;
      bool m_bDouble;
   };
   bool m_bTakes;
   bool m_bTakesKeys = false;
   std::vector<press> m_presses;
   std::vector<point_type<int>> m_motions;
   std::vector<point_type<int>> m_scrolls;
   std::vector<bool> m_enters;
   std::vector<user::enum_key> m_keys;
};

TEST(WidgetTree, ChildrenAreOrderedAndOwnedByTheParent)
{
   test_screen screen;
   auto pa = new zelui::Widget(screen.get());
   auto pb = new zelui::Widget(screen.get());
   auto pc = new zelui::Widget(nullptr);
   screen->add_child(0, pc);
   ASSERT_EQ(screen->child_count(), 3);
   EXPECT_EQ(screen->child_at(0), pc);
   EXPECT_EQ(screen->child_at(1), pa);
   EXPECT_EQ(pc->screen(), screen.get());

   pa->to_top();
   EXPECT_EQ(screen->child_at(2), pa);

   // Moving a child to another parent takes it out of the first.
   pb->add_child(pc);
   EXPECT_EQ(screen->child_count(), 2);
   EXPECT_EQ(pc->parent(), pb);

   pointer<zelui::Widget> pkeep(pb);
   EXPECT_TRUE(screen->remove_child(pb));
   EXPECT_FALSE(screen->remove_child(pb));
   EXPECT_EQ(pb->parent(), nullptr);
   EXPECT_EQ(pc->screen(), nullptr);
}

TEST(WidgetTree, NegativeFixedSizeCountsAsZero)
{
   zelui::Widget widget(nullptr);
   widget.set_fixed_size({-5, 22});
   EXPECT_EQ(widget.fixed_size(), (size_type<int>{0, 22}));
   widget.set_fixed_width(-1);
   EXPECT_EQ(widget.fixed_size().width, 0);
}

TEST(WidgetTree, RequestsWithoutWindowAreHarmless)
{
   test_screen screen;
   auto pwidget = new zelui::Widget(screen.get());
   pwidget->set_need_layout();
   pwidget->set_need_redraw();
   pwidget->post_redraw();
   zelui::Widget loose(nullptr);
   loose.set_need_redraw();
   loose.request_focus();
   EXPECT_EQ(loose.interaction(), nullptr);
}

TEST(MouseEvents, GoToTheTopmostChildInItsOwnCoordinates)
{
   test_screen screen;
   auto plower = new probe(screen.get(), {10, 10}, {100, 100});
   auto pupper = new probe(screen.get(), {50, 50}, {100, 100});
   screen.press(60, 70);
   ASSERT_EQ(pupper->m_presses.size(), 1u);
   EXPECT_EQ(pupper->m_presses[0].m_point, (point_type<int>{10, 20}));
   EXPECT_TRUE(plower->m_presses.empty());
   screen.release(60, 70);

   // Where the upper one lets the event pass, the one below gets it.
   pupper->m_bTakes = false;
   screen.press(60, 70);
   ASSERT_EQ(plower->m_presses.size(), 1u);
   EXPECT_EQ(plower->m_presses[0].m_point, (point_type<int>{50, 60}));
   screen.release(60, 70);
}

TEST(MouseEvents, BubbleUpFromAChildThatDoesNotHandleThem)
{
   test_screen screen;
   auto pouter = new probe(screen.get(), {0, 0}, {200, 200});
   auto pinner = new probe(pouter, {20, 20}, {50, 50}, false);
   screen.press(30, 30);
   EXPECT_EQ(pinner->m_presses.size(), 1u);
   ASSERT_EQ(pouter->m_presses.size(), 1u);
   EXPECT_EQ(pouter->m_presses[0].m_point, (point_type<int>{30, 30}));
}

TEST(MouseEvents, TheWheelBubblesUpToTheParentsButNeverToACoveredSibling)
{
   test_screen screen;
   auto plower = new probe(screen.get(), {0, 0}, {200, 200});
   auto pupper = new probe(screen.get(), {50, 50}, {100, 100}, false);
   auto pinner = new probe(pupper, {10, 10}, {20, 20}, false);
   EXPECT_FALSE(screen->on_window_scroll({65, 65}, {0.0f, 10.0f}));
   EXPECT_EQ(pinner->m_scrolls, (std::vector<point_type<int>>{{5, 5}}));
   EXPECT_EQ(pupper->m_scrolls, (std::vector<point_type<int>>{{15, 15}}));
   EXPECT_TRUE(plower->m_scrolls.empty());

   // Beside the upper one the wheel reaches the lower one.
   EXPECT_TRUE(screen->on_window_scroll({20, 20}, {0.0f, 10.0f}));
   EXPECT_EQ(plower->m_scrolls, (std::vector<point_type<int>>{{20, 20}}));
}

TEST(MouseEvents, HiddenAndDisabledChildrenTakeNoEvents)
{
   test_screen screen;
   auto plower = new probe(screen.get(), {0, 0}, {100, 100});
   auto pupper = new probe(screen.get(), {0, 0}, {100, 100});
   pupper->set_visible(false);
   screen.press(5, 5);
   EXPECT_EQ(plower->m_presses.size(), 1u);
   pupper->set_visible(true);
   pupper->set_enabled(false);
   screen.press(5, 5);
   EXPECT_EQ(plower->m_presses.size(), 1u);
   EXPECT_TRUE(pupper->m_presses.empty());
}

TEST(MouseEvents, HoverEntersAndLeavesAsThePointerCrosses)
{
   test_screen screen;
   auto pa = new probe(screen.get(), {0, 0}, {50, 50});
   auto pb = new probe(screen.get(), {60, 0}, {50, 50});
   screen.move(10, 10);
   screen.move(20, 10);
   screen.move(70, 10);
   EXPECT_EQ(pa->m_enters, (std::vector<bool>{true, false}));
   EXPECT_EQ(pb->m_enters, (std::vector<bool>{true}));
   EXPECT_TRUE(pb->mouse_inside());
   // Leaving the window leaves every widget.
   screen->on_window_mouse_enter({200, 200}, false, {});
   EXPECT_EQ(pb->m_enters.back(), false);
   EXPECT_FALSE(pb->mouse_inside());
}

TEST(MouseEvents, TheFirstPositionInTheWindowEntersTheWidgetsUnderIt)
{
   test_screen screen;
   auto pouter = new probe(screen.get(), {0, 0}, {100, 100});
   auto pinner = new probe(pouter, {10, 10}, {20, 20});
   screen->on_window_mouse_enter({15, 15}, true, {});
   screen.move(15, 15);
   EXPECT_EQ(pouter->m_enters, (std::vector<bool>{true}));
   EXPECT_EQ(pinner->m_enters, (std::vector<bool>{true}));
}

TEST(MouseEvents, AWidgetThatDropsItsMouseInsideFlagDuringADragIsNotEnteredAgain)
{
   // Rows of a list under the list's capture: entering a row while another is dragged moves the
   // dragged row there (the rows change places at the next layout) and hands over the flag.
   test_screen screen;
   auto plist = new probe(screen.get(), {0, 0}, {100, 100});
   auto pdragged = new probe(plist, {0, 0}, {100, 20});
   auto pentered = new probe(plist, {0, 20}, {100, 20});
   screen.move(10, 10);
   screen.press(10, 10);
   plist->set_mouse_capture();
   screen->set_drag_widget(pdragged);
   screen.move(10, 25, true);
   ASSERT_EQ(pentered->m_enters, (std::vector<bool>{true}));
   pentered->set_mouse_inside(false);
   pdragged->set_mouse_inside(true);
   screen.move(12, 26, true);
   screen.move(14, 27, true);
   EXPECT_EQ(pentered->m_enters, (std::vector<bool>{true}));
   screen.release(14, 27);
}

// A row that starts a drag on a press, as list rows do: it becomes the screen's drag widget and
// its list takes the capture; a release over a sibling is a drop there.
class drag_row : public zelui::Widget
{
public:
   drag_row(zelui::Widget * plist, int y) : zelui::Widget(plist)
   {
      set_position({0, y});
      set_size({100, 20});
      set_capture_target(plist);
   }
   bool mouse_button_event(const point_type<int> &, enumeration<user::enum_mouse>, bool bDown, bool,
                           const enumeration<user::enum_key> &) override
   {
      zelui::Screen * pscreen = screen();
      if (bDown && !pscreen->drag_widget())
      {
         pscreen->set_drag_widget(this);
         capture_target()->set_mouse_capture();
      }
      else if (!bDown && pscreen->drag_widget() == this)
      {
         ++m_iClicks;
      }
      else if (!bDown && pscreen->drag_widget() && pscreen->drag_widget()->capture_target() == capture_target())
      {
         m_drops.push_back(pscreen->drag_widget());
      }
      return true;
   }
   int m_iClicks = 0;
   std::vector<zelui::Widget *> m_drops;
};

TEST(MouseEvents, ADragBetweenSiblingsEndsInADropAndTheScreenForgetsTheDragAfterTheRelease)
{
   test_screen screen;
   auto plist = new probe(screen.get(), {10, 10}, {100, 100});
   auto pa = new drag_row(plist, 0);
   auto pb = new drag_row(plist, 40);
   screen.move(20, 15);
   screen.press(20, 15);
   EXPECT_EQ(screen->drag_widget(), pa);
   EXPECT_EQ(screen->capture_widget(), plist);
   screen.move(20, 30, true);
   screen.move(20, 55, true);
   screen.release(20, 55);
   EXPECT_EQ(pb->m_drops, (std::vector<zelui::Widget *>{pa}));
   EXPECT_EQ(pa->m_iClicks, 0);
   EXPECT_EQ(screen->drag_widget(), nullptr);
   EXPECT_EQ(screen->capture_widget(), nullptr);
   // A press and a release on the same row is a click.
   screen.click(20, 15);
   EXPECT_EQ(pa->m_iClicks, 1);
   EXPECT_EQ(pb->m_drops.size(), 1u);
}

TEST(MouseEvents, CaptureTakesEveryEventUntilTheRelease)
{
   test_screen screen;
   auto pa = new probe(screen.get(), {0, 0}, {50, 50});
   auto pb = new probe(screen.get(), {100, 0}, {50, 50});
   screen.press(10, 10);
   pa->set_mouse_capture();
   screen.move(120, 10, true);
   ASSERT_FALSE(pa->m_motions.empty());
   EXPECT_EQ(pa->m_motions.back(), (point_type<int>{120, 10}));
   EXPECT_TRUE(pb->m_motions.empty());
   screen.release(120, 10);
   EXPECT_EQ(pa->m_presses.back().m_bDown, false);
   EXPECT_EQ(screen->capture_widget(), nullptr);
   screen.move(121, 10);
   EXPECT_FALSE(pb->m_motions.empty());
}

TEST(MouseEvents, DragAndCaptureEndWhenThePointerLeavesOrFocusIsLost)
{
   test_screen screen;
   auto pa = new probe(screen.get(), {0, 0}, {50, 50});
   screen->set_drag_widget(pa);
   pa->set_mouse_capture();
   screen->on_window_mouse_enter({-1, -1}, false, {});
   EXPECT_EQ(screen->drag_widget(), nullptr);
   EXPECT_EQ(screen->capture_widget(), nullptr);
   screen->set_drag_widget(pa);
   pa->set_mouse_capture();
   screen->on_window_focus(false);
   EXPECT_EQ(screen->drag_widget(), nullptr);
   EXPECT_EQ(screen->capture_widget(), nullptr);
}

// A titled window of 200 x 150 at 100, 100 that counts its reported moves.
static zelui::Window * tools_window(test_screen & screen, int & iMoved)
{
   auto pwindow = placed(new zelui::Window(screen.get(), "Tools"), 100, 100, 200, 150);
   pwindow->set_callback([&iMoved] { ++iMoved; });
   return pwindow;
}

TEST(MouseEvents, APressWhoseReleaseNeverComesEndsWhatItBegan)
{
   test_screen screen;
   int iMoved = 0;
   zelui::Window * pwindow = tools_window(screen, iMoved);
   auto pbutton = placed(new zelui::Button(screen.get(), "OK"), 400, 400, 80, 30);
   int iClicked = 0;
   pbutton->set_callback([&] { ++iClicked; });
   auto pcheck = placed(new zelui::CheckBox(screen.get(), "On"), 400, 500, 80, 30);

   // A drag of the title bar, then the window loses the focus: the window stays and says so.
   screen.move(150, 110);
   screen.press(150, 110);
   screen.move(170, 120, true);
   screen->on_window_focus(false);
   EXPECT_EQ(pwindow->position(), (point_type<int>{120, 110}));
   EXPECT_EQ(iMoved, 1);
   screen.move(190, 130, true);
   EXPECT_EQ(pwindow->position(), (point_type<int>{120, 110}));

   // A button and a check box pressed, then the pointer leaves: neither stays pressed.
   for (zelui::Widget * pwidget : {static_cast<zelui::Widget *>(pbutton), static_cast<zelui::Widget *>(pcheck)})
   {
      const point_type<int> point = pwidget->position() + point_type<int>{10, 10};
      screen.move(point.x, point.y);
      screen.press(point.x, point.y);
      screen->on_window_mouse_enter({-1, -1}, false, {});
   }
   EXPECT_FALSE(pbutton->pushed());
   EXPECT_FALSE(pcheck->pushed());
   EXPECT_FALSE(pcheck->checked());
   EXPECT_EQ(iClicked, 0);
   // The next click is a whole one.
   screen.click(410, 410);
   EXPECT_EQ(iClicked, 1);
   EXPECT_EQ(iMoved, 1);
}

TEST(MouseEvents, RemovingAWidgetClearsTheScreensReferencesToIt)
{
   test_screen screen;
   auto pa = new probe(screen.get(), {0, 0}, {50, 50});
   screen.press(5, 5);
   screen->set_drag_widget(pa);
   pa->set_mouse_capture();
   EXPECT_EQ(screen->focused_widget(), pa);
   screen->remove_child(pa);
   EXPECT_EQ(screen->drag_widget(), nullptr);
   EXPECT_EQ(screen->capture_widget(), nullptr);
   EXPECT_EQ(screen->focused_widget(), nullptr);
}

TEST(MouseEvents, OnMouseDownMayKeepThePressFromTheWidgets)
{
   struct guarded_screen : zelui::Screen
   {
      guarded_screen() : zelui::Screen(nullptr, {400, 400}) {}
      bool on_mouse_down(zelui::Widget * pwidget) override
      {
         m_pwidgetPressed = pwidget;
         return m_bAllow;
      }
      zelui::Widget * m_pwidgetPressed = nullptr;
      bool m_bAllow = false;
   };
   auto pscreen = make_pointer<guarded_screen>();
   auto pchild = new probe(pscreen.get(), {10, 10}, {20, 20});
   auto pgrandchild = new probe(pchild, {5, 5}, {5, 5});
   pscreen->on_window_mouse_button({16, 16}, user::e_mouse_left_button, true, false, {});
   EXPECT_EQ(pscreen->m_pwidgetPressed, pgrandchild);
   EXPECT_TRUE(pchild->m_presses.empty());
   pscreen->m_bAllow = true;
   pscreen->on_window_mouse_button({16, 16}, user::e_mouse_left_button, true, false, {});
   EXPECT_EQ(pgrandchild->m_presses.size(), 1u);
}

// The presses a probe took, as "s" (single) or "d" (the second press of a double click).
static std::string presses_of(const probe & p)
{
   std::string str;
   for (const auto & press : p.m_presses)
   {
      if (press.m_bDown)
      {
         str += press.m_bDouble ? "d" : "s";
      }
   }
   return str;
}

// Presses that the window marks as quick (within the double-click time and distance of the one
// before), as the desktop sends them when the user clicks fast.
static void quick_click(test_screen & screen, int x, int y, user::enum_mouse ebutton = user::e_mouse_left_button)
{
   screen.press(x, y, ebutton, true);
   screen.release(x, y, ebutton);
}

TEST(DoubleClicks, AQuickPressOnAnotherWidgetIsASinglePressAndATripleClickEndsSingle)
{
   test_screen screen;
   auto pa = new probe(screen.get(), {0, 0}, {50, 50});
   auto pb = new probe(screen.get(), {60, 0}, {50, 50});
   // A menu caption, then an item right under it: two single presses.
   screen.click(10, 10);
   quick_click(screen, 70, 10);
   EXPECT_EQ(presses_of(*pa), "s");
   EXPECT_EQ(presses_of(*pb), "s");
   // Quick presses on one widget go single, double, single, double.
   quick_click(screen, 70, 10);
   quick_click(screen, 72, 12);
   quick_click(screen, 70, 10);
   EXPECT_EQ(presses_of(*pb), "sdsd");
   // The other button's press begins no double click of the left one.
   screen.click(10, 10);
   quick_click(screen, 10, 10, user::e_mouse_right_button);
   quick_click(screen, 10, 10);
   EXPECT_EQ(presses_of(*pa), "ssss");
}

TEST(DoubleClicks, BothPressesMustLandOnTheWidgetOrInsideIt)
{
   test_screen screen;
   // A row with a caption that takes no presses: both are the row's.
   auto prow = new probe(screen.get(), {0, 0}, {200, 20});
   auto pcaption = new probe(prow, {5, 2}, {50, 16}, false);
   screen.click(10, 10);
   quick_click(screen, 150, 10);
   EXPECT_EQ(presses_of(*prow), "sd");
   screen.click(150, 10);
   quick_click(screen, 10, 10);
   EXPECT_EQ(presses_of(*pcaption), "ss");
   EXPECT_EQ(presses_of(*prow), "sdsd");

   // A widget that came in place of the one pressed first, and one pressed after the pointer left
   // the window (a press in another window may have come between): single presses.
   screen->remove_child(prow);
   auto pnew = new probe(screen.get(), {0, 0}, {200, 20});
   quick_click(screen, 10, 10);
   screen->on_window_mouse_enter({-1, -1}, false, {});
   quick_click(screen, 10, 10);
   EXPECT_EQ(presses_of(*pnew), "ss");
}

TEST(DoubleClicks, ATextBoxSelectsAllOnlyWhenBothPressesLandOnIt)
{
   test_screen screen;
   auto pbutton = placed(new zelui::Button(screen.get(), "OK"), 0, 0, 80, 30);
   int iClicks = 0;
   pbutton->set_callback([&] { ++iClicks; });
   auto pbox = placed(new zelui::TextBox(screen.get(), "wall"), 0, 40, 200, 30);
   pbox->set_editable(true);
   // A quick press in the box after the button's click only puts the caret there.
   screen.click(10, 10);
   quick_click(screen, 190, 55);
   EXPECT_EQ(iClicks, 1);
   EXPECT_TRUE(pbox->focused());
   EXPECT_EQ(pbox->caret(), 4);
   EXPECT_EQ(pbox->selection_anchor(), -1);
   quick_click(screen, 190, 55);
   EXPECT_EQ(pbox->selection_anchor(), 0);
   EXPECT_EQ(pbox->caret(), 4);
   // A button takes every press of two quick clicks.
   screen.click(10, 10);
   quick_click(screen, 10, 10);
   EXPECT_EQ(iClicks, 3);
}

TEST(Focus, PressFocusesAndTabWalksTheFocusableWidgets)
{
   test_screen screen;
   auto pa = new probe(screen.get(), {0, 0}, {50, 50});
   auto pb = new probe(screen.get(), {100, 0}, {50, 50});
   auto pc = new probe(screen.get(), {200, 0}, {50, 50});
   screen.press(110, 10);
   screen.release(110, 10);
   EXPECT_TRUE(pb->focused());
   screen.key(user::e_key_tab);
   EXPECT_TRUE(pc->focused());
   EXPECT_FALSE(pb->focused());
   screen.key(user::e_key_tab);
   EXPECT_TRUE(pa->focused());
   screen.key(user::e_key_tab, {}, user::e_key_left_shift);
   EXPECT_TRUE(pc->focused());
   // Hidden widgets are skipped.
   pa->set_visible(false);
   screen.key(user::e_key_tab);
   EXPECT_TRUE(pb->focused());
}

TEST(Focus, KeysGoToTheFocusedWidgetAndBubbleToItsParents)
{
   test_screen screen;
   auto pouter = new probe(screen.get(), {0, 0}, {200, 200});
   auto pinner = new probe(pouter, {10, 10}, {20, 20});
   pinner->request_focus();
   EXPECT_TRUE(pouter->focused());
   screen.key(user::e_key_a, "a");
   EXPECT_EQ(pinner->m_keys.size(), 1u);
   EXPECT_EQ(pouter->m_keys.size(), 1u);
   pinner->m_bTakesKeys = true;
   screen.key(user::e_key_b, "b");
   EXPECT_EQ(pinner->m_keys.size(), 2u);
   EXPECT_EQ(pouter->m_keys.size(), 1u);
}

TEST(Focus, HooksSeeTheWidgetThatGainsAndTheOneThatLoses)
{
   struct hooked_screen : zelui::Screen
   {
      hooked_screen() : zelui::Screen(nullptr, {400, 400}) {}
      void on_child_set_focus(zelui::Widget * pwidget) override
      {
         m_log.push_back({true, pwidget});
         zelui::Screen::on_child_set_focus(pwidget);
      }
      void on_child_kill_focus(zelui::Widget * pwidget) override
      {
         m_log.push_back({false, pwidget});
         zelui::Screen::on_child_kill_focus(pwidget);
      }
      std::vector<std::pair<bool, zelui::Widget *>> m_log;
   };
   auto pscreen = make_pointer<hooked_screen>();
   auto pa = new probe(pscreen.get(), {0, 0}, {50, 50});
   auto pb = new probe(pscreen.get(), {100, 0}, {50, 50});
   pa->request_focus();
   pb->request_focus();
   ASSERT_EQ(pscreen->m_log.size(), 3u);
   // The hook of the gaining widget runs first; the screen's own change then takes the focus
   // from the other one.
   EXPECT_EQ(pscreen->m_log[1], (std::pair<bool, zelui::Widget *>{true, pb}));
   EXPECT_EQ(pscreen->m_log[2], (std::pair<bool, zelui::Widget *>{false, pa}));
   EXPECT_FALSE(pa->focused());
}

TEST(Focus, APressOnTheBackgroundFocusesNothingAndTheScreenIsReleasedOnce)
{
   // A screen that takes the focus from its widgets as it goes, as the application's root does.
   struct counted_screen : zelui::Screen
   {
      explicit counted_screen(int * piGone) : zelui::Screen(nullptr, {100, 100}), m_piGone(piGone) {}
      ~counted_screen() override
      {
         on_child_set_focus(nullptr);
         ++*m_piGone;
      }
      int * m_piGone;
   };
   int iGone = 0;
   {
      auto pscreen = make_pointer<counted_screen>(&iGone);
      new probe(pscreen.get(), {0, 0}, {10, 10});
      // At the background, and outside the window as a captured drag reports it.
      for (const point_type<int> & point : {point_type<int>{50, 50}, point_type<int>{-1, -1}})
      {
         pscreen->on_window_mouse_button(point, user::e_mouse_left_button, true, false, {});
         pscreen->on_window_mouse_button(point, user::e_mouse_left_button, false, false, {});
         EXPECT_EQ(pscreen->focused_widget(), nullptr);
         EXPECT_FALSE(pscreen->focused());
      }
   }
   EXPECT_EQ(iGone, 1);
}

TEST(Redraw, ShowingOrHidingAWidgetRedrawsWhatItCovers)
{
   recording_interaction window;
   pointer<zelui::Screen> pscreen = make_pointer<zelui::Screen>(&window, size_type<int>{800, 600}, "test");
   auto pwidget = new zelui::Widget(pscreen.get());
   pwidget->set_visible(false);
   EXPECT_EQ(window.m_iRedraws, 1);
   EXPECT_EQ(window.m_iPosts, 1);
   pwidget->set_visible(false);
   EXPECT_EQ(window.m_iRedraws, 1);
   pwidget->toggle_visible();
   EXPECT_TRUE(pwidget->visible());
   EXPECT_EQ(window.m_iRedraws, 2);
   EXPECT_EQ(window.m_iPosts, 2);
}

TEST(LayoutHook, RunsOnceAtTheNextFrameAndANewOneReplacesTheOld)
{
   test_screen screen;
   auto pwidget = new zelui::Widget(screen.get());
   int iFirst = 0, iSecond = 0;
   pwidget->set_layout_hook([&](zel2d::context *) { ++iFirst; });
   pwidget->set_layout_hook([&](zel2d::context *) { ++iSecond; });
   EXPECT_TRUE(screen->run_layout_hooks(nullptr));
   EXPECT_FALSE(screen->run_layout_hooks(nullptr));
   EXPECT_EQ(iFirst, 0);
   EXPECT_EQ(iSecond, 1);
   // A hook stored while hooks run waits for the frame after.
   pwidget->set_layout_hook([&](zel2d::context *) { pwidget->set_layout_hook([&](zel2d::context *) { ++iFirst; }); });
   screen->run_layout_hooks(nullptr);
   EXPECT_EQ(iFirst, 0);
   screen->run_layout_hooks(nullptr);
   EXPECT_EQ(iFirst, 1);
}

TEST(Window, TitleBarDragMovesTheWindowAndReportsTheMove)
{
   test_screen screen;
   int iMoved = 0;
   zelui::Window * pwindow = tools_window(screen, iMoved);
   screen.move(150, 110);
   screen.press(150, 110);
   screen.move(180, 130, true);
   screen.move(600, 900, true);
   screen.release(600, 900);
   EXPECT_EQ(pwindow->position(), (point_type<int>{550, 450}));
   EXPECT_EQ(iMoved, 1);
   // A press below the title bar does not drag.
   screen.drag(650, 500, 660, 520);
   EXPECT_EQ(pwindow->position(), (point_type<int>{550, 450}));
   EXPECT_EQ(iMoved, 1);
}

TEST(Window, AParentTooSmallForThePlaceShowsTheWindowInsideAndKeepsThePlace)
{
   test_screen screen;
   auto plarge = new zelui::Window(screen.get(), "Large");
   plarge->set_fixed_size({900, 700});
   plarge->set_position({50, 50});
   auto pwindow = new zelui::Window(screen.get(), "Tools");
   pwindow->set_fixed_size({200, 150});
   pwindow->set_position({500, 400});
   screen.layout();
   EXPECT_EQ(pwindow->position(), (point_type<int>{500, 400}));

   screen->set_size({600, 500});
   screen.layout();
   EXPECT_EQ(pwindow->position(), (point_type<int>{400, 350}));
   EXPECT_EQ(pwindow->place(), (point_type<int>{500, 400}));
   // A window larger than its parent keeps its title bar at the parent's corner.
   EXPECT_EQ(plarge->position(), (point_type<int>{0, 0}));

   screen->set_size({800, 600});
   screen.layout();
   EXPECT_EQ(pwindow->position(), (point_type<int>{500, 400}));

   // What the user drags it to becomes its place; a press without a move keeps the place.
   screen->set_size({600, 500});
   screen.layout();
   screen.move(450, 360);
   screen.press(450, 360);
   screen.release(450, 360);
   EXPECT_EQ(pwindow->place(), (point_type<int>{500, 400}));
   screen.press(450, 360);
   screen.move(440, 340, true);
   screen.release(440, 340);
   EXPECT_EQ(pwindow->place(), (point_type<int>{390, 330}));
   screen->set_size({800, 600});
   screen.layout();
   EXPECT_EQ(pwindow->position(), (point_type<int>{390, 330}));

   // Below its top limit a window stays, even where that leaves its foot out of the parent.
   plarge->set_top_limit(60);
   EXPECT_EQ(plarge->position(), (point_type<int>{0, 60}));
   EXPECT_EQ(plarge->place(), (point_type<int>{50, 50}));
}

TEST(Window, AWindowStaysLeftOfItsRightMarginAndOneWiderThanItsRoomCanBeDraggedAlongIt)
{
   test_screen screen;
   auto pwindow = new zelui::Window(screen.get(), "Tools");
   pwindow->set_fixed_size({200, 150});
   pwindow->set_right_margin(280);
   // Stored under what the margin keeps free (a side panel), it shows beside it.
   pwindow->set_position({700, 100});
   screen.layout();
   EXPECT_EQ(pwindow->position(), (point_type<int>{320, 100}));
   // Dragged towards it from further left, it stops there, and that is its place.
   pwindow->set_position({100, 100});
   screen.drag(110, 105, 600, 105);
   EXPECT_EQ(pwindow->place(), (point_type<int>{320, 100}));

   // In a room narrower than the window, its title bar stays across the whole room, and a drag
   // brings its right end (its buttons) into reach.
   screen->set_size({400, 300});
   screen.layout();
   EXPECT_EQ(pwindow->position(), (point_type<int>{0, 100}));
   screen.drag(60, 105, -200, 105);
   EXPECT_EQ(pwindow->position(), (point_type<int>{-80, 100}));
}

TEST(Window, ACentredWindowStaysCentredWhenItsParentIsResizedUntilItIsDragged)
{
   test_screen screen;
   auto pdialog = new zelui::MessageDialog(screen.get(), zelui::MessageDialog::e_type_warning, "Quit", "Are you sure ?", "Yes",
                                           "No", zelui::MessageDialog::e_two_buttons);
   screen.layout();
   for (const size_type<int> size : {size_type<int>{400, 300}, size_type<int>{1000, 700}})
   {
      screen->set_size(size);
      screen.layout();
      EXPECT_NEAR(pdialog->x() + pdialog->width() / 2, size.width / 2, 1);
      EXPECT_NEAR(pdialog->y() + pdialog->height() / 2, size.height / 2, 1);
   }
   const point_type<int> title = pdialog->position() + point_type<int>{10, 5};
   screen.drag(title.x, title.y, title.x - 50, title.y + 40);
   const point_type<int> dragged = pdialog->position();
   screen->set_size({900, 600});
   screen.layout();
   EXPECT_EQ(pdialog->position(), dragged);
}

TEST(Window, ModalWindowKeepsPressesFromTheRestOfTheScreen)
{
   test_screen screen;
   auto pbehind = new probe(screen.get(), {0, 0}, {800, 600});
   auto pdialog = placed(new zelui::Window(screen.get(), "Question"), 300, 200, 200, 100);
   pdialog->set_modal(true);
   screen.press(10, 10);
   EXPECT_TRUE(pbehind->m_presses.empty());
   pdialog->set_visible(false);
   screen.press(10, 10);
   EXPECT_EQ(pbehind->m_presses.size(), 1u);
}

TEST(Window, PressBringsTheWindowToTheFront)
{
   test_screen screen;
   auto pfirst = new zelui::Window(screen.get(), "First");
   pfirst->set_size({100, 100});
   placed(new zelui::Window(screen.get(), "Second"), 200, 0, 100, 100);
   screen.press(50, 50);
   screen.release(50, 50);
   EXPECT_EQ(screen->child_at(1), pfirst);
}

} // namespace
