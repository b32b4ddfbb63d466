// The rich-text exporter: whole documents compared byte for byte with texts built from the rules
// of the format (tables, row definitions, cell contents, escapes, multi-level titles).
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "grid/dbgrid/DBGridEhColumns.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhParams.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace {

const std::string kCrLf = "\r\n";
const std::string kThreeColors =
    "\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red212\\green208\\blue200;";

// One cell definition: its borders (sides named by l, t, b, r), shading colour and right edge.
std::string CellDef(const std::string& Sides, int Shading, int Edge) {
  std::string out;
  for (char side : Sides) {
    out += "\\clbrdr";
    out += side;
    out += "\\brdrs\\brdrcf0";
    out += kCrLf;
  }
  out += "\\clshdng10000\\clcfpat";
  out += std::to_string(Shading);
  out += "\\cellx";
  out += std::to_string(Edge);
  return out + kCrLf;
}

std::string TableRow(const std::vector<std::string>& Defs, const std::vector<std::string>& Cells) {
  std::string out = "\\trowd\\trgaph40" + kCrLf;
  for (const std::string& def : Defs) out += def;
  out += "{\\trrh0" + kCrLf;
  for (const std::string& cell : Cells) out += "\\pard\\intbl{" + cell + "\\cell}" + kCrLf;
  return out + "\\pard\\intbl\\row}" + kCrLf;
}

std::string Header(const std::string& Colors, const std::string& Fonts) {
  return "{\\rtf0\\ansi" + kCrLf + "{\\colortbl" + Colors + "}" + kCrLf + "{\\fonttbl" + Fonts + "}" + kCrLf;
}

class ExportRtfTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    grid->Font()->SetName("Arial");
    grid->Font()->SetSize(8);
    grid->TitleFont()->SetName("Times");
    grid->TitleFont()->SetSize(10);
  }
  void TwoColumns(const std::string& Caption0, const std::string& Caption1) {
    AddColumns({"NAME", "ID"});
    grid->Columns()->GetColumn(0)->SetWidth(64);
    grid->Columns()->GetColumn(1)->SetWidth(100);
    grid->Columns()->GetColumn(0)->Title()->SetCaption(Caption0);
    grid->Columns()->GetColumn(1)->Title()->SetCaption(Caption1);
    Pump();
  }
  std::string Export(bool ForWholeGrid) {
    TStringStream out;
    TDBGridEhExportAsRTF exporter;
    exporter.SetDBGridEh(grid);
    exporter.ExportToStream(&out, ForWholeGrid);
    return out.DataString();
  }
};

TEST_F(ExportRtfTest, WholeDocumentWithTitlesRecordsAndFooter) {
  TwoColumns("NAME", "ID");
  grid->TitleFont()->SetStyle(TFontStyles{fsBold});
  TColumnEh* id = grid->Columns()->GetColumn(1);
  id->SetColor(clYellow);
  grid->SetFooterRowCount(1);
  grid->Columns()->GetColumn(0)->Footer()->SetValueType(fvtStaticText);
  grid->Columns()->GetColumn(0)->Footer()->SetValue("Total");
  grid->Columns()->GetColumn(0)->Footer()->SetColor(clAqua);
  id->Footer()->SetValueType(fvtSum);
  id->Footer()->SetColor(clFuchsia);
  AddRows({{1, "a1", 0}, {2, "b2", 0}});
  // The grid's event reaches the shading and the text background alike.
  grid->OnGetCellParams = [](TObject*, TColumnEh* Column, TFont*, TColor& Background, TGridDrawState) {
    if (Column->FieldName() == "ID" && Column->GetField()->AsInteger() == 2) Background = clLime;
  };
  const std::string all = "ltbr";
  const std::string expected =
      Header(kThreeColors +
                 "\\red255\\green255\\blue0;\\red0\\green255\\blue0;\\red0\\green255\\blue255;"
                 "\\red255\\green0\\blue255;",
             "\\f0\\fnil Times;\\f1\\fnil Arial;") +
      TableRow(
          {CellDef(all, 2, 960), CellDef(all, 2, 2460)},
          {"\\ql\\sb24\\sa24\\fs20\\b\\f0\\cf0\\cb2 NAME", "\\ql\\sb24\\sa24\\fs20\\b\\f0\\cf0\\cb2 ID"}) +
      TableRow({CellDef(all, 1, 960), CellDef(all, 3, 2460)},
               {"\\ql\\sb24\\sa24\\fs16\\f1\\cf0\\cb1 a1", "\\qr\\sb24\\sa24\\fs16\\f1\\cf0\\cb3 1"}) +
      TableRow({CellDef(all, 1, 960), CellDef(all, 4, 2460)},
               {"\\ql\\sb24\\sa24\\fs16\\f1\\cf0\\cb1 b2", "\\qr\\sb24\\sa24\\fs16\\f1\\cf0\\cb4 2"}) +
      TableRow({CellDef(all, 5, 960), CellDef(all, 6, 2460)},
               {"\\ql\\sb24\\sa24\\fs16\\f1\\cf0\\cb5 Total", "\\qr\\sb24\\sa24\\fs16\\f1\\cf0\\cb6 3"}) +
      "}";
  EXPECT_EQ(Export(true), expected);
}

// The current cell alone: escapes of the text and of the font name, and the flat margin.
TEST_F(ExportRtfTest, SingleCellTextsAndFontNames) {
  struct Case {
    const char* FontName;
    const char* Text;
    bool Flat;
    const char* FontEntry;
    const char* Content;
  };
  const Case cases[] = {
      {"Arial", "a\\b", false, "Arial", "\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 a\\\\b"},
      {"Arial", "{x}", true, "Arial", "\\sb12\\sa12\\fs16\\f0\\cf0\\cb1 \\{x\\}"},
      {"Arial", "中文", false, "Arial", "\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 \\u20013?\\u25991?"},
      {"Arial", "x\xF0\x9F\x98\x80", false, "Arial", "\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 x\\u-10179?\\u-8704?"},
      {"Arial", "\xFF!", false, "Arial", "\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 \\u-3?!"},
      {"宋体", "a", false, "\\u23435?\\u20307?", "\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 a"},
  };
  AddColumns({"NAME"});
  grid->Columns()->GetColumn(0)->SetWidth(64);
  AddRows({{1, "", 0}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    grid->Font()->SetName(c.FontName);
    grid->SetFlat(c.Flat);
    dataSet->Edit();
    dataSet->FieldByName("NAME")->SetAsString(c.Text);
    dataSet->Post();
    const std::string expected = Header(kThreeColors, std::string("\\f0\\fnil ") + c.FontEntry + ";") +
                                 TableRow({CellDef("ltbr", 1, 960)}, {std::string("\\ql") + c.Content}) + "}";
    EXPECT_EQ(Export(false), expected);
  }
}

// A cell's format follows its own font, colours and alignment whatever the cells before it had;
// colours that differ only above their red, green and blue bytes share a table entry.
TEST_F(ExportRtfTest, EachRecordCellHasItsOwnFormat) {
  struct Case {
    TFontStyles Style;
    TColor FontColor;
    TAlignment Alignment;
    int Size;
    const char* FontName;
    TColor Background;
    const char* Format;
  };
  const TColor red = static_cast<TColor>(0x0000FF);
  const TColor redAgain = static_cast<TColor>(0x0200'00FF);
  // Each case differs from the one before in one thing.
  const std::string plain = "\\ql\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 ";
  const Case base{{}, clBlack, taLeftJustify, 8, "Arial", clWhite, plain.c_str()};
  auto with = [&](auto Change, const char* Format) {
    Case c = base;
    Change(c);
    c.Format = Format;
    return c;
  };
  const Case cases[] = {
      base,
      with([](Case& c) { c.Style = TFontStyles{fsBold}; }, "\\ql\\sb24\\sa24\\fs16\\b\\f0\\cf0\\cb1 "),
      base,
      with([&](Case& c) { c.FontColor = red; }, "\\ql\\sb24\\sa24\\fs16\\f0\\cf3\\cb1 "),
      with([&](Case& c) { c.FontColor = redAgain; }, "\\ql\\sb24\\sa24\\fs16\\f0\\cf3\\cb1 "),
      base,
      with([](Case& c) { c.Alignment = taCenter; }, "\\qc\\sb24\\sa24\\fs16\\f0\\cf0\\cb1 "),
      base,
      with([&](Case& c) { c.Background = red; }, "\\ql\\sb24\\sa24\\fs16\\f0\\cf0\\cb3 "),
      base,
      with([](Case& c) { c.Size = 12; }, "\\ql\\sb24\\sa24\\fs24\\f0\\cf0\\cb1 "),
      base,
      with([](Case& c) { c.FontName = "Courier"; }, "\\ql\\sb24\\sa24\\fs16\\f1\\cf0\\cb1 "),
      base,
  };
  AddColumns({"NAME"});
  grid->Columns()->GetColumn(0)->SetWidth(64);
  grid->SetOptions(grid->Options() - TDBGridOptions{dgTitles});
  std::vector<std::tuple<int, std::string, double>> rows;
  for (size_t i = 0; i < std::size(cases); ++i)
    rows.emplace_back(static_cast<int>(i), "r" + std::to_string(i), 0);
  AddRows(rows);
  grid->Columns()->GetColumn(0)->OnGetCellParams = [&](TObject*, bool, TColCellParamsEh* Params) {
    const Case& c = cases[static_cast<size_t>(dataSet->FieldByName("ID")->AsInteger())];
    Params->Font->SetStyle(c.Style);
    Params->Font->SetColor(c.FontColor);
    Params->Font->SetSize(c.Size);
    Params->Font->SetName(c.FontName);
    Params->Alignment = c.Alignment;
    Params->Background = c.Background;
  };
  std::string body;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const int shading = 1;  // the column's own colour: the column's step does not reach it
    body +=
        TableRow({CellDef("ltbr", shading, 960)}, {cases[i].Format + std::string("r") + std::to_string(i)});
  }
  const std::string expected =
      Header(kThreeColors + "\\red255\\green0\\blue0;", "\\f0\\fnil Arial;\\f1\\fnil Courier;") + body + "}";
  EXPECT_EQ(Export(true), expected);
}

// Group captions are written once, in the top-left cell of their rectangle, without the inner
// borders; the title rows go from the highest level down.
TEST_F(ExportRtfTest, MultiLevelTitles) {
  struct Case {
    const char* Caption0;
    const char* Caption1;
    std::vector<std::string> Rows;
  };
  const std::string run = "\\fs20\\f0\\cf0\\cb2 ";
  const std::string m = "\\qc\\sb40\\sa40" + run;
  const Case cases[] = {
      {"A|B",
       "A|C",
       {TableRow({CellDef("ltb", 2, 960), CellDef("tbr", 2, 2460)}, {m + "A", "\\qc" + run}),
        TableRow({CellDef("ltbr", 2, 960), CellDef("ltbr", 2, 2460)}, {m + "B", m + "C"})}},
      {"X",
       "A|B",
       {TableRow({CellDef("ltr", 2, 960), CellDef("ltbr", 2, 2460)}, {m + "X", m + "A"}),
        TableRow({CellDef("lbr", 2, 960), CellDef("ltbr", 2, 2460)}, {"\\qc" + run, m + "B"})}},
  };
  grid->TitleParams()->SetMultiTitle(true);
  grid->TitleParams()->SetVTitleMargin(8);  // |8 / 2 / 96 * 1440 - 20| = 40
  TwoColumns("", "");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Caption0) + " " + c.Caption1);
    grid->Columns()->GetColumn(0)->Title()->SetCaption(c.Caption0);
    grid->Columns()->GetColumn(1)->Title()->SetCaption(c.Caption1);
    Pump();
    EXPECT_EQ(Export(true), Header(kThreeColors, "\\f0\\fnil Times;") + c.Rows[0] + c.Rows[1] + "}");
  }
}

}  // namespace
