// The choice of a skinner for one child control or window: the Skin3rd map, the fixed exclusions
// and the class table for controls of the class library, the window-class table for bare
// windows. Nothing here creates or changes anything but a control's "Transparent" request, which
// the decision only carries.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/ControlClasses.h"
#include "skin/WinSkinChildren.h"

namespace skin_child_classify {
namespace {

// Skin3rd kinds are compared up to this many characters.
constexpr size_t kSkin3rdKindLimit = 50;
// Window classes are read up to this many characters.
constexpr size_t kWindowClassLimit = 100;

bool Has(const TSkinData& Data, TSkinControlType Member) {
  return Data.SkinControls().Contains(Member);
}

bool HasTabs(const TSkinData& Data) {
  return Has(Data, xcTab) && Data.Elements()->Tabs != nullptr;
}

// No SkinControls member names headers: the skin's header element decides.
bool HasHeaderbar(const TSkinData& Data) {
  return Data.Elements()->Headerbar != nullptr;
}

TSkinDecision Decide(TSkinnerKind Kind, std::string Rule, bool UseSkinColor = false,
                     TSkinAttachRoute Attach = TSkinAttachRoute::Control) {
  TSkinDecision d;
  d.Kind = Kind;
  d.Rule = std::move(Rule);
  d.UseSkinColor = UseSkinColor;
  d.Attach = Attach;
  return d;
}

// The window is wider or higher than its client area: it has a border.
bool HasBorder(TControl* Control) {
  auto* windowed = dynamic_cast<TWinControl*>(Control);
  if (!windowed || !windowed->HandleAllocated()) return false;
  RECT window{}, client{};
  if (!GetWindowRect(windowed->Handle(), &window) || !GetClientRect(windowed->Handle(), &client))
    return false;
  return window.Width() != client.Width() || window.Height() != client.Height();
}

bool HasScrollBars(TControl* Control) {
  auto* windowed = dynamic_cast<TWinControl*>(Control);
  if (!windowed) return false;
  if (windowed->HandleAllocated() &&
      (GetWindowLong(windowed->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0)
    return true;
  return Control->InheritsFrom(TListBox::StaticClass()) || Control->InheritsFrom(TMemo::StaticClass()) ||
         Control->InheritsFrom(TCustomListBox::StaticClass());
}

// --- the Skin3rd map ----------------------------------------------------------------------------------

TSkinDecision ChooseBySkin3rd(const TSkinData& Data, TControl* Control, const std::string& UpperClassName,
                              const std::string& Kind) {
  TSkinDecision d = Decide(TSkinnerKind::None, "skin3rd:" + Kind);
  auto give = [&](TSkinControlType Needs, TSkinnerKind Skinner, bool Colour = false) {
    if (!Has(Data, Needs)) return false;
    d.Kind = Skinner;
    d.UseSkinColor = Colour;
    return true;
  };
  if (Kind == "combobox") {
    give(xcCombo, TSkinnerKind::ComBox);
  } else if (Kind == "edit") {
    if (HasBorder(Control)) give(xcEdit, TSkinnerKind::Edit);
  } else if (Kind == "radiobutton") {
    give(xcRadioButton, TSkinnerKind::RadioButton);
  } else if (Kind == "panel") {
    d.SetTransparent = give(xcPanel, TSkinnerKind::Box, true);
  } else if (Kind == "trackbar") {
    // The map's track bars follow the button switch, not xcTrackBar.
    d.SetTransparent = give(xcButton, TSkinnerKind::TrackBar);
  } else if (Kind == "button") {
    give(xcButton, TSkinnerKind::Button);
  } else if (Kind == "mediaplayer") {
    give(xcButton, TSkinnerKind::MediaPlayer);
  } else if (Kind == "bitbtn") {
    const bool dropDown = LowerCase(UpperClassName) == "tcxbutton" &&
                          LowerCase(GetPropText(Control, "Kind")) == "cxbkdropdownbutton";
    give(xcButton, dropDown ? TSkinnerKind::MenuButton : TSkinnerKind::BitButton);
  } else if (Kind == "pngbitbtn") {
    if (give(xcButton, TSkinnerKind::BitButton)) d.PictureProperty = "PngImage";
  } else if (Kind == "menubtn") {
    give(xcButton, TSkinnerKind::MenuButton);
  } else if (Kind == "speedbutton") {
    if (give(xcSpeedButton, TSkinnerKind::SpeedButton)) d.Attach = TSkinAttachRoute::Graphic;
  } else if (Kind == "tab") {
    if (HasTabs(Data)) d.Kind = TSkinnerKind::Tab;
  } else if (Kind == "progress") {
    give(xcProgress, TSkinnerKind::Progress);
  } else if (Kind == "scrollbar") {
    if (give(xcScrollbar, TSkinnerKind::Scrollbar)) {
      d.Attach = TSkinAttachRoute::ScrollBar;
      d.Children = TSkinChildRule::Classify;
    }
  } else if (Kind == "embedscrollbar") {
    if (Has(Data, xcScrollbar)) d.Children = TSkinChildRule::EmbedScrollBars;
  } else if (Kind == "container") {
    d.Children = TSkinChildRule::Classify;
  } else if (Kind == "groupbox") {
    give(xcGroupBox, TSkinnerKind::GroupBox, true);
  } else if (Kind == "advpagecontrol") {
    if (give(xcTab, TSkinnerKind::AdvPage, true)) d.SubKind = 4;
  } else if (Kind == "radiogroup") {
    if (give(xcGroupBox, TSkinnerKind::GroupBox, true) && Has(Data, xcRadioButton)) {
      d.Children = TSkinChildRule::RadioGroupItems;
      d.ChildrenFirst = true;
    }
  } else if (Kind == "checkgroup") {
    if (Has(Data, xcPanel)) {
      // The items follow the radio-button switch, the group's own box the group-box switch.
      if (Has(Data, xcRadioButton)) d.Children = TSkinChildRule::CheckGroupItems;
      d.ChildrenFirst = true;
      d.ChildGroupBox = give(xcGroupBox, TSkinnerKind::GroupBox, true);
    }
  } else if (Kind == "checkbox") {
    give(xcCheckBox, TSkinnerKind::CheckBox);
  }
  return d;
}

// --- the class table ----------------------------------------------------------------------------------

// One row: the class names (upper case) or the class it matches, what it needs, what it gives.
struct TClassRow {
  const char* Label;
  std::array<const char*, 3> Names;  // unused entries are nullptr
  TClass (*Class)();                 // "is": the class or a descendant
  bool (*Matches)(TControl*);        // a row matched by a test of its own
  std::optional<TSkinControlType> Needs;
  bool (*NeedsElement)(const TSkinData&);  // a need beyond the member, or nullptr
  TSkinnerKind Kind;
  TSkinAttachRoute Attach;
  bool UseSkinColor;
  int SubKind;
  TSkinChildRule Children;
  bool SetTransparent;  // property "Transparent" := "True" first
  // The row ends the table even when its need is absent.
  bool EndsWithoutNeed;
};

template <class C>
TClass ClassOf() {
  return C::StaticClass();
}

using enum TSkinnerKind;
constexpr auto kControl = TSkinAttachRoute::Control;
constexpr auto kScroll = TSkinAttachRoute::ScrollBar;
constexpr auto kGraphic = TSkinAttachRoute::Graphic;
constexpr auto kNoChildren = TSkinChildRule::None;
constexpr auto kClassify = TSkinChildRule::Classify;

// In order; the first row that matches with its need present decides.
// clang-format off
const TClassRow kClassTable[] = {
  // Label               Names                                           Class                         Matches          Needs           Element         Kind          Attach     Colour  Sub  Children      Transp  Ends
  {"TTABSET",            {"TTABSET"},                                    nullptr,                      nullptr,         xcTab,          &HasTabs,       Tab31,        kControl,  false,  0,   kNoChildren,  false,  false},
  {"TTABBEDNOTEBOOK",    {"TTABBEDNOTEBOOK"},                            nullptr,                      nullptr,         xcTab,          &HasTabs,       Tab,          kControl,  false,  0,   kNoChildren,  false,  false},
  {"TMVCPANEL",          {"TMVCPANEL"},                                  nullptr,                      nullptr,         std::nullopt,   nullptr,        None,         kControl,  false,  0,   kClassify,    false,  false},
  {"TCustomCheckBox",    {},                                             &ClassOf<TCustomCheckBox>,    nullptr,         xcCheckBox,     nullptr,        CheckBox,     kControl,  false,  0,   kNoChildren,  false,  false},
  {"TUPDOWN",            {"TUPDOWN", "TSPINBUTTON"},                     nullptr,                      nullptr,         xcSpin,         nullptr,        UpDown,       kControl,  false,  0,   kNoChildren,  false,  false},
  {"TMEDIAPLAYER",       {"TMEDIAPLAYER"},                               nullptr,                      nullptr,         xcButton,       nullptr,        MediaPlayer,  kControl,  false,  0,   kNoChildren,  false,  false},
  {"TDBNAVIGATOR",       {"TDBNAVIGATOR"},                               nullptr,                      nullptr,         xcPanel,        nullptr,        Box,          kControl,  true,   0,   kClassify,    false,  false},
  {"TRZCHECKBOX",        {"TRZDBCHECKBOX", "TRZCHECKBOX"},               nullptr,                      nullptr,         xcCheckBox,     nullptr,        ObjImage,     kControl,  true,   1,   kNoChildren,  false,  false},
  {"TRZRADIOBUTTON",     {"TRZRADIOBUTTON", "TRZDBRADIOBUTTON"},         nullptr,                      nullptr,         xcRadioButton,  nullptr,        ObjImage,     kControl,  true,   2,   kNoChildren,  false,  false},
  {"TCXCHECKBOX",        {"TCXDBCHECKBOX", "TCXCHECKBOX"},               nullptr,                      nullptr,         xcCheckBox,     nullptr,        ObjImage,     kControl,  true,   3,   kNoChildren,  false,  false},
  {"TCustomGroupBox",    {},                                             &ClassOf<TCustomGroupBox>,    nullptr,         xcPanel,        nullptr,        GroupBox,     kControl,  true,   0,   kClassify,    false,  false},
  {"TRadioButton",       {},                                             &ClassOf<TRadioButton>,       nullptr,         xcRadioButton,  nullptr,        RadioButton,  kControl,  false,  0,   kNoChildren,  false,  false},
  {"TScrollBar",         {},                                             &ClassOf<TScrollBar>,         nullptr,         xcScrollbar,    nullptr,        ScControl,    kScroll,   false,  0,   kNoChildren,  false,  false},
  {"TTNTCOMBOBOX",       {"TTNTCOMBOBOX"},                               nullptr,                      nullptr,         xcCombo,        nullptr,        ComBox,       kControl,  false,  0,   kNoChildren,  false,  false},
  {"TCustomComboBox",    {},                                             &ClassOf<TCustomComboBox>,    nullptr,         xcCombo,        nullptr,        ComBox,       kControl,  false,  0,   kNoChildren,  false,  false},
  // The kind is refined by the picker's Kind and DateMode.
  {"TDateTimePicker",    {},                                             &ClassOf<TDateTimePicker>,    nullptr,         xcEdit,         nullptr,        ComBox,       kControl,  false,  0,   kNoChildren,  false,  false},
  {"TRICHEDIT",          {"TRICHEDIT"},                                  nullptr,                      nullptr,         xcScrollbar,    nullptr,        Scrollbar,    kScroll,   false,  0,   kNoChildren,  false,  false},
  {"TWWDBRICHEDIT",      {"TWWDBRICHEDIT", "TDXDBMEMO"},                 nullptr,                      nullptr,         xcScrollbar,    nullptr,        Scrollbar,    kScroll,   false,  0,   kNoChildren,  false,  false},
  {"TBitBtn",            {},                                             &ClassOf<TBitBtn>,            nullptr,         xcBitBtn,       nullptr,        BitButton,    kControl,  false,  0,   kNoChildren,  false,  true},
  {"TSpeedButton",       {},                                             &ClassOf<TSpeedButton>,       nullptr,         xcSpeedButton,  nullptr,        SpeedButton,  kGraphic,  false,  0,   kNoChildren,  false,  false},
  {"TCustomPanel",       {},                                             &ClassOf<TCustomPanel>,       nullptr,         xcPanel,        nullptr,        Box,          kControl,  true,   0,   kClassify,    false,  false},
  {"TDXTREELIST",        {"TDXTREELIST", "TDXDBTREELIST", "TDXDBGRID"},  nullptr,                      nullptr,         xcScrollbar,    nullptr,        Scrollbar,    kScroll,   false,  0,   kNoChildren,  false,  false},
  {"TCustomMemo",        {},                                             &ClassOf<TCustomMemo>,        nullptr,         xcScrollbar,    nullptr,        Scrollbar,    kScroll,   false,  0,   kNoChildren,  false,  false},
  // The class library's status bar, ahead of the scroll-bar test its style may pass.
  {"TStatusBar",         {},                                             &ClassOf<TStatusBar>,         nullptr,         xcStatusBar,    nullptr,        StatusBar,    kControl,  false,  0,   kNoChildren,  false,  false},
  // The class library's common controls, ahead of the scroll-bar test a list view (and any of
  // them given a scroll style) passes. A page control's sheets are classified from it: only the
  // shown sheet has a window for the tab-order walk.
  {"TCustomTabControl",  {},                                             &ClassOf<TCustomTabControl>,  nullptr,         xcTab,          &HasTabs,       Tab,          kControl,  false,  0,   kClassify,    false,  false},
  {"TTabSheet",          {},                                             &ClassOf<TTabSheet>,          nullptr,         xcTab,          &HasTabs,       TabSheet,     kControl,  true,   0,   kClassify,    false,  false},
  {"TCustomListView",    {},                                             &ClassOf<TCustomListView>,    nullptr,         xcScrollbar,    nullptr,        ListView,     kScroll,   false,  0,   kNoChildren,  false,  false},
  {"THeaderControl",     {},                                             &ClassOf<THeaderControl>,     nullptr,         std::nullopt,   &HasHeaderbar,  Header,       kControl,  false,  0,   kNoChildren,  false,  false},
  {"TProgressBar",       {},                                             &ClassOf<TProgressBar>,       nullptr,         xcProgress,     nullptr,        Progress,     kControl,  false,  0,   kNoChildren,  false,  false},
  {"TTrackBar",          {},                                             &ClassOf<TTrackBar>,          nullptr,         xcTrackBar,     nullptr,        TrackBar,     kControl,  false,  0,   kNoChildren,  true,   false},
  {"has scroll bars",    {},                                             nullptr,                      &HasScrollBars,  xcScrollbar,    nullptr,        Scrollbar,    kScroll,   false,  0,   kNoChildren,  false,  false},
  {"TButton",            {},                                             &ClassOf<TButton>,            nullptr,         xcButton,       nullptr,        Button,       kControl,  false,  0,   kNoChildren,  false,  false},
  {"TCustomEdit",        {},                                             &ClassOf<TCustomEdit>,        nullptr,         xcEdit,         nullptr,        Edit,         kControl,  false,  0,   kNoChildren,  false,  false},
};
// clang-format on

bool RowMatches(const TClassRow& Row, TControl* Control, const std::string& UpperClassName) {
  if (Row.Class) return Control->InheritsFrom(Row.Class());
  if (Row.Matches) return Row.Matches(Control);
  return std::any_of(Row.Names.begin(), Row.Names.end(),
                     [&](const char* Name) { return Name && UpperClassName == Name; });
}

bool RowNeedMet(const TSkinData& Data, const TClassRow& Row) {
  if (Row.Needs && !Has(Data, *Row.Needs)) return false;
  return !Row.NeedsElement || Row.NeedsElement(Data);
}

// TDCEDIT and TDCDBEDIT by their button count; TSkinEdit goes on the control's window as on a
// bare window.
TSkinDecision ChooseDCEdit(const TSkinData& Data, TControl* Control) {
  const int64_t buttons = GetIntProp(Control, "NumButtons");
  if (buttons == 1 && Has(Data, xcCombo)) return Decide(ComBox, "table:TDCEDIT");
  if (buttons == 0 && Has(Data, xcEdit))
    return Decide(Edit, "table:TDCEDIT", false, TSkinAttachRoute::Window);
  return Decide(None, "table:TDCEDIT");
}

TSkinDecision ChooseByClassTable(const TSkinData& Data, TControl* Control,
                                 const std::string& UpperClassName) {
  for (const TClassRow& row : kClassTable) {
    if (!RowMatches(row, Control, UpperClassName)) continue;
    const std::string rule = std::string("table:") + row.Label;
    if (!RowNeedMet(Data, row)) {
      if (row.EndsWithoutNeed) return Decide(None, rule);
      continue;
    }
    TSkinDecision d = Decide(row.Kind, rule, row.UseSkinColor, row.Attach);
    d.SubKind = row.SubKind;
    d.Children = row.Children;
    d.SetTransparent = row.SetTransparent;
    if (row.Class == &ClassOf<TDateTimePicker>) {
      const bool upDown = LowerCase(GetPropText(Control, "Kind")) == "dtktime" ||
                          LowerCase(GetPropText(Control, "DateMode")) == "dmupdown";
      d.Kind = upDown ? Edit : ComBox;
    }
    return d;
  }
  if (UpperClassName == "TDCEDIT" || UpperClassName == "TDCDBEDIT") return ChooseDCEdit(Data, Control);
  // A form placed inside another is coloured like a panel.
  if (Control->InheritsFrom(TCustomForm::StaticClass())) {
    TSkinDecision d = Decide(Box, "table:TCustomForm", true);
    d.Children = kClassify;
    return d;
  }
  return Decide(None, "none");
}

// --- window classes -----------------------------------------------------------------------------------

TSkinDecision ChooseButtonWindow(LONG_PTR Style) {
  const std::string rule = "window:button";
  if (Style & BS_BITMAP) return Decide(None, rule);
  // By button type, the style's low 4 bits.
  static constexpr TSkinnerKind kByType[16] = {
      Button, Button,      CheckBox, CheckBox, RadioButton, CheckBox, CheckBox, None,
      Button, RadioButton, CheckBox, None,     RadioButton, CheckBox, CheckBox, None};
  const TSkinnerKind kind = kByType[Style & BS_TYPEMASK];
  return Decide(kind, rule, false, kind == None ? TSkinAttachRoute::Control : TSkinAttachRoute::Window);
}

}  // namespace
}  // namespace skin_child_classify

const char* SkinnerKindName(TSkinnerKind Kind) {
  static constexpr std::array<const char*, 28> kNames = {
      "none",           "TSkinButton",      "TSkinBitButton", "TSkinMenuButton", "TSkinSpeedButton",
      "TSkinCheckBox",  "TSkinRadioButton", "TSkinGroupBox",  "TSkinStatusBar",  "TSkinBox",
      "TSkinMP",        "TSkinComBox",      "TSkinEdit",      "TSkinTab",        "TSkinTab31",
      "TSkinTabSheet",  "TSkinHeader",      "TSkinTrackBar",  "TSkinUpDown",     "TSkinProgress",
      "TSkinScrollbar", "TSkinScControl",   "TSkinListView",  "TSkinScrollbarH", "TSkinSizer",
      "TSkinBoxH",      "TSkinObjImage",    "TSkinAdvPage"};
  const auto index = static_cast<size_t>(Kind);
  return index < kNames.size() ? kNames[index] : "none";
}

bool FindSkin3rdKind(const TSkinData& Data, const std::string& ClassName, std::string& Kind) {
  TStrings* map = Data.Skin3rd();
  if (!map || ClassName.empty()) return false;
  const std::string key = LowerCase(ClassName) + "=";
  for (int i = 0; i < map->Count(); ++i) {
    const std::string line = LowerCase(map->Strings(i));
    if (line.compare(0, key.size(), key) != 0) continue;
    Kind = line.substr(key.size(), skin_child_classify::kSkin3rdKindLimit);
    return true;
  }
  return false;
}

TSkinDecision ChooseForControl(const TSkinData& Data, TControl* Control, const std::string& UpperClassName) {
  using namespace skin_child_classify;
  if (!Control) return Decide(TSkinnerKind::None, "none");
  std::string kind;
  if (FindSkin3rdKind(Data, UpperClassName, kind))
    return ChooseBySkin3rd(Data, Control, UpperClassName, kind);
  if (UpperClassName == "TDBCOMBOBOXEH" || UpperClassName == "TFRDESIGNERPAGE" || UpperClassName == "TFRPBOX")
    return Decide(TSkinnerKind::None, "excluded");
  return ChooseByClassTable(Data, Control, UpperClassName);
}

TSkinDecision ChooseGroupItem(const TSkinData& Data, TControl* Item, TSkinChildRule Rule) {
  using namespace skin_child_classify;
  if (!Item) return Decide(TSkinnerKind::None, "none");
  const bool rz = UpperCase(Item->ClassName()).find("TRZ") != std::string::npos;
  auto image = [](int SubKind, const char* Rule) {
    TSkinDecision d = Decide(TSkinnerKind::ObjImage, Rule, true);
    d.SubKind = SubKind;
    return d;
  };
  switch (Rule) {
    case TSkinChildRule::RadioGroupItems:
      return rz ? image(2, "item:radiogroup") : Decide(TSkinnerKind::RadioButton, "item:radiogroup");
    case TSkinChildRule::CheckGroupItems:
      return rz ? image(1, "item:checkgroup") : Decide(TSkinnerKind::CheckBox, "item:checkgroup");
    case TSkinChildRule::EmbedScrollBars:
      if (Item->InheritsFrom(TScrollBar::StaticClass()))
        return Decide(TSkinnerKind::ScControl, "item:embedscrollbar", false, TSkinAttachRoute::ScrollBar);
      if (HasScrollBars(Item))
        return Decide(TSkinnerKind::Scrollbar, "item:embedscrollbar", false, TSkinAttachRoute::ScrollBar);
      return Decide(TSkinnerKind::None, "item:embedscrollbar");
    default:
      return Decide(TSkinnerKind::None, "none");
  }
}

TSkinDecision ChooseForWindow(const TSkinData& Data, HWND Window) {
  using namespace skin_child_classify;
  const std::string name = LowerCase(GetClassName(Window).substr(0, kWindowClassLimit));
  const LONG_PTR style = GetWindowLong(Window, GWL_STYLE);
  const std::string rule = "window:" + name;
  constexpr auto kWindow = TSkinAttachRoute::Window;
  if (name == "button") return ChooseButtonWindow(style);
  if (name == "combobox")
    return Decide((style & 3) == CBS_SIMPLE ? TSkinnerKind::None : TSkinnerKind::ComBox, rule, false,
                  kWindow);
  if (name == "comboboxex32") {
    TSkinDecision d = Decide(TSkinnerKind::ComBox, rule, false, kWindow);
    d.TargetFirstChild = true;
    return d;
  }
  if (name == "scrollbar")
    return Decide(style & WS_TABSTOP ? TSkinnerKind::None : TSkinnerKind::Sizer, rule, false, kWindow);
  if (name == "#32770") {
    if (style & WS_TABSTOP) return Decide(TSkinnerKind::None, rule);
    TSkinDecision d = Decide(TSkinnerKind::BoxH, rule, false, kWindow);
    d.Children = TSkinChildRule::Classify;
    d.ChildrenFirst = true;
    return d;
  }
  if (name == "tpanel" || name == "tsilentpaintpanel") {
    TSkinDecision d = Decide(TSkinnerKind::None, rule);
    d.ColorFoundControl = true;
    if (name == "tpanel") {
      d.Children = TSkinChildRule::Classify;
      d.ChildrenFirst = true;
    }
    return d;
  }
  if (name == "tcheckbox") return Decide(TSkinnerKind::CheckBox, rule, false, kWindow);
  if (name == "tcombobox") return Decide(TSkinnerKind::ComBox, rule, false, kWindow);
  if (name == "tbutton") return Decide(TSkinnerKind::Button, rule, false, kWindow);
  if (name == "tprogressbar") return Decide(TSkinnerKind::Progress, rule, false, kWindow);
  if (name == "systabcontrol32")
    return Decide(style & TCS_OWNERDRAWFIXED ? TSkinnerKind::None : TSkinnerKind::Tab, rule, false, kWindow);
  if (name == "edit") return Decide(TSkinnerKind::Edit, rule, false, kWindow);
  // "systreeview32", "toolbarwindow32" and every other class keep their own look.
  return Decide(TSkinnerKind::None, name == "systreeview32" || name == "toolbarwindow32" ? rule : "none");
}
