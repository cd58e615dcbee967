#pragma once

#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/image.h"

// A picture layer of w x h at (x, y) on top of the document's layers, showing a picture of that
// size in one colour, marked changed.
inline pointer<Tarvossa_BrisvanePro::image_layer> add_picture_layer(Tarvossa_BrisvanePro::project & document, int x, int y,
                                                                    int w, int h, color::color colour)
{
   auto player = document.create_layer(Tarvossa_BrisvanePro::e_layer_image).cast<Tarvossa_BrisvanePro::image_layer>();
   auto pimage = make_pointer<image::image>(w, h);
   pimage->fill(colour);
   player->set_image(pimage);
   player->setMaintainAspectRatio(false);
   player->set_width(w);
   player->set_height(h);
   player->set_offset_x(x);
   player->set_offset_y(y);
   document.insert_layer_at(player, -1);
   player->set_changed();
   return player;
}
