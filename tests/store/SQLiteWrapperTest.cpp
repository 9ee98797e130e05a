// The thin layer over SQLite: soft failures without a connection, opening rules, transactions.

#include "tests/store/StoreTestHelpers.h"

#include "app/store/SQLiteAutoTransaction.h"
#include "app/store/SQLiteStatement.h"

namespace kw::test {
namespace {

TEST(SQLiteWrapper, EverythingFailsSoftlyWithoutAConnection) {
    SQLiteDB db;
    SQLiteStatement statement;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), SQLiteDB::kMisuse);
    EXPECT_EQ(db.Exec("SELECT 1"), SQLiteDB::kMisuse);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_FALSE(statement.IsPrepared());
    EXPECT_TRUE(statement.IsDone());
    EXPECT_EQ(statement.BindInt(1, 5), SQLiteStatement::kMisuse);
    EXPECT_EQ(statement.BindText(1, std::wstring_view(L"x")), SQLiteStatement::kMisuse);
    EXPECT_EQ(statement.Step(), SQLiteStatement::kMisuse);
    EXPECT_EQ(statement.ColumnInt(0), 0);
    EXPECT_EQ(statement.ColumnText(0), nullptr);
    EXPECT_EQ(statement.ColumnWide(0), L"");
    SQLiteAutoTransaction transaction(&db);
    EXPECT_FALSE(transaction.IsBegun());
    EXPECT_FALSE(transaction.Commit());
    SQLiteAutoTransaction none(nullptr);
    EXPECT_FALSE(none.Begin());
}

TEST(SQLiteWrapper, OpenRefusesWhatItCannotHonour) {
    TempDir dir;
    SQLiteDB db;
    EXPECT_FALSE(db.Open(nullptr, "", SQLiteDB::kOpenOrCreate));
    // The existing-file flags never create one.
    EXPECT_FALSE(db.Open((dir / "absent.db").c_str(), "", SQLiteDB::kOpenExisting));
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.db"));
    if (!SQLiteDB::SupportsKey()) {
        // Without a codec a key would be silently ignored and the data written in plain text.
        EXPECT_FALSE(db.Open((dir / "keyed.db").c_str(), "secret", SQLiteDB::kOpenOrCreate));
        EXPECT_FALSE(db.IsOpen());
    }
    EXPECT_TRUE(db.Open((dir / "plain.db").c_str(), "", SQLiteDB::kOpenOrCreate));
    // Opening again closes the first connection.
    EXPECT_TRUE(db.Open((dir / "other.db").c_str(), "", SQLiteDB::kOpenOrCreate));
    EXPECT_EQ(QueryRows(db, "PRAGMA database_list").at(0), "0|main|" + (dir / "other.db").string());
}

TEST(SQLiteWrapper, CloseKeepsAConnectionThatStillHasStatements) {
    TempDir dir;
    SQLiteDB db;
    ASSERT_TRUE(db.Open((dir / "x.db").c_str(), "", SQLiteDB::kOpenOrCreate));
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "SELECT 1"), 0);
    EXPECT_FALSE(statement.IsDone());
    EXPECT_EQ(statement.Step(), SQLiteStatement::kRow);
    EXPECT_EQ(statement.Step(), SQLiteStatement::kDone);
    EXPECT_TRUE(statement.IsDone());
    EXPECT_FALSE(db.Close());
    EXPECT_TRUE(db.IsOpen());
    statement.Finalize();
    EXPECT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.Open((dir / "t.db").c_str(), "", SQLiteDB::kOpenOrCreate));
        ASSERT_EQ(db.Exec("CREATE TABLE t(v INTEGER)"), 0);
    }
    std::string Values() {
        std::string all;
        for (const std::string& row : QueryRows(db, "SELECT v FROM t ORDER BY rowid")) {
            all += row + ",";
        }
        return all;
    }

    TempDir dir;
    SQLiteDB db;
};

TEST_F(TransactionTest, WritesAreKeptOnlyWhenCommitted) {
    {
        SQLiteAutoTransaction transaction(&db);
        ASSERT_TRUE(transaction.IsBegun());
        EXPECT_FALSE(transaction.Begin()) << "already begun";
        db.Exec("INSERT INTO t VALUES (1)");
        EXPECT_TRUE(transaction.Commit());
        EXPECT_FALSE(transaction.Commit()) << "nothing left to commit";
    }
    {
        SQLiteAutoTransaction transaction(&db);
        db.Exec("INSERT INTO t VALUES (2)");
        // Left without Commit: rolled back.
    }
    {
        SQLiteAutoTransaction transaction(&db);
        db.Exec("INSERT INTO t VALUES (3)");
        EXPECT_TRUE(transaction.Rollback());
        EXPECT_TRUE(transaction.Begin());
        db.Exec("INSERT INTO t VALUES (4)");
        EXPECT_TRUE(transaction.Commit());
    }
    EXPECT_EQ(Values(), "1,4,");
    EXPECT_TRUE(db.InAutocommit());
}

TEST_F(TransactionTest, InnerTransactionIsASavepointOfTheOuterOne) {
    {
        SQLiteAutoTransaction outer(&db);
        db.Exec("INSERT INTO t VALUES (1)");
        {
            SQLiteAutoTransaction inner(&db);
            ASSERT_TRUE(inner.IsBegun());
            db.Exec("INSERT INTO t VALUES (2)");
        }
        {
            SQLiteAutoTransaction inner(&db);
            db.Exec("INSERT INTO t VALUES (3)");
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_FALSE(db.InAutocommit()) << "the outer transaction is still open";
        EXPECT_TRUE(outer.Commit());
    }
    {
        SQLiteAutoTransaction outer(&db);
        SQLiteAutoTransaction inner(&db);
        db.Exec("INSERT INTO t VALUES (4)");
        EXPECT_TRUE(inner.Commit());
        // The outer one is not committed: the inner one's writes go with it.
    }
    EXPECT_EQ(Values(), "1,3,");
    EXPECT_TRUE(db.InAutocommit());
}

} // namespace
} // namespace kw::test
