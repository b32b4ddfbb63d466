// TIcon (an HICON with .ico reading and writing) and TPicture (one graphic of any registered
// class, chosen by file extension or stream signature).
#include <algorithm>
#include <cstring>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TIcon)
RTL_IMPLEMENT_CLASS(TPicture)

namespace {
uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Get32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(x & 0xFF);
  v.push_back(x >> 8);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back((x >> (8 * i)) & 0xFF);
}

[[noreturn]] void BadIcon(const std::string& why) {
  throw EInvalidGraphic("Icon image is not valid: " + why);
}

constexpr int kIconDirSize = 6, kIconEntrySize = 16, kMaxIconEntries = 256;
constexpr int64_t kMaxIconFile = 16 * 1024 * 1024;

// An icon from a colour image and its transparency (true = transparent).
HICON MakeIcon(TBmpImage color, const std::vector<bool>& transparent) {
  TBmpImage mask;
  mask.Width = color.Width;
  mask.Height = color.Height;
  mask.Pixels.resize(color.Pixels.size());
  for (size_t i = 0; i < color.Pixels.size(); ++i) {
    mask.Pixels[i] = transparent[i] ? 0xFFFFFF : 0;
    if (transparent[i]) color.Pixels[i] = 0;
  }
  color.Alpha.clear();
  ICONINFO info;
  info.hbmColor = CreateBitmapFromBmpImage(color);
  info.hbmMask = CreateBitmapFromBmpImage(mask);
  HICON icon = (info.hbmColor && info.hbmMask) ? CreateIconIndirect(&info) : nullptr;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (!icon) throw EOutOfResources("Out of system resources");
  return icon;
}

// One BMP-coded icon image: an info header with the height doubled, the colour rows, then
// the 1-bit AND mask rows (both bottom-up).
HICON DecodeIconImage(const uint8_t* p, size_t size) {
  if (size >= 8 && std::memcmp(p, "\x89PNG", 4) == 0) BadIcon("PNG-coded images are not supported");
  if (size < 40) BadIcon("image header truncated");
  const uint32_t headerSize = Get32(p);
  const int32_t w = static_cast<int32_t>(Get32(p + 4));
  const int32_t h2 = static_cast<int32_t>(Get32(p + 8));
  const uint16_t bits = Get16(p + 14);
  const uint32_t compression = Get32(p + 16);
  const uint32_t clrUsed = Get32(p + 32);
  if (headerSize < 40 || headerSize > size) BadIcon("bad image header");
  if (w <= 0 || h2 <= 0 || h2 % 2 != 0 || w > 1024 || h2 / 2 > 1024) BadIcon("bad image size");
  const int h = h2 / 2;
  std::vector<uint8_t> dib(p, p + size);
  const uint32_t half = static_cast<uint32_t>(h);
  std::memcpy(&dib[8], &half, 4);
  std::memset(&dib[20], 0, 4);  // biSizeImage: recomputed for the halved height
  const TBmpImage color = DecodeDib(dib.data(), dib.size());

  uint64_t offset = headerSize;
  if (bits <= 8) offset += uint64_t{clrUsed ? clrUsed : (1u << bits)} * 4;
  if (compression == BI_BITFIELDS && headerSize == 40) offset += 12;
  offset += uint64_t((static_cast<uint64_t>(w) * bits + 31) / 32 * 4) * h;
  const uint64_t maskStride = (static_cast<uint64_t>(w) + 31) / 32 * 4;
  std::vector<bool> transparent(static_cast<size_t>(w) * h, false);
  if (compression == BI_RGB && offset + maskStride * h <= size) {
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = p + offset + maskStride * static_cast<uint64_t>(h - 1 - y);
      for (int x = 0; x < w; ++x)
        transparent[static_cast<size_t>(y) * w + x] = (row[x / 8] >> (7 - x % 8)) & 1;
    }
  }
  // 32-bit images whose mask leaves everything opaque carry their shape in the alpha bytes.
  if (color.AlphaUsed() && std::none_of(transparent.begin(), transparent.end(), [](bool t) { return t; }))
    for (size_t i = 0; i < transparent.size(); ++i) transparent[i] = color.Alpha[i] == 0;
  return MakeIcon(color, transparent);
}

struct TFileFormat {
  std::string Extension;
  std::string Description;
  TGraphicClass Class;
};

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats{{"bmp", "Bitmaps", TBitmap::StaticClass()},
                                          {"ico", "Icons", TIcon::StaticClass()}};
  return formats;
}

std::unique_ptr<TGraphic> NewGraphic(TGraphicClass c) {
  if (!c || !c->Create || !c->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidGraphic("Invalid graphic class");
  return std::unique_ptr<TGraphic>(static_cast<TGraphic*>(c->Create(nullptr)));
}
}  // namespace

// --- TIcon ------------------------------------------------------------------------------------

TIcon::~TIcon() {
  if (handle_) DestroyIcon(handle_);
}

void TIcon::SetHandle(HICON Value) {
  if (Value == handle_) return;
  if (handle_) DestroyIcon(handle_);
  handle_ = Value;
  width_ = height_ = 0;
  if (handle_) {
    ICONINFO info;
    if (GetIconInfo(handle_, &info)) {
      BITMAP bm;
      HBITMAP sized = info.hbmColor ? info.hbmColor : info.hbmMask;
      if (sized && GetObject(sized, sizeof(BITMAP), &bm)) {
        width_ = bm.bmWidth;
        height_ = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HICON h = handle_;
  handle_ = nullptr;
  width_ = height_ = 0;
  Changed(this);
  return h;
}

void TIcon::SetWidth(int Value) {
  if (Value != width_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int Value) {
  if (Value != height_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    SetHandle(nullptr);
    return;
  }
  if (auto* icon = dynamic_cast<TIcon*>(Source)) {
    if (icon == this) return;
    SetHandle(icon->handle_ ? CopyIcon(icon->handle_) : nullptr);
    return;
  }
  inherited::Assign(Source);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!handle_) return;
  DrawIconEx(ACanvas->Handle(), Rect.Left, Rect.Top, handle_, Rect.Width(), Rect.Height(), 0, nullptr,
             DI_NORMAL);
}

void TIcon::LoadFromStream(TStream* Stream) {
  const int64_t remaining = Stream->Size() - Stream->Position();
  if (remaining < kIconDirSize) BadIcon("directory truncated");
  uint8_t dir[kIconDirSize];
  Stream->ReadBuffer(dir, kIconDirSize);
  const int count = Get16(dir + 4);
  if (Get16(dir) != 0 || Get16(dir + 2) != 1) BadIcon("not an icon directory");
  if (count < 1 || count > kMaxIconEntries) BadIcon("bad image count");
  if (remaining < kIconDirSize + int64_t{count} * kIconEntrySize) BadIcon("directory truncated");
  std::vector<uint8_t> entries(static_cast<size_t>(count) * kIconEntrySize);
  Stream->ReadBuffer(entries.data(), static_cast<int64_t>(entries.size()));
  // Read up to the end of the last image so that the stream is left after the icon.
  int64_t end = kIconDirSize + static_cast<int64_t>(entries.size());
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = &entries[static_cast<size_t>(i) * kIconEntrySize];
    const int64_t imageEnd = int64_t{Get32(e + 12)} + Get32(e + 8);
    if (Get32(e + 8) == 0 || imageEnd > remaining || imageEnd > kMaxIconFile)
      BadIcon("image data out of range");
    end = std::max(end, imageEnd);
  }
  std::vector<uint8_t> file(static_cast<size_t>(end));
  std::memcpy(file.data(), dir, kIconDirSize);
  std::memcpy(file.data() + kIconDirSize, entries.data(), entries.size());
  const size_t headerBytes = kIconDirSize + entries.size();
  Stream->ReadBuffer(file.data() + headerBytes, end - static_cast<int64_t>(headerBytes));
  const uint32_t size = Get32(&entries[8]), offset = Get32(&entries[12]);
  if (offset < headerBytes) BadIcon("image data overlaps the directory");
  SetHandle(DecodeIconImage(file.data() + offset, size));
}

void TIcon::SaveToStream(TStream* Stream) {
  if (!handle_) return;
  ICONINFO info;
  if (!GetIconInfo(handle_, &info)) throw EInvalidGraphic("Icon image is not valid");
  TBmpImage color, mask;
  {
    TScopeExit freeBitmaps([&info] {
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    });
    if (info.hbmColor) {
      color = BmpImageFromBitmap(info.hbmColor);
      mask = BmpImageFromBitmap(info.hbmMask);
    } else {
      const TBmpImage both = BmpImageFromBitmap(info.hbmMask);
      const int h = both.Height / 2;
      mask.Width = color.Width = both.Width;
      mask.Height = color.Height = h;
      const auto mid = both.Pixels.begin() + static_cast<std::ptrdiff_t>(both.Width) * h;
      mask.Pixels.assign(both.Pixels.begin(), mid);
      color.Pixels.assign(mid, both.Pixels.end());
    }
  }

  const int w = color.Width, h = color.Height;
  const uint32_t maskStride = static_cast<uint32_t>((w + 31) / 32 * 4);
  const uint32_t imageSize = 40 + static_cast<uint32_t>(w * h * 4) + maskStride * h;
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(static_cast<uint8_t>(w >= 256 ? 0 : w));
  out.push_back(static_cast<uint8_t>(h >= 256 ? 0 : h));
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, imageSize);
  Put32(out, kIconDirSize + kIconEntrySize);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(h * 2));
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  auto transparentAt = [&](int x, int y) {
    return (mask.Pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF) != 0;
  };
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = color.Pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
      Put32(out, transparentAt(x, y) ? 0 : (p | 0xFF000000u));
    }
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride, 0);
    for (int x = 0; x < w; ++x)
      if (transparentAt(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  Stream->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

// --- TPicture ---------------------------------------------------------------------------------

TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
  OnChange(this);
}

void TPicture::Adopt(std::unique_ptr<TGraphic> G) {
  graphic_ = std::move(G);
  if (graphic_) graphic_->OnChange = TNotifyEvent::Method(this, &TPicture::Changed);
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (!Value) {
    Adopt(nullptr);
    return;
  }
  if (Value == graphic_.get()) return;
  std::unique_ptr<TGraphic> copy = NewGraphic(Value->ClassType());
  copy->Assign(Value);
  Adopt(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get())) Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get())) Adopt(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    inherited::Assign(Source);
  }
}

void TPicture::LoadFromStream(TStream* Stream) {
  uint8_t sig[4] = {};
  const int64_t start = Stream->Position();
  const int64_t got = Stream->Read(sig, 4);
  Stream->SetPosition(start);
  std::unique_ptr<TGraphic> g;
  if (got >= 2 && sig[0] == 'B' && sig[1] == 'M')
    g = std::make_unique<TBitmap>();
  else if (got == 4 && sig[0] == 0 && sig[1] == 0 && sig[2] == 1 && sig[3] == 0)
    g = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic("Bitmap image is not valid");
  g->LoadFromStream(Stream);
  Adopt(std::move(g));
}

void TPicture::SaveToStream(TStream* Stream) {
  if (graphic_) graphic_->SaveToStream(Stream);
}

void TPicture::LoadFromFile(const std::string& FileName) {
  const size_t dot = FileName.find_last_of("./");
  const std::string bare =
      dot != std::string::npos && FileName[dot] == '.' ? LowerCase(FileName.substr(dot + 1)) : std::string();
  TGraphicClass c = GraphicClassForExtension(bare);
  if (!c) throw EInvalidGraphic("Unknown picture file extension (." + bare + ")");
  std::unique_ptr<TGraphic> g = NewGraphic(c);
  g->LoadFromFile(FileName);
  Adopt(std::move(g));
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (graphic_) graphic_->SaveToFile(FileName);
}

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicClass GraphicClass) {
  if (!GraphicClass || !GraphicClass->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidGraphic("Invalid graphic class");
  const std::string ext = LowerCase(Extension);
  auto& formats = FileFormats();
  std::erase_if(formats, [&](const TFileFormat& f) { return f.Extension == ext; });
  formats.push_back({ext, Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass GraphicClass) {
  std::erase_if(FileFormats(), [&](const TFileFormat& f) { return f.Class == GraphicClass; });
}

TGraphicClass TPicture::GraphicClassForExtension(const std::string& Extension) {
  const std::string ext = LowerCase(Extension);
  for (const TFileFormat& f : FileFormats())
    if (f.Extension == ext) return f.Class;
  return nullptr;
}

// The "Data" property: the graphic's class name (a length byte and the characters), then the
// graphic's own data.
void TPicture::DefineProperties(TFiler& Filer) {
  auto read = [this](TStream& s) {
    uint8_t len = 0;
    s.ReadBuffer(&len, 1);
    std::string name(len, '\0');
    if (len) s.ReadBuffer(name.data(), len);
    if (name.empty()) {
      Adopt(nullptr);
      return;
    }
    TGraphicClass c = nullptr;
    for (const TFileFormat& f : FileFormats())
      if (SameText(f.Class->Name, name)) c = f.Class;
    if (!c) c = GetClass(name);
    if (!c || !c->InheritsFrom(TGraphic::StaticClass()))
      throw EInvalidGraphic("Unknown picture format " + name);
    std::unique_ptr<TGraphic> g = NewGraphic(c);
    g->ReadData(&s);
    Adopt(std::move(g));
  };
  auto write = [this](TStream& s) {
    const std::string name = graphic_->ClassName();
    const uint8_t len = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
    s.WriteBuffer(&len, 1);
    s.WriteBuffer(name.data(), len);
    graphic_->WriteData(&s);
  };
  Filer.DefineBinaryProperty("Data", read, write, graphic_ && !graphic_->Empty());
}
