// TReader: values, properties and components from the binary description form. The stream is
// untrusted: every length is checked against what is left before anything is allocated,
// nesting and counts are bounded, and a failure frees what the reader created.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

static_assert(std::endian::native == std::endian::little, "the binary form is little-endian");

RTL_IMPLEMENT_CLASS(TFiler)
RTL_IMPLEMENT_CLASS(TReader)

namespace {

constexpr int kMaxDepth = 256;
constexpr int64_t kMaxItems = 1000000;
constexpr int64_t kMaxString = 16 * 1024 * 1024;
constexpr int64_t kMaxBinary = int64_t(1) << 30;

// A property failure that OnError has already declined: enclosing properties pass it on
// as it is instead of wrapping it and offering it again.
class EPropertyReadError : public EReadError {
 public:
  using EReadError::EReadError;
};

// The components whose Loaded is due, in reading order; roots are called last.
struct TLoadedList {
  std::vector<TComponent*> Items;
  std::vector<TComponent*> Roots;
  std::unordered_set<TComponent*> Members;  // Items and Roots, for constant-time lookups

  bool Contains(TComponent* c) const { return Members.count(c) != 0; }
  void Add(TComponent* c) {
    if (Members.insert(c).second) Items.push_back(c);
  }
  void AddRoot(TComponent* c) {
    if (Members.insert(c).second) Roots.push_back(c);
  }
  void RemoveAll(const std::unordered_set<TComponent*>& gone) {
    auto isGone = [&](TComponent* c) { return gone.count(c) != 0; };
    std::erase_if(Items, isGone);
    std::erase_if(Roots, isGone);
    for (TComponent* c : gone) Members.erase(c);
  }
  void CallLoaded() {
    // Copies: a Loaded may start another read that adds to a global list.
    std::vector<TComponent*> items = Items, roots = Roots;
    for (TComponent* c : items) c->Loaded();
    for (TComponent* c : roots) c->Loaded();
  }
};

thread_local std::vector<std::unique_ptr<TLoadedList>> globalLoading;

}  // namespace

void BeginGlobalLoading() {
  globalLoading.push_back(std::make_unique<TLoadedList>());
}

void NotifyGlobalLoading() {
  if (!globalLoading.empty()) globalLoading.back()->CallLoaded();
}

void EndGlobalLoading() {
  if (!globalLoading.empty()) globalLoading.pop_back();
}

TFiler::TFiler(TStream& Stream, int BufSize) : stream_(Stream), bufSize_(BufSize > 16 ? BufSize : 4096) {}

// --- reader state ------------------------------------------------------------------------

struct TReader::State {
  // A collection item the reader created. Clearing its collection frees it (and every item
  // nested in it), so the node is marked dead and references waiting inside it are dropped.
  struct ItemNode {
    bool Dead = false;
    std::shared_ptr<ItemNode> Parent;  // the item this one is nested in
  };
  // A component reference to set once every component of the description exists.
  struct Fixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;
    std::shared_ptr<ItemNode> Item;  // the innermost item the instance lives in, if any
    bool Live = true;                // false once the property was read again
  };
  struct KeyHash {
    size_t operator()(const std::pair<TPersistent*, const TPropInfo*>& k) const {
      return std::hash<const void*>()(k.first) * 31 + std::hash<const void*>()(k.second);
    }
  };
  std::vector<Fixup> Fixups;  // in reading order
  std::unordered_map<std::pair<TPersistent*, const TPropInfo*>, size_t, KeyHash> FixupIndex;
  bool FixupsOpen = false;
  // Items whose properties are being read, innermost last.
  std::vector<std::pair<TCollectionItem*, std::shared_ptr<ItemNode>>> ItemStack;
  std::unordered_map<TCollectionItem*, std::shared_ptr<ItemNode>> ItemNodes;
  std::vector<TComponent*> Created;  // in creation order, for the cleanup on failure
  TLoadedList* Loaded = nullptr;

  static bool IsDead(const ItemNode* node) {
    for (; node; node = node->Parent.get())
      if (node->Dead) return true;
    return false;
  }
};

TCounterScope<int> TReader::Nest() {
  if (depth_ >= kMaxDepth) LimitError("Description nested too deeply");
  return TCounterScope<int>(depth_);
}

TReader::TReader(TStream& Stream, int BufSize) : TFiler(Stream, BufSize), st_(std::make_unique<State>()) {
  buf_.resize(static_cast<size_t>(bufSize_));
}

TReader::~TReader() {
  if (bufEnd_ > bufPos_) {
    try {
      stream_.Seek(bufPos_ - bufEnd_, soCurrent);
    } catch (...) {  // a destructor must not throw; the position is then past the read-ahead
    }
  }
}

// --- errors ------------------------------------------------------------------------------

void TReader::FormatError() {
  fatal_ = true;
  throw EReadError("Invalid stream format");
}

void TReader::ReadError() {
  fatal_ = true;
  throw EReadError("Stream read error");
}

void TReader::LimitError(const char* What) {
  fatal_ = true;
  throw EReadError(What);
}

void TReader::PropValueError() {
  throw EReadError("Invalid property value");
}

bool TReader::Error(const std::string& Message) {
  bool handled = false;
  OnError(this, Message, handled);
  return handled;
}

// --- raw bytes ---------------------------------------------------------------------------

bool TReader::FillBuffer() {
  if (bufPos_ < bufEnd_) return true;
  int64_t n = stream_.Read(buf_.data(), static_cast<int64_t>(buf_.size()));
  bufPos_ = 0;
  bufEnd_ = n > 0 ? n : 0;
  return bufEnd_ > 0;
}

uint8_t TReader::PeekByte() {
  if (!FillBuffer()) ReadError();
  return buf_[static_cast<size_t>(bufPos_)];
}

void TReader::Read(void* Buffer, int64_t Count) {
  if (Count < 0) ReadError();
  auto* out = static_cast<uint8_t*>(Buffer);
  while (Count > 0) {
    if (!FillBuffer()) ReadError();
    int64_t n = std::min(Count, bufEnd_ - bufPos_);
    std::memcpy(out, buf_.data() + bufPos_, static_cast<size_t>(n));
    bufPos_ += n;
    out += n;
    Count -= n;
  }
}

// Refuses a length that the rest of the stream cannot hold, before anything is allocated.
void TReader::CheckRemaining(int64_t Count) {
  int64_t buffered = bufEnd_ - bufPos_;
  if (Count <= buffered) return;
  int64_t rest = stream_.Size() - stream_.Position();
  if (Count - buffered > rest) ReadError();
}

int64_t TReader::Position() {
  return stream_.Position() - (bufEnd_ - bufPos_);
}

void TReader::SetPosition(int64_t Value) {
  stream_.SetPosition(Value);
  bufPos_ = bufEnd_ = 0;
}

int32_t TReader::ReadLength(int64_t UnitSize, int64_t Limit) {
  int32_t n;
  Read(&n, 4);
  if (n < 0) FormatError();
  if (n > Limit) LimitError("Value too large in description");
  CheckRemaining(n * UnitSize);
  return n;
}

// --- values ------------------------------------------------------------------------------

TValueType TReader::ReadValue() {
  uint8_t b;
  Read(&b, 1);
  if (b > vaDouble) FormatError();
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  uint8_t b = PeekByte();
  if (b > vaDouble) FormatError();
  return static_cast<TValueType>(b);
}

void TReader::CheckValue(TValueType Value) {
  if (ReadValue() != Value) PropValueError();
}

bool TReader::EndOfList() {
  return PeekByte() == vaNull;
}

void TReader::ReadListBegin() {
  CheckValue(vaList);
}

void TReader::ReadListEnd() {
  CheckValue(vaNull);
}

std::string TReader::ReadStr() {
  uint8_t n;
  Read(&n, 1);
  std::string s(n, '\0');
  Read(s.data(), n);
  return s;
}

void TReader::ReadSignature() {
  char sig[4];
  Read(sig, 4);
  if (std::memcmp(sig, "TPF0", 4) != 0) FormatError();
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& AChildPos) {
  Flags = TFilerFlags();
  uint8_t b = PeekByte();
  if ((b & 0xF0) != 0xF0) return;
  ++bufPos_;
  uint8_t bits = b & 0x0F;
  if (bits > 7) FormatError();
  Flags = TFilerFlags::FromUInt(bits);
  if (Flags.Contains(ffChildPos)) {
    TValueType t = NextValue();
    if (t != vaInt8 && t != vaInt16 && t != vaInt32) FormatError();
    AChildPos = ReadInteger();
  }
}

int32_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8: {
      int8_t v;
      Read(&v, 1);
      return v;
    }
    case vaInt16: {
      int16_t v;
      Read(&v, 2);
      return v;
    }
    case vaInt32: {
      int32_t v;
      Read(&v, 4);
      return v;
    }
    default:
      PropValueError();
  }
}

Int64 TReader::ReadInt64() {
  if (NextValue() != vaInt64) return ReadInteger();
  ReadValue();
  int64_t v;
  Read(&v, 8);
  return v;
}

std::string TReader::ReadString() {
  switch (ReadValue()) {
    case vaString: {
      uint8_t n;
      Read(&n, 1);
      std::string s(n, '\0');
      Read(s.data(), n);
      return s;
    }
    case vaLString:
    case vaUTF8String: {
      int32_t n = ReadLength(1, kMaxString);
      std::string s(static_cast<size_t>(n), '\0');
      Read(s.data(), n);
      return s;
    }
    case vaWString: {
      int32_t n = ReadLength(2, kMaxString / 2);
      std::u16string w(static_cast<size_t>(n), u'\0');
      Read(w.data(), int64_t(n) * 2);
      return Utf16ToUtf8(w);
    }
    default:
      PropValueError();
  }
}

std::u16string TReader::ReadWideString() {
  if (NextValue() != vaWString) return Utf8ToUtf16(ReadString());
  ReadValue();
  int32_t n = ReadLength(2, kMaxString / 2);
  std::u16string w(static_cast<size_t>(n), u'\0');
  Read(w.data(), int64_t(n) * 2);
  return w;
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case vaTrue:
      return true;
    case vaFalse:
      return false;
    default:
      PropValueError();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return "False";
    case vaTrue:
      return "True";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    default:
      PropValueError();
  }
}

namespace {

// The magnitudes from which a value rounds to infinity in the narrower types.
constexpr long double kDoubleOverflow = (2.0L - 0x1p-53L) * 0x1p1023L;
constexpr long double kSingleOverflow = (2.0L - 0x1p-24L) * 0x1p127L;

bool FitsDouble(Extended v) {
  return std::fabs(v) < kDoubleOverflow;
}

bool IsDateTypeName(const std::string& typeName) {
  return SameText(typeName, "TDateTime") || SameText(typeName, "TDate") || SameText(typeName, "TTime");
}

}  // namespace

// NaN and infinities are refused wherever they come from: no property holds them, and the
// text form would write them as words that no reader takes back.
Extended TReader::ReadFloat() {
  Extended v = 0;
  switch (NextValue()) {
    case vaExtended: {
      ReadValue();
      long double x = 0;
      Read(&x, 10);
      v = x;
      break;
    }
    case vaDouble:
    case vaDate: {
      ReadValue();
      double x;
      Read(&x, 8);
      v = x;
      break;
    }
    case vaSingle: {
      ReadValue();
      float x;
      Read(&x, 4);
      v = x;
      break;
    }
    case vaCurrency: {
      ReadValue();
      int64_t raw;
      Read(&raw, 8);
      return Currency::FromRaw(raw).ToExtended();
    }
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
      return static_cast<Extended>(ReadInt64());
    default:
      ReadValue();
      PropValueError();
  }
  if (!std::isfinite(v)) PropValueError();
  return v;
}

Single TReader::ReadSingle() {
  if (NextValue() != vaSingle) {
    Extended v = ReadFloat();
    if (!(std::fabs(v) < kSingleOverflow)) PropValueError();
    return static_cast<Single>(v);
  }
  ReadValue();
  float v;
  Read(&v, 4);
  if (!std::isfinite(v)) PropValueError();
  return v;
}

Currency TReader::ReadCurrency() {
  if (NextValue() != vaCurrency) {
    Extended v = ReadFloat();
    try {
      return Currency::FromExtended(v);
    } catch (const EOverflow&) {
      PropValueError();
    }
  }
  ReadValue();
  int64_t raw;
  Read(&raw, 8);
  return Currency::FromRaw(raw);
}

TDateTime TReader::ReadDate() {
  if (NextValue() != vaDate) {
    Extended v = ReadFloat();
    if (!FitsDouble(v)) PropValueError();
    return static_cast<TDateTime>(v);
  }
  ReadValue();
  double v;
  Read(&v, 8);
  if (!std::isfinite(v)) PropValueError();
  return v;
}

char TReader::ReadChar() {
  std::string s = ReadString();
  if (s.size() != 1) PropValueError();
  return s[0];
}

Variant TReader::ReadVariant() {
  return ReadVariantValue(false);
}

// A Null inside a list is stored as the identifier Null: the Null tag would end the list.
Variant TReader::ReadVariantValue(bool InList) {
  switch (NextValue()) {
    case vaNil:
      ReadValue();
      return Variant();
    case vaNull:
      ReadValue();
      return Null();
    case vaList: {
      ReadValue();
      auto nest = Nest();
      std::vector<Variant> items;
      while (!EndOfList()) {
        if (++items_ > kMaxItems) LimitError("Too many values in description");
        items.push_back(ReadVariantValue(true));
      }
      ReadListEnd();
      return VarArrayOf(items);
    }
    case vaInt8:
      return Variant::FromShortInt(static_cast<ShortInt>(ReadInteger()));
    case vaInt16:
      return Variant::FromSmallint(static_cast<Smallint>(ReadInteger()));
    case vaInt32:
      return Variant(ReadInteger());
    case vaInt64:
      return Variant(static_cast<long long>(ReadInt64()));
    case vaExtended:
    case vaDouble: {
      Extended v = ReadFloat();
      if (!FitsDouble(v)) PropValueError();
      return Variant(static_cast<double>(v));
    }
    case vaSingle:
      return Variant(ReadSingle());
    case vaCurrency:
      return Variant(ReadCurrency());
    case vaDate:
      return Variant::FromDate(ReadDate());
    case vaFalse:
    case vaTrue:
      return Variant(ReadBoolean());
    case vaString:
    case vaLString:
    case vaUTF8String:
      return Variant(ReadString());
    case vaWString:
      return Variant(ReadWideString());
    case vaIdent: {
      ReadValue();
      std::string ident = ReadStr();
      if (InList && SameText(ident, "Null")) return Null();
      PropValueError();
    }
    default:
      ReadValue();
      PropValueError();
  }
}

void TReader::SkipValue() {
  auto skip = [this](int64_t n) {
    CheckRemaining(n);
    while (n > 0) {
      if (!FillBuffer()) ReadError();
      int64_t k = std::min(n, bufEnd_ - bufPos_);
      bufPos_ += k;
      n -= k;
    }
  };
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      break;
    case vaList: {
      auto nest = Nest();
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    }
    case vaInt8:
      skip(1);
      break;
    case vaInt16:
      skip(2);
      break;
    case vaInt32:
    case vaSingle:
      skip(4);
      break;
    case vaInt64:
    case vaCurrency:
    case vaDate:
    case vaDouble:
      skip(8);
      break;
    case vaExtended:
      skip(10);
      break;
    case vaString:
    case vaIdent: {
      uint8_t n;
      Read(&n, 1);
      skip(n);
      break;
    }
    case vaLString:
    case vaUTF8String:
      skip(ReadLength(1, kMaxString));
      break;
    case vaWString:
      skip(int64_t(ReadLength(2, kMaxString / 2)) * 2);
      break;
    case vaBinary:
      skip(ReadLength(1, kMaxBinary));
      break;
    case vaSet:
      while (!ReadStr().empty()) {
      }
      break;
    case vaCollection: {
      auto nest = Nest();
      while (!EndOfList()) {
        TValueType t = NextValue();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();
        if (ReadValue() != vaList) FormatError();
        while (!EndOfList()) SkipProperty();
        ReadListEnd();
      }
      ReadListEnd();
      break;
    }
  }
}

void TReader::SkipProperty() {
  if (++items_ > kMaxItems) LimitError("Too many properties in description");
  ReadStr();
  SkipValue();
}

void TReader::SkipComponent(bool SkipHeader) {
  auto nest = Nest();
  if (SkipHeader) {
    TFilerFlags flags;
    int pos = 0;
    ReadPrefix(flags, pos);
    ReadStr();
    ReadStr();
  }
  while (!EndOfList()) SkipProperty();
  ReadListEnd();
  while (!EndOfList()) SkipComponent(true);
  ReadListEnd();
}

// --- defined properties ------------------------------------------------------------------

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (!ReadData || propName_.empty() || !SameText(Name, propName_)) return;
  ReadData(*this);
  propName_.clear();
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&,
                                   bool) {
  if (!ReadData || propName_.empty() || !SameText(Name, propName_)) return;
  if (ReadValue() != vaBinary) PropValueError();
  int32_t n = ReadLength(1, kMaxBinary);
  TMemoryStream data;
  data.SetSize(n);
  Read(data.Memory(), n);
  data.SetPosition(0);
  propName_.clear();
  ReadData(data);
}

// --- properties --------------------------------------------------------------------------

void TReader::ReadProperty(TPersistent* Instance) {
  if (++items_ > kMaxItems) LimitError("Too many properties in description");
  std::string path = ReadStr();
  int64_t valueStart = Position();
  try {
    TPersistent* target = Instance;
    size_t start = 0;
    for (;;) {
      size_t dot = path.find('.', start);
      std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
      const TPropInfo* prop = target->ClassType()->FindProp(name);
      if (!prop) {
        // Not published: DefineProperties may know it, dotted rest included.
        propName_ = path.substr(start);
        target->DefineProperties(*this);
        if (!propName_.empty()) {
          std::string unknown = propName_;
          propName_.clear();
          throw EReadError("Property " + unknown + " does not exist");
        }
        break;
      }
      if (dot == std::string::npos) {
        ReadPropValue(target, prop);
        break;
      }
      TPersistent* next = nullptr;
      if (prop->Kind == TTypeKind::tkClass && prop->GetObj)
        next = dynamic_cast<TPersistent*>(prop->GetObj(*target));
      if (!next) throw EReadError("Invalid property path");
      target = next;
      start = dot + 1;
    }
  } catch (const EPropertyReadError&) {
    throw;
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    propName_.clear();
    if (fatal_) throw;
    TComponent* comp = ObjectAsComponent(Instance);
    std::string who = comp && !comp->Name().empty() ? comp->Name() : Instance->ClassName();
    std::string message = "Error reading " + who + "." + path + ": " + e.Message();
    if (!Error(message)) throw EPropertyReadError(message);
    // Skipped: go back to the value and step over it whole, however far the failure got.
    SetPosition(valueStart);
    SkipValue();
  }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* Prop) {
  TObject& obj = *Instance;
  if (Prop->Kind != TTypeKind::tkClass && !Prop->IsWritable()) throw EReadError("Property is read-only");
  switch (Prop->Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64: {
      int64_t value = 0;
      if (NextValue() == vaIdent) {
        std::string ident = ReadIdent();
        if (!Prop->Idents || !Prop->Idents->ToInt(ident, value)) PropValueError();
      } else {
        value = Prop->Kind == TTypeKind::tkInt64 ? ReadInt64() : ReadInteger();
      }
      Prop->SetOrd(obj, value);
      break;
    }
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
      Prop->SetOrd(obj, static_cast<unsigned char>(ReadChar()));
      break;
    case TTypeKind::tkEnumeration: {
      std::string ident = ReadIdent();
      int value = Prop->Enum ? Prop->Enum->IndexOf(ident) : -1;
      if (value < 0) PropValueError();
      Prop->SetOrd(obj, value);
      break;
    }
    case TTypeKind::tkSet: {
      if (ReadValue() != vaSet) PropValueError();
      uint64_t bits = 0;
      bool bad = !Prop->Enum;
      for (;;) {
        std::string name = ReadStr();
        if (name.empty()) break;
        int index = Prop->Enum ? Prop->Enum->IndexOf(name) : -1;
        if (index < 0 || index >= 64)
          bad = true;
        else
          bits |= uint64_t(1) << index;
      }
      if (bad) PropValueError();
      Prop->SetOrd(obj, static_cast<int64_t>(bits));
      break;
    }
    case TTypeKind::tkFloat: {
      // Read as the type the writer stores, so that what is read can be written back.
      const std::string& type = Prop->TypeName;
      Extended value = SameText(type, "Single")     ? ReadSingle()
                       : SameText(type, "Currency") ? ReadCurrency().ToExtended()
                       : IsDateTypeName(type)       ? ReadDate()
                                                    : ReadFloat();
      if (!SameText(type, "Extended") && !FitsDouble(value)) PropValueError();
      Prop->SetFloat(obj, value);
      break;
    }
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
      Prop->SetStr(obj, ReadString());
      break;
    case TTypeKind::tkWString:
      Prop->SetWStr(obj, ReadWideString());
      break;
    case TTypeKind::tkVariant:
      Prop->SetVar(obj, ReadVariant());
      break;
    case TTypeKind::tkMethod: {
      if (NextValue() == vaNil) {
        ReadValue();
        Prop->SetMethod(obj, std::any());
        break;
      }
      if (NextValue() != vaIdent) PropValueError();
      std::any handler = FindMethodHandler(ReadIdent());
      if (!Prop->SetMethod(obj, handler)) PropValueError();
      break;
    }
    case TTypeKind::tkClass: {
      TValueType t = NextValue();
      if (t == vaCollection) {
        ReadValue();
        TCollection* collection = Prop->GetObj ? ObjectAsCollection(Prop->GetObj(obj)) : nullptr;
        if (!collection) PropValueError();
        ReadCollection(collection);
        break;
      }
      if (t != vaNil && t != vaIdent) PropValueError();
      if (!Prop->SetObj) throw EReadError("Property is read-only");
      if (t == vaNil) {
        ReadValue();
        RemoveFixup(Instance, Prop);
        Prop->SetObj(obj, nullptr);
      } else {
        std::string name = ReadIdent();
        if (!Prop->PropClass || !Prop->PropClass->InheritsFrom(TComponent::StaticClass())) PropValueError();
        AddFixup(Instance, Prop, name);
      }
      break;
    }
    default:
      PropValueError();
  }
}

std::any TReader::FindMethodHandler(const std::string& Name) {
  std::any handler;
  bool error = true;
  TComponent* root = lookupRoot_ ? lookupRoot_ : root_;
  if (root) {
    if (const TMethodInfo* m = root->ClassType()->FindMethod(Name)) {
      handler = m->Bind(*root);
      error = false;
    }
  }
  OnFindMethod(this, Name, handler, error);
  if (error) PropValueError();
  return handler;
}

// --- component references ----------------------------------------------------------------

void TReader::AddFixup(TPersistent* Instance, const TPropInfo* Prop, const std::string& Name) {
  RemoveFixup(Instance, Prop);
  if (!st_->FixupsOpen) return;  // no description being read: nothing could resolve it
  st_->FixupIndex[{Instance, Prop}] = st_->Fixups.size();
  st_->Fixups.push_back(
      {Instance, Prop, Name, st_->ItemStack.empty() ? nullptr : st_->ItemStack.back().second});
}

// An address may be reused by a new object once its item was freed; the fixup found then
// is dead already, so dropping it does no harm.
void TReader::RemoveFixup(TPersistent* Instance, const TPropInfo* Prop) {
  auto it = st_->FixupIndex.find({Instance, Prop});
  if (it == st_->FixupIndex.end()) return;
  st_->Fixups[it->second].Live = false;
  st_->FixupIndex.erase(it);
}

// Clearing a collection frees its items: references waiting to be set in them must go.
void TReader::DropItemFixups(TCollection* Collection) {
  for (const auto& entry : st_->ItemStack)
    if (entry.first->Collection() == Collection)
      throw EReadError("Invalid property value");  // would free the item being read
  for (int i = 0; i < Collection->Count(); ++i) {
    auto it = st_->ItemNodes.find(Collection->Items(i));
    if (it == st_->ItemNodes.end()) continue;
    it->second->Dead = true;
    st_->ItemNodes.erase(it);
  }
}

namespace {

// Component lookups by name for resolving references: each owner's components are indexed
// once, so that many references cost no more than many components.
class TNameIndex {
 public:
  TComponent* Find(TComponent* owner, const std::string& name) {
    auto [it, fresh] = index_.try_emplace(owner);
    if (fresh)
      for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (!c->Name().empty()) it->second.emplace(UpperCase(c->Name()), c);  // the first of a name wins
      }
    auto found = it->second.find(UpperCase(name));
    return found == it->second.end() ? nullptr : found->second;
  }

  // "A.B.C" below Start; "Owner" names Start itself.
  TComponent* FindNested(TComponent* Start, std::string_view Path) {
    TComponent* cur = Start;
    while (cur) {
      size_t dot = Path.find('.');
      std::string name(Path.substr(0, dot));
      TComponent* next = Find(cur, name);
      if (!next && SameText(name, "Owner")) next = Start;
      cur = next;
      if (dot == std::string_view::npos) break;
      Path.remove_prefix(dot + 1);
    }
    return cur;
  }

  // A reference by name: among the root's components first, then "Owner.Name" among the
  // components of the root's owner chain.
  TComponent* FindReference(TComponent* Root, const std::string& Name) {
    if (!Root || Name.empty()) return nullptr;
    if (TComponent* c = FindNested(Root, Name)) return c;
    size_t dot = Name.find('.');
    std::string head = Name.substr(0, dot);
    std::string rest = dot == std::string::npos ? std::string() : Name.substr(dot + 1);
    for (TComponent* o = Root; o; o = o->Owner()) {
      TComponent* base = SameText(o->Name(), head) ? o : (o != Root ? Find(o, head) : nullptr);
      if (!base) continue;
      TComponent* found = rest.empty() ? base : FindNested(base, rest);
      if (found) return found;
    }
    return nullptr;
  }

 private:
  std::unordered_map<TComponent*, std::unordered_map<std::string, TComponent*>> index_;
};

}  // namespace

// An unresolved reference stays nil, as does one to a component of the wrong class.
void TReader::ResolveFixups() {
  std::vector<State::Fixup> fixups = std::move(st_->Fixups);
  st_->Fixups.clear();
  st_->FixupIndex.clear();
  TNameIndex names;
  for (const State::Fixup& f : fixups) {
    if (!f.Live || State::IsDead(f.Item.get())) continue;
    TComponent* c = names.FindReference(root_, f.Name);
    if (c && c->InheritsFrom(f.Prop->PropClass)) f.Prop->SetObj(*f.Instance, c);
  }
}

// --- collections and components ----------------------------------------------------------

void TReader::ReadCollection(TCollection* Collection) {
  auto nest = Nest();
  DropItemFixups(Collection);
  Collection->BeginUpdate();
  TScopeExit endUpdate([Collection] { Collection->EndUpdate(); });
  Collection->Clear();
  while (!EndOfList()) {
    if (++items_ > kMaxItems) LimitError("Too many properties in description");
    TValueType t = NextValue();
    if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();  // the item's order: unused
    TCollectionItem* item = Collection->Add();
    CheckValue(vaList);
    auto itemNest = Nest();
    auto node = std::make_shared<State::ItemNode>();
    if (!st_->ItemStack.empty()) node->Parent = st_->ItemStack.back().second;
    st_->ItemNodes[item] = node;
    st_->ItemStack.emplace_back(item, node);
    {
      TScopeExit popItem([this] { st_->ItemStack.pop_back(); });
      while (!EndOfList()) ReadProperty(item);
    }
    ReadListEnd();
  }
  ReadListEnd();
}

TClass TReader::FindComponentClass(const std::string& ClassName) {
  TClass cls = nullptr;
  OnFindComponentClass(this, ClassName, cls);
  if (!cls) cls = GetClass(ClassName);
  if (!cls && root_ && SameText(root_->ClassName(), ClassName)) cls = root_->ClassType();
  if (!cls || !cls->InheritsFrom(TComponent::StaticClass()))
    throw EClassNotFound("Class " + ClassName + " not found");
  return cls;
}

void TReader::Created(TComponent* Component) {
  st_->Created.push_back(Component);
}

void TReader::Forget(TComponent* Component) {
  if (!st_->Created.empty() && st_->Created.back() == Component)
    st_->Created.pop_back();
  else
    std::erase(st_->Created, Component);
  if (st_->Loaded && st_->Loaded->Contains(Component)) st_->Loaded->RemoveAll({Component});
}

void TReader::ReadData(TComponent* Instance) {
  if (st_->FixupsOpen) {
    ReadDataInner(Instance);
    return;
  }
  st_->FixupsOpen = true;
  TScopeFail dropFixups([this] {
    st_->FixupsOpen = false;
    st_->Fixups.clear();
    st_->FixupIndex.clear();
  });
  ReadDataInner(Instance);
  st_->FixupsOpen = false;
  ResolveFixups();
}

void TReader::ReadDataInner(TComponent* Instance) {
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  TValueRestorer<TComponent*> keepParent(parent_, Instance->GetChildParent());
  TValueRestorer<TComponent*> keepOwner(owner_, Instance->GetChildOwner());
  if (!owner_) owner_ = root_;
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

namespace {

// Frees, newest first, the components a failed read created: an owner is created before
// what it owns, so nothing is freed twice. Together, so that many cost no more than reading.
void FreeCreated(std::vector<TComponent*>& created, size_t from) {
  std::vector<TComponent*> gone(created.begin() + static_cast<std::ptrdiff_t>(from), created.end());
  created.resize(from);
  TComponent::FreeComponents(gone);
}

}  // namespace

TComponent* TReader::ReadComponent(TComponent* Component) {
  auto nest = Nest();
  if (++items_ > kMaxItems) LimitError("Too many components in description");
  bool outermost = st_->Loaded == nullptr && !st_->FixupsOpen;
  size_t createdMark = st_->Created.size();
  // Declared first, so it runs after the restorers below.
  TScopeFail freeCreated([&] {
    if (outermost) FreeCreated(st_->Created, createdMark);
  });
  TValueRestorer<TComponent*> keepParent(parent_);
  TValueRestorer<TComponent*> keepLookupRoot(lookupRoot_);
  TValueRestorer<TComponent*> keepRoot(root_);
  TComponent* result = Component;
  TFilerFlags flags;
  int childPos = 0;
  ReadPrefix(flags, childPos);
  std::string className = ReadStr();
  std::string name = ReadStr();
  bool created = false;
  // OnError may skip a component whose class or name is refused.
  auto recover = [&](const Exception& e) {
    if (fatal_ || !Error(e.Message())) return false;
    if (created && result) {
      Forget(result);
      result->Free();
    }
    result = nullptr;
    SkipComponent(false);
    return true;
  };
  if (!result) {
    if (flags.Contains(ffInherited)) {
      try {
        if (owner_) result = owner_->FindComponent(name);
        if (!result && root_) result = root_->FindComponent(name);
        if (!result) throw EReadError("Ancestor for '" + name + "' not found");
        parent_ = result->GetParentComponent();
        if (!parent_) parent_ = root_;
      } catch (const Exception& e) {
        if (!recover(e)) throw;
        return nullptr;
      }
    } else {
      try {
        TClass cls = FindComponentClass(className);
        OnCreateComponent(this, cls, result);
        // A component the handler supplied stays its supplier's: a failed read does not free it.
        if (!result) {
          if (!cls->Create) throw EReadError("Cannot create an instance of " + cls->Name);
          TObject* obj = cls->Create(owner_);
          result = ObjectAsComponent(obj);
          if (!result) {
            obj->Free();
            throw EClassNotFound("Class " + className + " not found");
          }
          created = true;
          Created(result);
        }
      } catch (const Exception& e) {
        if (!recover(e)) throw;
        return nullptr;
      }
    }
  }
  result->Loading();
  if (!flags.Contains(ffInherited)) {
    try {
      try {
        if (result->HasParent()) result->SetParentComponent(parent_);
        result->SetName(name);
      } catch (const EFilerError&) {
        throw;
      } catch (const EAbort&) {
        throw;
      } catch (const Exception& e) {
        throw EReadError(e.Message());  // a refused name is a fault of the description
      }
    } catch (const Exception& e) {
      if (!recover(e)) throw;
      return nullptr;
    }
  }
  if (!root_) {  // read on its own: the component is the root of what follows
    root_ = result;
    lookupRoot_ = result;
  }
  if (flags.Contains(ffInline)) {
    result->SetInline(true);
    lookupRoot_ = result;
  }
  if (st_->Loaded) st_->Loaded->Add(result);
  result->SetReading(true);
  result->ReadState(*this);
  result->SetReading(false);
  if (flags.Contains(ffChildPos) && parent_) parent_->SetChildOrder(result, childPos);
  return result;
}

namespace {

// The name a root takes: the described one, made unique among its owner's components.
std::string UniqueRootName(TComponent* Root, const std::string& Name) {
  TComponent* owner = Root->Owner();
  if (!owner || Name.empty()) return Name;
  std::string result = Name;
  for (int i = 1; i <= owner->ComponentCount() + 1; ++i) {
    TComponent* other = owner->FindComponent(result);
    if (!other || other == Root) break;
    result = Name + "_" + std::to_string(i);
  }
  return result;
}

}  // namespace

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  ReadSignature();
  TLoadedList local;
  bool global = !globalLoading.empty();
  st_->Loaded = global ? globalLoading.back().get() : &local;
  size_t createdMark = st_->Created.size();
  TComponent* result = Root;
  bool createdRoot = false;
  TScopeFail rollBack([&] {
    std::unordered_set<TComponent*> gone(st_->Created.begin() + static_cast<std::ptrdiff_t>(createdMark),
                                         st_->Created.end());
    if (result) {
      gone.insert(result);
      if (!createdRoot) result->SetReading(false);
    }
    st_->Loaded->RemoveAll(gone);
    FreeCreated(st_->Created, createdMark);
    if (createdRoot) result->Free();
    st_->Loaded = nullptr;
    root_ = lookupRoot_ = owner_ = nullptr;
  });
  TFilerFlags flags;
  int childPos = 0;
  ReadPrefix(flags, childPos);
  std::string className = ReadStr();
  std::string name = ReadStr();
  if (!result) {
    TClass cls = FindComponentClass(className);
    if (!cls->Create) throw EReadError("Cannot create an instance of " + cls->Name);
    TObject* obj = cls->Create(nullptr);
    result = ObjectAsComponent(obj);
    if (!result) {
      obj->Free();
      throw EClassNotFound("Class " + className + " not found");
    }
    createdRoot = true;
  }
  result->Loading();
  result->SetReading(true);
  try {
    result->SetName(createdRoot ? name : UniqueRootName(result, name));
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    throw EReadError(e.Message());
  }
  root_ = result;
  lookupRoot_ = result;
  owner_ = result;
  st_->Loaded->AddRoot(result);
  result->ReadState(*this);
  result->SetReading(false);
  if (!global) local.CallLoaded();
  st_->Loaded = nullptr;
  st_->Created.resize(createdMark);
  return result;
}
