#pragma once
// The demo's main form: a bookkeeping-style form with a menu bar, a popup menu, a status bar
// with panels and, on its two pages, one of each standard control. It carries the program's
// skin; its Window menu opens the ledger forms and lists the open forms to bring back, and its
// Skin menu switches skins. Made here rather than in the program so that a test can build a twin
// of it and ask where its controls lie.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoSkin.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

class TMemoryDataSet;

inline constexpr char kDemoMainCaption[] = "账户 — 收入与支出";

// The status bar's panels: what the program says, the period shown, and an owner-drawn mark
// that follows the "已核对" check box.
enum TDemoStatusPanel { kDemoSayPanel, kDemoPeriodPanel, kDemoClearedPanel };
// The owner-drawn mark's colours, and its side.
inline constexpr TColor kDemoClearedMark = 0x3C7A2E;
inline constexpr TColor kDemoOpenMark = 0x288CC8;
inline constexpr int kDemoMarkSide = 12;

// The standard controls of the first page ("收入"), the second page ("支出") and the status bar,
// as built.
struct TDemoStandardControls {
  TStatusBar* Status = nullptr;
  TPageControl* Pages = nullptr;
  TComboBox* Combo = nullptr;
  TMemo* Note = nullptr;
  TListBox* Accounts = nullptr;  // more accounts than it shows, so it scrolls
  TButton* Button = nullptr;
  TBitBtn* OkButton = nullptr;     // the kind's own glyph
  TBitBtn* GlyphButton = nullptr;  // a glyph of its own
  TSpeedButton* SpeedButton = nullptr;
  TSpeedButton* FlatSpeedButton = nullptr;
  TCheckBox* Check = nullptr;
  TGroupBox* Group = nullptr;
  TRadioButton* Income = nullptr;
  TRadioButton* Expense = nullptr;
  TRadioGroup* Period = nullptr;
  TPanel* Panel = nullptr;
  TProgressBar* Progress = nullptr;
  TTrackBar* Track = nullptr;
  // The second page: a date picker, a header over the entries and the entries in a report view,
  // more rows than it shows (beside them the months on tabs at the left).
  TDateTimePicker* Date = nullptr;
  TPageControl* Months = nullptr;  // its tabs at the left
  THeaderControl* Header = nullptr;
  TListView* Entries = nullptr;
};
// The report view's rows.
inline constexpr int kDemoEntryRows = 40;

class TDemoForm : public TForm {
  RTL_CLASS(TDemoForm, TForm)
 public:
  explicit TDemoForm(TComponent* AOwner);

  TStatusBar* status = nullptr;
  TPopupMenu* popup = nullptr;
  TSkinData* skinData = nullptr;
  TDemoStandardControls controls;
  // Set once the program knows where it lives: the packed skins lie beside it.
  std::unique_ptr<TDemoSkinSwitcher> skinSwitcher;
  TMemoryDataSet* ledger = nullptr;  // what the Window menu's ledger detail shows
  // What the Window menu's data grid shows: the same entries and a year of made-up ones, in a
  // data set of its own that offers the table interface (the wheel scrolls the grid's view
  // without moving the current entry), numbered so that entries can be moved.
  TMemoryDataSet* longLedger = nullptr;
  // Where exports and headless pictures go.
  std::filesystem::path outputFolder;

  // Made on first use in their places of the cascade (DemoWindowPlaces.h), shown again later.
  TForm* OpenLedgerDetail();
  TForm* OpenLedgerDBGrid();
  // The ledger grouped by account and kind beside the category tree, over a ledger of its own
  // that offers the table interface.
  TForm* OpenLedgerGrouped();
  TForm* OpenLedgerClipboard();
  // The forms the Window menu lists below its own items: every shown one, minimised ones too,
  // in the order they were made. A click on one brings it back (BringBackDemoWindow).
  std::vector<TForm*> OpenWindows() const;

  void ShowAbout();
  // Asks through the system's message box before the note is cleared.
  void AskClearNote();
  void ShowTip();
  // Shows a line in the status bar's first panel.
  void Say(const std::string& Text);

 private:
  void ChooseSkin(const char* FileName);
  void SetSkinning(bool On);
  void BuildMenus();
  void BuildControls();
  void BuildExpensePage(TTabSheet* Page);
  void BuildStatusBar();
  void DrawClearedMark(TStatusBar* Bar, TStatusPanel* Panel, const TRect& Rect);
  TForm* OpenWindow(TForm*& Made, int Step, const std::function<TForm*()>& Make);
  void ListOpenWindows();

  TForm* ledgerDetail_ = nullptr;
  TForm* ledgerDBGrid_ = nullptr;
  TForm* ledgerGrouped_ = nullptr;
  TForm* ledgerClipboard_ = nullptr;
  TMemo* note_ = nullptr;
  TMenuItem* windowMenu_ = nullptr;
  int windowMenuItems_ = 0;  // its own items, before the list of open forms
};

// Shows Form in front and active, restored first when it is minimised (without a task bar
// nothing else brings it back).
void BringBackDemoWindow(TForm* Form);

// Lets the skin manager's pending action run (activation, then the child skinners that the
// form's activation message gives its controls): without a display the wait moves the clock on.
void WaitForDemoSkinAction();
