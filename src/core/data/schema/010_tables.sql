-- Tables of the data file. Keys that must drop a second row silently carry ON CONFLICT IGNORE,
-- as the imports and the replace-a-set writes rely on it. Dates are ISO text (YYYY-MM-DD).

CREATE TABLE race_type_dm (
    race_type_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    race_type_name TEXT COLLATE NOCASE
);

CREATE TABLE car_type_dm (
    car_type_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    car_type_name TEXT COLLATE NOCASE
);

CREATE TABLE scoring_option_dm (
    scoring_option_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    scoring_option_name TEXT COLLATE NOCASE
);

CREATE TABLE race_status_dm (
    race_status_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    race_status_name TEXT COLLATE NOCASE
);

CREATE TABLE group_dm (
    group_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    max_nmbr INTEGER,
    group_name TEXT COLLATE NOCASE
);

CREATE TABLE scoring_type (
    scoring_type_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    scoring_type_name TEXT COLLATE NOCASE,
    laps_led_bonus INTEGER DEFAULT 0,
    most_laps_led_bonus INTEGER DEFAULT 0,
    fast_qual_bonus INTEGER DEFAULT 0
);

CREATE TABLE leagues (
    league_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    league_name TEXT COLLATE NOCASE,
    league_short_name TEXT COLLATE NOCASE,
    race_type_nmbr INTEGER,
    scoring_option_nmbr INTEGER,
    scoring_type_nmbr INTEGER,
    salary_cap REAL DEFAULT 0,
    drop_lowest INTEGER DEFAULT 0,
    car_type_nmbr INTEGER
);

CREATE TABLE teams (
    team_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    team_name TEXT COLLATE NOCASE,
    team_owner TEXT COLLATE NOCASE,
    email TEXT,
    phone TEXT,
    race_type_nmbr INTEGER,
    car_type_nmbr INTEGER,
    address_line1 TEXT,
    address_line2 TEXT,
    city TEXT,
    state TEXT,
    zip TEXT
);

CREATE TABLE league_teams (
    league_nmbr INTEGER NOT NULL,
    team_nmbr INTEGER NOT NULL,
    PRIMARY KEY (league_nmbr, team_nmbr) ON CONFLICT IGNORE
);
CREATE INDEX league_teams_team ON league_teams (team_nmbr);

CREATE TABLE cars (
    car_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    race_type_nmbr INTEGER,
    car_type_nmbr INTEGER,
    car_txt TEXT COLLATE NOCASE,
    car_owner TEXT COLLATE NOCASE,
    driver_name TEXT COLLATE NOCASE,
    car_make TEXT COLLATE NOCASE,
    sponsor TEXT COLLATE NOCASE,
    group_nmbr INTEGER,
    salary REAL DEFAULT 0
);
CREATE INDEX cars_race_type ON cars (race_type_nmbr, car_type_nmbr);

CREATE TABLE team_car (
    team_nmbr INTEGER NOT NULL,
    car_nmbr INTEGER NOT NULL,
    efctv_dt TEXT NOT NULL,
    term_dt TEXT,
    price REAL DEFAULT 0,
    locked_salary REAL DEFAULT 0,
    active INTEGER DEFAULT 1,
    PRIMARY KEY (team_nmbr, car_nmbr, efctv_dt) ON CONFLICT IGNORE
);
CREATE INDEX team_car_car ON team_car (car_nmbr);

CREATE TABLE races (
    race_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    race_name TEXT COLLATE NOCASE,
    track_name TEXT COLLATE NOCASE,
    race_dt TEXT,
    car_type_nmbr INTEGER,
    race_type_nmbr INTEGER,
    race_status_nmbr INTEGER DEFAULT 0
);
CREATE INDEX races_type_date ON races (race_type_nmbr, race_dt);

CREATE TABLE results (
    car_nmbr INTEGER NOT NULL,
    race_nmbr INTEGER NOT NULL,
    place INTEGER DEFAULT 0,
    qualified INTEGER DEFAULT 0,
    fast_qual INTEGER DEFAULT 0,
    laps_led INTEGER DEFAULT 0,
    adjustment INTEGER DEFAULT 0,
    PRIMARY KEY (race_nmbr, car_nmbr) ON CONFLICT IGNORE
);
CREATE INDEX results_car ON results (car_nmbr);

CREATE TABLE race_head_head (
    race_nmbr INTEGER NOT NULL,
    league_nmbr INTEGER NOT NULL,
    team_nmbr1 INTEGER NOT NULL,
    team_nmbr2 INTEGER NOT NULL,
    PRIMARY KEY (race_nmbr, league_nmbr, team_nmbr1, team_nmbr2) ON CONFLICT IGNORE
);
CREATE INDEX race_head_head_league ON race_head_head (league_nmbr);

CREATE TABLE scoring_points (
    scoring_type_nmbr INTEGER NOT NULL,
    place INTEGER NOT NULL,
    points INTEGER DEFAULT 0,
    qual_points INTEGER DEFAULT 0,
    PRIMARY KEY (scoring_type_nmbr, place) ON CONFLICT IGNORE
);

-- Any number of rules per method; rowid keeps the order they were stored in.
CREATE TABLE scoring_top_points (
    scoring_type_nmbr INTEGER NOT NULL,
    nmbr_cars INTEGER DEFAULT 0,
    points INTEGER DEFAULT 0,
    top_nmbr INTEGER DEFAULT 0
);
CREATE INDEX scoring_top_points_type ON scoring_top_points (scoring_type_nmbr);

-- No unique key: a team's bonus entry can have two rows with the same four numbers.
-- rowid is the insertion order the posting reads "the first matching row" by.
CREATE TABLE team_results (
    race_nmbr INTEGER NOT NULL,
    place INTEGER DEFAULT 0,
    qualified INTEGER DEFAULT 0,
    car_nmbr INTEGER NOT NULL,
    team_nmbr INTEGER NOT NULL,
    current_status INTEGER DEFAULT 1,
    fast_qual_bonus INTEGER DEFAULT 0,
    laps_led_bonus INTEGER DEFAULT 0,
    most_laps_led_bonus INTEGER DEFAULT 0,
    adjustment INTEGER DEFAULT 0,
    points INTEGER DEFAULT 0,
    qual_points INTEGER DEFAULT 0,
    total_points INTEGER DEFAULT 0,
    league_nmbr INTEGER NOT NULL
);
CREATE INDEX team_results_league_race ON team_results (league_nmbr, race_nmbr, team_nmbr);
CREATE INDEX team_results_race ON team_results (race_nmbr);
-- No index leads with the team: a posting adds its rows at the end of every index but the league
-- ones, so writing a race costs the same late in the season as early.
CREATE INDEX team_results_race_team_car ON team_results (race_nmbr, team_nmbr, car_nmbr);

CREATE TABLE team_results_summary (
    race_nmbr INTEGER NOT NULL,
    team_nmbr INTEGER NOT NULL,
    league_nmbr INTEGER NOT NULL,
    points INTEGER DEFAULT 0,
    team_place INTEGER DEFAULT 0,
    PRIMARY KEY (league_nmbr, race_nmbr, team_nmbr) ON CONFLICT IGNORE
);
CREATE INDEX team_results_summary_race ON team_results_summary (race_nmbr);
