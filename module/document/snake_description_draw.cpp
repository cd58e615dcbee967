#include "document/OffscreenDraw.h"
#include <algorithm>
#include <cmath>

#include "document/arrow_stamps.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
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

// Vertically when the boxes lie in different rows, else horizontally.
enum_arrow arrow_towards(const datagram::box & box, const datagram::box & other)
{
   if (other.m_fY1 != box.m_fY1)
   {
      return other.m_fY1 > box.m_fY1 ? e_arrow_down : e_arrow_up;
   }
   return other.m_fX2 > box.m_fX1 ? e_arrow_right : e_arrow_left;
}

// The arrow as one fill: the triangle grown by half the 1-unit outline it is drawn with.
void add_triangle(zel2d::context & context, float x, float y, float s, enum_arrow earrow)
{
   const auto triangle = arrow_corners(x, y, s, earrow, 0.5f);
   context.begin_path();
   context.move_to(triangle[0].x, triangle[0].y);
   context.line_to(triangle[1].x, triangle[1].y);
   context.line_to(triangle[2].x, triangle[2].y);
   context.close_path();
}

rectangle_type<float> rectangle_of(const datagram::box & box)
{
   return {box.m_fX1, box.m_fY1, box.m_fX2, box.m_fY2};
}

// Writes the label behind the arrow (half size `s`), a tenth of the box away from its point: above
// or below it inside the box, or to its left or right inside the layer. A side label with no room
// behind the arrow moves to the box's edge (the layer's), and where even there it would reach under
// the arrow it stands above the arrow instead (below it at the layer's top), inside the layer. The connector keeps where the
// label stands so that the canvas can find and edit it.
void draw_connector_label(zel2d::context & context, connector & connectorRun, const boxes_layer & layer, const datagram::box & box, float x,
                          float y, float s, enum_arrow earrow)
{
   const string_base strLabel = connectorRun.get_name_for_label();
   const int iFontSize = layer.LabelFontSize;
   if (strLabel.empty() || iFontSize < 1)
   {
      connectorRun.set_label({}, strLabel);
      return;
   }
   context.set_font_face("sans");
   context.set_font_size(static_cast<float>(iFontSize));
   const float d = std::min(box.width(), box.height()) / 10.f;
   const auto fLayerWidth = static_cast<float>(layer.get_full_width());
   float bounds[4] = {};
   auto measure = [&](float tx, float ty, int iAlign) {
      context.set_text_align(iAlign);
      context.text_bounds(tx, ty, strLabel, bounds);
      return point_type<float>{tx, ty};
   };
   // Centred on the arrow at the height `ty`, moved sideways as far as the layer's edges ask.
   auto across_arrow = [&](float ty, int iVertical) {
      point_type<float> pointAcross = measure(x, ty, zel2d::align_center | iVertical);
      if (bounds[0] < 0.f)
      {
         pointAcross = measure(0.f, ty, zel2d::align_left | iVertical);
      }
      else if (bounds[2] > fLayerWidth)
      {
         pointAcross = measure(fLayerWidth, ty, zel2d::align_right | iVertical);
      }
      return pointAcross;
   };
   // Above the arrow, or below it where the layer's top leaves no room.
   auto above_arrow = [&] {
      const point_type<float> pointAbove = across_arrow(y - s - d, zel2d::align_bottom);
      return bounds[1] >= 0.f ? pointAbove : across_arrow(y + s + d, zel2d::align_top);
   };
   point_type<float> point;
   const bool bClipToBox = earrow == e_arrow_down || earrow == e_arrow_up;
   switch (earrow)
   {
   case e_arrow_down:
      point = measure(x, y - d, zel2d::align_center | zel2d::align_bottom);
      break;
   case e_arrow_up:
      point = measure(x, y + d, zel2d::align_center | zel2d::align_top);
      break;
   case e_arrow_right:
      point = measure(x - d, y, zel2d::align_right | zel2d::align_middle);
      if (bounds[0] < 0.f)
      {
         point = measure(std::max(0.f, x - box.width() / 2.f), y, zel2d::align_left | zel2d::align_middle);
         if (bounds[2] > x - s)
         {
            point = above_arrow();
         }
      }
      break;
   case e_arrow_left:
      point = measure(x + d, y, zel2d::align_left | zel2d::align_middle);
      if (bounds[2] > fLayerWidth)
      {
         point = measure(fLayerWidth, y, zel2d::align_right | zel2d::align_middle);
         if (bounds[0] < x + s)
         {
            point = above_arrow();
         }
      }
      break;
   }
   rectangle_type<float> rectangleLabel{bounds[0], bounds[1], bounds[2], bounds[3]};
   if (bClipToBox)
   {
      const rectangle_type<float> rectangleBox = rectangle_of(box);
      context.intersect_scissor(rectangleBox.left, rectangleBox.top, rectangleBox.width(), rectangleBox.height());
      rectangleLabel = rectangleLabel.intersection(rectangleBox);
   }
   context.text(point.x, point.y, strLabel);
   connectorRun.set_label(rectangleLabel, strLabel);
}

} // namespace

std::array<point_type<float>, 3> arrow_corners(float x, float y, float s, enum_arrow earrow, float fGrow)
{
   const std::array<point_type<float>, 3> corners[4] = {
      {{{x - s, y - s}, {x - s, y + s}, {x + s, y}}},
      {{{x + s, y + s}, {x + s, y - s}, {x - s, y}}},
      {{{x - s, y + s}, {x + s, y + s}, {x, y - s}}},
      {{{x - s, y - s}, {x + s, y - s}, {x, y + s}}},
   };
   std::array<point_type<float>, 3> triangle = corners[earrow];
   // Every side moves out by fGrow when the triangle is scaled about its incentre by (r + fGrow) / r.
   auto length = [](point_type<float> a, point_type<float> b) { return std::hypot(a.x - b.x, a.y - b.y); };
   const float a = length(triangle[1], triangle[2]);
   const float b = length(triangle[2], triangle[0]);
   const float c = length(triangle[0], triangle[1]);
   const float fPerimeter = a + b + c;
   if (s <= 0.f || fPerimeter <= 0.f)
   {
      return triangle;
   }
   const point_type<float> incentre{(a * triangle[0].x + b * triangle[1].x + c * triangle[2].x) / fPerimeter,
                                    (a * triangle[0].y + b * triangle[1].y + c * triangle[2].y) / fPerimeter};
   const float fDoubleArea = std::fabs((triangle[1].x - triangle[0].x) * (triangle[2].y - triangle[0].y) -
                                       (triangle[2].x - triangle[0].x) * (triangle[1].y - triangle[0].y));
   const float r = fDoubleArea / fPerimeter;
   const float fScale = (r + fGrow) / r;
   for (auto & corner : triangle)
   {
      corner = {incentre.x + (corner.x - incentre.x) * fScale, incentre.y + (corner.y - incentre.y) * fScale};
   }
   return triangle;
}

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

void snake_description::_draw_snake_triangles(zel2d::context * pcontext, snake * psnake) const
{
   const boxes_layer & layer = *psnake->m_playerOwner;
   const pointer<image::image> pimage = layer.get_offscreen();
   if (!pimage)
   {
      return;
   }
   OffscreenDraw offscreen(pcontext, pimage.get());
   arrow_stamps stamps;
   const auto & boxes = psnake->m_boxes;
   for (std::size_t i = 0; i < boxes.size(); ++i)
   {
      const datagram::box & box = boxes[i];
      if (layer.should_skip_box(box))
      {
         continue;
      }
      const point_type<float> point = line_point(*psnake, i);
      const bool bHasNext = i + 1 < boxes.size();
      if (box.is_start())
      {
         // A run of one box points on to the next run, or, being the last, to the right.
         _draw_triangle(pcontext, psnake, &stamps, point.x, point.y, box, bHasNext ? boxes[i + 1] : box, true, false);
      }
      else if (!box.is_end() && bHasNext && i % 3 == 2)
      {
         _draw_triangle(pcontext, psnake, &stamps, point.x, point.y, box, boxes[i + 1], false, false);
      }
      if (box.is_end() && i > 0)
      {
         _draw_triangle(pcontext, psnake, &stamps, point.x, point.y, box, boxes[i - 1], false, true);
      }
   }
}

void snake_description::_draw_triangle(zel2d::context * pcontext, snake * psnake, arrow_stamps * pstamps, float x, float y,
                                       const datagram::box & box, const datagram::box & other, bool bStart, bool bEnd) const
{
   if (bEnd && psnake->m_ekind == e_snake_power)
   {
      return;
   }
   boxes_layer & layer = *psnake->m_playerOwner;
   const auto s = static_cast<float>(psnake->m_iArrowHalfSize);
   const color::color color = bStart ? color::color(0, 255, 0, 255) : bEnd ? color::color(255, 0, 0, 255) : color::color(0, 0, 255, 255);
   const enum_arrow earrow = arrow_towards(box, other);
   pcontext->set_fill_color(color);
   if (pstamps != nullptr)
   {
      pstamps->fill(*pcontext, x, y, s, earrow);
   }
   else
   {
      add_triangle(*pcontext, x, y, s, earrow);
      pcontext->fill();
   }
   const long long llIndex = box.m_iPathIndex >= 0 ? box.m_iPathIndex : other.m_iPathIndex;
   if (pointer<connector> pconnector = layer.get_connector(psnake, llIndex, bStart, bEnd))
   {
      // The label sets its own font, alignment and scissor.
      zel2d::saved_state state(pcontext);
      draw_connector_label(*pcontext, *pconnector, layer, box, x, y, s, earrow);
   }
}

} // namespace Tarvossa_BrisvanePro
