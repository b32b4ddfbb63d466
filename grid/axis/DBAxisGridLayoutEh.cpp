// The axis grid's layout protocol: the two locks, the deferred layout message, and
// InternalLayout, which brings the columns in step with the field map.
#include "grid/axis/AxisGridRoutinesEh.h"
#include "grid/axis/DBAxisGridEh.h"
#include "platform/rtl/ScopeGuard.h"

// --- the locks ---------------------------------------------------------------------------------------

void TCustomDBAxisGridEh::LockLayoutChange() {
  if (layoutChangeLock_ == 0) layoutChangePending_ = false;
  ++layoutChangeLock_;
}

void TCustomDBAxisGridEh::UnlockLayoutChange() {
  // Released only by whoever took it: an unbalanced call changes nothing.
  if (layoutChangeLock_ == 0) return;
  --layoutChangeLock_;
  if (layoutChangeLock_ == 0 && layoutChangePending_) {
    layoutChangePending_ = false;
    LayoutChanged();
  }
}

void TCustomDBAxisGridEh::BeginLayout() {
  LockLayoutChange();
  if (layoutLock_ == 0) Columns()->BeginUpdate();
  ++layoutLock_;
}

void TCustomDBAxisGridEh::EndLayout() {
  if (layoutLock_ == 0) return;
  // The brackets close on every way out, also when InternalLayout raises.
  TScopeExit close([this] { CloseLayout(); });
  if (layoutLock_ == 1) InternalLayout();
}

void TCustomDBAxisGridEh::CancelLayout() {
  if (layoutLock_ == 0) return;
  CloseLayout();
}

void TCustomDBAxisGridEh::CloseLayout() {
  // Both locks go even when the columns' update raises, or the grid never lays out again; a
  // failed update drops the pending change first, so releasing does not run it again.
  TScopeExit release([this] {
    --layoutLock_;
    UnlockLayoutChange();
  });
  TScopeFail dropPending([this] { layoutChangePending_ = false; });
  if (layoutLock_ == 1) {
    Columns()->EndUpdate();
    layoutChangePending_ = false;
  }
}

bool TCustomDBAxisGridEh::AcquireLayout() {
  if (layoutLock_ != 0 || layoutChangeLock_ != 0) return false;
  BeginLayout();
  return true;
}

void TCustomDBAxisGridEh::LayoutChanged() {
  if (AcquireLayout())
    EndLayout();
  else if (layoutChangeLock_ > 0)
    layoutChangePending_ = true;
}

void TCustomDBAxisGridEh::PostLayoutChanged() {
  if (!HandleAllocated()) return;
  MSG queued{};
  if (PeekMessage(&queued, Handle(), WM_AXISGRID_DEFERRED_LAYOUT, WM_AXISGRID_DEFERRED_LAYOUT, PM_NOREMOVE))
    return;
  PostMessage(Handle(), WM_AXISGRID_DEFERRED_LAYOUT, GetDeferredLayoutParam(), 0);
}

void TCustomDBAxisGridEh::WMDeferredLayout(TMessage& Message) {
  if (AcquireLayout())
    EndLayout();
  else
    PostLayoutChanged();
}

void TCustomDBAxisGridEh::Loaded() {
  inherited::Loaded();
  LayoutChanged();
  // Once the window exists, one more layout follows.
  PostLayoutChanged();
}

// --- InternalLayout ---------------------------------------------------------------------------------

namespace axis_layout_detail {

bool FieldInMap(TAxisGridDataLinkEh* Link, TField* Field) {
  for (int i = 0; i < Link->FieldCount(); ++i)
    if (Link->Fields(i) == Field) return true;
  return false;
}

}  // namespace axis_layout_detail

void TCustomDBAxisGridEh::RemoveAutomaticBarsAmongPersistent() {
  TGridAxisBarsEh* bars = Columns();
  bool automaticSeen = false;
  for (int i = 0; i < bars->Count(); ++i) {
    if (bars->GetAxisBar(i)->IsAutomatic()) {
      automaticSeen = true;
      continue;
    }
    if (!automaticSeen) continue;
    for (int j = bars->Count() - 1; j >= 0; --j)
      if (bars->GetAxisBar(j)->IsAutomatic()) bars->GetAxisBar(j)->Free();
    return;
  }
}

void TCustomDBAxisGridEh::RebuildVisibleBars() {
  visibleBars_.Clear();
  TGridAxisBarsEh* bars = Columns();
  for (int i = 0; i < bars->Count(); ++i)
    if (bars->GetAxisBar(i)->Visible()) visibleBars_.Add(bars->GetAxisBar(i));
}

void TCustomDBAxisGridEh::InternalLayout() {
  using namespace axis_layout_detail;
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (HandleAllocated()) RemovePendingMessage(Handle(), WM_AXISGRID_DEFERRED_LAYOUT);
  TGridAxisBarsEh* bars = Columns();
  TAxisGridDataLinkEh* link = DataLink();
  if (bars->GetUpdateCount() > 0) RemoveAutomaticBarsAmongPersistent();
  link->ClearMapping();
  if (link->Active()) DefineFieldMap();
  if (!bars->IsPersistent()) {
    if (!link->Active() && link->GetDefaultFields()) {
      bars->Clear();
    } else {
      for (int j = bars->Count() - 1; j >= 0; --j) {
        TAxisBarEh* bar = bars->GetAxisBar(j);
        TField* field = bar->GetField();
        if (!field || !FieldInMap(link, field)) bar->Free();
      }
    }
    if (bars->IsAutomatic()) {
      int n = link->FieldCount();
      if (n == 0 && bars->Count() == 0) n = 1;
      for (int j = 0; j < n; ++j) {
        TField* field = link->Fields(j);
        TAxisBarEh* bar = nullptr;
        if (field) {
          for (int k = j; k < bars->Count() && !bar; ++k)
            if (bars->GetAxisBar(k)->GetField() == field) bar = bars->GetAxisBar(k);
          if (!bar) {
            bar = bars->AddAutomatic();
            bar->SetField(field);
          }
        } else {
          bar = bars->AddAutomatic();
        }
        bar->SetIndex(j);
      }
    } else if (!bars->KeepsOwnBars()) {
      bars->Clear();
      for (int j = 0; j < link->FieldCount(); ++j) bars->AddAutomatic()->SetField(link->Fields(j));
    } else if (bars->Count() == 0) {
      bars->AddAutomatic();
    }
  } else {
    bars->ResetFieldLinks();
  }
  RebuildVisibleBars();
}

void TCustomDBAxisGridEh::InvalidateRowCells(int ARow) {
  ::InvalidateRowCells(this, ARow);
}
