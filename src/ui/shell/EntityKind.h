#pragma once

// The five kinds of data the list windows show and the entity commands act on.
enum class EntityKind { League, Team, Car, Race, Scoring };
