// The column model: creation, the properties with fallbacks, Assign and the field binding.
#include "grid/axis/AxisBarEh.h"

#include <algorithm>

#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"

RTL_IMPLEMENT_CLASS(TAxisColCellParamsEh)
RTL_IMPLEMENT_CLASS(TAxisBarEh)
RTL_IMPLEMENT_CLASS(TBaseColumnEh)

namespace axis_bar_detail {

bool IsWrappingFieldType(TFieldType T) {
  return T == ftString || T == ftMemo || T == ftFmtMemo || T == ftWideString || T == ftOraClob;
}

}  // namespace axis_bar_detail

using namespace axis_bar_detail;

// --- cell parameters ---------------------------------------------------------------------------

TAxisColCellParamsEh::TAxisColCellParamsEh() = default;
TAxisColCellParamsEh::~TAxisColCellParamsEh() = default;

// --- creation and destruction ------------------------------------------------------------------

TAxisBarEh::TAxisBarEh(TCollection* Collection) : TCollectionItem(Collection) {
  // The collection's notice of the addition came while this bar was not whole yet.
  bars_ = dynamic_cast<TGridAxisBarsEh*>(Collection);
  TCustomDBAxisGridEh* grid = GetGrid();
  bool layoutOpened = false;
  if (grid) {
    colCellParams_.reset(grid->NewColCellParams());
    if (Collection->UpdateCount() == 0) {
      grid->BeginLayout();
      layoutOpened = true;
    }
  }
  TScopeExit endLayout([grid, layoutOpened] {
    if (layoutOpened) grid->EndLayout();
  });

  dynProps_ = std::make_unique<TDynVarsEh>(this);
  dropDownRows_ = 7;
  buttonStyle_ = cbsAuto;

  font_ = std::make_unique<TFont>();
  if (TFont* def = DefaultFont(); def && def != font_.get()) font_->Assign(def);
  font_->OnChange = TNotifyEvent::Method(this, &TAxisBarEh::FontChanged);
  imeMode_ = imDontCare;
  if (Screen) imeName_ = Screen->DefaultIme();

  // The title and the edit buttons come on first use (CreateTitle, CreateEditButtons).
  visible_ = true;
  notInKeyListIndex_ = -1;
  increment_ = 1.0L;
  persistent_ = true;

  dropDownSpecRow_ = std::make_unique<TSpecRowEh>(this);
  dropDownSpecRow_->OnChanged = TNotifyEvent::Method(this, &TAxisBarEh::DropDownBoxChanged);
  dropDownBox_ = std::make_unique<TColumnDropDownBoxEh>(this);
  mruList_ = std::make_unique<TMRUListEh>(this);
  imageChangeLink_ = std::make_unique<TChangeLink>();
  imageChangeLink_->OnChange = TNotifyEvent::Method(this, &TAxisBarEh::ImageListChanged);
  dropDownFormParams_ = std::make_unique<TDropDownFormCallParamsEh>();
  dropDownFormParams_->OnChanged = TNotifyEvent::Method(this, &TAxisBarEh::ParamsChanged);
  if (TGridAxisBarsEh* bars = AxisBars()) bars->AxisBarsChanged(this, 0);
}

TAxisBarEh::~TAxisBarEh() {
  // Leave the collection while whole: the grid hears the extraction with a complete column.
  TCollectionItem::BeforeDestruction();
  SetCollection(nullptr);
  colCellParams_.reset();
  dynProps_.reset();
  dropDownSpecRow_.reset();
  title_.reset();
  font_.reset();
  pickList_.reset();
  keyList_.reset();
  editButtons_.reset();
  dataList_ = nullptr;
  dataListOwner_.reset();
  dropDownBox_.reset();
  mruList_.reset();
  imageChangeLink_.reset();  // leaves the image list if that still exists
  dropDownFormParams_.reset();
}

TBaseColumnEh::TBaseColumnEh(TCollection* Collection) : TAxisBarEh(Collection) {}
TBaseColumnEh::~TBaseColumnEh() = default;

// --- description -------------------------------------------------------------------------------

void TAxisBarEh::DescribeClass(TClassBuilder<TAxisBarEh>& c) {
  using B = TAxisBarEh;
  // The fallback getters may refresh caches, so descriptions reach them through a cast.
  auto self = [](const B& b) -> B& { return const_cast<B&>(b); };
  c.Property(
       "Alignment", [self](const B& b) { return self(b).Alignment(); }, &B::SetAlignment)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsAlignmentStored(); });
  c.Property(
       "AlwaysShowEditButton", [self](const B& b) { return self(b).AlwaysShowEditButton(); },
       &B::SetAlwaysShowEditButton)
      .NoDefault()
      .StoredIf(
          [self](const TObject& o) { return self(static_cast<const B&>(o)).IsAlwaysShowEditButtonStored(); });
  c.Property(
       "AutoDropDown", [self](const B& b) { return self(b).AutoDropDown(); }, &B::SetAutoDropDown)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsAutoDropDownStored(); });
  c.Property(
       "BiDiMode", [self](const B& b) { return self(b).BiDiMode(); }, &B::SetBiDiMode)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const B&>(o).IsBiDiModeStored(); });
  c.Property("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle).Default(static_cast<int64_t>(cbsAuto));
  c.Property(
       "Checkboxes", [self](const B& b) { return self(b).Checkboxes(); }, &B::SetCheckboxes)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const B&>(o).IsCheckboxesStored(); });
  c.Property(
       "Color", [self](const B& b) { return self(b).Color(); }, &B::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsColorStored(); });
  c.Property(
       "DblClickNextVal", [self](const B& b) { return self(b).DblClickNextVal(); }, &B::SetDblClickNextVal)
      .NoDefault()
      .StoredIf(
          [self](const TObject& o) { return self(static_cast<const B&>(o)).IsDblClickNextValStored(); });
  c.Property("DisplayFormat", &B::DisplayFormat, &B::SetDisplayFormat);
  c.Property("DropDownBox", &B::DropDownBox, &B::SetDropDownBox);
  c.Property("DropDownRows", &B::DropDownRows, &B::SetDropDownRows).Default(7);
  c.Property(
       "DropDownShowTitles", [self](const B& b) { return self(b).DropDownShowTitles(); },
       &B::SetDropDownShowTitles)
      .NoDefault()
      .StoredIf(
          [self](const TObject& o) { return self(static_cast<const B&>(o)).IsDropDownShowTitlesStored(); });
  c.Property(
       "DropDownSizing", [self](const B& b) { return self(b).DropDownSizing(); }, &B::SetDropDownSizing)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsDropDownSizingStored(); });
  c.Property("DropDownSpecRow", &B::DropDownSpecRow, &B::SetDropDownSpecRow);
  c.Property("DropDownWidth", &B::DropDownWidth, &B::SetDropDownWidth).Default(0);
  c.Property("DropDownFormParams", &B::DropDownFormParams, &B::SetDropDownFormParams);
  c.Property("DynProps", &B::DynProps, &B::SetDynProps);
  c.Property("EditButtons", &B::EditButtons, &B::SetEditButtons);
  c.Property("EditMask", &B::EditMask, &B::SetEditMask);
  c.Property(
       "EndEllipsis", [self](const B& b) { return self(b).EndEllipsis(); }, &B::SetEndEllipsis)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsEndEllipsisStored(); });
  c.Property("FieldName", &B::FieldName, &B::SetFieldName);
  c.Property(
       "Font", [self](const B& b) { return self(b).Font(); }, &B::SetFont)
      .StoredIf([](const TObject& o) { return static_cast<const B&>(o).IsFontStored(); });
  c.Property(
       "HighlightRequired", [self](const B& b) { return self(b).HighlightRequired(); },
       &B::SetHighlightRequired)
      .NoDefault()
      .StoredIf(
          [self](const TObject& o) { return self(static_cast<const B&>(o)).IsHighlightRequiredStored(); });
  c.Property("ImageList", &B::ImageList, &B::SetImageList);
  c.Property(
       "ImeMode", [self](const B& b) { return self(b).ImeMode(); }, &B::SetImeMode)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsImeModeStored(); });
  c.Property(
       "ImeName", [self](const B& b) { return self(b).ImeName(); }, &B::SetImeName)
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsImeNameStored(); });
  c.Property("Increment", &B::Increment, &B::SetIncrement).StoredIf([](const TObject& o) {
    return static_cast<const B&>(o).IsIncrementStored();
  });
  c.Property(
       "KeyList", [self](const B& b) { return self(b).KeyList(); }, &B::SetKeyList)
      .StoredIf([](const TObject& o) { return static_cast<const B&>(o).HasKeyListItems(); });
  c.Property(
       "Layout", [self](const B& b) { return self(b).Layout(); }, &B::SetLayout)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsLayoutStored(); });
  c.Property(
       "LookupDisplayFields", [self](const B& b) { return self(b).LookupDisplayFields(); },
       &B::SetLookupDisplayFields)
      .StoredIf(
          [self](const TObject& o) { return self(static_cast<const B&>(o)).IsLookupDisplayFieldsStored(); });
  c.Property("MRUList", &B::MRUList, &B::SetMRUList);
  c.Property("NotInKeyListIndex", &B::NotInKeyListIndex, &B::SetNotInKeyListIndex).Default(-1);
  c.Property(
       "PickList", [self](const B& b) { return self(b).PickList(); }, &B::SetPickList)
      .StoredIf([](const TObject& o) { return static_cast<const B&>(o).HasPickListItems(); });
  c.Property("PopupMenu", &B::PopupMenu, &B::SetPopupMenu);
  c.Property(
       "ReadOnly", [self](const B& b) { return self(b).ReadOnly(); }, &B::SetReadOnly)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsReadOnlyStored(); });
  c.Property("ShowImageAndText", &B::ShowImageAndText, &B::SetShowImageAndText).Default(0);
  c.Property("Tag", &B::Tag, &B::SetTag).Default(0);
  c.Property(
       "TextEditing", [self](const B& b) { return self(b).TextEditing(); }, &B::SetTextEditing)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsTextEditingStored(); });
  c.Property("Title", &B::Title, &B::SetTitle);
  c.Property(
       "ToolTips", [self](const B& b) { return self(b).ToolTips(); }, &B::SetToolTips)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsToolTipsStored(); });
  c.Property("Visible", &B::Visible, &B::SetVisible).Default(1);
  c.Property(
       "WordWrap", [self](const B& b) { return self(b).WordWrap(); }, &B::SetWordWrap)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const B&>(o)).IsWordWrapStored(); });
  c.Property(
      "OnEditButtonClick", [](const B& b) -> const auto& { return b.OnEditButtonClick; },
      [](B& b, const TAxisBarButtonClickEventEh& v) { b.OnEditButtonClick = v; });
  c.Property(
      "OnEditButtonDown", [](const B& b) -> const auto& { return b.OnEditButtonDown; },
      [](B& b, const TAxisBarButtonDownEventEh& v) { b.OnEditButtonDown = v; });
  c.Property(
      "OnNotInList", [](const B& b) -> const auto& { return b.OnNotInList; },
      [](B& b, const TAxisBarNotInListEventEh& v) { b.OnNotInList = v; });
  c.Property(
      "OnUpdateData", [](const B& b) -> const auto& { return b.OnUpdateData; },
      [](B& b, const TColCellUpdateDataEventEh& v) { b.OnUpdateData = v; });
  c.Property(
      "OnOpenDropDownForm", [](const B& b) -> const auto& { return b.OnOpenDropDownForm; },
      [](B& b, const TAxisBarOpenDropDownFormEventEh& v) { b.OnOpenDropDownForm = v; });
  c.Property(
      "OnCloseDropDownForm", [](const B& b) -> const auto& { return b.OnCloseDropDownForm; },
      [](B& b, const TAxisBarCloseDropDownFormEventEh& v) { b.OnCloseDropDownForm = v; });
}

// --- Assign and defaults -----------------------------------------------------------------------

void TAxisBarEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TAxisBarEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  if (src == this) return;
  TCollection* coll = Collection();
  if (coll) coll->BeginUpdate();
  TScopeExit endUpdate([coll] {
    if (coll) coll->EndUpdate();
  });
  RestoreDefaults();
  SetFieldName(src->FieldName());
  if (src->IsAssigned(abvColor)) SetColor(src->Color());
  if (src->IsAssigned(abvFont)) SetFont(src->Font());
  if (src->IsAssigned(abvImeMode)) SetImeMode(src->ImeMode());
  if (src->IsAssigned(abvImeName)) SetImeName(src->ImeName());
  if (src->IsAssigned(abvAlignment)) SetAlignment(src->Alignment());
  if (src->IsAssigned(abvReadOnly)) SetReadOnly(src->ReadOnly());
  Title()->Assign(src->Title());
  SetDropDownRows(src->DropDownRows());
  SetButtonStyle(src->ButtonStyle());
  SetPickList(src->pickList_.get());
  SetPopupMenu(src->PopupMenu());
  if (src->IsAssigned(abvWordWrap)) SetWordWrap(src->WordWrap());
  SetEndEllipsis(src->EndEllipsis());
  SetDropDownWidth(src->DropDownWidth());
  if (src->IsAssigned(abvLookupDisplayFields)) SetLookupDisplayFields(src->LookupDisplayFields());
  SetAutoDropDown(src->AutoDropDown());
  SetAlwaysShowEditButton(src->AlwaysShowEditButton());
  // Once more without the test: the effective value, kept as own unless it is the fallback.
  SetWordWrap(src->WordWrap());
  SetKeyList(src->keyList_.get());
  if (src->IsAssigned(abvCheckboxes)) SetCheckboxes(src->Checkboxes());
  SetIncrement(src->Increment());
  SetToolTips(src->ToolTips());
  SetTag(src->Tag());
  SetVisible(src->Visible());
  SetImageList(src->ImageList());
  SetNotInKeyListIndex(src->NotInKeyListIndex());
  SetDblClickNextVal(src->DblClickNextVal());
  SetDropDownSizing(src->DropDownSizing());
  SetDropDownShowTitles(src->DropDownShowTitles());
  OnNotInList = src->OnNotInList;
  OnUpdateData = src->OnUpdateData;
  OnEditButtonClick = src->OnEditButtonClick;
  OnEditButtonDown = src->OnEditButtonDown;
  EditButtons()->Assign(src->EditButtons());
  dropDownBox_->Assign(src->DropDownBox());
  mruList_->Assign(src->MRUList());
  SetDisplayFormat(src->DisplayFormat());
  SetEditMask(src->EditMask());
  SetShowImageAndText(src->ShowImageAndText());
  SetLayout(src->Layout());
}

void TAxisBarEh::RestoreDefaults() {
  const bool fontWasAssigned = IsAssigned(abvFont);
  if (title_) title_->RestoreDefaults();
  assignedValues_ = TAxisBarAssignedValuesEh();
  ReloadFontSilently(font_.get(), DefaultFont());
  pickList_.reset();
  buttonStyle_ = cbsAuto;
  NotifyChanged(fontWasAssigned);
  keyList_.reset();
}

std::string TAxisBarEh::GetDisplayName() const {
  return fieldName_.empty() ? inherited::GetDisplayName() : fieldName_;
}

// --- grid and collection -----------------------------------------------------------------------

TGridAxisBarsEh* TAxisBarEh::AxisBars() const {
  return bars_;
}

TCustomDBAxisGridEh* TAxisBarEh::GetGrid() const {
  TGridAxisBarsEh* bars = AxisBars();
  return bars ? bars->GetGrid() : nullptr;
}

bool TAxisBarEh::InLayoutLoading() const {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ComponentState().Contains(csLoading);
}

std::string TAxisBarEh::GetAxisBarName() const {
  return "Column_" + std::to_string(Index()) + "_" + fieldName_;
}

void TAxisBarEh::SetIndex(int Value) {
  TCustomDBAxisGridEh* grid = GetGrid();
  TGridAxisBarsEh* bars = AxisBars();
  bool layoutTaken = false;
  if (bars && bars->IsAutomatic() && grid && grid->DataLink()->Active()) layoutTaken = grid->AcquireLayout();
  // The relayout may rebuild the automatic columns: nothing touches this column after it.
  TScopeExit endLayout([grid, layoutTaken] {
    if (layoutTaken) grid->EndLayout();
  });
  if (layoutTaken) {
    TField* target = grid->DataLink()->Fields(Value);
    TField* own = GetField();
    if (target && own) own->SetIndex(target->Index());
  }
  const int current = Index();
  if (bars && current != Value && current >= 0 && Value >= 0 && Value < bars->Count())
    bars->AxisBarsChanged(this, 2);
  inherited::SetIndex(Value);
}

ILookupGridEh* TAxisBarEh::GetDataList() {
  if (!dataList_) {
    dataList_ = CreateLookupGridEh(this);
    if (dataList_) {
      dataListOwner_.reset(dataList_->LookupGridComponent());
      dataList_->AssignSpecRow(dropDownSpecRow_.get());
    }
  }
  return dataList_;
}

// --- owned parts made on first use -------------------------------------------------------------

TEditButtonsEh* TAxisBarEh::EditButtons() const {
  if (!editButtons_) editButtons_.reset(const_cast<TAxisBarEh*>(this)->CreateEditButtons());
  return editButtons_.get();
}

TAxisBarTitleEh* TAxisBarEh::Title() const {
  if (!title_) title_.reset(const_cast<TAxisBarEh*>(this)->CreateTitle());
  return title_.get();
}

TEditButtonsEh* TAxisBarEh::CreateEditButtons() {
  auto* buttons = new TEditButtonsEh(this, TVisibleEditButtonEh::StaticClass());
  buttons->OnChange = TNotifyEvent::Method(this, &TAxisBarEh::ParamsChanged);
  return buttons;
}

TAxisBarTitleEh* TAxisBarEh::CreateTitle() {
  return new TAxisBarTitleEh(this);
}

int TAxisBarEh::GetDefaultEditButtonWidth() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->DefaultEditButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
}

// --- notifications -----------------------------------------------------------------------------

void TAxisBarEh::NotifyChanged(bool AllItems) {
  Changed(AllItems);
}

void TAxisBarEh::FontChanged(TObject* /*Sender*/) {
  IncludeAssigned(abvFont);
  if (title_) title_->RefreshDefaultFont();
  NotifyChanged(false);
}

void TAxisBarEh::DropDownBoxChanged(TObject* /*Sender*/) {
  NotifyChanged(false);
  if (dataList_) dataList_->AssignSpecRow(dropDownSpecRow_.get());
}

void TAxisBarEh::ImageListChanged(TObject* Sender) {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && Sender && Sender == imageList_) grid->InvalidateGrid();
}

void TAxisBarEh::ParamsChanged(TObject* Sender) {
  if (Sender == dropDownFormParams_.get()) {
    if (TCustomDBAxisGridEh* grid = GetGrid()) grid->InvalidateGrid();
    return;
  }
  NotifyChanged(false);
}

void TAxisBarEh::SetTextArea(const TRect& /*ARect*/) {
  throw Exception(" TAxisBarEh.SetTextArea must be realized in the inherited class.");
}

void TAxisBarEh::GetColCellParams(TAxisColCellParamsEh* /*Params*/) {
  throw Exception(" TAxisBarEh.GetColCellParams must be realized in the inherited class.");
}

void TAxisBarEh::SetAssignedBool(TAxisBarAssignedValueEh V, bool& Own, bool Value, bool Notify) {
  if (IsAssigned(V) && Own == Value) return;
  Own = Value;
  IncludeAssigned(V);
  if (Notify) NotifyChanged(false);
}

// --- fallbacks ---------------------------------------------------------------------------------

TAlignment TAxisBarEh::DefaultAlignment() {
  TField* field = GetField();
  return field ? field->Alignment() : taLeftJustify;
}

TColor TAxisBarEh::DefaultColor() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->Color() : clWindow;
}

TFont* TAxisBarEh::DefaultFont() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->Font() : font_.get();
}

TImeMode TAxisBarEh::DefaultImeMode() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->ImeMode() : imeMode_;
}

TImeName TAxisBarEh::DefaultImeName() {
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->ImeName() : imeName_;
}

bool TAxisBarEh::DefaultReadOnly() {
  TCustomDBAxisGridEh* grid = GetGrid();
  TField* field = GetField();
  return (grid && grid->ReadOnly()) || (field && field->ReadOnly());
}

bool TAxisBarEh::DefaultCheckboxes() {
  TField* field = GetField();
  return field && field->DataType() == ftBoolean;
}

bool TAxisBarEh::DefaultTextEditing() {
  const TAxisBarKindEh kind = GetColumnType();
  return kind != abkImageListEh && kind != abkCheckboxesEh;
}

bool TAxisBarEh::DefaultWordWrap() {
  if (!GetGrid()) return false;
  TField* field = GetField();
  return field && IsWrappingFieldType(field->DataType());
}

std::string TAxisBarEh::DefaultLookupDisplayFields() {
  TField* field = GetField();
  return field ? field->LookupResultField() : std::string();
}

// --- properties with fallbacks -----------------------------------------------------------------

TAlignment TAxisBarEh::Alignment() {
  return IsAssigned(abvAlignment) ? alignment_ : DefaultAlignment();
}

void TAxisBarEh::SetAlignment(TAlignment Value) {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (IsAutomatic() && grid && grid->DataLink()->Active() && GetField()) {
    GetField()->SetAlignment(Value);
    return;
  }
  if (IsAssigned(abvAlignment) && alignment_ == Value) return;
  alignment_ = Value;
  IncludeAssigned(abvAlignment);
  NotifyChanged(false);
}

bool TAxisBarEh::IsAlignmentStored() {
  return IsAssigned(abvAlignment) && alignment_ != DefaultAlignment();
}

bool TAxisBarEh::AlwaysShowEditButton() {
  if (IsAssigned(abvAlwaysShowEditButton)) return alwaysShowEditButton_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->AlwaysShowEditButton();
}

void TAxisBarEh::SetAlwaysShowEditButton(bool Value) {
  SetAssignedBool(abvAlwaysShowEditButton, alwaysShowEditButton_, Value, true);
}

bool TAxisBarEh::IsAlwaysShowEditButtonStored() {
  if (!IsAssigned(abvAlwaysShowEditButton)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return alwaysShowEditButton_ != (grid && grid->ColumnDefValues()->AlwaysShowEditButton());
}

bool TAxisBarEh::AutoDropDown() {
  if (IsAssigned(abvAutoDropDown)) return autoDropDown_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->AutoDropDown();
}

void TAxisBarEh::SetAutoDropDown(bool Value) {
  SetAssignedBool(abvAutoDropDown, autoDropDown_, Value, false);
}

bool TAxisBarEh::IsAutoDropDownStored() {
  if (!IsAssigned(abvAutoDropDown)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return autoDropDown_ != (grid && grid->ColumnDefValues()->AutoDropDown());
}

TBiDiMode TAxisBarEh::BiDiMode() {
  if (IsAssigned(abvBiDiMode)) return biDiMode_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->BiDiMode() : biDiMode_;
}

void TAxisBarEh::SetBiDiMode(TBiDiMode Value) {
  if (IsAssigned(abvBiDiMode) && biDiMode_ == Value) return;
  biDiMode_ = Value;
  IncludeAssigned(abvBiDiMode);
  NotifyChanged(false);
}

bool TAxisBarEh::IsBiDiModeStored() const {
  return IsAssigned(abvBiDiMode);
}

void TAxisBarEh::SetButtonStyle(TCellButtonStyleEh Value) {
  if (buttonStyle_ == Value) return;
  buttonStyle_ = Value;
  NotifyChanged(false);
}

bool TAxisBarEh::Checkboxes() {
  return IsAssigned(abvCheckboxes) ? checkboxes_ : DefaultCheckboxes();
}

void TAxisBarEh::SetCheckboxes(bool Value) {
  SetAssignedBool(abvCheckboxes, checkboxes_, Value, true);
}

bool TAxisBarEh::IsCheckboxesStored() const {
  return IsAssigned(abvCheckboxes);
}

TColor TAxisBarEh::Color() {
  return IsAssigned(abvColor) ? color_ : DefaultColor();
}

void TAxisBarEh::SetColor(TColor Value) {
  if (IsAssigned(abvColor) && color_ == Value) return;
  color_ = Value;
  IncludeAssigned(abvColor);
  NotifyChanged(false);
}

bool TAxisBarEh::IsColorStored() {
  return IsAssigned(abvColor) && color_ != DefaultColor();
}

bool TAxisBarEh::DblClickNextVal() {
  if (IsAssigned(abvDblClickNextVal)) return dblClickNextVal_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->DblClickNextVal();
}

void TAxisBarEh::SetDblClickNextVal(bool Value) {
  SetAssignedBool(abvDblClickNextVal, dblClickNextVal_, Value, false);
}

bool TAxisBarEh::IsDblClickNextValStored() {
  if (!IsAssigned(abvDblClickNextVal)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return dblClickNextVal_ != (grid && grid->ColumnDefValues()->DblClickNextVal());
}

void TAxisBarEh::SetDisplayFormat(const std::string& Value) {
  displayFormat_ = Value;
  NotifyChanged(false);
}

bool TAxisBarEh::DropDownShowTitles() {
  if (IsAssigned(abvDropDownShowTitles)) return dropDownShowTitles_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->DropDownShowTitles();
}

void TAxisBarEh::SetDropDownShowTitles(bool Value) {
  SetAssignedBool(abvDropDownShowTitles, dropDownShowTitles_, Value, false);
}

bool TAxisBarEh::IsDropDownShowTitlesStored() {
  if (!IsAssigned(abvDropDownShowTitles)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return dropDownShowTitles_ != (grid && grid->ColumnDefValues()->DropDownShowTitles());
}

bool TAxisBarEh::DropDownSizing() {
  if (IsAssigned(abvDropDownSizing)) return dropDownSizing_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->DropDownSizing();
}

void TAxisBarEh::SetDropDownSizing(bool Value) {
  SetAssignedBool(abvDropDownSizing, dropDownSizing_, Value, false);
}

bool TAxisBarEh::IsDropDownSizingStored() {
  if (!IsAssigned(abvDropDownSizing)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return dropDownSizing_ != (grid && grid->ColumnDefValues()->DropDownSizing());
}

void TAxisBarEh::SetDropDownWidth(int Value) {
  if (dropDownWidth_ == Value) return;
  dropDownWidth_ = Value;
  NotifyChanged(false);
}

void TAxisBarEh::SetEditMask(const std::string& Value) {
  editMask_ = Value;
  NotifyChanged(false);
}

bool TAxisBarEh::EndEllipsis() {
  if (IsAssigned(abvEndEllipsis)) return endEllipsis_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->EndEllipsis();
}

void TAxisBarEh::SetEndEllipsis(bool Value) {
  SetAssignedBool(abvEndEllipsis, endEllipsis_, Value, true);
}

bool TAxisBarEh::IsEndEllipsisStored() {
  if (!IsAssigned(abvEndEllipsis)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return endEllipsis_ != (grid && grid->ColumnDefValues()->EndEllipsis());
}

TFont* TAxisBarEh::Font() {
  if (!IsAssigned(abvFont)) {
    TFont* def = DefaultFont();
    if (FontDiffers(font_.get(), def)) ReloadFontSilently(font_.get(), def);
  }
  return font_.get();
}

void TAxisBarEh::SetFont(TFont* Value) {
  if (Value) font_->Assign(Value);
}

bool TAxisBarEh::IsFontStored() const {
  return IsAssigned(abvFont);
}

bool TAxisBarEh::HighlightRequired() {
  if (IsAssigned(abvHighlightRequired)) return highlightRequired_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->HighlightRequired();
}

void TAxisBarEh::SetHighlightRequired(bool Value) {
  SetAssignedBool(abvHighlightRequired, highlightRequired_, Value, true);
}

bool TAxisBarEh::IsHighlightRequiredStored() {
  if (!IsAssigned(abvHighlightRequired)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return highlightRequired_ != (grid && grid->ColumnDefValues()->HighlightRequired());
}

void TAxisBarEh::SetImageList(TCustomImageList* Value) {
  if (ImageList() == Value) return;
  if (TCustomImageList* old = imageChangeLink_->Sender()) old->UnRegisterChanges(imageChangeLink_.get());
  imageList_ = Value;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (imageList_) {
    imageList_->RegisterChanges(imageChangeLink_.get());
    if (grid) imageList_->FreeNotification(grid);
  }
  if (grid) grid->InvalidateGrid();
}

TImeMode TAxisBarEh::ImeMode() {
  return IsAssigned(abvImeMode) ? imeMode_ : DefaultImeMode();
}

void TAxisBarEh::SetImeMode(TImeMode Value) {
  if (IsAssigned(abvImeMode) || Value != DefaultImeMode()) {
    imeMode_ = Value;
    IncludeAssigned(abvImeMode);
  }
  NotifyChanged(false);
}

bool TAxisBarEh::IsImeModeStored() {
  return IsAssigned(abvImeMode) && imeMode_ != DefaultImeMode();
}

TImeName TAxisBarEh::ImeName() {
  return IsAssigned(abvImeName) ? imeName_ : DefaultImeName();
}

void TAxisBarEh::SetImeName(const TImeName& Value) {
  if (IsAssigned(abvImeName) || Value != DefaultImeName()) {
    imeName_ = Value;
    IncludeAssigned(abvImeName);
  }
  NotifyChanged(false);
}

bool TAxisBarEh::IsImeNameStored() {
  return IsAssigned(abvImeName) && imeName_ != DefaultImeName();
}

TStrings* TAxisBarEh::KeyList() {
  if (!keyList_) keyList_ = std::make_unique<TStringList>();
  return keyList_.get();
}

void TAxisBarEh::SetKeyList(TStrings* Value) {
  if (!Value)
    keyList_.reset();
  else
    KeyList()->Assign(Value);
  if (TCustomDBAxisGridEh* grid = GetGrid()) grid->InvalidateGrid();
}

bool TAxisBarEh::HasKeyListItems() const {
  return keyList_ && keyList_->Count() > 0;
}

TStrings* TAxisBarEh::PickList() {
  if (!pickList_) pickList_ = std::make_unique<TStringList>();
  return pickList_.get();
}

void TAxisBarEh::SetPickList(TStrings* Value) {
  if (!Value)
    pickList_.reset();
  else
    PickList()->Assign(Value);
}

bool TAxisBarEh::HasPickListItems() const {
  return pickList_ && pickList_->Count() > 0;
}

TTextLayout TAxisBarEh::Layout() {
  if (IsAssigned(abvLayout)) return layout_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid ? grid->ColumnDefValues()->Layout() : tlTop;
}

void TAxisBarEh::SetLayout(TTextLayout Value) {
  if (IsAssigned(abvLayout) && layout_ == Value) return;
  layout_ = Value;
  IncludeAssigned(abvLayout);
  NotifyChanged(false);
}

bool TAxisBarEh::IsLayoutStored() {
  if (!IsAssigned(abvLayout)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return layout_ != (grid ? grid->ColumnDefValues()->Layout() : tlTop);
}

std::string TAxisBarEh::LookupDisplayFields() {
  return IsAssigned(abvLookupDisplayFields) ? lookupDisplayFields_ : DefaultLookupDisplayFields();
}

void TAxisBarEh::SetLookupDisplayFields(const std::string& Value) {
  if (IsAssigned(abvLookupDisplayFields) && lookupDisplayFields_ == Value) return;
  lookupDisplayFields_ = Value;
  IncludeAssigned(abvLookupDisplayFields);
  if (dataList_) dataList_->SetListField(Value);
  NotifyChanged(false);
}

bool TAxisBarEh::IsLookupDisplayFieldsStored() {
  return IsAssigned(abvLookupDisplayFields) && lookupDisplayFields_ != DefaultLookupDisplayFields();
}

void TAxisBarEh::SetNotInKeyListIndex(int Value) {
  if (notInKeyListIndex_ == Value) return;
  notInKeyListIndex_ = Value;
  if (TCustomDBAxisGridEh* grid = GetGrid()) grid->InvalidateGrid();
}

void TAxisBarEh::SetPopupMenu(TPopupMenu* Value) {
  popupMenu_ = Value;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (Value && grid) Value->FreeNotification(grid);
}

bool TAxisBarEh::ReadOnly() {
  return IsAssigned(abvReadOnly) ? readOnly_ : DefaultReadOnly();
}

void TAxisBarEh::SetReadOnly(bool Value) {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (IsAutomatic() && grid && grid->DataLink()->Active() && GetField()) {
    GetField()->SetReadOnly(Value);
    return;
  }
  SetAssignedBool(abvReadOnly, readOnly_, Value, true);
}

bool TAxisBarEh::IsReadOnlyStored() {
  return IsAssigned(abvReadOnly) && readOnly_ != DefaultReadOnly();
}

void TAxisBarEh::SetShowImageAndText(bool Value) {
  showImageAndText_ = Value;
  NotifyChanged(false);
}

bool TAxisBarEh::TextEditing() {
  return IsAssigned(abvTextEditing) ? textEditing_ : DefaultTextEditing();
}

void TAxisBarEh::SetTextEditing(bool Value) {
  // A loading grid cannot answer the fallback yet (no field): keep what the description says.
  if (IsAssigned(abvTextEditing) || InLayoutLoading() || Value != DefaultTextEditing()) {
    textEditing_ = Value;
    IncludeAssigned(abvTextEditing);
  }
  NotifyChanged(false);
}

bool TAxisBarEh::IsTextEditingStored() {
  return IsAssigned(abvTextEditing) && textEditing_ != DefaultTextEditing();
}

bool TAxisBarEh::ToolTips() {
  if (IsAssigned(abvToolTips)) return toolTips_;
  TCustomDBAxisGridEh* grid = GetGrid();
  return grid && grid->ColumnDefValues()->ToolTips();
}

void TAxisBarEh::SetToolTips(bool Value) {
  SetAssignedBool(abvToolTips, toolTips_, Value, false);
}

bool TAxisBarEh::IsToolTipsStored() {
  if (!IsAssigned(abvToolTips)) return false;
  TCustomDBAxisGridEh* grid = GetGrid();
  return toolTips_ != (grid && grid->ColumnDefValues()->ToolTips());
}

void TAxisBarEh::SetVisible(bool Value) {
  visible_ = Value;
  NotifyChanged(true);
}

bool TAxisBarEh::WordWrap() {
  return IsAssigned(abvWordWrap) ? wordWrap_ : DefaultWordWrap();
}

void TAxisBarEh::SetWordWrap(bool Value) {
  if (IsAssigned(abvWordWrap) || InLayoutLoading() || Value != DefaultWordWrap()) {
    wordWrap_ = Value;
    IncludeAssigned(abvWordWrap);
  }
  NotifyChanged(false);
}

bool TAxisBarEh::IsWordWrapStored() {
  return IsAssigned(abvWordWrap) && wordWrap_ != DefaultWordWrap();
}

// --- field binding -----------------------------------------------------------------------------

TField* TAxisBarEh::GetField() {
  TCustomDBAxisGridEh* grid = GetGrid();
  if (!field_ && !fieldName_.empty() && grid && grid->DataLink()->DataSet()) {
    TDataSet* ds = grid->DataLink()->DataSet();
    // A closed data set that makes its fields on open has none to bind yet.
    if (!ds->Active() && (ds->DefaultFields() || ds->FieldCount() == 0)) return nullptr;
    TField* found = ds->FindField(fieldName_);
    if (found != field_) {
      field_ = found;
      if (found) fieldName_ = found->FieldName();
    }
  }
  return field_;
}

void TAxisBarEh::SetField(TField* Value) {
  if (field_ == Value) return;
  field_ = Value;
  if (Value) fieldName_ = Value->FieldName();
  if (IsAutomatic()) {
    if (!Value) fieldName_.clear();
    RestoreDefaults();
  }
  NotifyChanged(false);
}

void TAxisBarEh::SetFieldName(const std::string& Value) {
  TField* found = nullptr;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (grid && grid->DataLink()->DataSet() && !grid->ComponentState().Contains(csLoading) && !Value.empty())
    found = grid->DataLink()->DataSet()->FindField(Value);
  fieldName_ = Value;
  SetField(found);
  NotifyChanged(false);
}

// --- the visible columns -----------------------------------------------------------------------

int TAxisBarsEhList::IndexOf(const TAxisBarEh* Bar) const {
  auto it = std::find(items_.begin(), items_.end(), Bar);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void RegisterAxisBarClasses() {
  RegisterClasses({TAxisBarEh::StaticClass(), TBaseColumnEh::StaticClass(), TAxisBarTitleEh::StaticClass(),
                   TGridAxisBarsEh::StaticClass(), TBaseColumnsEh::StaticClass(),
                   TAxisBarDefValuesEh::StaticClass(), TCustomColumnDefValuesEh::StaticClass(),
                   TAxisBarCaptionDefValuesEh::StaticClass(), TColumnFooterDefValuesEh::StaticClass(),
                   TColumnDropDownBoxEh::StaticClass()});
}
