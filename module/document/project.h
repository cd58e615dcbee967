#pragma once

#include <atomic>
#include <cstddef>
#include <unordered_map>

#include "document/app_layer.h"
#include "document/forward.h"
#include "orvo/file_system.h"
#include "orvo/geometry.h"
#include "orvo/path.h"
#include "orvo/pointer_array.h"
#include "orvo/string_array.h"

namespace pugi
{
class xml_node;
}

namespace Tarvossa_BrisvanePro
{

// Block type of the raster-label block in project files; no layer has it.
inline constexpr int raster_label_block_type = 100;

// How a container text of the kind asked for was read: when the reading ended early (a block cut
// short or refused, blocks beyond the count) what ended it, and what the reading went past inside
// blocks it took. A text that is no such container is a failed `outcome` instead.
struct container_read
{
   // In words, for the user; empty when the reading took every block.
   string_base m_strFault;
   // In words, for the user: parts of blocks that were not taken as written (a picture that does
   // not read, bytes after a NUL), one entry each.
   string_array_base m_straBlockFaults;
   // The number of layer blocks the header announces.
   int m_iLayersAnnounced = 0;
   // Whether the text gives a raster size (projects do, presets do not).
   bool m_bRasterSizeRead = false;
   bool m_bRasterLabelRead = false;

   bool is_partial() const noexcept { return !m_strFault.empty(); }
   // Whether the text was taken whole, as written.
   bool is_whole() const noexcept { return !is_partial() && m_straBlockFaults.is_empty(); }
};

// The layers read from a container text, in file order, and how it was read. A container may
// hold no layer.
struct layers_read : container_read
{
   pointer_array<app_layer> m_layers;
};

// The numbers of the first data run and of the first power run of a screen layer.
struct base_run_numbers
{
   long long m_iData = 1;
   long long m_iPower = 1;

   bool operator==(const base_run_numbers &) const = default;
};

using base_run_numbers_map = std::unordered_map<const boxes_layer *, base_run_numbers>;

// One document: the ordered layers (index 0 is drawn first, at the bottom), the current layer,
// the raster size and the raster label. It creates its layers, so each knows its controller and
// its document. It reads and writes the project and presets container texts, and writes the
// XML screen setup.
class project : virtual public particle
{
public:
   static constexpr const char * project_magic = "BRISVANE_LED_PROJECT";
   static constexpr const char * presets_magic = "BRISVANE_LED_PRESETS";
   // The magics as the reader is given them.
   static constexpr const char * project_magic_v2 = "BRISVANE_LED_PROJECT v2";
   static constexpr const char * presets_magic_v2 = "BRISVANE_LED_PRESETS v2";
   // Counts above this are refused by the reader.
   static constexpr long long max_layers_count = 1024;

   // The document's pictures get a budget of their own, as large as this process allows.
   explicit project(document_controller * pcontroller);
   ~project() override;

   // The lines the frame building draws for the raster label: at most the first four stored lines,
   // trimmed, the blank ones left out (they still count toward the four), then the raster size.
   virtual void get_raster_label_lines(string_array_base & straOut);
   // A new image of that size that a context can draw into (`OffscreenDraw::make_target`).
   virtual pointer<image::image> create_image(const size_type<int> & size);

   document_controller * get_controller() const noexcept { return m_pcontroller; }
   // The memory budget of the document's pictures, which its layers count in.
   picture_budget & budget() const noexcept { return *m_pbudget; }
   const std::shared_ptr<picture_budget> & budget_pointer() const noexcept { return m_pbudget; }

   // A new layer of the type, belonging to this document but in no list; empty for a type that
   // is no layer.
   pointer<app_layer> create_layer(enum_layer elayer);
   // `create_layer`, then the text applied without defaults; not inserted.
   pointer<app_layer> create_layer_from_parameters(enum_layer elayer, scoped_string_base strText);
   // New layers go in at index 0, under every other layer; the current index is not moved.
   pointer<boxes_layer> new_boxes_layer();
   pointer<image_layer> new_image_layer();
   // A negative index appends; an empty layer changes nothing.
   void insert_layer_at(const pointer<app_layer> & player, long long index);

   pointer_array<app_layer> & get_layers() noexcept { return m_layera; }
   const pointer_array<app_layer> & get_layers() const noexcept { return m_layera; }
   long long get_layers_count() const noexcept { return m_layera.count(); }
   // Empty for an index outside the list.
   pointer<app_layer> get_layer(long long index) const;
   pointer<app_layer> current_layer() const;
   pointer<boxes_layer> current_boxes_layer() const;
   pointer<image_layer> current_image_layer() const;
   // As stored: -1 for none, and possibly past the end after the list shrank.
   long long get_current_layer_id() const noexcept { return m_iCurrentLayer.load(); }
   // A negative index means none (-1) and is always taken; an index not below the count is
   // refused (false) and the current index stays.
   bool set_current_layer_index(long long index);

   // The first layer with the logo flag; when there is none, a new image layer is made the logo
   // and appended on top. Empty when the flagged layer is not an image layer.
   pointer<image_layer> get_logo_layer();
   // -1 when no layer has the logo flag.
   long long get_logo_layer_index() const;

   // The number of the first run of a screen layer's data (true) or power (false) path: runs are
   // numbered from 1 on the last layer of the list towards index 0, so it is 1 + the runs of the
   // screen layers above it, hidden ones included, each counted as the layer is now.
   long long calculate_base_path_index(const boxes_layer * player, bool bData) const;
   // The base run numbers of every screen layer, worked out in one walk from the top layer down.
   base_run_numbers_map calculate_base_run_numbers() const;

   // While one lives, `calculate_base_path_index` answers from the numbers it was given. The
   // frame build holds one: no run count changes while the layers draw, and every arrow asks for
   // its run's number, so counting the runs of the layers above for each would make a build
   // quadratic in the cabinets.
   class base_run_numbers_hold
   {
   public:
      base_run_numbers_hold(const project & document, const base_run_numbers_map & numbers) noexcept;
      ~base_run_numbers_hold();
      base_run_numbers_hold(const base_run_numbers_hold &) = delete;
      base_run_numbers_hold & operator=(const base_run_numbers_hold &) = delete;

   private:
      const project & m_document;
      const base_run_numbers_map * m_pnumbersBefore;
   };

   // The stored size, or 1 when it is below 2.
   int get_paper_width() const noexcept;
   int get_paper_height() const noexcept;
   // Stored unchanged; the document is marked changed.
   void set_paper_width(int iWidth);
   void set_paper_height(int iHeight);
   void set_paper_size(const size_type<int> & size);
   void set_paper_size(int iWidth, int iHeight);

   // A fresh document's content: a 1920 x 1080 raster, the label in the bottom-right corner, one
   // new screen layer, and on top the logo layer from "logo.data" in the data folder when that
   // file holds an image layer.
   void load_default_layers();
   // Replaces the layers, the raster size (each side the text gives as 1 or more; a side of 0 or
   // below keeps the document's and is told) and the raster-label fields the text sets; the last
   // layer becomes current. A failure when the text is no project
   // container: the document is then left empty with no current layer, so a caller that must
   // keep an open document reads into a new one. A text read only in part says so.
   outcome<container_read> load_project_from_string(scoped_string_base strText);

   // The container reader: the layers of a text of the magic ("... v2"), made by this document,
   // in file order. A raster-size text is written into `paper`, a raster-label block applied to
   // this document. Faults are reported on standard output and in what is returned, and end the
   // reading, keeping the layers read before them; a text that is no container of the magic is a
   // failure.
   outcome<layers_read> create_layers_from_string(size_type<int> & paper, scoped_string_base strText, scoped_string_base strMagic);

   // A container file read whole. One larger than this document's picture budget is refused
   // before it is read, in the user's terms: its text alone would take more memory than that.
   outcome<string_base> read_container_file(const file::path & path) const;

   // The container writers. The file is written whole or not at all, whatever its size; the
   // result says which. It is written block by block, each layer's text made only when its turn
   // comes, so that a large document is never held twice in memory.
   outcome<file::written> save_project_to_file(const file::path & path) const;
   outcome<file::written> save_preset_to_file(const file::path & path) const;
   outcome<file::written> save_project_or_presets_to_file(const file::path & path, scoped_string_base strMagic, scoped_string_base strExtra, bool bRasterLabel) const;
   // The whole container text that the writers put into the file.
   string_base get_container_text(scoped_string_base strMagic, scoped_string_base strExtra, bool bRasterLabel) const;
   // "logo.data": a one-layer project container of the logo layer, with a raster size of 0 x 0.
   // False (with the reason) when there is no logo layer to write.
   outcome<file::written> save_logo_layer_to_file(const file::path & path);

   // The raster-label block text, and its reading (prefixes in any letter case), which gives
   // `Key "value"` of each number it did not take as written (`parameter_text::named_value`).
   string_base get_raster_label_info() const;
   string_array_base load_raster_label_info(scoped_string_base strText);
   // "Width:%d\nHeight:%d" of the shown raster size.
   string_base get_raster_size_text() const;

   // The XML screen setup: one slice per layer. The file is the path with its extensions replaced
   // by ".xml", written whole or not at all.
   outcome<file::written> save_resolute_arena_xml_document(const file::path & path) const;
   // The text of that file.
   string_base get_resolute_arena_xml_text() const;

   // The raster label.
   bool m_bRasterLabel = false;
   int m_iRasterLabelFontSize = 20;
   string_array_base m_straRasterLabel;
   int m_iRasterLabelX = 0;
   int m_iRasterLabelY = 0;
   // Measured by the frame building each time it draws the label; never stored in files.
   int m_iRasterLabelBoxWidth = 0;
   int m_iRasterLabelBoxHeight = 0;
   // Whether the label's box touches the raster's right (bottom) edge, or the label stands at the
   // raster's width (height) itself: a document just opened has not measured its box yet, and
   // keeps such a label against the edge; so does the session. Offsets near the 32-bit bounds are
   // added to the box size in 64 bits.
   bool is_raster_label_flush_right() const noexcept;
   bool is_raster_label_flush_bottom() const noexcept;

private:
   void mark_changed();
   // Takes each side of a raster size read from a text that is 1 or more; a side of 0 or below
   // keeps the document's own, which `straFaults` tells.
   void take_raster_size(const size_type<int> & size, string_array_base & straFaults);

   document_controller * m_pcontroller;
   std::shared_ptr<picture_budget> m_pbudget;
   pointer_array<app_layer> m_layera;
   // The numbers of the live `base_run_numbers_hold`, if any.
   mutable const base_run_numbers_map * m_pbaserunnumbersHeld = nullptr;
   std::atomic<long long> m_iCurrentLayer{0};
   int m_iPaperWidth = 1920;
   int m_iPaperHeight = 1080;
};

// Appends the layer's slice (name, input and output rectangles, warper grid) to the `layers`
// element of an XML screen setup.
void add_layer_to_xml(const app_layer * player, pugi::xml_node & layers);

} // namespace Tarvossa_BrisvanePro
