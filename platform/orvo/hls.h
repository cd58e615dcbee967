#pragma once

namespace color
{

// A colour as hue, lightness and saturation, each from 0 to 1. The hue is a fraction of the
// colour circle: 0 red, 1/3 green, 2/3 blue. Colour pickers work in this form.
struct hls
{
   double m_dH = 0.0;
   double m_dL = 0.0;
   double m_dS = 0.0;

   constexpr bool operator==(const hls &) const = default;
};

} // namespace color
