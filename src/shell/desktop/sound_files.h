#pragma once

#include <QString>
#include <QStringList>

namespace quintavia {

// The folders that may hold the alert sounds of a program whose executable is in
// `programFolder`, in the order they are tried: that folder itself (a build tree, or a copy
// that carries its own sounds), then the data folder of the installation it belongs to,
// found from the executable's place so that an installation under any prefix finds its own.
QStringList SoundFolders(const QString& programFolder);

// `<folder>/<site>.wav` in the first of `folders` that holds it; the first folder's when none
// does, so that a missing sound still comes out as the default alert. `folders` must not be
// empty.
QString SoundFileIn(int site, const QStringList& folders);

// The sound file of `site` for a program whose executable is in `programFolder`.
QString SoundFile(int site, const QString& programFolder);

// The same for this program: its executable's folder is the application's.
QString SoundFile(int site);

// The alert sound of the site with this id for this program: the four default sites' by their
// place, another site's by its id, and the chime without a name when no sound has its name
// (a site of the user's own).
QString SoundFileFor(const QString& siteId);
QString SoundFileFor(const QString& siteId, const QStringList& folders);

}  // namespace quintavia
