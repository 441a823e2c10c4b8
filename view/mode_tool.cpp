#include "view/mode_tool.h"

#include "view/photo_canvas.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace ombrik {

namespace {

QPushButton* BarButton(const QString& text, QWidget* parent, bool primary)
{
    auto* b = new QPushButton(text, parent);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    if (primary)
        b->setObjectName(QStringLiteral("applyButton"));
    return b;
}

} // namespace

QString ModeTool::SizeText(int w, int h)
{
    return QStringLiteral("%1 × %2").arg(w).arg(h);
}

QHBoxLayout* ModeTool::makeBar(const QString& objectName, const QString& title)
{
    m_bar = new QFrame(&m_canvas);
    m_bar->setObjectName(objectName);
    m_bar->hide();
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(10, 5, 6, 5);
    row->setSpacing(8);
    row->addWidget(new QLabel(title, m_bar));
    return row;
}

QLabel* ModeTool::makeSizeLabel()
{
    auto* label = new QLabel(m_bar);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(SizeText(88888, 88888)) + 8);
    return label;
}

void ModeTool::addApplyAndCancel(QHBoxLayout* row, const QString& applyTip)
{
    QPushButton* apply = BarButton(CPhotoCanvas::tr("Apply"), m_bar, true);
    QPushButton* cancel = BarButton(CPhotoCanvas::tr("Cancel"), m_bar, false);
    apply->setToolTip(applyTip);
    cancel->setToolTip(CPhotoCanvas::tr("Leave the photo as it is (Esc)"));
    row->addWidget(apply);
    row->addWidget(cancel);
    CPhotoCanvas* canvas = &m_canvas;
    QObject::connect(apply, &QPushButton::clicked, canvas, [canvas] { canvas->applyGeometryMode(); });
    QObject::connect(cancel, &QPushButton::clicked, canvas, [canvas] { canvas->cancelGeometryMode(); });
}

} // namespace ombrik
