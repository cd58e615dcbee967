#pragma once

#include <algorithm>

#include "orvo/particle.h"
#include "orvo/string.h"

class request;

namespace platform
{

// The application as the host sees it: the interface a module registers its application class
// for. The host constructs it, calls `init_instance` once, hands it every request, runs the
// event loop and calls `term_application` at the end, all on the UI thread.
class application : virtual public particle
{
public:
   // The id in "Maker/Product" form, from which the file association id is made.
   const string_base & application_id() const noexcept { return m_strApplicationId; }
   void set_application_id(scoped_string_base str) { m_strApplicationId = str; }

   // The id of the application's desktop entry: the application id with "/" and "-" as "_"
   // ("Tarvossa/BrisvanePro" gives "Tarvossa_BrisvanePro"). The desktop matches the windows'
   // class with it, to show them under the entry's name and icon.
   string_base desktop_id() const
   {
      string_base strId = m_strApplicationId;
      std::ranges::replace(strId, '/', '_');
      std::ranges::replace(strId, '-', '_');
      return strId;
   }

   // The name the user sees.
   const string_base & application_name() const noexcept { return m_strApplicationName; }
   void set_application_name(scoped_string_base str) { m_strApplicationName = str; }

   // The name of the module that holds the application.
   const string_base & module_name() const noexcept { return m_strModuleName; }
   void set_module_name(scoped_string_base str) { m_strModuleName = str; }

   // Prepares the application before any request; throws an `exception` that says why it cannot start.
   virtual void init_instance() = 0;
   virtual void on_request(request * prequest) = 0;
   // Releases what the application holds; false when it could not end cleanly.
   virtual bool term_application() = 0;

private:
   string_base m_strApplicationId;
   string_base m_strApplicationName;
   string_base m_strModuleName;
};

} // namespace platform
