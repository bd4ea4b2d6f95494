#include "ui/form1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
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
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
