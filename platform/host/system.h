#pragma once

#include <sys/types.h>

#include <memory>
#include <vector>

#include "orvo/function.h"
#include "orvo/outcome.h"
#include "orvo/string.h"

namespace platform
{

// Services of the operating system.
class system
{
public:
   using open_completion = function<void(const outcome<> &)>;

   system();
   ~system();

   // Opens the web page in the user's browser through the desktop's opener ("xdg-open", else
   // "sensible-browser"), without waiting: `completion` runs on the UI thread, from the event
   // loop, once an opener ended well (success), or once every opener failed (a failure that says
   // why the page was not handed over), however long the openers take. Only http and https
   // addresses are opened; a refused address, or no opener to start, completes before this
   // returns.
   void open_url(scoped_string_base strUrl, const open_completion & completion);

   // Whether an opener is still running; the event loop then looks for its end.
   bool is_waiting() const noexcept { return !m_openings.empty(); }
   // Collects the openers that ended and goes on with each: the next opener, or the completion.
   void collect_ended();
   // Forgets every page still being opened, with its completion, at the end of the application:
   // the completions belong to a module that is about to go. The openers run on.
   void close();

   struct opening;

private:
   // Starts the next opener of the opening; false when none is left to start.
   bool start_next_opener(opening & opening);
   void complete(opening & opening, const outcome<> & result);
   // Completes the opening with why every opener failed.
   void fail(opening & opening);

   std::vector<std::unique_ptr<opening>> m_openings;
};

} // namespace platform
