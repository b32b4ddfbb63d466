// The ledger's data grid, described as a window description is stored.
#include "examples/demo/LedgerDBGridDescription.h"

#include "platform/rtl/Filer.h"
#include "platform/rtl/ScopeGuard.h"

// The ledger is kept by its order number (序号), the marker shows it; a drag in the indicator moves
// entries (the window's OnMoveRecords renumbers them). A click on a title sorts the ledger by that
// column instead (a second click turns the order), a Ctrl+click adds the column to the order (the
// ledger is sorted when Ctrl comes up); a double click on a title edge fits the column.
// Rows, columns and rectangles can be selected; typed text searches the read-only order column;
// conditions typed in the filter row under the titles filter the ledger, its drop-down lists
// tick the values to keep (each tick filters at once) and their "(Custom...)" entry opens the
// custom filter dialog. The account column shows the name the entry's account number looks up;
// its cell drops down the list of accounts with their categories under titles, where typing
// moves to the first name that begins with the typed text. Receipts are drawn as pictures.
// The search strip above the titles narrows the rows as the user types.
// Beside the horizontal scroll bar the navigator shows the record count, moves and edits, and
// totals the selected amounts; a click on a total offers to copy it. Every other row is
// tinted and the indicator numbers the records; the footer row sums the amounts and counts the
// entries (kept by the sum list, so no paint walks the records), and tool tips show amounts,
// notes and footers cut by their cells. The detail panel under the current row lists the
// account's other entries; in row panel mode the state, note and receipt take a second line.
const char* const kLedgerDBGridDescription =
    "object LedgerDBGrid: TDBGridEh\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 640\n"
    "  Height = 360\n"
    "  Align = alClient\n"
    "  DrawGraphicData = True\n"
    "  EvenRowColor = 16577515\n"
    "  FooterRowCount = 1\n"
    "  HorzScrollBar.ExtraPanel.Visible = True\n"
    "  Options = [dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, "
    "dgConfirmDelete, dgCancelOnExit, dgMultiSelect]\n"
    "  OptionsEh = [dghFixed3D, dghHighlightFocus, dghClearSelection, dghDialogFind, dghShowRecNo, "
    "dghColumnResize, dghColumnMove, dghExtendVertLines, dghAutoSortMarking, dghIncSearch, "
    "dghRecordMoving, dghDblClickOptimizeColWidth, dghMultiSortMarking]\n"
    "  SearchPanel.Enabled = True\n"
    "  SearchPanel.FilterOnTyping = True\n"
    "  SortLocal = True\n"
    "  SumList.Active = True\n"
    "  STFilter.InstantApply = True\n"
    "  STFilter.Visible = True\n"
    "  RowDetailPanel.Active = True\n"
    "  RowDetailPanel.Height = 130\n"
    "  ColumnDefValues.Title.TitleButton = True\n"
    "  Columns = <\n"
    "    item\n"
    "      FieldName = 'Seq'\n"
    "      ReadOnly = True\n"
    "      Title.Caption = '序号'\n"
    "      Title.SortIndex = 1\n"
    "      Title.SortMarker = smDownEh\n"
    "      Width = 40\n"
    "    end\n"
    "    item\n"
    "      FieldName = 'Date'\n"
    "      Footer.Value = '合  计：'\n"
    "      Footer.ValueType = fvtStaticText\n"
    "      Title.Caption = '日期'\n"
    "      Width = 84\n"
    "    end\n"
    "    item\n"
    "      DropDownShowTitles = True\n"
    "      DropDownWidth = -1\n"
    "      FieldName = 'AccountName'\n"
    "      LookupDisplayFields = 'NAME;CATEGORY'\n"
    "      Title.Caption = '账户'\n"
    "      Width = 90\n"
    "    end\n"
    "    item\n"
    "      FieldName = 'Kind'\n"
    "      KeyList.Strings = (\n"
    "        'I'\n"
    "        'E')\n"
    "      PickList.Strings = (\n"
    "        '收入'\n"
    "        '支出')\n"
    "      Title.Caption = '类型'\n"
    "      Width = 40\n"
    "    end\n"
    "    item\n"
    "      FieldName = 'Amount'\n"
    "      Footer.Alignment = taRightJustify\n"
    "      Footer.DisplayFormat = '￥,0.00'\n"
    "      Footer.ToolTips = True\n"
    "      Footer.ValueType = fvtSum\n"
    "      Title.Caption = '金额'\n"
    "      ToolTips = True\n"
    "      Width = 96\n"
    "    end\n"
    "    item\n"
    "      FieldName = 'Cleared'\n"
    "      InRowLinePos = 1\n"
    "      Title.Caption = '已结清'\n"
    "      Width = 56\n"
    "    end\n"
    "    item\n"
    "      FieldName = 'Note'\n"
    "      Footer.DisplayFormat = '共计0条记录'\n"
    "      Footer.ToolTips = True\n"
    "      Footer.ValueType = fvtCount\n"
    "      InRowLinePos = 1\n"
    "      Title.Caption = '备注'\n"
    "      ToolTips = True\n"
    "      Width = 160\n"
    "    end\n"
    "    item\n"
    "      FieldName = 'Receipt'\n"
    "      InRowLinePos = 1\n"
    "      Title.Caption = '收据'\n"
    "      Width = 48\n"
    "    end>\n"
    "end\n";

TDBGridEh* LoadLedgerDBGrid(TComponent* Owner, TDataSource* Source) {
  auto* grid = new TDBGridEh(Owner);
  TScopeFail freeGrid([grid] { delete grid; });
  if (auto* parent = dynamic_cast<TWinControl*>(Owner)) grid->SetParent(parent);
  ReadComponentFromText(kLedgerDBGridDescription, grid);
  grid->SetDataSource(Source);
  return grid;
}
