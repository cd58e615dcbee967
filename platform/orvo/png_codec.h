#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "orvo/image_service.h"

// PNG through libpng.
namespace image::png_codec
{

// The most pixels a byte of a file may hold: deflate never turns one byte into more than 1032,
// and a pixel takes at least one bit.
inline constexpr std::int64_t max_pixels_per_byte = 1032 * 8;

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept;
// The files this program writes in full colour go through `decode_written_here`, the rest
// through libpng.
outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size);
outcome<pointer<image>> decode_with_libpng(const std::uint8_t * pdata, std::size_t size);
// The size in the header; none when there is no header.
std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size);
// Lossless, with alpha; a picture without transparency is written as RGB.
outcome<std::vector<std::uint8_t>> encode(const image & image);

} // namespace image::png_codec
