// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "windows/Unit3.h"

#include "surface/ui/ErrorBox.h"
#include "surface/ui/UiFont.h"
#include "windows/KeepAbove.h"
#include "windows/MemoFile.h"
#include "surface/ui/WindowPlacement.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QStringList>
#include <QVBoxLayout>

TForm3* Form3 = nullptr;

namespace {

using namespace Qt::StringLiterals;

// The memo's content at start-up: how to measure a footprint, and where the
// notes are saved. Wide blanks are U+3000.
const QStringList defaultLines{
    u" ＜PLANIXで足裏の面積を測定する手順＞"_s,
    u""_s,
    u"１．半紙の上に濡れた足を乗せるとか，コピー機の上に"_s,
    u"\u3000\u3000足を乗せるとかして，足の印刷物をつくる。"_s,
    u""_s,
    u"２．足の印刷物の上に１円玉３．１４平方ｃｍ（面積がわかるもの）"_s,
    u"\u3000\u3000を乗せて，デジタルカメラで撮影して，"_s,
    u"\u3000\u3000JPEGかBMP形式で保存する。（普通のデジカメはJPEG形式)"_s,
    u"    正確に測定するならBMP形式の２値（白黒とか２色だけ）が良い。"_s,
    u""_s,
    u"３．足裏写真をPLANIXのあるFDに保存する。"_s,
    u""_s,
    u"４．PLANIXを立ち上げ，「ファイル→読み込み」で表示する。"_s,
    u""_s,
    u"５．面積を測定する範囲を左上から右下へ矩形にドラッグする。"_s,
    u""_s,
    u"６．「実行→明るさでカウント」をクリックするとドット数が表示される。"_s,
    u""_s,
    u"７．下の基準物の面積を入力する（初期値は１円玉３．１４）。"_s,
    u""_s,
    u"８．下の基準のドット数の[\u3000\u3000]の中でクリックしてから，"_s,
    u"\u3000\u3000一円玉の画像を矩形にドラッグする。"_s,
    u""_s,
    u"９．下の[\u3000＝\u3000]をクリックすると，[実際の面積]が求まる。"_s,
    u""_s,
    u"***\u3000このメモのページは，自分で記述し，保存して利用します。***"_s,
    u"***\u3000保存ファイル名は，「PLANIX.TXT」となります。\u3000\u3000\u3000\u3000\u3000***"_s,
};

const QString crLf = u"\r\n"_s;

// A panel that only arranges what it holds: no caption, no bevel.
QFrame* arrangingPanel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

// The memo window is a window to assistive technology too, named by its
// caption (a plain widget would be read out as a nameless filler).
QAccessibleInterface* memoWindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TForm3"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window)
{
    static const bool factoryInstalled = (QAccessible::installFactory(memoWindowAccessible), true);
    Q_UNUSED(factoryInstalled);
    setObjectName(u"Form3"_s);
    setWindowTitle(u"PLANIXのメモ"_s);
    setFont(uiFont(12));
    buildMemo();
    buildBottomBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel3, 1);
    layout->addWidget(Panel2);
    setMemoText(defaultLines.join(crLf) + crLf);
    placeByOuterBounds(*this, QRect(248, 77, 521, 578), [] {});
    connect(Button1, &QPushButton::clicked, this, [this] { runGuarded([this] { Button1Click(Button1); }); });
    keepAboveWhileActive(*this);
}

void TForm3::buildBottomBar()
{
    Panel2 = arrangingPanel(this);
    Panel2->setFixedHeight(49);
    Panel4 = arrangingPanel(Panel2);
    Panel4->setFixedWidth(88);
    Button1 = new QPushButton(u"保存"_s, Panel4);
    Button1->setGeometry(0, 0, 89, 49);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setToolTip(u"テキスト保存"_s);

    Panel5 = arrangingPanel(Panel2);
    Panel1 = new QLabel(u"右のボタンで，この画面のメモが保存されます。 →\u3000"_s, Panel5);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setMinimumWidth(1); // a narrow window clips the note rather than refusing to shrink
    auto* note = new QHBoxLayout(Panel5);
    note->setContentsMargins(0, 0, 0, 0);
    note->addWidget(Panel1);

    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);
    bar->addWidget(Panel5, 1);
    bar->addWidget(Panel4);
}

void TForm3::buildMemo()
{
    Panel3 = arrangingPanel(this);
    Memo1 = new QPlainTextEdit(Panel3);
    Memo1->setFont(uiFont(16));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    auto* fill = new QVBoxLayout(Panel3);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(Memo1);
}

// The document's raw text keeps every character as typed or pasted (its plain
// text would turn a no-break space into a blank, hiding it from the encoder);
// the breaks between paragraphs and those typed with Shift+Enter become CR LF.
QString TForm3::memoText() const
{
    QString text = Memo1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    return text.replace(u'\n', crLf);
}

void TForm3::setMemoText(const QString& text)
{
    Memo1->setPlainText(normaliseLineBreaks(text).replace(crLf, u"\n"_s));
    Memo1->document()->setModified(false);
}

bool TForm3::hasUnsavedEdits() const { return Memo1->document()->isModified(); }

void TForm3::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        runGuarded([this] { FormShow(this); });
}

// Loads PLANIX.TXT from the current directory unless the memo holds edits not
// yet saved, which a reload would lose. A missing or unreadable file leaves
// the memo as it is.
void TForm3::FormShow(QObject*)
{
    if (hasUnsavedEdits())
        return;
    const std::optional<QString> saved = readMemoFile(memoFileName);
    if (saved && *saved != memoText())
        setMemoText(*saved);
}

// Saves the memo's text as PLANIX.TXT in the current directory.
void TForm3::Button1Click(QObject*)
{
    writeMemoFile(memoFileName, memoText());
    Memo1->document()->setModified(false);
}
