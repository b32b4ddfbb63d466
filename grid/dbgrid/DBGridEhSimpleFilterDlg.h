#pragma once
// The "Custom filter" dialog of a filter list's "(Custom...)" entry: a column's condition shown
// as two rows (an operator and a value each) joined by And or Or, written back on OK as the
// column's filter text. The window comes from its description; one instance, owned by the
// application, serves every call (ShowSimpleFilterDialog, declared in DBGridEhFilterListItems.h).
//
// A value the user types is written so that the filter parser reads it back as typed: it goes
// in quotes (inner quotes doubled, a pattern's "%" inside) wherever it would read otherwise, and
// a value already in proper quotes is taken as it stands.
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/vcl/Forms.h"

class TComboBox;
class TEdit;
class TRadioButton;
class TButton;
class TDBComboBoxEh;

// The operator codes of the dialog's rows (each operator item carries its code as its object).
enum TSimpleFilterOperatorEh : int {
  sfoNoneEh = 0,
  sfoEqualEh = 1,
  sfoNotEqualEh = 2,
  sfoGreaterEh = 3,
  sfoGreaterOrEqualEh = 4,
  sfoLessEh = 5,
  sfoLessOrEqualEh = 6,
  sfoBeginsWithEh = 7,
  sfoNotBeginsWithEh = 8,
  sfoEndsWithEh = 9,
  sfoNotEndsWithEh = 10,
  sfoContainsEh = 11,
  sfoNotContainsEh = 12,
  sfoLikeEh = 13,
  sfoNotLikeEh = 14,
  sfoInListEh = 15,
  sfoNotInListEh = 16,
  sfoBlankEh = 17,
  sfoNotBlankEh = 18
};
constexpr int kSimpleFilterOperatorCountEh = 19;

// The caption of an operator code's item ("" for none and unknown codes).
std::string SimpleFilterOperatorCaption(int Code);
// The codes a column of Kind offers, in code order (patterns only for text-like columns).
std::vector<int> SimpleFilterOperatorsFor(TSTFilterValueKindEh Kind, bool HasField);
// One row's condition text: the operator, then the value written as the parser reads it back
// ("" for code 0 with no value).
std::string SimpleFilterConditionText(int Code, const std::string& Value, TSTFilterValueKindEh Kind);
// The filter text of both rows: either alone when the other is empty, else joined by AND or OR.
std::string SimpleFilterText(const std::string& Row1, const std::string& Row2, bool UseOr);

class TDBGridEhSimpleFilterDialog : public TForm {
  RTL_CLASS(TDBGridEhSimpleFilterDialog, TForm)
 public:
  explicit TDBGridEhSimpleFilterDialog(TComponent* AOwner);
  ~TDBGridEhSimpleFilterDialog() override;
  static void DescribeClass(TClassBuilder<TDBGridEhSimpleFilterDialog>& c);
  // Registers the class, the editors it holds and its window description.
  static void RegisterForStreaming();

  // Binds the dialog to Column and loads every control from its condition.
  void Init(TColumnEh* Column);
  // What OK does: the rows become the column's new filter text (which parses it).
  void SetFilterFromRows();
  TColumnEh* Column() const { return column_; }

  // The operator code of a row's chosen item (0 when none is chosen).
  static int SelectedCode(TComboBox* Box);

  TComboBox* ComboBox1 = nullptr;
  TComboBox* ComboBox2 = nullptr;
  TDBComboBoxEh* DBComboBoxEh1 = nullptr;
  TDBComboBoxEh* DBComboBoxEh2 = nullptr;
  TEdit* Edit1 = nullptr;
  TEdit* Edit2 = nullptr;
  TRadioButton* rbAnd = nullptr;
  TRadioButton* rbOr = nullptr;
  TButton* bOk = nullptr;
  TButton* bCancel = nullptr;

 private:
  void FormCreate(TObject* Sender);
  void FillOperators(TComboBox* Box, TSTFilterValueKindEh Kind, bool HasField);
  void PrepareValueEditor(TDBComboBoxEh* Editor, TEdit* Marker);
  void SetRow(TComboBox* Box, TDBComboBoxEh* Editor, TSTFilterOpEh Operator, const Variant& Operand);

  TColumnEh* column_ = nullptr;
};
