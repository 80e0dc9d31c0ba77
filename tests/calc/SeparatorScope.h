// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Sets the decimal separator for one test and puts the previous one back.
#include "calc/DecimalText.h"

class SeparatorScope {
public:
    explicit SeparatorScope(QChar separator) : saved(decimalSeparator()) { setDecimalSeparator(separator); }
    ~SeparatorScope() { setDecimalSeparator(saved); }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

private:
    QChar saved;
};
