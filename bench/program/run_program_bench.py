#!/usr/bin/env python3
"""Measures Parlivo.exe under Wine beside what it is compared with.

    run_program_bench.py --exe Parlivo.exe --floor empty_window.exe
                         --driver parlivo_driver.exe --work DIR
                         [--starts 25] [--translations 11]

- Size: the file's bytes, and the DLLs it imports, which must all be system DLLs.
- Start-up: Parlivo (with a valid config.ini) and the empty window started in
  turns by the driver, each timed from CreateProcess until its shown window's
  thread is idle and answers.
- Memory: the private memory of the Wine process running Parlivo, read from
  Linux, after start, after a 1 KiB reply, after a 1 MiB reply and after Clear.
- Translation: the time from the click to the filled boxes, less the time the
  stand-in service spends sending its reply, for a 1 KiB and a 1 MiB reply.

Prints each figure beside its goal. Exits 0 when every measurement ran and
its checks held; a missed goal is reported, not failed. Needs what the
acceptance suite needs: root, Wine, Xvfb and openssl.
"""

import argparse
import pathlib
import shutil
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
sys.path[:0] = [str(HERE), str(HERE.parent.parent / 'tests' / 'acceptance')]
sys.dont_write_bytecode = True  # keep the source tree clean

from harness.environment import AcceptanceEnvironment  # noqa: E402
from harness.parlivo_app import ParlivoApp  # noqa: E402
from harness.scenario import GOOD_CONFIG  # noqa: E402
from harness.wine import windows_path  # noqa: E402
from programbench import image, linux_process, machine, startup  # noqa: E402
from programbench.figures import (KIB, MIB, describe_ms, describe_times_ms, goal_line,  # noqa: E402
                                  median, mib)
from programbench.replies import sized_answer  # noqa: E402
from programbench.translation import TranslationBench, clock_offset_us  # noqa: E402

SIZE_GOAL_BYTES = 1_000_000
START_UP_GOAL = 1.3  # times the empty window
GROWTH_GOAL = 3  # times the reply
# "Back down" after Clear: at most this share of the growth stays behind.
KEPT_AFTER_CLEAR_GOAL = 0.1
SMALL_REPLY_BYTES = KIB
LARGE_REPLY_BYTES = MIB
MEMORY_CYCLES = 2
WINDOW_TIMEOUT_S = 30


def parse_options():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--exe', required=True, type=pathlib.Path, help='Parlivo.exe')
    parser.add_argument('--floor', required=True, type=pathlib.Path, help='empty_window.exe')
    parser.add_argument('--driver', required=True, type=pathlib.Path)
    parser.add_argument('--work', required=True, type=pathlib.Path)
    parser.add_argument('--starts', type=int, default=25, help='timed starts of each program')
    parser.add_argument('--translations', type=int, default=11,
                        help='timed translations of each reply size')
    return parser.parse_args()


def copy_into_own_folder(env, exe, name, config=None):
    folder = env.work_dir / 'runs' / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    shutil.copy2(exe, folder / exe.name)
    if config is not None:
        (folder / 'config.ini').write_bytes(config)
    return folder / exe.name


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


def start_translating_app(env, options):
    exe = copy_into_own_folder(env, options.exe, 'translation', GOOD_CONFIG)
    process = env.start_program(exe)
    hwnd = env.driver.call('find', 'PARLIVO', 'Parlivo', WINDOW_TIMEOUT_S * 1000,
                           timeout=WINDOW_TIMEOUT_S + 10)['hwnd']
    app = ParlivoApp(env.driver, hwnd, process)
    return app, linux_process.linux_pid_of(windows_path(exe))


def report_memory(bench, small, large):
    readings, peaks = bench.memory_cycles(small, large, MEMORY_CYCLES)
    for label, values in readings:
        print(f'memory {label}: private dirty {mib(values["private_dirty"])} '
              f'(private clean {mib(values["private_clean"])}, Rss {mib(values["rss"])}, '
              f'Pss {mib(values["pss"])})')
    print('peak resident growth during each 1 MiB translation: '
          + ', '.join(mib(peak) for peak in peaks))
    private = {label: values['private_dirty'] for label, values in readings}
    before = private['after a 1 KiB reply']
    growth = private['after the 1 MiB reply (1)'] - before
    kept = private[f'after Clear ({MEMORY_CYCLES})'] - before
    kept_share = kept / growth if growth > 0 else 0.0
    return [
        goal_line('memory growth with a 1 MiB reply shown',
                  f'{mib(growth)} = {growth / LARGE_REPLY_BYTES:.2f}x the reply',
                  f'< {GROWTH_GOAL}x', growth < GROWTH_GOAL * LARGE_REPLY_BYTES),
        goal_line(f'memory after Clear (cycle {MEMORY_CYCLES})',
                  f'{mib(kept)} above the level before, {kept_share * 100:.0f} % of the growth',
                  f'back down, <= {KEPT_AFTER_CLEAR_GOAL * 100:.0f} % kept',
                  kept_share <= KEPT_AFTER_CLEAR_GOAL),
    ]


def report_translations(bench, answers, rounds):
    results = bench.timed_rounds(answers, rounds)
    lines = []
    for name, runs in results.items():
        print(f'translation, {name}: click to filled boxes '
              f'{describe_times_ms([r.total_us for r in runs])}; the stand-in sending '
              f'{describe_times_ms([r.send_us for r in runs])}; click to the first reply byte '
              f'{describe_times_ms([r.before_reply_us for r in runs])}; last reply byte to '
              f'filled boxes {describe_times_ms([r.after_reply_us for r in runs])}')
        lines.append(goal_line(f'translation overhead, {name}',
                               describe_times_ms([r.overhead_us for r in runs]), 'none'))
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
            app, pid = start_translating_app(env, options)
            offset, bracket = clock_offset_us(env.driver)
            print(f'driver clock + {offset} us = runner clock (read within {bracket} us)')
            bench = TranslationBench(env.driver, env.service, app, pid, offset, gate)
            summary += report_memory(bench, small, large)
            summary += report_translations(bench, {'1 KiB reply': small, '1 MiB reply': large},
                                           options.translations)
        finally:
            env.end_leftovers()
    print(gate.describe())
    print(f'\nParlivo.exe under Wine ({time.monotonic() - started:.0f} s):')
    for line in summary:
        print('  ' + line)
    return 0


if __name__ == '__main__':
    sys.exit(main())
