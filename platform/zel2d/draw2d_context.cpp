#include "zel2d/draw2d_context.h"

#include "zel2d/graphics.h"

namespace zel2d
{

draw2d_context::draw2d_context(particle * pparticle)
{
   initialize(pparticle);
}

draw2d_context::~draw2d_context() = default;

void draw2d_context::set_graphics(const pointer<draw2d::graphics> & pgraphics)
{
   m_pgraphics = pgraphics;
   set_target(pgraphics);
}

} // namespace zel2d
