#include "ui/form2.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <ctime>

#include "charts/chart_views.h"
#include "charts/png_writer.h"
#include "run/run_core.h"
#include "run/series.h"
#include "ui/fonts.h"
#include "ui/help_window.h"
#include "ui/make_child.h"
#include "ui/resources.h"

namespace dramolex::ui {
namespace {

constexpr int clientWidth = 510;
constexpr int clientHeight = 639;

void styleOverPicture(QLabel* label, const QFont& font)
{
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Light));
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->adjustSize();
}

} // namespace

Form2::Form2(double numagents, int32_t barcap, bool /*ispercentcap*/, int32_t avgage, int32_t /*alpha*/,
             int32_t grpsize, const QString& outputname, QWidget* parent)
    : QDialog(parent)
{
    loadResources();
    background_ = QPixmap(QStringLiteral(":/images/background.jpg"));
    run::RunParameters parameters;
    parameters.numAgents = static_cast<int32_t>(numagents);
    parameters.grouperPercent = barcap;
    parameters.avgAge = avgage;
    parameters.numGroups = grpsize;
    parameters.seed = static_cast<uint32_t>(std::time(nullptr));
    const std::string problem = run::rangeError(parameters);
    if (!problem.empty()) throw std::invalid_argument(problem);

    run::RunWindow window;
    // Queued to this window's thread; Qt drops calls whose window is gone.
    window.post = [this](std::function<void()> task) { QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection); };
    window.showRoundNumber = [this](const std::string& text) { SetText(QString::fromStdString(text)); };
    window.showChart = [this](int32_t selection, const run::History& history) { showChart(selection, history); };
    window.showProblem = [this](const std::string& message) { showProblem(QString::fromLocal8Bit(message.c_str())); };
    core_ = std::make_unique<run::RunCore>(parameters, QFile::encodeName(outputname).toStdString(), std::move(window));

    InitializeComponent();
    connect(this, &QDialog::finished, this, [this] { Form2_FormClosed(); });
}

Form2::~Form2()
{
    Form2_FormClosed();
}

void Form2::InitializeComponent()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("DRAMOLEX"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    installHelp(this);
    setFixedSize(clientWidth, clientHeight);

    button2 = makeChild<QPushButton>(this, QString::fromLatin1(run::RunCore::startCaption));
    button2->setObjectName(QStringLiteral("button2"));
    button2->setFont(fontOf(QStringLiteral("SimHei"), 14.25, true));
    button2->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(224, 224, 224); color: black;"
                                          " border: 1px solid rgb(160, 160, 160); }"));
    button2->setGeometry(15, 10, 203, 39);

    textBox1 = makeChild<QLineEdit>(this);
    textBox1->setObjectName(QStringLiteral("textBox1"));
    textBox1->setFont(fontOf(QStringLiteral("Microsoft Sans Serif"), 12));
    textBox1->setEnabled(false);
    textBox1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    textBox1->setGeometry(clientWidth - 15 - 100, 16, 100, 26);

    label5 = makeChild<QLabel>(this, QStringLiteral("Round #:"));
    label5->setObjectName(QStringLiteral("label5"));
    styleOverPicture(label5, fontOf(QStringLiteral("Microsoft YaHei"), 18));
    label5->move(textBox1->x() - label5->width() - 6, 29 - label5->height() / 2);

    const int barTop = 100;
    label4 = makeChild<QLabel>(this, QStringLiteral("Slower"));
    label4->setObjectName(QStringLiteral("label4"));
    styleOverPicture(label4, fontOf(QStringLiteral("Microsoft YaHei"), 10.5));
    label2 = makeChild<QLabel>(this, QStringLiteral("Speed Per Round"));
    label2->setObjectName(QStringLiteral("label2"));
    styleOverPicture(label2, fontOf(QStringLiteral("Microsoft YaHei"), 12, true));
    label3 = makeChild<QLabel>(this, QStringLiteral("Faster"));
    label3->setObjectName(QStringLiteral("label3"));
    styleOverPicture(label3, fontOf(QStringLiteral("Microsoft YaHei"), 10.5));
    label4->move(15, barTop - 4 - label4->height());
    label2->move((clientWidth - label2->width()) / 2, barTop - 4 - label2->height());
    label3->move(clientWidth - 15 - label3->width(), barTop - 4 - label3->height());

    hScrollBar1 = makeChild<QScrollBar>(this, Qt::Horizontal);
    hScrollBar1->setObjectName(QStringLiteral("hScrollBar1"));
    // Qt's maximum is the highest reachable position; a bar of 0 to 100 with
    // a large change of 10 reaches 91.
    hScrollBar1->setRange(0, run::RunCore::fastestSpeed);
    hScrollBar1->setSingleStep(1);
    hScrollBar1->setPageStep(10);
    hScrollBar1->setValue(run::RunCore::fastestSpeed);
    hScrollBar1->setGeometry(15, barTop, 480, 32);

    comboBox1 = makeChild<QComboBox>(this);
    comboBox1->setObjectName(QStringLiteral("comboBox1"));
    comboBox1->setFont(fontOf(QStringLiteral("Georgia"), 9));
    comboBox1->setEditable(false);
    comboBox1->addItem(QString::fromUtf8(run::noViewEntry.data(), static_cast<qsizetype>(run::noViewEntry.size())));
    for (const run::Series& series : run::allSeries()) {
        comboBox1->addItem(QString::fromUtf8(series.selectorEntry.data(), static_cast<qsizetype>(series.selectorEntry.size())));
    }
    comboBox1->setCurrentIndex(-1);
    comboBox1->setGeometry(15, barTop + 32 + 8, 480, comboBox1->sizeHint().height());

    pictureBox2 = makeChild<QLabel>(this);
    pictureBox2->setObjectName(QStringLiteral("pictureBox2"));
    pictureBox2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureBox2->setScaledContents(false);
    pictureBox2->setFocusPolicy(Qt::NoFocus);
    pictureBox2->setGeometry(15, comboBox1->geometry().bottom() + 6, 480, 466);

    problemLabel = makeChild<QLabel>(this);
    problemLabel->setObjectName(QStringLiteral("problemLabel"));
    problemLabel->setStyleSheet(QStringLiteral("QLabel { background-color: rgb(255, 240, 200); color: rgb(120, 40, 0);"
                                               " padding: 2px 6px; }"));
    problemLabel->setWordWrap(true);
    problemLabel->setGeometry(15, clientHeight - 40, 480, 36);
    problemLabel->hide();

    setTabOrder(hScrollBar1, comboBox1);
    setTabOrder(comboBox1, button2);
    hScrollBar1->setFocus();

    connect(button2, &QPushButton::clicked, this, [this] { button2_Click(); });
    connect(comboBox1, &QComboBox::currentIndexChanged, this, [this] { ComboBox1_SelectedIndexChanged(); });
    connect(hScrollBar1, &QScrollBar::valueChanged, this, [this](int position) { core_->setSpeed(position); });
}

void Form2::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), background_);
    QDialog::paintEvent(event);
}

void Form2::button2_Click()
{
    if (!core_) return;
    core_->ComboBox1_SelectedIndexChanged(comboBox1->currentIndex());
    button2->setText(QString::fromStdString(core_->button2_Click(button2->text().toStdString())));
}

void Form2::ComboBox1_SelectedIndexChanged()
{
    if (core_) core_->ComboBox1_SelectedIndexChanged(comboBox1->currentIndex());
}

void Form2::Form2_FormClosed()
{
    if (core_) core_->Form2_FormClosed();
}

void Form2::SetText(const QString& text)
{
    textBox1->setText(text);
}

void Form2::showChart(int32_t selection, const run::History& history)
{
    const charts::ChartView* view = charts::viewFor(selection);
    if (view == nullptr) return;
    const QImage image = charts::renderView(*view, history.ultimategraph());
    const QString failure = charts::writePng(image, QString::fromUtf8(view->fileName));
    if (!failure.isEmpty() && !chartWriteReported_) {
        chartWriteReported_ = true;
        showProblem(QStringLiteral("The chart image cannot be written: %1").arg(failure));
    }
    // The user may have chosen another view meanwhile; it shows from the next round.
    if (comboBox1->currentIndex() == selection) pictureBox2->setPixmap(QPixmap::fromImage(image));
}

void Form2::showProblem(const QString& message)
{
    problemLabel->setText(message);
    problemLabel->setToolTip(message);
    problemLabel->show();
}

QString Form2::problem() const
{
    return problemLabel->text();
}

} // namespace dramolex::ui
