#pragma once
// Invariant checks in the data-set tests and the grid/data tests: the rule a structure's
// CheckConsistency names (BrokenRule), that rule reported as a test failure, and a data link
// that checks a memory data set whenever it reports what it shows changed (the end of each
// change, scroll and state change; not the browse-mode check that opens an operation).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/db/DB.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Consistency.h"

// The rule a structure's CheckConsistency names as broken, or "" when all hold.
template <class T>
std::string BrokenRule(const T& Structure) {
  try {
    Structure.CheckConsistency();
  } catch (const EInternalError& e) {
    return e.Message();
  }
  return "";
}

template <class T>
void ExpectConsistent(const T& Structure) {
  EXPECT_EQ(BrokenRule(Structure), "");
}

class TConsistencyWatch : public TDataLink {
 public:
  explicit TConsistencyWatch(TMemoryDataSet* DataSet) : source_(new TDataSource(nullptr)) {
    source_->SetDataSet(DataSet);
    SetDataSource(source_.get());
  }
  ~TConsistencyWatch() override { SetDataSource(nullptr); }
  int Checks = 0;

 protected:
  void DataEvent(TDataEvent Event, intptr_t Info) override {
    TDataLink::DataEvent(Event, Info);
    const bool settled = Event == deRecordChange || Event == deDataSetChange || Event == deDataSetScroll ||
                         Event == deLayoutChange || Event == deUpdateState;
    if (auto* ds = dynamic_cast<TMemoryDataSet*>(DataSet()); ds != nullptr && settled) {
      ++Checks;
      ExpectConsistent(*ds);
    }
  }

 private:
  struct FreeSource {
    void operator()(TDataSource* s) const { s->Free(); }
  };
  std::unique_ptr<TDataSource, FreeSource> source_;
};
