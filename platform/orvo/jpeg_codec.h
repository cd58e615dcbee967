#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "orvo/image_service.h"

// JPG through libjpeg-turbo.
namespace image::jpeg_codec
{

constexpr int default_quality = 90;

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept;
// A file cut short is a failure, not a picture with a grey remainder.
outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size);
// The size in the header; none when there is no header.
std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size);
// iQuality from 1 to 100, or -1 for the default; colour is not subsampled. Alpha is dropped: each
// pixel keeps its straight colour.
outcome<std::vector<std::uint8_t>> encode(const image & image, int iQuality);

} // namespace image::jpeg_codec
