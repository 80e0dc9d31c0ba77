// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Program-wide set-up of the application object: fonts, tooltip timing.
class QApplication;

void configureApplication(QApplication& app);
