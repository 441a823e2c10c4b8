// The Save As dialog: a file dialog with one named filter per format the
// format table writes, started on the opened photo's name and folder, with
// the quality for lossy formats, a lossless choice where the format has one,
// and the choice to leave out camera and location details.
#pragma once

#include "files/picture_formats.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace ombrik {

class CSaveAsDialog : public QFileDialog {
    Q_OBJECT
public:
    // `openedPath` is the photo's file; its folder and name are offered, with
    // its format when it can be written, JPEG otherwise.
    CSaveAsDialog(QWidget* parent, const QString& openedPath, int quality, bool lossless);

    QString chosenPath() const;
    int quality() const;
    bool lossless() const;
    bool stripMetadata() const;
    void setStripMetadata(bool strip);

    // The format whose filter is selected.
    const PictureFormat& currentFormat() const;

    QSlider* qualitySlider() const { return m_slider; }
    QCheckBox* losslessBox() const { return m_lossless; }
    QCheckBox* stripBox() const { return m_strip; }

private:
    void formatChanged(const QString& filter);
    void updateOptions();

    QLabel* m_qualityLabel = nullptr;
    QSlider* m_slider = nullptr;
    QSpinBox* m_spin = nullptr;
    QCheckBox* m_lossless = nullptr;
    QCheckBox* m_strip = nullptr;
    QString m_baseName;
};

} // namespace ombrik
