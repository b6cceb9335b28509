"""Long runs of one process: hundreds of translations in a row stay right and
lean, and a burst of Enter presses while the service is slow is worked off."""

import itertools

from harness.process_usage import linux_pid_of, linux_usage
from harness.request_checks import check_request
from harness.translating import REQUEST_TIMEOUT_S, TranslatingScenario, answer_for, boxes
from standin.demo_phrases import text_of_request
from standin.replies import Reply, gemini_answer

def numbered_boxes(number):
    return boxes(f'كلمة {number}', f'word {number}', f'Wort {number}')


class ManyTranslations(TranslatingScenario):
    TRANSLATIONS = 300
    WARM_UP = 20
    CHECK_EVERY = 25
    # Growth allowed from the end of the warm-up to the end of the run.
    PRIVATE_DATA_ALLOWANCE_KIB = 4 * 1024
    COUNT_ALLOWANCE = 0  # file descriptors, threads, windows, handles

    @staticmethod
    def answer_the_word(request):
        """A short answer of the usual shape for "Wort N", naming N back."""
        number = text_of_request(request.body).split()[-1]
        return Reply(gemini_answer(answer_for(numbered_boxes(number))))

    def measure(self, app, linux_pid):
        usage = linux_usage(linux_pid)
        windows = self.driver.call('window_count', app.info()['pid'])
        stats = self.driver.call('stats', app.info()['pid'])
        return {
            'private data (KiB)': usage.private_data_kib,
            'file descriptors': usage.fds,
            'threads': usage.threads,
            'windows': windows['top_level'] + windows['children'] + windows['message_only'],
            'handle table entries': stats['handle_table_entries'],
        }

    def test_three_hundred_translations_stay_right_and_lean(self):
        app = self.start_app()
        linux_pid = linux_pid_of(app.process, 'Parlivo.exe')
        print('\n  what Wine gives of the program through the driver:',
              self.driver.call('stats', app.info()['pid']), flush=True)
        self.service.reply_with(self.answer_the_word)
        after_warm_up = None
        for number in range(1, self.TRANSLATIONS + 1):
            app.type(f'Wort {number}')  # replaces the text selected after the last one
            self.translate(app)
            if number % self.CHECK_EVERY == 0 or number == self.TRANSLATIONS:
                self.assertEqual(app.box_texts(), numbered_boxes(number), f'translation {number}')
                check_request(self, self.service.requests[-1], f'Wort {number}')
            if number == self.WARM_UP:
                after_warm_up = self.measure(app, linux_pid)
        at_end = self.measure(app, linux_pid)
        self.assertEqual([text_of_request(r.body) for r in self.service.requests],
                         [f'Wort {n}' for n in range(1, self.TRANSLATIONS + 1)])
        self.assertEqual(self.windows('#32770'), [])
        print(f'  after {self.WARM_UP} translations: {after_warm_up}\n'
              f'  after {self.TRANSLATIONS}: {at_end}', flush=True)
        for measure, start in after_warm_up.items():
            allowance = (self.PRIVATE_DATA_ALLOWANCE_KIB if measure.startswith('private')
                         else self.COUNT_ALLOWANCE)
            self.assertLessEqual(
                at_end[measure] - start, allowance,
                f'{measure}: {start} after the warm-up, {at_end[measure]} at the end')


class RapidEnters(TranslatingScenario):
    PRESSES = 20
    PRESS_INTERVAL_MS = 40
    BURST_LIMIT_MS = 1000
    ANSWER_DELAY_S = 1.0

    def test_every_queued_translation_completes(self):
        app = self.start_app()
        arrivals = itertools.count(1)  # the requests come one after another

        def slow_numbered_answer(_request):
            return Reply(gemini_answer(answer_for(numbered_boxes(next(arrivals)))),
                         delay_s=self.ANSWER_DELAY_S)

        self.service.reply_with(slow_numbered_answer)
        app.type('Hund')
        burst = self.driver.call('keys_repeat', app.hwnd, 'enter', self.PRESSES,
                                 self.PRESS_INTERVAL_MS)
        self.assertLess(burst['elapsed_ms'], self.BURST_LIMIT_MS, 'the presses came too slowly')
        # The window thread is in the first exchange; the other presses wait in its queue.
        app.wait_for(lambda: app.caption('translate') == 'Translating...', 5, 'the busy button')
        requests = self.service.wait_for_requests(
            self.PRESSES, self.PRESSES * self.ANSWER_DELAY_S + REQUEST_TIMEOUT_S)
        app.wait_idle()
        # Nothing further comes, and no box.
        self.assert_no_window('#32770')
        print(f'\n  {self.PRESSES} Enter presses in {burst["elapsed_ms"]} ms: the stand-in '
              f'received {len(self.service.requests)} requests', flush=True)
        self.assertEqual(len(self.service.requests), self.PRESSES)
        for request in requests:
            check_request(self, request, 'Hund')
        self.assertEqual(app.box_texts(), numbered_boxes(self.PRESSES))
        self.assertEqual(app.text('input'), 'Hund')
        self.assert_idle_with_input_selected(app)
        self.assertIsNone(app.process.poll(), 'the program ended')
