"""Reading HTTP/1.1 requests off a socket, and what the stand-in records of them."""

import dataclasses
import socket
import time
import urllib.parse

MAX_HEAD_BYTES = 64 * 1024
MAX_BODY_BYTES = 16 * 1024 * 1024
READ_CHUNK = 64 * 1024


class ConnectionClosed(Exception):
    """The peer closed the connection before a whole request arrived."""


class BadRequest(Exception):
    """The bytes are not an HTTP/1.1 request this stand-in understands."""


@dataclasses.dataclass
class RecordedRequest:
    connect_target: str  # host:port of the CONNECT that opened the tunnel
    method: str
    target: str  # as sent: origin form (/path) or absolute form (https://host/path)
    version: str
    headers: list  # (name, value) pairs, in the order sent
    body: bytes
    received_at: float = 0.0  # time.monotonic() when the whole request was in
    # (time.monotonic_ns(), bytes) of each read off the socket that carried it
    reads: list = dataclasses.field(default_factory=list)

    def header(self, name):
        """The value of the only header of that name (any case), or None."""
        values = self.header_values(name)
        if len(values) > 1:
            raise AssertionError(f'header {name} sent {len(values)} times: {values}')
        return values[0] if values else None

    def header_values(self, name):
        return [value for key, value in self.headers if key.lower() == name.lower()]

    @property
    def authority(self):
        """The host (and port) the request names: absolute target or Host header."""
        if self.target.startswith(('http://', 'https://')):
            return urllib.parse.urlsplit(self.target).netloc
        return self.header('Host')

    @property
    def path_and_query(self):
        """The target in origin form, whichever form was sent."""
        if self.target.startswith(('http://', 'https://')):
            parts = urllib.parse.urlsplit(self.target)
            return self.target[len(f'{parts.scheme}://{parts.netloc}'):] or '/'
        return self.target


class SocketReader:
    """Buffered reads with a deadline on top of the socket's own timeout; the
    owner may move the deadline on (`deadline`, a time.monotonic() value)."""

    def __init__(self, sock, deadline):
        self._sock = sock
        self.deadline = deadline
        self._buffer = b''
        self.received = 0  # every byte read off the socket so far
        self.reads = []  # (time.monotonic_ns(), bytes) of each read

    def _fill(self):
        if time.monotonic() > self.deadline:
            raise TimeoutError('connection time limit reached')
        # Acknowledged at once: a delayed acknowledgement would hold back the
        # rest of a request that the client's stack sends in pieces.
        self._sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
        data = self._sock.recv(READ_CHUNK)
        if not data:
            raise ConnectionClosed()
        self.received += len(data)
        self.reads.append((time.monotonic_ns(), len(data)))
        self._buffer += data

    def read_until(self, marker, limit):
        while marker not in self._buffer:
            if len(self._buffer) > limit:
                raise BadRequest('head too long')
            self._fill()
        index = self._buffer.index(marker) + len(marker)
        data, self._buffer = self._buffer[:index], self._buffer[index:]
        return data

    def read_exactly(self, count):
        while len(self._buffer) < count:
            self._fill()
        data, self._buffer = self._buffer[:count], self._buffer[count:]
        return data

    def has_buffered(self):
        return bool(self._buffer)


def parse_head(head):
    """Request line and headers of a head that ends in CR LF CR LF."""
    lines = head.decode('iso-8859-1').split('\r\n')
    try:
        method, target, version = lines[0].split(' ')
    except ValueError as error:
        raise BadRequest(f'request line {lines[0]!r}') from error
    headers = []
    for line in lines[1:]:
        if not line:
            continue
        name, separator, value = line.partition(':')
        if not separator:
            raise BadRequest(f'header line {line!r}')
        headers.append((name.strip(), value.strip()))
    return method, target, version, headers


def read_request(reader, connect_target):
    first_read = len(reader.reads)
    head = reader.read_until(b'\r\n\r\n', MAX_HEAD_BYTES)
    method, target, version, headers = parse_head(head)
    names = {name.lower(): value for name, value in headers}
    # The program declares its body's length up front; a chunked body is a fault.
    if 'transfer-encoding' in names:
        raise BadRequest('a request body without Content-Length')
    length = int(names.get('content-length', '0'))
    if length > MAX_BODY_BYTES:
        raise BadRequest('body too long')
    body = reader.read_exactly(length)
    return RecordedRequest(connect_target, method, target, version, headers, body,
                           time.monotonic(), reader.reads[first_read:])
