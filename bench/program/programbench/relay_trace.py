"""Where the time of a translation goes inside the program, from Wine's
relay trace: every call of the listed functions and every window procedure
call, with a time stamp, written by Wine itself. The program runs unchanged;
only the trace costs a little (the traced total is printed beside the
untraced one).

Wine stamps each line with the tick count, in milliseconds, so each phase is
the mean over a few translations: the stamps fall at random within their
millisecond, and the rounding errors average out. The wineserver moves the
tick count on only when it wakes, at least every 16 ms: while the program
computes without asking the server (extracting and cutting the answer), the
stamps stand still, and a phase of a few milliseconds reads as none. So the
driver keeps the server waking every millisecond while a trace is taken
(fresh_ticks).
"""

import re
import statistics
import subprocess

# The calls that bound the phases; everything else of the program runs between them.
RELAY_INCLUDE = ';'.join([
    'winhttp.*', 'user32.SetWindowTextW', 'user32.InvalidateRect', 'user32.UpdateWindow',
    'user32.SendMessageW',
])
WINEDEBUG = '+timestamp,+relay'
REG_TIMEOUT_S = 60
WM_SIZE = 0x0005

_LINE = re.compile(r'^(\d+)\.(\d{3}):[0-9a-f]+:(Call|Ret) +([\w.]+)')
_HWND = re.compile(r'hwnd=([0-9A-Fa-f]+)')
_MESSAGE = re.compile(r'msg=(\w+)')
_FIRST_ARGUMENT = re.compile(r'\(([0-9a-f]+)(?:,([0-9a-f]+))?')
# The phases, in the order they are printed; the "of which" rows split the
# three SetBoxText rows above them.
BOX_NAMES = ('Arabic', 'English', 'German')
BETWEEN_REPLY_AND_DISPLAY = 'between reply and display (extraction, cutting, conversion)'
CLICK_HANDLED = 'click handled, in all'
PHASES = (
    'click to the exchange (input, checks, busy state, request)',
    'WinHttpSendRequest (connection reused; request out)',
    'WinHttpReceiveResponse (the stand-in answering)',
    'WinHttpQueryDataAvailable and WinHttpReadData',
    'WinHttpCloseHandle',
    BETWEEN_REPLY_AND_DISPLAY,
    *(f'SetBoxText, {name} box' for name in BOX_NAMES),
    '  of which SetWindowTextW (layout)',
    '  of which UpdateWindow (painting)',
    '  of which WM_SIZE (layout again)',
    'after the boxes (idle state, focus, selection)',
    CLICK_HANDLED,
)


def enable(wine_env):
    """Limits the relay trace of the prefix's programs to the calls above.
    Only programs started with WINEDEBUG set to WINEDEBUG trace at all."""
    subprocess.run(['wine', 'reg', 'add', r'HKCU\Software\Wine\Debug', '/v', 'RelayInclude',
                    '/t', 'REG_SZ', '/d', RELAY_INCLUDE, '/f'], env=wine_env, check=True,
                   timeout=REG_TIMEOUT_S, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def _events(log_text):
    """(ms, 'Call' or 'Ret', name, window or first argument, message or second argument)."""
    for line in log_text.splitlines():
        match = _LINE.match(line)
        if not match:
            continue
        seconds, millis, kind, name = match.groups()
        ms = int(seconds) * 1000 + int(millis)
        if name == 'window':  # "Call window proc ADDR (hwnd=...,msg=...)"
            hwnd, message = _HWND.search(line), _MESSAGE.search(line)
            yield ms, kind, 'proc', int(hwnd.group(1), 16), message.group(1)
        else:
            arguments = _FIRST_ARGUMENT.search(line[match.end():])
            first = int(arguments.group(1), 16) if kind == 'Call' and arguments else None
            second = (int(arguments.group(2), 16)
                      if kind == 'Call' and arguments and arguments.group(2) else None)
            yield ms, kind, name.split('.', 1)[-1], first, second


def _calls(events):
    """Matched (name, first argument, second argument, start ms, end ms) of the
    listed functions, in the order they began."""
    open_calls, done = [], []
    for ms, kind, name, first, second in events:
        if name == 'proc':
            continue
        if kind == 'Call':
            open_calls.append([name, first, second, ms, None])
            done.append(open_calls[-1])
        else:
            for call in reversed(open_calls):
                if call[0] == name:
                    call[4] = ms
                    open_calls.remove(call)
                    break
    return [tuple(call) for call in done if call[4] is not None]


def _clicks(events, button):
    """(start ms, end ms, events in between) of each click on the button."""
    start, inside = None, []
    for event in events:
        ms, kind, name, hwnd, message = event
        if name == 'proc' and hwnd == button and message == 'BM_CLICK':
            if kind == 'Call':
                start, inside = ms, []
            elif start is not None:
                yield start, ms, inside
                start = None
        elif start is not None:
            inside.append(event)


def _split(start, end, inside, boxes):
    """The phases of one click, in ms; `boxes` are the output boxes in order."""
    calls = _calls(inside)

    def spent(among, name=None):
        return sum(c[4] - c[3] for c in among if name is None or c[0] == name)

    http = [c for c in calls if c[0].startswith('WinHttp')]
    reading = [c for c in http if c[0] in ('WinHttpQueryDataAvailable', 'WinHttpReadData')]
    on_box = [[c for c in calls if c[1] == box] for box in boxes]
    on_boxes = [c for box_calls in on_box for c in box_calls]
    sizes = [c for c in on_boxes if c[0] == 'SendMessageW' and c[2] == WM_SIZE]
    first_text = min(c[3] for c in on_boxes if c[0] == 'SetWindowTextW')
    closing_after_reading = spent([c for c in http if c[3] >= reading[-1][4]],
                                  'WinHttpCloseHandle')
    last_box_end = max(c[4] for c in on_boxes)
    return dict(zip(PHASES, (
        http[0][3] - start,
        spent(http, 'WinHttpSendRequest'),
        spent(http, 'WinHttpReceiveResponse'),
        spent(reading),
        spent(http, 'WinHttpCloseHandle'),
        first_text - reading[-1][4] - closing_after_reading,
        *(max(c[4] for c in box_calls) - min(c[3] for c in box_calls) for box_calls in on_box),
        spent(on_boxes, 'SetWindowTextW'),
        spent(on_boxes, 'UpdateWindow'),
        spent(sizes),
        end - last_box_end,
        end - start,
    )))


def split_clicks(log_text, button, boxes):
    """The phases of each click on `button` in the log, in ms, in the order
    of the clicks; `boxes` are the output boxes' window numbers."""
    splits = [_split(start, end, inside, boxes)
              for start, end, inside in _clicks(list(_events(log_text)), button)]
    if not splits:
        raise RuntimeError('no traced click on the Translate button')
    return splits


def mean_split(splits):
    """The mean of each phase over some clicks' splits."""
    return {phase: statistics.mean(s[phase] for s in splits) for phase in PHASES}
