// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The shape of the reference that --find looks for (--reference-shape).
enum class ReferenceShape { Disc, Square };
