#pragma once

#include "host/quisk_application.h"
#include "orvo/geometry.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "screen/forward.h"

namespace Tarvossa_BrisvanePro
{

// The module's application: registers the document extension and the file association, opens
// the main window on the first request and hands every request's document to the window's
// controller, and keeps the main window's rectangle between runs.
class application : virtual public quisk::application
{
public:
   application();
   ~application() override;

   void init_instance() override;
   void on_request(request * prequest) override;
   bool term_application() override;

   // Associates ".tvsx" with this program, opened with the file's path in double quotes.
   void set_file_association();
   // Reads the window rectangle into the initial rectangle, and whether the window was maximised;
   // false when there is no settings text. A degenerate rectangle gives a fallback in fractions of
   // the screen. A maximised window's rectangle is its normal one (where it goes back to when
   // un-maximised); a file without it (written before it was kept) gives the rectangle of its
   // four keys.
   bool load_settings();
   // Writes the main window's rectangle as it is (the four keys every build reads), whether it is
   // maximised and its normal rectangle; a failed write is reported on standard error.
   void save_settings();
   // The window settings' file in the data folder.
   static file::path settings_file_path();

   main_window * get_main_window() const noexcept { return m_pmainwindow.get(); }
   // The live output window, made by the canvas's live output switch the first time it is
   // turned on and kept (hidden when switched off) until the application ends.
   live_output_window * get_live_output_window() const noexcept { return m_plivewindow.get(); }
   void set_live_output_window(const pointer<live_output_window> & pwindow);
   const rectangle_f64 & initial_rectangle() const noexcept { return m_rectangleInitial; }
   bool is_maximized_initially() const noexcept { return m_bMaximizedInitially; }

private:
   pointer<main_window> m_pmainwindow;
   pointer<live_output_window> m_plivewindow;
   rectangle_f64 m_rectangleInitial{0.0, 0.0, 0.0, 0.0};
   bool m_bMaximizedInitially = false;
};

} // namespace Tarvossa_BrisvanePro
