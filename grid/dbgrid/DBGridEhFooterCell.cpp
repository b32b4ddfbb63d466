// Footer cells: the text of a column footer (totals read from the sum list, the current
// record's field value, a static text) and the painting of the footer rows, the grouping's
// grand totals first, the column footers after them.
#include <string>

#include "grid/axis/DBGridEhGrouping.h"
#include "grid/dbgrid/DBGridEhPrivate.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "grid/dbgrid/DBGridEhStyle.h"
#include "platform/db/Fields.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/SysUtils.h"

namespace footer_cell_detail {

bool IsIntegerType(TFieldType Type) {
  return Type == ftSmallint || Type == ftInteger || Type == ftWord || Type == ftAutoInc || Type == ftLargeint;
}

// The currency look of a number field and its precision, for the texts without a format.
void NumberLook(TField* Field, bool& IsCurrency, int& Precision) {
  IsCurrency = false;
  Precision = 15;
  if (auto* f = dynamic_cast<TFloatField*>(Field)) {
    IsCurrency = f->IsCurrency();
    Precision = f->Precision();
  } else if (auto* b = dynamic_cast<TBCDField*>(Field)) {
    IsCurrency = b->IsCurrency();
    Precision = b->Precision();
  } else if (auto* m = dynamic_cast<TFMTBCDField*>(Field)) {
    IsCurrency = m->IsCurrency();
    Precision = m->Precision();
  }
}

std::string FieldDisplayFormat(TField* Field) {
  auto* number = dynamic_cast<TNumericField*>(Field);
  return number ? number->DisplayFormat() : std::string();
}

// A total as text, by the field's type: the footer's format first, then the field's, then the
// field's own number look. Types that cannot be totalled keep "0".
std::string TotalText(TField* Field, const std::string& FooterFormat, Currency V) {
  const TFieldType type = Field->DataType();
  const std::string fieldFormat = FieldDisplayFormat(Field);
  bool currency = false;
  int precision = 15;
  NumberLook(Field, currency, precision);
  const TFloatFormat look = currency ? ffCurrency : ffGeneral;
  const int digits = currency ? FormatSettings().CurrencyDecimals : 0;
  if (IsIntegerType(type)) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, V.ToExtended());
    if (!fieldFormat.empty()) return FormatFloat(fieldFormat, V.ToExtended());
    return IntToStr(V.Raw() / 10000);  // truncated toward zero
  }
  if (type == ftFloat || type == ftCurrency) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, V.ToExtended());
    if (!fieldFormat.empty()) return FormatFloat(fieldFormat, V.ToExtended());
    return FloatToStrF(V.ToExtended(), look, precision, digits);
  }
  if (type == ftBCD || type == ftFMTBcd) {
    if (!FooterFormat.empty()) return FormatFloat(FooterFormat, V.ToExtended());
    if (!fieldFormat.empty()) return FormatCurr(fieldFormat, V);
    return CurrToStrF(V, look, digits);
  }
  return "0";
}

// A footer cell is selected with its whole column, or with everything.
bool FooterCellSelected(TCustomDBGridEh* Grid, TColumnEh* Column) {
  TDBGridEhSelection* selection = Grid->Selection();
  if (!selection) return false;
  switch (selection->SelectionType()) {
    case gstAll:
      return true;
    case gstColumns:
      return Column && selection->Columns()->IndexOf(Column) >= 0;
    default:
      return false;
  }
}

// The grand-total row of a visible grouping footer: the root's footer node of that footer.
TGroupDataTreeNodeEh* GrandTotalNode(TGridDataGroupsEh* Grouping, TGridDataGroupFooterEh* Footer) {
  TGroupDataTreeNodeEh* root = Grouping->GroupDataTree()->GetRoot();
  if (!root) return nullptr;
  for (int i = 0; i < root->GetFooterCount(); ++i) {
    TGroupDataTreeNodeEh* node = root->GetFooterNode(i);
    if (node && node->DataGroupFooter == Footer) return node;
  }
  return nullptr;
}

}  // namespace footer_cell_detail

using namespace footer_cell_detail;

// --- footer texts -----------------------------------------------------------------------------

void TCustomDBGridEh::GetFooterValue(int Row, TColumnEh* Column, std::string& Text) {
  Text.clear();
  if (!Column) return;
  TColumnFooterEh* footer = Column->GetFooter(Row);
  TDataSet* dataSet = DataSource() ? DataSource()->DataSet() : nullptr;
  TDBSumCollection* sums = SumList() ? SumList()->SumCollection() : nullptr;
  switch (footer->ValueType()) {
    case fvtSum:
    case fvtAvg: {
      Text = "0";
      if (!dataSet || !sums) return;
      const std::string name = footer->FieldName().empty() ? Column->FieldName() : footer->FieldName();
      TField* field = dataSet->FindField(name);
      if (!field) return;
      // Only what the sum list keeps: nothing is recounted here.
      TDBSum* sum = sums->FindSum(footer->ValueType() == fvtSum ? goSum : goAvg, field->FieldName());
      if (!sum) return;
      // A total beyond the currency range stopped: no figure rather than a wrong one.
      if (sum->Overflowed()) {
        Text.clear();
        return;
      }
      Text = TotalText(field, footer->DisplayFormat(), sum->SumValue());
      return;
    }
    case fvtCount: {
      Text = "0";
      TDBSum* count = sums ? sums->FindSum(goCount, "") : nullptr;
      if (!count) return;
      const Extended c = count->SumValue().ToExtended();
      Text = footer->DisplayFormat().empty() ? FloatToStr(c) : FormatFloat(footer->DisplayFormat(), c);
      return;
    }
    case fvtFieldValue:
      // The footer's own field only: a field value has no fall-back to the column's field. A
      // misspelt name shows nothing rather than raising in every paint.
      if (dataSet && dataSet->Active() && !footer->FieldName().empty())
        if (TField* field = dataSet->FindField(footer->FieldName()))
          Text = Column->FormatDisplayValue(field, footer->DisplayFormat());
      return;
    case fvtStaticText:
      Text = footer->Value();
      return;
    case fvtNon:
      return;
  }
}

void TCustomDBGridEh::GetFooterParams(int DataCol, int Row, TColumnEh* Column, TFont* AFont,
                                      TColor& Background, TAlignment& Alignment, TGridDrawState State,
                                      std::string& Text) {
  if (OnGetFooterParams)
    OnGetFooterParams(this, DataCol, Row, Column, AFont, Background, Alignment, State, Text);
}

// --- footer cells -----------------------------------------------------------------------------

void TCustomDBGridEh::DrawFooterCell(int ACol, int ARow, int AreaCol, int AreaRow, TCellAreaTypeEh CellType,
                                     const TRect& ARect, TGridDrawState AState) {
  TColumnEh* column = AreaColumn(AreaCol);
  if (!column) return;
  TCanvas* canvas = Canvas();
  const bool is3D = optionsEh_.Contains(dghFooter3D);
  if (is3D) AState.Include(gdFixed);
  const bool themed = IsThemedCell(ACol, ARow, CellType, AreaRow);
  const TGridCellFillStyleEh fillStyle = FooterParams()->GetActualFillStyle();

  // How far the text keeps from the cell's edges.
  TRect textRect = ARect;
  int frame = 1;
  if (!is3D || (themed && fillStyle == cfstGradientEh)) {
    frame = 2;
  } else if (!themed) {
    textRect.Left += 1;
    textRect.Top += 1;
    if (!Flat()) {
      textRect.Right -= 1;
      textRect.Bottom -= 1;
    }
  }
  if (Flat()) frame -= 1;

  // Grand totals of the grouping come first; the column footers follow them.
  TDBGridEhDataGroupsEh* grouping = DataGrouping();
  const bool groupingActive = grouping && grouping->IsGroupingActive();
  const int groupFooters = groupingActive ? grouping->Footers()->GetVisibleCount() : 0;
  const bool selected = FooterCellSelected(this, column);

  TColor background = clWindow;
  TAlignment alignment = taLeftJustify;
  std::string text;
  bool endEllipsis = false;
  bool wordWrap = false;
  int footerRow = AreaRow - groupFooters;

  if (AreaRow < groupFooters) {
    TGridDataGroupFooterEh* groupFooter = grouping->Footers()->GetVisibleItem(AreaRow);
    TGridDataGroupFooterColumnItemEh* item = nullptr;
    int itemIndex = -1;
    for (int i = 0; i < groupFooter->ColumnItems()->Count(); ++i) {
      if (groupFooter->ColumnItems()->Items(i)->Column() == column) {
        item = groupFooter->ColumnItems()->Items(i);
        itemIndex = i;
        break;
      }
    }
    TGroupDataTreeNodeEh* node = GrandTotalNode(grouping, groupFooter);
    const Variant value = node ? node->GetFooterValue(itemIndex) : Variant::Null();
    canvas->Font()->Assign(item ? item->Font() : groupFooter->Font());
    background = item ? item->Color() : groupFooter->Color();
    alignment = item ? item->Alignment() : taRightJustify;
    text = item ? item->GetDisplayText(value) : std::string();

    TGroupFooterParamsEh* params = groupFooterParams_.get();
    params->Color = background;
    params->Font = canvas->Font();
    params->DisplayValue = text;
    params->Value = value;
    params->State = AState;
    if (OnDataGroupGetFooterParams) OnDataGroupGetFooterParams(this, node, item, params);
    background = params->Color;
    text = params->DisplayValue;
    footerRow = AreaRow;
  } else {
    TColumnFooterEh* footer = column->GetFooter(footerRow);
    canvas->Font()->Assign(footer->Font());
    background = footer->Color();
    alignment = footer->Alignment();
    endEllipsis = footer->EndEllipsis();
    wordWrap = footer->WordWrap();
    GetFooterValue(footerRow, column, text);
    const TLivenessWatch watch = Watch();
    GetFooterParams(AreaCol, footerRow, column, canvas->Font(), background, alignment, AState, text);
    if (watch.Gone()) return;
  }

  GetSelectionColors(ACol, canvas->Font(), background, selected, selected, CellType);

  if (DefaultDrawing()) {
    TDBGridEhStyle* style = style_ ? style_ : DBGridEhDefaultStyle();
    TFixedCellParamsEh fill;
    fill.Selected = selected;
    fill.Is3D = is3D;
    fill.FillStyle = fillStyle;
    fill.Color = background;
    fill.SecondColor = clDefault;
    fill.SpareColor = clDefault;
    fill.SplitButtonFill = themed && style && style->ThemeTitleFillElement() == gtfeSplitButtonEh;
    fill.FontColor = canvas->Font()->Color();
    fill.HorzLineColor = clNone;
    fill.VertLineColor = clNone;
    TRect content = ARect;
    if (style) {
      style->DrawTitleCellParams(this, canvas, ARect, true, content, AState, fill);
    } else {
      canvas->Brush()->SetColor(background);
      canvas->FillRect(ARect);
    }
    // Over a gradient or a themed face the text keeps the picture; a plain fill may be repainted.
    const bool opaque = !themed && fill.FillStyle == cfstSolidEh;
    canvas->Brush()->SetColor(background);
    WriteCellTextMirrored(column, canvas, textRect, opaque, frame, frame, text, alignment, tlTop, wordWrap,
                          endEllipsis, 0, 0, column->UseRightToLeftReading(), std::string(), clNone);
  }
  if (is3D && !themed) DrawEdgeBorders(canvas, ARect, gbtRaisedEh, Flat());
  if (AreaRow >= groupFooters && OnDrawFooterCell)
    OnDrawFooterCell(this, AreaCol, footerRow, column, ARect, AState);
}
