-- Database of itm-declaratie: the payer register, the monthly declarations
-- and the counties. The set-up builds data/date.itm from this file only when
-- the user has none; the program itself never creates a table.
BEGIN;
CREATE TABLE firme (
    id INTEGER PRIMARY KEY,
    cui VARCHAR(13),
    prefix INTEGER,
    denumire VARCHAR(100),
    sufix INTEGER,
    codjudet VARCHAR(2),
    loc VARCHAR(50),
    sector INTEGER,
    str VARCHAR(60),
    nr VARCHAR(10),
    bloc VARCHAR(10),
    scara VARCHAR(10),
    ap VARCHAR(10),
    codpostal VARCHAR(10),
    telefon VARCHAR(20),
    email VARCHAR(60),
    banca VARCHAR(60),
    cont VARCHAR(34),
    numerep VARCHAR(50),
    prenumerep VARCHAR(50),
    funcrep VARCHAR(50),
    faliment INTEGER,
    lcui VARCHAR(13),
    ldenumire VARCHAR(100),
    lcodjudet VARCHAR(2),
    lloc VARCHAR(50),
    lsector INTEGER,
    lstr VARCHAR(60),
    lnr VARCHAR(10),
    lbloc VARCHAR(10),
    lscara VARCHAR(10),
    lap VARCHAR(10),
    lcodpostal VARCHAR(10),
    lemail VARCHAR(60),
    ltelefon VARCHAR(20),
    lzi INTEGER,
    lln INTEGER,
    lan INTEGER
);
CREATE INDEX firme_cui ON firme (cui);
CREATE TABLE declaratii (
    id INTEGER PRIMARY KEY,
    idfirma INTEGER,
    ln INTEGER,
    an INTEGER,
    rectificativ INTEGER,
    com25 INTEGER,
    nrsal INTEGER,
    fondlunsal NUMERIC,
    comdat INTEGER,
    comac INTEGER,
    comdec INTEGER,
    comdecac INTEGER
);
CREATE INDEX declaratii_perioada ON declaratii (idfirma, ln, an);
CREATE TABLE judete (
    id INTEGER PRIMARY KEY,
    codjudet VARCHAR(2),
    denumire VARCHAR(30)
);
INSERT INTO judete (codjudet, denumire) VALUES ('01', 'ALBA');
INSERT INTO judete (codjudet, denumire) VALUES ('02', 'ARAD');
INSERT INTO judete (codjudet, denumire) VALUES ('03', 'ARGES');
INSERT INTO judete (codjudet, denumire) VALUES ('04', 'BACAU');
INSERT INTO judete (codjudet, denumire) VALUES ('05', 'BIHOR');
INSERT INTO judete (codjudet, denumire) VALUES ('06', 'BISTRITA-NASAUD');
INSERT INTO judete (codjudet, denumire) VALUES ('07', 'BOTOSANI');
INSERT INTO judete (codjudet, denumire) VALUES ('08', 'BRASOV');
INSERT INTO judete (codjudet, denumire) VALUES ('09', 'BRAILA');
INSERT INTO judete (codjudet, denumire) VALUES ('10', 'BUZAU');
INSERT INTO judete (codjudet, denumire) VALUES ('11', 'CARAS-SEVERIN');
INSERT INTO judete (codjudet, denumire) VALUES ('12', 'CLUJ');
INSERT INTO judete (codjudet, denumire) VALUES ('13', 'CONSTANTA');
INSERT INTO judete (codjudet, denumire) VALUES ('14', 'COVASNA');
INSERT INTO judete (codjudet, denumire) VALUES ('15', 'DAMBOVITA');
INSERT INTO judete (codjudet, denumire) VALUES ('16', 'DOLJ');
INSERT INTO judete (codjudet, denumire) VALUES ('17', 'GALATI');
INSERT INTO judete (codjudet, denumire) VALUES ('18', 'GORJ');
INSERT INTO judete (codjudet, denumire) VALUES ('19', 'HARGHITA');
INSERT INTO judete (codjudet, denumire) VALUES ('20', 'HUNEDOARA');
INSERT INTO judete (codjudet, denumire) VALUES ('21', 'IALOMITA');
INSERT INTO judete (codjudet, denumire) VALUES ('22', 'IASI');
INSERT INTO judete (codjudet, denumire) VALUES ('23', 'ILFOV');
INSERT INTO judete (codjudet, denumire) VALUES ('24', 'MARAMURES');
INSERT INTO judete (codjudet, denumire) VALUES ('25', 'MEHEDINTI');
INSERT INTO judete (codjudet, denumire) VALUES ('26', 'MURES');
INSERT INTO judete (codjudet, denumire) VALUES ('27', 'NEAMT');
INSERT INTO judete (codjudet, denumire) VALUES ('28', 'OLT');
INSERT INTO judete (codjudet, denumire) VALUES ('29', 'PRAHOVA');
INSERT INTO judete (codjudet, denumire) VALUES ('30', 'SATU MARE');
INSERT INTO judete (codjudet, denumire) VALUES ('31', 'SALAJ');
INSERT INTO judete (codjudet, denumire) VALUES ('32', 'SIBIU');
INSERT INTO judete (codjudet, denumire) VALUES ('33', 'SUCEAVA');
INSERT INTO judete (codjudet, denumire) VALUES ('34', 'TELEORMAN');
INSERT INTO judete (codjudet, denumire) VALUES ('35', 'TIMIS');
INSERT INTO judete (codjudet, denumire) VALUES ('36', 'TULCEA');
INSERT INTO judete (codjudet, denumire) VALUES ('37', 'VASLUI');
INSERT INTO judete (codjudet, denumire) VALUES ('38', 'VALCEA');
INSERT INTO judete (codjudet, denumire) VALUES ('39', 'VRANCEA');
INSERT INTO judete (codjudet, denumire) VALUES ('40', 'BUCURESTI');
INSERT INTO judete (codjudet, denumire) VALUES ('51', 'CALARASI');
INSERT INTO judete (codjudet, denumire) VALUES ('52', 'GIURGIU');
-- The register's history (schema version 1): the versions of every saved
-- declaration, the deleted payers with their declarations. The program adds
-- the same tables to an older register the first time it writes it.
CREATE TABLE versiuni_declaratii (
    id INTEGER PRIMARY KEY,
    idstergere INTEGER,
    iddeclaratie INTEGER NOT NULL,
    versiune INTEGER NOT NULL,
    salvat TEXT,
    idfirma INTEGER,
    ln INTEGER,
    an INTEGER,
    rectificativ INTEGER,
    com25 INTEGER,
    nrsal INTEGER,
    fondlunsal NUMERIC,
    comdat INTEGER,
    comac INTEGER,
    comdec INTEGER,
    comdecac INTEGER
);
CREATE INDEX versiuni_declaratii_declaratie ON versiuni_declaratii (iddeclaratie, idstergere);
CREATE INDEX versiuni_declaratii_firma ON versiuni_declaratii (idfirma);
CREATE TABLE firme_sterse (
    idstergere INTEGER PRIMARY KEY,
    sters TEXT NOT NULL,
    id INTEGER,
    cui VARCHAR(13),
    prefix INTEGER,
    denumire VARCHAR(100),
    sufix INTEGER,
    codjudet VARCHAR(2),
    loc VARCHAR(50),
    sector INTEGER,
    str VARCHAR(60),
    nr VARCHAR(10),
    bloc VARCHAR(10),
    scara VARCHAR(10),
    ap VARCHAR(10),
    codpostal VARCHAR(10),
    telefon VARCHAR(20),
    email VARCHAR(60),
    banca VARCHAR(60),
    cont VARCHAR(34),
    numerep VARCHAR(50),
    prenumerep VARCHAR(50),
    funcrep VARCHAR(50),
    faliment INTEGER,
    lcui VARCHAR(13),
    ldenumire VARCHAR(100),
    lcodjudet VARCHAR(2),
    lloc VARCHAR(50),
    lsector INTEGER,
    lstr VARCHAR(60),
    lnr VARCHAR(10),
    lbloc VARCHAR(10),
    lscara VARCHAR(10),
    lap VARCHAR(10),
    lcodpostal VARCHAR(10),
    lemail VARCHAR(60),
    ltelefon VARCHAR(20),
    lzi INTEGER,
    lln INTEGER,
    lan INTEGER
);
CREATE INDEX firme_sterse_cui ON firme_sterse (cui);
CREATE TABLE declaratii_sterse (
    idstergere INTEGER NOT NULL,
    id INTEGER,
    idfirma INTEGER,
    ln INTEGER,
    an INTEGER,
    rectificativ INTEGER,
    com25 INTEGER,
    nrsal INTEGER,
    fondlunsal NUMERIC,
    comdat INTEGER,
    comac INTEGER,
    comdec INTEGER,
    comdecac INTEGER
);
CREATE INDEX declaratii_sterse_stergere ON declaratii_sterse (idstergere);
CREATE INDEX declaratii_luna ON declaratii (an, ln);
PRAGMA user_version = 2;
COMMIT;
