#pragma once

#include <array>

#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/forward.h"
#include "zelui/IntBox.h"
#include "zelui/Label.h"

namespace Tarvossa_BrisvanePro
{

// The "Raster Label" tool window: the document's raster label (shown or not, position, font size
// and four text lines). It edits the document, not a layer: every edit writes the document's field
// at once, marks the document changed and redraws, whether a screen layer is current or not.
class SettingsRasterLabel : public SettingsBaseWindow
{
public:
   // The grid that holds the rows.
   class W_Grid : public zelui::Widget
   {
   public:
      explicit W_Grid(zelui::Widget * pparent) : zelui::Widget(pparent) {}
   };

   SettingsRasterLabel(zelui::Widget * pparent, Global * pglobal);
   ~SettingsRasterLabel() override;

   // Fills the controls from the current document's raster label; the layer is not used.
   void get_settings_from_layer(const pointer<boxes_layer> & player) override;
   // Copies what the controls show into the current document's raster label.
   void get_settings_from_raster();

   W_Grid * m_pgrid = nullptr;
   CheckboxWithFocus * m_pcheckboxShown = nullptr;
   zelui::TextBox * m_ptextboxX = nullptr;
   zelui::TextBox * m_ptextboxY = nullptr;
   zelui::IntBox<int> * m_pintboxFontSize = nullptr;
   std::array<zelui::TextBox *, 4> m_textboxesLines{};

private:
   zelui::TextBox * add_text_row(scoped_string_base strCaption);
   // Runs one edit of the current document, then marks the document changed and redraws.
   template <typename EDIT>
   void edit_document(EDIT edit);
   bool on_offset_text(zelui::TextBox * ptextbox, int project::*pfield, scoped_string_base strText);
};

} // namespace Tarvossa_BrisvanePro
