#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/db/Fields.h"
#include "platform/vcl/Dialogs.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"

namespace dbgrid_import_test {

using TInput = std::vector<std::vector<Variant>>;

// Hands the walk the records it was given: texts (as the text readers do) or typed values.
class TScriptedImportEh : public TDBGridEhImport {
 public:
  TInput Input;
  bool Typed = false;
  bool ReadNothing = false;  // a ReadRecord that takes no record
  std::string FormatError;   // ReadPrefix raises it when set
  int Prefixes = 0;

 protected:
  void ReadPrefix() override {
    ++Prefixes;
    if (!FormatError.empty()) throw Exception(FormatError);
    for (const auto& record : Input) {
      Records.BeginRecord();
      for (const Variant& cell : record) Records.AddCell(cell);
    }
  }
  void ReadRecord(TColumnsEhList* List) override {
    if (!ReadNothing) TDBGridEhImport::ReadRecord(List);
  }
  void ReadCell(TColumnEh* Column) override {
    if (Column && Typed) WriteImportValue(Column, *CurrentCell);
    if (Column && !Typed) WriteImportText(Column, CurrentCell->AsString());
  }
};

TInput Texts(std::initializer_list<std::initializer_list<const char*>> Rows) {
  TInput out;
  for (auto row : Rows) out.emplace_back(row.begin(), row.end());
  return out;
}

const TInput kNumbers = Texts({{"70", "80"}, {"71", "81"}, {"72", "82"}});
const std::string kStart = "1 n1 1.5 1 Oslo|2 n2 2.5 2 Rome|3 n3 3.5 3 Lima|4 n4 4.5 1 Oslo";
const std::string kRefused = "插入值过程中出错：\n";

}  // namespace dbgrid_import_test
using namespace dbgrid_import_test;

// Items (ID, NAME, AMOUNT, CODE and the lookup CITY through CODE) shown as the columns NAME,
// AMOUNT, ID, CODE (a key pick list: one, two, three) and CITY.
class ImportTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    cities = new TMemoryDataSet(form);
    cities->FieldDefs()->Add("Code", ftInteger), cities->FieldDefs()->Add("City", ftString, 20);
    cities->CreateDataSet(), cities->AppendRecord({1, "Oslo"}), cities->AppendRecord({2, "Rome"});
    cities->AppendRecord({3, "Lima"});
    items = new TMemoryDataSet(form);
    items->FieldDefs()->Add("ID", ftInteger), items->FieldDefs()->Add("NAME", ftString, 20);
    items->FieldDefs()->Add("AMOUNT", ftFloat), items->FieldDefs()->Add("CODE", ftInteger);
    for (int i = 0; i < 4; ++i) items->FieldDefs()->Items(i)->CreateField(items);
    TField* city = CreateFieldForType(ftString, items);
    city->SetFieldName("CITY"), city->SetFieldKind(fkLookup), city->SetKeyFields("CODE"),
        city->SetDataSet(items);
    city->SetLookupDataSet(cities), city->SetLookupKeyFields("Code"), city->SetLookupResultField("City");
    items->CreateDataSet(), source->SetDataSet(items);
    AddColumns({"NAME", "AMOUNT", "ID", "CODE", "CITY"});
    grid->Columns()->GetColumn(3)->PickList()->SetCommaText("one,two,three");
    grid->Columns()->GetColumn(3)->KeyList()->SetCommaText("1,2,3");
    grid->SetOptions(grid->Options() + dgMultiSelect);
  }
  void TearDown() override {
    ClearMessageDlgAnswers();
    DBGridTestBase::TearDown();
  }
  void Reset() {
    items->SetIndexFieldNames(""), items->BeforePost = {}, items->BeforeInsert = {}, items->EmptyDataSet();
    for (int i = 1; i <= 4; ++i) items->AppendRecord({i, "n" + std::to_string(i), i + 0.5, (i - 1) % 3 + 1});
    grid->SetAllowedOperations({alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
    for (int i = 0; i < 5; ++i) grid->Columns()->GetColumn(i)->SetVisible(true);
    posts = inserts = 0, Answer({}), At(1, 0);
  }
  void At(int RecNo, int Col) {
    grid->Selection()->Clear(), items->First(), items->SetRecNo(RecNo), grid->SetSelectedIndex(Col), Pump();
  }
  TBookmark Mark(int RecNo) { return items->SetRecNo(RecNo), items->Bookmark(); }
  void Rect(int Col1, int Rec1, int Col2, int Rec2) {
    const TBookmark top = Mark(Rec1), bottom = Mark(Rec2);
    At(1, 0), grid->Selection()->Rect()->Select(Col1, top, false),
        grid->Selection()->Rect()->Select(Col2, bottom, true);
  }
  // Every record as "ID NAME AMOUNT CODE CITY", in order.
  std::string Dump() {
    std::string out;
    items->ForEachRecord([&](const TBookmark&) {
      out += out.empty() ? "" : "|";
      for (const char* name : {"ID", "NAME", "AMOUNT", "CODE"})
        out += items->FieldByName(name)->AsString() + " ";
      out += items->FieldByName("CITY")->AsString();
    });
    return out;
  }
  // Runs the import; answers its error message ("" when it completed).
  std::string Run(TScriptedImportEh& Import, bool ForWholeGrid = false) {
    Import.SetDBGridEh(grid);
    return ErrorOf([&] { Import.ImportFromStream(nullptr, ForWholeGrid); });
  }
  // Answers the questions in order (No when the list runs out); each question's text is kept.
  void Answer(std::vector<TModalResult> Answers) {
    asked.clear();
    SetMessageDlgScript([this, Answers](TMessageForm& Dialog) {
      asked.push_back(Dialog.MessageText());
      return asked.size() <= Answers.size() ? Answers[asked.size() - 1] : mrNo;
    });
  }
  void RefusePostsFrom(int First) {
    items->BeforePost = [this, First](TDataSet*) {
      if (++posts >= First) throw Exception("post refused");
    };
  }

  TMemoryDataSet* cities = nullptr;
  TMemoryDataSet* items = nullptr;
  std::vector<std::string> asked;
  int posts = 0, inserts = 0;
};

TEST_F(ImportTest, EachKindWritesItsRecordsAndColumnsAndAppendsUnderNoSelection) {
  struct Case {
    const char* name;
    std::function<void(TScriptedImportEh&)> arrange;
    bool whole;
    std::string dump;
    int recNo;
    int prefixes = 1;
  };
  const Case cases[] = {
      {"all", [&](auto&) { At(2, 0), grid->Selection()->SelectAll(); }, false,
       "1 70 80 1 Oslo|2 71 81 2 Rome|3 72 82 3 Lima|4 n4 4.5 1 Oslo", 2},
      {"bookmarks 2 and 4",
       [&](auto&) {
         for (int rec : {2, 4}) items->SetRecNo(rec), grid->SelectedRows()->SetCurrentRowSelected(true);
       },
       false, "1 n1 1.5 1 Oslo|2 70 80 2 Rome|3 n3 3.5 3 Lima|4 71 81 1 Oslo", 4},
      {"rectangle AMOUNT..ID over records 2-3, input beyond it dropped", [&](auto&) { Rect(2, 3, 1, 2); },
       false, "1 n1 1.5 1 Oslo|80 n2 70 2 Rome|81 n3 71 3 Lima|4 n4 4.5 1 Oslo", 1},
      // n2 becomes n35 and moves past n3: the walk stops there, and n4 keeps its name. The saved
      // place is a window row, so after the re-sort it is the second record.
      {"rectangle walk ends past the bottom",
       [&](auto& I) {
         items->SetIndexFieldNames("NAME"), Rect(0, 2, 0, 3), I.Input = Texts({{"n35"}, {"X"}});
       },
       false, "1 n1 1.5 1 Oslo|3 n3 3.5 3 Lima|2 n35 2.5 2 Rome|4 n4 4.5 1 Oslo", 2},
      {"columns ID and AMOUNT in column order",
       [&](auto&) {
         grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(2), false);
         grid->Selection()->Columns()->Select(grid->Columns()->GetColumn(1), true);
       },
       false, "80 n1 70 1 Oslo|81 n2 71 2 Rome|82 n3 72 3 Lima|4 n4 4.5 1 Oslo", 1},
      {"no selection from record 3, the rest appended", [&](auto&) { At(3, 1); }, false,
       "1 n1 1.5 1 Oslo|2 n2 2.5 2 Rome|80 n3 70 3 Lima|81 n4 71 1 Oslo|82  72  ", 5},
      {"no selection, appending not allowed",
       [&](auto&) {
         At(3, 1), grid->SetAllowedOperations({alopInsertEh, alopUpdateEh, alopDeleteEh});
       },
       false, "1 n1 1.5 1 Oslo|2 n2 2.5 2 Rome|80 n3 70 3 Lima|81 n4 71 1 Oslo", 3},
      {"whole grid from the first record and column",
       [&](auto&) { At(3, 2), grid->Selection()->SelectAll(); }, true,
       "1 70 80 1 Oslo|2 71 81 2 Rome|3 72 82 3 Lima|4 n4 4.5 1 Oslo", 4},
      {"inserting: each record inserted before the current one", [&](auto&) { At(2, 0), items->Insert(); },
       false, "1 n1 1.5 1 Oslo| 70 80  | 71 81  | 72 82  |2 n2 2.5 2 Rome|3 n3 3.5 3 Lima|4 n4 4.5 1 Oslo",
       5},
      {"a ReadRecord that takes nothing still ends", [&](auto& I) { At(4, 0), I.ReadNothing = true; }, false,
       kStart + "|    |    |    ", 7},
      {"no current column: nothing is read or written",
       [&](auto&) {
         for (int i = 0; i < 5; ++i) grid->Columns()->GetColumn(i)->SetVisible(false);
       },
       false, kStart, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    TScriptedImportEh import;
    import.Input = kNumbers;
    c.arrange(import);
    EXPECT_EQ(Run(import, c.whole), "");
    EXPECT_EQ(std::make_tuple(Dump(), items->RecNo(), items->State(), import.Prefixes),
              std::make_tuple(c.dump, c.recNo, dsBrowse, c.prefixes));
  }
}

TEST_F(ImportTest, ValuesGoThroughPlainPickListAndLookupColumns) {
  struct Case {
    int col;
    Variant value;
    bool typed;
    std::string record;
    std::string question;  // "" when none is asked, "*" for the field's own refusal
  };
  const Case cases[] = {
      {0, "hello", false, "1 hello 1.5 1 Oslo", ""},
      {2, "1.5", false, "1 n1 1.5 1 Oslo", "*"},  // kept as text: the integer field refuses it
      {3, "two", false, "1 n1 1.5 2 Rome", ""},
      {3, "3", false, "1 n1 1.5 3 Lima", ""},
      {4, "Lima", false, "1 n1 1.5 3 Lima", ""},
      {4, "Paris", false, "1 n1 1.5 1 Oslo",
       kRefused + "Value \"Paris\" is not in the lookup list of column \"CITY\"\n\n忽略错误？"},
      {1, Variant::Null(), true, "1 n1  1 Oslo", ""},
      {1, Variant(), true, "1 n1 1.5 1 Oslo", ""},
      {2, 9, true, "9 n1 1.5 1 Oslo", ""},
      {-2, "9", false, "1 n1 1.5 1 Oslo", ""},  // ID read-only: nothing written, nothing asked
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.col) + " " + VarToStrDef(c.value, "(none)"));
    Reset(), grid->Columns()->GetColumn(2)->SetReadOnly(c.col < 0), At(1, std::abs(c.col)), Answer({mrYes});
    grid->SetAllowedOperations({alopUpdateEh});
    TScriptedImportEh import;
    import.Input = {{ c.value }}, import.Typed = c.typed;
    EXPECT_EQ(Run(import), "");
    EXPECT_EQ(Dump().substr(0, Dump().find('|')), c.record);
    ASSERT_EQ(asked.size(), c.question.empty() ? 0u : 1u);
    if (c.question == "*") {
      EXPECT_TRUE(asked[0].starts_with(kRefused) && asked[0].ends_with("\n\n忽略错误？"));
    } else if (!c.question.empty()) {
      EXPECT_EQ(asked[0], c.question);
    }
  }
}

// A number field takes a text exactly as the column shows numbers (by its own display format,
// else the field's, else as money for a currency field): group separators, currency text, quoted
// literals, a negative section and an exponent. A text the format would not write is refused.
TEST_F(ImportTest, ANumberFieldTakesTheTextItsColumnShows) {
  struct Case {
    const char* fieldFormat;
    const char* columnFormat;
    bool currency;
    const char* text;
    std::string amount;  // "?" when the field refuses the text
  };
  const Case cases[] = {
      {",0.00", "", false, "8,200.00", "8200"},
      {",0.00", "", false, "-1,234,567.25", "-1234567.25"},
      {",0.00", "", false, "8200.5", "8200.5"},  // a plain number, as before
      {",0.00", "", false, "0.50", "0.5"},
      {"#.00", "", false, ".50", "0.5"},
      {",0.00", "", false, "8,20.00", "?"},    // not how the format groups digits
      {",0.00", "", false, "1,2", "?"},        // not 12
      {",0.00", "", false, "8,200.5", "?"},    // the format writes two decimals
      {",0.00", "", false, "¥8,200.00", "?"},  // the format writes no money sign
      {"", "￥,0.00;(￥,0.00)", false, "￥1,234.50", "1234.5"},
      {",0.0", "￥,0.00;(￥,0.00)", false, "(￥1,234.50)", "-1234.5"},
      {"", "￥,0.00;(￥,0.00)", false, "1,234.50", "?"},
      {"", "0.00E+00", false, "8.20E+03", "8200"},
      {"'约 ',0' 元'", "", false, "约 8,200 元", "8200"},
      {"", "", true, "¥8,200.00", "8200"},
      {"", "", true, "¥-0.25", "-0.25"},
      {"", "", false, "¥8,200.00", "?"},  // a field that is not money
      {"", "", false, "8,200", "?"},      // general text has no separators
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Reset(), At(1, 1), Answer({mrYes});
    auto* amount = static_cast<TFloatField*>(items->FieldByName("AMOUNT"));
    amount->SetDisplayFormat(c.fieldFormat), amount->SetCurrency(c.currency);
    grid->Columns()->GetColumn(1)->SetDisplayFormat(c.columnFormat);
    grid->SetAllowedOperations({alopUpdateEh});
    TScriptedImportEh import;
    import.Input = {{ c.text }};
    EXPECT_EQ(Run(import), "");
    EXPECT_EQ(asked.empty() ? amount->AsString() : "?", c.amount);
  }
  // An integer column shown with decimals takes its whole numbers back.
  Reset(), At(1, 2), grid->Columns()->GetColumn(2)->SetDisplayFormat(",0.00");
  TScriptedImportEh import;
  import.Input = Texts({{ "1,200.00" }});
  EXPECT_EQ(Run(import), "");
  EXPECT_EQ(Dump(), "1200 n1 1.5 1 Oslo|2 n2 2.5 2 Rome|3 n3 3.5 3 Lima|4 n4 4.5 1 Oslo");
  EXPECT_TRUE(asked.empty());
}

// Yes skips a refused value, All every later one of the same import; No, a format error or a
// data-set error leaves every record as it was and returns to the starting record.
TEST_F(ImportTest, QuestionsAndFailuresLeaveTheImportWholeOrUndone) {
  struct Case {
    const char* name;
    std::function<void(TScriptedImportEh&)> arrange;
    size_t asked;
    std::string error;  // "" when the import completes, "*" for the field's own refusal
    int recNo;
    bool whole = false;
    std::vector<TModalResult> answers = {};
  };
  const std::string written = "1 a 1.5 1 Oslo|2 b 2.5 2 Rome|3 c 3.5 3 Lima|4 n4 4.5 1 Oslo";
  auto refused = [&](auto& I) {
    At(2, 0), grid->Selection()->SelectAll(), I.Input = Texts({{"a", "x"}, {"b", "y"}, {"c", "z"}});
  };
  const Case cases[] = {
      {"Yes each time", refused, 3, "", 2, false, {mrYes, mrYes, mrYes}},
      {"All once", refused, 1, "", 2, false, {mrAll}},
      {"Yes, then No", refused, 2, "*", 2, false, {mrYes, mrNo}},
      {"format error, whole grid",
       [&](auto& I) { At(3, 1), grid->Selection()->SelectAll(), I.FormatError = "bad"; }, 0, "bad", 3, true},
      {"the second Post fails", [&](auto&) { At(2, 0), grid->Selection()->SelectAll(), RefusePostsFrom(2); },
       0, "post refused", 2},
      {"every Post from the second fails, the undo's own too",
       [&](auto&) { items->SetIndexFieldNames("NAME"), grid->Selection()->SelectAll(), RefusePostsFrom(2); },
       0, "post refused", 1},
      {"an Append fails",
       [&](auto& I) {
         At(3, 1), I.Input = Texts({{"70"}, {"71"}, {"72"}, {"73"}});
         items->BeforeInsert = [&](TDataSet*) {
           if (++inserts == 2) throw Exception("append refused");
         };
       },
       0, "append refused", 3},
      {"the Post of an appended record fails", [&](auto&) { At(4, 1), RefusePostsFrom(3); }, 0,
       "post refused", 4},
      {"inserting, the third Post fails", [&](auto&) { At(2, 0), items->Insert(), RefusePostsFrom(3); }, 0,
       "post refused", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    TScriptedImportEh import;
    import.Input = kNumbers;
    c.arrange(import), Answer(c.answers);
    const TDBGridEhSelectionType kind = grid->Selection()->SelectionType();
    // A pending insert left unchanged is no record of its own.
    const std::string before = items->State() == dsBrowse ? Dump() : kStart;
    const std::string error = Run(import, c.whole);
    EXPECT_EQ(c.error == "*" ? !error.empty() : error == c.error, true) << error;
    items->BeforePost = {};
    EXPECT_EQ(std::make_tuple(Dump(), items->RecNo(), items->State(), asked.size()),
              std::make_tuple(c.error.empty() ? written : before, c.recNo, dsBrowse, c.asked));
    EXPECT_TRUE(!c.whole || grid->Selection()->SelectionType() == kind);
    items->CheckConsistency();
  }
  // All holds for one import only.
  Reset(), grid->Selection()->SelectAll(), Answer({mrAll, mrAll});
  TScriptedImportEh import;
  import.Input = Texts({{"a", "x"}, { "b", "y" }});
  Run(import), Run(import);
  EXPECT_EQ(asked.size(), 2u);
}
