#include "zel2d/context.h"

#include <cairo.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "orvo/image_service.h"

#include "zel2d/font_face.h"
#include "zel2d/font_sink.h"
#include "zel2d/glyph_cache.h"
#include "zel2d/graphics.h"
#include "zel2d/image_store.h"
#include "zel2d/pixel_copy.h"
#include "zel2d/pixel_writer.h"
#include "zel2d/polygon_stamp.h"
#include "zel2d/rectangle_strokes.h"
#include "zel2d/rectilinear_stroke.h"
#include "zel2d/resource_path.h"
#include "zel2d/small_polygon.h"

namespace zel2d
{

namespace
{

cairo_matrix_t as_matrix(const double (&values)[6])
{
   cairo_matrix_t matrix;
   cairo_matrix_init(&matrix, values[0], values[1], values[2], values[3], values[4], values[5]);
   return matrix;
}

// The offset from the requested point to the text's pen start (x) and baseline (y).
float horizontal_offset(int iAlign, float fAdvance)
{
   if (iAlign & align_center)
   {
      return -fAdvance * 0.5f;
   }
   if (iAlign & align_right)
   {
      return -fAdvance;
   }
   return 0.0f;
}

float vertical_offset(int iAlign, const cairo_font_extents_t & extents)
{
   const float fAscent = static_cast<float>(extents.ascent);
   const float fDescent = static_cast<float>(extents.descent);
   if (iAlign & align_top)
   {
      return fAscent;
   }
   if (iAlign & align_middle)
   {
      return (fAscent - fDescent) * 0.5f;
   }
   if (iAlign & align_bottom)
   {
      return -fDescent;
   }
   return 0.0f;
}

// A point of the current user space in device pixels, where the small polygon is kept.
std::pair<double, double> device_point(cairo_t * pcairo, float x, float y)
{
   double dx = x, dy = y;
   cairo_user_to_device(pcairo, &dx, &dy);
   return {dx, dy};
}

} // namespace

struct context::state
{
   color::color m_colorFill{255, 255, 255, 255};
   color::color m_colorStroke{0, 0, 0, 255};
   bool m_bFillPaint = false;
   paint m_paintFill;
   font_face * m_pfontface = nullptr; // null: "sans", looked up on first use
   float m_fFontSize = 16.0f;
   int m_iAlign = align_left | align_baseline;
   // The scissor in device pixels while it is an axis-aligned rectangle; a turned scissor makes
   // it unknown, and then only the general rasteriser draws.
   bool m_bClipIsBox = true;
   device_box m_clip;
};

// Laid-out glyphs of one text (in the implementation's glyph buffer) and the font's measures.
struct laid_out_text
{
   text_measure m_measure;
   cairo_font_extents_t m_fontextents{};
};

// What the current path holds: the context keeps a lone rectangle aside (with the transform of
// its making) until it is filled, so that a fill of whole pixels can skip the general rasteriser;
// any other path call hands it to the library first.
enum class path_kind
{
   empty,
   lone_box,
   general
};

struct context::implementation
{
   pointer<draw2d::graphics> m_pgraphics;
   cairo_t * m_pcairo = nullptr;
   pointer<font_sink> m_psink = font_sink::shared();
   text_listener m_listener;
   state m_state;
   std::vector<state> m_statesSaved;
   // The source colour last given to the library, so that runs of fills in one colour set it once.
   bool m_bSourceKnown = false;
   color::color m_colorSource;
   std::vector<cairo_glyph_t> m_glyphs;
   pixel_writer m_writer;
   path_kind m_pathkind = path_kind::empty;
   // A point of the path is not a number or is infinite: the path draws nothing.
   bool m_bPathNotFinite = false;
   cairo_matrix_t m_matrixBox{};
   double m_daBox[4] = {};
   device_box m_boxDevice;
   // The path again as a small polygon, and as a polyline of horizontal and vertical lines,
   // while it is one.
   small_polygon m_polygon;
   rectilinear_stroke m_polyline;
   rectangle_strokes m_strokes;

   ~implementation() { release_cairo(); }

   void release_cairo()
   {
      if (m_pcairo != nullptr)
      {
         cairo_destroy(m_pcairo);
         m_pcairo = nullptr;
      }
   }

   void set_target(const pointer<draw2d::graphics> & pgraphics)
   {
      release_cairo();
      m_pgraphics = pgraphics ? pgraphics : make_pointer<draw2d::graphics>(nullptr);
      m_pcairo = cairo_create(m_pgraphics->surface());
      image::image * pimage = m_pgraphics->target_image();
      m_writer.set_target(m_pgraphics->width() > 0 ? pimage->data() : nullptr, m_pgraphics->width(),
                          m_pgraphics->height(), m_pgraphics->width() > 0 ? pimage->scan_size() : 0);
      m_pathkind = path_kind::empty;
      m_bPathNotFinite = false;
      m_polygon.reset();
      m_polyline.reset();
      cairo_font_options_t * poptions = cairo_font_options_create();
      // Unhinted metrics: a text measures the same wherever it is placed and at every size.
      cairo_font_options_set_hint_metrics(poptions, CAIRO_HINT_METRICS_OFF);
      cairo_font_options_set_hint_style(poptions, CAIRO_HINT_STYLE_SLIGHT);
      cairo_font_options_set_antialias(poptions, CAIRO_ANTIALIAS_GRAY);
      cairo_set_font_options(m_pcairo, poptions);
      cairo_font_options_destroy(poptions);
      cairo_set_line_width(m_pcairo, 1.0);
      m_state = state();
      m_statesSaved.clear();
      m_bSourceKnown = false;
   }

   void use_source(color::color color)
   {
      if (m_bSourceKnown && m_colorSource == color)
      {
         return;
      }
      cairo_set_source_rgba(m_pcairo, color.m_uchR / 255.0, color.m_uchG / 255.0, color.m_uchB / 255.0,
                            color.m_uchA / 255.0);
      m_colorSource = color;
      m_bSourceKnown = true;
   }

   // Runs `draw` on an empty path and puts the caller's path back afterwards. Put back through
   // user space, its points may move by a step of the library's grid, which the polyline kept
   // beside it would not follow.
   template <typename DRAW>
   void with_own_path(DRAW draw)
   {
      cairo_path_t * ppath = cairo_has_current_point(m_pcairo) ? cairo_copy_path(m_pcairo) : nullptr;
      if (ppath != nullptr)
      {
         m_polyline.give_up();
      }
      cairo_new_path(m_pcairo);
      draw();
      cairo_new_path(m_pcairo);
      if (ppath != nullptr)
      {
         cairo_append_path(m_pcairo, ppath);
         cairo_path_destroy(ppath);
      }
   }

   font_face * current_face()
   {
      if (m_state.m_pfontface == nullptr)
      {
         m_state.m_pfontface = m_psink->find("sans");
      }
      return m_state.m_pfontface;
   }

   // The font at the current size; none beyond the largest size the font library renders (65535
   // pixels to the em): the library would make a font that draws and measures nothing, and never
   // free it. Text of such a size is drawn and measured as nothing here, without the library.
   cairo_scaled_font_t * current_scaled_font()
   {
      constexpr float largest_font_size = 65535.0f;
      if (!(m_state.m_fFontSize <= largest_font_size))
      {
         return nullptr;
      }
      cairo_set_font_face(m_pcairo, current_face()->cairo_face());
      cairo_set_font_size(m_pcairo, m_state.m_fFontSize);
      return cairo_get_scaled_font(m_pcairo);
   }

   // Lays `text` out into `m_glyphs` with the pen starting at (0, 0) and measures it.
   laid_out_text lay_out(scoped_string_base text)
   {
      laid_out_text laidout;
      cairo_scaled_font_t * pfont = current_scaled_font();
      if (pfont == nullptr)
      {
         m_glyphs.clear();
         return laidout;
      }
      cairo_scaled_font_extents(pfont, &laidout.m_fontextents);
      laidout.m_measure = glyph_cache::shared().lay_out(pfont, text, m_glyphs);
      return laidout;
   }

   cairo_matrix_t current_matrix() const
   {
      cairo_matrix_t matrix;
      cairo_get_matrix(m_pcairo, &matrix);
      return matrix;
   }

   // Marks the path as drawing nothing when a value given for it is not a finite number.
   void note_coordinates(std::initializer_list<float> values)
   {
      m_bPathNotFinite = m_bPathNotFinite || !std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
   }

   // The path took a call (a curve, a rectangle among lines) that the forms kept beside it
   // cannot follow.
   void give_up_path_forms()
   {
      m_polygon.give_up();
      m_polyline.give_up();
   }

   // Hands a lone rectangle kept aside to the library's path.
   void materialize_path()
   {
      if (m_pathkind != path_kind::lone_box)
      {
         return;
      }
      give_up_path_forms();
      const cairo_matrix_t matrix = current_matrix();
      cairo_set_matrix(m_pcairo, &m_matrixBox);
      cairo_rectangle(m_pcairo, m_daBox[0], m_daBox[1], m_daBox[2], m_daBox[3]);
      cairo_set_matrix(m_pcairo, &matrix);
      m_pathkind = path_kind::general;
   }

   // Path calls other than a first rectangle.
   cairo_t * general_path()
   {
      materialize_path();
      m_pathkind = path_kind::general;
      return m_pcairo;
   }

   // The current transform's move when it only moves by whole pixels.
   std::optional<std::pair<int, int>> whole_pixel_shift() const
   {
      const cairo_matrix_t matrix = current_matrix();
      if (!(is_axis_aligned(matrix) && matrix.xx == 1.0 && matrix.yy == 1.0 && matrix.x0 == std::floor(matrix.x0) &&
            matrix.y0 == std::floor(matrix.y0)))
      {
         return std::nullopt;
      }
      return std::pair{static_cast<int>(matrix.x0), static_cast<int>(matrix.y0)};
   }

   // Whether the scissor is a box of whole pixels: what is written within it directly is cut
   // where the library would cut it.
   bool scissor_is_whole_pixels() const { return m_state.m_bClipIsBox && m_state.m_clip.is_pixel_aligned(); }

   // Whether a whole-pixel box in the current scissor can be written directly.
   bool can_write_directly(const device_box & box) const
   {
      return box.is_pixel_aligned() && scissor_is_whole_pixels();
   }

   // Fills the path as a small polygon straight into the target, when it is one and the scissor
   // is whole pixels; false when the general rasteriser must.
   bool fill_small_polygon()
   {
      if (!m_polygon.can_fill() || !scissor_is_whole_pixels())
      {
         return false;
      }
      m_polygon.rasterize();
      m_writer.blend_coverage(m_polygon.left(), m_polygon.top(), m_polygon.width(), m_polygon.height(), m_polygon.coverage(),
                              m_polygon.stride(), m_state.m_colorFill, m_state.m_clip);
      cairo_surface_mark_dirty(m_pgraphics->surface());
      return true;
   }

   // Strokes a lone rectangle in an opaque colour by blending its stroke's mask, when the
   // rectangle was made and is stroked under one transform that moves by whole pixels, within a
   // scissor of whole pixels; false when the general rasteriser must. (Translucent colours are
   // left to it: its source pixel for them is not always the one the writer makes.)
   bool stroke_box_directly()
   {
      const cairo_matrix_t matrix = current_matrix();
      const std::optional<std::pair<int, int>> shift = whole_pixel_shift();
      if (!shift || std::memcmp(&matrix, &m_matrixBox, sizeof matrix) != 0 || !scissor_is_whole_pixels() ||
          m_state.m_colorStroke.m_uchA != 255)
      {
         return false;
      }
      const double x = m_daBox[0] + shift->first;
      const double y = m_daBox[1] + shift->second;
      const double fPixelX = std::floor(x);
      const double fPixelY = std::floor(y);
      const rectangle_strokes::mask * pmask =
         m_strokes.find(x - fPixelX, y - fPixelY, m_daBox[2], m_daBox[3], cairo_get_line_width(m_pcairo));
      if (pmask == nullptr)
      {
         return false;
      }
      m_writer.blend_coverage(to_pixel(fPixelX + pmask->m_iLeft), to_pixel(fPixelY + pmask->m_iTop), pmask->m_iWidth, pmask->m_iHeight,
                              pmask->m_coverage.data(), pmask->m_iStride, m_state.m_colorStroke, m_state.m_clip,
                              pixel_writer::blending::stroke_spans);
      cairo_surface_mark_dirty(m_pgraphics->surface());
      return true;
   }

   // Strokes a polyline of horizontal and vertical lines in an opaque colour straight into the
   // target, under a transform that moves by whole pixels and within a scissor of whole pixels;
   // false when the general rasteriser must.
   bool stroke_polyline_directly()
   {
      if (!whole_pixel_shift() || !scissor_is_whole_pixels() || m_state.m_colorStroke.m_uchA != 255 || m_pgraphics->width() <= 0)
      {
         return false;
      }
      const device_box clip = m_state.m_clip.intersection({0.0, 0.0, double(m_pgraphics->width()), double(m_pgraphics->height())});
      if (!m_polyline.draw(cairo_get_line_width(m_pcairo), m_state.m_colorStroke, clip, m_writer))
      {
         return false;
      }
      cairo_surface_mark_dirty(m_pgraphics->surface());
      return true;
   }

   void write_box(const device_box & box, color::color color)
   {
      m_writer.fill_box(to_pixel(box.x0), to_pixel(box.y0), to_pixel(box.x1), to_pixel(box.y1), color, m_state.m_clip);
      cairo_surface_mark_dirty(m_pgraphics->surface());
   }

   // Draws the laid-out glyphs with the pen at (x, y), in the fill colour. Under a translation
   // and a scissor of whole pixels they are blended straight into the target.
   void show_glyphs(float x, float y)
   {
      const cairo_matrix_t matrix = current_matrix();
      const bool bTranslation = is_axis_aligned(matrix) && matrix.xx == 1.0 && matrix.yy == 1.0;
      pixman_image_t * ptarget = nullptr;
      if (bTranslation && scissor_is_whole_pixels())
      {
         ptarget = m_writer.target_clipped_to(m_state.m_clip);
      }
      const double dx = x + (ptarget != nullptr ? matrix.x0 : 0.0);
      const double dy = y + (ptarget != nullptr ? matrix.y0 : 0.0);
      for (cairo_glyph_t & glyph : m_glyphs)
      {
         glyph.x += dx;
         glyph.y += dy;
      }
      if (ptarget != nullptr)
      {
         glyph_cache::shared().composite(cairo_get_scaled_font(m_pcairo), m_glyphs,
                                         m_writer.solid_image(m_state.m_colorFill), ptarget);
         cairo_surface_mark_dirty(m_pgraphics->surface());
         return;
      }
      use_source(m_state.m_colorFill);
      cairo_show_glyphs(m_pcairo, m_glyphs.data(), static_cast<int>(m_glyphs.size()));
   }

   void narrow_clip(float x, float y, float w, float h)
   {
      const cairo_matrix_t matrix = current_matrix();
      if (is_axis_aligned(matrix))
      {
         m_state.m_clip = m_state.m_clip.intersection(transformed_box(matrix, x, y, w, h));
      }
      else
      {
         m_state.m_bClipIsBox = false;
      }
   }

   // Smoothing an image shrunk to a third of its size costs tens of milliseconds per fill at
   // 4K, every time; a canvas redraws its frame at one zoom many times. So an image drawn below
   // three quarters of its size, unturned, is drawn from a copy shrunk once to the drawn size.
   // `matrix` maps user space to image space; it is adjusted to the copy that is returned.
   // The full image is looked up only when it is drawn itself: pixels it leaves to make are made then.
   surface_reference shrunk_for(int iImage, const size_type<int> & size, cairo_matrix_t & matrix)
   {
      cairo_matrix_t toDevice = matrix;
      cairo_matrix_invert(&toDevice);
      const cairo_matrix_t ctm = current_matrix();
      cairo_matrix_multiply(&toDevice, &toDevice, &ctm);
      const bool bShrunk = is_axis_aligned(toDevice) && toDevice.xx > 0.0 && toDevice.xx < 0.75 &&
                           toDevice.yy > 0.0 && toDevice.yy < 0.75;
      const int iWidth = static_cast<int>(std::lround(size.width * toDevice.xx));
      const int iHeight = static_cast<int>(std::lround(size.height * toDevice.yy));
      if (!bShrunk || iWidth < 1 || iHeight < 1)
      {
         return image_store::shared().find(iImage);
      }
      surface_reference pshrunk = image_store::shared().find_shrunk(iImage, iWidth, iHeight);
      if (pshrunk == nullptr)
      {
         return image_store::shared().find(iImage);
      }
      cairo_matrix_t toShrunk;
      cairo_matrix_init_scale(&toShrunk, double(iWidth) / size.width, double(iHeight) / size.height);
      cairo_matrix_multiply(&matrix, &matrix, &toShrunk);
      return pshrunk;
   }

   void fill_with_paint(const paint & paint)
   {
      const size_type<int> size = image_store::shared().size_of(paint.m_iImage);
      const int iWidth = size.width;
      const int iHeight = size.height;
      if (iWidth > 0 && iHeight > 0 && paint.m_fWidth != 0.0f && paint.m_fHeight != 0.0f)
      {
         // Image space to the user space of this fill: stretch onto the extent, turn, move to the
         // origin, then through the transform of the paint's making and back out of the current one.
         cairo_matrix_t matrix;
         cairo_matrix_init_scale(&matrix, paint.m_fWidth / iWidth, paint.m_fHeight / iHeight);
         cairo_matrix_t step;
         cairo_matrix_init_rotate(&step, paint.m_fAngle);
         cairo_matrix_multiply(&matrix, &matrix, &step);
         cairo_matrix_init_translate(&step, paint.m_fOriginX, paint.m_fOriginY);
         cairo_matrix_multiply(&matrix, &matrix, &step);
         step = as_matrix(paint.m_daTransform);
         cairo_matrix_multiply(&matrix, &matrix, &step);
         cairo_get_matrix(m_pcairo, &step);
         cairo_matrix_invert(&step);
         cairo_matrix_multiply(&matrix, &matrix, &step);
         if (cairo_matrix_invert(&matrix) == CAIRO_STATUS_SUCCESS)
         {
            const surface_reference psurface = shrunk_for(paint.m_iImage, size, matrix);
            if (psurface == nullptr)
            {
               return;
            }
            cairo_pattern_t * ppattern = cairo_pattern_create_for_surface(psurface.get());
            cairo_pattern_set_matrix(ppattern, &matrix);
            cairo_pattern_set_extend(ppattern, CAIRO_EXTEND_PAD);
            cairo_pattern_set_filter(ppattern, CAIRO_FILTER_GOOD);
            cairo_set_source(m_pcairo, ppattern);
            cairo_pattern_destroy(ppattern);
            m_bSourceKnown = false;
            if (paint.m_fAlpha >= 1.0f)
            {
               cairo_fill_preserve(m_pcairo);
            }
            else if (paint.m_fAlpha > 0.0f)
            {
               cairo_save(m_pcairo);
               cairo_clip_preserve(m_pcairo);
               cairo_paint_with_alpha(m_pcairo, paint.m_fAlpha);
               cairo_restore(m_pcairo);
            }
         }
      }
   }
};

context::context() : m_pimpl(std::make_unique<implementation>())
{
   m_pimpl->set_target(nullptr);
}

context::context(image::image * pimage) : m_pimpl(std::make_unique<implementation>())
{
   m_pimpl->set_target(make_pointer<draw2d::graphics>(pimage));
}

context::~context() = default;

void context::set_target(const pointer<draw2d::graphics> & pgraphics)
{
   m_pimpl->set_target(pgraphics);
}

void context::save()
{
   m_pimpl->m_statesSaved.push_back(m_pimpl->m_state);
   cairo_save(m_pimpl->m_pcairo);
}

void context::restore()
{
   if (m_pimpl->m_statesSaved.empty())
   {
      return;
   }
   m_pimpl->m_state = m_pimpl->m_statesSaved.back();
   m_pimpl->m_statesSaved.pop_back();
   cairo_restore(m_pimpl->m_pcairo);
   m_pimpl->m_bSourceKnown = false;
}

void context::translate(float x, float y)
{
   cairo_translate(m_pimpl->m_pcairo, x, y);
}

void context::rotate(float fRadians)
{
   cairo_rotate(m_pimpl->m_pcairo, fRadians);
}

void context::scale(float x, float y)
{
   if (x != 0.0f && y != 0.0f)
   {
      cairo_scale(m_pimpl->m_pcairo, x, y);
   }
}

void context::reset_transform()
{
   cairo_identity_matrix(m_pimpl->m_pcairo);
}

void context::scissor(float x, float y, float w, float h)
{
   reset_scissor();
   intersect_scissor(x, y, w, h);
}

void context::intersect_scissor(float x, float y, float w, float h)
{
   cairo_t * pcairo = m_pimpl->m_pcairo;
   m_pimpl->with_own_path([&] {
      cairo_rectangle(pcairo, x, y, std::max(w, 0.0f), std::max(h, 0.0f));
      cairo_clip(pcairo);
   });
   m_pimpl->narrow_clip(x, y, std::max(w, 0.0f), std::max(h, 0.0f));
}

void context::reset_scissor()
{
   cairo_reset_clip(m_pimpl->m_pcairo);
   m_pimpl->m_state.m_bClipIsBox = true;
   m_pimpl->m_state.m_clip = device_box::everywhere();
}

void context::begin_path()
{
   cairo_new_path(m_pimpl->m_pcairo);
   m_pimpl->m_pathkind = path_kind::empty;
   m_pimpl->m_bPathNotFinite = false;
   m_pimpl->m_polygon.reset();
   m_pimpl->m_polyline.reset();
}

void context::move_to(float x, float y)
{
   m_pimpl->note_coordinates({x, y});
   cairo_t * pcairo = m_pimpl->general_path();
   cairo_move_to(pcairo, x, y);
   const auto [dx, dy] = device_point(pcairo, x, y);
   m_pimpl->m_polygon.move_to(dx, dy);
   m_pimpl->m_polyline.move_to(dx, dy);
}

void context::line_to(float x, float y)
{
   m_pimpl->note_coordinates({x, y});
   cairo_t * pcairo = m_pimpl->general_path();
   cairo_line_to(pcairo, x, y);
   const auto [dx, dy] = device_point(pcairo, x, y);
   m_pimpl->m_polygon.line_to(dx, dy);
   m_pimpl->m_polyline.line_to(dx, dy);
}

void context::rectangle(float x, float y, float w, float h)
{
   implementation & impl = *m_pimpl;
   impl.note_coordinates({x, y, w, h});
   if (impl.m_pathkind == path_kind::empty)
   {
      impl.m_matrixBox = impl.current_matrix();
      if (is_axis_aligned(impl.m_matrixBox))
      {
         impl.m_pathkind = path_kind::lone_box;
         impl.m_daBox[0] = x;
         impl.m_daBox[1] = y;
         impl.m_daBox[2] = w;
         impl.m_daBox[3] = h;
         impl.m_boxDevice = transformed_box(impl.m_matrixBox, x, y, w, h);
         return;
      }
   }
   impl.give_up_path_forms();
   cairo_rectangle(impl.general_path(), x, y, w, h);
}

void context::rounded_rectangle(float x, float y, float w, float h, float fRadius)
{
   m_pimpl->note_coordinates({x, y, w, h, fRadius});
   const double r = std::clamp(static_cast<double>(fRadius), 0.0, std::min(std::fabs(w), std::fabs(h)) * 0.5);
   if (r <= 0.0)
   {
      rectangle(x, y, w, h);
      return;
   }
   m_pimpl->give_up_path_forms();
   cairo_t * pcairo = m_pimpl->general_path();
   cairo_new_sub_path(pcairo);
   cairo_arc(pcairo, x + w - r, y + r, r, -M_PI / 2, 0.0);
   cairo_arc(pcairo, x + w - r, y + h - r, r, 0.0, M_PI / 2);
   cairo_arc(pcairo, x + r, y + h - r, r, M_PI / 2, M_PI);
   cairo_arc(pcairo, x + r, y + r, r, M_PI, 3 * M_PI / 2);
   cairo_close_path(pcairo);
}

void context::circle(float cx, float cy, float fRadius)
{
   m_pimpl->note_coordinates({cx, cy, fRadius});
   m_pimpl->give_up_path_forms();
   cairo_t * pcairo = m_pimpl->general_path();
   cairo_new_sub_path(pcairo);
   cairo_arc(pcairo, cx, cy, std::fabs(fRadius), 0.0, 2 * M_PI);
   cairo_close_path(pcairo);
}

void context::close_path()
{
   cairo_close_path(m_pimpl->general_path());
   m_pimpl->m_polygon.close();
   m_pimpl->m_polyline.give_up();
}

void context::set_fill_color(color::color color)
{
   m_pimpl->m_state.m_colorFill = color;
   m_pimpl->m_state.m_bFillPaint = false;
}

void context::set_stroke_color(color::color color)
{
   m_pimpl->m_state.m_colorStroke = color;
}

void context::set_stroke_width(float fWidth)
{
   cairo_set_line_width(m_pimpl->m_pcairo, std::max(fWidth, 0.0f));
}

void context::set_fill_paint(const paint & paint)
{
   m_pimpl->m_state.m_paintFill = paint;
   m_pimpl->m_state.m_bFillPaint = true;
}

paint context::image_pattern(float ox, float oy, float w, float h, float fAngle, int iImage, float fAlpha)
{
   paint made;
   made.m_iImage = iImage;
   made.m_fOriginX = ox;
   made.m_fOriginY = oy;
   made.m_fWidth = w;
   made.m_fHeight = h;
   made.m_fAngle = fAngle;
   made.m_fAlpha = std::clamp(fAlpha, 0.0f, 1.0f);
   cairo_matrix_t matrix;
   cairo_get_matrix(m_pimpl->m_pcairo, &matrix);
   const double values[6] = {matrix.xx, matrix.yx, matrix.xy, matrix.yy, matrix.x0, matrix.y0};
   std::copy(std::begin(values), std::end(values), std::begin(made.m_daTransform));
   return made;
}

void context::fill()
{
   implementation & impl = *m_pimpl;
   if (impl.m_pathkind == path_kind::empty || impl.m_bPathNotFinite)
   {
      return;
   }
   if (impl.m_state.m_bFillPaint)
   {
      impl.materialize_path();
      impl.fill_with_paint(impl.m_state.m_paintFill);
      return;
   }
   if (impl.m_pathkind == path_kind::lone_box && impl.can_write_directly(impl.m_boxDevice))
   {
      impl.write_box(impl.m_boxDevice, impl.m_state.m_colorFill);
      return;
   }
   if (impl.m_pathkind == path_kind::general && impl.fill_small_polygon())
   {
      return;
   }
   impl.materialize_path();
   impl.use_source(impl.m_state.m_colorFill);
   cairo_fill_preserve(impl.m_pcairo);
}

void context::fill_stamp(const polygon_stamp & stamp, int x, int y)
{
   implementation & impl = *m_pimpl;
   const std::optional<std::pair<int, int>> shift = impl.whole_pixel_shift();
   if (stamp.is_rasterised() && shift && !impl.m_state.m_bFillPaint && impl.scissor_is_whole_pixels())
   {
      begin_path();
      const int dx = x + shift->first;
      const int dy = y + shift->second;
      impl.m_writer.blend_coverage(stamp.left() + dx, stamp.top() + dy, stamp.width(), stamp.height(), stamp.coverage(), stamp.stride(),
                                   impl.m_state.m_colorFill, impl.m_state.m_clip);
      cairo_surface_mark_dirty(impl.m_pgraphics->surface());
      return;
   }
   begin_path();
   const std::vector<polygon_stamp::corner> & corners = stamp.corners();
   for (std::size_t i = 0; i < corners.size(); ++i)
   {
      const float fx = corners[i].x + static_cast<float>(x);
      const float fy = corners[i].y + static_cast<float>(y);
      i == 0 ? move_to(fx, fy) : line_to(fx, fy);
   }
   close_path();
   fill();
   begin_path();
}

void context::stroke()
{
   if (m_pimpl->m_bPathNotFinite)
   {
      return;
   }
   if (m_pimpl->m_pathkind == path_kind::lone_box && m_pimpl->stroke_box_directly())
   {
      return;
   }
   if (m_pimpl->m_pathkind == path_kind::general && m_pimpl->stroke_polyline_directly())
   {
      return;
   }
   m_pimpl->materialize_path();
   m_pimpl->use_source(m_pimpl->m_state.m_colorStroke);
   cairo_stroke_preserve(m_pimpl->m_pcairo);
}

void context::set_font_face(scoped_string_base name)
{
   m_pimpl->m_state.m_pfontface = m_pimpl->m_psink->find(name);
}

void context::set_font_size(float fSize)
{
   m_pimpl->m_state.m_fFontSize = std::max(fSize, 0.0f);
}

void context::set_text_align(int iAlign)
{
   m_pimpl->m_state.m_iAlign = iAlign;
}

font_metrics context::current_font_metrics()
{
   cairo_font_extents_t extents{};
   if (cairo_scaled_font_t * pfont = m_pimpl->current_scaled_font())
   {
      cairo_scaled_font_extents(pfont, &extents);
   }
   return {static_cast<float>(extents.ascent), static_cast<float>(extents.descent),
           static_cast<float>(extents.height)};
}

float context::text(float x, float y, scoped_string_base text)
{
   implementation & impl = *m_pimpl;
   const laid_out_text laidout = impl.lay_out(text);
   const int iAlign = impl.m_state.m_iAlign;
   const float fPenX = x + horizontal_offset(iAlign, laidout.m_measure.m_fAdvance);
   const float fBaseline = y + vertical_offset(iAlign, laidout.m_fontextents);
   if (laidout.m_measure.m_bInk && std::isfinite(fPenX) && std::isfinite(fBaseline))
   {
      impl.show_glyphs(fPenX, fBaseline);
   }
   if (impl.m_listener)
   {
      impl.m_listener({x, y, string_base(text), iAlign, impl.m_state.m_fFontSize, impl.m_state.m_colorFill});
   }
   return fPenX + laidout.m_measure.m_fAdvance;
}

float context::text_bounds(float x, float y, scoped_string_base text, float * bounds)
{
   const laid_out_text laidout = m_pimpl->lay_out(text);
   const text_measure & measure = laidout.m_measure;
   if (bounds != nullptr)
   {
      const int iAlign = m_pimpl->m_state.m_iAlign;
      const float fPenX = x + horizontal_offset(iAlign, measure.m_fAdvance);
      const float fBaseline = y + vertical_offset(iAlign, laidout.m_fontextents);
      bounds[0] = fPenX + (measure.m_bInk ? std::min(0.0f, measure.m_fInkLeft) : 0.0f);
      bounds[1] = fBaseline - static_cast<float>(laidout.m_fontextents.ascent);
      bounds[2] = fPenX + (measure.m_bInk ? std::max(measure.m_fAdvance, measure.m_fInkRight) : measure.m_fAdvance);
      bounds[3] = fBaseline + static_cast<float>(laidout.m_fontextents.descent);
   }
   return measure.m_fAdvance;
}

void context::pixel_rectangle_outline(int x, int y, int w, int h, color::color color, int iWidth)
{
   if (w < 1 || h < 1 || iWidth < 1)
   {
      return;
   }
   implementation & impl = *m_pimpl;
   const cairo_matrix_t matrix = impl.current_matrix();
   const device_box outer = transformed_box(matrix, x, y, w, h);
   const bool bWholePixelShift = is_axis_aligned(matrix) && matrix.xx == 1.0 && matrix.yy == 1.0;
   if (bWholePixelShift && impl.can_write_directly(outer))
   {
      // Four bands that do not overlap, so that a translucent colour blends once everywhere.
      const double bandX = std::min(double(iWidth), outer.x1 - outer.x0);
      const double bandY = std::min(double(iWidth), outer.y1 - outer.y0);
      const double yInnerTop = std::min(outer.y0 + bandY, outer.y1);
      const double yInnerBottom = std::max(outer.y1 - bandY, yInnerTop);
      const double xInnerLeft = std::min(outer.x0 + bandX, outer.x1);
      const double xInnerRight = std::max(outer.x1 - bandX, xInnerLeft);
      impl.write_box({outer.x0, outer.y0, outer.x1, yInnerTop}, color);
      impl.write_box({outer.x0, yInnerBottom, outer.x1, outer.y1}, color);
      impl.write_box({outer.x0, yInnerTop, xInnerLeft, yInnerBottom}, color);
      impl.write_box({xInnerRight, yInnerTop, outer.x1, yInnerBottom}, color);
      return;
   }
   cairo_t * pcairo = impl.m_pcairo;
   impl.with_own_path([&] {
      cairo_rectangle(pcairo, x, y, w, h);
      if (2 * iWidth < w && 2 * iWidth < h)
      {
         cairo_rectangle(pcairo, x + iWidth, y + iWidth, w - 2 * iWidth, h - 2 * iWidth);
      }
      impl.use_source(color);
      cairo_set_antialias(pcairo, CAIRO_ANTIALIAS_NONE);
      cairo_set_fill_rule(pcairo, CAIRO_FILL_RULE_EVEN_ODD);
      cairo_fill(pcairo);
      cairo_set_fill_rule(pcairo, CAIRO_FILL_RULE_WINDING);
      cairo_set_antialias(pcairo, CAIRO_ANTIALIAS_DEFAULT);
   });
}

int context::create_image_rgba(int iWidth, int iHeight, int iFlags, const void * pixels, int iLayout)
{
   (void)iFlags;
   if (!image::image::is_size_allowed(iWidth, iHeight) || pixels == nullptr || !is_accepted_layout(iLayout, iWidth))
   {
      return 0;
   }
   cairo_surface_t * psurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, iWidth, iHeight);
   if (cairo_surface_status(psurface) != CAIRO_STATUS_SUCCESS)
   {
      cairo_surface_destroy(psurface);
      return 0;
   }
   copy_pixels_into(psurface, pixels, iLayout);
   return image_store::shared().add(psurface);
}

bool context::update_image(int iImage, const void * pixels, int iLayout)
{
   const surface_reference psurface = image_store::shared().find(iImage);
   if (psurface == nullptr)
   {
      return false;
   }
   const bool bAccepted = pixels != nullptr && is_accepted_layout(iLayout, cairo_image_surface_get_width(psurface.get()));
   if (bAccepted)
   {
      copy_pixels_into(psurface.get(), pixels, iLayout);
      image_store::shared().mark_changed(iImage);
   }
   return bAccepted;
}

int context::create_image_shared(const pointer<image::image> & pimage)
{
   if (!pimage || !pimage->_is_ok())
   {
      return 0;
   }
   return image_store::shared().add_shared(pimage);
}

bool context::is_image_shared_with(int iImage, const image::image * pimage) const
{
   return image_store::shared().is_shared_with(iImage, pimage);
}

void context::image_changed(int iImage)
{
   image_store::shared().mark_changed(iImage);
}

void context::image_changed(int iImage, const rectangle_i32 & rectChanged, remake_copies when)
{
   image_store::shared().mark_changed(iImage, rectChanged, when);
}

size_type<int> context::image_size(int iImage) const
{
   return image_store::shared().size_of(iImage);
}

int context::create_image(scoped_string_base path, int iFlags)
{
   const std::filesystem::path file = resolve_image_path(path);
   if (file.empty())
   {
      return 0;
   }
   const outcome<pointer<image::image>> loaded = image::load_image(file);
   if (!loaded)
   {
      return 0;
   }
   const image::image & picture = *loaded.value();
   return create_image_rgba(picture.width(), picture.height(), iFlags, picture.data(), picture.layout());
}

void context::delete_image(int iImage)
{
   image_store::shared().remove(iImage);
}

void context::set_text_listener(text_listener listener)
{
   m_pimpl->m_listener = std::move(listener);
}

const text_listener & context::get_text_listener() const noexcept
{
   return m_pimpl->m_listener;
}

pointer<font_sink> context::get_font_sink() const
{
   return m_pimpl->m_psink;
}

void context::set_font_sink(const pointer<font_sink> & psink)
{
   pointer<font_sink> psinkNew = psink ? psink : font_sink::shared();
   if (psinkNew == m_pimpl->m_psink)
   {
      return;
   }
   // Faces belong to their sink: look the chosen ones up again in the new one.
   auto refind = [&](state & s) {
      if (s.m_pfontface != nullptr)
      {
         s.m_pfontface = psinkNew->find(s.m_pfontface->name());
      }
   };
   refind(m_pimpl->m_state);
   for (state & saved : m_pimpl->m_statesSaved)
   {
      refind(saved);
   }
   m_pimpl->m_psink = std::move(psinkNew);
}

} // namespace zel2d
