// The base grid's companions: line colours, out-boundary strips and the background picture.
#include <algorithm>

#include "grid/foundation/GridsEh.h"

namespace {
// Margins and strips beyond any screen size; keeps the area arithmetic far from overflow.
constexpr int kMaxBackgroundMargin = 1 << 24;
}  // namespace

RTL_IMPLEMENT_CLASS(TGridLineColorsEh)
RTL_IMPLEMENT_CLASS(TGridOutBoundaryDataEh)
RTL_IMPLEMENT_CLASS(TGridBackgroundDataEh)

// --- line colours -----------------------------------------------------------------------------------

TGridLineColorsEh::TGridLineColorsEh(TCustomGridEh* AGrid) : grid_(AGrid) {}

TGridLineColorsEh::~TGridLineColorsEh() = default;

void TGridLineColorsEh::DescribeClass(TClassBuilder<TGridLineColorsEh>& c) {
  c.Property("DarkColor", &TGridLineColorsEh::DarkColor, &TGridLineColorsEh::SetDarkColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("BrightColor", &TGridLineColorsEh::BrightColor, &TGridLineColorsEh::SetBrightColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("DataHorzColor", &TGridLineColorsEh::DataHorzColor, &TGridLineColorsEh::SetDataHorzColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("DataVertColor", &TGridLineColorsEh::DataVertColor, &TGridLineColorsEh::SetDataVertColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
}

void TGridLineColorsEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TGridLineColorsEh*>(Source)) {
    darkColor_ = src->darkColor_;
    brightColor_ = src->brightColor_;
    dataHorzColor_ = src->dataHorzColor_;
    dataVertColor_ = src->dataVertColor_;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TGridLineColorsEh::Changed() {
  if (grid_) grid_->InvalidateGrid();
}

void TGridLineColorsEh::SetDarkColor(TColor Value) {
  if (Value == darkColor_) return;
  darkColor_ = Value;
  Changed();
}

void TGridLineColorsEh::SetBrightColor(TColor Value) {
  if (Value == brightColor_) return;
  brightColor_ = Value;
  Changed();
}

void TGridLineColorsEh::SetDataHorzColor(TColor Value) {
  if (Value == dataHorzColor_) return;
  dataHorzColor_ = Value;
  Changed();
}

void TGridLineColorsEh::SetDataVertColor(TColor Value) {
  if (Value == dataVertColor_) return;
  dataVertColor_ = Value;
  Changed();
}

TColor TGridLineColorsEh::GetBrightColor() {
  if (brightColor_ != clDefault) return brightColor_;
  return static_cast<TColor>(0x808080);
}

TColor TGridLineColorsEh::GetDarkColor() {
  if (darkColor_ != clDefault) return darkColor_;
  // Silver lines would vanish on a silver grid.
  if (grid_ && !grid_->IsCustomStyleActive() && ColorToRGB(grid_->Color()) == 0xC0C0C0)
    return static_cast<TColor>(0x808080);
  return static_cast<TColor>(0xC0C0C0);
}

TColor TGridLineColorsEh::GetDataVertColor() {
  return dataVertColor_ != clDefault ? dataVertColor_ : GetDarkColor();
}

TColor TGridLineColorsEh::GetDataHorzColor() {
  return dataHorzColor_ != clDefault ? dataHorzColor_ : GetDarkColor();
}

// --- out-boundary strips ----------------------------------------------------------------------------

TGridOutBoundaryDataEh::TGridOutBoundaryDataEh(TCustomGridEh* AGrid) : grid_(AGrid) {}

TGridOutBoundaryDataEh::~TGridOutBoundaryDataEh() = default;

void TGridOutBoundaryDataEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TGridOutBoundaryDataEh*>(Source)) {
    SetLeftIndent(src->leftIndent_);
    SetTopIndent(src->topIndent_);
    SetRightIndent(src->rightIndent_);
    SetBottomIndent(src->bottomIndent_);
    return;
  }
  inherited::Assign(Source);
}

void TGridOutBoundaryDataEh::SetIndent(int& Field, int Value) {
  Value = std::clamp(Value, 0, kMaxBackgroundMargin);
  if (Value == Field) return;
  Field = Value;
  if (grid_) grid_->OutBoundaryDataChanged();
}

void TGridOutBoundaryDataEh::SetLeftIndent(int Value) {
  SetIndent(leftIndent_, Value);
}
void TGridOutBoundaryDataEh::SetTopIndent(int Value) {
  SetIndent(topIndent_, Value);
}
void TGridOutBoundaryDataEh::SetRightIndent(int Value) {
  SetIndent(rightIndent_, Value);
}
void TGridOutBoundaryDataEh::SetBottomIndent(int Value) {
  SetIndent(bottomIndent_, Value);
}

bool TGridOutBoundaryDataEh::GetOutBoundaryRect(TRect& ARect, int Side) {
  ARect = TRect{};
  if (!grid_) return false;
  TGridDrawInfoEh di;
  grid_->CalcDrawInfo(di);
  // Top and bottom strips run along the cells and the side strips; side strips beside the cells.
  const int right = std::min(di.Horz.GridExtent, di.Horz.GridBoundary + rightIndent_);
  switch (Side) {
    case 0:
      if (topIndent_ <= 0) return false;
      ARect = TRect{0, 0, right, topIndent_};
      break;
    case 1:
      if (leftIndent_ <= 0) return false;
      ARect = TRect{0, topIndent_, leftIndent_, di.Vert.GridBoundary};
      break;
    case 2:
      if (bottomIndent_ <= 0) return false;
      ARect = TRect{0, di.Vert.GridBoundary, right,
                    std::min(di.Vert.GridExtent, di.Vert.GridBoundary + bottomIndent_)};
      break;
    case 3:
      if (rightIndent_ <= 0) return false;
      ARect = TRect{di.Horz.GridBoundary, topIndent_, right, di.Vert.GridBoundary};
      break;
    default:
      return false;
  }
  if (grid_->UseRightToLeftAlignment()) {
    const int w = di.Horz.GridExtent;
    ARect = TRect{w - ARect.Right, ARect.Top, w - ARect.Left, ARect.Bottom};
  }
  return true;
}

// --- background picture --------------------------------------------------------------------------------

TGridBackgroundDataEh::TGridBackgroundDataEh(TCustomGridEh* AGrid)
    : grid_(AGrid), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = TNotifyEvent::Method(this, &TGridBackgroundDataEh::PictureChanged);
}

TGridBackgroundDataEh::~TGridBackgroundDataEh() {
  picture_->OnChange = TNotifyEvent();
}

void TGridBackgroundDataEh::DescribeClass(TClassBuilder<TGridBackgroundDataEh>& c) {
  c.Property("Picture", &TGridBackgroundDataEh::Picture, &TGridBackgroundDataEh::SetPicture);
  c.Property("Placement", &TGridBackgroundDataEh::Placement, &TGridBackgroundDataEh::SetPlacement)
      .Default(static_cast<int>(ipCenterCenterEh));
  c.Property("HorzMargin", &TGridBackgroundDataEh::HorzMargin, &TGridBackgroundDataEh::SetHorzMargin)
      .Default(0);
  c.Property("VertMargin", &TGridBackgroundDataEh::VertMargin, &TGridBackgroundDataEh::SetVertMargin)
      .Default(0);
  c.Property("Visible", &TGridBackgroundDataEh::Visible, &TGridBackgroundDataEh::SetVisible).Default(0);
}

void TGridBackgroundDataEh::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TGridBackgroundDataEh*>(Source)) {
    picture_->Assign(src->picture_.get());
    placement_ = src->placement_;
    horzMargin_ = src->horzMargin_;
    vertMargin_ = src->vertMargin_;
    visible_ = src->visible_;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TGridBackgroundDataEh::Changed() {
  if (grid_) grid_->InvalidateGrid();
}

void TGridBackgroundDataEh::PictureChanged(TObject* Sender) {
  Changed();
}

void TGridBackgroundDataEh::SetPicture(TPicture* Value) {
  picture_->Assign(Value);
}

void TGridBackgroundDataEh::SetPlacement(TImagePlacementEh Value) {
  if (Value == placement_) return;
  placement_ = Value;
  Changed();
}

void TGridBackgroundDataEh::SetHorzMargin(int Value) {
  Value = std::clamp(Value, -kMaxBackgroundMargin, kMaxBackgroundMargin);
  if (Value == horzMargin_) return;
  horzMargin_ = Value;
  Changed();
}

void TGridBackgroundDataEh::SetVertMargin(int Value) {
  Value = std::clamp(Value, -kMaxBackgroundMargin, kMaxBackgroundMargin);
  if (Value == vertMargin_) return;
  vertMargin_ = Value;
  Changed();
}

void TGridBackgroundDataEh::SetVisible(bool Value) {
  if (Value == visible_) return;
  visible_ = Value;
  Changed();
}

bool TGridBackgroundDataEh::Showing() const {
  return visible_ && picture_->Graphic() && !picture_->Graphic()->Empty();
}

void TGridBackgroundDataEh::GetBackgroundRect(const TGridDrawInfoEh& DrawInfo, TRect& ARect) {
  // The data area from the fixed cells to the client edge, less the margins.
  const TRect area{DrawInfo.Horz.FixedBoundary + horzMargin_, DrawInfo.Vert.FixedBoundary + vertMargin_,
                   DrawInfo.Horz.GridExtent - horzMargin_, DrawInfo.Vert.GridExtent - vertMargin_};
  const int aw = std::max(0, area.Width()), ah = std::max(0, area.Height());
  const int pw = picture_->Width(), ph = picture_->Height();
  int w = pw, h = ph;
  switch (placement_) {
    case ipStretchEh:
    case ipTileEh:
      ARect = TRect{area.Left, area.Top, area.Left + aw, area.Top + ah};
      return;
    case ipFitEh:
    case ipFillEh:
      if (pw > 0 && ph > 0) {
        // Fit keeps the whole picture inside; fill covers the whole area.
        const bool byWidth = placement_ == ipFitEh
                                 ? static_cast<long long>(aw) * ph <= static_cast<long long>(ah) * pw
                                 : static_cast<long long>(aw) * ph >= static_cast<long long>(ah) * pw;
        // A very thin picture would scale beyond any client size.
        const long long limit = 1LL << 28;
        if (byWidth) {
          w = aw;
          h = static_cast<int>(std::min(limit, static_cast<long long>(ph) * aw / pw));
        } else {
          h = ah;
          w = static_cast<int>(std::min(limit, static_cast<long long>(pw) * ah / ph));
        }
      }
      break;
    default:
      break;
  }
  int x = area.Left, y = area.Top;
  switch (placement_) {
    case ipTopCenterEh:
    case ipCenterCenterEh:
    case ipBottomCenterEh:
    case ipFitEh:
    case ipFillEh:
      x = area.Left + (aw - w) / 2;
      break;
    case ipTopRightEh:
    case ipCenterRightEh:
    case ipBottomRightEh:
      x = area.Left + aw - w;
      break;
    default:
      break;
  }
  switch (placement_) {
    case ipCenterLeftEh:
    case ipCenterCenterEh:
    case ipCenterRightEh:
    case ipFitEh:
    case ipFillEh:
      y = area.Top + (ah - h) / 2;
      break;
    case ipBottomLeftEh:
    case ipBottomCenterEh:
    case ipBottomRightEh:
      y = area.Top + ah - h;
      break;
    default:
      break;
  }
  ARect = TRect{x, y, x + w, y + h};
}
