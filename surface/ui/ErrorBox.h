// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application's top-level error box, and the guard every connected handler
// runs in: an exception never crosses Qt's own frames, it ends the handler and
// is shown here (stop icon, one OK button, the application title).
#include <QString>
#include <exception>
#include <functional>
#include <memory>

class QMessageBox;

// The box's text: the message with "." appended when its last character sorts
// above ".".
QString errorBoxText(const QString& message);

// The program file's name up to its first dot, every letter after the first
// in lower case ("PLANIX.EXE" -> "Planix").
QString applicationTitleFor(const QString& programFileName);
QString applicationTitle();

// The box itself, not yet shown: stop icon, a single OK button, owned by the
// window that is active when the error comes.
std::unique_ptr<QMessageBox> errorBox(const QString& title, const QString& text);

// Shows title and text modally. Tests install a recorder in its place.
using ErrorPresenter = std::function<void(const QString& title, const QString& text)>;
void setErrorPresenter(ErrorPresenter presenter); // empty: the real message box

void showException(const std::exception& error);

template <class Handler>
void runGuarded(Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& error) {
        showException(error);
    }
}
