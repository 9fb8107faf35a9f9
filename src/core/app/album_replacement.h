#pragma once

#include "shared/outcome.h"

#include <QString>

// Making an album again in place of one made before: the new one is made beside the old one and
// takes its place only when it is whole.

// Whether everything in the album folder `path` is something Galvora makes: page files (*.html),
// the `images` folder with its picture* files and `images/small/picture*`, scratch folders
// (.scratch-*) and temporary files (.galvora-*) left by a run that was killed. The failure is the
// message naming the first few other entries.
Status CheckHoldsOnlyAlbumFiles(const QString &path);

// A new name beside `albumPath` for the album to be made: hidden, starting with ".galvora-", so
// that one left by a killed run is known as leftover.
QString StagingName(const QString &albumPath);

// Takes away what killed runs left beside `albumPath`: staging folders of its name that hold
// nothing but album files.
void RemoveStaleStaging(const QString &albumPath);

// Puts the whole album at `staging` in the place of the one at `albumPath` in one step where the
// file system can (two renames where it cannot), then takes the old one away.
Status SwapIntoPlace(const QString &staging, const QString &albumPath);

// Takes away what a stopped run left in the album at `path`: its scratch folders and the
// temporary files beside the album's files.
void RemoveRunLeftovers(const QString &path);

// Takes away a folder and all in it; used only on folders checked above or made by this run.
void RemoveTree(const QString &path);
