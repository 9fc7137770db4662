-- Report catalogue, column choices, display attributes and colours.

CREATE TABLE report (
    report_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    report_id TEXT NOT NULL UNIQUE ON CONFLICT IGNORE,
    report_name TEXT COLLATE NOCASE,
    -- Each report writes on its own file number, so a page and the pages it links to can be open together.
    file_handle INTEGER NOT NULL UNIQUE ON CONFLICT IGNORE
);

CREATE TABLE column_dm (
    column_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    column_name TEXT COLLATE NOCASE
);

CREATE TABLE available_report_columns (
    report_nmbr INTEGER NOT NULL,
    column_nmbr INTEGER NOT NULL,
    PRIMARY KEY (report_nmbr, column_nmbr) ON CONFLICT IGNORE
);

CREATE TABLE report_columns (
    report_nmbr INTEGER NOT NULL,
    column_nmbr INTEGER NOT NULL,
    column_order INTEGER,
    PRIMARY KEY (report_nmbr, column_nmbr) ON CONFLICT IGNORE
);

CREATE TABLE attribute_dm (
    attribute_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    attribute_name TEXT COLLATE NOCASE
);

-- amt: a colour number, size, count or switch (NULL for 0); string_value: an image name (NULL for empty).
CREATE TABLE report_attributes (
    report_nmbr INTEGER NOT NULL,
    attribute_nmbr INTEGER NOT NULL,
    amt INTEGER,
    string_value TEXT,
    PRIMARY KEY (report_nmbr, attribute_nmbr) ON CONFLICT IGNORE
);

-- Colour 0 is the default: no colour in the pages.
CREATE TABLE color_dm (
    color_nmbr INTEGER PRIMARY KEY ON CONFLICT IGNORE,
    color_name TEXT COLLATE NOCASE,
    color_cd TEXT
);

INSERT INTO report (report_nmbr, report_id, report_name, file_handle) VALUES
    (1, 'RD', 'Race Detail', 101),
    (2, 'TR', 'Team Race Detail', 102),
    (3, 'LS', 'League Standings', 103),
    (4, 'RS', 'League Race Standings', 104),
    (5, 'LR', 'League Race Summary', 105),
    (6, 'TD', 'Team Detail', 106),
    (7, 'TC', 'Team Cars', 107),
    (8, 'TT', 'Team Trades', 108),
    (9, 'DT', 'Teams per Car/Driver', 109),
    (10, 'CP', 'Car/Driver Picks', 110),
    (11, 'CD', 'Car Details', 111),
    (12, 'RR', 'Race Results', 112),
    (13, 'DS', 'Car/Driver Stats', 113),
    (14, 'RP', 'Report Package', 114);

INSERT INTO column_dm (column_nmbr, column_name) VALUES
    (1, 'Finish Position'),
    (2, 'Car #'),
    (3, 'Driver'),
    (4, 'Sponsor'),
    (5, 'Termination (Stop) Date'),
    (6, 'Laps Led Bonus'),
    (7, 'Most Laps Led Bonus'),
    (8, 'Race Points'),
    (9, 'Season Points'),
    (10, 'Effective (Start) Date'),
    (11, 'Locked Salary'),
    (12, 'Current Salary'),
    (13, 'Team Place'),
    (14, 'Previous Place'),
    (15, 'Team Wins'),
    (16, 'Team Top 5''s'),
    (17, 'Team Top 10''s'),
    (18, 'Car/Driver Wins'),
    (19, 'Car/Driver Top 5''s'),
    (20, 'Car/Driver Top 10''s'),
    (21, 'Points Last Race'),
    (22, 'Points out of Lead'),
    (23, 'Make'),
    (24, 'Owner'),
    (25, 'Qualified'),
    (26, 'Laps Led'),
    (27, 'Fast Qualifier'),
    (28, 'Starts'),
    (29, 'Poles'),
    (30, 'Average Finish'),
    (31, 'Fast Qualifier Bonus'),
    (32, 'Qualifying Bonus'),
    (33, 'Team Name'),
    (34, 'Team Owner'),
    (35, 'Adjustment'),
    (36, 'Average Start'),
    (37, 'Total Laps Led'),
    (38, 'Team E-mail'),
    (39, 'Team Phone'),
    (40, 'Group'),
    (100, 'Race Detail'),
    (101, 'League Race Summary'),
    (102, 'League Race Standings'),
    (103, 'League Standings'),
    (104, 'Team Detail'),
    (105, 'Team Cars'),
    (106, 'Car Details'),
    (107, 'Race Results'),
    (108, 'Car/Driver Stats'),
    (109, 'Team Trades'),
    (110, 'Car/Driver Picks'),
    (111, 'Teams per Car/Driver');

-- The columns each report knows how to write.
INSERT INTO available_report_columns (report_nmbr, column_nmbr) VALUES
    (1, 1), (1, 2), (1, 3), (1, 4), (1, 5), (1, 6), (1, 7), (1, 8),
    (1, 9), (1, 10), (1, 31), (1, 32), (1, 35), (2, 1), (2, 2), (2, 3),
    (2, 4), (2, 5), (2, 6), (2, 7), (2, 8), (2, 9), (2, 10), (2, 31),
    (2, 32), (2, 35), (2, 38), (2, 39), (3, 9), (3, 13), (3, 14), (3, 15),
    (3, 16), (3, 17), (3, 18), (3, 19), (3, 20), (3, 21), (3, 22), (3, 33),
    (3, 34), (4, 6), (4, 7), (4, 8), (4, 13), (4, 31), (4, 32), (4, 33),
    (4, 35), (6, 2), (6, 3), (6, 4), (6, 5), (6, 6), (6, 7), (6, 9),
    (6, 21), (6, 22), (6, 31), (6, 32), (6, 35), (6, 38), (6, 39), (7, 2),
    (7, 3), (7, 5), (7, 10), (7, 11), (7, 12), (7, 38), (7, 39), (7, 40),
    (8, 2), (8, 3), (8, 5), (8, 10), (8, 11), (8, 12), (8, 38), (8, 39),
    (8, 40), (9, 5), (9, 10), (9, 11), (9, 12), (9, 33), (9, 34), (9, 40),
    (10, 2), (10, 3), (10, 4), (10, 12), (10, 23), (10, 24), (11, 2), (11, 3),
    (11, 4), (11, 12), (11, 23), (11, 24), (11, 40), (12, 1), (12, 2), (12, 3),
    (12, 4), (12, 25), (12, 26), (12, 27), (13, 2), (13, 3), (13, 18), (13, 19),
    (13, 20), (13, 28), (13, 29), (13, 30), (13, 36), (13, 37), (14, 100), (14, 101),
    (14, 102), (14, 103), (14, 104), (14, 105), (14, 106), (14, 107), (14, 108), (14, 109),
    (14, 110), (14, 111);

-- The columns each report starts with, in order.
INSERT INTO report_columns (report_nmbr, column_nmbr, column_order) VALUES
    (1, 1, 1), (1, 2, 2), (1, 3, 3), (1, 4, 4), (1, 6, 5), (1, 7, 6),
    (1, 31, 7), (1, 32, 8), (1, 35, 9), (1, 8, 10), (1, 9, 11), (2, 38, 1),
    (2, 39, 2), (2, 1, 3), (2, 2, 4), (2, 3, 5), (2, 4, 6), (2, 6, 7),
    (2, 7, 8), (2, 31, 9), (2, 32, 10), (2, 35, 11), (2, 8, 12), (2, 9, 13),
    (3, 13, 1), (3, 14, 2), (3, 33, 3), (3, 34, 4), (3, 9, 5), (3, 22, 6),
    (3, 21, 7), (3, 15, 8), (3, 16, 9), (3, 17, 10), (4, 13, 1), (4, 33, 2),
    (4, 6, 3), (4, 7, 4), (4, 31, 5), (4, 32, 6), (4, 35, 7), (4, 8, 8),
    (6, 38, 1), (6, 39, 2), (6, 2, 3), (6, 3, 4), (6, 4, 5), (6, 6, 6),
    (6, 7, 7), (6, 31, 8), (6, 32, 9), (6, 35, 10), (6, 21, 11), (6, 9, 12),
    (6, 22, 13), (7, 38, 1), (7, 39, 2), (7, 2, 3), (7, 3, 4), (7, 40, 5),
    (7, 10, 6), (7, 5, 7), (7, 11, 8), (7, 12, 9), (8, 38, 1), (8, 39, 2),
    (8, 2, 3), (8, 3, 4), (8, 40, 5), (8, 10, 6), (8, 5, 7), (8, 11, 8),
    (8, 12, 9), (9, 33, 1), (9, 34, 2), (9, 10, 3), (9, 5, 4), (9, 11, 5),
    (9, 12, 6), (10, 2, 1), (10, 3, 2), (10, 4, 3), (10, 23, 4), (10, 24, 5),
    (10, 12, 6), (11, 2, 1), (11, 3, 2), (11, 4, 3), (11, 23, 4), (11, 24, 5),
    (11, 40, 6), (11, 12, 7), (12, 1, 1), (12, 2, 2), (12, 3, 3), (12, 4, 4),
    (12, 25, 5), (12, 26, 6), (12, 27, 7), (13, 2, 1), (13, 3, 2), (13, 28, 3),
    (13, 29, 4), (13, 18, 5), (13, 19, 6), (13, 20, 7), (13, 30, 8), (13, 36, 9),
    (13, 37, 10), (14, 103, 1), (14, 102, 2), (14, 100, 3), (14, 101, 4), (14, 104, 5),
    (14, 105, 6), (14, 109, 7), (14, 106, 8), (14, 107, 9), (14, 108, 10), (14, 110, 11),
    (14, 111, 12);

INSERT INTO attribute_dm (attribute_nmbr, attribute_name) VALUES
    (1, 'Heading Text Color'),
    (2, 'Heading Back Color'),
    (3, 'Odd Row Text Color'),
    (4, 'Odd Row Back Color'),
    (5, 'Even Row Text Color'),
    (6, 'Even Row Back Color'),
    (7, 'Title Text Color'),
    (8, 'Back Color'),
    (9, 'Border Size'),
    (10, 'Cell Spacing'),
    (11, 'Cell Padding'),
    (12, 'Heading Text Size'),
    (13, 'Odd Row Text Size'),
    (14, 'Even Row Text Size'),
    (15, 'Title Text Size'),
    (16, 'Link Color'),
    (17, 'Visited Link Color'),
    (18, 'Hover Link Color'),
    (19, 'Header Image'),
    (20, 'Background Image'),
    (21, 'Include Active Only'),
    (22, 'Include Footer');

INSERT INTO color_dm (color_nmbr, color_name, color_cd) VALUES
    (0, 'Default', '0'),
    (1, 'Black', '#000000'),
    (2, 'White', '#FFFFFF'),
    (3, 'Red', '#FF0000'),
    (4, 'Dark Red', '#8B0000'),
    (5, 'Maroon', '#800000'),
    (6, 'Green', '#008000'),
    (7, 'Dark Green', '#006400'),
    (8, 'Light Green', '#90EE90'),
    (9, 'Blue', '#0000FF'),
    (10, 'Navy', '#000080'),
    (11, 'Light Blue', '#ADD8E6'),
    (12, 'Teal', '#008080'),
    (13, 'Light Cyan', '#E0FFFF'),
    (14, 'Yellow', '#FFFF00'),
    (15, 'Light Yellow', '#FFFFE0'),
    (16, 'Gold', '#FFD700'),
    (17, 'Orange', '#FFA500'),
    (18, 'Purple', '#800080'),
    (19, 'Gray', '#808080'),
    (20, 'Silver', '#C0C0C0'),
    (21, 'Light Gray', '#D3D3D3'),
    (22, 'Beige', '#F5F5DC'),
    (23, 'Tan', '#D2B48C');

-- Every report starts with the same look; attributes left out here read as their defaults.
INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt, string_value)
SELECT r.report_nmbr, a.nmbr, a.amt, NULL
  FROM report r,
       (SELECT 0 AS nmbr, 0 AS amt WHERE 0
    UNION ALL SELECT 1, 2
    UNION ALL SELECT 2, 10
    UNION ALL SELECT 3, 1
    UNION ALL SELECT 4, 2
    UNION ALL SELECT 5, 1
    UNION ALL SELECT 6, 21
    UNION ALL SELECT 7, 10
    UNION ALL SELECT 9, 1
    UNION ALL SELECT 10, NULL
    UNION ALL SELECT 11, 2
    UNION ALL SELECT 12, 2
    UNION ALL SELECT 13, 2
    UNION ALL SELECT 14, 2
    UNION ALL SELECT 15, 5
    UNION ALL SELECT 16, 9
    UNION ALL SELECT 17, 18
    UNION ALL SELECT 18, 4
    UNION ALL SELECT 22, 1) a;
