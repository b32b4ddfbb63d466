// Owner-drawn menu items of skinned forms: marking the form's menus owner-drawn, measuring items
// and painting them over the popup skinner's frame, and the form's WM_DRAWITEM / WM_MEASUREITEM
// for items of its window menu and its system menu.
#include <algorithm>
#include <map>

#include "platform/rtl/ScopeGuard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Painting.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDraw.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinManage.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSkinPopMenu.h"

namespace menu_items {
namespace {

constexpr int kCheckColumn = 16;       // the check column of a menu without images
constexpr int kCaptionGap = 2;         // between the column and the caption
constexpr int kShortCutInset = 10;     // the short cut ends this far before the item's edge
constexpr int kSeparatorLineTop = 4;   // the etched line of a separator, below the item's top
constexpr int kMenuTextLength = 80;    // the longest Win32 item text read
constexpr int kMainImagesGrowth = 10;  // width added to items of the window menu with images
constexpr int kPopupImagesGrowth = 12;
constexpr int kNoImagesGrowth = 35;
constexpr int kWin32TextGrowth = 26;
constexpr int kWin32EmptyHeight = 8;
constexpr int kMaxMenuDepth = 32;  // submenus nested deeper are left as they are

// The painters made for each skin data. Kept so that un-marking recognises and clears only the
// events marking set, never an item's own.
struct TItemPainters {
  TMenuDrawItemEvent Draw;
  TMenuMeasureItemEvent MainMeasure;
  TMenuMeasureItemEvent PopupMeasure;
};
std::map<TSkinData*, TItemPainters>& PainterTable() {
  static std::map<TSkinData*, TItemPainters> table;
  return table;
}

const TItemPainters& PaintersFor(TSkinData* Data) {
  auto [entry, added] = PainterTable().try_emplace(Data);
  if (added) {
    entry->second.Draw = [Data](TObject* Sender, TCanvas* Canvas, TRect Rect, bool Selected) {
      SkinMenuItemDraw(Data, dynamic_cast<TMenuItem*>(Sender), Canvas, Rect, Selected);
    };
    entry->second.MainMeasure = [Data](TObject* Sender, TCanvas* Canvas, int& Width, int& Height) {
      SkinMainMenuItemMeasure(Data, dynamic_cast<TMenuItem*>(Sender), Canvas, Width, Height);
    };
    entry->second.PopupMeasure = [Data](TObject* Sender, TCanvas* Canvas, int& Width, int& Height) {
      SkinPopupMenuItemMeasure(Data, dynamic_cast<TMenuItem*>(Sender), Canvas, Width, Height);
    };
  }
  return entry->second;
}

bool IsSkinDrawer(const TMenuDrawItemEvent& Event) {
  for (const auto& [data, painters] : PainterTable())
    if (Event == painters.Draw) return true;
  return false;
}

bool IsSkinMeasurer(const TMenuMeasureItemEvent& Event) {
  for (const auto& [data, painters] : PainterTable())
    if (Event == painters.MainMeasure || Event == painters.PopupMeasure) return true;
  return false;
}

// The MenuItem element when the skin has its image.
const TDataSkinObject* MenuItemElement(TSkinData* Data) {
  if (!Data || Data->Empty()) return nullptr;
  const TDataSkinObject* element = Data->Elements()->MenuItem.get();
  return element && element->Bitmap && !element->Bitmap->Empty() ? element : nullptr;
}

// A canvas over a device context for one owner-draw call.
class TItemDCCanvas {
 public:
  explicit TItemDCCanvas(HDC DC) : saved_(SaveDC(DC)), dc_(DC) { canvas_.SetHandle(DC); }
  ~TItemDCCanvas() {
    canvas_.SetHandle(nullptr);
    RestoreDC(dc_, saved_);
  }
  TItemDCCanvas(const TItemDCCanvas&) = delete;
  TItemDCCanvas& operator=(const TItemDCCanvas&) = delete;
  TCanvas* Get() { return &canvas_; }

 private:
  int saved_;
  HDC dc_;
  TCanvas canvas_;
};

void UseMenuFont(TCanvas* Canvas) {
  if (Screen && Screen->MenuFont()) Canvas->Font()->Assign(Screen->MenuFont());
}

// The system's pattern of checked buttons: button highlight and button face alternating.
void FillCheckedPattern(HDC DC, const TRect& R) {
  TBitmap pattern;
  pattern.SetSize(8, 8);
  HDC p = pattern.Canvas()->Handle();
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(p, x, y, (x + y) % 2 ? face : light);
  HBRUSH brush = CreatePatternBrush(pattern.Handle());
  if (!brush) return;
  TScopeExit drop([&] { DeleteObject(brush); });
  RECT r = R;
  FillRect(DC, &r, brush);
}

// The system check mark (black on white) centred in R, its black pixels in Colour.
void DrawCheckMark(HDC DC, const TRect& R, COLORREF Colour) {
  HBITMAP mark = LoadBitmap(nullptr, OBM_CHECK);
  if (!mark) return;
  TScopeExit dropMark([&] { DeleteObject(mark); });
  HDC source = CreateCompatibleDC(nullptr);
  if (!source) return;
  HGDIOBJ old = SelectObject(source, mark);
  TScopeExit dropSource([&] {
    SelectObject(source, old);
    DeleteDC(source);
  });
  BITMAP info{};
  GetObject(mark, sizeof info, &info);
  const int x0 = R.Left + (R.Width() - info.bmWidth) / 2, y0 = R.Top + (R.Height() - info.bmHeight) / 2;
  for (int y = 0; y < info.bmHeight; ++y)
    for (int x = 0; x < info.bmWidth; ++x)
      if (GetPixel(source, x, y) == 0) SetPixel(DC, x0 + x, y0 + y, Colour);
}

COLORREF TextColour(TSkinData* Data, const TMenuItem& Item, bool Selected) {
  const TSkinElements& skin = *Data->Elements();
  if (!Item.Enabled())
    return skin.ButtonShadow == skin.MenuTextColour ? GetSysColor(COLOR_BTNSHADOW)
                                                    : ColorToRGB(skin.ButtonShadow);
  return ColorToRGB(Selected ? skin.HilightTextColour : skin.MenuTextColour);
}

// Check mark or image, caption and short cut of an item on the item's own bitmap.
void DrawItemContent(TSkinData* Data, TMenuItem& Item, TCanvas* Canvas, const TRect& R, bool Selected,
                     bool RightToLeft) {
  HDC dc = Canvas->Handle();
  if (Item.IsLine()) {
    RECT line{R.Left, R.Top + kSeparatorLineTop, R.Right, R.Bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TCustomImageList* images = Item.GetImageList();
  const int column = images ? std::max(images->Width(), 0) : kCheckColumn;
  const TRect columnRect{R.Left, R.Top, R.Left + column, R.Bottom};
  const bool hasImage = images && Item.ImageIndex() >= 0 && Item.ImageIndex() < images->Count();
  if (hasImage) {
    if (Item.Checked()) {
      FillCheckedPattern(dc, columnRect);
      RECT edge = columnRect;
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
    images->Draw(Canvas, columnRect.Left + (column - images->Width()) / 2,
                 R.Top + (R.Height() - images->Height()) / 2, Item.ImageIndex(), Item.Enabled());
  } else if (Item.Checked()) {
    DrawCheckMark(dc, columnRect, GetSysColor(COLOR_BTNTEXT));
  }
  TFont* font = Canvas->Font();
  font->SetStyle(Item.Default() ? TFontStyles{fsBold} : TFontStyles{});
  font->SetColor(static_cast<TColor>(TextColour(Data, Item, Selected)));
  Canvas->Brush()->SetStyle(bsClear);
  TRect text{columnRect.Right + kCaptionGap, R.Top, R.Right, R.Bottom};
  Canvas->TextRect(text, Item.Caption(), TTextFormat{tfSingleLine, tfVerticalCenter, tfLeft});
  if (Item.ShortCut() != 0) {
    TRect shortCut{R.Left, R.Top, R.Right - kShortCutInset, R.Bottom};
    if (RightToLeft) shortCut = Rect(R.Left + kShortCutInset, R.Top, R.Right, R.Bottom);
    Canvas->TextRect(shortCut, ShortCutToText(Item.ShortCut()),
                     TTextFormat{tfSingleLine, tfVerticalCenter, RightToLeft ? tfLeft : tfRight, tfNoPrefix});
  }
}

// Paints Item into Rect of Canvas through an off-screen bitmap; Menu is the menu the item sits
// in, whose popup skinner's frame is the background.
void PaintSkinItem(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, bool Selected,
                   HMENU Menu, bool RightToLeft) {
  if (!Data || !Item || !Canvas) return;
  // An item larger than the screen is painted only as far as the screen reaches.
  const int w = std::min(Rect.Width(), GetSystemMetrics(SM_CXSCREEN));
  const int h = std::min(Rect.Height(), GetSystemMetrics(SM_CYSCREEN));
  if (w <= 0 || h <= 0) return;
  TSkinManage* manager = SkinManage();
  if (manager && Menu) manager->AssignPopupMenuHandle(Menu);
  TBitmap item;
  item.SetSize(w, h);
  TCanvas* canvas = item.Canvas();
  HDC dc = canvas->Handle();
  const TRect all{0, 0, w, h};
  const TSkinElements& skin = *Data->Elements();
  TBitmap* frame = manager && Menu ? manager->FindPopupFrame(Menu) : nullptr;
  if (frame && !frame->Empty()) {
    BitBlt(dc, 0, 0, w, h, frame->Canvas()->Handle(), Rect.Left + kSkinPopupFrame, Rect.Top + kSkinPopupFrame,
           SRCCOPY);
  } else {
    canvas->Brush()->SetColor(skin.MenuColour);
    canvas->FillRect(all);
  }
  if (const TDataSkinObject* element = MenuItemElement(Data)) {
    TBitmap* image = element->Bitmap.get();
    if (Item->IsLine())
      DrawThreePartTiled(canvas, all, image, false, true, element->FrameCount, 1, element->LeftWidth,
                         element->RightWidth);
    else
      DrawNinePart(dc, all, image, false, element->Tile == 1, element->Trans == 1, element->FrameCount,
                   Selected ? 4 : 1, element->LeftWidth, element->TopHeight, element->RightWidth,
                   element->BottomHeight);
  } else {
    // A skin without the element draws plain items in its menu colours, whatever the frame shows.
    canvas->Brush()->SetColor(Selected && !Item->IsLine() ? skin.HilightColour : skin.MenuColour);
    canvas->FillRect(all);
  }
  UseMenuFont(canvas);
  DrawItemContent(Data, *Item, canvas, all, Selected, RightToLeft);
  BitBlt(Canvas->Handle(), Rect.Left, Rect.Top, w, h, dc, 0, 0, SRCCOPY);
}

// The menu an item sits in: its parent's submenu, or the menu of a top-level item.
HMENU MenuOfItem(TMenuItem* Item) {
  TMenuItem* parent = Item ? Item->Parent() : nullptr;
  return parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

// A menu shown by a right-to-left window.
bool RightToLeftMenu(TMenuItem* Item) {
  TMenu* menu = Item ? Item->GetParentMenu() : nullptr;
  HWND window = menu ? menu->WindowHandle() : nullptr;
  return window && (GetWindowLong(window, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR);
}

// The item's own measuring, without the skin's measurer that may be installed on it.
void MeasureWithoutSkin(TMenuItem* Item, TCanvas* Canvas, int& Width, int& Height) {
  TMenuMeasureItemEvent saved = Item->OnMeasureItem;
  Item->OnMeasureItem = nullptr;
  TScopeExit restore([&] { Item->OnMeasureItem = saved; });
  Item->MeasureItem(Canvas, Width, Height);
}

void GrowForSkin(TSkinData* Data, TMenuItem* Item, int& Width, int WithImages) {
  if (const TDataSkinObject* element = MenuItemElement(Data)) Width += element->LeftWidth;
  Width += Item->GetImageList() ? WithImages : kNoImagesGrowth;
}

void ForEachItem(TMenuItem* Parent, bool Popup, TSkinData* Data, bool On, int Depth) {
  if (!Parent || Depth > kMaxMenuDepth) return;
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    // Marking keeps an item's own painter; un-marking clears only the skin's.
    if (!On || !item->OnDrawItem || Popup) SetSkinItemPainters(Data, item, Popup, On);
    ForEachItem(item, Popup, Data, On, Depth + 1);
  }
}

void MarkPopupsOf(TComponent* Owner, TSkinData* Data, bool On, int Depth) {
  if (!Owner || Depth > kMaxMenuDepth) return;
  for (int i = 0; i < Owner->ComponentCount(); ++i) {
    TComponent* component = Owner->Components(i);
    if (auto* popup = dynamic_cast<TPopupMenu*>(component)) {
      if (popup->Tag() == Data->DisableTag()) continue;
      popup->SetOwnerDraw(On);
      ForEachItem(popup->Items(), true, Data, On, 0);
    } else if (dynamic_cast<TCustomForm*>(component)) {
      MarkPopupsOf(component, Data, On, Depth + 1);
    }
  }
}

void MakeOwnerDraw(HMENU Menu, int Depth, TOwnerDrawMarks& Marks) {
  if (!IsMenu(Menu) || Depth > kMaxMenuDepth) return;
  const int count = GetMenuItemCount(Menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    if (!GetMenuItemInfo(Menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (!(info.fType & MFT_OWNERDRAW)) {
      info.fMask = MIIM_FTYPE;
      info.fType |= MFT_OWNERDRAW;
      if (SetMenuItemInfo(Menu, static_cast<UINT>(i), TRUE, &info))
        Marks.emplace_back(Menu, static_cast<UINT>(i));
    }
    if (info.hSubMenu) MakeOwnerDraw(info.hSubMenu, Depth + 1, Marks);
  }
}

// The text of a Win32 item, at most kMenuTextLength characters.
std::string Win32ItemText(HMENU Menu, UINT Id) {
  char buffer[kMenuTextLength + 1] = {};
  GetMenuString(Menu, Id, buffer, sizeof buffer, MF_BYCOMMAND);
  return buffer;
}

// A VCL item standing in for a Win32 item: caption up to the tab, the rest as its short cut.
void FillFromWin32(TMenuItem& Item, const std::string& Text, UINT ItemState) {
  const size_t tab = Text.find('\t');
  Item.SetCaption(Text.empty() ? cLineCaption : Text.substr(0, tab));
  if (tab != std::string::npos) Item.SetShortCut(TextToShortCut(Text.substr(tab + 1)));
  Item.SetEnabled(!(ItemState & (ODS_GRAYED | ODS_DISABLED)));
  Item.SetChecked((ItemState & ODS_CHECKED) != 0);
  Item.SetDefault((ItemState & ODS_DEFAULT) != 0);
}

}  // namespace
}  // namespace menu_items

void SetSkinItemPainters(TSkinData* Data, TMenuItem* Item, bool Popup, bool On) {
  if (!Item) return;
  if (!On) {
    if (menu_items::IsSkinDrawer(Item->OnDrawItem)) Item->OnDrawItem = nullptr;
    if (menu_items::IsSkinMeasurer(Item->OnMeasureItem)) Item->OnMeasureItem = nullptr;
    return;
  }
  if (!Data) return;
  const menu_items::TItemPainters& painters = menu_items::PaintersFor(Data);
  Item->OnDrawItem = painters.Draw;
  if (!Popup)
    Item->OnMeasureItem = painters.MainMeasure;
  else if (!Item->OnMeasureItem || menu_items::IsSkinMeasurer(Item->OnMeasureItem))
    Item->OnMeasureItem = painters.PopupMeasure;
}

void SkinMenuItemDraw(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, const TRect& Rect, bool Selected) {
  menu_items::PaintSkinItem(Data, Item, Canvas, Rect, Selected, menu_items::MenuOfItem(Item),
                            menu_items::RightToLeftMenu(Item));
}

void SkinMainMenuItemMeasure(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, int& Width, int& Height) {
  if (!Item || !Canvas) return;
  menu_items::UseMenuFont(Canvas);
  menu_items::MeasureWithoutSkin(Item, Canvas, Width, Height);
  menu_items::GrowForSkin(Data, Item, Width, menu_items::kMainImagesGrowth);
}

void SkinPopupMenuItemMeasure(TSkinData* Data, TMenuItem* Item, TCanvas* Canvas, int& Width, int& Height) {
  if (!Item) return;
  menu_items::GrowForSkin(Data, Item, Width, menu_items::kPopupImagesGrowth);
}

TOwnerDrawMarks MakeSubmenuOwnerDraw(HMENU Menu) {
  TOwnerDrawMarks marks;
  menu_items::MakeOwnerDraw(Menu, 0, marks);
  return marks;
}

void UnmarkSubmenuOwnerDraw(const TOwnerDrawMarks& Marks) {
  for (const auto& [menu, position] : Marks) {
    MENUITEMINFO info;
    info.fMask = MIIM_FTYPE;
    if (!IsMenu(menu) || !GetMenuItemInfo(menu, position, TRUE, &info) || !(info.fType & MFT_OWNERDRAW))
      continue;
    info.fType &= ~MFT_OWNERDRAW;
    SetMenuItemInfo(menu, position, TRUE, &info);
  }
}

void MarkMainMenusOwnerDraw(TWinSkinForm& Form, bool On) {
  TWinControl* control = Form.FormControl;
  TSkinData* data = Form.SkinData;
  if (!control || !data) return;
  if (On && !data->SkinControls().Contains(xcMenuItem)) return;
  for (int i = 0; i < control->ComponentCount(); ++i) {
    auto* menu = dynamic_cast<TMainMenu*>(control->Components(i));
    if (!menu) continue;
    menu->SetOwnerDraw(On);
    // Top-level items belong to the skinned bar.
    for (int top = 0; top < menu->Items()->Count(); ++top)
      menu_items::ForEachItem(menu->Items()->Items(top), false, data, On, 0);
  }
}

void MarkPopupMenusOwnerDraw(TWinSkinForm& Form, bool On) {
  TWinControl* control = Form.FormControl;
  TSkinData* data = Form.SkinData;
  if (!control || !data) return;
  if (On && !data->SkinControls().Contains(xcPopupMenu)) return;
  if (control->ClassName() == "TwwRichEditForm") return;
  menu_items::MarkPopupsOf(control, data, On, 0);
}

void MarkContainerPopupMenusOwnerDraw(TComponent* Container, TSkinData* Data, bool On) {
  if (!Container || !Data || (On && !Data->SkinControls().Contains(xcPopupMenu))) return;
  menu_items::MarkPopupsOf(Container, Data, On, 0);
}

namespace menu_items {
namespace {

// The item of the form's main menu with the command, or nullptr.
TMenuItem* WindowMenuItem(const TWinSkinForm& Form, UINT Command) {
  TMenu* menu = Form.MenuBar ? Form.MenuBar->VclMenu : nullptr;
  if (!menu)
    if (auto* form = dynamic_cast<TCustomForm*>(Form.FormControl)) menu = form->Menu();
  if (!menu || Command == 0 || Command > 0xFFFF) return nullptr;
  TMenuItem* item = menu->FindItem(Command, fkCommand);
  return item && item != menu->Items() ? item : nullptr;
}

// The first of the form's menus that holds the command.
HMENU MenuHolding(const TWinSkinForm& Form, UINT Command) {
  const HMENU candidates[] = {Form.TrackedSubmenu, Form.MenuBar ? Form.MenuBar->WindowMenu : nullptr,
                              Form.Menu, Form.SystemMenu};
  for (HMENU menu : candidates)
    if (menu && GetMenuState(menu, Command, MF_BYCOMMAND) != 0xFFFFFFFF) return menu;
  return nullptr;
}

}  // namespace
}  // namespace menu_items

bool TWinSkinForm::DrawMenuItem(DRAWITEMSTRUCT& Item) {
  if (Item.CtlType != ODT_MENU || !Item.hDC || !SkinData) return false;
  HMENU menu = reinterpret_cast<HMENU>(Item.hwndItem);
  const bool selected = (Item.itemState & ODS_SELECTED) != 0;
  menu_items::TItemDCCanvas canvas(Item.hDC);
  const TRect rect = Item.rcItem;
  if (TMenuItem* vcl = menu_items::WindowMenuItem(*this, Item.itemID)) {
    // An item with a painter of its own draws itself.
    if (vcl->OnDrawItem && !menu_items::IsSkinDrawer(vcl->OnDrawItem)) return false;
    menu_items::PaintSkinItem(SkinData, vcl, canvas.Get(), rect, selected, menu, RightToLeft);
    return true;
  }
  if (!IsMenu(menu)) menu = menu_items::MenuHolding(*this, Item.itemID);
  if (!menu) return false;
  TMenuItem stand(nullptr);
  menu_items::FillFromWin32(stand, menu_items::Win32ItemText(menu, Item.itemID), Item.itemState);
  menu_items::PaintSkinItem(SkinData, &stand, canvas.Get(), rect, selected, menu, RightToLeft);
  return true;
}

bool TWinSkinForm::MeasureMenuItem(MEASUREITEMSTRUCT& Item) {
  if (Item.CtlType != ODT_MENU || !SkinData) return false;
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  TScopeExit release([&] { ReleaseDC(nullptr, screen); });
  menu_items::TItemDCCanvas canvas(screen);
  menu_items::UseMenuFont(canvas.Get());
  int width = static_cast<int>(std::min<UINT>(Item.itemWidth, 0x7FFF));
  int height = static_cast<int>(std::min<UINT>(Item.itemHeight, 0x7FFF));
  if (TMenuItem* vcl = menu_items::WindowMenuItem(*this, Item.itemID)) {
    if (vcl->OnMeasureItem && !menu_items::IsSkinMeasurer(vcl->OnMeasureItem)) return false;
    SkinMainMenuItemMeasure(SkinData, vcl, canvas.Get(), width, height);
  } else {
    HMENU menu = menu_items::MenuHolding(*this, Item.itemID);
    if (!menu) return false;
    const std::string text = menu_items::Win32ItemText(menu, Item.itemID);
    const size_t tab = text.find('\t');
    const std::string label = StripHotkey(text.substr(0, tab));
    const std::string accel = tab == std::string::npos ? std::string() : text.substr(tab + 1);
    width = canvas.Get()->TextWidth(label) + menu_items::kWin32TextGrowth;
    if (!accel.empty()) width += canvas.Get()->TextWidth(accel) + 2 * menu_items::kShortCutInset;
    if (const TDataSkinObject* element = menu_items::MenuItemElement(SkinData)) width += element->LeftWidth;
    height = text.empty() ? menu_items::kWin32EmptyHeight : canvas.Get()->TextHeight("W") + 4;
  }
  Item.itemWidth = static_cast<UINT>(std::clamp(width, 0, 0x7FFF));
  Item.itemHeight = static_cast<UINT>(std::clamp(height, 0, 0x7FFF));
  return true;
}
