// A second program on a database: runs the SQL given on its command line
// against the file and ends, so that tests can change a database from another
// process while the code under test has it open.
#include <cstdio>
#include <sqlite3.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: itm_test_sql DATABASE SQL\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, argv[2], nullptr, nullptr, &error);
    if (rc != SQLITE_OK)
        std::fprintf(stderr, "%s\n", error ? error : sqlite3_errstr(rc));
    sqlite3_free(error);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}
