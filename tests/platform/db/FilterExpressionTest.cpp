// The filter language: operators, LIKE patterns, NOT/AND/OR precedence, IS NULL, quotes,
// numbers and dates, and the errors for malformed texts (with the data set left as it was).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/FilterExpression.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct Column {
  const char* Name;
  TFilterValueKind Kind;
};

const Column kColumns[] = {
    {"Name", TFilterValueKind::Text},          {"Amount", TFilterValueKind::Float},
    {"Qty", TFilterValueKind::Integer},        {"Day", TFilterValueKind::Date},
    {"Active", TFilterValueKind::Boolean},     {"Note", TFilterValueKind::Text},
    {"Ship Date", TFilterValueKind::DateTime}, {"名称", TFilterValueKind::Text},
    {"Price", TFilterValueKind::Currency},
};

bool Resolve(const std::string& name, TFilterField& field) {
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    if (SameText(name, kColumns[i].Name)) {
      field.Slot = i;
      field.Kind = kColumns[i].Kind;
      return true;
    }
  }
  return false;
}

std::vector<Variant> SampleRow() {
  return {Variant("O'Brien"),
          Variant(12.5),
          Variant(3),
          Variant::FromDate(EncodeDate(2024, 1, 5)),
          Variant(true),
          Variant::Null(),
          Variant::FromDate(EncodeDate(2024, 1, 5) + EncodeTime(10, 30, 0, 0)),
          Variant("张三"),
          Variant(Currency::FromRaw(19990))};
}

bool Eval(const std::string& text, const TFilterParseOptions& options = {}) {
  TFilterExpression e(text, Resolve, options);
  std::vector<Variant> row = SampleRow();
  return e.Evaluate(row.data());
}

class FilterExpressionTest : public ::testing::Test {
 protected:
  TFormatSettingsScope scope{TFormatSettings{}};
};

TEST_F(FilterExpressionTest, EvaluatesEveryOperatorAndOperandKind) {
  struct Case {
    const char* Text;
    bool Expected;
  };
  const Case cases[] = {
      // text, with doubled quotes
      {"Name = 'O''Brien'", true},
      {"Name = 'o''brien'", false},
      {"Name <> 'x'", true},
      {"Name > 'N'", true},
      {"Name < 'N'", false},
      {"[名称] = '张三'", true},
      {"名称 <> '张三'", false},
      // numbers: integers, decimals, exponents, negatives, text holding a number
      {"Amount > 12", true},
      {"Amount >= 12.5", true},
      {"Amount < 12.5", false},
      {"Amount <= 12.5", true},
      {"Amount = 1.25e1", true},
      {"Amount > .5", true},
      {"Amount > -0.5", true},
      {"Qty = 3", true},
      {"Qty = '3'", true},
      {"Qty > 2.5", true},
      {"Qty < -1", false},
      {"3 = Qty", true},
      {"12 < Amount", true},
      {"Price = 1.999", true},
      {"Price > 2", false},
      // dates: the locale's text, ISO text, with and without a time
      {"Day = '2024-01-05'", true},
      {"Day > '2024-01-04'", true},
      {"Day < '2024-01-05'", false},
      {"[Ship Date] > '2024-01-05'", true},
      {"[Ship Date] >= '2024-01-05 10:30'", true},
      {"[Ship Date] < '2024-01-05T10:30:00.001'", true},
      // Booleans
      {"Active", true},
      {"Active = True", true},
      {"Active = FALSE", false},
      {"NOT Active", false},
      {"Active <> 'False'", true},
      // Nulls: only IS NULL sees them
      {"Note IS NULL", true},
      {"Note is not null", false},
      {"Name IS NOT NULL", true},
      {"Note = 'x'", false},
      {"Note <> 'x'", false},
      {"Note < 'x'", false},
      {"NOT (Note = 'x')", true},
      {"Note = NULL", false},
      // LIKE: % and *, case ignored, NOT LIKE
      {"Name Like 'O''Br*'", true},
      {"Name LIKE 'o''br%'", true},
      {"Name like '%RIE%'", true},
      {"Name Like '*n'", true},
      {"Name Like 'Brien'", false},
      {"Name Not Like 'x*'", true},
      {"Name Not Like 'O%'", false},
      {"Name Like '%'", true},
      {"名称 Like '张%'", true},
      {"Note Like '%'", false},
      {"Qty Like '3'", true},
      // a trailing * compares a prefix
      {"Name = 'O''Br*'", true},
      {"Name <> 'O''Br*'", false},
      // precedence: NOT > AND > OR
      {"Qty = 1 OR Qty = 3 AND Amount > 100", false},
      {"Qty = 3 OR Qty = 1 AND Amount > 100", true},
      {"(Qty = 3 OR Qty = 1) AND Amount > 100", false},
      {"NOT Qty = 1 AND Qty = 3", true},
      {"NOT (Qty = 3 OR Qty = 1)", false},
      {"Not ([Name] Like '%x%') and Qty = 3", true},
      {"qty = 3 and AMOUNT > 1", true},
      // constants
      {"1 = 1", true},
      {"'a' = 'b'", false},
      {"TRUE", true},
      {"", true},
      {"   ", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(Eval(c.Text), c.Expected);
  }
}

TEST_F(FilterExpressionTest, OptionsChangeCaseAndPartialCompare) {
  TFilterParseOptions ci;
  ci.CaseInsensitive = true;
  EXPECT_TRUE(Eval("Name = 'o''BRIEN'", ci));
  EXPECT_FALSE(Eval("Name <> 'o''BRIEN'", ci));
  EXPECT_TRUE(Eval("Name = 'o''br*'", ci));
  TFilterParseOptions exact;
  exact.PartialCompare = false;
  EXPECT_FALSE(Eval("Name = 'O''Br*'", exact));
  EXPECT_TRUE(Eval("Name Like 'O''Br*'", exact));  // LIKE keeps its wildcards
}

TEST_F(FilterExpressionTest, DateTextFollowsTheLocaleThenIso) {
  TFormatSettings dayFirst;
  dayFirst.ShortDateFormat = "dd/MM/yyyy";
  dayFirst.DateSeparator = "/";
  TFormatSettingsScope local(dayFirst);
  EXPECT_TRUE(Eval("Day = '05/01/2024'"));
  EXPECT_FALSE(Eval("Day = '01/05/2024'"));
  EXPECT_TRUE(Eval("Day = '2024-01-05'"));  // ISO when the locale's form does not read it
  EXPECT_TRUE(Eval("Amount = 12.5"));       // numbers stay invariant whatever the separator
}

TEST_F(FilterExpressionTest, DataSetFilterOptionsReachTheText) {
  struct FreeComponent {
    void operator()(TComponent* c) const { c->Free(); }
  };
  std::unique_ptr<TMemoryDataSet, FreeComponent> ds(new TMemoryDataSet(nullptr));
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->CreateDataSet();
  for (const char* n : {"Anna", "anna", "Annabel", "Bob"}) ds->AppendRecord({n});
  ds->SetFilter("Name = 'anna*'");
  ds->SetFiltered(true);
  EXPECT_EQ(ds->RecordCount(), 1);
  ds->SetFilterOptions({foCaseInsensitive});
  EXPECT_EQ(ds->RecordCount(), 3);
  ds->SetFilterOptions({foCaseInsensitive, foNoPartialCompare});
  EXPECT_EQ(ds->RecordCount(), 0);
  ds->SetFilter("Name Like 'ANNA%'");  // LIKE ignores case whatever the options
  ds->SetFilterOptions({});
  EXPECT_EQ(ds->RecordCount(), 3);
}

TEST_F(FilterExpressionTest, ComparesFieldsWithFields) {
  struct Case {
    const char* Text;
    bool Expected;
  };
  const Case cases[] = {
      {"Amount > Qty", true}, {"Qty >= Amount", false},     {"Name = Name", true},
      {"Note = Name", false}, {"Day <= [Ship Date]", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(Eval(c.Text), c.Expected);
  }
}

TEST_F(FilterExpressionTest, ListsTheSlotsItReads) {
  TFilterExpression e("Qty = 1 or [Qty] = 2 and Note is null", Resolve);
  EXPECT_EQ(e.Slots(), (std::vector<int>{2, 5}));
  EXPECT_EQ(e.HighestSlot(), 5);
}

TEST_F(FilterExpressionTest, LongChainsDoNotRecurse) {
  std::string text = "Qty = 0";
  while (text.size() < 60000) text += " OR Qty = 0";
  text += " OR Qty = 3";
  EXPECT_TRUE(Eval(text));
}

struct Malformed {
  std::string Text;
  std::string Message;  // the whole message, or only the reason and position when Partial
  bool Partial = false;
};

std::vector<Malformed> MalformedTexts() {
  std::string deep(70, '(');
  std::string nots;
  for (int i = 0; i < 70; ++i) nots += "NOT ";
  return {
      {"Name = ", "Filter expression incorrect: unexpected end of expression at 8: Name = "},
      {"Name = 'abc", "Filter expression incorrect: missing closing quote at 8: Name = 'abc"},
      {"[Name = 'a'", "Filter expression incorrect: missing ']' at 1: [Name = 'a'"},
      {"[ ] = 1", "Filter expression incorrect: field name missing at 1: [ ] = 1"},
      {"(Qty = 1", "Filter expression incorrect: missing ')' at 9: (Qty = 1"},
      {"Qty = 1)", "Filter expression incorrect: unexpected ')' at 8: Qty = 1)"},
      {"Qty == 1", "Filter expression incorrect: unexpected '=' at 6: Qty == 1"},
      {"Qty = 1 AND", "Filter expression incorrect: unexpected end of expression at 12: Qty = 1 AND"},
      {"Name Like 5", "Filter expression incorrect: pattern expected before '5' at 11: Name Like 5"},
      {"Day = 'someday'", "invalid date 'someday' at 1", true},
      {"Qty = 'abc'", "invalid number 'abc' at 1", true},
      {"Qty = 12abc", "invalid number at 7", true},
      {"Qty = 1.2.3", "invalid number '1.2.3' at 7", true},
      {"Active = 'maybe'", "invalid Boolean value 'maybe' at 1", true},
      {"Qty", "condition expected at 1", true},
      {"5", "condition expected at 1", true},
      {"Name IS 5", "unexpected '5' at 9", true},
      {"Qty = 1 # 2", "unexpected '#' at 9", true},
      {"名称 = '张", "missing closing quote at 6", true},
      {"AND Qty = 1", "unexpected 'AND' at 1", true},
      {deep + "Qty = 1", "nesting too deep", true},
      {nots + "Active", "nesting too deep", true},
      {std::string(70000, ' '), "expression too long at 1", true},
  };
}

TEST_F(FilterExpressionTest, MalformedTextsRaiseWithReasonAndPosition) {
  for (const Malformed& m : MalformedTexts()) {
    SCOPED_TRACE(m.Text.substr(0, 80));
    try {
      TFilterExpression e(m.Text, Resolve);
      ADD_FAILURE() << "accepted";
    } catch (const EFilterExpressionError& e) {
      if (m.Partial) {
        EXPECT_EQ(e.Message().rfind("Filter expression incorrect: ", 0), 0u) << e.Message();
        EXPECT_NE(e.Message().find(m.Message), std::string::npos) << e.Message();
      } else {
        EXPECT_EQ(e.Message(), m.Message);
      }
      EXPECT_TRUE(e.UnknownField.empty());
    }
  }
}

TEST_F(FilterExpressionTest, UnknownFieldIsNamed) {
  try {
    TFilterExpression e("Qty = 1 and [No Such] = 2", Resolve);
    FAIL();
  } catch (const EFilterExpressionError& e) {
    EXPECT_EQ(e.UnknownField, "No Such");
  }
}

// Each malformed text set on an open, filtered data set raises EDatabaseError and changes
// nothing: the filter text, Filtered, the record count and the current record stay.
TEST_F(FilterExpressionTest, MalformedTextsLeaveTheDataSetUnchanged) {
  struct FreeComponent {
    void operator()(TComponent* c) const { c->Free(); }
  };
  std::unique_ptr<TMemoryDataSet, FreeComponent> ds(new TMemoryDataSet(nullptr));
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("Qty", ftInteger);
  ds->FieldDefs()->Add("Day", ftDate);
  ds->FieldDefs()->Add("Active", ftBoolean);
  ds->FieldDefs()->Add("Note", ftString, 20);
  ds->FieldDefs()->Add("Ship Date", ftDateTime);
  ds->FieldDefs()->Add("名称", ftString, 20);
  ds->FieldDefs()->Add("Price", ftCurrency);
  ds->CreateDataSet();
  for (int i = 0; i < 10; ++i) ds->AppendRecord({"n" + std::to_string(i), i * 1.0, i});
  ds->SetFilter("Qty >= 2");
  ds->SetFiltered(true);
  ds->SetRecNo(4);
  const TBookmark at = ds->Bookmark();
  std::vector<Malformed> texts = MalformedTexts();
  texts.push_back({"Nope = 1", "Field 'Nope' not found"});
  for (const Malformed& m : texts) {
    SCOPED_TRACE(m.Text.substr(0, 80));
    EXPECT_THROW(ds->SetFilter(m.Text), EDatabaseError);
    EXPECT_EQ(ds->Filter(), "Qty >= 2");
    EXPECT_TRUE(ds->Filtered());
    EXPECT_EQ(ds->RecordCount(), 8);
    EXPECT_EQ(ds->Bookmark(), at);
    EXPECT_EQ(ds->State(), dsBrowse);
  }
}

TEST(LikePattern, MatchesWildcardsIgnoringCase) {
  struct Case {
    const char* Pattern;
    const char* Text;
    bool Expected;
  };
  const Case cases[] = {
      {"a%c", "abc", true},
      {"a%c", "ac", true},
      {"a%c", "acb", false},
      {"%", "", true},
      {"", "", true},
      {"", "a", false},
      {"%a%a%", "banana", true},
      {"a*a", "a", false},
      {"a*a", "aa", true},
      {"ab%%cd", "abcd", true},
      {"*", "anything", true},
      {"abc", "ABC", true},
      {"abc", "abcd", false},
      {"%bc", "ABC", true},
      {"%b%", "xyz", false},
      {"ÄB%", "äbc", true},
      {"%é", "CAFÉ", true},
      {"K%", "\u212Aelvin", true},
      {"张%", "张三", true},
      {"%三", "张三", true},
      {"%四%", "张三", false},
      {"a_c", "abc", true},
      {"a_c", "a_c", true},
      {"a_c", "ac", false},
      {"_", "张", true},
      {"__", "张", false},
      {"张_", "张三", true},
      {"%_b", "b", false},
      {"%_b", "xxb", true},
      {"A_%", "ab", true},
      {"_*_", "x", false},
      {"%b_d%", "abbcbxd", true},
      {"a?c", "abc", false},
      {"%xyz%", "xyxyz", true},
      {"x%y%z", "xzyz", true},
      {"x%y%z", "xzzy", false},
      // Searches that cross eight-byte steps, letters beside 'A'..'Z', and many false starts.
      {"%ab%", "1234567aB", true},
      {"%ab%", "12345678aB", true},
      {"%ab%", "1234567a", false},
      {"%ab%", "aaaaaaaaaaaaaaab", true},
      {"%ab%", "aaaaaaaaaaaaaaaa", false},
      {"%@[%", "x@[", true},
      {"%`{%", "X`{", true},
      {"%@%", "`", false},
      {"%z%", "@[`{Z", true},
      {"%a%", "@[`{", false},
      // The one-step search of texts up to sixteen bytes: a match at each end and across the
      // middle, a segment as long as the text or longer, and the longest short text.
      {"%ab%", "abxxxxxxxxxxxxxx", true},
      {"%ab%", "xxxxxxxxxxxxxxAB", true},
      {"%ab%", "xxxxxxxAbxxxxxxx", true},
      {"%ab%", "xxxxxxxaxbxxxxxx", false},
      {"%abcdefghijklmnop%", "ABCDEFGHIJKLMNOP", true},
      {"%abcdefghijklmnopq%", "abcdefghijklmnop", false},
      {"%b%", "xxxxxxxxxxxxxxxxb", true},
      {"%ké%", "xxxxxxxxxxKÉ", true},
      {"%k%", "x\u212Ax", true},
      {"%s%", "\u017F", true},
      {"%b%",
       "\xC3"
       "b",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Pattern) + " ~ " + c.Text);
    EXPECT_EQ(TLikePattern(c.Pattern).Matches(c.Text), c.Expected);
  }
}

// Every quick path of the matcher (the one-step search of short texts, the byte walk of ASCII
// text) against the general walk over folded code points, on patterns and texts chosen for
// their edges: every length around the word and short-text bounds, matches at each end, case,
// letters past ASCII next to the segment or to '_', and bytes that are no UTF-8.
TEST(LikePattern, QuickPathsAgreeWithTheGeneralMatcher) {
  const char* patterns[] = {"",    "%",    "%%",   "*",    "_",     "%_%",        "a",
                            "%a%", "%ab%", "%AB%", "*ab*", "%abc%", "%aab%",      "%abcdefghijklmnopq%",
                            "ab%", "%ab",  "ab",   "a%b",  "%a%b%", "a%b%c",      "%ä%",
                            "%k%", "%s%",  "%_b%", "%b_%", "%é_%",  "张%",        "%三",
                            "%@%", "%[%",  "%`%",  "%{%",  "%z%",   "%xxxxxxxa%", "%b\x01%"};
  std::vector<std::string> texts = {"",
                                    "a",
                                    "b",
                                    "ab",
                                    "AB",
                                    "ba",
                                    "aab",
                                    "xaB",
                                    "aXb",
                                    "abc",
                                    "zZ",
                                    "@[`{",
                                    "\x01"
                                    "b"};
  // The segment at every place of texts of every length up to beyond two words.
  for (size_t length = 2; length <= 18; ++length)
    for (size_t at = 0; at + 2 <= length; at += (length > 9 ? 3 : 1)) {
      std::string t(length, 'x');
      t[at] = 'a';
      t[at + 1] = 'B';
      texts.push_back(t);
      t[at + 1] = 'c';  // the first letter without the second
      texts.push_back(t);
    }
  const char* special[] = {"\u212A",
                           "x\u212Ax",
                           "\u017F",
                           "äb",
                           "Äb",
                           "xxxxxxxxxxxxxxä",
                           "xxxxxxxxxxxxxxxä",
                           "aé",
                           "é_b",
                           "éxb",
                           "A\xC3"
                           "b",
                           "ab\xE4",
                           "\xC3\xA4"
                           "b",
                           "张三",
                           "三张",
                           "abcdefghijklmnop",
                           "ABCDEFGHIJKLMNOPQ",
                           "aaaaaaaaaaaaaaab",
                           "x\x80"
                           "ab",
                           "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxab"};
  texts.insert(texts.end(), std::begin(special), std::end(special));
  for (const char* pattern : patterns) {
    const TLikePattern like(pattern);
    for (const std::string& text : texts)
      EXPECT_EQ(like.Matches(text), like.MatchesByCodePoints(text))
          << "'" << pattern << "' ~ '" << text << "'";
  }
}

// Filtering a run of rows at once answers for each row as evaluating it alone does, whatever
// the tree: chains that settle early, NOT over them, Nulls, values matched through their text.
TEST_F(FilterExpressionTest, RowsAtOnceAnswerAsEachAlone) {
  std::vector<std::vector<Variant>> rows;
  const char* names[] = {"O'Brien", "abc", "ABX", "", "张三", "xxxxxxxxxxxxxxxxxxxxab"};
  for (int i = 0; i < 24; ++i) {
    std::vector<Variant> row = SampleRow();
    row[0] = i % 7 == 6 ? Variant::Null() : Variant(names[i % 6]);
    row[2] = i % 5 == 4 ? Variant::Null() : Variant(i);
    row[4] = Variant(i % 2 == 0);
    row[5] = i % 3 == 0 ? Variant::Null() : Variant("note");
    rows.push_back(row);
  }
  std::vector<const Variant*> pointers;
  for (const auto& row : rows) pointers.push_back(row.data());
  const char* texts[] = {"",
                         "Name Like '%b%'",
                         "Name Not Like '%b%'",
                         "Not (Name Like 'a%')",
                         "Name Like '%b%' and Qty > 5",
                         "Qty > 5 and Name Like '%b%' and Active",
                         "Name Like '%b%' or Qty = 3 or Note is null",
                         "(Name Like '%r%' or Qty < 4) and not (Active or Note is not null)",
                         "Qty Like '1%'",
                         "Name Like '%b%' or Qty = 3 and not Active"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const TFilterExpression e(text, Resolve);
    std::vector<uint8_t> atOnce(rows.size(), 7);
    e.EvaluateRows(pointers, atOnce);
    int passed = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(atOnce[i] != 0, e.Evaluate(rows[i].data())) << "row " << i;
      EXPECT_LE(atOnce[i], 1) << "row " << i;
      passed += atOnce[i];
    }
    EXPECT_GT(passed, 0);
    if (*text) {
      EXPECT_LT(passed, static_cast<int>(rows.size()));
    }
  }
}

}  // namespace
