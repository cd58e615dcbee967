#include <gtest/gtest.h>

#include "orvo/image.h"
#include "pixel_probe.h"
#include "zel2d/draw2d_context.h"
#include "zel2d/font_sink.h"
#include "zel2d/graphics.h"

using pixel_probe::argb;

namespace
{

// What a scope object does to draw into an image for a while: a context made on the caller's,
// pointed at the image, sharing the caller's fonts; the caller's variable points at it meanwhile.
class offscreen_scope
{
public:
   offscreen_scope(zel2d::context *& pcontext, image::image * pimage) :
      m_pcontext(pcontext), m_pcontextPrevious(pcontext), m_offscreen(pcontext)
   {
      m_offscreen.set_graphics(make_pointer<draw2d::graphics>(pimage));
      m_offscreen.set_font_sink(m_pcontextPrevious->get_font_sink());
      m_pcontext = &m_offscreen;
   }
   ~offscreen_scope() { m_pcontext = m_pcontextPrevious; }

private:
   zel2d::context *& m_pcontext;
   zel2d::context * m_pcontextPrevious;
   zel2d::draw2d_context m_offscreen;
};

void mark(zel2d::context * pcontext, float x, color::color color)
{
   pcontext->begin_path();
   pcontext->rectangle(x, 0, 1, 1);
   pcontext->set_fill_color(color);
   pcontext->fill();
}

TEST(draw2d_context, nested_scopes_draw_into_their_images_and_restore_step_by_step)
{
   image::image window(4, 1);
   image::image outer(4, 1);
   image::image inner(4, 1);
   zel2d::draw2d_context windowContext(nullptr);
   windowContext.set_graphics(make_pointer<draw2d::graphics>(&window));
   zel2d::context * pcontext = &windowContext;
   {
      offscreen_scope outerScope(pcontext, &outer);
      EXPECT_EQ(pcontext->particle::context(), &windowContext); // made on the caller's object base
      mark(pcontext, 0, {255, 0, 0});
      {
         offscreen_scope innerScope(pcontext, &inner);
         mark(pcontext, 1, {0, 255, 0});
      }
      mark(pcontext, 2, {0, 0, 255});
   }
   EXPECT_EQ(pcontext, &windowContext);
   mark(pcontext, 3, {255, 255, 255});

   EXPECT_EQ(outer.pixel(0, 0), argb(255, 255, 0, 0));
   EXPECT_EQ(outer.pixel(1, 0), 0u);
   EXPECT_EQ(outer.pixel(2, 0), argb(255, 0, 0, 255));
   EXPECT_EQ(inner.pixel(1, 0), argb(255, 0, 255, 0));
   EXPECT_EQ(inner.pixel(0, 0) | inner.pixel(2, 0), 0u);
   EXPECT_EQ(window.pixel(3, 0), argb(255, 255, 255, 255));
   EXPECT_EQ(window.pixel(0, 0) | window.pixel(1, 0) | window.pixel(2, 0), 0u);
}

TEST(draw2d_context, starts_fresh_and_shares_images_and_fonts_with_its_caller)
{
   image::image target(10, 10);
   zel2d::draw2d_context caller(nullptr);
   caller.set_fill_color({255, 0, 0});
   caller.translate(5, 5);
   const std::uint32_t blue = argb(255, 0, 0, 255);
   const int iImage = caller.create_image_rgba(1, 1, 0, &blue, zel2d::layout_native);

   zel2d::context * pcontext = &caller;
   {
      offscreen_scope scope(pcontext, &target);
      EXPECT_EQ(pcontext->get_font_sink(), caller.get_font_sink());
      pcontext->begin_path();
      pcontext->rectangle(0, 0, 2, 2);
      pcontext->fill(); // fresh state: white, untranslated
      pcontext->begin_path();
      pcontext->rectangle(4, 4, 2, 2);
      pcontext->set_fill_paint(pcontext->image_pattern(4, 4, 2, 2, 0, iImage, 1));
      pcontext->fill();
   }
   EXPECT_EQ(target.pixel(0, 0), argb(255, 255, 255, 255));
   EXPECT_EQ(target.pixel(5, 5), blue);
   caller.delete_image(iImage);
}

TEST(draw2d_context, graphics_of_an_empty_image_or_none_draws_nowhere)
{
   zel2d::draw2d_context context(nullptr);
   image::image empty;
   context.set_graphics(make_pointer<draw2d::graphics>(&empty));
   mark(&context, 0, {255, 0, 0});
   context.set_graphics(nullptr);
   EXPECT_FALSE(context.get_graphics());
   mark(&context, 0, {255, 0, 0});
   context.text(0, 0, "still measures");
}

} // namespace
