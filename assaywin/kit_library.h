// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assay/kit.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A kit file the window offers: the kits installed with the program and the
// operator's own, each read as telkaro-read reads it.
struct KitEntry {
    QString path;
    bool installed = false; // installed with the program: never written
    std::optional<Kit> kit; // none when the file is wrong
    QString error;          // the library's message, when it is
    QByteArray sha256;
    // What the list shows: the kit's name, else the file's.
    QString title() const;
};

// Where the kits are.
struct KitFolders {
    QStringList installed; // read only
    QString own;           // the operator's, written by the editor
};
// The installed kits beside the program (assays/, as on Windows and in the
// build folder) or in ../share/telkaro/assays; the operator's in the per-user
// data folder, assays/.
KitFolders kitFolders();

// Every *.assay.json of the folders, installed first, each in name order.
QList<KitEntry> listKits(const KitFolders &folders);
KitEntry readKitEntry(const QString &path, bool installed);

// A kit's name made safe for a file name: letters and digits, the rest
// hyphens; "kit" when nothing is left.
QString kitFileStem(const QString &kitName);
// A new file in the operator's folder for a kit of this name: the name made
// safe for a file name, with -2, -3, … where one of that name is there.
QString newKitPath(const QString &folder, const QString &kitName);
// Writes the kit file, complete or not at all; the folder is made when it is
// not there. An empty string, or why not.
QString writeKitFile(const QString &path, const Kit &kit);
