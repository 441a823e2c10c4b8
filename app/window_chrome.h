// The parts of the borderless main window that it draws itself: the title
// band, the card with the photo's name, size and camera, the tool strip's
// tray and the slider labels; and moving and resizing the window by its band
// and edges where the window system does not do it.
#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QPoint>
#include <QRect>

class QMouseEvent;
class QPainter;

namespace ombrik {

class CEditorDlg;

class WindowChrome {
    Q_DECLARE_TR_FUNCTIONS(WindowChrome)
public:
    static constexpr int kEdgeGrip = 5;
    static constexpr int kCornerGrip = 8;

    explicit WindowChrome(CEditorDlg& window) : m_window(window) {}

    void paint(QPainter& p);
    // The slider labels' font and the room the longest of each group needs,
    // so that the layout can give a long translation its width.
    static QFont labelFont(const QFont& windowFont);
    static int opacityLabelWidth(const QFont& windowFont);
    static int deformLabelWidth(const QFont& windowFont);
    // The window edges a point is near (for resizing); none when maximized.
    Qt::Edges edgesAt(QPoint p) const;

    // Mouse on the window's own parts; the press returns false when it did
    // nothing with it.
    void press(QMouseEvent* event);
    void move(QMouseEvent* event);
    void release();

private:
    void paintInfoCard(QPainter& p);

    CEditorDlg& m_window;
    enum class Drag { None, Move, Resize } m_drag = Drag::None;
    Qt::Edges m_dragEdges;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
};

} // namespace ombrik
