"""Talks to the acceptance driver (driver.exe) running under Wine.

One request per line (command and arguments separated by tabs), one JSON
answer per line. Every call has a time limit, so a stuck driver fails the
test instead of hanging it.
"""

import json
import queue
import subprocess
import threading

CALL_TIMEOUT_S = 30
QUIT_TIMEOUT_S = 10


class DriverError(Exception):
    """The driver refused or failed a command."""


def _escape(argument):
    text = str(argument)
    return (text.replace('\\', '\\\\').replace('\t', '\\t')
            .replace('\n', '\\n').replace('\r', '\\r'))


class Driver:
    def __init__(self, wine_command, driver_exe, env, log_path):
        with open(log_path, 'ab') as log:
            self._process = subprocess.Popen(
                [*wine_command, driver_exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                stderr=log, env=env)
        self._answers = queue.Queue()
        threading.Thread(target=self._read_answers, daemon=True).start()
        self.call('ping', timeout=60)  # the first start of a prefix is slow

    def _read_answers(self):
        for line in self._process.stdout:
            self._answers.put(line)
        self._answers.put(None)

    def try_call(self, command, *args, timeout=CALL_TIMEOUT_S):
        """The driver's answer as a dict, whether it succeeded or not."""
        line = '\t'.join([command, *map(_escape, args)]) + '\n'
        try:
            self._process.stdin.write(line.encode('utf-8'))
            self._process.stdin.flush()
        except BrokenPipeError as error:
            raise DriverError('the driver has ended') from error
        try:
            answer = self._answers.get(timeout=timeout)
        except queue.Empty as error:
            raise DriverError(f'no answer to {command} within {timeout} s') from error
        if answer is None:
            raise DriverError('the driver has ended')
        return json.loads(answer)

    def call(self, command, *args, timeout=CALL_TIMEOUT_S):
        answer = self.try_call(command, *args, timeout=timeout)
        if not answer.get('ok'):
            raise DriverError(f'{command} {list(args)}: {answer.get("error")}')
        return answer

    def close(self):
        if self._process.poll() is None:
            try:
                self.try_call('quit', timeout=QUIT_TIMEOUT_S)
            except DriverError:
                pass
            try:
                self._process.wait(timeout=QUIT_TIMEOUT_S)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
