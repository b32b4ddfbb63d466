// Settings of the data grid's panels: the row panel, the row detail panel,
// the filter row and the scroll bars with the scroll-bar strip: creation, streaming,
// assignment and the plain properties.
#include <set>
#include <type_traits>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Messages.h"

RTL_IMPLEMENT_CLASS(TGridRowPanelEh)
RTL_IMPLEMENT_CLASS(TRowDetailPanelEh)
RTL_IMPLEMENT_CLASS(TSTDBGridEhFilter)
RTL_IMPLEMENT_CLASS(TDBGridEhScrollBar)
RTL_IMPLEMENT_CLASS(TDBGridEhScrollBarPanel)
RTL_IMPLEMENT_CLASS(THorzDBGridEhScrollBar)
RTL_IMPLEMENT_CLASS(TVertDBGridEhScrollBar)

namespace dbgrid_panels_detail {

// The published getters are not const; the class description reads through a const object.
template <auto Getter>
constexpr auto Get = [](const auto& o) {
  using C = std::remove_cvref_t<decltype(o)>;
  return (const_cast<C&>(o).*Getter)();
};

bool GridLoading(TCustomDBGridEh* Grid) {
  return Grid->ComponentState().Contains(csLoading);
}

bool GridDestroying(TCustomDBGridEh* Grid) {
  return Grid->ComponentState().Contains(csDestroying);
}

// The filter row's font while it follows the grid: the grid's font in blue.
void CopyFilterFont(TCustomDBGridEh* Grid, TFont* Font, bool& Refreshing) {
  TValueRestorer<bool> keep(Refreshing, true);
  Font->Assign(Grid->Font());
  Font->SetColor(clBlue);
}

// A scroll bar answers its own default procedure until someone hooks it.
bool HasOwnWindowProc(TScrollBar* Bar) {
  return Bar->WindowProc() == TWndMethod::Method(static_cast<TControl*>(Bar), &TControl::WndProc);
}

}  // namespace dbgrid_panels_detail

using namespace dbgrid_panels_detail;

// ================================================================================================
// TGridRowPanelEh
// ================================================================================================

TGridRowPanelEh::TGridRowPanelEh(TCustomDBGridEh* AGrid) : grid_(AGrid) {}

void TGridRowPanelEh::DescribeClass(TClassBuilder<TGridRowPanelEh>& c) {
  using T = TGridRowPanelEh;
  c.Property("Active", Get<&T::Active>, &T::SetActive).Default(0);
  c.Property("NavKeysNavigationType", Get<&T::NavKeysNavigationType>, &T::SetNavKeysNavigationType)
      .Default(static_cast<int64_t>(rpntRowToRowEh));
  c.Property("TabNavigationType", Get<&T::TabNavigationType>, &T::SetTabNavigationType)
      .Default(static_cast<int64_t>(rpntUpToDownPriorityEh));
}

void TGridRowPanelEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TGridRowPanelEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetActive(src->active_);
}

bool TGridRowPanelEh::Active() {
  return active_;
}

void TGridRowPanelEh::SetActive(bool v) {
  if (v == active_) return;
  // The current column stays current across the switch.
  const int selected = grid_->SelectedIndex();
  active_ = v;
  grid_->UpdateIndicatorOffset();
  grid_->LayoutChanged();
  if (selected >= 0) grid_->SetSelectedIndex(selected);
}

TGridRowPanelNavKeysNavigationTypeEh TGridRowPanelEh::NavKeysNavigationType() {
  return navKeysNavigationType_;
}

void TGridRowPanelEh::SetNavKeysNavigationType(TGridRowPanelNavKeysNavigationTypeEh v) {
  navKeysNavigationType_ = v;
}

TGridRowPanelTabNavigationTypeEh TGridRowPanelEh::TabNavigationType() {
  return tabNavigationType_;
}

void TGridRowPanelEh::SetTabNavigationType(TGridRowPanelTabNavigationTypeEh v) {
  tabNavigationType_ = v;
}

// ================================================================================================
// TRowDetailPanelEh
// ================================================================================================

TRowDetailPanelEh::TRowDetailPanelEh(TCustomDBGridEh* AGrid)
    : grid_(AGrid), bevelEdges_{beLeft, beTop, beRight, beBottom}, color_(AGrid->FixedColor()) {}

void TRowDetailPanelEh::DescribeClass(TClassBuilder<TRowDetailPanelEh>& c) {
  using T = TRowDetailPanelEh;
  c.Property("Active", Get<&T::Active>, &T::SetActive).Default(0);
  c.Property("Width", Get<&T::Width>, &T::SetWidth).Default(0);
  c.Property("Height", Get<&T::Height>, &T::SetHeight).Default(120);
  c.Property("ActiveControl", Get<&T::ActiveControl>, &T::SetActiveControl);
  c.Property("BevelEdges", Get<&T::BevelEdges>, &T::SetBevelEdges)
      .Default(static_cast<int64_t>(TBevelEdges{beLeft, beTop, beRight, beBottom}.ToBits()));
  c.Property("BevelInner", Get<&T::BevelInner>, &T::SetBevelInner).Default(static_cast<int64_t>(bvRaised));
  c.Property("BevelOuter", Get<&T::BevelOuter>, &T::SetBevelOuter).Default(static_cast<int64_t>(bvLowered));
  c.Property("BevelKind", Get<&T::BevelKind>, &T::SetBevelKind).Default(static_cast<int64_t>(bkNone));
  c.Property("BevelWidth", Get<&T::BevelWidth>, &T::SetBevelWidth).Default(1);
  c.Property("BorderStyle", Get<&T::BorderStyle>, &T::SetBorderStyle).Default(static_cast<int64_t>(bsSingle));
  c.Property("Color", Get<&T::Color>, &T::SetColor)
      .NoDefault()
      .WithIdents(ColorIdents())
      .StoredIf([](const TObject& o) { return const_cast<T&>(static_cast<const T&>(o)).IsColorStored(); });
  c.Property("ParentColor", Get<&T::ParentColor>, &T::SetParentColor).Default(0);
  c.Property("VertSizing", Get<&T::VertSizing>, &T::SetVertSizing).Default(0);
  c.Property("MaxHeight", Get<&T::MaxHeight>, &T::SetMaxHeight).Default(0);
  c.Property("MinHeight", Get<&T::MinHeight>, &T::SetMinHeight).Default(1);
  c.Property("SizingBarHeight", Get<&T::SizingBarHeight>, &T::SetSizingBarHeight).Default(8);
  c.Property("SizingBarBeveled", Get<&T::SizingBarBeveled>, &T::SetSizingBarBeveled).Default(1);
  c.Property("ParentPopupMenu", Get<&T::ParentPopupMenu>, &T::SetParentPopupMenu).Default(1);
}

void TRowDetailPanelEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TRowDetailPanelEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetActive(src->active_);
}

bool TRowDetailPanelEh::Active() {
  return active_;
}

// The panel's place and look follow from the grid's layout.
int TRowDetailPanelEh::Width() {
  return width_;
}

void TRowDetailPanelEh::SetWidth(int v) {
  if (v == width_) return;
  width_ = v;
  grid_->LayoutChanged();
}

int TRowDetailPanelEh::Height() {
  return height_;
}

void TRowDetailPanelEh::SetHeight(int v) {
  if (v < minHeight_) v = minHeight_;
  if (maxHeight_ > 0 && v > maxHeight_) v = maxHeight_;
  if (v == height_) return;
  height_ = v;
  grid_->LayoutChanged();
}

TWinControl* TRowDetailPanelEh::ActiveControl() {
  return activeControl_;
}

void TRowDetailPanelEh::SetActiveControl(TWinControl* v) {
  activeControl_ = v;
}

TBevelEdges TRowDetailPanelEh::BevelEdges() {
  return bevelEdges_;
}

void TRowDetailPanelEh::SetBevelEdges(TBevelEdges v) {
  if (v == bevelEdges_) return;
  bevelEdges_ = v;
  grid_->LayoutChanged();
}

TBevelCut TRowDetailPanelEh::BevelInner() {
  return bevelInner_;
}

void TRowDetailPanelEh::SetBevelInner(TBevelCut v) {
  if (v == bevelInner_) return;
  bevelInner_ = v;
  grid_->LayoutChanged();
}

TBevelCut TRowDetailPanelEh::BevelOuter() {
  return bevelOuter_;
}

void TRowDetailPanelEh::SetBevelOuter(TBevelCut v) {
  if (v == bevelOuter_) return;
  bevelOuter_ = v;
  grid_->LayoutChanged();
}

TBevelKind TRowDetailPanelEh::BevelKind() {
  return bevelKind_;
}

void TRowDetailPanelEh::SetBevelKind(TBevelKind v) {
  if (v == bevelKind_) return;
  bevelKind_ = v;
  grid_->LayoutChanged();
}

TBevelWidth TRowDetailPanelEh::BevelWidth() {
  return bevelWidth_;
}

void TRowDetailPanelEh::SetBevelWidth(TBevelWidth v) {
  if (v == bevelWidth_) return;
  bevelWidth_ = v;
  grid_->LayoutChanged();
}

TBorderStyle TRowDetailPanelEh::BorderStyle() {
  return borderStyle_;
}

void TRowDetailPanelEh::SetBorderStyle(TBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  grid_->LayoutChanged();
}

TColor TRowDetailPanelEh::Color() {
  return parentColor_ ? grid_->Color() : color_;
}

void TRowDetailPanelEh::SetColor(TColor v) {
  if (v == color_ && !parentColor_) return;
  color_ = v;
  parentColor_ = false;
  grid_->LayoutChanged();
}

bool TRowDetailPanelEh::IsColorStored() {
  return !parentColor_ && color_ != grid_->FixedColor();
}

bool TRowDetailPanelEh::ParentColor() {
  return parentColor_;
}

void TRowDetailPanelEh::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  grid_->LayoutChanged();
}

bool TRowDetailPanelEh::VertSizing() {
  return vertSizing_;
}

void TRowDetailPanelEh::SetVertSizing(bool v) {
  if (v == vertSizing_) return;
  vertSizing_ = v;
  if (maxHeight_ > 0 && height_ > maxHeight_) height_ = maxHeight_;
  grid_->LayoutChanged();
}

int TRowDetailPanelEh::MaxHeight() {
  return maxHeight_;
}

void TRowDetailPanelEh::SetMaxHeight(int v) {
  if (v == maxHeight_) return;
  maxHeight_ = v;
  grid_->LayoutChanged();
}

int TRowDetailPanelEh::MinHeight() {
  return minHeight_;
}

void TRowDetailPanelEh::SetMinHeight(int v) {
  if (v == minHeight_) return;
  minHeight_ = v;
  if (height_ < minHeight_) height_ = minHeight_;
  grid_->LayoutChanged();
}

int TRowDetailPanelEh::SizingBarHeight() {
  return sizingBarHeight_;
}

void TRowDetailPanelEh::SetSizingBarHeight(int v) {
  if (v == sizingBarHeight_) return;
  sizingBarHeight_ = v;
  grid_->LayoutChanged();
}

bool TRowDetailPanelEh::SizingBarBeveled() {
  return sizingBarBeveled_;
}

void TRowDetailPanelEh::SetSizingBarBeveled(bool v) {
  if (v == sizingBarBeveled_) return;
  sizingBarBeveled_ = v;
  grid_->LayoutChanged();
}

// The flag lives in the panel control, which swallows context menus without it.
bool TRowDetailPanelEh::ParentPopupMenu() {
  TRowDetailPanelControlEh* control = grid_->RowDetailPanelControl();
  return control ? control->ParentPopupMenu() : parentPopupMenu_;
}

void TRowDetailPanelEh::SetParentPopupMenu(bool v) {
  parentPopupMenu_ = v;
  if (TRowDetailPanelControlEh* control = grid_->RowDetailPanelControl()) control->SetParentPopupMenu(v);
}

bool TRowDetailPanelEh::Expanded() const {
  return expanded_;
}

void TRowDetailPanelEh::SetVisible(bool Value) {
  SetExpanded(Value);
}

bool TRowDetailPanelEh::Visible() const {
  return expanded_;
}

// ================================================================================================
// TSTDBGridEhFilter
// ================================================================================================

TSTDBGridEhFilter::TSTDBGridEhFilter(TCustomDBGridEh* AGrid)
    : grid_(AGrid), font_(std::make_unique<TFont>()) {
  CopyFilterFont(grid_, font_.get(), fontRefreshing_);
  font_->OnChange = TNotifyEvent::Method(this, &TSTDBGridEhFilter::FontChanged);
}

TSTDBGridEhFilter::~TSTDBGridEhFilter() = default;

void TSTDBGridEhFilter::DescribeClass(TClassBuilder<TSTDBGridEhFilter>& c) {
  using T = TSTDBGridEhFilter;
  c.Property("InstantApply", Get<&T::InstantApply>, &T::SetInstantApply)
      .NoDefault()
      .StoredIf([](const TObject& o) { return static_cast<const T&>(o).instantApplyStored_; });
  c.Property("Local", Get<&T::Local>, &T::SetLocal).Default(0);
  c.Property("Location", Get<&T::Location>, &T::SetLocation)
      .Default(static_cast<int64_t>(stflUnderTitleFilterEh));
  c.Property("Visible", Get<&T::Visible>, &T::SetVisible).Default(0);
  c.Property("Color", Get<&T::Color>, &T::SetColor).Default(clDefault).WithIdents(ColorIdents());
  c.Property("Font", Get<&T::Font>, &T::SetFont).StoredIf([](const TObject& o) {
    return !static_cast<const T&>(o).parentFont_;
  });
  c.Property("ParentFont", Get<&T::ParentFont>, &T::SetParentFont).Default(1);
  c.Property("HorzLineColor", Get<&T::HorzLineColor>, &T::SetHorzLineColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("VertLineColor", Get<&T::VertLineColor>, &T::SetVertLineColor)
      .Default(clDefault)
      .WithIdents(ColorIdents());
  c.Property("RowHeight", Get<&T::RowHeight>, &T::SetRowHeight).Default(0);
  c.Property("RowLines", Get<&T::RowLines>, &T::SetRowLines).Default(0);
  c.Property("FilterButtonDrawTime", Get<&T::FilterButtonDrawTime>, &T::SetFilterButtonDrawTime)
      .Default(static_cast<int64_t>(fbdtAlwaysEh));
}

void TSTDBGridEhFilter::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TSTDBGridEhFilter*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetVisible(src->visible_);
  SetLocal(src->local_);
}

bool TSTDBGridEhFilter::InstantApply() {
  return instantApplyStored_ ? instantApply_ : local_;
}

void TSTDBGridEhFilter::SetInstantApply(bool v) {
  instantApply_ = v;
  instantApplyStored_ = true;
}

bool TSTDBGridEhFilter::IsInstantApplyStored() {
  return instantApplyStored_;
}

bool TSTDBGridEhFilter::Local() {
  return local_;
}

void TSTDBGridEhFilter::SetLocal(bool v) {
  local_ = v;
}

TSTFilterLocationEh TSTDBGridEhFilter::Location() {
  return location_;
}

void TSTDBGridEhFilter::SetLocation(TSTFilterLocationEh v) {
  if (v == location_) return;
  location_ = v;
  grid_->LayoutChanged();
}

bool TSTDBGridEhFilter::Visible() {
  return visible_;
}

// Hiding the row ends an edit in it first; the editor then takes its new place.
void TSTDBGridEhFilter::SetVisible(bool v) {
  if (v == visible_) return;
  if (!v && grid_->FilterEditMode()) grid_->StopFilterEdit();
  visible_ = v;
  grid_->LayoutChanged();
  // The row moved the cells: a shown cell editor takes its new place.
  if (grid_->InplaceEditor()) grid_->InvalidateEditor();
}

TColor TSTDBGridEhFilter::Color() {
  return color_;
}

void TSTDBGridEhFilter::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  grid_->Invalidate();
}

TFont* TSTDBGridEhFilter::Font() {
  return font_.get();
}

void TSTDBGridEhFilter::SetFont(TFont* v) {
  font_->Assign(v);
}

// Every change of the font sizes the row anew; only the user's own unhooks it from the grid's.
void TSTDBGridEhFilter::FontChanged(TObject*) {
  if (!fontRefreshing_ && !GridLoading(grid_)) parentFont_ = false;
  grid_->LayoutChanged();
}

bool TSTDBGridEhFilter::ParentFont() {
  return parentFont_;
}

void TSTDBGridEhFilter::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (parentFont_) CopyFilterFont(grid_, font_.get(), fontRefreshing_);
  grid_->Invalidate();
}

TColor TSTDBGridEhFilter::HorzLineColor() {
  return horzLineColor_;
}

void TSTDBGridEhFilter::SetHorzLineColor(TColor v) {
  if (v == horzLineColor_) return;
  horzLineColor_ = v;
  grid_->Invalidate();
}

TColor TSTDBGridEhFilter::VertLineColor() {
  return vertLineColor_;
}

void TSTDBGridEhFilter::SetVertLineColor(TColor v) {
  if (v == vertLineColor_) return;
  vertLineColor_ = v;
  grid_->Invalidate();
}

int TSTDBGridEhFilter::RowHeight() {
  return rowHeight_;
}

void TSTDBGridEhFilter::SetRowHeight(int v) {
  if (v == rowHeight_) return;
  rowHeight_ = v;
  grid_->LayoutChanged();
}

int TSTDBGridEhFilter::RowLines() {
  return rowLines_;
}

void TSTDBGridEhFilter::SetRowLines(int v) {
  if (v == rowLines_) return;
  rowLines_ = v;
  grid_->LayoutChanged();
}

TDBGridFilterButtonDrawTimeEh TSTDBGridEhFilter::FilterButtonDrawTime() {
  return filterButtonDrawTime_;
}

void TSTDBGridEhFilter::SetFilterButtonDrawTime(TDBGridFilterButtonDrawTimeEh v) {
  if (v == filterButtonDrawTime_) return;
  filterButtonDrawTime_ = v;
  grid_->Invalidate();
}

void TSTDBGridEhFilter::BeginUpdate() {
  ++updateCount_;
}

void TSTDBGridEhFilter::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
}

int TSTDBGridEhFilter::UpdateCount() const {
  return updateCount_;
}

int TSTDBGridEhFilter::FilterButtonHeight() const {
  return filterButtonHeight_;
}

// ================================================================================================
// TDBGridEhScrollBar
// ================================================================================================

// Forgets the external bar of its settings object when that bar is freed.
class TDBGridEhExtBarWatch : public TComponent {
 public:
  explicit TDBGridEhExtBarWatch(TDBGridEhScrollBar* Owner) : TComponent(nullptr), owner_(Owner) {}

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != owner_->extScrollBar_) return;
    owner_->extScrollBar_ = nullptr;
    owner_->extOwnProc_ = TWndMethod();
    TCustomDBGridEh* grid = owner_->grid_;
    if (!GridLoading(grid) && !GridDestroying(grid)) grid->LayoutChanged();
  }

 private:
  TDBGridEhScrollBar* owner_;
};

TDBGridEhScrollBar::TDBGridEhScrollBar(TCustomDBGridEh* AGrid, TScrollBarKind AKind)
    : grid_(AGrid), kind_(AKind), extBarWatch_(std::make_unique<TDBGridEhExtBarWatch>(this)) {}

// The external bar gets its own procedure back; the grid is going away or replaced the object.
TDBGridEhScrollBar::~TDBGridEhScrollBar() {
  if (extScrollBar_ && extOwnProc_) extScrollBar_->SetWindowProc(extOwnProc_);
  extScrollBar_ = nullptr;
}

void TDBGridEhScrollBar::DescribeClass(TClassBuilder<TDBGridEhScrollBar>& c) {
  using T = TDBGridEhScrollBar;
  c.Property("ExtScrollBar", Get<&T::ExtScrollBar>, &T::SetExtScrollBar);
  c.Property("Tracking", Get<&T::Tracking>, &T::SetTracking).Default(1);
}

void TDBGridEhScrollBar::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBGridEhScrollBar*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetVisible(src->Visible());
  SetTracking(src->tracking_);
  if (src != this && src->extScrollBar_ != extScrollBar_) {
    TScrollBar* bar = src->extScrollBar_;
    // One bar serves one settings object: the source lets go first.
    if (bar && src->grid_ != grid_) src->SetExtScrollBar(nullptr);
    SetExtScrollBar(bar);
  }
}

TScrollBar* TDBGridEhScrollBar::ExtScrollBar() {
  return extScrollBar_;
}

void TDBGridEhScrollBar::SetExtScrollBar(TScrollBar* v) {
  if (v == extScrollBar_) return;
  if (v && !HasOwnWindowProc(v))
    throw Exception("Possible " + v->Name() + " already attached to the other control.");
  if (extScrollBar_) {
    if (extOwnProc_) extScrollBar_->SetWindowProc(extOwnProc_);
    extScrollBar_->RemoveFreeNotification(extBarWatch_.get());
  }
  extOwnProc_ = TWndMethod();
  extScrollBar_ = v;
  if (extScrollBar_) {
    extScrollBar_->FreeNotification(grid_);
    extScrollBar_->FreeNotification(extBarWatch_.get());
    extOwnProc_ = extScrollBar_->WindowProc();
    extScrollBar_->SetWindowProc(TWndMethod::Method(this, &TDBGridEhScrollBar::ExtWndProc));
    extScrollBar_->SetVisible(Visible());
  }
  if (GridLoading(grid_) || GridDestroying(grid_)) return;
  if (grid_->HandleAllocated() && kind_ == TScrollBarKind::sbVertical) grid_->UpdateVertScrollBar();
  grid_->LayoutChanged();
}

void TDBGridEhScrollBar::ExtWndProc(TMessage& Message) {
  grid_->ExtScrollBarWndProc(this, Message);
  if (extOwnProc_) extOwnProc_(Message);
}

bool TDBGridEhScrollBar::Tracking() {
  return tracking_;
}

void TDBGridEhScrollBar::SetTracking(bool v) {
  tracking_ = v;
}

bool TDBGridEhScrollBar::Visible() {
  return visibleMode_ != sbNeverShowEh;
}

void TDBGridEhScrollBar::SetVisible(bool v) {
  SetVisibleMode(v ? sbAutoShowEh : sbNeverShowEh);
  if (extScrollBar_) extScrollBar_->SetVisible(v);
}

TScrollBarVisibleModeEh TDBGridEhScrollBar::VisibleMode() {
  return visibleMode_;
}

void TDBGridEhScrollBar::SetVisibleMode(TScrollBarVisibleModeEh v) {
  if (v == visibleMode_) return;
  visibleMode_ = v;
  if (GridLoading(grid_)) return;
  if (kind_ == TScrollBarKind::sbVertical) grid_->UpdateVertScrollBar();
  grid_->LayoutChanged();
}

bool TDBGridEhScrollBar::SmoothStep() {
  return smoothStep_;
}

// The layout recomputes the scroll extents for the new step.
void TDBGridEhScrollBar::SetSmoothStep(bool v) {
  if (v == smoothStep_) return;
  smoothStep_ = v;
  SmoothStepChanged();
}

TScrollBarKind TDBGridEhScrollBar::Kind() const {
  return kind_;
}

TCustomDBGridEh* TDBGridEhScrollBar::Grid() const {
  return grid_;
}

// ================================================================================================
// TDBGridEhScrollBarPanel
// ================================================================================================

TDBGridEhScrollBarPanel::TDBGridEhScrollBarPanel(THorzDBGridEhScrollBar* AOwner) : owner_(AOwner) {}

void TDBGridEhScrollBarPanel::DescribeClass(TClassBuilder<TDBGridEhScrollBarPanel>& c) {
  using T = TDBGridEhScrollBarPanel;
  c.Property("Visible", Get<&T::Visible>, &T::SetVisible).Default(0);
  c.Property("NavigatorButtons", Get<&T::NavigatorButtons>, &T::SetNavigatorButtons).Default(1023);
  c.Property("VisibleItems", Get<&T::VisibleItems>, &T::SetVisibleItems).Default(7);
}

bool TDBGridEhScrollBarPanel::Visible() {
  return visible_;
}

// The strip changes the room left for the rows and the vertical bar. It takes its place (or
// gives the window's bars back) at once, also when no scroll update follows.
void TDBGridEhScrollBarPanel::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  TCustomDBGridEh* grid = owner_->Grid();
  if (GridLoading(grid)) return;
  grid->UpdateScrollBarPanel();
  owner_->Changed();
}

// Both sets live in the grid's strip control once it exists.
TNavButtonSetEh TDBGridEhScrollBarPanel::NavigatorButtons() {
  TDBGridEhScrollBarPanelControl* control = owner_->Grid()->HorzScrollBarPanelControl();
  return control ? control->NavigatorButtons() : navigatorButtons_;
}

void TDBGridEhScrollBarPanel::SetNavigatorButtons(TNavButtonSetEh v) {
  navigatorButtons_ = v;
  if (TDBGridEhScrollBarPanelControl* control = owner_->Grid()->HorzScrollBarPanelControl())
    control->SetNavigatorButtons(v);
}

TGridSBItemsEh TDBGridEhScrollBarPanel::VisibleItems() {
  TDBGridEhScrollBarPanelControl* control = owner_->Grid()->HorzScrollBarPanelControl();
  return control ? control->VisibleItems() : visibleItems_;
}

void TDBGridEhScrollBarPanel::SetVisibleItems(TGridSBItemsEh v) {
  visibleItems_ = v;
  if (TDBGridEhScrollBarPanelControl* control = owner_->Grid()->HorzScrollBarPanelControl())
    control->SetVisibleItems(v);
}

// ================================================================================================
// THorzDBGridEhScrollBar, TVertDBGridEhScrollBar
// ================================================================================================

THorzDBGridEhScrollBar::THorzDBGridEhScrollBar(TCustomDBGridEh* AGrid)
    : TDBGridEhScrollBar(AGrid, TScrollBarKind::sbHorizontal),
      extraPanel_(std::make_unique<TDBGridEhScrollBarPanel>(this)) {
  smoothStep_ = true;
}

void THorzDBGridEhScrollBar::DescribeClass(TClassBuilder<THorzDBGridEhScrollBar>& c) {
  using T = THorzDBGridEhScrollBar;
  c.Property("Visible", Get<&T::Visible>, &T::SetVisible).Default(1);
  c.Property("ExtraPanel", Get<&T::ExtraPanel>, &T::SetExtraPanel);
  c.Property("SmoothStep", Get<&T::SmoothStep>, &T::SetSmoothStep).Default(1);
}

TDBGridEhScrollBarPanel* THorzDBGridEhScrollBar::ExtraPanel() {
  return extraPanel_.get();
}

void THorzDBGridEhScrollBar::SetExtraPanel(TDBGridEhScrollBarPanel* v) {
  if (!v) return;
  extraPanel_->SetVisible(v->Visible());
  extraPanel_->SetNavigatorButtons(v->NavigatorButtons());
  extraPanel_->SetVisibleItems(v->VisibleItems());
}

TVertDBGridEhScrollBar::TVertDBGridEhScrollBar(TCustomDBGridEh* AGrid)
    : TDBGridEhScrollBar(AGrid, TScrollBarKind::sbVertical), lastVisibleMode_(sbAutoShowEh) {}

void TVertDBGridEhScrollBar::DescribeClass(TClassBuilder<TVertDBGridEhScrollBar>& c) {
  using T = TVertDBGridEhScrollBar;
  c.Property("SmoothStep", Get<&T::SmoothStep>, &T::SetSmoothStep).Default(0);
  c.Property("VisibleMode", Get<&T::VisibleMode>, &T::SetVisibleMode)
      .Default(static_cast<int64_t>(sbAutoShowEh));
  c.Property("Visible", Get<&T::Visible>, &T::SetVisible).StoredIf([](const TObject&) { return false; });
}
