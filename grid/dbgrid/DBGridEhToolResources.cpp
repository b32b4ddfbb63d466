// The tool controls' resources module: its image lists, loaded from the drawn strips, and the
// one-item menu that copies a value the navigator put into the item's hint.
#include "grid/dbgrid/DBGridEhToolResources.h"

#include <string>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/vcl/Clipbrd.h"

RTL_IMPLEMENT_CLASS(TDBGridEhRes)

namespace dbgrid_tool_resources_detail {

TDBGridEhRes* gResources = nullptr;

TImageList* MakeList(TDBGridEhRes* Module, const char* Name, int Size, const char* Strip) {
  auto* list = new TImageList(Module);
  list->SetName(Name);
  list->SetHeight(Size);
  if (!list->GetResource(rtBitmap, Strip, Size, {}, clFuchsia))
    throw EResNotFound(std::string("Resource ") + Strip + " not found");
  return list;
}

}  // namespace dbgrid_tool_resources_detail

using dbgrid_tool_resources_detail::MakeList;

// Made without a description: the components are made here, in their declaration order.
TDBGridEhRes::TDBGridEhRes(TComponent* AOwner) : TDataModule(AOwner, 0) {
  SetName("DBGridEhRes");
  IMList10 = MakeList(this, "IMList10", 10, kToolGlyphStripNamesEh[0]);
  IMList10D = MakeList(this, "IMList10D", 10, kToolGlyphStripNamesEh[1]);
  IMList12_D = MakeList(this, "IMList12_D", 12, kToolGlyphStripNamesEh[2]);
  IMList12 = MakeList(this, "IMList12", 12, kToolGlyphStripNamesEh[3]);
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  Copy1 = new TMenuItem(this);
  Copy1->SetName("Copy1");
  Copy1->SetCaption("Copy");
  Copy1->OnClick = TNotifyEvent::Method(this, &TDBGridEhRes::Copy1Click, "Copy1Click");
  PopupMenu1->Items()->Add(Copy1);
  IMList10Bmp = MakeList(this, "IMList10Bmp", 10, kToolGlyphStripNamesEh[4]);
  IMList10DBmp = MakeList(this, "IMList10DBmp", 10, kToolGlyphStripNamesEh[5]);
}

TDBGridEhRes::~TDBGridEhRes() {
  // Freed by someone else (a test's reset frees every module without an owner): forget it.
  if (dbgrid_tool_resources_detail::gResources == this) dbgrid_tool_resources_detail::gResources = nullptr;
}

void TDBGridEhRes::Copy1Click(TObject*) {
  Clipboard()->SetAsText(Copy1->Hint());
}

TDBGridEhRes* DBGridEhRes() {
  return dbgrid_tool_resources_detail::gResources;
}

void CreateDBGridEhRes() {
  if (dbgrid_tool_resources_detail::gResources) return;
  RegisterDBGridEhToolGlyphs();
  dbgrid_tool_resources_detail::gResources = Construct<TDBGridEhRes>(nullptr);
}

void FreeDBGridEhRes() {
  TDBGridEhRes* module = dbgrid_tool_resources_detail::gResources;
  dbgrid_tool_resources_detail::gResources = nullptr;
  if (module) module->Free();
}

// --- the grid's side ---

void TCustomDBGridEh::SetCopyMenuHint(const std::string& Text) {
  if (TDBGridEhRes* module = DBGridEhRes()) module->Copy1->SetHint(Text);
}
