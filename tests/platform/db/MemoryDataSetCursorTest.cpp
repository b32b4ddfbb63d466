// TMemoryDataSet's cursor against a plain model: random walks of navigation, edits, inserts,
// deletes, sort and filter switches and bookmark jumps; after every step the current record's
// fields, RecNo, a link's window of rows and the data set's own rules are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace {

struct ModelRecord {
  int Id;
  std::string Name;
  double Amount;
};

// Records in physical order; the view filters (Amount < 50) and sorts (Name, stable). Current
// is the ID of the current record, 0 while the view is empty.
struct CursorModel {
  std::vector<ModelRecord> Base;
  bool Sorted = false, Filtered = false;
  int Current = 0;

  std::vector<ModelRecord>::iterator Find(int Id) {
    return std::find_if(Base.begin(), Base.end(), [Id](auto& r) { return r.Id == Id; });
  }

  std::vector<ModelRecord> View() const {
    std::vector<ModelRecord> v;
    for (const ModelRecord& r : Base)
      if (!Filtered || r.Amount < 50) v.push_back(r);
    if (Sorted) std::stable_sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.Name < b.Name; });
    return v;
  }
  int Pos(int Id) const {
    const std::vector<ModelRecord> v = View();
    const auto it = std::find_if(v.begin(), v.end(), [Id](auto& r) { return r.Id == Id; });
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
  }
  // The cursor follows record Id while the view shows it, else rests at Fallback (clamped).
  void Settle(int Id, int Fallback) {
    const std::vector<ModelRecord> v = View();
    const int last = static_cast<int>(v.size()) - 1;
    Current = Pos(Id) >= 0 ? Id : v.empty() ? 0 : v[static_cast<size_t>(std::clamp(Fallback, 0, last))].Id;
  }
};

void CheckAgainstModel(TMemoryDataSet& ds, const CursorModel& m, TDataLink& link) {
  ExpectConsistent(ds);
  const std::vector<ModelRecord> view = m.View();
  ASSERT_EQ(ds.RecordCount(), static_cast<int>(view.size()));
  ASSERT_EQ(ds.IsEmpty(), m.Current == 0);
  const int pos = m.Pos(m.Current);
  // The link's rows (only the current one without a link) are the view's, in a row.
  const int active = link.Active() ? link.ActiveRecord() : 0;
  const int rows = link.Active() ? link.RecordCount() : m.Current != 0;
  ASSERT_EQ(rows, std::min(link.Active() ? link.BufferCount() : 1, static_cast<int>(view.size())));
  EXPECT_EQ(ds.RecNo(), pos + 1);
  for (int i = 0; i < rows; ++i) {
    if (link.Active()) link.SetActiveRecord(i);
    const ModelRecord& r = view.at(static_cast<size_t>(pos - active + i));
    EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), r.Id) << "row " << i;
    EXPECT_EQ(ds.FieldByName("Name")->AsString(), r.Name);
    EXPECT_EQ(ds.FieldByName("Amount")->AsFloat(), r.Amount);
  }
  if (link.Active()) link.SetActiveRecord(active);
}

TEST(MemoryDataSetCursor, RandomWalksReadWhatTheModelHolds) {
  const struct {
    const char* Id;
    unsigned Seed;
    int LinkBuffers;  // the link's window: 0 no listener at all, 1 a field control, more a grid
  } cases[] = {{"no-listener", 10, 0}, {"field-link", 11, 1}, {"grid-window", 12, 4}, {"grid-odd", 13, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Id);
    TMemoryDataSet ds(nullptr);
    ds.FieldDefs()->Add("ID", ftInteger);
    ds.FieldDefs()->Add("Name", ftString, 8);
    ds.FieldDefs()->Add("Amount", ftFloat);
    ds.SetFilter("Amount < 50");
    ds.CreateDataSet();
    TDataSource src(nullptr);
    TDataLink link;
    if (c.LinkBuffers > 0) {
      src.SetDataSet(&ds);
      link.SetBufferCount(c.LinkBuffers);
      link.SetDataSource(&src);
    }
    std::mt19937 rng(c.Seed);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    CursorModel m;
    std::vector<std::pair<TBookmark, int>> marks;
    for (int step = 0; step < 400; ++step) {
      const int op = step < 12 ? 5 : pick(10);  // a dozen appends first
      SCOPED_TRACE(testing::Message() << "step " << step << " op " << op);
      const int pos = m.Pos(m.Current), jump = pick(9) - 4;
      const ModelRecord rec{step + 1, std::string(1 + pick(2), "abc"[pick(3)]) + "abc"[pick(3)],
                            1.0 * pick(100)};
      if (op <= 1) {  // MoveBy (Next and Prior among the distances)
        ds.MoveBy(jump);
        m.Settle(0, pos + jump);
      } else if (op == 2) {
        jump < 0 ? ds.First() : ds.Last();
        m.Settle(0, jump < 0 ? 0 : INT32_MAX);
      } else if (op == 3 && m.Current) {  // edit and post, or cancel
        ds.Edit();
        ds.SetFields({Variant(), rec.Name, rec.Amount});
        jump < 0 ? ds.Cancel() : ds.Post();
        if (jump >= 0) *m.Find(m.Current) = {m.Current, rec.Name, rec.Amount};
        m.Settle(m.Current, pos);
      } else if (op == 4 || op == 5) {  // insert before the current record, or append
        const bool append = op == 5 || !m.Current;
        append ? ds.Append() : ds.Insert();
        ds.SetFields({rec.Id, rec.Name, rec.Amount});
        ds.Post();
        m.Base.insert(append ? m.Base.end() : m.Find(m.Current), rec);
        m.Settle(rec.Id, append ? INT32_MAX : pos);
      } else if (op == 6 && m.Current) {
        ds.Delete();
        m.Base.erase(m.Find(m.Current));
        m.Settle(0, pos);
      } else if (op == 7) {
        ds.SetIndexFieldNames((m.Sorted = !m.Sorted) ? "Name" : "");
      } else if (op == 8) {
        ds.SetFiltered(m.Filtered = !m.Filtered);
        m.Settle(0, 0);
      } else if (op == 9 && m.Current) {  // keep a bookmark, go to one kept before: valid while shown
        marks.emplace_back(ds.Bookmark(), m.Current);
        const auto& [mark, id] = marks[static_cast<size_t>(pick(static_cast<int>(marks.size())))];
        ASSERT_EQ(ds.BookmarkValid(mark), m.Pos(id) >= 0);
        if (m.Pos(id) >= 0) ds.GotoBookmark(mark);
        m.Settle(id, pos);
        EXPECT_EQ(ds.Bookmark() == mark, m.Current == id);
      }
      CheckAgainstModel(ds, m, link);
      if (HasFatalFailure()) return;
    }
    link.SetDataSource(nullptr);
  }
}

}  // namespace
