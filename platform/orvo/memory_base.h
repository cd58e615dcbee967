#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvo/string.h"

// The value of a hexadecimal digit in either letter case; -1 for any other character.
int value_of_hex_digit(char ch);

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
   void set_size(std::size_t size) { m_bytes.resize(size); }

   // Two lower-case hexadecimal digits per byte, in order.
   string_base to_hex() const;

   // Replaces the bytes with those of a hexadecimal text (digits in either letter case). A text
   // of odd length or with any other character gives no bytes and false.
   bool from_hex(scoped_string_base strHex);

   bool operator==(const memory_base &) const = default;

private:
   std::vector<std::uint8_t> m_bytes;
};
