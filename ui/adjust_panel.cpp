#include "ui/adjust_panel.h"

#include "ui/adjust_sections.h"
#include "ui/tone_graph.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

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

// A small coloured square before a clipping share: the colour the marks
// on the photo have.
QIcon MarkIcon(const QColor& colour, bool up)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(colour);
    const QPolygonF triangle = up ? QPolygonF({QPointF(12, 3), QPointF(22, 21), QPointF(2, 21)})
                                  : QPolygonF({QPointF(2, 3), QPointF(22, 3), QPointF(12, 21)});
    p.drawPolygon(triangle);
    return QIcon(pm);
}

// The panel's switches show clearly whether they are on.
const QString& SwitchStyle()
{
    static const QString style = QStringLiteral(
        "QToolButton { border: 1px solid #a0a0ac; border-radius: 3px; background: #f2f2f5; padding: 0 3px; }"
        "QToolButton:hover { background: #ffffff; }"
        "QToolButton:checked { background: palette(highlight); color: palette(highlighted-text);"
        " border-color: #45459a; }"
        "QToolButton:focus { border-color: #30306a; }");
    return style;
}

ToneMaps Tidy(ToneMaps tone)
{
    // A curve back on the diagonal is no curve, so untouched settings compare
    // equal to neutral ones.
    for (Curve& c : tone.curves)
        if (c.isIdentity())
            c.points.clear();
    return tone;
}

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

    // The square, and the switch and clipping shares beside it.
    m_graph = new CToneGraph(this);
    m_graph->setObjectName(QStringLiteral("toneGraph"));
    connect(m_graph, &CToneGraph::curveEdited, this, &CAdjustPanel::curveEdited);
    connect(m_graph, &CToneGraph::selectionChanged, this,
            [this] { m_curves->showPoint(m_graph->curve(), m_graph->selectedPoint()); });
    m_channels = new QToolButton(this);
    m_channels->setObjectName(QStringLiteral("histogramChannels"));
    m_channels->setCheckable(true);
    m_channels->setText(tr("Luma"));
    m_channels->setFont(small);
    m_channels->setToolTip(tr("The histogram of brightness, or of red, green and blue overlaid"));
    m_channels->setStyleSheet(SwitchStyle());
    connect(m_channels, &QToolButton::toggled, this, [this](bool rgb) {
        m_channels->setText(rgb ? tr("RGB") : tr("Luma"));
        m_graph->setShowChannels(rgb);
        if (m_bigGraph)
            m_bigGraph->setShowChannels(rgb);
    });
    const QColor markColours[2] = {QColor(40, 110, 255), QColor(255, 40, 40)};
    for (int k = 0; k < 2; ++k) {
        auto* b = new QToolButton(this);
        b->setObjectName(k ? QStringLiteral("clippedHighlights") : QStringLiteral("clippedShadows"));
        b->setCheckable(true);
        b->setFont(small);
        b->setIcon(MarkIcon(markColours[k], k == 1));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setStyleSheet(SwitchStyle());
        connect(b, &QToolButton::toggled, this, &CAdjustPanel::clippingMarksChanged);
        m_clipping[size_t(k)] = b;
    }

    // The section switches.
    const char* const sectionNames[kSectionCount] = {QT_TR_NOOP("&Sliders"), QT_TR_NOOP("&Levels"),
                                                     QT_TR_NOOP("C&urves")};
    const char* const sectionTips[kSectionCount] = {
        QT_TR_NOOP("Exposure, contrast, highlights, shadows, colour and white balance"),
        QT_TR_NOOP("Black point, white point and mid-tones, for all channels or one, with eyedroppers"),
        QT_TR_NOOP("Tone curves for all channels or one, edited on the square")};
    for (int s = 0; s < kSectionCount; ++s) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("section%1").arg(s));
        b->setText(tr(sectionNames[s]));
        b->setToolTip(tr(sectionTips[s]));
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setStyleSheet(SwitchStyle());
        b->setFont(small);
        connect(b, &QToolButton::clicked, this, [this, s] { showSection(Section(s)); });
        m_sectionButtons[size_t(s)] = b;
    }

    // The sliders.
    m_sliderArea = new QWidget(this);
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting s = Setting(i);
        auto* slider = new CResettingSlider(m_sliderArea);
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
        auto* name = new QLabel(tr(kSettings[i].name), m_sliderArea);
        name->setFont(small);
        name->setToolTip(tip);
        auto* value = new QLabel(valueText(s, 0), m_sliderArea);
        value->setFont(small);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(slider, &QSlider::valueChanged, this, [this, s, value](int position) {
            value->setText(valueText(s, position));
            changed();
        });
        m_sliders[size_t(i)] = slider;
        m_names[size_t(i)] = name;
        m_values[size_t(i)] = value;
    }

    // Levels and curves.
    m_levels = new CLevelsSection(this);
    connect(m_levels, &CLevelsSection::channelChanged, this,
            [this] { m_levels->showLevels(m_tone.levels[size_t(m_levels->channel())]); });
    connect(m_levels, &CLevelsSection::levelsEdited, this, [this](const Levels& l) {
        m_tone.levels[size_t(m_levels->channel())] = l;
        changed();
    });
    connect(m_levels, &CLevelsSection::pickingChanged, this, &CAdjustPanel::pickingChanged);
    m_curves = new CCurvesSection(this);
    connect(m_curves, &CCurvesSection::channelChanged, this, &CAdjustPanel::showCurve);
    connect(m_curves, &CCurvesSection::presetChosen, this,
            [this](CurvePreset preset) { curveEdited(PresetCurve(preset)); });
    connect(m_curves, &CCurvesSection::popOutRequested, this, &CAdjustPanel::openCurveWindow);

    m_auto = new QPushButton(tr("&Auto"), this);
    m_auto->setObjectName(QStringLiteral("autoButton"));
    m_auto->setToolTip(tr("Sets exposure, contrast, highlights, shadows and white balance from the photo"));
    connect(m_auto, &QPushButton::clicked, this, &CAdjustPanel::autoRequested);
    m_reset = new QPushButton(tr("Reset"), this);
    m_reset->setToolTip(tr("The section shown back to its start"));
    connect(m_reset, &QPushButton::clicked, this, &CAdjustPanel::resetSection);
    m_apply = new QPushButton(tr("Apply"), this);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setToolTip(tr("Makes the adjustment part of the photo (one step to undo)"));
    connect(m_apply, &QPushButton::clicked, this, &CAdjustPanel::applyRequested);
    // Reachable with Tab, but a click leaves the keys with the photo.
    for (QPushButton* b : {m_auto, m_reset, m_apply})
        b->setFocusPolicy(Qt::TabFocus);

    setHistogram(Histogram());
    showSection(SlidersSection);
    showCurve();
    updateButtons();
}

CAdjustPanel::~CAdjustPanel() = default;

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
    p.tone = Tidy(m_tone);
    return p;
}

void CAdjustPanel::setParams(const AdjustParams& p)
{
    const double values[kSettingCount] = {p.exposure * kExposureSteps, p.contrast, p.highlights, p.shadows,
                                          p.saturation, p.vibrance, p.warmth, p.tint};
    for (int i = 0; i < kSettingCount; ++i)
        m_sliders[size_t(i)]->setValue(std::isfinite(values[i]) ? int(std::lround(values[i])) : 0);
    m_tone = p.tone.valid() ? p.tone : ToneMaps();
    m_levels->showLevels(m_tone.levels[size_t(m_levels->channel())]);
    showCurve();
    changed();
}

void CAdjustPanel::reset()
{
    endPicking();
    for (CResettingSlider* s : m_sliders)
        s->setValue(s->neutral());
    m_tone = ToneMaps();
    m_levels->showLevels(Levels());
    showCurve();
    changed();
}

void CAdjustPanel::resetSection()
{
    switch (m_section) {
    case SlidersSection:
        for (CResettingSlider* s : m_sliders)
            s->setValue(s->neutral());
        break;
    case LevelsSection:
        endPicking();
        m_tone.levels = {};
        m_levels->showLevels(Levels());
        break;
    case CurvesSection:
        m_tone.curves = {};
        showCurve();
        break;
    case kSectionCount:
        break;
    }
    changed();
}

void CAdjustPanel::takeAuto(const AdjustParams& found)
{
    AdjustParams p = params();
    p.exposure = found.exposure;
    p.contrast = found.contrast;
    p.highlights = found.highlights;
    p.shadows = found.shadows;
    p.warmth = found.warmth;
    p.tint = found.tint;
    setParams(p);
}

void CAdjustPanel::showSection(Section section)
{
    m_section = section;
    m_sectionButtons[size_t(section)]->setChecked(true);
    m_sliderArea->setVisible(section == SlidersSection);
    m_levels->setVisible(section == LevelsSection);
    m_curves->setVisible(section == CurvesSection);
    if (section != LevelsSection)
        endPicking();
    m_graph->setEditing(section == CurvesSection);
    updateButtons();
}

void CAdjustPanel::setHistogram(const Histogram& histogram)
{
    m_graph->setHistogram(histogram);
    if (m_bigGraph)
        m_bigGraph->setHistogram(histogram);
    auto share = [](double s) {
        const double percent = s * 100;
        // A few clipped pixels read "<0.1%", not a "0.0%" that looks like none.
        if (percent == 0)
            return QStringLiteral("0%");
        if (percent < 0.05)
            return QStringLiteral("<0.1%");
        return QString::asprintf(percent < 10 ? "%.1f%%" : "%.0f%%", percent);
    };
    m_clipping[0]->setText(share(histogram.shadowsShare()));
    m_clipping[1]->setText(share(histogram.highlightsShare()));
    m_clipping[0]->setToolTip(tr("Clipped shadows: %1 of the pixels have a channel at black.\n"
                                 "Click to mark them on the photo in blue.")
                                  .arg(share(histogram.shadowsShare())));
    m_clipping[1]->setToolTip(tr("Clipped highlights: %1 of the pixels have a channel at white.\n"
                                 "Click to mark them on the photo in red.")
                                  .arg(share(histogram.highlightsShare())));
}

bool CAdjustPanel::marksShadows() const
{
    return m_clipping[0]->isChecked();
}

bool CAdjustPanel::marksHighlights() const
{
    return m_clipping[1]->isChecked();
}

bool CAdjustPanel::picking(LevelsPick& pick) const
{
    return m_levels->picking(pick);
}

bool CAdjustPanel::pickLevels(LevelsPick pick, const std::array<double, 3>& rgb)
{
    const bool done = PickLevels(m_tone.levels, pick, rgb);
    endPicking();
    if (done) {
        // The channels changed: show one of them rather than unchanged RGB.
        if (m_levels->channel() == ToneChannel::Rgb)
            m_levels->setChannel(ToneChannel::Red);
        m_levels->showLevels(m_tone.levels[size_t(m_levels->channel())]);
        changed();
    }
    return done;
}

void CAdjustPanel::endPicking()
{
    m_levels->endPicking();
}

void CAdjustPanel::changed()
{
    updateButtons();
    m_notify->start();
}

void CAdjustPanel::updateButtons()
{
    const bool changedAny = !params().isIdentity();
    bool sectionChanged = false;
    switch (m_section) {
    case SlidersSection:
        sectionChanged = std::any_of(m_sliders.begin(), m_sliders.end(),
                                     [](const CResettingSlider* s) { return s->value() != s->neutral(); });
        break;
    case LevelsSection:
        sectionChanged = std::any_of(m_tone.levels.begin(), m_tone.levels.end(),
                                     [](const Levels& l) { return !l.isIdentity(); });
        break;
    default:
        sectionChanged = std::any_of(m_tone.curves.begin(), m_tone.curves.end(),
                                     [](const Curve& c) { return !c.isIdentity(); });
        break;
    }
    m_reset->setEnabled(sectionChanged);
    m_apply->setEnabled(changedAny);
}

void CAdjustPanel::showCurve()
{
    const ToneChannel channel = m_curves->channel();
    const Curve& curve = m_tone.curves[size_t(channel)];
    m_graph->setCurve(curve, channel);
    if (m_bigGraph)
        m_bigGraph->setCurve(curve, channel);
    m_curves->showPoint(m_graph->curve(), m_graph->selectedPoint());
}

void CAdjustPanel::curveEdited(const Curve& curve)
{
    m_tone.curves[size_t(m_curves->channel())] = curve;
    showCurve();
    changed();
}

void CAdjustPanel::openCurveWindow()
{
    if (!m_curveWindow) {
        m_curveWindow = new QDialog(this, Qt::Tool);
        m_curveWindow->setObjectName(QStringLiteral("curveWindow"));
        m_curveWindow->setWindowTitle(tr("Curve"));
        auto* layout = new QVBoxLayout(m_curveWindow);
        m_bigGraph = new CToneGraph(m_curveWindow);
        m_bigGraph->setMinimumSize(300, 300);
        m_bigGraph->setEditing(true);
        m_bigGraph->setShowChannels(m_channels->isChecked());
        m_bigGraph->setHistogram(m_graph->histogram());
        layout->addWidget(m_bigGraph);
        connect(m_bigGraph, &CToneGraph::curveEdited, this, &CAdjustPanel::curveEdited);
        connect(m_bigGraph, &CToneGraph::selectionChanged, this,
                [this] { m_curves->showPoint(m_bigGraph->curve(), m_bigGraph->selectedPoint()); });
        showCurve();
    }
    m_curveWindow->show();
    m_curveWindow->raise();
    m_bigGraph->setFocus();
}

void CAdjustPanel::hideEvent(QHideEvent*)
{
    if (m_curveWindow)
        m_curveWindow->hide();
    endPicking();
}

void CAdjustPanel::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CAdjustPanel::layoutControls()
{
    // The square and its column, the section switches, the section, and the
    // buttons; three rows of controls in the panel's height.
    // Columns are as wide as their longest text needs (German runs long).
    constexpr int kMargin = 6, kGap = 10, kPadding = 14;
    auto textWidth = [](const QWidget* w, const QString& text) {
        return w->fontMetrics().horizontalAdvance(text.simplified().remove(QLatin1Char('&'))) + kPadding;
    };
    int kButtons = 74, kSwitches = 64;
    for (const QPushButton* b : {m_auto, m_reset, m_apply})
        kButtons = std::max(kButtons, textWidth(b, b->text()));
    for (const QToolButton* b : m_sectionButtons)
        kSwitches = std::max(kSwitches, textWidth(b, b->text()));
    const int kSide = std::max({56, textWidth(m_channels, tr("Luma")), textWidth(m_channels, tr("RGB"))});
    const int h = height();
    const int square = std::max(40, h - 8);
    m_graph->setGeometry(kMargin, 4, square, square);
    const int rowHeight = (square - 4) / 3;
    const int sideX = kMargin + square + 4;
    m_channels->setGeometry(sideX, 4, kSide, rowHeight);
    m_clipping[1]->setGeometry(sideX, 4 + rowHeight + 2, kSide, rowHeight);
    m_clipping[0]->setGeometry(sideX, 4 + 2 * (rowHeight + 2), kSide, rowHeight);
    for (QToolButton* b : m_clipping)
        b->setIconSize(QSize(rowHeight / 2, rowHeight / 2));
    const int switchX = sideX + kSide + 6;
    for (int s = 0; s < kSectionCount; ++s)
        m_sectionButtons[size_t(s)]->setGeometry(switchX, 4 + s * (rowHeight + 2), kSwitches, rowHeight);
    const int buttonX = width() - kMargin - kButtons;
    QPushButton* buttons[3] = {m_auto, m_reset, m_apply};
    for (int k = 0; k < 3; ++k)
        buttons[k]->setGeometry(buttonX, 4 + k * (rowHeight + 2), kButtons, rowHeight);

    const int left = switchX + kSwitches + kGap;
    const QRect area(left, 4, std::max(200, buttonX - kGap - left), square);
    m_sliderArea->setGeometry(area);
    m_levels->setGeometry(area);
    m_curves->setGeometry(area);

    // Four columns of two sliders.
    constexpr int columns = 4, kColumnGap = 6;
    const int cell = (area.width() - (columns - 1) * kColumnGap) / columns;
    const int half = area.height() / 2;
    const int labelHeight = std::max(14, m_names[0]->sizeHint().height());
    int valueWidth = 0;
    for (int i = 0; i < kSettingCount; ++i)
        valueWidth = std::max(valueWidth, m_values[size_t(i)]->fontMetrics().horizontalAdvance(
                                              valueText(Setting(i), i == Exposure ? -300 : -100)) + 2);
    for (int i = 0; i < kSettingCount; ++i) {
        const int x = (i % columns) * (cell + kColumnGap), y = (i / columns) * half;
        m_names[size_t(i)]->setGeometry(x, y, cell - valueWidth, labelHeight);
        m_values[size_t(i)]->setGeometry(x + cell - valueWidth, y, valueWidth, labelHeight);
        m_sliders[size_t(i)]->setGeometry(x, y + labelHeight, cell, std::max(16, half - labelHeight - 2));
    }
}

} // namespace ombrik
