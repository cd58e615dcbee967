#pragma once

#include <cstdint>

// Who asks for a change of a control's value. Only a change by the user runs the control's
// callback; a change by the program (filling a control from a document, keeping a partner control
// in step) and the initial state given at construction run none.
enum enum_action_source : std::uint64_t
{
   e_source_none = 0,
   e_source_sync = 0x400,          // a change made by the program
   e_source_initialize = 0x2000,   // the initial state given at construction
   e_source_user = 0x100000,       // a change that counts as the user's
};

class action_context
{
public:
   constexpr action_context() noexcept = default;
   constexpr action_context(std::uint64_t uFlags) noexcept : m_uFlags(uFlags) {}

   constexpr std::uint64_t flags() const noexcept { return m_uFlags; }
   constexpr bool has(enum_action_source esource) const noexcept { return (m_uFlags & esource) != 0; }

   // Whether the change runs the control's callback.
   constexpr bool is_user_change() const noexcept { return has(e_source_user); }

private:
   std::uint64_t m_uFlags = e_source_none;
};
