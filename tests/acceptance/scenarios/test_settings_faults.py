"""The settings file under faults: a folder where nothing can be created, a
config.ini that cannot be read or that an editor holds open, contents no
editor should have saved, and reloads that find the file spoiled."""

import random

from harness.request_checks import check_request
from harness.scenario import GOOD_CONFIG, GOOD_KEY, IDOK, MODEL, NO_CONFIG
from harness.settings_file import (FALLBACK_KEY, FALLBACK_MODEL, INVALID_KEY_TEXT, TEMPLATE,
                                   config)
from harness.translating import TranslatingScenario
from harness.wine import windows_path

CTRL_Z = b'\x1a'
# Files in a program folder that the harness itself puts there.
HARNESS_FILES = {'Parlivo.exe', 'wine.log'}
BIG_FILE_COMMENT = b'; ' + b'x' * 76 + b'\r\n'
BIG_FILE_BYTES = 50 * 1024 * 1024
GARBAGE_SEED = 20240611
GARBAGE_LINES = 40
GARBAGE_LINE_BYTES = 60


def garbage_lines(count):
    """Lines of random bytes, NUL and 0xFF included, that hold neither a
    line end nor the Ctrl-Z that would end the text."""
    rng = random.Random(GARBAGE_SEED)
    alphabet = bytes(b for b in range(256) if b not in (0x0A, 0x1A))
    return [bytes(rng.choice(alphabet) for _ in range(GARBAGE_LINE_BYTES)) + b'\r\n'
            for _ in range(count)]


def big_file():
    """50 MiB of comment lines, then the key and model lines."""
    lines = BIG_FILE_BYTES // len(BIG_FILE_COMMENT)
    return BIG_FILE_COMMENT * lines + config(GOOD_KEY, 'gemini-2.0-flash')


class SettingsScenario(TranslatingScenario):
    def folder_listing(self):
        return {path.name for path in self.folder.iterdir()}


class ReadOnlyFolder(SettingsScenario):
    def test_fallback_settings_apply_and_nothing_is_written(self):
        with self.env.wine.read_only_folder(self.folder):
            app = self.start_app(config=NO_CONFIG)
            self.assertEqual(app.text('model_label'), f'Model: {FALLBACK_MODEL}')
            self.assert_no_window('#32770')
            # The program runs on with the fallback key and model.
            app.type('Hund')
            self.translate(app)
            check_request(self, self.service.requests[0], 'Hund', FALLBACK_MODEL, FALLBACK_KEY)
            self.assertEqual(app.text('english'), 'hello')
            # A reload meets the same folder and takes the same way.
            self.reload(app)
            self.assertEqual(app.text('model_label'), f'Model: {FALLBACK_MODEL}')
            self.assertEqual(self.folder_listing(), HARNESS_FILES)
            # Ended while the folder is still read-only: Wine keeps the
            # program's folder open for it.
            self.env.end_leftovers()
        self.assertEqual(self.folder_listing(), HARNESS_FILES)


class UnreadableFile(SettingsScenario):
    def test_a_folder_named_config_ini_is_left_alone(self):
        self.config_path.mkdir()
        kept = self.config_path / 'notes.txt'
        kept.write_bytes(b'not the settings\r\n')
        process = self.launch(config=NO_CONFIG)
        box = self.unreadable_box()
        self.assertEqual(self.windows('PARLIVO'), [])
        self.answer_box(box, IDOK)
        self.assertEqual(self.wait_exit(process), 0)
        # Notepad is asked to open it all the same (and complains about a folder).
        self.find_window('Notepad')
        self.assertTrue(self.config_path.is_dir())
        self.assertEqual([path.name for path in self.config_path.iterdir()], ['notes.txt'])
        self.assertEqual(kept.read_bytes(), b'not the settings\r\n')
        self.assertEqual(self.folder_listing(), HARNESS_FILES | {'config.ini'})


class HeldByEditor(SettingsScenario):
    def test_a_file_open_in_an_editor_is_still_read(self):
        self.config_path.write_bytes(GOOD_CONFIG)
        # As an editor holds it: open for writing, sharing reading and writing.
        held = self.driver.call('hold', windows_path(self.config_path))['lock']
        try:
            app = self.start_app(config=NO_CONFIG)
            self.assertEqual(app.text('model_label'), f'Model: {MODEL}')
            # The editor saves a new model; Load Config reads it meanwhile.
            self.config_path.write_bytes(config(GOOD_KEY, 'gemini-2.0-flash'))
            self.reload(app)
            self.assertEqual(app.text('model_label'), 'Model: gemini-2.0-flash')
        finally:
            self.driver.call('unlock', held)


class FileContents(SettingsScenario):
    KEY = GOOD_KEY.encode()
    GARBAGE = garbage_lines(GARBAGE_LINES)
    # name: (config.ini bytes, model label or None for the "Invalid API Key"
    # ending, the key a translation must carry or None for no translation)
    CASES = {
        'binary garbage without a key line': (b''.join(GARBAGE), None, None),
        'binary garbage around the key and model lines': (
            b''.join(GARBAGE[:20]) + b'gemini_key=' + KEY + b'\r\n' + b''.join(GARBAGE[20:30]) +
            b'gemini_model=gemini-2.0-flash\r\n' + b''.join(GARBAGE[30:]),
            'Model: gemini-2.0-flash', None),
        'a model name in Latin-1': (
            b'gemini_key=' + KEY + b'\r\ngemini_model=mod\xe8le-\xfc\xff\r\n',
            'Model: modèle-üÿ', None),
        'UTF-16, as Notepad saves Unicode': (GOOD_CONFIG.decode('ascii').encode('utf-16'),
                                             None, None),
        'Ctrl-Z ends the text: a model line after it counts for nothing': (
            b'gemini_key=' + KEY + b'\r\ngemini_model=gemini-2.0-flash\r\n' + CTRL_Z +
            b'\r\ngemini_model=gemini-9.9-ignored\r\n', 'Model: gemini-2.0-flash', None),
        'Ctrl-Z before the key line': (b'[Gemini]\r\n' + CTRL_Z + b'\r\ngemini_key=' + KEY +
                                       b'\r\n', None, None),
        'Ctrl-Z inside the key line: the key ends there': (
            b'gemini_model=gemini-2.0-flash\r\ngemini_key=AIzaSyTestKey' + CTRL_Z +
            b'-0123456789abcdef\r\n', 'Model: gemini-2.0-flash', 'AIzaSyTestKey'),
        'a 50 MiB file of comment lines, the key at its end': (
            big_file(), 'Model: gemini-2.0-flash', GOOD_KEY),
    }
    # Files Notepad reads in an encoding of its own choosing.
    NOT_LATIN1_IN_NOTEPAD = {'binary garbage without a key line',
                             'UTF-16, as Notepad saves Unicode'}

    def test_read_as_single_byte_text_up_to_ctrl_z(self):
        for name, (contents, label, sent_key) in self.CASES.items():
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                if label is None:
                    process = self.launch(config=contents)
                    box = self.settings_box('Invalid API Key', INVALID_KEY_TEXT, 'warning')
                    self.assert_ends_in_notepad(process, box,
                                                check_text=name not in self.NOT_LATIN1_IN_NOTEPAD)
                else:
                    app = self.start_app(config=contents)
                    self.assertEqual(app.text('model_label'), label)
                    self.assertEqual(self.windows('#32770'), [])
                    if sent_key:
                        app.type('Hund')
                        self.translate(app)
                        check_request(self, self.service.requests[0], 'Hund',
                                      label.removeprefix('Model: '), sent_key)
                self.assertEqual(self.config_path.read_bytes(), contents)
                self.env.end_leftovers()
                self.config_path.unlink()  # 50 MiB need not stay in the build tree


class SpoiledOnReload(SettingsScenario):
    # name: config.ini bytes written while the program runs
    SPOILED = {
        'key put back to the placeholder': TEMPLATE,
        'key line emptied': config('', MODEL),
        'key cut to nine characters': config(GOOD_KEY[:9], MODEL),
    }

    def test_a_spoiled_key_ends_the_program_as_at_start_up(self):
        for name, spoiled in self.SPOILED.items():
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                app = self.start_app()
                self.config_path.write_bytes(spoiled)
                app.menu_command('load_config')
                box = self.settings_box('Invalid API Key', INVALID_KEY_TEXT, 'warning')
                self.assert_ends_in_notepad(app.process, box, on_reload=True)
                self.assertEqual(self.config_path.read_bytes(), spoiled)
                self.assertEqual(self.windows('#32770', 'Confirm Exit'), [])

    def test_a_locked_file_ends_the_program_and_stays_as_it_was(self):
        app = self.start_app()
        lock = self.driver.call('lock', windows_path(self.config_path))['lock']
        try:
            app.menu_command('load_config')
            box = self.unreadable_box()
        finally:
            self.driver.call('unlock', lock)
        self.assert_ends_in_notepad(app.process, box, on_reload=True)
        self.assertEqual(self.config_path.read_bytes(), GOOD_CONFIG)
