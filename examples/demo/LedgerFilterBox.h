#pragma once
// The ledger detail's filter box: a column chooser and an edit taking a condition in the data
// grid's filter-row language (a comparison, a range joined by AND, a like pattern, an In list),
// written into the ledger's Filter so that every window over the ledger shows the matching
// entries. Enter applies the condition, Escape empties it and shows every entry again, and a
// new column applies the condition to that column. The line below the grid tells how many
// entries match, or why a condition cannot be read.
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/vcl/StdCtrls.h"

class TCustomDBAxisGridEh;
class TAxisBarEh;

// The Filter text for Condition on Field ("" for an empty condition). The operand type comes
// from the field's type, dates are written as the in-memory data set's filter reads them, and a
// value typed as the column shows it (an entry of PickList) stands for the key at the same place
// of KeyList. Raises the parser's error for a malformed condition and the platform's conversion
// error for an operand of the wrong type.
std::string LedgerFilterText(TField* Field, const std::string& Condition, TStrings* KeyList = nullptr,
                             TStrings* PickList = nullptr);

class TLedgerFilterBox : public TComponent {
  RTL_CLASS(TLedgerFilterBox, TComponent)
 public:
  // Places the caption, the chooser ("FilterColumn") and the edit ("FilterCondition") on
  // BoxParent and the message line ("FilterMessage") on MessageParent at MessageLeft; the
  // chooser offers the grid's columns that show a field's value and have a title.
  TLedgerFilterBox(TComponent* AOwner, TCustomDBAxisGridEh* Grid, TWinControl* BoxParent,
                   TWinControl* MessageParent, int MessageLeft);

  // Writes the edit's condition for the chosen column into the ledger's Filter (an empty one
  // switches Filtered off) and says how many entries match; a condition that cannot be read
  // or that the data set refuses leaves the Filter as it was and shows why.
  void Apply();

  TComboBox* ColumnChooser() const { return chooser_; }
  TEdit* ConditionEdit() const { return edit_; }
  TLabel* MessageLine() const { return message_; }
  // The column chosen, nullptr when none is.
  TAxisBarEh* ChosenColumn();

 private:
  // The message line; an error shows in red.
  void Say(const std::string& Text, bool IsError);

  TCustomDBAxisGridEh* grid_ = nullptr;
  std::vector<TAxisBarEh*> columns_;  // the chooser's entries, in its order
  TComboBox* chooser_ = nullptr;
  TEdit* edit_ = nullptr;
  TLabel* message_ = nullptr;
};
