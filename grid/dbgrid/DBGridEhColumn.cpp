// The data grid's column: lifetime, widths, field and footer binding, the text area, row
// heights, events and the row-panel placement.
#include <algorithm>
#include <cmath>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"

RTL_IMPLEMENT_CLASS(TColCellParamsEh)
RTL_IMPLEMENT_CLASS(TColumnEh)
RTL_IMPLEMENT_CLASS(TDBGridColumnEh)

namespace dbgrid_column_detail {

// A device context with a font selected: the grid's canvas when it has a window, else the screen.
class TMeasureDC {
 public:
  TMeasureDC(TCustomDBGridEh* Grid, TFont* AFont) {
    ownDC_ = !Grid || !Grid->HandleAllocated();
    dc_ = ownDC_ ? GetDC(nullptr) : Grid->Canvas()->Handle();
    old_ = SelectObject(dc_, AFont->Handle());
  }
  ~TMeasureDC() {
    SelectObject(dc_, old_);
    if (ownDC_) ReleaseDC(nullptr, dc_);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  HDC Handle() const { return dc_; }
  TEXTMETRIC Metrics() const {
    TEXTMETRIC tm{};
    GetTextMetrics(dc_, &tm);
    return tm;
  }
  int TextWidth(const std::string& Text) const {
    SIZE size{};
    GetTextExtentPoint32(dc_, Text, &size);
    return size.cx;
  }

 private:
  bool ownDC_ = false;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The picture a graphic field holds (its size 0 x 0 when it holds none or an unreadable one).
TSize FieldPictureSize(TField* Field) {
  if (!Field || !Field->IsBlob() || Field->IsNull()) return TSize{0, 0};
  TPicture picture;
  try {
    TMemoryStream stream;
    static_cast<TBlobField*>(Field)->SaveToStream(&stream);
    stream.SetPosition(0);
    picture.LoadFromStream(&stream);
  } catch (const Exception&) {
    // An unreadable picture is painted as a message on one line.
    return TSize{0, 0};
  }
  return TSize{picture.Width(), picture.Height()};
}

}  // namespace dbgrid_column_detail

using namespace dbgrid_column_detail;

// --- lifetime ----------------------------------------------------------------------------------

TColumnEh::TColumnEh(TCollection* Collection) : TBaseColumnEh(Collection) {
  auto* columns = dynamic_cast<TDBGridColumnsEh*>(Collection);
  TCustomDBGridEh* grid = columns ? columns->GetGrid() : nullptr;
  const bool layoutOpened = grid && columns->GetUpdateCount() == 0;
  if (layoutOpened) grid->BeginLayout();
  TScopeExit endLayout([grid, layoutOpened] {
    if (layoutOpened) grid->EndLayout();
  });
  footer_.reset(CreateFooter());
  footers_.reset(CreateFooters());
  stFilter_.reset(CreateSTFilter());
  autoFitColWidth_ = true;
  initWidth_ = GetWidth();
}

TColumnEh::~TColumnEh() {
  if (TCustomDBGridEh* grid = Grid()) {
    grid->SortMarkedColumns().Remove(this);
    if (grid->FilterEditMode() && grid->FilterEditCol() == Index()) {
      // What was typed for the column goes with it: nothing is parsed while it is freed.
      if (grid->FilterEdit()) grid->FilterEdit()->SetText(std::string());
      grid->HideFilterEditor();
    }
  }
  SetField(nullptr);
  footer_->ReleaseSumItem();
  for (int i = 0; i < footers_->Count(); ++i) footers_->Items(i)->ReleaseSumItem();
  // Leave the collection while whole: the grid hears the removal with a complete column.
  TCollectionItem::BeforeDestruction();
  SetCollection(nullptr);
  footer_.reset();
  footers_.reset();
  filterValueList_ = nullptr;
  stFilter_.reset();
}

TCustomDBGridEh* TColumnEh::Grid() const {
  return dynamic_cast<TCustomDBGridEh*>(GetGrid());
}

TColumnTitleEh* TColumnEh::Title() const {
  return static_cast<TColumnTitleEh*>(TAxisBarEh::Title());
}

TAxisBarTitleEh* TColumnEh::CreateTitle() {
  return new TColumnTitleEh(this);
}

TColumnFooterEh* TColumnEh::CreateFooter() {
  return new TColumnFooterEh(this);
}

TColumnFootersEh* TColumnEh::CreateFooters() {
  return new TColumnFootersEh(this);
}

TSTColumnFilterEh* TColumnEh::CreateSTFilter() {
  return new TSTColumnFilterEh(this);
}

void TColumnEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TColumnEh*>(Source);
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
  // The inherited Assign restores the defaults first, inside this same update.
  inherited::Assign(Source);
  if (src->IsAssigned(abvWidth)) SetWidth(src->Width());
  initWidth_ = src->initWidth_;
  autoFitColWidth_ = src->autoFitColWidth_;
  footer_->Assign(src->Footer());
  footers_->Assign(src->Footers());
  SetMinWidth(src->MinWidth());
  SetMaxWidth(src->MaxWidth());
  OnGetCellParams = src->OnGetCellParams;
  SetHideDuplicates(src->HideDuplicates());
}

void TColumnEh::NotifyChanged(bool AllItems) {
  inherited::NotifyChanged(AllItems);
}

// --- widths ------------------------------------------------------------------------------------

int TColumnEh::ClampWidth(int Value) const {
  if (maxWidth_ > 0 && Value > maxWidth_) Value = maxWidth_;
  if (minWidth_ > 0 && Value < minWidth_) Value = minWidth_;
  return Value;
}

int TColumnEh::GetDefaultWidth() {
  TCustomDBGridEh* grid = Grid();
  if (!grid) return 64;
  TField* field = GetField();
  if (!field) return grid->DefaultColWidth();
  TMeasureDC dc(grid, Font());
  const TEXTMETRIC tm = dc.Metrics();
  return field->DisplayWidth() * (dc.TextWidth("0") - tm.tmOverhang) + tm.tmOverhang + 4;
}

int TColumnEh::GetWidth() {
  return IsAssigned(abvWidth) ? width_ : GetDefaultWidth();
}

bool TColumnEh::IsWidthStored() {
  return IsAssigned(abvWidth) && width_ != GetDefaultWidth();
}

void TColumnEh::SetWidth(int Value) {
  TCustomDBGridEh* grid = Grid();
  if (IsAutomatic() && grid && grid->HandleAllocated() && grid->WriteWidthsToFields()) {
    if (TField* field = GetField()) {
      TMeasureDC dc(grid, Font());
      const TEXTMETRIC tm = dc.Metrics();
      const int digit = dc.TextWidth("0");
      // A font that measures nothing gives no character count to write back.
      if (digit > 0) field->SetDisplayWidth((Value + tm.tmAveCharWidth / 2 - tm.tmOverhang - 3) / digit);
    }
  }
  const bool keep = !IsAutomatic() || !grid || !grid->LayoutFromDataLink() || IsAssigned(abvWidth);
  if (!keep) return;
  if (!IsAssigned(abvWidth) && Value == GetDefaultWidth()) return;
  if (Value == -1) return;
  width_ = Value;
  IncludeAssigned(abvWidth);
  width_ = ClampWidth(width_);
  if (grid) NotifyChanged(grid->RowPanel() && grid->RowPanel()->Active());
}

void TColumnEh::SetMaxWidth(int Value) {
  maxWidth_ = Value;
  if (Value > 0 && Width() > Value) SetWidth(Value);
}

void TColumnEh::SetMinWidth(int Value) {
  minWidth_ = Value;
  if (Value > 0 && Width() < Value) SetWidth(Value);
}

void TColumnEh::SetAutoFitColWidth(bool Value) {
  if (autoFitColWidth_ == Value) return;
  autoFitColWidth_ = Value;
  TCustomDBGridEh* grid = Grid();
  if (grid && grid->AutoFitColWidths() && !grid->ComponentState().Contains(csLoading) &&
      !grid->ComponentState().Contains(csDesigning))
    SetWidth(initWidth_);
  NotifyChanged(false);
}

void TColumnEh::SetHideDuplicates(bool Value) {
  if (hideDuplicates_ == Value) return;
  hideDuplicates_ = Value;
  NotifyChanged(false);
}

// --- field and footers -------------------------------------------------------------------------

void TColumnEh::SetField(TField* Value) {
  if (CachedField() == Value) return;
  inherited::SetField(Value);
  if (IsAutomatic()) initWidth_ = GetWidth();
  RebindFooters();
}

TField* TColumnEh::GetField() {
  // A bound field is the answer: asked for every cell, it must not pay for the grid's cast.
  if (TField* bound = CachedField()) return bound;
  TCustomDBGridEh* grid = Grid();
  if (!CachedField() && !FieldName().empty() && grid && grid->DataLink()->DataSet()) {
    TField* found = inherited::GetField();
    // Only a found field rebinds: a footer without a field name asks the column again.
    if (found) RebindFooters();
    return found;
  }
  return inherited::GetField();
}

void TColumnEh::RebindFooters() {
  if (footer_) footer_->RebindField();
  if (footers_)
    for (int i = 0; i < footers_->Count(); ++i) footers_->Items(i)->RebindField();
}

TColumnFooterEh* TColumnEh::GetFooter(int Index) const {
  if (Index >= 0 && Index < footers_->Count()) return footers_->Items(Index);
  return footer_.get();
}

IMemTableDataFieldValueListEh* TColumnEh::GetFilterValueList() {
  if (!filterValueList_) {
    if (stFilter_->ListSource())
      filterValueList_ = stFilter_->GetListFieldValueList();
    else if (TCustomDBGridEh* grid = Grid())
      filterValueList_ = grid->GetFieldValueList(this);
  }
  return filterValueList_.get();
}

// --- row panel placement -----------------------------------------------------------------------

void TColumnEh::SetInRowLinePos(int Value) {
  Value = std::clamp(Value, 0, kMaxRowPanelLines - 1);
  if (inRowLinePos_ == Value) return;
  inRowLinePos_ = Value;
  TCustomDBGridEh* grid = Grid();
  NotifyChanged(grid && grid->RowPanel() && grid->RowPanel()->Active());
}

void TColumnEh::SetInRowLineHeight(int Value) {
  Value = std::clamp(Value, 1, kMaxRowPanelLines);
  if (inRowLineHeight_ == Value) return;
  inRowLineHeight_ = Value;
  TCustomDBGridEh* grid = Grid();
  NotifyChanged(grid && grid->RowPanel() && grid->RowPanel()->Active());
}

int TColumnEh::InRowPanelLeft() {
  return inRowPanelLeft_;
}

int TColumnEh::InRowPanelWidth() {
  return Width();
}

void TColumnEh::ReadInRowLinePos(TReader& Reader) {
  SetInRowLinePos(Reader.ReadInteger());
}

void TColumnEh::WriteInRowLinePos(TWriter& Writer) {
  Writer.WriteInteger(inRowLinePos_);
}

void TColumnEh::ReadInRowLineHeight(TReader& Reader) {
  SetInRowLineHeight(Reader.ReadInteger());
}

void TColumnEh::WriteInRowLineHeight(TWriter& Writer) {
  Writer.WriteInteger(inRowLineHeight_);
}

void TColumnEh::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineProperty(
      "InRowLinePos", [this](TReader& Reader) { ReadInRowLinePos(Reader); },
      [this](TWriter& Writer) { WriteInRowLinePos(Writer); }, inRowLinePos_ != 0);
  Filer.DefineProperty(
      "InRowLineHeight", [this](TReader& Reader) { ReadInRowLineHeight(Reader); },
      [this](TWriter& Writer) { WriteInRowLineHeight(Writer); }, inRowLineHeight_ != 1);
}

// --- values ------------------------------------------------------------------------------------

void TColumnEh::UpdateDataText(const std::string& Text) {
  // The text is written as text: only a handler looks at the value beside it.
  UpdateData(Text, OnUpdateData ? Variant(Text) : Variant(), true);
}

void TColumnEh::UpdateDataValue(const Variant& Value) {
  UpdateData(std::string(), Value, false);
}

bool TColumnEh::GetGroupFooterKindAllowed(int Kind) {
  TField* field = GetField();
  if (!field) return false;
  switch (Kind) {
    case 0:
      return false;
    case 1:
      return field->InheritsFrom(TNumericField::StaticClass()) ||
             field->InheritsFrom(TBooleanField::StaticClass());
    case 2:
      return field->InheritsFrom(TNumericField::StaticClass());
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
      return true;
    default:
      return false;
  }
}

void TColumnEh::OptimizeWidth() {
  TCustomDBGridEh* grid = Grid();
  if (!grid) return;
  TColumnsEhList list;
  list.Add(this);
  grid->OptimizeColsWidth(list, -1);
}

// --- text area and row heights -----------------------------------------------------------------

void TColumnEh::SetTextArea(const TRect& ARect) {
  // The painter narrows its own copy through AdjustTextArea; nothing is kept here.
  TRect area = ARect;
  AdjustTextArea(area);
}

void TColumnEh::AdjustTextArea(TRect& ARect) {
  if (AlwaysShowEditButton()) ARect.Right -= GetEditButtonsWidth();
  TCustomDBGridEh* grid = Grid();
  if (grid && grid->FirstVisibleColumn() == Index()) {
    ARect.Left += grid->GetRowTreeIndent(grid->Row());
    if (grid->RowDetailPanel() && grid->RowDetailPanel()->Active()) ARect.Left += 18;
    if (grid->DataGrouping() && grid->DataGrouping()->IsGroupingActive()) ARect.Left += grid->GroupIndent();
  }
  if (ImageList() && ShowImageAndText()) ARect.Left += ImageList()->Width() + 5;
}

bool TColumnEh::IsWordWrapEffective(int RowHeight) {
  if (!WordWrap()) return false;
  TCustomDBGridEh* grid = Grid();
  if (grid && grid->RowPanel() && grid->RowPanel()->Active()) return inRowLineHeight_ >= 2;
  return inherited::IsWordWrapEffective(RowHeight);
}

int TColumnEh::CalcAutoFitRowHeight() {
  TCustomDBGridEh* grid = Grid();
  if (!grid) return 0;
  const int defaultHeight = grid->DefaultDataRowHeight();
  if (!grid->OptionsEh().Contains(dghAutoFitRowHeight)) return defaultHeight;
  if (grid->IsDataIntfAssigned() && grid->DataIntf()->IsTreeViewMode()) return defaultHeight;

  int height = 0;
  if (GetColumnType() == abkGraphicEh && grid->DrawGraphicData()) {
    const TSize picture = FieldPictureSize(GetField());
    if (picture.cx > 0)
      height = static_cast<int>(std::lround(static_cast<double>(picture.cy) * Width() / picture.cx));
  } else {
    TColCellParamsEh params;
    TFont font;
    font.Assign(Font());
    FillColCellParams(&params);
    params.Font = &font;
    TColor background = params.Background;
    grid->GetCellParams(this, &font, background, TGridDrawState());
    params.Background = background;
    GetColCellParamsEh(false, &params);

    int width = Width() - 4;
    if (AlwaysShowEditButton()) width -= GetEditButtonsWidth();
    if (grid->FirstVisibleColumn() == Index()) width -= grid->GetRowTreeIndent(grid->Row());
    if (ImageList() && ShowImageAndText()) width -= ImageList()->Width() + 4;
    RECT r{0, 0, std::max(width, 0), 0};
    UINT format = DT_CALCRECT | DT_NOPREFIX;
    if (WordWrap()) format |= DT_WORDBREAK;
    TMeasureDC dc(grid, &font);
    DrawText(dc.Handle(), params.Text, &r, format);
    height = r.Bottom - r.Top;
  }
  height += grid->Flat() ? 1 : 3;
  if (grid->Options().Contains(dgRowLines)) height += grid->GridLineWidth();
  return std::max(height, defaultHeight);
}

// --- events ------------------------------------------------------------------------------------

void TColumnEh::GetColCellParams(TAxisColCellParamsEh* Params) {
  if (auto* params = dynamic_cast<TColCellParamsEh*>(Params)) GetColCellParamsEh(false, params);
}

void TColumnEh::GetColCellParamsEh(bool EditMode, TColCellParamsEh* Params) {
  if (OnGetCellParams) OnGetCellParams(this, EditMode, Params);
}

void TColumnEh::ApplyListSourceAutoFilter(TDataSet* ListDataSet, const std::string& KeyFieldName,
                                          const std::string& Text, bool Contains) {
  if (OnDropDownBoxApplyTextFilter)
    OnDropDownBoxApplyTextFilter(this, Grid(), ListDataSet, KeyFieldName, Text, Contains);
  else
    inherited::ApplyListSourceAutoFilter(ListDataSet, KeyFieldName, Text, Contains);
}

// --- description -------------------------------------------------------------------------------

void TColumnEh::DescribeClass(TClassBuilder<TColumnEh>& c) {
  using C = TColumnEh;
  auto self = [](const C& col) -> C& { return const_cast<C&>(col); };
  c.Property(
       "AutoFitColWidth", [self](const C& col) { return self(col).AutoFitColWidth(); },
       &C::SetAutoFitColWidth)
      .Default(1);
  c.Property("Footer", &C::Footer, &C::SetFooter);
  c.Property("Footers", &C::Footers, &C::SetFooters);
  c.Property("HideDuplicates", &C::HideDuplicates, &C::SetHideDuplicates).Default(0);
  c.Property(
       "MaxWidth", [self](const C& col) { return self(col).MaxWidth(); }, &C::SetMaxWidth)
      .Default(0);
  c.Property(
       "MinWidth", [self](const C& col) { return self(col).MinWidth(); }, &C::SetMinWidth)
      .Default(0);
  c.Property("STFilter", &C::STFilter, &C::SetSTFilter);
  c.Property(
       "Width", [self](const C& col) { return self(col).Width(); }, &C::SetWidth)
      .NoDefault()
      .StoredIf([self](const TObject& o) { return self(static_cast<const C&>(o)).IsWidthStored(); });
  c.Property(
      "OnGetCellParams", [](const C& col) -> const auto& { return col.OnGetCellParams; },
      [](C& col, const TGetColCellParamsEventEh& v) { col.OnGetCellParams = v; });
  c.Property(
      "OnAdvDrawDataCell", [](const C& col) -> const auto& { return col.OnAdvDrawDataCell; },
      [](C& col, const TDrawColumnDataCellEventEh& v) { col.OnAdvDrawDataCell = v; });
  c.Property(
      "OnCheckDrawRequiredState", [](const C& col) -> const auto& { return col.OnCheckDrawRequiredState; },
      [](C& col, const TColCheckDrawRequiredStateEventEh& v) { col.OnCheckDrawRequiredState = v; });
  c.Property(
      "OnHintShowPause", [](const C& col) -> const auto& { return col.OnHintShowPause; },
      [](C& col, const TColHintShowPauseEventEh& v) { col.OnHintShowPause = v; });
  c.Property(
      "OnDataHintShow", [](const C& col) -> const auto& { return col.OnDataHintShow; },
      [](C& col, const TDBGridEhDataHintShowEventEh& v) { col.OnDataHintShow = v; });
  c.Property(
      "OnFillSTFilterListValues", [](const C& col) -> const auto& { return col.OnFillSTFilterListValues; },
      [](C& col, const TFillSTFilterListValuesEventEh& v) { col.OnFillSTFilterListValues = v; });
  c.Property(
      "OnGroupGetKeyValue", [](const C& col) -> const auto& { return col.OnGroupGetKeyValue; },
      [](C& col, const TColumnGroupGetKeyValueEventEh& v) { col.OnGroupGetKeyValue = v; });
  c.Property(
      "OnGroupGetKeyValueAsText", [](const C& col) -> const auto& { return col.OnGroupGetKeyValueAsText; },
      [](C& col, const TColumnGroupGetKeyValueAsTextEventEh& v) { col.OnGroupGetKeyValueAsText = v; });
  c.Property(
      "OnGetHideDuplicatesValue", [](const C& col) -> const auto& { return col.OnGetHideDuplicatesValue; },
      [](C& col, const TGetHideDuplicatesValueEventEh& v) { col.OnGetHideDuplicatesValue = v; });
  c.Property(
      "OnDataGroupFooterFinalizeValue",
      [](const C& col) -> const auto& { return col.OnDataGroupFooterFinalizeValue; },
      [](C& col, const TGridDataGroupFooterItemFinalizeValueEvent& v) {
        col.OnDataGroupFooterFinalizeValue = v;
      });
  c.Property(
      "OnDataGroupFooterToDisplayText",
      [](const C& col) -> const auto& { return col.OnDataGroupFooterToDisplayText; },
      [](C& col, const TGridDataGroupFooterItemToDisplayTextEvent& v) {
        col.OnDataGroupFooterToDisplayText = v;
      });
  c.Property(
      "OnDataGroupFooterAggregateValue",
      [](const C& col) -> const auto& { return col.OnDataGroupFooterAggregateValue; },
      [](C& col, const TGridDataGroupFooterItemAggregateValueEvent& v) {
        col.OnDataGroupFooterAggregateValue = v;
      });
  c.Property(
      "OnDropDownBoxApplyTextFilter",
      [](const C& col) -> const auto& { return col.OnDropDownBoxApplyTextFilter; },
      [](C& col, const TDropDownBoxApplyTextFilterEventEh& v) { col.OnDropDownBoxApplyTextFilter = v; });
}
