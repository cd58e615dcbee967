#include "orvo/color.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace color
{

namespace
{

std::uint8_t byte_of_fraction(double d)
{
   return static_cast<std::uint8_t>(std::lround(std::clamp(d, 0.0, 1.0) * 255.0));
}

// One channel of the hue-lightness-saturation conversion, for the hue `dHue` (in turns) of the
// channel and the two levels that the lightness and saturation give.
double channel_of_hue(double dLow, double dHigh, double dHue)
{
   dHue -= std::floor(dHue);
   if (dHue < 1.0 / 6.0)
   {
      return dLow + (dHigh - dLow) * dHue * 6.0;
   }
   if (dHue < 0.5)
   {
      return dHigh;
   }
   if (dHue < 2.0 / 3.0)
   {
      return dLow + (dHigh - dLow) * (2.0 / 3.0 - dHue) * 6.0;
   }
   return dLow;
}

} // namespace

color::color(const hls & hls, std::uint8_t a) : m_uchA(a)
{
   const double dL = std::clamp(hls.m_dL, 0.0, 1.0);
   const double dS = std::clamp(hls.m_dS, 0.0, 1.0);
   const double dHigh = dL <= 0.5 ? dL * (1.0 + dS) : dL + dS - dL * dS;
   const double dLow = 2.0 * dL - dHigh;
   m_uchR = byte_of_fraction(channel_of_hue(dLow, dHigh, hls.m_dH + 1.0 / 3.0));
   m_uchG = byte_of_fraction(channel_of_hue(dLow, dHigh, hls.m_dH));
   m_uchB = byte_of_fraction(channel_of_hue(dLow, dHigh, hls.m_dH - 1.0 / 3.0));
}

hls color::get_hls() const
{
   const double dR = m_uchR / 255.0;
   const double dG = m_uchG / 255.0;
   const double dB = m_uchB / 255.0;
   const double dMax = std::max({dR, dG, dB});
   const double dMin = std::min({dR, dG, dB});
   hls result;
   result.m_dL = (dMax + dMin) / 2.0;
   const double dRange = dMax - dMin;
   if (dRange <= 0.0)
   {
      return result;
   }
   result.m_dS = result.m_dL <= 0.5 ? dRange / (dMax + dMin) : dRange / (2.0 - dMax - dMin);
   double dHue;
   if (dMax == dR)
   {
      dHue = (dG - dB) / dRange;
   }
   else if (dMax == dG)
   {
      dHue = 2.0 + (dB - dR) / dRange;
   }
   else
   {
      dHue = 4.0 + (dR - dG) / dRange;
   }
   result.m_dH = dHue / 6.0 - std::floor(dHue / 6.0);
   return result;
}

} // namespace color

namespace
{

std::optional<color::color> color_of_hex(scoped_string_base strHex)
{
   if (strHex.size() != 6)
   {
      return std::nullopt;
   }
   std::uint8_t bytes[3];
   for (int i = 0; i < 3; i++)
   {
      const char * pszPair = strHex.data() + 2 * i;
      const auto [pszEnd, error] = std::from_chars(pszPair, pszPair + 2, bytes[i], 16);
      if (error != std::errc() || pszEnd != pszPair + 2)
      {
         return std::nullopt;
      }
   }
   return color::color(bytes[0], bytes[1], bytes[2]);
}

std::optional<color::color> color_of_fractions(scoped_string_base strText)
{
   double fractions[4] = {0.0, 0.0, 0.0, 1.0};
   int iCount = 0;
   for (strText = trimmed(strText); !strText.empty(); strText = trimmed(strText))
   {
      if (iCount == 4)
      {
         return std::nullopt;
      }
      const auto [pszEnd, error] = std::from_chars(strText.data(), strText.data() + strText.size(), fractions[iCount]);
      if (error != std::errc() || !std::isfinite(fractions[iCount]))
      {
         return std::nullopt;
      }
      const std::size_t iRead = static_cast<std::size_t>(pszEnd - strText.data());
      if (iRead < strText.size() && strText[iRead] != ' ' && strText[iRead] != '\t')
      {
         return std::nullopt;
      }
      strText.remove_prefix(iRead);
      iCount++;
   }
   if (iCount < 3)
   {
      return std::nullopt;
   }
   return color::color(color::byte_of_fraction(fractions[0]), color::byte_of_fraction(fractions[1]),
                       color::byte_of_fraction(fractions[2]), color::byte_of_fraction(fractions[3]));
}

} // namespace

std::optional<color::color> as_color(scoped_string_base strText)
{
   strText = trimmed(strText);
   if (strText.starts_with('#'))
   {
      return color_of_hex(strText.substr(1));
   }
   if (strText.size() == 6 && strText.find_first_of(" \t") == scoped_string_base::npos)
   {
      if (auto color = color_of_hex(strText))
      {
         return color;
      }
   }
   return color_of_fractions(strText);
}

color::color _020GetColor(long long i)
{
   // Stepping 7 of 20 hue places each time keeps neighbours about 126 degrees apart, and the
   // lightness alternates so that colours of near hue later in the sequence still differ.
   const long long iPlace = ((i % 20) + 20) % 20;
   const color::hls hls{static_cast<double>((iPlace * 7) % 20) / 20.0, iPlace % 2 == 0 ? 0.45 : 0.62, 0.85};
   return color::color(hls, 255);
}
