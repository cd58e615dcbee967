#pragma once

#include <cstdint>
#include <optional>

#include "orvo/exception.h"

// The status of the framework exception that `action` throws; nothing when it throws none.
template <typename ACTION>
std::optional<std::int32_t> thrown_status(ACTION action)
{
   try
   {
      action();
   }
   catch (const exception & e)
   {
      return e.status();
   }
   return std::nullopt;
}
