// MessageBox: a real "#32770" dialog with its children, the owner disabled during the loop,
// scripted answers, and Enter, Escape and clicks answering; the icon of its kind and the button
// captions a program sets.
#include "platform/gdi/SurfaceAccess.h"
#include "platform/win/Display.h"
#include "platform/win/Painting.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TMessageBoxTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    owner_ = Make("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
    SetActiveWindow(owner_);
  }
  void TearDown() override {
    ClearMessageBoxAnswers();
    TWinTest::TearDown();
  }
  HWND owner_ = nullptr;
};

TEST_F(TMessageBoxTest, TheDialogIsARealWindowWithChildrenSeenByTheCreationHook) {
  struct TCreated {
    std::string Class;
    std::string Text;
    HWND Parent;
  };
  std::vector<TCreated> created;
  SetWindowsHookEx(
      WH_CBT,
      [&created](int code, WPARAM, LPARAM l) -> LRESULT {
        if (code == HCBT_CREATEWND) {
          const CREATESTRUCT* cs = reinterpret_cast<CBT_CREATEWND*>(l)->lpcs;
          created.push_back(TCreated{cs->lpszClass, cs->lpszName, cs->hwndParent});
        }
        return 0;
      },
      nullptr, GetCurrentThreadId());
  HWND box = nullptr;
  bool ownerEnabledDuring = true;
  RECT boxRect{};
  SetMessageBoxScript([&](const std::string& caption, const std::string& text, UINT type) {
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(text, "Delete the record?");
    EXPECT_EQ(type, MB_YESNO | MB_ICONQUESTION);
    box = GetActiveWindow();
    GetWindowRect(box, &boxRect);
    ownerEnabledDuring = IsWindowEnabled(owner_) != FALSE;
    return IDNO;
  });
  EXPECT_EQ(MessageBox(nullptr, "Delete the record?", "Confirm", MB_YESNO | MB_ICONQUESTION), IDNO);

  ASSERT_EQ(created.size(), 5u);
  EXPECT_EQ(created[0].Class, "#32770");
  EXPECT_EQ(created[0].Text, "Confirm");
  EXPECT_EQ(created[0].Parent, owner_);  // owned by the active window
  const std::vector<std::pair<std::string, std::string>> children = {
      {"Static", ""}, {"Static", "Delete the record?"}, {"Button", "&Yes"}, {"Button", "&No"}};
  for (size_t i = 0; i < children.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(created[i + 1].Class, children[i].first);
    EXPECT_EQ(created[i + 1].Text, children[i].second);
  }
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(GetActiveWindow(), owner_);
  // Centred on the owner.
  EXPECT_EQ(boxRect.Left + boxRect.Right, 100 + 500);
  EXPECT_EQ(boxRect.Top + boxRect.Bottom, 100 + 400);
}

TEST_F(TMessageBoxTest, QueuedAnswersComeFirstAndTheBoxBelongsToTheSystemModule) {
  HINSTANCE instance = nullptr;
  std::string cls;
  SetWindowsHookEx(
      WH_CBT,
      [&](int code, WPARAM w, LPARAM) -> LRESULT {
        if (code == HCBT_ACTIVATE && cls.empty()) {  // the box, not the owner after it
          instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtr(reinterpret_cast<HWND>(w), GWLP_HINSTANCE));
          cls = GetClassName(reinterpret_cast<HWND>(w));
        }
        return 0;
      },
      nullptr, GetCurrentThreadId());
  PushMessageBoxAnswer(IDRETRY);
  PushMessageBoxAnswer(IDIGNORE);
  int scripted = 0;
  SetMessageBoxScript([&scripted](const std::string&, const std::string&, UINT) {
    ++scripted;
    return IDCANCEL;
  });
  EXPECT_EQ(MessageBox(owner_, "a", "x", MB_ABORTRETRYIGNORE), IDRETRY);
  EXPECT_EQ(cls, "#32770");
  EXPECT_NE(instance, MainInstance());
  EXPECT_EQ(instance, GetModuleHandle("user32"));
  EXPECT_EQ(MessageBox(owner_, "b", "x", MB_ABORTRETRYIGNORE), IDIGNORE);
  EXPECT_EQ(MessageBox(owner_, "c", "x", MB_RETRYCANCEL), IDCANCEL);
  EXPECT_EQ(scripted, 1);
}

TEST_F(TMessageBoxTest, KeysAnswerTheDefaultAndTheCancelButtons) {
  struct TCase {
    UINT Type;
    int Key;
    int Expected;
  };
  const TCase cases[] = {
      {MB_OK, VK_RETURN, IDOK},
      {MB_OK, VK_ESCAPE, IDOK},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON2, VK_RETURN, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, VK_RETURN, IDCANCEL},
      {MB_YESNOCANCEL, VK_RETURN, IDYES},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Type) + " key " + std::to_string(c.Key));
    WinTesting::KeyPress(c.Key);
    EXPECT_EQ(MessageBox(owner_, "text", "caption", c.Type), c.Expected);
    Pump();
  }
}

TEST_F(TMessageBoxTest, EscapeDoesNotAnswerABoxWithoutCancelAndAClickDoes) {
  HWND box = nullptr;
  WinTesting::KeyPress(VK_ESCAPE);  // ignored: Yes/No has no cancel answer
  WinTesting::Schedule([&] {
    box = GetActiveWindow();
    HWND yes = GetDlgItem(box, IDYES);
    ASSERT_NE(yes, nullptr);
    RECT r{};
    GetWindowRect(yes, &r);
    WinTesting::Click(POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  });
  EXPECT_EQ(MessageBox(owner_, "Sure?", "caption", MB_YESNO), IDYES);
  EXPECT_FALSE(IsWindow(box));
}

TEST_F(TMessageBoxTest, TheBoxIsSizedFromItsTextAndCentredOnItsOwnerOrTheScreen) {
  struct TCase {
    const char* Id;
    std::string Text;
    UINT Type;
    bool Owned;  // else the box has no owner and centres on the work area
    int ScreenWidth, ScreenHeight;
    SIZE Client;  // margins of 12, the text (an icon's 32 x 32 beside it), buttons 75 x 23
    POINT TopLeft;
  };
  // The test font: 7 px a character (14 for a wide one), 13 px a line; text wraps at 480 px.
  // The window: a dialog frame of 3 and a caption of 19 around the client.
  const std::string words =
      "abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef abcdef";
  const TCase cases[] = {
      {"short-owner", "Hi", MB_OK, true, 1920, 1080, {99, 72}, {247, 201}},
      {"icon-owner", "Hi", MB_OK | MB_ICONQUESTION, true, 1920, 1080, {99, 91}, {247, 192}},
      {"long-owner", words, MB_OK, true, 1920, 1080, {458, 85}, {68, 195}},
      {"chinese-screen", "清除选择的单元？", MB_YESNOCANCEL, false, 1920, 1080, {261, 72}, {826, 471}},
      {"lines-xvfb", "Line one\nLine two is longer", MB_OKCANCEL, false, 1280, 1024, {180, 85}, {547, 457}},
      {"short-small", "Hi", MB_OK, false, 1024, 768, {99, 72}, {459, 335}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    ASSERT_TRUE(
        SetDisplayGeometry(c.ScreenWidth, c.ScreenHeight,
                           RECT{0, 0, c.ScreenWidth, c.ScreenHeight - (c.ScreenWidth == 1920 ? 40 : 0)}));
    HWND owner = c.Owned ? owner_ : nullptr;
    if (!c.Owned) SetActiveWindow(nullptr);
    RECT window{}, client{};
    DWORD style = 0;
    SetMessageBoxScript([&](const std::string&, const std::string&, UINT) {
      HWND box = GetActiveWindow();
      GetWindowRect(box, &window);
      GetClientRect(box, &client);
      style = static_cast<DWORD>(GetWindowLong(box, GWL_STYLE));
      return IDCANCEL;
    });
    MessageBox(owner, c.Text, "caption", c.Type);
    EXPECT_EQ(client, (RECT{0, 0, c.Client.cx, c.Client.cy}));
    EXPECT_EQ(window, (RECT{c.TopLeft.X, c.TopLeft.Y, c.TopLeft.X + c.Client.cx + 6,
                            c.TopLeft.Y + c.Client.cy + 6 + 19}));
    EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), 0u);
    ClearMessageBoxAnswers();
  }
}

// Each kind of box shows the system icon of its kind beside the text, over the box's face, pixel
// for pixel as the icon draws there; a box without a kind shows none and keeps no room for it.
TEST_F(TMessageBoxTest, TheBoxShowsTheIconOfItsKind) {
  constexpr int kIconLeft = 12, kIconTop = 12, kSize = 32;
  // The icon as it draws on the face: what the box must show.
  const auto onFace = [](int IconId) {
    std::vector<uint32_t> pixels(kSize * kSize);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(kSize, kSize, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, kSize, kSize};
    FillRect(dc, &all, GetSysColorBrush(COLOR_3DFACE));
    HICON icon = LoadIcon(nullptr, IconId);
    DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) pixels[static_cast<size_t>(y * kSize + x)] = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
  };
  struct TCase {
    const char* Id;
    UINT Type;
    int IconId;  // 0: no icon
  };
  const TCase cases[] = {
      {"error", MB_OK | MB_ICONERROR, IDI_HAND},
      {"question", MB_YESNO | MB_ICONQUESTION, IDI_QUESTION},
      {"warning", MB_OKCANCEL | MB_ICONWARNING, IDI_EXCLAMATION},
      {"information", MB_OK | MB_ICONINFORMATION, IDI_ASTERISK},
      {"none", MB_OK, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Id);
    std::vector<uint32_t> shown;
    HWND picture = nullptr, text = nullptr;
    RECT textRect{};
    SetMessageBoxScript([&](const std::string&, const std::string&, UINT) {
      HWND box = GetActiveWindow();
      FlushPaint();
      picture = GetDlgItem(box, 20);
      text = GetDlgItem(box, 0xFFFF);
      GetWindowRect(text, &textRect);
      POINT origin{0, 0};
      ClientToScreen(box, &origin);
      RECT window{};
      GetWindowRect(box, &window);
      int w = 0, h = 0;
      const uint32_t* surface = gdi_internal::BitmapPixels(GetTopLevelSurface(box), &w, &h);
      const int left = origin.X - window.Left + kIconLeft, top = origin.Y - window.Top + kIconTop;
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
          const uint32_t p = surface[(top + y) * w + left + x];
          shown.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
      ScreenToClient(box, reinterpret_cast<POINT*>(&textRect.Left));
      return IDOK;
    });
    MessageBox(owner_, "Hi", "caption", c.Type);
    EXPECT_EQ(picture != nullptr, c.IconId != 0);
    if (c.IconId) {
      EXPECT_TRUE(shown == onFace(c.IconId)) << "the box does not show the icon of its kind";
      for (int other : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK}) {
        if (other == c.IconId) continue;
        EXPECT_FALSE(shown == onFace(other)) << other;
      }
    }
    // The text beside the icon, or at the margin without one.
    EXPECT_EQ(textRect.Left, c.IconId ? kIconLeft + kSize + 12 : 12);
    ClearMessageBoxAnswers();
  }
}

// The buttons take the captions the program has set for its language; an id no box shows is
// ignored, and a reset brings the English ones back.
TEST_F(TMessageBoxTest, ButtonsAreCaptionedFromTheProgramsTable) {
  const auto captions = [&](UINT Type) {
    std::vector<std::string> out;
    SetMessageBoxScript([&](const std::string&, const std::string&, UINT) {
      HWND box = GetActiveWindow();
      for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetClassName(child) == "Button") out.push_back(GetWindowText(child));
      return IDCANCEL;
    });
    MessageBox(owner_, "text", "caption", Type);
    ClearMessageBoxAnswers();
    return out;
  };
  using TCaptions = std::vector<std::string>;
  EXPECT_EQ(captions(MB_YESNOCANCEL), (TCaptions{"&Yes", "&No", "Cancel"}));
  const std::pair<int, const char*> chinese[] = {
      {IDOK, "确定"},           {IDCANCEL, "取消"}, {IDABORT, "中止(&A)"}, {IDRETRY, "重试(&R)"},
      {IDIGNORE, "忽略(&I)"},   {IDYES, "是(&Y)"},  {IDNO, "否(&N)"},      {IDTRYAGAIN, "重试(&T)"},
      {IDCONTINUE, "继续(&C)"}, {IDHELP, "帮助"},
  };
  for (const auto& [id, caption] : chinese) SetMessageBoxButtonCaption(id, caption);
  EXPECT_EQ(MessageBoxButtonCaption(IDHELP), "");  // no box shows it
  const std::pair<UINT, TCaptions> boxes[] = {
      {MB_OK, {"确定"}},
      {MB_OKCANCEL, {"确定", "取消"}},
      {MB_ABORTRETRYIGNORE, {"中止(&A)", "重试(&R)", "忽略(&I)"}},
      {MB_YESNOCANCEL, {"是(&Y)", "否(&N)", "取消"}},
      {MB_YESNO, {"是(&Y)", "否(&N)"}},
      {MB_RETRYCANCEL, {"重试(&R)", "取消"}},
      {MB_CANCELTRYCONTINUE, {"取消", "重试(&T)", "继续(&C)"}},
  };
  for (const auto& [type, expected] : boxes) {
    SCOPED_TRACE(type);
    EXPECT_EQ(captions(type), expected);
  }
  ResetMessageBoxButtonCaptions();
  EXPECT_EQ(captions(MB_CANCELTRYCONTINUE), (TCaptions{"Cancel", "&Try Again", "&Continue"}));
}

}  // namespace
}  // namespace wintest
