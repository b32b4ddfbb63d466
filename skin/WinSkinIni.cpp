// TQuickIni, the element records and the skin bitmap loader.
#include "skin/WinSkinIni.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "skin/SkinRead.h"

RTL_IMPLEMENT_CLASS(TQuickIni)
RTL_IMPLEMENT_CLASS(TDataSkinObject)
RTL_IMPLEMENT_CLASS(TDataSkinBorder)
RTL_IMPLEMENT_CLASS(TDataSkinButton)
RTL_IMPLEMENT_CLASS(TDataSkinTitle)
RTL_IMPLEMENT_CLASS(TDataSkinSysButton)
RTL_IMPLEMENT_CLASS(TDataSkinBoxLabel)

namespace ini_detail {

bool IsHeaderLine(const std::string& Line) {
  return !Line.empty() && Line.front() == '[' && Line.back() == ']';
}

}  // namespace ini_detail

// --- TQuickIni ---------------------------------------------------------------------------

void TQuickIni::LoadFromStream(TStream* Stream) {
  std::string text;
  const int64_t remaining = Stream->Size() - Stream->Position();
  if (remaining > 0) {
    text.resize(static_cast<size_t>(remaining));
    text.resize(static_cast<size_t>(Stream->Read(text.data(), remaining)));
  }
  LoadFromText(text);
}

void TQuickIni::LoadFromText(const std::string& Text) {
  lines_.clear();
  pairs_.clear();
  sections_.clear();
  firstHeader_.clear();
  size_t pos = 0;
  while (pos < Text.size()) {
    size_t end = Text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = Text.size();
    const std::string line = Trim(Text.substr(pos, end - pos));
    // One CR and then one LF end the line, so "\n\n" leaves an empty line between.
    pos = end;
    if (pos < Text.size() && Text[pos] == '\r') ++pos;
    if (pos < Text.size() && Text[pos] == '\n') ++pos;
    if (line.empty() || line.front() == ';') continue;
    if (ini_detail::IsHeaderLine(line)) {
      sections_.emplace_back(line, static_cast<int>(lines_.size()));
      firstHeader_.emplace(LowerCase(line), static_cast<int>(lines_.size()));
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
      pairs_.emplace_back();
    else
      pairs_.push_back({LowerCase(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1))});
    lines_.push_back(line);
  }
}

void TQuickIni::GetSections(std::vector<std::string>& List) const {
  List.clear();
  for (const auto& [header, index] : sections_) List.push_back(Trim(header.substr(1, header.size() - 2)));
}

std::string TQuickIni::ReadString(const std::string& Section, const std::string& Key,
                                  const std::string& Default) const {
  if (lines_.empty()) return Default;
  const auto header = firstHeader_.find(LowerCase("[" + Section + "]"));
  if (header == firstHeader_.end()) return Default;
  const std::string key = LowerCase(Key);
  for (size_t i = static_cast<size_t>(header->second) + 1;
       i < lines_.size() && !ini_detail::IsHeaderLine(lines_[i]); ++i) {
    const TKeyValue& pair = pairs_[i];
    if (pair.Key != key) continue;
    // The first matching line decides, even with an empty value.
    return pair.Value.empty() ? Default : pair.Value;
  }
  return Default;
}

int32_t TQuickIni::ReadInteger(const std::string& Section, const std::string& Key, int32_t Default) const {
  const std::string text = ReadString(Section, Key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return StrToIntDef("$" + text.substr(2), Default);
  return StrToIntDef(text, Default);
}

// --- element records ---------------------------------------------------------------------

TDataSkinObject::TDataSkinObject() : Bitmap(std::make_unique<TBitmap>()) {}
TDataSkinObject::~TDataSkinObject() = default;

TDataSkinBorder::TDataSkinBorder() : Bitmap2(std::make_unique<TBitmap>()) {}
TDataSkinBorder::~TDataSkinBorder() = default;

TDataSkinButton::TDataSkinButton()
    : CheckBitmap(std::make_unique<TBitmap>()), RadioBitmap(std::make_unique<TBitmap>()) {}
TDataSkinButton::~TDataSkinButton() = default;

TSkinElements::TSkinElements() = default;
TSkinElements::~TSkinElements() = default;

std::vector<TDataSkinObject*> TSkinElements::Elements() const {
  std::vector<TDataSkinObject*> all = {Left.get(),
                                       Right.get(),
                                       Top.get(),
                                       Bottom.get(),
                                       Buttons.get(),
                                       Title.get(),
                                       Track.get(),
                                       TrackVert.get(),
                                       Toolbar.get(),
                                       Progress.get(),
                                       MenuBar.get(),
                                       GroupBoxEdge.get(),
                                       GroupBox.get(),
                                       Tabs.get(),
                                       StatusBarEdges.get(),
                                       TabPane.get(),
                                       ToolBars.get(),
                                       ComboButton.get(),
                                       SunkEdge.get(),
                                       ExtraImages.get(),
                                       Headerbar.get(),
                                       MenuItem.get(),
                                       MenuBackground.get(),
                                       Scrollbar.get(),
                                       HorzScroll.get(),
                                       VertScroll.get(),
                                       HorzScrollThumb.get(),
                                       VertScrollThumb.get(),
                                       TrackbarThumbHorz.get(),
                                       TrackbarThumbVert.get(),
                                       TrackbarThumbLeft.get(),
                                       TrackbarThumbRight.get(),
                                       TrackbarThumbUp.get(),
                                       TrackbarThumbDown.get(),
                                       UpDownHorz.get(),
                                       UpDownVert.get()};
  for (const auto& b : SysButtons) all.push_back(b.get());
  std::erase(all, nullptr);
  return all;
}

// --- bitmaps -----------------------------------------------------------------------------

void LoadSkinBitmap(const TSkinReader& Reader, TMemoryStream& Entry, TBitmap& Bitmap,
                    const std::string& Value) {
  const size_t slash = Value.find_last_of("\\/:");
  const std::string name = slash == std::string::npos ? Value : Value.substr(slash + 1);
  const size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  Bitmap.Assign(nullptr);
  if (name.empty() || extension != ".bmp") return;
  Reader.ReadEntry(name, &Entry);
  if (Entry.Size() == 0) return;
  try {
    Entry.SetPosition(0);
    Bitmap.LoadFromStream(&Entry);
  } catch (const Exception&) {
    // An entry the BMP reader refuses is no image.
    Bitmap.Assign(nullptr);
  }
}

bool ParseSkinColour(const std::string& Value, TColor& Colour) {
  int parts[3] = {0, 0, 0};
  int count = 0;
  size_t i = 0;
  while (i < Value.size() && count < 3) {
    if (Value[i] < '0' || Value[i] > '9') {
      ++i;
      continue;
    }
    int number = 0;
    // Saturate instead of overflowing; anything above 255 clamps anyway.
    for (; i < Value.size() && Value[i] >= '0' && Value[i] <= '9'; ++i)
      number = std::min(number * 10 + (Value[i] - '0'), 256);
    parts[count++] = std::min(number, 255);
  }
  if (count == 0) return false;
  Colour = static_cast<TColor>(RGB(parts[0], parts[1], parts[2]));
  return true;
}
