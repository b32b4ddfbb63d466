#pragma once
// The skin store and the bitmap and colour routines the skin engine leans on.
//
// TSkinStore keeps several skin files inside a window description: a collection of named
// items, each holding one skin file's bytes, streamed as the binary property "DataStream".
// The bitmap routines grey, mirror, flip, turn and copy skin images (the loader derives
// images with them, the painters use them); the colour routines blend, measure saturation and
// fill gradients through a small cache of colour ramps.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Geometry.h"

class TBitmap;
class TMemoryStream;
class TStream;
class TSkinStore;

// --- the store ------------------------------------------------------------------------------

// One skin file of a store, under a name unique within its collection.
class TSkinCollectionItem : public TCollectionItem {
  RTL_CLASS(TSkinCollectionItem, TCollectionItem)
 public:
  // Named "SkinItem" followed by the item's ID.
  explicit TSkinCollectionItem(TCollection* Collection);
  ~TSkinCollectionItem() override;
  static void DescribeClass(TClassBuilder<TSkinCollectionItem>& c);

  // From another item: its name and the whole of its data (the source's position is kept).
  void Assign(TPersistent* Source) override;

  const std::string& Name() const { return name_; }
  // Exception "The name <Value> is already used." when another item of the collection has it
  // (case-sensitive); the old name stays.
  void SetName(const std::string& Value);
  // A loader entry point for designers: always reads "Load Skin", writing does nothing.
  std::string SkinData() const { return "Load Skin"; }
  void SetSkinData(const std::string&) {}
  int DataSize() const;
  // The skin file's bytes.
  TMemoryStream* Data() const { return data_.get(); }

  std::string GetDisplayName() const override { return name_; }
  void DefineProperties(TFiler& Filer) override;

 private:
  void ReadDataStream(TStream& Stream);
  void WriteDataStream(TStream& Stream);

  std::string name_;
  std::unique_ptr<TMemoryStream> data_;
};

class TSkinCollection : public TOwnedCollection {
  RTL_CLASS(TSkinCollection, TOwnedCollection)
 public:
  explicit TSkinCollection(TSkinStore* Owner);
  TSkinCollectionItem* Items(int Index) const {
    return static_cast<TSkinCollectionItem*>(inherited::Items(Index));
  }
  TSkinCollectionItem* Add() { return static_cast<TSkinCollectionItem*>(inherited::Add()); }
  // The item of that name (case-sensitive), else nullptr.
  TSkinCollectionItem* FindName(const std::string& Name) const;
};

// A component that carries skin files in a window description.
class TSkinStore : public TComponent {
  RTL_CLASS(TSkinStore, TComponent)
 public:
  explicit TSkinStore(TComponent* AOwner);
  ~TSkinStore() override;
  static void DescribeClass(TClassBuilder<TSkinStore>& c);

  TSkinCollection* Store() const { return store_.get(); }
  // Copies the items of Value; nullptr is ignored.
  void SetStore(TSkinCollection* Value);

 private:
  std::unique_ptr<TSkinCollection> store_;
};

// Registers the store's classes for descriptions (a repeat is harmless) and the drawn
// resources "TRACK" and "TRACKVERT" (a program's own ones stay).
void InitWinSkinStoreUnit();

// The channel images of skinned track bars, which come from the program, not the skin: a sunken
// groove drawn with a margin of 3 on every side, horizontal ("TRACK") and vertical
// ("TRACKVERT"). Already done at start-up; again after a program unregistered them.
void RegisterSkinTrackResources();

// --- bitmap routines ------------------------------------------------------------------------

// Makes the bitmap 24-bit; every pixel's three bytes become (B + G + R) div 3.
void GrayBitmap(TBitmap* Bmp);
// Left and right exchanged; size and pixel format kept.
void MirrorBitmap(TBitmap* Bmp);
// Top and bottom exchanged; size and pixel format kept.
void FlipBitmap(TBitmap* Bmp);
// A quarter turn counter-clockwise; the result is 24-bit with width and height exchanged.
void RotateBitmapLeft(TBitmap* Bmp);
// A quarter turn clockwise; the result is 24-bit with width and height exchanged.
void RotateBitmapRight(TBitmap* Bmp);
// Target takes Source's width, height and pixel format and Source is drawn at (0, 0).
void CopyBitmap(TBitmap* Source, TBitmap* Target);

// --- colour routines ------------------------------------------------------------------------

// A system colour (negative) as RGB; any other colour's low three bytes.
COLORREF ResolveSkinColor(TColor Color);
// Weight parts of C1 and the rest of C2, on a scale of 100 (Weight < 100) or 1000.
TColor BlendColor(TColor C1, TColor C2, int Weight);
// 200 when red, green and blue are all below 160; else 255 * (max - min) / max, rounded.
int ColorSaturation(TColor Color);

// Ramps of colours from one colour to another, kept in 16 slots reused in rotation.
class TGradientCache {
 public:
  static constexpr int kSlotCount = 16;

  // The ramp of Length colours (RGB) from From to To: a cached one, else a new one in the next
  // slot. Entry k = From + round(delta * k / (Length - 1)), halves away from zero; a single
  // entry is the midpoint. Valid until the slot is reused.
  const std::vector<COLORREF>& Ramp(int Length, COLORREF From, COLORREF To);
  // The slot holding that ramp, else -1.
  int FindSlot(int Length, COLORREF From, COLORREF To) const;
  // The slot the next new ramp goes to.
  int NextSlot() const { return next_; }
  // Each used slot's ramp has its key's length and ends (raises EInternalError otherwise).
  void CheckConsistency() const;

 private:
  friend struct TGradientCacheAccess;  // lets a test break the rules CheckConsistency guards
  struct TSlot {
    int Length = 0;  // 0: unused
    COLORREF From = 0;
    COLORREF To = 0;
    std::vector<COLORREF> Colors;
  };
  std::array<TSlot, kSlotCount> slots_;
  int next_ = 0;
};

// The process-wide cache GradientFill uses.
TGradientCache& SkinGradientCache();

// Fills Rect with a ramp from FromColor to ToColor, one line of a solid brush per entry,
// moving down (Vertical) or right; only inside the DC's clip box.
void GradientFill(HDC DC, const TRect& Rect, TColor FromColor, bool Vertical, TColor ToColor);
