// Reading a filter-row text into a TSTFilterExpressionEh. The text is typed or pasted by a user:
// every character is read through CharAtEh, so no index leaves the text, and no step recurses
// on the input.
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "grid/dbgrid/DbUtilsEh.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"

namespace dbutils_parser_detail {

// What stands at a position, before anything is consumed.
struct TTokenShape {
  TSTFilterOpEh Kind = fopNoneEh;  // an operator or keyword other than NOT and IN
  int Length = 0;                  // characters of the operator or keyword
  bool IsNot = false;
  bool IsInKeyword = false;
  bool IsValue = false;  // a quoted value or a word that is no keyword
};

bool IsWordChar(char C) {
  const auto U = static_cast<unsigned char>(C);
  if (U < 32) return false;
  switch (C) {
    case ' ':
    case '!':
    case '"':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '+':
    case ',':
    case '-':
    case '.':
    case '<':
    case '=':
    case '>':
    case '|':
    case '~':
      return false;
    default:
      return true;
  }
}

int SkipBlanks(const std::string& S, int Position) {
  while (CharAtEh(S, Position) == ' ') ++Position;
  return Position;
}

bool MatchesWord(const std::string& Upper, const char* English, int LocalisedId) {
  if (Upper == English) return true;
  const std::string Localised = LoadStr(LocalisedId);
  return !Localised.empty() && Upper == AnsiUpperCase(Localised);
}

TTokenShape ShapeAt(const std::string& S, int Position) {
  TTokenShape Shape;
  const char C = CharAtEh(S, Position);
  const char Next = CharAtEh(S, Position + 1);
  auto Op = [&Shape](TSTFilterOpEh Kind, int Length) {
    Shape.Kind = Kind;
    Shape.Length = Length;
    return Shape;
  };
  switch (C) {
    case '\0':
    case '(':
      return Shape;
    case '\'':
      Shape.IsValue = true;
      return Shape;
    case '=':
      return Op(fopEqualEh, 1);
    case '!':
      if (Next == '=') return Op(fopNotEqualEh, 2);
      Shape.IsNot = true;
      Shape.Length = 1;
      return Shape;
    case '&':
      return Op(fopAndEh, 1);
    case '|':
      return Op(fopOrEh, 1);
    case '~':
      return Op(fopLikeEh, 1);
    case '<':
      if (Next == '=') return Op(fopLessOrEqualEh, 2);
      if (Next == '>') return Op(fopNotEqualEh, 2);
      return Op(fopLessEh, 1);
    case '>':
      if (Next == '=') return Op(fopGreaterOrEqualEh, 2);
      return Op(fopGreaterEh, 1);
    default:
      break;
  }
  int End = Position;
  while (IsWordChar(CharAtEh(S, End))) ++End;
  const int Length = End - Position;
  const std::string Upper =
      AnsiUpperCase(S.substr(static_cast<size_t>(Position - 1), static_cast<size_t>(Length)));
  Shape.Length = Length;
  if (Length == 0) {
    Shape.IsValue = true;
  } else if (MatchesWord(Upper, "NOT", SFilterNotWordIdEh)) {
    Shape.IsNot = true;
  } else if (MatchesWord(Upper, "IN", SFilterInWordIdEh)) {
    Shape.IsInKeyword = true;
  } else if (MatchesWord(Upper, "AND", SFilterAndWordIdEh)) {
    Shape.Kind = fopAndEh;
  } else if (MatchesWord(Upper, "OR", SFilterOrWordIdEh)) {
    Shape.Kind = fopOrEh;
  } else if (Upper == "LIKE") {  // the localised LIKE is empty
    Shape.Kind = fopLikeEh;
  } else if (MatchesWord(Upper, "NULL", SFilterNullWordIdEh)) {
    Shape.Kind = fopNullEh;
  } else {
    Shape.IsValue = true;
  }
  return Shape;
}

TSTFilterOpEh NegatedKind(TSTFilterOpEh Kind) {
  switch (Kind) {
    case fopLikeEh:
      return fopNotLikeEh;
    case fopInEh:
      return fopNotInEh;
    case fopNullEh:
      return fopNotNullEh;
    default:
      return fopNoneEh;
  }
}

// The operator a token at Position would give, without consuming or raising; values and
// anything unreadable give fopNoneEh. NOT after NOT always gives none, so one look ahead does.
TSTFilterOpEh OperatorAhead(const std::string& S, int Position) {
  TTokenShape Shape = ShapeAt(S, Position);
  bool Negated = false;
  if (Shape.IsNot) {
    Negated = true;
    Position = SkipBlanks(S, Position + Shape.Length);
    Shape = ShapeAt(S, Position);
    if (Shape.IsNot) return fopNoneEh;
  }
  TSTFilterOpEh Kind = Shape.Kind;
  if (Shape.IsInKeyword)
    Kind = CharAtEh(S, SkipBlanks(S, Position + Shape.Length)) == '(' ? fopInEh : fopNoneEh;
  if (Shape.IsValue) Kind = fopNoneEh;
  return Negated ? NegatedKind(Kind) : Kind;
}

bool IsOperatorKind(TSTFilterOpEh Kind) {
  return Kind >= fopEqualEh && Kind <= fopOrEh;
}

[[noreturn]] void RaiseParseError(const char* Message, const std::string& Text) {
  throw Exception(std::string(Message) + Text);
}

bool HasTextAt(const std::string& S, int Position) {
  return Position >= 1 && static_cast<size_t>(Position) <= S.size();
}

std::string ReadQuotedValue(const std::string& S, int& Position) {
  std::string Value;
  int I = Position + 1;
  for (;;) {
    // Only the end of the text ends a quoted value: a pasted NUL is one of its characters.
    if (!HasTextAt(S, I)) RaiseParseError("Quote is absent: ", S);
    const char C = CharAtEh(S, I);
    if (C == '\'') {
      if (CharAtEh(S, I + 1) != '\'') break;
      ++I;
    }
    Value += C;
    ++I;
  }
  Position = I + 1;
  return Value;
}

// Runs to the end, "(", ")", a list comma, or a blank before an operator; blanks around it
// are not part of the value.
std::string ReadUnquotedValue(const std::string& S, int& Position, bool AllowList) {
  int I = Position;
  for (;;) {
    const char C = CharAtEh(S, I);
    if (C == '\0' || C == '(' || C == ')' || (AllowList && C == ',')) break;
    if (C == ' ') {
      // Every blank of a run sees the same token after it: look once per run.
      const int After = SkipBlanks(S, I);
      if (IsOperatorKind(OperatorAhead(S, After))) break;
      I = After;
      continue;
    }
    ++I;
  }
  const std::string Value =
      Trim(S.substr(static_cast<size_t>(Position - 1), static_cast<size_t>(I - Position)));
  Position = I;
  return Value;
}

// One value, or with AllowList several separated by commas (a Variant array then).
Variant ReadValueList(const std::string& S, int& Position, bool AllowList) {
  std::vector<Variant> Values;
  for (;;) {
    if (CharAtEh(S, Position) == '\'')
      Values.emplace_back(ReadQuotedValue(S, Position));
    else
      Values.emplace_back(ReadUnquotedValue(S, Position, AllowList));
    const int After = SkipBlanks(S, Position);
    if (!AllowList || CharAtEh(S, After) != ',') break;
    Position = SkipBlanks(S, After + 1);
  }
  if (Values.size() == 1) return Values.front();
  return VarArrayOf(Values);
}

// A value, or a list that came without IN (a NOT in front keeps its own operator).
bool IsListValue(TSTFilterOpEh Kind, const Variant& Value) {
  return Kind == fopValueEh || (Kind == fopInEh && !VarIsEmpty(Value));
}

bool IsSingleValueOperator(TSTFilterOpEh Kind) {
  return Kind >= fopEqualEh && Kind <= fopNotLikeEh;
}

bool DefaultOperatorIsNegated(int Code) {
  return Code == 2 || Code == 8 || Code == 10 || Code == dfoNotBeginsWithEh || Code == dfoNotEndsWithEh ||
         Code == dfoNotContainsEh;
}

// The operator of a bare value; Value may gain the "%" of a pattern code.
TSTFilterOpEh OperatorForValue(Variant& Value, TSTFilterValueKindEh ValueKind, int DefaultOperator) {
  const bool Known = DefaultOperator >= 1 && DefaultOperator <= dfoNotContainsEh;
  if (VarIsArray(Value)) {
    // A list takes no single-value operator: only its in or not in form fits it.
    if (Known && DefaultOperatorIsNegated(DefaultOperator)) return fopNotInEh;
    return fopInEh;
  }
  if (Known && DefaultOperator <= 10) return static_cast<TSTFilterOpEh>(DefaultOperator);
  // The empty text is no pattern: it stands for itself.
  if (VarToStr(Value).empty())
    return Known && DefaultOperatorIsNegated(DefaultOperator) ? fopNotEqualEh : fopEqualEh;
  if (!Known) return ValueKind == fvkStringEh ? fopLikeEh : fopEqualEh;
  std::string Pattern = VarToStr(Value);
  const bool Front = DefaultOperator >= dfoEndsWithEh;
  const bool Back = DefaultOperator <= dfoNotBeginsWithEh || DefaultOperator >= dfoContainsEh;
  if (Front && CharAtEh(Pattern, 1) != '%') Pattern.insert(0, "%");
  if (Back && CharAtEh(Pattern, static_cast<int>(Pattern.size())) != '%') Pattern += '%';
  Value = Variant(Pattern);
  return DefaultOperatorIsNegated(DefaultOperator) ? fopNotLikeEh : fopLikeEh;
}

Variant ConvertValue(const Variant& Value, TSTFilterValueKindEh ValueKind) {
  if (ValueKind == fvkNumberEh) {
    const std::string Text = VarToStr(Value);
    const Extended Number = StrToFloat(Text);
    // The operand is a Double: a number beyond its range is refused like any unreadable one.
    if (!(std::fabs(Number) <= static_cast<Extended>(DBL_MAX)))
      throw EConvertError("'" + Text + "' is not a valid floating point value");
    return Variant(static_cast<double>(Number));
  }
  if (ValueKind == fvkDateTimeEh) {
    const std::string Text = VarToStr(Value);
    if (UpperCase(Text) == "NOW") return Value;
    return Variant::FromDate(StrToDateTime(Text));
  }
  return Value;
}

Variant ConvertOperand(TSTFilterOpEh Operator, const Variant& Operand, TSTFilterValueKindEh ValueKind) {
  if (Operator < fopEqualEh || Operator > fopNotInEh) return Unassigned();
  if (!VarIsArray(Operand)) return ConvertValue(Operand, ValueKind);
  std::vector<Variant> Values;
  for (int I = VarArrayLowBound(Operand, 1); I <= VarArrayHighBound(Operand, 1); ++I)
    Values.push_back(ConvertValue(Operand.GetElement(I), ValueKind));
  return VarArrayOf(Values);
}

bool AllowListFor(TSTFilterValueKindEh ValueKind) {
  // Under a "," decimal separator the commas of a number column belong to its numbers.
  return !(ValueKind == fvkNumberEh && FormatSettings().DecimalSeparator == ",");
}

void TakeAsLikePattern(TSTFilterExpressionEh& Expression, const std::string& Text) {
  Expression.Operator1 = fopLikeEh;
  Expression.Operand1 = Variant(Text);
  Expression.Relation = fopNoneEh;
  Expression.Operator2 = fopNoneEh;
  Expression.Operand2 = Unassigned();
}

}  // namespace dbutils_parser_detail

using namespace dbutils_parser_detail;

char CharAtEh(const std::string& S, int Index) {
  if (Index < 1 || static_cast<size_t>(Index) > S.size()) return '\0';
  return S[static_cast<size_t>(Index - 1)];
}

void ClearFilterExpression(TSTFilterExpressionEh& Expression) {
  Expression.Operator1 = fopNoneEh;
  Expression.Operand1 = Unassigned();
  Expression.Relation = fopNoneEh;
  Expression.Operator2 = fopNoneEh;
  Expression.Operand2 = Unassigned();
}

void ReadFilterToken(const std::string& Text, int& Position, TSTFilterOpEh& Kind, Variant& Value,
                     bool AllowList) {
  Kind = fopNoneEh;
  Value = Unassigned();
  if (Position < 1) Position = 1;
  if (!HasTextAt(Text, Position)) return;
  // NOT applies to the token after it; a chain of them is read in one loop.
  int Negations = 0;
  TTokenShape Shape = ShapeAt(Text, Position);
  while (Shape.IsNot) {
    ++Negations;
    Position = SkipBlanks(Text, Position + Shape.Length);
    Shape = ShapeAt(Text, Position);
  }
  if (Shape.IsValue) {
    // A quoted value is a value even when empty: '' is the empty text.
    const bool quoted = CharAtEh(Text, Position) == '\'';
    Value = ReadValueList(Text, Position, AllowList);
    if (VarIsArray(Value))
      Kind = fopInEh;
    else if (quoted || !VarToStr(Value).empty())
      Kind = fopValueEh;
    else
      Value = Unassigned();
  } else if (Shape.IsInKeyword) {
    Position = SkipBlanks(Text, Position + Shape.Length);
    if (CharAtEh(Text, Position) != '(') RaiseParseError("'(' expected: ", Text);
    Position = SkipBlanks(Text, Position + 1);
    Kind = fopInEh;
  } else if (Shape.Kind != fopNoneEh) {
    Position = SkipBlanks(Text, Position + Shape.Length);
    Kind = Shape.Kind;
  }
  for (int I = 0; I < Negations && Kind != fopNoneEh; ++I) Kind = NegatedKind(Kind);
  if (Kind == fopNoneEh) Value = Unassigned();
}

void ParseFilterExpression(const std::string& Text, TSTFilterExpressionEh& Expression, int DefaultOperator) {
  bool AllowList = AllowListFor(Expression.ValueKind);
  ClearFilterExpression(Expression);
  const std::string S = Trim(Text);
  if (S.empty()) return;

  int Position = SkipBlanks(S, 1);
  TSTFilterOpEh Kind = fopNoneEh;
  Variant Value;
  ReadFilterToken(S, Position, Kind, Value, AllowList);
  if (IsListValue(Kind, Value)) {
    Expression.Operator1 = OperatorForValue(Value, Expression.ValueKind, DefaultOperator);
    Expression.Operand1 = Value;
  } else if (Kind == fopNoneEh || Kind == fopAndEh || Kind == fopOrEh) {
    // A relation cannot stand where the first comparison belongs.
    RaiseParseError("Error in expression: ", S);
  } else {
    Expression.Operator1 = Kind;
    const bool ListOperator = Kind == fopInEh || Kind == fopNotInEh;
    const bool InKeyword = ListOperator && VarIsEmpty(Value);
    if (InKeyword) {
      AllowList = true;
    } else if (IsSingleValueOperator(Kind)) {
      // A comma after a comparison or a pattern is part of its one value.
      AllowList = false;
    }
    if (!VarIsEmpty(Value)) {
      Expression.Operand1 = Value;
    } else {
      ReadFilterToken(S, Position, Kind, Value, AllowList);
      if (Kind == fopNullEh) {
        if (Expression.Operator1 == fopEqualEh) {
          Expression.Operator1 = fopNullEh;
        } else if (Expression.Operator1 == fopNotEqualEh) {
          Expression.Operator1 = fopNotNullEh;
        } else {
          TakeAsLikePattern(Expression, S);
          return;
        }
      } else if (IsListValue(Kind, Value)) {
        Expression.Operand1 = Value;
      } else {
        RaiseParseError("Unexpected expression after operator: ", S);
      }
    }
    if (ListOperator) {
      const int After = SkipBlanks(S, Position);
      if (CharAtEh(S, After) == ')') {
        Position = After + 1;
      } else if (InKeyword) {
        TakeAsLikePattern(Expression, S);
        return;
      }
    }
    AllowList = AllowListFor(Expression.ValueKind);
  }

  Position = SkipBlanks(S, Position);
  ReadFilterToken(S, Position, Kind, Value, AllowList);
  if (Kind == fopNoneEh) {
    if (HasTextAt(S, Position)) {
      TakeAsLikePattern(Expression, S);
      return;
    }
  } else if (Kind != fopAndEh && Kind != fopOrEh) {
    RaiseParseError("Unexpected AND or OR: ", S);
  } else {
    Expression.Relation = Kind;
    ReadFilterToken(S, Position, Kind, Value, AllowList);
    if (Kind == fopNoneEh) {
      if (HasTextAt(S, Position)) RaiseParseError("Incorrect expression: ", S);
    } else if (IsListValue(Kind, Value)) {
      Expression.Operator2 = OperatorForValue(Value, Expression.ValueKind, dfoAutomaticEh);
      Expression.Operand2 = Value;
    } else if (Kind == fopAndEh || Kind == fopOrEh) {
      RaiseParseError("Error in expression: ", S);
    } else {
      Expression.Operator2 = Kind;
      if (Kind == fopInEh || Kind == fopNotInEh)
        AllowList = true;
      else if (IsSingleValueOperator(Kind))
        AllowList = false;
      if (!VarIsEmpty(Value)) {
        Expression.Operand2 = Value;
      } else {
        ReadFilterToken(S, Position, Kind, Value, AllowList);
        if (Kind == fopNullEh) {
          if (Expression.Operator2 == fopEqualEh)
            Expression.Operator2 = fopNullEh;
          else if (Expression.Operator2 == fopNotEqualEh)
            Expression.Operator2 = fopNotNullEh;
          else
            RaiseParseError("Unexpected expression before Null: ", S);
        } else if (IsListValue(Kind, Value)) {
          Expression.Operand2 = Value;
        } else {
          RaiseParseError("Unexpected expression after operator: ", S);
        }
      }
      // Whatever follows the second condition is not read.
    }
  }

  if (Expression.Relation != fopNoneEh && Expression.Operator2 == fopNoneEh)
    RaiseParseError("Error in expression: ", S);
  Expression.Operand1 = ConvertOperand(Expression.Operator1, Expression.Operand1, Expression.ValueKind);
  Expression.Operand2 = ConvertOperand(Expression.Operator2, Expression.Operand2, Expression.ValueKind);
}
