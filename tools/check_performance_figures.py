#!/usr/bin/env python3
"""Checks that docs/performance.md quotes its own run.

Usage: check_performance_figures.py [docs/performance.md]

Every figure the goals table gives as "`name` NUMBER" must be the value of
that name in the run's own lines (the fenced block after "## The figures of
this run"), rounded as the table writes it; a name the run did not print
fails too. So the table cannot keep a figure from another run.
"""
import re
import sys
from decimal import ROUND_HALF_UP, Decimal


def run_figures(text):
    block = text.split('## The figures of this run', 1)[1].split('```')[1]
    return dict(re.findall(r'^(\w+): (\S+)$', block, re.M))


def goals_rows(text):
    table = text.split('## The goals', 1)[1].split('\n## ', 1)[0]
    return [line for line in table.splitlines() if line.startswith('| ') and not line.startswith('| Goal ')]


def problems(text):
    run = run_figures(text)
    found = []
    for row in goals_rows(text):
        for name, quoted in re.findall(r'`(\w+)` (\d[\d,]*(?:\.\d+)?)', row):
            if name not in run:
                found.append(f'{name}: quoted as {quoted}, but the run printed no such figure')
                continue
            shown = Decimal(quoted.replace(',', ''))
            measured = Decimal(run[name]).quantize(Decimal(1).scaleb(shown.as_tuple().exponent), ROUND_HALF_UP)
            if measured != shown:
                found.append(f'{name}: the table says {quoted}, the run {run[name]}')
    return found


if __name__ == '__main__':
    path = sys.argv[1] if len(sys.argv) > 1 else 'docs/performance.md'
    with open(path, encoding='utf-8') as doc:
        found = problems(doc.read())
    for problem in found:
        print(f'{path}: {problem}', file=sys.stderr)
    sys.exit(1 if found else 0)
