// The demo's ledger detail window on a shown form: what its cells show (texts, the kind's
// image, check boxes, receipt pictures), and edits typed in a cell or clicked on a check box
// reaching the ledger.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerAxisGridForm.h"
#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/support/SurfacePixels.h"

namespace {

class LedgerAxisGridFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    ledger = CreateLedger(Application);
    form = CreateLedgerAxisGridForm(Application, ledger);
    form->Show();
    Pump();
    ASSERT_EQ(form->ControlCount(), 1);
    grid = dynamic_cast<TCustomDBAxisGridEh*>(form->Controls(0));
    ASSERT_NE(grid, nullptr);
  }
  void TearDown() override { ResetVcl(); }
  static void Pump() { Application->ProcessMessages(); }

  // The texts the grid draws for WM_PAINT, the last one of each cell by (col, row).
  std::string TextOf(const TDrawLog& log, int col, int row) const {
    const TRect cell = grid->CellRect(col, row);
    std::string last;
    for (const TDrawCall* c : log.OfKind(TDrawKind::Text))
      if (c->Rect.Left >= cell.Left && c->Rect.Right <= cell.Right && c->Rect.Top >= cell.Top &&
          c->Rect.Bottom <= cell.Bottom)
        last = c->Text;
    return last;
  }
  TDrawLog RecordPaint() {
    TDrawLog log;
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(grid->ClientWidth(), grid->ClientHeight());
    HDC dc = bmp->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    grid->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
    return log;
  }
  POINT Screen(int x, int y) const {
    const TPoint p = grid->ClientToScreen({x, y});
    return {p.X, p.Y};
  }
  POINT CellCentre(int col, int row) const {
    const TRect r = grid->CellRect(col, row);
    return Screen((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  // How many pixels of the cell show the colour.
  int CountIn(int col, int row, TColor color) const {
    const TRect r = grid->CellRect(col, row);
    const COLORREF want = ColorToRGB(color) & 0xFFFFFF;
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        n += test_support::ScreenPixel(form->Handle(), Screen(x, y)) == want;
    return n;
  }

  TMemoryDataSet* ledger = nullptr;
  TForm* form = nullptr;
  TCustomDBAxisGridEh* grid = nullptr;
};

TEST_F(LedgerAxisGridFormTest, CellsShowTextsImagesCheckBoxesAndReceipts) {
  const struct {
    int col, row;
    const char* text;
  } texts[] = {
      {lacAccount, 3, "餐饮"}, {lacKind, 1, "收入"},     {lacKind, 2, "支出"},    {lacAmount, 1, "8,200.00"},
      {lacAmount, 4, "21.37"}, {lacNote, 2, "一月房租"}, {lacAccount, 0, "账户"}, {lacReceipt, 0, "收据"},
  };
  const TDrawLog log = RecordPaint();
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text);
    EXPECT_EQ(TextOf(log, t.col, t.row), t.text);
  }
  // Row 1 is income with no receipt, row 2 a cleared expense, row 7 an expense not cleared.
  const struct {
    int row;
    bool up, checked, paidStamp, openStamp;
  } rows[] = {{1, true, true, false, false}, {2, false, true, true, false}, {7, false, false, false, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    EXPECT_EQ(CountIn(lacKindIcon, r.row, clGreen) > 0, r.up);
    EXPECT_EQ(CountIn(lacKindIcon, r.row, clRed) > 0, !r.up);
    EXPECT_EQ(CountIn(lacReceipt, r.row, clRed) > 0, r.paidStamp);
    EXPECT_EQ(CountIn(lacReceipt, r.row, clSilver) > 0, r.openStamp);
    EXPECT_EQ(CountIn(lacReceipt, r.row, clNavy) > 0, r.paidStamp || r.openStamp) << "the printed lines";
    // The check box is centred in the cell; its mark's low point lies 2 + (3, 5) inside.
    const TRect box = CalcAlignedRect(grid->CellRect(lacCleared, r.row), taCenter, tlCenter,
                                      TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()});
    EXPECT_EQ(test_support::ScreenPixel(form->Handle(), Screen(box.Left + 5, box.Top + 7)),
              ColorToRGB(r.checked ? clWindowText : clWindow) & 0xFFFFFF);
  }
}

// Typed text goes to the field when Enter closes the editor, and the record is posted; a
// click on a check box flips the flag.
constexpr const char* kLongNote = "超市购物：牛奶、面包、鸡蛋、水果、蔬菜和日用品";

TEST_F(LedgerAxisGridFormTest, EditsInPlaceReachTheLedger) {
  const struct {
    const char* id;
    int col, row;
    std::function<void()> input;
    const char* field;
    std::string value;  // the field's text afterwards
    const char* shown;  // what the cell shows then
  } cases[] = {
      {"note", lacNote, 3, [] { WinTesting::Type(std::string("\n") + kLongNote + "\n"); }, "Note", kLongNote,
       "超市购物：牛奶、面..."},  // cut with an ellipsis
      {"amount", lacAmount, 4, [] { WinTesting::Type("\n1234.5\n"); }, "Amount", "1234.5", "1,234.50"},
      {"kind", lacKind, 5, [] { WinTesting::Type("\n收入\n"); }, "Kind", "I", "收入"},
      {"cleared", lacCleared, 7, [] {}, "Cleared", "True", ""},
  };
  grid->SetFocus();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    WinTesting::Click(CellCentre(c.col, c.row));
    Pump();
    c.input();
    Pump();
    ASSERT_EQ(ledger->RecNo(), c.row);
    EXPECT_EQ(ledger->State(), dsBrowse);
    EXPECT_EQ(ledger->FieldByName(c.field)->AsString(), c.value);
    EXPECT_EQ(TextOf(RecordPaint(), c.col, c.row), c.shown);
  }
  // The long note does not fit its cell: its tool tip shows it whole; a short one has none.
  std::string tip;
  TRect area{};
  EXPECT_TRUE(grid->GetCellHint(lacNote, 3, tip, area));
  EXPECT_EQ(tip, kLongNote);
  EXPECT_FALSE(grid->GetCellHint(lacNote, 2, tip, area));
  EXPECT_EQ(tip, "");
}

// Alt+Down in an account cell drops the pick list on the current account; Down and Enter take
// the next one into the record.
TEST_F(LedgerAxisGridFormTest, AccountPickListChoosesByKeys) {
  grid->SetFocus();
  WinTesting::Click(CellCentre(lacAccount, 1));
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  auto* editor = dynamic_cast<TDBAxisGridInplaceEdit*>(grid->InplaceEditor());
  ASSERT_NE(editor, nullptr);
  Input::KeyDown(VK_MENU);
  WinTesting::KeyPress(VK_DOWN);
  Input::KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(editor->ListVisible());
  ASSERT_NE(editor->PickListBox(), nullptr);
  EXPECT_EQ(editor->PickListBox()->ItemIndex(), 0) << "工资";
  WinTesting::KeyPress(VK_DOWN);
  WinTesting::KeyPress(VK_RETURN);
  Pump();
  EXPECT_FALSE(editor->ListVisible());
  EXPECT_EQ(editor->Text(), "奖金");
  EXPECT_EQ(ledger->FieldByName("Account")->AsString(), "奖金");
}

}  // namespace
