// The layered PSD export of documents with odd sizes, offsets and names: the writer either refuses
// the document, saying why, or writes a file whose every length adds up, whose layer records give
// each layer's rectangle and name, and whose channels hold each layer's pixels.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/PSDSaver.h"
#include "orvo/unicode.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

void check(bool bHolds)
{
   if (!bHolds)
   {
      __builtin_trap();
   }
}

// Reads big-endian numbers from the written file; a read past the end fails the check.
class reader
{
public:
   explicit reader(const string_base & str) : m_str(str) {}

   std::uint64_t number(int iBytes)
   {
      check(m_iAt + static_cast<std::size_t>(iBytes) <= m_str.size());
      std::uint64_t u = 0;
      for (int i = 0; i < iBytes; ++i)
      {
         u = u << 8 | static_cast<std::uint8_t>(m_str[m_iAt++]);
      }
      return u;
   }
   std::int32_t i32() { return static_cast<std::int32_t>(number(4)); }
   string_base bytes(std::size_t n)
   {
      check(m_iAt + n <= m_str.size());
      const string_base str = m_str.substr(m_iAt, n);
      m_iAt += n;
      return str;
   }
   std::size_t at() const noexcept { return m_iAt; }
   bool at_end() const noexcept { return m_iAt == m_str.size(); }

private:
   const string_base & m_str;
   std::size_t m_iAt = 0;
};

struct written_layer
{
   int m_iX;
   int m_iY;
   pointer<image::image> m_pimage;
   string_base m_strName;
};

pointer<image::image> odd_picture(FuzzedDataProvider & provider)
{
   const int iWidth = provider.ConsumeIntegralInRange(0, 40);
   const int iHeight = provider.ConsumeIntegralInRange(0, 40);
   if (iWidth == 0 || iHeight == 0)
   {
      return nullptr;
   }
   auto pimage = make_pointer<image::image>(iWidth, iHeight);
   const std::uint8_t uAlpha = provider.ConsumeBool() ? 255 : provider.ConsumeIntegral<std::uint8_t>();
   const std::uint32_t uColour = provider.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
   // Premultiplied: no colour channel above the alpha.
   const auto premultiplied = [uAlpha](std::uint32_t uChannel) { return uChannel * uAlpha / 255; };
   const std::uint32_t uPixel = std::uint32_t(uAlpha) << 24 | premultiplied(uColour >> 16) << 16 |
                                premultiplied((uColour >> 8) & 0xFF) << 8 | premultiplied(uColour & 0xFF);
   for (int y = 0; y < iHeight; ++y)
   {
      std::fill(pimage->row(y), pimage->row(y) + iWidth, uPixel);
   }
   return pimage;
}

// The name a layer record gives: the byte name is a start of the name that cuts no character, and
// the UTF-16 block holds the whole name.
void check_names(reader & in, const string_base & strName)
{
   const std::size_t iStart = in.at();
   const std::size_t iLength = in.number(1);
   const string_base strPascal = in.bytes(iLength);
   check(strName.starts_with(strPascal));
   in.bytes((4 - (in.at() - iStart) % 4) % 4);
   check(in.bytes(8) == "8BIMluni");
   const std::uint64_t uBlock = in.number(4);
   const std::size_t iBlockStart = in.at();
   const std::u32string expected = unicode::decode_utf8(strName);
   std::u32string read;
   const std::uint64_t uUnits = in.number(4);
   for (std::uint64_t i = 0; i < uUnits; ++i)
   {
      const auto uUnit = static_cast<char32_t>(in.number(2));
      if (uUnit >= 0xD800 && uUnit < 0xDC00)
      {
         read += 0x10000 + ((uUnit - 0xD800) << 10) + (static_cast<char32_t>(in.number(2)) - 0xDC00);
         ++i;
      }
      else
      {
         read += uUnit;
      }
   }
   check(read == expected);
   check(in.at() - iBlockStart <= uBlock);
   in.bytes(iBlockStart + uBlock - in.at());
}

void check_file(const string_base & strFile, const image::image & composite, const std::vector<written_layer> & layers)
{
   reader in(strFile);
   check(in.bytes(4) == "8BPS" && in.number(2) == 1 && in.number(6) == 0 && in.number(2) == 3);
   check(in.number(4) == std::uint64_t(composite.height()) && in.number(4) == std::uint64_t(composite.width()));
   check(in.number(2) == 8 && in.number(2) == 3 && in.number(4) == 0 && in.number(4) == 0);
   const std::uint64_t uSection = in.number(4);
   const std::size_t iSectionStart = in.at();
   if (!layers.empty())
   {
      const std::uint64_t uInfo = in.number(4);
      check(uSection == uInfo + 8);
      check(in.number(2) == layers.size());
      // The position of the transparency channel (id -1) among each layer's four channels.
      std::vector<int> alpha_channels;
      for (const written_layer & layer : layers)
      {
         const std::uint64_t uPixels = std::uint64_t(layer.m_pimage->width()) * std::uint64_t(layer.m_pimage->height());
         check(in.i32() == layer.m_iY && in.i32() == layer.m_iX);
         check(in.i32() == std::int64_t(layer.m_iY) + layer.m_pimage->height());
         check(in.i32() == std::int64_t(layer.m_iX) + layer.m_pimage->width());
         check(in.number(2) == 4);
         alpha_channels.push_back(-1);
         for (int i = 0; i < 4; ++i)
         {
            if (in.number(2) == 0xFFFF)
            {
               alpha_channels.back() = i;
            }
            check(in.number(4) == 2 + uPixels);
         }
         check(alpha_channels.back() >= 0);
         check(in.bytes(8) == "8BIMnorm");
         in.number(4);
         const std::uint64_t uExtra = in.number(4);
         const std::size_t iExtraStart = in.at();
         check(in.number(4) == 0 && in.number(4) == 0);
         check_names(in, layer.m_strName);
         check(in.at() - iExtraStart == uExtra);
      }
      for (std::size_t iLayer = 0; iLayer < layers.size(); ++iLayer)
      {
         const image::image & image = *layers[iLayer].m_pimage;
         for (int i = 0; i < 4; ++i)
         {
            check(in.number(2) == 0);
            const string_base strPlane = in.bytes(std::size_t(image.width()) * image.height());
            check(i != alpha_channels[iLayer] || static_cast<std::uint8_t>(strPlane[0]) == image.pixel(0, 0) >> 24);
         }
      }
      check(in.number(4) == 0);
   }
   check(in.at() - iSectionStart == uSection);
   check(in.number(2) == 0);
   in.bytes(std::size_t(composite.width()) * composite.height() * 3);
   check(in.at_end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   static const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("fuzz_psd_writer_" + std::to_string(::getpid()) + ".psd");
   FuzzedDataProvider provider(pdata, size);
   pointer<image::image> pcomposite = odd_picture(provider);
   if (!pcomposite)
   {
      return 0;
   }
   auto psaver = make_pointer<PSDSaver>();
   std::vector<written_layer> layers;
   const int iLayers = provider.ConsumeIntegralInRange(0, 5);
   for (int i = 0; i < iLayers; ++i)
   {
      const int x = provider.ConsumeIntegral<int>();
      const int y = provider.ConsumeIntegral<int>();
      pointer<image::image> pimage = odd_picture(provider);
      const string_base strName = provider.ConsumeRandomLengthString(300);
      psaver->add_layer(x, y, pimage, strName);
      if (pimage)
      {
         layers.push_back({x, y, pimage, strName.empty() ? string_base("NoName") : strName});
      }
   }
   bool bFits = true;
   for (const written_layer & layer : layers)
   {
      bFits = bFits && std::int64_t(layer.m_iX) + layer.m_pimage->width() <= INT32_MAX &&
              std::int64_t(layer.m_iY) + layer.m_pimage->height() <= INT32_MAX;
   }
   std::filesystem::remove(path);
   const outcome<file::written> result = psaver->savePSD(*pcomposite, path);
   check(bool(result) == bFits && (bool(result) || !result.error().empty()));
   check(bool(result) == std::filesystem::exists(path));
   if (result)
   {
      std::ifstream in(path, std::ios::binary);
      check_file(string_base(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), *pcomposite, layers);
   }
   std::filesystem::remove(path);
   return 0;
}
