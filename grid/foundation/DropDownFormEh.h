#pragma once
// Drop-down forms: a form that an edit button or a grid cell drops next to its host, modally
// (Execute runs a message loop) or not (ExecuteNomodal returns at once and a close callback
// reports the outcome), exchanging named values with the caller; and the parameters with
// which an edit button asks for one.
#include <memory>
#include <string>

#include "grid/data/DynVarsEh.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Interfaces.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

class TEditButtonEh;
class TCustomDropDownFormEh;

// Which edge of the host the dropped window lines up with.
enum TDropDownAlign { daLeft, daRight, daCenter };
RTL_ENUM_INFO(TDropDownAlign, "daLeft", "daRight", "daCenter");

// What an edit button hands to the form: the values of the fields it names, its own value, or
// every field of the record.
enum TDropDownPassParamsEh { pspByFieldNamesEh, pspFieldValueEh, pspRecordValuesEh };
RTL_ENUM_INFO(TDropDownPassParamsEh, "pspByFieldNamesEh", "pspFieldValueEh", "pspRecordValuesEh");

// How an edit button drops a form: the form itself, or the registered class to take the
// shared instance of; placement, size and the values that travel both ways.
class TDropDownFormCallParamsEh : public TPersistent {
  RTL_CLASS(TDropDownFormCallParamsEh, TPersistent)
 public:
  TDropDownFormCallParamsEh();
  ~TDropDownFormCallParamsEh() override;
  static void DescribeClass(TClassBuilder<TDropDownFormCallParamsEh>& c);
  void Assign(TPersistent* Source) override;

  // Forgotten when the form is freed.
  TCustomForm* DropDownForm() const { return dropDownForm_; }
  void SetDropDownForm(TCustomForm* Value);
  const std::string& DropDownFormClassName() const { return dropDownFormClassName_; }
  void SetDropDownFormClassName(const std::string& Value);
  TDropDownAlign Align() const { return align_; }
  void SetAlign(TDropDownAlign Value);
  TDropDownPassParamsEh PassParams() const { return passParams_; }
  void SetPassParams(TDropDownPassParamsEh Value);
  // ";"-separated field names.
  const std::string& PassFieldNames() const { return passFieldNames_; }
  void SetPassFieldNames(const std::string& Value);
  const std::string& AssignBackFieldNames() const { return assignBackFieldNames_; }
  void SetAssignBackFieldNames(const std::string& Value);
  // -1: the form's own size.
  int FormWidth() const { return formWidth_; }
  void SetFormWidth(int Value);
  int FormHeight() const { return formHeight_; }
  void SetFormHeight(int Value);
  bool SaveFormSize() const { return saveFormSize_; }
  void SetSaveFormSize(bool Value);

  // Set by the owner; called after every change of a property.
  TNotifyEvent OnChanged;

 protected:
  virtual void Changed();

 private:
  class TFormWatcher;
  std::unique_ptr<TFormWatcher> watcher_;
  TCustomForm* dropDownForm_ = nullptr;
  std::string dropDownFormClassName_;
  TDropDownAlign align_ = daCenter;
  TDropDownPassParamsEh passParams_ = pspFieldValueEh;
  std::string passFieldNames_;
  std::string assignBackFieldNames_;
  int formWidth_ = -1;
  int formHeight_ = -1;
  bool saveFormSize_ = true;
};

// The caller's side of a drop-down form call, handed back to the close callback. With
// FreeFormOnClose the form frees itself once the callback has run.
class TDropDownFormSysParams : public TObject {
  RTL_CLASS(TDropDownFormSysParams, TObject)
 public:
  TDropDownFormSysParams() = default;
  bool FreeFormOnClose() const { return freeFormOnClose_; }
  void SetFreeFormOnClose(bool Value) { freeFormOnClose_ = Value; }

 private:
  bool freeFormOnClose_ = false;
};

// What a data-aware editor passes: itself and the button that dropped the form (nullptr for
// its built-in button).
class TEditControlDropDownFormSysParams : public TDropDownFormSysParams {
  RTL_CLASS(TEditControlDropDownFormSysParams, TDropDownFormSysParams)
 public:
  TEditControlDropDownFormSysParams() = default;
  TWinControl* EditControl() const { return editControl_; }
  void SetEditControl(TWinControl* Value) { editControl_ = Value; }
  TEditButtonEh* EditButton() const { return editButton_; }
  void SetEditButton(TEditButtonEh* Value) { editButton_ = Value; }

 private:
  TWinControl* editControl_ = nullptr;
  TEditButtonEh* editButton_ = nullptr;
};

// Called once when a non-modal drop-down form closes. The caller owns both parameter objects
// and may free them here.
using TDropDownFormCallbackProcEh = TEvent<void(TCustomForm* DropDownForm, bool Accept, TDynVarsEh* DynParams,
                                                TDropDownFormSysParams* SysParams)>;

// Offered by drop-down forms. DownButton is passed as nullptr by the callers.
class IDropDownFormEh : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{A665F4AE-003C-465E-95E9-B1061E9EAEF4}");

  // Shows the form next to RelativePosControl and runs a message loop until the form hides or
  // its modal result is set; on OK the form writes its values into DynParams. True on OK.
  virtual bool Execute(TControl* RelativePosControl, TControl* DownButton, TDropDownAlign Align,
                       TDynVarsEh* DynParams) = 0;
  virtual bool GetReadOnly() = 0;
  // Shows the form and returns at once. When the form closes it writes its values into
  // DynParams on OK, then calls CallbackProc once and forgets the parameters.
  virtual void ExecuteNomodal(TControl* RelativePosControl, TControl* DownButton, TDropDownAlign Align,
                              TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                              const TDropDownFormCallbackProcEh& CallbackProc) = 0;
  virtual void Close() = 0;
  virtual void SetReadOnly(bool Value) = 0;

 protected:
  ~IDropDownFormEh() override = default;
};

using TDropDownFormDynParamsEvent = TEvent<void(TCustomDropDownFormEh* Sender, TDynVarsEh* DynParams)>;

// Base of drop-down forms: a borderless tool form that drops next to its host, closes when it
// loses activation, and exchanges values through OnInitForm and OnReturnParams. Each form class
// keeps a shared instance: the first form of the class made registers itself unless the class
// answers false from KeepsSharedInstance.
class TCustomDropDownFormEh : public TForm, public IDropDownFormEh {
  RTL_CLASS(TCustomDropDownFormEh, TForm)
  RTL_INTERFACES(IDropDownFormEh)
 public:
  explicit TCustomDropDownFormEh(TComponent* AOwner);
  // A form without a description.
  TCustomDropDownFormEh(TComponent* AOwner, int Dummy);
  ~TCustomDropDownFormEh() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  static void DescribeClass(TClassBuilder<TCustomDropDownFormEh>& c);

  // The shared instance of a form class (nullptr until one is made).
  static TCustomDropDownFormEh* GetGlobalRef(TClass FormClass);
  template <class T>
  static T* GetGlobalRef() {
    return static_cast<T*>(GetGlobalRef(T::StaticClass()));
  }

  // --- IDropDownFormEh
  bool Execute(TControl* RelativePosControl, TControl* DownButton, TDropDownAlign Align,
               TDynVarsEh* DynParams) override;
  bool GetReadOnly() override { return readOnly_; }
  void ExecuteNomodal(TControl* RelativePosControl, TControl* DownButton, TDropDownAlign Align,
                      TDynVarsEh* DynParams, TDropDownFormSysParams* SysParams,
                      const TDropDownFormCallbackProcEh& CallbackProc) override;
  void Close() override { TCustomForm::Close(); }
  void SetReadOnly(bool Value) override;

  bool ReadOnly() const { return readOnly_; }
  // The parameters of the running call (nullptr between calls).
  TDynVarsEh* DynParams() const { return dynParams_; }
  TDropDownFormSysParams* SysParams() const { return sysParams_; }
  // A non-modal call is open.
  bool NomodalExecuting() const { return nomodal_; }

  // Loads the form from DynParams before it shows: OnInitForm.
  virtual void InitDataForm(TDynVarsEh* DynParams);
  // Writes the form's values into DynParams on OK: OnReturnParams.
  virtual void ReturnParams(TDynVarsEh* DynParams);

  TDropDownFormDynParamsEvent OnInitForm;
  TDropDownFormDynParamsEvent OnReturnParams;
  TNotifyEvent OnReadOnlyChanged;

  void WndProc(TMessage& Message) override;
  void WMActivate(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  // Escape closes the form without accepting.
  void KeyDown(WORD& Key, TShiftState Shift) override;

 protected:
  // False: forms of this class are not shared (the callers free them after use).
  virtual bool KeepsSharedInstance() const { return true; }
  // Moves the form next to the host by Align: below it, or above when the work area has no
  // room below, kept inside the work area.
  virtual void PlaceForm(TControl* RelativePosControl, TDropDownAlign Align);

 private:
  void InitDropDownForm();
  // Ends a non-modal call: values back on OK, the callback once, the parameters forgotten.
  void FinishNomodal(bool Accept);
  void StartWatching();
  void StopWatching();

  bool readOnly_ = false;
  bool nomodal_ = false;
  bool finishing_ = false;
  TDynVarsEh* dynParams_ = nullptr;
  TDropDownFormSysParams* sysParams_ = nullptr;
  TDropDownFormCallbackProcEh callback_;
  HHOOK hook_ = nullptr;
};
