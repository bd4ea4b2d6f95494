#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "ui/parameter_checks.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace dramolex::ui {

class ErrorIndicator;

// What "Simulate" hands to the simulation window.
struct SimulationRequest {
    double numagents = 0;
    int32_t barcap = 0;
    bool ispercentcap = true;
    int32_t avgage = -1;
    int32_t alpha = -1;
    int32_t grpsize = 1;
    QString outputname;
};

// The parameter window: validates each box when the user leaves it and
// opens a simulation window for a run.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Opens the run for a request; the default shows a simulation window
    // modally and returns when it closes.
    using Launcher = std::function<void(const SimulationRequest&)>;

    explicit Form1(QWidget* parent = nullptr);
    void setLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

    // The four checks, also run when their box loses the focus.
    void textBox1_Validating();
    void textBox5_Validating();
    void textBox4_Validating();
    void textBox2_Validating();

    void checkBox3_CheckedChanged_1();
    void checkBox1_CheckedChanged_1();
    void button1_Click();
    void button2_Click();

    struct Marks {
        int32_t aa, cc, ee, gg;
    };
    Marks marks() const { return {aa, cc, ee, gg}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildControls();
    // Applies a check's outcome to its box, message and mark.
    bool apply(const CheckResult& result, ErrorIndicator* indicator, int32_t& mark);
    // Disables "Simulate"; if it had the focus, the failed box takes it.
    void disableSimulate(QWidget* failedBox);
    static void defaultLauncher(QWidget* parent, const SimulationRequest& request);

    QPushButton* button1 = nullptr;
    QLabel* label1 = nullptr;
    QLineEdit* textBox1 = nullptr;
    QRadioButton* radioButton1 = nullptr;
    QLineEdit* textBox5 = nullptr;
    QCheckBox* checkBox1 = nullptr;
    QCheckBox* checkBox3 = nullptr;
    QLabel* label3 = nullptr;
    QLineEdit* textBox4 = nullptr;
    QLabel* label5 = nullptr;
    QLineEdit* textBox2 = nullptr;
    QLabel* label6 = nullptr;
    QLineEdit* textBox8 = nullptr;
    QPushButton* button2 = nullptr;
    ErrorIndicator* agentsError = nullptr;
    ErrorIndicator* grouperError = nullptr;
    ErrorIndicator* groupsError = nullptr;
    ErrorIndicator* lifeSpanError = nullptr;

    int32_t aa = 1;
    int32_t cc = 1;
    int32_t ee = 0;
    int32_t gg = 0;

    SimulationRequest request_;
    Launcher launcher_;
    QPixmap background_;
};

} // namespace dramolex::ui
