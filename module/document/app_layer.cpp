#include "document/app_layer.h"

#include <cmath>
#include <new>
#include <stdexcept>

#include "document/OffscreenDraw.h"
#include "document/parameter_text.h"
#include "document/project.h"
#include "orvo/payload.h"
#include "orvo/string_array.h"

namespace Tarvossa_BrisvanePro
{

app_layer::~app_layer() = default;

void app_layer::default_colors()
{
}

void app_layer::apply_defaults()
{
}

string_base app_layer::get_data_custom_path_string() const
{
   return {};
}

void app_layer::set_data_custom_path_string(scoped_string_base)
{
}

string_base app_layer::get_power_custom_path_string() const
{
   return {};
}

void app_layer::set_power_custom_path_string(scoped_string_base)
{
}

void app_layer::on_read_app_layer()
{
}

int app_layer::get_width() const
{
   return 0;
}

int app_layer::get_height() const
{
   return 0;
}

// Each corner is turned in double precision and truncated toward zero.
polygon_type<float> app_layer::raw_rotated_polygon()
{
   const double dCos = std::cos(static_cast<double>(m_fRotation));
   const double dSin = std::sin(static_cast<double>(m_fRotation));
   const auto w = static_cast<double>(get_width());
   const auto h = static_cast<double>(get_height());
   polygon_type<float> polygon;
   for (const auto & [x, y] : {std::pair{0.0, 0.0}, std::pair{w, 0.0}, std::pair{w, h}, std::pair{0.0, h}})
   {
      polygon.push_back({static_cast<float>(std::trunc(x * dCos - y * dSin)), static_cast<float>(std::trunc(x * dSin + y * dCos))});
   }
   return polygon;
}

polygon_type<float> app_layer::rotated_polygon(float x, float y)
{
   polygon_type<float> polygon = raw_rotated_polygon();
   for (auto & point : polygon)
   {
      point.x += x;
      point.y += y;
   }
   return polygon;
}

void app_layer::set_changed(layer_change echange)
{
   if (m_oechangesHeld)
   {
      *m_oechangesHeld = *m_oechangesHeld | echange;
      return;
   }
   mark(echange);
}

void app_layer::change(layer_change echange, const function<void()> & edit)
{
   if (m_oechangesHeld)
   {
      edit();
      set_changed(echange);
      return;
   }
   m_oechangesHeld = echange;
   // An edit that throws still gives the marks of what it changed before.
   struct release
   {
      app_layer & m_layer;
      ~release()
      {
         const layer_change echanges = *m_layer.m_oechangesHeld;
         m_layer.m_oechangesHeld.reset();
         m_layer.mark(echanges);
      }
   } releasing{*this};
   edit();
}

// A change of the look has the layer drawn whole, whatever else changed: it alone moves the look
// revision on, so that the revision apart from the colours' (the shape) moves too.
void app_layer::mark(layer_change echanges)
{
   if (has_change(echanges, layer_change::look))
   {
      ++m_iLookRevision;
   }
   else if (has_change(echanges, layer_change::colours))
   {
      ++m_iLookRevision;
      ++m_iColoursRevision;
   }
   if (has_change(echanges, layer_change::place))
   {
      m_bMoved = true;
   }
   m_bChanged = true;
   if (m_pcontroller != nullptr)
   {
      m_pcontroller->set_changed();
   }
}

bool app_layer::has_changed() noexcept
{
   const bool bChanged = m_bChanged;
   m_bChanged = false;
   return bChanged;
}

void app_layer::set_hidden(bool bHidden)
{
   if (bHidden == m_bHidden)
   {
      return;
   }
   m_bHidden = bHidden;
   set_changed();
}

void app_layer::set_offset_x(int x)
{
   m_iOffsetX = x;
   set_changed(layer_change::place);
}

void app_layer::set_offset_y(int y)
{
   m_iOffsetY = y;
   set_changed(layer_change::place);
}

void app_layer::set_rotation(float fRadians)
{
   m_fRotation = fRadians;
   set_changed();
}

string_base app_layer::get_name() const
{
   return m_bLogo ? string_base("Logo") : m_strName;
}

void app_layer::set_name(scoped_string_base strName)
{
   m_strName = strName;
   set_changed();
}

property_set app_layer::get_base_layer_info() const
{
   property_set set;
   set.set("OffsetX", m_iOffsetX);
   set.set("OffsetY", m_iOffsetY);
   set.set("Name", get_name());
   set.set("Hidden", m_bHidden ? "1" : "0");
   set.set("CustomPath", get_data_custom_path_string());
   set.set("PowerCustomPath", get_power_custom_path_string());
   return set;
}

string_base app_layer::get_layer_info() const
{
   property_set set = get_base_layer_info();
   set.merge(get_all_parameters());
   set.merge(m_setKeysKept);
   return set.as_string(":", "\n");
}

void app_layer::apply_layer_info(scoped_string_base strText)
{
   m_straValuesNotRead.clear();
   // The lines are read where they lie in the text: a picture's line runs to megabytes.
   for_each_line(strText, [this](scoped_string_base strLine) { apply_line(strLine); });
   on_read_app_layer();
}

void app_layer::apply_line(scoped_string_base strLine)
{
   const std::size_t iColon = strLine.find(':');
   if (iColon == scoped_string_base::npos)
   {
      return;
   }
   const scoped_string_base strKey = strLine.substr(0, iColon);
   const scoped_string_base strValue = strLine.substr(iColon + 1);
   if (strKey == "CustomPath")
   {
      set_data_custom_path_string(strValue);
   }
   else if (strKey == "PowerCustomPath")
   {
      set_power_custom_path_string(strValue);
   }
   else if (strKey == "OffsetX")
   {
      m_iOffsetX = read_int_value(strKey, strValue);
   }
   else if (strKey == "OffsetY")
   {
      m_iOffsetY = read_int_value(strKey, strValue);
   }
   else if (strKey == "Name")
   {
      m_strName = strValue;
   }
   else if (strKey == "Hidden")
   {
      m_bHidden = read_int_value(strKey, strValue) != 0;
   }
   else
   {
      apply_parameter_by_name(strKey, strValue);
   }
}

void app_layer::report_parse_error(scoped_string_base strReason, scoped_string_base strKey, scoped_string_base strValue)
{
   parameter_text::report_parse_error(strReason, strKey, strValue);
   note_value_not_read(strKey, strValue);
}

void app_layer::note_value_not_read(scoped_string_base strKey, scoped_string_base strValue)
{
   m_straValuesNotRead.add(parameter_text::named_value(strKey, strValue));
}

void app_layer::keep_key(scoped_string_base strKey, scoped_string_base strValue)
{
   m_setKeysKept.set(strKey, string_base(strValue));
}

int app_layer::read_int_value(scoped_string_base strKey, scoped_string_base strValue)
{
   return parameter_text::read_leading_int(strKey, strValue, m_straValuesNotRead);
}

void app_layer::set_document(project * pproject) noexcept
{
   m_pproject = pproject;
   m_charge.move_to(pproject ? pproject->budget_pointer() : nullptr);
}

pointer<image::image> app_layer::request_offscreen(unsigned long w, unsigned long h, bool bWrittenWhole)
{
   const bool bSameSize = m_pimageOffscreen && static_cast<unsigned long>(m_pimageOffscreen->width()) == w &&
                          static_cast<unsigned long>(m_pimageOffscreen->height()) == h;
   const bool bInFrame = m_pframeOffered && w <= static_cast<unsigned long>(m_pframeOffered->width() - m_xOffered) &&
                         h <= static_cast<unsigned long>(m_pframeOffered->height() - m_yOffered);
   if (bSameSize)
   {
      if (bInFrame)
      {
         m_pimageOffscreen->place_in(m_pframeOffered, m_xOffered, m_yOffered, false);
         count_pictures();
      }
      if (!bWrittenWhole)
      {
         m_pimageOffscreen->clear();
      }
      return m_pimageOffscreen;
   }
   // The old picture goes first, so that both are never held at once.
   resetOffscreen();
   try
   {
      if (bInFrame)
      {
         m_pimageOffscreen = image::image::placed_in(m_pframeOffered, m_xOffered, m_yOffered, static_cast<int>(w), static_cast<int>(h));
         if (!bWrittenWhole)
         {
            m_pimageOffscreen->clear();
         }
      }
      else
      {
         // A new picture is transparent already.
         m_pimageOffscreen = OffscreenDraw::make_target(static_cast<int>(w), static_cast<int>(h));
      }
   }
   catch (const std::bad_alloc &)
   {
      throw std::runtime_error(
         format("The layer \"%s\" cannot be drawn: %s.", get_name().c_str(), picture_budget::shortage_text(std::int64_t(w), std::int64_t(h)).c_str()));
   }
   catch (const std::exception & exception)
   {
      throw std::runtime_error(format("The layer \"%s\" cannot be drawn: %s.", get_name().c_str(), exception.what()));
   }
   count_pictures();
   return m_pimageOffscreen;
}

void app_layer::offer_frame_place(const pointer<image::image> & pframe, int x, int y, frame_rows_read eread) noexcept
{
   m_pframeOffered = pframe;
   m_ereadOffered = eread;
   m_xOffered = x;
   m_yOffered = y;
}

void app_layer::move_offscreen_in_frame(const pointer<image::image> & pframe, int x, int y)
{
   m_pimageOffscreen->place_in(pframe, x, y, true);
   count_pictures();
}

void app_layer::take_offscreen_out_of_frame() noexcept
{
   const picture_budget * pbudget = budget();
   if ((pbudget && !pbudget->fits(m_pimageOffscreen->byte_count())) || !m_pimageOffscreen->take_back_pixels())
   {
      resetOffscreen();
      return;
   }
   count_pictures();
}

void app_layer::resetOffscreen() noexcept
{
   // The drawing library lets go of the picture too: one that lies in the frame's rows must not
   // outlive its place there.
   m_imagewrap.releaseImage();
   m_pimageOffscreen.reset();
   m_odrawninputs.reset();
   drop_redraw_cache();
   count_pictures();
}

void app_layer::count_pictures() noexcept
{
   m_charge.set(picture_bytes());
}

ImageWrap * app_layer::get_zel2d_image(zel2d::context * pcontext)
{
   if (m_pimageOffscreen)
   {
      m_imagewrap.share(pcontext, m_pimageOffscreen);
   }
   return &m_imagewrap;
}

std::int64_t app_layer::offscreen_bytes_needed() const
{
   return image::image::bytes_for(get_full_width(), get_full_height());
}

std::int64_t app_layer::picture_bytes() const
{
   return offscreen_bytes();
}

std::int64_t app_layer::offscreen_bytes() const
{
   return m_pimageOffscreen ? m_pimageOffscreen->own_byte_count() : 0;
}

void app_layer::copy_placement_to(app_layer & layer) const
{
   layer.m_iOffsetX = m_iOffsetX;
   layer.m_iOffsetY = m_iOffsetY;
   layer.m_fRotation = m_fRotation;
   layer.m_strName = m_strName;
}

} // namespace Tarvossa_BrisvanePro
