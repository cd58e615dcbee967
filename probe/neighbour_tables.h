#pragma once

#include <cstddef>

namespace vestra
{

// What one pass over the kernel's IPv4 neighbour table and its proxy entries received.
struct tables_pass
{
   bool m_bOk = false;
   std::size_t m_cbReceived = 0; // all messages, the end-of-dump messages included
   std::size_t m_cEntries = 0;
};

// The listing takes two passes, so that it needs one allocation and makes no callback before
// everything is in: the first measures the bytes the kernel sends, the second keeps them.
// Each pass opens its own netlink socket, connected to the kernel so that no other process can
// slip messages into it, and asks for the neighbour dump and then the proxy dump.

// Measures the dumps, received one datagram at a time into a scratch buffer of the pass.
tables_pass measure_neighbour_tables();

// Receives the dumps into `pBuffer`; fails when they no longer fit its `size` bytes.
tables_pass fetch_neighbour_tables(unsigned char * pBuffer, std::size_t size);

} // namespace vestra
