// The data-aware check box on a shown form, driven by clicks, keys and focus changes: unbound,
// bound to a Boolean field and to a string field through value lists, read-only, bound by field
// name only, streamed, and painted (probed in the form's pixels and in recorded copies).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "grid/editors/DBCheckBoxEh.h"
#include "grid/foundation/ButtonPainterEh.h"
#include "grid/foundation/DrawRoutinesEh.h"
#include "platform/db/MemoryDataSet.h"
#include "platform/gdi/DrawRecorder.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/VclTesting.h"
#include "platform/win/Input.h"
#include "platform/win/Painting.h"
#include "platform/win/WinTesting.h"
#include "tests/grid/editors/EditorTestSupport.h"
#include "tests/support/SurfacePixels.h"

namespace {

using editor_test::Focus;
using editor_test::Pump;

class DBCheckBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetVcl();
    SetThemesEnabled(false);
    ClearButtonsBitmapCache();
    form = new TForm(Application, 0);
    form->AfterConstruction();
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 100, 240, 120);
    form->SetColor(clWhite);
    ds = new TMemoryDataSet(form);
    ds->FieldDefs()->Add("ID", ftInteger);
    ds->FieldDefs()->Add("Flag", ftBoolean);
    ds->FieldDefs()->Add("Code", ftString, 10);
    ds->FieldDefs()->Add("Num", ftInteger);
    ds->CreateDataSet();
    ds->AppendRecord({1, true, "y", 1});
    ds->AppendRecord({2, false, "No", 0});
    ds->AppendRecord({3, Variant::Null(), "", Variant::Null()});
    ds->AppendRecord({4, true, "maybe", 5});
    ds->First();
    src = new TDataSource(form);
    src->SetDataSet(ds);
    cb = new TDBCheckBoxEh(form);
    cb->SetParent(form);
    cb->SetBounds(10, 10, 97, 17);
    cb->SetCaption("Active");
    cb->OnClick = [this](TObject*) { ++clicks; };
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 60, 80, 21);
    form->Show();
    Pump();
  }
  void TearDown() override {
    ResetVcl();
    SetThemesEnabled(false);
    ClearButtonsBitmapCache();
  }

  void Bind(const char* field) {
    cb->SetDataSource(src);
    cb->SetDataField(field);
    clicks = 0;
  }
  void ClickBox() {
    WinTesting::Click(ScreenOf(cb, 5, 8));
    Pump();
  }
  static POINT ScreenOf(TControl* c, int x, int y) {
    const TPoint p = c->ClientToScreen({x, y});
    return {p.X, p.Y};
  }
  // A pixel of the control as the form's surface shows it.
  COLORREF Pixel(TControl* c, int x, int y) {
    Pump();
    return test_support::ScreenPixel(form->Handle(), c->ClientToScreen({x, y}));
  }
  static COLORREF Sys(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }
  // The box square inside the 97 x 17 control with the caption on the right.
  static TRect LeftBox() {
    const int w = DefaultCheckBoxWidth(), h = DefaultCheckBoxHeight();
    return Bounds(0, (17 - h) / 2, w, h);
  }
  // The mark's low point of a 3-D box (see the painter): the interior starts 2 pixels in.
  static TPoint MarkPoint(const TRect& box) { return {box.Left + 2 + 3, box.Top + 2 + 5}; }

  // Records what the check box draws for WM_PAINT into a bitmap of its size.
  void RecordPaint(TDrawLog& log) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(97, 17);
    HDC dc = bmp->Canvas()->Handle();
    AttachDrawRecorder(dc, &log);
    cb->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    AttachDrawRecorder(dc, nullptr);
  }

  Variant Flag() { return ds->FieldByName("Flag")->Value(); }
  Variant Code() { return ds->FieldByName("Code")->Value(); }

  TForm* form = nullptr;
  TMemoryDataSet* ds = nullptr;
  TDataSource* src = nullptr;
  TDBCheckBoxEh* cb = nullptr;
  TEdit* other = nullptr;
  int clicks = 0;
};

// --- value lists ----------------------------------------------------------------------------------

TEST(DBCheckBoxValueList, MatchesTrimmedItemsWithoutCase) {
  struct Case {
    const char* list;
    const char* text;
    bool match;
  } cases[] = {
      {"Yes;Y;1", "y", true},     {"Yes; Ja ;Oui", "ja", true},
      {"Yes;Y;1", "Yess", false}, {"Yes;Y;1", "", false},
      {"No;", "", true},          {"", "", true},
      {"a;;b", "", true},         {"No", "", false},
      {"No;", "no", true},        {" ; ", "", true},
      {"Oui", "OUI", true},       {"1;2", "12", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.list << "\" / \"" << c.text << '"');
    EXPECT_EQ(CheckBoxValueInListEh(c.list, c.text), c.match);
  }
}

TEST(DBCheckBoxValueList, FirstItemIsTrimmed) {
  EXPECT_EQ(CheckBoxFirstValueEh("  Yes ;Y"), "Yes");
  EXPECT_EQ(CheckBoxFirstValueEh(""), "");
  EXPECT_EQ(CheckBoxFirstValueEh(";x"), "");
  EXPECT_EQ(CheckBoxFirstValueEh("only"), "only");
}

// --- unbound ----------------------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, NewCheckBoxIsUnboundUncheckedAndKeepsFalse) {
  EXPECT_TRUE(cb->IsDataIndependent());
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(cb->DataLink()->DataIndependentValue(), Variant(false));
  EXPECT_EQ(cb->ValueChecked(), "True");
  EXPECT_EQ(cb->ValueUnchecked(), "False");
  EXPECT_EQ(cb->Alignment(), taRightJustify);
  EXPECT_EQ(cb->Width(), 97);
  EXPECT_EQ(cb->Height(), 17);
  EXPECT_TRUE(cb->TabStop());
  EXPECT_FALSE(cb->ControlStyle().Contains(csDoubleClicks));
  EXPECT_TRUE(cb->ControlStyle().Contains(csReplicatable));
  EXPECT_EQ(cb->DataLink()->Control(), cb);
}

TEST_F(DBCheckBoxTest, UnboundClicksCycleAndKeepTheValueInTheLink) {
  struct Case {
    bool allowGrayed;
    std::vector<TCheckBoxState> cycle;
  } cases[] = {{false, {cbChecked, cbUnchecked, cbChecked}},
               {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.allowGrayed);
    cb->SetState(cbUnchecked);
    cb->SetAllowGrayed(c.allowGrayed);
    clicks = 0;
    for (TCheckBoxState want : c.cycle) {
      ClickBox();
      EXPECT_EQ(cb->State(), want);
      const Variant& v = cb->DataLink()->DataIndependentValue();
      if (want == cbGrayed)
        EXPECT_TRUE(v.IsNull());
      else
        EXPECT_EQ(v, Variant(want == cbChecked));
    }
    EXPECT_EQ(clicks, static_cast<int>(c.cycle.size())) << "one click event a change";
  }
  EXPECT_TRUE(cb->Focused()) << "the press focused the check box first";
}

TEST_F(DBCheckBoxTest, UnboundStateWritesTheLinkAndCheckedFollowsState) {
  cb->SetState(cbGrayed);
  EXPECT_TRUE(cb->DataLink()->DataIndependentValue().IsNull());
  EXPECT_FALSE(cb->Checked());
  cb->SetChecked(true);
  EXPECT_EQ(cb->State(), cbChecked);
  EXPECT_EQ(cb->DataLink()->DataIndependentValue(), Variant(true));
  EXPECT_EQ(clicks, 2);
  // A value given to the link is shown.
  cb->DataLink()->SetValue(Variant(false));
  EXPECT_EQ(cb->State(), cbUnchecked);
  cb->DataLink()->SetValue(Variant("other"));
  EXPECT_EQ(cb->State(), cbGrayed);
}

TEST_F(DBCheckBoxTest, UnboundEditEndsWhenFocusLeaves) {
  Focus(cb);
  WinTesting::KeyPress(VK_SPACE);
  Pump();
  EXPECT_EQ(cb->State(), cbChecked);
  EXPECT_TRUE(cb->DataLink()->Editing());
  int updates = 0;
  cb->OnUpdateData = [&](TObject*, bool&) { ++updates; };
  Focus(other);
  EXPECT_EQ(updates, 1) << "leaving writes the modified value once more";
  EXPECT_FALSE(cb->DataLink()->Editing());
  EXPECT_EQ(cb->DataLink()->DataIndependentValue(), Variant(true));
}

TEST_F(DBCheckBoxTest, UpdateDataHandlerThatRaisesDoesNotStopLaterUpdates) {
  int updates = 0;
  bool raise = true;
  cb->OnUpdateData = [&](TObject*, bool&) {
    ++updates;
    if (raise) throw Exception("handler failed");
  };
  EXPECT_THROW(cb->SetState(cbChecked), Exception);
  raise = false;
  cb->SetState(cbUnchecked);
  EXPECT_EQ(updates, 2);
  EXPECT_EQ(cb->DataLink()->DataIndependentValue(), Variant(false));
}

// --- bound to a Boolean field -------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, BooleanFieldStatesFollowTheRecord) {
  Bind("Flag");
  EXPECT_FALSE(cb->IsDataIndependent());
  const TCheckBoxState want[] = {cbChecked, cbUnchecked, cbGrayed, cbChecked};
  for (TCheckBoxState s : want) {
    SCOPED_TRACE(ds->FieldByName("ID")->AsInteger());
    EXPECT_EQ(cb->State(), s);
    EXPECT_EQ(SendMessage(cb->Handle(), BM_GETCHECK, 0, 0), 0) << "the window is not a button window";
    EXPECT_FALSE(cb->Modified());
    ds->Next();
  }
  EXPECT_EQ(clicks, 3) << "every shown change clicks";
}

TEST_F(DBCheckBoxTest, ClickOnBooleanFieldEditsAndWritesTheValue) {
  Bind("Flag");
  ClickBox();
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(Flag(), Variant(false));
  EXPECT_TRUE(cb->DataLink()->IsModified());
  ds->Post();
  ds->First();
  EXPECT_EQ(Flag(), Variant(false));
  EXPECT_EQ(cb->State(), cbUnchecked);
}

TEST_F(DBCheckBoxTest, AllowGrayedCyclesThroughNullOnTheField) {
  Bind("Flag");
  cb->SetAllowGrayed(true);
  ds->Next();  // False
  const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked};
  for (TCheckBoxState s : cycle) {
    ClickBox();
    EXPECT_EQ(cb->State(), s);
    if (s == cbGrayed)
      EXPECT_TRUE(Flag().IsNull());
    else
      EXPECT_EQ(Flag(), Variant(s == cbChecked));
  }
}

TEST_F(DBCheckBoxTest, GrayedStateClearsABoundField) {
  Bind("Flag");
  cb->SetState(cbGrayed);
  EXPECT_EQ(ds->State(), dsEdit) << "the State setter puts the data set into edit state";
  EXPECT_TRUE(Flag().IsNull());
  cb->SetDataField("Code");
  cb->SetState(cbGrayed);
  EXPECT_TRUE(Code().IsNull());
}

TEST_F(DBCheckBoxTest, BooleanFieldWithCustomTextsIsReadThroughItsText) {
  Bind("Flag");
  ds->Next();
  ds->Next();  // Null
  EXPECT_EQ(cb->State(), cbGrayed);
  ds->First();  // True
  cb->SetValueChecked("Yes");
  EXPECT_EQ(cb->State(), cbGrayed) << "the text \"True\" is in neither list";
  cb->SetValueChecked("Yes;true");
  EXPECT_EQ(cb->State(), cbChecked);
  // Writing still goes through the Boolean value.
  cb->SetState(cbUnchecked);
  EXPECT_EQ(Flag(), Variant(false));
}

// --- bound to a string field ---------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, StringFieldIsMatchedAgainstTheValueLists) {
  cb->SetValueChecked("Yes;Y;1");
  cb->SetValueUnchecked("No;");
  Bind("Code");
  const TCheckBoxState want[] = {cbChecked, cbUnchecked, cbUnchecked, cbGrayed};
  for (TCheckBoxState s : want) {
    SCOPED_TRACE(Code().AsString());
    EXPECT_EQ(cb->State(), s);
    ds->Next();
  }
}

TEST_F(DBCheckBoxTest, StringFieldReceivesTheFirstItemOfTheList) {
  cb->SetValueChecked(" Yes ;Y;1");
  cb->SetValueUnchecked("No;N");
  Bind("Code");
  EXPECT_EQ(cb->State(), cbChecked);  // "y"
  ClickBox();
  EXPECT_EQ(Code(), Variant("No"));
  ClickBox();
  EXPECT_EQ(Code(), Variant("Yes"));
  ds->Post();
  EXPECT_EQ(Code(), Variant("Yes"));
}

TEST_F(DBCheckBoxTest, ChangingAListReReadsTheField) {
  Bind("Code");
  ds->Next();  // "No"
  EXPECT_EQ(cb->State(), cbGrayed);
  cb->SetValueUnchecked("no");
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_FALSE(cb->Modified());
}

TEST_F(DBCheckBoxTest, NumberFieldTakesTheListTextsAndRefusesOthers) {
  cb->SetValueChecked("1;-1");
  cb->SetValueUnchecked("0");
  Bind("Num");
  const TCheckBoxState want[] = {cbChecked, cbUnchecked, cbGrayed, cbGrayed};
  for (TCheckBoxState s : want) {
    SCOPED_TRACE(ds->FieldByName("ID")->AsInteger());
    EXPECT_EQ(cb->State(), s);
    ds->Next();
  }
  ds->First();
  ClickBox();
  EXPECT_EQ(ds->FieldByName("Num")->Value(), Variant(0));
  // A first item the field cannot take: the field's conversion error reaches the caller and
  // the field keeps its value; the check box keeps the state for correction.
  cb->SetValueChecked("Yes;1");
  EXPECT_THROW(cb->SetState(cbChecked), Exception);
  EXPECT_EQ(ds->FieldByName("Num")->Value(), Variant(0));
  EXPECT_EQ(cb->State(), cbChecked);
  cb->SetValueChecked("1");
  cb->SetState(cbChecked);
  EXPECT_EQ(ds->FieldByName("Num")->Value(), Variant(1));
}

// --- the toggle cycle -----------------------------------------------------------------------------------

// One click or space press and what it leaves: the state shown and the value the field holds.
struct ToggleStep {
  TCheckBoxState state;
  Variant stored;
};

// Each row starts from its value (posted) and toggles three times, once by clicks and once by
// space presses; Grayed takes part only where a Null can be kept and reads back as grayed.
TEST_F(DBCheckBoxTest, ToggleCycleReachesEveryStateTheFieldCanKeep) {
  const Variant null = Variant::Null(), yes("Yes"), no("No"), t(true), f(false), one(1), zero(0);
  const TCheckBoxState C = cbChecked, U = cbUnchecked, G = cbGrayed;
  // AllowGrayed, and whether the field is required.
  enum Setup { noGray, gray, grayRequired };
  struct Case {
    const char* id;
    const char* field;
    const char* checked;
    const char* unchecked;
    Setup setup;
    Variant start;
    TCheckBoxState startState;
    std::vector<ToggleStep> steps;
  } cases[] = {
      {"str-empty-unchecked", "Code", "Yes", "No;", gray, no, U, {{C, yes}, {U, no}, {C, yes}}},
      {"str-empty-unchecked-from-null", "Code", "Yes", "No;", gray, null, U, {{C, yes}, {U, no}, {C, yes}}},
      {"str-empty-text-can-be-checked",
       "Code",
       "Yes",
       "No;",
       gray,
       Variant(""),
       U,
       {{C, yes}, {U, no}, {C, yes}}},
      {"str-empty-checked", "Code", "Yes;", "No", gray, no, U, {{C, yes}, {U, no}, {C, yes}}},
      {"str-strict-lists", "Code", "Yes", "No", gray, no, U, {{G, null}, {C, yes}, {U, no}}},
      {"str-shown-grayed", "Code", "Yes", "No;", gray, Variant("maybe"), G, {{C, yes}, {U, no}, {C, yes}}},
      {"str-not-allowed", "Code", "Yes", "No", noGray, no, U, {{C, yes}, {U, no}, {C, yes}}},
      {"str-required", "Code", "Yes", "No", grayRequired, no, U, {{C, yes}, {U, no}, {C, yes}}},
      {"bool-by-value", "Flag", "True", "False", gray, f, U, {{G, null}, {C, t}, {U, f}}},
      {"bool-required", "Flag", "True", "False", grayRequired, f, U, {{C, t}, {U, f}, {C, t}}},
      {"bool-text-empty-unchecked", "Flag", "true", "false;", gray, f, U, {{C, t}, {U, f}, {C, t}}},
      {"int-strict-lists", "Num", "1", "0", gray, zero, U, {{G, null}, {C, one}, {U, zero}}},
      {"int-empty-unchecked", "Num", "1", "0;", gray, zero, U, {{C, one}, {U, zero}, {C, one}}},
  };
  const struct {
    const char* name;
    std::function<void()> toggle;
  } ways[] = {
      {"click", [this] { ClickBox(); }},
      {"space",
       [] {
         WinTesting::KeyPress(VK_SPACE);
         Pump();
       }},
  };
  for (const Case& c : cases) {
    for (const auto& way : ways) {
      SCOPED_TRACE(testing::Message() << c.id << " by " << way.name);
      TField* field = ds->FieldByName(c.field);
      cb->SetDataSource(nullptr);
      cb->SetValueChecked(c.checked);
      cb->SetValueUnchecked(c.unchecked);
      cb->SetAllowGrayed(c.setup != noGray);
      field->SetRequired(false);
      ds->First();
      ds->Edit();
      field->SetValue(c.start);
      ds->Post();
      field->SetRequired(c.setup == grayRequired);
      Bind(c.field);
      Focus(cb);
      ASSERT_EQ(cb->State(), c.startState);
      for (size_t i = 0; i < c.steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i + 1);
        way.toggle();
        EXPECT_EQ(cb->State(), c.steps[i].state);
        if (c.steps[i].stored.IsNull())
          EXPECT_TRUE(field->IsNull()) << field->AsString();
        else
          EXPECT_EQ(field->Value(), c.steps[i].stored);
        EXPECT_EQ(cb->GetFieldState(), cb->State()) << "the stored value reads back as the shown state";
      }
      EXPECT_EQ(clicks, static_cast<int>(c.steps.size())) << "one click event a change";
      ds->Cancel();
      field->SetRequired(false);
    }
  }
}

// --- read-only and unattached ------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, ReadOnlyIgnoresClicksAndSpace) {
  struct Case {
    const char* name;
    std::function<void()> lock;
  } cases[] = {
      {"check box", [this] { cb->SetReadOnly(true); }},
      {"field", [this] { ds->FieldByName("Flag")->SetReadOnly(true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bind("Flag");
    c.lock();
    ClickBox();
    WinTesting::KeyPress(VK_SPACE);
    Pump();
    EXPECT_EQ(cb->State(), cbChecked);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(Flag(), Variant(true));
    EXPECT_EQ(clicks, 0);
    cb->SetReadOnly(false);
    ds->FieldByName("Flag")->SetReadOnly(false);
  }
  cb->SetDataSource(nullptr);
  cb->SetDataField("");
  cb->SetReadOnly(true);
  ClickBox();
  EXPECT_EQ(cb->State(), cbGrayed) << "unbound again: the link's value is Null";
}

TEST_F(DBCheckBoxTest, FieldNameWithoutDataSourceNeitherCrashesNorEdits) {
  cb->SetDataField("Flag");
  EXPECT_FALSE(cb->IsDataIndependent());
  EXPECT_EQ(cb->Field(), nullptr);
  cb->SetState(cbChecked);
  EXPECT_EQ(cb->State(), cbChecked);
  cb->SetState(cbGrayed);
  EXPECT_EQ(cb->State(), cbGrayed);
  cb->SetState(cbUnchecked);
  ClickBox();
  EXPECT_EQ(cb->State(), cbUnchecked) << "no data set: the link cannot enter edit state";
  Focus(other);
  EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(DBCheckBoxTest, FreedDataSourceIsForgotten) {
  Bind("Flag");
  delete src;
  src = nullptr;
  EXPECT_EQ(cb->DataSource(), nullptr);
  EXPECT_EQ(cb->Field(), nullptr);
  cb->SetDataField("");
  EXPECT_TRUE(cb->IsDataIndependent());
}

TEST_F(DBCheckBoxTest, UpdateEventCanTakeOverWriting) {
  Bind("Flag");
  int calls = 0;
  cb->OnUpdateData = [&](TObject* sender, bool& handled) {
    EXPECT_EQ(sender, cb);
    EXPECT_FALSE(handled);
    ++calls;
    handled = true;
    cb->SetState(cb->State());  // no recursion while the event runs
  };
  ClickBox();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(Flag(), Variant(true)) << "handled: the field keeps its value";
  EXPECT_TRUE(cb->Modified());
}

// --- keys and focus -----------------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, SpaceTogglesOnReleaseAndBackspaceEdits) {
  Bind("Flag");
  Focus(cb);
  Input::KeyDown(VK_SPACE);
  Pump();
  EXPECT_TRUE(cb->SpaceDown());
  EXPECT_EQ(ds->State(), dsEdit) << "the space character puts the link into edit state";
  EXPECT_EQ(cb->State(), cbChecked) << "nothing toggles before the key comes up";
  Input::KeyUp(VK_SPACE);
  Pump();
  EXPECT_FALSE(cb->SpaceDown());
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(Flag(), Variant(false));
  ds->Cancel();
  EXPECT_EQ(ds->State(), dsBrowse);
  WinTesting::KeyPress(VK_BACK);
  Pump();
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(cb->State(), cbChecked);
}

TEST_F(DBCheckBoxTest, EscapeIsWantedWhileModifiedAndShowsTheFieldAgain) {
  Bind("Flag");
  cb->OnUpdateData = [](TObject*, bool& handled) { handled = true; };
  Focus(cb);
  EXPECT_EQ(cb->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 0);
  WinTesting::KeyPress(VK_SPACE);
  Pump();
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(cb->Perform(CM_WANTSPECIALKEY, VK_ESCAPE, 0), 1);
  EXPECT_EQ(cb->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 0);
  WinTesting::KeyPress(VK_ESCAPE);
  Pump();
  EXPECT_EQ(cb->State(), cbChecked) << "the field's value is shown again";
  EXPECT_FALSE(cb->Modified());
}

TEST_F(DBCheckBoxTest, LeavingTheControlUpdatesTheRecord) {
  Bind("Flag");
  int calls = 0;
  cb->OnUpdateData = [&](TObject*, bool&) { ++calls; };
  ClickBox();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(cb->DataLink()->IsModified());
  Focus(other);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(cb->DataLink()->IsModified());
  EXPECT_EQ(Flag(), Variant(false));
}

TEST_F(DBCheckBoxTest, AcceleratorFocusesAndToggles) {
  cb->SetCaption("&Active");
  Focus(other);
  EXPECT_EQ(cb->Perform(CM_DIALOGCHAR, 'a', 0), 1);
  Pump();
  EXPECT_TRUE(cb->Focused());
  EXPECT_EQ(cb->State(), cbChecked);
  EXPECT_EQ(cb->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_EQ(cb->State(), cbChecked);
  cb->SetEnabled(false);
  EXPECT_EQ(cb->Perform(CM_DIALOGCHAR, 'a', 0), 0) << "a disabled control cannot take the focus";
}

TEST_F(DBCheckBoxTest, ButtonClickNotificationTogglesUnlessClicksAreDisabled) {
  cb->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  EXPECT_EQ(cb->State(), cbChecked);
  cb->SetClicksDisabled(true);
  cb->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  EXPECT_EQ(cb->State(), cbChecked);
  cb->SetClicksDisabled(false);
}

// --- mouse ----------------------------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, MouseOverTracksEnterAndLeave) {
  Input::MouseMove(ScreenOf(cb, 30, 8));
  Pump();
  EXPECT_TRUE(cb->MouseOver());
  Input::MouseMove(ScreenOf(form, 200, 100));
  Pump();
  EXPECT_FALSE(cb->MouseOver());
}

TEST_F(DBCheckBoxTest, CancelModeEndsAPressWithoutAClick) {
  Focus(cb);
  Input::MouseDown(VK_LBUTTON, ScreenOf(cb, 5, 8));
  Pump();
  EXPECT_TRUE(cb->ControlState().Contains(csLButtonDown));
  cb->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(cb->ControlState().Contains(csLButtonDown));
  EXPECT_FALSE(cb->ControlState().Contains(csClicked));
  EXPECT_NE(GetCapture(), cb->Handle());
  Input::MouseUp(VK_LBUTTON, ScreenOf(cb, 5, 8));
  Pump();
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(clicks, 0);
}

TEST_F(DBCheckBoxTest, PressThatCannotFocusIsDropped) {
  Focus(other);
  // The focus is refused: the control is taken away from the focus while the press asks.
  cb->OnEnter = [this](TObject*) { other->SetFocus(); };
  ClickBox();
  EXPECT_FALSE(cb->Focused());
  EXPECT_EQ(cb->State(), cbUnchecked);
  EXPECT_EQ(clicks, 0);
}

// --- painting --------------------------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, BoxAndCaptionSidesFollowAlignment) {
  cb->SetCaption("");
  cb->SetColor(clYellow);
  cb->SetState(cbChecked);
  const TRect left = LeftBox();
  const TPoint mark = MarkPoint(left);
  EXPECT_EQ(Pixel(cb, mark.X, mark.Y), Sys(clWindowText));
  EXPECT_EQ(Pixel(cb, left.Left, left.Top), Sys(clBtnShadow)) << "3-D edge";
  EXPECT_EQ(Pixel(cb, 90, 1), Sys(clYellow));
  cb->SetAlignment(taLeftJustify);
  const int dx = 97 - left.Width();
  EXPECT_EQ(Pixel(cb, mark.X + dx, mark.Y), Sys(clWindowText));
  EXPECT_EQ(Pixel(cb, mark.X, mark.Y), Sys(clYellow));
}

TEST_F(DBCheckBoxTest, CaptionAndFocusRectangleArePlacedBesideTheBox) {
  struct Case {
    TLeftRight alignment;
    int textLeft;
  } cases[] = {{taRightJustify, LeftBox().Right + 5}, {taLeftJustify, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alignment);
    cb->SetAlignment(c.alignment);
    Focus(cb);
    TDrawLog log;
    RecordPaint(log);
    auto texts = log.OfKind(TDrawKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Text, "Active");
    EXPECT_EQ(texts[0]->Rect.Left, c.textLeft);
    auto focus = log.OfKind(TDrawKind::FocusRect);
    ASSERT_EQ(focus.size(), 1u);
    // The text (13 high) centred in 17: the rectangle is one pixel around it and one more
    // below, cut at the client's left edge.
    EXPECT_EQ(focus[0]->Rect.Left, std::max(0, c.textLeft - 1));
    EXPECT_EQ(focus[0]->Rect.Top, 1);
    EXPECT_EQ(focus[0]->Rect.Bottom, 17);
    EXPECT_EQ(focus[0]->Rect.Right, c.textLeft + 6 * 7 + 1);
  }
}

TEST_F(DBCheckBoxTest, DisabledCaptionIsEmbossed) {
  cb->SetEnabled(false);
  TDrawLog log;
  RecordPaint(log);
  auto texts = log.OfKind(TDrawKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->Color, Sys(clBtnHighlight));
  EXPECT_EQ(texts[1]->Color, Sys(clGrayText));
  EXPECT_EQ(texts[0]->Rect.Left, texts[1]->Rect.Left + 1);
  EXPECT_EQ(texts[0]->Rect.Top, texts[1]->Rect.Top + 1);
  EXPECT_TRUE(log.OfKind(TDrawKind::FocusRect).empty());
  // The box shows disabled: its interior is the face colour.
  const TPoint mark = MarkPoint(LeftBox());
  EXPECT_EQ(Pixel(cb, mark.X, mark.Y - 3), Sys(clBtnFace));
}

TEST_F(DBCheckBoxTest, FlatBorderShowsWhenHotPressedOrAlwaysShown) {
  cb->SetColor(clYellow);
  cb->SetFlat(true);
  const TRect box = LeftBox();
  EXPECT_EQ(Pixel(cb, box.Left, box.Top), Sys(clYellow)) << "flat and cold: no frame";
  cb->SetAlwaysShowBorder(true);
  EXPECT_EQ(Pixel(cb, box.Left, box.Top), Sys(clBtnShadow));
  cb->SetAlwaysShowBorder(false);
  Input::MouseMove(ScreenOf(cb, 40, 8));
  EXPECT_EQ(Pixel(cb, box.Left, box.Top), Sys(clBtnShadow)) << "hot";
  EXPECT_EQ(Pixel(cb, box.Left + 3, box.Top + 3), Sys(clWindow));
  Input::MouseDown(VK_LBUTTON, ScreenOf(cb, 40, 8));
  EXPECT_EQ(Pixel(cb, box.Left + 3, box.Top + 3), Sys(clBtnFace)) << "pressed";
  Input::MouseUp(VK_LBUTTON, ScreenOf(cb, 40, 8));
  EXPECT_EQ(Pixel(cb, box.Left + 3, box.Top + 3), Sys(clWindow));
  EXPECT_EQ(cb->State(), cbChecked);
}

TEST_F(DBCheckBoxTest, SpaceHeldDownPaintsThePressedBox) {
  Focus(cb);
  const TRect box = LeftBox();
  EXPECT_EQ(Pixel(cb, box.Left + 3, box.Top + 3), Sys(clWindow));
  Input::KeyDown(VK_SPACE);
  EXPECT_EQ(Pixel(cb, box.Left + 3, box.Top + 3), Sys(clBtnFace));
  Input::KeyUp(VK_SPACE);
  EXPECT_EQ(Pixel(cb, box.Left + 3, box.Top + 3), Sys(clWindow));
}

TEST_F(DBCheckBoxTest, ThemedBoxIgnoresAlwaysShowBorder) {
  SetThemesEnabled(true);
  ClearButtonsBitmapCache();
  HTHEME theme = OpenThemeData(nullptr, "BUTTON");
  ASSERT_NE(theme, nullptr);
  COLORREF normal = 0, hot = 0;
  ASSERT_GE(GetThemeColor(theme, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, TMT_BORDERCOLOR, &normal), 0);
  ASSERT_GE(GetThemeColor(theme, BP_CHECKBOX, CBS_UNCHECKEDHOT, TMT_BORDERCOLOR, &hot), 0);
  CloseThemeData(theme);
  ASSERT_NE(normal & 0xFFFFFF, hot & 0xFFFFFF);
  cb->SetAlwaysShowBorder(true);
  cb->Invalidate();
  const TRect box = LeftBox();
  EXPECT_EQ(Pixel(cb, box.Left, box.Top), normal & 0xFFFFFF);
  Input::MouseMove(ScreenOf(cb, 40, 8));
  EXPECT_EQ(Pixel(cb, box.Left, box.Top), hot & 0xFFFFFF);
}

TEST_F(DBCheckBoxTest, PaintedCopyShowsTheFieldStateNeitherHotNorFocused) {
  Bind("Flag");
  cb->SetFlat(true);
  cb->SetColor(clYellow);
  cb->OnUpdateData = [](TObject*, bool& handled) { handled = true; };
  ClickBox();  // shows unchecked, the field keeps True
  ASSERT_EQ(cb->State(), cbUnchecked);
  ASSERT_TRUE(cb->MouseOver());
  ASSERT_TRUE(cb->Focused());
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf32bit);
  bmp->SetSize(97, 17);
  TDrawLog log;
  HDC dc = bmp->Canvas()->Handle();
  AttachDrawRecorder(dc, &log);
  cb->PaintTo(dc, 0, 0);
  AttachDrawRecorder(dc, nullptr);
  const TRect box = LeftBox();
  const TPoint mark = MarkPoint(box);
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(mark.X - 1, mark.Y)), Sys(clWindowText)) << "checked";
  EXPECT_EQ(ColorToRGB(bmp->Canvas()->Pixels(box.Left, box.Top)), Sys(clYellow)) << "not hot";
  EXPECT_TRUE(log.OfKind(TDrawKind::FocusRect).empty());
}

// --- streaming -------------------------------------------------------------------------------------------

using editor_test::AsText;

TEST_F(DBCheckBoxTest, ValueListsStreamOnlyWhenChanged) {
  std::string text = AsText(cb);
  EXPECT_EQ(text.find("ValueChecked"), std::string::npos) << text;
  EXPECT_EQ(text.find("ValueUnchecked"), std::string::npos) << text;
  EXPECT_EQ(text.find("State"), std::string::npos) << text;
  EXPECT_EQ(text.find("Checked ="), std::string::npos) << text;

  cb->SetValueChecked("Ja;J");
  cb->SetState(cbGrayed);
  cb->SetAllowGrayed(true);
  text = AsText(cb);
  EXPECT_NE(text.find("ValueChecked = 'Ja;J'"), std::string::npos) << text;
  EXPECT_EQ(text.find("ValueUnchecked"), std::string::npos) << text;
  EXPECT_NE(text.find("State = cbGrayed"), std::string::npos) << text;

  TMemoryStream bin;
  bin.WriteComponent(cb);
  bin.SetPosition(0);
  auto* back = new TDBCheckBoxEh(form);
  bin.ReadComponent(back);
  EXPECT_EQ(back->ValueChecked(), "Ja;J");
  EXPECT_EQ(back->ValueUnchecked(), "False");
  EXPECT_EQ(back->State(), cbGrayed);
  EXPECT_TRUE(back->AllowGrayed());

  Bind("Flag");
  text = AsText(cb);
  EXPECT_EQ(text.find("State ="), std::string::npos) << "a bound check box does not store its state";
}

// --- class ------------------------------------------------------------------------------------------

TEST_F(DBCheckBoxTest, PublishedPropertiesLeaveTheValueListsToTheirOwnStreaming) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TDBCheckBoxEh::StaticClass()->AllProps()) names.push_back(p->Name);
  auto has = [&](const char* n) { return std::find(names.begin(), names.end(), n) != names.end(); };
  for (const char* n : {"Action", "Alignment", "AllowGrayed", "AlwaysShowBorder", "Caption", "Checked",
                        "DataField", "DataSource", "DynProps", "Flat", "ReadOnly", "State", "OnClick"}) {
    SCOPED_TRACE(n);
    EXPECT_TRUE(has(n));
  }
  EXPECT_FALSE(has("ValueChecked"));
  EXPECT_FALSE(has("ValueUnchecked"));
  RegisterDBCheckBoxClasses();
  EXPECT_EQ(GetClass("TDBCheckBoxEh"), TDBCheckBoxEh::StaticClass());
}

TEST_F(DBCheckBoxTest, FarEastLocaleSwitchesTheInputMethodOff) {
  SysLocale().FarEast = true;
  auto* box = new TDBCheckBoxEh(form);
  SysLocale().FarEast = false;
  EXPECT_EQ(box->ImeMode(), imDisable);
  auto* plain = new TDBCheckBoxEh(form);
  EXPECT_EQ(plain->ImeMode(), imDontCare);
}

}  // namespace
