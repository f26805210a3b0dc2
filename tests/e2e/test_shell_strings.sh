#!/bin/bash
# The English string table compiles to exactly the texts the program shows (byte for byte).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
windres=${WINDRES:-x86_64-w64-mingw32-windres}
out=$(mktemp -d); trap 'rm -rf "$out"' EXIT
printf '#include <windows.h>\n#include "strings.rc"\n' > "$out/only_strings.rc"
"$windres" -I"$root/resources" -O res "$out/only_strings.rc" "$out/strings.res"
python3 - "$out/strings.res" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
strings = {}
pos = 0
def read_id(pos):
    if struct.unpack_from('<H', data, pos)[0] == 0xFFFF:
        return struct.unpack_from('<H', data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from('<H', data, end)[0] != 0: end += 2
    return None, end + 2
while pos < len(data):
    size, header = struct.unpack_from('<II', data, pos)
    rtype, p = read_id(pos + 8)
    name, p = read_id(p)
    body = data[pos + header: pos + header + size]
    if rtype == 6:  # RT_STRING: 16 counted UTF-16 strings per block
        q = 0
        for i in range(16):
            n = struct.unpack_from('<H', body, q)[0]; q += 2
            if n:
                strings[(name - 1) * 16 + i] = body[q:q + 2 * n].decode('utf-16-le')
            q += 2 * n
    pos += (header + size + 3) & ~3
bad = "A {} cannot contain any of the following characters.\n  ; \\ / : * ? < > | ( ) "
expected = {
    101: "Address Book", 102: "Initializing ....", 103: "Set a new address.", 104: "Set a new group.",
    105: "Show the properties of a selected item", 106: "Delete a selected item.", 107: "Find a item.",
    108: "Print a selected item.", 109: "Name", 110: "E-mail address", 111: "Memo", 112: "New address",
    113: "New Group", 114: "Properties", 115: "Delete", 116: "Find", 117: "Print",
    118: "Import - vCard -", 119: "vCard files (*.vcf)", 120: "Import - Netscape address book -",
    121: "HTML files (*.htm)", 122: "Import - Eudora address book -", 123: "Eudora files (*.txt)",
    124: "Select a sending member", 125: "Delete a sending member", 126: "Set a sending member",
    127: "not find", 128: "Please type a service name.", 129: "Please type a group name.",
    130: bad.format("service name"), 131: bad.format("first name"), 132: bad.format("middle name"),
    133: bad.format("last name"), 134: bad.format("group name"),
    135: "A service name you entered is already registered.\nPlease change a service name.",
    136: "A group name you entered is already registered.\nPlease change a group name.",
}
# File > Export
expected.update({137: "Export - vCard -", 138: "The vCard file could not be written:\n%s"})
# Saving and loading the data files.
expected.update({
    140: "%s could not be saved.\n\n%s\n\nYour change is kept while the program runs and will be written with the next save.",
    141: "%s could not be saved, because a copy of its damaged original could not be made first.\n\n%s\n\nYour change is kept while the program runs and will be written with the next save.",
    142: "These changes could not be saved:\n\n%sClose anyway and lose them?",
    143: "%s cannot be read.\n\n%s\n\nRetry reads it again. Cancel ends the program and leaves the file as it is.",
    144: "Some address book files could not be read in full. What could be read is shown.\n\n%s",
    145: "%s is damaged. Records read from it: %s. Its original bytes will be kept as %s.",
    146: "%s may name persons who were lost. Groups read from it: %s. Its original bytes will be kept as %s.",
    147: "There is not enough memory.",
    148: "%s was not read, because no persons could be read. Its bytes will be kept as %s.",
})
expected.update({  # help
    150: "Help cannot be shown: the help file\n%s\nis missing.",
    151: "Help cannot be shown: the HTML Help viewer (hhctrl.ocx) is not available.",
    152: "Help cannot be shown: the help file\n%s\ncould not be opened.",
})
expected.update({  # the import report
    170: "Imported: %d persons, %d new groups.",
    171: "Not taken: %d (already in the book: %d; without an e-mail address or a name: %d; over the book's limit: %d).",
    172: "Changed: %d (cut to the field's length: %d; characters this system cannot show: %d; groups left out: %d).",
    173: "The first of them:", 174: "already in the book", 175: "cut",
    176: "characters this system cannot show", 177: "no e-mail address", 178: "group left out: %s",
    179: "over the book's limit",
})
expected.update({  # the book's folder
    193: "The address book cannot be kept in\n%s\nIt is kept in\n%s",
})
expected.update({191: "Page %d", 192: "Printing failed:\n%s"})  # printing
expected.update({  # imports
    2100: "No vCard was found in this file.",
    2101: "A quote opened in line %d is never closed; it was read as a plain character.",
    2102: "Cannot open %s:\n%s", 2103: "Names changed to fit the rules: %d",
    2104: "name changed to fit the rules", 2105: "list not taken",
    2106: "There is not enough memory to import this file. Nothing was added.",
})
expected.update({  # screen reader names
    160: "Addresses", 161: "Recipients", 162: "group", 163: "Open", 164: "Press", 165: "Sort",
})
expected.update({  # CSV and LDIF in and out
    180: "Import - CSV -", 181: "Import - LDIF -", 182: "CSV files (*.csv;*.txt)",
    183: "LDIF files (*.ldif;*.ldi)", 184: "Export - CSV -", 185: "Export - LDIF -",
    186: "This file has no e-mail column this program knows. Its first line must name one of: "
         "E-mail Address, E-mail 1 - Value, Primary Email.",
    187: "member not in the file", 188: "The file could not be written:\n%s", 189: "All files (*.*)",
})
expected.update({  # duplicates
    2070: "No duplicates found.", 2071: "&Undo merge\tCtrl+Z",
    2072: "%d of the imported persons may be duplicates: File > Find duplicates",
    2073: "&Undo merge", 2074: "&Undo delete\tCtrl+Z", 2075: "&Undo delete", 2076: "same e-mail",
    2077: "same name", 2078: "%d sets have persons that are the same in every field. Merge them all?",
    2080: "A merged person's address chosen as a recipient would no longer be sent:\n%s\nMerge anyway?",
    2081: "The list of sets that are not the same could not be written:\n%s\n%s",
    2082: "No set has persons that are the same in every field.",
})
# The book's folder too long for the names a save makes.
expected.update({153: "The address book cannot be kept in this folder, because its path is too long:\n%s"})
expected.update({  # synchronizing with a CardDAV server: the shell's texts
    2001: "Stop &synchronizing",
    2002: "the secure connection could not be set up",
    2003: "Password needed: press F5",
    2004: "Synchronizing: %s of %s",
    2005: "Synchronized: %s new, %s changed, %s removed here; %s sent to the server",
    2006: "Sync stopped: %s",
    2007: "see Sync report",
    2008: "Sending changes to the server ...",
    2009: "%s does not encrypt the connection (http://).\nSend your user name and password to it unencrypted?",
    2010: "The connection to %s was refused: %s",
    2011: "its certificate is not issued by an authority this computer trusts",
    2012: "its certificate has expired or is not valid yet",
    2013: "its certificate belongs to another server name",
    2014: "its certificate has been revoked",
    2015: "its certificate is not valid",
    2016: "the server could not be reached",
    2017: "the server name is unknown",
    2018: "the server did not answer within 30 seconds",
    2019: "the answer is larger than 64 MB",
    2020: "%s: no address book was found (%s).",
    2021: "The server refused the user name or the password.",
    2022: "Synchronize with the address book\n%s\nin place of\n%s?\n\nThe book is then linked anew, as at a first sync.",
    2023: "The password could not be kept in the Windows credential store:\n%s",
    2024: "Sync report",
    2025: "Categories",
    2026: "Group cards",
    2027: "No sync has run yet.",
    2028: "Please choose an address book: press Connect.",
    2029: "Synchronizing with %s failed: %s",
})
expected.update({  # the sync report
    2030: "Synchronized: %d new, %d changed, %d removed here; %d sent to the server.",
    2031: "Cards without an e-mail address kept on the server only: %d.",
    2032: "Conflicts and cards left out:",
    2033: "%s changed on both sides; this computer's kept, the server had: %s",
    2034: "deleted here, changed on the server: brought back",
    2035: "deleted on the server, changed here: sent again",
    2036: "larger than 64 MB: left on the server", 2037: "not a vCard: left on the server",
    2038: "the book cannot take it: left on the server", 2039: "linked to the server's card",
    2040: "description", 2041: "e-mail address", 2042: "name", 2043: "memo", 2044: "members",
    2045: "The sync with %s stopped: %s",
    2046: "The sync was stopped; the server's changes were not taken.",
    2047: "The sync state was damaged and is kept as %s; this sync linked the entries anew.",
    2048: "Cards left on the server: %d.", 2049: "the server answered %s",
})
expected.update({  # the search box
    2050: "Search", 2051: "%s of %s entries",
    2052: "This address book is empty.\nCtrl+N adds a person; File > Import brings in the book of another program.",
    2053: 'Nothing matches "%s".',
})
expected.update({  # undo, printing and the book's folder
    2110: "The delete cannot be undone: the book has changed since. Nothing was brought back.",
    2111: "Nothing was printed: the pages asked for come after the last page, page %s.",
    2112: "The address book is kept in %s",
})
if strings != expected:
    for k in sorted(set(strings) | set(expected)):
        if strings.get(k) != expected.get(k):
            print("string %d: got %r, want %r" % (k, strings.get(k), expected.get(k)))
    sys.exit(1)
print("string table: %d texts as expected" % len(strings))
PY
