#pragma once

#include "panels/SettingsFromLayer.h"
#include "zelui/Window.h"

namespace Tarvossa_BrisvanePro
{

// The base of the floating tool windows and of the About window: a titled, movable, non-modal
// window with a close button "x", the stored visibility that the tool-window layout keeps (whether
// the user wants the window shown; the root screen decides from it and the current layer's kind
// whether it really shows), and the current-layer part through which its controls reach the
// current screen layer.
//
// Every control of a tool window edits in one way: it asks for the current screen layer and does
// nothing without one; otherwise it writes one field and marks the layer changed. Filling the
// controls from a layer runs no control callback and marks nothing changed.
class SettingsBaseWindow : public zelui::Window, public SettingsFromLayer
{
public:
   SettingsBaseWindow(zelui::Widget * pparent, Global * pglobal, scoped_string_base strTitle);
   ~SettingsBaseWindow() override;

   bool visible() const override;
   // Gives every text box among the window's own children (not those inside containers) the size.
   virtual void setTextBoxesFixedSize(const size_type<int> & size);
   // Flips the stored visibility, saves the tool-window layout and lets the root screen show or
   // hide the windows again.
   virtual void toggle_stored_visibility();
   // What the close button "x" does: hides the window by its stored visibility.
   virtual void on_close_button();

   bool stored_visibility() const noexcept { return m_bStoredVisibility; }
   void set_stored_visibility(bool bVisible) noexcept { m_bStoredVisibility = bVisible; }

protected:
   // Asks the window behind the screen for a layout and a full redraw, and posts it.
   void request_layout_and_redraw();
   // Takes the size the controls need and lays them out.
   void fit_to_content(zel2d::context * pcontext);
   // On the next frame, the window takes the size its controls need and the root screen lays
   // itself out again (after controls were added).
   void relayout_screen_on_next_frame();

private:
   bool m_bStoredVisibility = false;
};

} // namespace Tarvossa_BrisvanePro
