// The shared behaviour objects of the filter lists' entries.
#include "grid/dbgrid/DBGridEhFilterListItems.h"

#include <memory>

#include "platform/rtl/Resources.h"

RTL_IMPLEMENT_CLASS(TDBGridFilterPopupListboxItemEh)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhLine)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhSort)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhSpec)
RTL_IMPLEMENT_CLASS(TPopupListboxItemEhData)

namespace filter_list_items_detail {

constexpr int kSpecKindCount = 6;

// The shared instances; all made together, so the line item tells whether they exist.
struct TSharedItems {
  std::unique_ptr<TPopupListboxItemEhLine> Line;
  std::unique_ptr<TPopupListboxItemEhSort> SortUp;
  std::unique_ptr<TPopupListboxItemEhSort> SortDown;
  std::unique_ptr<TPopupListboxItemEhSpec> SpecialItems[kSpecKindCount];
  std::unique_ptr<TPopupListboxItemEhData> Data;
};

TSharedItems& Shared() {
  static TSharedItems items;
  return items;
}

}  // namespace filter_list_items_detail

// Every entry of a filter list is chosen by a click, never by moving a focus rectangle onto it.
bool TDBGridFilterPopupListboxItemEh::CanFocus(TPopupListboxEh*, int) {
  return false;
}

// A click on the separator is no choice: the list stays open.
bool TPopupListboxItemEhLine::CloseOnExecute(TPopupListboxEh*, int) {
  return false;
}

// Ticking a value leaves the list open for the next tick.
bool TPopupListboxItemEhData::CloseOnExecute(TPopupListboxEh*, int) {
  return false;
}

TPopupListboxItemEhLine* PopupListboxItemEhLine() {
  return filter_list_items_detail::Shared().Line.get();
}

TPopupListboxItemEhSort* PopupListboxItemEhSort(TSortMarkerEh Marker) {
  auto& shared = filter_list_items_detail::Shared();
  if (Marker == smUpEh) return shared.SortUp.get();
  if (Marker == smDownEh) return shared.SortDown.get();
  return nullptr;
}

TPopupListboxItemEhSpec* PopupListboxItemEhSpec(TPopupListboxItemEhSpecKind Kind) {
  const int index = static_cast<int>(Kind);
  if (index < 0 || index >= filter_list_items_detail::kSpecKindCount) return nullptr;
  return filter_list_items_detail::Shared().SpecialItems[index].get();
}

TPopupListboxItemEhData* PopupListboxItemEhData() {
  return filter_list_items_detail::Shared().Data.get();
}

void CreateFilterPopupListboxItems() {
  auto& shared = filter_list_items_detail::Shared();
  if (shared.Line) return;
  shared.Line = std::make_unique<TPopupListboxItemEhLine>();
  shared.SortUp = std::make_unique<TPopupListboxItemEhSort>(smUpEh);
  shared.SortDown = std::make_unique<TPopupListboxItemEhSort>(smDownEh);
  for (int i = 0; i < filter_list_items_detail::kSpecKindCount; ++i)
    shared.SpecialItems[i] =
        std::make_unique<TPopupListboxItemEhSpec>(static_cast<TPopupListboxItemEhSpecKind>(i));
  shared.Data = std::make_unique<TPopupListboxItemEhData>();
}

void FreeFilterPopupListboxItems() {
  filter_list_items_detail::Shared() = filter_list_items_detail::TSharedItems();
}

std::string FilterListCaption(int Id) {
  std::string text = LoadStr(Id);
  if (!text.empty()) return text;
  switch (Id) {
    case SFilterListSortDescendingIdEh:
      return "(降序)";
    case SFilterListSortAscendingIdEh:
      return "(升序)";
    case SFilterListClearFilterIdEh:
      return "(取消过滤)";
    case SFilterListApplyFilterIdEh:
      return "(Apply filter)";
    case SFilterListCustomFilterIdEh:
      return "(Custom...)";
    case SFilterListAllValuesIdEh:
      return "(全部)";
    case SFilterListNotEmptyIdEh:
      return "(非空)";
    case SFilterListEmptyIdEh:
      return "(空)";
    default:
      return {};
  }
}
