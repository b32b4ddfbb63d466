#pragma once
// Graphics objects of the class library: fonts, pens and brushes over shared device-context
// objects, the canvas that draws through them, and the graphic classes (bitmaps, icons,
// pictures). Colour identifiers ("clInfoBk") live here as well.
//
// Fonts, pens and brushes with equal attributes share one handle: a process-wide cache keeps
// each handle with a reference count and deletes it when the last user lets go.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

class TCanvas;
class TBitmap;
class TIcon;
class TGraphic;

// --- colours ---------------------------------------------------------------------------------

using TGetStrProc = std::function<void(const std::string& S)>;

// The colour identifiers ("clBlack" .. "clMenuBar", "clNone", "clDefault") for published
// TColor properties.
const TIdentMap& ColorIdents();
bool ColorToIdent(int32_t Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, int32_t& Color);
// An identifier when there is one, else "$00BBGGRR" (eight hex digits).
std::string ColorToString(TColor Color);
// An identifier, or a number ("$00FF00FF", "16711935", "-2147483643"); EConvertError
// "'%s' is not a valid integer value" otherwise.
TColor StringToColor(const std::string& S);
// Calls Proc with every colour identifier.
void GetColorValues(const TGetStrProc& Proc);

// --- exceptions ------------------------------------------------------------------------------

// EInvalidGraphic comes from platform/gdi/BmpCodec.h.
class EInvalidGraphicOperation : public Exception {
 public:
  explicit EInvalidGraphicOperation(std::string m) : Exception(std::move(m)) {}
};

// --- enumerations ----------------------------------------------------------------------------

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle>;
RTL_ENUM_INFO(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut");

enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;
RTL_ENUM_INFO(TFontPitch, "fpDefault", "fpVariable", "fpFixed");

using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, MAC_CHARSET = 77,
                       SHIFTJIS_CHARSET = 128, HANGEUL_CHARSET = 129, JOHAB_CHARSET = 130,
                       GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136, GREEK_CHARSET = 161,
                       TURKISH_CHARSET = 162, VIETNAMESE_CHARSET = 163, HEBREW_CHARSET = 177,
                       ARABIC_CHARSET = 178, BALTIC_CHARSET = 186, RUSSIAN_CHARSET = 204, THAI_CHARSET = 222,
                       EASTEUROPE_CHARSET = 238, OEM_CHARSET = 255;
// The charset identifiers ("DEFAULT_CHARSET") the Font.Charset property streams with.
const TIdentMap& CharsetIdents();
bool CharsetToIdent(int32_t Charset, std::string& Ident);
bool IdentToCharset(const std::string& Ident, int32_t& Charset);

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;
RTL_ENUM_INFO(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
              "psInsideFrame");

enum class TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
using enum TPenMode;
RTL_ENUM_INFO(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
              "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask",
              "pmXor", "pmNotXor");

enum class TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};
using enum TBrushStyle;
RTL_ENUM_INFO(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
              "bsCross", "bsDiagCross");

enum class TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using enum TCanvasStates;
using TCanvasState = TSet<TCanvasStates>;

enum class TCanvasOrientation { coLeftToRight, coRightToLeft };
using enum TCanvasOrientation;

enum class TFillStyle { fsSurface, fsBorder };
using enum TFillStyle;

enum class TTextFormats {
  tfBottom,
  tfCalcRect,
  tfCenter,
  tfEditControl,
  tfEndEllipsis,
  tfPathEllipsis,
  tfExpandTabs,
  tfExternalLeading,
  tfLeft,
  tfModifyString,
  tfNoClip,
  tfNoPrefix,
  tfRight,
  tfRtlReading,
  tfSingleLine,
  tfTop,
  tfVerticalCenter,
  tfWordBreak,
  tfHidePrefix,
  tfNoFullWidthCharBreak,
  tfPrefixOnly,
  tfTabStop,
  tfWordEllipsis,
  tfComposited
};
using enum TTextFormats;
using TTextFormat = TSet<TTextFormats>;
// The DT_ flags of a text format.
UINT TextFormatToFlags(const TTextFormat& Format);

using TCopyMode = int32_t;
constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                    cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                    cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT,
                    cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
using enum TPixelFormat;
RTL_ENUM_INFO(TPixelFormat, "pfDevice", "pf1bit", "pf4bit", "pf8bit", "pf15bit", "pf16bit", "pf24bit",
              "pf32bit", "pfCustom");

enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;
RTL_ENUM_INFO(TTransparentMode, "tmAuto", "tmFixed");

// --- graphics objects ------------------------------------------------------------------------

// Base of fonts, pens and brushes: change notification and a lock count.
class TGraphicsObject : public TPersistent {
  RTL_CLASS(TGraphicsObject, TPersistent)
 public:
  TGraphicsObject() = default;

  TNotifyEvent OnChange;
  // Single-threaded: the lock is a counter kept for callers that bracket their use.
  void Lock() { ++lockCount_; }
  void Unlock() {
    if (lockCount_ > 0) --lockCount_;
  }
  int LockCount() const { return lockCount_; }
  // The window-system object this one stands for (shared; never delete it).
  virtual HGDIOBJ HandleObject() = 0;

 protected:
  virtual void Changed();

 private:
  int lockCount_ = 0;
};

namespace vcl_detail {
// A reference to one entry of the shared object cache.
struct TCachedObject;
}  // namespace vcl_detail

class TFont : public TGraphicsObject {
  RTL_CLASS(TFont, TGraphicsObject)
 public:
  // The platform's default GUI font face at 8 points (Height -11 at 96 pixels an inch).
  TFont();
  ~TFont() override;
  static void DescribeClass(TClassBuilder<TFont>& c);

  void Assign(TPersistent* Source) override;

  // A shared handle: fonts with equal attributes (Color aside) answer the same one.
  HFONT Handle();
  // Takes the attributes of the given font; the handle stays the caller's.
  void SetHandle(HFONT Value);
  HGDIOBJ HandleObject() override { return Handle(); }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& Value);
  int Height() const { return height_; }
  void SetHeight(int Value);
  // Points: -Height * 72 / PixelsPerInch, rounded.
  int Size() const;
  void SetSize(int Value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch Value);
  // Tenths of a degree, counter-clockwise.
  int Orientation() const { return orientation_; }
  void SetOrientation(int Value);
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int Value) { pixelsPerInch_ = Value > 0 ? Value : 96; }

  // The attributes the handle is made from.
  LOGFONT MakeLogFont() const;
  // The face the default font uses.
  static std::string DefaultFontName();

 protected:
  void Changed() override;

 private:
  std::string name_;
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  int orientation_ = 0;
  int pixelsPerInch_ = 96;
  std::shared_ptr<vcl_detail::TCachedObject> handle_;
};

class TPen : public TGraphicsObject {
  RTL_CLASS(TPen, TGraphicsObject)
 public:
  TPen() = default;
  ~TPen() override;
  static void DescribeClass(TClassBuilder<TPen>& c);

  void Assign(TPersistent* Source) override;
  HPEN Handle();
  // Takes the attributes of the given pen; the handle stays the caller's.
  void SetHandle(HPEN Value);
  HGDIOBJ HandleObject() override { return Handle(); }

  TColor Color() const { return color_; }
  void SetColor(TColor Value);
  int Width() const { return width_; }
  void SetWidth(int Value);  // negative values are ignored
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode Value);  // not part of the handle: the canvas applies it with SetROP2

 protected:
  void Changed() override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  std::shared_ptr<vcl_detail::TCachedObject> handle_;
};

class TBrush : public TGraphicsObject {
  RTL_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush() = default;
  ~TBrush() override;
  static void DescribeClass(TClassBuilder<TBrush>& c);

  void Assign(TPersistent* Source) override;
  HBRUSH Handle();
  // Takes the attributes of the given brush; the handle stays the caller's.
  void SetHandle(HBRUSH Value);
  HGDIOBJ HandleObject() override { return Handle(); }

  TColor Color() const { return color_; }
  void SetColor(TColor Value);  // also makes a clear brush solid, as the class library does
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap (not owned; the caller keeps it alive while the brush uses it).
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* Value);

 protected:
  void Changed() override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  std::shared_ptr<vcl_detail::TCachedObject> handle_;
};

// The number of live entries in the shared font/pen/brush cache (for leak checks in tests).
int GraphicsObjectCacheCount();

// --- canvas ----------------------------------------------------------------------------------

class TCanvas : public TPersistent {
  RTL_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  // Reading creates the handle (CreateHandle) when there is none; a canvas that cannot make
  // one raises EInvalidOperation "Canvas does not allow drawing".
  HDC Handle();
  // Binds a DC (or with nullptr lets go of it): the objects selected into the old DC are
  // deselected first; the pen position carries over.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  TCanvasState State() const { return state_; }

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* Value) { pen_->Assign(Value); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* Value) { brush_->Assign(Value); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode Value) { copyMode_ = Value; }
  int TextFlags() const { return textFlags_; }
  void SetTextFlags(int Value) { textFlags_ = Value; }
  TCanvasOrientation CanvasOrientation();
  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  TRect ClipRect();

  // Single-threaded lock count, kept for callers that bracket drawing with it.
  void Lock() { ++lockCount_; }
  void Unlock() {
    if (lockCount_ > 0) --lockCount_;
  }
  bool TryLock() {
    Lock();
    return true;
  }
  int LockCount() const { return lockCount_; }

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  // Cubic segments: 1 + 3n points.
  void PolyBezier(const std::vector<TPoint>& Points);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  // The part of the ellipse in (X1,Y1,X2,Y2) counter-clockwise from the radial through
  // (X3,Y3) to the radial through (X4,Y4).
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void DrawFocusRect(const TRect& Rect);
  // Fills with the brush colour: fsSurface the area of colour Color around (X,Y), fsBorder the
  // area bounded by colour Color.
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);

  void TextOut(int X, int Y, const std::string& Text);
  // Clipped to Rect; opaque unless the brush is clear.
  void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
  // Formatted text (DrawText); tfCalcRect answers the needed rectangle in Rect.
  void TextRect(TRect& Rect, std::string& Text, const TTextFormat& TextFormat);
  void TextRect(TRect& Rect, const std::string& Text, const TTextFormat& TextFormat) {
    std::string copy = Text;
    TextRect(Rect, copy, TextFormat);
  }
  TSize TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text);
  int TextHeight(const std::string& Text);

  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of Bitmap to Dest, the pixels of colour Color showing the brush instead.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);

  // Deselects the font, pen and brush; they are selected again on next use.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Selects what is missing of ReqState into the DC (the handle first).
  virtual void RequiredState(TCanvasState ReqState);

 protected:
  virtual void Changing();
  virtual void Changed();
  // Makes a DC when one is needed (the base canvas has none; control and bitmap canvases do).
  virtual void CreateHandle() {}
  void DeselectHandles();

 private:
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void ArcPoints(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4, std::vector<TPoint>& Out);

  HDC handle_ = nullptr;
  TCanvasState state_;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TPoint penPos_;
  TCopyMode copyMode_ = cmSrcCopy;
  int textFlags_ = 0;
  int lockCount_ = 0;
};

// --- graphics --------------------------------------------------------------------------------

// An image that draws itself on a canvas and streams. Descriptions carry it in a binary
// property "Data" (DefineProperties).
class TGraphic : public TPersistent {
  RTL_CLASS(TGraphic, TPersistent)
  friend class TCanvas;
  friend class TPicture;

 public:
  TGraphic() = default;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual int Height() const = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return modified_; }
  void SetModified(bool Value);
  // Palettes are no-ops on a true-colour device.
  HPALETTE Palette() const { return nullptr; }
  void SetPalette(HPALETTE) {}

  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  // Same class and the same saved bytes.
  virtual bool Equals(TGraphic* Graphic);

  void DefineProperties(TFiler& Filer) override;

  TNotifyEvent OnChange;

 protected:
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed(TObject* Sender);
  // The "Data" property: by default the saved stream.
  virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }

 private:
  bool transparent_ = false;
  bool modified_ = false;
};

using TGraphicClass = TClass;

// A 32-bit top-down DIB section with a canvas. PixelFormat decides how it saves and how
// ScanLine lays out a row; the pixels stay 32-bit inside.
class TBitmap : public TGraphic {
  RTL_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(TPersistent* Source) override;  // deep copy; nullptr empties

  bool Empty() const override { return width_ == 0 || height_ == 0; }
  int Width() const override { return width_; }
  void SetWidth(int Value) override { SetSize(Value, height_); }
  int Height() const override { return height_; }
  void SetHeight(int Value) override { SetSize(width_, Value); }
  // Keeps the old image at the top left; new pixels are white. Negative sizes count as 0;
  // sizes beyond the BMP limits raise EOutOfResources "Out of system resources".
  void SetSize(int AWidth, int AHeight);

  TCanvas* Canvas();
  // The DIB section (nullptr while empty). The bitmap owns it.
  HBITMAP Handle();
  // Takes the pixels of the given bitmap and deletes it (the bitmap took ownership).
  void SetHandle(HBITMAP Value);
  // Hands the DIB to the caller, who deletes it; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  // A mask for the transparent colour: white where the image has it, black elsewhere.
  HBITMAP MaskHandle();

  TPixelFormat PixelFormat() const { return pixelFormat_; }
  // pf1bit turns every pixel that is not white black.
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  void SetMonochrome(bool Value);
  // A row's pixels: 4 bytes a pixel (B, G, R, 0) for pf32bit and pfDevice, 3 bytes for
  // pf24bit. Rows of other formats raise EInvalidGraphicOperation. Writes through a 24-bit
  // row reach the image when it is next drawn, saved or painted on.
  void* ScanLine(int Row);

  // tmAuto: the bottom-left pixel; tmFixed: the colour set.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);  // clDefault means tmAuto
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode Value);

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // The resource registry's "BITMAP" kind: a TBmpImage or the bytes of a .bmp file
  // (std::vector<uint8_t>), registered with RegisterResourceAs. EResNotFound "Resource %s
  // not found" when missing.
  void LoadFromResourceName(void* Instance, const std::string& ResName);
  // Buffers are always in memory: nothing to release.
  void Dormant() {}
  void FreeImage() {}

  // The image as the codec sees it (0x00RRGGBB, top-down).
  TBmpImage ToImage();
  void SetImage(const TBmpImage& Image);

  // Makes the pixels current after writes through 24-bit scan lines (the canvas calls it).
  void SyncScanLines();

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void Changed(TObject* Sender) override;
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  friend class TBitmapCanvas;
  void FreeContext();
  void FreeMask();
  uint32_t* Bits() const { return bits_; }
  void Replace(HBITMAP NewHandle, uint32_t* NewBits, int W, int H);

  int width_ = 0;
  int height_ = 0;
  HBITMAP handle_ = nullptr;
  uint32_t* bits_ = nullptr;
  HBITMAP mask_ = nullptr;
  TPixelFormat pixelFormat_ = pfDevice;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TCanvas> canvas_;
  std::vector<uint8_t> rows24_;  // 24-bit scan lines handed out, not yet written back
  bool rows24Active_ = false;
};

// An icon: a colour image with an AND mask behind an HICON.
class TIcon : public TGraphic {
  RTL_CLASS(TIcon, TGraphic)
 public:
  TIcon() = default;
  ~TIcon() override;

  void Assign(TPersistent* Source) override;

  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override { return width_; }
  void SetWidth(int Value) override;  // EInvalidGraphicOperation "Cannot change the size of an icon"
  int Height() const override { return height_; }
  void SetHeight(int Value) override;  // likewise
  bool Transparent() const override { return true; }

  // The icon owns its handle.
  HICON Handle() const { return handle_; }
  void SetHandle(HICON Value);
  HICON ReleaseHandle();

  // .ico files: the first image (BMP-coded, 1 to 32 bits) is read; PNG-coded images raise
  // EInvalidGraphic. Saving writes one 32-bit image with its mask.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  HICON handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Holds one graphic of whatever class; loads by file extension or by stream signature.
class TPicture : public TPersistent {
  RTL_CLASS(TPicture, TPersistent)
 public:
  TPicture() = default;
  ~TPicture() override;

  void Assign(TPersistent* Source) override;  // a picture or a graphic
  void DefineProperties(TFiler& Filer) override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Stores a copy of Value (nullptr empties).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; a picture holding something else is emptied into a new bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(static_cast<TGraphic*>(Value)); }
  TIcon* Icon();
  void SetIcon(TIcon* Value) { SetGraphic(static_cast<TGraphic*>(Value)); }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // "BM" makes a bitmap, an icon directory an icon; anything else raises EInvalidGraphic
  // "Bitmap image is not valid".
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  // By extension (RegisterFileFormat); EInvalidGraphic "Unknown picture file extension (.%s)".
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                 TGraphicClass GraphicClass);
  static void UnregisterGraphicClass(TGraphicClass GraphicClass);
  // nullptr when no class is registered for the extension (without the dot; any case).
  static TGraphicClass GraphicClassForExtension(const std::string& Extension);

  TNotifyEvent OnChange;

 protected:
  virtual void Changed(TObject* Sender);

 private:
  void Adopt(std::unique_ptr<TGraphic> G);
  std::unique_ptr<TGraphic> graphic_;
};
