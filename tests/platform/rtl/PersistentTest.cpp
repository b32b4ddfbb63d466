#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"

namespace {

class TPen : public TPersistent {
  RTL_CLASS(TPen, TPersistent)
 public:
  int width = 1;
  void Assign(TPersistent* Source) override {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
      width = p->width;
      return;
    }
    TPersistent::Assign(Source);
  }
};
RTL_IMPLEMENT_CLASS(TPen)

// Knows how to write itself into a TPen, which does not know it: the AssignTo path.
class TPenRecipe : public TPersistent {
  RTL_CLASS(TPenRecipe, TPersistent)
 public:
  int width = 9;

 protected:
  void AssignTo(TPersistent* Dest) override {
    if (auto* p = dynamic_cast<TPen*>(Dest)) {
      p->width = width;
      return;
    }
    TPersistent::AssignTo(Dest);
  }
};
RTL_IMPLEMENT_CLASS(TPenRecipe)

class TBrush : public TPersistent {
  RTL_CLASS(TBrush, TPersistent)
};
RTL_IMPLEMENT_CLASS(TBrush)

// A sub-object that reports its owner, as a font reports its control.
class TOwnedPen : public TPen {
  RTL_CLASS(TOwnedPen, TPen)
 public:
  explicit TOwnedPen(TPersistent* owner = nullptr) : owner_(owner) {}
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};
RTL_IMPLEMENT_CLASS(TOwnedPen)

std::string AssignMessage(TPersistent* dest, TPersistent* source) {
  try {
    dest->Assign(source);
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "(assigned)";
}

TEST(PersistentTest, AssignFallsBackToTheSourcesAssignTo) {
  TPen pen;
  TPen other;
  other.width = 5;
  pen.Assign(&other);
  EXPECT_EQ(pen.width, 5);
  TPenRecipe recipe;
  pen.Assign(&recipe);
  EXPECT_EQ(pen.width, 9);
}

TEST(PersistentTest, AssignErrorsNameBothClasses) {
  TPen pen;
  TBrush brush;
  TPenRecipe recipe;
  struct Case {
    TPersistent* dest;
    TPersistent* source;
    const char* message;
  } cases[] = {
      {&pen, nullptr, "Cannot assign a nil to a TPen"},
      {&pen, &brush, "Cannot assign a TBrush to a TPen"},
      {&brush, &pen, "Cannot assign a TPen to a TBrush"},
      {&brush, &recipe, "Cannot assign a TPenRecipe to a TBrush"},
      {&recipe, &pen, "Cannot assign a TPen to a TPenRecipe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(AssignMessage(c.dest, c.source), c.message);
  }
}

TEST(PersistentTest, NamePathIsTheClassNameBehindTheOwnersPath) {
  TOwnedPen loose;
  EXPECT_EQ(loose.GetNamePath(), "TOwnedPen");
  TComponent form(nullptr);
  TOwnedPen pen(&form);
  EXPECT_EQ(pen.GetNamePath(), "TOwnedPen");  // an unnamed owner adds nothing
  form.SetName("Form1");
  EXPECT_EQ(pen.GetNamePath(), "Form1.TOwnedPen");
  EXPECT_EQ(form.GetNamePath(), "Form1");
  TComponent button(&form);
  EXPECT_EQ(button.GetOwner(), &form);
}

struct ICounter : public virtual IInterface {
  static constexpr TGUID IID = TGUID::Parse("{1F2E3D4C-5B6A-4978-8695-A4B3C2D1E0F9}");
  virtual int Next() = 0;
};

int gCountersAlive = 0;

class TCounter : public TInterfacedObject, public ICounter {
  RTL_CLASS(TCounter, TInterfacedObject)
  RTL_INTERFACES(ICounter)
 public:
  TCounter() { ++gCountersAlive; }
  ~TCounter() override { --gCountersAlive; }
  int Next() override { return ++n_; }

 private:
  int n_ = 0;
};
RTL_IMPLEMENT_CLASS(TCounter)

TEST(InterfacedObjectTest, TheLastReleaseFreesTheObject) {
  auto* counter = new TCounter;
  EXPECT_EQ(counter->RefCount(), 0);
  {
    TInterfacePtr<ICounter> first(counter);
    EXPECT_EQ(counter->RefCount(), 1);
    TInterfacePtr<ICounter> second = first;
    EXPECT_EQ(counter->RefCount(), 2);
    EXPECT_EQ(second->Next(), 1);
  }
  EXPECT_EQ(gCountersAlive, 0);
}

TEST(InterfacedObjectTest, QueryInterfaceAddsAReference) {
  auto* counter = new TCounter;
  IInterface& asInterface = *counter;
  TInterfacePtr<IInterface> holder(&asInterface);
  void* p = nullptr;
  ASSERT_EQ(counter->QueryInterface(ICounter::IID, &p), S_OK);
  EXPECT_EQ(counter->RefCount(), 2);
  static_cast<ICounter*>(p)->_Release();
  EXPECT_EQ(Supports<ICounter>(&asInterface)->Next(), 1);
  EXPECT_EQ(counter->RefCount(), 1);
  constexpr TGUID unknown = TGUID::Parse("{00000000-0000-0000-0000-0000000000BB}");
  EXPECT_EQ(counter->QueryInterface(unknown, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(counter->RefCount(), 1);
  EXPECT_EQ(gCountersAlive, 1);
}

}  // namespace
