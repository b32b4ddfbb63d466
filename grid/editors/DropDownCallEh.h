#pragma once
// What the stand-alone editors and the grid's cell editor do alike when they drop something
// down: the drop-down form call (its form, the values passed out, the value taken back, the
// closing notice), the calendar's and the calculator's results and the MRU item test.
#include <functional>
#include <string>

#include "grid/data/DynVarsEh.h"
#include "grid/foundation/DropDownFormEh.h"
#include "grid/foundation/MRUListEh.h"
#include "platform/db/DB.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Variant.h"
#include "platform/win/Windows.h"

// The notice a form's close callback posts to its editor's window: WParam the window, LParam
// the item the call was made for.
void PostDropDownFormClosedEh(HWND Wnd, const TObject* Item);
// The notice for Item waits in Wnd's queue: the click arriving now is the one that closed the
// form, and must not open it again.
bool DropDownFormClosePendingEh(HWND Wnd, const TObject* Item);

// The form of a call: the assigned form, else the shared instance of the registered class
// named by DropDownFormClassName (made when the class has none; FreeOnClose tells that the
// class keeps no instance). nullptr when neither is given. Raises "Class '<name>' is not
// registered" for an unknown name.
TCustomForm* ResolveDropDownFormEh(TDropDownFormCallParamsEh* Params, bool& FreeOnClose);

// Fills DynParams for a call over DataSet (may be nullptr): the PassFieldNames fields by name,
// else Text under FieldName (pspFieldValueEh) or every field (pspRecordValuesEh).
void FillDropDownFormParamsEh(TDynVarsEh* DynParams, TDropDownFormCallParamsEh* Params, TDataSet* DataSet,
                              const std::string& FieldName, const std::string& Text, TComponent* Lookup);

// Whether the close callback writes back at all (the call passed values or names fields).
bool DropDownFormAssignsBackEh(TDropDownFormCallParamsEh* Params);
// The value an editor's own field takes back: the one value passed under pspFieldValueEh,
// else the parameter named after the field; nullptr when there is none.
TDynVarEh* DropDownFormFieldResultEh(TDynVarsEh* DynParams, TDropDownFormCallParamsEh* Params,
                                     const std::string& FieldName);
// The close callback's write-back with Accept: DataSet (nullptr: an unbound editor, whose own
// value SetOwnValue takes) is put into edit state unless it is editing already; the
// AssignBackFieldNames fields take the parameters of their names, else the editor's own field
// (FieldName) takes DropDownFormFieldResultEh through SetOwnValue; an edit started here is posted,
// or cancelled when a value is refused (the error goes on to the caller).
void AssignBackDropDownFormEh(TDataSet* DataSet, TDropDownFormCallParamsEh* Params, TDynVarsEh* DynParams,
                              const std::string& FieldName, TComponent* Lookup,
                              const std::function<void(const Variant&)>& SetOwnValue);

// The form's own size while the call's saved size is shown, given back when it closes.
struct TDropDownFormSizeEh {
  bool Saved = false;
  int OwnWidth = 0;
  int OwnHeight = 0;
  // Notes the form's size and applies a positive FormWidth/FormHeight (SaveFormSize only).
  void Apply(TCustomForm* Form, TDropDownFormCallParamsEh* Params);
  // Stores the user's size into Params and gives the form its own size back.
  void Restore(TCustomForm* Form, TDropDownFormCallParamsEh* Params) const;
};

// The calendar's date with the time of day of Old, both read by the date-time encoding: before
// 1899-12-30 the time is a positive fraction counted away from zero, so it is subtracted.
TDateTime JoinDateWithTimeOfDayEh(TDateTime Date, TDateTime Old);
// The calculator's value is a number an editor takes (not an error or empty value).
bool IsCalculatorNumberEh(const Variant& Value);
// An MRU item offered for Text: it begins with Text.
bool MRUItemMatchesEh(const std::string& Item, const std::string& Text, bool CaseSensitive);

// Fills Box with List's items that Filter accepts for Text and shows it without activation
// under EditRect of Host (client coordinates), List.Rows rows high (fewer when fewer items) and
// List.Width wide (the edit rectangle's width when 0), in Font and Color. Answers False, and
// shows nothing, when no item is left or a waiting key stopped the filtering.
bool DropDownMRUListBoxEh(TMRUListboxEh* Box, TMRUListEh* List, TWinControl* Host, const TRect& EditRect,
                          const std::string& Text, TFont* Font, TColor Color,
                          const std::function<void(const std::string& Item, bool& Accept)>& Filter);
// A hidden, sorted, flat MRU list box owned by Owner.
TMRUListboxEh* NewMRUListBoxEh(TComponent* Owner);
// Hides Box (releasing its mouse capture); answers whether it had the keyboard focus.
bool HideMRUListBoxEh(TMRUListboxEh* Box);
