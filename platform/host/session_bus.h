#pragma once

#include <chrono>

#include "orvo/string.h"

struct sd_bus;

namespace platform
{

// A connection to the user's D-Bus session bus, served from the UI thread: nothing here blocks
// for an answer, and the callbacks of calls and signals run inside `serve`, on the thread that
// calls it.
class session_bus
{
public:
   // Connects to the bus that DBUS_SESSION_BUS_ADDRESS names (else the one in the user's runtime
   // folder). Throws `exception` with the reason when there is none to connect to.
   session_bus();
   ~session_bus();
   session_bus(const session_bus &) = delete;
   session_bus & operator=(const session_bus &) = delete;

   sd_bus * handle() const noexcept { return m_pbus; }
   // The connection's own name on the bus (":1.42").
   string_base unique_name() const;

   // Waits until the connection's descriptor has something to read or a call's time is up, at
   // most `timeout`, then handles everything that arrived.
   void serve(std::chrono::milliseconds timeout);

private:
   sd_bus * m_pbus = nullptr;
};

// Throws `exception` with the reason and `pszWhat` when an sd-bus call returned an error number.
int check_bus_call(int iResult, const char * pszWhat);

} // namespace platform
