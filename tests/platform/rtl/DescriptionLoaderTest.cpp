// Loading window descriptions into existing roots and the registry of descriptions by class.
#include <gtest/gtest.h>

#include "platform/rtl/Filer.h"
#include "tests/platform/rtl/FilerTestClasses.h"

namespace {

const char kBaseForm[] =
    "object Form: TTestForm\n"
    "  Caption = 'Base'\n"
    "  object Button1: TTestControl\n"
    "    Left = 1\n"
    "    OnClick = ButtonClick\n"
    "  end\n"
    "end\n";

const char kDerivedForm[] =
    "inherited Form: TTestForm2\n"
    "  Caption = 'Derived'\n"
    "  inherited Button1: TTestControl\n"
    "    Left = 2\n"
    "  end\n"
    "  object Button2: TTestControl\n"
    "    Buddy = Button1\n"
    "  end\n"
    "end\n";

class DescriptionLoader : public ::testing::Test {
 protected:
  void SetUp() override { LoadedLog().clear(); }
  void TearDown() override {
    UnregisterDescription("TTestForm");
    UnregisterDescription("TTestForm2");
  }
};

}  // namespace

TEST_F(DescriptionLoader, TextLoadsIntoAnExistingRoot) {
  TTestForm form(nullptr);
  ReadComponentFromText(kBaseForm, &form);
  EXPECT_EQ(form.Name(), "Form");
  EXPECT_EQ(form.Caption(), "Base");
  auto* button = dynamic_cast<TTestControl*>(form.FindComponent("Button1"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Parent(), &form);
  button->OnClick(button);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Button1", "Form"}));
}

TEST_F(DescriptionLoader, BinaryLoadsAndLeavesTheStreamAfterIt) {
  TTestForm form(nullptr);
  TMemoryStream s;
  std::string binary = TextToBinary(kBaseForm);
  s.WriteBuffer(binary.data(), static_cast<int64_t>(binary.size()));
  s.WriteBuffer("next", 4);
  s.SetPosition(0);
  ReadComponentFromBinary(s, &form);
  EXPECT_EQ(form.Caption(), "Base");
  EXPECT_EQ(s.Position(), static_cast<int64_t>(binary.size()));
}

TEST_F(DescriptionLoader, RootClassMustMatchOrBeAnAncestor) {
  {
    TTestForm2 derived(nullptr);  // an ancestor's description loads into a descendant
    ReadComponentFromText(kBaseForm, &derived);
    EXPECT_EQ(derived.Caption(), "Base");
  }
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"object D: TTestData\nend\n", "Description of TTestData cannot be loaded into TTestForm"},
      {kDerivedForm, "Description of TTestForm2 cannot be loaded into TTestForm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TTestForm form(nullptr);
    try {
      ReadComponentFromText(c.text, &form);
      FAIL() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(form.Caption(), "");
  }
}

TEST_F(DescriptionLoader, RootNameIsMadeUniqueAmongItsOwnersComponents) {
  TComponent app(nullptr);
  (new TComponent(&app))->SetName("Form");
  (new TComponent(&app))->SetName("Form_1");
  auto* form = new TTestForm(&app);
  ReadComponentFromText(kBaseForm, form);
  EXPECT_EQ(form->Name(), "Form_2");
}

TEST_F(DescriptionLoader, FailedLoadFreesWhatItCreated) {
  TTestForm form(nullptr);
  EXPECT_THROW(ReadComponentFromText("object Form: TTestForm\n"
                                     "  object A: TTestControl\n"
                                     "    object B: TTestControl\n"
                                     "    end\n"
                                     "  end\n"
                                     "  object C: TTestControl\n"
                                     "    Left = 'wrong'\n"
                                     "  end\n"
                                     "end\n",
                                     &form),
               EReadError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_TRUE(form.Children().empty());
  EXPECT_FALSE(form.ComponentState().Contains(csReading));
  EXPECT_TRUE(LoadedLog().empty());
}

namespace {

// A part that counts what it is told, to show how the notifications grow with the count.
class TCountedPart : public TComponent {
  RTL_CLASS(TCountedPart, TComponent)
 public:
  using TComponent::TComponent;
  static void DescribeClass(TClassBuilder<TCountedPart>&) {}
  static inline int64_t told = 0;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    ++told;
    inherited::Notification(AComponent, Operation);
  }
};
RTL_IMPLEMENT_CLASS(TCountedPart)

}  // namespace

// Reading N components tells none of them of another's arrival, and a read that fails after
// them frees them without telling them of each other (a component is not yet itself while
// its constructor tells it of its own arrival). Both would grow with the square of N.
TEST_F(DescriptionLoader, ManyComponentsCostNotificationsInProportion) {
  RegisterClass(TCountedPart::StaticClass());
  constexpr int kParts = 300;
  for (bool fail : {false, true}) {
    SCOPED_TRACE(fail);
    std::string text = "object Form: TTestForm\n";
    for (int i = 0; i < kParts; ++i) text += "  object P" + std::to_string(i) + ": TCountedPart\n  end\n";
    if (fail) text += "  object Q: TNoSuchClass\n  end\n";
    text += "end\n";
    TTestForm form(nullptr);
    TCountedPart::told = 0;
    if (fail)
      EXPECT_THROW(ReadComponentFromText(text, &form), EFilerError);
    else
      ReadComponentFromText(text, &form);
    EXPECT_EQ(form.ComponentCount(), fail ? 0 : kParts);
    EXPECT_EQ(TCountedPart::told, 0);
  }
}

TEST_F(DescriptionLoader, InheritedDescriptionsLoadAncestorsFirst) {
  RegisterDescription("TTestForm", kBaseForm);
  RegisterDescription("ttestform2", kDerivedForm);  // class names ignore case
  TTestForm2 form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&form));
  EXPECT_EQ(form.Caption(), "Derived");
  auto* button1 = dynamic_cast<TTestControl*>(form.FindComponent("Button1"));
  auto* button2 = dynamic_cast<TTestControl*>(form.FindComponent("Button2"));
  ASSERT_TRUE(button1 && button2);
  EXPECT_EQ(button1->Left(), 2);
  EXPECT_EQ(button2->Buddy(), button1);
  button1->OnClick(button1);
  EXPECT_EQ(form.clicks, 1);
  // Loaded once per component, after both descriptions, the root last.
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Button1", "Button2:Button1", "Form"}));
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));

  TTestForm base(nullptr);  // the ancestor alone takes only its own description
  EXPECT_TRUE(InitInheritedComponent(&base));
  EXPECT_EQ(base.Caption(), "Base");
  EXPECT_EQ(base.ComponentCount(), 1);
}

TEST_F(DescriptionLoader, NothingRegisteredAnswersFalse) {
  TTestForm2 form(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&form));
  EXPECT_EQ(form.ComponentCount(), 0);
  RegisterDescription("TTestForm", kBaseForm);
  UnregisterDescription("TTestForm");
  EXPECT_FALSE(InitInheritedComponent(&form));
}

TEST_F(DescriptionLoader, BrokenRegisteredDescriptionRaises) {
  RegisterDescription("TTestForm", "object Form: TTestForm\n  Left = \nend\n");
  TTestForm form(nullptr);
  EXPECT_THROW(InitInheritedComponent(&form), EParserError);
  // The global loading was closed: a later plain read calls Loaded itself.
  UnregisterDescription("TTestForm");
  ReadComponentFromText(kBaseForm, &form);
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"Button1", "Form"}));
}
