"""The keyboard, with real key events: Shift+Enter, Ctrl+A, Tab and the About
accelerators."""

from harness.scenario import QUIET_PERIOD_S, Scenario
from harness.translating import TranslatingScenario, boxes

WS_TABSTOP = 0x00010000


class LineBreaks(Scenario):
    def test_shift_enter_breaks_the_line_and_sends_nothing(self):
        app = self.start_app()
        app.type('Zeile eins')
        app.press('shift+enter')
        app.type('Zeile zwei')
        app.wait_for(lambda: app.text('input') == 'Zeile eins\r\nZeile zwei', 5,
                     'the line break in the input box')
        self.assert_no_window('#32770', within_s=QUIET_PERIOD_S)
        self.assertEqual(self.service.requests, [])
        self.assertEqual(app.caption('translate'), 'Translate')


class SelectAll(TranslatingScenario):
    def test_ctrl_a_in_the_input_box(self):
        app = self.start_app()
        app.type('Hallo Welt')
        for chord in ('ctrl+a', 'ctrl+shift+a'):
            with self.subTest(chord):
                app.press('end')  # the caret at the end, nothing selected
                app.wait_for(lambda: app.selection('input') == (10, 10), 5, 'the caret at the end')
                app.press(chord)
                app.wait_for(lambda: app.selection('input') == (0, 10), 5, 'all text selected')
                self.assertEqual(app.text('input'), 'Hallo Welt')

    def test_ctrl_a_in_each_read_only_output_box(self):
        app = self.start_translated_app(boxes('حديقة، بستان', 'garden, yard', 'Garten'))
        for box in ('arabic', 'english', 'german'):
            with self.subTest(box):
                text = app.text(box)
                app.mouse_click(box)
                app.wait_for(lambda: app.focus() == box, 5, f'the focus in the {box} box')
                start, end = app.selection(box)
                self.assertEqual(start, end, 'a click leaves nothing selected')
                app.press('ctrl+a')
                app.wait_for(lambda: app.selection(box) == (0, len(text)), 5, 'all text selected')
                self.assertEqual(app.text(box), text)


class TabKey(Scenario):
    # (case, controls the driver gives WS_TABSTOP, where Tab and Shift+Tab put
    # the focus, what the key types into the input box). Without tab stops
    # Wine's tab search names the input box itself, which keeps the focus and
    # takes the tab; with these two, it names the Arabic box searching
    # forward, the German box backward, and the box left behind gets no tab.
    CASES = [
        ('no tab stop', (), 'input', '\t'),
        ('tab stops on the Arabic and German boxes', ('arabic', 'german'), 'arabic', ''),
    ]

    def test_tab_and_shift_tab_move_the_focus_forward(self):
        app = self.start_app()
        typed = ''
        for name, tab_stops, focus, character in self.CASES:
            for control in tab_stops:
                self.driver.call('add_style', app.controls[control], WS_TABSTOP)
            for chord in ('tab', 'shift+tab'):
                with self.subTest(name, chord=chord):
                    app.mouse_click('input')
                    app.wait_for(lambda: app.focus() == 'input', 5, 'the focus in the input box')
                    app.press('ctrl+end')
                    app.press(chord)
                    app.wait_for(lambda: app.focus() == focus, 5, f'the focus in {focus}')
                    # A marker typed after it shows whether the key's own
                    # character reached the input box: the events keep their order.
                    app.mouse_click('input')
                    app.wait_for(lambda: app.focus() == 'input', 5, 'the focus back')
                    app.press('ctrl+end')
                    app.type('|')
                    typed += character + '|'
                    app.wait_for(lambda: app.text('input').count('|') == typed.count('|'), 5,
                                 'the marker')
                    self.assertEqual(app.text('input'), typed)


class AboutAccelerators(Scenario):
    def wait_about(self):
        return self.find_window('#32770', 'About Parlivo', timeout_s=5)

    def close_about(self, about, chord):
        self.driver.call('keys', about, chord)
        self.assertTrue(self.driver.call('wait_gone', about, 5000)['gone'], chord)

    def test_alt_question_mark_and_alt_slash_open_about_from_the_main_window(self):
        app = self.start_app()
        # With the focus in the input box the accelerator's command goes to
        # that box, which ignores it.
        self.assertEqual(app.focus(), 'input')
        app.press('alt+?')
        self.assert_no_window('#32770', 'About Parlivo')
        # Help, About by the menu's own keys; closing the dialog leaves the
        # focus on the main window itself.
        app.use_menu('h', 'a')
        self.close_about(self.wait_about(), 'esc')
        app.wait_for(lambda: app.focus() == 'main', 5, 'the focus on the main window')
        for accelerator, closing_key in (('alt+?', 'enter'), ('alt+/', 'esc')):
            with self.subTest(accelerator):
                app.press(accelerator)
                self.close_about(self.wait_about(), closing_key)
                app.wait_for(lambda: app.focus() == 'main', 5, 'the focus back on the main window')
