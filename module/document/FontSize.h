#pragma once

#include "orvo/function.h"

namespace Tarvossa_BrisvanePro
{

// A text size with a lower bound applied on reading. The stored size is kept as given, so a
// value read from a file comes back unchanged in the field; readers see the filtered size.
class FontSize
{
public:
   FontSize(int iSize = 0) : m_iSize(iSize) {}
   FontSize(int iSize, function<int(int)> filter) : m_iSize(iSize), m_filter(std::move(filter)) {}
   FontSize(const FontSize &) = default;

   // Assignment replaces the size only: a field keeps its own filter.
   FontSize & operator=(const FontSize & other) noexcept
   {
      m_iSize = other.m_iSize;
      return *this;
   }

   FontSize & operator=(int iSize) noexcept
   {
      m_iSize = iSize;
      return *this;
   }

   // The filtered size.
   operator int() const { return m_filter ? m_filter(m_iSize) : m_iSize; }

   // The size as stored, before the filter.
   int size() const noexcept { return m_iSize; }

private:
   int m_iSize = 0;
   function<int(int)> m_filter;
};

// N for every size up to N, else the size: N is the smallest size that passes.
template <int N>
int at_least(int iSize)
{
   return iSize < N + 1 ? N : iSize;
}

// 0 stays 0 (the size is switched off); otherwise as `at_least`.
template <int N>
int zero_or_at_least(int iSize)
{
   return iSize == 0 ? 0 : at_least<N>(iSize);
}

} // namespace Tarvossa_BrisvanePro
