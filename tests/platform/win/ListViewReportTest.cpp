// The list view's report view: rows under the header's columns with the selection band, and
// the vertical window scroll bar moved by the bar, the wheel, the keys and clicks.
#include <functional>

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
    HDITEM columns[] = {{.mask = HDI_WIDTH | HDI_FORMAT, .cxy = 60, .fmt = HDF_LEFT},
                        {.mask = HDI_WIDTH | HDI_FORMAT, .cxy = 80, .fmt = HDF_RIGHT}};
    for (int c = 0; c < 2; ++c)
      SendMessage(Header(lv), HDM_INSERTITEM, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&columns[c]));
    for (int i = 0; i < count; ++i) {
      std::string caption = "row " + std::to_string(i), amount = std::to_string(i);
      LVITEM item{.mask = LVIF_TEXT, .iItem = i, .pszText = caption.data()};
      EXPECT_EQ(SendMessage(lv, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)), i);
      item.iSubItem = 1;
      item.pszText = amount.data();
      EXPECT_TRUE(SendMessage(lv, LVM_SETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
    }
    return lv;
  }
  static HWND Header(HWND lv) { return reinterpret_cast<HWND>(SendMessage(lv, LVM_GETHEADER, 0, 0)); }
  static RECT Row(HWND lv, int i) {
    RECT r{};
    SendMessage(lv, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // Sets the selected and focused states of item i (-1: every item) to `state`.
  static void SetState(HWND lv, int i, UINT state) {
    LVITEM item{.state = state, .stateMask = LVIS_SELECTED | LVIS_FOCUSED};
    SendMessage(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
};

TEST_F(TListViewReportTest, RowsUnderTheColumnsWithTheSelectionBand) {
  HWND lv = Report(5, 150);
  SetState(lv, 2, LVIS_SELECTED);
  Pump();
  RECT header;
  GetClientRect(Header(lv), &header);
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
  SCROLLINFO si{.fMask = SIF_ALL};
  ASSERT_TRUE(GetScrollInfo(lv, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 99);
  EXPECT_EQ(static_cast<int>(si.nPage), page);
  const RECT first = Row(lv, 0);  // the page: the rows that fit whole (no border)
  EXPECT_EQ(page, (160 - first.Top) / (first.Bottom - first.Top));
  SCROLLBARINFO bar;
  ASSERT_TRUE(GetScrollBarInfo(lv, OBJID_VSCROLL, &bar));
  const POINT track{(bar.rcScrollBar.Left + bar.rcScrollBar.Right) / 2,
                    bar.rcScrollBar.Bottom - bar.dxyLineButton - 2};

  // Each row starts at a top row with one item selected (-1: none), gives one input with its
  // value, and says the top row and the selected item after it.
  using TInput = std::function<void(int)>;
  const TInput command = [&](int code) { SendMessage(lv, WM_VSCROLL, MAKEWPARAM(code, code), 0); };
  const TInput thumb = [&](int pos) { SendMessage(lv, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, pos), 0); };
  const TInput wheel = [&](int delta) { Input::MouseWheel(delta, ScreenPoint(lv, 20, 80)), Pump(); };
  const TInput key = [](int vk) { Press(vk); };
  const TInput clickTrack = [&](int) { WinTesting::Click(track), Pump(); };
  const TInput clickRow = [&](int row) { ClickAt(lv, 100, Row(lv, row).Top + 2); };
  const int last = 100 - page;
  const struct {
    const char* name;
    TInput input;
    int startTop, startSel, value;
    UINT wheelLines;
    int top, sel;
  } cases[] = {
      {"line down", command, 0, -1, SB_LINEDOWN, 3, 1, -1},
      {"page down", command, 1, -1, SB_PAGEDOWN, 3, 1 + page, -1},
      {"bottom", command, 0, -1, SB_BOTTOM, 3, last, -1},
      {"thumb", thumb, 0, -1, 40, 3, 40, -1},
      {"thumb past the end", thumb, 0, -1, 99, 3, last, -1},
      {"track below the thumb", clickTrack, 0, -1, 0, 3, page, -1},
      {"wheel down", wheel, 0, -1, -WHEEL_DELTA, 3, 3, -1},
      {"wheel up, five lines", wheel, 20, -1, 2 * WHEEL_DELTA, 5, 10, -1},
      {"wheel a page a notch", wheel, 0, -1, -WHEEL_DELTA, WHEEL_PAGESCROLL, page, -1},
      {"down", key, 0, 4, VK_DOWN, 3, 0, 5},
      {"up into view", key, 30, 30, VK_UP, 3, 29, 29},
      {"page down", key, 0, 0, VK_NEXT, 3, 0, page - 1},
      {"page up", key, 0, 10, VK_PRIOR, 3, 0, std::max(0, 11 - page)},
      {"end", key, 0, 3, VK_END, 3, last, 99},
      {"home", key, 50, 60, VK_HOME, 3, 0, 0},
      {"click the third row shown", clickRow, 10, -1, 12, 3, 10, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SystemParametersInfo(SPI_SETWHEELSCROLLLINES, c.wheelLines, nullptr, 0);
    SetFocus(lv);
    SendMessage(lv, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.startTop), 0);
    SetState(lv, -1, 0);
    if (c.startSel >= 0) SetState(lv, c.startSel, LVIS_SELECTED | LVIS_FOCUSED);
    c.input(c.value);
    EXPECT_EQ(SendMessage(lv, LVM_GETTOPINDEX, 0, 0), c.top);
    EXPECT_EQ(GetScrollPos(lv, SB_VERT), c.top);
    EXPECT_EQ(SendMessage(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), c.sel);
  }
}

}  // namespace
}  // namespace wintest
