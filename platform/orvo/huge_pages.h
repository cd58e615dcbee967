#pragma once

#include <cstddef>

// The size of a huge page.
inline constexpr std::size_t huge_page = std::size_t(2) << 20;

// Asks the system to back the whole huge pages that lie within the buffer with huge pages, where
// it allows: a buffer of megabytes about to be written then takes a few page faults instead of
// thousands. Nothing happens for a buffer that holds no whole huge page. Only a hint.
void advise_huge_pages(void * p, std::size_t size) noexcept;
