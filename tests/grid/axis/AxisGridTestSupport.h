#pragma once
// Shared test support of the axis grid: the thin grid of tests/support with counts of its
// hooks, and a fixture with the grid on a shown form over a TMemoryDataSet.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/axis/DBAxisGridEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "tests/support/ThinAxisGrid.h"

// The thin grid's column and line parameters, under the names the tests use.
using TTestAxisBarEh = TThinAxisBarEh;
using TTestAxisLineParamsEh = TThinAxisLineParamsEh;

// An in-memory data set that offers the in-memory-table interface; only the auto filter's
// wildcard (Wildcard) and the row count answer anything of interest.
class TTestMemTableDataSetEh : public TMemoryDataSet, public IMemTableEh {
 public:
  using TMemoryDataSet::TMemoryDataSet;
  RTL_INTERFACES(IMemTableEh)
  std::string Wildcard = "*";
  void RequestRows(int) override {}
  bool GetTreeNodeExpanded() override { return false; }
  bool GetTreeNodeHasChildren() override { return false; }
  int GetTreeNodeLevel() override { return 1; }
  int GetNextTreeNodeLevel() override { return -1; }
  int GetRowCount() override { return RecordCount(); }
  int GetRowIndex() override { return 0; }
  bool IsTreeViewMode() override { return false; }
  void RemoveFilterItem(TMemTableFilterItemEh) override {}
  bool GetTreeNodeHasNextSibling(int) override { return false; }
  int SetTreeNodeExpanded(int, bool) override { return 0; }
  void InstantReadEnter(int) override {}
  void InstantReadLeave() override {}
  void RegisterEventReceiver(IMemTableEventReceiverEh*) override {}
  void UnregisterEventReceiver(IMemTableEventReceiverEh*) override {}
  TMemTableFilterItemEh AddFilterItem(const TFilterRecordEvent&) override { return 1; }
  void ApplyFilterItems() override {}
  int GetCurrentRecordIndex() override { return -1; }
  TBookmark GetPositionedBookmark() override { return {}; }
  void GotoBookmarkEh(const TBookmark&) override {}
  bool IsTreeMode() override { return false; }
  std::string GetAutoFilterWildcard() override { return Wildcard; }
  void BeginUpdate() override {}
  void EndUpdate() override {}
};

// The thin grid with counts of its hooks, for tests of the layout protocol.
class TTestAxisGridEh : public TThinAxisGridEh {
  RTL_CLASS(TTestAxisGridEh, TThinAxisGridEh)
 public:
  explicit TTestAxisGridEh(TComponent* AOwner) : TThinAxisGridEh(AOwner, kBufferRows) {}

  // How many records the link keeps in its window.
  static constexpr int kBufferRows = 20;

  void DataChanged() override;
  void Scroll(int Distance) override;
  void EditingChanged() override { ++EditingChangedCount; }
  int InternalLayoutCount = 0;
  int DataChangedCount = 0;
  int EditingChangedCount = 0;
  std::vector<int> Scrolls;

  // Protected members tests reach.
  using TCustomDBAxisGridEh::InternalLayout;
  using TCustomDBAxisGridEh::WMDeferredLayout;

 protected:
  void InternalLayout() override;
};

// The thin lookup grid under the name the tests use.
using TLookupGridDoubleEh = TThinLookupGridEh;

// Adds to DataSet (fields made, not yet created) the string lookup field CITY of 20 over
// CODE, showing List's City for its Code.
void AddCityLookupField(TDataSet* DataSet, TDataSet* List);

// A shown form with a TTestAxisGridEh over a TMemoryDataSet of three fields (ID integer,
// NAME string of 20, AMOUNT float), filled with Rows rows by the test.
class AxisGridTestBase : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Appends rows (ID, NAME, AMOUNT) and leaves the data set on the first.
  void AddRows(const std::vector<std::tuple<int, std::string, double>>& Rows);
  void Pump();

  TForm* form = nullptr;
  TTestAxisGridEh* grid = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
};
