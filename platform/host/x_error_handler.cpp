#include "host/x_error_handler.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "orvo/trace.h"

namespace user
{

namespace
{

// The program's X windows that are destroyed or being destroyed. SDL may send its wake-up from
// another thread than the UI thread, and Xlib then reads the error there.
std::mutex g_mutexDestroyed;
std::vector<XID> g_destroyedWindows;

bool is_destroyed_window(XID window)
{
   const std::lock_guard lock(g_mutexDestroyed);
   return std::ranges::find(g_destroyedWindows, window) != g_destroyedWindows.end();
}

// A message sent to one of the program's windows after the X server destroyed it.
bool is_message_to_destroyed_window(const XErrorEvent & error)
{
   return error.request_code == X_SendEvent && error.error_code == BadWindow && is_destroyed_window(error.resourceid);
}

// The name of a request of the core protocol ("X_SendEvent"); empty for an extension's.
std::string request_name(Display * pdisplay, int iRequest)
{
   char szName[128] = {};
   XGetErrorDatabaseText(pdisplay, "XRequest", std::to_string(iRequest).c_str(), "", szName, sizeof(szName));
   return szName;
}

// Xlib calls this for every error the X server answers a request with, whichever thread reads it;
// it must not send requests of its own.
int on_x_error(Display * pdisplay, XErrorEvent * perror)
{
   char szError[256] = {};
   XGetErrorText(pdisplay, perror->error_code, szError, sizeof(szError));
   if (is_message_to_destroyed_window(*perror))
   {
      debug_trace("brisvane: a message to the destroyed window 0x%lx was refused (%s), as expected",
                  perror->resourceid, szError);
      return 0;
   }
   const std::string strRequest = request_name(pdisplay, perror->request_code);
   trace("brisvane: the X server refused a request, and the program goes on: %s, request %d.%d%s%s, resource 0x%lx",
         szError, perror->request_code, perror->minor_code, strRequest.empty() ? "" : " ", strRequest.c_str(),
         perror->resourceid);
   return 0;
}

} // namespace

void x_error_handler::install()
{
   XSetErrorHandler(on_x_error);
}

void x_error_handler::note_destroyed(SDL_Window * pwindow)
{
   const char * pszDriver = SDL_GetCurrentVideoDriver();
   if (!pwindow || !pszDriver || std::strcmp(pszDriver, "x11") != 0)
   {
      return;
   }
   SDL_SysWMinfo info;
   SDL_VERSION(&info.version);
   if (!SDL_GetWindowWMInfo(pwindow, &info) || info.subsystem != SDL_SYSWM_X11)
   {
      return;
   }
   const std::lock_guard lock(g_mutexDestroyed);
   g_destroyedWindows.push_back(info.info.x11.window);
}

} // namespace user
