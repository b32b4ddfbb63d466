// Field values: typed getters and setters per field class, Null handling, bad text that leaves
// the value unchanged, range and size checks, the write path (read-only, state, OnValidate,
// OnChange) and the classes that stand for each data type.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Streams.h"
#include "tests/platform/db/FieldTestSupport.h"

using field_test::OneField;

namespace {

// Runs `action` and answers the message of the exception of type E it raises ("" when none).
template <class E>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

TFormatSettings Pinned() {
  TFormatSettings s;  // the defaults: "." decimals, "," thousands, "yyyy-MM-dd"
  return s;
}

}  // namespace

TEST(FieldConversion, IntegerFamilyConvertsEveryWay) {
  TFormatSettingsScope scope(Pinned());
  struct Case {
    TFieldType type;
    TVarType varType;
  } cases[] = {{ftSmallint, varSmallint},
               {ftInteger, varInteger},
               {ftWord, varWord},
               {ftAutoInc, varInteger},
               {ftLargeint, varInt64}};
  for (const Case& c : cases) {
    SCOPED_TRACE(TEnumTraits<TFieldType>::Info().NameOf(c.type));
    OneField t(c.type);
    TField* f = t.Open();
    f->SetAsString(" 42");
    EXPECT_EQ(f->AsInteger(), 42);
    EXPECT_EQ(f->AsLargeInt(), 42);
    EXPECT_EQ(f->AsFloat(), 42.0);
    EXPECT_EQ(f->AsString(), "42");
    EXPECT_EQ(f->AsCurrency(), Currency::FromInt(42));
    EXPECT_EQ(f->AsVariant().VarType(), c.varType);
    EXPECT_EQ(f->GetVarType(), c.varType);
    // Floats round half to even, as Round does.
    f->SetAsFloat(2.5);
    EXPECT_EQ(f->AsInteger(), 2);
    f->SetAsFloat(3.5);
    EXPECT_EQ(f->AsInteger(), 4);
    f->SetAsVariant(Variant("17"));
    EXPECT_EQ(f->AsInteger(), 17);
    f->SetAsVariant(Variant(18.0));
    EXPECT_EQ(f->AsInteger(), 18);
    // What reaches the data set is already of the field's type.
    t.data->Post();
    EXPECT_EQ(t.data->Stored(0, 0).VarType(), c.varType);
    EXPECT_EQ(f->AsInteger(), 18);
  }
}

TEST(FieldConversion, NullReadsAsEmptyValues) {
  TFormatSettingsScope scope(Pinned());
  const TFieldType types[] = {ftString,    ftWideString, ftSmallint, ftInteger,  ftWord,
                              ftAutoInc,   ftLargeint,   ftFloat,    ftCurrency, ftBCD,
                              ftFMTBcd,    ftBoolean,    ftDate,     ftTime,     ftDateTime,
                              ftTimeStamp, ftVariant,    ftGuid,     ftMemo,     ftBlob};
  for (TFieldType type : types) {
    SCOPED_TRACE(TEnumTraits<TFieldType>::Info().NameOf(type));
    OneField t(type, type == ftGuid ? 38 : 0);
    TField* f = t.Open();
    EXPECT_TRUE(f->IsNull());
    EXPECT_TRUE(f->AsVariant().IsNull());
    EXPECT_TRUE(f->Value().IsNull());
    EXPECT_EQ(f->AsString(), "");
    if (!f->IsBlob()) {
      EXPECT_EQ(f->DisplayText(), "");
    }
    EXPECT_EQ(f->Text(), f->DisplayText());
    bool numeric = f->InheritsFrom(TNumericField::StaticClass()) || type == ftString ||
                   type == ftWideString || type == ftVariant;
    if (numeric) {
      EXPECT_EQ(f->AsInteger(), 0);
      EXPECT_EQ(f->AsFloat(), 0.0);
      EXPECT_EQ(f->AsLargeInt(), 0);
    }
    if (type == ftBoolean || type == ftString || type == ftVariant) {
      EXPECT_FALSE(f->AsBoolean());
    }
    if (type == ftDate || type == ftDateTime || type == ftTimeStamp) {
      EXPECT_EQ(f->AsDateTime(), 0.0);
    }
  }
}

TEST(FieldConversion, BadTextRaisesAndChangesNothing) {
  TFormatSettingsScope scope(Pinned());
  // A huge input is quoted cut short.
  const std::string huge(100000, 'x');
  const std::string integerMessage = "'" + huge.substr(0, 100) + "...' is not a valid integer value";
  const std::string booleanMessage =
      "'" + huge.substr(0, 100) + "...' is not a valid boolean value for field 'F'";
  struct Case {
    TFieldType type;
    int size;
    const char* good;
    const char* bad;
    const char* message;
  } cases[] = {
      {ftInteger, 0, "7", "abc", "'abc' is not a valid integer value"},
      {ftInteger, 0, "7", "99999999999", "'99999999999' is not a valid integer value"},
      {ftSmallint, 0, "7", "1.5", "'1.5' is not a valid integer value"},
      {ftLargeint, 0, "7", "12x", "'12x' is not a valid integer value"},
      {ftLargeint, 0, "7", "99999999999999999999", "'99999999999999999999' is not a valid integer value"},
      {ftFloat, 0, "7.5", "1.2.3", "'1.2.3' is not a valid floating point value"},
      {ftCurrency, 0, "7.5", "abc", "'abc' is not a valid floating point value"},
      {ftBCD, 0, "7.5", "7,5x", "'7,5x' is not a valid floating point value"},
      {ftFMTBcd, 0, "7.5", "1e5", "'1e5' is not a valid floating point value"},
      {ftBoolean, 0, "True", "maybe", "'maybe' is not a valid boolean value for field 'F'"},
      {ftDate, 0, "2024-03-05", "2024-13-45", "'2024-13-45' is not a valid date"},
      {ftDateTime, 0, "2024-03-05 10:20:30", "noon", "'noon' is not a valid date and time"},
      {ftGuid, 38, "{00000000-0000-0000-0000-000000000001}", "{zz}", "'{zz}' is not a valid GUID value"},
      {ftInteger, 0, "7", huge.c_str(), integerMessage.c_str()},
      {ftBoolean, 0, "True", huge.c_str(), booleanMessage.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(TEnumTraits<TFieldType>::Info().NameOf(c.type)) + " <- " + c.bad);
    OneField t(c.type, c.size);
    TField* f = t.Open();
    f->SetAsString(c.good);
    Variant before = f->AsVariant();
    int changes = 0;
    f->OnChange = [&](TField*) { ++changes; };
    EXPECT_EQ(MessageOf<EConvertError>([&] { f->SetAsString(c.bad); }), c.message);
    EXPECT_EQ(MessageOf<EConvertError>([&] { f->SetText(c.bad); }), c.message);
    EXPECT_TRUE(VariantsEqual(f->AsVariant(), before));
    EXPECT_EQ(changes, 0);
  }
}

TEST(FieldConversion, EmptyTextClearsNonTextFields) {
  const TFieldType types[] = {ftInteger, ftLargeint, ftFloat, ftBCD, ftFMTBcd, ftDate, ftTimeStamp, ftGuid};
  for (TFieldType type : types) {
    SCOPED_TRACE(TEnumTraits<TFieldType>::Info().NameOf(type));
    OneField t(type, type == ftGuid ? 38 : 0);
    TField* f = t.Open();
    f->SetAsVariant(type == ftGuid ? Variant("{00000000-0000-0000-0000-000000000001}") : Variant(1));
    ASSERT_FALSE(f->IsNull());
    f->SetAsString("");
    EXPECT_TRUE(f->IsNull());
  }
  OneField s(ftString);
  TField* f = s.Open();
  f->SetAsString("");
  EXPECT_FALSE(f->IsNull()) << "an empty text is a value of a text field";
}

TEST(FieldConversion, RangeChecksNameTheBounds) {
  TFormatSettingsScope scope(Pinned());
  struct Case {
    TFieldType type;
    std::function<void(TField*)> bounds;
    Variant good;
    Variant bad;
    const char* message;
  } cases[] = {
      {ftSmallint, nullptr, 5, 32768,
       "32768 is not a valid value for field 'F'. The allowed range is -32768 to 32767"},
      {ftWord, nullptr, 5, -1, "-1 is not a valid value for field 'F'. The allowed range is 0 to 65535"},
      {ftInteger, nullptr, 5, 3000000000LL,
       "3000000000 is not a valid value for field 'F'. The allowed range is -2147483648 to 2147483647"},
      {ftInteger,
       [](TField* f) {
         static_cast<TIntegerField*>(f)->SetMinValue(1);
         static_cast<TIntegerField*>(f)->SetMaxValue(10);
       },
       5, 11, "11 is not a valid value for field 'F'. The allowed range is 1 to 10"},
      {ftLargeint,
       [](TField* f) {
         static_cast<TLargeintField*>(f)->SetMinValue(-5000000000LL);
         static_cast<TLargeintField*>(f)->SetMaxValue(5000000000LL);
       },
       5, 5000000001LL,
       "5000000001 is not a valid value for field 'F'. The allowed range is -5000000000 to 5000000000"},
      {ftFloat,
       [](TField* f) {
         static_cast<TFloatField*>(f)->SetMinValue(-1.5);
         static_cast<TFloatField*>(f)->SetMaxValue(2.5);
       },
       1.0, 2.75, "2.75 is not a valid value for field 'F'. The allowed range is -1.5 to 2.5"},
      {ftBCD,
       [](TField* f) {
         static_cast<TBCDField*>(f)->SetMinValue(Currency::FromInt(0));
         static_cast<TBCDField*>(f)->SetMaxValue(Currency::FromDouble(99.5));
       },
       1.0, -0.25, "-0.25 is not a valid value for field 'F'. The allowed range is 0 to 99.5"},
      {ftFMTBcd,
       [](TField* f) {
         static_cast<TFMTBCDField*>(f)->SetMinValue("0");
         static_cast<TFMTBCDField*>(f)->SetMaxValue("1000000000000000000000");
       },
       1.0, Variant(TBcd{"1000000000000000000000.5"}),
       "1000000000000000000000.5 is not a valid value for field 'F'. The allowed range is 0 to "
       "1000000000000000000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    OneField t(c.type);
    TField* f = t.Open();
    if (c.bounds) c.bounds(f);
    f->SetAsVariant(c.good);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsVariant(c.bad); }), c.message);
    EXPECT_TRUE(VariantsEqual(f->AsVariant(), VarAsType(c.good, f->GetVarType())));
  }
}

TEST(FieldConversion, LargeIntegersKeepEveryDigit) {
  OneField t(ftLargeint);
  auto* f = static_cast<TLargeintField*>(t.Open());
  const Int64 beyondDouble = 9007199254740993LL;  // 2^53 + 1: no double holds it
  f->SetAsString("9007199254740993");
  EXPECT_EQ(f->AsLargeInt(), beyondDouble);
  f->SetAsVariant(Variant(static_cast<long long>(INT64_MAX)));
  EXPECT_EQ(f->AsLargeInt(), INT64_MAX);
  f->SetAsVariant(Variant(TBcd{"-9007199254740993"}));
  EXPECT_EQ(f->AsLargeInt(), -beyondDouble);
  f->SetAsBCD(TBcd{"9007199254740993"});
  EXPECT_EQ(f->AsLargeInt(), beyondDouble);
  f->SetAsVariant(Variant(Currency::FromRaw(922337203685477LL * 10000 + 5000)));
  EXPECT_EQ(f->AsLargeInt(), 922337203685478LL);
  f->SetAsLargeInt(INT64_MIN);
  EXPECT_EQ(f->AsString(), "-9223372036854775808");
  t.data->Post();
  EXPECT_EQ(t.data->Stored(0, 0).AsInt64(), INT64_MIN);
  t.data->Edit();
  f->SetAsLargeInt(5000000000LL);
  EXPECT_EQ(MessageOf<EConvertError>([&] { f->AsInteger(); }), "'5000000000' is not a valid integer value");
}

TEST(FieldConversion, FloatsUseTheLocaleSeparator) {
  TFormatSettings s;
  s.DecimalSeparator = ",";
  s.ThousandSeparator = ".";
  TFormatSettingsScope scope(s);
  OneField t(ftFloat);
  TField* f = t.Open();
  f->SetAsString("1,5");
  EXPECT_EQ(f->AsFloat(), 1.5);
  EXPECT_EQ(f->AsString(), "1,5");
  EXPECT_TRUE(f->IsValidChar(U','));
  EXPECT_FALSE(f->IsValidChar(U'x'));
  EXPECT_EQ(f->AsInteger(), 2);
  f->SetAsFloat(-2.5);
  EXPECT_EQ(f->AsInteger(), -2);
  EXPECT_EQ(MessageOf<EConvertError>([&] { f->SetAsFloat(std::numeric_limits<double>::infinity()); }),
            "'INF' is not a valid floating point value");
}

TEST(FieldConversion, BcdRoundsToItsScaleAndChecksPrecision) {
  TFormatSettingsScope scope(Pinned());
  OneField t(ftBCD, 2);
  auto* f = static_cast<TBCDField*>(t.Open());
  EXPECT_EQ(f->Size(), 2);
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"1.234", "1.23"}, {"1.235", "1.24"}, {"-1.235", "-1.24"}, {"0.005", "0.01"}, {"7", "7"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    f->SetAsString(c.in);
    EXPECT_EQ(f->AsString(), c.out);
    EXPECT_EQ(f->AsVariant().VarType(), varCurrency);
  }
  t.data->Cancel();
  t.data->Close();
  f->SetPrecision(5);
  t.data->Open();
  t.data->Append();
  f->SetAsString("999.99");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsString("1000"); }),
            "1000 is not a valid value for field 'F'. The allowed range is -999.99 to 999.99");
  EXPECT_EQ(f->AsCurrency(), Currency::FromRaw(9999900));
}

TEST(FieldConversion, FmtBcdKeepsLongDecimalsExactly) {
  TFormatSettingsScope scope(Pinned());
  OneField t(ftFMTBcd, 10);
  TField* f = t.Open();
  f->SetAsString("12345678901234567890.0123456789");
  EXPECT_EQ(f->AsString(), "12345678901234567890.0123456789");
  EXPECT_EQ(f->AsBCD().Digits, "12345678901234567890.0123456789");
  f->SetAsString("0.000000000051");  // eleven places: rounds to ten
  EXPECT_EQ(f->AsString(), "0.0000000001");
  f->SetAsString("-0.00000000004");
  EXPECT_EQ(f->AsString(), "0.0000000000") << "a rounded negative zero has no sign";
  f->SetAsFloat(2.5);
  EXPECT_EQ(f->AsFloat(), 2.5);
  EXPECT_EQ(f->AsCurrency(), Currency::FromDouble(2.5));
  EXPECT_EQ(f->AsVariant().VarType(), varFMTBcd);
}

TEST(FieldConversion, StringLongerThanSizeRaisesAndChangesNothing) {
  OneField t(ftString, 5);
  TField* f = t.Open();
  f->SetAsString("abc");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsString("abcdef"); }), "Field 'F' value too long");
  EXPECT_EQ(f->AsString(), "abc");
  // Size counts characters, not bytes.
  f->SetAsString("汉字汉字汉");
  EXPECT_EQ(f->AsString(), "汉字汉字汉");
  EXPECT_THROW(f->SetAsString("汉字汉字汉字"), EDatabaseError);
  f->SetDisplayLabel("Name");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsInteger(123456); }), "Field 'Name' value too long");
  EXPECT_EQ(f->AsString(), "汉字汉字汉");
}

TEST(FieldConversion, StringFieldsConvertTheirText) {
  TFormatSettingsScope scope(Pinned());
  OneField t(ftString);
  TField* f = t.Open();
  f->SetAsInteger(-12);
  EXPECT_EQ(f->AsString(), "-12");
  EXPECT_EQ(f->AsInteger(), -12);
  f->SetAsFloat(2.25);
  EXPECT_EQ(f->AsFloat(), 2.25);
  f->SetAsBoolean(true);
  EXPECT_EQ(f->AsString(), "T");
  EXPECT_TRUE(f->AsBoolean());
  f->SetAsString("yes");
  EXPECT_TRUE(f->AsBoolean());
  f->SetAsString("no");
  EXPECT_FALSE(f->AsBoolean());
  EXPECT_EQ(MessageOf<EConvertError>([&] { f->AsInteger(); }), "'no' is not a valid integer value");
  f->SetAsDateTime(45356.5);  // 2024-03-05 12:00
  EXPECT_EQ(f->AsString(), "2024-03-05 12:00:00");
  EXPECT_EQ(f->AsDateTime(), 45356.5);
  static_cast<TStringField*>(f)->SetFixedChar(true);
  EXPECT_EQ(f->DataType(), ftFixedChar);
  f->SetAsString("ab   ");
  EXPECT_EQ(f->AsString(), "ab");
}

TEST(FieldConversion, WideStringsAreStoredAsUtf16) {
  OneField t(ftWideString, 4);
  TField* f = t.Open();
  f->SetAsString("数据");
  EXPECT_EQ(f->AsVariant().VarType(), varOleStr);
  EXPECT_EQ(f->AsWideString(), u"数据");
  f->SetAsWideString(u"abcd");
  EXPECT_EQ(f->AsString(), "abcd");
  EXPECT_THROW(f->SetAsWideString(u"abcde"), EDatabaseError);
  t.data->Post();
  EXPECT_EQ(t.data->Stored(0, 0).VarType(), varOleStr);
}

TEST(FieldConversion, BooleansMatchTheirTextsByPrefix) {
  OneField t(ftBoolean);
  auto* f = static_cast<TBooleanField*>(t.Open());
  struct Case {
    const char* displayValues;
    const char* text;
    int expected;  // 1 true, 0 false, -1 Null
  } cases[] = {
      {"", "t", 1},       {"", "FALSE", 0},   {"", "Tr", 1},      {"Yes;No", "y", 1}, {"Yes;No", "NO", 0},
      {"Yes;No", "", -1}, {"是;否", "否", 0}, {"Checked", "", 0}, {";Off", "", 1},    {";Off", "o", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.displayValues) + " <- " + c.text);
    f->SetDisplayValues(c.displayValues);
    f->SetAsBoolean(c.expected != 1);
    f->SetAsString(c.text);
    if (c.expected < 0) {
      EXPECT_TRUE(f->IsNull());
    } else {
      EXPECT_EQ(f->AsBoolean(), c.expected == 1);
      EXPECT_EQ(f->AsInteger(), c.expected);
    }
  }
  f->SetDisplayValues("Yes;No");
  f->SetAsVariant(Variant(0));
  EXPECT_EQ(f->AsString(), "No");
  EXPECT_EQ(f->AsVariant().VarType(), varBoolean);
}

TEST(FieldConversion, DatesAndTimesKeepTheirPart) {
  TFormatSettingsScope scope(Pinned());
  const TDateTime moment = 45356.75;  // 2024-03-05 18:00
  struct Case {
    TFieldType type;
    TDateTime expected;
  } cases[] = {{ftDate, 45356.0}, {ftTime, 0.75}, {ftDateTime, moment}};
  for (const Case& c : cases) {
    SCOPED_TRACE(TEnumTraits<TFieldType>::Info().NameOf(c.type));
    OneField t(c.type);
    TField* f = t.Open();
    f->SetAsDateTime(moment);
    EXPECT_DOUBLE_EQ(f->AsDateTime(), c.expected);
    EXPECT_DOUBLE_EQ(f->AsFloat(), c.expected);
    EXPECT_EQ(f->AsVariant().VarType(), varDate);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->AsInteger(); }), "Cannot access field 'F' as type Integer");
    EXPECT_THROW(f->SetAsDateTime(std::numeric_limits<double>::quiet_NaN()), EConvertError);
    EXPECT_DOUBLE_EQ(f->AsDateTime(), c.expected);
  }
  OneField ts(ftTimeStamp);
  TField* f = ts.Open();
  f->SetAsString("2024-03-05 18:00:00");
  TSQLTimeStamp stamp = f->AsSQLTimeStamp();
  EXPECT_EQ(stamp.Year, 2024);
  EXPECT_EQ(stamp.Hour, 18);
  EXPECT_DOUBLE_EQ(f->AsDateTime(), moment);
  TSQLTimeStamp bad = stamp;
  bad.Month = 13;
  EXPECT_EQ(MessageOf<EConvertError>([&] { f->SetAsSQLTimeStamp(bad); }), "Invalid argument to date encode");
  EXPECT_EQ(f->AsSQLTimeStamp(), stamp);
}

TEST(FieldConversion, BlobsHoldBytes) {
  OneField t(ftBlob);
  auto* f = static_cast<TBlobField*>(t.Open());
  const std::string bytes("a\0b\xff", 4);
  f->SetAsString(bytes);
  EXPECT_EQ(f->AsString(), bytes);
  EXPECT_EQ(f->BlobSize(), 4);
  Variant v = f->AsVariant();
  EXPECT_EQ(v.VarType(), varArray | varByte);
  f->Clear();
  f->SetAsVariant(v);
  EXPECT_EQ(f->AsString(), bytes);

  TMemoryStream out;
  f->SaveToStream(&out);
  EXPECT_EQ(out.Size(), 4);
  TStringStream in(std::string(100000, 'x'));
  f->LoadFromStream(&in);
  EXPECT_EQ(f->BlobSize(), 100000);
  EXPECT_THROW(f->SetBlobType(ftInteger), EDatabaseError);

  OneField m(ftMemo);
  TField* memo = m.Open();
  memo->SetAsString("多行\r\n文本");
  EXPECT_EQ(memo->AsVariant().VarType(), varString);
  EXPECT_EQ(memo->AsString(), "多行\r\n文本");
}

TEST(FieldConversion, TypesAFieldCannotTakeRaiseAccessErrors) {
  struct Case {
    TFieldType type;
    std::function<void(TField*)> access;
    const char* message;
  } cases[] = {
      {ftInteger, [](TField* f) { f->SetAsDateTime(1); }, "Cannot access field 'F' as type DateTime"},
      {ftInteger, [](TField* f) { f->AsBoolean(); }, "Cannot access field 'F' as type Boolean"},
      {ftBoolean, [](TField* f) { f->AsFloat(); }, "Cannot access field 'F' as type Float"},
      {ftDateTime, [](TField* f) { f->SetAsBoolean(true); }, "Cannot access field 'F' as type Boolean"},
      {ftBlob, [](TField* f) { f->AsInteger(); }, "Cannot access field 'F' as type Integer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    OneField t(c.type);
    TField* f = t.Open();
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { c.access(f); }), c.message);
  }
}

TEST(FieldConversion, VariantFieldsHoldAnyValue) {
  TFormatSettingsScope scope(Pinned());
  OneField t(ftVariant);
  TField* f = t.Open();
  f->SetAsVariant(Variant("12"));
  EXPECT_EQ(f->AsVariant().VarType(), varString);
  EXPECT_EQ(f->AsInteger(), 12);
  f->SetAsFloat(1.5);
  EXPECT_EQ(f->AsVariant().VarType(), varDouble);
  f->SetAsString("abc");
  EXPECT_EQ(MessageOf<EConvertError>([&] { f->AsFloat(); }), "'abc' is not a valid floating point value");
}

// --- the write path ---------------------------------------------------------------------------

TEST(FieldWrite, ReadOnlyFieldsAndBrowseModeRefuseWrites) {
  OneField t(ftInteger);
  TField* f = t.Open();
  f->SetAsInteger(1);
  f->SetReadOnly(true);
  EXPECT_FALSE(f->CanModify());
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsInteger(2); }), "Field 'F' cannot be modified");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->Clear(); }), "Field 'F' cannot be modified");
  f->SetReadOnly(false);
  EXPECT_TRUE(f->CanModify());
  t.data->Post();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsInteger(3); }),
            "Data: Dataset not in edit or insert mode");
  EXPECT_EQ(f->AsInteger(), 1);
  t.data->Close();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetAsInteger(3); }),
            "Data: Cannot perform this operation on a closed dataset");

  TIntegerField loose(nullptr);
  loose.SetFieldName("Loose");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { loose.AsInteger(); }), "Field 'Loose' has no dataset");
  EXPECT_FALSE(loose.CanModify());
}

TEST(FieldWrite, OnValidateSeesTheProposedValueAndMayRefuseIt) {
  OneField t(ftInteger);
  TField* f = t.Open();
  f->SetAsInteger(1);
  std::vector<std::string> log;
  f->OnValidate = [&](TField* Sender) {
    log.push_back("validate " + Sender->AsString());
    if (Sender->AsInteger() < 0) throw EDatabaseError("negative");
  };
  f->OnChange = [&](TField* Sender) { log.push_back("change " + Sender->AsString()); };
  f->SetAsInteger(5);
  EXPECT_THROW(f->SetAsInteger(-1), EDatabaseError);
  EXPECT_EQ(f->AsInteger(), 5);
  f->Clear();
  EXPECT_EQ(log, (std::vector<std::string>{"validate 5", "change 5", "validate -1", "validate ", "change "}));
}

TEST(FieldWrite, CalculatedFieldsAreNotModifiable) {
  OneField t(ftInteger);
  auto* calc = new TIntegerField(t.data);
  calc->SetFieldName("Twice");
  calc->SetFieldKind(fkCalculated);
  calc->SetDataSet(t.data);
  TField* data = t.Field();
  t.data->OnCalcFields = [&](TDataSet*) { calc->SetAsInteger(data->AsInteger() * 2); };
  t.data->Open();
  t.data->Append();
  data->SetAsInteger(21);
  t.data->Post();
  EXPECT_EQ(calc->AsInteger(), 42);
  EXPECT_FALSE(calc->CanModify());
  t.data->Edit();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { calc->SetAsInteger(1); }), "Field 'Twice' cannot be modified");
}

TEST(FieldWrite, AssignCopiesAnotherFieldsValue) {
  OneField a(ftInteger), b(ftFloat);
  TField* fa = a.Open();
  TField* fb = b.Open();
  fb->SetAsFloat(6.0);
  fa->Assign(fb);
  EXPECT_EQ(fa->AsInteger(), 6);
  fa->Assign(nullptr);
  EXPECT_TRUE(fa->IsNull());
}

// --- field classes and their defaults -------------------------------------------------------

TEST(FieldClasses, EachDataTypeHasItsClass) {
  struct Case {
    TFieldType type;
    const char* className;
  } cases[] = {
      {ftString, "TStringField"},
      {ftFixedChar, "TStringField"},
      {ftSmallint, "TSmallintField"},
      {ftInteger, "TIntegerField"},
      {ftWord, "TWordField"},
      {ftBoolean, "TBooleanField"},
      {ftFloat, "TFloatField"},
      {ftCurrency, "TCurrencyField"},
      {ftBCD, "TBCDField"},
      {ftDate, "TDateField"},
      {ftTime, "TTimeField"},
      {ftDateTime, "TDateTimeField"},
      {ftBytes, "TBytesField"},
      {ftVarBytes, "TVarBytesField"},
      {ftAutoInc, "TAutoIncField"},
      {ftBlob, "TBlobField"},
      {ftMemo, "TMemoField"},
      {ftGraphic, "TGraphicField"},
      {ftFmtMemo, "TBlobField"},
      {ftWideString, "TWideStringField"},
      {ftLargeint, "TLargeintField"},
      {ftOraClob, "TMemoField"},
      {ftVariant, "TVariantField"},
      {ftGuid, "TGuidField"},
      {ftTimeStamp, "TSQLTimeStampField"},
      {ftFMTBcd, "TFMTBCDField"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.className);
    std::unique_ptr<TField> f(CreateFieldForType(c.type, nullptr));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ClassName(), c.className);
    EXPECT_EQ(f->DataType(), c.type);
    EXPECT_TRUE(f->InheritsFrom("TField"));
    EXPECT_EQ(GetClass(c.className), f->ClassType()) << "registered for descriptions";
  }
  for (TFieldType none :
       {ftUnknown, ftCursor, ftADT, ftArray, ftReference, ftDataSet, ftInterface, ftIDispatch})
    EXPECT_EQ(CreateFieldForType(none, nullptr), nullptr);
  EXPECT_TRUE(TCurrencyField(nullptr).InheritsFrom("TFloatField"));
  EXPECT_TRUE(TAutoIncField(nullptr).InheritsFrom("TIntegerField"));
  EXPECT_TRUE(TMemoField(nullptr).InheritsFrom("TBlobField"));
  EXPECT_TRUE(TGuidField(nullptr).InheritsFrom("TStringField"));
}

TEST(FieldClasses, DefaultsFollowTheType) {
  struct Case {
    TFieldType type;
    int width;
    TAlignment alignment;
    int size;
  } cases[] = {
      {ftString, 20, taLeftJustify, 20},   {ftSmallint, 6, taRightJustify, 0},
      {ftInteger, 11, taRightJustify, 0},  {ftWord, 6, taRightJustify, 0},
      {ftLargeint, 15, taRightJustify, 0}, {ftFloat, 10, taRightJustify, 0},
      {ftCurrency, 10, taRightJustify, 0}, {ftBCD, 10, taRightJustify, 4},
      {ftBoolean, 5, taLeftJustify, 0},    {ftDate, 10, taLeftJustify, 0},
      {ftDateTime, 18, taLeftJustify, 0},  {ftGuid, 38, taLeftJustify, 38},
      {ftBlob, 10, taLeftJustify, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(TEnumTraits<TFieldType>::Info().NameOf(c.type));
    std::unique_ptr<TField> f(CreateFieldForType(c.type, nullptr));
    EXPECT_EQ(f->DisplayWidth(), c.width);
    EXPECT_EQ(f->Alignment(), c.alignment);
    EXPECT_EQ(f->Size(), c.size);
    EXPECT_TRUE(f->Visible());
    f->SetDisplayWidth(3);
    EXPECT_EQ(f->DisplayWidth(), 3);
  }
  TStringField s(nullptr);
  s.SetSize(40);
  EXPECT_EQ(s.DisplayWidth(), 40);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { s.SetSize(-1); }), "Invalid field size");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { s.SetSize(dsMaxStringSize + 1); }), "Invalid field size");
  TIntegerField i(nullptr);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { i.SetSize(4); }), "Invalid field size");
  TGuidField g(nullptr);
  EXPECT_THROW(g.SetSize(20), EDatabaseError);
  TFloatField fl(nullptr);
  fl.SetPrecision(30);
  EXPECT_EQ(fl.Precision(), 15);
  fl.SetPrecision(0);
  EXPECT_EQ(fl.Precision(), 2);
}

TEST(FieldClasses, ValidCharactersFollowTheType) {
  TFormatSettingsScope scope(Pinned());
  struct Case {
    TFieldType type;
    const char32_t* valid;
    const char32_t* invalid;
  } cases[] = {
      {ftInteger, U"+-0123456789", U".eEa "},
      {ftLargeint, U"-9", U".x"},
      {ftFloat, U"+-09.eE", U",xa"},
      {ftBCD, U"-9.", U"eE"},
      {ftString, U"a汉 .", U""},
      {ftGuid, U"{}-0aF", U"gz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(TEnumTraits<TFieldType>::Info().NameOf(c.type));
    std::unique_ptr<TField> f(CreateFieldForType(c.type, nullptr));
    for (const char32_t* p = c.valid; *p; ++p) EXPECT_TRUE(f->IsValidChar(*p)) << static_cast<uint32_t>(*p);
    for (const char32_t* p = c.invalid; *p; ++p)
      EXPECT_FALSE(f->IsValidChar(*p)) << static_cast<uint32_t>(*p);
  }
}

TEST(FieldClasses, LookupPropertiesAndBinding) {
  OneField master(ftInteger), lookup(ftInteger);
  lookup.data->SetName("Lookup");
  auto* f = new TStringField(master.data);
  f->SetFieldName("Name");
  f->SetFieldKind(fkLookup);
  EXPECT_TRUE(f->Lookup());
  f->SetDataSet(master.data);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { f->SetLookupDataSet(master.data); }),
            "Circular datalinks are not allowed");
  f->SetLookupDataSet(lookup.data);
  f->SetKeyFields("F");
  f->SetLookupKeyFields("F");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { master.data->Open(); }),
            "Lookup information for field 'Name' is incomplete");
  f->SetLookupResultField("F");
  master.data->Open();
  EXPECT_EQ(f->FieldKind(), fkLookup);
  EXPECT_THROW(f->SetKeyFields("G"), EDatabaseError) << "the data set is open";
  master.data->Close();
  delete lookup.data;
  lookup.data = nullptr;
  EXPECT_EQ(f->LookupDataSet(), nullptr) << "told when the lookup data set is freed";
}

TEST(FieldClasses, FieldsJoinAndLeaveTheirDataSet) {
  OneField t(ftInteger);
  auto* a = new TIntegerField(nullptr);
  a->SetFieldName("A");
  a->SetDataSet(t.data);
  EXPECT_EQ(a->DataSet(), t.data);
  EXPECT_EQ(a->Index(), 1);
  auto* b = new TIntegerField(nullptr);
  b->SetFieldName("a");
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { b->SetDataSet(t.data); }), "Data: Duplicate field name 'a'");
  EXPECT_EQ(b->DataSet(), nullptr);
  b->SetFieldName("B");
  b->SetDataSet(t.data);
  b->SetIndex(0);
  EXPECT_EQ(t.data->Fields()->Fields(0), b);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { b->SetFieldName("A"); }), "Data: Duplicate field name 'A'");
  delete b;
  EXPECT_EQ(t.data->FieldCount(), 2);
  a->SetDataSet(nullptr);
  EXPECT_EQ(t.data->FieldCount(), 1);
  EXPECT_EQ(a->Index(), -1);
  delete a;
}
