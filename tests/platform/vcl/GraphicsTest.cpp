// Colour identifiers, fonts, pens, brushes and the canvas (decisions and pixel probes on small
// bitmaps).
#include <gtest/gtest.h>

#include "platform/gdi/DrawRecorder.h"
#include "platform/rtl/Filer.h"
#include "platform/vcl/Graphics.h"

namespace {

TEST(GraphicsColorTest, IdentifiersAndNumbers) {
  struct Case {
    const char* Text;
    TColor Color;
  };
  const Case cases[] = {{"clInfoBk", clInfoBk},        {"clinfobk", clInfoBk},    {"clNone", clNone},
                        {"clDefault", clDefault},      {"clFuchsia", clFuchsia},  {"$00FF00FF", clFuchsia},
                        {"16711935", clFuchsia},       {"-2147483643", clWindow}, {"$80000018", clInfoBk},
                        {"cl3DDkShadow", cl3DDkShadow}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(StringToColor(c.Text), c.Color);
  }
  EXPECT_THROW(StringToColor("clNotAColour"), EConvertError);
  EXPECT_THROW(StringToColor(""), EConvertError);
}

TEST(GraphicsColorTest, ColorToStringPrefersTheFirstNameAndFallsBackToHex) {
  EXPECT_EQ(ColorToString(clInfoBk), "clInfoBk");
  EXPECT_EQ(ColorToString(clLtGray), "clSilver");  // an alias streams under the main name
  EXPECT_EQ(ColorToString(0x123456), "$00123456");
  EXPECT_EQ(ColorToString(static_cast<TColor>(0x80000040u)), "$80000040");
  std::string ident;
  EXPECT_FALSE(ColorToIdent(0x010203, ident));
  TColor c = 0;
  EXPECT_TRUE(IdentToColor("clBtnFace", c));
  EXPECT_EQ(c, clBtnFace);
  EXPECT_FALSE(IdentToColor("$00FF00FF", c));
}

TEST(GraphicsColorTest, GetColorValuesListsEveryIdentifierOnce) {
  std::vector<std::string> names;
  GetColorValues([&](const std::string& s) { names.push_back(s); });
  EXPECT_EQ(names.size(), ColorIdents().Entries.size());
  EXPECT_NE(std::find(names.begin(), names.end(), "clInfoBk"), names.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

// --- fonts, pens, brushes --------------------------------------------------------------------

TEST(GraphicsFontTest, Defaults) {
  TFont f;
  EXPECT_EQ(f.Name(), TFont::DefaultFontName());
  EXPECT_FALSE(f.Name().empty());
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  EXPECT_EQ(f.Color(), clWindowText);
  EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(f.PixelsPerInch(), 96);
  EXPECT_TRUE(f.Style().Empty());
}

TEST(GraphicsFontTest, SizeAndHeightConvertThroughPixelsPerInch) {
  struct Case {
    int Ppi, Size, Height;
  };
  const Case cases[] = {{96, 8, -11},  {96, 9, -12},  {96, 10, -13},
                        {96, 12, -16}, {120, 8, -13}, {72, 10, -10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Ppi << " ppi, " << c.Size << " pt");
    TFont f;
    f.SetPixelsPerInch(c.Ppi);
    f.SetSize(c.Size);
    EXPECT_EQ(f.Height(), c.Height);
    EXPECT_EQ(f.Size(), c.Size);
  }
}

TEST(GraphicsFontTest, EqualAttributesShareOneHandle) {
  const int before = GraphicsObjectCacheCount();
  {
    TFont a, b;
    EXPECT_EQ(a.Handle(), b.Handle());
    b.SetStyle({fsBold});
    EXPECT_NE(a.Handle(), b.Handle());
    LOGFONT lf;
    ASSERT_TRUE(GetObject(b.Handle(), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfHeight, -11);
    b.SetStyle({});
    EXPECT_EQ(a.Handle(), b.Handle());
    HFONT shared = a.Handle();
    b.SetColor(clRed);  // colour is not part of the handle
    EXPECT_EQ(b.Handle(), shared);
    b.SetSize(9);
    EXPECT_NE(b.Handle(), shared);
    EXPECT_EQ(a.Handle(), shared);
  }
  EXPECT_EQ(GraphicsObjectCacheCount(), before);
}

TEST(GraphicsFontTest, ChangeEventsOnlyForRealChanges) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* s) {
    EXPECT_EQ(s, &f);
    ++changes;
  };
  f.SetName(f.Name());
  f.SetHeight(-11);
  f.SetColor(clWindowText);
  EXPECT_EQ(changes, 0);
  f.SetName("Other Face");
  f.SetStyle({fsItalic, fsUnderline});
  f.SetColor(clBlue);
  f.SetOrientation(900);
  EXPECT_EQ(changes, 4);
}

TEST(GraphicsFontTest, AssignCopiesAttributesAndKeepsTheSizeAcrossResolutions) {
  TFont src;
  src.SetName("Some Face");
  src.SetSize(12);
  src.SetStyle({fsBold, fsStrikeOut});
  src.SetColor(clMaroon);
  src.SetPitch(fpFixed);
  TFont dst;
  dst.Assign(&src);
  EXPECT_EQ(dst.Name(), "Some Face");
  EXPECT_EQ(dst.Height(), src.Height());
  EXPECT_EQ(dst.Style(), src.Style());
  EXPECT_EQ(dst.Color(), clMaroon);
  EXPECT_EQ(dst.Pitch(), fpFixed);
  EXPECT_EQ(dst.Handle(), src.Handle());

  TFont big;
  big.SetPixelsPerInch(120);
  big.Assign(&src);
  EXPECT_EQ(big.Size(), 12);
  EXPECT_EQ(big.Height(), -20);

  TPen pen;
  EXPECT_THROW(dst.Assign(&pen), EConvertError);
}

TEST(GraphicsFontTest, SetHandleTakesTheAttributes) {
  HFONT h = CreateFont(-16, 0, 0, 0, FW_BOLD, 1, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "Face X");
  TFont f;
  f.SetHandle(h);
  EXPECT_EQ(f.Name(), "Face X");
  EXPECT_EQ(f.Height(), -16);
  EXPECT_EQ(f.Size(), 12);
  EXPECT_EQ(f.Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(f.Charset(), GB2312_CHARSET);
  DeleteObject(h);
}

TEST(GraphicsPenTest, StylesMapToPenHandles) {
  const std::pair<TPenStyle, UINT> cases[] = {{psSolid, PS_SOLID},
                                              {psDash, PS_DASH},
                                              {psDot, PS_DOT},
                                              {psDashDot, PS_DASHDOT},
                                              {psDashDotDot, PS_DASHDOTDOT},
                                              {psClear, PS_NULL},
                                              {psInsideFrame, PS_INSIDEFRAME}};
  for (const auto& [style, ps] : cases) {
    SCOPED_TRACE(static_cast<int>(style));
    TPen p;
    p.SetStyle(style);
    p.SetColor(clRed);
    p.SetWidth(2);
    LOGPEN lp;
    ASSERT_TRUE(GetObject(p.Handle(), sizeof(lp), &lp));
    EXPECT_EQ(lp.lopnStyle, ps);
    EXPECT_EQ(lp.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(lp.lopnWidth.X, 2);
  }
  TPen a, b;
  EXPECT_EQ(a.Handle(), b.Handle());
  b.SetMode(pmXor);  // the mode is applied by the canvas, not part of the handle
  EXPECT_EQ(a.Handle(), b.Handle());
  b.SetWidth(-3);
  EXPECT_EQ(b.Width(), 1);
}

TEST(GraphicsBrushTest, ColorAndStyleRules) {
  TBrush b;
  EXPECT_EQ(b.Color(), clWhite);
  b.SetColor(clRed);
  b.SetStyle(bsClear);
  EXPECT_EQ(b.Color(), clWhite);  // a clear brush forgets its colour
  b.SetColor(clBlue);
  EXPECT_EQ(b.Style(), bsSolid);  // setting a colour makes it solid again
  TBrush c;
  c.SetColor(clBlue);
  EXPECT_EQ(b.Handle(), c.Handle());
  c.SetStyle(bsDiagCross);
  LOGBRUSH lb;
  ASSERT_TRUE(GetObject(c.Handle(), sizeof(lb), &lb));
  EXPECT_EQ(lb.lbStyle, BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, static_cast<uintptr_t>(HS_DIAGCROSS));
  // System colours resolve when the handle is made.
  c.SetColor(clBtnFace);
  ASSERT_TRUE(GetObject(c.Handle(), sizeof(lb), &lb));
  EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
}

// A component with a font, a pen and a brush, as controls and shapes publish them.
class TStyledHost : public TComponent {
  RTL_CLASS(TStyledHost, TComponent)
 public:
  explicit TStyledHost(TComponent* AOwner) : TComponent(AOwner) {}
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }
  static void DescribeClass(TClassBuilder<TStyledHost>& c) {
    c.Property("Brush", &TStyledHost::Brush, &TStyledHost::SetBrush);
    c.Property("Font", &TStyledHost::Font, &TStyledHost::SetFont);
    c.Property("Pen", &TStyledHost::Pen, &TStyledHost::SetPen);
  }

 private:
  std::unique_ptr<TFont> font_ = std::make_unique<TFont>();
  std::unique_ptr<TPen> pen_ = std::make_unique<TPen>();
  std::unique_ptr<TBrush> brush_ = std::make_unique<TBrush>();
};
RTL_IMPLEMENT_CLASS(TStyledHost)

TEST(GraphicsStreamingTest, FontPenAndBrushLoadFromADescription) {
  const std::string text =
      "object Host: TStyledHost\n"
      "  Brush.Color = clInfoBk\n"
      "  Brush.Style = bsDiagCross\n"
      "  Font.Charset = GB2312_CHARSET\n"
      "  Font.Color = clRed\n"
      "  Font.Height = -16\n"
      "  Font.Name = 'Face Y'\n"
      "  Font.Style = [fsBold, fsUnderline]\n"
      "  Pen.Mode = pmXor\n"
      "  Pen.Width = 3\n"
      "end\n";
  TStringStream in(text);
  TMemoryStream binary;
  ObjectTextToBinary(in, binary);
  binary.SetPosition(0);
  TStyledHost host(nullptr);
  binary.ReadComponent(&host);
  EXPECT_EQ(host.Brush()->Color(), clInfoBk);
  EXPECT_EQ(host.Brush()->Style(), bsDiagCross);
  EXPECT_EQ(host.Font()->Color(), clRed);
  EXPECT_EQ(host.Font()->Size(), 12);
  EXPECT_EQ(host.Font()->Name(), "Face Y");
  EXPECT_EQ(host.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(host.Pen()->Mode(), pmXor);
  EXPECT_EQ(host.Pen()->Width(), 3);

  // Written back: Height, never Size; pen and brush leave their defaults out.
  TMemoryStream out, outText;
  out.WriteComponent(&host);
  out.SetPosition(0);
  ObjectBinaryToText(out, outText);
  const std::string written(reinterpret_cast<const char*>(outText.Memory()),
                            static_cast<size_t>(outText.Size()));
  EXPECT_NE(written.find("Font.Height = -16"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Charset = GB2312_CHARSET"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Style = [fsBold, fsUnderline]"), std::string::npos) << written;
  EXPECT_EQ(written.find("Font.Size"), std::string::npos) << written;
  EXPECT_EQ(written.find("Pen.Color"), std::string::npos) << written;
  EXPECT_NE(written.find("Brush.Color = clInfoBk"), std::string::npos) << written;
}

// --- canvas ----------------------------------------------------------------------------------

class GraphicsCanvasTest : public testing::Test {
 protected:
  void SetUp() override {
    bmp.SetSize(20, 20);
    canvas = bmp.Canvas();
  }
  TColor At(int x, int y) { return canvas->Pixels(x, y); }
  TBitmap bmp;
  TCanvas* canvas = nullptr;
};

TEST_F(GraphicsCanvasTest, ACanvasWithoutADeviceRefusesToDraw) {
  TCanvas plain;
  EXPECT_FALSE(plain.HandleAllocated());
  try {
    plain.FillRect(Rect(0, 0, 1, 1));
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
}

TEST_F(GraphicsCanvasTest, ObjectsAreSelectedOnlyWhenNeeded) {
  // A canvas of its own on a memory DC: a bitmap's canvas reacts to its own changes.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP surface = CreateCompatibleBitmap(dc, 20, 20);
  HGDIOBJ oldBitmap = SelectObject(dc, surface);
  TCanvas own;
  own.SetHandle(dc);
  TCanvas* canvas = &own;
  // Reading the handle selects everything, for callers that draw on it directly.
  EXPECT_EQ(canvas->Handle(), dc);
  EXPECT_EQ(canvas->State(), (TCanvasState{csHandleValid, csFontValid, csPenValid, csBrushValid}));
  canvas->Refresh();
  EXPECT_EQ(canvas->State(), TCanvasState{csHandleValid});
  canvas->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(canvas->State(), (TCanvasState{csHandleValid, csBrushValid}));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas->Brush()->Handle());
  canvas->TextWidth("x");
  EXPECT_TRUE(canvas->State().Contains(csFontValid));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas->Font()->Handle());
  // A changed font is deselected at once and selected again on next use.
  canvas->Font()->SetStyle({fsBold});
  EXPECT_FALSE(canvas->State().Contains(csFontValid));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  canvas->TextOut(0, 0, "a");
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas->Font()->Handle());
  // A dashed pen needs the brush too (the gaps take its background colour).
  canvas->Refresh();
  EXPECT_EQ(canvas->State(), TCanvasState{csHandleValid});
  canvas->Pen()->SetStyle(psDot);
  canvas->MoveTo(0, 0);
  canvas->LineTo(5, 0);
  EXPECT_EQ(canvas->State(), (TCanvasState{csHandleValid, csPenValid, csBrushValid}));
  own.SetHandle(nullptr);
  SelectObject(dc, oldBitmap);
  DeleteObject(surface);
  DeleteDC(dc);
}

TEST_F(GraphicsCanvasTest, RebindingTheHandleDeselectsFromTheOldDc) {
  TCanvas c;
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  c.SetHandle(first);
  c.TextWidth("x");
  c.MoveTo(3, 4);
  c.SetHandle(second);
  EXPECT_EQ(GetCurrentObject(first, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(c.State(), TCanvasState{csHandleValid});
  EXPECT_EQ(c.PenPos(), Point(3, 4));  // the pen position carries over
  c.SetHandle(nullptr);
  EXPECT_FALSE(c.HandleAllocated());
  DeleteDC(first);
  DeleteDC(second);
}

TEST_F(GraphicsCanvasTest, ShapesUsePenAndBrush) {
  canvas->Brush()->SetColor(clYellow);
  canvas->Pen()->SetColor(clBlue);
  canvas->Rectangle(2, 2, 10, 10);
  EXPECT_EQ(At(2, 2), clBlue);
  EXPECT_EQ(At(9, 5), clBlue);
  EXPECT_EQ(At(5, 5), clYellow);
  EXPECT_EQ(At(10, 5), clWhite);  // right edge excluded
  canvas->Brush()->SetStyle(bsClear);
  canvas->Pen()->SetColor(clRed);
  canvas->Rectangle(4, 4, 8, 8);
  EXPECT_EQ(At(4, 4), clRed);
  EXPECT_EQ(At(5, 5), clYellow);  // a clear brush leaves the inside
}

TEST_F(GraphicsCanvasTest, PenModesMapToRasterOperations) {
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(Rect(0, 0, 20, 20));
  canvas->Pen()->SetColor(clRed);
  canvas->Pen()->SetMode(pmXor);
  canvas->MoveTo(0, 1);
  canvas->LineTo(10, 1);
  EXPECT_EQ(At(3, 1), clRed);
  canvas->MoveTo(0, 1);
  canvas->LineTo(10, 1);
  EXPECT_EQ(At(3, 1), clBlack);  // a second xor line erases the first
  canvas->Pen()->SetMode(pmNot);
  canvas->MoveTo(0, 2);
  canvas->LineTo(10, 2);
  EXPECT_EQ(At(3, 2), clWhite);
  EXPECT_EQ(GetROP2(canvas->Handle()), R2_NOT);
}

TEST_F(GraphicsCanvasTest, TextOutMovesThePenByTheTextWidth) {
  EXPECT_EQ(canvas->TextWidth("abc"), 21);  // the test font's 7 px advance
  EXPECT_EQ(canvas->TextHeight("Wg"), 13);
  EXPECT_EQ(canvas->TextExtent(""), (TSize{0, 13}));
  canvas->TextOut(2, 3, "ab");
  EXPECT_EQ(canvas->PenPos(), Point(16, 3));
}

TEST_F(GraphicsCanvasTest, TextRectClipsAndPaintsTheBackground) {
  TDrawLog log;
  AttachDrawRecorder(canvas->Handle(), &log);
  canvas->Brush()->SetColor(clAqua);
  canvas->SetTextFlags(ETO_RTLREADING);
  canvas->TextRect(Rect(0, 0, 6, 6), 0, 0, "WWWW");
  AttachDrawRecorder(canvas->Handle(), nullptr);
  auto texts = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Flags, static_cast<UINT>(ETO_CLIPPED | ETO_OPAQUE | ETO_RTLREADING));
  EXPECT_EQ(At(10, 2), clWhite);  // nothing outside the rectangle
  canvas->Brush()->SetStyle(bsClear);
  log.Clear();
  AttachDrawRecorder(canvas->Handle(), &log);
  canvas->TextRect(Rect(0, 8, 6, 14), 0, 8, "x");
  AttachDrawRecorder(canvas->Handle(), nullptr);
  ASSERT_EQ(log.OfKind(TDrawKind::Text).size(), 1u);
  EXPECT_EQ(log.OfKind(TDrawKind::Text)[0]->Flags & ETO_OPAQUE, 0u);
}

TEST_F(GraphicsCanvasTest, FormattedTextRectMeasuresWithCalcRect) {
  TRect r = Rect(0, 0, 100, 0);
  std::string text = "abcd";
  canvas->TextRect(r, text, TTextFormat{tfCalcRect, tfSingleLine});
  EXPECT_EQ(r, Rect(0, 0, 28, 13));
  EXPECT_EQ(TextFormatToFlags({tfCenter, tfVerticalCenter, tfSingleLine, tfEndEllipsis}),
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(TextFormatToFlags({tfComposited, tfLeft}), 0u);
}

TEST_F(GraphicsCanvasTest, CopyRectAndDrawCopyPixels) {
  TBitmap src;
  src.SetSize(4, 4);
  src.Canvas()->Brush()->SetColor(clGreen);
  src.Canvas()->FillRect(Rect(0, 0, 2, 4));
  canvas->CopyRect(Rect(10, 10, 14, 14), src.Canvas(), Rect(0, 0, 4, 4));
  EXPECT_EQ(At(10, 10), clGreen);
  EXPECT_EQ(At(12, 10), clWhite);
  canvas->SetCopyMode(cmNotSrcCopy);
  canvas->Draw(0, 0, &src);
  EXPECT_EQ(At(0, 0), static_cast<TColor>(~static_cast<uint32_t>(clGreen) & 0xFFFFFF));
  EXPECT_EQ(At(3, 0), clBlack);
  canvas->SetCopyMode(cmSrcCopy);
  canvas->StretchDraw(Rect(0, 14, 8, 18), &src);  // twice as wide
  EXPECT_EQ(At(3, 15), clGreen);
  EXPECT_EQ(At(4, 15), clWhite);
}

TEST_F(GraphicsCanvasTest, FloodFillBySurfaceAndByBorder) {
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(2, 2, 12, 12);
  canvas->Brush()->SetColor(clRed);
  canvas->FloodFill(5, 5, clWhite, fsSurface);
  EXPECT_EQ(At(5, 5), clRed);
  EXPECT_EQ(At(10, 10), clRed);
  EXPECT_EQ(At(2, 5), clBlack);
  EXPECT_EQ(At(15, 15), clWhite);  // outside the frame stays
  canvas->Brush()->SetColor(clLime);
  canvas->FloodFill(5, 5, clBlack, fsBorder);
  EXPECT_EQ(At(6, 6), clLime);
  EXPECT_EQ(At(15, 15), clWhite);
  canvas->FloodFill(15, 15, clRed, fsSurface);  // not of that colour: nothing happens
  EXPECT_EQ(At(15, 15), clWhite);
}

TEST_F(GraphicsCanvasTest, PieFillsOnlyItsSector) {
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clBlue);
  // From the radial through the right (0 degrees) to the one through the top (90 degrees).
  canvas->Pie(0, 0, 20, 20, 20, 10, 10, 0);
  EXPECT_EQ(At(14, 6), clBlue);
  EXPECT_EQ(At(5, 14), clWhite);
  EXPECT_EQ(At(5, 6), clWhite);
}

TEST_F(GraphicsCanvasTest, ChangeEventsBracketDrawing) {
  std::vector<std::string> events;
  canvas->OnChanging = [&](TObject*) { events.push_back("changing"); };
  canvas->OnChange = [&](TObject*) { events.push_back("change"); };
  canvas->FillRect(Rect(0, 0, 1, 1));
  canvas->TextWidth("x");  // measuring is no change
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));
}

TEST_F(GraphicsCanvasTest, ABrushBitmapFillsWithItsPattern) {
  TBitmap pattern;
  pattern.SetSize(2, 2);
  pattern.Canvas()->SetPixels(0, 0, clRed);
  pattern.Canvas()->SetPixels(1, 1, clRed);
  canvas->Brush()->SetBitmap(&pattern);
  canvas->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(1, 0), clWhite);
  EXPECT_EQ(At(3, 3), clRed);
  canvas->Brush()->SetBitmap(nullptr);
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(At(1, 0), clBlue);
}

TEST_F(GraphicsCanvasTest, PixelsReadAndWrite) {
  canvas->SetPixels(3, 4, clPurple);
  EXPECT_EQ(At(3, 4), clPurple);
  canvas->SetPixels(5, 5, clBtnFace);
  EXPECT_EQ(At(5, 5), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(canvas->ClipRect(), Rect(0, 0, 20, 20));
}

}  // namespace

namespace {
TEST(GraphicsStreamingTest, ADefaultFontStillWritesItsIdentity) {
  TStyledHost host(nullptr);
  TMemoryStream out, outText;
  out.WriteComponent(&host);
  out.SetPosition(0);
  ObjectBinaryToText(out, outText);
  const std::string written(reinterpret_cast<const char*>(outText.Memory()),
                            static_cast<size_t>(outText.Size()));
  EXPECT_NE(written.find("Font.Charset = DEFAULT_CHARSET"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Color = clWindowText"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Height = -11"), std::string::npos) << written;
  EXPECT_NE(written.find("Font.Style = []"), std::string::npos) << written;
  EXPECT_EQ(written.find("Brush."), std::string::npos) << written;
}
}  // namespace
