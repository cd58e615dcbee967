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
// when asked, the stand-in portal of tests/host/stand_in_portal.py. The bus starts no services
// of the machine's own (the real portal among them): what it has, the test put there.
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
      stop(m_pidPortal);
      stop(m_pidBus);
      ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
   }

   // Starts the stand-in portal with its behaviour ("answer", "cancel", "end", "error", "silent")
   // and, for "answer", the URI and filter caption it answers with.
   void start_portal(const std::string & strBehaviour, const std::string & strUri = {}, const std::string & strFilter = {})
   {
      m_pidPortal = spawn({"/usr/bin/python3", std::string(BRISVANE_SOURCE_DIR) + "/tests/host/stand_in_portal.py",
                           record_path().string(), (m_folder / "ready").string(), strBehaviour, strUri, strFilter});
      wait_for(m_folder / "ready");
   }

   // The requests the portal received, in order.
   std::vector<nlohmann::json> requests() const
   {
      std::vector<nlohmann::json> requests;
      std::ifstream record(record_path());
      for (std::string strLine; std::getline(record, strLine);)
      {
         requests.push_back(nlohmann::json::parse(strLine));
      }
      return requests;
   }

private:
   std::filesystem::path record_path() const { return m_folder / "requests.jsonl"; }

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
   pid_t m_pidPortal = 0;
};
