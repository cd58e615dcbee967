#pragma once

#include "orvo/color.h"
#include "orvo/geometry.h"
#include "orvo/particle.h"
#include "orvo/string.h"

namespace zelui
{

// The look of the toolkit's own controls: a dark theme, quiet and readable at 14 px. Every
// colour, margin and font size that a control draws with comes from here; a screen holds one
// theme for all its widgets.
//
// The metrics are compact on purpose: the tool windows give their fields 40 x 22, 60 x 22 and
// 70 x 22 pixels and their buttons 80 pixels, and place the windows side by side, so a caption
// at 14 px must fit a narrow cell. The toolkit's text is therefore set in a narrow face, and
// every single-line control is one row of 22 pixels.
class Theme : virtual public particle
{
public:
   // Requires the face of the toolkit's text (see `require_installed_font`).
   Theme();

   // Fonts. The toolkit's font name "sans" stands for `m_pszFontFace` (see `face`).
   const char * m_pszFontFace = "Liberation Sans Narrow";
   int m_iStandardFontSize = 13;
   int m_iButtonFontSize = 13;
   int m_iTextBoxFontSize = 14;
   int m_iWindowTitleFontSize = 14;

   // Geometry.
   int m_iWindowCornerRadius = 3;
   int m_iWindowHeaderHeight = 24;
   int m_iControlHeight = 22;
   int m_iButtonCornerRadius = 2;
   int m_iButtonPadding = 6;
   int m_iTabHeaderHeight = 24;
   int m_iScrollBarWidth = 12;
   int m_iTextBoxPadding = 4;
   int m_iCheckBoxGap = 6;
   int m_iPopupArrowSize = 8;
   int m_iColorPickerWidth = 40;
   // The file dialog: its width, the height of its listing, the width of its buttons, the indent
   // of a listed name, and the margins around its content (left, top, right, bottom). In a window
   // too small for it, it keeps this room free at the window's edges and its listing shrinks, to
   // two rows at the least.
   int m_iFileDialogWidth = 520;
   int m_iFileDialogListingHeight = 260;
   int m_iFileDialogLeastListingHeight = 44;
   int m_iFileDialogRoomAround = 8;
   int m_iFileDialogButtonWidth = 80;
   int m_iFileDialogEntryIndent = 6;
   rectangle_type<int> m_rectFileDialogMargins{10, 8, 10, 10};

   // Colours, 0xAARRGGBB.
   color::color m_colorScreenBackground = color::color::from_argb(0xFF202124);
   color::color m_colorWindowBackground = color::color::from_argb(0xFF2B2D30);
   color::color m_colorWindowHeader = color::color::from_argb(0xFF35373B);
   color::color m_colorWindowHeaderFocused = color::color::from_argb(0xFF3D4046);
   color::color m_colorWindowBorder = color::color::from_argb(0xFF17181A);
   color::color m_colorWindowTitle = color::color::from_argb(0xFFE8E8E8);
   color::color m_colorText = color::color::from_argb(0xFFE0E0E0);
   color::color m_colorTextDisabled = color::color::from_argb(0xFF7A7A7A);
   color::color m_colorTextUnits = color::color::from_argb(0xFF9FA3A8);
   color::color m_colorButton = color::color::from_argb(0xFF3C3F44);
   color::color m_colorButtonHover = color::color::from_argb(0xFF474B51);
   color::color m_colorButtonPushed = color::color::from_argb(0xFF2F5F8F);
   color::color m_colorButtonBorder = color::color::from_argb(0xFF1B1C1E);
   color::color m_colorAccent = color::color::from_argb(0xFF4A8BD6);
   color::color m_colorTextBox = color::color::from_argb(0xFF1C1D20);
   color::color m_colorTextBoxFocused = color::color::from_argb(0xFF15161A);
   color::color m_colorTextBoxBorder = color::color::from_argb(0xFF4A4D52);
   color::color m_colorSelection = color::color::from_argb(0xFF2D5C8C);
   color::color m_colorCaret = color::color::from_argb(0xFFF0F0F0);
   color::color m_colorCheckBox = color::color::from_argb(0xFF1C1D20);
   color::color m_colorCheckMark = color::color::from_argb(0xFFF0F0F0);
   color::color m_colorScrollTrack = color::color::from_argb(0xFF232427);
   color::color m_colorScrollThumb = color::color::from_argb(0xFF5A5E64);
   color::color m_colorTabActive = color::color::from_argb(0xFF2B2D30);
   color::color m_colorTabInactive = color::color::from_argb(0xFF232427);
   color::color m_colorTooltip = color::color::from_argb(0xFF121315);
   color::color m_colorTooltipText = color::color::from_argb(0xFFE8E8E8);
   color::color m_colorModalShade = color::color::from_argb(0x60000000);
   // The round mark of a warning message box (the other kinds take the accent).
   color::color m_colorWarningMark = color::color::from_argb(0xFFD08A2E);
   // The colour wheel's markers: the ring on the chosen colour, dark on a light colour and light
   // on a dark one, and the bar on the chosen hue.
   color::color m_colorWheelRingOnLight = color::color::from_argb(0xFF000000);
   color::color m_colorWheelRingOnDark = color::color::from_argb(0xFFFFFFFF);
   color::color m_colorWheelHueBar = color::color::from_argb(0xFFFFFFFF);

   // The face a control draws a font name with: the toolkit's "sans" is the theme's own face,
   // any other name is the drawing library's.
   string_base face(scoped_string_base strFont) const;

   // Throws `exception` with a clear text when the theme's face is not installed: the controls
   // are sized for its narrow letters, and a wider stand-in would clip their captions.
   void require_installed_font() const;

   // The theme of widgets that belong to no screen.
   static Theme * default_theme();
};

} // namespace zelui
