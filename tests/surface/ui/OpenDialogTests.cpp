// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The real picture-open dialog on the offscreen platform: its filter, the
// previous name, typed names, and the preview pane with its large preview.
#include "support/PictureFiles.h"
#include "support/Pictures.h"
#include "surface/ui/OpenPictureDialog.h"
#include "surface/ui/PreviewPlacement.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <functional>

namespace {

const QString filter = QStringLiteral("すべてのファイル (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;");

// Calls act with the first modal dialog that satisfies wanted, once it is up.
void whenModal(const std::function<bool(QDialog*)>& wanted, const std::function<void(QDialog*)>& act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, wanted, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !wanted(dialog))
            return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
    });
    timer->start();
}

void whenFileDialog(const std::function<void(QFileDialog*)>& act)
{
    whenModal([](QDialog* d) { return qobject_cast<QFileDialog*>(d) != nullptr; },
              [act](QDialog* d) { act(static_cast<QFileDialog*>(d)); });
}

class OpenDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.Filter = filter;
        // Should a check fail before closing a window, nothing stays open.
        QTimer::singleShot(20000, [] {
            while (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
    }

    TOpenPictureDialog dialog{nullptr};
    QString dir = temporaryDirectory();
};

TEST_F(OpenDialog, ShowsTheFilterAndThePreviousNameAndTakesATypedName)
{
    dialog.FileName = savedPicture(dir, QStringLiteral("previous.bmp"), patternImage(8, 6));
    savedPicture(dir, QStringLiteral("other.bmp"), patternImage(5, 7));
    whenFileDialog([this](QFileDialog* d) {
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        EXPECT_EQ(types ? types->itemText(0) : QString(), QStringLiteral("すべてのファイル (*.jpg;*.jpeg;*.bmp)"));
        EXPECT_EQ(d->directory().canonicalPath(), QDir(dir).canonicalPath());
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QStringLiteral("previous.bmp"));
        auto* caption = d->findChild<QLabel*>(QStringLiteral("previewCaption"));
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), QStringLiteral(" (8x6)"));
        // The list selects the previous file once its folder has been read.
        auto* list = d->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([list] { return !list->selectionModel()->selectedRows().isEmpty(); }, 5000));
        // The user types a new name into the field and confirms it.
        QApplication::setActiveWindow(d);
        name->setFocus();
        name->selectAll();
        // The preview follows the typed name.
        QTest::keyClicks(name, QStringLiteral("other.bmp"));
        EXPECT_EQ(caption->text(), QStringLiteral(" (5x7)"));
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("not there yet.jpg"));
        EXPECT_EQ(caption->text(), QStringLiteral("画像:"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName.toStdString(), QDir(dir).filePath(QStringLiteral("not there yet.jpg")).toStdString());
}

TEST_F(OpenDialog, TakesAFullPathTypedOrPastedIntoTheFolderItShows)
{
    // A folder of its own: the pictures' folder is first met as the parent's entry.
    const QString folder = QDir(dir).filePath(QStringLiteral("g"));
    ASSERT_TRUE(QDir().mkpath(folder));
    dialog.FileName = savedPicture(folder, QStringLiteral("pal1.bmp"), patternImage(8, 6));
    const QString other = savedPicture(folder, QStringLiteral("rgb24.bmp"), patternImage(5, 7));
    whenFileDialog([&](QFileDialog* d) {
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* list = d->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        auto* buttons = d->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_TRUE(name && list && buttons);
        EXPECT_TRUE(QTest::qWaitFor([list] { return !list->selectionModel()->selectedRows().isEmpty(); }, 5000));
        QApplication::setActiveWindow(d);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, other);
        EXPECT_TRUE(buttons->button(QDialogButtonBox::Open)->isEnabled()) << "typed";
        name->selectAll();
        name->insert(other);
        EXPECT_TRUE(buttons->button(QDialogButtonBox::Open)->isEnabled()) << "pasted";
        QTest::keyClick(name, Qt::Key_Return);
        if (d->isVisible())
            d->reject();
    });
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName.toStdString(), other.toStdString());
}

TEST_F(OpenDialog, CancelGivesFalseAndKeepsTheName)
{
    dialog.FileName = QDir(dir).filePath(QStringLiteral("kept.bmp"));
    whenFileDialog([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.FileName.toStdString(), QDir(dir).filePath(QStringLiteral("kept.bmp")).toStdString());
}

TEST_F(OpenDialog, ThePreviewShowsLoadablePicturesOnly)
{
    const QImage small = patternImage(30, 20);
    const QString smallPath = savedPicture(dir, QStringLiteral("small.bmp"), small);
    const QString bad = savedBytes(dir, QStringLiteral("bad.bmp"), "no bitmap");
    const QString text = savedBytes(dir, QStringLiteral("notes.txt"), "text");
    whenFileDialog([&](QFileDialog* d) {
        auto* caption = d->findChild<QLabel*>(QStringLiteral("previewCaption"));
        auto* button = d->findChild<QToolButton*>(QStringLiteral("previewButton"));
        auto* view = d->findChild<QWidget*>(QStringLiteral("previewView"));
        if (caption && button && view) {
            EXPECT_EQ(caption->text(), QStringLiteral("画像:"));
            EXPECT_FALSE(button->isEnabled());
            EXPECT_EQ(button->toolTip(), QStringLiteral("プレビュー"));
            EXPECT_GT(view->mapTo(d, QPoint(0, 0)).x(), d->findChild<QWidget*>(QStringLiteral("listView"))->x());

            emit d->currentChanged(smallPath);
            EXPECT_EQ(caption->text(), QStringLiteral(" (30x20)"));
            EXPECT_TRUE(button->isEnabled());
            const QImage shown = view->grab().toImage();
            const QRect content = static_cast<QFrame*>(view)->contentsRect();
            const QRect place = previewPlacement({30, 20}, content.size()).translated(content.topLeft());
            for (QPoint p : {QPoint(0, 0), QPoint(29, 19), QPoint(13, 7)})
                EXPECT_TRUE(
                    sameColour(patternColour(p.x(), p.y()), colourAt(shown, place.x() + p.x(), place.y() + p.y())));

            for (const QString& path : {bad, text, dir}) {
                emit d->currentChanged(path);
                EXPECT_EQ(caption->text(), QStringLiteral("画像:"));
                EXPECT_FALSE(button->isEnabled());
            }
        } else {
            ADD_FAILURE() << "no preview pane";
        }
        d->reject();
    });
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(OpenDialog, TheLargePreviewIsCentredAtThePicturesSizeAndClosesOnEsc)
{
    const QImage picture = patternImage(320, 240);
    const QString path = savedPicture(dir, QStringLiteral("large.bmp"), picture);
    bool previewSeen = false;
    whenFileDialog([&](QFileDialog* d) {
        emit d->currentChanged(path);
        whenModal([](QDialog* w) { return w->windowTitle() == QStringLiteral("プレビュー"); },
                  [&](QDialog* w) {
                      previewSeen = true;
                      EXPECT_EQ(w->size(), QSize(320, 240));
                      EXPECT_EQ(w->geometry().center(), w->screen()->availableGeometry().center());
                      const QImage shown = w->grab().toImage();
                      EXPECT_TRUE(samePixels(picture, shown.convertToFormat(QImage::Format_RGB32)));
                      QTest::keyClick(w, Qt::Key_Escape);
                      EXPECT_FALSE(w->isVisible());
                      d->reject();
                  });
        if (auto* button = d->findChild<QToolButton*>(QStringLiteral("previewButton")))
            button->click();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(previewSeen);
}

TEST_F(OpenDialog, TheLargePreviewOfAPictureLargerThanTheScreenFitsOnIt)
{
    const QSize screen = QApplication::primaryScreen()->availableGeometry().size();
    const QSize size(screen.width() * 2 + 1, screen.height() / 2);
    const QString path = savedPicture(dir, QStringLiteral("wide.bmp"), patternImage(size.width(), size.height()));
    bool previewSeen = false;
    whenFileDialog([&](QFileDialog* d) {
        emit d->currentChanged(path);
        whenModal([](QDialog* w) { return w->windowTitle() == QStringLiteral("プレビュー"); },
                  [&](QDialog* w) {
                      previewSeen = true;
                      EXPECT_EQ(w->size(), previewWindowSize(size, screen));
                      EXPECT_EQ(w->width(), screen.width());
                      // Centred, give or take the frame that the platform keeps on the screen.
                      const QPoint offCentre = w->geometry().center() - w->screen()->availableGeometry().center();
                      EXPECT_LE(offCentre.manhattanLength(), 4) << offCentre.x() << ", " << offCentre.y();
                      QTest::keyClick(w, Qt::Key_Escape);
                      d->reject();
                  });
        if (auto* button = d->findChild<QToolButton*>(QStringLiteral("previewButton")))
            button->click();
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(previewSeen);
}

} // namespace
