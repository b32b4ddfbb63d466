// Colour and charset identifiers: the names published TColor and TFontCharset properties
// stream with.
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"

const TIdentMap& ColorIdents() {
  // Order matters for ColorToIdent: the first name of a value wins (clSilver before clLtGray).
  static const TIdentMap map{"TColor",
                             {{clBlack, "clBlack"},
                              {clMaroon, "clMaroon"},
                              {clGreen, "clGreen"},
                              {clOlive, "clOlive"},
                              {clNavy, "clNavy"},
                              {clPurple, "clPurple"},
                              {clTeal, "clTeal"},
                              {clGray, "clGray"},
                              {clSilver, "clSilver"},
                              {clRed, "clRed"},
                              {clLime, "clLime"},
                              {clYellow, "clYellow"},
                              {clBlue, "clBlue"},
                              {clFuchsia, "clFuchsia"},
                              {clAqua, "clAqua"},
                              {clWhite, "clWhite"},
                              {clMoneyGreen, "clMoneyGreen"},
                              {clSkyBlue, "clSkyBlue"},
                              {clCream, "clCream"},
                              {clMedGray, "clMedGray"},
                              {clActiveBorder, "clActiveBorder"},
                              {clActiveCaption, "clActiveCaption"},
                              {clAppWorkSpace, "clAppWorkSpace"},
                              {clBackground, "clBackground"},
                              {clBtnFace, "clBtnFace"},
                              {clBtnHighlight, "clBtnHighlight"},
                              {clBtnShadow, "clBtnShadow"},
                              {clBtnText, "clBtnText"},
                              {clCaptionText, "clCaptionText"},
                              {clDefault, "clDefault"},
                              {clGradientActiveCaption, "clGradientActiveCaption"},
                              {clGradientInactiveCaption, "clGradientInactiveCaption"},
                              {clGrayText, "clGrayText"},
                              {clHighlight, "clHighlight"},
                              {clHighlightText, "clHighlightText"},
                              {clHotLight, "clHotLight"},
                              {clInactiveBorder, "clInactiveBorder"},
                              {clInactiveCaption, "clInactiveCaption"},
                              {clInactiveCaptionText, "clInactiveCaptionText"},
                              {clInfoBk, "clInfoBk"},
                              {clInfoText, "clInfoText"},
                              {clMenu, "clMenu"},
                              {clMenuBar, "clMenuBar"},
                              {clMenuHighlight, "clMenuHighlight"},
                              {clMenuText, "clMenuText"},
                              {clNone, "clNone"},
                              {clScrollBar, "clScrollBar"},
                              {cl3DDkShadow, "cl3DDkShadow"},
                              {cl3DLight, "cl3DLight"},
                              {clWindow, "clWindow"},
                              {clWindowFrame, "clWindowFrame"},
                              {clWindowText, "clWindowText"}}};
  return map;
}

bool ColorToIdent(int32_t Color, std::string& Ident) {
  return ColorIdents().ToIdent(Color, Ident);
}

bool IdentToColor(const std::string& Ident, int32_t& Color) {
  int64_t v = 0;
  if (!ColorIdents().ToInt(Ident, v)) return false;
  Color = static_cast<int32_t>(v);
  return true;
}

std::string ColorToString(TColor Color) {
  std::string ident;
  if (ColorToIdent(Color, ident)) return ident;
  return "$" + IntToHex(static_cast<uint32_t>(Color), 8);
}

TColor StringToColor(const std::string& S) {
  TColor c = 0;
  if (IdentToColor(S, c)) return c;
  return StrToInt(S);
}

void GetColorValues(const TGetStrProc& Proc) {
  if (!Proc) return;
  for (const TIdentMap::Entry& e : ColorIdents().Entries) Proc(e.Name);
}

const TIdentMap& CharsetIdents() {
  static const TIdentMap map{"TFontCharset",
                             {{ANSI_CHARSET, "ANSI_CHARSET"},
                              {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                              {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
                              {MAC_CHARSET, "MAC_CHARSET"},
                              {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
                              {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
                              {JOHAB_CHARSET, "JOHAB_CHARSET"},
                              {GB2312_CHARSET, "GB2312_CHARSET"},
                              {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
                              {GREEK_CHARSET, "GREEK_CHARSET"},
                              {TURKISH_CHARSET, "TURKISH_CHARSET"},
                              {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
                              {HEBREW_CHARSET, "HEBREW_CHARSET"},
                              {ARABIC_CHARSET, "ARABIC_CHARSET"},
                              {BALTIC_CHARSET, "BALTIC_CHARSET"},
                              {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                              {THAI_CHARSET, "THAI_CHARSET"},
                              {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                              {OEM_CHARSET, "OEM_CHARSET"}}};
  return map;
}

bool CharsetToIdent(int32_t Charset, std::string& Ident) {
  return CharsetIdents().ToIdent(Charset, Ident);
}

bool IdentToCharset(const std::string& Ident, int32_t& Charset) {
  int64_t v = 0;
  if (!CharsetIdents().ToInt(Ident, v)) return false;
  Charset = static_cast<int32_t>(v);
  return true;
}
