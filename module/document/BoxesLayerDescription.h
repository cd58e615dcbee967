#pragma once

#include <vector>

#include "document/FontSize.h"
#include "document/display_box.h"
#include "document/snake_description.h"
#include "orvo/color.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

// Bits of `CornersMode`: which corners carry an offset label.
enum enum_corner
{
   e_corner_top_left = 0,
   e_corner_top_right = 1,
   e_corner_bottom_left = 2,
   e_corner_bottom_right = 3,
};

// Every setting of a screen layer; a field stored in the layer text is named after its key.
// Switches are ints: 0 off, anything else on.
class BoxesLayerDescription : public display_box
{
public:
   static constexpr color::color white{255, 255, 255, 255};

   // The second fill colour of a box colour: each channel moves 45 % of the way to full.
   static color::color tint_of(color::color color);

   // Copies every setting; the font sizes keep their own filters.
   BoxesLayerDescription & operator=(const BoxesLayerDescription & other);

   snake_description m_descriptionData{white};
   snake_description m_descriptionPower{color::color(255, 0, 0, 255)};

   // Physical size of one box, millimetres.
   float PhysW = 500.f;
   float PhysH = 500.f;
   int ShowMM = 0;
   int ShowFT = 0;
   color::color BoxBorderColor = white;
   color::color CircleColor = white;
   int CircleWidth = 2;
   int GridWidth = 2;
   color::color BoxesNamesColor = white;
   int BoxesNamesReverse = 0;
   FontSize BoxesNamesFontSize{40, zero_or_at_least<5>};
   FontSize LabelFontSize{30, at_least<5>};
   // 0: the layer name uses `LabelFontSize`.
   FontSize LayerNameFontSize{0, zero_or_at_least<5>};
   int DrawPower = 0;
   int DrawSnake = 1;
   int DrawPowerSnake = 1;
   int DrawGrid = 0;
   int DrawCircle = 0;
   int DrawBoxes = 1;
   int DrawBoxesNames = 0;
   int PowerVolts = 110;
   int PowerPhases = 3;
   int PowerWatts = 200;
   int WireAmps = 15;
   // Bit set of `enum_corner`.
   int CornersMode = 1;
   int DrawScreenSize = 1;
   int DrawLayerName = 1;
   int DrawInfoLine = 1;
   // Weight of one box in `WeightPerPanelUnit`.
   float WeightPerPanel = 20.f;
   string_base WeightPerPanelUnit;
   int ShowScreenWeight = 1;
   int ShowScreenDiagonal = 1;
   string_base ScreenDiagonalUnit;
   color::color LabelFontColor = white;
   std::vector<color::color> BoxColors;
   // The second fill colour of each entry of `BoxColors`.
   std::vector<color::color> BoxTintColors;

   // Tint i, or, when the tint list is shorter than the colour list, the tint of colour i.
   color::color box_tint_color(std::size_t i) const;
   // Names of the data connectors at path starts and ends, and of the power connectors.
   std::vector<string_base> PConnectorNames;
   std::vector<string_base> RConnectorNames;
   std::vector<string_base> SConnectorNames;
};

} // namespace Tarvossa_BrisvanePro
