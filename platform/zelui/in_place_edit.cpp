#include "zelui/in_place_edit.h"

#include <algorithm>

#include "orvo/payload.h"
#include "zelui/Screen.h"
#include "zelui/TextBox.h"
#include "zelui/in_place_edit_array.h"
#include "zelui/in_place_edit_mapper.h"

namespace zelui
{

namespace
{

// The text box of an open edit: Return commits and closes it, Escape closes it without
// committing, and losing the focus commits and closes it.
class in_place_editor : public TextBox
{
public:
   in_place_editor(Widget * pparent, scoped_string_base strText, in_place_edit * pedit) : TextBox(pparent, strText), m_pedit(pedit)
   {
      set_editable(true);
   }

   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override
   {
      if (iAction == user::e_key_action_press && (ekey == user::e_key_return || ekey == user::e_key_escape))
      {
         auto pself = keep_alive();
         // Escape first drops the edited text, so that losing the focus commits nothing.
         TextBox::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
         m_pedit->end_edit(in_place_edit::e_end_close);
         return true;
      }
      return TextBox::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
   }

   // A double click on a label selects its whole name: the first press opened this editor over it
   // with the name selected, and the second, which lands here, keeps it so.
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                           bool bDoubleClick, const enumeration<user::enum_key> & emodifiers) override
   {
      Screen * pscreen = screen();
      if (bDown && !bDoubleClick && ebutton == user::e_mouse_left_button && pscreen && parent()
          && pscreen->double_click_on(parent()))
      {
         select_all();
         return true;
      }
      return TextBox::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
   }

   bool focus_event(bool bFocused) override
   {
      auto pself = keep_alive();
      TextBox::focus_event(bFocused);
      if (!bFocused)
      {
         m_pedit->end_edit(in_place_edit::e_end_close);
      }
      return true;
   }

private:
   in_place_edit * m_pedit;
};

} // namespace

point_type<float> in_place_edit_mapper::inner_to_outer(const point_type<float> & point, in_place_edit *)
{
   return point;
}

point_type<float> in_place_edit_mapper::outer_to_inner(const point_type<float> & point, in_place_edit *)
{
   return point;
}

rectangle_type<float> in_place_edit_mapper::map_inner_to_outer(const rectangle_type<float> & rectangle, in_place_edit * pedit)
{
   point_type<float> a = inner_to_outer(rectangle.top_left(), pedit);
   point_type<float> b = inner_to_outer({rectangle.right, rectangle.bottom}, pedit);
   return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

in_place_edit::in_place_edit() = default;
in_place_edit::~in_place_edit() = default;

void in_place_edit::set_label(const rectangle_type<float> & rectangle, scoped_string_base strText)
{
   m_rectangleLabel = rectangle;
   m_strLabel = strText;
}

bool in_place_edit::hit_test_label(const point_type<float> & point, in_place_edit_mapper * pmapper)
{
   if (m_rectangleLabel.is_empty())
   {
      return false;
   }
   point_type<float> inner = pmapper ? pmapper->outer_to_inner(point, this) : point;
   return inner.x >= m_rectangleLabel.left && inner.x <= m_rectangleLabel.right && inner.y >= m_rectangleLabel.top &&
          inner.y <= m_rectangleLabel.bottom;
}

string_base in_place_edit::get_name_for_editing()
{
   return m_strLabel;
}

void in_place_edit::set_edit_payload(const payload & payload)
{
   m_strLabel = payload.as_string();
}

void in_place_edit::set_need_update()
{
}

rectangle_type<float> in_place_edit::get_edit_rectangle(in_place_edit_mapper * pmapper)
{
   return pmapper ? pmapper->map_inner_to_outer(m_rectangleLabel, this) : m_rectangleLabel;
}

void in_place_edit::take_text(scoped_string_base strText)
{
   set_edit_payload(payload(strText));
   set_need_update();
}

bool in_place_edit::end_edit(enum_end eend)
{
   if (!m_peditor)
   {
      return false;
   }
   pointer<in_place_edit> pself(this);
   pointer<TextBox> peditor = m_peditor;
   if (eend == e_end_commit)
   {
      peditor->commit();
   }
   if (m_pwidgetHost)
   {
      m_pwidgetHost->close_in_place_editor();
   }
   m_peditor.reset();
   m_pwidgetHost = nullptr;
   return true;
}

in_place_edit * in_place_edit_array::element_at(long long index) const noexcept
{
   return m_edits.has_index(index) ? m_edits[index].get() : nullptr;
}

void in_place_edit_array::set_at(long long index, in_place_edit * pedit)
{
   if (index < 0)
   {
      return;
   }
   while (m_edits.count() <= index)
   {
      m_edits.add(nullptr);
   }
   m_edits[index] = pedit;
}

pointer<in_place_edit> in_place_edit_array::hit_test_label(const point_type<float> & point, in_place_edit_mapper * pmapper) const
{
   for (const auto & pedit : m_edits)
   {
      if (pedit && pedit->hit_test_label(point, pmapper))
      {
         return pedit;
      }
   }
   return nullptr;
}

bool in_place_edit_array::on_end_edit_all()
{
   bool bEnded = false;
   for (const auto & pedit : std::vector<pointer<in_place_edit>>(m_edits.begin(), m_edits.end()))
   {
      if (pedit && pedit->end_edit(in_place_edit::e_end_commit))
      {
         bEnded = true;
      }
   }
   return bEnded;
}

bool Widget::on_mouse_button_in_place_edit(in_place_edit * pedit, bool bPressed, bool)
{
   if (!bPressed)
   {
      return pedit != nullptr;
   }
   if (pedit && pedit == m_pineditActive.get())
   {
      return true;
   }
   bool bEnded = m_pineditActive.is_set();
   end_all_in_place_edits();
   if (!pedit)
   {
      return bEnded;
   }
   open_in_place_editor(pedit);
   return true;
}

void Widget::open_in_place_editor(in_place_edit * pedit)
{
   pointer<in_place_edit> pkeep(pedit);
   if (pedit->m_pwidgetHost)
   {
      pedit->end_edit(in_place_edit::e_end_commit);
   }
   rectangle_type<float> rectangle = pedit->get_edit_rectangle(dynamic_cast<in_place_edit_mapper *>(this));
   auto peditor = new in_place_editor(this, pedit->get_name_for_editing(), pedit);
   peditor->set_position({static_cast<int>(rectangle.left), static_cast<int>(rectangle.top)});
   size_type<int> size{std::max(static_cast<int>(rectangle.width()), 40), std::max(static_cast<int>(rectangle.height()), 20)};
   peditor->set_fixed_size(size);
   peditor->set_size(size);
   pedit->m_peditor = peditor;
   pedit->m_pwidgetHost = this;
   m_pineditActive = pedit;
   in_place_edit * pweak = pedit;
   peditor->set_callback([pweak](scoped_string_base strText) {
      pweak->take_text(strText);
      return true;
   });
   on_before_in_place_edit(pedit);
   peditor->request_focus();
   peditor->select_all();
   set_need_redraw();
   post_redraw();
}

void Widget::close_in_place_editor()
{
   if (!m_pineditActive)
   {
      return;
   }
   pointer<in_place_edit> pedit = std::move(m_pineditActive);
   m_pineditActive.reset();
   if (pointer<TextBox> peditor = pedit->m_peditor)
   {
      remove_child(peditor.get());
   }
   set_need_redraw();
   post_redraw();
}

void Widget::on_before_in_place_edit(in_place_edit *)
{
}

void Widget::end_all_in_place_edits()
{
   if (pointer<in_place_edit> pedit = m_pineditActive)
   {
      pedit->end_edit(in_place_edit::e_end_commit);
   }
}

} // namespace zelui
