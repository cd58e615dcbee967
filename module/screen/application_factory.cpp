#include "orvo/factory.h"
#include "screen/application.h"

namespace Tarvossa_BrisvanePro
{

// The module's entry point: registers the module's application with the host's factory.
void application_factory(factory::factory * pfactory)
{
   pfactory->add_factory_item<application, platform::application>();
}

} // namespace Tarvossa_BrisvanePro

// The unmangled name under which the host finds the entry point.
extern "C" __attribute__((visibility("default"))) void application_factory(factory::factory * pfactory)
{
   Tarvossa_BrisvanePro::application_factory(pfactory);
}
