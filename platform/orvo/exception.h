#pragma once

#include <cstdint>
#include <stdexcept>

#include "orvo/string.h"

// The status an exception carries: what kind of failure it reports. Every status is negative;
// the first three are the framework's 32-bit failure codes, which callers may compare with.
enum enum_status : std::int32_t
{
   // 0x80000000: a failure of no more precise kind.
   error_failed = INT32_MIN,
   // 0x800007E2: an argument that names nothing usable.
   error_bad_argument = INT32_MIN + 0x7E2,
   // 0x800007D3: an index outside the range of what it indexes.
   error_out_of_range = INT32_MIN + 0x7D3,
   error_not_found = -3,
   error_io = -4,
   error_parsing = -5,
   error_not_supported = -6,
};

// The framework's exception: a status and a text for the user or the log.
class exception : public std::runtime_error
{
public:
   exception(enum_status estatus, const string_base & strMessage) :
      std::runtime_error(strMessage), m_estatus(estatus) {}

   enum_status status() const noexcept { return m_estatus; }

private:
   enum_status m_estatus;
};
