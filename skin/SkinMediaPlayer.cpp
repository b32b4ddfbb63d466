// The media-player skinner and the panel it lays over the player: the panel paints the visible
// buttons with the skin's button element and our glyphs, and hands clicks on to the player, the
// release only when it falls on the button that was pressed.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/BmpCodec.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Messages.h"
#include "skin/SkinStateControls.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"

RTL_IMPLEMENT_CLASS(TWMediaPlayer)
RTL_IMPLEMENT_CLASS(TSkinMP)

const std::array<const char*, kMediaButtonCount> kMediaButtonResourceNames = {
    "MPPLAY", "MPPAUSE", "MPSTOP", "MPNEXT", "MPPREV", "MPSTEP", "MPBACK", "MPRECORD", "MPEJECT"};

namespace media_glyphs {

// The player's button names, in the order of kMediaButtonResourceNames, lower-cased.
constexpr std::array<const char*, kMediaButtonCount> kButtonNames = {
    "btplay", "btpause", "btstop", "btnext", "btprev", "btstep", "btback", "btrecord", "bteject"};

// --- the glyphs ---------------------------------------------------------------------------------

constexpr int kGlyphWidth = 16;
constexpr int kGlyphHeight = 10;
using TGlyphRows = std::array<const char*, kGlyphHeight>;

// Olive is the glyphs' transparent colour (0x00RRGGBB here).
constexpr uint32_t kOlive = 0x808000;
constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kGreyInk = 0x808080;
constexpr uint32_t kHighlight = 0xFFFFFF;

constexpr TGlyphRows kPlay = {"................", "......#.........", "......##........", "......###.......",
                              "......####......", "......####......", "......###.......", "......##........",
                              "......#.........", "................"};
constexpr TGlyphRows kPause = {"................", ".....##..##.....", ".....##..##.....", ".....##..##.....",
                               ".....##..##.....", ".....##..##.....", ".....##..##.....", ".....##..##.....",
                               ".....##..##.....", "................"};
constexpr TGlyphRows kStop = {"................", ".....######.....", ".....######.....", ".....######.....",
                              ".....######.....", ".....######.....", ".....######.....", ".....######.....",
                              ".....######.....", "................"};
constexpr TGlyphRows kNext = {"................", ".....#....#.....", ".....##...#.....", ".....###..#.....",
                              ".....####.#.....", ".....####.#.....", ".....###..#.....", ".....##...#.....",
                              ".....#....#.....", "................"};
constexpr TGlyphRows kStep = {"................", "....#....#......", "....##...##.....", "....###..###....",
                              "....####.####...", "....####.####...", "....###..###....", "....##...##.....",
                              "....#....#......", "................"};
constexpr TGlyphRows kRecord = {
    "................", "......####......", ".....######.....", "....########....", "....########....",
    "....########....", "....########....", ".....######.....", "......####......", "................"};
constexpr TGlyphRows kEject = {"................", ".......##.......", "......####......", ".....######.....",
                               "....########....", "...##########...", "................", "...##########...",
                               "...##########...", "................"};

struct TGlyphShape {
  const TGlyphRows* Rows;
  bool Mirrored;    // prev and back are next and step turned round
  uint32_t Colour;  // the ink of the coloured glyph
};
constexpr std::array<TGlyphShape, kMediaButtonCount> kShapes = {{{&kPlay, false, 0x008000},
                                                                 {&kPause, false, 0xC0C000},
                                                                 {&kStop, false, 0xC00000},
                                                                 {&kNext, false, 0x000080},
                                                                 {&kNext, true, 0x000080},
                                                                 {&kStep, false, 0x000080},
                                                                 {&kStep, true, 0x000080},
                                                                 {&kRecord, false, 0xC00000},
                                                                 {&kEject, false, 0x000080}}};

enum class TGlyphLook { Enabled, Disabled, Colored };
constexpr std::array<std::pair<const char*, TGlyphLook>, 3> kPrefixes = {
    {{"EN", TGlyphLook::Enabled}, {"DI", TGlyphLook::Disabled}, {"CL", TGlyphLook::Colored}}};

bool IsInk(const TGlyphShape& Shape, int X, int Y) {
  if (X < 0 || Y < 0 || X >= kGlyphWidth || Y >= kGlyphHeight) return false;
  const int column = Shape.Mirrored ? kGlyphWidth - 1 - X : X;
  return (*Shape.Rows)[static_cast<size_t>(Y)][column] == '#';
}

// Disabled glyphs are grey with a white shadow one pixel down and right.
TBmpImage GlyphImage(const TGlyphShape& Shape, TGlyphLook Look) {
  TBmpImage image;
  image.Width = kGlyphWidth;
  image.Height = kGlyphHeight;
  image.Pixels.assign(static_cast<size_t>(kGlyphWidth) * kGlyphHeight, kOlive);
  for (int y = 0; y < kGlyphHeight; ++y)
    for (int x = 0; x < kGlyphWidth; ++x) {
      uint32_t& pixel = image.Pixels[static_cast<size_t>(y) * kGlyphWidth + x];
      if (IsInk(Shape, x, y))
        pixel = Look == TGlyphLook::Colored ? Shape.Colour : Look == TGlyphLook::Disabled ? kGreyInk : kInk;
      else if (Look == TGlyphLook::Disabled && IsInk(Shape, x - 1, y - 1))
        pixel = kHighlight;
    }
  return image;
}

std::string ResourceName(const char* Prefix, int Button) {
  return std::string(Prefix) + "_" + kMediaButtonResourceNames[static_cast<size_t>(Button)];
}

// An empty bitmap when the resource is missing or unreadable.
std::unique_ptr<TBitmap> LoadGlyph(const char* Prefix, int Button) {
  auto bitmap = std::make_unique<TBitmap>();
  try {
    bitmap->LoadFromResourceName(nullptr, ResourceName(Prefix, Button));
  } catch (const Exception&) {
    bitmap->Assign(nullptr);
  }
  return bitmap;
}

// --- painting -----------------------------------------------------------------------------------

constexpr int kFrameNormal = 1;
constexpr int kFramePressed = 2;
constexpr int kFrameDisabled = 3;
constexpr TColor kGlyphTransparent = clOlive;

bool NameIn(const std::string& SetText, const char* Name) {
  return LowerCase(SetText).find(Name) != std::string::npos;
}

}  // namespace media_glyphs

void RegisterMediaPlayerGlyphs() {
  const std::vector<std::string> present = ResourceNames("BITMAP");
  for (int b = 0; b < kMediaButtonCount; ++b)
    for (const auto& [prefix, look] : media_glyphs::kPrefixes) {
      const std::string name = media_glyphs::ResourceName(prefix, b);
      if (std::find(present.begin(), present.end(), UpperCase(name)) != present.end()) continue;
      const media_glyphs::TGlyphShape shape = media_glyphs::kShapes[static_cast<size_t>(b)];
      RegisterResourceFactoryAs<TBmpImage>(
          "BITMAP", name, std::function<std::shared_ptr<const TBmpImage>()>([shape, look = look] {
            return std::make_shared<const TBmpImage>(media_glyphs::GlyphImage(shape, look));
          }));
    }
}

// --- TWMediaPlayer ------------------------------------------------------------------------------

TWMediaPlayer::TWMediaPlayer(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBevelOuter(bvNone);
  RegisterMediaPlayerGlyphs();
  for (int b = 0; b < kMediaButtonCount; ++b) {
    TButtonGlyphs& glyphs = Buttons[static_cast<size_t>(b)];
    glyphs.EnabledGlyph = media_glyphs::LoadGlyph("EN", b);
    glyphs.DisabledGlyph = media_glyphs::LoadGlyph("DI", b);
    glyphs.ColoredGlyph = media_glyphs::LoadGlyph("CL", b);
  }
}

TWMediaPlayer::~TWMediaPlayer() = default;

void TWMediaPlayer::Bind(TWinControl* APlayer, TSkinMP* ASkinner, TSkinData* Data) {
  Player = APlayer;
  Skinner = ASkinner;
  SkinData = Data;
  if (Data) SetTag(Data->DisableTag());
  if (!Player) return;
  SetBounds(Player->Left(), Player->Top(), Player->Width(), Player->Height());
  SetParent(Player->Parent());
  SetVisible(Player->Visible());
  BringToFront();
}

void TWMediaPlayer::ReadButtonSets() {
  const std::string visible = GetPropText(Player, "VisibleButtons");
  const std::string enabled = GetPropText(Player, "EnabledButtons");
  const std::string colored = GetPropText(Player, "ColoredButtons");
  VisibleCount = 0;
  for (int b = 0; b < kMediaButtonCount; ++b) {
    TButtonGlyphs& button = Buttons[static_cast<size_t>(b)];
    const char* name = media_glyphs::kButtonNames[static_cast<size_t>(b)];
    button.Visible = media_glyphs::NameIn(visible, name);
    button.Enabled = media_glyphs::NameIn(enabled, name);
    button.Colored = media_glyphs::NameIn(colored, name);
    if (button.Visible) ++VisibleCount;
  }
  ButtonWidth = VisibleCount > 0 ? ClientWidth() / VisibleCount : 0;
}

int TWMediaPlayer::ButtonAt(int X) const {
  int left = 0;
  for (int b = 0; b < kMediaButtonCount; ++b) {
    if (!Buttons[static_cast<size_t>(b)].Visible) continue;
    if (X >= left && X < left + ButtonWidth) return b;
    left += ButtonWidth;
  }
  return kMediaButtonCount;
}

void TWMediaPlayer::Paint() {
  ReadButtonSets();
  if (VisibleCount == 0) return;
  const int width = ClientWidth(), height = ClientHeight();
  if (width <= 0 || height <= 0) return;
  const TSkinElements* skin = SkinData ? SkinData->Elements() : nullptr;
  TBitmap buffer;
  buffer.SetSize(width, height);
  TCanvas* canvas = buffer.Canvas();
  canvas->Brush()->SetColor(skin ? skin->BackgroundColour : clBtnFace);
  canvas->FillRect(TRect{0, 0, width, height});
  HDC dc = canvas->Handle();
  int left = 0;
  for (int b = 0; b < kMediaButtonCount; ++b) {
    const TButtonGlyphs& button = Buttons[static_cast<size_t>(b)];
    if (!button.Visible) continue;
    const TRect slot{left, 0, left + ButtonWidth, height};
    left += ButtonWidth;
    const bool pressed = Pressed && PressedButton == b;
    const int frame = !button.Enabled ? media_glyphs::kFrameDisabled
                      : pressed       ? media_glyphs::kFramePressed
                                      : media_glyphs::kFrameNormal;
    if (skin && skin->Buttons) DrawElement(dc, slot, skin->Buttons->FrameCount, frame, skin->Buttons.get());
    TBitmap* glyph = !button.Enabled  ? button.DisabledGlyph.get()
                     : button.Colored ? button.ColoredGlyph.get()
                                      : button.EnabledGlyph.get();
    if (!glyph || glyph->Empty()) continue;
    const int x = slot.Left + (slot.Width() - glyph->Width()) / 2 + (pressed ? 1 : 0);
    const int y = slot.Top + (slot.Height() - glyph->Height()) / 2 + (pressed ? 1 : 0);
    DrawTransparent(dc, TRect{x, y, x + glyph->Width(), y + glyph->Height()}, glyph,
                    media_glyphs::kGlyphTransparent);
  }
  BitBlt(Canvas()->Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void TWMediaPlayer::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    // A quick second press arrives as a double click; it presses all the same.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Pressed = true;
      inherited::WndProc(Message);
      if (Player && Player->HandleAllocated())
        SendMessage(Player->Handle(), Message.Msg, Message.WParam, Message.LParam);
      ReleaseCapture();
      ReadButtonSets();
      PressedButton = HotButton = ButtonAt(GET_X_LPARAM(Message.LParam));
      Invalidate();
      return;
    }
    case WM_LBUTTONUP: {
      Pressed = false;
      inherited::WndProc(Message);
      ReadButtonSets();
      HotButton = ButtonAt(GET_X_LPARAM(Message.LParam));
      // A release away from the pressed button is no click (a press and release beside every
      // button reaches the player, which finds no button in it).
      if (HotButton == PressedButton && Player && Player->HandleAllocated())
        SendMessage(Player->Handle(), Message.Msg, Message.WParam, Message.LParam);
      Invalidate();
      return;
    }
    default:
      inherited::WndProc(Message);
  }
}

// --- TSkinMP ------------------------------------------------------------------------------------

TSkinMP::TSkinMP(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinMP::~TSkinMP() {
  FreeOverlay();
}

void TSkinMP::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  if (!Attached || Overlay) return;
  Overlay = new TWMediaPlayer(nullptr);
  Overlay->FreeNotification(this);
  Overlay->Bind(Control, this, Data);
}

void TSkinMP::Detach() {
  TSkinControl::Detach();
  // With the player's window gone its parent is going too, and frees the overlay itself.
  if (Lifecycle == kSkinnerWindowGone) {
    if (Overlay) Overlay->Player = nullptr;
    return;
  }
  FreeOverlay();
}

void TSkinMP::AfterMessage(TMessage& Message) {
  TSkinControl::AfterMessage(Message);
  if (!Overlay || !Control) return;
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
      Overlay->SetBounds(Control->Left(), Control->Top(), Control->Width(), Control->Height());
      break;
    case CM_VISIBLECHANGED:
      Overlay->SetVisible(Control->Visible());
      break;
    default:
      break;
  }
}

void TSkinMP::Notification(TComponent* AComponent, TOperation Operation) {
  TSkinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Overlay) Overlay = nullptr;
}

void TSkinMP::FreeOverlay() {
  TWMediaPlayer* overlay = Overlay;
  Overlay = nullptr;
  if (!overlay) return;
  overlay->RemoveFreeNotification(this);
  overlay->Free();
}
