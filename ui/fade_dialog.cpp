#include "ui/fade_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

namespace ombrik {

CFadeDialog::CFadeDialog(int percent, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Fade"));
    auto* text = new QLabel(tr("Strength of the last effect:"), this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, 100);
    m_slider->setPageStep(10);
    m_slider->setMinimumWidth(220);
    m_spin = new QSpinBox(this);
    m_spin->setRange(0, 100);
    m_spin->setSuffix(QStringLiteral(" %"));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(text, 0, 0, 1, 2);
    grid->addWidget(m_slider, 1, 0);
    grid->addWidget(m_spin, 1, 1);
    grid->addWidget(m_buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    m_notify = new QTimer(this);
    m_notify->setSingleShot(true);
    m_notify->setInterval(0);
    connect(m_notify, &QTimer::timeout, this, [this] { emit percentChanged(this->percent()); });
    connect(m_slider, &QSlider::valueChanged, m_spin, &QSpinBox::setValue);
    connect(m_spin, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
    connect(m_slider, &QSlider::valueChanged, m_notify, qOverload<>(&QTimer::start));
    setPercent(percent);
    m_slider->setFocus();
}

int CFadeDialog::percent() const
{
    return m_slider->value();
}

void CFadeDialog::setPercent(int percent)
{
    m_slider->setValue(std::clamp(percent, 0, 100));
    m_spin->setValue(m_slider->value());
}

} // namespace ombrik
