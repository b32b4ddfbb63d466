#pragma once
// The skin's ini text and the element records read from it. A load reads the container, the
// ini entry and every section into one fresh TSkinElements; the caller swaps it in whole, so a
// failed or repeated load never leaves half of an old skin behind.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/rtl/Object.h"
#include "platform/vcl/Graphics.h"

class TStream;
class TMemoryStream;
class TSkinReader;

// Refusal texts of the load besides the reader's own.
inline constexpr const char* kSkinNoIni = "Skin has no ini text";
inline constexpr const char* kSkinImagesTooLarge = "Skin images are too large";
inline constexpr const char* kSkinTooManyTitleButtons = "Skin has too many title-bar buttons";
// Title-bar button sections one skin may hold: each makes an element even without an image, so an
// ini of nothing but section headers would otherwise grow without bound.
inline constexpr size_t kSkinMaxTitleButtons = 256;
// The images of one skin together, derived images included.
inline constexpr int64_t kSkinMaxTotalPixels = int64_t{32} * 1024 * 1024;

// A small ini reader over the kept (trimmed, non-empty, non-comment) lines of a text.
class TQuickIni : public TObject {
  RTL_CLASS(TQuickIni, TObject)
 public:
  // Parses from the stream's position to its end.
  void LoadFromStream(TStream* Stream);
  void LoadFromText(const std::string& Text);
  // Section names without brackets, trimmed, in file order.
  void GetSections(std::vector<std::string>& List) const;
  std::string ReadString(const std::string& Section, const std::string& Key,
                         const std::string& Default) const;
  int32_t ReadInteger(const std::string& Section, const std::string& Key, int32_t Default) const;

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
  // Each line's lower-cased, trimmed key and trimmed value, worked out once at load: a skin
  // load asks for hundreds of keys. Both are empty for a line without "=".
  struct TKeyValue {
    std::string Key;
    std::string Value;
  };
  std::vector<TKeyValue> pairs_;
  // Header text ("[name]") and the index of that header in lines_.
  std::vector<std::pair<std::string, int>> sections_;
  // Lower-cased header text to the first such header's index: lookups stay cheap on skins
  // with very many sections.
  std::unordered_map<std::string, int> firstHeader_;
};

// One skin element: a nine-part image with state frames side by side.
class TDataSkinObject : public TObject {
  RTL_CLASS(TDataSkinObject, TObject)
 public:
  TDataSkinObject();
  ~TDataSkinObject() override;

  int32_t LeftWidth = 0;
  int32_t TopHeight = 0;
  int32_t RightWidth = 0;
  int32_t BottomHeight = 0;
  std::unique_ptr<TBitmap> Bitmap;  // never null; empty when the skin has no image
  int32_t Trans = 0;                // 1: magenta pixels are transparent
  int32_t Tile = 0;                 // 0 stretches the middle parts, 1 tiles them
  std::string Name;
  int32_t FrameCount = 1;  // at least 1 once the sections are read
  int32_t Style = 0;
  int32_t NormalColour = -1;
  int32_t MouseOverColour = -1;
  int32_t PressedColour = -1;
  TColor NormalColour2 = 0;
  TColor MouseOverColour2 = 0;
  TColor PressedColour2 = 0;

  // A frame of this element fitted nine-part to a size, with its transparency mask. The control
  // skinners keep the last few, so a control painted again at its size copies them instead of
  // fitting the image anew; they go with the element when a skin is replaced.
  struct TFittedFrame {
    int FrameCount = 0, Frame = 0, Width = 0, Height = 0;
    std::unique_ptr<TBitmap> Bitmap;
    std::shared_ptr<void> Mask;  // the HBITMAP, deleted with the entry; empty without Trans
  };
  mutable std::vector<TFittedFrame> FittedFrames;
};

class TDataSkinBorder : public TDataSkinObject {
  RTL_CLASS(TDataSkinBorder, TDataSkinObject)
 public:
  TDataSkinBorder();
  ~TDataSkinBorder() override;
  std::unique_ptr<TBitmap> Bitmap2;  // never null
};

// The push-button element with the check and radio glyph strips.
class TDataSkinButton : public TDataSkinObject {
  RTL_CLASS(TDataSkinButton, TDataSkinObject)
 public:
  TDataSkinButton();
  ~TDataSkinButton() override;
  std::unique_ptr<TBitmap> CheckBitmap;  // never null
  std::unique_ptr<TBitmap> RadioBitmap;  // never null
  int32_t RadioButtonFrame = 0;
  int32_t CheckButtonFrame = 0;
  bool HasNormalColour2 = false;
  bool HasMouseOverColour2 = false;
  bool HasPressedColour2 = false;
};

// The caption text element. Its margins hold TextShift, TextShiftVert, TextRightClip and 0.
class TDataSkinTitle : public TDataSkinObject {
  RTL_CLASS(TDataSkinTitle, TDataSkinObject)
 public:
  static constexpr TColor kNoTextColour = 0x1FFFFFFF;
  int32_t TextAlignment = 0;
  int32_t TextBackground = 0;
  int32_t FontHeight = 14;
  int32_t TextBackLeft = 0;
  int32_t TextBackRight = 0;
  TColor ActiveTextColour = kNoTextColour;
  TColor InactiveTextColour = kNoTextColour;
};

// A title-bar button; Name is the upper-cased section name.
class TDataSkinSysButton : public TDataSkinObject {
  RTL_CLASS(TDataSkinSysButton, TDataSkinObject)
 public:
  int32_t Action = 0;
  int32_t Align = 0;
  int32_t Xcoord = 0;
  int32_t Ycoord = 0;
  int32_t CombineOp = -1;
  int32_t Visibility = 0;
  int32_t Visibility1 = 0;
};

// The group-box caption element.
class TDataSkinBoxLabel : public TDataSkinObject {
  RTL_CLASS(TDataSkinBoxLabel, TDataSkinObject)
 public:
  int32_t BackgroundLeftShift = 0;
  int32_t BackgroundRightShift = 0;
  int32_t BackgroundAlignment = 0;
};

// Everything one load reads. Optional elements are null when the skin lacks their image.
struct TSkinElements {
  TSkinElements();
  ~TSkinElements();
  TSkinElements(const TSkinElements&) = delete;
  TSkinElements& operator=(const TSkinElements&) = delete;

  std::string SkinName;

  // [Colours]
  TColor TextColour = 0;               // WindowText
  TColor BackgroundColour = 0;         // ButtonFace
  TColor ScrollbarColour = 0;          // Scrollbar
  TColor HilightTextColour = 0;        // HilightText
  TColor HilightColour = 0;            // Hilight
  TColor MenubarColour = 0;            // Menubar
  TColor MenuColour = 0;               // Menu
  TColor MenuTextColour = 0;           // MenuText
  TColor ButtonTextColour = 0;         // ButtonText
  TColor ButtonHilight = 0;            // ButtonHilight
  TColor ButtonLight = 0;              // Buttonlight
  TColor ButtonShadow = 0;             // ButtonShadow
  TColor ButtonDkShadow = 0;           // ButtonDkShadow
  TColor MenuBarTextColour = 0;        // MenuBarText
  TColor TitleTextActive = 0;          // TitleTextActive
  TColor TitleTextNoActive = 0;        // TitleTextNoActive
  std::vector<TColor> ColourSections;  // one per [COLOUR...] section, in file order
  std::array<TColor, 10> CustomColors{};

  // Always present.
  std::unique_ptr<TDataSkinBorder> Left, Right, Top, Bottom;
  std::unique_ptr<TDataSkinButton> Buttons;
  std::unique_ptr<TDataSkinTitle> Title;
  std::unique_ptr<TDataSkinObject> Track, TrackVert;
  std::unique_ptr<TDataSkinObject> Toolbar;                     // the gradient background made at load
  std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;  // ini buttons, then the three MDI ones

  // Present only with their image.
  std::unique_ptr<TDataSkinBorder> Progress;
  std::unique_ptr<TDataSkinObject> MenuBar;
  std::unique_ptr<TDataSkinObject> GroupBoxEdge;
  std::unique_ptr<TDataSkinBoxLabel> GroupBox;
  std::unique_ptr<TDataSkinBorder> Tabs;
  std::unique_ptr<TDataSkinObject> StatusBarEdges;
  std::unique_ptr<TDataSkinObject> TabPane;
  std::unique_ptr<TDataSkinObject> ToolBars;
  std::unique_ptr<TDataSkinBorder> ComboButton;
  std::unique_ptr<TDataSkinObject> SunkEdge;
  std::unique_ptr<TDataSkinObject> ExtraImages;
  std::unique_ptr<TDataSkinObject> Headerbar;
  std::unique_ptr<TDataSkinObject> MenuItem;
  std::unique_ptr<TDataSkinObject> MenuBackground;
  std::unique_ptr<TDataSkinObject> Scrollbar;
  std::unique_ptr<TDataSkinObject> HorzScroll;
  std::unique_ptr<TDataSkinObject> VertScroll;
  std::unique_ptr<TDataSkinObject> HorzScrollThumb;
  std::unique_ptr<TDataSkinObject> VertScrollThumb;
  std::unique_ptr<TDataSkinObject> TrackbarThumbHorz;
  std::unique_ptr<TDataSkinObject> TrackbarThumbVert;
  std::unique_ptr<TDataSkinObject> TrackbarThumbLeft;
  std::unique_ptr<TDataSkinObject> TrackbarThumbRight;
  std::unique_ptr<TDataSkinObject> TrackbarThumbUp;
  std::unique_ptr<TDataSkinObject> TrackbarThumbDown;
  std::unique_ptr<TDataSkinBorder> UpDownHorz;
  std::unique_ptr<TDataSkinBorder> UpDownVert;

  // Every element held (title-bar buttons last), never null.
  std::vector<TDataSkinObject*> Elements() const;
};

// Reads "red green blue" (any non-digit separates; extra numbers are ignored), each clamped to
// 0..255, missing ones 0. False when the value holds no number at all.
bool ParseSkinColour(const std::string& Value, TColor& Colour);

// Fills Bitmap from the bitmap entry an ini value names (its file name after the last "\",
// "/" or ":", extension exactly ".bmp"); anything else, a missing entry or an invalid image
// leaves it empty. Entry is scratch space.
void LoadSkinBitmap(const TSkinReader& Reader, TMemoryStream& Entry, TBitmap& Bitmap,
                    const std::string& Value);

// Reads every section into Out (a fresh set). False with Reason when the images together
// exceed kSkinMaxTotalPixels.
bool ReadSkinSections(const TSkinReader& Reader, const TQuickIni& Ini, TSkinElements& Out,
                      std::string& Reason);

// The whole load: container, ini, sections. On false Out is untouched and Reason says why.
bool LoadSkinElements(TStream* Skin, std::unique_ptr<TSkinElements>& Out, std::string& Reason);
