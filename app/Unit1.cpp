// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Unit1.h"

#include "surface/ui/ErrorBox.h"
#include "surface/ui/UiFont.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QVBoxLayout>

TForm1* Form1 = nullptr;

namespace {

// Runs handler inside the error guard whenever signal fires.
template <class Sender, class Signal, class Handler>
void connectGuarded(Sender* sender, Signal signal, QObject* context, Handler handler)
{
    QObject::connect(sender, signal, context, [handler] { runGuarded(handler); });
}

QLabel* placedLabel(QWidget* parent, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* placedEdit(QWidget* parent, const QString& text, QRect bounds, const QString& hint, int tag)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(bounds);
    edit->setFont(uiFont(16));
    edit->setToolTip(hint);
    edit->setToolTipDuration(2500);
    edit->setProperty("Tag", tag);
    return edit;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("PLANIX"));
    setFont(uiFont(12));
    setObjectName(QStringLiteral("Form1"));
    buildActions();
    buildMenus();
    buildPicturePanel();
    buildCalculatorPanel();
    StatusBar1 = new TStatusBar(this);
    StatusBar1->setFixedHeight(19);
    setStatusBar(StatusBar1);
    OpenPictureDialog1 = std::make_unique<TOpenPictureDialog>(this);
    OpenPictureDialog1->Filter = QStringLiteral("すべてのファイル (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;");
    wireHandlers();
    setAcceptDrops(true); // picture files: app/DropOpen.cpp
    FormCreate(this);
}

TForm1::~TForm1() = default;

void TForm1::buildActions()
{
    auto action = [this](const QString& caption, const QString& category) {
        auto* a = new QAction(caption, this);
        a->setProperty("Category", category);
        return a;
    };
    Action1 = action(QStringLiteral("画像を開く(&O)"), QStringLiteral("ファイル"));
    Action2 = action(QStringLiteral("終了"), QStringLiteral("ファイル"));
    Action3 = action(QStringLiteral("コピー"), QStringLiteral("編集"));
    Action4 = action(QStringLiteral("貼り付け"), QStringLiteral("編集"));
    Action5 = action(QStringLiteral("基準値の測定"), QStringLiteral("実行"));
    Action6 = action(QStringLiteral("面積測定"), QStringLiteral("実行"));
    Action7 = action(QStringLiteral("カウンタのリセット"), QStringLiteral("実行"));
    Action8 = action(QStringLiteral("ヘルプ"), QStringLiteral("ヘルプ"));
    Action9 = action(QStringLiteral("バージョン情報"), QStringLiteral("ヘルプ"));
}

void TForm1::buildMenus()
{
    MainMenu1 = menuBar();
    FileF1 = MainMenu1->addMenu(QStringLiteral("ファイル(&F)"));
    N1 = Action1; // the item shows its action
    Exit1 = Action2;
    FileF1->addAction(N1);
    FileF1->addAction(Exit1);

    Edit1 = MainMenu1->addMenu(QStringLiteral("編集(&E)"));
    f1 = Edit1->addAction(QStringLiteral("実行画面を戻す"));
    Copy1 = Action3;
    Paste1 = Action4;
    Edit1->addAction(Copy1);
    Edit1->addAction(Paste1);

    Help1 = MainMenu1->addMenu(QStringLiteral("実行(&R)"));
    shikii = Help1->addMenu(QStringLiteral("しきい値50％"));
    QAction** levels[] = {&N101, &N201, &N301, &N401, &N501, &N601, &N701, &N801, &N901};
    for (int i = 0; i < 9; ++i)
        *levels[i] = shikii->addAction(QStringLiteral("%1％").arg((i + 1) * 10));
    shikii->addAction(QString()); // the unnamed tenth item: does nothing
    akarusa = Help1->addAction(QStringLiteral("明るさでカウント"));
    aoiro = Help1->addAction(QStringLiteral("青色でカウント"));
    midoriiro = Help1->addAction(QStringLiteral("緑色でカウント"));
    akairo = Help1->addAction(QStringLiteral("赤色でカウント"));
    for (QAction* count : {akarusa, aoiro, midoriiro, akairo})
        count->setEnabled(false);

    Help2 = MainMenu1->addMenu(QStringLiteral("ヘルプ(&H)"));
    silhouetteD1 = Help2->addAction(QStringLiteral("PLANIXのヘルプ"));
    About1 = Help2->addAction(QStringLiteral("バージョン情報"));
}

void TForm1::buildPicturePanel()
{
    auto* centre = new QWidget(this);
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(centre);

    kabe = new QFrame(centre);
    kabe->setAutoFillBackground(true);
    QPalette grey = kabe->palette();
    grey.setColor(QPalette::Window, QColor::fromRgb(toQRgb(clGray)));
    kabe->setPalette(grey);
    layout->addWidget(kabe, 1);

    Image2 = new TImage(kabe);
    Image2->setGeometry(-7, -47, 992, 472);
    Image2->setToolTip(QStringLiteral("測定したい画像を囲む"));
    Image2->setToolTipDuration(2500);
    Image1 = new TImage(kabe);
    Image1->autoSize = true;
    Image1->center = true;
    Image1->hide();
    Image3 = new TImage(kabe);
    Image3->hide();

    Panel1 = new QFrame(centre);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(62);
    layout->addWidget(Panel1);
}

void TForm1::buildCalculatorPanel()
{
    Label3 = placedLabel(Panel1, QStringLiteral("測定物のドット数"), 40, 8);
    Edit2 = placedEdit(Panel1, QString(), QRect(32, 24, 97, 24), QStringLiteral("面積を測定したい画像"), 1);
    Label1 = placedLabel(Panel1, QStringLiteral("×"), 152, 32);
    Label4 = placedLabel(Panel1, QStringLiteral("基準物の面積"), 200, 8);
    Edit3 = placedEdit(Panel1, QStringLiteral("3.14"), QRect(184, 24, 97, 24), QStringLiteral("1円硬貨なら３．１４"),
                       2);
    Label2 = placedLabel(Panel1, QStringLiteral("÷"), 304, 32);
    Label5 = placedLabel(Panel1, QStringLiteral("基準物のドット数"), 344, 8);
    Edit4 = placedEdit(Panel1, QString(), QRect(336, 24, 105, 24), QStringLiteral("基準（１円玉）の画像"), 3);
    Button1 = new QPushButton(QStringLiteral("＝"), Panel1);
    Button1->setGeometry(464, 24, 41, 25);
    Button1->setToolTip(QStringLiteral("実際の面積の計算"));
    Button1->setToolTipDuration(2500);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setProperty("Tag", 0);
    Button1->setAutoDefault(false);
    Label6 = placedLabel(Panel1, QStringLiteral("実際の面積"), 552, 8);
    Edit5 = placedEdit(Panel1, QString(), QRect(528, 24, 105, 24), QStringLiteral("基準の面積の単位の面積"), 4);
    // Each field is named by the label above it, for screen readers.
    Label3->setBuddy(Edit2);
    Label4->setBuddy(Edit3);
    Label5->setBuddy(Edit4);
    Label6->setBuddy(Edit5);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Button1);
    setTabOrder(Button1, Edit5);
}

void TForm1::wireHandlers()
{
    connectGuarded(Action1, &QAction::triggered, this, [this] { Action1Execute(Action1); });
    connectGuarded(Action2, &QAction::triggered, this, [this] { Action2Execute(Action2); });
    connectGuarded(Action3, &QAction::triggered, this, [this] { Action3Execute(Action3); });
    connectGuarded(Action4, &QAction::triggered, this, [this] { Action4Execute(Action4); });
    connectGuarded(Edit1, &QMenu::aboutToShow, this, [this] { Edit1Click(Edit1); });
    connectGuarded(f1, &QAction::triggered, this, [this] { f1Click(f1); });
    connectGuarded(Help1, &QMenu::aboutToShow, this, [this] { Help1Click(Help1); });
    connectGuarded(N101, &QAction::triggered, this, [this] { N101Click(N101); });
    connectGuarded(N201, &QAction::triggered, this, [this] { N201Click(N201); });
    connectGuarded(N301, &QAction::triggered, this, [this] { N301Click(N301); });
    connectGuarded(N401, &QAction::triggered, this, [this] { N401Click(N401); });
    connectGuarded(N501, &QAction::triggered, this, [this] { N501Click(N501); });
    connectGuarded(N601, &QAction::triggered, this, [this] { N601Click(N601); });
    connectGuarded(N701, &QAction::triggered, this, [this] { N701Click(N701); });
    connectGuarded(N801, &QAction::triggered, this, [this] { N801Click(N801); });
    connectGuarded(N901, &QAction::triggered, this, [this] { N901Click(N901); });
    connectGuarded(akarusa, &QAction::triggered, this, [this] { akarusaClick(akarusa); });
    connectGuarded(aoiro, &QAction::triggered, this, [this] { aoiroClick(aoiro); });
    connectGuarded(midoriiro, &QAction::triggered, this, [this] { midoriiroClick(midoriiro); });
    connectGuarded(akairo, &QAction::triggered, this, [this] { akairoClick(akairo); });
    connectGuarded(silhouetteD1, &QAction::triggered, this, [this] { silhouetteD1Click(silhouetteD1); });
    connectGuarded(About1, &QAction::triggered, this, [this] { About1Click(About1); });
    connectGuarded(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
    Image2->OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y) {
        runGuarded([&] { Image2MouseDown(Image2, b, s, x, y); });
    };
    Image2->OnMouseMove = [this](TShiftState s, int x, int y) {
        runGuarded([&] { Image2MouseMove(Image2, s, x, y); });
    };
    Image2->OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y) {
        runGuarded([&] { Image2MouseUp(Image2, b, s, x, y); });
    };
}

QWidget* TForm1::activeControl() const { return focusWidget(); }

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    runGuarded([this] { FormShow(this); });
    if (!focusWidget())
        Edit2->setFocus();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    runGuarded([this] { FormClose(this); });
    event->accept();
}

void TForm1::FormCreate(QObject*) { }

void TForm1::FormClose(QObject*) { }

void TForm1::Action2Execute(QObject*) { close(); }

void TForm1::Help1Click(QObject*)
{
    akarusa->setEnabled(overlayShown);
    aoiro->setEnabled(overlayShown);
    akairo->setEnabled(overlayShown);
    midoriiro->setEnabled(overlayShown);
}

void TForm1::silhouetteD1Click(QObject*)
{
    Form3->setWindowState(Form3->windowState() & ~Qt::WindowMinimized);
    Form3->show();
    Form3->raise();
    Form3->activateWindow();
}

void TForm1::About1Click(QObject*) { Form2->exec(); }
