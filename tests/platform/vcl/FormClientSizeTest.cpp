// A form's client size: set as client size whether or not the window exists yet, for every
// border style, with and without a menu bar, and from a description whose menu comes after
// its client size.
#include "platform/rtl/Filer.h"
#include "platform/vcl/Menus.h"
#include "tests/platform/vcl/FormTestSupport.h"

namespace {

class TClientDescForm : public TForm {
  RTL_CLASS(TClientDescForm, TForm)
 public:
  explicit TClientDescForm(TComponent* AOwner) : TForm(AOwner) {}
};

// As the description writer puts it: ClientHeight and ClientWidth before the menu reference.
const char kClientDescForm[] =
    "object ClientDescForm: TClientDescForm\n"
    "  Left = 40\n"
    "  Top = 30\n"
    "  BorderStyle = bsSingle\n"
    "  Caption = '账户'\n"
    "  ClientHeight = 180\n"
    "  ClientWidth = 260\n"
    "  Menu = MainMenu1\n"
    "  object MainMenu1: TMainMenu\n"
    "    object File1: TMenuItem\n"
    "      Caption = '文件'\n"
    "    end\n"
    "  end\n"
    "end\n";

class FormClientSize : public VclFormTest {
 protected:
  void SetUp() override {
    VclFormTest::SetUp();
    RegisterClasses({TMainMenu::StaticClass(), TMenuItem::StaticClass()});
    RegisterDescription("TClientDescForm", kClientDescForm);
  }
  void TearDown() override {
    UnregisterDescription("TClientDescForm");
    VclFormTest::TearDown();
  }

  static void AddMenu(TForm* f) {
    auto* menu = new TMainMenu(f);
    auto* item = new TMenuItem(menu);
    item->SetCaption("文件");
    menu->Items()->Add(item);
    f->SetMenu(menu);
  }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TClientDescForm)

TEST_F(FormClientSize, ClientSizeBeforeTheWindowExistsIsTheWindowsClientSize) {
  struct Case {
    const char* id;
    TFormBorderStyle border;
    bool menu;
    int width, height;  // the window the frame makes around a 300 x 200 client
  };
  // Frames: sizing 4, else 3 (a caption brings a dialog frame); captions 19, tool windows 15; the
  // menu bar 19.
  const Case cases[] = {
      {"sizeable", bsSizeable, false, 308, 227},     {"sizeable-menu", bsSizeable, true, 308, 246},
      {"single", bsSingle, false, 306, 225},         {"single-menu", bsSingle, true, 306, 244},
      {"dialog", bsDialog, false, 306, 225},         {"tool", bsToolWindow, false, 306, 221},
      {"size-tool", bsSizeToolWin, false, 308, 223}, {"none", bsNone, false, 300, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    auto* f = new TForm(Application, 0);
    f->SetBorderStyle(c.border);
    if (c.menu) AddMenu(f);
    f->SetBounds(50, 40, 640, 480);
    f->SetClientWidth(300);
    f->SetClientHeight(200);
    EXPECT_FALSE(f->HandleAllocated());
    EXPECT_EQ(f->ClientWidth(), 300);
    EXPECT_EQ(f->ClientHeight(), 200);
    EXPECT_EQ(f->Width(), c.width);
    EXPECT_EQ(f->Height(), c.height);
    f->Show();
    Application->ProcessMessages();
    RECT client{};
    ::GetClientRect(f->Handle(), &client);
    EXPECT_EQ(client, (RECT{0, 0, 300, 200}));
    EXPECT_EQ(f->ClientWidth(), 300);
    // Once the window exists the same call keeps meaning the client.
    f->SetClientHeight(150);
    ::GetClientRect(f->Handle(), &client);
    EXPECT_EQ(client, (RECT{0, 0, 300, 150}));
    f->Free();
  }
}

TEST_F(FormClientSize, ADescriptionsClientSizeCountsTheMenuThatFollowsIt) {
  TClientDescForm* f = nullptr;
  Application->CreateForm(f);
  ASSERT_NE(f->Menu(), nullptr);
  EXPECT_EQ(f->ClientWidth(), 260);
  EXPECT_EQ(f->ClientHeight(), 180);
  EXPECT_EQ(f->Height(), 180 + 6 + 19 + 19);  // frame, caption, menu bar
  f->Show();
  Application->ProcessMessages();
  RECT client{};
  ::GetClientRect(f->Handle(), &client);
  EXPECT_EQ(client, (RECT{0, 0, 260, 180}));
}
