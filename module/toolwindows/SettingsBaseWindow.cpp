#include "toolwindows/SettingsBaseWindow.h"

#include "core/screen_link.h"
#include "zelui/Button.h"
#include "zelui/TextBox.h"

namespace Tarvossa_BrisvanePro
{

SettingsBaseWindow::SettingsBaseWindow(zelui::Widget * pparent, Global * pglobal, scoped_string_base strTitle) :
   zelui::Window(pparent, strTitle), SettingsFromLayer(pglobal)
{
   set_modal(false);
   auto * pbuttonClose = new zelui::Button(button_panel(), "x", 0);
   pbuttonClose->set_callback([this] { on_close_button(); });
   // The toolkit keeps a size once given; at the first frame the window takes the size its
   // controls need, as a window laid out by its screen does.
   set_layout_hook([this](zel2d::context * pcontext) { fit_to_content(pcontext); });
}

SettingsBaseWindow::~SettingsBaseWindow() = default;

bool SettingsBaseWindow::visible() const
{
   return zelui::Window::visible();
}

void SettingsBaseWindow::setTextBoxesFixedSize(const size_type<int> & size)
{
   for (const pointer<zelui::Widget> & pchild : children())
   {
      if (dynamic_cast<zelui::TextBox *>(pchild.get()))
      {
         pchild->set_fixed_size(size);
      }
   }
}

void SettingsBaseWindow::toggle_stored_visibility()
{
   m_bStoredVisibility = !m_bStoredVisibility;
   if (auto * pmainscreen = dynamic_cast<screen_link *>(screen()))
   {
      pmainscreen->settings_save_layout();
      pmainscreen->update_settings_visibility();
   }
}

void SettingsBaseWindow::on_close_button()
{
   toggle_stored_visibility();
}

void SettingsBaseWindow::request_layout_and_redraw()
{
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

void SettingsBaseWindow::fit_to_content(zel2d::context * pcontext)
{
   set_size(preferred_size(pcontext));
   perform_layout(pcontext);
}

void SettingsBaseWindow::relayout_screen_on_next_frame()
{
   set_layout_hook([this](zel2d::context * pcontext)
   {
      set_size(preferred_size(pcontext));
      if (parent())
      {
         parent()->perform_layout(pcontext);
      }
   });
   request_layout_and_redraw();
}

} // namespace Tarvossa_BrisvanePro
