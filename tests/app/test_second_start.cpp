// A second start (a real second process) while this window runs an effect or
// asks a question: the request waits until the window is idle and then goes
// the way of File > Open, question and all; nothing crashes and no photo gets
// another's pixels.
#include "tests/app/app_test_support.h"
#include "tests/support/photo_fixture.h"

#include "app/editor_app.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <functional>
#include <utility>

#include <gtest/gtest.h>

using namespace ombrik;
using namespace ombrik::test;

namespace {

// Runs `ombrik path` as a second copy until it exits: it hands the path over
// (the request waits in this window's socket until its event loop runs) and
// goes.
void SecondStart(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral(OMBRIK_EXECUTABLE), {path});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
}

// Runs the event loop (socket, timers) for a while, as a real dialog would.
void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Answers the "modified" question from inside an event loop of its own, as
// the real box does, recording what the document was when it was asked.
struct ModifiedQuestion {
    std::vector<Answer> answers;
    std::vector<std::string> askedOn;
    std::function<void()> whileAsked;  // runs while the question is up
    AnswerHook old;
    explicit ModifiedQuestion(const CEditorDlg& window)
    {
        old = SetYesNoCancelHook([this, &window](QWidget*, const QString&) {
            askedOn.push_back(window.session().document().photoPath());
            if (whileAsked)
                std::exchange(whileAsked, nullptr)();
            Spin(300);
            const Answer a = answers.empty() ? Answer::Cancel : answers.front();
            if (!answers.empty())
                answers.erase(answers.begin());
            return a;
        });
    }
    ~ModifiedQuestion() { SetYesNoCancelHook(std::move(old)); }
};

} // namespace

TEST(SecondStart, WaitsForARunningEffectAndForTheQuestion)
{
    BoxAnswers boxes;
    WindowWithPhoto w(1200, 900);
    w->setProgressBoxDelay(0);
    CEditorApp app(CEditorApp::InstanceServerName());
    ASSERT_TRUE(app.listen());
    QObject::connect(&app, &CEditorApp::activationRequested, w.window.get(), &CEditorDlg::activateFromSecondStart);
    const QString a = w.photoPath;
    const QString b = w.writePhoto(QStringLiteral("b.png"), 240, 160);
    const QString c = w.writePhoto(QStringLiteral("c.png"), 200, 120);
    const PixelBuffer photoA = w.doc().photo();
    ModifiedQuestion question(*w);

    // B is asked for while Oil Paint runs on A: it finishes on A, then the
    // question (A is now modified) comes up for B; Cancel keeps A.
    SecondStart(b);
    question.answers = {Answer::Cancel};
    w->sendMessage(WM_EFFECT_COMMAND, 0, fx::OilPaint);
    ASSERT_EQ(w.doc().history().size(), 1u);
    EXPECT_EQ(w.doc().photoPath(), a.toStdString());
    EXPECT_EQ(w.doc().photo().pixels, RunCatalogueEffect(fx::OilPaint, photoA).pixels);
    for (int i = 0; i < 100 && question.askedOn.empty(); ++i)
        Spin(100);
    ASSERT_EQ(question.askedOn.size(), 1u);
    EXPECT_EQ(question.askedOn[0], a.toStdString());
    EXPECT_EQ(w.doc().photoPath(), a.toStdString());
    EXPECT_EQ(w.doc().history().size(), 1u);

    // C comes while the question for another B is up: it waits for the
    // answer (No: B opens), then asks nothing (B is unmodified) and opens.
    question.answers = {Answer::No};
    question.whileAsked = [&] { SecondStart(c); };
    SecondStart(b);
    for (int i = 0; i < 400 && w.doc().photoPath() != c.toStdString(); ++i)
        Spin(50);
    ASSERT_EQ(question.askedOn.size(), 2u);
    EXPECT_EQ(question.askedOn[1], a.toStdString());
    EXPECT_EQ(w.doc().photoPath(), c.toStdString());
    EXPECT_EQ(w.doc().photo().pixels, LoadSamplePhotoFromPath(c.toStdString()).pixels);
    EXPECT_FALSE(w.doc().modified());
    EXPECT_TRUE(boxes.warnings.isEmpty());
}
