#!/usr/bin/env bash
# Gives the first N payers (default 10000) of a generated register ten years of
# declarations, January 2006 to December 2015 (120 each), for the history
# benchmarks.
#   generate_history.sh REGISTER.itm [N]
set -euo pipefail
db=${1:?usage: generate_history.sh REGISTER.itm [N]}
count=${2:-10000}
sqlite3 "$db" <<SQL
BEGIN;
DELETE FROM declaratii WHERE idfirma <= $count;
WITH RECURSIVE m(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM m WHERE i < 119)
INSERT INTO declaratii (idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac)
SELECT f.id, 1 + m.i % 12, 2006 + m.i / 12, m.i % 7 = 0, 0, 10, 20000, 150, 150 - (m.i % 5), 0, 0
FROM firme f, m WHERE f.id <= $count ORDER BY f.id, m.i;
COMMIT;
SQL
echo "$db: $(sqlite3 "$db" 'select count(*) from declaratii') declarations"
