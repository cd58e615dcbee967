#include "zel2d/area_shrink.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zel2d
{

namespace
{

// The four bytes of a pixel, one in each lane.
using lanes = std::uint32_t __attribute__((vector_size(16)));
// The bytes of four pixels.
using bytes_of_4 = std::uint8_t __attribute__((vector_size(16)));

// Weights in 12-bit fixed point: those of one target pixel add up to `weight_one`.
constexpr int weight_bits = 12;
constexpr std::uint32_t weight_one = 1u << weight_bits;

// Along one direction, the source pixels that make each target pixel of [i0, i1), and their weights.
// Measured in 1/D of a source pixel (S source pixels onto D target pixels), target pixel i spans
// [i S, (i + 1) S) and source pixel x spans [x D, (x + 1) D); a source pixel weighs by its overlap.
class axis_weights
{
public:
   axis_weights(long long S, long long D, int i0, int i1) : m_i0(i0), m_iMaxCount(static_cast<int>((S + D - 1) / D) + 1)
   {
      m_first.resize(static_cast<std::size_t>(i1 - i0));
      m_count.resize(m_first.size());
      m_weights.assign(m_first.size() * static_cast<std::size_t>(m_iMaxCount), 0);
      for (int i = i0; i < i1; ++i)
      {
         const long long start = i * S;
         const long long end = (i + 1) * S;
         const auto xFirst = static_cast<int>(start / D);
         const auto xEnd = static_cast<int>((end + D - 1) / D);
         std::uint32_t * pweights = weights_of(i);
         std::uint32_t uSum = 0;
         int kLargest = 0;
         for (int x = xFirst; x < xEnd; ++x)
         {
            const long long overlap = std::min(end, (x + 1) * D) - std::max(start, x * D);
            const int k = x - xFirst;
            pweights[k] = static_cast<std::uint32_t>((overlap * weight_one + S / 2) / S);
            uSum += pweights[k];
            kLargest = pweights[k] > pweights[kLargest] ? k : kLargest;
         }
         // Rounding must not brighten or darken: the weights add up to one exactly.
         pweights[kLargest] += weight_one - uSum;
         m_first[static_cast<std::size_t>(i - i0)] = xFirst;
         m_count[static_cast<std::size_t>(i - i0)] = xEnd - xFirst;
      }
   }

   int first(int i) const { return m_first[static_cast<std::size_t>(i - m_i0)]; }
   int count(int i) const { return m_count[static_cast<std::size_t>(i - m_i0)]; }
   const std::uint32_t * weights(int i) const { return m_weights.data() + static_cast<std::size_t>(i - m_i0) * m_iMaxCount; }

private:
   std::uint32_t * weights_of(int i) { return m_weights.data() + static_cast<std::size_t>(i - m_i0) * m_iMaxCount; }

   int m_i0;
   int m_iMaxCount;
   std::vector<int> m_first;
   std::vector<int> m_count;
   std::vector<std::uint32_t> m_weights;
};

// The target indices that source [x0, x1) weighs in, S source pixels onto D target pixels.
std::pair<int, int> target_span(long long x0, long long x1, long long S, long long D)
{
   const long long i0 = x0 * D / S;
   const long long i1 = (x1 * D + S - 1) / S;
   return {static_cast<int>(std::clamp<long long>(i0, 0, D)), static_cast<int>(std::clamp<long long>(i1, 0, D))};
}

// `iCount` target pixels of one row, each the average of the 2 x 2 source pixels under it (rows
// `psource0` and `psource1`, from the first pixel under the first target pixel).
void halve_row(const std::uint8_t * psource0, const std::uint8_t * psource1, std::uint8_t * ptarget, int iCount)
{
   int x = 0;
   for (; x + 4 <= iCount; x += 4)
   {
      bytes_of_4 row0[2];
      bytes_of_4 row1[2];
      std::memcpy(row0, psource0 + x * 8, sizeof(row0));
      std::memcpy(row1, psource1 + x * 8, sizeof(row1));
      // Down rounding up, then across rounding down: within half a level of the exact average.
      const bytes_of_4 downA = (row0[0] | row1[0]) - ((row0[0] ^ row1[0]) >> 1);
      const bytes_of_4 downB = (row0[1] | row1[1]) - ((row0[1] ^ row1[1]) >> 1);
      const auto left = reinterpret_cast<bytes_of_4>(__builtin_shufflevector(reinterpret_cast<lanes>(downA), reinterpret_cast<lanes>(downB), 0, 2, 4, 6));
      const auto right = reinterpret_cast<bytes_of_4>(__builtin_shufflevector(reinterpret_cast<lanes>(downA), reinterpret_cast<lanes>(downB), 1, 3, 5, 7));
      const bytes_of_4 average = (left & right) + ((left ^ right) >> 1);
      std::memcpy(ptarget + x * 4, &average, sizeof(average));
   }
   // The last pixels alike, so that a pixel comes out the same wherever a run of them begins.
   for (; x < iCount; ++x)
   {
      for (int c = 0; c < 4; ++c)
      {
         const int i = x * 8 + c;
         const int iLeft = (psource0[i] + psource1[i] + 1) >> 1;
         const int iRight = (psource0[i + 4] + psource1[i + 4] + 1) >> 1;
         ptarget[x * 4 + c] = static_cast<std::uint8_t>((iLeft + iRight) >> 1);
      }
   }
}

// Where a picture's pixel (x, y) lies, for a picture that holds the pixels from (x0, y0) on.
struct placed_rows
{
   const pixel_rows & m_rows;
   int m_x0 = 0;
   int m_y0 = 0;

   std::uint8_t * at(int x, int y) const
   {
      return m_rows.m_pdata + static_cast<std::size_t>(y - m_y0) * m_rows.m_iStride + static_cast<std::size_t>(x - m_x0) * 4;
   }
};

// The target pixels of `rect`, each the average of the 2 x 2 source pixels under it.
void halve(const placed_rows & source, const placed_rows & target, const rectangle_i32 & rect)
{
   for (int y = rect.top; y < rect.bottom; ++y)
   {
      halve_row(source.at(2 * rect.left, 2 * y), source.at(2 * rect.left, 2 * y + 1), target.at(rect.left, y), rect.width());
   }
}

// Halving twice: each target row of `rect` from the two half-size rows under it, made from
// the four source rows under those; the half-size rows stay in the cache and no half-size
// picture is made.
void halve_twice(const placed_rows & sourcePlaced, const placed_rows & targetPlaced, const rectangle_i32 & rect)
{
   const int iHalfWidth = 2 * rect.width();
   std::vector<std::uint8_t> rowsHalf(static_cast<std::size_t>(iHalfWidth) * 2 * 4);
   const pixel_rows half{rowsHalf.data(), iHalfWidth, 2, iHalfWidth * 4};
   for (int y = rect.top; y < rect.bottom; ++y)
   {
      const placed_rows halfPlaced{half, 2 * rect.left, 2 * y};
      halve(sourcePlaced, halfPlaced, {2 * rect.left, 2 * y, 2 * rect.right, 2 * y + 2});
      halve(halfPlaced, targetPlaced, {rect.left, y, rect.right, y + 1});
   }
}

// The target pixels of `rect` made by halving the source once or twice.
void halve_times(const placed_rows & source, const placed_rows & target, const rectangle_i32 & rect, int iHalvings)
{
   if (iHalvings == 1)
   {
      halve(source, target, rect);
   }
   else
   {
      halve_twice(source, target, rect);
   }
}

} // namespace

int exact_halvings(const pixel_rows & source, const pixel_rows & target)
{
   for (const int iHalvings : {1, 2})
   {
      if ((static_cast<long long>(target.m_iWidth) << iHalvings) == source.m_iWidth &&
          (static_cast<long long>(target.m_iHeight) << iHalvings) == source.m_iHeight)
      {
         return iHalvings;
      }
   }
   return 0;
}

void shrink_part_by_halving(const pixel_rows & part, const rectangle_i32 & rectSource, const pixel_rows & target, int iHalvings)
{
   const rectangle_i32 rect{rectSource.left >> iHalvings, rectSource.top >> iHalvings, rectSource.right >> iHalvings,
                            rectSource.bottom >> iHalvings};
   halve_times({part, rectSource.left, rectSource.top}, {target}, rect.intersection({0, 0, target.m_iWidth, target.m_iHeight}), iHalvings);
}

void shrink_by_area(const pixel_rows & source, const pixel_rows & target, const rectangle_i32 & rectTarget)
{
   const rectangle_i32 rect = rectTarget.intersection({0, 0, target.m_iWidth, target.m_iHeight});
   if (rect.is_empty() || source.m_iWidth < target.m_iWidth || source.m_iHeight < target.m_iHeight)
   {
      return;
   }
   // Half and quarter size, the canvas's usual zooms, are plain averages of 2 x 2 pixels.
   if (const int iHalvings = exact_halvings(source, target); iHalvings != 0)
   {
      halve_times({source}, {target}, rect, iHalvings);
      return;
   }
   const axis_weights across(source.m_iWidth, target.m_iWidth, rect.left, rect.right);
   const axis_weights down(source.m_iHeight, target.m_iHeight, rect.top, rect.bottom);
   const int xSource0 = across.first(rect.left);
   const int xSource1 = across.first(rect.right - 1) + across.count(rect.right - 1);
   const auto iBytes = static_cast<std::size_t>(xSource1 - xSource0) * 4;
   // Each target row: first the source rows down into one row of sums, then the sums across.
   std::vector<std::uint32_t> sums(iBytes);
   for (int y = rect.top; y < rect.bottom; ++y)
   {
      std::fill(sums.begin(), sums.end(), 0u);
      const std::uint32_t * pweightsDown = down.weights(y);
      for (int k = 0; k < down.count(y); ++k)
      {
         const std::uint8_t * psource = source.m_pdata + static_cast<std::size_t>(down.first(y) + k) * source.m_iStride + xSource0 * 4;
         const std::uint32_t uWeight = pweightsDown[k];
         for (std::size_t b = 0; b < iBytes; ++b)
         {
            sums[b] += uWeight * psource[b];
         }
      }
      // 16 bits of each sum are kept, so that the sums across stay within 32 bits.
      for (std::uint32_t & uSum : sums)
      {
         uSum = (uSum + 8) >> 4;
      }
      std::uint8_t * ptarget = target.m_pdata + static_cast<std::size_t>(y) * target.m_iStride;
      for (int x = rect.left; x < rect.right; ++x)
      {
         const std::uint32_t * pweightsAcross = across.weights(x);
         const std::uint32_t * psums = sums.data() + static_cast<std::size_t>(across.first(x) - xSource0) * 4;
         lanes channels = {};
         for (int k = 0; k < across.count(x); ++k)
         {
            lanes sum;
            std::memcpy(&sum, psums + k * 4, sizeof(sum));
            channels += pweightsAcross[k] * sum;
         }
         channels = (channels + (1u << 19)) >> 20;
         for (int c = 0; c < 4; ++c)
         {
            ptarget[x * 4 + c] = static_cast<std::uint8_t>(channels[c]);
         }
      }
   }
}

rectangle_i32 target_area_of(const rectangle_i32 & rectSource, const pixel_rows & source, const pixel_rows & target)
{
   const rectangle_i32 rect = rectSource.intersection({0, 0, source.m_iWidth, source.m_iHeight});
   if (rect.is_empty())
   {
      return {};
   }
   const auto [x0, x1] = target_span(rect.left, rect.right, source.m_iWidth, target.m_iWidth);
   const auto [y0, y1] = target_span(rect.top, rect.bottom, source.m_iHeight, target.m_iHeight);
   return {x0, y0, x1, y1};
}

} // namespace zel2d
