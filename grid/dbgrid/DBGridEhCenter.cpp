// The grid centre: its fields, the decisions it makes, the delegation to the data set's feature
// object, the wait cursor, the grid list and the shared instance.
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "platform/rtl/Exceptions.h"

RTL_IMPLEMENT_CLASS(TDBGridEhCenter)

namespace dbgrid_center_detail {
TDBGridEhCenter* gCenter = nullptr;
}  // namespace dbgrid_center_detail

TDBGridEhCenter::TDBGridEhCenter() = default;

TDBGridEhCenter::~TDBGridEhCenter() {
  if (dbgrid_center_detail::gCenter == this) dbgrid_center_detail::gCenter = nullptr;
  while (!grids_.empty()) {
    TCustomDBGridEh* grid = grids_.back();
    grids_.pop_back();
    grid->SetCenter(nullptr);
  }
}

void TDBGridEhCenter::RegisterGrid(TCustomDBGridEh* Grid) {
  if (Grid && !IsGridRegistered(Grid)) grids_.push_back(Grid);
}

void TDBGridEhCenter::UnregisterGrid(TCustomDBGridEh* Grid) {
  std::erase(grids_, Grid);
}

bool TDBGridEhCenter::IsGridRegistered(TCustomDBGridEh* Grid) {
  return std::find(grids_.begin(), grids_.end(), Grid) != grids_.end();
}

int TDBGridEhCenter::GetRecNoColWidth(TCustomDBGridEh* Grid) {
  return Grid ? Grid->CalcRecNoColWidth() : 0;
}

TSortMarkerEh TDBGridEhCenter::DefaultSortMarkerFor(TCustomDBGridEh* /*Grid*/, TColumnEh* Column) {
  return dbgrid_detail::DefaultSortMarkerFor(Column);
}

bool TDBGridEhCenter::IsSortMarkerAscending(TCustomDBGridEh* /*Grid*/, TColumnEh* /*Column*/,
                                            TSortMarkerEh Marker) {
  if (Marker == smNoneEh) throw Exception("SortOrder for SortMarker None is not defined.");
  return Marker == smDownEh;
}

TDBGridEhCenter* DBGridEhCenter() {
  return dbgrid_center_detail::gCenter;
}

void CreateDBGridEhCenter() {
  if (!dbgrid_center_detail::gCenter) dbgrid_center_detail::gCenter = new TDBGridEhCenter();
}

void FreeDBGridEhCenter() {
  TDBGridEhCenter* center = dbgrid_center_detail::gCenter;
  dbgrid_center_detail::gCenter = nullptr;
  delete center;
}
