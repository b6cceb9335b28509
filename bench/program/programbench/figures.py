"""Medians, spreads and the lines that put a figure beside its goal, or alone."""

import statistics

KIB = 1024
MIB = 1024 * 1024


def median(values):
    return statistics.median(values)


def spread(values):
    """(slowest - fastest) / median, the spread used throughout docs/performance.md."""
    middle = median(values)
    return (max(values) - min(values)) / middle if middle else 0.0


def describe_ms(value_us):
    """'123.4 ms' for a time in microseconds."""
    return f'{value_us / 1000:.1f} ms'


def describe_times_ms(values_us):
    """'123.4 ms (110.2-140.8, spread 25 %, n=15)': the median of times in
    microseconds, their range and spread."""
    ms = [v / 1000 for v in values_us]
    return (f'{median(ms):.1f} ms ({min(ms):.1f}-{max(ms):.1f}, '
            f'spread {spread(ms) * 100:.0f} %, n={len(ms)})')


def mib(size_bytes):
    return f'{size_bytes / MIB:.2f} MiB'


def verdict(met):
    return 'met' if met else 'MISSED'


def goal_line(what, figure, goal, met=None):
    """One line of the summary: the figure, its goal and whether it was met."""
    ending = '' if met is None else f' -- {verdict(met)}'
    return f'{what}: {figure} (goal {goal}){ending}'


def info_line(what, figure):
    """One line of the summary for a figure that has no goal."""
    return f'{what}: {figure} (no goal: for information)'
