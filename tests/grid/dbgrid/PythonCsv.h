#pragma once
// Python's csv module (";" between cells) as a second reader of the grid's CSV: csv_cells.py,
// beside this file, prints a row a line with each cell's UTF-8 bytes in hex between commas.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using TCsvRowsEh = std::vector<std::vector<std::string>>;

// The cells of the CSV file as Python reads them; one row {"<python failed>"} when it could not.
inline TCsvRowsEh PythonCsvCells(const std::string& Path) {
  const std::string script = (std::filesystem::path(__FILE__).parent_path() / "csv_cells.py").string();
  FILE* pipe = popen(("python3 '" + script + "' '" + Path + "' 2>&1").c_str(), "r");
  std::string lines;
  char buffer[65536];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) lines.append(buffer, n);
  if (!pipe || pclose(pipe) != 0) return {{"<python failed>", lines}};
  TCsvRowsEh rows;
  std::vector<std::string> row(1);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == '\n') {
      rows.push_back(row);
      row.assign(1, "");
    } else if (lines[i] == ',') {
      row.emplace_back();
    } else if (i + 1 < lines.size()) {
      row.back() += static_cast<char>(std::stoi(lines.substr(i++, 2), nullptr, 16));
    }
  }
  return rows;
}
