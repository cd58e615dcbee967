#pragma once

#include <filesystem>
#include <vector>

#include "core/forward.h"
#include "orvo/atomic_file.h"
#include "orvo/image.h"
#include "orvo/pointer.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

// Writes the layered export: an 8-bit RGB document with one raw (uncompressed) layer per composed
// document layer and the composed raster as the flattened image. The frame building hands it every
// layer it composes, bottom first, then saves with the composed frame. Colours leave in straight
// alpha, rows top first.
//
// The writer keeps shared references to the layers' images and reads them only while it saves,
// streaming the file rather than building it in memory: the images must not be redrawn between
// `add_layer` and `savePSD` (the frame building does both in one step).
class PSDSaver : virtual public particle
{
public:
   // One layer of the document: its top-left corner on the raster (offsets may be negative),
   // its pixels and its name.
   struct layinfo_desc_t
   {
      int m_iX = 0;
      int m_iY = 0;
      pointer<image::image> m_pimage;
      string_base m_strName;
   };

   // Appends a layer as it was last drawn: its offscreen image (at the image's own size) at the
   // layer's offsets, under its name. A layer never drawn adds nothing.
   void add_layer(const pointer<app_layer> & player);

   // Appends a layer of the given pixels; its size is the image's own. An empty or missing image
   // adds nothing. An empty name is written as "NoName".
   void add_layer(int x, int y, const pointer<image::image> & pimage, scoped_string_base name);

   // Writes the whole document, replacing `path` only once it is complete. A document that the
   // format cannot hold (a side over 30,000 pixels, a layer section over 4 GiB, more than 32,767
   // layers) is refused before anything is written; the result says why.
   outcome<file::written> savePSD(const image::image & composite, const std::filesystem::path & path) const;

   const std::vector<layinfo_desc_t> & layers() const noexcept { return m_layers; }

private:
   std::vector<layinfo_desc_t> m_layers;
};

} // namespace Tarvossa_BrisvanePro
