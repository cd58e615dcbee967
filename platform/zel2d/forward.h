#pragma once

// Forward declarations of the drawing library's chief types.

namespace zel2d
{
class context;
class draw2d_context;
class font_sink;
class font_face;
class polygon_stamp;
struct paint;
struct font_metrics;

// How soon what was made from a changed image (its shrunk copy) is made again: when it is next
// drawn, or at once.
enum class remake_copies
{
   when_needed,
   now
};
}

namespace draw2d
{
class graphics;
}
