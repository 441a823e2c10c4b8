#include "app/editor_dlg.h"

#include "app/editor_app.h"
#include "canvas/photo_canvas.h"
#include "ui/auto_resize_dialog.h"
#include "files/image_encoder.h"
#include "files/photo_loader.h"
#include "files/photo_saver.h"
#include "files/picture_formats.h"
#include "ui/adjust_panel.h"
#include "ui/save_as_dialog.h"
#include "ui/artwork.h"
#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/effect_panel.h"
#include "ui/fade_dialog.h"
#include "ui/flat_button.h"
#include "ui/frame_panel.h"
#include "ui/message_box.h"
#include "ui/resize_dialog.h"
#include "ui/progress_box.h"
#include "ui/text_panel.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QKeySequence>
#include <QLocale>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace ombrik {

namespace {

constexpr int kMaxRecentFiles = 8;
const QColor kBody(172, 172, 172);
const QColor kStripGrey(0xDC, 0xDC, 0xDC);

const char* kModifiedQuestion = QT_TRANSLATE_NOOP("CEditorDlg", "Current photo has been modified, Do you want to save it?");

// The date taken (in the user's short format) and the camera, as far as the
// photo recorded them.
QStringList CameraLines(const PhotoMetadata& metadata)
{
    QStringList lines;
    if (!metadata.dateTaken.empty()) {
        const QString text = QString::fromStdString(metadata.dateTaken);
        QDateTime taken = QDateTime::fromString(text.left(19), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        if (!taken.isValid())
            taken = QDateTime::fromString(text.left(19), Qt::ISODate);
        lines << (taken.isValid() ? QLocale().toString(taken.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                          + QLocale().toString(taken.time(), QLocale::ShortFormat)
                                  : text);
    }
    if (!metadata.camera.empty())
        lines << QString::fromStdString(metadata.camera);
    return lines;
}

const char* kMenuStyle =
    "QMenu { background: #fbfbfd; border: 1px solid #8c8c96; border-radius: 6px; padding: 5px 0; }"
    "QMenu::item { padding: 6px 28px 6px 30px; color: #23262e; border-radius: 4px; margin: 0 4px; }"
    "QMenu::item:selected { background: rgba(100, 100, 200, 46); color: #14143c; }"
    "QMenu::item:disabled { color: #a0a2a8; }"
    "QMenu::icon { padding-left: 8px; }"
    "QMenu::separator { height: 1px; background: #dcdce2; margin: 4px 10px; }";

const char* kWindowStyle =
    "QToolTip { background: #30323c; color: #f4f4f8; border: none; padding: 4px 7px; border-radius: 4px; }"
    "QSlider::groove:horizontal { height: 4px; background: #8d8d94; border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #6464c8; border-radius: 2px; }"
    "QSlider::handle:horizontal { background: #fafafa; border: 1px solid #5a5a66; width: 12px; height: 12px;"
    " margin: -5px 0; border-radius: 6px; }"
    "QSlider::handle:horizontal:hover { background: #ffffff; border-color: #6464c8; }"
    "QPushButton#applyButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #7878dc, stop:1 #5656b4);"
    " color: white; border: 1px solid #47479a; border-radius: 4px; font-weight: bold; }"
    "QPushButton#applyButton:hover { background: #7070d8; }"
    "QPushButton#applyButton:pressed { background: #4a4aa0; }"
    "QLabel#notice { background: rgba(32, 34, 44, 225); color: #f4f4f8; border-radius: 8px; padding: 8px 14px; }";

} // namespace

CEditorDlg::CEditorDlg(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QString::fromUtf8(kProductTitle));
    setWindowIcon(LogoIcon());
    setMouseTracking(true);
    setAcceptDrops(true);
    setMinimumSize(kMinWidth, kMinHeight);
    setStyleSheet(QString::fromUtf8(kWindowStyle));
    setProperty(CEditorApp::kInstanceId, 1);
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        setGeometry(area.x(), area.y(), std::max(kMinWidth, area.width()), std::max(kMinHeight, area.height() - 10));
        // Never larger than the screen's width and the maximised height.
        setMaximumSize(std::max(kMinWidth, s->geometry().width()), std::max(kMinHeight, area.height()));
    }

    // Progress from long effects goes to the canvas strip.
    m_progressSink = std::make_unique<ScopedProgressSink>(
        [this](int percent) { sendMessage(WM_EFFECT_PROGRESS, 0, percent); });

    createStrips();
    createButtons();
    createActions();
    createMenus();
    createSliders();

    m_canvas = new CPhotoCanvas(this, this);
    m_saveQuality = std::clamp(QSettings().value(QStringLiteral("saveQuality"), 90).toInt(), 1, 100);
    m_canvas->setObjectName(QStringLiteral("canvas"));
    m_canvas->document().historyChanged = [this] { sendMessage(WM_HISTORY_CHANGED, 0, 0); };
    // Filters and result brushes run on a worker with a progress box and Cancel.
    m_canvas->document().longRun = [this](const std::function<void()>& work, EffectId id) {
        const EffectInfo* info = FindEffect(id);
        QString name = info && info->name ? QString::fromUtf8(info->name) : tr("Effect");
        name.replace(QStringLiteral("&&"), QStringLiteral("&"));
        return RunWithProgress(this, name, work, m_progressBoxDelay);
    };
    m_canvas->textObjects().showSelectedText = [this](const std::string& text) {
        m_textEditor->showText(QString::fromStdString(text), true);
    };
    m_canvas->textObjects().showAddedText = [this](const std::string& text) {
        m_textEditor->showText(QString::fromStdString(text), false);
    };

    createViewControls();

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);

    // The threshold is not stored: each window starts from the default (and
    // a value stored by an earlier version is dropped).
    m_canvas->document().setThreshold(kDefaultThresholdWidth, kDefaultThresholdHeight);
    QSettings().remove(QStringLiteral("threshold"));

    qApp->installEventFilter(this);
    rebuildRecentMenu();
    showPanel(Panel::Retouch);
    layoutChildren();
    updateActions();
}

CEditorDlg::~CEditorDlg()
{
    qApp->removeEventFilter(this);
    // The canvas's document calls back into this window; stop that first.
    m_canvas->document().historyChanged = nullptr;
    m_canvas->setMessageTarget(nullptr);
}

// --- Creation ----------------------------------------------------------------

void CEditorDlg::createStrips()
{
    for (int c = 0; c < 4; ++c) {
        // The Filters thumbnails are computed now; their progress is not shown.
        m_suppressProgress = c == int(EffectCategory::Filters);
        m_strips[size_t(c)] = new CEffectPanel(EffectCategory(c), this, this);
        m_suppressProgress = false;
    }
    m_restore = new CFlatButton(CFlatButton::Style::Tile, Glyph::Restore, tr("Restore"), this);
    m_restore->setCheckable(true);
    m_restore->setManualCheck(true);
    m_restore->setCommandId(cmd::RestoreBrush);
    m_restore->setToolTip(tr("Restore brush: paints the photo as it was opened"));
    connect(m_restore, &QAbstractButton::clicked, this, [this] { command(cmd::RestoreBrush); });
    m_buttons[cmd::RestoreBrush] = m_restore;
    // "Reduce Warp" has no tile on the Warp strip; this button chooses it.
    m_reduceWarp = new CFlatButton(CFlatButton::Style::Action, Glyph::Warp, tr("Reduce Warp"), this);
    m_reduceWarp->setCheckable(true);
    m_reduceWarp->setManualCheck(true);
    m_reduceWarp->setToolTip(tr("Eases the warping under the brush back towards the photo before warping"));
    connect(m_reduceWarp, &QAbstractButton::clicked, this,
            [this] { sendMessage(WM_EFFECT_COMMAND, 0, kReduceWarpId); });

    m_brushPicker = new CBrushPicker(this, this);
    m_palette = new CColourPalette(this, this);

    // Areas the Text panel and the photo frame panel fill with their controls.
    m_textPanel = m_textEditor = new CTextPanel(this, this);
    m_template = m_textEditor->textTemplate();
    m_textPanel->setObjectName(QStringLiteral("textPanel"));
    m_textPanel->setAutoFillBackground(true);
    QPalette pal = m_textPanel->palette();
    pal.setColor(QPalette::Window, kStripGrey);
    m_textPanel->setPalette(pal);
    m_adjustPanel = new CAdjustPanel(this);
    m_adjustPanel->setObjectName(QStringLiteral("adjustPanel"));
    connect(m_adjustPanel, &CAdjustPanel::paramsChanged, this, &CEditorDlg::previewAdjustment);
    connect(m_adjustPanel, &CAdjustPanel::applyRequested, this, &CEditorDlg::applyAdjustment);
    m_framePanel = new CFramePanel(this, this);
    m_framePanel->setObjectName(QStringLiteral("framePanel"));
    m_framePanel->loadThumbnails();
}

void CEditorDlg::createButtons()
{
    const std::array<std::pair<Glyph, QString>, 6> panels = {
        std::pair{Glyph::Retouch, tr("Retouch")}, std::pair{Glyph::Filters, tr("Filters")},
        std::pair{Glyph::Warp, tr("Warp")}, std::pair{Glyph::Lighting, tr("Lighting")},
        std::pair{Glyph::Text, tr("Text")}, std::pair{Glyph::Adjust, tr("Adjust")}};
    const std::array<int, 6> panelIds = {cmd::RetouchPanel, cmd::FiltersPanel, cmd::WarpPanel, cmd::LightingPanel,
                                         cmd::TextPanel, cmd::AdjustPanel};
    for (size_t i = 0; i < panels.size(); ++i) {
        auto* b = new CFlatButton(CFlatButton::Style::Panel, panels[i].first, panels[i].second, this);
        b->setCheckable(true);
        b->setManualCheck(true);
        b->setCommandId(panelIds[i]);
        const int id = panelIds[i];
        connect(b, &QAbstractButton::clicked, this, [this, id] { command(id); });
        m_panelButtons[i] = b;
        m_buttons[id] = b;
    }

    auto makeAction = [this](int id, Glyph glyph, const QString& text) {
        auto* b = new CFlatButton(CFlatButton::Style::Action, glyph, text, this);
        b->setCommandId(id);
        connect(b, &QAbstractButton::clicked, this, [this, id] { command(id); });
        m_buttons[id] = b;
    };
    makeAction(cmd::OpenButton, Glyph::Open, tr("Open"));
    makeAction(cmd::SaveButton, Glyph::Save, tr("Save"));
    m_buttons[cmd::OpenButton]->setToolTip(tr("Open a photo (Ctrl+O)"));
    m_buttons[cmd::SaveButton]->setToolTip(tr("Save the photo as a picture file (Ctrl+Shift+S)"));

    const std::array<std::tuple<int, Glyph, QString>, 17> tools = {
        std::tuple{cmd::Undo, Glyph::Undo, tr("Undo")},
        std::tuple{cmd::Redo, Glyph::Redo, tr("Redo")},
        std::tuple{cmd::DeleteSelectedObject, Glyph::DeleteObject, tr("Delete Selected Object")},
        std::tuple{cmd::DeletePhotoFrame, Glyph::DeleteFrame, tr("Delete Photo Frame")},
        std::tuple{cmd::Preview, Glyph::Preview, tr("Preview")},
        std::tuple{cmd::AutoResizeThreshold, Glyph::Threshold, tr("Auto Resize Threshold")},
        std::tuple{cmd::ZoomToFit, Glyph::ZoomFit, tr("Zoom to Fit")},
        std::tuple{cmd::OriginalSize, Glyph::ActualSize, tr("Original Size")},
        std::tuple{cmd::ZoomIn, Glyph::ZoomIn, tr("Zoom in")},
        std::tuple{cmd::ZoomOut, Glyph::ZoomOut, tr("Zoom out")},
        std::tuple{cmd::Crop, Glyph::Crop, tr("Crop (C)")},
        std::tuple{cmd::Straighten, Glyph::Straighten, tr("Straighten (L)")},
        std::tuple{cmd::RotateLeft, Glyph::RotateLeft, tr("Rotate Left (Ctrl+Shift+R)")},
        std::tuple{cmd::RotateRight, Glyph::RotateRight, tr("Rotate Right (Ctrl+R)")},
        std::tuple{cmd::FlipHorizontal, Glyph::FlipHorizontal, tr("Flip Horizontal")},
        std::tuple{cmd::FlipVertical, Glyph::FlipVertical, tr("Flip Vertical")},
        std::tuple{cmd::ResizePhoto, Glyph::Resize, tr("Resize (Ctrl+Alt+I)")}};
    for (const auto& [id, glyph, tip] : tools) {
        auto* b = new CFlatButton(CFlatButton::Style::Tool, glyph, QString(), this);
        b->setToolTip(tip);
        b->setCommandId(id);
        const int commandId = id;
        connect(b, &QAbstractButton::clicked, this, [this, commandId] { command(commandId); });
        m_buttons[id] = b;
    }

    const std::array<std::pair<int, QString>, 4> menus = {
        std::pair{cmd::FileMenuButton, tr("File")}, std::pair{cmd::EditMenuButton, tr("Edit")},
        std::pair{cmd::PanelMenuButton, tr("Panels")}, std::pair{cmd::HelpMenuButton, tr("Help")}};
    for (size_t i = 0; i < menus.size(); ++i) {
        auto* b = new CFlatButton(CFlatButton::Style::Menu, Glyph::File, menus[i].second, this);
        const int id = menus[i].first;
        b->setCommandId(id);
        connect(b, &QAbstractButton::pressed, this, [this, id] { command(id); });
        m_menuButtons[i] = b;
        m_buttons[id] = b;
    }

    const std::array<std::tuple<int, Glyph, QString>, 3> captions = {
        std::tuple{cmd::Minimize, Glyph::Minimize, tr("Minimize")},
        std::tuple{cmd::Maximize, Glyph::Maximize, tr("Maximize")},
        std::tuple{cmd::Close, Glyph::Close, tr("Close")}};
    for (size_t i = 0; i < captions.size(); ++i) {
        const auto& [id, glyph, tip] = captions[i];
        auto* b = new CFlatButton(CFlatButton::Style::Caption, glyph, QString(), this);
        b->setToolTip(tip);
        b->setCommandId(id);
        const int commandId = id;
        connect(b, &QAbstractButton::clicked, this, [this, commandId] { command(commandId); });
        m_captionButtons[i] = b;
        m_buttons[id] = b;
    }
}

void CEditorDlg::createActions()
{
    auto add = [this](int id, Glyph glyph, const QString& text) {
        auto* a = new QAction(GlyphIcon(glyph), text, this);
        connect(a, &QAction::triggered, this, [this, id] { command(id); });
        m_actions[id] = a;
        return a;
    };
    add(cmd::MenuOpen, Glyph::Open, tr("Open"));
    add(cmd::MenuSave, Glyph::Save, tr("Save\tCtrl+S"));
    add(cmd::MenuSaveAs, Glyph::Save, tr("Save As..."));
    add(cmd::MenuThreshold, Glyph::Threshold, tr("Auto Resize Threshold"));
    add(cmd::MenuDeleteObject, Glyph::DeleteObject, tr("Delete Selected Object"));
    add(cmd::MenuDeleteFrame, Glyph::DeleteFrame, tr("Delete Photo Frame"));
    add(cmd::MenuUndo, Glyph::Undo, tr("Undo (Ctrl+Z)"));
    add(cmd::MenuRedo, Glyph::Redo, tr("Redo (Ctrl+Y)"));
    add(cmd::MenuZoomIn, Glyph::ZoomIn, tr("Zoom in"));
    add(cmd::MenuZoomOut, Glyph::ZoomOut, tr("Zoom out"));
    add(cmd::MenuZoomToFit, Glyph::ZoomFit, tr("Zoom to Fit"));
    add(cmd::MenuOriginalSize, Glyph::ActualSize, tr("Original Size"));
    add(cmd::MenuPreview, Glyph::Preview, tr("Preview"));
    add(cmd::MenuExit, Glyph::Exit, tr("Exit"));
    add(cmd::MenuRetouch, Glyph::Retouch, tr("Retouch"));
    add(cmd::MenuLighting, Glyph::Lighting, tr("Lighting"));
    add(cmd::MenuWarp, Glyph::Warp, tr("Warp"));
    add(cmd::MenuFilters, Glyph::Filters, tr("Filters"));
    add(cmd::MenuText, Glyph::Text, tr("Text"));
    add(cmd::MenuAdjust, Glyph::Adjust, tr("Adjust (Ctrl+Shift+A)"));
    add(cmd::MenuFade, Glyph::Fade, tr("Fade... (Ctrl+Shift+F)"));
    add(cmd::HelpContent, Glyph::Help, tr("Online Help Content"));
    add(cmd::About, Glyph::About, tr("About"));
    add(cmd::Crop, Glyph::Crop, tr("Crop (C)"));
    add(cmd::Straighten, Glyph::Straighten, tr("Straighten (L)"));
    add(cmd::RotateLeft, Glyph::RotateLeft, tr("Rotate Left (Ctrl+Shift+R)"));
    add(cmd::RotateRight, Glyph::RotateRight, tr("Rotate Right (Ctrl+R)"));
    add(cmd::Rotate180, Glyph::RotateRight, tr("Rotate 180°"));
    add(cmd::FlipHorizontal, Glyph::FlipHorizontal, tr("Flip Horizontal"));
    add(cmd::FlipVertical, Glyph::FlipVertical, tr("Flip Vertical"));
    add(cmd::ResizePhoto, Glyph::Resize, tr("Resize... (Ctrl+Alt+I)"));
    // Keys shown beside the items; the window's own key handling runs them.
    auto keys = [this](int id, const QKeySequence& keys) {
        m_actions[id]->setShortcut(keys);
        m_actions[id]->setShortcutContext(Qt::WidgetShortcut);
    };
    keys(cmd::MenuOpen, QKeySequence(Qt::CTRL | Qt::Key_O));
    keys(cmd::MenuSave, QKeySequence(Qt::CTRL | Qt::Key_S));
    keys(cmd::MenuSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    keys(cmd::MenuZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus));
    keys(cmd::MenuZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus));
    keys(cmd::MenuZoomToFit, QKeySequence(Qt::CTRL | Qt::Key_0));
    keys(cmd::MenuOriginalSize, QKeySequence(Qt::CTRL | Qt::Key_1));
    keys(cmd::HelpContent, QKeySequence(Qt::Key_F1));

}

void CEditorDlg::createMenus()
{
    auto make = [this](int id) {
        auto* m = new QMenu(this);
        m->setStyleSheet(QString::fromUtf8(kMenuStyle));
        m_menus[id] = m;
        return m;
    };
    QMenu* file = make(cmd::FileMenuButton);
    file->addAction(m_actions[cmd::MenuOpen]);
    m_recentMenu = file->addMenu(GlyphIcon(Glyph::File), tr("Open Recent"));
    m_recentMenu->setStyleSheet(QString::fromUtf8(kMenuStyle));
    file->addAction(m_actions[cmd::MenuSave]);
    file->addAction(m_actions[cmd::MenuSaveAs]);
    file->addSeparator();
    file->addAction(m_actions[cmd::MenuPreview]);
    file->addSeparator();
    file->addAction(m_actions[cmd::MenuExit]);

    QMenu* edit = make(cmd::EditMenuButton);
    for (int id : {cmd::MenuUndo, cmd::MenuRedo, cmd::MenuDeleteObject, cmd::MenuDeleteFrame})
        edit->addAction(m_actions[id]);
    edit->addSeparator();
    for (int id : {cmd::Crop, cmd::Straighten, cmd::RotateLeft, cmd::RotateRight, cmd::Rotate180,
                   cmd::FlipHorizontal, cmd::FlipVertical, cmd::ResizePhoto})
        edit->addAction(m_actions[id]);
    edit->addAction(m_actions[cmd::MenuFade]);

    QMenu* panels = make(cmd::PanelMenuButton);
    for (int id : {cmd::MenuRetouch, cmd::MenuLighting, cmd::MenuWarp, cmd::MenuFilters, cmd::MenuText,
                   cmd::MenuAdjust})
        panels->addAction(m_actions[id]);

    QMenu* help = make(cmd::HelpMenuButton);
    help->addAction(m_actions[cmd::HelpContent]);
    help->addAction(m_actions[cmd::About]);

    m_contextMenu = new QMenu(this);
    m_contextMenu->setStyleSheet(QString::fromUtf8(kMenuStyle));
    QMenu* c = m_contextMenu;
    c->addAction(m_actions[cmd::MenuOpen]);
    QAction* saveAs = c->addAction(GlyphIcon(Glyph::Save), tr("Save as..."));
    connect(saveAs, &QAction::triggered, this, [this] { command(cmd::MenuSaveAs); });
    c->addSeparator();
    c->addAction(m_actions[cmd::MenuUndo]);
    c->addAction(m_actions[cmd::MenuRedo]);
    c->addSeparator();
    for (int id : {cmd::MenuZoomToFit, cmd::MenuOriginalSize, cmd::MenuZoomIn, cmd::MenuZoomOut})
        c->addAction(m_actions[id]);
    c->addSeparator();
    c->addAction(m_actions[cmd::MenuDeleteObject]);
    c->addAction(m_actions[cmd::MenuDeleteFrame]);
    c->addSeparator();
    c->addAction(m_actions[cmd::MenuThreshold]);
    c->addSeparator();
    c->addAction(m_actions[cmd::MenuPreview]);
}

void CEditorDlg::createSliders()
{
    auto make = [this](int maximum, int value, int minimum = 0) {
        auto* s = new QSlider(Qt::Horizontal, this);
        s->setRange(minimum, maximum);
        s->setValue(value);
        s->setFocusPolicy(Qt::NoFocus);
        s->setCursor(Qt::PointingHandCursor);
        return s;
    };
    m_opacity = make(255, 255);
    m_opacity->setToolTip(tr("Opacity of the retouch brush"));
    connect(m_opacity, &QSlider::valueChanged, this, [this](int v) {
        m_canvas->document().setStrength(float(v) / 255.0f);
        update(width() - 40, 56, 40, 24);
    });
    m_deformRadius = make(200, 90);
    m_deformRadius->setToolTip(tr("Radius of the warp brush"));
    connect(m_deformRadius, &QSlider::valueChanged, this, [this](int v) {
        // The warp brush takes its size from the radius while a warp effect is chosen.
        const EffectId id = m_canvas->document().effectId();
        if (id >= 80 && id < 120)
            m_canvas->setBrushSize(std::max(1, v));
        update(width() - 40, 74, 40, 54);
    });
    m_deformAmount = make(100, 30);
    m_deformAmount->setToolTip(tr("Strength of the warp brush"));
    connect(m_deformAmount, &QSlider::valueChanged, this, [this](int v) {
        m_canvas->document().setWarpAmount(v);
        update(width() - 40, 74, 40, 54);
    });
}

// --- Layout and painting ----------------------------------------------------------

QRect CEditorDlg::canvasRect() const
{
    if (m_inPreview)
        return rect();
    return QRect(QPoint(4, 168), QPoint(width() - 156 - 1, height() - 4 - 1));
}

QRect CEditorDlg::titleRect() const
{
    return QRect(0, 0, width(), kTopBand);
}

void CEditorDlg::layoutChildren()
{
    if (!m_canvas || !m_notice)
        return;  // still being built
    const int W = width(), H = height();
    auto span = [](int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r - 1, b - 1)); };
    m_strips[0]->setGeometry(span(196, 58, W - 155, 141));
    m_strips[1]->setGeometry(span(196, 58, W - 4, 141));
    m_strips[2]->setGeometry(span(196, 58, W - 225, 141));
    m_strips[3]->setGeometry(span(196, 58, W - 165, 141));
    m_restore->setGeometry(span(125, 58, 196, 141));
    m_palette->setGeometry(W - 165, 58, 161, 83);
    m_brushPicker->setGeometry(W - 155, 80, 151, 61);
    m_textPanel->setGeometry(span(126, 58, W - 4, 141));
    m_adjustPanel->setGeometry(span(126, 58, W - 4, 141));
    m_framePanel->setGeometry(span(W - 155, 186, W - 4, H - 4));
    // Sliders are centred on the rows the labels use.
    m_opacity->setGeometry(span(W - 110, 62, W - 35, 73));
    m_deformRadius->setGeometry(span(W - 130, 82, W - 35, 93));
    m_deformAmount->setGeometry(span(W - 130, 112, W - 35, 123));
    m_reduceWarp->setGeometry(W - 220, 58, 112, 20);
    // Panel buttons narrow when a small window has no room for all of them.
    const int panelWidth = std::min(102, (W - 195 - 4) / int(m_panelButtons.size()) - 5);
    for (size_t i = 0; i < m_panelButtons.size(); ++i)
        m_panelButtons[i]->setGeometry(195 + int(i) * (panelWidth + 5), 34, panelWidth, 22);
    m_buttons[cmd::OpenButton]->setGeometry(4, 43, 58, 23);
    m_buttons[cmd::SaveButton]->setGeometry(66, 43, 58, 23);
    int x = 8;
    const std::array<int, 10> tools = {cmd::Undo, cmd::Redo, cmd::DeleteSelectedObject, cmd::DeletePhotoFrame,
                                       cmd::Preview, cmd::AutoResizeThreshold, cmd::ZoomToFit, cmd::OriginalSize,
                                       cmd::ZoomIn, cmd::ZoomOut};
    for (size_t i = 0; i < tools.size(); ++i) {
        m_buttons[tools[i]]->setGeometry(x, 144, 22, 21);
        x += (i == 1 || i == 5 || i == 7) ? 30 : 24;
    }
    if (m_zoomField) {
        const QRect out = m_buttons[cmd::ZoomOut]->geometry();
        m_zoomField->setGeometry(out.right() + 6, 144, 50, 21);
        m_beforeButton->setGeometry(out.right() + 6 + 50 + 6, 144, 22, 21);
        x = m_beforeButton->geometry().right() + 1 + 8;
    }
    x += 6;
    for (int id : {cmd::Crop, cmd::Straighten, cmd::RotateLeft, cmd::RotateRight, cmd::FlipHorizontal,
                   cmd::FlipVertical, cmd::ResizePhoto}) {
        m_buttons[id]->setGeometry(x, 144, 22, 21);
        x += (id == cmd::Straighten || id == cmd::RotateRight || id == cmd::FlipVertical) ? 30 : 24;
    }
    m_captionButtons[2]->setGeometry(W - 43, 8, 24, 14);
    m_captionButtons[1]->setGeometry(W - 43 - 26, 8, 24, 14);
    m_captionButtons[0]->setGeometry(W - 43 - 52, 8, 24, 14);
    x = 36;
    for (CFlatButton* b : m_menuButtons) {
        const int w = fontMetrics().horizontalAdvance(b->text()) + 20;
        b->setGeometry(x, 4, w, 22);
        x += w + 2;
    }
    m_canvas->setGeometry(canvasRect());
    if (m_notice->isVisible()) {
        m_notice->adjustSize();
        const QRect c = canvasRect();
        m_notice->move(c.center().x() - m_notice->width() / 2, c.top() + 12);
        m_notice->raise();
    }
}

void CEditorDlg::applyVisibility()
{
    const bool chrome = !m_inPreview;
    const int panel = int(m_currentPanel);
    for (int c = 0; c < 4; ++c)
        m_strips[size_t(c)]->setVisible(chrome && panel == c);
    m_restore->setVisible(chrome && m_currentPanel != Panel::Text && m_currentPanel != Panel::Adjust);
    m_brushPicker->setVisible(chrome && m_currentPanel == Panel::Retouch);
    m_opacity->setVisible(chrome && m_currentPanel == Panel::Retouch);
    m_deformRadius->setVisible(chrome && m_currentPanel == Panel::Warp);
    m_deformAmount->setVisible(chrome && m_currentPanel == Panel::Warp);
    m_reduceWarp->setVisible(chrome && m_currentPanel == Panel::Warp);
    m_palette->setVisible(chrome && m_currentPanel == Panel::Lighting);
    m_textPanel->setVisible(chrome && m_currentPanel == Panel::Text);
    m_adjustPanel->setVisible(chrome && m_currentPanel == Panel::Adjust);
    m_framePanel->setVisible(chrome);
    for (auto& [id, b] : m_buttons)
        if (b != m_restore)
            b->setVisible(chrome);
    if (!chrome)
        m_notice->hide();
}

void CEditorDlg::resizeEvent(QResizeEvent*)
{
    layoutChildren();
}

void CEditorDlg::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && m_captionButtons[1])
        m_captionButtons[1]->setGlyph(isMaximized() ? Glyph::RestoreWindow : Glyph::Maximize);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layoutChildren();
    QWidget::changeEvent(event);
}

QString CEditorDlg::windowCaption() const
{
    const CanvasDocument& doc = m_canvas->document();
    if (!doc.hasPhoto())
        return QString::fromUtf8(kProductTitle);
    const QString name = QFileInfo(QString::fromStdString(doc.photoPath())).fileName();
    return name + (doc.modified() ? QStringLiteral(" *") : QString()) + QStringLiteral("  —  ")
        + QString::fromUtf8(kProductTitle);
}

void CEditorDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int W = width();
    p.fillRect(rect(), kBody);
    if (m_inPreview)
        return;
    p.setRenderHint(QPainter::Antialiasing);

    // Title band.
    QLinearGradient band(0, 0, 0, kTopBand);
    band.setColorAt(0, QColor(70, 73, 88));
    band.setColorAt(1, QColor(50, 52, 64));
    p.fillRect(titleRect(), band);
    p.drawImage(QRectF(9, 5, 20, 20), LogoImage(40));
    QFont titleFont = font();
    titleFont.setBold(true);
    p.setFont(titleFont);
    p.setPen(QColor(236, 236, 244));
    const int menuEnd = m_menuButtons.back()->geometry().right() + 12;
    const QRect captionArea(menuEnd, 0, std::max(0, W - 110 - menuEnd), kTopBand);
    p.drawText(captionArea, Qt::AlignCenter,
               p.fontMetrics().elidedText(windowCaption(), Qt::ElideMiddle, captionArea.width()));
    p.setFont(font());

    // Left column: a card with the photo's name and size.
    const QRectF info(4.5, 72.5, 119, 68);
    p.setPen(QPen(QColor(150, 150, 156), 1));
    p.setBrush(QColor(188, 188, 192));
    p.drawRoundedRect(info, 5, 5);
    const CanvasDocument& doc = m_canvas->document();
    p.setPen(QColor(36, 38, 46));
    if (doc.hasPhoto()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        const QString name = QFileInfo(QString::fromStdString(doc.photoPath())).fileName();
        p.drawText(QRectF(10, 78, 108, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(name, Qt::ElideMiddle, 108));
        const QStringList camera = CameraLines(doc.photoMetadata());
        if (camera.isEmpty()) {
            // The size line shrinks its font until it fits the card.
            const QString size = tr("%1 × %2 pixels").arg(doc.width()).arg(doc.height());
            QFont sizeFont = font();
            while (QFontMetricsF(sizeFont).horizontalAdvance(size) > 108 && sizeFont.pointSizeF() > 5.5)
                sizeFont.setPointSizeF(sizeFont.pointSizeF() - 0.5);
            p.setFont(sizeFont);
            p.drawText(QRectF(10, 96, 108, 18), Qt::AlignLeft | Qt::AlignVCenter,
                       QFontMetricsF(sizeFont).elidedText(size, Qt::ElideRight, 108));
            p.setFont(font());
            p.setPen(doc.modified() ? QColor(150, 60, 40) : QColor(60, 64, 76));
            p.drawText(QRectF(10, 114, 108, 18), Qt::AlignLeft | Qt::AlignVCenter,
                       doc.modified() ? tr("Edited") : m_savedSinceOpen ? tr("Saved") : tr("As opened"));
        } else {
            // Date taken and camera below the size, in a smaller type.
            QFont small = font();
            small.setPointSizeF(font().pointSizeF() * 0.9);
            p.setFont(small);
            QString size = tr("%1 × %2").arg(doc.width()).arg(doc.height());
            if (doc.modified())
                size += tr(", edited");
            else if (m_savedSinceOpen)
                size += tr(", saved");
            p.drawText(QRectF(10, 94, 108, 15), Qt::AlignLeft | Qt::AlignVCenter, size);
            for (int i = 0; i < camera.size() && i < 2; ++i)
                p.drawText(QRectF(10, 108 + 14 * i, 108, 15), Qt::AlignLeft | Qt::AlignVCenter,
                           p.fontMetrics().elidedText(camera[i], Qt::ElideRight, 108));
            p.setFont(font());
        }
    } else {
        p.drawText(info.adjusted(6, 4, -6, -4), Qt::AlignCenter | Qt::TextWordWrap, tr("Open a photo to begin"));
    }

    // The tool strip's tray.
    const QRect lastTool = m_buttons[cmd::ResizePhoto]->geometry();
    p.setPen(QPen(QColor(150, 150, 156), 1));
    p.setBrush(QColor(186, 186, 190));
    p.drawRoundedRect(QRectF(4.5, 142.5, lastTool.right() + 4 - 4, 24), 5, 5);

    // Labels and slider values.
    p.setPen(QColor(30, 32, 40));
    QFont small = font();
    small.setPointSizeF(std::max(6.5, small.pointSizeF() - 1.5));
    p.drawText(QRect(W - 150, 170, 146, 16), Qt::AlignLeft | Qt::AlignVCenter, tr("Photo Frame"));
    auto value = [&](const QRect& r, const QString& text) {
        p.fillRect(r, kBody);
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    p.setFont(small);
    if (m_currentPanel == Panel::Retouch) {
        const QRect s = m_opacity->geometry();
        p.drawText(QRect(s.left() - 44, s.top(), 42, s.height()), Qt::AlignLeft | Qt::AlignVCenter, tr("Opacity"));
        value(QRect(s.right() + 3, s.top(), W - s.right() - 5, s.height()),
              QString::asprintf("%d%%", m_opacity->value() * 100 / 255));
    } else if (m_currentPanel == Panel::Warp) {
        const QRect r = m_deformRadius->geometry();
        const QRect a = m_deformAmount->geometry();
        p.drawText(QRect(r.left() - 84, r.top(), 82, r.height()), Qt::AlignLeft | Qt::AlignVCenter, tr("Deform Radius"));
        p.drawText(QRect(r.left() - 84, r.top() + 30, 82, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Deform Amount"));
        value(QRect(r.right() + 3, r.top(), W - r.right() - 5, r.height()),
              QString::asprintf("%d", m_deformRadius->value()));
        value(QRect(a.right() + 3, a.top(), W - a.right() - 5, a.height()),
              QString::asprintf("%d", m_deformAmount->value()));
    }

    // A hairline round the borderless window.
    if (!isMaximized()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(60, 62, 72));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// --- Messages ----------------------------------------------------------------------

intptr_t CEditorDlg::sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_EFFECT_COMMAND:
        switch (wParam) {
        case 0: chooseEffect(EffectId(lParam)); break;
        case 1: m_canvas->setBrushSizePreset(int(lParam)); break;
        case 2: m_canvas->setBrushShape(int(lParam)); break;
        case 4:
        case 6:
        case 8: m_canvas->document().setOption(int(wParam), int(lParam)); break;
        default: break;
        }
        return 1;
    case WM_EFFECT_PROGRESS:
        showProgress(int(lParam));
        return 1;
    case WM_HISTORY_CHANGED:
        updateActions();
        return 1;
    case WM_APPLY_DECORATION:
        if (wParam == CColourPalette::kDecorationCode)
            m_canvas->document().setEffectColour(uint32_t(lParam) & 0xFFFFFF);
        else if (wParam == CFramePanel::kDecorationCode)
            m_canvas->setPhotoFrame(int(lParam));
        return 1;
    case WM_SHOW_CONTEXT_MENU:
        if (!m_inPreview)
            m_contextMenu->popup(QCursor::pos());
        return 1;
    case WM_LEAVE_PREVIEW:
        leavePreview();
        return 1;
    case WM_TEMPLATE_CHANGED:
        m_template = m_textEditor->textTemplate();
        m_canvas->applyTemplateToSelected(m_template);
        return 1;
    case WM_TEXT_CHANGED:
        m_template.text = m_textEditor->text().toStdString();
        m_canvas->updateSelectedText(m_template);
        return 1;
    case WM_TEXT_COMMAND:
        if (wParam == 0)
            m_canvas->addTextObject(m_template);
        else if (wParam == 1)
            m_canvas->mergeDown();
        return 1;
    default:
        return 0;
    }
}

void CEditorDlg::showProgress(int percent)
{
    if (m_suppressProgress || !m_canvas || !m_canvas->isVisible())
        return;
    ++m_progressDrawCount;
    m_canvas->showProgress(percent);
}

void CEditorDlg::chooseEffect(EffectId id)
{
    CanvasDocument& doc = m_canvas->document();
    const EffectCategory category = CategoryOfEffect(id);
    for (int c = 0; c < 4; ++c) {
        if (id == kRestoreBrushId || id == kReduceWarpId || EffectCategory(c) != category)
            m_strips[size_t(c)]->clearSelection();
        else
            m_strips[size_t(c)]->selectId(id);
    }
    if (id != kRestoreBrushId)
        m_restore->setChecked(false);
    m_reduceWarp->setChecked(id == kReduceWarpId);
    if (id >= 120 && id != kRestoreBrushId) {
        const uint32_t colour = DefaultLightingColour(id);
        m_palette->setColour(colour);
        doc.setEffectColour(colour);
        m_canvas->setBrushSize(std::max(60, (doc.width() + doc.height()) / 12));
    } else if (id >= 80 && id < 120) {
        m_canvas->setBrushSize(std::max(1, m_deformRadius->value()));
    }
    const EffectInfo* info = FindEffect(id);
    const bool slow = doc.hasPhoto() && info
        && (info->mode == ApplyMode::WholeImage || info->mode == ApplyMode::ResultBrush);
    if (slow)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = m_canvas->selectEffect(id);
    if (slow)
        QApplication::restoreOverrideCursor();
    if (!done && category != EffectCategory::Filters) {
        // Cancelled: the strips show the effect that is still chosen.
        const EffectId current = doc.effectId();
        for (int c = 0; c < 4; ++c) {
            if (EffectCategory(c) == CategoryOfEffect(current) && current != kRestoreBrushId)
                m_strips[size_t(c)]->selectId(current);
            else
                m_strips[size_t(c)]->clearSelection();
        }
        m_restore->setChecked(current == kRestoreBrushId);
    }
    if (!done)
        showNotice(tr("Cancelled: the photo is as it was."));
}

void CEditorDlg::pressRestoreBrush()
{
    if (m_restore->isChecked())
        return;
    m_restore->setChecked(true);
    sendMessage(WM_EFFECT_COMMAND, 0, kRestoreBrushId);
}

void CEditorDlg::updateActions()
{
    const CanvasDocument& doc = m_canvas->document();
    auto enable = [this](int buttonId, int actionId, bool on) {
        m_buttons[buttonId]->setEnabled(on);
        m_actions[actionId]->setEnabled(on);
    };
    enable(cmd::Undo, cmd::MenuUndo, doc.canUndo());
    enable(cmd::Redo, cmd::MenuRedo, doc.canRedo());
    enable(cmd::DeleteSelectedObject, cmd::MenuDeleteObject, doc.hasSelectedObject());
    enable(cmd::DeletePhotoFrame, cmd::MenuDeleteFrame, doc.frameIndex() >= 0);
    for (int id : {cmd::Crop, cmd::Straighten, cmd::RotateLeft, cmd::RotateRight, cmd::Rotate180,
                   cmd::FlipHorizontal, cmd::FlipVertical, cmd::ResizePhoto}) {
        m_actions[id]->setEnabled(doc.hasPhoto());
        if (m_buttons.count(id))
            m_buttons[id]->setEnabled(doc.hasPhoto());
    }
    m_actions[cmd::MenuFade]->setEnabled(doc.canFade());
    const QString caption = windowCaption();
    if (windowTitle() != caption)
        setWindowTitle(caption);
    update(QRect(0, 0, width(), 142));
}

// --- Commands ----------------------------------------------------------------------

void CEditorDlg::command(int id)
{
    // A crop or level mode ends (leaving the photo as it was) before any
    // command but zooming and opening the menus.
    if (m_canvas && m_canvas->geometryMode() != CPhotoCanvas::GeometryMode::None) {
        switch (id) {
        case cmd::MenuZoomIn: case cmd::ZoomIn: case cmd::MenuZoomOut: case cmd::ZoomOut:
        case cmd::MenuZoomToFit: case cmd::ZoomToFit: case cmd::MenuOriginalSize: case cmd::OriginalSize:
        case cmd::FileMenuKey: case cmd::FileMenuButton: case cmd::EditMenuKey: case cmd::EditMenuButton:
        case cmd::PanelMenuKey: case cmd::PanelMenuButton: case cmd::HelpMenuKey: case cmd::HelpMenuButton:
            break;
        default: m_canvas->cancelGeometryMode(); break;
        }
    }
    switch (id) {
    case cmd::Crop:
    case cmd::Straighten:
    case cmd::RotateLeft:
    case cmd::RotateRight:
    case cmd::Rotate180:
    case cmd::FlipHorizontal:
    case cmd::FlipVertical:
    case cmd::ResizePhoto: geometryCommand(id); break;
    case cmd::MenuOpen:
    case cmd::OpenButton: openCommand(); break;
    case cmd::MenuSave: saveCommand(); break;
    case cmd::MenuSaveAs:
    case cmd::SaveButton: saveAsCommand(); break;
    case cmd::MenuThreshold:
    case cmd::AutoResizeThreshold: autoResizeThreshold(); break;
    case cmd::MenuDeleteObject:
    case cmd::DeleteSelectedObject: m_canvas->deleteSelectedObject(); break;
    case cmd::MenuDeleteFrame:
    case cmd::DeletePhotoFrame:
        m_canvas->deletePhotoFrame();
        updateActions();
        break;
    case cmd::MenuUndo:
    case cmd::Undo:
        m_canvas->undo();
        updateActions();
        break;
    case cmd::MenuRedo:
    case cmd::Redo:
        m_canvas->redo();
        updateActions();
        break;
    case cmd::MenuZoomIn:
    case cmd::ZoomIn: m_canvas->zoomIn(); break;
    case cmd::MenuZoomOut:
    case cmd::ZoomOut: m_canvas->zoomOut(); break;
    case cmd::MenuZoomToFit:
    case cmd::ZoomToFit: m_canvas->zoomToFit(); break;
    case cmd::MenuOriginalSize:
    case cmd::OriginalSize: m_canvas->actualSize(); break;
    case cmd::MenuPreview:
    case cmd::Preview: enterPreview(); break;
    case cmd::MenuExit:
    case cmd::Close: close(); break;
    case cmd::Minimize: showMinimized(); break;
    case cmd::Maximize: toggleMaximized(); break;
    case cmd::MenuRetouch:
    case cmd::RetouchPanel: showPanel(Panel::Retouch); break;
    case cmd::MenuFilters:
    case cmd::FiltersPanel: showPanel(Panel::Filters); break;
    case cmd::MenuWarp:
    case cmd::WarpPanel: showPanel(Panel::Warp); break;
    case cmd::MenuLighting:
    case cmd::LightingPanel: showPanel(Panel::Lighting); break;
    case cmd::MenuText:
    case cmd::TextPanel: showPanel(Panel::Text); break;
    case cmd::MenuAdjust:
    case cmd::AdjustPanel: showPanel(Panel::Adjust); break;
    case cmd::MenuFade: fadeCommand(); break;
    case cmd::RestoreBrush: pressRestoreBrush(); break;
    case cmd::HelpContent:
    case cmd::HelpKey: showHelp(); break;
    case cmd::About: showAbout(); break;
    case cmd::FileMenuKey:
    case cmd::FileMenuButton: showDropDown(cmd::FileMenuButton); break;
    case cmd::EditMenuKey:
    case cmd::EditMenuButton: showDropDown(cmd::EditMenuButton); break;
    case cmd::PanelMenuKey:
    case cmd::PanelMenuButton: showDropDown(cmd::PanelMenuButton); break;
    case cmd::HelpMenuKey:
    case cmd::HelpMenuButton: showDropDown(cmd::HelpMenuButton); break;
    default: break;
    }
}

void CEditorDlg::showPanel(Panel panel)
{
    if (m_currentPanel == Panel::Adjust && panel != Panel::Adjust) {
        // An adjustment not applied is only a preview: leaving drops it.
        m_adjustPanel->reset();
        m_canvas->document().clearAdjustPreview();
    }
    m_currentPanel = panel;
    for (size_t i = 0; i < m_panelButtons.size(); ++i)
        m_panelButtons[i]->setChecked(int(i) == int(panel));
    applyVisibility();
    m_canvas->setBrushMode(panel != Panel::Text && panel != Panel::Adjust);
    if (panel == Panel::Retouch)
        m_brushPicker->resend();
    m_canvas->refresh();
    update();
}

void CEditorDlg::previewAdjustment()
{
    if (m_currentPanel != Panel::Adjust)
        return;
    CanvasDocument& doc = m_canvas->document();
    const AdjustParams params = m_adjustPanel->params();
    if (params == doc.adjustParams() && doc.adjustPreviewActive() == !params.isIdentity())
        return;
    doc.setAdjustPreview(params);
    m_canvas->refresh();
}

void CEditorDlg::applyAdjustment()
{
    CanvasDocument& doc = m_canvas->document();
    // The preview may lag the sliders by one turn of the event loop.
    doc.setAdjustPreview(m_adjustPanel->params());
    if (doc.applyAdjustment())
        m_adjustPanel->reset();
    m_canvas->refresh();
    updateActions();
}

void CEditorDlg::fadeCommand()
{
    CanvasDocument& doc = m_canvas->document();
    if (m_inPreview || !doc.canFade())
        return;
    CFadeDialog dialog(doc.fadePercent(), this);
    connect(&dialog, &CFadeDialog::percentChanged, this, [this, &doc](int percent) {
        doc.setFadePreview(percent);
        m_canvas->refresh();
    });
    const bool accepted = execFadeDialog ? execFadeDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted || !doc.commitFade(dialog.percent()))
        doc.clearFadePreview();
    m_canvas->refresh();
    updateActions();
}

bool CEditorDlg::confirmDiscard()
{
    if (!m_canvas->document().modified())
        return true;
    switch (AskYesNoCancel(this, tr(kModifiedQuestion))) {
    case Answer::No: return true;
    case Answer::Cancel: return false;  // Escape or the box closed: keep the photo and its edits
    case Answer::Yes: break;
    }
    // The user wants the edits kept: go on only when they were saved.
    return saveAsCommand();
}

bool CEditorDlg::saveAsCommand()
{
    if (!m_canvas->document().hasPhoto())
        return false;
    if (saveAsDialog)
        return saveAsDialog();
    QString path;
    if (chooseSaveFile) {
        path = chooseSaveFile();
    } else {
        CSaveAsDialog dialog(this, QString::fromStdString(m_canvas->document().photoPath()), m_saveQuality,
                             m_saveLossless);
        dialog.setStripMetadata(m_stripMetadata);
        if (dialog.exec() == QDialog::Accepted) {
            path = dialog.chosenPath();
            if (dialog.currentFormat().lossy && !(dialog.currentFormat().lossless && dialog.lossless()))
                m_saveQuality = dialog.quality();
            m_saveLossless = dialog.lossless();
            m_stripMetadata = dialog.stripMetadata();
            QSettings().setValue(QStringLiteral("saveQuality"), m_saveQuality);
        }
    }
    if (path.isEmpty())
        return false;
    return writePhotoTo(path);
}

bool CEditorDlg::writePhotoTo(const QString& path)
{
    // The encoder writes a temporary file and renames it over the target, so a
    // failed save never damages a picture that was there.
    const PixelBuffer composite = m_canvas->exportComposite();
    const SaveResult saved = SavePhoto(composite, path.toStdString(), &m_canvas->document().photoMetadata(),
                                       {m_saveQuality, m_saveLossless, m_stripMetadata});
    if (!saved.ok()) {
        ShowWarning(this, tr("The photo could not be saved as \"%1\":\n%2.")
                              .arg(QFileInfo(path).fileName(), QString::fromUtf8(SaveStatusText(saved.status))));
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_canvas->document().markSaved(absolute.toStdString());
    m_openedReduced = false;
    m_savedSinceOpen = true;
    addRecentFile(absolute);
    updateActions();
    update();
    if (!saved.notes.empty())
        showNotice(tr("Saved, but %1.").arg(QString::fromStdString(saved.notes.front())));
    return true;
}

bool CEditorDlg::canSaveInPlace() const
{
    const CanvasDocument& doc = m_canvas->document();
    const QString path = QString::fromStdString(doc.photoPath());
    // A photo reduced on open would replace the full-size original, and the
    // bundled sample is not the user's file: both ask for a name instead.
    if (!doc.hasPhoto() || m_openedReduced || QFileInfo(path).canonicalFilePath() == CEditorApp::SamplePhotoPath())
        return false;
    return ImageEncoder(doc.photoPath()).found();
}

bool CEditorDlg::saveCommand()
{
    if (!m_canvas->document().hasPhoto())
        return false;
    if (!canSaveInPlace())
        return saveAsCommand();
    return writePhotoTo(QString::fromStdString(m_canvas->document().photoPath()));
}

void CEditorDlg::openCommand()
{
    if (!confirmDiscard())
        return;
    QString path;
    if (chooseOpenFile) {
        path = chooseOpenFile();
    } else {
        QFileDialog dialog(this, tr("Open"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(OpenDialogFilters());
        const QStringList recent = QSettings().value(QStringLiteral("recentFiles")).toStringList();
        if (!recent.isEmpty())
            dialog.setDirectory(QFileInfo(recent.first()).absolutePath());
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (!path.isEmpty())
        openPath(path);
}

bool CEditorDlg::openWithQuestion(const QString& path)
{
    if (!confirmDiscard())
        return false;
    return openPath(path);
}

bool CEditorDlg::openPath(const QString& path)
{
    CanvasDocument& doc = m_canvas->document();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LoadedPhoto loaded = m_canvas->openPhoto(QFileInfo(path).absoluteFilePath().toStdString());
    QApplication::restoreOverrideCursor();
    if (!loaded.ok) {
        ShowWarning(this, tr("The photo \"%1\" could not be opened.%2")
                              .arg(QFileInfo(path).fileName(),
                                   loaded.error.empty() ? QString() : "\n" + QString::fromStdString(loaded.error)));
        return false;
    }
    const int w = doc.width(), h = doc.height();
    if (m_currentPanel == Panel::Retouch) {
        m_brushPicker->resend();
        if (doc.applyMode() == ApplyMode::ResultBrush)
            m_canvas->selectEffect(doc.effectId());
    } else if (m_currentPanel == Panel::Lighting) {
        m_canvas->setBrushSize(std::max(60, (w + h) / 12));
    }
    addRecentFile(QFileInfo(path).absoluteFilePath());
    updateActions();
    // Cut to multiples of 4 (or turned by its orientation tag) is not a
    // reduction worth telling about.
    m_savedSinceOpen = false;
    m_openedReduced = loaded.downsized;
    QStringList notes;
    if (loaded.damaged)
        notes << tr("\"%1\" is damaged: part of the picture may be missing.").arg(QFileInfo(path).fileName());
    if (m_openedReduced)
        notes << tr("The photo was reduced from %1 × %2 to %3 × %4 pixels for editing.\n"
                    "Auto Resize Threshold sets the largest size that opens unreduced.")
                     .arg(loaded.fileWidth)
                     .arg(loaded.fileHeight)
                     .arg(w)
                     .arg(h);
    if (!loaded.metadata.notes.empty())
        notes << tr("The photo was opened, but %1.").arg(QString::fromStdString(loaded.metadata.notes.front()));
    if (!notes.isEmpty())
        showNotice(notes.join(QStringLiteral("\n")));
    update();
    return true;
}

void CEditorDlg::activateFromSecondStart(const QStringList& files)
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    qInfo("ombrik: brought to the front by a second start");
    if (!files.isEmpty())
        openWithQuestion(files.first());
    tellOnlyFirstOpened(files);
}

void CEditorDlg::tellOnlyFirstOpened(const QStringList& files)
{
    if (files.size() < 2)
        return;
    QStringList names;
    for (qsizetype i = 1; i < files.size(); ++i)
        names << QFileInfo(files[i]).fileName();
    const QString text = tr("One photo is edited at a time; not opened: %1").arg(names.join(QStringLiteral(", ")));
    std::fprintf(stderr, "ombrik: %s\n", qPrintable(text));
    showNotice(text);
}

void CEditorDlg::autoResizeThreshold()
{
    CanvasDocument& doc = m_canvas->document();
    CAutoResizeDlg dialog(doc.thresholdWidth(), doc.thresholdHeight(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    doc.setThreshold(dialog.thresholdWidth(), dialog.thresholdHeight());
}

void CEditorDlg::geometryCommand(int id)
{
    if (!m_canvas->document().hasPhoto() || m_inPreview)
        return;
    switch (id) {
    case cmd::Crop: m_canvas->beginCrop(); break;
    case cmd::Straighten: m_canvas->beginLevel(); break;
    case cmd::RotateLeft: m_canvas->rotatePhoto(-1); break;
    case cmd::RotateRight: m_canvas->rotatePhoto(1); break;
    case cmd::Rotate180: m_canvas->rotatePhoto(2); break;
    case cmd::FlipHorizontal: m_canvas->flipPhoto(true); break;
    case cmd::FlipVertical: m_canvas->flipPhoto(false); break;
    case cmd::ResizePhoto: resizeCommand(); break;
    default: break;
    }
    updateActions();
    update();
}

void CEditorDlg::resizeCommand()
{
    CanvasDocument& doc = m_canvas->document();
    const int64_t maxArea = doc.thresholdWidth() > 0 && doc.thresholdHeight() > 0
        ? int64_t(doc.thresholdWidth()) * doc.thresholdHeight()
        : 0;
    QSize size;
    if (chooseResize) {
        size = chooseResize();
    } else {
        CResizeDlg dialog(doc.width(), doc.height(), maxArea, this);
        if (dialog.exec() == QDialog::Accepted)
            size = QSize(dialog.newWidth(), dialog.newHeight());
    }
    if (size.isEmpty())
        return;
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool done = m_canvas->resizePhoto(size.width(), size.height(), &error);
    QApplication::restoreOverrideCursor();
    if (!done && !error.empty())
        ShowWarning(this, tr("The photo could not be resized: %1.").arg(QString::fromStdString(error)));
}

void CEditorDlg::enterPreview()
{
    if (m_inPreview)
        return;
    m_inPreview = true;
    m_zoomBeforePreview = m_canvas->zoom();
    applyVisibility();
    m_canvas->setPreviewMode(true);
    m_canvas->setGeometry(canvasRect());
    m_canvas->raise();
    m_canvas->setFocus(Qt::OtherFocusReason);
    update();
}

void CEditorDlg::leavePreview()
{
    if (!m_inPreview)
        return;
    m_inPreview = false;
    m_canvas->setPreviewMode(false);
    m_canvas->setZoom(m_zoomBeforePreview);
    showPanel(m_currentPanel);
    layoutChildren();
    m_canvas->refresh();
}

void CEditorDlg::toggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
    layoutChildren();
}

void CEditorDlg::showDropDown(int menuButtonId)
{
    CFlatButton* b = m_buttons[menuButtonId];
    QMenu* m = m_menus[menuButtonId];
    if (!b || !m || !b->isVisible())
        return;
    b->setDown(false);
    m->popup(b->mapToGlobal(QPoint(0, b->height() + 2)));
}

void CEditorDlg::showHelp()
{
    const QString page = CEditorApp::HelpPagePath();
    if (page.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        ShowWarning(this, tr("The help page could not be opened.%1")
                              .arg(page.isEmpty() ? QString() : "\n" + QDir::toNativeSeparators(page)));
}

void CEditorDlg::showAbout()
{
    QMessageBox box(this);
    box.setWindowTitle(tr("About %1").arg(QString::fromUtf8(kProductTitle)));
    box.setIconPixmap(QPixmap::fromImage(LogoImage(72)));
    box.setText(QStringLiteral("<h3>%1</h3><p>Version %2</p>").arg(QString::fromUtf8(kProductTitle),
                                                                  QCoreApplication::applicationVersion()));
    box.setInformativeText(tr("Retouch, filter, warp and light your photos.\n"
                              "Every effect is computed by the editor itself on the photo's pixels."));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void CEditorDlg::addRecentFile(const QString& path)
{
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("recentFiles")).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kMaxRecentFiles)
        recent.removeLast();
    settings.setValue(QStringLiteral("recentFiles"), recent);
    rebuildRecentMenu();
}

void CEditorDlg::rebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList recent = QSettings().value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& path : recent) {
        QAction* a = m_recentMenu->addAction(QFileInfo(path).fileName());
        a->setToolTip(path);
        a->setStatusTip(path);
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] {
            if (!QFileInfo::exists(path)) {
                ShowWarning(this, tr("The photo \"%1\" no longer exists.").arg(path));
                QSettings settings;
                QStringList list = settings.value(QStringLiteral("recentFiles")).toStringList();
                list.removeAll(path);
                settings.setValue(QStringLiteral("recentFiles"), list);
                rebuildRecentMenu();
                return;
            }
            openWithQuestion(path);
        });
    }
    if (recent.isEmpty()) {
        m_recentMenu->addAction(tr("(no recent photos)"))->setEnabled(false);
        return;
    }
    m_recentMenu->addSeparator();
    connect(m_recentMenu->addAction(tr("Clear List")), &QAction::triggered, this, [this] {
        QSettings().remove(QStringLiteral("recentFiles"));
        rebuildRecentMenu();
    });
}

void CEditorDlg::showPassingNotice(const QString& text)
{
    showNotice(text);
}

void CEditorDlg::showNotice(const QString& text)
{
    m_notice->setText(text);
    m_notice->show();
    layoutChildren();
    m_noticeTimer->start(6000);
}

// --- Window frame, keys, drops, close ------------------------------------------------

Qt::Edges CEditorDlg::edgesAt(QPoint p) const
{
    Qt::Edges edges;
    if (isMaximized() || m_inPreview)
        return edges;
    const int W = width(), H = height();
    const bool nearLeft = p.x() < kCornerGrip, nearRight = p.x() >= W - kCornerGrip;
    const bool nearTop = p.y() < kCornerGrip, nearBottom = p.y() >= H - kCornerGrip;
    if ((nearLeft || nearRight) && (nearTop || nearBottom)) {
        edges |= nearLeft ? Qt::LeftEdge : Qt::RightEdge;
        edges |= nearTop ? Qt::TopEdge : Qt::BottomEdge;
        return edges;
    }
    if (p.x() < kEdgeGrip)
        edges |= Qt::LeftEdge;
    else if (p.x() >= W - kEdgeGrip)
        edges |= Qt::RightEdge;
    if (p.y() < kEdgeGrip)
        edges |= Qt::TopEdge;
    else if (p.y() >= H - kEdgeGrip)
        edges |= Qt::BottomEdge;
    return edges;
}

namespace {

Qt::CursorShape CursorFor(Qt::Edges e)
{
    if (e == (Qt::LeftEdge | Qt::TopEdge) || e == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (e == (Qt::RightEdge | Qt::TopEdge) || e == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (e & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    if (e & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace

void CEditorDlg::mousePressEvent(QMouseEvent* event)
{
    if (m_inPreview) {
        // A click anywhere leaves the preview; the click itself does nothing else.
        leavePreview();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const Qt::Edges edges = edgesAt(p);
    m_dragStartGlobal = event->globalPosition().toPoint();
    m_dragStartGeometry = geometry();
    if (edges) {
        if (!(windowHandle() && windowHandle()->startSystemResize(edges))) {
            m_drag = Drag::Resize;
            m_dragEdges = edges;
        }
        return;
    }
    if (p.y() < kTopBand && p.x() >= 13 && p.x() < width() - 13 && !isMaximized()) {
        if (!(windowHandle() && windowHandle()->startSystemMove()))
            m_drag = Drag::Move;
    }
}

void CEditorDlg::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint global = event->globalPosition().toPoint();
    const QPoint delta = global - m_dragStartGlobal;
    if (m_drag == Drag::Move) {
        move(m_dragStartGeometry.topLeft() + delta);
        return;
    }
    if (m_drag == Drag::Resize) {
        QRect g = m_dragStartGeometry;
        const QSize minimum = minimumSize(), maximum = maximumSize();
        if (m_dragEdges & Qt::LeftEdge)
            g.setLeft(std::clamp(g.left() + delta.x(), g.right() + 1 - maximum.width(), g.right() + 1 - minimum.width()));
        if (m_dragEdges & Qt::RightEdge)
            g.setRight(std::clamp(g.right() + delta.x(), g.left() + minimum.width() - 1, g.left() + maximum.width() - 1));
        if (m_dragEdges & Qt::TopEdge)
            g.setTop(std::clamp(g.top() + delta.y(), g.bottom() + 1 - maximum.height(), g.bottom() + 1 - minimum.height()));
        if (m_dragEdges & Qt::BottomEdge)
            g.setBottom(
                std::clamp(g.bottom() + delta.y(), g.top() + minimum.height() - 1, g.top() + maximum.height() - 1));
        setGeometry(g);
        return;
    }
    setCursor(CursorFor(edgesAt(event->position().toPoint())));
}

void CEditorDlg::mouseReleaseEvent(QMouseEvent*)
{
    m_drag = Drag::None;
}

void CEditorDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_inPreview)
        return;
    if (event->button() == Qt::LeftButton && event->position().y() < kTopBand && !edgesAt(event->position().toPoint()))
        toggleMaximized();
}

bool CEditorDlg::ownsWidget(QObject* object) const
{
    auto* w = qobject_cast<QWidget*>(object);
    return w && w->window() == this;
}

int CEditorDlg::acceleratorCommand(int key, Qt::KeyboardModifiers modifiers)
{
    modifiers &= Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier;
    // Ctrl+Z undoes; Ctrl+Shift+Z and Ctrl+Y (with or without Shift) redo.
    if (key == Qt::Key_Z && modifiers == Qt::ControlModifier)
        return cmd::MenuUndo;
    if ((key == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        || (key == Qt::Key_Y && (modifiers & ~Qt::ShiftModifier) == Qt::ControlModifier))
        return cmd::MenuRedo;
    if ((modifiers & ~Qt::ShiftModifier) == Qt::ControlModifier) {
        // Plus may need Shift on the main keyboard; "=" shares its key.
        switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: return cmd::MenuZoomIn;
        case Qt::Key_Minus:
        case Qt::Key_Underscore: return cmd::MenuZoomOut;
        default: break;
        }
    }
    if (modifiers == Qt::ControlModifier && key == Qt::Key_0)
        return cmd::MenuZoomToFit;
    if (modifiers == Qt::ControlModifier && key == Qt::Key_1)
        return cmd::MenuOriginalSize;
    if (modifiers == Qt::ControlModifier && key == Qt::Key_O)
        return cmd::MenuOpen;
    if (modifiers == Qt::ControlModifier && key == Qt::Key_R)
        return cmd::RotateRight;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_R)
        return cmd::RotateLeft;
    if (modifiers == (Qt::ControlModifier | Qt::AltModifier) && key == Qt::Key_I)
        return cmd::ResizePhoto;
    if (modifiers == Qt::ControlModifier && key == Qt::Key_S)
        return cmd::MenuSave;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_S)
        return cmd::MenuSaveAs;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_F)
        return cmd::MenuFade;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_A)
        return cmd::MenuAdjust;
    if (modifiers == Qt::AltModifier) {
        switch (key) {
        case Qt::Key_F: return cmd::FileMenuKey;
        case Qt::Key_E: return cmd::EditMenuKey;
        case Qt::Key_N: return cmd::PanelMenuKey;
        case Qt::Key_H: return cmd::HelpMenuKey;
        default: break;
        }
    }
    if (modifiers == Qt::NoModifier && key == Qt::Key_F1)
        return cmd::HelpKey;
    return 0;
}

bool CEditorDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && ownsWidget(watched)) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        // Accelerators first, whichever control has the focus.
        if (const int id = acceleratorCommand(key, keyEvent->modifiers())) {
            command(id);
            return true;
        }
        // The crop and level modes: Enter applies, Escape leaves the photo alone.
        if (m_canvas->geometryMode() != CPhotoCanvas::GeometryMode::None
            && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (key == Qt::Key_Escape)
                m_canvas->cancelGeometryMode();
            else
                m_canvas->applyGeometryMode();
            updateActions();
            update();
            return true;
        }
        // C and L (crop and level) unless a text is being typed.
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool typing = qobject_cast<QLineEdit*>(watched) || qobject_cast<QTextEdit*>(watched)
            || qobject_cast<QPlainTextEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched)
            || (widget && (widget == m_textPanel || m_textPanel->isAncestorOf(widget)));
        if (!typing && !m_inPreview && (keyEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && (key == Qt::Key_C || key == Qt::Key_L)) {
            command(key == Qt::Key_C ? cmd::Crop : cmd::Straighten);
            return true;
        }
        if (key == Qt::Key_Escape) {
            // Never closes the window; on the preview it leaves the preview.
            if (m_inPreview)
                leavePreview();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The text box, the zoom field and a focused strip use Enter.
            QWidget* box = m_textEditor->textBox();
            auto* w = static_cast<QWidget*>(watched);
            return !(w == box || box->isAncestorOf(w) || w == m_zoomField || qobject_cast<CEffectPanel*>(w));
        }
    }
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && ownsWidget(watched)
        && handleViewKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void CEditorDlg::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void CEditorDlg::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    // Open after the drop has finished, so the source application is not kept waiting.
    QTimer::singleShot(0, this, [this, path] { openWithQuestion(path); });
}

void CEditorDlg::closeEvent(QCloseEvent* event)
{
    if (!confirmDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
}

CFlatButton* CEditorDlg::button(int commandId) const
{
    auto it = m_buttons.find(commandId);
    return it == m_buttons.end() ? nullptr : it->second;
}

QAction* CEditorDlg::action(int commandId) const
{
    auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CEditorDlg::menu(int menuButtonId) const
{
    auto it = m_menus.find(menuButtonId);
    return it == m_menus.end() ? nullptr : it->second;
}

// --- Viewing ------------------------------------------------------------------------

void CEditorDlg::createViewControls()
{
    m_zoomField = new QLineEdit(this);
    m_zoomField->setObjectName(QStringLiteral("zoomField"));
    m_zoomField->setAlignment(Qt::AlignCenter);
    m_zoomField->setToolTip(tr("Zoom: type a percentage and press Enter (Ctrl++, Ctrl+-, Ctrl+0 fits, Ctrl+1 is 100 %)"));
    m_zoomField->setStyleSheet(QStringLiteral(
        "QLineEdit { background: #f4f4f6; border: 1px solid #8c8c96; border-radius: 3px; padding: 0 2px; }"));
    connect(m_zoomField, &QLineEdit::editingFinished, this, &CEditorDlg::applyZoomField);
    auto showZoom = [this](float zoom) {
        if (!m_zoomField->hasFocus())
            m_zoomField->setText(QStringLiteral("%1%").arg(qRound(zoom * 100.0f)));
    };
    connect(m_canvas, &CPhotoCanvas::zoomChanged, this, showZoom);
    showZoom(m_canvas->zoom());
    m_beforeButton = new CFlatButton(CFlatButton::Style::Tool, Glyph::Preview, QString(), this);
    m_beforeButton->setObjectName(QStringLiteral("beforeButton"));
    m_beforeButton->setToolTip(tr("Before: hold to see the photo as opened (or hold \\)"));
    connect(m_beforeButton, &QAbstractButton::pressed, this, [this] { m_canvas->setShowBefore(true); });
    connect(m_beforeButton, &QAbstractButton::released, this, [this] { m_canvas->setShowBefore(false); });
    // A Filters tile only selects; the notice says how to apply it, and the
    // restore brush no longer looks chosen beside it.
    connect(m_strips[size_t(EffectCategory::Filters)], &CEffectPanel::filterSelected, this, [this](EffectId id) {
        m_restore->setChecked(false);
        const EffectInfo* info = FindEffect(id);
        QString name = info && info->name ? QString::fromUtf8(info->name) : QString();
        name.replace(QStringLiteral("&&"), QStringLiteral("&"));
        showNotice(tr("\u201C%1\u201D selected: double-click it or press Apply").arg(name));
    });
}

void CEditorDlg::applyZoomField()
{
    QString text = m_zoomField->text().trimmed();
    text.remove(QLatin1Char('%'));
    bool ok = false;
    const double percent = text.trimmed().toDouble(&ok);
    if (ok && percent > 0)
        m_canvas->zoomAboutCentre(float(percent / 100.0));
    // Shows the zoom in force (clamped, or unchanged after bad input).
    m_zoomField->setText(QStringLiteral("%1%").arg(qRound(m_canvas->zoom() * 100.0f)));
}

bool CEditorDlg::handleViewKey(QWidget* target, const QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Backslash)
        return false;
    // Text entries and buttons keep their own use of these keys.
    if (qobject_cast<QLineEdit*>(target) || target->inherits("QTextEdit") || target->inherits("QPlainTextEdit")
        || target->inherits("QAbstractSpinBox") || target->inherits("QComboBox"))
        return false;
    if (key == Qt::Key_Space && qobject_cast<QAbstractButton*>(target))
        return false;
    if (m_inPreview && key == Qt::Key_Space)
        return false;
    const bool down = event->type() == QEvent::KeyPress;
    if (event->isAutoRepeat())
        return true;
    if (key == Qt::Key_Space)
        m_canvas->setSpacePan(down);
    else
        m_canvas->setShowBefore(down);
    return true;
}

} // namespace ombrik
