#pragma once

#include "document/forward.h"

// The names of the document controller's classes and of those below, for headers that only need
// a name.

namespace Tarvossa_BrisvanePro
{

class Global;
class PSDSaver;
class data_folder;
class exporter;
class field_focus_order;
class frame_builder;
class frame_composer;
class frame_cycle;
class layer_edits;
class preset_store;
class project_store;
class screen_link;

} // namespace Tarvossa_BrisvanePro
