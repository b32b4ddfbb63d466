#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TypInfo.h"

namespace typinfo_test {
enum class TPaintMode { pmNone, pmFill, pmOutline };
}  // namespace typinfo_test

RTL_ENUM_INFO(typinfo_test::TPaintMode, "pmNone", "pmFill", "pmOutline");

namespace typinfo_test {
namespace {

using TPaintModes = TSet<TPaintMode>;

const TIdentMap& ColorIdents() {
  static const TIdentMap map{"TColor", {{0x0000FF, "clRed"}, {0xFFFFFF, "clWhite"}, {-16777211, "clWindow"}}};
  return map;
}

class TFontInfo : public TPersistent {
  RTL_CLASS(TFontInfo, TPersistent)
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& v) { name_ = v; }
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  static void DescribeClass(TClassBuilder<TFontInfo>& c) {
    c.Property("Name", &TFontInfo::Name, &TFontInfo::SetName);
    c.Property("Size", &TFontInfo::Size, &TFontInfo::SetSize);
  }

 private:
  std::string name_ = "Tahoma";
  int size_ = 9;
};
RTL_IMPLEMENT_CLASS(TFontInfo)

class TPanel : public TComponent {
  RTL_CLASS(TPanel, TComponent)
 public:
  explicit TPanel(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFontInfo>()) {}

  int Count() const { return count_; }
  void SetCount(int v) { count_ = v; }
  int Color() const { return color_; }
  void SetColor(int v) { color_ = v; }
  int64_t Big() const { return big_; }
  void SetBig(int64_t v) { big_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  const std::u16string& Hint() const { return hint_; }
  void SetHint(const std::u16string& v) { hint_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  TPaintMode Mode() const { return mode_; }
  void SetMode(TPaintMode v) { mode_ = v; }
  TPaintModes Modes() const { return modes_; }
  void SetModes(TPaintModes v) { modes_ = v; }
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& v) { value_ = v; }
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(const TNotifyEvent& v) { onClick_ = v; }
  TFontInfo* Font() const { return font_.get(); }
  TComponent* Buddy() const { return buddy_; }
  void SetBuddy(TComponent* v) { buddy_ = v; }
  int Fixed() const { return 17; }

  void PanelClick(TObject*) {}

  static void DescribeClass(TClassBuilder<TPanel>& c) {
    c.Property("Count", &TPanel::Count, &TPanel::SetCount).Default(5);
    c.Property("Color", &TPanel::Color, &TPanel::SetColor).WithIdents(ColorIdents()).OfType("TColor");
    c.Property("Big", &TPanel::Big, &TPanel::SetBig);
    c.Property("Ratio", &TPanel::Ratio, &TPanel::SetRatio);
    c.Property("Caption", &TPanel::Caption, &TPanel::SetCaption);
    c.Property("Hint", &TPanel::Hint, &TPanel::SetHint);
    c.Property("Visible", &TPanel::Visible, &TPanel::SetVisible);
    c.Property("Mode", &TPanel::Mode, &TPanel::SetMode);
    c.Property("Modes", &TPanel::Modes, &TPanel::SetModes);
    c.Property("Value", &TPanel::Value, &TPanel::SetValue);
    c.Property("OnClick", &TPanel::OnClick, &TPanel::SetOnClick);
    c.Property("Font", &TPanel::Font);
    c.Property("Buddy", &TPanel::Buddy, &TPanel::SetBuddy);
    c.Property("Fixed", &TPanel::Fixed);
    c.Method("PanelClick", &TPanel::PanelClick);
  }

 private:
  int count_ = 5;
  int color_ = 0;
  int64_t big_ = 0;
  double ratio_ = 0;
  std::string caption_;
  std::u16string hint_;
  bool visible_ = true;
  TPaintMode mode_ = TPaintMode::pmNone;
  TPaintModes modes_;
  Variant value_;
  TNotifyEvent onClick_;
  std::unique_ptr<TFontInfo> font_;
  TComponent* buddy_ = nullptr;
};
RTL_IMPLEMENT_CLASS(TPanel)

std::string PropertyError(const std::function<void()>& action) {
  try {
    action();
  } catch (const EPropertyError& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST(TypInfoTest, LooksUpPublishedPropertiesIgnoringCaseIncludingAncestors) {
  TPanel panel(nullptr);
  EXPECT_EQ(GetPropInfo(&panel, "caption")->Name, "Caption");
  EXPECT_EQ(GetPropInfo(&panel, "TAG")->Name, "Tag");
  EXPECT_EQ(GetPropInfo(&panel, "Nope"), nullptr);
  EXPECT_EQ(GetPropInfo(static_cast<TObject*>(nullptr), "Tag"), nullptr);
  EXPECT_TRUE(IsPublishedProp(TPanel::StaticClass(), "Modes"));
  EXPECT_FALSE(IsPublishedProp(TComponent::StaticClass(), "Modes"));
  EXPECT_TRUE(PropIsType(&panel, "Font", TTypeKind::tkClass));
  EXPECT_FALSE(PropIsType(&panel, "Nope", TTypeKind::tkClass));
  EXPECT_EQ(PropType(&panel, "Hint"), TTypeKind::tkWString);
  EXPECT_EQ(PropType(&panel, "Big"), TTypeKind::tkInt64);
  EXPECT_FALSE(IsStoredProp(&panel, "Name"));
  EXPECT_TRUE(IsStoredProp(&panel, "Caption"));
  auto list = GetPropList(&panel);
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list[0]->Name, "Name");
  EXPECT_EQ(list.back()->Name, "Fixed");
}

TEST(TypInfoTest, OrdinalAccessCoversIntegersEnumerationsAndSets) {
  TPanel panel(nullptr);
  SetOrdProp(&panel, "Count", 12);
  EXPECT_EQ(panel.Count(), 12);
  EXPECT_EQ(GetOrdProp(&panel, "count"), 12);
  SetOrdProp(&panel, "Mode", 2);
  EXPECT_EQ(panel.Mode(), TPaintMode::pmOutline);
  SetOrdProp(&panel, "Modes", 0b101);
  EXPECT_TRUE(panel.Modes().Contains(TPaintMode::pmOutline));
  EXPECT_FALSE(panel.Modes().Contains(TPaintMode::pmFill));
  SetInt64Prop(&panel, "Big", int64_t{1} << 40);
  EXPECT_EQ(GetInt64Prop(&panel, "Big"), int64_t{1} << 40);
  EXPECT_EQ(GetOrdProp(&panel, "Visible"), 1);
  EXPECT_EQ(GetIntProp(&panel, "Count"), 12);
  EXPECT_EQ(GetIntProp(&panel, "Caption"), -1);
  EXPECT_EQ(GetIntProp(&panel, "Nope"), -1);
  EXPECT_EQ(GetIntProp(nullptr, "Count"), -1);
}

TEST(TypInfoTest, TypedAccessorsRaiseForMissingMismatchedAndReadOnlyProperties) {
  TPanel panel(nullptr);
  struct Case {
    const char* what;
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {"missing", [&] { GetOrdProp(&panel, "Nope"); }, "Property Nope does not exist"},
      {"missing set", [&] { SetStrProp(&panel, "Nope", "x"); }, "Property Nope does not exist"},
      {"string as ordinal", [&] { GetOrdProp(&panel, "Caption"); }, "Invalid property type: string"},
      {"ordinal as float", [&] { GetFloatProp(&panel, "Count"); }, "Invalid property type: Integer"},
      {"float as string", [&] { GetStrProp(&panel, "Ratio"); }, "Invalid property type: Double"},
      {"read-only ordinal", [&] { SetOrdProp(&panel, "Fixed", 1); }, "Property Fixed is read-only"},
      {"read-only object", [&] { SetObjectProp(&panel, "Font", nullptr); }, "Property Font is read-only"},
      {"unknown element", [&] { SetEnumProp(&panel, "Mode", "pmDots"); }, "Invalid property element: pmDots"},
      {"unknown set element", [&] { SetSetProp(&panel, "Modes", "[pmFill,pmDots]"); },
       "Invalid property element: pmDots"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PropertyError(c.action), c.message);
  }
  EXPECT_EQ(panel.Mode(), TPaintMode::pmNone);
  EXPECT_TRUE(panel.Modes().Empty());
}

TEST(TypInfoTest, StringsConvertBetweenNarrowAndWide) {
  TPanel panel(nullptr);
  SetStrProp(&panel, "Hint", "宽字符 ok");
  EXPECT_EQ(panel.Hint(), u"宽字符 ok");
  EXPECT_EQ(GetStrProp(&panel, "Hint"), "宽字符 ok");
  SetWideStrProp(&panel, "Caption", u"标题");
  EXPECT_EQ(panel.Caption(), "标题");
  EXPECT_EQ(GetWideStrProp(&panel, "Caption"), u"标题");
  EXPECT_EQ(GetWideTextProp(&panel, "Caption"), u"标题");
  EXPECT_EQ(GetWideTextProp(&panel, "Hint"), u"宽字符 ok");
  EXPECT_EQ(GetWideTextProp(&panel, "Count"), u"");
  EXPECT_EQ(GetWideTextProp(&panel, "Nope"), u"");
  panel.SetValue(Variant("变体"));
  EXPECT_EQ(GetWideTextProp(&panel, "Value"), u"变体");
}

TEST(TypInfoTest, EnumerationNamesAndValues) {
  const TEnumInfo& info = TEnumTraits<TPaintMode>::Info();
  EXPECT_EQ(GetEnumName(info, 1), "pmFill");
  EXPECT_EQ(GetEnumName(info, 3), "");
  EXPECT_EQ(GetEnumName(info, -1), "");
  EXPECT_EQ(GetEnumValue(info, "PMOUTLINE"), 2);
  EXPECT_EQ(GetEnumValue(info, "pmDots"), -1);
  TPanel panel(nullptr);
  SetEnumProp(&panel, "Mode", "pmfill");
  EXPECT_EQ(GetEnumProp(&panel, "Mode"), "pmFill");
  SetEnumProp(&panel, "Visible", "false");
  EXPECT_EQ(GetEnumProp(&panel, "Visible"), "False");
}

TEST(TypInfoTest, SetTextsWithOrWithoutBrackets) {
  const TEnumInfo& info = TEnumTraits<TPaintMode>::Info();
  struct Case {
    const char* text;
    uint64_t bits;
  } cases[] = {{"[pmFill,pmOutline]", 0b110},
               {"pmFill, pmOutline", 0b110},
               {" [ pmnone ] ", 0b001},
               {"[]", 0},
               {"", 0},
               {"[pmFill,,pmFill]", 0b010}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StringToSet(info, c.text), c.bits);
  }
  EXPECT_EQ(SetToString(info, 0b101), "[pmNone,pmOutline]");
  EXPECT_EQ(SetToString(info, 0b101, false), "pmNone,pmOutline");
  EXPECT_EQ(SetToString(info, 0), "[]");
  EXPECT_EQ(SetToString(info, uint64_t{1} << 63 | 0b10), "[pmFill]");  // unnamed bits are left out
  TPanel panel(nullptr);
  SetSetProp(&panel, "Modes", "pmOutline");
  EXPECT_EQ(GetSetProp(&panel, "Modes"), "[pmOutline]");
  EXPECT_EQ(GetSetProp(&panel, "Modes", false), "pmOutline");
}

TEST(TypInfoTest, ObjectProperties) {
  TPanel panel(nullptr), other(nullptr);
  EXPECT_EQ(GetObjectProp(&panel, "Font"), panel.Font());
  EXPECT_EQ(GetObjectPropOf(&panel, "Font", TPersistent::StaticClass()), panel.Font());
  EXPECT_EQ(GetObjectPropOf(&panel, "Font", TComponent::StaticClass()), nullptr);
  EXPECT_EQ(GetObjectPropAs<TFontInfo>(&panel, "Font"), panel.Font());
  EXPECT_EQ(GetObjectProp(&panel, "Caption"), nullptr);
  EXPECT_EQ(GetObjectProp(&panel, "Nope"), nullptr);
  SetObjectProp(&panel, "Buddy", &other);
  EXPECT_EQ(panel.Buddy(), &other);
  // An object of the wrong class is ignored.
  TFontInfo font;
  SetObjectProp(&panel, "Buddy", &font);
  EXPECT_EQ(panel.Buddy(), &other);
  SetObjectProp(&panel, "Buddy", nullptr);
  EXPECT_EQ(panel.Buddy(), nullptr);
  EXPECT_EQ(GetOrdProp(&panel, "Font"), static_cast<int64_t>(reinterpret_cast<intptr_t>(panel.Font())));
}

TEST(TypInfoTest, VariantAndHandlerProperties) {
  TPanel panel(nullptr);
  SetVariantProp(&panel, "Value", Variant(42));
  EXPECT_EQ(GetVariantProp(&panel, "Value").AsInteger(), 42);
  EXPECT_EQ(GetMethodProp(&panel, "OnClick").Data, nullptr);
  const TMethodInfo* click = TPanel::StaticClass()->FindMethod("panelclick");
  ASSERT_NE(click, nullptr);
  EXPECT_TRUE(SetMethodProp(&panel, "OnClick", click->Bind(panel)));
  TMethodRef ref = GetMethodProp(&panel, "OnClick");
  EXPECT_EQ(ref.Data, &panel);
  EXPECT_EQ(ref.Name, "PanelClick");
  EXPECT_EQ(GetPropText(&panel, "OnClick"), "PanelClick");
  EXPECT_FALSE(SetMethodProp(&panel, "OnClick", std::any(42)));
  EXPECT_TRUE(SetMethodProp(&panel, "OnClick", std::any()));
  EXPECT_FALSE(static_cast<bool>(panel.OnClick()));
}

TEST(TypInfoTest, PropertyTextRoundTripsByKind) {
  TPanel panel(nullptr);
  struct Case {
    const char* prop;
    const char* in;
    const char* out;
  } cases[] = {
      {"Count", "42", "42"},
      {"Count", " -7 ", "-7"},
      {"Count", "$10", "16"},
      {"Color", "clred", "clRed"},
      {"Color", "255", "clRed"},
      {"Color", "$80000005", "-2147483643"},
      {"Color", "clWindow", "clWindow"},
      {"Color", "4660", "4660"},
      {"Big", "1099511627776", "1099511627776"},
      {"Mode", "PMOUTLINE", "pmOutline"},
      {"Mode", "1", "pmFill"},
      {"Visible", "false", "False"},
      {"Visible", "True", "True"},
      {"Modes", "[pmNone, pmFill]", "[pmNone,pmFill]"},
      {"Modes", "", "[]"},
      {"Ratio", "1.5", "1.5"},
      {"Caption", " spaced ", " spaced "},
      {"Hint", "提示", "提示"},
      {"Value", "abc", "abc"},
      {"Tag", "3", "3"},
      {"Name", "Panel1", "Panel1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + " <- '" + c.in + "'");
    EXPECT_TRUE(SetPropText(&panel, c.prop, c.in));
    EXPECT_EQ(GetPropText(&panel, c.prop), c.out);
  }
  EXPECT_EQ(GetPropText(&panel, "Font"), "");
  EXPECT_EQ(GetPropText(&panel, "Nope"), "");
}

TEST(TypInfoTest, SetPropTextRefusesWithoutChangingAnything) {
  TPanel panel(nullptr);
  struct Case {
    const char* prop;
    const char* in;
  } cases[] = {
      {"Nope", "1"},
      {"Fixed", "3"},
      {"Font", "x"},
      {"OnClick", "PanelClick"},
      {"Count", "abc"},
      {"Count", "1.5"},
      {"Count", "99999999999"},
      {"Count", ""},
      {"Mode", "pmDots"},
      {"Mode", "3"},
      {"Mode", "-1"},
      {"Modes", "[pmDots]"},
      {"Ratio", "1.5.2"},
      {"Visible", "maybe"},
      {"Color", "clBogus"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prop) + " <- '" + c.in + "'");
    std::string before = GetPropText(&panel, c.prop);
    EXPECT_FALSE(SetPropText(&panel, c.prop, c.in));
    EXPECT_EQ(GetPropText(&panel, c.prop), before);
  }
}

TEST(TypInfoTest, DottedPathsReachSubObjectProperties) {
  TPanel panel(nullptr);
  TObject* holder = nullptr;
  const TPropInfo* p = GetPropInfoByPath(&panel, "Font.Size", &holder);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Name, "Size");
  EXPECT_EQ(holder, panel.Font());
  EXPECT_TRUE(SetPropTextPath(&panel, "font.name", "Arial"));
  EXPECT_EQ(panel.Font()->Name(), "Arial");
  EXPECT_EQ(GetPropTextPath(&panel, "Font.Size"), "9");
  EXPECT_EQ(GetPropTextPath(&panel, "Caption"), "");
  for (const char* bad :
       {"Font.Nope", "Caption.Length", "Buddy.Caption", "Font.", ".Font", "", "Font..Size"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(GetPropInfoByPath(&panel, bad), nullptr);
    EXPECT_FALSE(SetPropTextPath(&panel, bad, "1"));
  }
}

}  // namespace
}  // namespace typinfo_test
