#include "shell/ShellHooks.h"

ShellHooks& shellHooks() {
    static ShellHooks hooks;
    return hooks;
}

void installShellHooks() {
    ShellHooks& h = shellHooks();
    // Each window is added here as it is built, for example:
    //   h.leagues.display = [](const QVariant& key) -> QWidget* { return displayLeagues(key.toInt()); };
    //   h.leagues.create = newLeague;
    //   h.raceTypes = [] { frmRaceTypes w(frmMain::instance()); w.exec(); };
    Q_UNUSED(h);
}
