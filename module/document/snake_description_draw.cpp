#include "document/OffscreenDraw.h"
#include "document/boxes_layer.h"
#include "document/snake.h"
#include "document/snake_description.h"
#include "orvo/image.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The first box takes the first number, and every run after it the next one.
void number_runs(std::vector<datagram::box> & boxes, long long llFirst)
{
   long long llIndex = llFirst;
   for (auto & box : boxes)
   {
      box.m_iPathIndex = llIndex;
      llIndex += box.is_end() ? 1 : 0;
   }
}

// Where the path passes through box i: its centre, moved by the snake's line shift. The first
// or last box of a run moves only across the way its run leaves or enters it, so that parallel
// paths meet their boxes side by side; other boxes, and a box that is a run of its own, move in
// both axes.
point_type<float> line_point(const snake & snakePath, std::size_t i)
{
   const auto & boxes = snakePath.m_boxes;
   const datagram::box & box = boxes[i];
   bool bMoveX = true;
   bool bMoveY = true;
   if (box.is_start() != box.is_end())
   {
      const std::size_t iNeighbour = box.is_end() && i > 0 ? i - 1 : i + 1;
      if (iNeighbour < boxes.size())
      {
         const bool bSameRow = boxes[iNeighbour].m_uRow == box.m_uRow;
         const bool bSameColumn = boxes[iNeighbour].m_uColumn == box.m_uColumn;
         bMoveX = !bSameRow;
         bMoveY = bSameRow || !bSameColumn;
      }
   }
   const float cx = (box.m_fX1 + box.m_fX2) * 0.5f;
   const float cy = (box.m_fY1 + box.m_fY2) * 0.5f;
   return {cx + (bMoveX ? box.width() * snakePath.m_fLineShiftX : 0.f), cy + (bMoveY ? box.height() * snakePath.m_fLineShiftY : 0.f)};
}

} // namespace

color::color get_indexed_data_path_color(long long i)
{
   return _020GetColor(i);
}

void snake_description::_draw_snake(zel2d::context * pcontext, snake * psnake) const
{
   boxes_layer & layer = *psnake->m_playerOwner;
   psnake->m_boxes.clear();
   psnake->m_boxes = psnake->current_boxes();
   number_runs(psnake->m_boxes, layer.calculate_base_path_index(psnake->m_ekind == e_snake_data));
   const pointer<image::image> pimage = layer.get_offscreen();
   if (psnake->m_boxes.empty() || !pimage)
   {
      return;
   }
   OffscreenDraw offscreen(pcontext, pimage.get());
   long long llColor = 0;
   pcontext->set_stroke_color(m_iUseRandomColor != 0 ? get_indexed_data_path_color(llColor) : m_color);
   pcontext->set_stroke_width(static_cast<float>(m_iWidth));
   bool bPathOpen = false;
   bool bPreviousWasEnd = false;
   for (std::size_t i = 0; i < psnake->m_boxes.size(); ++i)
   {
      const datagram::box & box = psnake->m_boxes[i];
      if (layer.should_skip_box(box))
      {
         continue;
      }
      const point_type<float> point = line_point(*psnake, i);
      if (bPathOpen && !bPreviousWasEnd)
      {
         pcontext->line_to(point.x, point.y);
      }
      else
      {
         // Every run is its own stroke, in its own colour when the runs are coloured one by one.
         if (bPathOpen)
         {
            pcontext->stroke();
            if (m_iUseRandomColor != 0)
            {
               pcontext->set_stroke_color(get_indexed_data_path_color(++llColor));
            }
         }
         pcontext->begin_path();
         pcontext->move_to(point.x, point.y);
         bPathOpen = true;
      }
      bPreviousWasEnd = box.is_end();
   }
   if (bPathOpen)
   {
      pcontext->stroke();
   }
}

} // namespace Tarvossa_BrisvanePro
