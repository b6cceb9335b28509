"""Translations in one running program (Parlivo or its floor, which have the
same controls) against the stand-in: the private memory around a 1 MiB
reply, and the time from the click to the filled boxes beside the stand-in's
own sending time."""

import dataclasses
import time

from harness.parlivo_app import OUTPUT_BOXES
from programbench import linux_process
from programbench.replies import TimedReply, clock_us
from programbench.rounds import in_turns

INPUT_TEXT = 'Guten Morgen'
ANSWER_TIMEOUT_S = 120
BOX_TIMEOUT_S = 10
# Lets the last repaints end before memory is read.
SETTLE_S = 1.0
CLOCK_PROBES = 5


def clock_offset_us(driver):
    """What to add to a driver time to get the runner's clock, from the
    tightest of a few bracketed readings. Wine's performance counter reads
    the same raw monotonic clock, so the offset is normally within the
    bracket of zero; it is measured rather than assumed."""
    best = None
    for _ in range(CLOCK_PROBES):
        before = clock_us()
        driver_now = driver.call('clock')['now_us']
        after = clock_us()
        if best is None or after - before < best[1]:
            best = ((before + after) // 2 - driver_now, after - before)
    return best  # (offset, width of the bracket)


@dataclasses.dataclass
class Translation:
    clicked_us: int  # runner's clock, from here on
    done_us: int
    send_start_us: int
    send_end_us: int
    request: object  # the stand-in's RecordedRequest

    @property
    def total_us(self):
        return self.done_us - self.clicked_us

    @property
    def send_us(self):
        return self.send_end_us - self.send_start_us

    @property
    def overhead_us(self):
        return self.total_us - self.send_us

    @property
    def before_reply_us(self):
        """Click to the stand-in's first byte: the command, WinHTTP, proxy, TLS, request."""
        return self.send_start_us - self.clicked_us

    @property
    def after_reply_us(self):
        """Stand-in's last byte to the filled boxes: reading, extraction, display."""
        return self.done_us - self.send_end_us


class TranslationBench:
    def __init__(self, driver, service, app, linux_pid, clock_offset_us, gate):
        self.gate = gate
        self.driver = driver
        self.service = service
        self.app = app
        self.pid = linux_pid
        self.offset = clock_offset_us

    def box_lengths(self):
        return {name: self.driver.call('text_length', self.app.controls[name])['length']
                for name in OUTPUT_BOXES}

    def clear(self):
        self.app.click('clear')
        self.app.wait_for(lambda: not any(self.box_lengths().values()), BOX_TIMEOUT_S,
                          'the boxes emptying')

    def translate(self, answer, input_text=INPUT_TEXT):
        """One translation of `input_text` answered with `answer` (a
        SizedAnswer), timed; checks that each box shows its whole section."""
        self.clear()
        self.app.set_input(input_text)
        reply = TimedReply(answer.body)
        self.service.reply_with(reply)
        self.gate.wait()
        timing = self.driver.call('click_timed', self.app.controls['translate'],
                                  self.app.controls['german'], ANSWER_TIMEOUT_S * 1000,
                                  timeout=ANSWER_TIMEOUT_S + 10)
        expected = {name: len(text.encode('utf-16-le')) // 2
                    for name, text in answer.boxes.items()}
        shown = self.box_lengths()
        if shown != expected:
            raise AssertionError(f'boxes hold {shown} code units, the answer {expected}')
        # The stand-in notes the end of its sending on its own thread.
        self.app.wait_for(lambda: reply.sends, BOX_TIMEOUT_S, "the stand-in's record of its reply")
        if len(reply.sends) != 1:
            raise AssertionError(f'the stand-in answered {len(reply.sends)} requests, not 1')
        (send_start, send_end), = reply.sends
        return Translation(timing['clicked_us'] + self.offset, timing['done_us'] + self.offset,
                           send_start, send_end, self.service.requests[-1])

    def memory(self):
        time.sleep(SETTLE_S)
        return linux_process.read_memory(self.pid)

    def memory_cycles(self, small, large, cycles):
        """Private memory after start, after a small reply (which loads what
        every translation needs), then after each large reply and each Clear;
        with the peak resident size during each large translation."""
        readings = [('after start', self.memory())]
        self.translate(small)
        readings.append(('after a 1 KiB reply', self.memory()))
        peaks = []
        for cycle in range(1, cycles + 1):
            linux_process.reset_peak_rss(self.pid)
            resident = linux_process.read_memory(self.pid)['rss']
            self.translate(large)
            peaks.append(linux_process.peak_rss(self.pid) - resident)
            readings.append((f'after the 1 MiB reply ({cycle})', self.memory()))
            self.clear()
            readings.append((f'after Clear ({cycle})', self.memory()))
        return readings, peaks


def timed_rounds(benches, cases, rounds):
    """`rounds` translations of each case by each program, in turns, so that
    a slow moment of the machine falls on all alike. `benches` maps a program
    to its TranslationBench, `cases` a name to (answer, input text). Returns
    {(program, case): [Translation]}."""
    results = {(program, case): [] for program in benches for case in cases}
    for round_number in range(rounds):
        programs = in_turns(benches.items(), round_number)
        for case, (answer, input_text) in cases.items():
            for program, bench in programs:
                try:
                    results[program, case].append(bench.translate(answer, input_text))
                except Exception as error:
                    error.add_note(f'translating for the {case} in {program}')
                    raise
    return results
