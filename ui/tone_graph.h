// CToneGraph: the Adjust panel's square with the histogram of the photo as it
// will be (luma, or red, green and blue overlaid), and in the Curves section
// the curve of one channel over it: a click adds a point, a drag moves one,
// dragging a point off the square removes it. Keys: Tab-focus the square,
// [ and ] pick the previous or next point, arrows move it (Shift: 8 levels),
// Insert adds a point in the widest gap, Delete removes the picked one.
//
// CLevelsBar: the Levels section's strip with three handles, black, mid-tone
// and white; the mid-tone handle sits where the output is half way.
#pragma once

#include "engine/tone_analysis.h"
#include "engine/tone_curves.h"

#include <QWidget>

namespace ombrik {

class CToneGraph : public QWidget {
    Q_OBJECT
public:
    explicit CToneGraph(QWidget* parent = nullptr);

    void setHistogram(const Histogram& histogram);
    const Histogram& histogram() const { return m_histogram; }
    // Luma alone, or red, green and blue overlaid.
    void setShowChannels(bool rgb);
    bool showsChannels() const { return m_rgb; }

    // With editing on, the curve is drawn and takes the mouse and keys.
    void setEditing(bool on);
    bool editing() const { return m_editing; }
    // The curve shown (a straight line when it has no points) and its colour.
    void setCurve(const Curve& curve, ToneChannel channel);
    const Curve& curve() const { return m_curve; }
    int selectedPoint() const { return m_selected; }

    // The widget point of a curve point and the curve point nearest a widget point.
    QPointF toWidget(double x, double y) const;
    CurvePoint toCurve(QPointF p) const;

signals:
    // The user changed the curve (points rising, at least two).
    void curveEdited(const Curve& curve);
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF plotRect() const;
    int pointAt(QPointF p) const;
    // Moves point i towards `to`, keeping it between its neighbours.
    void movePoint(int i, CurvePoint to);
    void edited();

    Histogram m_histogram;
    bool m_rgb = false;
    bool m_editing = false;
    Curve m_curve = Curve::linear();
    ToneChannel m_channel = ToneChannel::Rgb;
    int m_selected = -1;
    int m_dragging = -1;
    bool m_draggedOff = false;
};

class CLevelsBar : public QWidget {
    Q_OBJECT
public:
    explicit CLevelsBar(QWidget* parent = nullptr);

    void setLevels(const Levels& levels);
    const Levels& levels() const { return m_levels; }
    // The input level of the mid-tone handle for a gamma, and back.
    static double midLevel(const Levels& levels);
    static double gammaForMid(const Levels& levels, double mid);

signals:
    void levelsEdited(const Levels& levels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double xOf(double level) const;
    double levelAt(double x) const;

    Levels m_levels;
    int m_handle = -1;  // 0 black, 1 mid-tone, 2 white
};

} // namespace ombrik
