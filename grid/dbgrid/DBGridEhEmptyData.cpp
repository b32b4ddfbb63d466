#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TGridEmptyDataInfoEh)

std::string DBGridEhEmptyDataInfoText;

namespace dbgrid_emptydata_detail {

// The grid texts' string table entry of the empty-data text; the built-in text stands in when
// the program ships no table.
constexpr int kNoRecordsTextId = 65167;
constexpr const char* kNoRecordsText = "<No Records>";

// The room the data rows have: right of the fixed columns, below the titles, and short of the
// footers and contra columns, over the whole client area whatever the rows take now.
TRect DataArea(TCustomDBGridEh* Grid) {
  TGridDrawInfoEh info;
  Grid->CalcDrawInfo(info);
  const int contraWidth = info.Horz.GridBoundary - info.Horz.ContraBoundary;
  const int contraHeight = info.Vert.GridBoundary - info.Vert.ContraBoundary;
  return TRect{info.Horz.FixedBoundary, info.Vert.FixedBoundary,
               std::max(info.Horz.FixedBoundary, info.Horz.GridExtent - contraWidth),
               std::max(info.Vert.FixedBoundary, info.Vert.GridExtent - contraHeight)};
}

}  // namespace dbgrid_emptydata_detail

void TGridEmptyDataInfoEh::DescribeClass(TClassBuilder<TGridEmptyDataInfoEh>& c) {
  using T = TGridEmptyDataInfoEh;
  c.Property("Active", &T::Active, &T::SetActive).Default(0);
  c.Property("Font", &T::Font, &T::SetFont).StoredIf([](const TObject& o) {
    return static_cast<const T&>(o).IsFontStored();
  });
  c.Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(1);
  c.Property("Text", &T::Text, &T::SetText);
}

TGridEmptyDataInfoEh::TGridEmptyDataInfoEh(TCustomDBGridEh* AGrid)
    : font_(std::make_unique<TFont>()), grid_(AGrid) {
  if (grid_ != nullptr) font_->Assign(grid_->Font());
  font_->SetColor(clGray);
  font_->OnChange = TNotifyEvent::Method(this, &TGridEmptyDataInfoEh::FontChanged);
}

void TGridEmptyDataInfoEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridEmptyDataInfoEh*>(Source);
  if (src == nullptr) {
    inherited::Assign(Source);
    return;
  }
  SetActive(src->Active());
  SetText(src->Text());
  if (src->ParentFont())
    SetParentFont(true);
  else
    SetFont(src->Font());
}

bool TGridEmptyDataInfoEh::Active() const {
  return active_;
}

void TGridEmptyDataInfoEh::SetActive(bool v) {
  if (active_ == v) return;
  active_ = v;
  if (grid_ != nullptr) grid_->Invalidate();
}

TFont* TGridEmptyDataInfoEh::Font() const {
  return font_.get();
}

void TGridEmptyDataInfoEh::SetFont(TFont* v) {
  font_->Assign(v);
}

bool TGridEmptyDataInfoEh::IsFontStored() const {
  return !parentFont_;
}

bool TGridEmptyDataInfoEh::ParentFont() const {
  return parentFont_;
}

void TGridEmptyDataInfoEh::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v) RefreshFont();
  if (grid_ != nullptr) grid_->Invalidate();
}

const std::string& TGridEmptyDataInfoEh::Text() const {
  return text_;
}

void TGridEmptyDataInfoEh::SetText(const std::string& v) {
  if (text_ == v) return;
  text_ = v;
  if (grid_ != nullptr) grid_->Invalidate();
}

void TGridEmptyDataInfoEh::FontChanged(TObject*) {
  parentFont_ = false;
  if (grid_ != nullptr) grid_->Invalidate();
}

void TGridEmptyDataInfoEh::RefreshFont() {
  if (!parentFont_ || grid_ == nullptr) return;
  // Following the grid is no change of our own: ParentFont must stay on.
  const TNotifyEvent saved = font_->OnChange;
  font_->OnChange = nullptr;
  TScopeExit rehook([&] { font_->OnChange = saved; });
  font_->SetSize(grid_->Font()->Size());
  font_->SetName(grid_->Font()->Name());
  font_->SetCharset(grid_->Font()->Charset());
}

std::string TGridEmptyDataInfoEh::GetDisplayText() {
  using namespace dbgrid_emptydata_detail;
  if (!text_.empty()) return text_;
  if (!DBGridEhEmptyDataInfoText.empty()) return DBGridEhEmptyDataInfoText;
  std::string text = LoadStr(kNoRecordsTextId);
  return text.empty() ? std::string(kNoRecordsText) : text;
}

bool TGridEmptyDataInfoEh::IsShowing() {
  if (!active_ || grid_ == nullptr || GetDisplayText().empty()) return false;
  TDataSet* ds = grid_->DataSource() != nullptr ? grid_->DataSource()->DataSet() : nullptr;
  return ds != nullptr && ds->Active() && ds->IsEmpty();
}

void TGridEmptyDataInfoEh::Paint() {
  if (grid_ == nullptr) return;
  const std::string text = GetDisplayText();
  const TRect area = dbgrid_emptydata_detail::DataArea(grid_);
  TCanvas* canvas = grid_->Canvas();
  canvas->Font()->Assign(font_.get());
  TSize size = canvas->TextExtent(text);
  size.cy += 2;
  TRect box;
  box.Left = area.Left + (area.Width() - size.cx) / 2;
  box.Top = area.Top + (area.Height() - size.cy) / 2;
  box.Right = box.Left + size.cx;
  box.Bottom = box.Top + size.cy;
  InflateRect(box, 5, 5);
  canvas->Brush()->SetColor(grid_->Color());
  WriteTextEh(canvas, box, true, 0, 0, text, taCenter, tlCenter, false, false, 0, 0);
  if (grid_->OptionsEh().Contains(dghExtendVertLines)) {
    InflateRect(box, 1, 1);
    canvas->Brush()->SetColor(BlendColors(canvas->Font()->Color(), grid_->Color(), 192));
    canvas->FrameRect(box);
  }
}
