// The filter-row parser: tokens, conditions, errors with what was parsed before them, the
// default operators and the operand conversions under both decimal separators.
#include <gtest/gtest.h>

#include <string>

#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Resources.h"

namespace filter_parser_test {

// '' for Unassigned, #n a Double, Dn a date, [..] a list, 'text' a string.
std::string Describe(const Variant& V) {
  if (VarIsEmpty(V)) return "_";
  if (VarIsArray(V)) {
    std::string S = "[";
    for (int I = VarArrayLowBound(V, 1); I <= VarArrayHighBound(V, 1); ++I)
      S += (I > VarArrayLowBound(V, 1) ? "," : "") + Describe(V.GetElement(I));
    return S + "]";
  }
  if (V.VarType() == varDouble) return "#" + FloatToStrInvariant(V.AsDouble());
  if (V.VarType() == varDate) return "D" + FloatToStrInvariant(V.AsDouble());
  return "'" + V.AsString() + "'";
}

std::string Describe(const TSTFilterExpressionEh& E) {
  std::string S = std::to_string(int(E.Operator1)) + " " + Describe(E.Operand1);
  if (E.Relation != fopNoneEh || E.Operator2 != fopNoneEh)
    S += " " + std::to_string(int(E.Relation)) + " " + std::to_string(int(E.Operator2)) + " " +
         Describe(E.Operand2);
  return S;
}

// The parse of Text into Expression (reused, so each parse must clear it), or "E:" the error and
// what the expression held then.
std::string Parse(TSTFilterExpressionEh& Expression, const std::string& Text, int DefaultOperator) {
  try {
    ParseFilterExpression(Text, Expression, DefaultOperator);
    return Describe(Expression);
  } catch (const Exception& E) {
    return "E:" + E.Message() + " / " + Describe(Expression);
  }
}

struct ParseCase {
  const char* Id;
  TSTFilterValueKindEh Kind;
  const char* Text;
  const char* Expected;
};

TEST(FilterParser, ConditionsAndErrors) {
  const ParseCase Cases[] = {
      {"bare-word", fvkStringEh, " abc ", "7 'abc'"},
      {"bare-number", fvkNumberEh, "5", "1 #5"},
      {"bare-bool", fvkBooleanEh, "5", "1 '5'"},
      {"two-quoted", fvkStringEh, "'a' , 'b'", "9 ['a','b']"},
      {"doubled-quote", fvkStringEh, "'it''s'", "7 'it's'"},
      {"not-quoted-list", fvkStringEh, "NOT 'a','b'", "10 ['a','b']"},
      {"eq-null", fvkStringEh, "=Null", "11 _"},
      {"ne-null", fvkNumberEh, "<> null", "12 _"},
      {"gt-null-pattern", fvkNumberEh, ">Null", "7 '>Null'"},
      {"null-alone", fvkStringEh, "Null", "E:Unexpected expression after operator: Null / 11 _"},
      {"not-null-alone", fvkStringEh, "not null", "E:Unexpected expression after operator: not null / 12 _"},
      {"op-alone", fvkStringEh, "=", "E:Unexpected expression after operator: = / 1 _"},
      {"blank-in-value", fvkStringEh, "=new york", "1 'new york'"},
      {"symbols", fvkStringEh, "!~ab | ~c", "8 'ab' 14 7 'c'"},
      {"ranges", fvkNumberEh, ">=1 & <5", "5 #1 13 4 #5"},
      {"ne-le", fvkNumberEh, "!=-1 or <=2.5", "2 #-1 14 6 #2.5"},
      {"in-list", fvkNumberEh, "in ( 1 , 2 ) and > 0", "9 [#1,#2] 13 3 #0"},
      {"not-in-open", fvkStringEh, "NOT IN (x", "7 'NOT IN (x'"},
      {"second-bare", fvkStringEh, "=a OR x,y", "1 'a' 14 9 ['x','y']"},
      {"second-ignores-rest", fvkStringEh, "=a AND 'b' c", "1 'a' 13 7 'b'"},
      {"after-word", fvkStringEh, "='a' b", "E:Unexpected AND or OR: ='a' b / 1 'a'"},
      {"and-nothing", fvkStringEh, "=a AND", "E:Error in expression: =a AND / 1 'a' 13 0 _"},
      {"closing-left", fvkStringEh, "=a )", "7 '=a )'"},
      {"quote-absent", fvkStringEh, "='ab", "E:Quote is absent: ='ab / 1 _"},
      {"paren-expected", fvkStringEh, "in a", "E:'(' expected: in a / 0 _"},
      {"leading-paren", fvkStringEh, "(a)", "E:Error in expression: (a) / 0 _"},
      {"incorrect", fvkStringEh, "=a or (", "E:Incorrect expression: =a or ( / 1 'a' 14 0 _"},
      {"before-null", fvkStringEh, "=a and >Null",
       "E:Unexpected expression before Null: =a and >Null / 1 'a' 13 3 _"},
      {"after-operator-2", fvkStringEh,
       "=a or =", "E:Unexpected expression after operator: =a or = / 1 'a' 14 1 _"},
      {"second-eq-null", fvkDateTimeEh, "<now AND <>NULL", "4 'now' 13 12 _"},
      {"date", fvkDateTimeEh, ">2024-01-02", "3 D45293"},
      {"bad-number", fvkNumberEh, "=x", "E:'x' is not a valid floating point value / 1 'x'"},
      // An operator that takes one value keeps the comma in it.
      {"fault1-eq-comma", fvkStringEh, "=a,b", "1 'a,b'"},
      {"fault1-like-comma", fvkStringEh, "~a,b OR !~c,d", "7 'a,b' 14 8 'c,d'"},
      // A relation where the first comparison belongs.
      {"fault2-and", fvkStringEh, "AND a", "E:Error in expression: AND a / 0 _"},
      {"fault2-or", fvkStringEh, "| =a", "E:Error in expression: | =a / 0 _"},
      {"fault2-second", fvkStringEh, "=a and or b", "E:Error in expression: =a and or b / 1 'a' 13 0 _"},
      {"empty", fvkStringEh, "   ", "0 _"},
      // The empty text is a value of its own.
      {"eq-empty-text", fvkStringEh, "=''", "1 ''"},
      {"bare-empty-text", fvkStringEh, " '' ", "1 ''"},
      {"ne-empty-text", fvkStringEh, "<>''", "2 ''"},
      {"in-empty-text", fvkStringEh, "in ('a','')", "9 ['a','']"},
      {"or-empty-text", fvkStringEh, "=a OR =''", "1 'a' 14 1 ''"},
      {"empty-number", fvkNumberEh, "=''", "E:'' is not a valid floating point value / 1 ''"},
  };
  TSTFilterExpressionEh Expression;
  for (const ParseCase& C : Cases) {
    SCOPED_TRACE(C.Id);
    Expression.ValueKind = C.Kind;
    Expression.Operator1 = fopOrEh;
    Expression.Operand2 = Variant("stale");
    EXPECT_EQ(Parse(Expression, C.Text, 0), C.Expected);
    EXPECT_EQ(Expression.ValueKind, C.Kind);
  }
}

TEST(FilterParser, CommaNumberUnderBothSeparators) {
  struct Case {
    const char* Separator;
    const char* Text;
    const char* Expected;
  } Cases[] = {{".", "1,5", "9 [#1,#5]"},
               {",", "1,5", "1 #1.5"},
               {",", "in (1,5)", "9 [#1,#5]"},
               {",", ">1,5 and <2", "3 #1.5 13 4 #2"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.Separator) + C.Text);
    TFormatSettings Settings;
    Settings.DecimalSeparator = C.Separator;
    Settings.ThousandSeparator = " ";
    TFormatSettingsScope Scope(Settings);
    TSTFilterExpressionEh Expression;
    Expression.ValueKind = fvkNumberEh;
    EXPECT_EQ(Parse(Expression, C.Text, 0), C.Expected);
  }
}

TEST(FilterParser, DefaultOperatorCodes) {
  struct Case {
    int Code;
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {0, "ab", "7 'ab'"},         {1, "ab", "1 'ab'"},       {2, "ab", "2 'ab'"},
      {3, "ab", "3 'ab'"},         {4, "ab", "4 'ab'"},       {5, "ab", "5 'ab'"},
      {6, "ab", "6 'ab'"},         {7, "ab", "7 'ab'"},       {8, "ab", "8 'ab'"},
      {9, "ab", "9 'ab'"},         {10, "ab", "10 'ab'"},     {11, "ab", "7 'ab%'"},
      {12, "ab", "8 'ab%'"},       {13, "ab", "7 '%ab'"},     {14, "ab", "8 '%ab'"},
      {15, "ab", "7 '%ab%'"},      {16, "ab", "8 '%ab%'"},    {11, "%ab%", "7 '%ab%'"},
      {13, "%ab%", "7 '%ab%'"},    {15, "%ab", "7 '%ab%'"},   {16, "ab%", "8 '%ab%'"},
      {17, "ab", "7 'ab'"},        {1, "a,b", "9 ['a','b']"}, {2, "a,b", "10 ['a','b']"},
      {16, "a,b", "10 ['a','b']"}, {15, "=ab", "1 'ab'"},     {15, "''", "1 ''"},
      {16, "''", "2 ''"},          {4, "''", "4 ''"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::to_string(C.Code) + " " + C.Text);
    TSTFilterExpressionEh Expression;
    Expression.ValueKind = fvkStringEh;
    EXPECT_EQ(Parse(Expression, C.Text, C.Code), C.Expected);
  }
}

TEST(FilterParser, TokensAndLocalisedWords) {
  struct Case {
    const char* Text;
    int Position;
    bool AllowList;
    TSTFilterOpEh Kind;
    const char* Value;
    int After;
  } Cases[] = {
      {"<=  5", 1, true, fopLessOrEqualEh, "_", 5},
      {"a <>b", 1, true, fopValueEh, "'a'", 2},
      {"a b", 1, true, fopValueEh, "'a b'", 4},
      {"a(b", 1, true, fopValueEh, "'a'", 2},
      {"'a','b'", 1, false, fopValueEh, "'a'", 4},
      {"x, y", 1, true, fopInEh, "['x','y']", 5},
      {"NOT  like a", 1, true, fopNotLikeEh, "_", 11},
      {"! ! like", 1, true, fopNoneEh, "_", 9},
      {"! x", 1, true, fopNoneEh, "_", 4},
      {"(a", 1, true, fopNoneEh, "_", 1},
      {"=a", 3, true, fopNoneEh, "_", 3},
      {"Nicht Leer", 1, true, fopNotNullEh, "_", 11},
      {"a Und b", 1, true, fopValueEh, "'a'", 2},
      {"Unter(1)", 1, true, fopInEh, "_", 7},
      {"''", 1, true, fopValueEh, "''", 3},
  };
  RegisterResourceString(SFilterNotWordIdEh, "Nicht");
  RegisterResourceString(SFilterAndWordIdEh, "und");
  RegisterResourceString(SFilterInWordIdEh, "UNTER");
  RegisterResourceString(SFilterNullWordIdEh, "leer");
  RegisterResourceString(SFilterOrWordIdEh, "");
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    int Position = C.Position;
    TSTFilterOpEh Kind = fopOrEh;
    Variant Value("stale");
    ReadFilterToken(C.Text, Position, Kind, Value, C.AllowList);
    EXPECT_EQ(Kind, C.Kind);
    EXPECT_EQ(Describe(Value), C.Value);
    EXPECT_EQ(Position, C.After);
  }
  for (int Id :
       {SFilterNotWordIdEh, SFilterAndWordIdEh, SFilterInWordIdEh, SFilterNullWordIdEh, SFilterOrWordIdEh})
    UnregisterResourceString(Id);
  EXPECT_EQ(CharAtEh("ab", 0), '\0');
  EXPECT_EQ(CharAtEh("ab", 2), 'b');
  EXPECT_EQ(CharAtEh("ab", 3), '\0');
}

// Every prefix of texts built to stop mid-token ends in a condition or a parse error.
TEST(FilterParser, TruncatedTextsRaiseOnlyParseErrors) {
  for (const std::string Text :
       {"NOT IN ( 'a''b' , c ) OR != 'x' AND", "! ! ~'a' & <> Null | in(1,2", "=' , '' ("}) {
    for (size_t N = 0; N <= Text.size(); ++N) {
      TSTFilterExpressionEh Expression;
      Expression.ValueKind = fvkStringEh;
      EXPECT_NO_THROW(Parse(Expression, Text.substr(0, N), 0)) << Text.substr(0, N);
    }
  }
}

}  // namespace filter_parser_test
