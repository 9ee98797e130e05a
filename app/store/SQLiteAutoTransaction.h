#pragma once

// A transaction that lasts as long as the object, unless committed first. Whatever is not committed
// is rolled back, so a group of writes is stored whole or not at all.
//
// Opened outside any transaction it takes the write lock at once (BEGIN IMMEDIATE); opened inside
// one it becomes a savepoint of that transaction, so operations that use it can call each other.
// Transactions belong to the connection: hold the store lock for the object's whole life.

namespace kw {

class SQLiteDB;

class SQLiteAutoTransaction {
public:
    // Begins at once when `db` is open.
    explicit SQLiteAutoTransaction(SQLiteDB* db);
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // Begins again after a commit or rollback. False with no database or connection, or when a
    // transaction of this object is open already.
    bool Begin();
    // Stores the writes. False when nothing was begun or the commit failed; a failed commit is
    // rolled back.
    bool Commit();
    // Discards the writes made since Begin. False when nothing was begun.
    bool Rollback();
    bool IsBegun() const { return begun_; }

private:
    SQLiteDB* db_ = nullptr;
    bool begun_ = false;
    bool nested_ = false;
};

} // namespace kw
