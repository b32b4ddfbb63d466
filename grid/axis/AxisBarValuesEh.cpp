// The value side of a column: the kind of cell it shows, the texts, image index and check-box
// state of the grid's current record, writing an edit back, stepping a value and narrowing a
// lookup list to the typed text.
#include <cmath>
#include <string>
#include <vector>

#include "grid/axis/AxisBarEh.h"
#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "grid/foundation/InplaceEditEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"

namespace axis_bar_values_detail {

// The field types a column treats as numbers: shown as image indexes, ticked at 1, stepped.
bool IsNumberType(TFieldType T) {
  switch (T) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
      return true;
    default:
      return false;
  }
}

bool IsWholeNumberType(TFieldType T) {
  return T == ftSmallint || T == ftInteger || T == ftWord || T == ftLargeint;
}

bool IsMemoType(TFieldType T) {
  return T == ftMemo || T == ftOraClob;
}

bool HasItems(TStrings* List) {
  return List && List->Count() > 0;
}

// Variants of different kinds may not compare (text with numbers): they are then unequal.
bool SameKey(const Variant& A, const Variant& B) {
  try {
    return VariantsEqual(A, B);
  } catch (const Exception&) {
    return false;
  }
}

// The values of one check-box line of KeyList, ";"-separated. A line ending in ";" (or an empty
// line) also holds the empty text.
bool LineHolds(const std::string& Line, const std::string& Text, bool CaseSensitive) {
  if (Line.empty() || Line.back() == ';') {
    if (Text.empty()) return true;
  }
  size_t pos = 0;
  while (pos <= Line.size()) {
    const size_t next = Line.find(';', pos);
    const std::string value = Line.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
    if (CaseSensitive ? value == Text : AnsiSameText(value, Text)) return true;
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return false;
}

// The first value of a line: what a check box writes for it.
std::string FirstValueOf(const std::string& Line) {
  const size_t semi = Line.find(';');
  return semi == std::string::npos ? Line : Line.substr(0, semi);
}

bool ListCaseSensitive(TStrings* List) {
  auto* sl = dynamic_cast<TStringList*>(List);
  return sl && sl->CaseSensitive();
}

// Keeps a typed text inside what a filter can quote: no key value holds more characters than a
// string field, so further characters cannot narrow the list any more in practice, and the
// doubled text stays far below the length a filter text may have.
std::string BoundFilterText(const std::string& Text) {
  size_t bytes = 0;
  int chars = 0;
  while (bytes < Text.size() && chars < dsMaxStringSize) {
    bytes += static_cast<size_t>(Utf8CharLength(Text, bytes));
    ++chars;
  }
  return Text.substr(0, std::min(bytes, Text.size()));
}

std::string QuoteFilterLiteral(const std::string& Text) {
  std::string r;
  r.reserve(Text.size() + 2);
  r += '\'';
  for (char c : Text) {
    r += c;
    if (c == '\'') r += '\'';
  }
  r += '\'';
  return r;
}

}  // namespace axis_bar_values_detail

using namespace axis_bar_values_detail;

std::vector<TField*> TAxisBarEh::LookupKeyFieldList(TField* Field) {
  std::vector<TField*> keys;
  if (!Field || !Field->DataSet()) return keys;
  const std::string& names = Field->KeyFields();
  size_t pos = 0;
  while (pos <= names.size()) {
    const size_t next = names.find(';', pos);
    const std::string name =
        Trim(names.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
    if (!name.empty()) {
      TField* key = Field->DataSet()->FindField(name);
      if (!key) return {};
      keys.push_back(key);
    }
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return keys;
}

TAxisBarKindEh TAxisBarEh::GetColumnType() {
  if (Checkboxes()) return abkCheckboxesEh;
  TField* field = GetField();
  TCustomDBAxisGridEh* grid = GetGrid();
  if (field && grid && grid->DrawGraphicData()) {
    auto* blob = dynamic_cast<TBlobField*>(field);
    if (blob && blob->BlobType() == ftGraphic) return abkGraphicEh;
  }
  if (field && field->FieldKind() == fkLookup) return abkLookupEh;
  if (HasPickListItems() && !HasKeyListItems()) return abkPickListEh;
  if (ImageList() && !ShowImageAndText()) return abkImageListEh;
  if (HasKeyListItems() && HasPickListItems()) return abkKeyPickListEh;
  return abkTextEh;
}

std::string TAxisBarEh::GetDisplayText() {
  TField* field = GetField();
  if (!field) return {};
  // Asked for every shown cell: the kind is worked out once.
  const TAxisBarKindEh kind = GetColumnType();
  if (kind == abkImageListEh) return {};
  if (HasKeyListItems()) {
    TStrings* picks = PickList();
    const int i = KeyList()->IndexOf(field->Text());
    if (i >= 0 && i < picks->Count()) return picks->Strings(i);
    const int n = NotInKeyListIndex();
    if (n >= 0 && n < picks->Count()) return picks->Strings(n);
    return {};
  }
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && grid->DrawMemoText() && IsMemoType(field->DataType())) return field->AsString();
  TSpecRowEh* specialRow = DropDownSpecRow();
  if (kind == abkLookupEh && specialRow->Visible() && field->DataSet()->Active() &&
      !LookupKeyFieldList(field).empty()) {
    const Variant key = field->DataSet()->FieldValues(field->KeyFields());
    if (SameKey(key, specialRow->Value()) || (specialRow->ShowIfNotInKeyList() && key.IsNull()))
      return specialRow->GetCellText(0);
  }
  return FormatDisplayValue(field, DisplayFormat());
}

std::string TAxisBarEh::FormatDisplayValue(TField* Field, const std::string& Format) {
  if (!Field) return {};
  if (Format.empty()) return Field->DisplayText();
  if (Field->IsNull()) return {};
  if (dynamic_cast<TNumericField*>(Field)) return FormatFloat(Format, Field->AsFloat());
  if (dynamic_cast<TDateTimeField*>(Field) || dynamic_cast<TSQLTimeStampField*>(Field)) {
    std::string text;
    DateTimeToString(text, Format, Field->AsDateTime());
    return text;
  }
  return {};
}

std::string TAxisBarEh::GetEditText() {
  TField* field = GetField();
  if (!field) return {};
  if (HasKeyListItems()) return GetDisplayText();
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && grid->DrawMemoText() && IsMemoType(field->DataType())) return field->AsString();
  if (GetColumnType() == abkLookupEh) return GetDisplayText();
  return field->Text();
}

int TAxisBarEh::GetImageIndex() {
  TField* field = GetField();
  if (!field) return -1;
  int result = -1;
  if (HasKeyListItems())
    result = KeyList()->IndexOf(field->Text());
  else if (HasPickListItems())
    result = PickList()->IndexOf(field->Text());
  else if (IsNumberType(field->DataType()))
    result = GetFieldAsInteger(field, -1);
  return result == -1 ? NotInKeyListIndex() : result;
}

TCheckBoxState TAxisBarEh::GetCheckboxState() {
  TField* field = GetField();
  if (!field) return cbUnchecked;
  const bool keys = HasKeyListItems();
  if (!keys && field->DataType() == ftBoolean) {
    if (field->IsNull()) return cbGrayed;
    return field->AsBoolean() ? cbChecked : cbUnchecked;
  }
  if (!keys && IsNumberType(field->DataType())) {
    if (field->IsNull()) return cbGrayed;
    return field->AsFloat() == 1.0 ? cbChecked : cbUnchecked;
  }
  if (!keys) return cbGrayed;
  TStrings* list = KeyList();
  const bool cs = ListCaseSensitive(list);
  const std::string text = field->Text();
  if (LineHolds(list->Strings(0), text, cs)) return cbChecked;
  if (list->Count() >= 2 && LineHolds(list->Strings(1), text, cs)) return cbUnchecked;
  return cbGrayed;
}

void TAxisBarEh::SetCheckboxState(TCheckBoxState State) {
  TField* field = GetField();
  if (State == cbGrayed) {
    UpdateData(std::string(), Variant::Null(), false);
    return;
  }
  const bool checked = State == cbChecked;
  const bool keys = HasKeyListItems();
  if (field && !keys && field->DataType() == ftBoolean) {
    UpdateData(std::string(), Variant(checked), false);
    return;
  }
  if (field && !keys && IsNumberType(field->DataType())) {
    UpdateData(std::string(), Variant(checked ? 1 : 0), false);
    return;
  }
  const int line = checked ? 0 : 1;
  std::string text;
  if (keys && line < KeyList()->Count()) text = FirstValueOf(KeyList()->Strings(line));
  UpdateData(text, Variant(text), true);
}

void TAxisBarEh::UpdateData(const std::string& Text, const Variant& Value, bool UseText) {
  TCustomDBAxisGridEh* grid = GetGrid();
  {
    TAxisGridDataLinkEh* link = grid ? grid->DataLink() : nullptr;
    // Only the outermost write owns the flag: a nested one must not clear it early.
    const bool ownsFlag = link && !link->InUpdateData();
    if (ownsFlag) link->SetInUpdateData(true);
    TScopeExit clearFlag([&] {
      if (ownsFlag) link->SetInUpdateData(false);
    });

    auto write = [&](const std::string& text, const Variant& value, bool useText) {
      TField* field = GetField();
      if (!field) return;
      if (!useText) {
        if (field->FieldKind() == fkLookup && !field->KeyFields().empty())
          field->DataSet()->SetFieldValues(field->KeyFields(), value);
        else
          field->SetValue(value);
      } else if (grid && grid->DrawMemoText() && IsMemoType(field->DataType())) {
        field->SetAsString(text);
      } else {
        field->SetText(text);
      }
    };
    if (OnUpdateData) {
      // The handler may change what is written: it gets copies.
      std::string text = Text;
      Variant value = Value;
      bool useText = UseText;
      bool handled = false;
      OnUpdateData(this, text, value, useText, handled);
      if (!handled) write(text, value, useText);
    } else {
      write(Text, Value, UseText);
    }
  }
  TMRUListEh* mru = MRUList();
  if (grid && mru && mru->Active() && mru->AutoAdd() && grid->IsInplaceEditorVisible() &&
      grid->InplaceEditor() && grid->InplaceEditor()->Showing())
    mru->Add(grid->InplaceEditor()->Text());
}

bool TAxisBarEh::CanModify(bool TryEdit) {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisGridDataLinkEh* link = grid ? grid->DataLink() : nullptr;
  bool allowed = !grid || (!grid->ReadOnly() && link->Active() && !link->ReadOnly());
  allowed = allowed && !ReadOnly();

  TField* field = GetField();
  if (!field) return false;
  TField* target = field;
  if (field->FieldKind() == fkLookup) {
    const std::vector<TField*> keys = LookupKeyFieldList(field);
    if (keys.empty()) return false;
    for (TField* key : keys)
      if (!key->CanModify()) return false;
    target = keys.front();
  }
  if (!target->CanModify()) return false;
  if (target->IsBlob() && !target->OnSetText &&
      !(grid && grid->DrawMemoText() && IsMemoType(target->DataType())))
    return false;
  if (grid && !grid->CanUpdateByAllowedOperations()) return false;

  bool result = allowed;
  // Working out a cell's display parameters costs more than the rest of the answer: only
  // when a handler may turn ReadOnly over.
  if (TAxisColCellParamsEh* params = grid && ChangesColCellParams() ? ColCellParams() : nullptr) {
    FillColCellParams(params);
    params->ReadOnly = !allowed;
    const TLivenessWatch watch = grid->Watch();  // the handler may free the grid and this column
    GetColCellParams(params);
    if (watch.Gone()) return false;
    result = !params->ReadOnly;
  }
  if (TryEdit && result) {
    if (link) {
      link->Edit();
      result = link->Editing();
    } else {
      // A column outside a grid edits its field's data set itself.
      TDataSet* ds = target->DataSet();
      if (ds->Active() && ds->State() != dsEdit && ds->State() != dsInsert) ds->Edit();
      result = ds->State() == dsEdit || ds->State() == dsInsert;
    }
  }
  return result;
}

void TAxisBarEh::FillColCellParams(TAxisColCellParamsEh* Params) {
  if (!Params) return;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid) grid->GetCellOfAxisBar(this, Params->Col, Params->Row);
  Params->BlankCell = false;
  if (grid) Params->Font = grid->Canvas()->Font();
  Params->Background = Color();
  Params->Alignment = Alignment();
  Params->ImageIndex = GetImageIndex();
  Params->Text = GetDisplayText();
  Params->CheckState = GetCheckboxState();
  Params->ReadOnly = ReadOnly();
  Params->TextEditing = TextEditing();
  Params->ProcessedByEvent = false;
}

void TAxisBarEh::SetNextFieldValue(long double Step) {
  if (!CanModify(true)) return;
  TField* field = GetField();
  const TAxisBarKindEh kind = GetColumnType();

  if (kind == abkCheckboxesEh) {
    SetCheckboxState(GetCheckboxState() == cbChecked ? cbUnchecked : cbChecked);
    return;
  }

  if (kind == abkPickListEh || kind == abkKeyPickListEh || kind == abkImageListEh) {
    TStrings* list = kind == abkPickListEh ? PickList() : (HasKeyListItems() ? KeyList() : nullptr);
    if (HasItems(list)) {
      const int count = list->Count();
      const int i = list->IndexOf(field->Text());
      int next;
      if (Step == 1.0L)
        next = i < 0 || i >= count - 1 ? 0 : i + 1;
      else
        next = i <= 0 ? count - 1 : i - 1;
      const std::string text = list->Strings(next);
      UpdateData(text, Variant(text), true);
      return;
    }
    // An image column without a KeyList shows the number itself: step it as a number.
  }

  if (kind == abkLookupEh) {
    TDataSet* list = GetListDataSet();
    if (!list || !list->Active() || field->KeyFields().empty() || field->LookupKeyFields().empty()) return;
    const Variant key = field->DataSet()->FieldValues(field->KeyFields());
    if (list->Locate(field->LookupKeyFields(), key, {})) {
      if (Step == 1.0L) {
        list->Next();
        if (list->Eof()) list->First();
      } else {
        list->Prior();
        if (list->Bof()) list->Last();
      }
    } else {
      list->First();
    }
    if (list->IsEmpty()) return;
    // The data set works the lookup field's value out again from the new key.
    UpdateData(std::string(), list->FieldValues(field->LookupKeyFields()), false);
    return;
  }

  if (field->DataType() == ftBoolean) {
    // A Boolean shown as text steps by turning over, as its check box would.
    UpdateData(std::string(), Variant(field->IsNull() || !field->AsBoolean()), false);
    return;
  }
  if (!IsNumberType(field->DataType())) return;
  if (IsWholeNumberType(field->DataType()) && Step == std::trunc(Step) && std::fabs(Step) < 1e18L) {
    // Whole steps of whole numbers stay exact; past the 64-bit range the float path below
    // hands the field a value it refuses with its own range error.
    const Int64 base = field->IsNull() ? 0 : field->AsLargeInt();
    Int64 sum = 0;
    if (!__builtin_add_overflow(base, static_cast<Int64>(Step), &sum)) {
      UpdateData(std::string(), Variant(sum), false);
      return;
    }
  }
  const double base = field->IsNull() ? 0.0 : field->AsFloat();
  UpdateData(std::string(), Variant(static_cast<double>(base + Step)), false);
}

TDataSet* TAxisBarEh::GetListDataSet() {
  TField* field = GetField();
  if (!field) return nullptr;
  if (TDataSource* source = DropDownBox()->ListSource()) return source->DataSet();
  return field->LookupDataSet();
}

bool TAxisBarEh::IsValidChar(char32_t Ch) {
  TField* field = GetField();
  if (!field) return static_cast<bool>(OnUpdateData);
  if (HasKeyListItems()) return true;
  return field->IsValidChar(Ch);
}

std::string TAxisBarEh::FilterInvalidChars(const std::string& Text) {
  std::string result;
  result.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    char32_t ch;
    int len;
    // A byte that starts no character is no character either: it is dropped.
    const bool valid = Utf8Decode(Text, i, ch, len);
    if (valid && IsValidChar(ch)) result.append(Text, i, static_cast<size_t>(len));
    i += static_cast<size_t>(len);
  }
  return result;
}

std::string TAxisBarEh::GetEditorEditMask() {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && !grid->DataLink()->Active()) return {};
  if (!EditMask().empty()) return EditMask();
  TField* field = GetField();
  if (field && !HasKeyListItems()) return field->EditMask();
  return {};
}

int TAxisBarEh::GetEditButtonsWidth() {
  TCustomDBAxisGridEh* grid = GetGrid();
  const bool flatNoThemes = grid && grid->Flat() && !ThemesEnabled();
  int defaultWidth;
  if (grid && grid->Flat())
    defaultWidth = FlatButtonWidth() + (flatNoThemes ? 1 : 0);
  else
    defaultWidth = GetSystemMetrics(SM_CXVSCROLL);
  int width = 0;
  if (GetCellButtonStyle() != esSimpleEh) width += defaultWidth;
  TEditButtonsEh* buttons = EditButtons();
  for (int i = 0; i < buttons->Count(); ++i) {
    TEditButtonEh* b = buttons->Items(i);
    if (!b->Visible()) continue;
    width += (b->Width() > 0 ? b->Width() : defaultWidth) + (flatNoThemes ? 1 : 0);
  }
  return width;
}

bool TAxisBarEh::IsWordWrapEffective(int RowHeight) {
  if (!WordWrap()) return false;
  TEXTMETRIC tm{};
  HDC dc = GetDC(nullptr);
  TScopeExit release([&] { ReleaseDC(nullptr, dc); });
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  TCustomDBAxisGridEh* grid = GetGrid();
  const int line =
      tm.tmHeight + tm.tmInternalLeading + tm.tmExternalLeading + (grid ? grid->CellTextMargin() : 0);
  return line < RowHeight;
}

bool TAxisBarEh::UseRightToLeftAlignment() {
  TField* field = GetField();
  return BiDiMode() == bdRightToLeft && field && OkToChangeFieldAlignment(field, Alignment());
}

bool TAxisBarEh::UseRightToLeftReading() {
  return SysLocale().MiddleEast && BiDiMode() != bdLeftToRight;
}

bool TAxisBarEh::UseRightToLeftScrollBar() {
  const TBiDiMode mode = BiDiMode();
  return mode == bdRightToLeft || mode == bdRightToLeftNoAlign;
}

void TAxisBarEh::ApplyListSourceAutoFilter(TDataSet* ListDataSet, const std::string& KeyFieldName,
                                           const std::string& Text, bool Contains) {
  if (!ListDataSet) return;
  if (Text.empty()) {
    ListDataSet->SetFilter(std::string());
    return;
  }
  const std::string wildcard = DropDownBox()->GetListSourceWildcard(ListDataSet);
  // The typed text is only ever a quoted literal, so no text can change the expression;
  // wildcards typed into it still match as wildcards.
  const std::string pattern = (Contains ? wildcard : std::string()) + BoundFilterText(Text) + wildcard;
  ListDataSet->SetFilter("[" + KeyFieldName + "] like " + QuoteFilterLiteral(pattern));
  ListDataSet->SetFiltered(true);
}

bool TAxisBarEh::IsEditableDataBar() {
  if (!Visible() || ReadOnly()) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && !grid->DataLink()->Active()) return false;
  TField* field = GetField();
  return field && field->FieldKind() != fkCalculated && !FieldIsReadOnly(field);
}
