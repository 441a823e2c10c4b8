#include "ui/text_panel.h"

#include "canvas/text_drawing.h"

#include "ui/style_grid.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextCursor>

#include <algorithm>

namespace ombrik {

namespace {

QColor ToQColor(uint32_t c)
{
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

uint32_t FromQColor(const QColor& c)
{
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

// Captions and labels of the two colour pickers, as the panel has always had them.
struct PickerTexts {
    const char* caption;
    const char* colourLabel;
    const char* customLabel;
};
constexpr PickerTexts kPickerTexts[2] = {{"Text Color", "Color", "Custom Color"},
                                         {"Shaow Color", "Color", "Costom Color"}};

} // namespace

QStringList CTextPanel::fontFaces()
{
    return TextFontFaces();
}

CTextPanel::CTextPanel(MessageTarget* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(220, 220, 220));
    setPalette(pal);

    m_opacity = new QSlider(Qt::Horizontal, this);
    m_opacity->setObjectName(QStringLiteral("textOpacity"));
    m_opacity->setRange(0, 100);
    m_opacity->setValue(100);
    connect(m_opacity, &QSlider::valueChanged, this, [this](int position) {
        m_template.transparency = float(100 - position) * 0.01f;
        update();
        sendTemplate();
    });

    m_fonts = new QComboBox(this);
    m_fonts->setObjectName(QStringLiteral("textFont"));
    const QStringList faces = fontFaces();
    m_fonts->addItems(faces);
    int widest = 0;
    for (const QString& face : faces)
        widest = std::max(widest, m_fonts->fontMetrics().horizontalAdvance(face));
    m_fonts->view()->setMinimumWidth(widest + 30);
    m_template = DefaultTemplate(faces.isEmpty() ? std::string() : faces.first().toStdString());
    connect(m_fonts, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_template.font.faceName = m_fonts->itemText(index).toStdString().substr(0, 31);
        sendTemplate();
    });

    m_colour1 = new QPushButton(this);
    m_colour2 = new QPushButton(this);
    for (int which = 0; which < 2; ++which) {
        QPushButton* b = colourButton(which);
        b->setToolTip(tr(kPickerTexts[which].caption));
        connect(b, &QPushButton::clicked, this, [this, which] { chooseColour(which); });
    }
    updateColourButtons();

    m_grid = new CStyleGrid(this);
    m_grid->styleChosen = [this](int style) {
        std::tie(m_template.colour1, m_template.colour2) = StyleDefaultColours(style);
        m_template.style = style;
        updateColourButtons();
        sendTemplate();
    };

    m_textBox = new QPlainTextEdit(this);
    m_textBox->setObjectName(QStringLiteral("textBox"));
    m_textBox->setTabChangesFocus(true);
    connect(m_textBox, &QPlainTextEdit::textChanged, this, [this] {
        if (m_limiting)
            return;
        // At most kMaxTextCharacters: anything beyond is cut off where it came in.
        const QString all = m_textBox->toPlainText();
        if (all.size() > kMaxTextCharacters) {
            m_limiting = true;
            QTextCursor cursor = m_textBox->textCursor();
            const int position = std::min(cursor.position(), kMaxTextCharacters);
            m_textBox->setPlainText(all.left(kMaxTextCharacters));
            cursor = m_textBox->textCursor();
            cursor.setPosition(position);
            m_textBox->setTextCursor(cursor);
            m_limiting = false;
        }
        m_template.text = text().toStdString();
        if (m_owner)
            m_owner->sendMessage(WM_TEXT_CHANGED, 0, 0);
    });

    m_add = new QPushButton(tr("Add"), this);
    m_merge = new QPushButton(tr("Merge Down"), this);
    connect(m_add, &QPushButton::clicked, this, [this] {
        if (m_owner)
            m_owner->sendMessage(WM_TEXT_COMMAND, 0, 0);
    });
    connect(m_merge, &QPushButton::clicked, this, [this] {
        if (m_owner)
            m_owner->sendMessage(WM_TEXT_COMMAND, 1, 0);
    });

    setFocusProxy(m_textBox);
    layoutControls();
}

QString CTextPanel::text() const
{
    return m_textBox->toPlainText().left(kMaxTextCharacters);
}

void CTextPanel::showText(const QString& text, bool selectAll)
{
    m_textBox->setPlainText(text.left(kMaxTextCharacters));
    QTextCursor cursor = m_textBox->textCursor();
    cursor.movePosition(QTextCursor::End);
    if (selectAll)
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    m_textBox->setTextCursor(cursor);
    m_textBox->setFocus();
}

void CTextPanel::sendTemplate()
{
    if (m_owner)
        m_owner->sendMessage(WM_TEMPLATE_CHANGED, 0, 0);
}

void CTextPanel::chooseColour(int which)
{
    const PickerTexts& texts = kPickerTexts[which];
    const QColor chosen = QColorDialog::getColor(ToQColor(which == 0 ? m_template.colour1 : m_template.colour2),
                                                 this, tr(texts.caption));
    if (chosen.isValid())
        pickColour(which, FromQColor(chosen));
}

void CTextPanel::pickColour(int which, uint32_t colour)
{
    (which == 0 ? m_template.colour1 : m_template.colour2) = colour & 0xFFFFFF;
    updateColourButtons();
    sendTemplate();
}

void CTextPanel::updateColourButtons()
{
    for (int which = 0; which < 2; ++which) {
        const QColor c = ToQColor(which == 0 ? m_template.colour1 : m_template.colour2);
        colourButton(which)->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid #555; }")
                                               .arg(c.name()));
    }
}

void CTextPanel::layoutControls()
{
    const int right = width(), bottom = height();
    // The columns move right by what a longer translation of a label needs.
    const QFontMetrics m(font());
    m_labelWidth = std::max({56, m.horizontalAdvance(tr("Opacity:")), m.horizontalAdvance(tr("Font:"))});
    m_colourLabelWidth =
        std::max({64, m.horizontalAdvance(tr("1st Color:")), m.horizontalAdvance(tr("2nd Color:"))});
    const int controls = 14 + m_labelWidth + 4;
    const int colours = std::max(262, controls + 124 + m_colourLabelWidth + 8);
    m_frameRight = colours + 103;
    const int grid = std::max(400, m_frameRight + 8 + m.horizontalAdvance(tr("Style")) + 8);
    const int box = grid + 120;
    m_opacity->setGeometry(controls, 18, 80, 11);
    m_fonts->setGeometry(controls, 38, 110, 22);
    m_colour1->setGeometry(colours, 14, 90, 20);
    m_colour2->setGeometry(colours, 44, 90, 20);
    m_grid->setGeometry(QRect(QPoint(grid, 10), QPoint(grid + 109, std::max(10, bottom - 11))));
    m_textBox->setGeometry(QRect(QPoint(box, 10), QPoint(std::max(box, right - 11), std::max(10, bottom - 27))));
    const int addWidth = std::max(76, m_add->sizeHint().width());
    m_add->setGeometry(box, bottom - 24, addWidth, 20);
    m_merge->setGeometry(box + addWidth, bottom - 24, std::max(90, m_merge->sizeHint().width()), 20);
}

void CTextPanel::resizeEvent(QResizeEvent*)
{
    layoutControls();
}

void CTextPanel::showEvent(QShowEvent*)
{
    // Showing the panel is for writing: the text box takes the keys.
    m_textBox->setFocus();
}

void CTextPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(QColor(40, 40, 40));
    auto label = [&](const QRect& control, const QString& text, int width) {
        p.drawText(QRect(control.left() - width - 4, control.top() - 4, width, control.height() + 8),
                   Qt::AlignRight | Qt::AlignVCenter, text);
    };
    label(m_opacity->geometry(), tr("Opacity:"), m_labelWidth);
    label(m_fonts->geometry(), tr("Font:"), m_labelWidth);
    label(m_colour1->geometry(), tr("1st Color:"), m_colourLabelWidth);
    label(m_colour2->geometry(), tr("2nd Color:"), m_colourLabelWidth);
    label(m_grid->geometry(), tr("Style"), m_grid->x() - m_frameRight - 8);
    const QRect s = m_opacity->geometry();
    p.drawText(QRect(s.right() + 5, s.top() - 4, 36, s.height() + 8), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1%").arg(m_opacity->value()));
    p.setPen(QColor(150, 150, 150));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(10, 10), QPoint(m_frameRight, height() - 10)));
    p.drawRect(m_grid->geometry().adjusted(-1, -1, 0, 0));
}

} // namespace ombrik
