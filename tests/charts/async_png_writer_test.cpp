#include "charts/async_png_writer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>
#include <vector>

#include "charts/chart_views.h"

using dramolex::charts::AsyncPngWriter;

class AsyncPngWriterTest : public QObject {
    Q_OBJECT

    std::vector<QImage> rounds;

    // The image a round would show: its own number of dark red bars.
    static QImage roundImage(int round)
    {
        QImage image(480, 480, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int bar = 0; bar <= round; ++bar)
            for (int y = 40; y < 440; ++y) image.setPixel(10 + bar * 12, y, qRgb(0xCC, 0, 0));
        return image;
    }

    int roundOf(const QImage& read) const
    {
        const QImage image = read.convertToFormat(QImage::Format_RGB32);
        for (size_t r = 0; r < rounds.size(); ++r)
            if (image == rounds[r]) return static_cast<int>(r);
        return -1;
    }

private slots:
    void initTestCase()
    {
        for (int r = 0; r < 30; ++r) rounds.push_back(roundImage(r));
    }

    // A reader polling the files while rounds are handed over faster than
    // they can be written only ever finds a complete image of some round,
    // and once the writer is idle each file holds its latest round.
    void readersSeeOnlyWholeImagesAndTheLatestWins()
    {
        QTemporaryDir dir;
        const QString paths[] = {dir.filePath("winners.png"), dir.filePath("agedist.png")};
        std::atomic<bool> done{false};
        std::atomic<int> reads{0}, broken{0};
        std::thread reader([&] {
            while (!done.load()) {
                for (const QString& path : paths) {
                    if (!QFile::exists(path)) continue;
                    const QImage read(path);
                    ++reads;
                    if (read.isNull() || roundOf(read) < 0) ++broken;
                }
            }
        });
        // Stops the reader however the test ends.
        struct Stopper {
            std::atomic<bool>& done;
            std::thread& thread;
            void operator()()
            {
                done = true;
                if (thread.joinable()) thread.join();
            }
            ~Stopper() { (*this)(); }
        } stopReader{done, reader};
        std::vector<QString> failures;
        {
            AsyncPngWriter writer([&](const QString& failure) { failures.push_back(failure); });
            for (int pass = 0; pass < 8; ++pass) {
                for (int r = 0; r < 30; ++r) writer.write(rounds[static_cast<size_t>(r)], paths[r % 2]);
                writer.flush();
                QCOMPARE(roundOf(QImage(paths[0])), 28);
                QCOMPARE(roundOf(QImage(paths[1])), 29);
            }
            QVERIFY2(writer.replaced() > 0, "every image was written: the rounds did not overlap the writes");
            QCOMPARE(writer.written() + writer.replaced(), uint64_t{8 * 30});
        }
        stopReader();
        QVERIFY(reads.load() > 0);
        QCOMPARE(broken.load(), 0);
        QVERIFY(failures.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary file left
    }

    // Destroying the writer writes what still waits and joins its thread.
    void destroyingWritesWhatWaits()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("beststrat.png");
        {
            AsyncPngWriter writer;
            for (int r = 0; r < 30; ++r) writer.write(rounds[static_cast<size_t>(r)], path);
        }
        QCOMPARE(roundOf(QImage(path)), 29);
    }

    void failuresAreReportedWithThePath()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("missing/winners.png");
        std::vector<QString> failures;
        {
            AsyncPngWriter writer([&](const QString& failure) { failures.push_back(failure); });
            writer.write(rounds[0], path);
            writer.flush();
            QCOMPARE(failures.size(), size_t{1});
        }
        QCOMPARE(failures.front(), path + QStringLiteral(": No such file or directory"));
    }
};

QTEST_MAIN(AsyncPngWriterTest)
#include "async_png_writer_test.moc"
