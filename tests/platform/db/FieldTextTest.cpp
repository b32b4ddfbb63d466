// Field texts: DisplayText with DisplayFormat, Text with EditFormat, the locale's forms of
// dates and money, Boolean texts, the class texts of blobs, and OnGetText / OnSetText.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/platform/db/FieldTestSupport.h"

using field_test::OneField;

namespace {

const char* TypeName(TFieldType t) {
  static std::string name;
  name = TEnumTraits<TFieldType>::Info().NameOf(t);
  return name.c_str();
}

}  // namespace

TEST(FieldText, NumbersUseDisplayAndEditFormats) {
  TFormatSettingsScope scope{TFormatSettings()};
  struct Case {
    TFieldType type;
    const char* displayFormat;
    const char* editFormat;
    Variant value;
    const char* display;
    const char* edit;
  } cases[] = {
      {ftInteger, "", "", -5, "-5", "-5"},
      {ftInteger, "#,##0", "", 1234567, "1,234,567", "1,234,567"},
      {ftInteger, "#,##0", "0", 1234567, "1,234,567", "1234567"},
      {ftSmallint, "000", "", 7, "007", "007"},
      {ftLargeint, "#,##0", "0", 1234567890123LL, "1,234,567,890,123", "1234567890123"},
      {ftFloat, "", "", 1234.5, "1234.5", "1234.5"},
      {ftFloat, "0.00", "", 1.5, "1.50", "1.50"},
      {ftFloat, "#,##0.00;(#,##0.00)", "0.##", -1234.5, "(1,234.50)", "-1234.5"},
      {ftCurrency, "", "", 1234.5, "¥1,234.50", "1234.50"},
      {ftCurrency, "", "", -2.0, "¥-2.00", "-2.00"},
      {ftBCD, "", "", 12.34, "12.34", "12.34"},
      {ftBCD, "#,##0.000", "", 1234.5, "1,234.500", "1,234.500"},
      {ftFMTBcd, "", "", Variant(TBcd{"12345678901234567890.5"}), "12345678901234567890.5",
       "12345678901234567890.5"},
      {ftFMTBcd, "#,##0.0", "0.00", 1234.56, "1,234.6", "1234.56"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(TypeName(c.type)) + " " + c.display);
    OneField t(c.type);
    auto* f = static_cast<TNumericField*>(t.Open());
    f->SetDisplayFormat(c.displayFormat);
    f->SetEditFormat(c.editFormat);
    f->SetAsVariant(c.value);
    EXPECT_EQ(f->DisplayText(), c.display);
    EXPECT_EQ(f->Text(), c.edit);
    f->Clear();
    EXPECT_EQ(f->DisplayText(), "");
    EXPECT_EQ(f->Text(), "");
  }
}

TEST(FieldText, FloatPrecisionAndMoneyFlags) {
  TFormatSettingsScope scope{TFormatSettings()};
  OneField t(ftFloat);
  auto* f = static_cast<TFloatField*>(t.Open());
  f->SetAsFloat(3.14159265);
  f->SetPrecision(4);
  EXPECT_EQ(f->DisplayText(), "3.142");
  EXPECT_EQ(f->AsString(), "3.14159265") << "AsString ignores the display precision";
  f->SetCurrency(true);
  EXPECT_EQ(f->DisplayText(), "¥3.14");
  EXPECT_EQ(f->Text(), "3.14");

  OneField b(ftBCD);
  auto* bcd = static_cast<TBCDField*>(b.Open());
  bcd->SetCurrency(true);
  bcd->SetAsString("-7.5");
  EXPECT_EQ(bcd->DisplayText(), "¥-7.50");
  EXPECT_EQ(bcd->Text(), "-7.50");
}

TEST(FieldText, DatesFollowTheLocaleUnlessFormatted) {
  TFormatSettings settings;
  TFormatSettingsScope scope(settings);
  const TDateTime evening = 45356.75;  // 2024-03-05 18:00
  struct Case {
    TFieldType type;
    const char* displayFormat;
    TDateTime value;
    const char* display;
    const char* edit;
  } cases[] = {
      {ftDateTime, "", evening, "2024-03-05 18:00:00", "2024-03-05 18:00:00"},
      {ftDateTime, "", 45356.0, "2024-03-05", "2024-03-05"},
      {ftDate, "", evening, "2024-03-05", "2024-03-05"},
      {ftTime, "", evening, "18:00:00", "18:00:00"},
      {ftDateTime, "yyyy/mm/dd hh:nn", evening, "2024-03-05 18:00", "2024-03-05 18:00:00"},
      {ftDate, "yyyy'年'm'月'd'日'", evening, "2024年3月5日", "2024-03-05"},
      {ftTimeStamp, "hh:nn", evening, "18:00", "2024-03-05 18:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(TypeName(c.type)) + " " + c.display);
    OneField t(c.type);
    TField* f = t.Open();
    if (auto* d = dynamic_cast<TDateTimeField*>(f)) d->SetDisplayFormat(c.displayFormat);
    if (auto* s = dynamic_cast<TSQLTimeStampField*>(f)) s->SetDisplayFormat(c.displayFormat);
    f->SetAsDateTime(c.value);
    EXPECT_EQ(f->DisplayText(), c.display);
    EXPECT_EQ(f->Text(), c.edit);
    // The edit text reads back to the same value.
    TDateTime before = f->AsDateTime();
    f->SetText(f->Text());
    EXPECT_DOUBLE_EQ(f->AsDateTime(), before);
  }

  settings.ShortDateFormat = "dd/MM/yyyy";
  settings.DateSeparator = ".";
  TFormatSettingsScope european(settings);
  OneField t(ftDate);
  TField* f = t.Open();
  f->SetAsString("05.03.2024");
  EXPECT_DOUBLE_EQ(f->AsDateTime(), 45356.0);
  EXPECT_EQ(f->DisplayText(), "05.03.2024");
}

TEST(FieldText, BooleansShowTheirDisplayValues) {
  OneField t(ftBoolean);
  auto* f = static_cast<TBooleanField*>(t.Open());
  f->SetAsBoolean(true);
  EXPECT_EQ(f->DisplayText(), "True");
  f->SetDisplayValues("是;否");
  EXPECT_EQ(f->DisplayText(), "是");
  f->SetAsBoolean(false);
  EXPECT_EQ(f->Text(), "否");
  EXPECT_EQ(f->DisplayWidth(), 1);
  f->SetText("是");
  EXPECT_TRUE(f->AsBoolean());
}

TEST(FieldText, BinaryFieldsShowTheirClass) {
  struct Case {
    TFieldType type;
    const char* withValue;
    const char* whenNull;
  } cases[] = {
      {ftBlob, "(BLOB)", "(blob)"},
      {ftMemo, "(MEMO)", "(memo)"},
      {ftGraphic, "(GRAPHIC)", "(graphic)"},
      {ftBytes, "(BYTES)", "(bytes)"},
      {ftVarBytes, "(VARBYTES)", "(varbytes)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.withValue);
    OneField t(c.type, c.type == ftBytes || c.type == ftVarBytes ? 4 : 0);
    TField* f = t.Open();
    EXPECT_EQ(f->DisplayText(), c.whenNull);
    f->SetAsString("ab");
    EXPECT_EQ(f->DisplayText(), c.withValue);
    EXPECT_EQ(f->Text(), c.withValue);
  }
  OneField bytes(ftBytes, 4);
  TField* f = bytes.Open();
  f->SetAsString("ab");
  EXPECT_EQ(f->AsString(), std::string("ab\0\0", 4)) << "fixed-size bytes are padded";
  EXPECT_THROW(f->SetAsString("abcde"), EDatabaseError);
}

TEST(FieldText, OnGetTextReplacesBothTexts) {
  OneField t(ftInteger);
  TField* f = t.Open();
  f->SetAsInteger(3);
  std::vector<bool> asked;
  f->OnGetText = [&](TField* Sender, std::string& Text, bool DisplayText) {
    asked.push_back(DisplayText);
    EXPECT_EQ(Text, "");
    Text = (DisplayText ? "show " : "edit ") + Sender->AsString();
  };
  EXPECT_EQ(f->DisplayText(), "show 3");
  EXPECT_EQ(f->Text(), "edit 3");
  EXPECT_EQ(f->AsString(), "3");
  EXPECT_EQ(asked, (std::vector<bool>{true, false}));
}

TEST(FieldText, OnSetTextTakesOverSetText) {
  OneField t(ftInteger);
  TField* f = t.Open();
  std::vector<std::string> seen;
  f->OnSetText = [&](TField* Sender, const std::string& Text) {
    seen.push_back(Text);
    Sender->SetAsInteger(static_cast<int32_t>(Text.size()));
  };
  f->SetText("hello");
  EXPECT_EQ(f->AsInteger(), 5);
  EXPECT_EQ(seen, std::vector<std::string>{"hello"});
  f->SetAsString("9");  // AsString does not go through OnSetText
  EXPECT_EQ(f->AsInteger(), 9);
  EXPECT_EQ(seen.size(), 1u);
}

TEST(FieldText, LabelsFallBackToTheFieldName) {
  TIntegerField f(nullptr);
  f.SetFieldName("Amount");
  EXPECT_EQ(f.DisplayLabel(), "Amount");
  EXPECT_EQ(f.DisplayName(), "Amount");
  f.SetDisplayLabel("金额");
  EXPECT_EQ(f.DisplayName(), "金额");
  f.SetDisplayLabel("");
  EXPECT_EQ(f.DisplayLabel(), "Amount");
}
