#include "ui/adjust_panel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

struct SettingInfo {
    const char* name;
    const char* tip;
};

constexpr SettingInfo kSettings[CAdjustPanel::kSettingCount] = {
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Exposure"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "Brighter or darker in stops of light (-3 to +3)")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Contrast"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "Spreads the tones away from mid-grey, or draws them together")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Highlights"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "Recovers (left) or brightens (right) the lightest tones")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Shadows"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "Lifts (right) or deepens (left) the darkest tones")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Saturation"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "Strength of every colour; far left is black and white")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Vibrance"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "Strengthens weak colours more than strong ones and spares skin tones")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Warmth"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "White balance from blue (left) to yellow (right)")},
    {QT_TRANSLATE_NOOP("CAdjustPanel", "Tint"),
     QT_TRANSLATE_NOOP("CAdjustPanel", "White balance from green (left) to magenta (right)")},
};

} // namespace

void CResettingSlider::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        setValue(m_neutral);
        event->accept();
        return;
    }
    QSlider::mouseDoubleClickEvent(event);
}

CAdjustPanel::CAdjustPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(220, 220, 220));
    setPalette(pal);

    m_notify = new QTimer(this);
    m_notify->setSingleShot(true);
    m_notify->setInterval(0);
    connect(m_notify, &QTimer::timeout, this, &CAdjustPanel::paramsChanged);

    QFont small = font();
    small.setPointSizeF(std::max(6.5, small.pointSizeF() - 1));
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting s = Setting(i);
        auto* slider = new CResettingSlider(this);
        slider->setObjectName(QStringLiteral("adjust_%1").arg(QString::fromLatin1(kSettings[i].name).toLower()));
        const int limit = s == Exposure ? int(AdjustParams::kMaxExposure) * kExposureSteps
                                        : int(AdjustParams::kMaxAmount);
        slider->setRange(-limit, limit);
        slider->setSingleStep(s == Exposure ? 5 : 1);
        slider->setPageStep(s == Exposure ? 50 : 10);
        slider->setValue(0);
        slider->setCursor(Qt::PointingHandCursor);
        const QString tip = tr(kSettings[i].tip) + QLatin1Char('\n') + tr("Double click: back to 0");
        slider->setToolTip(tip);
        auto* name = new QLabel(tr(kSettings[i].name), this);
        name->setFont(small);
        name->setToolTip(tip);
        auto* value = new QLabel(valueText(s, 0), this);
        value->setFont(small);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(slider, &QSlider::valueChanged, this, [this, s, value](int position) {
            value->setText(valueText(s, position));
            updateButtons();
            m_notify->start();
        });
        m_sliders[size_t(i)] = slider;
        m_names[size_t(i)] = name;
        m_values[size_t(i)] = value;
    }

    m_reset = new QPushButton(tr("Reset"), this);
    m_reset->setToolTip(tr("All sliders back to 0"));
    connect(m_reset, &QPushButton::clicked, this, &CAdjustPanel::reset);
    m_apply = new QPushButton(tr("Apply"), this);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setToolTip(tr("Makes the adjustment part of the photo (one step to undo)"));
    connect(m_apply, &QPushButton::clicked, this, &CAdjustPanel::applyRequested);
    for (QPushButton* b : {m_reset, m_apply})
        b->setFocusPolicy(Qt::NoFocus);
    updateButtons();
}

QString CAdjustPanel::valueText(Setting s, int position)
{
    if (position == 0)
        return QStringLiteral("0");
    if (s == Exposure)
        return QString::asprintf("%+.2f", double(position) / kExposureSteps);
    return QString::asprintf("%+d", position);
}

AdjustParams CAdjustPanel::params() const
{
    auto at = [this](Setting s) { return double(m_sliders[size_t(s)]->value()); };
    AdjustParams p;
    p.exposure = at(Exposure) / kExposureSteps;
    p.contrast = at(Contrast);
    p.highlights = at(Highlights);
    p.shadows = at(Shadows);
    p.saturation = at(Saturation);
    p.vibrance = at(Vibrance);
    p.warmth = at(Warmth);
    p.tint = at(Tint);
    return p;
}

void CAdjustPanel::setParams(const AdjustParams& p)
{
    const double values[kSettingCount] = {p.exposure * kExposureSteps, p.contrast, p.highlights, p.shadows,
                                          p.saturation, p.vibrance, p.warmth, p.tint};
    for (int i = 0; i < kSettingCount; ++i)
        m_sliders[size_t(i)]->setValue(std::isfinite(values[i]) ? int(std::lround(values[i])) : 0);
}

void CAdjustPanel::reset()
{
    for (CResettingSlider* s : m_sliders)
        s->setValue(s->neutral());
}

void CAdjustPanel::updateButtons()
{
    const bool changed = std::any_of(m_sliders.begin(), m_sliders.end(),
                                     [](const CResettingSlider* s) { return s->value() != s->neutral(); });
    m_reset->setEnabled(changed);
    m_apply->setEnabled(changed);
}

void CAdjustPanel::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CAdjustPanel::layoutControls()
{
    // Four columns of two rows; the buttons in a column of their own on the right.
    constexpr int kMargin = 10, kButtons = 84, kGap = 18;
    const int rowHeight = std::max(30, (height() - 8) / 2);
    const int columns = 4;
    const int room = std::max(columns * 60, width() - 2 * kMargin - kButtons - kGap);
    const int cell = (room - (columns - 1) * kGap) / columns;
    const int labelHeight = std::max(14, m_names[0]->sizeHint().height());
    for (int i = 0; i < kSettingCount; ++i) {
        const int col = i % columns, row = i / columns;
        const int x = kMargin + col * (cell + kGap);
        const int y = 4 + row * rowHeight;
        m_names[size_t(i)]->setGeometry(x, y, cell - 44, labelHeight);
        m_values[size_t(i)]->setGeometry(x + cell - 44, y, 44, labelHeight);
        m_sliders[size_t(i)]->setGeometry(x, y + labelHeight, cell, std::max(16, rowHeight - labelHeight - 4));
    }
    const int bx = width() - kMargin - kButtons;
    const int bh = std::max(22, m_apply->sizeHint().height());
    m_reset->setGeometry(bx, 4 + rowHeight / 2 - bh / 2, kButtons, bh);
    m_apply->setGeometry(bx, 4 + rowHeight + rowHeight / 2 - bh / 2, kButtons, bh);
}

} // namespace ombrik
