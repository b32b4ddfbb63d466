// Short cuts as keys and as text, and the hot keys of captions.
#include <gtest/gtest.h>

#include "platform/vcl/Menus.h"

namespace {

struct TShortCutCase {
  const char* Text;
  TShortCut Value;
};

TEST(ShortCutTest, TextAndValuesAgreeBothWays) {
  const TShortCutCase cases[] = {{"Ctrl+F", 16454},
                                 {"Ctrl+Enter", 16397},
                                 {"Shift+Ctrl+Enter", 24589},
                                 {"Ctrl+'", 16606},
                                 {"Ctrl+T", 16468},
                                 {"Alt+Down", scAlt | VK_DOWN},
                                 {"Alt+Del", scAlt | VK_DELETE},
                                 {"Ctrl+X", scCtrl | 'X'},
                                 {"BkSp", VK_BACK},
                                 {"Tab", VK_TAB},
                                 {"Esc", VK_ESCAPE},
                                 {"Space", VK_SPACE},
                                 {"PgUp", VK_PRIOR},
                                 {"PgDn", VK_NEXT},
                                 {"End", VK_END},
                                 {"Home", VK_HOME},
                                 {"Left", VK_LEFT},
                                 {"Up", VK_UP},
                                 {"Right", VK_RIGHT},
                                 {"Ins", VK_INSERT},
                                 {"F1", VK_F1},
                                 {"F12", VK_F12},
                                 {"Shift+F5", scShift | VK_F5},
                                 {"0", '0'},
                                 {"Shift+Ctrl+Alt+9", scShift | scCtrl | scAlt | '9'},
                                 {"Num 5", VK_NUMPAD5},
                                 {"Num +", VK_ADD},
                                 {"Ctrl+,", scCtrl | VK_OEM_COMMA}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ShortCutToText(c.Value), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
  }
}

TEST(ShortCutTest, ParsingIgnoresCaseAndModifierOrder) {
  const TShortCutCase cases[] = {{"ctrl+shift+enter", 24589},
                                 {"CTRL+f", 16454},
                                 {"alt+shift+ctrl+a", 0xE041},
                                 {"^F", 16454},
                                 {"pgdn", VK_NEXT},
                                 {"shift+num +", scShift | VK_ADD}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
  }
}

TEST(ShortCutTest, TextWithoutAKeyIsNoShortCut) {
  for (const char* text : {"", "Ctrl+", "Shift+Ctrl+", "Ctrl+Foo", "F25", "Ctrl+ F", "Ctrl-F", "Ctrl+FF"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TextToShortCut(text), scNone);
  }
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(scCtrl), "");  // modifiers alone name nothing
  EXPECT_EQ(ShortCutToText(scCtrl | 0xFF), "");
}

TEST(ShortCutTest, EveryNamedKeyRoundTripsWithEveryModifier) {
  for (WORD key = 1; key <= 0xFF; ++key) {
    for (int mods : {0, int{scShift}, int{scCtrl}, int{scAlt}, scShift | scCtrl | scAlt}) {
      const TShortCut sc = static_cast<TShortCut>(key | mods);
      const std::string text = ShortCutToText(sc);
      if (text.empty()) continue;
      SCOPED_TRACE(text);
      EXPECT_EQ(TextToShortCut(text), sc);
    }
  }
}

TEST(ShortCutTest, KeyAndShiftConvertBothWays) {
  EXPECT_EQ(ShortCut('F', TShiftState{ssCtrl}), 16454);
  EXPECT_EQ(ShortCut(VK_RETURN, TShiftState{ssCtrl, ssShift}), 24589);
  EXPECT_EQ(ShortCut(0x100, TShiftState{ssCtrl}), scNone);  // not a key code
  WORD key = 0;
  TShiftState shift;
  ShortCutToKey(scAlt | scShift | VK_DELETE, key, shift);
  EXPECT_EQ(key, VK_DELETE);
  EXPECT_EQ(shift, (TShiftState{ssAlt, ssShift}));
}

TEST(ShortCutTest, HotkeysAreStrippedAndFound) {
  struct {
    const char* Caption;
    const char* Stripped;
    const char* Hotkey;
  } const cases[] = {
      {"&File", "File", "F"},   {"Save &As...", "Save As...", "A"}, {"Fish && Chips", "Fish & Chips", ""},
      {"No key", "No key", ""}, {"Trailing&", "Trailing", ""},      {"&收入", "收入", "收"},
      {"&&&x", "&x", "x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Caption);
    EXPECT_EQ(StripHotkey(c.Caption), c.Stripped);
    EXPECT_EQ(GetHotkey(c.Caption), c.Hotkey);
  }
  EXPECT_TRUE(IsAccel('F', "&file"));
  EXPECT_FALSE(IsAccel('I', "&file"));
}

}  // namespace
