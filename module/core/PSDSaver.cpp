#include "core/PSDSaver.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "document/app_layer.h"
#include "orvo/unicode.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Limits of the format (version 1 documents).
constexpr std::int64_t max_side = 30000;
constexpr std::uint64_t max_section_length = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t max_layer_count = std::numeric_limits<std::int16_t>::max();
constexpr std::size_t max_pascal_name = 255;

// Every layer carries four channels: red, green, blue and transparency (ids 0, 1, 2, -1), listed
// and stored in that order, which every reader takes (some ignore the listed order and read the
// data as red, green, blue, transparency). Each channel's data starts with a two-byte compression
// code, 0 for raw.
constexpr int layer_channel_count = 4;
constexpr std::int16_t channel_ids[layer_channel_count] = {0, 1, 2, -1};
constexpr std::uint64_t compression_field = 2;

// Big-endian numbers and text, gathered into one piece of the file.
class big_endian_bytes
{
public:
   void u8(std::uint8_t u) { m_str.push_back(static_cast<char>(u)); }
   void u16(std::uint16_t u)
   {
      u8(static_cast<std::uint8_t>(u >> 8));
      u8(static_cast<std::uint8_t>(u));
   }
   void u32(std::uint32_t u)
   {
      u16(static_cast<std::uint16_t>(u >> 16));
      u16(static_cast<std::uint16_t>(u));
   }
   void i32(std::int32_t i) { u32(static_cast<std::uint32_t>(i)); }
   void text(std::string_view str) { m_str.append(str); }
   void zeros(std::size_t count) { m_str.append(count, '\0'); }
   void append(const big_endian_bytes & bytes) { m_str.append(bytes.m_str); }

   std::size_t size() const noexcept { return m_str.size(); }
   void write_to(file::atomic_file & file) const { file.write(m_str.data(), m_str.size()); }

private:
   string_base m_str;
};

std::size_t padding_to(std::size_t size, std::size_t multiple)
{
   return (multiple - size % multiple) % multiple;
}

std::uint64_t pixel_count(const image::image & image)
{
   return std::uint64_t(image.width()) * std::uint64_t(image.height());
}

// The longest start of a UTF-8 name that fits the record's 255 bytes without cutting a character.
std::string_view pascal_name(std::string_view name)
{
   std::size_t length = std::min(name.size(), max_pascal_name);
   while (length > 0 && length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
   {
      --length;
   }
   return name.substr(0, length);
}

// UTF-16 code units of a UTF-8 name; a malformed sequence becomes U+FFFD.
std::u16string utf16_of(std::string_view utf8)
{
   std::u16string utf16;
   for (const char32_t code : unicode::decode_utf8(utf8))
   {
      if (code >= 0x10000)
      {
         utf16.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
         utf16.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
      }
      else
      {
         utf16.push_back(static_cast<char16_t>(code));
      }
   }
   return utf16;
}

// The layer record's own name: a length byte and the bytes, padded to a multiple of 4 in all.
void put_pascal_name(big_endian_bytes & bytes, std::string_view name)
{
   const std::string_view stored = pascal_name(name);
   bytes.u8(static_cast<std::uint8_t>(stored.size()));
   bytes.text(stored);
   bytes.zeros(padding_to(1 + stored.size(), 4));
}

// The whole name in UTF-16, which readers prefer to the record's byte name: without it a name
// outside ASCII would read back in the wrong encoding.
void put_unicode_name_block(big_endian_bytes & bytes, std::string_view name)
{
   const std::u16string utf16 = utf16_of(name);
   const std::size_t length = 4 + 2 * utf16.size();
   const std::size_t padding = padding_to(length, 4);
   bytes.text("8BIMluni");
   bytes.u32(static_cast<std::uint32_t>(length + padding));
   bytes.u32(static_cast<std::uint32_t>(utf16.size()));
   for (const char16_t unit : utf16)
   {
      bytes.u16(unit);
   }
   bytes.zeros(padding);
}

big_endian_bytes layer_record(const PSDSaver::layinfo_desc_t & layer)
{
   const image::image & image = *layer.m_pimage;
   big_endian_bytes record;
   record.i32(layer.m_iY);
   record.i32(layer.m_iX);
   record.i32(layer.m_iY + image.height());
   record.i32(layer.m_iX + image.width());

   record.u16(layer_channel_count);
   const auto channel_length = static_cast<std::uint32_t>(compression_field + pixel_count(image));
   for (const std::int16_t id : channel_ids)
   {
      record.u16(static_cast<std::uint16_t>(id));
      record.u32(channel_length);
   }

   record.text("8BIMnorm");
   record.u8(255); // opacity
   record.u8(0);   // clipping: base
   record.u8(0);   // flags: visible
   record.u8(0);   // filler

   big_endian_bytes extra;
   extra.u32(0); // no layer mask
   extra.u32(0); // no blending ranges
   put_pascal_name(extra, layer.m_strName);
   put_unicode_name_block(extra, layer.m_strName);
   record.u32(static_cast<std::uint32_t>(extra.size()));
   record.append(extra);
   return record;
}

// The pixel splitting is built twice, for AVX2 and for any x86-64 processor, and the program
// takes the version the processor runs best.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_CLONES
#endif

// Writes the planes of pictures at their places in the file. A picture is read once, band by
// band; each band is split into its red, green, blue (straight alpha) and alpha planes at once.
class plane_writer
{
public:
   explicit plane_writer(file::atomic_file & file) : m_file(file)
   {
      for (auto & plane : m_planes)
      {
         plane.resize(band_pixels);
      }
   }

   // A layer's four channels from `uOffset` on, each plane after its compression code, in the
   // order red, green, blue, transparency. Returns the offset after them.
   std::uint64_t layer_channels(const image::image & image, std::uint64_t uOffset)
   {
      const std::uint64_t uChannel = compression_field + pixel_count(image);
      for (int i = 0; i < layer_channel_count; ++i)
      {
         raw_compression(uOffset + i * uChannel);
      }
      planes(image, uOffset + compression_field, uChannel, layer_channel_count);
      return uOffset + layer_channel_count * uChannel;
   }

   // The flattened image: one compression code, then the red, green and blue planes.
   void flattened_image(const image::image & image, std::uint64_t uOffset)
   {
      raw_compression(uOffset);
      planes(image, uOffset + compression_field, pixel_count(image), 3);
   }

private:
   static constexpr std::size_t band_pixels = 1 << 16;

   void raw_compression(std::uint64_t uOffset)
   {
      const std::uint8_t raw[compression_field] = {0, 0};
      m_file.write_at(uOffset, raw, sizeof(raw));
   }

   // Writes the first `iPlaneCount` planes (red, green, blue, alpha), the first at `uOffset` and
   // each next one `uPlaneDistance` bytes further.
   // The picture is read in bands of whole rows: a picture placed in another's rows has its rows
   // apart.
   void planes(const image::image & image, std::uint64_t uOffset, std::uint64_t uPlaneDistance, int iPlaneCount)
   {
      const auto uWidth = static_cast<std::size_t>(image.width());
      const int iRowsPerBand = static_cast<int>(std::max<std::size_t>(1, band_pixels / uWidth));
      const bool bPacked = image.stride() == image.width();
      for (int y = 0; y < image.height() && !m_file.has_failed(); y += iRowsPerBand)
      {
         const int iRows = std::min(iRowsPerBand, image.height() - y);
         const std::size_t length = uWidth * static_cast<std::size_t>(iRows);
         if (bPacked)
         {
            split(image.row(y), length, 0);
         }
         else
         {
            for (int r = 0; r < iRows; ++r)
            {
               split(image.row(y + r), uWidth, uWidth * static_cast<std::size_t>(r));
            }
         }
         const std::uint64_t start = static_cast<std::uint64_t>(y) * uWidth;
         for (int i = 0; i < iPlaneCount; ++i)
         {
            m_file.write_at(uOffset + i * uPlaneDistance + start, m_planes[i].data(), length);
         }
      }
   }

   // Opaque pixels need no division: runs of them are split by shifts alone, which the compiler
   // turns into vector code.
   static constexpr std::size_t run_pixels = 64;

   // Splits `length` pixels into the planes from `uAt` on.
   VECTOR_CLONES void split(const std::uint32_t * pixels, std::size_t length, std::size_t uAt)
   {
      std::size_t i = 0;
      for (; i + run_pixels <= length; i += run_pixels)
      {
         if (is_opaque_run(pixels + i))
         {
            split_opaque_run(pixels + i, uAt + i);
         }
         else
         {
            split_pixels(pixels, i, i + run_pixels, uAt);
         }
      }
      split_pixels(pixels, i, length, uAt);
   }

   [[gnu::always_inline]] static bool is_opaque_run(const std::uint32_t * pixels)
   {
      std::uint32_t uAll = 0xFFFFFFFF;
      for (std::size_t k = 0; k < run_pixels; ++k)
      {
         uAll &= pixels[k];
      }
      return (uAll >> 24) == 0xFF;
   }

   [[gnu::always_inline]] void split_opaque_run(const std::uint32_t * pixels, std::size_t uAt)
   {
      std::uint8_t * __restrict r = m_planes[0].data() + uAt;
      std::uint8_t * __restrict g = m_planes[1].data() + uAt;
      std::uint8_t * __restrict b = m_planes[2].data() + uAt;
      std::uint8_t * __restrict a = m_planes[3].data() + uAt;
      for (std::size_t k = 0; k < run_pixels; ++k)
      {
         const std::uint32_t u = pixels[k];
         r[k] = static_cast<std::uint8_t>(u >> 16);
         g[k] = static_cast<std::uint8_t>(u >> 8);
         b[k] = static_cast<std::uint8_t>(u);
         a[k] = 255;
      }
   }

   // Other pixels: c * 255 / alpha rounded to the nearest, capped at 255, 0 where alpha is 0, as
   // image::straight_channel gives it, in branch-free single precision that becomes vector code.
   // A quotient that should round up from exactly one half may come out a hair below it, and
   // any other lies at least 1/510 from a rounding edge, so adding 0.501 instead of 0.5 gives
   // the exact result for every alpha and value (the tests compare all of them).
   [[gnu::always_inline]] void split_pixels(const std::uint32_t * pixels, std::size_t uBegin, std::size_t uEnd, std::size_t uAt)
   {
      std::uint8_t * __restrict r = m_planes[0].data() + uAt;
      std::uint8_t * __restrict g = m_planes[1].data() + uAt;
      std::uint8_t * __restrict b = m_planes[2].data() + uAt;
      std::uint8_t * __restrict a = m_planes[3].data() + uAt;
      for (std::size_t i = uBegin; i < uEnd; ++i)
      {
         const auto u = static_cast<std::int32_t>(pixels[i] & 0xFFFFFF);
         const auto alpha = static_cast<std::int32_t>(pixels[i] >> 24);
         const float scale = 255.0f / static_cast<float>(alpha | (alpha == 0));
         const std::int32_t keep = -static_cast<std::int32_t>(alpha != 0);
         const auto straight = [&](std::int32_t c) {
            const auto q = static_cast<std::int32_t>(static_cast<float>(c) * scale + 0.501f);
            return static_cast<std::uint8_t>(std::min(q, 255) & keep);
         };
         r[i] = straight(u >> 16);
         g[i] = straight((u >> 8) & 0xFF);
         b[i] = straight(u & 0xFF);
         a[i] = static_cast<std::uint8_t>(alpha);
      }
   }

   file::atomic_file & m_file;
   std::vector<std::uint8_t> m_planes[layer_channel_count];
};

// Length of the layer info: the count, the records and every channel's data (always even).
std::uint64_t layer_info_length(const std::vector<big_endian_bytes> & records, const std::vector<PSDSaver::layinfo_desc_t> & layers)
{
   std::uint64_t length = 2;
   for (std::size_t i = 0; i < layers.size(); ++i)
   {
      length += records[i].size() + layer_channel_count * (compression_field + pixel_count(*layers[i].m_pimage));
   }
   return length;
}

bool fits_in_32_bits(std::int64_t value)
{
   return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

// Why the format cannot hold this document, or empty when it can.
string_base refusal(const image::image & composite, const std::vector<PSDSaver::layinfo_desc_t> & layers)
{
   if (!composite._is_ok() || composite.width() > max_side || composite.height() > max_side)
   {
      return format("the document is %d x %d pixels; a side must be 1 to %d", composite.width(), composite.height(),
                    int(max_side));
   }
   if (layers.size() > max_layer_count)
   {
      return format("%zu layers; at most %zu fit", layers.size(), max_layer_count);
   }
   for (const auto & layer : layers)
   {
      const image::image & image = *layer.m_pimage;
      if (image.width() > max_side || image.height() > max_side)
      {
         return format("layer \"%s\" is %d x %d pixels; a side must be at most %d", layer.m_strName.c_str(),
                       image.width(), image.height(), int(max_side));
      }
      if (!fits_in_32_bits(std::int64_t(layer.m_iX) + image.width()) ||
          !fits_in_32_bits(std::int64_t(layer.m_iY) + image.height()))
      {
         return format("layer \"%s\" lies outside the coordinates the format can hold", layer.m_strName.c_str());
      }
   }
   return {};
}

// The file header, the empty colour mode and resource sections, and the start of the layer
// section (omitted with no layer).
big_endian_bytes document_header(const image::image & composite, std::uint64_t section_length, std::uint64_t info_length,
                                 std::size_t layer_count)
{
   big_endian_bytes header;
   header.text("8BPS");
   header.u16(1);  // version
   header.zeros(6);
   header.u16(3);  // channels of the flattened image: red, green, blue
   header.u32(static_cast<std::uint32_t>(composite.height()));
   header.u32(static_cast<std::uint32_t>(composite.width()));
   header.u16(8);  // bits per channel
   header.u16(3);  // colour mode: RGB
   header.u32(0);  // no colour mode data
   header.u32(0);  // no image resources
   header.u32(static_cast<std::uint32_t>(section_length));
   if (layer_count > 0)
   {
      header.u32(static_cast<std::uint32_t>(info_length));
      header.u16(static_cast<std::uint16_t>(layer_count));
   }
   return header;
}

} // namespace

void PSDSaver::add_layer(const pointer<app_layer> & player)
{
   if (player)
   {
      add_layer(player->get_offset_x(), player->get_offset_y(), player->get_offscreen(), player->get_name());
   }
}

void PSDSaver::add_layer(int x, int y, const pointer<image::image> & pimage, scoped_string_base name)
{
   if (!pimage || !pimage->_is_ok())
   {
      return;
   }
   m_layers.push_back({x, y, pimage, name.empty() ? string_base("NoName") : string_base(name)});
}

outcome<file::written> PSDSaver::savePSD(const image::image & composite, const std::filesystem::path & path) const
{
   if (string_base strRefusal = refusal(composite, m_layers); !strRefusal.empty())
   {
      return failure(format("cannot write %s: %s", path.c_str(), strRefusal.c_str()));
   }

   std::vector<big_endian_bytes> records;
   for (const auto & layer : m_layers)
   {
      records.push_back(layer_record(layer));
   }
   // An empty layer section is written as a length of 0, the form every reader accepts.
   const std::uint64_t info_length = m_layers.empty() ? 0 : layer_info_length(records, m_layers);
   const std::uint64_t section_length = m_layers.empty() ? 0 : 4 + info_length + 4;
   if (section_length > max_section_length)
   {
      return failure(format("cannot write %s: the layers take %llu bytes; the format holds at most 4 GiB", path.c_str(),
                            static_cast<unsigned long long>(section_length)));
   }

   const big_endian_bytes header = document_header(composite, section_length, info_length, m_layers.size());
   file::atomic_file file(path);
   header.write_to(file);
   std::uint64_t uOffset = header.size();
   for (const auto & record : records)
   {
      record.write_to(file);
      uOffset += record.size();
   }
   plane_writer planes(file);
   for (const auto & layer : m_layers)
   {
      uOffset = planes.layer_channels(*layer.m_pimage, uOffset);
   }
   if (!m_layers.empty())
   {
      const std::uint8_t no_global_mask[4] = {};
      file.write_at(uOffset, no_global_mask, sizeof(no_global_mask));
      uOffset += sizeof(no_global_mask);
   }
   planes.flattened_image(composite, uOffset);
   return file.commit();
}

} // namespace Tarvossa_BrisvanePro
