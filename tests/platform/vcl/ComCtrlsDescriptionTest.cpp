// Common controls loaded from a window description: sheets join their page control and the
// named active page shows, panel and section collections, ranges and enumerations by name.
#include "platform/rtl/Filer.h"
#include "tests/platform/vcl/ComCtrlsTestUtil.h"

namespace {

class TLedgerForm : public TForm {
  RTL_CLASS(TLedgerForm, TForm)
 public:
  explicit TLedgerForm(TComponent* AOwner) : TForm(AOwner) {}
};

const char kLedgerForm[] =
    "object LedgerForm: TLedgerForm\n"
    "  Width = 400\n"
    "  Height = 300\n"
    "  object Pages: TPageControl\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 300\n"
    "    Height = 180\n"
    "    ActivePage = Spend\n"
    "    TabPosition = tpBottom\n"
    "    object Income: TTabSheet\n"
    "      Caption = '收入'\n"
    "    end\n"
    "    object Spend: TTabSheet\n"
    "      Caption = '支出'\n"
    "      object Track: TTrackBar\n"
    "        Max = 50\n"
    "        Position = 20\n"
    "        Orientation = trVertical\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object Status: TStatusBar\n"
    "    Panels = <\n"
    "      item\n"
    "        Text = '账户'\n"
    "        Width = 70\n"
    "      end\n"
    "      item\n"
    "        Alignment = taRightJustify\n"
    "        Style = psOwnerDraw\n"
    "        Width = 90\n"
    "      end>\n"
    "  end\n"
    "  object Header: THeaderControl\n"
    "    Sections = <\n"
    "      item\n"
    "        Text = 'Date'\n"
    "        Width = 60\n"
    "        MinWidth = 20\n"
    "      end>\n"
    "  end\n"
    "end\n";

class ComCtrlsDescriptionTest : public TComCtrlsTest {
 protected:
  void SetUp() override {
    TComCtrlsTest::SetUp();
    RegisterClass(TLedgerForm::StaticClass());
    RegisterDescription("TLedgerForm", kLedgerForm);
  }
  void TearDown() override {
    UnregisterDescription("TLedgerForm");
    TComCtrlsTest::TearDown();
  }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TLedgerForm)

TEST_F(ComCtrlsDescriptionTest, LoadsPagesPanelsSectionsAndRanges) {
  TLedgerForm* f = nullptr;
  Application->CreateForm(f);
  ASSERT_NE(f, nullptr);
  auto* pages = dynamic_cast<TPageControl*>(f->FindComponent("Pages"));
  auto* income = dynamic_cast<TTabSheet*>(f->FindComponent("Income"));
  auto* spend = dynamic_cast<TTabSheet*>(f->FindComponent("Spend"));
  ASSERT_TRUE(pages && income && spend);
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->Pages(0), income);
  EXPECT_EQ(spend->PageControl(), pages);
  EXPECT_EQ(pages->ActivePage(), spend);
  EXPECT_FALSE(income->Visible());
  EXPECT_TRUE(spend->Visible());
  EXPECT_EQ(pages->TabPosition(), tpBottom);

  auto* track = dynamic_cast<TTrackBar*>(f->FindComponent("Track"));
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->Parent(), spend);
  EXPECT_EQ(track->Max(), 50);
  EXPECT_EQ(track->Position(), 20);
  EXPECT_EQ(track->Orientation(), trVertical);

  auto* status = dynamic_cast<TStatusBar*>(f->FindComponent("Status"));
  ASSERT_NE(status, nullptr);
  ASSERT_EQ(status->Panels()->Count(), 2);
  EXPECT_EQ(status->Panels()->Items(0)->Text(), "账户");
  EXPECT_EQ(status->Panels()->Items(1)->Style(), psOwnerDraw);
  EXPECT_EQ(status->Panels()->Items(1)->Alignment(), taRightJustify);

  auto* header = dynamic_cast<THeaderControl*>(f->FindComponent("Header"));
  ASSERT_NE(header, nullptr);
  ASSERT_EQ(header->Sections()->Count(), 1);
  EXPECT_EQ(header->Sections()->Items(0)->Width(), 60);
  EXPECT_EQ(header->Sections()->Items(0)->MinWidth(), 20);

  f->Show();
  Application->ProcessMessages();
  EXPECT_EQ(SendMessage(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(spend->Showing());
}
