#include "zelui/ColorPicker.h"

#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/ColorWheel.h"
#include "zelui/GridLayout.h"
#include "zelui/Popup.h"
#include "zelui/TabWidget.h"
#include "zelui/Theme.h"

namespace zelui
{

namespace
{

// One colour of the grid.
class swatch : public Widget
{
public:
   swatch(Widget * pparent, ColorPicker * ppicker, const ::color::hls & hls) : Widget(pparent), m_ppicker(ppicker), m_hls(hls)
   {
      set_fixed_size({20, 20});
   }

   bool mouse_button_event(const point_type<int> &, enumeration<user::enum_mouse> ebutton, bool bDown, bool,
                           const enumeration<user::enum_key> &) override
   {
      if (ebutton == user::e_mouse_left_button && !bDown)
      {
         m_ppicker->pick(m_hls);
      }
      return true;
   }

   void draw(zel2d::context * pcontext) override
   {
      pcontext->begin_path();
      pcontext->rectangle(static_cast<float>(x()) + 1.0f, static_cast<float>(y()) + 1.0f, static_cast<float>(width()) - 2.0f,
                          static_cast<float>(height()) - 2.0f);
      pcontext->set_fill_color(::color::color(m_hls, 255));
      pcontext->fill();
   }

private:
   ColorPicker * m_ppicker;
   ::color::hls m_hls;
};

// The swatches: a row of greys, then rows of eight hues at three lightnesses.
constexpr int swatch_columns = 8;
constexpr double swatch_lightnesses[] = {0.3, 0.5, 0.7};

} // namespace

ColorPicker::MyGridWidget::MyGridWidget(Widget * pparent, ColorPicker * ppicker) : Widget(pparent)
{
   set_layout(new GridLayout(e_orientation_horizontal, swatch_columns, e_alignment_middle, 4, 2));
   for (int i = 0; i < swatch_columns; ++i)
   {
      new swatch(this, ppicker, ::color::hls{0.0, static_cast<double>(i) / (swatch_columns - 1), 0.0});
   }
   for (double dL : swatch_lightnesses)
   {
      for (int i = 0; i < swatch_columns; ++i)
      {
         new swatch(this, ppicker, ::color::hls{static_cast<double>(i) / swatch_columns, dL, 1.0});
      }
   }
}

ColorPicker::ColorPicker(Widget * pparent, const ::color::color & colorInitial) :
   PopupButton(pparent, ""), m_hls(colorInitial.get_hls())
{
   Popup * ppopup = popup();
   ppopup->set_layout(new BoxLayout(e_orientation_vertical, e_alignment_fill, 6, 0));
   auto ptabs = new TabWidget(ppopup);
   m_pwheel = new ColorWheel(ptabs->create_tab("Wheel"), m_hls);
   m_pwheel->parent()->set_layout(new BoxLayout(e_orientation_vertical, e_alignment_middle, 6, 0));
   m_pwheel->set_callback([this](const ::color::hls & hls) { pick(hls); });
   auto pgrid = new MyGridWidget(nullptr, this);
   ptabs->append_tab("Swatches", pgrid);
}

void ColorPicker::set_color(const ::color::hls & hls)
{
   m_hls = hls;
   m_pwheel->set_hls(hls);
   set_need_redraw();
   post_redraw();
}

void ColorPicker::pick(const ::color::hls & hls)
{
   set_color(hls);
   if (m_callback)
   {
      auto pself = keep_alive();
      m_callback(m_hls);
   }
}

size_type<int> ColorPicker::preferred_size(zel2d::context *)
{
   return {theme()->m_iColorPickerWidth, theme()->m_iControlHeight};
}

void ColorPicker::draw(zel2d::context * pcontext)
{
   draw_face(pcontext);
   float fInset = 4.0f;
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->rounded_rectangle(static_cast<float>(x()) + fInset, static_cast<float>(y()) + fInset,
                                  static_cast<float>(width()) - 2.0f * fInset, static_cast<float>(height()) - 2.0f * fInset, 2.0f);
      pcontext->set_fill_color(::color::color(m_hls, 255));
      pcontext->fill();
   }
   Widget::draw(pcontext);
}

} // namespace zelui
