// TControl: parent, geometry, alignment requests and anchors, look (colour, font, text,
// cursor, hints), right-to-left answers, scaling and streaming; size constraints; cursor
// identifiers and shift states.
#include <algorithm>
#include <cstring>

#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ControlInternal.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

RTL_IMPLEMENT_CLASS(TControl)
RTL_IMPLEMENT_CLASS(TSizeConstraints)

namespace {

TAnchors AnchorAlign(TAlign a) {
  switch (a) {
    case alTop:
      return {akLeft, akTop, akRight};
    case alBottom:
      return {akLeft, akRight, akBottom};
    case alLeft:
      return {akLeft, akTop, akBottom};
    case alRight:
      return {akRight, akTop, akBottom};
    case alClient:
      return {akLeft, akTop, akRight, akBottom};
    default:
      return {akLeft, akTop};
  }
}

}  // namespace

// --- cursors, shift states, hints ------------------------------------------------------------

const TIdentMap& CursorIdents() {
  static const TIdentMap map{"TCursor",
                             {{crDefault, "crDefault"},
                              {crNone, "crNone"},
                              {crArrow, "crArrow"},
                              {crCross, "crCross"},
                              {crIBeam, "crIBeam"},
                              {crSizeNESW, "crSizeNESW"},
                              {crSizeNS, "crSizeNS"},
                              {crSizeNWSE, "crSizeNWSE"},
                              {crSizeWE, "crSizeWE"},
                              {crUpArrow, "crUpArrow"},
                              {crHourGlass, "crHourGlass"},
                              {crDrag, "crDrag"},
                              {crNoDrop, "crNoDrop"},
                              {crHSplit, "crHSplit"},
                              {crVSplit, "crVSplit"},
                              {crMultiDrag, "crMultiDrag"},
                              {crSQLWait, "crSQLWait"},
                              {crNo, "crNo"},
                              {crAppStart, "crAppStart"},
                              {crHelp, "crHelp"},
                              {crHandPoint, "crHandPoint"},
                              {crSizeAll, "crSizeAll"},
                              {crSize, "crSize"}}};
  return map;
}

bool CursorToIdent(int Cursor, std::string& Ident) {
  return CursorIdents().ToIdent(Cursor, Ident);
}

bool IdentToCursor(const std::string& Ident, int& Cursor) {
  int64_t v = 0;
  if (!CursorIdents().ToInt(Ident, v)) return false;
  Cursor = static_cast<int>(v);
  return true;
}

std::string CursorToString(TCursor Cursor) {
  std::string s;
  if (CursorToIdent(Cursor, s)) return s;
  return IntToStr(Cursor);
}

TCursor StringToCursor(const std::string& S) {
  int c = 0;
  if (IdentToCursor(S, c)) return c;
  return StrToInt(S);
}

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s += ssShift;
  if (Keys & MK_CONTROL) s += ssCtrl;
  if (Keys & MK_LBUTTON) s += ssLeft;
  if (Keys & MK_RBUTTON) s += ssRight;
  if (Keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  constexpr LPARAM kAltMask = 0x20000000;
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (KeyData & kAltMask) s += ssAlt;
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s += ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
  return s;
}

// --- TSizeConstraints ------------------------------------------------------------------------

TSizeConstraints::TSizeConstraints(TControl* Control) : control_(Control) {}

void TSizeConstraints::DescribeClass(TClassBuilder<TSizeConstraints>& c) {
  c.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight);
  c.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth);
  c.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight);
  c.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth);
}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    minHeight_ = s->minHeight_;
    maxHeight_ = s->maxHeight_;
    minWidth_ = s->minWidth_;
    maxWidth_ = s->maxWidth_;
    Change();
    return;
  }
  inherited::Assign(Source);
}

// A maximum below the minimum raises the minimum with it, and the reverse.
void TSizeConstraints::SetMaxHeight(TConstraintSize Value) {
  if (Value < 0) Value = 0;
  if (Value == maxHeight_) return;
  maxHeight_ = Value;
  if (Value > 0 && Value < minHeight_) minHeight_ = Value;
  Change();
}

void TSizeConstraints::SetMaxWidth(TConstraintSize Value) {
  if (Value < 0) Value = 0;
  if (Value == maxWidth_) return;
  maxWidth_ = Value;
  if (Value > 0 && Value < minWidth_) minWidth_ = Value;
  Change();
}

void TSizeConstraints::SetMinHeight(TConstraintSize Value) {
  if (Value < 0) Value = 0;
  if (Value == minHeight_) return;
  minHeight_ = Value;
  if (maxHeight_ > 0 && Value > maxHeight_) maxHeight_ = Value;
  Change();
}

void TSizeConstraints::SetMinWidth(TConstraintSize Value) {
  if (Value < 0) Value = 0;
  if (Value == minWidth_) return;
  minWidth_ = Value;
  if (maxWidth_ > 0 && Value > maxWidth_) maxWidth_ = Value;
  Change();
}

void TSizeConstraints::Change() {
  OnChange(this);
}

// --- TControl: life ----------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  windowProc_ = TWndMethod::Method(this, &TControl::WndProc);
  font_ = std::make_unique<TFont>();
  fontHeight_ = font_->Height();
  font_->OnChange = TNotifyEvent::Method(this, &TControl::FontChanged);
  constraints_ = std::make_unique<TSizeConstraints>(this);
  constraints_->OnChange = TNotifyEvent::Method(this, &TControl::DoConstraintsChange);
}

TControl::~TControl() {
  vcl_internal::ForgetControl(this);
  if (Application) Application->ControlDestroyed(this);
  if (parent_) SetParent(nullptr);
  actionLink_.reset();
}

void TControl::DescribeClass(TClassBuilder<TControl>& c) {
  c.Property("Left", &TControl::Left, &TControl::SetLeft);
  c.Property("Top", &TControl::Top, &TControl::SetTop);
  c.Property("Width", &TControl::Width, &TControl::SetWidth);
  c.Property("Height", &TControl::Height, &TControl::SetHeight);
  c.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).WithIdents(CursorIdents());
  c.Property("Hint", &TControl::Hint, &TControl::SetHint);
  c.Property("HelpType", &TControl::HelpType, &TControl::SetHelpType).Default(htContext);
  c.Property("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword);
  c.Property("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext);
}

void TControl::SetName(const std::string& NewName) {
  bool changeText =
      controlStyle_.Contains(csSetCaption) && !ComponentState().Contains(csLoading) && Name() == GetText();
  if (changeText) {
    auto* ownerControl = dynamic_cast<TControl*>(Owner());
    if (ownerControl && ownerControl->ComponentState().Contains(csLoading)) changeText = false;
  }
  inherited::SetName(NewName);
  if (changeText) SetText(NewName);
}

// --- parent and geometry -------------------------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
  if (parent_ == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

void TControl::ClampBounds(int& ALeft, int& ATop, int& AWidth, int& AHeight) {
  ALeft = ClampControlCoord(ALeft);
  ATop = ClampControlCoord(ATop);
  AWidth = ClampControlSize(AWidth);
  AHeight = ClampControlSize(AHeight);
}

void TControl::SetBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) {
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  ClampBounds(ALeft, ATop, AWidth, AHeight);
  if (!CheckNewSize(AWidth, AHeight)) return;
  ClampBounds(ALeft, ATop, AWidth, AHeight);  // an OnCanResize answer too
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  InvalidateControl(Visible(), false);
  SetBoundsFields(ALeft, ATop, AWidth, AHeight);
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool resize = true;
  OnCanResize(this, NewWidth, NewHeight, resize);
  return resize;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
  OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
  int w = NewWidth, h = NewHeight;
  if (!CanResize(w, h)) return false;
  int minW = constraints_->MinWidth(), minH = constraints_->MinHeight();
  int maxW = constraints_->MaxWidth(), maxH = constraints_->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && w > maxW)
    w = maxW;
  else if (minW > 0 && w < minW)
    w = minW;
  if (maxH > 0 && h > maxH)
    h = maxH;
  else if (minH > 0 && h < minH)
    h = minH;
  NewWidth = w;
  NewHeight = h;
  return true;
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(left_, top_, width_, height_);
}

void TControl::DoConstraintsChange(TObject*) {
  AdjustSize();
}

void TControl::Resize() {
  OnResize(this);
}

TRect TControl::GetClientRect() {
  return Rect(0, 0, width_, height_);
}

void TControl::SetClientSize(TPoint Value) {
  TRect client = GetClientRect();
  SetBounds(left_, top_, width_ - client.Width() + Value.X, height_ - client.Height() + Value.Y);
}

void TControl::SetClientWidth(int Value) {
  SetClientSize({Value, ClientHeight()});
}
void TControl::SetClientHeight(int Value) {
  SetClientSize({ClientWidth(), Value});
}

TPoint TControl::GetClientOrigin() {
  if (!parent_) throw EInvalidOperation(Fmt("Control '%s' has no parent window", Name()));
  TPoint p = parent_->GetClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(const TPoint& Point) {
  TPoint o = GetClientOrigin();
  return {Point.X + o.X, Point.Y + o.Y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
  TPoint o = GetClientOrigin();
  return {Point.X - o.X, Point.Y - o.Y};
}

TPoint TControl::ClientToParent(const TPoint& Point, TWinControl* AParent) {
  if (!AParent) AParent = parent_;
  TPoint r = Point;
  for (TControl* c = this; c != AParent; c = c->parent_) {
    if (!c->parent_)
      throw EInvalidOperation(
          Fmt("'%s' is not a parent of '%s'", AParent ? AParent->Name() : std::string(), Name()));
    r.X += c->left_;
    r.Y += c->top_;
  }
  return r;
}

TPoint TControl::ParentToClient(const TPoint& Point, TWinControl* AParent) {
  TPoint o = ClientToParent({0, 0}, AParent);
  return {Point.X - o.X, Point.Y - o.Y};
}

// --- alignment and anchors ---------------------------------------------------------------------

void TControl::SetAlign(TAlign Value) {
  if (align_ == Value) return;
  TAlign old = align_;
  align_ = Value;
  anchors_ = AnchorAlign(Value);
  CountPlacement();
  if (!ComponentState().Contains(csLoading) && parent_) {
    bool oldVertical = old == alTop || old == alBottom;
    bool newHorizontal = Value == alLeft || Value == alRight;
    // Turning a top bar into a side bar keeps its thickness: swap width and height.
    if (oldVertical == newHorizontal && old != alNone && old != alClient && old != alCustom &&
        Value != alNone && Value != alClient && Value != alCustom)
      SetBounds(left_, top_, height_, width_);
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (anchors_ == Value) return;
  anchors_ = Value;
  CountPlacement();
  if (!ComponentState().Contains(csLoading)) UpdateAnchorRules();
}

void TControl::CountPlacement() {
  const bool placed = parent_ && (align_ != alNone || anchors_ != TAnchors{akLeft, akTop});
  if (placed == countedAsPlaced_) return;
  if (parent_) parent_->placedChildren_ += placed ? 1 : -1;
  countedAsPlaced_ = placed;
}

void TControl::RequestAlign() {
  if (parent_) parent_->AlignControl(this);
}

void TControl::UpdateAnchorRules() {
  if (anchorMove_ || ComponentState().Contains(csLoading)) return;
  if (anchors_ == TAnchors{akLeft, akTop}) {
    originalParentSize_ = {0, 0};
    return;
  }
  if (anchors_.Contains(akRight))
    anchorRules_.X = anchors_.Contains(akLeft) ? width_ : left_;
  else
    anchorRules_.X = left_ + width_ / 2;
  if (anchors_.Contains(akBottom))
    anchorRules_.Y = anchors_.Contains(akTop) ? height_ : top_;
  else
    anchorRules_.Y = top_ + height_ / 2;
  if (parent_) {
    TRect r = parent_->GetClientRect();
    originalParentSize_ = {r.Width(), r.Height()};
  }
}

// --- visibility and state ------------------------------------------------------------------------

void TControl::SetVisible(bool Value) {
  if (visible_ == Value) return;
  VisibleChanging();
  visible_ = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (parent_) parent_->ShowControl(this);
  if (!visible_) SetVisible(true);
}

void TControl::Hide() {
  SetVisible(false);
}

bool TControl::Showing() const {
  return visible_ && parent_ && parent_->Showing();
}

void TControl::SetEnabled(bool Value) {
  if (enabled_ == Value) return;
  enabled_ = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

// --- look --------------------------------------------------------------------------------------------

void TControl::SetColor(TColor Value) {
  if (color_ == Value) return;
  color_ = Value;
  parentColor_ = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (parentColor_ == Value) return;
  parentColor_ = Value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetFont(TFont* Value) {
  font_->Assign(Value);
}

void TControl::FontChanged(TObject*) {
  parentFont_ = false;
  if (font_->Height() != fontHeight_) {
    scalingFlags_ += sfFont;
    fontHeight_ = font_->Height();
  }
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (parentFont_ == Value) return;
  parentFont_ = Value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

int TControl::GetTextLen() {
  return static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0));
}

std::string TControl::GetText() {
  int len = GetTextLen();
  if (len < 1) return {};
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = Perform(WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
  return buf;
}

void TControl::SetText(const std::string& Value) {
  if (GetText() == Value) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (cursor_ == Value) return;
  cursor_ = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (popupMenu_ == Value) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::SetShowHint(bool Value) {
  if (showHint_ == Value) return;
  showHint_ = Value;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (parentShowHint_ == Value) return;
  parentShowHint_ = Value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

// --- right to left -------------------------------------------------------------------------------

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (biDiMode_ == Value) return;
  biDiMode_ = Value;
  parentBiDiMode_ = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (parentBiDiMode_ == Value) return;
  parentBiDiMode_ = Value;
  if (parent_ && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

bool TControl::UseRightToLeftAlignment() const {
  return SysLocale().MiddleEast && biDiMode_ == bdRightToLeft;
}

bool TControl::UseRightToLeftReading() const {
  return SysLocale().MiddleEast && biDiMode_ != bdLeftToRight;
}

bool TControl::UseRightToLeftScrollBar() const {
  return SysLocale().MiddleEast && biDiMode_ != bdLeftToRight && biDiMode_ != bdRightToLeftNoAlign;
}

bool TControl::IsRightToLeft() const {
  return UseRightToLeftAlignment() || UseRightToLeftReading() || UseRightToLeftScrollBar();
}

// --- scaling -----------------------------------------------------------------------------------------

void TControl::ChangeScale(int M, int D) {
  if (M != D && D != 0) {
    // While loading only what the description set scales; afterwards everything does.
    TScalingFlags flags = ComponentState().Contains(csLoading)
                              ? scalingFlags_
                              : TScalingFlags{sfLeft, sfTop, sfWidth, sfHeight, sfFont};
    int x = flags.Contains(sfLeft) ? MulDiv(left_, M, D) : left_;
    int y = flags.Contains(sfTop) ? MulDiv(top_, M, D) : top_;
    int w = width_, h = height_;
    if (flags.Contains(sfWidth) && !controlStyle_.Contains(csFixedWidth))
      w = flags.Contains(sfLeft) ? MulDiv(left_ + width_, M, D) - x : MulDiv(width_, M, D);
    if (flags.Contains(sfHeight) && !controlStyle_.Contains(csFixedHeight))
      h = flags.Contains(sfTop) ? MulDiv(top_ + height_, M, D) - y : MulDiv(height_, M, D);
    SetBounds(x, y, w, h);
    if (!parentFont_ && flags.Contains(sfFont)) font_->SetSize(MulDiv(font_->Size(), M, D));
  }
  scalingFlags_ = TScalingFlags{};
}

// --- actions -----------------------------------------------------------------------------------------

TBasicAction* TControl::Action() const {
  return actionLink_ ? actionLink_->Action() : nullptr;
}

TClass TControl::GetActionLinkClass() const {
  return TControlActionLink::StaticClass();
}

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    actionLink_.reset();
    controlStyle_ -= csActionClient;
    return;
  }
  controlStyle_ += csActionClient;
  if (!actionLink_) {
    TClass cls = GetActionLinkClass();
    TObject* made = cls && cls->Create ? cls->Create(this) : nullptr;
    auto* link = dynamic_cast<TControlActionLink*>(made);
    if (!link) {
      delete made;
      link = new TControlActionLink(this);
    }
    actionLink_.reset(link);
  }
  actionLink_->SetAction(Value);
  actionLink_->OnChange = TNotifyEvent::Method(this, &TControl::DoActionChange);
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* Sender) {
  if (Sender == Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || GetText().empty() || GetText() == Name()) SetCaption(a->Caption());
  if (!CheckDefaults || enabled_) SetEnabled(a->Enabled());
  if (!CheckDefaults || hint_.empty()) SetHint(a->Hint());
  if (!CheckDefaults || visible_) SetVisible(a->Visible());
  if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
  if (!CheckDefaults || helpContext_ == 0) SetHelpContext(a->HelpContext());
}

void TControl::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

// --- streaming -----------------------------------------------------------------------------------------

TComponent* TControl::GetParentComponent() const {
  return parent_;
}

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* p = dynamic_cast<TWinControl*>(Value)) SetParent(p);
}

void TControl::ReadState(TReader& Reader) {
  controlState_ += csReadingState;
  if (auto* p = dynamic_cast<TWinControl*>(Reader.Parent())) SetParent(p);
  {
    TScopeExit readDone([this] { controlState_ -= csReadingState; });
    inherited::ReadState(Reader);
  }
  if (parent_) {
    Perform(CM_PARENTCOLORCHANGED, 0, 0);
    Perform(CM_PARENTFONTCHANGED, 0, 0);
    Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  }
}

void TControl::Loaded() {
  inherited::Loaded();
  if (TBasicAction* a = Action()) ActionChange(a, true);
  UpdateAnchorRules();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == popupMenu_) popupMenu_ = nullptr;
  if (actionLink_ && AComponent == actionLink_->Action()) SetAction(nullptr);
}
