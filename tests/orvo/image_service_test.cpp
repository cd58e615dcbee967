#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "orvo/image32.h"
#include "orvo/straight_alpha.h"
#include "orvo/image_service.h"
#include "orvo/png_codec.h"
#include "orvo/png_written_here.h"
#include "address_space_limit.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace
{

using bytes = std::vector<std::uint8_t>;

bytes read_file(const fs::path & path)
{
   std::ifstream in(path, std::ios::binary);
   return bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_file(const fs::path & path, const bytes & memory)
{
   std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(memory.data()), static_cast<std::streamsize>(memory.size()));
}

// The standard output of a command.
bytes run(const string_base & strCommand)
{
   bytes output;
   FILE * pipe = ::popen(strCommand.c_str(), "r");
   if (!pipe)
   {
      return output;
   }
   char buffer[65536];
   std::size_t size = 0;
   while ((size = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
   {
      output.insert(output.end(), buffer, buffer + size);
   }
   ::pclose(pipe);
   return output;
}

// Straight RGBA bytes of a file as an independent reader decodes them. ImageMagick keeps a TGA's
// rows in file order and only notes their orientation, which -auto-orient applies.
bytes read_with_imagemagick(const fs::path & path)
{
   return run(format("/usr/bin/convert '%s' -auto-orient -depth 8 rgba:- 2>/dev/null", path.c_str()));
}

bytes read_with_pillow(const fs::path & path)
{
   return run(format("/usr/bin/python3 -c \"import sys; from PIL import Image; "
                     "sys.stdout.buffer.write(Image.open(sys.argv[1]).convert('RGBA').tobytes())\" '%s' 2>/dev/null",
                     path.c_str()));
}

// Our picture as straight RGBA bytes.
bytes straight_rgba(const image::image & image)
{
   bytes rgba(static_cast<std::size_t>(image.width()) * image.height() * 4);
   image32_t::to_straight_rgba(image.data(), image.width() * image.height(), rgba.data());
   return rgba;
}

// A linear congruential generator: the same seed gives the same numbers.
struct lcg
{
   std::uint32_t uState;
   std::uint32_t operator()() { return uState = uState * 1664525u + 1013904223u; }
};

// What a picture of the PNG tests shows: noise drawn from a generator, opaque or with an alpha
// drawn after each colour, or opaque rows that repeat with a few colours.
enum class png_content
{
   opaque_noise,
   translucent_noise,
   few_colours,
};

pointer<image::image> png_test_picture(int iWidth, int iHeight, png_content content, lcg & next)
{
   auto ppicture = make_pointer<image::image>(iWidth, iHeight);
   for (int y = 0; y < iHeight; ++y)
   {
      for (int x = 0; x < iWidth; ++x)
      {
         const std::uint32_t u = content == png_content::few_colours ? (x / 7 % 3) * 0x404040u + static_cast<std::uint32_t>(y % 2) : next() >> 8;
         const auto alpha = static_cast<std::uint8_t>(content == png_content::translucent_noise ? next() >> 24 : 255);
         ppicture->pixel(x, y) = image::premultiplied_pixel(color::color(static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                                                        static_cast<std::uint8_t>(u >> 16), alpha));
      }
   }
   return ppicture;
}

// An asymmetric picture (so that a flipped or mirrored file fails) with opaque, semi-transparent
// and transparent pixels, and an odd width.
pointer<image::image> test_picture()
{
   auto pimage = make_pointer<image::image>(7, 5);
   for (int y = 0; y < 5; ++y)
   {
      for (int x = 0; x < 7; ++x)
      {
         pimage->pixel(x, y) = image::premultiplied_pixel(color::color(static_cast<std::uint8_t>(x * 36), static_cast<std::uint8_t>(y * 60), 200));
      }
   }
   pimage->pixel(0, 0) = image::premultiplied_pixel(color::color(200, 100, 50, 128));
   pimage->pixel(6, 0) = image::premultiplied_pixel(color::color(10, 220, 90, 192));
   pimage->pixel(3, 4) = 0;
   return pimage;
}

// A picture of more than 256 colours, so that PNG cannot use a palette.
pointer<image::image> gradient_picture(bool bOpaque)
{
   auto pimage = make_pointer<image::image>(40, 30);
   for (int y = 0; y < 30; ++y)
   {
      for (int x = 0; x < 40; ++x)
      {
         const auto alpha = static_cast<std::uint8_t>(bOpaque ? 255 : 128 + (x + y) % 128);
         pimage->pixel(x, y) = image::premultiplied_pixel(color::color(static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8), 77, alpha));
      }
   }
   return pimage;
}

// A picture of iColours colours (one of them half transparent) and an odd width, so that PNG packs
// 1, 2, 4 or 8 palette bits a pixel with a partly filled last byte.
pointer<image::image> few_colours_picture(int iColours)
{
   auto pimage = make_pointer<image::image>(13, 6);
   for (int y = 0; y < 6; ++y)
   {
      for (int x = 0; x < 13; ++x)
      {
         const int i = (x * 5 + y * 3) % iColours;
         const auto alpha = static_cast<std::uint8_t>(i == 1 ? 128 : 255);
         pimage->pixel(x, y) = image::premultiplied_pixel(color::color(static_cast<std::uint8_t>(i * 15), 40, static_cast<std::uint8_t>(255 - i), alpha));
      }
   }
   return pimage;
}

// Rows of 300 pixels: one colour, all different, and runs and single pixels mixed, so that TGA's
// run-length packets reach their limit of 128 pixels both ways.
pointer<image::image> long_rows_picture()
{
   auto pimage = make_pointer<image::image>(300, 3);
   for (int x = 0; x < 300; ++x)
   {
      pimage->pixel(x, 0) = 0xFF336699u;
      pimage->pixel(x, 1) = 0xFF000000u | static_cast<std::uint32_t>(x * 997);
      pimage->pixel(x, 2) = x % 7 < 3 ? 0x80402010u : 0xFF000000u | static_cast<std::uint32_t>(x);
   }
   return pimage;
}

// Pixels equal within a tolerance (lossy formats); a message names the first pixel that differs.
::testing::AssertionResult same_pixels(const bytes & expected, const bytes & actual, int iTolerance)
{
   if (expected.size() != actual.size())
   {
      return ::testing::AssertionFailure() << "sizes differ: " << expected.size() << " and " << actual.size();
   }
   for (std::size_t i = 0; i < expected.size(); ++i)
   {
      if (std::abs(int(expected[i]) - int(actual[i])) > iTolerance)
      {
         return ::testing::AssertionFailure() << "pixel " << i / 4 << " channel " << i % 4 << ": " << int(expected[i])
                                              << " against " << int(actual[i]);
      }
   }
   return ::testing::AssertionSuccess();
}

// Straight RGBA of a picture as JPG keeps it: alpha gone, each pixel its straight colour.
bytes opaque(bytes rgba)
{
   for (std::size_t i = 3; i < rgba.size(); i += 4)
   {
      rgba[i] = 255;
   }
   return rgba;
}

struct format_case
{
   const char * pszName;
   int iFormat;
   const char * pszExtension;
   int iTolerance;
   bool bKeepsAlpha;
};

const format_case format_cases[] = {
   {"PNG", image::e_save_format_png, "png", 0, true},
   {"default", image::e_save_format_default, "png", 0, true},
   {"BMP", image::e_save_format_bmp, "bmp", 0, true},
   {"TGA", image::e_save_format_tga, "tga", 0, true},
   {"JPG", image::e_save_format_jpg, "jpg", 24, false},
};

class ImageFormats : public ::testing::TestWithParam<format_case>
{
};

} // namespace

TEST_P(ImageFormats, RoundTripAndIndependentReadersSeeTheDrawnColours)
{
   const format_case & format_case = GetParam();
   const fs::path folder = fresh_folder(format("image-%s", format_case.pszName).c_str());
   std::vector<pointer<image::image>> pictures = {test_picture(), gradient_picture(true), gradient_picture(false)};
   if (format_case.iTolerance == 0)
   {
      // Palette packing and run-length packets; their sharp patterns are beyond a lossy format.
      pictures.insert(pictures.end(), {few_colours_picture(2), few_colours_picture(4), few_colours_picture(16), long_rows_picture()});
   }
   for (const pointer<image::image> & pimage : pictures)
   {
      SCOPED_TRACE(format("%d x %d", pimage->width(), pimage->height()));
      const fs::path path = folder / format("picture.%s", format_case.pszExtension);
      ASSERT_TRUE(image::save_image(*pimage, path, {format_case.iFormat, 90}));

      const bytes expected = format_case.bKeepsAlpha ? straight_rgba(*pimage) : opaque(straight_rgba(*pimage));
      outcome<pointer<image::image>> loaded = image::load_image(path);
      ASSERT_TRUE(loaded) << loaded.error();
      EXPECT_EQ(loaded.value()->width(), pimage->width());
      EXPECT_EQ(loaded.value()->height(), pimage->height());
      EXPECT_TRUE(same_pixels(expected, straight_rgba(*loaded.value()), format_case.iTolerance));

      EXPECT_TRUE(same_pixels(expected, read_with_pillow(path), format_case.iTolerance)) << "Pillow";
      EXPECT_TRUE(same_pixels(expected, read_with_imagemagick(path), format_case.iTolerance)) << "ImageMagick";
   }
   fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(EverySaveFormat, ImageFormats, ::testing::ValuesIn(format_cases),
                         [](const auto & info) { return string_base(info.param.pszName); });

TEST(ImageService, LosslessSavesComeBackBitForBit)
{
   // Premultiplied pixels leave straight and come back premultiplied with no drift.
   for (int iFormat : {image::e_save_format_png, image::e_save_format_bmp, image::e_save_format_tga})
   {
      const pointer<image::image> pimage = gradient_picture(false);
      const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(*pimage, {iFormat, -1});
      ASSERT_TRUE(encoded) << encoded.error();
      const outcome<pointer<image::image>> loaded = image::load_image_from_memory(encoded->data(), encoded->size());
      ASSERT_TRUE(loaded) << loaded.error();
      EXPECT_EQ(std::vector<std::uint32_t>(loaded.value()->data(), loaded.value()->data() + 1200),
                std::vector<std::uint32_t>(pimage->data(), pimage->data() + 1200))
         << iFormat;
   }
}

// Full-colour pictures (opaque noise is written as RGB, translucent noise as RGBA) at odd sizes,
// one a pixel wide or high, and one larger than a megabyte of file: decoded, each is the picture
// encoded, pixel for pixel.
TEST(ImageService, PngRoundTripsNoiseOfOddSizesPixelForPixel)
{
   lcg next{7};
   for (const auto & [iWidth, iHeight] : {std::pair{1, 1}, std::pair{1, 301}, std::pair{257, 1}, std::pair{1001, 3}, std::pair{733, 1211}})
   {
      for (const bool bOpaque : {true, false})
      {
         const pointer<image::image> ppicture =
            png_test_picture(iWidth, iHeight, bOpaque ? png_content::opaque_noise : png_content::translucent_noise, next);
         const image::image & picture = *ppicture;
         const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(picture, {image::e_save_format_png, -1});
         ASSERT_TRUE(encoded) << encoded.error();
         const outcome<pointer<image::image>> decoded = image::load_image_from_memory(encoded->data(), encoded->size());
         ASSERT_TRUE(decoded) << decoded.error();
         ASSERT_EQ(decoded.value()->width(), iWidth);
         ASSERT_EQ(decoded.value()->height(), iHeight);
         EXPECT_TRUE(std::equal(picture.data(), picture.data() + std::size_t(iWidth) * iHeight, decoded.value()->data()))
            << iWidth << " x " << iHeight << (bOpaque ? " opaque" : " translucent");
      }
   }
}

// The files the program writes in full colour take the faster inflater, which must give libpng's
// pixels; any file it is not sure of (cut, a byte changed, a palette) goes to libpng, and what it
// does read is what libpng reads.
TEST(ImageService, PngFilesWrittenHereDecodeAsLibpngDecodesThem)
{
   lcg next{11};
   std::size_t iFast = 0;
   for (const auto & [iWidth, iHeight] : {std::pair{1, 1}, std::pair{3, 257}, std::pair{300, 2}, std::pair{611, 389}, std::pair{1400, 900}})
   {
      for (int iKind = 0; iKind < 3; ++iKind)
      {
         // Opaque noise (RGB; a palette when it is small), translucent noise (RGBA), and rows that
         // repeat with a few colours (a palette).
         const pointer<image::image> ppicture = png_test_picture(iWidth, iHeight, static_cast<png_content>(iKind), next);
         const image::image & picture = *ppicture;
         outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(picture, {image::e_save_format_png, -1});
         ASSERT_TRUE(encoded) << encoded.error();
         for (int iChange = 0; iChange < 8; ++iChange)
         {
            std::vector<std::uint8_t> file = encoded.value();
            if (iChange % 4 == 1)
            {
               file[next() % file.size()] ^= static_cast<std::uint8_t>(1 + next() % 255);
            }
            else if (iChange % 4 == 2)
            {
               file.resize(next() % file.size());
            }
            const std::optional<pointer<image::image>> ofast = image::png_codec::decode_written_here(file.data(), file.size());
            const outcome<pointer<image::image>> slow = image::png_codec::decode_with_libpng(file.data(), file.size());
            if (iChange % 4 == 0 && iKind != 2 && iWidth * iHeight > 1000)
            {
               ASSERT_TRUE(ofast) << iWidth << " x " << iHeight << " kind " << iKind;
            }
            if (!ofast)
            {
               continue;
            }
            ++iFast;
            ASSERT_TRUE(slow) << slow.error();
            const image::image & a = **ofast;
            const image::image & b = *slow.value();
            ASSERT_EQ(a.width(), b.width());
            ASSERT_EQ(a.height(), b.height());
            EXPECT_TRUE(std::equal(a.data(), a.data() + std::size_t(a.width()) * a.height(), b.data())) << iWidth << " x " << iHeight << " kind " << iKind;
         }
      }
   }
   EXPECT_GE(iFast, 12u);
}

// The fast reader holds no memory of its own once its pictures are let go: the rows it inflates
// (16 MiB here) are given back with the pixels.
TEST(ImageService, TheFastPngReaderGivesItsMemoryBackWithItsPictures)
{
#if defined(__SANITIZE_ADDRESS__)
   GTEST_SKIP() << "the address sanitizer keeps freed memory for itself";
#endif
   lcg next{5};
   const std::vector<std::uint8_t> file =
      image::save_image_to_memory(*png_test_picture(2048, 2048, png_content::translucent_noise, next), {image::e_save_format_png, -1}).value();
   image::give_back_kept_pixel_memory();
   const std::uint64_t uBefore = address_space_in_use();
   ASSERT_TRUE(image::png_codec::decode_written_here(file.data(), file.size()));
   image::give_back_kept_pixel_memory();
   EXPECT_LT(address_space_in_use(), uBefore + (std::uint64_t{4} << 20));
}

TEST(ImageService, SaveFormatCodesPickTheFormat)
{
   const pointer<image::image> pimage = test_picture();
   const auto starts_with = [&](int iFormat, const bytes & signature)
   {
      const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(*pimage, {iFormat, -1});
      return encoded && bytes(encoded->begin(), encoded->begin() + signature.size()) == signature;
   };
   EXPECT_TRUE(starts_with(image::e_save_format_default, {0x89, 'P', 'N', 'G'}));
   EXPECT_TRUE(starts_with(image::e_save_format_png, {0x89, 'P', 'N', 'G'}));
   EXPECT_TRUE(starts_with(image::e_save_format_bmp, {'B', 'M'}));
   EXPECT_TRUE(starts_with(image::e_save_format_jpg, {0xFF, 0xD8, 0xFF}));
   EXPECT_TRUE(starts_with(image::e_save_format_tga, {0, 0, 10}));

   const outcome<std::vector<std::uint8_t>> unknown = image::save_image_to_memory(*pimage, {3, -1});
   EXPECT_FALSE(unknown);
   EXPECT_EQ(unknown.error(), "unknown save format 3");
   EXPECT_FALSE(image::save_image_to_memory(image::image(), {image::e_save_format_png, -1}));
}

TEST(ImageService, DeclaredSizesAreReadFromTheHeaderOfEveryFormat)
{
   const pointer<image::image> pimage = test_picture();
   for (const int iFormat : {image::e_save_format_png, image::e_save_format_bmp, image::e_save_format_jpg, image::e_save_format_tga})
   {
      const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(*pimage, {iFormat, -1});
      const std::optional<size_type<int>> osize = image::declared_size_of_memory(encoded->data(), encoded->size());
      ASSERT_TRUE(osize) << "format " << iFormat;
      EXPECT_EQ(*osize, (size_type<int>{pimage->width(), pimage->height()})) << "format " << iFormat;
   }
   const bytes garbage = {'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
   EXPECT_FALSE(image::declared_size_of_memory(garbage.data(), garbage.size()));
   EXPECT_FALSE(image::declared_size_of_memory(nullptr, 0));
}

TEST(ImageService, JpgQualityChangesTheFile)
{
   const pointer<image::image> pimage = gradient_picture(true);
   const auto size_at = [&](int iQuality) { return image::save_image_to_memory(*pimage, {image::e_save_format_jpg, iQuality}).value().size(); };
   EXPECT_LT(size_at(10), size_at(90));
   EXPECT_EQ(size_at(-1), size_at(90));
}

TEST(ImageService, ReadsFilesMadeByAnotherProgram)
{
   // Forms that we never write: 16-bit, grey and interlaced PNG, progressive and CMYK JPG,
   // 24-bit BMP, uncompressed TGA.
   const fs::path folder = fresh_folder("image-foreign");
   const fs::path source = folder / "source.png";
   ASSERT_TRUE(image::save_image(*gradient_picture(true), source, {image::e_save_format_png, -1}));
   const bytes expected = straight_rgba(*gradient_picture(true));
   const struct
   {
      const char * pszOutput;
      const char * pszOptions;
      int iTolerance;
   } cases[] = {
      {"deep.png", "-depth 16", 0},
      {"interlaced.png", "-interlace PNG", 0},
      {"progressive.jpg", "-interlace JPEG -quality 95", 12},
      {"plain.bmp", "-type TrueColor", 0},
      {"cmyk.jpg", "-colorspace CMYK -quality 100", 12},
   };
   for (const auto & onecase : cases)
   {
      const fs::path path = folder / onecase.pszOutput;
      run(format("/usr/bin/convert '%s' %s '%s'", source.c_str(), onecase.pszOptions, path.c_str()));
      outcome<pointer<image::image>> loaded = image::load_image(path);
      ASSERT_TRUE(loaded) << onecase.pszOutput << ": " << loaded.error();
      EXPECT_TRUE(same_pixels(expected, straight_rgba(*loaded.value()), onecase.iTolerance)) << onecase.pszOutput;
   }

   // ImageMagick writes TGA rows upside down; Pillow makes the uncompressed one.
   const fs::path tga = folder / "plain.tga";
   run(format("/usr/bin/python3 -c \"import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2], compression=None)\" '%s' '%s'",
              source.c_str(), tga.c_str()));
   outcome<pointer<image::image>> loadedTga = image::load_image(tga);
   ASSERT_TRUE(loadedTga) << loadedTga.error();
   EXPECT_TRUE(same_pixels(expected, straight_rgba(*loadedTga.value()), 0));

   const fs::path grey = folder / "grey.png";
   run(format("/usr/bin/convert '%s' -colorspace Gray '%s'", source.c_str(), grey.c_str()));
   const outcome<pointer<image::image>> loaded = image::load_image(grey);
   ASSERT_TRUE(loaded) << loaded.error();
   const color::color pixel = image::straight_color(loaded.value()->pixel(5, 5));
   EXPECT_EQ(pixel.m_uchR, pixel.m_uchG);
   EXPECT_EQ(pixel.m_uchA, 255);
   fs::remove_all(folder);
}

TEST(ImageService, GarbageAndCutFilesAreFailuresWithAReason)
{
   const bytes garbage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', 0, 1, 2, 3};
   outcome<pointer<image::image>> result = image::load_image_from_memory(garbage.data(), garbage.size());
   EXPECT_FALSE(result);
   EXPECT_EQ(result.error(), "not a picture in a known format (PNG, JPG, BMP, TGA)");
   EXPECT_EQ(image::load_image_from_memory(nullptr, 0).error(), "no data");

   const pointer<image::image> pimage = gradient_picture(false);
   for (int iFormat : {image::e_save_format_png, image::e_save_format_jpg, image::e_save_format_bmp, image::e_save_format_tga})
   {
      const bytes whole = image::save_image_to_memory(*pimage, {iFormat, -1}).value();
      for (std::size_t size : {std::size_t(1), std::size_t(12), std::size_t(40), whole.size() / 2, whole.size() - 20})
      {
         result = image::load_image_from_memory(whole.data(), size);
         EXPECT_FALSE(result) << "format " << iFormat << " cut at " << size;
         EXPECT_FALSE(result.error().empty());
      }
   }
}

namespace
{

// A PNG whose header declares the given size (with a valid checksum) and whose data is a stub.
bytes png_declaring(std::uint32_t uWidth, std::uint32_t uHeight)
{
   bytes png = image::save_image_to_memory(*test_picture(), {image::e_save_format_png, -1}).value();
   auto put_be32 = [&png](std::size_t offset, std::uint32_t u)
   {
      for (int i = 0; i < 4; ++i)
      {
         png[offset + i] = static_cast<std::uint8_t>(u >> (24 - 8 * i));
      }
   };
   put_be32(16, uWidth);
   put_be32(20, uHeight);
   put_be32(29, static_cast<std::uint32_t>(::crc32(0, png.data() + 12, 17)));
   return png;
}

void put_le16(bytes & memory, std::size_t offset, std::uint32_t u)
{
   memory[offset] = static_cast<std::uint8_t>(u);
   memory[offset + 1] = static_cast<std::uint8_t>(u >> 8);
}

} // namespace

TEST(ImageService, HugeDeclaredSizesAreRefusedBeforeAllocating)
{
   bytes png = png_declaring(70000, 10);
   outcome<pointer<image::image>> result = image::load_image_from_memory(png.data(), png.size());
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("too large"), string_base::npos) << result.error();

   png = png_declaring(20000, 20000);
   result = image::load_image_from_memory(png.data(), png.size());
   EXPECT_NE(result.error().find("PNG: picture too large: 20000 x 20000 pixels"), string_base::npos) << result.error();

   // Within the limits, but far more than a few hundred bytes can hold.
   png = png_declaring(16384, 16384);
   result = image::load_image_from_memory(png.data(), png.size());
   EXPECT_NE(result.error().find("cannot hold 16384 x 16384 pixels"), string_base::npos) << result.error();

   const pointer<image::image> pimage = test_picture();
   bytes bmp = image::save_image_to_memory(*pimage, {image::e_save_format_bmp, -1}).value();
   bmp[18] = 0xFF; // width 65535
   bmp[19] = 0xFF;
   bmp[22] = 0xFF; // height 65535
   bmp[23] = 0xFF;
   result = image::load_image_from_memory(bmp.data(), bmp.size());
   EXPECT_NE(result.error().find("BMP: picture too large"), string_base::npos) << result.error();

   bytes tga = image::save_image_to_memory(*pimage, {image::e_save_format_tga, -1}).value();
   put_le16(tga, 12, 60000);
   put_le16(tga, 14, 60000);
   result = image::load_image_from_memory(tga.data(), tga.size());
   EXPECT_NE(result.error().find("TGA: picture too large"), string_base::npos) << result.error();

   // The JPG frame header (SOF0) holds the height, then the width, big-endian.
   bytes jpg = image::save_image_to_memory(*pimage, {image::e_save_format_jpg, -1}).value();
   for (std::size_t i = 2; i + 9 < jpg.size(); ++i)
   {
      if (jpg[i] == 0xFF && jpg[i + 1] == 0xC0)
      {
         jpg[i + 5] = 0xEA; // 60000 x 60000
         jpg[i + 6] = 0x60;
         jpg[i + 7] = 0xEA;
         jpg[i + 8] = 0x60;
         break;
      }
   }
   result = image::load_image_from_memory(jpg.data(), jpg.size());
   EXPECT_NE(result.error().find("JPG: picture too large: 60000 x 60000"), string_base::npos) << result.error();
}

TEST(ImageService, FuzzerFindsAreRefusedQuickly)
{
   // A BMP of 55 bytes declaring 8204 x 2304 pixels under an unknown compression, which the
   // decoder would have filled with black.
   const bytes bmp = read_file(BRISVANE_SOURCE_DIR "/tests/fuzz/seeds/fuzz_image_load/found-bmp-unknown-compression.bmp");
   ASSERT_EQ(bmp.size(), 55u);
   const outcome<pointer<image::image>> result = image::load_image_from_memory(bmp.data(), bmp.size());
   EXPECT_EQ(result.error(), "BMP: compression 4278190144 is not supported");

   // Progressive JPGs of a few hundred bytes: one declaring 32780 x 4171 pixels in full colour,
   // whose coefficients alone would take 800 MB; one, arithmetic-coded, declaring 16384 x 16000
   // pixels with halved chroma, whose coefficients (750 MiB) and picture (1000 MiB) each fit but
   // together took more than 2 GB.
   for (const char * pszName : {"found-progressive-jpg-huge.jpg", "found-progressive-arithmetic-jpg-huge.jpg"})
   {
      const bytes jpg = read_file(fs::path(BRISVANE_SOURCE_DIR "/tests/fuzz/seeds/fuzz_image_load") / pszName);
      ASSERT_LT(jpg.size(), 400u) << pszName;
      EXPECT_EQ(image::load_image_from_memory(jpg.data(), jpg.size()).error(),
                "JPG: a progressive file this large would take more than 1280 MiB to read, the picture included")
         << pszName;
   }
}

TEST(ImageService, AFailedSaveSaysSoAndLeavesNoFile)
{
   const fs::path folder = fresh_folder("image-unwritable");
   const pointer<image::image> pimage = test_picture();

   const fs::path missing = folder / "no-such-folder" / "out.png";
   outcome<file::written> written = image::save_image(*pimage, missing, {image::e_save_format_png, -1});
   EXPECT_FALSE(written);
   EXPECT_NE(written.error().find("cannot write"), string_base::npos);

   // A folder stands under the target name: nothing replaces it, and no temporary file is left.
   fs::create_directories(folder / "taken.png" / "inside");
   EXPECT_FALSE(image::save_image(*pimage, folder / "taken.png", {image::e_save_format_png, -1}));
   EXPECT_TRUE(fs::is_directory(folder / "taken.png" / "inside"));

   // A picture that cannot be encoded never touches an existing file.
   write_file(folder / "old.png", {1, 2, 3});
   written = image::save_image(image::image(), folder / "old.png", {image::e_save_format_png, -1});
   EXPECT_FALSE(written);
   EXPECT_EQ(read_file(folder / "old.png"), (bytes{1, 2, 3}));
   EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
   fs::remove_all(folder);
}

TEST(ImageService, MissingFileIsAFailureNamingIt)
{
   const outcome<pointer<image::image>> result = image::load_image("/nonexistent/picture.png");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("/nonexistent/picture.png"), string_base::npos);
}
