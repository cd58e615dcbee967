#pragma once

#include <atomic>

#include "orvo/particle.h"
#include "orvo/path.h"

namespace Tarvossa_BrisvanePro
{

// The document controller of one main window. For now it holds what the layers signal to it:
// the document's changed flag, raised by every edit and taken by the next frame build.
class Global : virtual public particle
{
public:
   // Marks the document changed so that the next frame build redraws it.
   void set_changed() noexcept;

   // Reads and clears the changed flag in one atomic step.
   bool take_changed() noexcept;

   // The folder of the application's own files (presets autosave, logo layer, settings).
   file::path getFolderToSaveData() const;

private:
   std::atomic<bool> m_bChanged{false};
};

} // namespace Tarvossa_BrisvanePro
