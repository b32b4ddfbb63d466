#!/usr/bin/env python3
"""Reads a CSV file (UTF-8, ";" between cells) with Python's csv module and prints its cells:
one line a row, the cells' UTF-8 bytes in hex, separated by commas, so that any byte a cell
holds (quotes, CR, LF, separators) comes through unambiguously."""
import csv
import sys

with open(sys.argv[1], newline="", encoding="utf-8") as f:
    for row in csv.reader(f, delimiter=";", strict=True):
        print(",".join(cell.encode("utf-8").hex() for cell in row))
