// The axis grid's cell drawing, read from the recording device context and at key pixels of an
// in-memory bitmap the grid's canvas is bound to: fill styles, selection colours, translucent
// buttons, pictures, check boxes, image lists, edges, word wrap, right to left, the extended
// border and tool tips.
#include <memory>
#include <string>
#include <vector>

#include "grid/axis/AxisGridSettingsEh.h"
#include "grid/foundation/ColorRoutinesEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/grid/axis/AxisGridTestSupport.h"
#include "tests/support/SurfacePixels.h"

namespace {

constexpr TColor kBrush = 0x3264C8;  // RGB(200, 100, 50)

TColor Rgb(TColor Color) {
  return static_cast<TColor>(ColorToRGB(Color));
}

std::string Bmp(int W, int H) {
  TBmpImage image;
  image.Width = W;
  image.Height = H;
  image.Pixels.assign(static_cast<size_t>(W) * H, 0xFF0000);
  const std::vector<uint8_t> bytes = EncodeBmp(image);
  return std::string(bytes.begin(), bytes.end());
}

class AxisGridDrawing : public AxisGridTestBase {
 protected:
  void SetUp() override {
    AxisGridTestBase::SetUp();
    SetThemesEnabled(false);
    people = new TMemoryDataSet(form);
    people->FieldDefs()->Add("NAME", ftString, 40);
    people->FieldDefs()->Add("PIC", ftGraphic);
    people->FieldDefs()->Add("DONE", ftBoolean);
    people->FieldDefs()->Add("ID", ftInteger);
    people->CreateDataSet();
    people->AppendRecord({"Ann", Variant::Null(), true, 0});
    people->AppendRecord({"a rather long name for one cell", Variant::Null(), false, 1});
    people->First();
    source->SetDataSet(people);
    for (const char* name : {"NAME", "PIC", "DONE", "ID"}) grid->Columns()->Add()->SetFieldName(name);
    Pump();
  }
  void TearDown() override {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
    SetThemesEnabled(false);
    AxisGridTestBase::TearDown();
  }
  // The grid's canvas paints into a fresh W x H bitmap filled with Fill, every call recorded.
  void Bind(int W, int H, TColor Fill = clFuchsia) {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(W, H);
    bitmap->Canvas()->Brush()->SetColor(Fill);
    bitmap->Canvas()->FillRect(TRect{0, 0, W, H});
    log.Clear();
    AttachDrawRecorder(bitmap->Canvas()->Handle(), &log);
    grid->Canvas()->SetHandle(bitmap->Canvas()->Handle());
  }
  TColor Pixel(int X, int Y) { return static_cast<TColor>(GetPixel(bitmap->Canvas()->Handle(), X, Y)); }
  TTestAxisBarEh* Bar(const char* Name) {
    return static_cast<TTestAxisBarEh*>(grid->FindColumnByFieldName(Name));
  }
  // The only call of Kind, or none.
  const TDrawCall* OneCall(TDrawKind Kind, bool Expected) {
    const auto calls = log.OfKind(Kind);
    EXPECT_EQ(calls.size(), Expected ? 1u : 0u);
    return calls.size() == 1 ? calls[0] : nullptr;
  }

  TMemoryDataSet* people = nullptr;
  std::unique_ptr<TBitmap> bitmap;
  TDrawLog log;
};

TEST_F(AxisGridDrawing, FillStyles) {
  grid->SetColor(0xE0F0F0);
  struct Case {
    const char* id;
    TGridCellFillStyleEh style;
    bool themes, selected;
    TColor color;
    const char* themePart;  // nullptr: no theme part
    TColor top;             // the first line's colour
  };
  const Case cases[] = {
      {"solid", cfstSolidEh, true, false, clRed, nullptr, kBrush},
      {"default", cfstDefaultEh, false, false, clDefault, nullptr, kBrush},
      {"themed-off", cfstThemedEh, false, false, clDefault, nullptr, kBrush},
      {"themed", cfstThemedEh, true, false, clDefault, "HEADER.HP_HEADERITEM.HIS_NORMAL", clNone},
      {"themed-selected", cfstThemedEh, true, true, clDefault, "HEADER.HP_HEADERITEM.HIS_PRESSED", clNone},
      {"gradient-selected", cfstGradientEh, false, true, clRed, nullptr, BlendColors(kBrush, clWindow, 127)},
      {"gradient-default", cfstGradientEh, false, false, clDefault, nullptr,
       ColorToGray(BlendColors(kBrush, 0xE0F0F0, 240))},
      {"gradient-colour", cfstGradientEh, false, false, clRed, nullptr, clRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetThemesEnabled(c.themes);
    Bind(40, 20);
    grid->Canvas()->Brush()->SetColor(kBrush);
    grid->DrawCellBackground(c.style, TRect{0, 0, 40, 20}, false, c.selected, EmptyRect(), true, false,
                             c.color);
    if (const TDrawCall* part = OneCall(TDrawKind::ThemePart, c.themePart)) {
      EXPECT_EQ(part->Note, c.themePart);
      continue;
    }
    EXPECT_EQ(Pixel(20, 0), c.top);
    EXPECT_EQ(Pixel(20, 19), kBrush);
  }
}

TEST_F(AxisGridDrawing, SelectionColoursFollowTheFocusAndTheMarkedCurrentCell) {
  auto* other = new TEdit(form);
  other->SetParent(form);
  const std::tuple<const char*, bool, bool, TColor, TColor> cases[] = {
      {"selected-focused", true, false, Rgb(clHighlight), Rgb(clHighlightText)},
      {"selected-unfocused", false, false, Rgb(clWindow), Rgb(clWindowText)},
      {"current-marked", true, true, Rgb(clWindow), Rgb(clWindowText)},
  };
  for (const auto& [id, focused, marked, back, text] : cases) {
    SCOPED_TRACE(id);
    grid->Canvas()->SetHandle(nullptr);
    (focused ? static_cast<TWinControl*>(grid) : other)->SetFocus();
    Pump();
    Bar("NAME")->OnGetCellParams = [m = marked](TAxisColCellParamsEh* p) { p->IsCurrentCellMarked = m; };
    Bind(64, 24);
    grid->DrawCell(Bar("NAME")->Index(), grid->Row(), TRect{0, 0, 64, 24}, TGridDrawState{gdSelected});
    EXPECT_EQ(Pixel(60, 20), back);
    if (const TDrawCall* drawn = OneCall(TDrawKind::Text, true)) {
      EXPECT_EQ(drawn->Color, static_cast<COLORREF>(text));
    }
  }
}

// A plain button 30 x 20 on blue: its face centre shows the face blended by the alpha.
TEST_F(AxisGridDrawing, TranslucentButtonsBlendByTheClampedPercentage) {
  TBitmap target;
  target.SetSize(30, 20);
  auto faceAt = [&](int Percent) {
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(TRect{0, 0, 30, 20});
    grid->FillTranslucentRect(target.Canvas(), TRect{0, 0, 30, 20}, nullptr, -1, clBlue, Percent, false,
                              false, false, false, true, 2);
    return static_cast<uint32_t>(target.Canvas()->Pixels(15, 10));
  };
  const uint32_t face = faceAt(0), blue = ColorToRGB(clBlue);
  ASSERT_NE(face, blue);
  uint32_t half = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (face >> shift) & 0xFF, d = (blue >> shift) & 0xFF;
    half |= ((s * 128 + d * 127 + 127) / 255) << shift;
  }
  for (auto [percent, expected] : {std::pair{50, half}, {100, blue}, {255, blue}, {-5, face}}) {
    SCOPED_TRACE(percent);
    EXPECT_EQ(faceAt(percent), expected);
  }
}

TEST_F(AxisGridDrawing, PicturesFitCentredOrShowWhyNot) {
  // The bytes, whether pictures are drawn, the cell: where the picture goes (empty: none drawn)
  // and how the centred text ends (empty: no text; "*": the field's text).
  const std::tuple<const char*, std::string, bool, TRect, TRect, std::string> cases[] = {
      {"smaller", Bmp(4, 3), true, {0, 0, 40, 20}, {18, 8, 22, 11}, ""},
      {"wider", Bmp(80, 20), true, {0, 0, 40, 20}, {0, 5, 40, 15}, ""},
      {"taller", Bmp(10, 40), true, {0, 0, 40, 20}, {17, 0, 22, 20}, ""},
      {"not-a-picture", "hello", true, {0, 0, 400, 20}, {}, " - Incorrect image format."},
      {"truncated", Bmp(4, 3).substr(0, 30), true, {0, 0, 400, 20}, {}, " - Incorrect image format."},
      {"zero-wide-cell", Bmp(4, 3), true, {5, 0, 5, 20}, {}, ""},
      {"zero-high-cell", Bmp(4, 3), true, {0, 5, 40, 5}, {}, ""},
      {"graphic-off", "hello", false, {0, 0, 400, 20}, {}, "*"},
  };
  for (const auto& [id, bytes, drawGraphic, rect, picture, ending] : cases) {
    SCOPED_TRACE(id);
    people->Edit();
    people->FieldByName("PIC")->SetAsString(bytes);
    people->Post();
    grid->SetDrawGraphicData(drawGraphic);
    Bind(400, 20, clWhite);
    grid->DrawGraphicData(Bar("PIC"), rect, true);
    if (const TDrawCall* blt = OneCall(TDrawKind::Blt, !IsRectEmpty(picture))) {
      EXPECT_EQ(blt->Rect, picture);
      EXPECT_EQ(Pixel(picture.Left, picture.Top), clRed);
    }
    if (const TDrawCall* text = OneCall(TDrawKind::Text, !ending.empty())) {
      EXPECT_TRUE(text->Text.ends_with(ending == "*" ? people->FieldByName("PIC")->DisplayText() : ending));
      const int width = grid->Canvas()->TextWidth(text->Text);
      EXPECT_EQ(text->Points[0].X, rect.Left + (rect.Width() - width) / 2);
    }
  }
}

TEST_F(AxisGridDrawing, CellContentByKind) {
  TImageList images(16, 16);
  TBitmap red;
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(TRect{0, 0, 16, 16});
  images.Add(&red, nullptr);
  const TRect box = CalcAlignedRect(TRect{0, 0, 64, 24}, taCenter, tlCenter,
                                    TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()});
  struct Case {
    const char* id;
    const char* field;
    bool checkboxes, imageList, showText, fixed, flatThemed, wordWrap, rightToLeft;
    int textX;   // the text's left, or -1: no text
    bool image;  // red at the image's place
    UINT edge;   // the edge's flags, or 0: none
  };
  // "Ann" is 21 px wide; the text keeps 3 px off the cell's side.
  const Case cases[] = {
      {"check-box", "DONE", true, false, false, false, false, false, false, -1, false, 0},
      {"image-list", "ID", false, true, false, false, false, false, false, -1, true, 0},
      {"image-and-text", "NAME", false, true, true, false, false, false, false, 2 + 16 + 4 + 3, true, 0},
      {"fixed-3d", "NAME", false, false, false, true, false, false, false, 1 + 2, false, BF_RECT},
      {"fixed-flat-themed", "NAME", false, false, false, true, true, false, false, 1 + 2, false,
       BF_RIGHT | BF_BOTTOM | BF_FLAT},
      {"word-wrap", "NAME", false, false, false, false, false, true, false, 3, false, 0},
      {"right-to-left", "NAME", false, false, false, false, false, false, true, 64 - 3 - 21, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetThemesEnabled(c.flatThemed);
    grid->SetFlat(c.flatThemed);
    TTestAxisBarEh* bar = Bar(c.field);
    bar->SetCheckboxes(c.checkboxes);
    bar->SetImageList(c.imageList ? &images : nullptr);
    bar->SetShowImageAndText(c.showText);
    bar->SetWordWrap(c.wordWrap);
    bar->SetBiDiMode(c.rightToLeft ? bdRightToLeft : bdLeftToRight);
    bar->OnGetCellParams = [](TAxisColCellParamsEh* p) {
      p->ImageIndex = 0;
      p->Alignment = taLeftJustify;
    };
    Bind(64, 40, clWhite);
    grid->DrawCell(bar->Index(), 1, TRect{0, 0, 64, c.wordWrap ? 40 : 24},
                   c.fixed ? TGridDrawState{gdFixed} : TGridDrawState{});
    if (const TDrawCall* text = OneCall(TDrawKind::Text, c.textX >= 0)) {
      EXPECT_EQ(text->DeviceRect.Left, c.textX);
      const TDrawCall* format = OneCall(TDrawKind::DrawText, true);
      EXPECT_EQ(format && (format->Flags & DT_WORDBREAK) != 0, c.wordWrap);
    }
    EXPECT_EQ(Pixel(2 + 8, 12) == clRed, c.image);
    if (c.checkboxes) {
      const TDrawCall* blt = OneCall(TDrawKind::Blt, true);
      EXPECT_EQ(blt ? blt->Rect : TRect{}, box);
    }
    if (const TDrawCall* edge = OneCall(TDrawKind::Edge, c.edge != 0)) {
      EXPECT_EQ(edge->Rect, (TRect{0, 0, 64, 24}));
      EXPECT_EQ(edge->Flags, c.edge);
    }
  }
}

// A flat grid draws its single border itself on the chosen sides only, taking them from the
// client area: in its colour 1 px a side, or sunken 2 px a side with 3-D look.
TEST_F(AxisGridDrawing, ExtendedBorderTakesAndPaintsTheChosenSides) {
  // The sides, 3-D look, colour: red at the window's left and right edge, and the width and
  // height taken from the client area.
  const std::tuple<const char*, TEdgeBorders, bool, TColor, bool, bool, int, int> cases[] = {
      {"all", AllEdgeBorders(), false, clRed, true, true, 2, 2},
      {"left-top", {ebLeft, ebTop}, false, clRed, true, false, 1, 1},
      {"3d-left-top", {ebLeft, ebTop}, true, clDefault, false, false, 2, 2}};
  grid->SetBorderStyle(bsSingle);
  grid->SetFlat(true);
  EXPECT_EQ(grid->CellTextMargin(), 2);
  for (const auto& [id, edges, ctl3D, color, left, right, width, height] : cases) {
    SCOPED_TRACE(id);
    grid->Border()->SetCtl3D(ctl3D);
    grid->Border()->SetColor(color);
    grid->Border()->SetEdgeBorders(edges);
    Pump();
    ASSERT_TRUE(grid->Border()->ExtendedDraw());
    EXPECT_EQ(GetWindowLong(grid->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(grid->Width() - grid->ClientWidth(), width);
    EXPECT_EQ(grid->Height() - grid->ClientHeight(), height);
    RECT w{};
    GetWindowRect(grid->Handle(), &w);
    auto redAt = [&](int x) {
      return test_support::ScreenPixel(form->Handle(), POINT{x, (w.Top + w.Bottom) / 2}) == ColorToRGB(clRed);
    };
    EXPECT_EQ(redAt(w.Left), left);
    EXPECT_EQ(redAt(w.Right - 1), right);
    EXPECT_FALSE(redAt(w.Left + 1));
  }
}

TEST_F(AxisGridDrawing, CutTextShowsAToolTipOverItsCell) {
  const int col = Bar("NAME")->Index();
  Bar("NAME")->SetToolTips(true);
  grid->SetShowHint(true);
  const TRect cell = grid->CellRect(col, 2);
  // The row and alignment: the hint's left (left aligned) or right edge, or -1: no hint.
  const std::tuple<const char*, int, TAlignment, int> cases[] = {
      {"fits", 1, taLeftJustify, -1},
      {"cut-right", 2, taRightJustify, cell.Right + 1},
      {"cut-left", 2, taLeftJustify, cell.Left + 1},
  };
  std::string text;
  TRect rect;
  for (const auto& [id, row, alignment, edge] : cases) {
    SCOPED_TRACE(id);
    Bar("NAME")->OnGetCellParams = [a = alignment](TAxisColCellParamsEh* p) { p->Alignment = a; };
    ASSERT_EQ(grid->GetCellHint(col, row, text, rect), edge >= 0);
    EXPECT_EQ(text, edge >= 0 ? "a rather long name for one cell" : "");
    if (edge < 0) continue;
    EXPECT_EQ(rect.Top, cell.Top);
    EXPECT_EQ(alignment == taLeftJustify ? rect.Left : rect.Right, edge);
  }
  // The last tip shows in the cell tool-tip window at the rectangle asked for.
  Application->ActivateHint(grid->ClientToScreen(TPoint{cell.Left + 5, cell.Top + 5}));
  auto* tip = dynamic_cast<TGridToolTipsWindowEh*>(Application->HintWindow());
  ASSERT_NE(tip, nullptr);
  EXPECT_TRUE(IsWindowVisible(tip->Handle()));
  EXPECT_EQ(tip->Caption(), text);
  RECT window{};
  GetWindowRect(tip->Handle(), &window);
  EXPECT_EQ(window.TopLeft(), grid->ClientToScreen(rect.TopLeft()));
}

}  // namespace
