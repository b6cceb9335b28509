"""What Parlivo.exe brings with it: its size and the DLLs it imports."""

import pathlib
import re
import subprocess

OBJDUMP = 'x86_64-w64-mingw32-objdump'
_DLL_NAME = re.compile(r'^\s*DLL Name:\s*(\S+)\s*$', re.MULTILINE)


def imported_dlls(exe):
    """The DLL names of the import table, as objdump -p lists them."""
    listing = subprocess.run([OBJDUMP, '-p', str(exe)], check=True, capture_output=True,
                             text=True).stdout
    return _DLL_NAME.findall(listing)


def system_dll_names(prefix):
    """The DLLs a Windows system provides, as the Wine prefix's system32 holds them."""
    system32 = pathlib.Path(prefix) / 'drive_c' / 'windows' / 'system32'
    return {path.name.lower() for path in system32.glob('*.dll')}


def inspect(exe, prefix):
    """Size, imports, which imports are not system DLLs, and DLLs lying beside the file."""
    exe = pathlib.Path(exe)
    imports = imported_dlls(exe)
    system = system_dll_names(prefix)
    return {
        'bytes': exe.stat().st_size,
        'imports': imports,
        'foreign_imports': [name for name in imports if name.lower() not in system],
        'dlls_beside': sorted(path.name for path in exe.parent.glob('*.dll')),
    }
