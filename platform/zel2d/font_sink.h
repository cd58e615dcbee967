#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zel2d/forward.h"

namespace zel2d
{

// The store of loaded fonts. A face is looked up through fontconfig once, on its first use, and
// kept for the life of the store; every context that shares the store shares the faces. The
// process has one shared store (`shared()`), which every new context starts with.
//
// Names: "sans" is DejaVu Sans. Any other name is a fontconfig pattern ("DejaVu Serif",
// "sans:bold", "DejaVu Sans Mono:size=12"); a name that matches no installed family gets
// fontconfig's closest match, so a face is always found.
class font_sink : virtual public particle
{
public:
   font_sink();
   ~font_sink() override;

   // The process-wide store.
   static pointer<font_sink> shared();

   // The face for a name, loaded on first use. Never null; valid as long as the store lives.
   font_face * find(scoped_string_base name);
   // Makes sure that a family is installed under its own name, so that text set in it never
   // falls back to another face unnoticed; throws `exception` (`error_not_found`) naming the
   // family when fontconfig would only find a substitute.
   void require(scoped_string_base family);

   // How many distinct names have been loaded (for tests of the sharing).
   std::size_t loaded_count() const;

private:
   mutable std::mutex m_mutex;
   std::map<std::string, std::unique_ptr<font_face>, std::less<>> m_faces;
};

} // namespace zel2d
