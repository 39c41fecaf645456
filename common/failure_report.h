// Failures the user must hear about, on standard error.
//
// Standard output carries the programs' reports and nothing else, and the
// details of every failure go to error.log. But a run that fails must also
// say so where the user looks: one line on standard error that names the
// cause and the remedy, once per cause and run.
#pragma once

enum class Failure {
    ErrorLogUnwritable,
    NoGamesLog,
    GamesLogUnusable,
    PageUnwritable,
    GamesPageUnwritable,
    NoLogs,
    LogUnreadable,
    CopyUnwritable,
    SessionEndedEarly,
    SessionPlayersLeftOut,
    LogsLeftOver,
    LogsNotRenamed,
};

// The name that starts every line ("analyser", "logconvert"), set when a
// run starts: from then on every cause may be reported once again.
void set_failure_program(const char* name);

// Writes "<program>: " and the formatted text as one line to standard error,
// unless a line of the same cause was written before in this run. A text
// that ends in " (details in error.log)" loses that ending once error.log
// could not be written in this run: the details are not there to be found.
__attribute__((format(printf, 2, 3))) void report_failure(Failure cause, const char* fmt, ...);
