#pragma once
// Forms and the program's global objects: scrolling containers and their scroll bars, forms,
// frames, data modules, the application object (message loop, exceptions, hints, key
// preprocessing) and the screen object (forms, the active form and control, cursors, the work
// area, fonts).
//
// C++ constructors cannot see the final class, so the class library's "TForm1.Create(Owner)"
// is two steps here: the constructor, then AfterConstruction(), which loads the class's window
// description (and its ancestors') and fires OnCreate. Construct<T>(Owner),
// ConstructComponent(Class, Owner) and TApplication::CreateForm do both; a frame read from a
// description loads its own description before the reader applies the overrides.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Controls.h"
#include "platform/win/Windows.h"

class TFont;
class TIcon;
class TMainMenu;
class TPopupMenu;
class TStrings;
class TBasicAction;
class THintWindow;
class TCustomForm;
class TForm;
class TDataModule;
class TScrollingWinControl;

// --- modal results ------------------------------------------------------------------------------

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// --- scroll bars of scrolling containers -----------------------------------------------------------

enum TScrollBarKind { sbHorizontal, sbVertical };
RTL_ENUM_INFO(TScrollBarKind, "sbHorizontal", "sbVertical");
enum TScrollBarStyle { ssRegular, ssFlat, ssHotTrack };
RTL_ENUM_INFO(TScrollBarStyle, "ssRegular", "ssFlat", "ssHotTrack");
using TScrollBarInc = int;  // 1..32767

// One scroll bar of a TScrollingWinControl: the scrolled extent (Range) against the client size,
// and where the view is (Position). With AutoScroll the owner computes Range from its children.
class TControlScrollBar : public TPersistent {
  RTL_CLASS(TControlScrollBar, TPersistent)
 public:
  TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind);
  static void DescribeClass(TClassBuilder<TControlScrollBar>& c);
  void Assign(TPersistent* Source) override;

  TScrollBarKind Kind() const { return kind_; }
  // Shows as a window scroll bar when Visible and Range exceeds the client extent.
  bool IsScrollBarVisible() const;
  // Position while the bar shows, else 0.
  int ScrollPos() const;

  int Range() const { return range_; }
  void SetRange(int Value);
  int Position() const { return position_; }
  // Clamped to 0..Range - client extent; scrolls the owner's children.
  void SetPosition(int Value);
  TScrollBarInc Increment() const { return increment_; }
  void SetIncrement(TScrollBarInc Value);
  bool Visible() const { return visible_; }
  void SetVisible(bool Value);
  int Margin() const { return margin_; }
  void SetMargin(int Value);
  bool Tracking() const { return tracking_; }
  void SetTracking(bool Value) { tracking_ = Value; }
  int Size() const { return size_; }  // 0: the system width
  void SetSize(int Value);
  TScrollBarStyle Style() const { return style_; }
  void SetStyle(TScrollBarStyle Value);
  int ButtonSize() const { return buttonSize_; }
  void SetButtonSize(int Value) { buttonSize_ = Value; }
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool Value) { smooth_ = Value; }

 private:
  friend class TScrollingWinControl;
  int ControlSize() const;  // the owner's client extent along this bar
  void CalcAutoRange();
  void Update();  // pushes range, page and position into the window's scroll bar
  void ScrollMessage(TMessage& Message);
  void DoSetRange(int Value);

  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  int range_ = 0;
  int position_ = 0;
  int calcRange_ = 0;
  TScrollBarInc increment_ = 8;
  bool visible_ = true;
  int margin_ = 0;
  bool tracking_ = false;
  int size_ = 0;
  TScrollBarStyle style_ = ssRegular;
  int buttonSize_ = 0;
  bool smooth_ = false;
  bool updateNeeded_ = true;
};

// A windowed container whose children can extend past its client area. With AutoScroll the
// ranges follow the children's extent (recomputed as they move, unless DisableAutoRange holds).
class TScrollingWinControl : public TWinControl {
  RTL_CLASS(TScrollingWinControl, TWinControl)
 public:
  explicit TScrollingWinControl(TComponent* AOwner);
  ~TScrollingWinControl() override;
  static void DescribeClass(TClassBuilder<TScrollingWinControl>& c);

  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool Value);
  TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
  void SetHorzScrollBar(TControlScrollBar* Value);
  TControlScrollBar* VertScrollBar() const { return vert_.get(); }
  void SetVertScrollBar(TControlScrollBar* Value);

  // Nested: auto ranges are recomputed when the last EnableAutoRange runs.
  void DisableAutoRange();
  void EnableAutoRange();
  // Scrolls so that AControl (a descendant) is wholly visible when it fits.
  void ScrollInView(TControl* AControl);
  // ScrollInView unless either is loading (the form calls it as the focus moves).
  virtual void AutoScrollInView(TControl* AControl);

 protected:
  void AlignControls(TControl* AControl, TRect& ARect) override;
  void CreateWnd() override;
  void WMHScroll(TMessage& Message) override;
  void WMVScroll(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  virtual bool AutoScrollEnabled() const { return true; }
  // Recomputes auto ranges (when AutoScroll) and updates both bars.
  void UpdateScrollBars();
  void CalcAutoRange();
  void ScrollChildren(int DeltaX, int DeltaY);

 private:
  friend class TControlScrollBar;
  std::unique_ptr<TControlScrollBar> horz_;
  std::unique_ptr<TControlScrollBar> vert_;
  bool autoScroll_ = false;
  int autoRangeCount_ = 0;
  bool updatingScrollBars_ = false;
};

// --- forms ---------------------------------------------------------------------------------------

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
RTL_ENUM_INFO(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
              "bsSizeToolWin");
// The border of a plain control: bsNone or bsSingle.
using TBorderStyle = TFormBorderStyle;

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
RTL_ENUM_INFO(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp");
using TBorderIcons = TSet<TBorderIcon>;
using enum TBorderIcon;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
RTL_ENUM_INFO(TWindowState, "wsNormal", "wsMinimized", "wsMaximized");

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
RTL_ENUM_INFO(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop");

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
RTL_ENUM_INFO(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
              "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter");

enum TCloseAction { caNone, caHide, caFree, caMinimize };

enum class TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;
using enum TFormStateItem;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TEvent<void(TMessage& Msg, bool& Handled)>;

class TCustomForm : public TScrollingWinControl {
  RTL_CLASS(TCustomForm, TScrollingWinControl)
 public:
  // The class library's Create: finish with AfterConstruction (see the header comment).
  explicit TCustomForm(TComponent* AOwner);
  // CreateNew: a form without a description.
  TCustomForm(TComponent* AOwner, int Dummy);
  ~TCustomForm() override;
  // Loads the descriptions of the class and its ancestors; a class other than TForm without
  // one raises EResNotFound "Resource <class> not found". Then OnCreate.
  virtual void AfterConstruction();
  // OnDestroy, then leaves the screen's lists.
  void BeforeDestruction() override;
  static void DescribeClass(TClassBuilder<TCustomForm>& c);

  // --- look and placement
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons Value);
  // The client also before the window exists: the bounds less the frame, caption and menu bar
  // the window will get.
  TRect GetClientRect() override;
  // While a description loads, the client size waits for Loaded (the menu comes later).
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition Value);
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle Value);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* Value);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* Value);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool Value) { keyPreview_ = Value; }
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int Value) { pixelsPerInch_ = Value; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool Value) { scaled_ = Value; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool Value) { oldCreateOrder_ = Value; }
  TFormState FormState() const { return formState_; }
  TCanvas* Canvas() const { return canvas_.get(); }
  // During creation a shown form only remembers it; it shows once OnCreate has run.
  void SetVisible(bool Value);

  // --- focus and activation
  bool Active() const { return active_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  // Focuses the control at once when the form is active; remembered otherwise.
  void SetActiveControl(TWinControl* Control);
  // The control that had the focus when the form was last active.
  TWinControl* ActiveOleControl() const { return nullptr; }
  // Moves the form's focus to Control: CM_EXIT up the old control's parents to the common
  // ancestor, CM_ENTER down to the new one, CM_FOCUSCHANGED to the form. False when an exit
  // handler moved the focus elsewhere.
  virtual bool SetFocusedControl(TWinControl* Control);
  // The control is going away (Removing) or losing focus: the form forgets it.
  void DefocusControl(TWinControl* Control, bool Removing);
  // Control's parent chain is made visible and it takes the focus.
  void FocusControl(TWinControl* Control);
  void SetFocus() override;
  // Whether Child wants the key message instead of the form's dialog processing.
  virtual bool WantChildKey(TControl* Child, TMessage& Message);
  // OnShortCut, then the menu's short cuts, then those of the form's action lists.
  virtual bool IsShortCut(TMessage& Message);

  // --- showing and closing
  void Show();
  void Hide();
  // OnCloseQuery, then OnClose and the action: caHide hides, caFree releases, caMinimize
  // minimises. Closing the main form terminates the application.
  void Close();
  virtual bool CloseQuery();
  // Ends a modal loop: CloseQuery and OnClose; mrNone resets when refused.
  void CloseModal();
  // Frees the form after the current message (CM_RELEASE).
  void Release();
  // Runs a nested loop with the other windows disabled until ModalResult is set or the form
  // hides; answers ModalResult. EInvalidOperation "Cannot make a visible window modal" for a
  // visible or disabled form.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }

  // --- MDI
  HWND ClientHandle() const { return clientHandle_; }
  int MDIChildCount() const;
  TForm* MDIChildren(int I) const;
  TForm* ActiveMDIChild() const;
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();

  // --- events
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TShortCutEvent OnShortCut;

  // Set by the application's modal bookkeeping; the form is inside ShowModal.
  bool Modal() const { return formState_.Contains(fsModal); }
  // Lets the actions of the form, its menu and its visible controls update themselves.
  virtual void UpdateActions();

 protected:
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void Paint();
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void VisibleChanging() override;
  void DefaultHandler(TMessage& Message) override;

 public:
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  virtual void WMActivate(TMessage& Message);
  virtual void WMClose(TMessage& Message);
  void WMCommand(TMessage& Message) override;
  virtual void WMInitMenuPopup(TMessage& Message);
  virtual void WMSysCommand(TMessage& Message);
  virtual void WMDestroy(TMessage& Message);
  void WMSize(TMessage& Message) override;
  virtual void CMActivate(TMessage& Message);
  virtual void CMDeactivate(TMessage& Message);
  void CMDialogKey(TMessage& Message) override;
  virtual void CMRelease(TMessage& Message);
  void CMShowingChanged(TMessage& Message) override;

 private:
  friend class TApplication;
  friend class TScreen;
  void InitForm();
  // Adds the frame's window styles (border, caption, boxes, system menu); answers the border
  // style in force (an MDI child has no bsNone or bsDialog).
  TFormBorderStyle AddFrameStyles(DWORD& Style, DWORD& ExStyle) const;
  // Moves the window where Position asks, once, when the form first shows.
  void ApplyPosition();
  void SetActive(bool Value);
  // The focus goes to ActiveControl, or to the form itself.
  void SetWindowFocus();
  void CreateMDIClient();
  void AttachMenu();
  void DetachMenu();
  // Sends a focus message; false when the receiver moved the focus somewhere else meanwhile.
  bool SendFocusMessage(HWND Window, UINT Msg);
  bool DispatchActionToClients(bool Execute, TBasicAction* Action);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  TWindowState windowState_ = wsNormal;
  std::unique_ptr<TIcon> icon_;
  std::unique_ptr<TControlCanvas> canvas_;
  TMainMenu* menu_ = nullptr;
  bool keyPreview_ = false;
  int pixelsPerInch_ = 96;
  bool scaled_ = true;
  bool oldCreateOrder_ = false;
  TFormState formState_;
  bool active_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  TModalResult modalResult_ = mrNone;
  HWND clientHandle_ = nullptr;
  bool withDescription_ = false;  // made by the Create constructor, not CreateNew
  bool constructed_ = false;
  int pendingClientWidth_ = -1;  // set while loading, applied by Loaded; -1: none
  int pendingClientHeight_ = -1;
};

class TForm : public TCustomForm {
  RTL_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
  TForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner, Dummy) {}
  static void DescribeClass(TClassBuilder<TForm>& c);
};

using TFormClass = TClass;

// The form Control sits on (its parent chain's top), or nullptr.
TCustomForm* GetParentForm(TControl* Control);
// GetParentForm, or EInvalidOperation "Control '%s' has no parent window".
TCustomForm* ValidParentForm(TControl* Control);

// --- frames and data modules -----------------------------------------------------------------------

// A container with its own description, placed on a form like a control.
class TCustomFrame : public TScrollingWinControl {
  RTL_CLASS(TCustomFrame, TScrollingWinControl)
 public:
  explicit TCustomFrame(TComponent* AOwner);
  ~TCustomFrame() override;
  // Loads the class's description (a class other than TFrame without one raises EResNotFound).
  virtual void AfterConstruction();
  // A frame created by the description reader loads its own description first.
  void ReadState(TReader& Reader) override;
  static void DescribeClass(TClassBuilder<TCustomFrame>& c);

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  bool constructed_ = false;
};

class TFrame : public TCustomFrame {
  RTL_CLASS(TFrame, TCustomFrame)
 public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
  static void DescribeClass(TClassBuilder<TFrame>& c);
};

// A non-visual container of components, loaded from its description and listed in
// Screen->DataModules.
class TDataModule : public TComponent {
  RTL_CLASS(TDataModule, TComponent)
 public:
  explicit TDataModule(TComponent* AOwner);
  // CreateNew: without a description.
  TDataModule(TComponent* AOwner, int Dummy);
  ~TDataModule() override;
  virtual void AfterConstruction();
  void BeforeDestruction() override;
  static void DescribeClass(TClassBuilder<TDataModule>& c);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();

 private:
  bool withDescription_ = false;
  bool constructed_ = false;
  bool destroyed_ = false;
};

// The class library's virtual constructor for forms, frames and data modules: constructs, then
// AfterConstruction. A failure frees the half-made object and re-raises.
TComponent* ConstructComponent(TClass InstanceClass, TComponent* AOwner);
template <class T>
T* Construct(TComponent* AOwner) {
  T* instance = new T(AOwner);
  TScopeFail freeHalfMade([instance] { instance->Free(); });
  instance->AfterConstruction();
  return instance;
}

// --- the application ---------------------------------------------------------------------------

using TMessageEvent = TEvent<void(MSG& Msg, bool& Handled)>;
using TExceptionEvent = TEvent<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;
using TShowHintEvent = TEvent<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TActionEvent = TEvent<void(TBasicAction* Action, bool& Handled)>;

class TApplication : public TComponent {
  RTL_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // The hidden window of class "TApplication" that owns every form.
  HWND Handle() const { return handle_; }
  bool Active() const { return active_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& Value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* Value);
  TForm* MainForm() const { return mainForm_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool Value) { showMainForm_ = Value; }
  bool Terminated() const { return terminated_; }
  std::string ExeName() const;
  int ModalLevel() const { return modalLevel_; }

  // Constructs the form (loading its description), remembers the first as MainForm.
  void CreateForm(TFormClass InstanceClass, TComponent*& Reference);
  template <class T>
  void CreateForm(T*& Reference) {
    TComponent* c = nullptr;
    CreateForm(T::StaticClass(), c);
    Reference = static_cast<T*>(c);
  }
  void Initialize() {}
  // Shows the main form and handles messages until Terminated.
  void Run();
  // One message; when there is none, idle processing and a wait.
  void HandleMessage();
  // Everything that is queued, then returns.
  void ProcessMessages();
  void Terminate();

  // The exception being handled (std::current_exception) goes to OnException or ShowException;
  // EAbort is never shown.
  void HandleException(TObject* Sender);
  // A message box titled Title with MB_ICONSTOP.
  void ShowException(const Exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption, int Flags = MB_OK);

  // Key preprocessing: CN_KEYDOWN/CN_CHAR/CN_SYSKEYDOWN to the focused control first.
  bool IsKeyMsg(MSG& Msg);
  // Menu and action-list short cuts of the active form.
  bool IsShortCut(TMessage& Message);
  bool ExecuteAction(TBasicAction* Action);
  bool UpdateAction(TBasicAction* Action);
  bool HelpContext(int Context) { return false; }

  void BringToFront();
  void Minimize();
  void Restore();
  void NormalizeTopMosts();
  void NormalizeAllTopMosts();
  void RestoreTopMosts();
  void ModalStarted();
  void ModalFinished();

  // --- hints
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool Value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int Value) { hintPause_ = Value; }
  int HintShortPause() const { return hintShortPause_; }
  void SetHintShortPause(int Value) { hintShortPause_ = Value; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int Value) { hintHidePause_ = Value; }
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor Value);
  TClass HintWindowClass() const { return hintWindowClass_; }
  void SetHintWindowClass(TClass Value) { hintWindowClass_ = Value; }
  // Shows the hint of the control under CursorPos (screen) now, through CM_HINTSHOW.
  void ActivateHint(const TPoint& CursorPos);
  void CancelHint();
  void HideHint();
  // The hint window while a hint shows (nullptr otherwise).
  THintWindow* HintWindow() const { return hintWindow_; }
  // Called by controls for every mouse message they receive: starts, moves or ends hints.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  // A control is going away: it is no longer the hint or mouse control.
  void ControlDestroyed(TControl* Control);

  // --- events
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TExceptionEvent OnException;
  TNotifyEvent OnHint;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnModalBegin;
  TNotifyEvent OnModalEnd;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TActionEvent OnActionExecute;
  TActionEvent OnActionUpdate;
  TShortCutEvent OnShortCut;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TCustomForm;
  static constexpr UINT_PTR kHintTimerId = 1;
  enum THintTimerMode { htmShow, htmHide };
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
  bool ProcessMessage(MSG& Msg);
  void Idle(const MSG& Msg);
  void DoActionIdle();
  void SetActiveState(bool Value);
  bool DispatchAction(UINT Msg, TBasicAction* Action);
  // CM_RELEASE: the form is freed once the message that asked for it is done.
  void Release(TCustomForm* Form);
  void FreeReleased();
  void StartHintTimer(int Pause, THintTimerMode Mode);
  void StopHintTimer();
  void HintTimerExpired();
  // The control a hint belongs to at a screen point: the innermost control there, or the
  // nearest parent with ShowHint.
  TControl* FindControlAtPos(const TPoint& ScreenPos) const;
  TControl* HintControlAt(const TPoint& ScreenPos) const;

  HWND handle_ = nullptr;
  WNDPROC proc_;
  bool active_ = false;
  std::string title_;
  std::unique_ptr<TIcon> icon_;
  TForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  bool running_ = false;
  bool minimized_ = false;
  int modalLevel_ = 0;
  std::vector<TComponent*> pendingRelease_;
  std::string hint_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintShortPause_ = 50;
  int hintHidePause_ = 2500;
  TColor hintColor_;
  TClass hintWindowClass_ = nullptr;
  THintWindow* hintWindow_ = nullptr;
  TControl* hintControl_ = nullptr;
  bool hintActive_ = false;
  TRect hintCursorRect_{};
  THintTimerMode hintTimerMode_ = htmShow;
  bool hintTimerRunning_ = false;
  std::vector<HWND> topMosts_;
  int topMostLevel_ = 0;
};

// --- the screen -----------------------------------------------------------------------------------

class TScreen : public TComponent {
  RTL_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Forms in creation order (the most recently activated first once activation reorders).
  int FormCount() const;
  TForm* Forms(int Index) const;
  int CustomFormCount() const { return static_cast<int>(customForms_.size()); }
  TCustomForm* CustomForms(int Index) const;
  int DataModuleCount() const { return static_cast<int>(dataModules_.size()); }
  TDataModule* DataModules(int Index) const;

  TForm* ActiveForm() const { return activeForm_; }
  TCustomForm* ActiveCustomForm() const { return activeCustomForm_; }
  TWinControl* ActiveControl() const { return activeControl_; }
  TCustomForm* FocusedForm() const { return focusedForm_; }

  // Setting it sets the mouse cursor at once (crDefault: the window's own).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value);
  // The cursor handle of an id (crHourGlass ...): the window manager's system cursors, or
  // a cursor set by the program. crDefault answers the arrow.
  HCURSOR Cursors(int Index) const;
  void SetCursors(int Index, HCURSOR Handle);

  int Width() const;
  int Height() const;
  TRect DesktopRect() const;
  int DesktopLeft() const { return DesktopRect().Left; }
  int DesktopTop() const { return DesktopRect().Top; }
  int DesktopWidth() const { return DesktopRect().Width(); }
  int DesktopHeight() const { return DesktopRect().Height(); }
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int PixelsPerInch() const { return 96; }
  int MonitorCount() const { return 1; }
  TStrings* Fonts() const;
  TFont* MenuFont() const { return menuFont_.get(); }
  TFont* IconFont() const { return iconFont_.get(); }
  TFont* HintFont() const { return hintFont_.get(); }
  const std::string& DefaultIme() const { return defaultIme_; }
  TStrings* Imes() const;

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

 private:
  friend class TCustomForm;
  friend class TApplication;
  friend class TDataModule;
  void AddForm(TCustomForm* AForm);
  void RemoveForm(TCustomForm* AForm);
  void AddDataModule(TDataModule* ADataModule);
  void RemoveDataModule(TDataModule* ADataModule);
  // Keeps the focused form first in the lists and updates the active form and control.
  void SetFocusedForm(TCustomForm* AForm);
  void UpdateActive(TCustomForm* AForm, TWinControl* AControl);
  void ControlDestroyed(TControl* Control);

  // TForms are the TCustomForms that are TForms; they are told apart once fully constructed.
  std::vector<TCustomForm*> customForms_;
  std::vector<TDataModule*> dataModules_;
  TForm* activeForm_ = nullptr;
  TCustomForm* activeCustomForm_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  TCustomForm* focusedForm_ = nullptr;
  TCursor cursor_ = 0;
  std::vector<std::pair<int, HCURSOR>> cursors_;
  std::unique_ptr<TFont> menuFont_;
  std::unique_ptr<TFont> iconFont_;
  std::unique_ptr<TFont> hintFont_;
  mutable std::unique_ptr<TStrings> fonts_;
  mutable std::unique_ptr<TStrings> imes_;
  std::string defaultIme_;
};

// --- globals ---------------------------------------------------------------------------------------

// Created by InitVcl, which every entry point of the class library calls (cheap once done).
extern TApplication* Application;
extern TScreen* Screen;
void InitVcl();
// Registers every class of the class library by name (InitVcl does it).
void RegisterVclClasses();
// The hint window class used when the application's is not set (THintWindow).
extern TClass HintWindowClass;
