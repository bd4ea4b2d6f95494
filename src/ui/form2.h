#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace dramolex::charts {
class AsyncPngWriter;
} // namespace dramolex::charts

namespace dramolex::run {
class History;
class RunCore;
} // namespace dramolex::run

namespace dramolex::ui {

// The window of one run: start/pause, speed, chart view, round number and
// the chart itself. The run core does the work; this window only wires its
// controls to it and applies what the worker hands over.
class Form2 : public QDialog {
    Q_OBJECT
public:
    // numagents is truncated to the number of agents; ispercentcap and alpha
    // are accepted and unused. The seed is the clock's seconds.
    Form2(double numagents, int32_t barcap, bool ispercentcap, int32_t avgage, int32_t alpha, int32_t grpsize,
          const QString& outputname, QWidget* parent = nullptr);
    ~Form2() override;

    void button2_Click();
    void ComboBox1_SelectedIndexChanged();
    // Stops the run; waits only for the worker to leave its current pass.
    void Form2_FormClosed();

    // The latest log or chart file problem, shown on a line above the picture.
    QString problem() const;

private:
    void InitializeComponent();
    void SetText(const QString& text);
    void showChart(int32_t selection, const run::History& history);
    void showProblem(const QString& message);
    void reportChartFailure(const QString& failure);

    QPushButton* button2 = nullptr;
    QLabel* label5 = nullptr;
    QLineEdit* textBox1 = nullptr;
    QLabel* label4 = nullptr;
    QLabel* label2 = nullptr;
    QLabel* label3 = nullptr;
    QScrollBar* hScrollBar1 = nullptr;
    QComboBox* comboBox1 = nullptr;
    QLabel* pictureBox2 = nullptr;
    QLabel* problemLabel = nullptr;

    // Destroyed after the run core (whose worker hands it images), before the
    // window itself (to which it reports failures).
    std::unique_ptr<charts::AsyncPngWriter> chartWriter_;
    std::unique_ptr<run::RunCore> core_;
    bool chartWriteReported_ = false;
    QString problem_;
    QPixmap background_;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace dramolex::ui
