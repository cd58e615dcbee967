#pragma once

#include "orvo/outcome.h"
#include "orvo/string.h"

namespace platform
{

// Services of the operating system.
class system
{
public:
   // Opens the web page in the user's browser through the desktop's opener ("xdg-open", else
   // "sensible-browser"). Only http and https addresses are opened. Fails when the address is
   // refused, when no opener is installed, or when every opener ends with a failure within its
   // first second (it found no browser); an opener that still runs then has started one. Returns
   // after at most that second per opener. A failure says why the page was not handed over.
   outcome<> open_url(scoped_string_base strUrl);
};

} // namespace platform
