#include "app/view_controller.h"

#include "app/editor_dlg.h"
#include "app/panel_controller.h"
#include "session/editor_session.h"
#include "ui/effect_panel.h"
#include "ui/flat_button.h"
#include "ui/message_box.h"
#include "ui/resize_dialog.h"
#include "view/photo_canvas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace ombrik {

ViewController::ViewController(CEditorDlg& window, EditorSession& session) : m_window(window), m_session(session) {}

void ViewController::createControls()
{
    CPhotoCanvas* canvas = m_window.canvas();
    m_zoomField = new QLineEdit(&m_window);
    m_zoomField->setObjectName(QStringLiteral("zoomField"));
    m_zoomField->setAlignment(Qt::AlignCenter);
    m_zoomField->setToolTip(
        tr("Zoom: type a percentage and press Enter (Ctrl++, Ctrl+-, Ctrl+0 fits, Ctrl+1 is 100 %)"));
    m_zoomField->setStyleSheet(QStringLiteral(
        "QLineEdit { background: #f4f4f6; border: 1px solid #8c8c96; border-radius: 3px; padding: 0 2px; }"));
    connect(m_zoomField, &QLineEdit::editingFinished, this, &ViewController::applyZoomField);
    // The field follows the zoom unless the user is typing a new value.
    auto showZoom = [this](float zoom) {
        if (!m_zoomField->isModified())
            m_zoomField->setText(QStringLiteral("%1%").arg(qRound(zoom * 100.0f)));
    };
    connect(canvas, &CPhotoCanvas::zoomChanged, this, showZoom);
    showZoom(canvas->zoom());
    m_beforeButton = new CFlatButton(CFlatButton::Style::Tool, Glyph::Preview, QString(), &m_window);
    m_beforeButton->setObjectName(QStringLiteral("beforeButton"));
    m_beforeButton->setToolTip(tr("Before: hold to see the photo as opened (or hold \\)"));
    connect(m_beforeButton, &QAbstractButton::pressed, this, [canvas] { canvas->setShowBefore(true); });
    connect(m_beforeButton, &QAbstractButton::released, this, [canvas] { canvas->setShowBefore(false); });
}

void ViewController::applyZoomField()
{
    // Focus leaving the field also ends editing: only a typed value counts.
    if (!m_zoomField->isModified())
        return;
    QString text = m_zoomField->text().trimmed();
    text.remove(QLatin1Char('%'));
    bool ok = false;
    const double percent = text.trimmed().toDouble(&ok);
    CPhotoCanvas* canvas = m_window.canvas();
    if (ok && percent > 0)
        canvas->zoomAboutCentre(float(percent / 100.0));
    // Shows the zoom in force (clamped, or unchanged after bad input), and
    // gives the keys back to the photo.
    m_zoomField->setText(QStringLiteral("%1%").arg(qRound(canvas->zoom() * 100.0f)));
    if (m_zoomField->hasFocus())
        canvas->setFocus(Qt::OtherFocusReason);
}

bool ViewController::handleViewKey(QWidget* target, const QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Backslash)
        return false;
    // Text entries and buttons keep their own use of these keys.
    if (qobject_cast<QLineEdit*>(target) || target->inherits("QTextEdit") || target->inherits("QPlainTextEdit")
        || target->inherits("QAbstractSpinBox") || target->inherits("QComboBox"))
        return false;
    if (key == Qt::Key_Space && qobject_cast<QAbstractButton*>(target))
        return false;
    if (m_inPreview && key == Qt::Key_Space)
        return false;
    const bool down = event->type() == QEvent::KeyPress;
    if (event->isAutoRepeat())
        return true;
    if (key == Qt::Key_Space)
        m_window.canvas()->setSpacePan(down);
    else
        m_window.canvas()->setShowBefore(down);
    return true;
}

void ViewController::enterPreview()
{
    if (m_inPreview)
        return;
    CPhotoCanvas* canvas = m_window.canvas();
    m_inPreview = true;
    m_zoomBeforePreview = canvas->zoom();
    m_window.applyVisibility();
    canvas->setPreviewMode(true);
    canvas->setGeometry(m_window.canvasRect());
    canvas->raise();
    canvas->setFocus(Qt::OtherFocusReason);
    m_window.update();
}

void ViewController::leavePreview()
{
    if (!m_inPreview)
        return;
    CPhotoCanvas* canvas = m_window.canvas();
    m_inPreview = false;
    canvas->setPreviewMode(false);
    canvas->setZoom(m_zoomBeforePreview);
    m_window.m_panels->showPanel(m_window.currentPanel());
    m_window.layoutChildren();
    canvas->refresh();
}

void ViewController::geometryCommand(int id)
{
    if (!m_session.hasPhoto() || m_inPreview)
        return;
    CPhotoCanvas* canvas = m_window.canvas();
    switch (id) {
    case cmd::Crop: canvas->beginCrop(); break;
    case cmd::Straighten: canvas->beginLevel(); break;
    case cmd::RotateLeft: m_session.rotate(-1); break;
    case cmd::RotateRight: m_session.rotate(1); break;
    case cmd::Rotate180: m_session.rotate(2); break;
    case cmd::FlipHorizontal: m_session.flip(true); break;
    case cmd::FlipVertical: m_session.flip(false); break;
    case cmd::ResizePhoto: resizeCommand(); break;
    default: break;
    }
    m_window.updateActions();
    m_window.update();
}

void ViewController::resizeCommand()
{
    const CanvasDocument& doc = m_session.document();
    const int64_t maxArea = doc.thresholdWidth() > 0 && doc.thresholdHeight() > 0
        ? int64_t(doc.thresholdWidth()) * doc.thresholdHeight()
        : 0;
    QSize size;
    if (m_window.chooseResize) {
        size = m_window.chooseResize();
    } else {
        CResizeDlg dialog(doc.width(), doc.height(), maxArea, &m_window);
        if (dialog.exec() == QDialog::Accepted)
            size = QSize(dialog.newWidth(), dialog.newHeight());
    }
    if (size.isEmpty())
        return;
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = m_session.resize(size.width(), size.height(), &error);
    QApplication::restoreOverrideCursor();
    if (!done && !error.empty())
        ShowWarning(&m_window, tr("The photo could not be resized: %1.").arg(ReasonText(error)));
}

} // namespace ombrik
