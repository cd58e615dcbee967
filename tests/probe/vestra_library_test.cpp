#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using kern_max_proc_function = int (*)();
using ether_sprint_function = int (*)(char *, int, unsigned char *);
using arp_a_callback = void (*)(void *, unsigned int, const char *);
using arp_a_function = const char * (*)(void *, arp_a_callback);

// The exported names a host binds: C++ names with their parameter types.
constexpr const char * kKernMaxProc = "_Z13kern_max_procv";
constexpr const char * kEtherSprint = "_Z12ether_sprintPciPh";
constexpr const char * kArpA = "_Z5arp_aPvPFvS_jPKcE";

class loaded_library
{
public:
   loaded_library() : m_pHandle(::dlopen(BRISVANE_BIN_DIR "/libvestra.so", RTLD_NOW | RTLD_LOCAL)) {}
   ~loaded_library()
   {
      if (m_pHandle)
      {
         ::dlclose(m_pHandle);
      }
   }
   loaded_library(const loaded_library &) = delete;
   loaded_library & operator=(const loaded_library &) = delete;

   void * handle() const { return m_pHandle; }

   template<typename Function>
   Function find(const char * pszName) const
   {
      return reinterpret_cast<Function>(::dlsym(m_pHandle, pszName));
   }

private:
   void * m_pHandle;
};

// The kernel's own view of the ARP table: address -> hardware address of the complete entries
// ("" for the others).
std::map<std::string, std::string> proc_arp_table()
{
   std::ifstream in("/proc/net/arp");
   std::string line;
   std::getline(in, line); // the column captions
   std::map<std::string, std::string> table;
   while (std::getline(in, line))
   {
      std::istringstream columns(line);
      std::string address, type, flags, hardware;
      columns >> address >> type >> flags >> hardware;
      const bool bComplete = (std::stoul(flags, nullptr, 16) & 0x2) != 0;
      table[address] = bComplete ? hardware : "";
   }
   return table;
}

// "02:0a:..." as the listing writes it: "2:a:...".
std::string without_leading_zeros(const std::string & hardware)
{
   unsigned int b[6];
   if (std::sscanf(hardware.c_str(), "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]) != 6)
   {
      return hardware;
   }
   char sz[18];
   std::snprintf(sz, sizeof sz, "%x:%x:%x:%x:%x:%x", b[0], b[1], b[2], b[3], b[4], b[5]);
   return sz;
}

struct listing
{
   int m_iCalls = 0;
   std::map<std::string, std::string> m_texts;
};

void collect(void * context, unsigned int address, const char * text)
{
   auto * pListing = static_cast<listing *>(context);
   ++pListing->m_iCalls;
   char szAddress[INET_ADDRSTRLEN];
   ::inet_ntop(AF_INET, &address, szAddress, sizeof szAddress);
   pListing->m_texts[szAddress] = text;
}

// The table a private network namespace is given: one entry of each kind the kernel has, on a
// veth interface whose own address is 02:00:00:00:00:01.
constexpr const char * kNamespaceSetup[] = {
   "ip link set lo up",
   "ip link add v0 address 02:00:00:00:00:01 type veth peer name v1",
   "ip link set v0 up",
   "ip link set v1 up",
   "ip addr add 192.0.2.1/24 dev v0",
   "ip neigh add 192.0.2.5 lladdr 00:1a:2b:3c:4d:5e dev v0 nud permanent",
   "ip neigh add 192.0.2.6 lladdr 02:00:00:00:00:06 dev v0 nud reachable",
   "ip neigh add 192.0.2.7 dev v0 nud incomplete",
   "ip neigh add 192.0.2.8 lladdr 01:00:5e:00:00:08 dev v0 nud noarp",
   "ip neigh add proxy 192.0.2.9 dev v0",
};

void write_file(const char * pszPath, const std::string & text)
{
   std::ofstream(pszPath) << text;
}

// Makes the process root of a new user namespace that owns a new network namespace, as
// `unshare -rn` does; returns an empty text, or why the machine does not allow it.
std::string enter_private_namespace()
{
   const uid_t uid = ::getuid();
   const gid_t gid = ::getgid();
   if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
   {
      return std::string("unshare: ") + std::strerror(errno);
   }
   write_file("/proc/self/setgroups", "deny");
   write_file("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
   write_file("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
   return {};
}

// Sends one datagram through the loopback device, so that the kernel makes its entry there.
void send_through_loopback()
{
   const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
   sockaddr_in discard{};
   discard.sin_family = AF_INET;
   discard.sin_port = htons(9);
   discard.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
   ::sendto(fd, "x", 1, 0, reinterpret_cast<const sockaddr *>(&discard), sizeof discard);
   ::close(fd);
}

// The child's side: sets up the namespace and writes, one per line, "skip REASON", or the
// kernel's own lines for the loopback device ("kernel ...") and then the listing ("listed ADDRESS
// TEXT") and its result ("result null" or "result TEXT").
[[noreturn]] void finish(const std::string & line)
{
   std::printf("%s\n", line.c_str());
   std::fflush(stdout);
   ::_exit(0);
}

[[noreturn]] void list_private_namespace(arp_a_function arp_a)
{
   const std::string refusal = enter_private_namespace();
   if (!refusal.empty())
   {
      finish("skip " + refusal);
   }
   ::setenv("PATH", (std::string(std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin") + ":/usr/sbin:/sbin").c_str(), 1);
   for (const char * pszCommand : kNamespaceSetup)
   {
      const int iStatus = std::system(pszCommand);
      if (iStatus != 0)
      {
         finish(std::string("skip `") + pszCommand + "` failed (status " + std::to_string(iStatus) + ")");
      }
   }
   send_through_loopback();
   std::fflush(stdout);
   const char * pszKernelListing = "ip -4 neigh show nud all dev lo | sed 's/^/kernel /'";
   if (const int iStatus = std::system(pszKernelListing); iStatus != 0)
   {
      finish(std::string("skip `") + pszKernelListing + "` failed (status " + std::to_string(iStatus) + ")");
   }

   listing result;
   const char * pszFailure = arp_a(&result, collect);
   for (const auto & [address, text] : result.m_texts)
   {
      std::printf("listed %s %s\n", address.c_str(), text.c_str());
   }
   finish(std::string("result ") + (pszFailure ? pszFailure : "null"));
}

struct namespace_listing
{
   std::string m_skip;
   std::vector<std::string> m_kernelLoopback;
   std::map<std::string, std::string> m_listed;
   std::string m_result;
};

// Runs the listing in a child process inside its own user and network namespaces.
namespace_listing run_in_private_namespace(arp_a_function arp_a)
{
   namespace_listing run;
   int fds[2];
   if (::pipe(fds) != 0)
   {
      run.m_skip = std::string("pipe: ") + std::strerror(errno);
      return run;
   }
   std::fflush(nullptr);
   const pid_t pid = ::fork();
   if (pid == 0)
   {
      ::close(fds[0]);
      ::dup2(fds[1], STDOUT_FILENO);
      list_private_namespace(arp_a);
   }
   ::close(fds[1]);
   std::string output;
   char buffer[4096];
   for (ssize_t cb; (cb = ::read(fds[0], buffer, sizeof buffer)) > 0;)
   {
      output.append(buffer, static_cast<std::size_t>(cb));
   }
   ::close(fds[0]);
   int iStatus = 0;
   ::waitpid(pid, &iStatus, 0);

   std::istringstream lines(output);
   for (std::string line; std::getline(lines, line);)
   {
      const std::size_t cbKind = line.find(' ');
      const std::string kind = line.substr(0, cbKind);
      const std::string rest = cbKind == std::string::npos ? "" : line.substr(cbKind + 1);
      if (kind == "skip")
      {
         run.m_skip = rest;
      }
      else if (kind == "kernel")
      {
         run.m_kernelLoopback.push_back(rest);
      }
      else if (kind == "listed")
      {
         const std::size_t cbAddress = rest.find(' ');
         run.m_listed[rest.substr(0, cbAddress)] = rest.substr(cbAddress + 1);
      }
      else if (kind == "result")
      {
         run.m_result = rest;
      }
   }
   if (!WIFEXITED(iStatus) || WEXITSTATUS(iStatus) != 0)
   {
      run.m_result = "child ended with status " + std::to_string(iStatus);
   }
   return run;
}

} // namespace

TEST(VestraLibrary, ExportsItsFunctionsUnderTheirCppNamesOnly)
{
   const loaded_library library;
   ASSERT_NE(library.handle(), nullptr) << ::dlerror();
   EXPECT_NE(library.find<void *>(kKernMaxProc), nullptr);
   EXPECT_NE(library.find<void *>(kEtherSprint), nullptr);
   EXPECT_NE(library.find<void *>(kArpA), nullptr);
   for (const char * pszPlain : {"kern_max_proc", "ether_sprint", "arp_a"})
   {
      EXPECT_EQ(library.find<void *>(pszPlain), nullptr) << pszPlain;
   }
   // The helpers behind them stay inside.
   EXPECT_EQ(library.find<void *>("_ZN6vestra16write_entry_textERKNS_15neighbour_entryEPci"), nullptr);
}

TEST(VestraLibrary, ProcessLimitIsTheKernelsTaskCeiling)
{
   const loaded_library library;
   ASSERT_NE(library.handle(), nullptr) << ::dlerror();
   const auto kern_max_proc = library.find<kern_max_proc_function>(kKernMaxProc);
   ASSERT_NE(kern_max_proc, nullptr);
   std::ifstream in("/proc/sys/kernel/threads-max");
   int iExpected = -1;
   in >> iExpected;
   EXPECT_GT(kern_max_proc(), 0);
   EXPECT_EQ(kern_max_proc(), iExpected);
}

TEST(VestraLibrary, EtherSprintCutsToTheBufferAndTellsTheWholeLength)
{
   const loaded_library library;
   ASSERT_NE(library.handle(), nullptr) << ::dlerror();
   const auto ether_sprint = library.find<ether_sprint_function>(kEtherSprint);
   ASSERT_NE(ether_sprint, nullptr);
   unsigned char mac[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
   char szText[10];
   EXPECT_EQ(ether_sprint(szText, sizeof szText, mac), 17);
   EXPECT_STREQ(szText, "10:20:30:");
}

TEST(VestraLibrary, ListsThisMachinesTable)
{
   const loaded_library library;
   ASSERT_NE(library.handle(), nullptr) << ::dlerror();
   const auto arp_a = library.find<arp_a_function>(kArpA);
   ASSERT_NE(arp_a, nullptr);

   const std::map<std::string, std::string> before = proc_arp_table();
   listing result;
   EXPECT_EQ(arp_a(&result, collect), nullptr);
   const std::map<std::string, std::string> after = proc_arp_table();

   const std::regex line(R"(((([0-9a-f]{1,2}:){0,5}[0-9a-f]{1,2})|\(incomplete\))( permanent)?( published \(proxy only\))?)");
   for (const auto & [address, text] : result.m_texts)
   {
      EXPECT_TRUE(std::regex_match(text, line)) << address << " " << text;
   }
   // Entries the kernel showed before and after the listing are in it, with the same address.
   for (const auto & [address, hardware] : before)
   {
      const auto itAfter = after.find(address);
      if (itAfter == after.end())
      {
         continue;
      }
      const auto itListed = result.m_texts.find(address);
      ASSERT_NE(itListed, result.m_texts.end()) << address;
      if (!hardware.empty() && itAfter->second == hardware)
      {
         EXPECT_EQ(itListed->second.rfind(without_leading_zeros(hardware), 0), 0u) << address << " " << itListed->second;
      }
   }
   std::printf("arp_a listed %d entries\n", result.m_iCalls);
}

TEST(VestraLibrary, ListsEveryKindOfEntryOfAPrivateNamespace)
{
   const loaded_library library;
   ASSERT_NE(library.handle(), nullptr) << ::dlerror();
   const auto arp_a = library.find<arp_a_function>(kArpA);
   ASSERT_NE(arp_a, nullptr);

   const namespace_listing run = run_in_private_namespace(arp_a);
   if (!run.m_skip.empty())
   {
      GTEST_SKIP() << "This machine gives no private network namespace with a veth pair (as `unshare -rn` would): " << run.m_skip;
   }
   EXPECT_EQ(run.m_result, "null");
   const std::map<std::string, std::string> expected = {
      {"192.0.2.5", "0:1a:2b:3c:4d:5e permanent"},
      {"192.0.2.6", "2:0:0:0:0:6"},
      {"192.0.2.7", "(incomplete)"},
      {"192.0.2.8", "1:0:5e:0:0:8 permanent"},
      {"192.0.2.9", "2:0:0:0:0:1 permanent published (proxy only)"},
   };
   EXPECT_EQ(run.m_listed, expected);
   // The kernel did keep an all-zero entry for the loopback device, and the listing left it out.
   ASSERT_FALSE(run.m_kernelLoopback.empty());
   EXPECT_NE(run.m_kernelLoopback.front().find("00:00:00:00:00:00 NOARP"), std::string::npos) << run.m_kernelLoopback.front();
}
