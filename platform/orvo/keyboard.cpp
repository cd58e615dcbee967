#include "orvo/keyboard.h"

#include <algorithm>
#include <array>
#include <utility>

namespace keyboard
{

namespace
{

// The punctuation keys with the characters they type, unshifted first.
struct punctuation_key
{
   user::enum_key m_ekey;
   char m_chPlain;
   char m_chShifted;
};

constexpr std::array<punctuation_key, 12> g_punctuationkeys = {{
   {user::e_key_equal, '=', '+'},
   {user::e_key_minus, '-', '_'},
   {user::e_key_comma, ',', '<'},
   {user::e_key_period, '.', '>'},
   {user::e_key_slash, '/', '?'},
   {user::e_key_space, ' ', ' '},
   {user::e_key_semicolon, ';', ':'},
   {user::e_key_apostrophe, '\'', '"'},
   {user::e_key_left_bracket, '[', '{'},
   {user::e_key_right_bracket, ']', '}'},
   {user::e_key_backslash, '\\', '|'},
   {user::e_key_grave, '`', '~'},
}};

// The modifier names of a combination's text and the flag each one sets.
constexpr std::array<std::pair<scoped_string_base, user::enum_key>, 4> g_modifiernames = {{
   {"CONTROL", user::e_key_left_control},
   {"SHIFT", user::e_key_left_shift},
   {"ALT", user::e_key_left_alt},
   {"COMMAND", user::e_key_super},
}};

// The groups that equivalence compares; the Super key counts with Control.
constexpr std::array<std::uint64_t, 3> g_equivalencegroups = {
   e_group_shift,
   e_group_control | user::e_key_super,
   e_group_alt,
};

// The key that types `ch`, or `e_key_none`.
user::enum_key key_of_character(char ch)
{
   if (ch >= '0' && ch <= '9')
   {
      return static_cast<user::enum_key>(user::e_key_0 + (ch - '0'));
   }
   if (ch >= 'A' && ch <= 'Z')
   {
      return static_cast<user::enum_key>(user::e_key_a + (ch - 'A'));
   }
   if (ch >= 'a' && ch <= 'z')
   {
      return static_cast<user::enum_key>(user::e_key_a + (ch - 'a'));
   }
   for (const punctuation_key & key : g_punctuationkeys)
   {
      if (key.m_chPlain == ch || key.m_chShifted == ch)
      {
         return key.m_ekey;
      }
   }
   return user::e_key_none;
}

// Whether `ch` is the character that a punctuation key types with Shift ("+" on the equals key).
bool is_shifted_character(char ch)
{
   return std::any_of(g_punctuationkeys.begin(), g_punctuationkeys.end(),
                      [ch](const punctuation_key & key) { return key.m_chShifted == ch && key.m_chPlain != ch; });
}

user::enum_key modifier_of_name(scoped_string_base strName)
{
   for (const auto & [strModifier, ekey] : g_modifiernames)
   {
      if (equals_ci(strName, strModifier))
      {
         return ekey;
      }
   }
   return user::e_key_none;
}

} // namespace

user::enum_key modifier_group(user::enum_key ekey)
{
   switch (ekey)
   {
   case user::e_key_left_shift:
   case user::e_key_right_shift:
      return e_group_shift;
   case user::e_key_left_control:
   case user::e_key_right_control:
   case user::e_key_super:
      return e_group_control;
   case user::e_key_left_alt:
   case user::e_key_right_alt:
      return e_group_alt;
   default:
      return user::e_key_none;
   }
}

enumeration<user::enum_key> string_key(scoped_string_base strText, const enumeration<user::enum_key> & emodifiers)
{
   // The key is what follows the last "+" that joins; a text ending in "++" (or the text "+")
   // names the plus key itself.
   scoped_string_base strKey = strText;
   scoped_string_base strModifiers;
   if (strText.size() >= 2 && strText.ends_with("++"))
   {
      strKey = strText.substr(strText.size() - 1);
      strModifiers = strText.substr(0, strText.size() - 2);
   }
   else if (const auto iJoin = strText.rfind('+'); iJoin != scoped_string_base::npos && strText.size() > 1)
   {
      strKey = strText.substr(iJoin + 1);
      strModifiers = strText.substr(0, iJoin);
   }

   if (strKey.size() != 1)
   {
      return {};
   }
   const user::enum_key ekey = key_of_character(strKey.front());
   if (ekey == user::e_key_none)
   {
      return {};
   }

   enumeration<user::enum_key> ekeys(emodifiers.value() & modifier_mask);
   for (std::size_t iStart = 0; iStart < strModifiers.size();)
   {
      const std::size_t iJoin = std::min(strModifiers.find('+', iStart), strModifiers.size());
      const user::enum_key emodifier = modifier_of_name(strModifiers.substr(iStart, iJoin - iStart));
      if (emodifier == user::e_key_none)
      {
         return {};
      }
      ekeys.add(emodifier);
      // A "+" that ends the modifiers joins them to nothing.
      if (iJoin + 1 == strModifiers.size())
      {
         return {};
      }
      iStart = iJoin + 1;
   }
   ekeys.add(ekey);
   if (is_shifted_character(strKey.front()))
   {
      ekeys.add(user::e_key_left_shift);
   }
   return ekeys;
}

string_base key_string_with_no_modifier(user::enum_key ekey)
{
   if (ekey >= user::e_key_0 && ekey <= user::e_key_9)
   {
      return string_base(1, static_cast<char>('0' + (ekey - user::e_key_0)));
   }
   if (ekey >= user::e_key_a && ekey <= user::e_key_z)
   {
      return string_base(1, static_cast<char>('a' + (ekey - user::e_key_a)));
   }
   for (const punctuation_key & key : g_punctuationkeys)
   {
      if (key.m_ekey == ekey)
      {
         return string_base(1, key.m_chPlain);
      }
   }
   return {};
}

bool is_equivalent_using_modifiers_groups(const enumeration<user::enum_key> & ekeysA,
                                          const enumeration<user::enum_key> & ekeysB)
{
   if (key_code(ekeysA) == user::e_key_none || key_code(ekeysA) != key_code(ekeysB))
   {
      return false;
   }
   for (const std::uint64_t uGroup : g_equivalencegroups)
   {
      if (((ekeysA.value() & uGroup) != 0) != ((ekeysB.value() & uGroup) != 0))
      {
         return false;
      }
   }
   return true;
}

} // namespace keyboard
