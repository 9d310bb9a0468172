#!/usr/bin/env bash
# Writes a payer file for the import benchmark: the header of the import and N
# payers (default 100000) with valid codes, every column filled, county names
# written with diacritics and in mixed case, a sixth of them in Bucharest.
#   generate_payer_csv.sh OUT.csv [N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: generate_payer_csv.sh OUT.csv [N]}
count=${2:-100000}
scratch=$(mktemp)
trap 'rm -f "$scratch"' EXIT
sqlite3 "$scratch" < "$root/data/date.sql"
sqlite3 -csv -header "$scratch" > "$out" <<SQL
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $count),
base(i, digits) AS (SELECT i, printf('%09d', 10000000 + i) FROM n),
-- The control digit of a CUI: the weighted sum of the nine digits, times 10, modulo 11 (10 counts as 0).
sums(i, digits, s) AS (
    SELECT i, digits, 7 * substr(digits, 1, 1) + 5 * substr(digits, 2, 1) + 3 * substr(digits, 3, 1)
        + 2 * substr(digits, 4, 1) + 1 * substr(digits, 5, 1) + 7 * substr(digits, 6, 1)
        + 5 * substr(digits, 7, 1) + 3 * substr(digits, 8, 1) + 2 * substr(digits, 9, 1) FROM base),
counties(k, name) AS (SELECT row_number() OVER (ORDER BY codjudet) - 1, denumire FROM judete)
SELECT printf('%d%d', 10000000 + i, ((s * 10) % 11) % 10) AS cui,
    CASE i % 3 WHEN 0 THEN 'S.C.' WHEN 1 THEN '1' ELSE 'P.F.A.' END AS prefix,
    printf('Firma Ștefănești, nr %06d', i) AS denumire,
    CASE i % 3 WHEN 2 THEN '' ELSE 'srl' END AS sufix,
    CASE WHEN i % 6 = 0 THEN 'București' ELSE lower(c.name) END AS judet,
    'Craiova' AS loc, CASE WHEN i % 6 = 0 OR c.name = 'BUCURESTI' THEN 1 + i % 5 ELSE '' END AS sector,
    'Strada Unirii' AS str, printf('%d', 1 + i % 200) AS nr, 'A1' AS bloc, '2' AS scara,
    printf('%d', i % 90) AS ap, '200100' AS codpostal, '0251000000' AS telefon, 'Office@Firma.ro' AS email,
    'Banca' AS banca, 'RO49AAAA1B31007593840000' AS cont, 'Popescu' AS numerep, 'Ion' AS prenumerep,
    'Administrator' AS funcrep
FROM sums JOIN counties c ON c.k = i % 41;
SQL
echo "$out: $count payers"
