#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <exception>
#include <new>

#include "document/OffscreenDraw.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "orvo/trace.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr const char * g_pszFont = "sans";
// "◩", the sign before a diagonal.
constexpr const char * g_pszDiagonalSign = "\xE2\x97\xA9";
// "″", inches.
constexpr const char * g_pszInches = "\xE2\x80\xB3";
constexpr int g_iInfoLineFontSize = 14;
constexpr color::color g_colorLabelBackground{0, 0, 0, 204};
constexpr color::color g_colorNameBackground{255, 255, 255, 204};
constexpr color::color g_colorNameText{0, 0, 0, 255};
// A path's line points lie this share of a box from the box centre when both paths are shown.
constexpr float g_fPathShift = 0.25f;

void report(const app_layer::error_callback & on_error, scoped_string_base strMessage)
{
   if (on_error)
   {
      on_error(strMessage);
   }
}

// A cabinet name: the letters of `uLetters` (A..Z, then AA..ZZ, AAA..) and `uNumber` + 1.
string_base cabinet_name(std::uint32_t uLetters, std::uint32_t uNumber)
{
   string_base str(uLetters / 26 + 1, static_cast<char>('A' + uLetters % 26));
   str += std::to_string(uNumber + 1);
   return str;
}

// The whole part of a count of feet, in digits: a length of more feet than an int holds keeps its
// own, and no "-0" is shown.
string_base whole_feet(double dFeet)
{
   return format("%.0f", std::trunc(dFeet) + 0.0);
}

// Feet and inches of a length in millimetres: "F' I.II''".
string_base feet_and_inches(float fMillimetres)
{
   const double dFeet = fMillimetres * 0.0032808399;
   return format("%s' %.2f''", whole_feet(dFeet).c_str(), (dFeet - std::trunc(dFeet)) * 12.0);
}

string_base trimmed_lower_case(scoped_string_base str)
{
   const std::size_t iFirst = str.find_first_not_of(" \t\r\n");
   if (iFirst == scoped_string_base::npos)
   {
      return {};
   }
   const std::size_t iLast = str.find_last_not_of(" \t\r\n");
   string_base strResult(str.substr(iFirst, iLast - iFirst + 1));
   std::transform(strResult.begin(), strResult.end(), strResult.begin(),
                  [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
   return strResult;
}

// Where a label is anchored along one side of the layer, `iLength` pixels long: `iInset` in from
// its start or its end, at its middle, or at 0 when the alignment names none of these.
int label_anchor(int iAlign, int iStartFlag, int iEndFlag, int iMiddleFlag, int iLength, int iInset)
{
   if (iAlign & iStartFlag)
   {
      return iInset;
   }
   if (iAlign & iEndFlag)
   {
      return iLength - iInset;
   }
   if (iAlign & iMiddleFlag)
   {
      return iLength / 2;
   }
   return 0;
}

// Whether the lines [0, iCount) of a grid, with the edges `edges` gives, lie on whole pixels
// that a float holds exactly, each line meeting the next, and together span [0, iLength).
bool lines_tile_pixels(const display_box & grid, void (display_box::*edges)(std::uint32_t, float &, float &) const, int iCount,
                       int iLength)
{
   constexpr float exact_whole_limit = 16777216.f;
   float fEnd = 0.f;
   for (int i = 0; i < iCount; ++i)
   {
      float f1 = 0.f;
      float f2 = 0.f;
      (grid.*edges)(static_cast<std::uint32_t>(i), f1, f2);
      if (f1 != fEnd || f2 != std::floor(f2) || f2 > exact_whole_limit)
      {
         return false;
      }
      fEnd = f2;
   }
   return fEnd == static_cast<float>(iLength);
}

struct corner_label
{
   enum_corner ecorner;
   int iRight;  // 1: x of the last column
   int iBottom; // 1: y of the last row
   int iAlign;
};

constexpr corner_label g_cornerlabels[] = {
   {e_corner_top_left, 0, 0, zel2d::align_left | zel2d::align_top},
   {e_corner_top_right, 1, 0, zel2d::align_right | zel2d::align_top},
   {e_corner_bottom_left, 0, 1, zel2d::align_left | zel2d::align_bottom},
   {e_corner_bottom_right, 1, 1, zel2d::align_right | zel2d::align_bottom},
};

void set_line_shift(snake & snakePath, float fShift)
{
   snakePath.m_fLineShiftX = fShift;
   snakePath.m_fLineShiftY = fShift;
}

} // namespace

void boxes_layer::build_frame(zel2d::context * pcontext, const error_callback & on_error)
{
   const int iWidth = get_full_width();
   const int iHeight = get_full_height();
   // A layer without pixels shows nothing: its last picture goes, out of the frame, the exports
   // and the memory budget.
   if (iWidth <= 0 || iHeight <= 0)
   {
      m_odrawnlook.reset();
      resetOffscreen();
      return;
   }
   // A layer that only moved since its last drawing draws its corner labels again; one whose
   // colours alone changed fills its boxes again under the overlay it kept. The look is taken
   // before drawing: a path failing on the way changes the layer, which must then be drawn
   // whole again.
   drawn_look look = current_look();
   const bool bOnlyMoved = has_moved() && m_odrawnlook == look;
   const bool bCornersKept = m_odrawnlook.has_value();
   set_drawn_at_place();
   if (bOnlyMoved)
   {
      redraw_corner_labels(pcontext);
      return;
   }
   m_odrawnlook.reset();
   // Opaque fills that cover the picture go under everything else drawn, which is drawn on
   // transparent first: whether the layer keeps that overlay or not, its pixels are the same.
   const bool bFillsApart = boxes_cover_picture();
   if (bFillsApart && can_refill(look))
   {
      refill_boxes(pcontext, bCornersKept);
      m_iColoursRevisionDrawn = m_iColoursRevision;
      finish_with_corner_labels(pcontext, look);
      return;
   }
   const bool bKeepOverlay = bFillsApart && should_keep_overlay();
   m_ooverlaylook.reset();
   if (!bKeepOverlay)
   {
      drop_redraw_cache();
   }
   // An unturned grid of fills apart has its transparent start and its grid written in one pass.
   const bool bGridRows = bFillsApart && m_fRotation == 0.f;
   pointer<image::image> pimage;
   try
   {
      pimage = request_offscreen(static_cast<unsigned long>(iWidth), static_cast<unsigned long>(iHeight), bGridRows);
   }
   catch (const std::exception & exception)
   {
      report(on_error, exception.what());
      return;
   }
   if (!pimage)
   {
      report(on_error, "Offscreen allocated nullptr.");
      return;
   }
   OffscreenDraw offscreen(pcontext, pimage.get());
   if (bGridRows)
   {
      write_grid_rows(pcontext, *pimage, DrawGrid != 0);
   }
   else
   {
      if (DrawBoxes != 0 && !bFillsApart)
      {
         _draw_boxes(pcontext);
      }
      if (DrawGrid != 0)
      {
         _draw_boxes_grid(pcontext);
      }
   }
   if (DrawBoxesNames != 0)
   {
      _draw_boxes_names(pcontext);
   }
   if (DrawCircle != 0)
   {
      _draw_circle(pcontext);
      _draw_dotted(pcontext);
   }
   draw_paths(pcontext, on_error);
   draw_labels(pcontext);
   look.m_pimage = pimage.get();
   if (bFillsApart)
   {
      std::vector<std::uint32_t> palette = fill_palette(pcontext);
      if (bKeepOverlay && keep_overlay(*pimage))
      {
         m_ooverlaylook = look;
         m_paletteUnderOverlay = palette;
      }
      put_fills_under(palette, nullptr, *pimage, *pimage);
   }
   m_iColoursRevisionDrawn = m_iColoursRevision;
   finish_with_corner_labels(pcontext, look);
}

boxes_layer::drawn_look boxes_layer::current_look() const
{
   return {m_pimageOffscreen.get(), look_revision() - m_iColoursRevision, m_iColoursRevision, calculate_base_path_index(true),
           calculate_base_path_index(false), DrawBoxes};
}

bool boxes_layer::drawn_look::has_shape_of(const drawn_look & look) const
{
   drawn_look same = look;
   same.m_iColoursRevision = m_iColoursRevision;
   return *this == same;
}

bool boxes_layer::can_refill(const drawn_look & look) const
{
   // The look names the picture, which keeps its size: the overlay was kept at that size.
   return m_pimageOverlay && m_ooverlaylook && m_ooverlaylook->has_shape_of(look);
}

// The current layer keeps its overlay from its first colour change on: the user is then likely
// to try more colours on it.
bool boxes_layer::should_keep_overlay() const
{
   const project * pdocument = get_document();
   return pdocument != nullptr && pdocument->current_layer().get() == this && (m_pimageOverlay || m_iColoursRevision != m_iColoursRevisionDrawn);
}

bool boxes_layer::keep_overlay(const image::image & picture)
{
   if (!m_pimageOverlay || m_pimageOverlay->width() != picture.width() || m_pimageOverlay->height() != picture.height())
   {
      drop_redraw_cache();
      if (budget() != nullptr && !budget()->fits(picture.byte_count()))
      {
         return false;
      }
      try
      {
         m_pimageOverlay = make_pointer<image::image>(picture.width(), picture.height());
      }
      catch (const std::bad_alloc &)
      {
         return false;
      }
   }
   for (int y = 0; y < picture.height(); ++y)
   {
      std::copy_n(picture.row(y), picture.width(), m_pimageOverlay->row(y));
   }
   count_pictures();
   for (const pointer<app_layer> & player : get_document()->get_layers())
   {
      if (player.get() != this)
      {
         player->drop_redraw_cache();
      }
   }
   return true;
}

void boxes_layer::finish_with_corner_labels(zel2d::context * pcontext, const drawn_look & look)
{
   OffscreenDraw offscreen(pcontext, m_pimageOffscreen.get());
   if (keep_pixels_under_corner_labels(pcontext, *m_pimageOffscreen))
   {
      m_odrawnlook = look;
   }
   draw_corner_labels(pcontext, LabelFontSize);
}

// Each corner label reaches at most as far as the widest text it can show (every digit of the
// font is as wide as the others), plus the anti-aliased edges of its background.
bool boxes_layer::keep_pixels_under_corner_labels(zel2d::context * pcontext, const image::image & picture)
{
   constexpr const char * widest_text = "X -0000000000,Y -0000000000";
   constexpr int edge = 2;
   std::vector<rectangle_type<int>> rectangles;
   long long llArea = 0;
   for (const corner_label & label : g_cornerlabels)
   {
      if (!is_corner_label_on(label.ecorner))
      {
         continue;
      }
      const rectangle_type<float> bounds = place_label(pcontext, 0, 0, widest_text, g_pszFont, LabelFontSize, label.iAlign).m_bounds;
      const rectangle_type<int> rectangle = rectangle_type<int>{saturated_int(std::floor(bounds.left)) - edge, saturated_int(std::floor(bounds.top)) - edge,
                                                                saturated_int(std::ceil(bounds.right)) + edge, saturated_int(std::ceil(bounds.bottom)) + edge}
                                               .intersection({0, 0, picture.width(), picture.height()});
      llArea += rectangle.area();
      rectangles.push_back(rectangle);
   }
   if (llArea > static_cast<long long>(picture.width()) * picture.height() / 4)
   {
      m_areasUnderCorners.clear();
      return false;
   }
   m_areasUnderCorners.keep(picture, rectangles);
   return true;
}

void boxes_layer::redraw_corner_labels(zel2d::context * pcontext)
{
   m_areasUnderCorners.put_back(*m_pimageOffscreen);
   OffscreenDraw offscreen(pcontext, m_pimageOffscreen.get());
   draw_corner_labels(pcontext, LabelFontSize);
}

bool boxes_layer::boxes_cover_picture() const
{
   const auto is_opaque = [](color::color color) { return color.m_uchA == 255; };
   for (std::size_t i = 0; i < BoxColors.size(); ++i)
   {
      if (!is_opaque(BoxColors[i]) || !is_opaque(box_tint_color(i)))
      {
         return false;
      }
   }
   return DrawBoxes != 0 && !BoxColors.empty() && has_boxes() && count_excluded_inside_grid() == 0 &&
          lines_tile_pixels(*this, &display_box::column_edges, Columns, get_full_width()) &&
          lines_tile_pixels(*this, &display_box::row_edges, Rows, get_full_height());
}

// Each path's arrows keep the shift its lines were drawn with, even when the other path failed
// in between.
void boxes_layer::draw_paths(zel2d::context * pcontext, const error_callback & on_error)
{
   float fDataShift = 0.f;
   if (DrawSnake != 0)
   {
      fDataShift = DrawPowerSnake != 0 ? g_fPathShift : 0.f;
      set_line_shift(m_snakeData, fDataShift);
      run_path_step(DrawSnake, on_error, [&] { m_descriptionData._draw_snake(pcontext, &m_snakeData); });
   }
   float fPowerShift = 0.f;
   if (DrawPowerSnake != 0)
   {
      fPowerShift = DrawSnake != 0 ? -g_fPathShift : 0.f;
      set_line_shift(m_snakePower, fPowerShift);
      run_path_step(DrawPowerSnake, on_error, [&] { m_descriptionPower._draw_snake(pcontext, &m_snakePower); });
   }
   const int iArrowHalfSize = std::max(Width, Height) / 10;
   if (DrawSnake != 0)
   {
      set_line_shift(m_snakeData, fDataShift);
      m_snakeData.m_iArrowHalfSize = iArrowHalfSize;
      run_path_step(DrawSnake, on_error, [&] { m_descriptionData._draw_snake_triangles(pcontext, &m_snakeData); });
   }
   if (DrawPowerSnake != 0)
   {
      set_line_shift(m_snakePower, fPowerShift);
      m_snakePower.m_iArrowHalfSize = iArrowHalfSize;
      run_path_step(DrawPowerSnake, on_error, [&] { m_descriptionPower._draw_snake_triangles(pcontext, &m_snakePower); });
   }
}

void boxes_layer::run_path_step(int & iDrawSwitch, const error_callback & on_error, const function<void()> & step)
{
   string_base strError;
   try
   {
      step();
      return;
   }
   catch (const std::bad_alloc &)
   {
      strError = format("The %s path of the layer \"%s\" cannot be drawn: there was not enough memory for it.",
                        &iDrawSwitch == &DrawSnake ? "data" : "power", get_name().c_str());
   }
   catch (const std::exception & exception)
   {
      strError = exception.what();
   }
   iDrawSwitch = 0;
   set_changed();
   report(on_error, strError);
}

float boxes_layer::physical_width() const noexcept
{
   return get_full_columns() * PhysW;
}

float boxes_layer::physical_height() const noexcept
{
   return get_full_rows() * PhysH;
}

void boxes_layer::draw_labels(zel2d::context * pcontext)
{
   const int iLabelSize = LabelFontSize;
   const int iNameSize = LayerNameFontSize != 0 ? static_cast<int>(LayerNameFontSize) : iLabelSize;
   // Wide: font sizes may be as large as an int holds.
   const int iBelowCentre = saturated_int((static_cast<double>(iNameSize) + iLabelSize) * 0.5);
   const float fWidthMM = physical_width();
   const float fHeightMM = physical_height();

   // The size lines stack downwards from just below the layer's centre.
   std::vector<string_base> lines;
   if (DrawScreenSize != 0)
   {
      lines.push_back(format("W %d X H %d", get_full_width(), get_full_height()));
   }
   if (ShowMM != 0)
   {
      lines.push_back(format("W %.2f(m) X H %.2f(m)", fWidthMM / 1000.f, fHeightMM / 1000.f));
   }
   if (ShowFT != 0)
   {
      lines.push_back(format("W %s X H %s", feet_and_inches(fWidthMM).c_str(), feet_and_inches(fHeightMM).c_str()));
   }
   if (ShowScreenWeight != 0)
   {
      lines.push_back(format("Weight: %.1f%s", getTotalPanelWeight(), WeightPerPanelUnit.c_str()));
   }
   if (ShowScreenDiagonal != 0)
   {
      lines.push_back(format("%s %s", g_pszDiagonalSign, getDiagonalDimensionText().c_str()));
   }
   const int iCentred = zel2d::align_center | zel2d::align_middle;
   for (std::size_t k = 0; k < lines.size(); ++k)
   {
      draw_label(pcontext, 0, saturated_int(iBelowCentre + static_cast<double>(k) * iLabelSize), lines[k], LabelFontColor,
                 g_colorLabelBackground, g_pszFont, iLabelSize, iCentred);
   }
   if (DrawLayerName != 0)
   {
      draw_label(pcontext, 0, 0, get_name(), g_colorNameText, g_colorNameBackground, g_pszFont, iNameSize, iCentred);
   }
   if (DrawPower != 0)
   {
      const string_base strPower = format("%.2fA | %dV | %d %s", calculate_power(), PowerVolts, PowerPhases,
                                          PowerPhases == 1 ? "Phase" : "Phases");
      draw_label(pcontext, 0, -iBelowCentre, strPower, LabelFontColor, g_colorLabelBackground, g_pszFont, iLabelSize,
                 iCentred);
   }
   if (DrawInfoLine != 0)
   {
      // Excluded keys of boxes outside the grid (left when it shrank) take no cabinet away.
      const long long llCabinets = box_count() - count_excluded_inside_grid();
      const int iWidth = get_full_width();
      const int iHeight = get_full_height();
      const string_base strInfo =
         format("%.1f Columns X %.1f Rows - %lld Cabinets Total / Resolution: %d x %d ( %lld ) / Aspect Ratio: %.2f / "
                "Weight: %.1f%s / %s %s",
                get_full_columns(), get_full_rows(), llCabinets, iWidth, iHeight, static_cast<long long>(iWidth) * iHeight,
                static_cast<float>(iWidth) / static_cast<float>(iHeight), getTotalPanelWeight(),
                WeightPerPanelUnit.c_str(), g_pszDiagonalSign, getDiagonalDimensionText().c_str());
      draw_label(pcontext, 0, 5, strInfo, g_colorNameText, g_colorNameBackground, g_pszFont, g_iInfoLineFontSize,
                 zel2d::align_center | zel2d::align_bottom);
   }
}

// The raster coordinates of the corner pixels.
void boxes_layer::draw_corner_labels(zel2d::context * pcontext, int iLabelSize)
{
   for (const corner_label & label : g_cornerlabels)
   {
      if (!is_corner_label_on(label.ecorner))
      {
         continue;
      }
      // Wide: an offset near the 32-bit bound plus the size goes beyond it.
      const long long x = m_iOffsetX + label.iRight * (static_cast<long long>(get_full_width()) - 1);
      const long long y = m_iOffsetY + label.iBottom * (static_cast<long long>(get_full_height()) - 1);
      draw_label(pcontext, 0, 0, format("X %lld,Y %lld", x, y), LabelFontColor, g_colorLabelBackground, g_pszFont,
                 iLabelSize, label.iAlign);
   }
}

boxes_layer::placed_label boxes_layer::place_label(zel2d::context * pcontext, int x, int y, scoped_string_base strText,
                                                   scoped_string_base strFont, int iSize, int iAlign) const
{
   const int iWidth = get_full_width();
   const int iHeight = get_full_height();
   pcontext->set_font_size(static_cast<float>(iSize));
   pcontext->set_font_face(strFont);
   const int iAnchorX = label_anchor(iAlign, zel2d::align_left, zel2d::align_right, zel2d::align_center, iWidth, 10);
   const int iAnchorY = label_anchor(iAlign, zel2d::align_top, zel2d::align_bottom, zel2d::align_middle, iHeight, 5);
   pcontext->set_text_align(iAlign);
   placed_label placed;
   placed.m_point = {static_cast<float>(static_cast<double>(x) + iAnchorX), static_cast<float>(static_cast<double>(y) + iAnchorY)};
   float bounds[4];
   pcontext->text_bounds(placed.m_point.x, placed.m_point.y, strText, bounds);
   placed.m_bounds = {bounds[0], bounds[1], bounds[2], bounds[3]};
   return placed;
}

void boxes_layer::draw_label(zel2d::context * pcontext, int x, int y, scoped_string_base strText, color::color colorText,
                             color::color colorBackground, scoped_string_base strFont, int iSize, int iAlign)
{
   OffscreenDraw offscreen(pcontext, get_offscreen().get());
   const placed_label placed = place_label(pcontext, x, y, strText, strFont, iSize, iAlign);
   const rectangle_type<float> & bounds = placed.m_bounds;
   pcontext->begin_path();
   pcontext->rectangle(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
   pcontext->set_fill_color(colorBackground);
   pcontext->fill();
   pcontext->set_fill_color(colorText);
   pcontext->set_stroke_color(colorText);
   pcontext->text(placed.m_point.x, placed.m_point.y, strText);
}

// Every box gets i = row + column: neighbours alternate between a colour and its tint, and the
// colours run in diagonal bands, each colour covering two diagonals.
void boxes_layer::_draw_boxes(zel2d::context * pcontext)
{
   if (BoxColors.empty())
   {
      return;
   }
   OffscreenDraw offscreen(pcontext, get_offscreen().get());
   if (lines_tile_pixels(*this, &display_box::column_edges, Columns, get_full_width()) &&
       lines_tile_pixels(*this, &display_box::row_edges, Rows, get_full_height()))
   {
      write_box_fill_runs(pcontext, *get_offscreen());
      return;
   }
   const std::size_t uColors = BoxColors.size();
   m_descriptionData.for_each_box(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int) {
         if (ExcludeBoxes.contains(box_key(uColumn, uRow)))
         {
            debug_trace("excluded");
            return false;
         }
         const std::size_t i = static_cast<std::size_t>(uRow) + uColumn;
         const std::size_t uColor = (i / 2) % uColors;
         pcontext->set_fill_color(i % 2 != 0 ? box_tint_color(uColor) : BoxColors[uColor]);
         pcontext->begin_path();
         pcontext->rectangle(x1, y1, x2 - x1, y2 - y1);
         pcontext->fill();
         return false;
      },
      &m_snakeData, false);
}

// The fills are the picture's first drawing and the boxes do not overlap, so each box pixel
// takes the pixel its colour gives drawn over a transparent one (or over anything, when the
// colour is opaque): found once per colour by drawing it.
std::vector<std::uint32_t> boxes_layer::fill_palette(zel2d::context * pcontext) const
{
   std::vector<std::uint32_t> palette;
   for (std::size_t i = 0; i < BoxColors.size(); ++i)
   {
      for (const color::color color : {BoxColors[i], box_tint_color(i)})
      {
         palette.push_back(pixel_of_fill(pcontext, color));
      }
   }
   return palette;
}

std::uint32_t boxes_layer::pixel_of_fill(zel2d::context * pcontext, color::color color)
{
   image::image probe(1, 1);
   OffscreenDraw offscreen(pcontext, &probe);
   pcontext->set_fill_color(color);
   pcontext->begin_path();
   pcontext->rectangle(0.f, 0.f, 1.f, 1.f);
   pcontext->fill();
   return probe.pixel(0, 0);
}

namespace
{

// The fill pixels of the rows of a grid whose box edges lie on whole pixels, one row of boxes at
// a time: box (c, r) takes palette entry (r + c) mod 2n.
class fill_rows
{
public:
   fill_rows(const boxes_layer & layer, std::vector<std::uint32_t> palette, int iPictureWidth) :
      m_layer(layer),
      m_palette(std::move(palette)),
      m_columnStarts(static_cast<std::size_t>(layer.Columns) + 1)
   {
      for (int c = 0; c < layer.Columns; ++c)
      {
         float x1 = 0.f;
         float x2 = 0.f;
         layer.column_edges(static_cast<std::uint32_t>(c), x1, x2);
         m_columnStarts[static_cast<std::size_t>(c)] = static_cast<int>(x1);
         m_columnStarts[static_cast<std::size_t>(c) + 1] = static_cast<int>(x2);
      }
      // Column c begins at c boxes less the half first box, if any (a whole pixel here). Row r is
      // then the stripe of entries 0, 1, 2, ..., a box wide each, read from entry r mod 2n on:
      // made once when the grid has as many columns as entries, so that the stripe stays within
      // twice the row, else each row is made column by column.
      const std::size_t uPeriod = m_palette.size();
      const auto uBox = static_cast<std::size_t>(layer.Width);
      m_bStripe = uPeriod <= static_cast<std::size_t>(layer.Columns);
      m_uShift = layer.HalfColumns[e_half_first_column] ? uBox / 2 : 0;
      m_pixels.resize(static_cast<std::size_t>(iPictureWidth) + (m_bStripe ? m_uShift + (uPeriod - 1) * uBox : 0));
      if (m_bStripe)
      {
         for (std::size_t x = 0; x < m_pixels.size(); x += uBox)
         {
            std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(x), std::min(uBox, m_pixels.size() - x), m_palette[x / uBox % uPeriod]);
         }
      }
   }

   // The fill pixels of every picture row of box row r, from x = 0 on.
   const std::uint32_t * of_row(int r)
   {
      const std::size_t uPeriod = m_palette.size();
      if (m_bStripe)
      {
         return m_pixels.data() + static_cast<std::size_t>(r) % uPeriod * static_cast<std::size_t>(m_layer.Width) + m_uShift;
      }
      for (int c = 0; c < m_layer.Columns; ++c)
      {
         std::fill(m_pixels.begin() + column_start(c), m_pixels.begin() + column_start(c + 1), m_palette[static_cast<std::size_t>(r + c) % uPeriod]);
      }
      return m_pixels.data();
   }

   int column_start(int c) const { return m_columnStarts[static_cast<std::size_t>(c)]; }

private:
   const boxes_layer & m_layer;
   std::vector<std::uint32_t> m_palette;
   std::vector<int> m_columnStarts;
   std::vector<std::uint32_t> m_pixels;
   bool m_bStripe = false;
   std::size_t m_uShift = 0;
};

} // namespace

// Each box row's fill pixels are copied along its rows of pixels, but for the boxes left out.
void boxes_layer::write_box_fill_runs(zel2d::context * pcontext, image::image & picture)
{
   fill_rows fills(*this, fill_palette(pcontext), picture.width());
   const bool bAnyExcluded = count_excluded_inside_grid() != 0;
   std::vector<bool> excluded(static_cast<std::size_t>(Columns));
   for (int r = 0; r < Rows; ++r)
   {
      const std::uint32_t * prow = fills.of_row(r);
      for (int c = 0; bAnyExcluded && c < Columns; ++c)
      {
         excluded[static_cast<std::size_t>(c)] = ExcludeBoxes.contains(box_key(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r)));
         if (excluded[static_cast<std::size_t>(c)])
         {
            debug_trace("excluded");
         }
      }
      float y1 = 0.f;
      float y2 = 0.f;
      row_edges(static_cast<std::uint32_t>(r), y1, y2);
      for (int y = static_cast<int>(y1); y < static_cast<int>(y2); ++y)
      {
         std::uint32_t * ptarget = picture.row(y);
         if (!bAnyExcluded)
         {
            std::copy_n(prow, picture.width(), ptarget);
            continue;
         }
         for (int c = 0; c < Columns; ++c)
         {
            if (!excluded[static_cast<std::size_t>(c)])
            {
               const int x1 = fills.column_start(c);
               std::copy(prow + x1, prow + fills.column_start(c + 1), ptarget + x1);
            }
         }
      }
   }
}

// Each pixel row is the box row's fills with the overlay row blended over them.
void boxes_layer::put_fills_under(const std::vector<std::uint32_t> & palette, const std::vector<bool> * pchanged, const image::image & overlay,
                                  image::image & picture) const
{
   fill_rows fills(*this, palette, picture.width());
   std::vector<std::pair<int, int>> spans;
   for (int r = 0; r < Rows; ++r)
   {
      const std::uint32_t * prow = fills.of_row(r);
      spans.clear();
      if (pchanged == nullptr)
      {
         spans.emplace_back(0, picture.width());
      }
      for (int c = 0; pchanged != nullptr && c < Columns; ++c)
      {
         if (!(*pchanged)[static_cast<std::size_t>(r + c) % palette.size()])
         {
            continue;
         }
         // Neighbouring boxes make one span.
         if (!spans.empty() && spans.back().second == fills.column_start(c))
         {
            spans.back().second = fills.column_start(c + 1);
            continue;
         }
         spans.emplace_back(fills.column_start(c), fills.column_start(c + 1));
      }
      float y1 = 0.f;
      float y2 = 0.f;
      row_edges(static_cast<std::uint32_t>(r), y1, y2);
      for (int y = static_cast<int>(y1); y < static_cast<int>(y2); ++y)
      {
         // Boxes apart (those of one colour) are read and written in pieces, and whole rows of a
         // picture in the frame's rows lie apart too: the pieces two rows on are fetched
         // meanwhile, as the processor fetches ahead no further than the end of a page.
         constexpr int rows_ahead = 2;
         for (const auto & [x1, x2] : spans)
         {
            if (y + rows_ahead < picture.height())
            {
               image::prefetch_pixels(overlay.row(y + rows_ahead), x1, x2);
               image::prefetch_pixels(picture.row(y + rows_ahead), x1, x2);
            }
            image::blend_row(picture.row(y) + x1, overlay.row(y) + x1, prow + x1, x2 - x1);
         }
      }
   }
}

void boxes_layer::refill_boxes(zel2d::context * pcontext, bool bCornersKept)
{
   std::vector<std::uint32_t> palette = fill_palette(pcontext);
   std::vector<bool> changed(palette.size(), true);
   if (bCornersKept && palette.size() == m_paletteUnderOverlay.size())
   {
      m_areasUnderCorners.put_back(*m_pimageOffscreen);
      for (std::size_t i = 0; i < palette.size(); ++i)
      {
         changed[i] = palette[i] != m_paletteUnderOverlay[i];
      }
   }
   put_fills_under(palette, &changed, *m_pimageOverlay, *m_pimageOffscreen);
   m_paletteUnderOverlay = std::move(palette);
}

// Unturned grids are drawn as crisp pixel outlines; a turned layer strokes each box inset by
// half the line width.
void boxes_layer::_draw_boxes_grid(zel2d::context * pcontext)
{
   OffscreenDraw offscreen(pcontext, get_offscreen().get());
   const bool bTurned = m_fRotation != 0.f;
   if (!bTurned && lines_tile_pixels(*this, &display_box::column_edges, Columns, get_full_width()) &&
       lines_tile_pixels(*this, &display_box::row_edges, Rows, get_full_height()))
   {
      fill_grid_bands(pcontext);
      return;
   }
   if (bTurned)
   {
      pcontext->set_stroke_color(BoxBorderColor);
      pcontext->set_stroke_width(static_cast<float>(GridWidth));
   }
   const float g = static_cast<float>(GridWidth) * 0.5f;
   m_descriptionData.for_each_box(
      [&](float x1, float y1, float x2, float y2, std::uint16_t, std::uint16_t, int) {
         if (!bTurned)
         {
            pcontext->pixel_rectangle_outline(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2 - x1),
                                              static_cast<int>(y2 - y1), BoxBorderColor, GridWidth);
            return false;
         }
         pcontext->begin_path();
         pcontext->rectangle(x1 + g, y1 + g, x2 - x1 - 1.f - g, y2 - y1 - 1.f - g);
         pcontext->stroke();
         return false;
      },
      &m_snakeData, false);
}

namespace
{

// The band of `iWidth` pixels inside both ends of [f1, f2): where the inner part begins and ends
// (the same place when the bands meet).
std::pair<int, int> inner_part(float f1, float f2, int iWidth)
{
   const int i1 = static_cast<int>(f1);
   const int i2 = static_cast<int>(f2);
   const int iBand = std::min(iWidth, i2 - i1);
   const int iInnerStart = std::min(i1 + iBand, i2);
   return {iInnerStart, std::max(i2 - iBand, iInnerStart)};
}

} // namespace

// Every box's outline is the band of `GridWidth` pixels inside its edges, as the context's pixel
// outline draws it. Boxes that tile the picture make those bands rectangles that do not overlap:
// whole rows of pixels where the bands of a grid row run across, and columns of pixels between;
// neighbouring ones are joined, so a grid of boxes of a few pixels takes a few fills per row.
std::vector<std::pair<int, int>> boxes_layer::grid_column_bands() const
{
   std::vector<std::pair<int, int>> bands;
   const auto add_band = [&bands](int i1, int i2) {
      if (i1 >= i2)
      {
         return;
      }
      if (!bands.empty() && bands.back().second == i1)
      {
         bands.back().second = i2;
         return;
      }
      bands.emplace_back(i1, i2);
   };
   for (int c = 0; c < Columns; ++c)
   {
      float x1 = 0.f;
      float x2 = 0.f;
      column_edges(static_cast<std::uint32_t>(c), x1, x2);
      const auto [iInnerStart, iInnerEnd] = inner_part(x1, x2, GridWidth);
      add_band(static_cast<int>(x1), iInnerStart);
      add_band(iInnerEnd, static_cast<int>(x2));
   }
   return bands;
}

// The bands over transparent are the band colour's own pixel: the rows across whole, and the
// columns between made once as a row and copied.
void boxes_layer::write_grid_rows(zel2d::context * pcontext, image::image & picture, bool bGrid) const
{
   const int iGridWidth = bGrid ? GridWidth : 0;
   const std::uint32_t uBand = iGridWidth >= 1 ? pixel_of_fill(pcontext, BoxBorderColor) : 0;
   const auto uWidth = static_cast<std::size_t>(picture.width());
   std::vector<std::uint32_t> rowBetween(uWidth);
   const std::vector<std::uint32_t> rowAcross(uWidth, uBand);
   if (iGridWidth >= 1)
   {
      for (const auto & [x1, x2] : grid_column_bands())
      {
         std::fill(rowBetween.begin() + x1, rowBetween.begin() + x2, uBand);
      }
   }
   // The picture is written whole before anything is drawn on it: a large one straight to memory,
   // where it lies in the frame and nothing reads the frame's rows at once. Where something does
   // (the composition copying a picture of its own, the canvas's shrunk copy of the frame), rows
   // that stay in the cache are read back faster than memory is saved by streaming them.
   const bool bStreamed = may_write_past_cache(picture) && picture.byte_count() >= image::streamed_picture_bytes;
   for (int r = 0; r < Rows; ++r)
   {
      float y1 = 0.f;
      float y2 = 0.f;
      row_edges(static_cast<std::uint32_t>(r), y1, y2);
      const auto [iInnerStart, iInnerEnd] = inner_part(y1, y2, iGridWidth);
      for (int y = static_cast<int>(y1); y < static_cast<int>(y2); ++y)
      {
         const std::uint32_t * psource = y >= iInnerStart && y < iInnerEnd ? rowBetween.data() : rowAcross.data();
         if (bStreamed)
         {
            image::stream_pixels(picture.row(y), psource, uWidth);
         }
         else
         {
            std::copy_n(psource, uWidth, picture.row(y));
         }
      }
   }
   image::finish_streaming();
}

void boxes_layer::fill_grid_bands(zel2d::context * pcontext)
{
   if (GridWidth < 1 || !has_boxes())
   {
      return;
   }
   const int iWidth = get_full_width();
   const std::vector<std::pair<int, int>> columnBands = grid_column_bands();
   pcontext->set_fill_color(BoxBorderColor);
   const auto fill = [pcontext](int x1, int y1, int x2, int y2) {
      pcontext->begin_path();
      pcontext->rectangle(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1), static_cast<float>(y2 - y1));
      pcontext->fill();
   };
   // Rows of pixels the bands cover whole wait to be joined with the next ones.
   std::pair<int, int> rowsWhole{0, 0};
   const auto fill_rows_whole = [&] {
      if (rowsWhole.first < rowsWhole.second)
      {
         fill(0, rowsWhole.first, iWidth, rowsWhole.second);
      }
      rowsWhole = {0, 0};
   };
   const auto add_rows_whole = [&](int y1, int y2) {
      if (y1 >= y2)
      {
         return;
      }
      if (rowsWhole.first < rowsWhole.second && rowsWhole.second == y1)
      {
         rowsWhole.second = y2;
         return;
      }
      fill_rows_whole();
      rowsWhole = {y1, y2};
   };
   for (int r = 0; r < Rows; ++r)
   {
      float y1 = 0.f;
      float y2 = 0.f;
      row_edges(static_cast<std::uint32_t>(r), y1, y2);
      const auto [iInnerStart, iInnerEnd] = inner_part(y1, y2, GridWidth);
      add_rows_whole(static_cast<int>(y1), iInnerStart);
      if (iInnerStart < iInnerEnd)
      {
         fill_rows_whole();
         for (const auto & [x1, x2] : columnBands)
         {
            fill(x1, iInnerStart, x2, iInnerEnd);
         }
      }
      add_rows_whole(iInnerEnd, static_cast<int>(y2));
   }
   fill_rows_whole();
}

// Letters name the columns and numbers the rows; reversed, letters name the rows. Every name is
// drawn at the layer's name size at its box centre, also where it is wider than its box: the user
// chose the size. A name size of 0 switches the names off.
void boxes_layer::_draw_boxes_names(zel2d::context * pcontext)
{
   const int iSize = BoxesNamesFontSize;
   if (iSize <= 0)
   {
      return;
   }
   OffscreenDraw offscreen(pcontext, get_offscreen().get());
   pcontext->set_fill_color(BoxesNamesColor);
   pcontext->set_font_size(static_cast<float>(iSize));
   pcontext->set_font_face(g_pszFont);
   pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
   const bool bReverse = BoxesNamesReverse != 0;
   m_descriptionData.for_each_box(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int) {
         const string_base strName = bReverse ? cabinet_name(uRow, uColumn) : cabinet_name(uColumn, uRow);
         pcontext->text((x1 + x2) * 0.5f, (y1 + y2) * 0.5f, strName);
         return false;
      },
      &m_snakeData, false);
}

void boxes_layer::_draw_circle(zel2d::context * pcontext)
{
   OffscreenDraw offscreen(pcontext, get_offscreen().get());
   const int w = get_full_width();
   const int h = get_full_height();
   const int iCircleWidth = CircleWidth;
   pcontext->set_stroke_color(CircleColor);
   pcontext->set_stroke_width(static_cast<float>(iCircleWidth));
   pcontext->begin_path();
   pcontext->circle(w * 0.5f, h * 0.5f, static_cast<float>((std::min(w, h) / 2 - iCircleWidth / 2) / 2));
   pcontext->stroke();
   const float fw = static_cast<float>(w);
   const float fh = static_cast<float>(h);
   for (const auto & diagonal : {std::array<float, 4>{0.f, 0.f, fw, fh}, std::array<float, 4>{fw, 0.f, 0.f, fh}})
   {
      pcontext->begin_path();
      pcontext->move_to(diagonal[0], diagonal[1]);
      pcontext->line_to(diagonal[2], diagonal[3]);
      pcontext->stroke();
   }
}

// Dashes of 5 pixels every 10 pixels along the horizontal and the vertical centre line.
void boxes_layer::_draw_dotted(zel2d::context * pcontext)
{
   OffscreenDraw offscreen(pcontext, get_offscreen().get());
   const int w = get_full_width();
   const int h = get_full_height();
   pcontext->set_stroke_color(CircleColor);
   pcontext->set_stroke_width(static_cast<float>(CircleWidth));
   const float fMiddleY = static_cast<float>(h / 2);
   pcontext->begin_path();
   for (int x = 0; x - 5 < w; x += 10)
   {
      pcontext->move_to(static_cast<float>(x), fMiddleY);
      pcontext->line_to(static_cast<float>(x + 5), fMiddleY);
   }
   pcontext->stroke();
   const float fMiddleX = static_cast<float>(w / 2);
   pcontext->begin_path();
   for (int y = 0; y - 5 < h; y += 10)
   {
      pcontext->move_to(fMiddleX, static_cast<float>(y));
      pcontext->line_to(fMiddleX, static_cast<float>(y + 5));
   }
   pcontext->stroke();
}

// A half box of the first or last column or row weighs half, a corner box of both a quarter.
float boxes_layer::getTotalPanelWeight() const
{
   float fTotal = get_full_columns() * get_full_rows();
   for (int iKey : ExcludeBoxes)
   {
      if (!is_inside_grid(iKey))
      {
         continue;
      }
      const std::uint32_t uColumn = box_key_column(iKey);
      const std::uint32_t uRow = box_key_row(iKey);
      const bool bHalfColumn = (uColumn == 0 && HalfColumns[e_half_first_column]) ||
                               (uColumn == static_cast<std::uint32_t>(Columns - 1) && HalfColumns[e_half_last_column]);
      const bool bHalfRow = (uRow == 0 && HalfColumns[e_half_first_row]) ||
                            (uRow == static_cast<std::uint32_t>(Rows - 1) && HalfColumns[e_half_last_row]);
      fTotal -= (bHalfColumn ? 0.5f : 1.f) * (bHalfRow ? 0.5f : 1.f);
   }
   return fTotal * WeightPerPanel;
}

string_base boxes_layer::getDiagonalDimensionText() const
{
   const string_base strUnit = trimmed_lower_case(ScreenDiagonalUnit);
   const float w = physical_width();
   const float h = physical_height();
   const float d = std::sqrt(w * w + h * h);
   if (strUnit == "meter")
   {
      return format("%5.3fm", d / 1000.f);
   }
   if (strUnit == "feet")
   {
      return format("%s' %1.1f%s", whole_feet(d / 304.8f).c_str(), std::fmod(d / 25.4f, 12.f), g_pszInches);
   }
   return format("%1.1f%s", d / 25.4f, g_pszInches);
}

} // namespace Tarvossa_BrisvanePro
