"""What Linux tells of the Wine process that runs a Windows program: its
private data, open file descriptors and threads. Wine reports no handle,
GDI or USER counts of another process, so these, with the windows and the
handle table entries the driver counts, are what a long run is watched by."""

import dataclasses
import os
import pathlib

# Memory the process has written for itself, in RAM or swapped out: where a
# leak grows. Private_Clean is left out: those pages are copies of files
# that the kernel drops and reads back as memory grows short, so they swing
# with the machine's load and say nothing about the program.
PRIVATE_DATA_FIELDS = ('Private_Dirty:', 'Swap:')


@dataclasses.dataclass(frozen=True)
class LinuxUsage:
    private_data_kib: int
    fds: int
    threads: int


def linux_pid_of(process, exe_name):
    """The Linux process id of the program a harness Popen started. The
    private namespace, the shell and Wine's loader each replace themselves
    by the next with exec, so the Popen's id ends up running the program."""
    cmdline = pathlib.Path(f'/proc/{process.pid}/cmdline').read_bytes()
    if exe_name.encode() not in cmdline:
        raise RuntimeError(f'process {process.pid} runs {cmdline!r}, not {exe_name}')
    return process.pid


def linux_usage(pid):
    private_data_kib = 0
    with open(f'/proc/{pid}/smaps_rollup') as rollup:
        for line in rollup:
            if line.startswith(PRIVATE_DATA_FIELDS):
                private_data_kib += int(line.split()[1])
    return LinuxUsage(private_data_kib, len(os.listdir(f'/proc/{pid}/fd')),
                      len(os.listdir(f'/proc/{pid}/task')))
