// Draws the agent's resource images (res/*.png). Run once by hand when the
// artwork changes; the PNGs are committed and compiled into the program.
//   g++ -std=c++17 -fPIC make_images.cpp $(pkg-config --cflags --libs Qt5Gui) -o make_images
//   QT_QPA_PLATFORM=offscreen ./make_images ../../res
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

static QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

static void drawBadge(QPainter& p, const QRectF& r)
{
    // A rounded page with a folded corner and an upward arrow: "reader upgrade".
    QPainterPath page;
    page.addRoundedRect(r, r.width() * 0.12, r.width() * 0.12);
    p.fillPath(page, QColor(196, 38, 46));
    const qreal s = r.width();
    QPainterPath arrow;
    arrow.moveTo(r.center().x(), r.top() + s * 0.18);
    arrow.lineTo(r.left() + s * 0.78, r.top() + s * 0.50);
    arrow.lineTo(r.left() + s * 0.60, r.top() + s * 0.50);
    arrow.lineTo(r.left() + s * 0.60, r.top() + s * 0.80);
    arrow.lineTo(r.left() + s * 0.40, r.top() + s * 0.80);
    arrow.lineTo(r.left() + s * 0.40, r.top() + s * 0.50);
    arrow.lineTo(r.left() + s * 0.22, r.top() + s * 0.50);
    arrow.closeSubpath();
    p.fillPath(arrow, Qt::white);
}

static QImage header(bool dark)
{
    QImage image = canvas(638, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBadge(p, QRectF(8, 8, 80, 80));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(40);
    font.setBold(true);
    p.setFont(font);
    p.setPen(dark ? QColor(222, 222, 222) : QColor(26, 26, 26));
    p.drawText(QRectF(108, 0, 530, 96), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Velto Updater"));
    return image;
}

static QImage mark(bool success, int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    if (success) {
        p.setBrush(QColor(46, 160, 67));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        QPen pen(Qt::white, s * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.drawPolyline(QPolygonF({QPointF(s * 0.27, s * 0.52), QPointF(s * 0.44, s * 0.69), QPointF(s * 0.74, s * 0.34)}));
    } else {
        QPainterPath tri;
        tri.moveTo(s / 2, 1);
        tri.lineTo(s - 1, s - 2);
        tri.lineTo(1, s - 2);
        tri.closeSubpath();
        p.fillPath(tri, QColor(230, 162, 0));
        p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s / 2, s * 0.35), QPointF(s / 2, s * 0.62));
        p.drawPoint(QPointF(s / 2, s * 0.78));
    }
    return image;
}

static QImage component(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 110, 200));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 6, size - 4, size - 8), 4, 4);
    p.setBrush(QColor(90, 160, 240));
    p.drawRoundedRect(QRectF(6, 2, size - 12, 8), 2, 2);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(size / 2.0, 13), QPointF(size / 2.0, size - 7));
    p.drawLine(QPointF(size / 2.0 - 6, size - 13), QPointF(size / 2.0, size - 7));
    p.drawLine(QPointF(size / 2.0 + 6, size - 13), QPointF(size / 2.0, size - 7));
    return image;
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QImage icon = canvas(128, 128);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        drawBadge(p, QRectF(4, 4, 120, 120));
    }
    bool ok = icon.save(out + "/VeltoReaderUpgrade-128x128.png")
        && header(false).save(out + "/about-title@2x.png")
        && header(true).save(out + "/about-title-dark@2x.png")
        && mark(true, 32).save(out + "/popup_success.png")
        && mark(false, 32).save(out + "/popup_warning.png")
        && component(32).save(out + "/zaro_32.png");
    return ok ? 0 : 1;
}
