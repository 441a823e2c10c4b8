#include "ui/save_as_dialog.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace ombrik {

namespace {

// The writable format of a file name's extension; nullptr when none.
const PictureFormat* WritableFormatForPath(const QString& path)
{
    const PictureFormat* format = PictureFormatForExtension(QFileInfo(path).suffix().toStdString());
    return format && format->canWrite ? format : nullptr;
}

QString WrittenExtension(const PictureFormat& format) { return QString::fromStdString(format.writtenExtension()); }

} // namespace

CSaveAsDialog::CSaveAsDialog(QWidget* parent, const QString& openedPath, int quality, bool lossless)
    : QFileDialog(parent, tr("Save As"))
{
    // The options live in the dialog itself, which the platform dialogs cannot carry.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(SaveDialogFilters());

    const QFileInfo opened(openedPath);
    const PictureFormat* format = WritableFormatForPath(openedPath);
    if (!format)
        format = WritableFormats().front();
    m_baseName = opened.completeBaseName();
    if (!openedPath.isEmpty())
        setDirectory(opened.absolutePath());
    selectNameFilter(FileDialogFilter(*format));
    setDefaultSuffix(WrittenExtension(*format));
    if (!m_baseName.isEmpty())
        selectFile(m_baseName + QLatin1Char('.')
                   + (format == WritableFormatForPath(openedPath) ? opened.suffix() : WrittenExtension(*format)));

    auto* options = new QWidget(this);
    auto* row = new QHBoxLayout(options);
    row->setContentsMargins(0, 4, 0, 0);
    m_qualityLabel = new QLabel(tr("Quality:"), options);
    m_slider = new QSlider(Qt::Horizontal, options);
    m_slider->setRange(1, 100);
    m_slider->setMinimumWidth(140);
    m_spin = new QSpinBox(options);
    m_spin->setRange(1, 100);
    m_lossless = new QCheckBox(tr("Lossless"), options);
    m_strip = new QCheckBox(tr("Remove camera and location details"), options);
    m_strip->setToolTip(tr("Save without the date taken, camera, place and other details the photo carried"));
    row->addWidget(m_qualityLabel);
    row->addWidget(m_slider, 1);
    row->addWidget(m_spin);
    row->addSpacing(12);
    row->addWidget(m_lossless);
    row->addSpacing(12);
    row->addWidget(m_strip);
    m_qualityLabel->setBuddy(m_spin);
    connect(m_slider, &QSlider::valueChanged, m_spin, &QSpinBox::setValue);
    connect(m_spin, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
    m_spin->setValue(std::clamp(quality, 1, 100));
    m_lossless->setChecked(lossless);
    connect(m_lossless, &QCheckBox::toggled, this, [this] { updateOptions(); });

    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(options, grid->rowCount(), 0, 1, grid->columnCount());
    connect(this, &QFileDialog::filterSelected, this, &CSaveAsDialog::formatChanged);
    updateOptions();
}

const PictureFormat& CSaveAsDialog::currentFormat() const
{
    const qsizetype index = SaveDialogFilters().indexOf(selectedNameFilter());
    return *WritableFormats().at(index < 0 ? 0 : size_t(index));
}

void CSaveAsDialog::formatChanged(const QString& filter)
{
    const qsizetype index = SaveDialogFilters().indexOf(filter);
    if (index < 0)
        return;
    const PictureFormat& format = *WritableFormats().at(size_t(index));
    setDefaultSuffix(WrittenExtension(format));
    // The typed name follows the format: its extension is replaced.
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        QString name = edit->text().trimmed();
        if (name.isEmpty())
            name = m_baseName;
        if (!name.isEmpty()) {
            const PictureFormat* typed = WritableFormatForPath(name);
            if (typed)
                name = QFileInfo(name).completeBaseName();
            if (typed != &format)
                edit->setText(name + QLatin1Char('.') + WrittenExtension(format));
        }
    }
    updateOptions();
}

void CSaveAsDialog::updateOptions()
{
    const PictureFormat& format = currentFormat();
    m_lossless->setEnabled(format.losslessChoice());
    const bool lossy = format.lossy && !(format.losslessChoice() && m_lossless->isChecked());
    m_qualityLabel->setEnabled(lossy);
    m_slider->setEnabled(lossy);
    m_spin->setEnabled(lossy);
}

QString CSaveAsDialog::chosenPath() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

int CSaveAsDialog::quality() const { return m_spin->value(); }

bool CSaveAsDialog::lossless() const { return m_lossless->isChecked(); }

bool CSaveAsDialog::stripMetadata() const { return m_strip->isChecked(); }

void CSaveAsDialog::setStripMetadata(bool strip) { m_strip->setChecked(strip); }

} // namespace ombrik
