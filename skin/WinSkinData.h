#pragma once
// TSkinData: the component a form carries to skin the program. It holds the skin file's bytes
// (from the window description or from SkinFile), decodes them into a TSkinElements, registers
// with the process-wide TSkinManage and asks it to activate, deactivate or re-apply.
//
// A load decodes into a fresh element set and swaps it in only on success: a refused skin
// leaves the stream, the elements, the brush, the name and Empty as they were, and its reason
// in LoadError.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Event.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Set.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"
#include "skin/WinSkinIni.h"

class TBitmap;
class TControl;
class TCustomImageList;
class TFont;
class TMemoryStream;
class TSkinData;
class TSkinManage;

enum class TSkinControlType {
  xcMainMenu,
  xcPopupMenu,
  xcMenuItem,
  xcToolbar,
  xcControlbar,
  xcCombo,
  xcCheckBox,
  xcRadioButton,
  xcProgress,
  xcScrollbar,
  xcEdit,
  xcButton,
  xcBitBtn,
  xcSpeedButton,
  xcSpin,
  xcPanel,
  xcGroupBox,
  xcStatusBar,
  xcTab,
  xcTrackBar,
  xcSystemMenu,
  xcFastReport
};
using enum TSkinControlType;
RTL_ENUM_INFO(TSkinControlType, "xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar",
              "xcCombo", "xcCheckBox", "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit", "xcButton",
              "xcBitBtn", "xcSpeedButton", "xcSpin", "xcPanel", "xcGroupBox", "xcStatusBar", "xcTab",
              "xcTrackBar", "xcSystemMenu", "xcFastReport");
// Streamed as a 32-bit set.
using TSkinControlTypes = TSet<TSkinControlType, 32>;

enum class TSkinOption {
  xoMDIScrollbar,
  xoMenuMerge,
  xoTransparent,
  xoPreview,
  xoParentBackGround,
  xoNoFocusRect,
  xoToolbarBK,
  xoMDIChildBorder
};
using enum TSkinOption;
RTL_ENUM_INFO(TSkinOption, "xoMDIScrollbar", "xoMenuMerge", "xoTransparent", "xoPreview",
              "xoParentBackGround", "xoNoFocusRect", "xoToolbarBK", "xoMDIChildBorder");
using TSkinOptions = TSet<TSkinOption, 32>;

// sfMainform: the whole program; sfOnlyThisForm: the owner form; sfDialog: message and dialog
// boxes; sfDLL: stored only.
enum class TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };
using enum TSkinFormType;
RTL_ENUM_INFO(TSkinFormType, "sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL");

using TOnFormSkin = TEvent<void(TObject* Sender, const std::string& aName, bool& DoSkin)>;
using TOnSkinControl = TEvent<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                                   const std::string& ControlClass, TComponent*& SkinnedControl)>;

inline constexpr char kSkinDataVersion[] = "3.82.12.06";
inline constexpr char kSkinStoreDisplay[] = "(none)";
// Reasons a skin file or stored skin stream is refused besides the reader's own.
inline constexpr char kSkinFileMissing[] = "Skin file not found";
inline constexpr char kSkinFileUnreadable[] = "Skin file cannot be read";
inline constexpr char kSkinStreamBadLength[] = "Skin stream length is invalid";
inline constexpr int kSkinDefaultDisableTag = 99;
// The bitmap resource of the menu glyphs: restore, maximise, minimise, close.
inline constexpr char kSkinMenuGlyphsResource[] = "SKINMENUGLYPHS";
inline constexpr int kSkinMenuGlyphSize = 16;
inline constexpr int kSkinMenuGlyphCount = 4;

class TSkinData : public TComponent {
  RTL_CLASS(TSkinData, TComponent)
 public:
  explicit TSkinData(TComponent* AOwner);
  ~TSkinData() override;
  static void DescribeClass(TClassBuilder<TSkinData>& c);

  // --- published ---
  bool Active() const { return active_; }
  void SetActive(bool Value);
  int DisableTag() const { return disableTag_; }
  void SetDisableTag(int Value) { disableTag_ = Value; }
  TSkinControlTypes SkinControls() const { return skinControls_; }
  void SetSkinControls(TSkinControlTypes Value) { skinControls_ = Value; }
  TSkinOptions Options() const { return options_; }
  void SetOptions(TSkinOptions Value) { options_ = Value; }
  TStrings* Skin3rd() const { return skin3rd_.get(); }
  void SetSkin3rd(TStrings* Value);
  const std::string& SkinFile() const { return skinFile_; }
  void SetSkinFile(const std::string& Value);
  // Display only: "(none)" (no design time); writing does nothing.
  std::string SkinStore() const { return kSkinStoreDisplay; }
  void SetSkinStore(const std::string&) {}
  TSkinFormType SkinFormtype() const { return skinFormtype_; }
  void SetSkinFormtype(TSkinFormType Value) { skinFormtype_ = Value; }
  // Display only; writing does nothing.
  std::string Version() const { return kSkinDataVersion; }
  void SetVersion(const std::string&) {}
  bool MenuUpdate() const { return menuUpdate_; }
  void SetMenuUpdate(bool Value) { menuUpdate_ = Value; }
  bool MenuMerge() const { return menuMerge_; }
  void SetMenuMerge(bool Value) { menuMerge_ = Value; }

  TOnFormSkin OnFormSkin;
  // Skinned forms paint their frames only while set; cleared around a menu change so that the
  // frame is not painted from a half-changed menu.
  bool Painting = true;
  TNotifyEvent OnSkinChanged;
  TOnSkinControl OnSkinControl;

  // --- loading ---
  // Decodes the skin stream. On success the new elements, colours, name and brush are in force
  // and LoadError is empty; on failure everything stays as it was and LoadError says why.
  bool LoadSkin();
  const std::string& LoadError() const { return loadError_; }
  // True while no skin has been decoded; such data skins nothing.
  bool Empty() const { return empty_; }
  // The raw skin file bytes.
  TMemoryStream* SkinStream() const { return skinStream_.get(); }
  void Loaded() override;
  void DefineProperties(TFiler& Filer) override;

  // --- what skinned forms and controls read ---
  // Never null: an element set without images until a skin loads.
  const TSkinElements* Elements() const { return elements_.get(); }
  const std::string& SkinName() const { return elements_->SkinName; }
  // The program's small icon on magenta, transparent.
  TBitmap* SmallIcon() const { return smallIcon_.get(); }
  TBitmap* SecondBitmap() const { return secondBitmap_.get(); }
  // 16 x 16 glyphs with a white mask: restore, maximise, minimise, close.
  TCustomImageList* MenuGlyphs() const { return menuGlyphs_.get(); }
  int MaxWidth() const { return maxWidth_; }
  int MaxHeight() const { return maxHeight_; }
  // Made from the system's non-client caption font at each Loaded; null before.
  TFont* CaptionFont() const { return captionFont_.get(); }
  // A solid brush of the skin's background colour; 0 while Empty.
  HBRUSH BackgroundBrush() const { return backgroundBrush_; }

  // The OnFormSkin rules for a window class, DoSkin already computed by the caller.
  void DoFormSkin(const std::string& ClassName, bool& DoSkin);
  // After a new skin loaded at run time: re-read by the forms that use this data.
  void SkinChanged();
  // Remakes SmallIcon from the application window's icon.
  void MakeSmallIcon();

  // Services for the skinners; the platform always has both.
  static bool SkinGetScrollBarInfo(HWND Wnd, LONG IdObject, SCROLLBARINFO* Info);
  static void SkinTrackMouseLeave(HWND Wnd);
  // Text in UTF-8 through the one text path.
  static int SkinDrawText(HDC DC, const std::string& Text, RECT& Rect, UINT Format);

 private:
  // Decodes Candidate; on success it becomes the skin stream and its elements are in force.
  bool LoadSkinFrom(std::unique_ptr<TMemoryStream> Candidate);
  void ReadSkinStream(TStream& Stream);
  void WriteSkinStream(TStream& Stream);
  // The forms of this data re-read their elements (their caption buttons point into them).
  void ReloadForms();
  // The rest of a skin change: the manager re-applies this data on its timer.
  void RequestReapply();
  void MakeCaptionFont();
  void MakeBackgroundBrush();
  void LoadMenuGlyphs();

  bool active_ = false;
  int disableTag_ = kSkinDefaultDisableTag;
  TSkinControlTypes skinControls_;
  TSkinOptions options_{xoPreview, xoToolbarBK};
  std::unique_ptr<TStringList> skin3rd_;
  std::string skinFile_;
  TSkinFormType skinFormtype_ = sfMainform;
  bool menuUpdate_ = true;
  bool menuMerge_ = false;

  std::unique_ptr<TMemoryStream> skinStream_;
  bool empty_ = true;
  std::unique_ptr<TSkinElements> elements_;
  std::string loadError_;
  std::unique_ptr<TBitmap> smallIcon_;
  std::unique_ptr<TBitmap> secondBitmap_;
  std::unique_ptr<TCustomImageList> menuGlyphs_;
  int maxWidth_ = 0;
  int maxHeight_ = 0;
  std::unique_ptr<TFont> captionFont_;
  HBRUSH backgroundBrush_ = 0;
};

// Registers TSkinData for descriptions and the drawn "SKINMENUGLYPHS" resource (a program's own
// stays), and installs the skinned form (InitWinSkinFormUnit) with its child skinners
// (InitWinSkinChildrenUnit). A repeat is harmless.
void InitWinSkinDataUnit();
// The four menu glyphs, side by side on white; registered by InitWinSkinDataUnit.
void RegisterSkinMenuGlyphsResource();
