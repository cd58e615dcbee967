#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>

#include <cstdio>
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
