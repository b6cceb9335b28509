"""The demo mode of the stand-in: a handful of everyday phrases in Arabic,
English and German, answered the way the Gemini service lays out its answers.

It is a local stand-in, not a translator: any other text gets a polite note
that says so.
"""

import json
import string

from harness.request_checks import PROMPT_HEAD, PROMPT_TAIL
from standin.replies import Reply, gemini_answer

DEMO_MODEL = 'local-demo-stand-in'
DEMO_KEY = 'DEMO-KEY-LOCAL-ONLY'
DEMO_CONFIG = ('[Gemini]\r\n'
               f'gemini_key={DEMO_KEY}\r\n'
               f'gemini_model={DEMO_MODEL}\r\n').encode('ascii')
# A short pause, so that the busy button shows as it does with the real service.
ANSWER_DELAY_S = 0.4

# (Arabic, English, German), each side with the meanings the model would list.
PHRASES = [
    ('مرحبا، أهلا', 'hello, hi', 'hallo, servus'),
    ('شكرا، شكرا جزيلا', 'thank you, thanks', 'danke, vielen Dank'),
    ('صباح الخير', 'good morning', 'guten Morgen'),
    ('تصبح على خير', 'good night', 'gute Nacht'),
    ('من فضلك', 'please', 'bitte'),
    ('نعم', 'yes', 'ja'),
    ('لا', 'no', 'nein'),
    ('كيف حالك؟', 'how are you?', "wie geht's dir?"),
    ('عفوا، المعذرة', 'excuse me, sorry', 'entschuldige, Entschuldigung'),
    ('مع السلامة', 'goodbye, bye', 'tschüss, auf Wiedersehen'),
    ('ماء', 'water', 'Wasser'),
    ('صديق، صديقة', 'friend', 'Freund, Freundin'),
]
FALLBACK = ('هذه خدمة تجريبية محلية ولا تعرف إلا عبارات قليلة، مثل مرحبا وشكرا.',
            'This local demo stand-in knows only a few phrases, such as hello, thank you '
            'and good morning. Add your Gemini API key to config.ini for real translations.',
            'Dieser lokale Demo-Dienst kennt nur wenige Sätze, etwa hallo, danke und '
            'guten Morgen. Trag deinen Gemini-API-Schlüssel in config.ini ein.')

_IGNORED = string.punctuation + '؟،' + string.whitespace


def _key(text):
    return ' '.join(''.join(' ' if c in _IGNORED else c for c in text).casefold().split())


def _lookup_table():
    table = {}
    for phrase in PHRASES:
        for side in phrase:
            table[_key(side)] = phrase
            for meaning in side.split('،' if '،' in side else ','):
                table.setdefault(_key(meaning), phrase)
    return table


_TABLE = _lookup_table()


def text_of_request(body):
    """The user's text inside the translation prompt of a request body."""
    prompt = json.loads(body)['contents'][0]['parts'][0]['text']
    if prompt.startswith(PROMPT_HEAD) and prompt.endswith(PROMPT_TAIL):
        return prompt[len(PROMPT_HEAD):-len(PROMPT_TAIL)]
    return prompt


def demo_reply(request):
    """The stand-in's answer to one recorded request in demo mode."""
    try:
        text = text_of_request(request.body)
    except (ValueError, KeyError, IndexError):
        text = ''
    arabic, english, german = _TABLE.get(_key(text), FALLBACK)
    return Reply(gemini_answer(f'Arabic: {arabic}\nEnglish: {english}\nGerman: {german}',
                               model=DEMO_MODEL), delay_s=ANSWER_DELAY_S)
