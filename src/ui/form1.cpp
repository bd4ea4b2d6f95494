#include "ui/form1.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <exception>
#include <memory>

#include "ui/error_indicator.h"
#include "ui/fonts.h"
#include "ui/form2.h"
#include "ui/help_window.h"
#include "ui/make_child.h"
#include "ui/resources.h"

namespace dramolex::ui {
namespace {

std::string text(const QLineEdit* box) { return box->text().toStdString(); }

void styleOverPicture(QWidget* w)
{
    w->setFont(fontOf(QStringLiteral("Microsoft Sans Serif"), 18));
    QPalette palette = w->palette();
    // The system's button-highlight colour: white in the default scheme.
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Light));
    w->setPalette(palette);
    w->setAttribute(Qt::WA_TranslucentBackground);
}

QString greyButtonStyle()
{
    return QStringLiteral("QPushButton { background-color: rgb(224, 224, 224); color: black;"
                          " border: 1px solid rgb(160, 160, 160); padding: 4px 14px; }"
                          "QPushButton:disabled { color: rgb(150, 150, 150); }");
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    loadResources();
    background_ = QPixmap(QStringLiteral(":/images/background.jpg"));
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("DRAMOLEX"));
    setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    installHelp(this);
    buildControls();
    launcher_ = [this](const SimulationRequest& request) { defaultLauncher(this, request); };
}

void Form1::buildControls()
{
    auto* grid = makeChild<QGridLayout>(this);
    grid->setContentsMargins(28, 24, 28, 24);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);

    auto box = [this](const char* name) {
        auto* edit = makeChild<QLineEdit>(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setFont(fontOf(QStringLiteral("Microsoft Sans Serif"), 12));
        edit->setAlignment(Qt::AlignCenter);
        edit->setMinimumWidth(220);
        edit->installEventFilter(this);
        return edit;
    };
    auto label = [this](const char* name, const char* caption) {
        auto* l = makeChild<QLabel>(this, QString::fromUtf8(caption));
        l->setObjectName(QString::fromLatin1(name));
        styleOverPicture(l);
        return l;
    };
    auto indicator = [this](const char* name, QLineEdit* checkedBox) {
        auto* i = makeChild<ErrorIndicator>(this, checkedBox);
        i->setObjectName(QString::fromLatin1(name));
        return i;
    };

    button1 = makeChild<QPushButton>(this, QStringLiteral("Simulate"));
    button1->setObjectName(QStringLiteral("button1"));
    button1->setFont(fontOf(QStringLiteral("Microsoft Sans Serif"), 24, true));
    button1->setStyleSheet(greyButtonStyle());

    label1 = label("label1", "Number of Agents:");
    textBox1 = box("textBox1");
    agentsError = indicator("agentsError", textBox1);

    radioButton1 = makeChild<QRadioButton>(this, QStringLiteral("Grouper Percent:"));
    radioButton1->setObjectName(QStringLiteral("radioButton1"));
    radioButton1->setChecked(true);
    // Alone among its siblings, an auto-exclusive option can be clicked off;
    // in an exclusive group of its own it stays selected whatever the user does.
    auto* grouperOption = makeChild<QButtonGroup>(this);
    grouperOption->setExclusive(true);
    grouperOption->addButton(radioButton1);
    styleOverPicture(radioButton1);
    textBox5 = box("textBox5");
    grouperError = indicator("grouperError", textBox5);

    checkBox1 = makeChild<QCheckBox>(this, QStringLiteral("Mortality"));
    checkBox1->setObjectName(QStringLiteral("checkBox1"));
    styleOverPicture(checkBox1);
    checkBox3 = makeChild<QCheckBox>(this, QStringLiteral("Herding"));
    checkBox3->setObjectName(QStringLiteral("checkBox3"));
    styleOverPicture(checkBox3);

    label3 = label("label3", "Number of Groups:");
    textBox4 = box("textBox4");
    textBox4->setEnabled(false);
    groupsError = indicator("groupsError", textBox4);

    label5 = label("label5", "Average Life Span:");
    textBox2 = box("textBox2");
    textBox2->setEnabled(false);
    lifeSpanError = indicator("lifeSpanError", textBox2);

    label6 = label("label6", "Output File Name:");
    textBox8 = box("textBox8");
    textBox8->removeEventFilter(this);  // taken as typed, never checked

    button2 = makeChild<QPushButton>(this, QStringLiteral("Clear"));
    button2->setObjectName(QStringLiteral("button2"));
    button2->setFont(fontOf(QStringLiteral("Microsoft Sans Serif"), 9, true));
    button2->setStyleSheet(greyButtonStyle());

    grid->addWidget(label1, 0, 0);
    grid->addWidget(textBox1, 0, 1);
    grid->addWidget(agentsError, 0, 2);
    grid->addWidget(radioButton1, 1, 0);
    grid->addWidget(textBox5, 1, 1);
    grid->addWidget(grouperError, 1, 2);
    auto ticks = std::make_unique<QHBoxLayout>();
    ticks->addWidget(checkBox1);
    ticks->addSpacing(30);
    ticks->addWidget(checkBox3);
    ticks->addStretch();
    grid->addLayout(ticks.release(), 2, 0, 1, 3);  // the grid owns it
    grid->addWidget(label3, 3, 0);
    grid->addWidget(textBox4, 3, 1);
    grid->addWidget(groupsError, 3, 2);
    grid->addWidget(label5, 4, 0);
    grid->addWidget(textBox2, 4, 1);
    grid->addWidget(lifeSpanError, 4, 2);
    grid->addWidget(label6, 5, 0);
    grid->addWidget(textBox8, 5, 1);
    auto buttons = std::make_unique<QHBoxLayout>();
    buttons->addWidget(button1);
    buttons->addStretch();
    buttons->addWidget(button2, 0, Qt::AlignBottom);
    grid->addLayout(buttons.release(), 6, 0, 1, 3);
    grid->setColumnMinimumWidth(2, 18);

    setTabOrder(button1, textBox1);
    setTabOrder(textBox1, radioButton1);
    setTabOrder(radioButton1, textBox5);
    setTabOrder(textBox5, checkBox1);
    setTabOrder(checkBox1, checkBox3);
    setTabOrder(checkBox3, textBox4);
    setTabOrder(textBox4, textBox2);
    setTabOrder(textBox2, textBox8);
    setTabOrder(textBox8, button2);

    connect(checkBox3, &QCheckBox::toggled, this, [this] { checkBox3_CheckedChanged_1(); });
    connect(checkBox1, &QCheckBox::toggled, this, [this] { checkBox1_CheckedChanged_1(); });
    connect(button1, &QPushButton::clicked, this, [this] { button1_Click(); });
    connect(button2, &QPushButton::clicked, this, [this] { button2_Click(); });

    setFixedSize(sizeHint());
    button1->setFocus();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Leaving a box runs its check; switching to another window does not.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == textBox1) textBox1_Validating();
            if (watched == textBox5) textBox5_Validating();
            if (watched == textBox4) textBox4_Validating();
            if (watched == textBox2) textBox2_Validating();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), background_);
    QWidget::paintEvent(event);
}

void Form1::disableSimulate(QWidget* failedBox)
{
    // A disabled button hands its focus to the next control in the tab
    // order, the agents box, selecting its text. The box that failed takes
    // it instead, without a selection that typing would overwrite.
    if (button1->hasFocus() && failedBox != nullptr) failedBox->setFocus(Qt::OtherFocusReason);
    button1->setEnabled(false);
}

bool Form1::apply(const CheckResult& result, ErrorIndicator* indicator, int32_t& mark)
{
    if (!result.passed && result.unreadable) {
        indicator->setMessage(QString::fromStdString(result.message));
        disableSimulate(indicator->checkedBox());
        mark = 1;
        return false;
    }
    indicator->clear();
    mark = 0;
    if (!result.passed) {
        indicator->setMessage(QString::fromStdString(result.message));
        disableSimulate(indicator->checkedBox());
        mark = 1;
        return false;
    }
    if (aa == 0 && cc == 0 && ee == 0 && gg == 0) button1->setEnabled(true);
    return true;
}

void Form1::textBox1_Validating() { apply(checkAgents(text(textBox1)), agentsError, aa); }
void Form1::textBox5_Validating() { apply(checkGrouperPercent(text(textBox5)), grouperError, cc); }
void Form1::textBox4_Validating() { apply(checkGroups(text(textBox1), text(textBox4)), groupsError, ee); }
void Form1::textBox2_Validating() { apply(checkLifeSpan(text(textBox2)), lifeSpanError, gg); }

void Form1::checkBox3_CheckedChanged_1()
{
    textBox4->setEnabled(checkBox3->isChecked());
    if (!checkBox3->isChecked()) {
        groupsError->clear();
        ee = 0;
    }
}

void Form1::checkBox1_CheckedChanged_1()
{
    textBox2->setEnabled(checkBox1->isChecked());
    if (!checkBox1->isChecked()) {
        lifeSpanError->clear();
        gg = 0;
    }
}

void Form1::button1_Click()
{
    // No run may start from a value that has not passed its check: check
    // every box that is in use first. An empty grouper percentage is not an
    // error here; it means no groupers.
    bool valid = apply(checkAgents(text(textBox1)), agentsError, aa);
    if (!textBox5->text().isEmpty()) valid = apply(checkGrouperPercent(text(textBox5)), grouperError, cc) && valid;
    if (checkBox3->isChecked()) valid = apply(checkGroups(text(textBox1), text(textBox4)), groupsError, ee) && valid;
    if (checkBox1->isChecked()) valid = apply(checkLifeSpan(text(textBox2)), lifeSpanError, gg) && valid;
    if (!valid) {
        disableSimulate(nullptr);
        return;
    }

    request_.numagents = static_cast<double>(*readInteger(text(textBox1)));
    request_.alpha = -1;
    request_.grpsize = checkBox3->isChecked() ? *readInteger(text(textBox4)) : 1;
    request_.avgage = checkBox1->isChecked() ? *readInteger(text(textBox2)) : -1;
    if (!radioButton1->isChecked()) return;
    request_.barcap = textBox5->text().isEmpty() ? 0 : *readInteger(text(textBox5));
    request_.ispercentcap = true;
    request_.outputname = textBox8->text();
    launcher_(request_);
}

void Form1::button2_Click()
{
    button1->setEnabled(true);
    for (QLineEdit* b : {textBox1, textBox2, textBox4, textBox5, textBox8}) b->clear();
}

void Form1::defaultLauncher(QWidget* parent, const SimulationRequest& r)
{
    std::unique_ptr<Form2> form2;
    try {
        form2 = std::make_unique<Form2>(r.numagents, r.barcap, r.ispercentcap, r.avgage, r.alpha, r.grpsize,
                                        r.outputname, parent);
    } catch (const std::exception& e) {
        QMessageBox::critical(parent, QStringLiteral("DRAMOLEX"),
                              QStringLiteral("The simulation window could not be opened: %1").arg(QString::fromLocal8Bit(e.what())));
        return;
    }
    form2->exec();
}

} // namespace dramolex::ui
