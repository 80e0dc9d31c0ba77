// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A main window on the offscreen platform, with the error box replaced by a
// recorder, and read access to the window's private state.
#include "app/Unit1.h"
#include "surface/ui/OpenPictureDialog.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

struct Form1Inspector {
    TForm1& form;

    std::int32_t& selLeft() { return form.selLeft; }
    std::int32_t& selTop() { return form.selTop; }
    std::int32_t& selRight() { return form.selRight; }
    std::int32_t& selBottom() { return form.selBottom; }
    std::int32_t& pressX() { return form.pressX; }
    std::int32_t& pressY() { return form.pressY; }
    std::int32_t& releaseX() { return form.releaseX; }
    std::int32_t& releaseY() { return form.releaseY; }
    TPoint& dragOrigin() { return form.dragOrigin; }
    TPoint& dragCurrent() { return form.dragCurrent; }
    std::uint8_t& shapeKind() { return form.shapeKind; }
    bool& overlayShown() { return form.overlayShown; }
    bool& historyValid() { return form.historyValid; }
    float& threshold() { return form.threshold; }
    std::int32_t& centreLevel() { return form.centreLevel; }
    std::int32_t& cornerLevel() { return form.cornerLevel; }
    std::int32_t& dotCount() { return form.dotCount; }
    void drawOverlay(TPoint a, TPoint b, TPenMode mode) { form.drawOverlay(a, b, mode); }
};

// A picture-open dialog that answers without a window.
class ScriptedPictureDialog : public TOpenPictureDialog {
public:
    ScriptedPictureDialog() : TOpenPictureDialog(nullptr) { }
    bool Execute() override
    {
        ++runs;
        if (!answer.isEmpty())
            FileName = answer;
        return !answer.isEmpty();
    }
    QString answer; // empty: the user cancels
    int runs = 0;
};

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TForm1& form() { return *window; }
    Form1Inspector state() { return Form1Inspector{*window}; }
    ScriptedPictureDialog& dialog() { return *scriptedDialog; }

    // Mouse on the working image, in its client coordinates.
    void press(int x, int y, Qt::MouseButton button = Qt::LeftButton);
    void moveTo(int x, int y, Qt::MouseButtons held = Qt::LeftButton);
    void release(int x, int y, Qt::MouseButton button = Qt::LeftButton);
    void drag(int fromX, int fromY, int toX, int toY);

    // Opens the "実行(&R)" menu as the user does (runs its handler).
    void openRunMenu();
    bool countingEnabled() const;

    // Gives the working image a bitmap (as an open would) of the given content.
    void setWorkingBitmap(const TBitmap& bitmap);
    QImage workingImage() const;

    QStringList errors; // texts the error box would have shown
    QString lastErrorTitle;
    QString startDirectory; // restored after each test: opening a picture moves it

private:
    std::unique_ptr<TForm1> window;
    ScriptedPictureDialog* scriptedDialog = nullptr;
};
