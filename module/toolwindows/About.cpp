#include "toolwindows/About.h"

#include "host/context.h"
#include "host/node.h"
#include "orvo/file_system.h"
#include "toolwindows/W_Image.h"
#include "zelui/BoxLayout.h"
#include "zelui/Label.h"

namespace Tarvossa_BrisvanePro
{

About::About(zelui::Widget * pparent, Global * pglobal) : SettingsBaseWindow(pparent, pglobal, "About")
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_fill, rectangle_type<int>{0, 0, 0, 0}, 5));
   auto * plogo = new W_Image<456, 256>(this, pglobal ? pglobal->getContext() : nullptr, "matter://res/logo.png");
   plogo->set_fixed_size({456, 256});
   const string_base strDataFolder = pglobal ? pglobal->getFolderToSaveData().as_string() : string_base();
   const string_base lines[] = {
      "Version " + platform::context::node()->application_version(),
      "",
      format("User Dir: %s", dir::home().c_str()),
      format("Data Dir: %s", strDataFolder.c_str()),
      "",
   };
   for (const string_base & strLine : lines)
   {
      auto * plabel = new zelui::Label(this, strLine, "sans", 14);
      plabel->set_color(color::white);
   }
}

About::~About() = default;

void About::get_settings_from_layer(const pointer<boxes_layer> &)
{
}

void About::on_close_button()
{
   set_visible(false);
}

} // namespace Tarvossa_BrisvanePro
