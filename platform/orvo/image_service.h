#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "orvo/atomic_file.h"
#include "orvo/geometry.h"
#include "orvo/image.h"
#include "orvo/outcome.h"
#include "orvo/pointer.h"
#include "orvo/string.h"

// Loading and saving pictures. Loading recognises PNG, JPG, BMP and TGA by their content, whatever
// the file name says; saving writes the format a save-format code names. Pictures leave with
// straight (not premultiplied) alpha and come back premultiplied.
namespace image
{

// Save-format codes.
enum enum_save_format : int
{
   e_save_format_default = 0, // PNG: lossless, keeps alpha
   e_save_format_png = 1,
   e_save_format_bmp = 2,     // 32-bit BGRA with an alpha mask (BITMAPV4HEADER, BI_BITFIELDS), rows bottom first
   e_save_format_jpg = 4,     // no alpha: the straight colour of each pixel is kept
   e_save_format_tga = 5,     // 32-bit true colour with alpha, run-length encoded, rows bottom first
};

// What to write: a save-format code and, for JPG, a quality from 1 to 100 (-1: the default, 90).
struct save_options
{
   int m_iFormat = e_save_format_default;
   int m_iQuality = -1;
};

// A loaded picture, or why there is none.
outcome<pointer<image>> load_image(const std::filesystem::path & path);
outcome<pointer<image>> load_image_from_memory(const void * pdata, std::size_t size);
// The size an encoded picture says it has, read from its header without decoding it; none when
// the data is no picture in a known format.
std::optional<size_type<int>> declared_size_of_memory(const void * pdata, std::size_t size);

// An encoded file in memory, or why there is none.
outcome<std::vector<std::uint8_t>> save_image_to_memory(const image & image, const save_options & options);
// Writes the whole file or nothing (see `file::write_atomically`).
outcome<file::written> save_image(const image & image, const std::filesystem::path & path, const save_options & options);

} // namespace image
