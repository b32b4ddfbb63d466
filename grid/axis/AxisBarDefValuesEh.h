#pragma once
// The default values of columns, their titles and footers (the grid's ColumnDefValues), a
// column's drop-down box settings, and the interface of the lookup grid that a column drops
// down (the data grid's lookup grid implements it; its unit registers the factory).
#include <functional>
#include <memory>
#include <string>

#include "grid/foundation/SpecRowEh.h"
#include "platform/db/DB.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Variant.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdCtrls.h"  // TTextLayout

class TCustomDBAxisGridEh;
class TAxisBarEh;
class TGridAxisBarsEh;
class TAxisBarDefValuesEh;

enum class TTextOrientationEh { tohHorizontal, tohVertical };
using enum TTextOrientationEh;
RTL_ENUM_INFO(TTextOrientationEh, "tohHorizontal", "tohVertical");

enum class TLSAutoFilterTypeEh { lsftBeginsWithEh, lsftContainsEh };
using enum TLSAutoFilterTypeEh;
RTL_ENUM_INFO(TLSAutoFilterTypeEh, "lsftBeginsWithEh", "lsftContainsEh");

enum class TDBLookupGridEhOption {
  dlgColumnResizeEh,
  dlgColLinesEh,
  dlgRowLinesEh,
  dlgAutoSortMarkingEh,
  dlgMultiSortMarkingEh
};
using enum TDBLookupGridEhOption;
RTL_ENUM_INFO(TDBLookupGridEhOption, "dlgColumnResizeEh", "dlgColLinesEh", "dlgRowLinesEh",
              "dlgAutoSortMarkingEh", "dlgMultiSortMarkingEh");
using TDBLookupGridEhOptions = TSet<TDBLookupGridEhOption, 8>;

// The lookup grid a column drops down (its DataList). What the drop-down box and the cell
// editor ask of it.
class ILookupGridEh : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{2A1F4552-15C3-4359-ADAB-F2F6719FAA97}");

  // The lookup grid itself (a component owned by nothing; the column frees it).
  virtual TComponent* LookupGridComponent() = 0;
  virtual TGridAxisBarsEh* LookupColumns() = 0;
  virtual TAxisBarDefValuesEh* LookupColumnDefValues() = 0;
  virtual TDBLookupGridEhOptions LookupOptions() const = 0;
  virtual void SetLookupOptions(TDBLookupGridEhOptions Value) = 0;
  virtual bool SortLocal() const = 0;
  virtual void SetSortLocal(bool Value) = 0;
  virtual TDataSource* ListSource() const = 0;
  virtual void SetListSource(TDataSource* Value) = 0;
  virtual void SetKeyField(const std::string& Value) = 0;
  // ";"-separated list fields.
  virtual void SetListField(const std::string& Value) = 0;
  virtual void AssignSpecRow(TSpecRowEh* Value) = 0;

  // --- what the cell editor's drop-down asks ---
  using TCloseUpEventEh = TEvent<void(TObject* Sender, bool Accept)>;
  // The window to size, place and show.
  virtual TWinControl* LookupGridControl() = 0;
  virtual Variant KeyValue() const = 0;
  virtual void SetKeyValue(const Variant& Value) = 0;
  // The display text of the list's current row.
  virtual std::string DisplayText() = 0;
  virtual int RowCount() const = 0;
  virtual void SetRowCount(int Value) = 0;
  virtual void SetShowTitles(bool Value) = 0;
  virtual void SetListFieldIndex(int Value) = 0;
  // The name of the field the list shows and searches (its current list field).
  virtual std::string ListFieldName() = 0;
  virtual void SetAutoFitColWidths(bool Value) = 0;
  virtual void SetUseMultiTitle(bool Value) = 0;
  // The sum of the list's column widths.
  virtual int GetColumnsWidth() = 0;
  virtual void SetSizeGripVisible(bool Value) = 0;
  // The user resized the list with its grip since the flag was cleared.
  virtual bool SizeChangedByUser() = 0;
  virtual void ClearSizeChangedByUser() = 0;
  // The special row's cell texts, in the list's column order.
  virtual std::string SpecRowCellsText() = 0;
  virtual void SetSortMarkerStyle(int Value) = 0;
  virtual void SetHighlightText(const std::string& Value) = 0;
  virtual void SetOnCloseUp(TCloseUpEventEh Value) = 0;
  virtual void SetOnColumnMoved(TNotifyEvent Value) = 0;

 protected:
  ~ILookupGridEh() override = default;
};

// Makes the lookup grid of a column; the lookup grid's unit registers it, tests a double.
using TLookupGridFactoryEh = std::function<ILookupGridEh*(TAxisBarEh* Column)>;
void RegisterLookupGridFactoryEh(TLookupGridFactoryEh Factory);
// nullptr when none is registered.
ILookupGridEh* CreateLookupGridEh(TAxisBarEh* Column);

// --- default values ----------------------------------------------------------------------------

// Title defaults. Alignment and Color follow the grid (its default title alignment and
// GetTitleColor) until set, and are stored only when set and different from that default.
class TAxisBarCaptionDefValuesEh : public TPersistent {
  RTL_CLASS(TAxisBarCaptionDefValuesEh, TPersistent)
 public:
  explicit TAxisBarCaptionDefValuesEh(TAxisBarDefValuesEh* AOwner);
  ~TAxisBarCaptionDefValuesEh() override;
  static void DescribeClass(TClassBuilder<TAxisBarCaptionDefValuesEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool AlignmentAssigned() const { return alignmentAssigned_; }
  bool IsAlignmentStored() const;
  TColor Color() const;
  void SetColor(TColor Value);
  bool ColorAssigned() const { return colorAssigned_; }
  bool IsColorStored() const;
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool Value);
  TTextOrientationEh Orientation() const { return orientation_; }
  void SetOrientation(TTextOrientationEh Value);
  bool TitleButton() const { return titleButton_; }
  void SetTitleButton(bool Value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool Value);

  TCustomDBAxisGridEh* Grid() const;

 private:
  void Changed();
  TAxisBarDefValuesEh* owner_;
  TAlignment alignment_ = taLeftJustify;
  bool alignmentAssigned_ = false;
  TColor color_ = clBtnFace;
  bool colorAssigned_ = false;
  bool endEllipsis_ = false;
  TTextOrientationEh orientation_ = tohHorizontal;
  bool titleButton_ = false;
  bool toolTips_ = false;
};

class TColumnFooterDefValuesEh : public TPersistent {
  RTL_CLASS(TColumnFooterDefValuesEh, TPersistent)
 public:
  explicit TColumnFooterDefValuesEh(TAxisBarDefValuesEh* AOwner) : owner_(AOwner) {}
  static void DescribeClass(TClassBuilder<TColumnFooterDefValuesEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool Value);

 private:
  TAxisBarDefValuesEh* owner_;
  bool toolTips_ = false;
};

// The grid's ColumnDefValues: what a column shows until it has a value of its own. Each
// setter stores the value and asks the grid for a relayout.
class TAxisBarDefValuesEh : public TPersistent {
  RTL_CLASS(TAxisBarDefValuesEh, TPersistent)
 public:
  explicit TAxisBarDefValuesEh(TCustomDBAxisGridEh* AGrid);
  ~TAxisBarDefValuesEh() override;
  static void DescribeClass(TClassBuilder<TAxisBarDefValuesEh>& c);
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TCustomDBAxisGridEh* Grid() const { return grid_; }
  bool AlwaysShowEditButton() const { return alwaysShowEditButton_; }
  void SetAlwaysShowEditButton(bool Value);
  bool AutoDropDown() const { return autoDropDown_; }
  void SetAutoDropDown(bool Value);
  bool DblClickNextVal() const { return dblClickNextVal_; }
  void SetDblClickNextVal(bool Value);
  bool DropDownShowTitles() const { return dropDownShowTitles_; }
  void SetDropDownShowTitles(bool Value);
  bool DropDownSizing() const { return dropDownSizing_; }
  void SetDropDownSizing(bool Value);
  bool EndEllipsis() const { return endEllipsis_; }
  void SetEndEllipsis(bool Value);
  bool HighlightRequired() const { return highlightRequired_; }
  void SetHighlightRequired(bool Value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout Value);
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool Value);
  // Made on first use by CreateTitleDefValues.
  TAxisBarCaptionDefValuesEh* Title();
  void SetTitle(TAxisBarCaptionDefValuesEh* Value) { Title()->Assign(Value); }
  TColumnFooterDefValuesEh* Footer() const { return footer_.get(); }
  void SetFooter(TColumnFooterDefValuesEh* Value) { footer_->Assign(Value); }

  // Asks the grid for a relayout.
  void Changed();

 protected:
  virtual TAxisBarCaptionDefValuesEh* CreateTitleDefValues();

 private:
  TCustomDBAxisGridEh* grid_;
  bool alwaysShowEditButton_ = false;
  bool autoDropDown_ = false;
  bool dblClickNextVal_ = false;
  bool dropDownShowTitles_ = false;
  bool dropDownSizing_ = false;
  bool endEllipsis_ = false;
  bool highlightRequired_ = false;
  TTextLayout layout_ = tlTop;
  bool toolTips_ = false;
  std::unique_ptr<TAxisBarCaptionDefValuesEh> title_;
  std::unique_ptr<TColumnFooterDefValuesEh> footer_;
};

// The base of the data grid's column default values.
class TCustomColumnDefValuesEh : public TAxisBarDefValuesEh {
  RTL_CLASS(TCustomColumnDefValuesEh, TAxisBarDefValuesEh)
 public:
  explicit TCustomColumnDefValuesEh(TCustomDBAxisGridEh* AGrid);
  ~TCustomColumnDefValuesEh() override;
};

// --- a column's drop-down box ------------------------------------------------------------------

// Columns, ColumnDefValues, Options and SortLocal live on the column's lookup grid and are read
// and written there; ListSource is kept here and handed to it as well.
class TColumnDropDownBoxEh : public TPersistent {
  RTL_CLASS(TColumnDropDownBoxEh, TPersistent)
 public:
  explicit TColumnDropDownBoxEh(TAxisBarEh* AColumn);
  ~TColumnDropDownBoxEh() override;
  static void DescribeClass(TClassBuilder<TColumnDropDownBoxEh>& c);
  // Copies every property; a source whose columns are not persistent clears the target's.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TAxisBarEh* Column() const { return column_; }
  bool AutoFitColWidths() const { return autoFitColWidths_; }
  void SetAutoFitColWidths(bool Value);
  TAxisBarDefValuesEh* ColumnDefValues() const;
  void SetColumnDefValues(TAxisBarDefValuesEh* Value);
  TGridAxisBarsEh* Columns() const;
  void SetColumns(TGridAxisBarsEh* Value);
  // Stored only while the lookup grid's columns are persistent.
  bool IsColumnsStored() const;
  TDataSource* ListSource() const { return listSource_; }
  void SetListSource(TDataSource* Value);
  bool ListSourceAutoFilter() const { return listSourceAutoFilter_; }
  void SetListSourceAutoFilter(bool Value) { listSourceAutoFilter_ = Value; }
  TLSAutoFilterTypeEh ListSourceAutoFilterType() const { return listSourceAutoFilterType_; }
  void SetListSourceAutoFilterType(TLSAutoFilterTypeEh Value) { listSourceAutoFilterType_ = Value; }
  TDBLookupGridEhOptions Options() const;
  void SetOptions(TDBLookupGridEhOptions Value);
  bool SortLocal() const;
  void SetSortLocal(bool Value);
  bool UseMultiTitle() const { return useMultiTitle_; }
  void SetUseMultiTitle(bool Value) { useMultiTitle_ = Value; }
  TSpecRowEh* SpecRow() const { return specRow_.get(); }
  void SetSpecRow(TSpecRowEh* Value) { specRow_->Assign(Value); }

  // The wildcard of the list source's auto filter: the list data set's IMemTableEh gives it,
  // else "*".
  std::string GetListSourceWildcard(TDataSet* ListDataSet) const;

 private:
  ILookupGridEh* LookupGrid() const;
  TAxisBarEh* column_;
  bool autoFitColWidths_ = true;
  TDataSource* listSource_ = nullptr;
  bool listSourceAutoFilter_ = false;
  TLSAutoFilterTypeEh listSourceAutoFilterType_ = lsftBeginsWithEh;
  bool useMultiTitle_ = false;
  std::unique_ptr<TSpecRowEh> specRow_;
};
