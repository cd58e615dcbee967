#pragma once

#include "host/molv_application.h"

namespace quisk
{

// The top tier of the application, from which a module's application class derives.
class application : virtual public molv::application
{
};

} // namespace quisk
