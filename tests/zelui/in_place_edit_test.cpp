#include <gtest/gtest.h>

#include "orvo/payload.h"
#include "test_screen.h"
#include "zelui/TextBox.h"
#include "zelui/in_place_edit_array.h"
#include "zelui/in_place_edit_mapper.h"

namespace
{

// A label whose edits are counted.
class name_label : public zelui::in_place_edit
{
public:
   void set_edit_payload(const payload & payload) override
   {
      zelui::in_place_edit::set_edit_payload(payload);
      m_results.push_back(payload.as_string());
   }
   void set_need_update() override { ++m_iUpdates; }

   std::vector<string_base> m_results;
   int m_iUpdates = 0;
};

// A canvas that shows its labels at twice their size, shifted by (100, 50).
class zoomed_canvas : public zelui::Widget, public zelui::in_place_edit_mapper
{
public:
   explicit zoomed_canvas(zelui::Widget * pparent) : zelui::Widget(pparent) {}

   point_type<float> inner_to_outer(const point_type<float> & p, zelui::in_place_edit *) override
   {
      return {p.x * 2.0f + 100.0f, p.y * 2.0f + 50.0f};
   }
   point_type<float> outer_to_inner(const point_type<float> & p, zelui::in_place_edit *) override
   {
      return {(p.x - 100.0f) / 2.0f, (p.y - 50.0f) / 2.0f};
   }
   void on_before_in_place_edit(zelui::in_place_edit * pedit) override
   {
      m_bEditorExisted = pedit->editor() != nullptr;
      pedit->editor()->set_font_size(20.0f);
   }

   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDouble,
                           const enumeration<user::enum_key> & emodifiers) override
   {
      if (zelui::Widget::mouse_button_event(point, ebutton, bDown, bDouble, emodifiers))
      {
         return true;
      }
      pointer<zelui::in_place_edit> pedit = m_labels.hit_test_label({float(point.x), float(point.y)}, this);
      if (on_mouse_button_in_place_edit(pedit.get(), bDown, bDouble))
      {
         return true;
      }
      m_iCanvasPresses += bDown ? 1 : 0;
      return true;
   }

   zelui::in_place_edit_array m_labels;
   bool m_bEditorExisted = false;
   int m_iCanvasPresses = 0;
};

struct canvas_fixture
{
   test_screen m_screen;
   zoomed_canvas * m_pcanvas = nullptr;
   pointer<name_label> m_plabel = make_pointer<name_label>();

   canvas_fixture()
   {
      m_pcanvas = new zoomed_canvas(m_screen.get());
      m_pcanvas->set_size({800, 600});
      m_plabel->set_label({10.0f, 10.0f, 40.0f, 20.0f}, "P1");
      // Slot 0 stays empty.
      m_pcanvas->m_labels.set_at(2, m_plabel.get());
   }
};

TEST(InPlaceEdit, HitTestsTheLabelThroughTheMapperEdgesIncluded)
{
   canvas_fixture f;
   EXPECT_TRUE(f.m_plabel->hit_test_label({120.0f, 70.0f}, f.m_pcanvas));
   EXPECT_TRUE(f.m_plabel->hit_test_label({180.0f, 90.0f}, f.m_pcanvas));
   EXPECT_FALSE(f.m_plabel->hit_test_label({181.0f, 90.0f}, f.m_pcanvas));
   EXPECT_FALSE(f.m_plabel->hit_test_label({20.0f, 15.0f}, f.m_pcanvas));
   EXPECT_TRUE(f.m_plabel->hit_test_label({20.0f, 15.0f}, nullptr));
   EXPECT_EQ(f.m_pcanvas->m_labels.count(), 3);
   EXPECT_EQ(f.m_pcanvas->m_labels.element_at(0), nullptr);
   EXPECT_EQ(f.m_pcanvas->m_labels.hit_test_label({150.0f, 80.0f}, f.m_pcanvas).get(), f.m_plabel.get());
   EXPECT_EQ(f.m_pcanvas->m_labels.hit_test_label({5.0f, 5.0f}, f.m_pcanvas).get(), nullptr);
   // A label never drawn hits nothing.
   name_label undrawn;
   EXPECT_FALSE(undrawn.hit_test_label({0.0f, 0.0f}, nullptr));
}

TEST(InPlaceEdit, APressOnTheLabelOpensAnEditorOverItThatCommitsIntoThePayload)
{
   canvas_fixture f;
   f.m_screen.click(150, 80);
   ASSERT_TRUE(f.m_plabel->is_editing());
   zelui::TextBox * peditor = f.m_plabel->editor();
   EXPECT_TRUE(f.m_pcanvas->m_bEditorExisted);
   EXPECT_EQ(peditor->parent(), f.m_pcanvas);
   EXPECT_EQ(peditor->position(), (point_type<int>{120, 70}));
   EXPECT_EQ(peditor->size(), (size_type<int>{60, 20}));
   EXPECT_EQ(peditor->font_size(), 20.0f);
   EXPECT_TRUE(peditor->focused());
   EXPECT_EQ(peditor->selected_text(), "P1");
   EXPECT_EQ(f.m_pcanvas->m_iCanvasPresses, 0);

   f.m_screen.type("Port A");
   f.m_screen.key(user::e_key_return);
   EXPECT_FALSE(f.m_plabel->is_editing());
   EXPECT_EQ(f.m_pcanvas->child_count(), 0);
   EXPECT_EQ(f.m_plabel->m_results, (std::vector<string_base>{"Port A"}));
   EXPECT_EQ(f.m_plabel->label_text(), "Port A");
   EXPECT_EQ(f.m_plabel->m_iUpdates, 1);
}

TEST(InPlaceEdit, ADoubleClickOnTheLabelLeavesTheWholeNameSelected)
{
   canvas_fixture f;
   // The second press, quick as the desktop counts it, lands on the editor the first one opened.
   f.m_screen.click(150, 80);
   f.m_screen.press(130, 75, user::e_mouse_left_button, true);
   f.m_screen.release(130, 75);
   ASSERT_TRUE(f.m_plabel->is_editing());
   EXPECT_EQ(f.m_plabel->editor()->selected_text(), "P1");
   // A press on the editor later puts the caret there.
   f.m_screen.click(130, 75);
   EXPECT_EQ(f.m_plabel->editor()->selected_text(), "");
}

TEST(InPlaceEdit, EscapeDropsTheEditAndAnUnchangedTextIsNoResult)
{
   canvas_fixture f;
   f.m_screen.click(150, 80);
   f.m_screen.type("zz");
   f.m_screen.key(user::e_key_escape);
   EXPECT_FALSE(f.m_plabel->is_editing());
   f.m_screen.click(150, 80);
   f.m_screen.key(user::e_key_return);
   EXPECT_TRUE(f.m_plabel->m_results.empty());
}

TEST(InPlaceEdit, APressElsewhereEndsTheEditAndIsTaken)
{
   canvas_fixture f;
   f.m_screen.click(150, 80);
   f.m_screen.type("R7");
   f.m_screen.click(600, 500);
   EXPECT_FALSE(f.m_plabel->is_editing());
   EXPECT_EQ(f.m_plabel->m_results, (std::vector<string_base>{"R7"}));
   EXPECT_EQ(f.m_pcanvas->m_iCanvasPresses, 0);
   // With no edit open, the press is the canvas's own.
   f.m_screen.click(600, 500);
   EXPECT_EQ(f.m_pcanvas->m_iCanvasPresses, 1);
}

TEST(InPlaceEdit, EndingAllEditsTellsWhetherOneWasOpen)
{
   canvas_fixture f;
   EXPECT_FALSE(f.m_pcanvas->m_labels.on_end_edit_all());
   f.m_screen.click(150, 80);
   f.m_screen.type("S1-1");
   EXPECT_TRUE(f.m_pcanvas->m_labels.on_end_edit_all());
   EXPECT_EQ(f.m_plabel->m_results, (std::vector<string_base>{"S1-1"}));
   EXPECT_FALSE(f.m_pcanvas->m_labels.on_end_edit_all());
   EXPECT_EQ(f.m_pcanvas->child_count(), 0);
}

TEST(InPlaceEdit, TheHostMayGoWhileAnEditIsOpen)
{
   canvas_fixture f;
   f.m_screen.click(150, 80);
   ASSERT_TRUE(f.m_plabel->is_editing());
   f.m_screen->remove_child(f.m_pcanvas);
   // Taking the host away takes the focus from the editor, which ends the edit.
   EXPECT_FALSE(f.m_plabel->is_editing());
   EXPECT_FALSE(f.m_plabel->end_edit(zelui::in_place_edit::e_end_commit));
}

} // namespace
