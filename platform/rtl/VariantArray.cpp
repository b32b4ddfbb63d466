// Variant arrays: creation with bounds per dimension, checked element access,
// copy-on-write and the compact byte array.
#include <algorithm>
#include <memory>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/VariantInternal.h"

using A = VariantAccess;

namespace {

constexpr size_t kMaxDimensions = 64;
// Bounds come from streams too; refuse sizes no real table needs instead of allocating.
constexpr uint64_t kMaxArrayBytes = uint64_t{1} << 30;

bool IsValidElementType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varDispatch:
    case varError:
    case varBoolean:
    case varVariant:
    case varUnknown:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varString:
      return true;
    default:
      return false;
  }
}

Variant InitialElement(TVarType t) {
  switch (t) {
    case varVariant:
      return Variant();
    case varSingle:
      return Variant(0.0f);
    case varDouble:
    case varDate:
      return A::MakeDouble(t, 0.0);
    case varOleStr:
      return Variant(std::u16string());
    case varString:
      return Variant(std::string());
    case varUnknown:
      return Variant(static_cast<IInterface*>(nullptr));
    case varDispatch:
      return Variant::FromDispatch(nullptr);
    default:
      return A::MakeInt(t, 0);
  }
}

[[noreturn]] void CreateError() {
  throw EVariantError("Error creating variant or safe array");
}

[[noreturn]] void DepthError() {
  throw EVariantError("Variant arrays nested more than " + std::to_string(MaxVarArrayDepth) + " levels deep");
}

int DepthOf(const Variant& v) {
  return v.IsArray() ? A::Array(v).depth : 0;
}

// Walks the whole value, so only for one whose recorded depth reaches the limit; the
// recursion stays within that depth.
int ExactDepth(const Variant& v) {
  if (!v.IsArray()) return 0;
  const VarArrayPayload& a = A::Array(v);
  int deepest = 0;
  if (a.depth > 1)
    for (const Variant& item : a.items) deepest = std::max(deepest, ExactDepth(item));
  return deepest + 1;
}

// The depth of a value about to become an element; raises when the holder would pass the limit.
int ElementDepth(const Variant& v) {
  int depth = DepthOf(v);
  if (depth >= MaxVarArrayDepth && (depth = ExactDepth(v)) >= MaxVarArrayDepth) DepthError();
  return depth;
}

int DepthHolding(const std::vector<Variant>& items) {
  int deepest = 0;
  for (const Variant& item : items) deepest = std::max(deepest, ElementDepth(item));
  return deepest + 1;
}

std::unique_ptr<VarArrayPayload> NewArray(const std::vector<VarArrayBound>& bounds, TVarType elementType) {
  if (!IsValidElementType(elementType)) VarInvalidTypeError();
  uint64_t total = 1;
  for (const VarArrayBound& b : bounds) {
    if (b.count < 0) CreateError();
    total *= static_cast<uint64_t>(b.count);
    if (total > kMaxArrayBytes) CreateError();
  }
  uint64_t elementSize = elementType == varByte ? 1 : sizeof(Variant);
  if (total * elementSize > kMaxArrayBytes) CreateError();
  auto p = std::make_unique<VarArrayPayload>();
  p->elementType = elementType;
  p->bounds = bounds;
  if (elementType == varByte)
    p->bytes.assign(total, 0);
  else
    p->items.assign(total, InitialElement(elementType));
  return p;
}

Variant AdoptArray(std::unique_ptr<VarArrayPayload> p) {
  TVarType t = varArray | p->elementType;
  return A::Adopt(t, p.release());
}

const VarArrayPayload& ArrayOf(const Variant& v) {
  if (!v.IsArray()) VarNotArrayError();
  return A::Array(v);
}

// The storage position of `indexes`; raises when one lies outside its bounds.
size_t FlatIndex(const VarArrayPayload& a, const int* indexes, size_t n) {
  if (n != a.bounds.size()) VarBadIndexError();
  size_t flat = 0;
  for (size_t d = 0; d < n; ++d) {
    int64_t offset = static_cast<int64_t>(indexes[d]) - a.bounds[d].low;
    if (offset < 0 || offset >= a.bounds[d].count) VarBadIndexError();
    flat = flat * static_cast<size_t>(a.bounds[d].count) + static_cast<size_t>(offset);
  }
  return flat;
}

const VarArrayBound& BoundOf(const Variant& v, int dim) {
  const VarArrayPayload& a = ArrayOf(v);
  if (dim < 1 || static_cast<size_t>(dim) > a.bounds.size()) VarBadIndexError();
  return a.bounds[static_cast<size_t>(dim) - 1];
}

// Converts before anything changes, so that a failed conversion leaves the array as it was.
void Put(Variant& self, const int* indexes, size_t n, const Variant& value) {
  const VarArrayPayload& current = ArrayOf(self);
  size_t flat = FlatIndex(current, indexes, n);
  Variant stored = current.elementType == varVariant ? value : VarAsType(value, current.elementType);
  const int storedDepth = ElementDepth(stored);
  VarArrayPayload& a = A::MutableArray(self);
  if (a.elementType == varByte) {
    a.bytes[flat] = static_cast<uint8_t>(A::I64(stored));
    return;
  }
  a.items[flat] = std::move(stored);
  a.depth = std::max(a.depth, storedDepth + 1);
}

}  // namespace

VarArrayPayload& VariantAccess::MutableArray(Variant& v) {
  auto* p = static_cast<VarArrayPayload*>(v.r_.tagged.v.payload);
  if (p->refs.load(std::memory_order_acquire) == 1) return *p;
  auto copy = std::make_unique<VarArrayPayload>();
  copy->elementType = p->elementType;
  copy->depth = p->depth;
  copy->bounds = p->bounds;
  copy->items = p->items;
  copy->bytes = p->bytes;
  VarArrayPayload& result = *copy;
  v.r_.tagged.v.payload = copy.release();
  if (p->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete p;
  return result;
}

Variant VarArrayFlatGet(const VarArrayPayload& a, size_t i) {
  return a.elementType == varByte ? Variant::FromByte(a.bytes[i]) : a.items[i];
}

std::string VarBytesAsString(const Variant& v) {
  const VarArrayPayload& a = A::Array(v);
  return std::string(a.bytes.begin(), a.bytes.end());
}

Variant VarArrayConvert(const Variant& v, TVarType elementType) {
  const VarArrayPayload& source = A::Array(v);
  auto p = NewArray(source.bounds, elementType);
  size_t n = source.Count();
  for (size_t i = 0; i < n; ++i) {
    Variant converted = VarAsType(VarArrayFlatGet(source, i), elementType);
    if (elementType == varByte)
      p->bytes[i] = static_cast<uint8_t>(A::I64(converted));
    else
      p->items[i] = std::move(converted);
  }
  if (elementType == varVariant) p->depth = source.depth;
  return AdoptArray(std::move(p));
}

Variant VarArrayCreate(std::initializer_list<int> bounds, TVarType elementType) {
  if (bounds.size() == 0 || bounds.size() % 2 != 0 || bounds.size() / 2 > kMaxDimensions)
    throw EVariantError("Invalid argument");
  std::vector<VarArrayBound> dims;
  for (auto it = bounds.begin(); it != bounds.end(); it += 2) {
    int64_t count = static_cast<int64_t>(it[1]) - it[0] + 1;
    if (count < 0 || count > INT32_MAX) CreateError();
    dims.push_back({it[0], static_cast<int>(count)});
  }
  return AdoptArray(NewArray(dims, elementType));
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::vector<Variant>(values.begin(), values.end()));
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  if (values.size() > kMaxArrayBytes / sizeof(Variant)) CreateError();
  auto p = std::make_unique<VarArrayPayload>();
  p->elementType = varVariant;
  p->depth = DepthHolding(values);
  p->bounds = {{0, static_cast<int>(values.size())}};
  p->items = values;
  return AdoptArray(std::move(p));
}

Variant VarArrayFromBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > kMaxArrayBytes) CreateError();
  auto p = std::make_unique<VarArrayPayload>();
  p->elementType = varByte;
  p->bounds = {{0, static_cast<int>(bytes.size())}};
  p->bytes = bytes;
  return AdoptArray(std::move(p));
}

int Variant::DimCount() const {
  return static_cast<int>(ArrayOf(*this).bounds.size());
}

int Variant::LowBound(int dim) const {
  return BoundOf(*this, dim).low;
}

int Variant::HighBound(int dim) const {
  const VarArrayBound& b = BoundOf(*this, dim);
  return static_cast<int>(static_cast<int64_t>(b.low) + b.count - 1);
}

TVarType Variant::ElementType() const {
  return ArrayOf(*this).elementType;
}

Variant Variant::GetElement(int index) const {
  const VarArrayPayload& a = ArrayOf(*this);
  return VarArrayFlatGet(a, FlatIndex(a, &index, 1));
}

Variant Variant::GetElement(const std::vector<int>& indexes) const {
  const VarArrayPayload& a = ArrayOf(*this);
  return VarArrayFlatGet(a, FlatIndex(a, indexes.data(), indexes.size()));
}

void Variant::PutElement(int index, const Variant& value) {
  Put(*this, &index, 1, value);
}

void Variant::PutElement(const std::vector<int>& indexes, const Variant& value) {
  Put(*this, indexes.data(), indexes.size(), value);
}

std::vector<uint8_t> Variant::ArrayBytes() const {
  const VarArrayPayload& a = ArrayOf(*this);
  if (a.elementType != varByte) VarCastError(VarType(), varArray | varByte);
  return a.bytes;
}

int VarArrayDimCount(const Variant& v) {
  return v.DimCount();
}
int VarArrayLowBound(const Variant& v, int dim) {
  return v.LowBound(dim);
}
int VarArrayHighBound(const Variant& v, int dim) {
  return v.HighBound(dim);
}
