#pragma once

#include <vector>

#include "orvo/function.h"
#include "zelui/Widget.h"

namespace zelui
{

// The strip of tab captions at the top of a tabbed widget: a press on a caption selects it, and
// the callback receives the new index.
class TabWidgetBase : public Widget
{
public:
   explicit TabWidgetBase(Widget * pparent);

   long long tab_count() const noexcept { return static_cast<long long>(m_captions.size()); }
   const string_base & tab_caption(long long index) const { return m_captions.at(static_cast<std::size_t>(index)); }
   // -1 while there is no tab.
   long long selected_index() const noexcept { return m_iSelected; }
   virtual void set_selected_index(long long index);
   void set_callback(const function<void(long long)> & callback) { m_callback = callback; }

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;

protected:
   void add_caption(scoped_string_base strCaption);
   int header_height() const;
   // The tab whose caption lies under x (relative to the widget), or -1.
   long long tab_at(zel2d::context * pcontext, int iX);
   std::vector<float> caption_widths(zel2d::context * pcontext);

private:
   std::vector<string_base> m_captions;
   long long m_iSelected = -1;
   function<void(long long)> m_callback;
};

} // namespace zelui
