#pragma once

#include "orvo/color.h"

namespace Tarvossa_BrisvanePro
{

// The module's own look: every colour that the panels and menus draw with themselves. The
// toolkit's controls inside them (labels, buttons, check boxes, text boxes) keep the toolkit's
// look, which `zelui::Theme` holds.
namespace panel_colors
{

// Side panel and its list rows.
inline constexpr color::color side_panel = color::color::from_argb(0xFF1D1D1D);
inline constexpr color::color row_hover = color::color::from_argb(0xFF333333);
inline constexpr color::color row_selected = color::color::from_argb(0xFF7F7F7F);

// Top tool bar.
inline constexpr color::color tool_bar = color::color::from_argb(0xFF3F3F3F);

// Menu strip, its captions and the drop-down menus.
inline constexpr color::color menu = color::color::from_argb(0xFF262626);
inline constexpr color::color menu_hover = color::color::from_argb(0xFF3F3F3F);
inline constexpr color::color menu_selected = color::color::from_argb(0xFF7F7F7F);
inline constexpr color::color menu_title = color::color::from_argb(0xFFBFBFBF);

// Add-layer menu rows.
inline constexpr color::color add_layer_hover = color::color::from_argb(0xFF3F3F7F);
inline constexpr color::color add_layer_selected = color::color::from_argb(0xFF3F3FBF);

// The keyboard-focus mark of check boxes.
inline constexpr color::color focus_mark(255, 0, 0, 255);

// The name strip along the top of a layer thumbnail, and its text.
inline constexpr color::color preview_name_strip = color::color::from_argb(0x7F000000);
inline constexpr color::color preview_name_text = color::color::from_argb(0xFFFFFFFF);

} // namespace panel_colors

} // namespace Tarvossa_BrisvanePro
