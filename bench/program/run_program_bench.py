#!/usr/bin/env python3
"""Measures Parlivo.exe under Wine beside what it is compared with.

    run_program_bench.py --exe Parlivo.exe --floor empty_window.exe
                         --translation-floor bare_translator.exe
                         --driver parlivo_driver.exe --work DIR
                         [--starts 25] [--translations 11]

- Size: the file's bytes, and the DLLs it imports, which must all be system DLLs.
- Start-up: Parlivo (with a valid config.ini) and the empty window started in
  turns by the driver, each timed from CreateProcess until its shown window's
  thread is idle and answers.
- Translation, Parlivo beside its floor (bare_translator: the same window,
  WinHTTP calls and box filling, and nothing else), both running side by
  side: the private memory of each Wine process, read from Linux, around a
  1 MiB reply; the time from the click to the filled boxes and from the
  stand-in's last reply byte to the filled boxes, for a 1 KiB, a 48 KiB (a
  long answer to a 10,000-character text) and a 1 MiB reply, in turns; how
  the request reached the stand-in; and, from Wine's relay trace, where the
  time of a 1 KiB translation goes in each program.

Prints each figure beside its goal. Exits 0 when every measurement ran and
its checks held (each box shows its whole section, the stand-in answered one
request per translation, the floor sent Parlivo's very request); a missed
goal is reported, not failed. Needs what the acceptance suite needs: root,
Wine, Xvfb and openssl.
"""

import argparse
import pathlib
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
sys.path[:0] = [str(HERE), str(HERE.parent.parent / 'tests' / 'acceptance')]
sys.dont_write_bytecode = True  # keep the source tree clean

from harness.environment import AcceptanceEnvironment  # noqa: E402
from harness.parlivo_app import OUTPUT_BOXES  # noqa: E402
from harness.scenario import GOOD_CONFIG  # noqa: E402
from programbench import image, machine, relay_trace, startup  # noqa: E402
from programbench.contenders import (CORNERS, TRACED_CORNERS, copy_into_own_folder,  # noqa: E402
                                     end_contenders, start_contenders)
from programbench.figures import (KIB, MIB, describe_ms, describe_times_ms, goal_line,  # noqa: E402
                                  median, mib)
from programbench.replies import long_input, sized_answer  # noqa: E402
from programbench.translation import INPUT_TEXT, clock_offset_us, timed_rounds  # noqa: E402

SIZE_GOAL_BYTES = 1_000_000
START_UP_GOAL = 1.3  # times the empty window
FLOOR_GOAL = 1.1  # times the floor, for time and memory
AFTER_REPLY_GOAL_US = 10_000  # more than the floor, last reply byte to filled boxes
# "Back down" after Clear: at most this share of the growth stays behind.
KEPT_AFTER_CLEAR_GOAL = 0.1
SMALL_REPLY_BYTES = KIB
LARGE_REPLY_BYTES = MIB
SMALL_CASE = '1 KiB reply'
# Name -> (reply bytes, the input text that asks for it).
CASES = {
    SMALL_CASE: (SMALL_REPLY_BYTES, lambda: INPUT_TEXT),
    '48 KiB reply': (48 * KIB, long_input),
    '1 MiB reply': (LARGE_REPLY_BYTES, lambda: INPUT_TEXT),
}
MEMORY_CYCLES = 2
TRACED_TRANSLATIONS = 5


def parse_options():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--exe', required=True, type=pathlib.Path, help='Parlivo.exe')
    parser.add_argument('--floor', required=True, type=pathlib.Path, help='empty_window.exe')
    parser.add_argument('--translation-floor', required=True, type=pathlib.Path,
                        help='bare_translator.exe')
    parser.add_argument('--driver', required=True, type=pathlib.Path)
    parser.add_argument('--work', required=True, type=pathlib.Path)
    parser.add_argument('--starts', type=int, default=25, help='timed starts of each program')
    parser.add_argument('--translations', type=int, default=11,
                        help='timed translations of each reply size')
    return parser.parse_args()


def report_size(options, env):
    found = image.inspect(options.exe, env.wine.prefix)
    static = not found['foreign_imports'] and not found['dlls_beside']
    print(f'Parlivo.exe: {found["bytes"]:,} bytes, imports {", ".join(found["imports"])}; '
          f'imports outside the system DLLs: {found["foreign_imports"] or "none"}; '
          f'DLLs beside it: {found["dlls_beside"] or "none"}; '
          f'the empty window: {options.floor.stat().st_size:,} bytes')
    return [
        goal_line('size', f'{found["bytes"] / KIB:.0f} KiB ({found["bytes"]:,} bytes)',
                  '< 1 MB', found['bytes'] < SIZE_GOAL_BYTES),
        goal_line('static', 'imports system DLLs only, no DLL beside it' if static
                  else 'needs DLLs that Windows does not have', 'one file', static),
    ]


def report_start_up(options, env, gate):
    parlivo = startup.Program('Parlivo', copy_into_own_folder(
        env, options.exe, 'start-up-parlivo', GOOD_CONFIG), 'PARLIVO')
    floor = startup.Program('the empty window', copy_into_own_folder(
        env, options.floor, 'start-up-empty-window'), 'EMPTY_WINDOW')
    startup.measure(env.driver, [parlivo, floor], options.starts, gate)
    for program in (parlivo, floor):
        blocked = [total - running - waiting for total, running, waiting
                   in zip(program.times_us, program.running_us, program.waiting_us)]
        print(f'start-up of {program.name}: {describe_times_ms(program.times_us)}; '
              f'medians of its own threads: running {describe_ms(median(program.running_us))}, '
              f'waiting for a CPU {describe_ms(median(program.waiting_us))}, '
              f'blocked on other processes {describe_ms(median(blocked))}; private dirty memory '
              f'once started {mib(median(program.private_dirty))}')
    ratio = median(parlivo.times_us) / median(floor.times_us)
    print(f'start-up ratios: fastest starts {min(parlivo.times_us) / min(floor.times_us):.2f}x, '
          f'running time {median(parlivo.running_us) / median(floor.running_us):.2f}x')
    extra_ms = (median(parlivo.times_us) - median(floor.times_us)) / 1000
    return [goal_line('start-up', f'{ratio:.2f}x the empty window ({extra_ms:+.1f} ms)',
                      f'<= {START_UP_GOAL}x', ratio <= START_UP_GOAL)]


def memory_growth(contender, small, large):
    readings, peaks = contender.bench.memory_cycles(small, large, MEMORY_CYCLES)
    for label, values in readings:
        print(f'memory of {contender.name} {label}: private dirty {mib(values["private_dirty"])} '
              f'(private clean {mib(values["private_clean"])}, Rss {mib(values["rss"])}, '
              f'Pss {mib(values["pss"])})')
    print(f'peak resident growth of {contender.name} during each 1 MiB translation: '
          + ', '.join(mib(peak) for peak in peaks))
    private = {label: values['private_dirty'] for label, values in readings}
    before = private['after a 1 KiB reply']
    return private['after the 1 MiB reply (1)'] - before, private[f'after Clear ({MEMORY_CYCLES})'] - before


def report_memory(parlivo, floor, small, large):
    growth, kept = memory_growth(parlivo, small, large)
    floor_growth, _ = memory_growth(floor, small, large)
    kept_share = kept / growth if growth > 0 else 0.0
    ratio = growth / floor_growth
    return [
        goal_line('memory growth with a 1 MiB reply shown',
                  f'Parlivo {mib(growth)} = {growth / LARGE_REPLY_BYTES:.2f}x the reply, the floor '
                  f'{mib(floor_growth)}: {ratio:.2f}x the floor',
                  f'<= {FLOOR_GOAL}x the floor', ratio <= FLOOR_GOAL),
        goal_line(f'memory after Clear (cycle {MEMORY_CYCLES})',
                  f'{mib(kept)} above the level before, {kept_share * 100:.0f} % of the growth',
                  f'back down, <= {KEPT_AFTER_CLEAR_GOAL * 100:.0f} % kept',
                  kept_share <= KEPT_AFTER_CLEAR_GOAL),
    ]


def check_same_requests(results, parlivo, floor):
    """The floor stands for Parlivo only if it sends the very same request."""
    for case in CASES:
        mine, its = results[parlivo.name, case][0].request, results[floor.name, case][0].request
        for what in ('method', 'path_and_query', 'headers', 'body'):
            if getattr(mine, what) != getattr(its, what):
                raise AssertionError(f'{case}: the floor sends another {what} than Parlivo')


def arrival(runs):
    """How the requests reached the stand-in: reads per request and the time
    from the first read to the last."""
    reads = [len(r.request.reads) for r in runs]
    spans = [(r.request.reads[-1][0] - r.request.reads[0][0]) / 1000 for r in runs]
    return f'{min(reads)}-{max(reads)} reads over {describe_times_ms(spans)}'


def report_translations(parlivo, floor, cases, rounds):
    results = timed_rounds({c.name: c.bench for c in (parlivo, floor)}, cases, rounds)
    check_same_requests(results, parlivo, floor)
    lines = []
    for case in cases:
        for contender in (parlivo, floor):
            runs = results[contender.name, case]
            print(f'translation, {case}, {contender.name}: click to filled boxes '
                  f'{describe_times_ms([r.total_us for r in runs])}; the stand-in sending '
                  f'{describe_times_ms([r.send_us for r in runs])}; click to the first reply byte '
                  f'{describe_times_ms([r.before_reply_us for r in runs])}; last reply byte to '
                  f'filled boxes {describe_times_ms([r.after_reply_us for r in runs])}; the '
                  f'request came in {arrival(runs)}')
        # Each round's two translations ran one right after the other, so
        # their ratio is spared the slow spells of a shared machine that
        # last several seconds and would tilt the ratio of two medians.
        pairs = list(zip(results[parlivo.name, case], results[floor.name, case]))
        ratio = median([mine.total_us / its.total_us for mine, its in pairs])
        totals = [median([pair[side].total_us for pair in pairs]) for side in (0, 1)]
        lines.append(goal_line(f'click to filled boxes, {case}',
                               f'{ratio:.2f}x the floor (median of {len(pairs)} rounds; medians '
                               f'{describe_ms(totals[0])} against {describe_ms(totals[1])})',
                               f'<= {FLOOR_GOAL}x the floor', ratio <= FLOOR_GOAL))
        if case == SMALL_CASE:
            extra_us = median([mine.after_reply_us - its.after_reply_us for mine, its in pairs])
            lines.append(goal_line(f'last reply byte to filled boxes, {case}',
                                   f'{describe_ms(extra_us)} more than the floor (median of '
                                   f'{len(pairs)} rounds)',
                                   f'<= {describe_ms(AFTER_REPLY_GOAL_US)} more',
                                   extra_us <= AFTER_REPLY_GOAL_US))
    return lines


def report_split(env, options, gate, offset, small):
    """The 1 KiB translation phase by phase, from Wine's relay trace of both programs."""
    relay_trace.enable(env.wine.env)
    contenders = start_contenders(env, options, gate, offset, TRACED_CORNERS,
                                  {'WINEDEBUG': relay_trace.WINEDEBUG})
    try:
        splits = {}
        for contender in contenders:
            for _ in range(TRACED_TRANSLATIONS + 1):  # the first is not counted
                contender.bench.translate(small)
            log = (contender.exe.parent / 'wine.log').read_text(errors='replace')
            controls = contender.app.controls
            splits[contender.name], count = relay_trace.split_translations(
                log, controls['translate'], [controls[box] for box in OUTPUT_BOXES])
    finally:
        end_contenders(env, contenders)
    print(f'where a 1 KiB translation goes, from the relay trace (means of {count}, ms; '
          'the trace itself slows the program a little):')
    print(f'  {"Parlivo":>8} {"floor":>8}  phase')
    for phase in relay_trace.PHASES:
        print(f'  {splits["Parlivo"][phase]:8.1f} {splits["the floor"][phase]:8.1f}  {phase}')
    return []


def main():
    options = parse_options()
    started = time.monotonic()
    small, large = sized_answer(SMALL_REPLY_BYTES), sized_answer(LARGE_REPLY_BYTES)
    summary = []
    gate = machine.QuietGate()
    with AcceptanceEnvironment(options.work, options.exe, options.driver) as env:
        try:
            summary += report_size(options, env)
            summary += report_start_up(options, env, gate)
            offset, bracket = clock_offset_us(env.driver)
            print(f'driver clock + {offset} us = runner clock (read within {bracket} us)')
            parlivo, floor = start_contenders(env, options, gate, offset, CORNERS)
            try:
                summary += report_memory(parlivo, floor, small, large)
                cases = {name: (sized_answer(size), text()) for name, (size, text) in CASES.items()}
                summary += report_translations(parlivo, floor, cases, options.translations)
            finally:
                end_contenders(env, (parlivo, floor))
            summary += report_split(env, options, gate, offset, small)
        finally:
            env.end_leftovers()
    print(gate.describe())
    print(f'\nParlivo.exe under Wine ({time.monotonic() - started:.0f} s):')
    for line in summary:
        print('  ' + line)
    return 0


if __name__ == '__main__':
    sys.exit(main())
