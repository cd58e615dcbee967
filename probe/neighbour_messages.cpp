#include "neighbour_messages.h"

#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace vestra
{

namespace
{

// Headers are copied out rather than cast in place: received bytes carry no alignment promise.
template<typename T>
T read_header(const unsigned char * p)
{
   T header;
   std::memcpy(&header, p, sizeof header);
   return header;
}

// The error code an end-of-dump message carries: negative when the dump failed part-way.
int dump_end_error(const unsigned char * pMessage, std::size_t cbMessage)
{
   if (cbMessage < NLMSG_LENGTH(sizeof(int)))
   {
      return 0;
   }
   return read_header<int>(pMessage + NLMSG_HDRLEN);
}

void read_attribute(const rtattr & attribute, const unsigned char * pPayload, std::size_t cbPayload, neighbour_entry & entry,
                    bool & bHasAddress)
{
   if (attribute.rta_type == NDA_DST && cbPayload == sizeof entry.m_uAddress)
   {
      std::memcpy(&entry.m_uAddress, pPayload, sizeof entry.m_uAddress);
      bHasAddress = true;
   }
   else if (attribute.rta_type == NDA_LLADDR)
   {
      entry.m_pLinkAddress = pPayload;
      entry.m_cbLinkAddress = cbPayload;
   }
}

// An entry that needs no address resolution and holds no link-level address but zeros: the
// kernel makes one for each loopback device (and for devices without a hardware address) when it
// sends through them. It names no neighbour, and the kernel's own listings leave it out too.
bool is_addressless_noarp(const ndmsg & body, const neighbour_entry & entry)
{
   const unsigned char * pEnd = entry.m_pLinkAddress + entry.m_cbLinkAddress;
   return (body.ndm_state & NUD_NOARP) != 0 &&
          std::all_of(entry.m_pLinkAddress, pEnd, [](unsigned char b) { return b == 0; });
}

} // namespace

message_step read_message_step(const unsigned char * p, std::size_t size, std::size_t offset)
{
   message_step step;
   const std::size_t cbLeft = size - offset;
   if (cbLeft < sizeof(nlmsghdr))
   {
      step.m_status = walk_result::status::malformed;
      return step;
   }
   const nlmsghdr header = read_header<nlmsghdr>(p + offset);
   if (header.nlmsg_len < sizeof(nlmsghdr) || header.nlmsg_len > cbLeft)
   {
      step.m_status = walk_result::status::malformed;
      return step;
   }
   step.m_cbMessage = header.nlmsg_len;
   step.m_cbStep = std::min<std::size_t>(NLMSG_ALIGN(header.nlmsg_len), cbLeft);
   step.m_bNeighbour = header.nlmsg_type == RTM_NEWNEIGH;
   step.m_bDumpEnded = header.nlmsg_type == NLMSG_DONE;
   const bool bFailed = header.nlmsg_type == NLMSG_ERROR || (header.nlmsg_flags & NLM_F_DUMP_INTR) != 0 ||
                        (step.m_bDumpEnded && dump_end_error(p + offset, step.m_cbMessage) < 0);
   if (bFailed)
   {
      step.m_status = walk_result::status::failed;
   }
   return step;
}

neighbour_message read_neighbour_message(const unsigned char * pMessage, std::size_t cbMessage, neighbour_entry & entry)
{
   if (cbMessage < NLMSG_LENGTH(sizeof(ndmsg)))
   {
      return neighbour_message::malformed;
   }
   const ndmsg body = read_header<ndmsg>(pMessage + NLMSG_HDRLEN);
   entry.m_iInterface = body.ndm_ifindex;
   entry.m_bProxy = (body.ndm_flags & NTF_PROXY) != 0;
   // Static entries, entries that need no address resolution and proxy entries never expire.
   entry.m_bPermanent = (body.ndm_state & (NUD_PERMANENT | NUD_NOARP)) != 0 || entry.m_bProxy;

   bool bHasAddress = false;
   for (std::size_t offset = NLMSG_SPACE(sizeof(ndmsg)); offset < cbMessage;)
   {
      const std::size_t cbLeft = cbMessage - offset;
      if (cbLeft < sizeof(rtattr))
      {
         return neighbour_message::malformed;
      }
      const rtattr attribute = read_header<rtattr>(pMessage + offset);
      if (attribute.rta_len < sizeof(rtattr) || attribute.rta_len > cbLeft)
      {
         return neighbour_message::malformed;
      }
      read_attribute(attribute, pMessage + offset + RTA_LENGTH(0), attribute.rta_len - RTA_LENGTH(0), entry, bHasAddress);
      offset += std::min<std::size_t>(RTA_ALIGN(attribute.rta_len), cbLeft);
   }
   const bool bListed = body.ndm_family == AF_INET && bHasAddress && !is_addressless_noarp(body, entry);
   return bListed ? neighbour_message::entry : neighbour_message::skipped;
}

} // namespace vestra
