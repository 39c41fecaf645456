// Failures the user must hear about, on standard error.
//
// Standard output carries the programs' reports and nothing else, and the
// details of every failure go to error.log. But a run that fails must also
// say so where the user looks: one line on standard error that names the
// cause and the remedy, once per cause and run.
#pragma once

#include "output.h"

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

// Lines that a run gathers for a file of details and that must be in it
// before a failure line sends the user there: the error log's.
class PendingDetails {
public:
    virtual void write_pending() = 0;

protected:
    ~PendingDetails() = default;
};

// The failure lines of one run. Each run owns one, so what one run said
// never silences or renames what another run in the same process says.
class FailureReport {
public:
    // program starts every line ("analyser", "logconvert"); the lines go to
    // lines, standard error unless the run is given another place.
    explicit FailureReport(const char* program, Output& lines = error_output()) : program_(program), lines_(&lines) {}

    // Writes "<program>: " and the formatted text as one line, unless a line
    // of the same cause was written before. A text that ends in " (details
    // in error.log)" loses that ending once error.log could not be written:
    // the details are not there to be found. The pending details are
    // written out before the line.
    __attribute__((format(printf, 3, 4))) void report(Failure cause, const char* fmt, ...);

    // The details to write out before each failure line; nullptr for none.
    void write_first(PendingDetails* details) { details_ = details; }

private:
    const char* program_;
    Output* lines_;
    PendingDetails* details_ = nullptr;
    unsigned reported_ = 0;  // one bit per cause
};
