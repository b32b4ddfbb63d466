#pragma once
// Shared test support of the data grid: a TDBGridEh on a shown form over a TMemoryDataSet.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"

// A shown 500 x 400 form with a TDBGridEh (no border, client-aligned) over a TMemoryDataSet of
// four fields: ID integer, NAME string of 20, AMOUNT float, PAID boolean. The grid's unit is
// started. Rows are added by the test.
class DBGridTestBase : public ::testing::Test {
 protected:
  // Makes the grid SetUp puts on the form; a fixture may hand a subclass.
  virtual TDBGridEh* MakeGrid(TComponent* AOwner);
  void SetUp() override;
  void TearDown() override;
  // Appends rows (ID, NAME, AMOUNT; PAID = odd ID) and leaves the data set on the first.
  void AddRows(const std::vector<std::tuple<int, std::string, double>>& Rows);
  // Appends Count rows numbered from 1.
  void AddNumberedRows(int Count);
  // Adds a persistent column for each field name.
  void AddColumns(const std::vector<std::string>& FieldNames);
  // Moves the rows into an in-memory table with the same fields that offers the grid its data
  // interface (grouping needs it), binds the grid to it and makes it dataSet.
  void UseMemTable();
  void Pump();

  TForm* form = nullptr;
  TDBGridEh* grid = nullptr;
  TMemoryDataSet* dataSet = nullptr;
  TDataSource* source = nullptr;
  // Errors raised inside message handlers (painting included), in order; without this they
  // would end in a message box that waits for a click.
  std::vector<std::string> handlerErrors;
};

// One cell the grid asked to be drawn.
struct TRecordedCellEh {
  int Col = 0;
  int Row = 0;
  int AreaCol = 0;
  int AreaRow = 0;
  TCellAreaTypeEh CellType{};
  TRect Rect{};
  TGridDrawState State{};
};

// A data grid that records the cells its paint asks for instead of drawing them, so that Paint's
// own steps (which cells, where, in which order) can be tested without the cell painters.
class TRecordingDBGridEh : public TDBGridEh {
 public:
  using TDBGridEh::TDBGridEh;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  // The cell recorded for (ACol, ARow) last; nullptr when it was not asked for.
  const TRecordedCellEh* Find(int ACol, int ARow) const;

  std::vector<TRecordedCellEh> cells;
};

// DBGridTestBase with a TRecordingDBGridEh as its grid.
class RecordingDBGridTestBase : public DBGridTestBase {
 protected:
  TDBGridEh* MakeGrid(TComponent* AOwner) override;
  TRecordingDBGridEh* Recorder() const { return static_cast<TRecordingDBGridEh*>(grid); }
  // Clears the records, paints the grid at once and answers what it asked for.
  const std::vector<TRecordedCellEh>& Repaint();
};

// Single cells drawn through a grid's canvas onto a bitmap that holds them, the calls recorded.
struct TCellPaintEh {
  // The area column, area row and type GetCellType answers, and the cell's rectangle.
  using TDraw = std::function<void(int AreaCol, int AreaRow, TCellAreaTypeEh Type, const TRect& Cell)>;
  // Clears the bitmap to white, then records what Draw puts on it for cell (ACol, ARow).
  void Record(TDBGridEh* Grid, int ACol, int ARow, const TDraw& Draw);
  std::string Texts() const;  // every text drawn, joined
  COLORREF FirstFill() const { return log.OfKind(TDrawKind::FillRect).at(0)->Color; }
  // The calls of Kind, of those only the ones noted Note when it is given.
  int Count(TDrawKind Kind, const std::string& Note = "") const;
  COLORREF Pixel(int X, int Y) { return GetPixel(bitmap.Canvas()->Handle(), X, Y); }

  TBitmap bitmap;
  TDrawLog log;
  TRect cell;
};

// The message of the X that Fn raises; "" when it raises none.
template <class X = Exception, class F>
std::string ErrorOf(F&& Fn) {
  try {
    Fn();
  } catch (const X& e) {
    return e.Message();
  }
  return "";
}
