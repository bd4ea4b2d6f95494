#pragma once

#include <QLabel>

namespace dramolex::ui {

// Shows a message beside a box: a steady (never blinking) warning sign with
// the message as its tooltip; hidden while there is no message.
class ErrorIndicator : public QLabel {
    Q_OBJECT
public:
    explicit ErrorIndicator(QWidget* parent);
    void setMessage(const QString& message);
    void clear() { setMessage(QString()); }
    QString message() const { return message_; }

private:
    QString message_;
};

} // namespace dramolex::ui
