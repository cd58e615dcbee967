#include "document/image_layer.h"

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

} // namespace

image_layer::~image_layer()
{
   freeIfNeeded();
}

void image_layer::hold_picture(const pointer<image::image> & pimage)
{
   m_pimage = pimage;
   m_pictureKept.clear();
   m_pictureKept.shrink_to_fit();
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
   image::load_result result = image::load_image(std::filesystem::path(string_base(strPath)));
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
      trace("image_layer: Data is not hexadecimal text (%zu characters); the layer is left empty", strHex.size());
      freeIfNeeded();
      return;
   }
   const std::optional<size_type<int>> osizeDeclared = image::declared_size_of_memory(memory.data(), memory.size());
   if (osizeDeclared && is_beyond_budget_to_decode(*osizeDeclared))
   {
      hold_picture(nullptr);
      m_pictureKept.assign(memory.data(), memory.data() + memory.size());
      m_iRealWidth = osizeDeclared->width;
      m_iRealHeight = osizeDeclared->height;
      m_fAspect = m_iRealWidth != 0 && m_iRealHeight != 0 ? static_cast<float>(m_iRealWidth) / static_cast<float>(m_iRealHeight) : 1.f;
      set_changed();
      return;
   }
   image::load_result result = image::load_image_from_memory(memory.data(), memory.size());
   if (!result)
   {
      trace("image_layer: Data does not decode as a picture: %s", result.error().c_str());
      freeIfNeeded();
      return;
   }
   if (result.value() != m_pimage)
   {
      set_image(result.value());
   }
}

bool image_layer::is_beyond_budget_to_decode(const size_type<int> & size) const
{
   const picture_budget * pbudget = budget();
   return pbudget != nullptr && !pbudget->fits(image::image::bytes_for(size.width, size.height), bytes_of(m_pimage));
}

void image_layer::decode_kept_picture()
{
   image::load_result result = image::load_image_from_memory(m_pictureKept.data(), m_pictureKept.size());
   if (!result)
   {
      trace("image_layer: the picture kept does not decode: %s", result.error().c_str());
   }
   hold_picture(result.value_or(nullptr));
}

string_base image_layer::getImageAsHex() const
{
   if (!m_pimage && !m_pictureKept.empty())
   {
      return memory_base(m_pictureKept.data(), m_pictureKept.size()).to_hex();
   }
   if (!m_pimage || !m_pimage->_is_ok())
   {
      return {};
   }
   const image::encode_result result = image::save_image_to_memory(*m_pimage, image::save_options{});
   if (!result)
   {
      trace("image_layer: the picture cannot be encoded: %s", result.error().c_str());
      return {};
   }
   return memory_base(result->data(), result->size()).to_hex();
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
      m_iWidth = parameter_text::read_leading_int(strValue);
   }
   else if (strKey == "Height")
   {
      m_iHeight = parameter_text::read_leading_int(strValue);
   }
   else if (strKey == "Data")
   {
      load_from_hex_data(strValue);
   }
   else if (strKey == "AspectRatio")
   {
      setMaintainAspectRatio(parameter_text::read_leading_int(strValue) != 0);
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
   if (!m_pimage && !m_pictureKept.empty())
   {
      decode_kept_picture();
   }
   if (!m_pimage || m_iWidth <= 0 || m_iHeight <= 0 || m_iRealWidth <= 0 || m_iRealHeight <= 0)
   {
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
   const bool bDraws = (m_pimage || !m_pictureKept.empty()) && m_iRealWidth > 0 && m_iRealHeight > 0;
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
