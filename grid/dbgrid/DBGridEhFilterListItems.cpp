// The shared behaviour objects of the filter lists' entries.
#include "grid/dbgrid/DBGridEhFilterListItems.h"

#include <algorithm>
#include <memory>

#include "grid/dbgrid/DBGridEhCenter.h"
#include "grid/dbgrid/DBGridEhControls.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/win/Windows.h"

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

// What a list's entries act on, as the list's owner tells.
struct TListTarget {
  TCustomDBGridEh* Grid = nullptr;
  TColumnEh* Column = nullptr;
  TGridDataGroupLevelEh* Level = nullptr;  // a list dropped from the grouping panel
};

TListTarget TargetOf(TPopupListboxEh* List) {
  TListTarget target;
  TComponent* owner = List ? List->Owner() : nullptr;
  if (auto* editor = dynamic_cast<TInplaceFilterEditEh*>(owner)) {
    target.Column = editor->Column();
    target.Grid = dynamic_cast<TCustomDBGridEh*>(editor->InplaceEditHolder());
  } else if (auto* grid = dynamic_cast<TCustomDBGridEh*>(owner)) {
    target.Grid = grid;
    target.Column = grid->TitleFilterColumn();
    target.Level = grid->TitleFilterGroupLevel();
  }
  if (!target.Grid && target.Column) target.Grid = target.Column->Grid();
  return target;
}

TSTColumnFilterEh* FilterOf(TPopupListboxEh* List) {
  TColumnEh* column = TargetOf(List).Column;
  return column ? column->STFilter() : nullptr;
}

// Every entry keeps the room of a check box at its side for its box, glyph or nothing.
int BoxWidth() {
  return DefaultCheckBoxWidth();
}

// Between the list's edge and an entry's box or caption: a box's frame stands clear of the
// list's own frame instead of merging into it.
constexpr int kEdgeGap = 2;
// Between the box's room and the caption.
constexpr int kCaptionGap = 2;

// The box's room at the entry's side: the left, or the right when the list reads right to left.
TRect BoxRect(TPopupListboxEh* List, const TRect& Entry) {
  if (List->UseRightToLeftAlignment())
    return TRect{Entry.Right - kEdgeGap - BoxWidth(), Entry.Top, Entry.Right - kEdgeGap, Entry.Bottom};
  return TRect{Entry.Left + kEdgeGap, Entry.Top, Entry.Left + kEdgeGap + BoxWidth(), Entry.Bottom};
}

// The entry's text after the box's room, centred in the entry's height.
void DrawCaption(TPopupListboxEh* List, int Index, const TRect& Entry) {
  TCanvas* canvas = List->Canvas();
  const std::string text = List->ItemText(Index);
  TRect room = Entry;
  const bool rtl = List->UseRightToLeftAlignment();
  const int lead = kEdgeGap + BoxWidth() + kCaptionGap;
  if (rtl)
    room.Right -= lead;
  else
    room.Left += lead;
  const int x = rtl ? room.Right - canvas->TextWidth(text) : room.Left;
  const int y = Entry.Top + (Entry.Height() - canvas->TextHeight(text)) / 2;
  canvas->TextRect(room, x, y, text);
}

// The mouse is over the entry while no control holds the mouse (a press elsewhere, a drag).
bool MouseOverEntry(TPopupListboxEh* List, const TRect& Entry) {
  if (!List->HandleAllocated() || GetCapture()) return false;
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return false;
  return PtInRect(Entry, List->ScreenToClient(TPoint{cursor.X, cursor.Y}));
}

// A text field shows a Null and an empty text alike: its empty entries stand for both.
bool ShowsText(TColumnEh* Column) {
  TField* field = Column->GetField();
  switch (field ? field->DataType() : ftUnknown) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftFmtMemo:
      return true;
    default:
      return false;
  }
}

// A data entry chosen by the mouse or the space key: the other checked values stay.
void ExecuteKeepingOthers(TPopupListboxItemEh* Item, TPopupListboxEh* List, int Index, char32_t Key,
                          TShiftState Shift) {
  TSTColumnFilterEh* filter = FilterOf(List);
  if (!filter) return;
  TValueRestorer<bool> keepOthers(filter->KeepOthers, true);
  Item->Execute(List, Index, Key, Shift);
}

}  // namespace filter_list_items_detail

using namespace filter_list_items_detail;

// Every entry of a filter list is chosen by a click, never by moving a focus rectangle onto it.
bool TDBGridFilterPopupListboxItemEh::CanFocus(TPopupListboxEh*, int) {
  return false;
}

void TDBGridFilterPopupListboxItemEh::MouseMove(TPopupListboxEh* Sender, int ItemIndex, TShiftState,
                                                const TPoint&) {
  TSTColumnFilterEh* filter = FilterOf(Sender);
  if (!filter || filter->HotIndex < 0 || filter->HotIndex == ItemIndex) return;
  Sender->InvalidateIndex(filter->HotIndex);
  filter->HotIndex = -1;
}

// --- the separator -------------------------------------------------------------------------------

void TPopupListboxItemEhLine::DrawItem(TPopupListboxEh* Sender, int, TRect ARect, TOwnerDrawState) {
  TCanvas* canvas = Sender->Canvas();
  canvas->FillRect(ARect);
  TPen* pen = canvas->Pen();
  const TColor saved = pen->Color();
  TScopeExit restore([&] { pen->SetColor(saved); });
  pen->SetColor(clSilver);
  const int middle = (ARect.Top + ARect.Bottom) / 2;
  canvas->MoveTo(ARect.Left, middle);
  canvas->LineTo(ARect.Right, middle);
}

// A click on the separator is no choice: the list stays open.
bool TPopupListboxItemEhLine::CloseOnExecute(TPopupListboxEh*, int) {
  return false;
}

// --- sorting -------------------------------------------------------------------------------------

void TPopupListboxItemEhSort::DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState) {
  TCanvas* canvas = Sender->Canvas();
  canvas->FillRect(ARect);
  TCustomDBGridEh* grid = TargetOf(Sender).Grid;
  TDBGridEhStyle* style = grid && grid->Style() ? grid->Style() : DBGridEhDefaultStyle();
  const TSortMarkerStyleEh markerStyle = grid ? grid->TitleParams()->SortMarkerStyle() : smstDefaultEh;
  int w = 0, h = 0;
  if (style) style->GetSortMarkerSize(canvas, markerStyle, w, h);
  if (w > 0 && h > 0) {
    const TRect box = BoxRect(Sender, ARect);
    const int left = box.Left + (box.Width() - w) / 2, top = box.Top + (box.Height() - h) / 2;
    DrawSortMarker(style, canvas, markerStyle, TRect{left, top, left + w, top + h}, false, marker_,
                   TargetOf(Sender).Column);
  }
  DrawCaption(Sender, ItemIndex, ARect);
}

void TPopupListboxItemEhSort::Execute(TPopupListboxEh* Sender, int, char32_t, TShiftState) {
  const TListTarget target = TargetOf(Sender);
  if (target.Level) {
    target.Level->SetSortOrder(marker_ == smUpEh ? soDescEh : soAscEh);
    return;
  }
  if (!target.Column || !target.Grid) return;
  target.Column->Title()->SetSortMarker(marker_);
  target.Grid->ApplySorting();
}

// --- the special entries -------------------------------------------------------------------------

void TPopupListboxItemEhSpec::DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState) {
  Sender->Canvas()->FillRect(ARect);
  DrawCaption(Sender, ItemIndex, ARect);
}

void TPopupListboxItemEhSpec::Execute(TPopupListboxEh* Sender, int, char32_t, TShiftState) {
  const TListTarget target = TargetOf(Sender);
  TCustomDBGridEh* grid = target.Grid;
  if (!grid) return;
  switch (kind_) {
    case ptsClearFilterEh:
      grid->ClearFilter();
      grid->ApplyFilter();
      return;
    case ptsApplyFilterEh:
      grid->ApplyFilter();
      return;
    case ptsCustomFilterEh:
      if (!target.Column) return;
      // The dialog starts from what the open cell holds; a condition it refuses stops here.
      if (grid->FilterEdit() && grid->FilterEdit()->Visible()) grid->TakeFilterEditorValue();
      if (ShowSimpleFilterDialog(target.Column) && grid->STFilter()->InstantApply()) grid->ApplyFilter();
      return;
    case ptsAllValuesEh:
    case ptsEmptyEh:
    case ptsNotEmptyEh:
      break;
  }
  if (!target.Column) return;
  const bool text = ShowsText(target.Column);
  const char* condition = kind_ == ptsEmptyEh      ? (text ? "=''" : "=Null")
                          : kind_ == ptsNotEmptyEh ? (text ? "<>''" : "<>Null")
                                                   : "";
  target.Column->STFilter()->SetExpressionStr(condition);
  TDBGridEhCenter* center = grid->Center();
  if (grid->STFilter()->InstantApply() || (center && center->AppliesFilterOn(fecrListItemChosenEh)))
    grid->ApplyFilter();
}

// --- the data values -----------------------------------------------------------------------------

void TPopupListboxItemEhData::DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState) {
  TCanvas* canvas = Sender->Canvas();
  canvas->FillRect(ARect);
  const TListTarget target = TargetOf(Sender);
  TSTColumnFilterEh* filter = target.Column ? target.Column->STFilter() : nullptr;
  const bool checked = filter && ItemIndex >= 0 && ItemIndex < static_cast<int>(filter->CheckStates.size()) &&
                       filter->CheckStates[static_cast<size_t>(ItemIndex)] != 0;
  const bool pressed = filter && filter->HotIndex == ItemIndex;
  TRect box = BoxRect(Sender, ARect);
  if (Sender->UseRightToLeftAlignment())
    box = BoxRect(Sender, TRect{0, box.Top, Sender->ClientWidth(), box.Bottom});
  const int boxHeight = std::min(DefaultCheckBoxHeight(), box.Height());
  box.Top += (box.Height() - boxHeight) / 2;
  box.Bottom = box.Top + boxHeight;
  PaintButtonEh(canvas, box, canvas->Brush()->Color(), pressed, true, MouseOverEntry(Sender, ARect),
                target.Grid && target.Grid->Flat(), checked ? cbChecked : cbUnchecked);
  DrawCaption(Sender, ItemIndex, ARect);
}

void TPopupListboxItemEhData::MouseDown(TPopupListboxEh* Sender, int ItemIndex, TMouseButton Button,
                                        TShiftState, const TPoint&) {
  TSTColumnFilterEh* filter = FilterOf(Sender);
  if (!filter || Button != mbLeft || ItemIndex < 0) return;
  filter->HotIndex = ItemIndex;
  Sender->InvalidateIndex(ItemIndex);
}

void TPopupListboxItemEhData::MouseUp(TPopupListboxEh* Sender, int ItemIndex, TMouseButton Button,
                                      TShiftState Shift, const TPoint&, bool& IsCloseListbox) {
  IsCloseListbox = false;
  TSTColumnFilterEh* filter = FilterOf(Sender);
  if (!filter || Button != mbLeft || ItemIndex < 0 || filter->HotIndex != ItemIndex) return;
  TScopeExit letGo([&] {
    filter->HotIndex = -1;
    Sender->InvalidateIndex(ItemIndex);
  });
  ExecuteKeepingOthers(this, Sender, ItemIndex, 0, Shift);
  Sender->SetItemIndex(ItemIndex);
}

// Ticking a value leaves the list open for the next tick.
bool TPopupListboxItemEhData::CloseOnExecute(TPopupListboxEh*, int) {
  return false;
}

// The list-changing mark keeps the list open while the new condition is set and perhaps applied;
// it goes on every way out, or the list could never close again.
void TPopupListboxItemEhData::Execute(TPopupListboxEh* Sender, int ItemIndex, char32_t, TShiftState) {
  TSTColumnFilterEh* filter = FilterOf(Sender);
  if (!filter || !filter->ListItems || ItemIndex < 0 || ItemIndex >= filter->ListItems->Count()) return;
  std::vector<uint8_t>& checks = filter->CheckStates;
  checks.resize(static_cast<size_t>(filter->ListItems->Count()), 0);
  const bool othersStay = filter->KeepOthers;
  // The condition's text goes into the filter editor, whose item search would move the selection.
  const int selected = Sender->ItemIndex();
  TValueRestorer<bool> changing(filter->ListChanging, true);
  TScopeExit repaint([&] {
    if (Sender->ItemIndex() != selected) Sender->SetItemIndex(selected);
    if (othersStay)
      Sender->InvalidateIndex(ItemIndex);
    else
      Sender->Invalidate();
  });
  // A condition that is not taken leaves the ticks as the condition stands.
  TScopeFail retick([&] {
    filter->CheckStatesFromExpression();
    Sender->Invalidate();
  });
  // Without keep-others the ticks go first, so the inverted entry is the one value left.
  if (!othersStay) std::fill(checks.begin(), checks.end(), uint8_t{0});
  uint8_t& check = checks[static_cast<size_t>(ItemIndex)];
  check = check ? 0 : 1;
  filter->SetExpressionFromCheckStates();
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

int FilterListWidthFor(int CaptionWidth, int Border) {
  using namespace filter_list_items_detail;
  return kEdgeGap + BoxWidth() + kCaptionGap + CaptionWidth + kEdgeGap + GetSystemMetrics(SM_CXVSCROLL) +
         Border;
}

void ForgetFilterListState(TSTColumnFilterEh* Filter) {
  Filter->ListItems = nullptr;
  Filter->CheckStates.clear();
  Filter->KeepOthers = false;
  Filter->HotIndex = -1;
  Filter->ListItemIndex = -1;
}

void FilterListSpaceKey(TPopupListboxEh* List, const std::function<void()>& CloseWithChoice) {
  const int index = List ? List->ItemIndex() : -1;
  TPopupListboxItemEh* item = index >= 0 ? List->ItemBehaviour(index) : nullptr;
  if (!item) return;
  if (item->CloseOnExecute(List, index))
    CloseWithChoice();
  else
    ExecuteKeepingOthers(item, List, index, U' ', TShiftState{});
}
