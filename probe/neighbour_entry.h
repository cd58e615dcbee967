#pragma once

#include <cstddef>

namespace vestra
{

// One entry of the kernel's IPv4 neighbour table, as one listing line needs it. The link-level
// address points into the kernel's message and is valid only as long as that message is.
struct neighbour_entry
{
   unsigned int m_uAddress = 0; // IPv4 address in network byte order
   const unsigned char * m_pLinkAddress = nullptr;
   std::size_t m_cbLinkAddress = 0; // 0: the address is not resolved yet
   int m_iInterface = 0;            // the kernel's index of the interface the entry belongs to
   bool m_bPermanent = false;       // the entry never expires
   bool m_bProxy = false;
};

// Writes the entry's line into `pszText` (`iSize` bytes, always terminated): the link-level address
// in ether_sprint's form, at most its first six bytes, or "(incomplete)" when there is none; then
// " permanent" for an entry that never expires and " published (proxy only)" for a proxy entry.
void write_entry_text(const neighbour_entry & entry, char * pszText, int iSize);

} // namespace vestra
