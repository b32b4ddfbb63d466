#include "platform/rtl/Classes.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/rtl/Consistency.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

RTL_IMPLEMENT_CLASS(TPersistent)
RTL_IMPLEMENT_CLASS(TComponent)
RTL_IMPLEMENT_CLASS(TCollectionItem)
RTL_IMPLEMENT_CLASS(TCollection)
RTL_IMPLEMENT_CLASS(TOwnedCollection)
RTL_IMPLEMENT_CLASS(TInterfacedObject)

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Component names are identifiers of the description language, which are ASCII.
bool IsIdent(std::string_view s) {
  if (s.empty()) return false;
  auto lead = [](unsigned char c) { return std::isalpha(c) || c == '_'; };
  if (!lead(static_cast<unsigned char>(s[0]))) return false;
  return std::all_of(s.begin() + 1, s.end(), [&](char c) {
    return lead(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c));
  });
}

[[noreturn]] void ListIndexError(int index) {
  throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

// From the back: owners and collections free their members newest first.
template <class T>
void EraseOne(std::vector<T*>& list, T* item) {
  auto it = std::find(list.rbegin(), list.rend(), item);
  if (it != list.rend()) list.erase(std::next(it).base());
}

// The key of a component name in its owner's index (names are ASCII identifiers).
std::string NameKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

// Per-change checks stay cheap in debug builds while an owner is small.
constexpr size_t kOwnerCheckLimit = 64;

}  // namespace

TComponent* ObjectAsComponent(TObject* obj) {
  return dynamic_cast<TComponent*>(obj);
}
TCollection* ObjectAsCollection(TObject* obj) {
  return dynamic_cast<TCollection*>(obj);
}

// --- TPersistent -------------------------------------------------------------------------

void TPersistent::Assign(TPersistent* Source) {
  if (!Source) AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) {
  Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
  std::string sourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() {
  std::string result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    std::string ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) result = ownerPath + "." + result;
  }
  return result;
}

void TPersistent::DefineProperties(TFiler&) {}

// --- TComponent --------------------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (!AOwner) return;
  // Nobody may keep a pointer to an object that never finished construction.
  TScopeFail forget([this] {
    if (owner_) owner_->Remove(this);
    for (TComponent* client : freeNotifies_) client->RemoveNotification(this);
  });
  AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  RemoveFreeNotifications();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

// Clients hear of the removal here, while the object is still whole, when it is freed
// through Free(); a plain delete does the same from the destructor.
void TComponent::BeforeDestruction() {
  Destroying();
  RemoveFreeNotifications();
}

void TComponent::DescribeClass(TClassBuilder<TComponent>& c) {
  // The name travels in the object header of a description, not as a property.
  c.Property("Name", &TComponent::Name, &TComponent::SetName).StoredIf([](const TObject&) { return false; });
  c.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

void TComponent::SetName(const std::string& NewName) {
  if (name_ == NewName) return;
  if (!NewName.empty() && !IsIdent(NewName))
    throw EComponentError(QuotedInput(NewName) + " is not a valid component name");
  if (owner_)
    owner_->ValidateRename(this, name_, NewName);
  else
    ValidateRename(nullptr, name_, NewName);
  ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
  // Also reached from InsertComponent, before the newcomer is owned, so a named component
  // cannot join an owner that already has that name.
  if (AComponent && !SameName(CurName, NewName) && FindComponent(NewName))
    throw EComponentError("A component named " + NewName + " already exists");
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) ListIndexError(Index);
  return components_[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
  int current = ComponentIndex();
  if (current < 0) return;
  auto& list = owner_->components_;
  int last = static_cast<int>(list.size()) - 1;
  Value = std::clamp(Value, 0, last);
  if (Value == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  auto [first, last] = names_.equal_range(NameKey(AName));
  if (first == last) return nullptr;
  if (std::next(first) == last) return first->second;
  // A name given twice through ChangeName: the first in component order wins.
  for (TComponent* c : components_)
    if (SameName(c->name_, AName)) return c;
  return nullptr;
}

void TComponent::ChangeName(const std::string& NewName) {
  if (owner_) owner_->UnindexName(this);
  name_ = NewName;
  if (owner_) owner_->IndexName(this);
}

void TComponent::IndexName(TComponent* AComponent) {
  if (!AComponent->name_.empty()) names_.emplace(NameKey(AComponent->name_), AComponent);
}

void TComponent::UnindexName(TComponent* AComponent) {
  if (AComponent->name_.empty()) return;
  auto [first, last] = names_.equal_range(NameKey(AComponent->name_));
  for (auto it = first; it != last; ++it)
    if (it->second == AComponent) {
      names_.erase(it);
      return;
    }
}

void TComponent::SetListensForArrivals(bool Value) {
  if (listensForArrivals_ == Value) return;
  if (owner_) {
    if (Value)
      owner_->arrivalListeners_.push_back(this);
    else
      EraseOne(owner_->arrivalListeners_, this);
  }
  listensForArrivals_ = Value;
}

void TComponent::CheckConsistency() const {
  size_t named = 0, listening = 0;
  for (TComponent* c : components_) {
    CheckRule(c->owner_ == this, "TComponent", "owned component names another owner");
    if (c->listensForArrivals_) ++listening;
    if (c->name_.empty()) continue;
    ++named;
    auto [first, last] = names_.equal_range(NameKey(c->name_));
    CheckRule(std::any_of(first, last, [c](const auto& entry) { return entry.second == c; }), "TComponent",
              "named component missing from the name index");
  }
  CheckRule(names_.size() == named, "TComponent", "name index holds other components");
  CheckRule(arrivalListeners_.size() == listening, "TComponent", "arrival listeners miscounted");
  for (TComponent* c : arrivalListeners_)
    CheckRule(c->owner_ == this && c->listensForArrivals_, "TComponent",
              "arrival listener not a listening component");
}

void TComponent::SetSubComponent(bool IsSubComponent) {
  if (IsSubComponent)
    style_.Include(csSubComponent);
  else
    style_.Exclude(csSubComponent);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  AComponent->ValidateContainer(this);
  ValidateInsert(AComponent);
  if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
  ValidateRename(AComponent, "", AComponent->name_);
  Insert(AComponent);
  Broadcast(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->owner_ != this) return;
  ValidateRename(AComponent, AComponent->name_, "");
  Broadcast(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Broadcast(TComponent* AComponent, TOperation Operation) {
  Notification(AComponent, Operation);
  // A removal may concern every component that refers to the leaving one; an arrival only
  // the newcomer and those that asked.
  const bool arrival = Operation == opInsert;
  // An owner being destroyed has marked its components destroying too: like the ones it frees
  // itself, they need not hear of each other's going.
  if (!arrival && state_.Contains(csDestroying)) return;
  if (arrival && AComponent->owner_ == this) AComponent->Notification(AComponent, Operation);
  const std::vector<TComponent*>& list = arrival ? arrivalListeners_ : components_;
  // Backwards, re-checking the bound: a handler may free components of this owner.
  for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
    if (i >= static_cast<int>(list.size())) {
      i = static_cast<int>(list.size());
      continue;
    }
    TComponent* c = list[static_cast<size_t>(i)];
    if (c == AComponent) continue;
    c->Notification(AComponent, Operation);
  }
}

void TComponent::Insert(TComponent* AComponent) {
  components_.push_back(AComponent);
  AComponent->owner_ = this;
  {
    TScopeFail undo([&] {
      components_.pop_back();
      AComponent->owner_ = nullptr;
    });
    IndexName(AComponent);
  }
  if (AComponent->listensForArrivals_) {
    TScopeFail undo([&] { Remove(AComponent); });
    arrivalListeners_.push_back(AComponent);
  }
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, components_.size(), kOwnerCheckLimit);
}

void TComponent::Remove(TComponent* AComponent) {
  EraseOne(components_, AComponent);
  UnindexName(AComponent);
  if (AComponent->listensForArrivals_) EraseOne(arrivalListeners_, AComponent);
  AComponent->owner_ = nullptr;
  DEBUG_CHECK_CONSISTENCY_BOUNDED(*this, components_.size(), kOwnerCheckLimit);
}

void TComponent::FreeComponents(const std::vector<TComponent*>& Components) {
  for (TComponent* c : Components) c->Destroying();
  std::vector<TComponent*> owners;
  std::unordered_map<TComponent*, std::vector<TComponent*>> leaving;  // by owner, in creation order
  for (TComponent* c : Components) {
    if (!c->owner_) continue;
    std::vector<TComponent*>& list = leaving[c->owner_];
    if (list.empty()) owners.push_back(c->owner_);
    list.push_back(c);
  }
  for (TComponent* owner : owners) {
    const std::vector<TComponent*>& gone = leaving[owner];
    const std::unordered_set<TComponent*> goneSet(gone.begin(), gone.end());
    auto isGone = [&goneSet](TComponent* c) { return goneSet.count(c) != 0; };
    std::erase_if(owner->components_, isGone);
    std::erase_if(owner->arrivalListeners_, isGone);
    for (TComponent* c : gone) {
      owner->UnindexName(c);
      c->owner_ = nullptr;
    }
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) owner->Broadcast(*it, opRemove);
    DEBUG_CHECK_CONSISTENCY_BOUNDED(*owner, owner->components_.size(), kOwnerCheckLimit);
  }
  for (auto it = Components.rbegin(); it != Components.rend(); ++it) (*it)->Free();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    Remove(c);
    c->Free();
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent || AComponent == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
    freeNotifies_.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  EraseOne(freeNotifies_, AComponent);
  if (freeNotifies_.empty()) state_.Exclude(csFreeNotification);
}

void TComponent::RemoveFreeNotifications() {
  // Unlinked before the call, so a client that frees other clients leaves a consistent list.
  while (!freeNotifies_.empty()) {
    TComponent* client = freeNotifies_.back();
    freeNotifies_.pop_back();
    client->RemoveNotification(this);
    client->Notification(this, opRemove);
  }
  state_.Exclude(csFreeNotification);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
}

void TComponent::Loaded() {
  state_.Exclude(csLoading);
}

void TComponent::SetAncestor(bool on) {
  if (on)
    state_.Include(csAncestor);
  else
    state_.Exclude(csAncestor);
  for (TComponent* c : components_) c->SetAncestor(on);
}

HRESULT TComponent::QueryInterface(const TGUID& iid, void** obj) {
  void* p = nullptr;
  if (GetInterface(iid, p)) {
    if (obj) *obj = p;
    _AddRef();
    return S_OK;
  }
  if (obj) *obj = nullptr;
  return E_NOINTERFACE;
}

bool TComponent::GetInterface(const TGUID& iid, void*& obj) {
  if (iid == IInterface::IID) {
    obj = static_cast<IInterface*>(this);
    return true;
  }
  return inherited::GetInterface(iid, obj);
}

// --- TCollectionItem ---------------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) {
  SetCollection(Collection);
}

TCollectionItem::~TCollectionItem() {
  NotifyDeleting();
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::BeforeDestruction() {
  NotifyDeleting();
}

void TCollectionItem::NotifyDeleting() {
  if (deletingNotified_ || !collection_) return;
  deletingNotified_ = true;
  collection_->Notify(this, cnDeleting);
  collection_->Deleting(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (collection_ == Value) return;
  if (collection_) collection_->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  const auto& items = collection_->items_;
  auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int current = Index();
  if (current < 0 || current == Value) return;
  collection_->MoveItem(this, Value);
  Changed(true);
}

std::string TCollectionItem::GetDisplayName() const {
  return ClassName();
}

void TCollectionItem::SetDisplayName(const std::string&) {
  Changed(false);
}

TPersistent* TCollectionItem::GetOwner() {
  return collection_;
}

std::string TCollectionItem::GetNamePath() {
  if (!collection_) return ClassName();
  return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(AllItems ? nullptr : this);
}

// --- TCollection -------------------------------------------------------------------------

TCollection::TCollection(TClass ItemClass) : itemClass_(ItemClass) {}

TCollection::~TCollection() {
  // No Update calls while the items go; the derived part is already gone.
  updateCount_ = 1;
  while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_ || !itemClass_->Create || !itemClass_->InheritsFrom(TCollectionItem::StaticClass()))
    throw EListError("Invalid property value");
  TObject* created = itemClass_->Create(this);
  auto* item = dynamic_cast<TCollectionItem*>(created);
  if (!item) {
    delete created;
    throw EListError("Invalid property value");
  }
  // An item class whose constructor did not join the collection still belongs to it.
  if (item->collection_ != this) item->SetCollection(this);
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count()) ListIndexError(Index);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = Items(Index);
  item->NotifyDeleting();
  item->Free();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) ListIndexError(Index);
  return items_[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == ID) return item;
  return nullptr;
}

void TCollection::EndUpdate() {
  if (updateCount_ <= 0) return;
  if (--updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  TScopeExit endUpdate([this] { EndUpdate(); });
  Clear();
  for (TCollectionItem* item : source->items_) Add()->Assign(item);
}

std::string TCollection::GetNamePath() {
  std::string result = ClassName();
  TPersistent* owner = GetOwner();
  if (!owner) return result;
  std::string ownerPath = owner->GetNamePath();
  if (ownerPath.empty()) return result;
  std::string prop = propName_;
  if (prop.empty()) {
    // The published property of the owner that holds this collection.
    for (const TPropInfo* p : owner->ClassType()->AllProps())
      if (p->Kind == TTypeKind::tkClass && p->GetObj && p->GetObj(*owner) == this) {
        prop = p->Name;
        break;
      }
  }
  if (prop.empty()) return result;
  return ownerPath + "." + prop;
}

void TCollection::InsertItem(TCollectionItem* Item) {
  items_.push_back(Item);
  Item->collection_ = this;
  Item->id_ = nextId_++;
  SetItemName(Item);
  Notify(Item, cnAdded);
  Added(Item);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  EraseOne(items_, Item);
  Item->collection_ = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex) {
  if (NewIndex < 0 || NewIndex >= Count()) ListIndexError(NewIndex);
  EraseOne(items_, Item);
  items_.insert(items_.begin() + NewIndex, Item);
}

// --- TInterfacedObject -------------------------------------------------------------------

HRESULT TInterfacedObject::QueryInterface(const TGUID& iid, void** obj) {
  void* p = nullptr;
  if (GetInterface(iid, p)) {
    if (obj) *obj = p;
    _AddRef();
    return S_OK;
  }
  if (obj) *obj = nullptr;
  return E_NOINTERFACE;
}

int32_t TInterfacedObject::_Release() {
  int32_t count = --refCount_;
  if (count == 0) delete this;
  return count;
}

bool TInterfacedObject::GetInterface(const TGUID& iid, void*& obj) {
  if (iid == IInterface::IID) {
    obj = static_cast<IInterface*>(this);
    return true;
  }
  return inherited::GetInterface(iid, obj);
}
