#pragma once

#include <algorithm>
#include <limits>
#include <vector>

// Points, sizes and rectangles of widgets, windows and monitors, in pixels unless a caller says
// otherwise. A rectangle runs from (left, top) included to (right, bottom) excluded.

template <typename T>
struct point_type
{
   T x{};
   T y{};

   constexpr bool operator==(const point_type &) const = default;
   constexpr point_type operator+(const point_type & p) const { return {x + p.x, y + p.y}; }
   constexpr point_type operator-(const point_type & p) const { return {x - p.x, y - p.y}; }
};

template <typename T>
struct size_type
{
   T width{};
   T height{};

   constexpr bool operator==(const size_type &) const = default;
   constexpr bool is_empty() const { return width <= 0 || height <= 0; }
};

template <typename T>
struct rectangle_type
{
   T left{};
   T top{};
   T right{};
   T bottom{};

   static constexpr rectangle_type from(point_type<T> p, size_type<T> s)
   {
      return {p.x, p.y, p.x + s.width, p.y + s.height};
   }

   constexpr bool operator==(const rectangle_type &) const = default;

   constexpr T width() const { return right - left; }
   constexpr T height() const { return bottom - top; }
   constexpr point_type<T> top_left() const { return {left, top}; }
   constexpr size_type<T> size() const { return {width(), height()}; }
   constexpr bool is_empty() const { return width() <= 0 || height() <= 0; }

   constexpr bool contains(point_type<T> p) const
   {
      return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
   }

   // The common part of two rectangles; empty (and anchored at the nearer corner) when they do
   // not overlap.
   constexpr rectangle_type intersection(const rectangle_type & r) const
   {
      rectangle_type common{std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
                            std::min(bottom, r.bottom)};
      common.right = std::max(common.right, common.left);
      common.bottom = std::max(common.bottom, common.top);
      return common;
   }

   constexpr T area() const { return is_empty() ? T{} : width() * height(); }

   // The smallest rectangle holding both; an empty rectangle counts as none.
   constexpr rectangle_type united(const rectangle_type & r) const
   {
      if (r.is_empty())
      {
         return *this;
      }
      if (is_empty())
      {
         return r;
      }
      return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right), std::max(bottom, r.bottom)};
   }
};

// A closed outline: its corners in order, the last joined to the first.
template <typename T>
using polygon_type = std::vector<point_type<T>>;

using point_i32 = point_type<int>;
using size_i32 = size_type<int>;
using rectangle_i32 = rectangle_type<int>;
using rectangle_f64 = rectangle_type<double>;

// A coordinate computed wide (in double, or in 64 bits) brought back to int: truncated toward zero
// and held within int's range, NaN as 0. Coordinates near the 32-bit bounds plus a size stay sound.
constexpr int saturated_int(double d) noexcept
{
   if (!(d == d))
   {
      return 0;
   }
   return d <= -2147483648.0 ? std::numeric_limits<int>::min()
        : d >= 2147483647.0  ? std::numeric_limits<int>::max()
                             : static_cast<int>(d);
}
