// The axis grid's cell editor: the keys of the drop-down lists, the key rules of lookup and
// key pick-list cells, typed characters, type-ahead completion and paste.
#include <string>

#include "grid/axis/AxisGridInplaceEditEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "grid/data/DataRoutinesEh.h"
#include "grid/foundation/ClipboardLineEh.h"
#include "platform/db/Fields.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/MaskUtils.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Clipboard.h"

namespace axis_inplace_keys_detail {

bool IsListStyle(TInplaceEditStyleEh Style) {
  return Style == esPickListEh || Style == esDataListEh || Style == esDateCalendarEh ||
         Style == esAltDateCalendarEh;
}

bool IsCalendarStyle(TInplaceEditStyleEh Style) {
  return Style == esDateCalendarEh || Style == esAltDateCalendarEh;
}

// Lookup and key pick-list cells show a text that stands for a key.
bool IsKeyedKind(TAxisBarEh* Column) {
  const TAxisBarKindEh kind = Column->GetColumnType();
  return kind == abkLookupEh || kind == abkKeyPickListEh;
}

// The lookup data set row whose result text is Text; False without one. Key and Found, when
// given, take the row's key and result text. An open lookup list moves its data set back to its
// own key on every move, so its controls hear of the move only once the row is read.
bool LocateLookupText(TAxisBarEh* Column, const std::string& Text, TLocateOptions Options,
                      Variant* Key = nullptr, std::string* Found = nullptr) {
  TField* field = Column ? Column->GetField() : nullptr;
  TDataSet* list = field ? field->LookupDataSet() : nullptr;
  if (!list || !list->Active() || field->LookupResultField().empty()) return false;
  list->DisableControls();
  TScopeExit enable([list] { list->EnableControls(); });
  if (!list->Locate(field->LookupResultField(), Variant(Text), Options)) return false;
  if (Key) *Key = list->FieldValues(field->LookupKeyFields());
  if (Found) {
    TField* result = list->FindField(field->LookupResultField());
    *Found = result ? result->DisplayText() : Text;
  }
  return true;
}

bool LookupKeysCanModify(TField* Field) {
  if (!Field || Field->KeyFields().empty() || !Field->DataSet()) return false;
  std::vector<TField*> keys;
  Field->DataSet()->GetFieldList(keys, Field->KeyFields());
  if (keys.empty()) return false;
  for (TField* key : keys)
    if (!key || !key->CanModify()) return false;
  return true;
}

}  // namespace axis_inplace_keys_detail

using namespace axis_inplace_keys_detail;

// --- the window procedure -------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::WndProc(TMessage& Message) {
  const UINT msg = Message.Msg;
  // Only the character of the key that closed a list is dropped.
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) swallowChar_ = false;
  if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_CHAR) && HandleListKeyMessage(Message)) return;
  if (msg == WM_CHAR && swallowChar_) {
    swallowChar_ = false;
    const WPARAM ch = Message.WParam;
    if (ch == 13 || ch == 27 || ch == 10) return;
  }
  const bool backspace = msg == WM_CHAR && Message.WParam == 8;
  inherited::WndProc(Message);
  // The text is only shorter once the window ran its own Backspace.
  if (backspace && HandleAllocated() && Text().empty() && mruList_ && mruList_->Active() && Modified() &&
      !listVisible_)
    ShowMRUList();
}

bool TDBAxisGridInplaceEdit::HandleListKeyMessage(TMessage& Message) {
  const UINT msg = Message.Msg;
  const bool keyDown = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
  const WORD key = static_cast<WORD>(Message.WParam);
  const bool alt = keyDown ? (Message.LParam & (1 << 29)) != 0 || GetKeyState(VK_MENU) < 0 : false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;

  // The MRU box, open under any style.
  if (mruListBox_ && mruListBox_->Visible() && !listVisible_) {
    if (keyDown && mruListBox_->HandleAllocated() &&
        (((key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN) && !alt) ||
         ((key == VK_HOME || key == VK_END) && ctrl))) {
      SendMessage(mruListBox_->Handle(), WM_KEYDOWN, Message.WParam, Message.LParam);
      return true;
    }
    if (msg == WM_CHAR && (key == 13 || key == 27)) {
      CloseMRUList(key == 13);
      return true;
    }
  }

  const bool calculator = calculator_ && activeList_ == calculator_;
  if (!IsListStyle(editStyle_) && !calculator) return false;

  if (keyDown) {
    if ((key == VK_UP || key == VK_DOWN) && alt) {
      if (listVisible_)
        CloseUp(true);
      else
        DropDown();
      return true;
    }
    if ((key == VK_RETURN || key == VK_ESCAPE) && !alt && listVisible_ && !calculator) {
      bool accept = key == VK_RETURN;
      TAxisBarEh* column = GetColumn();
      // A lookup cell that takes new entries keeps its value when the text names no row.
      if (accept && editStyle_ == esDataListEh && column && column->OnNotInList &&
          !LocateLookupText(column, Text(), {loCaseInsensitive}))
        accept = false;
      CloseUp(accept);
      swallowChar_ = true;
      return true;
    }
    if (key == VK_RETURN && ctrl && !alt && !listVisible_) {
      DropDown();
      swallowChar_ = true;
      return true;
    }
    if (listVisible_ && activeList_ && activeList_->HandleAllocated()) {
      bool forward;
      if (calculator)
        forward = key == VK_BACK || key == VK_RETURN || key == VK_ESCAPE;
      else
        forward = ((key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN) && !shift) ||
                  ((key == VK_HOME || key == VK_END) && ctrl) ||
                  ((key == VK_LEFT || key == VK_RIGHT) && IsCalendarStyle(editStyle_));
      if (forward) {
        SendMessage(activeList_->Handle(), msg, Message.WParam, Message.LParam);
        if (!calculator) FollowOpenList();
        return true;
      }
    }
    return false;
  }

  if (msg == WM_CHAR) {
    const char32_t ch = static_cast<char32_t>(Message.WParam);
    if (calculator && listVisible_ && activeList_->HandleAllocated() &&
        (ch == 8 || ch == 13 || ch == 27 || (ch >= 32 && ch <= 126))) {
      SendMessage(activeList_->Handle(), WM_CHAR, Message.WParam, Message.LParam);
      return true;
    }
    TAxisBarEh* column = GetColumn();
    if (!listVisible_ && ch >= 32 && ch != 127 && column && column->AutoDropDown()) DropDown();
  }
  return false;
}

void TDBAxisGridInplaceEdit::FollowOpenList() {
  if (editStyle_ == esDataListEh && dataList_) {
    SetText(dataList_->DisplayText());
    SelectAll();
  } else if (editStyle_ == esPickListEh && pickListBox_) {
    const int index = pickListBox_->ItemIndex();
    if (index >= 0 && pickListBox_->ItemText(index) != Text()) {
      SetText(pickListBox_->ItemText(index));
      SelectAll();
    }
  }
}

// --- KeyDown ------------------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  const TShiftState mods = Shift * TShiftState{ssShift, ssCtrl, ssAlt};
  if (!grid || !column) {
    inherited::KeyDown(Key, Shift);
    return;
  }

  // Ctrl+Enter is the main button's click; its line feed is not typed.
  if (Key == VK_RETURN && mods == TShiftState{ssCtrl} &&
      (editStyle_ == esEllipsisEh || editStyle_ == esDropDownEh)) {
    if (HandleAllocated()) {
      MSG m{};
      while (PeekMessage(&m, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE))
        if (m.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(m.wParam));
          break;
        }
    }
    grid->EditButtonClick();
    Key = 0;
    return;
  }

  if (Key == VK_DELETE && mods.Empty() && IsKeyedKind(column) && column->CanModify(false)) {
    const std::u32string text = MaskToCodePoints(Text());
    const int length = static_cast<int>(text.size());
    const int start = SelStart(), selected = SelLength();
    if (selected == 0 && start >= length && column->CanModify(true)) {
      if (editStyle_ == esDataListEh) {
        if (LookupKeysCanModify(column->GetField())) {
          column->GetField()->DataSet()->Edit();
          grid->DataLink()->Modified();
          grid->SetEditKeyValue(Null());
          SetGridEditText("");
          SetText("");
          if (listVisible_ && dataList_) {
            dataList_->SetKeyValue(Null());
            if (column->DropDownBox()->ListSourceAutoFilter()) ApplyListFilter("");
          }
        }
      } else if (editStyle_ == esPickListEh && column->GetColumnType() == abkKeyPickListEh) {
        SetText("");
        SetGridEditText("");
      }
    } else if (column->OnNotInList) {
      std::u32string rest = text;
      rest.erase(static_cast<size_t>(std::min(start, length)),
                 static_cast<size_t>(std::min(selected, length - std::min(start, length))));
      TakeShortenedText(MaskFromCodePoints(rest), start);
      Key = 0;
      return;
    } else {
      Key = 0;
      return;
    }
  }

  if (Key == VK_BACK && IsKeyedKind(column)) {
    if (!column->OnNotInList) {
      // Nothing is deleted: the caret only moves.
      Key = VK_LEFT;
    } else {
      std::u32string text = MaskToCodePoints(Text());
      const int length = static_cast<int>(text.size());
      const int start = std::min(SelStart(), length);
      const int selected = std::min(SelLength(), length - start);
      int caret = start;
      if (selected == 0 || start + selected == length) {
        // A bare caret, or the completed tail: that and the character before it go.
        text.erase(static_cast<size_t>(start), static_cast<size_t>(selected));
        if (start > 0) {
          text.erase(static_cast<size_t>(start - 1), 1);
          caret = start - 1;
        }
      } else {
        text.erase(static_cast<size_t>(start), static_cast<size_t>(selected));
      }
      TakeShortenedText(MaskFromCodePoints(text), caret);
      Key = 0;
      return;
    }
  }

  if ((Key == VK_UP || Key == VK_DOWN) && multiLine_ && mods.Empty()) {
    bool stays = true;
    if (grid->Options().Contains(goAlwaysShowEditorEh) && HandleAllocated()) {
      const int line =
          static_cast<int>(SendMessage(Handle(), EM_LINEFROMCHAR, static_cast<WPARAM>(SelStart()), 0));
      const int lines = static_cast<int>(SendMessage(Handle(), EM_GETLINECOUNT, 0, 0));
      if ((Key == VK_UP && line == 0) || (Key == VK_DOWN && line + 1 == lines))
        stays = false;
      else
        stays = SelLength() != static_cast<int>(MaskToCodePoints(Text()).size());
    }
    if (stays) {
      TCustomMaskEdit::KeyDown(Key, Shift);
      return;
    }
  }

  if (editStyle_ == esDataListEh && column->DropDownSpecRow()->Visible() &&
      ::ShortCut(Key, mods) == column->DropDownSpecRow()->ShortCut() && column->CanModify(true)) {
    TSpecRowEh* specialRow = column->DropDownSpecRow();
    const std::string text = specialRow->GetCellText(0);
    SetText(text);
    SetGridEditText(text);
    grid->SetEditKeyValue(specialRow->Value());
    if (listVisible_ && dataList_) dataList_->SetKeyValue(specialRow->Value());
    SelectAll();
    Key = 0;
    return;
  }

  TEditButtonsEh* buttons = column->EditButtons();
  const TShortCut pressed = ::ShortCut(Key, mods);
  for (int i = 0; i < buttons->Count(); ++i) {
    TEditButtonEh* item = buttons->Items(i);
    if (item->ShortCut() == scNone || item->ShortCut() != pressed) continue;
    const size_t slot = static_cast<size_t>(i) + 1;
    if (slot < editButtonControls_.size() && editButtonControls_[slot].second) {
      TEditButtonControlEh* control = editButtonControls_[slot].second;
      control->DoDrawCustom();
      control->Click();
    }
    Key = 0;
    return;
  }

  inherited::KeyDown(Key, Shift);
}

// --- typed characters ------------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::KeyPress(char32_t& Key) {
  TAxisBarEh* column = GetColumn();
  if (column && dynamic_cast<TNumericField*>(column->GetField()) && (Key == U'.' || Key == U',')) {
    const std::u32string sep = MaskToCodePoints(FormatSettings().DecimalSeparator);
    if (!sep.empty()) Key = sep[0];
  }
  if (Key == 10 && !multiLine_) {
    Key = 0;
    return;
  }
  // KeyDown did all there is to a Backspace in a keyed cell.
  if (Key == 8 && column && IsKeyedKind(column)) {
    Key = 0;
    return;
  }
  if ((editStyle_ == esPickListEh || editStyle_ == esDataListEh) && Key >= 32 && Key != 127) {
    TCustomDBAxisGridEh* grid = GetGrid();
    if (grid) grid->KeyPress(Key);
    if (Key == 0) return;
    TypeAheadKey(Key);
    Key = 0;
    return;
  }
  inherited::KeyPress(Key);
}

void TDBAxisGridInplaceEdit::KeyUp(WORD& Key, TShiftState Shift) {
  inherited::KeyUp(Key, Shift);
}

// --- type-ahead -------------------------------------------------------------------------------------

void TDBAxisGridInplaceEdit::TypeAheadKey(char32_t Key) {
  if (Key != 8) CompleteTypedText(std::u32string(1, Key));
}

void TDBAxisGridInplaceEdit::CompleteTypedText(const std::u32string& Typed) {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  if (!grid || !column) return;
  // What the typed text may take: the limit counts characters, the selection makes room.
  const std::u32string text = MaskToCodePoints(Text());
  const size_t start = std::min(text.size(), static_cast<size_t>(std::max(0, SelStart())));
  const size_t stop = std::min(text.size(), start + static_cast<size_t>(std::max(0, SelLength())));
  std::u32string typedPart = Typed;
  if (MaxLength() > 0) {
    const size_t kept = text.size() - (stop - start);
    typedPart.resize(std::min(typedPart.size(), static_cast<size_t>(MaxLength()) -
                                                    std::min(kept, static_cast<size_t>(MaxLength()))));
  }
  const std::string candidate = MaskFromCodePoints(text.substr(0, start) + typedPart);
  const int typed = static_cast<int>(start + typedPart.size());
  auto showCompleted = [&](const std::string& Whole) {
    SetText(Whole);
    SetSelStart(typed);
    SetSelLength(std::max(0, static_cast<int>(MaskToCodePoints(Whole).size()) - typed));
  };
  // Without an entry the typed text replaces the selection and the rest stays.
  auto showAsTyped = [&] {
    SetText(MaskFromCodePoints(text.substr(0, start) + typedPart + text.substr(stop)));
    SetSelStart(typed);
  };

  if (editStyle_ == esDataListEh) {
    TField* field = column->GetField();
    TDataSet* list = field ? field->LookupDataSet() : nullptr;
    if (!list || !grid->CanEditModifyField()) return;
    Variant key;
    std::string whole;
    if (LocateLookupText(column, candidate, {loCaseInsensitive, loPartialKey}, &key, &whole)) {
      showCompleted(whole);
      grid->SetEditKeyValue(key);
      SetGridEditText(whole);
      if (listVisible_ && dataList_) dataList_->SetKeyValue(key);
      return;
    }
    if (!column->OnNotInList) return;
    showAsTyped();
    grid->DataLink()->Modified();
    SetGridEditText(Text());
    grid->SetEditKeyValue(Null());
    if (listVisible_ && column->DropDownBox()->ListSourceAutoFilter()) {
      TDataSource* source = column->DropDownBox()->ListSource();
      TDataSet* listData = source ? source->DataSet() : nullptr;
      if (listData) listData->DisableControls();
      TScopeExit enable([listData] {
        if (listData) listData->EnableControls();
      });
      ApplyListFilter(candidate);
    }
    return;
  }

  if (editStyle_ != esPickListEh || !EditCanModify()) return;
  const int index = LocateTextInStrings(column->PickList(), candidate, true);
  if (index >= 0) {
    const std::string whole = column->PickList()->Strings(index);
    showCompleted(whole);
    SetGridEditText(whole);
    if (listVisible_ && pickListBox_) pickListBox_->SetItemIndex(index);
    UpdateImageIndex();
    return;
  }
  // A key pick list takes only its own entries unless the column hears of new ones.
  if (column->GetColumnType() == abkKeyPickListEh && !column->OnNotInList) return;
  showAsTyped();
  SetGridEditText(Text());
}

void TDBAxisGridInplaceEdit::WMPaste(TMessage& Message) {
  if (editStyle_ != esPickListEh && editStyle_ != esDataListEh) {
    inherited::WMPaste(Message);
    return;
  }
  if (ReadOnly() || !HandleAllocated() || !IsClipboardFormatAvailable(CF_TEXT)) return;
  std::string clip;
  if (!ReadClipboardLineEh(Handle(), clip) || clip.empty()) return;
  CompleteTypedText(MaskToCodePoints(clip));
}

void TDBAxisGridInplaceEdit::DeriveEditValueFromText() {
  TCustomDBAxisGridEh* grid = GetGrid();
  TAxisBarEh* column = GetColumn();
  if (!grid || !column || !column->CanModify(true)) return;
  const std::string text = Text();
  if (editStyle_ != esDataListEh) {
    SetGridEditText(text);
    return;
  }
  Variant key;
  if (LocateLookupText(column, text, {loCaseInsensitive}, &key))
    grid->SetEditKeyValue(key);
  else
    grid->SetEditKeyValue(Null());
  SetGridEditText(text);
}

void TDBAxisGridInplaceEdit::TakeShortenedText(const std::string& Value, int Caret) {
  TAxisBarEh* column = GetColumn();
  if (!column || !column->CanModify(true)) return;
  SetText(Value);
  SetSelStart(Caret);
  DeriveEditValueFromText();
  FollowTypedValue();
}

void TDBAxisGridInplaceEdit::FollowTypedValue() {
  if (!listVisible_) return;
  TCustomDBAxisGridEh* grid = GetGrid();
  if (editStyle_ == esDataListEh && dataList_ && grid) {
    dataList_->SetKeyValue(grid->EditKeyValue());
  } else if (editStyle_ == esPickListEh && pickListBox_ && grid) {
    TAxisBarEh* column = GetColumn();
    if (column) pickListBox_->SetItemIndex(LocateTextInStrings(column->PickList(), grid->EditText(), true));
  }
}
