// The drop-down month calendar: its window kind and its size from the minimum rectangle.
#include <gtest/gtest.h>

#include "grid/foundation/PopupMonthCalendarEh.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"

namespace {

class PopupMonthCalendarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBounds(0, 0, 400, 300);
    edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 24);
    form->Show();
    Application->ProcessMessages();
    calendar = new TPopupMonthCalendarEh(edit);
    calendar->SetVisible(false);
    calendar->SetParent(edit);
  }
  void TearDown() override { ResetVcl(); }
  TForm* form = nullptr;
  TEdit* edit = nullptr;
  TPopupMonthCalendarEh* calendar = nullptr;
};

TEST_F(PopupMonthCalendarTest, SizedFromTheMinimumRequiredRectangle) {
  calendar->SetBounds(0, 0, 10, 10);
  calendar->HandleNeeded();
  RECT minRect{};
  ASSERT_TRUE(SendMessage(calendar->Handle(), MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minRect)));
  RECT client{};
  GetClientRect(calendar->Handle(), &client);
  EXPECT_EQ(client.Right, minRect.Right - minRect.Left);
  EXPECT_EQ(client.Bottom, minRect.Bottom - minRect.Top);
  // The frame: a raised outer and a sunken inner edge around the client area.
  EXPECT_EQ(calendar->Width() - client.Right, 4);
  EXPECT_EQ(calendar->Height() - client.Bottom, 4);
  const TSize required = calendar->GetRequiredSize();
  EXPECT_EQ(required.cx, calendar->Width());
  EXPECT_EQ(required.cy, calendar->Height());

  // Resized by someone else, it comes back to the required size.
  calendar->SetBounds(0, 0, 50, 50);
  calendar->UpdateSize();
  EXPECT_EQ(calendar->Width(), required.cx);
}

TEST_F(PopupMonthCalendarTest, IsANonActivatingTopmostPopup) {
  const auto style = static_cast<DWORD>(GetWindowLong(calendar->Handle(), GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLong(calendar->Handle(), GWL_EXSTYLE));
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_TABSTOP);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(calendar->Perform(WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
  // Shown at a screen point, it stays there.
  calendar->SetBounds(200, 150, calendar->Width(), calendar->Height());
  ShowWindow(calendar->Handle(), SW_SHOWNOACTIVATE);
  RECT w{};
  GetWindowRect(calendar->Handle(), &w);
  EXPECT_EQ(w.Left, 200);
  EXPECT_EQ(w.Top, 150);
}

TEST_F(PopupMonthCalendarTest, DateRoundTrips) {
  const TDateTime d = EncodeDate(2024, 2, 29);
  calendar->SetDate(d);
  calendar->HandleNeeded();
  EXPECT_EQ(calendar->Date(), d);
}

}  // namespace
