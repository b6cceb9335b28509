"""Start-up: from CreateProcess to the first idle moment of the shown window,
timed by the driver beside the programs, in alternating rounds."""

import dataclasses

from harness.wine import windows_path
from programbench import linux_process
from programbench.rounds import in_turns

START_TIMEOUT_S = 30
EXIT_TIMEOUT_S = 10


@dataclasses.dataclass
class Program:
    name: str
    exe: object  # pathlib.Path in a folder of its own
    window_class: str
    times_us: list = dataclasses.field(default_factory=list)  # start to idle window
    running_us: list = dataclasses.field(default_factory=list)  # its own threads on a CPU
    waiting_us: list = dataclasses.field(default_factory=list)  # ready but not on a CPU
    private_dirty: list = dataclasses.field(default_factory=list)  # bytes, once started


def start_once(driver, program, gate):
    """One timed start on a quiet machine; the program is ended (by its id)
    and gone before this returns."""
    path = windows_path(program.exe)
    gate.wait()
    answer = driver.call('start_timed', path, program.window_class, START_TIMEOUT_S * 1000,
                         timeout=START_TIMEOUT_S + 10)
    linux_pid = linux_process.linux_pid_of(path)
    answer['running_us'], answer['waiting_us'] = linux_process.scheduler_times_us(linux_pid)
    answer['private_dirty'] = linux_process.read_memory(linux_pid)['private_dirty']
    driver.call('terminate', answer['pid'])
    driver.call('wait_exit', answer['pid'], EXIT_TIMEOUT_S * 1000, timeout=EXIT_TIMEOUT_S + 10)
    linux_process.wait_gone(linux_pid, EXIT_TIMEOUT_S)
    return answer


def measure(driver, programs, rounds, gate, warm_up_rounds=1):
    """Starts every program once a round, in turns. The first rounds fill
    the page cache and are not counted."""
    for round_number in range(warm_up_rounds + rounds):
        for program in in_turns(programs, round_number):
            answer = start_once(driver, program, gate)
            if round_number < warm_up_rounds:
                continue
            program.times_us.append(answer['answered_us'] - answer['started_us'])
            program.running_us.append(answer['running_us'])
            program.waiting_us.append(answer['waiting_us'])
            program.private_dirty.append(answer['private_dirty'])
    return programs
