"""The main window's commands: Clear, Load Config, Edit Config, New, About and
the three ways to exit."""

import math
import pathlib

from harness.png import read_bmp
from harness.request_checks import check_request
from harness.scenario import GOOD_CONFIG, GOOD_KEY, IDNO, IDYES, QUIET_PERIOD_S, WINDOW_TIMEOUT_S
from harness.settings_file import CREATED_TEXT, TEMPLATE, config
from harness.translating import TranslatingScenario, answer_for, boxes
from standin.replies import Reply, gemini_answer

BOXES = boxes('شمس', 'sun', 'Sonne')
BS_TYPEMASK = 0x0F
BS_DEFPUSHBUTTON = 0x01
WS_EX_NOPARENTNOTIFY = 0x04
WS_EX_CLIENTEDGE = 0x200
ABOUT_PICTURE = pathlib.Path(__file__).resolve().parents[3] / 'res' / 'about.bmp'


class Clear(TranslatingScenario):
    def test_empties_all_four_boxes_and_puts_the_focus_in_the_input(self):
        app = self.start_translated_app(BOXES)
        # The button lies under the model label, which lets clicks through.
        app.mouse_click('clear')
        app.wait_for(lambda: app.text('input') == '', 5, 'the input box emptied')
        self.assertEqual(app.box_texts(), {'arabic': '', 'english': '', 'german': ''})
        self.assertEqual(app.focus(), 'input')
        self.assertEqual(app.selection('input'), (0, 0))


class LoadConfig(TranslatingScenario):
    def test_new_model_and_key_take_effect(self):
        app = self.start_app()
        new_key = 'AIzaSyOtherKey-9876543210'
        self.config_path.write_bytes(config(new_key, 'gemini-2.0-flash'))
        self.reload(app)
        self.assertEqual(app.text('model_label'), 'Model: gemini-2.0-flash')
        self.service.reply_with(Reply(gemini_answer(answer_for(BOXES))))
        # Closing the box left the focus on the main window; the user clicks
        # into the input box to type.
        app.mouse_click('input')
        app.wait_for(lambda: app.focus() == 'input', 5, 'the focus in the input box')
        app.type('Sonne')
        self.translate(app)
        check_request(self, self.service.requests[0], 'Sonne', 'gemini-2.0-flash', new_key)

    def test_a_file_without_model_line_leaves_the_label(self):
        app = self.start_app()
        self.config_path.write_bytes(config(GOOD_KEY))
        self.reload(app)
        self.assertEqual(app.text('model_label'), 'Model: gemini-2.5-flash-lite')

    def test_a_deleted_file_is_written_anew_and_the_program_ends(self):
        app = self.start_app()
        self.config_path.unlink()
        app.use_menu('f', 'l')
        box = self.settings_box('Configuration Setup', CREATED_TEXT, 'information')
        self.assertEqual(self.config_path.read_bytes(), TEMPLATE)
        self.assert_ends_in_notepad(app.process, box, on_reload=True)
        self.assertEqual(self.windows('#32770', 'Confirm Exit'), [])


class EditConfig(TranslatingScenario):
    def test_opens_the_file_in_notepad(self):
        app = self.start_app()
        app.use_menu('f', 'e')
        self.wait_notepad_on(self.config_path)
        self.assertEqual(self.config_path.read_bytes(), GOOD_CONFIG)
        self.assertTrue(app.enabled())
        self.assertEqual([window['hwnd'] for window in self.windows('PARLIVO')], [app.hwnd])


class NewWindow(TranslatingScenario):
    # (first window's --pos, allowed x values, allowed y values of the second)
    # on the 1920 by 1080 desktop; the offsets are 30 to 80 pixels.
    CASES = {
        'up and left': ((300, 300), range(220, 271), range(220, 271)),
        'both negative become 20': ((10, 10), [20], [20]),
        'right edge: x over 1470 becomes 1450': ((1800, 500), [1450], range(420, 471)),
        'bottom edge: y over 700 becomes 680': ((300, 1000), range(220, 271), [680]),
    }

    def test_second_window_opens_at_an_offset(self):
        for name, ((x, y), xs, ys) in self.CASES.items():
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                app = self.start_app(args=('--pos', str(x), str(y)))
                app.use_menu('f', 'n')
                app.wait_for(lambda: len(self.windows('PARLIVO')) == 2, WINDOW_TIMEOUT_S,
                             'a second main window')
                second = next(w for w in self.windows('PARLIVO') if w['hwnd'] != app.hwnd)
                self.assertIn(second['rect']['left'], xs)
                self.assertIn(second['rect']['top'], ys)
                self.assertNotEqual(second['pid'], app.info()['pid'])
                self.assertEqual(second['title'], 'Parlivo')


class About(TranslatingScenario):
    def test_dialog_centred_over_the_main_window(self):
        for name, position in (('centred window', ()), ('window at the left edge',
                                                        ('--pos', '-100', '40'))):
            with self.subTest(name):
                self.use_fresh_folder(f'{self.id()}.{name}')
                app = self.start_app(args=position)
                app.use_menu('h', 'a')
                about = self.find_window('#32770', 'About Parlivo')
                info = self.driver.call('info', about)
                self.assertEqual(info['owner'], app.hwnd)
                self.assertFalse(app.enabled(), 'the dialog is modal')
                main, dialog = app.info()['rect'], info['rect']

                def centred(low, high, inner_low, inner_high):
                    # Signed division, truncated toward zero.
                    return low + math.trunc(((high - low) - (inner_high - inner_low)) / 2)

                self.assertEqual(dialog['left'], centred(main['left'], main['right'],
                                                         dialog['left'], dialog['right']))
                self.assertEqual(dialog['top'], centred(main['top'], main['bottom'],
                                                        dialog['top'], dialog['bottom']))
                self.driver.call('keys', about, 'esc')
                self.assertTrue(self.driver.call('wait_gone', about, 5000)['gone'])
                self.assertTrue(app.enabled())

    def test_dialog_items_and_its_ways_to_close(self):
        app = self.start_app()
        for closing_key in ('enter', 'esc'):
            with self.subTest(closing_key):
                app.menu_command('about')
                about = self.find_window('#32770', 'About Parlivo')
                items = {child['id']: child
                         for child in self.driver.call('children', about)['children']}
                self.assertEqual(sorted(items), [1, 1005, 1007])
                # The dialog manager gives every item WS_EX_NOPARENTNOTIFY, and
                # turns the text field's WS_BORDER (created 0x50A10804) into
                # WS_EX_CLIENTEDGE, as it does for edit controls of dialogs.
                self.assertEqual((items[1005]['class'].upper(), items[1005]['style'],
                                  items[1005]['exstyle']), ('STATIC', 0x5000000E,
                                                            WS_EX_NOPARENTNOTIFY))
                self.assertEqual((items[1007]['class'].upper(), items[1007]['style'],
                                  items[1007]['exstyle']),
                                 ('EDIT', 0x50210804, WS_EX_NOPARENTNOTIFY | WS_EX_CLIENTEDGE))
                self.assertRegex(items[1007]['text'], r'^Parlivo, Version \d+(\.\d+)+\r\n')
                # The bitmap resource itself, pixel for pixel, not the fallback text.
                app.wait_for(lambda: app.capture(items[1005]['hwnd'], self.folder / 'picture.bmp')
                             == read_bmp(ABOUT_PICTURE), 5, 'the About picture on screen')
                self.assertEqual((items[1]['class'].upper(), items[1]['text'], items[1]['style']),
                                 ('BUTTON', 'OK', 0x50030001))
                # The dialog manager puts the focus on the first tab stop, the text field.
                self.assertEqual(self.driver.call('focus', about)['focus'], items[1007]['hwnd'])
                self.driver.call('keys', about, closing_key)
                self.assertTrue(self.driver.call('wait_gone', about, 5000)['gone'])
                self.assertTrue(app.enabled())
                self.assertEqual(self.windows('PARLIVO')[0]['hwnd'], app.hwnd)


class Exit(TranslatingScenario):
    WAYS = ('Exit button', 'File menu Exit', 'title bar close button')

    def ask_to_exit(self, app, way):
        if way == 'Exit button':
            app.mouse_click('exit')
        elif way == 'File menu Exit':
            app.use_menu('f', 'x')
        else:
            app.click_close_button()
        box = self.wait_box('Confirm Exit')
        self.assert_message_box(box, message='Are you sure you want to exit?', icon='question',
                                owner=app.hwnd, buttons=[(IDYES, 'Yes'), (IDNO, 'No')])
        default = [b['id'] for b in box['buttons']
                   if b['style'] & BS_TYPEMASK == BS_DEFPUSHBUTTON]
        self.assertEqual(default, [IDNO])
        return box

    def test_no_keeps_everything_and_yes_ends_with_code_0(self):
        for way in self.WAYS:
            with self.subTest(way):
                self.use_fresh_folder(f'{self.id()}.{way}')
                app = self.start_translated_app(BOXES)
                app.type('noch da')
                app.wait_for(lambda: app.text('input') == 'noch da', 5, 'the typed text')
                shown = {'input': app.text('input'), **app.box_texts()}
                self.answer_box(self.ask_to_exit(app, way), IDNO)
                self.assertIsNone(app.process.poll())
                self.assertEqual({'input': app.text('input'), **app.box_texts()}, shown)
                self.assertEqual(app.info()['rect']['left'], 735)
                self.answer_box(self.ask_to_exit(app, way), IDYES)
                self.assertEqual(self.wait_exit(app.process), 0)
                self.assert_no_window('PARLIVO', within_s=QUIET_PERIOD_S / 3)
