#pragma once
// The tool controls' shared resources: one module made at start-up with the image lists of the
// navigator and search buttons (drawn by this library) and the one-item "Copy" menu through
// which the navigator copies an aggregate value.
//
// Files: DBGridEhToolResources.cpp (the module and its menu), DBGridEhToolImages.cpp (the drawn
// glyphs).
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"

// Glyph indexes of the 10 x 10 and 12 x 12 lists: 0-9 the navigator's buttons in TNavigateBtnEh
// order, then the search strip's: 10 cancel filter, 11 find next, 12 find prior, 13 options,
// 14 filter.
constexpr int kToolGlyphCountEh = 15;
constexpr int kToolGlyphCancelFilterEh = 10;
constexpr int kToolGlyphFilterEh = 14;

// The six glyph strips the lists load, in the lists' order (IMList10, IMList10D, IMList12_D,
// IMList12, IMList10Bmp, IMList10DBmp): resources of kind "BITMAP", fuchsia the mask colour.
inline constexpr const char* kToolGlyphStripNamesEh[6] = {"DBGRIDEHRESNAV10",    "DBGRIDEHRESNAV10D",
                                                          "DBGRIDEHRESNAV12D",   "DBGRIDEHRESNAV12",
                                                          "DBGRIDEHRESNAV10BMP", "DBGRIDEHRESNAV10DBMP"};
// Draws the strips into the resource registry, keeping any a program registered under those
// names (DBGridEhToolImages.cpp).
void RegisterDBGridEhToolGlyphs();

class TDBGridEhRes : public TDataModule {
  RTL_CLASS(TDBGridEhRes, TDataModule)
 public:
  // Makes the components and loads the lists from the strips (EResNotFound for a missing one).
  explicit TDBGridEhRes(TComponent* AOwner);
  ~TDBGridEhRes() override;
  // In declaration order.
  TImageList* IMList10 = nullptr;
  TImageList* IMList10D = nullptr;
  TImageList* IMList12_D = nullptr;
  TImageList* IMList12 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* Copy1 = nullptr;
  TImageList* IMList10Bmp = nullptr;
  TImageList* IMList10DBmp = nullptr;
  // Puts Copy1's hint on the clipboard as text.
  void Copy1Click(TObject* Sender);
};

// The module (nullptr before the start-up and after the finalization).
TDBGridEhRes* DBGridEhRes();
// Made by the grid unit's start-up (a repeat keeps the first) and freed by its finalization.
void CreateDBGridEhRes();
void FreeDBGridEhRes();
