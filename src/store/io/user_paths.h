#pragma once

#include <QString>
#include <QStringView>

namespace quintavia {

// Where the user's own files of the program lie, each in the program's folder: the settings in
// the configuration folder ($XDG_CONFIG_HOME/Quintavia, ~/.config/Quintavia when unset), what
// it finds and remembers in the data folder ($XDG_DATA_HOME/Quintavia, ~/.local/share/Quintavia).
// Empty when the system knows no such folder: the caller then keeps nothing.
QString UserConfigFile(QStringView name);
QString UserDataFile(QStringView name);

// The file `name` in the program's folder under the configuration folder `configHome`.
QString ConfigFileIn(const QString& configHome, QStringView name);

}  // namespace quintavia
