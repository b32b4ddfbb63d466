#pragma once
// Shared test support of the base grid: a grid that records its DrawCell calls, on a shown
// form of known size, with the grid aligned to fill the form's client area.
#include <gtest/gtest.h>

#include <vector>

#include "grid/foundation/GridsEh.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"

// One DrawCell call.
struct TDrawCellCallEh {
  int Col = 0;
  int Row = 0;
  TRect Rect{};
  TGridDrawState State;
};

// The smallest concrete grid: DrawCell fills the cell and records the call.
class TTestGridEh : public TCustomGridEh {
 public:
  explicit TTestGridEh(TComponent* AOwner) : TCustomGridEh(AOwner) {}

  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    Drawn.push_back({ACol, ARow, ARect, AState});
    Canvas()->FillRect(ARect);
  }

  // The recorded call for a cell, nullptr when it was not drawn.
  const TDrawCellCallEh* FindDrawn(int ACol, int ARow) const {
    for (const auto& d : Drawn)
      if (d.Col == ACol && d.Row == ARow) return &d;
    return nullptr;
  }

  std::vector<TDrawCellCallEh> Drawn;

  // Protected members that tests reach.
  using TCustomGridEh::CalcMaxTopLeft;
  using TCustomGridEh::FocusCell;
  using TCustomGridEh::MoveTopLeft;
};

// Switches the locale to one that reads right to left for the scope, so a right-to-left
// BiDiMode takes effect.
struct TRightToLeftLocaleScope {
  bool old = SysLocale().MiddleEast;
  TRightToLeftLocaleScope() { SysLocale().MiddleEast = true; }
  ~TRightToLeftLocaleScope() { SysLocale().MiddleEast = old; }
};

// A form of FormClientWidth x FormClientHeight client pixels holding a TTestGridEh aligned to
// its client area. The grid starts without border and scroll bars, so its client area is the
// form's; tests that need them switch them on.
class GridTestBase : public ::testing::Test {
 protected:
  static constexpr int FormClientWidth = 400;
  static constexpr int FormClientHeight = 300;

  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 500, 400);
    grid = new TTestGridEh(form);
    grid->SetBorderStyle(bsNone);
    grid->SetScrollBars(ssNone);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    form->Show();
    // The frame is known once the window exists.
    form->SetClientWidth(FormClientWidth);
    form->SetClientHeight(FormClientHeight);
    Application->ProcessMessages();
    ASSERT_EQ(grid->ClientWidth(), FormClientWidth);
    ASSERT_EQ(grid->ClientHeight(), FormClientHeight);
  }
  void TearDown() override { ResetVcl(); }

  // Paints the grid now and answers what DrawCell saw.
  const std::vector<TDrawCellCallEh>& PaintGrid() {
    grid->Drawn.clear();
    grid->Invalidate();
    grid->Update();
    return grid->Drawn;
  }

  // Screen point of a client point of the grid (for scripted input).
  POINT GridToScreen(int X, int Y) {
    TPoint p = grid->ClientToScreen(TPoint{X, Y});
    return POINT{p.X, p.Y};
  }

  TForm* form = nullptr;
  TTestGridEh* grid = nullptr;
};
