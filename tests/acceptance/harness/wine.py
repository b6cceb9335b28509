"""A private Wine prefix inside the build tree, and the way programs run in it.

A prefix for tests puts every program on one 1920x1080 virtual desktop
(windows get frames and menus without a window manager, and
`wine program.exe` passes the program's exit code back). Every prefix knows
Wine's own Marlett font, so title bars show their proper buttons. Given a
bundle, the programs run in a private mount namespace in which that bundle
lies over the system's certificate file, so a test authority is trusted there
and nowhere else.
"""

import contextlib
import fcntl
import os
import pathlib
import struct
import subprocess

SYSTEM_BUNDLE = '/etc/ssl/certs/ca-certificates.crt'
DESKTOP_SIZE = (1920, 1080)
BOOT_TIMEOUT_S = 300
REG_TIMEOUT_S = 60
IDLE_TIMEOUT_S = 30
MOUNT_TIMEOUT_S = 10
WINESERVER_NAMES = ('wineserver', 'wineserver64')
_PROXY_VARIABLES = ('http_proxy', 'https_proxy', 'HTTP_PROXY', 'HTTPS_PROXY', 'no_proxy',
                    'NO_PROXY', 'all_proxy', 'ALL_PROXY')
# The bind mount lives as long as the namespace, that is as long as the program.
_TRUST_SCRIPT = f'mount --bind "$0" {SYSTEM_BUNDLE} && exec "$@"'
# The Marlett symbol font of Wine's own, from the package fonts-wine.
WINE_MARLETT_FONT = pathlib.Path('/usr/share/wine/fonts/marlett.ttf')
# The computer's WinHTTP proxy setting, which `netsh winhttp set proxy`
# writes and Windows' WinHTTP and Wine's alike read; it wins over http_proxy.
WINHTTP_SETTINGS_KEY = r'HKLM\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections'
WINHTTP_SETTINGS_VALUE = 'WinHttpSettings'


def windows_path(path):
    """The path under Wine's drive Z:, which maps the Unix root."""
    return 'Z:' + str(pathlib.Path(path).resolve()).replace('/', '\\')


_PREFIX_SETTINGS = [
    # A crashing program ends instead of waiting in a debugger dialog.
    (r'HKCU\Software\Wine\WineDbg', 'ShowCrashDialog', 'REG_DWORD', '0'),
    # Wine draws the caption buttons (minimise, maximise, close) as characters
    # of Marlett. Debian's Wine 8.0 looks for its own fonts under
    # Z:\usr\share\wine\../fonts, a path that does not resolve, so a new
    # prefix has none of them and the buttons show the letters "0", "1" and
    # "r" of a text font instead. Registered with its full path, Marlett loads
    # like an installed font.
    (r'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts', 'Marlett (TrueType)',
     'REG_SZ', windows_path(WINE_MARLETT_FONT)),
]
_VIRTUAL_DESKTOP_SETTINGS = [
    # One virtual desktop for every program of the prefix.
    (r'HKCU\Software\Wine\Explorer', 'Desktop', 'REG_SZ', 'Default'),
    (r'HKCU\Software\Wine\Explorer\Desktops', 'Default', 'REG_SZ',
     f'{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}'),
]


def winhttp_settings(proxy):
    """The value that `netsh winhttp set proxy PROXY` writes: the version 0x18,
    a change count, the flags 3 (a proxy is set), then the proxy text and an
    empty bypass list, each after its length."""
    text = proxy.encode('ascii')
    return struct.pack('<4I', 0x18, 0, 3, len(text)) + text + struct.pack('<I', 0)


class WineSession:
    def __init__(self, prefix, display=None, trusted_bundle=None):
        """`display` None keeps the caller's own X display."""
        self.prefix = pathlib.Path(prefix)
        self.env = {key: value for key, value in os.environ.items()
                    if key not in _PROXY_VARIABLES}
        # Only the diagnostics that explain a window that never appears.
        self.env.update(WINEPREFIX=str(self.prefix), WINEDEBUG='-all,err+winediag',
                        # No Mono or Gecko installer: the programs here need neither.
                        WINEDLLOVERRIDES='mscoree,mshtml=')
        if display:
            self.env['DISPLAY'] = display
        self.command = ['wine']
        if trusted_bundle:
            self.command = ['unshare', '--mount', '--propagation', 'private',
                            'sh', '-c', _TRUST_SCRIPT, str(trusted_bundle), 'wine']

    def ensure_prefix(self, virtual_desktop=True):
        """Creates and configures the prefix once; later runs reuse it.

        The stamp lists the settings the prefix was given, so a prefix made
        before a setting was added gets it on its next use.
        """
        if not WINE_MARLETT_FONT.is_file():
            raise FileNotFoundError(f'{WINE_MARLETT_FONT} is missing: install fonts-wine')
        self.prefix.parent.mkdir(parents=True, exist_ok=True)
        stamp = self.prefix / '.parlivo-acceptance-ready'
        settings = _PREFIX_SETTINGS + (_VIRTUAL_DESKTOP_SETTINGS if virtual_desktop else [])
        stamp_text = ''.join(f'{key}\\{name} {kind} {value}\n'
                             for key, name, kind, value in settings)
        with open(self.prefix.parent / 'prefix.lock', 'w') as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            self._drop_leftover_proxy()
            if stamp.exists() and stamp.read_text() == stamp_text:
                return
            self._run(['wineboot', '--init'], BOOT_TIMEOUT_S)
            for key, name, kind, value in settings:
                self._run(['wine', 'reg', 'add', key, '/v', name, '/t', kind, '/d', value, '/f'],
                          REG_TIMEOUT_S)
            self.wait_until_idle()
            stamp.write_text(stamp_text)

    @contextlib.contextmanager
    def system_proxy(self, proxy):
        """Sets the prefix's WinHTTP proxy (host:port) as netsh does while the
        block runs; afterwards the prefix has none again."""
        self._reg('add', '/t', 'REG_BINARY', '/d', winhttp_settings(proxy).hex())
        try:
            yield
        finally:
            self._reg('delete')

    def _drop_leftover_proxy(self):
        """A run cut short inside system_proxy leaves its proxy in the prefix,
        where it would win over every later program's http_proxy."""
        registry = self.prefix / 'system.reg'
        if registry.exists() and WINHTTP_SETTINGS_VALUE in registry.read_text(errors='replace'):
            self._reg('delete')
            self.wait_until_idle()

    def _reg(self, verb, *args):
        self._run(['wine', 'reg', verb, WINHTTP_SETTINGS_KEY, '/v', WINHTTP_SETTINGS_VALUE,
                   *args, '/f'], REG_TIMEOUT_S)

    def with_dll_overrides(self, overrides):
        """The environment entry that adds `overrides` to the session's own."""
        return {'WINEDLLOVERRIDES': f'{self.env["WINEDLLOVERRIDES"]};{overrides}'}

    def _run(self, args, timeout_s):
        subprocess.run(args, env=self.env, check=True, timeout=timeout_s,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, args, cwd=None, extra_env=None, log_path=None):
        """Starts a Windows program (path and arguments) in the prefix; what
        Wine prints goes to `log_path`."""
        env = dict(self.env, **(extra_env or {}))
        with open(log_path or os.devnull, 'ab') as log:
            return subprocess.Popen([*self.command, *map(str, args)], cwd=cwd, env=env,
                                    stdin=subprocess.DEVNULL, stdout=log, stderr=log)

    def server_pid(self):
        """The process id of the prefix's running wineserver."""
        wanted = f'WINEPREFIX={self.prefix}'.encode()
        for entry in pathlib.Path('/proc').iterdir():
            with contextlib.suppress(OSError):
                if ((entry / 'comm').read_text().strip() in WINESERVER_NAMES and
                        wanted in (entry / 'environ').read_bytes().split(b'\0')):
                    return int(entry.name)
        raise RuntimeError(f'no wineserver runs for {self.prefix}')

    @contextlib.contextmanager
    def read_only_folder(self, folder):
        """Makes `folder` read-only for every program of the prefix, root
        included, while the block runs.

        Wine opens and creates files in its wineserver, so the read-only bind
        mount goes into the wineserver's mount namespace: the private one
        made for the first program of the session, never the caller's own.
        """
        server = self.server_pid()
        if os.readlink(f'/proc/{server}/ns/mnt') == os.readlink('/proc/self/ns/mnt'):
            raise RuntimeError('the wineserver shares this mount namespace; '
                               'a read-only mount there would reach the whole machine')
        folder = str(pathlib.Path(folder).resolve())

        def in_server_namespace(*command):
            subprocess.run(['nsenter', f'--target={server}', '--mount', *command], check=True,
                           timeout=MOUNT_TIMEOUT_S, stdout=subprocess.DEVNULL)

        in_server_namespace('mount', '--bind', folder, folder)
        try:
            in_server_namespace('mount', '-o', 'remount,bind,ro', folder)
            yield
        finally:
            # Lazily, so that a program still running there cannot keep it mounted.
            in_server_namespace('umount', '--lazy', folder)

    def wait_until_idle(self):
        """Waits for the prefix's wineserver to end once its last program has.

        Raises subprocess.TimeoutExpired when a program is still running: the
        callers end the programs they started, one by one, before this.
        """
        subprocess.run(['wineserver', '--wait'], env=self.env, timeout=IDLE_TIMEOUT_S)
