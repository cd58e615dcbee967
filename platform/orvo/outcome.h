#pragma once

#include <concepts>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "orvo/string.h"

// Why a step failed, in words for the user; it makes a failed `outcome` of any kind.
struct failure
{
   explicit failure(string_base strError) : m_strError(std::move(strError)) {}

   string_base m_strError;
};

// What a step that can fail gives back: a value, or the text that says why there is none. True
// when it holds a value; a failure's text is never empty. `outcome<>` is a step that makes no
// value (a file written, a page opened).
template <typename T = void>
class outcome
{
public:
   outcome(T value) : m_value(std::move(value)) {}
   outcome(failure why) : m_strError(why.m_strError.empty() ? string_base("it failed") : std::move(why.m_strError)) {}
   // The outcome of a value that converts to this kind (a derived value gives its base part).
   template <typename U>
      requires(!std::same_as<U, T> && std::convertible_to<U &&, T>)
   outcome(outcome<U> && other) : m_strError(other.error())
   {
      if (other)
      {
         m_value.emplace(std::move(other).value());
      }
   }

   explicit operator bool() const noexcept { return m_value.has_value(); }

   // The value held. Asking a failure for its value is a bug: the program stops there, naming
   // the failure, in every build.
   T & value() &
   {
      expect_value();
      return *m_value;
   }
   const T & value() const &
   {
      expect_value();
      return *m_value;
   }
   T && value() &&
   {
      expect_value();
      return std::move(*m_value);
   }
   T * operator->() { return &value(); }
   const T * operator->() const { return &value(); }

   // The value held, or `fallback` after a failure.
   T value_or(T fallback) const & { return m_value ? *m_value : std::move(fallback); }
   T value_or(T fallback) && { return m_value ? std::move(*m_value) : std::move(fallback); }

   // Empty when the step succeeded.
   const string_base & error() const noexcept { return m_strError; }

private:
   void expect_value() const
   {
      if (!m_value)
      {
         std::fprintf(stderr, "outcome: the value of a failure was asked for (%s)\n", m_strError.c_str());
         std::abort();
      }
   }

   std::optional<T> m_value;
   string_base m_strError;
};

template <>
class outcome<void>
{
public:
   outcome() = default;
   outcome(failure why) : m_strError(why.m_strError.empty() ? string_base("it failed") : std::move(why.m_strError)) {}

   explicit operator bool() const noexcept { return m_strError.empty(); }

   // Empty when the step succeeded.
   const string_base & error() const noexcept { return m_strError; }

private:
   string_base m_strError;
};
