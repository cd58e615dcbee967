#pragma once

#include <filesystem>

#include "orvo/atomic_file.h"
#include "orvo/string.h"

namespace platform
{

// The application's place on the desktop: its document extension, the file association that lets
// the desktop open documents with it (a desktop entry and a MIME type in the user's data folder),
// and the desktop's list of recently used files.
class node
{
public:
   // The extension of the application's documents, without the dot ("tvsx").
   void set_document_extension(scoped_string_base strExtension);
   const string_base & document_extension() const noexcept { return m_strDocumentExtension; }

   // Associates files with the extension (".tvsx" or "tvsx") with the program: writes the desktop
   // entry `applications/ID.desktop` and the MIME type `mime/packages/ID-association.xml` under
   // the user's data folder, and refreshes the desktop's MIME database when it changed. An
   // installed MIME package `ID.xml` beside it is left alone. The open command
   // names the opened file "%1" ("\"%1\"" opens the file given in quotes). The entry shows the
   // icon named after the id, names the id as the class of the program's windows, and the desktop
   // hides it once the program is gone. Files that already say the same are left alone. The id
   // must be a plain file name.
   //
   // Where the desktop already has an installed entry of the id (in `applications/` of a system
   // data folder, XDG_DATA_DIRS, or one in the user's folder that names the program without its
   // folder), the installed program is the one that opens the documents: nothing is written, and a
   // registration that a program wrote for itself earlier is taken back.
   outcome<file::written> associate_extension(scoped_string_base strExtension, scoped_string_base strAssociationId,
                                          const std::filesystem::path & pathProgram,
                                          scoped_string_base strOpenCommand);

   // Tells the desktop that the program has just written the file: it is added to (or brought
   // to the top of) the recently used files. A list that cannot be read is left as it is.
   outcome<file::written> notify_file_saved(const std::filesystem::path & path);

   // The user's data folder (`dir::user_data`): empty when no home folder is known, and nothing
   // is then written.
   static std::filesystem::path user_data_folder();
   // The MIME type of the application's documents.
   string_base document_mime_type() const;
   // The version of the application, as its build gives it ("0.1").
   string_base application_version() const;

private:
   string_base m_strDocumentExtension;
};

} // namespace platform
