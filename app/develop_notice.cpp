#include "app/develop_notice.h"

#include "app/editor_dlg.h"
#include "view/photo_canvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <algorithm>

namespace ombrik {

DevelopNotice::DevelopNotice(CEditorDlg& window, EditorSession& session)
    : QObject(&window), m_window(window), m_session(session)
{
    connect(&m_session, &EditorSession::developStarted, this, &DevelopNotice::begin);
    connect(&m_session, &EditorSession::developEnded, this, &DevelopNotice::end);
}

DevelopNotice::~DevelopNotice()
{
    if (m_holding) {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
}

void DevelopNotice::placeMark()
{
    QWidget* canvas = m_window.canvas();
    if (!m_mark) {
        m_mark = new QLabel(canvas ? static_cast<QWidget*>(canvas) : &m_window);
        m_mark->setObjectName(QStringLiteral("developMark"));
        m_mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_mark->setStyleSheet(QStringLiteral("QLabel#developMark { background: rgba(32, 34, 44, 225); color: #f4f4f8;"
                                             " border-radius: 8px; padding: 8px 14px; }"));
    }
    m_mark->setText(tr("Developing…") + QStringLiteral("\n") + tr("Esc keeps the preview"));
    m_mark->adjustSize();
    // The bottom-left corner: the window's own notices take the top.
    const QWidget* over = m_mark->parentWidget();
    m_mark->move(12, std::max(12, over->height() - m_mark->height() - 28));
    m_mark->raise();
}

void DevelopNotice::begin()
{
    placeMark();
    m_mark->show();
    if (!m_holding) {
        m_holding = true;
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
}

void DevelopNotice::end(bool developed, const QString& note)
{
    if (m_mark)
        m_mark->hide();
    if (m_holding) {
        m_holding = false;
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
    if (note.isEmpty())
        return;
    m_window.showPassingNotice(developed ? tr("The photo was opened, but %1.").arg(note)
                                         : tr("The RAW photo could not be developed (%1); its preview stays.").arg(note));
}

bool DevelopNotice::eventFilter(QObject* watched, QEvent* event)
{
    // Input to this window waits until the develop is done, so that no edit
    // lands on the preview; other windows (a message box) go on as usual.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_session.cancelDevelop();
            return true;
        }
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace ombrik
