#pragma once

namespace Tarvossa_BrisvanePro
{

// The built-in definition of the top menu: "#Caption" lines open the sections of the menu bar,
// every other line is an item of the section above it, with up to four fields separated by "|":
// caption, tooltip, a shortcut that is not used, and the shortcut shown and matched. The text
// starts with an empty line and ends without a line break.
const char * gettopMenuString();

} // namespace Tarvossa_BrisvanePro
