#pragma once
// A memory stream that grows in large steps, and the data-set bookmark comparison the
// bookmark lists and grids share.
#include <cstdint>

#include "platform/db/DB.h"
#include "platform/rtl/Streams.h"

// Grows by twice its increment: a capacity request that differs from the current size is
// raised to the next multiple of 2 * MemoryDelta; a request equal to the size is kept exact.
class TMemoryStreamEh : public TMemoryStream {
  RTL_CLASS(TMemoryStreamEh, TMemoryStream)
 public:
  static constexpr int64_t DefaultMemoryDelta = 4096;

  TMemoryStreamEh() = default;
  int64_t MemoryDelta() const { return memoryDelta_; }
  // A value below 1 restores the default.
  void SetMemoryDelta(int64_t Value) { memoryDelta_ = Value < 1 ? DefaultMemoryDelta : Value; }

 protected:
  int64_t Realloc(int64_t NewCapacity) override;

 private:
  int64_t memoryDelta_ = DefaultMemoryDelta;
};

// The data set's own comparison of two bookmarks: below 0, 0 (same record) or above 0.
// Without a data set the bookmark bytes are compared.
int DataSetCompareBookmarks(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2);
