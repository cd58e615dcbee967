#include "zelui/ComboBox.h"

#include <algorithm>

#include "zelui/BoxLayout.h"
#include "zelui/Popup.h"

namespace zelui
{

ComboBox::ComboBox(Widget * pparent, const std::vector<string_base> & items) : PopupButton(pparent, "")
{
   popup()->set_layout(new BoxLayout(e_orientation_vertical, e_alignment_fill, 2, 1));
   set_items(items);
}

void ComboBox::set_items(const std::vector<string_base> & items)
{
   m_items = items;
   Popup * ppopup = popup();
   while (ppopup->child_count() > 0)
   {
      ppopup->remove_child_at(ppopup->child_count() - 1);
   }
   for (std::size_t i = 0; i < m_items.size(); ++i)
   {
      auto pbutton = new Button(ppopup, m_items[i]);
      pbutton->set_flags(Button::e_flag_radio);
      auto iIndex = static_cast<int>(i);
      pbutton->set_callback([this, iIndex] {
         set_selected_index(iIndex, e_source_user);
         popup()->close();
      });
   }
   m_iSelected = -1;
   set_selected_index(0, e_source_sync);
}

void ComboBox::set_selected_index(int iIndex, const action_context & context)
{
   if (iIndex < 0 || iIndex >= static_cast<int>(m_items.size()))
   {
      return;
   }
   m_iSelected = iIndex;
   set_caption(m_items[static_cast<std::size_t>(iIndex)]);
   Popup * ppopup = popup();
   for (long long i = 0; i < ppopup->child_count(); ++i)
   {
      if (auto pbutton = dynamic_cast<Button *>(ppopup->child_at(i)))
      {
         pbutton->set_pushed(i == iIndex);
      }
   }
   if (context.is_user_change() && m_callback)
   {
      auto pself = keep_alive();
      m_callback(iIndex);
   }
   set_need_redraw();
   post_redraw();
}

size_type<int> ComboBox::preferred_size(zel2d::context * pcontext)
{
   string_base strCaption = caption();
   size_type<int> size = PopupButton::preferred_size(pcontext);
   for (const string_base & strItem : m_items)
   {
      set_caption(strItem);
      size.width = std::max(size.width, PopupButton::preferred_size(pcontext).width);
   }
   set_caption(strCaption);
   return size;
}

} // namespace zelui
