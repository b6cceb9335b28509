"""What the Gemini service must receive for one translation."""

import json

from harness.scenario import GOOD_KEY, MODEL
from standin.service import GEMINI_HOST

PROMPT_HEAD = "Translate '"
PROMPT_TAIL = ("' to Arabic, English, and German use (Du). Keep answers plain text and short and "
               'practical, with 2-3 meanings separated by commas if important (no extra text) . '
               'Format: Arabic: <text> English: <text> German: <text>')
_SHORT_ESCAPES = {'"': '\\"', '\\': '\\\\', '\b': '\\b', '\t': '\\t', '\n': '\\n',
                  '\f': '\\f', '\r': '\\r'}


def json_escaped(text):
    """The text as it stands inside the body's JSON string: short escapes where
    JSON has them, \\u00XX for the other control characters, all else as is."""
    return ''.join(_SHORT_ESCAPES.get(c, f'\\u{ord(c):04x}' if ord(c) < 0x20 else c)
                   for c in text)


def expected_body(text):
    prompt = PROMPT_HEAD + json_escaped(text) + PROMPT_TAIL
    return ('{"contents":[{"role":"user","parts":[{"text":"' + prompt + '"}]}]}').encode('utf-8')


def expected_path(model, key):
    return f'/v1beta/models/{model}:generateContent?&key={key}'


def check_request(test, request, text, model=MODEL, key=GOOD_KEY):
    """Asserts everything about one recorded request: tunnel, request line,
    headers and the exact body bytes."""
    # Wine's WinHTTP repeats the request's headers in the CONNECT to the proxy.
    for tunnel in test.service.tunnels:
        test.assertNotIn(key.encode(), tunnel.connect_head, 'the key in a proxy request header')
    test.assertEqual(request.connect_target, f'{GEMINI_HOST}:443')
    test.assertEqual(request.method, 'POST')
    # Through a proxy Wine's WinHTTP sends the absolute form inside the
    # tunnel; either form names the same resource.
    test.assertIn(request.authority, (GEMINI_HOST, f'{GEMINI_HOST}:443'))
    test.assertEqual(request.path_and_query, expected_path(model, key))
    # Every header, each once: the program's two, WinHTTP's own and no other.
    test.assertEqual(sorted((name.lower(), value) for name, value in request.headers), sorted([
        ('host', GEMINI_HOST), ('content-type', 'application/json; charset=utf-8'),
        ('accept', 'application/json'), ('user-agent', 'Parlivo/1.0'),
        ('content-length', str(len(request.body))), ('connection', 'Keep-Alive')]))
    test.assertEqual(request.body, expected_body(text))
    # The same body read as JSON: one user content whose one part is the prompt.
    document = json.loads(request.body)
    test.assertEqual(document, {'contents': [{'role': 'user', 'parts': [
        {'text': PROMPT_HEAD + text + PROMPT_TAIL}]}]})
