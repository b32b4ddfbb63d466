// TSkinStore and its collection: named skin files kept inside a window description.
#include "skin/WinSkinStore.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"

RTL_IMPLEMENT_CLASS(TSkinCollectionItem)
RTL_IMPLEMENT_CLASS(TSkinCollection)
RTL_IMPLEMENT_CLASS(TSkinStore)

// --- TSkinCollectionItem ----------------------------------------------------------------------

TSkinCollectionItem::TSkinCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), data_(std::make_unique<TMemoryStream>()) {
  name_ = "SkinItem" + std::to_string(ID());
}

TSkinCollectionItem::~TSkinCollectionItem() = default;

void TSkinCollectionItem::DescribeClass(TClassBuilder<TSkinCollectionItem>& c) {
  c.Property("Name", &TSkinCollectionItem::Name, &TSkinCollectionItem::SetName);
  c.Property("SkinData", &TSkinCollectionItem::SkinData, &TSkinCollectionItem::SetSkinData);
  c.Property("DataSize", &TSkinCollectionItem::DataSize);
}

void TSkinCollectionItem::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TSkinCollectionItem*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (source == this) return;
  SetName(source->name_);
  TMemoryStream* from = source->data_.get();
  const int64_t position = from->Position();
  TScopeExit restore([&] { from->SetPosition(position); });
  data_->Clear();
  data_->CopyFrom(from, 0);
  data_->SetPosition(0);
}

void TSkinCollectionItem::SetName(const std::string& Value) {
  if (Value == name_) return;
  if (auto* skins = dynamic_cast<TSkinCollection*>(Collection())) {
    const TSkinCollectionItem* holder = skins->FindName(Value);
    if (holder && holder != this) throw Exception("The name " + Value + " is already used.");
  }
  name_ = Value;
}

int TSkinCollectionItem::DataSize() const {
  return static_cast<int>(data_->Size());
}

// Always written, also when empty: a reader then knows the item carries no skin.
void TSkinCollectionItem::DefineProperties(TFiler& Filer) {
  inherited::DefineProperties(Filer);
  Filer.DefineBinaryProperty(
      "DataStream", [this](TStream& s) { ReadDataStream(s); }, [this](TStream& s) { WriteDataStream(s); },
      true);
}

void TSkinCollectionItem::ReadDataStream(TStream& Stream) {
  data_->Clear();
  data_->CopyFrom(&Stream, 0);
  data_->SetPosition(0);
}

void TSkinCollectionItem::WriteDataStream(TStream& Stream) {
  if (data_->Size() > 0) Stream.WriteBuffer(data_->Memory(), data_->Size());
}

// --- TSkinCollection ----------------------------------------------------------------------------

TSkinCollection::TSkinCollection(TSkinStore* Owner)
    : TOwnedCollection(Owner, TSkinCollectionItem::StaticClass()) {}

TSkinCollectionItem* TSkinCollection::FindName(const std::string& Name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Name() == Name) return Items(i);
  return nullptr;
}

// --- TSkinStore ---------------------------------------------------------------------------------

TSkinStore::TSkinStore(TComponent* AOwner)
    : TComponent(AOwner), store_(std::make_unique<TSkinCollection>(this)) {}

TSkinStore::~TSkinStore() = default;

void TSkinStore::DescribeClass(TClassBuilder<TSkinStore>& c) {
  c.Property("Store", &TSkinStore::Store, &TSkinStore::SetStore);
}

void TSkinStore::SetStore(TSkinCollection* Value) {
  if (Value) store_->Assign(Value);
}

void InitWinSkinStoreUnit() {
  RegisterClasses(
      {TSkinStore::StaticClass(), TSkinCollection::StaticClass(), TSkinCollectionItem::StaticClass()});
  RegisterSkinTrackResources();
}
