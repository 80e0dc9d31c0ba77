// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/Form1Harness.h"

#include "surface/ui/ErrorBox.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QDir>
#include <QMouseEvent>
#include <QtTest/QTest>

void Form1Test::SetUp()
{
    startDirectory = QDir::currentPath();
    setErrorPresenter([this](const QString& title, const QString& text) {
        lastErrorTitle = title;
        errors << text;
    });
    if (!Form2)
        Form2 = new TForm2;
    if (!Form3)
        Form3 = new TForm3;
    window = std::make_unique<TForm1>();
    Form1 = window.get();
    auto scripted = std::make_unique<ScriptedPictureDialog>();
    scriptedDialog = scripted.get();
    window->OpenPictureDialog1 = std::move(scripted);
    window->show();
    QApplication::setActiveWindow(window.get());
    QCoreApplication::processEvents();
}

void Form1Test::TearDown()
{
    QDir::setCurrent(startDirectory);
    Form1 = nullptr;
    window.reset();
    setErrorPresenter({});
}

namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    const QPointF local(at);
    QMouseEvent event(type, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

void Form1Test::press(int x, int y, Qt::MouseButton button)
{
    sendMouse(window->Image2, QEvent::MouseButtonPress, {x, y}, button, button);
}

void Form1Test::moveTo(int x, int y, Qt::MouseButtons held)
{
    sendMouse(window->Image2, QEvent::MouseMove, {x, y}, Qt::NoButton, held);
}

void Form1Test::release(int x, int y, Qt::MouseButton button)
{
    sendMouse(window->Image2, QEvent::MouseButtonRelease, {x, y}, button, Qt::NoButton);
}

void Form1Test::drag(int fromX, int fromY, int toX, int toY)
{
    press(fromX, fromY);
    moveTo((fromX + toX) / 2, (fromY + toY) / 2);
    moveTo(toX, toY);
    release(toX, toY);
}

void Form1Test::openRunMenu() { emit window->Help1->aboutToShow(); }

bool Form1Test::countingEnabled() const
{
    return window->akarusa->isEnabled() && window->aoiro->isEnabled() && window->midoriiro->isEnabled()
           && window->akairo->isEnabled();
}

void Form1Test::setWorkingBitmap(const TBitmap& bitmap)
{
    window->Image2->setGeometry(0, 0, bitmap.width(), bitmap.height());
    window->Image2->assignPicture(Picture(bitmap));
}

QImage Form1Test::workingImage() const
{
    const TBitmap* bitmap = window->Image2->picture().bitmap();
    return bitmap ? bitmap->image() : QImage();
}
