// A mode of the canvas that takes the mouse and shows a bar of controls over
// it until it is applied (one history step) or left: the crop and level tools.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QString>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPainter;

namespace ombrik {

class CPhotoCanvas;

class ModeTool {
public:
    explicit ModeTool(CPhotoCanvas& canvas) : m_canvas(canvas) {}
    virtual ~ModeTool() = default;

    // Starts the mode on the canvas's current photo (the bar is shown by the canvas).
    virtual void begin() = 0;
    // Makes the change; false when there was nothing to change.
    virtual bool apply() = 0;
    // Drops what the mode kept (its bar is hidden by the canvas).
    virtual void end() {}
    // The mouse in canvas coordinates; true when the tool took the event.
    virtual bool press(QPoint p) = 0;
    virtual bool move(QPoint p) = 0;
    virtual bool release(QPoint p) = 0;
    // A double click; true when it applied the mode.
    virtual bool doubleClick(QPointF) { return false; }
    virtual void paint(QPainter& p) = 0;

    QFrame* bar() const { return m_bar; }

protected:
    // Makes the bar with its title on the left; the tool adds its controls,
    // then calls addApplyAndCancel.
    QHBoxLayout* makeBar(const QString& objectName, const QString& title);
    void addApplyAndCancel(QHBoxLayout* row, const QString& applyTip);
    // A label wide enough for any photo's size, and the text it shows.
    QLabel* makeSizeLabel();
    static QString SizeText(int w, int h);

    CPhotoCanvas& m_canvas;
    QFrame* m_bar = nullptr;
};

} // namespace ombrik
