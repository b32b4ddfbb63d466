#pragma once
// Moving ledger entries between two data grids: the window shows the ledger at the left and an
// empty ledger at the right. Each grid has the edit menu (cut, copy, paste, delete) as its popup
// menu and the same actions on Ctrl+X, Ctrl+C, Ctrl+V and Ctrl+Delete, and Ctrl+F opens the find
// dialog over it (the grids have no search strip to take that key); the buttons above export
// the grid last used (its selection when there is one) to text, CSV and RTF files in the demo's
// output folder, saying how many rows they wrote, and import the text file back into that grid
// (from its first record on, or over its selection), numbers as the grid shows them.
#include <filesystem>

#include "grid/dbgrid/DBGridEh.h"
#include "platform/vcl/Forms.h"

// The window's caption; the main form opens it from its Window menu.
inline constexpr const char* kLedgerClipboardCaption = "账目 — 剪贴板";

// The export files, in Folder (created when missing).
inline constexpr const char* kLedgerExportText = "ledger-selection.txt";
inline constexpr const char* kLedgerExportCsv = "ledger-selection.csv";
inline constexpr const char* kLedgerExportRtf = "ledger-selection.rtf";

TForm* CreateLedgerClipboardForm(TComponent* Owner, const std::filesystem::path& Folder);
// The form's grids (named SourceGrid and TargetGrid); nullptr for another form.
TDBGridEh* LedgerClipboardSourceOf(TForm* Form);
TDBGridEh* LedgerClipboardTargetOf(TForm* Form);
