"""Test certificates, made fresh for every run with the openssl tool.

Two authorities: a trusted one, whose certificate joins a copy of the system
bundle that tests mount over the system file in a private mount namespace,
and an untrusted one that no bundle holds. Each issues a server certificate
for the service's real host name.
"""

import dataclasses
import pathlib
import subprocess

SYSTEM_BUNDLE = pathlib.Path('/etc/ssl/certs/ca-certificates.crt')
VALID_DAYS = '2'
KEY_TYPE = 'rsa:2048'


@dataclasses.dataclass(frozen=True)
class ServerIdentity:
    certificate: pathlib.Path
    key: pathlib.Path


@dataclasses.dataclass(frozen=True)
class TestPki:
    trusted: ServerIdentity
    untrusted: ServerIdentity
    bundle: pathlib.Path  # the system bundle plus the trusted authority


def _openssl(*args):
    subprocess.run(['openssl', *args], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE, timeout=60)


def _make_authority(directory, name):
    key = directory / f'{name}-ca.key'
    certificate = directory / f'{name}-ca.pem'
    _openssl('req', '-x509', '-newkey', KEY_TYPE, '-nodes', '-keyout', key, '-out', certificate,
             '-days', VALID_DAYS, '-subj', f'/O=Parlivo acceptance tests/CN=Parlivo {name} test CA',
             '-addext', 'basicConstraints=critical,CA:TRUE',
             '-addext', 'keyUsage=critical,keyCertSign,cRLSign')
    return key, certificate


def _issue_server_certificate(directory, name, authority, host):
    authority_key, authority_certificate = authority
    key = directory / f'{name}-server.key'
    request = directory / f'{name}-server.csr'
    certificate = directory / f'{name}-server.pem'
    extensions = directory / f'{name}-server.ext'
    extensions.write_text(f'subjectAltName=DNS:{host}\n'
                          'extendedKeyUsage=serverAuth\n'
                          'basicConstraints=CA:FALSE\n'
                          'keyUsage=critical,digitalSignature,keyEncipherment\n')
    _openssl('req', '-newkey', KEY_TYPE, '-nodes', '-keyout', key, '-out', request,
             '-subj', f'/CN={host}')
    _openssl('x509', '-req', '-in', request, '-CA', authority_certificate,
             '-CAkey', authority_key, '-CAcreateserial', '-out', certificate,
             '-days', VALID_DAYS, '-extfile', extensions)
    return ServerIdentity(certificate, key)


def make_test_pki(directory, host):
    directory = pathlib.Path(directory)
    directory.mkdir(parents=True, exist_ok=True)
    trusted_authority = _make_authority(directory, 'trusted')
    untrusted_authority = _make_authority(directory, 'untrusted')
    bundle = directory / 'ca-bundle.crt'
    bundle.write_bytes(SYSTEM_BUNDLE.read_bytes() + b'\n' + trusted_authority[1].read_bytes())
    return TestPki(
        trusted=_issue_server_certificate(directory, 'trusted', trusted_authority, host),
        untrusted=_issue_server_certificate(directory, 'untrusted', untrusted_authority, host),
        bundle=bundle)
