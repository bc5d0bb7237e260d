#include "measure/plotter.h"

#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QStyleOption>
#include <QStylePainter>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

// The least margins; labels that need more room get it.
constexpr int kMarginLeft = 70;
constexpr int kMarginRight = 16;
constexpr int kMarginTop = 30;
constexpr int kMarginBottom = 40;
// Between the plot area and its labels.
constexpr int kYLabelGap = 8;
constexpr int kXLabelGap = 6;
// Points dropped at once when a curve exceeds its cap.
constexpr int kDropChunk = 60;
// Labels closer than this are thinned out; the grid keeps every tick.
constexpr int kMinXLabelSpacing = 80;
constexpr int kMinYLabelSpacing = 20;
// Half the size of a point drawn as a dot.
constexpr int kDotRadius = 2;
// Pixel coordinates are clamped so far-away points stay drawable.
constexpr double kPixelLimit = 1e6;
// Above this many points per pixel column a curve is drawn through each column's extremes.
constexpr int kPointsPerColumn = 4;

// Plot coordinates to pixels for one window and one plot area.
struct Mapping
{
    Mapping(const PlotSettings &settings, const QRect &rect)
        : minX(settings.minX), minY(settings.minY), left(rect.left()), bottom(rect.bottom())
    {
        const double spanX = settings.spanX() > 0 ? settings.spanX() : 1.0;
        const double spanY = settings.spanY() > 0 ? settings.spanY() : 1.0;
        scaleX = (rect.width() - 1) / spanX;
        scaleY = (rect.height() - 1) / spanY;
    }

    QPointF map(const QPointF &point) const
    {
        double x = left + (point.x() - minX) * scaleX;
        double y = bottom - (point.y() - minY) * scaleY;
        if (!std::isfinite(y))
            y = bottom;
        return QPointF(std::clamp(x, -kPixelLimit, kPixelLimit), std::clamp(y, -kPixelLimit, kPixelLimit));
    }

    double minX, minY, left, bottom, scaleX, scaleY;
};

// Every point when there are few; otherwise, per pixel column, the first, lowest, highest and
// last point, which draws the same picture from a fraction of the segments.
QPolygonF mappedPoints(const QPointF *begin, const QPointF *end, const Mapping &mapping, int columns)
{
    QPolygonF polygon;
    if (end - begin <= qsizetype(kPointsPerColumn) * columns) {
        polygon.reserve(end - begin);
        for (const QPointF *point = begin; point != end; ++point)
            polygon.append(mapping.map(*point));
        return polygon;
    }
    polygon.reserve(qsizetype(columns) * 4 * 2);
    double column = std::numeric_limits<double>::quiet_NaN();
    QPointF first, last;
    double low = 0, high = 0;
    auto flush = [&]() {
        if (std::isnan(column))
            return;
        polygon << first << QPointF(first.x(), low) << QPointF(first.x(), high) << last;
    };
    for (const QPointF *point = begin; point != end; ++point) {
        const QPointF pixel = mapping.map(*point);
        const double pixelColumn = std::floor(pixel.x());
        if (pixelColumn != column) {
            flush();
            column = pixelColumn;
            first = last = pixel;
            low = high = pixel.y();
        } else {
            last = pixel;
            low = std::min(low, pixel.y());
            high = std::max(high, pixel.y());
        }
    }
    flush();
    return polygon;
}

} // namespace

Plotter::Plotter(QWidget *parent)
    : QWidget(parent)
    , m_zoomInButton(new QToolButton(this))
    , m_zoomOutButton(new QToolButton(this))
    , m_modeButton(new QToolButton(this))
    , m_margins(kMarginLeft, kMarginTop, kMarginRight, kMarginBottom)
{
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    m_zoomInButton->setText(QStringLiteral("+"));
    m_zoomOutButton->setText(QString(QChar(0x2212)));
    m_modeButton->setIconSize(QSize(16, 16));
    for (QToolButton *button : {m_zoomInButton, m_zoomOutButton, m_modeButton}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(26, 22);
    }
    connect(m_zoomInButton, &QToolButton::clicked, this, &Plotter::zoomIn);
    connect(m_zoomOutButton, &QToolButton::clicked, this, &Plotter::zoomOut);
    connect(m_modeButton, &QToolButton::clicked, this, [this]() { setDrawMode(!m_lines); });

    retranslate();
    updateZoomButtons();
    updateModeButton();
    updateMargins();
}

void Plotter::setPlotSettings(const PlotSettings &settings)
{
    m_zoomStack = {settings};
    m_curZoom = 0;
    updateZoomButtons();
    invalidate();
    emit zoomChanged();
}

void Plotter::setCurZoomPlotSettings(const PlotSettings &settings)
{
    m_zoomStack[m_curZoom] = settings;
    invalidate();
    emit zoomChanged();
}

PlotSettings Plotter::curZoomPlotSettings() const
{
    return m_zoomStack.at(m_curZoom);
}

bool Plotter::addpendCurveData(int id, const QPointF &point)
{
    QVector<QPointF> &curve = m_curves[id];
    bool dropped = false;
    if (m_maxPoints > 0 && curve.size() > m_maxPoints + kDropChunk) {
        const qsizetype excess = curve.size() - (m_maxPoints + kDropChunk);
        const qsizetype chunks = (excess + kDropChunk - 1) / kDropChunk;
        curve.remove(0, std::min(curve.size(), chunks * kDropChunk));
        dropped = true;
    }
    curve.append(point);

    if (dropped) {
        const double firstX = curve.first().x();
        PlotSettings current = curZoomPlotSettings();
        if (firstX > current.minX) {
            current.minX = firstX;
            current.adjustX();
            current.adjustY();
            setCurZoomPlotSettings(current);
            return true;
        }
        emit minXChanged(firstX);
    }

    if (isBreak(point))
        return false;   // nothing to draw; the next point starts a new line
    // A line's second point replaces the dot its first point was drawn as.
    if (curve.size() < 3 || (m_lines && isBreak(curve.at(curve.size() - 3))))
        invalidate();
    else
        drawAppended(curve, curveColor(id));
    return false;
}

void Plotter::breakCurve(int id, double x)
{
    const auto curve = m_curves.find(id);
    if (curve != m_curves.end())
        appendBreak(*curve, x);
}

void Plotter::appendBreak(QVector<QPointF> &data, double x)
{
    if (!data.isEmpty() && !isBreak(data.constLast()))
        data.append(QPointF(x, std::numeric_limits<double>::quiet_NaN()));
}

bool Plotter::isBreak(const QPointF &point)
{
    return std::isnan(point.y());
}

void Plotter::setCurveData(int id, const QVector<QPointF> &data)
{
    m_curves[id] = data;
    invalidate();
}

void Plotter::clearCurve(int id)
{
    m_curves.remove(id);
    invalidate();
}

void Plotter::setDrawMode(bool lines)
{
    m_lines = lines;
    updateModeButton();
    invalidate();
}

void Plotter::setUtcTime(bool utc)
{
    m_utc = utc;
    invalidate();
}

void Plotter::scroll(int dx, int dy)
{
    m_zoomStack[m_curZoom].scroll(dx, dy);
    invalidate();
    emit zoomChanged();
}

void Plotter::zoomIn()
{
    if (m_curZoom >= m_zoomStack.size() - 1)
        return;
    ++m_curZoom;
    updateZoomButtons();
    invalidate();
    emit zoomChanged();
}

void Plotter::zoomOut()
{
    if (m_curZoom <= 0)
        return;
    --m_curZoom;
    updateZoomButtons();
    invalidate();
    emit zoomChanged();
}

QString Plotter::blackWhiteFileName(const QString &fileName)
{
    const QString suffix = QStringLiteral(".png");
    const QString base = fileName.endsWith(suffix) ? fileName.chopped(suffix.size()) : fileName;
    return base + QStringLiteral("_bw.png");
}

bool Plotter::savePicture(const QString &fileName)
{
    if (!m_pixmapValid)
        refreshPixmap();
    const QImage image = m_pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const bool savedImage = image.save(fileName, "PNG");

    // Background white, everything drawn on it black: a copy that prints well.
    QImage copy = image;
    const QRgb background = palette().color(QPalette::Dark).rgba();
    for (int y = 0; y < copy.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            line[x] = line[x] == background ? 0xFFFFFFFF : 0xFF000000;
    }
    const bool savedCopy = copy.save(blackWhiteFileName(fileName), "png");
    return savedImage && savedCopy;
}

QColor Plotter::curveColor(int id)
{
    static const Qt::GlobalColor kColors[] = {Qt::red, Qt::green, Qt::blue, Qt::cyan,
                                              Qt::magenta, Qt::yellow, Qt::white, Qt::darkRed};
    const int count = int(sizeof(kColors) / sizeof(kColors[0]));
    return QColor(kColors[((id % count) + count) % count]);
}

QSize Plotter::minimumSizeHint() const
{
    return QSize(m_margins.left() + m_margins.right() + 100, m_margins.top() + m_margins.bottom() + 60);
}

QSize Plotter::sizeHint() const
{
    return QSize(m_margins.left() + m_margins.right() + 500, m_margins.top() + m_margins.bottom() + 300);
}

void Plotter::paintEvent(QPaintEvent *)
{
    if (!m_pixmapValid)
        refreshPixmap();
    QStylePainter painter(this);
    painter.drawPixmap(0, 0, m_pixmap);

    if (m_rubberBandShown) {
        painter.setPen(QPen(palette().color(QPalette::Light), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_rubberBand.normalized().adjusted(0, 0, -1, -1));
    }
    if (m_cursorShown)
        drawCursor(painter);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.backgroundColor = palette().color(QPalette::Dark);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

void Plotter::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidate();   // places the buttons too
}

void Plotter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && plotRect().contains(event->pos())) {
        m_rubberBandShown = true;
        m_rubberBand = QRect(event->pos(), event->pos());
        setCursor(Qt::CrossCursor);
        update();
    }
}

void Plotter::mouseMoveEvent(QMouseEvent *event)
{
    if (m_rubberBandShown)
        m_rubberBand.setBottomRight(event->pos());
    m_cursor = event->pos();
    m_cursorShown = plotRect().contains(m_cursor);
    update();
}

void Plotter::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_rubberBandShown)
        return;
    m_rubberBandShown = false;
    unsetCursor();
    update();

    const QRect rect = m_rubberBand.normalized();
    if (rect.width() < 4 || rect.height() < 4)
        return;
    PlotSettings zoomed = curZoomPlotSettings();
    const QPointF low = toValue(rect.bottomLeft());
    const QPointF high = toValue(rect.topRight());
    zoomed.minX = low.x();
    zoomed.maxX = high.x();
    zoomed.minY = low.y();
    zoomed.maxY = high.y();
    zoomed.adjust();
    m_zoomStack.resize(m_curZoom + 1);
    m_zoomStack.append(zoomed);
    zoomIn();
}

void Plotter::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    case Qt::Key_Left:
        scroll(-1, 0);
        break;
    case Qt::Key_Right:
        scroll(1, 0);
        break;
    case Qt::Key_Down:
        scroll(0, -1);
        break;
    case Qt::Key_Up:
        scroll(0, 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void Plotter::leaveEvent(QEvent *event)
{
    m_cursorShown = false;
    update();
    QWidget::leaveEvent(event);
}

void Plotter::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        invalidate();
    QWidget::changeEvent(event);
}

QRect Plotter::plotRect() const
{
    const QSize area = size().isEmpty() ? sizeHint() : size();
    return QRect(m_margins.left(), m_margins.top(), std::max(2, area.width() - m_margins.left() - m_margins.right()),
                 std::max(2, area.height() - m_margins.top() - m_margins.bottom()));
}

void Plotter::updateMargins()
{
    const QFontMetrics metrics(font());
    const PlotSettings settings = curZoomPlotSettings();
    int yWidth = 0;
    for (int i = 0; i <= std::max(1, settings.numYTicks); ++i)
        yWidth = std::max(yWidth, metrics.horizontalAdvance(yLabel(settings, i)));
    // The first and the last X label are centred on the plot area's edges.
    const QSize first = metrics.boundingRect(QRect(), Qt::AlignHCenter, xLabel(settings, settings.minX)).size();
    const QSize last = metrics.boundingRect(QRect(), Qt::AlignHCenter, xLabel(settings, settings.maxX)).size();
    m_margins = QMargins(std::max({kMarginLeft, yWidth + kYLabelGap + 2, first.width() / 2 + 2}), kMarginTop,
                         std::max(kMarginRight, last.width() / 2 + 2),
                         std::max({kMarginBottom, first.height() + kXLabelGap + 2, last.height() + kXLabelGap + 2}));
    placeButtons();
}

QString Plotter::xLabel(const PlotSettings &settings, double time) const
{
    return settings.stepX() >= 86400.0 ? timeText(time, QStringLiteral("dd.MM.yyyy"))
                                       : timeText(time, QStringLiteral("hh:mm:ss\ndd.MM.yy"));
}

QString Plotter::yLabel(const PlotSettings &settings, int tick) const
{
    const double value = settings.minY + tick * settings.stepY();
    return QString::number(std::abs(value) < settings.stepY() * 1e-9 ? 0.0 : value, 'g', 6);
}

void Plotter::retranslate()
{
    m_zoomInButton->setToolTip(tr("Zoom in"));
    m_zoomOutButton->setToolTip(tr("Zoom out"));
    m_modeButton->setToolTip(tr("Curves as lines or points"));
}

void Plotter::placeButtons()
{
    int x = width() - m_margins.right() - m_modeButton->width();
    m_modeButton->move(x, 4);
    x -= m_zoomOutButton->width() + 4;
    m_zoomOutButton->move(x, 4);
    x -= m_zoomInButton->width() + 4;
    m_zoomInButton->move(x, 4);
}

void Plotter::updateZoomButtons()
{
    const bool zoomed = m_zoomStack.size() > 1;
    m_zoomInButton->setVisible(zoomed);
    m_zoomOutButton->setVisible(zoomed);
    m_zoomInButton->setEnabled(m_curZoom < m_zoomStack.size() - 1);
    m_zoomOutButton->setEnabled(m_curZoom > 0);
}

void Plotter::updateModeButton()
{
    // Through QPixmap, whose loading goes through the pixmap cache: every plot shares the two
    // images instead of reading and converting its own.
    const QString image = m_lines ? QStringLiteral(":/images/line.png") : QStringLiteral(":/images/point.png");
    m_modeButton->setIcon(QIcon(QPixmap(image)));
}

void Plotter::invalidate()
{
    updateMargins();
    m_pixmapValid = false;
    update();
}

void Plotter::refreshPixmap()
{
    const QSize area = size().isEmpty() ? sizeHint() : size();
    const qreal ratio = devicePixelRatioF();
    m_pixmap = QPixmap(area * ratio);
    m_pixmap.setDevicePixelRatio(ratio);
    m_pixmap.fill(palette().color(QPalette::Dark));

    QPainter painter(&m_pixmap);
    painter.setFont(font());
    drawGrid(painter);
    for (auto it = m_curves.cbegin(); it != m_curves.cend(); ++it)
        drawCurve(painter, it.value(), curveColor(it.key()));
    m_pixmapValid = true;
}

void Plotter::drawGrid(QPainter &painter) const
{
    const QRect rect = plotRect();
    const PlotSettings settings = curZoomPlotSettings();
    const QColor light = palette().color(QPalette::Light);
    const QPen gridPen(light.darker(125), 0, Qt::DotLine);
    const QPen tickPen(light);
    const int xTicks = std::max(1, settings.numXTicks);
    const int yTicks = std::max(1, settings.numYTicks);

    const int ySpacing = std::max(kMinYLabelSpacing, painter.fontMetrics().height() + 2);
    const int yLabelEvery = std::max(1, int(std::ceil(ySpacing * yTicks / double(rect.height()))));
    for (int i = 0; i <= yTicks; ++i) {
        const int y = rect.bottom() - (i * (rect.height() - 1) / yTicks);
        painter.setPen(gridPen);
        painter.drawLine(rect.left(), y, rect.right(), y);
        painter.setPen(tickPen);
        painter.drawLine(rect.left() - 5, y, rect.left(), y);
        if (i % yLabelEvery == 0)
            painter.drawText(0, y - 20, rect.left() - kYLabelGap, 40,
                             Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, yLabel(settings, i));
    }
    for (int i = 0; i <= xTicks; ++i) {
        const int x = rect.left() + (i * (rect.width() - 1) / xTicks);
        painter.setPen(gridPen);
        painter.drawLine(x, rect.top(), x, rect.bottom());
        painter.setPen(tickPen);
        painter.drawLine(x, rect.bottom(), x, rect.bottom() + 5);
    }
    drawXLabels(painter, settings, rect);
    painter.setPen(tickPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void Plotter::drawXLabels(QPainter &painter, const PlotSettings &settings, const QRect &rect) const
{
    const int ticks = std::max(1, settings.numXTicks);
    const QString widest = xLabel(settings, settings.maxX);
    const int spacing = std::max(kMinXLabelSpacing, painter.fontMetrics().boundingRect(QRect(), 0, widest).width() + 12);
    const int every = std::max(1, int(std::ceil(spacing * ticks / double(rect.width()))));
    for (int i = 0; i <= ticks; i += every) {
        const int x = rect.left() + (i * (rect.width() - 1) / ticks);
        const QString text = xLabel(settings, settings.minX + i * settings.stepX());
        painter.drawText(x - spacing, rect.bottom() + kXLabelGap, 2 * spacing, m_margins.bottom() - kXLabelGap,
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, text);
    }
}

void Plotter::drawCurve(QPainter &painter, const QVector<QPointF> &data, const QColor &color) const
{
    const QRect rect = plotRect();
    const Mapping mapping(curZoomPlotSettings(), rect);
    // One line for each run of points between breaks.
    const QPointF *const end = data.constData() + data.size();
    const QPointF *begin = data.constData();
    while (begin != end) {
        const QPointF *runEnd = std::find_if(begin, end, &Plotter::isBreak);
        if (runEnd != begin)
            drawLine(painter, mappedPoints(begin, runEnd, mapping, rect.width()), color, rect);
        begin = runEnd == end ? end : runEnd + 1;
    }
}

void Plotter::drawLine(QPainter &painter, const QPolygonF &polygon, const QColor &color, const QRect &rect) const
{
    painter.setRenderHint(QPainter::Antialiasing, polygon.size() < 2000);
    if (m_lines && polygon.size() > 1) {
        painter.setClipRect(rect.adjusted(1, 1, -1, -1));
        painter.setPen(QPen(color, 1));
        painter.drawPolyline(polygon);
        return;
    }
    // A dot on the edge of the area is drawn whole, one outside it not at all.
    const QRectF area(rect);
    QPolygonF inside;
    std::copy_if(polygon.cbegin(), polygon.cend(), std::back_inserter(inside),
                 [&area](const QPointF &point) { return area.contains(point); });
    painter.setClipRect(rect.adjusted(-kDotRadius, -kDotRadius, kDotRadius, kDotRadius));
    painter.setPen(QPen(color, 2 * kDotRadius - 1));
    painter.drawPoints(inside);
}

void Plotter::drawAppended(const QVector<QPointF> &data, const QColor &color)
{
    if (!m_pixmapValid) {
        update();
        return;
    }
    const QRect rect = plotRect();
    const Mapping mapping(curZoomPlotSettings(), rect);
    const QPointF last = mapping.map(data.last());
    const QPointF &before = data.at(data.size() - 2);

    QPainter painter(&m_pixmap);
    QRectF dirty;
    // After a break the point stands alone, a dot until its line goes on.
    if (m_lines && !isBreak(before)) {
        const QPointF previous = mapping.map(before);
        drawLine(painter, QPolygonF{previous, last}, color, rect);
        dirty = QRectF(previous, last).normalized();
    } else {
        drawLine(painter, QPolygonF{last}, color, rect);
        dirty = QRectF(last, last);
    }
    const QMargins reach(kDotRadius + 1, kDotRadius + 1, kDotRadius + 1, kDotRadius + 1);
    update((dirty.toAlignedRect() + reach).intersected(rect + reach));
}

void Plotter::drawCursor(QPainter &painter) const
{
    const QPointF value = toValue(m_cursor);
    const QString text = timeText(value.x(), QStringLiteral("dd.MM.yyyy hh:mm:ss")) + QStringLiteral("   ")
                         + QString::number(value.y(), 'g', 6);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(QRect(m_margins.left(), 4, width() / 2, kMarginTop - 8), Qt::AlignLeft | Qt::AlignVCenter, text);
}

QPointF Plotter::toValue(const QPoint &pixel) const
{
    const QRect rect = plotRect();
    const PlotSettings settings = curZoomPlotSettings();
    const double x = settings.minX + (pixel.x() - rect.left()) * settings.spanX() / std::max(1, rect.width() - 1);
    const double y = settings.minY + (rect.bottom() - pixel.y()) * settings.spanY() / std::max(1, rect.height() - 1);
    return QPointF(x, y);
}

QString Plotter::timeText(double x, const QString &format) const
{
    const qint64 seconds = qint64(std::floor(x));
    return QDateTime::fromSecsSinceEpoch(seconds, m_utc ? Qt::UTC : Qt::LocalTime).toString(format);
}
