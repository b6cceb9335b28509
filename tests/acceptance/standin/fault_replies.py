"""Replies of a service that misbehaves: one that never answers, one whose
body never ends, and the bodies the service sends when it answers without an
answer (a blocked prompt, a candidate stopped for safety)."""

import json
import socket
import ssl
import time

from standin.replies import DEFAULT_MODEL, Reply, gemini_answer

# Longer than the program's receive time limit (120 s), shorter than the
# service's own limit for one connection.
HOLD_LIMIT_S = 150
HANG_UP_POLL_S = 0.2
ENDLESS_PIECE = b'x' * 16384
ENDLESS_PAUSE_S = 0.002
ENDLESS_LIMIT_BYTES = 64 * 1024 * 1024

_USAGE = {'promptTokenCount': 61, 'totalTokenCount': 61,
          'promptTokensDetails': [{'modality': 'TEXT', 'tokenCount': 61}]}
_SAFETY_RATINGS = [
    {'category': 'HARM_CATEGORY_HATE_SPEECH', 'probability': 'NEGLIGIBLE'},
    {'category': 'HARM_CATEGORY_DANGEROUS_CONTENT', 'probability': 'HIGH', 'blocked': True},
    {'category': 'HARM_CATEGORY_HARASSMENT', 'probability': 'NEGLIGIBLE'},
    {'category': 'HARM_CATEGORY_SEXUALLY_EXPLICIT', 'probability': 'NEGLIGIBLE'},
]


def _pretty(document):
    return (json.dumps(document, indent=2) + '\n').encode('utf-8')


def gemini_prompt_blocked(reason='SAFETY'):
    """The reply to a prompt the service refuses: feedback, no candidates."""
    return _pretty({'promptFeedback': {'blockReason': reason, 'safetyRatings': _SAFETY_RATINGS},
                    'usageMetadata': _USAGE, 'modelVersion': DEFAULT_MODEL,
                    'responseId': 'q4ZaaKnDBtGv1MkPyNjE8Qo'})


def gemini_candidate_stopped(finish_reason='SAFETY', content=None):
    """A candidate that stopped before any text: no content, or `content`
    without a text part."""
    candidate = {'finishReason': finish_reason, 'index': 0, 'safetyRatings': _SAFETY_RATINGS}
    if content is not None:
        candidate = {'content': content, **candidate}
    return _pretty({'candidates': [candidate], 'usageMetadata': _USAGE,
                    'modelVersion': DEFAULT_MODEL, 'responseId': 'r5ZaaOvKH9Gv1MkPmNjE8Qo'})


def padded_gemini_answer(text, total_bytes):
    """A generateContent reply carrying `text` as its first text member, then
    a filler member that makes the body exactly `total_bytes` long."""
    answer = gemini_answer(text)
    head = answer[:answer.rindex(b'}')].rstrip() + b',\n  "padding": "'
    tail = b'"\n}\n'
    filler = total_bytes - len(head) - len(tail)
    if filler < 0:
        raise ValueError(f'{total_bytes} bytes cannot hold the answer')
    return head + b'x' * filler + tail


def _client_gone(sock):
    """Waits one poll for the client; True once it has closed or reset the connection."""
    try:
        return not sock.recv(1)
    except socket.timeout:
        return False
    except (OSError, ssl.SSLError):
        return True


class Silence(Reply):
    """Takes the request and never answers. Holds the connection until the
    client hangs up, and notes after how long, one entry per request."""

    def __init__(self):
        super().__init__()
        self.hang_ups_s = []

    def send(self, sock, stop):
        started = time.monotonic()
        sock.settimeout(HANG_UP_POLL_S)
        while not stop.is_set() and time.monotonic() - started < HOLD_LIMIT_S:
            if _client_gone(sock):
                self.hang_ups_s.append(time.monotonic() - started)
                break
        return False


class EndlessReply(Reply):
    """Sends `body`, then filler in pieces with short pauses, and ends only
    when the client hangs up (or after 64 MiB). Chunked, or with a
    Content-Length of 64 MiB. Notes how many body bytes went out before the
    hang-up showed, one entry per request."""

    def __init__(self, body, chunked=True, **kwargs):
        super().__init__(body, **kwargs)
        self.chunked = chunked
        self.sent_bytes = []

    def _frame(self, data):
        return f'{len(data):x}\r\n'.encode('ascii') + data + b'\r\n' if self.chunked else data

    def send(self, sock, stop):
        if not self.wait(stop):
            return False
        framing = (['Transfer-Encoding: chunked'] if self.chunked
                   else [f'Content-Length: {ENDLESS_LIMIT_BYTES}'])
        sent = 0
        try:
            sock.sendall(self.head(framing) + self._frame(self.body))
            sent = len(self.body)
            while sent < ENDLESS_LIMIT_BYTES and not stop.is_set():
                piece = ENDLESS_PIECE[:ENDLESS_LIMIT_BYTES - sent]
                sock.sendall(self._frame(piece))
                sent += len(piece)
                time.sleep(ENDLESS_PAUSE_S)
            if self.chunked:
                sock.sendall(b'0\r\n\r\n')
        except (OSError, ssl.SSLError):
            pass
        self.sent_bytes.append(sent)
        return False
