#include <gtest/gtest.h>

#include "orvo/keyboard.h"

using keys = enumeration<user::enum_key>;

namespace
{

keys held(std::initializer_list<user::enum_key> ekeys)
{
   keys result;
   for (const user::enum_key ekey : ekeys)
   {
      result.add(ekey);
   }
   return result;
}

} // namespace

TEST(Enumeration, HasMeansAnyBitOfTheGroup)
{
   keys ekeys(user::e_key_right_shift);
   EXPECT_TRUE(ekeys.has(keyboard::e_group_shift));
   EXPECT_FALSE(ekeys.has(keyboard::e_group_control));
   ekeys.add(keyboard::e_group_control);
   ekeys.remove(keyboard::e_group_shift);
   EXPECT_EQ(ekeys.value(), 0xC00000000u);
}

TEST(Keyboard, ModifierKeysBelongToTheirGroups)
{
   EXPECT_EQ(keyboard::modifier_group(user::e_key_left_shift), keyboard::e_group_shift);
   EXPECT_EQ(keyboard::modifier_group(user::e_key_right_control), keyboard::e_group_control);
   EXPECT_EQ(keyboard::modifier_group(user::e_key_super), keyboard::e_group_control);
   EXPECT_EQ(keyboard::modifier_group(user::e_key_right_alt), keyboard::e_group_alt);
   EXPECT_EQ(keyboard::modifier_group(user::e_key_s), user::e_key_none);
}

TEST(Keyboard, StringKeyParsesModifiersAndTheKey)
{
   EXPECT_EQ(keyboard::string_key("CONTROL+S"), held({user::e_key_left_control, user::e_key_s}));
   EXPECT_EQ(keyboard::string_key("CONTROL+ALT+R"),
             held({user::e_key_left_control, user::e_key_left_alt, user::e_key_r}));
   EXPECT_EQ(keyboard::string_key("CONTROL++"), held({user::e_key_left_control, user::e_key_left_shift, user::e_key_equal}));
   EXPECT_EQ(keyboard::string_key("CONTROL+-"), held({user::e_key_left_control, user::e_key_minus}));
   EXPECT_EQ(keyboard::string_key("control+shift+7"),
             held({user::e_key_left_control, user::e_key_left_shift, user::e_key_7}));
   EXPECT_EQ(keyboard::string_key("+"), held({user::e_key_left_shift, user::e_key_equal}));
   EXPECT_EQ(keyboard::string_key("="), held({user::e_key_equal}));
   EXPECT_EQ(keyboard::string_key("s"), held({user::e_key_s}));
}

TEST(Keyboard, StringKeyAddsTheHeldModifiers)
{
   const keys ekeys = keyboard::string_key("S", keyboard::e_group_control);
   EXPECT_EQ(keyboard::key_code(ekeys), user::e_key_s);
   EXPECT_TRUE(ekeys.has(user::e_key_right_control));
}

TEST(Keyboard, UnreadableTextGivesNoKey)
{
   for (const char * psz : {"", "CONTROL+", "CONTROL+SS", "HYPER+S", "CONTROL+\xC3\xA9", "CONTROL++S"})
   {
      const keys ekeys = keyboard::string_key(psz);
      EXPECT_EQ(keyboard::key_code(ekeys), user::e_key_none) << psz;
      EXPECT_FALSE(keyboard::is_equivalent_using_modifiers_groups(ekeys, ekeys)) << psz;
   }
}

TEST(Keyboard, EquivalenceTreatsLeftAndRightAlikeButGroupsExactly)
{
   const keys ctrlS = keyboard::string_key("CONTROL+S");
   const keys pressedCtrlS = keyboard::string_key("S", keyboard::e_group_control);
   const keys pressedRightCtrlS = keyboard::string_key("s", user::e_key_right_control);
   const keys pressedCtrlShiftS = keyboard::string_key("S", held({keyboard::e_group_control, keyboard::e_group_shift}));

   EXPECT_TRUE(keyboard::is_equivalent_using_modifiers_groups(pressedCtrlS, ctrlS));
   EXPECT_TRUE(keyboard::is_equivalent_using_modifiers_groups(pressedRightCtrlS, ctrlS));
   EXPECT_FALSE(keyboard::is_equivalent_using_modifiers_groups(pressedCtrlShiftS, ctrlS));
   EXPECT_FALSE(keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key("S"), ctrlS));
   EXPECT_FALSE(keyboard::is_equivalent_using_modifiers_groups(pressedCtrlS, keyboard::string_key("CONTROL+A")));
   EXPECT_TRUE(keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key("S", user::e_key_super), ctrlS));
   EXPECT_TRUE(keyboard::is_equivalent_using_modifiers_groups(
      keyboard::string_key("+", keyboard::e_group_control), keyboard::string_key("CONTROL++")));
}

TEST(Keyboard, ThePlusCharacterMatchesWithOrWithoutShiftHeldAndTheMinusOnlyWithout)
{
   const keys controlPlus = keyboard::string_key("CONTROL++");
   const keys controlShift = held({keyboard::e_group_control, keyboard::e_group_shift});
   EXPECT_TRUE(keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key("+", controlShift), controlPlus));
   EXPECT_FALSE(keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key("=", keyboard::e_group_control), controlPlus));
   EXPECT_TRUE(keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key("-", keyboard::e_group_control),
                                                              keyboard::string_key("CONTROL+-")));
   EXPECT_FALSE(keyboard::is_equivalent_using_modifiers_groups(keyboard::string_key("-", controlShift),
                                                               keyboard::string_key("CONTROL+-")));
}

TEST(Keyboard, KeyStringWithNoModifierIsTheUnshiftedCharacter)
{
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_a), "a");
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_9), "9");
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_equal), "=");
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_space), " ");
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_escape), "");
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_tab), "");
   EXPECT_EQ(keyboard::key_string_with_no_modifier(user::e_key_left_shift), "");
}
