#pragma once
// Data and text helpers over fields and Variants that the editors and grids share.
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Variant.h"

// Equality of the grid library: arrays are equal with the same dimension count, bounds and
// elements; Null and Empty are equal to each other and never to a value.
bool VarEquals(const Variant& A, const Variant& B);
// Equal, less, greater or not comparable; Null sorts before any value and equals Null;
// Empty counts as Null; arrays compare element by element.
TVariantRelationship DBVarCompareValues(const Variant& A, const Variant& B);
// Value formatted with FormatStr the way Field would display it: numeric fields by the
// format (currency fields as currency when FormatStr is empty), date and time fields by
// FormatStr or else the locale's short date format; other fields as text.
std::string FormatValueLikeField(const std::string& FormatStr, const Variant& Value, TField* Field);
// Index of the first string that begins with Text, or -1.
int LocateTextInStrings(TStrings* Strings, const std::string& Text, bool CaseInsensitive);
// True when every field can be modified (also for an empty list).
bool FieldsCanModify(const std::vector<TField*>& Fields);
// Appends the fields named in the ";"-separated FieldNames to List (nullptr: only checks);
// an unknown name raises EDatabaseError "Field '%s' not found" for Control (the data set
// when Control is nullptr).
void GetFieldsList(std::vector<TField*>* List, TDataSet* DataSet, TComponent* Control,
                   const std::string& FieldNames);
std::vector<TField*> GetFieldsArray(TDataSet* DataSet, const std::string& FieldNames,
                                    TComponent* Control = nullptr);
// Sets the named fields to Value: a single value for one field, an array with an element per
// field otherwise; Null (or Empty) clears each field. An array that does not match the field
// list raises EInvalidGridOperationEh.
void SetDataSetFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value);
bool IsNumericFieldType(TFieldType FieldType);
