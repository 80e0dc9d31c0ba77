// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A clipboard that another program may be holding open, for the failures the
// system clipboard cannot be made to show on demand.
#include "surface/ui/Clipboard.h"
#include "base/PlanixError.h"

#include <optional>

class FakeClipboard final : public ClipboardService {
public:
    std::optional<TBitmap> heldBitmap;
    bool heldMetafile = false;
    bool heldOpenElsewhere = false; // another program has it open: reading fails

    bool hasFormat(int format) override
    {
        if (format == CF_BITMAP)
            return heldBitmap.has_value();
        if (format != CF_PICTURE)
            return false;
        open();
        return heldBitmap || heldMetafile;
    }

    void setBitmap(const TBitmap& bitmap) override
    {
        open();
        heldMetafile = false;
        heldBitmap = bitmap;
    }

    TBitmap bitmap() override
    {
        open();
        if (!heldBitmap)
            throw PlanixError(clipboardUnsupportedMessage());
        return *heldBitmap;
    }

private:
    void open() const
    {
        if (heldOpenElsewhere)
            throw PlanixError(clipboardCannotOpenMessage());
    }
};
