"""The main window as it opens: frame, controls, menu and the model label."""

from harness.parlivo_app import OUTPUT_BOXES
from harness.scenario import GOOD_KEY, Scenario
from harness.wine import windows_path

WS_VISIBLE = 0x10000000
WS_CLIPSIBLINGS = 0x04000000
WS_EX_WINDOWEDGE = 0x00000100
DARK_GREEN = (0, 128, 0)
# Anti-aliased glyph edges blend into the background; their cores are the pure colour.
GREEN_TOLERANCE = 40
LABEL_GREEN_PIXELS_AT_LEAST = 50
# How far the middle of the green glyphs may lie from the middle of the label,
# for their side bearings and descenders (the font is taller than the label).
CENTRING_TOLERANCE_PX = 2

# (class, id, text, (left, top, right, bottom) in the client area, style, extended style),
# in creation order, which is also the order of the children.
#
# The styles are those Wine reports. Buttons and the label keep the style they
# were created with. Wine's edit control takes WS_BORDER out of the window
# style (the border is checked on screen instead), and a multiline edit with a
# vertical scroll bar scrolls automatically, so ES_AUTOVSCROLL (0x40) shows up
# in the input box too.
CONTROLS = [
    ('STATIC', 1008, 'Model: gemini-2.5-flash-lite', (12, 12, 292, 30), 0x50000001, 0),
    ('EDIT', 1001, '', (10, 35, 290, 100), 0x50201044, 0),
    ('BUTTON', 1005, 'Translate', (295, 35, 380, 75), 0x50000000, 0),
    ('BUTTON', 1006, 'C', (10, 10, 30, 30), 0x50000000, 0),
    ('BUTTON', 1007, 'Exit', (385, 35, 430, 75), 0x50000000, 0),
    ('EDIT', 1002, '', (10, 105, 430, 170), 0x50201844, 0),
    ('EDIT', 1003, '', (10, 175, 430, 240), 0x50201844, 0),
    ('EDIT', 1004, '', (10, 245, 430, 310), 0x50201844, 0),
]

MENU = [
    ('&File', [('string', 106, '&New'), ('separator', 0, ''),
               ('string', 110, '&Edit Config'), ('string', 111, '&Load Config'),
               ('separator', 0, ''), ('string', 105, 'E&xit')]),
    ('&Help', [('string', 104, '&About ...')]),
]


class MainWindow(Scenario):
    def test_frame_class_title_and_style(self):
        app = self.start_app()
        info = app.info()
        self.assertEqual((info['class'], info['title']), ('PARLIVO', 'Parlivo'))
        rect = info['rect']
        self.assertEqual((rect['right'] - rect['left'], rect['bottom'] - rect['top']), (450, 380))
        # Created as 0x00CA0000 (caption, system menu, minimise box; no sizing
        # border, no maximise box). Showing it adds WS_VISIBLE, and the system
        # adds WS_CLIPSIBLINGS to every top-level window and WS_EX_WINDOWEDGE to
        # every window with a caption.
        self.assertEqual(info['style'], 0x00CA0000 | WS_VISIBLE | WS_CLIPSIBLINGS)
        self.assertEqual(info['exstyle'], WS_EX_WINDOWEDGE)
        self.assertTrue(info['has_menu'])
        self.assertEqual(info['owner'], 0)

    def test_eight_controls_in_creation_order(self):
        app = self.start_app()
        seen = [(child['class'].upper(), child['id'], child['text'],
                 tuple(child['rect'][side] for side in ('left', 'top', 'right', 'bottom')),
                 child['style'], child['exstyle']) for child in app.children()]
        self.assertEqual(seen, CONTROLS)
        self.assertTrue(all(child['visible'] and child['enabled'] for child in app.children()))

    def test_edit_boxes_draw_a_thin_border(self):
        # Wine draws the border of WS_BORDER in one colour around the client
        # area, left of the scroll bar; inside it the box's background begins.
        app = self.start_app()
        for box in ('input', *OUTPUT_BOXES):
            with self.subTest(box):
                width = self.driver.call('info', app.controls[box])['client']['right']

                def bordered():
                    rows = app.capture(app.controls[box], self.folder / f'{box}.bmp')
                    frame = rows[0][0]
                    edges = rows[0][:width] + rows[-1][:width] + [row[0] for row in rows]
                    return set(edges) == {frame} and rows[1][1] != frame

                app.wait_for(bordered, 5, f'a border around the {box} box')

    def test_input_box_has_the_keyboard_focus(self):
        app = self.start_app()
        self.assertEqual(app.focus(), 'input')
        self.assertEqual(self.driver.call('focus', app.hwnd)['foreground'], app.hwnd)

    def test_menu_resource_items_and_commands(self):
        self.start_app()
        menu = self.driver.call('menu_resource', windows_path(self.exe), 109)['items']
        seen = [(popup['text'], [(item['type'], item['id'], item['text'])
                                 for item in popup['items']])
                for popup in menu]
        self.assertEqual(seen, MENU)
        self.assertEqual([popup['type'] for popup in menu], ['popup', 'popup'])


class ModelLabel(Scenario):
    def label_green_pixels(self, app):
        """The label's size and the places (x, y) of its green pixels."""
        rows = app.capture(app.controls['model_label'], self.folder / 'label.bmp')
        green = [(x, y) for y, row in enumerate(rows) for x, pixel in enumerate(row)
                 if all(abs(a - b) <= GREEN_TOLERANCE for a, b in zip(pixel, DARK_GREEN))]
        return (len(rows[0]), len(rows)), green

    def test_model_name_painted_in_green_and_centred(self):
        app = self.start_app()
        self.assertEqual(app.text('model_label'), 'Model: gemini-2.5-flash-lite')
        app.wait_for(lambda: len(self.label_green_pixels(app)[1]) >= LABEL_GREEN_PIXELS_AT_LEAST,
                     5, 'the green model label')
        size, green = self.label_green_pixels(app)
        for axis, name in enumerate(('horizontally', 'vertically')):
            low, high = min(p[axis] for p in green), max(p[axis] for p in green)
            # Twice the distance between the middles of the text and of the label.
            self.assertLessEqual(abs(low + high + 1 - size[axis]), 2 * CENTRING_TOLERANCE_PX,
                                 f'green text from {low} to {high} of {size[axis]}, {name}')

    def test_without_a_model_line_the_label_is_empty(self):
        app = self.start_app(config=b'[Gemini]\r\ngemini_key=' + GOOD_KEY.encode() + b'\r\n')
        self.assertEqual(app.text('model_label'), '')
        self.assertEqual(self.label_green_pixels(app)[1], [])
