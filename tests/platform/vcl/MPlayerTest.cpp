// The media player's state model: registered for descriptions, its button sets published as text,
// and a click only for a press and a release on one enabled button (three buttons, 60 pixels each).
// The skinned overlay's tests drive the same clicks through its window.
#include <vector>

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/MPlayer.h"
#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

using B = TMPBtnType;
class MPlayerTest : public TComCtrlsTest {};

TEST_F(MPlayerTest, SetsAndClicks) {
  auto* player = Make<TMediaPlayer>();
  player->SetBounds(10, 10, 180, 30);
  std::vector<B> clicks;
  player->OnClick = [&](TObject*, B Button, bool&) { clicks.push_back(Button); };
  EXPECT_EQ(GetClass("TMediaPlayer"), TMediaPlayer::StaticClass());
  EXPECT_EQ(GetPropText(player, "ColoredButtons"),
            "[btPlay,btPause,btStop,btNext,btPrev,btStep,btBack,btRecord,btEject]");
  ASSERT_TRUE(SetPropText(player, "VisibleButtons", "[btPlay,btStop,btEject]"));
  ASSERT_TRUE(SetPropText(player, "EnabledButtons", "[btPlay,btEject]"));
  ShowForm();
  const struct {
    int DownX, UpX;
    std::vector<B> Clicks;
  } presses[] = {
      {10, 50, {B::btPlay}}, {130, 170, {B::btEject}}, {10, 130, {}}, {70, 80, {}}, {130, 200, {}}};
  for (const auto& p : presses) {
    SCOPED_TRACE(p.DownX * 1000 + p.UpX);
    clicks.clear();
    Input::MouseDown(VK_LBUTTON, player->ClientToScreen(TPoint{p.DownX, 15}));
    Input::MouseUp(VK_LBUTTON, player->ClientToScreen(TPoint{p.UpX, 15}));
    Application->ProcessMessages();
    EXPECT_EQ(clicks, p.Clicks);
  }
}

}  // namespace
