#pragma once
// TObject and the class model: every class reports the name the system knows it by and
// its parent, can be created from its class reference (a virtual constructor), and may
// describe published properties for streaming and for access by name.
//
// A class joins the model with two lines:
//   class TFoo : public TComponent {
//     RTL_CLASS(TFoo, TComponent)        // first in the body; leaves the access public
//    public:
//     explicit TFoo(TComponent* AOwner);
//     static void DescribeClass(TClassBuilder<TFoo>& c);   // optional: published properties
//   };
//   RTL_IMPLEMENT_CLASS(TFoo)            // in the .cpp
#include <any>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/rtl/Event.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/Variant.h"

class TObject;
class TComponent;
class TCollection;
struct TClassInfo;
template <class C>
class TClassBuilder;

// A class reference, the class library's "class of".
using TClass = const TClassInfo*;

// --- enumeration and identifier tables -------------------------------------------------

// Names of an enumeration whose values are 0..N-1, for streaming and access by name.
struct TEnumInfo {
  std::string TypeName;
  std::vector<std::string> Names;
  // Case-insensitive; -1 when unknown.
  int IndexOf(std::string_view name) const;
  // "" when out of range.
  std::string NameOf(int value) const;
};

// Specialised for each enumeration that is published, with RTL_ENUM_INFO.
template <class E>
struct TEnumTraits;

#define RTL_ENUM_INFO(E, ...)                                       \
  template <>                                                        \
  struct TEnumTraits<E> {                                            \
    static const TEnumInfo& Info() {                                 \
      static const TEnumInfo info{#E, {__VA_ARGS__}};                \
      return info;                                                   \
    }                                                                \
  }

template <>
struct TEnumTraits<bool> {
  static const TEnumInfo& Info() {
    static const TEnumInfo info{"Boolean", {"False", "True"}};
    return info;
  }
};

// Identifiers for integer values of a type (colours "clInfoBk", cursors "crDefault").
struct TIdentMap {
  struct Entry {
    int64_t Value;
    const char* Name;
  };
  std::string TypeName;
  std::vector<Entry> Entries;
  bool ToIdent(int64_t value, std::string& ident) const;
  bool ToInt(std::string_view ident, int64_t& value) const;  // case-insensitive
};

// --- published properties ----------------------------------------------------------------

// The kinds of the class library, in its numbering.
enum class TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray
};

// A handler as the streaming system sees it: the object it is called on and its name.
struct TMethodRef {
  const void* Data = nullptr;
  std::string Name;
};

// One published property. Only the accessors of its kind are set:
//   tkInteger, tkInt64, tkEnumeration, tkSet, tkChar -> GetOrd/SetOrd (a set as its bit image)
//   tkFloat -> GetFloat/SetFloat; tkLString -> GetStr/SetStr; tkWString -> GetWStr/SetWStr
//   tkClass -> GetObj/SetObj (SetObj empty for a read-only sub-object, read into in place)
//   tkMethod -> GetMethod/SetMethod (SetMethod takes a std::any holding the TEvent type)
//   tkVariant -> GetVar/SetVar
struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkUnknown;
  std::string TypeName;               // "Integer", "TColor", "TNotifyEvent", ...
  const TEnumInfo* Enum = nullptr;    // tkEnumeration; the element type of tkSet
  TClass PropClass = nullptr;         // tkClass
  const TIdentMap* Idents = nullptr;  // integer values with identifiers
  bool HasDefault = false;            // ordinals only, as in the class library
  int64_t DefaultValue = 0;
  int Index = 0;  // position among all properties of the class, ancestors first

  std::function<int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, int64_t)> SetOrd;
  std::function<Extended(const TObject&)> GetFloat;
  std::function<void(TObject&, Extended)> SetFloat;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<std::u16string(const TObject&)> GetWStr;
  std::function<void(TObject&, const std::u16string&)> SetWStr;
  std::function<TObject*(const TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;
  std::function<TMethodRef(const TObject&)> GetMethod;
  std::function<bool(TObject&, const std::any&)> SetMethod;  // false: wrong handler type
  std::function<Variant(const TObject&)> GetVar;
  std::function<void(TObject&, const Variant&)> SetVar;
  std::function<bool(const TObject&)> Stored;  // empty: always stored

  bool IsWritable() const;
  bool IsStored(const TObject& obj) const { return !Stored || Stored(obj); }

  // Chained modifiers used while describing a class.
  TPropInfo& Default(int64_t v) {
    HasDefault = true;
    DefaultValue = v;
    return *this;
  }
  TPropInfo& NoDefault() {
    HasDefault = false;
    return *this;
  }
  TPropInfo& StoredIf(std::function<bool(const TObject&)> pred) {
    Stored = std::move(pred);
    return *this;
  }
  TPropInfo& WithIdents(const TIdentMap& map) {
    Idents = &map;
    return *this;
  }
  TPropInfo& OfType(std::string typeName) {
    TypeName = std::move(typeName);
    return *this;
  }
};

// A published method: a handler a description can bind to an event by name.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TObject& self)> Bind;  // answers the TEvent bound to `self`
};

using TObjectFactory = TObject* (*)(TObject* arg);

struct TClassInfo {
  std::string Name;  // the name the system reports, such as "TDBGridEh"
  TClass Parent = nullptr;
  // The virtual constructor. `arg` is the owner of a component or the collection of a
  // collection item; empty for abstract classes.
  TObjectFactory Create = nullptr;
  std::deque<TPropInfo> Props;  // own published properties, in declaration order
  std::vector<TMethodInfo> Methods;

  bool InheritsFrom(TClass other) const;
  bool InheritsFrom(std::string_view name) const;  // case-insensitive
  const TPropInfo* FindProp(std::string_view name) const;  // case-insensitive, ancestors too
  std::vector<const TPropInfo*> AllProps() const;          // ancestors' first
  const TMethodInfo* FindMethod(std::string_view name) const;  // ancestors too
};

// --- TObject -----------------------------------------------------------------------------

class TObject {
 public:
  using inherited = void;
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  std::string ClassName() const;
  TClass ClassParent() const;
  bool InheritsFrom(TClass c) const;
  bool InheritsFrom(std::string_view className) const;

  // Query by GUID; classes offering interfaces override it with RTL_INTERFACES.
  virtual bool GetInterface(const TGUID& iid, void*& obj);

  // Runs BeforeDestruction, then deletes the object. Safe on nullptr through FreeAndNil.
  void Free();
  virtual void BeforeDestruction() {}
};

template <class T>
void FreeAndNil(T*& p) {
  T* q = p;
  p = nullptr;
  if (q) q->Free();
}

// Answers `obj` as I when the object offers interface I (by its GUID), else nullptr.
template <class I>
I* Supports(TObject* obj) {
  void* p = nullptr;
  if (obj && obj->GetInterface(I::IID, p)) return static_cast<I*>(p);
  return nullptr;
}

// --- class registry ----------------------------------------------------------------------

// Makes a class known by name to GetClass/FindClass and to the description reader.
void RegisterClass(TClass c);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass c);
TClass GetClass(std::string_view name);   // case-insensitive; nullptr when unknown
TClass FindClass(std::string_view name);  // EClassNotFound "Class %s not found"

// --- class description -------------------------------------------------------------------

TComponent* ObjectAsComponent(TObject* obj);    // checked cast, nullptr when not a component
TCollection* ObjectAsCollection(TObject* obj);  // checked cast, nullptr when not a collection

namespace rtl_detail {
template <class T>
struct IsTSet : std::false_type {};
template <class E, std::size_t N>
struct IsTSet<TSet<E, N>> : std::true_type {
  using Element = E;
};
template <class T>
struct IsTEvent : std::false_type {};
template <class Sig>
struct IsTEvent<TEvent<Sig>> : std::true_type {};

template <class C>
TObjectFactory MakeFactory() {
  if constexpr (std::is_abstract_v<C>) {
    return nullptr;
  } else if constexpr (std::is_constructible_v<C, TComponent*>) {
    return [](TObject* arg) -> TObject* { return new C(ObjectAsComponent(arg)); };
  } else if constexpr (std::is_constructible_v<C, TCollection*>) {
    return [](TObject* arg) -> TObject* { return new C(ObjectAsCollection(arg)); };
  } else if constexpr (std::is_default_constructible_v<C>) {
    return [](TObject*) -> TObject* { return new C(); };
  } else {
    return nullptr;
  }
}
}  // namespace rtl_detail

// Describes the published properties and methods of class C.
template <class C>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  // `get` is a const member function (or a callable taking const C&); `set` a member
  // function (or a callable taking C& and the value), or nullptr for a read-only property.
  template <class G, class S = std::nullptr_t>
  TPropInfo& Property(const char* name, G get, S set = nullptr) {
    using V = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
    TPropInfo& p = info_.Props.emplace_back();
    p.Name = name;
    constexpr bool writable = !std::is_same_v<S, std::nullptr_t>;
    if constexpr (std::is_same_v<V, bool> || std::is_enum_v<V>) {
      p.Kind = TTypeKind::tkEnumeration;
      p.Enum = &TEnumTraits<V>::Info();
      p.TypeName = p.Enum->TypeName;
      p.HasDefault = true;  // an enumeration stores unless equal to its default (0)
      p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>(std::invoke(get, Self(o))); };
      if constexpr (writable)
        p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, Self(o), static_cast<V>(v)); };
    } else if constexpr (rtl_detail::IsTSet<V>::value) {
      p.Kind = TTypeKind::tkSet;
      p.Enum = &TEnumTraits<typename rtl_detail::IsTSet<V>::Element>::Info();
      p.TypeName = "set of " + p.Enum->TypeName;
      p.HasDefault = true;
      p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>(std::invoke(get, Self(o)).ToBits()); };
      if constexpr (writable)
        p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, Self(o), V::FromUInt(static_cast<uint64_t>(v))); };
    } else if constexpr (std::is_integral_v<V>) {
      p.Kind = sizeof(V) > 4 ? TTypeKind::tkInt64 : TTypeKind::tkInteger;
      p.TypeName = sizeof(V) > 4 ? "Int64" : "Integer";
      p.HasDefault = true;  // default 0 unless Default()/NoDefault() says otherwise
      p.GetOrd = [get](const TObject& o) { return static_cast<int64_t>(std::invoke(get, Self(o))); };
      if constexpr (writable)
        p.SetOrd = [set](TObject& o, int64_t v) { std::invoke(set, Self(o), static_cast<V>(v)); };
    } else if constexpr (std::is_floating_point_v<V>) {
      p.Kind = TTypeKind::tkFloat;
      p.TypeName = "Double";
      p.GetFloat = [get](const TObject& o) { return static_cast<Extended>(std::invoke(get, Self(o))); };
      if constexpr (writable)
        p.SetFloat = [set](TObject& o, Extended v) { std::invoke(set, Self(o), static_cast<V>(v)); };
    } else if constexpr (std::is_same_v<V, std::string>) {
      p.Kind = TTypeKind::tkLString;
      p.TypeName = "string";
      p.GetStr = [get](const TObject& o) { return std::string(std::invoke(get, Self(o))); };
      if constexpr (writable)
        p.SetStr = [set](TObject& o, const std::string& v) { std::invoke(set, Self(o), v); };
    } else if constexpr (std::is_same_v<V, std::u16string>) {
      p.Kind = TTypeKind::tkWString;
      p.TypeName = "WideString";
      p.GetWStr = [get](const TObject& o) { return std::u16string(std::invoke(get, Self(o))); };
      if constexpr (writable)
        p.SetWStr = [set](TObject& o, const std::u16string& v) { std::invoke(set, Self(o), v); };
    } else if constexpr (std::is_same_v<V, Variant>) {
      p.Kind = TTypeKind::tkVariant;
      p.TypeName = "Variant";
      p.GetVar = [get](const TObject& o) { return Variant(std::invoke(get, Self(o))); };
      if constexpr (writable)
        p.SetVar = [set](TObject& o, const Variant& v) { std::invoke(set, Self(o), v); };
    } else if constexpr (rtl_detail::IsTEvent<V>::value) {
      p.Kind = TTypeKind::tkMethod;
      p.TypeName = "TMethod";
      p.GetMethod = [get](const TObject& o) {
        const V& e = std::invoke(get, Self(o));
        return e ? TMethodRef{e.Data(), e.Name()} : TMethodRef{};
      };
      if constexpr (writable)
        p.SetMethod = [set](TObject& o, const std::any& handler) {
          if (!handler.has_value()) {
            std::invoke(set, Self(o), V());
            return true;
          }
          const V* e = std::any_cast<V>(&handler);
          if (!e) return false;
          std::invoke(set, Self(o), *e);
          return true;
        };
    } else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TObject, std::remove_pointer_t<V>>) {
      using T = std::remove_pointer_t<V>;
      p.Kind = TTypeKind::tkClass;
      p.PropClass = T::StaticClass();
      p.TypeName = p.PropClass->Name;
      p.GetObj = [get](const TObject& o) -> TObject* { return std::invoke(get, Self(o)); };
      if constexpr (writable)
        p.SetObj = [set](TObject& o, TObject* v) {
          T* typed = v ? dynamic_cast<T*>(v) : nullptr;
          std::invoke(set, Self(o), typed);
        };
    } else {
      static_assert(sizeof(V) == 0, "unsupported published property type");
    }
    return p;
  }

  // Publishes a handler that descriptions may bind to events by name.
  template <class R, class... A>
  void Method(const char* name, R (C::*method)(A...)) {
    std::string n = name;
    info_.Methods.push_back({n, [method, n](TObject& self) -> std::any {
                               return TEvent<R(A...)>::Method(&Self(self), method, n);
                             }});
  }

 private:
  static const C& Self(const TObject& o) { return static_cast<const C&>(o); }
  static C& Self(TObject& o) { return static_cast<C&>(o); }
  TClassInfo& info_;
};

namespace rtl_detail {
// Fills `info` for class C. Name and parent come first: a property typed with the class being
// described (or a class that points back at it) reads them while the rest is still in work.
template <class C>
void BuildClassInfo(TClassInfo& info, const char* name) {
  info.Name = name;
  info.Parent = C::inherited::StaticClass();
  info.Create = MakeFactory<C>();
  if constexpr (requires { &C::DescribeClass; }) {
    if constexpr (std::is_same_v<decltype(&C::DescribeClass), void (*)(TClassBuilder<C>&)>) {
      TClassBuilder<C> builder(info);
      C::DescribeClass(builder);
    }
  }
}
}  // namespace rtl_detail

#define RTL_CLASS(Cls, ParentCls)                                 \
 public:                                                          \
  using inherited = ParentCls;                                    \
  static TClass StaticClass();                                    \
  TClass ClassType() const override { return StaticClass(); }

// The class information is built on first use; a recursive request made while it is being
// built (self-referencing property types) answers the same, partly built object.
#define RTL_IMPLEMENT_CLASS_NAMED(Cls, NameText)            \
  TClass Cls::StaticClass() {                               \
    static TClassInfo info;                                 \
    static bool built = false;                              \
    if (!built) {                                           \
      built = true;                                         \
      rtl_detail::BuildClassInfo<Cls>(info, NameText);      \
    }                                                       \
    return &info;                                           \
  }

#define RTL_IMPLEMENT_CLASS(Cls) RTL_IMPLEMENT_CLASS_NAMED(Cls, #Cls)

// Declares the interfaces a class offers to Supports() and QueryInterface.
//   RTL_INTERFACES(IMemTableEh, IOther)
#define RTL_INTERFACES(...)                                                \
 public:                                                                  \
  bool GetInterface(const TGUID& iid, void*& obj) override {              \
    if (rtl_detail::QueryList<__VA_ARGS__>(this, iid, obj)) return true;  \
    return inherited::GetInterface(iid, obj);                             \
  }

namespace rtl_detail {
template <class... I, class Self>
bool QueryList(Self* self, const TGUID& iid, void*& obj) {
  return ((iid == I::IID ? (obj = static_cast<I*>(self), true) : false) || ...);
}
}  // namespace rtl_detail
