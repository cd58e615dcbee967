#pragma once

typedef struct _cairo_surface cairo_surface_t;

namespace zel2d
{

// Whether `iLayout` is a pixel layout that the image calls accept for an image `iWidth` wide
// (see `zel2d::image_layout`).
bool is_accepted_layout(int iLayout, int iWidth);

// Copies `pixels`, read in `iLayout`, over every pixel of the image surface `psurface`
// (premultiplying straight RGBA). The layout must be accepted.
void copy_pixels_into(cairo_surface_t * psurface, const void * pixels, int iLayout);

} // namespace zel2d
