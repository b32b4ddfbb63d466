// The aggregates of the first selected column of a rectangle or column selection, for the
// navigator's aggregation box: sum, count, average, minimum and maximum.
//
// The records are read without moving the cursor (the data set's record visit, or its scan of
// stored values for a whole column of plain numbers), so no control hears of a scroll and the
// current record stays current.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <typeinfo>

#include "grid/dbgrid/DBGridEh.h"
#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Currency.h"

namespace dbgrid_aggregates_detail {

// Exact totals of integers and of currency's ten-thousandths, past what 64 bits hold.
__extension__ using TAggregateWideSum = __int128;

// How values add up: integers and currency exactly, floats compensated; other values only
// count and compare.
enum class TSumKind { Integer, Float, Currency, None };

TSumKind SumKindOf(const TField* Field) {
  switch (Field->GetVarType()) {
    case varSmallint:
    case varInteger:
    case varWord:
    case varInt64:
    case varShortInt:
    case varByte:
    case varLongWord:
      return TSumKind::Integer;
    case varCurrency:
      return TSumKind::Currency;
    case varDouble:
    case varSingle:
      return TSumKind::Float;
    default:
      return dynamic_cast<const TNumericField*>(Field) ? TSumKind::Float : TSumKind::None;
  }
}

// Field classes whose value is the stored value as it is, so a scan of stored values reads what
// the field would answer.
bool ReadsStoredValue(const TField* Field) {
  const std::type_info& t = typeid(*Field);
  return t == typeid(TFloatField) || t == typeid(TCurrencyField) || t == typeid(TIntegerField) ||
         t == typeid(TSmallintField) || t == typeid(TWordField) || t == typeid(TAutoIncField) ||
         t == typeid(TLargeintField) || t == typeid(TBCDField);
}

class TAggregator {
 public:
  explicit TAggregator(TSumKind Kind) : kind_(Kind) {}

  void Add(const Variant& Value) {
    if (Value.IsNull() || Value.IsEmpty()) return;
    const bool first = count_++ == 0;
    switch (kind_) {
      case TSumKind::Integer: {
        const int64_t x = Value.AsInt64();
        exact_ += x;
        Keep(Value, first || x < minInt_, first || x > maxInt_, x, minInt_, maxInt_);
        break;
      }
      case TSumKind::Currency: {
        const int64_t x = Value.AsCurrency().Raw();
        exact_ += x;
        Keep(Value, first || x < minInt_, first || x > maxInt_, x, minInt_, maxInt_);
        break;
      }
      case TSumKind::Float: {
        const double x = Value.AsDouble();
        AddFloat(x);
        Keep(Value, first || x < minFloat_, first || x > maxFloat_, x, minFloat_, maxFloat_);
        break;
      }
      case TSumKind::None:
        if (first || Value < min_) min_ = Value;
        if (first || max_ < Value) max_ = Value;
        break;
    }
  }

  void Results(Variant& Sum, Variant& Count, Variant& Avg, Variant& Min, Variant& Max) const {
    Count = count_ <= INT32_MAX ? Variant(static_cast<int>(count_)) : Variant(count_);
    if (count_ == 0) return;
    Min = min_;
    Max = max_;
    if (kind_ == TSumKind::None) return;
    double total = 0;
    switch (kind_) {
      case TSumKind::Integer:
        total = static_cast<double>(exact_);
        Sum = FitsInt64() ? Variant(static_cast<long long>(exact_)) : Variant(total);
        break;
      case TSumKind::Currency:
        total = static_cast<double>(exact_) / 10000;
        Sum = FitsInt64() ? Variant(Currency::FromRaw(static_cast<int64_t>(exact_))) : Variant(total);
        break;
      default:
        total = floatSum_ + floatCompensation_;
        Sum = total;
        break;
    }
    Avg = total / static_cast<double>(count_);
  }

 private:
  template <class T>
  void Keep(const Variant& Value, bool Lower, bool Higher, T X, T& MinValue, T& MaxValue) {
    if (Lower) {
      MinValue = X;
      min_ = Value;
    }
    if (Higher) {
      MaxValue = X;
      max_ = Value;
    }
  }
  // Neumaier's compensated sum: the order of the records does not change the total.
  void AddFloat(double X) {
    const double t = floatSum_ + X;
    if (std::abs(floatSum_) >= std::abs(X))
      floatCompensation_ += (floatSum_ - t) + X;
    else
      floatCompensation_ += (X - t) + floatSum_;
    floatSum_ = t;
  }
  bool FitsInt64() const { return exact_ >= INT64_MIN && exact_ <= INT64_MAX; }

  TSumKind kind_;
  int64_t count_ = 0;
  TAggregateWideSum exact_ = 0;
  double floatSum_ = 0;
  double floatCompensation_ = 0;
  int64_t minInt_ = 0;
  int64_t maxInt_ = 0;
  double minFloat_ = 0;
  double maxFloat_ = 0;
  Variant min_;
  Variant max_;
};

// The leftmost visible column of the rectangle, or of the selected columns; nullptr for any other
// selection.
TColumnEh* FirstSelectedColumn(TCustomDBGridEh* Grid) {
  TDBGridEhSelection* selection = Grid->Selection();
  if (selection->SelectionType() == gstColumns) {
    TDBGridEhSelectionCols* columns = selection->Columns();
    for (int i = 0; i < columns->Count(); ++i)
      if (columns->Items(i)->Visible()) return columns->Items(i);
    return nullptr;
  }
  if (selection->SelectionType() != gstRectangle) return nullptr;
  TDBGridEhSelectionRect* rect = selection->Rect();
  const int right = std::min(rect->GetRightCol(), Grid->Columns()->Count() - 1);
  for (int i = std::max(rect->GetLeftCol(), 0); i <= right; ++i)
    if (Grid->Columns()->GetColumn(i)->Visible()) return Grid->Columns()->GetColumn(i);
  return nullptr;
}

// Every record in view through the stored values; false when the data set cannot be scanned so
// (the caller then visits the records), with the aggregator untouched.
bool ScanWholeColumn(TDataSet* DataSet, TField* Field, TAggregator& Aggregator) {
  if (Field->FieldKind() != fkData || Field->DataSet() != DataSet || Field->FieldNo() < 1 ||
      Field->FieldNo() > DataSet->DataSlotCount() || !ReadsStoredValue(Field))
    return false;
  const int fieldNo = Field->FieldNo();
  const TVarType type = Field->GetVarType();
  TAggregator scanned = Aggregator;
  const bool whole = DataSet->ScanStoredRecords([&](const TStoredRecord& Record) {
    const Variant& v = Record.Value(fieldNo);
    // A value of another type would be converted by the field: the record visit does that.
    if (!v.IsNull() && !v.IsEmpty() && v.VarType() != type) return false;
    scanned.Add(v);
    return true;
  });
  if (whole) Aggregator = scanned;
  return whole;
}

}  // namespace dbgrid_aggregates_detail

using dbgrid_aggregates_detail::TAggregator;

void TCustomDBGridEh::SelectionAggregates(Variant& Sum, Variant& Count, Variant& Avg, Variant& Min,
                                          Variant& Max) {
  Sum = Count = Avg = Min = Max = Unassigned();
  TDataSet* dataSet = DataLink() && DataLink()->Active() ? DataLink()->DataSet() : nullptr;
  // The records are read where they stand: a record in edit has no stored values yet.
  if (!dataSet || dataSet->State() != dsBrowse) return;
  TColumnEh* column = dbgrid_aggregates_detail::FirstSelectedColumn(this);
  TField* field = column ? column->GetField() : nullptr;
  if (!field) return;
  TAggregator aggregator(dbgrid_aggregates_detail::SumKindOf(field));
  if (Selection()->SelectionType() == gstColumns) {
    if (!dbgrid_aggregates_detail::ScanWholeColumn(dataSet, field, aggregator))
      dataSet->ForEachRecord([&](const TBookmark&) { aggregator.Add(field->AsVariant()); });
  } else {
    TDBGridEhSelectionRect* rect = Selection()->Rect();
    const TBookmark top = rect->GetTopRow();
    const TBookmark bottom = rect->GetBottomRow();
    // Once past the bottom row only the visit's own step remains for the rest.
    enum { kAbove, kInside, kBelow } where = kAbove;
    dataSet->ForEachRecord([&](const TBookmark& Bookmark) {
      if (where == kBelow) return;
      if (where == kAbove) {
        if (dataSet->CompareBookmarks(Bookmark, top) < 0) return;
        where = kInside;
      }
      aggregator.Add(field->AsVariant());
      if (dataSet->CompareBookmarks(Bookmark, bottom) >= 0) where = kBelow;
    });
  }
  aggregator.Results(Sum, Count, Avg, Min, Max);
}
