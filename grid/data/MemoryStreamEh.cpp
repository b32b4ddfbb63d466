#include "grid/data/MemoryStreamEh.h"

#include <limits>

RTL_IMPLEMENT_CLASS(TMemoryStreamEh)

int64_t TMemoryStreamEh::Realloc(int64_t NewCapacity) {
  if (NewCapacity <= 0 || NewCapacity == Size()) return NewCapacity;
  const int64_t step =
      memoryDelta_ > std::numeric_limits<int64_t>::max() / 2 ? memoryDelta_ : memoryDelta_ * 2;
  // Near the top of the range the exact request stands; the base stream enforces its limit.
  if (NewCapacity > std::numeric_limits<int64_t>::max() - (step - 1)) return NewCapacity;
  return (NewCapacity + step - 1) / step * step;
}

int DataSetCompareBookmarks(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (DataSet != nullptr) return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
  const int c = Bookmark1.compare(Bookmark2);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}
