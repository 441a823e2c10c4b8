#include "app/editor_dlg.h"

#include "app/adjust_controller.h"
#include "app/develop_notice.h"
#include "app/editor_app.h"
#include "app/file_controller.h"
#include "app/panel_controller.h"
#include "app/view_controller.h"
#include "app/window_chrome.h"
#include "ui/adjust_panel.h"
#include "ui/artwork.h"
#include "ui/brush_picker.h"
#include "ui/colour_palette.h"
#include "ui/effect_panel.h"
#include "ui/flat_button.h"
#include "ui/frame_panel.h"
#include "ui/message_box.h"
#include "ui/progress_box.h"
#include "ui/recovery_dialog.h"
#include "ui/text_panel.h"
#include "ui/tone_graph.h"
#include "view/photo_canvas.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace ombrik {

namespace {

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

    m_chrome = std::make_unique<WindowChrome>(*this);
    m_files = std::make_unique<FileController>(*this, m_session);
    m_panels = std::make_unique<PanelController>(*this, m_session);
    m_view = std::make_unique<ViewController>(*this, m_session);

    // Progress from long effects goes to the canvas strip.
    m_progressSink = std::make_unique<ScopedProgressSink>(
        [this](int percent) { sendMessage(WM_EFFECT_PROGRESS, 0, percent); });
    // Filters and result brushes run on a worker with a progress box and Cancel.
    m_session.setLongRunner([this](const std::function<void()>& work, EffectId id, const QString& named) {
        const EffectInfo* info = FindEffect(id);
        QString name = !named.isEmpty() ? named : info && info->name ? QString::fromUtf8(info->name) : tr("Effect");
        name.replace(QStringLiteral("&&"), QStringLiteral("&"));
        return RunWithProgress(this, name, work, m_progressBoxDelay);
    });
    connect(&m_session, &EditorSession::historyChanged, this, &CEditorDlg::updateActions);
    connect(&m_session, &EditorSession::changed, this, &CEditorDlg::updateActions);

    createPanels();
    createButtons();
    createMenus();
    createSliders();

    m_canvas = new CPhotoCanvas(m_session, this);
    m_canvas->setObjectName(QStringLiteral("canvas"));
    connect(m_canvas, &CPhotoCanvas::textSelected, this, [this](const QString& text) { m_textEditor->showText(text, true); });
    connect(m_canvas, &CPhotoCanvas::textAdded, this, [this](const QString& text) { m_textEditor->showText(text, false); });
    connect(m_canvas, &CPhotoCanvas::contextMenuRequested, this, [this] {
        if (!inPreview())
            m_contextMenu->popup(QCursor::pos());
    });
    connect(m_canvas, &CPhotoCanvas::leavePreviewRequested, this, [this] { m_view->leavePreview(); });
    connect(m_canvas, &CPhotoCanvas::geometryModeChanged, this, &CEditorDlg::updateActions);
    connect(m_canvas, &CPhotoCanvas::noticeRequested, this, &CEditorDlg::showNotice);
    // The heal and clone buttons show which of them paints.
    connect(m_canvas, &CPhotoCanvas::retouchChanged, this, [this] {
        const CPhotoCanvas::Retouch tool = m_canvas->retouch();
        m_panels->showChosenBrush(tool != CPhotoCanvas::Retouch::None);
        for (auto [id, kind] : {std::pair{cmd::Heal, CPhotoCanvas::Retouch::Heal}, {cmd::Clone, CPhotoCanvas::Retouch::Clone}})
            if (CFlatButton* b = button(id)) {
                b->setCheckable(true);
                b->setChecked(tool == kind);
            }
    });
    m_view->createControls();
    // A RAW's preview is marked and kept from edits until it is developed.
    new DevelopNotice(*this, m_session);
    // A Filters tile only selects; the notice says how to apply it, and the
    // restore brush no longer looks chosen beside it.
    connect(m_strips[size_t(EffectCategory::Filters)], &CEffectPanel::filterSelected, this, [this](EffectId id) {
        m_restore->setChecked(false);
        const EffectInfo* info = FindEffect(id);
        QString name = info && info->name ? QString::fromUtf8(info->name) : QString();
        name.replace(QStringLiteral("&&"), QStringLiteral("&"));
        showNotice(tr("\u201C%1\u201D selected: double-click it or press Apply").arg(name));
    });

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_notice->hide();
    m_secondStartTimer = new QTimer(this);
    m_secondStartTimer->setSingleShot(true);
    connect(m_secondStartTimer, &QTimer::timeout, this, &CEditorDlg::handleSecondStarts);
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);

    qApp->installEventFilter(this);
    m_panels->showPanel(Panel::Retouch);
    layoutChildren();
    updateActions();
}

CEditorDlg::~CEditorDlg()
{
    qApp->removeEventFilter(this);
    // The Adjust controller hears the panel hidden while QWidget's destructor
    // closes the window, when this object is no longer a window: it goes first.
    qDeleteAll(findChildren<AdjustController*>(Qt::FindDirectChildrenOnly));
    // The session outlives the widgets that listen to it.
    m_session.disconnect(this);
    m_session.setLongRunner(nullptr);
}

// --- State ---------------------------------------------------------------------

QString CEditorDlg::windowCaption() const
{
    const CanvasDocument& doc = m_session.document();
    if (!doc.hasPhoto())
        return QString::fromUtf8(kProductTitle);
    const QString name = QFileInfo(QString::fromStdString(doc.photoPath())).fileName();
    const bool modified = doc.modified() || doc.adjustPreviewActive();
    return name + (modified ? QStringLiteral(" *") : QString()) + QStringLiteral("  —  ")
        + QString::fromUtf8(kProductTitle);
}

void CEditorDlg::updateActions()
{
    const CanvasDocument& doc = m_session.document();
    for (const Command& c : Commands()) {
        bool on = true;
        switch (c.enabled) {
        case EnabledWhen::Always: break;
        case EnabledWhen::HasPhoto: on = doc.hasPhoto(); break;
        case EnabledWhen::CanUndo: on = doc.canUndo(); break;
        case EnabledWhen::CanRedo: on = doc.canRedo(); break;
        case EnabledWhen::HasSelectedObject: on = doc.hasSelectedObject(); break;
        case EnabledWhen::HasFrame: on = doc.frameIndex() >= 0; break;
        case EnabledWhen::CanFade: on = doc.canFade(); break;
        }
        if (QAction* a = action(c.id))
            a->setEnabled(on);
        if (CFlatButton* b = button(c.id))
            b->setEnabled(on);
    }
    const QString caption = windowCaption();
    if (windowTitle() != caption)
        setWindowTitle(caption);
    update(QRect(0, 0, width(), 142));
}

// --- Messages and commands -----------------------------------------------------------

intptr_t CEditorDlg::sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_EFFECT_COMMAND:
        switch (wParam) {
        case 0:
            m_canvas->setRetouch(CPhotoCanvas::Retouch::None);
            m_panels->chooseEffect(EffectId(lParam));
            break;
        case 1: m_session.setBrushSizePreset(int(lParam)); break;
        case 2: m_session.setBrushShape(int(lParam)); break;
        case 4:
        case 6:
        case 8: m_session.setOption(int(wParam), int(lParam)); break;
        default: break;
        }
        return 1;
    case WM_EFFECT_PROGRESS:
        showProgress(int(lParam));
        return 1;
    case WM_APPLY_DECORATION:
        if (wParam == CColourPalette::kDecorationCode)
            m_session.setEffectColour(uint32_t(lParam) & 0xFFFFFF);
        else if (wParam == CFramePanel::kDecorationCode)
            m_session.setFrame(int(lParam));
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
            m_session.mergeText();
        return 1;
    default:
        return 0;
    }
}

void CEditorDlg::command(int id)
{
    id = CanonicalCommand(id);
    // A crop or level mode ends (leaving the photo as it was) before any
    // command but zooming and opening the menus.
    const bool keepsMode = id == cmd::ZoomIn || id == cmd::ZoomOut || id == cmd::ZoomToFit || id == cmd::OriginalSize
        || id == cmd::FileMenuButton || id == cmd::EditMenuButton || id == cmd::PanelMenuButton
        || id == cmd::HelpMenuButton;
    if (m_canvas && !keepsMode)
        m_canvas->cancelGeometryMode();
    switch (id) {
    case cmd::Crop:
    case cmd::Straighten:
    case cmd::RotateLeft:
    case cmd::RotateRight:
    case cmd::Rotate180:
    case cmd::FlipHorizontal:
    case cmd::FlipVertical:
    case cmd::ResizePhoto: m_view->geometryCommand(id); break;
    case cmd::Heal:
    case cmd::Clone: {
        const auto tool = id == cmd::Heal ? CPhotoCanvas::Retouch::Heal : CPhotoCanvas::Retouch::Clone;
        m_canvas->setRetouch(m_canvas->retouch() == tool ? CPhotoCanvas::Retouch::None : tool);
        break;
    }
    case cmd::OpenButton: m_files->openCommand(); break;
    case cmd::MenuSave: m_files->saveCommand(); break;
    case cmd::SaveButton: m_files->saveAsCommand(); break;
    case cmd::AutoResizeThreshold: m_files->thresholdCommand(); break;
    case cmd::DeleteSelectedObject: m_session.deleteSelectedObject(); break;
    case cmd::DeletePhotoFrame: m_session.deleteFrame(); break;
    case cmd::Undo: m_session.undo(); break;
    case cmd::Redo: m_session.redo(); break;
    case cmd::ZoomIn: m_canvas->zoomIn(); break;
    case cmd::ZoomOut: m_canvas->zoomOut(); break;
    case cmd::ZoomToFit: m_canvas->zoomToFit(); break;
    case cmd::OriginalSize: m_canvas->actualSize(); break;
    case cmd::Preview: m_view->enterPreview(); break;
    case cmd::Close: close(); break;
    case cmd::Minimize: showMinimized(); break;
    case cmd::Maximize: toggleMaximized(); break;
    case cmd::RetouchPanel: m_panels->showPanel(Panel::Retouch); break;
    case cmd::FiltersPanel: m_panels->showPanel(Panel::Filters); break;
    case cmd::WarpPanel: m_panels->showPanel(Panel::Warp); break;
    case cmd::LightingPanel: m_panels->showPanel(Panel::Lighting); break;
    case cmd::TextPanel: m_panels->showPanel(Panel::Text); break;
    case cmd::AdjustPanel: m_panels->showPanel(Panel::Adjust); break;
    case cmd::NextPanel:
    case cmd::PreviousPanel: m_panels->stepPanel(id == cmd::NextPanel ? 1 : -1); break;
    case cmd::MenuFade: m_panels->fadeCommand(); break;
    case cmd::RestoreBrush: m_panels->pressRestoreBrush(); break;
    case cmd::HelpContent: showHelp(); break;
    case cmd::About: showAbout(); break;
    case cmd::FileMenuButton:
    case cmd::EditMenuButton:
    case cmd::PanelMenuButton:
    case cmd::HelpMenuButton: showDropDown(id); break;
    default: break;
    }
}

bool CEditorDlg::openPath(const QString& path)
{
    return m_files->openPath(path);
}

bool CEditorDlg::openWithQuestion(const QString& path)
{
    return m_files->openWithQuestion(path);
}

void CEditorDlg::activateFromSecondStart(const QStringList& files)
{
    m_secondStarts.append(files);
    m_secondStartTimer->start(0);
}

void CEditorDlg::handleSecondStarts()
{
    if (m_secondStarts.isEmpty())
        return;
    // Nothing happens inside a question, a menu or a running effect (their
    // event loops would run it there); the request waits for them to end.
    if (m_handlingSecondStart || m_session.busy() || QApplication::activeModalWidget()
        || QApplication::activePopupWidget()) {
        m_secondStartTimer->start(100);
        return;
    }
    const QStringList files = m_secondStarts.takeFirst();
    m_handlingSecondStart = true;
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    qInfo("ombrik: brought to the front by a second start");
    if (!files.isEmpty())
        m_files->openWithQuestion(files.first());
    m_files->tellOnlyFirstOpened(files);
    m_handlingSecondStart = false;
    if (!m_secondStarts.isEmpty())
        m_secondStartTimer->start(0);
}

void CEditorDlg::tellOnlyFirstOpened(const QStringList& files)
{
    m_files->tellOnlyFirstOpened(files);
}

RecoveryChoice CEditorDlg::askRestore(const std::vector<LeftJournal>& journals)
{
    return AskAboutLeftJournals(this, journals);
}

bool CEditorDlg::askYesNo(const QString& text)
{
    return AskYesNo(this, text);
}

void CEditorDlg::tell(const QString& text)
{
    showPassingNotice(text);
}

void CEditorDlg::showProgress(int percent)
{
    if (m_suppressProgress || !m_canvas || !m_canvas->isVisible())
        return;
    ++m_progressDrawCount;
    m_canvas->showProgress(percent);
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
    CFlatButton* b = button(menuButtonId);
    QMenu* m = menu(menuButtonId);
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
    box.setText(QStringLiteral("<h3>%1</h3><p>%2</p>")
                    .arg(QString::fromUtf8(kProductTitle), tr("Version %1").arg(QCoreApplication::applicationVersion())));
    box.setInformativeText(tr("Retouch, filter, warp and light your photos.\n"
                              "Every effect is computed by the editor itself on the photo's pixels."));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

// --- Events --------------------------------------------------------------------------

void CEditorDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    m_chrome->paint(p);
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

Qt::Edges CEditorDlg::edgesAt(QPoint p) const
{
    return m_chrome->edgesAt(p);
}

void CEditorDlg::mousePressEvent(QMouseEvent* event)
{
    if (inPreview()) {
        // A click anywhere leaves the preview; the click itself does nothing else.
        m_view->leavePreview();
        return;
    }
    m_chrome->press(event);
}

void CEditorDlg::mouseMoveEvent(QMouseEvent* event)
{
    m_chrome->move(event);
}

void CEditorDlg::mouseReleaseEvent(QMouseEvent*)
{
    m_chrome->release();
}

void CEditorDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (inPreview())
        return;
    if (event->button() == Qt::LeftButton && event->position().y() < kTopBand && !edgesAt(event->position().toPoint()))
        toggleMaximized();
}

bool CEditorDlg::ownsWidget(QObject* object) const
{
    auto* w = qobject_cast<QWidget*>(object);
    return w && w->window() == this;
}

bool CEditorDlg::isTyping(QObject* watched) const
{
    auto* widget = qobject_cast<QWidget*>(watched);
    // A curve being edited uses Delete, Insert and the arrows for its points.
    const auto* graph = qobject_cast<CToneGraph*>(watched);
    return (graph && graph->editing()) || qobject_cast<QLineEdit*>(watched) || qobject_cast<QTextEdit*>(watched)
        || qobject_cast<QPlainTextEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched)
        || (widget && (widget == m_textEditor || m_textEditor->isAncestorOf(widget)));
}

int CEditorDlg::acceleratorCommand(int key, Qt::KeyboardModifiers modifiers)
{
    // Plain keys (C, L, Delete) are left out here: they depend on the focus.
    return CommandForKey(QKeyCombination(modifiers, Qt::Key(key)), true);
}

bool CEditorDlg::stepMenus(QObject* watched, const QKeyEvent* event)
{
    // Left and Right go from one drop-down menu to the next, as in a menu bar
    // (Right opens a submenu first, where the item has one).
    const int key = event->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right)
        return false;
    for (size_t i = 0; i < m_menuButtons.size(); ++i) {
        QMenu* m = menu(m_menuButtons[i]->commandId());
        if (watched != m)
            continue;
        if (key == Qt::Key_Right && m->activeAction() && m->activeAction()->menu())
            return false;
        const size_t next = (i + m_menuButtons.size() + (key == Qt::Key_Right ? 1 : -1)) % m_menuButtons.size();
        m->hide();
        showDropDown(m_menuButtons[next]->commandId());
        if (QMenu* opened = menu(m_menuButtons[next]->commandId()); opened && !opened->actions().isEmpty())
            opened->setActiveAction(opened->actions().first());
        return true;
    }
    return false;
}

bool CEditorDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QMenu*>(watched)
        && stepMenus(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::KeyPress && ownsWidget(watched)) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        // The window's keys first, whichever control has the focus; keys that
        // type a character are left to text fields and to the preview.
        const bool typing = isTyping(watched) || inPreview();
        if (const int id = CommandForKey(QKeyCombination(keyEvent->modifiers() & ~Qt::KeypadModifier, Qt::Key(key)),
                                         typing)) {
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
        if (key == Qt::Key_Escape) {
            // Never closes the window; on the preview it leaves the preview.
            m_view->leavePreview();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The text box, the zoom field and a focused strip use Enter.
            QWidget* box = m_textEditor->textBox();
            auto* w = static_cast<QWidget*>(watched);
            return !(w == box || box->isAncestorOf(w) || w == m_view->zoomField() || qobject_cast<CEffectPanel*>(w));
        }
    }
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && ownsWidget(watched)
        && m_view->handleViewKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event)))
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
    QTimer::singleShot(0, this, [this, path] { m_files->openWithQuestion(path); });
}

void CEditorDlg::closeEvent(QCloseEvent* event)
{
    if (!m_files->confirmDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
}

// --- Accessors ---------------------------------------------------------------------------

QWidget* CEditorDlg::textPanel() const
{
    return m_textEditor;
}

CFlatButton* CEditorDlg::button(int commandId) const
{
    auto it = m_buttons.find(CanonicalCommand(commandId));
    return it == m_buttons.end() ? nullptr : it->second;
}

QAction* CEditorDlg::action(int commandId) const
{
    auto it = m_actions.find(CanonicalCommand(commandId));
    return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CEditorDlg::menu(int menuButtonId) const
{
    auto it = m_menus.find(CanonicalCommand(menuButtonId));
    return it == m_menus.end() ? nullptr : it->second;
}

QMenu* CEditorDlg::recentMenu() const
{
    return m_files->recentMenu();
}

Panel CEditorDlg::currentPanel() const
{
    return m_panels->currentPanel();
}

bool CEditorDlg::inPreview() const
{
    return m_view && m_view->inPreview();
}

QLineEdit* CEditorDlg::zoomField() const
{
    return m_view->zoomField();
}

CFlatButton* CEditorDlg::beforeButton() const
{
    return m_view->beforeButton();
}

} // namespace ombrik
