#include "host/system.h"

#include <SDL.h>

#include <cstdio>

namespace platform
{

namespace
{

bool is_web_address(scoped_string_base strUrl)
{
   if (!strUrl.starts_with("http://") && !strUrl.starts_with("https://"))
   {
      return false;
   }
   for (char ch : strUrl)
   {
      if (static_cast<unsigned char>(ch) <= 0x20 || ch == 0x7f)
      {
         return false;
      }
   }
   return true;
}

} // namespace

bool system::open_url(scoped_string_base strUrl)
{
   const string_base str(strUrl);
   if (!is_web_address(str))
   {
      std::fprintf(stderr, "not opening \"%s\": only http and https addresses are opened\n", str.c_str());
      return false;
   }
   if (SDL_OpenURL(str.c_str()) != 0)
   {
      std::fprintf(stderr, "cannot open %s: %s\n", str.c_str(), SDL_GetError());
      return false;
   }
   return true;
}

} // namespace platform
