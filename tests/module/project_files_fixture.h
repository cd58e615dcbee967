#pragma once

// A document in a main screen with its data folder made, where project files are written and opened
// as the user opens them, and the error boxes shown are read.

#include <vector>

#include "core/Global.h"
#include "orvo/file_system.h"
#include "panel_test_screen.h"
#include "screen_dialogs.h"

class project_files : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      dir::make(m_pglobal->getFolderToSaveData());
   }

   file::path data_file(const char * pszName) const { return m_pglobal->getFolderToSaveData() / pszName; }

   // The texts of the error boxes shown so far, each closed once read.
   std::vector<string_base> take_errors_shown() { return ::take_errors_shown(*m_pscreen); }

   // The one error shown; fails when there is none or more.
   string_base the_error_shown()
   {
      const std::vector<string_base> errors = take_errors_shown();
      EXPECT_EQ(errors.size(), 1u);
      return errors.empty() ? string_base() : errors.front();
   }
};
