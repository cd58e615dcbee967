#pragma once

#include <filesystem>

#include "orvo/string.h"

namespace file
{

// A file or folder path. Extensions are the dot-separated parts of the file name after its
// first dot; a leading dot (a hidden file's name) starts no extension. Extensions are named
// without their dot, and a dot given in front of one is ignored.
class path
{
public:
   path() = default;
   path(const char * psz) : m_path(psz) {}
   path(scoped_string_base str) : m_path(str) {}
   path(const string_base & str) : m_path(str) {}
   path(std::filesystem::path stdpath) : m_path(std::move(stdpath)) {}

   bool is_empty() const noexcept { return m_path.empty(); }
   string_base as_string() const { return m_path.string(); }
   const char * c_str() const noexcept { return m_path.c_str(); }
   operator const std::filesystem::path &() const noexcept { return m_path; }

   // The path with `strName` (a name or a relative path) joined below it.
   path operator/(scoped_string_base strName) const { return path(m_path / std::filesystem::path(strName)); }
   path & operator/=(scoped_string_base strName);

   // The last part: the file name with its extensions.
   string_base name() const { return m_path.filename().string(); }
   // Everything before the last part.
   path folder() const { return path(m_path.parent_path()); }

   // "gz" of "a.tar.gz", and "tar.gz" for all of them; empty when the name has none.
   string_base final_extension() const;
   string_base all_extensions() const;
   // Whether the name ends with the extension, in any letter case.
   bool has_extension(scoped_string_base strExtension) const;

   // Replaces every extension of the name with the one given ("a.tar.gz" to "a.xml").
   path & set_all_extensions(scoped_string_base strExtension);
   // The path with the extension appended, unless the name ends with it already.
   path with_deferred_extension(scoped_string_base strExtension) const;

   bool operator==(const path & other) const { return m_path == other.m_path; }

private:
   // The offset of the first dot that starts an extension in the name, or npos.
   std::size_t extensions_start(const string_base & strName) const;

   std::filesystem::path m_path;
};

} // namespace file
