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

    void anUnopenableLogIsShownAndTheRunGoesOn()
    {
        make(QStringLiteral("no/such/dir/run.log"));
        QTest::mouseClick(button(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownRound() >= 5, 20000);
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY2(form->problem().contains(QStringLiteral("no/such/dir/run.log: No such file or directory")),
                 qPrintable(form->problem()));
    }
};

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
