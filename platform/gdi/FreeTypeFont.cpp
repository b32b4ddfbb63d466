// The system font engine: FreeType renders, fontconfig finds the files. Latin text uses
// DejaVu Sans (DejaVu Sans Mono for the fixed-pitch families), CJK code points use WenQuanYi
// Micro Hei at the same pixel size on the same baseline. Whatever cannot be found or opened
// falls back to the test font, so a machine without the font packages still draws text.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "platform/gdi/FontEngine.h"

namespace {

constexpr char kSansFamily[] = "DejaVu Sans";
constexpr char kMonoFamily[] = "DejaVu Sans Mono";
constexpr char kCjkFamily[] = "WenQuanYi Micro Hei";
constexpr BYTE kNonAntialiasedQuality = 3;
constexpr BYTE kFixedPitch = 1;
// Glyph bitmaps beyond this are refused (a hostile size would otherwise allocate freely).
constexpr unsigned kMaxGlyphSide = 4096;
constexpr size_t kMaxCachedGlyphs = 4096;

struct TFontFile {
  std::string Path;
  int Index = 0;
  bool Bold = false;  // the file's own style: synthesis fills in what it lacks
  bool Italic = false;
};

// Owned jointly by the engine and every face, so faces may outlive the engine at exit.
struct TFtLibrary {
  FT_Library Lib = nullptr;
  ~TFtLibrary() {
    if (Lib) FT_Done_FreeType(Lib);
  }
};

bool SameFamily(const std::string& a, const char* b) {
  const std::string_view bv(b);
  if (a.size() != bv.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(bv[i])))
      return false;
  return true;
}

bool Readable(const std::string& path) {
  return !path.empty() && access(path.c_str(), R_OK) == 0;
}

// Asks fontconfig for `family`; a match of some other family does not count.
std::optional<TFontFile> MatchWithFontconfig(FcConfig* config, const char* family, bool bold, bool italic) {
  if (!config) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return std::nullopt;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;
  std::optional<TFontFile> found;
  bool familyMatches = false;
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (SameFamily(reinterpret_cast<const char*>(name), family)) familyMatches = true;
  FcChar8* file = nullptr;
  if (familyMatches && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    TFontFile f;
    f.Path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &f.Index);
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    f.Bold = weight >= FC_WEIGHT_DEMIBOLD;
    f.Italic = slant != FC_SLANT_ROMAN;
    if (Readable(f.Path)) found = f;
  }
  FcPatternDestroy(match);
  return found;
}

// The Debian locations, for a system whose fontconfig cache or configuration is missing.
std::optional<TFontFile> KnownLocation(const char* family, bool bold, bool italic) {
  const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";
  std::string style = bold ? (italic ? "-BoldOblique" : "-Bold") : (italic ? "-Oblique" : "");
  TFontFile f;
  f.Bold = bold;
  f.Italic = italic;
  if (SameFamily(family, kSansFamily)) {
    f.Path = dejavu + "DejaVuSans" + style + ".ttf";
  } else if (SameFamily(family, kMonoFamily)) {
    f.Path = dejavu + "DejaVuSansMono" + style + ".ttf";
  } else {
    f.Path = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
    f.Bold = f.Italic = false;
  }
  if (Readable(f.Path)) return f;
  if (bold || italic) return KnownLocation(family, false, false);
  return std::nullopt;
}

bool IsMonospaceName(const std::string& face) {
  static const char* const kNames[] = {"Courier New",    "Courier",  "Fixedsys", "Terminal",
                                       "Lucida Console", "Consolas", kMonoFamily};
  for (const char* n : kNames)
    if (SameFamily(face, n)) return true;
  return false;
}

int Round26d6(FT_Pos v) {
  return static_cast<int>((v + 32) >> 6);
}
int Ceil26d6(FT_Pos v) {
  return static_cast<int>((v + 63) >> 6);
}

class TFreeTypeFace : public IFontFace {
 public:
  // Both faces are owned here; `cjk` may be null.
  TFreeTypeFace(std::shared_ptr<TFtLibrary> lib, FT_Face main, std::string mainFamily, bool synthBold,
                bool synthItalic, FT_Face cjk, bool cjkBold, bool cjkItalic, int emPx, bool mono)
      : lib_(std::move(lib)), mono_(mono) {
    std::fill(std::begin(asciiAdvance_), std::end(asciiAdvance_), -1);
    main_ = {main, std::move(mainFamily), synthBold, synthItalic};
    if (cjk) cjk_ = {cjk, kCjkFamily, cjkBold, cjkItalic};
    ComputeMetrics(emPx);
  }

  ~TFreeTypeFace() override {
    if (cjk_.Face) FT_Done_Face(cjk_.Face);
    if (main_.Face) FT_Done_Face(main_.Face);
  }

  const TFontMetrics& Metrics() const override { return m_; }

  int Advance(char32_t c) override {
    if (c < 128 && asciiAdvance_[c] >= 0) return asciiAdvance_[c];
    auto it = advances_.find(c);
    if (it != advances_.end()) return it->second;
    const int a = Glyph(c)->Advance;
    if (c < 128) {
      asciiAdvance_[c] = a;
    } else {
      if (advances_.size() >= kMaxCachedGlyphs) advances_.clear();
      advances_.emplace(c, a);
    }
    return a;
  }

  std::shared_ptr<const TGlyph> Glyph(char32_t c) override {
    auto it = glyphs_.find(c);
    if (it != glyphs_.end()) return it->second;
    if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();
    auto g = Render(c);
    glyphs_.emplace(c, g);
    return g;
  }

  std::string FamilyFor(char32_t c) override {
    FT_UInt index = 0;
    return Pick(c, index).Family;
  }

 private:
  struct TSource {
    FT_Face Face = nullptr;
    std::string Family;
    bool SynthBold = false;
    bool SynthItalic = false;
  };

  // Wide code points prefer the CJK face; anything the main face lacks is looked up there.
  const TSource& Pick(char32_t c, FT_UInt& index) {
    if (cjk_.Face && IsWideCodePoint(c)) {
      index = FT_Get_Char_Index(cjk_.Face, c);
      if (index) return cjk_;
    }
    index = FT_Get_Char_Index(main_.Face, c);
    if (index || !cjk_.Face) return main_;
    const FT_UInt other = FT_Get_Char_Index(cjk_.Face, c);
    if (!other) return main_;
    index = other;
    return cjk_;
  }

  void ComputeMetrics(int emPx) {
    const FT_Size_Metrics& sm = main_.Face->size->metrics;
    m_.Ascent = std::max(1, Ceil26d6(sm.ascender));
    m_.Descent = std::max(0, Ceil26d6(-sm.descender));
    m_.Height = m_.Ascent + m_.Descent;
    m_.InternalLeading = std::max(0, m_.Height - emPx);
    m_.ExternalLeading = std::max(0, Round26d6(sm.height) - m_.Height);
    m_.MaxCharWidth = std::max(1, Round26d6(sm.max_advance));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(main_.Face, FT_SFNT_OS2));
    const int units = std::max<int>(1, main_.Face->units_per_EM);
    auto scale = [&](int v) {
      return static_cast<int>((static_cast<int64_t>(v) * emPx * 2 + units) / (2 * units));
    };
    m_.AveCharWidth = os2 && os2->xAvgCharWidth > 0 ? scale(os2->xAvgCharWidth) : Advance('x');
    m_.AveCharWidth = std::max(1, m_.AveCharWidth);
    m_.UnderlineThickness = std::max(1, scale(main_.Face->underline_thickness));
    m_.UnderlineTop =
        m_.Ascent + std::max(1, scale(-main_.Face->underline_position)) - m_.UnderlineThickness / 2;
    if (os2 && os2->yStrikeoutSize > 0) {
      m_.StrikeOutThickness = std::max(1, scale(os2->yStrikeoutSize));
      m_.StrikeOutTop = m_.Ascent - scale(os2->yStrikeoutPosition);
    } else {
      m_.StrikeOutThickness = m_.UnderlineThickness;
      m_.StrikeOutTop = m_.Ascent - emPx / 3;
    }
    m_.UnderlineTop = std::clamp(m_.UnderlineTop, 0, std::max(0, m_.Height - m_.UnderlineThickness));
    m_.StrikeOutTop = std::clamp(m_.StrikeOutTop, 0, std::max(0, m_.Height - m_.StrikeOutThickness));
    m_.FixedPitch = FT_IS_FIXED_WIDTH(main_.Face);
  }

  std::shared_ptr<const TGlyph> Render(char32_t c) {
    auto g = std::make_shared<TGlyph>();
    FT_UInt index = 0;
    const TSource& src = Pick(c, index);
    FT_Int32 load = FT_LOAD_DEFAULT | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    if (src.SynthBold || src.SynthItalic) load |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(src.Face, index, load) != 0) {
      g->Advance = std::max(1, m_.AveCharWidth);
      return g;
    }
    FT_GlyphSlot slot = src.Face->glyph;
    if (src.SynthItalic) FT_GlyphSlot_Oblique(slot);
    if (src.SynthBold) FT_GlyphSlot_Embolden(slot);
    g->Advance = std::max(0, Round26d6(slot->advance.x));
    if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.width == 0 || bm.rows == 0 || bm.width > kMaxGlyphSide || bm.rows > kMaxGlyphSide) return g;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return g;
    g->Width = static_cast<int>(bm.width);
    g->Height = static_cast<int>(bm.rows);
    g->Left = slot->bitmap_left;
    g->Top = m_.Ascent - slot->bitmap_top;
    g->Coverage.resize(static_cast<size_t>(g->Width) * g->Height);
    const int maxGray = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
    for (int y = 0; y < g->Height; ++y) {
      const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
      uint8_t* out = &g->Coverage[static_cast<size_t>(y) * g->Width];
      for (int x = 0; x < g->Width; ++x) {
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
          out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        else
          out[x] = static_cast<uint8_t>(maxGray == 255 ? row[x] : row[x] * 255 / maxGray);
      }
    }
    return g;
  }

  std::shared_ptr<TFtLibrary> lib_;
  TSource main_;
  TSource cjk_;
  bool mono_;
  TFontMetrics m_;
  int asciiAdvance_[128];
  std::unordered_map<char32_t, int> advances_;
  std::unordered_map<char32_t, std::shared_ptr<const TGlyph>> glyphs_;
};

class TFreeTypeEngine : public IFontEngine {
 public:
  ~TFreeTypeEngine() override {
    if (config_) FcConfigDestroy(config_);
  }

  std::string Name() const override { return "FreeType"; }

  bool Available() { return Library() && File(kSansFamily, false, false).has_value(); }

  std::shared_ptr<IFontFace> Realize(const LOGFONT& font) override {
    if (!Library()) return TestFontEngine().Realize(font);
    const bool mono = IsMonospaceName(font.lfFaceName) || (font.lfPitchAndFamily & 3) == kFixedPitch;
    const bool bold = font.lfWeight >= 600;
    const bool italic = font.lfItalic != 0;
    const bool aliased = font.lfQuality == kNonAntialiasedQuality;
    const auto key = std::make_tuple(font.lfHeight, mono, bold, italic, aliased);
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second;
    auto face = Open(font.lfHeight, mono, bold, italic, aliased);
    if (!face) return TestFontEngine().Realize(font);
    if (faces_.size() >= 64) faces_.clear();
    faces_.emplace(key, face);
    return face;
  }

 private:
  std::shared_ptr<TFtLibrary> Library() {
    if (!libraryTried_) {
      libraryTried_ = true;
      auto lib = std::make_shared<TFtLibrary>();
      if (FT_Init_FreeType(&lib->Lib) == 0) library_ = lib;
    }
    return library_;
  }

  const std::optional<TFontFile>& File(const char* family, bool bold, bool italic) {
    const auto key = std::make_tuple(std::string(family), bold, italic);
    auto it = files_.find(key);
    if (it != files_.end()) return it->second;
    // A configuration of our own rather than the process default, so it is freed at exit.
    if (!configTried_) {
      configTried_ = true;
      config_ = FcInitLoadConfigAndFonts();
    }
    std::optional<TFontFile> f = MatchWithFontconfig(config_, family, bold, italic);
    if (!f) f = KnownLocation(family, bold, italic);
    return files_.emplace(key, f).first->second;
  }

  FT_Face OpenFace(const TFontFile& file) {
    FT_Face face = nullptr;
    if (FT_New_Face(library_->Lib, file.Path.c_str(), file.Index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
      FT_Done_Face(face);
      return nullptr;
    }
    return face;
  }

  std::shared_ptr<IFontFace> Open(LONG lfHeight, bool mono, bool bold, bool italic, bool aliased) {
    const char* family = mono ? kMonoFamily : kSansFamily;
    std::optional<TFontFile> mainFile = File(family, bold, italic);
    if (!mainFile && mono) family = kSansFamily, mainFile = File(family, bold, italic);
    if (!mainFile) return nullptr;
    FT_Face main = OpenFace(*mainFile);
    if (!main) return nullptr;
    // A positive height is the cell height (ascender + descender), a negative one the em.
    int64_t em;
    if (lfHeight < 0) {
      em = -int64_t{lfHeight};
    } else if (lfHeight == 0) {
      em = gdi_internal::kDefaultFontPixels;
    } else {
      const int64_t cell = std::max<int64_t>(1, int64_t{main->ascender} - main->descender);
      em = (int64_t{lfHeight} * main->units_per_EM + cell / 2) / cell;
    }
    const int emPx = static_cast<int>(std::clamp<int64_t>(em, 1, gdi_internal::kMaxFontPixels));
    if (FT_Set_Pixel_Sizes(main, 0, static_cast<FT_UInt>(emPx)) != 0) {
      FT_Done_Face(main);
      return nullptr;
    }
    FT_Face cjk = nullptr;
    const std::optional<TFontFile> cjkFile = File(kCjkFamily, false, false);
    if (cjkFile) {
      cjk = OpenFace(*cjkFile);
      if (cjk && FT_Set_Pixel_Sizes(cjk, 0, static_cast<FT_UInt>(emPx)) != 0) {
        FT_Done_Face(cjk);
        cjk = nullptr;
      }
    }
    auto face = std::make_shared<TFreeTypeFace>(
        library_, main, family, bold && !mainFile->Bold, italic && !mainFile->Italic, cjk,
        cjk && bold && !cjkFile->Bold, cjk && italic && !cjkFile->Italic, emPx, aliased);
    return face;
  }

  bool libraryTried_ = false;
  std::shared_ptr<TFtLibrary> library_;
  bool configTried_ = false;
  FcConfig* config_ = nullptr;
  std::map<std::tuple<std::string, bool, bool>, std::optional<TFontFile>> files_;
  std::map<std::tuple<LONG, bool, bool, bool, bool>, std::shared_ptr<IFontFace>> faces_;
};

TFreeTypeEngine& Engine() {
  static TFreeTypeEngine engine;
  return engine;
}

}  // namespace

IFontEngine& SystemFontEngine() {
  return Engine();
}

bool SystemFontsAvailable() {
  return Engine().Available();
}
