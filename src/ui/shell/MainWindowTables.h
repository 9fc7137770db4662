#pragma once

// What the main window's menus, toolbar, tree and commands share.

#include "shell/EntityKind.h"

#include <QVariant>

namespace mainwindow {

using Entity = EntityKind;

// Roles of the tree's nodes.
inline constexpr int KeyRole = Qt::UserRole;
inline constexpr int TagRole = Qt::UserRole + 1;
inline constexpr int ImageRole = Qt::UserRole + 2;

struct EntityInfo {
    const char* menuName;  // mnuLeague, ...
    const char* menuTitle; // "League", ...
    const char* thing;     // the text after "New ", "Update ", "Delete "
    const char* listTag;   // the tree node that shows the list window
    int helpTopic;
    bool numberKey; // the list window is keyed by number (-1 = first row), else by name ("")
};

inline constexpr EntityInfo kEntities[] = {
    {"mnuLeague", "League", "League", "LEAGUES ROOT", 500, true},
    {"mnuTeam", "Team", "Team", "TEAMS ROOT", 400, false},
    {"mnuCar", "Car", "Car/Driver", "CARS ROOT", 300, true},
    {"mnuRace", "Race", "Race", "RACES ROOT", 700, false},
    {"mnuScoring", "Scoring", "Scoring", "SCORING ROOT", 200, false},
};

inline const EntityInfo& info(Entity e) {
    return kEntities[static_cast<int>(e)];
}

inline QVariant noSelection(Entity e) {
    return info(e).numberKey ? QVariant(-1) : QVariant(QString());
}

// The toolbar's buttons: key, tool tip, picture, entity.
struct ToolButton {
    const char* key;
    const char* tip;
    const char* image;
    Entity entity;
};

inline constexpr ToolButton kToolButtons[] = {
    {"tbLeagues", "New League", "imgLeagues", Entity::League},   {"tbTeams", "New Team", "imgTeams", Entity::Team},
    {"tbCars", "New Car/Driver", "imgCars", Entity::Car},        {"tbRaces", "New Race", "imgRaces", Entity::Race},
    {"tbScoring", "New Scoring", "imgScoring", Entity::Scoring},
};

} // namespace mainwindow
