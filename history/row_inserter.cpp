#include "row_inserter.h"

#include <utility>

RowInserter::RowInserter(sqlite3* db, std::string table_and_columns, int columns)
    : db_(db), table_and_columns_(std::move(table_and_columns)), columns_(columns) {}

std::string RowInserter::sql(const std::string& table_and_columns, int columns, std::size_t rows) {
    // OR FAIL: a statement of many rows then needs no journal of its own to
    // undo the rows before a failing one (none can fail: the keys are new);
    // the batch's transaction is undone as a whole instead.
    std::string text = "INSERT OR FAIL INTO " + table_and_columns + " VALUES ";
    std::string row = "(";
    for (int c = 0; c < columns; ++c) row += c == 0 ? "?" : ", ?";
    row += ")";
    for (std::size_t r = 0; r < rows; ++r) {
        if (r > 0) text += ", ";
        text += row;
    }
    return text;
}

Statement& RowInserter::of_size(std::size_t s) {
    if (!prepared_[s]) {
        statements_[s] = Statement(db_, sql(table_and_columns_, columns_, SIZES[s]).c_str());
        prepared_[s] = true;
    }
    return statements_[s];
}
