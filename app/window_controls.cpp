// The main window's controls as they are made: the panels, the buttons and
// menus from the command table, and the sliders.
#include "app/editor_dlg.h"

#include "app/adjust_controller.h"
#include "app/file_controller.h"
#include "app/panel_controller.h"
#include "ui/adjust_panel.h"
#include "ui/artwork.h"
#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/effect_panel.h"
#include "ui/flat_button.h"
#include "ui/frame_panel.h"
#include "ui/text_panel.h"
#include "view/photo_canvas.h"

#include <QAction>
#include <QMenu>
#include <QSlider>

#include <algorithm>

namespace ombrik {

namespace {

const QColor kStripGrey(0xDC, 0xDC, 0xDC);

const char* kMenuStyle =
    "QMenu { background: #fbfbfd; border: 1px solid #8c8c96; border-radius: 6px; padding: 5px 0; }"
    "QMenu::item { padding: 6px 28px 6px 30px; color: #23262e; border-radius: 4px; margin: 0 4px; }"
    "QMenu::item:selected { background: rgba(100, 100, 200, 46); color: #14143c; }"
    "QMenu::item:disabled { color: #a0a2a8; }"
    "QMenu::icon { padding-left: 8px; }"
    "QMenu::separator { height: 1px; background: #dcdce2; margin: 4px 10px; }";

} // namespace

void CEditorDlg::createPanels()
{
    for (int c = 0; c < 4; ++c) {
        // The Filters thumbnails are computed now; their progress is not shown.
        m_suppressProgress = c == int(EffectCategory::Filters);
        m_strips[size_t(c)] = new CEffectPanel(EffectCategory(c), this, this);
        m_suppressProgress = false;
    }
    m_brushPicker = new CBrushPicker(this, this);
    m_palette = new CColourPalette(this, this);
    // Areas the Text panel and the photo frame panel fill with their controls.
    m_textEditor = new CTextPanel(this, this);
    m_template = m_textEditor->textTemplate();
    m_textEditor->setObjectName(QStringLiteral("textPanel"));
    m_textEditor->setAutoFillBackground(true);
    QPalette pal = m_textEditor->palette();
    pal.setColor(QPalette::Window, kStripGrey);
    m_textEditor->setPalette(pal);
    m_adjustPanel = new CAdjustPanel(this);
    m_adjustPanel->setObjectName(QStringLiteral("adjustPanel"));
    connect(m_adjustPanel, &CAdjustPanel::paramsChanged, this, [this] { m_panels->previewAdjustment(); });
    connect(m_adjustPanel, &CAdjustPanel::applyRequested, this, [this] { m_panels->applyAdjustment(); });
    new AdjustController(*this, *m_adjustPanel, [this](const QString& text) { showNotice(text); });
    m_framePanel = new CFramePanel(this, this);
    m_framePanel->setObjectName(QStringLiteral("framePanel"));
    m_framePanel->loadThumbnails();
}

void CEditorDlg::createButtons()
{
    auto make = [this](int id, CFlatButton::Style style, bool withCaption) {
        const Command* c = FindCommand(id);
        auto* b = new CFlatButton(style, c->glyph, withCaption ? CommandCaption(*c) : QString(), this);
        b->setToolTip(CommandTip(*c));
        b->setCommandId(id);
        // Menu buttons drop their menu down on the press, the others act on the click.
        if (style == CFlatButton::Style::Menu)
            connect(b, &QAbstractButton::pressed, this, [this, id] { command(id); });
        else
            connect(b, &QAbstractButton::clicked, this, [this, id] { command(id); });
        m_buttons[id] = b;
        return b;
    };
    const std::array<int, 6> panels = {cmd::RetouchPanel, cmd::FiltersPanel, cmd::WarpPanel,
                                       cmd::LightingPanel, cmd::TextPanel,   cmd::AdjustPanel};
    for (size_t i = 0; i < panels.size(); ++i) {
        m_panelButtons[i] = make(panels[i], CFlatButton::Style::Panel, true);
        m_panelButtons[i]->setToolTip(QString());
        m_panelButtons[i]->setCheckable(true);
        m_panelButtons[i]->setManualCheck(true);
    }
    make(cmd::OpenButton, CFlatButton::Style::Action, true);
    make(cmd::SaveButton, CFlatButton::Style::Action, true);
    for (int id : ToolStripButtons())
        if (id != 0)
            make(id, CFlatButton::Style::Tool, false);
    const std::array<int, 4> menus = {cmd::FileMenuButton, cmd::EditMenuButton, cmd::PanelMenuButton,
                                      cmd::HelpMenuButton};
    for (size_t i = 0; i < menus.size(); ++i) {
        m_menuButtons[i] = make(menus[i], CFlatButton::Style::Menu, true);
        m_menuButtons[i]->setToolTip(QString());
    }
    const std::array<int, 3> captions = {cmd::Minimize, cmd::Maximize, cmd::Close};
    for (size_t i = 0; i < captions.size(); ++i)
        m_captionButtons[i] = make(captions[i], CFlatButton::Style::Caption, false);
    m_restore = make(cmd::RestoreBrush, CFlatButton::Style::Tile, true);
    m_restore->setCheckable(true);
    m_restore->setManualCheck(true);
    // "Reduce Warp" has no tile on the Warp strip; this button chooses it.
    m_reduceWarp = new CFlatButton(CFlatButton::Style::Action, Glyph::Warp, tr("Reduce Warp"), this);
    m_reduceWarp->setCheckable(true);
    m_reduceWarp->setManualCheck(true);
    m_reduceWarp->setToolTip(tr("Eases the warping under the brush back towards the photo before warping"));
    connect(m_reduceWarp, &QAbstractButton::clicked, this, [this] {
        m_canvas->setRetouch(CPhotoCanvas::Retouch::None);
        m_panels->chooseEffect(kReduceWarpId);
    });
}

void CEditorDlg::createMenus()
{
    // One action per command, shared by every menu that lists it; the key is
    // shown (its context is the action's own widget, so the window's key
    // routing alone runs it).
    for (const Command& c : Commands()) {
        auto* a = new QAction(GlyphIcon(c.glyph), CommandText(c), this);
        if (!c.keyInText && c.keys[0] != QKeyCombination()) {
            a->setShortcut(QKeySequence(c.keys[0]));
            a->setShortcutContext(Qt::WidgetShortcut);
        }
        const int id = c.id;
        connect(a, &QAction::triggered, this, [this, id] { command(id); });
        m_actions[id] = a;
    }
    auto fill = [this](QMenu* m, std::span<const int> items) {
        m->setStyleSheet(QString::fromUtf8(kMenuStyle));
        for (int id : items) {
            if (id == 0) {
                m->addSeparator();
            } else if (id == kRecentMenu) {
                QMenu* recent = m->addMenu(GlyphIcon(Glyph::File), tr("Open Recent"));
                recent->setStyleSheet(QString::fromUtf8(kMenuStyle));
                m_files->setRecentMenu(recent);
            } else if (m == m_contextMenu && CanonicalCommand(id) == cmd::SaveButton) {
                QAction* saveAs = m->addAction(GlyphIcon(Glyph::Save), tr("Save as..."));
                connect(saveAs, &QAction::triggered, this, [this] { command(cmd::SaveButton); });
            } else {
                m->addAction(action(id));
            }
        }
    };
    const std::pair<int, std::span<const int>> menus[] = {{cmd::FileMenuButton, FileMenuItems()},
                                                          {cmd::EditMenuButton, EditMenuItems()},
                                                          {cmd::PanelMenuButton, PanelMenuItems()},
                                                          {cmd::HelpMenuButton, HelpMenuItems()}};
    for (const auto& [id, items] : menus) {
        m_menus[id] = new QMenu(this);
        fill(m_menus[id], items);
    }
    m_contextMenu = new QMenu(this);
    fill(m_contextMenu, ContextMenuItems());
}

void CEditorDlg::createSliders()
{
    auto make = [this](int maximum, int value, const QString& tip) {
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setRange(0, maximum);
        s->setValue(value);
        s->setFocusPolicy(Qt::NoFocus);
        s->setCursor(Qt::PointingHandCursor);
        s->setToolTip(tip);
        return s;
    };
    m_opacity = make(255, 255, tr("Opacity of the retouch brush"));
    connect(m_opacity, &QSlider::valueChanged, this, [this](int v) {
        m_session.setStrength(float(v) / 255.0f);
        update(width() - 40, 56, 40, 24);
    });
    m_deformRadius = make(200, 90, tr("Radius of the warp brush"));
    connect(m_deformRadius, &QSlider::valueChanged, this, [this](int v) {
        // The warp brush takes its size from the radius while a warp effect is chosen.
        const EffectId id = m_session.document().effectId();
        if (CategoryOfEffect(id) == EffectCategory::Warp || id == kReduceWarpId)
            m_session.setBrushSize(std::max(1, v));
        update(width() - 40, 74, 40, 54);
    });
    m_deformAmount = make(100, 30, tr("Strength of the warp brush"));
    connect(m_deformAmount, &QSlider::valueChanged, this, [this](int v) {
        m_session.setWarpAmount(v);
        update(width() - 40, 74, 40, 54);
    });
}

} // namespace ombrik
