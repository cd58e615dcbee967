#include "host/context.h"

#include "host/event_loop.h"
#include "host/node.h"
#include "host/portal_file_chooser.h"
#include "host/system.h"
#include "host/windowing.h"

namespace platform
{

namespace
{
::platform::application * g_papplication = nullptr;

std::unique_ptr<::platform::portal_file_chooser> & file_chooser_storage()
{
   static std::unique_ptr<::platform::portal_file_chooser> s_pchooser;
   return s_pchooser;
}
} // namespace

::platform::node * context::node()
{
   static ::platform::node s_node;
   return &s_node;
}

::platform::system * context::system()
{
   static ::platform::system s_system;
   return &s_system;
}

user::windowing * context::windowing()
{
   static user::windowing s_windowing;
   return &s_windowing;
}

user::event_loop * context::event_loop()
{
   static user::event_loop s_eventloop;
   return &s_eventloop;
}

::platform::portal_file_chooser * context::file_chooser()
{
   if (!file_chooser_storage())
   {
      file_chooser_storage() = std::make_unique<::platform::portal_file_chooser>();
   }
   return file_chooser_storage().get();
}

void context::set_file_chooser(std::unique_ptr<::platform::portal_file_chooser> pchooser)
{
   file_chooser_storage() = std::move(pchooser);
}

::platform::application * context::application()
{
   return g_papplication;
}

void context::set_application(::platform::application * papplication)
{
   g_papplication = papplication;
}

} // namespace platform
