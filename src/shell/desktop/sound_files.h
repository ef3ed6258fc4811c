#pragma once

#include <QString>
#include <QStringList>

namespace quintavia {

// The folders that may hold the alert sounds of a program whose executable is in
// `programFolder`, in the order they are tried: that folder itself (a build tree, or a copy
// that carries its own sounds), then the data folder of the installation it belongs to,
// found from the executable's place so that an installation under any prefix finds its own.
QStringList SoundFolders(const QString& programFolder);

// `<folder>/<pane>.wav`, the sound of the default site of pane `pane`, in the first of `folders`
// that holds it; the first folder's when none
// does, so that a missing sound still comes out as the default alert. `folders` must not be
// empty.
QString SoundFileIn(int pane, const QStringList& folders);

// The sound file of pane `pane`'s default site for a program whose executable is in
// `programFolder`.
QString SoundFile(int pane, const QString& programFolder);

// The same for this program: its executable's folder is the application's.
QString SoundFile(int pane);

// The alert sound of the site with this id for this program: the four default sites' by their
// place, another site's by its id, and the chime without a name when no sound has its name
// (a site of the user's own).
QString SoundFileFor(const QString& siteId);
QString SoundFileFor(const QString& siteId, const QStringList& folders);

}  // namespace quintavia
