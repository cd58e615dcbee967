#pragma once

#include <cstdint>

// A set of flags of the enumeration E, held in 64 bits. Key codes and modifier flags share one
// value, so a key combination is one `enumeration<user::enum_key>`.
template <typename E>
class enumeration
{
public:
   constexpr enumeration() noexcept = default;
   constexpr enumeration(E e) noexcept : m_uValue(static_cast<std::uint64_t>(e)) {}
   constexpr explicit enumeration(std::uint64_t uValue) noexcept : m_uValue(uValue) {}

   // Whether any bit of `e` is set (a group of flags is held when one of its keys is).
   constexpr bool has(E e) const noexcept { return (m_uValue & static_cast<std::uint64_t>(e)) != 0; }
   constexpr bool is_empty() const noexcept { return m_uValue == 0; }

   constexpr void add(E e) noexcept { m_uValue |= static_cast<std::uint64_t>(e); }
   constexpr void remove(E e) noexcept { m_uValue &= ~static_cast<std::uint64_t>(e); }
   constexpr void clear() noexcept { m_uValue = 0; }

   constexpr std::uint64_t value() const noexcept { return m_uValue; }

   constexpr bool operator==(const enumeration &) const = default;

private:
   std::uint64_t m_uValue = 0;
};
