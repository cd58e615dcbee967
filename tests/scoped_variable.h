#pragma once

#include <cstdlib>

#include "orvo/string.h"

// Sets an environment variable (a null value unsets it) for one scope and puts the old value back.
class scoped_variable
{
public:
   scoped_variable(const char * pszName, const char * pszValue) : m_strName(pszName)
   {
      if (const char * pszOld = std::getenv(pszName))
      {
         m_strOld = pszOld;
         m_bHadValue = true;
      }
      if (pszValue)
      {
         ::setenv(pszName, pszValue, 1);
      }
      else
      {
         ::unsetenv(pszName);
      }
   }
   ~scoped_variable()
   {
      if (m_bHadValue)
      {
         ::setenv(m_strName.c_str(), m_strOld.c_str(), 1);
      }
      else
      {
         ::unsetenv(m_strName.c_str());
      }
   }

private:
   string_base m_strName;
   string_base m_strOld;
   bool m_bHadValue = false;
};
