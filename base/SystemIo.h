// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whole reads and writes on a file descriptor, as every file of the program
// needs them: a signal that interrupts a call is not a failure, and a short
// read or write goes on where it stopped.
#include <QtGlobal>

// Writes size bytes from data to fd. 0 when all were written, else the
// error number (ENOSPC for a write that wrote nothing).
int writeEveryByte(int fd, const char* data, qsizetype size);

// Reads into buffer until size bytes are read or the file ends. The number
// of bytes read, or -1 with errno set when a read fails.
qsizetype readUpTo(int fd, char* buffer, qsizetype size);
