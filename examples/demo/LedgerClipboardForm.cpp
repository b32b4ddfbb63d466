// The clipboard window: two data grids over two ledgers, their edit menus and keys, and the
// buttons that export a grid (or its selection) to files and import the text file.
#include "examples/demo/LedgerClipboardForm.h"

#include <string>
#include <utility>

#include "examples/demo/DemoSupport.h"
#include "grid/dbgrid/DBGridEhImpExp.h"
#include "grid/dbgrid/DBGridEhSelection.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"

namespace {

// Every field but the receipt picture, which has no text to move, and the column widths.
const std::pair<const char*, int> kColumns[] = {{"Date", 76},   {"Account", 56}, {"Kind", 34},
                                                {"Amount", 80}, {"Cleared", 50}, {"Note", 110}};

// The exporter counting the records it writes (the title and footer lines are none).
template <class Exporter>
class TRecordCountingExporter : public Exporter {
 public:
  int Records = 0;

 protected:
  void WriteRecord(TColumnsEhList* ColumnsList) override {
    ++Records;
    Exporter::WriteRecord(ColumnsList);
  }
};

class TLedgerClipboardForm : public TForm {
  RTL_CLASS(TLedgerClipboardForm, TForm)
 public:
  TLedgerClipboardForm(TComponent* AOwner, const std::filesystem::path& Folder)
      : TForm(AOwner, 0), folder_(Folder) {
    SetCaption(kLedgerClipboardCaption);
    SetBounds(80, 120, 900, 420);
    BuildButtons();
    TMemoryDataSet* target = CreatePlainLedger(this, kLedgerWrittenEntries);
    target->EmptyDataSet();
    source_ = MakeGrid("SourceGrid", CreatePlainLedger(this, kLedgerWrittenEntries), alLeft);
    source_->SetWidth(450);
    MakeGrid("TargetGrid", target, alClient);
    active_ = source_;
  }

 private:
  void BuildButtons() {
    // Owned by the form, so the buttons are among its components.
    auto* bar = new TPanel(this);
    bar->SetParent(this);
    bar->SetBounds(0, 0, 900, 34);
    bar->SetAlign(alTop);
    int left = 6;
    auto button = [&](const char* caption, TNotifyEvent onClick) {
      auto* b = new TButton(this);
      b->SetParent(bar);
      b->SetBounds(left, 4, 110, 26);
      b->SetCaption(caption);
      b->OnClick = std::move(onClick);
      left += 116;
    };
    button("导出文本", [this](TObject*) { Export<TDBGridEhExportAsText>(kLedgerExportText); });
    button("导出 CSV", [this](TObject*) { Export<TDBGridEhExportAsCSV>(kLedgerExportCsv); });
    button("导出 RTF", [this](TObject*) { Export<TDBGridEhExportAsRTF>(kLedgerExportRtf); });
    button("导入文本", [this](TObject*) { ImportText(); });
  }

  TDBGridEh* MakeGrid(const char* Name, TMemoryDataSet* Ledger, TAlign Align) {
    auto* source = new TDataSource(this);
    source->SetDataSet(Ledger);
    auto* grid = new TDBGridEh(this);
    grid->SetName(Name);
    grid->SetParent(this);
    grid->SetAlign(Align);
    grid->SetDataSource(source);
    for (const auto& [field, width] : kColumns) {
      TColumnEh* column = grid->Columns()->Add();
      column->SetFieldName(field);
      column->SetWidth(width);
      if (std::string(field) == "Kind") ShowLedgerKindAsText(column);
    }
    grid->SetOptions(grid->Options() + dgMultiSelect);
    grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle, gstColumns, gstAll});
    grid->SetAllowedOperations({alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh});
    grid->SetEditActions({geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh});
    grid->SetPopupMenu(MakeEditMenu(grid));
    grid->OnEnter = [this, grid](TObject*) { active_ = grid; };
    return grid;
  }

  // The grid's own edit items: each runs its action on the grid's selection.
  TPopupMenu* MakeEditMenu(TDBGridEh* Grid) {
    auto* menu = new TPopupMenu(this);
    struct Entry {
      const char* caption;
      TShortCut keys;
    };
    const Entry entries[] = {{"剪切", ShortCut('X', TShiftState{ssCtrl})},
                             {"复制", ShortCut('C', TShiftState{ssCtrl})},
                             {"粘贴", ShortCut('V', TShiftState{ssCtrl})},
                             {"删除", ShortCut(VK_DELETE, TShiftState{ssCtrl})}};
    for (int i = 0; i < 4; ++i) {
      auto* item = new TDBGridEhMenuItem(menu);
      item->SetCaption(entries[i].caption);
      item->SetShortCut(entries[i].keys);
      item->SetTag(i + 1);
      item->Grid = Grid;
      menu->Items()->Add(item);
    }
    menu->OnPopup = [menu, Grid](TObject*) {
      const bool allowed[] = {Grid->CheckCutAction(), Grid->CheckCopyAction(), Grid->CheckPasteAction(),
                              Grid->CheckDeleteAction()};
      for (int i = 0; i < 4; ++i) menu->Items()->Items(i)->SetEnabled(allowed[i]);
    };
    return menu;
  }

  // Whether the buttons act on the whole grid: nothing is selected in it.
  bool WholeGrid() const { return active_->Selection()->SelectionType() == gstNon; }

  // The grid exported whole, or its selection when there is one; the rows written are reported.
  template <class Exporter>
  void Export(const char* FileName) {
    std::filesystem::create_directories(folder_);
    const std::string path = (folder_ / FileName).string();
    TRecordCountingExporter<Exporter> exporter;
    exporter.SetDBGridEh(active_);
    exporter.ExportToFile(path, WholeGrid());
    ShowMessage("已导出 " + std::to_string(exporter.Records) + " 行到 " + path);
  }

  // The text file's records from the first record and column on (the rest appended), or over
  // the selection when there is one: what the export wrote reads back where it came from.
  void ImportText() {
    const std::filesystem::path file = folder_ / kLedgerExportText;
    if (!std::filesystem::is_regular_file(file)) {
      ShowMessage("没有可导入的文件 " + file.string() + "：请先导出文本");
      return;
    }
    TDBGridEhImportAsText importer;
    importer.SetDBGridEh(active_);
    importer.ImportFromFile(file.string(), WholeGrid());
    ShowMessage("已导入 " + file.string());
  }

  std::filesystem::path folder_;
  TDBGridEh* source_ = nullptr;
  TDBGridEh* active_ = nullptr;  // the grid last entered: the buttons act on it
};

RTL_IMPLEMENT_CLASS(TLedgerClipboardForm)

}  // namespace

TForm* CreateLedgerClipboardForm(TComponent* Owner, const std::filesystem::path& Folder) {
  InitDBGridEhUnit();
  auto* form = new TLedgerClipboardForm(Owner, Folder);
  form->AfterConstruction();
  return form;
}

TDBGridEh* LedgerClipboardSourceOf(TForm* Form) {
  return Form ? dynamic_cast<TDBGridEh*>(Form->FindComponent("SourceGrid")) : nullptr;
}

TDBGridEh* LedgerClipboardTargetOf(TForm* Form) {
  return Form ? dynamic_cast<TDBGridEh*>(Form->FindComponent("TargetGrid")) : nullptr;
}
