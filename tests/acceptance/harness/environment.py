"""Everything one run of scenarios shares: the virtual display, the Wine
prefix, the test certificates, the stand-in service and the driver."""

import contextlib
import pathlib
import shutil
import subprocess

from harness.display import VirtualDisplay
from harness.driver_client import Driver, DriverError
from harness.wine import DESKTOP_SIZE, WineSession, windows_path
from standin.certificates import make_test_pki
from standin.service import GEMINI_HOST, StandInService

# Windows that scenarios make appear: the program, its boxes and dialogs, and Notepad.
SCENARIO_WINDOW_CLASSES = ('PARLIVO', '#32770', 'Notepad')
# A program started without a proxy variable, whose WinHTTP reads the proxy
# from the registry only (WineSession.system_proxy sets it there).
SYSTEM_PROXY = ''
LEFTOVER_EXIT_TIMEOUT_S = 10
# Wine's shell traces every program it is asked to start (its file= and
# parm=) into the program folder's wine.log: the one place that shows whether
# a program was named by its full path, which Wine's search for a bare name
# (system folder first) hides.
SHELL_TRACE = '+exec'


class AcceptanceEnvironment:
    def __init__(self, work_dir, parlivo_exe, driver_exe):
        self.work_dir = pathlib.Path(work_dir).resolve()  # Wine wants absolute paths
        self.parlivo_exe = pathlib.Path(parlivo_exe).resolve()
        self.driver_exe = pathlib.Path(driver_exe).resolve()
        self._stack = contextlib.ExitStack()
        self._started = []  # programs started by scenarios, as Popen objects
        self.service = None
        self.wine = None
        self.driver = None

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self._stack.close()
            raise
        return self

    def _start(self):
        # The certificates are made anew for every run and never leave the build tree.
        pki = make_test_pki(self.work_dir / 'pki', GEMINI_HOST)
        self.service = StandInService(pki).start()
        self._stack.callback(self.service.stop)
        display = self._stack.enter_context(
            VirtualDisplay(*DESKTOP_SIZE, log_path=self.work_dir / 'xvfb.log'))
        self.wine = WineSession(self.work_dir / 'prefix', display.name, pki.bundle)
        self.wine.ensure_prefix()
        self._stack.callback(self.wine.wait_until_idle)
        self.driver = Driver(self.wine.command, windows_path(self.driver_exe), self.wine.env,
                             self.work_dir / 'driver.log')
        self._stack.callback(self.driver.close)

    def __exit__(self, *exc):
        self._stack.close()

    def new_program_folder(self, name):
        """An empty folder holding a fresh copy of Parlivo.exe."""
        folder = self.work_dir / 'runs' / name
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        shutil.copy2(self.parlivo_exe, folder / 'Parlivo.exe')
        return folder

    def start_program(self, exe, args=(), proxy_url=None, extra_env=None):
        """Starts a program of a scenario with the stand-in (or `proxy_url`) as
        its proxy; with `proxy_url` SYSTEM_PROXY, WinHTTP takes the prefix's
        own proxy setting, as on Windows."""
        folder = pathlib.Path(exe).parent
        env = {'WINEDEBUG': f'{self.wine.env["WINEDEBUG"]},{SHELL_TRACE}'}
        if proxy_url != SYSTEM_PROXY:
            env['http_proxy'] = proxy_url or self.service.proxy_url
        env.update(extra_env or {})
        process = self.wine.start([windows_path(exe), *args], cwd=folder, extra_env=env,
                                  log_path=folder / 'wine.log')
        self._started.append(process)
        return process

    def end_leftovers(self):
        """Ends what a scenario left running: each process that owns one of the
        scenario's windows, by its id, then the programs it started."""
        pids = set()
        for window_class in SCENARIO_WINDOW_CLASSES:
            for window in self.driver.call('windows', window_class, '')['windows']:
                pids.add(window['pid'])
        for pid in sorted(pids):
            with contextlib.suppress(DriverError):  # it may have ended meanwhile
                self.driver.call('terminate', pid)
                self.driver.call('wait_exit', pid, LEFTOVER_EXIT_TIMEOUT_S * 1000,
                                 timeout=LEFTOVER_EXIT_TIMEOUT_S + 10)
        for process in self._started:
            try:
                process.wait(timeout=LEFTOVER_EXIT_TIMEOUT_S)
            except subprocess.TimeoutExpired:  # still running without windows: end it by its id
                process.kill()
                process.wait()
        self._started.clear()
