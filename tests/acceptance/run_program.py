#!/usr/bin/env python3
"""Runs Parlivo.exe under Wine from a folder that holds its config.ini.

    run_program.py --exe Parlivo.exe --driver parlivo_driver.exe --work DIR
                   [--folder DIR] [--demo [--screenshot FILE.png]]

Without --demo the program runs on your X display with the settings in
FOLDER/config.ini (on the first start it writes a template there and opens
it in Notepad) and talks to the real Gemini service.

With --demo it talks to a local stand-in for the service instead, over real
TLS, so no key and no network are needed: the stand-in knows a dozen everyday
phrases (hello, thank you, good morning, ...) and answers anything else with
a note that it is a demo. The demo config names the model
"local-demo-stand-in", so the window says what it is talking to.

--screenshot FILE.png runs the demo on a virtual display instead, types a
phrase, translates it and saves a picture of the window.
"""

import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.dont_write_bytecode = True  # keep the source tree clean

from harness.display import VirtualDisplay  # noqa: E402
from harness.driver_client import Driver  # noqa: E402
from harness.parlivo_app import ParlivoApp  # noqa: E402
from harness.png import bmp_to_png  # noqa: E402
from harness.wine import DESKTOP_SIZE, WineSession, windows_path  # noqa: E402
from standin.certificates import make_test_pki  # noqa: E402
from standin.demo_phrases import DEMO_CONFIG, demo_reply  # noqa: E402
from standin.service import GEMINI_HOST, StandInService  # noqa: E402

SCREENSHOT_PHRASE = 'Guten Morgen'
WINDOW_TIMEOUT_S = 30
ANSWER_TIMEOUT_S = 30
IDYES = 6
STOP_TIMEOUT_S = 15


def parse_options():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--exe', required=True, type=pathlib.Path)
    parser.add_argument('--driver', required=True, type=pathlib.Path)
    parser.add_argument('--work', required=True, type=pathlib.Path,
                        help='where the Wine prefixes and the demo certificates live')
    parser.add_argument('--folder', type=pathlib.Path,
                        help='the folder with config.ini (default: WORK/program or WORK/demo)')
    parser.add_argument('--demo', action='store_true',
                        help='talk to the local stand-in instead of the Gemini service')
    parser.add_argument('--screenshot', type=pathlib.Path, metavar='FILE.png',
                        help='with --demo: translate a phrase on a virtual display and save '
                             'a picture of the window')
    options = parser.parse_args()
    if options.screenshot and not options.demo:
        parser.error('--screenshot needs --demo')
    options.work = options.work.resolve()
    options.folder = (options.folder or options.work / ('demo' if options.demo else 'program'))
    options.folder = options.folder.resolve()
    return options


def prepare_folder(options):
    options.folder.mkdir(parents=True, exist_ok=True)
    shutil.copy2(options.exe, options.folder / 'Parlivo.exe')
    if options.demo:
        (options.folder / 'config.ini').write_bytes(DEMO_CONFIG)
    return options.folder / 'Parlivo.exe'


def start_demo_service(options):
    pki = make_test_pki(options.work / 'demo-pki', GEMINI_HOST)
    service = StandInService(pki, default_reply=demo_reply).start()
    print(f'Demo: a LOCAL STAND-IN for the Gemini service listens at {service.proxy_url};\n'
          '      it knows a dozen everyday phrases (hello, thank you, good morning, ...)\n'
          '      and is not Google Gemini.', flush=True)
    return service, pki.bundle


def run_on_this_display(options, exe, service, bundle):
    if not os.environ.get('DISPLAY'):
        print('No X display (DISPLAY is not set). To see the program without one, run the '
              'demo on a virtual display: --demo --screenshot FILE.png', file=sys.stderr)
        return 2
    wine = WineSession(options.work / 'prefix-desktop', trusted_bundle=bundle)
    wine.ensure_prefix(virtual_desktop=False)
    extra_env = {'http_proxy': service.proxy_url} if service else {}
    print(f'Starting {exe} (settings: {exe.parent / "config.ini"})', flush=True)
    code = wine.start([windows_path(exe)], cwd=exe.parent, extra_env=extra_env).wait()
    wine.wait_until_idle()
    return code


def take_screenshot(options, exe, service, bundle):
    with VirtualDisplay(*DESKTOP_SIZE, log_path=options.work / 'xvfb.log') as display:
        wine = WineSession(options.work / 'prefix-screenshot', display.name, bundle)
        wine.ensure_prefix(virtual_desktop=True)
        driver = Driver(wine.command, windows_path(options.driver), wine.env,
                        options.work / 'driver.log')
        program = wine.start([windows_path(exe)], cwd=exe.parent,
                             extra_env={'http_proxy': service.proxy_url},
                             log_path=options.work / 'program.log')
        try:
            app = ParlivoApp(driver, driver.call('find', 'PARLIVO', 'Parlivo',
                                                 WINDOW_TIMEOUT_S * 1000,
                                                 timeout=WINDOW_TIMEOUT_S + 10)['hwnd'], program)
            app.type(SCREENSHOT_PHRASE)
            app.press('enter')
            app.wait_for(lambda: app.text('german') != '', ANSWER_TIMEOUT_S, 'the answer')
            app.wait_idle()
            time.sleep(0.5)  # the last repaint
            bmp = options.work / 'screenshot.bmp'
            app.capture(app.hwnd, bmp)
            bmp_to_png(bmp, options.screenshot)
            print(f'Saved {options.screenshot}', flush=True)
            app.click('exit')
            box = driver.call('find', '#32770', 'Confirm Exit', WINDOW_TIMEOUT_S * 1000)
            driver.call('answer', box['hwnd'], IDYES)
            program.wait(timeout=STOP_TIMEOUT_S)
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
            driver.close()
            wine.wait_until_idle()
    return 0


def main():
    options = parse_options()
    exe = prepare_folder(options)
    service, bundle = start_demo_service(options) if options.demo else (None, None)
    try:
        if options.screenshot:
            return take_screenshot(options, exe, service, bundle)
        return run_on_this_display(options, exe, service, bundle)
    except subprocess.TimeoutExpired as error:
        print(f'Gave up waiting: {error}', file=sys.stderr)
        return 1
    finally:
        if service:
            service.stop()


if __name__ == '__main__':
    sys.exit(main())
