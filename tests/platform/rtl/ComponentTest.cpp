#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

namespace {

// What every component saw, in order, across one test.
std::vector<std::string> gComponentLog;

class TLogComp : public TComponent {
  RTL_CLASS(TLogComp, TComponent)
 public:
  // Named before it joins the owner, so that every notification can say who it is about.
  explicit TLogComp(TComponent* AOwner, const std::string& name = "") : TComponent(nullptr) {
    SetName(name);
    if (AOwner) AOwner->InsertComponent(this);
  }
  ~TLogComp() override { gComponentLog.push_back("~" + Name()); }

  // Names only: the subject may already be in its base destructor.
  void Notification(TComponent* AComponent, TOperation Operation) override {
    gComponentLog.push_back(Name() + (Operation == opInsert ? " +" : " -") +
                            (AComponent ? AComponent->Name() : "?"));
    if (onNote) onNote(AComponent, Operation);
    TComponent::Notification(AComponent, Operation);
  }

  using TComponent::SetListensForArrivals;
  std::function<void(TComponent*, TOperation)> onNote;
};
RTL_IMPLEMENT_CLASS(TLogComp)

template <class T>
std::string Joined(const std::vector<T>& v) {
  std::string s;
  for (const auto& x : v) s += (s.empty() ? "" : ",") + x;
  return s;
}

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { gComponentLog.clear(); }
  std::string Log() {
    std::string s = Joined(gComponentLog);
    gComponentLog.clear();
    return s;
  }
};

TEST_F(ComponentTest, OwnerInsertsAndTellsItselfTheNewcomerAndListeners) {
  auto* form = new TLogComp(nullptr, "form");
  auto* a = new TLogComp(form, "a");
  EXPECT_EQ(Log(), "form +a,a +a");
  auto* b = new TLogComp(form, "b");
  // Siblings that do not listen for arrivals are not told: filling an owner stays linear.
  EXPECT_EQ(Log(), "form +b,b +b");
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(0), a);
  EXPECT_EQ(form->Components(1), b);
  EXPECT_EQ(b->Owner(), form);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(form->ComponentIndex(), -1);
  try {
    form->Components(2);
    ADD_FAILURE() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(form->Components(-1), EListError);
  delete form;
}

TEST_F(ComponentTest, ArrivalsReachOnlyTheListenersAmongTheSiblings) {
  auto* form = new TLogComp(nullptr, "form");
  auto* a = new TLogComp(form, "a");
  new TLogComp(form, "b");
  a->SetListensForArrivals(true);
  Log();
  new TLogComp(form, "c");
  EXPECT_EQ(Log(), "form +c,c +c,a +c");
  // Removals still reach every sibling; a listener that left hears no more arrivals.
  form->RemoveComponent(a);
  EXPECT_EQ(Log(), "form -a,c -a,b -a");
  new TLogComp(form, "d");
  EXPECT_EQ(Log(), "form +d,d +d");
  form->InsertComponent(a);
  new TLogComp(form, "e");
  EXPECT_EQ(Log(), "form +a,a +a,form +e,e +e,a +e");
  form->CheckConsistency();
  a->SetListensForArrivals(false);
  for (int i = 0; i < 200; ++i) new TLogComp(form);
  EXPECT_EQ(gComponentLog.size(), 400u);
  form->CheckConsistency();
  delete form;
}

TEST_F(ComponentTest, NameIndexFollowsRenamesAndMoves) {
  TComponent form(nullptr), other(nullptr);
  auto* a = new TComponent(&form);
  a->SetName("Edit1");
  a->SetName("Edit2");
  EXPECT_EQ(form.FindComponent("edit1"), nullptr);
  EXPECT_EQ(form.FindComponent("EDIT2"), a);
  auto* b = new TComponent(&form);
  EXPECT_NO_THROW(b->SetName("Edit1"));  // the old name is free again
  other.InsertComponent(a);
  EXPECT_EQ(form.FindComponent("Edit2"), nullptr);
  EXPECT_EQ(other.FindComponent("edit2"), a);
  EXPECT_NO_THROW(new TComponent(&form));  // unnamed ones never collide
  b->SetName("");
  EXPECT_EQ(form.FindComponent("Edit1"), nullptr);
  form.CheckConsistency();
  other.CheckConsistency();
}

TEST_F(ComponentTest, SetNameValidatesIdentifiers) {
  TComponent c(nullptr);
  for (const char* bad : {"1abc", "a b", "a-b", "a.b", " a", "\xE4\xB8\xAD"}) {
    SCOPED_TRACE(bad);
    try {
      c.SetName(bad);
      FAIL() << "accepted";
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid component name");
    }
    EXPECT_EQ(c.Name(), "");
  }
  for (const char* good : {"a", "_x", "Button1", "A_b_9", ""}) {
    SCOPED_TRACE(good);
    EXPECT_NO_THROW(c.SetName(good));
    EXPECT_EQ(c.Name(), good);
  }
}

TEST_F(ComponentTest, NamesAreUniqueAmongTheOwnersComponentsIgnoringCase) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  a->SetName("Button1");
  try {
    b->SetName("BUTTON1");
    FAIL() << "duplicate accepted";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named BUTTON1 already exists");
  }
  EXPECT_EQ(b->Name(), "");
  EXPECT_EQ(form.FindComponent("button1"), a);
  EXPECT_EQ(form.FindComponent(""), nullptr);  // unnamed ones are never found
  // A component may change the case of its own name.
  EXPECT_NO_THROW(a->SetName("BUTTON1"));
  EXPECT_EQ(a->Name(), "BUTTON1");
  // Components without an owner do not collide.
  TComponent x(nullptr), y(nullptr);
  x.SetName("Same");
  EXPECT_NO_THROW(y.SetName("Same"));
  // A named component joining an owner is checked too.
  TComponent* stray = new TComponent(nullptr);
  stray->SetName("button1");
  EXPECT_THROW(form.InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->Owner(), nullptr);
  delete stray;
}

enum class FreeWay { Delete, Free };

class ComponentFreeTest : public ComponentTest, public ::testing::WithParamInterface<FreeWay> {
 protected:
  void Destroy(TComponent* c) {
    if (GetParam() == FreeWay::Delete)
      delete c;
    else
      c->Free();
  }
};

TEST_P(ComponentFreeTest, OwnerFreesOwnedComponentsLastFirstWithoutTellingItself) {
  auto* form = new TLogComp(nullptr, "form");
  auto* a = new TLogComp(form, "a");
  new TLogComp(form, "b");
  new TLogComp(a, "a1");
  Log();
  Destroy(form);
  // Owned components are taken out silently, then freed; each frees its own first.
  EXPECT_EQ(Log(), "~form,~b,~a,~a1");
}

TEST_P(ComponentFreeTest, FreeingAComponentTellsTheOwnerAndItsOtherComponents) {
  auto* form = new TLogComp(nullptr, "form");
  auto* a = new TLogComp(form, "a");
  auto* b = new TLogComp(form, "b");
  new TLogComp(form, "c");
  Log();
  Destroy(b);
  EXPECT_EQ(Log(), "~b,form -b,c -b,a -b");
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->Components(0), a);
  delete form;
}

TEST_P(ComponentFreeTest, FreeNotificationLinksBothWays) {
  for (bool freeFirst : {true, false}) {
    SCOPED_TRACE(freeFirst);
    auto* a = new TLogComp(nullptr, "a");
    auto* b = new TLogComp(nullptr, "b");
    a->FreeNotification(b);
    EXPECT_TRUE(a->ComponentState().Contains(csFreeNotification));
    EXPECT_TRUE(b->ComponentState().Contains(csFreeNotification));
    Log();
    TLogComp* gone = freeFirst ? a : b;
    TLogComp* left = freeFirst ? b : a;
    std::string goneName = gone->Name(), leftName = left->Name();
    Destroy(gone);
    // Free tells the clients before the destructors run; a plain delete from the base destructor.
    std::string told = leftName + " -" + goneName, destroyed = "~" + goneName;
    EXPECT_EQ(Log(), GetParam() == FreeWay::Free ? told + "," + destroyed : destroyed + "," + told);
    // The survivor no longer refers to the freed one.
    EXPECT_FALSE(left->ComponentState().Contains(csFreeNotification));
    Destroy(left);
    EXPECT_EQ(Log(), "~" + leftName);
  }
}

TEST_P(ComponentFreeTest, RemoveFreeNotificationUnlinks) {
  auto* a = new TLogComp(nullptr, "a");
  auto* b = new TLogComp(nullptr, "b");
  a->FreeNotification(b);
  b->RemoveFreeNotification(a);
  EXPECT_FALSE(a->ComponentState().Contains(csFreeNotification));
  Log();
  Destroy(a);
  EXPECT_EQ(Log(), "~a");
  Destroy(b);
}

TEST_P(ComponentFreeTest, OwnedComponentsAreMarkedDestroyingBeforeAnyIsFreed) {
  auto* form = new TLogComp(nullptr, "form");
  auto* a = new TLogComp(form, "a");
  bool aDestroyingWhenBGoes = false;
  struct Probe : TLogComp {
    using TLogComp::TLogComp;
    TComponent* sibling = nullptr;
    bool* seen = nullptr;
    ~Probe() override { *seen = sibling->ComponentState().Contains(csDestroying); }
  };
  auto* b = new Probe(form, "b");
  b->sibling = a;
  b->seen = &aDestroyingWhenBGoes;
  Destroy(form);
  EXPECT_TRUE(aDestroyingWhenBGoes);
}

TEST_P(ComponentFreeTest, ClientsMayFreeOtherComponentsWhileBeingTold) {
  auto* form = new TLogComp(nullptr, "form");
  auto* a = new TLogComp(form, "a");
  auto* b = new TLogComp(form, "b");
  auto* c = new TLogComp(form, "c");
  auto* outside = new TLogComp(nullptr, "x");
  outside->FreeNotification(a);
  outside->FreeNotification(c);
  // When a goes, b frees c (a client of `outside` too); nothing may be told twice or after it is gone.
  b->onNote = [&](TComponent* who, TOperation op) {
    if (who == a && op == opRemove) delete c;
  };
  Log();
  Destroy(a);
  EXPECT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(form->Components(0), b);
  EXPECT_FALSE(outside->ComponentState().Contains(csFreeNotification));
  delete form;
  delete outside;
}

INSTANTIATE_TEST_SUITE_P(Ways, ComponentFreeTest, ::testing::Values(FreeWay::Delete, FreeWay::Free),
                         [](const auto& info) { return info.param == FreeWay::Delete ? "Delete" : "Free"; });

TEST_F(ComponentTest, ComponentsLeavingAnOwnerBeingDestroyedAreNotToldOfEachOther) {
  // As a parent control frees its children before its components go.
  struct TFreesOwnFirst : TLogComp {
    using TLogComp::TLogComp;
    ~TFreesOwnFirst() override {
      Destroying();
      while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    }
  };
  auto* form = new TFreesOwnFirst(nullptr, "form");
  for (const char* name : {"a", "b", "c"}) new TLogComp(form, name);
  Log();
  delete form;
  EXPECT_EQ(Log(), "~c,form -c,~b,form -b,~a,form -a,~form");
}

TEST_F(ComponentTest, FreeLetsDestructorsSeeCsDestroying) {
  bool seen = false;
  struct Watch : TComponent {
    using TComponent::TComponent;
    bool* out = nullptr;
    ~Watch() override { *out = ComponentState().Contains(csDestroying); }
  };
  auto* w = new Watch(nullptr);
  w->out = &seen;
  w->Free();
  EXPECT_TRUE(seen);
}

TEST_F(ComponentTest, AFailedInsertLeavesTheOwnerWithoutTheComponent) {
  TLogComp form(nullptr, "form");
  form.onNote = [](TComponent*, TOperation op) {
    if (op == opInsert) throw EComponentError("refused");
  };
  EXPECT_THROW(new TComponent(&form), EComponentError);
  EXPECT_EQ(form.ComponentCount(), 0);
  form.onNote = nullptr;
}

TEST_F(ComponentTest, InsertComponentMovesFromThePreviousOwner) {
  auto* first = new TLogComp(nullptr, "first");
  auto* second = new TLogComp(nullptr, "second");
  auto* a = new TLogComp(first, "a");
  Log();
  second->InsertComponent(a);
  EXPECT_EQ(Log(), "first -a,second +a,a +a");
  EXPECT_EQ(a->Owner(), second);
  EXPECT_EQ(first->ComponentCount(), 0);
  EXPECT_EQ(second->ComponentCount(), 1);
  second->RemoveComponent(a);
  EXPECT_EQ(a->Owner(), nullptr);
  delete a;
  delete first;
  delete second;
}

TEST_F(ComponentTest, SetComponentIndexMovesWithinTheOwnerAndClamps) {
  TComponent form(nullptr);
  std::vector<TComponent*> c;
  for (int i = 0; i < 4; ++i) {
    c.push_back(new TComponent(&form));
    c.back()->SetName("C" + std::to_string(i));
  }
  auto order = [&] {
    std::vector<std::string> names;
    for (int i = 0; i < form.ComponentCount(); ++i) names.push_back(form.Components(i)->Name());
    return Joined(names);
  };
  c[0]->SetComponentIndex(2);
  EXPECT_EQ(order(), "C1,C2,C0,C3");
  c[3]->SetComponentIndex(-5);
  EXPECT_EQ(order(), "C3,C1,C2,C0");
  c[3]->SetComponentIndex(99);
  EXPECT_EQ(order(), "C1,C2,C0,C3");
  TComponent loose(nullptr);
  EXPECT_NO_THROW(loose.SetComponentIndex(3));
}

TEST_F(ComponentTest, StateAndStyleSwitches) {
  TComponent form(nullptr);
  auto* child = new TComponent(&form);
  auto* grandchild = new TComponent(child);
  form.SetAncestor(true);
  EXPECT_TRUE(grandchild->ComponentState().Contains(csAncestor));
  form.SetAncestor(false);
  EXPECT_FALSE(child->ComponentState().Contains(csAncestor));

  form.Loading();
  EXPECT_TRUE(form.ComponentState().Contains(csLoading));
  form.Loaded();
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  form.SetSubComponent(true);
  EXPECT_TRUE(form.ComponentStyle().Contains(csSubComponent));
}

struct IProbe : public virtual IInterface {
  static constexpr TGUID IID = TGUID::Parse("{6A1C2F0E-3B4D-4E5F-8A9B-0C1D2E3F4A5B}");
  virtual int Answer() = 0;
};

class TProbeComp : public TComponent, public IProbe {
  RTL_CLASS(TProbeComp, TComponent)
  RTL_INTERFACES(IProbe)
 public:
  using TComponent::TComponent;
  int Answer() override { return 42; }
};
RTL_IMPLEMENT_CLASS(TProbeComp)

TEST_F(ComponentTest, QueryInterfaceAnswersOfferedInterfaces) {
  TProbeComp c(nullptr);
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(c.QueryInterface(IInterface::IID, &p), S_OK);
  EXPECT_EQ(p, static_cast<IInterface*>(static_cast<TComponent*>(&c)));
  EXPECT_EQ(c.QueryInterface(IProbe::IID, &p), S_OK);
  EXPECT_EQ(static_cast<IProbe*>(p)->Answer(), 42);
  constexpr TGUID other = TGUID::Parse("{00000000-0000-0000-0000-0000000000AA}");
  EXPECT_EQ(c.QueryInterface(other, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(Supports<IProbe>(&c)->Answer(), 42);
  // A plain component answers only IInterface.
  TComponent plain(nullptr);
  EXPECT_EQ(Supports<IProbe>(&plain), nullptr);
  EXPECT_EQ(plain.QueryInterface(IProbe::IID, &p), E_NOINTERFACE);
  EXPECT_EQ(plain.QueryInterface(IInterface::IID, &p), S_OK);
}

TEST_F(ComponentTest, PublishesNameUnstoredAndTagWithDefaultZero) {
  TClass cls = TComponent::StaticClass();
  const TPropInfo* name = cls->FindProp("name");
  ASSERT_NE(name, nullptr);
  TComponent c(nullptr);
  EXPECT_FALSE(name->IsStored(c));
  name->SetStr(c, "Edit1");
  EXPECT_EQ(c.Name(), "Edit1");
  const TPropInfo* tag = cls->FindProp("Tag");
  ASSERT_NE(tag, nullptr);
  EXPECT_EQ(tag->Kind, TTypeKind::tkInteger);
  EXPECT_TRUE(tag->HasDefault);
  EXPECT_EQ(tag->DefaultValue, 0);
  tag->SetOrd(c, 7);
  EXPECT_EQ(c.Tag(), 7);
  // The published name goes through validation.
  EXPECT_THROW(name->SetStr(c, "not valid"), EComponentError);
}

}  // namespace
