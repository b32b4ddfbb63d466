#pragma once
// Shared test support of the data grid: a TDBGridEh on a shown form over a TMemoryDataSet.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

// A shown 500 x 400 form with a TDBGridEh (no border, client-aligned) over a TMemoryDataSet of
// four fields: ID integer, NAME string of 20, AMOUNT float, PAID boolean. The grid's unit is
// started. Rows are added by the test.
class DBGridTestBase : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Appends rows (ID, NAME, AMOUNT; PAID = odd ID) and leaves the data set on the first.
  void AddRows(const std::vector<std::tuple<int, std::string, double>>& Rows);
  // Appends Count rows numbered from 1.
  void AddNumberedRows(int Count);
  // Adds a persistent column for each field name.
  void AddColumns(const std::vector<std::string>& FieldNames);
  void Pump();

  TForm* form = nullptr;
  TDBGridEh* grid = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  // Errors raised inside message handlers (painting included), in order; without this they
  // would end in a message box that waits for a click.
  std::vector<std::string> handlerErrors;
};

// The message of the Exception that Fn raises; "" when it raises none.
template <class F>
std::string ErrorOf(F&& Fn) {
  try {
    Fn();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "";
}
