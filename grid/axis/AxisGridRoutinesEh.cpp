// Free routines of the axis grid's unit.
#include "grid/axis/AxisGridRoutinesEh.h"

#include <cmath>
#include <limits>

#include "grid/data/SharedTypesEh.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Painting.h"
#include "platform/win/Windows.h"

namespace axis_routines_detail {

constexpr double kIntMin = static_cast<double>(std::numeric_limits<int32_t>::min());
constexpr double kIntMax = static_cast<double>(std::numeric_limits<int32_t>::max());

// Rounds half to even, as the runtime's Round does, then keeps the value only inside int32.
bool RoundedInRange(double Value, int32_t& Result) {
  if (!std::isfinite(Value)) return false;
  const double r = std::nearbyint(Value);
  if (r < kIntMin || r > kIntMax) return false;
  Result = static_cast<int32_t>(r);
  return true;
}

// The split of a lookup field's KeyFields list (";"-separated).
std::vector<std::string> SplitKeyFields(const std::string& Keys) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos <= Keys.size()) {
    const size_t next = Keys.find(';', pos);
    std::string name = Trim(Keys.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
    if (!name.empty()) names.push_back(std::move(name));
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return names;
}

}  // namespace axis_routines_detail

void GetFontDataRec(TFont* Font, TFontDataRecEh& Rec) {
  Rec.Height = Font->Height();
  Rec.Pitch = Font->Pitch();
  Rec.Style = Font->Style();
  Rec.Charset = Font->Charset();
  Rec.Name = Font->Name();
  Rec.Color = Font->Color();
}

void ReloadFontSilently(TFont* Font, TFont* Source) {
  if (!Font || !Source || Font == Source) return;
  TValueRestorer<TNotifyEvent> keepHandler(Font->OnChange);
  Font->OnChange = TNotifyEvent();
  Font->Assign(Source);
}

bool FontDiffers(TFont* Font, TFont* Source) {
  return Font && Source && Font != Source &&
         (Font->Handle() != Source->Handle() || Font->Color() != Source->Color());
}

void SetFontDataRec(const TFontDataRecEh& Rec, TFont* Font) {
  if (Font->Height() != Rec.Height) Font->SetHeight(Rec.Height);
  if (Font->Pitch() != Rec.Pitch) Font->SetPitch(Rec.Pitch);
  if (Font->Style() != Rec.Style) Font->SetStyle(Rec.Style);
  if (Font->Charset() != Rec.Charset) Font->SetCharset(Rec.Charset);
  if (Font->Name() != Rec.Name) Font->SetName(Rec.Name);
  if (Font->Color() != Rec.Color) Font->SetColor(Rec.Color);
}

void ChangeInplaceEditOrientation(TCanvas* Canvas, bool RightToLeft, int Width, int Height) {
  HDC dc = Canvas->Handle();
  SetMapMode(dc, MM_ANISOTROPIC);
  if (RightToLeft) {
    SetWindowOrgEx(dc, Width, 0, nullptr);
    SetViewportExtEx(dc, Width, Height, nullptr);
    SetWindowExtEx(dc, -Width, Height, nullptr);
  } else {
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, Width, Height, nullptr);
    SetWindowExtEx(dc, Width, Height, nullptr);
  }
}

int32_t GetFieldAsInteger(TField* Field, int32_t Default) {
  using namespace axis_routines_detail;
  if (!Field) return Default;
  int32_t result = Default;
  switch (Field->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
      return Field->AsInteger();
    case ftLargeint: {
      if (Field->IsNull()) return Default;
      const Int64 v = Field->AsLargeInt();
      if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) return Default;
      return static_cast<int32_t>(v);
    }
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
      if (Field->IsNull()) return Default;
      return RoundedInRange(Field->AsFloat(), result) ? result : Default;
    default:
      return Default;
  }
}

TGridRect GridRectFromBounds(int ALeft, int ATop, int ARight, int ABottom) {
  return TGridRect{ALeft, ATop, ARight, ABottom};
}

void InvalidAxisGridOp(const std::string& Message) {
  throw EInvalidGridOperationEh(Message);
}

void RemovePendingMessage(HWND Window, UINT MessageCode) {
  MSG msg{};
  if (PeekMessage(&msg, Window, MessageCode, MessageCode, PM_REMOVE) && msg.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(msg.wParam));
}

void InvalidateRowCells(TCustomGridEh* Grid, int ARow) {
  const int count = Grid->GetFullColCount();
  for (int i = 0; i < count; ++i) Grid->InvalidateCell(i, ARow);
}

bool IsTextTooLongForRect(TCanvas* Canvas, const std::string& Text, const TRect& ARect, bool WordWrap,
                          int ExtraWidth, int ExtraHeight) {
  const int width = std::max(1, ARect.Width() - 4 - ExtraWidth);
  RECT r{0, 0, width, 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  DrawText(Canvas->Handle(), Text, &r, flags);
  return r.Width() > width || r.Height() > ARect.Height() - ExtraHeight + 1;
}

bool FieldIsReadOnly(TField* Field) {
  if (Field->ReadOnly()) return true;
  if (Field->FieldKind() != fkLookup) return false;
  const std::vector<std::string> keys = axis_routines_detail::SplitKeyFields(Field->KeyFields());
  if (keys.empty()) return false;
  TDataSet* ds = Field->DataSet();
  if (!ds) return true;
  for (const std::string& name : keys) {
    TField* key = ds->FindField(name);
    if (!key || !key->ReadOnly()) return false;
  }
  return true;
}

std::string GetTextWithoutSelection(TCustomEdit* Edit) {
  const std::string text = Edit->Text();
  const int start = Edit->SelStart();
  const int length = Edit->SelLength();
  const size_t from = Utf8Left(text, start).size();
  const size_t to = Utf8Left(text, start + length).size();
  return text.substr(0, from) + text.substr(to);
}

int GetFontHeightOnCanvas(TCanvas* Canvas, TFont* Font) {
  TEXTMETRIC tm{};
  if (Canvas) {
    HDC dc = Canvas->Handle();
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    return tm.tmHeight;
  }
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}
