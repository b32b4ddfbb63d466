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

// The base of the filter-list entries: none of them takes the focus rectangle.
class TDBGridFilterPopupListboxItemEh : public TPopupListboxItemEh {
  RTL_CLASS(TDBGridFilterPopupListboxItemEh, TPopupListboxItemEh)
 public:
  TDBGridFilterPopupListboxItemEh() = default;
  bool CanFocus(TPopupListboxEh* Sender, int ItemIndex) override;
};

// The separator line; a click leaves the list open.
class TPopupListboxItemEhLine : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhLine, TDBGridFilterPopupListboxItemEh)
 public:
  TPopupListboxItemEhLine() = default;
  bool CloseOnExecute(TPopupListboxEh* Sender, int ItemIndex) override;
};

// Sorts by the column (or the group level) in the direction of its marker.
class TPopupListboxItemEhSort : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhSort, TDBGridFilterPopupListboxItemEh)
 public:
  explicit TPopupListboxItemEhSort(TSortMarkerEh Marker = smDownEh) : marker_(Marker) {}
  TSortMarkerEh Marker() const { return marker_; }

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

 private:
  TPopupListboxItemEhSpecKind kind_;
};

// Every data value of a list, with its check box; a click leaves the list open.
class TPopupListboxItemEhData : public TDBGridFilterPopupListboxItemEh {
  RTL_CLASS(TPopupListboxItemEhData, TDBGridFilterPopupListboxItemEh)
 public:
  TPopupListboxItemEhData() = default;
  bool CloseOnExecute(TPopupListboxEh* Sender, int ItemIndex) override;
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
// the list's width: AskedWidth, or wider where a special entry needs more (EntryWidth measures
// one with the list's font, images, scroll bar and frame).
int FillSTFilterValueItems(TCustomDBGridEh* Grid, TColumnEh* Column, TStrings* Items, int AskedWidth,
                           const std::function<int(const std::string&)>& EntryWidth);
// The same for the title filter list.
int FillSTFilterValueList(TCustomDBGridEh* Grid, TColumnEh* Column, TPopupListboxEh* List, int AskedWidth);

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
