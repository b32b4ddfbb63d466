// TCustomImageList/TImageList over the image-list API, and the change links that tell the
// controls showing its images about changes.
#include <algorithm>
#include <cstring>

#include "platform/rtl/Filer.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/ImgList.h"

RTL_IMPLEMENT_CLASS(TChangeLink)
RTL_IMPLEMENT_CLASS(TCustomImageList)
RTL_IMPLEMENT_CLASS(TImageList)

namespace {
COLORREF GetRGBColor(TColor c) {
  if (c == clNone) return CLR_NONE;
  if (c == clDefault) return CLR_DEFAULT;
  return ColorToRGB(c);
}

constexpr UINT kDrawingStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
constexpr UINT kImageTypes[] = {0, ILD_MASK};

// Adds raw pixels as one image (used to copy between lists).
void AddPixels(HIMAGELIST list, int w, int h, const std::vector<uint32_t>& pixels,
               const std::vector<bool>& transparent) {
  TBmpImage image, mask;
  image.Width = mask.Width = w;
  image.Height = mask.Height = h;
  image.Pixels = pixels;
  mask.Pixels.resize(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) mask.Pixels[i] = transparent[i] ? 0xFFFFFF : 0;
  HBITMAP bi = CreateBitmapFromBmpImage(image), bm = CreateBitmapFromBmpImage(mask);
  if (bi && bm) ImageList_Add(list, bi, bm);
  if (bi) DeleteObject(bi);
  if (bm) DeleteObject(bm);
}

// The image-list stream: a 28-byte header ("IL", version 0x0101, counts, image size,
// background colour, flags, overlays), then the images as a bitmap file four to a row, then,
// for masked lists, the mask as a 1-bit bitmap file of the same layout.
constexpr int kStreamHeaderSize = 28;
constexpr int kImagesPerRow = 4;

uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

[[noreturn]] void ReadFail() {
  throw EReadError("Failed to read ImageList data from stream");
}

TBmpImage ReadBmpFile(TStream& s) {
  const int64_t remaining = s.Size() - s.Position();
  uint8_t head[14];
  if (remaining < 14) ReadFail();
  s.ReadBuffer(head, 14);
  const uint32_t size = Get32(head + 2);
  if (head[0] != 'B' || head[1] != 'M' || size < 14 || size > remaining) ReadFail();
  std::vector<uint8_t> file(size);
  std::memcpy(file.data(), head, 14);
  s.ReadBuffer(file.data() + 14, size - 14);
  try {
    return DecodeBmp(file);
  } catch (const EInvalidGraphic&) {
    ReadFail();
  }
}
}  // namespace

// --- TChangeLink ------------------------------------------------------------------------------

TChangeLink::~TChangeLink() {
  if (sender_) sender_->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (sender_) OnChange(sender_);
}

// --- TCustomImageList -------------------------------------------------------------------------

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {
  Initialize();
}

TCustomImageList::TCustomImageList(int AWidth, int AHeight)
    : TComponent(nullptr), width_(AWidth), height_(AHeight) {
  Initialize();
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : links_) link->SetSender(nullptr);
  links_.clear();
  FreeHandle();
}

void TCustomImageList::Initialize() {
  if (width_ < 1 || height_ < 1) throw EInvalidOperation("Invalid image size");
  Recreate();
}

void TCustomImageList::FreeHandle() {
  if (handle_ && !shareImages_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

void TCustomImageList::Recreate() {
  FreeHandle();
  handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), allocBy_, allocBy_);
  if (!handle_) throw EInvalidOperation("Invalid ImageList");
  ImageList_SetBkColor(handle_, GetRGBColor(bkColor_));
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == handle_) return;
  FreeHandle();
  handle_ = Value;
  if (handle_) {
    ImageList_GetIconSize(handle_, &width_, &height_);
    masked_ = (ImageList_GetFlags(handle_) & ILC_MASK) != 0;
    const COLORREF bk = ImageList_GetBkColor(handle_);
    bkColor_ = bk == CLR_NONE ? clNone : static_cast<TColor>(bk);
  }
  Change();
}

int TCustomImageList::Count() const {
  return handle_ ? ImageList_GetImageCount(handle_) : 0;
}

void TCustomImageList::SetWidth(int Value) {
  if (Value == width_) return;
  if (Value < 1) throw EInvalidOperation("Invalid image size");
  width_ = Value;
  if (handle_) ImageList_SetIconSize(handle_, width_, height_);
  Change();
}

void TCustomImageList::SetHeight(int Value) {
  if (Value == height_) return;
  if (Value < 1) throw EInvalidOperation("Invalid image size");
  height_ = Value;
  if (handle_) ImageList_SetIconSize(handle_, width_, height_);
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == masked_) return;
  masked_ = Value;
  Recreate();
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == bkColor_) return;
  bkColor_ = Value;
  if (handle_) ImageList_SetBkColor(handle_, GetRGBColor(Value));
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == drawingStyle_) return;
  drawingStyle_ = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == imageType_) return;
  imageType_ = Value;
  Change();
}

void TCustomImageList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image) return -1;
  const int result = ImageList_Add(handle_, Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
  return result;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image) return -1;
  if (MaskColor == clNone) return Add(Image, nullptr);
  if (MaskColor == clDefault) MaskColor = Image->TransparentColor();
  const int result = ImageList_AddMasked(handle_, Image->Handle(), ColorToRGB(MaskColor));
  Change();
  return result;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image) return -1;
  const int result = ImageList_AddIcon(handle_, Image->Handle());
  Change();
  return result;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
  if (!Value || Value == this) return;
  std::vector<uint32_t> pixels;
  std::vector<bool> transparent;
  for (int i = 0; i < Value->Count(); ++i) {
    if (!ImageList_GetImagePixels(Value->Handle(), i, pixels, transparent)) continue;
    if (Value->Width() == width_ && Value->Height() == height_)
      AddPixels(handle_, width_, height_, pixels, transparent);
  }
  Change();
}

// Inserting adds at the end and swaps the new image down to its place.
void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid ImageList Index");
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  const int added = Add(Image, Mask);
  if (added >= 0) Move(added, Index);
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid ImageList Index");
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  const int added = AddMasked(Image, MaskColor);
  if (added >= 0) Move(added, Index);
}

void TCustomImageList::InsertIcon(int Index, TIcon* Image) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid ImageList Index");
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  const int added = AddIcon(Image);
  if (added >= 0) Move(added, Index);
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  if (!Image || !ImageList_Replace(handle_, Index, Image->Handle(), Mask ? Mask->Handle() : nullptr))
    throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index);
  if (!NewImage) throw EInvalidOperation("Unable to Replace Image");
  // Added at the end with its mask, then moved over the old image.
  HIMAGELIST scratch = ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), 1, 1);
  if (!scratch) throw EInvalidOperation("Unable to Replace Image");
  std::vector<uint32_t> pixels;
  std::vector<bool> transparent;
  const COLORREF key = ColorToRGB(MaskColor == clDefault ? NewImage->TransparentColor() : MaskColor);
  const bool ok = ImageList_AddMasked(scratch, NewImage->Handle(), key) == 0 &&
                  ImageList_GetImagePixels(scratch, 0, pixels, transparent);
  ImageList_Destroy(scratch);
  if (!ok) throw EInvalidOperation("Unable to Replace Image");
  AddPixels(handle_, width_, height_, pixels, transparent);
  ImageList_Copy(handle_, Index, handle_, Count() - 1, ILCF_MOVE);
  ImageList_Remove(handle_, Count() - 1);
  Change();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* Image) {
  CheckIndex(Index);
  if (!Image || ImageList_ReplaceIcon(handle_, Index, Image->Handle()) < 0)
    throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::Delete(int Index) {
  CheckIndex(Index);
  ImageList_Remove(handle_, Index);
  Change();
}

void TCustomImageList::Clear() {
  ImageList_Remove(handle_, -1);
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  const int step = NewIndex > CurIndex ? 1 : -1;
  for (int i = CurIndex; i != NewIndex; i += step) ImageList_Copy(handle_, i + step, handle_, i, ILCF_SWAP);
  Change();
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= Count()) return false;
  Image->SetSize(width_, height_);
  Draw(Image->Canvas(), 0, 0, Index);
  return true;
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
  if (!Image) return;
  CheckIndex(Index);
  Image->SetHandle(ImageList_GetIcon(handle_, Index, ILD_NORMAL));
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, drawingStyle_, imageType_, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!handle_ || !Canvas) return;
  DoDraw(Index, Canvas, X, Y,
         kDrawingStyles[static_cast<int>(ADrawingStyle)] | kImageTypes[static_cast<int>(AImageType)],
         Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, int Overlay, bool Enabled) {
  Draw(Canvas, X, Y, ImageIndex, Enabled);
  if (Overlay >= 0 && Overlay < Count()) Draw(Canvas, X, Y, Overlay, dsTransparent, itImage, Enabled);
}

// Disabled: the image's shape (opaque pixels that are not white) embossed, first in the
// highlight colour one pixel down and right, then in the shadow colour in place.
void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  if (Index < 0 || Index >= Count()) return;
  HDC dc = Canvas->Handle();
  if (Enabled) {
    ImageList_DrawEx(handle_, Index, dc, X, Y, 0, 0, GetRGBColor(bkColor_), GetRGBColor(blendColor_), Style);
    return;
  }
  std::vector<uint32_t> pixels;
  std::vector<bool> transparent;
  if (!ImageList_GetImagePixels(handle_, Index, pixels, transparent)) return;
  std::vector<bool> outside(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) outside[i] = transparent[i] || pixels[i] == 0xFFFFFF;
  auto paint = [&](int x, int y, TColor color) {
    const COLORREF rgb = ColorToRGB(color);
    const uint32_t p = uint32_t{GetRValue(rgb)} << 16 | uint32_t{GetGValue(rgb)} << 8 | GetBValue(rgb);
    std::vector<uint32_t> solid(pixels.size(), p);
    DrawMaskedPixels(dc, x, y, width_, height_, width_, solid.data(), outside);
  };
  paint(X + 1, Y + 1, clBtnHighlight);
  paint(X, Y, clBtnShadow);
}

bool TCustomImageList::ResourceLoad(TResType ResType, const std::string& Name, TColor MaskColor) {
  if (ResType != rtBitmap) return false;
  TBitmap bmp;
  try {
    bmp.LoadFromResourceName(nullptr, Name);
  } catch (const EResNotFound&) {
    return false;
  }
  if (bmp.Empty()) return false;
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  height_ = bmp.Height();
  masked_ = MaskColor != clNone;
  Recreate();
  if (masked_)
    AddMasked(&bmp, MaskColor);
  else
    Add(&bmp, nullptr);
  Change();
  return true;
}

bool TCustomImageList::GetResource(TResType ResType, const std::string& Name, int Width, TLoadResources,
                                   TColor MaskColor) {
  if (ResType != rtBitmap) return false;
  auto image = FindResourceAs<TBmpImage>("BITMAP", Name);
  const int previous = width_;
  if (Width > 0)
    width_ = Width;
  else if (image)
    width_ = image->Height;
  if (!ResourceLoad(ResType, Name, MaskColor)) {
    width_ = previous;
    return false;
  }
  return true;
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  if (Value->Sender() && Value->Sender() != this) Value->Sender()->UnRegisterChanges(Value);
  Value->SetSender(this);
  if (std::find(links_.begin(), links_.end(), Value) == links_.end()) links_.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(links_.begin(), links_.end(), Value);
  if (it == links_.end()) return;
  links_.erase(it);
  Value->SetSender(nullptr);
}

void TCustomImageList::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0 && changed_) Change();
}

void TCustomImageList::Change() {
  changed_ = true;
  if (updateCount_ > 0) return;
  changed_ = false;
  // A link may unregister (or free) another while being told.
  const std::vector<TChangeLink*> links = links_;
  for (TChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  OnChange(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (auto* list = dynamic_cast<TCustomImageList*>(Source)) {
    if (list == this) return;
    BeginUpdate();
    TScopeExit endUpdate([this] { EndUpdate(); });
    width_ = list->width_;
    height_ = list->height_;
    masked_ = list->masked_;
    bkColor_ = list->bkColor_;
    blendColor_ = list->blendColor_;
    drawingStyle_ = list->drawingStyle_;
    imageType_ = list->imageType_;
    allocBy_ = list->allocBy_;
    Recreate();
    AddImages(list);
    return;
  }
  inherited::Assign(Source);
}

// --- streaming --------------------------------------------------------------------------------

void TCustomImageList::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty(
      "Bitmap", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, Count() > 0);
}

void TCustomImageList::ReadData(TStream& Stream) {
  if (Stream.Size() - Stream.Position() < kStreamHeaderSize) ReadFail();
  uint8_t h[kStreamHeaderSize];
  Stream.ReadBuffer(h, kStreamHeaderSize);
  const int count = Get16(h + 4), capacity = Get16(h + 6), cx = Get16(h + 10), cy = Get16(h + 12);
  const uint32_t bk = Get32(h + 14);
  const uint16_t flags = Get16(h + 18);
  if (h[0] != 'I' || h[1] != 'L' || Get16(h + 2) != 0x0101) ReadFail();
  if (cx < 1 || cy < 1 || cx > kBmpMaxSide || cy > kBmpMaxSide || capacity < count) ReadFail();
  const bool masked = (flags & ILC_MASK) != 0;
  TBmpImage image, mask;
  if (count > 0) {
    image = ReadBmpFile(Stream);
    if (masked) mask = ReadBmpFile(Stream);
    const int rows = (count + kImagesPerRow - 1) / kImagesPerRow;
    const int64_t needW = int64_t{cx} * std::min(count, kImagesPerRow), needH = int64_t{cy} * rows;
    if (image.Width < needW || image.Height < needH) ReadFail();
    if (masked && (mask.Width < needW || mask.Height < needH)) ReadFail();
  }
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  width_ = cx;
  height_ = cy;
  masked_ = masked;
  bkColor_ = bk == CLR_NONE ? clNone : static_cast<TColor>(bk & 0xFFFFFF);
  Recreate();
  const size_t n = static_cast<size_t>(cx) * cy;
  std::vector<uint32_t> pixels(n);
  std::vector<bool> transparent(n);
  for (int i = 0; i < count; ++i) {
    const int ox = (i % kImagesPerRow) * cx, oy = (i / kImagesPerRow) * cy;
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x) {
        const size_t k = static_cast<size_t>(y) * cx + x;
        pixels[k] = image.Pixel(ox + x, oy + y) & 0xFFFFFF;
        transparent[k] = masked && (mask.Pixel(ox + x, oy + y) & 0xFFFFFF) != 0;
      }
    AddPixels(handle_, cx, cy, pixels, transparent);
  }
  Change();
}

void TCustomImageList::WriteData(TStream& Stream) {
  const int count = Count();
  std::vector<uint8_t> h(kStreamHeaderSize, 0);
  auto put16 = [&](size_t at, uint16_t v) {
    h[at] = v & 0xFF;
    h[at + 1] = v >> 8;
  };
  h[0] = 'I';
  h[1] = 'L';
  put16(2, 0x0101);
  put16(4, static_cast<uint16_t>(count));
  put16(6, static_cast<uint16_t>(count));
  put16(8, static_cast<uint16_t>(allocBy_));
  put16(10, static_cast<uint16_t>(width_));
  put16(12, static_cast<uint16_t>(height_));
  const COLORREF bk = GetRGBColor(bkColor_);
  for (int i = 0; i < 4; ++i) h[14 + i] = static_cast<uint8_t>(bk >> (8 * i));
  put16(18, static_cast<uint16_t>(ILC_COLOR32 | (masked_ ? ILC_MASK : 0)));
  for (int i = 0; i < 4; ++i) put16(20 + 2 * i, 0xFFFF);
  Stream.WriteBuffer(h.data(), kStreamHeaderSize);
  if (count == 0) return;
  const int cols = std::min(count, kImagesPerRow), rows = (count + kImagesPerRow - 1) / kImagesPerRow;
  TBmpImage image, mask;
  image.Width = mask.Width = cols * width_;
  image.Height = mask.Height = rows * height_;
  image.Pixels.assign(static_cast<size_t>(image.Width) * image.Height, 0);
  mask.Pixels.assign(image.Pixels.size(), 0);
  std::vector<uint32_t> pixels;
  std::vector<bool> transparent;
  for (int i = 0; i < count; ++i) {
    ImageList_GetImagePixels(handle_, i, pixels, transparent);
    const int ox = (i % kImagesPerRow) * width_, oy = (i / kImagesPerRow) * height_;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const size_t s = static_cast<size_t>(y) * width_ + x;
        const size_t d = static_cast<size_t>(oy + y) * image.Width + ox + x;
        image.Pixels[d] = pixels[s];
        mask.Pixels[d] = transparent[s] ? 0xFFFFFF : 0;
      }
  }
  TBmpWriteOptions imageOptions;
  imageOptions.BitCount = 32;
  const std::vector<uint8_t> imageBytes = EncodeBmp(image, imageOptions);
  Stream.WriteBuffer(imageBytes.data(), static_cast<int64_t>(imageBytes.size()));
  if (masked_) {
    TBmpWriteOptions maskOptions;
    maskOptions.BitCount = 1;
    maskOptions.Palette = {0x000000, 0xFFFFFF};
    const std::vector<uint8_t> maskBytes = EncodeBmp(mask, maskOptions);
    Stream.WriteBuffer(maskBytes.data(), static_cast<int64_t>(maskBytes.size()));
  }
}

// --- TImageList -------------------------------------------------------------------------------

void TImageList::DescribeClass(TClassBuilder<TImageList>& c) {
  c.Property("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).Default(4);
  c.Property("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor)
      .Default(clNone)
      .WithIdents(ColorIdents())
      .OfType("TColor");
  c.Property("BkColor", &TImageList::BkColor, &TImageList::SetBkColor)
      .Default(clNone)
      .WithIdents(ColorIdents())
      .OfType("TColor");
  c.Property("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle)
      .Default(static_cast<int>(dsNormal));
  c.Property("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  c.Property("ImageType", &TImageList::ImageType, &TImageList::SetImageType);
  c.Property("Masked", &TImageList::Masked, &TImageList::SetMasked).Default(1);
  c.Property("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages);
  c.Property("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
  c.Property(
      "OnChange", [](const TImageList& l) -> const TNotifyEvent& { return l.OnChange; },
      [](TImageList& l, const TNotifyEvent& e) { l.OnChange = e; });
}
