#include "tests/app/app_test_support.h"

#include "tests/support/photo_fixture.h"

#include <QTest>

#include <gtest/gtest.h>

namespace ombrik::test {

BoxAnswers::BoxAnswers()
{
    oldQuestion = SetQuestionHook([this](QWidget*, const QString& text) {
        questions << text;
        return answerYes;
    });
    oldInformation = SetInformationHook([this](QWidget*, const QString& text) { informations << text; });
    oldWarning = SetWarningHook([this](QWidget*, const QString& text) { warnings << text; });
}

BoxAnswers::~BoxAnswers()
{
    SetQuestionHook(std::move(oldQuestion));
    SetInformationHook(std::move(oldInformation));
    SetWarningHook(std::move(oldWarning));
}

WindowWithPhoto::WindowWithPhoto(int w, int h)
{
    window = std::make_unique<CEditorDlg>();
    window->resize(1000, 640);
    window->show();
    photoPath = writePhoto(QStringLiteral("photo.png"), w, h);
    EXPECT_TRUE(window->openPath(photoPath));
}

WindowWithPhoto::~WindowWithPhoto()
{
    window.reset();
}

QString WindowWithPhoto::writePhoto(const QString& name, int w, int h)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(SavePixelBuffer(LoadSamplePhoto("coffee.png", w, h), path.toStdString()));
    return path;
}

void ClickTile(CEffectPanel* strip, int tile)
{
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, strip->tileRect(tile).center());
}

void DoubleClickTile(CEffectPanel* strip, int tile)
{
    const QPoint at = strip->tileRect(tile).center();
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(strip, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace ombrik::test
