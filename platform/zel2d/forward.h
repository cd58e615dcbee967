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
}

namespace draw2d
{
class graphics;
}
