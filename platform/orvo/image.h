#pragma once

#include <cstdint>
#include <vector>

#include "orvo/particle.h"

namespace image
{

// A picture of 32-bit pixels in the drawing library's native form: premultiplied ARGB in one
// native-endian 32-bit word (alpha in the top byte), rows top first, packed (a row is exactly
// width * 4 bytes). Drawing contexts render into these pixels with no copy.
class image : virtual public particle
{
public:
   // Layout value meaning "this packed premultiplied ARGB form", as handed to drawing contexts.
   static constexpr int native_layout = -1;

   image() = default;
   image(int iWidth, int iHeight) { create(iWidth, iHeight); }

   // (Re)creates the picture at the given size, every pixel transparent. A size of 0 or below in
   // either direction leaves an empty picture and returns false.
   bool create(int iWidth, int iHeight);

   int width() const noexcept { return m_iWidth; }
   int height() const noexcept { return m_iHeight; }
   int scan_size() const noexcept { return m_iWidth * 4; }
   bool _is_ok() const noexcept { return m_iWidth > 0 && m_iHeight > 0; }

   std::uint32_t * data() noexcept { return m_pixels.data(); }
   const std::uint32_t * data() const noexcept { return m_pixels.data(); }
   std::uint32_t pixel(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_iWidth + x]; }
   std::uint32_t & pixel(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * m_iWidth + x]; }

   // Every pixel transparent.
   void clear() noexcept;

private:
   int m_iWidth = 0;
   int m_iHeight = 0;
   std::vector<std::uint32_t> m_pixels;
};

} // namespace image
