#pragma once
// The filter language of the in-memory data set: a parser that binds field names once and
// an evaluator that tests rows of Variants (one slot per field) against the result.
//
//   [Ship Date] >= '2024-01-05' AND (Name Like 'O''Br*' OR NOT Amount > 10.5)
//   Not ([名称] Like '%abc%') AND Note IS NOT NULL
//
// Fields: [any text] or identifiers. Operators: = <> < > <= >=, [NOT] LIKE with % and * for
// any run of characters and _ for any one character, IS [NOT] NULL, NOT, AND, OR (NOT binds
// tighter than AND, AND than OR). Literals: 'text' (a quote doubled inside), numbers with "."
// as decimal separator, TRUE, FALSE. A comparison with a Null operand is false; only IS NULL
// sees Nulls.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

// How a field's values compare; the data set maps its field types onto these.
enum class TFilterValueKind { Text, Integer, Float, Currency, Boolean, Date, Time, DateTime, Other };

struct TFilterField {
  int Slot = -1;  // index into the row the evaluator reads
  TFilterValueKind Kind = TFilterValueKind::Other;
};

struct TFilterParseOptions {
  bool CaseInsensitive = false;  // =, <>, <, > on text; LIKE ignores case always
  bool PartialCompare = true;    // "= 'abc*'" tests a prefix
};

// A malformed text. The message is complete ("Filter expression incorrect: ... at 7: ...");
// UnknownField carries the name when the text names a field that does not exist.
class EFilterExpressionError : public Exception {
 public:
  EFilterExpressionError(std::string message, std::string unknownField = {})
      : Exception(std::move(message)), UnknownField(std::move(unknownField)) {}
  std::string UnknownField;
};

// Answers false when the data set has no field of that name (compared case-insensitively
// by the resolver).
using TFilterFieldResolver = std::function<bool(const std::string& Name, TFilterField& Field)>;

class TFilterExpression {
 public:
  // Untrusted text: bounded in length and nesting; errors raise EFilterExpressionError.
  static constexpr size_t MaxTextLength = 64 * 1024;
  static constexpr int MaxNesting = 64;

  TFilterExpression(const std::string& Text, const TFilterFieldResolver& Resolve,
                    const TFilterParseOptions& Options = {});
  ~TFilterExpression();
  TFilterExpression(const TFilterExpression&) = delete;
  TFilterExpression& operator=(const TFilterExpression&) = delete;

  // `Row` holds at least HighestSlot() + 1 values.
  bool Evaluate(const Variant* Row) const;
  // Evaluate over many rows at once: Accepted[i] = Evaluate(Rows[i]), Accepted as long as
  // Rows. Each node takes one pass over the rows the nodes before it left undecided, so a
  // long run costs no walk of the tree a row.
  void EvaluateRows(std::span<const Variant* const> Rows, std::span<uint8_t> Accepted) const;
  // -1 for a text that names no field (an empty text accepts every row).
  int HighestSlot() const { return highestSlot_; }
  bool IsEmpty() const { return root_ < 0; }
  // The slots the expression reads, without repeats.
  const std::vector<int>& Slots() const { return slots_; }

  struct Node;

 private:
  friend class TFilterParser;
  bool Eval(int node, const Variant* row) const;
  // Accepted[r] = Eval(node, Rows[r]) for every r of `Which`.
  void EvalRows(int node, const Variant* const* rows, std::span<const uint32_t> which,
                uint8_t* accepted) const;
  std::vector<Node> nodes_;
  std::vector<int> children_;  // child lists of AND / OR nodes, by offset
  std::vector<int> slots_;
  int root_ = -1;
  int highestSlot_ = -1;
  bool caseInsensitive_ = false;
};

// Matches `Text` against a LIKE pattern where % and * stand for any run of characters and _
// for any one character (a code point), ignoring case (Unicode simple case folding). Exposed
// for the data set's quick paths.
class TLikePattern {
 public:
  explicit TLikePattern(const std::string& Pattern);
  bool Matches(std::string_view Text) const;
  // The same answer through the general path alone: the whole text folded to code points and
  // walked. Matches takes quicker paths where it can; they must always agree with this one.
  bool MatchesByCodePoints(std::string_view Text) const;

 private:
  bool anchoredStart_ = true;
  bool anchoredEnd_ = true;
  bool ascii_ = true;
  // A pattern with "_" is matched whole, over the folded code points (any run as '%').
  bool anyCharacter_ = false;
  // One ASCII literal between two runs ("%abc%"), the commonest search: short texts take it
  // in one step.
  bool contains_ = false;
  std::u32string folded_;
  std::vector<std::u32string> segments_;  // folded literal runs between wildcards
  std::vector<std::string> asciiSegments_;
};

// Folds UTF-8 text for case-insensitive equality (Unicode simple case folding).
void FoldCaseUtf8(std::string_view Text, std::u32string& Out);
std::string FoldCaseText(const std::string& Text);
