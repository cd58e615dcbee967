#pragma once

#include <vector>

#include "orvo/function.h"
#include "zelui/PopupButton.h"
#include "zelui/action_context.h"

namespace zelui
{

// A button showing the selected item of a list; pressing it opens the list in a popup, and
// choosing an item there selects it as the user's change (the callback receives its index).
class ComboBox : public PopupButton
{
public:
   explicit ComboBox(Widget * pparent, const std::vector<string_base> & items = {});

   const std::vector<string_base> & items() const noexcept { return m_items; }
   void set_items(const std::vector<string_base> & items);
   // -1 while nothing is selected (an empty list).
   int selected_index() const noexcept { return m_iSelected; }
   // Selects an item (out of range: nothing changes); a change by the user runs the callback.
   void set_selected_index(int iIndex, const action_context & context = e_source_sync);
   void set_callback(const function<void(int)> & callback) { m_callback = callback; }

   // Wide enough for the widest item.
   size_type<int> preferred_size(zel2d::context * pcontext) override;

private:
   std::vector<string_base> m_items;
   int m_iSelected = -1;
   function<void(int)> m_callback;
};

} // namespace zelui
