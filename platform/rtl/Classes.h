#pragma once
// The component model: TPersistent (assignment and streaming hooks), TComponent (ownership,
// names, state, free notification) and collections of items.
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Liveness.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Set.h"

class TFiler;
class TReader;
class TWriter;
class TComponent;

class TPersistent : public TObject {
  RTL_CLASS(TPersistent, TObject)
 public:
  // Copies `Source` into this object. Falls back to Source->AssignTo(this); when neither
  // knows the other, raises EConvertError "Cannot assign a <Source class> to a <own class>"
  // ("Cannot assign a nil to a ..." for nullptr).
  virtual void Assign(TPersistent* Source);
  // "Owner.Name" path used in messages and by the designer-free streaming of collections.
  virtual std::string GetNamePath();
  // Properties that are not published but stream (TFiler::DefineProperty).
  virtual void DefineProperties(TFiler& Filer);
  virtual TPersistent* GetOwner() { return nullptr; }

 protected:
  virtual void AssignTo(TPersistent* Dest);
  [[noreturn]] void AssignError(TPersistent* Source);
};

enum class TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,  // never set: there is no design time
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;
using enum TComponentStateItem;

enum class TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;
using enum TComponentStyleItem;

enum TOperation { opInsert, opRemove };

// Horizontal alignment of text (controls, field columns).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
RTL_ENUM_INFO(TAlignment, "taLeftJustify", "taRightJustify", "taCenter");

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent, public virtual IInterface {
  RTL_CLASS(TComponent, TPersistent)
 public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  // Sets csDestroying (on owned components too) and tells every free-notification client
  // while the object is still whole; the owner and its components hear from the destructor.
  void BeforeDestruction() override;

  static void DescribeClass(TClassBuilder<TComponent>& c);  // Name (not stored), Tag

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // A valid identifier (or "") unique among the owner's components, ignoring case:
  // EComponentError "'%s' is not a valid component name" / "A component named %s already exists".
  virtual void SetName(const std::string& NewName);
  int Tag() const { return tag_; }
  void SetTag(int v) { tag_ = v; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int Index) const;  // EListError when out of range
  int ComponentIndex() const;
  void SetComponentIndex(int Value);
  TComponent* FindComponent(const std::string& AName) const;  // case-insensitive

  TComponentState ComponentState() const { return state_; }
  // Gone once the component is freed: a handler it calls may free it.
  TLivenessWatch Watch() const { return liveness_.Watch(); }
  TComponentStyle ComponentStyle() const { return style_; }
  void SetSubComponent(bool IsSubComponent);

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();
  // Frees `Components` (in creation order), newest first, as a failed read must. They are
  // marked destroying and taken out of their owners together: each owner and its remaining
  // components hear once of each leaving one, the leaving ones not of each other (as when an
  // owner frees its own), so that freeing many costs no more than creating them.
  static void FreeComponents(const std::vector<TComponent*>& Components);
  void Destroying();

  // `AComponent` is told (opRemove) when this component is freed, and vice versa.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Streaming hooks.
  virtual void Loaded();  // after the whole description is read: clears csLoading
  virtual void ReadState(TReader& Reader);
  virtual void WriteState(TWriter& Writer);
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root) {}
  virtual TComponent* GetChildOwner() { return nullptr; }
  virtual TComponent* GetChildParent() { return this; }
  virtual void SetChildOrder(TComponent* Child, int Order) {}
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual bool HasParent() const { return false; }
  virtual void SetParentComponent(TComponent* Value) {}
  TPersistent* GetOwner() override { return owner_; }
  std::string GetNamePath() override { return name_; }

  // State brackets used by the description reader and by BeginUpdate-like callers.
  void Loading() { state_.Include(csLoading); }
  void SetReading(bool on) { on ? state_.Include(csReading) : state_.Exclude(csReading); }
  void SetWriting(bool on) { on ? state_.Include(csWriting) : state_.Exclude(csWriting); }
  void SetAncestor(bool on);
  void SetInline(bool on) { on ? state_.Include(csInline) : state_.Exclude(csInline); }
  virtual void Updating() { state_.Include(csUpdating); }
  virtual void Updated() { state_.Exclude(csUpdating); }

  // IInterface without reference counting: the owner decides the lifetime.
  HRESULT QueryInterface(const TGUID& iid, void** obj) override;
  int32_t _AddRef() override { return -1; }
  int32_t _Release() override { return -1; }
  bool GetInterface(const TGUID& iid, void*& obj) override;

 protected:
  // Called on the owner and its components when a component leaves the owner, on the owner,
  // the newcomer and the components that listen for arrivals when one joins, and on
  // free-notification clients. The default drops a removed component's free notification.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Whether this component is told (opInsert) when its owner gains another component. Off by
  // default: a newcomer cannot be referred to yet, and telling every sibling would make
  // filling an owner quadratic.
  void SetListensForArrivals(bool Value);
  bool ListensForArrivals() const { return listensForArrivals_; }
  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  virtual void ValidateInsert(TComponent* AComponent) {}
  virtual void ValidateContainer(TComponent* AComponent) {}
  void ChangeName(const std::string& NewName);

 private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  // Notification to this owner and its components (not to AComponent itself on removal).
  void Broadcast(TComponent* AComponent, TOperation Operation);
  // Tells every free-notification client, unlinking both sides.
  void RemoveFreeNotifications();
  void IndexName(TComponent* AComponent);
  void UnindexName(TComponent* AComponent);

 public:
  // The name index holds exactly the named owned components, each under its upper-cased
  // name, and the listeners are the owned components that listen (EInternalError otherwise).
  void CheckConsistency() const;

 private:
  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  std::vector<TComponent*> components_;
  // Owned components by upper-cased name: names are checked and found without a scan. A
  // name may appear twice only when a derived class renamed through ChangeName.
  std::unordered_multimap<std::string, TComponent*> names_;
  std::vector<TComponent*> arrivalListeners_;  // owned components that listen for arrivals
  bool listensForArrivals_ = false;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_;
  TComponentStyle style_{csInheritable};
  TLiveness liveness_;
};

// --- collections ---------------------------------------------------------------------------

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
  RTL_CLASS(TCollectionItem, TPersistent)
 public:
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;  // leaves its collection
  // The collection hears cnDeleting while the item is still whole.
  void BeforeDestruction() override;

  TCollection* Collection() const { return collection_; }
  virtual void SetCollection(TCollection* Value);
  int ID() const { return id_; }
  int Index() const;
  virtual void SetIndex(int Value);
  std::string DisplayName() const { return GetDisplayName(); }
  virtual std::string GetDisplayName() const;  // the class name by default
  virtual void SetDisplayName(const std::string& Value);
  TPersistent* GetOwner() override;
  std::string GetNamePath() override;

 protected:
  // Tells the collection: Update(this) or, with AllItems, Update(nil).
  void Changed(bool AllItems);

 private:
  friend class TCollection;
  void NotifyDeleting();
  TCollection* collection_ = nullptr;
  int id_ = 0;
  bool deletingNotified_ = false;
};

class TCollection : public TPersistent {
  RTL_CLASS(TCollection, TPersistent)
 public:
  // `ItemClass` must inherit TCollectionItem and be creatable.
  explicit TCollection(TClass ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int Index) const;  // EListError "List index out of bounds (%d)"
  void SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
  TCollectionItem* FindItemID(int ID) const;
  TClass ItemClass() const { return itemClass_; }

  virtual void BeginUpdate() { ++updateCount_; }
  virtual void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Replaces the items with copies of `Source`'s (same count, each item assigned).
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override { return nullptr; }
  std::string GetNamePath() override;
  std::string PropName() const { return propName_; }
  void SetPropName(const std::string& v) { propName_ = v; }

 protected:
  // Update(nil) means every item changed; not called while UpdateCount > 0.
  virtual void Update(TCollectionItem* Item) {}
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
  virtual void Added(TCollectionItem* Item) {}
  virtual void Deleting(TCollectionItem* Item) {}
  void Changed();
  virtual void SetItemName(TCollectionItem* Item) {}

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void MoveItem(TCollectionItem* Item, int NewIndex);

  TClass itemClass_;
  std::vector<TCollectionItem*> items_;
  int updateCount_ = 0;
  int nextId_ = 0;
  std::string propName_;
};

// A collection that reports an owner (for name paths and streaming).
class TOwnedCollection : public TCollection {
  RTL_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), owner_(AOwner) {}
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};

// A reference-counted object: freed when the last interface reference is released.
class TInterfacedObject : public TObject, public virtual IInterface {
  RTL_CLASS(TInterfacedObject, TObject)
 public:
  HRESULT QueryInterface(const TGUID& iid, void** obj) override;
  int32_t _AddRef() override { return ++refCount_; }
  int32_t _Release() override;
  int32_t RefCount() const { return refCount_; }
  bool GetInterface(const TGUID& iid, void*& obj) override;

 private:
  int32_t refCount_ = 0;
};

// Components and interfaced objects are both TObjects and IInterfaces; these pick the
// object form of Supports (asked through GetInterface, no reference added) so that a call
// such as Supports<IFoo>(grid) is not ambiguous.
template <class I>
I* Supports(TComponent* obj) {
  return Supports<I>(static_cast<TObject*>(obj));
}
template <class I>
I* Supports(TInterfacedObject* obj) {
  return Supports<I>(static_cast<TObject*>(obj));
}
