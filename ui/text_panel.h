// CTextPanel: edits the text template (opacity, font, two colours, style, text)
// and tells the main window: WM_TEMPLATE_CHANGED when a setting changes,
// WM_TEXT_CHANGED when the text box changes, WM_TEXT_COMMAND 0 for "Add" and
// 1 for "Merge Down".
#pragma once

#include "ui/messages.h"
#include "canvas/text_drawing.h"

#include <QWidget>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace ombrik {

class CStyleGrid;

class CTextPanel : public QWidget {
    Q_OBJECT
public:
    enum CommandId { OpacitySlider = 10563, FontList = 10570, FirstColour = 10571, SecondColour = 10572,
                     TextBox = 10573, AddButton = 10014, MergeDownButton = 10015 };

    explicit CTextPanel(MessageTarget* owner, QWidget* parent = nullptr);

    const TextTemplate& textTemplate() const { return m_template; }
    // The text box's contents, cut to kMaxTextCharacters.
    QString text() const;
    // Puts a text into the box and focuses it; selectAll selects it all with
    // the caret at the end (a click on an object), otherwise the caret goes to
    // the end.
    void showText(const QString& text, bool selectAll);

    // A colour picked for button 0 (first) or 1 (second), as the dialog does.
    void pickColour(int which, uint32_t colour);
    // Installed font faces for the font list: sorted, no vertical-writing faces.
    static QStringList fontFaces();

    QSlider* opacitySlider() const { return m_opacity; }
    QComboBox* fontList() const { return m_fonts; }
    QPushButton* colourButton(int which) const { return which == 0 ? m_colour1 : m_colour2; }
    CStyleGrid* styleGrid() const { return m_grid; }
    QPlainTextEdit* textBox() const { return m_textBox; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* mergeDownButton() const { return m_merge; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void sendTemplate();
    void chooseColour(int which);
    void updateColourButtons();
    void layoutControls();

    MessageTarget* m_owner;
    TextTemplate m_template;
    QSlider* m_opacity = nullptr;
    QComboBox* m_fonts = nullptr;
    QPushButton* m_colour1 = nullptr;
    QPushButton* m_colour2 = nullptr;
    CStyleGrid* m_grid = nullptr;
    QPlainTextEdit* m_textBox = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_merge = nullptr;
    // Label columns and the settings frame, as wide as the language needs.
    int m_labelWidth = 56;
    int m_colourLabelWidth = 64;
    int m_frameRight = 365;
    bool m_limiting = false;
};

} // namespace ombrik
