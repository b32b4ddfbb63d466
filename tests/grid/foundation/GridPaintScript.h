#pragma once
// A script of user actions on a base grid with every kind of band, for the paint oracle
// (tests/support/PaintOracle.h): the property test and the fuzz target share it.
//
// The grid has row numbers as a fixed column, a frozen column, a title row, a contra column and
// a contra row (as a ledger has its balance column and totals row), cells of several widths and
// heights, and cell texts that name the cell, drawn left- and right-aligned so that a cut or
// shifted cell shows. A setup (two bytes) varies the bands, pixel scrolling, strips, line width
// and reading order. Each step (two bytes) is one action through the input path the display
// host feeds: keys, the wheel, clicks and drags on the window's scroll bars, scroll messages,
// sizing columns and rows by mouse, cell clicks, the in-place editor, window resizes, and
// the focus leaving for a button beside the grid.
//
// The caller initialises the class library (InitVcl) and resets it between scripts (ResetVcl).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/foundation/GridsEh.h"
#include "platform/vcl/Forms.h"
#include "tests/support/PaintOracle.h"

namespace grid_paint_script {

struct TSetup {
  bool SmoothHorz = false;  // pixel scrolling
  bool SmoothVert = false;
  int ContraCols = 1;
  int ContraRows = 1;
  int FrozenCols = 1;
  bool Strips = false;       // out-boundary strips on all four sides
  bool RowSelect = false;    // goRowSelectEh
  int LineWidth = 1;         // GridLineWidth
  bool RightToLeft = false;  // BiDiMode right to left under a right-to-left locale
  bool ExtendedLines = false;
  // A small window with narrow cells: every band still shows, at a fraction of the pixels a
  // paint and a comparison cost (the fuzz target's pace).
  bool Compact = false;

  static TSetup FromBytes(uint8_t A, uint8_t B);
  std::string Describe() const;
};

// The kinds of step; a step's first byte picks one modulo kStepKinds.
enum TStepKind : uint8_t {
  skKey,
  skWheel,
  skScrollBarClick,
  skThumbDrag,
  skScrollMessage,
  skColSizing,
  skRowSizing,
  skCellClick,
  skEditor,
  skResize,
  skMouseSelect,
  skFocusAway,
  kStepKinds
};

class TScript {
 public:
  // Shows a form holding the grid, focused, and checks the first picture. Name prefixes the
  // pictures a mismatch writes.
  explicit TScript(const TSetup& Setup, const std::string& Name = "grid-paint-oracle");
  ~TScript();
  TScript(const TScript&) = delete;
  TScript& operator=(const TScript&) = delete;

  // Runs one action, pumps the messages and compares the picture with a full repaint (also in
  // the middle of a drag). Answers "" when every comparison matched, else the reports.
  std::string Step(uint8_t Kind, uint8_t Arg);

  // Compares the picture with a full repaint now: "" or the report.
  std::string CheckPicture() { return oracle_->Check(); }

  // What the script did, one step a line with its bytes, after the setup.
  std::string History() const;
  TCustomGridEh* Grid() const { return grid_; }
  TForm* Form() const { return form_; }
  const test_support::TPaintOracle& Oracle() const { return *oracle_; }

 private:
  std::string Key(uint8_t Arg);
  std::string Wheel(uint8_t Arg);
  std::string ScrollBarClick(uint8_t Arg);
  std::string ThumbDrag(uint8_t Arg);
  std::string ScrollMessage(uint8_t Arg);
  std::string Sizing(uint8_t Arg, bool Columns);
  std::string CellClick(uint8_t Arg, bool Extend);
  std::string Editor(uint8_t Arg);
  std::string Resize(uint8_t Arg);
  std::string FocusAway();
  POINT GridScreen(int X, int Y) const;
  void Pump();
  void CheckNow(const std::string& When);

  TSetup setup_;
  TForm* form_ = nullptr;
  TCustomGridEh* grid_ = nullptr;
  TWinControl* button_ = nullptr;  // takes the focus away from the grid
  std::unique_ptr<test_support::TPaintOracle> oracle_;
  std::vector<std::string> history_;
  std::string failures_;  // reports of the current step
  bool oldMiddleEast_ = false;
};

}  // namespace grid_paint_script
