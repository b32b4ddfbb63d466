#!/usr/bin/env bash
# Checks the grid's CSV and RTF exports against an office suite's readers: LibreOffice, headless,
# converts an exported CSV (";" between cells, UTF-8) and RTF back to files Python reads cell
# for cell, and the cells must be the grid's. Not part of `make test`: it installs LibreOffice
# (about 300 MB) with apt-get when it is missing and takes a minute.
#
#   scripts/check_office_roundtrip.sh [build folder, default build]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"

if ! command -v soffice >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "office round trip: LibreOffice is missing (run as root to install it)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends libreoffice-calc-nogui libreoffice-writer-nogui
fi

if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja
fi
cmake --build "$build" --target grid_dbgrid_tests

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out" "$work/profile"

# The samples: sample.csv, sample.rtf and sample.cells (the cells they hold).
OFFICE_SAMPLES_DIR="$work" "$build/grid_dbgrid_tests" \
  --gtest_filter='CsvReadBackTest.WritesTheOfficeRoundTripSamples' >"$work/samples.log" 2>&1 ||
  { cat "$work/samples.log"; exit 1; }
[ -s "$work/sample.cells" ] || { echo "office round trip: no samples written" >&2; cat "$work/samples.log"; exit 1; }

office() {
  soffice -env:UserInstallation="file://$work/profile" --headless --norestore "$@" >>"$work/office.log" 2>&1
}
# CSV in (";" = 59, '"' = 34, UTF-8 = 76, from line 1, quoted cells as text) and out again the same way.
office --infilter="CSV:59,34,76,1,,0,true" \
  --convert-to 'csv:Text - txt - csv (StarCalc):59,34,76,1,,0,true' --outdir "$work/out" "$work/sample.csv"
# RTF in, HTML out: its table cells are easy to read back.
office --convert-to 'html:HTML (StarWriter)' --outdir "$work/out" "$work/sample.rtf"

python3 - "$work" <<'EOF'
import csv
import html.parser
import sys

work = sys.argv[1]


def expected():
    rows = []
    with open(f"{work}/sample.cells", encoding="ascii") as f:
        for line in f:
            rows.append([bytes.fromhex(cell).decode("utf-8") for cell in line.rstrip("\n").split(",")])
    return rows


class Cells(html.parser.HTMLParser):
    """The text of each table cell, by row; a line break inside a cell as LF."""

    def __init__(self):
        super().__init__()
        self.rows, self.cell = [], None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = []
        elif tag == "br" and self.cell is not None:
            self.cell.append("\n")
        elif tag == "p" and self.cell:
            self.cell.append("\n")

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append("".join(self.cell).strip("\n"))
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell.append(data)


def compare(name, got, want):
    bad = [(i, g, w) for i, (g, w) in enumerate(zip(got, want)) if g != w]
    if len(got) != len(want):
        bad.append(("rows", len(got), len(want)))
    for item in bad:
        print(f"{name}: differs at {item[0]}: got {item[1]!r}, want {item[2]!r}")
    print(f"{name}: {'matches cell for cell' if not bad else 'DIFFERS'} ({len(want)} rows)")
    return not bad


cells = expected()
with open(f"{work}/out/sample.csv", newline="", encoding="utf-8") as f:
    office_csv = list(csv.reader(f, delimiter=";"))
# A spreadsheet cell keeps one kind of line break: CR LF and CR come back as LF.
csv_want = [[c.replace("\r\n", "\n").replace("\r", "\n") for c in row] for row in cells]
csv_got = [[c.replace("\r\n", "\n").replace("\r", "\n") for c in row] for row in office_csv]
ok_csv = compare("CSV", csv_got, csv_want)

parser = Cells()
with open(f"{work}/out/sample.html", encoding="utf-8", errors="replace") as f:
    parser.feed(f.read())
# An RTF reader ignores raw CR and LF in text, so a cell's line breaks do not survive the
# format; HTML collapses runs of white space.
def plain(text):
    return " ".join(text.split())


rtf_want = [[plain(c.replace("\r", "").replace("\n", "")) for c in row] for row in cells]
rtf_got = [[plain(c) for c in row] for row in parser.rows if row]
ok_rtf = compare("RTF", rtf_got, rtf_want)
with open(f"{work}/sample.rtf", "rb") as f:
    print("RTF header:", f.read(12))
sys.exit(0 if ok_csv and ok_rtf else 1)
EOF
