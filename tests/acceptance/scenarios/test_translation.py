"""One translation from the user's text to the three boxes: what the service
receives, the way there through the computer's proxy setting, what each reply
layout shows, the busy button, and the warnings on the way. (Replies that
fail are the network_faults group.)"""

from harness.environment import SYSTEM_PROXY
from harness.request_checks import check_request
from harness.scenario import IDOK
from harness.translating import REQUEST_TIMEOUT_S, TranslatingScenario, answer_for, boxes
from standin.replies import ChunkedReply, Reply, gemini_answer

EMPTY_TEXT = ('Please enter some text to translate.\n\n'
              'Empty or whitespace-only text cannot be translated.')
TOO_LONG_TEXT = 'Text is too long. Please use shorter text (maximum 10,000 characters).'
MAX_UNITS = 10_000
RLM = '\u200f'  # right-to-left mark, which models put around Arabic


class TranslateCommand(TranslatingScenario):
    BOXES = {'arabic': 'صباح الخير', 'english': 'good morning', 'german': 'guten Morgen'}

    def test_by_the_button_and_by_enter(self):
        for how in ('button', 'enter'):
            with self.subTest(how):
                self.use_fresh_folder(f'{self.id()}.{how}')
                self.service.reply_with(Reply(gemini_answer(answer_for(self.BOXES))))
                app = self.start_app()
                app.type('Guten Morgen')
                self.translate(app, how)
                requests = self.service.requests
                self.assertEqual(len(requests), 1)
                check_request(self, requests[0], 'Guten Morgen')
                self.assertEqual(app.box_texts(), self.BOXES)
                # Enter starts the translation and puts no line break into the text.
                self.assertEqual(app.text('input'), 'Guten Morgen')
                self.assert_idle_with_input_selected(app)

    def test_request_body_for_each_kind_of_text(self):
        # (case, what the user does, the text sent after trimming)
        cases = [
            ('quotes and backslashes', [('type', 'He said "hi" in C:\\Temp')],
             'He said "hi" in C:\\Temp'),
            ('apostrophe stays unescaped', [('type', "it's")], "it's"),
            ('umlauts, Arabic and a character beyond the BMP',
             [('type', 'Grüße aus München – مرحبا 😀')], 'Grüße aus München – مرحبا 😀'),
            ('blanks and tabs around the text are trimmed', [('type', '  \tHallo Welt \t ')],
             'Hallo Welt'),
            ('line break by Shift+Enter', [('type', 'Zeile eins'), ('keys', 'shift+enter'),
                                          ('type', 'Zeile zwei')], 'Zeile eins\r\nZeile zwei'),
            ('only line breaks are text, not blanks', [('keys', 'shift+enter'),
                                                       ('keys', 'shift+enter')], '\r\n\r\n'),
            ('pasted control characters', [('paste', 'a\x01b\x1fc\x7f')], 'a\x01b\x1fc\x7f'),
            ('pasted 10,000 characters between blanks',
             [('paste', ' ' + 'a' * MAX_UNITS + '\t')], 'a' * MAX_UNITS),
        ]
        app = self.start_app()
        for name, actions, sent in cases:
            with self.subTest(name):
                for action, argument in actions:
                    if action == 'type':
                        app.type(argument)  # replaces the text selected after the last translation
                    elif action == 'keys':
                        app.press(argument)
                    else:
                        app.set_input(argument)
                self.translate(app)
                check_request(self, self.service.requests[-1], sent)


class WindowsProxySetting(TranslatingScenario):
    def test_the_proxy_set_as_netsh_does_carries_the_translation(self):
        shown = boxes('مرحبا', 'hello', 'hallo')
        # The program gets no proxy variable: only the registry names the stand-in.
        with self.env.wine.system_proxy(self.service.proxy_url.removeprefix('http://')):
            self.start_translated_app(shown, proxy_url=SYSTEM_PROXY)
        check_request(self, self.service.requests[-1], shown['german'])


class DebugPreview(TranslatingScenario):
    PREFIX = 'Debug - Text being sent: '
    # (case, input box text, the one line written with OutputDebugString).
    # ASCII only: the system's debug buffer holds single-byte text.
    CASES = [
        ('short text', 'Hallo Welt', PREFIX + 'Hallo Welt'),
        ('the trimmed text', ' \tpadded text\t ', PREFIX + 'padded text'),
        ('100 characters are shown whole', 'a' * 100, PREFIX + 'a' * 100),
        ('101 characters are cut to 100', 'b' * 101, PREFIX + 'b' * 100 + '...'),
    ]

    def test_one_preview_line_per_translation(self):
        self.driver.call('debug_monitor')
        app = self.start_app()
        pid = app.info()['pid']
        for name, text, line in self.CASES:
            with self.subTest(name):
                app.set_input(text)
                self.translate(app)
                self.assertEqual(self.driver.call('debug_messages', pid)['messages'],
                                 [{'text': line}])


class ReplyLayouts(TranslatingScenario):
    # (layout, reply, (Arabic box, English box, German box))
    LAYOUTS = [
        ('labels on one line',
         Reply(gemini_answer('Arabic: صباح الخير English: good morning German: guten Morgen')),
         ('صباح الخير', 'good morning', 'guten Morgen')),
        ('labels on separate lines',
         Reply(gemini_answer('Arabic: شكرا، شكرا جزيلا\nEnglish: thank you, thanks\n'
                             'German: danke, vielen Dank\n')),
         ('شكرا، شكرا جزيلا', 'thank you, thanks', 'danke, vielen Dank')),
        ('CR LF line ends',
         Reply(gemini_answer('Arabic: نعم\r\nEnglish: yes\r\nGerman: ja\r\n')),
         ('نعم', 'yes', 'ja')),
        ('text before the labels',
         Reply(gemini_answer('Here is the translation:\n\nArabic: ماء\nEnglish: water\n'
                             'German: Wasser')),
         ('ماء', 'water', 'Wasser')),
        ('JSON escapes for every non-ASCII character and a quotation mark',
         Reply(gemini_answer('Arabic: مع السلامة\nEnglish: "goodbye", bye\n'
                             'German: tschüss, auf Wiedersehen', ascii_escapes=True)),
         ('مع السلامة', '"goodbye", bye', 'tschüss, auf Wiedersehen')),
        ('chunked transfer cutting through UTF-8 sequences',
         ChunkedReply(gemini_answer('Arabic: جميل، حلو\nEnglish: beautiful, lovely\n'
                                    'German: schön, hübsch'), chunk_bytes=7),
         ('جميل، حلو', 'beautiful, lovely', 'schön, hübsch')),
        ('right-to-left marks around the Arabic',
         Reply(gemini_answer(f'Arabic: {RLM}أهلا وسهلا{RLM}\nEnglish: welcome\n'
                             'German: willkommen')),
         ('أهلا وسهلا', 'welcome', 'willkommen')),
        # A line feed right after a label stays at the start of its section.
        ('each label alone on its line',
         Reply(gemini_answer('Arabic:\nصديق\nEnglish:\nfriend\nGerman:\nFreund, Freundin')),
         ('\nصديق', '\nfriend', '\nFreund, Freundin')),
        # A label glued to other characters is no label: all goes to the Arabic box.
        ('labels in bold markup',
         Reply(gemini_answer('**Arabic:** أهلا\n**English:** hello\n**German:** hallo')),
         ('** أهلا\n**English:** hello\n**German:** hallo', '', '')),
    ]

    def test_three_boxes_for_each_reply_layout(self):
        app = self.start_app()
        for layout, reply, boxes in self.LAYOUTS:
            with self.subTest(layout):
                self.service.reply_with(reply)
                app.type('hello')
                self.translate(app)
                self.assertEqual(app.box_texts(), dict(zip(('arabic', 'english', 'german'), boxes)))
                self.assert_idle_with_input_selected(app)
                self.assertEqual(self.windows('#32770'), [])


class BusyButton(TranslatingScenario):
    DELAY_S = 3

    def test_translating_while_the_service_thinks(self):
        app = self.start_app()
        self.service.reply_with(Reply(gemini_answer('Arabic: كتاب\nEnglish: book\nGerman: Buch'),
                                      delay_s=self.DELAY_S))
        app.type('Buch')
        app.mouse_click('translate')
        # The window thread is busy now: these reads do not wait for it.
        app.wait_for(lambda: app.caption('translate') == 'Translating...', self.DELAY_S,
                     'the busy button text')
        self.assertFalse(app.enabled('translate'))
        self.assertEqual(len(self.service.wait_for_requests(1, REQUEST_TIMEOUT_S)), 1)
        app.wait_idle()
        self.assertEqual(app.box_texts(), {'arabic': 'كتاب', 'english': 'book', 'german': 'Buch'})
        self.assert_idle_with_input_selected(app)


class InputWarnings(TranslatingScenario):
    CASES = [
        # (case, input box text, caption, message)
        ('empty input', '', 'Translation Warning', EMPTY_TEXT),
        ('only blanks and tabs', '  \t \t ', 'Translation Warning', EMPTY_TEXT),
        ('10,001 characters', 'b' * (MAX_UNITS + 1), 'Text Too Long', TOO_LONG_TEXT),
        ('10,000 characters and a character beyond the BMP', 'b' * (MAX_UNITS - 1) + '😀',
         'Text Too Long', TOO_LONG_TEXT),
    ]

    def test_nothing_is_sent_and_the_user_is_told(self):
        app = self.start_app()
        for name, text, caption, message in self.CASES:
            with self.subTest(name):
                app.set_input(text)
                app.mouse_click('translate')
                box = self.wait_box(caption)
                self.assert_message_box(box, message=message, icon='warning', owner=app.hwnd,
                                        buttons=[(IDOK, 'OK')])
                # Owned by the main window, which is disabled while the box is open.
                self.assertFalse(app.enabled())
                self.answer_box(box, IDOK)
                self.assertTrue(app.enabled())
                self.assertEqual(app.focus(), 'input')
                self.assertEqual(app.caption('translate'), 'Translate')
                self.assertEqual(app.text('input'), text)
        self.assertEqual(self.service.requests, [])
