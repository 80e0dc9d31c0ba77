// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// The top-level error box: its text rule, its title, and the guard.
#include "surface/ui/ErrorBox.h"
#include "base/PlanixError.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("ファイル a.bmp は開けません")),
              QStringLiteral("ファイル a.bmp は開けません."));
    EXPECT_EQ(errorBoxText(QStringLiteral("JPEG エラー #42")), QStringLiteral("JPEG エラー #42."));
    EXPECT_EQ(errorBoxText(QStringLiteral("done.")), QStringLiteral("done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(errorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(ErrorBox, TitleIsTheProgramNameUpToItsFirstDot)
{
    EXPECT_EQ(applicationTitleFor(QStringLiteral("/usr/bin/PLANIX.EXE")), QStringLiteral("Planix"));
    EXPECT_EQ(applicationTitleFor(QStringLiteral("planix")), QStringLiteral("planix"));
    EXPECT_EQ(applicationTitleFor(QStringLiteral("/opt/x.y/pLaNiX.tar.gz")), QStringLiteral("planix"));
}

TEST(ErrorBox, GuardHandsTheExceptionToTheBoxAndStopsTheHandler)
{
    QStringList shown;
    QString title;
    setErrorPresenter([&](const QString& t, const QString& text) {
        title = t;
        shown << text;
    });
    bool afterThrow = false;
    runGuarded([&] {
        throw PlanixError(QStringLiteral("ストリームからの読み込みエラー"));
        afterThrow = true;
    });
    runGuarded([] { throw std::runtime_error("plain"); });
    setErrorPresenter({});
    EXPECT_FALSE(afterThrow);
    EXPECT_EQ(shown, QStringList({QStringLiteral("ストリームからの読み込みエラー."), QStringLiteral("plain.")}));
    EXPECT_EQ(title, applicationTitle());
}

TEST(ErrorBox, ShowsTheStopIconAndASingleOkButton)
{
    const auto box = errorBox(QStringLiteral("Planix"), QStringLiteral("未対応のクリップボード データです."));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Planix"));
    EXPECT_EQ(box->text(), QStringLiteral("未対応のクリップボード データです."));
}

} // namespace
