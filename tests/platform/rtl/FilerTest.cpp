// The binary description form: value encodings, component round trips, descendants against
// an ancestor, event binding, references, Loaded order and the reader's hooks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/Filer.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/rtl/FilerTestClasses.h"

namespace {

template <class Fn>
std::string Written(Fn write) {
  TMemoryStream s;
  {
    TWriter w(s);
    write(w);
  }
  return StreamBytes(s);
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

std::string Short(const std::string& s) {
  return static_cast<char>(s.size()) + s;
}

}  // namespace

TEST(FilerValues, IntegersTakeTheSmallestTag) {
  struct Case {
    int64_t value;
    TValueType tag;
    size_t size;
  };
  const Case cases[] = {
      {0, vaInt8, 2},
      {127, vaInt8, 2},
      {-128, vaInt8, 2},
      {128, vaInt16, 3},
      {-129, vaInt16, 3},
      {32767, vaInt16, 3},
      {32768, vaInt32, 5},
      {-32769, vaInt32, 5},
      {std::numeric_limits<int32_t>::max(), vaInt32, 5},
      {std::numeric_limits<int32_t>::min(), vaInt32, 5},
      {int64_t(std::numeric_limits<int32_t>::max()) + 1, vaInt64, 9},
      {std::numeric_limits<int64_t>::min(), vaInt64, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::string bytes = Written([&](TWriter& w) { w.WriteInt64(c.value); });
    ASSERT_EQ(bytes.size(), c.size);
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), c.tag);
    TStringStream s(bytes);
    TReader r(s);
    EXPECT_EQ(r.ReadInt64(), c.value);
  }
  // Little-endian payload.
  EXPECT_EQ(Written([](TWriter& w) { w.WriteInteger(0x1234); }), Bytes({vaInt16, 0x34, 0x12}));
}

TEST(FilerValues, ReadIntegerRefusesOtherKinds) {
  for (const std::string& bytes :
       {Written([](TWriter& w) { w.WriteInt64(int64_t(1) << 40); }),
        Written([](TWriter& w) { w.WriteString("1"); }), Written([](TWriter& w) { w.WriteFloat(1); })}) {
    TStringStream s(bytes);
    TReader r(s);
    EXPECT_THROW(r.ReadInteger(), EReadError);
  }
}

TEST(FilerValues, StringsAreShortLongOrWide) {
  std::string s255(255, 'a'), s256(256, 'b');
  EXPECT_EQ(Written([&](TWriter& w) { w.WriteString(s255); })[0], vaString);
  std::string longBytes = Written([&](TWriter& w) { w.WriteString(s256); });
  EXPECT_EQ(longBytes.substr(0, 5), Bytes({vaLString, 0, 1, 0, 0}));
  EXPECT_EQ(Written([](TWriter& w) { w.WriteWideString(u"h\u00e9"); }),
            Bytes({vaWString, 2, 0, 0, 0, 'h', 0, 0xE9, 0}));

  // Every string tag reads as UTF-8 and as UTF-16.
  const std::string text = "Gr\xC3\xBC\xC3\x9F \xE4\xBD\xA0";
  std::string utf8Tagged = Bytes({vaUTF8String, static_cast<int>(text.size()), 0, 0, 0}) + text;
  for (const std::string& bytes :
       {Written([&](TWriter& w) { w.WriteString(text); }),
        Written([&](TWriter& w) { w.WriteWideString(Utf8ToUtf16(text)); }), utf8Tagged,
        Bytes({vaLString, static_cast<int>(text.size()), 0, 0, 0}) + text}) {
    SCOPED_TRACE(static_cast<int>(bytes[0]));
    TStringStream a(bytes), b(bytes);
    TReader ra(a), rb(b);
    EXPECT_EQ(ra.ReadString(), text);
    EXPECT_EQ(rb.ReadWideString(), Utf8ToUtf16(text));
  }
}

TEST(FilerValues, FloatsKeepTheirBits) {
  const long double extended = 1.0L / 3;
  std::string bytes = Written([&](TWriter& w) {
    w.WriteFloat(extended);
    w.WriteSingle(0.1f);
    w.WriteCurrency(Currency::FromRaw(-123456789));
    w.WriteDate(45000.5);
  });
  ASSERT_EQ(bytes.size(), 11u + 5 + 9 + 9);
  EXPECT_EQ(bytes[0], vaExtended);
  TStringStream s(bytes);
  TReader r(s);
  long double back = r.ReadFloat();
  EXPECT_EQ(std::memcmp(&back, &extended, 10), 0);
  EXPECT_EQ(r.ReadSingle(), 0.1f);
  EXPECT_EQ(r.ReadCurrency().Raw(), -123456789);
  EXPECT_EQ(r.ReadDate(), 45000.5);
}

TEST(FilerValues, IdentsMapTheirOwnTags) {
  EXPECT_EQ(Written([](TWriter& w) {
              for (const char* id : {"false", "TRUE", "nil", "Null", "alLeft"}) w.WriteIdent(id);
            }),
            Bytes({vaFalse, vaTrue, vaNil, vaNull, vaIdent}) + Short("alLeft"));
  TStringStream s(Bytes({vaFalse, vaTrue, vaNil, vaNull}));
  TReader r(s);
  for (const char* expected : {"False", "True", "nil", "Null"}) EXPECT_EQ(r.ReadIdent(), expected);
}

TEST(FilerValues, VariantsRoundTrip) {
  const Variant cases[] = {
      Variant(),
      Null(),
      Variant(7),
      Variant(-100000),
      Variant(static_cast<long long>(1) << 50),
      Variant(2.5),
      Variant(0.25f),
      Variant(Currency::FromRaw(15000)),
      Variant::FromDate(45000.75),
      Variant(true),
      Variant(std::string("text")),
      Variant(std::u16string(u"wide")),
      VarArrayOf({Variant(1), Null(), Variant("x"), VarArrayOf({Variant(2.5)}), Variant()})};
  for (const Variant& v : cases) {
    SCOPED_TRACE(VarTypeAsText(v.VarType()));
    std::string bytes = Written([&](TWriter& w) {
      w.WriteVariant(v);
      w.WriteInteger(99);  // whatever follows stays in step
    });
    TStringStream s(bytes);
    TReader r(s);
    Variant back = r.ReadVariant();
    EXPECT_TRUE(VariantsEqual(back, v));
    EXPECT_EQ(back.IsArray(), v.IsArray());
    EXPECT_EQ(back.VarType() == varOleStr, v.VarType() == varOleStr);
    EXPECT_EQ(r.ReadInteger(), 99);
  }
  EXPECT_EQ(Written([](TWriter& w) { w.WriteVariant(2.5); })[0], vaExtended);  // a Double travels as Extended
  try {
    Written([](TWriter& w) { w.WriteVariant(Variant::FromError(5)); });
    FAIL() << "no exception";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Invalid variant type");
  }
}

TEST(FilerValues, SkipValueStepsOverEveryKind) {
  std::string bytes = Written([](TWriter& w) {
    w.WriteVariant(VarArrayOf({Variant(1), VarArrayOf({Variant("deep")})}));
    w.WriteFloat(2);
    w.WriteString(std::string(300, 'x'));
    w.WriteWideString(u"w");
    w.WriteValue(vaSet);
    w.WriteStr("a");
    w.WriteStr("");
    w.WriteValue(vaBinary);
    int32_t n = 2;
    w.Write(&n, 4);
    w.Write("\1\2", 2);
    w.WriteValue(vaCollection);
    w.WriteInteger(3);
    w.WriteListBegin();
    w.WriteStr("P");
    w.WriteInteger(1);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteInteger(77);
  });
  TStringStream s(bytes);
  TReader r(s);
  for (int i = 0; i < 7; ++i) r.SkipValue();
  EXPECT_EQ(r.ReadInteger(), 77);
}

TEST(FilerValues, ReaderLeavesStreamAfterWhatItRead) {
  std::string bytes = Written([](TWriter& w) { w.WriteInteger(5); }) + "tail";
  TStringStream s(bytes);
  {
    TReader r(s, 64);
    EXPECT_EQ(r.ReadInteger(), 5);
    EXPECT_EQ(r.Position(), 2);
  }
  EXPECT_EQ(s.Position(), 2);
}

// --- components ----------------------------------------------------------------------------

TEST(FilerComponents, DefaultsAreNotWritten) {
  TTestControl c(nullptr);
  c.SetName("C1");
  EXPECT_EQ(ComponentToBinary(&c), "TPF0" + Short("TTestControl") + Short("C1") + Bytes({0, 0}));
}

TEST(FilerComponents, PropertyLayout) {
  TTestForm form(nullptr);
  form.SetName("F");
  auto* c = new TTestControl(&form);
  c->SetName("C");
  c->SetParent(&form);
  c->SetLeft(10);
  c->SetEnabled(false);
  c->SetAlign(TTestAlign::taLeft);
  c->SetOptions({TTestOption::toEditing, TTestOption::toTabs});
  c->SetColor(0xFF);
  c->OnClick = TNotifyEvent::Method(&form, &TTestForm::ButtonClick, "ButtonClick");
  c->Font()->SetName("Tahoma");
  static_cast<TTestItem*>(c->Columns()->Add())->SetFieldName("X");
  c->Items()->Add("a");
  c->Data() = {0x0A, 0x0B, 0x0C};

  std::string expectedChild = Short("TTestControl") + Short("C") +                               //
                              Short("Left") + Bytes({vaInt8, 10}) +                              //
                              Short("Enabled") + Bytes({vaFalse}) +                              //
                              Short("Align") + Bytes({vaIdent}) + Short("taLeft") +              //
                              Short("Options") + Bytes({vaSet}) + Short("toEditing") +           //
                              Short("toTabs") + Bytes({0}) +                                     //
                              Short("Color") + Bytes({vaIdent}) + Short("clRed") +               //
                              Short("OnClick") + Bytes({vaIdent}) + Short("ButtonClick") +       //
                              Short("Font.Name") + Bytes({vaString}) + Short("Tahoma") +         //
                              Short("Columns") + Bytes({vaCollection, vaList}) +                 //
                              Short("FieldName") + Bytes({vaString}) + Short("X") +              //
                              Bytes({0, 0}) +                                                    //
                              Short("Items.Strings") + Bytes({vaList, vaString}) + Short("a") +  //
                              Bytes({0}) +                                                       //
                              Short("Data") + Bytes({vaBinary, 3, 0, 0, 0, 0x0A, 0x0B, 0x0C}) +  //
                              Bytes({0, 0});
  EXPECT_EQ(ComponentToBinary(&form),
            "TPF0" + Short("TTestForm") + Short("F") + Bytes({0}) + expectedChild + Bytes({0}));
}

TEST(FilerComponents, RoundTripRestoresEveryProperty) {
  TTestForm source(nullptr);
  BuildSampleForm(source);
  std::string bytes = ComponentToBinary(&source);

  TTestForm form(nullptr);
  ReadBinaryInto(bytes, &form);
  EXPECT_EQ(ComponentToBinary(&form), bytes);

  EXPECT_EQ(form.Name(), "Form1");
  EXPECT_EQ(form.Caption(), "Hello\r\nit's");
  auto* panel = dynamic_cast<TTestControl*>(form.FindComponent("Panel1"));
  auto* button = dynamic_cast<TTestControl*>(form.FindComponent("Button1"));
  auto* edit = dynamic_cast<TTestControl*>(form.FindComponent("Edit1"));
  ASSERT_TRUE(panel && button && edit);
  EXPECT_TRUE(dynamic_cast<TTestData*>(form.FindComponent("Data1")));
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(panel->Parent(), &form);
  EXPECT_EQ(button->Hint(), u"Press \u2713 \U0001F600");
  EXPECT_EQ(button->Ratio(), 1.5);
  EXPECT_EQ(button->Price(), 12.5);
  EXPECT_EQ(button->When(), 45000.25);
  EXPECT_EQ(button->Scale(), 0.75f);
  EXPECT_EQ(button->Big(), int64_t(1) << 40);
  EXPECT_FALSE(button->Enabled());
  EXPECT_EQ(button->Options(), (TTestOptions{TTestOption::toEditing, TTestOption::toTabs}));
  EXPECT_EQ(button->Color(), 0xFF);
  EXPECT_EQ(button->Buddy(), edit);
  EXPECT_EQ(button->Font()->Name(), "Tahoma");
  EXPECT_EQ(button->Font()->Charset(), 134);
  EXPECT_EQ(button->Items()->Text(), "a\r\nb\r\n");
  ASSERT_EQ(button->Columns()->Count(), 2);
  EXPECT_EQ(button->Column(0)->Buddy(), panel);
  EXPECT_EQ(button->Column(1)->Width(), 80);
  EXPECT_EQ(button->Extra(), (std::vector<int>{1, 300, -70000}));
  EXPECT_EQ(button->Data(), (std::vector<uint8_t>{0x0A, 0x0B, 0x0C}));
  EXPECT_TRUE(VariantsEqual(edit->Value(), VarArrayOf({Variant(1), Null(), Variant("x")})));
  ASSERT_TRUE(static_cast<bool>(button->OnClick));
  button->OnClick(button);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(form.lastSender, button);
}

TEST(FilerComponents, ReadComponentCreatesTheRoot) {
  TTestForm source(nullptr);
  BuildSampleForm(source);
  TMemoryStream s;
  s.WriteComponent(&source);
  s.WriteBuffer("tail", 4);
  s.SetPosition(0);
  TComponent* read = s.ReadComponent(nullptr);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->ClassName(), "TTestForm");
  EXPECT_EQ(read->ComponentCount(), 4);
  EXPECT_EQ(s.Position(), s.Size() - 4);
  read->Free();
}

TEST(FilerComponents, ReadComponentOnItsOwnOwnsWhatFollows) {
  TTestForm source(nullptr);
  BuildSampleForm(source);
  TStringStream s(ComponentToBinary(&source));
  TReader reader(s);
  reader.ReadSignature();
  TComponent* read = reader.ReadComponent(nullptr);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Owner(), nullptr);
  EXPECT_EQ(read->ComponentCount(), 4);
  auto* button = static_cast<TTestControl*>(read->FindComponent("Button1"));
  EXPECT_EQ(button->Buddy(), read->FindComponent("Edit1"));
  read->Free();
}

TEST(FilerComponents, CollectionIsClearedBeforeItsItemsAreRead) {
  TTestControl source(nullptr);
  static_cast<TTestItem*>(source.Columns()->Add())->SetFieldName("new");
  TTestControl target(nullptr);
  for (int i = 0; i < 3; ++i) target.Columns()->Add();
  ReadBinaryInto(ComponentToBinary(&source), &target);
  ASSERT_EQ(target.Columns()->Count(), 1);
  EXPECT_EQ(target.Column(0)->FieldName(), "new");
}

// --- against an ancestor ---------------------------------------------------------------------

TEST(FilerDescendent, WritesOnlyDifferences) {
  TTestForm ancestor(nullptr), form(nullptr);
  BuildSampleForm(ancestor);
  BuildSampleForm(form);
  // Nothing changed: the root alone, flagged inherited; unchanged children are left out.
  EXPECT_EQ(ComponentToBinary(&form, &ancestor),
            "TPF0" + Bytes({0xF1}) + Short("TTestForm") + Short("Form1") + Bytes({0, 0}));

  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  button->SetLeft(5);
  button->Extra().push_back(4);  // a defined property whose HasData consults the ancestor
  auto* extra = new TTestControl(&form);
  extra->SetName("Extra1");
  extra->SetParent(&form);
  std::string text = BinaryToText(ComponentToBinary(&form, &ancestor));
  EXPECT_EQ(text,
            "inherited Form1: TTestForm\r\n"
            "  inherited Panel1: TTestControl\r\n"
            "    inherited Button1: TTestControl\r\n"
            "      Left = 5\r\n"
            "      Extra = (\r\n"
            "        1\r\n"
            "        300\r\n"
            "        -70000\r\n"
            "        4)\r\n"
            "    end\r\n"
            "  end\r\n"
            "  object Extra1: TTestControl [1]\r\n"
            "  end\r\n"
            "end\r\n");
}

TEST(FilerDescendent, ValuesResetToDefaultAreWritten) {
  TTestForm ancestor(nullptr), form(nullptr);
  BuildSampleForm(ancestor);
  BuildSampleForm(form);
  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  button->SetEnabled(true);
  button->SetCaption("");
  button->OnClick = nullptr;
  button->SetBuddy(nullptr);
  button->Items()->Clear();
  button->Columns()->Clear();
  std::string text = BinaryToText(ComponentToBinary(&form, &ancestor));
  for (const char* line : {"Caption = ''", "Enabled = True", "OnClick = nil", "Buddy = nil", "Columns = <>",
                           "Items.Strings = ()"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;

  // Loading the ancestor and then the difference gives the descendant.
  TTestForm loaded(nullptr);
  ReadBinaryInto(ComponentToBinary(&ancestor), &loaded);
  ReadBinaryInto(ComponentToBinary(&form, &ancestor), &loaded);
  EXPECT_EQ(ComponentToBinary(&loaded), ComponentToBinary(&form));
}

// --- events, references, Loaded ---------------------------------------------------------------

namespace {

std::string ControlText(const std::string& props) {
  return "object Form1: TTestForm\r\n"
         "  object Button1: TTestControl\r\n" +
         props +
         "  end\r\n"
         "end\r\n";
}

void LoadText(const std::string& text, TTestForm& form) {
  ReadBinaryInto(TextToBinary(text), &form);
}

}  // namespace

TEST(FilerEvents, HandlersBindByName) {
  TTestForm form(nullptr);
  LoadText(ControlText("OnClick = ButtonClick\r\nOnChange = otherclick\r\n"), form);
  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  button->OnClick(button);
  button->OnChange(button);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(form.otherClicks, 1);
  EXPECT_EQ(button->OnClick, TNotifyEvent::Method(&form, &TTestForm::ButtonClick));
}

TEST(FilerEvents, MissingOrMistypedHandlerIsInvalid) {
  for (const char* handler : {"NoSuchMethod", "CountChange"}) {
    SCOPED_TRACE(handler);
    TTestForm form(nullptr);
    try {
      LoadText(ControlText(std::string("OnClick = ") + handler + "\r\n"), form);
      FAIL() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Error reading Button1.OnClick: Invalid property value");
    }
    EXPECT_EQ(form.ComponentCount(), 0);  // what the failed read created is gone
  }
}

TEST(FilerEvents, OnFindMethodSuppliesHandler) {
  TTestForm form(nullptr);
  int calls = 0;
  TStringStream s(TextToBinary(ControlText("OnClick = Elsewhere\r\n")));
  TReader reader(s);
  reader.OnFindMethod = [&](TReader*, const std::string& name, std::any& handler, bool& error) {
    EXPECT_EQ(name, "Elsewhere");
    handler = TNotifyEvent([&](TObject*) { ++calls; });
    error = false;
  };
  reader.ReadRootComponent(&form);
  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  button->OnClick(button);
  EXPECT_EQ(calls, 1);
}

TEST(FilerReferences, ResolvedAfterTheWholeTree) {
  TTestForm form(nullptr);
  LoadText(
      "object Form1: TTestForm\r\n"
      "  Buddy = Later\r\n"
      "  object Button1: TTestControl\r\n"
      "    Buddy = Later\r\n"
      "    Columns = <\r\n"
      "      item\r\n"
      "        Buddy = Owner\r\n"
      "      end\r\n"
      "      item\r\n"
      "        Buddy = Data1\r\n"
      "      end>\r\n"
      "  end\r\n"
      "  object Later: TTestControl\r\n"
      "    Buddy = Missing\r\n"
      "  end\r\n"
      "  object Data1: TTestData\r\n"
      "  end\r\n"
      "end\r\n",
      form);
  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  auto* later = static_cast<TTestControl*>(form.FindComponent("Later"));
  EXPECT_EQ(form.Buddy(), later);
  EXPECT_EQ(button->Buddy(), later);
  EXPECT_EQ(button->Column(0)->Buddy(), &form);    // "Owner" names the root
  EXPECT_EQ(button->Column(1)->Buddy(), nullptr);  // a TTestData is no TTestControl
  EXPECT_EQ(later->Buddy(), nullptr);              // unresolved references stay nil
}

TEST(FilerReferences, OwnerChainResolvesQualifiedNames) {
  TComponent app(nullptr);
  app.SetName("App");
  auto* other = new TTestControl(&app);
  other->SetName("Other");
  auto* target = new TTestControl(other);
  target->SetName("Target");
  auto* form = new TTestForm(&app);
  LoadText(ControlText("Buddy = Other.Target\r\n"), *form);
  EXPECT_EQ(static_cast<TTestControl*>(form->FindComponent("Button1"))->Buddy(), target);
  EXPECT_EQ(ComponentToBinary(form).find("Other.Target") != std::string::npos, true);
}

TEST(FilerLoaded, RunsAfterTheWholeTreeRootLast) {
  LoadedLog().clear();
  TTestForm form(nullptr);
  LoadText(
      "object Form1: TTestForm\r\n"
      "  object A: TTestControl\r\n"
      "    Buddy = C\r\n"
      "    object B: TTestControl\r\n"
      "    end\r\n"
      "  end\r\n"
      "  object C: TTestControl\r\n"
      "  end\r\n"
      "  object D: TTestData\r\n"
      "  end\r\n"
      "end\r\n",
      form);
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"A:C", "B", "C", "D", "Form1"}));
  for (int i = 0; i < form.ComponentCount(); ++i) {
    EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csReading));
  }
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  // B's parent is A: children are read with the component as their parent.
  EXPECT_EQ(static_cast<TTestControl*>(form.FindComponent("B"))->Parent(), form.FindComponent("A"));
}

// --- hooks and errors ---------------------------------------------------------------------------

TEST(FilerHooks, FindAndCreateComponentHooksCanBeSwappedAndRestored) {
  std::string bytes = TextToBinary(
      "object Form1: TTestForm\r\n"
      "  object Alias1: TAliasControl\r\n"
      "    Left = 3\r\n"
      "  end\r\n"
      "end\r\n");
  {
    TTestForm form(nullptr);
    TStringStream s(bytes);
    TReader reader(s);
    std::vector<std::string> asked;
    reader.OnFindComponentClass = [&](TReader*, const std::string& name, TClass& cls) {
      asked.push_back(name);
      if (name == "TAliasControl") cls = TTestControl::StaticClass();
    };
    TTestControl* supplied = nullptr;
    reader.OnCreateComponent = [&](TReader* r, TClass cls, TComponent*& c) {
      EXPECT_EQ(cls, TTestControl::StaticClass());
      EXPECT_TRUE(r->Root()->ComponentState().Contains(csReading));
      EXPECT_TRUE(r->Root()->ComponentState().Contains(csLoading));
      c = supplied = new TTestControl(r->Owner());
    };
    reader.ReadRootComponent(&form);
    EXPECT_EQ(asked, std::vector<std::string>{"TAliasControl"});
    ASSERT_NE(supplied, nullptr);
    EXPECT_EQ(supplied->Name(), "Alias1");
    EXPECT_EQ(supplied->Left(), 3);
  }
  {
    TTestForm form(nullptr);
    TStringStream s(bytes);
    TReader reader(s);
    reader.OnFindComponentClass = [](TReader*, const std::string&, TClass& cls) {
      cls = TTestControl::StaticClass();
    };
    reader.OnFindComponentClass = nullptr;  // restored: the registry alone decides again
    try {
      reader.ReadRootComponent(&form);
      FAIL() << "no exception";
    } catch (const EClassNotFound& e) {
      EXPECT_EQ(e.Message(), "Class TAliasControl not found");
    }
    EXPECT_EQ(form.ComponentCount(), 0);
  }
}

TEST(FilerErrors, UnknownPropertyCanBeSkipped) {
  std::string bytes = TextToBinary(ControlText("Left = 1\r\nBogus = (1 2 'three')\r\nTop = 2\r\n"));
  {
    TTestForm form(nullptr);
    try {
      ReadBinaryInto(bytes, &form);
      FAIL() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Error reading Button1.Bogus: Property Bogus does not exist");
    }
  }
  TTestForm form(nullptr);
  TStringStream s(bytes);
  TReader reader(s);
  std::vector<std::string> messages;
  reader.OnError = [&](TReader*, const std::string& message, bool& handled) {
    messages.push_back(message);
    handled = true;
  };
  reader.ReadRootComponent(&form);
  auto* button = static_cast<TTestControl*>(form.FindComponent("Button1"));
  EXPECT_EQ(button->Left(), 1);
  EXPECT_EQ(button->Top(), 2);
  EXPECT_EQ(messages, std::vector<std::string>{"Error reading Button1.Bogus: Property Bogus does not exist"});
}

TEST(FilerErrors, WrongValueKindsAreSkippedWhole) {
  // Each bad value is offered to OnError and stepped over; the good ones around it load.
  const char* bad[] = {"Left = 'text'",
                       "Align = taNowhere",
                       "Options = [toEditing, toNothing]",
                       "Caption = 12",
                       "Buddy = 5",
                       "Font.Bogus = 1",
                       "Left.Sub = 1",
                       "Columns = (1)",
                       "Extra = 'not a list'",
                       "Data = 'not binary'",
                       "Enabled = 1",
                       "Color = clPurple",
                       "Columns = <item Width = 'x' end>"};
  for (const char* line : bad) {
    SCOPED_TRACE(line);
    TTestForm form(nullptr);
    TStringStream s(TextToBinary(ControlText(std::string(line) + "\r\nTop = 7\r\n")));
    TReader reader(s);
    int errors = 0;
    reader.OnError = [&](TReader*, const std::string&, bool& handled) {
      ++errors;
      handled = true;
    };
    reader.ReadRootComponent(&form);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(static_cast<TTestControl*>(form.FindComponent("Button1"))->Top(), 7);
  }
}

TEST(FilerErrors, UnknownClassCanBeSkipped) {
  std::string bytes = TextToBinary(
      "object Form1: TTestForm\r\n"
      "  object X: TNoSuchClass\r\n"
      "    Left = 1\r\n"
      "    object Y: TTestControl\r\n"
      "    end\r\n"
      "  end\r\n"
      "  object Z: TTestControl\r\n"
      "  end\r\n"
      "end\r\n");
  TTestForm form(nullptr);
  TStringStream s(bytes);
  TReader reader(s);
  reader.OnError = [](TReader*, const std::string& message, bool& handled) {
    EXPECT_EQ(message, "Class TNoSuchClass not found");
    handled = true;
  };
  reader.ReadRootComponent(&form);
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_NE(form.FindComponent("Z"), nullptr);
}

TEST(FilerErrors, DuplicateNameIsAReadError) {
  TTestForm form(nullptr);
  EXPECT_THROW(LoadText("object Form1: TTestForm\r\n"
                        "  object A: TTestControl\r\n  end\r\n"
                        "  object a: TTestControl\r\n  end\r\n"
                        "end\r\n",
                        form),
               EReadError);
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(FilerErrors, InheritedComponentMustExist) {
  TTestForm form(nullptr);
  try {
    LoadText("object Form1: TTestForm\r\n  inherited Gone: TTestControl\r\n  end\r\nend\r\n", form);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Ancestor for 'Gone' not found");
  }
}

TEST(FilerErrors, ReadOnlyPropertyIsRefused) {
  TTestForm form(nullptr);
  EXPECT_THROW(LoadText(ControlText("Font = nil\r\n"), form), EReadError);
}

// A value the property's type cannot hold would read as infinity (or raise only when the form
// is saved again); it is refused on reading, with the property named.
TEST(FilerErrors, FloatsBeyondThePropertyTypeAreRefused) {
  const struct {
    const char* line;
    const char* property;  // nullptr: the value loads
  } cases[] = {
      {"Ratio = 1e400", "Ratio"},
      {"Ratio = -1e309", "Ratio"},
      {"Ratio = 1.7976931348623157e308", nullptr},
      {"Scale = 1e39", "Scale"},
      {"Scale = 3.4028234e38", nullptr},
      {"Price = 1e30", "Price"},
      {"Price = 922337203685477", nullptr},
      {"When = 1e400", "When"},
      {"Value = 1e400", "Value"},
      {"Value = (1 -1e400)", "Value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TTestForm form(nullptr);
    std::string message = "no exception";
    try {
      LoadText(ControlText(std::string(c.line) + "\r\n"), form);
      // What was read must also write and read back.
      TTestForm again(nullptr);
      ReadBinaryInto(ComponentToBinary(&form), &again);
    } catch (const Exception& e) {
      message = e.Message();
    }
    EXPECT_EQ(message, c.property
                           ? "Error reading Button1." + std::string(c.property) + ": Invalid property value"
                           : "no exception");
  }
  // Non-finite bytes in the binary form are refused by every float read.
  const double inf = std::numeric_limits<double>::infinity();
  const std::string stored[] = {Written([&](TWriter& w) { w.WriteFloat(inf); }),
                                Written([&](TWriter& w) { w.WriteSingle(std::nanf("")); }),
                                Written([&](TWriter& w) { w.WriteDate(-inf); })};
  for (const std::string& bytes : stored) {
    TStringStream s(bytes);
    TReader reader(s);
    EXPECT_THROW(reader.ReadVariant(), EReadError);
  }
}
