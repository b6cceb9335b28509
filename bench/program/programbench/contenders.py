"""Parlivo and its floor, the bare translator, each running in a folder of
its own beside the other on the desktop, ready to translate."""

import dataclasses
import pathlib
import shutil

from harness.parlivo_app import ParlivoApp
from harness.scenario import GOOD_CONFIG, GOOD_KEY, MODEL
from harness.wine import windows_path
from programbench import linux_process
from programbench.translation import TranslationBench
from standin.service import GEMINI_HOST

WINDOW_TIMEOUT_S = 30
# Top-left corners of the two programs' windows on the 1920x1080 desktop.
CORNERS = ((100, 100), (700, 100))
TRACED_CORNERS = ((100, 550), (700, 550))
# What Parlivo builds from GOOD_CONFIG; the floor, which reads the same file
# only for its start and its label, is given it.
FLOOR_URL = (f'https://{GEMINI_HOST}/v1beta/models/{MODEL}:generateContent?'
             f'&key={GOOD_KEY}')


def copy_into_own_folder(env, exe, name, config=None):
    folder = env.work_dir / 'runs' / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    shutil.copy2(exe, folder / exe.name)
    if config is not None:
        (folder / 'config.ini').write_bytes(config)
    return folder / exe.name


@dataclasses.dataclass
class Contender:
    """One running program that translates: Parlivo or its floor."""
    name: str
    window_class: str
    exe: pathlib.Path
    app: ParlivoApp = None
    bench: TranslationBench = None
    pid: int = 0


def start_contender(env, gate, offset, name, exe, window_class, args, config=None,
                    extra_env=None):
    """Starts a program in a folder of its own and waits for its window."""
    folder_name = name.replace(' ', '-')
    contender = Contender(name, window_class, copy_into_own_folder(env, exe, folder_name, config))
    process = env.start_program(contender.exe, args, extra_env=extra_env)
    hwnd = env.driver.call('find', window_class, '', WINDOW_TIMEOUT_S * 1000,
                           timeout=WINDOW_TIMEOUT_S + 10)['hwnd']
    contender.app = ParlivoApp(env.driver, hwnd, process)
    contender.pid = linux_process.linux_pid_of(windows_path(contender.exe))
    contender.bench = TranslationBench(env.driver, env.service, contender.app, contender.pid,
                                       offset, gate)
    return contender


def start_contenders(env, options, gate, offset, corners, extra_env=None):
    """Parlivo and the floor, side by side on the desktop (a window hidden
    behind the other would be spared its painting)."""
    (parlivo_x, parlivo_y), (floor_x, floor_y) = corners
    parlivo = start_contender(env, gate, offset, 'Parlivo', options.exe, 'PARLIVO',
                              ['--pos', parlivo_x, parlivo_y], GOOD_CONFIG, extra_env)
    floor = start_contender(env, gate, offset, 'the floor', options.bare_translator,
                            'BARE_TRANSLATOR', [floor_x, floor_y, FLOOR_URL], GOOD_CONFIG,
                            extra_env)
    return parlivo, floor


def end_contenders(env, contenders):
    for contender in contenders:
        for window in env.driver.call('windows', contender.window_class, '')['windows']:
            env.driver.call('terminate', window['pid'])
            env.driver.call('wait_exit', window['pid'], WINDOW_TIMEOUT_S * 1000,
                            timeout=WINDOW_TIMEOUT_S + 10)
        linux_process.wait_gone(contender.pid, WINDOW_TIMEOUT_S)
