// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit_library.h"

#include "window_text.h"

#include "plate/dat_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {
const QString kitSuffix = QStringLiteral(".assay.json");
constexpr qsizetype maxStemLength = 60;
} // namespace

QString KitEntry::title() const {
    if (kit && !kit->name.trimmed().isEmpty())
        return kit->name;
    return QFileInfo(path).fileName();
}

KitFolders kitFolders() {
    KitFolders folders;
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString &relative :
         {QStringLiteral("assays"), QStringLiteral("../share/telkaro/assays")}) {
        const QString folder = QDir::cleanPath(program.absoluteFilePath(relative));
        if (QFileInfo(folder).isDir()) {
            folders.installed << folder;
            break; // the one beside the program, else the shared one
        }
    }
    folders.own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                  QStringLiteral("/assays");
    return folders;
}

KitEntry readKitEntry(const QString &path, bool installed) {
    KitEntry entry;
    entry.path = path;
    entry.installed = installed;
    const KitRead read = loadKit(path);
    entry.kit = read.kit;
    entry.error = read.error;
    entry.sha256 = read.sha256;
    return entry;
}

QList<KitEntry> listKits(const KitFolders &folders) {
    QList<KitEntry> entries;
    const auto addFolder = [&entries](const QString &folder, bool installed) {
        const QDir dir(folder);
        const QStringList names =
            dir.entryList({QLatin1Char('*') + kitSuffix}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString &name : names)
            entries << readKitEntry(dir.filePath(name), installed);
    };
    for (const QString &folder : folders.installed)
        addFolder(folder, true);
    if (!folders.own.isEmpty())
        addFolder(folders.own, false);
    return entries;
}

QString kitFileStem(const QString &kitName) {
    // Letters and digits of any script stay; what a file system or a shell
    // takes amiss becomes a hyphen.
    QString stem;
    for (const QChar c : kitName.trimmed()) {
        if (c.isLetterOrNumber())
            stem += c;
        else if (!stem.endsWith(QLatin1Char('-')))
            stem += QLatin1Char('-');
    }
    while (stem.endsWith(QLatin1Char('-')))
        stem.chop(1);
    while (stem.startsWith(QLatin1Char('-')))
        stem.remove(0, 1);
    stem = stem.left(maxStemLength);
    return stem.isEmpty() ? QStringLiteral("kit") : stem;
}

QString newKitPath(const QString &folder, const QString &kitName) {
    const QString stem = kitFileStem(kitName);
    const QDir dir(folder);
    QString path = dir.filePath(stem + kitSuffix);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1-%2").arg(stem).arg(n) + kitSuffix);
    return path;
}

QString writeKitFile(const QString &path, const Kit &kit) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return WindowText::tr("cannot make the folder %1").arg(QDir::toNativeSeparators(folder));
    return writeDatFile(path, kitJson(kit), WindowText::tr("the file was not written in full"));
}
