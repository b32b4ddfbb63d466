#pragma once
// The record navigator of the data grid's horizontal scroll-bar strip: a records-info box, up to
// ten navigation buttons and a box with the aggregates of the selected cells. It follows the
// grid's data source through its own data link.
//
// Files: DBGridEhNavigator.cpp (panel, link, actions, enable table, layout, info texts),
// DBGridEhNavButton.cpp (the buttons: painting and auto-repeat).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/dbgrid/DBGridEhParams.h"
#include "platform/db/DB.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ImgList.h"

class TCustomDBGridEh;
class TDBGridEhNavigatorPanel;

// --- TNavButtonEh ---------------------------------------------------------------------------------
// One button of the navigator (and, as TNavFindButtonEh, of the search strip). Its glyph is an
// index into the enabled or the disabled image list, drawn centred; a button with RepeatClick
// clicks at the press and again while held: after 400 ms, then every 100 ms.
class TNavButtonEh : public TSpeedButton {
  RTL_CLASS(TNavButtonEh, TSpeedButton)
 public:
  explicit TNavButtonEh(TComponent* AOwner);
  ~TNavButtonEh() override;

  TNavigateBtnEh Kind() const { return kind_; }
  void SetKind(TNavigateBtnEh Value) { kind_ = Value; }
  bool RepeatClick() const { return repeatClick_; }
  void SetRepeatClick(bool Value) { repeatClick_ = Value; }
  int GlyphIndex() const { return glyphIndex_; }
  void SetGlyphIndex(int Value);
  TCustomImageList* EnabledImages() const { return enabledImages_; }
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  // Not owned (the shared resources module holds them).
  void SetImages(TCustomImageList* Enabled, TCustomImageList* Disabled);
  // The repeat timer while it runs, else nullptr.
  TTimer* RepeatTimer() const {
    return repeatTimer_ && repeatTimer_->Enabled() ? repeatTimer_.get() : nullptr;
  }

  void Paint() override;
  // The glyph (and the keyboard's focus frame) over a face a skin painted.
  bool PaintContentOverFace(TCanvas* ACanvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // A repeating button acts at the press, so its release does not act once more.
  void Click() override;

 private:
  void RepeatTimerTick(TObject* Sender);
  void StopRepeat();
  void DrawFaceOf(TCanvas* ACanvas, const TRect& ARect);
  void DrawGlyphAndFocus(TCanvas* ACanvas);

  TNavigateBtnEh kind_ = nbFirstEh;
  bool repeatClick_ = false;
  bool pressActed_ = false;
  bool releaseWithoutClick_ = false;
  int glyphIndex_ = -1;
  TCustomImageList* enabledImages_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  std::unique_ptr<TTimer> repeatTimer_;
};

// A button of the search strip; its Kind is its index there (0 filter, 1 next, 2 prior, 3 options).
class TNavFindButtonEh : public TNavButtonEh {
  RTL_CLASS(TNavFindButtonEh, TNavButtonEh)
 public:
  explicit TNavFindButtonEh(TComponent* AOwner) : TNavButtonEh(AOwner) {}
};

// --- TNavDataLinkEh -------------------------------------------------------------------------------
// The navigator's own link to the grid's data source: a visual-control link that refreshes the
// enable table and the info boxes on every change of the data set.
class TNavDataLinkEh : public TDataLink {
  RTL_CLASS(TNavDataLinkEh, TDataLink)
 public:
  explicit TNavDataLinkEh(TDBGridEhNavigatorPanel* ANavigator);
  ~TNavDataLinkEh() override;
  // The panel forgets itself here before it goes.
  void ForgetNavigator() { navigator_ = nullptr; }

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void EditingChanged() override;

 private:
  TDBGridEhNavigatorPanel* navigator_;
};

// Before-action and click events: the panel and the button kind.
using TNavigatorClickEventEh = TEvent<void(TObject* Sender, TNavigateBtnEh Button)>;

// --- TDBGridEhNavigatorPanel ----------------------------------------------------------------------
class TDBGridEhNavigatorPanel : public TCustomControl {
  RTL_CLASS(TDBGridEhNavigatorPanel, TCustomControl)
 public:
  explicit TDBGridEhNavigatorPanel(TComponent* AOwner);
  ~TDBGridEhNavigatorPanel() override;

  // The grid whose selection, allowed operations and font the panel reads (set by the strip).
  TCustomDBGridEh* Grid() const { return grid_; }
  void SetGrid(TCustomDBGridEh* Value) { grid_ = Value; }

  // The data link's source; registers for free notification and refreshes the buttons.
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TNavDataLinkEh* DataLink() const { return dataLink_.get(); }

  // All ten by default; a change lays the panel out again.
  TNavButtonSetEh VisibleButtons() const { return visibleButtons_; }
  void SetVisibleButtons(TNavButtonSetEh Value);
  // All three by default; a change lays the panel out again and repaints the grid.
  TGridSBItemsEh VisibleItems() const { return visibleItems_; }
  void SetVisibleItems(TGridSBItemsEh Value);
  // Non-empty lines replace the default hints, in button order.
  TStrings* Hints() const { return hints_.get(); }
  void SetHints(TStrings* Value);
  bool ConfirmDelete() const { return confirmDelete_; }
  void SetConfirmDelete(bool Value) { confirmDelete_ = Value; }
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  TColor LineColor() const { return lineColor_; }
  void SetLineColor(TColor Value);
  // The glyphs of all ten buttons (not owned).
  void SetImages(TCustomImageList* Enabled, TCustomImageList* Disabled);
  // A control shown after the buttons (not owned); nullptr for none.
  TControl* AttachedControl() const { return attachedControl_; }
  void SetAttachedControl(TControl* Value);
  int FocusedButton() const { return focusedButton_; }
  TNavButtonEh* Button(TNavigateBtnEh Kind) const;

  // The action of one button; a button click calls it with the button's kind.
  void NavigatorButtonAction(TNavigateBtnEh Kind);
  // The enable table.
  void UpdateButtonStates();
  // Recomputes the records-info and aggregation texts (and the layout when their widths change).
  void UpdateInfo();
  // Places the parts; answers the width the panel wants (before the strip's cap).
  int UpdateLayout();

  // The texts as last computed.
  const std::string& RecordsInfoText() const { return recordsInfoText_; }
  const std::string& AggregationText() const { return aggregationText_; }
  // One value of the aggregation text: its text and its pixel span in the drawn text.
  struct TAggregationItem {
    std::string ValueText;
    int Left = 0;
    int Right = 0;
  };
  const std::vector<TAggregationItem>& AggregationItems() const { return aggregationItems_; }
  // The boxes' rectangles in client coordinates (empty when hidden).
  TRect RecordsInfoRect() const { return recordsInfoRect_; }
  TRect AggregationRect() const { return aggregationRect_; }

  TNavigatorClickEventEh BeforeAction;
  TNavigatorClickEventEh OnClick;

  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Dispatch(TMessage& Message) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Resize() override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMBiDiModeChanged(TMessage& Message) override;

 private:
  void ButtonClick(TObject* Sender);
  void ButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void HintsChanged(TObject* Sender);
  void ApplyHints();
  void WMNCPaint(TMessage& Message) override;
  // The room the bevels take left and right.
  int FrameWidth() const;
  // Asks the strip (or, standing alone, the panel itself) to take the wanted width again.
  void RequestLayout();
  // The fonts of the two boxes, made from the grid's font; the widths of their texts.
  void UpdateInfoFonts();
  int MeasureRecordsInfoWidth();
  int MeasureAggregation();
  bool ButtonShows(TNavigateBtnEh Kind) const;
  bool RecordsInfoShows() const;
  bool AggregationShows() const;
  // The data set the link serves while it is active, else nullptr.
  TDataSet* ActiveDataSet() const;
  bool GridReadOnly() const;

  TCustomDBGridEh* grid_ = nullptr;
  std::unique_ptr<TNavDataLinkEh> dataLink_;
  TNavButtonSetEh visibleButtons_ = TNavButtonSetEh::FromUInt(1023);
  std::unique_ptr<TStringList> hints_;
  std::unique_ptr<TStringList> defaultHints_;
  int focusedButton_ = 0;
  bool confirmDelete_ = true;
  bool flat_ = false;
  TColor lineColor_ = clBtnShadow;
  std::string recordsInfoText_;
  std::string aggregationText_;
  std::vector<TAggregationItem> aggregationItems_;
  // Where each value stands in the text, in bytes.
  std::vector<std::pair<size_t, size_t>> aggregationSpans_;
  TGridSBItemsEh visibleItems_ = TGridSBItemsEh::FromUInt(7);
  TControl* attachedControl_ = nullptr;
  TNavButtonEh* buttons_[10] = {};
  TRect separatorRects_[2] = {};
  TRect recordsInfoRect_{};
  TRect aggregationRect_{};
  std::unique_ptr<TFont> recordsInfoFont_;
  std::unique_ptr<TFont> aggregationFont_;
  int recordsInfoWidth_ = 0;
  int aggregationWidth_ = 0;
  bool destroying_ = false;
};
