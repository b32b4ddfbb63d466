// The group tree's flat list in counted blocks: splices anywhere (inside one block, across
// blocks, whole blocks, long runs, down to nothing) against a plain vector of the same rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "grid/axis/DBGridEhGrouping.h"
#include "grid/axis/GroupFlatListEh.h"

namespace {

using TNodes = std::vector<TGroupDataTreeNodeEh*>;

class GroupFlatList : public ::testing::Test {
 protected:
  // Nodes made apart from any tree; every third one a group row.
  TNodes Make(int Count) {
    TNodes made;
    for (int i = 0; i < Count; ++i) {
      owned.push_back(std::make_unique<TGroupDataTreeNodeEh>());
      owned.back()->NodeType = i % 3 == 0 ? dntDataGroupEh : dntDataSetRecordEh;
      made.push_back(owned.back().get());
    }
    return made;
  }
  // Splices the list and the model alike.
  void Splice(int At, int Remove, const TNodes& Rows) {
    list.Splice(At, Remove, Rows);
    model.erase(model.begin() + At, model.begin() + At + Remove);
    model.insert(model.begin() + At, Rows.begin(), Rows.end());
  }
  // Empty when the list answers as the model, else the first difference.
  std::string Differs() {
    list.CheckConsistency();
    if (list.Count() != static_cast<int>(model.size())) return "count " + std::to_string(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
      TGroupDataTreeNodeEh* n = model[static_cast<size_t>(i)];
      if (list.Node(i) != n) return "node at " + std::to_string(i);
      if (list.IndexOf(n) != i) return "index of row " + std::to_string(i);
      if (list.IsRecordRow(i) != (n->NodeType == dntDataSetRecordEh)) return "kind at " + std::to_string(i);
    }
    // Backwards and by jumps, as a paint or a scroll asks.
    for (int i = list.Count() - 1; i >= 0; i -= 97)
      if (list.Node(i) != model[static_cast<size_t>(i)]) return "node at " + std::to_string(i) + " backwards";
    if (list.Node(-1) != nullptr || list.Node(list.Count()) != nullptr || list.IsRecordRow(list.Count()))
      return "an answer outside the rows";
    return {};
  }

  std::vector<std::unique_ptr<TGroupDataTreeNodeEh>> owned;
  TGroupFlatListEh list;
  TNodes model;
};

TEST_F(GroupFlatList, SplicesAnswerAsAPlainVector) {
  const TNodes all = Make(5000);
  auto rows = [&](int From, int Count) { return TNodes(all.begin() + From, all.begin() + From + Count); };
  struct Case {
    const char* id;
    int at, remove, from, count;  // rows all[from .. from + count) go in at `at`
  } const cases[] = {
      {"into empty", 0, 0, 0, 3000},         {"a few inside a block", 100, 0, 3000, 5},
      {"the same out again", 100, 5, 0, 0},  {"across blocks out", 400, 900, 0, 0},
      {"a long run in", 250, 0, 3005, 1500}, {"at the front", 0, 0, 4505, 10},
      {"at the end", -1, 0, 4515, 20},       {"out at the end", -20, 20, 0, 0},
      {"the first out", 0, 1, 0, 0},         {"replaced in the middle", 1000, 300, 4535, 200},
      {"everything out", 0, -1, 0, 0},       {"in again after empty", 0, 0, 0, 700},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const int count = static_cast<int>(model.size());
    const int at = c.at < 0 ? count + (c.remove > 0 ? c.at : 0) : c.at;
    Splice(at, c.remove < 0 ? count : c.remove, rows(c.from, c.count));
    EXPECT_EQ(Differs(), "");
    EXPECT_TRUE(list.Holds(at, rows(c.from, c.count)));
  }
  // A node taken out is no longer found, and a row number outside is refused.
  EXPECT_EQ(list.IndexOf(all[4600]), -1);
  EXPECT_FALSE(list.Holds(list.Count() - 1, rows(0, 2)));
  list.Clear();
  EXPECT_EQ(list.IndexOf(all[0]), -1);
  EXPECT_EQ(list.Count(), 0);
}

// Toggles over and over: the blocks neither fragment into nothing nor lose rows.
TEST_F(GroupFlatList, RepeatedSplicesKeepTheBlocksSound) {
  const TNodes all = Make(4000);
  model.assign(all.begin(), all.begin() + 2000);
  list.Assign(model);
  std::mt19937 rng(55);
  TNodes spare(all.begin() + 2000, all.end());
  for (int step = 0; step < 400; ++step) {
    const int count = static_cast<int>(model.size());
    const int at = static_cast<int>(rng() % static_cast<unsigned>(count + 1));
    const int remove = std::min(count - at, static_cast<int>(rng() % 40));
    TNodes removed(model.begin() + at, model.begin() + at + remove);
    const int take = std::min(static_cast<int>(spare.size()), static_cast<int>(rng() % 40));
    TNodes in(spare.end() - take, spare.end());
    spare.resize(spare.size() - static_cast<size_t>(take));
    Splice(at, remove, in);
    spare.insert(spare.end(), removed.begin(), removed.end());
    if (step % 50 == 0) {
      ASSERT_EQ(Differs(), "") << "step " << step;
    }
  }
  EXPECT_EQ(Differs(), "");
}

}  // namespace
