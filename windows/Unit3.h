// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The memo window: instructions and the user's notes, saved as PLANIX.TXT.
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // Components, from the bottom up.
    QFrame* Panel2; // bottom bar
    QFrame* Panel4; // its right part, holding the save button
    QPushButton* Button1;
    QFrame* Panel5; // the rest of the bar, holding the note
    QLabel* Panel1;
    QFrame* Panel3; // above the bar, holding the memo
    QPlainTextEdit* Memo1;

    // Handlers (each runs inside the error guard when fired by the window).
    void FormShow(QObject* Sender);
    void Button1Click(QObject* Sender);

    // The memo's lines as one text, each line break a CR LF.
    QString memoText() const;
    // Replaces the memo's content by text (breaks CR LF, CR or LF); the memo
    // then holds no unsaved edits.
    void setMemoText(const QString& text);
    // Whether the memo was edited since start-up, the last load or the last save.
    bool hasUnsavedEdits() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildBottomBar();
    void buildMemo();
    void followApplicationState();
};

extern TForm3* Form3;
