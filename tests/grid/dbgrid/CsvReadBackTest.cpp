// An exported CSV file read back by another CSV reader, Python's csv module (";" between
// cells): every cell comes back exact, separators, quotes, CR, LF and Chinese included.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "grid/dbgrid/DBGridEhImpExp.h"
#include "platform/rtl/ScopeGuard.h"
#include "tests/grid/dbgrid/DBGridTestSupport.h"
#include "tests/grid/dbgrid/PythonCsv.h"

namespace {

// Cells that a naive reader or writer gets wrong.
const std::vector<std::string> kReadBackNames = {
    "a;b", "say \"hi\"",    "\"", "line1\r\nline2",       "cr\ronly", "lf\nonly",
    "",    "账户;\"引号\"", ";;", "\xF0\x9F\x98\x80 end",
};

class CsvReadBackTest : public DBGridTestBase {
 protected:
  void SetUp() override {
    DBGridTestBase::SetUp();
    std::vector<std::tuple<int, std::string, double>> rows;
    for (size_t i = 0; i < kReadBackNames.size(); ++i)
      rows.emplace_back(static_cast<int>(i + 1), kReadBackNames[i], 2.5);
    AddRows(rows);
    AddColumns({"ID", "NAME"});
  }
  // The grid's cells as every export shows them: the titles, then the records.
  static TCsvRowsEh ExpectedCells() {
    TCsvRowsEh expected = {{"ID", "NAME"}};
    for (size_t i = 0; i < kReadBackNames.size(); ++i)
      expected.push_back({std::to_string(i + 1), kReadBackNames[i]});
    return expected;
  }
};

TEST_F(CsvReadBackTest, PythonsCsvModuleReadsEveryCellBack) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("csv_read_back_" + std::to_string(getpid()) + ".csv");
  TScopeExit removeFile([&] { std::filesystem::remove(file); });
  TDBGridEhExportAsCSV exporter;
  exporter.SetDBGridEh(grid);
  exporter.ExportToFile(file.string(), true);

  EXPECT_EQ(PythonCsvCells(file.string()), ExpectedCells());
}

// For scripts/check_office_roundtrip.sh, which sets OFFICE_SAMPLES_DIR: the same grid as CSV
// and RTF files, and the cells they hold (a row a line, hex cells between commas).
TEST_F(CsvReadBackTest, WritesTheOfficeRoundTripSamples) {
  const char* folder = std::getenv("OFFICE_SAMPLES_DIR");
  if (!folder) GTEST_SKIP() << "OFFICE_SAMPLES_DIR is not set";
  const std::string base = std::string(folder) + "/sample";
  TDBGridEhExportAsCSV csv;
  csv.SetDBGridEh(grid);
  csv.ExportToFile(base + ".csv", true);
  TDBGridEhExportAsRTF rtf;
  rtf.SetDBGridEh(grid);
  rtf.ExportToFile(base + ".rtf", true);
  std::ofstream cells(base + ".cells", std::ios::binary);
  for (const std::vector<std::string>& row : ExpectedCells()) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) cells << ',';
      for (unsigned char ch : row[i]) cells << "0123456789abcdef"[ch >> 4] << "0123456789abcdef"[ch & 15];
    }
    cells << '\n';
  }
  EXPECT_TRUE(cells.good());
}

}  // namespace
