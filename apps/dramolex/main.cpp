#include <QApplication>

#include "ui/form1.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    dramolex::ui::Form1 form1;
    form1.show();
    app.exec();
    return 0;
}
