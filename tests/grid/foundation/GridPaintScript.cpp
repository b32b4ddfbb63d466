#include "tests/grid/foundation/GridPaintScript.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

namespace grid_paint_script {
namespace {

constexpr int kColCount = 14;
constexpr int kRowCount = 60;

// The window's size and the cells' widths; the compact one keeps every band in view.
struct TGeometry {
  int FormWidth, FormHeight;
  int RowNumberWidth, FrozenWidth, ContraWidth;
  int ColWidthBase, ColWidthSpread;  // a scrolling column: base + (col * 29) % spread
  int ResizeWidth, ResizeWidthStep, ResizeHeight, ResizeHeightStep;
};
constexpr TGeometry kFullGeometry{470, 340, 30, 76, 70, 38, 71, 180, 30, 140, 22};
constexpr TGeometry kCompactGeometry{230, 170, 20, 34, 30, 22, 31, 110, 12, 90, 8};

const TGeometry& GeometryOf(const TSetup& Setup) {
  return Setup.Compact ? kCompactGeometry : kFullGeometry;
}

// A grid whose every cell says which cell it is.
class TOracleGridEh : public TCustomGridEh {
 public:
  TOracleGridEh(TComponent* AOwner, const TSetup& Setup) : TCustomGridEh(AOwner), setup_(Setup) {}

  bool IsSmoothHorzScroll() override { return setup_.SmoothHorz; }
  bool IsSmoothVertScroll() override { return setup_.SmoothVert; }
  std::string GetEditText(int ACol, int ARow) override { return CellText(ACol, ARow); }
  void SetEditText(int ACol, int ARow, const std::string& Value) override {
    if (Value == CellText(ACol, ARow)) return;
    edited_[{ACol, ARow}] = Value;
    InvalidateCell(ACol, ARow);
  }

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    TCanvas* c = Canvas();
    const bool fixed = AState.Contains(gdFixed);
    const bool selected = !fixed && AState.Contains(gdSelected);
    c->Brush()->SetColor(fixed ? FixedColor() : selected ? clHighlight : Color());
    c->FillRect(ARect);
    // The test font draws boxes: the text's colour and length tell the cells apart.
    c->Font()->SetColor(static_cast<TColor>(((ACol * 53) % 200) | (((ARow * 29) % 200) << 8) | 0x300000));
    c->Brush()->SetStyle(bsClear);
    const std::string text = CellText(ACol, ARow);
    c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, text);
    // Right-aligned as amounts are: a cell cut or shifted at either side shows it.
    c->TextRect(ARect, ARect.Right - 2 - c->TextWidth(text), ARect.Bottom - 14, text);
    c->Brush()->SetStyle(bsSolid);
  }

 private:
  std::string CellText(int ACol, int ARow) const {
    if (auto it = edited_.find({ACol, ARow}); it != edited_.end()) return it->second;
    const std::string col = std::to_string(ACol), row = std::to_string(ARow);
    if (ARow >= RowCount()) return "T" + col;  // the totals row
    if (ACol >= ColCount()) return ARow == 0 ? "Bal" : "B" + row;
    if (ARow < FixedRows()) return "C" + col;
    if (ACol == 0) return row;
    return col + ":" + row;
  }

  TSetup setup_;
  std::map<std::pair<int, int>, std::string> edited_;
};

struct TKey {
  const char* Name;
  int Vk;
  bool Ctrl;
  bool Shift;
};
constexpr TKey kKeys[] = {
    {"Down", VK_DOWN, false, false},         {"Up", VK_UP, false, false},
    {"Right", VK_RIGHT, false, false},       {"Left", VK_LEFT, false, false},
    {"PageDown", VK_NEXT, false, false},     {"PageUp", VK_PRIOR, false, false},
    {"Home", VK_HOME, false, false},         {"End", VK_END, false, false},
    {"Ctrl+Home", VK_HOME, true, false},     {"Ctrl+End", VK_END, true, false},
    {"Tab", VK_TAB, false, false},           {"Shift+Tab", VK_TAB, false, true},
    {"Shift+Down", VK_DOWN, false, true},    {"Shift+Right", VK_RIGHT, false, true},
    {"Ctrl+PageDown", VK_NEXT, true, false}, {"Ctrl+PageUp", VK_PRIOR, true, false},
    {"Ctrl+Left", VK_LEFT, true, false},     {"Ctrl+Right", VK_RIGHT, true, false},
};

const char* const kKindNames[] = {"key",          "wheel",      "bar click",  "thumb drag", "scroll message",
                                  "col sizing",   "row sizing", "cell click", "editor",     "resize",
                                  "mouse select", "focus away"};
static_assert(std::size(kKindNames) == kStepKinds);

std::string PointText(POINT P) {
  return "(" + std::to_string(P.X) + "," + std::to_string(P.Y) + ")";
}

}  // namespace

TSetup TSetup::FromBytes(uint8_t A, uint8_t B) {
  TSetup s;
  s.SmoothHorz = (A & 0x01) != 0;
  s.SmoothVert = (A & 0x02) != 0;
  s.ContraCols = (A & 0x04) ? 0 : 1;
  s.ContraRows = (A & 0x08) ? 0 : 1;
  s.FrozenCols = (A & 0x10) ? 0 : 1;
  s.Strips = (A & 0x20) != 0;
  s.RowSelect = (A & 0x40) != 0;
  s.LineWidth = (A & 0x80) ? 2 : 1;
  s.RightToLeft = (B & 0x01) != 0;
  s.ExtendedLines = (B & 0x02) != 0;
  return s;
}

std::string TSetup::Describe() const {
  std::string d = "setup:";
  d += SmoothHorz ? " smooth-horz" : "";
  d += SmoothVert ? " smooth-vert" : "";
  d += " contra-cols=" + std::to_string(ContraCols) + " contra-rows=" + std::to_string(ContraRows) +
       " frozen=" + std::to_string(FrozenCols) + " line=" + std::to_string(LineWidth);
  d += Strips ? " strips" : "";
  d += RowSelect ? " row-select" : "";
  d += RightToLeft ? " right-to-left" : "";
  d += ExtendedLines ? " extended-lines" : "";
  d += Compact ? " compact" : "";
  return d;
}

TScript::TScript(const TSetup& Setup, const std::string& Name) : setup_(Setup) {
  oldMiddleEast_ = SysLocale().MiddleEast;
  if (setup_.RightToLeft) SysLocale().MiddleEast = true;
  form_ = new TForm(Application, 0);
  form_->AfterConstruction();
  const TGeometry& geometry = GeometryOf(setup_);
  form_->SetBounds(20, 20, geometry.FormWidth, geometry.FormHeight);
  auto* button = new TButton(form_);
  button->SetParent(form_);
  button->SetAlign(alBottom);
  button->SetCaption("OK");
  button_ = button;
  auto* grid = new TOracleGridEh(form_, setup_);
  grid_ = grid;
  grid->SetParent(form_);
  grid->SetAlign(alClient);
  if (setup_.RightToLeft) grid->SetBiDiMode(bdRightToLeft);
  grid->SetColCount(kColCount);
  grid->SetRowCount(kRowCount);
  grid->SetFixedCols(2);
  grid->SetFixedRows(1);
  grid->SetFrozenCols(setup_.FrozenCols);
  grid->SetContraColCount(setup_.ContraCols);
  grid->SetContraRowCount(setup_.ContraRows);
  grid->SetGridLineWidth(setup_.LineWidth);
  grid->SetColWidths(0, geometry.RowNumberWidth);
  grid->SetColWidths(1, geometry.FrozenWidth);
  // Widths and heights vary so that the last cells seldom fill the view exactly.
  for (int c = 2; c < kColCount; ++c)
    grid->SetColWidths(c, geometry.ColWidthBase + (c * 29) % geometry.ColWidthSpread);
  if (setup_.ContraCols > 0) grid->SetColWidths(kColCount, geometry.ContraWidth);
  for (int r = 1; r < kRowCount; ++r) grid->SetRowHeights(r, r % 7 == 0 ? 37 : r % 5 == 0 ? 17 : 22);
  if (setup_.Strips) {
    TGridOutBoundaryDataEh* strips = grid->OutBoundaryData();
    strips->SetLeftIndent(6);
    strips->SetTopIndent(5);
    strips->SetRightIndent(7);
    strips->SetBottomIndent(4);
  }
  TGridOptionsEh options = grid->Options() + goColSizingEh + goRowSizingEh + goEditingEh + goTabsEh +
                           goThumbTrackingEh + goRangeSelectEh;
  if (setup_.RowSelect) options.Include(goRowSelectEh);
  if (setup_.ExtendedLines) options.Include(goExtendedVertLinesEh);
  grid->SetOptions(options);
  form_->Show();
  grid->SetFocus();
  Pump();
  oracle_ = std::make_unique<test_support::TPaintOracle>(grid_->Handle(), Name);
  history_.push_back(setup_.Describe());
  CheckNow("shown");
}

TScript::~TScript() {
  SysLocale().MiddleEast = oldMiddleEast_;
}

std::string TScript::History() const {
  std::string out;
  for (const std::string& line : history_) out += "  " + line + "\n";
  return out;
}

POINT TScript::GridScreen(int X, int Y) const {
  const TPoint p = grid_->ClientToScreen(TPoint{X, Y});
  return POINT{p.X, p.Y};
}

void TScript::Pump() {
  Application->ProcessMessages();
  // A gesture whose loop ended early leaves its scheduled input behind: feed it now.
  for (int i = 0; i < 16 && WinTesting::ScheduledSteps() > 0; ++i) {
    WaitMessage();
    Application->ProcessMessages();
  }
}

void TScript::CheckNow(const std::string& When) {
  const std::string report = oracle_->Check();
  if (!report.empty()) failures_ += When + ": " + report + "\n";
}

std::string TScript::Step(uint8_t Kind, uint8_t Arg) {
  failures_.clear();
  const int kind = Kind % kStepKinds;
  std::string what;
  switch (kind) {
    case skKey:
      what = Key(Arg);
      break;
    case skWheel:
      what = Wheel(Arg);
      break;
    case skScrollBarClick:
      what = ScrollBarClick(Arg);
      break;
    case skThumbDrag:
      what = ThumbDrag(Arg);
      break;
    case skScrollMessage:
      what = ScrollMessage(Arg);
      break;
    case skColSizing:
      what = Sizing(Arg, true);
      break;
    case skRowSizing:
      what = Sizing(Arg, false);
      break;
    case skCellClick:
      what = CellClick(Arg, false);
      break;
    case skEditor:
      what = Editor(Arg);
      break;
    case skResize:
      what = Resize(Arg);
      break;
    case skMouseSelect:
      what = CellClick(Arg, true);
      break;
    default:
      what = FocusAway();
      break;
  }
  history_.push_back(std::to_string(history_.size()) + ". [" + std::to_string(Kind) + " " +
                     std::to_string(Arg) + "] " + kKindNames[kind] + ": " + what);
  Pump();
  CheckNow("after step " + std::to_string(history_.size() - 1));
  return failures_;
}

std::string TScript::Key(uint8_t Arg) {
  const TKey& k = kKeys[Arg % std::size(kKeys)];
  if (k.Ctrl) Input::KeyDown(VK_CONTROL);
  if (k.Shift) Input::KeyDown(VK_SHIFT);
  WinTesting::KeyPress(k.Vk);
  if (k.Shift) Input::KeyUp(VK_SHIFT);
  if (k.Ctrl) Input::KeyUp(VK_CONTROL);
  return k.Name;
}

std::string TScript::Wheel(uint8_t Arg) {
  const int delta = ((Arg & 1) ? WHEEL_DELTA : -WHEEL_DELTA) * (1 + (Arg >> 1) % 3);
  const POINT p = GridScreen(grid_->ClientWidth() / 2, grid_->ClientHeight() / 2);
  Input::MouseMove(p);
  Input::MouseWheel(delta, p);
  return std::to_string(delta);
}

std::string TScript::ScrollBarClick(uint8_t Arg) {
  const bool vert = (Arg & 1) == 0;
  const int part = (Arg >> 1) % 4;
  static const char* const kParts[] = {"line up", "page up", "page down", "line down"};
  std::string what = std::string(vert ? "vertical " : "horizontal ") + kParts[part];
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (!GetScrollBarInfo(grid_->Handle(), vert ? OBJID_VSCROLL : OBJID_HSCROLL, &info) ||
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)))
    return what + " (no bar)";
  const RECT& r = info.rcScrollBar;
  const int length = vert ? r.Height() : r.Width();
  const int arrow = info.dxyLineButton;
  int at = 0;
  switch (part) {
    case 0:
      at = arrow / 2;
      break;
    case 1:
      if (info.xyThumbTop <= arrow + 1) return what + " (no room)";
      at = (arrow + info.xyThumbTop) / 2;
      break;
    case 2:
      if (info.xyThumbBottom >= length - arrow - 1) return what + " (no room)";
      at = (info.xyThumbBottom + length - arrow) / 2;
      break;
    default:
      at = length - 1 - arrow / 2;
      break;
  }
  const POINT p =
      vert ? POINT{r.Left + r.Width() / 2, r.Top + at} : POINT{r.Left + at, r.Top + r.Height() / 2};
  Input::MouseMove(p);
  Input::MouseDown(VK_LBUTTON, p);
  // Released before the bar repeats.
  WinTesting::Schedule([p] { Input::MouseUp(VK_LBUTTON, p); });
  return what + " at " + PointText(p);
}

std::string TScript::ThumbDrag(uint8_t Arg) {
  const bool vert = (Arg & 1) == 0;
  std::string what = vert ? "vertical" : "horizontal";
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (!GetScrollBarInfo(grid_->Handle(), vert ? OBJID_VSCROLL : OBJID_HSCROLL, &info) ||
      (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) ||
      info.xyThumbBottom <= info.xyThumbTop)
    return what + " (no thumb)";
  const RECT& r = info.rcScrollBar;
  const int length = vert ? r.Height() : r.Width();
  const int arrow = info.dxyLineButton;
  const int grab = (info.xyThumbTop + info.xyThumbBottom) / 2;
  const int target = arrow + (Arg >> 1) * std::max(0, length - 2 * arrow) / 127;
  auto at = [&](int Along) {
    return vert ? POINT{r.Left + r.Width() / 2, r.Top + Along}
                : POINT{r.Left + Along, r.Top + r.Height() / 2};
  };
  const POINT from = at(grab), middle = at((grab + target) / 2), to = at(target);
  Input::MouseMove(from);
  Input::MouseDown(VK_LBUTTON, from);
  // The loop runs each step when it would wait, so every check sees the drag's picture.
  WinTesting::Schedule([middle] { Input::MouseMove(middle); });
  WinTesting::Schedule([this] { CheckNow("thumb halfway"); });
  WinTesting::Schedule([to] { Input::MouseMove(to); });
  WinTesting::Schedule([this] { CheckNow("thumb at the target"); });
  WinTesting::Schedule([to] { Input::MouseUp(VK_LBUTTON, to); });
  return what + " " + PointText(from) + " to " + PointText(to);
}

std::string TScript::ScrollMessage(uint8_t Arg) {
  const bool vert = (Arg & 1) == 0;
  const int code = (Arg & 2) ? SB_THUMBPOSITION : SB_THUMBTRACK;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(grid_->Handle(), vert ? SB_VERT : SB_HORZ, &si)) si = SCROLLINFO{};
  const int span = std::max(0, si.nMax - si.nMin);
  const int pos = si.nMin + (Arg >> 2) * span / 63;
  SendMessage(grid_->Handle(), vert ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), 0);
  return std::string(vert ? "WM_VSCROLL " : "WM_HSCROLL ") +
         (code == SB_THUMBTRACK ? "SB_THUMBTRACK " : "SB_THUMBPOSITION ") + std::to_string(pos);
}

std::string TScript::Sizing(uint8_t Arg, bool Columns) {
  // The lines that can be grabbed: right of each shown column in the title row, below each
  // shown row in the row-number column.
  std::vector<POINT> lines;
  const int count = Columns ? grid_->GetFullColCount() : grid_->GetFullRowCount();
  for (int i = 0; i < count; ++i) {
    const TRect title = Columns ? grid_->CellRect(i, 0) : grid_->CellRect(0, i);
    if (IsRectEmpty(title)) continue;
    const POINT line =
        Columns ? POINT{setup_.RightToLeft ? title.Left - 1 : title.Right, (title.Top + title.Bottom) / 2}
                : POINT{(title.Left + title.Right) / 2, title.Bottom};
    // A line at the client's edge lies under the scroll bar or the frame.
    if (line.X >= 0 && line.Y >= 0 && line.X < grid_->ClientWidth() && line.Y < grid_->ClientHeight())
      lines.push_back(line);
  }
  if (lines.empty()) return "no line";
  const POINT start = lines[(Arg & 15) % lines.size()];
  const int delta = static_cast<int>(Arg >> 4) * 7 - 45;  // -45 .. 60
  const POINT end = Columns ? POINT{start.X + (setup_.RightToLeft ? -delta : delta), start.Y}
                            : POINT{start.X, start.Y + delta};
  const POINT half{(start.X + end.X) / 2, (start.Y + end.Y) / 2};
  Input::MouseMove(GridScreen(start.X, start.Y));
  Input::MouseDown(VK_LBUTTON, GridScreen(start.X, start.Y));
  Application->ProcessMessages();
  Input::MouseMove(GridScreen(half.X, half.Y));
  Application->ProcessMessages();
  Input::MouseMove(GridScreen(end.X, end.Y));
  Application->ProcessMessages();
  Input::MouseUp(VK_LBUTTON, GridScreen(end.X, end.Y));
  return "from " + PointText(start) + " by " + std::to_string(delta);
}

std::string TScript::CellClick(uint8_t Arg, bool Extend) {
  const int w = std::max(1, grid_->ClientWidth()), h = std::max(1, grid_->ClientHeight());
  auto spot = [&](int Cell, int Columns) {
    return POINT{(Cell % Columns) * w / Columns + w / (2 * Columns),
                 (Cell / Columns) * h / Columns + h / (2 * Columns)};
  };
  if (!Extend) {
    const POINT p = spot(Arg, 16);
    WinTesting::Click(GridScreen(p.X, p.Y));
    return "at " + PointText(p);
  }
  // A press, a drag to another cell and a release, all inside the cells.
  const POINT from = spot(Arg & 15, 4), to = spot(Arg >> 4, 4);
  Input::MouseMove(GridScreen(from.X, from.Y));
  Input::MouseDown(VK_LBUTTON, GridScreen(from.X, from.Y));
  Application->ProcessMessages();
  Input::MouseMove(GridScreen(to.X, to.Y));
  Application->ProcessMessages();
  Input::MouseUp(VK_LBUTTON, GridScreen(to.X, to.Y));
  return PointText(from) + " to " + PointText(to);
}

std::string TScript::Editor(uint8_t Arg) {
  switch (Arg % 5) {
    case 0:
      WinTesting::KeyPress(VK_F2);
      return "F2";
    case 1:
      WinTesting::KeyPress(VK_ESCAPE);
      return "Escape";
    case 2:
      WinTesting::Type("x7");
      return "type x7";
    case 3:
      WinTesting::KeyPress(VK_RETURN);
      return "Enter";
    default:
      WinTesting::Type("abc");
      Application->ProcessMessages();
      WinTesting::KeyPress(VK_DOWN);
      return "type abc, Down";
  }
}

std::string TScript::FocusAway() {
  const TPoint p = button_->ClientToScreen(TPoint{button_->Width() / 2, button_->Height() / 2});
  WinTesting::Click(POINT{p.X, p.Y});
  return "click the button";
}

std::string TScript::Resize(uint8_t Arg) {
  const TGeometry& geometry = GeometryOf(setup_);
  const int w = geometry.ResizeWidth + (Arg & 15) * geometry.ResizeWidthStep;
  const int h = geometry.ResizeHeight + (Arg >> 4) * geometry.ResizeHeightStep;
  // As the display host does when the window manager resizes the window.
  SetWindowPos(form_->Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return std::to_string(w) + "x" + std::to_string(h);
}

}  // namespace grid_paint_script
