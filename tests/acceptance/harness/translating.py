"""The base of scenarios that translate: starting a translation as a user
does, and what the window must look like afterwards, with an answer or with
an error report."""

from harness.scenario import IDOK, Scenario
from standin.replies import Reply, gemini_answer

REQUEST_TIMEOUT_S = 15
IDLE_TIMEOUT_S = 30
EMPTY_BOXES = {'arabic': '', 'english': '', 'german': ''}


def boxes(arabic, english, german):
    """The texts of the three output boxes, by name."""
    return {'arabic': arabic, 'english': english, 'german': german}


def answer_for(shown):
    """The model's answer, one label a line, that fills the boxes with `shown`."""
    return 'Arabic: {arabic}\nEnglish: {english}\nGerman: {german}'.format(**shown)


class TranslatingScenario(Scenario):
    def translate(self, app, how='enter'):
        """Starts a translation the way a user does and waits until the button is idle again."""
        count = len(self.service.requests)
        if how == 'enter':
            app.press('enter')
        else:
            app.mouse_click('translate')
        requests = self.service.wait_for_requests(count + 1, REQUEST_TIMEOUT_S)
        self.assertGreater(len(requests), count, 'no request reached the stand-in')
        app.wait_idle(IDLE_TIMEOUT_S)

    def start_translated_app(self, shown, **start):
        """A main window that has translated its German word once and shows `shown`."""
        app = self.start_app(**start)
        self.service.reply_with(Reply(gemini_answer(answer_for(shown))))
        app.type(shown['german'])
        self.translate(app)
        self.assertEqual(app.box_texts(), shown)
        return app

    def assert_idle_with_input_selected(self, app):
        """After a translation: button idle, focus in the input, all its text selected."""
        self.assertEqual(app.caption('translate'), 'Translate')
        self.assertTrue(app.enabled('translate'))
        self.assertEqual(app.focus(), 'input')
        self.assertEqual(app.selection('input'), (0, len(app.text('input'))))

    def assert_error_reported(self, app, message, kept_boxes, timeout_s=REQUEST_TIMEOUT_S):
        """The translation ends in the unowned "Translation Error" box with
        `message`; after OK the boxes still show `kept_boxes` and the window
        is ready for the next text."""
        box = self.wait_box('Translation Error', timeout_s)
        self.assert_message_box(box, message=message, icon='error', owner=0,
                                buttons=[(IDOK, 'OK')])
        # The box has no owner, so the main window stays usable meanwhile.
        self.assertTrue(app.enabled())
        self.answer_box(box, IDOK)
        app.wait_idle(IDLE_TIMEOUT_S)
        self.assertEqual(app.box_texts(), kept_boxes)
        self.assert_idle_with_input_selected(app)
