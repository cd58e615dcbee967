#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "neighbour_entry.h"
#include "neighbour_messages.h"

namespace
{

using bytes = std::vector<unsigned char>;

// A datagram the way the kernel lays one out: aligned messages, each with its length in front.
class datagram
{
public:
   datagram & neighbour(const char * pszAddress, bytes linkAddress, std::uint16_t uState = NUD_REACHABLE, std::uint8_t uFlags = 0,
                        std::uint8_t uFamily = AF_INET, int iInterface = 2)
   {
      const std::size_t start = begin_message(RTM_NEWNEIGH);
      ndmsg body{};
      body.ndm_family = uFamily;
      body.ndm_ifindex = iInterface;
      body.ndm_state = uState;
      body.ndm_flags = uFlags;
      append(&body, sizeof body);
      in_addr address{};
      ::inet_pton(AF_INET, pszAddress, &address);
      attribute(NDA_DST, &address, sizeof address);
      if (!linkAddress.empty())
      {
         attribute(NDA_LLADDR, linkAddress.data(), linkAddress.size());
      }
      end_message(start);
      return *this;
   }

   datagram & done(int iError = 0)
   {
      const std::size_t start = begin_message(NLMSG_DONE);
      append(&iError, sizeof iError);
      end_message(start);
      return *this;
   }

   datagram & message(std::uint16_t uType, std::uint16_t uFlags = 0)
   {
      const std::size_t start = begin_message(uType);
      set_header_field(start, offsetof(nlmsghdr, nlmsg_flags), uFlags);
      append("\0\0\0\0", 4);
      end_message(start);
      return *this;
   }

   // Overwrites the length of the message that starts at `offset`.
   datagram & set_length(std::size_t offset, std::uint32_t uLength)
   {
      std::memcpy(m_bytes.data() + offset, &uLength, sizeof uLength);
      return *this;
   }

   bytes & data() { return m_bytes; }

   vestra::walk_result walk(std::vector<std::string> * pTexts = nullptr) const
   {
      return vestra::walk_neighbour_messages(m_bytes.data(), m_bytes.size(), [&](const vestra::neighbour_entry & entry) {
         if (pTexts)
         {
            char szText[64];
            vestra::write_entry_text(entry, szText, sizeof szText);
            char szAddress[INET_ADDRSTRLEN];
            ::inet_ntop(AF_INET, &entry.m_uAddress, szAddress, sizeof szAddress);
            pTexts->push_back(std::string(szAddress) + " " + szText);
         }
      });
   }

private:
   std::size_t begin_message(std::uint16_t uType)
   {
      const std::size_t start = m_bytes.size();
      nlmsghdr header{};
      header.nlmsg_type = uType;
      append(&header, sizeof header);
      return start;
   }

   void end_message(std::size_t start) { set_length(start, static_cast<std::uint32_t>(m_bytes.size() - start)); }

   void attribute(std::uint16_t uType, const void * p, std::size_t size)
   {
      rtattr header{};
      header.rta_type = uType;
      header.rta_len = static_cast<std::uint16_t>(RTA_LENGTH(size));
      append(&header, sizeof header);
      append(p, size);
   }

   void set_header_field(std::size_t start, std::size_t offset, std::uint16_t uValue)
   {
      std::memcpy(m_bytes.data() + start + offset, &uValue, sizeof uValue);
   }

   void append(const void * p, std::size_t size)
   {
      const auto * pb = static_cast<const unsigned char *>(p);
      m_bytes.insert(m_bytes.end(), pb, pb + size);
      m_bytes.resize(NLMSG_ALIGN(m_bytes.size()), 0);
   }

   bytes m_bytes;
};

} // namespace

TEST(NeighbourMessages, EntriesOfBothDumpsAreReadInOrder)
{
   datagram d;
   d.neighbour("192.0.2.1", {0x02, 0xfc, 0, 0, 0, 0x05})
      .neighbour("192.0.2.7", {}, NUD_INCOMPLETE)
      .neighbour("192.0.2.9", {0, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, NUD_PERMANENT)
      .done()
      .neighbour("192.0.2.200", {}, NUD_NONE, NTF_PROXY)
      .done();
   std::vector<std::string> texts;
   const vestra::walk_result result = d.walk(&texts);
   EXPECT_TRUE(result.is_complete());
   EXPECT_TRUE(result.m_bDumpEnded);
   EXPECT_EQ(result.m_cEntries, 4u);
   const std::vector<std::string> expected = {
      "192.0.2.1 2:fc:0:0:0:5",
      "192.0.2.7 (incomplete)",
      "192.0.2.9 0:1a:2b:3c:4d:5e permanent",
      "192.0.2.200 (incomplete) permanent published (proxy only)",
   };
   EXPECT_EQ(texts, expected);
}

TEST(NeighbourMessages, EntriesThatNeverExpireArePermanent)
{
   // A multicast entry needs no address resolution; a proxy entry carries its interface's index,
   // by which its answering address is found.
   datagram d;
   d.neighbour("224.0.0.22", {0x01, 0, 0x5e, 0, 0, 0x16}, NUD_NOARP)
      .neighbour("192.0.2.9", {}, NUD_NONE, NTF_PROXY, AF_INET, 7)
      .neighbour("192.0.2.11", {2, 0, 0, 0, 0, 0x0b}, NUD_STALE);
   std::vector<vestra::neighbour_entry> entries;
   EXPECT_TRUE(vestra::walk_neighbour_messages(d.data().data(), d.data().size(), [&](const vestra::neighbour_entry & entry) {
                  entries.push_back(entry);
               }).is_complete());
   ASSERT_EQ(entries.size(), 3u);
   EXPECT_TRUE(entries[0].m_bPermanent);
   EXPECT_TRUE(entries[1].m_bPermanent);
   EXPECT_TRUE(entries[1].m_bProxy);
   EXPECT_EQ(entries[1].m_iInterface, 7);
   EXPECT_FALSE(entries[2].m_bPermanent);
}

TEST(NeighbourMessages, AddresslessEntriesOfLoopbackDevicesAreLeftOut)
{
   // The kernel's entry for sending through a loopback device, and one of a device without a
   // hardware address; an all-zero address that was resolved or set by hand stays listed.
   datagram d;
   d.neighbour("0.0.0.0", {0, 0, 0, 0, 0, 0}, NUD_NOARP, 0, AF_INET, 1)
      .neighbour("0.0.0.0", {}, NUD_NOARP, 0, AF_INET, 5)
      .neighbour("192.0.2.20", {0, 0, 0, 0, 0, 0}, NUD_PERMANENT);
   std::vector<std::string> texts;
   const vestra::walk_result result = d.walk(&texts);
   EXPECT_TRUE(result.is_complete());
   EXPECT_EQ(result.m_cEntries, 1u);
   EXPECT_EQ(texts, std::vector<std::string>{"192.0.2.20 0:0:0:0:0:0 permanent"});
}

TEST(NeighbourMessages, OtherMessagesAndFamiliesAreSkipped)
{
   datagram d;
   d.message(RTM_NEWLINK).message(NLMSG_NOOP).neighbour("192.0.2.1", {1, 2, 3, 4, 5, 6}, NUD_REACHABLE, 0, AF_INET6);
   const vestra::walk_result result = d.walk();
   EXPECT_TRUE(result.is_complete());
   EXPECT_FALSE(result.m_bDumpEnded);
   EXPECT_EQ(result.m_cEntries, 0u);
}

TEST(NeighbourMessages, LengthsThatDoNotFitStopTheWalk)
{
   // A zero length would never advance; a length past the end would read beyond the bytes.
   for (std::uint32_t uLength : {0u, 15u, 1000u})
   {
      datagram d;
      d.neighbour("192.0.2.1", {1, 2, 3, 4, 5, 6}).done();
      d.set_length(0, uLength);
      EXPECT_EQ(d.walk().m_status, vestra::walk_result::status::malformed) << uLength;
   }

   // A header cut short by the end of the bytes.
   datagram cut;
   cut.neighbour("192.0.2.1", {1, 2, 3, 4, 5, 6});
   cut.data().resize(cut.data().size() + 8, 0);
   EXPECT_EQ(cut.walk().m_status, vestra::walk_result::status::malformed);

   // A message too short for its neighbour header.
   datagram bare;
   bare.message(RTM_NEWNEIGH);
   EXPECT_EQ(bare.walk().m_status, vestra::walk_result::status::malformed);
}

TEST(NeighbourMessages, AttributeLengthsAreCheckedAgainstTheirMessage)
{
   // The entry's layout: header 16, body 12, destination attribute 8, link-level attribute 4 + 6.
   constexpr std::size_t kLinkAttribute = 36;
   for (std::uint16_t uLength : {0, 3, 13, 200})
   {
      datagram d;
      d.neighbour("192.0.2.1", {1, 2, 3, 4, 5, 6}).done();
      std::memcpy(d.data().data() + kLinkAttribute, &uLength, sizeof uLength);
      std::vector<std::string> texts;
      EXPECT_EQ(d.walk(&texts).m_status, vestra::walk_result::status::malformed) << uLength;
      EXPECT_TRUE(texts.empty());
   }
}

TEST(NeighbourMessages, AnUnalignedLastMessageEndsAtTheBytesReceived)
{
   datagram d;
   d.neighbour("192.0.2.1", {1, 2, 3, 4, 5, 6});
   // Without the padding of its last attribute the message ends two bytes short of its aligned
   // size, and so do the bytes received: the walk must not step past them.
   d.data().resize(d.data().size() - 2);
   d.set_length(0, static_cast<std::uint32_t>(d.data().size()));
   std::vector<std::string> texts;
   EXPECT_TRUE(d.walk(&texts).is_complete());
   EXPECT_EQ(texts, std::vector<std::string>{"192.0.2.1 1:2:3:4:5:6"});
}

TEST(NeighbourMessages, KernelFailuresAreReported)
{
   datagram error;
   error.neighbour("192.0.2.1", {1, 2, 3, 4, 5, 6}).message(NLMSG_ERROR);
   EXPECT_EQ(error.walk().m_status, vestra::walk_result::status::failed);

   datagram interrupted;
   interrupted.message(RTM_NEWNEIGH, NLM_F_MULTI | NLM_F_DUMP_INTR);
   EXPECT_EQ(interrupted.walk().m_status, vestra::walk_result::status::failed);

   datagram failedDump;
   failedDump.done(-ENOBUFS);
   EXPECT_EQ(failedDump.walk().m_status, vestra::walk_result::status::failed);
}
