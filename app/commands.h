// The window's commands in one table: id, the second id that runs the same
// command (a menu item paired with a button, a key), text, icon, keys and when
// it is enabled. Menus, tool-strip buttons, tool tips and the key routing are
// all made from it, so each key is written once.
#pragma once

#include "ui/artwork.h"

#include <QKeyCombination>
#include <QString>

#include <array>
#include <span>

namespace ombrik {

// Command ids (the first of a pair is the button's, the second the menu
// item's; both run the command).
namespace cmd {
inline constexpr int Close = 10010, Minimize = 10011, Maximize = 10012;
inline constexpr int AutoResizeThreshold = 10489, DeleteSelectedObject = 10494, ZoomToFit = 10495;
inline constexpr int ZoomIn = 10496, ZoomOut = 10497;
inline constexpr int OpenButton = 10552, SaveButton = 10553, Undo = 10554, Redo = 10555, Preview = 10556;
inline constexpr int OriginalSize = 10558, DeletePhotoFrame = 10559;
inline constexpr int RetouchPanel = 10700, FiltersPanel = 10701, WarpPanel = 10702, LightingPanel = 10703;
inline constexpr int TextPanel = 10705, RestoreBrush = 10706, AdjustPanel = 10707;
inline constexpr int NextPanel = 10708, PreviousPanel = 10709;
inline constexpr int MenuSave = 10850;
inline constexpr int MenuOpen = 10851, MenuSaveAs = 10852, MenuThreshold = 10853, MenuDeleteObject = 10854;
inline constexpr int MenuDeleteFrame = 10855, MenuZoomIn = 10860, MenuZoomOut = 10861, MenuZoomToFit = 10862;
inline constexpr int MenuOriginalSize = 10863, MenuPreview = 10901, MenuExit = 10903;
inline constexpr int MenuRetouch = 10910, MenuWarp = 10911, MenuLighting = 10912, MenuFilters = 10914;
inline constexpr int MenuText = 10916, MenuAdjust = 10917;
inline constexpr int HelpContent = 10930, About = 10931, MenuUndo = 10934, MenuRedo = 10935, MenuFade = 10936;
inline constexpr int HelpKey = 57670;
inline constexpr int FileMenuButton = 11000, PanelMenuButton = 11002, EditMenuButton = 11003;
inline constexpr int HelpMenuButton = 11005;
inline constexpr int FileMenuKey = 11007, EditMenuKey = 11008, PanelMenuKey = 11009, HelpMenuKey = 11011;
// Geometry commands (menu items and tool-strip buttons share the id).
inline constexpr int Crop = 10970, Straighten = 10971, RotateLeft = 10972, RotateRight = 10973;
inline constexpr int Rotate180 = 10974, FlipHorizontal = 10975, FlipVertical = 10976, ResizePhoto = 10977;
// The heal and clone brushes (menu item and tool-strip button share the id).
inline constexpr int Heal = 10980, Clone = 10981;
} // namespace cmd

// What a command's enabled state follows (updated after every history step).
enum class EnabledWhen { Always, HasPhoto, CanUndo, CanRedo, HasSelectedObject, HasFrame, CanFade };

struct Command {
    int id;
    int alias;              // a second id that runs it, or 0
    const char* text;       // menu item text, untranslated (context "CEditorDlg")
    const char* caption;    // text on its button when that differs, or nullptr
    const char* tip;        // tool tip when it differs from the text, or nullptr
    Glyph glyph;
    std::array<QKeyCombination, 4> keys;  // the first is the one shown
    bool keyInText;         // "Undo (Ctrl+Z)": the key is part of the menu text
    EnabledWhen enabled;
};

// The whole table.
std::span<const Command> Commands();
// The command an id (or its alias) runs, or nullptr.
const Command* FindCommand(int id);
// The same id for both ids of a pair (the command's own), or `id` itself.
int CanonicalCommand(int id);
// The command of a key, or 0. While `typing` into a text field, only keys
// with Ctrl, Alt or Meta and the function keys are the window's.
int CommandForKey(QKeyCombination key, bool typing = false);

// Translated texts: the menu item (with the key when it is part of the
// text), the button caption and the tool tip (with the key).
QString CommandText(const Command& command);
QString CommandCaption(const Command& command);
QString CommandTip(const Command& command);
// The key as shown in menus and tips ("Ctrl+Z"), or an empty string.
QString CommandKeyText(const Command& command);

// Menu layouts: command ids in order; 0 is a separator, kRecentMenu the Open
// Recent submenu. The context menu's Save As reads "Save as...".
inline constexpr int kRecentMenu = -1;
std::span<const int> FileMenuItems();
std::span<const int> EditMenuItems();
std::span<const int> PanelMenuItems();
std::span<const int> HelpMenuItems();
std::span<const int> ContextMenuItems();
// The tool strip, left to right; 0 starts a new group.
std::span<const int> ToolStripButtons();

} // namespace ombrik
