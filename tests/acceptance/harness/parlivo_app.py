"""One running Parlivo main window, seen and used through the driver."""

import time

from harness.png import read_bmp
from harness.wine import windows_path

# The program's control ids, by what a user calls them.
CONTROL_IDS = {
    'input': 1001, 'arabic': 1002, 'english': 1003, 'german': 1004,
    'translate': 1005, 'clear': 1006, 'exit': 1007, 'model_label': 1008,
}
OUTPUT_BOXES = ('arabic', 'english', 'german')
MENU_COMMANDS = {'about': 104, 'exit': 105, 'new': 106, 'edit_config': 110, 'load_config': 111}
HTCLOSE = 20
# Rows below the window's top edge that cross the caption, and how far from
# the right edge the close button is looked for.
CAPTION_PROBE_ROWS = (10, 6, 14)
CLOSE_BUTTON_SEARCH_WIDTH = 60
POLL_S = 0.05


def wait_for(condition, timeout_s, what):
    """The first true value of `condition()`, polled until the time limit."""
    deadline = time.monotonic() + timeout_s
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            if not value:
                raise AssertionError(f'{what} did not happen within {timeout_s} s')
            return value
        time.sleep(POLL_S)


class ParlivoApp:
    def __init__(self, driver, hwnd, process=None):
        self.driver = driver
        self.hwnd = hwnd
        self.process = process  # the Popen object when a scenario started it
        self.controls = {}
        for child in driver.call('children', hwnd)['children']:
            for name, control_id in CONTROL_IDS.items():
                if child['id'] == control_id:
                    self.controls[name] = child['hwnd']

    # What the user sees

    def info(self):
        return self.driver.call('info', self.hwnd)

    def children(self):
        return self.driver.call('children', self.hwnd)['children']

    def text(self, control):
        """The control's text as it reports it (WM_GETTEXT)."""
        return self.driver.call('text', self.controls[control])['text']

    def caption(self, control):
        """The text the system keeps for the control; readable while the program is busy."""
        return self.driver.call('caption', self.controls[control])['text']

    def capture(self, window, bmp_path):
        """What the window (by its number) shows on screen: saved as a BMP
        file, and returned as rows of pixels."""
        rect = self.driver.call('info', window)['rect']
        self.driver.call('capture', rect['left'], rect['top'], rect['right'] - rect['left'],
                         rect['bottom'] - rect['top'], windows_path(bmp_path))
        return read_bmp(bmp_path)

    def box_texts(self):
        return {name: self.text(name) for name in OUTPUT_BOXES}

    def enabled(self, control=None):
        window = self.controls[control] if control else self.hwnd
        return self.driver.call('info', window)['enabled']

    def selection(self, control):
        answer = self.driver.call('sel', self.controls[control])
        return answer['start'], answer['end']

    def focus(self):
        """The name of the control with the keyboard focus, 'main' for the main
        window itself, or the raw window number for anything else."""
        focus = self.driver.call('focus', self.hwnd)['focus']
        if focus == self.hwnd:
            return 'main'
        for name, hwnd in self.controls.items():
            if hwnd == focus:
                return name
        return focus

    wait_for = staticmethod(wait_for)

    def wait_idle(self, timeout_s=30):
        """Waits until the Translate button is back to its idle state."""
        self.wait_for(lambda: self.caption('translate') == 'Translate' and
                      self.enabled('translate'), timeout_s, 'the Translate button turning idle')

    # What the user does

    def type(self, text):
        self.driver.call('type', self.hwnd, text)

    def press(self, chord):
        self.driver.call('keys', self.hwnd, chord)

    def click(self, control):
        """A click on a button, as the button itself handles it (BM_CLICK)."""
        self.driver.call('click', self.controls[control])

    def mouse_click(self, control):
        """A real mouse click in the middle of a control."""
        info = self.driver.call('info', self.controls[control])
        rect = info['rect']
        self.driver.call('foreground', self.hwnd)
        self.driver.call('mouse_click', (rect['left'] + rect['right']) // 2,
                         (rect['top'] + rect['bottom']) // 2)

    def use_menu(self, menu_key, item_key):
        """Opens a menu and picks an item with their underlined letters."""
        self.press(f'alt+{menu_key}')
        self.press(item_key)

    def menu_command(self, name):
        """The command a menu item sends, posted to the main window."""
        self.driver.call('command', self.hwnd, MENU_COMMANDS[name])

    def set_input(self, text):
        """Puts a text into the input box at once, as pasting would."""
        self.driver.call('set_text', self.controls['input'], text)

    def close_button_point(self):
        """The middle of the title bar's close button, found by asking the
        window what lies under points along its caption (WM_NCHITTEST)."""
        rect = self.info()['rect']
        for below_top in CAPTION_PROBE_ROWS:
            y = rect['top'] + below_top
            on_button = [x for x in range(rect['right'] - 1,
                                          rect['right'] - CLOSE_BUTTON_SEARCH_WIDTH, -1)
                         if self.driver.call('hit_test', self.hwnd, x, y)['hit'] == HTCLOSE]
            if on_button:
                return (min(on_button) + max(on_button)) // 2, y
        raise AssertionError('no close button on the title bar')

    def click_close_button(self):
        x, y = self.close_button_point()
        self.driver.call('foreground', self.hwnd)
        self.driver.call('mouse_click', x, y)
