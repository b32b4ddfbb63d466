// The settings and state behind the grid's SearchPanel: when the search strip shows, whether the
// user is searching, the strip's find commands and the column of the last hit.
#include <type_traits>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"

RTL_IMPLEMENT_CLASS(TDBGridSearchPanelEh)

namespace dbgrid_search_panel_detail {

// The published getters are not const; the class description reads through a const object.
template <auto Getter>
constexpr auto GetSearchSetting = [](const auto& o) {
  using C = std::remove_cvref_t<decltype(o)>;
  return (const_cast<C&>(o).*Getter)();
};

// A strip not placed yet (no window, no room), or a grid without a window, cannot take the focus.
bool MayTakeFocus(TWinControl* Control) {
  return Control && Control->HandleAllocated() && !Control->ComponentState().Contains(csDestroying) &&
         Control->CanFocus();
}

// What the strip's find commands look for: any part of any column's shown text, case ignored.
constexpr uint8_t kFindOptions = ltoIgnoreCaseEh | ltoAllFieldsEh | ltoMatchFormatEh;

}  // namespace dbgrid_search_panel_detail

using dbgrid_search_panel_detail::GetSearchSetting;

TDBGridSearchPanelEh::TDBGridSearchPanelEh(TCustomDBGridEh* AGrid) : grid_(AGrid) {}

TDBGridSearchPanelEh::~TDBGridSearchPanelEh() = default;

void TDBGridSearchPanelEh::DescribeClass(TClassBuilder<TDBGridSearchPanelEh>& c) {
  using T = TDBGridSearchPanelEh;
  c.Property("ShortCut", GetSearchSetting<&T::ShortCut>, &T::SetShortCut).Default(16454);
  c.Property("Enabled", GetSearchSetting<&T::Enabled>, &T::SetEnabled).Default(0);
  c.Property("PersistentShowing", GetSearchSetting<&T::PersistentShowing>, &T::SetPersistentShowing)
      .Default(1);
  c.Property("Location", GetSearchSetting<&T::Location>, &T::SetLocation)
      .Default(static_cast<int64_t>(splGridTopEh));
  c.Property("FilterOnTyping", GetSearchSetting<&T::FilterOnTyping>, &T::SetFilterOnTyping).Default(0);
  c.Property("FilterEnabled", GetSearchSetting<&T::FilterEnabled>, &T::SetFilterEnabled).Default(1);
}

void TDBGridSearchPanelEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TDBGridSearchPanelEh*>(Source);
  if (!src) {
    inherited::Assign(Source);
    return;
  }
  SetShortCut(src->shortCut_);
  SetPersistentShowing(src->persistentShowing_);
  SetLocation(src->location_);
  SetFilterOnTyping(src->filterOnTyping_);
  SetFilterEnabled(src->filterEnabled_);
  SetEnabled(src->enabled_);
}

TShortCut TDBGridSearchPanelEh::ShortCut() {
  return shortCut_;
}

void TDBGridSearchPanelEh::SetShortCut(TShortCut v) {
  shortCut_ = v;
}

bool TDBGridSearchPanelEh::Enabled() {
  return enabled_;
}

// The strip shows while enabled and either kept on screen or holding a search text.
void TDBGridSearchPanelEh::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  SetPanelShowing(enabled_ && (persistentShowing_ || !searchText_.empty()));
}

bool TDBGridSearchPanelEh::PersistentShowing() {
  return persistentShowing_;
}

// Turned off during a search, the strip stays until the search ends.
void TDBGridSearchPanelEh::SetPersistentShowing(bool v) {
  if (v == persistentShowing_) return;
  persistentShowing_ = v;
  if ((persistentShowing_ || !searchText_.empty()) && enabled_)
    SetPanelShowing(true);
  else if (!persistentShowing_ && !searching_)
    SetPanelShowing(false);
}

TSearchPanelLocationEh TDBGridSearchPanelEh::Location() {
  return location_;
}

void TDBGridSearchPanelEh::SetLocation(TSearchPanelLocationEh v) {
  if (v == location_) return;
  location_ = v;
  grid_->UpdateSearchPanelLayout();
}

bool TDBGridSearchPanelEh::FilterOnTyping() {
  return filterOnTyping_;
}

void TDBGridSearchPanelEh::SetFilterOnTyping(bool v) {
  filterOnTyping_ = v;
}

bool TDBGridSearchPanelEh::FilterEnabled() {
  return filterEnabled_;
}

void TDBGridSearchPanelEh::SetFilterEnabled(bool v) {
  if (v == filterEnabled_) return;
  filterEnabled_ = v;
  grid_->UpdateSearchPanelLayout();
}

bool TDBGridSearchPanelEh::Visible() {
  return showing_;
}

void TDBGridSearchPanelEh::SetPanelShowing(bool v) {
  if (v == showing_) return;
  showing_ = v;
  grid_->UpdateSearchPanelLayout();
}

const std::string& TDBGridSearchPanelEh::SearchingText() {
  return searchText_;
}

void TDBGridSearchPanelEh::SetSearchingText(const std::string& v) {
  searchText_ = v;
}

// An editor outside the grid says itself whether it searches; the strip's editor searches while
// it has the focus.
bool TDBGridSearchPanelEh::IsSearching() {
  if (location_ == splExternal) return searching_;
  TDBGridSearchPanelControlEh* control = grid_->SearchPanelControl();
  TNavFindEditEh* edit = control ? control->FindEdit() : nullptr;
  return edit && edit->Visible() && edit->Focused();
}

void TDBGridSearchPanelEh::SetSearching(bool Value) {
  if (Value == searching_) return;
  TDBGridSearchPanelControlEh* control = grid_->SearchPanelControl();
  TNavFindEditEh* edit = control ? control->FindEdit() : nullptr;
  if (Value) {
    if (location_ != splExternal) {
      if (!showing_) SetPanelShowing(true);
      if (dbgrid_search_panel_detail::MayTakeFocus(edit)) edit->SetFocus();
    }
  } else if (location_ != splExternal) {
    if (dbgrid_search_panel_detail::MayTakeFocus(grid_)) grid_->SetFocus();
    if (!persistentShowing_ && searchText_.empty()) SetPanelShowing(false);
  }
  searching_ = Value;
  grid_->Invalidate();
}

// The strip takes room in the grid only above the data.
int TDBGridSearchPanelEh::GetHeightInGrid() {
  if (!showing_ || location_ != splGridTopEh || !grid_->SearchPanelControl()) return 0;
  return grid_->SearchPanelControl()->Height();
}

// An empty text finds nothing: every record would match it.
void TDBGridSearchPanelEh::FindNext() {
  if (searchText_.empty()) return;
  grid_->LocateText(searchText_, "", dbgrid_search_panel_detail::kFindOptions, ltdDownEh, ltmAnyPartEh, 0);
}

void TDBGridSearchPanelEh::FindPrior() {
  if (searchText_.empty()) return;
  grid_->LocateText(searchText_, "", dbgrid_search_panel_detail::kFindOptions, ltdUpEh, ltmAnyPartEh, 0);
}

void TDBGridSearchPanelEh::SearchAsTyped() {
  if (searchText_.empty()) return;
  grid_->LocateText(searchText_, "", dbgrid_search_panel_detail::kFindOptions, ltdAllEh, ltmAnyPartEh, 0);
}

int TDBGridSearchPanelEh::FoundColumn() {
  return foundColumn_;
}

// The hit's column becomes current; with whole-row selection it is only scrolled into view.
void TDBGridSearchPanelEh::SetFoundColumn(int Index) {
  if (Index == foundColumn_) return;
  if (!grid_->Options().Contains(dgRowSelect)) {
    grid_->SetSelectedIndex(Index);
  } else if (Index >= 0 && Index < grid_->Columns()->Count()) {
    const int position = grid_->VisibleColumns().IndexOf(grid_->Columns()->GetColumn(Index));
    if (position >= 0) grid_->ClampInView(TGridCoord{position + grid_->IndicatorOffset(), grid_->Row()});
  }
  foundColumn_ = Index;
  grid_->InvalidateRow(grid_->Row());
}

int TDBGridSearchPanelEh::SearchColumn() {
  return searchColumn_;
}

void TDBGridSearchPanelEh::SetSearchColumn(int v) {
  searchColumn_ = v;
}
