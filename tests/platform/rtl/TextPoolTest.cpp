// Pooled texts behave as any Variant text, and their blocks go when the pool and the last
// text in them do.
#include "platform/rtl/TextPool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TextPool, TextsAreOrdinaryVariantsOfEveryLength) {
  const size_t lengths[] = {0, 14, 15, 100, TTextPool::kLargestPooled, TTextPool::kLargestPooled + 1, 70000};
  TTextPool pool;
  for (size_t length : lengths) {
    SCOPED_TRACE(length);
    std::string text(length, 'x');
    if (length > 0) text.back() = 'y';
    const Variant pooled = pool.MakeText(text);
    Variant copy = pooled;
    EXPECT_EQ(pooled.VarType(), varString);
    EXPECT_EQ(pooled.AsString(), text);
    EXPECT_TRUE(pooled == Variant(text));
    std::string_view view;
    ASSERT_TRUE(copy.TryTextView(view));
    EXPECT_EQ(view, text);
    copy = Variant(7);  // the pooled value is untouched by its copy changing
    EXPECT_EQ(pooled.AsString(), text);
  }
}

TEST(TextPool, BlocksLiveWhileThePoolOrATextInThemDoes) {
  const size_t before = TTextPool::LiveBlocks();
  std::vector<Variant> texts;
  {
    TTextPool pool;
    EXPECT_EQ(pool.MakeText("short").AsString(), "short");  // inline: no block
    EXPECT_EQ(TTextPool::LiveBlocks(), before);
    // 1,700 texts of 48 bytes with their headers fill one 64 KiB block (1,364) and start a second.
    for (int i = 0; i < 1700; ++i)
      texts.push_back(pool.MakeText("text number " + std::to_string(100000 + i)));
    EXPECT_EQ(TTextPool::LiveBlocks(), before + 2);
  }
  EXPECT_EQ(TTextPool::LiveBlocks(), before + 2);  // the texts hold their blocks
  EXPECT_EQ(texts[1699].AsString(), "text number 101699");
  texts.erase(texts.begin(), texts.begin() + 1600);  // the first block's texts
  EXPECT_EQ(TTextPool::LiveBlocks(), before + 1);
  texts.clear();
  EXPECT_EQ(TTextPool::LiveBlocks(), before);
}
