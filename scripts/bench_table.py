#!/usr/bin/env python3
"""Writes the README's performance table from a run of the Win32 benchmarks.

Usage: bench_table.py RESULTS README

RESULTS holds what the benchmarks printed; every line

    ROW <name> | tamsel <value><unit> | baseline <value><unit> | ratio <r> | goal <= <g> | MET

is one row (a row that could not be measured reads "tamsel - | ... | MISSED
(reason)"). The table replaces whatever stands between the lines
<!-- bench-table begin --> and <!-- bench-table end --> in README, with the
date of the run. Every row the table knows is listed, a row missing from
RESULTS as not measured, so that a benchmark that failed cannot drop its
row unnoticed.
"""
import datetime
import re
import sys

BEGIN = "<!-- bench-table begin -->"
END = "<!-- bench-table end -->"

# name: (work, baseline, note on the goal), in the table's order.
ROWS = {
    "startup": ("start to the first complete paint (`tamsel.exe` without arguments)",
                "a bare window program with the same imports and manifest", " (stretch 1.1)"),
    "open-shell32": ("open shell32.dll (184 icons) in the running window to the painted grid",
                     "`ExtractIconExA` loop over every icon, bare window painting them", ""),
    "open-2000": ("open a library of 2,000 icons, to the painted grid",
                  "`ExtractIconExA` loop over every icon, bare window painting them", ""),
    "open-5000": ("open a library of 5,000 icons, to the painted grid",
                  "`ExtractIconExA` loop over every icon, bare window painting them", ""),
    "scroll-5000": ("scroll the library of 5,000 icons page by page to its end: the longest frame, page-down to"
                    " the painted grid", "the median frame of the same scroll", ""),
    "batch-ico": ("`-e shell32.dll OUTDIR -iconindex=0 -desttype=ICO -closewhendone`, whole process",
                  "bare program: `ExtractIconA`, `GetIconInfo`/`GetDIBits`, one .ico per icon", ""),
    "batch-allsizes": ("the same with `-allsizes`, whole process",
                       "`wrestool -x -t14` (icoutils, native Linux)", ""),
    "scan-2000": ("folder scan of 2,000 one-icon libraries in the search pane, per file",
                  "`FindFirstFile` recursion + `ExtractIconExA(path, -1)`", ""),
    "scan-20000": ("folder scan of 20,000 one-icon libraries in the search pane, per file",
                   "`FindFirstFile` recursion + `ExtractIconExA(path, -1)`", ""),
    "scan-linear": ("folder scan: time per file at 20,000 files against 2,000 (linear)",
                    "Tamsel's time per file at 2,000 files", ""),
    "working-set": ("peak working set with shell32.dll open and painted",
                    "bare window with the same imports holding the same 184 icons", ""),
    "cli-icoextract": ("`tamsel-cli -allsizes -iconindex=0` over every icon of the prefix's system files, one call,"
                       " natively", "`icoextract -n N` once per icon (Debian's icoextract)", ""),
    "cli-wine": ("the same", "`tamsel.exe -e FILE -allsizes -iconindex=0` under Wine, one process per file", ""),
    "cli-jobs": ("the same four times over, `-j 2`, two CPUs", "the same with `-j 1`", " (linear 0.5)"),
    "cli-memory": ("peak resident set of `tamsel-cli -allsizes` on a 500 MB library", "the library's size", ""),
}

UNITS = {"ms": " ms", "us": " µs", "MB": " MB"}
LINE = re.compile(r"^ROW (\S+) \| tamsel (\S+) \| baseline (\S+) \| ratio (\S+) \| goal <= (\S+) \| (MET|MISSED)(?: \((.*)\))?\s*$")


def quantity(text):
    """'127.0ms' -> '127.0 ms'; '-' (nothing measured) -> '–'."""
    match = re.match(r"^([0-9.]+)(\D*)$", text)
    if not match:
        return "–" if text == "-" else text
    return match.group(1) + UNITS.get(match.group(2), match.group(2))


def read_rows(path):
    rows = {}
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            match = LINE.match(line.strip())
            if match:
                rows[match.group(1)] = match.groups()[1:]
    return rows


def table(rows, day):
    out = [
        "Latest run of `scripts/bench.sh`: %s. Win32 benchmarks under Wine, every process pinned to one CPU;"
        " the ratio is Tamsel / baseline, both measured alternately in the same run (medians)." % day,
        "",
        "| work | against | Tamsel | baseline | ratio | goal | result |",
        "|---|---|---|---|---|---|---|",
    ]
    names = list(ROWS) + sorted(name for name in rows if name not in ROWS)
    for name in names:
        work, baseline, note = ROWS.get(name, (name, "", ""))
        if name not in rows:
            out.append("| %s | %s | – | – | – | | **not measured** (the benchmark did not report it) |" % (work, baseline))
            continue
        tamsel, base, ratio, goal, result, reason = rows[name]
        goal_text = "≤ " + quantity(goal) + note
        verdict = "met" if result == "MET" else "**missed**"
        if reason:
            verdict += " (%s)" % reason
        out.append("| %s | %s | %s | %s | %s | %s | %s |" % (
            work, baseline, quantity(tamsel), quantity(base), "–" if ratio == "-" else ratio, goal_text, verdict))
    return "\n".join(out)


def main(argv):
    if len(argv) != 3:
        print(__doc__.splitlines()[2], file=sys.stderr)
        return 2
    rows = read_rows(argv[1])
    with open(argv[2], encoding="utf-8") as f:
        readme = f.read()
    begin, end = readme.find(BEGIN), readme.find(END)
    if begin < 0 or end < begin:
        print("%s has no %s ... %s section" % (argv[2], BEGIN, END), file=sys.stderr)
        return 1
    text = table(rows, datetime.date.today().isoformat())
    readme = readme[: begin + len(BEGIN)] + "\n" + text + "\n" + readme[end:]
    with open(argv[2], "w", encoding="utf-8") as f:
        f.write(readme)
    print("%s: %d of %d rows reported" % (argv[2], sum(1 for n in ROWS if n in rows), len(ROWS)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
