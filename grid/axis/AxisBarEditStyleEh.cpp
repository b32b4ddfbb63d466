// The edit style of a column's cell: which button the cell shows and which drop-down the cell
// editor binds, from the column's ButtonStyle, its field and its edit buttons.
#include <vector>

#include "grid/axis/AxisBarEh.h"
#include "grid/axis/DBAxisGridEh.h"

namespace axis_bar_edit_style_detail {

bool IsCalendarType(TFieldType T) {
  return T == ftDate || T == ftDateTime || T == ftTimeStamp;
}

}  // namespace axis_bar_edit_style_detail

using namespace axis_bar_edit_style_detail;

TInplaceEditStyleEh TAxisBarEh::ResolveAutoStyle(bool ForCellButton) {
  TField* field = GetField();
  if (!field) return esSimpleEh;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (field->FieldKind() == fkLookup) {
    // A lookup field offers its list or nothing: the rows for other fields never apply.
    const bool designing = grid && grid->ComponentState().Contains(csDesigning);
    if (!(ForCellButton && designing)) {
      const std::vector<TField*> keys = LookupKeyFieldList(field);
      if (keys.empty()) return esSimpleEh;
      for (TField* key : keys)
        if (!key->CanModify()) return esSimpleEh;
    }
    if (IsAssigned(abvReadOnly) && ReadOnly()) return esSimpleEh;
    if (grid && (grid->ReadOnly() || !grid->DataLink()->Active() || grid->DataLink()->ReadOnly()))
      return esSimpleEh;
    if (ForCellButton && !(field->LookupDataSet() && field->LookupDataSet()->Active())) return esSimpleEh;
    return esDataListEh;
  }
  if (HasPickListItems() && !ReadOnly()) return esPickListEh;
  if (IsCalendarType(field->DataType()) && !ReadOnly()) return esDateCalendarEh;
  TDropDownFormCallParamsEh* form = DropDownFormParams();
  if (form && (!form->DropDownFormClassName().empty() || form->DropDownForm())) return esDropDownEh;
  return esSimpleEh;
}

TInplaceEditStyleEh TAxisBarEh::StyleFromButtonStyle(bool ForCellButton) {
  switch (ButtonStyle()) {
    case cbsAuto:
      return ResolveAutoStyle(ForCellButton);
    case cbsEllipsis:
      return esEllipsisEh;
    case cbsNone:
      return esSimpleEh;
    case cbsUpDown:
      return esUpDownEh;
    case cbsDropDown:
      return esDropDownEh;
    case cbsAltUpDown:
      return esAltUpDownEh;
    case cbsAltDropDown: {
      TField* field = GetField();
      return field && IsCalendarType(field->DataType()) ? esAltDateCalendarEh : esAltDropDownEh;
    }
  }
  return esSimpleEh;
}

TInplaceEditStyleEh TAxisBarEh::GetInplaceEditStyle() {
  const TInplaceEditStyleEh style = StyleFromButtonStyle(false);
  if (style != esSimpleEh) return style;
  // Without a button of its own, the editor lends the role to the first visible edit button.
  TEditButtonsEh* buttons = EditButtons();
  for (int i = 0; i < buttons->Count(); ++i) {
    TEditButtonEh* button = buttons->Items(i);
    if (!button->Visible()) continue;
    switch (button->Style()) {
      case ebsEllipsisEh:
        return esEllipsisEh;
      case ebsUpDownEh:
        return esUpDownEh;
      case ebsAltUpDownEh:
        return esAltUpDownEh;
      case ebsDropDownEh:
      case ebsAltDropDownEh: {
        // The field decides as under cbsAuto, but a drop-down button opens no form here.
        const TInplaceEditStyleEh byField = ResolveAutoStyle(false);
        return byField == esDropDownEh ? esSimpleEh : byField;
      }
      default:
        return esSimpleEh;
    }
  }
  return esSimpleEh;
}

TInplaceEditStyleEh TAxisBarEh::GetCellButtonStyle() {
  // The edit buttons are painted as buttons of their own: the table alone decides.
  return StyleFromButtonStyle(true);
}
