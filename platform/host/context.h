#pragma once

namespace user
{
class windowing;
class event_loop;
} // namespace user

namespace platform
{

class application;
class node;
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

   // The running application, set by the host while it runs; null before and after.
   static ::platform::application * application();
   static void set_application(::platform::application * papplication);
};

} // namespace platform
