#include "interface_address.h"

#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace vestra
{

namespace
{

// The interface's name first, since the kernel hands out hardware addresses by name only.
bool ask_hardware_address(int fd, int iInterface, ifreq & request)
{
   request.ifr_ifindex = iInterface;
   return ::ioctl(fd, SIOCGIFNAME, &request) == 0 && ::ioctl(fd, SIOCGIFHWADDR, &request) == 0;
}

} // namespace

std::size_t read_interface_address(int iInterface, unsigned char * pAddress, std::size_t cbAddress)
{
   const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
   if (fd < 0)
   {
      return 0;
   }
   ifreq request{};
   const bool bAnswered = ask_hardware_address(fd, iInterface, request);
   ::close(fd);
   if (!bAnswered)
   {
      return 0;
   }
   const char * pData = request.ifr_hwaddr.sa_data;
   const std::size_t cbCopied = std::min(cbAddress, sizeof request.ifr_hwaddr.sa_data);
   if (std::all_of(pData, pData + cbCopied, [](char b) { return b == 0; }))
   {
      return 0;
   }
   std::memcpy(pAddress, pData, cbCopied);
   return cbCopied;
}

} // namespace vestra
