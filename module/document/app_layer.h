#pragma once

#include <cstdint>
#include <optional>

#include "document/ImageWrap.h"
#include "document/document_controller.h"
#include "document/picture_budget.h"
#include "orvo/function.h"
#include "orvo/geometry.h"
#include "orvo/image.h"
#include "orvo/payload.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "orvo/string_array.h"

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

class project;

// The kinds of layer, as stored in the type of a file block.
enum enum_layer
{
   e_layer_boxes = 1,
   e_layer_image = 2,
};

// Whether the frame's rows are read again as soon as a layer draws into them, or only later.
enum class frame_rows_read
{
   at_once,
   later
};

// What a layer's offscreen picture was drawn from besides the layer's own settings, whose
// changes mark the layer: the numbers its data and power runs start from, and whether its box
// fills were left out for "Draw Current Only".
struct drawn_inputs
{
   long long m_iFirstDataRun = 1;
   long long m_iFirstPowerRun = 1;
   bool m_bBoxesLeftOut = false;

   bool operator==(const drawn_inputs &) const = default;
};

// What an edit of a layer changed, told apart as the layer's pictures and their caches need it;
// one edit may change several (`|`). `place`: the layer's place on the raster alone (its picture is
// kept and moved, its thumbnail stays). `colours`: its box colours alone (a current screen layer
// fills its boxes again under what it kept). `look`: anything else it draws; a change of the look
// has the layer drawn whole again, which covers the other two.
enum class layer_change : unsigned
{
   place = 1u << 0,
   colours = 1u << 1,
   look = 1u << 2,
};

constexpr layer_change operator|(layer_change a, layer_change b) noexcept
{
   return static_cast<layer_change>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

constexpr bool has_change(layer_change echanges, layer_change echange) noexcept
{
   return (static_cast<unsigned>(echanges) & static_cast<unsigned>(echange)) != 0;
}

// The base of every layer of a document: name, place on the raster, rotation, flags, the
// offscreen image the layer draws itself into, and the base part of the layer's key/value text.
class app_layer : virtual public particle
{
public:
   using error_callback = function<void(scoped_string_base)>;

   app_layer() = default;
   ~app_layer() override;

   virtual void default_colors();
   virtual void apply_defaults();
   virtual string_base get_data_custom_path_string() const;
   virtual void set_data_custom_path_string(scoped_string_base str);
   virtual string_base get_power_custom_path_string() const;
   virtual void set_power_custom_path_string(scoped_string_base str);
   // Called once a whole layer text has been applied.
   virtual void on_read_app_layer();
   // Drawn size in raster pixels.
   virtual int get_width() const;
   virtual int get_height() const;
   // The layer's outline turned by its rotation about the top-left corner: top-left, top-right,
   // bottom-right, bottom-left.
   virtual polygon_type<float> raw_rotated_polygon();
   virtual polygon_type<float> rotated_polygon(float x, float y);
   virtual int get_full_width() const = 0;
   virtual int get_full_height() const = 0;
   virtual int get_layer_type() const = 0;
   // Applies one key of the layer's own part of the text; unknown keys are ignored.
   virtual void apply_parameter_by_name(scoped_string_base strKey, scoped_string_base strValue) = 0;
   // The layer's own keys.
   virtual property_set get_all_parameters() const = 0;
   // Draws the layer into its offscreen image, reporting failures through `on_error`.
   virtual void build_frame(zel2d::context * pcontext, const error_callback & on_error) = 0;
   // A new layer equal to this one in its settings.
   virtual pointer<app_layer> clone() const = 0;
   // Bytes of the offscreen picture that drawing the layer makes; 0 when it draws nothing.
   virtual std::int64_t offscreen_bytes_needed() const;
   // Bytes of the pictures the layer holds now: its offscreen picture, and an image layer's own.
   virtual std::int64_t picture_bytes() const;
   // Bytes of its offscreen picture alone; 0 without one, and for one that lies in the frame.
   std::int64_t offscreen_bytes() const;

   // Marks the layer changed, of the kind given, and tells the controller, when the layer has
   // one; it is built again. A change of the look or of the colours moves `look_revision` on, one
   // of the colours `colours_revision` too; a change of place marks the layer moved. Within
   // `change` the mark is held, and given once when the edit ends.
   void set_changed(layer_change echange = layer_change::look);
   // Runs `edit`, which changes the layer, then marks the layer changed once, as `echange` and as
   // whatever the layer's own setters marked meanwhile. An edit within an edit is part of it.
   void change(layer_change echange, const function<void()> & edit);
   // Counts the changes of the layer's look: a thumbnail of it is drawn again when it moved on.
   unsigned long long look_revision() const noexcept { return m_iLookRevision; }
   // Counts the changes of the layer's colours alone, which `look_revision` counts as well.
   unsigned long long colours_revision() const noexcept { return m_iColoursRevision; }
   // Whether the layer moved since it was last drawn; drawing clears it.
   bool has_moved() const noexcept { return m_bMoved; }
   // Read and clear.
   bool has_changed() noexcept;
   void clear_changed() noexcept { m_bChanged = false; }

   bool is_hidden() const noexcept { return m_bHidden; }
   void set_hidden(bool bHidden);
   bool is_logo() const noexcept { return m_bLogo; }
   void set_logo(bool bLogo) noexcept { m_bLogo = bLogo; }

   int get_offset_x() const noexcept { return m_iOffsetX; }
   int get_offset_y() const noexcept { return m_iOffsetY; }
   void set_offset_x(int x);
   void set_offset_y(int y);
   // Radians, about the layer's top-left corner.
   float get_rotation() const noexcept { return m_fRotation; }
   void set_rotation(float fRadians);

   // "Logo" for the document's logo layer, whatever name it stores.
   string_base get_name() const;
   void set_name(scoped_string_base strName);

   // Back references, set by the document that creates the layer; not owned.
   document_controller * get_controller() const noexcept { return m_pcontroller; }
   project * get_document() const noexcept { return m_pproject; }
   void set_controller(document_controller * pcontroller) noexcept { m_pcontroller = pcontroller; }
   // The layer's pictures count in the memory budget of its document from now on.
   void set_document(project * pproject) noexcept;
   // The memory budget of the layer's document, or null without one.
   picture_budget * budget() const noexcept { return m_charge.budget().get(); }

   property_set get_base_layer_info() const;
   // The whole key/value text: one "key:value" line per entry.
   string_base get_layer_info() const;
   // Applies a key/value text; does not mark the layer changed.
   void apply_layer_info(scoped_string_base strText);
   // Writes the parse error to standard error, and notes the value as not read.
   void report_parse_error(scoped_string_base strReason, scoped_string_base strKey, scoped_string_base strValue);
   // Keeps the key and its value among the values not taken as written. Values read leniently
   // (integers by `atoi` rules, floats by `strtod` rules) are only noted: they are no parse error.
   void note_value_not_read(scoped_string_base strKey, scoped_string_base strValue);
   // `Key "value"` of each value the last `apply_layer_info` skipped or cut to what reads, in text
   // order; empty when every value was taken as written.
   const string_array_base & values_not_read() const noexcept { return m_straValuesNotRead; }
   // The keys of the layer's texts that belong to the other kind of layer (a screen layer's keys in
   // a block marked as a picture, say), with their values as they came. The layer does not use
   // them; its text gives them back after its own keys, so that a save loses nothing of the block.
   const property_set & keys_kept() const noexcept { return m_setKeysKept; }

   // The offscreen image at w x h, cleared to transparent; reused when the size matches. A reused
   // image that the drawing writes whole (`bWrittenWhole`) keeps its old pixels instead: clearing
   // them would cost a pass over the picture. Where a place in the frame is offered of that size,
   // the image lies there, in the frame's own rows, instead of memory of its own. A picture that
   // cannot be made throws `std::runtime_error` saying, in the user's terms, which layer cannot be
   // drawn and why; the layer then has no offscreen image.
   pointer<image::image> request_offscreen(unsigned long w, unsigned long h, bool bWrittenWhole = false);
   // A place in the frame's rows, at (x, y), that the layer's next whole drawing
   // (`request_offscreen`) takes, until it is withdrawn: the frame builder offers it where the
   // layer alone makes that part of the frame, so that composing it copies nothing. `eread` says
   // whether the frame's rows are read again as soon as they are drawn (by the canvas's shrunk
   // copy), or not before the frame is shown whole.
   void offer_frame_place(const pointer<image::image> & pframe, int x, int y, frame_rows_read eread) noexcept;
   void withdraw_frame_place() noexcept { m_pframeOffered = nullptr; }
   // Whether rows of `picture` that the drawing writes whole may go straight to memory, past the
   // caches: it lies in the place offered, and nothing reads the frame's rows at once (a copy
   // that read them would fetch them back from memory).
   bool may_write_past_cache(const image::image & picture) const noexcept
   {
      return m_pframeOffered && m_ereadOffered == frame_rows_read::later && picture.holder() == m_pframeOffered.get();
   }
   // The offscreen picture moves to (x, y) in the frame's rows, pixels and all, from another place
   // there or from memory of its own, which it gives back.
   void move_offscreen_in_frame(const pointer<image::image> & pframe, int x, int y);
   // The offscreen picture, which lies in the frame's rows, goes back into memory of its own, as it
   // is, where the memory budget lets it; otherwise it is let go, and the layer is drawn again.
   void take_offscreen_out_of_frame() noexcept;
   // Lets the offscreen picture go, and what is kept only to draw it again faster.
   void resetOffscreen() noexcept;
   // Lets go of the pictures kept only to draw the layer again faster; the next drawing is whole.
   virtual void drop_redraw_cache() noexcept {}
   pointer<image::image> get_offscreen() const { return m_pimageOffscreen; }
   // Uploads the offscreen image into the layer's drawing-library image and returns that.
   ImageWrap * get_zel2d_image(zel2d::context * pcontext);

   // What the offscreen picture was last drawn from; none when the layer must be drawn again.
   // The frame build keeps it, and draws a layer only when it is none or differs from the
   // inputs the layer would be drawn from now.
   const std::optional<drawn_inputs> & get_drawn_inputs() const noexcept { return m_odrawninputs; }
   // The picture was drawn from `inputs`; every drawing is counted.
   void mark_drawn(const drawn_inputs & inputs) noexcept
   {
      m_odrawninputs = inputs;
      ++m_iDrawings;
   }
   void forget_drawn_inputs() noexcept { m_odrawninputs.reset(); }
   // How often the picture was drawn: the frame composes again where a layer's count moved.
   unsigned long long drawing_count() const noexcept { return m_iDrawings; }
   // The layer draws nothing: the document's pictures would not fit in the memory allowed them.
   bool is_beyond_budget() const noexcept { return m_bBeyondBudget; }
   void set_beyond_budget(bool bBeyond) noexcept { m_bBeyondBudget = bBeyond; }
   // The layer draws nothing: its last drawing failed (and was told), with the settings kept here
   // (empty when it did not fail); it is not tried again until they change.
   bool has_failed_to_draw() const noexcept { return !m_strSettingsFailed.empty(); }
   const string_base & settings_failed() const noexcept { return m_strSettingsFailed; }
   void set_settings_failed(string_base strSettings) noexcept { m_strSettingsFailed = std::move(strSettings); }

protected:
   void copy_placement_to(app_layer & layer) const;
   // `parameter_text::read_leading_int` of the value; one it does not take whole is noted.
   int read_int_value(scoped_string_base strKey, scoped_string_base strValue);
   // Keeps the key and its value among `keys_kept`; a key kept before takes the new value.
   void keep_key(scoped_string_base strKey, scoped_string_base strValue);
   // Counts the pictures the layer holds now in its budget; called whenever they change.
   void count_pictures() noexcept;
   // The picture shows the layer's place now.
   void set_drawn_at_place() noexcept { m_bMoved = false; }

   bool m_bHidden = false;
   bool m_bChanged = false;
   bool m_bLogo = false;
   ImageWrap m_imagewrap;
   pointer<image::image> m_pimageOffscreen;
   int m_iOffsetX = 0;
   int m_iOffsetY = 0;
   float m_fRotation = 0.f;
   document_controller * m_pcontroller = nullptr;
   project * m_pproject = nullptr;
   string_base m_strName = "Screen1";
   std::optional<drawn_inputs> m_odrawninputs;
   unsigned long long m_iDrawings = 0;
   unsigned long long m_iLookRevision = 0;
   unsigned long long m_iColoursRevision = 0;
   bool m_bMoved = false;
   bool m_bBeyondBudget = false;
   string_base m_strSettingsFailed;
   string_array_base m_straValuesNotRead;
   property_set m_setKeysKept;
   picture_budget::charge m_charge;
   pointer<image::image> m_pframeOffered;
   frame_rows_read m_ereadOffered = frame_rows_read::at_once;
   int m_xOffered = 0;
   int m_yOffered = 0;

private:
   // Gives the marks of `echanges` at once, and tells the controller.
   void mark(layer_change echanges);
   // Reads one "key:value" line of the layer's text; a line without a colon is skipped.
   void apply_line(scoped_string_base strLine);

   // While an edit runs (`change`), the marks held for its end.
   std::optional<layer_change> m_oechangesHeld;
};

} // namespace Tarvossa_BrisvanePro
