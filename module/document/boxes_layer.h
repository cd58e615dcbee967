#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "document/BoxesLayerDescription.h"
#include "document/app_layer.h"
#include "document/forward.h"
#include "document/saved_areas.h"
#include "document/snake.h"
#include "orvo/pointer.h"

namespace zelui
{
class in_place_edit_array;
class in_place_edit_mapper;
}

namespace Tarvossa_BrisvanePro
{

struct boxes_layer_parameter_key;

// A screen layer: one LED wall, a grid of equal boxes with a data path and a power path running
// through them. Its settings are written within `change`, which marks the layer changed once
// for the edit; a change of the box colours alone (`BoxColors`, `BoxTintColors`) is marked as
// `layer_change::colours`: from such a change on, the document's current layer keeps what it draws
// over its box fills, while those cover its picture, so that the next colour change only fills
// the boxes again.
class boxes_layer : public app_layer, public BoxesLayerDescription
{
public:
   // Bounds of values read from text: box keys hold a column and a row in 16 bits each, and no
   // layer is drawn larger than 2^28 pixels.
   static constexpr int max_grid_count = 65535;
   static constexpr int max_box_size = 16384;
   static constexpr long long max_pixel_count = 1LL << 28;
   // A grid line is a band inside each box's edges: one as wide as the widest box already fills
   // every box, and the drawing's pixel arithmetic stays far from the 32-bit bounds.
   static constexpr int max_grid_width = max_box_size;

   boxes_layer();
   ~boxes_layer() override;

   // Creates the connector arrays.
   void on_initialize_particle() override;
   void default_colors() override;
   // The settings of a new layer; does not mark the layer changed.
   void apply_defaults() override;
   string_base get_data_custom_path_string() const override;
   void set_data_custom_path_string(scoped_string_base str) override;
   string_base get_power_custom_path_string() const override;
   void set_power_custom_path_string(scoped_string_base str) override;
   void on_read_app_layer() override;
   int get_width() const override;
   int get_height() const override;
   int get_full_width() const override;
   int get_full_height() const override;
   int get_layer_type() const override;
   void apply_parameter_by_name(scoped_string_base strKey, scoped_string_base strValue) override;
   property_set get_all_parameters() const override;
   void build_frame(zel2d::context * pcontext, const error_callback & on_error) override;
   pointer<app_layer> clone() const override;
   std::int64_t picture_bytes() const override;
   void drop_redraw_cache() noexcept override;

   // Whether the whole grid stays within `max_pixel_count` pixels: the largest layer that the
   // text reader takes back.
   bool is_within_pixel_limit() const noexcept { return is_within_pixel_limit(*this); }
   // The same for a grid of that size.
   static bool is_within_pixel_limit(const display_box & grid) noexcept;

   // Sets box colour `iId` from six hexadecimal digits (red, green, blue) and derives its tint;
   // the lists grow with white up to the id. Anything else changes nothing.
   void set_box_color_with_id(int iId, scoped_string_base strHex);
   // Clears bit `uPartner` of `HalfColumns`, then sets bit `uBit` to `bOn`.
   void set_half_pair(std::size_t uBit, std::size_t uPartner, bool bOn);
   void switch_corner_label(enum_corner ecorner, bool bOn);
   void toggle_corner_label(enum_corner ecorner);
   bool is_corner_label_on(enum_corner ecorner) const noexcept;

   // The number of runs of the data (true) or power (false) path as the layer is now, whether
   // the path is shown or not; 0 when the path cannot be built. A grid without boxes left out is
   // counted line by line; one with excluded boxes builds the path, a record per box.
   long long calculate_path_count(bool bData) const;
   // The number of the layer's first run of the path in its document; 1 without a document.
   long long calculate_base_path_index(bool bData) const;
   // The total current of the boxes that are not left out, in amperes; 0 without phases or volts.
   float calculate_power() const;

   // One label on a background box. `iAlign` (text alignment flags) anchors the text at the
   // layer's left, right or horizontal centre (10 pixels in from the sides) and at its top,
   // bottom or vertical centre (5 pixels in); (x, y) moves it from there.
   void draw_label(zel2d::context * pcontext, int x, int y, scoped_string_base strText, color::color colorText,
                   color::color colorBackground, scoped_string_base strFont, int iSize, int iAlign);
   // The drawers of `build_frame`; each draws into the layer's offscreen image.
   void _draw_boxes(zel2d::context * pcontext);
   void _draw_boxes_grid(zel2d::context * pcontext);
   void _draw_boxes_names(zel2d::context * pcontext);
   void _draw_circle(zel2d::context * pcontext);
   void _draw_dotted(zel2d::context * pcontext);

   // The weight of the boxes of the grid that are not excluded, half boxes counted by their
   // share, in the unit of `WeightPerPanel`.
   float getTotalPanelWeight() const;
   // The physical diagonal in `ScreenDiagonalUnit`: "meter", "feet", else inches.
   string_base getDiagonalDimensionText() const;

   // The connector of a run, made on demand: a data start or end, or a power start. None for an
   // index below the layer's first run number, a power end, or a box that is neither start nor
   // end. A connector found in its slot takes the index asked for.
   pointer<connector> get_connector(snake * psnake, long long index, bool bStart, bool bEnd);
   pointer<connector> get_connector(snake * psnake, zelui::in_place_edit_array * parray, const std::vector<string_base> & names,
                                    long long index, bool bEnd);
   // The name lists rebuilt from the connectors, slot by slot (an empty slot gives an empty name).
   void write_p_connectors();
   void write_r_connectors();
   void write_s_connectors();
   // The connectors named after the lists; connectors beyond a list lose their names.
   void read_p_connectors();
   void read_r_connectors();
   void read_s_connectors();
   void read_connectors(snake * psnake, const std::vector<string_base> & names, bool bEnd);
   // The connector of a shown path whose label lies under a canvas point, or none.
   pointer<connector> hit_test_connector_label(const point_type<float> & point, zelui::in_place_edit_mapper * pmapper) const;
   // Ends the in-place edits of the connector labels; whether one was open.
   bool on_end_edit_all_connectors();

   // The keys of the boxes whose rectangles overlap `rectangle` (layer pixels), in row order;
   // edges that only touch do not overlap.
   std::vector<int> hit_test(const rectangle_type<int> & rectangle) const;
   // Excludes the box under the point, or brings it back. False when no box lies under the
   // point or the box is now excluded; true when it was brought back.
   bool trigger_for_exclude_boxes(float x, float y);
   // Excludes every box of the grid, or, when all of them already are, none. It costs a key per
   // box: the excluded set holds one key for each box it leaves out, so a grid of tens of
   // thousands of columns and of rows takes billions of keys, and seconds or more.
   void switch_all_exclude_boxes();
   // Adds the box under the point to the custom paths of `psnake`'s description, or with
   // `bRemove` cuts its path from that box on.
   void trigger_for_override_path(snake * psnake, float x, float y, bool bRemove);

   snake m_snakeData{e_snake_data, this, this, &m_descriptionData};
   snake m_snakePower{e_snake_power, this, this, &m_descriptionPower};
   // Which custom path a canvas click edits: 1 the data path, 0 the power path.
   std::uint8_t custom_path_target = 1;
   // The pixel area of the layer's last drawing.
   std::int64_t m_iLastPixelArea = 0;
   // Connectors of data starts, data ends and power starts; slot k belongs to the layer's run
   // base + k.
   pointer<zelui::in_place_edit_array> m_pconnectorsP;
   pointer<zelui::in_place_edit_array> m_pconnectorsR;
   pointer<zelui::in_place_edit_array> m_pconnectorsS;

private:
   // Whether the box fills paint every pixel of the picture opaque, so that it needs no clearing
   // first.
   bool boxes_cover_picture() const;
   // The physical size of the grid in millimetres, half boxes counted by their share, in single
   // precision as every text that shows it rounds it.
   float physical_width() const noexcept;
   float physical_height() const noexcept;
   // The paths with their arrows, each step's failure switching its path off.
   void draw_paths(zel2d::context * pcontext, const error_callback & on_error);
   // Runs one path step; a standard exception switches the path off (`iDrawSwitch`), marks the
   // layer changed and is reported.
   void run_path_step(int & iDrawSwitch, const error_callback & on_error, const function<void()> & step);
   // Where a label's text stands, and its background (the text's bounds); sets the context's
   // font and alignment for it.
   struct placed_label
   {
      point_type<float> m_point;
      rectangle_type<float> m_bounds;
   };
   placed_label place_label(zel2d::context * pcontext, int x, int y, scoped_string_base strText, scoped_string_base strFont, int iSize,
                            int iAlign) const;
   // The pixels of the box fills, colour k at 2k and its tint at 2k + 1, each as filling it over
   // a transparent pixel gives it.
   std::vector<std::uint32_t> fill_palette(zel2d::context * pcontext) const;
   // The pixel that filling with `color` makes of a transparent one.
   static std::uint32_t pixel_of_fill(zel2d::context * pcontext, color::color color);
   // The box fills of a grid whose box edges lie on whole pixels, written row by row.
   void write_box_fill_runs(zel2d::context * pcontext, image::image & picture);
   // `picture` becomes `overlay` blended over the box fills of `palette`, row by row; the two may
   // be one picture. Where `changed` is given, only the boxes of the palette entries it marks are
   // made, the others kept. For a grid whose opaque fills cover the picture (`boxes_cover_picture`).
   void put_fills_under(const std::vector<std::uint32_t> & palette, const std::vector<bool> * pchanged, const image::image & overlay,
                        image::image & picture) const;
   // The picture made again from the kept overlay and the box colours now: only the boxes whose
   // fill changed, when the pixels under the corner labels were kept to put back first.
   void refill_boxes(zel2d::context * pcontext, bool bCornersKept);
   // The outlines of an unturned grid whose box edges lie on whole pixels, as joined fills.
   void fill_grid_bands(zel2d::context * pcontext);
   // The pixel columns of such a grid's bands beside the boxes, joined where they meet.
   std::vector<std::pair<int, int>> grid_column_bands() const;
   // Such a grid drawn on transparent, or transparent alone without `bGrid`: every pixel row
   // written once, instead of clearing the picture and filling the bands over it.
   void write_grid_rows(zel2d::context * pcontext, image::image & picture, bool bGrid) const;
   // The size, name, power and information labels.
   void draw_labels(zel2d::context * pcontext);
   void draw_corner_labels(zel2d::context * pcontext, int iLabelSize);

   // What the offscreen picture was drawn from, but for the layer's place, which only the corner
   // labels show: the picture, the look revision apart from the colour changes and their own
   // count, the first run numbers and the box fills switch (which "Draw Current Only" turns off
   // without a change).
   struct drawn_look
   {
      const image::image * m_pimage = nullptr;
      unsigned long long m_iShapeRevision = 0;
      unsigned long long m_iColoursRevision = 0;
      long long m_iFirstDataRun = 0;
      long long m_iFirstPowerRun = 0;
      int m_iDrawBoxes = 0;
      bool operator==(const drawn_look &) const = default;
      // The same but for the box colours.
      bool has_shape_of(const drawn_look & look) const;
   };
   drawn_look current_look() const;
   // Whether the picture can be made by filling the boxes again under the kept overlay.
   bool can_refill(const drawn_look & look) const;
   // Whether a whole drawing of the layer keeps what it draws over the box fills.
   bool should_keep_overlay() const;
   // The overlay kept for the picture just drawn over its transparent start, which every other
   // layer of the document lets go of; false when the memory budget has no room for it.
   bool keep_overlay(const image::image & picture);
   // The corner labels, over what they cover kept for a layer that only moves next; `look` is what
   // the picture shows now.
   void finish_with_corner_labels(zel2d::context * pcontext, const drawn_look & look);
   // Keeps the pixels that the corner labels may cover at any place of the layer; false when
   // they would cover too much of the picture to be worth keeping.
   bool keep_pixels_under_corner_labels(zel2d::context * pcontext, const image::image & picture);
   // A layer that moved with the same look: its corner labels are drawn again over the pixels
   // kept from under them, the rest of its picture stays.
   void redraw_corner_labels(zel2d::context * pcontext);

   // Set while the picture shows `drawn_look` and the pixels under its corner labels are kept.
   std::optional<drawn_look> m_odrawnlook;
   saved_areas m_areasUnderCorners;
   // The count of the changes of the box colours alone when the picture was last drawn.
   unsigned long long m_iColoursRevisionDrawn = 0;
   // The fill pixels the picture was last made with under the kept overlay.
   std::vector<std::uint32_t> m_paletteUnderOverlay;
   // Everything drawn over the box fills but the corner labels, on transparent, for the look
   // `m_ooverlaylook` (whose colours do not matter); at most one layer of a document keeps one.
   pointer<image::image> m_pimageOverlay;
   std::optional<drawn_look> m_ooverlaylook;

   // The keys of the layer's own text, in writer order.
   static const std::vector<boxes_layer_parameter_key> & parameter_keys();

   // The box strictly inside which the point lies, walking row by row.
   std::optional<datagram::box> find_box_at(float x, float y) const;
   // A grid read from text that is too large to draw is emptied, with a parse error.
   void bound_full_size();
};

} // namespace Tarvossa_BrisvanePro
