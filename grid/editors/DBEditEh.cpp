// The base data-aware editor: value model, data link reactions, read-only rules, keys and
// characters, focus, and the in-place mode. What it shows around its text is in DBEditButtonsEh.cpp,
// DBEditDropDownFormEh.cpp, DBEditMRUEh.cpp, DBEditHintsEh.cpp and DBEditPaintEh.cpp.
#include "grid/editors/DBEditEh.h"

#include <cstdlib>
#include <cstring>

#include "grid/editors/ControlEmptyDataInfoEh.h"
#include "grid/editors/DBEditPublishEh.h"
#include "grid/editors/EditImageEh.h"
#include "grid/editors/EditToolTipsWindowEh.h"
#include "grid/foundation/ClipboardLineEh.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Clipboard.h"

RTL_IMPLEMENT_CLASS(TCustomDBEditEh)
RTL_IMPLEMENT_CLASS(TDBEditEh)

namespace {

bool IsMemoField(const TField* F) {
  return F->DataType() == ftMemo || F->DataType() == ftFmtMemo;
}

bool IsStringField(const TField* F) {
  return F->DataType() == ftString || F->DataType() == ftFixedChar || F->DataType() == ftWideString;
}

// An array gives empty text, Null and Empty give empty text, anything else its string form.
std::string VariantToText(const Variant& V) {
  if (V.IsArray() || V.IsNull() || V.IsEmpty()) return std::string();
  return VarToStr(V);
}

}  // namespace

// --- construction --------------------------------------------------------------------------------

TCustomDBEditEh::TCustomDBEditEh(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  SetControlStyle(ControlStyle() + csCaptureMouse + csReplicatable);
  dataLink_ = CreateDataLink();
  dataLink_->SetControl(this);
  dataLink_->OnDataChange = TNotifyEvent::Method(this, &TCustomDBEditEh::DataLinkDataChange);
  dataLink_->OnEditingChange = TNotifyEvent::Method(this, &TCustomDBEditEh::DataLinkEditingChange);
  dataLink_->OnUpdateData = TNotifyEvent::Method(this, &TCustomDBEditEh::DataLinkUpdateData);
  dataLink_->OnActiveChange = TNotifyEvent::Method(this, &TCustomDBEditEh::DataLinkActiveChange);
  RecreateEditButton();
  editButtons_ = CreateEditButtons();
  editButtons_->OnChange = TNotifyEvent::Method(this, &TCustomDBEditEh::EditButtonChanged);
  editButtons_->OnImagesChange = TNotifyEvent::Method(this, &TCustomDBEditEh::EditButtonImagesChanged);
  editImage_ = CreateEditImage();
  mruList_ = std::make_unique<TMRUListEh>(this);
  mruList_->OnSetCloseUp = TMRUListCloseUpEventEh::Method(this, &TCustomDBEditEh::MRUListCloseUp);
  mruList_->OnSetDropDown = TNotifyEvent::Method(this, &TCustomDBEditEh::MRUListDropDown);
  dynProps_ = std::make_unique<TDynVarsEh>(this);
  emptyDataInfo_ = std::make_unique<TControlEmptyDataInfoEh>(this);
  UpdateEditReadOnly();
  UpdateImageIndex();
  innerPanel_ = new TPanel(this);
  innerPanel_->SetBevelOuter(bvNone);
  innerPanel_->SetVisible(false);
  innerPanel_->SetBounds(0, 0, 0, 0);
  innerPanel_->SetParent(this);
}

TCustomDBEditEh::~TCustomDBEditEh() {
  // The link must not call back into a half-destroyed editor.
  dataLink_->OnDataChange = TNotifyEvent();
  dataLink_->OnEditingChange = TNotifyEvent();
  dataLink_->OnUpdateData = TNotifyEvent();
  dataLink_->OnActiveChange = TNotifyEvent();
  mruList_->OnSetCloseUp = TMRUListCloseUpEventEh();
  mruList_->OnSetDropDown = TNotifyEvent();
  FreeButtonControls();
  editImage_.reset();
  editButtons_.reset();
  editButton_.reset();
  dataLink_->SetDataSource(nullptr);
  dataLink_.reset();
  canvas_.reset();
  mruList_.reset();
  emptyDataInfo_.reset();
  delete innerPanel_;
  innerPanel_ = nullptr;
  dynProps_.reset();
}

std::unique_ptr<TFieldDataLinkEh> TCustomDBEditEh::CreateDataLink() {
  return std::make_unique<TFieldDataLinkEh>();
}

std::unique_ptr<TEditButtonEh> TCustomDBEditEh::CreateEditButton() {
  return std::make_unique<TEditButtonEh>(static_cast<TWinControl*>(this));
}

std::unique_ptr<TEditButtonsEh> TCustomDBEditEh::CreateEditButtons() {
  return std::make_unique<TEditButtonsEh>(this, TVisibleEditButtonEh::StaticClass());
}

std::unique_ptr<TEditImageEh> TCustomDBEditEh::CreateEditImage() {
  return std::make_unique<TEditImageEh>(this);
}

void TCustomDBEditEh::RecreateEditButton() {
  editButton_ = CreateEditButton();
  editButton_->OnChange = TNotifyEvent::Method(this, &TCustomDBEditEh::EditButtonChanged);
  editButton_->OnImagesChange = TNotifyEvent::Method(this, &TCustomDBEditEh::EditButtonImagesChanged);
  if (HandleAllocated()) EditButtonChanged(editButton_.get());
}

TCanvas* TCustomDBEditEh::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TControlCanvas>();
    canvas_->SetControl(this);
  }
  return canvas_.get();
}

// --- simple properties -----------------------------------------------------------------------------

TField* TCustomDBEditEh::Field() const {
  return dataLink_->Field();
}

bool TCustomDBEditEh::IsDataIndependent() const {
  return dataLink_->DataIndependent();
}

TAlignment TCustomDBEditEh::DefaultAlignment() const {
  return Field() ? Field()->Alignment() : taLeftJustify;
}

std::string TCustomDBEditEh::DefaultEditMask() const {
  return Field() ? Field()->EditMask() : std::string();
}

int TCustomDBEditEh::DefaultImageIndex() const {
  return -1;
}

std::string TCustomDBEditEh::GetDataField() const {
  return dataLink_->FieldName();
}

TDataSource* TCustomDBEditEh::GetDataSource() const {
  return dataLink_->DataSource();
}

bool TCustomDBEditEh::CanUseEditButtons() {
  return Enabled() && dataLink_->Active();
}

TAlignment TCustomDBEditEh::Alignment() const {
  return IsAlignmentStored() ? alignment_ : DefaultAlignment();
}

void TCustomDBEditEh::SetAlignment(TAlignment Value) {
  const bool changed = !IsAlignmentStored() || alignment_ != Value;
  assignedValues_.Include(avAlignmentEh);
  if (!changed) return;
  alignment_ = Value;
  // Alignment styles are used only with word wrap; single-line editors paint it.
  if (wordWrap_) RecreateWnd();
  Invalidate();
}

void TCustomDBEditEh::SetEditMask(const std::string& Value) {
  assignedValues_.Include(avEditMaskEh);
  TCustomMaskEdit::SetEditMask(Value);
}

void TCustomDBEditEh::SetReadOnly(bool Value) {
  if (readOnly_ == Value) return;
  readOnly_ = Value;
  UpdateEditReadOnly();
}

void TCustomDBEditEh::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

// --- value ----------------------------------------------------------------------------------------

void TCustomDBEditEh::SetEditTextInternally(const std::string& Value) {
  TCounterScope internalText(internalText_);
  TCustomMaskEdit::SetEditText(Value);
}

void TCustomDBEditEh::InternalSetText(const std::string& AText) {
  TCounterScope internalText(internalText_);
  // Through the mask edit's text setter, which lays the value into a mask.
  TCustomMaskEdit::SetText(AText);
}

Variant TCustomDBEditEh::GetVariantValue() {
  return Variant(Text());
}

void TCustomDBEditEh::SetVariantValue(const Variant& V) {
  InternalSetText(VariantToText(V));
}

void TCustomDBEditEh::SetText(const std::string& Value) {
  if (ComponentState().Contains(csDesigning) && !IsDataIndependent()) return;
  // The link's own Edit: it does nothing without a data set.
  if (!IsDataIndependent()) dataLink_->Edit();
  InternalSetText(Value);
  if (!inUpdateData_) UpdateDataKeepingFailedText();
}

void TCustomDBEditEh::InternalSetValue(const Variant& Value) {
  if (ComponentState().Contains(csDesigning) && !IsDataIndependent()) return;
  if (!IsDataIndependent()) dataLink_->Edit();
  SetVariantValue(Value);
  if (!inUpdateData_) UpdateDataKeepingFailedText();
}

void TCustomDBEditEh::UpdateDataKeepingFailedText() {
  // A text whose write failed is treated as a typed one is: it stays for correction and the
  // link stays modified, so the record's Post writes it again (and raises while it still
  // fails) instead of dropping it. Showing the field's value instead would lose the text
  // without a word, which is what the link's design avoids for typed text (see CMExit).
  TScopeFail keepModified([&] {
    dataLink_->Modified();
    SetModified(true);
  });
  UpdateData();
}

void TCustomDBEditEh::Clear() {
  SetText(std::string());
}

void TCustomDBEditEh::WriteValueToField() {
  dataLink_->SetText(Text());
}

bool TCustomDBEditEh::IsValidChar(char32_t Key) {
  TField* f = Field();
  return !f || f->IsValidChar(Key);
}

void TCustomDBEditEh::UpdateData() {
  if (focused_) ValidateEdit();
  bool handled = false;
  inUpdateData_ = true;
  {
    TScopeExit endUpdateData([&] { inUpdateData_ = false; });
    OnUpdateData(this, handled);
  }
  // A value the field cannot take raises here: the record and the text stay as they were.
  if (!handled) WriteValueToField();
  SetModified(false);
  if (mruList_->Active() && mruList_->AutoAdd() && Showing()) mruList_->Add(Text());
}

void TCustomDBEditEh::Change() {
  if (!SettingTextInternally()) dataLink_->Modified();
  textChanged_ = true;
  inherited::Change();
}

// --- data link reactions ---------------------------------------------------------------------------

void TCustomDBEditEh::DataLinkDataChange(TObject*) {
  DataChanged();
  UpdateEditButtonControlsState();
}

void TCustomDBEditEh::DataLinkEditingChange(TObject*) {
  EditingChanged();
}

void TCustomDBEditEh::DataLinkUpdateData(TObject*) {
  UpdateData();
}

void TCustomDBEditEh::DataLinkActiveChange(TObject*) {
  ActiveChanged();
}

std::string TCustomDBEditEh::FieldEditText(TField* F) {
  return IsMemoField(F) ? F->AsString() : F->Text();
}

std::string TCustomDBEditEh::FieldDisplayText(TField* F) {
  return IsMemoField(F) ? F->AsString() : F->DisplayText();
}

void TCustomDBEditEh::ApplyFieldMaxLength(TField* F) {
  if (ComponentState().Contains(csDesigning) || !F || !IsStringField(F)) return;
  if (MaxLength() != 0) return;
  TCustomMaskEdit::SetMaxLength(F->Size());
  lastFieldSize_ = F->Size();
}

void TCustomDBEditEh::DataChanged() {
  if (TField* f = Field()) {
    if (f->Alignment() != alignment_) Invalidate();
    if (!IsEditMaskStored()) TCustomMaskEdit::SetEditMask(f->EditMask());
    ApplyFieldMaxLength(f);
    if (focused_ && dataLink_->CanModify())
      InternalSetText(FieldEditText(f));
    else
      SetEditTextInternally(FieldDisplayText(f));
  } else {
    if (!IsEditMaskStored()) TCustomMaskEdit::SetEditMask(std::string());
    InternalSetText(IsDataIndependent() ? VariantToText(dataLink_->DataIndependentValue()) : std::string());
  }
  UpdateEditReadOnly();
  SetModified(false);
}

void TCustomDBEditEh::EditingChanged() {
  UpdateEditReadOnly();
}

void TCustomDBEditEh::ActiveChanged() {
  ResetMaxLength();
  ApplyFieldMaxLength(Field());
  UpdateEditButtonControlsState();
}

void TCustomDBEditEh::ResetMaxLength() {
  // The field bound before the change set MaxLength when it has that size; an explicit
  // MaxLength of another size stays.
  if (MaxLength() > 0 && lastFieldSize_ == MaxLength()) TCustomMaskEdit::SetMaxLength(0);
  lastFieldSize_ = 0;
}

void TCustomDBEditEh::UpdateEditReadOnly() {
  bool ro = readOnly_;
  if (!readOnly_) {
    ro = !dataLink_->Editing();
    TDataSet* ds = dataLink_->DataSet();
    if (OnUpdateData && ds && ds->State() == dsEdit) ro = false;
  }
  if (ro && holderIntf_) ro = !holderIntf_->InplaceEditCanModify(this);
  TCustomEdit::SetReadOnly(ro);
}

void TCustomDBEditEh::SetDataField(const std::string& Value) {
  if (!ComponentState().Contains(csDesigning)) ResetMaxLength();
  dataLink_->SetFieldName(Value);
  UpdateEditButtonControlsState();
  Invalidate();
}

void TCustomDBEditEh::SetDataSource(TDataSource* Value) {
  if (!(dataLink_->DataSourceFixed() && ComponentState().Contains(csLoading)))
    dataLink_->SetDataSource(Value);
  if (dataSource_ && dataSource_ != Value) dataSource_->RemoveFreeNotification(this);
  if (Value) Value->FreeNotification(this);
  DataChanged();
  Invalidate();
  dataSource_ = Value;
}

void TCustomDBEditEh::SetFocused(bool Value) {
  if (focused_ == Value) return;
  focused_ = Value;
  if (Alignment() != taLeftJustify && !IsMasked()) Invalidate();
  // Re-reads the value: the edit text while focused, the display text otherwise.
  dataLink_->Reset();
}

// --- window ----------------------------------------------------------------------------------------

void TCustomDBEditEh::CreateParams(TCreateParams& Params) {
  static constexpr DWORD kAlignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  inherited::CreateParams(Params);
  // Multi-line so that the formatting rectangle can be set.
  if (PasswordChar() == 0) Params.Style |= ES_MULTILINE;
  Params.Style &= ~static_cast<DWORD>(ES_RIGHT | ES_CENTER);
  if (wordWrap_) {
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= kAlignments[Alignment()];
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TCustomDBEditEh::CreateWnd() {
  inherited::CreateWnd();
  UpdateHeight();
  UpdateEditButtonControlList();
  UpdateEditButtonControlsState();
  UpdateEditRect();
}

void TCustomDBEditEh::UpdateEditRect() {
  if (!HandleAllocated()) return;
  TRect r = CalcEditRect();
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
  SendMessage(Handle(), EM_SCROLLCARET, 0, 0);
}

void TCustomDBEditEh::AdjustHeight() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int textHeight = tm.tmHeight;
  if (editImage_ && editImage_->Visible() && editImage_->UseImageHeight() && editImage_->Images() &&
      editImage_->Images()->Height() > textHeight)
    textHeight = editImage_->Images()->Height();
  const int factor = (Ctl3D() ? 8 : 6) - (flat_ ? 2 : 0);
  SetHeight(textHeight + GetSystemMetrics(SM_CYBORDER) * factor);
}

void TCustomDBEditEh::UpdateHeight() {
  TControlStyle style = ControlStyle();
  if (AutoSize() && BorderStyle() == bsSingle) {
    SetControlStyle(style + csFixedHeight);
    AdjustHeight();
  } else {
    SetControlStyle(style - csFixedHeight);
  }
}

void TCustomDBEditEh::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  if (ComponentState().Contains(csLoading) && ComponentState().Contains(csDesigning)) return;
  if (ControlStyle().Contains(csFixedHeight)) AdjustHeight();
}

void TCustomDBEditEh::Loaded() {
  inherited::Loaded();
  ResetMaxLength();
  if (ComponentState().Contains(csDesigning)) DataChanged();
  UpdateBorderActive();
}

void TCustomDBEditEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dataSource_) {
    dataSource_ = nullptr;
    if (dataLink_) SetDataSource(nullptr);
  }
  if (AComponent == inplaceEditHolder_) {
    inplaceEditHolder_ = nullptr;
    holderIntf_ = nullptr;
  }
  if (AComponent == mruListBox_) mruListBox_ = nullptr;
  if (AComponent == innerPanel_) innerPanel_ = nullptr;
}

// --- messages ---------------------------------------------------------------------------------------

void TCustomDBEditEh::WndProc(TMessage& Message) {
  // A handler reached from the message may free the editor: nothing of it is touched after.
  const TLivenessWatch watch = Watch();
  if (holderIntf_) {
    // The hosting grid sees every message first; a result it sets ends the processing.
    Message.Result = 0;
    holderIntf_->InplaceEditWndProc(this, Message);
    if (Message.Result != 0 || watch.Gone()) return;
    if (Message.Msg == WM_SETFOCUS) {
      TCustomForm* form = GetParentForm(this);
      if (form && !form->SetFocusedControl(inplaceEditHolder_)) return;
      if (watch.Gone()) return;
      Dispatch(Message);
      return;
    }
  }
  // Mouse messages over the image do not reach the edit, unless a selection drag holds the
  // capture.
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL &&
      HandleAllocated() && GetCapture() != Handle() && editImage_ && editImage_->Visible() &&
      editImage_->Images() && PtInRect(ImageRect(), Message.Pos()))
    return;
  inherited::WndProc(Message);
  if (watch.Gone()) return;
  if (textChanged_) {
    textChanged_ = false;
    UpdateMRUDropDown();
  }
}

void TCustomDBEditEh::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      WMGetDlgCode(Message);
      return;
    case WM_UNDO:
    case EM_UNDO:
      WMUndo(Message);
      return;
    case CM_CANCELMODE:
      CMCancelMode(Message);
      return;
    case CM_EDITIMAGECHANGEDEH:
      RecreateWnd();
      return;
    case WM_DROPDOWNFORMCLOSEDEH:
      // Only its presence in the queue matters (ShowDropDownForm looks for it).
      return;
    default:
      inherited::Dispatch(Message);
  }
}

void TCustomDBEditEh::WMGetDlgCode(TMessage& Message) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
  if (wantTabs_) code |= DLGC_WANTTAB;
  if (wantReturns_) code |= DLGC_WANTALLKEYS;
  if (inplaceEditHolder_ && (inplaceEditHolder_->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB))
    code |= DLGC_WANTTAB;
  Message.Result = code;
}

void TCustomDBEditEh::CMWantSpecialKey(TMessage& Message) {
  const WORD key = Message.CharCode();
  if ((key == VK_RETURN || key == VK_ESCAPE) && mruList_->DroppedDown() && mruListBox_ &&
      mruListBox_->ItemIndex() >= 0) {
    Message.Result = 1;
    return;
  }
  if ((key == VK_ESCAPE && Modified()) || (key == VK_RETURN && InplaceMode())) {
    Message.Result = 1;
    return;
  }
  inherited::CMWantSpecialKey(Message);
}

void TCustomDBEditEh::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const char32_t ch = Message.CharValue();
  // A single-line editor never takes a line break; Tab only when wanted.
  if ((ch == U'\r' && !wantReturns_) || (ch == U'\t' && !wantTabs_) || ch == U'\n') return;
  DefaultHandler(Message);
  if (ch == 8 && mruList_->Active() && Showing() && !droppedDown_ && Text().empty()) mruList_->DropDown();
}

void TCustomDBEditEh::WMCut(TMessage& Message) {
  inherited::WMCut(Message);
}

void TCustomDBEditEh::WMClear(TMessage& Message) {
  inherited::WMClear(Message);
}

void TCustomDBEditEh::WMUndo(TMessage& Message) {
  if (!EditCanModify()) return;
  TCustomEdit::Dispatch(Message);
}

void TCustomDBEditEh::WMPaste(TMessage& Message) {
  if (IsMasked() || wordWrap_) {
    inherited::WMPaste(Message);
    return;
  }
  // The window is multi-line: a pasted text ends at its first line break.
  if (!EditCanModify() || TCustomEdit::ReadOnly()) return;
  std::string clip;
  if (!ReadClipboardLine(clip)) return;
  SendMessage(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(clip.c_str()));
}

bool TCustomDBEditEh::ReadClipboardLine(std::string& Line) {
  Line.clear();
  return HandleAllocated() && ReadClipboardLineEh(Handle(), Line);
}

void TCustomDBEditEh::WMLButtonDown(TMessage& Message) {
  if (holderIntf_ && Message.Msg == WM_LBUTTONDOWN) {
    TPoint pos{};
    int32_t time = 0;
    holderIntf_->GetMouseDownInfo(pos, time);
    const TPoint here = ClientToScreen(Message.Pos());
    const bool inTime = static_cast<uint32_t>(GetMessageTime() - time) <= GetDoubleClickTime();
    const bool near = std::abs(here.X - pos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                      std::abs(here.Y - pos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (inTime && near) {
      // This click and the one that opened the editor make a double click.
      Message.Msg = WM_LBUTTONDBLCLK;
      Dispatch(Message);
      return;
    }
  }
  inherited::WMLButtonDown(Message);
  if (HandleAllocated() && GetCapture() == Handle() && !Focused()) ReleaseCapture();
}

void TCustomDBEditEh::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
}

void TCustomDBEditEh::CMEnter(TMessage& Message) {
  SetFocused(true);
  inherited::CMEnter(Message);
  // The window is multi-line, so the edit's own auto-select does not apply.
  if (AutoSelect() && !ControlState().Contains(csLButtonDown)) SelectAll();
}

void TCustomDBEditEh::CMExit(TMessage& Message) {
  // OnExit and the field's handlers may free the editor.
  const TLivenessWatch watch = Watch();
  // Mask validation and OnExit.
  inherited::CMExit(Message);
  if (watch.Gone()) return;
  {
    // The text stays for correction and the focus comes back.
    TScopeFail refocus([&] {
      if (watch.Gone()) return;
      SelectAll();
      if (CanFocus()) SetFocus();
    });
    dataLink_->UpdateRecord();
  }
  if (watch.Gone()) return;
  SetFocused(false);
  if (IsMasked()) CheckCursor();
}

void TCustomDBEditEh::CMShowingChanged(TMessage& Message) {
  // In place the holder shows and hides the editor.
  if (InplaceMode()) return;
  inherited::CMShowingChanged(Message);
}

bool TCustomDBEditEh::EditCanModify() {
  return !readOnly_ && dataLink_->Edit();
}

void TCustomDBEditEh::Reset() {
  dataLink_->Reset();
  SelectAll();
}

// --- keys --------------------------------------------------------------------------------------------

bool TCustomDBEditEh::ShortCutKey(WORD& Key, TShiftState Shift) {
  const TShortCut sc = ::ShortCut(Key, Shift);
  if (sc == 0) return false;
  const int count = 1 + (editButtons_ ? editButtons_->Count() : 0);
  for (int i = 0; i < count; ++i) {
    TEditButtonEh* item = i == 0 ? editButton_.get() : editButtons_->Items(i - 1);
    if (!item || item->ShortCut() != sc) continue;
    // The first match decides, enabled or not.
    if (!item->Enabled()) return false;
    TEditButtonControlEh* control = ButtonControl(i);
    if (!control) return false;
    control->DoDrawCustom();
    control->Click();
    Key = 0;
    return true;
  }
  return false;
}

void TCustomDBEditEh::KeyDown(WORD& Key, TShiftState Shift) {
  if (holderIntf_) {
    holderIntf_->InplaceEditKeyDown(this, Key, Shift);
    if (Key == 0) return;
  }
  // The mask edit asks the window's read-only state before it asks EditCanModify, so the
  // link starts editing first.
  if (IsMasked() && (Key == VK_DELETE || Key == VK_BACK) && !readOnly_) dataLink_->Edit();
  inherited::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (ShortCutKey(Key, Shift)) return;
  if (Key == 'A' && Shift == TShiftState{ssCtrl}) {
    SelectAll();
    return;
  }
  const bool editKey = Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift)) ||
                       (Key == VK_RETURN && wantReturns_) || (Key == VK_TAB && wantTabs_);
  if (editKey && !readOnly_) dataLink_->Edit();
}

void TCustomDBEditEh::KeyPress(char32_t& Key) {
  if (holderIntf_) {
    holderIntf_->InplaceEditKeyPress(this, Key);
    if (Key == 0) return;
  }
  if (IsMasked() && Key >= 32 && !readOnly_ && (IsDataIndependent() || IsValidChar(Key))) dataLink_->Edit();
  inherited::KeyPress(Key);
  if (Key == 0) return;
  if (!IsDataIndependent() && Key >= 32 && !IsValidChar(Key)) {
    MessageBeep(0);
    Key = 0;
    return;
  }
  if (Key == 27) {
    dataLink_->Reset();
    SelectAll();
    Key = 0;
    return;
  }
  if ((Key == 8 || Key == 0x16 || Key == 0x18 || Key >= 32) && !readOnly_) dataLink_->Edit();
}

void TCustomDBEditEh::KeyUp(WORD& Key, TShiftState Shift) {
  if (holderIntf_) holderIntf_->InplaceEditKeyUp(this, Key, Shift);
  inherited::KeyUp(Key, Shift);
}

// --- drop-downs ----------------------------------------------------------------------------------------

void TCustomDBEditEh::DropDown() {
  if (mruList_->DroppedDown()) mruList_->CloseUp(false);
}

void TCustomDBEditEh::CloseUp(bool) {}

// --- in-place mode ---------------------------------------------------------------------------------------

void TCustomDBEditEh::SetInplaceEditHolder(TWinControl* Value) {
  if (Value == inplaceEditHolder_) return;
  IInplaceEditHolderEh* intf = nullptr;
  if (Value) {
    intf = Supports<IInplaceEditHolderEh>(static_cast<IInterface*>(Value));
    if (!intf) throw Exception("InplaceEditHolder have to support IInplaceEditHolderEh interface");
  }
  if (inplaceEditHolder_) inplaceEditHolder_->RemoveFreeNotification(this);
  inplaceEditHolder_ = Value;
  holderIntf_ = intf;
  if (Value) Value->FreeNotification(this);
  UpdateEditReadOnly();
}

bool TCustomDBEditEh::Visible() const {
  if (!inplaceEditHolder_) return TControl::Visible();
  return HandleAllocated() &&
         (GetWindowLong(const_cast<TCustomDBEditEh*>(this)->Handle(), GWL_STYLE) & WS_VISIBLE);
}

void TCustomDBEditEh::SetVisible(bool Value) {
  if (!inplaceEditHolder_) {
    TControl::SetVisible(Value);
    return;
  }
  if (!Value) {
    HideInplace();
    return;
  }
  TControl::SetVisible(true);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

void TCustomDBEditEh::HideInplace() {
  if (!HandleAllocated()) return;
  const bool hadFocus = GetFocus() == Handle();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  TControl::SetVisible(false);
  if (hadFocus && inplaceEditHolder_ && inplaceEditHolder_->HandleAllocated())
    ::SetFocus(inplaceEditHolder_->Handle());
}

void TCustomDBEditEh::SetBoundsRect(const TRect& R) {
  if (!inplaceEditHolder_) {
    TControl::SetBoundsRect(R);
    return;
  }
  if (R.Width() <= 0 || R.Height() <= 0) {
    HideInplace();
    return;
  }
  // The holder's other children give up their modes (drop-downs, captures) first.
  for (int i = 0; i < inplaceEditHolder_->ControlCount(); ++i) {
    TControl* child = inplaceEditHolder_->Controls(i);
    if (child != this)
      child->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(this)));
  }
  TControl::SetVisible(true);
  TControl::SetBoundsRect(R);
  SetWindowPos(Handle(), HWND_TOP, R.Left, R.Top, R.Width(), R.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  if (inplaceEditHolder_->Focused()) SetFocus();
}

void TCustomDBEditEh::SetFocus() {
  if (!inplaceEditHolder_) {
    inherited::SetFocus();
    return;
  }
  if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
}

// --- the published edit ------------------------------------------------------------------------------

void TDBEditEh::DescribeClass(TClassBuilder<TDBEditEh>& c) {
  PublishDBEditProperties(c, db_edit_publish::dpoTextCase | db_edit_publish::dpoEmptyDataInfo);
  // The mask is read before the text, so a described text is laid into it.
  PublishDBEditMask(c);
  PublishDBEditText(c);
  PublishDBEditEvents(c);
}

void RegisterDBEditClasses() {
  RegisterClasses({TDBEditEh::StaticClass(), TEditImageEh::StaticClass(),
                   TControlEmptyDataInfoEh::StaticClass(), TEditToolTipsWindowEh::StaticClass()});
}
