#pragma once

#include <cstddef>

namespace vestra
{

// Copies the first bytes of the link-level address of the network interface with the kernel's
// index `iInterface` into `pAddress` (at most `cbAddress`, at most the 14 the kernel hands out).
// Returns how many bytes were written: 0 when the interface cannot be read (it may have gone
// since the dump) or has no hardware address (all zeros, as a loopback device's).
std::size_t read_interface_address(int iInterface, unsigned char * pAddress, std::size_t cbAddress);

} // namespace vestra
