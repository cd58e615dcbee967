#pragma once

#include <cstddef>

#include "orvo/string.h"

// What a text reader made of its input: usable as a bool, and when something could not be read,
// where (line from 1, or 0 when unknown, and byte offset from 0 of the first fault) and why. Readers keep what they
// could read before and after a fault.
struct parse_result
{
   bool m_bOk = true;
   long long m_iLine = 0;
   std::size_t m_iOffset = 0;
   string_base m_strError;

   explicit operator bool() const noexcept { return m_bOk; }

   // Records a fault unless an earlier one is already recorded.
   void fail(long long iLine, std::size_t iOffset, scoped_string_base strError)
   {
      if (m_bOk)
      {
         m_bOk = false;
         m_iLine = iLine;
         m_iOffset = iOffset;
         m_strError = strError;
      }
   }
};
