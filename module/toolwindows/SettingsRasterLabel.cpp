#include "toolwindows/SettingsRasterLabel.h"

#include <cstdlib>
#include <string>

#include "document/project.h"
#include "panels/CheckboxWithFocus.h"
#include "toolwindows/SettingsBoxes.h"
#include "zelui/BoxLayout.h"
#include "zelui/GridLayout.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr int g_iFontSize = 14;

// The line of that index, the lines growing with empty ones up to it.
string_base & line_at(string_array_base & lines, long long index)
{
   while (lines.count() <= index)
   {
      lines.add("");
   }
   return lines[index];
}

} // namespace

SettingsRasterLabel::SettingsRasterLabel(zelui::Widget * pparent, Global * pglobal) :
   SettingsBaseWindow(pparent, pglobal, "Raster Label")
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_vertical, zelui::e_alignment_middle, rectangle_type<int>{3, 3, 3, 3}, 3));
   m_pgrid = new W_Grid(this);
   m_pgrid->set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, 2, zelui::e_alignment_fill, 5, 5));

   new zelui::Label(m_pgrid, "Raster Label", "sans", g_iFontSize);
   m_pcheckboxShown = new CheckboxWithFocus(m_pgrid, "", {});
   m_pcheckboxShown->set_callback([this](bool bShown) { edit_document([bShown](project & document) { document.m_bRasterLabel = bShown; }); });

   m_ptextboxX = add_text_row("Offset X");
   m_ptextboxX->set_callback([this](scoped_string_base strText) { return on_offset_text(m_ptextboxX, &project::m_iRasterLabelX, strText); });
   m_ptextboxY = add_text_row("Offset Y");
   m_ptextboxY->set_callback([this](scoped_string_base strText) { return on_offset_text(m_ptextboxY, &project::m_iRasterLabelY, strText); });

   new zelui::Label(m_pgrid, "Font Size", "sans", g_iFontSize);
   m_pintboxFontSize = new zelui::IntBox<int>(m_pgrid, 0);
   m_pintboxFontSize->set_editable(true);
   m_pintboxFontSize->set_font_size(g_iFontSize);
   // The grid stretches the box to the width of the line boxes; the number reads from the left, as
   // the offsets above it do, beside its caption rather than at the far end, which lies under the
   // side panel when the window reaches under it.
   m_pintboxFontSize->set_alignment(zelui::TextBox::e_alignment_left);
   m_pintboxFontSize->set_callback([this](int iSize) { edit_document([iSize](project & document) { document.m_iRasterLabelFontSize = iSize; }); });

   for (std::size_t i = 0; i < m_textboxesLines.size(); ++i)
   {
      zelui::TextBox * ptextbox = add_text_row(format("Line %d:", static_cast<int>(i) + 1));
      ptextbox->set_fixed_width(180);
      ptextbox->set_callback([this, i](scoped_string_base strText)
      {
         edit_document([i, strText = string_base(strText)](project & document)
         {
            line_at(document.m_straRasterLabel, static_cast<long long>(i)) = strText;
         });
         return true;
      });
      m_textboxesLines[i] = ptextbox;
   }
   add_children_to_tab_order<>(m_pgrid->children());
}

SettingsRasterLabel::~SettingsRasterLabel() = default;

zelui::TextBox * SettingsRasterLabel::add_text_row(scoped_string_base strCaption)
{
   new zelui::Label(m_pgrid, strCaption, "sans", g_iFontSize);
   auto * ptextbox = new zelui::TextBox(m_pgrid, "Untitled");
   ptextbox->set_editable(true);
   ptextbox->set_font_size(g_iFontSize);
   return ptextbox;
}

template <typename EDIT>
void SettingsRasterLabel::edit_document(EDIT edit)
{
   pointer<project> pproject(m_pglobal ? m_pglobal->current_project() : nullptr);
   if (!pproject)
   {
      return;
   }
   edit(*pproject);
   // The label is the document's, not a layer's: no layer is marked changed. The document's
   // flag alone makes the next draw of the main window rebuild the frame.
   m_pglobal->changed_flag().exchange(true);
   set_need_redraw();
   post_redraw();
}

bool SettingsRasterLabel::on_offset_text(zelui::TextBox * ptextbox, int project::*pfield, scoped_string_base strText)
{
   const int iValue = SettingsBoxes::calc_dimension(strText);
   ptextbox->set_value(std::to_string(iValue), e_source_sync);
   edit_document([pfield, iValue](project & document) { document.*pfield = iValue; });
   return true;
}

void SettingsRasterLabel::get_settings_from_layer(const pointer<boxes_layer> &)
{
   pointer<project> pproject(m_pglobal ? m_pglobal->current_project() : nullptr);
   if (!pproject)
   {
      return;
   }
   m_pcheckboxShown->set_checked(pproject->m_bRasterLabel, e_source_sync);
   m_ptextboxX->set_value(std::to_string(pproject->m_iRasterLabelX), e_source_sync);
   m_ptextboxY->set_value(std::to_string(pproject->m_iRasterLabelY), e_source_sync);
   m_pintboxFontSize->set_value(pproject->m_iRasterLabelFontSize, e_source_sync);
   const string_array_base & lines = pproject->m_straRasterLabel;
   for (std::size_t i = 0; i < m_textboxesLines.size(); ++i)
   {
      const long long index = static_cast<long long>(i);
      m_textboxesLines[i]->set_value(index < lines.count() ? lines[index] : string_base(), e_source_sync);
   }
}

void SettingsRasterLabel::get_settings_from_raster()
{
   pointer<project> pproject(m_pglobal ? m_pglobal->current_project() : nullptr);
   if (!pproject)
   {
      return;
   }
   pproject->m_bRasterLabel = m_pcheckboxShown->checked();
   pproject->m_iRasterLabelX = std::atoi(m_ptextboxX->value().c_str());
   pproject->m_iRasterLabelY = std::atoi(m_ptextboxY->value().c_str());
   pproject->m_iRasterLabelFontSize = m_pintboxFontSize->value();
   for (std::size_t i = 0; i < m_textboxesLines.size(); ++i)
   {
      line_at(pproject->m_straRasterLabel, static_cast<long long>(i)) = m_textboxesLines[i]->value();
   }
}

} // namespace Tarvossa_BrisvanePro
