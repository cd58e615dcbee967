#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "neighbour_entry.h"
#include "scatprintf.h"
#include "vestra.h"

namespace
{

std::string entry_text(const vestra::neighbour_entry & entry, int iSize = 2048)
{
   std::string text(static_cast<std::size_t>(iSize), 'x');
   vestra::write_entry_text(entry, text.data(), iSize);
   return text.c_str();
}

vestra::neighbour_entry entry_with_address(const unsigned char * pAddress, std::size_t cbAddress)
{
   vestra::neighbour_entry entry;
   entry.m_pLinkAddress = pAddress;
   entry.m_cbLinkAddress = cbAddress;
   return entry;
}

} // namespace

TEST(EntryText, LinkAddressWritesEachByteWithoutLeadingZeros)
{
   const unsigned char address[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
   vestra::neighbour_entry entry = entry_with_address(address, sizeof address);
   EXPECT_EQ(entry_text(entry), "0:1a:2b:3c:4d:5e");
   entry.m_bPermanent = true;
   EXPECT_EQ(entry_text(entry), "0:1a:2b:3c:4d:5e permanent");
}

TEST(EntryText, MarksFollowInTheirOrder)
{
   vestra::neighbour_entry entry;
   EXPECT_EQ(entry_text(entry), "(incomplete)");
   entry.m_bProxy = true;
   EXPECT_EQ(entry_text(entry), "(incomplete) published (proxy only)");
   entry.m_bPermanent = true;
   EXPECT_EQ(entry_text(entry), "(incomplete) permanent published (proxy only)");

   const unsigned char address[] = {0xff, 0xee, 0xdd, 0xcc, 0xbb, 0xaa};
   entry.m_pLinkAddress = address;
   entry.m_cbLinkAddress = sizeof address;
   EXPECT_EQ(entry_text(entry), "ff:ee:dd:cc:bb:aa permanent published (proxy only)");
}

TEST(EntryText, ShortAddressesKeepTheirBytesAndLongOnesAreCutToSix)
{
   // Only the bytes the entry has are read: a four-byte tunnel address stays four numbers.
   const unsigned char tunnel[] = {0xc0, 0xa8, 0x01, 0x02};
   EXPECT_EQ(entry_text(entry_with_address(tunnel, sizeof tunnel)), "c0:a8:1:2");

   const unsigned char wide[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
   EXPECT_EQ(entry_text(entry_with_address(wide, sizeof wide)), "1:2:3:4:5:6");
}

TEST(EntryText, SmallBuffersGetATerminatedPrefix)
{
   const unsigned char address[] = {0xab, 0xcd, 0xef, 0x12, 0x34, 0x56};
   vestra::neighbour_entry entry = entry_with_address(address, sizeof address);
   entry.m_bPermanent = true;
   entry.m_bProxy = true;
   const std::string full = entry_text(entry);
   ASSERT_EQ(full.size(), 50u); // the longest line there is
   for (int iSize : {1, 2, 9, 17, 18, 20, 50, 51})
   {
      // Exactly iSize bytes, so that the sanitizer run sees any write past them.
      std::unique_ptr<char[]> psz(new char[static_cast<std::size_t>(iSize)]);
      vestra::write_entry_text(entry, psz.get(), iSize);
      EXPECT_EQ(std::string(psz.get()), full.substr(0, static_cast<std::size_t>(iSize - 1))) << iSize;
   }
   char szUntouched[] = "keep";
   vestra::write_entry_text(entry, szUntouched, 0);
   EXPECT_STREQ(szUntouched, "keep");
}

TEST(Scatprintf, AppendsWithinTheScratchAndTheRoomLeft)
{
   char szText[16] = "ab";
   vestra::scatprintf<4>(szText, sizeof szText, "%s", "cdefgh"); // the scratch holds three characters
   EXPECT_STREQ(szText, "abcde");
   vestra::scatprintf<256>(szText, 8, "%d", 123456);
   EXPECT_STREQ(szText, "abcde12");
   vestra::scatprintf<256>(szText, 8, "%s", "more");
   EXPECT_STREQ(szText, "abcde12");

   // A text with no terminator within the room is cut to end there.
   char szFull[4] = {'w', 'x', 'y', 'z'};
   vestra::scatprintf<256>(szFull, sizeof szFull, "%s", "!");
   EXPECT_STREQ(szFull, "wxy");
}

TEST(EtherSprint, ShortBufferGetsAPrefixAndTheWholeLength)
{
   unsigned char mac[] = {0xab, 0xcd, 0xef, 0x12, 0x34, 0x56};
   char szText[12];
   std::memset(szText, '#', sizeof szText);
   EXPECT_EQ(ether_sprint(szText, 10, mac), 17);
   EXPECT_STREQ(szText, "ab:cd:ef:");
   EXPECT_EQ(szText[10], '#');

   char szWhole[18];
   EXPECT_EQ(ether_sprint(szWhole, sizeof szWhole, mac), 17);
   EXPECT_STREQ(szWhole, "ab:cd:ef:12:34:56");

   // No room at all, even a negative one, writes nothing and still tells the length.
   char szNone[] = "same";
   EXPECT_EQ(ether_sprint(szNone, 0, mac), 17);
   EXPECT_EQ(ether_sprint(szNone, -5, mac), 17);
   EXPECT_STREQ(szNone, "same");

   unsigned char zeros[6] = {};
   EXPECT_EQ(ether_sprint(szWhole, sizeof szWhole, zeros), 11);
   EXPECT_STREQ(szWhole, "0:0:0:0:0:0");
}
