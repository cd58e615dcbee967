#pragma once

namespace user
{

// Something a container holds: every widget is an item of its parent.
class item
{
public:
   virtual ~item() = default;
};

// A container that knows which of its items is selected and which one the mouse is over. The
// default answers come from `selected_item()` and `hover_item()`, which a list overrides.
class orvo_container
{
public:
   virtual ~orvo_container() = default;

   virtual item * selected_item() { return nullptr; }
   virtual item * hover_item() { return nullptr; }

   virtual bool is_item_selected(item * pitem) { return pitem != nullptr && pitem == selected_item(); }
   virtual bool is_item_hover(item * pitem) { return pitem != nullptr && pitem == hover_item(); }

   // An item reports that the mouse entered it.
   virtual void on_item_hover(item *) {}
};

} // namespace user
