// The axis grid's cell drawing, read from the recording device context and at key pixels of an
// in-memory bitmap the grid's canvas is bound to: fill styles, selection colours, translucent
// buttons, pictures, check boxes, image lists, edges, word wrap, right to left and tool tips.
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
    Unbind();
    SetThemesEnabled(false);
    AxisGridTestBase::TearDown();
  }
  // The grid's canvas paints into a fresh W x H bitmap filled with Fill, every call recorded.
  void Bind(int W, int H, TColor Fill = clFuchsia) {
    Unbind();
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(W, H);
    bitmap->Canvas()->Brush()->SetColor(Fill);
    bitmap->Canvas()->FillRect(TRect{0, 0, W, H});
    log.Clear();
    AttachDrawRecorder(bitmap->Canvas()->Handle(), &log);
    grid->Canvas()->SetHandle(bitmap->Canvas()->Handle());
  }
  void Unbind() {
    if (bitmap) grid->Canvas()->SetHandle(nullptr);
  }
  TColor Pixel(int X, int Y) { return static_cast<TColor>(GetPixel(bitmap->Canvas()->Handle(), X, Y)); }
  TAxisBarEh* Bar(const char* Name) { return grid->FindColumnByFieldName(Name); }
  int ColOf(const char* Name) { return Bar(Name)->Index(); }
  std::vector<const TDrawCall*> Calls(TDrawKind Kind) { return log.OfKind(Kind); }
  void PutPicture(const std::string& Bytes) {
    people->Edit();
    people->FieldByName("PIC")->SetAsString(Bytes);
    people->Post();
  }

  TMemoryDataSet* people = nullptr;
  std::unique_ptr<TBitmap> bitmap;
  TDrawLog log;
};

std::string Bmp(int W, int H, uint32_t Rgb) {
  TBmpImage image;
  image.Width = W;
  image.Height = H;
  image.Pixels.assign(static_cast<size_t>(W) * H, Rgb);
  const std::vector<uint8_t> bytes = EncodeBmp(image);
  return std::string(bytes.begin(), bytes.end());
}

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
    const auto parts = Calls(TDrawKind::ThemePart);
    ASSERT_EQ(parts.size(), c.themePart ? 1u : 0u);
    if (c.themePart) {
      EXPECT_EQ(parts[0]->Note, c.themePart);
      continue;
    }
    EXPECT_EQ(Pixel(20, 0), c.top);
    EXPECT_EQ(Pixel(20, 19), kBrush);
  }
}

TEST_F(AxisGridDrawing, SelectionColoursFollowTheFocusAndTheMarkedCurrentCell) {
  auto* other = new TEdit(form);
  other->SetParent(form);
  struct Case {
    const char* id;
    bool focused, marked;
    TColor back, text;
  };
  const Case cases[] = {
      {"selected-focused", true, false, Rgb(clHighlight), Rgb(clHighlightText)},
      {"selected-unfocused", false, false, Rgb(clWindow), Rgb(clWindowText)},
      {"current-marked", true, true, Rgb(clWindow), Rgb(clWindowText)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Unbind();
    if (c.focused)
      grid->SetFocus();
    else
      other->SetFocus();
    Pump();
    static_cast<TTestAxisBarEh*>(Bar("NAME"))->OnGetCellParams = [&](TAxisColCellParamsEh* p) {
      p->IsCurrentCellMarked = c.marked;
    };
    Bind(64, 24);
    grid->DrawCell(ColOf("NAME"), grid->Row(), TRect{0, 0, 64, 24}, TGridDrawState{gdSelected});
    EXPECT_EQ(Pixel(60, 20), c.back);
    const auto texts = Calls(TDrawKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Color, static_cast<COLORREF>(c.text));
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
  auto blend = [&](uint32_t alpha) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t s = (face >> shift) & 0xFF, d = (blue >> shift) & 0xFF;
      out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
  };
  struct Case {
    int percent;
    uint32_t expected;
  };
  for (const Case& c : {Case{50, blend(128)}, Case{100, blue}, Case{255, blue}, Case{-5, face}}) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(faceAt(c.percent), c.expected);
  }
  const TSize grown = TCustomDBAxisGridEh::TranslucentBitmapSize();
  EXPECT_GE(grown.cx, 30);
  EXPECT_GE(grown.cy, 20);
  grid->FillTranslucentRect(target.Canvas(), TRect{0, 0, 10, 10}, nullptr, -1, clBlue, 50, false, false,
                            false, false, true, 2);
  EXPECT_EQ(TCustomDBAxisGridEh::TranslucentBitmapSize(), grown);
}

TEST_F(AxisGridDrawing, PicturesFitCentredOrShowWhyNot) {
  struct Case {
    const char* id;
    std::string bytes;
    bool drawGraphic;
    TRect rect;
    TRect picture;       // where the picture goes (empty: none drawn)
    std::string suffix;  // the centred text ends with it (empty: no text; "*": the field's text)
  };
  const Case cases[] = {
      {"smaller", Bmp(4, 3, 0xFF0000), true, {0, 0, 40, 20}, {18, 8, 22, 11}, ""},
      {"wider", Bmp(80, 20, 0xFF0000), true, {0, 0, 40, 20}, {0, 5, 40, 15}, ""},
      {"taller", Bmp(10, 40, 0xFF0000), true, {0, 0, 40, 20}, {17, 0, 22, 20}, ""},
      {"not-a-picture", "hello", true, {0, 0, 400, 20}, {}, " - Incorrect image format."},
      {"truncated", Bmp(4, 3, 0).substr(0, 30), true, {0, 0, 400, 20}, {}, " - Incorrect image format."},
      {"zero-wide-cell", Bmp(4, 3, 0xFF0000), true, {5, 0, 5, 20}, {}, ""},
      {"zero-high-cell", Bmp(4, 3, 0xFF0000), true, {0, 5, 40, 5}, {}, ""},
      {"graphic-off", "hello", false, {0, 0, 400, 20}, {}, "*"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    PutPicture(c.bytes);
    grid->SetDrawGraphicData(c.drawGraphic);
    Bind(400, 20, clWhite);
    grid->DrawGraphicData(Bar("PIC"), c.rect, true);
    const auto blts = Calls(TDrawKind::Blt);
    const auto texts = Calls(TDrawKind::Text);
    ASSERT_EQ(blts.size(), IsRectEmpty(c.picture) ? 0u : 1u);
    ASSERT_EQ(texts.size(), c.suffix.empty() ? 0u : 1u);
    if (!blts.empty()) {
      EXPECT_EQ(blts[0]->Rect, c.picture);
      EXPECT_EQ(Pixel(c.picture.Left, c.picture.Top), clRed);
    }
    if (!texts.empty()) {
      const std::string& text = texts[0]->Text;
      const std::string suffix = c.suffix == "*" ? people->FieldByName("PIC")->DisplayText() : c.suffix;
      ASSERT_GE(text.size(), suffix.size());
      EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
      const int width = grid->Canvas()->TextWidth(text);
      EXPECT_EQ(texts[0]->Points[0].X, c.rect.Left + (c.rect.Width() - width) / 2);
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
  struct Case {
    const char* id;
    const char* field;
    bool checkboxes, imageList, showText, fixed, flat, themes, wordWrap;
    int textX;         // the text's left, or -1: no text
    bool image;        // red at the image's place
    TRect box;         // the check box (empty: none)
    const char* edge;  // the edge's flags, or nullptr
  };
  const TRect none{};
  const Case cases[] = {
      {"check-box", "DONE", true, false, false, false, false, false, false, -1, false,
       CalcAlignedRect(TRect{0, 0, 64, 24}, taCenter, tlCenter,
                       TSize{DefaultCheckBoxWidth(), DefaultCheckBoxHeight()}),
       nullptr},
      {"image-list", "ID", false, true, false, false, false, false, false, -1, true, none, nullptr},
      {"image-and-text", "NAME", false, true, true, false, false, false, false, 2 + 16 + 4 + 3, true, none,
       nullptr},
      {"fixed-3d", "NAME", false, false, false, true, false, false, false, 1 + 2, false, none, "F"},
      {"fixed-flat-themed", "NAME", false, false, false, true, true, true, false, 1 + 2, false, none, "C"},
      {"word-wrap", "NAME", false, false, false, false, false, false, true, 3, false, none, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    SetThemesEnabled(c.themes);
    grid->SetFlat(c.flat);
    TAxisBarEh* bar = Bar(c.field);
    bar->SetCheckboxes(c.checkboxes);
    bar->SetImageList(c.imageList ? &images : nullptr);
    bar->SetShowImageAndText(c.showText);
    bar->SetWordWrap(c.wordWrap);
    static_cast<TTestAxisBarEh*>(bar)->OnGetCellParams = [](TAxisColCellParamsEh* p) {
      p->ImageIndex = 0;
      p->Alignment = taLeftJustify;
    };
    Bind(64, 40, clWhite);
    grid->DrawCell(bar->Index(), 1, TRect{0, 0, 64, c.wordWrap ? 40 : 24},
                   c.fixed ? TGridDrawState{gdFixed} : TGridDrawState{});
    const auto texts = Calls(TDrawKind::Text);
    if (c.textX < 0) {
      EXPECT_EQ(texts.size(), 0u);
    } else {
      ASSERT_FALSE(texts.empty());
      EXPECT_EQ(texts[0]->Points[0].X, c.textX);
      const auto formats = Calls(TDrawKind::DrawText);
      ASSERT_EQ(formats.size(), 1u);
      EXPECT_EQ((formats[0]->Flags & DT_WORDBREAK) != 0, c.wordWrap);
    }
    if (c.image) {
      EXPECT_EQ(Pixel(2 + 8, 12), clRed);
    }
    if (!IsRectEmpty(c.box)) {
      const auto blts = Calls(TDrawKind::Blt);
      ASSERT_EQ(blts.size(), 1u);
      EXPECT_EQ(blts[0]->Rect, c.box);
    }
    const auto edges = Calls(TDrawKind::Edge);
    ASSERT_EQ(edges.size(), c.edge ? 1u : 0u);
    if (c.edge) {
      EXPECT_EQ(edges[0]->Rect, (TRect{0, 0, 64, 24}));
      EXPECT_EQ(edges[0]->Flags, c.edge[0] == 'F' ? static_cast<UINT>(BF_RECT)
                                                  : static_cast<UINT>(BF_RIGHT | BF_BOTTOM | BF_FLAT));
    }
  }
}

TEST_F(AxisGridDrawing, RightToLeftTextStandsAtTheCellsRight) {
  TAxisBarEh* bar = Bar("NAME");
  bar->SetBiDiMode(bdRightToLeft);
  ASSERT_TRUE(bar->UseRightToLeftAlignment());
  Bind(200, 24, clWhite);
  grid->DrawCell(bar->Index(), 1, TRect{100, 0, 200, 24}, TGridDrawState{});
  const auto texts = Calls(TDrawKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  const int width = grid->Canvas()->TextWidth("Ann");
  EXPECT_EQ(texts[0]->DeviceRect.Right, 200 - 3);
  EXPECT_EQ(texts[0]->DeviceRect.Left, 200 - 3 - width);
}

// A flat grid without 3-D look and with a border colour draws its one-pixel frame itself, on
// the chosen sides only.
TEST_F(AxisGridDrawing, ExtendedBorderPaintsTheChosenSidesInItsColour) {
  struct Case {
    const char* id;
    TEdgeBorders edges;
    bool left, right;  // red at the window's left, right edge
  };
  const Case cases[] = {{"all", AllEdgeBorders(), true, true}, {"left-top", {ebLeft, ebTop}, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    grid->SetBorderStyle(bsSingle);
    grid->SetFlat(true);
    grid->Border()->SetCtl3D(false);
    grid->Border()->SetColor(clRed);
    grid->Border()->SetEdgeBorders(c.edges);
    Pump();
    ASSERT_TRUE(grid->Border()->ExtendedDraw());
    RECT w{};
    GetWindowRect(grid->Handle(), &w);
    const int y = (w.Top + w.Bottom) / 2;
    auto redAt = [&](int x) {
      return test_support::ScreenPixel(form->Handle(), POINT{x, y}) == ColorToRGB(clRed);
    };
    EXPECT_EQ(redAt(w.Left), c.left);
    EXPECT_EQ(redAt(w.Right - 1), c.right);
    EXPECT_FALSE(redAt(w.Left + 1));
  }
}

TEST_F(AxisGridDrawing, CutTextShowsAToolTipOverItsCell) {
  const int col = ColOf("NAME");
  Bar("NAME")->SetToolTips(true);
  grid->SetShowHint(true);
  const TRect cell = grid->CellRect(col, 2);
  struct Case {
    const char* id;
    int row;
    TAlignment alignment;
    bool shown;
    int edge;  // the hint's left (left aligned) or right edge
  };
  const Case cases[] = {{"fits", 1, taLeftJustify, false, 0},
                        {"cut-left", 2, taLeftJustify, true, cell.Left + 1},
                        {"cut-right", 2, taRightJustify, true, cell.Right + 1}};
  std::string text;
  TRect rect;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    static_cast<TTestAxisBarEh*>(Bar("NAME"))->OnGetCellParams = [&](TAxisColCellParamsEh* p) {
      p->Alignment = c.alignment;
    };
    ASSERT_EQ(grid->GetCellHint(col, c.row, text, rect), c.shown);
    EXPECT_EQ(text, c.shown ? "a rather long name for one cell" : "");
    if (!c.shown) continue;
    EXPECT_EQ(rect.Top, cell.Top);
    EXPECT_EQ(c.alignment == taLeftJustify ? rect.Left : rect.Right, c.edge);
  }
  static_cast<TTestAxisBarEh*>(Bar("NAME"))->OnGetCellParams = nullptr;
  ASSERT_TRUE(grid->GetCellHint(col, 2, text, rect));
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
