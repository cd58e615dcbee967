#pragma once

#include "orvo/function.h"
#include "orvo/hls.h"
#include "zelui/Widget.h"

namespace zelui
{

// Picks a colour in hue, lightness and saturation: a square of saturation (left to right) and
// lightness (bottom to top) for the current hue, and a strip of hues beside it. Pressing or
// dragging in either sets the colour as the user's change and runs the callback.
class ColorWheel : public Widget
{
public:
   ColorWheel(Widget * pparent, const ::color::hls & hls = {});
   ~ColorWheel() override;

   const ::color::hls & hls() const noexcept { return m_hls; }
   // Sets the colour; runs no callback.
   void set_hls(const ::color::hls & hls);
   void set_callback(const function<void(const ::color::hls &)> & callback) { m_callback = callback; }

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;

private:
   enum enum_region
   {
      e_region_none,
      e_region_square,
      e_region_strip,
   };

   int square_side() const noexcept;
   enum_region region_at(const point_type<int> & point) const noexcept;
   void pick_at(const point_type<int> & point, enum_region eregion);
   // The pictures of the square (for the current hue) and of the strip, made when needed.
   void prepare_images(zel2d::context * pcontext);

   ::color::hls m_hls;
   function<void(const ::color::hls &)> m_callback;
   enum_region m_eregionDragging = e_region_none;
   int m_iSquareImage = 0;
   double m_dSquareHue = -1.0;
   int m_iStripImage = 0;
};

} // namespace zelui
