#pragma once
// The common controls: month calendar, date-time picker, status bar, tab control and page
// control with their sheets, header, track bar, up-down, progress bar and tool bar, and small
// state models of the list view, tree view and extended combo box.
//
// Each control keeps its state without a window and hands it to the window manager's class on
// creation (CreateWnd); once the window exists, changes go to both. The window manager's
// common controls take no input of their own, so clicks and keys are handled here.
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/ControlClasses.h"

class TPopupMenu;
class TMenuItem;
class TStringList;
class TStrings;

class ECommonCalendarError : public Exception {
 public:
  explicit ECommonCalendarError(std::string m) : Exception(std::move(m)) {}
};
class EDateTimeError : public Exception {
 public:
  explicit EDateTimeError(std::string m) : Exception(std::move(m)) {}
};

// The edges of a control that its own border drawing paints.
enum class TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using enum TEdgeBorder;
RTL_ENUM_INFO(TEdgeBorder, "ebLeft", "ebTop", "ebRight", "ebBottom");
using TEdgeBorders = TSet<TEdgeBorder, 8>;
inline TEdgeBorders AllEdgeBorders() {
  return TEdgeBorders{ebLeft, ebTop, ebRight, ebBottom};
}

using TDate = TDateTime;
using TTime = TDateTime;

// --- month calendar ---------------------------------------------------------------------------

enum TCalDayOfWeek {
  dowMonday,
  dowTuesday,
  dowWednesday,
  dowThursday,
  dowFriday,
  dowSaturday,
  dowSunday,
  dowLocaleDefault
};
RTL_ENUM_INFO(TCalDayOfWeek, "dowMonday", "dowTuesday", "dowWednesday", "dowThursday", "dowFriday",
              "dowSaturday", "dowSunday", "dowLocaleDefault");

class TCommonCalendar;

// The colours of the calendar's parts (MCM_SETCOLOR indexes 0..5).
class TMonthCalColors : public TPersistent {
  RTL_CLASS(TMonthCalColors, TPersistent)
 public:
  explicit TMonthCalColors(TCommonCalendar* AOwner = nullptr) : owner_(AOwner) {}
  static void DescribeClass(TClassBuilder<TMonthCalColors>& c);
  void Assign(TPersistent* Source) override;

  TColor BackColor() const { return colors_[0]; }
  void SetBackColor(TColor v) { SetColor(0, v); }
  TColor TextColor() const { return colors_[1]; }
  void SetTextColor(TColor v) { SetColor(1, v); }
  TColor TitleBackColor() const { return colors_[2]; }
  void SetTitleBackColor(TColor v) { SetColor(2, v); }
  TColor TitleTextColor() const { return colors_[3]; }
  void SetTitleTextColor(TColor v) { SetColor(3, v); }
  TColor MonthBackColor() const { return colors_[4]; }
  void SetMonthBackColor(TColor v) { SetColor(4, v); }
  TColor TrailingTextColor() const { return colors_[5]; }
  void SetTrailingTextColor(TColor v) { SetColor(5, v); }
  TPersistent* GetOwner() override;

 private:
  friend class TCommonCalendar;
  void SetColor(int Index, TColor Value);
  void SetAllColors();  // hands every colour to the owner's window
  TCommonCalendar* owner_;
  TColor colors_[6] = {clWindow, clWindowText, clActiveCaption, clWhite, clWhite, clInactiveCaptionText};
};

using TOnGetMonthInfoEvent = TEvent<void(TObject* Sender, Cardinal Month, Cardinal& MonthBoldInfo)>;

// The calendar over "SysMonthCal32". Date carries the time of day it was given; a pick in the
// window replaces the date part only. A MinDate or MaxDate of 0 means no limit.
class TCommonCalendar : public TWinControl {
  RTL_CLASS(TCommonCalendar, TWinControl)
 public:
  explicit TCommonCalendar(TComponent* AOwner);
  ~TCommonCalendar() override;

  TDate Date() const { return date_; }
  void SetDate(TDate Value);
  TDateTime DateTime() const { return date_; }
  void SetDateTime(TDateTime Value) { SetDate(Value); }
  TDate EndDate() const { return multiSelect_ ? endDate_ : date_; }
  void SetEndDate(TDate Value);
  TDate MinDate() const { return minDate_; }
  void SetMinDate(TDate Value);
  TDate MaxDate() const { return maxDate_; }
  void SetMaxDate(TDate Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value);
  int MaxSelectRange() const { return maxSelectRange_; }
  void SetMaxSelectRange(int Value);
  TCalDayOfWeek FirstDayOfWeek() const { return firstDayOfWeek_; }
  void SetFirstDayOfWeek(TCalDayOfWeek Value);
  bool WeekNumbers() const { return weekNumbers_; }
  void SetWeekNumbers(bool Value);
  bool ShowToday() const { return showToday_; }
  void SetShowToday(bool Value);
  bool ShowTodayCircle() const { return showTodayCircle_; }
  void SetShowTodayCircle(bool Value);
  TMonthCalColors* CalColors() const { return calColors_.get(); }
  void SetCalColors(TMonthCalColors* Value) { calColors_->Assign(Value); }

  // The smallest rectangle that shows a whole month (MCM_GETMINREQRECT); creates the window.
  TRect GetMinReqRect();

  TOnGetMonthInfoEvent OnGetMonthInfo;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  // A month is shown whole: the control is never smaller than the window's minimum rectangle
  // for its font (MCM_GETMINREQRECT) with the frame around it. The window answers for its
  // font only once it exists, so creating it and changing its font size the control again.
  void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) override;
  void CMFontChanged(TMessage& Message) override;
  virtual void CNNotify(TMessage& Message);
  // Answers the bold days of a month (bit n = day n + 1) through OnGetMonthInfo. The window
  // class keeps no day states, so it never asks.
  virtual void GetMonthInfo(Cardinal Month, Cardinal& MonthBoldInfo);
  // The date the window picked, after Date has taken it.
  virtual void Change() {}
  void CheckValidDate(TDate Value) const;

 private:
  friend class TMonthCalColors;
  void SendRange();
  void SendSelection();
  // Applies the size constraints to the present bounds (a no-op while they hold).
  void KeepMinimumSize() { SetBounds(Left(), Top(), Width(), Height()); }
  TDateTime date_ = 0;
  TDateTime endDate_ = 0;
  TDateTime minDate_ = 0;
  TDateTime maxDate_ = 0;
  bool multiSelect_ = false;
  int maxSelectRange_ = 31;
  TCalDayOfWeek firstDayOfWeek_ = dowLocaleDefault;
  bool weekNumbers_ = false;
  bool showToday_ = true;
  bool showTodayCircle_ = true;
  std::unique_ptr<TMonthCalColors> calColors_;
};

class TMonthCalendar : public TCommonCalendar {
  RTL_CLASS(TMonthCalendar, TCommonCalendar)
 public:
  explicit TMonthCalendar(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TMonthCalendar>& c);
};

// --- date-time picker -----------------------------------------------------------------------

enum TDateTimeKind { dtkDate, dtkTime };
RTL_ENUM_INFO(TDateTimeKind, "dtkDate", "dtkTime");
enum TDTDateMode { dmComboBox, dmUpDown };
RTL_ENUM_INFO(TDTDateMode, "dmComboBox", "dmUpDown");
enum TDTDateFormat { dfShort, dfLong };
RTL_ENUM_INFO(TDTDateFormat, "dfShort", "dfLong");

// A state model: there is no date picker window class, so the control is a plain custom
// control that shows its value as text (the date or the time by Kind, the check box first).
class TDateTimePicker : public TCustomControl {
  RTL_CLASS(TDateTimePicker, TCustomControl)
 public:
  explicit TDateTimePicker(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TDateTimePicker>& c);

  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind Value);
  TDTDateMode DateMode() const { return dateMode_; }
  void SetDateMode(TDTDateMode Value);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat Value);
  TDate Date() const { return DateOf(dateTime_); }
  void SetDate(TDate Value);
  TTime Time() const { return TimeOf(dateTime_); }
  void SetTime(TTime Value);
  TDateTime DateTime() const { return dateTime_; }
  void SetDateTime(TDateTime Value);
  TDate MinDate() const { return minDate_; }
  void SetMinDate(TDate Value);
  TDate MaxDate() const { return maxDate_; }
  void SetMaxDate(TDate Value);
  bool Checked() const { return checked_; }
  void SetChecked(bool Value);
  bool ShowCheckbox() const { return showCheckbox_; }
  void SetShowCheckbox(bool Value);
  // The value as shown.
  std::string DisplayText() const;

  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  virtual void Change();

 private:
  void SetValue(TDateTime Value);
  TDateTimeKind kind_ = dtkDate;
  TDTDateMode dateMode_ = dmComboBox;
  TDTDateFormat dateFormat_ = dfShort;
  TDateTime dateTime_ = 0;
  TDateTime minDate_ = 0;
  TDateTime maxDate_ = 0;
  bool checked_ = true;
  bool showCheckbox_ = false;
};

// --- status bar ----------------------------------------------------------------------------

enum TStatusPanelStyle { psText, psOwnerDraw };
RTL_ENUM_INFO(TStatusPanelStyle, "psText", "psOwnerDraw");
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
RTL_ENUM_INFO(TStatusPanelBevel, "pbNone", "pbLowered", "pbRaised");

class TStatusBar;
class TStatusPanels;

class TStatusPanel : public TCollectionItem {
  RTL_CLASS(TStatusPanel, TCollectionItem)
 public:
  explicit TStatusPanel(TCollection* Collection);
  static void DescribeClass(TClassBuilder<TStatusPanel>& c);
  void Assign(TPersistent* Source) override;
  std::string GetDisplayName() const override;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& Value);
  int Width() const { return width_; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle Value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel Value);
  // The bar's BiDiMode while ParentBiDiMode is on; setting BiDiMode turns it off.
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool Value);
  // The panel's alignment swaps left and right (bdRightToLeft in a right-to-left locale).
  bool UseRightToLeftAlignment() const;

 private:
  TStatusBar* Bar() const;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
};

class TStatusPanels : public TCollection {
  RTL_CLASS(TStatusPanels, TCollection)
 public:
  explicit TStatusPanels(TStatusBar* StatusBar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TStatusBar* statusBar_;
};

using TDrawPanelEvent = TEvent<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

// The bar over "msctls_statusbar32", aligned to the bottom of its parent. The window draws the
// panels' frames; the bar draws their text (with its alignment) and calls OnDrawPanel for
// owner-drawn panels. SimplePanel shows SimpleText across the whole bar instead of the panels.
class TStatusBar : public TWinControl {
  RTL_CLASS(TStatusBar, TWinControl)
 public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  static void DescribeClass(TClassBuilder<TStatusBar>& c);

  TStatusPanels* Panels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* Value) { panels_->Assign(Value); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool Value);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& Value);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool Value);
  TCanvas* Canvas() const { return canvas_.get(); }
  // The panel's rectangle in client coordinates (the window's answer when it exists).
  TRect PanelRect(int Index);

  TDrawPanelEvent OnDrawPanel;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);
  // Panels that follow the bar show its new mode.
  void CMBiDiModeChanged(TMessage& Message) override;

 private:
  friend class TStatusPanels;
  void UpdatePanels();
  void PaintPanels(HDC DC);
  std::unique_ptr<TStatusPanels> panels_;
  std::unique_ptr<TCanvas> canvas_;
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
};

// --- tab control and page control --------------------------------------------------------------

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
RTL_ENUM_INFO(TTabPosition, "tpTop", "tpBottom", "tpLeft", "tpRight");
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
RTL_ENUM_INFO(TTabStyle, "tsTabs", "tsButtons", "tsFlatButtons");

using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// Tabs over "SysTabControl32". A click on a tab asks CanChange (OnChanging), moves TabIndex and
// calls Change (OnChange); setting TabIndex in code fires neither.
class TCustomTabControl : public TWinControl {
  RTL_CLASS(TCustomTabControl, TWinControl)
 public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  TStrings* Tabs() const;
  void SetTabs(TStrings* Value);
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int Value);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition Value);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle Value);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool Value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool Value) { hotTrack_ = Value; }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);

  // The area inside the frame, where pages go (TCM_ADJUSTRECT when the window exists).
  TRect DisplayRect();
  // The tab under a client point, or -1.
  int IndexOfTabAt(int X, int Y);
  TRect TabRect(int Index);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void AdjustClientRect(TRect& Rect) override;
  virtual bool CanChange();
  virtual void Change();
  // The tabs' text changed (the page control rebuilds from its sheets).
  virtual void TabsChanged();
  void SendTabs();

  std::unique_ptr<TStringList> tabs_;
  int tabIndex_ = -1;

 private:
  TTabPosition tabPosition_ = tpTop;
  TTabStyle style_ = tsTabs;
  bool multiLine_ = false;
  bool hotTrack_ = false;
  bool updatingTabs_ = false;
  TCustomImageList* images_ = nullptr;
};

class TTabControl : public TCustomTabControl {
  RTL_CLASS(TTabControl, TCustomTabControl)
 public:
  explicit TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}
  static void DescribeClass(TClassBuilder<TTabControl>& c);
};

class TPageControl;

// A page of a page control. Only the page control's active sheet is visible; a sheet with
// TabVisible off has no tab but keeps its page index.
class TTabSheet : public TWinControl {
  RTL_CLASS(TTabSheet, TWinControl)
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  static void DescribeClass(TClassBuilder<TTabSheet>& c);

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* Value);
  int PageIndex() const;
  void SetPageIndex(int Value);
  // The index of the sheet's tab, -1 when it has none.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool Value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value) { imageIndex_ = Value; }
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool Value) { highlighted_ = Value; }

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

  // A page control as the parent makes the sheet one of its pages.
  void SetParent(TWinControl* AParent) override;

 protected:
  void Dispatch(TMessage& Message) override;  // a new caption renames the tab

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
  bool highlighted_ = false;
};

class TPageControl : public TCustomTabControl {
  RTL_CLASS(TPageControl, TCustomTabControl)
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  static void DescribeClass(TClassBuilder<TPageControl>& c);

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int Index) const;  // EListError when out of range
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* Page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  // The next (or previous) page after CurPage, wrapping; with CheckTabVisible only pages with
  // a tab count. nullptr when there is none.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
  // Moves to the next page as a user would: asks OnChanging, then fires OnChange.
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

 protected:
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  void Change() override;
  void TabsChanged() override;
  // Ctrl+Tab and Ctrl+Shift+Tab select the next and previous page while the focus is inside.
  void Dispatch(TMessage& Message) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void UpdateTabs();
  void UpdateActivePage();
  void ChangeActivePage(TTabSheet* Page);
  TTabSheet* PageForTab(int TabIndex) const;
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

// --- header control ----------------------------------------------------------------------------

enum THeaderSectionStyle { hsText, hsOwnerDraw };
RTL_ENUM_INFO(THeaderSectionStyle, "hsText", "hsOwnerDraw");

class THeaderControl;

class THeaderSection : public TCollectionItem {
  RTL_CLASS(THeaderSection, TCollectionItem)
 public:
  explicit THeaderSection(TCollection* Collection);
  static void DescribeClass(TClassBuilder<THeaderSection>& c);
  void Assign(TPersistent* Source) override;
  std::string GetDisplayName() const override;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& Value);
  int Width() const { return width_; }
  void SetWidth(int Value);  // kept within MinWidth..MaxWidth
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int Value);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  bool AllowClick() const { return allowClick_; }
  void SetAllowClick(bool Value) { allowClick_ = Value; }
  THeaderSectionStyle Style() const { return style_; }
  void SetStyle(THeaderSectionStyle Value) { style_ = Value; }
  int Left() const;
  int Right() const { return Left() + width_; }

 private:
  std::string text_;
  int width_ = 50;
  int minWidth_ = 0;
  int maxWidth_ = 10000;
  TAlignment alignment_ = taLeftJustify;
  bool allowClick_ = true;
  THeaderSectionStyle style_ = hsText;
};

class THeaderSections : public TCollection {
  RTL_CLASS(THeaderSections, TCollection)
 public:
  explicit THeaderSections(THeaderControl* HeaderControl);
  THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
  THeaderSection* Items(int Index) const { return static_cast<THeaderSection*>(TCollection::Items(Index)); }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  THeaderControl* header_;
};

using TSectionNotifyEvent = TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section)>;

// Sections over "SysHeader32". A press and release on one section with AllowClick fires
// OnSectionClick; dragging within a few pixels of a section's right edge resizes it
// (OnSectionResize when released).
class THeaderControl : public TWinControl {
  RTL_CLASS(THeaderControl, TWinControl)
 public:
  explicit THeaderControl(TComponent* AOwner);
  ~THeaderControl() override;
  static void DescribeClass(TClassBuilder<THeaderControl>& c);

  THeaderSections* Sections() const { return sections_.get(); }
  void SetSections(THeaderSections* Value) { sections_->Assign(Value); }
  // The section under a client point, or -1.
  int SectionAt(int X) const;

  TSectionNotifyEvent OnSectionClick;
  TSectionNotifyEvent OnSectionResize;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  virtual void SectionClick(THeaderSection* Section);
  virtual void SectionResize(THeaderSection* Section);

 private:
  friend class THeaderSections;
  void UpdateSections();
  std::unique_ptr<THeaderSections> sections_;
  int pressed_ = -1;
  int sizing_ = -1;
  int sizeOrigin_ = 0;
  int sizeStartWidth_ = 0;
};

// --- track bar -----------------------------------------------------------------------------------

enum TTrackBarOrientation { trHorizontal, trVertical };
RTL_ENUM_INFO(TTrackBarOrientation, "trHorizontal", "trVertical");
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
RTL_ENUM_INFO(TTickMark, "tmBottomRight", "tmTopLeft", "tmBoth");
enum TTickStyle { tsNone, tsAuto, tsManual };
RTL_ENUM_INFO(TTickStyle, "tsNone", "tsAuto", "tsManual");

// The slider over "msctls_trackbar32". Position stays within Min..Max; the arrow keys move it
// by LineSize, Page Up/Down by PageSize, Home/End to the ends. The window takes the mouse (a
// drag of the thumb, a press beside it pages by PageSize) and reports through WM_HSCROLL/
// WM_VSCROLL, which come back as CN_HSCROLL/CN_VSCROLL and fire OnChange when the position moved.
// NM_CUSTOMDRAW from the window reaches CustomDraw through CN_NOTIFY.
class TTrackBar : public TWinControl {
  RTL_CLASS(TTrackBar, TWinControl)
 public:
  explicit TTrackBar(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TTrackBar>& c);

  int Min() const { return min_; }
  void SetMin(int Value);
  int Max() const { return max_; }
  void SetMax(int Value);
  int Position() const { return position_; }
  void SetPosition(int Value);
  // Sets the three at once; Max below Min is raised to Min.
  void SetParams(int APosition, int AMin, int AMax);
  TTrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation Value);
  int Frequency() const { return frequency_; }
  void SetFrequency(int Value);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle Value);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark Value);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int Value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int Value);
  int SelStart() const { return selStart_; }
  void SetSelStart(int Value);
  int SelEnd() const { return selEnd_; }
  void SetSelEnd(int Value);
  bool SliderVisible() const { return sliderVisible_; }
  void SetSliderVisible(bool Value);
  // Manual tick marks (tsManual), kept sorted without duplicates.
  void SetTick(int Value);
  const std::vector<int>& Ticks() const { return ticks_; }

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  // One stage of NM_CUSTOMDRAW; the answer goes back to the window (CDRF_*).
  virtual LRESULT CustomDraw(const NMCUSTOMDRAW& Draw);
  virtual void Changed();

 private:
  void SendParams();
  void SendSettings();
  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  TTrackBarOrientation orientation_ = trHorizontal;
  int frequency_ = 1;
  TTickStyle tickStyle_ = tsAuto;
  TTickMark tickMarks_ = tmBottomRight;
  int pageSize_ = 2;
  int lineSize_ = 1;
  int selStart_ = 0;
  int selEnd_ = 0;
  bool sliderVisible_ = true;
  std::vector<int> ticks_;
};

// --- up-down ------------------------------------------------------------------------------------

enum TUDAlignButton { udLeft, udRight };
RTL_ENUM_INFO(TUDAlignButton, "udLeft", "udRight");
enum TUDOrientation { udHorizontal, udVertical };
RTL_ENUM_INFO(TUDOrientation, "udHorizontal", "udVertical");
enum TUDBtnType { btNext, btPrev };
RTL_ENUM_INFO(TUDBtnType, "btNext", "btPrev");

using TUDClickEvent = TEvent<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// The arrow pair over "msctls_updown32". A press on the next arrow (up, or right) adds
// Increment, on the previous one subtracts it; past the ends Position stops, or wraps with
// Wrap. An associated control shows Position as its text (with thousands separators when
// Thousands) and, with ArrowKeys, its Up and Down keys step the position.
class TCustomUpDown : public TWinControl {
  RTL_CLASS(TCustomUpDown, TWinControl)
 public:
  explicit TCustomUpDown(TComponent* AOwner);
  ~TCustomUpDown() override;

  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* Value);
  int Min() const { return min_; }
  void SetMin(int Value);
  int Max() const { return max_; }
  void SetMax(int Value);
  int Position() const { return position_; }
  void SetPosition(int Value);
  int Increment() const { return increment_; }
  void SetIncrement(int Value) { increment_ = Value; }
  bool Wrap() const { return wrap_; }
  void SetWrap(bool Value) { wrap_ = Value; }
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation Value);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton Value);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool Value) { arrowKeys_ = Value; }
  bool Thousands() const { return thousands_; }
  void SetThousands(bool Value);

  // What a press on an arrow does (also the keys of the associate).
  void Step(TUDBtnType Button);

  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  virtual bool CanChange();
  virtual void Click(TUDBtnType Button);

 private:
  void UpdateAssociate();
  void PlaceNextToAssociate();
  void AssociateWndProc(TMessage& Message);
  void Unhook();
  TWinControl* associate_ = nullptr;
  TWndMethod savedAssociateProc_;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int increment_ = 1;
  bool wrap_ = false;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton alignButton_ = udRight;
  bool arrowKeys_ = true;
  bool thousands_ = true;
};

class TUpDown : public TCustomUpDown {
  RTL_CLASS(TUpDown, TCustomUpDown)
 public:
  explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
  static void DescribeClass(TClassBuilder<TUpDown>& c);
};

// --- progress bar -----------------------------------------------------------------------------

enum TProgressBarOrientation { pbHorizontal, pbVertical };
RTL_ENUM_INFO(TProgressBarOrientation, "pbHorizontal", "pbVertical");

// The bar over "msctls_progress32". Position stays within Min..Max; StepIt past Max wraps
// to Min plus the overshoot, StepBy stops at the ends.
class TProgressBar : public TWinControl {
  RTL_CLASS(TProgressBar, TWinControl)
 public:
  explicit TProgressBar(TComponent* AOwner);
  static void DescribeClass(TClassBuilder<TProgressBar>& c);

  int Min() const { return min_; }
  void SetMin(int Value);
  int Max() const { return max_; }
  void SetMax(int Value);
  int Position() const { return position_; }
  void SetPosition(int Value);
  int Step() const { return step_; }
  void SetStep(int Value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation Value);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool Value);
  void StepIt();
  void StepBy(int Delta);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  TProgressBarOrientation orientation_ = pbHorizontal;
  bool smooth_ = false;
};

// --- tool bar ------------------------------------------------------------------------------------

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
RTL_ENUM_INFO(TToolButtonStyle, "tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider");

class TToolBar;

// A button of a tool bar: a graphic control that the bar places. A check button toggles Down
// on a click; grouped check buttons next to each other behave as radio buttons (one stays
// down unless AllowAllUp). A drop-down button pops up its DropdownMenu under itself; a button
// bound to a MenuItem shows its caption and clicks it.
class TToolButton : public TGraphicControl {
  RTL_CLASS(TToolButton, TGraphicControl)
 public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;
  static void DescribeClass(TClassBuilder<TToolButton>& c);

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle Value);
  bool Down() const { return down_; }
  void SetDown(bool Value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool Value) { grouped_ = Value; }
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool Value) { allowAllUp_ = Value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value);
  bool Marked() const { return marked_; }
  void SetMarked(bool Value);
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool Value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool Value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* Value);
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* Value);
  // The bar it sits on (its parent), or nullptr.
  TToolBar* ToolBar() const;
  int Index() const;
  // Pressed by the mouse and not yet released.
  bool Pressed() const { return pressed_; }

  void Click() override;
  void CMTextChanged(TMessage& Message) override;  // a caption may change the layout
  void SetParent(TWinControl* AParent) override;   // joins or leaves the tool bar's buttons

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Pops up DropdownMenu under the button; false when there is none.
  virtual bool CheckMenuDropdown();

 private:
  void UpdateGroup();
  void RefreshLayout();
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  bool grouped_ = false;
  bool allowAllUp_ = false;
  int imageIndex_ = -1;
  bool marked_ = false;
  bool indeterminate_ = false;
  bool wrap_ = false;
  bool pressed_ = false;
  TPopupMenu* dropdownMenu_ = nullptr;
  TMenuItem* menuItem_ = nullptr;
};

// The bar over "ToolbarWindow32" that places its buttons: in a row from Indent, each
// ButtonWidth wide (wider for a caption with ShowCaptions, narrower for separators), and with
// Wrapable onto the next row when the next button would pass the right edge.
class TToolBar : public TWinControl {
  RTL_CLASS(TToolBar, TWinControl)
 public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;
  static void DescribeClass(TClassBuilder<TToolBar>& c);

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int Index) const;  // EListError when out of range
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int Value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* Value);
  bool Flat() const { return flat_; }
  void SetFlat(bool Value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool Value);
  bool List() const { return list_; }
  void SetList(bool Value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool Value);
  int Indent() const { return indent_; }
  void SetIndent(int Value);
  // Lays the buttons out again (called when anything that affects their places changes).
  void UpdateButtons();
  // The rows the last layout used.
  int RowCount() const { return rowCount_; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Resize() override;

 private:
  friend class TToolButton;
  void InsertButton(TToolButton* Button);
  void RemoveButton(TToolButton* Button);
  int ButtonExtent(const TToolButton* Button) const;
  std::vector<TToolButton*> buttons_;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  bool flat_ = false;
  bool showCaptions_ = false;
  bool list_ = false;
  bool wrapable_ = true;
  int indent_ = 0;
  int rowCount_ = 0;
  bool layingOut_ = false;
};

// --- list view, tree view and extended combo box: state models ------------------------------------

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
RTL_ENUM_INFO(TViewStyle, "vsIcon", "vsSmallIcon", "vsList", "vsReport");

class TCustomListView;

class TListColumn : public TCollectionItem {
  RTL_CLASS(TListColumn, TCollectionItem)
 public:
  explicit TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}
  static void DescribeClass(TClassBuilder<TListColumn>& c);
  void Assign(TPersistent* Source) override;
  std::string GetDisplayName() const override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  int Width() const { return width_; }
  void SetWidth(int Value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);

 private:
  std::string caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
  RTL_CLASS(TListColumns, TCollection)
 public:
  explicit TListColumns(TCustomListView* Owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int Index) const { return static_cast<TListColumn*>(TCollection::Items(Index)); }
  TPersistent* GetOwner() override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomListView* owner_;
};

class TListItems;

class TListItem : public TPersistent {
  RTL_CLASS(TListItem, TPersistent)
 public:
  explicit TListItem(TListItems* Owner);
  ~TListItem() override;

  TListItems* Owner() const { return owner_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value);
  TStrings* SubItems() const;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value) { imageIndex_ = Value; }
  void* Data() const { return data_; }
  void SetData(void* Value) { data_ = Value; }
  bool Selected() const { return selected_; }
  void SetSelected(bool Value);
  int Index() const;
  void Delete();

 private:
  friend class TCustomListView;
  // The list view's window while it has one; the item's texts and state go there.
  HWND Window() const;
  void PushTexts(int AtIndex);
  void PushState(int AtIndex);
  TListItems* owner_;
  std::string caption_;
  std::unique_ptr<TStringList> subItems_;
  int shownSubItems_ = 0;  // sub-items the window was given, so removed ones are blanked
  int imageIndex_ = -1;
  void* data_ = nullptr;
  bool selected_ = false;
};

class TListItems : public TPersistent {
  RTL_CLASS(TListItems, TPersistent)
 public:
  explicit TListItems(TCustomListView* Owner) : owner_(Owner) {}
  ~TListItems() override;
  TCustomListView* Owner() const { return owner_; }
  TListItem* Add();
  TListItem* Insert(int Index);
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Item(int Index) const;  // EListError when out of range
  void Delete(int Index);
  void Clear();
  int IndexOf(const TListItem* Value) const;

 private:
  TCustomListView* owner_;
  std::vector<std::unique_ptr<TListItem>> items_;
};

// The list over "SysListView32": columns go to the window's header (LVM_GETHEADER), so the
// report view shows them; the items are kept here and mirrored in the window, which draws and
// scrolls them and reports the user's selection back through LVN_ITEMCHANGED.
class TCustomListView : public TWinControl {
  RTL_CLASS(TCustomListView, TWinControl)
 public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle Value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool Value);
  TListColumns* Columns() const { return columns_.get(); }
  void SetColumns(TListColumns* Value) { columns_->Assign(Value); }
  TListItems* Items() const { return items_.get(); }
  TListItem* Selected() const;
  void SetSelected(TListItem* Value);
  int ItemIndex() const;
  void SetItemIndex(int Value);
  // The header window of the report view (nullptr without a window).
  HWND HeaderHandle();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;

 private:
  friend class TListColumns;
  friend class TListItems;
  void UpdateColumns();
  void InsertItemWindow(int Index);
  void ItemChanged(const NMLISTVIEW& Change);
  TViewStyle viewStyle_ = vsIcon;
  bool showColumnHeaders_ = true;
  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
};

class TListView : public TCustomListView {
  RTL_CLASS(TListView, TCustomListView)
 public:
  explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
  static void DescribeClass(TClassBuilder<TListView>& c);
};

class TTreeNodes;

class TTreeNode : public TPersistent {
  RTL_CLASS(TTreeNode, TPersistent)
 public:
  TTreeNode(TTreeNodes* Owner, TTreeNode* Parent);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TTreeNode* Parent() const { return parent_; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& Value) { text_ = Value; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int Index) const;  // EListError when out of range
  bool HasChildren() const { return !children_.empty(); }
  int Level() const;
  // The position among its siblings.
  int Index() const;
  // Depth-first position among all nodes of the tree.
  int AbsoluteIndex() const;
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool Value) { expanded_ = Value; }
  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value) { imageIndex_ = Value; }
  void* Data() const { return data_; }
  void SetData(void* Value) { data_ = Value; }
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // Frees the node and its children.
  void Delete();

 private:
  friend class TTreeNodes;
  TTreeNodes* owner_;
  TTreeNode* parent_;
  std::string text_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  bool expanded_ = false;
  int imageIndex_ = -1;
  void* data_ = nullptr;
};

class TCustomTreeView;

// The nodes of a tree view; the top-level nodes are the children of a hidden root.
class TTreeNodes : public TPersistent {
  RTL_CLASS(TTreeNodes, TPersistent)
 public:
  explicit TTreeNodes(TCustomTreeView* Owner);
  ~TTreeNodes() override;
  TCustomTreeView* Owner() const { return owner_; }
  // A node after the last sibling of Sibling (a top-level node when Sibling is nullptr).
  TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
  TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
  TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S);
  // Every node, depth first.
  int Count() const;
  TTreeNode* Item(int Index) const;  // EListError when out of range
  TTreeNode* GetFirstNode() const { return root_->GetFirstChild(); }
  void Delete(TTreeNode* Node);
  void Clear();

 private:
  friend class TTreeNode;
  TTreeNode* Insert(TTreeNode* Parent, int At, const std::string& S);
  void Removing(TTreeNode* Node);
  TCustomTreeView* owner_;
  std::unique_ptr<TTreeNode> root_;
};

class TCustomTreeView : public TWinControl {
  RTL_CLASS(TCustomTreeView, TWinControl)
 public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;
  TTreeNodes* Items() const { return items_.get(); }
  TTreeNode* Selected() const { return selected_; }
  void SetSelected(TTreeNode* Value);
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  friend class TTreeNodes;
  std::unique_ptr<TTreeNodes> items_;
  TTreeNode* selected_ = nullptr;
};

class TTreeView : public TCustomTreeView {
  RTL_CLASS(TTreeView, TCustomTreeView)
 public:
  explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};

class TComboExItem : public TCollectionItem {
  RTL_CLASS(TComboExItem, TCollectionItem)
 public:
  explicit TComboExItem(TCollection* Collection) : TCollectionItem(Collection) {}
  static void DescribeClass(TClassBuilder<TComboExItem>& c);
  void Assign(TPersistent* Source) override;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value) { caption_ = Value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int Value) { imageIndex_ = Value; }

 private:
  std::string caption_;
  int imageIndex_ = -1;
};

class TComboExItems : public TCollection {
  RTL_CLASS(TComboExItems, TCollection)
 public:
  TComboExItems() : TCollection(TComboExItem::StaticClass()) {}
  TComboExItem* Add() { return static_cast<TComboExItem*>(TCollection::Add()); }
  TComboExItem* AddItem(const std::string& Caption, int ImageIndex);
  TComboExItem* Items(int Index) const { return static_cast<TComboExItem*>(TCollection::Items(Index)); }
};

// The combo box with images over "ComboBoxEx32": items and selection as state.
class TComboBoxEx : public TWinControl {
  RTL_CLASS(TComboBoxEx, TWinControl)
 public:
  explicit TComboBoxEx(TComponent* AOwner);
  ~TComboBoxEx() override;
  TComboExItems* ItemsEx() const { return itemsEx_.get(); }
  int ItemIndex() const;
  void SetItemIndex(int Value);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* Value);
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  std::unique_ptr<TComboExItems> itemsEx_;
  int itemIndex_ = -1;
  TCustomImageList* images_ = nullptr;
};

// Registers the classes of this unit for window descriptions (done at start-up; calling it
// again does nothing).
void RegisterComCtrlsClasses();
