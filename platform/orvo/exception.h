#pragma once

#include <stdexcept>

#include "orvo/string.h"

// The status an exception carries: what kind of failure it reports.
enum enum_status
{
   error_failed = -1,
   error_bad_argument = -2,
   error_not_found = -3,
   error_io = -4,
   error_parsing = -5,
   error_out_of_range = -6,
   error_not_supported = -7,
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
