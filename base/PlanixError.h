// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's failures: an exception carrying the text the user is shown.
#include <QString>
#include <stdexcept>

class PlanixError : public std::runtime_error {
public:
    explicit PlanixError(const QString& message) : std::runtime_error(message.toStdString()), text(message) { }

    const QString& message() const { return text; }

private:
    QString text;
};

// The message of any exception as the user should read it.
inline QString messageOf(const std::exception& e)
{
    if (auto* own = dynamic_cast<const PlanixError*>(&e))
        return own->message();
    return QString::fromUtf8(e.what());
}
