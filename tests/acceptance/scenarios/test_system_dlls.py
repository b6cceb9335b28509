"""The DLLs that the program loads late (WinHTTP at the first translation, the
shell to open Notepad): only from the system folder, and one that cannot be
had ends that one exchange or command, never the program."""

import shutil

from harness.request_checks import check_request
from harness.scenario import IDOK, IDYES, NO_CONFIG
from harness.settings_file import CREATED_TEXT
from harness.translating import EMPTY_BOXES, TranslatingScenario, answer_for, boxes
from standin.replies import Reply, gemini_answer

# The build puts the planted winhttp.dll in a folder beside the driver's.
PLANTED_FOLDER = 'planted'
PLANTED_DLL = 'winhttp.dll'
PLANTED_MARK = PLANTED_DLL + '.loaded'
# Native first: Wine then looks for the DLL as Windows does for a DLL that is
# not one it always takes from the system folder, the program's folder first.
NATIVE_WINHTTP_FIRST = 'winhttp=n,b'
WITHOUT_WINHTTP = 'winhttp='
WITHOUT_SHELL = 'shell32='
INIT_FAILED = 'Error: Failed to initialize WinHTTP'
SHOWN = boxes('شكرا', 'thank you', 'danke')


class PlantedWinHttp(TranslatingScenario):
    def test_a_winhttp_dll_beside_the_program_is_never_loaded(self):
        planted = self.env.driver_exe.parent / PLANTED_FOLDER / PLANTED_DLL
        shutil.copy2(planted, self.folder / PLANTED_DLL)
        app = self.start_app(dll_overrides=NATIVE_WINHTTP_FIRST)
        self.service.reply_with(Reply(gemini_answer(answer_for(SHOWN))))
        app.type('Danke')
        self.translate(app)
        check_request(self, self.service.requests[-1], 'Danke')
        self.assertEqual(app.box_texts(), SHOWN)
        self.assertFalse((self.folder / PLANTED_MARK).exists(),
                         'the winhttp.dll beside the program was loaded')


class MissingDlls(TranslatingScenario):
    def test_without_winhttp_each_translation_fails_and_the_program_lives_on(self):
        app = self.start_app(dll_overrides=WITHOUT_WINHTTP)
        app.type('Hund')
        for attempt in ('first', 'second'):
            with self.subTest(attempt):
                app.press('enter')
                self.assert_error_reported(app, INIT_FAILED, EMPTY_BOXES)
        self.assertEqual(self.service.tunnels, [])
        app.mouse_click('exit')
        self.answer_box(self.wait_box('Confirm Exit'), IDYES)
        self.assertEqual(self.wait_exit(app.process), 0)

    def test_without_the_shell_a_first_start_ends_without_notepad(self):
        process = self.launch(config=NO_CONFIG, dll_overrides=WITHOUT_SHELL)
        self.answer_box(self.settings_box('Configuration Setup', CREATED_TEXT, 'information'),
                        IDOK)
        self.assertEqual(self.wait_exit(process), 0)
        self.assert_no_window('Notepad')
