#!/usr/bin/env python3
"""The smallest honest program for the month window's whole register: every
payer with the first declaration of the month, read in the file's order and
sorted by code in memory. Prints the number of rows.
    month_listing.py DB MONTH YEAR"""
import sqlite3
import sys

db, month, year = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
connection = sqlite3.connect("file:" + db + "?mode=ro", uri=True)
connection.text_factory = bytes
declared = {}
for payer, row in ((r[0], r[1:]) for r in connection.execute(
        "SELECT idfirma, rectificativ, nrsal, fondlunsal, comdat, comac FROM declaratii "
        "WHERE ln = ? AND an = ? ORDER BY id", (month, year))):
    declared.setdefault(payer, row)
rows = [(code or b"", ident, name, county, declared.get(ident))
        for ident, code, name, county in connection.execute("SELECT id, cui, denumire, codjudet FROM firme ORDER BY id")]
rows.sort(key=lambda row: (row[0], row[1]))
print(len(rows))
