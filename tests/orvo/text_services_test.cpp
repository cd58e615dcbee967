#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "orvo/memory_base.h"
#include "orvo/tinyexpr.h"
#include "orvo/unicode.h"

TEST(Tinyexpr, EvaluatesArithmetic)
{
   int iError = -1;
   EXPECT_DOUBLE_EQ(tinyexpr::te_interp("1920/2", &iError), 960.0);
   EXPECT_EQ(iError, 0);
   EXPECT_DOUBLE_EQ(tinyexpr::te_interp("2*250", nullptr), 500.0);
   EXPECT_DOUBLE_EQ(tinyexpr::te_interp(" 100+20 ", nullptr), 120.0);
   EXPECT_DOUBLE_EQ(tinyexpr::te_interp("(1+2)*-3", nullptr), -9.0);
   EXPECT_DOUBLE_EQ(tinyexpr::te_interp("2^10", nullptr), 1024.0);
   EXPECT_DOUBLE_EQ(tinyexpr::te_interp("1.5e3", nullptr), 1500.0);
}

TEST(Tinyexpr, EveryFaultIsNaN)
{
   for (const char * psz : {"", "   ", "1920/", "abc", "12px", "1/0", "0/0", "sqrt(-1)", "1,2", "(1+2", "a=3",
                            "1e999"})
   {
      int iError = 0;
      EXPECT_TRUE(std::isnan(tinyexpr::te_interp(psz, &iError))) << psz;
      EXPECT_GT(iError, 0) << psz;
   }
   EXPECT_TRUE(std::isnan(tinyexpr::te_interp(scoped_string_base("1\0+2", 4), nullptr)));
   EXPECT_TRUE(std::isnan(tinyexpr::te_interp(string_base(100000, '('), nullptr)));
}

TEST(MemoryBase, HexRoundTripAndRejection)
{
   const unsigned char bytes[] = {0x00, 0x7F, 0x80, 0xAB, 0xFF};
   const memory_base memory(bytes, sizeof(bytes));
   EXPECT_EQ(memory.to_hex(), "007f80abff");

   memory_base read;
   ASSERT_TRUE(read.from_hex("007F80abFF"));
   EXPECT_EQ(read, memory);

   EXPECT_TRUE(read.from_hex(""));
   EXPECT_TRUE(read.is_empty());
   for (const char * psz : {"0", "abc", "0g", "00 11", "0x00", "\xC3\xA9"})
   {
      read.assign(bytes, sizeof(bytes));
      EXPECT_FALSE(read.from_hex(psz)) << psz;
      EXPECT_TRUE(read.is_empty()) << psz;
   }
}

// Lengths around the stretches the text is made and read in: every byte value comes back, the
// digits in either case, and a character that is no digit is found wherever it stands.
TEST(MemoryBase, HexRoundTripsAtOddLengthsAndRefusesAStrayCharacterAnywhere)
{
   for (const std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{2047}, std::size_t{2048}, std::size_t{2049}, std::size_t{10001}})
   {
      std::vector<unsigned char> bytes(size);
      for (std::size_t i = 0; i < size; ++i)
      {
         bytes[i] = static_cast<unsigned char>(i * 131 + i / 256);
      }
      const string_base strHex = memory_base(bytes.data(), size).to_hex();
      ASSERT_EQ(strHex.size(), 2 * size);
      EXPECT_EQ(strHex.find_first_not_of("0123456789abcdef"), string_base::npos);
      memory_base read;
      ASSERT_TRUE(read.from_hex(upper_case(strHex))) << size;
      EXPECT_EQ(read, memory_base(bytes.data(), size)) << size;
      for (const std::size_t iStray : {std::size_t{0}, strHex.size() / 2, strHex.size() - 1})
      {
         string_base strBad = strHex;
         strBad[iStray] = 'g';
         EXPECT_FALSE(read.from_hex(strBad)) << size << " at " << iStray;
         EXPECT_TRUE(read.is_empty());
      }
   }
}

TEST(Unicode, DecodesWellFormedAndReplacesIllFormedBytes)
{
   EXPECT_EQ(unicode::decode_utf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::u32string{U'A', 0xE9, 0x20AC, 0x1F600}));
   EXPECT_EQ(unicode::decode_utf8("\xC0\xAF"), (std::u32string{0xFFFD, 0xFFFD})) << "overlong";
   EXPECT_EQ(unicode::decode_utf8("\xED\xA0\x80"), (std::u32string{0xFFFD, 0xFFFD, 0xFFFD})) << "surrogate";
   EXPECT_EQ(unicode::decode_utf8("\xF4\x90\x80\x80"), (std::u32string(4, 0xFFFD))) << "above U+10FFFF";
   EXPECT_EQ(unicode::decode_utf8("\xE2\x82"), (std::u32string(2, 0xFFFD))) << "cut short";
   EXPECT_EQ(unicode::decode_utf8("x\x80y"), (std::u32string{U'x', 0xFFFD, U'y'}));

   const string_base strText = "Wall \xD9\xA1\xD9\xA2 \xF0\x9F\x98\x80";
   EXPECT_EQ(unicode::encode_utf8(unicode::decode_utf8(strText)), strText);
   EXPECT_EQ(unicode::encode_utf8(std::u32string{0xD800, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Unicode, DecimalDigitsAreCategoryNdOfTheBasicPlane)
{
   int iDigits = 0;
   for (char32_t wch = 0; wch < 0x10000; wch++)
   {
      iDigits += unicode::is_decimal_digit(wch) ? 1 : 0;
   }
   EXPECT_EQ(iDigits, 370);
   EXPECT_TRUE(unicode::is_decimal_digit(U'0'));
   EXPECT_TRUE(unicode::is_decimal_digit(U'9'));
   EXPECT_FALSE(unicode::is_decimal_digit(U'/'));
   EXPECT_FALSE(unicode::is_decimal_digit(U':'));
   EXPECT_TRUE(unicode::is_decimal_digit(0x0669));  // Arabic-Indic nine
   EXPECT_FALSE(unicode::is_decimal_digit(0x066A)); // the sign after it
   EXPECT_TRUE(unicode::is_decimal_digit(0xFF10));  // fullwidth zero
   EXPECT_FALSE(unicode::is_decimal_digit(0x00B2)); // superscript two is No, not Nd
   EXPECT_FALSE(unicode::is_decimal_digit(0x2460)); // circled one
   EXPECT_FALSE(unicode::is_decimal_digit(0x1D7CE)); // mathematical bold zero lies above the plane
}
