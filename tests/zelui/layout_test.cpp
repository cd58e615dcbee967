#include <gtest/gtest.h>

#include "test_screen.h"
#include "zelui/BoxLayout.h"
#include "zelui/GridLayout.h"
#include "zelui/Theme.h"
#include "zelui/Window.h"

namespace
{

// A leaf that prefers a given size.
class block : public zelui::Widget
{
public:
   block(zelui::Widget * pparent, size_type<int> sizePreferred) : zelui::Widget(pparent), m_sizePreferred(sizePreferred) {}
   size_type<int> preferred_size(zel2d::context *) override { return m_sizePreferred; }
   size_type<int> m_sizePreferred;
};

rectangle_type<int> rect(zelui::Widget * pwidget)
{
   return pwidget->rectangle();
}

TEST(BoxLayout, StacksChildrenWithSpacingInsideTheMargins)
{
   test_screen screen;
   auto pbox = new zelui::Widget(screen.get());
   pbox->set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_minimum,
                                         rectangle_type<int>{5, 6, 7, 8}, 3));
   auto pa = new block(pbox, {40, 10});
   auto pb = new block(pbox, {60, 20});
   EXPECT_EQ(pbox->preferred_size(nullptr), (size_type<int>{5 + 60 + 7, 6 + 10 + 3 + 20 + 8}));
   pbox->set_size(pbox->preferred_size(nullptr));
   pbox->perform_layout(nullptr);
   EXPECT_EQ(rect(pa), (rectangle_type<int>{5, 6, 45, 16}));
   EXPECT_EQ(rect(pb), (rectangle_type<int>{5, 19, 65, 39}));
}

TEST(BoxLayout, AlignsAcrossTheDirection)
{
   test_screen screen;
   auto pbox = new zelui::Widget(screen.get());
   pbox->set_size({100, 50});
   auto pa = new block(pbox, {20, 10});
   auto pb = new block(pbox, {20, 10});
   pb->set_fixed_height(30);

   pbox->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_middle, 0, 0));
   pbox->perform_layout(nullptr);
   EXPECT_EQ(rect(pa), (rectangle_type<int>{0, 20, 20, 30}));
   EXPECT_EQ(rect(pb), (rectangle_type<int>{20, 10, 40, 40}));

   pbox->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_maximum, 0, 0));
   pbox->perform_layout(nullptr);
   EXPECT_EQ(rect(pa), (rectangle_type<int>{0, 40, 20, 50}));

   // Fill stretches across, except where a fixed size says otherwise.
   pbox->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_fill, 2, 0));
   pbox->perform_layout(nullptr);
   EXPECT_EQ(rect(pa), (rectangle_type<int>{2, 2, 22, 48}));
   EXPECT_EQ(rect(pb), (rectangle_type<int>{22, 2, 42, 32}));
}

TEST(BoxLayout, HiddenChildrenTakeNoRoom)
{
   test_screen screen;
   auto pbox = new zelui::Widget(screen.get());
   pbox->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_minimum, 0, 5));
   auto pa = new block(pbox, {10, 10});
   auto phidden = new block(pbox, {50, 50});
   auto pc = new block(pbox, {10, 10});
   phidden->set_visible(false);
   EXPECT_EQ(pbox->preferred_size(nullptr), (size_type<int>{25, 10}));
   pbox->set_size({25, 10});
   pbox->perform_layout(nullptr);
   EXPECT_EQ(pa->x(), 0);
   EXPECT_EQ(pc->x(), 15);
}

TEST(GridLayout, ColumnsTakeTheirWidestChildAndRowsTheirHighest)
{
   test_screen screen;
   auto pgrid = new zelui::Widget(screen.get());
   pgrid->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_minimum, 4, 2));
   auto pa = new block(pgrid, {30, 10});
   auto pb = new block(pgrid, {10, 14});
   auto pc = new block(pgrid, {12, 8});
   auto pd = new block(pgrid, {20, 9});
   EXPECT_EQ(pgrid->preferred_size(nullptr), (size_type<int>{4 + 30 + 2 + 20 + 4, 4 + 14 + 2 + 9 + 4}));
   pgrid->set_size(pgrid->preferred_size(nullptr));
   pgrid->perform_layout(nullptr);
   EXPECT_EQ(pa->position(), (point_type<int>{4, 4}));
   EXPECT_EQ(pb->position(), (point_type<int>{36, 4}));
   EXPECT_EQ(pc->position(), (point_type<int>{4, 20}));
   EXPECT_EQ(pd->position(), (point_type<int>{36, 20}));
}

TEST(GridLayout, FillAndMiddleAlignmentAndHiddenCells)
{
   test_screen screen;
   auto pgrid = new zelui::Widget(screen.get());
   auto pa = new block(pgrid, {30, 10});
   auto phidden = new block(pgrid, {90, 90});
   auto pb = new block(pgrid, {10, 20});
   phidden->set_visible(false);

   pgrid->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_fill, 0, 0));
   pgrid->set_size(pgrid->preferred_size(nullptr));
   EXPECT_EQ(pgrid->size(), (size_type<int>{40, 20}));
   pgrid->perform_layout(nullptr);
   // The hidden child takes no cell: b stands in the second column.
   EXPECT_EQ(rect(pa), (rectangle_type<int>{0, 0, 30, 20}));
   EXPECT_EQ(rect(pb), (rectangle_type<int>{30, 0, 40, 20}));

   pgrid->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_middle, 0, 0));
   pgrid->perform_layout(nullptr);
   EXPECT_EQ(rect(pa), (rectangle_type<int>{0, 5, 30, 15}));
}

TEST(GridLayout, VerticalOrientationFillsColumnsFirst)
{
   test_screen screen;
   auto pgrid = new zelui::Widget(screen.get());
   pgrid->set_layout(new zelui::GridLayout(zelui::e_orientation_vertical, 2, zelui::e_alignment_minimum, 0, 0));
   auto pa = new block(pgrid, {10, 10});
   auto pb = new block(pgrid, {10, 10});
   auto pc = new block(pgrid, {10, 10});
   pgrid->set_size(pgrid->preferred_size(nullptr));
   pgrid->perform_layout(nullptr);
   EXPECT_EQ(pa->position(), (point_type<int>{0, 0}));
   EXPECT_EQ(pb->position(), (point_type<int>{0, 10}));
   EXPECT_EQ(pc->position(), (point_type<int>{10, 0}));
}

TEST(Layouts, NestedLayoutsSizeFromTheInsideOut)
{
   test_screen screen;
   auto pwindow = new zelui::Window(screen.get(), "Nested");
   pwindow->set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_fill, 10, 5));
   auto prow = new zelui::Widget(pwindow);
   prow->set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_middle, 0, 4));
   new block(prow, {30, 20});
   auto pfixed = new block(prow, {30, 20});
   pfixed->set_fixed_width(50);
   auto pbottom = new block(pwindow, {40, 40});

   int iHeader = pwindow->theme()->m_iWindowHeaderHeight;
   size_type<int> size = pwindow->preferred_size(nullptr);
   EXPECT_EQ(size.width, 10 + 30 + 4 + 50 + 10);
   EXPECT_EQ(size.height, iHeader + 10 + 20 + 5 + 40 + 10);
   pwindow->set_size({200, size.height});
   screen.layout();
   // The rows fill the window's width inside the margins, below the title bar.
   EXPECT_EQ(rect(prow), (rectangle_type<int>{10, iHeader + 10, 190, iHeader + 30}));
   EXPECT_EQ(pfixed->rectangle(), (rectangle_type<int>{34, 0, 84, 20}));
   EXPECT_EQ(rect(pbottom), (rectangle_type<int>{10, iHeader + 35, 190, iHeader + 75}));
}

TEST(Layouts, WithoutALayoutChildrenKeepTheirSizeOrTakeTheirPreferredOne)
{
   test_screen screen;
   auto psized = new block(screen.get(), {10, 10});
   psized->set_size({300, 200});
   auto pfresh = new block(screen.get(), {10, 12});
   auto pfixed = new block(screen.get(), {10, 12});
   pfixed->expose_fixed_size({100, 60, 380, 660});
   screen.layout();
   EXPECT_EQ(psized->size(), (size_type<int>{300, 200}));
   EXPECT_EQ(pfresh->size(), (size_type<int>{10, 12}));
   EXPECT_EQ(rect(pfixed), (rectangle_type<int>{100, 60, 380, 660}));
}

TEST(Layouts, AWindowGrowsWithContentThatOutgrewItButKeepsAFixedSize)
{
   test_screen screen;
   auto pwindow = new zelui::Window(screen.get(), "Labels");
   pwindow->set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 3, 3));
   auto pcontent = new block(pwindow, {100, 40});
   pwindow->set_size(pwindow->preferred_size(nullptr));
   pcontent->m_sizePreferred = {180, 40};
   screen.layout();
   EXPECT_EQ(pwindow->size(), pwindow->preferred_size(nullptr));
   EXPECT_EQ(pcontent->x(), 3);
   pcontent->m_sizePreferred = {50, 40};
   screen.layout();
   EXPECT_EQ(pwindow->width(), 3 + 180 + 3) << "a window does not shrink by itself";

   auto pfixed = new zelui::Window(screen.get(), "Fixed");
   pfixed->set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, 3, 3));
   new block(pfixed, {300, 300});
   pfixed->expose_fixed_size({0, 0, 120, 90});
   screen.layout();
   EXPECT_EQ(pfixed->size(), (size_type<int>{120, 90}));
}

} // namespace
