#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

namespace {

class TShape : public TComponent {
  RTL_CLASS(TShape, TComponent)
 public:
  explicit TShape(TComponent* AOwner) : TComponent(AOwner) {}
  virtual int Sides() const = 0;
};
RTL_IMPLEMENT_CLASS(TShape)

class TSquare : public TShape {
  RTL_CLASS(TSquare, TShape)
 public:
  explicit TSquare(TComponent* AOwner) : TShape(AOwner) {}
  int Sides() const override { return 4; }
};
RTL_IMPLEMENT_CLASS(TSquare)

class TTriangle : public TShape {
  RTL_CLASS(TTriangle, TShape)
 public:
  explicit TTriangle(TComponent* AOwner) : TShape(AOwner) {}
  int Sides() const override { return 3; }
};
RTL_IMPLEMENT_CLASS(TTriangle)

// Reports a name of its own choosing, as the public classes of the grid do.
class TRenamed : public TSquare {
  RTL_CLASS(TRenamed, TSquare)
 public:
  using TSquare::TSquare;
};
RTL_IMPLEMENT_CLASS_NAMED(TRenamed, "TDBGridEh")

class TPlain : public TObject {
  RTL_CLASS(TPlain, TObject)
};
RTL_IMPLEMENT_CLASS(TPlain)

class TRow : public TCollectionItem {
  RTL_CLASS(TRow, TCollectionItem)
 public:
  explicit TRow(TCollection* Collection) : TCollectionItem(Collection) {}
};
RTL_IMPLEMENT_CLASS(TRow)

std::string Chain(TClass c) {
  std::string s;
  for (; c; c = c->Parent) s += (s.empty() ? "" : ",") + c->Name;
  return s;
}

TEST(ClassModelTest, NamesAndParents) {
  TSquare square(nullptr);
  EXPECT_EQ(square.ClassName(), "TSquare");
  EXPECT_EQ(square.ClassType(), TSquare::StaticClass());
  EXPECT_EQ(square.ClassParent(), TShape::StaticClass());
  EXPECT_EQ(Chain(square.ClassType()), "TSquare,TShape,TComponent,TPersistent,TObject");
  TRenamed renamed(nullptr);
  EXPECT_EQ(renamed.ClassName(), "TDBGridEh");
}

TEST(ClassModelTest, InheritsFromByClassAndByNameIgnoringCase) {
  struct Case {
    TClass cls;
    TClass other;
    const char* otherName;
    bool expected;
  } cases[] = {
      {TSquare::StaticClass(), TShape::StaticClass(), "tshape", true},
      {TSquare::StaticClass(), TSquare::StaticClass(), "TSQUARE", true},
      {TSquare::StaticClass(), TObject::StaticClass(), "TObject", true},
      {TSquare::StaticClass(), TTriangle::StaticClass(), "TTriangle", false},
      {TShape::StaticClass(), TSquare::StaticClass(), "TSquare", false},
      {TRenamed::StaticClass(), TSquare::StaticClass(), "TDBGRIDEH", true},
      {TRow::StaticClass(), TComponent::StaticClass(), "TComponent", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cls->Name + " / " + c.otherName);
    EXPECT_EQ(c.cls->InheritsFrom(c.other), c.expected);
    EXPECT_EQ(c.cls->InheritsFrom(std::string_view(c.otherName)), c.expected);
  }
  TTriangle t(nullptr);
  EXPECT_TRUE(t.InheritsFrom(TShape::StaticClass()));
  EXPECT_TRUE(t.InheritsFrom("tcomponent"));
  EXPECT_FALSE(t.InheritsFrom("TSquare"));
}

TEST(ClassModelTest, VirtualConstructorsBuildTheClassChosenAtRunTime) {
  TComponent owner(nullptr);
  int sides = 0;
  for (TClass cls : {TSquare::StaticClass(), TTriangle::StaticClass(), TRenamed::StaticClass()}) {
    SCOPED_TRACE(cls->Name);
    ASSERT_NE(cls->Create, nullptr);
    TObject* obj = cls->Create(&owner);
    auto* shape = dynamic_cast<TShape*>(obj);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->ClassType(), cls);
    EXPECT_EQ(shape->Owner(), &owner);
    sides += shape->Sides();
  }
  EXPECT_EQ(sides, 11);
  EXPECT_EQ(owner.ComponentCount(), 3);
  EXPECT_EQ(TShape::StaticClass()->Create, nullptr);  // abstract

  std::unique_ptr<TObject> plain(TPlain::StaticClass()->Create(nullptr));
  EXPECT_EQ(plain->ClassName(), "TPlain");

  TCollection rows(TRow::StaticClass());
  TObject* row = TRow::StaticClass()->Create(&rows);
  EXPECT_EQ(rows.Count(), 1);
  EXPECT_EQ(rows.Items(0), row);
  // Given an object that is not a collection, the item starts outside any collection.
  std::unique_ptr<TObject> loose(TRow::StaticClass()->Create(&owner));
  EXPECT_EQ(static_cast<TRow*>(loose.get())->Collection(), nullptr);
}

TEST(ClassModelTest, RegistryFindsClassesByNameIgnoringCase) {
  RegisterClasses({TSquare::StaticClass(), TRenamed::StaticClass()});
  EXPECT_EQ(GetClass("tsquare"), TSquare::StaticClass());
  EXPECT_EQ(GetClass("TDBGRIDEH"), TRenamed::StaticClass());
  EXPECT_EQ(FindClass("TSquare"), TSquare::StaticClass());
  EXPECT_EQ(GetClass("TTriangle"), nullptr);
  try {
    FindClass("TNoSuchThing");
    FAIL() << "found";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), "Class TNoSuchThing not found");
  }
  UnRegisterClass(TSquare::StaticClass());
  UnRegisterClass(TRenamed::StaticClass());
  EXPECT_EQ(GetClass("TSquare"), nullptr);
  EXPECT_THROW(FindClass("TDBGridEh"), EFilerError);
}

struct IQuack : public virtual IInterface {
  static constexpr TGUID IID = TGUID::Parse("{A0000000-0000-4000-8000-000000000001}");
  virtual std::string Quack() = 0;
};
struct IWalk : public virtual IInterface {
  static constexpr TGUID IID = TGUID::Parse("{A0000000-0000-4000-8000-000000000002}");
  virtual int Legs() = 0;
};
struct IBeep : public virtual IInterface {
  static constexpr TGUID IID = TGUID::Parse("{A0000000-0000-4000-8000-000000000003}");
};

class TDuck : public TInterfacedObject, public IQuack, public IWalk {
  RTL_CLASS(TDuck, TInterfacedObject)
  RTL_INTERFACES(IQuack, IWalk)
 public:
  std::string Quack() override { return "quack"; }
  int Legs() override { return 2; }
};
RTL_IMPLEMENT_CLASS(TDuck)

class TRobotDuck : public TDuck, public IBeep {
  RTL_CLASS(TRobotDuck, TDuck)
  RTL_INTERFACES(IBeep)
};
RTL_IMPLEMENT_CLASS(TRobotDuck)

TEST(ClassModelTest, SupportsAnswersDeclaredInterfacesIncludingInheritedOnes) {
  TDuck duck;
  TRobotDuck robot;
  TPlain plain;
  EXPECT_EQ(Supports<IQuack>(&duck)->Quack(), "quack");
  EXPECT_EQ(Supports<IWalk>(&duck)->Legs(), 2);
  EXPECT_EQ(Supports<IBeep>(&duck), nullptr);
  EXPECT_NE(Supports<IBeep>(&robot), nullptr);
  EXPECT_EQ(Supports<IWalk>(&robot)->Legs(), 2);
  EXPECT_NE(Supports<IInterface>(&robot), nullptr);
  EXPECT_EQ(Supports<IQuack>(&plain), nullptr);
  EXPECT_EQ(Supports<IQuack>(static_cast<TObject*>(nullptr)), nullptr);
  EXPECT_EQ(duck.RefCount(), 0);  // asking through the object adds no reference
}

struct THandlers : TObject {
  void Click(TObject*) { ++clicks; }
  void Other(TObject*) {}
  int clicks = 0;
};

TEST(ClassModelTest, EventsCompareByIdentity) {
  THandlers h1, h2;
  TNotifyEvent a = TNotifyEvent::Method(&h1, &THandlers::Click);
  TNotifyEvent sameAgain = TNotifyEvent::Method(&h1, &THandlers::Click);
  TNotifyEvent otherObject = TNotifyEvent::Method(&h2, &THandlers::Click);
  TNotifyEvent otherMember = TNotifyEvent::Method(&h1, &THandlers::Other);
  EXPECT_TRUE(a == sameAgain);
  EXPECT_FALSE(a == otherObject);
  EXPECT_FALSE(a == otherMember);
  a(nullptr);
  EXPECT_EQ(h1.clicks, 1);

  auto lambda = [](TObject*) {};
  TNotifyEvent first(lambda);
  TNotifyEvent copy = first;
  TNotifyEvent second(lambda);
  EXPECT_TRUE(first == copy);
  EXPECT_FALSE(first == second);  // each wrapping is its own handler

  TNotifyEvent empty1, empty2;
  EXPECT_TRUE(empty1 == empty2);
  EXPECT_TRUE(empty1 == nullptr);
  EXPECT_FALSE(empty1 == a);
  EXPECT_FALSE(static_cast<bool>(empty1));
  EXPECT_NO_THROW(empty1(nullptr));
  TEvent<int()> unassigned;
  EXPECT_EQ(unassigned(), 0);
}

// What the handler below observes, kept outside its closure: after clearing its event it may
// touch nothing the closure holds unless the call keeps the closure alive.
struct TSelfClearing {
  static inline TNotifyEvent event;
  static inline std::weak_ptr<int> capture;
  static inline bool captureAliveAfterClear = false;
};

TEST(ClassModelTest, HandlerMayClearItsOwnEventWhileRunning) {
  auto token = std::make_shared<int>(7);
  TSelfClearing::capture = token;
  TSelfClearing::event = [token = std::move(token)](TObject*) {
    TSelfClearing::event = nullptr;  // the customary idiom
    TSelfClearing::captureAliveAfterClear = !TSelfClearing::capture.expired() && *token == 7;
  };
  TSelfClearing::event(nullptr);
  EXPECT_TRUE(TSelfClearing::captureAliveAfterClear);
  EXPECT_FALSE(static_cast<bool>(TSelfClearing::event));
  EXPECT_TRUE(TSelfClearing::capture.expired());  // released once the call returned
}

enum class TGlyphKind { gkNone, gkArrow, gkCheck };
}  // namespace
RTL_ENUM_INFO(TGlyphKind, "gkNone", "gkArrow", "gkCheck");
namespace {

TEST(ClassModelTest, EnumerationAndIdentifierTables) {
  const TEnumInfo& info = TEnumTraits<TGlyphKind>::Info();
  EXPECT_EQ(info.TypeName, "TGlyphKind");
  EXPECT_EQ(info.IndexOf("GKCHECK"), 2);
  EXPECT_EQ(info.IndexOf("gkDot"), -1);
  EXPECT_EQ(info.NameOf(1), "gkArrow");
  EXPECT_EQ(info.NameOf(3), "");
  EXPECT_EQ(TEnumTraits<bool>::Info().NameOf(1), "True");

  TIdentMap cursors{"TCursor", {{0, "crDefault"}, {-11, "crHourGlass"}}};
  std::string ident;
  EXPECT_TRUE(cursors.ToIdent(-11, ident));
  EXPECT_EQ(ident, "crHourGlass");
  EXPECT_FALSE(cursors.ToIdent(5, ident));
  int64_t value = 0;
  EXPECT_TRUE(cursors.ToInt("CRHOURGLASS", value));
  EXPECT_EQ(value, -11);
  EXPECT_FALSE(cursors.ToInt("crNone", value));
}

class TBaseBox : public TComponent {
  RTL_CLASS(TBaseBox, TComponent)
 public:
  using TComponent::TComponent;
  int A() const { return 1; }
  int B() const { return 2; }
  void Handler(TObject*) {}
  static void DescribeClass(TClassBuilder<TBaseBox>& c) {
    c.Property("A", &TBaseBox::A);
    c.Property("B", &TBaseBox::B);
    c.Method("Handler", &TBaseBox::Handler);
  }
};
RTL_IMPLEMENT_CLASS(TBaseBox)

class TDerivedBox : public TBaseBox {
  RTL_CLASS(TDerivedBox, TBaseBox)
 public:
  using TBaseBox::TBaseBox;
  int A2() const { return a_; }
  void SetA2(int v) { a_ = v; }
  int C() const { return 3; }
  static void DescribeClass(TClassBuilder<TDerivedBox>& c) {
    c.Property("a", &TDerivedBox::A2, &TDerivedBox::SetA2);  // redeclared, now writable
    c.Property("C", &TDerivedBox::C);
  }

 private:
  int a_ = 10;
};
RTL_IMPLEMENT_CLASS(TDerivedBox)

TEST(ClassModelTest, RedeclaredPropertiesReplaceTheAncestorsInPlace) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TDerivedBox::StaticClass()->AllProps()) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "a", "B", "C"}));
  const TPropInfo* a = TDerivedBox::StaticClass()->FindProp("A");
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->IsWritable());
  EXPECT_FALSE(TBaseBox::StaticClass()->FindProp("A")->IsWritable());
  TDerivedBox box(nullptr);
  EXPECT_EQ(a->GetOrd(box), 10);
  EXPECT_NE(TDerivedBox::StaticClass()->FindMethod("HANDLER"), nullptr);
  EXPECT_EQ(TBaseBox::StaticClass()->FindMethod("Missing"), nullptr);
}

}  // namespace

namespace {
// A class whose published property is typed with the class itself (a tree of nodes).
class TSelfRefNode : public TComponent {
  RTL_CLASS(TSelfRefNode, TComponent)
 public:
  explicit TSelfRefNode(TComponent* AOwner) : TComponent(AOwner) {}
  TSelfRefNode* Next() const { return next_; }
  void SetNext(TSelfRefNode* v) { next_ = v; }
  static void DescribeClass(TClassBuilder<TSelfRefNode>& c) {
    c.Property("Next", &TSelfRefNode::Next, &TSelfRefNode::SetNext);
  }

 private:
  TSelfRefNode* next_ = nullptr;
};
RTL_IMPLEMENT_CLASS(TSelfRefNode)
}  // namespace

TEST(ClassModel, PropertyTypedWithItsOwnClassDoesNotRecurse) {
  TClass c = TSelfRefNode::StaticClass();
  const TPropInfo* p = c->FindProp("Next");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->PropClass, c);
  EXPECT_EQ(p->TypeName, "TSelfRefNode");
  EXPECT_EQ(c->Parent, TComponent::StaticClass());
}
