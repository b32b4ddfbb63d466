#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Lists.h"
#include "platform/rtl/Streams.h"

namespace {

std::vector<std::string> Lines(const TStrings& s) {
  std::vector<std::string> v;
  for (int i = 0; i < s.Count(); ++i) v.push_back(s.Strings(i));
  return v;
}

using V = std::vector<std::string>;

std::string StringListErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EStringListError& e) {
    return e.Message();
  }
  return "<no error>";
}

class StringListTest : public testing::Test {
 protected:
  TFormatSettingsScope settings_{TFormatSettings()};
  TStringList list_;
};

TEST_F(StringListTest, TextJoinsWithCrLfAndSplitsAtEveryLineBreak) {
  list_.SetText("a\r\nb\rc\nd");
  EXPECT_EQ(Lines(list_), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(list_.Text(), "a\r\nb\r\nc\r\nd\r\n");
  struct Case {
    std::string text;
    V lines;
  } cases[] = {{"", {}},
               {"x\r\n", {"x"}},
               {"x\n\n", {"x", ""}},
               {"\r\n", {""}},
               {"\n\r", {"", ""}},  // LF then a lone CR
               {"a\r\n\r\nb", {"a", "", "b"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    list_.SetText(c.text);
    EXPECT_EQ(Lines(list_), c.lines);
  }
}

TEST_F(StringListTest, CommaTextQuotesWhatNeedsIt) {
  list_.SetText("plain\r\nwith space\r\nwith,comma\r\nsay \"hi\"\r\n\r\n中文");
  EXPECT_EQ(list_.CommaText(), "plain,\"with space\",\"with,comma\",\"say \"\"hi\"\"\",,中文");
  TStringList back;
  back.SetCommaText(list_.CommaText());
  EXPECT_EQ(Lines(back), Lines(list_));

  list_.Clear();
  list_.Add("");
  EXPECT_EQ(list_.CommaText(), "\"\"");
}

TEST_F(StringListTest, CommaTextParsing) {
  struct Case {
    std::string text;
    V items;
  } cases[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a b c", {"a", "b", "c"}},  // blanks separate outside quotes
      {" a , b ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {"\"x y\",\"q\"\"q\"", {"x y", "q\"q"}},
      {"\"open", {"open"}},
      {"\"ab\"cd", {"ab", "cd"}},
      {"", {}},
      {"   ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    list_.SetCommaText(c.text);
    EXPECT_EQ(Lines(list_), c.items);
  }
}

TEST_F(StringListTest, DelimitedTextWithOwnDelimiterAndStrictMode) {
  list_.SetDelimiter(';');
  list_.SetQuoteChar('\'');
  list_.SetDelimitedText("a b;'c;d';e");
  EXPECT_EQ(Lines(list_), (V{"a", "b", "c;d", "e"}));
  EXPECT_EQ(list_.DelimitedText(), "a;b;'c;d';e");
  list_.SetStrictDelimiter(true);
  list_.SetDelimitedText(" a b ;c");
  EXPECT_EQ(Lines(list_), (V{" a b ", "c"}));
  EXPECT_EQ(list_.DelimitedText(), " a b ;c");  // blanks need no quotes when strict
}

// Whatever the delimiter, writing the items and reading them back gives the same items.
TEST_F(StringListTest, DelimitedTextReadsBackWhatItWrote) {
  struct Case {
    char delimiter;
    bool strict;
    V items;
  } cases[] = {
      {' ', false, {"a", ""}},         {' ', false, {"", "a"}},         {' ', false, {"a", "", "b"}},
      {' ', false, {"", ""}},          {' ', false, {"x y", "", "\""}}, {'\t', false, {"a", "", ""}},
      {' ', true, {"a", "", "b", ""}}, {',', false, {"a", "", ""}},     {',', false, {"", " b ", ""}},
      {';', true, {"", "a;b", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.items) + " delimiter " + testing::PrintToString(c.delimiter) +
                 (c.strict ? " strict" : ""));
    TStringList written, read;
    for (TStringList* list : {&written, &read}) {
      list->SetDelimiter(c.delimiter);
      list->SetStrictDelimiter(c.strict);
    }
    for (const std::string& item : c.items) written.Add(item);
    read.SetDelimitedText(written.DelimitedText());
    EXPECT_EQ(Lines(read), c.items) << written.DelimitedText();
  }

  // A text cut off in an opening quote ends with an empty item, and keeps it when written back.
  list_.SetDelimiter(' ');
  list_.SetDelimitedText("a \"");
  EXPECT_EQ(Lines(list_), (V{"a", ""}));
  EXPECT_EQ(list_.DelimitedText(), "a \"\"");
}

TEST_F(StringListTest, NameValueLines) {
  list_.SetText("Host=example\r\nPort=80\r\nflag\r\n=anon");
  EXPECT_EQ(list_.Names(0), "Host");
  EXPECT_EQ(list_.Names(2), "");
  EXPECT_EQ(list_.Values("host"), "example");  // names ignore case
  EXPECT_EQ(list_.Values("missing"), "");
  EXPECT_EQ(list_.ValueFromIndex(1), "80");
  EXPECT_EQ(list_.ValueFromIndex(2), "");
  EXPECT_EQ(list_.ValueFromIndex(3), "anon");
  EXPECT_EQ(list_.IndexOfName("PORT"), 1);
  list_.SetValue("Port", "8080");
  list_.SetValue("User", "me");
  list_.SetValue("Host", "");
  EXPECT_EQ(Lines(list_), (V{"Port=8080", "flag", "=anon", "User=me"}));
  list_.SetValueFromIndex(0, "1");
  EXPECT_EQ(list_.Strings(0), "Port=1");
}

TEST_F(StringListTest, SortedListPlacesDuplicatesAndRefusesPositions) {
  list_.SetSorted(true);
  for (const char* s : {"天津", "b", "北京", "A", "上海"}) list_.Add(s);
  EXPECT_EQ(Lines(list_), (V{"A", "b", "北京", "上海", "天津"}));
  EXPECT_EQ(list_.Add("B"), 1);  // dupIgnore: the index of the equal string
  EXPECT_EQ(list_.Count(), 5);
  int index = -1;
  EXPECT_TRUE(list_.Find("上海", index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list_.Find("c", index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list_.IndexOf("a"), 0);
  EXPECT_EQ(list_.IndexOf("zz"), -1);

  EXPECT_EQ(StringListErrorOf([&] { list_.Insert(0, "x"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(StringListErrorOf([&] { list_.Put(0, "x"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(StringListErrorOf([&] { list_.Move(0, 1); }), "Operation not allowed on sorted list");
  EXPECT_EQ(list_.Count(), 5);

  list_.SetDuplicates(dupError);
  EXPECT_EQ(StringListErrorOf([&] { list_.Add("a"); }), "String list does not allow duplicates");
  list_.SetDuplicates(dupAccept);
  EXPECT_EQ(list_.Add("a"), 0);  // before the equal one
  EXPECT_EQ(list_.Count(), 6);
  EXPECT_TRUE(list_.Find("A", index));
  EXPECT_EQ(index, 0);
}

TEST_F(StringListTest, CaseSensitivityChangesSearchAndOrder) {
  list_.SetText("b\r\nB\r\na");
  EXPECT_EQ(list_.IndexOf("B"), 0);
  list_.SetCaseSensitive(true);
  EXPECT_EQ(list_.IndexOf("B"), 1);
  list_.SetDuplicates(dupAccept);
  list_.SetSorted(true);
  EXPECT_EQ(Lines(list_), (V{"a", "b", "B"}));
  EXPECT_EQ(list_.IndexOf("B"), 2);
  list_.SetCaseSensitive(false);  // re-sorted under the new rule (stable: b stays before B)
  EXPECT_EQ(Lines(list_), (V{"a", "b", "B"}));
  int index;
  EXPECT_TRUE(list_.Find("B", index));
  EXPECT_EQ(index, 1);
}

TEST_F(StringListTest, CustomSortSeesIndexesAndSkipsSortedLists) {
  list_.SetText("ccc\r\na\r\nbb");
  list_.CustomSort([](TStringList* l, int i, int j) {
    return static_cast<int>(l->Strings(i).size()) - static_cast<int>(l->Strings(j).size());
  });
  EXPECT_EQ(Lines(list_), (V{"a", "bb", "ccc"}));
  list_.SetSorted(true);
  list_.CustomSort([](TStringList*, int i, int j) { return j - i; });
  EXPECT_EQ(Lines(list_), (V{"a", "bb", "ccc"}));
}

TEST_F(StringListTest, IndexErrors) {
  list_.Add("x");
  EXPECT_EQ(StringListErrorOf([&] { list_.Strings(1); }), "List index out of bounds (1)");
  EXPECT_EQ(StringListErrorOf([&] { list_.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(StringListErrorOf([&] { list_.Insert(2, "y"); }), "List index out of bounds (2)");
  EXPECT_EQ(StringListErrorOf([&] { list_.Objects(3); }), "List index out of bounds (3)");
  EXPECT_EQ(StringListErrorOf([&] { list_.Exchange(0, 1); }), "List index out of bounds (1)");
  EXPECT_EQ(StringListErrorOf([&] { list_.Move(1, 0); }), "List index out of bounds (1)");
}

TEST_F(StringListTest, ObjectsMoveWithTheirStrings) {
  TObject o1, o2;
  list_.AddObject("one", &o1);
  list_.Add("none");
  list_.InsertObject(0, "two", &o2);
  list_.Move(0, 2);
  list_.Exchange(0, 1);
  EXPECT_EQ(Lines(list_), (V{"none", "one", "two"}));
  EXPECT_EQ(list_.Objects(0), nullptr);
  EXPECT_EQ(list_.Objects(1), &o1);
  EXPECT_EQ(list_.Objects(2), &o2);
  EXPECT_EQ(list_.IndexOfObject(&o2), 2);
  list_.SetObject(0, &o1);
  EXPECT_EQ(list_.IndexOfObject(&o1), 0);
}

TEST_F(StringListTest, ChangeEventsFireOncePerChangeOrOncePerUpdate) {
  std::vector<std::string> log;
  list_.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list_);
    log.push_back("changing");
  };
  list_.OnChange = [&](TObject*) { log.push_back("change"); };
  list_.Add("a");
  EXPECT_EQ(log, (V{"changing", "change"}));
  log.clear();
  list_.BeginUpdate();
  list_.BeginUpdate();
  list_.Add("b");
  list_.Delete(0);
  list_.EndUpdate();
  EXPECT_EQ(log, (V{"changing"}));
  list_.EndUpdate();
  EXPECT_EQ(log, (V{"changing", "change"}));
  log.clear();
  list_.SetText("x\r\ny\r\nz");  // one bracket around clear and three adds
  EXPECT_EQ(log, (V{"changing", "change"}));
  log.clear();
  list_.Clear();
  list_.Clear();  // nothing to clear: no events
  EXPECT_EQ(log, (V{"changing", "change"}));
  list_.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(list_.UpdateCount(), 0);
}

// A change handler that raises when an update bracket closes: the error reaches the caller,
// the bracket is closed and the change is kept. A raising handler used to end the program.
TEST_F(StringListTest, ChangeHandlerRaisingAtEndOfUpdateReachesCaller) {
  TStringList source;
  source.SetText("p\r\nq");
  struct Case {
    const char* id;
    std::function<void(TStringList&)> run;
    V after;
  };
  const Case cases[] = {
      {"add-strings", [&](TStringList& l) { l.AddStrings(&source); }, {"a", "b", "p", "q"}},
      {"assign", [&](TStringList& l) { l.Assign(&source); }, {"p", "q"}},
      {"set-text", [](TStringList& l) { l.SetText("x\r\ny"); }, {"x", "y"}},
      {"set-delimited-text", [](TStringList& l) { l.SetDelimitedText("x,y,z"); }, {"x", "y", "z"}},
      {"set-comma-text", [](TStringList& l) { l.SetCommaText("x"); }, {"x"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    TStringList list;
    list.SetText("a\r\nb");
    int changes = 0;
    list.OnChange = [&](TObject*) {
      ++changes;
      throw EStringListError("change refused");
    };
    EXPECT_THROW(c.run(list), EStringListError);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(0, list.UpdateCount());
    EXPECT_EQ(c.after, Lines(list));
  }
}

TEST_F(StringListTest, AssignAddStringsAndEquals) {
  TObject o;
  TStringList src;
  src.AddObject("x", &o);
  src.Add("y");
  src.SetDelimiter(';');
  list_.Add("old");
  list_.Assign(&src);
  EXPECT_EQ(Lines(list_), (V{"x", "y"}));
  EXPECT_EQ(list_.Objects(0), &o);
  EXPECT_EQ(list_.Delimiter(), ';');
  EXPECT_TRUE(list_.Equals(&src));
  list_.AddStrings(&list_);  // adding itself doubles once
  EXPECT_EQ(Lines(list_), (V{"x", "y", "x", "y"}));
  EXPECT_FALSE(list_.Equals(&src));
  src.Put(1, "Y");
  list_.Assign(&src);
  EXPECT_TRUE(list_.Equals(&src));
  list_.Put(1, "y");
  EXPECT_FALSE(list_.Equals(&src));  // Equals is case-sensitive
  try {
    list_.Assign(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TStringList");
  }
}

TEST_F(StringListTest, OwningListFreesObjects) {
  int live = 0;
  struct TCounted : TObject {
    int& n;
    explicit TCounted(int& c) : n(c) { ++n; }
    ~TCounted() override { --n; }
  };
  {
    TStringList owned(true);
    owned.AddObject("a", new TCounted(live));
    owned.AddObject("b", new TCounted(live));
    owned.AddObject("c", new TCounted(live));
    owned.Move(0, 2);  // moving keeps the object alive
    owned.Put(0, "B");
    EXPECT_EQ(live, 3);
    owned.Delete(0);
    EXPECT_EQ(live, 2);
    owned.Clear();
    EXPECT_EQ(live, 0);
    owned.AddObject("d", new TCounted(live));
  }
  EXPECT_EQ(live, 0);
}

TEST_F(StringListTest, StreamRoundTripAndByteOrderMarks) {
  list_.SetText("北京\r\nline two");
  TMemoryStream stream;
  list_.SaveToStream(&stream);
  EXPECT_EQ(stream.Size(), static_cast<int64_t>(list_.Text().size()));
  stream.SetPosition(0);
  TStringList back;
  back.LoadFromStream(&stream);
  EXPECT_EQ(Lines(back), Lines(list_));

  TStringStream utf8(
      "\xEF\xBB\xBF"
      "a\nb");
  back.LoadFromStream(&utf8);
  EXPECT_EQ(Lines(back), (V{"a", "b"}));
  TStringStream utf16(
      std::string("\xFF\xFE"
                  "a\0\n\0\x2D\x4E",
                  8));  // "a\n中"
  back.LoadFromStream(&utf16);
  EXPECT_EQ(Lines(back), (V{"a", "中"}));
}

TEST_F(StringListTest, FileRoundTrip) {
  std::string path = testing::TempDir() + "stringlist_test.txt";
  list_.SetText("x=1\r\ny=2");
  list_.SaveToFile(path);
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_EQ(back.Values("y"), "2");
  std::remove(path.c_str());
  EXPECT_THROW(back.LoadFromFile(path), EFOpenError);
}

// A component with a string list as a read-only sub-object, as editors hold their lines.
class TLinesHolder : public TComponent {
  RTL_CLASS(TLinesHolder, TComponent)
 public:
  explicit TLinesHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TStrings* Lines() const { return lines_.get(); }
  static void DescribeClass(TClassBuilder<TLinesHolder>& c) { c.Property("Lines", &TLinesHolder::Lines); }

 private:
  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
};
RTL_IMPLEMENT_CLASS(TLinesHolder)

TEST_F(StringListTest, StreamsInDescriptionsAsStringsProperty) {
  TLinesHolder source(nullptr);
  source.SetName("Holder");
  source.Lines()->SetText("first\r\nit's\r\n中文");
  TMemoryStream binary;
  binary.WriteComponent(&source);

  binary.SetPosition(0);
  TMemoryStream text;
  ObjectBinaryToText(binary, text);
  std::string form(reinterpret_cast<const char*>(text.Memory()), static_cast<size_t>(text.Size()));
  EXPECT_NE(form.find("Lines.Strings = ("), std::string::npos) << form;

  binary.SetPosition(0);
  TLinesHolder target(nullptr);
  target.Lines()->Add("replaced");
  binary.ReadComponent(&target);
  EXPECT_EQ(Lines(*target.Lines()), Lines(*source.Lines()));

  // Nothing to write for an empty list.
  TLinesHolder empty(nullptr);
  TMemoryStream none;
  none.WriteComponent(&empty);
  none.SetPosition(0);
  TMemoryStream noneText;
  ObjectBinaryToText(none, noneText);
  std::string emptyForm(reinterpret_cast<const char*>(noneText.Memory()),
                        static_cast<size_t>(noneText.Size()));
  EXPECT_EQ(emptyForm.find("Strings"), std::string::npos) << emptyForm;
}

TEST_F(StringListTest, ClassModel) {
  EXPECT_EQ(list_.ClassName(), "TStringList");
  EXPECT_TRUE(list_.InheritsFrom(TStrings::StaticClass()));
  EXPECT_TRUE(list_.InheritsFrom("TPersistent"));
  TObject* made = TStringList::StaticClass()->Create(nullptr);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassName(), "TStringList");
  made->Free();
}

}  // namespace
