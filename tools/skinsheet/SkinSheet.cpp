// skinsheet SKIN PNG: loads a packed skin through the engine's loader and draws every element in
// each of its frames at two sizes (the frame's own size and a larger one, nine-part with the
// element's margins, Tile and Trans) on the skin's background colour, so a person can judge the
// skin before any window is skinned.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/FontEngine.h"
#include "platform/gdi/PngWriter.h"
#include "platform/rtl/Streams.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinStore.h"

namespace {

struct TSheetRow {
  std::string Name;
  TDataSkinObject* Element;
  bool Stacked;                    // frames stacked (horizontal borders, the menu bar)
  bool StretchKey;                 // Tile holds the "Stretch" key: 1 stretches
  bool AlwaysTransparent = false;  // caption buttons and the combo strips are drawn magenta-transparent
};

// A second image of an element (check and radio glyphs, a border's other image): its frames side by
// side, each centred in a cell of its own size and in a larger one, magenta left out as wherever
// glyphs are drawn.
struct TStripRow {
  std::string Name;
  TBitmap* Strip;
  int Frames;
  bool Transparent;
};

std::vector<TStripRow> StripsOf(TSkinElements& s) {
  std::vector<TStripRow> strips;
  if (s.Buttons) {
    strips.push_back(
        {"Buttons check glyphs", s.Buttons->CheckBitmap.get(), s.Buttons->CheckButtonFrame, true});
    strips.push_back(
        {"Buttons radio glyphs", s.Buttons->RadioBitmap.get(), s.Buttons->RadioButtonFrame, true});
  }
  const std::pair<const char*, TDataSkinBorder*> borders[] = {{"Left", s.Left.get()},
                                                              {"Right", s.Right.get()},
                                                              {"Top", s.Top.get()},
                                                              {"Bottom", s.Bottom.get()},
                                                              {"Progress", s.Progress.get()},
                                                              {"Tabs", s.Tabs.get()},
                                                              {"ComboButton", s.ComboButton.get()},
                                                              {"UpDown.Horz", s.UpDownHorz.get()},
                                                              {"UpDown.Vert", s.UpDownVert.get()}};
  for (const auto& [name, element] : borders)
    if (element)
      strips.push_back(
          {std::string(name) + " second image", element->Bitmap2.get(), element->FrameCount, true});
  return strips;
}

std::vector<TSheetRow> RowsOf(TSkinElements& s) {
  std::vector<TSheetRow> rows = {
      {"Left", s.Left.get(), false, true},
      {"Right", s.Right.get(), false, true},
      {"Top", s.Top.get(), true, true},
      {"Bottom", s.Bottom.get(), true, true},
      {"MenuBar", s.MenuBar.get(), true, true},
      {"Title", s.Title.get(), false, false},
      {"Buttons", s.Buttons.get(), false, false},
      {"Progress", s.Progress.get(), false, false},
      {"GroupBoxEdge", s.GroupBoxEdge.get(), false, false},
      {"GroupBox", s.GroupBox.get(), false, false},
      {"Tabs", s.Tabs.get(), false, false},
      {"Tab.Pane", s.TabPane.get(), false, false},
      {"StatusBarEdges", s.StatusBarEdges.get(), false, false},
      {"ToolBars", s.ToolBars.get(), false, false},
      {"Toolbar", s.Toolbar.get(), false, false},
      {"ComboButton", s.ComboButton.get(), false, false, true},
      {"SunkEdge", s.SunkEdge.get(), false, false, true},
      {"ExtraImages", s.ExtraImages.get(), false, false},
      {"Headerbar", s.Headerbar.get(), false, false},
      {"MenuItem", s.MenuItem.get(), false, false},
      {"MenuBackground", s.MenuBackground.get(), false, false},
      {"Scrollbar", s.Scrollbar.get(), false, false},
      {"HorzScroll", s.HorzScroll.get(), false, false},
      {"VertScroll", s.VertScroll.get(), false, false},
      {"HorzScrollThumb", s.HorzScrollThumb.get(), false, false},
      {"VertScrollThumb", s.VertScrollThumb.get(), false, false},
      {"Trackbar.ThumbHorz", s.TrackbarThumbHorz.get(), false, false},
      {"Trackbar.ThumbVert", s.TrackbarThumbVert.get(), false, false},
      {"Trackbar.ThumbLeft", s.TrackbarThumbLeft.get(), false, false},
      {"Trackbar.ThumbRight", s.TrackbarThumbRight.get(), false, false},
      {"Trackbar.ThumbUp", s.TrackbarThumbUp.get(), false, false},
      {"Trackbar.ThumbDown", s.TrackbarThumbDown.get(), false, false},
      {"UpDown.Horz", s.UpDownHorz.get(), false, false},
      {"UpDown.Vert", s.UpDownVert.get(), false, false},
      {"TRACK", s.Track.get(), false, false},
      {"TRACKVERT", s.TrackVert.get(), false, false},
  };
  for (auto& button : s.SysButtons)
    rows.push_back({"Button " + (button->Name.empty() ? "(MDI action " + std::to_string(button->Action) + ")"
                                                      : button->Name),
                    button.get(), false, false, true});
  return rows;
}

constexpr int kLabelWidth = 170, kGap = 6;

// The frame's own size, and a larger one that shows how the middle fills.
void SizesOf(const TSheetRow& row, int& fw, int& fh, int& bigW, int& bigH) {
  const TBitmap& image = *row.Element->Bitmap;
  const int frames = std::max(1, row.Element->FrameCount);
  fw = row.Stacked ? image.Width() : image.Width() / frames;
  fh = row.Stacked ? image.Height() / frames : image.Height();
  bigW = fw * 2 + 24;
  bigH = fh + 12;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: skinsheet SKIN PNG\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  TMemoryStream stream;
  stream.Write(bytes.data(), int64_t(bytes.size()));
  stream.SetPosition(0);
  RegisterSkinTrackResources();
  UseSystemFonts(true);  // the sheet is for people
  std::unique_ptr<TSkinElements> skin;
  std::string reason;
  if (!LoadSkinElements(&stream, skin, reason)) {
    std::fprintf(stderr, "skinsheet: %s: %s\n", argv[1], reason.c_str());
    return 1;
  }
  std::vector<TSheetRow> rows;
  for (const TSheetRow& row : RowsOf(*skin))
    if (row.Element && !row.Element->Bitmap->Empty()) rows.push_back(row);
  std::vector<TStripRow> strips;
  for (const TStripRow& strip : StripsOf(*skin))
    if (strip.Strip && !strip.Strip->Empty()) strips.push_back(strip);
  int width = 0, height = kGap;
  for (const TStripRow& strip : strips) {
    const int frames = std::max(1, strip.Frames), fw = strip.Strip->Width() / frames;
    width = std::max(width, kLabelWidth + frames * (2 * fw + 12 + 2 * kGap));
    height += std::max(strip.Strip->Height() + 12, 16) + kGap;
  }
  for (const TSheetRow& row : rows) {
    int fw, fh, bigW, bigH;
    SizesOf(row, fw, fh, bigW, bigH);
    const int frames = std::max(1, row.Element->FrameCount);
    width = std::max(width, kLabelWidth + frames * (fw + bigW + 2 * kGap));
    height += std::max(bigH, 16) + kGap;
  }
  TBitmap sheet;
  sheet.SetSize(std::min(width, 8000), std::min(height, 8000));
  TCanvas* canvas = sheet.Canvas();
  canvas->Brush()->SetColor(skin->BackgroundColour);
  canvas->FillRect(Rect(0, 0, sheet.Width(), sheet.Height()));
  canvas->Font()->SetColor(skin->TextColour);
  int y = kGap;
  for (const TSheetRow& row : rows) {
    int fw, fh, bigW, bigH;
    SizesOf(row, fw, fh, bigW, bigH);
    const TDataSkinObject& e = *row.Element;
    const bool tile = row.StretchKey ? e.Tile != 1 : e.Tile == 1;
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(kGap, y, row.Name);
    int x = kLabelWidth;
    for (int frame = 1; frame <= std::max(1, e.FrameCount); ++frame)
      for (const TRect& r : {Bounds(x, y, fw, fh), Bounds(x + fw + kGap, y, bigW, bigH)}) {
        DrawNinePart(canvas->Handle(), r, e.Bitmap.get(), row.Stacked, tile,
                     e.Trans == 1 || row.AlwaysTransparent, e.FrameCount, frame, e.LeftWidth, e.TopHeight,
                     e.RightWidth, e.BottomHeight);
        x = r.Right + kGap;
      }
    y += std::max(bigH, 16) + kGap;
  }
  for (const TStripRow& strip : strips) {
    const int frames = std::max(1, strip.Frames);
    const int fw = strip.Strip->Width() / frames, fh = strip.Strip->Height();
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(kGap, y, strip.Name);
    int x = kLabelWidth;
    for (int frame = 1; frame <= frames; ++frame)
      for (const TRect& r : {Bounds(x, y, fw, fh), Bounds(x + fw + kGap, y, fw + 12, fh + 12)}) {
        DrawBitmapFrameCentered(canvas->Handle(), r, strip.Strip, strip.Transparent, frames, frame);
        x = r.Right + kGap;
      }
    y += std::max(fh + 12, 16) + kGap;
  }
  std::filesystem::create_directories(std::filesystem::path(argv[2]).parent_path());
  const TBmpImage image = sheet.ToImage();
  WritePng(argv[2], image.Width, image.Height, image.Pixels.data());
  std::printf("%s\n", argv[2]);
  return 0;
}
