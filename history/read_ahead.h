// Reads and analyses the next log on a thread of its own while the caller
// writes the one before into the history: on two cores an import then takes
// about as long as the analysis alone.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "analyse_log.h"

// One log analysed alone (LogAnalyser::analyse in the program; the tests
// hand in games they built).
using AnalyseLog = std::function<LogVerdict(std::string_view bytes, LoggedGame& game)>;

class ReadAhead {
public:
    struct Result {
        bool readable = false;
        LogVerdict verdict = LogVerdict::NotAStatLog;  // when readable
        LoggedGame game;                               // for LogVerdict::Game
    };

    // Without a thread of its own (own_thread false, or none to be had),
    // each file is read and analysed when started.
    explicit ReadAhead(const AnalyseLog& analyse, bool own_thread = true);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Starts on a file of about size bytes. The one started before must
    // have been waited for; its result stays valid until the next wait.
    void start(const std::string& path, long long size);
    // The result of the file started last; rethrows what the analysis threw.
    Result& wait();

private:
    // Reads and analyses into the slot; what the analysis threw, if anything.
    std::exception_ptr read(const std::string& path, long long size, int slot);
    void work();

    const AnalyseLog& analyse_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string path_;
    long long size_ = 0;
    bool pending_ = false;   // a file started and not yet done
    bool unwaited_ = false;  // a file started and not yet waited for (the caller's thread only)
    bool stopping_ = false;
    std::exception_ptr failure_;
    // Two of each: the caller reads one result while the next is made.
    std::string bytes_[2];
    Result results_[2];
    int slot_ = 1;
    std::thread thread_;
};
