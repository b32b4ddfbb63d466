// The state-only common controls: what they store and answer, their geometry by style, the
// track bar's custom draw, settings and mouse, and the registered names.
#include "tests/platform/win/ControlTestUtil.h"
#include "tests/support/SurfacePixels.h"

namespace wintest {
namespace {

using TCommonControlsTest = TControlTest;

int InsertTab(HWND tab, int at, const char* text, LPARAM param = 0) {
  TCITEM item;
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = const_cast<char*>(text);
  item.lParam = param;
  return static_cast<int>(
      SendMessage(tab, TCM_INSERTITEM, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item)));
}

RECT Rc(HWND h, UINT msg, WPARAM w = 0) {
  RECT r{};
  SendMessage(h, msg, w, reinterpret_cast<LPARAM>(&r));
  return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

TEST_F(TCommonControlsTest, TabItemsSelectionAndFocus) {
  HWND tab = Control(WC_TABCONTROL, "", 0, RECT{0, 0, 300, 200});
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(InsertTab(tab, 0, "First", 11), 0);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);  // the first tab is selected
  EXPECT_EQ(InsertTab(tab, 99, "Third", 33), 1);        // past the end appends
  EXPECT_EQ(InsertTab(tab, 0, "Zero", 0), 0);           // shifts the selection
  EXPECT_EQ(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURFOCUS, 0, 0), 1);

  char buffer[4];
  TCITEM item;
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  ASSERT_TRUE(SendMessage(tab, TCM_GETITEM, 2, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(buffer, "Thi");  // cut to the buffer
  EXPECT_EQ(item.lParam, 33);
  EXPECT_FALSE(SendMessage(tab, TCM_GETITEM, 3, reinterpret_cast<LPARAM>(&item)));

  EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 2, 0), 1);  // answers the previous selection
  EXPECT_EQ(SendMessage(tab, TCM_GETCURFOCUS, 0, 0), 2);
  EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 5, 0), -1);
  EXPECT_TRUE(SendMessage(tab, TCM_DELETEITEM, 0, 0));
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(SendMessage(tab, TCM_DELETEITEM, 1, 0));  // the selected one
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(SendMessage(tab, TCM_GETCURFOCUS, 0, 0), -1);
  EXPECT_FALSE(SendMessage(tab, TCM_DELETEITEM, 7, 0));
}

TEST_F(TCommonControlsTest, TabGeometryFollowsTheStyle) {
  struct TCase {
    DWORD Style;
    const char* Side;
  };
  const TCase cases[] = {
      {0, "top"}, {TCS_BOTTOM, "bottom"}, {TCS_VERTICAL, "left"}, {TCS_VERTICAL | TCS_RIGHT, "right"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Side);
    HWND tab = Control(WC_TABCONTROL, "", c.Style, RECT{0, 0, 300, 200});
    InsertTab(tab, 0, "One");
    InsertTab(tab, 1, "Another");
    RECT client;
    GetClientRect(tab, &client);
    RECT display = client;
    SendMessage(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    // The tab band is on the named side: the display area leaves more room there.
    const int left = display.Left, top = display.Top, right = client.Right - display.Right,
              bottom = client.Bottom - display.Bottom;
    const std::string side = c.Side;
    const int biggest = std::max({left, top, right, bottom});
    EXPECT_EQ(biggest, side == "top" ? top : side == "bottom" ? bottom : side == "left" ? left : right);
    EXPECT_GT(biggest, std::min({left, top, right, bottom}));

    RECT back = display;
    SendMessage(tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&back));
    EXPECT_EQ(back, client);

    RECT one = Rc(tab, TCM_GETITEMRECT, 0), two = Rc(tab, TCM_GETITEMRECT, 1);
    EXPECT_TRUE(Inside(one, client));
    RECT both;
    EXPECT_FALSE(IntersectRect(both, one, display));  // tabs lie outside the display area
    if (c.Style & TCS_VERTICAL) {
      EXPECT_EQ(two.Top, one.Bottom);
      EXPECT_GT(two.Height(), one.Height());  // the longer text
    } else {
      EXPECT_EQ(two.Left, one.Right);
      EXPECT_GT(two.Width(), one.Width());
    }
    EXPECT_FALSE(SendMessage(tab, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&both)));
    DestroyWindow(tab);
  }
}

RECT Grown(RECT r, int by) {
  InflateRect(r, by, by);
  return r;
}

// The selected tab looked like the others. It is drawn last, over its neighbours and the
// page's edge: its item rectangle grown by two pixels on every side, with edges on the three
// sides away from the page; the others stand on the page's edge.
TEST_F(TCommonControlsTest, TheSelectedTabStandsRaisedOverThePageEdge) {
  struct TCase {
    const char* Id;
    DWORD Style;
    UINT Open;  // the edges a tab draws
  };
  const TCase cases[] = {{"top", 0, BF_LEFT | BF_TOP | BF_RIGHT},
                         {"bottom", TCS_BOTTOM, BF_LEFT | BF_BOTTOM | BF_RIGHT},
                         {"left", TCS_VERTICAL, BF_LEFT | BF_TOP | BF_BOTTOM},
                         {"right", TCS_VERTICAL | TCS_RIGHT, BF_TOP | BF_RIGHT | BF_BOTTOM}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    HWND tab = Control(WC_TABCONTROL, "", c.Style, RECT{0, 0, 300, 200});
    InsertTab(tab, 0, "One");
    InsertTab(tab, 1, "Two");
    InsertTab(tab, 2, "Three");
    SendMessage(tab, TCM_SETCURSEL, 1, 0);
    const RECT item[] = {Rc(tab, TCM_GETITEMRECT, 0), Rc(tab, TCM_GETITEMRECT, 1),
                         Rc(tab, TCM_GETITEMRECT, 2)};
    const TDrawLog log = Painted(tab);
    const auto edges = log.OfKind(TDrawKind::Edge);
    ASSERT_EQ(edges.size(), 4u);
    const RECT page = edges[0]->Rect;
    EXPECT_EQ(edges[0]->Flags, BF_RECT);
    EXPECT_EQ(edges[1]->Rect, item[0]);
    EXPECT_EQ(edges[2]->Rect, item[2]);
    EXPECT_EQ(edges[3]->Rect, Grown(item[1], 2));
    for (const TDrawCall* edge : {edges[1], edges[2], edges[3]}) {
      EXPECT_EQ(edge->Flags, c.Open);
      EXPECT_EQ(edge->Note, "EDGE_RAISED");
    }
    // The tabs stand on the page's outer edge.
    const int side = c.Open == (BF_LEFT | BF_TOP | BF_RIGHT)      ? item[0].Bottom - page.Top
                     : c.Open == (BF_LEFT | BF_BOTTOM | BF_RIGHT) ? page.Bottom - item[0].Top
                     : c.Open == (BF_LEFT | BF_TOP | BF_BOTTOM)   ? item[0].Right - page.Left
                                                                  : page.Right - item[0].Left;
    EXPECT_EQ(side, 0);
    // The selected tab's face is filled just before its edges, over what lay there.
    const auto fill = std::find_if(log.Calls.begin(), log.Calls.end(), [&](const TDrawCall& call) {
      return call.Kind == TDrawKind::FillRect && call.Rect == Grown(item[1], 2);
    });
    ASSERT_NE(fill, log.Calls.end());
    EXPECT_EQ(&*(fill + 1), edges[3]);
    DestroyWindow(tab);
  }
}

// TCS_BUTTONS: push buttons without a page, the selected one pushed in.
TEST_F(TCommonControlsTest, TabButtonsShowTheSelectedOnePushedIn) {
  HWND tab = Control(WC_TABCONTROL, "", TCS_BUTTONS, RECT{0, 0, 300, 200});
  InsertTab(tab, 0, "One");
  InsertTab(tab, 1, "Two");
  SendMessage(tab, TCM_SETCURSEL, 1, 0);
  const TDrawLog log = Painted(tab);
  const auto edges = log.OfKind(TDrawKind::Edge);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_EQ(edges[0]->Rect, Rc(tab, TCM_GETITEMRECT, 0));
  EXPECT_EQ(edges[1]->Rect, Rc(tab, TCM_GETITEMRECT, 1));
  EXPECT_EQ(edges[0]->Flags, BF_RECT);
  EXPECT_EQ(edges[1]->Flags, BF_RECT);
  EXPECT_EQ(edges[0]->Note, "EDGE_RAISED");
  EXPECT_EQ(edges[1]->Note, "EDGE_SUNKEN");
}

TEST_F(TCommonControlsTest, OwnerDrawnTabsAskTheParent) {
  std::vector<std::string> drawn;
  parentHandler_ = [&](UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_DRAWITEM) return std::nullopt;
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
    drawn.push_back(std::to_string(dis->CtlType) + " " + std::to_string(dis->itemID) + " " +
                    std::to_string(dis->itemState) + " " + std::to_string(dis->itemData));
    return TRUE;
  };
  HWND tab = Control(WC_TABCONTROL, "", TCS_OWNERDRAWFIXED, RECT{0, 0, 300, 200});
  InsertTab(tab, 0, "A", 7);
  InsertTab(tab, 1, "B", 8);
  SendMessage(tab, TCM_SETCURSEL, 1, 0);
  TDrawLog log = Painted(tab);
  EXPECT_EQ(drawn, (std::vector<std::string>{"101 0 0 7", "101 1 1 8"}));
  EXPECT_TRUE(log.OfKind(TDrawKind::DrawText).empty());
  parentHandler_ = nullptr;
}

TEST_F(TCommonControlsTest, HeaderItemsAndRectangles) {
  HWND header = Control(WC_HEADER, "", 0, RECT{0, 0, 300, 20});
  const std::pair<const char*, int> columns[] = {{"Name", 100}, {"Size", 60}, {"Date", 80}};
  for (auto [text, width] : columns) {
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_LPARAM;
    item.pszText = const_cast<char*>(text);
    item.cxy = width;
    item.lParam = width * 2;
    EXPECT_GE(SendMessage(header, HDM_INSERTITEM, 100, reinterpret_cast<LPARAM>(&item)), 0);
  }
  ASSERT_EQ(SendMessage(header, HDM_GETITEMCOUNT, 0, 0), 3);
  int left = 0;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    RECT r = Rc(header, HDM_GETITEMRECT, static_cast<WPARAM>(i));
    EXPECT_EQ(r, (RECT{left, 0, left + columns[i].second, 20}));
    left = r.Right;
    char buffer[16];
    HDITEM item;
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_LPARAM;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    ASSERT_TRUE(SendMessage(header, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(buffer, columns[i].first);
    EXPECT_EQ(item.cxy, columns[i].second);
    EXPECT_EQ(item.lParam, columns[i].second * 2);
  }
  RECT r;
  EXPECT_FALSE(SendMessage(header, HDM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r)));
}

TEST_F(TCommonControlsTest, TrackBarPositionAndGeometry) {
  HWND track = Control(TRACKBAR_CLASS, "", 0, RECT{0, 0, 216, 30});
  SendMessage(track, TBM_SETRANGE, FALSE, MAKELPARAM(10, 20));
  struct TCase {
    int Set;
    int Want;
  };
  for (TCase c : {TCase{15, 15}, TCase{25, 20}, TCase{-3, 10}}) {
    SendMessage(track, TBM_SETPOS, FALSE, c.Set);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), c.Want);
  }
  RECT channel = Rc(track, TBM_GETCHANNELRECT);
  SendMessage(track, TBM_SETPOS, FALSE, 10);
  RECT atMin = Rc(track, TBM_GETTHUMBRECT);
  SendMessage(track, TBM_SETPOS, FALSE, 15);
  RECT atMid = Rc(track, TBM_GETTHUMBRECT);
  SendMessage(track, TBM_SETPOS, FALSE, 20);
  RECT atMax = Rc(track, TBM_GETTHUMBRECT);
  EXPECT_GT(channel.Width(), channel.Height());
  EXPECT_EQ((atMin.Left + atMin.Right) / 2, channel.Left);
  EXPECT_EQ((atMax.Left + atMax.Right) / 2, channel.Right);
  EXPECT_EQ((atMid.Left + atMid.Right) / 2, (channel.Left + channel.Right) / 2);

  // The widest range neither overflows nor draws a tic for every value.
  HWND wide = Control(TRACKBAR_CLASS, "", TBS_AUTOTICKS, RECT{0, 0, 216, 30}, 7);
  SendMessage(wide, TBM_SETRANGEMIN, FALSE, INT32_MIN);
  SendMessage(wide, TBM_SETRANGEMAX, FALSE, INT32_MAX);
  SendMessage(wide, TBM_SETPOS, FALSE, INT32_MAX);
  RECT wideThumb = Rc(wide, TBM_GETTHUMBRECT);
  EXPECT_EQ((wideThumb.Left + wideThumb.Right) / 2, Rc(wide, TBM_GETCHANNELRECT).Right);
  EXPECT_EQ(Painted(wide).OfKind(TDrawKind::Line).size(), 2u);

  // A vertical bar moves its thumb down; its channel is still answered as if horizontal.
  HWND vert = Control(TRACKBAR_CLASS, "", TBS_VERT, RECT{0, 40, 30, 256}, 6);
  SendMessage(vert, TBM_SETPOS, FALSE, 50);
  RECT thumb = Rc(vert, TBM_GETTHUMBRECT);
  RECT vchannel = Rc(vert, TBM_GETCHANNELRECT);
  EXPECT_GT(thumb.Width(), thumb.Height());
  EXPECT_GT(vchannel.Width(), vchannel.Height());
  EXPECT_EQ((thumb.Top + thumb.Bottom) / 2, (vchannel.Left + vchannel.Right) / 2);
}

TEST_F(TCommonControlsTest, TrackBarCustomDrawStages) {
  struct TCase {
    LRESULT Pre;
    DWORD_PTR SkipPart;  // answered CDRF_SKIPDEFAULT at item prepaint
    std::vector<std::string> Stages;
    size_t Edges;  // channel and thumb draw one edge each
  };
  const TCase cases[] = {
      {CDRF_DODEFAULT, 0, {"pre"}, 2},
      {CDRF_NOTIFYITEMDRAW, 0, {"pre", "item 3", "item 1", "item 2"}, 2},
      {CDRF_NOTIFYITEMDRAW, TBCD_THUMB, {"pre", "item 3", "item 1", "item 2"}, 1},
      {CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT,
       TBCD_CHANNEL,
       {"pre", "item 3", "item 1", "item 2", "post"},
       1},
      {CDRF_SKIPDEFAULT, 0, {"pre"}, 0},
  };
  HWND track = Control(TRACKBAR_CLASS, "", TBS_AUTOTICKS, RECT{0, 0, 216, 30});
  const RECT channel = Rc(track, TBM_GETCHANNELRECT), thumb = Rc(track, TBM_GETTHUMBRECT);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Pre);
    std::vector<std::string> stages;
    parentHandler_ = [&](UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
      if (m != WM_NOTIFY) return std::nullopt;
      const auto* cd = reinterpret_cast<const NMCUSTOMDRAW*>(l);
      if (cd->hdr.code != NM_CUSTOMDRAW || cd->hdr.hwndFrom != track) return 0;
      EXPECT_NE(cd->hdc, nullptr);
      if (cd->dwDrawStage == CDDS_PREPAINT) {
        stages.push_back("pre");
        return c.Pre;
      }
      if (cd->dwDrawStage == CDDS_POSTPAINT) {
        stages.push_back("post");
        return 0;
      }
      EXPECT_EQ(cd->dwDrawStage, CDDS_ITEMPREPAINT);
      stages.push_back("item " + std::to_string(cd->dwItemSpec));
      if (cd->dwItemSpec == TBCD_CHANNEL) {
        EXPECT_EQ(cd->rc, channel);
      }
      if (cd->dwItemSpec == TBCD_THUMB) {
        EXPECT_EQ(cd->rc, thumb);
      }
      return cd->dwItemSpec == c.SkipPart ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
    };
    TDrawLog log = Painted(track);
    EXPECT_EQ(stages, c.Stages);
    EXPECT_EQ(log.OfKind(TDrawKind::Edge).size(), c.Edges);
    const bool tics = !log.OfKind(TDrawKind::Line).empty();
    EXPECT_EQ(tics, c.Pre != CDRF_SKIPDEFAULT);
  }
  parentHandler_ = nullptr;
}

TEST_F(TCommonControlsTest, TrackBarSettingsTicsAndSelection) {
  HWND track = Control(TRACKBAR_CLASS, "", 0, RECT{0, 0, 216, 30});
  EXPECT_EQ(SendMessage(track, TBM_GETPAGESIZE, 0, 0), 20);  // a fifth of the range until set
  EXPECT_EQ(SendMessage(track, TBM_SETPAGESIZE, 0, 7), 20);  // answers the previous size
  EXPECT_EQ(SendMessage(track, TBM_GETPAGESIZE, 0, 0), 7);
  EXPECT_EQ(SendMessage(track, TBM_SETLINESIZE, 0, 3), 1);
  EXPECT_EQ(SendMessage(track, TBM_GETLINESIZE, 0, 0), 3);

  EXPECT_FALSE(SendMessage(track, TBM_SETTIC, 0, 101));  // outside the range
  for (int tic : {30, 10, 30}) EXPECT_TRUE(SendMessage(track, TBM_SETTIC, 0, tic));
  EXPECT_EQ(SendMessage(track, TBM_GETTIC, 0, 0), 10);
  EXPECT_EQ(SendMessage(track, TBM_GETTIC, 1, 0), 30);
  EXPECT_EQ(SendMessage(track, TBM_GETTIC, 2, 0), -1);
  EXPECT_EQ(SendMessage(track, TBM_GETNUMTICS, 0, 0), 4);  // both ends and the two set
  SendMessage(track, TBM_CLEARTICS, FALSE, 0);
  EXPECT_EQ(SendMessage(track, TBM_GETNUMTICS, 0, 0), 2);

  HWND autoTicks = Control(TRACKBAR_CLASS, "", TBS_AUTOTICKS, RECT{0, 40, 216, 70}, 6);
  SendMessage(autoTicks, TBM_SETTICFREQ, 25, 0);
  EXPECT_EQ(SendMessage(autoTicks, TBM_GETNUMTICS, 0, 0), 5);
  HWND none = Control(TRACKBAR_CLASS, "", TBS_NOTICKS, RECT{0, 80, 216, 110}, 7);
  EXPECT_EQ(SendMessage(none, TBM_GETNUMTICS, 0, 0), 0);

  SendMessage(track, TBM_SETSEL, FALSE, MAKELPARAM(10, 40));
  EXPECT_EQ(SendMessage(track, TBM_GETSELSTART, 0, 0), 10);
  EXPECT_EQ(SendMessage(track, TBM_GETSELEND, 0, 0), 40);
  SendMessage(track, TBM_CLEARSEL, FALSE, 0);
  EXPECT_EQ(SendMessage(track, TBM_GETSELEND, 0, 0), 0);
}

TEST_F(TCommonControlsTest, TrackBarDragInAReversedRangeStaysAtTheMinimum) {
  HWND track = Control(TRACKBAR_CLASS, "", 0, RECT{0, 0, 216, 30});
  SendMessage(track, TBM_SETRANGEMIN, FALSE, 50);
  SendMessage(track, TBM_SETRANGEMAX, FALSE, 10);
  EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 50);
  std::vector<std::pair<int, int>> codes;
  parentHandler_ = [&](UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m != WM_HSCROLL) return std::nullopt;
    EXPECT_EQ(l, reinterpret_cast<LPARAM>(track));
    codes.emplace_back(LOWORD(w), HIWORD(w));
    return 0;
  };
  const RECT thumb = Rc(track, TBM_GETTHUMBRECT);
  const int y = (thumb.Top + thumb.Bottom) / 2;
  SendMessage(track, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((thumb.Left + thumb.Right) / 2, y));
  EXPECT_EQ(GetCapture(), track);
  for (int x : {200, 0, 120}) SendMessage(track, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessage(track, WM_LBUTTONUP, 0, MAKELPARAM(120, y));
  EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(codes, (std::vector<std::pair<int, int>>{{TB_THUMBPOSITION, 50}, {TB_ENDTRACK, 0}}));
  EXPECT_EQ(GetCapture(), nullptr);

  // Capture taken away mid-drag ends the drag at once.
  codes.clear();
  SendMessage(track, TBM_SETRANGEMAX, FALSE, 100);
  const RECT moved = Rc(track, TBM_GETTHUMBRECT);
  SendMessage(track, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((moved.Left + moved.Right) / 2, y));
  ReleaseCapture();
  SendMessage(track, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, y));
  EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 50);
  EXPECT_EQ(codes, (std::vector<std::pair<int, int>>{{TB_THUMBPOSITION, 50}, {TB_ENDTRACK, 0}}));
}

TEST_F(TCommonControlsTest, UpDownRangeAndPosition) {
  HWND ud = Control(UPDOWN_CLASS, "", 0, RECT{0, 0, 16, 24});
  // The default range runs from 100 down to 0: maximum in the low word, minimum in the high word.
  EXPECT_EQ(SendMessage(ud, UDM_GETRANGE, 0, 0), MAKELONG(0, 100));
  SendMessage(ud, UDM_SETRANGE, 0, MAKELPARAM(50, 10));
  EXPECT_EQ(SendMessage(ud, UDM_GETRANGE, 0, 0), MAKELONG(50, 10));
  struct TCase {
    int Set;
    int Want;
  };
  int previous = 0;
  for (TCase c : {TCase{20, 20}, TCase{70, 50}, TCase{5, 10}}) {
    EXPECT_EQ(SendMessage(ud, UDM_SETPOS, 0, MAKELPARAM(c.Set, 0)), previous);
    EXPECT_EQ(SendMessage(ud, UDM_GETPOS, 0, 0), c.Want);
    previous = c.Want;
  }
  HWND horz = Control(UPDOWN_CLASS, "", UDS_HORZ, RECT{20, 0, 52, 16}, 6);
  for (auto [h, first, second] : {std::tuple{ud, DFCS_SCROLLUP, DFCS_SCROLLDOWN},
                                  std::tuple{horz, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}}) {
    TDrawLog log = Painted(h);
    auto arrows = log.OfKind(TDrawKind::FrameControl);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_EQ(arrows[0]->Flags & 0xFF, first);
    EXPECT_EQ(arrows[1]->Flags & 0xFF, second);
  }
}

TEST_F(TCommonControlsTest, ProgressRangePositionAndFill) {
  HWND bar = Control(PROGRESS_CLASS, "", 0, RECT{0, 0, 102, 20});
  PBRANGE range;
  EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
  EXPECT_EQ(range.iHigh, 100);
  EXPECT_EQ(SendMessage(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 200)), MAKELONG(0, 100));
  EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, FALSE, 0), 200);
  EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 50, 0), 0);
  EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 500, 0), 50);  // answers the old position
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 200);
  SendMessage(bar, PBM_SETPOS, 100, 0);

  auto fill = [](HWND h) {
    TDrawLog log = Painted(h);
    for (const TDrawCall* c : log.OfKind(TDrawKind::FillRect))
      if (c->Color == GetSysColor(COLOR_HIGHLIGHT)) return c->Rect;
    return RECT{};
  };
  EXPECT_EQ(fill(bar), (RECT{1, 1, 51, 19}));  // half from the left
  HWND vert = Control(PROGRESS_CLASS, "", PBS_VERTICAL, RECT{0, 30, 20, 132}, 6);
  SendMessage(vert, PBM_SETPOS, 25, 0);
  EXPECT_EQ(fill(vert), (RECT{1, 76, 19, 101}));  // a quarter from the bottom
}

TEST_F(TCommonControlsTest, StatusBarPartsTextAndPlacement) {
  HWND sb = Control(STATUSCLASSNAME, "", SBARS_SIZEGRIP, RECT{0, 0, 10, 10});
  RECT parentClient, bar;
  GetClientRect(parent_, &parentClient);
  GetWindowRect(sb, &bar);
  POINT origin{bar.Left, bar.Top};
  ScreenToClient(parent_, &origin);
  EXPECT_EQ(origin.Y + bar.Height(), parentClient.Bottom);  // along the bottom
  EXPECT_EQ(bar.Width(), parentClient.Width());

  EXPECT_EQ(SendMessage(sb, SB_GETPARTS, 0, 0), 1);
  const int edges[] = {100, 250, -1};
  ASSERT_TRUE(SendMessage(sb, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
  int got[3] = {};
  EXPECT_EQ(SendMessage(sb, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(got)), 3);
  EXPECT_EQ(got[0], 100);
  EXPECT_EQ(got[1], 250);
  EXPECT_EQ(got[2], 0);  // only as many as asked

  RECT client;
  GetClientRect(sb, &client);
  RECT r0 = Rc(sb, SB_GETRECT, 0), r1 = Rc(sb, SB_GETRECT, 1), r2 = Rc(sb, SB_GETRECT, 2);
  EXPECT_EQ(r0.Left, 0);
  EXPECT_EQ(r0.Right, 100);
  EXPECT_GE(r1.Left, 100);
  EXPECT_EQ(r1.Right, 250);
  EXPECT_EQ(r2.Right, client.Right - GetSystemMetrics(SM_CXVSCROLL));  // the grip's corner is left free
  EXPECT_FALSE(SendMessage(sb, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&r0)));
  EXPECT_FALSE(SendMessage(sb, SB_SETPARTS, 300, reinterpret_cast<LPARAM>(edges)));
  EXPECT_FALSE(SendMessage(sb, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(edges)));

  ASSERT_TRUE(SendMessage(sb, SB_SETTEXT, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Ready")));
  char text[16];
  EXPECT_EQ(SendMessage(sb, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), MAKELONG(5, SBT_POPOUT));
  EXPECT_STREQ(text, "Ready");
  EXPECT_EQ(SendMessage(sb, SB_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_FALSE(SendMessage(sb, SB_SETTEXT, 5, reinterpret_cast<LPARAM>("x")));

  // The grip answers as the sizing corner.
  POINT corner{client.Right - 2, client.Bottom - 2};
  ClientToScreen(sb, &corner);
  EXPECT_EQ(SendMessage(sb, WM_NCHITTEST, 0, MAKELPARAM(corner.X, corner.Y)), HTBOTTOMRIGHT);
}

TEST_F(TCommonControlsTest, ListViewAnswersItsHeader) {
  HWND report = Control(WC_LISTVIEW, "", LVS_REPORT, RECT{0, 0, 200, 100});
  HWND header = reinterpret_cast<HWND>(SendMessage(report, LVM_GETHEADER, 0, 0));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(GetParent(header), report);
  EXPECT_EQ(GetClassName(header), WC_HEADER);
  EXPECT_TRUE(IsWindowVisible(header));
  HDITEM item;
  item.mask = HDI_WIDTH;
  item.cxy = 40;
  EXPECT_EQ(SendMessage(header, HDM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)), 0);

  HWND icons = Control(WC_LISTVIEW, "", LVS_ICON, RECT{0, 0, 200, 100}, 6);
  HWND hidden = reinterpret_cast<HWND>(SendMessage(icons, LVM_GETHEADER, 0, 0));
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden));
}

TEST_F(TCommonControlsTest, NameOnlyClassesAreRegistered) {
  for (const char* name : {WC_COMBOBOXEX, WC_TREEVIEW, TOOLBARCLASSNAME}) {
    SCOPED_TRACE(name);
    HWND h = Control(name, "text", 0, RECT{0, 0, 50, 20});
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetWindowText(h), "text");
    EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 0);
    DestroyWindow(h);
  }
}

}  // namespace
}  // namespace wintest
