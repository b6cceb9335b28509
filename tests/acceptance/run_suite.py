#!/usr/bin/env python3
"""Runs acceptance scenarios against Parlivo.exe under Wine.

    run_suite.py --exe build/windows/Parlivo.exe --driver .../parlivo_driver.exe \\
                 --work DIR [--group start_up] [-k PATTERN]

One run shares one virtual display, Wine prefix, stand-in service and driver;
each scenario gets a fresh copy of the program in a folder of its own under
DIR/runs. Needs root (for the private mount namespace that trusts the test
authority), Wine, Xvfb and openssl.
"""

import argparse
import pathlib
import sys
import time
import unittest

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.dont_write_bytecode = True  # keep the source tree clean

from harness import scenario  # noqa: E402
from harness.environment import AcceptanceEnvironment  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--exe', required=True, type=pathlib.Path)
    parser.add_argument('--driver', required=True, type=pathlib.Path)
    parser.add_argument('--work', required=True, type=pathlib.Path)
    parser.add_argument('--group', help='run only scenarios/test_GROUP.py')
    parser.add_argument('-k', dest='patterns', action='append',
                        help='run only tests whose name holds this text')
    options = parser.parse_args()

    loader = unittest.TestLoader()
    loader.testNamePatterns = [f'*{p}*' for p in options.patterns] if options.patterns else None
    pattern = f'test_{options.group}.py' if options.group else 'test_*.py'
    suite = loader.discover(str(HERE / 'scenarios'), pattern=pattern, top_level_dir=str(HERE))
    if suite.countTestCases() == 0:
        print('no scenario matches', file=sys.stderr)
        return 1

    started = time.monotonic()
    with AcceptanceEnvironment(options.work, options.exe, options.driver) as environment:
        scenario.use_environment(environment)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    print(f'acceptance run took {time.monotonic() - started:.1f} s')
    return 0 if result.wasSuccessful() else 1


if __name__ == '__main__':
    sys.exit(main())
