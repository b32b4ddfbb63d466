#pragma once
// The edit-mask language of masked edits.
//
// A mask is "<picture>;<save literals>;<blank>". The two trailing fields are optional and are
// recognised only among the last four characters of the mask (an unescaped ';' there starts
// them); save literals is off only for '0', the blank defaults to '_'. Picture characters:
//   !  right-justify: unfilled optional positions are blanks at the start, not the end
//   >  upper-case what follows, <  lower-case, <>  case as typed
//   \  the next character is a literal
//   L / l  letter required / optional        A / a  letter or digit required / optional
//   C / c  any character required / optional  0 / 9  digit required / optional
//   #  digit, '+' or '-', optional
//   :  the locale's time separator, /  the locale's date separator
//   _  a literal space
// Any other character is a literal. Characters are code points: every offset below counts
// code points of UTF-8 text, and letters are the letters of any script.
#include <string>
#include <vector>

#include "platform/rtl/Set.h"

inline constexpr char32_t mDirReverse = U'!';
inline constexpr char32_t mDirUpperCase = U'>';
inline constexpr char32_t mDirLowerCase = U'<';
inline constexpr char32_t mDirLiteral = U'\\';
inline constexpr char32_t mMskAlpha = U'L';
inline constexpr char32_t mMskAlphaOpt = U'l';
inline constexpr char32_t mMskAlphaNum = U'A';
inline constexpr char32_t mMskAlphaNumOpt = U'a';
inline constexpr char32_t mMskAscii = U'C';
inline constexpr char32_t mMskAsciiOpt = U'c';
inline constexpr char32_t mMskNumeric = U'0';
inline constexpr char32_t mMskNumericOpt = U'9';
inline constexpr char32_t mMskNumSymOpt = U'#';
inline constexpr char32_t mMskTimeSeparator = U':';
inline constexpr char32_t mMskDateSeparator = U'/';
inline constexpr char32_t mMskSpace = U'_';
inline constexpr char32_t DefaultBlank = U'_';
inline constexpr char32_t MaskFieldSeparator = U';';
inline constexpr char32_t MaskNoSave = U'0';

enum class TMaskCharType {
  mcNone,
  mcLiteral,
  mcIntlLiteral,
  mcDirective,
  mcMask,
  mcMaskOpt,
  mcFieldSeparator,
  mcField
};
using enum TMaskCharType;

enum class TMaskDirective { mdReverseDir, mdUpperCase, mdLowerCase, mdLiteralChar };
using enum TMaskDirective;
using TMaskDirectives = TSet<TMaskDirective>;

// Value laid into the mask with spaces for blanks: with save literals Value already holds the
// literals (PadInputLiterals), otherwise only the input characters (MaskDoFormatText).
std::string FormatMaskText(const std::string& EditMask, const std::string& Value);
// The input characters of Value placed into the picture's input positions; literals inserted,
// missing characters shown as Blank (at the start under '!').
std::string MaskDoFormatText(const std::string& EditMask, const std::string& Value, char32_t Blank);
// Value that already carries literals, completed to the full picture: a character equal to
// the literal (or a blank) at a literal position is taken as that literal.
std::string PadInputLiterals(const std::string& EditMask, const std::string& Value, char32_t Blank);

bool MaskGetMaskSave(const std::string& EditMask);
char32_t MaskGetMaskBlank(const std::string& EditMask);
// 1-based offset of the ';' that starts the trailing fields, -1 when there is none.
int MaskGetFldSeparator(const std::string& EditMask);
// The character that ':' and '/' stand for under the current FormatSettings(); other
// characters unchanged.
char32_t MaskIntlLiteralToChar(char32_t IChar);
// Kind of the mask character at the 1-based MaskOffset (mcNone past the end).
TMaskCharType MaskGetCharType(const std::string& EditMask, int MaskOffset);
// Directives in force at the 1-based MaskOffset: '!' anywhere in the picture, the case set by
// the last case directive before the offset, and mdLiteralChar when the character is literal.
TMaskDirectives MaskGetCurrentDirectives(const std::string& EditMask, int MaskOffset);
// The number of text characters produced by mask characters 1..MaskOffset (so the 1-based text
// offset of the character that MaskOffset produces).
int MaskOffsetToOffset(const std::string& EditMask, int MaskOffset);
// 1-based mask offset of the mask character behind the 0-based text Offset; -1 when Offset is
// outside the text.
int OffsetToMaskOffset(const std::string& EditMask, int Offset);
// Whether the 0-based text Offset holds a literal (plain or locale separator).
bool IsLiteralChar(const std::string& EditMask, int Offset);

// A parsed mask and the editing rules of the text it describes. The edit text has one
// character per position: literals at literal positions, typed characters or the blank at
// input positions. Positions and carets are 0-based; a caret runs 0..Count().
class TEditMaskModel {
 public:
  TEditMaskModel() = default;
  // Locale separators are resolved against FormatSettings() now.
  explicit TEditMaskModel(const std::string& EditMask);

  const std::string& EditMask() const { return mask_; }
  bool IsMasked() const { return !positions_.empty(); }
  bool SaveLiterals() const { return save_; }
  char32_t Blank() const { return blank_; }
  bool Reverse() const { return reverse_; }
  int Count() const { return static_cast<int>(positions_.size()); }

  bool IsLiteral(int Pos) const;
  bool IsRequired(int Pos) const;
  // The mask character of an input position, the character shown at a literal one.
  char32_t MaskChar(int Pos) const;
  // Whether the input position takes C; on success C is case-converted as stored. A space in
  // an optional position other than 'c' means "leave it blank" and becomes the blank.
  bool Accepts(int Pos, char32_t& C) const;

  // First input position at or after Pos (Count() when none), last one before Pos (-1).
  int NextInput(int Pos) const;
  int PrevInput(int Pos) const;

  // Literals and blanks only.
  std::u32string EmptyText() const;
  // Value of any length made into a well-formed edit text: character by character, literals
  // forced, missing positions blank, the rest cut.
  std::u32string Normalize(const std::u32string& Value) const;
  // The edit text for a Text value (with or without literals as SaveLiterals() says).
  std::u32string FromText(const std::u32string& Value) const;
  // The edit text for input characters only (spaces are blanks), whatever the mask saves.
  std::u32string FromInputChars(const std::u32string& Value) const;
  // Text of an edit text: blanks become spaces; without save literals the literals go.
  std::u32string ToText(const std::u32string& EditText) const;
  // Input characters only, blanks as spaces.
  std::u32string InputChars(const std::u32string& EditText) const;
  // First position that fails validation (a required position unfilled, a character the
  // position refuses), -1 when the text is complete.
  int FirstInvalid(const std::u32string& EditText) const;

  // Editing operations on an edit text and its selection [SelStart, SelStop); they answer
  // whether the input was accepted and leave the caret in SelStart (SelStop = SelStart).
  // Typing a literal of the mask moves past it; typing the literal just skipped changes nothing.
  bool InputChar(std::u32string& Text, int& SelStart, int& SelStop, char32_t C) const;
  bool Backspace(std::u32string& Text, int& SelStart, int& SelStop) const;
  bool DeleteChar(std::u32string& Text, int& SelStart, int& SelStop) const;
  // Characters applied from the caret position by position; literals in Clip that match the
  // position are stepped over, refused characters dropped. False when any was dropped.
  bool Paste(std::u32string& Text, int& SelStart, int& SelStop, const std::u32string& Clip) const;
  // Blanks the input positions of [Start, Stop) and leaves the literals.
  void BlankRange(std::u32string& Text, int Start, int Stop) const;

 private:
  enum class TCase { None, Upper, Lower };
  struct TPosition {
    bool Literal = false;
    char32_t Char = 0;  // mask character or literal shown
    TCase Case = TCase::None;
  };

  std::u32string LayoutText(const std::u32string& Value, bool WithLiterals) const;

  std::string mask_;
  std::vector<TPosition> positions_;
  bool save_ = true;
  char32_t blank_ = DefaultBlank;
  bool reverse_ = false;
};

// UTF-8 <-> code points for the mask routines' callers.
std::u32string MaskToCodePoints(const std::string& S);
std::string MaskFromCodePoints(const std::u32string& S);
