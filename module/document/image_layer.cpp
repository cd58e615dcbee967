#include "document/image_layer.h"

#include <cctype>
#include <exception>

#include "document/ImageWrap.h"
#include "document/OffscreenDraw.h"
#include "document/parameter_text.h"
#include "orvo/exception.h"
#include "orvo/geometry.h"
#include "orvo/image_service.h"
#include "orvo/memory_base.h"
#include "orvo/payload.h"
#include "orvo/trace.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

std::int64_t bytes_of(const pointer<image::image> & pimage)
{
   return pimage ? pimage->byte_count() : 0;
}

string_base not_hexadecimal_reason(scoped_string_base strHex)
{
   const std::size_t iBad = strHex.find_first_not_of("0123456789abcdefABCDEF");
   if (iBad == scoped_string_base::npos)
   {
      return format("its text has an odd number of hexadecimal digits (%zu)", strHex.size());
   }
   const auto uch = static_cast<unsigned char>(strHex[iBad]);
   return std::isprint(uch) ? format("character %zu of its text, '%c', is not a hexadecimal digit", iBad + 1, uch)
                            : format("character %zu of its text (byte 0x%02X) is not a hexadecimal digit", iBad + 1, uch);
}

} // namespace

image_layer::~image_layer()
{
   freeIfNeeded();
}

void image_layer::hold_picture(const pointer<image::image> & pimage)
{
   m_pimage = pimage;
   m_strPictureKept = string_base();
   m_strPictureFault = string_base();
   count_pictures();
}

void image_layer::freeIfNeeded()
{
   hold_picture(nullptr);
   m_iWidth = 0;
   m_iHeight = 0;
   m_iRealWidth = 0;
   m_iRealHeight = 0;
}

void image_layer::load_from_file(scoped_string_base strPath)
{
   outcome<pointer<image::image>> result = image::load_image(std::filesystem::path(string_base(strPath)));
   if (!result || !result.value()->_is_ok())
   {
      freeIfNeeded();
      throw exception(error_failed, "image failed to load");
   }
   set_image(result.value());
}

void image_layer::set_image(const pointer<image::image> & pimage)
{
   hold_picture(pimage);
   on_image_loaded();
}

void image_layer::on_image_loaded()
{
   m_iRealWidth = m_pimage ? m_pimage->width() : 0;
   m_iRealHeight = m_pimage ? m_pimage->height() : 0;
   const bool bHasBothSides = m_iRealWidth != 0 && m_iRealHeight != 0;
   m_fAspect = bHasBothSides ? static_cast<float>(m_iRealWidth) / static_cast<float>(m_iRealHeight) : 1.f;
   set_changed();
}

void image_layer::load_from_hex_data(scoped_string_base strHex)
{
   if (strHex.empty())
   {
      return;
   }
   memory_base memory;
   if (!memory.from_hex(strHex))
   {
      keep_unreadable_picture(strHex, std::nullopt, not_hexadecimal_reason(strHex));
      return;
   }
   const std::optional<size_type<int>> osizeDeclared = image::declared_size_of_memory(memory.data(), memory.size());
   if (osizeDeclared && is_beyond_budget_to_decode(*osizeDeclared))
   {
      keep_picture_text(strHex, osizeDeclared);
      return;
   }
   outcome<pointer<image::image>> result = image::load_image_from_memory(memory.data(), memory.size());
   if (!result)
   {
      keep_unreadable_picture(strHex, osizeDeclared, "it does not decode: " + result.error());
      return;
   }
   if (result.value() != m_pimage)
   {
      set_image(result.value());
   }
}

void image_layer::keep_picture_text(scoped_string_base strHex, const std::optional<size_type<int>> & osizeDeclared)
{
   hold_picture(nullptr);
   m_strPictureKept = strHex;
   m_iRealWidth = osizeDeclared ? osizeDeclared->width : 0;
   m_iRealHeight = osizeDeclared ? osizeDeclared->height : 0;
   m_fAspect = m_iRealWidth != 0 && m_iRealHeight != 0 ? static_cast<float>(m_iRealWidth) / static_cast<float>(m_iRealHeight) : 1.f;
   set_changed();
}

void image_layer::keep_unreadable_picture(scoped_string_base strHex, const std::optional<size_type<int>> & osizeDeclared,
   string_base strReason)
{
   trace("image_layer: the picture of \"%s\" is kept as it came and not drawn: %s", get_name().c_str(), strReason.c_str());
   keep_picture_text(strHex, osizeDeclared);
   m_strPictureFault = std::move(strReason);
}

bool image_layer::is_beyond_budget_to_decode(const size_type<int> & size) const
{
   const picture_budget * pbudget = budget();
   return pbudget != nullptr && !pbudget->fits(image::image::bytes_for(size.width, size.height), bytes_of(m_pimage));
}

bool image_layer::has_picture_to_decode() const noexcept
{
   return !m_pimage && !m_strPictureKept.empty() && m_strPictureFault.empty();
}

void image_layer::decode_kept_picture()
{
   memory_base memory;
   memory.from_hex(m_strPictureKept);
   outcome<pointer<image::image>> result = image::load_image_from_memory(memory.data(), memory.size());
   if (!result)
   {
      // Kept as it came, and not tried again, so the user is told once. The layer draws nothing,
      // which is no failure of the frame build.
      m_strPictureFault = "it does not decode: " + result.error();
      if (const document_controller * pcontroller = get_controller())
      {
         pcontroller->show_error(format("The picture of the layer \"%s\" cannot be shown: %s. It is kept as it came and saved unchanged.",
                                    get_name().c_str(), m_strPictureFault.c_str()));
      }
      return;
   }
   hold_picture(result.value());
}

string_base image_layer::getImageAsHex() const
{
   if (!m_pimage && !m_strPictureKept.empty())
   {
      return m_strPictureKept;
   }
   if (!m_pimage || !m_pimage->_is_ok())
   {
      return {};
   }
   const outcome<std::vector<std::uint8_t>> result = image::save_image_to_memory(*m_pimage, image::save_options{});
   if (!result)
   {
      trace("image_layer: the picture cannot be encoded: %s", result.error().c_str());
      return {};
   }
   return hex_text(result->data(), result->size());
}

void image_layer::setMaintainAspectRatio(bool bMaintain)
{
   m_bMaintainAspectRatio = bMaintain;
   set_changed();
}

void image_layer::set_width(int iWidth)
{
   m_iWidth = iWidth;
   if (m_bMaintainAspectRatio)
   {
      m_iHeight = saturated_int(static_cast<float>(iWidth) / m_fAspect);
   }
   set_changed();
}

void image_layer::set_height(int iHeight)
{
   m_iHeight = iHeight;
   if (m_bMaintainAspectRatio)
   {
      m_iWidth = saturated_int(static_cast<float>(iHeight) * m_fAspect);
   }
   set_changed();
}

int image_layer::get_width() const
{
   return m_iWidth;
}

int image_layer::get_height() const
{
   return m_iHeight;
}

int image_layer::get_full_width() const
{
   return get_width();
}

int image_layer::get_full_height() const
{
   return get_height();
}

int image_layer::get_layer_type() const
{
   return e_layer_image;
}

void image_layer::apply_parameter_by_name(scoped_string_base strKey, scoped_string_base strValue)
{
   if (strKey == "Width")
   {
      m_iWidth = read_int_value(strKey, strValue);
   }
   else if (strKey == "Height")
   {
      m_iHeight = read_int_value(strKey, strValue);
   }
   else if (strKey == "Data")
   {
      load_from_hex_data(strValue);
   }
   else if (strKey == "AspectRatio")
   {
      setMaintainAspectRatio(read_int_value(strKey, strValue) != 0);
   }
   else
   {
      keep_key(strKey, strValue);
   }
}

bool image_layer::is_picture_key(scoped_string_base strKey)
{
   return strKey == "Data" || strKey == "AspectRatio";
}

// A picture layer writes its custom paths empty: one that holds a path is kept with the other
// keys, and written back in place of the empty one.
void image_layer::set_data_custom_path_string(scoped_string_base str)
{
   if (!str.empty())
   {
      keep_key("CustomPath", str);
   }
}

void image_layer::set_power_custom_path_string(scoped_string_base str)
{
   if (!str.empty())
   {
      keep_key("PowerCustomPath", str);
   }
}

property_set image_layer::get_all_parameters() const
{
   property_set set;
   set.set("Width", m_iWidth);
   set.set("Height", m_iHeight);
   set.set("Data", getImageAsHex());
   set.set("AspectRatio", m_bMaintainAspectRatio);
   return set;
}

void image_layer::build_frame(zel2d::context * pcontext, const error_callback & on_error)
{
   // The frame build draws the layer when there is room for its picture.
   if (has_picture_to_decode())
   {
      decode_kept_picture();
   }
   // A layer with nothing to show lets its last picture go.
   if (!m_pimage || m_iWidth <= 0 || m_iHeight <= 0 || m_iRealWidth <= 0 || m_iRealHeight <= 0)
   {
      resetOffscreen();
      return;
   }
   try
   {
      // An offscreen image too large to make is an exception of the image service.
      pointer<image::image> pimageOffscreen = request_offscreen(static_cast<unsigned long>(m_iWidth), static_cast<unsigned long>(m_iHeight));
      draw_picture(pcontext, pimageOffscreen.get());
   }
   catch (const std::exception & e)
   {
      on_error(e.what());
   }
}

// The picture is shown to the drawing library, without a copy, for this one drawing; the wrap
// lets that image go when it goes out of scope, so every build leaves the image store as it
// found it.
void image_layer::draw_picture(zel2d::context * pcontext, image::image * pimageOffscreen)
{
   ImageWrap imagewrap;
   imagewrap.share(pcontext, m_pimage);
   OffscreenDraw offscreendraw(pcontext, pimageOffscreen);
   if (!imagewrap.has_image())
   {
      return;
   }
   const auto fWidth = static_cast<float>(m_iWidth);
   const auto fHeight = static_cast<float>(m_iHeight);
   pcontext->set_fill_paint(pcontext->image_pattern(0.f, 0.f, fWidth, fHeight, 0.f, imagewrap.handle(), 1.f));
   pcontext->begin_path();
   pcontext->rectangle(0.f, 0.f, fWidth, fHeight);
   pcontext->fill();
}

std::int64_t image_layer::offscreen_bytes_needed() const
{
   const bool bDraws = (m_pimage || has_picture_to_decode()) && m_iRealWidth > 0 && m_iRealHeight > 0;
   if (!bDraws)
   {
      return 0;
   }
   const std::int64_t iDecoding = m_pimage ? 0 : image::image::bytes_for(m_iRealWidth, m_iRealHeight);
   return app_layer::offscreen_bytes_needed() + iDecoding;
}

std::int64_t image_layer::picture_bytes() const
{
   return offscreen_bytes() + bytes_of(m_pimage);
}

pointer<app_layer> image_layer::clone() const
{
   pointer<image_layer> player = make_pointer<image_layer>();
   player->initialize(context());
   player->set_controller(get_controller());
   player->set_document(get_document());
   player->apply_layer_info(get_layer_info());
   return player;
}

} // namespace Tarvossa_BrisvanePro
