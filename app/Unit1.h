#pragma once
// The main window: picture panel, calculator panel, status bar, menus and
// actions. Its handlers live with their subsystems (workspace/, selection/,
// counting/, calc/); this file declares them all.
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

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, in the order the form declares them.
    QMenuBar* MainMenu1;
    QMenu* FileF1;
    QAction* N1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* Copy1;
    QAction* Paste1;
    QMenu* Help1;
    QMenu* shikii;
    QAction* akarusa;
    QMenu* Help2;
    QAction* silhouetteD1;
    QAction* About1;
    QAction* aoiro;
    std::unique_ptr<TOpenPictureDialog> OpenPictureDialog1;
    QAction* Action1;
    QAction* Action2;
    QAction* Action3;
    QAction* Action4;
    QAction* Action5;
    QAction* Action6;
    QAction* Action7;
    QAction* Action8;
    QAction* Action9;
    TStatusBar* StatusBar1;
    QFrame* Panel1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QPushButton* Button1;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Edit5;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QAction* N101;
    QAction* N201;
    QAction* N301;
    QAction* N401;
    QAction* N501;
    QAction* N601;
    QAction* N701;
    QAction* N801;
    QAction* N901;
    QAction* midoriiro;
    QAction* akairo;
    QFrame* kabe;
    TImage* Image2;
    TImage* Image1;
    TImage* Image3;
    QAction* f1;

    // Handlers (each runs inside the error guard when fired by the window).
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormClose(QObject* Sender);
    void Action1Execute(QObject* Sender);
    void Action2Execute(QObject* Sender);
    void Action3Execute(QObject* Sender);
    void Action4Execute(QObject* Sender);
    void Edit1Click(QObject* Sender);
    void f1Click(QObject* Sender);
    void Help1Click(QObject* Sender);
    void N101Click(QObject* Sender);
    void N201Click(QObject* Sender);
    void N301Click(QObject* Sender);
    void N401Click(QObject* Sender);
    void N501Click(QObject* Sender);
    void N601Click(QObject* Sender);
    void N701Click(QObject* Sender);
    void N801Click(QObject* Sender);
    void N901Click(QObject* Sender);
    void akarusaClick(QObject* Sender);
    void aoiroClick(QObject* Sender);
    void midoriiroClick(QObject* Sender);
    void akairoClick(QObject* Sender);
    void silhouetteD1Click(QObject* Sender);
    void About1Click(QObject* Sender);
    void Button1Click(QObject* Sender);
    void Image2MouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image2MouseMove(QObject* Sender, TShiftState Shift, int X, int Y);
    void Image2MouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Published methods other subsystems call.
    void rireki1();
    void rireki2();
    void jikkou();
    void jikkoufuka();

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
    void drawOverlay(TPoint first, TPoint second, TPenMode mode);
    std::int32_t selLeft = 0;
    std::int32_t selTop = 0;
    std::int32_t selRight = 0;
    std::int32_t selBottom = 0;
    std::int32_t pressX = 0;
    std::int32_t pressY = 0;
    std::int32_t releaseX = 0;
    std::int32_t releaseY = 0;
    TPoint dragOrigin;
    TPoint dragCurrent;
    std::uint8_t shapeKind = 0;
    bool overlayShown = false;

    // --- opening and history (workspace/) ---
    void openIntoWorkingImage(const QString& fileName);
    bool historyValid = false;

    // --- counting (counting/) ---
    float threshold = 0.0f;
    std::int32_t centreLevel = 0;
    std::int32_t cornerLevel = 0;
    std::int32_t dotCount = 0;
    void countByColour(CountRule rule);
    void deliverCount();

    // --- desktop (app/): a dropped picture file opens as if chosen ---
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// Rounds value to digits decimal places, ties to even (the calculator's rule).
long double roundToDigits(std::int32_t digits, long double value);

extern TForm1* Form1;
