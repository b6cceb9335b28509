"""A local stand-in for the Gemini service, reached by the unmodified program.

The program's HTTP layer goes through the proxy named by http_proxy. This
service is that proxy: it answers CONNECT with "200 Connection established",
then speaks TLS on the same connection with a certificate for the real host
name, reads the HTTP requests inside the tunnel, records them and answers
each with the reply the test chose. Every connection runs on its own thread
with time limits, so a client that stalls never blocks the next one.

Besides replies, a test can make the way to the service fail: the proxy
refuses the tunnel (502), or the service closes it at once; and
`unreachable_proxy_url` names a port on which nothing listens.
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
# For a connection up to its first request, and for each later request on
# it: longer than the program's longest wait (receive, 120 s).
CONNECTION_LIMIT_S = 180
IDLE_TIMEOUT_S = 150
HANDSHAKE_TIMEOUT_S = 10
PROXY_HEAD_TIMEOUT_S = 10
POLL_S = 0.05
BAD_GATEWAY = 'bad_gateway'
CLOSED_AT_ONCE = 'closed_at_once'
TUNNEL_FAULTS = (BAD_GATEWAY, CLOSED_AT_ONCE)


@dataclasses.dataclass
class Tunnel:
    """One CONNECT tunnel: the proxy request, the fault chosen for it, how its
    TLS handshake went, how many bytes the client sent inside TLS, and
    whether the connection has ended (only then is that count final)."""
    target: str
    certificate: str
    connect_head: bytes
    fault: str = None
    tls_error: str = None
    plaintext_bytes: int = 0
    ended: bool = False


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
        self._tunnel_fault = None
        self._unreachable = None

    @staticmethod
    def _server_context(identity):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(identity.certificate, identity.key)
        return context

    # Life cycle

    def start(self):
        self._listener = socket.create_server(('127.0.0.1', 0))
        self._listener.settimeout(POLL_S * 10)
        # Bound but never listening: connections to this port are refused,
        # and no other program can take it while the service runs.
        self._unreachable = socket.socket()
        self._unreachable.bind(('127.0.0.1', 0))
        threading.Thread(target=self._accept_loop, name='standin-accept', daemon=True).start()
        return self

    def stop(self):
        self._stop.set()
        for sock in (self._listener, self._unreachable):
            if sock:
                sock.close()

    @property
    def proxy_url(self):
        host, port = self._listener.getsockname()
        return f'http://{host}:{port}'

    @property
    def unreachable_proxy_url(self):
        """A proxy address on which nothing listens."""
        host, port = self._unreachable.getsockname()
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

    def fail_tunnels(self, fault):
        """For the tunnels opened from now on: BAD_GATEWAY, CLOSED_AT_ONCE, or None."""
        if fault is not None and fault not in TUNNEL_FAULTS:
            raise ValueError(fault)
        with self._lock:
            self._tunnel_fault = fault

    def reset(self):
        with self._lock:
            self._requests.clear()
            self._tunnels.clear()
            self._queued.clear()
            self._default = self._initial_reply
            self._certificate = 'trusted'
            self._tunnel_fault = None

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
        tunnel = None
        with client:
            try:
                tunnel = self._open_tunnel(client, deadline)
                if tunnel is None or tunnel.fault:
                    return
                tls = self._contexts[tunnel.certificate].wrap_socket(
                    client, server_side=True, do_handshake_on_connect=False)
                tls.settimeout(HANDSHAKE_TIMEOUT_S)
                try:
                    tls.do_handshake()
                except (OSError, ssl.SSLError) as error:
                    tunnel.tls_error = str(error)
                    return
                tls.settimeout(IDLE_TIMEOUT_S)
                self._serve_requests(tls, tunnel, deadline)
            except (OSError, TimeoutError, http_messages.ConnectionClosed,
                    http_messages.BadRequest):
                return
            finally:
                if tunnel:
                    with self._lock:
                        tunnel.ended = True

    def _open_tunnel(self, client, deadline):
        """Reads the proxy request; answers a CONNECT and returns its tunnel,
        or None for anything else. A tunnel with a fault is ended at once."""
        client.settimeout(PROXY_HEAD_TIMEOUT_S)
        reader = http_messages.SocketReader(client, deadline)
        head = reader.read_until(b'\r\n\r\n', http_messages.MAX_HEAD_BYTES)
        method, target, _, _ = http_messages.parse_head(head)
        if method != 'CONNECT' or reader.has_buffered():
            client.sendall(b'HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n'
                           b'Connection: close\r\n\r\n')
            return None
        with self._lock:
            tunnel = Tunnel(target, self._certificate, head, self._tunnel_fault)
            self._tunnels.append(tunnel)
        if tunnel.fault == BAD_GATEWAY:
            # What a proxy answers when the service refuses its connection.
            client.sendall(b'HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n'
                           b'Connection: close\r\n\r\n')
        else:
            client.sendall(b'HTTP/1.1 200 Connection established\r\n\r\n')
        # With CLOSED_AT_ONCE the tunnel ends right after it opened, as when
        # the service closes the connection the proxy has just made.
        return tunnel

    def _serve_requests(self, tls, tunnel, deadline):
        reader = http_messages.SocketReader(tls, deadline)
        try:
            while not self._stop.is_set():
                request = http_messages.read_request(reader, tunnel.target)
                with self._lock:
                    self._requests.append(request)
                if not self._choose_reply(request).send(tls, self._stop):
                    return
                # The program keeps the connection for its next translation,
                # however long a session runs.
                reader.deadline = time.monotonic() + CONNECTION_LIMIT_S
        finally:
            with self._lock:
                tunnel.plaintext_bytes = reader.received
