#include "orvo/memory_base.h"

#include <cstring>

int value_of_hex_digit(char ch)
{
   if (ch >= '0' && ch <= '9')
   {
      return ch - '0';
   }
   if (ch >= 'a' && ch <= 'f')
   {
      return ch - 'a' + 10;
   }
   if (ch >= 'A' && ch <= 'F')
   {
      return ch - 'A' + 10;
   }
   return -1;
}

void memory_base::assign(const void * pdata, std::size_t size)
{
   m_bytes.resize(size);
   if (size > 0)
   {
      std::memcpy(m_bytes.data(), pdata, size);
   }
}

string_base memory_base::to_hex() const
{
   static constexpr char digits[] = "0123456789abcdef";
   string_base strHex(m_bytes.size() * 2, '0');
   for (std::size_t i = 0; i < m_bytes.size(); i++)
   {
      strHex[2 * i] = digits[m_bytes[i] >> 4];
      strHex[2 * i + 1] = digits[m_bytes[i] & 0x0F];
   }
   return strHex;
}

bool memory_base::from_hex(scoped_string_base strHex)
{
   m_bytes.clear();
   if (strHex.size() % 2 != 0)
   {
      return false;
   }
   std::vector<std::uint8_t> bytes(strHex.size() / 2);
   for (std::size_t i = 0; i < bytes.size(); i++)
   {
      const int iHigh = value_of_hex_digit(strHex[2 * i]);
      const int iLow = value_of_hex_digit(strHex[2 * i + 1]);
      if (iHigh < 0 || iLow < 0)
      {
         return false;
      }
      bytes[i] = static_cast<std::uint8_t>(iHigh << 4 | iLow);
   }
   m_bytes = std::move(bytes);
   return true;
}
