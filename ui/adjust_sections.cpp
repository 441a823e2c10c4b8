#include "ui/adjust_sections.h"

#include "ui/tone_graph.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace ombrik {

namespace {

QFont SmallFont(const QWidget* w)
{
    QFont small = w->font();
    small.setPointSizeF(std::max(6.5, small.pointSizeF() - 1));
    return small;
}

// An eyedropper: a pipette whose drop is the colour it stands for.
QIcon PipetteIcon(const QColor& drop)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(16, 16);
    p.rotate(45);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(90, 90, 100));
    p.drawRoundedRect(QRectF(-4, -14, 8, 8), 2, 2);  // the bulb
    p.setBrush(QColor(230, 230, 235));
    QPainterPath tube;
    tube.moveTo(-3, -6);
    tube.lineTo(3, -6);
    tube.lineTo(1.5, 8);
    tube.lineTo(-1.5, 8);
    tube.closeSubpath();
    p.drawPath(tube);
    p.setBrush(drop);
    p.drawEllipse(QPointF(0, 12), 3.2, 3.2);
    p.end();
    return QIcon(pm);
}

ToneChannel ClampChannel(int index)
{
    return ToneChannel(std::clamp(index, 0, kToneChannels - 1));
}

void FillChannels(QComboBox* box)
{
    for (int c = 0; c < kToneChannels; ++c)
        box->addItem(ToneChannelName(ToneChannel(c)));
}

} // namespace

QString ToneChannelName(ToneChannel channel)
{
    static const char* const kNames[] = {QT_TRANSLATE_NOOP("CAdjustPanel", "RGB"),
                                         QT_TRANSLATE_NOOP("CAdjustPanel", "Red"),
                                         QT_TRANSLATE_NOOP("CAdjustPanel", "Green"),
                                         QT_TRANSLATE_NOOP("CAdjustPanel", "Blue")};
    return QCoreApplication::translate("CAdjustPanel", kNames[int(channel)]);
}

// --- Levels -----------------------------------------------------------------------

CLevelsSection::CLevelsSection(QWidget* parent) : QWidget(parent)
{
    const QFont small = SmallFont(this);
    m_channel = new QComboBox(this);
    m_channel->setObjectName(QStringLiteral("levelsChannel"));
    FillChannels(m_channel);
    m_channel->setToolTip(tr("The channel whose levels are shown: RGB for all three together"));
    connect(m_channel, &QComboBox::currentIndexChanged, this, &CLevelsSection::channelChanged);

    const char* const names[3] = {QT_TR_NOOP("Black"), QT_TR_NOOP("Mid-tones"), QT_TR_NOOP("White")};
    for (int k = 0; k < 3; ++k) {
        m_labels[size_t(k)] = new QLabel(tr(names[k]), this);
        m_labels[size_t(k)]->setFont(small);
    }
    m_black = new QSpinBox(this);
    m_black->setRange(0, 253);
    m_black->setToolTip(tr("The input level that becomes black"));
    m_gamma = new QDoubleSpinBox(this);
    m_gamma->setRange(Levels::kMinGamma, Levels::kMaxGamma);
    m_gamma->setDecimals(2);
    m_gamma->setSingleStep(0.05);
    m_gamma->setValue(1);
    m_gamma->setToolTip(tr("Mid-tone gamma: above 1 brightens the mid-tones, below 1 darkens them"));
    m_white = new QSpinBox(this);
    m_white->setRange(2, 255);
    m_white->setValue(255);
    m_white->setToolTip(tr("The input level that becomes white"));
    for (QWidget* w : {static_cast<QWidget*>(m_black), static_cast<QWidget*>(m_gamma), static_cast<QWidget*>(m_white)})
        w->setFont(small);
    connect(m_black, &QSpinBox::valueChanged, this, &CLevelsSection::fromBoxes);
    connect(m_gamma, &QDoubleSpinBox::valueChanged, this, &CLevelsSection::fromBoxes);
    connect(m_white, &QSpinBox::valueChanged, this, &CLevelsSection::fromBoxes);

    m_bar = new CLevelsBar(this);
    connect(m_bar, &CLevelsBar::levelsEdited, this, [this](const Levels& l) {
        showLevels(l);
        emit levelsEdited(l);
    });

    const char* const tips[3] = {
        QT_TR_NOOP("Black eyedropper: click on the photo where it should be black"),
        QT_TR_NOOP("White eyedropper: click on the photo where it should be white"),
        QT_TR_NOOP("Grey eyedropper: click on the photo where it should be a neutral grey"),
    };
    const QColor drops[3] = {QColor(0, 0, 0), QColor(255, 255, 255), QColor(128, 128, 128)};
    const char* const ids[3] = {"pickBlack", "pickWhite", "pickGrey"};
    for (int k = 0; k < 3; ++k) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(ids[k]));
        b->setCheckable(true);
        b->setIcon(PipetteIcon(drops[k]));
        b->setToolTip(tr(tips[k]));
        b->setAutoRaise(true);
        connect(b, &QToolButton::toggled, this, [this, k](bool on) {
            if (on)
                for (int j = 0; j < 3; ++j)
                    if (j != k)
                        m_pick[size_t(j)]->setChecked(false);
            emit pickingChanged();
        });
        m_pick[size_t(k)] = b;
    }
}

ToneChannel CLevelsSection::channel() const
{
    return ClampChannel(m_channel->currentIndex());
}

void CLevelsSection::setChannel(ToneChannel channel)
{
    m_channel->setCurrentIndex(int(channel));
}

void CLevelsSection::showLevels(const Levels& levels)
{
    m_showing = true;
    m_black->setValue(int(std::lround(levels.black)));
    m_gamma->setValue(levels.gamma);
    m_white->setValue(int(std::lround(levels.white)));
    m_bar->setLevels(levels);
    m_showing = false;
}

void CLevelsSection::fromBoxes()
{
    if (m_showing)
        return;
    Levels l{double(m_black->value()), m_gamma->value(), double(m_white->value())};
    // The box just changed wins; the other end point gives way.
    if (l.black + 2 > l.white) {
        if (sender() == m_white)
            l.black = l.white - 2;
        else
            l.white = l.black + 2;
    }
    showLevels(l);
    emit levelsEdited(l);
}

bool CLevelsSection::picking(LevelsPick& pick) const
{
    for (int k = 0; k < 3; ++k)
        if (m_pick[size_t(k)]->isChecked()) {
            pick = LevelsPick(k);
            return true;
        }
    return false;
}

void CLevelsSection::endPicking()
{
    for (QToolButton* b : m_pick)
        b->setChecked(false);
}

void CLevelsSection::resizeEvent(QResizeEvent*)
{
    // Two rows: the channel and the three numbers; the bar and the eyedroppers.
    const int w = width(), h = height();
    const int row = h / 2;
    const int boxHeight = std::min(row - 2, std::max(20, m_black->sizeHint().height()));
    const int channelWidth = std::clamp(w / 5, 60, 90);
    m_channel->setGeometry(0, (row - boxHeight) / 2, channelWidth, boxHeight);
    const int rest = w - channelWidth - 8;
    const int cell = rest / 3;
    QWidget* boxes[3] = {m_black, m_gamma, m_white};
    for (int k = 0; k < 3; ++k) {
        const int x = channelWidth + 8 + k * cell;
        const int label = std::min(cell / 2, m_labels[size_t(k)]->sizeHint().width() + 4);
        m_labels[size_t(k)]->setGeometry(x, 0, label, row);
        boxes[k]->setGeometry(x + label, (row - boxHeight) / 2, std::min(70, cell - label - 6), boxHeight);
    }
    const int pick = std::min(row - 2, 26);
    const int picks = 3 * (pick + 2);
    m_bar->setGeometry(0, row + 2, w - picks - 8, h - row - 4);
    for (int k = 0; k < 3; ++k) {
        // Black, grey, white from left to right.
        const int order = k == int(LevelsPick::Black) ? 0 : k == int(LevelsPick::Grey) ? 1 : 2;
        m_pick[size_t(k)]->setGeometry(w - picks + order * (pick + 2), row + (h - row - pick) / 2, pick, pick);
        m_pick[size_t(k)]->setIconSize(QSize(pick - 6, pick - 6));
    }
}

// --- Curves -----------------------------------------------------------------------

CCurvesSection::CCurvesSection(QWidget* parent) : QWidget(parent)
{
    m_channel = new QComboBox(this);
    m_channel->setObjectName(QStringLiteral("curvesChannel"));
    FillChannels(m_channel);
    m_channel->setToolTip(tr("The channel whose curve is edited: RGB for all three together"));
    connect(m_channel, &QComboBox::currentIndexChanged, this, &CCurvesSection::channelChanged);

    m_presets = new QPushButton(tr("Presets"), this);
    m_presets->setObjectName(QStringLiteral("curvePresets"));
    auto* menu = new QMenu(m_presets);
    const char* const names[kCurvePresets] = {QT_TR_NOOP("Linear"), QT_TR_NOOP("Soft S"), QT_TR_NOOP("Strong S"),
                                              QT_TR_NOOP("Lift shadows")};
    for (int i = 0; i < kCurvePresets; ++i)
        menu->addAction(tr(names[i]), this, [this, i] { emit presetChosen(CurvePreset(i)); });
    m_presets->setMenu(menu);
    m_presets->setToolTip(tr("Starts the channel's curve from a preset"));

    m_popOut = new QPushButton(tr("Larger…"), this);
    m_popOut->setObjectName(QStringLiteral("curvePopOut"));
    m_popOut->setToolTip(tr("Edits the curve in a larger square of its own"));
    connect(m_popOut, &QPushButton::clicked, this, &CCurvesSection::popOutRequested);

    m_readout = new QLabel(this);
    m_readout->setFont(SmallFont(this));
    showPoint(Curve::linear(), -1);
}

ToneChannel CCurvesSection::channel() const
{
    return ClampChannel(m_channel->currentIndex());
}

void CCurvesSection::setChannel(ToneChannel channel)
{
    m_channel->setCurrentIndex(int(channel));
}

void CCurvesSection::showPoint(const Curve& curve, int index)
{
    if (index < 0 || index >= int(curve.points.size())) {
        m_readout->setText(tr("Click the square to add a point; drag one off to remove it"));
        return;
    }
    const CurvePoint p = curve.points[size_t(index)];
    m_readout->setText(tr("Point %1 of %2: in %3, out %4").arg(index + 1).arg(curve.points.size()).arg(p.x).arg(p.y));
}

void CCurvesSection::resizeEvent(QResizeEvent*)
{
    const int w = width(), h = height();
    const int row = h / 2;
    const int boxHeight = std::min(row - 2, std::max(20, m_channel->sizeHint().height()));
    const int channelWidth = std::clamp(w / 5, 60, 90);
    m_channel->setGeometry(0, (row - boxHeight) / 2, channelWidth, boxHeight);
    const int button = std::clamp((w - channelWidth - 16) / 2, 60, 100);
    m_presets->setGeometry(channelWidth + 8, (row - boxHeight) / 2, button, boxHeight);
    m_popOut->setGeometry(channelWidth + 16 + button, (row - boxHeight) / 2, button, boxHeight);
    m_readout->setGeometry(0, row, w, h - row);
}

} // namespace ombrik
