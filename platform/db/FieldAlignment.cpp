// The right-to-left rule for the alignment of a field's cells.
#include "platform/db/Fields.h"

// Mirroring moves a text to the reading side. Numbers and dates keep their digits in
// left-to-right order and their units lined up at the right, so their alignment stays; a
// centred text looks the same mirrored. Everything else may follow the reading direction.
bool OkToChangeFieldAlignment(TField* Field, TAlignment Alignment) {
  if (Alignment == taCenter) return false;
  if (!Field) return true;
  switch (Field->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp:
      return false;
    default:
      return true;
  }
}
