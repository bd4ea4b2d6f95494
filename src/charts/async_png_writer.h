#pragma once

#include <QImage>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace dramolex::charts {

// Writes PNG files on one background thread of its own, so that the caller
// (the window's thread, once per round) never waits for encoding.
//
// Each file is written whole under a temporary name and renamed into place
// (writePng), so a reader only ever sees a complete image; and since one
// thread writes every file, no two writes of one file overlap. At most one
// image waits per file name: a newer image for that name replaces the
// waiting one, so a writer slower than the rounds skips rounds instead of
// falling behind. The destructor writes what is still waiting and joins.
class AsyncPngWriter {
public:
    // Called on the writer's thread with "<path>: <reason>" for each failed write.
    using FailureHandler = std::function<void(const QString& failure)>;

    explicit AsyncPngWriter(FailureHandler onFailure = {});
    ~AsyncPngWriter();
    AsyncPngWriter(const AsyncPngWriter&) = delete;
    AsyncPngWriter& operator=(const AsyncPngWriter&) = delete;

    // Hands over an image to be written to path; returns at once.
    void write(const QImage& image, const QString& path);
    // Waits until every image handed over so far has been written or replaced.
    void flush();
    // Images taken up for writing (failed writes included), and images
    // replaced by a newer one before their turn, so far.
    uint64_t written() const;
    uint64_t replaced() const;

private:
    struct Job {
        QString path;
        QImage image;
    };
    void run();

    FailureHandler onFailure_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::vector<Job> waiting_;  // one per path, in order of arrival
    bool writing_ = false;
    bool quit_ = false;
    uint64_t written_ = 0;
    uint64_t replaced_ = 0;
    std::thread thread_;  // last: starts once everything above exists
};

} // namespace dramolex::charts
