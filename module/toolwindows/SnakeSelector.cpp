#include "toolwindows/SnakeSelector.h"

#include <algorithm>
#include <iterator>

#include "document/boxes_layer.h"
#include "orvo/string.h"
#include "panels/CheckboxWithFocus.h"
#include "zelui/GridLayout.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The patterns of the power path's boxes, in box order.
constexpr int g_iaPowerPatterns[] = {0, 1, 4, 6};

bool is_power_pattern(int iPattern)
{
   return std::ranges::find(g_iaPowerPatterns, iPattern) != std::end(g_iaPowerPatterns);
}

} // namespace

SnakeSelector::SnakeSelector(zelui::Widget * pparent, Global * pglobal, bool bPower) :
   zelui::Widget(pparent), SettingsFromLayer(pglobal), m_bPower(bPower)
{
   set_layout(new zelui::GridLayout(zelui::e_orientation_horizontal, bPower ? 4 : 8, zelui::e_alignment_middle, 0, 1));
   set_size({400, 500});
   for (int iPattern = 0; iPattern < 8; ++iPattern)
   {
      if (bPower && !is_power_pattern(iPattern))
      {
         continue;
      }
      auto * pcheckbox = new CheckboxWithFocus(this, "", {});
      pcheckbox->set_id(format("SnakeCheckbox%d", static_cast<int>(m_checkboxes.size())));
      m_checkboxes.push_back(pcheckbox);
      m_images.push_back(new W_Image<25, 25>(this, m_pglobal ? m_pglobal->getContext() : nullptr,
                                              format("matter://res/s%02d.png", iPattern)));
      pcheckbox->set_callback([this, iPattern](bool) { on_pattern_clicked(iPattern); });
   }
}

SnakeSelector::~SnakeSelector() = default;

int SnakeSelector::snake_to_check_box(int iPattern) const
{
   if (!m_bPower)
   {
      return iPattern;
   }
   const auto * pfound = std::ranges::find(g_iaPowerPatterns, iPattern);
   return pfound == std::end(g_iaPowerPatterns) ? 0 : static_cast<int>(pfound - std::begin(g_iaPowerPatterns));
}

int SnakeSelector::check_box_to_snake(int iBox) const
{
   if (!m_bPower)
   {
      return iBox;
   }
   return iBox >= 1 && iBox < static_cast<int>(std::size(g_iaPowerPatterns)) ? g_iaPowerPatterns[iBox] : 0;
}

int & SnakeSelector::pattern_of(boxes_layer & layer) const
{
   return m_bPower ? layer.m_descriptionPower.m_iMode : layer.m_descriptionData.m_iMode;
}

void SnakeSelector::on_pattern_clicked(int iPattern)
{
   pointer<boxes_layer> player = current_boxes_layer();
   if (!player)
   {
      return;
   }
   player->change(layer_change::look, [&] { pattern_of(*player) = iPattern; });
   get_settings_from_layer(player);
}

void SnakeSelector::get_settings_from_layer(const pointer<boxes_layer> & player)
{
   if (!player || m_checkboxes.empty())
   {
      return;
   }
   const int iChecked = snake_to_check_box(pattern_of(*player));
   for (std::size_t i = 0; i < m_checkboxes.size(); ++i)
   {
      m_checkboxes[i]->set_checked(static_cast<int>(i) == iChecked, e_source_sync);
   }
}

} // namespace Tarvossa_BrisvanePro
