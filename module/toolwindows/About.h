#pragma once

#include "toolwindows/SettingsBaseWindow.h"

namespace Tarvossa_BrisvanePro
{

// The "About" window: the product logo, the application's version, the user's home folder and
// the data folder. Its texts are those of the moment it is built; it shows nothing of the layers.
class About : public SettingsBaseWindow
{
public:
   About(zelui::Widget * pparent, Global * pglobal);
   ~About() override;

   void get_settings_from_layer(const pointer<boxes_layer> & player) override;
   // The menu shows and hides the window itself, not by a stored visibility: its close button
   // hides it at once.
   void on_close_button() override;
};

} // namespace Tarvossa_BrisvanePro
