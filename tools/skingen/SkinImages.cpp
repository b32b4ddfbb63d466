#include "tools/skingen/SkinImages.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

int Red(uint32_t c) {
  return (c >> 16) & 0xFF;
}
int Green(uint32_t c) {
  return (c >> 8) & 0xFF;
}
int Blue(uint32_t c) {
  return c & 0xFF;
}
int Clamp(int v) {
  return std::clamp(v, 0, 255);
}
uint32_t Rgb(int r, int g, int b) {
  return (uint32_t(Clamp(r)) << 16) | (uint32_t(Clamp(g)) << 8) | uint32_t(Clamp(b));
}
uint32_t Shift(uint32_t c, int d) {
  return Rgb(Red(c) + d, Green(c) + d, Blue(c) + d);
}
uint32_t Grey(uint32_t c) {
  const int y = (Red(c) * 3 + Green(c) * 6 + Blue(c)) / 10;
  return Rgb(y, y, y);
}
// Our images never hold magenta by accident: a body that comes out as the transparent colour
// is nudged off it.
uint32_t Opaque(uint32_t c) {
  return c == kMagenta ? 0xFE00FE : c;
}
bool IsLight(uint32_t c) {
  return Red(c) * 3 + Green(c) * 6 + Blue(c) > 1280;
}

// The state a frame shows: normal, hot, pressed, disabled, repeated.
uint32_t StateColour(uint32_t base, int state) {
  switch (state % 4) {
    case 1:
      return Shift(base, 28);
    case 2:
      return Shift(base, -28);
    case 3:
      return Grey(base);
    default:
      return base;
  }
}

[[noreturn]] void Fail(int line, const std::string& why) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + why);
}

uint32_t ParseColour(const std::string& text, int line) {
  int r, g, b;
  char c1, c2;
  std::istringstream in(text);
  if (!(in >> r >> c1 >> g >> c2 >> b) || c1 != ',' || c2 != ',') Fail(line, "colour is not R,G,B");
  return Rgb(r, g, b);
}

std::vector<std::string> ParseGlyphs(const std::string& text, int frames, int line) {
  std::vector<std::string> out;
  if (text == "-") return std::vector<std::string>(frames);
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    int count = 1;
    if (auto star = item.find('*'); star != std::string::npos) {
      count = std::atoi(item.c_str() + star + 1);
      item.resize(star);
    }
    if (count < 1) Fail(line, "bad glyph count");
    out.insert(out.end(), count, item == "none" ? std::string() : item);
  }
  if (int(out.size()) != frames) Fail(line, "glyph list does not match the frame count");
  return out;
}

void ParseStates(const std::string& text, TSkinImageLayout& layout, int line) {
  static const std::string kLetters = "nhpd";
  if (text.empty()) Fail(line, "states need letters");
  for (char c : text) {
    const size_t state = kLetters.find(c);
    if (state == std::string::npos) Fail(line, std::string("unknown state ") + c);
    layout.States.push_back(static_cast<int>(state));
  }
}

void ParseCorners(const std::string& text, TSkinImageLayout& layout, int line) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) Fail(line, "corners need a radius");
  layout.Radius = std::atoi(text.c_str() + colon + 1);
  std::istringstream in(text.substr(0, colon));
  std::string name;
  const char* names[] = {"tl", "tr", "bl", "br"};
  while (std::getline(in, name, '+')) {
    const auto at = std::find(std::begin(names), std::end(names), name);
    if (at == std::end(names)) Fail(line, "unknown corner " + name);
    layout.Corners |= 1u << (at - std::begin(names));
  }
}

// One frame drawn into its own rectangle of the picture.
class TFramePainter {
 public:
  TFramePainter(TSkinPicture& picture, int x0, int y0, int w, int h)
      : p_(picture), x0_(x0), y0_(y0), w_(w), h_(h) {}

  void Put(int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < w_ && y < h_) p_.Pixels[size_t(y0_ + y) * p_.Width + x0_ + x] = c;
  }
  void Fill(int l, int t, int r, int b, uint32_t c) {
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Put(x, y, c);
  }
  void Outline(int l, int t, int r, int b, uint32_t c) {
    Fill(l, t, r, t + 1, c);
    Fill(l, b - 1, r, b, c);
    Fill(l, t, l + 1, b, c);
    Fill(r - 1, t, r, b, c);
  }

  // Body with an outline, a lighter band over the margins and a faint stripe every fourth
  // column of the middle, so tiling and stretching look different.
  void Panel(const TSkinImageLayout& s, uint32_t body) {
    Fill(0, 0, w_, h_, Opaque(Shift(body, 16)));
    const int l = std::min(s.Left, w_), t = std::min(s.Top, h_);
    const int r = std::max(l, w_ - s.Right), b = std::max(t, h_ - s.Bottom);
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) Put(x, y, Opaque((x - l) % 4 == 3 ? Shift(body, -10) : body));
    Outline(0, 0, w_, h_, Opaque(Shift(body, -70)));
  }

  void Gradient(uint32_t body) {
    for (int y = 0; y < h_; ++y)
      Fill(0, y, w_, y + 1, Opaque(Shift(body, 30 - 60 * y / std::max(1, h_ - 1))));
    Outline(0, 0, w_, h_, Opaque(Shift(body, -70)));
  }

  // Cuts the outside of a quarter circle of the radius at each chosen corner.
  void CutCorners(unsigned corners, int radius) {
    for (int dy = 0; dy < radius; ++dy)
      for (int dx = 0; dx < radius; ++dx) {
        const double ex = radius - dx - 0.5, ey = radius - dy - 0.5;
        if (ex * ex + ey * ey <= double(radius) * radius) continue;
        if (corners & 1) Put(dx, dy, kMagenta);
        if (corners & 2) Put(w_ - 1 - dx, dy, kMagenta);
        if (corners & 4) Put(dx, h_ - 1 - dy, kMagenta);
        if (corners & 8) Put(w_ - 1 - dx, h_ - 1 - dy, kMagenta);
      }
  }

  void Disc(double cx, double cy, double radius, uint32_t c) {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= radius * radius)
          Put(x, y, c);
  }

  // An arrow head pointing the way named, filling the middle half of the frame.
  void Arrow(const std::string& way, uint32_t c) {
    const int size = std::max(2, std::min(w_, h_) / 3);
    for (int i = 0; i < size; ++i)
      for (int j = -i; j <= i; ++j) {
        const int cx = w_ / 2, cy = h_ / 2, a = i - size / 2;
        if (way == "up") Put(cx + j, cy + a, c);
        if (way == "down") Put(cx + j, cy - a, c);
        if (way == "left") Put(cx + a, cy + j, c);
        if (way == "right") Put(cx - a, cy + j, c);
      }
  }

  void Glyph(const std::string& name, uint32_t body, uint32_t ink) {
    const int cx = w_ / 2, cy = h_ / 2, q = std::max(2, std::min(w_, h_) / 4);
    if (name == "check") {
      for (int i = 0; i < q; ++i) Fill(cx - q + i, cy + i - 1, cx - q + i + 2, cy + i + 1, ink);
      for (int i = 0; i < 2 * q; ++i) Fill(cx + i - 1, cy + q - i - 2, cx + i + 1, cy + q - i, ink);
    } else if (name == "grey") {
      Fill(cx - q, cy - q, cx + q, cy + q, Shift(ink, IsLight(ink) ? -60 : 60));
    } else if (name == "radio" || name == "radiodot") {
      Disc(w_ / 2.0, h_ / 2.0, std::min(w_, h_) / 2.0 - 0.5, Shift(ink, IsLight(ink) ? -40 : 40));
      Disc(w_ / 2.0, h_ / 2.0, std::min(w_, h_) / 2.0 - 1.5, body);
      if (name == "radiodot") Disc(w_ / 2.0, h_ / 2.0, std::min(w_, h_) / 5.0, ink);
    } else if (name == "close") {
      for (int i = -q; i <= q; ++i) {
        Fill(cx + i, cy + i, cx + i + 2, cy + i + 1, ink);
        Fill(cx + i, cy - i, cx + i + 2, cy - i + 1, ink);
      }
    } else if (name == "max") {
      Outline(cx - q, cy - q, cx + q + 1, cy + q + 1, ink);
      Fill(cx - q, cy - q, cx + q + 1, cy - q + 2, ink);
    } else if (name == "min") {
      Fill(cx - q, cy + q - 1, cx + q + 1, cy + q + 1, ink);
    } else if (name == "restore") {
      Outline(cx - q, cy - q + 2, cx + q - 1, cy + q + 1, ink);
      Outline(cx - q + 2, cy - q, cx + q + 1, cy + q - 1, ink);
    } else if (name == "mark") {
      Disc(w_ / 2.0, h_ / 2.0, q, ink);
    } else if (name == "grip" || name == "hgrip" || name == "vgrip") {
      for (int k = -1; k <= 1; ++k) {
        if (name == "vgrip")
          Fill(cx - q, cy + 2 * k, cx + q, cy + 2 * k + 1, ink);
        else if (name == "hgrip")
          Fill(cx + 2 * k, cy - q, cx + 2 * k + 1, cy + q, ink);
        else
          Fill(w_ - 3 - 3 * (k + 1), h_ - 3, w_ - 1 - 3 * (k + 1), h_ - 1, ink);
      }
    } else {
      Arrow(name, ink);
    }
  }

 private:
  TSkinPicture& p_;
  int x0_, y0_, w_, h_;
};

}  // namespace

std::vector<TSkinImageLayout> ParseSkinImageLayouts(const std::string& Text) {
  std::vector<TSkinImageLayout> specs;
  std::istringstream in(Text);
  std::string raw;
  for (int line = 1; std::getline(in, raw); ++line) {
    raw = raw.substr(0, raw.find('#'));
    std::istringstream fields(raw);
    std::vector<std::string> f;
    for (std::string word; fields >> word;) f.push_back(word);
    if (f.empty()) continue;
    if (f.size() < 11 || f.size() > 14) Fail(line, "expected 11 to 14 fields");
    TSkinImageLayout s;
    s.File = f[0];
    s.Frames = std::atoi(f[1].c_str());
    if (f[2] != "h" && f[2] != "v") Fail(line, "layout is h or v");
    s.Stacked = f[2] == "v";
    s.FrameWidth = std::atoi(f[3].c_str());
    s.FrameHeight = std::atoi(f[4].c_str());
    if (s.Frames < 1 || s.FrameWidth < 1 || s.FrameHeight < 1 ||
        s.Frames * std::max(s.FrameWidth, s.FrameHeight) > 4096)
      Fail(line, "bad frame count or size");
    s.Look = f[5];
    if (s.Look != "flat" && s.Look != "round" && s.Look != "gradient" && s.Look != "glyph")
      Fail(line, "unknown look " + s.Look);
    s.Colour = ParseColour(f[6], line);
    s.Left = std::atoi(f[7].c_str());
    s.Top = std::atoi(f[8].c_str());
    s.Right = std::atoi(f[9].c_str());
    s.Bottom = std::atoi(f[10].c_str());
    s.Glyphs = ParseGlyphs(f.size() > 11 ? f[11] : "-", s.Frames, line);
    for (size_t i = 12; i < f.size(); ++i) {
      if (f[i].starts_with("states:"))
        ParseStates(f[i].substr(7), s, line);
      else
        ParseCorners(f[i], s, line);
    }
    specs.push_back(std::move(s));
  }
  return specs;
}

TSkinPicture DrawSkinImage(const TSkinImageLayout& Layout) {
  TSkinPicture pic;
  pic.Width = Layout.Stacked ? Layout.FrameWidth : Layout.FrameWidth * Layout.Frames;
  pic.Height = Layout.Stacked ? Layout.FrameHeight * Layout.Frames : Layout.FrameHeight;
  pic.Pixels.assign(size_t(pic.Width) * pic.Height, kMagenta);
  for (int k = 0; k < Layout.Frames; ++k) {
    // Inside a run of one glyph (four arrows of one way, say) the state counts within the run;
    // elsewhere each frame is its own state.
    int first = k, last = k;
    while (first > 0 && Layout.Glyphs[first - 1] == Layout.Glyphs[k]) --first;
    while (last + 1 < Layout.Frames && Layout.Glyphs[last + 1] == Layout.Glyphs[k]) ++last;
    int state = last > first && !Layout.Glyphs[k].empty() ? k - first : k;
    if (!Layout.States.empty()) state = Layout.States[size_t(state) % Layout.States.size()];
    const uint32_t body = StateColour(Layout.Colour, state);
    const uint32_t ink = Opaque(IsLight(body) ? Shift(body, -150) : Shift(body, 150));
    // "~name" draws the glyph alone on magenta inside a strip of panels.
    const bool bare = Layout.Look == "glyph" || Layout.Glyphs[k].starts_with('~');
    const std::string glyph = Layout.Glyphs[k].substr(Layout.Glyphs[k].starts_with('~') ? 1 : 0);
    TFramePainter paint(pic, Layout.Stacked ? 0 : k * Layout.FrameWidth,
                        Layout.Stacked ? k * Layout.FrameHeight : 0, Layout.FrameWidth, Layout.FrameHeight);
    if (!bare && Layout.Look != "gradient") paint.Panel(Layout, body);
    if (!bare && Layout.Look == "gradient") paint.Gradient(body);
    if (!bare && Layout.Look == "round") paint.CutCorners(Layout.Corners, Layout.Radius);
    // On magenta the glyph takes the body colour; a radio disc then is a lighter shade of it.
    if (!glyph.empty())
      paint.Glyph(glyph, Opaque(bare ? Shift(body, IsLight(body) ? -40 : 60) : body),
                  bare ? Opaque(body) : ink);
  }
  return pic;
}

std::string EncodeBmp24(const TSkinPicture& Picture) {
  const int stride = (Picture.Width * 3 + 3) & ~3;
  const uint32_t imageSize = uint32_t(stride) * Picture.Height;
  std::string out;
  auto put16 = [&](uint32_t v) { out.append({char(v & 0xFF), char(v >> 8)}); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  out += "BM";
  put32(54 + imageSize), put32(0), put32(54);
  put32(40), put32(Picture.Width), put32(Picture.Height), put16(1), put16(24);
  put32(0), put32(imageSize), put32(2835), put32(2835), put32(0), put32(0);
  for (int y = Picture.Height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < Picture.Width; ++x) {
      const uint32_t c = Picture.Pixels[size_t(y) * Picture.Width + x];
      out.append({char(Blue(c)), char(Green(c)), char(Red(c))});
    }
    out.append(stride - (out.size() - rowStart), '\0');
  }
  return out;
}
