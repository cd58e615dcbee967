#include "neighbour_tables.h"

#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "neighbour_messages.h"

namespace vestra
{

namespace
{

// The kernel sizes each dump datagram after the largest receive buffer the socket has been
// offered, but at least at one page (at most 8 KiB). Offering 8 KiB keeps every datagram of the
// measuring pass within the scratch buffer; a larger one is reported as a failure, not cut.
constexpr std::size_t kScratchBytes = 8192;

// The neighbour table first, then the proxy entries, which the kernel dumps only on request.
constexpr std::uint8_t kDumpFlags[] = {0, NTF_PROXY};

// A netlink route socket connected to the kernel, closed with its scope.
class kernel_socket
{
public:
   kernel_socket() : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE))
   {
      sockaddr_nl kernel{};
      kernel.nl_family = AF_NETLINK;
      if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<const sockaddr *>(&kernel), sizeof kernel) != 0)
      {
         ::close(m_fd);
         m_fd = -1;
      }
   }
   ~kernel_socket()
   {
      if (m_fd >= 0)
      {
         ::close(m_fd);
      }
   }
   kernel_socket(const kernel_socket &) = delete;
   kernel_socket & operator=(const kernel_socket &) = delete;

   bool is_open() const noexcept { return m_fd >= 0; }

   // Asks for a dump of the IPv4 neighbour entries with the given flags.
   bool request_dump(std::uint8_t uFlags, std::uint32_t uSequence)
   {
      struct
      {
         nlmsghdr header;
         ndmsg body;
      } request{};
      request.header.nlmsg_len = NLMSG_LENGTH(sizeof request.body);
      request.header.nlmsg_type = RTM_GETNEIGH;
      request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
      request.header.nlmsg_seq = uSequence;
      request.body.ndm_family = AF_INET;
      request.body.ndm_flags = uFlags;
      ssize_t cbSent;
      do
      {
         cbSent = ::send(m_fd, &request, request.header.nlmsg_len, 0);
      } while (cbSent < 0 && errno == EINTR);
      return cbSent == static_cast<ssize_t>(request.header.nlmsg_len);
   }

   // Receives the next datagram into `size` bytes at `p`; returns its whole length, which exceeds
   // `size` when it was cut, or -1.
   ssize_t receive(unsigned char * p, std::size_t size)
   {
      ssize_t cbReceived;
      do
      {
         cbReceived = ::recv(m_fd, p, size, MSG_TRUNC);
      } while (cbReceived < 0 && errno == EINTR);
      return cbReceived;
   }

private:
   int m_fd;
};

// Runs both dumps. Each datagram lands at the start of the buffer when the pass only measures,
// or after the bytes already kept when it keeps them. Every datagram is walked at once, so a cut,
// malformed or failed one ends the pass before anything uses it.
tables_pass run_pass(unsigned char * pBuffer, std::size_t size, bool bKeep)
{
   tables_pass pass;
   kernel_socket socket;
   if (!socket.is_open())
   {
      return pass;
   }
   std::uint32_t uSequence = 0;
   for (const std::uint8_t uFlags : kDumpFlags)
   {
      if (!socket.request_dump(uFlags, ++uSequence))
      {
         return pass;
      }
      for (bool bDumpEnded = false; !bDumpEnded;)
      {
         unsigned char * p = bKeep ? pBuffer + pass.m_cbReceived : pBuffer;
         const std::size_t cbRoom = bKeep ? size - pass.m_cbReceived : size;
         const ssize_t cbDatagram = socket.receive(p, cbRoom);
         if (cbDatagram <= 0 || static_cast<std::size_t>(cbDatagram) > cbRoom)
         {
            return pass;
         }
         const walk_result walk =
            walk_neighbour_messages(p, static_cast<std::size_t>(cbDatagram), [](const neighbour_entry &) {});
         if (!walk.is_complete())
         {
            return pass;
         }
         pass.m_cbReceived += static_cast<std::size_t>(cbDatagram);
         pass.m_cEntries += walk.m_cEntries;
         bDumpEnded = walk.m_bDumpEnded;
      }
   }
   pass.m_bOk = true;
   return pass;
}

} // namespace

tables_pass measure_neighbour_tables()
{
   unsigned char scratch[kScratchBytes];
   return run_pass(scratch, sizeof scratch, false);
}

tables_pass fetch_neighbour_tables(unsigned char * pBuffer, std::size_t size)
{
   return run_pass(pBuffer, size, true);
}

} // namespace vestra
