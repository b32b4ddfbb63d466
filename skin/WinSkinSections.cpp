// ReadSkinSections: the ini's sections and the bitmap entries they name, turned into one fresh
// element set.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinStore.h"

namespace sections_detail {

// Raised inside the section reader when the images pass the per-skin cap.
struct TImagesTooLarge {};
// Raised when the ini holds more title-bar button sections than a skin may.
struct TTooManyTitleButtons {};

// What one section read works with: the container, the ini, a scratch entry stream and the
// pixel count of the images made so far.
class TSectionReader {
 public:
  TSectionReader(const TSkinReader& Reader, const TQuickIni& Ini, TSkinElements& Out)
      : reader_(Reader), ini_(Ini), out_(Out) {}

  void ReadAll();

 private:
  int32_t Int(const std::string& Section, const std::string& Key, int32_t Default) const {
    return ini_.ReadInteger(Section, Key, Default);
  }
  std::string Str(const std::string& Section, const std::string& Key) const {
    return ini_.ReadString(Section, Key, "");
  }
  // The colour of a key, or Default when it is missing, empty or holds no number.
  TColor Colour(const std::string& Section, const std::string& Key, TColor Default,
                bool* Given = nullptr) const {
    TColor c = Default;
    const bool given = ParseSkinColour(Str(Section, Key), c);
    if (Given) *Given = given;
    return given ? c : Default;
  }

  void LoadBitmap(TBitmap& Bitmap, const std::string& Value) {
    LoadSkinBitmap(reader_, entry_, Bitmap, Value);
    Count(Bitmap);
  }
  // Counts an image made (loaded or derived) against the cap.
  void Count(const TBitmap& Bitmap) {
    pixels_ += int64_t{Bitmap.Width()} * Bitmap.Height();
    if (pixels_ > kSkinMaxTotalPixels) throw TImagesTooLarge{};
  }

  // The four margins and Trans (default 0), and Tile, whose values above 1 count as MaxTile.
  void ReadFrameKeys(const std::string& Section, TDataSkinObject& Element, int32_t MaxTile);
  void ReadBorders();
  void ReadColours();
  void ReadSysButtons();
  void ReadMdiButtons();
  void ReadButtons();
  void ReadTitle();
  void ReadProgress();
  void ReadMenuBar();
  template <class T>
  std::unique_ptr<T> ReadGeneric(const std::string& Section);
  template <class T>
  std::unique_ptr<T> ReadGenericWithSecond(const std::string& Section, const std::string& SecondKey);
  void ReadGenericElements();
  void ReadTracks();
  void SetFrameCounts();
  void ClampMargins();
  void MakeComboImages();
  void MakeToolbar();

  const TSkinReader& reader_;
  const TQuickIni& ini_;
  TSkinElements& out_;
  TMemoryStream entry_;
  int64_t pixels_ = 0;
};

constexpr TColor kWhite = 0xFFFFFF;

TColor Sys(int Index) {
  return static_cast<TColor>(GetSysColor(Index));
}

// The frame count a key gives, where 0 has no meaning of its own: below 1 counts as 1.
int32_t AtLeastOne(int32_t Count) {
  return std::max(Count, 1);
}

std::unique_ptr<TBitmap> NewBitmap24(int Width, int Height) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(Width, Height);
  return b;
}

void FillBitmap(TBitmap& Bitmap, TColor Colour) {
  Bitmap.Canvas()->Brush()->SetColor(Colour);
  Bitmap.Canvas()->FillRect(Rect(0, 0, Bitmap.Width(), Bitmap.Height()));
}

void TSectionReader::ReadAll() {
  out_.SkinName = Str("TitlebarSkin", "SkinName");
  ReadBorders();
  ReadColours();
  ReadSysButtons();
  ReadButtons();
  ReadTitle();
  ReadProgress();
  ReadMenuBar();
  ReadGenericElements();
  ReadTracks();
  SetFrameCounts();
  ClampMargins();
  MakeComboImages();
  ClampMargins();  // the combo strips take margins from another image
  MakeToolbar();
}

void TSectionReader::ReadBorders() {
  struct TBorderKeys {
    const char* Name;
    std::unique_ptr<TDataSkinBorder> TSkinElements::*Field;
    bool Horizontal;  // the top and bottom borders: their end margins are left and right
  };
  static constexpr TBorderKeys kBorders[] = {{"Left", &TSkinElements::Left, false},
                                             {"Right", &TSkinElements::Right, false},
                                             {"Top", &TSkinElements::Top, true},
                                             {"Bottom", &TSkinElements::Bottom, true}};
  for (const TBorderKeys& k : kBorders) {
    auto border = std::make_unique<TDataSkinBorder>();
    const std::string name = k.Name;
    border->Name = name;
    const int32_t first = Int("Personality", name + "TopHeight", 0);
    const int32_t last = Int("Personality", name + "BotHeight", 0);
    if (k.Horizontal) {
      border->LeftWidth = first;
      border->RightWidth = last;
    } else {
      border->TopHeight = first;
      border->BottomHeight = last;
    }
    border->FrameCount = AtLeastOne(Int("Personality", name + "Frame", 1));
    border->Tile = std::min(Int("Personality", name + "Stretch", 1), 1);
    border->Trans = Int("Personality", name + "Trans", 1);
    LoadBitmap(*border->Bitmap, Str("Personality", name));
    out_.*k.Field = std::move(border);
  }
}

void TSectionReader::ReadColours() {
  TSkinElements& o = out_;
  o.TextColour = Colour("Colours", "WindowText", Sys(COLOR_WINDOWTEXT));
  o.BackgroundColour = Colour("Colours", "ButtonFace", Sys(COLOR_BTNFACE));
  o.ScrollbarColour = Colour("Colours", "Scrollbar", Sys(COLOR_SCROLLBAR));
  o.HilightTextColour = Colour("Colours", "HilightText", Sys(COLOR_HIGHLIGHTTEXT));
  o.HilightColour = Colour("Colours", "Hilight", Sys(COLOR_HIGHLIGHT));
  o.MenubarColour = Colour("Colours", "Menubar", o.BackgroundColour);
  o.MenuColour = Colour("Colours", "Menu", Sys(COLOR_MENU));
  o.MenuTextColour = Colour("Colours", "MenuText", Sys(COLOR_MENUTEXT));
  o.ButtonTextColour = Colour("Colours", "ButtonText", Sys(COLOR_BTNTEXT));
  o.ButtonHilight = Colour("Colours", "ButtonHilight", Sys(COLOR_BTNHIGHLIGHT));
  o.ButtonLight = Colour("Colours", "Buttonlight", Sys(COLOR_BTNHIGHLIGHT));
  o.ButtonShadow = Colour("Colours", "ButtonShadow", Sys(COLOR_BTNSHADOW));
  o.ButtonDkShadow = Colour("Colours", "ButtonDkShadow", Sys(COLOR_3DDKSHADOW));
  o.MenuBarTextColour = Colour("Colours", "MenuBarText", Sys(COLOR_MENUTEXT));
  o.TitleTextActive = Colour("Colours", "TitleTextActive", Sys(COLOR_CAPTIONTEXT));
  o.TitleTextNoActive = Colour("Colours", "TitleTextNoActive", Sys(COLOR_INACTIVECAPTIONTEXT));

  std::vector<std::string> sections;
  ini_.GetSections(sections);
  o.ColourSections.clear();
  for (const std::string& s : sections) {
    const std::string upper = UpperCase(s);
    if (upper.rfind("COLOUR", 0) == 0 && upper != "COLOURS")
      o.ColourSections.push_back(Colour(s, "color", Sys(COLOR_WINDOWTEXT)));
  }
  for (int i = 0; i < 10; ++i)
    o.CustomColors[i] = Colour("Customcolors", "Color" + std::to_string(i), kWhite);
}

void TSectionReader::ReadSysButtons() {
  std::vector<std::string> sections;
  ini_.GetSections(sections);
  for (const std::string& s : sections) {
    const std::string upper = UpperCase(s);
    if (upper.rfind("BUTTON", 0) != 0 || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
        upper == "BUTTON.CHECKBOX" || upper == "BUTTON")
      continue;
    const int32_t action = Int(s, "Action", 0);
    if (action == -1 && Int(s, "Visibility", -1) != 0) continue;
    if (out_.SysButtons.size() >= kSkinMaxTitleButtons) throw TTooManyTitleButtons{};
    auto b = std::make_unique<TDataSkinSysButton>();
    b->Name = upper;
    b->Action = action;
    b->Align = Int(s, "Align", 0);
    b->Xcoord = Int(s, "Xcoord", 0);
    b->Ycoord = Int(s, "Ycoord", 0);
    b->Visibility = Int(s, "Visibility", 0);
    b->Visibility1 = Int(s, "Visibility1", action == -1 ? -1 : 0);
    b->CombineOp = Int(s, "CombineOp", -1);
    LoadBitmap(*b->Bitmap, Str(s, "ButtonImage"));
    const int32_t frames = Int(s, "frame", 0);
    if (frames == 0) {
      b->FrameCount = 6;
      if (!b->Bitmap->Empty()) {
        const double ratio = static_cast<double>(b->Bitmap->Width()) / b->Bitmap->Height();
        b->FrameCount = (ratio <= 3.8 && action >= 0) ? 3 : 6;
      }
    } else {
      b->FrameCount = AtLeastOne(frames);
    }
    // Icon buttons always show the window's icon instead.
    if (action == 3 || action == 11) b->Bitmap->Assign(nullptr);
    out_.SysButtons.push_back(std::move(b));
  }
  ReadMdiButtons();
}

void TSectionReader::ReadMdiButtons() {
  TBitmap image;
  LoadBitmap(image, Str("MDICONTROLS", "Image"));
  const int w = image.Width() / 12;
  const int h = image.Height();
  for (int k = 0; k < 3; ++k) {
    auto b = std::make_unique<TDataSkinSysButton>();
    b->Action = 7 + k;
    b->Align = b->Visibility = b->Visibility1 = 100;
    b->FrameCount = 4;
    if (w > 0 && h > 0) {
      b->Bitmap->SetPixelFormat(pf24bit);
      b->Bitmap->SetSize(4 * w, h);
      b->Bitmap->Canvas()->CopyRect(Rect(0, 0, 4 * w, h), image.Canvas(),
                                    Rect(4 * k * w, 0, 4 * (k + 1) * w, h));
      b->Xcoord = (3 - k) * (w + 4);
      Count(*b->Bitmap);
    }
    out_.SysButtons.push_back(std::move(b));
  }
}

void TSectionReader::ReadFrameKeys(const std::string& Section, TDataSkinObject& Element, int32_t MaxTile) {
  Element.LeftWidth = Int(Section, "LeftWidth", 0);
  Element.RightWidth = Int(Section, "RightWidth", 0);
  Element.TopHeight = Int(Section, "TopHeight", 0);
  Element.BottomHeight = Int(Section, "BottomHeight", 0);
  Element.Trans = Int(Section, "Trans", 0);
  Element.Tile = Int(Section, "Tile", 0);
  if (Element.Tile > 1) Element.Tile = MaxTile;
}

void TSectionReader::ReadButtons() {
  auto b = std::make_unique<TDataSkinButton>();
  const std::string s = "Buttons";
  b->Name = s;
  ReadFrameKeys(s, *b, 0);
  LoadBitmap(*b->Bitmap, Str(s, "Bitmap"));
  LoadBitmap(*b->CheckBitmap, Str(s, "CheckButton"));
  LoadBitmap(*b->RadioBitmap, Str(s, "RadioButton"));
  b->NormalColour = Int(s, "NormalColour", -1);
  b->MouseOverColour = Int(s, "MouseOverColour", -1);
  b->PressedColour = Int(s, "PressedColour", -1);
  b->RadioButtonFrame = Int(s, "RadioButtonFrame", 0);
  b->CheckButtonFrame = Int(s, "CheckButtonFrame", 0);
  b->NormalColour2 = Colour(s, "NormalColour2", out_.ButtonTextColour, &b->HasNormalColour2);
  b->MouseOverColour2 = Colour(s, "MouseOverColour2", out_.ButtonTextColour, &b->HasMouseOverColour2);
  b->PressedColour2 = Colour(s, "PressedColour2", out_.ButtonTextColour, &b->HasPressedColour2);
  out_.Buttons = std::move(b);
}

void TSectionReader::ReadTitle() {
  auto t = std::make_unique<TDataSkinTitle>();
  const std::string p = "Personality";
  t->Name = "Title";
  LoadBitmap(*t->Bitmap, Str(p, "TextBack"));
  t->LeftWidth = Int(p, "TextShift", 0);
  t->TopHeight = Int(p, "TextShiftVert", 0);
  t->RightWidth = Int(p, "TextRightClip", 0);
  t->BottomHeight = 0;
  t->TextAlignment = Int(p, "TextAlignment", 0);
  t->TextBackground = Int(p, "Textbackground", 0);
  t->TextBackLeft = Int(p, "TXTBackleft", 0);
  t->TextBackRight = Int(p, "TXTBackRight", 0);
  t->FontHeight = Int("Fonts", "FontHeight", 14);
  // The text colour keys may sit in either section; [Personality] wins.
  auto component = [&](const char* Key) { return Int(p, Key, Int("Fonts", Key, -1)); };
  auto colour = [&](const char* R, const char* G, const char* B, TColor& Out) {
    const int32_t r = component(R), g = component(G), b = component(B);
    if (r >= 0 && g >= 0 && b >= 0)
      Out = static_cast<TColor>(RGB(std::min(r, 255), std::min(g, 255), std::min(b, 255)));
  };
  colour("ActiveTextR", "ActiveTextG", "ActiveTextB", t->ActiveTextColour);
  colour("InActiveTextR", "InActiveTextG", "InActiveTextB", t->InactiveTextColour);
  out_.Title = std::move(t);
}

void TSectionReader::ReadProgress() {
  const std::string s = "Progress";
  auto p = std::make_unique<TDataSkinBorder>();
  p->Name = s;
  LoadBitmap(*p->Bitmap, Str(s, "Bitmap"));
  if (p->Bitmap->Empty()) return;
  LoadBitmap(*p->Bitmap2, Str(s, "Chunk"));
  p->Style = Int(s, "Style", 0);
  ReadFrameKeys(s, *p, 1);
  out_.Progress = std::move(p);
}

void TSectionReader::ReadMenuBar() {
  const std::string s = "Personality";
  auto m = std::make_unique<TDataSkinObject>();
  m->Name = "MenuBar";
  LoadBitmap(*m->Bitmap, Str(s, "menuBar"));
  if (m->Bitmap->Empty()) return;
  m->Tile = std::min(Int(s, "TileMenu", 1), 1);
  m->LeftWidth = Int(s, "TileLeftMenu", 1);
  m->RightWidth = Int(s, "TileRightMenu", 1);
  out_.MenuBar = std::move(m);
}

template <class T>
std::unique_ptr<T> TSectionReader::ReadGeneric(const std::string& Section) {
  auto e = std::make_unique<T>();
  LoadBitmap(*e->Bitmap, Str(Section, "Image"));
  if (e->Bitmap->Empty()) return nullptr;
  e->Name = Section;
  e->Style = Int(Section, "Style", 0);
  ReadFrameKeys(Section, *e, 0);
  e->NormalColour = Int(Section, "NormalColour", -1);
  e->MouseOverColour = Int(Section, "MouseOverColour", -1);
  e->PressedColour = Int(Section, "PressedColour", -1);
  e->NormalColour2 = Colour(Section, "NormalColour2", out_.ButtonTextColour);
  e->MouseOverColour2 = Colour(Section, "MouseOverColour2", out_.ButtonTextColour);
  e->PressedColour2 = Colour(Section, "PressedColour2", out_.ButtonTextColour);
  return e;
}

template <class T>
std::unique_ptr<T> TSectionReader::ReadGenericWithSecond(const std::string& Section,
                                                         const std::string& SecondKey) {
  auto e = ReadGeneric<T>(Section);
  if (e) LoadBitmap(*e->Bitmap2, Str(Section, SecondKey));
  return e;
}

void TSectionReader::ReadGenericElements() {
  TSkinElements& o = out_;
  o.GroupBoxEdge = ReadGeneric<TDataSkinObject>("GroupBoxEdge");
  o.GroupBox = ReadGeneric<TDataSkinBoxLabel>("GroupBox");
  if (o.GroupBox) {
    o.GroupBox->BackgroundAlignment = Int("GroupBox", "BackgroundAlignment", 0);
    o.GroupBox->BackgroundLeftShift = Int("GroupBox", "BackgroundLeftShift", 0);
    o.GroupBox->BackgroundRightShift = Int("GroupBox", "BackgroundRightShift", 0);
  }
  o.Tabs = ReadGenericWithSecond<TDataSkinBorder>("Tabs", "Border");
  o.StatusBarEdges = ReadGeneric<TDataSkinObject>("StatusBarEdges");
  o.TabPane = ReadGeneric<TDataSkinObject>("Tab.Pane");
  if (o.TabPane) {
    for (int32_t* m :
         {&o.TabPane->LeftWidth, &o.TabPane->RightWidth, &o.TabPane->TopHeight, &o.TabPane->BottomHeight})
      *m = std::min(*m, 4);
  }
  o.ToolBars = ReadGeneric<TDataSkinObject>("ToolBars");
  o.ComboButton = ReadGenericWithSecond<TDataSkinBorder>("ComboButton", "****");
  o.SunkEdge = ReadGeneric<TDataSkinObject>("SunkEdge");
  if (o.ComboButton) {
    // The mirrored copy serves combo boxes laid out right to left.
    CopyBitmap(o.ComboButton->Bitmap.get(), o.ComboButton->Bitmap2.get());
    o.ComboButton->Bitmap2->SetPixelFormat(pf24bit);
    MirrorBitmap(o.ComboButton->Bitmap2.get());
    Count(*o.ComboButton->Bitmap2);
  }
  o.ExtraImages = ReadGeneric<TDataSkinObject>("ExtraImages");
  o.Headerbar = ReadGeneric<TDataSkinObject>("Headerbar");
  o.MenuItem = ReadGeneric<TDataSkinObject>("MenuItem");
  o.MenuBackground = ReadGeneric<TDataSkinObject>("MenuBackground");
  o.Scrollbar = ReadGeneric<TDataSkinObject>("Scrollbar");
  o.HorzScroll = ReadGeneric<TDataSkinObject>("HorzScroll");
  o.VertScroll = ReadGeneric<TDataSkinObject>("VertScroll");
  o.HorzScrollThumb = ReadGeneric<TDataSkinObject>("HorzScrollThumb");
  o.VertScrollThumb = ReadGeneric<TDataSkinObject>("VertScrollThumb");
  o.TrackbarThumbHorz = ReadGeneric<TDataSkinObject>("Trackbar.ThumbHorz");
  o.TrackbarThumbVert = ReadGeneric<TDataSkinObject>("Trackbar.ThumbVert");
  o.TrackbarThumbLeft = ReadGeneric<TDataSkinObject>("Trackbar.ThumbLeft");
  o.TrackbarThumbRight = ReadGeneric<TDataSkinObject>("Trackbar.ThumbRight");
  o.TrackbarThumbUp = ReadGeneric<TDataSkinObject>("Trackbar.ThumbUp");
  o.TrackbarThumbDown = ReadGeneric<TDataSkinObject>("Trackbar.ThumbDown");
  o.UpDownHorz = ReadGenericWithSecond<TDataSkinBorder>("UpDown.Horz", "GlyphImage");
  o.UpDownVert = ReadGenericWithSecond<TDataSkinBorder>("UpDown.Vert", "GlyphImage");
}

void TSectionReader::ReadTracks() {
  auto make = [&](const char* Resource) {
    auto e = std::make_unique<TDataSkinObject>();
    e->Name = Resource;
    try {
      e->Bitmap->LoadFromResourceName(nullptr, Resource);
    } catch (const Exception&) {
      e->Bitmap->Assign(nullptr);  // a program without the resource draws plain tracks
    }
    Count(*e->Bitmap);
    e->LeftWidth = e->TopHeight = e->RightWidth = e->BottomHeight = 3;
    e->Tile = 0;
    e->FrameCount = 1;
    return e;
  };
  out_.Track = make("TRACK");
  out_.TrackVert = make("TRACKVERT");
}

void TSectionReader::SetFrameCounts() {
  TSkinElements& o = out_;
  TDataSkinButton& b = *o.Buttons;
  b.FrameCount = 5;
  // A glyph count of 0 is worked out from the strip: 13 or 16 pixels a glyph.
  auto glyphs = [](int32_t Given, const TBitmap& Strip) {
    if (Given != 0) return AtLeastOne(Given);
    return std::max(Strip.Width() / (Strip.Height() < 16 ? 13 : 16), 4);
  };
  b.RadioButtonFrame = glyphs(b.RadioButtonFrame, *b.RadioBitmap);
  b.CheckButtonFrame = glyphs(b.CheckButtonFrame, *b.CheckBitmap);
  o.Title->FrameCount = 2;
  auto set = [](TDataSkinObject* e, int32_t Count) {
    if (e) e->FrameCount = Count;
  };
  if (o.Progress) o.Progress->FrameCount = o.Progress->Style != 0 ? 1 : 2;
  set(o.MenuBar.get(), 2);
  set(o.GroupBoxEdge.get(), 2);
  set(o.ToolBars.get(), 5);
  set(o.Tabs.get(), 5);
  set(o.TabPane.get(), 1);
  set(o.StatusBarEdges.get(), 3);
  set(o.GroupBox.get(), 1);
  set(o.ComboButton.get(), 4);
  set(o.SunkEdge.get(), 4);
  set(o.ExtraImages.get(), 5);
  set(o.Headerbar.get(), 5);
  set(o.MenuItem.get(), 5);
  set(o.MenuBackground.get(), 1);
  set(o.Scrollbar.get(), 23);
  set(o.HorzScroll.get(), 4);
  set(o.VertScroll.get(), 4);
  set(o.UpDownHorz.get(), 8);
  set(o.UpDownVert.get(), 8);
  for (TDataSkinObject* thumb :
       {o.TrackbarThumbHorz.get(), o.TrackbarThumbVert.get(), o.TrackbarThumbLeft.get(),
        o.TrackbarThumbRight.get(), o.TrackbarThumbUp.get(), o.TrackbarThumbDown.get()})
    set(thumb, 5);
  set(o.HorzScrollThumb.get(), AtLeastOne(Int("HorzScrollThumb", "FrameCount", 3)));
  set(o.VertScrollThumb.get(), AtLeastOne(Int("VertScrollThumb", "FrameCount", 3)));
}

void TSectionReader::ClampMargins() {
  TSkinElements& o = out_;
  for (TDataSkinObject* e : o.Elements()) {
    if (e == o.Title.get()) continue;  // its margin fields hold text offsets
    // Horizontal borders and the menu bar stack their frames; the rest lie side by side.
    const bool stacked = e == o.Top.get() || e == o.Bottom.get() || e == o.MenuBar.get();
    const int frames = AtLeastOne(e->FrameCount);
    const int width = stacked ? e->Bitmap->Width() : e->Bitmap->Width() / frames;
    const int height = stacked ? e->Bitmap->Height() / frames : e->Bitmap->Height();
    e->LeftWidth = std::clamp(e->LeftWidth, 0, width);
    e->RightWidth = std::clamp(e->RightWidth, 0, width);
    e->TopHeight = std::clamp(e->TopHeight, 0, height);
    e->BottomHeight = std::clamp(e->BottomHeight, 0, height);
  }
}

void TSectionReader::MakeComboImages() {
  TSkinElements& o = out_;
  if (!o.SunkEdge || !o.ComboButton) return;
  constexpr int kCellWidth = 50, kCellHeight = 21;
  const int frames = o.SunkEdge->FrameCount;
  const int b = GetSystemMetrics(SM_CXHSCROLL) + 2;
  auto strip = NewBitmap24(kCellWidth * frames, kCellHeight);
  FillBitmap(*strip, kSkinTransparentColor);
  auto cell = NewBitmap24(kCellWidth, kCellHeight);
  for (int i = 1; i <= frames; ++i) {
    FillBitmap(*cell, kSkinTransparentColor);
    HDC dc = cell->Canvas()->Handle();
    const TDataSkinObject& sunk = *o.SunkEdge;
    DrawNinePart(dc, Rect(0, 0, kCellWidth, kCellHeight), sunk.Bitmap.get(), false, sunk.Tile == 1,
                 sunk.Trans == 1, sunk.FrameCount, i, sunk.LeftWidth, sunk.TopHeight, sunk.RightWidth,
                 sunk.BottomHeight);
    const TDataSkinBorder& btn = *o.ComboButton;
    const TRect buttonRect = Rect(kCellWidth - b, 0, kCellWidth, kCellHeight);
    DrawNinePart(dc, buttonRect, btn.Bitmap.get(), false, btn.Tile == 1, true, btn.FrameCount, i,
                 btn.LeftWidth, btn.TopHeight, btn.RightWidth, btn.BottomHeight);
    if (o.ExtraImages)
      DrawBitmapFrameCentered(dc, buttonRect, o.ExtraImages->Bitmap.get(), true, o.ExtraImages->FrameCount,
                              i);
    cell->Canvas()->Brush()->SetColor(kSkinTransparentColor);
    cell->Canvas()->FillRect(Rect(2, 2, kCellWidth - 1 - b, kCellHeight - 3));
    strip->Canvas()->Draw(kCellWidth * (i - 1), 0, cell.get());
  }
  o.ComboButton->Style = 2;
  o.ComboButton->TopHeight = o.SunkEdge->TopHeight;
  o.ComboButton->BottomHeight = o.SunkEdge->BottomHeight;
  o.ComboButton->LeftWidth = 2;
  o.ComboButton->RightWidth = b + 2;
  o.ComboButton->Bitmap->Assign(strip.get());
  Count(*o.ComboButton->Bitmap);
  MirrorBitmap(strip.get());
  o.SunkEdge->Bitmap->Assign(strip.get());
  Count(*o.SunkEdge->Bitmap);
  o.SunkEdge->LeftWidth = b + 2;
  o.SunkEdge->RightWidth = 2;
}

void TSectionReader::MakeToolbar() {
  TSkinElements& o = out_;
  auto e = std::make_unique<TDataSkinObject>();
  e->Name = "Toolbar";
  e->FrameCount = 1;
  TColor p = o.BackgroundColour;
  TBitmap& top = *o.Top->Bitmap;
  if (!top.Empty()) {
    const int frames = AtLeastOne(o.Top->FrameCount);
    p = top.Canvas()->Pixels(top.Width() / 3, (top.Height() / frames) / 3);
  }
  const TColor c1 = BlendColor(o.BackgroundColour, kWhite, 150);
  TColor c2 = BlendColor(0x808080, p, 150);
  const int s = ColorSaturation(p);
  if (s > 110) c2 = BlendColor(p, kWhite, (225 - s) * 25 / 140 + 50);
  e->Bitmap->SetPixelFormat(pf24bit);
  e->Bitmap->SetSize(10, 40);
  GradientFill(e->Bitmap->Canvas()->Handle(), Rect(0, 0, 10, 40), c1, true, c2);
  Count(*e->Bitmap);
  o.Toolbar = std::move(e);
}

}  // namespace sections_detail

bool ReadSkinSections(const TSkinReader& Reader, const TQuickIni& Ini, TSkinElements& Out,
                      std::string& Reason) {
  try {
    sections_detail::TSectionReader(Reader, Ini, Out).ReadAll();
  } catch (const sections_detail::TImagesTooLarge&) {
    Reason = kSkinImagesTooLarge;
    return false;
  } catch (const sections_detail::TTooManyTitleButtons&) {
    Reason = kSkinTooManyTitleButtons;
    return false;
  }
  return true;
}
