"""Rounds in turns, the way Parlivo is set beside a floor: each round runs
every program once, one right after the other, and every other round takes
them in the other order, so that none always follows the same one. A ratio
is then read from each round's own pair: the two ran back to back and share
the slow spells of a shared machine, which last several seconds and would
tilt the ratio of two medians taken apart."""

from programbench.figures import median, spread


def in_turns(programs, round_number):
    """The programs in the order of this round."""
    programs = list(programs)
    return programs if round_number % 2 == 0 else programs[::-1]


def pair_ratios(mine, theirs):
    """Each round's own ratio, from two lists of times in round order."""
    if len(mine) != len(theirs):
        raise ValueError(f'{len(mine)} rounds against {len(theirs)}')
    return [a / b for a, b in zip(mine, theirs)]


def describe_pairs(ratios, against):
    """'1.04x the floor (median of 15 rounds' own ratios, 0.91-1.20, spread 28 %)'."""
    return (f'{median(ratios):.2f}x {against} (median of {len(ratios)} rounds\' own ratios, '
            f'{min(ratios):.2f}-{max(ratios):.2f}, spread {spread(ratios) * 100:.0f} %)')
