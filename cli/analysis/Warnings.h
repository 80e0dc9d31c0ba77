// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The checks that tell a batch's user which measurements not to trust. Each
// warning has a short code for the CSV and a sentence for --help and the man
// page.
#include "cli/analysis/Levels.h"
#include "surface/pixels/Surface.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum class Warning : unsigned {
    CentreOnBackground = 1u << 0,
    CornerNotBackground = 1u << 1,
    LevelsTooClose = 1u << 2,
    ObjectTouchesEdge = 1u << 3,
    RectangleOutside = 1u << 4,
    NoDots = 1u << 5,
    ReferenceSmall = 1u << 6,
    ColourOnGrey = 1u << 7,
    EdgeNotCounted = 1u << 8,
    ObjectTouchesPictureEdge = 1u << 9, // --find
    ReferenceAmbiguous = 1u << 10,      // --find
    ObjectThin = 1u << 11,              // --find
    NoObject = 1u << 12,                // --find
    ObjectFaintBeside = 1u << 13,       // --find
    ObjectTouchesReference = 1u << 14,  // --find
    ReferenceShadow = 1u << 15,         // --find
    PictureCutShort = 1u << 16,
};

// A set of warnings; the codes come out in the order of warningList().
class Warnings {
public:
    void add(Warning warning) { bits |= unsigned(warning); }
    void add(Warnings other) { bits |= other.bits; }
    bool has(Warning warning) const { return (bits & unsigned(warning)) != 0; }
    bool isEmpty() const { return bits == 0; }
    QStringList codes() const;
    QString text() const { return codes().join(u';'); } // "no-dots;reference-small"

private:
    unsigned bits = 0;
};

struct WarningInfo {
    Warning warning;
    const char* code;
    const char* meaning; // one sentence, for --help and the man page
};
// Every warning, in the order the codes are written.
const std::vector<WarningInfo>& warningList();

// The meaning of a code as a sentence for a reader of the results (without
// the mode the whole warning belongs to); empty for a code that is not a
// warning's.
QString warningMeaning(const QString& code);

// The codes and their meanings as --help lists them, two-space indented,
// one code a line (the meaning wrapped below it).
QString warningHelp();

// Counts the warnings of a batch for the summary on standard error.
class WarningTally {
public:
    void add(const Warnings& warnings, std::optional<std::int32_t> referenceDots);
    bool isEmpty() const { return pictures == 0; }
    // "planix-measure: 3 of 16 pictures carry warnings:" and one line per
    // code that occurred, with its count; empty when none did.
    QString summary(int measured) const;

private:
    int pictures = 0;
    std::vector<int> counts = std::vector<int>(warningList().size(), 0);
    std::optional<std::int32_t> fewestReferenceDots; // of the pictures with reference-small
};

// Fewer reference dots than this make the area uncertain by more than a few percent.
inline constexpr std::int32_t smallReferenceDots = 3000;
// The area's uncertainty from the reference's edge alone: half a dot along the
// outline of a round reference of that many dots, relative (0.032 at 3000 dots).
double referenceUncertainty(std::int32_t referenceDots);

enum class LevelRule { Window, Robust };

// What is known about one rectangle's count.
struct CountFacts {
    bool brightness = true; // false: a colour rule
    LevelRule levelRule = LevelRule::Window;
    RectangleLevels levels; // from the picture before this count
    bool outside = false;   // the rectangle reaches beyond the picture
    std::int32_t dots = 0;
    std::int64_t borderDots = 0; // of them on the border of the part inside the picture
    std::int64_t borderPixels = 0;
    std::optional<double> colourShare; // colour rules: share of pixels clearly of that colour
    std::optional<double> windowLimit; // the window's levels: the limit they counted beyond
    bool halfway = true;               // the limit lies halfway between the two levels (--threshold 50)
};

// The warnings of the object's count, and of the reference's (which adds reference-small).
Warnings countWarnings(const CountFacts& facts);
Warnings referenceWarnings(const CountFacts& facts);

// Pixels of part's border (each once) for which counted(x, y, colour) is
// true, and the border's length.
struct BorderTally {
    std::int64_t counted = 0;
    std::int64_t pixels = 0;
};
BorderTally borderTally(const Surface& surface, const QRect& part,
                        const std::function<bool(int, int, TColor)>& counted);

// The share of pixels of rect inside the picture whose channel exceeds both
// others by more than the margin colour-on-grey looks for; 0 for no pixels.
double clearColourShare(const Surface& surface, const SelectionRect& rect, Channel channel);
