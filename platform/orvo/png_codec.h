#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "orvo/image_service.h"

// PNG through libpng.
namespace image::png_codec
{

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept;
load_result decode(const std::uint8_t * pdata, std::size_t size);
// The size in the header; none when there is no header.
std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size);
// Lossless, with alpha; a picture without transparency is written as RGB.
encode_result encode(const image & image);

} // namespace image::png_codec
