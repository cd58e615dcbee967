#include "document/BoxesLayerDescription.h"

#include <algorithm>

namespace Tarvossa_BrisvanePro
{

namespace
{

std::uint8_t tint_channel(std::uint8_t uch)
{
   const float c = static_cast<float>(uch) / 255.f;
   return static_cast<std::uint8_t>(std::min((1.f - c) * 0.45f + c, 1.f) * 255.f);
}

} // namespace

color::color BoxesLayerDescription::tint_of(color::color color)
{
   return {tint_channel(color.m_uchR), tint_channel(color.m_uchG), tint_channel(color.m_uchB), color.m_uchA};
}

color::color BoxesLayerDescription::box_tint_color(std::size_t i) const
{
   return i < BoxTintColors.size() ? BoxTintColors[i] : tint_of(BoxColors[i]);
}

BoxesLayerDescription & BoxesLayerDescription::operator=(const BoxesLayerDescription & other)
{
   if (this == &other)
   {
      return *this;
   }
   display_box::operator=(other);
   m_descriptionData = other.m_descriptionData;
   m_descriptionPower = other.m_descriptionPower;
   PhysW = other.PhysW;
   PhysH = other.PhysH;
   ShowMM = other.ShowMM;
   ShowFT = other.ShowFT;
   BoxBorderColor = other.BoxBorderColor;
   CircleColor = other.CircleColor;
   CircleWidth = other.CircleWidth;
   GridWidth = other.GridWidth;
   BoxesNamesColor = other.BoxesNamesColor;
   BoxesNamesReverse = other.BoxesNamesReverse;
   BoxesNamesFontSize = other.BoxesNamesFontSize;
   LabelFontSize = other.LabelFontSize;
   LayerNameFontSize = other.LayerNameFontSize;
   DrawPower = other.DrawPower;
   DrawSnake = other.DrawSnake;
   DrawPowerSnake = other.DrawPowerSnake;
   DrawGrid = other.DrawGrid;
   DrawCircle = other.DrawCircle;
   DrawBoxes = other.DrawBoxes;
   DrawBoxesNames = other.DrawBoxesNames;
   PowerVolts = other.PowerVolts;
   PowerPhases = other.PowerPhases;
   PowerWatts = other.PowerWatts;
   WireAmps = other.WireAmps;
   CornersMode = other.CornersMode;
   DrawScreenSize = other.DrawScreenSize;
   DrawLayerName = other.DrawLayerName;
   DrawInfoLine = other.DrawInfoLine;
   WeightPerPanel = other.WeightPerPanel;
   WeightPerPanelUnit = other.WeightPerPanelUnit;
   ShowScreenWeight = other.ShowScreenWeight;
   ShowScreenDiagonal = other.ShowScreenDiagonal;
   ScreenDiagonalUnit = other.ScreenDiagonalUnit;
   LabelFontColor = other.LabelFontColor;
   BoxColors = other.BoxColors;
   BoxTintColors = other.BoxTintColors;
   PConnectorNames = other.PConnectorNames;
   RConnectorNames = other.RConnectorNames;
   SConnectorNames = other.SConnectorNames;
   return *this;
}

} // namespace Tarvossa_BrisvanePro
