#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>

#include <sys/resource.h>
#include <unistd.h>

#include "core/PSDSaver.h"
#include "document/boxes_layer.h"
#include "orvo/straight_alpha.h"
#include "psd_reading.h"
#include "test_files.h"

using Tarvossa_BrisvanePro::PSDSaver;
namespace fs = std::filesystem;

namespace
{

class PSDSaverTest : public ::testing::Test
{
protected:
   void SetUp() override
   {
      m_folder = fresh_folder(format("psd-%s", ::testing::UnitTest::GetInstance()->current_test_info()->name()));
   }

   void TearDown() override { fs::remove_all(m_folder); }

   std::size_t files_in_folder() const
   {
      return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
   }

   fs::path m_folder;
   pointer<PSDSaver> m_psaver = new PSDSaver;
};

// A picture drawn in straight colours, held in the native premultiplied form.
pointer<image::image> picture(int w, int h, const std::function<color::color(int, int)> & colour_at)
{
   pointer<image::image> pimage = new image::image(w, h);
   for (int y = 0; y < h; ++y)
   {
      for (int x = 0; x < w; ++x)
      {
         pimage->pixel(x, y) = image::premultiplied_pixel(colour_at(x, y));
      }
   }
   return pimage;
}

string_base bytes(std::initializer_list<int> values)
{
   string_base str;
   for (const int value : values)
   {
      str.push_back(static_cast<char>(value));
   }
   return str;
}

// Where the first layer's name field lies: after the 26-byte header, the three section lengths,
// the layer info length and count, and the record's 58 bytes of bounds, channels, blending and
// extra-data length, then the empty mask and blending-range lengths.
constexpr std::size_t first_name_offset = 26 + 4 + 4 + 4 + 4 + 2 + 58 + 8;

// The canonical text that tests/module/read_psd.py prints for a document.
struct expected_layer
{
   string_base m_strName;
   int m_iX;
   int m_iY;
   pointer<image::image> m_pimage;
   std::function<color::color(int, int)> m_colour;
};

outcome<file::written> save(const std::vector<expected_layer> & layers, const image::image & composite, const fs::path & path)
{
   pointer<PSDSaver> psaver = new PSDSaver;
   for (const auto & layer : layers)
   {
      psaver->add_layer(layer.m_iX, layer.m_iY, layer.m_pimage, layer.m_strName);
   }
   return psaver->savePSD(composite, path);
}

string_base colour_rows(int w, int h, const std::function<color::color(int, int)> & colour_at, bool bAlpha)
{
   string_base str;
   for (int y = 0; y < h; ++y)
   {
      for (int x = 0; x < w; ++x)
      {
         const color::color c = colour_at(x, y);
         str += format(x ? " %d,%d,%d" : "%d,%d,%d", c.m_uchR, c.m_uchG, c.m_uchB);
         str += bAlpha ? format(",%d", c.m_uchA) : "";
      }
      str += "\n";
   }
   return str;
}

// What a reader reports of each layer: everything, or (Pillow) only its name and bounds.
enum enum_reader_sees
{
   e_reader_sees_everything,
   e_reader_sees_names_and_bounds,
};

string_base expected_reading(int w, int h, const std::function<color::color(int, int)> & composite,
                             const std::vector<expected_layer> & layers, enum_reader_sees esees)
{
   string_base str = format("size %d %d\ncomposite\n", w, h) + colour_rows(w, h, composite, false);
   for (const auto & layer : layers)
   {
      const int lw = layer.m_pimage->width();
      const int lh = layer.m_pimage->height();
      str += format("layer %s %d %d %d %d", layer.m_strName.c_str(), layer.m_iX, layer.m_iY, layer.m_iX + lw, layer.m_iY + lh);
      if (esees == e_reader_sees_everything)
      {
         str += " 255\n" + colour_rows(lw, lh, layer.m_colour, true);
      }
      else
      {
         str += "\n";
      }
   }
   return str;
}

string_base read_with(const char * pszReader, const fs::path & path) { return read_psd_with(pszReader, path.c_str()); }

// Colours that come back exactly from the premultiplied form, transparent ones included.
color::color opaque_pattern(int x, int y) { return color::color(10 + 40 * x, 20 + 30 * y, 200 - 7 * x * y); }

} // namespace

TEST_F(PSDSaverTest, SmallLayerIsWrittenByteForByte)
{
   // A 2 x 1 layer at (5, 7): one opaque pixel and one half transparent, whose straight colour
   // (128, 64, 32) must leave the file, not its premultiplied (64, 32, 16).
   pointer<image::image> player = new image::image(2, 1);
   player->pixel(0, 0) = 0xFF0A141E;
   player->pixel(1, 0) = 0x80402010;
   m_psaver->add_layer(5, 7, player, "Screen1");
   pointer<image::image> pcomposite = picture(3, 2, [](int x, int y) {
      const int i = 3 * (3 * y + x);
      return color::color(i + 1, i + 2, i + 3);
   });
   const fs::path path = m_folder / "small.psd";
   ASSERT_TRUE(m_psaver->savePSD(*pcomposite, path));

   const string_base expected =
      bytes({'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3,   // signature, version, reserved, 3 channels
             0, 0, 0, 2, 0, 0, 0, 3, 0, 8, 0, 3,                 // 2 rows, 3 columns, 8 bits, RGB
             0, 0, 0, 0, 0, 0, 0, 0,                             // no colour mode data, no resources
             0, 0, 0, 132, 0, 0, 0, 124, 0, 1,                   // layer and mask length, layer info length, 1 layer
             0, 0, 0, 7, 0, 0, 0, 5, 0, 0, 0, 8, 0, 0, 0, 7,     // top, left, bottom, right
             0, 4,                                               // four channels of 2 + 2 bytes
             0, 0, 0, 0, 0, 4, 0, 1, 0, 0, 0, 4, 0, 2, 0, 0, 0, 4, 0xFF, 0xFF, 0, 0, 0, 4,
             '8', 'B', 'I', 'M', 'n', 'o', 'r', 'm', 255, 0, 0, 0,  // normal blending, opaque, visible
             0, 0, 0, 48, 0, 0, 0, 0, 0, 0, 0, 0,                // extra data: no mask, no blending ranges
             7, 'S', 'c', 'r', 'e', 'e', 'n', '1',               // the name, already a multiple of 4
             '8', 'B', 'I', 'M', 'l', 'u', 'n', 'i', 0, 0, 0, 20, 0, 0, 0, 7,
             0, 'S', 0, 'c', 0, 'r', 0, 'e', 0, 'e', 0, 'n', 0, '1', 0, 0,
             0, 0, 10, 128, 0, 0, 20, 64, 0, 0, 30, 32,          // red, green, blue in straight alpha
             0, 0, 255, 128,                                     // transparency
             0, 0, 0, 0,                                         // no global layer mask
             0, 0,                                               // raw flattened image, planes top row first
             1, 4, 7, 10, 13, 16, 2, 5, 8, 11, 14, 17, 3, 6, 9, 12, 15, 18});
   EXPECT_EQ(read_all(path), expected);
   EXPECT_EQ(files_in_folder(), 1u);
}

TEST_F(PSDSaverTest, EveryPixelLeavesInItsStraightColour)
{
   // Row a holds every value c at alpha a, valid (c <= a) or not.
   pointer<image::image> pimage = new image::image(256, 256);
   for (std::uint32_t a = 0; a < 256; ++a)
   {
      for (std::uint32_t c = 0; c < 256; ++c)
      {
         pimage->pixel(static_cast<int>(c), static_cast<int>(a)) = (a << 24) | (c << 16) | (c << 8) | c;
      }
   }
   m_psaver->add_layer(0, 0, pimage, "Screen1");
   const fs::path path = m_folder / "all.psd";
   ASSERT_TRUE(m_psaver->savePSD(*pimage, path));

   // The record's 58 fixed bytes end with its extra-data length; the red plane follows the record
   // and its compression code, then come green, blue and alpha, each after its own code.
   const string_base file = read_all(path);
   const std::size_t record = 26 + 4 + 4 + 4 + 4 + 2;
   const auto extra = static_cast<std::size_t>(static_cast<unsigned char>(file[record + 56]) << 8 |
                                               static_cast<unsigned char>(file[record + 57]));
   const std::size_t red = record + 58 + extra + 2;
   const std::size_t plane = 256 * 256 + 2;
   for (std::size_t i = 0; i < 256 * 256; ++i)
   {
      const auto c = static_cast<std::uint8_t>(i % 256);
      const auto a = static_cast<std::uint8_t>(i / 256);
      const auto straight = static_cast<char>(image::straight_channel(c, a));
      ASSERT_EQ(file[red + i], straight) << "alpha " << int(a) << " value " << int(c);
      ASSERT_EQ(file[red + plane + i], straight);
      ASSERT_EQ(file[red + 2 * plane + i], straight);
      ASSERT_EQ(file[red + 3 * plane + i], static_cast<char>(a));
   }
}

TEST_F(PSDSaverTest, DocumentWithoutLayersHasAnEmptyLayerSection)
{
   const auto colour_at = [](int x, int y) { return opaque_pattern(x, y); };
   const fs::path path = m_folder / "empty.psd";
   ASSERT_TRUE(m_psaver->savePSD(*picture(3, 2, colour_at), path));

   const string_base file = read_all(path);
   ASSERT_EQ(file.size(), 26u + 4 + 4 + 4 + 2 + 3 * 6);
   EXPECT_EQ(file.substr(26, 14), bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
   for (const char * pszReader : {"psd-tools", "pillow", "magick"})
   {
      EXPECT_EQ(read_with(pszReader, path), expected_reading(3, 2, colour_at, {}, e_reader_sees_everything)) << pszReader;
   }
}

TEST_F(PSDSaverTest, IndependentReadersSeeLayersPixelsAndComposite)
{
   // Patterns that differ along both axes, so that a flipped or transposed plane shows; the top
   // layer holds half and nearly transparent pixels, which must keep the colour that was drawn.
   const auto bottom = [](int x, int y) { return opaque_pattern(x, y); };
   const auto top = [](int x, int y) {
      return x == 0 ? color::color(128, 64, 32, 128) : y == 0 ? color::color(255, 100, 0, 51) : color::color(5, 6, 7);
   };
   const auto composite = [](int x, int y) { return color::color(x * 50, y * 80, x + y); };
   const std::vector<expected_layer> layers = {{"Bottom", 1, 0, picture(3, 2, bottom), bottom},
                                               {"Top layer", 2, 1, picture(2, 3, top), top}};
   const fs::path path = m_folder / "layers.psd";
   ASSERT_TRUE(save(layers, *picture(5, 4, composite), path));

   EXPECT_EQ(read_with("psd-tools", path), expected_reading(5, 4, composite, layers, e_reader_sees_everything));
   EXPECT_EQ(read_with("magick", path), expected_reading(5, 4, composite, layers, e_reader_sees_everything));
   EXPECT_EQ(read_with("pillow", path), expected_reading(5, 4, composite, layers, e_reader_sees_names_and_bounds));
}

TEST_F(PSDSaverTest, NegativeOffsetsReadBack)
{
   // Pillow reads layer bounds as unsigned numbers and opens no file with a layer left of or
   // above the raster, so the two other readers check these.
   const auto colour_at = [](int x, int y) { return opaque_pattern(x, y); };
   const std::vector<expected_layer> layers = {{"Left", -2, 1, picture(3, 1, colour_at), colour_at},
                                               {"Above", 1, -3, picture(2, 4, colour_at), colour_at}};
   const fs::path path = m_folder / "negative.psd";
   ASSERT_TRUE(save(layers, *picture(4, 4, colour_at), path));

   EXPECT_EQ(read_with("psd-tools", path), expected_reading(4, 4, colour_at, layers, e_reader_sees_everything));
   EXPECT_EQ(read_with("magick", path), expected_reading(4, 4, colour_at, layers, e_reader_sees_everything));
}

TEST_F(PSDSaverTest, NamesKeepTheirLengthAndWholeCharacters)
{
   pointer<image::image> pimage = picture(1, 1, [](int, int) { return color::color(1, 2, 3); });
   const auto name_field = [&](scoped_string_base name) {
      pointer<PSDSaver> psaver = new PSDSaver;
      psaver->add_layer(0, 0, pimage, name);
      const fs::path path = m_folder / "name.psd";
      EXPECT_TRUE(psaver->savePSD(*pimage, path));
      const string_base file = read_all(path);
      const auto length = static_cast<unsigned char>(file[first_name_offset]);
      return file.substr(first_name_offset, 1 + length + (4 - (1 + length) % 4) % 4);
   };
   EXPECT_EQ(name_field("A"), bytes({1, 'A', 0, 0}));
   EXPECT_EQ(name_field(""), bytes({6, 'N', 'o', 'N', 'a', 'm', 'e', 0}));
   EXPECT_EQ(name_field("Screen1 of the big wall"), bytes({23}) + "Screen1 of the big wall");

   // 128 two-byte characters: 255 bytes would end inside the last one, so 254 are kept.
   string_base strLong;
   for (int i = 0; i < 128; ++i)
   {
      strLong += "\xC3\xA9";
   }
   EXPECT_EQ(name_field(strLong), bytes({static_cast<char>(254)}) + strLong.substr(0, 254) + bytes({0}));

   // The whole name reaches readers that read names as Unicode.
   m_psaver->add_layer(0, 0, pimage, strLong);
   m_psaver->add_layer(0, 0, pimage, "\xC3\x89" "cran \xF0\x9F\x94\xB4");
   const fs::path path = m_folder / "names.psd";
   ASSERT_TRUE(m_psaver->savePSD(image::image(4, 4), path));
   const string_base strReading = read_with("psd-tools", path);
   EXPECT_NE(strReading.find("layer " + strLong + " 0 0 1 1 255\n"), string_base::npos) << strReading;
   EXPECT_NE(strReading.find("layer \xC3\x89" "cran \xF0\x9F\x94\xB4 0 0 1 1 255\n"), string_base::npos) << strReading;
}

TEST_F(PSDSaverTest, DocumentLayersGiveTheirOffscreenImageOffsetsAndName)
{
   // The offscreen image, not the layer's computed size, decides how many pixels are read.
   pointer<Tarvossa_BrisvanePro::boxes_layer> player = new Tarvossa_BrisvanePro::boxes_layer;
   player->set_offset_x(-4);
   player->set_offset_y(9);
   player->set_name("Stage left");
   m_psaver->add_layer(player);
   pointer<image::image> pimage = player->request_offscreen(3, 2);
   ASSERT_NE(player->get_full_width(), 3);
   m_psaver->add_layer(player);
   player->set_logo(true);
   m_psaver->add_layer(player);

   ASSERT_EQ(m_psaver->layers().size(), 2u);
   const PSDSaver::layinfo_desc_t & layer = m_psaver->layers()[0];
   EXPECT_EQ(layer.m_iX, -4);
   EXPECT_EQ(layer.m_iY, 9);
   EXPECT_EQ(layer.m_pimage, pimage);
   EXPECT_EQ(layer.m_strName, "Stage left");
   EXPECT_EQ(m_psaver->layers()[1].m_strName, "Logo");
}

TEST_F(PSDSaverTest, LayersWithoutPixelsAreLeftOut)
{
   m_psaver->add_layer(nullptr);
   m_psaver->add_layer(0, 0, nullptr, "none");
   m_psaver->add_layer(0, 0, new image::image, "empty");
   EXPECT_TRUE(m_psaver->layers().empty());
}

TEST_F(PSDSaverTest, RefusesWhatTheFormatCannotHold)
{
   const fs::path path = m_folder / "refused.psd";
   ASSERT_TRUE(file::write_atomically(path, "old"));
   const auto refusal = [&](PSDSaver & saver, const image::image & composite) {
      const outcome<file::written> result = saver.savePSD(composite, path);
      EXPECT_FALSE(result);
      EXPECT_EQ(read_all(path), "old");
      EXPECT_EQ(files_in_folder(), 1u);
      return result.error();
   };
   const image::image small(2, 2);

   EXPECT_NE(refusal(*m_psaver, image::image(30001, 1)).find("30001 x 1"), string_base::npos);
   EXPECT_NE(refusal(*m_psaver, image::image()).find("0 x 0"), string_base::npos);

   pointer<PSDSaver> pwide = new PSDSaver;
   pwide->add_layer(0, 0, new image::image(1, 30001), "Tall");
   EXPECT_NE(refusal(*pwide, small).find("\"Tall\" is 1 x 30001"), string_base::npos);

   pointer<PSDSaver> pfar = new PSDSaver;
   pfar->add_layer(std::numeric_limits<int>::max() - 1, 0, new image::image(2, 1), "Far");
   EXPECT_NE(refusal(*pfar, small).find("\"Far\" lies outside"), string_base::npos);

   // 120 layers of 30000 x 300 pixels, sharing one picture: 4.3 GB of channel data.
   pointer<PSDSaver> pbig = new PSDSaver;
   pointer<image::image> pstrip = new image::image(30000, 300);
   for (int i = 0; i < 120; ++i)
   {
      pbig->add_layer(0, 0, pstrip, "Strip");
   }
   EXPECT_NE(refusal(*pbig, small).find("at most 4 GiB"), string_base::npos);
}

TEST_F(PSDSaverTest, FailedWriteIsReportedAndKeepsTheOldFile)
{
   pointer<image::image> pimage = new image::image(300, 300);
   m_psaver->add_layer(0, 0, pimage, "Screen1");

   const outcome<file::written> missing = m_psaver->savePSD(*pimage, m_folder / "no-such-folder" / "a.psd");
   EXPECT_FALSE(missing);
   EXPECT_NE(missing.error().find("cannot write"), string_base::npos);

   // A file size limit makes the disk refuse bytes midway, as a full disk would.
   const fs::path path = m_folder / "a.psd";
   ASSERT_TRUE(file::write_atomically(path, "old"));
   const auto previous = std::signal(SIGXFSZ, SIG_IGN);
   rlimit saved = {};
   ::getrlimit(RLIMIT_FSIZE, &saved);
   rlimit limit = saved;
   limit.rlim_cur = 200 * 1024;
   ::setrlimit(RLIMIT_FSIZE, &limit);
   const outcome<file::written> midway = m_psaver->savePSD(*pimage, path);
   ::setrlimit(RLIMIT_FSIZE, &saved);
   std::signal(SIGXFSZ, previous);

   EXPECT_FALSE(midway);
   EXPECT_NE(midway.error().find("writing failed"), string_base::npos) << midway.error();
   EXPECT_EQ(read_all(path), "old");
   EXPECT_EQ(files_in_folder(), 1u);
}
