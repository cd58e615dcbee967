#pragma once

#include "orvo/string.h"

namespace platform
{

// Services of the operating system.
class system
{
public:
   // Opens the web page in the user's browser. Only http and https addresses are opened; false
   // (with the reason on standard error) when the address is refused or no browser could be asked.
   bool open_url(scoped_string_base strUrl);
};

} // namespace platform
