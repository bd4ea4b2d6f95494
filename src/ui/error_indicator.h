#pragma once

#include <QLabel>

namespace dramolex::ui {

// Shows a message beside a box: a steady (never blinking) warning sign with
// the message as its tooltip; hidden while there is no message. The box gets
// the message too, as its tooltip and accessible description, so that it can
// be read from the keyboard and by screen readers.
class ErrorIndicator : public QLabel {
    Q_OBJECT
public:
    ErrorIndicator(QWidget* checkedBox, QWidget* parent);
    QWidget* checkedBox() const { return checkedBox_; }
    void setMessage(const QString& message);
    void clear() { setMessage(QString()); }
    QString message() const { return message_; }

private:
    QWidget* checkedBox_;
    QString message_;
};

} // namespace dramolex::ui
