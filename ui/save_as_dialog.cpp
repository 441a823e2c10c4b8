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

const QList<SaveFormat>& SaveFormats()
{
    static const QList<SaveFormat> formats = {
        {"JPEG", "jpg jpeg", true, false}, {"PNG", "png", false, false},     {"TIFF", "tif tiff", false, false},
        {"WebP", "webp", true, true},      {"AVIF", "avif", true, false},    {"JPEG XL", "jxl", true, true},
        {"BMP", "bmp", false, false},      {"GIF", "gif", false, false},
    };
    return formats;
}

namespace {

QStringList Extensions(const SaveFormat& format)
{
    return QString::fromLatin1(format.extensions).split(QLatin1Char(' '));
}

QString Filter(const SaveFormat& format)
{
    QStringList patterns;
    for (const QString& ext : Extensions(format))
        patterns << QStringLiteral("*.") + ext;
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(format.name), patterns.join(QLatin1Char(' ')));
}

} // namespace

QStringList SaveFormatFilters()
{
    QStringList filters;
    for (const SaveFormat& format : SaveFormats())
        filters << Filter(format);
    return filters;
}

const SaveFormat* SaveFormatForPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const SaveFormat& format : SaveFormats())
        if (Extensions(format).contains(suffix))
            return &format;
    return nullptr;
}

CSaveAsDialog::CSaveAsDialog(QWidget* parent, const QString& openedPath, int quality, bool lossless)
    : QFileDialog(parent, tr("Save As"))
{
    // The options live in the dialog itself, which the platform dialogs cannot carry.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(SaveFormatFilters());

    const QFileInfo opened(openedPath);
    const SaveFormat* format = SaveFormatForPath(openedPath);
    if (!format)
        format = &SaveFormats().front();
    m_baseName = opened.completeBaseName();
    if (!openedPath.isEmpty())
        setDirectory(opened.absolutePath());
    selectNameFilter(Filter(*format));
    setDefaultSuffix(Extensions(*format).front());
    if (!m_baseName.isEmpty())
        selectFile(m_baseName + QLatin1Char('.') + (format == SaveFormatForPath(openedPath) ? opened.suffix()
                                                                                           : Extensions(*format).front()));

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

const SaveFormat& CSaveAsDialog::currentFormat() const
{
    const QStringList filters = SaveFormatFilters();
    const qsizetype index = filters.indexOf(selectedNameFilter());
    return SaveFormats().at(index < 0 ? 0 : index);
}

void CSaveAsDialog::formatChanged(const QString& filter)
{
    const qsizetype index = SaveFormatFilters().indexOf(filter);
    if (index < 0)
        return;
    const SaveFormat& format = SaveFormats().at(index);
    setDefaultSuffix(Extensions(format).front());
    // The typed name follows the format: its extension is replaced.
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        QString name = edit->text().trimmed();
        if (name.isEmpty())
            name = m_baseName;
        if (!name.isEmpty()) {
            const SaveFormat* typed = SaveFormatForPath(name);
            if (typed)
                name = QFileInfo(name).completeBaseName();
            if (typed != &format)
                edit->setText(name + QLatin1Char('.') + Extensions(format).front());
        }
    }
    updateOptions();
}

void CSaveAsDialog::updateOptions()
{
    const SaveFormat& format = currentFormat();
    m_lossless->setEnabled(format.lossless);
    const bool lossy = format.lossy && !(format.lossless && m_lossless->isChecked());
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
