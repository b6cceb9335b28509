"""Waiting for a quiet machine before each timed step.

The machine is shared, and the kernel itself stays busy for a few seconds
after a process frees many megabytes (in a virtual machine it hands the
freed pages back to the host): a step timed in that wake runs up to three
times slower. So each timed step first waits until the processors have been
nearly idle for a moment, or until a time limit, after which it goes ahead
and the figures carry the noise.
"""

import pathlib
import time

SAMPLE_S = 0.25
QUIET_SHARE = 0.1  # of all processors together
MAX_WAIT_S = 10.0


def _busy_and_total():
    """Clock ticks of all processors: busy, and in all (guest time is already
    part of user time, so only the first eight fields count)."""
    first_line = pathlib.Path('/proc/stat').read_text().split('\n', 1)[0]
    ticks = [int(value) for value in first_line.split()[1:9]]
    idle = ticks[3] + ticks[4]  # idle and iowait
    return sum(ticks) - idle, sum(ticks)


class QuietGate:
    """Counts the timed steps that had to start on a busy machine."""

    def __init__(self):
        self.steps = 0
        self.busy_starts = 0

    def wait(self):
        self.steps += 1
        deadline = time.monotonic() + MAX_WAIT_S
        busy, total = _busy_and_total()
        while time.monotonic() < deadline:
            time.sleep(SAMPLE_S)
            now_busy, now_total = _busy_and_total()
            if (now_busy - busy) / max(1, now_total - total) < QUIET_SHARE:
                return
            busy, total = now_busy, now_total
        self.busy_starts += 1

    def describe(self):
        return (f'{self.busy_starts} of {self.steps} timed steps started on a busy machine '
                f'(after waiting {MAX_WAIT_S:.0f} s for processors under '
                f'{QUIET_SHARE * 100:.0f} % busy)')
