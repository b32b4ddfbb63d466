#pragma once
// Image lists: a small image-list API of our own with the customary entry-point names
// (ImageList_Create, ImageList_Add, ImageList_DrawEx, ...) and the class library's
// TCustomImageList/TImageList over it, with change links for the controls that show its
// images.
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Classes.h"
#include "platform/vcl/Graphics.h"

// --- the image-list API ----------------------------------------------------------------------

struct HIMAGELIST__ {
  int unused;
};
using HIMAGELIST = HIMAGELIST__*;

constexpr UINT ILC_MASK = 0x0001, ILC_COLOR = 0x0000, ILC_COLORDDB = 0x00FE, ILC_COLOR4 = 0x0004,
               ILC_COLOR8 = 0x0008, ILC_COLOR16 = 0x0010, ILC_COLOR24 = 0x0018, ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001, ILD_BLEND25 = 0x0002, ILD_FOCUS = 0x0002,
               ILD_BLEND50 = 0x0004, ILD_SELECTED = 0x0004, ILD_BLEND = 0x0004, ILD_MASK = 0x0010,
               ILD_IMAGE = 0x0020;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;
constexpr UINT ILCF_MOVE = 0, ILCF_SWAP = 1;

// Handles are table entries with a generation: a destroyed list's handle is refused.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Adds the images of a horizontal strip (image width / cx of them); the mask's white pixels
// are transparent. Answers the index of the first image, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The pixels of colour `mask` become transparent (and black in the stored image).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// index -1 adds; answers the index or -1.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) {
  return ImageList_ReplaceIcon(list, -1, icon);
}
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
BOOL ImageList_Remove(HIMAGELIST list, int index);  // -1 removes all
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);  // new images are black
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);  // removes every image
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
UINT ImageList_GetFlags(HIMAGELIST list);
// ILD_NORMAL uses the list's background colour (CLR_NONE draws transparently);
// ILD_TRANSPARENT shows the destination through masked pixels; ILD_MASK draws the mask;
// ILD_BLEND25/50 blend the image with rgbFg (CLR_DEFAULT: the highlight colour).
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
// ILCF_MOVE moves image iSrc to iDst within one list (the others shift); ILCF_SWAP swaps.
BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
// The pixels (0x00RRGGBB) and transparency (true = transparent) of one image.
BOOL ImageList_GetImagePixels(HIMAGELIST list, int index, std::vector<uint32_t>& pixels,
                              std::vector<bool>& transparent);
// Draws w x h pixels (0x00RRGGBB, rows of `stride`) at (x, y), leaving the destination where
// `transparent` is set.
BOOL DrawMaskedPixels(HDC dc, int x, int y, int w, int h, int stride, const uint32_t* pixels,
                      const std::vector<bool>& transparent);

// --- change links -----------------------------------------------------------------------------

class TCustomImageList;

// Tells its owner (a control) when the image list it is registered with changes.
class TChangeLink : public TObject {
  RTL_CLASS(TChangeLink, TObject)
 public:
  TChangeLink() = default;
  ~TChangeLink() override;  // unregisters itself from its image list

  TCustomImageList* Sender() const { return sender_; }
  void SetSender(TCustomImageList* Value) { sender_ = Value; }
  TNotifyEvent OnChange;
  virtual void Change();

 private:
  TCustomImageList* sender_ = nullptr;
};

// --- image lists ------------------------------------------------------------------------------

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
using enum TDrawingStyle;
RTL_ENUM_INFO(TDrawingStyle, "dsFocus", "dsSelected", "dsNormal", "dsTransparent");

enum class TImageType { itImage, itMask };
using enum TImageType;
RTL_ENUM_INFO(TImageType, "itImage", "itMask");

enum class TResType { rtBitmap, rtCursor, rtIcon };
using enum TResType;

enum class TLoadResource {
  lrDefaultColor,
  lrDefaultSize,
  lrFromFile,
  lrMap3DColors,
  lrTransparent,
  lrMonoChrome
};
using enum TLoadResource;
using TLoadResources = TSet<TLoadResource>;

class TCustomImageList : public TComponent {
  RTL_CLASS(TCustomImageList, TComponent)
 public:
  explicit TCustomImageList(TComponent* AOwner);
  // The class library's CreateSize: no owner, the given image size.
  TCustomImageList(int AWidth, int AHeight);
  ~TCustomImageList() override;

  void Assign(TPersistent* Source) override;  // copies the images and settings of another list
  void DefineProperties(TFiler& Filer) override;

  HIMAGELIST Handle() const { return handle_; }
  // Takes the list (and, unless ShareImages, its ownership); Width and Height follow it.
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return handle_ != nullptr; }
  bool ShareImages() const { return shareImages_; }
  void SetShareImages(bool Value) { shareImages_ = Value; }

  int Width() const { return width_; }
  void SetWidth(int Value);  // a change removes every image
  int Height() const { return height_; }
  void SetHeight(int Value);  // likewise
  int Count() const;
  int AllocBy() const { return allocBy_; }
  void SetAllocBy(int Value) { allocBy_ = Value; }
  bool Masked() const { return masked_; }
  void SetMasked(bool Value);  // a change removes every image
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return blendColor_; }
  void SetBlendColor(TColor Value) { blendColor_ = Value; }
  TDrawingStyle DrawingStyle() const { return drawingStyle_; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return imageType_; }
  void SetImageType(TImageType Value);

  // Adds the images of a strip; answers the first index (-1 when nothing was added).
  int Add(TBitmap* Image, TBitmap* Mask);
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(TIcon* Image);
  void AddImages(TCustomImageList* Value);
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  void InsertIcon(int Index, TIcon* Image);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  void ReplaceIcon(int Index, TIcon* Image);
  // EInvalidOperation "Invalid ImageList Index" when out of range.
  void Delete(int Index);
  void Clear();
  void Move(int CurIndex, int NewIndex);
  // Width x Height, the image drawn on the bitmap's white background.
  bool GetBitmap(int Index, TBitmap* Image);
  void GetIcon(int Index, TIcon* Image);

  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, int Overlay, bool Enabled = true);

  // A bitmap strip from the resource registry ("BITMAP"); MaskColor clNone adds no mask.
  // ResourceLoad keeps Width; Height becomes the bitmap's. False when the resource is missing.
  bool ResourceLoad(TResType ResType, const std::string& Name, TColor MaskColor);
  bool GetResource(TResType ResType, const std::string& Name, int Width, TLoadResources LoadFlags,
                   TColor MaskColor);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);
  void Initialize();

 private:
  void CheckIndex(int Index) const;
  void Recreate();
  void FreeHandle();
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream);

  HIMAGELIST handle_ = nullptr;
  bool shareImages_ = false;
  int width_ = 16;
  int height_ = 16;
  int allocBy_ = 4;
  bool masked_ = true;
  TColor bkColor_ = clNone;
  TColor blendColor_ = clNone;
  TDrawingStyle drawingStyle_ = dsNormal;
  TImageType imageType_ = itImage;
  int updateCount_ = 0;
  bool changed_ = false;
  std::vector<TChangeLink*> links_;
};

class TImageList : public TCustomImageList {
  RTL_CLASS(TImageList, TCustomImageList)
 public:
  explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
  TImageList(int AWidth, int AHeight) : TCustomImageList(AWidth, AHeight) {}
  static TImageList* CreateSize(int AWidth, int AHeight) { return new TImageList(AWidth, AHeight); }
  static void DescribeClass(TClassBuilder<TImageList>& c);
};
