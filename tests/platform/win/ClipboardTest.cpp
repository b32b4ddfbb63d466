// The in-memory clipboard and global memory: sessions and their formats, the open count,
// text synthesis with exact sizes, registered formats, stale handles, and the host bridge.
#include <cstring>

#include "platform/win/Clipboard.h"
#include "tests/platform/win/MessageLog.h"

namespace wintest {
namespace {

class TClipboardTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    ResetClipboardForTest();
    w = Make("w", WS_POPUP, {0, 0, 10, 10});
    other = Make("other", WS_POPUP, {0, 0, 10, 10});
  }
  void TearDown() override {
    SetClipboardHost(nullptr);
    ResetClipboardForTest();
    TWinTest::TearDown();
  }
  static HGLOBAL Block(const void* bytes, size_t size) { return GlobalAllocFrom(bytes, size); }
  static HGLOBAL Text(const std::string& s) { return Block(s.c_str(), s.size() + 1); }
  static HGLOBAL Wide(const std::u16string& s) { return Block(s.c_str(), (s.size() + 1) * 2); }
  static std::vector<uint8_t> Bytes(HANDLE h) {
    std::vector<uint8_t> out(GlobalSize(h));
    if (!out.empty()) {
      std::memcpy(out.data(), GlobalLock(h), out.size());
      GlobalUnlock(h);
    }
    return out;
  }
  static std::vector<UINT> Formats() {
    std::vector<UINT> out;
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) out.push_back(f);
    return out;
  }
  HWND w = nullptr;
  HWND other = nullptr;
};

TEST_F(TClipboardTest, FormatsWrittenInOneSessionFormOneContent) {
  const UINT csv = RegisterClipboardFormat("Csv");
  ASSERT_TRUE(OpenClipboard(w));
  ASSERT_TRUE(SetClipboardData(CF_TEXT, Text("a\tb")));
  ASSERT_TRUE(SetClipboardData(csv, Text("a,b")));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(GetClipboardOwner(), w);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(csv));

  // The next session's first write replaces the whole content.
  ASSERT_TRUE(OpenClipboard(other));
  EXPECT_EQ(Formats(), (std::vector<UINT>{CF_TEXT, csv, CF_UNICODETEXT}));
  ASSERT_TRUE(SetClipboardData(csv, Text("x")));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(CountClipboardFormats(), 1);
  EXPECT_EQ(GetClipboardOwner(), other);
}

TEST_F(TClipboardTest, OpenCountNestsForOneWindow) {
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_TRUE(OpenClipboard(w));
  EXPECT_FALSE(OpenClipboard(other));  // held by another window
  ASSERT_TRUE(SetClipboardData(CF_TEXT, Text("1")));
  EXPECT_TRUE(CloseClipboard());
  EXPECT_EQ(GetOpenClipboardWindow(), w);                     // still open: the inner close only counted down
  ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, Wide(u"1")));  // same session: added, not emptied
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
  EXPECT_EQ(CountClipboardFormats(), 2);
  EXPECT_EQ(SetClipboardData(CF_TEXT, Text("closed")), nullptr);  // needs an open clipboard
  EXPECT_FALSE(EmptyClipboard());
}

TEST_F(TClipboardTest, TextIsSynthesisedBothWaysWithExactSizes) {
  struct TCase {
    const char* Name;
    std::string Utf8;
    std::u16string Utf16;
  } cases[] = {
      {"ascii", "Grid", u"Grid"},
      {"empty", "", u""},
      {"umlaut and CJK", "\xC3\xA4\xE4\xB8\xAD", u"\u00E4\u4E2D"},
      {"beyond the BMP", "\xF0\x9F\x98\x80", u"\U0001F600"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    for (bool fromWide : {false, true}) {
      SCOPED_TRACE(fromWide ? "from CF_UNICODETEXT" : "from CF_TEXT");
      ASSERT_TRUE(OpenClipboard(w));
      ASSERT_TRUE(EmptyClipboard());
      ASSERT_TRUE(
          SetClipboardData(fromWide ? CF_UNICODETEXT : CF_TEXT, fromWide ? Wide(c.Utf16) : Text(c.Utf8)));
      HANDLE ansi = GetClipboardData(CF_TEXT);
      HANDLE wide = GetClipboardData(CF_UNICODETEXT);
      ASSERT_NE(ansi, nullptr);
      ASSERT_NE(wide, nullptr);
      EXPECT_EQ(GlobalSize(ansi), c.Utf8.size() + 1);
      EXPECT_EQ(GlobalSize(wide), (c.Utf16.size() + 1) * 2);
      std::vector<uint8_t> expectAnsi(c.Utf8.begin(), c.Utf8.end());
      expectAnsi.push_back(0);
      EXPECT_EQ(Bytes(ansi), expectAnsi);
      std::vector<uint8_t> expectWide;
      for (char16_t u : c.Utf16) {
        expectWide.push_back(static_cast<uint8_t>(u & 0xFF));
        expectWide.push_back(static_cast<uint8_t>(u >> 8));
      }
      expectWide.insert(expectWide.end(), {0, 0});
      EXPECT_EQ(Bytes(wide), expectWide);
      EXPECT_EQ(GetClipboardData(fromWide ? CF_TEXT : CF_UNICODETEXT), fromWide ? ansi : wide);  // cached
      ASSERT_TRUE(CloseClipboard());
    }
  }
}

TEST_F(TClipboardTest, SynthesisStopsAtTheTerminatorAndSurvivesOddSizes) {
  // A block larger than its text, and a wide block with an odd byte count and no terminator.
  const char padded[] = "ab\0zz";
  const uint8_t odd[] = {'h', 0, 'i', 0, 'x'};
  ASSERT_TRUE(OpenClipboard(w));
  ASSERT_TRUE(SetClipboardData(CF_TEXT, Block(padded, sizeof padded)));
  EXPECT_EQ(GlobalSize(GetClipboardData(CF_UNICODETEXT)), 6u);
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, Block(odd, sizeof odd)));
  EXPECT_EQ(Bytes(GetClipboardData(CF_TEXT)), (std::vector<uint8_t>{'h', 'i', 0}));
  ASSERT_TRUE(CloseClipboard());
}

TEST_F(TClipboardTest, RegisteredFormatsAreStableAndNamed) {
  const UINT dbif = RegisterClipboardFormat("VCLDBIF");
  const UINT csv = RegisterClipboardFormat("Csv");
  const UINT rtf = RegisterClipboardFormat("Rich Text Format");
  for (UINT f : {dbif, csv, rtf}) {
    EXPECT_GE(f, 0xC000u);
    EXPECT_LE(f, 0xFFFFu);
  }
  EXPECT_NE(dbif, csv);
  EXPECT_NE(csv, rtf);
  EXPECT_EQ(RegisterClipboardFormat("csv"), csv);  // names ignore case
  EXPECT_EQ(GetClipboardFormatName(rtf), "Rich Text Format");
  char small[4];
  EXPECT_EQ(GetClipboardFormatName(csv, small, sizeof small), 3);
  EXPECT_STREQ(small, "Csv");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "");
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
}

TEST_F(TClipboardTest, StaleAndClipboardOwnedHandlesAreRefused) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 5);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GlobalSize(h), 5u);
  auto* p = static_cast<uint8_t*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[4], 0);
  EXPECT_EQ(GlobalFlags(h), 1u);
  EXPECT_FALSE(GlobalUnlock(h));  // back at zero locks
  EXPECT_EQ(GlobalReAlloc(h, 9, GMEM_ZEROINIT), h);
  EXPECT_EQ(GlobalSize(h), 9u);
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalSize(h), 0u);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GlobalFree(h), h);
  EXPECT_EQ(GlobalFlags(h), GMEM_INVALID_HANDLE);
  HGLOBAL reused = GlobalAlloc(GMEM_MOVEABLE, 5);  // may take the same slot, never the same handle
  EXPECT_NE(reused, h);
  EXPECT_EQ(GlobalSize(h), 0u);

  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);  // stale
  ASSERT_EQ(SetClipboardData(CF_TEXT, reused), reused);
  EXPECT_EQ(GlobalFree(reused), reused);  // the clipboard owns it now
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GlobalSize(reused), 0u);  // emptying freed it
  EXPECT_TRUE(CloseClipboard());

  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_T{1} << 40), nullptr);
  EXPECT_EQ(GlobalLock(reinterpret_cast<HGLOBAL>(uintptr_t{0x1234})), nullptr);
}

TEST_F(TClipboardTest, DelayedFormatsAreRenderedByTheOwner) {
  int renders = 0;
  Log().Handle("w", [&](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_RENDERFORMAT) return std::nullopt;
    ++renders;
    SetClipboardData(static_cast<UINT>(wp), Text("late"));
    return 0;
  });
  ASSERT_TRUE(OpenClipboard(w));
  EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
  ASSERT_TRUE(CloseClipboard());
  ASSERT_TRUE(OpenClipboard(other));
  HANDLE h = GetClipboardData(CF_TEXT);
  EXPECT_EQ(Bytes(h), (std::vector<uint8_t>{'l', 'a', 't', 'e', 0}));
  EXPECT_EQ(GetClipboardData(CF_TEXT), h);
  EXPECT_EQ(renders, 1);
  ASSERT_TRUE(CloseClipboard());
}

class TFakeHost : public IClipboardHost {
 public:
  void ClipboardChanged() override { ++Changes; }
  std::optional<std::string> ExternalText() override {
    ++Asked;
    return External;
  }
  int Changes = 0;
  int Asked = 0;
  std::optional<std::string> External;
};

TEST_F(TClipboardTest, TheHostHearsOfNewContentAndSuppliesOutsideText) {
  TFakeHost host;
  SetClipboardHost(&host);
  ASSERT_TRUE(OpenClipboard(w));
  SetClipboardData(CF_TEXT, Text("mine"));
  SetClipboardData(CF_UNICODETEXT, Wide(u"mine"));
  EXPECT_EQ(host.Changes, 0);  // told once, when the session closes
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(host.Changes, 1);
  ASSERT_TRUE(OpenClipboard(w));
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(host.Changes, 1);  // a session that changed nothing

  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadClipboardFormat(CF_TEXT, bytes));
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'m', 'i', 'n', 'e', 0}));

  host.External = "th\xC3\xA9irs";
  ASSERT_TRUE(OpenClipboard(other));
  HANDLE text = GetClipboardData(CF_TEXT);
  EXPECT_EQ(Bytes(text), (std::vector<uint8_t>{'t', 'h', 0xC3, 0xA9, 'i', 'r', 's', 0}));
  EXPECT_EQ(GlobalSize(GetClipboardData(CF_UNICODETEXT)), 14u);
  EXPECT_EQ(host.Asked, 1);  // once a session
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(GetClipboardOwner(), nullptr);
  EXPECT_EQ(host.Changes, 1);  // outside text is not offered back
}

}  // namespace
}  // namespace wintest
