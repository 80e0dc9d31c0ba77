// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Photographs of flat shapes with known areas, made from a seed: what a user
// lays on paper and photographs (leaves, grass, a footprint beside a coin or
// a printed square) under the light of a room.
//
// A scene is a list of items on a sheet of paper, each with its role
// (measured object or reference) and its shape; the conditions (light, hand
// shadow, paper tint, blur, noise, JPEG quality, size) apply to the whole
// picture. The truth of every item is the coverage its outline had when it
// was drawn: the sum over the pixels of the share of each pixel it covered,
// before light, blur, noise and compression.
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

enum class ItemRole { Object, Reference };

enum class ItemKind {
    Leaf,         // ovate, with a stalk and insect holes
    CompoundLeaf, // five leaflets spread from the stalk's end
    GrassBlade,   // long, narrow and bent
    ThinBlade,    // fine grass or a pine needle, about a millimetre wide
    Footprint,    // heel, ball and toes; a high arch leaves the middle empty
    LightCoin,    // 20 mm, aluminium: light body, lighter rim, highlights
    DarkCoin,     // 20 mm, copper
    Square1,      // printed 1 cm x 1 cm
    Square4,      // printed 2 cm x 2 cm
};

struct Item {
    ItemRole role = ItemRole::Object;
    ItemKind kind = ItemKind::Leaf;
    double centreXmm = 0, centreYmm = 0; // on the picture, from its top-left corner
    double sizeMm = 0;                   // the shape's length (coins and squares: their own)
    double angle = 0;                    // degrees
    unsigned seed = 1;                   // the shape's own details
    // Filled in by rendering:
    double coverage = 0; // pixels
    QRect bounds;        // pixels it touches
    QRect loose;         // the rectangle a user drags around it (picture pixels)
};

struct Conditions {
    QSize size{1600, 1200};
    double mmAcross = 250; // the width of the picture on the paper
    QRgb paper = qRgb(240, 238, 232);
    double gradient = 0.05;   // light falls off by this share across the picture
    double gradientAngle = 0; // degrees
    double shadow = 0;        // a soft hand shadow darkens by this share at its middle
    double blur = 0.7;        // Gaussian sigma in pixels
    double noise = 3;         // sensor noise, standard deviation per channel
    int jpegQuality = 90;
};

struct Scene {
    QString name;
    QString description;
    Conditions conditions;
    std::vector<Item> items;
    unsigned seed = 1;

    double pixelsPerMm() const { return conditions.size.width() / conditions.mmAcross; }
    double pixelsPerCm2() const { return pixelsPerMm() * pixelsPerMm() * 100; }
};

// The default set (or the large set with every size up to 6000 x 4000),
// each scene with its items placed and its conditions drawn from seed.
std::vector<Scene> sceneSet(unsigned seed, bool large);

// Draws the scene; fills in each item's coverage, bounds and loose rectangle.
QImage renderScene(Scene& scene);

QString itemKindName(ItemKind kind);

// Pictures for measuring without rectangles (planix-measure --find): several
// shapes on one sheet (three leaves; a leaf, a grass blade and a compound
// leaf; a footprint whose toes lie apart; blades of fine grass) beside a
// light or dark coin or a printed square, under the same conditions as
// sceneSet's. The reference is the last item.
std::vector<Scene> findSceneSet(unsigned seed, bool large);
