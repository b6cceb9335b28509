"""What a 64-bit Windows executable declares in its PE headers: its
characteristics, image base, sections, and the DLLs it imports at load time
or delay-loads."""

import re
import struct
from dataclasses import dataclass

PE32_PLUS = 0x20B
RELOCS_STRIPPED = 0x0001
IMPORT_DIRECTORY, BASE_RELOCATION_DIRECTORY = 1, 5
SECTION_EXECUTE, SECTION_WRITE = 0x20000000, 0x80000000
IMPORT_DESCRIPTOR = struct.Struct('<5I')
# The delay-load descriptor: attributes, then the DLL's name, module handle,
# import address table and name table, and three more words, all as RVAs.
DELAY_DESCRIPTOR = struct.Struct('<8I')
RVA_ATTRIBUTES = 1
DLL_NAME = re.compile(rb'[A-Za-z0-9_.-]+\.dll\0', re.IGNORECASE)


@dataclass
class Section:
    name: str
    rva: int
    virtual_size: int
    file_offset: int
    file_size: int
    characteristics: int

    @property
    def writable_and_executable(self):
        return self.characteristics & (SECTION_WRITE | SECTION_EXECUTE) == (SECTION_WRITE |
                                                                            SECTION_EXECUTE)


class PeImage:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            raise ValueError('no PE signature')
        sections, optional_size, self.file_characteristics = struct.unpack_from(
            '<2xH12xHH', data, pe + 4)
        optional = pe + 24
        if struct.unpack_from('<H', data, optional)[0] != PE32_PLUS:
            raise ValueError('not a 64-bit image')
        self.image_base = struct.unpack_from('<Q', data, optional + 24)[0]
        self.dll_characteristics = struct.unpack_from('<H', data, optional + 70)[0]
        directories = struct.unpack_from('<I', data, optional + 108)[0]
        self.directories = [struct.unpack_from('<II', data, optional + 112 + 8 * index)
                            for index in range(directories)]
        table = optional + optional_size
        self.sections = []
        for index in range(sections):
            name, virtual_size, rva, file_size, file_offset, characteristics = \
                struct.unpack_from('<8sIIII12xI', data, table + 40 * index)
            self.sections.append(Section(name.rstrip(b'\0').decode('ascii'), rva, virtual_size,
                                         file_offset, file_size, characteristics))

    def offset(self, rva):
        """The file offset of an RVA, or None when no section's file data holds it."""
        for section in self.sections:
            if section.rva <= rva < section.rva + min(section.virtual_size, section.file_size):
                return section.file_offset + rva - section.rva
        return None

    def name_at(self, rva):
        """The terminated ASCII DLL name at `rva`, or None."""
        offset = self.offset(rva)
        found = DLL_NAME.match(self.data, offset) if offset is not None else None
        return found[0][:-1].decode('ascii') if found else None

    @property
    def has_relocations(self):
        return (not self.file_characteristics & RELOCS_STRIPPED and
                self.directories[BASE_RELOCATION_DIRECTORY][1] > 0)

    def imported_dlls(self):
        """The DLLs that the loader binds before the program starts."""
        names = []
        offset = self.offset(self.directories[IMPORT_DIRECTORY][0])
        while True:
            descriptor = IMPORT_DESCRIPTOR.unpack_from(self.data, offset)
            if not any(descriptor):
                return names
            names.append(self.name_at(descriptor[3]))
            offset += IMPORT_DESCRIPTOR.size

    def delay_loaded_dlls(self):
        """The DLLs that the program's delay-load helper loads on first use.

        GNU ld leaves the data directory of delay imports empty, so the
        descriptors are found by their shape: RVA attributes, a DLL name, and
        a module handle, address table and name table inside the image."""
        names = []
        for section in self.sections:
            end = section.file_offset + section.file_size - DELAY_DESCRIPTOR.size
            for offset in range(section.file_offset, end + 1, 4):
                fields = DELAY_DESCRIPTOR.unpack_from(self.data, offset)
                if fields[0] != RVA_ATTRIBUTES or not all(fields[2:5]):
                    continue
                name = self.name_at(fields[1])
                if name and all(self.offset(rva) is not None for rva in fields[2:5]):
                    names.append(name)
        return names
