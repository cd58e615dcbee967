#include "host/portal_file_chooser.h"

#include <systemd/sd-bus.h>

#include <algorithm>
#include <cstdlib>

#include "host/session_bus.h"
#include "orvo/exception.h"
#include "orvo/memory_base.h"
#include "orvo/trace.h"

namespace platform
{

namespace
{

constexpr const char * g_pszPortal = "org.freedesktop.portal.Desktop";
constexpr const char * g_pszPortalPath = "/org/freedesktop/portal/desktop";

// The portal's answer codes of `org.freedesktop.portal.Request.Response`: a file chosen, the chooser
// cancelled by its button, or closed another way (Escape, the window manager's close), which is a
// cancel too.
constexpr std::uint32_t g_uResponseSuccess = 0;
constexpr std::uint32_t g_uResponseCancelled = 1;
constexpr std::uint32_t g_uResponseEnded = 2;

// Frees an sd-bus message when the scope ends.
struct message_reference
{
   sd_bus_message * m_pmessage = nullptr;
   ~message_reference() { sd_bus_message_unref(m_pmessage); }
};

// A filter as the portal takes it: the caption and its glob patterns, "(sa(us))" (0: a glob).
void append_filter(sd_bus_message * pmessage, const file::file_dialog_filter_item & item)
{
   check_bus_call(sd_bus_message_open_container(pmessage, 'r', "sa(us)"), "a filter");
   check_bus_call(sd_bus_message_append(pmessage, "s", item.m_strCaption.c_str()), "a filter");
   check_bus_call(sd_bus_message_open_container(pmessage, 'a', "(us)"), "a filter");
   std::size_t iStart = 0;
   while (iStart <= item.m_strPattern.size())
   {
      std::size_t iEnd = std::min(item.m_strPattern.find(';', iStart), item.m_strPattern.size());
      if (iEnd > iStart)
      {
         const string_base strPattern = item.m_strPattern.substr(iStart, iEnd - iStart);
         check_bus_call(sd_bus_message_append(pmessage, "(us)", 0u, strPattern.c_str()), "a filter");
      }
      iStart = iEnd + 1;
   }
   check_bus_call(sd_bus_message_close_container(pmessage), "a filter");
   check_bus_call(sd_bus_message_close_container(pmessage), "a filter");
}

// Opens the dictionary entry `pszKey` with a variant of `pszType`; the caller appends the value
// and closes both with `close_option`.
void open_option(sd_bus_message * pmessage, const char * pszKey, const char * pszType)
{
   check_bus_call(sd_bus_message_open_container(pmessage, 'e', "sv"), pszKey);
   check_bus_call(sd_bus_message_append(pmessage, "s", pszKey), pszKey);
   check_bus_call(sd_bus_message_open_container(pmessage, 'v', pszType), pszKey);
}

void close_option(sd_bus_message * pmessage)
{
   check_bus_call(sd_bus_message_close_container(pmessage), "an option");
   check_bus_call(sd_bus_message_close_container(pmessage), "an option");
}

void append_options(sd_bus_message * pmessage, const file::file_dialog & dialog, scoped_string_base strToken,
                    scoped_string_base strDefaultName)
{
   check_bus_call(sd_bus_message_open_container(pmessage, 'a', "{sv}"), "the options");
   check_bus_call(sd_bus_message_append(pmessage, "{sv}", "handle_token", "s", string_base(strToken).c_str()), "handle_token");
   check_bus_call(sd_bus_message_append(pmessage, "{sv}", "modal", "b", 1), "modal");
   const auto & items = dialog.filter().items();
   if (!items.empty())
   {
      open_option(pmessage, "filters", "a(sa(us))");
      check_bus_call(sd_bus_message_open_container(pmessage, 'a', "(sa(us))"), "filters");
      for (const auto & item : items)
      {
         append_filter(pmessage, item);
      }
      check_bus_call(sd_bus_message_close_container(pmessage), "filters");
      close_option(pmessage);
      open_option(pmessage, "current_filter", "(sa(us))");
      append_filter(pmessage, items[static_cast<std::size_t>(dialog.get_selected_filter_index())]);
      close_option(pmessage);
   }
   // The folder travels as bytes with their terminating zero: a path need not be UTF-8.
   const string_base strFolder = file::file_dialog::starting_folder(dialog.folder_kind()).as_string();
   open_option(pmessage, "current_folder", "ay");
   check_bus_call(sd_bus_message_append_array(pmessage, 'y', strFolder.c_str(), strFolder.size() + 1), "current_folder");
   close_option(pmessage);
   if (dialog.kind() == file::file_dialog::e_kind_save && !strDefaultName.empty())
   {
      check_bus_call(sd_bus_message_append(pmessage, "{sv}", "current_name", "s", string_base(strDefaultName).c_str()),
                     "current_name");
   }
   check_bus_call(sd_bus_message_close_container(pmessage), "the options");
}

// What the user chose, as the portal's results say: the first chosen file and the caption of the
// filter selected.
struct portal_choice
{
   string_base m_strUri;
   string_base m_strFilter;
};

portal_choice read_choice(sd_bus_message * pmessage)
{
   portal_choice choice;
   check_bus_call(sd_bus_message_enter_container(pmessage, 'a', "{sv}"), "the results");
   while (check_bus_call(sd_bus_message_enter_container(pmessage, 'e', "sv"), "the results") > 0)
   {
      const char * pszKey = nullptr;
      check_bus_call(sd_bus_message_read(pmessage, "s", &pszKey), "the results");
      if (std::string_view(pszKey) == "uris")
      {
         char ** ppszUris = nullptr;
         check_bus_call(sd_bus_message_enter_container(pmessage, 'v', "as"), "uris");
         check_bus_call(sd_bus_message_read_strv(pmessage, &ppszUris), "uris");
         check_bus_call(sd_bus_message_exit_container(pmessage), "uris");
         if (ppszUris && ppszUris[0])
         {
            choice.m_strUri = ppszUris[0];
         }
         for (char ** ppsz = ppszUris; ppsz && *ppsz; ++ppsz)
         {
            std::free(*ppsz);
         }
         std::free(ppszUris);
      }
      else if (std::string_view(pszKey) == "current_filter")
      {
         const char * pszCaption = nullptr;
         check_bus_call(sd_bus_message_enter_container(pmessage, 'v', "(sa(us))"), "current_filter");
         check_bus_call(sd_bus_message_enter_container(pmessage, 'r', "sa(us)"), "current_filter");
         check_bus_call(sd_bus_message_read(pmessage, "s", &pszCaption), "current_filter");
         choice.m_strFilter = pszCaption;
         check_bus_call(sd_bus_message_skip(pmessage, "a(us)"), "current_filter");
         check_bus_call(sd_bus_message_exit_container(pmessage), "current_filter");
         check_bus_call(sd_bus_message_exit_container(pmessage), "current_filter");
      }
      else
      {
         check_bus_call(sd_bus_message_skip(pmessage, "v"), "the results");
      }
      check_bus_call(sd_bus_message_exit_container(pmessage), "the results");
   }
   check_bus_call(sd_bus_message_exit_container(pmessage), "the results");
   return choice;
}

// The index of the filter with the caption; `iDefault` when the list has none.
long long filter_index(const file::file_dialog_filter & filter, scoped_string_base strCaption, long long iDefault)
{
   const auto & items = filter.items();
   for (std::size_t i = 0; i < items.size(); ++i)
   {
      if (items[i].m_strCaption == strCaption)
      {
         return static_cast<long long>(i);
      }
   }
   return iDefault;
}

} // namespace

// One dialog shown by the portal: its request's handle and the two bus slots that wait for the
// call's reply and the request's answer. Freeing a slot stops its wait.
struct portal_file_chooser::request
{
   portal_file_chooser * m_pchooser = nullptr;
   pointer<file::file_dialog> m_pdialog;
   function<void()> m_fallback;
   function<void()> m_closed;
   string_base m_strHandle;
   sd_bus_slot * m_pslotCall = nullptr;
   sd_bus_slot * m_pslotResponse = nullptr;
   bool m_bFinished = false;

   ~request()
   {
      sd_bus_slot_unref(m_pslotCall);
      sd_bus_slot_unref(m_pslotResponse);
   }

   void watch_response(sd_bus * pbus, scoped_string_base strHandle);
   void on_call_reply(sd_bus_message * pmessage);
   void on_response(sd_bus_message * pmessage);
};

namespace
{

// Runs a request's handler from sd-bus: no exception may cross its C frames, so a failure of the
// dialog's completion is reported here, as the event loop reports a failed event.
template <class HANDLER>
int run_from_bus(HANDLER handler)
{
   try
   {
      handler();
   }
   catch (const std::exception & e)
   {
      trace("brisvane: a file dialog's answer could not be handled: %s", e.what());
   }
   return 1;
}

int on_call_reply(sd_bus_message * pmessage, void * puserdata, sd_bus_error *)
{
   return run_from_bus([&] { static_cast<portal_file_chooser::request *>(puserdata)->on_call_reply(pmessage); });
}

int on_response_signal(sd_bus_message * pmessage, void * puserdata, sd_bus_error *)
{
   return run_from_bus([&] { static_cast<portal_file_chooser::request *>(puserdata)->on_response(pmessage); });
}

} // namespace

void portal_file_chooser::request::watch_response(sd_bus * pbus, scoped_string_base strHandle)
{
   m_strHandle = strHandle;
   m_pslotResponse = sd_bus_slot_unref(m_pslotResponse);
   check_bus_call(sd_bus_match_signal_async(pbus, &m_pslotResponse, nullptr, m_strHandle.c_str(),
                                            "org.freedesktop.portal.Request", "Response", on_response_signal, nullptr, this),
                  "the request's answer cannot be awaited");
}

void portal_file_chooser::request::on_call_reply(sd_bus_message * pmessage)
{
   if (m_bFinished)
   {
      return;
   }
   try
   {
      if (const sd_bus_error * perror = sd_bus_message_get_error(pmessage))
      {
         throw exception(error_io, perror->message ? perror->message : perror->name);
      }
      const char * pszHandle = nullptr;
      check_bus_call(sd_bus_message_read(pmessage, "o", &pszHandle), "the request's handle");
      // A portal older than the handle tokens answers on a path of its own choosing.
      if (m_strHandle != pszHandle)
      {
         watch_response(sd_bus_message_get_bus(pmessage), pszHandle);
      }
   }
   catch (const exception & e)
   {
      m_pchooser->fail(*this, e.what());
   }
}

void portal_file_chooser::request::on_response(sd_bus_message * pmessage)
{
   if (m_bFinished)
   {
      return;
   }
   std::uint32_t uResponse = 0;
   string_base strPath;
   long long iFilter = m_pdialog->get_selected_filter_index();
   try
   {
      check_bus_call(sd_bus_message_read(pmessage, "u", &uResponse), "the answer");
      if (uResponse != g_uResponseSuccess && uResponse != g_uResponseCancelled && uResponse != g_uResponseEnded)
      {
         throw exception(error_failed, format("the chooser ended with code %u", uResponse));
      }
      if (uResponse == g_uResponseSuccess)
      {
         const portal_choice choice = read_choice(pmessage);
         strPath = path_of_file_uri(choice.m_strUri);
         if (strPath.empty())
         {
            throw exception(error_not_supported, format("the chooser named no local file: \"%s\"", choice.m_strUri.c_str()));
         }
         iFilter = filter_index(m_pdialog->filter(), choice.m_strFilter, iFilter);
      }
   }
   catch (const exception & e)
   {
      m_pchooser->fail(*this, e.what());
      return;
   }
   // The completion runs outside the reading: what it throws is its own, not the portal's.
   m_bFinished = true;
   if (m_closed)
   {
      m_closed();
   }
   if (uResponse != g_uResponseSuccess)
   {
      m_pdialog->cancel();
      return;
   }
   file::file_dialog::set_last_folder(m_pdialog->folder_kind(), file::path(strPath).folder());
   // The desktop's choosers ask before a save replaces a file; the own "Replace file" question
   // then need not ask again.
   m_pdialog->answer_chosen(strPath, iFilter, file::file_dialog::e_overwrite_confirmed);
}

portal_file_chooser::enum_mode portal_file_chooser::mode_from_environment()
{
   const char * pszMode = std::getenv("BRISVANE_FILE_DIALOG");
   const std::string_view mode = pszMode ? pszMode : "";
   if (mode == "own")
   {
      return e_mode_own;
   }
   if (mode == "portal")
   {
      return e_mode_portal;
   }
   if (!mode.empty())
   {
      information("BRISVANE_FILE_DIALOG=%s is neither \"own\" nor \"portal\"; the file dialogs are chosen as usual.", pszMode);
   }
   return e_mode_automatic;
}

portal_file_chooser::portal_file_chooser(enum_mode emode, std::chrono::microseconds callTimeout) :
   m_emode(emode), m_callTimeout(callTimeout)
{
}

portal_file_chooser::~portal_file_chooser()
{
   close();
}

void portal_file_chooser::close()
{
   // The requests' slots go before the bus they belong to.
   m_requests.clear();
   m_pbus.reset();
}

bool portal_file_chooser::show(const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName,
                               scoped_string_base strParentWindow, const function<void()> & fallback, const function<void()> & closed)
{
   if (m_emode == e_mode_own || m_bGivenUp)
   {
      return false;
   }
   auto prequest = std::make_unique<request>();
   prequest->m_pchooser = this;
   prequest->m_pdialog = pdialog;
   prequest->m_fallback = fallback;
   prequest->m_closed = closed;
   try
   {
      if (!m_pbus)
      {
         m_pbus = std::make_unique<session_bus>();
      }
      send(*prequest, strDefaultName, strParentWindow);
   }
   catch (const exception & e)
   {
      give_up(e.what());
      if (m_emode == e_mode_portal)
      {
         pdialog->cancel();
         return true;
      }
      return false;
   }
   m_requests.push_back(std::move(prequest));
   return true;
}

void portal_file_chooser::send(request & request, scoped_string_base strDefaultName, scoped_string_base strParentWindow)
{
   // The answer comes as a signal on a path made of our name and a token; its match is in place
   // before the call, so that a quick answer is not missed.
   const string_base strToken = format("brisvane%lld", m_iNextToken++);
   string_base strSender = m_pbus->unique_name().substr(1);
   std::replace(strSender.begin(), strSender.end(), '.', '_');
   request.watch_response(m_pbus->handle(), string_base(g_pszPortalPath) + "/request/" + strSender + "/" + strToken);

   const bool bOpen = request.m_pdialog->kind() == file::file_dialog::e_kind_open;
   message_reference call;
   check_bus_call(sd_bus_message_new_method_call(m_pbus->handle(), &call.m_pmessage, g_pszPortal, g_pszPortalPath,
                                                 "org.freedesktop.portal.FileChooser", bOpen ? "OpenFile" : "SaveFile"),
                  "the chooser cannot be asked");
   check_bus_call(sd_bus_message_append(call.m_pmessage, "ss", string_base(strParentWindow).c_str(),
                                        bOpen ? "Open File" : "Save File"),
                  "the chooser cannot be asked");
   append_options(call.m_pmessage, *request.m_pdialog, strToken, strDefaultName);
   check_bus_call(sd_bus_call_async(m_pbus->handle(), &request.m_pslotCall, call.m_pmessage, on_call_reply, &request,
                                    static_cast<std::uint64_t>(m_callTimeout.count())),
                  "the chooser cannot be asked");
}

void portal_file_chooser::fail(request & request, scoped_string_base strReason)
{
   request.m_bFinished = true;
   give_up(strReason);
   if (m_emode == e_mode_portal)
   {
      request.m_pdialog->cancel();
      return;
   }
   if (request.m_fallback)
   {
      request.m_fallback();
   }
}

void portal_file_chooser::give_up(scoped_string_base strReason)
{
   if (m_emode == e_mode_portal)
   {
      trace("The desktop's file chooser failed (%s); the dialog is cancelled.", string_base(strReason).c_str());
      return;
   }
   if (!m_bGivenUp)
   {
      m_bGivenUp = true;
      information("The desktop's file chooser cannot be used (%s); the program's own file dialog is shown instead.",
                  string_base(strReason).c_str());
   }
}

void portal_file_chooser::serve(std::chrono::milliseconds timeout)
{
   if (!m_pbus)
   {
      return;
   }
   try
   {
      m_pbus->serve(timeout);
   }
   catch (const exception & e)
   {
      // A bus that broke answers none of the requests: each gets the own dialog (or a cancel).
      for (auto & prequest : m_requests)
      {
         if (!prequest->m_bFinished)
         {
            fail(*prequest, e.what());
         }
      }
   }
   forget_finished_requests();
}

void portal_file_chooser::forget_finished_requests()
{
   std::erase_if(m_requests, [](const std::unique_ptr<request> & prequest) { return prequest->m_bFinished; });
}

string_base path_of_file_uri(scoped_string_base strUri)
{
   constexpr std::string_view scheme = "file://";
   if (!strUri.starts_with(scheme))
   {
      return {};
   }
   scoped_string_base strRest = strUri.substr(scheme.size());
   const std::size_t iSlash = strRest.find('/');
   if (iSlash == scoped_string_base::npos)
   {
      return {};
   }
   const scoped_string_base strHost = strRest.substr(0, iSlash);
   if (!strHost.empty() && strHost != "localhost")
   {
      return {};
   }
   string_base strPath;
   for (std::size_t i = iSlash; i < strRest.size(); ++i)
   {
      const int iHigh = strRest[i] == '%' && i + 2 < strRest.size() ? value_of_hex_digit(strRest[i + 1]) : -1;
      const int iLow = iHigh >= 0 ? value_of_hex_digit(strRest[i + 2]) : -1;
      if (iLow < 0)
      {
         strPath += strRest[i];
         continue;
      }
      // No file name holds a zero byte; a URI that claims one names no file.
      if (iHigh == 0 && iLow == 0)
      {
         return {};
      }
      strPath += static_cast<char>(iHigh * 16 + iLow);
      i += 2;
   }
   return strPath;
}

} // namespace platform
