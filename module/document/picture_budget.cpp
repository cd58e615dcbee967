#include "document/picture_budget.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

#include "orvo/file_system.h"
#include "orvo/image.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Version 1 writes "unlimited" as a number near the largest 64-bit value, rounded to pages.
constexpr std::int64_t no_group_limit_above = std::int64_t(1) << 62;

// The smaller of two limits, where 0 or below means none.
std::int64_t smaller_limit(std::int64_t iA, std::int64_t iB) noexcept
{
   if (iA <= 0 || iB <= 0)
   {
      return std::max<std::int64_t>({iA, iB, 0});
   }
   return std::min(iA, iB);
}

// The memory taken for a machine that tells nothing of its own.
constexpr std::int64_t assumed_memory = std::int64_t(1) << 32;

// The number a limit file holds; 0 for "max", for a missing file and for anything else.
std::int64_t limit_in_file(const std::filesystem::path & path)
{
   std::ifstream stream(path);
   std::string strText;
   if (!(stream >> strText))
   {
      return 0;
   }
   std::int64_t iLimit = 0;
   const auto [pEnd, error] = std::from_chars(strText.data(), strText.data() + strText.size(), iLimit);
   const bool bNumber = error == std::errc() && pEnd == strText.data() + strText.size();
   return bNumber && iLimit > 0 && iLimit < no_group_limit_above ? iLimit : 0;
}

// The smallest limit of `strFile` in the group folder and the folders above it, up to `root`.
std::int64_t smallest_limit_up_from(const std::filesystem::path & root, std::string_view strGroup, const char * pszFile)
{
   std::int64_t iSmallest = 0;
   std::filesystem::path group = std::filesystem::path(strGroup).relative_path().lexically_normal();
   while (true)
   {
      iSmallest = smaller_limit(iSmallest, limit_in_file(root / group / pszFile));
      if (group.empty() || group == ".")
      {
         return iSmallest;
      }
      group = group.parent_path();
   }
}

std::int64_t physical_memory()
{
   const long iPages = ::sysconf(_SC_PHYS_PAGES);
   const long iPageSize = ::sysconf(_SC_PAGESIZE);
   return iPages > 0 && iPageSize > 0 ? static_cast<std::int64_t>(iPages) * iPageSize : 0;
}

std::int64_t address_space_limit()
{
   struct rlimit limit{};
   if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
   {
      return 0;
   }
   return static_cast<std::int64_t>(std::min<rlim_t>(limit.rlim_cur, picture_budget::unlimited));
}

std::string text_of_file(const char * pszPath)
{
   std::ifstream stream(pszPath);
   std::ostringstream text;
   text << stream.rdbuf();
   return text.str();
}

} // namespace

void picture_budget::charge::move_to(std::shared_ptr<picture_budget> pbudget) noexcept
{
   if (pbudget == m_pbudget)
   {
      return;
   }
   if (m_pbudget)
   {
      m_pbudget->m_iInUse -= m_iBytes;
   }
   m_pbudget = std::move(pbudget);
   if (m_pbudget)
   {
      m_pbudget->m_iInUse += m_iBytes;
   }
}

void picture_budget::charge::set(std::int64_t iBytes) noexcept
{
   if (m_pbudget)
   {
      m_pbudget->m_iInUse += iBytes - m_iBytes;
   }
   m_iBytes = iBytes;
}

std::int64_t picture_budget::limit_for(std::int64_t iPhysical, std::int64_t iControlGroup, std::int64_t iAddressSpace) noexcept
{
   const std::int64_t iSmallest = smaller_limit(smaller_limit(iPhysical, iControlGroup), iAddressSpace);
   return (iSmallest > 0 ? iSmallest : assumed_memory) / 2;
}

std::int64_t picture_budget::control_group_limit(const std::filesystem::path & root, std::string_view strProcCgroup)
{
   std::int64_t iSmallest = 0;
   // Lines read "id:controllers:path"; version 2 has the one line "0::path".
   std::istringstream lines{std::string(strProcCgroup)};
   for (std::string strLine; std::getline(lines, strLine);)
   {
      const std::size_t iFirst = strLine.find(':');
      const std::size_t iSecond = iFirst == std::string::npos ? std::string::npos : strLine.find(':', iFirst + 1);
      if (iSecond == std::string::npos)
      {
         continue;
      }
      const std::string_view strControllers = std::string_view(strLine).substr(iFirst + 1, iSecond - iFirst - 1);
      const std::string_view strGroup = std::string_view(strLine).substr(iSecond + 1);
      if (strControllers.empty())
      {
         iSmallest = smaller_limit(iSmallest, smallest_limit_up_from(root, strGroup, "memory.max"));
      }
      else if (("," + std::string(strControllers) + ",").find(",memory,") != std::string::npos)
      {
         iSmallest = smaller_limit(iSmallest, smallest_limit_up_from(root / "memory", strGroup, "memory.limit_in_bytes"));
      }
   }
   return iSmallest;
}

std::string picture_budget::shortage_text(std::int64_t iWidth, std::int64_t iHeight)
{
   return format("its picture of %lld x %lld pixels needs %s, more memory than this computer could give", static_cast<long long>(iWidth),
                 static_cast<long long>(iHeight), file::byte_count_text(image::image::bytes_for(iWidth, iHeight)).c_str());
}

std::int64_t picture_budget::limit_for_this_process()
{
   const std::int64_t iGroup = control_group_limit("/sys/fs/cgroup", text_of_file("/proc/self/cgroup"));
   return limit_for(physical_memory(), iGroup, address_space_limit());
}

} // namespace Tarvossa_BrisvanePro
