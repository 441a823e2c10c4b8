// CEditorDlg: the main window. A borderless, self-drawn window that owns the
// canvas, the four effect strips, the Text and photo frame panel areas, the tool
// strip, the menu buttons and the sliders, and turns their commands and
// messages into calls on the canvas.
#pragma once

#include "canvas/messages.h"
#include "canvas/text_drawing.h"
#include "effects/effect_catalogue.h"
#include "engine/progress.h"

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

// Command ids of the window (menu items and buttons that do the same share an action).
namespace cmd {
inline constexpr int Close = 10010, Minimize = 10011, Maximize = 10012;
inline constexpr int AutoResizeThreshold = 10489, DeleteSelectedObject = 10494, ZoomToFit = 10495;
inline constexpr int ZoomIn = 10496, ZoomOut = 10497;
inline constexpr int OpenButton = 10552, SaveButton = 10553, Undo = 10554, Redo = 10555, Preview = 10556;
inline constexpr int OriginalSize = 10558, DeletePhotoFrame = 10559;
inline constexpr int RetouchPanel = 10700, FiltersPanel = 10701, WarpPanel = 10702, LightingPanel = 10703;
inline constexpr int TextPanel = 10705, RestoreBrush = 10706;
inline constexpr int MenuSave = 10850;
inline constexpr int MenuOpen = 10851, MenuSaveAs = 10852, MenuThreshold = 10853, MenuDeleteObject = 10854;
inline constexpr int MenuDeleteFrame = 10855, MenuZoomIn = 10860, MenuZoomOut = 10861, MenuZoomToFit = 10862;
inline constexpr int MenuOriginalSize = 10863, MenuPreview = 10901, MenuExit = 10903;
inline constexpr int MenuRetouch = 10910, MenuWarp = 10911, MenuLighting = 10912, MenuFilters = 10914;
inline constexpr int MenuText = 10916, HelpContent = 10930, About = 10931, MenuUndo = 10934, MenuRedo = 10935;
inline constexpr int HelpKey = 57670;
inline constexpr int FileMenuButton = 11000, PanelMenuButton = 11002, EditMenuButton = 11003;
inline constexpr int HelpMenuButton = 11005;
inline constexpr int FileMenuKey = 11007, EditMenuKey = 11008, PanelMenuKey = 11009, HelpMenuKey = 11011;
// Geometry commands (menu items and tool-strip buttons share the id).
inline constexpr int Crop = 10970, Straighten = 10971, RotateLeft = 10972, RotateRight = 10973;
inline constexpr int Rotate180 = 10974, FlipHorizontal = 10975, FlipVertical = 10976, ResizePhoto = 10977;
inline constexpr int AdjustPanel = 10707, MenuAdjust = 10917, MenuFade = 10936;
} // namespace cmd

enum class Panel { Retouch = 0, Filters = 1, Warp = 2, Lighting = 3, Text = 4, Adjust = 5 };

class CEditorDlg : public QWidget, public MessageTarget {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 800;
    static constexpr int kMinHeight = 570;
    static constexpr int kTopBand = 30;
    static constexpr int kEdgeGrip = 5;
    static constexpr int kCornerGrip = 8;

    explicit CEditorDlg(QWidget* parent = nullptr);
    ~CEditorDlg() override;

    intptr_t sendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

    // Runs a command of the window (menu item or button id).
    void command(int id);

    // Opens a photo without asking anything; false (and a message) on failure.
    bool openPath(const QString& path);
    // Open with the "modified" question first; false when nothing was opened.
    bool openWithQuestion(const QString& path);
    // A second start asked this window to come to the front (and open files).
    void activateFromSecondStart(const QStringList& files);
    // A short notice over the canvas that goes by itself.
    void showPassingNotice(const QString& text);
    // One photo is edited at a time: says which of `files` (all but the first)
    // were not opened.
    void tellOnlyFirstOpened(const QStringList& files);

    // Hooks for the file dialogs, replaced by tests. Empty: the real dialogs.
    std::function<QString()> chooseOpenFile;
    std::function<QString()> chooseSaveFile;
    // Replaces the whole Save As (dialog and writing); returns whether it saved.
    std::function<bool()> saveAsDialog;
    // Replaces the Resize dialog: the new size, or an empty size for Cancel.
    std::function<QSize()> chooseResize;
    // Runs the Fade box instead of exec(); returns whether it was accepted.
    std::function<bool(CFadeDialog&)> execFadeDialog;

    CPhotoCanvas* canvas() const { return m_canvas; }
    CEffectPanel* strip(int category) const { return m_strips[size_t(category)]; }
    CFlatButton* restoreButton() const { return m_restore; }
    CFlatButton* reduceWarpButton() const { return m_reduceWarp; }
    CBrushPicker* brushPicker() const { return m_brushPicker; }
    CColourPalette* palette() const { return m_palette; }
    QWidget* textPanel() const { return m_textPanel; }
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
    QMenu* recentMenu() const { return m_recentMenu; }
    Panel currentPanel() const { return m_currentPanel; }
    bool inPreview() const { return m_inPreview; }
    // How many progress strips the canvas was asked to draw.
    int progressDrawCount() const { return m_progressDrawCount; }
    QString windowCaption() const;
    QLabel* notice() const { return m_notice; }
    // The editable zoom percentage in the tool strip and the before/after button.
    QLineEdit* zoomField() const { return m_zoomField; }
    CFlatButton* beforeButton() const { return m_beforeButton; }
    // Delay before a long effect shows its progress box (tests shorten it).
    void setProgressBoxDelay(int ms) { m_progressBoxDelay = ms; }

    // The command of an accelerator key, or 0.
    static int acceleratorCommand(int key, Qt::KeyboardModifiers modifiers);

    // Layout rectangles of the client size (also used by the resize layout).
    QRect canvasRect() const;
    QRect titleRect() const;
    Qt::Edges edgesAt(QPoint p) const;

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
    void createStrips();
    void createButtons();
    void createActions();
    void createMenus();
    void createSliders();
    void layoutChildren();
    void applyVisibility();
    void showPanel(Panel panel);
    void chooseEffect(EffectId id);
    void pressRestoreBrush();
    void updateActions();
    void openCommand();
    bool saveAsCommand();
    // Save: writes the photo back to its file in that file's format, or asks
    // like Save As when that cannot be done; true when it was saved.
    bool saveCommand();
    bool canSaveInPlace() const;
    // Writes the composite to `path` (atomically) and, when that worked, records
    // the photo as saved under that name and adds it to Open Recent.
    bool writePhotoTo(const QString& path);
    // The "modified" question before a photo is replaced or the window closes:
    // false when the user cancelled, or wanted to save and the save did not happen.
    bool confirmDiscard();
    void autoResizeThreshold();
    void geometryCommand(int id);
    void resizeCommand();
    void enterPreview();
    void leavePreview();
    void toggleMaximized();
    void showDropDown(int menuButtonId);
    void showHelp();
    void showAbout();
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();
    void showNotice(const QString& text);
    void showProgress(int percent);
    bool ownsWidget(QObject* object) const;
    void createViewControls();
    void applyZoomField();
    bool handleViewKey(QWidget* target, const QKeyEvent* event);
    void previewAdjustment();
    void applyAdjustment();
    void fadeCommand();

    CPhotoCanvas* m_canvas = nullptr;
    std::array<CEffectPanel*, 4> m_strips{};
    CFlatButton* m_restore = nullptr;
    CFlatButton* m_reduceWarp = nullptr;
    CBrushPicker* m_brushPicker = nullptr;
    CColourPalette* m_palette = nullptr;
    QWidget* m_textPanel = nullptr;
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
    std::map<int, CFlatButton*> m_buttons;
    std::map<int, QAction*> m_actions;
    std::map<int, QMenu*> m_menus;
    QMenu* m_contextMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    QLabel* m_notice = nullptr;
    QTimer* m_noticeTimer = nullptr;
    QLineEdit* m_zoomField = nullptr;
    CFlatButton* m_beforeButton = nullptr;
    int m_progressBoxDelay = 250;

    // Save settings remembered between saves: the quality of lossy formats,
    // lossless WebP/JPEG XL, and leaving out camera and location details.
    int m_saveQuality = 90;
    bool m_saveLossless = false;
    bool m_stripMetadata = false;
    bool m_openedReduced = false;   // the photo was downsized on open: Save must not replace the original
    bool m_savedSinceOpen = false;
    Panel m_currentPanel = Panel::Retouch;
    float m_zoomBeforePreview = 1.0f;
    bool m_inPreview = false;
    bool m_suppressProgress = false;
    int m_progressDrawCount = 0;
    std::unique_ptr<ScopedProgressSink> m_progressSink;

    // Manual move and resize where the window system cannot do it for us.
    enum class Drag { None, Move, Resize } m_drag = Drag::None;
    Qt::Edges m_dragEdges;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
};

} // namespace ombrik
