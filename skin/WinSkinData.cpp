// TSkinData: construction, the published properties, the class-name rules and the services
// the skinners call.
#include "skin/WinSkinData.h"

#include "platform/rtl/Filer.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "skin/WinSkinChildren.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"

RTL_IMPLEMENT_CLASS(TSkinData)

namespace skin_data_detail {

// Control classes of other libraries and the skinner kind each is treated as. Duplicates are
// kept: the list is the published default.
constexpr const char* kDefaultSkin3rd[] = {
    "TPngBitBtn=pngbitbtn",
    "TVirtualStringTree=scrollbar",
    "TVirtualDrawTree=scrollbar",
    "TTBXDockablePanel=Panel",
    "TAdvPanelGroup=scrollbar",
    "TComboboxex=combobox",
    "TRxSpeedButton=speedbutton",
    "THTMLViewer=scrollbar",
    "TDBCtrlGrid=scrollbar",
    "TfrSpeedButton=speedbutton",
    "TfrTBButton=speedbutton",
    "TControlBar=Panel",
    "TTBDock=Panel",
    "TTBToolbar=Panel",
    "TImageEnMView=scrollbar",
    "TImageEnView=scrollbar",
    "TAdvMemo=scrollbar",
    "TDBAdvMemo=scrollbar",
    "TcxDBLookupComboBox=combobox",
    "TcxDBComboBox=combobox",
    "TcxDBDateEdit=combobox",
    "TcxDBImageComboBox=combobox",
    "TcxDBCalcEdit=combobox",
    "TcxDBBlobEdit=combobox",
    "TcxDBPopupEdit=combobox",
    "TcxDBFontNameComboBox=combobox",
    "TcxDBShellComboBox=combobox",
    "TRxLookupEdit=combobox",
    "TRxDBLookupCombo=combobox",
    "TRzGroup=panel",
    "TRzButton=button",
    "TRzBitbtn=bitbtn",
    "TRzMenuButton=menubtn",
    "TRzCheckGroup=CheckGroup",
    "TRzRadioGroup=Radiogroup",
    "TRzButtonEdit=Edit",
    "TRzDBRadioGroup=Radiogroup",
    "TRzDBRadioButton=Radiobutton",
    "TRzDateTimeEdit=combobox",
    "TRzColorEdit=combobox",
    "TRzDateTimePicker=combobox",
    "TRzDBDateTimeEdit=combobox",
    "TRzDbColorEdit=combobox",
    "TRzDBDateTimePicker=combobox",
    "TLMDButton=bitbtn",
    "TLMDGroupBox=Groupbox",
    "TDBCheckboxEh=Checkbox",
    "TDBCheckboxEh=Checkbox",
    "TLMDCHECKBOX=Checkbox",
    "TLMDDBCHECKBOX=Checkbox",
    "TLMDRadiobutton=Radiobutton",
    "TLMDCalculator=panel",
    "TLMDGROUPBOX=Panel",
    "TLMDSIMPLEPANEL=Panel",
    "TLMDDBCalendar=Panel",
    "TLMDButtonPanel=Panel",
    "TLMDLMDCalculator=Panel",
    "TLMDHeaderPanel=Panel",
    "TLMDTechnicalLine=Panel",
    "TLMDLMDClock=Panel",
    "TLMDTrackbar=panel",
    "TLMDListCombobox=combobox",
    "TLMDCheckListCombobox=combobox",
    "TLMDHeaderListCombobox=combobox",
    "TLMDImageCombobox=combobox",
    "TLMDColorCombobox=combobox",
    "TLMDFontCombobox=combobox",
    "TLMDFontSizeCombobox=combobox",
    "TLMDFontSizeCombobox=combobox",
    "TLMDPrinterCombobox=combobox",
    "TLMDDriveCombobox=combobox",
    "TLMDCalculatorComboBox=combobox",
    "TLMDTrackBarComboBox=combobox",
    "TLMDCalendarComboBox=combobox",
    "TLMDTreeComboBox=combobox",
    "TLMDRADIOGROUP=radiogroup",
    "TLMDCheckGroup=CheckGroup",
    "TLMDDBRADIOGROUP=radiogroup",
    "TLMDDBCheckGroup=CheckGroup",
    "TLMDCalculatorEdit=edit",
    "TLMDEDIT=Edit",
    "TLMDMASKEDIT=Edit",
    "TLMDBROWSEEDIT=Edit",
    "TLMDEXTSPINEDIT=Edit",
    "TLMDCALENDAREDIT=Edit",
    "TLMDFILEOPENEDIT=Edit",
    "TLMDFILESAVEEDIT=Edit",
    "TLMDCOLOREDIT=Edit",
    "TLMDDBEDIT=Edit",
    "TLMDDBMASKEDIT=Edit",
    "TLMDDBEXTSPINEDIT=Edit",
    "TLMDDBSPINEDIT=Edit",
    "TLMDDBEDITDBLookup=Edit",
    "TLMDEDITDBLookup=Edit",
    "TDBLookupCombobox=Combobox",
    "TWWDBCombobox=Combobox",
    "TWWDBLookupCombo=Combobox",
    "TWWDBCombobox=Combobox",
    "TWWKeyCombo=Combobox",
    "TWWTempKeyCombo=combobox",
    "TWWDBDateTimePicker=Combobox",
    "TWWRADIOGROUP=radiogroup",
    "TWWDBEDIT=Edit",
    "TcxButton=bitbtn",
    "TcxDBRadioGroup=radiogroup",
    "TcxRadioGroup=radiogroup",
    "TcxGroupbox=groupbox",
    "TOVCPICTUREFIELD=Edit",
    "TOVCDBPICTUREFIELD=Edit",
    "TOVCSLIDEREDIT=Edit",
    "TOVCDBSLIDEREDIT=Edit",
    "TOVCSIMPLEFIELD=Edit",
    "TOVCDBSIMPLEFIELD=Edit",
    "TO32DBFLEXEDIT=Edit",
    "TOVCNUMERICFIELD=Edit",
    "TOVCDBNUMERICFIELD=Edit",
};

TSkinControlTypes AllControlTypesButMenuItemAndReports() {
  TSkinControlTypes all;
  for (int i = 0; i <= static_cast<int>(xcFastReport); ++i) all.Include(static_cast<TSkinControlType>(i));
  return all - xcMenuItem - xcFastReport;
}

}  // namespace skin_data_detail

TSkinData::TSkinData(TComponent* AOwner)
    : TComponent(AOwner),
      skinControls_(skin_data_detail::AllControlTypesButMenuItemAndReports()),
      skin3rd_(std::make_unique<TStringList>()),
      skinStream_(std::make_unique<TMemoryStream>()),
      elements_(std::make_unique<TSkinElements>()),
      smallIcon_(std::make_unique<TBitmap>()),
      secondBitmap_(std::make_unique<TBitmap>()),
      menuGlyphs_(
          std::unique_ptr<TCustomImageList>(TImageList::CreateSize(kSkinMenuGlyphSize, kSkinMenuGlyphSize))) {
  for (const char* line : skin_data_detail::kDefaultSkin3rd) skin3rd_->Add(line);
  smallIcon_->SetPixelFormat(pf24bit);
  secondBitmap_->SetPixelFormat(pf24bit);
  LoadMenuGlyphs();
  maxWidth_ = GetSystemMetrics(SM_CXMAXIMIZED);
  maxHeight_ = GetSystemMetrics(SM_CYMAXIMIZED);
}

// The manager lets go of this data first: it detaches and frees the forms and popup skinners
// that use it, so nothing reads the elements freed below.
TSkinData::~TSkinData() {
  if (TSkinManage* manage = SkinManage()) manage->RemoveSkinData(this);
  if (backgroundBrush_) DeleteObject(backgroundBrush_);
}

void TSkinData::DescribeClass(TClassBuilder<TSkinData>& c) {
  // Every property is stored: none has a stream default.
  c.Property("Active", &TSkinData::Active, &TSkinData::SetActive).NoDefault();
  c.Property("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag).NoDefault();
  c.Property("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls).NoDefault();
  c.Property("Options", &TSkinData::Options, &TSkinData::SetOptions).NoDefault();
  c.Property("Skin3rd", &TSkinData::Skin3rd, &TSkinData::SetSkin3rd);
  c.Property(
      "SkinFile", [](const TSkinData& d) { return d.SkinFile(); },
      [](TSkinData& d, const std::string& v) { d.SetSkinFile(v); });
  c.Property("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore);
  c.Property("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype).NoDefault();
  c.Property("Version", &TSkinData::Version, &TSkinData::SetVersion);
  c.Property("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate).NoDefault();
  c.Property("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge).NoDefault();
  c.Property(
       "OnFormSkin", [](const TSkinData& d) -> const TOnFormSkin& { return d.OnFormSkin; },
       [](TSkinData& d, const TOnFormSkin& e) { d.OnFormSkin = e; })
      .OfType("TOnFormSkin");
  c.Property(
       "OnSkinChanged", [](const TSkinData& d) -> const TNotifyEvent& { return d.OnSkinChanged; },
       [](TSkinData& d, const TNotifyEvent& e) { d.OnSkinChanged = e; })
      .OfType("TNotifyEvent");
  c.Property(
       "OnSkinControl", [](const TSkinData& d) -> const TOnSkinControl& { return d.OnSkinControl; },
       [](TSkinData& d, const TOnSkinControl& e) { d.OnSkinControl = e; })
      .OfType("TOnSkinControl");
}

void TSkinData::SetSkin3rd(TStrings* Value) {
  if (Value) skin3rd_->Assign(Value);
}

void TSkinData::DoFormSkin(const std::string& ClassName, bool& DoSkin) {
  if (OnFormSkin) {
    OnFormSkin(this, ClassName, DoSkin);
    return;
  }
  if (ClassName == "SysMonthCal32") DoSkin = false;
  if (skinControls_.Contains(xcFastReport) && ClassName.starts_with("Tfr")) DoSkin = false;
}

bool TSkinData::SkinGetScrollBarInfo(HWND Wnd, LONG IdObject, SCROLLBARINFO* Info) {
  return GetScrollBarInfo(Wnd, IdObject, Info) != 0;
}

void TSkinData::SkinTrackMouseLeave(HWND Wnd) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = Wnd;
  TrackMouseEvent(&track);
}

int TSkinData::SkinDrawText(HDC DC, const std::string& Text, RECT& Rect, UINT Format) {
  return DrawText(DC, Text, &Rect, Format);
}

void InitWinSkinDataUnit() {
  RegisterClasses({TSkinData::StaticClass()});
  RegisterSkinMenuGlyphsResource();
  // A program that carries skin data gets skinned frames and child controls.
  InitWinSkinFormUnit();
  InitWinSkinChildrenUnit();
}
