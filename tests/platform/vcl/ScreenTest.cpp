// The screen object: its lists, the active form and control, cursors and the desktop.
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class Screen_ : public VclFormTest {};

}  // namespace

TEST_F(Screen_, ListsFollowCreationAndDestruction) {
  EXPECT_EQ(Screen->FormCount(), 0);
  auto* a = new TForm(Application, 0);
  auto* b = new TForm(a, 0);  // owned by the first: goes with it
  EXPECT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->CustomFormCount(), 2);
  EXPECT_EQ(Screen->Forms(0), a);
  EXPECT_EQ(Screen->Forms(1), b);
  EXPECT_THROW(Screen->Forms(2), EListError);
  a->Free();
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(Screen_, ActiveFormAndControlFollowTheFocus) {
  std::vector<std::string> log;
  Screen->OnActiveFormChange = [&](TObject*) {
    log.push_back("form " + (Screen->ActiveForm() ? Screen->ActiveForm()->Caption() : std::string("-")));
  };
  Screen->OnActiveControlChange = [&](TObject*) { log.push_back("control"); };
  TForm* one = NewShownForm("One");
  auto* edit = new TLogControl(one);
  edit->SetParent(one);
  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Screen->ActiveForm(), one);
  EXPECT_EQ(Screen->ActiveCustomForm(), one);
  EXPECT_EQ(Screen->FocusedForm(), one);
  EXPECT_EQ(Screen->ActiveControl(), edit);
  TForm* two = NewShownForm("Two");
  EXPECT_EQ(Screen->ActiveForm(), two);
  EXPECT_EQ(Screen->Forms(0), two);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "form Two");
  EXPECT_NE(std::find(log.begin(), log.end(), "form One"), log.end());
  two->Free();
  EXPECT_NE(Screen->ActiveForm(), two);
  ResetVcl();  // while the handlers' captures live
}

TEST_F(Screen_, CursorsComeFromTheWindowManager) {
  const std::pair<int, int> map[] = {
      {crDefault, IDC_ARROW_ID}, {crHourGlass, IDC_WAIT_ID}, {crIBeam, IDC_IBEAM_ID},
      {crCross, IDC_CROSS_ID},   {crHandPoint, IDC_HAND_ID}, {crSizeWE, IDC_SIZEWE_ID},
      {crHSplit, IDC_SIZEWE_ID}, {crVSplit, IDC_SIZENS_ID},  {crNoDrop, IDC_NO_ID}};
  for (const auto& [id, idc] : map) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Screen->Cursors(id), LoadCursor(nullptr, MAKEINTRESOURCE(idc)));
  }
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  HCURSOR own = LoadCursor(nullptr, IDC_HELP);
  Screen->SetCursors(5, own);
  EXPECT_EQ(Screen->Cursors(5), own);
}

TEST_F(Screen_, DesktopAndWorkAreaComeFromTheSystemMetrics) {
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(Screen->WorkAreaRect(), work);
  EXPECT_EQ(Screen->WorkAreaHeight(), work.Height());
  EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(Screen->DesktopRect(), (TRect{0, 0, Screen->Width(), Screen->Height()}));
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
  EXPECT_EQ(Screen->MonitorCount(), 1);
  EXPECT_GT(Screen->Fonts()->Count(), 0);
  EXPECT_GE(Screen->Fonts()->IndexOf("Tahoma"), 0);
}
