#include "charts/async_png_writer.h"

#include <algorithm>
#include <utility>

#include "charts/png_writer.h"

namespace dramolex::charts {

AsyncPngWriter::AsyncPngWriter(FailureHandler onFailure)
    : onFailure_(std::move(onFailure)), thread_([this] { run(); })
{
}

AsyncPngWriter::~AsyncPngWriter()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void AsyncPngWriter::write(const QImage& image, const QString& path)
{
    {
        std::lock_guard lock(mutex_);
        const auto same = std::find_if(waiting_.begin(), waiting_.end(), [&](const Job& job) { return job.path == path; });
        if (same != waiting_.end()) {
            same->image = image;  // latest wins
            ++replaced_;
            return;
        }
        waiting_.push_back({path, image});
    }
    wake_.notify_one();
}

void AsyncPngWriter::flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return waiting_.empty() && !writing_; });
}

uint64_t AsyncPngWriter::written() const
{
    std::lock_guard lock(mutex_);
    return written_;
}

uint64_t AsyncPngWriter::replaced() const
{
    std::lock_guard lock(mutex_);
    return replaced_;
}

void AsyncPngWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || !waiting_.empty(); });
        // Quitting still writes what waits: the last image of each file.
        if (waiting_.empty()) return;
        Job job = std::move(waiting_.front());
        waiting_.erase(waiting_.begin());
        writing_ = true;
        lock.unlock();
        const QString failure = writePng(job.image, job.path);
        job.image = QImage();  // released off the lock, like the encoding
        if (!failure.isEmpty() && onFailure_) onFailure_(failure);
        lock.lock();
        writing_ = false;
        ++written_;
        if (waiting_.empty()) idle_.notify_all();
    }
}

} // namespace dramolex::charts
