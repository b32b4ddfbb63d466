// Display parameter objects of the data grid (title, indicator, footer, tree view), the
// indicator title, the group paint blocks, the sum list, the title tree node and the grid's
// data grouping classes: creation, streaming, assignment and the plain properties.
#include <type_traits>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TDBGridAreaParamsEh)
RTL_IMPLEMENT_CLASS(TDBGridLineParamsEh)
RTL_IMPLEMENT_CLASS(TDBGridBackgroundDataEh)
RTL_IMPLEMENT_CLASS(TGridHighlightTextParamsEh)
RTL_IMPLEMENT_CLASS(TColumnEhPropertyInterceptor)
RTL_IMPLEMENT_CLASS(TColumnsEhPropertyInterceptor)
RTL_IMPLEMENT_CLASS(TDBGridTitleParamsEh)
RTL_IMPLEMENT_CLASS(TDBGridIndicatorParamsEh)
RTL_IMPLEMENT_CLASS(TDBGridFooterParamsEh)
RTL_IMPLEMENT_CLASS(TGridTreeViewParamsEh)
RTL_IMPLEMENT_CLASS(TDBGridEhIndicatorTitle)
RTL_IMPLEMENT_CLASS(TGroupRowParamsEh)
RTL_IMPLEMENT_CLASS(TGroupFooterParamsEh)
RTL_IMPLEMENT_CLASS(TDBGridEhSumList)
RTL_IMPLEMENT_CLASS(TDBGridEhGroupingPanelEh)
RTL_IMPLEMENT_CLASS(TDBGridEhDataGroupsEh)
RTL_IMPLEMENT_CLASS(TDBGridEhDataGroupLevelEh)

namespace dbgrid_params_detail {

// The published getters are not const; the class description reads through a const object.
template <auto Getter>
constexpr auto Read = [](const auto& o) {
  using C = std::remove_cvref_t<decltype(o)>;
  return (const_cast<C&>(o).*Getter)();
};

bool Loading(TCustomDBGridEh* Grid) {
  return Grid->ComponentState().Contains(csLoading);
}

bool TitlesShown(TCustomDBGridEh* Grid) {
  return Grid->Options().Contains(dgTitles);
}

// Copies the grid's font into a parent-derived font without reporting it as a user change.
void CopyGridFont(TCustomDBGridEh* Grid, TFont* Font, bool& Refreshing) {
  TValueRestorer<bool> keep(Refreshing, true);
  Font->Assign(Grid->Font());
}

}  // namespace dbgrid_params_detail

using namespace dbgrid_params_detail;

// ================================================================================================
// TDBGridTitleParamsEh
// ================================================================================================

void TDBGridAreaParamsEh::DescribeClass(TClassBuilder<TDBGridAreaParamsEh>& c) {
  using T = TDBGridAreaParamsEh;
  c.Property("HorzLineColor", Read<&T::HorzLineColor>, &T::SetHorzLineColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("VertLineColor", Read<&T::VertLineColor>, &T::SetVertLineColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("FillStyle", Read<&T::FillStyle>, &T::SetFillStyle).Default(static_cast<int64_t>(cfstDefaultEh));
  c.Property("HorzLines", Read<&T::HorzLines>, &T::SetHorzLines).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).horzLinesStored_;
  });
  c.Property("HorzLinesStored", Read<&T::HorzLinesStored>, &T::SetHorzLinesStored).Default(0);
  c.Property("VertLines", Read<&T::VertLines>, &T::SetVertLines).NoDefault().StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).vertLinesStored_;
  });
  c.Property("VertLinesStored", Read<&T::VertLinesStored>, &T::SetVertLinesStored).Default(0);
}

void TDBGridAreaParamsEh::AssignAreaSettings(const TDBGridAreaParamsEh& Source) {
  horzLineColor_ = Source.horzLineColor_;
  vertLineColor_ = Source.vertLineColor_;
  fillStyle_ = Source.fillStyle_;
  horzLines_ = Source.horzLines_;
  horzLinesStored_ = Source.horzLinesStored_;
  vertLines_ = Source.vertLines_;
  vertLinesStored_ = Source.vertLinesStored_;
}

void TDBGridAreaParamsEh::LinesChanged() {
  grid_->Invalidate();
}

TColor TDBGridAreaParamsEh::HorzLineColor() {
  return horzLineColor_;
}

void TDBGridAreaParamsEh::SetHorzLineColor(TColor v) {
  if (v == horzLineColor_) return;
  horzLineColor_ = v;
  grid_->Invalidate();
}

TColor TDBGridAreaParamsEh::VertLineColor() {
  return vertLineColor_;
}

void TDBGridAreaParamsEh::SetVertLineColor(TColor v) {
  if (v == vertLineColor_) return;
  vertLineColor_ = v;
  grid_->Invalidate();
}

TGridCellFillStyleEh TDBGridAreaParamsEh::FillStyle() {
  return fillStyle_;
}

void TDBGridAreaParamsEh::SetFillStyle(TGridCellFillStyleEh v) {
  if (v == fillStyle_) return;
  fillStyle_ = v;
  grid_->Invalidate();
}

bool TDBGridAreaParamsEh::HorzLines() {
  return horzLinesStored_ ? horzLines_ : grid_->Options().Contains(dgRowLines);
}

void TDBGridAreaParamsEh::SetHorzLines(bool v) {
  if (horzLinesStored_ && horzLines_ == v) return;
  horzLinesStored_ = true;
  horzLines_ = v;
  LinesChanged();
}

bool TDBGridAreaParamsEh::HorzLinesStored() {
  return horzLinesStored_;
}

void TDBGridAreaParamsEh::SetHorzLinesStored(bool v) {
  if (v == horzLinesStored_) return;
  horzLines_ = HorzLines();
  horzLinesStored_ = v;
  LinesChanged();
}

bool TDBGridAreaParamsEh::VertLines() {
  return vertLinesStored_ ? vertLines_ : grid_->Options().Contains(dgColLines);
}

void TDBGridAreaParamsEh::SetVertLines(bool v) {
  if (vertLinesStored_ && vertLines_ == v) return;
  vertLinesStored_ = true;
  vertLines_ = v;
  LinesChanged();
}

bool TDBGridAreaParamsEh::VertLinesStored() {
  return vertLinesStored_;
}

void TDBGridAreaParamsEh::SetVertLinesStored(bool v) {
  if (v == vertLinesStored_) return;
  vertLines_ = VertLines();
  vertLinesStored_ = v;
  LinesChanged();
}

// The title's lines take room: a change lays the grid out again.
void TDBGridTitleParamsEh::LinesChanged() {
  grid_->LayoutChanged();
}

TDBGridTitleParamsEh::TDBGridTitleParamsEh(TCustomDBGridEh* AGrid)
    : TDBGridAreaParamsEh(AGrid), font_(std::make_unique<TFont>()) {
  CopyGridFont(grid_, font_.get(), fontRefreshing_);
  font_->OnChange = TNotifyEvent::Method(this, &TDBGridTitleParamsEh::FontChanged);
}

void TDBGridTitleParamsEh::DescribeClass(TClassBuilder<TDBGridTitleParamsEh>& c) {
  using T = TDBGridTitleParamsEh;
  c.Property("Color", Read<&T::Color>, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).colorStored_; });
  c.Property("ColorStored", Read<&T::ColorStored>, &T::SetColorStored).Default(0);
  c.Property("SecondColor", Read<&T::SecondColor>, &T::SetSecondColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).secondColorStored_; });
  c.Property("SecondColorStored", Read<&T::SecondColorStored>, &T::SetSecondColorStored).Default(0);
  c.Property("Font", Read<&T::Font>, &T::SetFont).StoredIf([](const TObject& o) {
    return !static_cast<const T&>(o).parentFont_;
  });
  c.Property("ParentFont", Read<&T::ParentFont>, &T::SetParentFont).Default(1);
  c.Property("VTitleMargin", Read<&T::VTitleMargin>, &T::SetVTitleMargin).Default(10);
  c.Property("RowHeight", Read<&T::RowHeight>, &T::SetRowHeight).Default(0);
  c.Property("RowLines", Read<&T::RowLines>, &T::SetRowLines).Default(0);
  c.Property("MultiTitle", Read<&T::MultiTitle>, &T::SetMultiTitle).Default(0);
  c.Property("Images", Read<&T::Images>, &T::SetImages);
  c.Property("PopupMenu", Read<&T::PopupMenu>, &T::SetPopupMenu);
  c.Property("SortMarkerStyle", Read<&T::SortMarkerStyle>, &T::SetSortMarkerStyle)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).sortMarkerStyleStored_; });
  c.Property("SortMarkerStyleStored", Read<&T::SortMarkerStyleStored>, &T::SetSortMarkerStyleStored)
      .Default(0);
  c.Property("BorderInFillStyle", Read<&T::BorderInFillStyle>, &T::SetBorderInFillStyle).Default(0);
}

void TDBGridTitleParamsEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBGridTitleParamsEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  AssignAreaSettings(*src);
  color_ = src->color_;
  colorStored_ = src->colorStored_;
  secondColor_ = src->secondColor_;
  secondColorStored_ = src->secondColorStored_;
  parentFont_ = src->parentFont_;
  {
    TValueRestorer<bool> keep(fontRefreshing_, true);
    if (parentFont_)
      font_->Assign(grid_->Font());
    else
      font_->Assign(src->font_.get());
  }
  vTitleMargin_ = src->vTitleMargin_;
  rowHeight_ = src->rowHeight_;
  rowLines_ = src->rowLines_;
  multiTitle_ = src->multiTitle_;
  SetPopupMenu(src->popupMenu_);
  sortMarkerStyle_ = src->sortMarkerStyle_;
  sortMarkerStyleStored_ = src->sortMarkerStyleStored_;
  borderInFillStyle_ = src->borderInFillStyle_;
  if (src->grid_ != grid_) SetImages(src->Images());
  grid_->LayoutChanged();
}

TColor TDBGridTitleParamsEh::Color() {
  return colorStored_ ? color_ : grid_->FixedColor();
}

void TDBGridTitleParamsEh::SetColor(TColor v) {
  if (colorStored_ && color_ == v) return;
  colorStored_ = true;
  color_ = v;
  grid_->Invalidate();
}

bool TDBGridTitleParamsEh::ColorStored() {
  return colorStored_;
}

void TDBGridTitleParamsEh::SetColorStored(bool v) {
  if (v == colorStored_) return;
  color_ = Color();
  colorStored_ = v;
  grid_->Invalidate();
}

TColor TDBGridTitleParamsEh::SecondColor() {
  return secondColorStored_ ? secondColor_ : grid_->Color();
}

void TDBGridTitleParamsEh::SetSecondColor(TColor v) {
  if (secondColorStored_ && secondColor_ == v) return;
  secondColorStored_ = true;
  secondColor_ = v;
  grid_->Invalidate();
}

bool TDBGridTitleParamsEh::SecondColorStored() {
  return secondColorStored_;
}

void TDBGridTitleParamsEh::SetSecondColorStored(bool v) {
  if (v == secondColorStored_) return;
  secondColor_ = SecondColor();
  secondColorStored_ = v;
  grid_->Invalidate();
}

TFont* TDBGridTitleParamsEh::Font() {
  return font_.get();
}

void TDBGridTitleParamsEh::SetFont(TFont* v) {
  font_->Assign(v);
}

void TDBGridTitleParamsEh::FontChanged(TObject*) {
  if (fontRefreshing_) return;
  if (!Loading(grid_)) parentFont_ = false;
  if (TitlesShown(grid_)) grid_->LayoutChanged();
}

bool TDBGridTitleParamsEh::ParentFont() {
  return parentFont_;
}

void TDBGridTitleParamsEh::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (parentFont_) CopyGridFont(grid_, font_.get(), fontRefreshing_);
  grid_->Invalidate();
}

int TDBGridTitleParamsEh::VTitleMargin() {
  return vTitleMargin_;
}

void TDBGridTitleParamsEh::SetVTitleMargin(int v) {
  v = ClampControlCoord(v);
  if (v == vTitleMargin_) return;
  vTitleMargin_ = v;
  grid_->LayoutChanged();
}

int TDBGridTitleParamsEh::RowHeight() {
  return rowHeight_;
}

void TDBGridTitleParamsEh::SetRowHeight(int v) {
  v = ClampControlSize(v);
  if (v == rowHeight_) return;
  rowHeight_ = v;
  grid_->LayoutChanged();
}

int TDBGridTitleParamsEh::RowLines() {
  return rowLines_;
}

void TDBGridTitleParamsEh::SetRowLines(int v) {
  v = ClampControlSize(v);
  if (v == rowLines_) return;
  rowLines_ = v;
  grid_->LayoutChanged();
}

bool TDBGridTitleParamsEh::MultiTitle() {
  return multiTitle_;
}

void TDBGridTitleParamsEh::SetMultiTitle(bool v) {
  if (v == multiTitle_) return;
  multiTitle_ = v;
  grid_->LayoutChanged();
}

// The grid keeps the list, its change link and the free notification.
TCustomImageList* TDBGridTitleParamsEh::Images() {
  return grid_->TitleImages();
}

void TDBGridTitleParamsEh::SetImages(TCustomImageList* v) {
  grid_->SetTitleImages(v);
}

TPopupMenu* TDBGridTitleParamsEh::PopupMenu() {
  return popupMenu_;
}

void TDBGridTitleParamsEh::SetPopupMenu(TPopupMenu* v) {
  if (v == popupMenu_) return;
  popupMenu_ = v;
  if (popupMenu_) popupMenu_->FreeNotification(grid_);
}

TSortMarkerStyleEh TDBGridTitleParamsEh::SortMarkerStyle() {
  if (sortMarkerStyleStored_) return sortMarkerStyle_;
  TDBGridEhStyle* style = DBGridEhDefaultStyle();
  return style ? style->SortMarkerStyle() : smstDefaultEh;
}

void TDBGridTitleParamsEh::SetSortMarkerStyle(TSortMarkerStyleEh v) {
  if (sortMarkerStyleStored_ && sortMarkerStyle_ == v) return;
  sortMarkerStyleStored_ = true;
  sortMarkerStyle_ = v;
  grid_->Invalidate();
}

bool TDBGridTitleParamsEh::SortMarkerStyleStored() {
  return sortMarkerStyleStored_;
}

void TDBGridTitleParamsEh::SetSortMarkerStyleStored(bool v) {
  if (v == sortMarkerStyleStored_) return;
  sortMarkerStyle_ = SortMarkerStyle();
  sortMarkerStyleStored_ = v;
  grid_->Invalidate();
}

bool TDBGridTitleParamsEh::BorderInFillStyle() {
  return borderInFillStyle_;
}

void TDBGridTitleParamsEh::SetBorderInFillStyle(bool v) {
  if (v == borderInFillStyle_) return;
  borderInFillStyle_ = v;
  grid_->Invalidate();
}

// Title line widths enter the title row height (multi-level titles): a relayout.

// ================================================================================================
// TDBGridIndicatorParamsEh
// ================================================================================================

TDBGridIndicatorParamsEh::TDBGridIndicatorParamsEh(TCustomDBGridEh* AGrid) : TDBGridAreaParamsEh(AGrid) {}

void TDBGridIndicatorParamsEh::DescribeClass(TClassBuilder<TDBGridIndicatorParamsEh>& c) {
  using T = TDBGridIndicatorParamsEh;
  c.Property("Color", Read<&T::Color>, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).colorStored_; });
  c.Property("ColorStored", Read<&T::ColorStored>, &T::SetColorStored).Default(0);
  c.Property("RecNoShowStep", Read<&T::RecNoShowStep>, &T::SetRecNoShowStep).Default(1);
}

void TDBGridIndicatorParamsEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBGridIndicatorParamsEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  AssignAreaSettings(*src);
  color_ = src->color_;
  colorStored_ = src->colorStored_;
  recNoShowStep_ = src->recNoShowStep_;
  grid_->Invalidate();
}

TColor TDBGridIndicatorParamsEh::Color() {
  return colorStored_ ? color_ : grid_->FixedColor();
}

void TDBGridIndicatorParamsEh::SetColor(TColor v) {
  if (colorStored_ && color_ == v) return;
  colorStored_ = true;
  color_ = v;
  grid_->Invalidate();
}

bool TDBGridIndicatorParamsEh::ColorStored() {
  return colorStored_;
}

void TDBGridIndicatorParamsEh::SetColorStored(bool v) {
  if (v == colorStored_) return;
  color_ = Color();
  colorStored_ = v;
  grid_->Invalidate();
}

int TDBGridIndicatorParamsEh::RecNoShowStep() {
  return recNoShowStep_;
}

void TDBGridIndicatorParamsEh::SetRecNoShowStep(int v) {
  if (v == recNoShowStep_) return;
  recNoShowStep_ = v;
  grid_->Invalidate();
}

// ================================================================================================
// TDBGridFooterParamsEh
// ================================================================================================

TDBGridFooterParamsEh::TDBGridFooterParamsEh(TCustomDBGridEh* AGrid)
    : TDBGridAreaParamsEh(AGrid), font_(std::make_unique<TFont>()) {
  CopyGridFont(grid_, font_.get(), fontRefreshing_);
  font_->OnChange = TNotifyEvent::Method(this, &TDBGridFooterParamsEh::FontChanged);
}

void TDBGridFooterParamsEh::DescribeClass(TClassBuilder<TDBGridFooterParamsEh>& c) {
  using T = TDBGridFooterParamsEh;
  // The stored colour, clDefault included: the getter answers the derived one.
  c.Property(
       "Color", [](const T& p) { return p.color_; }, &T::SetColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("Font", Read<&T::Font>, &T::SetFont).StoredIf([](const TObject& o) {
    return !static_cast<const T&>(o).parentFont_;
  });
  c.Property("ParentFont", Read<&T::ParentFont>, &T::SetParentFont).Default(1);
  c.Property("RowHeight", Read<&T::RowHeight>, &T::SetRowHeight).Default(0);
  c.Property("RowLines", Read<&T::RowLines>, &T::SetRowLines).Default(0);
}

void TDBGridFooterParamsEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBGridFooterParamsEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  AssignAreaSettings(*src);
  color_ = src->color_;
  parentFont_ = src->parentFont_;
  {
    TValueRestorer<bool> keep(fontRefreshing_, true);
    if (parentFont_)
      font_->Assign(grid_->Font());
    else
      font_->Assign(src->font_.get());
  }
  rowHeight_ = src->rowHeight_;
  rowLines_ = src->rowLines_;
  grid_->LayoutChanged();
}

TColor TDBGridFooterParamsEh::Color() {
  return color_ == clDefault ? grid_->Color() : color_;
}

void TDBGridFooterParamsEh::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  grid_->Invalidate();
}

TFont* TDBGridFooterParamsEh::Font() {
  return font_.get();
}

void TDBGridFooterParamsEh::SetFont(TFont* v) {
  font_->Assign(v);
}

// Footer fonts set the footer row heights.
void TDBGridFooterParamsEh::FontChanged(TObject*) {
  if (fontRefreshing_) return;
  if (!Loading(grid_)) parentFont_ = false;
  grid_->LayoutChanged();
}

bool TDBGridFooterParamsEh::ParentFont() {
  return parentFont_;
}

void TDBGridFooterParamsEh::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (parentFont_) {
    CopyGridFont(grid_, font_.get(), fontRefreshing_);
    grid_->LayoutChanged();
  } else {
    grid_->Invalidate();
  }
}

int TDBGridFooterParamsEh::RowHeight() {
  return rowHeight_;
}

void TDBGridFooterParamsEh::SetRowHeight(int v) {
  v = ClampControlCoord(v);  // negative reads as unset
  if (v == rowHeight_) return;
  rowHeight_ = v;
  grid_->LayoutChanged();
}

int TDBGridFooterParamsEh::RowLines() {
  return rowLines_;
}

void TDBGridFooterParamsEh::SetRowLines(int v) {
  v = ClampControlCoord(v);
  if (v == rowLines_) return;
  rowLines_ = v;
  grid_->LayoutChanged();
}

int TDBGridFooterParamsEh::RowHeightOf(int FooterRow) const {
  if (FooterRow < 0 || FooterRow >= static_cast<int>(rowHeights_.size())) return 0;
  return rowHeights_[static_cast<size_t>(FooterRow)];
}

void TDBGridFooterParamsEh::SetRowHeightOf(int FooterRow, int Height) {
  if (FooterRow < 0) return;
  if (FooterRow >= static_cast<int>(rowHeights_.size()))
    rowHeights_.resize(static_cast<size_t>(FooterRow) + 1, 0);
  rowHeights_[static_cast<size_t>(FooterRow)] = Height;
}

// ================================================================================================
// TGridTreeViewParamsEh
// ================================================================================================

TGridTreeViewParamsEh::TGridTreeViewParamsEh(TCustomDBGridEh* AGrid) : grid_(AGrid) {}

void TGridTreeViewParamsEh::DescribeClass(TClassBuilder<TGridTreeViewParamsEh>& c) {
  using T = TGridTreeViewParamsEh;
  c.Property("GlyphStyle", Read<&T::GlyphStyle>, &T::SetGlyphStyle)
      .Default(static_cast<int64_t>(tvgsDefaultEh));
  c.Property("ShowTreeLines", Read<&T::ShowTreeLines>, &T::SetShowTreeLines).Default(1);
}

void TGridTreeViewParamsEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridTreeViewParamsEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  glyphStyle_ = src->glyphStyle_;
  showTreeLines_ = src->showTreeLines_;
  grid_->Invalidate();
}

TTreeViewGlyphStyleEh TGridTreeViewParamsEh::GlyphStyle() {
  return glyphStyle_;
}

void TGridTreeViewParamsEh::SetGlyphStyle(TTreeViewGlyphStyleEh v) {
  if (v == glyphStyle_) return;
  glyphStyle_ = v;
  grid_->Invalidate();
}

bool TGridTreeViewParamsEh::ShowTreeLines() {
  return showTreeLines_;
}

void TGridTreeViewParamsEh::SetShowTreeLines(bool v) {
  if (v == showTreeLines_) return;
  showTreeLines_ = v;
  grid_->Invalidate();
}

// ================================================================================================
// TDBGridEhIndicatorTitle
// ================================================================================================

TDBGridEhIndicatorTitle::TDBGridEhIndicatorTitle(TCustomDBGridEh* AGrid) : grid_(AGrid) {}

void TDBGridEhIndicatorTitle::DescribeClass(TClassBuilder<TDBGridEhIndicatorTitle>& c) {
  using T = TDBGridEhIndicatorTitle;
  c.Property("DropdownMenu", Read<&T::DropdownMenu>, &T::SetDropdownMenu);
  c.Property("ShowDropDownSign", Read<&T::ShowDropDownSign>, &T::SetShowDropDownSign).Default(0);
  c.Property("TitleButton", Read<&T::TitleButton>, &T::SetTitleButton).Default(0);
  c.Property("UseGlobalMenu", Read<&T::UseGlobalMenu>, &T::SetUseGlobalMenu).Default(1);
}

TPopupMenu* TDBGridEhIndicatorTitle::DropdownMenu() {
  return dropdownMenu_;
}

void TDBGridEhIndicatorTitle::SetDropdownMenu(TPopupMenu* v) {
  if (v == dropdownMenu_) return;
  dropdownMenu_ = v;
  if (dropdownMenu_) dropdownMenu_->FreeNotification(grid_);
}

bool TDBGridEhIndicatorTitle::ShowDropDownSign() {
  return showDropDownSign_;
}

// Only the indicator title cell shows the sign.
void TDBGridEhIndicatorTitle::SetShowDropDownSign(bool v) {
  if (v == showDropDownSign_) return;
  showDropDownSign_ = v;
  if (grid_->HandleAllocated())
    grid_->InvalidateCell(0, 0);
  else
    grid_->Invalidate();
}

bool TDBGridEhIndicatorTitle::TitleButton() {
  return titleButton_;
}

void TDBGridEhIndicatorTitle::SetTitleButton(bool v) {
  if (v == titleButton_) return;
  titleButton_ = v;
  grid_->Invalidate();
}

bool TDBGridEhIndicatorTitle::UseGlobalMenu() {
  return useGlobalMenu_;
}

void TDBGridEhIndicatorTitle::SetUseGlobalMenu(bool v) {
  useGlobalMenu_ = v;
}

// ================================================================================================
// TDBGridEhSumList
// ================================================================================================

TDBGridEhSumList::TDBGridEhSumList(TComponent* AOwner) : TDBSumListProducer(AOwner) {
  SetDesignTimeWork(true);
  SetActive(false);
}

void TDBGridEhSumList::DescribeClass(TClassBuilder<TDBGridEhSumList>& c) {
  using T = TDBGridEhSumList;
  c.Property("Active", &T::Active, &T::SetActive).Default(0);
  c.Property("ExternalRecalc", &T::ExternalRecalc, &T::SetExternalRecalc).Default(0);
  c.Property("VirtualRecords", &T::VirtualRecords, &T::SetVirtualRecords).Default(0);
}

// Active read from a description could not hook the data set while the grid was loading, and
// the totals read meanwhile were not counted.
void TDBGridEhSumList::Loaded() {
  if (!Active() || !DataSet()) return;
  if (!EventsHooked()) SetDataSetEvents();
  RecalcAll();
}

// ================================================================================================
// Data grouping
// ================================================================================================

TDBGridEhGroupingPanelEh::TDBGridEhGroupingPanelEh(TDBGridEhDataGroupsEh* AOwner) : owner_(AOwner) {}

void TDBGridEhGroupingPanelEh::DescribeClass(TClassBuilder<TDBGridEhGroupingPanelEh>& c) {
  using T = TDBGridEhGroupingPanelEh;
  c.Property("Color", Read<&T::Color>, &T::SetColor).Default(clDefault).WithIdents(ColorIdents());
}

void TDBGridEhGroupingPanelEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBGridEhGroupingPanelEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetColor(src->color_);
}

TColor TDBGridEhGroupingPanelEh::Color() {
  return color_;
}

void TDBGridEhGroupingPanelEh::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  if (owner_->Grid()) owner_->Grid()->Invalidate();
}

TDBGridEhDataGroupsEh::TDBGridEhDataGroupsEh(TCustomDBGridEh* AGrid)
    : TGridDataGroupsEh(AGrid, AGrid), groupPanel_(std::make_unique<TDBGridEhGroupingPanelEh>(this)) {}

TDBGridEhDataGroupsEh::~TDBGridEhDataGroupsEh() = default;

void TDBGridEhDataGroupsEh::DescribeClass(TClassBuilder<TDBGridEhDataGroupsEh>& c) {
  using T = TDBGridEhDataGroupsEh;
  c.Property("GroupPanel", Read<&T::GroupPanel>, &T::SetGroupPanel);
}

TDBGridEhGroupingPanelEh* TDBGridEhDataGroupsEh::GroupPanel() {
  return groupPanel_.get();
}

void TDBGridEhDataGroupsEh::SetGroupPanel(TDBGridEhGroupingPanelEh* v) {
  groupPanel_->Assign(v);
}

TGridDataGroupLevelsEh* TDBGridEhDataGroupsEh::CreateGroupLevels() {
  return new TGridDataGroupLevelsEh(this, TDBGridEhDataGroupLevelEh::StaticClass());
}

// A level grouping by the column lets it go.
void TDBGridEhDataGroupsEh::ColumnRemoved(TColumnEh* Column) {
  ColumnRemoving(Column);
}

// Levels read from a description name their columns; the names resolve now that the columns
// are there.
void TDBGridEhDataGroupsEh::Loaded() {
  UpdateActiveGroupLevels();
  InitFootersColumnItems();
}

TDBGridEhDataGroupLevelEh::TDBGridEhDataGroupLevelEh(TCollection* Collection)
    : TGridDataGroupLevelEh(Collection) {}

// The published properties are the base level's.
void TDBGridEhDataGroupLevelEh::DescribeClass(TClassBuilder<TDBGridEhDataGroupLevelEh>&) {}

void TDBGridEhDataGroupLevelEh::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* src = dynamic_cast<TDBGridEhDataGroupLevelEh*>(Source)) {
    OnGetKeyValue = src->OnGetKeyValue;
    OnGetKeyValueAsText = src->OnGetKeyValueAsText;
    OnGetGroupRowText = src->OnGetGroupRowText;
  }
}

// ================================================================================================
// Actual values of the title, indicator, footer and tree-view parameters
// ================================================================================================

namespace dbgrid_params_detail {

// The fill a band gets: the default and the themed fill fall back when themes are off; a
// gradient without themes only where the grid's style allows it.
TGridCellFillStyleEh ActualBandFillStyle(TCustomDBGridEh* Grid, TGridCellFillStyleEh Style, bool Option3D) {
  const bool themes = ThemesEnabled();
  switch (Style) {
    case cfstDefaultEh:
      if (Grid->Flat()) return Option3D && themes ? cfstGradientEh : cfstSolidEh;
      return Option3D && themes ? cfstThemedEh : cfstSolidEh;
    case cfstThemedEh:
      if (themes) return cfstThemedEh;
      return Option3D ? cfstGradientEh : cfstSolidEh;
    case cfstGradientEh: {
      if (themes) return cfstGradientEh;
      TDBGridEhStyle* style = Grid->Style() ? Grid->Style() : DBGridEhDefaultStyle();
      return style && style->GradientAllowed() ? cfstGradientEh : cfstSolidEh;
    }
    case cfstSolidEh:
      break;
  }
  return Style;
}

TColor OwnOrBright(TCustomDBGridEh* Grid, TColor Own) {
  return Own != clDefault ? Own : Grid->GridLineColors()->GetBrightColor();
}

}  // namespace dbgrid_params_detail

void TDBGridTitleParamsEh::RefreshDefaultFont() {
  if (parentFont_) CopyGridFont(grid_, font_.get(), fontRefreshing_);
}

TGridCellFillStyleEh TDBGridIndicatorParamsEh::GetActualFillStyle() {
  return ActualBandFillStyle(grid_, FillStyle(), grid_->OptionsEh().Contains(dghFixed3D));
}

TColor TDBGridIndicatorParamsEh::GetActualHorzLineColor() {
  return OwnOrBright(grid_, HorzLineColor());
}

TColor TDBGridIndicatorParamsEh::GetActualVertLineColor() {
  return OwnOrBright(grid_, VertLineColor());
}

TGridCellFillStyleEh TDBGridFooterParamsEh::GetActualFillStyle() {
  return ActualBandFillStyle(grid_, FillStyle(), grid_->OptionsEh().Contains(dghFooter3D));
}

TColor TDBGridFooterParamsEh::GetActualHorzLineColor() {
  return OwnOrBright(grid_, HorzLineColor());
}

TColor TDBGridFooterParamsEh::GetActualVertLineColor() {
  return OwnOrBright(grid_, VertLineColor());
}

// The footer rows are measured with this font: a new grid font lays them out again.
void TDBGridFooterParamsEh::RefreshDefaultFont() {
  if (!parentFont_) return;
  CopyGridFont(grid_, font_.get(), fontRefreshing_);
  grid_->LayoutChanged();
}

TTreeViewGlyphStyleEh TGridTreeViewParamsEh::GetActualGlyphStyle() {
  if (glyphStyle_ != tvgsDefaultEh) return glyphStyle_;
  TDBGridEhStyle* style = grid_->Style() ? grid_->Style() : DBGridEhDefaultStyle();
  if (style) return style->DefaultTreeGlyphStyle();
  return ThemesEnabled() ? tvgsThemedEh : tvgsClassicEh;
}

// ================================================================================================
// TDBGridLineParamsEh
// ================================================================================================

TDBGridLineParamsEh::TDBGridLineParamsEh(TCustomDBGridEh* AGrid)
    : TDBAxisGridLineParamsEh(AGrid), grid_(AGrid) {}

// The published colours and switches are the bases'.
void TDBGridLineParamsEh::DescribeClass(TClassBuilder<TDBGridLineParamsEh>&) {}

bool TDBGridLineParamsEh::DefaultDataVertLines() {
  return grid_->Options().Contains(dgColLines);
}

bool TDBGridLineParamsEh::DefaultDataHorzLines() {
  return grid_->Options().Contains(dgRowLines);
}

// A flat white footer would lose the bright column lines above it: they take the dark colour.
TColor TDBGridLineParamsEh::GetDataVertColor() {
  if (DataVertColor() != clDefault) return DataVertColor();
  if (!grid_->OptionsEh().Contains(dghFooter3D) && grid_->FooterParams()->Color() == clWindow)
    return GetDarkColor();
  return GetBrightColor();
}

TDBGridLinesColorSchemeEh TDBGridLineParamsEh::GetActualColorScheme() {
  if (ColorScheme() != glcsDefaultEh) return ColorScheme();
  if (grid_->TitleParams()->GetActualFillStyle() == cfstThemedEh) return glcsThemedEh;
  if (ThemesEnabled() || grid_->Flat()) return glcsFlatEh;
  return glcsClassicEh;
}

// The lines reach into the empty space exactly while it is painted.
void TDBGridLineParamsEh::SetVertEmptySpaceStyle(TDrawEmptySpaceStyle Value) {
  if (Value == VertEmptySpaceStyle()) return;
  inherited::SetVertEmptySpaceStyle(Value);
  TDBGridEhOptions options = grid_->OptionsEh();
  const bool extend = Value != dessNonEh;
  if (options.Contains(dghExtendVertLines) != extend) {
    if (extend)
      options.Include(dghExtendVertLines);
    else
      options.Exclude(dghExtendVertLines);
    grid_->SetOptionsEh(options);
  }
  TCustomGridEh* base = grid_;
  TGridOptionsEh baseOptions = base->Options();
  if (baseOptions.Contains(goExtendedVertLinesEh) != grid_->OptionsEh().Contains(dghExtendVertLines)) {
    if (grid_->OptionsEh().Contains(dghExtendVertLines))
      baseOptions.Include(goExtendedVertLinesEh);
    else
      baseOptions.Exclude(goExtendedVertLinesEh);
    base->SetOptions(baseOptions);
  }
  grid_->Invalidate();
}

TGridLineColorsEh* TCustomDBGridEh::CreateGridLineColors() {
  return new TDBGridLineParamsEh(this);
}

TDBGridLineParamsEh* TCustomDBGridEh::GridLineParams() const {
  return static_cast<TDBGridLineParamsEh*>(GridLineColors());
}

void TCustomDBGridEh::SetGridLineParams(TDBGridLineParamsEh* Value) {
  GridLineParams()->Assign(Value);
}

// ================================================================================================
// TDBGridBackgroundDataEh
// ================================================================================================

TDBGridBackgroundDataEh::TDBGridBackgroundDataEh(TCustomDBGridEh* AGrid)
    : TGridBackgroundDataEh(AGrid), dbGrid_(AGrid) {}

void TDBGridBackgroundDataEh::DescribeClass(TClassBuilder<TDBGridBackgroundDataEh>& c) {
  using T = TDBGridBackgroundDataEh;
  c.Property("ExcludeTitle", &T::ExcludeTitle, &T::SetExcludeTitle).Default(0);
  c.Property("ExcludeIndicator", &T::ExcludeIndicator, &T::SetExcludeIndicator).Default(0);
  c.Property("ExcludeFooter", &T::ExcludeFooter, &T::SetExcludeFooter).Default(0);
}

void TDBGridBackgroundDataEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TDBGridBackgroundDataEh*>(Source)) {
    excludeTitle_ = src->excludeTitle_;
    excludeIndicator_ = src->excludeIndicator_;
    excludeFooter_ = src->excludeFooter_;
  }
  inherited::Assign(Source);
}

void TDBGridBackgroundDataEh::ExcludeChanged(bool& Field, bool Value) {
  if (Field == Value) return;
  Field = Value;
  dbGrid_->InvalidateGrid();
}

void TDBGridBackgroundDataEh::SetExcludeTitle(bool Value) {
  ExcludeChanged(excludeTitle_, Value);
}

void TDBGridBackgroundDataEh::SetExcludeIndicator(bool Value) {
  ExcludeChanged(excludeIndicator_, Value);
}

void TDBGridBackgroundDataEh::SetExcludeFooter(bool Value) {
  ExcludeChanged(excludeFooter_, Value);
}

// The picture covers the whole grid from the first fixed cell; each exclusion moves one edge
// in: below the title rows, right of the indicator, above the footer rows.
void TDBGridBackgroundDataEh::GetBackgroundRect(const TGridDrawInfoEh& DrawInfo, TRect& ARect) {
  TGridDrawInfoEh area = DrawInfo;
  const bool indicator = dbGrid_->Options().Contains(dgIndicator) && DrawInfo.Horz.FixedCellCount > 0;
  area.Horz.FixedBoundary = DrawInfo.Horz.StartBoundary;
  if (excludeIndicator_ && indicator) area.Horz.FixedBoundary += DrawInfo.Horz.GetExtentWithLine(0);
  area.Vert.FixedBoundary = excludeTitle_ ? DrawInfo.Vert.FixedBoundary : DrawInfo.Vert.StartBoundary;
  if (excludeFooter_) area.Vert.GridExtent = DrawInfo.Vert.ContraBoundary;
  inherited::GetBackgroundRect(area, ARect);
}

TGridBackgroundDataEh* TCustomDBGridEh::CreateBackgroundData() {
  return new TDBGridBackgroundDataEh(this);
}

TDBGridBackgroundDataEh* TCustomDBGridEh::BackgroundData() const {
  return static_cast<TDBGridBackgroundDataEh*>(TCustomGridEh::BackgroundData());
}

// ================================================================================================
// TGridHighlightTextParamsEh
// ================================================================================================

TGridHighlightTextParamsEh::TGridHighlightTextParamsEh() : columns_(std::make_unique<TColumnsEhList>()) {}

TGridHighlightTextParamsEh::~TGridHighlightTextParamsEh() = default;

// ================================================================================================
// Layout-storage interceptors
// ================================================================================================

void TColumnEhPropertyInterceptor::DescribeClass(TClassBuilder<TColumnEhPropertyInterceptor>& c) {
  using T = TColumnEhPropertyInterceptor;
  // Written only: reading answers the column's width, which is never stored from here.
  c.Property(
       "Width",
       [](const T& i) {
         auto* column = dynamic_cast<TColumnEh*>(i.Target());
         return column ? column->Width() : 0;
       },
       &T::SetWidth)
      .StoredIf([](const TObject&) { return false; });
}

// A fitted grid keeps the read width for its next fitting instead of resizing the column now.
void TColumnEhPropertyInterceptor::SetWidth(int Value) {
  auto* column = dynamic_cast<TColumnEh*>(Target());
  if (!column) return;
  TCustomDBGridEh* grid = column->Grid();
  if (grid && grid->AutoFitColWidths())
    column->SetInitWidth(Value);
  else
    column->SetWidth(Value);
}

void TColumnsEhPropertyInterceptor::DescribeClass(TClassBuilder<TColumnsEhPropertyInterceptor>& c) {
  using T = TColumnsEhPropertyInterceptor;
  c.Property("ColumnsIndex", &T::ColumnsIndex, &T::SetColumnsIndex);
}

std::string TColumnsEhPropertyInterceptor::ColumnsIndex() const {
  auto* columns = dynamic_cast<TDBGridColumnsEh*>(Target());
  if (!columns) return columnsIndex_;
  std::string text;
  for (int i = 0; i < columns->Count(); ++i) {
    if (i > 0) text += ',';
    text += '"' + columns->GetColumn(i)->FieldName() + '"';
  }
  return text;
}

// Item i names the column that goes to place i; names without a column, and places past the
// last column, are skipped.
void TColumnsEhPropertyInterceptor::SetColumnsIndex(const std::string& Value) {
  columnsIndex_ = Value;
  auto* columns = dynamic_cast<TDBGridColumnsEh*>(Target());
  if (!columns) return;
  TStringList names;
  names.SetCommaText(Value);
  columns->BeginUpdate();
  TScopeExit endUpdate([columns] { columns->EndUpdate(); });
  for (int i = 0; i < names.Count() && i < columns->Count(); ++i) {
    for (int j = 0; j < columns->Count(); ++j) {
      TColumnEh* column = columns->GetColumn(j);
      if (!SameText(column->FieldName(), names.Strings(i))) continue;
      column->SetIndex(i);
      break;
    }
  }
}
