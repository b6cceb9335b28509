"""The Wine process that runs a Windows program, as Linux sees it: which
process it is, when it has really ended, where its start-up time went, and
its memory."""

import pathlib
import time

PROC = pathlib.Path('/proc')
POLL_S = 0.005
_MEMORY_FIELDS = {'Rss': 'rss', 'Pss': 'pss', 'Private_Clean': 'private_clean',
                  'Private_Dirty': 'private_dirty'}


def linux_pid_of(windows_exe_path):
    """The Linux process running the program: Wine sets its command line to the
    Windows one, which starts with the program's path."""
    wanted = windows_exe_path.lower()
    found = []
    for entry in PROC.iterdir():
        if not entry.name.isdigit():
            continue
        try:
            command = (entry / 'cmdline').read_bytes().split(b'\0')[0].decode(errors='replace')
        except OSError:  # ended meanwhile
            continue
        if command.strip('"').lower() == wanted:
            found.append(int(entry.name))
    if len(found) != 1:
        raise RuntimeError(f'{len(found)} processes run {windows_exe_path}: {found}')
    return found[0]


def wait_gone(pid, timeout_s):
    """Waits until the process has ended on the Linux side too: Wine reports a
    Windows process ended before Linux has unmapped all its memory, and that
    unmapping would otherwise overlap the next measurement."""
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        try:
            state = (PROC / str(pid) / 'stat').read_text().rsplit(')', 1)[1].split()[0]
        except OSError:  # gone and reaped
            return
        if state in ('Z', 'X'):  # gone, not yet reaped
            return
        time.sleep(POLL_S)
    raise RuntimeError(f'process {pid} still runs after {timeout_s} s')


def scheduler_times_us(pid):
    """(running, waiting to run) summed over the process's threads, from the
    scheduler's own accounting (schedstat, in nanoseconds). What a start
    takes beyond the two is time spent blocked, mostly on other processes:
    the wineserver, the X server and the desktop's explorer."""
    running = waiting = 0
    for task in (PROC / str(pid) / 'task').iterdir():
        run_ns, wait_ns, _ = (task / 'schedstat').read_text().split()
        running += int(run_ns)
        waiting += int(wait_ns)
    return running // 1000, waiting // 1000


def read_memory(pid):
    """rss, pss, private_clean and private_dirty in bytes (smaps_rollup).

    Wine gives no private bytes for another process, so the program's own
    memory is read here. The figure that stands for Windows' private bytes
    is private_dirty: the pages only this process maps and has written, that
    is its heaps, stacks and the written data of its DLLs. private_clean is
    left out because it counts DLL file pages that no other process happens
    to map at the moment; it swings by megabytes whenever another Wine
    process, of this prefix or not, maps or drops the same DLL files."""
    values = {}
    for line in (PROC / str(pid) / 'smaps_rollup').read_text().splitlines():
        name, _, rest = line.partition(':')
        if name in _MEMORY_FIELDS:
            values[_MEMORY_FIELDS[name]] = int(rest.split()[0]) * 1024  # the kernel counts kB
    return values


def peak_rss(pid):
    """The largest resident size the process has had (VmHWM), in bytes."""
    for line in (PROC / str(pid) / 'status').read_text().splitlines():
        if line.startswith('VmHWM:'):
            return int(line.split()[1]) * 1024
    raise RuntimeError('no VmHWM in /proc status')


def reset_peak_rss(pid):
    """Starts VmHWM over from the present resident size (clear_refs 5)."""
    (PROC / str(pid) / 'clear_refs').write_text('5')
