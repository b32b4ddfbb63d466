// Small routines the data grid's files share.
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"

namespace dbgrid_detail {

TSortMarkerEh DefaultSortMarkerFor(TColumnEh* Column) {
  TField* field = Column ? Column->GetField() : nullptr;
  if (!field) return smDownEh;
  // Text and memo columns start descending, every other column ascending.
  if (field->InheritsFrom(TStringField::StaticClass()) || field->DataType() == ftMemo ||
      field->DataType() == ftFmtMemo)
    return smUpEh;
  return smDownEh;
}

TFontHeights MeasureFont(TCustomDBGridEh* Grid, TFont* AFont) {
  TFontHeights result;
  const bool ownDC = !Grid || !Grid->HandleAllocated();
  HDC dc = ownDC ? GetDC(nullptr) : Grid->Canvas()->Handle();
  TScopeExit releaseDC([&] {
    if (ownDC) ReleaseDC(nullptr, dc);
  });
  HGDIOBJ old = SelectObject(dc, AFont->Handle());
  TScopeExit restoreFont([&] { SelectObject(dc, old); });
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SIZE size{};
  GetTextExtentPoint32(dc, "Wg", &size);
  result.TextHeight = size.cy;
  result.FontHeight = tm.tmHeight;
  result.ExternalLeading = tm.tmExternalLeading;
  return result;
}

}  // namespace dbgrid_detail
