#pragma once

#include "orvo/geometry.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zelui/forward.h"

class payload;

namespace zelui
{

// A label that the user can edit where it stands: the label's rectangle (in the edit's own
// space, see `in_place_edit_mapper`) and text are given by whoever draws it. A host widget opens
// a text box over the label (`Widget::on_mouse_button_in_place_edit`); committing that text box
// hands the text to `set_edit_payload` and then calls `set_need_update`.
class in_place_edit : virtual public particle
{
public:
   in_place_edit();
   ~in_place_edit() override;

   // Where the label was drawn last and what it said; an empty rectangle hits nothing.
   void set_label(const rectangle_type<float> & rectangle, scoped_string_base strText);
   const rectangle_type<float> & label_rectangle() const noexcept { return m_rectangleLabel; }
   const string_base & label_text() const noexcept { return m_strLabel; }

   // Whether a point of the host (outer space) lies on the label, edges included.
   bool hit_test_label(const point_type<float> & point, in_place_edit_mapper * pmapper);

   // The text the editor starts with (the label's text unless overridden).
   virtual string_base get_name_for_editing();
   // The edit's result; the default takes it as the label's new text.
   virtual void set_edit_payload(const payload & payload);
   // Runs after a result was taken, so that the owner can redraw.
   virtual void set_need_update();
   // Where the editor opens, in the host's space: the label rectangle through the mapper.
   virtual rectangle_type<float> get_edit_rectangle(in_place_edit_mapper * pmapper);

   bool is_editing() const noexcept { return m_peditor.is_set(); }
   // The open editor (a `TextBox`), or null.
   TextBox * editor() const noexcept { return m_peditor.get(); }
   // How an open edit ends: its text committed first, or the editor closed as it stands (its own
   // keys already committed or dropped the text).
   enum enum_end
   {
      e_end_commit,
      e_end_close,
   };
   // Ends an open edit; false when none was open.
   bool end_edit(enum_end eend = e_end_commit);

private:
   friend class Widget;
   // Hands the editor's text over as the result.
   void take_text(scoped_string_base strText);

   rectangle_type<float> m_rectangleLabel;
   string_base m_strLabel;
   pointer<TextBox> m_peditor;
   Widget * m_pwidgetHost = nullptr;
};

} // namespace zelui
