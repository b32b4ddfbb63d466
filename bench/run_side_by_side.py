#!/usr/bin/env python3
"""Runs the side-by-side benchmarks (our data path against SQLite in memory) in a way whose
figures can be compared from one run to the next, and prints one summary table at the end.

    python3 bench/run_side_by_side.py [BUILD_DIR] [--repetitions N] [--filter REGEX] [--json OUT]

BUILD_DIR defaults to build-bench (configured with -DBUILD_BENCH=ON, Release). `make bench`
builds it and runs this.

How it runs them:
  * Every benchmark of bench_memory_dataset, bench_memtable, bench_sumlist, bench_row_memory and
    bench_grouping runs alone in a fresh child process (--benchmark_filter=^NAME/), so the heap one benchmark
    leaves never moves another's figure, and a load always starts from a fresh heap (the
    LoadAfterFree and FilterAfterFree benchmarks load and free another data set first, on
    purpose).
  * A round visits every pair once, its sides one after the other, and alternates from round
    to round which side goes first; N rounds (default 5) are made. A slow spell of the shared
    machine so hits both sides of a pair alike.
  * Every figure is the median of the N runs (real time; the CPU-time ratio is shown beside it
    as a cross-check on a loaded machine).
  * A benchmark whose result check fails (SkipWithError) or whose process fails is named with
    its message, gets no figure, and the driver exits with status 1.
To keep the runs on one core, start the driver under taskset: its children inherit the
affinity, e.g. `taskset -c 5 python3 bench/run_side_by_side.py`.

Ratios are speed ratios, "ours / SQLite": SQLite's time divided by ours, so above 1 we are
faster. For memory, SQLite's bytes a row divided by ours.
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

PROGRAMS = ["bench_sumlist", "bench_memtable", "bench_memory_dataset", "bench_row_memory", "bench_grouping"]

# Each of ours against the SQLite work it stands for: (what, ours, theirs). A "theirs" that is
# not SQLite's says so in `what`.
PAIRS = [
    ("footer sum", "BM_Sum_SumList", "BM_Sum_SQLite"),
    ("sum + average + count", "BM_SumAvgCnt_SumList", "BM_SumAvgCnt_SQLite"),
    ("footer sum, sorted by the text field", "BM_SumSorted_SumList", "BM_SumSorted_SQLite"),
    ("footer sum, filtered", "BM_SumFiltered_SumList", "BM_SumFiltered_SQLite"),
    ("table store load", "BM_Load_Table", "BM_Load_SQLite"),
    ("table store index, text field", "BM_IndexName_Table", "BM_IndexName_SQLite"),
    ("table store index, shuffled ids", "BM_IndexId_Table", "BM_IndexId_SQLite"),
    ("table store locate, text field", "BM_LocateName_Table", "BM_LocateName_SQLite"),
    ("table store locate, id", "BM_LocateId_Table", "BM_LocateId_SQLite"),
    ("table store update", "BM_Update_Table", "BM_Update_SQLite"),
    ("data set append", "BM_Append_Memory", "BM_Append_SQLite"),
    ("data set bulk load", "BM_AppendBulk_Memory", "BM_Append_SQLite"),
    ("data set load after a free", "BM_LoadAfterFree_Memory", "BM_LoadAfterFree_SQLite"),
    ("data set scan", "BM_Scan_Memory", "BM_Scan_SQLite"),
    ("data set sort, every row", "BM_Sort_Memory", "BM_Sort_SQLite"),
    ("data set filter", "BM_Filter_Memory", "BM_Filter_SQLite"),
    ("data set filter after a free", "BM_FilterAfterFree_Memory", "BM_FilterAfterFree_SQLite"),
    ("data set locate", "BM_Locate_Memory", "BM_Locate_SQLite"),
    ("data set cold locate", "BM_LocateCold_Memory", "BM_Locate_SQLite"),
    ("grouped view: category, item, footer sum", "BM_Group_Tree", "BM_Group_SQLite"),
    ("grouped by two values (theirs: by category, item)", "BM_GroupTwoValues_Tree", "BM_Group_Tree"),
]

# The rows of the closing summary: (label, ours, theirs). Memory rows follow them.
SUMMARY = [
    ("footer sum", "BM_Sum_SumList", "BM_Sum_SQLite"),
    ("sum + average + count", "BM_SumAvgCnt_SumList", "BM_SumAvgCnt_SQLite"),
    ("footer sum, data set sorted by the text field", "BM_SumSorted_SumList", "BM_SumSorted_SQLite"),
    ("footer sum, filtered data set", "BM_SumFiltered_SumList", "BM_SumFiltered_SQLite"),
    ("table store index on the text field vs CREATE INDEX", "BM_IndexName_Table", "BM_IndexName_SQLite"),
    ("  the same index vs std::sort of the keys, bytes", "BM_IndexName_Table", "BM_SortNamesBytes_Std"),
    ("  the same index vs std::sort of the keys, collation", "BM_IndexName_Table", "BM_SortNamesCollation_Std"),
    ("data set sorted by the text field, every row", "BM_Sort_Memory", "BM_Sort_SQLite"),
    ("load after another 1M-row data set was freed", "BM_LoadAfterFree_Memory", "BM_LoadAfterFree_SQLite"),
    ("filter after the same", "BM_FilterAfterFree_Memory", "BM_FilterAfterFree_SQLite"),
    ("grouped view vs three GROUP BY and the grouped listing", "BM_Group_Tree", "BM_Group_SQLite"),
]
MEMORY = [("data set", "BM_RowBytes_DataSet"), ("table store", "BM_RowBytes_Table"), ("SQLite", "BM_RowBytes_SQLite")]

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def list_benchmarks(exe, pattern):
    out = subprocess.run([exe, "--benchmark_list_tests=true"], check=True, capture_output=True, text=True).stdout
    names = [line.split("/")[0] for line in out.split() if line.startswith("BM_")]
    return [n for n in dict.fromkeys(names) if re.search(pattern, n)]


def work_of(name):
    """BM_Work_Side -> Work: the sides of one pair share it."""
    return name[3:].rsplit("_", 1)[0]


def run_one(exe, name):
    """Runs one benchmark in a fresh process: (real ms, cpu ms, counters) or an error text."""
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as f:
        out_path = f.name
    try:
        proc = subprocess.run(
            [exe, "--benchmark_filter=^%s(/|$)" % name, "--benchmark_out=" + out_path,
             "--benchmark_out_format=json", "--benchmark_color=false"],
            capture_output=True, text=True)
        try:
            with open(out_path) as f:
                runs = [b for b in json.load(f).get("benchmarks", []) if b.get("run_type") == "iteration"]
        except (OSError, ValueError):
            runs = []
    finally:
        os.unlink(out_path)
    for b in runs:
        if b.get("error_occurred"):
            return "check failed: " + b.get("error_message", "?")
    if proc.returncode != 0 or len(runs) != 1:
        tail = (proc.stderr or proc.stdout).strip().splitlines()[-3:]
        return "process failed (status %d): %s" % (proc.returncode, " | ".join(tail))
    b = runs[0]
    scale = TO_MS[b.get("time_unit", "ns")]
    skip = {"name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
            "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit"}
    counters = {k: v for k, v in b.items() if k not in skip and isinstance(v, (int, float))}
    return (b["real_time"] * scale, b["cpu_time"] * scale, counters)


def median(values):
    return statistics.median(values) if values else None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("build", nargs="?", default="build-bench")
    ap.add_argument("--repetitions", type=int, default=5)
    ap.add_argument("--filter", default=".", help="regex on benchmark names (default: all)")
    ap.add_argument("--json", help="also write every run's figures to this file, for a later comparison")
    args = ap.parse_args()

    started = time.time()
    load_before = os.getloadavg()
    groups = []  # (exe, [names of one pair])
    for prog in PROGRAMS:
        exe = os.path.join(args.build, prog)
        if not os.access(exe, os.X_OK):
            sys.exit("missing %s: build with -DBUILD_BENCH=ON first" % exe)
        by_work = {}
        for name in list_benchmarks(exe, args.filter):
            by_work.setdefault(work_of(name), []).append(name)
        groups += [(exe, names) for names in by_work.values()]

    real, cpu, counters, failed = {}, {}, {}, {}
    for round_no in range(args.repetitions):
        for exe, names in groups:
            for name in (names if round_no % 2 == 0 else list(reversed(names))):
                if name in failed:
                    continue
                r = run_one(exe, name)
                if isinstance(r, str):
                    failed[name] = r
                    print("FAILED %s: %s" % (name, r), flush=True)
                    continue
                real.setdefault(name, []).append(r[0])
                cpu.setdefault(name, []).append(r[1])
                for k, v in r[2].items():
                    counters.setdefault(name, {}).setdefault(k, []).append(v)
        print("round %d of %d done (%.0f s)" % (round_no + 1, args.repetitions, time.time() - started), flush=True)

    def med(table, name):
        return median(table.get(name, [])) if name not in failed else None

    print("\nmedians of %d runs, each in a fresh process (real time, ms; spread = max/min - 1)" % args.repetitions)
    print("%-34s %10s %10s %8s" % ("benchmark", "real", "cpu", "spread"))
    for _, names in groups:
        for name in names:
            if name in failed:
                print("%-34s %s" % (name, failed[name]))
            elif name in real:
                spread = max(real[name]) / min(real[name]) - 1 if min(real[name]) > 0 else 0
                print("%-34s %10.2f %10.2f %7.0f%%" % (name, med(real, name), med(cpu, name), 100 * spread))

    def ratio_row(label, ours, theirs):
        a, b = med(real, ours), med(real, theirs)
        ac, bc = med(cpu, ours), med(cpu, theirs)
        if a is None or b is None:
            return "%-52s %s" % (label, "no figure (%s)" % (failed.get(ours) or failed.get(theirs) or "not run"))
        return "%-52s %10.2f %10.2f %9.2fx %9.2fx" % (label, a, b, b / a, bc / ac if ac and bc else float("nan"))

    header = "%-52s %10s %10s %10s %10s" % ("work (1,000,000 records)", "ours ms", "theirs ms", "speed", "cpu speed")
    print("\npairs: speed = theirs / ours from the medians (above 1: ours is faster)")
    print(header)
    for label, ours, theirs in PAIRS:
        if ours in real or theirs in real or ours in failed or theirs in failed:
            print(ratio_row(label, ours, theirs))

    print("\n=== summary: ours / SQLite as a speed ratio (above 1: ours is faster), medians of %d runs ===" %
          args.repetitions)
    print(header)
    for label, ours, theirs in SUMMARY:
        print(ratio_row(label, ours, theirs))
    index_ms = med(real, "BM_IndexName_Table")
    sorts = [(kind, med(real, name)) for kind, name in
             (("bytes", "BM_SortNamesBytes_Std"), ("collation", "BM_SortNamesCollation_Std"))]
    if index_ms and all(ms for _, ms in sorts):
        print("  (index build time / std::sort time: %s; goal <= 1)" %
              ", ".join("%s %.2f" % (kind, index_ms / ms) for kind, ms in sorts))
    mem = {}
    for label, name in MEMORY:
        values = counters.get(name, {}).get("bytes_per_row", [])
        mem[label] = median(values) if values and name not in failed else None
    sqlite_bytes = mem.get("SQLite")
    print("%-52s %s" % ("memory a row (peak resident, bytes)",
                        "  ".join("%s %s" % (k, "%.1f" % v if v is not None else "no figure") for k, v in mem.items())))
    for label in ("data set", "table store"):
        if mem.get(label) and sqlite_bytes:
            print("%-52s %43.2fx" % ("  SQLite bytes / %s bytes" % label, sqlite_bytes / mem[label]))

    if args.json:
        with open(args.json, "w") as f:
            json.dump({"repetitions": args.repetitions, "real_ms": real, "cpu_ms": cpu, "counters": counters,
                       "failed": failed}, f, indent=1)
    load_after = os.getloadavg()
    affinity = sorted(os.sched_getaffinity(0))
    print("\nload average before %.2f %.2f %.2f, after %.2f %.2f %.2f; cpus %s; %d cores online; %.0f s" %
          (*load_before, *load_after, ",".join(map(str, affinity)), os.cpu_count(), time.time() - started))
    if failed:
        print("%d benchmark(s) failed: %s" % (len(failed), ", ".join(sorted(failed))))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
