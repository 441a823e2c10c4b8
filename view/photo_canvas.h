// CPhotoCanvas: the view of the session's photo. It lays the photo out with
// zoom, scrolling and centring, draws it into a back buffer, and turns mouse
// and keys into session calls, with the crop, level and text tools.
#pragma once

#include "session/editor_session.h"
#include "ui/messages.h"
#include "view/text_tool.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QScrollBar;

namespace ombrik {

class CropTool;
class LevelTool;
class ModeTool;
class RetouchTool;

class CPhotoCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollBarThickness = 17;
    static constexpr float kMaxZoom = 10.0f;
    static constexpr float kMinZoom = 0.1f;
    static constexpr float kInitialZoom = 0.8f;

    explicit CPhotoCanvas(EditorSession& session, QWidget* parent = nullptr);
    ~CPhotoCanvas() override;

    EditorSession& session() const { return m_session; }

    // Zoom commands.
    void setZoom(float zoom);
    void zoomIn();
    void zoomOut();
    void actualSize();
    void zoomToFit();
    float zoom() const { return m_zoom; }
    float fitZoom() const;
    // The zoom steps of the ladder, smallest to largest, within the limits.
    static const std::vector<float>& zoomLadder();
    // The ladder step after (in) or before (out) a zoom; the limit at the ends.
    static float nextZoomStep(float zoom, bool in);
    // Sets the zoom keeping the photo point under `anchor` (widget
    // coordinates) where it is; the view's centre for the keys and buttons.
    void zoomAbout(float zoom, QPointF anchor);
    void zoomAboutCentre(float zoom);
    // The photo position (fractional photo pixels) under a widget point.
    QPointF photoPosAt(QPointF screen) const;
    // The same, and the way back from a photo position to the widget.
    QPointF photoPointF(QPointF screen) const;
    QPointF screenPointF(QPointF photo) const;
    // Moves the view by a number of screen pixels (clamped to the ranges).
    void scrollBy(int dx, int dy);
    bool panning() const { return m_panning; }
    // Space held: a left drag pans instead of using the tool.
    void setSpacePan(bool on);

    // Before and after: shows the photo as it was opened, with "Before" on it.
    void setShowBefore(bool on);
    bool showsBefore() const { return m_showBefore; }

    // Scroll messages from the scroll bars (codes of ScrollCode).
    void onScroll(bool vertical, int code, int position);
    int scrollX() const { return m_scrollX; }
    int scrollY() const { return m_scrollY; }
    int rangeX() const { return m_rangeX; }
    int rangeY() const { return m_rangeY; }
    QRect photoRect() const { return m_photoRect; }
    QRect visibleRect() const { return m_visibleRect; }
    bool horizontalBarShown() const;
    bool verticalBarShown() const;

    void setPreviewMode(bool on);
    bool previewMode() const { return m_previewMode; }
    void setBrushMode(bool on) { m_brushMode = on; }
    bool brushMode() const { return m_brushMode; }

    // Text objects (object mode).
    TextObjectTool& textObjects() { return m_text; }
    ObjectView objectView() const;
    // A new selected object from the template, in the middle of the visible
    // part of the photo.
    void addTextObject(const TextTemplate& templ);
    void applyTemplateToSelected(const TextTemplate& templ);
    void updateSelectedText(const TextTemplate& templ);

    // --- Geometry modes (photo_canvas_modes.cpp) --------------------------------
    // The crop and level modes put a bar of controls over the canvas and take
    // the mouse: the crop mode a rectangle with eight handles, the level mode
    // an angle slider and a line drawn along a horizon. Enter or a double
    // click applies (one history step), Escape leaves the photo as it was.
    enum class GeometryMode { None, Crop, Level };
    GeometryMode geometryMode() const { return m_geometryMode; }
    void beginCrop();
    void beginLevel();
    // Applies the open mode; false when nothing changed. Either way the mode ends.
    bool applyGeometryMode();
    void cancelGeometryMode();
    // The crop aspect choices (name, width : height; 0 : 0 free, -1 : -1 the photo's).
    static const std::vector<std::pair<QString, QSizeF>>& cropAspects();
    void setCropAspect(int index);
    int cropAspect() const;
    // The crop as it would be applied: photo pixels, sides multiples of 4.
    QRect cropRect() const;
    void setCropRect(const QRectF& photoRect);
    void setLevelAngle(double degrees);
    double levelAngle() const;
    QWidget* geometryBar() const;
    // A slider on the crop or level bar: its width, and how far a narrow
    // canvas may shrink it.
    static constexpr int kBarSliderWidth = 220;
    static constexpr int kBarSliderMinimum = 80;

    // --- Heal and clone (retouch_tool.cpp) ---------------------------------------
    // While one is chosen (and the canvas is in brush mode) the left button
    // paints with it instead of the effect; a crop or level mode ends it.
    enum class Retouch { None, Heal, Clone };
    void setRetouch(Retouch tool);
    Retouch retouch() const { return m_retouchKind; }
    bool retouchActive() const;
    RetouchTool* retouchTool() const { return m_retouch.get(); }

    // For the Adjust panel: while a picker is set, a left click on the photo
    // goes to it (the photo pixel) instead of to a tool; clipped pixels of
    // the photo as shown (a channel at 0, or at 255) are marked in blue and red.
    void setPhotoPicker(std::function<void(QPoint)> picker);
    bool picking() const { return bool(m_picker); }
    void setClippingMarks(bool shadows, bool highlights);

    // Draws the progress strip at once (0..100); the next ordinary repaint removes it.
    void showProgress(int percent);

    // Renders the back buffer again and schedules the window update.
    void refresh();

    // Mouse entry points in widget coordinates (also used by the event handlers).
    void pressAt(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});
    void moveTo(QPoint p);
    void releaseAt(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {});

    // Renders everything into an image of the widget's size (for screenshots and tests).
    QImage renderToImage();
    // The back buffer: the widget's size at the device pixel ratio.
    const QImage& backBuffer() const { return m_backBuffer; }
    // Draws for this device pixel ratio instead of the screen's (0: the screen's).
    void setRenderRatio(qreal ratio);
    qreal renderRatio() const;

    // Light placement: the " Light Distance: %d " value for a band from the
    // press point to `pointer` (100 for the photo's on-screen diagonal), and
    // the flare radius (photo pixels) the last band set.
    int lightDistance(QPoint pointer) const;
    int flareRadius() const { return m_flareRadius; }
    bool lightDragActive() const { return m_dragActive && doc().applyMode() == ApplyMode::LightPlacement; }
    // The cursors the canvas shows over the photo with a brush and anywhere
    // while a light or flare is chosen.
    static const QCursor& brushCursor();
    static const QCursor& lightCursor();

signals:
    void zoomChanged(float zoom);
    // A crop or level mode began or ended.
    void geometryModeChanged();
    // The right button asks for the context menu; a click or Escape during
    // the full-window preview asks to leave it.
    void contextMenuRequested();
    void leavePreviewRequested();
    // A click selected a text object, or one was added: its text, for the
    // Text panel's box.
    void textSelected(const QString& text);
    void textAdded(const QString& text);
    // Heal or clone was chosen or left.
    void retouchChanged();
    // A short notice for the window to show (a refused heal, a clone without source).
    void noticeRequested(const QString& text);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class RetouchTool;
    const CanvasDocument& doc() const { return m_session.document(); }
    // A new or restored photo: tools end and it is shown at 1:1.
    void startAfresh();
    QSize clientSize() const;
    void updateScrollRanges();
    void layoutPhoto();
    void renderBackBuffer();
    void renderInto(QImage& target, const QRect& clip = QRect());
    // Redraws the screen area of some changed photo pixels (back buffer and window).
    void refreshPhotoArea(const IntRect& area);
    QPoint photoPointAt(QPoint screen) const;
    QPoint screenPointOf(QPoint photo) const;
    // The rubber band of a light drag from the press point to `pointer`.
    void drawLightBand(QPainter& p, QPoint pointer);
    void drawBeforeLabel(QPainter& p);
    // The clipped pixels of `part` of the shown photo, drawn over `dest`.
    void drawClippingMarks(QPainter& p, const QImage& shown, const QRect& part, const QRectF& source,
                           const QRect& dest);
    void endPan();
    bool shiftBackBuffer(int dx, int dy);
    void dabAtScreen(QPoint p);
    void strokeTo(QPoint p);
    bool showsBrushOutline() const;
    void updateCursor(QPoint p);
    QRect outlineRect(QPoint centre) const;
    // The geometry modes' share of the mouse, painting and layout; the mouse
    // functions return true when the mode took the event.
    bool geometryPress(QPoint p);
    bool geometryMove(QPoint p);
    bool geometryRelease(QPoint p);
    void paintGeometryOverlay(QPainter& p);
    void layoutGeometryBar();
    void startGeometryMode(GeometryMode mode);
    void endGeometryMode();
    ModeTool* activeTool() const;

    EditorSession& m_session;
    TextObjectTool m_text{m_session};
    QScrollBar* m_vBar = nullptr;
    QScrollBar* m_hBar = nullptr;

    float m_zoom = kInitialZoom;
    int m_scrollX = 0, m_scrollY = 0;
    int m_rangeX = 0, m_rangeY = 0;
    int m_zoomedWidth = 0, m_zoomedHeight = 0;
    QRect m_photoRect;
    QRect m_visibleRect;
    bool m_previewMode = false;
    bool m_brushMode = true;

    QImage m_backBuffer;
    int m_progress = -1;

    bool m_dragActive = false;
    QPoint m_strokeStart;
    std::vector<QPoint> m_strokePoints;
    QPoint m_lightPointer;
    bool m_bandShown = false;
    int m_flareRadius = 0;
    QPoint m_outlineCentre;
    bool m_outlineShown = false;

    GeometryMode m_geometryMode = GeometryMode::None;
    std::unique_ptr<CropTool> m_crop;    // made when the mode is first used
    std::unique_ptr<LevelTool> m_level;
    std::unique_ptr<RetouchTool> m_retouch;
    Retouch m_retouchKind = Retouch::None;
    // Panning by a middle drag or Space + left drag.
    bool m_panning = false;
    bool m_spaceHeld = false;
    QPoint m_panStart;
    QPoint m_panScrollStart;
    Qt::MouseButton m_panButton = Qt::NoButton;
    int m_wheelZoomAngle = 0;
    QPointF m_wheelRemainder;
    float m_reportedZoom = -1.0f;
    bool m_showBefore = false;
    qreal m_ratioOverride = 0;
    std::function<void(QPoint)> m_picker;
    bool m_markShadows = false;
    bool m_markHighlights = false;
};

} // namespace ombrik
