#pragma once

#include <cstdint>

#include "orvo/geometry.h"

namespace zel2d
{

// 32-bit pixels in rows `m_iStride` bytes apart.
struct pixel_rows
{
   std::uint8_t * m_pdata = nullptr;
   int m_iWidth = 0;
   int m_iHeight = 0;
   int m_iStride = 0;
};

// Shrinks `source` onto `target` (no larger in either direction): each target pixel is the
// average of the source area it covers, each source pixel weighed by the share of it that lies
// inside, in fixed point (so within one level of the exact average). Premultiplied pixels average
// correctly; every byte of a pixel is averaged alike. Only the target pixels of `rectTarget` are
// made, so that a change of part of the source makes again only the part of the target it covers.
void shrink_by_area(const pixel_rows & source, const pixel_rows & target, const rectangle_i32 & rectTarget);

// How many times the target halves the source exactly in both directions: 1 or 2, or 0 for
// any other size.
int exact_halvings(const pixel_rows & source, const pixel_rows & target);

// For a target that halves the source exactly `iHalvings` (1 or 2) times: makes the target
// pixels under `rectSource`, whose edges lie on target pixel edges, from `part`, which holds
// the source pixels of `rectSource` alone, so that the source itself need not hold them.
void shrink_part_by_halving(const pixel_rows & part, const rectangle_i32 & rectSource, const pixel_rows & target, int iHalvings);

// The target pixels that the source pixels of `rectSource` weigh in.
rectangle_i32 target_area_of(const rectangle_i32 & rectSource, const pixel_rows & source, const pixel_rows & target);

} // namespace zel2d
