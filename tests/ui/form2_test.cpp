#include "ui/form2.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

#include "find_control.h"

using dramolex::ui::Form2;

class Form2Test : public QObject {
    Q_OBJECT

    QTemporaryDir workDir;
    QString previousDir;
    std::unique_ptr<Form2> form;

    template <typename T>
    T* child(const char* name) const
    {
        return findControl<T>(*form, name);
    }
    QPushButton* button() const { return child<QPushButton>("button2"); }
    QLineEdit* round() const { return child<QLineEdit>("textBox1"); }
    QComboBox* selector() const { return child<QComboBox>("comboBox1"); }
    QLabel* picture() const { return child<QLabel>("pictureBox2"); }
    int shownRound() const { return round()->text().isEmpty() ? -1 : round()->text().toInt(); }
    void make(const QString& log = QStringLiteral("run.log"))
    {
        form = std::make_unique<Form2>(101.9, 30, true, 40, -1, 3, log);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(workDir.isValid());
        previousDir = QDir::currentPath();
        // Chart images are written by bare name into the working directory.
        QVERIFY(QDir::setCurrent(workDir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(previousDir); }
    void cleanup() { form.reset(); }

    void opensWithItsControls()
    {
        make();
        QCOMPARE(form->windowTitle(), QStringLiteral("DRAMOLEX"));
        QCOMPARE(form->size(), QSize(510, 639));
        QCOMPARE(button()->text(), QStringLiteral("Start simulation"));
        QCOMPARE(child<QScrollBar>("hScrollBar1")->value(), 91);
        QCOMPARE(child<QScrollBar>("hScrollBar1")->maximum(), 91);
        QCOMPARE(selector()->count(), 8);
        QCOMPARE(selector()->currentIndex(), -1);
        QCOMPARE(selector()->itemText(5), QString());
        QCOMPARE(selector()->itemText(7), QStringLiteral("Age Distribution"));
        QVERIFY(!round()->isEnabled());
        QVERIFY(round()->text().isEmpty());
        QCOMPARE(picture()->size(), QSize(480, 466));
        // No text is clipped by its control.
        for (const char* name : {"label2", "label3", "label4", "label5"}) {
            const auto* label = child<QLabel>(name);
            QVERIFY2(label->width() >= label->sizeHint().width(), name);
            QVERIFY2(form->rect().contains(label->geometry()), name);
        }
    }

    void startPauseAndTheRoundNumber()
    {
        make();
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(button()->text(), QStringLiteral("Pause simulation"));
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 20, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(button()->text(), QStringLiteral("Start simulation"));
        QTest::qWait(100);
        const int stoppedAt = shownRound();
        QTest::qWait(100);
        QCOMPARE(shownRound(), stoppedAt);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() > stoppedAt + 5, 20000);
        QFile log(QStringLiteral("run.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY2(log.readLine().startsWith("Round: " + QByteArray::number(stoppedAt + 1)), "the log restarts");
    }

    void aSelectedViewWritesAndShowsItsImage()
    {
        make();
        QFile::remove(QStringLiteral("winners.png"));
        selector()->setCurrentIndex(2);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 3, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        const QImage written(QStringLiteral("winners.png"));
        QCOMPARE(written.size(), QSize(480, 480));
        QVERIFY(!picture()->pixmap().isNull());
        QCOMPARE(picture()->pixmap().size(), QSize(480, 480));

        // "(N/A)" leaves the picture as it was.
        const qint64 shown = picture()->pixmap().cacheKey();
        selector()->setCurrentIndex(0);
        const int before = shownRound();
        QTest::qWait(50);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= before + 10, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(picture()->pixmap().cacheKey(), shown);
    }

    void closingWhileRunningReturnsPromptly()
    {
        make();
        selector()->setCurrentIndex(3);
        child<QScrollBar>("hScrollBar1")->setValue(0);  // 910 ms between rounds
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 0 || QFile::exists(QStringLiteral("avgstratscores.png")), 20000);
        QElapsedTimer timer;
        timer.start();
        form->close();
        form.reset();
        QVERIFY2(timer.elapsed() < 5000, "closing waited for the worker's delay or hand-over");
    }

    // Closing at full speed with a chart joins the file writer without
    // waiting long, and leaves a complete image behind.
    void closingAtFullSpeedWithAChartLeavesAWholeImage()
    {
        QFile::remove(QStringLiteral("winners.png"));
        make();
        selector()->setCurrentIndex(2);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 30, 20000);
        QElapsedTimer timer;
        timer.start();
        form->close();
        form.reset();
        QVERIFY2(timer.elapsed() < 5000, "closing waited too long for the chart writer");
        QCOMPARE(QImage(QStringLiteral("winners.png")).size(), QSize(480, 480));
        QVERIFY(!QFile::exists(QStringLiteral("winners.png.part")));
    }

    void anUnopenableLogIsShownAndTheRunGoesOn()
    {
        make(QStringLiteral("no/such/dir/run.log"));
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 5, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY2(form->problem().contains(QStringLiteral("no/such/dir/run.log: No such file or directory")),
                 qPrintable(form->problem()));
    }

    // The speed bar is the first stop of the tab order and answers the keys
    // of a slider, within 0 (slowest) and 91 (fastest).
    void theSpeedBarTakesTheKeyboard_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("right") << 50 << int(Qt::Key_Right) << 51;
        QTest::newRow("left") << 50 << int(Qt::Key_Left) << 49;
        QTest::newRow("up") << 50 << int(Qt::Key_Up) << 51;
        QTest::newRow("down") << 50 << int(Qt::Key_Down) << 49;
        QTest::newRow("page up") << 50 << int(Qt::Key_PageUp) << 60;
        QTest::newRow("page down") << 50 << int(Qt::Key_PageDown) << 40;
        QTest::newRow("home") << 50 << int(Qt::Key_Home) << 0;
        QTest::newRow("end") << 50 << int(Qt::Key_End) << 91;
        QTest::newRow("page up near the end") << 85 << int(Qt::Key_PageUp) << 91;
        QTest::newRow("right at the end") << 91 << int(Qt::Key_Right) << 91;
        QTest::newRow("left at the start") << 0 << int(Qt::Key_Left) << 0;
    }
    void theSpeedBarTakesTheKeyboard()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        make();
        form->activateWindow();
        auto* bar = child<QScrollBar>("hScrollBar1");
        bar->setValue(from);
        QVERIFY2(QApplication::focusWidget() == bar, "the speed bar has the focus when the window opens");
        QTest::keyClick(bar, static_cast<Qt::Key>(key));
        QCOMPARE(bar->value(), to);
    }

    void theTabOrderIsSpeedSelectorButton()
    {
        make();
        form->activateWindow();
        QWidget* expected[] = {child<QScrollBar>("hScrollBar1"), selector(), button(), child<QScrollBar>("hScrollBar1")};
        QVERIFY(QApplication::focusWidget() == expected[0]);
        for (int i = 1; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY2(QApplication::focusWidget() == expected[i], qPrintable(QApplication::focusWidget()->objectName()));
        }
    }

    // Only the close box (the window system's close) ends the run; Esc does not.
    void escapeNeitherClosesNorStops()
    {
        make();
        QSignalSpy finished(form.get(), &QDialog::finished);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 1, 20000);
        for (QWidget* target : {static_cast<QWidget*>(child<QScrollBar>("hScrollBar1")), static_cast<QWidget*>(button()),
                                static_cast<QWidget*>(form.get())}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Escape);
        }
        QVERIFY(form->isVisible());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(button()->text(), QStringLiteral("Pause simulation"));
        const int before = shownRound();
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() > before + 3, 20000);
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(finished.count(), 1);
    }

    // The round number box stays disabled but draws its digits in the normal
    // text colour.
    void theRoundNumberIsReadable()
    {
        make();
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 0, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        round()->setText(QStringLiteral("88888"));
        QVERIFY(!round()->isEnabled());
        QCOMPARE(round()->palette().color(QPalette::Disabled, QPalette::Text),
                 round()->palette().color(QPalette::Active, QPalette::Text));
        const QImage drawn = round()->grab().toImage();
        int dark = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (qGray(drawn.pixel(x, y)) < 60) ++dark;
        QVERIFY2(dark > 30, qPrintable(QString::number(dark)));
    }

    // Every view, the age distribution included, writes its file and shows
    // its image when selected.
    void everyViewWritesAndShowsItsImage_data()
    {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("file");
        QTest::newRow("winningbars") << 1 << "winningbars.png";
        QTest::newRow("winners") << 2 << "winners.png";
        QTest::newRow("avgstratscores") << 3 << "avgstratscores.png";
        QTest::newRow("beststrat") << 4 << "beststrat.png";
        QTest::newRow("bardist") << 5 << "bardist.png";
        QTest::newRow("numdeaths") << 6 << "numdeaths.png";
        QTest::newRow("agedist") << 7 << "agedist.png";
    }
    void everyViewWritesAndShowsItsImage()
    {
        QFETCH(int, selection);
        QFETCH(QString, file);
        make();
        QFile::remove(file);
        selector()->setCurrentIndex(selection);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 2, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(QImage(file).size(), QSize(480, 480), 20000);
        QCOMPARE(picture()->pixmap().size(), QSize(480, 480));
        QVERIFY(form->problem().isEmpty());
    }

    // A chart file that cannot be written is reported, and the notice hides
    // neither the picture nor any control.
    void aChartFileThatCannotBeWrittenIsReportedInTheClear_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("a directory in the way") << "directory";
        QTest::newRow("no space when the file is closed") << "full";
    }
    void aChartFileThatCannotBeWrittenIsReportedInTheClear()
    {
        QFETCH(QString, how);
        QFile::remove(QStringLiteral("winners.png"));
        QFile::remove(QStringLiteral("winners.png.part"));
        if (how == "directory") QVERIFY(QDir().mkdir(QStringLiteral("winners.png")));
        if (how == "full") QVERIFY(::symlink("/dev/full", "winners.png.part") == 0);
        make();
        selector()->setCurrentIndex(2);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form->problem().isEmpty(), 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        const QString problem = form->problem();
        QDir().rmdir(QStringLiteral("winners.png"));
        QFile::remove(QStringLiteral("winners.png.part"));
        QVERIFY2(problem.startsWith(QStringLiteral("The chart image cannot be written: winners.png: ")), qPrintable(problem));
        QVERIFY2(problem.endsWith(how == "full" ? QStringLiteral("No space left on device") : QStringLiteral("Is a directory")),
                 qPrintable(problem));
        const QWidget* notice = child<QLabel>("problemLabel");
        QVERIFY(notice->isVisible());
        QVERIFY(form->rect().contains(notice->geometry()));
        for (const char* name : {"pictureBox2", "comboBox1", "hScrollBar1", "button2", "textBox1", "label2", "label3",
                                 "label4", "label5"}) {
            QVERIFY2(!notice->geometry().intersects(child<QWidget>(name)->geometry()), name);
        }
    }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
