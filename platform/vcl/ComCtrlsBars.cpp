// The status bar over "msctls_statusbar32" and the header over "SysHeader32".
#include <algorithm>

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/ComCtrls.h"

RTL_IMPLEMENT_CLASS(TStatusPanel)
RTL_IMPLEMENT_CLASS(TStatusPanels)
RTL_IMPLEMENT_CLASS(TStatusBar)
RTL_IMPLEMENT_CLASS(THeaderSection)
RTL_IMPLEMENT_CLASS(THeaderSections)
RTL_IMPLEMENT_CLASS(THeaderControl)

namespace {

// Within this many pixels of a section's right edge a press starts resizing it.
constexpr int kDividerSlop = 2;

}  // namespace

// --- TStatusPanel ----------------------------------------------------------------------------------

// Joining the collection tells the bar, which reads every panel: join once the members exist.
TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(nullptr) {
  SetCollection(Collection);
}

void TStatusPanel::DescribeClass(TClassBuilder<TStatusPanel>& c) {
  c.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment);
  c.Property("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
  c.Property("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle);
  c.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  c.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).NoDefault();
  c.Property("BiDiMode", &TStatusPanel::BiDiMode, &TStatusPanel::SetBiDiMode).StoredIf([](const TObject& o) {
    return !static_cast<const TStatusPanel&>(o).ParentBiDiMode();
  });
  c.Property("ParentBiDiMode", &TStatusPanel::ParentBiDiMode, &TStatusPanel::SetParentBiDiMode).Default(1);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<TStatusPanel*>(Source)) {
    text_ = other->text_;
    width_ = other->width_;
    alignment_ = other->alignment_;
    style_ = other->style_;
    bevel_ = other->bevel_;
    biDiMode_ = other->biDiMode_;
    parentBiDiMode_ = other->parentBiDiMode_;
    Changed(false);
    return;
  }
  inherited::Assign(Source);
}

std::string TStatusPanel::GetDisplayName() const {
  return text_.empty() ? inherited::GetDisplayName() : text_;
}

void TStatusPanel::SetText(const std::string& Value) {
  if (text_ == Value) return;
  text_ = Value;
  Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
  if (width_ == Value) return;
  width_ = Value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  if (bevel_ == Value) return;
  bevel_ = Value;
  Changed(false);
}

TStatusBar* TStatusPanel::Bar() const {
  return Collection() ? dynamic_cast<TStatusBar*>(Collection()->GetOwner()) : nullptr;
}

TBiDiMode TStatusPanel::BiDiMode() const {
  if (parentBiDiMode_)
    if (TStatusBar* bar = Bar()) return bar->BiDiMode();
  return biDiMode_;
}

void TStatusPanel::SetBiDiMode(TBiDiMode Value) {
  const bool changed = BiDiMode() != Value;
  biDiMode_ = Value;
  parentBiDiMode_ = false;
  if (changed) Changed(false);
}

void TStatusPanel::SetParentBiDiMode(bool Value) {
  if (parentBiDiMode_ == Value) return;
  // Turning it off keeps the mode the panel showed.
  if (!Value) biDiMode_ = BiDiMode();
  parentBiDiMode_ = Value;
  Changed(false);
}

bool TStatusPanel::UseRightToLeftAlignment() const {
  return SysLocale().MiddleEast && BiDiMode() == bdRightToLeft;
}

// --- TStatusPanels ---------------------------------------------------------------------------------

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(TStatusPanel::StaticClass()), statusBar_(StatusBar) {}

TPersistent* TStatusPanels::GetOwner() {
  return statusBar_;
}

void TStatusPanels::Update(TCollectionItem* Item) {
  (void)Item;
  if (statusBar_) statusBar_->UpdatePanels();
}

// --- TStatusBar ------------------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner),
      panels_(std::make_unique<TStatusPanels>(this)),
      canvas_(std::make_unique<TCanvas>()) {
  // The window keeps itself along the bottom at its font's height; the control agrees.
  SetBounds(Left(), Top(), 19 * 10, 21);
  SetAlign(alBottom);
  SetColor(clBtnFace);
}

TStatusBar::~TStatusBar() {
  canvas_->SetHandle(nullptr);
}

void TStatusBar::DescribeClass(TClassBuilder<TStatusBar>& c) {
  PublishControl(c, {"Align",          "Anchors",     "BiDiMode",       "Color",       "Constraints",
                     "Enabled",        "Font",        "ParentBiDiMode", "ParentColor", "ParentFont",
                     "ParentShowHint", "PopupMenu",   "ShowHint",       "Visible",     "OnClick",
                     "OnDblClick",     "OnMouseDown", "OnMouseMove",    "OnMouseUp",   "OnResize"});
  c.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  c.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
  c.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  c.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(1);
  c.Property(
      "OnDrawPanel", [](const TStatusBar& s) -> const TDrawPanelEvent& { return s.OnDrawPanel; },
      [](TStatusBar& s, const TDrawPanelEvent& e) { s.OnDrawPanel = e; });
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAME);
  if (sizeGrip_) Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  inherited::CreateWnd();
  UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (simplePanel_ == Value) return;
  simplePanel_ = Value;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
  if (simpleText_ == Value) return;
  simpleText_ = Value;
  if (simplePanel_) UpdatePanels();
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (sizeGrip_ == Value) return;
  sizeGrip_ = Value;
  RecreateWnd();
}

void TStatusBar::CMBiDiModeChanged(TMessage& Message) {
  inherited::CMBiDiModeChanged(Message);
  Invalidate();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  const HWND h = Handle();
  if (simplePanel_ || panels_->Count() == 0) {
    int edge = -1;
    SendMessage(h, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
    SendMessage(h, SB_SETTEXT, 0, reinterpret_cast<LPARAM>(simplePanel_ ? simpleText_.c_str() : ""));
    return;
  }
  const int count = std::min(panels_->Count(), 255);
  std::vector<int> edges(static_cast<size_t>(count));
  int edge = 0;
  for (int i = 0; i < count; ++i) {
    edge += panels_->Items(i)->Width();
    edges[static_cast<size_t>(i)] = i == count - 1 ? -1 : edge;
  }
  SendMessage(h, SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < count; ++i) {
    TStatusPanel* panel = panels_->Items(i);
    WPARAM type = static_cast<WPARAM>(i);
    if (panel->Bevel() == pbNone) type |= SBT_NOBORDERS;
    if (panel->Bevel() == pbRaised) type |= SBT_POPOUT;
    // The window draws left-aligned text itself; the bar draws the rest.
    const bool own = panel->Style() == psOwnerDraw || panel->Alignment() != taLeftJustify;
    if (own) type |= SBT_OWNERDRAW;
    SendMessage(h, SB_SETTEXT, type, reinterpret_cast<LPARAM>(own ? "" : panel->Text().c_str()));
  }
}

TRect TStatusBar::PanelRect(int Index) {
  RECT r{};
  if (HandleAllocated())
    SendMessage(Handle(), SB_GETRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel)
    OnDrawPanel(this, Panel, Rect);
  else
    canvas_->FillRect(Rect);
}

void TStatusBar::PaintPanels(HDC DC) {
  if (simplePanel_) return;
  const int count = std::min(panels_->Count(), 255);
  for (int i = 0; i < count; ++i) {
    TStatusPanel* panel = panels_->Items(i);
    if (panel->Style() != psOwnerDraw && panel->Alignment() == taLeftJustify) continue;
    TRect r = PanelRect(i);
    const int saved = SaveDC(DC);
    canvas_->SetHandle(DC);
    canvas_->SetFont(Font());
    canvas_->Brush()->SetColor(Color());
    if (panel->Style() == psOwnerDraw) {
      TRect inner = r;
      if (panel->Bevel() != pbNone) InflateRect(inner, -1, -1);
      DrawPanel(panel, inner);
    } else {
      TRect text = r;
      InflateRect(text, -2, 0);
      canvas_->Brush()->SetStyle(bsClear);
      std::string s = panel->Text();
      TTextFormat format{tfVerticalCenter, tfSingleLine, tfNoPrefix};
      format += panel->Alignment() == taCenter         ? tfCenter
                : panel->Alignment() == taRightJustify ? tfRight
                                                       : tfLeft;
      canvas_->TextRect(text, s, format);
    }
    canvas_->SetHandle(nullptr);
    RestoreDC(DC, saved);
  }
}

void TStatusBar::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT && HandleAllocated()) {
    // The window paints the frames (and left-aligned text) into our DC; the rest goes on top.
    PAINTSTRUCT ps{};
    HDC dc = Message.DC() ? Message.DC() : BeginPaint(Handle(), &ps);
    TMessage paint(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    DefaultHandler(paint);
    PaintPanels(dc);
    if (!Message.DC()) EndPaint(Handle(), &ps);
    Message.Result = 0;
    return;
  }
  inherited::Dispatch(Message);
}

// --- THeaderSection -------------------------------------------------------------------------------

// As a status panel: the header reads every section when one joins.
THeaderSection::THeaderSection(TCollection* Collection) : TCollectionItem(nullptr) {
  SetCollection(Collection);
}

void THeaderSection::DescribeClass(TClassBuilder<THeaderSection>& c) {
  c.Property("Alignment", &THeaderSection::Alignment, &THeaderSection::SetAlignment);
  c.Property("AllowClick", &THeaderSection::AllowClick, &THeaderSection::SetAllowClick).Default(1);
  c.Property("MaxWidth", &THeaderSection::MaxWidth, &THeaderSection::SetMaxWidth).Default(10000);
  c.Property("MinWidth", &THeaderSection::MinWidth, &THeaderSection::SetMinWidth).Default(0);
  c.Property("Style", &THeaderSection::Style, &THeaderSection::SetStyle);
  c.Property("Text", &THeaderSection::Text, &THeaderSection::SetText);
  c.Property("Width", &THeaderSection::Width, &THeaderSection::SetWidth).NoDefault();
}

void THeaderSection::Assign(TPersistent* Source) {
  if (auto* other = dynamic_cast<THeaderSection*>(Source)) {
    text_ = other->text_;
    minWidth_ = other->minWidth_;
    maxWidth_ = other->maxWidth_;
    width_ = other->width_;
    alignment_ = other->alignment_;
    allowClick_ = other->allowClick_;
    style_ = other->style_;
    Changed(true);
    return;
  }
  inherited::Assign(Source);
}

std::string THeaderSection::GetDisplayName() const {
  return text_.empty() ? inherited::GetDisplayName() : text_;
}

void THeaderSection::SetText(const std::string& Value) {
  if (text_ == Value) return;
  text_ = Value;
  Changed(false);
}

void THeaderSection::SetWidth(int Value) {
  Value = std::clamp(Value, minWidth_, std::max(minWidth_, maxWidth_));
  if (width_ == Value) return;
  width_ = Value;
  Changed(true);
}

void THeaderSection::SetMinWidth(int Value) {
  minWidth_ = std::max(0, Value);
  if (maxWidth_ < minWidth_) maxWidth_ = minWidth_;
  SetWidth(width_);
}

void THeaderSection::SetMaxWidth(int Value) {
  maxWidth_ = std::max(Value, minWidth_);
  SetWidth(width_);
}

void THeaderSection::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Changed(false);
}

int THeaderSection::Left() const {
  int left = 0;
  if (!Collection()) return 0;
  for (int i = 0; i < Index(); ++i) left += static_cast<THeaderSection*>(Collection()->Items(i))->Width();
  return left;
}

// --- THeaderSections / THeaderControl --------------------------------------------------------------

THeaderSections::THeaderSections(THeaderControl* HeaderControl)
    : TCollection(THeaderSection::StaticClass()), header_(HeaderControl) {}

TPersistent* THeaderSections::GetOwner() {
  return header_;
}

void THeaderSections::Update(TCollectionItem* Item) {
  (void)Item;
  if (header_) header_->UpdateSections();
}

THeaderControl::THeaderControl(TComponent* AOwner)
    : TWinControl(AOwner), sections_(std::make_unique<THeaderSections>(this)) {
  SetBounds(Left(), Top(), 170, 17);
  SetAlign(alTop);
  SetControlStyle(ControlStyle() + csCaptureMouse);
}

THeaderControl::~THeaderControl() = default;

void THeaderControl::DescribeClass(TClassBuilder<THeaderControl>& c) {
  PublishControl(
      c, {"Align", "Anchors", "Constraints", "Enabled", "Font", "ParentFont", "ParentShowHint", "PopupMenu",
          "ShowHint", "Visible", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize"});
  c.Property("Sections", &THeaderControl::Sections, &THeaderControl::SetSections);
  c.Property(
      "OnSectionClick",
      [](const THeaderControl& h) -> const TSectionNotifyEvent& { return h.OnSectionClick; },
      [](THeaderControl& h, const TSectionNotifyEvent& e) { h.OnSectionClick = e; });
  c.Property(
      "OnSectionResize",
      [](const THeaderControl& h) -> const TSectionNotifyEvent& { return h.OnSectionResize; },
      [](THeaderControl& h, const TSectionNotifyEvent& e) { h.OnSectionResize = e; });
}

void THeaderControl::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  CreateSubClass(Params, WC_HEADER);
}

void THeaderControl::CreateWnd() {
  inherited::CreateWnd();
  UpdateSections();
}

void THeaderControl::UpdateSections() {
  if (!HandleAllocated()) return;
  const HWND h = Handle();
  while (SendMessage(h, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessage(h, HDM_DELETEITEM, 0, 0);
  for (int i = 0; i < sections_->Count(); ++i) {
    THeaderSection* section = sections_->Items(i);
    std::string text = section->Text();
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = text.data();
    item.cxy = section->Width();
    item.fmt = HDF_STRING | (section->Alignment() == taCenter         ? HDF_CENTER
                             : section->Alignment() == taRightJustify ? HDF_RIGHT
                                                                      : HDF_LEFT);
    if (section->Style() == hsOwnerDraw) item.fmt |= HDF_OWNERDRAW;
    SendMessage(h, HDM_INSERTITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

int THeaderControl::SectionAt(int X) const {
  for (int i = 0; i < sections_->Count(); ++i) {
    const THeaderSection* s = sections_->Items(i);
    if (X >= s->Left() && X < s->Right()) return i;
  }
  return -1;
}

void THeaderControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  pressed_ = sizing_ = -1;
  for (int i = 0; i < sections_->Count(); ++i) {
    if (std::abs(X - sections_->Items(i)->Right()) <= kDividerSlop) {
      sizing_ = i;
      sizeOrigin_ = X;
      sizeStartWidth_ = sections_->Items(i)->Width();
      return;
    }
  }
  pressed_ = SectionAt(X);
}

void THeaderControl::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (sizing_ >= 0 && sizing_ < sections_->Count())
    sections_->Items(sizing_)->SetWidth(sizeStartWidth_ + X - sizeOrigin_);
}

void THeaderControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const int sizing = sizing_, pressed = pressed_;
  sizing_ = pressed_ = -1;
  if (Button == mbLeft && sizing >= 0 && sizing < sections_->Count()) {
    sections_->Items(sizing)->SetWidth(sizeStartWidth_ + X - sizeOrigin_);
    SectionResize(sections_->Items(sizing));
  } else if (Button == mbLeft && pressed >= 0 && pressed == SectionAt(X) && pressed < sections_->Count() &&
             sections_->Items(pressed)->AllowClick()) {
    SectionClick(sections_->Items(pressed));
  }
  inherited::MouseUp(Button, Shift, X, Y);
}

void THeaderControl::SectionClick(THeaderSection* Section) {
  OnSectionClick(this, Section);
}

void THeaderControl::SectionResize(THeaderSection* Section) {
  OnSectionResize(this, Section);
}
