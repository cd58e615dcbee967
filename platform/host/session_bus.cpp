#include "host/session_bus.h"

#include <systemd/sd-bus.h>

#include <cstring>

#include "orvo/exception.h"

namespace platform
{

int check_bus_call(int iResult, const char * pszWhat)
{
   if (iResult < 0)
   {
      throw exception(error_io, string_base(pszWhat) + ": " + std::strerror(-iResult));
   }
   return iResult;
}

session_bus::session_bus()
{
   check_bus_call(sd_bus_open_user(&m_pbus), "no session bus");
}

session_bus::~session_bus()
{
   sd_bus_flush_close_unref(m_pbus);
}

string_base session_bus::unique_name() const
{
   const char * pszName = nullptr;
   check_bus_call(sd_bus_get_unique_name(m_pbus, &pszName), "the session bus gave no name");
   return pszName;
}

void session_bus::serve(std::chrono::milliseconds timeout)
{
   // Whatever is already queued comes first; waiting then sleeps on the descriptor.
   while (check_bus_call(sd_bus_process(m_pbus, nullptr), "the session bus failed") > 0)
   {
   }
   check_bus_call(sd_bus_wait(m_pbus, static_cast<std::uint64_t>(std::chrono::microseconds(timeout).count())),
                  "the session bus failed");
   while (check_bus_call(sd_bus_process(m_pbus, nullptr), "the session bus failed") > 0)
   {
   }
}

} // namespace platform
