// Fault injection: descriptions cut short, mangled, with absurd lengths, nested too deeply or
// too long. Every one must end in a clean exception (or a load), never a crash, and a failed
// load must leave nothing it created behind.
#include <gtest/gtest.h>

#include <random>

#include "platform/rtl/Filer.h"
#include "tests/platform/rtl/FilerTestClasses.h"

namespace {

std::string SampleBinary() {
  TTestForm form(nullptr);
  BuildSampleForm(form);
  return ComponentToBinary(&form);
}

std::string Short(const std::string& s) {
  return static_cast<char>(s.size()) + s;
}

std::string Int32(int32_t v) {
  return std::string(reinterpret_cast<const char*>(&v), 4);
}

// "TPF0", a TTestControl named C, and the given property bytes; the lists are closed.
std::string ControlWith(const std::string& propertyBytes) {
  return "TPF0" + Short("TTestControl") + Short("C") + propertyBytes + std::string(2, '\0');
}

// Reads into a fresh form; answers the message of the EFilerError raised, or "" on success.
// Any other exception fails the test.
std::string LoadMessage(const std::string& binary) {
  TTestForm form(nullptr);
  try {
    ReadBinaryInto(binary, &form);
  } catch (const EFilerError& e) {
    EXPECT_EQ(form.ComponentCount(), 0) << e.Message();
    return e.Message();
  }
  return "";
}

std::string TextMessage(const std::string& binary) {
  try {
    BinaryToText(binary);
  } catch (const EReadError& e) {
    return e.Message();
  }
  return "";
}

}  // namespace

TEST(MalformedDescription, EveryTruncationFails) {
  std::string binary = SampleBinary();
  for (size_t n = 0; n < binary.size(); ++n) {
    SCOPED_TRACE(n);
    std::string cut = binary.substr(0, n);
    std::string message = LoadMessage(cut);
    EXPECT_TRUE(message == "Stream read error" || message == "Invalid stream format") << message;
    EXPECT_FALSE(TextMessage(cut).empty());
  }
  EXPECT_EQ(LoadMessage(binary), "");
}

TEST(MalformedDescription, EveryTextTruncationBeforeTheEndFails) {
  std::string text = BinaryToText(SampleBinary());
  size_t lastEnd = text.rfind("end");
  for (size_t n = 0; n <= lastEnd; ++n) {
    SCOPED_TRACE(n);
    EXPECT_THROW(TextToBinary(text.substr(0, n)), EParserError);
  }
}

TEST(MalformedDescription, RandomByteFlipsNeverCrash) {
  std::string binary = SampleBinary();
  std::string text = BinaryToText(binary);
  std::mt19937 random(20240601);
  int loads = 0, failures = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string mangled = round % 2 ? binary : text;
    int flips = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < flips; ++i) {
      size_t at = random() % mangled.size();
      mangled[at] = static_cast<char>(round % 3 == 0 ? random() : mangled[at] ^ (1 << (random() % 8)));
    }
    if (round % 2 == 0) {
      try {
        mangled = TextToBinary(mangled);
      } catch (const EParserError&) {
        ++failures;
        continue;
      } catch (const EWriteError&) {  // a name too long for the binary form
        ++failures;
        continue;
      }
    }
    (LoadMessage(mangled).empty() ? loads : failures)++;
    TextMessage(mangled);
  }
  EXPECT_GT(failures, 0);
  EXPECT_GT(loads, 0);
}

TEST(MalformedDescription, HugeLengthsAreRefusedBeforeAllocating) {
  struct Case {
    const char* id;
    std::string bytes;
    const char* message;
  };
  const Case cases[] = {
      {"lstring-max", Short("Caption") + '\x0C' + Int32(0x7FFFFFFF), "Value too large in description"},
      {"lstring-16M", Short("Caption") + '\x0C' + Int32(16 * 1024 * 1024 + 1),
       "Value too large in description"},
      {"lstring-past-end", Short("Caption") + '\x0C' + Int32(1000) + "abc", "Stream read error"},
      {"lstring-negative", Short("Caption") + '\x0C' + Int32(-1), "Invalid stream format"},
      {"wstring-max", Short("Hint") + '\x12' + Int32(0x7FFFFFFF), "Value too large in description"},
      {"wstring-past-end", Short("Hint") + '\x12' + Int32(1000000), "Stream read error"},
      {"utf8-past-end", Short("Caption") + '\x14' + Int32(5000000), "Stream read error"},
      {"binary-max", Short("Data") + '\x0A' + Int32(0x7FFFFFFF), "Value too large in description"},
      {"binary-past-end", Short("Data") + '\x0A' + Int32(1 << 29), "Stream read error"},
      {"variant-string", Short("Value") + '\x0C' + Int32(1 << 24), "Stream read error"},
      {"skipped-value", Short("Unknown") + '\x0A' + Int32(1 << 29), "Stream read error"},
      {"bad-tag", Short("Left") + '\x16', "Invalid stream format"},
      {"bad-flags", std::string("\xF8"), "Invalid stream format"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    std::string binary = ControlWith(c.bytes);
    if (std::string(c.id) == "bad-flags")
      binary = "TPF0\xF8" + Short("TTestControl") + Short("C") + std::string(2, '\0');
    TTestControl control(nullptr);
    TStringStream s(binary);
    TReader reader(s);
    reader.OnError = [](TReader*, const std::string&, bool& handled) {
      handled = true;
    };  // skipping must not help
    try {
      reader.ReadRootComponent(&control);
      FAIL() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(TextMessage(binary).empty());
  }
}

TEST(MalformedDescription, SignatureAndEmptyStream) {
  EXPECT_EQ(LoadMessage(""), "Stream read error");
  EXPECT_EQ(LoadMessage("TPF1"), "Invalid stream format");
  EXPECT_EQ(TextMessage("XXXX"), "Invalid stream format");
}

TEST(MalformedDescription, DeepNestingIsRefused) {
  auto nestedComponents = [](int depth) {
    std::string s = "TPF0" + Short("TTestForm") + Short("F") + '\0';
    for (int i = 0; i < depth; ++i) s += Short("TTestControl") + Short("C" + std::to_string(i)) + '\0';
    return s + std::string(static_cast<size_t>(depth) * 2 + 1, '\0');
  };
  EXPECT_EQ(LoadMessage(nestedComponents(250)), "");
  EXPECT_EQ(LoadMessage(nestedComponents(300)), "Description nested too deeply");
  EXPECT_EQ(TextMessage(nestedComponents(300)), "Description nested too deeply");

  std::string lists = Short("Value") + std::string(300, '\x01') + std::string(300, '\0');
  EXPECT_EQ(LoadMessage(ControlWith(lists)), "Description nested too deeply");
  EXPECT_EQ(TextMessage(ControlWith(lists)), "Description nested too deeply");
  std::string skipped = Short("Unknown") + std::string(300, '\x01') + std::string(300, '\0');
  TTestControl control(nullptr);
  TStringStream s(ControlWith(skipped));
  TReader reader(s);
  reader.OnError = [](TReader*, const std::string&, bool& handled) { handled = true; };
  EXPECT_THROW(reader.ReadRootComponent(&control), EReadError);

  std::string text = "object F: TTestForm\n";
  for (int i = 0; i < 300; ++i) text += "object C" + std::to_string(i) + ": TTestControl\n";
  for (int i = 0; i <= 300; ++i) text += "end\n";
  try {
    TextToBinary(text);
    FAIL() << "no exception";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(), "Description nested too deeply on line 258");
  }
  EXPECT_THROW(
      TextToBinary("object F: TB\n Value = " + std::string(300, '(') + std::string(300, ')') + "\nend\n"),
      EParserError);
}

TEST(MalformedDescription, TooManyPropertiesAreRefused) {
  std::string one = Short("Left") + '\x02' + '\x01';
  std::string props;
  props.reserve(one.size() * 1000001);
  for (int i = 0; i < 1000001; ++i) props += one;
  EXPECT_EQ(LoadMessage(ControlWith(props)), "Too many properties in description");
}

TEST(MalformedDescription, RereadCollectionDropsPendingReferences) {
  // The first items are freed by the second read of the collection; their references must
  // not be set afterwards.
  TTestForm form(nullptr);
  ReadBinaryInto(TextToBinary("object F: TTestForm\n"
                              "  object A: TTestControl\n"
                              "    Columns = <item Buddy = B end item Buddy = B end>\n"
                              "    Columns = <item end>\n"
                              "  end\n"
                              "  object B: TTestControl\n"
                              "  end\n"
                              "end\n"),
                 &form);
  auto* a = static_cast<TTestControl*>(form.FindComponent("A"));
  ASSERT_EQ(a->Columns()->Count(), 1);
  EXPECT_EQ(a->Column(0)->Buddy(), nullptr);
}

TEST(MalformedDescription, NamesThatAreNotIdentifiersAreReadErrors) {
  for (const char* name : {"1abc", "a b", "x-y"}) {
    SCOPED_TRACE(name);
    std::string binary = "TPF0" + Short("TTestForm") + Short("F") + '\0' + Short("TTestControl") +
                         Short(name) + std::string(3, '\0');
    EXPECT_EQ(LoadMessage(binary), "'" + std::string(name) + "' is not a valid component name");
  }
}
