// Choosing skinners for a skinned form's children (Skin3rd map, class and window-class tables), then
// real skinned forms and a dialog box whose controls get skinners on SKMSG_ACTIVATE and lose them.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/ControlClasses.h"
#include "platform/win/MessageBox.h"
#include "skin/SkinButtons.h"
#include "skin/SkinRangeControls.h"
#include "skin/SkinTabs.h"
#include "skin/WinSkinChildren.h"

using namespace std::string_literals;

namespace {

// A control of a class the class library lacks: a run-time class of that name below Base, with
// one published property when given ("Name=Value"; a number makes it an integer).
template <class Base>
class TNamed : public Base {
 public:
  TNamed(TComponent* Owner, const std::string& Name, const std::string& Prop) : Base(Owner) {
    info_.Name = Name;
    info_.Parent = Base::StaticClass();
    if (const size_t eq = Prop.find('='); eq != std::string::npos) {
      TPropInfo& p = info_.Props.emplace_back();
      p.Name = Prop.substr(0, eq);
      const std::string value = Prop.substr(eq + 1);
      p.Kind = isdigit(value[0]) ? TTypeKind::tkInteger : TTypeKind::tkLString;
      p.GetOrd = [value](const TObject&) { return std::stoll(value); };
      p.GetStr = [value](const TObject&) { return value; };
    }
  }
  TClass ClassType() const override { return &info_; }

 private:
  TClassInfo info_;
};

std::string Describe(const TSkinDecision& d) {
  static const char* const kRoutes[] = {"", " window", " graphic", " scroll"};
  static const char* const kChildren[] = {"", " classify", " radioitems", " checkitems", " embed"};
  std::string s = std::string(SkinnerKindName(d.Kind)) + " " + d.Rule + (d.UseSkinColor ? " colour" : "");
  if (d.SubKind) s += " sub" + std::to_string(d.SubKind);
  s += std::string(kRoutes[int(d.Attach)]) + kChildren[int(d.Children)] + (d.ChildrenFirst ? " first" : "");
  s += std::string(d.SetTransparent ? " transparent" : "") + (d.TargetFirstChild ? " firstchild" : "");
  return s + (d.ColorFoundControl ? " found" : "") +
         (d.PictureProperty.empty() ? "" : " " + d.PictureProperty);
}

TSkinControlTypes AllControls() {
  TSkinControlTypes all;
  for (int i = 0; i <= int(xcFastReport); ++i) all.Include(TSkinControlType(i));
  return all;
}

// A skinner that counts the mouse-leave notices it gets.
class TLeaveCounter : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& M) override {
    Leaves += M.Msg == CM_MOUSELEAVE;
    return TSkinControl::BeforeMessage(M);
  }
  int Leaves = 0;
};

// A radio group that notes, as it is freed, whether its message path is its own again: its own
// destructor still sends messages to it after the form's window, and the skinners, are gone.
bool gOwnPathAtFree = false;
class TNotingRadioGroup : public TRadioGroup {
 public:
  using TRadioGroup::TRadioGroup;
  ~TNotingRadioGroup() override { gOwnPathAtFree = WindowProc() == Own; }
  TWndMethod Own;
};

class WinSkinChildrenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    savedFactory = SetSkinChildrenFactory(nullptr);
    InitWinSkinDataUnit();
    PushMessageBoxAnswer(IDOK);  // registers the dialog-box class "#32770"
    MessageBox(nullptr, "", "", MB_OK);
    DestroySkinManage();
    manage = EnsureSkinManage();
    manage->Active = true;
    manage->StartState = kSkinStartRunning;
    data->SkinStream()->LoadFromFile(OUR_SKINS_DIR "/light.skn");
    ASSERT_TRUE(data->LoadSkin()) << data->LoadError();
    data->SetSkinControls(AllControls());
    manage->AddSkinData(data.get());
    host = new TForm(Application, 0);
  }
  void TearDown() override {
    for (HWND w : made)
      if (IsWindow(w)) DestroyWindow(w);
    delete host;  // while its skin data lives
    DestroySkinManage();
    data.reset();
    SetSkinChildrenFactory(savedFactory);
    RegisterSkinnerMaker(TSkinnerKind::Scrollbar, nullptr);
    RegisterSkinnerMaker(TSkinnerKind::Edit, nullptr);
    ResetVcl();
  }
  // A control of the class library by name, else one of a made-up class of that name.
  TControl* Make(const std::string& Class, const std::string& Prop = "", TWinControl* Parent = nullptr) {
    const TClass real = GetClass(Class);
    TControl* c = real && real->Create ? dynamic_cast<TControl*>(real->Create(host))
                                       : new TNamed<TWinControl>(host, Class, Prop);
    if (const size_t eq = Prop.find('='); eq != std::string::npos && real) {
      EXPECT_TRUE(SetPropText(c, Prop.substr(0, eq), Prop.substr(eq + 1)));
    }
    c->SetParent(Parent ? Parent : host);
    return c;
  }
  // The form of a window skinned by the manager, SKMSG_ACTIVATE handled.
  TSkinChildList* Skin(HWND W) {
    EXPECT_TRUE(manage->SkinWindow(W));
    Application->ProcessMessages();
    auto* form = dynamic_cast<TWinSkinForm*>(manage->FindForm(W));
    return form ? dynamic_cast<TSkinChildList*>(form->ChildSkinners()) : nullptr;
  }
  static std::string SkinnerClass(const TSkinControl* S) { return S ? S->ClassName() : "none"; }

  TSkinChildrenFactory savedFactory;
  TSkinManage* manage = nullptr;
  std::unique_ptr<TSkinData> data = std::make_unique<TSkinData>(nullptr);
  TForm* host = nullptr;
  std::vector<HWND> made;
  std::vector<std::string> requests;
};

// A row: "<class>[:<property>=<value>] [<Skin3rd line>] [-<SkinControls member>|-skin] > <decision>";
// "-skin" decides with skin data that holds no skin (no Tabs element); "=x" is "TThird tthird=x".
TEST_F(WinSkinChildrenTest, ControlsAreDecidedBySkin3rdThenExclusionsThenTheClassTable) {
  const char* const rows[] = {
      "TTabSet > TSkinTab31 table:TTABSET", "TTabSet -skin > none none",
      "TTabbedNotebook > TSkinTab table:TTABBEDNOTEBOOK", "TMVCPanel > none table:TMVCPANEL classify",
      "TCheckBox > TSkinCheckBox table:TCustomCheckBox", "TUpDown > TSkinUpDown table:TUPDOWN",
      "TSpinButton > TSkinUpDown table:TUPDOWN", "TMediaPlayer > TSkinMP table:TMEDIAPLAYER",
      "TDBNavigator > TSkinBox table:TDBNAVIGATOR colour classify",
      "TRzDBCheckBox > TSkinObjImage table:TRZCHECKBOX colour sub1",
      "TRzRadioButton > TSkinObjImage table:TRZRADIOBUTTON colour sub2",
      "TcxDBCheckBox > TSkinObjImage table:TCXCHECKBOX colour sub3",
      "TGroupBox > TSkinGroupBox table:TCustomGroupBox colour classify",
      "TRadioGroup > TSkinGroupBox table:TCustomGroupBox colour classify",
      "TRadioButton > TSkinRadioButton table:TRadioButton",
      "TScrollBar > TSkinScControl table:TScrollBar scroll", "TTntComboBox > TSkinComBox table:TTNTCOMBOBOX",
      "TComboBox > TSkinComBox table:TCustomComboBox", "TDateTimePicker > TSkinComBox table:TDateTimePicker",
      "TDateTimePicker:Kind=dtkTime > TSkinEdit table:TDateTimePicker",
      "TDateTimePicker:DateMode=dmUpDown > TSkinEdit table:TDateTimePicker",
      "TRichEdit > TSkinScrollbar table:TRICHEDIT scroll",
      "TdxDBMemo > TSkinScrollbar table:TWWDBRICHEDIT scroll", "TBitBtn > TSkinBitButton table:TBitBtn",
      "TBitBtn -xcBitBtn > none table:TBitBtn", "TSpeedButton > TSkinSpeedButton table:TSpeedButton graphic",
      "TPanel > TSkinBox table:TCustomPanel colour classify",
      "TdxDBGrid > TSkinScrollbar table:TDXTREELIST scroll",
      "TMemo > TSkinScrollbar table:TCustomMemo scroll", "TStatusBar > TSkinStatusBar table:TStatusBar",
      "TStatusBar -xcStatusBar > none none", "TTabControl > TSkinTab table:TCustomTabControl classify",
      "TPageControl > TSkinTab table:TCustomTabControl classify", "TPageControl -xcTab > none none",
      "TPageControl -skin > none none", "TTabSheet > TSkinTabSheet table:TTabSheet colour classify",
      "TTabSheet -xcTab > none none", "TListView > TSkinListView table:TCustomListView scroll",
      "TListView -xcScrollbar > none none", "THeaderControl > TSkinHeader table:THeaderControl",
      "THeaderControl -skin > none none", "TProgressBar > TSkinProgress table:TProgressBar",
      "TProgressBar -xcProgress > none none", "TTrackBar > TSkinTrackBar table:TTrackBar transparent",
      "TTrackBar -xcTrackBar > none none", "TListBox > TSkinScrollbar table:has scroll bars scroll",
      "TButton > TSkinButton table:TButton", "TEdit > TSkinEdit table:TCustomEdit",
      "TForm > TSkinBox table:TCustomForm colour classify",
      "TDCEdit:NumButtons=1 > TSkinComBox table:TDCEDIT",
      "TDCDBEdit:NumButtons=0 > TSkinEdit table:TDCEDIT window", "TDCEdit:NumButtons=2 > none table:TDCEDIT",
      "TDBComboBoxEh > none excluded", "TfrDesignerPage > none excluded", "TfrPBox > none excluded",
      "TButton tbutton=nil > none skin3rd:nil", "TThird TThird=ComboBox > TSkinComBox skin3rd:combobox",
      "=edit > none skin3rd:edit",  // no border
      "TEdit tedit=edit > TSkinEdit skin3rd:edit", "=radiobutton > TSkinRadioButton skin3rd:radiobutton",
      "=panel > TSkinBox skin3rd:panel colour transparent",
      "=trackbar -xcTrackBar > TSkinTrackBar skin3rd:trackbar transparent",
      "=trackbar -xcButton > none skin3rd:trackbar", "=button > TSkinButton skin3rd:button",
      "=mediaplayer > TSkinMP skin3rd:mediaplayer", "=bitbtn > TSkinBitButton skin3rd:bitbtn",
      "TcxButton:Kind=cxbkDropDownButton tcxbutton=bitbtn > TSkinMenuButton skin3rd:bitbtn",
      "=pngbitbtn > TSkinBitButton skin3rd:pngbitbtn PngImage", "=menubtn > TSkinMenuButton skin3rd:menubtn",
      "=speedbutton > TSkinSpeedButton skin3rd:speedbutton graphic", "=tab > TSkinTab skin3rd:tab",
      "=progress > TSkinProgress skin3rd:progress",
      "=scrollbar > TSkinScrollbar skin3rd:scrollbar scroll classify",
      "=embedscrollbar > none skin3rd:embedscrollbar embed", "=container > none skin3rd:container classify",
      "=groupbox > TSkinGroupBox skin3rd:groupbox colour",
      "=advpagecontrol > TSkinAdvPage skin3rd:advpagecontrol colour sub4",
      "=radiogroup > TSkinGroupBox skin3rd:radiogroup colour radioitems first",
      "=radiogroup -xcRadioButton > TSkinGroupBox skin3rd:radiogroup colour",
      "=checkgroup > TSkinGroupBox skin3rd:checkgroup colour checkitems first",
      "=checkgroup -xcGroupBox > none skin3rd:checkgroup checkitems first",
      "=checkbox > TSkinCheckBox skin3rd:checkbox", "=other > none skin3rd:other",
      // The whole class name and "=" must begin the line.
      "TThird tthirdparty=button > none none", "Third tthird=button > none none"};
  TSkinData bare(nullptr);
  for (const char* text : rows) {
    const std::string row = text[0] == '=' ? "TThird tthird"s + text : text;
    SCOPED_TRACE(row);
    std::istringstream left(row.substr(0, row.find(" > ")));
    std::string cls, word, map, without;
    left >> cls;
    while (left >> word) (word[0] == '-' ? without : map) = word;
    const size_t colon = cls.find(':');
    TSkinData& d = without == "-skin" ? bare : *data;
    d.Skin3rd()->Clear();
    if (!map.empty()) d.Skin3rd()->Add(map);
    const int member =
        without.empty() ? -1 : GetEnumValue(TEnumTraits<TSkinControlType>::Info(), without.substr(1));
    d.SetSkinControls(member < 0 ? AllControls() : AllControls() - TSkinControlType(member));
    TControl* control = Make(cls.substr(0, colon), colon == std::string::npos ? "" : cls.substr(colon + 1));
    if (auto* w = dynamic_cast<TWinControl*>(control)) w->HandleNeeded();
    EXPECT_EQ(Describe(ChooseForControl(d, control, UpperCase(control->ClassName()))),
              row.substr(row.find(" > ") + 3));
  }
}

TEST_F(WinSkinChildrenTest, GroupItemsAndBareWindowsAreDecidedByTheirOwnTables) {
  const std::pair<TSkinChildRule, const char*> items[] = {
      {TSkinChildRule::RadioGroupItems, "TRadioButton|TSkinRadioButton item:radiogroup"},
      {TSkinChildRule::RadioGroupItems, "TRzRadioButton|TSkinObjImage item:radiogroup colour sub2"},
      {TSkinChildRule::CheckGroupItems, "TCheckBox|TSkinCheckBox item:checkgroup"},
      {TSkinChildRule::CheckGroupItems, "TRzCheckBox|TSkinObjImage item:checkgroup colour sub1"},
      {TSkinChildRule::EmbedScrollBars, "TScrollBar|TSkinScControl item:embedscrollbar scroll"},
      {TSkinChildRule::EmbedScrollBars, "TListBox|TSkinScrollbar item:embedscrollbar scroll"},
      {TSkinChildRule::EmbedScrollBars, "TButton|none item:embedscrollbar"}};
  for (const auto& [rule, text] : items) {
    SCOPED_TRACE(text);
    const std::string row = text;
    TControl* item = Make(row.substr(0, row.find('|')));
    EXPECT_EQ(Describe(ChooseGroupItem(*data, item, rule)), row.substr(row.find('|') + 1));
  }
  // Bare windows, a row: "<window class> <style> > <decision>"; then button types 0 .. 15
  // (B push button, C check box, R radio button, N none).
  std::vector<std::string> rows = {
      "Button 0x80 > none window:button", "ComboBox 0x1 > none window:combobox window",
      "ComboBox 0x3 > TSkinComBox window:combobox window",
      "ComboBoxEx32 0 > TSkinComBox window:comboboxex32 window firstchild",
      "ScrollBar 0x10 > TSkinSizer window:scrollbar window",
      "ScrollBar 0x10000 > none window:scrollbar window", "SysTreeView32 0 > none window:systreeview32",
      "#32770 0 > TSkinBoxH window:#32770 window classify first", "#32770 0x10000 > none window:#32770",
      "TPanel 0 > none window:tpanel classify first found",
      "TCheckBox 0 > TSkinCheckBox window:tcheckbox window",
      "TComboBox 0 > TSkinComBox window:tcombobox window", "TButton 0 > TSkinButton window:tbutton window",
      "TProgressBar 0 > TSkinProgress window:tprogressbar window",
      "TSilentPaintPanel 0 > none window:tsilentpaintpanel found",
      "SysTabControl32 0 > TSkinTab window:systabcontrol32 window",
      "SysTabControl32 0x2000 > none window:systabcontrol32 window",
      "ToolbarWindow32 0 > none window:toolbarwindow32", "Edit 0 > TSkinEdit window:edit window",
      // A class of no table.
      "SomethingElse 0 > none none"};
  const char* const kinds[] = {"TSkinButton window:button window", "TSkinCheckBox window:button window",
                               "TSkinRadioButton window:button window", "none window:button"};
  for (int type = 0; type < 16; ++type)
    rows.push_back("Button " + std::to_string(type) + " > " + kinds["BCRN"s.find("BBCCRCCNBRCNRCCN"[type])]);
  HWND parent = made.emplace_back(
      CreateWindowEx(0, "#32770", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, MainInstance(), nullptr));
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    std::string cls, style;
    std::istringstream(row) >> cls >> style;
    WNDCLASSEX wc;
    if (!GetClassInfoEx(MainInstance(), cls, &wc) && !GetClassInfoEx(nullptr, cls, &wc)) {
      wc.lpfnWndProc = &DefWindowProc;
      wc.hInstance = MainInstance();
      wc.lpszClassName = cls;
      ASSERT_NE(RegisterClassEx(&wc), 0);
    }
    HWND w = made.emplace_back(CreateWindowEx(0, cls, "", WS_CHILD | std::stoul(style, nullptr, 0), 0, 0, 50,
                                              20, parent, nullptr, MainInstance(), nullptr));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Describe(ChooseForWindow(*data, w)), row.substr(row.find(" > ") + 3));
  }
}

TEST_F(WinSkinChildrenTest, AnActivatedFormSkinsItsControlsOnceAndFreeAllRestoresThem) {
  TControl* button = Make("TButton");
  TControl* check = Make("TCheckBox");
  TControl* radio = Make("TRadioButton");
  auto* group = static_cast<TWinControl*>(Make("TGroupBox"));
  TControl* groupCheck = Make("TCheckBox", "", group);
  auto* panel = static_cast<TWinControl*>(Make("TPanel"));
  TControl* speed = Make("TSpeedButton", "", panel);
  TPopupMenu* panelPopup =
      NewPopupMenu(panel, "PanelPopup", paLeft, true, {NewItem("&Cut", 0, false, true, nullptr, 0, "Cut")});
  TControl* bit = Make("TBitBtn");
  TControl* status = Make("TStatusBar");
  TControl* edit = Make("TEdit");
  auto* frame = new TFrame(host);  // not entered by the tree walk: its windowless child comes by tab order
  frame->SetParent(host);
  TControl* frameSpeed = Make("TSpeedButton", "", frame);
  TControl* chosen = Make("TButton");
  auto* third = new TNamed<TButton>(host, "TMyMenuButton", "");
  third->SetParent(host);
  data->Skin3rd()->Add("TMyMenuButton=menubtn");
  auto* radioGroup = static_cast<TRadioGroup*>(Make("TRadioGroup"));
  radioGroup->Items()->Add("a");
  auto* checkGroup = static_cast<TWinControl*>(Make("TMyCheckGroup"));
  TControl* checkGroupItem = Make("TCheckBox", "", checkGroup);
  radioGroup->SetTag(data->DisableTag());
  checkGroup->SetTag(data->DisableTag());
  data->OnSkinControl = [&](TComponent*, TSkinData*, TControl*, TControl* Control, const std::string&,
                            TComponent*& Skinner) {
    if (Control == chosen) Skinner = new TSkinMenuButton(Control);
  };
  TControl* const all[] = {
      button,     check,          radio,     group,  groupCheck, panel,      speed,
      bit,        status,         edit,      chosen, third,      radioGroup, radioGroup->Buttons(0),
      checkGroup, checkGroupItem, frameSpeed};
  std::vector<TWndMethod> procs;
  for (TControl* c : all) procs.push_back(c->WindowProc());
  const TColor panelColour = panel->Color();
  host->Show();
  TSkinChildList* list = Skin(host->Handle());
  ASSERT_NE(list, nullptr);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass) list->SkinChildren();  // a second activation adds nothing
    std::string skinners;
    for (TControl* c : all) skinners += SkinnerClass(list->SkinnerOf(c)) + " ";
    EXPECT_EQ(
        skinners,
        "TSkinButton TSkinCheckBox TSkinRadioButton TSkinGroupBox TSkinCheckBox TSkinBox TSkinSpeedButton "
        "TSkinBitButton TSkinStatusBar TSkinEdit TSkinMenuButton TSkinMenuButton none none none none "
        "TSkinSpeedButton ");
    EXPECT_EQ(list->Skinners().size(), 13u);
    EXPECT_TRUE(list->CheckConsistency());
  }
  EXPECT_EQ(radioGroup->Buttons(0)->Tag(), data->DisableTag());
  EXPECT_EQ(checkGroupItem->Tag(), data->DisableTag());
  EXPECT_EQ(panel->Color(), data->Elements()->BackgroundColour);
  EXPECT_TRUE(panelPopup->OwnerDraw());

  list->FreeAll(false);
  EXPECT_FALSE(panelPopup->OwnerDraw());
  EXPECT_EQ(list->Skinners().size(), 0u);
  for (size_t i = 0; i < procs.size(); ++i) {
    SCOPED_TRACE(all[i]->ClassName());
    EXPECT_TRUE(all[i]->WindowProc() == procs[i]);
  }
  EXPECT_EQ(panel->Color(), panelColour);
}

TEST_F(WinSkinChildrenTest, ControlsFreedWithTheirFormHaveTheirMessagePathBack) {
  auto* group = new TNotingRadioGroup(host);
  group->SetParent(host);
  group->Items()->Add("a");
  group->Items()->Add("b");
  group->Own = group->WindowProc();
  host->Show();
  TSkinChildList* list = Skin(host->Handle());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(SkinnerClass(list->SkinnerOf(group)), "TSkinGroupBox");
  ASSERT_FALSE(group->WindowProc() == group->Own);
  gOwnPathAtFree = false;
  host->Free();  // every owned control is marked as going before the windows are destroyed
  host = nullptr;
  EXPECT_TRUE(gOwnPathAtFree);
}

TEST_F(WinSkinChildrenTest, DialogBoxButtonsAreSkinnedAndTheListFollowsItsWindows) {
  RegisterSkinnerMaker(TSkinnerKind::Edit, [](const TSkinnerRequest& R) -> TSkinControl* {
    auto* counter = new TLeaveCounter(nullptr);
    counter->AttachWindow(R.Window, R.Data, R.Form, R.Canvas);
    return counter;
  });
  // A kind without a maker of this library: the requests are noted, nothing is made.
  RegisterSkinnerMaker(TSkinnerKind::Scrollbar, [&](const TSkinnerRequest& R) {
    requests.push_back(Describe(R.Decision));
    return static_cast<TSkinControl*>(nullptr);
  });
  HWND box = made.emplace_back(CreateWindowEx(0, "#32770", "Box", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40,
                                              300, 200, nullptr, nullptr, MainInstance(), nullptr));
  auto child = [&](const char* Class, DWORD Style) {
    return made.emplace_back(CreateWindowEx(0, Class, "x", WS_CHILD | WS_VISIBLE | Style, 10,
                                            10 + 30 * made.size(), 80, 24, box, nullptr, MainInstance(),
                                            nullptr));
  };
  HWND push = child("Button", BS_DEFPUSHBUTTON), check = child("Button", BS_AUTOCHECKBOX);
  HWND radio = child("Button", BS_AUTORADIOBUTTON), group = child("Button", BS_GROUPBOX),
       edit = child("Edit", 0), grip = child("ScrollBar", SBS_SIZEGRIP), inner = child("#32770", 0),
       combo = child("ComboBox", CBS_DROPDOWNLIST), tabs = child("SysTabControl32", 0),
       listBox = child("ListBox", WS_VSCROLL);
  const LONG_PTR checkProc = GetWindowLong(check, GWL_WNDPROC);
  TSkinChildList* list = Skin(box);
  ASSERT_NE(list, nullptr);
  // A bare window's scroll bars, which no rule reaches, through their maker.
  const TSkinnerMaker bars = RegisterSkinnerMaker(TSkinnerKind::ScrollbarH, nullptr);
  RegisterSkinnerMaker(TSkinnerKind::ScrollbarH, bars);
  TSkinDecision barDecision;
  barDecision.Kind = TSkinnerKind::ScrollbarH;
  barDecision.Attach = TSkinAttachRoute::Window;
  bars({barDecision, nullptr, listBox, dynamic_cast<TWinSkinForm*>(manage->FindForm(box)), data.get(),
        list->Canvas()});
  std::string skinners;
  for (HWND w : {push, check, radio, group, edit, grip, inner, combo, tabs, listBox})
    skinners += SkinnerClass(list->SkinnerOf(w)) + " ";
  EXPECT_EQ(skinners,
            "TSkinButton TSkinCheckBox TSkinRadioButton none TSkinControl TSkinSizer TSkinBoxH TSkinComBox "
            "TSkinTab TSkinScrollbarH ");
  EXPECT_TRUE(list->CheckConsistency());

  // The hover check: a hot child is told once that the mouse left, and always when forced.
  auto* counter = static_cast<TLeaveCounter*>(list->SkinnerOf(edit));
  counter->State = kSkinHot;
  RECT r{};
  GetWindowRect(edit, &r);
  for (const auto& [x, force, leaves] : {std::tuple{r.Left + 2, false, 0},
                                         {r.Right + 40, false, 1},
                                         {r.Left + 2, false, 1},
                                         {r.Left + 2, true, 2}}) {
    list->CheckHovered(POINT{x, r.Top + 2}, force);
    EXPECT_EQ(counter->Leaves, leaves);
  }
  // Re-skinned as a scroll bar: the old skinner goes, the scroll-bar maker is asked.
  list->ReskinScrollBar(edit);
  EXPECT_FALSE(list->Holds(edit));
  EXPECT_EQ(requests, std::vector<std::string>{"TSkinScrollbar reskin scroll"});
  // A destroyed window's skinner is freed at the next activation.
  RegisterSkinnerMaker(TSkinnerKind::Edit, nullptr);
  DestroyWindow(push);
  EXPECT_FALSE(list->Holds(push));
  list->SkinChildren();
  EXPECT_EQ(list->Skinners().size(), 7u);
  list->FreeAll(false);
  EXPECT_EQ(list->Skinners().size(), 0u);
  EXPECT_EQ(GetWindowLong(check, GWL_WNDPROC), checkProc);
}

// The kinds of the scroll-bar, combo, edit, tab and range families are made on a skinned form, and
// made again for a scrolling control's new window.
TEST_F(WinSkinChildrenTest, EveryKindMakesItsSkinnerOnSkinnedWindows) {
  data->Skin3rd()->Add("TMyAdvPage=advpagecontrol");
  auto* pages = static_cast<TPageControl*>(Make("TPageControl"));
  pages->SetBounds(0, 0, 200, 120);
  auto* sheet = new TTabSheet(host);
  sheet->SetPageControl(pages);
  auto* hiddenSheet = new TTabSheet(host);  // not the active page: no window of its own yet
  hiddenSheet->SetPageControl(pages);
  std::vector<std::pair<TControl*, std::string>> controls = {
      {pages, "TSkinTab"}, {sheet, "TSkinTabSheet"}, {hiddenSheet, "TSkinTabSheet"}};
  for (const char* row :
       {"TComboBox TSkinComBox", "TEdit TSkinEdit", "TUpDown TSkinUpDown", "TTabSet TSkinTab31",
        "THeaderControl TSkinHeader", "TTrackBar TSkinTrackBar", "TProgressBar TSkinProgress",
        "TMemo TSkinScrollbar", "TListView TSkinListView", "TScrollBar TSkinScControl",
        "TRzCheckBox TSkinObjImage 1", "TMyAdvPage TSkinAdvPage 4"}) {
    const std::string text = row;
    controls.emplace_back(Make(text.substr(0, text.find(' '))), text.substr(text.find(' ') + 1));
  }
  host->Show();
  TSkinChildList* list = Skin(host->Handle());
  ASSERT_NE(list, nullptr);
  for (const auto& [control, expected] : controls) {
    SCOPED_TRACE(control->ClassName());
    const TSkinControl* skinner = list->SkinnerOf(control);
    std::string found = SkinnerClass(skinner);
    if (auto* image = dynamic_cast<const TSkinObjImage*>(skinner)) found += " " + std::to_string(image->Mode);
    if (auto* page = dynamic_cast<const TSkinAdvPage*>(skinner)) found += " " + std::to_string(page->Mode);
    EXPECT_EQ(found, expected);
  }
  // A scrolling control whose window is made again gets a new skinner of its kind on the new
  // window through the skinned form's re-skin message; the old one is freed.
  const size_t count = list->Skinners().size();
  for (const auto& [control, kind] : controls) {
    if (kind != "TSkinScrollbar" && kind != "TSkinListView") continue;
    SCOPED_TRACE(kind);
    auto* windowed = static_cast<TWinControl*>(control);
    const HWND before = windowed->Handle();
    windowed->RecreateWnd();
    Application->ProcessMessages();
    ASSERT_NE(windowed->Handle(), before);
    const TSkinControl* now = list->SkinnerOf(control);
    EXPECT_EQ(SkinnerClass(now), kind);
    EXPECT_EQ(now ? now->Handle : nullptr, windowed->Handle());
  }
  list->SkinChildren();  // frees what the old windows left
  EXPECT_EQ(list->Skinners().size(), count);
  EXPECT_TRUE(list->CheckConsistency());
}

}  // namespace
