#pragma once

#include "toolwindows/forward.h"

// The names of the screen's classes and of those below, for headers that only need a name.

namespace Tarvossa_BrisvanePro
{

class LiveOutputScreen;
class MainImpact;
class MainScreen;
class application;
class live_output_window;
class main_window;

} // namespace Tarvossa_BrisvanePro
