// TWriter: values, properties and components in the binary description form. With an
// ancestor only what differs from it is written, so a descendant's description holds its
// changes alone.
#include <cstring>
#include <limits>

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

RTL_IMPLEMENT_CLASS(TWriter)

namespace {

constexpr int kMaxNesting = 256;

bool IsDateType(const std::string& typeName) {
  return SameText(typeName, "TDateTime") || SameText(typeName, "TDate") || SameText(typeName, "TTime");
}

// Variants equal in type and value; a comparison that cannot be made counts as a difference.
bool SameVariant(const Variant& a, const Variant& b) {
  if (a.VarType() != b.VarType()) return false;
  try {
    return VariantsEqual(a, b);
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

TWriter::TWriter(TStream& Stream, int BufSize) : TFiler(Stream, BufSize) {
  flushed_ = Stream.Position();
  out_.reserve(static_cast<size_t>(bufSize_));
}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (...) {  // a destructor must not throw
  }
}

void TWriter::FlushBuffer() {
  if (out_.empty() || hold_ > 0) return;  // held bytes may still be cut back
  stream_.WriteBuffer(out_.data(), static_cast<int64_t>(out_.size()));
  flushed_ += static_cast<int64_t>(out_.size());
  out_.clear();
}

int64_t TWriter::Position() const {
  return flushed_ + static_cast<int64_t>(out_.size());
}

void TWriter::Write(const void* Buffer, int64_t Count) {
  const auto* p = static_cast<const uint8_t*>(Buffer);
  out_.insert(out_.end(), p, p + Count);
  if (hold_ == 0 && out_.size() >= static_cast<size_t>(bufSize_)) FlushBuffer();
}

// --- values ------------------------------------------------------------------------------

void TWriter::WriteValue(TValueType Value) {
  uint8_t b = Value;
  Write(&b, 1);
}

void TWriter::WriteInteger(int32_t Value) {
  if (Value >= -128 && Value <= 127) {
    WriteValue(vaInt8);
    int8_t v = static_cast<int8_t>(Value);
    Write(&v, 1);
  } else if (Value >= -32768 && Value <= 32767) {
    WriteValue(vaInt16);
    int16_t v = static_cast<int16_t>(Value);
    Write(&v, 2);
  } else {
    WriteValue(vaInt32);
    Write(&Value, 4);
  }
}

void TWriter::WriteInt64(Int64 Value) {
  if (Value >= std::numeric_limits<int32_t>::min() && Value <= std::numeric_limits<int32_t>::max()) {
    WriteInteger(static_cast<int32_t>(Value));
    return;
  }
  WriteValue(vaInt64);
  Write(&Value, 8);
}

void TWriter::WriteStr(const std::string& Value) {
  if (Value.size() > 255) throw EWriteError("Name too long to stream: " + Value.substr(0, 32) + "...");
  uint8_t n = static_cast<uint8_t>(Value.size());
  Write(&n, 1);
  Write(Value.data(), n);
}

void TWriter::WriteString(const std::string& Value) {
  if (Value.size() <= 255) {
    WriteValue(vaString);
    WriteStr(Value);
    return;
  }
  if (Value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw EWriteError("Stream write error");
  WriteValue(vaLString);
  int32_t n = static_cast<int32_t>(Value.size());
  Write(&n, 4);
  Write(Value.data(), n);
}

void TWriter::WriteWideString(const std::u16string& Value) {
  if (Value.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2))
    throw EWriteError("Stream write error");
  WriteValue(vaWString);
  int32_t n = static_cast<int32_t>(Value.size());
  Write(&n, 4);
  Write(Value.data(), int64_t(n) * 2);
}

void TWriter::WriteBoolean(bool Value) {
  WriteValue(Value ? vaTrue : vaFalse);
}

void TWriter::WriteIdent(const std::string& Ident) {
  if (SameText(Ident, "False")) {
    WriteValue(vaFalse);
  } else if (SameText(Ident, "True")) {
    WriteValue(vaTrue);
  } else if (SameText(Ident, "nil")) {
    WriteValue(vaNil);
  } else if (SameText(Ident, "Null")) {
    WriteValue(vaNull);
  } else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteFloat(Extended Value) {
  WriteValue(vaExtended);
  uint8_t bytes[sizeof(long double)] = {};
  std::memcpy(bytes, &Value, sizeof(long double));
  Write(bytes, 10);
}

void TWriter::WriteSingle(Single Value) {
  WriteValue(vaSingle);
  Write(&Value, 4);
}

void TWriter::WriteCurrency(Currency Value) {
  WriteValue(vaCurrency);
  int64_t raw = Value.Raw();
  Write(&raw, 8);
}

void TWriter::WriteDate(TDateTime Value) {
  WriteValue(vaDate);
  Write(&Value, 8);
}

void TWriter::WriteChar(char Value) {
  WriteString(std::string(1, Value));
}

void TWriter::WriteListBegin() {
  WriteValue(vaList);
}

void TWriter::WriteListEnd() {
  WriteValue(vaNull);
}

void TWriter::WriteSignature() {
  Write("TPF0", 4);
}

void TWriter::WritePrefix(TFilerFlags Flags, int AChildPos) {
  if (Flags.Empty()) return;
  uint8_t b = static_cast<uint8_t>(0xF0 | (Flags.ToBits() & 0x0F));
  Write(&b, 1);
  if (Flags.Contains(ffChildPos)) WriteInteger(AChildPos);
}

void TWriter::WriteVariant(const Variant& Value) {
  TVarType type = Value.VarType();
  if (Value.IsArray()) {
    if ((type & varTypeMask) != varVariant || Value.DimCount() != 1)
      throw EWriteError("Invalid variant type");
    WriteListBegin();
    for (int i = Value.LowBound(1); i <= Value.HighBound(1); ++i) {
      Variant item = Value.GetElement(i);
      if (item.IsNull()) {
        // The Null tag would end the list; inside a list Null is the identifier Null.
        WriteValue(vaIdent);
        WriteStr("Null");
      } else {
        WriteVariant(item);
      }
    }
    WriteListEnd();
    return;
  }
  switch (type) {
    case varEmpty:
      WriteValue(vaNil);
      break;
    case varNull:
      WriteValue(vaNull);
      break;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
      WriteInteger(Value.AsInteger());
      break;
    case varLongWord:
    case varInt64:
      WriteInt64(Value.AsInt64());
      break;
    case varUInt64: {
      Int64 v;
      try {
        v = Value.AsInt64();
      } catch (const EVariantError&) {
        throw EWriteError("Invalid variant type");
      }
      WriteInt64(v);
      break;
    }
    case varSingle:
      WriteSingle(static_cast<Single>(Value.AsDouble()));
      break;
    case varDouble:
      WriteFloat(Value.AsExtended());
      break;
    case varCurrency:
      WriteCurrency(Value.AsCurrency());
      break;
    case varDate:
      WriteDate(Value.AsDateTime());
      break;
    case varBoolean:
      WriteBoolean(Value.AsBoolean());
      break;
    case varString:
      WriteString(Value.AsString());
      break;
    case varOleStr:
      WriteWideString(Value.AsWideString());
      break;
    default:
      throw EWriteError("Invalid variant type");
  }
}

// --- defined properties ------------------------------------------------------------------

void TWriter::WritePropName(const std::string& Name) {
  WriteStr(propPath_ + Name);
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
  if (!HasData || !WriteData) return;
  TMemoryStream data;
  WriteData(data);
  int64_t size = data.Size();
  if (size > std::numeric_limits<int32_t>::max()) throw EWriteError("Stream write error");
  WritePropName(Name);
  WriteValue(vaBinary);
  int32_t n = static_cast<int32_t>(size);
  Write(&n, 4);
  Write(data.Memory(), n);
}

// --- properties --------------------------------------------------------------------------

void TWriter::WriteProperties(TPersistent* Instance) {
  for (const TPropInfo* prop : Instance->ClassType()->AllProps())
    if (prop->IsStored(*Instance)) WriteProperty(Instance, prop);
  Instance->DefineProperties(*this);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* Prop) {
  // The ancestor is compared only when its class has this very property, so that the
  // property's accessors apply to it.
  TPersistent* ancestor = ancestor_;
  bool has = ancestor && ancestor->ClassType()->FindProp(Prop->Name) == Prop;
  const TObject& obj = *Instance;
  switch (Prop->Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet: {
      if (!Prop->IsWritable()) return;
      int64_t value = Prop->GetOrd(obj);
      bool same = has ? value == Prop->GetOrd(*ancestor) : Prop->HasDefault && value == Prop->DefaultValue;
      if (same) return;
      std::string ident;
      if (Prop->Kind == TTypeKind::tkEnumeration) {
        ident = Prop->Enum ? Prop->Enum->NameOf(static_cast<int>(value)) : std::string();
        if (ident.empty() || value < 0 || value > std::numeric_limits<int>::max())
          throw EWriteError("Invalid property value");
      }
      WritePropName(Prop->Name);
      switch (Prop->Kind) {
        case TTypeKind::tkEnumeration:
          WriteIdent(ident);
          break;
        case TTypeKind::tkSet: {
          WriteValue(vaSet);
          auto bits = static_cast<uint64_t>(value);
          size_t count = Prop->Enum ? std::min<size_t>(Prop->Enum->Names.size(), 64) : 0;
          for (size_t i = 0; i < count; ++i)
            if (bits & (uint64_t(1) << i)) WriteStr(Prop->Enum->Names[i]);
          WriteStr("");
          break;
        }
        case TTypeKind::tkChar:
        case TTypeKind::tkWChar:
          WriteChar(static_cast<char>(value));
          break;
        case TTypeKind::tkInt64:
          WriteInt64(value);
          break;
        default:
          if (Prop->Idents && Prop->Idents->ToIdent(value, ident))
            WriteIdent(ident);
          else
            WriteInteger(static_cast<int32_t>(value));  // a Cardinal's high values travel as negatives
      }
      return;
    }
    case TTypeKind::tkFloat: {
      if (!Prop->IsWritable()) return;
      Extended value = Prop->GetFloat(obj);
      if (has ? value == Prop->GetFloat(*ancestor) : value == 0) return;
      WritePropName(Prop->Name);
      if (SameText(Prop->TypeName, "Single"))
        WriteSingle(static_cast<Single>(value));
      else if (SameText(Prop->TypeName, "Currency"))
        WriteCurrency(Currency::FromExtended(value));
      else if (IsDateType(Prop->TypeName))
        WriteDate(static_cast<TDateTime>(value));
      else
        WriteFloat(value);
      return;
    }
    case TTypeKind::tkString:
    case TTypeKind::tkLString: {
      if (!Prop->IsWritable()) return;
      std::string value = Prop->GetStr(obj);
      if (has ? value == Prop->GetStr(*ancestor) : value.empty()) return;
      WritePropName(Prop->Name);
      WriteString(value);
      return;
    }
    case TTypeKind::tkWString: {
      if (!Prop->IsWritable()) return;
      std::u16string value = Prop->GetWStr(obj);
      if (has ? value == Prop->GetWStr(*ancestor) : value.empty()) return;
      WritePropName(Prop->Name);
      WriteWideString(value);
      return;
    }
    case TTypeKind::tkVariant: {
      if (!Prop->IsWritable()) return;
      Variant value = Prop->GetVar(obj);
      if (has ? SameVariant(value, Prop->GetVar(*ancestor)) : value.IsEmpty()) return;
      WritePropName(Prop->Name);
      WriteVariant(value);
      return;
    }
    case TTypeKind::tkMethod:
      WriteMethodProp(Instance, Prop);
      return;
    case TTypeKind::tkClass:
      WriteObjectProp(Instance, Prop);
      return;
    default:
      return;
  }
}

// A handler streams by name only when it is a method of the lookup root.
std::string TWriter::MethodName(const TMethodRef& Method, TComponent* Root) const {
  if (!Root || !Method.Data || Method.Name.empty()) return {};
  if (Method.Data == static_cast<const void*>(Root) || Method.Data == dynamic_cast<const void*>(Root))
    return Method.Name;
  return {};
}

void TWriter::WriteMethodProp(TPersistent* Instance, const TPropInfo* Prop) {
  if (!Prop->SetMethod || !Prop->GetMethod) return;
  TPersistent* ancestor = ancestor_;
  bool has = ancestor && ancestor->ClassType()->FindProp(Prop->Name) == Prop;
  std::string name = MethodName(Prop->GetMethod(*Instance), lookupRoot_);
  if (has) {
    if (SameText(name, MethodName(Prop->GetMethod(*ancestor), rootAncestor_))) return;
  } else if (name.empty()) {
    return;
  }
  WritePropName(Prop->Name);
  if (name.empty()) {
    WriteValue(vaNil);
  } else {
    WriteValue(vaIdent);
    WriteStr(name);
  }
}

// How a component is named from Root: its name when Root owns it, "Owner" for Root itself,
// else "OwnerName.Name".
std::string TWriter::ComponentRefName(TComponent* Component, TComponent* Root) const {
  if (!Component) return {};
  if (Root && Component->Owner() == Root) return Component->Name();
  if (Component == Root) return "Owner";
  TComponent* owner = Component->Owner();
  if (owner && !owner->Name().empty() && !Component->Name().empty())
    return owner->Name() + "." + Component->Name();
  if (!Component->Name().empty()) return Component->Name() + ".Owner";
  return {};
}

void TWriter::WriteObjectProp(TPersistent* Instance, const TPropInfo* Prop) {
  if (!Prop->GetObj) return;
  TPersistent* ancestor = ancestor_;
  bool has = ancestor && ancestor->ClassType()->FindProp(Prop->Name) == Prop;
  TObject* value = Prop->GetObj(*Instance);
  TObject* ancestorValue = has ? Prop->GetObj(*ancestor) : nullptr;
  TComponent* component = value ? ObjectAsComponent(value) : nullptr;
  if (!value || (component && !component->ComponentStyle().Contains(csSubComponent))) {
    // A reference to another component, written by name.
    if (!Prop->SetObj) return;
    std::string name = ComponentRefName(component, lookupRoot_);
    if (has) {
      TComponent* ancestorComponent = ancestorValue ? ObjectAsComponent(ancestorValue) : nullptr;
      if (SameText(name, ComponentRefName(ancestorComponent, rootAncestor_))) return;
    }
    if (name.empty()) {
      if (!has || value) return;  // nil, or a component that cannot be named
      WritePropName(Prop->Name);
      WriteValue(vaNil);
      return;
    }
    WritePropName(Prop->Name);
    WriteValue(vaIdent);
    WriteStr(name);
    return;
  }
  auto* persistent = dynamic_cast<TPersistent*>(value);
  if (!persistent) return;
  if (TCollection* collection = ObjectAsCollection(value)) {
    TCollection* ancestorCollection = ancestorValue ? ObjectAsCollection(ancestorValue) : nullptr;
    bool write =
        ancestorCollection ? !CollectionsEqual(collection, ancestorCollection) : collection->Count() > 0;
    if (!write) return;
    WritePropName(Prop->Name);
    WriteCollection(collection);
    return;
  }
  // A sub-object: its own properties under dotted names, compared with the ancestor's.
  if (propPath_.size() > 255)
    throw EWriteError("Name too long to stream: " + propPath_.substr(0, 32) + "...");
  TValueRestorer<TPersistent*> restoreAncestor(ancestor_);
  TValueRestorer<std::string> restorePath(propPath_);
  ancestor_ = has ? dynamic_cast<TPersistent*>(ancestorValue) : nullptr;
  propPath_ += Prop->Name + ".";
  WriteProperties(persistent);
}

bool TWriter::CollectionsEqual(TCollection* A, TCollection* B) {
  TMemoryStream sa, sb;
  {
    TWriter w(sa, 1024);
    w.root_ = root_;
    w.lookupRoot_ = lookupRoot_;
    w.WriteCollection(A);
    w.FlushBuffer();
  }
  {
    TWriter w(sb, 1024);
    w.root_ = rootAncestor_;
    w.lookupRoot_ = rootAncestor_;
    w.WriteCollection(B);
    w.FlushBuffer();
  }
  return sa.Size() == sb.Size() && std::memcmp(sa.Memory(), sb.Memory(), static_cast<size_t>(sa.Size())) == 0;
}

void TWriter::WriteCollection(TCollection* Value) {
  TValueRestorer<TPersistent*> restoreAncestor(ancestor_);
  TValueRestorer<std::string> restorePath(propPath_);
  ancestor_ = nullptr;
  propPath_.clear();
  WriteValue(vaCollection);
  if (Value) {
    for (int i = 0; i < Value->Count(); ++i) {
      WriteListBegin();
      WriteProperties(Value->Items(i));
      WriteListEnd();
    }
  }
  WriteListEnd();
}

// --- components --------------------------------------------------------------------------

void TWriter::WriteComponent(TComponent* Component) {
  TValueRestorer<TPersistent*> restoreAncestor(ancestor_);
  TValueRestorer<TComponent*> restoreRootAncestor(rootAncestor_);
  if (hasAncestorList_ && !Component->ComponentState().Contains(csInline)) {
    ancestor_ = nullptr;
    for (TComponent* c : ancestorList_)
      if (SameText(c->Name(), Component->Name())) {
        ancestor_ = c;
        break;
      }
  }
  std::vector<TComponent*> marked{Component};
  for (int i = 0; i < Component->ComponentCount(); ++i)
    if (Component->Components(i)->ComponentStyle().Contains(csSubComponent))
      marked.push_back(Component->Components(i));
  for (TComponent* c : marked) c->SetWriting(true);
  TScopeExit writingDone([&marked] {
    for (TComponent* c : marked) c->SetWriting(false);
  });
  Component->WriteState(*this);
}

void TWriter::WriteData(TComponent* Instance) {
  static thread_local int nesting = 0;
  if (nesting >= kMaxNesting) throw EWriteError("Components nested too deeply to stream");
  TCounterScope<int> level(nesting);

  auto* ancestorComponent = dynamic_cast<TComponent*>(ancestor_);
  TFilerFlags flags;
  if (Instance->ComponentState().Contains(csInline)) {
    if (ancestor_ && Instance->ComponentState().Contains(csAncestor) && hasAncestorList_)
      flags.Include(ffInherited);
    else
      flags.Include(ffInline);
  } else if (ancestor_) {
    flags.Include(ffInherited);
  }
  if (hasAncestorList_ && ancestorPos_ < ancestorList_.size() &&
      (!ancestor_ || ancestorList_[ancestorPos_] != ancestor_))
    flags.Include(ffChildPos);

  // An inherited child that changed nothing is cut out again once written.
  bool mayDrop = Instance != root_ && flags == TFilerFlags{ffInherited};
  size_t mark = out_.size();
  if (mayDrop) ++hold_;
  TScopeExit release([this, mayDrop] {
    if (mayDrop) --hold_;
  });

  WritePrefix(flags, childPos_);
  WriteStr(Instance->ClassName());
  WriteStr(Instance->Name());
  int64_t propertiesPos = Position();
  if (hasAncestorList_ && ancestorPos_ < ancestorList_.size()) {
    if (ancestor_) ++ancestorPos_;
    ++childPos_;
  }
  {
    TValueRestorer<TComponent*> restoreLookup(lookupRoot_);
    if (flags.Contains(ffInline)) lookupRoot_ = Instance;
    WriteProperties(Instance);
    WriteListEnd();

    TValueRestorer<std::vector<TComponent*>> restoreList(ancestorList_);
    TValueRestorer<size_t> restorePos(ancestorPos_);
    TValueRestorer<int> restoreChildPos(childPos_);
    TValueRestorer<bool> restoreHasList(hasAncestorList_);
    TValueRestorer<TComponent*> restoreRoot(root_);
    TValueRestorer<TComponent*> restoreRootAncestor(rootAncestor_);
    ancestorList_.clear();
    ancestorPos_ = 0;
    childPos_ = 0;
    hasAncestorList_ = false;
    if (!ignoreChildren_) {
      if (ancestorComponent) {
        if (ancestorComponent->ComponentState().Contains(csInline)) rootAncestor_ = ancestorComponent;
        hasAncestorList_ = true;
        ancestorComponent->GetChildren([this](TComponent* c) { ancestorList_.push_back(c); }, rootAncestor_);
      }
      if (Instance->ComponentState().Contains(csInline)) root_ = Instance;
      Instance->GetChildren([this](TComponent* c) { WriteComponent(c); }, root_);
    }
  }
  WriteListEnd();
  if (mayDrop && Position() == propertiesPos + 2) out_.resize(mark);
}

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
  rootAncestor_ = AAncestor;
  ancestor_ = AAncestor;
  root_ = Root;
  lookupRoot_ = Root;
  WriteSignature();
  WriteComponent(Root);
  if (hold_ == 0) FlushBuffer();
}

void TWriter::WriteRootComponent(TComponent* Root) {
  WriteDescendent(Root, nullptr);
}
