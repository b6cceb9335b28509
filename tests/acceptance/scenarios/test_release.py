"""The Windows release package that scripts/package.sh writes into dist/:
what the zip holds, its checksums, the same bytes when built in another
folder, the version resource, and the program out of the zip translating
under Wine. (Label release: run scripts/package.sh first.)"""

import hashlib
import os
import pathlib
import re
import shutil
import subprocess
import time
import zipfile

from harness.pe_image import PeImage
from harness.request_checks import check_request
from harness.translating import TranslatingScenario
from harness.wine import windows_path
from standin.replies import Reply, gemini_answer

ROOT = pathlib.Path(__file__).resolve().parents[3]
DIST = ROOT / 'dist'
VERSION = re.search(r'project\(Parlivo VERSION ([0-9.]+)', (ROOT / 'CMakeLists.txt').read_text())[1]
ZIP_NAME = f'Parlivo-{VERSION}-win64.zip'
ZIP_ENTRIES = ['Parlivo.exe', 'README.txt', 'LICENSE']
# The text files of the tree that the zip carries, by their names in the zip.
TEXT_SOURCES = {'README.txt': ROOT / 'docs' / 'using-parlivo.txt', 'LICENSE': ROOT / 'LICENSE'}
VERSION_STRINGS = {
    'FileDescription': 'Parlivo translator',
    'ProductName': 'Parlivo',
    'FileVersion': VERSION,
    'ProductVersion': VERSION,
    'OriginalFilename': 'Parlivo.exe',
    'InternalName': 'Parlivo',
    'LegalCopyright': 'Copyright (C) 2026 The Parlivo developers',
}
ENGLISH_US, UNICODE_CODE_PAGE = 0x409, 1200
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)
# Address space layout randomisation with 64-bit entropy, and data never run as code.
HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT = 0x0020, 0x0040, 0x0100
FOUR_GIB = 1 << 32
# DLLs that Windows always takes from the system folder; the others only on first use.
LOAD_TIME_DLLS = ['gdi32.dll', 'kernel32.dll', 'msvcrt.dll', 'user32.dll']
DELAY_LOADED_DLLS = ['shell32.dll', 'winhttp.dll']
PACKAGE_TIMEOUT_S = 600
REPLY = 'Arabic: شكرا\nEnglish: thank you\nGerman: danke'


def digest(data):
    """What the checks compare for big contents: a failure then reads well."""
    return hashlib.sha256(data).hexdigest()


def last_commit_time():
    return int(subprocess.run(['git', 'log', '-1', '--format=%ct'], cwd=ROOT, check=True,
                              capture_output=True, text=True).stdout)


def copy_of_the_tree(destination):
    """The tree's files as git sees them (tracked or new, not ignored), so the
    copy builds from the same sources as the tree itself."""
    listing = subprocess.run(['git', 'ls-files', '-z', '--cached', '--others',
                              '--exclude-standard'], cwd=ROOT, check=True,
                             capture_output=True).stdout
    shutil.rmtree(destination, ignore_errors=True)
    for name in filter(None, listing.decode().split('\0')):
        source = ROOT / name
        if source.is_file():  # not a file deleted meanwhile
            (destination / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source, destination / name)


class ReleaseScenario(TranslatingScenario):
    def setUp(self):
        super().setUp()
        if not (DIST / ZIP_NAME).exists():
            self.fail(f'no {ZIP_NAME} in {DIST}: run scripts/package.sh first')
        self.zip = zipfile.ZipFile(DIST / ZIP_NAME)
        self.addCleanup(self.zip.close)

    def program_from_the_zip(self):
        """The scenario's folder with the zip's Parlivo.exe in place of the built one."""
        self.exe.write_bytes(self.zip.read('Parlivo.exe'))


class Package(ReleaseScenario):
    def test_zip_holds_the_built_program_and_two_windows_texts(self):
        self.assertEqual(self.zip.namelist(), ZIP_ENTRIES)
        built = digest(self.env.parlivo_exe.read_bytes())
        self.assertEqual(digest(self.zip.read('Parlivo.exe')), built)
        self.assertEqual(digest((DIST / 'Parlivo.exe').read_bytes()), built)
        for name, source in TEXT_SOURCES.items():
            with self.subTest(name):
                text = self.zip.read(name)
                self.assertNotIn(b'\n', text.replace(b'\r\n', b''), 'a line end without CR')
                self.assertNotIn(b'\r', text.replace(b'\r\n', b''), 'a CR without LF')
                self.assertEqual(text.replace(b'\r\n', b'\n'),
                                 source.read_bytes().replace(b'\r\n', b'\n'))
                text.decode('ascii')  # plain text for any Windows editor

    def test_sha256sums_name_and_verify_the_zip_and_the_exe(self):
        sums = (DIST / 'SHA256SUMS').read_text().splitlines()
        self.assertEqual([line.split('  ', 1)[1] for line in sums], [ZIP_NAME, 'Parlivo.exe'])
        subprocess.run(['sha256sum', '--check', '--strict', 'SHA256SUMS'], cwd=DIST, check=True,
                       stdout=subprocess.DEVNULL)

    def test_another_folder_builds_the_same_bytes(self):
        epoch = last_commit_time()
        # A zip holds times from 1980 on, to the even second.
        year, month, day, hour, minute, second = max(time.gmtime(epoch)[:6], ZIP_EPOCH)
        self.assertEqual({info.date_time for info in self.zip.infolist()},
                         {(year, month, day, hour, minute, second - second % 2)})
        # Another path of another length, built from scratch.
        copy = self.env.work_dir / 'release-copy' / 'the-same-sources-elsewhere'
        copy_of_the_tree(copy)
        subprocess.run([copy / 'scripts' / 'package.sh'], check=True, timeout=PACKAGE_TIMEOUT_S,
                       env=dict(os.environ, SOURCE_DATE_EPOCH=str(epoch)),
                       stdout=subprocess.DEVNULL)
        for name in (ZIP_NAME, 'Parlivo.exe', 'SHA256SUMS'):
            with self.subTest(name):
                self.assertEqual(digest((copy / 'dist' / name).read_bytes()),
                                 digest((DIST / name).read_bytes()))


class ReleasedProgram(ReleaseScenario):
    def test_security_baseline_in_the_pe_headers(self):
        image = PeImage(self.zip.read('Parlivo.exe'))
        for name, flag in (('HIGH_ENTROPY_VA', HIGH_ENTROPY_VA), ('DYNAMIC_BASE', DYNAMIC_BASE),
                           ('NX_COMPAT', NX_COMPAT)):
            with self.subTest(name):
                self.assertTrue(image.dll_characteristics & flag, f'{name} is not set')
        self.assertGreater(image.image_base, FOUR_GIB)
        self.assertTrue(image.has_relocations, 'no relocations: the image cannot move')
        self.assertEqual([s.name for s in image.sections if s.writable_and_executable], [])
        self.assertEqual(sorted(name.lower() for name in image.imported_dlls()), LOAD_TIME_DLLS)
        self.assertEqual(sorted(name.lower() for name in image.delay_loaded_dlls()),
                         DELAY_LOADED_DLLS)

    def test_version_resource_as_properties_show_it(self):
        self.program_from_the_zip()
        resource = self.driver.call('version_info', windows_path(self.exe), *VERSION_STRINGS)
        parts = [int(part) for part in VERSION.split('.')]
        numbers = parts + [0] * (4 - len(parts))
        self.assertEqual(resource['file_version'], numbers)
        self.assertEqual(resource['product_version'], numbers)
        self.assertEqual(resource['translations'], [[ENGLISH_US, UNICODE_CODE_PAGE]])
        self.assertEqual(resource['strings'], VERSION_STRINGS)
        # The licence names the same holders and year.
        self.assertIn(VERSION_STRINGS['LegalCopyright'].lower(),
                      self.zip.read('LICENSE').decode('ascii').lower())

    def test_starts_translates_and_names_its_version(self):
        self.program_from_the_zip()
        self.service.reply_with(Reply(gemini_answer(REPLY)))
        app = self.start_app()
        app.type('Danke')
        self.translate(app)
        check_request(self, self.service.requests[-1], 'Danke')
        self.assertEqual(app.box_texts(), {'arabic': 'شكرا', 'english': 'thank you',
                                           'german': 'danke'})
        app.menu_command('about')
        about = self.find_window('#32770', 'About Parlivo')
        items = {child['id']: child for child in self.driver.call('children', about)['children']}
        text = items[1007]['text'].split('\r\n')
        self.assertEqual(text[0], f'Parlivo, Version {VERSION}')
        self.assertIn(VERSION_STRINGS['LegalCopyright'], text)
