#include "ui/error_indicator.h"

#include <QPainter>
#include <QPixmap>

namespace dramolex::ui {
namespace {

QPixmap warningSign()
{
    QPixmap sign(18, 18);
    sign.fill(Qt::transparent);
    QPainter p(&sign);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xD0, 0x20, 0x20));
    p.setPen(QPen(Qt::white, 1.5));
    p.drawEllipse(QRectF(1, 1, 16, 16));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.drawText(QRectF(1, 1, 16, 16), Qt::AlignCenter, QStringLiteral("!"));
    return sign;
}

} // namespace

ErrorIndicator::ErrorIndicator(QWidget* checkedBox, QWidget* parent) : QLabel(parent), checkedBox_(checkedBox)
{
    setPixmap(warningSign());
    setFixedSize(18, 18);
    hide();
}

void ErrorIndicator::setMessage(const QString& message)
{
    message_ = message;
    setToolTip(message);
    setAccessibleDescription(message);
    checkedBox_->setToolTip(message);
    checkedBox_->setAccessibleDescription(message);
    setVisible(!message.isEmpty());
}

} // namespace dramolex::ui
