// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The memo window: its layout, the default instructions, loading PLANIX.TXT
// on each display without losing unsaved edits, saving, and its stacking.
#include "WorkingFolder.h"

#include "surface/ui/ErrorBox.h"
#include "support/Form1Harness.h"
#include "support/Pictures.h"
#include "windows/KeepAbove.h"
#include "windows/Unit3.h"

#include <QAccessible>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

using namespace Qt::StringLiterals;

const QString planixTxt = u"PLANIX.TXT"_s;

class MemoWindow : public WorkingFolder {
protected:
    void SetUp() override
    {
        WorkingFolder::SetUp();
        setErrorPresenter([this](const QString&, const QString& text) { errors << text; });
        memo = std::make_unique<TForm3>();
    }
    void TearDown() override
    {
        memo.reset();
        setErrorPresenter({});
        WorkingFolder::TearDown();
    }

    void display()
    {
        memo->show();
        QCoreApplication::processEvents();
    }
    void close()
    {
        memo->close();
        QCoreApplication::processEvents();
    }
    void clickSave() { QTest::mouseClick(memo->Button1, Qt::LeftButton); }
    void typeAtEnd(const QString& text)
    {
        memo->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo->Memo1, text);
    }

    std::unique_ptr<TForm3> memo;
    QStringList errors;
};

TEST_F(MemoWindow, LaysOutItsControlsFromTheBottomUp)
{
    display();
    EXPECT_EQ(memo->windowTitle(), u"PLANIXのメモ"_s);
    EXPECT_EQ(memo->frameGeometry(), QRect(248, 77, 521, 578));
    EXPECT_EQ(memo->font().pixelSize(), 12);
    const Qt::WindowFlags flags = memo->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_NE(memo->minimumSize(), memo->maximumSize()); // resizable

    memo->resize(600, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(memo->Panel2->geometry(), QRect(0, 400 - 49, 600, 49));
    EXPECT_EQ(memo->Panel4->geometry(), QRect(600 - 88, 0, 88, 49));
    EXPECT_EQ(memo->Panel5->geometry(), QRect(0, 0, 600 - 88, 49));
    EXPECT_EQ(memo->Panel1->geometry(), memo->Panel5->rect());
    EXPECT_EQ(memo->Panel3->geometry(), QRect(0, 0, 600, 400 - 49));
    EXPECT_EQ(memo->Memo1->geometry(), memo->Panel3->rect());

    EXPECT_EQ(memo->Button1->geometry(), QRect(0, 0, 89, 49));
    EXPECT_EQ(memo->Button1->text(), u"保存"_s);
    EXPECT_EQ(memo->Button1->toolTip(), u"テキスト保存"_s);
    EXPECT_EQ(memo->Button1->cursor().shape(), Qt::PointingHandCursor);

    EXPECT_EQ(memo->Panel1->text(), u"右のボタンで，この画面のメモが保存されます。 →\u3000"_s);
    EXPECT_EQ(memo->Panel1->alignment(), Qt::AlignCenter);
    EXPECT_EQ(memo->Panel1->frameShadow(), QFrame::Sunken);

    EXPECT_EQ(memo->Memo1->font().pixelSize(), 16);
    EXPECT_FALSE(memo->Memo1->isReadOnly());
    EXPECT_EQ(memo->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST_F(MemoWindow, IsAWindowNamedByItsCaptionToAssistiveTechnology)
{
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(memo.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), u"PLANIXのメモ"_s);
}

TEST_F(MemoWindow, WithoutAFileSavesTheDefaultInstructionsByteForByte)
{
    display();
    clickSave();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    const QByteArray bytes = readBytes(planixTxt);
    // The 27 lines in code page 932, each ended by CR LF.
    EXPECT_EQ(bytes.size(), 958);
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
              "26388fccf25db708d194a5bc9177a4a4382f3262bb199433f8f14a9751752f03");
    EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("208183504c414e"))); // " ＜PLAN"
    EXPECT_EQ(bytes.count("\r\n"), 27);
    EXPECT_EQ(memo->memoText().count(u"\r\n"_s), 27);
    EXPECT_TRUE(memo->memoText().endsWith(u"となります。\u3000\u3000\u3000\u3000\u3000***\r\n"_s));
}

TEST_F(MemoWindow, LoneLineFeedsAndCarriageReturnsLoadAndSaveAsCrLf)
{
    for (const QByteArray& breakBytes : {QByteArray("\n"), QByteArray("\r")}) {
        writeBytes(planixTxt, "one" + breakBytes + breakBytes + "\x83\x5c" + breakBytes);
        memo = std::make_unique<TForm3>();
        display();
        EXPECT_EQ(memo->memoText(), u"one\r\n\r\nソ\r\n"_s);
        clickSave();
        EXPECT_EQ(readBytes(planixTxt), "one\r\n\r\n\x83\x5c\r\n");
    }
}

TEST_F(MemoWindow, AnEmptyFileLoadsAsAnEmptyMemo)
{
    writeBytes(planixTxt, QByteArray());
    display();
    EXPECT_EQ(memo->memoText(), QString());
    clickSave();
    EXPECT_EQ(readBytes(planixTxt), QByteArray());
}

TEST_F(MemoWindow, JapaneseTextRoundTripsByteForByte)
{
    // Kana, kanji with 0x5C and 0x7C trail bytes, full-width signs, circled
    // digits, half-width kana, and a last line without a break.
    const QByteArray text = QByteArray::fromHex("91ab97a082cc96ca90cf0d0a"         // 足裏の面積
                                                "835c955c945c837c817c8160815f0d0a" // ソ表能ポ－～＼
                                                "874087418742b1b2b3203132330d0a"   // ①②③ｱｲｳ 123
                                                "8140814081408e9f82cc8d73");       // 　　　次の行
    writeBytes(planixTxt, text);
    display();
    EXPECT_TRUE(memo->memoText().startsWith(u"足裏の面積\r\nソ表能ポ－～＼\r\n"_s));
    QFile::remove(planixTxt);
    clickSave();
    EXPECT_EQ(readBytes(planixTxt).toHex(), text.toHex());
}

TEST_F(MemoWindow, ReopeningKeepsUnsavedEditsAndReloadsOtherwise)
{
    writeBytes(planixTxt, "from the file\r\n");
    display();
    EXPECT_EQ(memo->memoText(), u"from the file\r\n"_s);
    typeAtEnd(u"my edit"_s);
    EXPECT_TRUE(memo->hasUnsavedEdits());
    close();
    display();
    EXPECT_EQ(memo->memoText(), u"from the file\r\nmy edit"_s);

    clickSave(); // saved: the file is the memo's again
    EXPECT_FALSE(memo->hasUnsavedEdits());
    close();
    writeBytes(planixTxt, "changed elsewhere\r\n");
    display();
    EXPECT_EQ(memo->memoText(), u"changed elsewhere\r\n"_s);
}

TEST_F(MemoWindow, EditsMadeWithoutAFileSurviveReopening)
{
    display();
    typeAtEnd(u"note"_s);
    close();
    display();
    EXPECT_TRUE(memo->memoText().endsWith(u"***\r\nnote"_s));
}

TEST_F(MemoWindow, ShowingItAgainWhileDisplayedDoesNotReload)
{
    writeBytes(planixTxt, "first\r\n");
    display();
    writeBytes(planixTxt, "second\r\n");
    memo->show();
    memo->raise();
    memo->activateWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(memo->memoText(), u"first\r\n"_s);
}

TEST_F(MemoWindow, SavesIntoTheCurrentDirectoryOfTheMoment)
{
    display();
    QTemporaryDir pictures;
    ASSERT_TRUE(QDir::setCurrent(pictures.path())); // as a picture opened from another folder leaves it
    clickSave();
    EXPECT_TRUE(QFile::exists(pictures.filePath(planixTxt)));
    EXPECT_FALSE(QFile::exists(path(planixTxt)));

    writeBytes(planixTxt, "notes beside the pictures\r\n");
    close();
    display();
    EXPECT_EQ(memo->memoText(), u"notes beside the pictures\r\n"_s);
}

TEST_F(MemoWindow, AFailedSaveIsReportedAndKeepsTheEdits)
{
    display();
    typeAtEnd(u"unsaved"_s);
    ASSERT_TRUE(QDir().mkdir(planixTxt));
    clickSave();
    EXPECT_EQ(errors, QStringList{u"ファイル PLANIX.TXT を作成できません."_s});
    EXPECT_TRUE(memo->hasUnsavedEdits());
    EXPECT_TRUE(memo->memoText().endsWith(u"unsaved"_s));
}

TEST_F(MemoWindow, AnUnencodableCharacterStopsTheSave)
{
    writeBytes(planixTxt, "old\r\n");
    display();
    memo->Memo1->moveCursor(QTextCursor::End);
    memo->Memo1->insertPlainText(u"😀"_s); // as pasted or typed through an input method
    clickSave();
    EXPECT_EQ(errors, QStringList{u"文字 「😀」(U+1F600) は保存できません."_s});
    EXPECT_EQ(readBytes(planixTxt), "old\r\n");
}

TEST_F(MemoWindow, APastedNoBreakSpaceIsNotSavedAsABlank)
{
    writeBytes(planixTxt, "old\r\n");
    display();
    memo->Memo1->moveCursor(QTextCursor::End);
    memo->Memo1->insertPlainText(u"3.14\u00A0cm"_s); // as copied from a web page
    clickSave();
    EXPECT_EQ(errors, QStringList{u"文字 「\u00A0」(U+00A0) は保存できません."_s});
    EXPECT_EQ(readBytes(planixTxt), "old\r\n");
}

TEST_F(MemoWindow, ALineBreakTypedWithShiftEnterIsSavedAsCrLf)
{
    writeBytes(planixTxt, QByteArray());
    display();
    QTest::keyClicks(memo->Memo1, u"one"_s);
    QTest::keyClick(memo->Memo1, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(memo->Memo1, u"two"_s);
    QTest::keyClick(memo->Memo1, Qt::Key_Return);
    clickSave();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_EQ(readBytes(planixTxt), "one\r\ntwo\r\n");
}

TEST_F(MemoWindow, StaysAboveOnlyWhileTheProgramIsActiveAndNoModalWindowIsOpen)
{
    display();
    auto onTop = [this] { return bool(memo->windowFlags() & Qt::WindowStaysOnTopHint); };
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(onTop());
    EXPECT_TRUE(memo->isVisible()); // the hint changes without hiding the window
    EXPECT_EQ(bool(memo->windowHandle()->flags() & Qt::WindowStaysOnTopHint), true);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(onTop());
    EXPECT_FALSE(memo->windowHandle()->flags() & Qt::WindowStaysOnTopHint);

    QDialog box;
    box.setModal(true);
    box.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(staysAbove(*memo, Qt::ApplicationActive));
    box.hide();
    QCoreApplication::processEvents();
    EXPECT_TRUE(staysAbove(*memo, Qt::ApplicationActive));
}

// The memo window beside the main window: opening a picture moves the current
// directory to the picture's folder, and the memo file goes with it.
class MemoBesideMainWindow : public Form1Test {
protected:
    void SetUp() override
    {
        Form1Test::SetUp();
        ASSERT_TRUE(start.isValid() && pictures.isValid());
        previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(start.path()));
        Form3->hide();
        Form3->setMemoText(u"notes\r\n"_s);
    }
    void TearDown() override
    {
        Form3->hide();
        QDir::setCurrent(previous);
        Form1Test::TearDown();
    }

    void showHelp()
    {
        form().silhouetteD1->trigger();
        QCoreApplication::processEvents();
    }

    QTemporaryDir start;
    QTemporaryDir pictures;
    QString previous;
};

TEST_F(MemoBesideMainWindow, AfterAPictureIsOpenedFromAnotherFolderTheMemoFileLiesThere)
{
    const QString picture = pictures.filePath(u"pal8.bmp"_s);
    ASSERT_TRUE(QFile::copy(testDataPath(u"bmpsuite/g/pal8.bmp"_s), picture));
    dialog().answer = picture;
    form().Action1->trigger();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    showHelp();
    QTest::mouseClick(Form3->Button1, Qt::LeftButton);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    QFile saved(pictures.filePath(planixTxt));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "notes\r\n");
    EXPECT_FALSE(QFile::exists(start.filePath(planixTxt)));

    QFile changed(pictures.filePath(planixTxt));
    ASSERT_TRUE(changed.open(QIODevice::WriteOnly));
    changed.write("beside the pictures\r\n");
    changed.close();
    Form3->close();
    showHelp();
    EXPECT_EQ(Form3->memoText(), u"beside the pictures\r\n"_s);
}

} // namespace
