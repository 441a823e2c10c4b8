// The window in the user's language: a German or French system shows the
// menus and effect names translated, any other language shows English.
#include "tests/app/app_test_support.h"

#include "app/window_chrome.h"
#include "ui/artwork.h"
#include "ui/auto_resize_dialog.h"
#include "ui/effect_names.h"
#include "ui/flat_button.h"
#include "ui/translations.h"

#include <QAction>
#include <QLineEdit>
#include <QSlider>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMenu>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

// Removes the translators a test installed, so tests stay independent.
struct TranslatorsInstalledHere {
    ~TranslatorsInstalledHere()
    {
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
};

QStringList ButtonTexts(QWidget* w)
{
    QStringList texts;
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
        texts << b->text();
    return texts;
}

} // namespace

TEST(Translations, GermanAndFrenchWindowsSpeakTheirLanguage)
{
    const struct {
        const char* locale;
        const char* fileMenu;
        const char* open;
        const char* oilPaint;
        const char* cancel;  // Qt's own text, on every message box
        const char* why;     // a reason from the loader, below the window
    } cases[] = {{"de_DE", "Datei", "Öffnen", "Ölgemälde", "Abbrechen", "der Dateityp wird nicht unterstützt"},
                 {"fr_FR", "Fichier", "Ouvrir", "Peinture à l'huile", "Annuler",
                  "le type de fichier n'est pas pris en charge"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        TranslatorsInstalledHere cleanup;
        ASSERT_TRUE(InstallTranslations(QLocale(QString::fromLatin1(c.locale))));
        WindowWithPhoto w;
        EXPECT_TRUE(ButtonTexts(w.window.get()).contains(QString::fromUtf8(c.fileMenu)));
        QStringList fileItems;
        for (QAction* a : w->menu(cmd::FileMenuButton)->actions())
            fileItems << a->text();
        EXPECT_TRUE(fileItems.contains(QString::fromUtf8(c.open))) << fileItems.join(u'|').toStdString();
        EXPECT_EQ(EffectDisplayName(47), QString::fromUtf8(c.oilPaint));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.cancel));
        // Why a file could not be opened is said in the same language.
        BoxAnswers boxes;
        const QString notes = w.dir.filePath(QStringLiteral("notes.txt"));
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("plain words, not a picture");
        f.close();
        EXPECT_FALSE(w->openPath(notes));
        ASSERT_EQ(boxes.warnings.size(), 1);
        EXPECT_TRUE(boxes.warnings[0].contains(QString::fromUtf8(c.why))) << boxes.warnings[0].toStdString();
        // Longer words get their room: the threshold dialog's sentence ends
        // before its fields, and the slider labels before their sliders.
        CAutoResizeDlg threshold(1600, 1200);
        const QRect sentence = QFontMetrics(threshold.font()).boundingRect(QRect(0, 0, 4000, 200), 0,
                                                                            CAutoResizeDlg::sentence());
        EXPECT_LE(12 + sentence.width(), threshold.widthEdit()->x() - 6);
        const QFont labels = WindowChrome::labelFont(w->font());
        const QString opacity = QCoreApplication::translate("WindowChrome", "Opacity");
        EXPECT_LE(w->width() - 152 + QFontMetrics(labels).horizontalAdvance(opacity), w->opacitySlider()->x() - 2);
        // At the smallest window the straighten bar keeps every control whole
        // and apart.
        w->resize(CEditorDlg::kMinWidth, 600);
        w->canvas()->setFocus();
        QTest::keyClick(w->canvas(), Qt::Key_L);
        const QWidget* bar = w->canvas()->geometryBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_LE(bar->width(), w->canvas()->width());
        const QList<QWidget*> controls = bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* a : controls) {
            if (!a->isVisibleTo(bar))
                continue;
            EXPECT_GE(a->width(), a->minimumSizeHint().width()) << a->metaObject()->className();
            EXPECT_TRUE(bar->rect().contains(a->geometry())) << a->metaObject()->className();
            for (const QWidget* b : controls) {
                if (a != b && b->isVisibleTo(bar)) {
                    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
                }
            }
        }
        QTest::keyClick(w->canvas(), Qt::Key_Escape);
        // The product's name is kept in every language.
        EXPECT_EQ(QCoreApplication::translate("CAutoResizeDlg", "Ombrik Photo Editor"),
                  QStringLiteral("Ombrik Photo Editor"));
    }
}

TEST(Translations, OtherLanguagesAndEveryEffectName)
{
    TranslatorsInstalledHere cleanup;
    EXPECT_FALSE(InstallTranslations(QLocale(QStringLiteral("ja_JP"))));
    WindowWithPhoto w;
    EXPECT_TRUE(ButtonTexts(w.window.get()).contains(QStringLiteral("File")));
    EXPECT_EQ(EffectDisplayName(8), QStringLiteral("B & W"));
    // Every name the catalogue shows is offered to the translators.
    for (const EffectInfo& info : EffectCatalogue()) {
        if (info.name) {
            EXPECT_TRUE(EffectNameIsTranslatable(info.name)) << info.name;
        }
    }
}

// A translated label on a fixed-size button ("Sichern" on the small Save
// button) shrinks as far as 70 % when it needs to, and no further.
TEST(Translations, LongLabelsShrinkDownToSeventyPercent)
{
    QFont font;
    font.setPointSizeF(9);
    const QString text = QStringLiteral("Sichern");
    QFont smallest = font;
    smallest.setPointSizeF(9 * 0.7);
    const double width = QFontMetricsF(smallest).horizontalAdvance(text) + 0.25;
    const QFont fitted = FittedFont(font, text, width);
    EXPECT_NEAR(fitted.pointSizeF(), 6.3, 1e-6);
    EXPECT_LE(QFontMetricsF(fitted).horizontalAdvance(text), width);
    EXPECT_NEAR(FittedFont(font, text, 2).pointSizeF(), 6.3, 1e-6);
    EXPECT_NEAR(FittedFont(font, text, 1000).pointSizeF(), 9, 1e-6);
}
