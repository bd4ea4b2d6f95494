#include "ui/form1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QtTest>

#include "find_control.h"
#include <optional>

#include "ui/error_indicator.h"

using dramolex::ui::ErrorIndicator;
using dramolex::ui::Form1;
using dramolex::ui::SimulationRequest;

class Form1Test : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    std::optional<SimulationRequest> launched;

    template <typename T>
    T* child(const char* name) const
    {
        return findControl<T>(*form, name);
    }
    QLineEdit* box(const char* name) const { return child<QLineEdit>(name); }
    QPushButton* simulate() const { return child<QPushButton>("button1"); }
    QString message(const char* indicator) const { return child<ErrorIndicator>(indicator)->message(); }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        launched.reset();
        form->setLauncher([this](const SimulationRequest& r) { launched = r; });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void opensWithItsInitialState()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("DRAMOLEX"));
        QVERIFY(simulate()->isEnabled());
        QVERIFY(simulate()->hasFocus());
        QVERIFY(!box("textBox4")->isEnabled());
        QVERIFY(!box("textBox2")->isEnabled());
        const auto m = form->marks();
        QCOMPARE(m.aa, 1);
        QCOMPARE(m.cc, 1);
        QCOMPARE(m.ee, 0);
        QCOMPARE(m.gg, 0);
    }

    void leavingABoxRunsItsCheckAndTheFocusMovesOn()
    {
        box("textBox1")->setFocus();
        QTest::keyClicks(box("textBox1"), "16349");
        QTest::keyClick(box("textBox1"), Qt::Key_Tab);
        QCOMPARE(message("agentsError"), QStringLiteral("Please enter an integer between 1 and 16,348"));
        QVERIFY(!simulate()->isEnabled());
        QVERIFY(!box("textBox1")->hasFocus());
        QCOMPARE(form->marks().aa, 1);

        box("textBox1")->setFocus();
        box("textBox1")->setText("16348");
        box("textBox5")->setFocus();
        QVERIFY(message("agentsError").isEmpty());
        QCOMPARE(form->marks().aa, 0);
        QVERIFY2(!simulate()->isEnabled(), "cc has not passed yet");
        box("textBox5")->setText("50");
        box("textBox1")->setFocus();
        QVERIFY(simulate()->isEnabled());
    }

    void checksTable_data()
    {
        QTest::addColumn<QString>("agents");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<bool>("passes");
        QTest::newRow("16348 agents") << "16348" << "50" << true;
        QTest::newRow("16349 agents") << "16349" << "50" << false;
        QTest::newRow("thousands comma") << "1,000" << "50" << false;
        QTest::newRow("decimal") << "12.5" << "50" << false;
        QTest::newRow("two percentages") << "10" << "50,60" << false;
        QTest::newRow("trailing separator") << "10" << "50," << false;
        QTest::newRow("leading space piece") << "10" << " 50" << false;
        QTest::newRow("percent 0") << "10" << "0" << false;
    }
    void checksTable()
    {
        QFETCH(QString, agents);
        QFETCH(QString, percent);
        QFETCH(bool, passes);
        box("textBox1")->setText(agents);
        box("textBox5")->setText(percent);
        form->textBox1_Validating();
        form->textBox5_Validating();
        QCOMPARE(simulate()->isEnabled(), passes);
        QCOMPARE(message("agentsError").isEmpty() && message("grouperError").isEmpty(), passes);
    }

    void groupsLimitFollowsTheAgentsBox()
    {
        child<QCheckBox>("checkBox3")->setChecked(true);
        QVERIFY(box("textBox4")->isEnabled());
        box("textBox1")->setText("7");
        box("textBox4")->setText("4");
        form->textBox4_Validating();
        QCOMPARE(message("groupsError"), QStringLiteral("Please enter an integer between 1 and 3"));
        box("textBox1")->setText("1");
        box("textBox4")->setText("1");
        form->textBox4_Validating();
        QCOMPARE(message("groupsError"), QStringLiteral("Please enter an integer between 1 and 0"));
        box("textBox1")->setText("");
        form->textBox4_Validating();
        QCOMPARE(message("groupsError"),
                 QStringLiteral("Please first input an integer for the number of agents and bar options"));
    }

    void untickingAfterAFailedCheckClearsTheMarkButNotTheButton()
    {
        child<QCheckBox>("checkBox3")->setChecked(true);
        box("textBox1")->setText("10");
        box("textBox4")->setText("9");
        form->textBox4_Validating();
        QVERIFY(!simulate()->isEnabled());
        child<QCheckBox>("checkBox3")->setChecked(false);
        QVERIFY(message("groupsError").isEmpty());
        QCOMPARE(form->marks().ee, 0);
        QVERIFY(!box("textBox4")->isEnabled());
        QCOMPARE(box("textBox4")->text(), QStringLiteral("9"));
        QVERIFY(!simulate()->isEnabled());
    }

    void clearEnablesSimulateAndKeepsMessagesAndTicks()
    {
        child<QCheckBox>("checkBox1")->setChecked(true);
        box("textBox1")->setText("0");
        form->textBox1_Validating();
        box("textBox8")->setText("run.log");
        form->button2_Click();
        QVERIFY(simulate()->isEnabled());
        for (const char* name : {"textBox1", "textBox2", "textBox4", "textBox5", "textBox8"}) {
            QVERIFY2(box(name)->text().isEmpty(), name);
        }
        QVERIFY(!message("agentsError").isEmpty());
        QVERIFY(child<QCheckBox>("checkBox1")->isChecked());
    }

    void simulateBuildsTheRunParameters()
    {
        box("textBox1")->setText(" 1001 ");
        box("textBox5")->setText("30");
        child<QCheckBox>("checkBox3")->setChecked(true);
        box("textBox4")->setText("4");
        child<QCheckBox>("checkBox1")->setChecked(true);
        box("textBox2")->setText("60");
        box("textBox8")->setText("out/run.log");
        form->button1_Click();
        QVERIFY(launched.has_value());
        QCOMPARE(launched->numagents, 1001.0);
        QCOMPARE(launched->barcap, 30);
        QCOMPARE(launched->grpsize, 4);
        QCOMPARE(launched->avgage, 60);
        QCOMPARE(launched->alpha, -1);
        QVERIFY(launched->ispercentcap);
        QCOMPARE(launched->outputname, QStringLiteral("out/run.log"));
    }

    void untickedBoxesAndAnEmptyPercentageGiveTheDefaults()
    {
        box("textBox1")->setText("50");
        box("textBox4")->setText("999");  // ignored: herding is off
        box("textBox2")->setText("abc");  // ignored: mortality is off
        form->button1_Click();
        QVERIFY(launched.has_value());
        QCOMPARE(launched->barcap, 0);
        QCOMPARE(launched->grpsize, 1);
        QCOMPARE(launched->avgage, -1);
    }

    void simulateRefusesValuesThatHaveNotPassed()
    {
        box("textBox1")->setText("50");
        child<QCheckBox>("checkBox3")->setChecked(true);
        box("textBox4")->setText("0");  // never visited, out of range
        form->button1_Click();
        QVERIFY(!launched.has_value());
        QCOMPARE(message("groupsError"), QStringLiteral("Please enter an integer between 1 and 25"));
        QVERIFY(!simulate()->isEnabled());

        form->button2_Click();  // Clear: every box empty
        form->button1_Click();
        QVERIFY2(!launched.has_value(), "no run from an empty agents box");
    }

    // The grouper-percent option is the only one of its kind: nothing the user
    // does may clear it, since "Simulate" starts nothing without it.
    void grouperPercentCannotBeCleared_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("click on the sign") << "sign";
        QTest::newRow("click on the text") << "text";
        QTest::newRow("space bar") << "space";
        QTest::newRow("twice on the sign") << "sign twice";
    }
    void grouperPercentCannotBeCleared()
    {
        QFETCH(QString, action);
        auto* option = child<QRadioButton>("radioButton1");
        QStyleOptionButton style;
        style.initFrom(option);
        const QPoint sign = option->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option).center();
        const QPoint text = option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option).center();
        if (action == "sign") QTest::mouseClick(option, Qt::LeftButton, {}, sign);
        if (action == "text") QTest::mouseClick(option, Qt::LeftButton, {}, text);
        if (action == "space") {
            option->setFocus(Qt::TabFocusReason);
            QTest::keyClick(option, Qt::Key_Space);
        }
        if (action == "sign twice") {
            QTest::mouseClick(option, Qt::LeftButton, {}, sign);
            QTest::mouseClick(option, Qt::LeftButton, {}, sign);
        }
        QVERIFY(option->isChecked());
        box("textBox1")->setText("50");
        form->button1_Click();
        QVERIFY2(launched.has_value(), "Simulate started no run");
    }

    // A refused "Simulate" puts the focus on the first box that failed, with
    // its text unselected, so typing does not overwrite a valid entry.
    void aRefusedSimulateFocusesTheFirstFailedBox_data()
    {
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QString>("lifeSpan");
        QTest::addColumn<QString>("failed");
        QTest::newRow("percentage") << "101" << "3" << "50" << "textBox5";
        QTest::newRow("groups") << "10" << "0" << "50" << "textBox4";
        QTest::newRow("life span") << "10" << "3" << "abc" << "textBox2";
        QTest::newRow("groups and life span") << "10" << "99" << "0" << "textBox4";
    }
    void aRefusedSimulateFocusesTheFirstFailedBox()
    {
        QFETCH(QString, percent);
        QFETCH(QString, groups);
        QFETCH(QString, lifeSpan);
        QFETCH(QString, failed);
        child<QCheckBox>("checkBox3")->setChecked(true);
        child<QCheckBox>("checkBox1")->setChecked(true);
        box("textBox1")->setText("50");
        box("textBox5")->setText(percent);
        box("textBox4")->setText(groups);
        box("textBox2")->setText(lifeSpan);
        simulate()->setFocus();
        QTest::mouseClick(simulate(), Qt::LeftButton);
        QVERIFY(!launched.has_value());
        QVERIFY(!simulate()->isEnabled());
        QVERIFY2(QApplication::focusWidget() == box(qPrintable(failed)),
                 qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString("none")));
        QVERIFY(!box(qPrintable(failed))->hasSelectedText());
        QVERIFY(!box("textBox1")->hasSelectedText());
        QCOMPARE(box("textBox1")->text(), QStringLiteral("50"));
    }

    // Leaving a box for "Simulate" runs its check; when it fails, the focus
    // goes back to that box instead of jumping to the agents box.
    void leavingAFailingBoxForSimulateKeepsTheFocusThere()
    {
        box("textBox1")->setText("50");
        box("textBox5")->setFocus();
        box("textBox5")->setText("0");
        QTest::mouseClick(simulate(), Qt::LeftButton);
        QVERIFY(!launched.has_value());
        QVERIFY(!simulate()->isEnabled());
        QVERIFY(QApplication::focusWidget() == box("textBox5"));
        QVERIFY(!box("textBox1")->hasSelectedText());
    }

    // Each box carries its own message as tooltip and accessible description,
    // readable from the keyboard and by screen readers, not only the sign's.
    void aBoxCarriesItsMessage_data()
    {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("indicator");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("good");
        QTest::newRow("agents") << "textBox1" << "agentsError" << "0" << "10";
        QTest::newRow("percentage") << "textBox5" << "grouperError" << "50,60" << "50";
        QTest::newRow("groups") << "textBox4" << "groupsError" << "6" << "5";
        QTest::newRow("life span") << "textBox2" << "lifeSpanError" << "101" << "100";
    }
    void aBoxCarriesItsMessage()
    {
        QFETCH(QString, boxName);
        QFETCH(QString, indicator);
        QFETCH(QString, bad);
        QFETCH(QString, good);
        child<QCheckBox>("checkBox3")->setChecked(true);
        child<QCheckBox>("checkBox1")->setChecked(true);
        if (boxName != "textBox1") box("textBox1")->setText("10");
        QLineEdit* edit = box(qPrintable(boxName));
        const auto check = [&] {
            edit->setFocus();
            box("textBox8")->setFocus();
        };
        edit->setText(bad);
        check();
        const QString shown = message(qPrintable(indicator));
        QVERIFY(!shown.isEmpty());
        QCOMPARE(edit->toolTip(), shown);
        QCOMPARE(edit->accessibleDescription(), shown);
        QCOMPARE(child<ErrorIndicator>(qPrintable(indicator))->toolTip(), shown);
        edit->setText(good);
        check();
        QVERIFY(message(qPrintable(indicator)).isEmpty());
        QVERIFY(edit->toolTip().isEmpty());
        QVERIFY(edit->accessibleDescription().isEmpty());
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
