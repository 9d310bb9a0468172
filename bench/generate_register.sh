#!/usr/bin/env bash
# Builds a database for the benchmarks: the shipped schema and counties, N
# payers (default 100000) with every column filled, and one declaration per
# payer for March 2006.
#   generate_register.sh OUT.itm [N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: generate_register.sh OUT.itm [N]}
count=${2:-100000}
rm -f "$out"
{
    cat "$root/data/date.sql"
    cat <<SQL
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $count)
INSERT INTO firme (cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, scara, ap, codpostal,
    telefon, email, banca, cont, numerep, prenumerep, funcrep, faliment, lcui, ldenumire, lcodjudet, lloc,
    lsector, lstr, lnr, lbloc, lscara, lap, lcodpostal, lemail, ltelefon, lzi, lln, lan)
SELECT printf('%d', 1000000 + (i * 7919) % 8999999), 1, printf('FIRMA %06d', i), 1, printf('%02d', 1 + i % 40),
    'CRAIOVA', 0, 'STRADA UNIRII', printf('%d', i % 200), 'A1', '2', printf('%d', i % 90), '200100',
    '0251000000', 'office@firma.ro', 'BANCA', 'RO49AAAA1B31007593840000', 'POPESCU', 'ION', 'ADMINISTRATOR',
    0, '0', ' ', ' ', ' ', 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0, 0, 0
FROM n;
INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac)
SELECT id, 3, 2006, 0, 0, 10, 20000, 150, 150, 0, 0 FROM firme;
COMMIT;
SQL
} | sqlite3 "$out"
echo "$out: $(sqlite3 "$out" 'select count(*) from firme') payers"
