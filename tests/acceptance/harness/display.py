"""A private virtual X display (Xvfb) on a display number no one else uses."""

import os
import select
import subprocess
import time

START_TIMEOUT_S = 20
STOP_TIMEOUT_S = 10


class VirtualDisplay:
    def __init__(self, width, height, log_path=os.devnull):
        self.size = f'{width}x{height}x24'
        self.log_path = log_path
        self._process = None
        self.name = None

    def __enter__(self):
        # Xvfb picks the first free display number itself and writes it, with
        # a line end, to the pipe, so two runs never collide on a guessed
        # number. The pipe stays open until the whole line is in: Xvfb dies
        # if a write to it fails. -noreset keeps it from starting over (and
        # writing again) when its last client leaves.
        read_end, write_end = os.pipe()
        try:
            with open(self.log_path, 'ab') as log:
                self._process = subprocess.Popen(
                    ['Xvfb', '-displayfd', str(write_end), '-screen', '0', self.size,
                     '-nolisten', 'tcp', '-noreset'],
                    pass_fds=(write_end,), stdout=log, stderr=log)
        finally:
            os.close(write_end)
        try:
            line = self._read_line(read_end)
        finally:
            os.close(read_end)
        if not line.strip():
            self.__exit__(None, None, None)
            raise RuntimeError('Xvfb did not start')
        self.name = f':{line.strip()}'
        return self

    @staticmethod
    def _read_line(fd):
        deadline = time.monotonic() + START_TIMEOUT_S
        line = b''
        while not line.endswith(b'\n'):
            ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(fd, 32) if ready else b''
            if not chunk:
                break
            line += chunk
        return line.decode()

    def __exit__(self, *exc):
        if self._process and self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=STOP_TIMEOUT_S)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
