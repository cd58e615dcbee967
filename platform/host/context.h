#pragma once

#include <memory>

namespace user
{
class windowing;
class event_loop;
} // namespace user

namespace platform
{

class application;
class node;
class portal_file_chooser;
class system;

// Where the framework's services are reached from anywhere on the UI thread.
class context
{
public:
   // The desktop integration: document extension, file association, recently used files.
   static ::platform::node * node();
   // Operating-system services such as opening a web page.
   static ::platform::system * system();
   // Monitors and the open windows.
   static user::windowing * windowing();
   // The UI thread's event loop.
   static user::event_loop * event_loop();
   // The desktop's file chooser, reached through the desktop portal; made at first use.
   static ::platform::portal_file_chooser * file_chooser();
   // Replaces it (a test's chooser); null makes a new one at the next use.
   static void set_file_chooser(std::unique_ptr<::platform::portal_file_chooser> pchooser);

   // The running application, set by the host while it runs; null before and after.
   static ::platform::application * application();
   static void set_application(::platform::application * papplication);
};

} // namespace platform
