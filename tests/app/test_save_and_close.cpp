// Keeping the user's picture: the modified question with Cancel, the saved
// state after a save, plain Save, the redo key, the threshold that is not
// stored, the text box as the only taker of Enter, and damaged files.
#include "tests/app/app_test_support.h"

#include "files/image_encoder.h"
#include "tests/support/photo_fixture.h"
#include "ui/auto_resize_dialog.h"
#include "ui/text_panel.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using namespace ombrik;
using namespace ombrik::test;

namespace {

// Runs `act` on the next modal window that opens (from inside its own loop).
void WhenModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

// The real message boxes for the lifetime of the object.
struct RealBoxes {
    QuestionHook question = SetQuestionHook(nullptr);
    AnswerHook answer = SetYesNoCancelHook(nullptr);
    ~RealBoxes()
    {
        SetQuestionHook(std::move(question));
        SetYesNoCancelHook(std::move(answer));
    }
};

void Edit(WindowWithPhoto& w)
{
    w->command(cmd::FiltersPanel);
    DoubleClickTile(w->strip(1), 13);  // Posterize
    ASSERT_TRUE(w.doc().modified());
}

PixelBuffer ReadBack(const QString& path)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_BGR888);
    PixelBuffer out(image.width(), image.height(), 3);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out.at(0, y), image.constScanLine(y), out.stride());
    return out;
}

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(EditorWindow, EscapeOrClosingTheModifiedQuestionKeepsTheWindowAndTheEdits)
{
    WindowWithPhoto w;
    Edit(w);
    const PixelBuffer edited = w.doc().photo();
    const QString other = w.writePhoto(QStringLiteral("other.png"), 64, 48);
    RealBoxes real;

    // Closing: the question has Yes, No and Cancel and the information icon;
    // Escape cancels.
    QString asked;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        asked = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_FALSE(w->close());
    EXPECT_EQ(asked, QStringLiteral("Current photo has been modified, Do you want to save it?"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w.doc().modified());
    EXPECT_EQ(w.doc().photo().pixels, edited.pixels);

    // Opening (as a drop or Open Recent does): closing the box cancels too.
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_FALSE(w->openWithQuestion(other));
    EXPECT_EQ(w.doc().photo().pixels, edited.pixels);
    EXPECT_TRUE(w->isVisible());

    // No: the other photo opens.
    WhenModal([](QWidget* modal) {
        QTest::mouseClick(qobject_cast<QMessageBox*>(modal)->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_TRUE(w->openWithQuestion(other));
    EXPECT_EQ(w.doc().width(), 64);
}

TEST(EditorWindow, SavingMarksThePhotoSavedUnderItsNewName)
{
    BoxAnswers boxes;
    WindowWithPhoto w;
    Edit(w);
    EXPECT_TRUE(w->windowCaption().startsWith(QStringLiteral("photo.png *")));

    const QString target = w.dir.filePath(QStringLiteral("saved.jpg"));
    w->chooseSaveFile = [&] { return target; };
    w->command(cmd::MenuSaveAs);
    ASSERT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(w.doc().modified());
    EXPECT_TRUE(w->windowCaption().startsWith(QStringLiteral("saved.jpg  ")));
    EXPECT_EQ(w->windowTitle(), w->windowCaption());
    EXPECT_EQ(w->recentMenu()->actions().first()->data().toString(), QFileInfo(target).absoluteFilePath());

    // The flag follows the history: the opened photo is not what was saved.
    w->command(cmd::MenuUndo);
    EXPECT_TRUE(w.doc().modified());
    EXPECT_TRUE(w->windowCaption().startsWith(QStringLiteral("saved.jpg *")));
    w->command(cmd::MenuRedo);
    EXPECT_FALSE(w.doc().modified());

    // Nothing to ask before another photo opens.
    EXPECT_TRUE(w->openWithQuestion(w.writePhoto(QStringLiteral("next.png"), 64, 48)));
    EXPECT_TRUE(boxes.questions.isEmpty());
}

TEST(EditorWindow, CtrlSWritesTheOpenedFileInItsOwnFormat)
{
    BoxAnswers boxes;
    WindowWithPhoto w(120, 80);
    int dialogs = 0;
    w->chooseSaveFile = [&] {
        ++dialogs;
        return QString();
    };
    EXPECT_EQ(CEditorDlg::acceleratorCommand(Qt::Key_S, Qt::ControlModifier), cmd::MenuSave);

    // A PNG: the same file, the composite, no dialog.
    Edit(w);
    const PixelBuffer edited = w.doc().photo();
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(ReadBack(w.photoPath).pixels, edited.pixels);
    EXPECT_FALSE(w.doc().modified());

    // A JPEG stays a JPEG.
    const QString jpeg = w.writePhoto(QStringLiteral("photo.jpg"), 120, 80);
    const QByteArray before = Bytes(jpeg);
    ASSERT_TRUE(w->openPath(jpeg));
    Edit(w);
    w->command(cmd::MenuSave);
    const QByteArray after = Bytes(jpeg);
    EXPECT_NE(after, before);
    EXPECT_TRUE(after.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(QImage(jpeg).size(), QSize(120, 80));
    EXPECT_EQ(dialogs, 0);

    // A photo reduced on open would lose its full size: Save asks for a name
    // and the original is left alone.
    w.session().setThreshold(64, 48);
    const QString big = w.writePhoto(QStringLiteral("big.png"), 120, 80);
    const QByteArray original = Bytes(big);
    ASSERT_TRUE(w->openPath(big));
    ASSERT_LT(w.doc().width(), 120);
    Edit(w);
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(Bytes(big), original);
    EXPECT_TRUE(w.doc().modified());
    EXPECT_TRUE(boxes.warnings.isEmpty());

    // The same for the formats Qt cannot read: the loader tells the size in the file.
    const PixelBuffer full = test::LoadSamplePhoto("coffee.png", 120, 80);
    const QString source = w.dir.filePath(QStringLiteral("source.png"));
    ASSERT_TRUE(test::SavePixelBuffer(full, source.toStdString()));
    ASSERT_EQ(QProcess::execute(QStringLiteral("heif-enc"),
                                {QStringLiteral("-q"), QStringLiteral("90"), QStringLiteral("-o"),
                                 w.dir.filePath(QStringLiteral("big.heic")), source}),
              0);
    for (const char* name : {"big.jxl", "big.avif", "big.heic"}) {
        const std::string path = w.dir.filePath(name).toStdString();
        if (!QString::fromUtf8(name).endsWith(QStringLiteral(".heic"))) {
            ASSERT_EQ(ImageEncoder(path).saveToFile(full, path), SaveStatus::Ok) << name;
        }
        const QByteArray bytes = Bytes(QString::fromStdString(path));
        ASSERT_TRUE(w->openPath(QString::fromStdString(path))) << name;
        ASSERT_LT(w.doc().width(), 120) << name;
        Edit(w);
        const int asked = dialogs;
        QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(dialogs, asked + 1) << name;
        EXPECT_EQ(Bytes(QString::fromStdString(path)), bytes) << name;
    }

    // Cut to a multiple of 4 on open (a 122-pixel-wide photo opens 120 wide):
    // writing it back would lose two columns, so Save asks for a name too.
    w.session().setThreshold(1600, 1200);
    const QString odd = w.writePhoto(QStringLiteral("odd.png"), 122, 80);
    const QByteArray oddBytes = Bytes(odd);
    ASSERT_TRUE(w->openPath(odd));
    ASSERT_EQ(w.doc().width(), 120);
    Edit(w);
    const int asked = dialogs;
    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs, asked + 1);
    EXPECT_EQ(Bytes(odd), oddBytes);
}

TEST(EditorWindow, CtrlShiftZRedoes)
{
    WindowWithPhoto w;
    Edit(w);
    QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.doc().historyPos(), -1);
    QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.doc().historyPos(), 0);
    QTest::keyClick(w.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(w.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.doc().historyPos(), 0);
}

TEST(EditorWindow, EachNewWindowStartsAtTheDefaultThreshold)
{
    {
        CEditorDlg first;
        WhenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<CAutoResizeDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->widthEdit()->setText(QStringLiteral("2400"));
            dialog->heightEdit()->setText(QStringLiteral("1800"));
            dialog->accept();
        });
        first.command(cmd::AutoResizeThreshold);
        ASSERT_EQ(first.session().document().thresholdWidth(), 2400);
        ASSERT_EQ(first.session().document().thresholdHeight(), 1800);
    }
    CEditorDlg second;
    EXPECT_EQ(second.session().document().thresholdWidth(), 1600);
    EXPECT_EQ(second.session().document().thresholdHeight(), 1200);
}

TEST(EditorWindow, EnterReachesOnlyTheTextBox)
{
    WindowWithPhoto w;
    w->command(cmd::TextPanel);
    // Counts the Enter keys that get past the window to a control.
    struct EnterCounter : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return)
                ++count;
            return false;
        }
    } fonts, box;
    w->textEditor()->fontList()->installEventFilter(&fonts);
    w->textEditor()->textBox()->installEventFilter(&box);
    QTest::keyClick(w->textEditor()->fontList(), Qt::Key_Return);
    QTest::keyClick(w->textEditor()->addButton(), Qt::Key_Return);
    EXPECT_EQ(fonts.count, 0);
    QTest::keyClick(w->textEditor()->textBox(), Qt::Key_Return);
    EXPECT_EQ(box.count, 1);
    EXPECT_TRUE(w->isVisible());
}

TEST(EditorWindow, ADamagedPhotoOpensWithANotice)
{
    WindowWithPhoto w;
    const QString whole = w.writePhoto(QStringLiteral("whole.jpg"), 120, 80);
    ASSERT_TRUE(w->openPath(whole));
    EXPECT_FALSE(w->notice()->isVisible() && w->notice()->text().contains(QStringLiteral("damaged")));

    const QByteArray bytes = Bytes(whole);
    const QString cut = w.dir.filePath(QStringLiteral("cut.jpg"));
    QFile file(cut);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.left(bytes.size() * 6 / 10));
    file.close();
    ASSERT_TRUE(w->openPath(cut));
    EXPECT_EQ(w.doc().width(), 120);
    EXPECT_TRUE(w->notice()->isVisible());
    EXPECT_TRUE(w->notice()->text().contains(QStringLiteral("\"cut.jpg\" is damaged: part of the picture may be missing")))
        << w->notice()->text().toStdString();
}

TEST(EditorWindow, NeverGrowsPastTheScreen)
{
    CEditorDlg window;
    QScreen* screen = window.screen();
    ASSERT_NE(screen, nullptr);
    const QSize largest(std::max(CEditorDlg::kMinWidth, screen->geometry().width()),
                        std::max(CEditorDlg::kMinHeight, screen->availableGeometry().height()));
    EXPECT_EQ(window.maximumSize(), largest);
    window.resize(largest.width() + 500, largest.height() + 500);
    EXPECT_EQ(window.size(), largest);
}
