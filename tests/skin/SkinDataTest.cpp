// TSkinData: its values after construction, SkinStream in descriptions, SkinFile under the
// one rule for failed loads, Loaded's edits, the small icon, Active through the manager and the
// skin change.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/MessageBox.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinManage.h"
#include "tools/skinpack/SkinPacker.h"

// A skinned form that only counts what the manager and the skin data ask of it.
class TSkinDataCountingForm : public TSkinFormBase {
  RTL_CLASS(TSkinDataCountingForm, TSkinFormBase)
 public:
  explicit TSkinDataCountingForm(TComponent* AOwner) : TSkinFormBase(AOwner) {}
  void AttachForm(TWinControl*, TSkinData*) override {}
  void AttachWindow(HWND, TSkinData*) override {}
  void Detach() override {}
  void ReloadElements() override { ++Reloads; }
  void RecolourChildren() override {}
  bool WindowDestroyed() const override { return false; }
  void SkinChildWindow(HWND) override {}
  bool IsMDIChild() const override { return false; }
  void MDIBorderChanged() override {}
  int Reloads = 0;
};
RTL_IMPLEMENT_CLASS(TSkinDataCountingForm)

namespace {

std::string OurSkinPath(const std::string& Name) {
  return std::string(OUR_SKINS_DIR) + "/" + Name + ".skn";
}

std::string OurSkinBytes(const std::string& Name) {
  std::ifstream in(OurSkinPath(Name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SkinDataTempFile(const std::string& Name, const std::string& Bytes) {
  const std::string path = ::testing::TempDir() + "skindata-" + Name;
  std::ofstream(path, std::ios::binary) << Bytes;
  return path;
}

std::string HeldBytes(const TSkinData& Data) {
  TMemoryStream* s = Data.SkinStream();
  return std::string(reinterpret_cast<const char*>(s->Memory()), static_cast<size_t>(s->Size()));
}

class SkinDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroySkinManage();
    ResetVcl();
    SetMessageBoxScript([this](const std::string&, const std::string& Text, UINT) {
      boxes_.push_back(Text);
      return IDOK;
    });
  }
  void TearDown() override { DestroySkinManage(), SetMessageBoxScript({}); }
  // Lets Ms of virtual time pass, dispatching what falls due.
  static void Run(uint32_t Ms) {
    for (uint32_t i = 0; i <= Ms; ++i) {
      MSG msg;
      while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
      VirtualClock::Advance(1);
    }
  }
  static std::unique_ptr<TSkinData> LoadedData(const std::string& Skin, TSkinFormType Type = sfMainform) {
    auto data = std::make_unique<TSkinData>(nullptr);
    data->SetSkinFormtype(Type);
    if (!Skin.empty()) data->SetSkinFile(OurSkinPath(Skin));
    data->Loaded();
    return data;
  }
  std::vector<std::string> boxes_;
};

TEST_F(SkinDataTest, ValuesAfterConstruction) {
  TSkinData data(nullptr);
  const char* controls =
      "[xcMainMenu,xcPopupMenu,xcToolbar,xcControlbar,xcCombo,xcCheckBox,xcRadioButton,xcProgress,"
      "xcScrollbar,xcEdit,"
      "xcButton,xcBitBtn,xcSpeedButton,xcSpin,xcPanel,xcGroupBox,xcStatusBar,xcTab,xcTrackBar,xcSystemMenu]";
  const std::pair<const char*, const char*> rows[] = {
      {"Active", "False"},    {"DisableTag", "99"},           {"SkinControls", controls},
      {"SkinFile", ""},       {"SkinStore", "(none)"},        {"Options", "[xoPreview,xoToolbarBK]"},
      {"MenuUpdate", "True"}, {"SkinFormtype", "sfMainform"}, {"Version", "3.82.12.06"},
      {"MenuMerge", "False"}};
  for (const auto& [property, text] : rows) {
    SCOPED_TRACE(property);
    EXPECT_EQ(GetPropText(&data, property), text);
    EXPECT_FALSE(GetPropInfo(&data, property)->HasDefault);
  }
  data.SetVersion("1.0");
  data.SetSkinStore("(Good)");
  EXPECT_EQ(data.Version() + data.SkinStore(), "3.82.12.06(none)");
  TStrings* map = data.Skin3rd();
  ASSERT_EQ(map->Count(), 116);
  EXPECT_EQ(map->Strings(0) + " " + map->Strings(115), "TPngBitBtn=pngbitbtn TOVCDBNUMERICFIELD=Edit");
  EXPECT_EQ(map->IndexOf("TDBCheckboxEh=Checkbox") * 1000 + map->IndexOf("TLMDFontSizeCombobox=combobox"),
            46067);
  EXPECT_TRUE(data.Empty());
  EXPECT_EQ(data.BackgroundBrush(), nullptr);
  EXPECT_EQ(data.MenuGlyphs()->Count(), 4);
  // The glyph strip: an ink pixel of restore, maximise, minimise and close; a white corner.
  auto image = FindResourceAs<TBmpImage>("BITMAP", kSkinMenuGlyphsResource);
  ASSERT_EQ(image->Width * 100 + image->Height, 6416);
  for (int x : {5, 16 + 3, 32 + 4, 48 + 4}) EXPECT_EQ(image->Pixels[(x == 36 ? 10 : 3) * 64 + x], 0u);
  EXPECT_EQ(image->Pixels[0], 0xFFFFFFu);
}

TEST_F(SkinDataTest, FormSkinRulesWithoutAndWithAHandler) {
  const struct {
    const char* Class;
    bool Reports, Handler, Expected;
  } rows[] = {{"SysMonthCal32", false, false, false}, {"TfrPreviewForm", true, false, false},
              {"TfrPreviewForm", false, false, true}, {"TForm1", true, false, true},
              {"SysMonthCal32", false, true, true},   {"TForm1", false, true, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.Class) + (row.Reports ? " +reports" : "") +
                 (row.Handler ? " +handler" : ""));
    TSkinData data(nullptr);
    if (row.Reports) data.SetSkinControls(data.SkinControls() + xcFastReport);
    if (row.Handler)
      data.OnFormSkin = [](TObject*, const std::string& Name, bool& DoSkin) { DoSkin = Name[0] == 'S'; };
    bool doSkin = true;
    data.DoFormSkin(row.Class, doSkin);
    EXPECT_EQ(doSkin, row.Expected);
  }
}

TEST_F(SkinDataTest, SkinStreamTravelsInDescriptions) {
  auto source = LoadedData("light");
  TMemoryStream binary;
  binary.WriteComponent(source.get());
  binary.SetPosition(0);
  TSkinData copy(nullptr);
  binary.ReadComponent(&copy);
  EXPECT_EQ(HeldBytes(copy), OurSkinBytes("light"));
  EXPECT_FALSE(copy.Empty());
  EXPECT_EQ(copy.SkinName(), source->SkinName());

  // Length 0 reads nothing; a negative length or one past the bytes is refused, the skin kept.
  const std::pair<const char*, bool> rows[] = {
      {"00000000", false}, {"FFFFFFFF", true}, {"05000000AABB", true}};
  const auto raises = [](const char* Bytes, TSkinData& Into) {
    try {
      ReadComponentFromText(std::string("object D: TSkinData\n SkinStream = {") + Bytes + "}\nend\n", &Into);
    } catch (const EReadError&) {
      return true;
    }
    return false;
  };
  for (const auto& [bytes, raised] : rows) {
    SCOPED_TRACE(bytes);
    TSkinData fresh(nullptr);
    EXPECT_EQ(raises(bytes, fresh), raised);
    EXPECT_EQ(fresh.SkinStream()->Size() * 10 + fresh.Empty(), 1);
    EXPECT_EQ(raises(bytes, copy), raised);
    EXPECT_EQ(HeldBytes(copy), OurSkinBytes("light"));
    EXPECT_FALSE(copy.Empty());
  }
}

TEST_F(SkinDataTest, SkinFileLoadsOrKeepsTheSkinInForce) {
  const std::string light = OurSkinBytes("light");
  std::string oldContainer = BuildSkinContainer(UnpackSkin(light));
  oldContainer[0] = static_cast<char>(0x1F);  // version 19999
  const struct {
    const char* Id;
    std::string Path;
    const char* Error;  // nullptr: loads
    int Boxes;
  } rows[] = {
      {"good", OurSkinPath("light"), nullptr, 0},
      {"missing", ::testing::TempDir() + "skindata-none.skn", "Skin file not found", 0},
      {"old version", SkinDataTempFile("old.skn", PackLzh(oldContainer, TLzhPackMode::Greedy)),
       kSkinOldVersion, 1},
      {"corrupt", SkinDataTempFile("cut.skn", light.substr(0, light.size() / 2)), kSkinTruncated, 0},
  };
  for (bool heldSkin : {false, true}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.Id) + (heldSkin ? ", dark held" : ", nothing held"));
      boxes_.clear();
      auto data = LoadedData(heldSkin ? "dark" : "");
      // What a failed load must leave as it was.
      const auto state = [&] {
        return HeldBytes(*data) + "|" + data->SkinName() + "|" + (data->Empty() ? "empty" : "") + "|" +
               std::to_string(reinterpret_cast<uintptr_t>(data->BackgroundBrush())) + "|" +
               std::to_string(reinterpret_cast<uintptr_t>(data->Elements()));
      };
      const std::string before = state();
      data->SetSkinFile(row.Path);
      EXPECT_EQ(data->SkinFile(), row.Path);
      EXPECT_EQ(data->LoadError(), row.Error ? row.Error : "");
      EXPECT_EQ(static_cast<int>(boxes_.size()), row.Boxes);
      if (row.Error) {
        EXPECT_EQ(state(), before);
      }
      EXPECT_EQ(HeldBytes(*data) == light && !data->Empty(), !row.Error);
    }
  }
}

TEST_F(SkinDataTest, LoadedEditsSkinControlsAndMakesTheSmallIcon) {
  for (bool mainMenu : {true, false}) {
    SCOPED_TRACE(mainMenu ? "with main menu" : "without");
    TSkinData data(nullptr);
    data.SetSkinControls(mainMenu ? data.SkinControls() + xcMenuItem
                                  : data.SkinControls() + xcMenuItem - xcMainMenu);
    data.Loaded();
    EXPECT_EQ(data.SkinControls().Contains(xcMenuItem), !mainMenu);
    EXPECT_EQ(data.SkinControls().Contains(xcSystemMenu), mainMenu);
    EXPECT_TRUE(data.SkinControls().Contains(xcScrollbar));
    EXPECT_NE(data.CaptionFont(), nullptr);
    EXPECT_TRUE(data.SmallIcon()->Empty());  // the application has no icon yet
  }
  TBmpImage colour, mask;
  colour.Width = mask.Width = 16;
  colour.Height = mask.Height = 16;
  colour.Pixels.assign(256, 0x0000FF);
  mask.Pixels.assign(256, 0);
  mask.Pixels[0] = 0xFFFFFF;  // top-left shows what lies under
  colour.Pixels[0] = 0;
  ICONINFO info;
  info.hbmColor = CreateBitmapFromBmpImage(colour);
  info.hbmMask = CreateBitmapFromBmpImage(mask);
  TIcon icon;
  icon.SetHandle(CreateIconIndirect(&info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  Application->SetIcon(&icon);
  TSkinData data(nullptr);
  data.Loaded();
  TBitmap* small = data.SmallIcon();
  EXPECT_EQ(small->Width() * 100 + small->Height(),
            GetSystemMetrics(SM_CXSMICON) * 100 + GetSystemMetrics(SM_CYSMICON));
  EXPECT_EQ(small->Canvas()->Pixels(0, 0), 0xFF00FF);
  EXPECT_EQ(small->Canvas()->Pixels(5, 5), clBlue);
  EXPECT_TRUE(small->Transparent());
  EXPECT_EQ(small->TransparentColor(), 0xFF00FF);
}

TEST_F(SkinDataTest, ActiveActsAtOnceBeforeTheFirstActivationAndAfter250MsLater) {
  auto data = LoadedData("light");
  TSkinManage* manage = SkinManage();
  data->SetActive(true);  // no window activated yet: at once
  EXPECT_TRUE(manage->Active);
  EXPECT_EQ(manage->StartState, kSkinStartRunning);
  int changed = 0;
  data->OnSkinChanged = [&](TObject*) { ++changed; };
  data->SetActive(false);
  Run(200);
  EXPECT_TRUE(manage->Active);
  Run(60);
  EXPECT_FALSE(manage->Active);
  EXPECT_EQ(changed, 1);

  // A main-form skin loaded with Active after the first activation still activates.
  manage->Active = false;
  TSkinData late(nullptr);
  late.Loading();  // as read from a description: the setters only store
  late.SetSkinFile(OurSkinPath("dark"));
  late.SetActive(true);
  late.Loaded();
  EXPECT_EQ(manage->ActionSkinData, &late);
  Run(260);
  EXPECT_TRUE(manage->Active);

  // Several non-main skins keep StartState at 1.
  manage->StartState = kSkinStartRunning;
  auto dialog = LoadedData("dark", sfDialog);
  auto dll = LoadedData("dark", sfDLL);
  EXPECT_EQ(manage->StartState, kSkinStartRunning);
}

TEST_F(SkinDataTest, SkinChangeRereadsTheFormsOfThisDataAndFreeingLetsGo) {
  auto data = LoadedData("light");
  auto other = LoadedData("light");
  TSkinManage* manage = SkinManage();
  manage->StartState = kSkinStartRunning;
  auto* mine = new TSkinDataCountingForm(nullptr);
  auto* theirs = new TSkinDataCountingForm(nullptr);
  mine->SkinData = data.get();
  theirs->SkinData = other.get();
  manage->Forms.push_back({mine, mine->LifeToken()});
  manage->Forms.push_back({theirs, theirs->LifeToken()});
  int changed = 0;
  data->OnSkinChanged = [&](TObject*) { ++changed; };
  data->SetSkinFile(OurSkinPath("dark"));
  EXPECT_EQ(mine->Reloads * 10 + theirs->Reloads, 10);
  Run(260);
  EXPECT_EQ(mine->Reloads * 10 + theirs->Reloads, 20);
  EXPECT_EQ(changed, 1);

  // Freeing the data frees its forms and hands the main role on.
  EXPECT_EQ(manage->MainSkinData, data.get());
  manage->ActionSkinData = data.get();
  data.reset();
  EXPECT_EQ(manage->Forms.size(), 1u);
  EXPECT_EQ(manage->ActionSkinData, nullptr);
  EXPECT_EQ(manage->MainSkinData, other.get());
  manage->Forms.clear();
  delete theirs;
}

}  // namespace
