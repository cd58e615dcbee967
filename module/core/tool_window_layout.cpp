#include "core/tool_window_layout.h"

#include "orvo/payload.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

string_base key(tool_window_layout::enum_window ewindow, const char * pszSuffix)
{
   return format("%s_%s", tool_window_layout::prefix(ewindow), pszSuffix);
}

} // namespace

const char * tool_window_layout::prefix(enum_window ewindow)
{
   static const char * const s_prefixes[e_window_count] = {"boxes", "labels", "colors", "power", "snake", "raster"};
   return s_prefixes[ewindow];
}

tool_window_layout tool_window_layout::reset_layout()
{
   tool_window_layout layout;
   layout.m_entries = {{
      {{10, 70}, true},
      {{10, 540}, true},
      {{170, 540}, true},
      {{500, 612}, true},
      {{170, 675}, true},
      {{875, 665}, true},
   }};
   return layout;
}

property_set tool_window_layout::get_property_set() const
{
   property_set set;
   for (int i = 0; i < e_window_count; ++i)
   {
      const auto ewindow = static_cast<enum_window>(i);
      set.set(key(ewindow, "x"), m_entries[i].m_point.x);
      set.set(key(ewindow, "y"), m_entries[i].m_point.y);
      set.set(key(ewindow, "visible"), m_entries[i].m_bVisible);
   }
   return set;
}

tool_window_layout tool_window_layout::from_text(scoped_string_base strText)
{
   property_set set;
   // A fault keeps what was read before it; the keys that are missing read as their defaults.
   if (strText.find('{') != std::string_view::npos)
   {
      set.parse_network_payload(strText);
   }
   else
   {
      set.parse_ini(strText);
   }
   tool_window_layout layout;
   for (int i = 0; i < e_window_count; ++i)
   {
      const auto ewindow = static_cast<enum_window>(i);
      layout.m_entries[i].m_point.x = static_cast<int>(set.get_int(key(ewindow, "x")));
      layout.m_entries[i].m_point.y = static_cast<int>(set.get_int(key(ewindow, "y")));
      layout.m_entries[i].m_bVisible = set.get_bool(key(ewindow, "visible"));
   }
   return layout;
}

} // namespace Tarvossa_BrisvanePro
