#include "tests/store/StoreTestHelpers.h"

#include "app/store/SQLiteStatement.h"

#include <array>
#include <cstdio>
#include <mutex>

namespace kw::test {

std::vector<std::string> QueryRows(SQLiteDB& db, const std::string& sql) {
    std::vector<std::string> rows;
    SQLiteStatement statement;
    EXPECT_EQ(db.Prepare(statement, sql.c_str()), 0) << sql;
    while (statement.Step() == SQLiteStatement::kRow) {
        std::string row;
        for (int column = 0; column < statement.ColumnCount(); ++column) {
            const char* text = statement.ColumnText(column);
            row += (column ? "|" : "") + std::string(text ? text : "NULL");
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> StoreTest::Rows(const std::string& sql) {
    std::lock_guard lock(store.StoreLock());
    return QueryRows(store, sql);
}

std::string StoreTest::Value(const std::string& sql) {
    const auto rows = Rows(sql);
    return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
}

std::string Sqlite3Shell(const std::string& file, const std::string& sql) {
    const std::string command = "sqlite3 -batch -readonly '" + file + "' \"" + sql + "\" 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        size_t got = 0;
        while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            output.append(buffer.data(), got);
        }
        pclose(pipe);
    }
    return output;
}

} // namespace kw::test
