#pragma once

#include "core/forward.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zelui/file_dialog.h"

namespace Tarvossa_BrisvanePro
{

// The exports of one main window: the picture export that waits for the next frame build, whether
// the frame allows it, its writing in the chosen format, and the XML screen setup (written at once).
class exporter
{
public:
   // A picture export: where, and the main extension of the filter chosen in the dialog.
   struct request
   {
      file::path m_path;
      string_base m_strExtension;

      bool is_set() const { return !m_path.is_empty(); }
   };

   // `global` (not owned) is told of faults and holds the frame and the "Black BG:" switch.
   explicit exporter(Global & global);
   ~exporter();

   // "Save Image"'s filter: every format a picture export writes, and "All Files".
   static file::file_dialog_filter picture_filter();
   // The dialog of the export of one format lists that format and "All Files"; a name typed with the
   // extension of another format that a picture export writes is written in that format, as "Save
   // Image" writes it.
   static file::file_dialog_filter one_format_filter(const file::file_dialog_filter_item & format);

   // The completed export dialog waiting for the next frame build, replacing an earlier one; taken once.
   void set_pending(const pointer<file::file_dialog> & pdialog) { m_pdialogPending = pdialog; }
   pointer<file::file_dialog> take_pending();
   // The pending export, taken once.
   request take_request();
   // Whether the frame shows the whole document, so that the export may be written; when it does
   // not, the user is told why nothing is written.
   bool may_export(const request & request, const project & document) const;
   // Writes the export in the format of its extension; a failed write is shown to the user.
   void write(const request & request, const PSDSaver * ppsd) const;

   // Writes the document's screen setup as XML; nothing without a path or a document.
   void write_screen_setup(const file::path & path) const;

private:
   Global & m_global;
   pointer<file::file_dialog> m_pdialogPending;
};

} // namespace Tarvossa_BrisvanePro
