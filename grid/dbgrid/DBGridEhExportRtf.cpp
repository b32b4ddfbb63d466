// The rich-text exporter: one table row per title level, record and footer row. The colour and
// font tables precede the body in a document, so the body is written to a memory stream while
// the tables fill up, and the document is put together at the end.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TDBGridEhExportAsRTF)

namespace {

constexpr const char* kRtfCrLf = "\r\n";
constexpr int kTwipsPerInch = 1440;

// Which sides of a cell get a border line.
enum RtfBorderSide : unsigned { kRtfLeft = 1, kRtfTop = 2, kRtfRight = 4, kRtfBottom = 8 };
constexpr unsigned kRtfAllBorders = kRtfLeft | kRtfTop | kRtfRight | kRtfBottom;

// The next code point of a UTF-8 text; a byte that starts no well-formed sequence stands for
// U+FFFD, so any bytes a field holds still make a readable document.
char32_t RtfNextCodePoint(std::string_view Text, size_t& Pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(Text[i]); };
  const unsigned char lead = byte(Pos);
  int length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  }
  if (length == 0 || Pos + length > Text.size()) {
    ++Pos;
    return 0xFFFD;
  }
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(Pos + i);
    if ((next & 0xC0) != 0x80) {
      ++Pos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++Pos;
    return 0xFFFD;
  }
  Pos += length;
  return cp;
}

void AppendRtfNumber(std::string& Out, int64_t Value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, Value).ptr;
  Out.append(digits, end);
}

// One UTF-16 unit as a Unicode escape: its signed 16-bit value, "?" for readers without it.
void AppendRtfUnicodeUnit(std::string& Out, unsigned Unit) {
  Out += "\\u";
  AppendRtfNumber(Out, static_cast<int16_t>(Unit));
  Out += '?';
}

// A text as cell content: backslash and braces escaped, characters beyond ASCII as the Unicode
// escapes of their UTF-16 units.
void AppendRtfEscapedText(std::string& Out, std::string_view Text) {
  const auto plain = [](char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != '\\' && c != '{' && c != '}';
  };
  for (size_t pos = 0; pos < Text.size();) {
    // Runs of plain characters go out whole.
    size_t end = pos;
    while (end < Text.size() && plain(Text[end])) ++end;
    Out.append(Text.data() + pos, end - pos);
    pos = end;
    if (pos == Text.size()) break;
    const char c = Text[pos];
    if (static_cast<unsigned char>(c) < 0x80) {
      Out += '\\';
      Out += c;
      ++pos;
      continue;
    }
    const char32_t cp = RtfNextCodePoint(Text, pos);
    if (cp >= 0x10000) {
      AppendRtfUnicodeUnit(Out, 0xD800 + ((cp - 0x10000) >> 10));
      AppendRtfUnicodeUnit(Out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      AppendRtfUnicodeUnit(Out, static_cast<unsigned>(cp));
    }
  }
}

const char* AlignmentToRTF(TAlignment Alignment) {
  switch (Alignment) {
    case taRightJustify:
      return "\\qr";
    case taCenter:
      return "\\qc";
    default:
      return "\\ql";
  }
}

// A single-line border in colour 0 for each chosen side, in the order left, top, bottom, right.
void AppendRtfCellBorders(std::string& Out, unsigned Sides) {
  static constexpr std::pair<unsigned, const char*> kOrder[] = {
      {kRtfLeft, "\\clbrdrl"}, {kRtfTop, "\\clbrdrt"}, {kRtfBottom, "\\clbrdrb"}, {kRtfRight, "\\clbrdrr"}};
  for (const auto& [side, word] : kOrder) {
    if (!(Sides & side)) continue;
    Out += word;
    Out += "\\brdrs\\brdrcf0";
    Out += kRtfCrLf;
  }
}

// The horizontal resolution of the grid's canvas; a device that reports none counts as 96.
int RtfPixelsPerInch(TCustomDBGridEh* Grid) {
  const int dpi = GetDeviceCaps(Grid->Canvas()->Handle(), LOGPIXELSX);
  return dpi > 0 ? dpi : 96;
}

// The right edge of each cell in twips: the running sum of the columns' rounded widths.
std::vector<int64_t> RtfCellRightEdges(TColumnsEhList* Columns, int PixelsPerInch) {
  std::vector<int64_t> edges;
  edges.reserve(static_cast<size_t>(Columns->Count()));
  int64_t right = 0;
  for (int i = 0; i < Columns->Count(); ++i) {
    right += Round(static_cast<Extended>(Columns->Items(i)->Width()) / PixelsPerInch * kTwipsPerInch);
    edges.push_back(right);
  }
  return edges;
}

// The multi-level title as a matrix of tree nodes: row 0 the leaves, the last row the highest
// level below the root; a cell is empty (nullptr) once a span has taken it.
using RtfTitleMatrix = std::vector<std::vector<THeadTreeNode*>>;

RtfTitleMatrix BuildTitleMatrix(const std::vector<THeadTreeNode*>& Leaves) {
  RtfTitleMatrix matrix;
  std::vector<THeadTreeNode*> nodes = Leaves;
  std::vector<int64_t> heights;
  for (THeadTreeNode* leaf : Leaves) heights.push_back(leaf->Height);
  // Every round either lifts a column one level towards the root or ends the build.
  for (;;) {
    int64_t lowest = heights.empty() ? 0 : heights[0];
    for (int64_t h : heights) lowest = std::min(lowest, h);
    std::vector<THeadTreeNode*> row = nodes;
    bool moved = false;
    for (size_t j = 0; j < nodes.size(); ++j) {
      if (heights[j] != lowest || !nodes[j]->Host) continue;
      nodes[j] = nodes[j]->Host;
      heights[j] += nodes[j]->Height;
      moved = true;
    }
    if (!matrix.empty() && !moved) break;
    matrix.push_back(std::move(row));
    if (!moved) break;
  }
  return matrix;
}

// A cell of the title matrix: (column position, row number).
using RtfTitleCell = std::pair<int, int>;

// The inner edges of merged title cells, one list per side that loses its border.
struct RtfTitleBorderLists {
  std::set<RtfTitleCell> NoLeft, NoRight, NoTop, NoBottom;
};

struct RtfTitleSpan {
  int Rows = 1;
  int Cols = 1;
};

// The rectangle the node at (Row, Col) covers downwards and to the right; every other cell of it
// is emptied so that the caption is written once, in the top-left cell.
RtfTitleSpan GetTitleSpan(RtfTitleMatrix& Matrix, int Row, int Col) {
  RtfTitleSpan span;
  THeadTreeNode* node = Matrix[Row][Col];
  if (!node) return span;
  while (Row - span.Rows >= 0 && Matrix[Row - span.Rows][Col] == node) ++span.Rows;
  const int width = static_cast<int>(Matrix[Row].size());
  while (Col + span.Cols < width && Matrix[Row][Col + span.Cols] == node) ++span.Cols;
  for (int r = Row - span.Rows + 1; r <= Row; ++r)
    for (int c = Col; c < Col + span.Cols; ++c)
      if (r != Row || c != Col) Matrix[r][c] = nullptr;
  return span;
}

// Records the inner edges of a span rectangle whose top-left cell is (Row, Col).
void MarkTitleSpan(RtfTitleBorderLists& Lists, int Row, int Col, RtfTitleSpan Span) {
  const int bottom = Row - Span.Rows + 1;
  const int last = Col + Span.Cols - 1;
  for (int r = bottom; r <= Row; ++r)
    for (int c = Col; c <= last; ++c) {
      if (c != Col) Lists.NoLeft.insert({c, r});
      if (c != last) Lists.NoRight.insert({c, r});
      if (r != Row) Lists.NoTop.insert({c, r});
      if (r != bottom) Lists.NoBottom.insert({c, r});
    }
}

unsigned GetTitleCellBorders(const RtfTitleBorderLists& Lists, int Col, int Row) {
  const RtfTitleCell cell{Col, Row};
  unsigned sides = kRtfAllBorders;
  if (Lists.NoLeft.count(cell)) sides &= ~kRtfLeft;
  if (Lists.NoTop.count(cell)) sides &= ~kRtfTop;
  if (Lists.NoRight.count(cell)) sides &= ~kRtfRight;
  if (Lists.NoBottom.count(cell)) sides &= ~kRtfBottom;
  return sides;
}

// The leaves of the exported columns in the grid's title tree; empty when the grid shows single
// titles or its tree does not cover every exported column.
std::vector<THeadTreeNode*> RtfTitleLeaves(TCustomDBGridEh* Grid, TColumnsEhList* Columns) {
  std::vector<THeadTreeNode*> leaves;
  if (!Grid->IsMultiTitleEffective() || !Grid->HeadTree()) return leaves;
  auto& tree = Grid->LeafFieldArr();
  for (int i = 0; i < Columns->Count(); ++i) {
    const int index = Columns->Items(i)->Index();
    if (index < 0 || index >= static_cast<int>(tree.size()) || !tree[static_cast<size_t>(index)].first)
      return {};
    leaves.push_back(tree[static_cast<size_t>(index)].first);
  }
  return leaves;
}

// A colour's key: its red, green and blue parts, each right-aligned in three characters.
std::string RtfColorKey(TColor Color) {
  const COLORREF rgb = ColorToRGB(Color);
  char key[16];
  std::snprintf(key, sizeof key, "%3d%3d%3d", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
  return key;
}

std::string RtfTrimmed(const std::string& Field) {
  const size_t first = Field.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : Field.substr(first);
}

// What one cell of a row definition says: its borders, the colour number of its shading and its
// right edge.
struct RtfCellDefinition {
  unsigned Borders = kRtfAllBorders;
  int Shading = 0;
  int64_t RightEdge = 0;
};

void AppendRtfRowDefinition(std::string& Out, const std::vector<RtfCellDefinition>& Cells) {
  Out += "\\trowd\\trgaph40";
  Out += kRtfCrLf;
  for (const RtfCellDefinition& cell : Cells) {
    AppendRtfCellBorders(Out, cell.Borders);
    Out += "\\clshdng10000\\clcfpat";
    AppendRtfNumber(Out, cell.Shading);
    Out += "\\cellx";
    AppendRtfNumber(Out, cell.RightEdge);
    Out += kRtfCrLf;
  }
  Out += "{\\trrh0";
  Out += kRtfCrLf;
}

std::string RtfRowDefinition(const std::vector<RtfCellDefinition>& Cells) {
  std::string out;
  AppendRtfRowDefinition(out, Cells);
  return out;
}

constexpr const char* kRtfRowEnd = "\\pard\\intbl\\row}\r\n";

// The format of one cell's text run: size, styles, font, text colour and background, and the
// space before the text.
void AppendRtfRunFormat(std::string& Out, TDBGridEhExportAsRTF& Exporter, TFont* Font, TColor Background) {
  Out += "\\fs";
  AppendRtfNumber(Out, 2 * Font->Size());
  const TFontStyles style = Font->Style();
  if (style.Contains(fsBold)) Out += "\\b";
  if (style.Contains(fsItalic)) Out += "\\i";
  if (style.Contains(fsStrikeOut)) Out += "\\strike";
  if (style.Contains(fsUnderline)) Out += "\\ul";
  Out += "\\f";
  AppendRtfNumber(Out, Exporter.GetFontIndex(Font->Name()));
  Out += "\\cf";
  AppendRtfNumber(Out, Exporter.GetColorIndex(Font->Color()));
  Out += "\\cb";
  AppendRtfNumber(Out, Exporter.GetColorIndex(Background));
  Out += ' ';
}

// The run of one cell's text: its format, then the text.
void AppendRtfFontRun(std::string& Out, TDBGridEhExportAsRTF& Exporter, TFont* Font, const std::string& Text,
                      TColor Background) {
  AppendRtfRunFormat(Out, Exporter, Font, Background);
  AppendRtfEscapedText(Out, Text);
}

// What comes before a cell's text: the paragraph, alignment, the vertical margin above and below,
// and the run's format.
void AppendRtfCellFormat(std::string& Out, TDBGridEhExportAsRTF& Exporter, TAlignment Alignment,
                         const char* Margin, TFont* Font, TColor Background) {
  Out += "\\pard\\intbl{";
  Out += AlignmentToRTF(Alignment);
  Out += "\\sb";
  Out += Margin;
  Out += "\\sa";
  Out += Margin;
  AppendRtfRunFormat(Out, Exporter, Font, Background);
}

constexpr std::string_view kRtfCellEnd = "\\cell}\r\n";

// The common cell contents: its format, the text, the cell's end.
void AppendRtfCellContents(std::string& Out, TDBGridEhExportAsRTF& Exporter, TAlignment Alignment,
                           const char* Margin, TFont* Font, const std::string& Text, TColor Background) {
  AppendRtfCellFormat(Out, Exporter, Alignment, Margin, Font, Background);
  AppendRtfEscapedText(Out, Text);
  Out += kRtfCellEnd;
}

const char* RtfCellMargin(TCustomDBGridEh* Grid) {
  return Grid->Flat() ? "12" : "24";
}

}  // namespace

// The body as it is written: most of its bytes are the same few row definitions and cell formats
// again and again, so the tape keeps each of those once and, in order, either a reference to one
// or literal bytes. The document is spelled out only when it is written, a block at a time: a
// large export neither holds nor copies its whole text.
struct TDBGridEhExportAsRTF::TBodyTape {
  static constexpr char kLiteral = 0;
  static constexpr char kPiece = 1;

  std::string Bytes;
  std::vector<std::string> Pieces;
  std::unordered_map<std::string, uint32_t> PieceNumbers;

  uint32_t Intern(const std::string& Text) {
    const auto [at, added] = PieceNumbers.try_emplace(Text, static_cast<uint32_t>(Pieces.size()));
    if (added) Pieces.push_back(Text);
    return at->second;
  }
  void Piece(uint32_t Number) { Put(kPiece, Number); }
  void Literal(std::string_view Text) {
    if (Text.empty()) return;
    Put(kLiteral, static_cast<uint32_t>(Text.size()));
    Bytes += Text;
  }
  void WriteTo(TStream* Target) const {
    constexpr size_t kFlushBytes = size_t{1} << 16;
    std::string out;
    out.reserve(2 * kFlushBytes);
    for (size_t at = 0; at < Bytes.size();) {
      const char kind = Bytes[at];
      uint32_t value = 0;
      std::memcpy(&value, Bytes.data() + at + 1, sizeof value);
      at += 1 + sizeof value;
      if (kind == kPiece) {
        out += Pieces[value];
      } else {
        out.append(Bytes, at, value);
        at += value;
      }
      if (out.size() >= kFlushBytes) {
        Target->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
        out.clear();
      }
    }
    if (!out.empty()) Target->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
  }

 private:
  void Put(char Kind, uint32_t Value) {
    char entry[1 + sizeof Value];
    entry[0] = Kind;
    std::memcpy(entry + 1, &Value, sizeof Value);
    Bytes.append(entry, sizeof entry);
  }
};

namespace {

// Puts every write on the tape as literal bytes. The body only grows, so a seek can only ask
// where it ends.
class TRtfBodyStream : public TStream {
 public:
  explicit TRtfBodyStream(TDBGridEhExportAsRTF::TBodyTape& Tape) : tape_(Tape) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* Buffer, int64_t Count) override {
    // A literal's length must fit its field: a larger write goes on in parts.
    constexpr int64_t kMostAtOnce = int64_t{1} << 30;
    for (int64_t done = 0; done < Count;) {
      const int64_t part = std::min(Count - done, kMostAtOnce);
      tape_.Literal({static_cast<const char*>(Buffer) + done, static_cast<size_t>(part)});
      done += part;
    }
    size_ += std::max<int64_t>(Count, 0);
    return std::max<int64_t>(Count, 0);
  }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    if (Offset == 0 && Origin != soBeginning) return size_;
    if (Origin == soBeginning && Offset == size_) return size_;
    throw EStreamError("The document body cannot seek");
  }

 private:
  TDBGridEhExportAsRTF::TBodyTape& tape_;
  int64_t size_ = 0;
};

}  // namespace

TDBGridEhExportAsRTF::TDBGridEhExportAsRTF() = default;
TDBGridEhExportAsRTF::~TDBGridEhExportAsRTF() = default;

int TDBGridEhExportAsRTF::GetColorIndex(TColor Color) {
  // The key is made of the red, green and blue parts alone, so equal parts mean an equal key.
  const uint32_t parts = ColorToRGB(Color) & 0x00FFFFFF;
  if (colorParts_.size() == static_cast<size_t>(ColorTable->Count())) {
    for (size_t i = 0; i < colorParts_.size(); ++i)
      if (colorParts_[i] == parts) return static_cast<int>(i);
    colorParts_.push_back(parts);
    return ColorTable->Add(RtfColorKey(Color));
  }
  // The table was changed from outside: its keys answer.
  const std::string key = RtfColorKey(Color);
  for (int i = 0; i < ColorTable->Count(); ++i)
    if (ColorTable->Strings(i) == key) return i;
  return ColorTable->Add(key);
}

int TDBGridEhExportAsRTF::GetFontIndex(const std::string& FontName) {
  // The exact name first: the list's own comparison is the locale's, and far slower.
  for (int i = 0; i < FontTable->Count(); ++i)
    if (FontTable->Strings(i) == FontName) return i;
  const int index = FontTable->IndexOf(FontName);
  return index >= 0 ? index : FontTable->Add(FontName);
}

const std::vector<int64_t>& TDBGridEhExportAsRTF::CellRightEdges(TColumnsEhList* ColumnsList) {
  if (cellRightEdges_.size() != static_cast<size_t>(ColumnsList->Count()))
    cellRightEdges_ = RtfCellRightEdges(ColumnsList, RtfPixelsPerInch(DBGridEh()));
  return cellRightEdges_;
}

void TDBGridEhExportAsRTF::WriteRTFText(const std::string& Text) {
  if (!Text.empty()) Stream()->WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
}

void TDBGridEhExportAsRTF::WriteRTFLine(const std::string& Text) {
  WriteRTFText(Text + kRtfCrLf);
}

void TDBGridEhExportAsRTF::ExportToStream(TStream* Stream, bool ForWholeGrid) {
  cellRightEdges_.clear();
  colorParts_.clear();
  rowShadings_.clear();
  cellFormats_.clear();
  rowDefinitionPiece_ = kNoPiece;
  tape_ = std::make_unique<TBodyTape>();
  rowEndPiece_ = tape_->Intern(kRtfRowEnd);
  cellEndPiece_ = tape_->Intern(std::string(kRtfCellEnd));
  BodyStream = std::make_unique<TRtfBodyStream>(*tape_);
  ColorTable = std::make_unique<TStringList>();
  FontTable = std::make_unique<TStringList>();
  TScopeExit release([this, Stream] {
    SetStream(Stream);  // never left pointing at the freed body
    BodyStream.reset();
    ColorTable.reset();
    FontTable.reset();
    tape_.reset();
    inRecord_ = false;
  });
  // Colours 0, 1 and 2 are always black, white and the button face.
  GetColorIndex(static_cast<TColor>(0x000000));
  GetColorIndex(static_cast<TColor>(0xFFFFFF));
  GetColorIndex(clBtnFace);

  TDBGridEhExport::ExportToStream(BodyStream.get(), ForWholeGrid);

  SetStream(Stream);
  WriteRTFLine("{\\rtf0\\ansi");
  std::string colors = "{\\colortbl";
  for (int i = 0; i < ColorTable->Count(); ++i) {
    const std::string key = ColorTable->Strings(i);
    colors += "\\red" + RtfTrimmed(key.substr(0, 3)) + "\\green" + RtfTrimmed(key.substr(3, 3)) + "\\blue" +
              RtfTrimmed(key.substr(6, 3)) + ";";
  }
  WriteRTFLine(colors + "}");
  std::string fonts = "{\\fonttbl";
  for (int i = 0; i < FontTable->Count(); ++i) {
    fonts += "\\f" + std::to_string(i) + "\\fnil ";
    AppendRtfEscapedText(fonts, FontTable->Strings(i));
    fonts += ";";
  }
  WriteRTFLine(fonts + "}");
  tape_->WriteTo(Stream);
}

void TDBGridEhExportAsRTF::WriteSuffix() {
  WriteRTFText("}");
}

void TDBGridEhExportAsRTF::WriteRecord(TColumnsEhList* ColumnsList) {
  TCustomDBGridEh* grid = DBGridEh();
  const std::vector<int64_t>& edges = CellRightEdges(ColumnsList);
  std::unique_ptr<TFont> eventFont;
  bool sameShadings = rowShadings_.size() == edges.size() && rowDefinitionPiece_ != kNoPiece;
  rowShadings_.resize(edges.size());
  for (int i = 0; i < ColumnsList->Count(); ++i) {
    TColumnEh* column = ColumnsList->Items(i);
    // The shading sees the grid's event but not the column's own step.
    TColor background = column->Color();
    if (grid->OnGetCellParams) {
      if (!eventFont) eventFont = std::make_unique<TFont>();
      eventFont->Assign(column->Font());
      grid->OnGetCellParams(grid, column, eventFont.get(), background, TGridDrawState{});
      AbortIfGridFreed();
    }
    const int shading = GetColorIndex(background);
    sameShadings = sameShadings && rowShadings_[static_cast<size_t>(i)] == shading;
    rowShadings_[static_cast<size_t>(i)] = shading;
  }
  const auto definition = [&] {
    std::vector<RtfCellDefinition> cells(edges.size());
    for (size_t i = 0; i < cells.size(); ++i) {
      cells[i].Shading = rowShadings_[i];
      cells[i].RightEdge = edges[i];
    }
    return RtfRowDefinition(cells);
  };
  if (!OnTape()) {
    WriteRTFText(definition());
    TDBGridEhExport::WriteRecord(ColumnsList);
    WriteRTFText(kRtfRowEnd);
    return;
  }
  if (!sameShadings) rowDefinitionPiece_ = tape_->Intern(definition());
  tape_->Piece(rowDefinitionPiece_);
  cellNo_ = 0;
  inRecord_ = true;
  TScopeExit leave([this] { inRecord_ = false; });
  TDBGridEhExport::WriteRecord(ColumnsList);
  tape_->Piece(rowEndPiece_);
}

bool TDBGridEhExportAsRTF::OnTape() {
  return tape_ && BodyStream && Stream() == BodyStream.get();
}

void TDBGridEhExportAsRTF::WriteDataCell(TColumnEh* Column, TColCellParamsEh* Params) {
  const char* margin = RtfCellMargin(DBGridEh());
  if (!inRecord_ || !OnTape()) {
    std::string alone;
    AppendRtfCellContents(alone, *this, Params->Alignment, margin, Params->Font, Params->Text,
                          Params->Background);
    WriteRTFText(alone);
    return;
  }
  // A column's cells mostly share their format: the text before the cell's own is made again
  // only when something it is made of differs from the column's last cell.
  if (cellFormats_.size() <= cellNo_) cellFormats_.resize(cellNo_ + 1);
  TRtfCellFormat& format = cellFormats_[cellNo_++];
  TFont* font = Params->Font;
  if (format.Piece == kNoPiece || format.Alignment != Params->Alignment || format.Margin != margin ||
      format.Background != Params->Background || format.FontColor != font->Color() ||
      format.FontSize != font->Size() || !(format.FontStyle == font->Style()) ||
      format.FontName != font->Name()) {
    format.Alignment = Params->Alignment;
    format.Margin = margin;
    format.Background = Params->Background;
    format.FontColor = font->Color();
    format.FontSize = font->Size();
    format.FontStyle = font->Style();
    format.FontName = font->Name();
    std::string text;
    AppendRtfCellFormat(text, *this, Params->Alignment, margin, font, Params->Background);
    format.Piece = tape_->Intern(text);
  }
  tape_->Piece(format.Piece);
  cellText_.clear();
  AppendRtfEscapedText(cellText_, Params->Text);
  tape_->Literal(cellText_);
  tape_->Piece(cellEndPiece_);
}

void TDBGridEhExportAsRTF::WriteFooter(TColumnsEhList* ColumnsList, int FooterNo) {
  TCustomDBGridEh* grid = DBGridEh();
  const std::vector<int64_t>& edges = CellRightEdges(ColumnsList);
  std::vector<RtfCellDefinition> cells(edges.size());
  std::unique_ptr<TFont> eventFont;
  for (int j = 0; j < ColumnsList->Count(); ++j) {
    TColumnEh* column = ColumnsList->Items(j);
    TColumnFooterEh* footer = ColumnFooter(column, FooterNo);
    TColor background = footer->Color();
    if (grid->OnGetFooterParams) {
      if (!eventFont) eventFont = std::make_unique<TFont>();
      eventFont->Assign(footer->Font());
      TAlignment alignment = footer->Alignment();
      std::string text;
      if (footer->ValueType() == fvtSum || footer->ValueType() == fvtCount)
        text = GetExportFooterValue(FooterNo, j);
      else
        grid->GetFooterValue(FooterNo, column, text);
      grid->OnGetFooterParams(grid, column->Index(), FooterNo, column, eventFont.get(), background, alignment,
                              TGridDrawState{}, text);
      AbortIfGridFreed();
    }
    cells[static_cast<size_t>(j)].Shading = GetColorIndex(background);
    cells[static_cast<size_t>(j)].RightEdge = edges[static_cast<size_t>(j)];
  }
  WriteRTFText(RtfRowDefinition(cells));
  TDBGridEhExport::WriteFooter(ColumnsList, FooterNo);
  WriteRTFText(kRtfRowEnd);
}

void TDBGridEhExportAsRTF::WriteFooterCell(int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                           TColor Background, TAlignment Alignment, const std::string& Text) {
  std::string cell;
  AppendRtfCellContents(cell, *this, Alignment, RtfCellMargin(DBGridEh()), AFont, Text, Background);
  WriteRTFText(cell);
}

void TDBGridEhExportAsRTF::WriteTitle(TColumnsEhList* ColumnsList) {
  TCustomDBGridEh* grid = DBGridEh();
  const int dpi = RtfPixelsPerInch(grid);
  const std::vector<int64_t>& edges = CellRightEdges(ColumnsList);
  const std::vector<THeadTreeNode*> leaves = RtfTitleLeaves(grid, ColumnsList);

  if (leaves.empty()) {
    std::vector<RtfCellDefinition> cells(edges.size());
    for (int i = 0; i < ColumnsList->Count(); ++i) {
      cells[static_cast<size_t>(i)].Shading = GetColorIndex(ColumnsList->Items(i)->Title()->Color());
      cells[static_cast<size_t>(i)].RightEdge = edges[static_cast<size_t>(i)];
    }
    std::string row = RtfRowDefinition(cells);
    for (int i = 0; i < ColumnsList->Count(); ++i) {
      TColumnTitleEh* title = ColumnsList->Items(i)->Title();
      AppendRtfCellContents(row, *this, title->Alignment(), RtfCellMargin(grid), title->Font(),
                            title->Caption(), title->Color());
    }
    row += kRtfRowEnd;
    WriteRTFText(row);
    return;
  }

  const std::string margin = std::to_string(std::llabs(
      Round(static_cast<Extended>(grid->TitleParams()->VTitleMargin()) / 2 / dpi * kTwipsPerInch - 20)));
  RtfTitleMatrix matrix = BuildTitleMatrix(leaves);
  RtfTitleBorderLists borders;
  const int width = ColumnsList->Count();
  for (int r = static_cast<int>(matrix.size()) - 1; r >= 0; --r) {
    std::vector<RtfCellDefinition> cells(edges.size());
    for (int j = 0; j < width; ++j) {
      MarkTitleSpan(borders, r, j, GetTitleSpan(matrix, r, j));
      RtfCellDefinition& cell = cells[static_cast<size_t>(j)];
      cell.Borders = GetTitleCellBorders(borders, j, r);
      cell.Shading = GetColorIndex(r > 0 ? grid->FixedColor() : ColumnsList->Items(j)->Title()->Color());
      cell.RightEdge = edges[static_cast<size_t>(j)];
    }
    std::string row = RtfRowDefinition(cells);
    for (int j = 0; j < width; ++j) {
      TColumnTitleEh* title = ColumnsList->Items(j)->Title();
      TFont* font = r > 0 ? grid->TitleFont() : title->Font();
      const TColor background = r > 0 ? grid->FixedColor() : title->Color();
      THeadTreeNode* node = matrix[static_cast<size_t>(r)][static_cast<size_t>(j)];
      if (node) {
        AppendRtfCellContents(row, *this, taCenter, margin.c_str(), font, node->Text, background);
      } else {
        row += "\\pard\\intbl{\\qc";
        AppendRtfFontRun(row, *this, font, std::string(), background);
        row += "\\cell}";
        row += kRtfCrLf;
      }
    }
    row += kRtfRowEnd;
    WriteRTFText(row);
  }
}
