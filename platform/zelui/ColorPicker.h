#pragma once

#include "orvo/color.h"
#include "orvo/function.h"
#include "zelui/PopupButton.h"

namespace zelui
{

// A button filled with a colour; its popup holds a `TabWidget` with a colour wheel and a grid
// of swatches (`MyGridWidget`). A colour picked there is the user's change: the button takes it
// and the callback receives it. `set_color` runs no callback.
class ColorPicker : public PopupButton
{
public:
   // The grid of swatches: a press on one picks its colour.
   class MyGridWidget : public Widget
   {
   public:
      MyGridWidget(Widget * pparent, ColorPicker * ppicker);
   };

   explicit ColorPicker(Widget * pparent, const ::color::color & colorInitial = ::color::color(255, 0, 0));

   // The colour shown (lightness, saturation and hue as the picker holds them).
   const ::color::hls & color() const noexcept { return m_hls; }
   void set_color(const ::color::hls & hls);
   void set_callback(const function<void(const ::color::hls &)> & callback) { m_callback = callback; }
   // Takes a colour as the user's pick: shows it and runs the callback.
   void pick(const ::color::hls & hls);

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;

private:
   ::color::hls m_hls;
   ColorWheel * m_pwheel = nullptr;
   function<void(const ::color::hls &)> m_callback;
};

} // namespace zelui
