"""The base of every scenario: a fresh copy of the program in its own folder,
the shared environment, and the checks that scenarios have in common."""

import re
import time
import unittest

from harness.parlivo_app import ParlivoApp, wait_for
from harness.wine import windows_path

WINDOW_TIMEOUT_S = 20
BOX_TIMEOUT_S = 10
EXIT_TIMEOUT_S = 15
# How long a scenario watches for something that must not happen.
QUIET_PERIOD_S = 1.5

IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
GOOD_KEY = 'AIzaSyTestKey-0123456789abcdef'
MODEL = 'gemini-2.5-flash-lite'
GOOD_CONFIG = f'[Gemini]\r\ngemini_key={GOOD_KEY}\r\ngemini_model={MODEL}\r\n'.encode('ascii')
NO_CONFIG = None

# One line of Wine's exec trace for each ShellExecute call, with the file
# asked for (backslashes and quotes escaped).
_SHELL_EXECUTE = re.compile(r'trace:exec:SHELL_execute .*? file=L"((?:[^"\\]|\\.)*)"')

_environment = None


def use_environment(environment):
    """Called by the suite runner before any scenario runs."""
    global _environment
    _environment = environment


def _folder_name(test_id):
    # Letters, digits, dots and underscores only: the program looks for
    # "--pos" anywhere in its command line, its own path included.
    return re.sub(r'[^A-Za-z0-9_.]+', '_', test_id.split('.', 1)[-1])[:120]


class Scenario(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        # Fails rather than skips: a run that tested nothing must not pass.
        if _environment is None:
            raise RuntimeError('no environment: run the scenarios through run_suite.py')
        self.env = _environment
        self.driver = self.env.driver
        self.service = self.env.service
        self.addCleanup(self.env.end_leftovers)
        self.use_fresh_folder(self.id())

    def use_fresh_folder(self, name):
        """Gives the scenario (or one of its cases) a new folder with
        Parlivo.exe, and a stand-in that has seen nothing yet."""
        self.env.end_leftovers()
        self.service.reset()
        self.folder = self.env.new_program_folder(_folder_name(name))
        self.exe = self.folder / 'Parlivo.exe'
        self.config_path = self.folder / 'config.ini'

    # Starting the program

    def launch(self, args=(), config=GOOD_CONFIG, proxy_url=None, dll_overrides=None):
        """Starts the program; `config` is the bytes of config.ini, or NO_CONFIG;
        `proxy_url` replaces the stand-in as the program's proxy;
        `dll_overrides` (Wine's syntax) changes how DLLs are found."""
        if config is not NO_CONFIG:
            self.config_path.write_bytes(config)
        extra_env = self.env.wine.with_dll_overrides(dll_overrides) if dll_overrides else None
        return self.env.start_program(self.exe, args, proxy_url, extra_env)

    def start_app(self, args=(), config=GOOD_CONFIG, proxy_url=None, dll_overrides=None):
        process = self.launch(args, config, proxy_url, dll_overrides)
        hwnd = self.find_window('PARLIVO', 'Parlivo')
        app = ParlivoApp(self.driver, hwnd, process)
        self.assertEqual(set(app.controls), {'input', 'arabic', 'english', 'german', 'translate',
                                             'clear', 'exit', 'model_label'})
        return app

    def wait_exit(self, process, timeout_s=EXIT_TIMEOUT_S):
        return process.wait(timeout=timeout_s)

    # Windows and boxes

    def find_window(self, window_class, title='', timeout_s=WINDOW_TIMEOUT_S, pid=0):
        return self.driver.call('find', window_class, title, int(timeout_s * 1000), pid,
                                timeout=timeout_s + 10)['hwnd']

    def windows(self, window_class, title=''):
        return self.driver.call('windows', window_class, title)['windows']

    def assert_no_window(self, window_class, title='', within_s=QUIET_PERIOD_S):
        deadline = time.monotonic() + within_s
        while time.monotonic() < deadline:
            found = self.windows(window_class, title)
            self.assertEqual(found, [], f'unexpected window {window_class} {title!r}')
            time.sleep(0.1)

    def wait_box(self, caption, timeout_s=BOX_TIMEOUT_S):
        """The description of the message box or dialog with that caption."""
        return self.driver.call('box', self.find_window('#32770', caption, timeout_s))

    def assert_message_box(self, box, *, message, icon, owner, buttons):
        """Checks a message box's text, icon, owner window and buttons (ids and texts)."""
        self.assertEqual(box['message'], message)
        self.assertEqual(box['icon']['best'], icon, box['icon'])
        self.assertEqual(box['owner'], owner)
        self.assertEqual([(b['id'], b['text'].replace('&', '')) for b in box['buttons']], buttons)

    def answer_box(self, box, button_id):
        self.driver.call('answer', box['hwnd'], button_id)
        gone = self.driver.call('wait_gone', box['hwnd'], BOX_TIMEOUT_S * 1000,
                                timeout=BOX_TIMEOUT_S + 10)['gone']
        self.assertTrue(gone, f'box {box["caption"]!r} did not close')

    def wait_notepad_on(self, path, timeout_s=WINDOW_TIMEOUT_S, check_text=True):
        """The Notepad window that shows the file at `path`; checks the text it
        shows unless Notepad reads the file in an encoding of its own choosing."""
        hwnd = self.find_window('Notepad')
        # Notepad opens untitled and names the file once it has loaded it.
        wait_for(lambda: path.name in self.driver.call('info', hwnd)['title'], timeout_s,
                 'Notepad showing ' + path.name)
        edit = [child for child in self.driver.call('children', hwnd)['children']
                if child['class'] == 'Edit']
        self.assertEqual(len(edit), 1)
        if check_text:
            self.assertEqual(edit[0]['text'], path.read_bytes().decode('latin-1'))
        self.assertEqual(set(self.shell_started_files()),
                         {self.driver.call('system_folder')['folder'] + '\\notepad.exe'},
                         'Notepad not named by its full path in the system folder')
        return hwnd

    def shell_started_files(self):
        """The files the program asked the shell to start, as Wine traced them."""
        log = (self.folder / 'wine.log').read_text(errors='replace')
        return [re.sub(r'\\(.)', r'\1', file) for file in _SHELL_EXECUTE.findall(log)]

    def settings_box(self, caption, message, icon):
        """The unowned box with one OK button that the program shows about config.ini."""
        box = self.wait_box(caption)
        self.assert_message_box(box, message=message, icon=icon, owner=0, buttons=[(IDOK, 'OK')])
        return box

    def unreadable_box(self):
        """The "Configuration Error" box, in the program's own words that name the file."""
        box = self.wait_box('Configuration Error')
        self.assertIn(windows_path(self.config_path), box['message'])
        self.assert_message_box(box, message=box['message'], icon='error', owner=0,
                                buttons=[(IDOK, 'OK')])
        return box

    def assert_ends_in_notepad(self, process, box, check_text=True, on_reload=False):
        """After OK in the program's box about config.ini, the program ends
        with exit code 0 and Notepad shows the file. At start-up it never
        shows its main window; on a reload the window goes with the process."""
        if not on_reload:
            self.assertEqual(self.windows('PARLIVO'), [])
        self.answer_box(box, IDOK)
        self.assertEqual(self.wait_exit(process), 0)
        self.wait_notepad_on(self.config_path, check_text=check_text)
        self.assertEqual(self.windows('PARLIVO'), [])

    def reload(self, app):
        """Load Config as the menu sends it; the reload returns and confirms."""
        app.menu_command('load_config')
        box = self.wait_box('Config Reloaded')
        self.assert_message_box(box, message='Configuration reloaded successfully!',
                                icon='information', owner=app.hwnd, buttons=[(IDOK, 'OK')])
        self.answer_box(box, IDOK)
