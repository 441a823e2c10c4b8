#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <string_view>

namespace ombrik {

namespace {

// The translation files name a window class by its plain name ("CEditorDlg"),
// as the extraction tool records it, while tr() asks with the namespace
// ("ombrik::CEditorDlg"); this translator answers both.
class EditorTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override
    {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        constexpr std::string_view kPrefix = "ombrik::";
        if (text.isNull() && context && std::string_view(context).starts_with(kPrefix))
            text = QTranslator::translate(context + kPrefix.size(), sourceText, disambiguation, n);
        return text;
    }
};

} // namespace

bool InstallTranslations(const QLocale& locale)
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto* qt = new QTranslator(app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    auto* own = new EditorTranslator(app);
    if (own->load(locale, QStringLiteral("ombrik"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        QCoreApplication::installTranslator(own);
        return true;
    }
    delete own;
    return false;
}

} // namespace ombrik
