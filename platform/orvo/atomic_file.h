#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "orvo/string.h"

namespace file
{

// What a whole-file write did: usable as a bool, with the reason when it failed.
struct write_result
{
   bool m_bOk = false;
   string_base m_strError;

   explicit operator bool() const noexcept { return m_bOk; }
};

// Writes the whole file or nothing: the bytes go to a temporary file in the target's folder,
// which is flushed to the disk and then renamed over the target. On any failure (unwritable
// folder, full disk) the temporary file is removed and the target is left as it was.
write_result write_atomically(const std::filesystem::path & target, const void * pdata, std::size_t size);

inline write_result write_atomically(const std::filesystem::path & target, std::string_view text)
{
   return write_atomically(target, text.data(), text.size());
}

} // namespace file
