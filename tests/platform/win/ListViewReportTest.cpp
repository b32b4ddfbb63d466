// The list view's report view: rows under the header's columns with the selection band, and
// the vertical window scroll bar moved by the bar, the wheel, the keys and clicks.
#include "platform/win/Input.h"
#include "platform/win/WinTesting.h"
#include "tests/platform/win/ControlTestUtil.h"
#include "tests/support/SurfacePixels.h"

namespace wintest {
namespace {

class TListViewReportTest : public TControlTest {
 protected:
  // A report view 200 wide with columns of 60 and 80 (the second right-aligned) and `count` rows.
  HWND Report(int count, int height) {
    HWND lv = Control(WC_LISTVIEW, "", LVS_REPORT, RECT{10, 10, 210, 10 + height});
    HWND header = reinterpret_cast<HWND>(SendMessage(lv, LVM_GETHEADER, 0, 0));
    for (int c = 0; c < 2; ++c) {
      HDITEM column;
      column.mask = HDI_WIDTH | HDI_FORMAT;
      column.cxy = c == 0 ? 60 : 80;
      column.fmt = c == 0 ? HDF_LEFT : HDF_RIGHT;
      SendMessage(header, HDM_INSERTITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < count; ++i) {
      std::string caption = "row " + std::to_string(i), amount = std::to_string(i);
      LVITEM item;
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = caption.data();
      EXPECT_EQ(SendMessage(lv, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)), i);
      item.iSubItem = 1;
      item.pszText = amount.data();
      EXPECT_TRUE(SendMessage(lv, LVM_SETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
    }
    return lv;
  }
  static RECT Row(HWND lv, int i) {
    RECT r{};
    SendMessage(lv, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }
};

TEST_F(TListViewReportTest, RowsUnderTheColumnsWithTheSelectionBand) {
  HWND lv = Report(5, 150);
  LVITEM state;
  state.state = state.stateMask = LVIS_SELECTED;
  SendMessage(lv, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
  Pump();
  RECT header;
  GetClientRect(reinterpret_cast<HWND>(SendMessage(lv, LVM_GETHEADER, 0, 0)), &header);
  EXPECT_EQ(Row(lv, 0).Top, header.Bottom);
  EXPECT_EQ(Row(lv, 3).Top, Row(lv, 2).Bottom);
  EXPECT_EQ(Row(lv, 2).Right, 140);
  // Probes away from the text: the left inset, the empty left part of the right-aligned column,
  // and beyond the last column.
  const struct {
    int row, x, colour;
  } cases[] = {{2, 1, COLOR_HIGHLIGHT}, {2, 64, COLOR_HIGHLIGHT}, {2, 139, COLOR_HIGHLIGHT},
               {2, 150, COLOR_WINDOW},  {1, 1, COLOR_WINDOW},     {3, 64, COLOR_WINDOW}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.x));
    const POINT at = ScreenPoint(lv, c.x, Row(lv, c.row).Top + 1);
    EXPECT_EQ(test_support::ScreenPixel(parent_, at), GetSysColor(c.colour));
  }
}

TEST_F(TListViewReportTest, TheBarTheWheelTheKeysAndClicksScrollAndSelect) {
  HWND lv = Report(100, 160);
  const int page = static_cast<int>(SendMessage(lv, LVM_GETCOUNTPERPAGE, 0, 0));
  ASSERT_GT(page, 5);
  EXPECT_TRUE(GetWindowLong(lv, GWL_STYLE) & WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(lv, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 99);
  EXPECT_EQ(static_cast<int>(si.nPage), page);
  EXPECT_LE(Row(lv, page - 1).Bottom, 160);  // the page: the rows that fit whole (no border)
  EXPECT_GT(Row(lv, page).Bottom, 160);
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(lv, OBJID_VSCROLL, &bar));
  const POINT track{(bar.rcScrollBar.Left + bar.rcScrollBar.Right) / 2,
                    bar.rcScrollBar.Bottom - bar.dxyLineButton - 2};

  enum TInput { kBar, kThumb, kWheel, kKey, kClickTrack, kClickRow };
  const int last = 100 - page;
  const struct {
    const char* name;
    int startTop, startSel;
    TInput input;
    int value;
    UINT wheelLines;
    int top, sel;
  } cases[] = {
      {"line down", 0, -1, kBar, SB_LINEDOWN, 3, 1, -1},
      {"page down", 1, -1, kBar, SB_PAGEDOWN, 3, 1 + page, -1},
      {"bottom", 0, -1, kBar, SB_BOTTOM, 3, last, -1},
      {"thumb", 0, -1, kThumb, 40, 3, 40, -1},
      {"thumb past the end", 0, -1, kThumb, 99, 3, last, -1},
      {"track below the thumb", 0, -1, kClickTrack, 0, 3, page, -1},
      {"wheel down", 0, -1, kWheel, -WHEEL_DELTA, 3, 3, -1},
      {"wheel up, five lines", 20, -1, kWheel, 2 * WHEEL_DELTA, 5, 10, -1},
      {"wheel a page a notch", 0, -1, kWheel, -WHEEL_DELTA, WHEEL_PAGESCROLL, page, -1},
      {"down", 0, 4, kKey, VK_DOWN, 3, 0, 5},
      {"up into view", 30, 30, kKey, VK_UP, 3, 29, 29},
      {"page down", 0, 0, kKey, VK_NEXT, 3, 0, page - 1},
      {"page up", 0, 10, kKey, VK_PRIOR, 3, 0, std::max(0, 11 - page)},
      {"end", 0, 3, kKey, VK_END, 3, last, 99},
      {"home", 50, 60, kKey, VK_HOME, 3, 0, 0},
      {"click a row", 10, -1, kClickRow, 2, 3, 10, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, c.wheelLines, nullptr, 0);
    SetFocus(lv);
    SendMessage(lv, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.startTop), 0);
    LVITEM state;
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (c.startSel >= 0)
      SendMessage(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(c.startSel), reinterpret_cast<LPARAM>(&state));
    if (c.input == kBar || c.input == kThumb)
      SendMessage(lv, WM_VSCROLL, MAKEWPARAM(c.input == kBar ? c.value : SB_THUMBTRACK, c.value), 0);
    else if (c.input == kWheel)
      Input::MouseWheel(c.value, ScreenPoint(lv, 20, 80)), Pump();
    else if (c.input == kKey)
      Press(c.value);
    else if (c.input == kClickTrack)
      WinTesting::Click(track), Pump();
    else
      ClickAt(lv, 100, Row(lv, c.startTop + c.value).Top + 2);
    EXPECT_EQ(SendMessage(lv, LVM_GETTOPINDEX, 0, 0), c.top);
    EXPECT_EQ(GetScrollPos(lv, SB_VERT), c.top);
    EXPECT_EQ(SendMessage(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), c.sel);
  }
}

}  // namespace
}  // namespace wintest
