// What the data-aware editor paints besides its text, probed in painted pixels: the image and
// its settings, the grey empty-value text and its settings, the required highlight, the flat
// frame and right-aligned text; and the rectangles of the text and the image.
#include <gtest/gtest.h>

#include <string>

#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/editors/EditImageEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/Clock.h"
#include "platform/win/Caret.h"
#include "tests/grid/editors/DBEditFormTestSupport.h"

namespace {

// An editor whose value is numeric (as in the number and date editors).
class TNumericValueEditEh : public TDBEditEh {
  RTL_CLASS(TNumericValueEditEh, TDBEditEh)
 public:
  explicit TNumericValueEditEh(TComponent* AOwner) : TDBEditEh(AOwner) {}
  Variant value = Variant::Null();
  using TCustomDBEditEh::UpdateImageIndex;

 protected:
  Variant GetVariantValue() override { return value; }
};

}  // namespace

RTL_IMPLEMENT_CLASS(TNumericValueEditEh)

namespace {

using namespace dbedit_test;

class DBEditPaintTest : public DBEditFormTest {};

// --- the image and empty-text settings ---------------------------------------------------------

TEST_F(DBEditPaintTest, EmptyDataInfoDefaultsFontAndAlignment) {
  TControlEmptyDataInfoEh* info = edit->EmptyDataInfo();
  EXPECT_EQ(info->Font()->Color(), static_cast<TColor>(kSilver));
  EXPECT_TRUE(info->Font()->Style().Contains(fsItalic));
  EXPECT_TRUE(info->ParentFont());
  EXPECT_FALSE(info->AlignmentIsStored());

  // The editor's alignment shows through until one is stored.
  edit->SetAlignment(taRightJustify);
  EXPECT_EQ(info->Alignment(), taRightJustify);
  info->SetAlignmentIsStored(true);  // captures the current one
  edit->SetAlignment(taCenter);
  EXPECT_EQ(info->Alignment(), taRightJustify);
  info->SetAlignmentIsStored(false);
  info->SetAlignment(taLeftJustify);
  EXPECT_TRUE(info->AlignmentIsStored());
  EXPECT_EQ(info->Alignment(), taLeftJustify);

  // With ParentFont the size and name follow the editor; colour and style stay.
  edit->Font()->SetSize(14);
  info->RefreshDefaultFont();
  EXPECT_EQ(info->Font()->Height(), edit->Font()->Height());
  EXPECT_EQ(info->Font()->Color(), static_cast<TColor>(kSilver));
  EXPECT_TRUE(info->ParentFont());
  // Any change of its own font ends ParentFont.
  info->Font()->SetColor(clBlue);
  EXPECT_FALSE(info->ParentFont());
  edit->Font()->SetSize(8);
  info->RefreshDefaultFont();
  EXPECT_NE(info->Font()->Height(), edit->Font()->Height());
}

TEST_F(DBEditPaintTest, EditImageAssignAndFreedList) {
  auto* list = new TImageList(form);
  list->SetWidth(16);
  list->SetHeight(16);
  TEditImageEh source;
  source.SetImages(list);
  source.SetImageIndex(3);
  source.SetVisible(true);
  source.SetWidth(10);
  source.SetUseImageHeight(false);
  edit->EditImage()->Assign(&source);
  EXPECT_EQ(edit->EditImage()->Images(), list);
  EXPECT_EQ(edit->EditImage()->ImageIndex(), 3);
  EXPECT_TRUE(edit->EditImage()->Visible());
  EXPECT_EQ(edit->EditImage()->Width(), 10);
  EXPECT_TRUE(edit->EditImage()->UseImageHeight());  // not copied
  delete list;
  Application->ProcessMessages();
  EXPECT_EQ(edit->EditImage()->Images(), nullptr);
  EXPECT_EQ(source.Images(), nullptr);
  EXPECT_EQ(edit->Images(), nullptr);
}

TEST_F(DBEditPaintTest, ImageNarrowsTheEditRectFromTheLeft) {
  auto* list = new TImageList(form);
  list->SetWidth(16);
  list->SetHeight(16);
  edit->EditButton()->SetVisible(true);
  Application->ProcessMessages();
  const TRect client = edit->ClientRect();
  EXPECT_EQ(edit->CalcEditRect().Left, 0);
  edit->SetImages(list);  // also makes the image visible
  Application->ProcessMessages();
  EXPECT_TRUE(edit->EditImage()->Visible());
  EXPECT_EQ(edit->CalcEditRect(), (TRect{20, 0, client.Right - 18, edit->ClientHeight()}));
  EXPECT_EQ(edit->ImageRect(), (TRect{0, 0, 20, edit->ClientHeight()}));
  edit->EditImage()->SetWidth(10);
  Application->ProcessMessages();
  EXPECT_EQ(edit->CalcEditRect().Left, 14);
  edit->EditImage()->SetVisible(false);
  Application->ProcessMessages();
  EXPECT_EQ(edit->CalcEditRect().Left, 0);
}

TEST_F(DBEditPaintTest, NumericValueChoosesTheImageIndex) {
  auto* list = new TImageList(form);
  auto* numeric = new TNumericValueEditEh(form);
  numeric->SetParent(form);
  numeric->SetImages(list);
  const struct {
    const char* name;
    Variant value;
    int index;
  } cases[] = {
      {"null: the default", Variant::Null(), -1},
      {"integer", Variant(3), 3},
      {"double to the nearest", Variant(2.6), 3},
      {"a tie goes to the even index", Variant(2.5), 2},
      {"a tie above an odd number goes up", Variant(3.5), 4},
      {"text is no number", Variant(std::string("4")), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    numeric->value = c.value;
    numeric->UpdateImageIndex();
    EXPECT_EQ(numeric->EditImage()->ImageIndex(), c.index);
  }
}

// --- painting ------------------------------------------------------------------------------------

TEST_F(DBEditPaintTest, EmptyTextPaintedOnlyWhileEmptyAndUnfocused) {
  EXPECT_EQ(CountPaintedPixels(kSilver), 0);
  edit->EmptyDataInfo()->SetText("Name");
  EXPECT_GT(CountPaintedPixels(kSilver), 0);
  EXPECT_GT(CountWindowPixels(kSilver), 0);

  edit->SetText("x");
  EXPECT_EQ(CountPaintedPixels(kSilver), 0);
  EXPECT_EQ(CountWindowPixels(kSilver), 0);
  edit->SetText("");
  EXPECT_GT(CountWindowPixels(kSilver), 0);

  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(CountWindowPixels(kSilver), 0);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_GT(CountWindowPixels(kSilver), 0);
}

TEST_F(DBEditPaintTest, EmptyTextAlignment) {
  edit->EmptyDataInfo()->SetText("N");
  // The leftmost silver pixel moves right with the alignment.
  auto leftmost = [&]() {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    int found = -1;
    const TRect r = edit->ClientRect();
    for (int x = 0; x < r.Right && found < 0; ++x)
      for (int y = 0; y < r.Bottom; ++y)
        if (GetPixel(dc, x, y) == kSilver) {
          found = x;
          break;
        }
    ReleaseDC(edit->Handle(), dc);
    return found;
  };
  edit->EmptyDataInfo()->SetAlignment(taLeftJustify);
  const int left = leftmost();
  edit->EmptyDataInfo()->SetAlignment(taCenter);
  const int center = leftmost();
  edit->EmptyDataInfo()->SetAlignment(taRightJustify);
  const int right = leftmost();
  ASSERT_GE(left, 0);
  EXPECT_LT(left, 10);
  EXPECT_GT(center, left + 50);
  EXPECT_GT(right, center + 50);
}

// The grey text of an empty editor starts at the very pixel where the edit draws the text
// typed there: both sit in the edit's formatting rectangle, inside its border and margins.
TEST_F(DBEditPaintTest, EmptyTextStartsWhereTheEditDrawsItsText) {
  edit->EmptyDataInfo()->SetText("x");
  edit->EmptyDataInfo()->Font()->SetStyle({});
  // The top-left corner of the ink in a colour.
  auto inkCorner = [&](COLORREF Color) {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    POINT corner{-1, -1};
    const TRect r = edit->ClientRect();
    for (int y = 0; y < r.Bottom; ++y)
      for (int x = 0; x < r.Right; ++x)
        if (GetPixel(dc, x, y) == Color) {
          if (corner.X < 0 || x < corner.X) corner.X = x;
          if (corner.Y < 0) corner.Y = y;
        }
    ReleaseDC(edit->Handle(), dc);
    return corner;
  };
  const POINT empty = inkCorner(kSilver);
  edit->SetText("x");
  const POINT typed = inkCorner(ColorToRGB(edit->Font()->Color()));
  ASSERT_GE(empty.X, 0);
  EXPECT_EQ(empty.X, typed.X);
  EXPECT_EQ(empty.Y, typed.Y);
  RECT fr{};
  SendMessage(edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  EXPECT_GE(typed.X, fr.Left) << "no glyph left of the margin";
  EXPECT_GE(typed.Y, 1) << "no glyph on the top edge";
}

TEST_F(DBEditPaintTest, RequiredHighlightOfAnUnboundEditorWhileEmpty) {
  const int bottom = edit->ClientHeight() - 1;
  edit->SetHighlightRequired(true);
  const int dots = CountWindowPixels(kRed, bottom);
  // A dotted line from the text rectangle's left + 2 to its right - 3.
  EXPECT_EQ(dots, (edit->CalcEditRect().Width() - 5 + 1) / 2);
  const int border = (edit->Height() - edit->ClientHeight()) / 2;  // PaintTo draws the frame too
  EXPECT_EQ(CountPaintedPixels(kRed, bottom + border), dots);
  edit->SetText("x");
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
}

class DBEditBoundPaintTest : public DBEditFormTest {
 protected:
  void SetUp() override {
    DBEditFormTest::SetUp();
    data = new TMemoryDataSet(form);
    data->FieldDefs()->Add("Name", ftString, 20, true);
    data->FieldDefs()->Add("Code", ftString, 10);
    data->CreateDataSet();
    data->AppendRecord({Variant(std::string("old")), Variant(std::string("c1"))});
    source = new TDataSource(form);
    source->SetDataSet(data);
    edit->SetDataSource(source);
    edit->SetDataField("Name");
    Application->ProcessMessages();
  }
  TMemoryDataSet* data = nullptr;
  TDataSource* source = nullptr;
};

TEST_F(DBEditBoundPaintTest, RequiredHighlightWhileTheInsertedValueIsMissing) {
  const int bottom = edit->ClientHeight() - 1;
  edit->SetHighlightRequired(true);
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);  // browsing
  data->Insert();
  Application->ProcessMessages();
  EXPECT_GT(CountWindowPixels(kRed, bottom), 20);
  data->FieldByName("Name")->SetAsString("given");
  Application->ProcessMessages();
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
  data->FieldByName("Name")->Clear();
  Application->ProcessMessages();
  // The application may overrule the decision.
  edit->OnCheckDrawRequiredState = [](TObject*, bool& draw) { draw = false; };
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
  edit->OnCheckDrawRequiredState = TCheckDrawRequiredStateEventEh();
  edit->SetHighlightRequired(false);
  EXPECT_EQ(CountWindowPixels(kRed, bottom), 0);
}

TEST_F(DBEditPaintTest, PaintThatRaisesStillEndsThePaint) {
  edit->SetHighlightRequired(true);
  edit->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(GetCaretWindow(), edit->Handle());
  edit->OnCheckDrawRequiredState = [](TObject*, bool&) { throw Exception("paint failed"); };
  EXPECT_THROW(edit->Perform(WM_PAINT, 0, 0), Exception);
  edit->OnCheckDrawRequiredState = TCheckDrawRequiredStateEventEh();
  // The paint hid the caret; ending it shows the caret again, so it blinks on.
  bool drawn = false;
  for (int i = 0; i < 4 && !drawn; ++i) {
    VirtualClock::Advance(GetCaretBlinkTime());
    Application->ProcessMessages();
    drawn = IsCaretDrawn();
  }
  EXPECT_TRUE(drawn);
}

TEST_F(DBEditPaintTest, FlatBorderShowsItsActiveLook) {
  auto frameAt = [&](int X, int Y) {
    SetWindowPos(edit->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Application->ProcessMessages();
    HDC dc = GetWindowDC(edit->Handle());
    const COLORREF c = GetPixel(dc, X, Y);
    ReleaseDC(edit->Handle(), dc);
    return c;
  };
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  ASSERT_NE(face, shadow);
  EXPECT_EQ(frameAt(0, 0), shadow);  // the ordinary sunken 3-D frame
  edit->SetFlat(true);
  EXPECT_FALSE(edit->BorderActive());
  EXPECT_EQ(frameAt(0, 0), face);
  EXPECT_EQ(frameAt(1, 1), face);
  edit->SetAlwaysShowBorder(true);
  EXPECT_EQ(frameAt(0, 0), shadow);
  EXPECT_EQ(frameAt(1, 1), face);
  edit->SetAlwaysShowBorder(false);
  edit->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(edit->BorderActive());
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit->BorderActive());
  EXPECT_EQ(frameAt(0, 0), face);
}

TEST_F(DBEditPaintTest, RightAlignedTextIsPaintedAtTheRightWhileUnfocused) {
  edit->EditButton()->SetVisible(true);
  edit->SetText("x");
  edit->SetAlignment(taRightJustify);
  const COLORREF text = ColorToRGB(edit->Font()->Color());
  auto inkSpan = [&](int& First, int& Last) {
    edit->Invalidate();
    Application->ProcessMessages();
    HDC dc = GetDC(edit->Handle());
    First = -1;
    Last = -1;
    const TRect r = edit->ClientRect();
    for (int x = 0; x < r.Right; ++x)
      for (int y = 0; y < r.Bottom; ++y)
        if (GetPixel(dc, x, y) == text) {
          if (First < 0) First = x;
          Last = x;
        }
    ReleaseDC(edit->Handle(), dc);
  };
  int first = 0, last = 0;
  inkSpan(first, last);
  const int editRight = edit->CalcEditRect().Right;
  ASSERT_GE(first, 0);
  EXPECT_GT(first, editRight - 20);  // at the right of the text area, left of the button
  EXPECT_LT(last, editRight);
  edit->SetFocus();
  Application->ProcessMessages();
  inkSpan(first, last);
  ASSERT_GE(first, 0);
  // Edits left-aligned: the ink (the caret behind the selected "x") lies within one character
  // (7 px in the test font) from the formatting rectangle's margin.
  RECT fr{};
  SendMessage(edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  EXPECT_GE(first, fr.Left);
  EXPECT_LE(last, fr.Left + 7);
}

TEST_F(DBEditPaintTest, ImageIsPaintedLeftOfTheTextByIndex) {
  const COLORREF green = RGB(0, 200, 0), blue = RGB(0, 0, 200);
  auto* list = new TImageList(form);
  list->SetWidth(8);
  list->SetHeight(8);
  for (COLORREF c : {green, blue}) {
    TBitmap bmp;
    bmp.SetWidth(8);
    bmp.SetHeight(8);
    bmp.Canvas()->Brush()->SetColor(static_cast<TColor>(c));
    bmp.Canvas()->FillRect(TRect{0, 0, 8, 8});
    list->Add(&bmp, nullptr);
  }
  edit->SetImages(list);
  Application->ProcessMessages();
  EXPECT_EQ(edit->EditImage()->ImageIndex(), -1);
  EXPECT_EQ(CountWindowPixels(green), 0);
  // The application has the last word on the index.
  int asked = 0;
  edit->SetOnGetImageIndex([&](TObject*, int& index) {
    ++asked;
    index = 0;
  });
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(edit->EditImage()->ImageIndex(), 0);
  EXPECT_EQ(CountWindowPixels(green), 64);
  edit->EditImage()->SetImageIndex(1);
  EXPECT_EQ(CountWindowPixels(green), 0);
  EXPECT_EQ(CountWindowPixels(blue), 64);
  // Inside the image area only.
  HDC dc = GetDC(edit->Handle());
  EXPECT_EQ(GetPixel(dc, edit->CalcEditRect().Left + 1, edit->ClientHeight() / 2), GetSysColor(COLOR_WINDOW));
  ReleaseDC(edit->Handle(), dc);
}

}  // namespace
