// A form's caption buttons clicked with the mouse: the close button runs the form's closing,
// the maximise button maximises and restores it, and an icon the form leaves out does nothing.
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class FormCaptionButtons : public VclFormTest {
 protected:
  // Clicks the middle of a caption button of a sizeable form, counted from the right: 0 close,
  // 1 maximise, 2 minimise.
  static void ClickButton(TForm* f, int fromRight) {
    RECT r;
    GetWindowRect(f->Handle(), &r);
    const int size = GetSystemMetrics(SM_CXSIZE);
    WinTesting::Click(POINT{r.Right - GetSystemMetrics(SM_CXFRAME) - size * fromRight - size / 2,
                            r.Top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
    Application->ProcessMessages();
  }
};

}  // namespace

TEST_F(FormCaptionButtons, CloseButtonClosesTheForm) {
  NewShownForm("Main");  // not the main form: none was made by CreateForm
  TForm* f = NewShownForm("Other");
  std::vector<std::string> log;
  f->OnCloseQuery = [&](TObject*, bool& CanClose) {
    log.push_back("query");
    CanClose = true;
  };
  f->OnClose = [&](TObject*, TCloseAction&) { log.push_back("close"); };
  ClickButton(f, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"query", "close"}));
  EXPECT_FALSE(f->Visible());
}

TEST_F(FormCaptionButtons, MaximiseButtonMaximisesAndRestores) {
  TForm* f = NewShownForm();
  ClickButton(f, 1);
  EXPECT_EQ(f->WindowState(), wsMaximized);
  RECT work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(f->Width(), work.Width() + 2 * GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(f->ClientWidth(), work.Width());
  ClickButton(f, 1);
  EXPECT_EQ(f->WindowState(), wsNormal);
  EXPECT_EQ(f->BoundsRect(), (TRect{100, 100, 400, 300}));
  // An icon the shown form leaves out does nothing.
  f->SetBorderIcons({biSystemMenu, biMinimize});
  Application->ProcessMessages();
  ClickButton(f, 1);
  EXPECT_EQ(f->WindowState(), wsNormal);
}
