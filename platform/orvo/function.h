#pragma once

#include <functional>

// A callable holding a lambda: callbacks of controls, dialog completions, deferred steps.
// An empty function is allowed and tests false.
template <typename SIGNATURE>
using function = std::function<SIGNATURE>;
