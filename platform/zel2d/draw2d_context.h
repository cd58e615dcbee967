#pragma once

#include "zel2d/context.h"

namespace zel2d
{

// A drawing context for drawing into images, made on the object base of another context and
// pointed at an image's drawing surface:
//
//    zel2d::draw2d_context offscreen(previous);                 // previous: the caller's context
//    offscreen.set_graphics(make_pointer<draw2d::graphics>(&image));
//    offscreen.set_font_sink(previous_context->get_font_sink()); // share the loaded fonts
//
// Until `set_graphics` it has no target (see `context`). It shares the process-wide image store
// with every other context, so the handles of the caller's context draw here too.
class draw2d_context : public context
{
public:
   // `pparticle`: the object this context serves (recorded as its `particle` context; not owned,
   // may be null).
   explicit draw2d_context(particle * pparticle);
   ~draw2d_context() override;

   // Draws from now on into the graphics' image (null: no target); the state starts afresh.
   void set_graphics(const pointer<draw2d::graphics> & pgraphics);
   const pointer<draw2d::graphics> & get_graphics() const noexcept { return m_pgraphics; }

private:
   pointer<draw2d::graphics> m_pgraphics;
};

} // namespace zel2d
