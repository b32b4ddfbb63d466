// The search strip: building its box and buttons, their layout in either place, its painting,
// and the glue between the box, the buttons and the grid's search.
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"

#include <algorithm>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/dbgrid/DBGridEhToolResources.h"
#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TDBGridSearchPanelControlEh)

namespace dbgrid_search_strip_detail {

constexpr int kButtonCount = 4;
constexpr int kFilterButton = 0;
constexpr int kOptionsButton = 3;
// The buttons keep this distance from the strip's far edge, the box this much from the buttons.
constexpr int kButtonsInset = 3;
constexpr int kBoxToButtonsGap = 4;
// Above the grid the box stands this far below the top; the strip is the box's height plus
// this much.
constexpr int kBoxTopInset = 3;
constexpr int kStripExtraHeight = 7;
constexpr int kBoxWidthForPreferredWidth = 100;
constexpr COLORREF kFrameColor = RGB(226, 222, 197);

const char* const kButtonHints[kButtonCount] = {"Show records where the text is found", "Find next",
                                                "Find prev", "Show find options"};
const char* const kCancelFilterHint = "Cancel filter and clear the search text";

// The client rectangle in the coordinates of the window's own DC.
TRect ClientRectInWindow(HWND Wnd) {
  RECT window{};
  GetWindowRect(Wnd, &window);
  POINT origin{0, 0};
  ::ClientToScreen(Wnd, &origin);
  RECT client{};
  ::GetClientRect(Wnd, &client);
  OffsetRect(client, origin.X - window.Left, origin.Y - window.Top);
  return client;
}

// The focus is on the grid or on a window inside it (cell editor, filter-row editor, this box).
bool FocusInsideGrid(TCustomDBGridEh* Grid) {
  if (!Grid->HandleAllocated()) return false;
  HWND focus = ::GetFocus();
  return focus && (focus == Grid->Handle() || IsChild(Grid->Handle(), focus));
}

}  // namespace dbgrid_search_strip_detail

using namespace dbgrid_search_strip_detail;

// --- building ----------------------------------------------------------------------------------

TDBGridSearchPanelControlEh::TDBGridSearchPanelControlEh(TCustomDBGridEh* AGrid)
    : TCustomControl(AGrid), grid_(AGrid) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);

  findEdit_ = new TNavFindEditEh(this);
  findEdit_->SetFlat(true);
  findEdit_->SetBounds(0, 1, 100, buttonSize_.Y - 1);
  findEdit_->SetBevelEdges(TBevelEdges{beLeft, beTop, beRight, beBottom});
  findEdit_->SetBevelKind(bkFlat);
  findEdit_->SetBorderStyle(bsNone);
  findEdit_->SetCtl3D(true);
  findEdit_->SetTabStop(false);
  findEdit_->EmptyDataInfo()->SetText("Search...");
  findEdit_->SetParent(this);
  findEdit_->TextEmpty = true;
  findEdit_->Font()->SetColor(clGrayText);
  findEdit_->Grid = AGrid;
  findEdit_->OnChangeNotify = TNotifyEvent::Method(this, &TDBGridSearchPanelControlEh::UpdateFilterButton);
  if (findEdit_->EditButton()) findEdit_->EditButton()->SetVisible(false);

  for (int i = 0; i < kButtonCount; ++i) {
    auto* button = new TNavFindButtonEh(this);
    button->SetFlat(true);
    button->SetKind(static_cast<TNavigateBtnEh>(i));
    button->SetGlyphIndex(kToolGlyphCancelFilterEh + i);
    button->SetBounds(i * buttonSize_.X, 0, buttonSize_.X, buttonSize_.Y);
    button->SetParent(this);
    button->OnMouseDown = TMouseEvent::Method(this, &TDBGridSearchPanelControlEh::ButtonMouseDown);
    button->OnClick = [this, button](TObject*) { ButtonClick(static_cast<int>(button->Kind())); };
    button->SetHint(kButtonHints[i]);
    buttons_[i] = button;
  }
  UpdateButtonImages();
  // The filter button shows the state the box starts in.
  UpdateFilterButton(nullptr);
  SetCaption("");
}

TNavFindEditEh* TDBGridSearchPanelControlEh::FindEdit() const {
  return findEdit_;
}

TNavFindButtonEh* TDBGridSearchPanelControlEh::Button(int Index) const {
  return Index >= 0 && Index < kButtonCount ? buttons_[Index] : nullptr;
}

// The glyphs follow the theme; the lists belong to the shared resources module, if it is there.
void TDBGridSearchPanelControlEh::UpdateButtonImages() {
  TCustomImageList* enabled = nullptr;
  TCustomImageList* disabled = nullptr;
  if (TDBGridEhRes* res = DBGridEhRes()) {
    const bool themed = ThemesEnabled();
    enabled = themed ? res->IMList10 : res->IMList10Bmp;
    disabled = themed ? res->IMList10D : res->IMList10DBmp;
  }
  for (TNavFindButtonEh* button : buttons_) button->SetImages(enabled, disabled);
  if (ApplyButtonVisibility() && !realigning_) RealignControls(Width(), Height());
}

bool TDBGridSearchPanelControlEh::ApplyButtonVisibility() {
  bool changed = false;
  const auto show = [&changed](TNavFindButtonEh* Button, bool Visible) {
    if (Button->Visible() == Visible) return;
    Button->SetVisible(Visible);
    changed = true;
  };
  TDBGridSearchPanelEh* settings = grid_->SearchPanel();
  show(buttons_[kFilterButton], !settings || settings->FilterEnabled());
  show(buttons_[kOptionsButton], false);
  return changed;
}

// --- layout ------------------------------------------------------------------------------------

int TDBGridSearchPanelControlEh::RealignControls(int Width, int Height) {
  if (ComponentState().Contains(csLoading)) return 0;
  TValueRestorer<bool> inLayout(realigning_, true);
  UpdateButtonImages();
  const int side = std::max(0, Height - 1);
  buttonWidth_ = side;
  buttonSize_ = TPoint{side, side};
  const bool mirrored = UseRightToLeftAlignment();
  // Distance from the far edge (the right one, the left one when mirrored) covered so far.
  int covered = kButtonsInset;
  for (int i = kButtonCount - 1; i >= 0; --i) {
    TNavFindButtonEh* button = buttons_[i];
    if (!button->Visible()) {
      button->SetBoundsRect(TRect{0, 0, 0, 0});
      continue;
    }
    covered += side;
    button->SetBounds(mirrored ? covered - side : Width - covered, 0, side, side);
  }
  const int boxWidth = std::max(0, Width - covered - kBoxToButtonsGap);
  const int boxTop = inScrollBarPanel_ ? 0 : kBoxTopInset;
  const int boxHeight = inScrollBarPanel_ ? Height : std::max(0, Height - kStripExtraHeight);
  findEdit_->SetBounds(mirrored ? Width - boxWidth : 0, boxTop, boxWidth, boxHeight);
  return covered + boxWidth;
}

void TDBGridSearchPanelControlEh::SetInScrollBarPanel(bool v) {
  if (v == inScrollBarPanel_) return;
  inScrollBarPanel_ = v;
  findEdit_->Compact = v;
  RealignControls(Width(), Height());
}

int TDBGridSearchPanelControlEh::GetPreferredHeight() {
  const int boxHeight = GetFontTextHeight(findEdit_->Font()) + 3 + (findEdit_->Compact ? 0 : 2);
  return boxHeight + kStripExtraHeight;
}

int TDBGridSearchPanelControlEh::GetPreferredWidth(int ButtonSize) {
  return kBoxWidthForPreferredWidth + kButtonCount * ButtonSize;
}

void TDBGridSearchPanelControlEh::Resize() {
  inherited::Resize();
  RealignControls(Width(), Height());
}

void TDBGridSearchPanelControlEh::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (!findEdit_) return;
  // The box has a colour of its own (grey until first used), so it cannot take the parent font.
  const TColor color = findEdit_->Font()->Color();
  findEdit_->Font()->Assign(Font());
  findEdit_->Font()->SetColor(color);
}

// --- the buttons -------------------------------------------------------------------------------

void TDBGridSearchPanelControlEh::ButtonMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  if (grid_->CanFocus() && !FocusInsideGrid(grid_)) grid_->SetFocus();
  if (TabStop() && !Focused() && CanFocus()) SetFocus();
}

void TDBGridSearchPanelControlEh::ButtonClick(int Index) {
  TDataSource* source = grid_->DataSource();
  if (!source || source->State() == dsInactive) return;
  if (!grid_->SearchMode()) grid_->SetSearchMode(true);
  switch (Index) {
    case kFilterButton:
      if (findEdit_->TextApplied)
        ClearSearch();
      else
        ApplyFilter();
      break;
    case 1:
      FindNext();
      break;
    case 2:
      FindPrior();
      break;
    default:
      break;
  }
}

void TDBGridSearchPanelControlEh::UpdateFilterButton(TObject*) {
  TNavFindButtonEh* button = buttons_[kFilterButton];
  if (findEdit_->TextApplied) {
    button->SetGlyphIndex(kToolGlyphCancelFilterEh);
    button->SetHint(kCancelFilterHint);
    button->SetEnabled(grid_->SearchMode() || grid_->SearchFilterActive());
    findEdit_->SelectAll();
  } else {
    button->SetGlyphIndex(kToolGlyphFilterEh);
    button->SetHint(kButtonHints[kFilterButton]);
    button->SetEnabled(true);
  }
}

// --- search commands ---------------------------------------------------------------------------

void TDBGridSearchPanelControlEh::FindNext() {
  grid_->SearchPanel()->FindNext();
  findEdit_->SetModified(false);
  findEdit_->SelectAll();
}

void TDBGridSearchPanelControlEh::FindPrior() {
  grid_->SearchPanel()->FindPrior();
  findEdit_->SetModified(false);
  findEdit_->SelectAll();
}

void TDBGridSearchPanelControlEh::ClearSearch() {
  findEdit_->SetTextSilently("");
  grid_->SearchPanel()->SetSearchingText("");
  grid_->SetSearchMode(false);
  grid_->CancelSearchFilter();
  findEdit_->SetModified(false);
  findEdit_->TextApplied = true;
  findEdit_->OnChangeNotify(findEdit_);
}

// An empty text would keep only the records with an empty column text: it clears the search.
void TDBGridSearchPanelControlEh::ApplyFilter() {
  const std::string text = findEdit_->Text();
  if (text.empty()) {
    ClearSearch();
    return;
  }
  grid_->ApplySearchFilter(text);
  findEdit_->SetModified(false);
  findEdit_->TextApplied = true;
  findEdit_->OnChangeNotify(findEdit_);
  findEdit_->Items()->Add(text);
}

// --- painting ----------------------------------------------------------------------------------

void TDBGridSearchPanelControlEh::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  TColor from = grid_->Color();
  TColor to = grid_->FixedColor();
  if (findEdit_->Focused() && grid_->Style()) {
    // The strip lights up in the selection's hue while the user types in it.
    TDBGridEhStyle* style = grid_->Style();
    const auto nearest = [canvas](TColor Color) {
      return static_cast<TColor>(GetNearestColor(canvas->Handle(), ColorToRGB(Color)));
    };
    from = nearest(style->BlendColors(grid_->Color(), clHighlight, false));
    to = nearest(style->BlendColors(grid_->Color(), clHighlight, true));
  }
  if (ThemesEnabled()) {
    FillGradient(canvas, r, from, to);
  } else {
    canvas->Brush()->SetColor(to);
    canvas->FillRect(r);
  }
  if (inScrollBarPanel_ || r.Right <= r.Left || r.Bottom <= r.Top) return;
  canvas->Pen()->SetColor(grid_->GridLineColors()->GetBrightColor());
  canvas->MoveTo(r.Left, r.Bottom - 1);
  canvas->LineTo(r.Right - 1, r.Bottom - 1);
  canvas->LineTo(r.Right - 1, r.Top - 1);
}

void TDBGridSearchPanelControlEh::WMNCPaint(TMessage& M) {
  inherited::WMNCPaint(M);
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(kFrameColor);
  TScopeExit release([this, dc, brush] {
    DeleteObject(brush);
    ReleaseDC(Handle(), dc);
  });
  RECT window{};
  GetWindowRect(Handle(), &window);
  const TRect client = ClientRectInWindow(Handle());
  ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  RECT frame{0, 0, window.Right - window.Left, window.Bottom - window.Top};
  FillRect(dc, &frame, brush);
}
