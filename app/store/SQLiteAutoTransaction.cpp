#include "app/store/SQLiteAutoTransaction.h"

#include "app/store/SQLiteDB.h"

namespace kw {

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* db) : db_(db) {
    Begin();
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    Rollback();
}

bool SQLiteAutoTransaction::Begin() {
    if (!db_ || begun_ || !db_->IsOpen()) {
        return false;
    }
    nested_ = !db_->InAutocommit();
    begun_ = db_->Exec(nested_ ? "SAVEPOINT kw_nested;" : "BEGIN IMMEDIATE;") == 0;
    return begun_;
}

bool SQLiteAutoTransaction::Commit() {
    if (!db_ || !begun_) {
        return false;
    }
    if (db_->Exec(nested_ ? "RELEASE kw_nested;" : "COMMIT;") != 0) {
        Rollback();
        return false;
    }
    begun_ = false;
    return true;
}

bool SQLiteAutoTransaction::Rollback() {
    if (!db_ || !begun_) {
        return false;
    }
    begun_ = false;
    if (nested_) {
        // Rolling back to a savepoint leaves it on the stack; release it as well.
        const bool undone = db_->Exec("ROLLBACK TO kw_nested;") == 0;
        return db_->Exec("RELEASE kw_nested;") == 0 && undone;
    }
    // SQLite may have rolled back already (after an I/O error or a full disk); then there is
    // nothing left to end.
    if (db_->InAutocommit()) {
        return true;
    }
    return db_->Exec("ROLLBACK;") == 0;
}

} // namespace kw
