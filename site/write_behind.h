// Writes the pages a build made to their files on a thread of its own, so
// that the system's copying of one page overlaps the making of the next.
// Only a few megabytes of pages wait at a time: memory stays flat whatever
// the size of the site.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "page_buffer.h"

class WriteBehind {
public:
    // Without a thread to be had, each page is written when handed over.
    WriteBehind();
    // Waits for the pages handed over.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // An empty buffer for the next page: one whose page was written, or a
    // new one.
    std::unique_ptr<PageBuffer> spare();
    // Writes the page into file, replacing whatever holds that name (a link
    // above all: a page is never written through one). Waits while too many
    // bytes wait. After a failure, nothing more is written: the message of
    // the first failure known so far, or an empty text, so that a build
    // stops soon rather than making every page first.
    std::string write(std::filesystem::path file, std::unique_ptr<PageBuffer> page);
    // Waits until every page handed over is written; the first failure's
    // message, or an empty text.
    std::string finish();

private:
    struct Job {
        std::filesystem::path file;
        std::unique_ptr<PageBuffer> page;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> waiting_;
    std::vector<std::unique_ptr<PageBuffer>> spares_;
    std::size_t waiting_bytes_ = 0;
    bool busy_ = false;  // the thread writes a page taken off waiting_
    bool stop_ = false;
    std::string failure_;
    std::thread thread_;

    void work();
    // The failure's message, or an empty text.
    static std::string write_file(const std::filesystem::path& file, PageBuffer& page);
};
