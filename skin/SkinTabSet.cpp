// The other tab skinners: old-style tab sets (a strip of tabs read from the control's published
// Tabs, TabIndex and TabPosition), the pages of page controls (the skin colour), and picture tabs
// (the tab frames rendered into the control's pictures).
#include <algorithm>
#include <array>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "skin/SkinComboEdit.h"
#include "skin/SkinTabs.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinStore.h"

RTL_IMPLEMENT_CLASS(TSkinTab31)
RTL_IMPLEMENT_CLASS(TSkinTabSheet)
RTL_IMPLEMENT_CLASS(TSkinAdvPage)

namespace skin_tab_set {

constexpr int kTabFrames = 5;
constexpr int kNormalTabFrame = 1;
constexpr int kSelectedTabFrame = 2;
// Old-style tabs: the first starts this far from the left; each is its text plus a pad a side.
constexpr int kTabSetStart = 4;
constexpr int kTabSetPad = 8;
// The size of the rendered picture tabs.
constexpr int kPictureTabWidth = 100;
constexpr int kPictureTabHeight = 21;
// The pictures of picture tabs: the normal tab, then the active one.
constexpr std::array<std::pair<int, const char*>, 2> kPictureTabs = {
    std::pair{kNormalTabFrame, "TabBackGround"}, std::pair{kSelectedTabFrame, "TabBackGroundActive"}};

bool HasImage(const TBitmap* Bitmap) {
  return Bitmap && !Bitmap->Empty();
}

bool IsGoing(const TComponent* Component) {
  return !Component || Component->ComponentState().Contains(csDestroying);
}

}  // namespace skin_tab_set

// --- TSkinTab31 -------------------------------------------------------------------------------------

TSkinTab31::TSkinTab31(TComponent* AOwner) : TSkinControl(AOwner), TabImage(std::make_unique<TBitmap>()) {}

TSkinTab31::~TSkinTab31() = default;

void TSkinTab31::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  auto* owner = dynamic_cast<TWinControl*>(Owner());
  if (Attached || !owner) return;
  AttachWindow(owner->Handle(), Data, AForm, ACanvas);
  if (!Attached) return;
  PrepareImage();
  UpDownSkinner = SkinUpDownChildOf(*this, UpDownSkinner);
}

bool TSkinTab31::TabsAtBottom() const {
  return LowerCase(GetPropText(Owner(), "TabPosition")) == "tpbottom";
}

void TSkinTab31::PrepareImage() {
  TabImage = std::make_unique<TBitmap>();
  ImageFlipped = false;
  const TSkinElements* skin = Elements();
  if (!skin || !skin->Tabs || !skin_tab_set::HasImage(skin->Tabs->Bitmap.get())) return;
  CopyBitmap(skin->Tabs->Bitmap.get(), TabImage.get());
  TabImage->SetPixelFormat(pf24bit);
  ImageFlipped = TabsAtBottom();
  if (ImageFlipped) FlipBitmap(TabImage.get());
}

void TSkinTab31::ApplySkinColor() {
  PrepareImage();
  TSkinControl::ApplySkinColor();
}

bool TSkinTab31::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  // Without tabs in the skin the control paints itself.
  const TSkinElements* skin = Elements();
  if (Message.Msg == WM_PAINT && (!skin || !skin->Tabs)) return true;
  return PaintInstead(Message);
}

void TSkinTab31::PaintSkin(HDC DC, const TRect& R) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  if (TabsAtBottom() != ImageFlipped) PrepareImage();
  const TDataSkinBorder* tabs = Elements() ? Elements()->Tabs.get() : nullptr;
  TObject* owner = Owner();
  WindowEnabled = IsWindowEnabled(Handle);

  TBitmap buffer;
  buffer.SetPixelFormat(pf24bit);
  buffer.SetSize(R.Width(), R.Height());
  TCanvas* canvas = buffer.Canvas();
  FillSkinColor(canvas->Handle(), TRect{0, 0, R.Width(), R.Height()});
  if (auto* font = GetObjectPropAs<TFont>(owner, "Font")) canvas->Font()->Assign(font);
  canvas->Font()->SetStyle({});

  auto* names = GetObjectPropAs<TStrings>(owner, "Tabs");
  if (tabs && names && skin_tab_set::HasImage(TabImage.get())) {
    const int64_t selected = GetIntProp(owner, "TabIndex");
    std::array<int, 4> margins = {tabs->LeftWidth, tabs->TopHeight, tabs->RightWidth, tabs->BottomHeight};
    if (ImageFlipped) std::swap(margins[1], margins[3]);
    int x = skin_tab_set::kTabSetStart;
    for (int i = 0; i < names->Count() && x < R.Width(); ++i) {
      const std::string text = names->Strings(i);
      const TRect tab{x, 0, x + canvas->TextWidth(text) + 2 * skin_tab_set::kTabSetPad, R.Height()};
      const bool isSelected = i == selected;
      DrawNinePart(canvas->Handle(), tab, TabImage.get(), false, tabs->Tile == 1, tabs->Trans == 1,
                   skin_tab_set::kTabFrames,
                   isSelected ? skin_tab_set::kSelectedTabFrame : skin_tab_set::kNormalTabFrame, margins[0],
                   margins[1], margins[2], margins[3]);
      canvas->Font()->SetColor(isSelected ? tabs->MouseOverColour2 : tabs->NormalColour2);
      DrawSkinText(canvas->Handle(), tab, text, DT_CENTER, WindowEnabled);
      x = tab.Right;
    }
  }
  BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), canvas->Handle(), 0, 0, SRCCOPY);
}

// --- TSkinTabSheet ----------------------------------------------------------------------------------

TSkinTabSheet::TSkinTabSheet(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinTabSheet::~TSkinTabSheet() = default;

bool TSkinTabSheet::BeforeMessage(TMessage& Message) {
  if (!TSkinControl::BeforeMessage(Message)) return false;
  if (OwnPaint) return true;
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      Message.Result = 1;
      RECT client;
      if (auto dc = reinterpret_cast<HDC>(Message.WParam); dc && GetClientRect(Handle, &client))
        FillSkinColor(dc, client);
      return false;
    }
    case WM_PAINT:
    case WM_PRINT:
      PaintFromMessage(Message);
      return false;
    default:
      return true;
  }
}

void TSkinTabSheet::PaintSkin(HDC DC, const TRect& R) {
  // A sheet that paints itself is not painted over after its own paint.
  if (OwnPaint) return;
  FillSkinColor(DC, R);
  // The sheet's labels and other windowless children still show.
  if (Control) Control->PaintControls(DC, nullptr);
}

// --- TSkinAdvPage -----------------------------------------------------------------------------------

TSkinAdvPage::TSkinAdvPage(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinAdvPage::~TSkinAdvPage() = default;

void TSkinAdvPage::AttachControl(TWinSkinForm* AForm, TSkinData* Data, bool AUseSkinColor, TCanvas* ACanvas) {
  if (Attached) return;
  TSkinControl::AttachControl(AForm, Data, AUseSkinColor, ACanvas);
  if (!Attached) return;
  if (Mode == kSkinAdvPagePictureMode) ApplyPictures();
  UpDownSkinner = SkinUpDownChildOf(*this, UpDownSkinner);
}

void TSkinAdvPage::Detach() {
  TSkinControl::Detach();
  if (Mode != kSkinAdvPagePictureMode || skin_tab_set::IsGoing(Control)) return;
  for (const auto& [frame, name] : skin_tab_set::kPictureTabs)
    if (auto* picture = GetObjectPropAs<TPicture>(Control, name)) picture->SetGraphic(nullptr);
}

void TSkinAdvPage::ApplySkinColor() {
  if (Mode == kSkinAdvPagePictureMode) ApplyPictures();
  TSkinControl::ApplySkinColor();
}

void TSkinAdvPage::ApplyPictures() {
  const TSkinElements* skin = Elements();
  const TDataSkinBorder* tabs = skin ? skin->Tabs.get() : nullptr;
  if (!tabs || !skin_tab_set::HasImage(tabs->Bitmap.get()) || skin_tab_set::IsGoing(Control)) return;
  const TRect area{0, 0, skin_tab_set::kPictureTabWidth, skin_tab_set::kPictureTabHeight};
  for (const auto& [frame, name] : skin_tab_set::kPictureTabs) {
    auto* picture = GetObjectPropAs<TPicture>(Control, name);
    if (!picture) continue;
    TBitmap tab;
    tab.SetPixelFormat(pf24bit);
    tab.SetSize(skin_tab_set::kPictureTabWidth, skin_tab_set::kPictureTabHeight);
    FillSkinColor(tab.Canvas()->Handle(), area);
    DrawElement(tab.Canvas()->Handle(), area, skin_tab_set::kTabFrames, frame, tabs);
    picture->SetGraphic(&tab);
  }
}
