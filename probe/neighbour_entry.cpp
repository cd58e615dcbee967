#include "neighbour_entry.h"

#include <algorithm>

#include "scatprintf.h"

namespace vestra
{

namespace
{

// An Ethernet address has six bytes; a shorter one (a tunnel's, say) is written with the bytes it
// has, and a longer one is cut to six, as the listing's column expects.
constexpr std::size_t kMaximumLinkAddressBytes = 6;

void append(char * pszText, int iSize, const char * pszPiece)
{
   scatprintf<256>(pszText, iSize, "%s", pszPiece);
}

void append_link_address(const neighbour_entry & entry, char * pszText, int iSize)
{
   const std::size_t cBytes = std::min(entry.m_cbLinkAddress, kMaximumLinkAddressBytes);
   for (std::size_t i = 0; i < cBytes; ++i)
   {
      scatprintf<256>(pszText, iSize, i == 0 ? "%x" : ":%x", entry.m_pLinkAddress[i]);
   }
}

} // namespace

void write_entry_text(const neighbour_entry & entry, char * pszText, int iSize)
{
   if (iSize <= 0)
   {
      return;
   }
   pszText[0] = '\0';
   if (entry.m_cbLinkAddress == 0)
   {
      append(pszText, iSize, "(incomplete)");
   }
   else
   {
      append_link_address(entry, pszText, iSize);
   }
   if (entry.m_bPermanent)
   {
      append(pszText, iSize, " permanent");
   }
   if (entry.m_bProxy)
   {
      append(pszText, iSize, " published (proxy only)");
   }
}

} // namespace vestra
