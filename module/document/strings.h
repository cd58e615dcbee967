#pragma once

#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

// The built-in presets: a presets container of nine screen layers, one per LED panel type, read
// when no autosaved presets exist. Built anew on every call.
string_base getPresetsSource();

} // namespace Tarvossa_BrisvanePro
