#pragma once

#include "zelui/Window.h"

namespace zelui
{

// The panel a `PopupButton` opens: a window without a title bar, a child of the screen so that it
// floats over every other widget, placed under its button each time it is laid out or drawn. A
// press outside it (and outside its button) closes it.
class Popup : public Window
{
public:
   explicit Popup(PopupButton * pbutton);

   // The button that opens it (a plain back reference).
   PopupButton * button() const noexcept { return m_pbutton; }
   // The window that holds the button (the popup's owner); null when the button is in none.
   Window * parent_window() const;

   // Shows it under its button, in front of its siblings.
   void open();
   // Hides it and releases its button.
   void close();
   // Moves it under its button, inside the screen.
   void place_under_button();

   bool is_popup() const override { return true; }

   void perform_layout(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;

private:
   friend class PopupButton;
   PopupButton * m_pbutton;
};

} // namespace zelui
