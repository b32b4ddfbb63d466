// Panels, bevels, shapes, paint boxes and images.
#include "platform/vcl/ExtCtrls.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TCustomPanel)
RTL_IMPLEMENT_CLASS(TPanel)
RTL_IMPLEMENT_CLASS(TBevel)
RTL_IMPLEMENT_CLASS(TShape)
RTL_IMPLEMENT_CLASS(TPaintBox)
RTL_IMPLEMENT_CLASS(TImage)

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  // Rings past the middle of the rectangle would have nothing left to draw on.
  const int shown = std::clamp(Width, 0, (std::max(0, std::min(Rect.Width(), Rect.Height())) + 1) / 2);
  if (TopColor == BottomColor && shown > 1) {
    // One colour: the rings make four bands, drawn as fills.
    TBrush* brush = Canvas->Brush();
    const TColor oldColor = brush->Color();
    const TBrushStyle oldStyle = brush->Style();
    TScopeExit restore([&] {
      brush->SetColor(oldColor);
      brush->SetStyle(oldStyle);
    });
    brush->SetColor(TopColor);
    brush->SetStyle(bsSolid);
    const TRect r = Rect;
    const int inTop = r.Top + shown, inBottom = std::max(inTop, r.Bottom - shown);
    Canvas->FillRect(TRect{r.Left, r.Top, r.Right, inTop});
    Canvas->FillRect(TRect{r.Left, inBottom, r.Right, r.Bottom});
    Canvas->FillRect(TRect{r.Left, inTop, r.Left + shown, inBottom});
    Canvas->FillRect(TRect{std::max(r.Left, r.Right - shown), inTop, r.Right, inBottom});
    InflateRect(Rect, -shown, -shown);
  } else {
    // Only the rings that cross the visible part are drawn: a wide frame on a large control
    // costs what is shown, not its width. A pixel's ring is its distance from the nearest edge.
    int first = 0, last = shown - 1;
    const TRect clip = Canvas->ClipRect();
    if (shown > 1 && clip.Right > clip.Left && clip.Bottom > clip.Top) {
      const int64_t l = Rect.Left, t = Rect.Top, r = int64_t{Rect.Right} - 1, b = int64_t{Rect.Bottom} - 1;
      const int64_t x0 = std::max<int64_t>(clip.Left, l), x1 = std::min<int64_t>(clip.Right - 1, r);
      const int64_t y0 = std::max<int64_t>(clip.Top, t), y1 = std::min<int64_t>(clip.Bottom - 1, b);
      if (x0 > x1 || y0 > y1) {
        last = -1;
      } else {
        const int64_t nearest = std::min({x0 - l, y0 - t, r - x1, b - y1});
        const int64_t cx = std::clamp((l + r) / 2, x0, x1), cy = std::clamp((t + b) / 2, y0, y1);
        const int64_t deepest = std::min({cx - l, r - cx, cy - t, b - cy});
        first = static_cast<int>(std::min<int64_t>(nearest, shown));
        last = static_cast<int>(std::min<int64_t>(deepest, shown - 1));
      }
    }
    Canvas->Pen()->SetWidth(1);
    // Work on the inclusive corners: the polylines leave out their last point.
    --Rect.Bottom;
    --Rect.Right;
    InflateRect(Rect, -first, -first);
    for (int ring = first; ring <= last; ++ring) {
      TPoint topRight{Rect.Right, Rect.Top};
      TPoint bottomLeft{Rect.Left, Rect.Bottom};
      Canvas->Pen()->SetColor(TopColor);
      Canvas->Polyline({bottomLeft, Rect.TopLeft(), topRight});
      Canvas->Pen()->SetColor(BottomColor);
      --bottomLeft.X;
      Canvas->Polyline({topRight, Rect.BottomRight(), bottomLeft});
      InflateRect(Rect, -1, -1);
    }
    const int passed = shown - std::max(first, last + 1);
    InflateRect(Rect, -passed, -passed);
    ++Rect.Bottom;
    ++Rect.Right;
  }
  // Nothing is left inside a frame that fills the rectangle.
  if (Width > shown) Rect = TRect{Rect.Left, Rect.Top, Rect.Left, Rect.Top};
}

// --- TCustomPanel ------------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable});
  SetBounds(Left(), Top(), 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment Value) {
  if (verticalAlignment_ == Value) return;
  verticalAlignment_ = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  if (bevelInner_ == Value) return;
  bevelInner_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  if (bevelOuter_ == Value) return;
  bevelOuter_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  Value = std::clamp(Value, 1, kWindowCoordLimit);
  if (bevelWidth_ == Value) return;
  bevelWidth_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value) {
  Value = ClampControlSize(Value);
  if (borderWidth_ == Value) return;
  borderWidth_ = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (borderStyle_ == Value) return;
  borderStyle_ = Value;
  RecreateWnd();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  if (borderStyle_ == bsSingle) {
    if (Ctl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  if (!fullRepaint_) Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::FrameSize() const {
  int size = borderWidth_;
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  return size;
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  inherited::AdjustClientRect(Rect);
  const int size = FrameSize();
  InflateRect(Rect, -size, -size);
}

void TCustomPanel::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

namespace {
// The two shades of a bevel cut; a space is drawn in the panel's own colour.
void BevelColors(TPanelBevel Bevel, TColor Face, TColor& TopColor, TColor& BottomColor) {
  switch (Bevel) {
    case bvLowered:
      TopColor = clBtnShadow;
      BottomColor = clBtnHighlight;
      break;
    case bvSpace:
      TopColor = BottomColor = Face;
      break;
    default:
      TopColor = clBtnHighlight;
      BottomColor = clBtnShadow;
      break;
  }
}
}  // namespace

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = GetClientRect();
  TColor topColor = clNone, bottomColor = clNone;
  if (bevelOuter_ != bvNone) {
    BevelColors(bevelOuter_, Color(), topColor, bottomColor);
    Frame3D(canvas, rect, topColor, bottomColor, bevelWidth_);
  }
  Frame3D(canvas, rect, Color(), Color(), borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColors(bevelInner_, Color(), topColor, bottomColor);
    Frame3D(canvas, rect, topColor, bottomColor, bevelWidth_);
  }
  if (!ParentBackground() || !ThemesEnabled()) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(rect);
  }
  const std::string caption = Caption();
  if (caption.empty()) return;
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  const int fontHeight = canvas->TextHeight("W");
  switch (verticalAlignment_) {
    case taAlignTop:
      rect.Bottom = rect.Top + fontHeight;
      break;
    case taAlignBottom:
      rect.Top = rect.Bottom - fontHeight;
      break;
    case taVerticalCenter:
      rect.Top = (rect.Bottom + rect.Top - fontHeight) / 2;
      rect.Bottom = rect.Top + fontHeight;
      break;
  }
  static constexpr UINT kAlignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  const UINT flags = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE | kAlignments[alignment_];
  DrawText(canvas->Handle(), caption, &rect, flags);
}

void TPanel::DescribeClass(TClassBuilder<TPanel>& c) {
  PublishControl(
      c, {"Align",          "Anchors",     "BiDiMode",    "Caption",     "Color",          "Constraints",
          "Ctl3D",          "DragCursor",  "DragMode",    "Enabled",     "Font",           "ParentBackground",
          "ParentBiDiMode", "ParentColor", "ParentCtl3D", "ParentFont",  "ParentShowHint", "PopupMenu",
          "ShowHint",       "TabOrder",    "TabStop",     "Visible",     "OnClick",        "OnContextPopup",
          "OnDblClick",     "OnEnter",     "OnExit",      "OnMouseDown", "OnMouseMove",    "OnMouseUp",
          "OnResize"});
  c.Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
  c.Property("VerticalAlignment", &TCustomPanel::VerticalAlignment, &TCustomPanel::SetVerticalAlignment)
      .Default(taVerticalCenter);
  c.Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
  c.Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
  c.Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  c.Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
  c.Property("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone);
  c.Property("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(1);
  c.Property("Locked", &TCustomPanel::Locked, &TCustomPanel::SetLocked).Default(0);
}

// --- TBevel ----------------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(Left(), Top(), 50, 50);
}

void TBevel::DescribeClass(TClassBuilder<TBevel>& c) {
  PublishControl(c, {"Align", "Anchors", "Constraints", "ParentShowHint", "ShowHint", "Visible"});
  c.Property("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  c.Property("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
}

void TBevel::SetShape(TBevelShape Value) {
  if (shape_ == Value) return;
  shape_ = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Pen()->SetWidth(1);
  TColor color1 = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor color2 = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  // R's right and bottom are the last pixels drawn.
  auto bevelRect = [&](const TRect& R, TColor c1, TColor c2) {
    canvas->Pen()->SetColor(c1);
    canvas->Polyline({{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}});
    canvas->Pen()->SetColor(c2);
    canvas->Polyline({{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left, R.Bottom}});
  };
  auto bevelLine = [&](TColor c, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetColor(c);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  const int w = Width(), h = Height();
  switch (shape_) {
    case bsBox:
      bevelRect(Rect(0, 0, w - 1, h - 1), color1, color2);
      break;
    case bsFrame:
      // The second shade offset by one under the first gives the etched look.
      bevelRect(Rect(1, 1, w - 1, h - 1), color2, color2);
      bevelRect(Rect(0, 0, w - 2, h - 2), color1, color1);
      break;
    case bsTopLine:
      bevelLine(color1, 0, 0, w, 0);
      bevelLine(color2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      bevelLine(color1, 0, h - 2, w, h - 2);
      bevelLine(color2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      bevelLine(color1, 0, 0, 0, h);
      bevelLine(color2, 1, 0, 1, h);
      break;
    case bsRightLine:
      bevelLine(color1, w - 2, 0, w - 2, h);
      bevelLine(color2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// --- TShape ----------------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(Left(), Top(), 65, 65);
  pen_->OnChange = TNotifyEvent::Method(this, &TShape::StyleChanged);
  brush_->OnChange = TNotifyEvent::Method(this, &TShape::StyleChanged);
}

TShape::~TShape() = default;

void TShape::DescribeClass(TClassBuilder<TShape>& c) {
  PublishControl(c, {"Align", "Anchors", "Constraints", "DragCursor", "DragMode", "Enabled", "ParentShowHint",
                     "ShowHint", "Visible", "OnContextPopup", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("Brush", &TShape::Brush, &TShape::SetBrush);
  c.Property("Pen", &TShape::Pen, &TShape::SetPen);
  c.Property("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
}

void TShape::SetShape(TShapeType Value) {
  if (shape_ == Value) return;
  shape_ = Value;
  Invalidate();
}

void TShape::StyleChanged(TObject*) {
  Invalidate();
}

void TShape::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetPen(pen_.get());
  canvas->SetBrush(brush_.get());
  const int penWidth = pen_->Width();
  int x = penWidth / 2, y = x;
  int w = Width() - penWidth + 1, h = Height() - penWidth + 1;
  if (penWidth == 0) {
    --w;
    --h;
  }
  const int s = std::min(w, h);
  if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  switch (shape_) {
    case stRectangle:
    case stSquare:
      canvas->Rectangle(x, y, x + w, y + h);
      break;
    case stRoundRect:
    case stRoundSquare:
      canvas->RoundRect(x, y, x + w, y + h, s / 4, s / 4);
      break;
    case stEllipse:
    case stCircle:
      canvas->Ellipse(x, y, x + w, y + h);
      break;
  }
}

// --- TPaintBox -------------------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + csReplicatable);
  SetBounds(Left(), Top(), 105, 105);
}

void TPaintBox::DescribeClass(TClassBuilder<TPaintBox>& c) {
  PublishControl(
      c, {"Align",   "Anchors",        "Color",      "Constraints",    "DragCursor",  "DragMode", "Enabled",
          "Font",    "ParentColor",    "ParentFont", "ParentShowHint", "PopupMenu",   "ShowHint", "Visible",
          "OnClick", "OnContextPopup", "OnDblClick", "OnMouseDown",    "OnMouseMove", "OnMouseUp"});
  c.Property("OnPaint", &TPaintBox::OnPaint, [](TPaintBox& o, const TNotifyEvent& e) { o.OnPaint = e; });
}

void TPaintBox::Paint() {
  if (!OnPaint) return;
  Canvas()->SetFont(Font());
  Canvas()->Brush()->SetColor(Color());
  OnPaint(this);
}

// --- TImage ----------------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
  SetControlStyle(ControlStyle() + csReplicatable);
  picture_->OnChange = TNotifyEvent::Method(this, &TImage::PictureChanged);
  SetBounds(Left(), Top(), 105, 105);
}

TImage::~TImage() {
  picture_->OnChange = nullptr;
}

void TImage::DescribeClass(TClassBuilder<TImage>& c) {
  PublishControl(c, {"Align", "Anchors", "Constraints", "DragCursor", "DragMode", "Enabled", "ParentShowHint",
                     "PopupMenu", "ShowHint", "Visible", "OnClick", "OnContextPopup", "OnDblClick",
                     "OnMouseDown", "OnMouseMove", "OnMouseUp"});
  c.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(0);
  c.Property("Center", &TImage::Center, &TImage::SetCenter).Default(0);
  c.Property("IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay).Default(0);
  c.Property("Picture", &TImage::Picture, &TImage::SetPicture);
  c.Property("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(0);
  c.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(0);
  c.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(0);
}

TCanvas* TImage::Canvas() {
  if (!picture_->Graphic()) {
    TBitmap bitmap;
    bitmap.SetSize(Width(), Height());
    picture_->SetGraphic(&bitmap);
  }
  auto* bitmap = dynamic_cast<TBitmap*>(picture_->Graphic());
  if (!bitmap) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bitmap->Canvas();
}

void TImage::SetAutoSize(bool Value) {
  if (autoSize_ == Value) return;
  autoSize_ = Value;
  PictureChanged(this);
}

void TImage::SetCenter(bool Value) {
  if (center_ == Value) return;
  center_ = Value;
  PictureChanged(this);
}

void TImage::SetProportional(bool Value) {
  if (proportional_ == Value) return;
  proportional_ = Value;
  PictureChanged(this);
}

void TImage::SetStretch(bool Value) {
  if (stretch_ == Value) return;
  stretch_ = Value;
  PictureChanged(this);
}

void TImage::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  PictureChanged(this);
}

TRect TImage::DestRect() {
  int w = picture_->Width(), h = picture_->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      const double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect result = Rect(0, 0, w, h);
  if (center_) OffsetRect(result, (cw - w) / 2, (ch - h) / 2);
  return result;
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (!graphic || graphic->Empty()) return;
  TValueRestorer<bool> keepDrawing(drawing_, true);
  TGraphicControl::Canvas()->StretchDraw(DestRect(), graphic);
}

void TImage::PictureChanged(TObject*) {
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  TGraphic* graphic = picture_->Graphic();
  bool opaque = false;
  if (graphic) {
    if (!dynamic_cast<TIcon*>(graphic) && graphic->Transparent() != transparent_) {
      // Setting it calls back here through the picture's change event.
      graphic->SetTransparent(transparent_);
    }
    const TRect d = DestRect();
    opaque =
        !graphic->Transparent() && d.Left <= 0 && d.Top <= 0 && d.Right >= Width() && d.Bottom >= Height();
  }
  SetControlStyle(opaque ? ControlStyle() + csOpaque : ControlStyle() - csOpaque);
  if (!drawing_) Invalidate();
}

void RegisterExtCtrlsClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TTimer::StaticClass(), TPanel::StaticClass(), TBevel::StaticClass(), TShape::StaticClass(),
                   TPaintBox::StaticClass(), TImage::StaticClass(), TRadioGroup::StaticClass()});
}

namespace {
// Descriptions can name these classes as soon as the program starts.
const bool registered = (RegisterExtCtrlsClasses(), true);
}  // namespace
