#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

extern char ** environ;

// A session bus of the test's own, named by DBUS_SESSION_BUS_ADDRESS while it lives, and on it,
// when asked, the stand-in portal of tests/host/stand_in_portal.py and the stand-in screen saver
// of tests/host/stand_in_screen_saver.py. The bus starts no services of the machine's own (the
// real portal among them): what it has, the test put there.
class private_session_bus
{
public:
   explicit private_session_bus(const std::filesystem::path & folder) : m_folder(folder)
   {
      std::filesystem::create_directories(m_folder);
      const std::string strAddress = "unix:path=" + (m_folder / "bus").string();
      std::ofstream(m_folder / "bus.conf") << "<busconfig><type>session</type><listen>" << strAddress
                                           << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                              "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                              "<allow own=\"*\"/></policy></busconfig>\n";
      m_pidBus = spawn({"dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + (m_folder / "bus.conf").string()});
      wait_for(m_folder / "bus");
      ::setenv("DBUS_SESSION_BUS_ADDRESS", strAddress.c_str(), 1);
   }

   ~private_session_bus()
   {
      for (pid_t pid : m_pidsServices)
      {
         stop(pid);
      }
      stop(m_pidBus);
      ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
   }

   // Starts the stand-in portal with its behaviour ("answer", "cancel", "end", "error", "silent")
   // and, for "answer", the URI and filter caption it answers with.
   void start_portal(const std::string & strBehaviour, const std::string & strUri = {}, const std::string & strFilter = {})
   {
      start_service("stand_in_portal.py", {record_path().string(), strBehaviour, strUri, strFilter});
   }

   // Starts the stand-in screen saver, which records every call.
   void start_screen_saver() { start_service("stand_in_screen_saver.py", {screen_saver_record_path().string()}); }

   // The requests the portal received, in order.
   std::vector<nlohmann::json> requests() const { return records(record_path()); }

   // The methods called on the screen saver, in order.
   std::vector<std::string> screen_saver_calls() const
   {
      std::vector<std::string> calls;
      for (const nlohmann::json & call : records(screen_saver_record_path()))
      {
         calls.push_back(call["method"]);
      }
      return calls;
   }

private:
   std::filesystem::path record_path() const { return m_folder / "requests.jsonl"; }
   std::filesystem::path screen_saver_record_path() const { return m_folder / "screen_saver.jsonl"; }

   // Starts a stand-in of tests/host with its record file, a file it makes once it is on the bus,
   // and its other arguments, and waits until it is there.
   void start_service(const std::string & strScript, std::vector<std::string> arguments)
   {
      const std::filesystem::path pathReady = m_folder / (strScript + ".ready");
      arguments.insert(arguments.begin() + 1, pathReady.string());
      arguments.insert(arguments.begin(), std::string(BRISVANE_SOURCE_DIR) + "/tests/host/" + strScript);
      arguments.insert(arguments.begin(), "/usr/bin/python3");
      m_pidsServices.push_back(spawn(arguments));
      wait_for(pathReady);
   }

   static std::vector<nlohmann::json> records(const std::filesystem::path & path)
   {
      std::vector<nlohmann::json> records;
      std::ifstream record(path);
      for (std::string strLine; std::getline(record, strLine);)
      {
         records.push_back(nlohmann::json::parse(strLine));
      }
      return records;
   }

   static pid_t spawn(const std::vector<std::string> & arguments)
   {
      std::vector<char *> argv;
      for (const std::string & strArgument : arguments)
      {
         argv.push_back(const_cast<char *>(strArgument.c_str()));
      }
      argv.push_back(nullptr);
      pid_t pid = 0;
      if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
      {
         throw std::runtime_error("cannot start " + arguments[0]);
      }
      return pid;
   }

   static void wait_for(const std::filesystem::path & path)
   {
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!std::filesystem::exists(path))
      {
         if (std::chrono::steady_clock::now() > end)
         {
            throw std::runtime_error("timed out waiting for " + path.string());
         }
         std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
   }

   static void stop(pid_t pid)
   {
      if (pid > 0)
      {
         ::kill(pid, SIGTERM);
         ::waitpid(pid, nullptr, 0);
      }
   }

   std::filesystem::path m_folder;
   pid_t m_pidBus = 0;
   std::vector<pid_t> m_pidsServices;
};
