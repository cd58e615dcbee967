#include "orvo/image_service.h"

#include "orvo/bmp_codec.h"
#include "orvo/file_system.h"
#include "orvo/jpeg_codec.h"
#include "orvo/png_codec.h"
#include "orvo/stb_decoder.h"
#include "orvo/tga_codec.h"

namespace image
{

outcome<pointer<image>> load_image(const std::filesystem::path & path)
{
   const outcome<string_base> read = file::read_all(path);
   if (!read)
   {
      return failure(read.error());
   }
   outcome<pointer<image>> result = load_image_from_memory(read->data(), read->size());
   if (!result)
   {
      return failure(format("%s: %s", path.c_str(), result.error().c_str()));
   }
   return result;
}

outcome<pointer<image>> load_image_from_memory(const void * pdata, std::size_t size)
{
   const auto pbytes = static_cast<const std::uint8_t *>(pdata);
   if (png_codec::has_signature(pbytes, size))
   {
      return png_codec::decode(pbytes, size);
   }
   if (jpeg_codec::has_signature(pbytes, size))
   {
      return jpeg_codec::decode(pbytes, size);
   }
   if (bmp_codec::has_signature(pbytes, size))
   {
      return bmp_codec::decode(pbytes, size);
   }
   // TGA has no signature: its header is recognised by the plausibility of its fields.
   if (size > 0 && stb_decoder::recognises(pbytes, size))
   {
      return tga_codec::decode(pbytes, size);
   }
   return failure(size == 0 ? "no data" : "not a picture in a known format (PNG, JPG, BMP, TGA)");
}

std::optional<size_type<int>> declared_size_of_memory(const void * pdata, std::size_t size)
{
   const auto pbytes = static_cast<const std::uint8_t *>(pdata);
   if (png_codec::has_signature(pbytes, size))
   {
      return png_codec::declared_size(pbytes, size);
   }
   if (jpeg_codec::has_signature(pbytes, size))
   {
      return jpeg_codec::declared_size(pbytes, size);
   }
   // BMP and TGA headers are read alike.
   return stb_decoder::declared_size(pbytes, size);
}

outcome<std::vector<std::uint8_t>> save_image_to_memory(const image & image, const save_options & options)
{
   switch (options.m_iFormat)
   {
   case e_save_format_default:
   case e_save_format_png:
      return png_codec::encode(image);
   case e_save_format_bmp:
      return bmp_codec::encode(image);
   case e_save_format_jpg:
      return jpeg_codec::encode(image, options.m_iQuality);
   case e_save_format_tga:
      return tga_codec::encode(image);
   default:
      return failure(format("unknown save format %d", options.m_iFormat));
   }
}

outcome<file::written> save_image(const image & image, const std::filesystem::path & path, const save_options & options)
{
   const outcome<std::vector<std::uint8_t>> encoded = save_image_to_memory(image, options);
   if (!encoded)
   {
      return failure(format("cannot write %s: %s", path.c_str(), encoded.error().c_str()));
   }
   return file::write_atomically(path, encoded->data(), encoded->size());
}

} // namespace image
