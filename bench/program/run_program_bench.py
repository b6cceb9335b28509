#!/usr/bin/env python3
"""Measures Parlivo.exe under Wine beside what it is compared with.

    run_program_bench.py --exe Parlivo.exe --bare-translator bare_translator.exe
                         --empty-window empty_window.exe
                         --driver parlivo_driver.exe --work DIR
                         [--starts 25] [--translations 11] [--traced-translations 5]

- Size: the file's bytes, and the DLLs it imports, which must all be system DLLs.
- Start-up: Parlivo, its floor (bare_translator: reads the same config.ini,
  builds the same window, controls, font, menu and accelerators, and nothing
  else) and the empty window started in turns by the driver, each timed from
  CreateProcess until its shown window's thread is idle and answers; the
  goal is held against each round's own ratio to the floor.
- Translation, Parlivo beside its floor (the same window, WinHTTP calls and
  box filling, and nothing else), both running side by side: the private
  memory of each Wine process, read from Linux, around a 1 MiB reply; the
  time from the click to the filled boxes and from the stand-in's last reply
  byte to the filled boxes, for a 1 KiB, a 48 KiB (a long answer to a
  10,000-character text) and a 1 MiB reply, in turns; how the request
  reached the stand-in; and, from Wine's relay trace, where the time of a
  translation of each size goes in each program, with the share of
  extraction and cutting in Parlivo's.

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
                                  info_line, median, mib)
from programbench.replies import long_input, sized_answer  # noqa: E402
from programbench.rounds import describe_pairs, pair_ratios  # noqa: E402
from programbench.translation import INPUT_TEXT, clock_offset_us, timed_rounds  # noqa: E402

SIZE_GOAL_BYTES = 1_000_000
FLOOR_GOAL = 1.1  # times the floor, for start-up, time and memory
# Of a translation's time from click to filled boxes, for extraction and cutting.
EXTRACTION_SHARE_GOAL = 0.01
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


def parse_options():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--exe', required=True, type=pathlib.Path, help='Parlivo.exe')
    parser.add_argument('--bare-translator', required=True, type=pathlib.Path,
                        help='bare_translator.exe, the floor')
    parser.add_argument('--empty-window', required=True, type=pathlib.Path,
                        help='empty_window.exe, for information')
    parser.add_argument('--driver', required=True, type=pathlib.Path)
    parser.add_argument('--work', required=True, type=pathlib.Path)
    parser.add_argument('--starts', type=int, default=25, help='timed starts of each program')
    parser.add_argument('--translations', type=int, default=11,
                        help='timed translations of each reply size')
    parser.add_argument('--traced-translations', type=int, default=5,
                        help='translations of each reply size under the relay trace')
    return parser.parse_args()


def report_size(options, env):
    found = image.inspect(options.exe, env.wine.prefix)
    static = not found['foreign_imports'] and not found['dlls_beside']
    print(f'Parlivo.exe: {found["bytes"]:,} bytes, imports {", ".join(found["imports"])}; '
          f'imports outside the system DLLs: {found["foreign_imports"] or "none"}; '
          f'DLLs beside it: {found["dlls_beside"] or "none"}; '
          f'the empty window: {options.empty_window.stat().st_size:,} bytes')
    return [
        goal_line('size', f'{found["bytes"] / KIB:.0f} KiB ({found["bytes"]:,} bytes)',
                  '< 1 MB', found['bytes'] < SIZE_GOAL_BYTES),
        goal_line('static', 'imports system DLLs only, no DLL beside it' if static
                  else 'needs DLLs that Windows does not have', 'one file', static),
    ]


def report_start_up(options, env, gate):
    parlivo = startup.Program('Parlivo', copy_into_own_folder(
        env, options.exe, 'start-up-parlivo', GOOD_CONFIG), 'PARLIVO')
    floor = startup.Program('the bare translator', copy_into_own_folder(
        env, options.bare_translator, 'start-up-bare-translator', GOOD_CONFIG), 'BARE_TRANSLATOR')
    empty = startup.Program('the empty window', copy_into_own_folder(
        env, options.empty_window, 'start-up-empty-window'), 'EMPTY_WINDOW')
    # Parlivo and its floor stand next to each other in either order of the turns.
    startup.measure(env.driver, [parlivo, floor, empty], options.starts, gate)
    for program in (parlivo, floor, empty):
        blocked = [total - running - waiting for total, running, waiting
                   in zip(program.times_us, program.running_us, program.waiting_us)]
        print(f'start-up of {program.name}: {describe_times_ms(program.times_us)}; '
              f'medians of its own threads: running {describe_ms(median(program.running_us))}, '
              f'waiting for a CPU {describe_ms(median(program.waiting_us))}, '
              f'blocked on other processes {describe_ms(median(blocked))}; private dirty memory '
              f'once started {mib(median(program.private_dirty))}')
    print(f'start-up against the bare translator: fastest starts '
          f'{min(parlivo.times_us) / min(floor.times_us):.2f}x, running time '
          f'{median(parlivo.running_us) / median(floor.running_us):.2f}x')

    def against(other):
        ratios = pair_ratios(parlivo.times_us, other.times_us)
        return median(ratios), (f'{describe_pairs(ratios, other.name)}; medians '
                                f'{describe_ms(median(parlivo.times_us))} against '
                                f'{describe_ms(median(other.times_us))}')

    ratio, figure = against(floor)
    return [goal_line('start-up', figure, f'<= {FLOOR_GOAL}x the bare translator',
                      ratio <= FLOOR_GOAL),
            info_line('start-up beside the empty window', against(empty)[1])]


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
        mine, its = ([r.total_us for r in results[c.name, case]] for c in (parlivo, floor))
        ratios = pair_ratios(mine, its)
        lines.append(goal_line(f'click to filled boxes, {case}',
                               f'{describe_pairs(ratios, "the floor")}; medians '
                               f'{describe_ms(median(mine))} against {describe_ms(median(its))}',
                               f'<= {FLOOR_GOAL}x the floor', median(ratios) <= FLOOR_GOAL))
        if case == SMALL_CASE:
            pairs = list(zip(results[parlivo.name, case], results[floor.name, case]))
            extra_us = median([a.after_reply_us - b.after_reply_us for a, b in pairs])
            lines.append(goal_line(f'last reply byte to filled boxes, {case}',
                                   f'{describe_ms(extra_us)} more than the floor (median of '
                                   f'{len(pairs)} rounds)',
                                   f'<= {describe_ms(AFTER_REPLY_GOAL_US)} more',
                                   extra_us <= AFTER_REPLY_GOAL_US))
    return lines


def traced_splits(env, options, gate, offset, cases):
    """{(program, case): the mean of each phase} from Wine's relay trace of
    both programs, over `options.traced_translations` of each case."""
    relay_trace.enable(env.wine.env)
    contenders = start_contenders(env, options, gate, offset, TRACED_CORNERS,
                                  {'WINEDEBUG': relay_trace.WINEDEBUG})
    traced = options.traced_translations
    splits = {}
    env.driver.call('fresh_ticks', 1)  # stamps to the millisecond, computing or not
    try:
        for contender in contenders:
            # The first translation also loads WinHTTP and shakes hands: not counted.
            contender.bench.translate(*cases[SMALL_CASE])
            for answer, input_text in cases.values():
                for _ in range(traced):
                    contender.bench.translate(answer, input_text)
            log = (contender.exe.parent / 'wine.log').read_text(errors='replace')
            controls = contender.app.controls
            clicks = relay_trace.split_clicks(log, controls['translate'],
                                              [controls[box] for box in OUTPUT_BOXES])[1:]
            if len(clicks) != traced * len(cases):
                raise RuntimeError(f'{len(clicks)} traced clicks in {contender.name}, '
                                   f'not {traced * len(cases)}')
            for index, case in enumerate(cases):
                splits[contender.name, case] = relay_trace.mean_split(
                    clicks[index * traced:(index + 1) * traced])
    finally:
        env.driver.call('fresh_ticks', 0)
        end_contenders(env, contenders)
    return splits


def report_split(env, options, gate, offset, cases):
    """Each reply size's translation phase by phase in both programs, and the
    share of extraction and cutting in Parlivo's."""
    splits = traced_splits(env, options, gate, offset, cases)
    print(f'where a translation goes, from the relay trace (means of '
          f'{options.traced_translations}, ms; the trace itself slows the program a little):')
    print('  ' + ''.join(f'{case:>18}' for case in cases))
    print('  ' + f'{"Parlivo":>9}{"floor":>9}' * len(cases) + '  phase')
    for phase in relay_trace.PHASES:
        print('  ' + ''.join(f'{splits[name, case][phase]:9.1f}'
                             for case in cases for name in ('Parlivo', 'the floor'))
              + f'  {phase}')
    lines = []
    for case in cases:
        split = splits['Parlivo', case]
        between = split[relay_trace.BETWEEN_REPLY_AND_DISPLAY]
        total = split[relay_trace.CLICK_HANDLED]
        share = between / total
        lines.append(goal_line(f'extraction and cutting, {case}',
                               f'{share * 100:.2f} % of the translation ({between:.1f} of the '
                               f'{total:.1f} ms that the click took, relay trace, mean of '
                               f'{options.traced_translations})',
                               f'<= {EXTRACTION_SHARE_GOAL * 100:.0f} %',
                               share <= EXTRACTION_SHARE_GOAL))
    return lines


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
            cases = {name: (sized_answer(size), text()) for name, (size, text) in CASES.items()}
            parlivo, floor = start_contenders(env, options, gate, offset, CORNERS)
            try:
                summary += report_memory(parlivo, floor, small, large)
                summary += report_translations(parlivo, floor, cases, options.translations)
            finally:
                end_contenders(env, (parlivo, floor))
            summary += report_split(env, options, gate, offset, cases)
        finally:
            env.end_leftovers()
    print(gate.describe())
    print(f'\nParlivo.exe under Wine ({time.monotonic() - started:.0f} s):')
    for line in summary:
        print('  ' + line)
    return 0


if __name__ == '__main__':
    sys.exit(main())
