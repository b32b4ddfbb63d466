#pragma once
// Choosing skinners for a skinned form's child controls. The choice is a decision (which
// skinner kind, which attach, which colour flag, what happens to the children) made by
// ChooseForControl and ChooseForWindow without creating anything; TSkinChildList carries it
// out and keeps the form's skinners. Skinner kinds are made through a registry: a kind without
// a registered maker gets no skinner.
//   WinSkinChildClassify.cpp   the decisions (the Skin3rd map, the class table, window classes)
//   WinSkinChildren.cpp        the child list, the walks, the makers of the button and state skinners
//   WinSkinChildMakers.cpp     the makers of the scroll-bar, combo, edit, tab and range skinners
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

enum class TSkinnerKind : uint8_t {
  None,
  Button,
  BitButton,
  MenuButton,
  SpeedButton,
  CheckBox,
  RadioButton,
  GroupBox,
  StatusBar,
  Box,
  MediaPlayer,
  // Made once the scroll-bar and the remaining control skinners register.
  ComBox,
  Edit,
  Tab,
  Tab31,
  TabSheet,
  Header,
  TrackBar,
  UpDown,
  Progress,
  Scrollbar,
  ScControl,
  ListView,
  ScrollbarH,
  Sizer,
  BoxH,
  ObjImage,
  AdvPage,
};
const char* SkinnerKindName(TSkinnerKind Kind);

// How a made skinner is attached.
enum class TSkinAttachRoute : uint8_t {
  Control,    // AttachControl on the control that owns it
  Window,     // AttachWindow on a window handle (bare windows; TDCEDIT's own window)
  Graphic,    // AttachGraphic on a windowless control
  ScrollBar,  // the scroll-bar skinners' own attach
};

// What happens to the children of the classified control or window.
enum class TSkinChildRule : uint8_t {
  None,
  Classify,         // each child is classified with this one as parent
  RadioGroupItems,  // each child: TSkinObjImage kind 2 when "TRZ" is in its class, else radio
  CheckGroupItems,  // each child: TSkinObjImage kind 1 when "TRZ" is in its class, else check box
  EmbedScrollBars,  // each child: a TScrollBar gets ScControl, one with scroll bars Scrollbar
};

struct TSkinDecision {
  TSkinnerKind Kind = TSkinnerKind::None;
  TSkinAttachRoute Attach = TSkinAttachRoute::Control;
  bool UseSkinColor = false;
  int SubKind = 0;              // TSkinObjImage 1..3, TSkinAdvPage 4
  std::string PictureProperty;  // TSkinBitButton's picture property ("PngImage")
  bool SetTransparent = false;  // property "Transparent" := "True" first
  TSkinChildRule Children = TSkinChildRule::None;
  bool ChildrenFirst = false;      // the children before the skinner (radio and check groups)
  bool ChildGroupBox = true;       // check group: its own group box only with xcGroupBox
  bool ColorFoundControl = false;  // table 3's panels: the found control takes ButtonFace
  bool TargetFirstChild = false;   // "comboboxex32": the skinner goes on the first child window
  // Which rule decided: "disabletag", "handled", "skin3rd:<kind>", "excluded", "table:<row>",
  // "window:<class>", "none". Tests and diagnostics read it.
  std::string Rule;
};

// The decision for a control of the class library (Parent its parent). DisableTag, "already
// handled" (Handled tells) and OnSkinControl are not decided here; see TSkinChildList.
TSkinDecision ChooseForControl(const TSkinData& Data, TControl* Control, const std::string& UpperClassName);
// The decision for a bare child window by its class and style.
TSkinDecision ChooseForWindow(const TSkinData& Data, HWND Window);
// The line of Skin3rd that names the class ("<class>=" begins the line, ignoring case), and its
// kind lower-cased; false when none does.
bool FindSkin3rdKind(const TSkinData& Data, const std::string& ClassName, std::string& Kind);
// The decision for one child of a radio group, a check group or a container of embedded scroll
// bars (Rule tells which).
TSkinDecision ChooseGroupItem(const TSkinData& Data, TControl* Item, TSkinChildRule Rule);

// Makes (and attaches) a skinner of one kind.
struct TSkinnerRequest {
  TSkinDecision Decision;
  TControl* Control = nullptr;  // the owner for the Control and Graphic routes
  HWND Window = nullptr;        // the Window route
  TWinSkinForm* Form = nullptr;
  TSkinData* Data = nullptr;
  TCanvas* Canvas = nullptr;
};
using TSkinnerMaker = std::function<TSkinControl*(const TSkinnerRequest& Request)>;
// Returns the previous maker of the kind.
TSkinnerMaker RegisterSkinnerMaker(TSkinnerKind Kind, TSkinnerMaker Maker);
// Registers the makers of WinSkinChildMakers.cpp; called by InitWinSkinChildrenUnit.
void RegisterWinSkinChildMakers();
// Registers this library's makers and installs TSkinChildList as the skinned form's children;
// called by the skin unit's start-up, a repeat is harmless.
void InitWinSkinChildrenUnit();

// The skinners of one skinned form.
class TSkinChildList : public TSkinChildren {
 public:
  explicit TSkinChildList(TWinSkinForm& AForm);
  ~TSkinChildList() override;

  void SkinChildren() override;
  void SkinChildWindow(HWND Child) override;
  void ReskinScrollBar(HWND Child) override;
  void ApplySkinColor() override;
  void CheckHovered(POINT Cursor, bool Force) override;
  void FreeAll(bool Destroying) override;
  bool Holds(HWND Window) const override;
  void Register(TSkinControl* Skinner) override;
  void Unregister(TSkinControl* Skinner) override;

  // Classifies one control of the class library with Parent as its parent.
  void ClassifyControl(TWinControl* Parent, TControl* Control);
  // The children of a container, then its popup menus with xcPopupMenu.
  void SkinContainer(TWinControl* Container);
  // Every WS_CHILD child window of Window.
  void SkinChildWindows(HWND Window);
  // Classifies one bare window.
  void ClassifyWindow(HWND Window);
  // A window below the form showed or hid a scroll bar: the overlays of its skinner follow, and
  // a control of the class library without skinner gets the one it would get if the form were
  // skinned now. Windows of a skinned form nested inside this one are that form's concern.
  void ScrollBarsChanged(HWND Window);
  // The listed skinner that serves Control (windowed or windowless), or nullptr.
  TSkinControl* SkinnerOf(const TControl* Control) const;
  TSkinControl* SkinnerOf(HWND Window) const;

  const std::vector<TSkinControl*>& Skinners() const { return skinners_; }
  TCanvas* Canvas() const { return canvas_.get(); }
  // Every listed skinner is attached and registered once; a skinner of a live window holds it.
  bool CheckConsistency() const;

 private:
  // Carries out a decision for a control or a window.
  void Apply(const TSkinDecision& Decision, TWinControl* Parent, TControl* Control, HWND Window);
  TSkinControl* Make(const TSkinDecision& Decision, TControl* Control, HWND Window);
  // The children of Control or Window by the decision's rule.
  void ApplyChildren(const TSkinDecision& Decision, TControl* Control, HWND Window);
  // A skinner the application's OnSkinControl handed over, attached unless listed.
  void AttachChosen(TSkinControl* Skinner, TControl* Control);
  bool Listed(const TSkinControl* Skinner) const;
  // Takes Skinner out of the list and frees it.
  void Drop(TSkinControl* Skinner);
  // Frees listed skinners whose window received WM_NCDESTROY or is no longer there.
  void FreeGone();
  // Takes the skin's marks off the popup menus of every container below Parent.
  void UnmarkContainerPopups(TWinControl* Parent);
  // Listens, from a walk until FreeAll, for scroll bars that windows gain or lose.
  void WatchScrollBars();
  // Some listed skinner, live or gone, was made for Control.
  bool ListedFor(const TControl* Control) const;

  TWinSkinForm& form_;
  std::vector<TSkinControl*> skinners_;
  std::unique_ptr<TCanvas> canvas_;
  HWND hovered_ = nullptr;  // a bare window's child that was told the mouse entered
  HWINEVENTHOOK barsHook_ = nullptr;
};
