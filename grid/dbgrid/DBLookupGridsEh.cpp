// The lookup grid's core: its data link, columns and special cells, the data-field and list-field
// resolution, the chosen key and the special row, the keyboard and the type-ahead search.
#include "grid/dbgrid/DBLookupGridsEh.h"

#include <algorithm>

#include "grid/data/DataRoutinesEh.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TLookupGridDataLinkEh)
RTL_IMPLEMENT_CLASS(TGridColumnSpecCellEh)
RTL_IMPLEMENT_CLASS(TDBLookupGridColumnEh)
RTL_IMPLEMENT_CLASS(TDBLookupGridColumnDefValuesEh)
RTL_IMPLEMENT_CLASS(TDBLookupGridEh)

namespace lookup_grid_detail {

// Shared by every lookup grid: a pause after any grid's last key starts a new search text.
uint32_t lastSearchKeyTick = 0;

std::string JoinFieldNames(const std::vector<TField*>& Fields) {
  std::string names;
  for (TField* f : Fields) names += (names.empty() ? "" : ";") + f->FieldName();
  return names;
}

bool IsLookupField(const std::vector<TField*>& Fields) {
  return Fields.size() == 1 && Fields[0]->FieldKind() == fkLookup;
}

bool IsSearchableField(const TField* Field) {
  if (!Field) return false;
  const TFieldKind kind = Field->FieldKind();
  if (kind != fkData && kind != fkCalculated && kind != fkInternalCalc) return false;
  return Field->DataType() == ftString || Field->DataType() == ftWideString;
}

}  // namespace lookup_grid_detail

using namespace lookup_grid_detail;

// --- TLookupGridDataLinkEh -------------------------------------------------------------------------

void TLookupGridDataLinkEh::ActiveChanged() {
  grid_->UpdateDataFields();
}

void TLookupGridDataLinkEh::LayoutChanged() {
  grid_->UpdateDataFields();
}

void TLookupGridDataLinkEh::FocusControl(TField*& Field) {
  if (!Field || grid_->DataFields().empty() || Field != grid_->DataFields()[0]) return;
  if (!grid_->CanFocus()) return;
  Field = nullptr;
  grid_->SetFocus();
}

void TLookupGridDataLinkEh::RecordChanged(TField* Field) {
  const std::vector<TField*>& masters = grid_->MasterFields();
  if (Field && std::find(masters.begin(), masters.end(), Field) == masters.end()) return;
  if (masters.empty()) {
    grid_->SetKeyValue(Null());
    return;
  }
  grid_->SetKeyValue(DataSet()->FieldValues(grid_->MasterFieldNames()));
}

// --- TGridColumnSpecCellEh ------------------------------------------------------------------------

TGridColumnSpecCellEh::TGridColumnSpecCellEh(TDBLookupGridColumnEh* AOwner)
    : column_(AOwner), font_(std::make_unique<TFont>()) {
  font_->OnChange = TNotifyEvent::Method(this, &TGridColumnSpecCellEh::FontChanged);
}

TGridColumnSpecCellEh::~TGridColumnSpecCellEh() {
  font_->OnChange = nullptr;
}

TPersistent* TGridColumnSpecCellEh::GetOwner() {
  return column_;
}

TSpecRowEh* TGridColumnSpecCellEh::GridSpecRow() const {
  TDBLookupGridEh* grid = column_ ? column_->LookupGrid() : nullptr;
  return grid ? grid->SpecRow() : nullptr;
}

std::string TGridColumnSpecCellEh::Text() const {
  if (textAssigned_) return text_;
  TSpecRowEh* row = GridSpecRow();
  return row ? row->GetCellText(column_->Index()) : "";
}

void TGridColumnSpecCellEh::SetText(const std::string& Value) {
  if (textAssigned_ && Value == text_) return;
  text_ = Value;
  textAssigned_ = true;
}

TColor TGridColumnSpecCellEh::Color() const {
  if (colorAssigned_) return color_;
  TSpecRowEh* row = GridSpecRow();
  return row ? row->Color() : clWindow;
}

void TGridColumnSpecCellEh::SetColor(TColor Value) {
  if (colorAssigned_ && Value == color_) return;
  color_ = Value;
  colorAssigned_ = true;
}

TFont* TGridColumnSpecCellEh::Font() {
  TSpecRowEh* row = GridSpecRow();
  if (!fontAssigned_ && row && row->Font()->Handle() != font_->Handle()) {
    // Follows the special row's font; the copy is not an assignment of our own.
    TValueRestorer<bool> refreshing(refreshingFont_, true);
    font_->Assign(row->Font());
  }
  return font_.get();
}

void TGridColumnSpecCellEh::SetFont(TFont* Value) {
  font_->Assign(Value);
}

void TGridColumnSpecCellEh::FontChanged(TObject*) {
  if (!refreshingFont_) fontAssigned_ = true;
}

void TGridColumnSpecCellEh::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TGridColumnSpecCellEh*>(Source);
  if (!other) {
    inherited::Assign(Source);
    return;
  }
  SetText(other->Text());
  SetColor(other->Color());
  if (other->fontAssigned_) SetFont(other->Font());
}

// --- TDBLookupGridColumnEh ------------------------------------------------------------------------

TDBLookupGridColumnEh::TDBLookupGridColumnEh(TCollection* Collection)
    : TColumnEh(Collection), specCell_(std::make_unique<TGridColumnSpecCellEh>(this)) {}

TDBLookupGridColumnEh::~TDBLookupGridColumnEh() = default;

TDBLookupGridEh* TDBLookupGridColumnEh::LookupGrid() const {
  return dynamic_cast<TDBLookupGridEh*>(Grid());
}

void TDBLookupGridColumnEh::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* other = dynamic_cast<TDBLookupGridColumnEh*>(Source)) specCell_->Assign(other->SpecCell());
}

void TDBLookupGridColumnEh::SetIndex(int Value) {
  TDBLookupGridEh* grid = LookupGrid();
  const int from = Index();
  // Columns the grid rebuilds itself (inside an internal change) keep the index and texts as set.
  if (!grid || !grid->ListActive() || grid->IsInternalChange() || Value == from || Value < 0 ||
      Value >= Collection()->Count()) {
    inherited::SetIndex(Value);
    return;
  }
  // The list-field index stays on the column it named.
  int listIndex = grid->ListFieldIndex();
  if (listIndex == from)
    listIndex = Value;
  else if (from < listIndex && Value >= listIndex)
    --listIndex;
  else if (from > listIndex && Value <= listIndex)
    ++listIndex;
  // The special row's texts follow their columns.
  std::vector<std::string> texts;
  auto* columns = grid->Columns();
  for (int i = 0; i < columns->Count(); ++i)
    texts.push_back(static_cast<TDBLookupGridColumnEh*>(columns->Items(i))->SpecCell()->Text());
  const std::string moved = texts[from];
  texts.erase(texts.begin() + from);
  texts.insert(texts.begin() + Value, moved);
  std::string cells;
  for (size_t i = 0; i < texts.size(); ++i) cells += (i ? ";" : "") + texts[i];
  grid->SpecRow()->SetCellsText(cells);
  grid->SetListFieldIndex(listIndex);
  {
    TDBLookupGridEh::TInternalChangeScope quiet(grid);
    inherited::SetIndex(Value);
  }
}

TDBLookupGridColumnDefValuesEh::TDBLookupGridColumnDefValuesEh(TCustomDBAxisGridEh* AGrid)
    : TColumnDefValuesEh(AGrid) {
  SetEndEllipsis(false);
  SetToolTips(false);
}

// --- TDBLookupGridEh: construction ---------------------------------------------------------------

TDBLookupGridEh::TDBLookupGridEh(TComponent* AOwner) : TCustomDBGridEh(AOwner) {
  isLookupGrid_ = true;
  TControlStyle style = ControlStyle();
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetParentColor(false);
  listDataSource_ = std::make_unique<TDataSource>(nullptr);
  dataFieldLink_ = std::make_unique<TLookupGridDataLinkEh>(this);
  listFields_ = std::make_unique<TList>();
  keyValue_ = Null();
  specRow_ = std::make_unique<TSpecRowEh>(this);
  specRow_->OnChanged = TNotifyEvent::Method(this, &TDBLookupGridEh::SpecRowChanged);
  TCustomDBGridEh::SetOptions(TDBGridOptions{dgColLines, dgRowSelect});
  TDBGridEhOptions optionsEh = OptionsEh();
  optionsEh.Include(dghTraceColSizing);
  SetOptionsEh(optionsEh);
  lookupOptions_ = TDBLookupGridEhOptions{dlgColLinesEh};
  SetFlat(true);
  SetDrawMemoText(true);
  SetTabStop(false);
  highlightTextParams_ = std::make_unique<TGridHighlightTextParamsEh>();
}

TDBLookupGridEh::~TDBLookupGridEh() {
  specRow_->OnChanged = nullptr;
  dataFieldLink_->SetDataSourceFixed(false);
  dataFieldLink_->SetDataSource(nullptr);
  // The list link lets go of the own list source while the grid is still whole.
  if (DataLink()->DataSource() == listDataSource_.get()) {
    DataLink()->SetDataSourceFixed(false);
    DataLink()->SetDataSource(nullptr);
  }
}

TAxisBarDefValuesEh* TDBLookupGridEh::CreateAxisBarDefValues() {
  return new TDBLookupGridColumnDefValuesEh(this);
}

TGridAxisBarsEh* TDBLookupGridEh::CreateAxisBars() {
  return new TDBGridColumnsEh(this, TDBLookupGridColumnEh::StaticClass());
}

void TDBLookupGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && dataFieldLink_ && AComponent == dataFieldLink_->DataSource())
    dataFieldLink_->SetDataSource(nullptr);
}

// --- answers ---------------------------------------------------------------------------------------

bool TDBLookupGridEh::CanModify() {
  if (!listActive_ || ReadOnly()) return false;
  if (!dataFieldLink_->Active()) return true;
  if (dataFieldLink_->ReadOnly()) return false;
  return std::all_of(masterFields_.begin(), masterFields_.end(), [](TField* f) { return f->CanModify(); });
}

bool TDBLookupGridEh::IsListItemValid(const std::vector<TField*>&) {
  return true;
}

bool TDBLookupGridEh::IsInternalChange() {
  return internalChangeCount_ > 0;
}

// --- data side -------------------------------------------------------------------------------------

void TDBLookupGridEh::CheckNotCircular() {
  TDataSet* list = ListSource() ? ListSource()->DataSet() : nullptr;
  if (list && dataFieldLink_->DataSource() && list->IsLinkedTo(dataFieldLink_->DataSource()))
    DatabaseError(SCircularDataLink);
}

void TDBLookupGridEh::CheckNotLookup() {
  if (lookupMode_) DatabaseError(SPropDefByLookup);
}

void TDBLookupGridEh::SetDataFieldName(const std::string& Value) {
  if (dataFieldName_ == Value) return;
  const std::string old = dataFieldName_;
  dataFieldName_ = Value;
  try {
    UpdateDataFields();
  } catch (...) {
    // A name the data set does not know leaves the previous settings.
    dataFieldName_ = old;
    UpdateDataFields();
    throw;
  }
}

void TDBLookupGridEh::UpdateDataFields() {
  masterFieldNames_.clear();
  dataFields_.clear();
  masterFields_.clear();
  if (dataFieldLink_->Active() && !dataFieldName_.empty()) {
    CheckNotCircular();
    TDataSet* data = dataFieldLink_->DataSet();
    data->GetFieldList(dataFields_, dataFieldName_);
    if (IsLookupField(dataFields_))
      data->GetFieldList(masterFields_, dataFields_[0]->KeyFields());
    else
      masterFields_ = dataFields_;
    masterFieldNames_ = JoinFieldNames(masterFields_);
  }
  SetLookupModeOn(IsLookupField(dataFields_));
  if (dataFieldLink_->Active()) dataFieldLink_->RecordChanged(nullptr);
}

void TDBLookupGridEh::SetLookupModeOn(bool Value) {
  if (Value) {
    TField* lookup = dataFields_[0];
    listDataSource_->SetDataSet(lookup->LookupDataSet());
    keyFieldName_ = lookup->LookupKeyFields();
    lookupMode_ = true;
    if (TCustomDBGridEh::DataSource() != listDataSource_.get())
      TCustomDBGridEh::SetDataSource(listDataSource_.get());
    else
      UpdateListFields();
  } else if (lookupMode_) {
    lookupMode_ = false;
    keyFieldName_.clear();
    TCustomDBGridEh::SetDataSource(nullptr);
    listDataSource_->SetDataSet(nullptr);
    masterFields_ = dataFields_;
    masterFieldNames_ = JoinFieldNames(masterFields_);
  }
}

// --- list side -------------------------------------------------------------------------------------

void TDBLookupGridEh::SetListSource(TDataSource* Value) {
  CheckNotLookup();
  if (DataLink()->DataSourceFixed()) DatabaseError(SDataSourceFixed);
  // Checked before the link takes the source, so that a refused source leaves the old one.
  TDataSet* list = Value ? Value->DataSet() : nullptr;
  if (list && dataFieldLink_->DataSource() && list->IsLinkedTo(dataFieldLink_->DataSource()))
    DatabaseError(SCircularDataLink);
  TCustomDBGridEh::SetDataSource(Value);
}

void TDBLookupGridEh::SetKeyField(const std::string& Value) {
  CheckNotLookup();
  if (keyFieldName_ == Value) return;
  keyFieldName_ = Value;
  RefreshListFields();
}

void TDBLookupGridEh::SetListField(const std::string& Value) {
  CheckNotLookup();
  if (listFieldName_ == Value) return;
  listFieldName_ = Value;
  RefreshListFields();
}

void TDBLookupGridEh::SetListFieldIndex(int Value) {
  if (listFieldIndex_ == Value) return;
  listFieldIndex_ = Value;
  RefreshListFields();
}

void TDBLookupGridEh::RefreshListFields() {
  UpdateListFields();
  // Over an open list, columns made from the fields follow the list fields: the layout is rebuilt
  // from them (quietly: the rebuild neither re-reads the fields nor re-keys the moved columns).
  // The user's own columns stay as they are.
  const bool automaticColumns = Columns()->Count() == 0 || Columns()->GetColumn(0)->IsAutomatic();
  if (DataLink()->Active() && automaticColumns) {
    TInternalChangeScope scope(this);
    LayoutChanged();
  }
}

void TDBLookupGridEh::UpdateListFields() {
  listActive_ = false;
  listField_ = nullptr;
  listFields_->Clear();
  keyFields_.clear();
  if (DataLink()->Active() && !keyFieldName_.empty()) {
    CheckNotCircular();
    TDataSet* list = DataLink()->DataSet();
    list->GetFieldList(keyFields_, keyFieldName_);
    list->GetFieldList(listFields_.get(), listFieldName_);
    if (lookupMode_) {
      listField_ = list->FieldByName(dataFields_[0]->LookupResultField());
      if (listFields_->IndexOf(listField_) < 0) listFields_->Insert(0, listField_);
    } else {
      if (listFields_->Count() == 0)
        for (TField* key : keyFields_) listFields_->Add(key);
      const bool validIndex = listFieldIndex_ >= 0 && listFieldIndex_ < listFields_->Count();
      listField_ = static_cast<TField*>(listFields_->Items(validIndex ? listFieldIndex_ : 0));
    }
    listActive_ = true;
  }
  if (listActive_)
    UpdateSelection();
  else
    UpdateRowState();
}

void TDBLookupGridEh::ListFieldsOfDataSet(TList* Fields) {
  for (int i = 0; i < listFields_->Count(); ++i) Fields->Add(listFields_->Items(i));
}

void TDBLookupGridEh::LinkActive(bool Value) {
  inherited::LinkActive(Value);
  UpdateListFields();
}

void TDBLookupGridEh::LayoutChanged() {
  inherited::LayoutChanged();
  if (!IsInternalChange()) UpdateListFields();
  // Marks name their columns: rebuilt columns take them over.
  if (highlightTextParams_ && !highlightTextParams_->Text.empty())
    SetHighlightText(std::string(highlightTextParams_->Text));
}

void TDBLookupGridEh::DataChanged() {
  inherited::DataChanged();
  if (!IsInternalChange() && listActive_) UpdateSelection();
}

// --- selection -------------------------------------------------------------------------------------

void TDBLookupGridEh::SetKeyValue(const Variant& Value) {
  if (VarEquals(keyValue_, Value)) return;
  keyValue_ = Value;
  if (listActive_) UpdateSelection();
  Invalidate();
}

void TDBLookupGridEh::UpdateRowState() {
  RefreshListState();
  if (HandleAllocated()) Invalidate();
}

void TDBLookupGridEh::RefreshListState() {
  recordCount_ = DataLink()->Active() ? DataLink()->RecordCount() : 0;
  activeRecord_ = DataLink()->Active() ? DataLink()->ActiveRecord() : 0;
}

void TDBLookupGridEh::UpdateSelection() {
  TDataSet* list = DataLink()->Active() ? DataLink()->DataSet() : nullptr;
  if (specRow_->Visible()) {
    specRow_->SetSelected(VarEquals(keyValue_, specRow_->Value()));
    if (!specRow_->Selected() && !IsInternalChange() && specRow_->ShowIfNotInKeyList() && !LocateKey())
      specRow_->SetSelected(true);
  }
  {
    TInternalChangeScope scope(this);
    if (listActive_ && !inSelect_ && list) {
      if (!LocateKey() && !(specRow_->Visible() && specRow_->Selected()))
        list->First();
      else
        UpdateRowState();
    }
  }
  if (specRow_->Visible() && specRow_->Selected())
    selectedText_ = specRow_->GetCellText(listFieldIndex_);
  else if (!listField_)
    selectedText_.clear();
  else if ((listField_->DataType() == ftMemo || listField_->DataType() == ftOraClob) && DrawMemoText())
    selectedText_ = listField_->AsString();
  else
    selectedText_ = listField_->DisplayText();
}

bool TDBLookupGridEh::LocateKey() {
  TInternalChangeScope scope(this);
  TDataSet* list = DataLink()->Active() ? DataLink()->DataSet() : nullptr;
  if (VarIsNull(keyValue_) || !list || !list->Active() || list->State() != dsBrowse) return false;
  if (!IsListItemValid(keyFields_)) return false;
  if (!list->Locate(keyFieldName_, keyValue_, TLocateOptions{})) return false;
  if (ScrollsOwnRows()) {
    // The found row stands in the middle of the visible rows.
    const int half = VisibleDataRowCount() / 2;
    SetTopRow(std::max(FixedRows(), Row() - half));
  }
  RefreshListState();
  return true;
}

bool TDBLookupGridEh::CurrentRowHoldsKey() {
  TDataSet* list = DataLink()->DataSet();
  return !VarIsNull(keyValue_) && VarEquals(list->FieldValues(keyFieldName_), keyValue_);
}

void TDBLookupGridEh::SelectCurrent() {
  if (!listActive_ || !DataLink()->Active()) return;
  TValueRestorer<bool> selecting(inSelect_, true);
  TDataSet* list = DataLink()->DataSet();
  if (list->IsEmpty()) return;
  specRow_->SetSelected(false);
  const Variant key = list->FieldValues(keyFieldName_);
  if (!VarEquals(keyValue_, key)) SelectKeyValue(key);
  RefreshListState();
}

void TDBLookupGridEh::SelectSpecRow() {
  TValueRestorer<bool> selecting(inSelect_, true);
  if (!VarEquals(specRow_->Value(), keyValue_)) SelectKeyValue(specRow_->Value());
  specRow_->SetSelected(true);
  selectedText_ = specRow_->GetCellText(listFieldIndex_);
}

void TDBLookupGridEh::SelectKeyValue(const Variant& Value) {
  if (masterFields_.empty()) {
    SetKeyValue(Value);
  } else if (dataFieldLink_->Edit()) {
    dataFieldLink_->DataSet()->SetFieldValues(masterFieldNames_, Value);
  }
  // The parent hears of the change as of any control's.
  if (Parent()) Parent()->Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
  Invalidate();
  Click();
}

void TDBLookupGridEh::SpecRowChanged(TObject*) {
  const int height = specRow_->Visible() ? GetSpecRowHeight() : 0;
  if (height != specRowHeight_) {
    specRowHeight_ = height;
    LayoutChanged();
    ApplyRowCount();
  }
  Invalidate();
}

// --- keyboard --------------------------------------------------------------------------------------

void TDBLookupGridEh::KeyDown(WORD& Key, TShiftState Shift) {
  if (!CanModify()) {
    inherited::KeyDown(Key, Shift);
    return;
  }
  int distance = 0;
  bool toFirst = false, toLast = false;
  switch (Key) {
    case VK_PRIOR:
      distance = -VisibleDataRowCount();
      break;
    case VK_NEXT:
      distance = VisibleDataRowCount();
      break;
    case VK_END:
      toLast = true;
      break;
    case VK_HOME:
      toFirst = true;
      break;
    case VK_UP:
      distance = -1;
      break;
    case VK_DOWN:
      distance = 1;
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (HorzScrollBar()->IsScrollNeeded()) {
        inherited::KeyDown(Key, Shift);
        return;
      }
      distance = Key == VK_LEFT ? -1 : 1;
      break;
    default:
      inherited::KeyDown(Key, Shift);
      return;
  }
  MoveListBy(distance, toFirst, toLast);
  Key = 0;
}

void TDBLookupGridEh::MoveListBy(int Distance, bool ToFirst, bool ToLast) {
  searchText_.clear();
  TInternalChangeScope scope(this);
  TDataSet* list = DataLink()->DataSet();
  const bool specVisible = specRow_->Visible();
  const bool specSelected = specVisible && specRow_->Selected();
  const bool backward = Distance < 0;
  if (specVisible && backward && (list->Bof() || specSelected)) {
    SelectSpecRow();
    list->First();
    return;
  }
  if (specSelected && (Distance > 0 || ToLast)) {
    list->First();
    if (ToLast) list->Last();
    SelectCurrent();
    return;
  }
  if (ToFirst) {
    list->First();
  } else if (ToLast) {
    list->Last();
  } else {
    if (!ScrollsOwnRows() && !CurrentRowHoldsKey()) {
      // The step starts from the chosen row; a key off screen stays where it is, and a list
      // without a chosen key takes its current row first.
      const int active = DataLink()->ActiveRecord();
      int holder = -1;
      for (int i = 0; i < DataLink()->RecordCount() && holder < 0; ++i) {
        DataLink()->SetActiveRecord(i);
        if (CurrentRowHoldsKey()) holder = i;
      }
      DataLink()->SetActiveRecord(active);
      if (holder < 0) {
        if (VarIsNull(keyValue_))
          SelectCurrent();
        else
          UpdateSelection();
        return;
      }
      list->MoveBy(holder - active);
    }
    const int moved = list->MoveBy(Distance);
    if (backward && moved == 0 && specVisible && !specSelected) {
      SelectSpecRow();
      return;
    }
  }
  SelectCurrent();
}

void TDBLookupGridEh::KeyPress(char32_t& Key) {
  ProcessSearchKey(Key);
}

void TDBLookupGridEh::ProcessSearchKey(char32_t Key) {
  if (!IsSearchableField(listField_)) return;
  if (Key == VK_BACK || Key == VK_ESCAPE) {
    searchText_.clear();
    return;
  }
  // Control keys, and what is no character (a lone surrogate half, past the last code point).
  if (Key < 32 || (Key >= 0xD800 && Key <= 0xDFFF) || Key > 0x10FFFF || !CanModify()) return;
  const uint32_t now = GetTickCount();
  if (now - lastSearchKeyTick > kLookupSearchPauseEh) searchText_.clear();
  lastSearchKeyTick = now;
  if (Utf8Length(searchText_) >= kLookupSearchMaxLengthEh) return;
  std::string candidate = searchText_;
  Utf8Append(candidate, Key);
  TInternalChangeScope scope(this);
  TDataSet* list = DataLink()->DataSet();
  if (!list->Locate(listField_->FieldName(), Variant(candidate),
                    TLocateOptions{loCaseInsensitive, loPartialKey}))
    return;
  SelectKeyValue(list->FieldValues(keyFieldName_));
  searchText_ = candidate;
}

void TDBLookupGridEh::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  if (Message.Msg == WM_TIMER && Message.WParam == 1 && mouseTracking1_) {
    // The grid timer repeats the drag step while the mouse stays beyond the rows.
    TrackingStep();
    return;
  }
  if (Message.Msg == WM_SETFOCUS) searchText_.clear();
  inherited::WndProc(Message);
}

bool TDBLookupGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (ScrollsOwnRows() || !DataLink()->Active()) return inherited::DoMouseWheelDown(Shift, MousePos);
  TInternalChangeScope scope(this);
  RefreshListState();
  ListDataSetMoveBy(recordCount_ - activeRecord_);
  return true;
}

bool TDBLookupGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (ScrollsOwnRows() || !DataLink()->Active()) return inherited::DoMouseWheelUp(Shift, MousePos);
  TInternalChangeScope scope(this);
  RefreshListState();
  ListDataSetMoveBy(-activeRecord_ - 1);
  return true;
}
