// Shows both windows on a real X display (Xvfb in scripts/screenshots.sh),
// fills in a run and grabs each window from the screen into DIR.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "ui/form1.h"
#include "ui/form2.h"

namespace {

void wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool grab(QWidget& window, const QString& path)
{
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    return !shot.isNull() && shot.save(path);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: take_screenshots DIRECTORY\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    dramolex::ui::Form1 form1;
    form1.show();
    auto set = [&](const char* name, const char* text) { form1.findChild<QLineEdit*>(name)->setText(text); };
    set("textBox1", "1001");
    set("textBox5", "40");
    form1.findChild<QCheckBox*>("checkBox3")->setChecked(true);
    form1.findChild<QCheckBox*>("checkBox1")->setChecked(true);
    set("textBox4", "4");
    set("textBox2", "50");
    set("textBox8", "run.log");
    wait(800);
    bool ok = grab(form1, out.filePath("form1.png"));

    dramolex::ui::Form2 form2(1001, 40, true, 50, -1, 4, QStringLiteral("run.log"), &form1);
    form2.show();
    form2.findChild<QComboBox*>("comboBox1")->setCurrentIndex(2);
    form2.findChild<QPushButton*>("button2")->click();
    wait(4000);
    ok = grab(form2, out.filePath("form2.png")) && ok;
    form2.close();
    return ok ? 0 : 1;
}
