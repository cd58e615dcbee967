#pragma once

#include <cstddef>
#include <cstdint>

#include "orvo/image_service.h"

// What the format codecs share: the error texts of a refused picture.
namespace image::codec
{

// "FORMAT: reason" as a failed load.
failure load_failure(const char * pszFormat, const string_base & strReason);

// A declared size outside the limits of `image::is_size_allowed`.
failure refused_size(const char * pszFormat, std::int64_t iWidth, std::int64_t iHeight);

// A declared size that the file's bytes cannot hold even at the format's best compression, so the
// pixels are not allocated for it.
failure implausible_size(const char * pszFormat, std::int64_t iWidth, std::int64_t iHeight, std::size_t size);

// The declared size is acceptable: within the limits, and at most iPixelsPerByte pixels per byte of
// the file. Otherwise the outcome is the matching failure.
outcome<> check_declared_size(const char * pszFormat, std::int64_t iWidth, std::int64_t iHeight, std::size_t size,
                              std::int64_t iPixelsPerByte);

// A new picture of that size whose pixels receive straight RGBA bytes in place (4 bytes a pixel,
// rows packed), every one of them: it is not cleared first. `finish_straight_rgba` then turns
// them into the native form.
pointer<image> new_picture(int iWidth, int iHeight);
void finish_straight_rgba(image & image) noexcept;
// The same for pixels that hold straight colours in the places of the native word (a decoder's
// BGRA bytes on a little-endian machine): opaque pixels are final already.
void finish_straight_native(image & image) noexcept;

// Little-endian numbers read from a file (the caller checks that the bytes are there).
std::uint32_t read_le16(const std::uint8_t * p) noexcept;
std::uint32_t read_le32(const std::uint8_t * p) noexcept;

// Little-endian numbers at the end of an encoded file.
void append_le16(std::vector<std::uint8_t> & memory, std::uint32_t u);
void append_le32(std::vector<std::uint8_t> & memory, std::uint32_t u);

} // namespace image::codec
