#include "zelui/ColorWheel.h"

#include <algorithm>
#include <vector>

#include "orvo/color.h"
#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

// Resolution of the pictures; they are stretched onto the widget.
static constexpr int picture_side = 64;
static constexpr int strip_width = 18;
static constexpr int gap = 8;

ColorWheel::ColorWheel(Widget * pparent, const ::color::hls & hls) : Widget(pparent), m_hls(hls)
{
   set_cursor(user::e_cursor_crosshair);
}

ColorWheel::~ColorWheel()
{
   // Images live in the process-wide store; any context deletes them.
   measuring_context(nullptr)->delete_image(m_iSquareImage);
   measuring_context(nullptr)->delete_image(m_iStripImage);
}

void ColorWheel::set_hls(const ::color::hls & hls)
{
   m_hls = hls;
   set_need_redraw();
   post_redraw();
}

int ColorWheel::square_side() const noexcept
{
   return std::max(0, std::min(height(), width() - strip_width - gap));
}

size_type<int> ColorWheel::preferred_size(zel2d::context *)
{
   return {160 + gap + strip_width, 160};
}

ColorWheel::enum_region ColorWheel::region_at(const point_type<int> & point) const noexcept
{
   int iSide = square_side();
   if (point.y < 0 || point.y >= iSide)
   {
      return e_region_none;
   }
   if (point.x >= 0 && point.x < iSide)
   {
      return e_region_square;
   }
   if (point.x >= iSide + gap && point.x < iSide + gap + strip_width)
   {
      return e_region_strip;
   }
   return e_region_none;
}

void ColorWheel::pick_at(const point_type<int> & point, enum_region eregion)
{
   double dSide = std::max(1, square_side() - 1);
   double dX = std::clamp(point.x / dSide, 0.0, 1.0);
   double dY = std::clamp(point.y / dSide, 0.0, 1.0);
   if (eregion == e_region_square)
   {
      m_hls.m_dS = dX;
      m_hls.m_dL = 1.0 - dY;
   }
   else if (eregion == e_region_strip)
   {
      m_hls.m_dH = std::min(dY, 0.999999);
   }
   if (m_callback)
   {
      auto pself = keep_alive();
      m_callback(m_hls);
   }
   set_need_redraw();
   post_redraw();
}

bool ColorWheel::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool,
                                    const enumeration<user::enum_key> &)
{
   if (ebutton != user::e_mouse_left_button)
   {
      return false;
   }
   if (bDown)
   {
      m_eregionDragging = region_at(point);
      if (m_eregionDragging != e_region_none)
      {
         set_mouse_capture();
         pick_at(point, m_eregionDragging);
      }
   }
   else
   {
      m_eregionDragging = e_region_none;
   }
   return true;
}

bool ColorWheel::mouse_motion_event(const point_type<int> & point, const size_type<int> &, bool bButton,
                                    const enumeration<user::enum_key> &)
{
   if (bButton && m_eregionDragging != e_region_none && has_mouse_capture())
   {
      pick_at(point, m_eregionDragging);
   }
   return true;
}

void ColorWheel::prepare_images(zel2d::context * pcontext)
{
   std::vector<::color::color> pixels;
   if (m_iStripImage <= 0)
   {
      pixels.clear();
      for (int y = 0; y < picture_side; ++y)
      {
         pixels.push_back(::color::color(::color::hls{static_cast<double>(y) / picture_side, 0.5, 1.0}, 255));
      }
      m_iStripImage = pcontext->create_image_rgba(1, picture_side, 0, pixels.data(), zel2d::layout_rgba_bytes);
   }
   if (m_iSquareImage <= 0 || m_dSquareHue != m_hls.m_dH)
   {
      pixels.clear();
      for (int y = 0; y < picture_side; ++y)
      {
         for (int x = 0; x < picture_side; ++x)
         {
            double dS = static_cast<double>(x) / (picture_side - 1);
            double dL = 1.0 - static_cast<double>(y) / (picture_side - 1);
            pixels.push_back(::color::color(::color::hls{m_hls.m_dH, dL, dS}, 255));
         }
      }
      if (m_iSquareImage > 0)
      {
         pcontext->update_image(m_iSquareImage, pixels.data(), zel2d::layout_rgba_bytes);
      }
      else
      {
         m_iSquareImage = pcontext->create_image_rgba(picture_side, picture_side, 0, pixels.data(), zel2d::layout_rgba_bytes);
      }
      m_dSquareHue = m_hls.m_dH;
   }
}

void ColorWheel::draw(zel2d::context * pcontext)
{
   prepare_images(pcontext);
   float fx = static_cast<float>(x()), fy = static_cast<float>(y());
   auto fSide = static_cast<float>(square_side());
   float fStripX = fx + fSide + gap;
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->rectangle(fx, fy, fSide, fSide);
      pcontext->set_fill_paint(pcontext->image_pattern(fx, fy, fSide, fSide, 0.0f, m_iSquareImage, 1.0f));
      pcontext->fill();
      pcontext->begin_path();
      pcontext->rectangle(fStripX, fy, strip_width, fSide);
      pcontext->set_fill_paint(pcontext->image_pattern(fStripX, fy, strip_width, fSide, 0.0f, m_iStripImage, 1.0f));
      pcontext->fill();
      // Markers: a ring on the chosen saturation and lightness, a bar on the chosen hue.
      float fMarkX = fx + static_cast<float>(m_hls.m_dS) * (fSide - 1.0f);
      float fMarkY = fy + static_cast<float>(1.0 - m_hls.m_dL) * (fSide - 1.0f);
      pcontext->begin_path();
      pcontext->circle(fMarkX, fMarkY, 5.0f);
      pcontext->set_stroke_color(m_hls.m_dL > 0.6 ? theme()->m_colorWheelRingOnLight : theme()->m_colorWheelRingOnDark);
      pcontext->set_stroke_width(2.0f);
      pcontext->stroke();
      float fHueY = fy + static_cast<float>(m_hls.m_dH) * fSide;
      pcontext->begin_path();
      pcontext->rectangle(fStripX - 2.0f, fHueY - 2.0f, strip_width + 4.0f, 4.0f);
      pcontext->set_stroke_color(theme()->m_colorWheelHueBar);
      pcontext->set_stroke_width(1.5f);
      pcontext->stroke();
   }
   Widget::draw(pcontext);
}

} // namespace zelui
