"""A local stand-in for the Gemini service, reached by the unmodified program.

The program's HTTP layer goes through the proxy named by http_proxy. This
service is that proxy: it answers CONNECT with "200 Connection established",
then speaks TLS on the same connection with a certificate for the real host
name, reads the HTTP requests inside the tunnel, records them and answers
each with the reply the test chose. Every connection runs on its own thread
with time limits, so a client that stalls never blocks the next one.
"""

import collections
import dataclasses
import socket
import ssl
import threading
import time

from standin import http_messages
from standin.replies import Reply, gemini_answer

GEMINI_HOST = 'generativelanguage.googleapis.com'
CONNECTION_LIMIT_S = 180  # longer than the program's longest wait (receive, 120 s)
IDLE_TIMEOUT_S = 150
HANDSHAKE_TIMEOUT_S = 10
PROXY_HEAD_TIMEOUT_S = 10
POLL_S = 0.05


@dataclasses.dataclass
class Tunnel:
    """One CONNECT tunnel and how its TLS handshake went."""
    target: str
    certificate: str
    tls_error: str = None


class StandInService:
    def __init__(self, pki, default_reply=None):
        self._contexts = {'trusted': self._server_context(pki.trusted),
                          'untrusted': self._server_context(pki.untrusted)}
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self._listener = None
        self._requests = []
        self._tunnels = []
        self._queued = collections.deque()
        self._initial_reply = default_reply or Reply(gemini_answer(
            'Arabic: مرحبا\nEnglish: hello\nGerman: hallo'))
        self._default = self._initial_reply
        self._certificate = 'trusted'

    @staticmethod
    def _server_context(identity):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(identity.certificate, identity.key)
        return context

    # Life cycle

    def start(self):
        self._listener = socket.create_server(('127.0.0.1', 0))
        self._listener.settimeout(POLL_S * 10)
        threading.Thread(target=self._accept_loop, name='standin-accept', daemon=True).start()
        return self

    def stop(self):
        self._stop.set()
        if self._listener:
            self._listener.close()

    @property
    def proxy_url(self):
        host, port = self._listener.getsockname()
        return f'http://{host}:{port}'

    # What the test chooses

    def reply_with(self, reply):
        """Answers every following request with `reply`: a Reply, or a function
        of the recorded request that returns one."""
        with self._lock:
            self._default = reply

    def reply_next(self, *replies):
        """Answers the next requests with these replies, in order, before the default."""
        with self._lock:
            self._queued.extend(replies)

    def present_certificate(self, which):
        """'trusted' or 'untrusted' for the tunnels opened from now on."""
        if which not in self._contexts:
            raise ValueError(which)
        with self._lock:
            self._certificate = which

    def reset(self):
        with self._lock:
            self._requests.clear()
            self._tunnels.clear()
            self._queued.clear()
            self._default = self._initial_reply
            self._certificate = 'trusted'

    # What the test sees

    @property
    def requests(self):
        with self._lock:
            return list(self._requests)

    @property
    def tunnels(self):
        with self._lock:
            return list(self._tunnels)

    def wait_for_requests(self, count, timeout_s):
        """The recorded requests once there are at least `count`, or all there
        are when the time limit passes."""
        deadline = time.monotonic() + timeout_s
        while time.monotonic() < deadline:
            if len(self.requests) >= count:
                break
            time.sleep(POLL_S)
        return self.requests

    # Serving

    def _accept_loop(self):
        while not self._stop.is_set():
            try:
                client, _ = self._listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            threading.Thread(target=self._serve, args=(client,), name='standin-connection',
                             daemon=True).start()

    def _choose_reply(self, request):
        with self._lock:
            reply = self._queued.popleft() if self._queued else self._default
        return reply if isinstance(reply, Reply) else reply(request)

    def _serve(self, client):
        deadline = time.monotonic() + CONNECTION_LIMIT_S
        with client:
            try:
                target = self._open_tunnel(client, deadline)
                if target is None:
                    return
                with self._lock:
                    which = self._certificate
                    tunnel = Tunnel(target, which)
                    self._tunnels.append(tunnel)
                tls = self._contexts[which].wrap_socket(client, server_side=True,
                                                        do_handshake_on_connect=False)
                tls.settimeout(HANDSHAKE_TIMEOUT_S)
                try:
                    tls.do_handshake()
                except (OSError, ssl.SSLError) as error:
                    tunnel.tls_error = str(error)
                    return
                tls.settimeout(IDLE_TIMEOUT_S)
                self._serve_requests(tls, target, deadline)
            except (OSError, TimeoutError, http_messages.ConnectionClosed,
                    http_messages.BadRequest):
                return

    def _open_tunnel(self, client, deadline):
        """Reads the proxy request; answers a CONNECT and returns its target."""
        client.settimeout(PROXY_HEAD_TIMEOUT_S)
        reader = http_messages.SocketReader(client, deadline)
        head = reader.read_until(b'\r\n\r\n', http_messages.MAX_HEAD_BYTES)
        method, target, _, _ = http_messages.parse_head(head)
        if method != 'CONNECT' or reader.has_buffered():
            client.sendall(b'HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n'
                           b'Connection: close\r\n\r\n')
            return None
        client.sendall(b'HTTP/1.1 200 Connection established\r\n\r\n')
        return target

    def _serve_requests(self, tls, target, deadline):
        reader = http_messages.SocketReader(tls, deadline)
        while not self._stop.is_set():
            request = http_messages.read_request(reader, target)
            with self._lock:
                self._requests.append(request)
            if not self._choose_reply(request).send(tls, self._stop):
                return
