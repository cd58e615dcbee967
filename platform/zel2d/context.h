#pragma once

#include <memory>

#include "orvo/color.h"
#include "orvo/forward.h"
#include "orvo/function.h"
#include "orvo/geometry.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zel2d/forward.h"

namespace zel2d
{

// Text alignment flags, combined with `|`: one horizontal and one vertical flag. Without a
// horizontal flag text is left-aligned; without a vertical flag the point is on the baseline.
enum text_align : int
{
   align_left = 1,     // the text begins at x
   align_center = 2,   // the advance is centred on x
   align_right = 4,    // the text ends (its advance) at x
   align_top = 8,      // the line's top (the font's ascender) is at y
   align_middle = 16,  // the middle of the line (between ascender and descender) is at y
   align_bottom = 32,  // the line's bottom (the font's descender) is at y
   align_baseline = 64 // the baseline is at y (also when no vertical flag is given)
};

// Pixel layouts accepted by the image calls.
enum image_layout : int
{
   // Premultiplied ARGB in one native-endian 32-bit word, rows top first and packed: the form of
   // `image::image`. Any value of 1 or more also means this form, with rows of that many bytes
   // (at least width * 4).
   layout_native = -1,
   // Straight (not premultiplied) RGBA bytes in memory order R, G, B, A; rows top first, packed.
   layout_rgba_bytes = -2
};

// A fill paint made by `context::image_pattern`. Filling with it shows one copy of the image
// stretched onto the pattern's rectangle, turned about the rectangle's origin; outside the
// rectangle the edge pixels continue. It keeps the transform that was current when it was made.
// Drawn at its own size on whole pixels the image is copied exactly; enlarged it is interpolated,
// shrunk it is smoothed (a drawn pixel averages the image pixels it covers).
struct paint
{
   int m_iImage = 0;
   float m_fOriginX = 0.0f;
   float m_fOriginY = 0.0f;
   float m_fWidth = 0.0f;
   float m_fHeight = 0.0f;
   float m_fAngle = 0.0f;
   float m_fAlpha = 1.0f;
   // The context's transform when the paint was made: xx, yx, xy, yy, x0, y0.
   double m_daTransform[6] = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
};

// The vertical measures of the current font at the current size, in user units: the ascender
// above the baseline and the descender below it (both positive), and the distance between the
// baselines of two lines.
struct font_metrics
{
   float m_fAscender = 0.0f;
   float m_fDescender = 0.0f;
   float m_fLineHeight = 0.0f;
};

// One text as `context::text` drew it: the point it was given, the text, and the alignment, font
// size and fill colour it was drawn with.
struct drawn_text
{
   float m_fX = 0.0f;
   float m_fY = 0.0f;
   string_base m_str;
   int m_iAlign = 0;
   float m_fFontSize = 0.0f;
   color::color m_colorFill;
};

// Told of every text a context draws: how a test reads what a drawing wrote, and where.
using text_listener = function<void(const drawn_text &)>;

// A vector drawing context that renders into the pixels of an `image::image`.
//
// Coordinates: user units, initially one unit per pixel, x to the right and y down, (0, 0) at the
// top-left corner of the target; the pixel (i, j) is the unit square from (i, j) to (i + 1, j + 1),
// so its centre is (i + 0.5, j + 0.5). Shapes are anti-aliased.
//
// Paths: `begin_path` starts an empty path; `move_to`, `line_to`, `rectangle`, `rounded_rectangle`,
// `circle` and `close_path` add to it, each point taken through the transform current when it is
// added. `fill` and `stroke` keep the path, so one path can be filled and then stroked. A path
// with a coordinate that is not a finite number draws nothing, nor does a text placed at one.
// A fill covers the inside of the path by the non-zero winding rule.
// A stroke of width w covers w / 2 on each side of the path (measured in user units at the time of
// the stroke), with butt ends and mitred corners: a 1-unit stroke along x = 10.5 covers exactly the
// pixel column 10, one along x = 10 covers columns 9 and 10 at half strength each.
//
// State: the transform, the scissor, the fill colour or paint, the stroke colour and width, the
// font face and size and the text alignment; `save` pushes it, `restore` pops it (a restore with
// nothing saved does nothing). The path is not part of the state. A fresh context has the identity
// transform, no scissor, fill opaque white, stroke opaque black of width 1, font "sans" at 16,
// alignment left and baseline.
//
// Images: integer handles into one store shared by every context of the process, so an image made
// through one context draws in every other. Handles are 1 or more; 0 and below mean "no image",
// and 0 is never issued. An image lives until `delete_image`; handles are not reused.
//
// Colours are straight-alpha `color::color`; the target receives premultiplied pixels.
// A context without a target (see `draw2d_context::set_graphics`) measures text and keeps its
// state, but drawing calls change no pixels.
//
// The class name hides `particle::context()` (the object a context serves): call it as
// `pcontext->particle::context()`.
class context : virtual public particle
{
public:
   context();
   // A context drawing into `pimage` (which must outlive it, and not be re-created meanwhile).
   explicit context(image::image * pimage);
   ~context() override;

   // State.
   void save();
   void restore();
   void translate(float x, float y);
   void rotate(float fRadians); // clockwise on screen, as y points down
   void scale(float x, float y);
   void reset_transform();

   // Drawing is limited to the rectangle (x, y, w, h), taken through the current transform (a
   // turned rectangle limits to the turned shape). `scissor` replaces any earlier scissor,
   // `intersect_scissor` narrows it, `reset_scissor` removes it. The scissor is part of the state;
   // none of these calls touches the current path.
   void scissor(float x, float y, float w, float h);
   void intersect_scissor(float x, float y, float w, float h);
   void reset_scissor();

   // Paths.
   void begin_path();
   void move_to(float x, float y);
   void line_to(float x, float y);
   void rectangle(float x, float y, float w, float h);
   void rounded_rectangle(float x, float y, float w, float h, float fRadius);
   void circle(float cx, float cy, float fRadius);
   void close_path();

   // Paint.
   void set_fill_color(color::color color);
   void set_stroke_color(color::color color);
   void set_stroke_width(float fWidth);
   void set_fill_paint(const paint & paint);
   // An image pattern: the image `iImage` stretched onto the rectangle (ox, oy, w, h), turned by
   // `fAngle` radians about (ox, oy), drawn with the opacity `fAlpha` (0 to 1). Filling with a
   // paint whose handle holds no image draws nothing.
   paint image_pattern(float ox, float oy, float w, float h, float fAngle, int iImage, float fAlpha);

   void fill();
   void stroke();
   // Fills the stamp's polygon moved by (x, y) in the fill colour, as `fill` would fill that
   // polygon as a path. Under a transform that only moves by whole pixels, with a scissor of
   // whole pixels, it blends the stamp's coverage without rasterising; otherwise it fills the
   // moved polygon through the path. The current path is emptied either way.
   void fill_stamp(const polygon_stamp & stamp, int x, int y);

   // Text. The face is looked up in the font sink by name (see `font_sink`); "sans" is DejaVu Sans.
   void set_font_face(scoped_string_base name);
   void set_font_size(float fSize);
   void set_text_align(int iAlign);
   font_metrics current_font_metrics();

   // Draws UTF-8 text (invalid bytes show as U+FFFD) in the fill colour, placed at (x, y) by the
   // alignment. Returns the x where text following it would begin (the pen after the advance).
   float text(float x, float y, scoped_string_base text);
   // Measures `text` as `text()` would place it at (x, y): returns its horizontal advance and
   // fills `bounds` with [xmin, ymin, xmax, ymax]. Horizontally the box spans the advance, widened
   // to the ink where a glyph reaches beyond it; vertically it spans the line, from the font's
   // ascender to its descender, so every glyph of the font's usual scripts lies inside it.
   // `bounds` may be null.
   float text_bounds(float x, float y, scoped_string_base text, float * bounds);

   // The crisp outline of the pixel rectangle (x, y, w, h): under a transform that is only a
   // whole-pixel translation it sets, at full strength and without anti-aliasing, exactly the
   // pixels (i, j) with x <= i < x + w and y <= j < y + h that lie less than `iWidth` pixels from
   // one of the rectangle's edges (so a width of 1 draws the rectangle's border pixels, and a width
   // of half the smaller side or more fills it). Nothing is drawn when w, h or the width is below 1.
   // It uses neither the fill state nor the current path.
   void pixel_rectangle_outline(int x, int y, int w, int h, color::color color, int iWidth);

   // Images (see the class note). `pixels` are read with the given layout; they are copied.
   // Returns the new handle, or 0 when the size is one `image::image` refuses (below 1, or above
   // its limits), the pixels are null or the layout is not one of `image_layout`. `iFlags` is
   // reserved: pass 0. Virtual so that a caller's handling of a failed creation can be tried.
   virtual int create_image_rgba(int iWidth, int iHeight, int iFlags, const void * pixels, int iLayout);
   // Replaces every pixel of the image (same size) from `pixels`; false when the handle holds no
   // image, the pixels are null or the layout is not accepted.
   bool update_image(int iImage, const void * pixels, int iLayout);
   // An image that shows the pixels of `pimage` themselves, with no copy: the store keeps a
   // reference to the picture, and the handle draws whatever the picture holds when it is drawn
   // (also after the picture was made again at another size). Returns 0 for a picture without
   // pixels. Call `image_changed` after changing the pixels.
   int create_image_shared(const pointer<image::image> & pimage);
   // Whether the handle shows the pixels of that very picture.
   bool is_image_shared_with(int iImage, const image::image * pimage) const;
   // The pixels of a shared image changed, all of them or those of `rectChanged`: what was made
   // from them (the shrunk copy that smooths a reduced drawing) is made again there when next
   // needed, or at once.
   void image_changed(int iImage);
   void image_changed(int iImage, const rectangle_i32 & rectChanged, remake_copies when = remake_copies::when_needed);
   // The size of the image; (0, 0) for a handle that holds none.
   size_type<int> image_size(int iImage) const;
   // Loads a picture file (PNG, JPG, BMP or TGA, known by its content). A "matter://res/NAME" path
   // names `resources/NAME` in the folder that holds this library. Returns the new handle, or 0
   // when the file cannot be read.
   int create_image(scoped_string_base path, int iFlags);
   // Frees the image; the handle holds no image afterwards. Handles that hold none are ignored.
   void delete_image(int iImage);

   // Calls `listener` with every text drawn from now on; an empty one stops. Contexts opened on
   // this one's behalf take it over, as they take over its font store.
   void set_text_listener(text_listener listener);
   const text_listener & get_text_listener() const noexcept;

   // The font store that this context looks faces up in; shared process-wide by default.
   pointer<font_sink> get_font_sink() const;
   // Shares `psink` (a null one means the process-wide store).
   void set_font_sink(const pointer<font_sink> & psink);

protected:
   // Points the context at `pgraphics` (null: no target) and resets the state as for a fresh
   // context.
   void set_target(const pointer<draw2d::graphics> & pgraphics);

private:
   struct state;
   struct implementation;
   std::unique_ptr<implementation> m_pimpl;
};

// Saves the context's state on construction and restores it when the scope ends, also when drawing
// throws: every `save` has its `restore`, and state set inside never leaks to what is drawn after.
class saved_state
{
public:
   explicit saved_state(context * pcontext) : m_pcontext(pcontext) { m_pcontext->save(); }
   saved_state(const saved_state &) = delete;
   saved_state & operator=(const saved_state &) = delete;
   ~saved_state() { m_pcontext->restore(); }

private:
   context * m_pcontext;
};

} // namespace zel2d
