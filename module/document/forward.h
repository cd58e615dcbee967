#pragma once

// The names of the document's classes, for headers that only need a name.

namespace Tarvossa_BrisvanePro
{

class BoxesLayerDescription;
class ImageWrap;
class OffscreenDraw;
class app_layer;
class arrow_stamps;
class boxes_layer;
class connector;
class display_box;
class document_controller;
class image_layer;
class picture_budget;
class project;
class saved_areas;
class snake;
class snake_description;
struct container_read;
struct edge_window;

} // namespace Tarvossa_BrisvanePro
