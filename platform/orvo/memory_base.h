#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvo/for_overwrite.h"
#include "orvo/string.h"

// The value of a hexadecimal digit in either letter case; -1 for any other character.
int value_of_hex_digit(char ch);

// Two lower-case hexadecimal digits per byte, in order.
string_base hex_text(const void * pdata, std::size_t size);

// A block of bytes, with its hexadecimal text form.
class memory_base
{
public:
   memory_base() = default;
   memory_base(const void * pdata, std::size_t size) { assign(pdata, size); }

   const std::uint8_t * data() const noexcept { return m_bytes.data(); }
   std::uint8_t * data() noexcept { return m_bytes.data(); }
   std::size_t size() const noexcept { return m_bytes.size(); }
   bool is_empty() const noexcept { return m_bytes.empty(); }

   void assign(const void * pdata, std::size_t size);
   // Bytes added are of no defined value: the caller writes them.
   void set_size(std::size_t size) { m_bytes.resize(size); }

   // Two lower-case hexadecimal digits per byte, in order.
   string_base to_hex() const { return hex_text(data(), size()); }

   // Replaces the bytes with those of a hexadecimal text (digits in either letter case). A text
   // of odd length or with any other character gives no bytes and false.
   bool from_hex(scoped_string_base strHex);

   bool operator==(const memory_base &) const = default;

private:
   // Bytes about to be written whole are not cleared first.
   std::vector<std::uint8_t, for_overwrite_allocator<std::uint8_t>> m_bytes;
};
