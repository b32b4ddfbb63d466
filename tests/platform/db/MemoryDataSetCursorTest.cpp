// TMemoryDataSet's cursor against a plain model: random walks of navigation, edits, inserts,
// deletes, sort and filter switches and bookmark jumps; after every step the current record's
// fields, RecNo, a grid link's window of rows and the store's own rules are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/db/Fields.h"
#include "platform/db/MemoryDataSet.h"
#include "tests/support/ConsistencyTestSupport.h"

namespace {

struct FreeCursorComponent {
  void operator()(TComponent* c) const { c->Free(); }
};

struct ModelRecord {
  int Id;
  std::string Name;
  double Amount;
};

// The records in physical order; the view filters (Amount < 50) and sorts (Name, stable).
struct CursorModel {
  std::vector<ModelRecord> Base;
  bool Sorted = false, Filtered = false;
  int Current = 0;  // the current record's ID, 0 when the view is empty

  std::vector<int> View() const {
    std::vector<ModelRecord> v;
    for (const ModelRecord& r : Base)
      if (!Filtered || r.Amount < 50) v.push_back(r);
    if (Sorted)
      std::stable_sort(v.begin(), v.end(),
                       [](const ModelRecord& a, const ModelRecord& b) { return a.Name < b.Name; });
    std::vector<int> ids;
    for (const ModelRecord& r : v) ids.push_back(r.Id);
    return ids;
  }
  int Pos(int Id) const {
    const std::vector<int> v = View();
    auto it = std::find(v.begin(), v.end(), Id);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
  }
  ModelRecord* Find(int Id) {
    for (ModelRecord& r : Base)
      if (r.Id == Id) return &r;
    return nullptr;
  }
  // After a write the cursor follows its record, or stays at Fallback (clamped to the view).
  void Follow(int Id, int Fallback) {
    const std::vector<int> v = View();
    if (Pos(Id) >= 0)
      Current = Id;
    else
      Current =
          v.empty() ? 0 : v[static_cast<size_t>(std::min<int>(Fallback, static_cast<int>(v.size()) - 1))];
  }
  void MoveTo(int Pos) {
    const std::vector<int> v = View();
    Current = v.empty() ? 0 : v[static_cast<size_t>(std::clamp<int>(Pos, 0, static_cast<int>(v.size()) - 1))];
  }
};

struct CursorCase {
  const char* Id;
  unsigned Seed;
  int LinkBuffers;  // a grid link's window; 0: no link at all
  bool CalcField;   // a calculated field Twice = Amount * 2
};

void CheckAgainstModel(TMemoryDataSet& ds, CursorModel& m, TDataLink* link) {
  ExpectConsistent(ds);
  const std::vector<int> view = m.View();
  ASSERT_EQ(ds.RecordCount(), static_cast<int>(view.size()));
  if (m.Current == 0) {
    EXPECT_TRUE(ds.IsEmpty());
    return;
  }
  const ModelRecord& r = *m.Find(m.Current);
  ASSERT_EQ(ds.FieldByName("ID")->AsInteger(), r.Id);
  EXPECT_EQ(ds.FieldByName("Name")->AsString(), r.Name);
  EXPECT_EQ(ds.FieldByName("Amount")->AsFloat(), r.Amount);
  if (TField* twice = ds.FindField("Twice")) {
    EXPECT_EQ(twice->AsFloat(), r.Amount * 2);
  }
  EXPECT_EQ(ds.RecNo(), m.Pos(r.Id) + 1);
  if (!link) return;
  // The link's rows are the view's, consecutive, with the current one at ActiveRecord.
  const int first = m.Pos(r.Id) - link->ActiveRecord();
  const int rows = std::min(link->BufferCount(), static_cast<int>(view.size()));
  ASSERT_EQ(link->RecordCount(), rows);
  ASSERT_GE(first, 0);
  ASSERT_LE(first + rows, static_cast<int>(view.size()));
  const int saved = link->ActiveRecord();
  for (int i = 0; i < rows; ++i) {
    link->SetActiveRecord(i);
    EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), view[static_cast<size_t>(first + i)]) << "row " << i;
  }
  link->SetActiveRecord(saved);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), r.Id);
}

TEST(MemoryDataSetCursor, RandomWalksReadWhatTheModelHolds) {
  const CursorCase cases[] = {
      {"no-link", 11, 0, false},
      {"field-link", 12, 1, false},
      {"grid-window", 13, 4, false},
      {"grid-window-calc", 14, 5, true},
  };
  for (const CursorCase& c : cases) {
    SCOPED_TRACE(c.Id);
    std::unique_ptr<TMemoryDataSet, FreeCursorComponent> ds(new TMemoryDataSet(nullptr));
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Name", ftString, 8);
    ds->FieldDefs()->Add("Amount", ftFloat);
    if (c.CalcField) {
      for (int i = 0; i < ds->FieldDefs()->Count(); ++i) ds->FieldDefs()->Items(i)->CreateField(ds.get());
      TField* twice = CreateFieldForType(ftFloat, ds.get());
      twice->SetFieldName("Twice");
      twice->SetFieldKind(fkCalculated);
      twice->SetDataSet(ds.get());
      ds->OnCalcFields = [](TDataSet* d) {
        d->FieldByName("Twice")->SetAsFloat(d->FieldByName("Amount")->AsFloat() * 2);
      };
    }
    ds->SetFilter("Amount < 50");
    ds->CreateDataSet();
    std::unique_ptr<TDataSource, FreeCursorComponent> src(new TDataSource(nullptr));
    TDataLink link;
    if (c.LinkBuffers > 0) {
      src->SetDataSet(ds.get());
      link.SetBufferCount(c.LinkBuffers);
      link.SetDataSource(src.get());
    }
    TDataLink* shown = c.LinkBuffers > 0 ? &link : nullptr;

    std::mt19937 rng(c.Seed);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto name = [&] { return std::string(1 + pick(2), "abc"[pick(3)]) + "abc"[pick(3)]; };
    CursorModel m;
    int nextId = 1;
    std::vector<std::pair<TBookmark, int>> marks;
    for (int step = 0; step < 400; ++step) {
      const int op = step < 12 ? 7 : pick(14);  // a dozen appends first
      SCOPED_TRACE(testing::Message() << "step " << step << " op " << op);
      const int pos = m.Current ? m.Pos(m.Current) : -1;
      switch (op) {
        case 0:
          ds->Next();
          m.MoveTo(pos + 1);
          break;
        case 1:
          ds->Prior();
          m.MoveTo(pos - 1);
          break;
        case 2: {
          const int d = pick(9) - 4;
          ds->MoveBy(d);
          m.MoveTo(pos + d);
          break;
        }
        case 3:
          ds->First();
          m.MoveTo(0);
          break;
        case 4:
          ds->Last();
          m.MoveTo(INT32_MAX);
          break;
        case 5:
        case 9: {  // edit, then post (5) or cancel (9)
          if (!m.Current) break;
          const std::string n = name();
          const double a = pick(100);
          ds->Edit();
          ds->FieldByName("Name")->SetAsString(n);
          ds->FieldByName("Amount")->SetAsFloat(a);
          if (op == 9) {
            ds->Cancel();
            break;
          }
          ds->Post();
          *m.Find(m.Current) = ModelRecord{m.Current, n, a};
          m.Follow(m.Current, pos);
          break;
        }
        case 6:
        case 7: {  // insert before the current record (6) or append (7)
          const ModelRecord r{nextId++, name(), static_cast<double>(pick(100))};
          const bool append = op == 7 || !m.Current;
          const int before = append ? static_cast<int>(m.View().size()) : pos;
          auto at = append ? m.Base.end()
                           : std::find_if(m.Base.begin(), m.Base.end(),
                                          [&](const ModelRecord& x) { return x.Id == m.Current; });
          op == 7 ? ds->Append() : ds->Insert();
          ds->SetFields({r.Id, r.Name, r.Amount});
          ds->Post();
          m.Base.insert(at, r);
          m.Follow(r.Id, before);
          break;
        }
        case 8:
          if (!m.Current) break;
          ds->Delete();
          m.Base.erase(std::find_if(m.Base.begin(), m.Base.end(),
                                    [&](const ModelRecord& x) { return x.Id == m.Current; }));
          m.MoveTo(pos);
          break;
        case 10:
          m.Sorted = !m.Sorted;
          ds->SetIndexFieldNames(m.Sorted ? "Name" : "");
          break;
        case 11:
          m.Filtered = !m.Filtered;
          ds->SetFiltered(m.Filtered);
          m.MoveTo(0);
          break;
        case 12:
          if (m.Current) marks.emplace_back(ds->Bookmark(), m.Current);
          break;
        case 13: {
          if (marks.empty()) break;
          const auto& [mark, id] = marks[static_cast<size_t>(pick(static_cast<int>(marks.size())))];
          const bool there = m.Find(id) && m.Pos(id) >= 0;
          ASSERT_EQ(ds->BookmarkValid(mark), there);
          if (!there) break;
          ds->GotoBookmark(mark);
          m.Current = id;
          EXPECT_EQ(ds->Bookmark(), mark);
          break;
        }
      }
      CheckAgainstModel(*ds, m, shown);
      if (HasFatalFailure()) return;
    }
    link.SetDataSource(nullptr);
  }
}

}  // namespace
