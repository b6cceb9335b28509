"""Start-up: the settings file decides whether the main window opens, and
--pos decides where."""

from harness.scenario import GOOD_KEY, NO_CONFIG, Scenario
from harness.settings_file import CREATED_TEXT, INVALID_KEY_TEXT, TEMPLATE
from harness.wine import windows_path

UTF8_BOM = b'\xef\xbb\xbf'


class FirstStart(Scenario):
    def test_writes_the_template_tells_the_user_and_opens_notepad(self):
        process = self.launch(config=NO_CONFIG)
        box = self.settings_box('Configuration Setup', CREATED_TEXT, 'information')
        # The template is on disk while the box is still open.
        self.assertEqual(self.config_path.read_bytes(), TEMPLATE)
        self.assertEqual(len(TEMPLATE), 75)
        self.assert_ends_in_notepad(process, box)
        self.assertEqual(self.config_path.read_bytes(), TEMPLATE)


class UnusableKey(Scenario):
    CASES = {
        'template placeholder': TEMPLATE,
        'nine characters': b'[Gemini]\r\ngemini_key=123456789\r\ngemini_model=gemini-2.5-flash-lite\r\n',
        'no key line': b'[Gemini]\r\ngemini_model=gemini-2.5-flash-lite\r\n',
        'key name in capitals': b'[Gemini]\r\nGEMINI_KEY=' + GOOD_KEY.encode() + b'\r\n',
        'empty file': b'',
    }

    def test_refuses_the_key_leaves_the_file_and_opens_notepad(self):
        for name, config in self.CASES.items():
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                process = self.launch(config=config)
                box = self.settings_box('Invalid API Key', INVALID_KEY_TEXT, 'warning')
                self.assert_ends_in_notepad(process, box)
                self.assertEqual(self.config_path.read_bytes(), config)


class UnreadableConfig(Scenario):
    def test_locked_file_is_reported_and_never_overwritten(self):
        config = b'[Gemini]\r\ngemini_key=' + GOOD_KEY.encode() + b'\r\n'
        self.config_path.write_bytes(config)
        # Another program holds the file open without sharing it.
        lock = self.driver.call('lock', windows_path(self.config_path))['lock']
        try:
            process = self.launch(config=NO_CONFIG)  # the file is in place already
            box = self.unreadable_box()
        finally:
            self.driver.call('unlock', lock)
        self.assert_ends_in_notepad(process, box)
        self.assertEqual(self.config_path.read_bytes(), config)


class UsableSettings(Scenario):
    CASES = {
        # name: (config.ini bytes, model label text)
        'key of exactly ten characters': (
            b'[Gemini]\r\ngemini_key=0123456789\r\ngemini_model=gemini-2.5-flash-lite\r\n',
            'Model: gemini-2.5-flash-lite'),
        'UTF-8 byte-order mark before a key line': (
            UTF8_BOM + b'gemini_key=' + GOOD_KEY.encode() + b'\r\ngemini_model=gemini-2.0-flash\r\n',
            'Model: gemini-2.0-flash'),
        'LF line ends, blanks and tabs around values, other sections': (
            b'[Other]\nname=x\n\ngemini_key= \t' + GOOD_KEY.encode() +
            b' \t\n[Gemini]\ngemini_model=\tgemini-2.5-pro ',
            'Model: gemini-2.5-pro'),
    }

    def test_opens_the_main_window_with_the_model_named(self):
        for name, (config, label) in self.CASES.items():
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                app = self.start_app(config=config)
                self.assertEqual(app.text('model_label'), label)
                self.assertEqual(self.windows('#32770'), [])
                self.assertEqual(self.config_path.read_bytes(), config)


class Placement(Scenario):
    # On the 1920 by 1080 desktop of the test prefix.
    CASES = {
        'centred without --pos': ((), (735, 350)),
        '--pos 100 200': (('--pos', '100', '200'), (100, 200)),
        '--pos -50 7, not clamped': (('--pos', '-50', '7'), (-50, 7)),
        '--pos with one number falls back to centred': (('--pos', '100'), (735, 350)),
    }

    def test_top_left_corner(self):
        screen = self.driver.call('screen')
        self.assertEqual((screen['width'], screen['height']), (1920, 1080))
        for name, (args, corner) in self.CASES.items():
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                app = self.start_app(args=args)
                rect = app.info()['rect']
                self.assertEqual((rect['left'], rect['top']), corner)
                self.assertEqual((rect['right'] - rect['left'], rect['bottom'] - rect['top']),
                                 (450, 380))
