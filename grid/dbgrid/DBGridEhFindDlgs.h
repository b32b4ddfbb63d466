#pragma once
// The data grid's find dialog ("查找字符"): the user picks a text, a column (or all), the matching,
// the direction and the case and format options; each press of the find button asks the grid's
// LocateText for the next match. One dialog serves the whole program: made on first use, owned by
// the application and refilled for each grid that opens it. The unit's start-up installs
// ShowFindDialog as the process-wide find-dialog procedure (the centre shows it through that).
#include <string>
#include <utility>
#include <vector>

#include "platform/vcl/Forms.h"

class TButton;
class TLabel;
class TColumnEh;
class TCustomDBGridEh;
class TDBComboBoxEh;
class TDBCheckBoxEh;

// The columns offered in "查找范围": (caption, column) pairs.
using TDBGridEhFindColumnsEh = std::vector<std::pair<std::string, TColumnEh*>>;

class TDBGridEhFindDlg : public TForm {
  RTL_CLASS(TDBGridEhFindDlg, TForm)
 public:
  explicit TDBGridEhFindDlg(TComponent* AOwner);
  ~TDBGridEhFindDlg() override;
  static void DescribeClass(TClassBuilder<TDBGridEhFindDlg>& c);

  // Fills the dialog for Grid (the window height by the data set's tree mode, the text, the
  // columns, the current column) and makes the search start over. Columns nullptr: the grid's
  // visible columns.
  void Prepare(TCustomDBGridEh* Grid, const std::string& Text, const TDBGridEhFindColumnsEh* Columns);
  // One search for the next match (the find button and Enter).
  void Find();

  TCustomDBGridEh* Grid() const { return grid_; }
  bool FirstSearch() const { return firstSearch_; }
  // The window height with the tree-range row (taken when the dialog was made).
  int FullHeight() const { return fullHeight_; }
  // The column of each cbFindIn item; the last ("<All>") has none.
  const std::vector<TColumnEh*>& FindInColumns() const { return findInColumns_; }

  TLabel* lText = nullptr;
  TDBComboBoxEh* cbText = nullptr;
  TLabel* lFindIn = nullptr;
  TDBComboBoxEh* cbFindIn = nullptr;
  TLabel* lMatchinType = nullptr;
  TDBComboBoxEh* cbMatchinType = nullptr;
  TLabel* lFindDirection = nullptr;
  TDBComboBoxEh* cbFindDirection = nullptr;
  TDBCheckBoxEh* cbCharCase = nullptr;
  TDBCheckBoxEh* cbUseFormat = nullptr;
  TLabel* lTreeFindRange = nullptr;
  TDBComboBoxEh* dbcTreeFindRange = nullptr;
  TButton* bFind = nullptr;
  TButton* bCancel = nullptr;

  // Handlers named by the window description.
  void FormCreate(TObject* Sender);
  void bFindClick(TObject* Sender);
  void bCancelClick(TObject* Sender);
  void SearchSettingChange(TObject* Sender);
  void cbFindInChange(TObject* Sender);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // Enter runs Find; Escape closes a non-modal dialog.
  void KeyDown(WORD& Key, TShiftState Shift) override;

 private:
  void FillFindIn(const TDBGridEhFindColumnsEh* Columns);
  void SetGrid(TCustomDBGridEh* Value);
  // Whether the data set offers the in-memory table interface in tree mode.
  bool GridDataSetInTreeMode() const;
  // The column cbFindIn selects, nullptr for none, "<All>" or a column the grid no longer has.
  TColumnEh* SelectedFindInColumn() const;
  bool AllColumnsSelected() const;

  TCustomDBGridEh* grid_ = nullptr;
  int fullHeight_ = 0;
  int fullClientHeight_ = 0;
  bool firstSearch_ = true;
  std::vector<TColumnEh*> findInColumns_;
};

// Opens the program's find dialog for Grid (made on first use, owned by the application): Modal
// waits until it closes; otherwise it stays on top and open between searches.
void ShowFindDialog(TCustomDBGridEh* Grid, const std::string& Text, const TDBGridEhFindColumnsEh* Columns,
                    bool Modal);
// The dialog, nullptr before the first ShowFindDialog and after the application freed it.
TDBGridEhFindDlg* DBGridEhFindDlg();
// Registers the dialog's classes and description and installs ShowFindDialog as the grid unit's
// find-dialog procedure (InitDBGridEhUnit calls it).
void InitDBGridEhFindDlgsUnit();
