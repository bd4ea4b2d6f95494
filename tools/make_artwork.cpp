// Paints the program's background picture and icon. Run by hand when the
// artwork changes: make_artwork <resources/images directory>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>

namespace {

// A night-blue field with a crowd of dots split between two venues: the
// game in one picture, darkened enough for white text to read over it.
QImage background()
{
    QImage image(900, 600, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 900, 600);
    sky.setColorAt(0.0, QColor(18, 32, 64));
    sky.setColorAt(1.0, QColor(40, 22, 58));
    p.fillRect(image.rect(), sky);

    QRandomGenerator dots(20261211);
    for (int i = 0; i < 900; ++i) {
        const bool left = dots.bounded(100) < 45;
        const double cx = left ? 250 : 650, cy = 320;
        const double r = 40 + dots.bounded(220.0);
        const double a = dots.bounded(6.2831853);
        const QPointF at(cx + r * std::cos(a) * 0.9, cy + r * std::sin(a) * 0.55);
        QColor c = left ? QColor(110, 170, 255) : QColor(255, 140, 110);
        c.setAlpha(40 + dots.bounded(60));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        const double size = 2 + dots.bounded(5.0);
        p.drawEllipse(at, size, size);
    }
    p.setPen(QPen(QColor(255, 255, 255, 28), 2));
    p.drawLine(QPointF(450, 60), QPointF(450, 560));
    return image;
}

// Two bars of different height: the smaller side wins.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(26, 44, 86));
    p.drawRoundedRect(QRectF(0, 0, size, size), 6 * s, 6 * s);
    p.setBrush(QColor(255, 140, 110));
    p.drawRect(QRectF(6 * s, 8 * s, 8 * s, 19 * s));
    p.setBrush(QColor(110, 220, 140));
    p.drawRect(QRectF(18 * s, 17 * s, 8 * s, 10 * s));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork DIRECTORY\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = background().save(dir.filePath("background.jpg"), "JPG", 88);
    ok = icon(32).save(dir.filePath("icon.png")) && ok;
    ok = icon(16).save(dir.filePath("icon16.png")) && ok;
    ok = icon(256).save(dir.filePath("icon256.png")) && ok;
    return ok ? 0 : 1;
}
