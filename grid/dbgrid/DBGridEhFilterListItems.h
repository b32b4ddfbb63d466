#pragma once
// The behaviour objects of a filter list's entries: one object of each kind serves every list
// (the special entries for sorting, clearing and the custom filter, the separator, and the data
// values). Made once by the unit's start-up; the list puts them in as the entries' objects.
//
// Files: DBGridEhFilterListItems.cpp.
#include <cstdint>
#include <functional>
#include <string>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/foundation/PopupListboxEh.h"

// The base of the filter-list entries: none of them takes the focus rectangle. The column (and
// group level) an entry acts on is the list's: its owner decides (FilterListColumn below).
class TDBGridFilterPopupListboxItemEh : public TPopupListboxItemEh {
  RTL_CLASS(TDBGridFilterPopupListboxItemEh, TPopupListboxItemEh)
 public:
  TDBGridFilterPopupListboxItemEh() = default;
  bool CanFocus(TPopupListboxEh* Sender, int ItemIndex) override;
  // Moving onto another entry than the pressed data value lets go of that one.
  void MouseMove(TPopupListboxEh* Sender, int ItemIndex, TShiftState Shift, const TPoint& InItemPos) override;
};

// The separator line; a click leaves the list open.
class TPopupListboxItemEhLine : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhLine, TDBGridFilterPopupListboxItemEh)
 public:
  TPopupListboxItemEhLine() = default;
  void DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState State) override;
  bool CloseOnExecute(TPopupListboxEh* Sender, int ItemIndex) override;
};

// Sorts by the column (or the group level) in the direction of its marker.
class TPopupListboxItemEhSort : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhSort, TDBGridFilterPopupListboxItemEh)
 public:
  explicit TPopupListboxItemEhSort(TSortMarkerEh Marker = smDownEh) : marker_(Marker) {}
  TSortMarkerEh Marker() const { return marker_; }
  void DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState State) override;
  // A group level's list sorts the level (smDownEh ascending), a column's the column.
  void Execute(TPopupListboxEh* Sender, int ItemIndex, char32_t Key, TShiftState Shift) override;

 private:
  TSortMarkerEh marker_;
};

// The special entries by kind.
enum class TPopupListboxItemEhSpecKind : uint8_t {
  ptsClearFilterEh = 0,
  ptsAllValuesEh = 1,
  ptsEmptyEh = 2,
  ptsNotEmptyEh = 3,
  ptsCustomFilterEh = 4,
  ptsApplyFilterEh = 5
};
using enum TPopupListboxItemEhSpecKind;

class TPopupListboxItemEhSpec : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhSpec, TDBGridFilterPopupListboxItemEh)
 public:
  explicit TPopupListboxItemEhSpec(TPopupListboxItemEhSpecKind Kind = ptsClearFilterEh) : kind_(Kind) {}
  TPopupListboxItemEhSpecKind Kind() const { return kind_; }
  void DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState State) override;
  // Clears all filters, sets the column's condition, opens the custom filter or applies.
  void Execute(TPopupListboxEh* Sender, int ItemIndex, char32_t Key, TShiftState Shift) override;

 private:
  TPopupListboxItemEhSpecKind kind_;
};

// Every data value of a list, with its check box; a click leaves the list open.
class TPopupListboxItemEhData : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhData, TDBGridFilterPopupListboxItemEh)
 public:
  TPopupListboxItemEhData() = default;
  void DrawItem(TPopupListboxEh* Sender, int ItemIndex, TRect ARect, TOwnerDrawState State) override;
  // A press makes the value the pressed (hot) one; releasing on it toggles it, keeping the
  // other checked values, and leaves the list open.
  void MouseDown(TPopupListboxEh* Sender, int ItemIndex, TMouseButton Button, TShiftState Shift,
                 const TPoint& InItemPos) override;
  void MouseUp(TPopupListboxEh* Sender, int ItemIndex, TMouseButton Button, TShiftState Shift,
               const TPoint& InItemPos, bool& IsCloseListbox) override;
  bool CloseOnExecute(TPopupListboxEh* Sender, int ItemIndex) override;
  // Toggles the value (the only one checked unless the column's KeepOthers is set) and
  // rebuilds the column's condition from the checked values.
  void Execute(TPopupListboxEh* Sender, int ItemIndex, char32_t Key, TShiftState Shift) override;
};

// The shared instances (nullptr before the start-up and after the finalization).
TPopupListboxItemEhLine* PopupListboxItemEhLine();
TPopupListboxItemEhSort* PopupListboxItemEhSort(TSortMarkerEh Marker);  // smUpEh or smDownEh
TPopupListboxItemEhSpec* PopupListboxItemEhSpec(TPopupListboxItemEhSpecKind Kind);
TPopupListboxItemEhData* PopupListboxItemEhData();
// Made by InitDBGridEhUnit (a repeat keeps the first set) and freed by FinalizeDBGridEhUnit.
void CreateFilterPopupListboxItems();
void FreeFilterPopupListboxItems();

// Fills Items anew with Column's values before a list drops down: the grid's fill hooks, the
// shared value object for plain entries, the check states ticked from the condition. Answers
// the list's width: AskedWidth, or wider where an entry needs more (EntryWidth answers the
// list width one entry's text needs), but not wider than the screen.
int FillSTFilterValueItems(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items, int AskedWidth,
                           const std::function<int(const std::string&)>& EntryWidth);
// The same for the title filter list.
int FillSTFilterValueList(TCustomDBGridEh* Grid, TColumnEh* Column, TPopupListboxEh* List, int AskedWidth);
// The width of a filter list that shows a caption CaptionWidth wide whole: the entry's box
// room with its margins, the caption, a vertical scroll bar and the frame (Border: both sides).
int FilterListWidthFor(int CaptionWidth, int Border);

// What a list leaves behind in its column's filter when it closes: no entries, ticks, pressed
// value or kept values.
void ForgetFilterListState(TSTColumnFilterEh* Filter);
// Space on a list's selected entry: an entry that leaves the list open acts at once, keeping the
// other checked values; any other closes the list with it chosen (CloseWithChoice).
void FilterListSpaceKey(TPopupListboxEh* List, const std::function<void()>& CloseWithChoice);

// The custom filter dialog for a column's condition: True when it closed with OK (the dialog's
// own unit).
bool ShowSimpleFilterDialog(TColumnEh* Column);

// String-table numbers of the special entries' captions; a program that ships no table gets
// the built-in texts.
constexpr int SFilterListSortDescendingIdEh = 65180;
constexpr int SFilterListSortAscendingIdEh = 65181;
constexpr int SFilterListClearFilterIdEh = 65183;
constexpr int SFilterListApplyFilterIdEh = 65184;
constexpr int SFilterListCustomFilterIdEh = 65185;
constexpr int SFilterListAllValuesIdEh = 65186;
constexpr int SFilterListNotEmptyIdEh = 65187;
constexpr int SFilterListEmptyIdEh = 65188;
// The caption of a special entry: the string table's text, else the built-in one.
std::string FilterListCaption(int Id);
