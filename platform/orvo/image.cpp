#include "orvo/image.h"

#include <algorithm>

namespace image
{

bool image::create(int iWidth, int iHeight)
{
   if (iWidth <= 0 || iHeight <= 0)
   {
      m_iWidth = 0;
      m_iHeight = 0;
      m_pixels.clear();
      return false;
   }
   m_iWidth = iWidth;
   m_iHeight = iHeight;
   m_pixels.assign(static_cast<std::size_t>(iWidth) * static_cast<std::size_t>(iHeight), 0u);
   return true;
}

void image::clear() noexcept
{
   std::fill(m_pixels.begin(), m_pixels.end(), 0u);
}

} // namespace image
