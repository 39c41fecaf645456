// Inserts many rows of one table with few statements: a statement of many
// rows costs SQLite about as much to run as one of a single row, so a
// game's hundreds of kills go in a few dozen runs rather than hundreds.
#pragma once

#include <sqlite3.h>

#include <array>
#include <cstddef>
#include <string>

#include "sqlite_handle.h"

class RowInserter {
public:
    // table_and_columns: "kill (game_id, position, ...)" with columns names.
    RowInserter(sqlite3* db, std::string table_and_columns, int columns);

    // The statement that inserts rows rows at once.
    static std::string sql(const std::string& table_and_columns, int columns, std::size_t rows);

    // Inserts count rows; bind(statement, first, i) binds the values of row
    // i as parameters first, first + 1, ... of the statement.
    template <typename Bind>
    void insert(std::size_t count, Bind bind) {
        std::size_t i = 0;
        // The largest statement while it fills, then ever smaller ones: any
        // remainder is a sum of the sizes below it.
        for (std::size_t s = 0; s < SIZES.size() && i < count; ++s) {
            const std::size_t rows = SIZES[s];
            while (count - i >= rows) {
                Statement& statement = of_size(s);
                for (std::size_t r = 0; r < rows; ++r) bind(statement, static_cast<int>(r) * columns_ + 1, i + r);
                statement.run();
                i += rows;
            }
        }
    }

private:
    static constexpr std::array<std::size_t, 7> SIZES = {64, 32, 16, 8, 4, 2, 1};
    // Prepared when first needed: a run that adds nothing prepares nothing.
    Statement& of_size(std::size_t s);

    sqlite3* db_;
    std::string table_and_columns_;
    int columns_;
    std::array<Statement, SIZES.size()> statements_;
    std::array<bool, SIZES.size()> prepared_{};
};
