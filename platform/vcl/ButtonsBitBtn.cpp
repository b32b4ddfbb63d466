// TBitBtn: an owner-drawn push button with a glyph, and the stock kinds with their glyphs.
#include "platform/vcl/Buttons.h"

RTL_IMPLEMENT_CLASS(TBitBtn)

namespace {
constexpr int kGlyphSide = 18;

// Draws a kind's symbol on an olive (transparent) square.
void DrawKindSymbol(TCanvas* c, TBitBtnKind Kind) {
  c->Brush()->SetColor(clOlive);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(Rect(0, 0, kGlyphSide, kGlyphSide));
  c->Pen()->SetWidth(2);
  auto line = [&](TColor color, std::initializer_list<TPoint> points) {
    c->Pen()->SetColor(color);
    c->Polyline(std::vector<TPoint>(points));
  };
  switch (Kind) {
    case bkOK:
    case bkYes:
      line(clGreen, {{3, 9}, {7, 13}, {15, 4}});
      break;
    case bkAll:
      line(clGreen, {{1, 9}, {4, 12}, {10, 4}});
      line(clGreen, {{7, 9}, {10, 12}, {16, 4}});
      break;
    case bkCancel:
    case bkAbort:
      line(clRed, {{4, 4}, {14, 14}});
      line(clRed, {{14, 4}, {4, 14}});
      break;
    case bkNo:
      c->Brush()->SetStyle(bsClear);
      c->Pen()->SetColor(clRed);
      c->Ellipse(3, 3, 15, 15);
      line(clRed, {{5, 5}, {13, 13}});
      break;
    case bkHelp:
      line(clNavy, {{6, 6}, {6, 4}, {8, 2}, {11, 2}, {13, 4}, {13, 7}, {9, 10}, {9, 12}});
      line(clNavy, {{9, 14}, {9, 16}});
      break;
    case bkClose:
      c->Brush()->SetColor(clMaroon);
      c->FillRect(Rect(5, 2, 13, 16));
      line(clYellow, {{10, 9}, {11, 9}});
      break;
    case bkRetry:
      c->Brush()->SetStyle(bsClear);
      c->Pen()->SetColor(clGreen);
      c->Arc(3, 3, 15, 15, 15, 9, 9, 3);
      line(clGreen, {{9, 1}, {9, 5}, {12, 5}});
      break;
    case bkIgnore:
      line(clNavy, {{9, 2}, {9, 10}});
      line(clNavy, {{5, 16}, {9, 10}, {13, 16}});
      line(clNavy, {{5, 6}, {13, 6}});
      break;
    case bkCustom:
      break;
  }
  c->Pen()->SetWidth(1);
}
}  // namespace

std::string BitBtnCaption(TBitBtnKind Kind) {
  static const char* const kCaptions[] = {"",       "OK",    "Cancel", "&Help",   "&Yes", "&No",
                                          "&Close", "Abort", "&Retry", "&Ignore", "&All"};
  return kCaptions[Kind];
}

TModalResult BitBtnModalResult(TBitBtnKind Kind) {
  static const TModalResult kResults[] = {mrNone, mrOk,    mrCancel, mrNone,   mrYes, mrNo,
                                          mrNone, mrAbort, mrRetry,  mrIgnore, mrAll};
  return kResults[Kind];
}

std::unique_ptr<TBitmap> BitBtnGlyph(TBitBtnKind Kind) {
  if (Kind == bkCustom) return nullptr;
  TBitmap symbol;
  symbol.SetSize(kGlyphSide, kGlyphSide);
  DrawKindSymbol(symbol.Canvas(), Kind);
  // The second image is the embossed disabled look the glyph strip makes for one image.
  TButtonGlyph single;
  single.SetGlyph(&symbol);
  TBitmap* disabled = single.StateImage(bsDisabled);
  auto strip = std::make_unique<TBitmap>();
  strip->SetSize(2 * kGlyphSide, kGlyphSide);
  strip->Canvas()->Draw(0, 0, &symbol);
  // The disabled image's background is clBtnFace; the strip's transparent colour is olive.
  TBmpImage image = strip->ToImage();
  const TBmpImage grey = disabled->ToImage();
  const COLORREF face = ColorToRGB(clBtnFace);
  const uint32_t faceRgb = ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
  const uint32_t olive = 0x808000;
  for (int y = 0; y < kGlyphSide; ++y)
    for (int x = 0; x < kGlyphSide; ++x) {
      const uint32_t p = grey.Pixel(x, y) & 0xFFFFFF;
      image.Pixels[static_cast<size_t>(y) * image.Width + kGlyphSide + x] = p == faceRgb ? olive : p;
    }
  strip->SetImage(image);
  return strip;
}

// --- TBitBtn ------------------------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), glyph_(std::make_unique<TButtonGlyph>()), canvas_(std::make_unique<TCanvas>()) {
  glyph_->OnChange = TNotifyEvent::Method(this, &TBitBtn::GlyphChanged);
  SetControlStyle(ControlStyle() + csReflector);
  SetDoubleBuffered(true);
}

TBitBtn::~TBitBtn() {
  glyph_->OnChange = nullptr;
}

void TBitBtn::DescribeClass(TClassBuilder<TBitBtn>& c) {
  c.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph).StoredIf([](const TObject& o) {
    return static_cast<const TBitBtn&>(o).Kind() == bkCustom;
  });
  c.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
  c.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
  c.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
  c.Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
      .Default(1)
      .StoredIf([](const TObject& o) { return static_cast<const TBitBtn&>(o).Kind() == bkCustom; });
  c.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
  c.Property("Style", &TBitBtn::Style, &TBitBtn::SetStyle).Default(bsAutoDetect);
}

TBitBtnKind TBitBtn::Kind() const {
  if (kind_ == bkCustom) return bkCustom;
  const bool defaultKind = kind_ == bkOK || kind_ == bkYes;
  const bool cancelKind = kind_ == bkCancel || kind_ == bkNo;
  if (defaultKind != Default() || cancelKind != Cancel() || ModalResult() != BitBtnModalResult(kind_) ||
      modifiedGlyph_)
    return bkCustom;
  return kind_;
}

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == kind_) return;
  if (Value != bkCustom) {
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
    const bool loading = ComponentState().Contains(csLoading);
    if (!loading || Caption().empty()) SetCaption(BitBtnCaption(Value));
    SetModalResult(BitBtnModalResult(Value));
    std::unique_ptr<TBitmap> glyph = BitBtnGlyph(Value);
    glyph_->SetGlyph(glyph.get());
    glyph_->SetNumGlyphs(2);
    modifiedGlyph_ = false;
  }
  kind_ = Value;
  Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* Value) {
  glyph_->SetGlyph(Value);
  modifiedGlyph_ = true;
  Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
  if (Value < 1 || Value > 4) Value = 1;
  if (Value == glyph_->NumGlyphs()) return;
  glyph_->SetNumGlyphs(Value);
  Invalidate();
}

void TBitBtn::GlyphChanged(TObject*) {
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TBitBtn::SetMargin(int Value) {
  if (Value < -1 || margin_ == Value) return;
  margin_ = Value;
  Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
  if (spacing_ == Value) return;
  spacing_ = Value;
  Invalidate();
}

void TBitBtn::SetStyle(TButtonStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  Invalidate();
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  } else if (kind_ == bkHelp) {
    TControl* control = this;
    while (control && control->HelpContext() == 0) control = control->Parent();
    if (control) {
      InitVcl();
      Application->HelpContext(control->HelpContext());
      return;
    }
  }
  inherited::Click();
}

void TBitBtn::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      CNDrawItem(Message);
      break;
    case CN_MEASUREITEM:
      CNMeasureItem(Message);
      break;
    case BM_SETSTYLE: {
      // The button stays owner-drawn; a default style only changes the frame it draws.
      const bool makeDefault = (Message.WParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      if (makeDefault != isFocused_) {
        isFocused_ = makeDefault;
        Refresh();
      }
      break;
    }
    case WM_LBUTTONDBLCLK:
      // A quick second press is another click, not a double click.
      Message.Result = Perform(WM_LBUTTONDOWN, Message.WParam, Message.LParam);
      break;
    default:
      inherited::Dispatch(Message);
  }
}

void TBitBtn::CNMeasureItem(TMessage& Message) {
  if (MEASUREITEMSTRUCT* mi = Message.MeasureItemStruct()) {
    mi->itemWidth = static_cast<UINT>(Width());
    mi->itemHeight = static_cast<UINT>(Height());
  }
  Message.Result = 1;
}

void TBitBtn::CNDrawItem(TMessage& Message) {
  if (const DRAWITEMSTRUCT* dis = Message.DrawItemStruct()) DrawItem(*dis);
  Message.Result = 1;
}

void TBitBtn::CMFocusChanged(TMessage& Message) {
  inherited::CMFocusChanged(Message);
  if (Active() != isFocused_) {
    isFocused_ = Active();
    Refresh();
  }
}

void TBitBtn::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  Invalidate();
}

void TBitBtn::CMEnabledChanged(TMessage& Message) {
  inherited::CMEnabledChanged(Message);
  Invalidate();
}

void TBitBtn::CMTextChanged(TMessage& Message) {
  inherited::CMTextChanged(Message);
  Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
  TCanvas* canvas = canvas_.get();
  canvas->SetHandle(DrawItemStruct.hDC);
  canvas->SetFont(Font());
  const TRect client = ClientRect();
  TRect r = client;
  const bool isDown = (DrawItemStruct.itemState & ODS_SELECTED) != 0;
  const bool isDefault = (DrawItemStruct.itemState & ODS_FOCUS) != 0;
  const TButtonState state = !Enabled() ? bsDisabled : isDown ? bsDown : bsUp;

  if (style_ == bsWin31) {
    r = DrawButtonFace(canvas, client, 1, bsWin31, false, isDown, isDefault || isFocused_);
  } else {
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (isDown) flags |= DFCS_PUSHED;
    if (DrawItemStruct.itemState & ODS_DISABLED) flags |= DFCS_INACTIVE;
    // The default frame goes around the push-button frame.
    if (isFocused_ || isDefault) {
      canvas->Pen()->SetColor(clWindowFrame);
      canvas->Pen()->SetWidth(1);
      canvas->Brush()->SetStyle(bsClear);
      canvas->Rectangle(r);
      InflateRect(r, -1, -1);
    }
    if (isDown) {
      canvas->Pen()->SetColor(clBtnShadow);
      canvas->Pen()->SetWidth(1);
      canvas->Brush()->SetColor(clBtnFace);
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Rectangle(r);
      InflateRect(r, -1, -1);
    } else {
      DrawFrameControl(DrawItemStruct.hDC, &r, DFC_BUTTON, flags);
    }
    if (isFocused_) {
      r = client;
      InflateRect(r, -1, -1);
    }
    if (isDown) OffsetRect(r, 1, 1);
  }
  canvas->SetFont(Font());
  glyph_->Draw(canvas, r, {0, 0}, Caption(), layout_, margin_, spacing_, state, false, 0);
  if (isFocused_ && isDefault) {
    r = client;
    InflateRect(r, -4, -4);
    canvas->Pen()->SetColor(clWindowFrame);
    canvas->Brush()->SetColor(clBtnFace);
    canvas->Brush()->SetStyle(bsSolid);
    DrawFocusRect(DrawItemStruct.hDC, &r);
  }
  canvas->SetHandle(nullptr);
}
