#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace Tarvossa_BrisvanePro
{

// The most memory a document's pictures may take together (the layers' own and offscreen
// pictures, and the frame), and what they take now. The document owns it and hands it to its
// layers; every holder of pictures counts them through one `charge`, so there is one tally.
class picture_budget
{
public:
   static constexpr std::int64_t unlimited = std::numeric_limits<std::int64_t>::max();

   // The pictures of one holder, counted in a budget; they are taken off it when the holder lets
   // them go, moves to another budget or ends.
   class charge
   {
   public:
      charge() = default;
      charge(const charge &) = delete;
      charge & operator=(const charge &) = delete;
      ~charge() { move_to(nullptr); }

      // From now on the holder's pictures count in `pbudget` (none: nowhere).
      void move_to(std::shared_ptr<picture_budget> pbudget) noexcept;
      // The holder's pictures take `iBytes` now.
      void set(std::int64_t iBytes) noexcept;
      std::int64_t bytes() const noexcept { return m_iBytes; }
      // The budget counted in, or null.
      const std::shared_ptr<picture_budget> & budget() const noexcept { return m_pbudget; }

   private:
      std::shared_ptr<picture_budget> m_pbudget;
      std::int64_t m_iBytes = 0;
   };

   explicit picture_budget(std::int64_t iLimit = unlimited) noexcept : m_iLimit(iLimit) {}

   // Half of the memory this process may take: the smallest of the machine's memory, the
   // memory limit of its control group and its address-space limit.
   static std::int64_t limit_for_this_process();
   // The same rule for the given sizes, each 0 or below when there is no such limit.
   static std::int64_t limit_for(std::int64_t iPhysical, std::int64_t iControlGroup, std::int64_t iAddressSpace) noexcept;
   // The smallest memory limit of the control group named in `strProcCgroup` (the text of
   // "/proc/self/cgroup") and of the groups above it, under the control-group folder `root`
   // (version 2 "memory.max", or version 1 "memory/.../memory.limit_in_bytes"); 0 for none.
   static std::int64_t control_group_limit(const std::filesystem::path & root, std::string_view strProcCgroup);

   // Why a picture of that size could not be made when memory ran out, in the user's terms.
   static std::string shortage_text(std::int64_t iWidth, std::int64_t iHeight);

   std::int64_t limit() const noexcept { return m_iLimit; }
   void set_limit(std::int64_t iLimit) noexcept { m_iLimit = iLimit; }
   std::int64_t in_use() const noexcept { return m_iInUse; }
   // Whether the pictures stay within the limit when `iFreed` bytes of them are let go and
   // `iAdded` bytes are made.
   bool fits(std::int64_t iAdded, std::int64_t iFreed = 0) const noexcept { return iAdded <= m_iLimit - (m_iInUse - iFreed); }

private:
   std::int64_t m_iLimit;
   std::int64_t m_iInUse = 0;
};

} // namespace Tarvossa_BrisvanePro
