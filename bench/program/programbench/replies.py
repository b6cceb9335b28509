"""Replies for timed translations: Gemini-shaped bodies of an exact size whose
answer fills all three boxes, sent by a reply that notes its own sending time."""

import dataclasses
import json
import time

from standin.replies import Reply, gemini_answer

# One line of a long answer in each language, as the model writes it; the
# sections are these lines over and over, one to a line.
SECTION_LINES = (
    ('Arabic', 'صباح الخير، كيف حالك اليوم؟ أتمنى لك يوما سعيدا مليئا بالنجاح.'),
    ('English', 'Good morning, how are you today? I wish you a good day full of success.'),
    ('German', 'Guten Morgen, wie geht es dir heute? Ich wünsche dir einen schönen Tag.'),
)
PADDING = ' ja,'  # ASCII, so that each character is one byte of the body
# A sentence to repeat for the longest text the program accepts: nothing in
# it needs escaping in JSON, so both programs send the same body.
LONG_INPUT_SENTENCE = 'Guten Morgen, wie geht es dir heute? '
LONGEST_INPUT = 10_000


def clock_us():
    """The host's raw monotonic clock, which Wine's performance counter reads too."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 1000


def long_input():
    """A text of exactly the longest accepted length, with no blank at either
    end (the program would trim it, the floor would not)."""
    repeats = LONGEST_INPUT // len(LONG_INPUT_SENTENCE) + 1
    return (LONG_INPUT_SENTENCE * repeats)[:LONGEST_INPUT - 1] + '.'


def _json_bytes(text):
    return len(json.dumps(text, ensure_ascii=False).encode('utf-8')) - 2  # no quotation marks


@dataclasses.dataclass
class SizedAnswer:
    body: bytes  # the whole reply body
    boxes: dict  # box name -> the text the program must show there


def sized_answer(body_bytes):
    """A reply body of exactly `body_bytes` whose answer has the three labelled
    sections, each about a third of it."""
    room = body_bytes - len(gemini_answer(''))
    sections = {}
    for label, line in SECTION_LINES:
        lines = max(1, (room // len(SECTION_LINES)) // _json_bytes(line + '\n'))
        sections[label] = '\n'.join([line] * lines)
    text = '\n'.join(f'{label}: {body}' for label, body in sections.items())
    shortfall = body_bytes - len(gemini_answer(text))
    if shortfall < 0:
        raise ValueError(f'{body_bytes} bytes cannot hold three sections')
    padding = (PADDING * (shortfall // len(PADDING) + 1))[:shortfall]
    if padding.endswith(' '):  # the program trims a section's trailing blanks
        padding = padding[:-1] + '.'
    sections['German'] += padding
    text += padding
    body = gemini_answer(text)
    assert len(body) == body_bytes, (len(body), body_bytes)
    return SizedAnswer(body, {label.lower(): content for label, content in sections.items()})


class TimedReply(Reply):
    """A whole reply that notes when the stand-in starts and ends sending it."""

    def __init__(self, body):
        super().__init__(body)
        self.sends = []  # (start_us, end_us), one pair per request answered

    def send(self, sock, stop):
        started = clock_us()
        may_continue = super().send(sock, stop)
        self.sends.append((started, clock_us()))
        return may_continue
