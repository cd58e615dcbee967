#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "orvo/exception.h"
#include "orvo/image.h"
#include "orvo/image32.h"
#include "orvo/straight_alpha.h"

namespace
{

std::uint32_t native(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
   return image::premultiplied_pixel(color::color(r, g, b, a));
}

} // namespace

TEST(Image, SizesOutsideTheLimitsAreRefusedAndLeaveAnEmptyPicture)
{
   EXPECT_TRUE(image::image::is_size_allowed(65535, 4096));
   EXPECT_TRUE(image::image::is_size_allowed(16384, 16384)); // exactly 2^28 pixels
   EXPECT_FALSE(image::image::is_size_allowed(65536, 1));
   EXPECT_FALSE(image::image::is_size_allowed(1, 65536));
   EXPECT_FALSE(image::image::is_size_allowed(65535, 4097));
   EXPECT_FALSE(image::image::is_size_allowed(0, 10));
   EXPECT_FALSE(image::image::is_size_allowed(10, -1));

   EXPECT_THROW(image::image(65536, 1), exception);
   EXPECT_FALSE(image::image(0, 5)._is_ok());

   image::image image(4, 3);
   ASSERT_TRUE(image._is_ok());
   EXPECT_FALSE(image.create(70000, 1));
   EXPECT_FALSE(image._is_ok());
   EXPECT_EQ(image.width(), 0);
   EXPECT_EQ(image.height(), 0);
}

TEST(Image, RecreatedInPlaceAtANewSizeAndTransparent)
{
   image::image image(2, 2);
   image.fill(color::color(10, 20, 30));
   ASSERT_TRUE(image.create(5, 3));
   EXPECT_EQ(image.width(), 5);
   EXPECT_EQ(image.height(), 3);
   EXPECT_EQ(image.scan_size(), 20);
   EXPECT_EQ(image.layout(), image::image::native_layout);
   for (int y = 0; y < 3; ++y)
   {
      for (int x = 0; x < 5; ++x)
      {
         EXPECT_EQ(image.pixel(x, y), 0u);
      }
   }
   EXPECT_EQ(image.row(2), image.data() + 10);
}

// A large picture let go keeps its memory for the next picture that fits in it while other
// pictures are in use (a rebuild), and the next picture still starts transparent; a picture of
// another size does not take it.
TEST(Image, ALargePictureMadeAgainAtTheSameSizeReusesTheMemoryCleared)
{
   image::give_back_kept_pixel_memory();
   const image::image inUse(2048, 2048);
   const std::uint32_t * pfirst = nullptr;
   {
      image::image large(2048, 2048);
      large.fill(color::color(10, 20, 30));
      pfirst = large.data();
   }
   image::image other(2048, 2049);
   EXPECT_NE(other.data(), pfirst);
   image::image again(2048, 2048);
   EXPECT_EQ(again.data(), pfirst);
   EXPECT_EQ(std::count(again.data(), again.data() + 2048 * 2048, 0u), 2048 * 2048);
}

// What a closed document let go is given back as the pictures still in use shrink: the kept
// memory never passes what is in use, and none is kept once no large picture is.
TEST(Image, PicturesLetGoAreKeptNoLargerThanThePicturesInUse)
{
   image::give_back_kept_pixel_memory();
   const std::size_t iInUseBefore = image::pixel_memory_in_use();
   auto psmall = std::make_unique<image::image>(1024, 1024);
   {
      std::vector<std::unique_ptr<image::image>> closed;
      for (int i = 0; i < 6; ++i)
      {
         closed.push_back(std::make_unique<image::image>(2048, 2048 + i));
      }
   }
   EXPECT_LE(image::kept_pixel_memory(), image::pixel_memory_in_use());
   EXPECT_LE(image::kept_pixel_memory(), std::size_t(4) << 20) << "no more than the one picture of 4 MiB left";
   psmall.reset();
   EXPECT_EQ(image::pixel_memory_in_use(), iInUseBefore);
   if (iInUseBefore == 0)
   {
      EXPECT_EQ(image::kept_pixel_memory(), 0u);
   }
}

// A kept block larger than asked serves a smaller picture (cut to its size), and a picture that
// no kept block holds leaves the kept blocks as they are; giving back empties the store.
TEST(Image, KeptBlocksServeSmallerPicturesAndAMissFreesNone)
{
   image::give_back_kept_pixel_memory();
   const image::image inUse(4096, 4096);
   const std::uint32_t * pfirst = nullptr;
   {
      const image::image first(2048, 2048);
      const image::image second(2048, 1024);
      pfirst = first.data();
   }
   const std::size_t iKept = image::kept_pixel_memory();
   EXPECT_EQ(iKept, std::size_t(24) << 20);
   {
      const image::image larger(4096, 2048);
      EXPECT_EQ(image::kept_pixel_memory(), iKept) << "a miss keeps every kept block";
   }
   image::give_back_kept_pixel_memory();
   {
      const image::image first(2048, 2048);
      pfirst = first.data();
   }
   const image::image smaller(2000, 1900);
   EXPECT_EQ(smaller.data(), pfirst);
   EXPECT_EQ(image::kept_pixel_memory(), 0u);
   const image::image barely(100, 100);
   image::give_back_kept_pixel_memory();
   EXPECT_EQ(image::kept_pixel_memory(), 0u);
}

// A decoder's picture is made at its size without being cleared first; the same size again
// keeps the memory.
TEST(Image, MadeForOverwriteAtTheSameSizeKeepsItsPixels)
{
   image::image picture(300, 200);
   picture.fill(color::color(1, 2, 3));
   const std::uint32_t * ppixels = picture.data();
   ASSERT_TRUE(picture.create_for_overwrite(300, 200));
   EXPECT_EQ(picture.data(), ppixels);
   EXPECT_EQ(picture.pixel(299, 199), image::premultiplied_pixel(color::color(1, 2, 3)));
   EXPECT_FALSE(picture.create_for_overwrite(0, 5));
   EXPECT_FALSE(picture._is_ok());
}

// A picture placed in another's rows shows its pixels there, row by row, with no copy; moved
// to an overlapping place in the same rows, or back into memory of its own, it keeps them; a
// picture that holds others is not made again under them.
TEST(Image, APicturePlacedInAnothersRowsKeepsItsPixelsWhereverItMoves)
{
   const auto numbered = [](int x, int y) { return static_cast<std::uint32_t>(0xff000000u | y << 8 | x); };
   auto pframe = make_pointer<image::image>(40, 30);
   pframe->fill(color::color(9, 9, 9));
   auto ppicture = make_pointer<image::image>(7, 5);
   for (int y = 0; y < 5; ++y)
   {
      for (int x = 0; x < 7; ++x)
      {
         ppicture->pixel(x, y) = numbered(x, y);
      }
   }
   const auto keeps_its_pixels = [&] {
      for (int y = 0; y < 5; ++y)
      {
         for (int x = 0; x < 7; ++x)
         {
            if (ppicture->pixel(x, y) != numbered(x, y))
            {
               return false;
            }
         }
      }
      return true;
   };
   ppicture->place_in(pframe, 10, 4, true);
   EXPECT_EQ(ppicture->holder(), pframe.get());
   EXPECT_TRUE(pframe->holds_others());
   EXPECT_EQ(ppicture->own_byte_count(), 0);
   EXPECT_EQ(ppicture->layout(), 40 * 4);
   EXPECT_EQ(pframe->pixel(12, 5), numbered(2, 1));
   EXPECT_TRUE(keeps_its_pixels());
   // Down and right, up and left, each overlapping the place before.
   for (const auto & [x, y] : {std::pair{13, 6}, std::pair{11, 3}, std::pair{11, 5}, std::pair{33, 25}})
   {
      ppicture->place_in(pframe, x, y, true);
      EXPECT_EQ(ppicture->x_in_holder(), x);
      EXPECT_EQ(ppicture->y_in_holder(), y);
      EXPECT_TRUE(keeps_its_pixels()) << x << ", " << y;
   }
   EXPECT_THROW(ppicture->place_in(pframe, 34, 0, true), std::logic_error);
   EXPECT_THROW(pframe->create(10, 10), std::logic_error);

   ppicture->clear();
   EXPECT_EQ(pframe->pixel(33, 25), 0u);
   EXPECT_EQ(pframe->pixel(32, 25), image::premultiplied_pixel(color::color(9, 9, 9))) << "the frame's pixels beside it stay";
   ppicture->fill(color::color(1, 2, 3));
   ASSERT_TRUE(ppicture->take_back_pixels());
   EXPECT_EQ(ppicture->holder(), nullptr);
   EXPECT_FALSE(pframe->holds_others());
   EXPECT_EQ(ppicture->layout(), image::image::native_layout);
   EXPECT_EQ(ppicture->pixel(6, 4), image::premultiplied_pixel(color::color(1, 2, 3)));
   EXPECT_TRUE(pframe->create(10, 10));

   const pointer<image::image> pnew = image::image::placed_in(pframe, 2, 3, 4, 4);
   EXPECT_EQ(pnew->data(), pframe->row(3) + 2);
   EXPECT_EQ(pnew->row(1), pframe->row(4) + 2);
}

TEST(Image, FillStoresTheColourPremultiplied)
{
   image::image image(3, 2);
   image.fill(color::color(200, 100, 50, 128));
   EXPECT_EQ(image.pixel(2, 1), 0x80643219u); // 200, 100, 50 scaled by 128/255, rounded
   image.fill(color::color(1, 2, 3));
   EXPECT_EQ(image.pixel(0, 0), 0xFF010203u);
   image.clear();
   EXPECT_EQ(image.pixel(0, 0), 0u);
}

TEST(Image, StraightAndPremultipliedFormsRoundTrip)
{
   // Every premultiplied value comes back exactly through its straight form, so nothing drifts
   // when a picture is saved and loaded again.
   for (int a = 0; a < 256; a += 3)
   {
      for (int c = 0; c <= a; ++c)
      {
         const std::uint32_t u = (std::uint32_t(a) << 24) | (std::uint32_t(c) << 16) | (std::uint32_t(a - c) << 8) | (c / 2);
         ASSERT_EQ(image::premultiplied_pixel(image::straight_color(u)), u) << a << " " << c;
      }
   }
   const color::color straight = image::straight_color(0x80643219u); // drawn as 200, 100, 50 at 128
   EXPECT_NEAR(straight.m_uchR, 200, 1);
   EXPECT_NEAR(straight.m_uchG, 100, 1);
   EXPECT_NEAR(straight.m_uchB, 50, 1);
   EXPECT_EQ(straight.m_uchA, 128);
   EXPECT_EQ(image::straight_color(0x00000000u), color::color(0, 0, 0, 0));

   const std::uint8_t rgba[8] = {255, 0, 0, 255, 0, 255, 0, 64};
   std::uint32_t words[2];
   image32_t::from_straight_rgba(rgba, 2, words);
   EXPECT_EQ(words[0], 0xFFFF0000u);
   EXPECT_EQ(words[1], 0x40004000u);
   std::uint8_t back[8];
   image32_t::to_straight_rgba(words, 2, back);
   EXPECT_EQ(std::vector<std::uint8_t>(back, back + 8), std::vector<std::uint8_t>(rgba, rgba + 8));
}

TEST(Image, BlendDrawsOverWithAlpha)
{
   image::image under(3, 2);
   under.fill(color::color(0, 0, 0));
   image::image over(2, 3); // taller and narrower: only the common part is drawn
   over.pixel(0, 0) = native(255, 255, 255, 255);
   over.pixel(1, 0) = native(200, 100, 50, 128);
   over.pixel(0, 1) = 0; // transparent keeps what is under it
   over.pixel(1, 1) = native(0, 0, 255, 255);
   under.blend(over);

   EXPECT_EQ(under.pixel(0, 0), 0xFFFFFFFFu);
   EXPECT_EQ(under.pixel(1, 0), 0xFF643219u); // over black: the premultiplied colour, now opaque
   EXPECT_EQ(under.pixel(0, 1), 0xFF000000u);
   EXPECT_EQ(under.pixel(1, 1), 0xFF0000FFu);
   EXPECT_EQ(under.pixel(2, 0), 0xFF000000u);

   // Half-transparent over half-transparent: alpha 128 + 128 * 127 / 255.
   image::image translucent(1, 1);
   translucent.fill(color::color(255, 0, 0, 128));
   image::image red(1, 1);
   red.fill(color::color(0, 0, 255, 128));
   translucent.blend(red);
   const color::color result = image::straight_color(translucent.pixel(0, 0));
   EXPECT_EQ(result.m_uchA, 192);
   EXPECT_NEAR(result.m_uchR, 85, 1);
   EXPECT_NEAR(result.m_uchB, 170, 1);
}

// A premultiplied pixel: transparent, opaque or translucent in about equal shares, as drawings
// over fills hold them.
std::uint32_t random_premultiplied(std::mt19937 & random)
{
   std::uniform_int_distribution<int> channel(0, 255);
   const int iKind = channel(random) % 3;
   if (iKind == 0)
   {
      return 0;
   }
   const std::uint8_t a = iKind == 1 ? 255 : static_cast<std::uint8_t>(channel(random));
   return native(static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(channel(random)), a);
}

std::vector<std::uint32_t> random_row(std::mt19937 & random, int iCount)
{
   std::vector<std::uint32_t> row(static_cast<std::size_t>(iCount));
   std::generate(row.begin(), row.end(), [&] { return random_premultiplied(random); });
   return row;
}

// Rows of every length up to a few blocks, blended into a third row and in place onto either.
TEST(Image, BlendRowBlendsEachPixelAsBlendPixel)
{
   std::mt19937 random(11);
   for (int iCount = 0; iCount < 40; ++iCount)
   {
      const std::vector<std::uint32_t> over = random_row(random, iCount);
      const std::vector<std::uint32_t> under = random_row(random, iCount);
      std::vector<std::uint32_t> expected(over.size());
      std::transform(over.begin(), over.end(), under.begin(), expected.begin(), image::blend_pixel);

      std::vector<std::uint32_t> target(over.size(), 0xdeadbeef);
      image::blend_row(target.data(), over.data(), under.data(), iCount);
      EXPECT_EQ(target, expected) << iCount << " pixels";
      std::vector<std::uint32_t> ontoUnder = under;
      image::blend_row(ontoUnder.data(), over.data(), iCount);
      EXPECT_EQ(ontoUnder, expected) << iCount << " pixels onto under";
      std::vector<std::uint32_t> intoOver = over;
      image::blend_row(intoOver.data(), intoOver.data(), under.data(), iCount);
      EXPECT_EQ(intoOver, expected) << iCount << " pixels into over";
   }
}

TEST(Image, VerticalSwapCopyReversesTheRows)
{
   // Source rows of 3 pixels padded to 16 bytes; destination packed.
   const std::uint32_t source[4 * 4] = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
   std::vector<image32_t> destination(12);
   destination[0].vertical_swap_copy(3, 4, 12, reinterpret_cast<const image32_t *>(source), 16);
   const std::uint32_t expected[12] = {10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3};
   for (int i = 0; i < 12; ++i)
   {
      EXPECT_EQ(destination[i].m_u32, expected[i]) << i;
   }

   // Layout -1: packed source rows.
   const std::uint32_t packed[4] = {1, 2, 3, 4};
   std::vector<image32_t> swapped(4);
   swapped[0].vertical_swap_copy(2, 2, 8, reinterpret_cast<const image32_t *>(packed), -1);
   EXPECT_EQ(swapped[0].m_u32, 3u);
   EXPECT_EQ(swapped[3].m_u32, 2u);
}
