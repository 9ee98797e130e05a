#pragma once

// Shared pieces of the configuration store tests: a store opened in a temporary data folder and
// plain SQL reads of what the file holds.

#include "app/store/ConfigStore.h"
#include "app/store/SQLiteDB.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kw::test {

// A store of model "K1" opened (and so created) in a fresh data folder.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.OpenStore(dir.path(), L"K1")); }

    // Every row of `sql` on the store's own connection, columns joined with "|".
    std::vector<std::string> Rows(const std::string& sql);
    // The single value of a one-row, one-column query.
    std::string Value(const std::string& sql);

    TempDir dir;
    ConfigStore store;
};

// A profile record with only its name set.
inline ProfileRecord Profile(const std::wstring& name) {
    ProfileRecord record;
    record.name = name;
    return record;
}

// Every row of `sql`, columns joined with "|"; NULL reads as "NULL".
std::vector<std::string> QueryRows(SQLiteDB& db, const std::string& sql);

// Runs the sqlite3 shell on `file` with `sql` and returns its standard output.
std::string Sqlite3Shell(const std::string& file, const std::string& sql);

} // namespace kw::test
