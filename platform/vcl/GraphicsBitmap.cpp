// TGraphic and TBitmap: a 32-bit top-down DIB section with a lazily made memory DC for its
// canvas. 24-bit scan lines are a shadow copy written back before the pixels are next used.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/rtl/Filer.h"
#include "platform/rtl/Resources.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TGraphic)
RTL_IMPLEMENT_CLASS(TBitmap)

// --- TGraphic ---------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
  if (Value == transparent_) return;
  transparent_ = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    modified_ = false;
}

void TGraphic::Changed(TObject*) {
  modified_ = true;
  OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream a, b;
  SaveToStream(&a);
  Graphic->SaveToStream(&b);
  return a.Size() == b.Size() && std::memcmp(a.Memory(), b.Memory(), static_cast<size_t>(a.Size())) == 0;
}

void TGraphic::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(&s); }, [this](TStream& s) { WriteData(&s); }, !Empty());
}

// --- the bitmap's canvas ----------------------------------------------------------------------

class TBitmapCanvas : public TCanvas {
  RTL_CLASS(TBitmapCanvas, TCanvas)
 public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : bitmap_(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void RequiredState(TCanvasState ReqState) override {
    bitmap_->SyncScanLines();
    inherited::RequiredState(ReqState);
  }

  void FreeContext() {
    if (!HandleAllocated()) return;
    HDC dc = Handle();
    SetHandle(nullptr);
    if (oldBitmap_) SelectObject(dc, oldBitmap_);
    oldBitmap_ = nullptr;
    DeleteDC(dc);
  }

 protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    if (bitmap_->handle_) oldBitmap_ = SelectObject(dc, bitmap_->handle_);
    SetHandle(dc);
  }

 private:
  TBitmap* bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};
RTL_IMPLEMENT_CLASS(TBitmapCanvas)

// --- TBitmap ----------------------------------------------------------------------------------

namespace {
// 0x00RRGGBB <-> TColor (0x00BBGGRR).
TColor PixelToColor(uint32_t p) {
  return static_cast<TColor>(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
}

HBITMAP NewDib(int w, int h, uint32_t*& bits) {
  BITMAPINFO info;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biBitCount = 32;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
  bits = static_cast<uint32_t*>(p);
  return bmp;
}

int BitCountOf(TPixelFormat f) {
  switch (f) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

TPixelFormat FormatOfBitCount(int bits) {
  switch (bits) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    case 32:
      return pf32bit;
    default:
      return pfDevice;
  }
}

constexpr int kFileHeaderSize = 14;
// The palette a bitmap of 1, 4 or 8 bits a pixel is saved with: black and white for a
// monochrome one that holds only those (index 0 black, as SetMonochrome makes it), else the
// image's own colours (a file's colour palette). Empty when they do not fit the bit count.
std::vector<uint32_t> PaletteToSave(const TBmpImage& image, int bits) {
  const size_t max = size_t{1} << bits;
  std::vector<uint32_t> colours;
  std::unordered_set<uint32_t> seen;
  for (uint32_t p : image.Pixels) {
    const uint32_t c = p & 0xFFFFFF;
    if (!seen.insert(c).second) continue;
    if (colours.size() == max) return {};
    colours.push_back(c);
  }
  const bool blackAndWhite =
      std::all_of(colours.begin(), colours.end(), [](uint32_t c) { return c == 0 || c == 0xFFFFFF; });
  if (bits == 1 && blackAndWhite) return {0x000000, 0xFFFFFF};
  return colours;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  canvas_.reset();
  FreeMask();
  if (handle_) DeleteObject(handle_);
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    auto c = std::make_unique<TBitmapCanvas>(this);
    c->OnChange = TNotifyEvent::Method(this, &TBitmap::Changed);
    canvas_ = std::move(c);
  }
  return canvas_.get();
}

void TBitmap::FreeContext() {
  if (canvas_) static_cast<TBitmapCanvas*>(canvas_.get())->FreeContext();
}

void TBitmap::FreeMask() {
  if (mask_) DeleteObject(mask_);
  mask_ = nullptr;
}

void TBitmap::Replace(HBITMAP NewHandle, uint32_t* NewBits, int W, int H) {
  FreeContext();
  FreeMask();
  rows24_.clear();
  rows24Active_ = false;
  if (handle_) DeleteObject(handle_);
  handle_ = NewHandle;
  bits_ = NewBits;
  width_ = W;
  height_ = H;
}

void TBitmap::Changed(TObject* Sender) {
  FreeMask();
  inherited::Changed(Sender);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == width_ && AHeight == height_) return;
  if (AWidth > kBmpMaxSide || AHeight > kBmpMaxSide || static_cast<int64_t>(AWidth) * AHeight > kBmpMaxPixels)
    throw EOutOfResources("Out of system resources");
  SyncScanLines();
  HBITMAP bmp = nullptr;
  uint32_t* bits = nullptr;
  if (AWidth > 0 && AHeight > 0) {
    bmp = NewDib(AWidth, AHeight, bits);
    if (!bmp) throw EOutOfResources("Out of system resources");
    std::fill(bits, bits + static_cast<size_t>(AWidth) * AHeight, 0xFFFFFFu);
    if (bits_) {
      const int cw = std::min(AWidth, width_), ch = std::min(AHeight, height_);
      for (int y = 0; y < ch; ++y)
        std::memcpy(bits + static_cast<size_t>(y) * AWidth, bits_ + static_cast<size_t>(y) * width_,
                    static_cast<size_t>(cw) * 4);
    }
  }
  Replace(bmp, bits, AWidth, AHeight);
  Changed(this);
}

HBITMAP TBitmap::Handle() {
  SyncScanLines();
  return handle_;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == handle_) return;
  if (!Value) {
    Replace(nullptr, nullptr, 0, 0);
    Changed(this);
    return;
  }
  const TBmpImage image = BmpImageFromBitmap(Value);
  DeleteObject(Value);
  SetImage(image);
}

HBITMAP TBitmap::ReleaseHandle() {
  SyncScanLines();
  FreeContext();
  HBITMAP h = handle_;
  handle_ = nullptr;
  bits_ = nullptr;
  Replace(nullptr, nullptr, 0, 0);
  Changed(this);
  return h;
}

TBmpImage TBitmap::ToImage() {
  SyncScanLines();
  TBmpImage image;
  image.Width = width_;
  image.Height = height_;
  if (bits_) {
    const size_t n = static_cast<size_t>(width_) * height_;
    image.Pixels.resize(n);
    for (size_t i = 0; i < n; ++i) image.Pixels[i] = bits_[i] & 0xFFFFFF;
  }
  return image;
}

void TBitmap::SetImage(const TBmpImage& Image) {
  if (Image.Width <= 0 || Image.Height <= 0) {
    Replace(nullptr, nullptr, 0, 0);
    Changed(this);
    return;
  }
  if (Image.Width > kBmpMaxSide || Image.Height > kBmpMaxSide ||
      Image.Pixels.size() != static_cast<size_t>(Image.Width) * Image.Height)
    throw EInvalidGraphic("Bitmap image is not valid");
  uint32_t* bits = nullptr;
  HBITMAP bmp = NewDib(Image.Width, Image.Height, bits);
  if (!bmp) throw EOutOfResources("Out of system resources");
  for (size_t i = 0; i < Image.Pixels.size(); ++i) bits[i] = Image.Pixels[i] & 0xFFFFFF;
  Replace(bmp, bits, Image.Width, Image.Height);
  Changed(this);
}

HBITMAP TBitmap::MaskHandle() {
  if (!mask_ && bits_) {
    const uint32_t key = ColorToRGB(TransparentColor());
    const uint32_t keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    uint32_t* bits = nullptr;
    mask_ = NewDib(width_, height_, bits);
    if (!mask_) throw EOutOfResources("Out of system resources");
    const size_t n = static_cast<size_t>(width_) * height_;
    for (size_t i = 0; i < n; ++i) bits[i] = (bits_[i] & 0xFFFFFF) == keyPixel ? 0xFFFFFF : 0;
  }
  return mask_;
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pixelFormat_) return;
  SyncScanLines();
  if (Value == pf1bit && bits_) {
    const size_t n = static_cast<size_t>(width_) * height_;
    for (size_t i = 0; i < n; ++i) bits_[i] = (bits_[i] & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
  }
  pixelFormat_ = Value;
  Changed(this);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  SetPixelFormat(Value ? pf1bit : pfDevice);
}

void* TBitmap::ScanLine(int Row) {
  if (Row < 0 || Row >= height_ || !bits_) throw EInvalidGraphicOperation("Scan line index out of range");
  FreeMask();
  const size_t w = static_cast<size_t>(width_);
  switch (pixelFormat_) {
    case pfDevice:
    case pf32bit:
      SyncScanLines();
      return bits_ + static_cast<size_t>(Row) * w;
    case pf24bit: {
      const size_t stride = (w * 3 + 3) & ~size_t{3};
      if (!rows24Active_) {
        rows24_.assign(stride * static_cast<size_t>(height_), 0);
        for (int y = 0; y < height_; ++y)
          for (size_t x = 0; x < w; ++x) {
            const uint32_t p = bits_[static_cast<size_t>(y) * w + x];
            uint8_t* d = &rows24_[static_cast<size_t>(y) * stride + x * 3];
            d[0] = p & 0xFF;
            d[1] = (p >> 8) & 0xFF;
            d[2] = (p >> 16) & 0xFF;
          }
        rows24Active_ = true;
      }
      return &rows24_[static_cast<size_t>(Row) * stride];
    }
    default:
      throw EInvalidGraphicOperation("Scan lines are available for 24- and 32-bit pixel formats only");
  }
}

void TBitmap::SyncScanLines() {
  if (!rows24Active_) return;
  rows24Active_ = false;
  if (!bits_) return;
  const size_t w = static_cast<size_t>(width_);
  const size_t stride = (w * 3 + 3) & ~size_t{3};
  for (int y = 0; y < height_; ++y)
    for (size_t x = 0; x < w; ++x) {
      const uint8_t* s = &rows24_[static_cast<size_t>(y) * stride + x * 3];
      bits_[static_cast<size_t>(y) * w + x] = uint32_t{s[0]} | uint32_t{s[1]} << 8 | uint32_t{s[2]} << 16;
    }
  FreeMask();
}

TColor TBitmap::TransparentColor() {
  if (transparentColor_ != clDefault) return transparentColor_;
  if (Monochrome()) return clWhite;
  SyncScanLines();
  if (!bits_) return clDefault;
  return PixelToColor(bits_[static_cast<size_t>(height_ - 1) * width_]);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == transparentColor_) return;
  transparentMode_ = Value == clDefault ? tmAuto : tmFixed;
  transparentColor_ = Value;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == transparentMode_) return;
  if (Value == tmAuto)
    transparentColor_ = clDefault;
  else if (transparentColor_ == clDefault)
    transparentColor_ = TransparentColor();
  transparentMode_ = Value;
  Changed(this);
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    Replace(nullptr, nullptr, 0, 0);
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    const TBmpImage image = b->ToImage();
    pixelFormat_ = b->pixelFormat_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    // The transparent flag is copied without an event of its own: SetImage reports the change.
    if (b->Transparent() != Transparent()) inherited::SetTransparent(b->Transparent());
    SetImage(image);
    return;
  }
  inherited::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HDC src = Canvas()->Handle();
  HDC dst = ACanvas->Handle();
  if (Transparent())
    TransparentBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, width_, height_,
                   ColorToRGB(TransparentColor()));
  else
    StretchBlt(dst, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, width_, height_,
               static_cast<DWORD>(ACanvas->CopyMode()));
}

void TBitmap::LoadFromStream(TStream* Stream) {
  const int64_t remaining = Stream->Size() - Stream->Position();
  if (remaining <= 0) {
    Replace(nullptr, nullptr, 0, 0);
    Changed(this);
    return;
  }
  if (remaining < kFileHeaderSize) throw EInvalidGraphic("Bitmap image is not valid");
  std::vector<uint8_t> data(kFileHeaderSize);
  Stream->ReadBuffer(data.data(), kFileHeaderSize);
  if (data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
  const uint32_t fileSize =
      uint32_t{data[2]} | uint32_t{data[3]} << 8 | uint32_t{data[4]} << 16 | uint32_t{data[5]} << 24;
  // A file header that states its size lets a bitmap sit inside a longer stream.
  int64_t rest = remaining - kFileHeaderSize;
  if (fileSize > kFileHeaderSize && static_cast<int64_t>(fileSize) <= remaining)
    rest = fileSize - kFileHeaderSize;
  constexpr int64_t kMaxBytes = 1024 + 4 * kBmpMaxPixels;
  if (rest > kMaxBytes) throw EInvalidGraphic("Bitmap image is not valid: file too large");
  data.resize(static_cast<size_t>(kFileHeaderSize + rest));
  Stream->ReadBuffer(data.data() + kFileHeaderSize, rest);
  const TBmpImage image = DecodeBmp(data);
  SetImage(image);
  pixelFormat_ = FormatOfBitCount(image.SourceBitCount);
}

void TBitmap::SaveToStream(TStream* Stream) {
  if (Empty()) return;
  const TBmpImage image = ToImage();
  TBmpWriteOptions options;
  options.BitCount = BitCountOf(pixelFormat_);
  if (options.BitCount <= 8) options.Palette = PaletteToSave(image, options.BitCount);
  // More colours than the format holds (drawn after a palette file was loaded): keep them all.
  if (options.BitCount <= 8 && options.Palette.empty()) options.BitCount = 24;
  const std::vector<uint8_t> bytes = EncodeBmp(image, options);
  Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// The "Data" property: a 32-bit byte count, then the bitmap file.
void TBitmap::ReadData(TStream* Stream) {
  int32_t size = 0;
  Stream->ReadBuffer(&size, 4);
  if (size < 0 || size > Stream->Size() - Stream->Position())
    throw EInvalidGraphic("Bitmap image is not valid");
  TMemoryStream part;
  if (size > 0) part.CopyFrom(Stream, size);
  part.SetPosition(0);
  LoadFromStream(&part);
}

void TBitmap::WriteData(TStream* Stream) {
  TMemoryStream part;
  SaveToStream(&part);
  const int32_t size = static_cast<int32_t>(part.Size());
  Stream->WriteBuffer(&size, 4);
  if (size > 0) Stream->WriteBuffer(part.Memory(), size);
}

void TBitmap::LoadFromResourceName(void*, const std::string& ResName) {
  if (auto image = FindResourceAs<TBmpImage>("BITMAP", ResName)) {
    SetImage(*image);
    pixelFormat_ = FormatOfBitCount(image->SourceBitCount);
    return;
  }
  if (auto bytes = FindResourceAs<std::vector<uint8_t>>("BITMAP", ResName)) {
    TMemoryStream stream;
    if (!bytes->empty()) stream.WriteBuffer(bytes->data(), static_cast<int64_t>(bytes->size()));
    stream.SetPosition(0);
    LoadFromStream(&stream);
    return;
  }
  throw EResNotFound("Resource " + ResName + " not found");
}
