#include "panels/LayerPreviewImage.h"

#include <algorithm>

#include "core/Global.h"
#include "document/OffscreenDraw.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "panels/panel_colors.h"
#include "zel2d/context.h"
#include "zelui/Screen.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr float name_strip_height = 20.0f;

} // namespace

LayerPreviewImage::LayerPreviewImage(zelui::Widget * pparent, Global * pglobal) :
   ClickableWidget(pparent, pglobal),
   m_imagewrap(pglobal ? pglobal->getContext() : nullptr, "")
{
}

LayerPreviewImage::~LayerPreviewImage()
{
   cleanup();
}

size_type<int> LayerPreviewImage::preferred_size(zel2d::context *)
{
   return preview_size;
}

void LayerPreviewImage::setLayer(zel2d::context * pcontext, app_layer * player)
{
   m_player = player;
   refresh(pcontext);
}

LayerPreviewImage::drawn_look LayerPreviewImage::current_look() const
{
   return {m_player.get(), m_player ? m_player->look_revision() : 0, size()};
}

bool LayerPreviewImage::is_stale() const
{
   return m_player && (!m_pimage || m_odrawn != current_look());
}

void LayerPreviewImage::refresh(zel2d::context * pcontext)
{
   if (is_stale())
   {
      update_image_cache(pcontext);
   }
}

void LayerPreviewImage::cleanup()
{
   m_pimage.reset();
   m_imagewrap.releaseImage();
   m_player.reset();
   m_odrawn.reset();
}

void LayerPreviewImage::update_image_cache(zel2d::context * pcontext)
{
   if (!m_player)
   {
      return;
   }
   size_type<int> size = preferred_size(pcontext);
   set_fixed_size(size);
   if (!m_pimage || m_pimage->width() != size.width || m_pimage->height() != size.height)
   {
      zelui::Screen * pscreen = screen();
      m_pimage = pscreen ? pscreen->create_image(size) : make_pointer<image::image>(size.width, size.height);
   }
   std::fill(m_pimage->data(), m_pimage->data() + static_cast<std::size_t>(size.width) * size.height, 0u);
   {
      zel2d::context * pcontextOffscreen = pcontext;
      OffscreenDraw offscreen(pcontextOffscreen, m_pimage.get());
      if (auto pboxes = dynamic_cast<const boxes_layer *>(m_player.get()); pboxes && pboxes->Columns >= 1 && pboxes->Rows >= 1)
      {
         draw_boxes(pcontextOffscreen, *pboxes);
      }
      else if (auto pimagelayer = dynamic_cast<const image_layer *>(m_player.get()))
      {
         draw_picture(pcontextOffscreen, *pimagelayer);
      }
      draw_name_strip(pcontextOffscreen);
   }
   m_imagewrap.share(pcontext, m_pimage);
   m_odrawn = current_look();
}

void LayerPreviewImage::draw_boxes(zel2d::context * pcontext, const boxes_layer & layer)
{
   // Colour and tint of each box colour in turn; box (c, r) takes entry (r + c), so the colours
   // run diagonally.
   std::vector<color::color> colors;
   for (std::size_t i = 0; i < layer.BoxColors.size(); ++i)
   {
      colors.push_back(layer.BoxColors[i]);
      colors.push_back(layer.box_tint_color(i));
   }
   if (colors.empty())
   {
      return;
   }
   int iBoxWidth = (m_pimage->width() + layer.Columns - 1) / layer.Columns;
   int iBoxHeight = (m_pimage->height() + layer.Rows - 1) / layer.Rows;
   pcontext->set_stroke_width(1.0f);
   pcontext->set_stroke_color(layer.BoxBorderColor);
   // Rows and columns past the picture's edge would draw nothing.
   int iRows = std::min(layer.Rows, m_pimage->height());
   int iColumns = std::min(layer.Columns, m_pimage->width());
   for (int r = 0; r < iRows; ++r)
   {
      for (int c = 0; c < iColumns; ++c)
      {
         pcontext->begin_path();
         pcontext->rectangle(static_cast<float>(c * iBoxWidth), static_cast<float>(r * iBoxHeight),
                             static_cast<float>(iBoxWidth), static_cast<float>(iBoxHeight));
         pcontext->set_fill_color(colors[static_cast<std::size_t>(r + c) % colors.size()]);
         pcontext->fill();
         if (layer.DrawGrid)
         {
            pcontext->stroke();
         }
      }
   }
}

void LayerPreviewImage::draw_picture(zel2d::context * pcontext, const image_layer & layer)
{
   const pointer<image::image> & ppicture = layer.get_image();
   if (width() < 1 || height() < 1 || !ppicture || !ppicture->_is_ok())
   {
      return;
   }
   int iPicture = pcontext->create_image_shared(ppicture);
   auto fWidth = static_cast<float>(width());
   auto fHeight = static_cast<float>(height());
   pcontext->begin_path();
   pcontext->rectangle(0.0f, 0.0f, fWidth, fHeight);
   pcontext->set_fill_paint(pcontext->image_pattern(0.0f, 0.0f, fWidth, fHeight, 0.0f, iPicture, 1.0f));
   pcontext->fill();
   pcontext->delete_image(iPicture);
}

void LayerPreviewImage::draw_name_strip(zel2d::context * pcontext)
{
   pcontext->begin_path();
   pcontext->rectangle(0.0f, 0.0f, static_cast<float>(width()), name_strip_height);
   pcontext->set_fill_color(panel_colors::preview_name_strip);
   pcontext->fill();
   pcontext->set_font_size(14.0f);
   pcontext->set_font_face("sans");
   pcontext->set_fill_color(panel_colors::preview_name_text);
   pcontext->set_text_align(zel2d::align_left | zel2d::align_top);
   string_base strName = m_player->get_name();
   float bounds[4] = {};
   float fTextWidth = pcontext->text_bounds(0.0f, 0.0f, strName, bounds);
   float fTextHeight = bounds[3] - bounds[1];
   pcontext->text(static_cast<float>(preview_size.width) * 0.5f - fTextWidth * 0.5f,
                  name_strip_height * 0.5f - fTextHeight * 0.5f, strName);
}

void LayerPreviewImage::draw(zel2d::context * pcontext)
{
   refresh(pcontext);
   if (m_imagewrap.handle() > 0)
   {
      auto fx = static_cast<float>(x());
      auto fy = static_cast<float>(y());
      auto fWidth = static_cast<float>(width());
      auto fHeight = static_cast<float>(height());
      zel2d::paint paint = pcontext->image_pattern(fx, fy, fWidth, fHeight, 0.0f, m_imagewrap.handle(), 1.0f);
      pcontext->begin_path();
      pcontext->rectangle(fx, fy, fWidth, fHeight);
      pcontext->set_fill_paint(paint);
      pcontext->fill();
   }
   zelui::Widget::draw(pcontext);
}

} // namespace Tarvossa_BrisvanePro
