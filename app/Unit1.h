// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main window: picture panel, calculator panel, status bar, menus and
// actions. Its handlers live with their subsystems (workspace/, selection/,
// counting/, calc/, app/); this file declares them all. docs/architecture.md
// has the glossary of the names and the file of every handler.
#include "surface/pixels/Colour.h"
#include "surface/ui/MouseTypes.h"
#include "surface/ui/OpenPictureDialog.h"
#include "surface/ui/StatusBar.h"
#include "surface/ui/TImage.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <cstdint>
#include <memory>

// A point of the working image (32-bit signed coordinates).
struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

enum class CountRule; // the four counting rules (measure/Count.h)

// The figures drawOverlay draws, by the value of shapeKind; any other value
// draws nothing. The mouse-move handler stores shapeRectangle before each
// band, so the band is always a rectangle.
enum ShapeKind : std::uint8_t { shapeLine = 0, shapeRectangle = 1, shapeEllipse = 2, shapeRoundRect = 3 };

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, in the order the form declares them.
    QMenuBar* MainMenu1;   // the menu bar
    QMenu* FileF1;         // "ファイル(&F)" menu
    QAction* N1;           // "画像を開く(&O)": Action1, open a picture
    QAction* Exit1;        // "終了": Action2, close the window and end
    QMenu* Edit1;          // "編集(&E)" menu; Edit1Click when it opens
    QAction* Copy1;        // "コピー": Action3
    QAction* Paste1;       // "貼り付け": Action4
    QMenu* Help1;          // "実行(&R)" menu (not help); Help1Click when it opens
    QMenu* shikii;         // "しきい値50％" submenu: the threshold
    QAction* akarusa;      // "明るさでカウント": count by brightness
    QMenu* Help2;          // "ヘルプ(&H)" menu
    QAction* silhouetteD1; // "PLANIXのヘルプ": show the memo window (Form3)
    QAction* About1;       // "バージョン情報": the About box (Form2)
    QAction* aoiro;        // "青色でカウント": count where blue dominates
    // The picture-open dialog of Action1.
    std::unique_ptr<TOpenPictureDialog> OpenPictureDialog1;
    QAction* Action1;       // "画像を開く(&O)" → Action1Execute
    QAction* Action2;       // "終了" → Action2Execute
    QAction* Action3;       // "コピー" → Action3Execute
    QAction* Action4;       // "貼り付け" → Action4Execute
    QAction* Action5;       // "基準値の測定": on no menu, no handler
    QAction* Action6;       // "面積測定": on no menu, no handler
    QAction* Action7;       // "カウンタのリセット": on no menu, no handler
    QAction* Action8;       // "ヘルプ": on no menu, no handler
    QAction* Action9;       // "バージョン情報": on no menu, no handler
    TStatusBar* StatusBar1; // panel 0 colour/brightness read-out, panel 1 position
    QFrame* Panel1;         // the calculator panel at the bottom
    QLineEdit* Edit2;       // measured object's dots (Tag 1)
    QLineEdit* Edit3;       // reference area, "3.14" at start (Tag 2)
    QLineEdit* Edit4;       // reference's dots (Tag 3)
    QPushButton* Button1;   // "＝": Button1Click works out the area (Tag 0)
    QLabel* Label1;         // "×"
    QLabel* Label2;         // "÷"
    QLineEdit* Edit5;       // the actual area (Tag 4)
    QLabel* Label3;         // "測定物のドット数"
    QLabel* Label4;         // "基準物の面積"
    QLabel* Label5;         // "基準物のドット数"
    QLabel* Label6;         // "実際の面積"
    QAction* N101;          // "10％" threshold
    QAction* N201;          // "20％"
    QAction* N301;          // "30％"
    QAction* N401;          // "40％"
    QAction* N501;          // "50％"
    QAction* N601;          // "60％"
    QAction* N701;          // "70％"
    QAction* N801;          // "80％"
    QAction* N901;          // "90％"
    QAction* midoriiro;     // "緑色でカウント": count where green dominates
    QAction* akairo;        // "赤色でカウント": count where red dominates
    QFrame* kabe;           // the grey picture panel holding the images
    TImage* Image2;         // the working image: shown, selected, counted
    TImage* Image1;         // hidden loader image: the picture as opened
    TImage* Image3;         // hidden history buffer (rireki1 / rireki2)
    QAction* f1;            // "実行画面を戻す": restore the history buffer

    // Handlers (each runs inside the error guard when fired by the window).
    void FormCreate(QObject* Sender);     // nothing (app/)
    void FormShow(QObject* Sender);       // place the window, threshold 0.5 (workspace/OpenPicture)
    void FormClose(QObject* Sender);      // nothing: the program ends (app/)
    void Action1Execute(QObject* Sender); // open dialog, then openPicture (workspace/OpenPicture)
    void Action2Execute(QObject* Sender); // close (app/)
    void Action3Execute(QObject* Sender); // copy the selection (workspace/ClipboardCommands)
    void Action4Execute(QObject* Sender); // paste at the selection (workspace/ClipboardCommands)
    void Edit1Click(QObject* Sender);     // enable copy and paste (workspace/ClipboardCommands)
    void f1Click(QObject* Sender);        // rireki2 (workspace/History)
    void Help1Click(QObject* Sender);     // enable the counts while a band shows (app/)
    void N101Click(QObject* Sender);      // the thresholds (counting/CountingCommands)
    void N201Click(QObject* Sender);
    void N301Click(QObject* Sender);
    void N401Click(QObject* Sender);
    void N501Click(QObject* Sender);
    void N601Click(QObject* Sender);
    void N701Click(QObject* Sender);
    void N801Click(QObject* Sender);
    void N901Click(QObject* Sender);
    void akarusaClick(QObject* Sender); // the four counts (counting/CountingCommands)
    void aoiroClick(QObject* Sender);
    void midoriiroClick(QObject* Sender);
    void akairoClick(QObject* Sender);
    void silhouetteD1Click(QObject* Sender); // show Form3 (app/)
    void About1Click(QObject* Sender);       // Form2, modal (app/)
    void Button1Click(QObject* Sender);      // the area (calc/Calculator)
    void Image2MouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y); // selection/
    void Image2MouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
    void Image2MouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Published methods other subsystems call.
    void rireki1();    // save the working image into the history buffer (workspace/History)
    void rireki2();    // put the saved picture back (workspace/History)
    void jikkou();     // mark the band as shown (selection/)
    void jikkoufuka(); // remove the band from the working image's pixels (selection/)

    // The window's active control (the focused field), or null.
    QWidget* activeControl() const;

    // Opens fileName (made absolute) exactly as the open command opens the
    // file chosen in its dialog: the same steps and history save; a failure
    // shows the error box and changes nothing. The open command, a picture
    // named on the command line and a dropped file all come here.
    void openPicture(const QString& fileName);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend struct Form1Inspector; // tests read the private state

    void buildMenus();
    void buildActions();
    void buildCalculatorPanel();
    void buildPicturePanel();
    void wireHandlers();

    // --- selection (selection/) ---
    // Draws the shapeKind figure between first and second in mode, then
    // leaves the pen in merge mode.
    void drawOverlay(TPoint first, TPoint second, TPenMode mode);
    std::int32_t selLeft = 0;  // the selection rectangle, normalised:
    std::int32_t selTop = 0;   //   columns selLeft .. selRight - 1,
    std::int32_t selRight = 0; //   rows selTop .. selBottom - 1
    std::int32_t selBottom = 0;
    std::int32_t pressX = 0; // the last press on Image2
    std::int32_t pressY = 0;
    std::int32_t releaseX = 0; // the last release on Image2
    std::int32_t releaseY = 0;
    TPoint dragOrigin;                  // the band's fixed corner
    TPoint dragCurrent;                 // the band's moving corner
    std::uint8_t shapeKind = shapeLine; // a ShapeKind, or any other value
    bool overlayShown = false;          // the band is drawn in Image2's pixels

    // --- opening and history (workspace/) ---
    void openIntoWorkingImage(const QString& fileName); // the open's steps after the dialog

    bool historyValid = false; // Image3 holds a saved picture

    // --- counting (counting/) ---
    float threshold = 0.0f;             // thresholdValue of the chosen item; 0.5 from FormShow
    std::int32_t centreLevel = 0;       // brightness at the rectangle's centre (the object)
    std::int32_t cornerLevel = 0;       // brightness at its top-left corner (the background)
    std::int32_t dotCount = 0;          // the last count
    void countByColour(CountRule rule); // the frame of the three colour counts
    void deliverCount();                // dotCount into the field whose Tag is the active control's

    // --- desktop (app/DropOpen): a dropped picture file opens as if chosen ---
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// Rounds value to digits decimal places, ties to even (the calculator's rule;
// calc/FloatingPoint).
long double roundToDigits(std::int32_t digits, long double value);

extern TForm1* Form1;
