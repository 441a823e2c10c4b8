#include "app/commands.h"

#include <QCoreApplication>
#include <QKeySequence>

namespace ombrik {

namespace {

constexpr QKeyCombination kNone{};
constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Alt = Qt::AltModifier;

constexpr std::array<QKeyCombination, 4> Keys(QKeyCombination a = kNone, QKeyCombination b = kNone,
                                              QKeyCombination c = kNone, QKeyCombination d = kNone)
{
    return {a, b, c, d};
}

// clang-format off
constexpr Command kCommands[] = {
    // id                          alias                  text                         caption      tip
    {cmd::OpenButton,              cmd::MenuOpen,         QT_TRANSLATE_NOOP("CEditorDlg", "Open"),                   nullptr,     QT_TRANSLATE_NOOP("CEditorDlg", "Open a photo"),
     Glyph::Open, Keys(Ctrl | Qt::Key_O), false, EnabledWhen::Always},
    {cmd::MenuSave,                0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Save"),                   nullptr,     nullptr,
     Glyph::Save, Keys(Ctrl | Qt::Key_S), false, EnabledWhen::Always},
    {cmd::SaveButton,              cmd::MenuSaveAs,       QT_TRANSLATE_NOOP("CEditorDlg", "Save As..."),             QT_TRANSLATE_NOOP("CEditorDlg", "Save"),   QT_TRANSLATE_NOOP("CEditorDlg", "Save the photo as a picture file"),
     Glyph::Save, Keys(Ctrl | Shift | Qt::Key_S), false, EnabledWhen::Always},
    {cmd::AutoResizeThreshold,     cmd::MenuThreshold,    QT_TRANSLATE_NOOP("CEditorDlg", "Auto Resize Threshold"),  nullptr,     nullptr,
     Glyph::Threshold, Keys(), false, EnabledWhen::Always},
    {cmd::DeleteSelectedObject,    cmd::MenuDeleteObject, QT_TRANSLATE_NOOP("CEditorDlg", "Delete Selected Object"), nullptr,     nullptr,
     Glyph::DeleteObject, Keys(QKeyCombination(Qt::Key_Delete)), false, EnabledWhen::HasSelectedObject},
    {cmd::DeletePhotoFrame,        cmd::MenuDeleteFrame,  QT_TRANSLATE_NOOP("CEditorDlg", "Delete Photo Frame"),     nullptr,     nullptr,
     Glyph::DeleteFrame, Keys(), false, EnabledWhen::HasFrame},
    {cmd::Undo,                    cmd::MenuUndo,         QT_TRANSLATE_NOOP("CEditorDlg", "Undo"),                   nullptr,     nullptr,
     Glyph::Undo, Keys(Ctrl | Qt::Key_Z), true, EnabledWhen::CanUndo},
    {cmd::Redo,                    cmd::MenuRedo,         QT_TRANSLATE_NOOP("CEditorDlg", "Redo"),                   nullptr,     nullptr,
     Glyph::Redo, Keys(Ctrl | Qt::Key_Y, Ctrl | Shift | Qt::Key_Y, Ctrl | Shift | Qt::Key_Z), true,
     EnabledWhen::CanRedo},
    // Plus may need Shift on the main keyboard; "=" shares its key.
    {cmd::ZoomIn,                  cmd::MenuZoomIn,       QT_TRANSLATE_NOOP("CEditorDlg", "Zoom in"),                nullptr,     nullptr,
     Glyph::ZoomIn, Keys(Ctrl | Qt::Key_Plus, Ctrl | Shift | Qt::Key_Plus, Ctrl | Qt::Key_Equal,
                         Ctrl | Shift | Qt::Key_Equal), false, EnabledWhen::Always},
    {cmd::ZoomOut,                 cmd::MenuZoomOut,      QT_TRANSLATE_NOOP("CEditorDlg", "Zoom out"),               nullptr,     nullptr,
     Glyph::ZoomOut, Keys(Ctrl | Qt::Key_Minus, Ctrl | Shift | Qt::Key_Minus, Ctrl | Qt::Key_Underscore,
                          Ctrl | Shift | Qt::Key_Underscore), false, EnabledWhen::Always},
    {cmd::ZoomToFit,               cmd::MenuZoomToFit,    QT_TRANSLATE_NOOP("CEditorDlg", "Zoom to Fit"),            nullptr,     nullptr,
     Glyph::ZoomFit, Keys(Ctrl | Qt::Key_0), false, EnabledWhen::Always},
    {cmd::OriginalSize,            cmd::MenuOriginalSize, QT_TRANSLATE_NOOP("CEditorDlg", "Original Size"),          nullptr,     nullptr,
     Glyph::ActualSize, Keys(Ctrl | Qt::Key_1), false, EnabledWhen::Always},
    {cmd::Preview,                 cmd::MenuPreview,      QT_TRANSLATE_NOOP("CEditorDlg", "Preview"),                nullptr,     nullptr,
     Glyph::Preview, Keys(), false, EnabledWhen::Always},
    {cmd::Close,                   cmd::MenuExit,         QT_TRANSLATE_NOOP("CEditorDlg", "Exit"),                   nullptr,     QT_TRANSLATE_NOOP("CEditorDlg", "Close"),
     Glyph::Exit, Keys(), false, EnabledWhen::Always},
    {cmd::Minimize,                0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Minimize"),               nullptr,     nullptr,
     Glyph::Minimize, Keys(), false, EnabledWhen::Always},
    {cmd::Maximize,                0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Maximize"),               nullptr,     nullptr,
     Glyph::Maximize, Keys(), false, EnabledWhen::Always},
    {cmd::RetouchPanel,            cmd::MenuRetouch,      QT_TRANSLATE_NOOP("CEditorDlg", "Retouch"),                nullptr,     nullptr,
     Glyph::Retouch, Keys(), false, EnabledWhen::Always},
    {cmd::FiltersPanel,            cmd::MenuFilters,      QT_TRANSLATE_NOOP("CEditorDlg", "Filters"),                nullptr,     nullptr,
     Glyph::Filters, Keys(), false, EnabledWhen::Always},
    {cmd::WarpPanel,               cmd::MenuWarp,         QT_TRANSLATE_NOOP("CEditorDlg", "Warp"),                   nullptr,     nullptr,
     Glyph::Warp, Keys(), false, EnabledWhen::Always},
    {cmd::LightingPanel,           cmd::MenuLighting,     QT_TRANSLATE_NOOP("CEditorDlg", "Lighting"),               nullptr,     nullptr,
     Glyph::Lighting, Keys(), false, EnabledWhen::Always},
    {cmd::TextPanel,               cmd::MenuText,         QT_TRANSLATE_NOOP("CEditorDlg", "Text"),                   nullptr,     nullptr,
     Glyph::Text, Keys(), false, EnabledWhen::Always},
    {cmd::AdjustPanel,             cmd::MenuAdjust,       QT_TRANSLATE_NOOP("CEditorDlg", "Adjust"),                 nullptr,     nullptr,
     Glyph::Adjust, Keys(Ctrl | Shift | Qt::Key_A), false, EnabledWhen::Always},
    {cmd::NextPanel,               0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Next Panel"),       nullptr,     nullptr,
     Glyph::Panels, Keys(Ctrl | Qt::Key_Tab), false, EnabledWhen::Always},
    {cmd::PreviousPanel,           0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Previous Panel"),   nullptr,     nullptr,
     Glyph::Panels, Keys(Ctrl | Shift | Qt::Key_Backtab, Ctrl | Shift | Qt::Key_Tab), false, EnabledWhen::Always},
    {cmd::MenuFade,                0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Fade..."),                nullptr,     nullptr,
     Glyph::Fade, Keys(Ctrl | Shift | Qt::Key_F), false, EnabledWhen::CanFade},
    {cmd::RestoreBrush,            0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Restore"),                nullptr,
     QT_TRANSLATE_NOOP("CEditorDlg", "Restore brush: paints the photo as it was opened"), Glyph::Restore, Keys(), false, EnabledWhen::Always},
    {cmd::HelpContent,             cmd::HelpKey,          QT_TRANSLATE_NOOP("CEditorDlg", "Online Help Content"),    nullptr,     nullptr,
     Glyph::Help, Keys(QKeyCombination(Qt::Key_F1)), false, EnabledWhen::Always},
    {cmd::About,                   0,                     QT_TRANSLATE_NOOP("CEditorDlg", "About"),                  nullptr,     nullptr,
     Glyph::About, Keys(), false, EnabledWhen::Always},
    {cmd::FileMenuButton,          cmd::FileMenuKey,      QT_TRANSLATE_NOOP("CEditorDlg", "File"),                   nullptr,     nullptr,
     Glyph::File, Keys(Alt | Qt::Key_F), false, EnabledWhen::Always},
    {cmd::EditMenuButton,          cmd::EditMenuKey,      QT_TRANSLATE_NOOP("CEditorDlg", "Edit"),                   nullptr,     nullptr,
     Glyph::Edit, Keys(Alt | Qt::Key_E), false, EnabledWhen::Always},
    {cmd::PanelMenuButton,         cmd::PanelMenuKey,     QT_TRANSLATE_NOOP("CEditorDlg", "Panels"),                 nullptr,     nullptr,
     Glyph::Panels, Keys(Alt | Qt::Key_N), false, EnabledWhen::Always},
    {cmd::HelpMenuButton,          cmd::HelpMenuKey,      QT_TRANSLATE_NOOP("CEditorDlg", "Help"),                   nullptr,     nullptr,
     Glyph::Help, Keys(Alt | Qt::Key_H), false, EnabledWhen::Always},
    {cmd::Crop,                    0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Crop"),                   nullptr,     nullptr,
     Glyph::Crop, Keys(QKeyCombination(Qt::Key_C)), false, EnabledWhen::HasPhoto},
    {cmd::Straighten,              0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Straighten"),             nullptr,     nullptr,
     Glyph::Straighten, Keys(QKeyCombination(Qt::Key_L)), false, EnabledWhen::HasPhoto},
    {cmd::RotateLeft,              0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Rotate Left"),            nullptr,     nullptr,
     Glyph::RotateLeft, Keys(Ctrl | Shift | Qt::Key_R), false, EnabledWhen::HasPhoto},
    {cmd::RotateRight,             0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Rotate Right"),           nullptr,     nullptr,
     Glyph::RotateRight, Keys(Ctrl | Qt::Key_R), false, EnabledWhen::HasPhoto},
    {cmd::Rotate180,               0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Rotate 180°"),            nullptr,     nullptr,
     Glyph::RotateRight, Keys(), false, EnabledWhen::HasPhoto},
    {cmd::FlipHorizontal,          0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Flip Horizontal"),        nullptr,     nullptr,
     Glyph::FlipHorizontal, Keys(), false, EnabledWhen::HasPhoto},
    {cmd::FlipVertical,            0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Flip Vertical"),          nullptr,     nullptr,
     Glyph::FlipVertical, Keys(), false, EnabledWhen::HasPhoto},
    {cmd::ResizePhoto,             0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Resize..."),              nullptr,     QT_TRANSLATE_NOOP("CEditorDlg", "Resize"),
     Glyph::Resize, Keys(Ctrl | Alt | Qt::Key_I), false, EnabledWhen::HasPhoto},
    {cmd::Heal,                    0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Heal"),                   nullptr,     QT_TRANSLATE_NOOP("CEditorDlg", "Heal: paint over a spot or an object to fill it from the rest of the photo"),
     Glyph::Heal, Keys(QKeyCombination(Qt::Key_J)), false, EnabledWhen::HasPhoto},
    {cmd::Clone,                   0,                     QT_TRANSLATE_NOOP("CEditorDlg", "Clone"),                  nullptr,     QT_TRANSLATE_NOOP("CEditorDlg", "Clone: Ctrl+click a source, then paint a copy of it"),
     Glyph::Clone, Keys(QKeyCombination(Qt::Key_S)), false, EnabledWhen::HasPhoto},
};
// clang-format on

constexpr int kFileMenu[] = {cmd::MenuOpen, kRecentMenu, cmd::MenuSave, cmd::MenuSaveAs, 0, cmd::MenuPreview, 0,
                             cmd::MenuExit};
constexpr int kEditMenu[] = {cmd::MenuUndo, cmd::MenuRedo, cmd::MenuDeleteObject, cmd::MenuDeleteFrame, 0,
                             cmd::Heal, cmd::Clone, 0, cmd::Crop, cmd::Straighten, cmd::RotateLeft,
                             cmd::RotateRight, cmd::Rotate180, cmd::FlipHorizontal, cmd::FlipVertical,
                             cmd::ResizePhoto, cmd::MenuFade};
constexpr int kPanelMenu[] = {cmd::MenuRetouch, cmd::MenuLighting, cmd::MenuWarp, cmd::MenuFilters, cmd::MenuText,
                              cmd::MenuAdjust, 0, cmd::NextPanel, cmd::PreviousPanel};
constexpr int kHelpMenu[] = {cmd::HelpContent, cmd::About};
constexpr int kContextMenu[] = {cmd::MenuOpen, cmd::MenuSaveAs, 0, cmd::MenuUndo, cmd::MenuRedo, 0,
                                cmd::MenuZoomToFit, cmd::MenuOriginalSize, cmd::MenuZoomIn, cmd::MenuZoomOut, 0,
                                cmd::MenuDeleteObject, cmd::MenuDeleteFrame, 0, cmd::MenuThreshold, 0,
                                cmd::MenuPreview};
constexpr int kToolStrip[] = {cmd::Undo, cmd::Redo, 0, cmd::DeleteSelectedObject, cmd::DeletePhotoFrame,
                              cmd::Preview, cmd::AutoResizeThreshold, 0, cmd::ZoomToFit, cmd::OriginalSize, 0,
                              cmd::ZoomIn, cmd::ZoomOut, 0, cmd::Heal, cmd::Clone, 0, cmd::Crop, cmd::Straighten, 0,
                              cmd::RotateLeft, cmd::RotateRight, cmd::Rotate180, 0, cmd::FlipHorizontal,
                              cmd::FlipVertical, 0, cmd::ResizePhoto};

QString Tr(const char* text)
{
    return QCoreApplication::translate("CEditorDlg", text);
}

} // namespace

std::span<const Command> Commands()
{
    return kCommands;
}

const Command* FindCommand(int id)
{
    for (const Command& c : kCommands)
        if (c.id == id || (c.alias != 0 && c.alias == id))
            return &c;
    return nullptr;
}

int CanonicalCommand(int id)
{
    const Command* c = FindCommand(id);
    return c ? c->id : id;
}

int CommandForKey(QKeyCombination key, bool typing)
{
    const Qt::KeyboardModifiers modifiers =
        key.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    const QKeyCombination plain(modifiers, key.key());
    const bool functionKey = key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F35;
    if (typing && !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !functionKey)
        return 0;
    for (const Command& c : kCommands)
        for (QKeyCombination k : c.keys)
            if (k != kNone && k == plain)
                return c.id;
    return 0;
}

QString CommandKeyText(const Command& command)
{
    if (command.keys[0] == kNone)
        return QString();
    return QKeySequence(command.keys[0]).toString(QKeySequence::NativeText);
}

QString CommandText(const Command& command)
{
    const QString text = Tr(command.text);
    if (command.keyInText && command.keys[0] != kNone)
        return QStringLiteral("%1 (%2)").arg(text, CommandKeyText(command));
    return text;
}

QString CommandCaption(const Command& command)
{
    return Tr(command.caption ? command.caption : command.text);
}

QString CommandTip(const Command& command)
{
    const QString tip = Tr(command.tip ? command.tip : command.text);
    const QString key = CommandKeyText(command);
    return key.isEmpty() ? tip : QStringLiteral("%1 (%2)").arg(tip, key);
}

std::span<const int> FileMenuItems()
{
    return kFileMenu;
}

std::span<const int> EditMenuItems()
{
    return kEditMenu;
}

std::span<const int> PanelMenuItems()
{
    return kPanelMenu;
}

std::span<const int> HelpMenuItems()
{
    return kHelpMenu;
}

std::span<const int> ContextMenuItems()
{
    return kContextMenu;
}

std::span<const int> ToolStripButtons()
{
    return kToolStrip;
}

} // namespace ombrik
