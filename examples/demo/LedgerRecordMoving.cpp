// The ledger's entries moved by renumbering its order field.
#include "examples/demo/LedgerRecordMoving.h"

#include <set>
#include <vector>

#include "examples/demo/DemoSupport.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

struct TViewPlace {
  TBookmark bookmark;
  int seq;
};

// The records in view, in the ledger's order, with their numbers.
std::vector<TViewPlace> ReadView(TMemoryDataSet* Ledger) {
  std::vector<TViewPlace> view;
  TField* seq = Ledger->FieldByName(kLedgerSeqField);
  for (Ledger->First(); !Ledger->Eof(); Ledger->Next())
    view.push_back({Ledger->Bookmark(), seq->AsInteger()});
  return view;
}

}  // namespace

bool MoveLedgerEntries(TMemoryDataSet* Ledger, TBMListEh* Entries, int Target, bool CheckOnly) {
  // A title click sorted the ledger another way: a place in that order means nothing to Seq.
  if (!Ledger->Active() || Ledger->State() != dsBrowse || Ledger->IndexFieldNames() != kLedgerSeqField)
    return false;
  if (!Entries || Entries->Count() == 0 || Target < 1 || Target > Ledger->RecordCount() + 1) return false;
  if (CheckOnly) return true;

  Ledger->DisableControls();
  TScopeExit enable([Ledger] { Ledger->EnableControls(); });
  const std::vector<TViewPlace> view = ReadView(Ledger);
  // By their bytes: the list need not be sorted in the ledger's present order.
  std::set<TBookmark> listed;
  for (int i = 0; i < Entries->Count(); ++i) listed.insert(Entries->Item(i));
  // The new order: the others before the target, the moved ones, the others from the target on.
  std::vector<const TViewPlace*> before, moved, after;
  for (size_t i = 0; i < view.size(); ++i) {
    const bool beforeTarget = static_cast<int>(i) < Target - 1;
    (listed.contains(view[i].bookmark) ? moved : beforeTarget ? before : after).push_back(&view[i]);
  }
  if (moved.empty()) return false;
  std::vector<const TViewPlace*> order = before;
  order.insert(order.end(), moved.begin(), moved.end());
  order.insert(order.end(), after.begin(), after.end());

  // The records in view take their own numbers in the new order, so records a filter hides keep
  // theirs and each number stays unique.
  TField* seq = Ledger->FieldByName(kLedgerSeqField);
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i]->seq == view[i].seq) continue;
    Ledger->GotoBookmark(order[i]->bookmark);
    Ledger->Edit();
    TScopeFail cancel([Ledger] { Ledger->Cancel(); });
    seq->SetAsInteger(view[i].seq);
    Ledger->Post();
  }
  // The first moved entry becomes current, where the user dropped it.
  Ledger->GotoBookmark(moved.front()->bookmark);
  return true;
}
