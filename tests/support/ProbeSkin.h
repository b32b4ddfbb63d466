#pragma once
// Golden pictures by probes. A probe skin is built in memory: every frame of every element is
// painted in solid colours, one colour a frame and nine-part region, so a point of a painted
// window tells exactly which element, frame and region reached it. Probe points name such
// (element, frame, region) triples and say where they land in a destination rectangle from the
// element's geometry, at least 2 pixels inside the region and never on text; their expected
// colour comes from the probe skin's table or, for our own skins, from the element's image
// through the nine-part mapping. Pictures are compared only at these points, so a change of font
// or of anti-aliasing elsewhere breaks nothing.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/Geometry.h"
#include "platform/vcl/Graphics.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinIni.h"

enum class TNinePart { TopLeft, Top, TopRight, Left, Middle, Right, BottomLeft, Bottom, BottomRight };
inline constexpr TNinePart kAllNineParts[] = {
    TNinePart::TopLeft, TNinePart::Top,        TNinePart::TopRight, TNinePart::Left,       TNinePart::Middle,
    TNinePart::Right,   TNinePart::BottomLeft, TNinePart::Bottom,   TNinePart::BottomRight};
const char* NinePartName(TNinePart Part);

// How one element's frame is fitted into a rectangle.
struct TElementGeometry {
  int FrameCount = 1;
  bool Stacked = false;  // frames stacked top to bottom (horizontal borders, the menu bar)
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool TileMiddle = false;
  bool Transparent = false;
};

// The geometry a painter uses for a loaded element. The borders and the menu bar keep their
// "Stretch" key in Tile (1 stretches, anything else tiles); pass StretchKey for them.
TElementGeometry GeometryOf(const TDataSkinObject& Element, bool Stacked, bool StretchKey);

// The nine parts of a frame fitted into Dest: margins clamped to the frame, a pair that does not
// fit the frame or Dest dropped whole. Empty rectangles for parts that get no pixels.
TRect NinePartRect(const TElementGeometry& Geometry, int FrameWidth, int FrameHeight, const TRect& Dest,
                   TNinePart Part);

// The image pixel (x, y in the whole image) that the nine-part fitting copies to the destination
// point At; nullopt when At lies outside Dest or in a part without source pixels.
std::optional<TPoint> NinePartSource(const TElementGeometry& Geometry, const TBitmap& Image, int Frame,
                                     const TRect& Dest, TPoint At);

// Where a window of W x H places its frame's borders: the border sizes are the frame sizes of the
// Left, Right, Top and Bottom images (Top and Bottom frames stacked); the side borders run the
// window's whole height, the top and bottom ones between them.
enum class TFrameBorder { Left, Right, Top, Bottom };
TRect FrameBorderRect(const TSkinElements& Skin, TFrameBorder Border, int W, int H);

// A point at least 2 pixels inside Region and outside every rectangle of Avoid (texts); nullopt
// when the region is too small or covered.
std::optional<TPoint> ProbePointIn(const TRect& Region, const std::vector<TRect>& Avoid);

struct TProbePoint {
  std::string Name;  // "element frame N region"
  TPoint At;
  TColor Expected = 0;
};

// The probes of one element frame drawn nine-part into Dest, their colours read from the
// element's own image; a transparent source pixel expects Background. Parts too small for a
// probe are skipped; Added (when given) counts the probes made.
void AddElementProbes(std::vector<TProbePoint>& Points, const std::string& Element,
                      const TDataSkinObject& Data, const TElementGeometry& Geometry, int Frame,
                      const TRect& Dest, TColor Background, const std::vector<TRect>& Avoid = {},
                      int* Added = nullptr);

// Compares every point with the picture. A mismatch names the point with its expected and actual
// colours, and the picture is written with every point marked (green matched, red not) to
// PictureName.png under the build directory's probe-pictures folder.
::testing::AssertionResult CheckProbes(const std::string& PictureName, TBitmap& Picture,
                                       const std::vector<TProbePoint>& Points);

// One element of a probe skin. Generic elements get keys Image, LeftWidth, TopHeight,
// RightWidth, BottomHeight, Trans and Tile in section Section; a border (Left, Right, Top or
// Bottom) gets its [Personality] keys instead, with Stretch 1 unless TileMiddle.
struct TProbeElementLayout {
  std::string Section;
  int FrameCount = 1;
  bool Stacked = false;
  int FrameWidth = 12, FrameHeight = 12;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Transparent = false;  // Trans 1, and the top-left corner of every frame is magenta
  bool TileMiddle = false;
  bool Border = false;
};

// Builds a skin whose frames are painted in distinct solid colours a region.
class TProbeSkin {
 public:
  void Add(const TProbeElementLayout& Element);
  // The colour of a region of a frame (1-based) of the Index-th element added; magenta for the
  // transparent corner.
  TColor RegionColour(size_t Index, int Frame, TNinePart Part) const;
  const TProbeElementLayout& Layout(size_t Index) const { return layouts_[Index]; }
  std::string IniText() const;
  // The packed skin file (ini entry "probe.ini" and one image a element).
  std::string SkinFile() const;

 private:
  std::vector<TProbeElementLayout> layouts_;
};

// The probe elements of the scroll-bar overlays, in the order ScrollBarProbeSkin adds them.
enum TScrollProbeElement : size_t {
  kProbeStrip,
  kProbeHorzTrack,
  kProbeVertTrack,
  kProbeHorzThumb,
  kProbeVertThumb
};
// The scroll-bar elements alone: the 23-frame "Scrollbar" strip of StripHeight square frames, the
// 4-frame tracks and the 3-frame thumbs, none with margins (one colour a frame).
TProbeSkin ScrollBarProbeSkin(int StripHeight);

class TSkinChildList;
// Window skinned by the manager (made when there is none, skinning on) with Data for the control
// kinds Controls, SKMSG_ACTIVATE handled: the form's child list, or nullptr when it was not skinned.
TSkinChildList* SkinThroughManager(HWND Window, TSkinData& Data, const TSkinControlTypes& Controls);
// What the top-level window Top shows on the first arrow of Window's bar (OBJID_HSCROLL or
// OBJID_VSCROLL) under the ScrollBarProbeSkin Probe, List being Top's child list: "skin" the
// probe's arrow, "bare" anything else, "-" no such bar and no overlay of it, "stale" an overlay
// still shown over a bar that went.
std::string FirstArrowLook(const TProbeSkin& Probe, HWND Top, TSkinChildList* List, HWND Window, LONG Bar);

// Loads skin bytes through the engine's load sequence; fails the test with the refusal reason.
std::unique_ptr<TSkinElements> LoadSkinBytes(const std::string& Bytes);
// A skin data component loaded from the packed skin Bytes; nullptr, failing the test with the
// refusal reason, when the load refuses them.
std::unique_ptr<TSkinData> LoadSkinData(const std::string& Bytes);
// The probe's skin with its ini text ("probe.ini") changed by Edit first, loaded as above.
std::unique_ptr<TSkinData> LoadEditedProbeSkin(const TProbeSkin& Probe,
                                               const std::function<void(std::string& Ini)>& Edit);
// The colour of a window's pixel at X, Y of its client area.
TColor WindowPixel(HWND Window, int X, int Y);
