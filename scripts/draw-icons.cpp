// Draws the window icon and the tool-bar pictograms into resources/. Run through scripts/draw-icons;
// the images are committed, so the build never needs this program.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <functional>

namespace {

using Draw = std::function<void(QPainter &)>;

QImage paint(int size, const Draw &draw)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 128.0, size / 128.0); // every pictogram is drawn on a 128-unit square
    draw(painter);
    return image;
}

QPen outline(const QColor &colour, qreal width = 6)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p)
{
    QPainterPath sheet;
    sheet.moveTo(28, 10);
    sheet.lineTo(78, 10);
    sheet.lineTo(100, 32);
    sheet.lineTo(100, 118);
    sheet.lineTo(28, 118);
    sheet.closeSubpath();
    p.setPen(outline(QColor(70, 80, 95)));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(215, 222, 232));
    p.drawPolygon(QPolygonF({QPointF(78, 10), QPointF(78, 32), QPointF(100, 32)}));
}

void folder(QPainter &p)
{
    p.setPen(outline(QColor(150, 105, 20)));
    p.setBrush(QColor(240, 190, 70));
    p.drawPolygon(QPolygonF({QPointF(8, 28), QPointF(46, 28), QPointF(56, 40), QPointF(112, 40),
                             QPointF(112, 108), QPointF(8, 108)}));
    p.setBrush(QColor(252, 215, 110));
    p.drawPolygon(QPolygonF({QPointF(8, 108), QPointF(24, 58), QPointF(124, 58), QPointF(112, 108)}));
}

void floppy(QPainter &p, qreal shrink = 0)
{
    const qreal right = 116 - shrink;
    const qreal bottom = 116 - shrink;
    p.setPen(outline(QColor(30, 55, 100)));
    p.setBrush(QColor(60, 110, 190));
    p.drawPolygon(QPolygonF({QPointF(12, 12), QPointF(right - 16, 12), QPointF(right, 28), QPointF(right, bottom),
                             QPointF(12, bottom)}));
    p.setBrush(QColor(230, 235, 240));
    p.drawRect(QRectF(30, 12, right - 62, 34));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(26, bottom - 44, right - 52, 44));
    p.setBrush(QColor(30, 55, 100));
    p.drawRect(QRectF(right - 50, 18, 10, 22));
}

void pencil(QPainter &p)
{
    p.save();
    p.translate(96, 96);
    p.rotate(45);
    p.setPen(outline(QColor(90, 50, 10), 4));
    p.setBrush(QColor(245, 170, 40));
    p.drawRect(QRectF(-9, -44, 18, 56));
    p.setBrush(QColor(250, 225, 180));
    p.drawPolygon(QPolygonF({QPointF(-9, 12), QPointF(9, 12), QPointF(0, 30)}));
    p.restore();
}

void magnifier(QPainter &p)
{
    p.setPen(QPen(QColor(60, 60, 70), 16, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(78, 78), QPointF(114, 114));
    p.setPen(outline(QColor(60, 60, 70), 10));
    p.setBrush(QColor(190, 225, 250));
    p.drawEllipse(QPointF(52, 52), 36, 36);
}

void sign(QPainter &p, const QColor &fill, bool plus)
{
    p.setPen(outline(fill.darker(150), 6));
    p.setBrush(fill);
    p.drawEllipse(QPointF(64, 64), 54, 54);
    p.setPen(QPen(Qt::white, 16, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(34, 64), QPointF(94, 64));
    if (plus)
        p.drawLine(QPointF(64, 34), QPointF(64, 94));
}

void gear(QPainter &p)
{
    QPainterPath teeth;
    const int count = 8;
    for (int i = 0; i < count * 2; ++i) {
        const qreal angle = (i * M_PI) / count;
        const qreal from = angle - M_PI / (count * 2.6);
        const qreal to = angle + M_PI / (count * 2.6);
        const qreal radius = (i % 2 == 0) ? 58 : 44;
        const QPointF a(64 + radius * qCos(from), 64 + radius * qSin(from));
        const QPointF b(64 + radius * qCos(to), 64 + radius * qSin(to));
        if (i == 0)
            teeth.moveTo(a);
        else
            teeth.lineTo(a);
        teeth.lineTo(b);
    }
    teeth.closeSubpath();
    teeth.addEllipse(QPointF(64, 64), 18, 18);
    teeth.setFillRule(Qt::OddEvenFill);
    p.setPen(outline(QColor(60, 65, 75), 5));
    p.setBrush(QColor(150, 158, 170));
    p.drawPath(teeth);
}

void clipboardCheck(QPainter &p)
{
    p.setPen(outline(QColor(90, 70, 40)));
    p.setBrush(QColor(200, 160, 100));
    p.drawRoundedRect(QRectF(18, 14, 92, 108), 8, 8);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(30, 30, 68, 80));
    p.setBrush(QColor(120, 125, 135));
    p.drawRoundedRect(QRectF(44, 6, 40, 18), 4, 4);
    p.setPen(QPen(QColor(30, 150, 50), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(42, 70), QPointF(58, 88), QPointF(88, 48)}));
}

void info(QPainter &p)
{
    p.setPen(outline(QColor(20, 60, 130), 6));
    p.setBrush(QColor(50, 120, 210));
    p.drawEllipse(QPointF(64, 64), 56, 56);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(64, 36), 9, 9);
    p.drawRoundedRect(QRectF(55, 54, 18, 46), 5, 5);
}

void windowMark(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(25, 85, 160));
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);
    p.setPen(QPen(Qt::white, 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(26, 98), QPointF(26, 32), QPointF(64, 78), QPointF(102, 32), QPointF(102, 98)}));
}

bool save(const QImage &image, const QString &path)
{
    QImageWriter writer(path);
    if (writer.write(image))
        return true;
    qWarning("%s: %s", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    QDir().mkpath(root + QStringLiteral("/images"));
    QDir().mkpath(root + QStringLiteral("/ico"));

    const QList<QPair<QString, Draw>> pictograms = {
        {QStringLiteral("ruby.new-128.png"), page},
        {QStringLiteral("ruby.open-128.png"), folder},
        {QStringLiteral("ruby.save-128.png"), [](QPainter &p) { floppy(p); }},
        {QStringLiteral("saveas-128.png"), [](QPainter &p) { floppy(p, 14); pencil(p); }},
        {QStringLiteral("find.png"), magnifier},
        {QStringLiteral("edit_add-256.png"), [](QPainter &p) { sign(p, QColor(40, 160, 60), true); }},
        {QStringLiteral("edit_remove-256.png"), [](QPainter &p) { sign(p, QColor(200, 50, 40), false); }},
        {QStringLiteral("configure-256.png"), gear},
        {QStringLiteral("icon_test.png"), clipboardCheck},
        {QStringLiteral("about-128.png"), info},
    };
    bool ok = true;
    for (const auto &pictogram : pictograms) {
        const int size = pictogram.first.contains(QLatin1String("256")) ? 256 : 128;
        ok = save(paint(size, pictogram.second), root + QStringLiteral("/images/") + pictogram.first) && ok;
    }
    // The window icon: one ICO file; Qt's writer keeps the largest image, which scales well.
    ok = save(paint(64, windowMark), root + QStringLiteral("/ico/morvell.ico")) && ok;
    return ok ? 0 : 1;
}
