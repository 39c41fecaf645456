// The diagnostics file shared by both programs.
//
// Every call appends one line to "error.log" in the current directory and
// closes the file again, so each line is on disk as soon as the call returns.
// Lines end in CR LF on every platform.
#pragma once

// Appends text and "\r\n". A text of one blank writes an empty line; a null
// text only creates the file. Returns 1 when the file could be opened, else 0.
int error_log_append(const char* text);

// Formats a line into a buffer of 200 characters (longer lines are cut at 199)
// and appends it.
__attribute__((format(printf, 1, 2))) int error_log_appendf(const char* fmt, ...);

// The start banner of a program run: two empty lines, a box of asterisks 85
// characters wide with title centred in it, and one more empty line.
void error_log_banner(const char* title);
