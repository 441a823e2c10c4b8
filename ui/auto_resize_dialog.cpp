#include "ui/auto_resize_dialog.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace ombrik {

namespace {

constexpr int kDialogWidth = 520;
constexpr int kDialogHeight = 130;
constexpr int kTitleBand = 30;
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 21;
constexpr int kEditWidth = 56;
constexpr int kEditHeight = 22;
constexpr int kEditTop = 46;
const QColor kFace(0xD2, 0xD2, 0xD2);

} // namespace

CAutoResizeDlg::CAutoResizeDlg(int thresholdWidth, int thresholdHeight, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_width(thresholdWidth), m_height(thresholdHeight)
{
    setWindowTitle(tr("Auto Resize Threshold"));
    // As wide as the sentence and the fields need in the person's language.
    const QFontMetrics metrics(font());
    const int sentenceWidth = metrics.boundingRect(QRect(0, 0, 4000, 200), 0, sentence()).width();
    const int pixelsWidth = std::max(36, metrics.horizontalAdvance(tr("Pixels")) + 6);
    const int dialogWidth = std::max(kDialogWidth, 12 + sentenceWidth + 18 + 2 * kEditWidth + 16 + pixelsWidth + 12);
    setFixedSize(dialogWidth, kDialogHeight);

    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), this);
    const int editsLeft = dialogWidth - 12 - pixelsWidth - 2 * kEditWidth - 16;
    m_widthEdit = new QLineEdit(QString::number(thresholdWidth), this);
    m_widthEdit->setObjectName(QStringLiteral("widthEdit"));
    m_widthEdit->setGeometry(editsLeft, kEditTop, kEditWidth, kEditHeight);
    m_heightEdit = new QLineEdit(QString::number(thresholdHeight), this);
    m_heightEdit->setObjectName(QStringLiteral("heightEdit"));
    m_heightEdit->setGeometry(editsLeft + kEditWidth + 16, kEditTop, kEditWidth, kEditHeight);
    for (QLineEdit* edit : {m_widthEdit, m_heightEdit}) {
        edit->setValidator(digits);
        edit->setAlignment(Qt::AlignRight);
    }

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setGeometry(dialogWidth - 140, kDialogHeight - 30, kButtonWidth, kButtonHeight);
    m_ok = new QPushButton(tr("OK"), this);
    m_ok->setGeometry(dialogWidth - 140 - 190, kDialogHeight - 30, kButtonWidth, kButtonHeight);
    m_ok->setDefault(true);
    m_close = new QPushButton(QStringLiteral("\u00D7"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setGeometry(dialogWidth - 24 - 6, (kTitleBand - 14) / 2, 24, 14);
    m_close->setFlat(true);
    m_close->setToolTip(tr("Close"));
    m_close->setFocusPolicy(Qt::NoFocus);

    connect(m_ok, &QPushButton::clicked, this, &CAutoResizeDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CAutoResizeDlg::reject);
    connect(m_close, &QPushButton::clicked, this, &CAutoResizeDlg::reject);
    m_widthEdit->setFocus();
    m_widthEdit->selectAll();
}

QString CAutoResizeDlg::sentence()
{
    return tr("For faster processing, if a photo's size is larger than \nauto resize it when loading.");
}

bool CAutoResizeDlg::checkValue(QLineEdit* edit, int minimum, int maximum, int& value)
{
    bool parsed = false;
    const int v = edit->text().toInt(&parsed);
    if (parsed && v >= minimum && v <= maximum) {
        value = v;
        return true;
    }
    const QString message = parsed ? tr("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum)
                                   : tr("Please enter an integer.");
    QMessageBox::warning(this, tr("Ombrik Photo Editor"), message);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void CAutoResizeDlg::accept()
{
    int width = 0;
    int height = 0;
    if (!checkValue(m_widthEdit, kMinWidth, kMaxWidth, width))
        return;
    if (!checkValue(m_heightEdit, kMinHeight, kMaxHeight, height))
        return;
    m_width = width;
    m_height = height;
    QDialog::accept();
}

void CAutoResizeDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect face = rect();
    painter.fillRect(face, kFace);

    // Title band: a shaded strip with the title in black over a white copy.
    QLinearGradient band(0, 0, 0, kTitleBand);
    band.setColorAt(0.0, QColor(0x8A, 0x9B, 0xB0));
    band.setColorAt(1.0, QColor(0x4E, 0x5E, 0x74));
    painter.fillRect(QRect(0, 0, face.width(), kTitleBand), band);
    QFont titleFont = font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const QRect titleRect(12, 0, face.width() - 60, kTitleBand);
    painter.setPen(Qt::white);
    painter.drawText(titleRect.translated(1, 1), Qt::AlignVCenter | Qt::AlignLeft, windowTitle());
    painter.setPen(Qt::black);
    painter.drawText(titleRect, Qt::AlignVCenter | Qt::AlignLeft, windowTitle());

    painter.setFont(font());
    const int editsLeft = m_widthEdit->x();
    painter.drawText(QRect(12, kEditTop - 8, editsLeft - 18, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     sentence());
    painter.drawText(QRect(m_widthEdit->geometry().right() + 1, kEditTop, 16, kEditHeight), Qt::AlignCenter,
                     QStringLiteral("*"));
    painter.drawText(QRect(m_heightEdit->geometry().right() + 6, kEditTop, width() - m_heightEdit->geometry().right() - 8,
                           kEditHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, tr("Pixels"));

    // Dark bevel round the face.
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawRect(face.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(face.adjusted(1, 1, -2, -2));
}

// Without a caption bar the title band moves the dialog.
void CAutoResizeDlg::mousePressEvent(QMouseEvent* event)
{
    m_dragging = event->button() == Qt::LeftButton && event->position().y() < kTitleBand;
    if (m_dragging)
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void CAutoResizeDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

} // namespace ombrik
