#include "ui/progress_box.h"

#include "engine/progress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <thread>

namespace ombrik {

CProgressBox::CProgressBox(QWidget* parent, const QString& effectName) : QDialog(parent)
{
    setObjectName(QStringLiteral("progressBox"));
    setWindowTitle(tr("Applying %1").arg(effectName));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(tr("Applying \"%1\"…").arg(effectName), this);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(true);
    m_bar->setFormat(QStringLiteral("%p%"));
    m_bar->setMinimumWidth(260);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressBox::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(m_bar, 1);
    row->addWidget(m_cancel);
    layout->addWidget(m_title);
    layout->addLayout(row);
    layout->addWidget(new QLabel(tr("Esc cancels; the photo stays as it was."), this));
}

void CProgressBox::setPercent(int percent)
{
    m_bar->setValue(std::clamp(percent, 0, 100));
}

int CProgressBox::percent() const
{
    return m_bar->value();
}

void CProgressBox::reject()
{
    if (!m_cancelled) {
        m_cancelled = true;
        RequestCancel();
        m_cancel->setEnabled(false);
        m_title->setText(tr("Cancelling…"));
    }
}

namespace {

// Holds back input to the window while the work runs; Escape cancels.
class InputHold : public QObject {
public:
    explicit InputHold(const QDialog* box) : m_box(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                if (m_box->isVisible())
                    const_cast<QDialog*>(m_box)->reject();
                else
                    RequestCancel();
                return true;
            }
            [[fallthrough]];
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu: {
            // Input reaches the box's window before the box's widgets: both
            // are the box's.
            auto* w = qobject_cast<QWidget*>(watched);
            const bool forBox = w ? (w == m_box || m_box->isAncestorOf(w))
                                  : watched == static_cast<QObject*>(m_box->windowHandle()) && watched;
            return !forBox;
        }
        default:
            return false;
        }
    }

private:
    const QDialog* m_box;
};

} // namespace

bool RunWithProgress(QWidget* parent, const QString& effectName, const std::function<void()>& work, int showAfterMs,
                     const std::function<void(CProgressBox&)>& boxShown)
{
    ClearCancel();
    std::atomic<int> percent{0};
    std::atomic<bool> finished{false};
    // The engines report from the worker; the sink only stores the value.
    ScopedProgressSink sink([&percent](int p) { percent.store(p, std::memory_order_relaxed); });

    CProgressBox box(parent, effectName);
    InputHold hold(&box);
    qApp->installEventFilter(&hold);
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(15);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (finished.load(std::memory_order_acquire)) {
            loop.quit();
            return;
        }
        if (!box.isVisible() && clock.elapsed() >= showAfterMs && !CancelRequested()) {
            box.show();
            box.raise();
            if (boxShown)
                boxShown(box);
        }
        box.setPercent(percent.load(std::memory_order_relaxed));
    });
    std::thread worker([&] {
        work();
        finished.store(true, std::memory_order_release);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    poll.start();
    loop.exec();
    worker.join();
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(&hold);
    const bool cancelled = CancelRequested();
    ClearCancel();
    return !cancelled;
}

} // namespace ombrik
