// SQLite's memory for a fuzz target: blocks of a few sizes, kept and handed
// out again, rather than a malloc and a free of the sanitizer for each of
// the many small blocks SQLite's parser makes (the system's SQLite is built
// without its own lookaside, which would do this). The parts of a block that
// are not handed out, and every freed block, stay poisoned, so a read past
// what SQLite asked for, or of a freed block, is still reported.
#pragma once

// Sets the pool as SQLite's allocator; call before SQLite is first used.
// Aborts when SQLite refuses it.
void use_sqlite_pool();
