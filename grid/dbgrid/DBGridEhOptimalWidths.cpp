// Optimal column widths: each listed column is sized to the widest of its title, every data cell
// of the data set and its footer cells, each measured as the grid paints it. The walk over the
// data set runs with its controls disabled and always returns to the record it started on.
#include <algorithm>
#include <string>
#include <typeinfo>
#include <vector>

#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"

namespace dbgrid_optwidth_detail {

// The room every measured cell keeps besides its content.
constexpr int kFitMargin = 5;
// What the title's decoration takes in the margin already.
constexpr int kTitleDecorationSlack = 2;
// The vertical text margins of title and footer cells (top plus bottom).
constexpr int kFitVertMargins = 4;
// Tree-view rows are indented by this much a level.
constexpr int kFitTreeLevelIndent = 18;
// The expand button of the row detail panel in the first column.
constexpr int kFitDetailButtonWidth = 18;
// The gap between a cell's image and its text.
constexpr int kFitImageGap = 4;

// A memory device context of its own with a font selected: measures of several columns never
// share a selected font.
class TFitMeasureDC {
 public:
  explicit TFitMeasureDC(TFont* AFont) : dc_(CreateCompatibleDC(nullptr)) {
    old_ = SelectObject(dc_, AFont->Handle());
  }
  ~TFitMeasureDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  TFitMeasureDC(const TFitMeasureDC&) = delete;
  TFitMeasureDC& operator=(const TFitMeasureDC&) = delete;
  void Select(TFont* AFont) { SelectObject(dc_, AFont->Handle()); }
  HDC Handle() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The width Text needs on one line a line break: a single line through the extent, several
// through the layout of DrawText.
int NaturalTextWidth(HDC DC, const std::string& Text) {
  if (Text.find_first_of("\r\n") == std::string::npos) {
    SIZE size{};
    GetTextExtentPoint32(DC, Text, &size);
    return size.cx;
  }
  RECT r{0, 0, 0, 0};
  DrawText(DC, Text, &r, DT_CALCRECT | DT_NOPREFIX);
  return r.Right - r.Left;
}

// The narrowest width at which Text, wrapped at words, stays within Height; without wrapping, or
// when even one line a break does not fit, its natural width.
int FitTextWidth(HDC DC, const std::string& Text, bool Wrap, int Height) {
  const int natural = NaturalTextWidth(DC, Text);
  if (!Wrap || Text.empty()) return natural;
  auto wrappedAt = [&](int Width, int& Used) {
    RECT r{0, 0, Width, 0};
    const int height = DrawText(DC, Text, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    Used = r.Right - r.Left;
    return height;
  };
  int used = natural;
  if (wrappedAt(natural, used) > Height) return natural;
  int low = 1, high = natural;
  while (low < high) {
    const int mid = (low + high) / 2;
    if (wrappedAt(mid, used) <= Height)
      high = mid;
    else
      low = mid + 1;
  }
  // A word longer than the width sticks out: the widest line decides.
  wrappedAt(high, used);
  return std::max(high, used);
}

bool IsEditing(TDataSet* DataSet) {
  return DataSet->State() == dsEdit || DataSet->State() == dsInsert;
}

// Measures one column's data cells record after record: the parts that do not change between
// records are worked out once, the cell's own font is selected again only after an event changed it.
class TDataCellMeasure {
 public:
  TDataCellMeasure(TCustomDBGridEh* Grid, TColumnEh* Column)
      : grid_(Grid), column_(Column), dc_(Column->Font()) {
    cellFont_.Assign(Column->Font());
    cellFont_.OnChange = [this](TObject*) { fontChanged_ = true; };
    dc_.Select(&cellFont_);
    kind_ = Column->GetColumnType();
    // A column class of an application may answer the parameters itself.
    columnEvent_ = Column->OnGetCellParams ||
                   (typeid(*Column) != typeid(TColumnEh) && typeid(*Column) != typeid(TDBGridColumnEh));
    fixedPart_ = kFitMargin;
    if (Column->AlwaysShowEditButton()) fixedPart_ += Column->GetEditButtonsWidth();
    firstColumn_ = Grid->FirstVisibleColumn() == Column->Index();
    treeRows_ = firstColumn_ && Grid->IsDataIntfAssigned() && Grid->DataIntf()->IsTreeViewMode();
    if (firstColumn_ && Grid->RowDetailPanel()->Active()) fixedPart_ += kFitDetailButtonWidth;
    TCustomImageList* images = Column->ImageList();
    if (images && Column->ShowImageAndText()) fixedPart_ += images->Width() + kFitImageGap;
    imageWidth_ = images ? images->Width() : 0;
    wrap_ = Column->IsWordWrapEffective(Grid->DefaultDataRowHeight());
    wrapHeight_ = std::max(1, Grid->DefaultDataRowHeight() - kFitVertMargins);
  }

  // The width the current record's cell needs.
  int Measure() {
    int width = fixedPart_;
    if (treeRows_) width += std::max(0, grid_->DataIntf()->GetTreeNodeLevel() * kFitTreeLevelIndent);
    if (kind_ == abkImageListEh) return width + imageWidth_;
    if (kind_ == abkCheckboxesEh) return width + DefaultCheckBoxWidth();

    // The cell parameters and the events, as the painter asks them. Only the column's own event
    // reads the whole parameter set: without it the text is all that counts.
    TColor background = params_.Background;
    if (!columnEvent_) {
      grid_->GetCellParams(column_, &cellFont_, background, TGridDrawState());
      params_.Text = column_->GetDisplayText();
    } else {
      column_->FillColCellParams(&params_);
      params_.Font = &cellFont_;
      background = params_.Background;
      grid_->GetCellParams(column_, &cellFont_, background, TGridDrawState());
      params_.Background = background;
      column_->GetColCellParamsEh(false, &params_);
    }
    TFont* font = params_.SuppliedFont ? params_.SuppliedFont : &cellFont_;
    if (fontChanged_ || font != &cellFont_) dc_.Select(font);
    width += FitTextWidth(dc_.Handle(), params_.Text, wrap_, wrapHeight_);
    if (fontChanged_ || font != &cellFont_) {
      cellFont_.Assign(column_->Font());
      fontChanged_ = false;
      dc_.Select(&cellFont_);
    }
    params_.SuppliedFont = nullptr;
    return width;
  }

 private:
  TCustomDBGridEh* grid_;
  TColumnEh* column_;
  // The font goes after the context that selects it.
  TFont cellFont_;
  bool fontChanged_ = false;
  TFitMeasureDC dc_;
  TColCellParamsEh params_;
  TAxisBarKindEh kind_{};
  bool columnEvent_ = false;
  int fixedPart_ = 0;
  int imageWidth_ = 0;
  bool firstColumn_ = false;
  bool treeRows_ = false;
  bool wrap_ = false;
  int wrapHeight_ = 1;
};

}  // namespace dbgrid_optwidth_detail

using namespace dbgrid_optwidth_detail;

// --- the measures ---------------------------------------------------------------------------------

int TCustomDBGridEh::CalcTitleOptimalWidth(TColumnEh* Column) {
  TColumnTitleEh* title = Column->Title();
  int margin = kFitMargin;
  const int decoration = title->GetSortMarkerAreaWidth();
  if (decoration > kTitleDecorationSlack) margin += decoration - kTitleDecorationSlack;
  margin += title->GetFilterButtonWidth();
  if (TitleImages() && title->ImageIndex() != -1) return TitleImages()->Width() + margin;

  std::string caption = title->Caption();
  int height = options_.Contains(dgTitles) && RowCount() > 0 ? RowHeights(0) : TitleRowHeight();
  const bool multiTitle = IsMultiTitleEffective();
  const size_t index = static_cast<size_t>(Column->Index());
  if (multiTitle && index < leafFieldArr_.size() && leafFieldArr_[index].first) {
    caption = leafFieldArr_[index].first->Text;
    height = leafFieldArr_[index].first->Height;
  }
  TFitMeasureDC dc(title->Font());
  if (title->Orientation() == tohVertical) {
    // Written bottom to top: the lines' height runs across the column.
    RECT r{0, 0, 0, 0};
    DrawText(dc.Handle(), caption, &r, DT_CALCRECT | DT_NOPREFIX);
    return r.Bottom - r.Top + margin;
  }
  const bool wrap = multiTitle || TitleParams()->RowHeight() != 0 || TitleParams()->RowLines() != 0;
  return FitTextWidth(dc.Handle(), caption, wrap, std::max(1, height - kFitVertMargins)) + margin;
}

int TCustomDBGridEh::CalcDataCellOptimalWidth(TColumnEh* Column) {
  TDataCellMeasure measure(this, Column);
  return measure.Measure();
}

int TCustomDBGridEh::CalcFooterOptimalWidth(TColumnEh* Column) {
  int widest = 0;
  TDBGridFooterParamsEh* params = FooterParams();
  const bool wrapAllowed = params->RowLines() > 1 || params->RowHeight() > 0;
  const int height = std::max(1, CalcFooterRowHeight() - kFitVertMargins);
  const int dataCol = VisibleColumns().IndexOf(Column);
  for (int row = 0; row < footerRowCount_; ++row) {
    TColumnFooterEh* footer = Column->GetFooter(row);
    TFont font;
    font.Assign(footer->Font());
    TColor background = footer->Color();
    TAlignment alignment = footer->Alignment();
    std::string text;
    GetFooterValue(row, Column, text);
    GetFooterParams(dataCol, row, Column, &font, background, alignment, TGridDrawState(), text);
    TFitMeasureDC dc(&font);
    widest = std::max(
        widest, FitTextWidth(dc.Handle(), text, footer->WordWrap() && wrapAllowed, height) + kFitMargin);
  }
  return widest;
}

// --- fitting --------------------------------------------------------------------------------------

void TCustomDBGridEh::OptimizeSelectedColsWidth(TColumnEh* Column) {
  TColumnsEhList list;
  switch (selection_->SelectionType()) {
    case gstColumns:
      for (int i = 0; i < selection_->Columns()->Count(); ++i) list.Add((*selection_->Columns())[i]);
      break;
    case gstAll:
      for (int i = 0; i < Columns()->Count(); ++i) list.Add(Columns()->GetColumn(i));
      break;
    default:
      break;
  }
  if (Column && list.IndexOf(Column) < 0) list.Add(Column);
  OptimizeColsWidth(list, -1);
}

void TCustomDBGridEh::OptimizeColsWidth(TColumnsEhList& ColumnsToFit, int RowLimit) {
  const int count = ColumnsToFit.Count();
  std::vector<int> widths(static_cast<size_t>(count));
  std::vector<bool> finished(static_cast<size_t>(count));
  auto limitOf = [&](int I) { return ColumnsToFit[I]->MaxWidth(); };
  for (int i = 0; i < count; ++i) {
    widths[i] = CalcTitleOptimalWidth(ColumnsToFit[i]);
    if (limitOf(i) > 0 && widths[i] >= limitOf(i)) {
      widths[i] = limitOf(i);
      finished[i] = true;
    }
  }

  TDataSet* dataSet = DataLink()->Active() ? DataLink()->DataSet() : nullptr;
  const bool anyOpen = std::find(finished.begin(), finished.end(), false) != finished.end();
  if (dataSet && anyOpen && !dataSet->IsEmpty()) {
    std::vector<std::unique_ptr<TDataCellMeasure>> measures(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
      if (!finished[i]) measures[i] = std::make_unique<TDataCellMeasure>(this, ColumnsToFit[i]);
    // Answers true when every column reached its limit.
    auto measureRecord = [&] {
      bool allFinished = true;
      for (int i = 0; i < count; ++i) {
        if (finished[i]) continue;
        widths[i] = std::max(widths[i], measures[i]->Measure());
        if (limitOf(i) > 0 && widths[i] >= limitOf(i)) {
          widths[i] = limitOf(i);
          finished[i] = true;
        } else {
          allFinished = false;
        }
      }
      return allFinished;
    };
    if (IsEditing(dataSet)) {
      // Moving away would post the record being edited: only its own values count.
      measureRecord();
    } else {
      dataSet->DisableControls();
      TScopeExit enable([dataSet] { dataSet->EnableControls(); });
      const TBookmark start = dataSet->Bookmark();
      TScopeExit back([dataSet, &start] {
        if (!start.empty() && dataSet->BookmarkValid(start)) dataSet->GotoBookmark(start);
      });
      dataSet->First();
      const int recordCount = dataSet->RecordCount();
      const bool sequenced = dataSet->IsSequenced();
      for (int walked = 1; !dataSet->Eof(); ++walked) {
        if (measureRecord()) break;
        if (RowLimit >= 0 && walked >= RowLimit) break;
        if (sequenced && walked >= recordCount) break;
        dataSet->Next();
      }
    }
  }

  const bool bracket = LayoutLock() == 0;
  if (bracket) BeginLayout();
  TScopeExit endLayout([this, bracket] {
    if (bracket) EndLayout();
  });
  for (int i = 0; i < count; ++i) {
    TColumnEh* column = ColumnsToFit[i];
    int width = std::max(widths[i], CalcFooterOptimalWidth(column));
    if (limitOf(i) > 0) width = std::min(width, limitOf(i));
    column->SetWidth(width);
  }
}
