// The demo's data grid form and the grid's custom filter dialog under each of our skins: the
// navigator's and the search strip's buttons and the drop-down buttons of the dialog's value
// boxes show their glyphs where the bare buttons show them. A glyph keeps its own colours where
// they stand out on the skin's face and takes the skin's caption colour where they would be
// lost (the greyed glyphs on both skins' faces); a drop-down arrow is drawn in the caption colour.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "examples/demo/DemoMainForm.h"
#include "examples/demo/DemoSkin.h"
#include "examples/demo/DemoSupport.h"
#include "examples/demo/LedgerDBGridForm.h"
#include "grid/dbgrid/DBGridEhFilterListItems.h"
#include "grid/dbgrid/DBGridEhNavigator.h"
#include "grid/dbgrid/DBGridEhScrollBarPanel.h"
#include "grid/dbgrid/DBGridEhSearchPanelControl.h"
#include "grid/dbgrid/DBGridEhSimpleFilterDlg.h"
#include "grid/editors/DBComboBoxEh.h"
#include "grid/editors/EditorsRegistryEh.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/WinTesting.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinStore.h"
#include "tests/support/SurfacePixels.h"

namespace {

// What a button shows: its pixels, row by row.
struct TButtonShot {
  int Width = 0, Height = 0;
  std::vector<COLORREF> Pixels;
  COLORREF At(int X, int Y) const { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
};

TButtonShot Shoot(TControl* Button) {
  TButtonShot shot{Button->Width(), Button->Height(), {}};
  const HWND top = GetParentForm(Button)->Handle();
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x) {
      const TPoint at = Button->ClientToScreen({x, y});
      shot.Pixels.push_back(test_support::ScreenPixel(top, {at.X, at.Y}));
    }
  return shot;
}

// The ink of a navigator or search button's glyph: its pixels (button coordinates) with their
// colours, drawn from its list as the button draws it at rest.
std::map<std::pair<int, int>, COLORREF> GlyphInk(TNavButtonEh* Button) {
  TCustomImageList* list =
      Button->Enabled() || !Button->DisabledImages() ? Button->EnabledImages() : Button->DisabledImages();
  const int w = Button->Width(), h = Button->Height();
  TBitmap lime;
  lime.SetSize(w, h);
  lime.Canvas()->Brush()->SetColor(clLime);
  lime.Canvas()->FillRect(Rect(0, 0, w, h));
  list->Draw(lime.Canvas(), (w - list->Width()) / 2, (h - list->Height()) / 2, Button->GlyphIndex(),
             Button->Enabled() || Button->DisabledImages());
  std::map<std::pair<int, int>, COLORREF> ink;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (lime.Canvas()->Pixels(x, y) != clLime) ink[{x, y}] = ColorToRGB(lime.Canvas()->Pixels(x, y));
  return ink;
}

// The pixels of Bare's drop-down arrow: those in the button's text colour.
std::vector<std::pair<int, int>> ArrowInk(const TButtonShot& Bare) {
  std::vector<std::pair<int, int>> ink;
  for (int y = 0; y < Bare.Height; ++y)
    for (int x = 0; x < Bare.Width; ++x)
      if (Bare.At(x, y) == ColorToRGB(clBtnText)) ink.emplace_back(x, y);
  return ink;
}

class SkinnedGridButtonsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    RegisterGridEditorClasses();
    InitWinSkinStoreUnit();
    InitWinSkinDataUnit();
    // The main form carries the light skin and skins every form shown after it.
    (main = new TDemoForm(Application))->Show();
    (form = CreateLedgerDBGridForm(Application, CreateNumberedLedger(Application, kDemoLedgerEntries)))
        ->Show();
    WaitForDemoSkinAction();
    TDBGridEh* grid = LedgerDBGridOf(form);
    for (int i = 0; i < 10; ++i)
      buttons.push_back(grid->HorzScrollBarPanelControl()->Navigator()->Button(TNavigateBtnEh(i)));
    for (int i = 0; i < 4; ++i)
      if (grid->SearchPanelControl()->Button(i)->Visible())
        buttons.push_back(grid->SearchPanelControl()->Button(i));
  }
  void TearDown() override {
    form->Free();
    main->Free();
    DestroySkinManage();
    ResetVcl();
  }
  // Skin "light", "dark" or "none" (skinning off).
  void UseSkin(const std::string& Skin) {
    TDemoSkinSwitcher switcher(main->skinData, DEMO_BUILD_DIR "/examples", [](const std::string&) {});
    if (Skin == "none")
      switcher.SetSkinning(false);
    else
      switcher.Choose(Skin + ".skn");
    WaitForDemoSkinAction();
  }
  // The caption colour of the skin in force for a button at rest, enabled or not.
  COLORREF Caption(bool Enabled) const {
    return ColorToRGB(Enabled ? main->skinData->Elements()->Buttons->NormalColour2 : clBtnShadow);
  }
  // The custom filter dialog of the grid's first column, its first value box's button shot while
  // it is shown.
  TButtonShot FilterDialogButton() {
    TButtonShot shot;
    WinTesting::Schedule([&] {
      WaitForDemoSkinAction();
      auto* dialog = dynamic_cast<TDBGridEhSimpleFilterDialog*>(Screen->ActiveForm());
      ASSERT_NE(dialog, nullptr);
      TEditButtonControlEh* button = dialog->DBComboBoxEh1->ButtonControl(0);
      ASSERT_NE(button, nullptr);
      shot = Shoot(button);
      dialog->bCancel->Click();
    });
    ShowSimpleFilterDialog(LedgerDBGridOf(form)->Columns()->GetColumn(2));
    return shot;
  }

  TDemoForm* main = nullptr;
  TForm* form = nullptr;
  std::vector<TNavButtonEh*> buttons;
};

TEST_F(SkinnedGridButtonsTest, ToolAndDropDownButtonsShowTheirGlyphsUnderEachSkin) {
  // What each button shows under each skin, then bare, with skinning off; and each glyph's ink
  // and the caption colours of the skin, taken while it is in force.
  struct TSkinShots {
    std::vector<TButtonShot> Tools;
    TButtonShot Arrow;
    COLORREF Enabled = 0, Disabled = 0;
  };
  std::map<std::string, TSkinShots> shots;
  for (const char* skin : {"light", "dark", "none"}) {
    UseSkin(skin);
    TSkinShots& s = shots[skin];
    for (TNavButtonEh* b : buttons) s.Tools.push_back(Shoot(b));
    s.Arrow = FilterDialogButton();
    s.Enabled = Caption(true), s.Disabled = Caption(false);
  }
  const TSkinShots& bare = shots["none"];
  const std::vector<std::pair<int, int>> arrow = ArrowInk(bare.Arrow);
  EXPECT_EQ(arrow.size(), 16u);

  // Skin, whether an enabled and a disabled glyph take the caption colour: the black glyphs read
  // on both skins' faces, the greyed ones (grey with a white edge) are lost on them.
  const std::tuple<const char*, bool, bool> cases[] = {{"light", false, true}, {"dark", false, true}};
  for (const auto& [skin, enabledRecoloured, disabledRecoloured] : cases) {
    SCOPED_TRACE(skin);
    const TSkinShots& skinned = shots[skin];
    for (size_t i = 0; i < buttons.size(); ++i) {
      TNavButtonEh* button = buttons[i];
      SCOPED_TRACE(button->Hint());
      const bool enabled = button->Enabled();
      const bool recoloured = enabled ? enabledRecoloured : disabledRecoloured;
      const COLORREF caption = enabled ? skinned.Enabled : skinned.Disabled;
      int bareWrong = 0, wrong = 0;
      for (const auto& [at, colour] : GlyphInk(button)) {
        bareWrong += bare.Tools[i].At(at.first, at.second) != colour;
        wrong += skinned.Tools[i].At(at.first, at.second) != (recoloured ? caption : colour);
      }
      EXPECT_EQ(bareWrong, 0);
      EXPECT_EQ(wrong, 0);
    }
    int wrong = 0;
    for (const auto& [x, y] : arrow) wrong += skinned.Arrow.At(x, y) != skinned.Enabled;
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
