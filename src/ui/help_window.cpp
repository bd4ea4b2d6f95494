#include "ui/help_window.h"

#include <QDialog>
#include <QEvent>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <memory>

#include "ui/make_child.h"

namespace dramolex::ui {
namespace {

// The caption's help button enters "what's this" mode; this program has one
// manual, so the button opens it instead.
class HelpButtonFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnterWhatsThisMode) {
            QWhatsThis::leaveWhatsThisMode();
            showHelp(qobject_cast<QWidget*>(watched));
            return true;
        }
        return false;
    }
};

} // namespace

void showHelp(QWidget* parent)
{
    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("helpWindow"));
    dialog->setWindowTitle(QStringLiteral("DRAMOLEX Help"));
    dialog->resize(640, 720);
    auto* layout = makeChild<QVBoxLayout>(dialog.get());
    auto* browser = makeChild<QTextBrowser>(dialog.get());
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenExternalLinks(false);
    browser->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    layout->addWidget(browser);
    dialog.release()->show();  // deletes itself when closed
}

void installHelp(QWidget* window)
{
    window->setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    auto* f1 = makeChild<QShortcut>(window, QKeySequence::HelpContents);
    QObject::connect(f1, &QShortcut::activated, window, [window] { showHelp(window); });
    window->installEventFilter(makeChild<HelpButtonFilter>(window));
}

} // namespace dramolex::ui
