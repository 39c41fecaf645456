// The logs' texts are bytes of Latin-1; the history keeps UTF-8, so that the
// sqlite3 shell and any other reader shows the names as they were typed.
#pragma once

#include <string>
#include <string_view>

std::string utf8_of_latin1(std::string_view latin1);

// Back to the logs' Latin-1, for the pages' writer: a character beyond
// Latin-1 (the history holds none of its own) becomes '?'.
std::string latin1_of_utf8(std::string_view utf8);
