#pragma once

#include "orvo/color.h"
#include "zelui/Widget.h"

namespace zelui
{

// A line of text, vertically centred in the widget and left-aligned.
class Label : public Widget
{
public:
   Label(Widget * pparent, scoped_string_base strCaption, scoped_string_base strFont = "sans", int iFontSize = -1);

   const string_base & caption() const noexcept { return m_strCaption; }
   void set_caption(scoped_string_base strCaption) { m_strCaption = strCaption; }
   const string_base & font() const noexcept { return m_strFont; }
   void set_font(scoped_string_base strFont) { m_strFont = strFont; }
   // The text colour; the theme's text colour until one is set.
   color::color color() const;
   void set_color(const color::color & color) noexcept { m_color = color; m_bColor = true; }

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   // The caption, in the whole of the label.
   std::vector<text_line> text_lines() const override;
   void draw(zel2d::context * pcontext) override;

private:
   string_base m_strCaption;
   string_base m_strFont;
   color::color m_color;
   bool m_bColor = false;
};

} // namespace zelui
