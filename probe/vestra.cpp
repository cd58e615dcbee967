#include "vestra.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "interface_address.h"
#include "neighbour_messages.h"
#include "neighbour_tables.h"

namespace
{

constexpr const char * kProcessLimitFile = "/proc/sys/kernel/threads-max";

// Room for one entry's line; the longest is 50 characters.
constexpr int kEntryTextBytes = 2048;

// Reads a file that holds one non-negative int and a line break; -1 when it does not.
int read_int_file(const char * pszPath)
{
   const int fd = ::open(pszPath, O_RDONLY | O_CLOEXEC);
   if (fd < 0)
   {
      return -1;
   }
   char szDigits[32];
   ssize_t cbRead;
   do
   {
      cbRead = ::read(fd, szDigits, sizeof szDigits - 1);
   } while (cbRead < 0 && errno == EINTR);
   ::close(fd);
   if (cbRead <= 0)
   {
      return -1;
   }
   szDigits[cbRead] = '\0';

   char * pszEnd = nullptr;
   errno = 0;
   const long lValue = std::strtol(szDigits, &pszEnd, 10);
   const bool bWhole = pszEnd != szDigits && (*pszEnd == '\0' || (*pszEnd == '\n' && pszEnd[1] == '\0'));
   if (!bWhole || errno != 0 || lValue < 0 || lValue > INT_MAX)
   {
      return -1;
   }
   return static_cast<int>(lValue);
}

// Writes the entry's line. The kernel keeps no link-level address with a proxy entry: the address
// it answers with is that of the entry's interface.
void write_listing_text(const vestra::neighbour_entry & entry, char * pszText, int iSize)
{
   if (!entry.m_bProxy)
   {
      vestra::write_entry_text(entry, pszText, iSize);
      return;
   }
   unsigned char answering[6];
   vestra::neighbour_entry published = entry;
   published.m_pLinkAddress = answering;
   published.m_cbLinkAddress = vestra::read_interface_address(entry.m_iInterface, answering, sizeof answering);
   vestra::write_entry_text(published, pszText, iSize);
}

} // namespace

int kern_max_proc()
{
   return read_int_file(kProcessLimitFile);
}

int ether_sprint(char * buf, int size, unsigned char * mac)
{
   const std::size_t cbRoom = size > 0 ? static_cast<std::size_t>(size) : 0;
   return std::snprintf(buf, cbRoom, "%x:%x:%x:%x:%x:%x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}

const char * arp_a(void * context, void (*callback)(void * context, unsigned int address, const char * text))
{
   const vestra::tables_pass measured = vestra::measure_neighbour_tables();
   if (!measured.m_bOk)
   {
      return "route-sysctl-estimate";
   }
   if (measured.m_cEntries == 0)
   {
      return nullptr;
   }
   const std::unique_ptr<unsigned char[]> pBuffer(new (std::nothrow) unsigned char[measured.m_cbReceived]);
   if (!pBuffer)
   {
      return "malloc";
   }
   const vestra::tables_pass fetched = vestra::fetch_neighbour_tables(pBuffer.get(), measured.m_cbReceived);
   if (!fetched.m_bOk)
   {
      return "actual retrieval of routing table";
   }
   char szText[kEntryTextBytes];
   vestra::walk_neighbour_messages(pBuffer.get(), fetched.m_cbReceived, [&](const vestra::neighbour_entry & entry) {
      write_listing_text(entry, szText, sizeof szText);
      callback(context, entry.m_uAddress, szText);
   });
   return nullptr;
}
