// CEditorDlg: the main window. A borderless, self-drawn window that owns the
// editing session and the canvas that shows it, the four effect strips, the
// Text, Adjust and photo frame panels, the tool strip, the menu buttons and the
// sliders. Commands come from one table (app/commands.h); the file, panel and
// view controllers carry them out, and the chrome paints the window's own parts.
#pragma once

#include "app/commands.h"
#include "canvas/text_drawing.h"
#include "effects/effect_catalogue.h"
#include "engine/progress.h"
#include "recovery/recovery_session.h"
#include "session/editor_session.h"
#include "ui/messages.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QSlider;
class QTimer;

namespace ombrik {

class CAdjustPanel;
class CBrushPicker;
class CFadeDialog;
class CColourPalette;
class CEffectPanel;
class CFlatButton;
class CFramePanel;
class CPhotoCanvas;
class CTextPanel;
class FileController;
class PanelController;
class ViewController;
class WindowChrome;

enum class Panel { Retouch = 0, Filters = 1, Warp = 2, Lighting = 3, Text = 4, Adjust = 5 };

class CEditorDlg : public QWidget, public MessageTarget, public RecoveryPrompts {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 800;
    static constexpr int kMinHeight = 570;
    static constexpr int kTopBand = 30;

    explicit CEditorDlg(QWidget* parent = nullptr);
    ~CEditorDlg() override;

    // Messages from the strips and panels.
    intptr_t sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    // Runs a command of the window (either id of a pair).
    void command(int id);

    // Opens a photo without asking anything; false (and a message) on failure.
    bool openPath(const QString& path);
    // Open with the "modified" question first; false when nothing was opened.
    bool openWithQuestion(const QString& path);
    // A second start asked this window to come to the front (and open files):
    // the request waits until the window is idle (no dialog up, no effect
    // running) and then goes the way of File > Open.
    void activateFromSecondStart(const QStringList& files);
    // A short notice over the canvas that goes by itself.
    void showPassingNotice(const QString& text);
    // One photo is edited at a time: says which of `files` (all but the first)
    // were not opened.
    void tellOnlyFirstOpened(const QStringList& files);

    // The restore questions at start-up, asked with this window's dialogs.
    RecoveryChoice askRestore(const std::vector<LeftJournal>& journals) override;
    bool askYesNo(const QString& text) override;
    void tell(const QString& text) override;

    // Hooks for the file dialogs, replaced by tests. Empty: the real dialogs.
    std::function<QString()> chooseOpenFile;
    std::function<QString()> chooseSaveFile;
    // Replaces the whole Save As (dialog and writing); returns whether it saved.
    std::function<bool()> saveAsDialog;
    // Replaces the Resize dialog: the new size, or an empty size for Cancel.
    std::function<QSize()> chooseResize;
    // Runs the Fade box instead of exec(); returns whether it was accepted.
    std::function<bool(CFadeDialog&)> execFadeDialog;

    EditorSession& session() { return m_session; }
    const EditorSession& session() const { return m_session; }
    CPhotoCanvas* canvas() const { return m_canvas; }
    CEffectPanel* strip(int category) const { return m_strips[size_t(category)]; }
    CFlatButton* restoreButton() const { return m_restore; }
    CFlatButton* reduceWarpButton() const { return m_reduceWarp; }
    CBrushPicker* brushPicker() const { return m_brushPicker; }
    CColourPalette* palette() const { return m_palette; }
    QWidget* textPanel() const;
    CTextPanel* textEditor() const { return m_textEditor; }
    CAdjustPanel* adjustPanel() const { return m_adjustPanel; }
    const TextTemplate& textTemplate() const { return m_template; }
    CFramePanel* framePanel() const { return m_framePanel; }
    QSlider* opacitySlider() const { return m_opacity; }
    QSlider* deformRadiusSlider() const { return m_deformRadius; }
    QSlider* deformAmountSlider() const { return m_deformAmount; }
    CFlatButton* button(int commandId) const;
    QAction* action(int commandId) const;
    QMenu* menu(int menuButtonId) const;
    QMenu* contextMenu() const { return m_contextMenu; }
    QMenu* recentMenu() const;
    Panel currentPanel() const;
    bool inPreview() const;
    // How many progress strips the canvas was asked to draw.
    int progressDrawCount() const { return m_progressDrawCount; }
    QString windowCaption() const;
    QLabel* notice() const { return m_notice; }
    // The editable zoom percentage in the tool strip and the before/after button.
    QLineEdit* zoomField() const;
    CFlatButton* beforeButton() const;
    // Delay before a long effect shows its progress box (tests shorten it).
    void setProgressBoxDelay(int ms) { m_progressBoxDelay = ms; }

    // The command of an accelerator key, or 0.
    static int acceleratorCommand(int key, Qt::KeyboardModifiers modifiers);

    // Layout rectangles of the client size (window_layout.cpp).
    QRect canvasRect() const;
    QRect titleRect() const;
    Qt::Edges edgesAt(QPoint p) const;
    // Lays the children out for the client size and shows those of the panel.
    void layoutChildren();
    void applyVisibility();
    // Sets every command's enabled state and the title from the session.
    void updateActions();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class FileController;
    friend class PanelController;
    friend class ViewController;
    friend class WindowChrome;

    void createPanels();
    void createButtons();
    void createMenus();
    void createSliders();
    void showDropDown(int menuButtonId);
    void toggleMaximized();
    void showHelp();
    void showAbout();
    void showNotice(const QString& text);
    void showProgress(int percent);
    bool ownsWidget(QObject* object) const;
    bool isTyping(QObject* watched) const;
    bool stepMenus(QObject* watched, const QKeyEvent* event);
    void handleSecondStarts();

    EditorSession m_session;
    CPhotoCanvas* m_canvas = nullptr;
    std::array<CEffectPanel*, 4> m_strips{};
    CFlatButton* m_restore = nullptr;
    CFlatButton* m_reduceWarp = nullptr;
    CBrushPicker* m_brushPicker = nullptr;
    CColourPalette* m_palette = nullptr;
    CTextPanel* m_textEditor = nullptr;
    CAdjustPanel* m_adjustPanel = nullptr;
    TextTemplate m_template;  // the main window's copy of the Text panel's template
    CFramePanel* m_framePanel = nullptr;
    QSlider* m_opacity = nullptr;
    QSlider* m_deformRadius = nullptr;
    QSlider* m_deformAmount = nullptr;
    std::array<CFlatButton*, 6> m_panelButtons{};
    std::array<CFlatButton*, 4> m_menuButtons{};
    std::array<CFlatButton*, 3> m_captionButtons{};
    std::map<int, CFlatButton*> m_buttons;   // by command id
    std::map<int, QAction*> m_actions;       // by command id
    std::map<int, QMenu*> m_menus;           // by menu button id
    QMenu* m_contextMenu = nullptr;
    QLabel* m_notice = nullptr;
    QTimer* m_noticeTimer = nullptr;
    int m_progressBoxDelay = 250;
    QList<QStringList> m_secondStarts;  // waiting for the window to be idle
    QTimer* m_secondStartTimer = nullptr;
    bool m_handlingSecondStart = false;
    bool m_suppressProgress = false;
    int m_progressDrawCount = 0;
    std::unique_ptr<ScopedProgressSink> m_progressSink;

    std::unique_ptr<WindowChrome> m_chrome;
    std::unique_ptr<FileController> m_files;
    std::unique_ptr<PanelController> m_panels;
    std::unique_ptr<ViewController> m_view;
};

} // namespace ombrik
