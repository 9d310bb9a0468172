#!/usr/bin/env python3
"""The smallest honest program for `itm-cli write`: reads a month's declared
payers in code order, makes each one's comma-separated line, merges the lines
into the existing month file (an earlier line of the same code gives way) and
writes the file and its Rez copy through a synced temporary and a rename.
    write_month.py DB MONTH YEAR DIR"""
import os
import sqlite3
import sys

PAYER_BEFORE = ["cui", "prefix", "denumire", "sufix", "codjudet", "loc", "sector", "str", "nr", "bloc", "scara",
                "ap", "codpostal", "telefon", "email", "banca", "cont"]
DECLARED = ["rectificativ", "com25", "nrsal", "fondlunsal", "comdat", "comac", "comdec", "comdecac"]
PAYER_AFTER = ["numerep", "prenumerep", "funcrep", "faliment", "lcui", "ldenumire", "lcodjudet", "lloc", "lsector",
               "lstr", "lnr", "lbloc", "lscara", "lap", "lcodpostal", "lemail", "ltelefon", "lzi", "lln", "lan"]
BARE = {"cui", "lcui"}


def field(name, value):
    if isinstance(value, int) or value is None:
        return str(value or 0)
    text = value.replace(",", " ").replace('"', " ").replace("\r", " ").replace("\n", " ")
    return text if name in BARE else '"' + text + '"'


def write_atomically(path, content):
    temporary = path + ".tmp"
    with open(temporary, "wb") as out:
        out.write(content)
        out.flush()
        os.fsync(out.fileno())
    os.replace(temporary, path)


def main():
    db, month, year, folder = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    columns = ["f." + c for c in PAYER_BEFORE] + ["d." + c for c in DECLARED] + ["f." + c for c in PAYER_AFTER]
    names = PAYER_BEFORE + DECLARED + PAYER_AFTER
    connection = sqlite3.connect("file:" + db + "?mode=ro", uri=True)
    query = ("SELECT " + ", ".join(columns) + " FROM firme f JOIN declaratii d ON d.idfirma = f.id "
             "WHERE d.ln = ? AND d.an = ? ORDER BY f.cui, f.id, d.id")
    new_lines = {}
    prefix = '"%02d","%04d",' % (month, year)
    for row in connection.execute(query, (month, year)):
        new_lines[str(row[0])] = (prefix + ",".join(field(n, v) for n, v in zip(names, row))).encode("utf-8")
    path = os.path.join(folder, "IM%04d%02d.txt" % (year, month))
    kept = []
    if os.path.exists(path):
        with open(path, "rb") as existing:
            for line in existing.read().splitlines():
                parts = line.split(b",", 3)
                if len(parts) < 4 or parts[2].decode("latin-1") not in new_lines:
                    kept.append(line)
    content = b"".join(line + b"\r\n" for line in kept + list(new_lines.values()))
    write_atomically(path, content)
    os.makedirs(os.path.join(folder, "Rez"), exist_ok=True)
    write_atomically(os.path.join(folder, "Rez", os.path.basename(path)), content)


main()
