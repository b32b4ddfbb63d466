// The base grid's construction, dimensions, draw information, cell rectangles, hit tests,
// invalidation and the current cell.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "grid/data/SharedTypesEh.h"
#include "grid/foundation/GridInternalEh.h"
#include "grid/foundation/GridsEh.h"

RTL_IMPLEMENT_CLASS(TCustomGridEh)

using grid_internal::MirrorRect;
using grid_internal::Saturate;

namespace {

const char* const SIndexOutOfRange = "Grid index out of range";
const char* const SFixedColTooBig = "Fixed column count must be less than column count";
const char* const SFixedRowTooBig = "Fixed row count must be less than row count";
const char* const SGridTooLarge = "Grid too large for operation";
// Per-cell sizes are kept for at most this many cells; beyond it only uniform sizes work.
constexpr int MaxSizedCells = 1 << 24;
// Counts and sizes are bounded so that pixel and index sums stay far from overflow.
constexpr int MaxCellCount = 1 << 30;
constexpr int MaxCellExtent = 1 << 24;
constexpr int MaxLineWidth = 1 << 10;

[[noreturn]] void InvalidOp(const char* Msg) {
  throw EInvalidGridOperationEh(Msg);
}

// Walks the cells an axis shows, in screen order: fixed cells, the scrollable cells from the
// first one until the data area ends, then the contra cells until the grid boundary. F gets
// (Index, Start, Room) and answers false to stop. Start is where the cell begins (the first
// scrollable cell may begin before FixedBoundary), Room its extent plus line.
template <class F>
void ForEachShownCell(const TGridAxisDrawInfoEh& A, F f) {
  int64_t pos = A.StartBoundary;
  for (int i = 0; i < A.FixedCellCount && pos < A.GridExtent; ++i) {
    const int room = A.GetExtentWithLine(i);
    if (!f(i, Saturate(pos), room)) return;
    pos += room;
  }
  pos = static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset;
  for (int i = std::max(A.FirstGridCell, A.FixedCellCount); i < A.GridCellCount && pos < A.ContraBoundary;
       ++i) {
    const int room = A.GetExtentWithLine(i);
    if (!f(i, Saturate(pos), room)) return;
    pos += room;
  }
  pos = A.ContraBoundary;
  for (int i = A.GridCellCount; i < A.FullCellCount && pos < A.GridBoundary; ++i) {
    const int room = A.GetExtentWithLine(i);
    if (!f(i, Saturate(pos), room)) return;
    pos += room;
  }
}

// The area a shown cell may occupy: fixed cells up to the client extent, scrollable cells
// between the fixed and the contra boundary, contra cells up to the grid boundary.
int AreaStart(const TGridAxisDrawInfoEh& A, int Index) {
  if (Index < A.FixedCellCount) return A.StartBoundary;
  if (Index < A.GridCellCount) return A.FixedBoundary;
  return A.ContraBoundary;
}
int AreaEnd(const TGridAxisDrawInfoEh& A, int Index) {
  if (Index < A.FixedCellCount) return A.GridExtent;
  if (Index < A.GridCellCount) return A.ContraBoundary;
  return A.GridBoundary;
}

// Pixel span of the shown cells of [Lo, Hi] (the first's start to the last's end, without the
// last line); false when none of them shows.
bool AxisSpan(const TGridAxisDrawInfoEh& A, int Lo, int Hi, int& Start, int& End) {
  bool found = false;
  ForEachShownCell(A, [&](int i, int s, int room) {
    if (i < Lo || i > Hi) return true;
    const int extent = std::max(0, A.GetExtent(i));
    const int e = std::min(s + extent, AreaEnd(A, i));
    if (!found) Start = s;
    End = std::max(e, Start);
    found = true;
    return true;
  });
  return found;
}

// The cell under pixel P, -1 outside the cells. A line belongs to the cell before it.
int AxisHit(const TGridAxisDrawInfoEh& A, int P) {
  if (P < A.StartBoundary) return -1;
  int result = -1;
  ForEachShownCell(A, [&](int i, int s, int room) {
    const int lo = std::max(s, AreaStart(A, i));
    const int hi = std::min(s + room, AreaEnd(A, i));
    if (P >= lo && P < hi) {
      result = i;
      return false;
    }
    return true;
  });
  return result;
}

}  // namespace

int TGridAxisDrawInfoEh::GetExtent(int Index) const {
  if (!Grid) return 0;
  return Horz ? Grid->GetColWidths(Index) : Grid->GetRowHeights(Index);
}

// --- construction ------------------------------------------------------------------------------------

TCustomGridEh::TCustomGridEh(TComponent* AOwner) : TCustomControl(AOwner) {
  // No click events from the control core: the grid fires Click itself, once, when a press
  // or a key makes a cell current.
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
  colCount_ = 5;
  rowCount_ = 5;
  fixedCols_ = 1;
  fixedRows_ = 1;
  curCol_ = curRow_ = anchorCol_ = anchorRow_ = leftCol_ = topRow_ = 1;
  options_ = DefaultGridOptionsEh();
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  outBoundaryData_ = std::make_unique<TGridOutBoundaryDataEh>(this);
  SetBounds(0, 0, 320, 120);
}

TCustomGridEh::~TCustomGridEh() = default;

void TCustomGridEh::DescribeClass(TClassBuilder<TCustomGridEh>& c) {
  // Descendants publish the properties they name; the base grid publishes none.
  (void)c;
}

void TCustomGridEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_TIMER:
      WMTimer(Message);
      return;
    case WM_GETDLGCODE:
      WMGetDlgCode(Message);
      return;
    case CM_CANCELMODE:
      CMCancelMode(Message);
      return;
    case CM_DESIGNHITTEST:
      CMDesignHitTest(Message);
      return;
    case CM_WANTSPECIALKEY:
      CMWantSpecialKey(Message);
      return;
    default:
      inherited::Dispatch(Message);
  }
}

TGridLineColorsEh* TCustomGridEh::GridLineColors() const {
  if (!gridLineColors_) gridLineColors_.reset(const_cast<TCustomGridEh*>(this)->CreateGridLineColors());
  return gridLineColors_.get();
}

TGridBackgroundDataEh* TCustomGridEh::BackgroundData() const {
  if (!backgroundData_) backgroundData_.reset(const_cast<TCustomGridEh*>(this)->CreateBackgroundData());
  return backgroundData_.get();
}

TGridLineColorsEh* TCustomGridEh::CreateGridLineColors() {
  return new TGridLineColorsEh(this);
}

TGridBackgroundDataEh* TCustomGridEh::CreateBackgroundData() {
  return new TGridBackgroundDataEh(this);
}

void TCustomGridEh::SetGridLineColors(TGridLineColorsEh* Value) {
  GridLineColors()->Assign(Value);
}

void TCustomGridEh::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) Params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) Params.Style |= WS_HSCROLL;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D() && !flat_)
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
}

void TCustomGridEh::CreateWnd() {
  inherited::CreateWnd();
  UpdateScrollRange();
}

// --- dimensions ----------------------------------------------------------------------------------------

void TCustomGridEh::SetColCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value > MaxCellCount) InvalidOp(SGridTooLarge);
  if (Value == colCount_) return;
  if (fixedCols_ >= Value) fixedCols_ = Value - 1;
  ChangeSize(Value, rowCount_);
}

void TCustomGridEh::SetRowCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value > MaxCellCount) InvalidOp(SGridTooLarge);
  if (Value == rowCount_) return;
  if (fixedRows_ >= Value) fixedRows_ = Value - 1;
  ChangeSize(colCount_, Value);
}

namespace {
// Resizes a sizes array for a new count of ordinary cells; the trailing Contra entries
// (the contra cells) move with the end.
void ResizeKeepingContra(std::vector<int>& Sizes, int OldCount, int NewCount, int Contra, int Default) {
  if (Sizes.empty()) return;
  std::vector<int> result(static_cast<size_t>(NewCount + Contra), Default);
  const int keep = std::min(OldCount, NewCount);
  for (int i = 0; i < keep && i < static_cast<int>(Sizes.size()); ++i) result[i] = Sizes[i];
  for (int i = 0; i < Contra; ++i) {
    const int from = OldCount + i;
    if (from < static_cast<int>(Sizes.size())) result[NewCount + i] = Sizes[from];
  }
  Sizes.swap(result);
}
}  // namespace

void TCustomGridEh::ChangeSize(int NewColCount, int NewRowCount) {
  const int oldCols = colCount_, oldRows = rowCount_;
  if ((!colWidths_.empty() && NewColCount > MaxSizedCells - contraColCount_) ||
      (!rowHeights_.empty() && NewRowCount > MaxSizedCells - contraRowCount_))
    InvalidOp(SGridTooLarge);
  ResizeKeepingContra(colWidths_, oldCols, NewColCount, contraColCount_, defaultColWidth_);
  ResizeKeepingContra(rowHeights_, oldRows, NewRowCount, contraRowCount_, defaultRowHeight_);
  oddScrollRows_ = -1;
  colCount_ = NewColCount;
  rowCount_ = NewRowCount;
  CellCountsChanged(oldCols, oldRows);
}

void TCustomGridEh::SpliceRows(int At, int Removed, std::span<const int> Heights) {
  At = std::clamp(At, 0, rowCount_);
  Removed = std::clamp(Removed, 0, rowCount_ - At);
  const int oldRows = rowCount_;
  const int newRows = rowCount_ - Removed + static_cast<int>(Heights.size());
  if (newRows < 1) InvalidOp(SIndexOutOfRange);
  if (newRows > MaxCellCount) InvalidOp(SGridTooLarge);
  auto odd = [this](int H) { return H != defaultRowHeight_; };
  if (rowHeights_.empty() && std::any_of(Heights.begin(), Heights.end(), odd)) {
    if (GetFullRowCount() > MaxSizedCells) InvalidOp(SGridTooLarge);
    rowHeights_.assign(static_cast<size_t>(GetFullRowCount()), defaultRowHeight_);
  }
  if (!rowHeights_.empty()) {
    if (newRows > MaxSizedCells - contraRowCount_) InvalidOp(SGridTooLarge);
    const auto at = rowHeights_.begin() + At;
    // The count of odd scroll rows follows the rows that go and come, when all of them scroll.
    if (oddScrollRows_ >= 0 && At >= fixedRows_)
      oddScrollRows_ += static_cast<int>(std::count_if(Heights.begin(), Heights.end(), odd) -
                                         std::count_if(at, at + Removed, odd));
    else
      oddScrollRows_ = -1;
    const auto place = rowHeights_.erase(at, at + Removed);
    const auto inserted = rowHeights_.insert(place, Heights.begin(), Heights.end());
    for (auto h = inserted; h != inserted + static_cast<ptrdiff_t>(Heights.size()); ++h)
      *h = std::clamp(*h, -1, MaxCellExtent);
  }
  rowCount_ = newRows;
  CellCountsChanged(colCount_, oldRows);
}

void TCustomGridEh::CellCountsChanged(int OldColCount, int OldRowCount) {
  const int minCol = std::min(fixedCols_, colCount_ - 1), minRow = std::min(fixedRows_, rowCount_ - 1);
  auto clampCol = [&](int& v) { v = std::clamp(v, minCol, colCount_ - 1); };
  auto clampRow = [&](int& v) { v = std::clamp(v, minRow, rowCount_ - 1); };
  clampCol(curCol_);
  clampCol(anchorCol_);
  clampCol(leftCol_);
  clampRow(curRow_);
  clampRow(anchorRow_);
  clampRow(topRow_);
  if (leftCol_ == colCount_ - 1 || colCount_ != OldColCount) horzScrollOffset_ = 0;
  if (topRow_ == rowCount_ - 1 || rowCount_ != OldRowCount) vertScrollOffset_ = 0;
  SizeChanged(OldColCount, OldRowCount);
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  InvalidateGrid();
  UpdateScrollRange();
  if (editorMode_) InvalidateEditor();
}

void TCustomGridEh::SizeChanged(int OldColCount, int OldRowCount) {}

void TCustomGridEh::SetFixedCols(int Value) {
  if (Value == fixedCols_) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value >= colCount_) InvalidOp(SFixedColTooBig);
  fixedCols_ = Value;
  // The first scrollable cell becomes current and top-left, as after creation.
  curCol_ = anchorCol_ = leftCol_ = fixedCols_;
  horzScrollOffset_ = 0;
  CalcHorzScrollExtent();
  InvalidateGrid();
  UpdateScrollRange();
  if (editorMode_) InvalidateEditor();
}

void TCustomGridEh::SetFixedRows(int Value) {
  if (Value == fixedRows_) return;
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value >= rowCount_) InvalidOp(SFixedRowTooBig);
  fixedRows_ = Value;
  oddScrollRows_ = -1;
  curRow_ = anchorRow_ = topRow_ = fixedRows_;
  vertScrollOffset_ = 0;
  CalcVertScrollExtent();
  InvalidateGrid();
  UpdateScrollRange();
  if (editorMode_) InvalidateEditor();
}

void TCustomGridEh::SetContraColCount(int Value) {
  if (Value < 0) InvalidOp("FContraColCount can not be negative.");
  if (Value > MaxCellCount) InvalidOp(SGridTooLarge);
  if (Value == contraColCount_) return;
  if (!colWidths_.empty() && Value > MaxSizedCells - colCount_) InvalidOp(SGridTooLarge);
  if (!colWidths_.empty()) colWidths_.resize(static_cast<size_t>(colCount_ + Value), defaultColWidth_);
  contraColCount_ = Value;
  CalcHorzScrollExtent();
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGridEh::SetContraRowCount(int Value) {
  if (Value < 0) InvalidOp("FContraRowCount can not be negative.");
  if (Value > MaxCellCount) InvalidOp(SGridTooLarge);
  if (Value == contraRowCount_) return;
  if (!rowHeights_.empty() && Value > MaxSizedCells - rowCount_) InvalidOp(SGridTooLarge);
  if (!rowHeights_.empty()) rowHeights_.resize(static_cast<size_t>(rowCount_ + Value), defaultRowHeight_);
  contraRowCount_ = Value;
  CalcVertScrollExtent();
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGridEh::SetFrozenCols(int Value) {
  if (Value < 0) InvalidOp(SIndexOutOfRange);
  if (Value == frozenCols_) return;
  frozenCols_ = Value;
  InvalidateGrid();
}

void TCustomGridEh::SetDefaultColWidth(int Value) {
  Value = std::clamp(Value, 0, MaxCellExtent);
  if (Value == defaultColWidth_ && colWidths_.empty()) return;
  defaultColWidth_ = Value;
  colWidths_.clear();  // every column takes the new default
  CalcHorzScrollExtent();
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGridEh::SetDefaultRowHeight(int Value) {
  Value = std::clamp(Value, 0, MaxCellExtent);
  if (Value == defaultRowHeight_ && rowHeights_.empty()) return;
  defaultRowHeight_ = Value;
  rowHeights_.clear();
  oddScrollRows_ = -1;
  CalcVertScrollExtent();
  RowHeightsChanged();
  InvalidateGrid();
}

int TCustomGridEh::GetColWidths(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(colWidths_.size())) return defaultColWidth_;
  return colWidths_[Index];
}

int TCustomGridEh::GetRowHeights(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(rowHeights_.size())) return defaultRowHeight_;
  return rowHeights_[Index];
}

void TCustomGridEh::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index >= GetFullColCount()) InvalidOp(SIndexOutOfRange);
  Value = std::clamp(Value, -1, MaxCellExtent);
  if (colWidths_.empty()) {
    if (Value == defaultColWidth_) return;
    if (GetFullColCount() > MaxSizedCells) InvalidOp(SGridTooLarge);
    colWidths_.assign(static_cast<size_t>(GetFullColCount()), defaultColWidth_);
  }
  if (colWidths_[Index] == Value) return;
  colWidths_[Index] = Value;
  CalcHorzScrollExtent();
  ColWidthsChanged();
  InvalidateGrid();
}

void TCustomGridEh::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= GetFullRowCount()) InvalidOp(SIndexOutOfRange);
  Value = std::clamp(Value, -1, MaxCellExtent);
  if (rowHeights_.empty()) {
    if (Value == defaultRowHeight_) return;
    if (GetFullRowCount() > MaxSizedCells) InvalidOp(SGridTooLarge);
    rowHeights_.assign(static_cast<size_t>(GetFullRowCount()), defaultRowHeight_);
  }
  const int old = rowHeights_[Index];
  if (old == Value) return;
  rowHeights_[Index] = Value;
  if (oddScrollRows_ >= 0 && Index >= fixedRows_ && Index < rowCount_)
    oddScrollRows_ += (Value != defaultRowHeight_) - (old != defaultRowHeight_);
  CalcVertScrollExtent();
  RowHeightsChanged();
  InvalidateGrid();
}

void TCustomGridEh::ColWidthsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGridEh::RowHeightsChanged() {
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGridEh::SetGridLineWidth(int Value) {
  Value = std::clamp(Value, 0, MaxLineWidth);
  if (Value == gridLineWidth_) return;
  gridLineWidth_ = Value;
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  InvalidateGrid();
  UpdateScrollRange();
  UpdateEdit();
}

int TCustomGridEh::GetVertLineWidth() const {
  const TGridOptionsEh o = Options();
  return o.Contains(goFixedVertLineEh) || o.Contains(goVertLineEh) ? gridLineWidth_ : 0;
}

int TCustomGridEh::GetHorzLineWidth() const {
  const TGridOptionsEh o = Options();
  return o.Contains(goFixedHorzLineEh) || o.Contains(goHorzLineEh) ? gridLineWidth_ : 0;
}

int TCustomGridEh::GetVertLineShift() const {
  const TGridOptionsEh o = Options();
  return o.Contains(goFixedVertLineEh) || o.Contains(goVertLineEh) ? -1 : 0;
}

int TCustomGridEh::GetHorzLineShift() const {
  const TGridOptionsEh o = Options();
  return o.Contains(goFixedHorzLineEh) || o.Contains(goHorzLineEh) ? -1 : 0;
}

int TCustomGridEh::GridWidth() const {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  return di.Horz.GridBoundary;
}

int TCustomGridEh::GridHeight() const {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  return di.Vert.GridBoundary;
}

// --- look and options ---------------------------------------------------------------------------------

void TCustomGridEh::SetFixedColor(TColor Value) {
  if (Value == fixedColor_) return;
  fixedColor_ = Value;
  InvalidateGrid();
}

void TCustomGridEh::SetFlat(bool Value) {
  if (Value == flat_) return;
  flat_ = Value;
  UpdateFlatColor();
  FlatChanged();
  if (HandleAllocated() && borderStyle_ == bsSingle) RecreateWnd();  // the border follows the look
  Invalidate();
}

void TCustomGridEh::UpdateFlatColor() {
  // The base grid's own colours do not depend on the look; its line colours do.
  InvalidateGrid();
}

void TCustomGridEh::SetBorderStyle(TBorderStyle Value) {
  if (Value == borderStyle_) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomGridEh::SetScrollBars(TScrollStyle Value) {
  if (Value == scrollBars_) return;
  scrollBars_ = Value;
  RecreateWnd();
}

TGridOptionsEh TCustomGridEh::Options() const {
  if (ComponentState().Contains(csDesigning)) return options_ + designOptionsBoost_;
  return options_;
}

void TCustomGridEh::SetDesignOptionsBoost(TGridOptionsEh Value) {
  if (Value == designOptionsBoost_) return;
  designOptionsBoost_ = Value;
  if (ComponentState().Contains(csDesigning)) InvalidateGrid();
}

void TCustomGridEh::SetOptions(TGridOptionsEh Value) {
  if (Value == options_) return;
  if (Value.Contains(goRowSelectEh)) Value.Exclude(goAlwaysShowEditorEh);
  const bool rowSelectChanged = Value.Contains(goRowSelectEh) != options_.Contains(goRowSelectEh);
  options_ = Value;
  if (!editorMode_) {
    if (Value.Contains(goAlwaysShowEditorEh))
      ShowEditor();
    else
      HideEditor();
  }
  // Leaving row select drops the whole-row selection too.
  if (Value.Contains(goRowSelectEh) || rowSelectChanged) MoveColRow(curCol_, curRow_, true, false);
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  UpdateScrollRange();
  InvalidateGrid();
}

void TCustomGridEh::OutBoundaryDataChanged() {
  CalcHorzScrollExtent();
  CalcVertScrollExtent();
  UpdateScrollRange();
  InvalidateGrid();
}

void TCustomGridEh::UpdateDesigner() {
  // Nothing to tell while not designing; this program has no form designer to notify.
  if (!ComponentState().Contains(csDesigning) || !HandleAllocated() || ComponentState().Contains(csUpdating))
    return;
}

// --- draw information ---------------------------------------------------------------------------------

void TCustomGridEh::CalcFixedInfo(TGridDrawInfoEh& DrawInfo) const {
  auto* self = const_cast<TCustomGridEh*>(this);
  const TRect client = self->ClientRect();
  auto fixAxis = [&](TGridAxisDrawInfoEh& A, bool Horz) {
    A.Grid = this;
    A.Horz = Horz;
    A.EffectiveLineWidth = Horz ? GetVertLineWidth() : GetHorzLineWidth();
    A.StartBoundary = Horz ? outBoundaryData_->LeftIndent() : outBoundaryData_->TopIndent();
    A.FixedCellCount = Horz ? fixedCols_ : fixedRows_;
    A.FrozenCellCount = Horz ? std::min(frozenCols_, fixedCols_) : 0;
    A.GridCellCount = Horz ? colCount_ : rowCount_;
    A.ContraCellCount = Horz ? contraColCount_ : contraRowCount_;
    A.FullCellCount = A.GridCellCount + A.ContraCellCount;
    A.FirstGridCell = Horz ? leftCol_ : topRow_;
    A.GridScrollOffset = Horz ? horzScrollOffset_ : vertScrollOffset_;
    A.GridExtent = Horz ? client.Width() : client.Height();
    int64_t pos = A.StartBoundary;
    A.FrozenBoundary = A.StartBoundary;
    for (int i = 0; i < A.FixedCellCount; ++i) {
      if (i == A.FixedCellCount - A.FrozenCellCount) A.FrozenBoundary = Saturate(pos);
      pos += A.GetExtentWithLine(i);
    }
    A.FixedBoundary = Saturate(pos);
    if (A.FrozenCellCount == 0) A.FrozenBoundary = A.FixedBoundary;
    A.ContraBoundary = A.GridBoundary = A.FixedBoundary;
    A.LastFullVisibleCell = A.FirstGridCell;
    A.FullVisBoundary = A.FixedBoundary;
  };
  fixAxis(DrawInfo.Horz, true);
  fixAxis(DrawInfo.Vert, false);
}

void TCustomGridEh::CalcDrawInfo(TGridDrawInfoEh& DrawInfo) const {
  auto* self = const_cast<TCustomGridEh*>(this);
  const TRect client = self->ClientRect();
  CalcDrawInfoXY(DrawInfo, client.Width(), client.Height());
}

void TCustomGridEh::CalcDrawInfoXY(TGridDrawInfoEh& DrawInfo, int UseWidth, int UseHeight) const {
  CalcFixedInfo(DrawInfo);
  auto calcAxis = [&](TGridAxisDrawInfoEh& A, int Extent, int TrailIndent) {
    A.GridExtent = std::max(0, Extent);
    int64_t contraExtent = 0;
    for (int i = A.GridCellCount; i < A.FullCellCount; ++i) contraExtent += A.GetExtentWithLine(i);
    const int64_t limit = std::max<int64_t>(A.FixedBoundary, A.GridExtent - TrailIndent - contraExtent);
    // The last line may hang over the client edge when nothing follows the cells.
    const int tolerance = (A.ContraCellCount == 0 && TrailIndent == 0) ? A.EffectiveLineWidth : 0;
    int64_t pos = static_cast<int64_t>(A.FixedBoundary) - A.GridScrollOffset;
    bool cut = false;
    A.LastFullVisibleCell = A.FirstGridCell;
    A.FullVisBoundary = A.FixedBoundary;
    for (int i = A.FirstGridCell; i < A.GridCellCount; ++i) {
      const int64_t next = pos + A.GetExtentWithLine(i);
      if (next > limit + tolerance) {
        cut = true;
        break;
      }
      pos = next;
      A.LastFullVisibleCell = i;
      A.FullVisBoundary = Saturate(pos);
    }
    int64_t dataEnd = cut ? limit : std::min(pos, limit);
    dataEnd = std::max<int64_t>(dataEnd, A.FixedBoundary);
    A.ContraBoundary = Saturate(dataEnd);
    const int64_t outer = std::max<int64_t>(dataEnd, A.GridExtent - TrailIndent);
    A.GridBoundary = Saturate(std::min(dataEnd + contraExtent, outer));
  };
  calcAxis(DrawInfo.Horz, UseWidth, outBoundaryData_->RightIndent());
  calcAxis(DrawInfo.Vert, UseHeight, outBoundaryData_->BottomIndent());
}

// --- rectangles and hit tests ---------------------------------------------------------------------------

TRect TCustomGridEh::CellRect(int ACol, int ARow) const {
  return BoxRect(ACol, ARow, ACol, ARow);
}

TRect TCustomGridEh::BoxRect(int ALeft, int ATop, int ARight, int ABottom) const {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  return CalcBoxRect(di, ALeft, ATop, ARight, ABottom);
}

TRect TCustomGridEh::CalcBoxRect(const TGridDrawInfoEh& DrawInfo, int ALeft, int ATop, int ARight,
                                 int ABottom) const {
  int l = 0, r = 0, t = 0, b = 0;
  if (!AxisSpan(DrawInfo.Horz, std::min(ALeft, ARight), std::max(ALeft, ARight), l, r) ||
      !AxisSpan(DrawInfo.Vert, std::min(ATop, ABottom), std::max(ATop, ABottom), t, b))
    return TRect{};
  TRect result{l, t, r, b};
  if (UseRightToLeftAlignment()) result = MirrorRect(result, DrawInfo.Horz.GridExtent);
  return result;
}

TGridCoord TCustomGridEh::MouseCoord(int X, int Y) const {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  return CalcCoordFromPoint(X, Y, di);
}

TGridCoord TCustomGridEh::CalcCoordFromPoint(int X, int Y, const TGridDrawInfoEh& DrawInfo) const {
  if (UseRightToLeftAlignment()) X = DrawInfo.Horz.GridExtent - 1 - X;
  const int c = AxisHit(DrawInfo.Horz, X);
  const int r = AxisHit(DrawInfo.Vert, Y);
  if (c < 0 || r < 0) return TGridCoord{-1, -1};
  return TGridCoord{c, r};
}

int TCustomGridEh::GetVisibleColCount() const {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  return di.Horz.LastFullVisibleCell - leftCol_ + 1;
}

int TCustomGridEh::GetVisibleRowCount() const {
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  return di.Vert.LastFullVisibleCell - topRow_ + 1;
}

// --- invalidation -----------------------------------------------------------------------------------------

void TCustomGridEh::InvalidateCell(int ACol, int ARow) {
  InvalidateRect(TGridRect{ACol, ARow, ACol, ARow});
}

void TCustomGridEh::InvalidateCol(int ACol) {
  InvalidateRect(TGridRect{ACol, 0, ACol, GetFullRowCount() - 1});
}

void TCustomGridEh::InvalidateRow(int ARow) {
  InvalidateRect(TGridRect{0, ARow, GetFullColCount() - 1, ARow});
}

void TCustomGridEh::InvalidateGrid() {
  if (HandleAllocated()) Invalidate();
}

void TCustomGridEh::InvalidateRect(const TGridRect& ARect) {
  if (!HandleAllocated()) return;
  TGridDrawInfoEh di;
  CalcDrawInfo(di);
  TRect r = CalcBoxRect(di, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
  if (IsRectEmpty(r)) return;
  // The lines after the cells belong to them.
  if (UseRightToLeftAlignment())
    r.Left -= di.Horz.EffectiveLineWidth;
  else
    r.Right += di.Horz.EffectiveLineWidth;
  r.Bottom += di.Vert.EffectiveLineWidth;
  ::InvalidateRect(Handle(), &r, FALSE);
}

// --- current cell and selection --------------------------------------------------------------------------

TGridRect TCustomGridEh::Selection() const {
  return TGridRect{std::min(curCol_, anchorCol_), std::min(curRow_, anchorRow_),
                   std::max(curCol_, anchorCol_), std::max(curRow_, anchorRow_)};
}

void TCustomGridEh::SetSelection(const TGridRect& Value) {
  const TGridRect old = Selection();
  anchorCol_ = std::clamp(Value.Left, 0, colCount_ - 1);
  anchorRow_ = std::clamp(Value.Top, 0, rowCount_ - 1);
  curCol_ = std::clamp(Value.Right, 0, colCount_ - 1);
  curRow_ = std::clamp(Value.Bottom, 0, rowCount_ - 1);
  SelectionMoved(old);
}

void TCustomGridEh::SelectionMoved(const TGridRect& OldSel) {
  if (!HandleAllocated()) return;
  const TGridRect sel = Selection();
  // Row select shows whole rows selected, the frozen cells too, whichever column is current.
  if (Options().Contains(goRowSelectEh)) {
    const int first = fixedCols_ - std::min(frozenCols_, fixedCols_);
    InvalidateRect(TGridRect{first, OldSel.Top, colCount_ - 1, OldSel.Bottom});
    InvalidateRect(TGridRect{first, sel.Top, colCount_ - 1, sel.Bottom});
    return;
  }
  InvalidateRect(OldSel);
  InvalidateRect(sel);
}

void TCustomGridEh::SetCol(int Value) {
  if (Value != curCol_) FocusCell(Value, curRow_, true);
}

void TCustomGridEh::SetRow(int Value) {
  if (Value != curRow_) FocusCell(curCol_, Value, true);
}

void TCustomGridEh::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  if (ACol < 0 || ARow < 0 || ACol >= colCount_ || ARow >= rowCount_) InvalidOp(SIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  MoveColRow(ACol, ARow, MoveAnchor, true);
  UpdateEdit();
  Click();
}

void TCustomGridEh::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= colCount_ || ARow >= rowCount_) InvalidOp(SIndexOutOfRange);
  const TGridRect old = Selection();
  curCol_ = ACol;
  curRow_ = ARow;
  if (MoveAnchor || !Options().Contains(goRangeSelectEh)) {
    anchorCol_ = ACol;
    anchorRow_ = ARow;
  }
  if (Options().Contains(goRowSelectEh)) anchorCol_ = colCount_ - 1;
  if (Show) ClampInView(TGridCoord{ACol, ARow});
  SelectionMoved(old);
}
