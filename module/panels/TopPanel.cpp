#include "panels/TopPanel.h"

#include <algorithm>
#include <cmath>

#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "orvo/tinyexpr.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/NOP.h"
#include "panels/fill_widget.h"
#include "panels/panel_colors.h"
#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/Label.h"
#include "zelui/TextBox.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

constexpr int gap = 5;

} // namespace

TopPanel::TopPanel(zelui::Widget * pparent, Global * pglobal) :
   zelui::Widget(pparent),
   SettingsFromLayer(pglobal)
{
   set_layout(new zelui::BoxLayout(zelui::e_orientation_horizontal, zelui::e_alignment_middle, rectangle_type<int>{10, 10, 10, 10}, 0));
   m_pbuttonOpen = new zelui::Button(this, "Open Project", 0);
   m_pbuttonOpen->set_fixed_width(80);
   spacer(gap);
   m_pbuttonSave = new zelui::Button(this, "Save Project", 0);
   m_pbuttonSave->set_fixed_width(80);
   spacer(gap);
   m_pbuttonSaveImage = new zelui::Button(this, "Save Image", 0);
   m_pbuttonSaveImage->set_fixed_width(80);
   spacer(gap);
   m_pbuttonOpen->set_callback([pglobal] { pglobal->open_project_button(); });
   m_pbuttonSave->set_callback([pglobal] { pglobal->save_project_button(); });
   m_pbuttonSaveImage->set_callback([pglobal] { pglobal->save_image_button(); });

   m_plabelWidth = add_label("Raster Width:");
   m_ptextboxWidth = add_size_box();
   m_plabelHeight = add_label("Raster Height:");
   m_ptextboxHeight = add_size_box();

   m_pcheckboxAspect = add_switch("Aspect ratio:", true, &m_plabelAspect);
   m_pcheckboxAspect->set_callback([this](bool bOn) { on_aspect_toggled(bOn); });
   zelui::Label * plabelBlack = nullptr;
   CheckboxWithFocus * pcheckboxBlack = add_switch("Black BG:", pglobal->m_bBlackBackground, &plabelBlack);
   pcheckboxBlack->set_callback([pglobal](bool bOn) { pglobal->m_bBlackBackground = bOn; });
   m_pcheckboxAutoSelect = add_switch("Auto-Select:", pglobal->m_bAutoSelect, &m_plabelAutoSelect);
   m_pcheckboxAutoSelect->set_callback([pglobal](bool bOn) { pglobal->m_bAutoSelect = bOn; });

   m_ptextboxWidth->set_callback([this](scoped_string_base strText)
                                 { return on_size_typed(m_ptextboxWidth, strText, &project::set_paper_width); });
   m_ptextboxHeight->set_callback([this](scoped_string_base strText)
                                  { return on_size_typed(m_ptextboxHeight, strText, &project::set_paper_height); });
   m_ptextboxWidth->set_fixed_size({80, 22});
   m_ptextboxHeight->set_fixed_size({80, 22});

   spacer(15);
   m_plabelCounts = new zelui::Label(this, "", "sans", 14);
   add_children_to_tab_order<>(children());
}

TopPanel::~TopPanel() = default;

void TopPanel::spacer(int iWidth)
{
   new NOP(this, iWidth, 0);
}

zelui::Label * TopPanel::add_label(scoped_string_base strCaption)
{
   auto plabel = new zelui::Label(this, strCaption, "sans", 14);
   spacer(gap);
   return plabel;
}

zelui::TextBox * TopPanel::add_size_box()
{
   auto pbox = new zelui::TextBox(this, "Untitled");
   pbox->set_editable(true);
   pbox->set_font_size(14.0f);
   spacer(gap);
   return pbox;
}

CheckboxWithFocus * TopPanel::add_switch(scoped_string_base strCaption, bool bChecked, zelui::Label ** pplabel)
{
   *pplabel = add_label(strCaption);
   auto pcheckbox = new CheckboxWithFocus(this, "", {});
   pcheckbox->set_checked(bChecked, e_source_initialize);
   spacer(gap);
   return pcheckbox;
}

std::uint64_t TopPanel::calc_dimension(scoped_string_base strText)
{
   double dValue = tinyexpr::te_interp(strText, nullptr);
   if (std::isnan(dValue) || dValue <= 0.0)
   {
      return 0;
   }
   return static_cast<std::uint64_t>(std::min(dValue, static_cast<double>(image::image::max_side)));
}

bool TopPanel::on_size_typed(zelui::TextBox * pbox, scoped_string_base strText, void (project::*pfnSetSize)(int))
{
   std::uint64_t uSize = calc_dimension(strText);
   pbox->set_value(format("%llu", static_cast<unsigned long long>(uSize)), e_source_sync);
   if (project * pproject = m_pglobal->current_project())
   {
      (pproject->*pfnSetSize)(static_cast<int>(uSize));
   }
   return true;
}

void TopPanel::on_aspect_toggled(bool bOn)
{
   project * pproject = m_pglobal->current_project();
   if (pointer<image_layer> player = pproject ? pproject->current_layer().cast<image_layer>() : nullptr)
   {
      player->setMaintainAspectRatio(bOn);
   }
}

void TopPanel::updatePaperNumbersVisual()
{
   project * pproject = m_pglobal->current_project();
   if (!pproject)
   {
      return;
   }
   m_ptextboxWidth->set_value(format("%d", pproject->get_paper_width()), e_source_sync);
   m_ptextboxHeight->set_value(format("%d", pproject->get_paper_height()), e_source_sync);
}

void TopPanel::updateCounts(long iLayers, long iPresets)
{
   m_plabelCounts->set_caption(format("Layers Added: %ld, Presets Loaded: %ld", iLayers, iPresets));
}

void TopPanel::showHideAspectRatio(bool bShow)
{
   m_plabelAspect->set_visible(bShow);
   m_pcheckboxAspect->set_visible(bShow);
}

void TopPanel::draw(zel2d::context * pcontext)
{
   {
      zel2d::saved_state state(pcontext);
      fill_widget(pcontext, *this, panel_colors::tool_bar);
   }
   zelui::Widget::draw(pcontext);
}

void TopPanel::get_settings_from_layer(const pointer<boxes_layer> &)
{
}

} // namespace Tarvossa_BrisvanePro
