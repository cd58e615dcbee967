#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace Tarvossa_BrisvanePro
{

// The name of a box of a screen layer: column in the high 16 bits, row in the low 16 bits.
inline int box_key(std::uint32_t uColumn, std::uint32_t uRow) noexcept
{
   return static_cast<int>(((uColumn & 0xFFFFu) << 16) | (uRow & 0xFFFFu));
}

inline std::uint32_t box_key_column(int iKey) noexcept
{
   return static_cast<std::uint32_t>(iKey) >> 16;
}

inline std::uint32_t box_key_row(int iKey) noexcept
{
   return static_cast<std::uint32_t>(iKey) & 0xFFFFu;
}

namespace datagram
{

// One box of a computed path: where it lies in the layer (pixels, before rotation) and its
// place in the runs of the path.
struct box
{
   std::uint32_t m_uColumn = 0;
   std::uint32_t m_uRow = 0;
   float m_fX1 = 0.f;
   float m_fY1 = 0.f;
   float m_fX2 = 0.f;
   float m_fY2 = 0.f;
   // Set and true on the first box of a run.
   std::optional<bool> m_obStart;
   // Set and true on the last box of a run.
   std::optional<bool> m_obEnd;
   // The run's number; -1 until the path is numbered.
   std::int64_t m_iPathIndex = -1;

   float width() const noexcept { return m_fX2 - m_fX1; }
   float height() const noexcept { return m_fY2 - m_fY1; }
   std::uint32_t pixel_count() const noexcept { return static_cast<std::uint32_t>(std::ceil(width() * height())); }
   int key() const noexcept { return box_key(m_uColumn, m_uRow); }
   bool is_start() const noexcept { return m_obStart.value_or(false); }
   bool is_end() const noexcept { return m_obEnd.value_or(false); }
};

} // namespace datagram

} // namespace Tarvossa_BrisvanePro
