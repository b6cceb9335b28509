"""What the stand-in answers: reply bodies shaped like the Gemini service's,
and the ways of putting a reply on the wire.

A reply is an object with send(sock, stop) that writes everything the client
gets and returns whether the connection may carry another request. New
behaviours are further classes with the same method (fault_replies.py: no
answer at all, endless bodies).
"""

import json
import threading
import time

JSON_CONTENT_TYPE = 'application/json; charset=UTF-8'
DEFAULT_MODEL = 'gemini-2.5-flash-lite'

_REASONS = {200: 'OK', 400: 'Bad Request', 403: 'Forbidden', 404: 'Not Found',
            429: 'Too Many Requests', 500: 'Internal Server Error', 502: 'Bad Gateway',
            503: 'Service Unavailable'}


def gemini_answer(text, *, ascii_escapes=False, model=DEFAULT_MODEL):
    """A generateContent reply carrying `text`, pretty-printed as the service does.

    With ascii_escapes every non-ASCII character is written as a \\uXXXX escape.
    """
    document = {
        'candidates': [{
            'content': {'parts': [{'text': text}], 'role': 'model'},
            'finishReason': 'STOP',
            'avgLogprobs': -0.0725,
        }],
        'usageMetadata': {
            'promptTokenCount': 61,
            'candidatesTokenCount': 19,
            'totalTokenCount': 80,
            'promptTokensDetails': [{'modality': 'TEXT', 'tokenCount': 61}],
            'candidatesTokensDetails': [{'modality': 'TEXT', 'tokenCount': 19}],
        },
        'modelVersion': model,
        'responseId': 'm3ZaaPvGL8Gv1MkP0Mjq8Qo',
    }
    return (json.dumps(document, indent=2, ensure_ascii=ascii_escapes) + '\n').encode('utf-8')


def gemini_error(code, status, message, reason=None):
    """The service's error object, as it comes with a 4xx or 5xx status."""
    error = {'code': code, 'message': message, 'status': status}
    if reason:
        error['details'] = [{
            '@type': 'type.googleapis.com/google.rpc.ErrorInfo',
            'reason': reason,
            'domain': 'googleapis.com',
            'metadata': {'service': 'generativelanguage.googleapis.com'},
        }]
    return (json.dumps({'error': error}, indent=2) + '\n').encode('utf-8')


class Reply:
    """A whole reply with Content-Length, sent after an optional delay."""
    keeps_connection = True  # open for the client's next request

    def __init__(self, body=b'', status=200, content_type=JSON_CONTENT_TYPE, delay_s=0.0):
        self.body = body
        self.status = status
        self.content_type = content_type
        self.delay_s = delay_s

    def head(self, framing_headers):
        lines = [f'HTTP/1.1 {self.status} {_REASONS.get(self.status, "Unknown")}',
                 f'Content-Type: {self.content_type}',
                 'Vary: Origin', 'Vary: X-Origin', 'Vary: Referer',
                 'Date: ' + time.strftime('%a, %d %b %Y %H:%M:%S GMT', time.gmtime()),
                 'Server: scaffolding on HTTPServer2',
                 'X-XSS-Protection: 0', 'X-Frame-Options: SAMEORIGIN',
                 'X-Content-Type-Options: nosniff',
                 *framing_headers]
        return ('\r\n'.join(lines) + '\r\n\r\n').encode('ascii')

    def wait(self, stop: threading.Event):
        """Holds the answer back for the delay; False when the service is stopping."""
        return not stop.wait(self.delay_s) if self.delay_s else True

    def send(self, sock, stop):
        """Sends the reply; False when the connection ends with it."""
        if not self.wait(stop):
            return False
        sock.sendall(self.message())
        return self.keeps_connection

    def message(self):
        return self.head([f'Content-Length: {len(self.body)}']) + self.body


class ChunkedReply(Reply):
    """The same reply with chunked transfer coding, as the real service often sends it."""

    def __init__(self, body=b'', chunk_bytes=100, **kwargs):
        super().__init__(body, **kwargs)
        self.chunk_bytes = chunk_bytes

    def message(self):
        data = self.head(['Transfer-Encoding: chunked'])
        for start in range(0, len(self.body), self.chunk_bytes):
            chunk = self.body[start:start + self.chunk_bytes]
            data += f'{len(chunk):x}\r\n'.encode('ascii') + chunk + b'\r\n'
        return data + b'0\r\n\r\n'


class CutReply(Reply):
    """Announces the whole body but breaks the connection after `sent_bytes` of it."""
    keeps_connection = False

    def __init__(self, body=b'', sent_bytes=0, **kwargs):
        super().__init__(body, **kwargs)
        self.sent_bytes = sent_bytes

    def message(self):
        whole = super().message()
        return whole[:len(whole) - len(self.body) + self.sent_bytes]
