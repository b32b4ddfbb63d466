// TScreen: the program's forms and data modules, the active form and control,
// cursors, the desktop and work area, and the font lists.
#include <algorithm>

#include "platform/rtl/Lists.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

RTL_IMPLEMENT_CLASS(TScreen)

namespace {

// The system cursor behind each customary cursor id (crDefault 0 .. crSizeAll
// -22). The split cursors size what lies beside (crHSplit) or above (crVSplit).
struct TCursorMap {
  int Id;
  int Idc;
};
constexpr TCursorMap kCursorMap[] = {
    {0, IDC_ARROW_ID},    {-2, IDC_ARROW_ID},    {-3, IDC_CROSS_ID},        {-4, IDC_IBEAM_ID},
    {-5, IDC_SIZEALL_ID}, {-6, IDC_SIZENESW_ID}, {-7, IDC_SIZENS_ID},       {-8, IDC_SIZENWSE_ID},
    {-9, IDC_SIZEWE_ID},  {-10, IDC_UPARROW_ID}, {-11, IDC_WAIT_ID},        {-12, IDC_ARROW_ID},
    {-13, IDC_NO_ID},     {-14, IDC_SIZEWE_ID},  {-15, IDC_SIZENS_ID},      {-16, IDC_ARROW_ID},
    {-17, IDC_WAIT_ID},   {-18, IDC_NO_ID},      {-19, IDC_APPSTARTING_ID}, {-20, IDC_HELP_ID},
    {-21, IDC_HAND_ID},   {-22, IDC_SIZEALL_ID},
};

// The families the font engine offers: in tests every name maps to the one test
// font, so the list is fixed.
const char* const kFontFamilies[] = {"Arial",  "Courier New",     "DejaVu Sans",         "MS Sans Serif",
                                     "Tahoma", "Times New Roman", "WenQuanYi Micro Hei", "宋体"};

void SetUpFont(TFont& Font, const LOGFONT& Lf) {
  Font.SetName(Lf.lfFaceName[0] ? std::string(Lf.lfFaceName) : std::string("Tahoma"));
  if (Lf.lfHeight != 0) Font.SetHeight(Lf.lfHeight);
}

}  // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  menuFont_ = std::make_unique<TFont>();
  iconFont_ = std::make_unique<TFont>();
  hintFont_ = std::make_unique<TFont>();
  NONCLIENTMETRICS ncm;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    SetUpFont(*menuFont_, ncm.lfMenuFont);
    SetUpFont(*hintFont_, ncm.lfStatusFont);
  }
  LOGFONT icon;
  if (SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(icon), &icon, 0)) SetUpFont(*iconFont_, icon);
  hintFont_->SetColor(clInfoText);
}

TScreen::~TScreen() {
  if (Screen == this) Screen = nullptr;
}

int TScreen::FormCount() const {
  int n = 0;
  for (TCustomForm* f : customForms_)
    if (dynamic_cast<TForm*>(f)) ++n;
  return n;
}

TForm* TScreen::Forms(int Index) const {
  int n = 0;
  for (TCustomForm* f : customForms_)
    if (auto* form = dynamic_cast<TForm*>(f))
      if (n++ == Index) return form;
  throw EListError(Format("List index out of bounds (%d)", {Index}));
}

TCustomForm* TScreen::CustomForms(int Index) const {
  if (Index < 0 || Index >= CustomFormCount())
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  return customForms_[static_cast<size_t>(Index)];
}

TDataModule* TScreen::DataModules(int Index) const {
  if (Index < 0 || Index >= DataModuleCount())
    throw EListError(Format("List index out of bounds (%d)", {Index}));
  return dataModules_[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* AForm) {
  if (std::find(customForms_.begin(), customForms_.end(), AForm) != customForms_.end()) return;
  customForms_.push_back(AForm);
}

void TScreen::RemoveForm(TCustomForm* AForm) {
  customForms_.erase(std::remove(customForms_.begin(), customForms_.end(), AForm), customForms_.end());
  bool changed = false;
  if (focusedForm_ == AForm) focusedForm_ = nullptr;
  if (activeCustomForm_ == AForm) {
    activeCustomForm_ = nullptr;
    activeForm_ = nullptr;
    changed = true;
  }
  if (activeControl_ && GetParentForm(activeControl_) == AForm) {
    activeControl_ = nullptr;
    OnActiveControlChange(this);
  }
  if (changed) OnActiveFormChange(this);
}

void TScreen::AddDataModule(TDataModule* ADataModule) {
  if (std::find(dataModules_.begin(), dataModules_.end(), ADataModule) == dataModules_.end())
    dataModules_.push_back(ADataModule);
}

void TScreen::RemoveDataModule(TDataModule* ADataModule) {
  dataModules_.erase(std::remove(dataModules_.begin(), dataModules_.end(), ADataModule), dataModules_.end());
}

// The focused form moves to the front of both lists, as the most recently used.
void TScreen::UpdateActive(TCustomForm* AForm, TWinControl* AControl) {
  TCustomForm* oldForm = activeCustomForm_;
  TWinControl* oldControl = activeControl_;
  activeControl_ = AControl;
  activeCustomForm_ = AForm;
  auto front = [](auto& list, auto* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end()) std::rotate(list.begin(), it, it + 1);
  };
  front(customForms_, AForm);
  activeForm_ = dynamic_cast<TForm*>(AForm);
  if (oldControl != AControl) OnActiveControlChange(this);
  if (oldForm != AForm) OnActiveFormChange(this);
}

void TScreen::SetFocusedForm(TCustomForm* AForm) {
  focusedForm_ = AForm;
}

void TScreen::ControlDestroyed(TControl* Control) {
  if (Control == activeControl_) {
    activeControl_ = nullptr;
    OnActiveControlChange(this);
  }
}

// --- cursors
// -------------------------------------------------------------------------------------

HCURSOR TScreen::Cursors(int Index) const {
  for (const auto& [id, handle] : cursors_)
    if (id == Index) return handle;
  for (const TCursorMap& m : kCursorMap)
    if (m.Id == Index) return LoadCursor(nullptr, MAKEINTRESOURCE(m.Idc));
  return LoadCursor(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  for (auto& entry : cursors_)
    if (entry.first == Index) {
      entry.second = Handle;
      return;
    }
  cursors_.emplace_back(Index, Handle);
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == cursor_) return;
  cursor_ = Value;
  if (Value != 0) {
    ::SetCursor(Cursors(Value));
    return;
  }
  // Back to the window under the mouse: let it choose again.
  POINT p{};
  GetCursorPos(&p);
  HWND w = WindowFromPoint(p);
  if (w) {
    LRESULT hit = SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
    SendMessage(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w),
                MAKELPARAM(static_cast<int>(hit), WM_MOUSEMOVE));
  } else {
    ::SetCursor(Cursors(0));
  }
}

// --- desktop, fonts
// --------------------------------------------------------------------------------

int TScreen::Width() const {
  return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const {
  return GetSystemMetrics(SM_CYSCREEN);
}

TRect TScreen::DesktopRect() const {
  return TRect{0, 0, Width(), Height()};
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) r = DesktopRect();
  return r;
}

TStrings* TScreen::Fonts() const {
  if (!fonts_) {
    auto list = std::make_unique<TStringList>();
    for (const char* name : kFontFamilies) list->Add(name);
    list->SetSorted(true);
    fonts_ = std::move(list);
  }
  return fonts_.get();
}

TStrings* TScreen::Imes() const {
  if (!imes_) imes_ = std::make_unique<TStringList>();
  return imes_.get();
}
