#pragma once
// The one skin manager of the process: watches window creation, destruction and activation
// through a CBT hook, decides which top-level windows get a skinned frame, keeps the skinned
// forms, the popup-menu skinners and the registered skin data, and applies the activation
// requests of the skin data on a 250 ms timer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Object.h"
#include "platform/win/Windows.h"

class TSkinData;
class TWinSkinPopMenu;
class TTimer;
class TBitmap;
class TCustomForm;
class TForm;
class TWinControl;

// Engine window messages, plain numbers in the application range.
inline constexpr UINT SKMSG_SKINCHANGED = 13313;
inline constexpr UINT SKMSG_REPAINTFRAME = 13570;
inline constexpr UINT SKMSG_ACTIVATE = 13571;
inline constexpr UINT SKMSG_SKINCONTROL = 13574;
inline constexpr UINT SKMSG_TABCLOSE = 13575;
inline constexpr UINT SKMSG_BUTTONACTION = 13588;
inline constexpr UINT SKMSG_BUTTONVISIBLE = 13589;
inline constexpr UINT SKMSG_MDIREDRAW = 13590;
inline constexpr UINT SKMSG_RESKINSCROLLBAR = 13591;
inline constexpr UINT SKMSG_MENUBARAT = 13592;
// A window answering 1 is already skinned or must stay unskinned.
inline constexpr UINT SKMSG_ISSKINNED = 13603;

// Action codes of SetAction / ApplyAction.
inline constexpr int kSkinActionActivate = 1;
inline constexpr int kSkinActionDeactivate = 2;
inline constexpr int kSkinActionSkinChanged = 3;
inline constexpr int kSkinActionDropDestroyed = 6;

// StartState values: before the first activation, running, being destroyed (no purges).
inline constexpr int kSkinStartIdle = 0;
inline constexpr int kSkinStartRunning = 1;
inline constexpr int kSkinStartDestroying = 4;

// Tag of a control that the manager never skins, whatever the skin data's DisableTag holds.
inline constexpr int kSkinNeverTag = 99;

// What the manager needs of a skinned form. The skinned form implements it; the manager makes
// one through the factory below, owned by the window's control when there is one.
class TSkinFormBase : public TComponent {
  RTL_CLASS(TSkinFormBase, TComponent)
 public:
  explicit TSkinFormBase(TComponent* AOwner);
  ~TSkinFormBase() override;

  // Takes over a form of the class library, or a bare window (dialog boxes of other modules).
  virtual void AttachForm(TWinControl* Form, TSkinData* Data) = 0;
  virtual void AttachWindow(HWND Window, TSkinData* Data) = 0;
  // Restores the window procedure and style.
  virtual void Detach() = 0;
  // Drops the cached skin elements and reads them again from the skin data.
  virtual void ReloadElements() = 0;
  // Re-applies the skin's colours to the child controls.
  virtual void RecolourChildren() = 0;
  // The form's window was destroyed (its life state 6).
  virtual bool WindowDestroyed() const = 0;
  // Hands a child window (a size grip) to the form's child skinning by class.
  virtual void SkinChildWindow(HWND Child) = 0;
  // An MDI child changes its border when the frame's maximised state changes.
  virtual bool IsMDIChild() const = 0;
  virtual void MDIBorderChanged() = 0;

  HWND hWnd = nullptr;
  TSkinData* SkinData = nullptr;

  // Expires when the form object is freed, so the manager never touches a freed form.
  std::weak_ptr<void> LifeToken() const { return lifeToken_; }

 private:
  std::shared_ptr<char> lifeToken_ = std::make_shared<char>(0);
};

// Makes the skinned form of a window (owner: the window's control, or nullptr).
using TSkinFormFactory = std::function<TSkinFormBase*(TComponent* Owner)>;
// Until the skinned form is installed no factory is set and SkinWindow answers false after
// its tests pass. Returns the previous factory.
TSkinFormFactory SetSkinFormFactory(TSkinFormFactory Factory);
// A new skinned form from the factory, or nullptr while there is none.
TSkinFormBase* MakeSkinForm(TComponent* Owner);

// The last popup skinner that painted while its menu handle was still unknown; cleared when
// that skinner is freed.
extern TWinSkinPopMenu* CurrentPopup;

class TSkinManage : public TObject {
  RTL_CLASS(TSkinManage, TObject)
 public:
  TSkinManage();
  ~TSkinManage() override;

  // Registration of skin data (in order of their Loaded). RemoveSkinData also detaches and
  // frees every form and popup skinner that uses the data, forgets it as ActionSkinData and
  // moves MainSkinData on to the next registered main-form data.
  void AddSkinData(TSkinData* Data);
  void RemoveSkinData(TSkinData* Data);

  void InstallHook();
  void SetAction(int Action, uint32_t Interval);
  // The timer's work: applies PendingAction for ActionSkinData.
  void ApplyAction();

  // True when a new skinned form was made for the window.
  bool SkinWindow(HWND Window);
  void SkinFormIfVisible(TCustomForm* Form);
  TSkinFormBase* FindForm(HWND Window) const;
  TWinControl* FindControl(HWND Window) const;
  TSkinData* FindSkinDataFor(HWND Window) const;
  void RemoveForm(HWND Window);
  // Drops freed forms and frees those whose window was destroyed (not while destroying).
  void PurgeForms();
  // Asks the main skin data whether windows of the class are skinned.
  bool AskFormSkin(const std::string& ClassName) const;

  // Popup-menu skinners. AddPopupMenu, RemovePopupMenu and IsPopupListed are defined with the
  // popup skinner whose rules they are (WinSkinPopMenu.cpp).
  void AddPopupMenu(HWND Window);
  void RemovePopupMenu(HWND Window);
  bool IsPopupListed(HWND Window) const;
  // Detaches, unlists and frees the skinner at Index; clears CurrentPopup when it is that one.
  void FreePopupAt(size_t Index);
  // Marks every listed popup skinner as belonging to the menu bar.
  void MarkPopupsMenuBarOwned();
  // Gives the menu handle to the most recent popup skinner that has none yet.
  void AssignPopupMenuHandle(HMENU Menu);
  // The frame bitmap of the popup skinner showing the menu, or nullptr.
  TBitmap* FindPopupFrame(HMENU Menu) const;
  void SetMDIMaximized(bool Value);

  std::unique_ptr<TTimer> Timer;
  HHOOK CbtHook = nullptr;
  // A form with the token that tells whether the form object still lives.
  struct TFormEntry {
    TSkinFormBase* Form;
    std::weak_ptr<void> Life;
    bool Freed() const { return Life.expired(); }
  };
  std::vector<TFormEntry> Forms;
  std::vector<TWinSkinPopMenu*> PopupMenus;
  std::vector<TSkinData*> SkinDatas;
  bool Active = false;
  bool SweepAll = false;
  int StartState = kSkinStartIdle;
  int MenuKind = 0;  // 0 context menu, 1 menu of a skinned menu bar, 2 system menu
  bool MenuBarMode = false;
  bool MDIMaximized = false;
  HWND NotifyWindow = nullptr;
  TObject* NotifyObject = nullptr;
  int PendingAction = 0;
  TSkinData* ActionSkinData = nullptr;
  TSkinData* MainSkinData = nullptr;

  bool CheckConsistency() const;

 private:
  // Creation, destruction and activation of every window of the thread.
  LRESULT CbtHookProc(int Code, WPARAM WParam, LPARAM LParam);
  void TimerTick(TObject* Sender);
  // Action 3: the forms of the data re-read their elements, then re-colour their children.
  void ReapplySkin(TSkinData* Data, bool FirstOnly);
  void FreeFormAt(size_t Index);
  void DetachRepaintFree(size_t Index);
};

// The one manager of the process, nullptr until the first skin data loads or after
// DestroySkinManage.
TSkinManage* SkinManage();
// Makes the manager when there is none; returns it.
TSkinManage* EnsureSkinManage();
void DestroySkinManage();
