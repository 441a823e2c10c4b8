#include "ui/resize_dialog.h"

#include "engine/geometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

constexpr int kMaxPercent = 1000;

// A side in pixels rounded to the nearest multiple of 4.
int RoundedSide(double v)
{
    return int(std::lround(v / 4.0)) * 4;
}

} // namespace

CResizeDlg::CResizeDlg(int width, int height, int64_t maxArea, QWidget* parent)
    : QDialog(parent), m_width(width), m_height(height), m_maxArea(maxArea), m_newWidth(width), m_newHeight(height)
{
    setWindowTitle(tr("Resize Photo"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    form->addRow(tr("Now:"), new QLabel(tr("%1 × %2 pixels").arg(width).arg(height), this));
    m_unit = new QComboBox(this);
    m_unit->addItems({tr("Pixels"), tr("Percent")});
    form->addRow(tr("Unit:"), m_unit);
    m_widthBox = new QSpinBox(this);
    m_heightBox = new QSpinBox(this);
    form->addRow(tr("Width:"), m_widthBox);
    form->addRow(tr("Height:"), m_heightBox);
    m_lock = new QCheckBox(tr("Keep the aspect ratio"), this);
    m_lock->setChecked(true);
    form->addRow(QString(), m_lock);
    m_result = new QLabel(this);
    form->addRow(tr("New size:"), m_result);
    m_problemLabel = new QLabel(this);
    m_problemLabel->setWordWrap(true);
    layout->addWidget(m_problemLabel);
    auto* note = new QLabel(tr("Resampled with a Lanczos filter; sides are kept to multiples of 4 pixels."), this);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #555a66;"));
    layout->addWidget(note);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_unit, &QComboBox::currentIndexChanged, this, [this] { unitChanged(); });
    connect(m_widthBox, &QSpinBox::valueChanged, this, [this] { valueChanged(true); });
    connect(m_heightBox, &QSpinBox::valueChanged, this, [this] { valueChanged(false); });
    connect(m_lock, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            valueChanged(true);
    });
    unitChanged();
    setMinimumWidth(340);
}

bool CResizeDlg::percent() const
{
    return m_unit->currentIndex() == 1;
}

void CResizeDlg::unitChanged()
{
    m_syncing = true;
    if (percent()) {
        m_widthBox->setRange(1, kMaxPercent);
        m_heightBox->setRange(1, kMaxPercent);
        m_widthBox->setSuffix(QStringLiteral(" %"));
        m_heightBox->setSuffix(QStringLiteral(" %"));
        m_widthBox->setValue(int(std::lround(100.0 * m_newWidth / m_width)));
        m_heightBox->setValue(int(std::lround(100.0 * m_newHeight / m_height)));
    } else {
        m_widthBox->setRange(1, kMaxPhotoSide);
        m_heightBox->setRange(1, kMaxPhotoSide);
        m_widthBox->setSuffix(QStringLiteral(" px"));
        m_heightBox->setSuffix(QStringLiteral(" px"));
        m_widthBox->setValue(m_newWidth);
        m_heightBox->setValue(m_newHeight);
    }
    m_syncing = false;
    updateResult();
}

void CResizeDlg::valueChanged(bool widthChanged)
{
    if (m_syncing)
        return;
    if (m_lock->isChecked()) {
        m_syncing = true;
        if (percent())
            (widthChanged ? m_heightBox : m_widthBox)->setValue((widthChanged ? m_widthBox : m_heightBox)->value());
        else if (widthChanged)
            m_heightBox->setValue(std::max(1, int(std::lround(double(m_widthBox->value()) * m_height / m_width))));
        else
            m_widthBox->setValue(std::max(1, int(std::lround(double(m_heightBox->value()) * m_width / m_height))));
        m_syncing = false;
    }
    updateResult();
}

void CResizeDlg::updateResult()
{
    if (percent()) {
        m_newWidth = RoundedSide(m_width * m_widthBox->value() / 100.0);
        m_newHeight = RoundedSide(m_height * m_heightBox->value() / 100.0);
    } else {
        m_newWidth = RoundedSide(m_widthBox->value());
        m_newHeight = RoundedSide(m_heightBox->value());
    }
    m_problem = QString::fromStdString(ResizeProblem(m_width, m_height, m_newWidth, m_newHeight, m_maxArea));
    // The unchanged size is no mistake, only nothing to do.
    const bool unchanged = m_problem.isEmpty() && m_newWidth == m_width && m_newHeight == m_height;
    if (unchanged)
        m_problem = tr("That is the size the photo has now.");
    if (!m_problem.isEmpty())
        m_problem[0] = m_problem[0].toUpper();
    m_result->setText(tr("%1 × %2 pixels").arg(m_newWidth).arg(m_newHeight));
    m_problemLabel->setStyleSheet(unchanged ? QStringLiteral("color: #555a66;") : QStringLiteral("color: #a02818;"));
    m_problemLabel->setText(m_problem);
    m_problemLabel->setVisible(!m_problem.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_problem.isEmpty());
}

} // namespace ombrik
