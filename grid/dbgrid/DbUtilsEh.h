#pragma once
// Filter-row texts. The parser reads what a user types into a filter cell (a comparison and a
// value, a quoted list, IN with a list, NULL, two such conditions joined by AND or OR) into a
// TSTFilterExpressionEh; the writer turns the conditions of a grid's columns into the text of a
// data set's Filter, field names in square brackets.
//
// The unit also keeps the feature registry (a feature object knows how to sort, filter and
// search one kind of data set; the grid centre asks it first) and the generic text search that
// walks a grid's records and columns when no feature object searches.
//
// Files: DbUtilsEhParser.cpp (tokens, the parser, clearing), DbUtilsEhFilterText.cpp (literals,
// condition, column and grid texts, the value kind of a column), DbUtilsEhFeatures.cpp (the
// feature base and the registry), DbUtilsEhLocate.cpp (LocateTextInDataSet).
#include <functional>
#include <string>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "platform/db/DB.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Variant.h"

// Default-operator codes (what the centre's DefaultFilterOperatorFor answers): 0 automatic,
// 1 to 10 the operator of that number, then the pattern forms below (like or not like with "%"
// added where the value lacks it).
enum TSTDefaultFilterOperatorEh : int {
  dfoAutomaticEh = 0,
  dfoBeginsWithEh = 11,
  dfoNotBeginsWithEh = 12,
  dfoEndsWithEh = 13,
  dfoNotEndsWithEh = 14,
  dfoContainsEh = 15,
  dfoNotContainsEh = 16
};

// String-table numbers of the localised filter words ("Not", "AND", "OR", "In", "Null"); an
// empty or missing string adds no word.
constexpr int SFilterNotWordIdEh = 65146;
constexpr int SFilterAndWordIdEh = 65147;
constexpr int SFilterOrWordIdEh = 65148;
constexpr int SFilterInWordIdEh = 65149;
constexpr int SFilterNullWordIdEh = 65150;

// The Index-th byte of S counted from 1; '\0' outside 1..size.
char CharAtEh(const std::string& S, int Index);

// Both operators and the relation none, both operands Unassigned; the value kind stays.
void ClearFilterExpression(TSTFilterExpressionEh& Expression);

// Reads one token of Text at Position (1-based), moving Position past it and the blanks after
// an operator or keyword. Kind fopNoneEh at the end and for "("; fopValueEh for a value (Value a
// string; '' is the empty one), fopInEh for a list of several values (Value a Variant array).
// With AllowList a comma separates values. Raises "Quote is absent: " and "'(' expected: " followed by Text.
void ReadFilterToken(const std::string& Text, int& Position, TSTFilterOpEh& Kind, Variant& Value,
                     bool AllowList);

// Parses Text into Expression, whose ValueKind the caller set. Raises Exception with one of
// "Quote is absent: ", "'(' expected: ", "Error in expression: ", "Unexpected expression after
// operator: ", "Unexpected AND or OR: ", "Incorrect expression: ", "Unexpected expression before
// Null: " followed by Text (Expression then holds what was parsed before), or the platform's
// conversion error for a number or date operand.
void ParseFilterExpression(const std::string& Text, TSTFilterExpressionEh& Expression, int DefaultOperator);

// Writes a date-time operand of a filter text; empty: the platform's date-time text in quotes.
using TFilterDateFormatterEh = std::function<std::string(TDateTime Value)>;

// The literal of one operand: a Double always with "." as the decimal separator and no quotes
// (a filter reads no other form); a date-time through DateFormatter; anything else as a string
// with each "'" doubled, in quotes.
std::string QuoteFilterValue(const Variant& Value, const TFilterDateFormatterEh& DateFormatter = {});

// The text of one condition on FieldName, appended to Text; the default condition builder. An
// equal or list condition on the empty text also takes the Nulls, which look the same on screen.
void BuildConditionText(TSTFilterOpEh Operator, const Variant& Operand, const std::string& FieldName,
                        TDataSet* DataSet, const TFilterDateFormatterEh& DateFormatter, bool LikeSupported,
                        bool UseEqualNull, std::string& Text);

using TFilterConditionBuilderEh = std::function<void(
    TSTFilterOpEh Operator, const Variant& Operand, const std::string& FieldName, TDataSet* DataSet,
    const TFilterDateFormatterEh& DateFormatter, bool LikeSupported, bool UseEqualNull, std::string& Text)>;

// The condition text of one column (empty when the column filters nothing); an OR of two parts
// in parentheses.
std::string BuildColumnFilterText(TColumnEh* Column, const TFilterConditionBuilderEh& Builder,
                                  const TFilterDateFormatterEh& DateFormatter, bool UseEqualNull,
                                  bool LikeSupported, bool UseFieldOrigin);

// The filter text of every column of Grid, joined with " AND " (one trailing blank kept); empty
// when no column filters.
void BuildGridFilterText(TCustomDBGridEh* Grid, const TFilterConditionBuilderEh& Builder,
                         const TFilterDateFormatterEh& DateFormatter, std::string& Text, bool UseEqualNull,
                         bool LikeSupported, bool UseFieldOrigin);

// The value kind of a field type, and of a column (string when its KeyList and PickList both
// hold items).
TSTFilterValueKindEh FilterValueKindOf(TFieldType DataType);
TSTFilterValueKindEh FilterValueKindOf(TColumnEh* Column);

// --- data-set features ------------------------------------------------------------------------

// What a kind of data set can do for a grid. Every operation of the base answers what the grid
// centre does without a feature object, so a descendant overrides only what its data set does
// better. The operations come in the order the centre uses them.
class TDataSetFeatureHandlerEh : public TObject {
  RTL_CLASS(TDataSetFeatureHandlerEh, TObject)
 public:
  TDataSetFeatureHandlerEh() = default;
  // The generic search (LocateTextInDataSet).
  virtual bool LocateText(TCustomDBGridEh* Grid, const std::string& FieldName, const std::string& Text,
                          uint8_t Options, int Direction, int Matching);
  // False.
  virtual bool LocateRecord(TCustomDBGridEh* Grid, const std::string& KeyFields, const Variant& KeyValues,
                            uint8_t Options);
  // Nothing.
  virtual void ApplyFilter(TCustomDBGridEh* Grid, TDataSet* DataSet, bool IsReopen);
  virtual void DataSetTextRequest(TDataSet* DataSet, const std::string& Text1, const std::string& Text2,
                                  bool Flag);
  virtual void ApplySorting(TCustomDBGridEh* Grid, TDataSet* DataSet, bool IsReopen);
  // The find dialog with no column.
  virtual void Find(TCustomDBGridEh* Grid, const std::string& Text, bool Modal);
  // The centre's DefaultFillFilterList.
  virtual void FillFilterList(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items);

  // The data-set class served (set by the registration).
  TClass DataSetClass() const { return dataSetClass_; }
  void SetDataSetClass(TClass Value) { dataSetClass_ = Value; }

 private:
  TClass dataSetClass_ = nullptr;
};

// Registers an object of FeaturesClass (made through its class's constructor) for data sets of
// DataSetClass and its descendants, replacing an earlier registration for that class; raises
// when FeaturesClass is no TDataSetFeatureHandlerEh or has no constructor.
void RegisterDatasetFeaturesEh(TClass FeaturesClass, TClass DataSetClass);
// Removes and frees the registration for DataSetClass; nothing when there is none.
void UnregisterDatasetFeaturesEh(TClass DataSetClass);
// The feature object whose class is the nearest ancestor of the data set's class (names compared
// upper-cased; the first on a tie), or nullptr.
TDataSetFeatureHandlerEh* GetDataSetFeatures(TDataSet* DataSet);
TDataSetFeatureHandlerEh* GetDataSetFeatures(TClass DataSetClass);
// Made by InitDBGridEhUnit and freed, objects first, by FinalizeDBGridEhUnit.
void CreateDataSetFeaturesRegistry();
void FreeDataSetFeaturesRegistry();

// --- the generic text search --------------------------------------------------------------------

// Walks the records (and with ltoAllFieldsEh the columns) of Grid from its current cell for the
// next cell whose text matches Text (see the ltoXXX, ltdXXX and ltmXXX constants of the centre);
// wraps once. True: the record and the grid's column are the match's. False (no match, or Escape
// with ltoStopOnEscapeEh): the record is the one the search started on.
bool LocateTextInDataSet(TCustomDBGridEh* Grid, const std::string& FieldName, const std::string& Text,
                         uint8_t Options, int Direction, int Matching);
