#include "platform/rtl/Guid.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/rtl/Exceptions.h"

namespace {

TEST(GuidTest, TextRoundTrip) {
  constexpr TGUID g = TGUID::Parse("{6B29FC40-CA47-1067-B31D-00DD010662DA}");
  EXPECT_EQ(GUIDToString(g), "{6B29FC40-CA47-1067-B31D-00DD010662DA}");
  EXPECT_EQ(StringToGUID("{6b29fc40-ca47-1067-b31d-00dd010662da}"), g);
  EXPECT_EQ(g.D1, 0x6B29FC40u);
  EXPECT_EQ(g.D4[7], 0xDA);
}

TEST(GuidTest, MalformedTextIsRejected) {
  for (const char* bad :
       {"", "{6B29FC40-CA47-1067-B31D-00DD010662DA", "6B29FC40-CA47-1067-B31D-00DD010662DA",
        "{6B29FC40-CA47-1067-B31D-00DD010662DX}", "{6B29FC40+CA47-1067-B31D-00DD010662DA}",
        "{6B29FC40-CA47-1067-B31D-00DD010662DA}x", "{6B29FC4-0CA47-1067-B31D-00DD010662DA}"}) {
    SCOPED_TRACE(bad);
    TGUID g;
    EXPECT_FALSE(TryStringToGUID(bad, g));
    try {
      StringToGUID(bad);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid GUID value");
    }
  }
}

TEST(GuidTest, CreatedGuidsAreVersion4AndDistinct) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    TGUID g = CreateGUID();
    EXPECT_EQ(g.D3 >> 12, 4);
    EXPECT_EQ(g.D4[0] & 0xC0, 0x80);
    std::string s = GUIDToString(g);
    EXPECT_EQ(StringToGUID(s), g);
    seen.insert(s);
  }
  EXPECT_EQ(seen.size(), 200u);
}

}  // namespace
