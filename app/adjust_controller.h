// AdjustController: what the Adjust panel's histogram, Auto button,
// eyedroppers and clipping indicators ask of the window: the histogram of the
// photo as shown after every change, Auto's analysis of the photo, clicks on
// the photo for the eyedroppers, and the clipping marks on the canvas while
// the panel is shown. The preview and Apply stay with PanelController.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace ombrik {

class CAdjustPanel;
class CEditorDlg;

class AdjustController : public QObject {
    Q_OBJECT
public:
    // `notice` shows a short message over the photo.
    AdjustController(CEditorDlg& window, CAdjustPanel& panel, std::function<void(const QString&)> notice);

    // The panel was shown or hidden.
    void panelShown(bool shown);

private:
    void updateHistogram();
    void updateMarks();
    void updatePicker();
    void runAuto();

    CEditorDlg& m_window;
    CAdjustPanel& m_panel;
    std::function<void(const QString&)> m_notice;
    bool m_shown = false;
};

} // namespace ombrik
