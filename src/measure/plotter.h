#pragma once

#include "measure/plotsettings.h"

#include <QMap>
#include <QMargins>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QVector>
#include <QWidget>

class QToolButton;

// The trend plot: curves keyed by id over a time axis, with a zoom stack (rubber-band zoom with
// the mouse, zoom-in and zoom-out buttons), arrow-key scrolling and a lines/points switch.
// The plot is kept in an off-screen picture; an appended point is drawn into it alone.
//
// A point whose value is NaN is a break: nothing was measured there, and the points on either
// side of it are not joined. A point standing alone between breaks is drawn as a dot.
class Plotter : public QWidget
{
    Q_OBJECT

public:
    explicit Plotter(QWidget *parent = nullptr);

    // The only zoom level from now on; hides the zoom buttons.
    void setPlotSettings(const PlotSettings &settings);
    // Replaces the current zoom level; the depth of the zoom stack stays.
    void setCurZoomPlotSettings(const PlotSettings &settings);
    PlotSettings curZoomPlotSettings() const;

    // Appends a point, dropping the oldest points 60 at a time beyond the point cap. True when
    // the drop moved the window's left edge to the curve's new first point.
    bool addpendCurveData(int id, const QPointF &point);
    // Breaks the curve at x; the next point starts a new line. Nothing for a curve without
    // points or one that ends in a break already.
    void breakCurve(int id, double x);
    static void appendBreak(QVector<QPointF> &data, double x);
    static bool isBreak(const QPointF &point);
    void setCurveData(int id, const QVector<QPointF> &data);
    void clearCurve(int id);
    int curveCount() const { return int(m_curves.size()); }
    QVector<QPointF> curveData(int id) const { return m_curves.value(id); }

    // Lines when true, points when false.
    void setDrawMode(bool lines);
    bool drawMode() const { return m_lines; }
    // Axis and cursor times in UTC (true) or local time.
    void setUtcTime(bool utc);
    bool utcTime() const { return m_utc; }
    // Points kept per curve beyond which the oldest are dropped; 0 keeps all.
    void setMaxPoints(int count) { m_maxPoints = count; }
    int maxPoints() const { return m_maxPoints; }

    // Shifts the current window by whole tick steps. It takes no keyboard focus: the page's
    // follow mode scrolls while the user types elsewhere; a click on the plot focuses it.
    void scroll(int dx, int dy);

    // Saves the plot as a PNG image and a black-and-white copy (background white, the rest
    // black) named with "_bw.png" in place of a trailing ".png". False when a save failed.
    bool savePicture(const QString &fileName);
    static QString blackWhiteFileName(const QString &fileName);

    static QColor curveColor(int id);

    // The area the curves are drawn in; the axis labels lie around it, within the widget.
    QRect plotRect() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

public slots:
    void zoomIn();
    void zoomOut();

signals:
    void zoomChanged();
    void minXChanged(double x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Margins that hold the labels of the current window whole.
    void updateMargins();
    QString xLabel(const PlotSettings &settings, double time) const;
    QString yLabel(const PlotSettings &settings, int tick) const;
    void retranslate();
    void placeButtons();
    void updateZoomButtons();
    void updateModeButton();
    void invalidate();
    void refreshPixmap();
    void drawGrid(QPainter &painter) const;
    void drawXLabels(QPainter &painter, const PlotSettings &settings, const QRect &rect) const;
    void drawCurve(QPainter &painter, const QVector<QPointF> &data, const QColor &color) const;
    void drawLine(QPainter &painter, const QPolygonF &polygon, const QColor &color, const QRect &rect) const;
    void drawAppended(const QVector<QPointF> &data, const QColor &color);
    void drawCursor(QPainter &painter) const;
    QPointF toValue(const QPoint &pixel) const;
    QString timeText(double x, const QString &format) const;

    QToolButton *m_zoomInButton;
    QToolButton *m_zoomOutButton;
    QToolButton *m_modeButton;
    QMap<int, QVector<QPointF>> m_curves;
    QVector<PlotSettings> m_zoomStack{PlotSettings()};
    int m_curZoom = 0;
    QMargins m_margins;
    QPixmap m_pixmap;
    bool m_pixmapValid = false;
    QRect m_rubberBand;
    bool m_rubberBandShown = false;
    QPoint m_cursor;
    bool m_cursorShown = false;
    bool m_lines = true;
    bool m_utc = true;
    int m_maxPoints = 0;
};
